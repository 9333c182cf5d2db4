#include "engine/anim/Trajectories.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "graphics/Vector.h"
#include "resources/pack/PakFile.h"

std::vector<SplineCoef_t> ComputeSplineCoefficients(int n, const int* samples) {
    std::vector<SplineCoef_t> out;
    if (n < 1 || samples == nullptr) return out;
    std::vector<float> g(n + 1), d(n + 1), D(n + 1);
    auto q = [samples](int i) { return static_cast<float>(samples[i]); };
    g[0] = 0.5f;
    for (int i = 1; i < n; ++i) g[i] = 1.0f / (4.0f - g[i - 1]);
    g[n] = 1.0f / (2.0f - g[n - 1]);
    d[0] = 3.0f * (q(1) - q(0)) * g[0];
    for (int i = 1; i < n; ++i) d[i] = (3.0f * (q(i + 1) - q(i - 1)) - d[i - 1]) * g[i];
    d[n] = (3.0f * (q(n) - q(n - 1)) - d[n - 1]) * g[n];
    D[n] = d[n];
    for (int i = n - 1; i >= 0; --i) D[i] = d[i] - g[i] * D[i + 1];
    out.resize(n);
    for (int i = 0; i < n; ++i) {
        out[i].a = q(i);
        out[i].b = D[i];
        out[i].c = 3.0f * (q(i + 1) - q(i)) - 2.0f * D[i] - D[i + 1];
        out[i].d = 2.0f * (q(i) - q(i + 1)) + D[i] + D[i + 1];
    }
    return out;
}

namespace {

int32_t ReadInt32(const unsigned char* p) {
    const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                       static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(v);
}

float ReadFloat(const unsigned char* p) {
    const int32_t bits = ReadInt32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Reads exactly count bytes; false on a short read.
bool ReadExactly(PakFileHandle* file, void* buffer, long count) {
    if (count == 0) return true;
    return PakFRead(buffer, 1, static_cast<int>(count), file) == static_cast<int>(count);
}

}  // namespace

bool Trajectories_t::Load(const std::string& fileName, bool clearFirst) {
    if (clearFirst) Clear();
    PakFileHandle* file = PakFOpen(fileName.c_str(), "rb");
    if (file == nullptr) return false;
    PakFSeek(file, 0, SEEK_END);
    long remaining = PakFTell(file);
    PakFSeek(file, 0, SEEK_SET);

    std::vector<Trajectory_t> loaded;
    bool ok = false;
    unsigned char header[4 + kNameBytes];
    if (remaining >= 4 && ReadExactly(file, header, 4)) {
        remaining -= 4;
        const int32_t count = ReadInt32(header);
        // Each trajectory needs at least its 24-byte header: a count the file cannot hold is
        // damage, not a request for memory.
        ok = count >= 0 && count <= remaining / (4 + kNameBytes);
        for (int32_t t = 0; ok && t < count; ++t) {
            ok = remaining >= 4 + kNameBytes && ReadExactly(file, header, 4 + kNameBytes);
            if (!ok) break;
            remaining -= 4 + kNameBytes;
            const int32_t pointCount = ReadInt32(header);
            ok = pointCount >= 0 && pointCount <= remaining / kPointBytes;
            if (!ok) break;
            Trajectory_t traj;
            const char* nameBytes = reinterpret_cast<const char*>(header + 4);
            // At most 19 characters, also when the name field holds no NUL.
            const char* nameEnd = std::find(nameBytes, nameBytes + kNameBytes - 1, '\0');
            traj.name.assign(nameBytes, nameEnd);
            traj.pointCount = pointCount;
            std::vector<unsigned char> raw(static_cast<size_t>(pointCount) * kPointBytes);
            ok = ReadExactly(file, raw.data(), static_cast<long>(raw.size()));
            if (!ok) break;
            remaining -= static_cast<long>(raw.size());
            traj.points.resize(pointCount);
            for (int32_t k = 0; k < pointCount; ++k) {
                const unsigned char* p = raw.data() + static_cast<size_t>(k) * kPointBytes;
                TrajectoryPoint_t& pt = traj.points[k];
                pt.x = ReadInt32(p);
                pt.y = ReadInt32(p + 4);
                pt.scale = ReadFloat(p + 8);
                pt.angle = ReadFloat(p + 12);
                pt.angleFactor = ReadFloat(p + 16);
                pt.scaleFactor = ReadFloat(p + 20);
                pt.segmentLength = ReadFloat(p + 24);
            }
            for (int32_t k = 0; k + 1 < pointCount; ++k) traj.totalLength += traj.points[k].segmentLength;
            loaded.push_back(std::move(traj));
        }
    }
    PakFClose(file);
    if (!ok) return false;
    for (Trajectory_t& traj : loaded) trajectories.push_back(std::move(traj));
    return true;
}

void Trajectories_t::Clear() { trajectories.clear(); }

Trajectory_t* Trajectories_t::GetTrajectory(int index) {
    if (index < 0 || index >= static_cast<int>(trajectories.size())) return nullptr;
    return &trajectories[index];
}

void Trajectories_t::ComputeLengths(Trajectory_t& trajectory) {
    const int n = static_cast<int>(trajectory.points.size());
    trajectory.totalLength = 0;
    if (n < 2) return;
    std::vector<int> xs(n), ys(n);
    for (int k = 0; k < n; ++k) {
        xs[k] = trajectory.points[k].x;
        ys[k] = trajectory.points[k].y;
    }
    const std::vector<SplineCoef_t> cx = ComputeSplineCoefficients(n - 1, xs.data());
    const std::vector<SplineCoef_t> cy = ComputeSplineCoefficients(n - 1, ys.data());
    for (int i = 0; i < n - 1; ++i) {
        float length = 0;
        float px = cx[i].At(0);
        float py = cy[i].At(0);
        for (int step = 1; step <= 500; ++step) {
            const float u = static_cast<float>(step) * 0.002f;
            const float nx = cx[i].At(u);
            const float ny = cy[i].At(u);
            length += std::sqrt((nx - px) * (nx - px) + (ny - py) * (ny - py));
            px = nx;
            py = ny;
        }
        trajectory.points[i].segmentLength = length;
        trajectory.totalLength += length;
    }
}

std::unique_ptr<Trajectory_t> Trajectories_t::MakeArc(int x0, int y0, int x1, int y1, float bulge) {
    auto arc = std::make_unique<Trajectory_t>();
    arc->points.resize(3);
    arc->pointCount = 3;
    const Velm::Vector2 dir = Velm::Vector2(static_cast<float>(x1 - x0), static_cast<float>(y1 - y0)).Normalized();
    arc->points[0].x = x0;
    arc->points[0].y = y0;
    arc->points[1].x = static_cast<int32_t>((x0 + x1) / 2.0f - dir.y * bulge);
    arc->points[1].y = static_cast<int32_t>((y0 + y1) / 2.0f + dir.x * bulge);
    arc->points[2].x = x1;
    arc->points[2].y = y1;
    ComputeLengths(*arc);
    return arc;
}
