#pragma once

#include <string>
#include <vector>

#include "engine/anim/Trajectories.h"

// The text form mktraj reads, one item per line ('#' or ';' starts a comment line, blank lines
// are skipped, CR LF and LF both work):
//   trajectory <name>                  starts a trajectory (name of 1 to 19 characters)
//   <x> <y> [scale angle angleFactor scaleFactor]
//                                      one point: integer pixels, then optional floats with
//                                      the defaults 1, 0, 1, 1 (angle in radians)
// Every trajectory needs at least two points. false and a message naming the line on any
// error.
bool ParseTrajectoryText(const std::string& text, std::vector<Trajectory_t>& out, std::string& error);

// Computes every segment length and writes the binary trajectory file that Trajectories_t
// loads. The file is written whole (through a temporary file) or not at all.
bool WriteTrajectoryFile(const std::string& path, std::vector<Trajectory_t>& trajectories, std::string& error);
