#include "engine/particles/EmitterPath.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/util/ComString.h"
#include "graphics/Color.h"
#include "graphics/Graphics.h"
#include "graphics/Rect.h"
#include "graphics/Vector.h"

namespace {

const Velm::Color kPale(170, 255, 170);
const Velm::Color kDark(170, 0, 170);

float Dist(float ax, float ay, float bx, float by) { return std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay)); }

// d wrapped into 0..total (total above 0); a distance that is not a number counts as 0.
float Wrap(float d, float total) {
    if (!std::isfinite(d)) return 0;
    d = std::fmod(d, total);
    if (d < 0) d += total;
    return d;
}

// "x,y,x,y," pairs; an odd item at the end is left out.
std::vector<Velm::Point> ReadPointList(const std::string& text) {
    std::vector<std::string> items;
    com_string::Split(text.c_str(), ',', items);
    std::vector<Velm::Point> out;
    for (size_t i = 0; i + 1 < items.size(); i += 2)
        out.emplace_back(std::atoi(items[i].c_str()), std::atoi(items[i + 1].c_str()));
    return out;
}

void AppendPointList(std::string& text, const std::vector<Velm::Point>& pts) {
    char buffer[64];
    for (const Velm::Point& p : pts) {
        std::snprintf(buffer, sizeof buffer, "%d,%d,", p.x, p.y);
        text += buffer;
    }
}

// "speed;closed;points" of the polyline and the spline.
void ReadListForm(const std::string& text, float& speed, bool& closed, std::vector<Velm::Point>& pts) {
    std::vector<std::string> items;
    com_string::Split(text.c_str(), ';', items);
    if (items.size() > 0) speed = static_cast<float>(std::atof(items[0].c_str()));
    if (items.size() > 1) closed = std::atoi(items[1].c_str()) == 1;
    if (items.size() > 2) pts = ReadPointList(items[2]);
}

// "speed,centre x,centre y,width,height" of the rectangle and the ellipse.
void ReadBoxForm(const std::string& text, float& speed, int& cx, int& cy, int& w, int& h) {
    std::vector<std::string> items;
    com_string::Split(text.c_str(), ',', items);
    if (items.size() > 0) speed = static_cast<float>(std::atof(items[0].c_str()));
    int* fields[4] = {&cx, &cy, &w, &h};
    for (size_t i = 1; i < items.size() && i <= 4; ++i) *fields[i - 1] = std::atoi(items[i].c_str());
}

void SaveBoxForm(std::string& text, float speed, int cx, int cy, int w, int h) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%f,%d,%d,%d,%d", speed, cx, cy, w, h);
    text = buffer;
}

void SaveListHead(std::string& text, float speed, bool closed) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f;%d;", speed, closed ? 1 : 0);
    text = buffer;
}

void DrawSquare(Velm::Graphics* g, int px, int py) { g->FillRect(px - 4, py - 4, 8, 8); }

}  // namespace

std::unique_ptr<EmitterPath_t> MakeEmitterPath(int type) {
    switch (type) {
        case 0: return std::make_unique<SplinePath_t>();
        case 1: return std::make_unique<EllipsePath_t>();
        case 2: return std::make_unique<RectPath_t>();
        case 3: return std::make_unique<PolylinePath_t>();
        default: return nullptr;
    }
}

// ---- PolylinePath_t ----

void PolylinePath_t::RecomputeLengths() {
    segmentLengths.clear();
    totalLength = 0;
    const size_t n = points.size();
    for (size_t i = 1; i < n; ++i)
        segmentLengths.push_back(Dist(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y));
    if (closed && n >= 3) segmentLengths.push_back(Dist(points[n - 1].x, points[n - 1].y, points[0].x, points[0].y));
    for (float l : segmentLengths) totalLength += l;
}

void PolylinePath_t::Load(const std::string& text) {
    std::vector<Velm::Point> loaded;
    ReadListForm(text, speed, closed, loaded);
    points.insert(points.end(), loaded.begin(), loaded.end());
    RecomputeLengths();
}

void PolylinePath_t::Save(std::string& text) const {
    SaveListHead(text, speed, closed);
    AppendPointList(text, points);
}

