#include "widgets/ListWidget.h"

#include <cstring>
#include <numeric>

#include "widgets/ListListener.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/WidgetApp.h"
#include "widgets/WidgetGraphics.h"
#include "widgets/WidgetManager.h"
#include "widgets/WidgetText.h"

namespace Velm {

namespace {
const int kListColors[ListWidget::NUM_COLORS][3] = {{255, 255, 255}, {255, 255, 255}, {0, 0, 0},
                                                    {0, 192, 0},     {0, 0, 128},     {255, 255, 255}};
}  // namespace

ListWidget::ListWidget(int id, Font* font, ListListener* listener) : mId(id), mFont(font), mListener(listener) {
    mItemHeight = font != nullptr ? TextHeight(font) : -1;
    SetColorsRGB(kListColors, NUM_COLORS);
}

ListWidget::~ListWidget() = default;

ListWidget* ListWidget::FirstList() {
    ListWidget* list = this;
    while (list->mParentList != nullptr) list = list->mParentList;
    return list;
}

int ListWidget::ItemHeight() { return mItemHeight != -1 ? mItemHeight : TextHeight(mFont); }

std::string ListWidget::GetSortKey(int index) {
    std::string key = mLines[index];
    while (static_cast<int>(key.size()) < mMaxNumericPlaces) key.insert(0, "0");
    if (mChildList == nullptr) return key;
    if (mSortFromChild) return mChildList->GetSortKey(index) + key;
    return key + mChildList->GetSortKey(index);
}

void ListWidget::Sort(bool ascending) {
    const int count = static_cast<int>(mLines.size());
    std::vector<std::string> keys(count);
    std::vector<int> order(count);
    for (int i = 0; i < count; i++) {
        keys[i] = GetSortKey(i);
        order[i] = i;
    }
    for (int pass = count - 1; pass >= 1; pass--) {
        for (int i = 0; i < pass; i++) {
            const int cmp = keys[i].compare(keys[i + 1]);
            if ((ascending && cmp > 0) || (!ascending && cmp < 0)) {
                std::swap(keys[i], keys[i + 1]);
                std::swap(order[i], order[i + 1]);
            }
        }
    }
    for (ListWidget* list = FirstList(); list != nullptr; list = list->mChildList) {
        std::vector<std::string> lines;
        std::vector<Color> colors;
        for (int i = 0; i < count; i++) {
            if (order[i] < static_cast<int>(list->mLines.size())) lines.push_back(list->mLines[order[i]]);
            if (order[i] < static_cast<int>(list->mLineColors.size())) colors.push_back(list->mLineColors[order[i]]);
        }
        list->mLines.swap(lines);
        list->mLineColors.swap(colors);
        list->MarkDirty();
    }
}

std::string ListWidget::GetStringAt(int index) {
    if (index < 0 || index >= static_cast<int>(mLines.size())) return std::string();
    return mLines[index];
}

int ListWidget::AddLine(const std::string& line, bool sorted) {
    int index = static_cast<int>(mLines.size());
    bool inserted = false;
    if (sorted) {
        for (int i = 0; i < static_cast<int>(mLines.size()); i++) {
            if (std::strcmp(line.c_str(), mLines[i].c_str()) < 0) {
                index = i;
                inserted = true;
                break;
            }
        }
    }
    const Color color = GetColor(COLOR_TEXT);
    for (ListWidget* list = FirstList(); list != nullptr; list = list->mChildList) {
        const std::string& text = list == this ? line : std::string("-");
        if (inserted) {
            int at = std::min(index, static_cast<int>(list->mLines.size()));
            list->mLines.insert(list->mLines.begin() + at, text);
            at = std::min(index, static_cast<int>(list->mLineColors.size()));
            list->mLineColors.insert(list->mLineColors.begin() + at, color);
        } else {
            list->mLines.push_back(text);
            list->mLineColors.push_back(color);
        }
        list->MarkDirty();
    }
    if (mScrollbar != nullptr) mScrollbar->SetMaxValue(static_cast<double>(mLines.size()));
    return index;
}

void ListWidget::SetLine(int index, const std::string& line) {
    if (index < 0 || index >= static_cast<int>(mLines.size())) return;
    mLines[index] = line;
    MarkDirty();
}

int ListWidget::GetLineCount() { return static_cast<int>(mLines.size()); }

int ListWidget::GetLineIdx(const std::string& line) {
    for (int i = 0; i < static_cast<int>(mLines.size()); i++)
        if (mLines[i] == line) return i;
    return -1;
}

void ListWidget::SetColorOfLine(const std::string& line, const Color& color) { SetLineColor(GetLineIdx(line), color); }

void ListWidget::SetLineColor(int index, const Color& color) {
    if (index < 0 || index >= static_cast<int>(mLines.size())) return;
    for (ListWidget* list = FirstList(); list != nullptr; list = list->mChildList) {
        if (index < static_cast<int>(list->mLineColors.size())) list->mLineColors[index] = color;
        list->MarkDirty();
    }
}

void ListWidget::RemoveLine(int index) {
    if (index < 0 || index >= static_cast<int>(mLines.size())) return;
    for (ListWidget* list = FirstList(); list != nullptr; list = list->mChildList) {
        if (index < static_cast<int>(list->mLines.size())) list->mLines.erase(list->mLines.begin() + index);
        if (index < static_cast<int>(list->mLineColors.size()))
            list->mLineColors.erase(list->mLineColors.begin() + index);
        const int count = static_cast<int>(list->mLines.size());
        if (list->mHiliteIdx >= count) list->mHiliteIdx = -1;
        if (list->mSelectIdx >= count) list->mSelectIdx = -1;
        list->MarkDirty();
    }
    if (mScrollbar != nullptr) mScrollbar->SetMaxValue(static_cast<double>(mLines.size()));
}

void ListWidget::RemoveAll() {
    for (ListWidget* list = FirstList(); list != nullptr; list = list->mChildList) {
        list->mLines.clear();
        list->mLineColors.clear();
        list->mHiliteIdx = -1;
        list->mSelectIdx = -1;
        list->MarkDirty();
    }
    if (mScrollbar != nullptr) mScrollbar->SetMaxValue(0);
}

int ListWidget::GetOptimalWidth() {
    int widest = 0;
    for (const std::string& line : mLines) widest = std::max(widest, TextStringWidth(mFont, line));
    return widest + 16;
}

int ListWidget::GetOptimalHeight() { return ItemHeight() * static_cast<int>(mLines.size()) + 8; }

void ListWidget::SetSelect(int index) {
    for (ListWidget* list = FirstList(); list != nullptr; list = list->mChildList) {
        list->mSelectIdx = index;
        list->MarkDirty();
    }
}

void ListWidget::RemovedFromManager(WidgetManager* manager) {
    Widget::RemovedFromManager(manager);
    if (mListener != nullptr) mListener->ListClosed(mId);
}

void ListWidget::OrderInManagerChanged() {
    if (mWidgetManager == nullptr) return;
    if (mChildList != nullptr) mWidgetManager->PutInFront(mChildList, this);
    if (mScrollbar != nullptr) mWidgetManager->PutInFront(mScrollbar, this);
}

void ListWidget::SetColor(int index, const Color& color) { Widget::SetColor(index, color); }

void ListWidget::Resize(int x, int y, int width, int height) {
    Widget::Resize(x, y, width, height);
    const int itemHeight = ItemHeight();
    if (itemHeight > 0 && height - 8 > itemHeight)
        mPageSize = static_cast<double>(height - 8) / itemHeight;
    else
        mPageSize = 1;
    if (mScrollbar != nullptr) mScrollbar->SetPageSize(mPageSize);
}

void ListWidget::ScrollPosition(int id, double value) {
    if (mChildList != nullptr) mChildList->ScrollPosition(id, value);
    mPosition = value;
    MarkDirty();
}

void ListWidget::MouseWheel(int delta) {
    if (mScrollbar == nullptr) return;
    if (delta > 0)
        mScrollbar->SetValue(mScrollbar->mValue - 5);
    else if (delta < 0)
        mScrollbar->SetValue(mScrollbar->mValue + 5);
}

void ListWidget::MouseMove(int x, int y) {
    (void)x;
    const int itemHeight = ItemHeight();
    int index = -1;
    if (itemHeight > 0) {
        index = static_cast<int>((y - 4) / itemHeight + mPosition);
        if (index < 0 || index >= static_cast<int>(mLines.size())) index = -1;
    }
    if (index != mHiliteIdx) {
        for (ListWidget* list = FirstList(); list != nullptr; list = list->mChildList) {
            const int old = list->mHiliteIdx;
            list->mHiliteIdx = index;
            if (old != index && list->mListener != nullptr) list->mListener->ListHiliteChanged(list->mId, old, index);
            list->MarkDirty();
        }
    }
    SetAppCursor(mHiliteIdx != -1 && mDoFingerWhenHilited ? CURSOR_HAND : CURSOR_POINTER);
}

void ListWidget::MouseLeave() {
    for (ListWidget* list = FirstList(); list != nullptr; list = list->mChildList) {
        const int old = list->mHiliteIdx;
        list->mHiliteIdx = -1;
        if (old != -1 && list->mListener != nullptr) list->mListener->ListHiliteChanged(list->mId, old, -1);
        list->MarkDirty();
    }
    SetAppCursor(CURSOR_POINTER);
}

void ListWidget::MouseDown(int x, int y, int button, int clickCount) {
    (void)x;
    (void)y;
    (void)button;
    if (mHiliteIdx != -1 && mListener != nullptr) mListener->ListClicked(mId, mHiliteIdx, clickCount);
}

void ListWidget::Draw(Graphics* g) {
    g->SetColor(GetColor(COLOR_BKG));
    g->FillRect(0, 0, mWidth, mHeight);

    Graphics text(*g);
    text.ClipRect(4, 4, mWidth - 8, mHeight - 8);
    text.SetFont(mFont);
    Graphics bars(*g);
    bars.ClipRect(0, 4, mWidth, mHeight - 8);

    const int count = static_cast<int>(mLines.size());
    const int first = static_cast<int>(mPosition);
    int last = first + static_cast<int>(mPageSize) + 1;
    if (last > count - 1) last = count - 1;
    int itemHeight;
    int textOffset;
    if (mItemHeight != -1) {
        itemHeight = mItemHeight;
        textOffset = (mItemHeight - TextHeight(mFont)) / 2;
    } else {
        itemHeight = TextHeight(mFont);
        textOffset = 0;
    }
    const int ascent = TextAscent(mFont);
    for (int i = std::max(first, 0); i <= last; i++) {
        const int y = static_cast<int>((i - mPosition) * itemHeight) + 4;
        if (i == mSelectIdx || (i == mHiliteIdx && mDrawSelectWhenHilited)) {
            bars.SetColor(GetColor(COLOR_SELECT));
            bars.FillRect(0, y, mWidth, itemHeight);
        }
        const Color lineColor = i < static_cast<int>(mLineColors.size()) ? mLineColors[i] : Color();
        if (i == mHiliteIdx)
            text.SetColor(GetColor(COLOR_HILITE));
        else if (i == mSelectIdx && mColors.size() >= NUM_COLORS)
            text.SetColor(GetColor(COLOR_SELECT_TEXT));
        else
            text.SetColor(lineColor);
        const int width = TextStringWidth(mFont, mLines[i]);
        int x;
        if (mJustify == JUSTIFY_LEFT)
            x = 4;
        else if (mJustify == JUSTIFY_CENTER)
            x = (mWidth - width) / 2;
        else
            x = mWidth - width - 4;
        TextDrawString(&text, mLines[i], x, y + ascent + textOffset);
    }
    if (mDrawOutline) {
        g->SetColor(GetColor(COLOR_OUTLINE));
        g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
    }
}

}  // namespace Velm
