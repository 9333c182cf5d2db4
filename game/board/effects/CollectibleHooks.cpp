#include "game/board/effects/CollectibleHooks.h"

#include <algorithm>

CollectibleRegistry_t& CollectibleRegistry_t::Instance() {
    static CollectibleRegistry_t registry;
    return registry;
}

CollectibleItem_t* CollectibleRegistry_t::Find(const std::string& name) const {
    for (const auto& group : groups) {
        const auto found = group.find(name);
        if (found != group.end()) return found->second;
    }
    return nullptr;
}

int CollectibleRegistry_t::IndexOf(const CollectibleItem_t* item) const {
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].get() == item) return static_cast<int>(i);
    }
    return 0;
}

CollectibleItem_t* CollectibleRegistry_t::Add(int group, const std::string& name, int threshold) {
    auto item = std::make_unique<CollectibleItem_t>();
    item->name = name;
    item->threshold = threshold;
    if (group >= static_cast<int>(groups.size())) groups.resize(static_cast<size_t>(group) + 1);
    CollectibleItem_t* added = item.get();
    groups[static_cast<size_t>(group)][name] = added;
    items.push_back(std::move(item));
    return added;
}

void CollectibleRegistry_t::Clear() {
    groups.clear();
    extra.clear();
    items.clear();
}

JewelsManager_t& JewelsManager_t::Instance() {
    static JewelsManager_t manager;
    return manager;
}

bool JewelsManager_t::HitTest(int px, int py) {
    for (Jewel_t& jewel : jewels) {
        if (jewel.taken) continue;
        const bool inside = px >= jewel.x && py >= jewel.y && px < jewel.x + jewel.width && py < jewel.y + jewel.height;
        if (!inside || static_cast<int>(jewel.alpha) <= 20) continue;
        if (listener != nullptr) listener->OnJewelFound(&jewel);
        jewel.taken = true;
        jewel.fading = true;
        return true;
    }
    return false;
}

void JewelsManager_t::Update() {
    for (Jewel_t& jewel : jewels) {
        if (!jewel.fading) continue;
        jewel.alpha -= kFadeStep;
        if (jewel.alpha <= 0.0f) {
            jewel.alpha = 0.0f;
            jewel.fading = false;
        }
    }
}

void StuffValue_t::SetTarget(float newValue, bool immediate) {
    if (immediate) {
        current = target = newValue;
        holdCounter = 0;
        return;
    }
    if (newValue != current) {
        const float size = step < 0.0f ? -step : step;
        step = newValue > current ? size : -size;
        holdCounter = 0;
        target = newValue;
    } else {
        step = 0.0f;
        current = target = newValue;
    }
}

void StuffValue_t::Tick() {
    if (current != target) {
        current += step;
        if ((step >= 0.0f && current >= target) || (step < 0.0f && current <= target)) current = target;
        holdCounter = holdTicks;
    }
    if (holdCounter > 0 && --holdCounter == 0 && listener != nullptr) listener->OnStuffValueReached(this);
}

void BoardCollectibles_t::StartLevel(const std::vector<std::string>& stageItemNames, int itemCount) {
    items.clear();
    for (const std::string& name : stageItemNames) {
        if (CollectibleItem_t* item = CollectibleRegistry_t::Instance().Find(name)) items.push_back(item);
    }
    itemsNeeded = 0;
    for (const CollectibleItem_t* item : items) {
        if (item->active) {
            itemsNeeded = item->threshold;
            break;
        }
    }
    jewelCounter = 0;
    value.SetTarget(Share(itemCount), true);
}

float BoardCollectibles_t::Share(int itemCount) const {
    if (itemsNeeded <= 0) return 0.0f;
    return static_cast<float>(itemCount) / static_cast<float>(itemsNeeded);
}

int BoardCollectibles_t::GrantItem(int itemCount) {
    for (CollectibleItem_t* item : items) {
        if (item->active && item->threshold == itemCount) {
            item->active = false;
            return CollectibleRegistry_t::Instance().IndexOf(item);
        }
    }
    return -1;
}

void BoardCollectibles_t::OnFlightArrived(float factor) {
    value.step = 0.05f * std::max(factor, 0.1f);
    value.SetTarget(factor, false);
}
