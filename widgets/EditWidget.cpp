#include "widgets/EditWidget.h"

#include <algorithm>

#include "widgets/EditListener.h"
#include "widgets/WidgetApp.h"
#include "widgets/WidgetGraphics.h"
#include "widgets/WidgetManager.h"
#include "widgets/WidgetText.h"

namespace Velm {

namespace {
const int kEditColors[EditWidget::NUM_COLORS][3] = {{255, 255, 255}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}};

const int kKeyBackspace = 8;
const int kKeyTab = 9;
const int kKeyEnter = 13;
const int kKeyShift = 16;
const int kKeyCtrl = 17;
const int kKeyEnd = 35;
const int kKeyHome = 36;
const int kKeyLeft = 37;
const int kKeyRight = 39;
const int kKeyDelete = 46;
}  // namespace

EditWidget::EditWidget(int id, EditListener* listener) : mId(id), mEditListener(listener) {
    SetColorsRGB(kEditColors, NUM_COLORS);
}

EditWidget::~EditWidget() {
    TextDeleteFont(mFont);
    ClearWidthCheckFonts();
}

void EditWidget::SetFont(Font* font, Font* widthCheckFont) {
    TextDeleteFont(mFont);
    mFont = TextDuplicateFont(font);
    ClearWidthCheckFonts();
    if (widthCheckFont != nullptr) AddWidthCheckFont(widthCheckFont, -1);
}

void EditWidget::AddWidthCheckFont(Font* font, int maxPixels) {
    mWidthCheckList.push_back({TextDuplicateFont(font), maxPixels});
}

void EditWidget::ClearWidthCheckFonts() {
    for (WidthCheck& check : mWidthCheckList) TextDeleteFont(check.font);
    mWidthCheckList.clear();
}

void EditWidget::EnsureFont() {
    if (mFont == nullptr) mFont = TextCreateSysFont("Arial Unicode MS", 10, 0);
}

void EditWidget::SetText(const std::string& text, bool leftPosToZero) {
    mString = text;
    mCursorPos = static_cast<int>(mString.size());
    mHilitePos = 0;
    // A new text starts a new history: undo must not bring back the old one.
    mUndoString = mString;
    mUndoCursor = mCursorPos;
    mUndoHilitePos = mHilitePos;
    mLastModifyIdx = -1;
    if (leftPosToZero) {
        mLeftPos = 0;
    } else {
        FocusCursor(true);
    }
    MarkDirty();
}

std::string EditWidget::GetDisplayString() {
    if (mPasswordChar == 0) return mString;
    if (mPasswordDisplayString.size() != mString.size()) mPasswordDisplayString.assign(mString.size(), mPasswordChar);
    return mPasswordDisplayString;
}

