#include "engine/anim/TiledScrollAnim.h"

#include "engine/anim/SpriteSheet.h"
#include "engine/util/IniFile.h"
#include "graphics/Graphics.h"

void TiledScrollAnim_t::TakeTileSize() {
    // Without a sheet there is no tile: Draw then draws nothing.
    tileWidth = sheet != nullptr ? sheet->currentRect.width : 0;
    tileHeight = sheet != nullptr ? sheet->currentRect.height : 0;
}

void TiledScrollAnim_t::LoadFromSections(const IniSection_t& mainSection, const IniSection_t& sheetSection,
                                         const std::string& fileName) {
    AnimObject2::LoadFromSections(mainSection, sheetSection, fileName);
    originX = static_cast<int>(x);
    originY = static_cast<int>(y);
    speedX = mainSection.GetFloat("SpeedX", 0);
    speedY = mainSection.GetFloat("SpeedY", 0);
    areaWidth = mainSection.GetInt("Width", 0);
    areaHeight = mainSection.GetInt("Height", 0);
    TakeTileSize();
}

void TiledScrollAnim_t::SetSpriteByName(const std::string& fileName) {
    AnimObject2::SetSpriteByName(fileName);
    TakeTileSize();
}

void TiledScrollAnim_t::SetSprite(SpriteSheet_t* newSheet) {
    AnimObject2::SetSprite(newSheet);
    TakeTileSize();
}

void TiledScrollAnim_t::Start() {
    scrollX = 0;
    scrollY = 0;
    AnimObject2::Start();
}

void TiledScrollAnim_t::Advance(float ticks) {
    scrollX += ticks * speedX;
    scrollY += ticks * speedY;
    if (scrollX >= tileWidth || scrollX <= -tileWidth) scrollX = 0;
    if (scrollY > tileHeight || scrollY <= -tileHeight) scrollY = 0;
}

void TiledScrollAnim_t::Draw(Velm::Graphics* g) {
    // A tile of no size would never step across the area.
    if (tileWidth <= 0 || tileHeight <= 0) return;
    g->PushState();
    g->Translate(originX, originY);
    g->SetClipRect(Velm::Rect(0, 0, areaWidth, areaHeight));
    const float rowStartX = scrollX - tileWidth;
    const float x0 = rowStartX == -tileWidth ? 0.0f : rowStartX;
    const float y0 = scrollY - tileHeight == -tileHeight ? 0.0f : scrollY - tileHeight;
    bool firstRow = true;
    for (float ty = y0; ty < areaHeight; ty += tileHeight) {
        for (float tx = firstRow ? x0 : rowStartX; tx < areaWidth; tx += tileWidth) {
            x = tx + tileWidth / 2;
            y = ty + tileHeight / 2;
            AnimObject2::UpdateTransform();
            AnimObject2::Draw(g);
        }
        firstRow = false;
    }
    g->PopState();
}
