#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One point of a trajectory, also the 28-byte record of the trajectory file (little-endian):
// x, y int32 screen pixels; scale, angle (radians), angle factor, scale factor, and the path
// length from this point to the next along the spline (not used for the last point), floats.
struct TrajectoryPoint_t {
    int32_t x = 0;
    int32_t y = 0;
    float scale = 1.0f;
    float angle = 0;
    float angleFactor = 1.0f;
    float scaleFactor = 1.0f;
    float segmentLength = 0;
};

struct Trajectory_t {
    std::vector<TrajectoryPoint_t> points;
    int pointCount = 0;
    std::string name;
    float totalLength = 0;  // sum of the segment lengths of all points but the last
};

// One cubic segment of a spline: value(u) = a + u (b + u (c + u d)) for u in 0..1.
struct SplineCoef_t {
    float a = 0;
    float b = 0;
    float c = 0;
    float d = 0;
    float At(float u) const { return a + u * (b + u * (c + u * d)); }
};

// The natural cubic spline through samples[0..n] at unit spacing: n segments (none when n is
// below 1). Single precision throughout.
std::vector<SplineCoef_t> ComputeSplineCoefficients(int n, const int* samples);

// The trajectory database, loaded once at start-up from "data/trajectories.dat":
//   int32 trajectory count, then per trajectory: int32 point count n, a 20-byte NUL-terminated
//   name (at most 19 characters), n TrajectoryPoint_t records.
// The segment lengths are taken from the file (tools/mktraj computes them), not recomputed.
// Read through the pack-aware file functions, so the file may lie in the resource pack.
class Trajectories_t {
public:
    static constexpr int kNameBytes = 20;
    static constexpr int kPointBytes = 28;

    Trajectories_t() = default;
    explicit Trajectories_t(const char* fileName) { Load(fileName, false); }
    ~Trajectories_t() = default;

    // False when the file cannot be opened or is cut short or inconsistent (counts that do not
    // fit the file's size); the database is then left empty.
    bool Load(const std::string& fileName, bool clearFirst);
    void Clear();

    int GetCount() const { return static_cast<int>(trajectories.size()); }
    // Null for an index out of range.
    Trajectory_t* GetTrajectory(int index);

    // Every segment length from the spline through the points (500 chords per segment), and
    // the total.
    static void ComputeLengths(Trajectory_t& trajectory);
    // A three-point arc from (x0, y0) to (x1, y1) whose middle point lies bulge pixels to the
    // side (to the right of the direction of travel on screen for a positive bulge); not added
    // to the database.
    static std::unique_ptr<Trajectory_t> MakeArc(int x0, int y0, int x1, int y1, float bulge);

    std::vector<Trajectory_t> trajectories;
};
