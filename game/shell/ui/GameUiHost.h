#pragma once

#include <string>

namespace Velm {

// What the game's dialogs need of the game's application object: its one way of playing
// sounds and its update mode. The application implements it and installs itself at
// construction; without one, sounds are silent and whole updates are assumed.
// Main thread only.
class GameUiHost {
public:
    virtual ~GameUiHost() = default;

    // Plays a sound by name through the engine's sound system: with asBase, the "base"
    // description with name as its wave file; otherwise the description called name.
    // The engine's handle, 0 when nothing plays.
    virtual int PlaySound(const std::string& name, bool asBase) = 0;
    // True when the framework delivers fractional updates between whole ones (UpdateF), so a
    // widget must not also move itself on the whole update.
    virtual bool IsSmoothUpdating() = 0;

    // The installed host, or null.
    static GameUiHost* Get();
    static void Set(GameUiHost* host);
};

// Plays through the installed host; 0 without one.
int PlayUiSound(const std::string& name, bool asBase = true);

}  // namespace Velm
