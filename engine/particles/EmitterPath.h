#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/particles/Spline.h"
#include "graphics/Point.h"

namespace Velm {
class Graphics;
}

// A path an emitter of an effect travels on, chosen by the "Type" of a "Line" section of the
// effect file and filled from its "Points" text:
//   0 SplinePath_t    "speed;closed;x,y,x,y,..."  open spline through the points
//   1 EllipsePath_t   "speed,centre x,centre y,width,height"
//   2 RectPath_t      "speed,centre x,centre y,width,height"
//   3 PolylinePath_t  "speed;closed;x,y,x,y,..."
// MoveTo places (x, y) at a parameter t, a fraction of the emitter's life: speed x t times
// around the path, wrapping. The editing operations (handles, hit tests within 20 pixels,
// drawing) serve an effect editor. Screen pixels throughout.
class EmitterPath_t {
public:
    static constexpr int kHitRadius = 20;

    virtual ~EmitterPath_t() = default;

    virtual int GetType() const = 0;
    virtual void Load(const std::string& text) = 0;
    virtual void Save(std::string& text) const = 0;
    virtual void MoveTo(float t, bool addStartOffset) = 0;
    virtual void AddPoint(int px, int py) = 0;
    virtual int GetPointCount() const = 0;
    virtual void Clear() = 0;
    virtual void RemovePoint(int index) = 0;
    virtual int HitTest(int px, int py) = 0;
    virtual void MoveHandle(int index, int px, int py) = 0;
    virtual void Draw(Velm::Graphics* g, bool highlighted, int selected) = 0;

    int x = -1;
    int y = -1;
    float speed = 1.0f;       // times around the path over t = 0..1
    float parameter = -1.0f;  // the last t given to MoveTo
    float startOffset = 0;    // path length added when MoveTo is asked to (polyline)
};

// Makes the path of a "Type" value; null for other values.
std::unique_ptr<EmitterPath_t> MakeEmitterPath(int type);

class PolylinePath_t : public EmitterPath_t {
public:
    int GetType() const override { return 3; }
    void Load(const std::string& text) override;
    void Save(std::string& text) const override;
    void MoveTo(float t, bool addStartOffset) override;
    void AddPoint(int px, int py) override;
    int GetPointCount() const override { return static_cast<int>(points.size()); }
    void Clear() override;
    void RemovePoint(int index) override;
    // -2 for the position handle (where the path starts), else the nearest point, or -1.
    int HitTest(int px, int py) override;
    // Index -2 moves the position handle onto the path and makes it the start offset.
    void MoveHandle(int index, int px, int py) override;
    void Draw(Velm::Graphics* g, bool highlighted, int selected) override;

    void RecomputeLengths();

    std::vector<Velm::Point> points;
    std::vector<float> segmentLengths;
    float totalLength = 0;
    bool closed = true;
    int handleX = -1;
    int handleY = -1;
};

// The rectangle and the ellipse: a box about a centre, kept as "speed,centre x,centre
// y,width,height" and edited through four handles. Rebuild remakes the drawn shape from
// the box.
class BoxPath_t : public EmitterPath_t {
public:
    void Load(const std::string& text) override;
    void Save(std::string& text) const override;
    void AddPoint(int, int) override {}
    int GetPointCount() const override { return 4; }
    void RemovePoint(int) override {}

    virtual void Rebuild() = 0;

    int centreX = 400;
    int centreY = 300;
    int width = 200;
    int height = 150;
    int anchorX = 0;  // where the last hit handle stood, for dragging the centre
    int anchorY = 0;

protected:
    enum class Drag { kWidth, kHeight, kCentre };
    // Width and height stay symmetric about the centre; the centre follows the pointer's
    // move since the anchor. Then the shape is rebuilt.
    void DragHandle(Drag drag, int px, int py);
};

class RectPath_t : public BoxPath_t {
public:
    RectPath_t() { Rebuild(); }
    int GetType() const override { return 2; }
    // Clockwise from the top-left corner: top, right, bottom, left.
    void MoveTo(float t, bool addStartOffset) override;
    void Clear() override {}
    // The nearest edge midpoint (1 top, 3 right, 5 bottom, 7 left), or -1.
    int HitTest(int px, int py) override;
    // 1 sets the height, 7 the width (both symmetric about the centre); 3 and 5 move it.
    void MoveHandle(int index, int px, int py) override;
    void Draw(Velm::Graphics* g, bool highlighted, int selected) override;

    void Rebuild() override;

    // Corners and edge midpoints clockwise from the top-left corner.
    Velm::Point handles[8];
    float sideLengths[4] = {0, 0, 0, 0};  // top, right, bottom, left
    float perimeter = 0;
};

class EllipsePath_t : public BoxPath_t {
public:
    EllipsePath_t();
    int GetType() const override { return 1; }
    void MoveTo(float t, bool addStartOffset) override;
    void Clear() override { spline.Clear(); }
    // The nearest of the four spline points (0 left, 1 top, 2 right, 3 bottom), or -1.
    int HitTest(int px, int py) override;
    // 0 sets the width, 1 the height; 2 and 3 move the centre.
    void MoveHandle(int index, int px, int py) override;
    void Draw(Velm::Graphics* g, bool highlighted, int selected) override { spline.Draw(g, highlighted, selected); }

    void Rebuild() override;

    Spline_t spline;  // closed
};

class SplinePath_t : public EmitterPath_t {
public:
    int GetType() const override { return 0; }
    void Load(const std::string& text) override;
    void Save(std::string& text) const override;
    void MoveTo(float t, bool addStartOffset) override;
    void AddPoint(int px, int py) override { spline.AddPoint(px, py); }
    int GetPointCount() const override { return spline.GetPointCount(); }
    void Clear() override { spline.Clear(); }
    void RemovePoint(int index) override { spline.RemovePoint(index); }
    int HitTest(int px, int py) override { return spline.HitTestPoint(px, py); }
    void MoveHandle(int index, int px, int py) override { spline.MovePoint(index, px, py); }
    void Draw(Velm::Graphics* g, bool highlighted, int selected) override { spline.Draw(g, highlighted, selected); }

    std::string name = "Line1";
    Spline_t spline;      // open, 24 samples per segment
    bool closed = false;  // kept for the text form; the curve stays open
    int loadedPoints = 0;
};
