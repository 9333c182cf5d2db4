// The game's program: everything is in the game's libraries.

#include "game/shell/screens/ProgramEntry.h"

int main(int argc, char** argv) { return Velm::RunGame(argc, argv); }
