#include "engine/particles/ParticleGraph.h"

#include <cstdio>
#include <cstdlib>

#include "engine/util/ComString.h"
#include "resources/base/StringUtils.h"

void ParticleGraph_t::RecomputeSegments() {
    dx.clear();
    dv.clear();
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        dx.push_back(keys[i + 1].x - keys[i].x);
        dv.push_back(keys[i + 1].value - keys[i].value);
    }
}

void ParticleGraph_t::Read(const std::string& text) {
    keys.clear();
    std::vector<std::string> items;
    com_string::Split(text.c_str(), ';', items);
    for (const std::string& item : items) {
        Key k{0, 0};
        if (std::sscanf(item.c_str(), "%f,%f", &k.x, &k.value) == 2) keys.push_back(k);
    }
    RecomputeSegments();
}

void ParticleGraph_t::AddKey(float x, float value, bool clearFirst) {
    if (clearFirst) keys.clear();
    keys.push_back(Key{x, value});
    RecomputeSegments();
}

float ParticleGraph_t::Evaluate(float x) const {
    if (x > 1.0f) x = 1.0f;
    if (keys.empty()) return 0;
    if (keys.size() == 1 || dx.empty()) return keys[0].value;
    for (size_t i = 0; i < dx.size(); ++i) {
        const float rest = x - dx[i];
        if (rest < 0) return keys[i].value + x / dx[i] * dv[i];
        x = rest;
    }
    return keys.back().value;
}

void ParticleColorGraph_t::Read(const std::string& text) {
    keys.clear();
    dx.clear();
    std::vector<std::string> items;
    com_string::Split(text.c_str(), ';', items);
    for (const std::string& item : items) {
        const size_t comma = item.find(',');
        if (comma == std::string::npos) continue;
        int value = 0;
        Velm::StringToInt(Velm::TrimString(item.substr(comma + 1)), &value);
        const unsigned argb = static_cast<unsigned>(value);
        keys.push_back(Key{static_cast<float>(std::atof(item.substr(0, comma).c_str())),
                           static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
                           static_cast<int>(argb & 0xFF), static_cast<int>((argb >> 24) & 0xFF)});
    }
    for (size_t i = 0; i + 1 < keys.size(); ++i) dx.push_back(keys[i + 1].x - keys[i].x);
}

Velm::Color ParticleColorGraph_t::Evaluate(float x) const {
    if (keys.empty()) return Velm::Color(0);
    auto colourOf = [](const Key& k) { return Velm::Color(k.red, k.green, k.blue, k.alpha); };
    if (keys.size() == 1) return colourOf(keys[0]);
    if (x > 1.0f) x = 1.0f;
    for (size_t i = 0; i < dx.size(); ++i) {
        const float rest = x - dx[i];
        if (rest < 0) {
            const float t = x / dx[i];
            const Key& a = keys[i];
            const Key& b = keys[i + 1];
            return Velm::Color(a.red + static_cast<int>(t * static_cast<float>(b.red - a.red)),
                               a.green + static_cast<int>(t * static_cast<float>(b.green - a.green)),
                               a.blue + static_cast<int>(t * static_cast<float>(b.blue - a.blue)), a.alpha);
        }
        x = rest;
    }
    return colourOf(keys.back());
}
