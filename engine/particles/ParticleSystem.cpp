#include "engine/particles/ParticleSystem.h"

#include "engine/anim/EngineHooks.h"
#include "engine/util/IniFile.h"
#include "graphics/Image.h"

namespace {

void EnterImage(std::map<std::string, ParticleSystem_t::ImageEntry>& table, const std::string& name) {
    if (name.empty() || table.count(name) != 0) return;
    ParticleSystem_t::ImageEntry entry;
    entry.image = EngineHooks::GetResourceImage(name);
    if (entry.image == nullptr) {
        entry.image = EngineHooks::GetImage(name);
        entry.owned = entry.image != nullptr;
    }
    table[name] = entry;
}

Velm::Image* Lookup(const std::map<std::string, ParticleSystem_t::ImageEntry>& table, const std::string& name) {
    auto it = table.find(name);
    return it != table.end() ? it->second.image : nullptr;
}

}  // namespace

ParticleSystem_t::~ParticleSystem_t() {
    ReleaseImages(images);
    ReleaseImages(shapeImages);
}

void ParticleSystem_t::ReleaseImages(std::map<std::string, ImageEntry>& table) {
    for (auto& entry : table) {
        if (entry.second.owned) delete entry.second.image;
    }
    table.clear();
}

void ParticleSystem_t::LoadFile(const std::string& fileName) {
    IniFile_t ini;
    ini.Load(fileName, true);
    if (ini.GetSectionCount() == 0) return;
    const IniSection_t& main = ini.GetSection("Main");
    x = main.GetFloat("X", 0);
    y = main.GetFloat("Y", 0);
    time = main.GetFloat("Time", 2.0f);
    emitters.clear();

    std::string name;
    for (auto it = ini.SectionsBegin(); it != ini.SectionsEnd(); ++it) {
        if (it->second.HasKey("Image")) {
            it->second.GetString("Image", "", name);
            EnterImage(images, name);
        }
    }
    for (auto it = ini.SectionsBegin(); it != ini.SectionsEnd(); ++it) {
        if (it->second.HasKey("ShapeName")) {
            it->second.GetString("ShapeName", "", name);
            EnterImage(shapeImages, name);
        }
    }

    std::vector<const IniSection_t*> itemSections;
    for (auto it = ini.SectionsBegin(); it != ini.SectionsEnd(); ++it) {
        if (it->first.find("Item") == std::string::npos) continue;
        auto emitter = std::make_unique<ParticleEmitter_t>();
        emitter->LoadItem(it->second);
        emitter->life = time;
        emitter->ageStep = 0.01f;
        emitter->x = x;
        emitter->y = y;
        emitter->index = static_cast<int>(emitters.size());
        emitter->texture = Lookup(images, emitter->imageName);
        emitter->shapeImage = Lookup(shapeImages, emitter->shapeName);
        if (emitter->textureRect.width == 0 && emitter->texture != nullptr)
            emitter->textureRect = Velm::Rect(0, 0, emitter->texture->GetWidth(), emitter->texture->GetHeight());
        emitters.push_back(std::move(emitter));
        itemSections.push_back(&it->second);
    }

    paths.clear();
    for (auto it = ini.SectionsBegin(); it != ini.SectionsEnd(); ++it) {
        if (it->first.find("Line") == std::string::npos) continue;
        std::unique_ptr<EmitterPath_t> path = MakeEmitterPath(it->second.GetInt("Type", 0));
        if (!path) continue;
        std::string points;
        it->second.GetString("Points", "", points);
        path->Load(points);
        paths.push_back(std::move(path));
    }
    for (size_t i = 0; i < emitters.size(); ++i) {
        const int line = itemSections[i]->GetInt("LineIndex", -1);
        if (line >= 0 && line < static_cast<int>(paths.size())) {
            emitters[i]->path = paths[line].get();
            emitters[i]->dragParticles = itemSections[i]->GetInt("TrMoveItems", 0) == 1;
        }
    }
}

void ParticleSystem_t::SetPosition(float px, float py) {
    for (auto& emitter : emitters) emitter->Reset(px, py);
}

void ParticleSystem_t::SetListener(ParticleSystemListener* newListener) {
    for (size_t i = 0; i < emitters.size(); ++i) {
        emitters[i]->index = static_cast<int>(i);
        emitters[i]->listener = newListener;
    }
}

bool ParticleSystem_t::Update() {
    bool allFinished = true;
    for (auto& emitter : emitters) {
        emitter->Update();
        allFinished = allFinished && emitter->finished;
    }
    done = allFinished;
    return done;
}

void ParticleSystem_t::Advance(float ticks) {
    for (auto& emitter : emitters) {
        EmitterPath_t* path = emitter->path;
        if (path != nullptr) {
            const float f = emitter->life > 0 ? emitter->age / emitter->life : 1.0f;
            if (path->parameter != f) {
                path->speed = emitter->graphs[ParticleEmitter_t::TRAJECTORY_SPEED].Evaluate(f);
                path->MoveTo(f, true);
            }
            emitter->SetPosition(static_cast<float>(path->x), static_cast<float>(path->y), emitter->dragParticles);
        }
        emitter->Advance(ticks);
    }
}

void ParticleSystem_t::Draw(Velm::Graphics* g) {
    for (auto& emitter : emitters) emitter->Draw(g);
}
