#include "engine/anim/AnimObject2.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "engine/anim/EngineHooks.h"
#include "engine/anim/SpriteSheet.h"
#include "engine/util/ComString.h"
#include "engine/util/IniFile.h"
#include "graphics/DrawMode.h"
#include "graphics/Graphics.h"
#include "platform/CrtRand.h"
#include "resources/base/StringUtils.h"

namespace {

const Velm::Color kOpaqueBlack(0, 0, 0, 255);

bool SameRgb(const Velm::Color& a, const Velm::Color& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

std::vector<std::string> SplitKey(const IniSection_t& section, const char* key) {
    std::string text;
    section.GetString(key, "", text);
    std::vector<std::string> items;
    com_string::Split(text.c_str(), ',', items);
    return items;
}

}  // namespace

AnimObject2::AnimObject2() { done = true; }

AnimObject2::AnimObject2(const AnimObject2& other) : DrawObject(other) {
    // Member-wise copy of everything, then the copy gives up ownership of the sheet: two
    // owners would delete it twice.
    userValue = other.userValue;
    additive = other.additive;
    spin = other.spin;
    startColour = other.startColour;
    endColour = other.endColour;
    currentColour = other.currentColour;
    colourPeriod = other.colourPeriod;
    startFrame = other.startFrame;
    stayOnLast = other.stayOnLast;
    holding = other.holding;
    stopped = other.stopped;
    sheet = other.sheet;
    sheetOwned = false;
    transform = other.transform;
    x = other.x;
    y = other.y;
    frameTick = other.frameTick;
    age = other.age;
    angle = other.angle;
    scale = other.scale;
    frameIndex = other.frameIndex;
    colourTable = other.colourTable;
    frames = other.frames;
    delays = other.delays;
    scales = other.scales;
    angles = other.angles;
    frameCount = other.frameCount;
    neverEnding = other.neverEnding;
    centred = other.centred;
}

AnimObject2::~AnimObject2() {
    if (sheetOwned) delete sheet;
}

void AnimObject2::LoadFile(const std::string& fileName) {
    IniFile_t ini;
    ini.Load(fileName, true);
    if (ini.GetSectionCount() == 0) return;
    std::string spriteName;
    ini.GetSection("Main").GetString("Sprite", "", spriteName);
    static const IniSection_t kEmpty;
    const IniSection_t* sheetSection = ini.FindSection(spriteName);
    LoadFromSections(ini.GetSection("Main"), sheetSection != nullptr ? *sheetSection : kEmpty, fileName);
}

void AnimObject2::LoadFromSections(const IniSection_t& main, const IniSection_t& sheetSection,
                                   const std::string& fileName) {
    frames.clear();
    delays.clear();

    x = main.GetFloat("X", 0);
    y = main.GetFloat("Y", 0);
    neverEnding = main.GetInt("NeverEnding", 1) == 1;
    stayOnLast = main.GetInt("StayOnLast", 0) == 1;

    if (sheetSection.GetCount() > 0) {
        SetSprite(GetSpriteSheetFromSection(fileName, sheetSection, true, true));
    } else {
        std::string spriteName;
        main.GetString("Sprite", "", spriteName);
        if (!spriteName.empty())
            SetSpriteByName(spriteName);
        else
            SetSprite(nullptr);
    }

    for (const std::string& item : SplitKey(main, "Frames")) {
        int frame = 0;
        std::sscanf(item.c_str(), "%d", &frame);
        frames.push_back(frame);
    }
    frameCount = static_cast<unsigned>(frames.size());

    // Per-entry tables: as long as the longer of the list and the frame list; a missing list
    // gives every entry the single-value key.
    const std::vector<std::string> delayItems = SplitKey(main, "FrameDelays");
    if (delayItems.empty()) {
        delays.assign(frameCount, main.GetInt("FrameDelay", 0));
    } else {
        delays.assign(std::max<size_t>(delayItems.size(), frameCount), 0);
        for (size_t i = 0; i < delayItems.size(); ++i) std::sscanf(delayItems[i].c_str(), "%d", &delays[i]);
    }

    const std::vector<std::string> scaleItems = SplitKey(main, "Scales");
    if (scaleItems.empty()) {
        scales.assign(frameCount, main.GetFloat("Scale", 1.0f));
    } else {
        scales.assign(std::max<size_t>(scaleItems.size(), frameCount), 0.0f);
        for (size_t i = 0; i < scaleItems.size(); ++i) std::sscanf(scaleItems[i].c_str(), "%f", &scales[i]);
    }

    if (main.HasKey("RandomAngle")) angle = static_cast<float>(plat::CrtRand() * 0.00019165624591230046);

    if (!main.HasKey("UseDeltaAngle")) {
        const std::vector<std::string> angleItems = SplitKey(main, "Angles");
        if (angleItems.empty()) {
            angles.assign(frameCount, main.GetFloat("Angle", 0));
        } else {
            angles.assign(std::max<size_t>(angleItems.size(), frameCount), 0.0f);
            for (size_t i = 0; i < angleItems.size(); ++i) std::sscanf(angleItems[i].c_str(), "%f", &angles[i]);
        }
    } else {
        spin = main.GetInt("UseDeltaAngle", 0);
        angles.assign(frameCount, 0.0f);
        if (frameCount > 0) {
            angles[0] = main.GetFloat("Angle", 0);
            const float stepDegrees = 360.0f / static_cast<float>(frameCount) * (spin < 0 ? -1.0f : 1.0f);
            for (unsigned i = 1; i < frameCount; ++i) {
                float a = angles[i - 1] + stepDegrees;
                if (a > 360.0f) a -= 360.0f;
                angles[i] = a;
            }
        }
    }
    for (float& a : angles) a *= 0.017453292f;

    additive = main.GetInt("DrawAdditive", 0) == 1;

    if (main.HasKey("StartColor")) {
        startColour = Velm::Color(static_cast<int>(main.GetHex("StartColor", 0)));
        endColour = Velm::Color(static_cast<int>(main.GetHex("EndColor", 0)));
        colourTable = {startColour, endColour, startColour};
        colourPeriod = main.GetInt("ColorDelay", 0);
    } else {
        const std::vector<std::string> colourItems = SplitKey(main, "Colors");
        if (!colourItems.empty()) {
            colourTable.assign(std::max<size_t>(colourItems.size(), frameCount), kOpaqueBlack);
            for (size_t i = 0; i < colourItems.size(); ++i) {
                int value = 0;
                Velm::StringToInt(colourItems[i], &value);  // an item that does not parse counts as 0
                colourTable[i] = Velm::Color(value);
            }
        } else {
            const unsigned colour = main.GetHex("Color", 0);
            if (colour != 0) colourTable.assign(frameCount, Velm::Color(static_cast<int>(colour)));
        }
    }

    startFrame = main.GetInt("StartFrame", 0);
    UpdateTransform();
}

void AnimObject2::SetSprite(SpriteSheet_t* newSheet) {
    if (sheetOwned) delete sheet;
    sheet = newSheet;
    sheetOwned = false;
}

void AnimObject2::SetSpriteByName(const std::string& fileName) {
    if (sheetOwned) delete sheet;
    sheetOwned = false;
    sheet = GetSpriteSheet(fileName, true, true);
}

void AnimObject2::SetSpriteCopy(const SpriteSheet_t* source) {
    if (sheetOwned) delete sheet;
    sheet = nullptr;
    sheetOwned = false;
    if (source == nullptr) return;
    sheet = new SpriteSheet_t;
    sheet->Assign(*source);
    sheetOwned = true;
}

void AnimObject2::SetColor(const Velm::Color& colour) {
    if (colourTable.empty()) colourTable.resize(std::max<size_t>(frames.size(), 1));
    for (Velm::Color& c : colourTable) c = colour;
    currentColour = colour;
}

void AnimObject2::SetPositionF(float px, float py) {
    x = px;
    y = py;
    UpdateTransform();
}

void AnimObject2::Start() {
    age = 0;
    // A start frame outside the frame list would index past the tables: start at the first.
    frameIndex = startFrame >= 0 && static_cast<unsigned>(startFrame) < frameCount ? startFrame : 0;
    holding = false;
    stopped = false;
    done = false;
    frameTick = 0;
    AnimObject2::UpdateTransform();
}

int AnimObject2::DelayDivisor(int index) const {
    const int delay = index >= 0 && index < static_cast<int>(delays.size()) ? delays[index] : 0;
    return std::max(delay, 1);
}

bool AnimObject2::Update() {
    if (IsStopped() || done || frames.empty()) return done;
    ++frameTick;
    ++age;
    const int delay = frameIndex < static_cast<int>(delays.size()) ? delays[frameIndex] : 0;
    if (frameTick >= delay) {
        frameTick = 0;
        ++frameIndex;
        if (frameIndex >= static_cast<int>(frameCount)) {
            if (stayOnLast) {
                frameIndex = static_cast<int>(frameCount) - 1;
                holding = true;
            } else if (neverEnding) {
                frameIndex = 0;
            } else {
                done = true;
                frameIndex = static_cast<int>(frameCount) - 1;
            }
        }
    }
    if (!done) UpdateColour();
    // The frame animation's own rebuild: a moving subclass moves only in Advance.
    AnimObject2::UpdateTransform();
    return done;
}

void AnimObject2::UpdateColour() {
    if (colourPeriod >= 2 && startColour != kOpaqueBlack) {
        if (holding || colourTable.empty()) return;
        const int half = colourPeriod / 2;
        const int phase = age % colourPeriod;
        // An odd period reaches a third pair index on its last tick; reads stop at the table's
        // last entry (the start colour again) instead of running past it.
        const int last = static_cast<int>(colourTable.size()) - 1;
        const int pair = phase / half;
        const Velm::Color& first = colourTable[std::min(pair, last)];
        const Velm::Color& second = colourTable[std::min(pair + 1, last)];
        const float f = static_cast<float>(age % half) / (colourPeriod * 0.5f);
        if (SameRgb(first, second)) {
            currentColour.red = first.red;
            currentColour.green = first.green;
            currentColour.blue = first.blue;
        } else {
            const unsigned a = EngineHooks::RGBToHSL(first.red, first.green, first.blue);
            const unsigned b = EngineHooks::RGBToHSL(second.red, second.green, second.blue);
            int hsl[3];
            for (int lane = 0; lane < 3; ++lane) {
                const int va = static_cast<int>((a >> (8 * lane)) & 0xFF);
                const int vb = static_cast<int>((b >> (8 * lane)) & 0xFF);
                hsl[lane] = va + static_cast<int>((vb - va) * f);
            }
            const unsigned rgb = EngineHooks::HSLToRGB(hsl[0], hsl[1], hsl[2]);
            currentColour.red = static_cast<int>((rgb >> 16) & 0xFF);
            currentColour.green = static_cast<int>((rgb >> 8) & 0xFF);
            currentColour.blue = static_cast<int>(rgb & 0xFF);
        }
        currentColour.alpha = first.alpha + static_cast<int>((second.alpha - first.alpha) * f);
    } else if (!colourTable.empty()) {
        const int index = std::clamp(frameIndex, 0, static_cast<int>(colourTable.size()) - 1);
        currentColour = colourTable[index];
    }
}

void AnimObject2::UpdateTransform() {
    if (done) return;
    transform.Reset();
    const int i = frameIndex;
    if (scales.size() >= 2 && i >= 0 && i < static_cast<int>(scales.size())) {
        const float next = scales[(i + 1) % scales.size()];
        scale = scales[i] + (next - scales[i]) / static_cast<float>(DelayDivisor(i)) * static_cast<float>(frameTick);
    }
    if (scale != 1.0f) transform.Scale(scale, scale);
    if (angles.size() >= 2 && i >= 0 && i < static_cast<int>(angles.size())) {
        const size_t wrap = frameCount > 0 ? frameCount : angles.size();
        if (spin == 0) {
            const float next = angles[(i + 1) % wrap];
            angle = angles[i] +
                    (next - angles[i]) / static_cast<float>(DelayDivisor(i)) * static_cast<float>(frameTick);
        } else if (frameCount > 0) {
            const float step = 360.0f / static_cast<float>(frameCount) / static_cast<float>(DelayDivisor(i)) /
                               static_cast<float>(std::abs(spin));
            angle += spin > 0 ? step : -step;
        }
    }
    if (angle != 0) transform.Rotate(angle);
    transform.Translate(x, y);
}

void AnimObject2::Draw(Velm::Graphics* g) { DrawSheet(g, false); }

void AnimObject2::DrawTransformed(Velm::Graphics* g) { DrawSheet(g, true); }

void AnimObject2::DrawSheet(Velm::Graphics* g, bool transformed) {
    if (sheet == nullptr || done) return;
    if (!frames.empty() && frameIndex >= 0 && frameIndex < static_cast<int>(frames.size())) {
        const int rect = frames[frameIndex];
        if (rect >= 0 && rect < static_cast<int>(sheet->rects.size())) sheet->currentRect = sheet->rects[rect];
    }
    g->PushState();
    g->SetDrawMode(additive ? Velm::DRAWMODE_ADDITIVE : Velm::DRAWMODE_NORMAL);
    const bool tint =
            currentColour.red != 0 || currentColour.green != 0 || currentColour.blue != 0 || currentColour.alpha != 0;
    if (tint) {
        g->SetTintImages(true);
        g->SetColor(currentColour);
    }
    if (transformed)
        sheet->DrawTransformed(g, transform);
    else
        sheet->DrawAt(g, x, y, centred);
    g->SetTintImages(false);
    g->PopState();
}

void AnimObject2::CopyFrom(const AnimObject2& other) {
    done = other.done;
    stopped = other.stopped;
    if (sheetOwned) delete sheet;
    sheet = other.sheet;
    sheetOwned = false;
    frameTick = other.frameTick;
    frameIndex = other.frameIndex;
    frames = other.frames;
    delays = other.delays;
    scales = other.scales;
    angles = other.angles;
    colourTable = other.colourTable;
    additive = other.additive;
    frameCount = other.frameCount;
    userValue = other.userValue;
    startColour = other.startColour;
    endColour = other.endColour;
    colourPeriod = other.colourPeriod;
    startFrame = other.startFrame;
    stayOnLast = other.stayOnLast;
    neverEnding = other.neverEnding;
    centred = other.centred;
    SetPositionF(other.x, other.y);
}
