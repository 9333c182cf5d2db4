#pragma once

#include <string>

namespace Velm {

class GameApp;

// The program's start: where its content is and what its command line says.
//
// Content folder: the folder "content" next to the program when it exists (the build puts
// the program in the build folder and generates the content into build/content), else the
// program's own folder (an installed game keeps its data beside the program). The result
// ends with '/'.
std::string FindContentFolder(const std::string& programFolder);

// The command line as one text for the framework's parser: the program's name in quotes, then
// each argument separated by a space; an argument holding a space or nothing is quoted (the
// parser drops the quotes).
std::string JoinCommandLine(int argc, const char* const* argv);

// Runs an application made for the content folder with the command line: Init, the main loop,
// and the exit code the program ends with (0 after a clean run, 1 when the game could not be
// loaded). The application is not deleted here.
int RunGameApp(GameApp& app, const std::string& commandLine);

// The program's log in its per-user data folder: the debug lines of a run (window handles,
// run statistics), emptied at each start.
constexpr const char* kLogFileName = "tiles.log";

// The whole program: finds the content, runs the game with the command line (its debug lines
// going to kLogFileName) and returns the process's exit code (0 after a clean run, 1 when the
// game could not be loaded).
int RunGame(int argc, const char* const* argv);

}  // namespace Velm
