#include "widgets/Dialog.h"

#include <algorithm>

#include "widgets/DialogButton.h"
#include "widgets/DialogListener.h"
#include "widgets/WidgetApp.h"
#include "widgets/WidgetGraphics.h"
#include "widgets/WidgetManager.h"
#include "widgets/WidgetText.h"

namespace Velm {

Dialog::Dialog(Image* componentImage, Image* buttonComponentImage, int id, bool isModal,
               const std::string& dialogHeader, const std::string& dialogLines, const std::string& dialogFooter,
               int buttonMode)
        : mComponentImage(componentImage),
          mDialogHeader(dialogHeader),
          mDialogFooter(dialogFooter),
          mDialogLines(dialogLines),
          mButtonMode(buttonMode),
          mId(id),
          mIsModal(isModal) {
    WidgetApp* app = WidgetApp::Get();
    mDialogListener = app != nullptr ? app->GetDialogListener() : nullptr;
    mButtonHeight = buttonComponentImage != nullptr ? buttonComponentImage->GetHeight() : 24;
    mContentInsets.mLeft = mContentInsets.mTop = mContentInsets.mRight = mContentInsets.mBottom = 24;
    mHasAlpha = true;
    mHasTransparencies = true;
    mPriority = 1;

    if (buttonMode == BUTTONS_YES_NO || buttonMode == BUTTONS_OK_CANCEL) {
        mYesButton = new DialogButton(buttonComponentImage, ID_YES, this);
        mNoButton = new DialogButton(buttonComponentImage, ID_NO, this);
        mYesButton->mLabel = buttonMode == BUTTONS_YES_NO ? "YES" : "OK";
        mNoButton->mLabel = buttonMode == BUTTONS_YES_NO ? "NO" : "CANCEL";
    } else if (buttonMode == BUTTONS_FOOTER) {
        mYesButton = new DialogButton(buttonComponentImage, ID_FOOTER, this);
        mYesButton->mLabel = mDialogFooter;
    }

    const int button = buttonComponentImage != nullptr ? 255 : 0;
    const int colors[NUM_COLORS][3] = {
            {255, 255, 255},          {255, 255, 0}, {255, 255, 255}, {button, button, button},
            {button, button, button}, {80, 80, 80},  {255, 255, 255}};
    SetColorsRGB(colors, NUM_COLORS);
}

Dialog::~Dialog() {
    delete mYesButton;
    delete mNoButton;
    TextDeleteFont(mHeaderFont);
    TextDeleteFont(mLinesFont);
}

void Dialog::SetButtonFont(Font* font) {
    if (mYesButton != nullptr) mYesButton->SetFont(font);
    if (mNoButton != nullptr) mNoButton->SetFont(font);
}

void Dialog::SetHeaderFont(Font* font) {
    TextDeleteFont(mHeaderFont);
    mHeaderFont = TextDuplicateFont(font);
}

void Dialog::SetLinesFont(Font* font) {
    TextDeleteFont(mLinesFont);
    mLinesFont = TextDuplicateFont(font);
}

void Dialog::EnsureFonts() {
    if (mHeaderFont == nullptr) mHeaderFont = TextCreateSysFont("Arial Unicode MS", 14, 0);
    if (mLinesFont == nullptr) mLinesFont = TextCreateSysFont("Arial Unicode MS", 12, 0);
}

void Dialog::SetColor(int index, const Color& color) {
    Widget::SetColor(index, color);
    if (index == COLOR_BUTTON_TEXT || index == COLOR_BUTTON_TEXT_HILITE) {
        const int buttonIndex = index == COLOR_BUTTON_TEXT ? 0 : 1;
        if (mYesButton != nullptr) mYesButton->SetColor(buttonIndex, color);
        if (mNoButton != nullptr) mNoButton->SetColor(buttonIndex, color);
    }
}

bool Dialog::IsModal() { return mIsModal; }

int Dialog::WaitForResult(bool autoKill) {
    WidgetApp* app = GetApp();
    while (app != nullptr && mWidgetManager != nullptr && mResult == kNoResult) {
        if (!app->UpdateAppStep()) break;
    }
    const int result = mResult;
    if (autoKill && app != nullptr) app->KillDialog(mId);
    return result;
}

void Dialog::AddedToManager(WidgetManager* manager) {
    Widget::AddedToManager(manager);
    if (mYesButton != nullptr) manager->AddWidget(mYesButton);
    if (mNoButton != nullptr) manager->AddWidget(mNoButton);
}

void Dialog::RemovedFromManager(WidgetManager* manager) {
    Widget::RemovedFromManager(manager);
    if (mYesButton != nullptr) manager->RemoveWidget(mYesButton);
    if (mNoButton != nullptr) manager->RemoveWidget(mNoButton);
}

void Dialog::OrderInManagerChanged() {
    if (mWidgetManager == nullptr) return;
    if (mYesButton != nullptr) mWidgetManager->PutInFront(mYesButton, this);
    if (mNoButton != nullptr)
        mWidgetManager->PutInFront(mNoButton, mYesButton != nullptr ? static_cast<Widget*>(mYesButton) : this);
}

void Dialog::Resize(int x, int y, int width, int height) {
    Widget::Resize(x, y, width, height);
    if (mYesButton == nullptr) return;
    const int left = mBackgroundInsets.mLeft + mContentInsets.mLeft;
    const int right = mBackgroundInsets.mRight + mContentInsets.mRight;
    const int buttonY = y + height - mContentInsets.mBottom - mBackgroundInsets.mBottom - mButtonHeight;
    if (mNoButton != nullptr) {
        const int buttonWidth = (width - right - left - 2 * mButtonSidePadding - mButtonHorzSpacing) / 2;
        mYesButton->Resize(x + left + mButtonSidePadding, buttonY, buttonWidth, mButtonHeight);
        mNoButton->Resize(mYesButton->mX + buttonWidth + mButtonHorzSpacing, buttonY, buttonWidth, mButtonHeight);
    } else {
        mYesButton->Resize(x + left, buttonY, width - right - left, mButtonHeight);
    }
}

int Dialog::GetPreferredHeight(int width) {
    EnsureFonts();
    int height = mContentInsets.mBottom + mContentInsets.mTop + mBackgroundInsets.mBottom + mBackgroundInsets.mTop;
    bool needSpace = false;
    if (!mDialogHeader.empty()) {
        height += TextHeight(mHeaderFont) - TextAscentPadding(mHeaderFont);
        needSpace = true;
    }
    if (!mDialogLines.empty()) {
        if (needSpace) height += mSpaceAfterHeader;
        const int wrapWidth = width - mContentInsets.mRight - mContentInsets.mLeft - mBackgroundInsets.mRight -
                              mBackgroundInsets.mLeft - 4;
        height += TextWordWrappedHeight(mLinesFont, wrapWidth, mDialogLines,
                                        TextLineSpacing(mLinesFont) + mLineSpacingOffset);
        needSpace = true;
    }
    if (!mDialogFooter.empty() && mButtonMode != BUTTONS_FOOTER) {
        if (needSpace) height += 8;
        height += TextLineSpacing(mHeaderFont);
        needSpace = true;
    }
    if (mYesButton != nullptr) {
        if (needSpace) height += 8;
        height += mButtonHeight + 8;
    }
    return height;
}

void Dialog::Draw(Graphics* g) {
    EnsureFonts();
    const Rect box(mBackgroundInsets.mLeft, mBackgroundInsets.mTop,
                   mWidth - mBackgroundInsets.mRight - mBackgroundInsets.mLeft,
                   mHeight - mBackgroundInsets.mBottom - mBackgroundInsets.mTop);
    if (mComponentImage != nullptr) {
        g->DrawImageBox(box, mComponentImage);
    } else {
        g->SetColor(GetColor(COLOR_OUTLINE, Color(255, 255, 255)));
        g->DrawRect(12, 12, mWidth - 25, mHeight - 25);
        g->SetColor(GetColor(COLOR_BKG, Color(80, 80, 80)));
        g->FillRect(13, 13, mWidth - 26, mHeight - 26);
        g->SetColor(Color(0, 0, 0, 128));
        g->FillRect(mWidth - 12, 24, 12, mHeight - 36);
        g->FillRect(24, mHeight - 12, mWidth - 24, 12);
    }

    int y = mContentInsets.mTop + mBackgroundInsets.mTop;
    if (!mDialogHeader.empty()) {
        y += TextAscent(mHeaderFont) - TextAscentPadding(mHeaderFont);
        g->SetFont(mHeaderFont);
        g->SetColor(GetColor(COLOR_HEADER));
        WriteCenteredLine(g, y, mDialogHeader);
        y += TextHeight(mHeaderFont) - TextAscent(mHeaderFont) + mSpaceAfterHeader;
    }
    if (!mDialogLines.empty()) {
        g->SetFont(mLinesFont);
        g->SetColor(GetColor(COLOR_LINES));
        const int left = mBackgroundInsets.mLeft + mContentInsets.mLeft;
        const Rect rect(left + 2, y, mWidth - mContentInsets.mRight - left - mBackgroundInsets.mRight - 4, 0);
        y += WriteWordWrapped(g, rect, mDialogLines, TextLineSpacing(mLinesFont) + mLineSpacingOffset, mTextAlign);
    }
    if (!mDialogFooter.empty() && mButtonMode != BUTTONS_FOOTER) {
        y += TextLineSpacing(mHeaderFont) + 8;
        g->SetFont(mHeaderFont);
        g->SetColor(GetColor(COLOR_FOOTER));
        WriteCenteredLine(g, y, mDialogFooter);
    }
}

void Dialog::MouseDown(int x, int y, int button, int clickCount) {
    Widget::MouseDown(x, y, button, clickCount);
    if (!mDraggable || clickCount != 1) return;
    SetAppCursor(CURSOR_DRAGGING);
    mDragMouseX = x;
    mDragMouseY = y;
    mDragging = true;
}

// At most 8 pixels of the dialog may leave the manager's area; the grab
// point is adjusted so that it stays under the pointer at an edge.
void Dialog::MouseDrag(int x, int y) {
    if (!mDragging) return;
    int newX = mX + x - mDragMouseX;
    int newY = mY + y - mDragMouseY;
    if (mWidgetManager != nullptr) {
        newX = std::max(-8, std::min(newX, mWidgetManager->mWidth + 8 - mWidth));
        newY = std::max(-8, std::min(newY, mWidgetManager->mHeight + 8 - mHeight));
    }
    mDragMouseX = std::max(8, std::min(x + mX - newX, mWidth - 9));
    mDragMouseY = std::max(8, std::min(y + mY - newY, mHeight - 9));
    Move(newX, newY);
}

void Dialog::MouseUp(int x, int y, int button, int clickCount) {
    Widget::MouseUp(x, y, button, clickCount);
    if (!mDragging) return;
    SetAppCursor(CURSOR_POINTER);
    mDragging = false;
}

void Dialog::ButtonPress(int id) {
    if ((id == ID_YES || id == ID_NO) && mDialogListener != nullptr) mDialogListener->DialogButtonPress(mId, id);
}

void Dialog::ButtonDepress(int id) {
    if (id != ID_YES && id != ID_NO) return;
    mResult = id;
    if (mDialogListener != nullptr) mDialogListener->DialogButtonDepress(mId, id);
}

}  // namespace Velm
