#include "widgets/WidgetContainer.h"

#include <algorithm>

#include "widgets/Widget.h"
#include "widgets/WidgetGraphics.h"
#include "widgets/WidgetManager.h"

namespace Velm {

WidgetContainer::WidgetContainer() : mUpdateIterator(mWidgets.end()) {}

WidgetContainer::~WidgetContainer() = default;

Rect WidgetContainer::GetRect() { return Rect(mX, mY, mWidth, mHeight); }

bool WidgetContainer::Intersects(WidgetContainer* other) {
    Rect a = GetRect();
    Rect b = other->GetRect();
    int left = std::max(a.x, b.x);
    int right = std::min(a.x + a.width, b.x + b.width);
    int top = std::max(a.y, b.y);
    int bottom = std::min(a.y + a.height, b.y + b.height);
    return right > left && bottom > top;
}

WidgetContainer::WidgetList::iterator WidgetContainer::FindChild(Widget* widget) {
    return std::find(mWidgets.begin(), mWidgets.end(), widget);
}

// The sibling list stays sorted by ascending z-order. Starting from the
// requested position the widget first moves toward the front past every
// child of lower z-order; when it then stands before a child of higher
// z-order (not the first child) or at the end, it moves back past every
// child of higher z-order. So AddWidget and BringToFront land in front of
// equal z-orders and BringToBack behind them.
void WidgetContainer::InsertWidgetHelper(WidgetList::iterator where, Widget* widget) {
    const int z = widget->mZOrder;
    while (where != mWidgets.end() && (*where)->mZOrder < z) ++where;
    if (where == mWidgets.end() || ((*where)->mZOrder > z && where != mWidgets.begin())) {
        while (where != mWidgets.begin()) {
            WidgetList::iterator prev = std::prev(where);
            if ((*prev)->mZOrder <= z) break;
            where = prev;
        }
    }
    mWidgets.insert(where, widget);
}

bool WidgetContainer::UnlinkChild(Widget* widget) {
    WidgetList::iterator it = FindChild(widget);
    if (it == mWidgets.end()) return false;
    if (it == mUpdateIterator) {
        ++mUpdateIterator;
        mUpdateIteratorModified = true;
    }
    mWidgets.erase(it);
    return true;
}

void WidgetContainer::AddWidget(Widget* widget) {
    if (widget == nullptr || HasWidget(widget)) return;
    InsertWidgetHelper(mWidgets.end(), widget);
    widget->mWidgetManager = mWidgetManager;
    widget->mParent = this;
    if (mWidgetManager != nullptr) {
        widget->AddedToManager(mWidgetManager);
        widget->MarkDirtyFull();
        mWidgetManager->RecheckMouseOver();
    }
    MarkDirty();
}

void WidgetContainer::RemoveWidget(Widget* widget) {
    if (widget == nullptr || !HasWidget(widget)) return;
    WidgetRemovedHelper(widget);
    widget->mParent = nullptr;
    UnlinkChild(widget);
}

void WidgetContainer::WidgetRemovedHelper(Widget* widget) {
    WidgetManager* manager = widget->mWidgetManager;
    if (manager == nullptr) return;
    for (Widget* child : widget->mWidgets) widget->WidgetRemovedHelper(child);
    manager->DisableWidget(widget);
    for (WidgetManager::PreModalInfo& info : manager->mPreModalInfoList) {
        if (info.prevBaseModalWidget == widget) info.prevBaseModalWidget = nullptr;
        if (info.prevFocusWidget == widget) info.prevFocusWidget = nullptr;
    }
    widget->RemovedFromManager(manager);
    widget->MarkDirtyFull(widget);
    widget->mWidgetManager = nullptr;
}

bool WidgetContainer::HasWidget(Widget* widget) { return FindChild(widget) != mWidgets.end(); }

void WidgetContainer::DisableWidget(Widget* widget) { (void)widget; }

void WidgetContainer::RemoveAllWidgets(bool deleteWidgets, bool recursive) {
    while (!mWidgets.empty()) {
        Widget* child = mWidgets.front();
        RemoveWidget(child);
        if (recursive) child->RemoveAllWidgets(deleteWidgets, recursive);
        if (deleteWidgets) delete child;
    }
}

void WidgetContainer::SetFocus(Widget* widget) { (void)widget; }

bool WidgetContainer::IsBelowHelper(WidgetContainer* node, Widget* a, Widget* b, bool* found) {
    for (Widget* child : node->mWidgets) {
        if (child == a) {
            *found = true;
            return true;
        }
        if (child == b) {
            *found = true;
            return false;
        }
        bool below = IsBelowHelper(child, a, b, found);
        if (*found) return below;
    }
    return false;
}

bool WidgetContainer::IsBelow(Widget* a, Widget* b) {
    bool found = false;
    return IsBelowHelper(this, a, b, &found);
}

void WidgetContainer::MarkAllDirty() {
    MarkDirty();
    for (Widget* child : mWidgets) {
        child->mDirty = true;
        child->MarkAllDirty();
    }
}

void WidgetContainer::BringToFront(Widget* widget) {
    if (!UnlinkChild(widget)) return;
    InsertWidgetHelper(mWidgets.end(), widget);
    widget->OrderInManagerChanged();
}

void WidgetContainer::BringToBack(Widget* widget) {
    if (!UnlinkChild(widget)) return;
    InsertWidgetHelper(mWidgets.begin(), widget);
    widget->OrderInManagerChanged();
}

void WidgetContainer::PutBehind(Widget* widget, Widget* ref) {
    if (!UnlinkChild(widget)) return;
    InsertWidgetHelper(FindChild(ref), widget);
    widget->OrderInManagerChanged();
}

void WidgetContainer::PutInFront(Widget* widget, Widget* ref) {
    if (!UnlinkChild(widget)) return;
    WidgetList::iterator it = FindChild(ref);
    if (it != mWidgets.end()) ++it;
    InsertWidgetHelper(it, widget);
    widget->OrderInManagerChanged();
}

Point WidgetContainer::GetAbsPos() {
    if (mParent == nullptr) return Point(mX, mY);
    Point p = mParent->GetAbsPos();
    return Point(p.x + mX, p.y + mY);
}

// A node is redrawn when its top-level ancestor (a direct child of the
// manager) is dirty, so the sibling walks run only at the root.
void WidgetContainer::MarkDirty() {
    if (mParent != nullptr)
        mParent->MarkDirty(static_cast<Widget*>(this));
    else
        mDirty = true;
}

void WidgetContainer::MarkDirtyFull() {
    if (mParent != nullptr)
        mParent->MarkDirtyFull(static_cast<Widget*>(this));
    else
        mDirty = true;
}

void WidgetContainer::MarkDirty(Widget* child) {
    if (child->mDirty) return;
    MarkDirty();
    child->mDirty = true;
    if (mParent != nullptr) return;
    if (child->mHasAlpha) {
        MarkDirtyFull(child);
        return;
    }
    WidgetList::iterator it = FindChild(child);
    if (it == mWidgets.end()) return;
    for (++it; it != mWidgets.end(); ++it) {
        Widget* sibling = *it;
        if (sibling->mVisible && sibling->Intersects(child)) MarkDirty(sibling);
    }
}

void WidgetContainer::MarkDirtyFull(Widget* child) {
    MarkDirtyFull();
    child->mDirty = true;
    if (mParent != nullptr) return;
    WidgetList::iterator self = FindChild(child);
    if (self == mWidgets.end()) return;

    Rect r = child->GetRect().Intersection(Rect(0, 0, mWidth, mHeight));
    // Behind the child, nearest first; an opaque sibling covering the whole
    // area ends the walk.
    WidgetList::iterator it = self;
    while (it != mWidgets.begin()) {
        --it;
        Widget* sibling = *it;
        if (!sibling->mVisible) continue;
        if (!sibling->mHasAlpha && !sibling->mHasTransparencies && sibling->Contains(r.x, r.y) &&
            sibling->Contains(r.x + r.width - 1, r.y + r.height - 1)) {
            sibling->MarkDirty();
            break;
        }
        if (sibling->Intersects(child)) MarkDirty(sibling);
    }
    for (it = self; it != mWidgets.end(); ++it) {
        Widget* sibling = *it;
        if (sibling->mVisible && sibling->Intersects(child)) MarkDirty(sibling);
    }
}

void WidgetContainer::AddedToManager(WidgetManager* manager) {
    for (Widget* child : mWidgets) {
        child->mWidgetManager = manager;
        child->AddedToManager(manager);
        MarkDirty();
    }
}

void WidgetContainer::RemovedFromManager(WidgetManager* manager) {
    for (Widget* child : mWidgets) {
        // A child already cleaned up on its way out (WidgetRemovedHelper) is not
        // told twice.
        if (child->mWidgetManager == nullptr) continue;
        manager->DisableWidget(child);
        child->RemovedFromManager(manager);
        child->mWidgetManager = nullptr;
    }
    if (manager->mPopupCommandWidget == this) manager->mPopupCommandWidget = nullptr;
}

void WidgetContainer::Update() { mUpdateCnt++; }

void WidgetContainer::UpdateAll(ModalFlags* flags) {
    ModalFlagsGuard guard(flags);
    flags->ModFlags(mWidgetFlagsMod);
    if (flags->GetFlags() & WIDGETFLAGS_MARK_DIRTY) MarkDirty();
    if (mWidgetManager == nullptr) return;

    if ((flags->GetFlags() & WIDGETFLAGS_UPDATE) && mLastWMUpdateCount != mWidgetManager->mUpdateCnt) {
        mLastWMUpdateCount = mWidgetManager->mUpdateCnt;
        Update();
    }

    // A child may remove itself or a sibling during its update: RemoveWidget
    // then advances the iterator and sets mUpdateIteratorModified.
    mUpdateIterator = mWidgets.begin();
    while (mUpdateIterator != mWidgets.end()) {
        mUpdateIteratorModified = false;
        Widget* child = *mUpdateIterator;
        if (mWidgetManager != nullptr && child == mWidgetManager->mBaseModalWidget) flags->isOver = true;
        child->UpdateAll(flags);
        if (!mUpdateIteratorModified) ++mUpdateIterator;
    }
    mUpdateIteratorModified = true;
}

void WidgetContainer::UpdateF(float fraction) { (void)fraction; }

void WidgetContainer::UpdateFAll(ModalFlags* flags, float fraction) {
    ModalFlagsGuard guard(flags);
    flags->ModFlags(mWidgetFlagsMod);
    if (flags->GetFlags() & WIDGETFLAGS_UPDATE) UpdateF(fraction);

    mUpdateIterator = mWidgets.begin();
    while (mUpdateIterator != mWidgets.end()) {
        mUpdateIteratorModified = false;
        Widget* child = *mUpdateIterator;
        if (mWidgetManager != nullptr && child == mWidgetManager->mBaseModalWidget) flags->isOver = true;
        child->UpdateFAll(flags, fraction);
        if (!mUpdateIteratorModified) ++mUpdateIterator;
    }
    mUpdateIteratorModified = true;
}

void WidgetContainer::Draw(Graphics* g) { (void)g; }

void WidgetContainer::DrawAll(ModalFlags* flags, Graphics* g) {
    if (mWidgetManager != nullptr && mPriority > mWidgetManager->mMinDeferredOverlayPriority)
        mWidgetManager->FlushDeferredOverlays(mPriority);

    ModalFlagsGuard guard(flags);
    flags->ModFlags(mWidgetFlagsMod);
    if (mClip && (flags->GetFlags() & WIDGETFLAGS_CLIP)) g->ClipRect(0, 0, mWidth, mHeight);

    if (mWidgets.empty()) {
        if (flags->GetFlags() & WIDGETFLAGS_DRAW) Draw(g);
        return;
    }
    if (flags->GetFlags() & WIDGETFLAGS_DRAW) {
        g->PushState();
        Draw(g);
        g->PopState();
    }
    for (Widget* child : mWidgets) {
        if (!child->mVisible) continue;
        if (mWidgetManager != nullptr && child == mWidgetManager->mBaseModalWidget) flags->isOver = true;
        Graphics copy(*g);
        copy.Translate(child->mX, child->mY);
        child->DrawAll(flags, &copy);
        child->mDirty = false;
    }
}

void WidgetContainer::SysColorChangedAll() {
    SysColorChanged();
    for (Widget* child : mWidgets) child->SysColorChangedAll();
}

void WidgetContainer::SysColorChanged() {}

}  // namespace Velm
