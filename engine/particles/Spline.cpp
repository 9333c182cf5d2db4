#include "engine/particles/Spline.h"

#include <cmath>

#include "graphics/Color.h"
#include "graphics/Graphics.h"

namespace {

const Velm::Color kPale(170, 255, 170);
const Velm::Color kDark(170, 0, 170);

double Dist(double ax, double ay, double bx, double by) {
    return std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
}

}  // namespace

void Spline_t::ComputeNatural(const std::vector<float>& q, std::vector<SplineCoef_t>& out) {
    out.clear();
    const int n = static_cast<int>(q.size()) - 1;
    if (n < 1) return;
    std::vector<float> g(n + 1), d(n + 1), D(n + 1);
    g[0] = 0.5f;
    for (int i = 1; i < n; ++i) g[i] = 1.0f / (4.0f - g[i - 1]);
    g[n] = 1.0f / (2.0f - g[n - 1]);
    d[0] = 3.0f * (q[1] - q[0]) * g[0];
    for (int i = 1; i < n; ++i) d[i] = (3.0f * (q[i + 1] - q[i - 1]) - d[i - 1]) * g[i];
    d[n] = (3.0f * (q[n] - q[n - 1]) - d[n - 1]) * g[n];
    D[n] = d[n];
    for (int i = n - 1; i >= 0; --i) D[i] = d[i] - g[i] * D[i + 1];
    out.resize(n);
    for (int i = 0; i < n; ++i) {
        out[i].a = q[i];
        out[i].b = D[i];
        out[i].c = 3.0f * (q[i + 1] - q[i]) - 2.0f * D[i] - D[i + 1];
        out[i].d = 2.0f * (q[i] - q[i + 1]) + D[i] + D[i + 1];
    }
}

void Spline_t::ComputeClosed(const std::vector<float>& q, std::vector<SplineCoef_t>& out) {
    out.clear();
    const int n = static_cast<int>(q.size());
    if (n < 3) return;
    std::vector<float> v(n), w(n), y(n), D(n);
    v[1] = w[1] = 0.25f;
    y[0] = 0.75f * (q[1] - q[n - 1]);
    float H = 4.0f;
    float F = 3.0f * (q[0] - q[n - 2]);
    float G = 1.0f;
    for (int k = 1; k <= n - 2; ++k) {
        const float z = 1.0f / (4.0f - v[k]);
        v[k + 1] = z;
        w[k + 1] = -z * w[k];
        y[k] = z * (3.0f * (q[k + 1] - q[k - 1]) - y[k - 1]);
        H -= G * w[k];
        F -= G * y[k - 1];
        G = -v[k] * G;
    }
    H -= (G + 1.0f) * (v[n - 1] + w[n - 1]);
    y[n - 1] = F - (G + 1.0f) * y[n - 2];
    D[n - 1] = y[n - 1] / H;
    D[n - 2] = y[n - 2] - (v[n - 1] + w[n - 1]) * D[n - 1];
    for (int k = n - 3; k >= 0; --k) D[k] = y[k] - v[k + 1] * D[k + 1] - w[k + 1] * D[n - 1];
    out.resize(n);
    for (int k = 0; k < n; ++k) {
        const int next = k + 1 < n ? k + 1 : 0;
        out[k].a = q[k];
        out[k].b = D[k];
        out[k].c = 3.0f * (q[next] - q[k]) - 2.0f * D[k] - D[next];
        out[k].d = 2.0f * (q[k] - q[next]) + D[k] + D[next];
    }
}

float Spline_t::ProjectParameter(float ax, float ay, float bx, float by, float px, float py) {
    const float len2 = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
    if (len2 == 0) return 0;
    return ((px - ax) * (bx - ax) + (py - ay) * (by - ay)) / len2;
}

float Spline_t::DistanceToLine(float ax, float ay, float bx, float by, float px, float py) {
    const float t = ProjectParameter(ax, ay, bx, by, px, py);
    const float qx = ax + t * (bx - ax);
    const float qy = ay + t * (by - ay);
    return static_cast<float>(Dist(px, py, qx, qy));
}

void Spline_t::Rebuild() {
    if (closed) {
        ComputeClosed(xSamples, xCoefs);
        ComputeClosed(ySamples, yCoefs);
    } else {
        ComputeNatural(xSamples, xCoefs);
        ComputeNatural(ySamples, yCoefs);
    }
    polyline.clear();
    segmentLengths.clear();
    totalLength = 0;
    if (xCoefs.empty()) return;
    polyline.emplace_back(xCoefs[0].At(0), yCoefs[0].At(0));
    for (size_t s = 0; s < xCoefs.size(); ++s) {
        float length = 0;
        for (int i = 1; i <= samplesPerSegment; ++i) {
            const float u = static_cast<float>(i) / static_cast<float>(samplesPerSegment);
            const std::pair<double, double> prev = polyline.back();
            polyline.emplace_back(xCoefs[s].At(u), yCoefs[s].At(u));
            length += static_cast<float>(Dist(prev.first, prev.second, polyline.back().first, polyline.back().second));
        }
        segmentLengths.push_back(length);
        totalLength += length;
    }
}

void Spline_t::AddPoint(int x, int y) {
    points.emplace_back(x, y);
    xSamples.push_back(static_cast<float>(x));
    ySamples.push_back(static_cast<float>(y));
    Rebuild();
}

bool Spline_t::Locate(float length, int& segment, float& u) const {
    if (segmentLengths.empty() || !(length >= 0) || length > totalLength) return false;
    const int count = static_cast<int>(segmentLengths.size());
    for (segment = 0; segment < count - 1 && length > segmentLengths[segment]; ++segment)
        length -= segmentLengths[segment];
    const float segLength = segmentLengths[segment];
    u = segLength > 0 ? length / segLength : 0.0f;
    if (u > 1.0f) u = 1.0f;
    return true;
}

