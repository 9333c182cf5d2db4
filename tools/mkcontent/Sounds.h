#pragma once

// The game's sound effects, synthesised and written as WAV below "sounds/" with lower-case
// names (the sound descriptions name them in any case). The music is Music.h's.

#include <string>

namespace mkcontent {

// False with the reason in *error when a file cannot be written.
bool MakeSounds(const std::string& root, std::string* error);

}  // namespace mkcontent
