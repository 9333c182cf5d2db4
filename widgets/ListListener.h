#pragma once

namespace Velm {

// Told about a ListWidget's lines; line index -1 means none.
class ListListener {
public:
    virtual ~ListListener() = default;
    // A press on the line under the pointer.
    virtual void ListClicked(int listId, int lineIndex, int clickCount) {
        (void)listId;
        (void)lineIndex;
        (void)clickCount;
    }
    // The list left the widget manager.
    virtual void ListClosed(int listId) { (void)listId; }
    // The line under the pointer changed.
    virtual void ListHiliteChanged(int listId, int oldIndex, int newIndex) {
        (void)listId;
        (void)oldIndex;
        (void)newIndex;
    }
};

}  // namespace Velm
