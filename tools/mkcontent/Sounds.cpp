#include "tools/mkcontent/Sounds.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <vector>

#include "tools/mkcontent/Audio.h"
#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

namespace {

float Note(int semitonesFromA4) { return 440.0f * std::pow(2.0f, static_cast<float>(semitonesFromA4) / 12.0f); }

const std::vector<float> kBell = {1.0f, 0.0f, 0.35f, 0.0f, 0.15f, 0.0f, 0.05f};
const std::vector<float> kSoft = {1.0f, 0.25f, 0.08f};

Samples Chime(const std::vector<int>& notes, float step, float decay) {
    Samples out;
    for (size_t i = 0; i < notes.size(); ++i)
        MixInto(out, Tone(decay * 4, Note(notes[i]), Note(notes[i]), kBell, 0.003f, decay),
                step * static_cast<float>(i), 0.6f);
    return out;
}

Samples Click(float pitch, float length) {
    Samples s = Tone(length, pitch, pitch * 0.7f, kSoft, 0.001f, length / 4);
    MixInto(s, Noise(length / 2, 5000, 0.0005f, length / 10, 3), 0, 0.3f);
    return s;
}

Samples Swoosh(float length, float from, float to, uint32_t seed) {
    Samples s(SampleCount(length));
    const Samples n = Noise(length, 1200, length * 0.4f, 0, seed);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(s.size());
        s[i] = n[i] * std::sin(3.14159f * t) * (from + (to - from) * t);
    }
    return s;
}

Samples Thunder() {
    Samples s = Noise(2.2f, 180, 0.01f, 0.7f, 17);
    MixInto(s, Noise(0.3f, 3000, 0.001f, 0.08f, 18), 0, 0.7f);
    MixInto(s, Noise(1.5f, 90, 0.05f, 0.6f, 19), 0.25f, 1.0f);
    return s;
}

Samples FireLoop() {
    // Low rumble with random crackles; the ends are cross-faded so that the loop is seamless.
    const float length = 3.0f;
    Samples s = Noise(length, 400, 0, 0, 23);
    Lcg random(29);
    for (int i = 0; i < 40; ++i)
        MixInto(s, Noise(0.02f, 6000, 0.0005f, 0.004f, 30 + static_cast<uint32_t>(i)), random.Unit() * (length - 0.05f),
                0.8f);
    const size_t fade = SampleCount(0.3f);
    Samples loop(s.begin(), s.end() - static_cast<long>(fade));
    for (size_t i = 0; i < fade; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(fade);
        loop[i] = loop[i] * t + s[s.size() - fade + i] * (1 - t);
    }
    return loop;
}

struct Effect {
    const char* name;
    std::function<Samples()> make;
};

}  // namespace

bool MakeSounds(const std::string& root, std::string* error) {
    const std::vector<Effect> effects = {
            {"mousedown", [] { return Click(1400, 0.06f); }},
            {"mouseenter", [] { return Click(2200, 0.03f); }},
            {"flywindow", [] { return Swoosh(0.35f, 0.4f, 1.0f, 5); }},
            {"prevnext", [] { return Click(1000, 0.08f); }},
            {"lightning", Thunder},
            {"fire", FireLoop},
            {"map",
             [] {
                 return Chime({-5, 0, 4}, 0.08f, 0.25f);
             }},
            {"scorecomplete",
             [] {
                 return Chime({0, 4, 7, 12}, 0.07f, 0.3f);
             }},
            {"tipwindow",
             [] {
                 return Chime({7, 12}, 0.09f, 0.25f);
             }},
            {"removecoll",
             [] {
                 return Chime({12, 19}, 0.05f, 0.18f);
             }},
            {"selectcoll", [] { return Click(1800, 0.05f); }},
            {"invalid",
             [] {
                 return Tone(0.18f, 160, 120, {0.6f, 0.3f, 0.2f}, 0.005f, 0.08f);
             }},
            {"levelcomplete",
             [] {
                 return Chime({0, 4, 7, 12, 16, 19, 24}, 0.09f, 0.4f);
             }},
            {"stagecomplete",
             [] {
                 return Chime({0, 7, 12, 4, 16, 7, 19, 24}, 0.12f, 0.5f);
             }},
            {"collappear",
             [] {
                 return Chime({19, 24}, 0.06f, 0.2f);
             }},
            {"shuffle", [] { return Swoosh(0.6f, 0.8f, 0.3f, 7); }},
            {"hint",
             [] {
                 return Chime({12, 16}, 0.1f, 0.25f);
             }},
            {"undo", [] { return Swoosh(0.25f, 1.0f, 0.4f, 9); }},
            {"nomoremoves",
             [] {
                 return Chime({7, 3, 0}, 0.15f, 0.35f);
             }},
            {"timeup",
             [] {
                 return Chime({0, -5, -12}, 0.2f, 0.4f);
             }},
            {"timeending", [] { return Click(900, 0.1f); }},
            {"swap", [] { return Swoosh(0.3f, 0.6f, 0.9f, 11); }},
            {"swapbonus",
             [] {
                 return Chime({4, 9, 16}, 0.06f, 0.2f);
             }},
            {"swapdone",
             [] {
                 return Chime({16, 12}, 0.06f, 0.2f);
             }},
            {"change", [] { return Swoosh(0.3f, 0.9f, 0.6f, 13); }},
            {"changebonus",
             [] {
                 return Chime({2, 7, 14}, 0.06f, 0.2f);
             }},
            {"changedone",
             [] {
                 return Chime({14, 9}, 0.06f, 0.2f);
             }},
            {"remover",
             [] {
                 Samples s = Noise(0.4f, 2500, 0.002f, 0.1f, 15);
                 MixInto(s, Tone(0.3f, 300, 90, kSoft, 0.002f, 0.1f), 0, 0.8f);
                 return s;
             }},
            {"jewelfound",
             [] {
                 return Chime({12, 16, 19, 24}, 0.05f, 0.3f);
             }},
            {"jewelfoundscore",
             [] {
                 return Chime({24, 28}, 0.05f, 0.25f);
             }},
            {"clothesready",
             [] {
                 return Chime({0, 4, 7}, 0.1f, 0.3f);
             }},
    };
    std::error_code ignored;
    std::filesystem::create_directories(root + "/sounds", ignored);
    for (const Effect& effect : effects) {
        Samples s = effect.make();
        Normalise(s, 0.7f);
        const std::string path = root + "/sounds/" + effect.name + ".wav";
        if (!WriteWav(path, s)) {
            *error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

}  // namespace mkcontent
