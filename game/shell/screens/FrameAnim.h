#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/anim/StillImage.h"

namespace Velm {
class Graphics;
}

// One frame of a FrameAnim_t: a still picture (the image file is the item's
// name) drawn at the animation's base position plus the item's offset.
struct FrameAnimItem_t {
    std::string name;
    StillImage_t picture;
    int offsetX = 0;
    int offsetY = 0;
    int baseX = 0;
    int baseY = 0;
    int reserved = 0;
};

// A flip-book animation described in an XML file: the main menu's fire. The
// document's root element holds one child per animation, named after it, with
// the attributes "time" (seconds per frame, 0.2), "x", "y" (base position, 0)
// and "additive" (1: frames drawn additively), and one "item" child per frame,
// in order, with "name" (the picture file, required) and "x", "y" (the frame's
// offset, 0). Frame time is counted in seconds; the owner advances it by 0.01
// per update tick. Main thread only (the loading thread builds it before the
// menu is shown).
class FrameAnim_t {
public:
    FrameAnim_t() = default;
    ~FrameAnim_t();
    FrameAnim_t(const FrameAnim_t&) = delete;
    FrameAnim_t& operator=(const FrameAnim_t&) = delete;

    // Reads the named animation of the file (through the resource pack). A file
    // that cannot be read or parsed, or has no such element, leaves the
    // animation empty and answers false with the reason in GetError. Items
    // without a "name" are skipped. loadImages loads every frame's picture now.
    bool Load(const std::string& fileName, const std::string& elementName, bool loadImages);
    // The same from XML text; origin names it in the error text.
    bool LoadFromText(const std::string& text, const std::string& origin, const std::string& elementName,
                      bool loadImages);
    // Deletes every frame (their pictures with them) and stops.
    void Clear();

    void Start();
    // Advances by seconds; a frame lasts frameTime and the last wraps to the first.
    void Update(float seconds);
    // The current frame, not centred, while playing.
    void Draw(Velm::Graphics* g);
    // Stores the base position (truncated) in every frame.
    void SetPosition(float newX, float newY);
    void LoadImages();

    const std::string& GetError() const { return mError; }
    const FrameAnimItem_t* GetItem(int index) const;

    float scale = 1.0f;
    bool playing = false;
    float frameTime = 0.2f;
    float elapsed = 0;
    int frame = 0;
    int frameCount = 0;
    float x = 0;
    float y = 0;
    std::vector<std::unique_ptr<FrameAnimItem_t>> items;

private:
    std::string mError;
};
