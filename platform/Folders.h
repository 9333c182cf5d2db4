#pragma once

// The well-known folders of a user's session. Every result is a native path ending in '/',
// or empty when it cannot be found. Nothing here creates a folder.

#include <string>

namespace plat {

// The running program's own file, empty when it cannot be found.
std::string ExecutablePath();
// The folder that holds the running program.
std::string ExecutableFolder();

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
std::string DataHomeFolder();
// The program's per-user data folder (what the common application-data folder was):
// DataHomeFolder() + company + "/" + product + "/".
std::string AppDataFolder(const std::string& company, const std::string& product);

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
std::string ConfigHomeFolder();

// Changes the current folder; meant for start-up only (the program keeps it afterwards).
bool SetCurrentFolder(const std::string& path);

}  // namespace plat
