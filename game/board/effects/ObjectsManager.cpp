#include "game/board/effects/ObjectsManager.h"

ObjectsManager::~ObjectsManager() {
    if (mOwnsObjects) Clear();
    mEntries.clear();
}

void ObjectsManager::AddObject(DrawObject* object, int delayTicks) {
    if (object == nullptr) return;
    auto entry = std::make_unique<Entry>();
    entry->delay = delayTicks;
    entry->object = object;
    entry->started = delayTicks <= 0;
    mEntries.push_back(std::move(entry));
    if (mListener != nullptr) mListener->OnObjectAdded(object);
}

void ObjectsManager::Update() {
    mUpdating = true;
    mClearedDuringUpdate = false;
    size_t i = 0;
    while (i < mEntries.size()) {
        Entry& entry = *mEntries[i];
        if (entry.delay > 0 && entry.ticksWaited < entry.delay) {
            ++entry.ticksWaited;
            if (entry.ticksWaited == entry.delay) entry.started = true;
            ++i;
            continue;
        }
        DrawObject* object = entry.object;
        object->Update();
        // The object's update may have called a listener that cleared this list.
        if (mClearedDuringUpdate) break;
        if (mOwnsObjects && object->IsDone()) {
            if (mListener != nullptr) mListener->OnObjectRemoved(object);
            if (mClearedDuringUpdate) break;
            // The entry may have moved if the listener added objects; find it again.
            size_t at = i;
            if (at >= mEntries.size() || mEntries[at]->object != object) {
                for (at = 0; at < mEntries.size() && mEntries[at]->object != object; ++at) {
                }
            }
            if (at < mEntries.size()) {
                delete mEntries[at]->object;
                mEntries.erase(mEntries.begin() + static_cast<std::ptrdiff_t>(at));
            }
            if (mEntries.empty()) {
                if (mListener != nullptr) mListener->OnAllObjectsRemoved();
                break;
            }
            continue;
        }
        ++i;
    }
    mUpdating = false;
    for (DrawObject* object : mDeferred) delete object;
    mDeferred.clear();
}

void ObjectsManager::AdvanceAll(float ticks) {
    // Index loop: an advance may add objects (a listener reached from a mover).
    for (size_t i = 0; i < mEntries.size(); ++i) {
        if (mEntries[i]->started) mEntries[i]->object->Advance(ticks);
    }
}

void ObjectsManager::Draw(Velm::Graphics* g) {
    for (size_t i = 0; i < mEntries.size(); ++i) {
        const Entry& entry = *mEntries[i];
        if (!entry.started) continue;
        if (entry.object->drawLayer == 0)
            entry.object->Draw(g);
        else if (entry.object->drawLayer == 1)
            entry.object->DrawTransformed(g);
    }
}

void ObjectsManager::Clear() {
    // Detach first: a destructor that reached back into this list would find it empty.
    std::vector<std::unique_ptr<Entry>> old;
    old.swap(mEntries);
    mEntries.shrink_to_fit();
    if (!mOwnsObjects) return;
    if (mUpdating) {
        // Cleared from inside an object's update (through a listener): the object whose
        // update is running is still on the stack, so the deletions wait for the walk's end.
        mClearedDuringUpdate = true;
        for (auto& entry : old) mDeferred.push_back(entry->object);
        return;
    }
    for (auto& entry : old) delete entry->object;
}

DrawObject* ObjectsManager::At(int i) const {
    if (i < 0 || i >= Count()) return nullptr;
    return mEntries[static_cast<size_t>(i)]->object;
}

bool ObjectsManager::IsStarted(int i) const {
    return i >= 0 && i < Count() && mEntries[static_cast<size_t>(i)]->started;
}
