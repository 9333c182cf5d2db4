#include "engine/anim/TrajectoryMoveObj.h"

#include <algorithm>
#include <cmath>

TrajectoryMoveObj_t::TrajectoryMoveObj_t(int offsetX, int offsetY, float pathSpeed, Trajectory_t* path, bool relative,
                                         const Velm::Color& moverColour, bool anchorAtEnd, bool arcLength)
        : arcLengthStepping(arcLength), speed(pathSpeed), colour(moverColour) {
    SetPath(offsetX, offsetY, path, relative, anchorAtEnd);
}

void TrajectoryMoveObj_t::SetPath(int offsetX, int offsetY, Trajectory_t* path, bool relative, bool anchorAtEnd) {
    trajectory = path;
    xCoefs.clear();
    yCoefs.clear();
    pointCount = 0;
    if (path == nullptr || path->points.empty()) return;
    const std::vector<TrajectoryPoint_t>& pts = path->points;
    const int n = static_cast<int>(pts.size());
    pointCount = static_cast<unsigned>(n);
    std::vector<int> xs(n), ys(n);
    const TrajectoryPoint_t& anchor = anchorAtEnd ? pts[n - 1] : pts[0];
    for (int k = 0; k < n; ++k) {
        xs[k] = relative ? pts[k].x - anchor.x + offsetX : pts[k].x;
        ys[k] = relative ? pts[k].y - anchor.y + offsetY : pts[k].y;
    }
    xCoefs = ComputeSplineCoefficients(n - 1, xs.data());
    yCoefs = ComputeSplineCoefficients(n - 1, ys.data());
    x = static_cast<float>(pts[0].x);
    y = static_cast<float>(pts[0].y);
}

bool TrajectoryMoveObj_t::Update() {
    if (done || IsStopped()) AnimObject2::Start();
    timeStep = 0.01f;
    return AnimObject2::Update();
}

void TrajectoryMoveObj_t::Advance(float ticks) {
    timeStep = ticks * 0.01f;
    UpdateTransform();
}

void TrajectoryMoveObj_t::Start() {
    travelTime = 0;
    arrived = false;
    AnimObject2::Start();
    if (trajectory != nullptr && !trajectory->points.empty()) {
        x = static_cast<float>(trajectory->points[0].x);
        y = static_cast<float>(trajectory->points[0].y);
    }
}

void TrajectoryMoveObj_t::UpdateTransform() {
    travelTime += timeStep;
    if (trajectory == nullptr) return;
    float distance = travelTime * speed;
    if (distance > trajectory->totalLength) {
        distance = trajectory->totalLength;
        arrived = true;
    }
    const int segments = std::min(static_cast<int>(trajectory->points.size()) - 1, static_cast<int>(xCoefs.size()));
    for (int i = 0; i < segments; ++i) {
        const float length = trajectory->points[i].segmentLength;
        const float rest = distance - length;
        distance = rest;
        if (rest <= 0 && PlaceOnSegment(i, -rest, length)) {
            AnimObject2::UpdateTransform();
            return;
        }
    }
    // Arrived, but the sum of the segment lengths rounded past the clamped distance (or the
    // arc walk fell short of the very end): the sprite belongs on the path's last point.
    if (arrived && segments > 0) {
        const bool walk = arcLengthStepping;
        arcLengthStepping = false;
        PlaceOnSegment(segments - 1, 0, trajectory->points[segments - 1].segmentLength);
        arcLengthStepping = walk;
        AnimObject2::UpdateTransform();
    }
}

bool TrajectoryMoveObj_t::PlaceOnSegment(int i, float a, float length) {
    const TrajectoryPoint_t& p0 = trajectory->points[i];
    const TrajectoryPoint_t& p1 = trajectory->points[i + 1];
    const SplineCoef_t& cx = xCoefs[i];
    const SplineCoef_t& cy = yCoefs[i];
    auto turn = [&](float dx, float dy, float u) {
        if (!keepUpright)
            angle = std::atan2(dx, dy) + 3.1415927f + p0.angle + (p1.angle - p0.angle) * p0.angleFactor * u;
    };
    if (!arcLengthStepping) {
        // A zero-length segment has no parameter to divide by: its start is its end.
        const float u = length > 0 ? 1.0f - a / length : 0.0f;
        x = cx.At(u);
        y = cy.At(u);
        scale = p0.scale + u * (p1.scale - p0.scale) * p0.scaleFactor;
        turn(cx.At(u + 0.01f) - x, cy.At(u + 0.01f) - y, u);
        return true;
    }
    const int steps = static_cast<int>(length);
    if (steps <= 0) return false;
    const float du = 1.0f / length;
    float walked = 0;
    float px = cx.At(0), py = cy.At(0);
    for (int k = 1; k <= steps; ++k) {
        const float u = static_cast<float>(k) * du;
        const float nx = cx.At(u), ny = cy.At(u);
        walked += std::sqrt((nx - px) * (nx - px) + (ny - py) * (ny - py));
        if (walked >= length - a) {
            x = nx;
            y = ny;
            scale = (p0.scale + (p1.scale - p0.scale) * u) * p0.scaleFactor;
            turn(nx - px, ny - py, u);
            return true;
        }
        px = nx;
        py = ny;
    }
    return false;
}
