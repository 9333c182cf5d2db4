#include "game/shell/ui/FlyWidget.h"

#include <cmath>

#include "engine/util/IniFile.h"
#include "game/shell/DataNumbers.h"
#include "game/shell/ui/GameUiHost.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UiStyleApply.h"
#include "game/shell/ui/UiValueReader.h"
#include "graphics/Image.h"
#include "resources/base/StringUtils.h"
#include "widgets/WidgetFlags.h"

namespace Velm {

namespace {

constexpr int kKeySavePositions = 117;  // F6
constexpr int kNoButton = -1;

// "Position" when the file gives none (or a zero width).
constexpr int kDefaultX = 200;
constexpr int kDefaultY = 200;
constexpr int kDefaultWidth = 200;
constexpr int kDefaultHeight = 300;

// The fallback rectangle of a file without sections.
constexpr int kFallbackX = 400;
constexpr int kFallbackY = 300;
constexpr int kFallbackWidth = 200;
constexpr int kFallbackHeight = 250;

}  // namespace

FlyWidget_t::FlyWidget_t(const std::string& fileName, int dialogId, bool modal) : BaseDialogWidget(dialogId, modal) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_MARK_DIRTY | WIDGETFLAGS_ALLOW_FOCUS;

    IniFile_t file;
    file.Load(fileName, true);
    if (file.GetSectionCount() > 0) {
        ReadMain(file.GetSection("Main"), fileName);
    } else {
        beginX = endX = kFallbackPointX;
        beginY = endY = kFallbackPointY;
        speed = kFallbackSpeed;
        Resize(kFallbackX, kFallbackY, kFallbackWidth, kFallbackHeight);
        restX = static_cast<float>(kFallbackX);
        restY = static_cast<float>(kFallbackY);
    }
    mDescription = std::make_unique<UiDescription_t>(fileName, this);
    flyState = kFlyingIn;
    CenterOn(beginX, beginY);
    flyInSoundPending = true;
    flyOutSoundPending = true;
}

FlyWidget_t::~FlyWidget_t() {
    // The description removes and deletes the child widgets it built, before the dialog goes.
    mDescription.reset();
    if (mComponentImage == mOwnedFrame.get()) mComponentImage = nullptr;
}

void FlyWidget_t::ReadMain(const IniSection_t& main, const std::string& origin) {
    // A key out of range or malformed is reported and keeps its default.
    const std::string sectionName = "Main";
    UiValueReader in(main, origin, sectionName);
    beginX = static_cast<float>(in.Coordinate("BeginX", 0));
    beginY = static_cast<float>(in.Coordinate("BeginY", 0));
    endX = static_cast<float>(in.Coordinate("EndX", 0));
    endY = static_cast<float>(in.Coordinate("EndY", 0));
    speed = in.Int("Speed", 100, -DataNumbers::kMaxCoordinate, DataNumbers::kMaxCoordinate);

    UiValueReader place(main, origin, sectionName);
    Rect position = place.RectValue("Position");
    if (place.Failed() || position.width == 0) position = Rect(kDefaultX, kDefaultY, kDefaultWidth, kDefaultHeight);
    Resize(position.x, position.y, position.width, position.height);
    restX = static_cast<float>(position.x);
    restY = static_cast<float>(position.y);

    std::string text;
    main.GetString("Image", "", text);
    LoadFrameImage(TrimString(text));

    // A file without "ID" keeps the id the creator gave: several dialogs have their ids
    // only in code, and two dialogs sharing id 0 would kill each other when registered.
    if (main.HasKey("ID")) mId = in.Int("ID", mId);
    mIsModal = in.Int("Modal", 0) == 1;
    main.GetString("Caption", "", text);
    mDialogHeader = TrimString(text);
    main.GetString("Text", "", text);
    mDialogLines = TrimString(text);
}

void FlyWidget_t::LoadFrameImage(const std::string& name) {
    if (name == imageName && mComponentImage != nullptr) return;
    if (mComponentImage == mOwnedFrame.get()) mComponentImage = nullptr;
    mOwnedFrame.reset();
    imageName = name;
    if (name.empty()) return;
    UiPicture_t picture = ResolveUiPicture(name, "", "Main");
    if (picture.owned) mOwnedFrame.reset(picture.image);
    mComponentImage = picture.image;
}

float FlyWidget_t::GetCenterX() const { return static_cast<float>(mX + mWidth / 2); }

float FlyWidget_t::GetCenterY() const { return static_cast<float>(mY + mHeight / 2); }

void FlyWidget_t::CenterOn(float x, float y) {
    Resize(static_cast<int>(x) - mWidth / 2, static_cast<int>(y) - mHeight / 2, mWidth, mHeight);
}

bool FlyWidget_t::StepToward(float targetX, float targetY, float fraction) {
    const float cx = GetCenterX();
    const float cy = GetCenterY();
    float dx = targetX - cx;
    float dy = targetY - cy;
    const float remaining = dx * dx + dy * dy;
    const float length = std::sqrt(remaining);
    if (length > 0.0f) {
        dx /= length;
        dy /= length;
    }
    const float stepLength = static_cast<float>(speed) * fraction;
    const float nx = cx + dx * stepLength;
    const float ny = cy + dy * stepLength;
    const float step = (nx - cx) * (nx - cx) + (ny - cy) * (ny - cy);
    if (remaining <= step) {
        CenterOn(targetX, targetY);
        return true;
    }
    CenterOn(nx, ny);
    return false;
}

void FlyWidget_t::UpdateF(float fraction) {
    if (flyState == kFlyingIn) {
        if (flyInSoundPending) {
            PlayUiSound("flywindow");
            flyInSoundPending = false;
        }
        if (StepToward(restX, restY, fraction)) flyState = kResting;
    } else if (flyState == kFlyingOut) {
        if (flyOutSoundPending) {
            PlayUiSound("flywindow");
            flyOutSoundPending = false;
        }
        if (StepToward(endX, endY, fraction)) {
            flyState = kOut;
            mResult = pendingResult;
        }
    }
}

void FlyWidget_t::Update() {
    BaseDialogWidget::Update();
    if (flyState == kOut && mResult != kNoResult) {
        mResult = pendingResult;
        if (mDialogListener != nullptr) mDialogListener->DialogButtonDepress(mId, mResult);
    }
    GameUiHost* host = GameUiHost::Get();
    if (host == nullptr || !host->IsSmoothUpdating()) UpdateF(1.0f);
}

void FlyWidget_t::KeyUp(int key) {
    if (key == kKeySavePositions) mDescription->SavePositions();
}

void FlyWidget_t::MouseMove(int x, int y) {
    (void)x;
    (void)y;
}

void FlyWidget_t::FlyOut(int result) {
    pendingResult = result;
    flyState = kFlyingOut;
}

void FlyWidget_t::ButtonDepress(int id) {
    if (id == kNoButton) return;
    PlayUiSound("MouseDown");
    FlyOut(id);
}

void FlyWidget_t::ButtonMouseEnter(int id) {
    if (id != kNoButton && flyState == kResting) PlayUiSound("MouseEnter");
}

}  // namespace Velm