void PolylinePath_t::MoveTo(float t, bool addStartOffset) {
    parameter = t;
    if (segmentLengths.empty()) return;
    if (!(totalLength > 0)) {
        // Every point in one place: the path is that place.
        x = points[0].x;
        y = points[0].y;
        return;
    }
    float d = speed * totalLength * t;
    if (addStartOffset) d += startOffset;
    d = Wrap(d, totalLength);
    size_t i = 0;
    while (i + 1 < segmentLengths.size() && d > segmentLengths[i]) {
        d -= segmentLengths[i];
        ++i;
    }
    const Velm::Point& a = points[i];
    const Velm::Point& b = points[(i + 1) % points.size()];
    const Velm::Vector2 dir = Velm::Vector2(static_cast<float>(b.x - a.x), static_cast<float>(b.y - a.y)).Normalized();
    x = static_cast<int>(a.x + d * dir.x);
    y = static_cast<int>(a.y + d * dir.y);
}

void PolylinePath_t::AddPoint(int px, int py) {
    points.emplace_back(px, py);
    RecomputeLengths();
}

void PolylinePath_t::Clear() {
    points.clear();
    RecomputeLengths();
}

void PolylinePath_t::RemovePoint(int index) {
    if (index < 0 || index >= GetPointCount()) return;
    points.erase(points.begin() + index);
    RecomputeLengths();
}

