#pragma once

#include <string>
#include <vector>

#include "engine/anim/DrawObject.h"
#include "graphics/Rect.h"

namespace Velm {
class Image;
}

// A self-contained particle emitter configured by one INI section of flat keys (the high-score
// screen's "particles/highscores.ini", section "Default"): up to kMaxParticles particles are
// born at a point (or in a rectangle or ellipse around it), fly with random speed, gravity,
// radial and tangential acceleration, and change size, spin, colour and alpha linearly over
// their random life.
//
// Time: Advance takes update ticks and runs at most one fixed step of 1 / stepsPerSecond
// seconds per call (time beyond one step is dropped); lifetimes, rates and accelerations are
// per second, while velocities are pixels per step. Direction 0 points up the screen and
// positive directions turn clockwise. Update does nothing; the system never sets done: owners
// remove it once IsStopped and, if they like, once no particle is left.
//
// Keys: nEmission, fLifetime (-1: until stopped), fParticleLifeMin/Max, fDirection, fSpread,
// bRelative, fSpeedMin/Max, fGravityMin/Max, fRadialAccelMin/Max, fTangentialAccelMin/Max,
// fSizeStart/End/Var, fSpinStart/End/Var, colColorStartR..A and colColorEndR..A or the lists
// colColorStart / colColorEnd ("r,g,b,a;r,g,b,a", 0..1), fColorVar, fAlphaVar, iDrawMode,
// ImageFile (below "images/", default "particles.png"), TextureRect0, 1, ... ("x,y,w,h"),
// bUseRandomRect, SizeX, SizeY, AppearMode (0 point, 1 rectangle, 2 ellipse).
// Random numbers are the C runtime's (plat::CrtRand). Main thread only.
class SimpleParticleSystem_t : public DrawObject {
public:
    static constexpr int kMaxParticles = 500;

    struct ColourF {
        float red, green, blue, alpha;
    };
    struct Particle {
        float x, y, velX, velY;
        float gravity, radialAccel, tangentialAccel;
        float spin, spinRate, size, sizeRate;
        float red, green, blue, alpha;
        float redRate, greenRate, blueRate, alphaRate;
        float age, life;
        float rectX, rectY, rectWidth, rectHeight;
    };

    // Loads the section "Default" when the name contains ".ini" or ".INI"; stepsPerSecond 0
    // runs one step of the whole elapsed time per Advance.
    SimpleParticleSystem_t(const std::string& fileName, float stepsPerSecond);
    ~SimpleParticleSystem_t() override;
    SimpleParticleSystem_t(const SimpleParticleSystem_t&) = delete;
    SimpleParticleSystem_t& operator=(const SimpleParticleSystem_t&) = delete;

    void Draw(Velm::Graphics* g) override;
    void Advance(float ticks) override;
    virtual bool IsStopped() { return age == -2.0f; }

    // A file without any section changes nothing.
    void LoadFile(const std::string& fileName, const std::string& sectionName);
    void FireAt(float px, float py);
    void Step(float dt);
    // A texture owned elsewhere; replaces (and frees) one the file loaded.
    void SetImage(Velm::Image* newImage);

    Velm::Image* image = nullptr;
    bool imageOwned = false;
    int emission = 50;
    float lifetime = -1.0f;
    float particleLifeMin = 1.0f, particleLifeMax = 3.0f;
    float direction = 3.1415927f;
    float spread = 3.1415927f;
    bool relative = false;
    float speedMin = 1.0f, speedMax = 1.0f;
    float gravityMin = 0, gravityMax = 0;
    float radialAccelMin = 0, radialAccelMax = 0;
    float tangentialAccelMin = 0, tangentialAccelMax = 0;
    float sizeStart = 1.0f, sizeEnd = 1.0f, sizeVar = 0.5f;
    float spinStart = 0, spinEnd = 0, spinVar = 0;
    std::vector<ColourF> startColours;
    std::vector<ColourF> endColours;
    float colourVar = 0.5f, alphaVar = 0.5f;
    int drawMode = 0;
    std::vector<Velm::Rect> textureRects;
    bool randomRect = true;
    float sizeX = 0, sizeY = 0;
    int appearMode = 0;
    float stepInterval = 0;  // seconds
    float accumulator = 0;
    float age = -2.0f;  // -2 stopped, -1 endless, else seconds since FireAt
    float emissionRemainder = 0;
    float prevX = 0, prevY = 0;
    float curX = 0, curY = 0;
    float drawOffsetX = 0, drawOffsetY = 0;
    int particleCount = 0;
    std::vector<Particle> particles;  // kMaxParticles records, the first particleCount alive

private:
    void Birth(Particle& p);
};
