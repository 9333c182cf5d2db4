#pragma once

#include <string>

#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

namespace Velm {

class DialogButton;
class DialogListener;

// A framed message box: a centred header line, word-wrapped body lines, a
// centred footer line and zero, one or two DialogButtons (ids 1000 and
// 1001) along the bottom; drawn from a frame image or as a default dark box
// with a drop shadow; optionally draggable. It tells its DialogListener (by
// default the application's) about its buttons and records which one was
// clicked (mResult, kNoResult until then). The buttons are not children:
// they sit at the top level of the manager just in front of the dialog, so
// their rectangles are in the dialog's parent coordinates. Modality is the
// application's business (WidgetManager::AddBaseModal); the dialog only
// carries the flag.
class Dialog : public Widget, public ButtonListener {
public:
    enum ButtonMode {
        BUTTONS_NONE = 0,
        BUTTONS_YES_NO = 1,
        BUTTONS_OK_CANCEL = 2,
        BUTTONS_FOOTER = 3  // one button labelled with the footer
    };
    // Justification of the body lines (that of word wrapping).
    enum TextAlign { TEXT_ALIGN_LEFT = -1, TEXT_ALIGN_CENTER = 0, TEXT_ALIGN_RIGHT = 1 };
    enum { ID_YES = 1000, ID_NO = 1001, ID_OK = 1000, ID_CANCEL = 1001, ID_FOOTER = 1000 };
    enum {
        COLOR_HEADER = 0,
        COLOR_LINES = 1,
        COLOR_FOOTER = 2,
        COLOR_BUTTON_TEXT = 3,
        COLOR_BUTTON_TEXT_HILITE = 4,
        COLOR_BKG = 5,
        COLOR_OUTLINE = 6,
        NUM_COLORS = 7
    };
    static constexpr int kNoResult = 2147483647;

    Dialog(Image* componentImage, Image* buttonComponentImage, int id, bool isModal, const std::string& dialogHeader,
           const std::string& dialogLines, const std::string& dialogFooter, int buttonMode);
    ~Dialog() override;

    using ButtonListener::ButtonPress;
    using Widget::GetColor;
    using Widget::MouseDown;
    using Widget::MouseUp;
    using Widget::Resize;

    virtual void SetButtonFont(Font* font);
    virtual void SetHeaderFont(Font* font);
    virtual void SetLinesFont(Font* font);
    virtual int GetPreferredHeight(int width);
    virtual bool IsModal();
    // Steps the application until a button is clicked or the dialog leaves
    // the tree; with autoKill asks the application to kill it afterwards.
    virtual int WaitForResult(bool autoKill = true);

    void EnsureFonts();

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    void OrderInManagerChanged() override;
    void SetColor(int index, const Color& color) override;
    void Resize(int x, int y, int width, int height) override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;

    DialogListener* mDialogListener;
    Image* mComponentImage;
    DialogButton* mYesButton = nullptr;
    DialogButton* mNoButton = nullptr;
    std::string mDialogHeader;
    std::string mDialogFooter;
    std::string mDialogLines;
    int mButtonMode;
    Font* mHeaderFont = nullptr;
    Font* mLinesFont = nullptr;
    int mTextAlign = TEXT_ALIGN_CENTER;
    int mLineSpacingOffset = 0;
    int mButtonHeight;
    Insets mBackgroundInsets;
    Insets mContentInsets;
    int mSpaceAfterHeader = 10;
    bool mDragging = false;
    int mDragMouseX = 0;
    int mDragMouseY = 0;
    int mId;
    bool mIsModal;
    int mResult = kNoResult;
    int mButtonHorzSpacing = 8;
    int mButtonSidePadding = 0;
    bool mDraggable = false;
};

}  // namespace Velm
