#pragma once

#include <string>
#include <vector>

#include "widgets/ScrollListener.h"
#include "widgets/Widget.h"

namespace Velm {

class ListListener;
class ScrollbarWidget;

// A scrollable list of text lines with a colour per line, a hovered
// (hilite) line and a selected line, an optional scroll bar and optional
// linked lists that act as further columns of the same rows: hover,
// selection, scrolling, removal and sorting act on the whole chain. Line
// index -1 means none. Font, scroll bar and linked lists are not owned.
class ListWidget : public Widget, public ScrollListener {
public:
    enum Justification { JUSTIFY_LEFT = 0, JUSTIFY_CENTER = 1, JUSTIFY_RIGHT = 2 };
    enum {
        COLOR_BKG = 0,
        COLOR_OUTLINE = 1,
        COLOR_TEXT = 2,
        COLOR_HILITE = 3,
        COLOR_SELECT = 4,
        COLOR_SELECT_TEXT = 5,
        NUM_COLORS = 6
    };

    ListWidget(int id, Font* font, ListListener* listener);
    ~ListWidget() override;

    using Widget::GetColor;
    using Widget::MouseDown;
    using Widget::MouseUp;
    using Widget::Resize;

    virtual std::string GetSortKey(int index);
    virtual void Sort(bool ascending);
    virtual std::string GetStringAt(int index);
    virtual int AddLine(const std::string& line, bool sorted);
    virtual void SetLine(int index, const std::string& line);
    virtual int GetLineCount();
    virtual int GetLineIdx(const std::string& line);
    virtual void SetColorOfLine(const std::string& line, const Color& color);
    virtual void SetLineColor(int index, const Color& color);
    // Out-of-range indices are ignored; hilite and select past the new end
    // become -1.
    virtual void RemoveLine(int index);
    virtual void RemoveAll();
    virtual int GetOptimalWidth();
    virtual int GetOptimalHeight();
    virtual void SetSelect(int index);

    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    void OrderInManagerChanged() override;
    void SetColor(int index, const Color& color) override;
    void Resize(int x, int y, int width, int height) override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseWheel(int delta) override;
    void ScrollPosition(int id, double value) override;

    int mId;
    Font* mFont;
    ScrollbarWidget* mScrollbar = nullptr;
    int mJustify = JUSTIFY_LEFT;
    std::vector<std::string> mLines;
    std::vector<Color> mLineColors;
    // Index of the first visible line (fractional while scrolling).
    double mPosition = 0;
    // Number of lines that fit.
    double mPageSize = 0;
    int mHiliteIdx = -1;
    int mSelectIdx = -1;
    ListListener* mListener;
    ListWidget* mParentList = nullptr;
    ListWidget* mChildList = nullptr;
    bool mSortFromChild = false;
    bool mDrawOutline = true;
    int mMaxNumericPlaces = 0;
    // -1: the font's height at each use.
    int mItemHeight;
    bool mDrawSelectWhenHilited = false;
    bool mDoFingerWhenHilited = true;

private:
    ListWidget* FirstList();
    int ItemHeight();
};

}  // namespace Velm
