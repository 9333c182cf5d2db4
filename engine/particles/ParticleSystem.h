#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/anim/DrawObject.h"
#include "engine/particles/EmitterPath.h"
#include "engine/particles/ParticleEmitter.h"

namespace Velm {
class Image;
}

// An emitter effect: the board's sparkles, bursts and trails. Loaded from an INI effect file
// (usually in "particles/"):
//   [Main]   X, Y (position), Time (every emitter's life in seconds, default 2)
//   every section whose name contains "Item": one emitter (ParticleEmitter_t::LoadItem), in
//            the file's (case-insensitive) section order; keys Intense, Shape, Angle,
//            AngleType, RandomFrame, FrameDelay, FramesCount, UseDeltaAngle, DrawReverse,
//            PivotX, PivotY, DrawAdditive, FixSize, NeverEnding, Image, ShapeName, TextRect,
//            one key per graph name (ParticleEmitter_t::kGraphNames) and COLOR, LineIndex
//            (the path to travel on) and TrMoveItems (1: particles move with the emitter)
//   every section whose name contains "Line": one path, "Type" (0..3) and "Points" (see
//            EmitterPath_t), numbered from 0 in section order
// Images named by "Image" and "ShapeName" are the game's bound resource images when the game's
// hook knows the name (not owned), else loaded through the image hook (owned).
// Update ticks every emitter; the effect is done once every emitter has finished. Advance
// moves emitters along their paths and moves the particles. Main thread only.
class ParticleSystem_t : public DrawObject {
public:
    ParticleSystem_t() = default;
    ~ParticleSystem_t() override;
    ParticleSystem_t(const ParticleSystem_t&) = delete;
    ParticleSystem_t& operator=(const ParticleSystem_t&) = delete;

    void Draw(Velm::Graphics* g) override;
    bool Update() override;
    void Advance(float ticks) override;

    // A file without any section changes nothing.
    void LoadFile(const std::string& fileName);
    // Restarts every emitter at (px, py).
    void SetPosition(float px, float py);
    void SetListener(ParticleSystemListener* newListener);

    struct ImageEntry {
        bool owned = false;
        Velm::Image* image = nullptr;
    };

    float x = 0;
    float y = 0;
    std::vector<std::unique_ptr<ParticleEmitter_t>> emitters;
    std::map<std::string, ImageEntry> images;
    std::map<std::string, ImageEntry> shapeImages;
    float time = 2.0f;
    std::vector<std::unique_ptr<EmitterPath_t>> paths;

private:
    void ReleaseImages(std::map<std::string, ImageEntry>& table);
};
