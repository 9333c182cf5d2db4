#pragma once

#include <string>
#include <vector>

#include "widgets/Widget.h"

namespace Velm {

class EditListener;

// A single-line text field of 8-bit characters: a blinking caret, a
// selection made with Shift and the cursor keys or by dragging, word
// selection by double click, word-wise movement with Ctrl, clipboard copy,
// cut and paste through the application, one level of undo that joins
// typing runs, an optional password character, limits in characters and in
// pixels, and horizontal scrolling. The selection is the range between the
// caret and the anchor (-1: none). Keys arrive as virtual-key codes
// (KeyDown, letters excluded) and characters (KeyChar, control characters
// included: 3 Ctrl+C, 22 Ctrl+V, 24 Ctrl+X, 26 Ctrl+Z).
class EditWidget : public Widget {
public:
    enum { COLOR_BKG = 0, COLOR_OUTLINE = 1, COLOR_TEXT = 2, COLOR_HILITE = 3, COLOR_HILITE_TEXT = 4, NUM_COLORS = 5 };

    EditWidget(int id, EditListener* listener);
    ~EditWidget() override;

    using Widget::MarkDirty;
    using Widget::MouseDown;
    using Widget::MouseUp;
    using Widget::Resize;

    // key: virtual-key code or 0; c: character or 0.
    virtual void ProcessKey(int key, char c);
    virtual void SelectWord();
    virtual void SetFont(Font* font, Font* widthCheckFont = nullptr);
    // Selects the whole new text and forgets the undo state.
    virtual void SetText(const std::string& text, bool leftPosToZero = true);
    virtual bool IsPartOfWord(char c);
    // Caret index for a point; y is ignored.
    virtual int GetCharAt(int x, int y);
    virtual void FocusCursor(bool bigJump);

    void AddWidthCheckFont(Font* font, int maxPixels = -1);
    void ClearWidthCheckFonts();
    std::string GetDisplayString();
    void EnforceMaxPixels();

    void MarkDirty() override;
    void Update() override;
    void Draw(Graphics* g) override;
    void Resize(int x, int y, int width, int height) override;
    bool WantsFocus() override;
    void GotFocus() override;
    void LostFocus() override;
    void KeyChar(char c) override;
    void KeyDown(int key) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    struct WidthCheck {
        Font* font;
        int maxPixels;  // -1: the field's pixel limit
    };

    int mId;
    std::string mString;
    std::string mPasswordDisplayString;
    Font* mFont = nullptr;
    std::vector<WidthCheck> mWidthCheckList;
    EditListener* mEditListener;
    bool mShowingCursor = false;
    bool mDrawSelOverride = false;
    bool mHadDoubleClick = false;
    int mCursorPos = 0;
    int mHilitePos = -1;
    int mBlinkAcc = 0;
    int mBlinkDelay = 40;
    int mLeftPos = 0;
    int mMaxChars = -1;
    int mMaxPixels = -1;
    char mPasswordChar = 0;
    std::string mUndoString;
    int mUndoCursor = 0;
    int mUndoHilitePos = 0;
    int mLastModifyIdx = 0;

private:
    bool HasSelection() const;
    void DeleteSelection();
    bool ShiftDown();
    bool CtrlDown();
    bool CanDraw(char c);
    int TextOffset(int index);
    void EnsureFont();
    void UpdateCaretPos();
};

}  // namespace Velm
