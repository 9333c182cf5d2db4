#include "engine/particles/SimpleParticleSystem.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "engine/anim/EngineHooks.h"
#include "engine/util/ComString.h"
#include "engine/util/IniFile.h"
#include "graphics/Color.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/Transform.h"
#include "graphics/Vector.h"
#include "platform/CrtRand.h"

namespace {

// The in-turn texture rectangle choice: one counter shared by every system.
int gNextRect = 0;

// Tries of the ellipse birth area before the centre is taken (only a size that is not a
// number can make every try fail).
constexpr int kEllipseTries = 1000;

float Rand01() { return static_cast<float>(plat::CrtRand() * 3.0518509475997192e-05); }

float RandRange(float lo, float hi) { return lo + (hi - lo) * Rand01(); }

// "x,y,w,h": exactly three commas, each right after a digit and neither first nor last.
bool IsRectItem(const std::string& text) {
    int commas = 0;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == ',' && std::isdigit(static_cast<unsigned char>(text[i - 1]))) ++commas;
    }
    return commas == 3;
}

int ToChannel(float v) { return std::clamp(static_cast<int>(v * 255.0f), 0, 255); }

}  // namespace

SimpleParticleSystem_t::SimpleParticleSystem_t(const std::string& fileName, float stepsPerSecond)
        : stepInterval(stepsPerSecond != 0 ? 1.0f / stepsPerSecond : 0.0f), particles(kMaxParticles) {
    if (fileName.find(".ini") != std::string::npos || fileName.find(".INI") != std::string::npos)
        LoadFile(fileName, "Default");
}

SimpleParticleSystem_t::~SimpleParticleSystem_t() {
    if (imageOwned) delete image;
}

void SimpleParticleSystem_t::SetImage(Velm::Image* newImage) {
    if (imageOwned) delete image;
    image = newImage;
    imageOwned = false;
}

void SimpleParticleSystem_t::LoadFile(const std::string& fileName, const std::string& sectionName) {
    IniFile_t ini;
    ini.Load(fileName, true);
    if (ini.GetSectionCount() == 0) return;
    const IniSection_t& s = ini.GetSection(sectionName);
    emission = s.GetInt("nEmission", emission);
    lifetime = s.GetFloat("fLifetime", lifetime);
    particleLifeMin = s.GetFloat("fParticleLifeMin", particleLifeMin);
    particleLifeMax = s.GetFloat("fParticleLifeMax", particleLifeMax);
    direction = s.GetFloat("fDirection", direction);
    spread = s.GetFloat("fSpread", spread);
    relative = s.GetInt("bRelative", 0) == 1;
    speedMin = s.GetFloat("fSpeedMin", speedMin);
    speedMax = s.GetFloat("fSpeedMax", speedMax);
    gravityMin = s.GetFloat("fGravityMin", gravityMin);
    gravityMax = s.GetFloat("fGravityMax", gravityMax);
    radialAccelMin = s.GetFloat("fRadialAccelMin", radialAccelMin);
    radialAccelMax = s.GetFloat("fRadialAccelMax", radialAccelMax);
    tangentialAccelMin = s.GetFloat("fTangentialAccelMin", tangentialAccelMin);
    tangentialAccelMax = s.GetFloat("fTangentialAccelMax", tangentialAccelMax);
    sizeStart = s.GetFloat("fSizeStart", sizeStart);
    sizeEnd = s.GetFloat("fSizeEnd", sizeEnd);
    sizeVar = s.GetFloat("fSizeVar", sizeVar);
    spinStart = s.GetFloat("fSpinStart", spinStart);
    spinEnd = s.GetFloat("fSpinEnd", spinEnd);
    spinVar = s.GetFloat("fSpinVar", spinVar);
    colourVar = s.GetFloat("fColorVar", colourVar);
    alphaVar = s.GetFloat("fAlphaVar", alphaVar);
    drawMode = s.GetInt("iDrawMode", 0);
    randomRect = s.GetInt("bUseRandomRect", 1) == 1;
    sizeX = s.GetFloat("SizeX", 0);
    sizeY = s.GetFloat("SizeY", 0);
    appearMode = s.GetInt("AppearMode", 0);

    if (s.HasKey("colColorStartR")) {
        startColours.push_back(ColourF{s.GetFloat("colColorStartR", 1), s.GetFloat("colColorStartG", 1),
                                       s.GetFloat("colColorStartB", 1), s.GetFloat("colColorStartA", 1)});
        endColours.push_back(ColourF{s.GetFloat("colColorEndR", 1), s.GetFloat("colColorEndG", 1),
                                     s.GetFloat("colColorEndB", 1), s.GetFloat("colColorEndA", 1)});
    } else {
        const std::pair<const char*, std::vector<ColourF>*> lists[2] = {{"colColorStart", &startColours},
                                                                        {"colColorEnd", &endColours}};
        for (const auto& list : lists) {
            std::string text;
            s.GetString(list.first, "", text);
            std::vector<std::string> items;
            com_string::Split(text.c_str(), ';', items);
            for (const std::string& item : items) {
                ColourF c{0, 0, 0, 0};
                std::sscanf(item.c_str(), "%f,%f,%f,%f", &c.red, &c.green, &c.blue, &c.alpha);
                list.second->push_back(c);
            }
        }
    }

    std::string imageFile;
    s.GetString("ImageFile", "particles.png", imageFile);
    SetImage(EngineHooks::GetImage("images/" + imageFile));
    imageOwned = image != nullptr;

    textureRects.clear();
    for (int i = 0;; ++i) {
        std::string text;
        const std::string key = "TextureRect" + std::to_string(i);
        s.GetString(key.c_str(), "", text);
        if (text.empty()) break;
        Velm::Rect r;
        if (IsRectItem(text) && std::sscanf(text.c_str(), "%d,%d,%d,%d", &r.x, &r.y, &r.width, &r.height) == 4)
            textureRects.push_back(r);
    }
}

