#include "engine/particles/ParticleEmitter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/anim/EngineHooks.h"
#include "engine/util/IniFile.h"
#include "graphics/DrawMode.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "graphics/Transform.h"
#include "graphics/Vector.h"

namespace {

// A graph value as a particle count: truncated, within +-kMaxParticles, 0 for a value that is
// not a number.
int ToCount(float value) {
    if (!(value > -ParticleEmitter_t::kMaxParticles)) return value < 0 ? -ParticleEmitter_t::kMaxParticles : 0;
    if (value > ParticleEmitter_t::kMaxParticles) return ParticleEmitter_t::kMaxParticles;
    return static_cast<int>(value);
}

}  // namespace

const char* const ParticleEmitter_t::kGraphNames[kGraphCount] = {
        "LIFE",           "NUMBER",          "SIZE",
        "VELOCITY",       "WEIGHT",          "SPIN",
        "MOTION_RAND",    "TANGENT_ACCEL",   "LIFE_VAR",
        "NUMBER_VAR",     "SIZE_VAR",        "VELOCITY_VAR",
        "WEIGHT_VAR",     "SPIN_VAR",        "MOTION_RAND_VAR",
        "START_SPREAD",   "START_DIRECTION", "WIDTH",
        "HEIGHT",         "ALPHA",           "TRAJECTORY_SPEED",
        "EMISSION_RANGE",
};

void ParticleEmitter_t::LoadItem(const IniSection_t& s) {
    intense = s.GetInt("Intense", 1) == 1;
    shape = s.GetInt("Shape", 0);
    flipX = s.GetInt("FlipX", 0) != 0;
    flipY = s.GetInt("FlipY", 0) != 0;
    startAngle = s.GetFloat("Angle", 0);
    angleType = s.GetInt("AngleType", 0) != 0;
    startAll = s.GetInt("StartAll", 0) != 0;
    randomFrame = s.GetInt("RandomFrame", 0) == 1;
    startFrame = s.GetInt("StartFrame", 0);
    frameDelay = s.GetInt("FrameDelay", 0);
    framesCount = s.GetInt("FramesCount", 1);
    useDeltaAngle = s.GetInt("UseDeltaAngle", 0) == 1;
    drawReverse = s.GetInt("DrawReverse", 0) == 1;
    pivotX = s.GetInt("PivotX", 0);
    pivotY = s.GetInt("PivotY", 0);
    drawAdditive = s.GetInt("DrawAdditive", 0) == 1;
    fixSize = s.GetInt("FixSize", 1) == 1;
    neverEnding = s.GetInt("NeverEnding", 0) == 1;
    s.GetString("Image", "", imageName);
    s.GetString("ShapeName", "", shapeName);
    std::string text;
    s.GetString("TextRect", "", text);
    Velm::Rect r;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d", &r.x, &r.y, &r.width, &r.height) == 4) textureRect = r;
    for (int i = 0; i < kGraphCount; ++i) {
        s.GetString(kGraphNames[i], "", text);
        graphs[i].Read(text);
    }
    s.GetString("COLOR", "", text);
    colourGraph.Read(text);
}

void ParticleEmitter_t::Reset(float px, float py) {
    sideCounter = 0;
    x = px;
    y = py;
    age = 0;
    finished = false;
    particles.clear();
}

void ParticleEmitter_t::SetPosition(float px, float py, bool drag) {
    if (drag) {
        for (EmitterParticle_t& p : particles) {
            p.x += px - x;
            p.y += py - y;
        }
    }
    x = px;
    y = py;
}

