#pragma once

namespace Velm {

// Told by a story (the comic pages and balloons of a stage) as it runs; every operation is
// optional. The play screen listens to the story told before a level.
class HistoryListener {
public:
    virtual ~HistoryListener() = default;
    virtual void OnItemStarted(int item) { (void)item; }
    virtual void OnItemDone(int item) { (void)item; }
    virtual void OnHistoryDone() {}
};

}  // namespace Velm
