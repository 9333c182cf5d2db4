#include "tools/mktraj/MkTraj.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

void PutInt32(std::string& out, int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutFloat(std::string& out, float value) {
    int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutInt32(out, bits);
}

bool Fail(std::string& error, int line, const std::string& message) {
    error = "line " + std::to_string(line) + ": " + message;
    return false;
}

}  // namespace

bool ParseTrajectoryText(const std::string& text, std::vector<Trajectory_t>& out, std::string& error) {
    std::vector<Trajectory_t> parsed;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '#' || first[0] == ';') continue;
        if (first == "trajectory") {
            std::string name;
            if (!(words >> name)) return Fail(error, lineNo, "trajectory without a name");
            if (name.size() >= static_cast<size_t>(Trajectories_t::kNameBytes))
                return Fail(error, lineNo, "name longer than 19 characters");
            Trajectory_t traj;
            traj.name = name;
            parsed.push_back(traj);
            continue;
        }
        if (parsed.empty()) return Fail(error, lineNo, "point before the first 'trajectory' line");
        std::vector<std::string> tokens;
        for (std::string word; words >> word;) tokens.push_back(word);
        tokens.insert(tokens.begin(), first);
        if (tokens.size() < 2 || tokens.size() > 6)
            return Fail(error, lineNo, "expected '<x> <y> [scale angle angleFactor scaleFactor]'");
        TrajectoryPoint_t p;
        long coords[2];
        for (int k = 0; k < 2; ++k) {
            char* end = nullptr;
            coords[k] = std::strtol(tokens[k].c_str(), &end, 10);
            if (*end != '\0' || coords[k] < INT32_MIN || coords[k] > INT32_MAX)
                return Fail(error, lineNo, "bad coordinate '" + tokens[k] + "'");
        }
        p.x = static_cast<int32_t>(coords[0]);
        p.y = static_cast<int32_t>(coords[1]);
        float* extras[4] = {&p.scale, &p.angle, &p.angleFactor, &p.scaleFactor};
        for (size_t k = 2; k < tokens.size(); ++k) {
            char* end = nullptr;
            const float v = std::strtof(tokens[k].c_str(), &end);
            if (*end != '\0' || !std::isfinite(v)) return Fail(error, lineNo, "bad number '" + tokens[k] + "'");
            *extras[k - 2] = v;
        }
        parsed.back().points.push_back(p);
    }
    for (Trajectory_t& traj : parsed) {
        if (traj.points.size() < 2) {
            error = "trajectory '" + traj.name + "' has fewer than two points";
            return false;
        }
        traj.pointCount = static_cast<int>(traj.points.size());
    }
    out = std::move(parsed);
    return true;
}

bool WriteTrajectoryFile(const std::string& path, std::vector<Trajectory_t>& trajectories, std::string& error) {
    std::string bytes;
    PutInt32(bytes, static_cast<int32_t>(trajectories.size()));
    for (Trajectory_t& traj : trajectories) {
        Trajectories_t::ComputeLengths(traj);
        traj.pointCount = static_cast<int>(traj.points.size());
        PutInt32(bytes, traj.pointCount);
        char name[Trajectories_t::kNameBytes] = {};
        std::strncpy(name, traj.name.c_str(), Trajectories_t::kNameBytes - 1);
        bytes.append(name, sizeof name);
        for (const TrajectoryPoint_t& p : traj.points) {
            PutInt32(bytes, p.x);
            PutInt32(bytes, p.y);
            PutFloat(bytes, p.scale);
            PutFloat(bytes, p.angle);
            PutFloat(bytes, p.angleFactor);
            PutFloat(bytes, p.scaleFactor);
            PutFloat(bytes, p.segmentLength);
        }
    }
    const std::string temp = path + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        if (!file) {
            error = "cannot write " + temp;
            return false;
        }
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush()) {
            error = "cannot write " + temp;
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path;
        std::remove(temp.c_str());
        return false;
    }
    return true;
}