void ParticleEmitter_t::Update() {
    if (finished) return;
    if (age > life) {
        if (neverEnding) {
            age = 0;
        } else if (particles.empty()) {
            age = 0;
            finished = true;
            if (listener != nullptr) listener->OnEmitterProgress(index, 1.0f);
            return;
        }
    }
    // A life of 0 would make every fraction a division by zero: such an emitter is at its end.
    const float f = life > 0 ? age / life : 1.0f;
    if (listener != nullptr) listener->OnEmitterProgress(index, f);

    if (age <= life || neverEnding) {
        const int target = ToCount(G(NUMBER, f));
        const float numberVar = G(NUMBER_VAR, f);
        int count = ToCount(G(EMISSION_RANGE, f) * static_cast<float>(target)) +
                    ToCount(random.Range(-numberVar / 2, numberVar / 2));
        count = std::min(std::max(count, 0), target);
        const int live = static_cast<int>(particles.size());
        if ((target >= live || neverEnding) && (live < count || neverEnding)) {
            for (int n = live; n < count; ++n) {
                const float lifeVar = G(LIFE_VAR, f);
                SpawnParticle(G(LIFE, f) + random.Range(-lifeVar / 2, lifeVar / 2));
            }
        }
        if (target < static_cast<int>(particles.size()))
            particles.erase(particles.begin(), particles.begin() + (particles.size() - std::max(target, 0)));
    }

    for (size_t i = 0; i < particles.size();) {
        EmitterParticle_t& p = particles[i];
        if (p.age >= p.life) {
            particles.erase(particles.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (++p.frameTick >= frameDelay) {
            p.frameTick = 0;
            p.frame = framesCount > 0 ? (p.frame + 1) % framesCount : 0;
        }
        const float at = p.age / p.life;
        const float sizeVar = G(SIZE_VAR, at);
        p.size = std::max(0.0f, G(SIZE, at) + at * random.Range(-sizeVar, sizeVar));
        p.angle += G(SPIN, at) + std::sin(G(SPIN_VAR, at));
        p.colour = colourGraph.Evaluate(at);
        p.colour.alpha = static_cast<int>(G(ALPHA, at));
        p.age += 0.01f;
        ++i;
    }
    age += ageStep;
}

bool ParticleEmitter_t::MaskPoint(float w, float h, float& px, float& py) {
    auto* mask = dynamic_cast<Velm::MemoryImage*>(shapeImage);
    if (mask == nullptr || mask->GetWidth() <= 0 || mask->GetHeight() <= 0) return false;
    const uint32_t* bits = mask->GetBits();
    if (bits == nullptr) return false;
    const int width = mask->GetWidth();
    const int height = mask->GetHeight();
    for (int tries = 0; tries < kMaskTries; ++tries) {
        int col = static_cast<int>(static_cast<float>(random.Next()) * width / EmitterRandom_t::kMax);
        int row = static_cast<int>(static_cast<float>(random.Next()) * height / EmitterRandom_t::kMax);
        if (col >= width) col = 0;
        if (row >= height) row = 0;
        const uint32_t pixel = bits[row * width + col];
        if ((pixel >> 24) != 0 || (pixel & 0xFF) == 0) {
            const int tw = static_cast<int>(w);
            const int th = static_cast<int>(h);
            px = x + static_cast<int>(static_cast<float>(col) / width * tw) - tw / 2;
            py = y + static_cast<int>(static_cast<float>(row) / height * th) - th / 2;
            return true;
        }
    }
    px = x;
    py = y;
    return true;
}

void ParticleEmitter_t::BirthPoint(float f, float& px, float& py) {
    const float w = G(WIDTH, f);
    const float h = G(HEIGHT, f);
    const int halfW = static_cast<int>(w) / 2;
    const int halfH = static_cast<int>(h) / 2;
    switch (shape) {
        case 0:
            px = x + random.RangeInt(-halfW, halfW);
            py = y + random.RangeInt(-halfH, halfH);
            if (shapeImage != nullptr) MaskPoint(w, h, px, py);
            break;
        case 1:
            // Without a mask image the particle is born at the origin.
            if (!MaskPoint(w, h, px, py)) {
                px = 0;
                py = 0;
            }
            break;
        case 2:
            switch (sideCounter) {
                case 0:
                    px = x + random.RangeInt(-halfW, halfW);
                    py = y - halfH;
                    break;
                case 1:
                    px = x + halfW;
                    py = y + random.RangeInt(-halfH, halfH);
                    break;
                case 2:
                    px = x + random.RangeInt(-halfW, halfW);
                    py = y + halfH;
                    break;
                default:
                    px = x - halfW;
                    py = y + random.RangeInt(-halfH, halfH);
                    break;
            }
            sideCounter = (sideCounter + 1) % 4;
            break;
        case 3:
            if (halfW != 0 && halfH != 0) {
                const int dx = random.RangeInt(-halfW, halfW);
                const float ratio = static_cast<float>(dx) * dx / (static_cast<float>(halfW) * halfW);
                int dy = static_cast<int>(std::sqrt(static_cast<float>(
                        static_cast<int>((1.0f - ratio) * static_cast<float>(halfH) * static_cast<float>(halfH)))));
                if (sideCounter % 2 == 1) dy = -dy;
                sideCounter = (sideCounter + 1) % 2;
                px = x + dx;
                py = y + dy;
            } else {
                px = x;
                py = y;
            }
            break;
        default:
            px = x;
            py = y;
            break;
    }
}

void ParticleEmitter_t::SpawnParticle(float particleLife) {
    const float f = life > 0 ? age / life : 1.0f;
    EmitterParticle_t p;
    BirthPoint(f, p.x, p.y);
    const float spread = G(START_SPREAD, f);
    const float dir = G(START_DIRECTION, f);
    float a;
    if (useDeltaAngle) {
        const float number = G(NUMBER, f);
        if (angleStep == 0 && number != 0) angleStep = dir / number;
        a = angleStep * static_cast<float>(particles.size());
    } else {
        const float r = static_cast<float>(random.Next()) / EmitterRandom_t::kMax;
        a = r * spread + (dir - 1.5707964f) - spread / 2;
    }
    p.dirX = std::cos(a);
    p.dirY = std::sin(a);
    p.side = static_cast<int>(static_cast<float>(random.Next()) * 2 / EmitterRandom_t::kMax);
    if (p.side == 2) p.side = 0;
    p.angle = angleType ? static_cast<float>(random.Next() * 0.00019165624591230046) : startAngle;
    if (randomFrame && framesCount > 0) {
        p.frame = static_cast<int>(static_cast<float>(random.Next()) * framesCount / EmitterRandom_t::kMax);
        if (p.frame == framesCount) p.frame = 0;
    }
    p.life = particleLife;
    particles.push_back(p);
}

void ParticleEmitter_t::Advance(float ticks) {
    for (EmitterParticle_t& p : particles) {
        const float at = p.life > 0 ? p.age / p.life : 1.0f;
        const float velocity = G(VELOCITY, at);
        const float weightVar = G(WEIGHT_VAR, at);
        const float vx = velocity * p.dirX;
        const float vy = velocity * p.dirY + G(WEIGHT, at) + random.Range(-weightVar / 2, weightVar / 2);
        float pushX = 0, pushY = 0;
        const float tangent = G(TANGENT_ACCEL, at);
        if (tangent != 0) {
            const Velm::Vector2 n = Velm::Vector2(p.x - x, p.y - y).Normalized();
            pushX = -tangent * n.y;
            pushY = tangent * n.x;
        }
        p.x += (pushX + vx) * ticks;
        p.y += (pushY + vy) * ticks;
        const float jitter = G(MOTION_RAND, at);
        if (jitter != 0) {
            const Velm::Vector2 j = Velm::Vector2(jitter, jitter).Normalized();
            p.x += j.x;
            p.y += j.y;
        }
    }
}

void ParticleEmitter_t::Draw(Velm::Graphics* g) {
    if (texture == nullptr) return;
    const bool use3D = EngineHooks::Is3DAccelerated();
    auto blit = [&](const Velm::Transform& t) {
        if (use3D)
            g->DrawImageTransformF(texture, t, textureRect, 0, 0);
        else
            g->DrawImageTransform(texture, t, textureRect, 0, 0);
    };
    g->PushState();
    const size_t n = particles.size();
    for (size_t k = 0; k < n; ++k) {
        const EmitterParticle_t& p = particles[drawReverse ? n - 1 - k : k];
        float tx = p.x, ty = p.y;
        if (pivotX != 0 || pivotY != 0) {
            const float c = std::cos(p.angle), s = std::sin(p.angle);
            float ox = c * pivotX + s * pivotY;
            float oy = c * pivotY - s * pivotX;
            if (fixSize) {
                ox *= p.size;
                oy *= p.size;
            }
            tx += ox;
            ty += oy;
        }
        Velm::Transform t;
        t.Scale(p.size, p.size);
        t.Rotate(p.angle);
        t.Translate(tx, ty);
        g->SetTintImages(true);
        g->SetColor(p.colour);
        g->SetDrawMode(drawAdditive ? Velm::DRAWMODE_ADDITIVE : Velm::DRAWMODE_NORMAL);
        blit(t);
        if (intense) {
            Velm::Transform glow;
            glow.Scale(0.4f * p.size, 0.4f * p.size);
            glow.Rotate(p.angle);
            glow.Translate(tx, ty);
            g->SetColor(Velm::Color(255, 255, 255, p.colour.alpha));
            g->SetDrawMode(Velm::DRAWMODE_ADDITIVE);
            blit(glow);
        }
    }
    g->PopState();
}
