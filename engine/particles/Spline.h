#pragma once

#include <utility>
#include <vector>

#include "engine/anim/Trajectories.h"
#include "graphics/Point.h"

namespace Velm {
class Graphics;
}

// A 2-D cubic spline curve through integer points: open (natural spline, one segment between
// each pair of neighbours) or closed (periodic spline, one more segment from the last point back
// to the first; it needs three points). The curve is sampled into a polyline of
// samplesPerSegment pieces per segment, which gives the segment lengths, the drawing and the
// picking. Lengths are measured along that polyline; PointAtLength places by the curve
// parameter within the segment (close to, not exactly, arc length). Screen pixels throughout.
class Spline_t {
public:
    static constexpr int kHitRadius = 20;  // pixels

    Spline_t() = default;
    virtual ~Spline_t() = default;

    // q0..qn -> n segments.
    virtual void ComputeNatural(const std::vector<float>& samples, std::vector<SplineCoef_t>& out);
    // q0..q(n-1) -> n segments (the last one joins q(n-1) to q0); fewer than three samples give
    // none.
    virtual void ComputeClosed(const std::vector<float>& samples, std::vector<SplineCoef_t>& out);
    // The parameter of the projection of p on the line a -> b (0 at a, 1 at b).
    virtual float ProjectParameter(float ax, float ay, float bx, float by, float px, float py);
    virtual float DistanceToLine(float ax, float ay, float bx, float by, float px, float py);

    // Handles (8-pixel squares) and the curve; the selected handle of a highlighted curve
    // stands out.
    virtual void Draw(Velm::Graphics* g, bool highlighted, int selected);
    virtual void DrawHandle(Velm::Graphics* g, int index, int size);
    virtual void DrawSegment(Velm::Graphics* g, int segment);
    virtual void AddPoint(int x, int y);
    virtual void Rebuild();
    // Below 0 the first point, beyond the length the last; (0, 0) with fewer than two points.
    virtual Velm::Point PointAtLength(float length);
    // The unit direction of the curve there; (0, 0) outside the curve.
    virtual std::pair<double, double> TangentAtLength(float length);
    virtual int GetPointCount() const { return static_cast<int>(points.size()); }
    virtual int GetSegmentCount() const { return static_cast<int>(xCoefs.size()); }
    virtual float GetLength() const { return totalLength; }
    virtual void SetClosed(bool isClosed);
    virtual bool IsClosed() const { return closed; }
    virtual int GetSamplesPerSegment() const { return samplesPerSegment; }
    virtual void SetSamplesPerSegment(int count);  // at least 1
    // A new point at the middle (u = 0.5) of the segment, between its two points.
    virtual void InsertPointAfter(int segment);
    virtual void RemovePoint(int index);
    virtual void Clear();
    // The length along the curve up to (x, y), when (x, y) is within 20 pixels of the sampled
    // curve; else 0.
    virtual float LengthAtPosition(int x, int y);
    // The nearest point within 20 pixels, or -1.
    virtual int HitTestPoint(int x, int y);
    // (segment, sample within the segment) of the nearest sample within 20 pixels, or (-1, -1).
    virtual std::pair<int, int> HitTestCurve(int x, int y);
    virtual Velm::Point GetPoint(int index) const;  // (0, 0) out of range
    virtual void MovePoint(int index, int x, int y);

    std::vector<SplineCoef_t> xCoefs;
    std::vector<SplineCoef_t> yCoefs;
    std::vector<float> xSamples;
    std::vector<float> ySamples;
    std::vector<Velm::Point> points;
    std::vector<std::pair<double, double>> polyline;
    std::vector<float> segmentLengths;
    float totalLength = 0;
    int samplesPerSegment = 24;
    bool closed = false;

private:
    // The segment and curve parameter of a length along the curve; false outside it.
    bool Locate(float length, int& segment, float& u) const;
    // Index of the nearest polyline sample from index first on within the hit radius, or -1.
    int NearestSample(int x, int y, int first) const;
};
