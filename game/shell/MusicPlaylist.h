#pragma once

#include <string>
#include <vector>

// The music entries the play screen picks its level music from
// ("sounds/music/music.txt"): every key of every section, in section and key
// order, is one entry, its value split at ",".
class MusicPlaylist_t {
public:
    // Appends the file's entries to those already held. Pieces are trimmed of
    // blanks and empty pieces dropped; a key whose value holds none still adds
    // an (empty) entry. A missing file adds nothing.
    void Load(const std::string& path);

    std::vector<std::vector<std::string>> entries;
};
