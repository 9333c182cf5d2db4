#pragma once

// Shared by the effect tests: a listener that counts every callback of the board's effects,
// and a driver that runs an effect list the way the play screen does (one Update, then one
// advance of a whole tick).

#include <string>
#include <vector>

#include "game/board/effects/BoardAppearEffect2.h"
#include "game/board/effects/EffectGo.h"
#include "game/board/effects/EffectMultiply.h"
#include "game/board/effects/EffectRemover.h"
#include "game/board/effects/EffectSinus.h"
#include "game/board/effects/ObjectsManager.h"

namespace effecttest {

struct CountingListener : ObjectsManagerListener,
                          SwapListener,
                          EffectRemoverListener,
                          BonusChangeListener,
                          EffectGoListener {
    int added = 0;
    int removed = 0;
    int allRemoved = 0;
    int swapDone = 0;
    std::vector<int> targetsReached;
    int removerDone = 0;
    int changeDone = 0;
    int goDone = 0;

    void OnObjectAdded(DrawObject*) override { ++added; }
    void OnObjectRemoved(DrawObject*) override { ++removed; }
    void OnAllObjectsRemoved() override { ++allRemoved; }
    void OnSwapEffectDone() override { ++swapDone; }
    void OnRemoverTargetReached(EffectRemover*, int target) override { targetsReached.push_back(target); }
    void OnRemoverDone(EffectRemover*) override { ++removerDone; }
    void OnBonusChangeDone() override { ++changeDone; }
    void OnGoDone(EffectGo*) override { ++goDone; }

    // Completion calls of the effects themselves (not the list's own).
    int Completions() const {
        return swapDone + static_cast<int>(targetsReached.size()) + removerDone + changeDone + goDone;
    }
};

// One screen tick: the list's update, then a whole tick of motion.
inline void Tick(ObjectsManager& list) {
    list.Update();
    list.AdvanceAll(1.0f);
}

}  // namespace effecttest
