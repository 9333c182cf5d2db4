#pragma once

#include <list>

#include "widgets/WidgetFlags.h"
#include "widgets/WidgetGeometry.h"

namespace Velm {

class Graphics;
class Widget;
class WidgetManager;

// A node of the widget tree: an ordered list of child widgets kept sorted by
// z-order (back to front: the first child is drawn first and hit-tested
// last), links to the parent and to the WidgetManager at the root, a
// rectangle in the parent's coordinates and a dirty flag. A container never
// owns its children: removing or destroying it deletes none of them unless
// RemoveAllWidgets is asked to. Main thread only.
class WidgetContainer {
public:
    using WidgetList = std::list<Widget*>;

    WidgetContainer();
    virtual ~WidgetContainer();
    WidgetContainer(const WidgetContainer&) = delete;
    WidgetContainer& operator=(const WidgetContainer&) = delete;

    virtual Rect GetRect();
    // The rectangles overlap with positive area (touching is not enough).
    virtual bool Intersects(WidgetContainer* other);
    virtual void AddWidget(Widget* widget);
    virtual void RemoveWidget(Widget* widget);
    virtual bool HasWidget(Widget* widget);
    virtual void DisableWidget(Widget* widget);
    virtual void RemoveAllWidgets(bool deleteWidgets = false, bool recursive = false);
    virtual void SetFocus(Widget* widget);
    // a is met before b in a back-to-front, parent-before-children walk.
    virtual bool IsBelow(Widget* a, Widget* b);
    virtual void MarkAllDirty();
    virtual void BringToFront(Widget* widget);
    virtual void BringToBack(Widget* widget);
    virtual void PutBehind(Widget* widget, Widget* ref);
    virtual void PutInFront(Widget* widget, Widget* ref);
    virtual Point GetAbsPos();
    virtual void MarkDirty(Widget* child);
    virtual void MarkDirty();
    virtual void MarkDirtyFull(Widget* child);
    virtual void MarkDirtyFull();
    virtual void AddedToManager(WidgetManager* manager);
    virtual void RemovedFromManager(WidgetManager* manager);
    virtual void Update();
    virtual void UpdateAll(ModalFlags* flags);
    virtual void UpdateF(float fraction);
    virtual void UpdateFAll(ModalFlags* flags, float fraction);
    virtual void Draw(Graphics* g);
    virtual void DrawAll(ModalFlags* flags, Graphics* g);
    virtual void SysColorChangedAll();
    virtual void SysColorChanged();

    WidgetList mWidgets;
    WidgetManager* mWidgetManager = nullptr;
    WidgetContainer* mParent = nullptr;
    // Set when the child at the update iterator was removed or moved during a walk.
    bool mUpdateIteratorModified = false;
    WidgetList::iterator mUpdateIterator;
    int mLastWMUpdateCount = 0;
    int mUpdateCnt = 0;
    bool mDirty = false;
    int mX = 0;
    int mY = 0;
    int mWidth = 0;
    int mHeight = 0;
    // The node does not paint every pixel of its rectangle.
    bool mHasAlpha = false;
    bool mClip = true;
    FlagsMod mWidgetFlagsMod;
    // Overlay priority at which this node draws.
    int mPriority = 0;
    int mZOrder = 0;

protected:
    // Inserts by z-order near the requested position (see the .cpp).
    void InsertWidgetHelper(WidgetList::iterator where, Widget* widget);
    // Clean-up of a widget leaving a manager's tree.
    void WidgetRemovedHelper(Widget* widget);
    // Unlinks a direct child, keeping a walk in progress valid; false when
    // the widget is not a direct child.
    bool UnlinkChild(Widget* widget);
    WidgetList::iterator FindChild(Widget* widget);
    bool IsBelowHelper(WidgetContainer* node, Widget* a, Widget* b, bool* found);
};

}  // namespace Velm
