#pragma once

// The game's music: tracks of a little over two minutes composed by rule from a plan (key,
// mode, tempo and a form of eight-bar sections: chords, a melody with its variations and
// which instruments play), rendered in stereo and encoded as Ogg Vorbis below
// "sounds/music/". Every track is a loop: whatever still sounds at its end is folded back
// onto its start, and the first and last milliseconds fade from and to silence, so the
// menu's looping track and the level tracks played one after another never click at the
// seam. Deterministic: the same bytes on every run.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkcontent/Audio.h"

namespace mkcontent {

struct MusicPlan {
    const char* name;  // file name without extension, e.g. "track1"
    int root;          // the key's root in semitones from A4
    bool minor;        // natural minor instead of major
    float beat;        // seconds per beat (four beats a bar)
    const char* form;  // one letter per eight-bar section; equal letters share their material
    uint32_t seed;     // the composition's random choices
};

// The menu track ("mainmenu") first, then the level tracks.
const std::vector<MusicPlan>& GetMusicPlans();

// The whole track, interleaved stereo at kSampleRate, exactly its bars long.
Samples ComposeMusic(const MusicPlan& plan);

// Writes every track below root/sounds/music; false with the reason in *error. Tracks are
// composed and encoded on threads of their own.
bool MakeMusic(const std::string& root, std::string* error);

}  // namespace mkcontent
