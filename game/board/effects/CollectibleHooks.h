#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/anim/StillImage.h"

namespace Velm {
class Image;
}

// The board's side of three adventure features: collectible items (clothes for the heroine)
// gathered into a progress value, hidden jewels clicked on the board, and the level's item
// list. Nothing in this game fills the registry, the stages' item lists or the jewels, so the
// hooks stay idle; what they do once fed is fixed here so that the profile's counters keep one
// meaning. Item counts are whole items; ticks are updates of 10 ms. Main thread only.

// One collectible piece: still to be won while active; threshold is the items it needs.
struct CollectibleItem_t {
    std::string name;
    bool active = true;
    int threshold = 0;
};

// Every collectible of the game (one global object): groups of items by name, searched in
// order, and the list of all items in registry order (their index is what a profile records).
class CollectibleRegistry_t {
public:
    static CollectibleRegistry_t& Instance();

    // The item of that name in the first group holding it; null when none does.
    CollectibleItem_t* Find(const std::string& name) const;
    // The item's place in the registry's list; 0 when absent.
    int IndexOf(const CollectibleItem_t* item) const;
    // Adds an item to the list and to group `group` (created as needed); the registry owns it.
    CollectibleItem_t* Add(int group, const std::string& name, int threshold);
    void Clear();

    std::vector<std::map<std::string, CollectibleItem_t*>> groups;
    std::map<std::string, int> extra;
    std::vector<std::unique_ptr<CollectibleItem_t>> items;
};

class JewelsManager_t;

// A hidden jewel on the board: a picture at (x, y), clickable while not taken and visible.
struct Jewel_t {
    int x = 0;
    int y = 0;
    bool taken = false;
    Velm::Image* picture = nullptr;
    int width = 0;  // of the picture
    int height = 0;
    float alpha = 255.0f;
    int kind = 0;         // 0 score jewel, 1 item
    bool fading = false;  // taken: fades out from its alpha to 0
};

// Told when the player clicks a jewel.
class JewelInGameListener {
public:
    virtual ~JewelInGameListener() = default;
    virtual void OnJewelFound(Jewel_t* jewel) = 0;
};

// The jewels of the running level (one global object; the play screen listens).
class JewelsManager_t {
public:
    static JewelsManager_t& Instance();

    // The first jewel in list order that is not taken, whose rectangle (right and bottom
    // edges excluded) holds the point and whose alpha (truncated) is above 20: the listener
    // is told, the jewel is taken and starts fading; true. Otherwise false.
    bool HitTest(int x, int y);
    // One update tick: every taken jewel fades by kFadeStep until it is gone.
    void Update();

    static constexpr float kFadeStep = 5.1f;  // 50 ticks from full alpha

    JewelInGameListener* listener = nullptr;
    int fadeTicks = 1000;
    int found = 0;
    int round = 1;
    std::vector<Jewel_t> jewels;
};

class StuffValue_t;

// Told when the clothes progress value has rested at its target for its hold time.
class StuffValueListener {
public:
    virtual ~StuffValueListener() = default;
    virtual void OnStuffValueReached(StuffValue_t* value) = 0;
};

// The clothes progress value of the play screen: moves toward its target by step per tick,
// then holds for holdTicks before telling its listener. Never drawn in this game.
class StuffValue_t {
public:
    // immediate: current = target = value at once. Otherwise the step turns toward the value
    // (its size unchanged) and the move starts; an equal value stops the step.
    void SetTarget(float value, bool immediate);
    void Tick();

    bool on = true;
    float current = 0.0f;
    float target = 0.0f;
    float step = 0.0f;
    StillImage_t picture;
    int holdCounter = 0;
    int holdTicks = 50;
    StuffValueListener* listener = nullptr;
    float reference = 0.0f;  // the value at which the clothes count as ready; stays 0
    int x = 0;               // where the value's effects start
    int y = 0;
};

// The play screen's per-level state of the hooks: the level's item list, the items needed
// for the next piece, the jewels found and the progress value.
class BoardCollectibles_t {
public:
    // Rebuilds the item list from the stage's item names and sets the value at once to the
    // share of the next piece already gathered. With no item needed (no active item, or a
    // threshold of 0) the target is 0.
    void StartLevel(const std::vector<std::string>& stageItemNames, int itemCount);
    // The gathered share of the next piece: itemCount / itemsNeeded, 0 with no item needed.
    float Share(int itemCount) const;
    // The first active item of the list whose threshold equals itemCount is won: it becomes
    // inactive and its registry index comes back; -1 when none.
    int GrantItem(int itemCount);
    // A flight carrying an item reached the value: it moves toward factor, faster for more.
    void OnFlightArrived(float factor);

    std::vector<CollectibleItem_t*> items;
    int itemsNeeded = 0;
    int jewelCounter = 0;
    StuffValue_t value;
};
