#pragma once

#include <string>
#include <vector>

#include "engine/anim/DrawObject.h"
#include "graphics/Color.h"
#include "graphics/Transform.h"

class IniSection_t;
class SpriteSheet_t;

// A sprite animation: plays a list of sprite-sheet rectangles with per-frame delays, and can
// scale, rotate and tint each frame, loop, hold the last frame or cycle between two colours.
// Time is counted in update ticks (one Update, 10 ms of game time). Positions are screen
// pixels, angles radians. Constructed done and stopped; nothing plays until Start.
//
// Described by the section "Main" of an ".anim" INI file; its "Sprite" key names another
// section of the same file holding the sheet keys (see SpriteSheet_t), or a ".spr" file.
// Keys: X, Y; NeverEnding (1 loops); StayOnLast (1 holds the last frame); Frames (sheet
// rectangle indices); FrameDelays / FrameDelay; Scales / Scale; RandomAngle (present: random
// start angle); UseDeltaAngle (spin); Angles / Angle (degrees); DrawAdditive; StartColor,
// EndColor, ColorDelay (colour cycle, hex 0xAARRGGBB); Colors (per frame, decimal or 0x);
// Color (hex, every frame); StartFrame.
class AnimObject2 : public DrawObject {
public:
    AnimObject2();
    // Copies every field; the copy shares the sheet and never owns it.
    AnimObject2(const AnimObject2& other);
    AnimObject2& operator=(const AnimObject2&) = delete;
    ~AnimObject2() override;

    void Draw(Velm::Graphics* g) override;
    void DrawTransformed(Velm::Graphics* g) override;
    bool Update() override;

    // A missing or empty file changes nothing.
    virtual void LoadFile(const std::string& fileName);
    virtual void LoadFromSections(const IniSection_t& mainSection, const IniSection_t& sheetSection,
                                  const std::string& fileName);
    virtual bool IsStopped() { return stopped; }
    virtual bool IsPlaying() { return !done && !IsStopped(); }
    // The cached sheet of that file (registered and resolved), not owned.
    virtual void SetSpriteByName(const std::string& fileName);
    // A sheet owned elsewhere (or null).
    virtual void SetSprite(SpriteSheet_t* newSheet);
    virtual void SetPosition(int px, int py) { SetPositionF(static_cast<float>(px), static_cast<float>(py)); }
    virtual void SetPositionF(float px, float py);
    // Rebuilds the transform from scale, angle and position (nothing while done).
    virtual void UpdateTransform();
    virtual void Start();
    virtual void Stop() { done = true; }
    virtual void CopyFrom(const AnimObject2& other);

    // An owned copy of the sheet, for animations whose current rectangle changes on its own.
    void SetSpriteCopy(const SpriteSheet_t* source);
    void SetColor(const Velm::Color& colour);

    int userValue = 0;
    bool additive = false;
    // 0: the angle follows the angle table; otherwise the sprite turns continuously, the sign
    // giving the direction and the size dividing the speed.
    int spin = 0;
    Velm::Color startColour{0, 0, 0, 0};
    Velm::Color endColour{0, 0, 0, 0};
    Velm::Color currentColour{0, 0, 0, 0};  // the tint; all four 0 means none
    int colourPeriod = 0;                   // ticks of a start-end-start colour cycle; below 2 no cycle
    int startFrame = 0;
    bool stayOnLast = false;
    bool holding = false;
    bool stopped = true;
    SpriteSheet_t* sheet = nullptr;
    bool sheetOwned = false;
    Velm::Transform transform;
    float x = 0;
    float y = 0;
    int frameTick = 0;
    int age = 0;  // ticks since Start
    float angle = 0;
    float scale = 1.0f;
    int frameIndex = 0;
    std::vector<Velm::Color> colourTable;  // per frame, or start, end, start for a cycle
    std::vector<int> frames;               // sheet rectangle indices
    std::vector<int> delays;               // ticks per frame-list entry
    std::vector<float> scales;
    std::vector<float> angles;  // radians
    unsigned frameCount = 0;
    bool neverEnding = true;
    bool centred = true;

protected:
    // The delay of a frame-list entry as a divisor: at least 1.
    int DelayDivisor(int index) const;
    void UpdateColour();
    void DrawSheet(Velm::Graphics* g, bool transformed);
};
