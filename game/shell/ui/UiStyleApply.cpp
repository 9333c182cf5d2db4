#include "game/shell/ui/UiStyleApply.h"

#include <cstdint>

#include "game/shell/ResourceIds.h"
#include "game/shell/ui/RadioButton.h"
#include "game/shell/ui/UiHost.h"
#include "game/shell/ui/UiValueReader.h"
#include "game/shell/ui/VornWidgets.h"
#include "graphics/Font.h"
#include "widgets/EditWidget.h"
#include "widgets/HyperlinkWidget.h"

namespace Velm {

const char* const kUiFallbackFont = "fonts/Tahoma14";

namespace {

bool IsPictureId(int id) {
    return (id >= IMAGE_CUSTOM_POINTER_ID && id <= IMAGE_TITLE_PROGRESS_ID) ||
           (id >= IMAGE_CHECKBOX_ID && id < RESOURCE_ID_MAX);
}

// Resolves a picture into a control's slot; a picture loaded from a file goes
// to the control.
void SetPicture(Image*& slot, UiImageOwner& owner, const std::string& name, const std::string& fallback,
                const std::string& context) {
    const UiPicture_t picture = ResolveUiPicture(name, fallback, context);
    slot = picture.image;
    if (picture.owned) owner.AdoptImage(picture.image);
}

void SetButtonRects(const UiStyle_t& style, ButtonWidget* button) {
    button->mNormalRect = style.normalRect;
    button->mOverRect = style.overRect;
    button->mDownRect = style.downRect;
    button->mDisabledRect = style.disabledRect;
}

// Hand cursor, the two label colours and the font: the same for every button kind.
template <class Control>
void SetButtonLabelLook(const UiStyle_t& style, Control* control) {
    control->mDoFinger = style.doFinger;
    control->SetColor(0, Color(style.labelColor));
    control->SetColor(1, Color(style.labelHiliteColor));
    const std::unique_ptr<Font> font = ResolveUiFont(style.fontId, std::string());
    control->SetFont(font.get());
}

}  // namespace

UiPicture_t ResolveUiPicture(const std::string& name, const std::string& fallback, const std::string& context) {
    UiPicture_t picture;
    const std::string& use = name.empty() ? fallback : name;
    if (use.empty()) return picture;
    UiHost& host = GetUiHost();
    if (host.FileExists(use)) {
        picture.image = host.GetImage(use);
        picture.owned = picture.image != nullptr;
        if (picture.image == nullptr) UiLog(context + ": picture file \"" + use + "\" could not be read");
        return picture;
    }
    const int id = GetResourceIdByName(use.c_str());
    if (id < RESOURCE_ID_MAX) {
        if (IsPictureId(id)) picture.image = reinterpret_cast<Image*>(GetResourceById(id));
        if (picture.image == nullptr) UiLog(context + ": resource \"" + use + "\" is not a loaded picture; no picture");
        return picture;
    }
    // Picture files are usually named without their extension, which only the
    // image reader's own search resolves.
    picture.image = host.GetImage(use);
    picture.owned = picture.image != nullptr;
    if (picture.image == nullptr)
        UiLog(context + ": picture \"" + use + "\" is neither a file nor a resource name; no picture");
    return picture;
}

std::unique_ptr<Font> ResolveUiFont(int resourceId, const std::string& path) {
    if (resourceId >= FONT_DEFAULT_ID && resourceId <= FONT_NUMBERS_ID) {
        Font* bound = reinterpret_cast<Font*>(GetResourceById(resourceId));
        if (bound != nullptr) return std::unique_ptr<Font>(bound->Duplicate());
    }
    UiHost& host = GetUiHost();
    if (!path.empty()) {
        std::unique_ptr<Font> font = host.MakeImageFont(path);
        if (font) return font;
    }
    std::unique_ptr<Font> font = host.MakeImageFont(kUiFallbackFont);
    if (!font) UiLog(std::string("the fallback font \"") + kUiFallbackFont + "\" could not be loaded");
    return font;
}

void ApplyDialogButtonStyle(const UiStyle_t& style, VornDialogButton* button, const std::string& context) {
    SetButtonRects(style, button);
    button->mButtonImage = nullptr;
    button->mOverImage = nullptr;
    button->mDownImage = nullptr;
    button->mDisabledImage = nullptr;
    if (!style.image.empty()) {
        SetPicture(button->mComponentImage, *button, style.image, std::string(), context);
    } else {
        SetPicture(button->mOverImage, *button, style.overImage, std::string(), context);
        SetPicture(button->mDownImage, *button, style.downImage, std::string(), context);
        SetPicture(button->mDisabledImage, *button, style.disabledImage, std::string(), context);
    }
    SetButtonLabelLook(style, button);
}

void ApplyButtonStyle(const UiStyle_t& style, VornButtonWidget* button, const std::string& context) {
    SetButtonRects(style, button);
    SetPicture(button->mButtonImage, *button, style.image, std::string(), context);
    SetPicture(button->mOverImage, *button, style.overImage, std::string(), context);
    SetPicture(button->mDownImage, *button, style.downImage, std::string(), context);
    SetPicture(button->mDisabledImage, *button, style.disabledImage, std::string(), context);
    SetButtonLabelLook(style, button);
}

void ApplyCheckboxStyle(const UiStyle_t& style, VornCheckbox* checkbox, const std::string& context) {
    Image* picture = nullptr;
    SetPicture(picture, *checkbox, style.image, "IMAGE_CHECKBOX", context);
    checkbox->mUncheckedImage = picture;
    checkbox->mCheckedImage = picture;
    if (style.checkedRect.width != 0) {
        checkbox->mUncheckedRect = style.uncheckedRect;
        checkbox->mCheckedRect = style.checkedRect;
    } else {
        const int width = picture != nullptr ? picture->GetWidth() : 0;
        const int height = picture != nullptr ? picture->GetHeight() : 0;
        checkbox->mUncheckedRect = Rect(0, 0, width / 2, height);
        checkbox->mCheckedRect = Rect(width / 2, 0, width / 2, height);
    }
    checkbox->mDoFinger = style.doFinger;
}

void ApplyRadioStyle(const UiStyle_t& style, RadioButton* radio, const std::string& context) {
    radio->mUncheckedRect = style.uncheckedRect;
    radio->mCheckedRect = style.checkedRect;
    radio->mOverRect = style.overRect;
    radio->mDownRect = style.downRect;
    radio->mDisabledRect = style.disabledRect;
    Image* picture = nullptr;
    SetPicture(picture, *radio, style.image, std::string(), context);
    radio->mUncheckedImage = picture;
    radio->mCheckedImage = picture;
    SetPicture(radio->mOverImage, *radio, style.overImage, std::string(), context);
    SetPicture(radio->mDownImage, *radio, style.downImage, std::string(), context);
    SetPicture(radio->mDisabledImage, *radio, style.disabledImage, std::string(), context);
    SetButtonLabelLook(style, radio);
}

void ApplySliderStyle(const UiStyle_t& style, VornSlider* slider, const std::string& context) {
    SetPicture(slider->mTrackImage, *slider, style.imageTrack, "IMAGE_SLIDER_TRACK", context);
    SetPicture(slider->mThumbImage, *slider, style.imageThumb, "IMAGE_SLIDER_THUMB", context);
    slider->mDoFinger = style.doFinger;
}

void ApplyLabelStyle(const UiStyle_t& style, HyperlinkWidget* label) {
    const std::unique_ptr<Font> font = ResolveUiFont(style.fontId, std::string());
    label->SetFont(font.get());
    label->mColor = Color(style.color);
    label->mOverColor = Color(style.overColor);
    label->mUnderlineSize = style.underLine;
    label->mUnderlineOffset = style.underOffset;
    label->mShadowOffsetX = style.shadowX;
    label->mShadowOffsetY = style.shadowY;
    label->mShadowColor = Color(style.shadowColor);
    label->mDoFinger = style.doFinger;
    label->mLinkJustify = style.align;
    label->mWordWrap = style.wrappedDraw;
    if (!style.doFinger) label->mId = -1;
}

void ApplyEditStyle(const UiStyle_t& style, EditWidget* edit) {
    const std::unique_ptr<Font> font = ResolveUiFont(style.fontId, std::string());
    edit->SetFont(font.get(), nullptr);
    edit->SetColor(EditWidget::COLOR_TEXT, Color(style.textColor));
    edit->SetColor(EditWidget::COLOR_HILITE, Color(style.hiliteColor));
    edit->SetColor(EditWidget::COLOR_BKG, Color(style.bkgColor));
    edit->SetColor(EditWidget::COLOR_OUTLINE, Color(style.outlineColor));
}

}  // namespace Velm
