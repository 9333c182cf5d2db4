#pragma once

#include <string>
#include <vector>

class ProfileManager_t;

// What the player-selection dialog and the main menu do to the profile list,
// kept apart from their widgets. Line 0 of the dialog's list creates a player;
// line i >= 1 is profile i - 1 in the manager's order. Main thread only.
class PlayerList {
public:
    // The dialogs allow at most this many players.
    static constexpr int kMaxPlayers = 6;

    enum class AddResult { Added, Duplicate, NotAllowed };

    explicit PlayerList(ProfileManager_t& manager) : mManager(manager) {}

    // createLineText, then every profile's name in order.
    std::vector<std::string> Lines(const std::string& createLineText) const;
    // The line of the current profile; -1 without one.
    int CurrentLine() const;
    bool IsProfileLine(int line) const;
    bool CanCreate() const;

    // A new profile with the volumes, made current. A name another profile has
    // (any letter case) is a duplicate; a name the manager cannot make a file
    // of is not allowed. Nothing changes unless Added; an added player is
    // saved at once (the list file and the player's file).
    AddResult Add(const std::string& name, float effectVolume, float musicVolume);
    // Deletes the line's profile (its file and settings key with it) and saves
    // the list. The current player stays current, or there is none when it was
    // the one deleted; no other player's file is written. Returns the line to
    // select afterwards: the current player's line, else line 1 while any
    // player is left, else -1. A line that is not a profile line changes
    // nothing and gives -1.
    int Delete(int line);
    // Makes the line's profile current (reading its file when not read yet)
    // and saves. False for a line that is not a profile line.
    bool Select(int line);

private:
    ProfileManager_t& mManager;
};
