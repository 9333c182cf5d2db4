#pragma once

#include <memory>
#include <vector>

#include "engine/anim/DrawObject.h"

namespace Velm {
class Graphics;
}

// Told by an ObjectsManager about its contents. All operations are optional.
class ObjectsManagerListener {
public:
    virtual ~ObjectsManagerListener() = default;
    virtual void OnObjectAdded(DrawObject* /*object*/) {}
    // Before the finished object is deleted.
    virtual void OnObjectRemoved(DrawObject* /*object*/) {}
    // The list became empty because its last object finished.
    virtual void OnAllObjectsRemoved() {}
};

// A list of timed effects: starts each object after its start delay, ticks, advances and draws
// the started ones, deletes the finished ones and says when it became empty. The play screen
// keeps five of them. Time is update ticks of 10 ms. Main thread only.
//
// Clear deletes everything without telling the listener, and an object's destructor reports
// nothing either: an effect that is cleared before it has finished never completes, which is
// what a level start or the screen's destruction wants.
class ObjectsManager {
public:
    explicit ObjectsManager(bool ownsObjects = true) : mOwnsObjects(ownsObjects) {}
    ~ObjectsManager();
    ObjectsManager(const ObjectsManager&) = delete;
    ObjectsManager& operator=(const ObjectsManager&) = delete;

    void SetListener(ObjectsManagerListener* listener) { mListener = listener; }
    // The list takes the object; delayTicks 0 starts it at once.
    void AddObject(DrawObject* object, int delayTicks = 0);
    void AddObject(std::unique_ptr<DrawObject> object, int delayTicks = 0) { AddObject(object.release(), delayTicks); }
    // One update tick over the entries in list order.
    void Update();
    void AdvanceAll(float ticks);
    // Started objects by their draw layer: 0 Draw, 1 DrawTransformed, others not drawn.
    void Draw(Velm::Graphics* g);
    void Clear();

    bool IsEmpty() const { return mEntries.empty(); }
    int Count() const { return static_cast<int>(mEntries.size()); }
    // The object of entry i (insertion order), or null.
    DrawObject* At(int i) const;
    bool IsStarted(int i) const;

private:
    struct Entry {
        int ticksWaited = 0;
        int delay = 0;
        DrawObject* object = nullptr;
        bool started = false;
    };
    std::vector<std::unique_ptr<Entry>> mEntries;
    bool mOwnsObjects = true;
    ObjectsManagerListener* mListener = nullptr;
    // Set while Update runs, so a Clear from a listener ends the walk safely.
    bool mUpdating = false;
    bool mClearedDuringUpdate = false;
    std::vector<DrawObject*> mDeferred;  // cleared while updating; deleted when the walk ends
};
