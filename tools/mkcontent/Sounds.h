#pragma once

// The game's sound effects (WAV, synthesised) and music tracks (Ogg Vorbis, and one tracker
// module), written below "sounds/" with lower-case names (the sound descriptions name them
// in any case).

#include <string>

namespace mkcontent {

// False with the reason in *error when a file cannot be written.
bool MakeSounds(const std::string& root, std::string* error);

}  // namespace mkcontent