Velm::Point Spline_t::PointAtLength(float length) {
    if (points.size() < 2) return Velm::Point(0, 0);
    if (!(length >= 0) || segmentLengths.empty())  // also a length that is not a number
        return points.front();
    if (length > totalLength) return points.back();
    int segment = 0;
    float u = 0;
    Locate(length, segment, u);
    return Velm::Point(static_cast<int>(xCoefs[segment].At(u)), static_cast<int>(yCoefs[segment].At(u)));
}

std::pair<double, double> Spline_t::TangentAtLength(float length) {
    int segment = 0;
    float u = 0;
    if (points.size() < 2 || !Locate(length, segment, u)) return {0.0, 0.0};
    auto derivative = [u](const SplineCoef_t& c) { return c.b + 2.0f * c.c * u + 3.0f * c.d * u * u; };
    const double dx = derivative(xCoefs[segment]);
    const double dy = derivative(yCoefs[segment]);
    const double len = std::sqrt(dx * dx + dy * dy);
    if (len == 0) return {0.0, 0.0};
    return {dx / len, dy / len};
}

void Spline_t::SetClosed(bool isClosed) {
    closed = isClosed;
    Rebuild();
}

void Spline_t::SetSamplesPerSegment(int count) {
    samplesPerSegment = count < 1 ? 1 : count;
    Rebuild();
}

void Spline_t::InsertPointAfter(int segment) {
    if (segment < 0 || segment >= GetSegmentCount()) return;
    const Velm::Point mid(static_cast<int>(xCoefs[segment].At(0.5f)), static_cast<int>(yCoefs[segment].At(0.5f)));
    points.insert(points.begin() + segment + 1, mid);
    xSamples.insert(xSamples.begin() + segment + 1, static_cast<float>(mid.x));
    ySamples.insert(ySamples.begin() + segment + 1, static_cast<float>(mid.y));
    Rebuild();
}

void Spline_t::RemovePoint(int index) {
    if (index < 0 || index >= GetPointCount()) return;
    points.erase(points.begin() + index);
    xSamples.erase(xSamples.begin() + index);
    ySamples.erase(ySamples.begin() + index);
    Rebuild();
}

void Spline_t::Clear() {
    points.clear();
    xSamples.clear();
    ySamples.clear();
    Rebuild();
}

int Spline_t::NearestSample(int x, int y, int first) const {
    int best = -1;
    double bestDist = kHitRadius;
    for (int i = first; i < static_cast<int>(polyline.size()); ++i) {
        const double d = Dist(x, y, polyline[i].first, polyline[i].second);
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

float Spline_t::LengthAtPosition(int x, int y) {
    const int j = NearestSample(x, y, 1);
    if (j < 1) return 0;
    const int segment = (j - 1) / samplesPerSegment;
    float length = 0;
    for (int s = 0; s < segment; ++s) length += segmentLengths[s];
    for (int k = segment * samplesPerSegment + 1; k < j; ++k)
        length += static_cast<float>(
                Dist(polyline[k - 1].first, polyline[k - 1].second, polyline[k].first, polyline[k].second));
    const auto& a = polyline[j - 1];
    const auto& b = polyline[j];
    const float t =
            ProjectParameter(static_cast<float>(a.first), static_cast<float>(a.second), static_cast<float>(b.first),
                             static_cast<float>(b.second), static_cast<float>(x), static_cast<float>(y));
    return length + t * static_cast<float>(Dist(a.first, a.second, b.first, b.second));
}

int Spline_t::HitTestPoint(int x, int y) {
    int best = -1;
    double bestDist = kHitRadius;
    for (int i = 0; i < GetPointCount(); ++i) {
        const double d = Dist(x, y, points[i].x, points[i].y);
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

std::pair<int, int> Spline_t::HitTestCurve(int x, int y) {
    const int j = NearestSample(x, y, 0);
    if (j < 0) return {-1, -1};
    return {j / samplesPerSegment, j % samplesPerSegment};
}

Velm::Point Spline_t::GetPoint(int index) const {
    if (index < 0 || index >= static_cast<int>(points.size())) return Velm::Point(0, 0);
    return points[index];
}

void Spline_t::MovePoint(int index, int x, int y) {
    if (index < 0 || index >= GetPointCount()) return;
    points[index] = Velm::Point(x, y);
    xSamples[index] = static_cast<float>(x);
    ySamples[index] = static_cast<float>(y);
    Rebuild();
}

void Spline_t::DrawHandle(Velm::Graphics* g, int index, int size) {
    const Velm::Point p = GetPoint(index);
    g->FillRect(p.x - size / 2, p.y - size / 2, size, size);
}

void Spline_t::DrawSegment(Velm::Graphics* g, int segment) {
    const int first = segment * samplesPerSegment;
    for (int i = first + 1; i <= first + samplesPerSegment && i < static_cast<int>(polyline.size()); ++i)
        g->DrawLineAA(static_cast<int>(polyline[i - 1].first), static_cast<int>(polyline[i - 1].second),
                      static_cast<int>(polyline[i].first), static_cast<int>(polyline[i].second));
}

void Spline_t::Draw(Velm::Graphics* g, bool highlighted, int selected) {
    for (int i = 0; i < GetPointCount(); ++i) {
        g->SetColor(highlighted && i == selected ? kDark : kPale);
        DrawHandle(g, i, 8);
    }
    g->SetColor(highlighted ? kPale : kDark);
    if (polyline.size() < 3) {
        for (int i = 1; i < GetPointCount(); ++i)
            g->DrawLineAA(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
        return;
    }
    for (int s = 0; s < GetSegmentCount(); ++s) DrawSegment(g, s);
}
