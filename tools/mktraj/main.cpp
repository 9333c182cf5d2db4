// mktraj: builds the trajectory file the game loads at start-up.
//
//   mktraj <trajectory text> [output file]
//
// The output defaults to "data/trajectories.dat". Segment lengths are computed here from the
// spline through the points, so the game never has to. The text form is described in MkTraj.h.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/mktraj/MkTraj.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: mktraj <trajectory text> [output file]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "mktraj: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<Trajectory_t> trajectories;
    std::string error;
    if (!ParseTrajectoryText(text.str(), trajectories, error)) {
        std::fprintf(stderr, "mktraj: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::string output = argc == 3 ? argv[2] : "data/trajectories.dat";
    if (!WriteTrajectoryFile(output, trajectories, error)) {
        std::fprintf(stderr, "mktraj: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