int PolylinePath_t::HitTest(int px, int py) {
    MoveTo(startOffset, false);
    if (!segmentLengths.empty() && Dist(px, py, x, y) < kHitRadius) return -2;
    int best = -1;
    float bestDist = kHitRadius;
    for (int i = 0; i < GetPointCount(); ++i) {
        const float d = Dist(px, py, points[i].x, points[i].y);
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

void PolylinePath_t::MoveHandle(int index, int px, int py) {
    if (index >= 0 && index < GetPointCount()) {
        points[index] = Velm::Point(px, py);
        RecomputeLengths();
        return;
    }
    if (index != -2 || points.size() < 2) return;
    int nearest = -1, second = -1;
    float nearDist = 0, secondDist = 0;
    for (int i = 0; i < GetPointCount(); ++i) {
        const float d = Dist(px, py, points[i].x, points[i].y);
        if (nearest < 0 || d < nearDist) {
            second = nearest;
            secondDist = nearDist;
            nearest = i;
            nearDist = d;
        } else if (second < 0 || d < secondDist) {
            second = i;
            secondDist = d;
        }
    }
    const Velm::Point& a = points[nearest];
    const Velm::Point& b = points[second];
    Spline_t projector;
    const float t = projector.ProjectParameter(a.x, a.y, b.x, b.y, px, py);
    handleX = static_cast<int>(a.x + t * (b.x - a.x));
    handleY = static_cast<int>(a.y + t * (b.y - a.y));
    float before = 0;
    for (int i = 0; i < nearest && i < static_cast<int>(segmentLengths.size()); ++i) before += segmentLengths[i];
    startOffset = before + Dist(a.x, a.y, handleX, handleY);
}

void PolylinePath_t::Draw(Velm::Graphics* g, bool highlighted, int selected) {
    g->SetColor(highlighted ? kPale : kDark);
    const int n = GetPointCount();
    for (int i = 1; i < n; ++i) g->DrawLineAA(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    if (closed && n >= 3) g->DrawLineAA(points[n - 1].x, points[n - 1].y, points[0].x, points[0].y);
    for (int i = 0; i < n; ++i) {
        g->SetColor(highlighted && i == selected ? kDark : kPale);
        DrawSquare(g, points[i].x, points[i].y);
    }
}

// ---- BoxPath_t ----

void BoxPath_t::Load(const std::string& text) {
    ReadBoxForm(text, speed, centreX, centreY, width, height);
    Rebuild();
}

void BoxPath_t::Save(std::string& text) const { SaveBoxForm(text, speed, centreX, centreY, width, height); }

void BoxPath_t::DragHandle(Drag drag, int px, int py) {
    switch (drag) {
        case Drag::kWidth: width = 2 * std::abs(centreX - px); break;
        case Drag::kHeight: height = 2 * std::abs(centreY - py); break;
        case Drag::kCentre:
            centreX += px - anchorX;
            centreY += py - anchorY;
            anchorX = px;
            anchorY = py;
            break;
    }
    Rebuild();
}

// ---- RectPath_t ----

void RectPath_t::Rebuild() {
    const int left = centreX - width / 2, right = centreX + width / 2;
    const int top = centreY - height / 2, bottom = centreY + height / 2;
    handles[0] = Velm::Point(left, top);
    handles[1] = Velm::Point(centreX, top);
    handles[2] = Velm::Point(right, top);
    handles[3] = Velm::Point(right, centreY);
    handles[4] = Velm::Point(right, bottom);
    handles[5] = Velm::Point(centreX, bottom);
    handles[6] = Velm::Point(left, bottom);
    handles[7] = Velm::Point(left, centreY);
    sideLengths[0] = sideLengths[2] = static_cast<float>(width);
    sideLengths[1] = sideLengths[3] = static_cast<float>(height);
    perimeter = 2.0f * static_cast<float>(width + height);
}

void RectPath_t::MoveTo(float t, bool) {
    parameter = t;
    if (!(perimeter > 0)) {
        x = handles[0].x;
        y = handles[0].y;
        return;
    }
    float d = Wrap(perimeter * speed * t, perimeter);
    static const int kCorner[4] = {0, 2, 4, 6};  // side starts: top-left, top-right, bottom-right, bottom-left
    static const int kDirX[4] = {1, 0, -1, 0};
    static const int kDirY[4] = {0, 1, 0, -1};
    int side = 0;
    while (side < 3 && d > sideLengths[side]) {
        d -= sideLengths[side];
        ++side;
    }
    x = static_cast<int>(handles[kCorner[side]].x + d * kDirX[side]);
    y = static_cast<int>(handles[kCorner[side]].y + d * kDirY[side]);
}

int RectPath_t::HitTest(int px, int py) {
    int best = -1;
    float bestDist = kHitRadius;
    for (int h = 1; h < 8; h += 2) {
        const float d = Dist(px, py, handles[h].x, handles[h].y);
        if (d < bestDist) {
            bestDist = d;
            best = h;
        }
    }
    if (best >= 0) {
        anchorX = handles[best].x;
        anchorY = handles[best].y;
    }
    return best;
}

void RectPath_t::MoveHandle(int index, int px, int py) {
    switch (index) {
        case 1: DragHandle(Drag::kHeight, px, py); break;
        case 7: DragHandle(Drag::kWidth, px, py); break;
        case 3:
        case 5: DragHandle(Drag::kCentre, px, py); break;
        default: break;
    }
}

void RectPath_t::Draw(Velm::Graphics* g, bool highlighted, int selected) {
    g->SetColor(highlighted ? kPale : kDark);
    g->DrawRect(Velm::Rect(handles[0].x, handles[0].y, handles[4].x - handles[0].x, handles[4].y - handles[0].y));
    for (int h = 1; h < 8; h += 2) {
        g->SetColor(highlighted && h == selected ? kDark : kPale);
        DrawSquare(g, handles[h].x, handles[h].y);
    }
}

// ---- EllipsePath_t ----

EllipsePath_t::EllipsePath_t() {
    spline.closed = true;
    Rebuild();
}

void EllipsePath_t::Rebuild() {
    spline.Clear();
    spline.AddPoint(centreX - width / 2, centreY);
    spline.AddPoint(centreX, centreY - height / 2);
    spline.AddPoint(centreX + width / 2, centreY);
    spline.AddPoint(centreX, centreY + height / 2);
}

void EllipsePath_t::MoveTo(float t, bool) {
    parameter = t;
    const float length = spline.GetLength();
    const Velm::Point p = spline.PointAtLength(length > 0 ? Wrap(length * speed * t, length) : 0.0f);
    x = p.x;
    y = p.y;
}

int EllipsePath_t::HitTest(int px, int py) {
    const int hit = spline.HitTestPoint(px, py);
    if (hit >= 0) {
        anchorX = spline.GetPoint(hit).x;
        anchorY = spline.GetPoint(hit).y;
    }
    return hit;
}

void EllipsePath_t::MoveHandle(int index, int px, int py) {
    switch (index) {
        case 0: DragHandle(Drag::kWidth, px, py); break;
        case 1: DragHandle(Drag::kHeight, px, py); break;
        case 2:
        case 3: DragHandle(Drag::kCentre, px, py); break;
        default: break;
    }
}

// ---- SplinePath_t ----

void SplinePath_t::Load(const std::string& text) {
    std::vector<Velm::Point> loaded;
    ReadListForm(text, speed, closed, loaded);
    for (const Velm::Point& p : loaded) spline.AddPoint(p.x, p.y);
    loadedPoints = static_cast<int>(loaded.size());
}

void SplinePath_t::Save(std::string& text) const {
    SaveListHead(text, speed, closed);
    AppendPointList(text, spline.points);
}

void SplinePath_t::MoveTo(float t, bool) {
    parameter = t;
    const float length = spline.GetLength();
    const Velm::Point p = spline.PointAtLength(length > 0 ? Wrap(length * speed * t, length) : 0.0f);
    x = p.x;
    y = p.y;
}