void SimpleParticleSystem_t::FireAt(float px, float py) {
    curX = prevX = px;
    curY = prevY = py;
    accumulator = 0;
    age = lifetime == -1.0f ? -1.0f : 0.0f;
}

void SimpleParticleSystem_t::Advance(float ticks) {
    const float t = ticks * 0.01f;
    if (stepInterval == 0) {
        Step(t);
        return;
    }
    accumulator += t;
    if (accumulator >= stepInterval) {
        Step(stepInterval);
        while (accumulator >= stepInterval) accumulator -= stepInterval;
    }
}

void SimpleParticleSystem_t::Step(float dt) {
    if (age >= 0) {
        age += dt;
        if (age >= lifetime) age = -2.0f;
    }

    for (int i = 0; i < particleCount;) {
        Particle& p = particles[i];
        p.age += dt;
        if (p.age >= p.life) {
            p = particles[particleCount - 1];
            --particleCount;
            continue;  // the moved particle is handled in this same pass
        }
        const Velm::Vector2 n = Velm::Vector2(p.x - curX, p.y - curY).Normalized();
        p.velX += (n.x * p.radialAccel - n.y * p.tangentialAccel) * dt;
        p.velY += (n.y * p.radialAccel + n.x * p.tangentialAccel) * dt;
        p.velY += p.gravity * dt;
        p.x += p.velX;
        p.y += p.velY;
        p.spin += p.spinRate * dt;
        p.size += p.sizeRate * dt;
        p.red += p.redRate * dt;
        p.green += p.greenRate * dt;
        p.blue += p.blueRate * dt;
        p.alpha += p.alphaRate * dt;
        if (p.alpha < 0) p.alpha = 0;
        ++i;
    }

    // Without colours there is nothing to give a particle: nothing is born.
    if (!IsStopped() && !startColours.empty() && !endColours.empty()) {
        const float needed = static_cast<float>(emission) * dt + emissionRemainder;
        // More than a full set at once (or a value that is not a number) carries nothing over.
        const bool inRange = needed < kMaxParticles;
        const int count = needed >= 1 ? (inRange ? static_cast<int>(needed) : kMaxParticles) : 0;
        emissionRemainder = inRange ? needed - static_cast<float>(count) : 0.0f;
        for (int k = 0; k < count && particleCount < kMaxParticles; ++k) Birth(particles[particleCount++]);
    }
    prevX = curX;
    prevY = curY;
}

