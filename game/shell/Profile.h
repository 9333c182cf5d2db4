#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A simple-mode result of one level (flat level index of the simple-mode stage
// catalogue). The play screen decides how the best time and score change; the
// profile only stores them.
struct LevelRecord_t {
    int level = 0;
    int bestTime = 0;   // in updates of 10 ms
    int bestScore = 0;  // 0 while the level has not been finished
    bool flag = false;
};

// The progress of one way of play (progress[0] simple mode, progress[1]
// adventure). The values below are the "new" values, which
// ProfileManager_t::ResetCurrentProgress also restores. Fields marked "not
// saved" are not in the profile file: reading a file leaves them as they are.
struct Progress_t {
    static constexpr int kTipCount = 24;
    static constexpr int kMiniGameCount = 20;

    int gameScore = 0;   // score of the running game, never below 0
    int stage = 0;       // index in the stage catalogue of this way of play
    int totalScore = 0;  // never below 0
    int orderPos = 0;    // position in gameOrder of the current game
    int tileset = 0;     // tile set chosen by the player
    bool stageStarted = false;
    bool gameInProgress = false;
    int gameList = 0;  // not saved: which game list of the stages is played
    int timeLeft = 0;  // updates left (or spent, in simple mode) of the running level
    // Game indexes of the current stage in playing order; -1 marks a finished game.
    std::vector<int> gameOrder;
    bool dontShowHelp = false;
    bool dontShowNoMoves = false;
    int jewelCount = 0;   // not saved
    int jewelCountB = 0;  // not saved
    int jewelCountC = 0;  // not saved
    std::array<bool, kTipCount> tipSeen{};
    bool showBlocked = true;
    std::vector<std::string> itemNames;  // not saved
    std::vector<int> collectedItems;     // not saved
    // Not saved: 0 not started, 1 started, 2 completed, by mini-game id.
    std::array<uint8_t, kMiniGameCount> miniGameState{};
    std::vector<LevelRecord_t> levelRecords;  // simple-mode results, in unlocking order
};

// A player: name, the two volumes (0..1) and one progress record per way of play.
struct Profile_t {
    Profile_t() = default;
    Profile_t(const std::string& playerName, float effects, float music)
            : effectVolume(effects), musicVolume(music), name(playerName) {}

    float effectVolume = 0.5f;
    float musicVolume = 0.4f;
    std::string name;
    Progress_t progress[2];

    // Bookkeeping of ProfileManager_t, not part of the file.
    // True once the profile holds what its file holds: after its file was read
    // (or found missing), and for a profile made new. The file of a profile not
    // read yet is never written, so it cannot be overwritten with defaults.
    bool fileRead = false;
    // When the file was damaged: the bytes the repaired profile serialises to.
    // While the profile still serialises to them the file is left as it is;
    // the first real change writes it.
    std::vector<uint8_t> damagedFileImage;
};
