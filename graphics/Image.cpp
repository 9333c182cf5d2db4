#include "graphics/Image.h"

namespace Velm {

Image::Image() = default;

Image::Image(const Image& other)
        : width(other.width),
          height(other.height),
          numRows(other.numRows),
          numCols(other.numCols),
          animation(other.animation ? new CelAnimation(*other.animation) : nullptr) {}

Image::~Image() { delete animation; }

bool Image::FillPoly3D(const Point*, int, const Rect*, const Color&, int, int, int, bool) { return false; }

void Image::FillRect(const Rect&, const Color&, int) {}

void Image::DrawRect(const Rect& rect, const Color& color, int drawMode) {
    FillRect(Rect(rect.x, rect.y, rect.width + 1, 1), color, drawMode);
    FillRect(Rect(rect.x, rect.y + rect.height, rect.width + 1, 1), color, drawMode);
    FillRect(Rect(rect.x, rect.y + 1, 1, rect.height - 1), color, drawMode);
    FillRect(Rect(rect.x + rect.width, rect.y + 1, 1, rect.height - 1), color, drawMode);
}

void Image::ClearRect(const Rect&) {}
void Image::DrawLine(double, double, double, double, const Color&, int) {}
void Image::DrawLineAA(double, double, double, double, const Color&, int) {}

void Image::FillSpans(const Span* spans, int count, const Color& color, int drawMode) {
    for (int i = 0; i < count; ++i) FillRect(Rect(spans[i].x, spans[i].y, spans[i].width, 1), color, drawMode);
}

void Image::FillSpansWithCoverage(const Span*, int, const Color&, int, const uint8_t*, int, int, int, int) {}
void Image::Blt(Image*, int, int, const Rect&, const Color&, int) {}
void Image::BltF(Image*, float, float, const Rect&, const Rect&, const Color&, int) {}
void Image::BltRotated(Image*, float, float, const Rect&, const Rect&, const Color&, int, double, float, float) {}
void Image::StretchBlt(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool) {}
void Image::BltMatrix(Image*, float, float, const Matrix3&, const Rect&, const Color&, int, const Rect&, bool) {}
void Image::BltTexturedTriangles(Image*, const TriVertex (*)[3], int, const Rect&, const Color&, int, float, float,
                                 bool) {}
void Image::BltMirrored(Image*, int, int, const Rect&, const Color&, int) {}
void Image::StretchBltMirrored(Image*, const Rect&, const Rect&, const Rect&, const Color&, int, bool) {}

bool Image::IsDrawingSurfaceIn3D() const { return false; }

int Image::GetCelWidth() const { return numCols > 0 ? width / numCols : width; }
int Image::GetCelHeight() const { return numRows > 0 ? height / numRows : height; }

Rect Image::GetCelRect(int cel) const {
    const int cols = numCols > 0 ? numCols : 1;
    const int celWidth = GetCelWidth();
    const int celHeight = GetCelHeight();
    return Rect(celWidth * (cel % cols), celHeight * (cel / cols), celWidth, celHeight);
}

void Image::CopyCelAttributes(const Image* other) {
    numRows = other->numRows;
    numCols = other->numCols;
    delete animation;
    animation = other->animation ? new CelAnimation(*other->animation) : nullptr;
}

}  // namespace Velm
