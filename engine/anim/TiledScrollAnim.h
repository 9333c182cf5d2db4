#pragma once

#include "engine/anim/AnimObject2.h"

// An animation whose frame is repeated over a rectangular area (areaWidth x areaHeight pixels
// with its top-left corner at the origin) and scrolled by speed pixels per update tick; the
// main menu's moving backgrounds. Never finishes. Extra keys of its ".anim" file: SpeedX,
// SpeedY, Width, Height. The tile size is the sheet's current rectangle, taken whenever the
// sheet is set.
class TiledScrollAnim_t : public AnimObject2 {
public:
    TiledScrollAnim_t() = default;

    void Draw(Velm::Graphics* g) override;
    void Advance(float ticks) override;
    void LoadFile(const std::string& fileName) override { AnimObject2::LoadFile(fileName); }
    void LoadFromSections(const IniSection_t& mainSection, const IniSection_t& sheetSection,
                          const std::string& fileName) override;
    void SetSpriteByName(const std::string& fileName) override;
    void SetSprite(SpriteSheet_t* newSheet) override;
    void Start() override;

    float scrollX = 0;
    float scrollY = 0;
    float speedX = 0;
    float speedY = 0;
    int tileWidth = 0;
    int tileHeight = 0;
    int areaWidth = 0;
    int areaHeight = 0;
    int originX = 0;
    int originY = 0;

private:
    void TakeTileSize();
};
