#pragma once

#include <string>
#include <vector>

#include "engine/particles/EmitterRandom.h"
#include "engine/particles/ParticleGraph.h"
#include "graphics/Color.h"
#include "graphics/Rect.h"

class IniSection_t;
class EmitterPath_t;

namespace Velm {
class Graphics;
class Image;
}

// Told the progress of each emitter of an effect: its age divided by its life every update
// tick, and 1.0 once when it finishes.
class ParticleSystemListener {
public:
    virtual ~ParticleSystemListener() = default;
    virtual void OnEmitterProgress(int emitterIndex, float fraction) = 0;
};

// One particle of an emitter. Positions are screen pixels, age and life seconds, angle radians.
struct EmitterParticle_t {
    float x = 0;
    float y = 0;
    float dirX = 0;  // unit direction of travel
    float dirY = 0;
    float age = 0;
    float life = 0;
    float size = 1.0f;
    float angle = 0;
    Velm::Color colour{255, 255, 255, 255};
    int side = 0;  // 0 or 1
    int frame = 0;
    int frameTick = 0;
};

// One emitter of an effect: spawns textured particles in a shape around its position and
// drives every particle property by keyframe graphs (ParticleGraph_t) over the emitter's
// normalised age f = age / life or the particle's p = age / life. Read from one "Item" section
// of an effect file (see ParticleSystem_t). Update (one tick) ages emitter and particles by
// 0.01 s and sets sizes, spins and colours; Advance (fractional ticks) moves the particles,
// whose velocities are pixels per tick. Random numbers come from the emitter's own generator.
class ParticleEmitter_t {
public:
    // The scalar graphs, by their key names in the effect file.
    enum Graph {
        LIFE,
        NUMBER,
        SIZE,
        VELOCITY,
        WEIGHT,
        SPIN,
        MOTION_RAND,
        TANGENT_ACCEL,
        LIFE_VAR,
        NUMBER_VAR,
        SIZE_VAR,
        VELOCITY_VAR,
        WEIGHT_VAR,
        SPIN_VAR,
        MOTION_RAND_VAR,
        START_SPREAD,
        START_DIRECTION,
        WIDTH,
        HEIGHT,
        ALPHA,
        TRAJECTORY_SPEED,
        EMISSION_RANGE,
        kGraphCount
    };
    static const char* const kGraphNames[kGraphCount];
    // Tries of the pixel search of the image-mask shape before it gives up and spawns at the
    // emitter's position (a mask without a usable pixel would search for ever).
    static constexpr int kMaskTries = 4096;
    // Live particles of one emitter at most: a NUMBER graph beyond it comes from a broken file
    // and would otherwise exhaust memory.
    static constexpr int kMaxParticles = 10000;

    ParticleEmitter_t() = default;
    virtual ~ParticleEmitter_t() = default;

    virtual void Advance(float ticks);
    virtual void Update();
    virtual void Draw(Velm::Graphics* g);

    void LoadItem(const IniSection_t& section);
    // Restarts at (px, py): age 0, not finished, no particles.
    void Reset(float px, float py);
    // With drag, every particle moves along with the emitter.
    void SetPosition(float px, float py, bool drag);
    void SpawnParticle(float life);

    ParticleSystemListener* listener = nullptr;
    Velm::Image* texture = nullptr;
    Velm::Image* shapeImage = nullptr;
    Velm::Rect textureRect;
    int shape = 0;  // 0 rectangle, 1 image mask, 2 rectangle outline, 3 ellipse outline
    ParticleColorGraph_t colourGraph;
    bool intense = true;
    bool flipX = false;
    bool flipY = false;
    float startAngle = 0;
    bool angleType = false;
    bool startAll = false;
    bool randomFrame = false;
    int startFrame = 0;
    int frameDelay = 0;
    int framesCount = 1;
    bool useDeltaAngle = false;
    bool drawReverse = false;
    int pivotX = 0;
    int pivotY = 0;
    bool drawAdditive = false;
    bool fixSize = true;
    bool neverEnding = false;
    std::string imageName;
    std::string shapeName;
    ParticleGraph_t graphs[kGraphCount];
    float age = 0;
    float life = 1.0f;
    float ageStep = 0;  // the effect sets 0.01 (seconds per tick)
    float x = 0;
    float y = 0;
    std::vector<EmitterParticle_t> particles;  // oldest first
    bool finished = false;
    int sideCounter = 0;
    float angleStep = 0;
    int index = 0;
    EmitterPath_t* path = nullptr;  // not owned
    bool dragParticles = false;
    EmitterRandom_t random;

private:
    float G(Graph graph, float at) const { return graphs[graph].Evaluate(at); }
    void BirthPoint(float f, float& px, float& py);
    bool MaskPoint(float w, float h, float& px, float& py);
};