bool EditWidget::IsPartOfWord(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool EditWidget::HasSelection() const { return mHilitePos != -1 && mHilitePos != mCursorPos; }

void EditWidget::DeleteSelection() {
    const int lo = std::min(mCursorPos, mHilitePos);
    const int hi = std::max(mCursorPos, mHilitePos);
    mString = mString.substr(0, lo) + mString.substr(hi);
    mCursorPos = lo;
    mHilitePos = -1;
}

bool EditWidget::ShiftDown() { return mWidgetManager != nullptr && mWidgetManager->IsKeyDown(kKeyShift); }

bool EditWidget::CtrlDown() { return mWidgetManager != nullptr && mWidgetManager->IsKeyDown(kKeyCtrl); }

// Without any font (no system fonts available) every character counts as
// drawable, so the field still takes text.
bool EditWidget::CanDraw(char c) {
    EnsureFont();
    return mFont == nullptr || TextCharWidth(mFont, c) > 0;
}

// Pixels from the first visible character to the character at index.
int EditWidget::TextOffset(int index) {
    const std::string display = GetDisplayString();
    const int len = static_cast<int>(display.size());
    const int to = std::max(0, std::min(index, len));
    const int from = std::max(0, std::min(mLeftPos, len));
    return TextStringWidth(mFont, display.substr(0, to)) - TextStringWidth(mFont, display.substr(0, from));
}

// A point left of the first visible character's middle gives that character
// (the view may be scrolled).
int EditWidget::GetCharAt(int x, int y) {
    (void)y;
    const std::string display = GetDisplayString();
    const int len = static_cast<int>(display.size());
    if (mLeftPos >= len) return 0;
    int pos = mLeftPos;
    for (int i = mLeftPos; i < len; i++) {
        const int w1 = TextStringWidth(mFont, display.substr(mLeftPos, i - mLeftPos));
        const int w2 = TextStringWidth(mFont, display.substr(mLeftPos, i + 1 - mLeftPos));
        if (x >= (w1 + w2) / 2 + 5) pos = i + 1;
    }
    return pos;
}

void EditWidget::FocusCursor(bool bigJump) {
    const int step = bigJump ? 10 : 1;
    while (mCursorPos < mLeftPos) {
        mLeftPos = std::max(0, mLeftPos - step);
        MarkDirty();
    }
    if (mFont == nullptr) return;
    const int lastIndex = static_cast<int>(mString.size()) - 1;
    while (mWidth >= 9 && TextOffset(mCursorPos) >= mWidth - 8) {
        const int next = std::min(mLeftPos + step, lastIndex);
        // When one character alone is wider than the field the view cannot
        // move further: stop instead of looping.
        if (next <= mLeftPos) break;
        mLeftPos = next;
        MarkDirty();
    }
}

void EditWidget::SelectWord() {
    const std::string display = GetDisplayString();
    const int len = static_cast<int>(display.size());
    if (mCursorPos >= len) return;
    mHilitePos = mCursorPos;
    while (mHilitePos > 0 && IsPartOfWord(display[mHilitePos - 1])) mHilitePos--;
    while (mCursorPos < len - 1 && IsPartOfWord(display[mCursorPos + 1])) mCursorPos++;
    if (mCursorPos < len) mCursorPos++;
}

void EditWidget::EnforceMaxPixels() {
    if (mMaxPixels <= 0 && mWidthCheckList.empty()) return;
    if (!mWidthCheckList.empty()) {
        for (WidthCheck& check : mWidthCheckList) {
            const int limit = check.maxPixels > 0 ? check.maxPixels : mMaxPixels;
            while (limit > 0 && !mString.empty() && limit < TextStringWidth(check.font, mString)) mString.pop_back();
        }
        return;
    }
    while (!mString.empty() && TextStringWidth(mFont, mString) > mMaxPixels) mString.pop_back();
}

void EditWidget::ProcessKey(int key, char c) {
    if (key == kKeyShift || key == kKeyCtrl) return;
    const bool shift = ShiftDown();
    const bool ctrl = CtrlDown();
    bool clearSelection = !shift;
    bool changed = false;
    if (shift && mHilitePos == -1) mHilitePos = mCursorPos;

    const std::string oldString = mString;
    const int oldCursor = mCursorPos;
    const int oldHilite = mHilitePos;
    const bool hadSelection = HasSelection();

    if (c == 3 || c == 24) {
        if (HasSelection()) {
            const int lo = std::min(mCursorPos, mHilitePos);
            const int hi = std::max(mCursorPos, mHilitePos);
            WidgetApp* app = GetApp();
            if (app != nullptr) app->CopyToClipboard(GetDisplayString().substr(lo, hi - lo));
            if (c == 3) {
                clearSelection = false;
            } else {
                DeleteSelection();
                changed = true;
            }
        }
    } else if (c == 22) {
        WidgetApp* app = GetApp();
        const std::string clip = app != nullptr ? app->GetClipboardText() : std::string();
        std::string paste;
        for (char ch : clip) {
            if (ch == '\r' || ch == '\n') break;
            if (!CanDraw(ch)) continue;
            if (mEditListener != nullptr && !mEditListener->AllowChar(mId, ch)) continue;
            paste += ch;
        }
        if (!paste.empty()) {
            if (HasSelection()) DeleteSelection();
            mString.insert(static_cast<size_t>(std::min<int>(mCursorPos, static_cast<int>(mString.size()))), paste);
            mCursorPos += static_cast<int>(paste.size());
            changed = true;
        }
    } else if (c == 26) {
        std::swap(mString, mUndoString);
        std::swap(mCursorPos, mUndoCursor);
        std::swap(mHilitePos, mUndoHilitePos);
        mLastModifyIdx = -1;
        clearSelection = false;
    } else {
        switch (key) {
            case kKeyBackspace:
                if (mString.empty()) break;
                if (HasSelection()) {
                    DeleteSelection();
                    changed = true;
                } else if (mCursorPos > 0) {
                    mString.erase(static_cast<size_t>(mCursorPos - 1), 1);
                    mCursorPos--;
                    mHilitePos = -1;
                    if (mCursorPos != mLastModifyIdx) changed = true;
                    mLastModifyIdx = mCursorPos - 1;
                }
                break;
            case kKeyDelete:
                if (mString.empty()) break;
                if (HasSelection()) {
                    DeleteSelection();
                    changed = true;
                } else if (mCursorPos < static_cast<int>(mString.size())) {
                    mString.erase(static_cast<size_t>(mCursorPos), 1);
                    if (mCursorPos != mLastModifyIdx) changed = true;
                    mLastModifyIdx = mCursorPos;
                }
                break;
            case kKeyHome: mCursorPos = 0; break;
            case kKeyEnd: mCursorPos = static_cast<int>(mString.size()); break;
            case kKeyLeft:
                if (ctrl) {
                    while (mCursorPos > 0 && !IsPartOfWord(mString[mCursorPos - 1])) mCursorPos--;
                    while (mCursorPos > 0 && IsPartOfWord(mString[mCursorPos - 1])) mCursorPos--;
                } else if (shift || mHilitePos == -1) {
                    mCursorPos--;
                } else {
                    mCursorPos = std::min(mCursorPos, mHilitePos);
                }
                break;
            case kKeyRight: {
                const int len = static_cast<int>(mString.size());
                if (ctrl) {
                    while (mCursorPos + 1 < len && IsPartOfWord(mString[mCursorPos + 1])) mCursorPos++;
                    while (mCursorPos + 1 < len && !IsPartOfWord(mString[mCursorPos + 1])) mCursorPos++;
                }
                if (shift || mHilitePos == -1)
                    mCursorPos++;
                else
                    mCursorPos = std::max(mCursorPos, mHilitePos);
                break;
            }
            case kKeyEnter:
                if (mEditListener != nullptr) mEditListener->EditWidgetText(mId, mString);
                break;
            default: {
                const unsigned char uc = static_cast<unsigned char>(c);
                WidgetApp* app = GetApp();
                const int highest = app == nullptr || app->Allows8BitChars() ? 255 : 127;
                if (uc >= 32 && uc <= highest && CanDraw(c) &&
                    (mEditListener == nullptr || mEditListener->AllowChar(mId, c))) {
                    if (!HasSelection()) {
                        if (mCursorPos != mLastModifyIdx + 1) changed = true;
                        mLastModifyIdx = mCursorPos;
                    } else {
                        DeleteSelection();
                        changed = true;
                    }
                    mCursorPos = std::max(0, std::min<int>(mCursorPos, static_cast<int>(mString.size())));
                    mString.insert(static_cast<size_t>(mCursorPos), 1, c);
                    mHilitePos = -1;
                    mCursorPos++;
                    FocusCursor(false);
                } else {
                    clearSelection = false;
                }
                break;
            }
        }
    }

    if (mMaxChars >= 0 && static_cast<int>(mString.size()) > mMaxChars) mString.resize(mMaxChars);
    EnforceMaxPixels();

    mCursorPos = std::max(0, std::min<int>(mCursorPos, static_cast<int>(mString.size())));
    if (mCursorPos != oldCursor) {
        mBlinkAcc = 0;
        mShowingCursor = true;
    }
    FocusCursor(true);

    if (clearSelection || mHilitePos == mCursorPos) mHilitePos = -1;

    if (mEditListener != nullptr && !mEditListener->AllowText(mId, mString)) {
        mString = oldString;
        mCursorPos = oldCursor;
        mHilitePos = oldHilite;
    } else if (changed) {
        mUndoString = oldString;
        mUndoCursor = oldCursor;
        mUndoHilitePos = oldHilite;
    }
    const unsigned char typedChar = static_cast<unsigned char>(c);
    const bool typed = key == 0 && typedChar >= 32 && typedChar != 127;
    if (typed && !hadSelection && mString == oldString && mEditListener != nullptr) {
        mEditListener->EditWidgetCharRefused(mId, c);
    }
    MarkDirty();
}

// A field whose background is not opaque repaints what lies behind it.
void EditWidget::MarkDirty() {
    if (mParent == nullptr) {
        mDirty = true;
        return;
    }
    if (GetColor(COLOR_BKG).alpha == 255)
        mParent->MarkDirty(this);
    else
        mParent->MarkDirtyFull(this);
}

void EditWidget::UpdateCaretPos() {
    WidgetApp* app = GetApp();
    if (app == nullptr || !app->IsTabletPC()) return;
    Point p = GetAbsPos();
    const int x = std::max(10, std::min(p.x, app->GetWidth() - 10));
    const int y = std::max(10, std::min(p.y, app->GetHeight() - 10));
    app->MoveSystemCaret(x, y);
}

void EditWidget::Update() {
    Widget::Update();
    if (!mHasFocus) return;
    UpdateCaretPos();
    if (++mBlinkAcc > mBlinkDelay) {
        mBlinkAcc = 0;
        mShowingCursor = !mShowingCursor;
        MarkDirty();
    }
}

void EditWidget::Resize(int x, int y, int width, int height) {
    Widget::Resize(x, y, width, height);
    FocusCursor(false);
}

bool EditWidget::WantsFocus() { return true; }

void EditWidget::GotFocus() {
    Widget::GotFocus();
    WidgetApp* app = GetApp();
    if (app != nullptr && app->IsTabletPC()) {
        Point p = GetAbsPos();
        app->ShowSystemCaret(p.x, p.y);
        UpdateCaretPos();
    }
    mShowingCursor = true;
    mBlinkAcc = 0;
    MarkDirty();
}

void EditWidget::LostFocus() {
    Widget::LostFocus();
    WidgetApp* app = GetApp();
    if (app != nullptr && app->IsTabletPC()) app->HideSystemCaret();
    mShowingCursor = false;
    MarkDirty();
}

void EditWidget::KeyChar(char c) { ProcessKey(0, c); }

void EditWidget::KeyDown(int key) {
    if ((key < 65 || key > 90) && (mEditListener == nullptr || mEditListener->AllowKey(mId, key))) ProcessKey(key, 0);
    Widget::KeyDown(key);
}

void EditWidget::MouseEnter() { SetAppCursor(CURSOR_TEXT); }

void EditWidget::MouseLeave() { SetAppCursor(CURSOR_POINTER); }

void EditWidget::MouseDown(int x, int y, int button, int clickCount) {
    Widget::MouseDown(x, y, button, clickCount);
    mHilitePos = -1;
    mCursorPos = GetCharAt(x, y);
    if (clickCount > 1) {
        mHadDoubleClick = true;
        SelectWord();
    }
    MarkDirty();
    FocusCursor(false);
}

void EditWidget::MouseDrag(int x, int y) {
    if (mHilitePos == -1) mHilitePos = mCursorPos;
    mCursorPos = GetCharAt(x, y);
    MarkDirty();
    FocusCursor(false);
}

void EditWidget::MouseUp(int x, int y, int button, int clickCount) {
    Widget::MouseUp(x, y, button, clickCount);
    if (mHilitePos == mCursorPos) mHilitePos = -1;
    if (mHadDoubleClick) {
        mHilitePos = -1;
        mCursorPos = GetCharAt(x, y);
        mHadDoubleClick = false;
        SelectWord();
    }
    MarkDirty();
}

void EditWidget::Draw(Graphics* g) {
    EnsureFont();
    g->SetColor(GetColor(COLOR_BKG));
    g->FillRect(0, 0, mWidth, mHeight);

    const std::string display = GetDisplayString();
    const std::string visible = mLeftPos < static_cast<int>(display.size()) ? display.substr(mLeftPos) : std::string();
    const int fontHeight = TextHeight(mFont);
    const int baseline = (mHeight - fontHeight) / 2 + TextAscent(mFont);

    for (int pass = 0; pass < 2; pass++) {
        Graphics copy(*g);
        copy.SetFont(mFont);
        if (pass == 0) {
            copy.ClipRect(4, 0, mWidth - 8, mHeight);
            copy.SetColor(GetColor(COLOR_TEXT));
        } else {
            int c = TextOffset(mCursorPos);
            int e = HasSelection() ? TextOffset(mHilitePos) : c + 2;
            if (!mShowingCursor) c += 2;
            c = std::max(0, std::min(c, mWidth - 8));
            e = std::max(0, std::min(e, mWidth - 8));
            copy.ClipRect(std::min(c, e) + 4, (mHeight - fontHeight) / 2, std::abs(e - c), fontHeight);
            if (mHasFocus || mDrawSelOverride) {
                copy.SetColor(GetColor(COLOR_HILITE));
                copy.FillRect(0, 0, mWidth, mHeight);
                copy.SetColor(GetColor(COLOR_HILITE_TEXT));
            } else {
                copy.SetColor(GetColor(COLOR_TEXT));
            }
        }
        TextDrawString(&copy, visible, 4, baseline);
    }

    g->SetColor(GetColor(COLOR_OUTLINE));
    g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
}

}  // namespace Velm
