#pragma once

// The game's one tracker module: a four-channel MOD ("M.K.") written by code, with three
// synthesised samples (a looping lead and bass cycle, an unlooped drum of filtered noise)
// and four patterns of a short tune, so the music players' tracker path has a song of
// our own. Deterministic: the same bytes on every run.

#include <string>

namespace mkcontent {

// False when the file cannot be written.
bool WriteTrackerModule(const std::string& path);

}  // namespace mkcontent