void SimpleParticleSystem_t::Birth(Particle& p) {
    p.age = 0;
    p.life = RandRange(particleLifeMin, particleLifeMax);

    const float r = Rand01();
    const float baseX = prevX + (curX - prevX) * r;
    const float baseY = prevY + (curY - prevY) * r;
    p.x = baseX;
    p.y = baseY;
    if (appearMode == 0) {
        p.x = baseX + static_cast<float>(-2.0 + plat::CrtRand() * 0.00012207404);
        p.y = baseY + static_cast<float>(-2.0 + plat::CrtRand() * 0.00012207404);
    } else if (appearMode == 1) {
        p.x = baseX + RandRange(-sizeX / 2, sizeX / 2);
        p.y = baseY + RandRange(-sizeY / 2, sizeY / 2);
    } else if (appearMode == 2) {
        // Uniform in the ellipse: draw in the bounding box until inside. An axis of size 0
        // adds nothing to the test (dividing by it would never accept a point).
        const float hx = sizeX / 2, hy = sizeY / 2;
        for (int tries = 0; tries < kEllipseTries; ++tries) {
            const float dx = RandRange(-hx, hx);
            const float dy = RandRange(-hy, hy);
            const float ex = hx != 0 ? dx * dx / (hx * hx) : 0.0f;
            const float ey = hy != 0 ? dy * dy / (hy * hy) : 0.0f;
            if (ex + ey <= 1.0f) {
                p.x = baseX + dx;
                p.y = baseY + dy;
                break;
            }
        }
    }

    float angle = direction - 1.5707964f + Rand01() * spread - spread / 2;
    if (relative) angle += std::atan2(prevY - curY, prevX - curX) + 1.5707964f;
    const float speed = RandRange(speedMin, speedMax);
    p.velX = std::cos(angle) * speed;
    p.velY = std::sin(angle) * speed;

    p.gravity = RandRange(gravityMin, gravityMax);
    p.radialAccel = RandRange(radialAccelMin, radialAccelMax);
    p.tangentialAccel = RandRange(tangentialAccelMin, tangentialAccelMax);

    // Rates reach the end values at the end of the life; a life of 0 or less ends at the next
    // step and gets no rates.
    const float invLife = p.life > 0 ? 1.0f / p.life : 0.0f;
    p.size = RandRange(sizeStart, sizeStart + (sizeEnd - sizeStart) * sizeVar);
    p.sizeRate = (sizeEnd - p.size) * invLife;
    p.spin = RandRange(spinStart, spinStart + (spinEnd - spinStart) * spinVar);
    p.spinRate = (spinEnd - p.spin) * invLife;

    const int startCount = static_cast<int>(startColours.size());
    const int endCount = static_cast<int>(endColours.size());
    int i = static_cast<int>(Rand01() * static_cast<float>(startCount));
    if (i >= startCount) i = 0;
    int j = i;
    if (startCount != endCount) {
        j = static_cast<int>(Rand01() * static_cast<float>(endCount));
        if (j >= endCount) j = 0;
    }
    ColourF& from = startColours[i];
    ColourF& to = endColours[j];
    from.alpha = std::max(from.alpha, 0.005f);
    to.alpha = std::max(to.alpha, 0.005f);
    p.red = from.red + (to.red - from.red) * colourVar * Rand01();
    p.green = from.green + (to.green - from.green) * colourVar * Rand01();
    p.blue = from.blue + (to.blue - from.blue) * colourVar * Rand01();
    p.alpha = from.alpha + (to.alpha - from.alpha) * alphaVar * Rand01();
    p.redRate = (to.red - p.red) * invLife;
    p.greenRate = (to.green - p.green) * invLife;
    p.blueRate = (to.blue - p.blue) * invLife;
    p.alphaRate = (to.alpha - p.alpha) * invLife;

    Velm::Rect rect;
    if (textureRects.empty()) {
        if (image != nullptr) rect = Velm::Rect(0, 0, image->GetWidth(), image->GetHeight());
    } else if (randomRect) {
        rect = textureRects[plat::CrtRand() % static_cast<int>(textureRects.size())];
    } else {
        if (gNextRect < 0 || gNextRect >= static_cast<int>(textureRects.size())) gNextRect = 0;
        rect = textureRects[gNextRect++];
    }
    p.rectX = static_cast<float>(rect.x);
    p.rectY = static_cast<float>(rect.y);
    p.rectWidth = static_cast<float>(rect.width);
    p.rectHeight = static_cast<float>(rect.height);
}

void SimpleParticleSystem_t::Draw(Velm::Graphics* g) {
    if (image == nullptr) return;
    const bool wasTinting = g->GetTintImages();
    const int oldMode = g->GetDrawMode();
    g->SetTintImages(true);
    g->SetDrawMode(drawMode);
    const bool use3D = EngineHooks::Is3DAccelerated();
    for (int i = 0; i < particleCount; ++i) {
        const Particle& p = particles[i];
        const Velm::Rect rect(static_cast<int>(p.rectX), static_cast<int>(p.rectY), static_cast<int>(p.rectWidth),
                              static_cast<int>(p.rectHeight));
        if (rect.x + rect.width > image->GetWidth() || rect.y + rect.height > image->GetHeight()) continue;
        Velm::Transform t;
        t.Scale(p.size, p.size);
        if (p.spin * p.age != 0) t.Rotate(p.spin * p.age);
        t.Translate(drawOffsetX + p.x, p.y + drawOffsetY);
        // Channels outside 0..1 are clamped so they cannot spill into their neighbours.
        const unsigned argb = static_cast<unsigned>(ToChannel(p.alpha)) << 24 |
                              static_cast<unsigned>(ToChannel(p.red)) << 16 |
                              static_cast<unsigned>(ToChannel(p.green)) << 8 | static_cast<unsigned>(ToChannel(p.blue));
        g->SetColor(Velm::Color(static_cast<int>(argb)));
        if (use3D)
            g->DrawImageTransformF(image, t, rect, 0, 0);
        else
            g->DrawImageTransform(image, t, rect, 0, 0);
    }
    g->SetTintImages(wasTinting);
    g->SetDrawMode(oldMode);
}
