#pragma once

#include <string>
#include <vector>

#include "graphics/Color.h"
#include "graphics/Matrix3.h"
#include "graphics/Rect.h"
#include "graphics/Transform.h"

namespace Velm {

class Font;
class Image;

// The drawing state of a Graphics context, copied as a whole by PushState, PopState and
// Duplicate. Positions are translated by (transX, transY) and, where an integer pixel is
// needed, truncated toward zero. clip is in destination pixels and always lies inside the
// destination.
class GraphicsState {
public:
    Image* dest = nullptr;  // never null once a context is constructed
    float transX = 0;
    float transY = 0;
    // Image scale about (scaleOrigX, scaleOrigY) in translated destination coordinates; only
    // the integer DrawImage(image, x, y) and DrawImage(image, x, y, srcRect) honour it.
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float scaleOrigX = 0;
    float scaleOrigY = 0;
    Rect clip;
    Color color;                // opaque black
    Font* font = nullptr;       // not owned
    int drawMode = 0;           // DrawMode
    bool tintImages = false;    // images are multiplied by color
    bool fastStretch = false;   // stretched blits sample the nearest pixel
    bool colorCodes = true;     // the text writer interprets colour codes
    bool linearFilter = false;  // matrix and triangle blits filter bilinearly
    bool is3D = false;          // the destination is the display's drawing surface in 3D mode

    void CopyStateFrom(const GraphicsState& other);
};

// The drawing context handed to every draw call. It never touches pixels: each call becomes
// one call on the destination image, after adding the translation, applying the scale where it
// is honoured, clipping, and choosing the colour images are drawn with (color when tintImages
// is set, else Color::White; fills, lines and text always use color). Drawing thread only.
class Graphics : public GraphicsState {
public:
    // A null destination becomes a shared empty image: every call then draws nothing.
    explicit Graphics(Image* destImage = nullptr);
    // Copies the state; the copy's state stack is empty.
    Graphics(const Graphics& other);
    Graphics& operator=(const Graphics&) = delete;
    virtual ~Graphics();

    Graphics* Duplicate();  // caller owns it
    void PushState();
    void PopState();  // on an empty stack nothing happens

    Font* GetFont() { return font; }
    void SetFont(Font* newFont) { font = newFont; }
    void SetColor(const Color& newColor) { color = newColor; }
    const Color& GetColor() const { return color; }
    void SetDrawMode(int mode) { drawMode = mode; }
    int GetDrawMode() const { return drawMode; }
    void SetTintImages(bool tint) { tintImages = tint; }
    bool GetTintImages() const { return tintImages; }
    void SetFastStretch(bool fast) { fastStretch = fast; }
    void SetLinearFilter(bool linear) { linearFilter = linear; }
    void Translate(int dx, int dy);

    void ClearClipRect();
    // The whole destination cut to the translated rectangle.
    void SetClipRect(int x, int y, int w, int h);
    void SetClipRect(const Rect& rect);
    // The current clip cut to the translated rectangle: clips only ever shrink this way.
    void ClipRect(int x, int y, int w, int h);

    void ClearRect(int x, int y, int w, int h);
    void ClearRect(const Rect& rect);
    void FillRect(int x, int y, int w, int h);
    void FillRect(const Rect& rect);
    // Outline covering (w + 1) x (h + 1) pixels.
    void DrawRect(int x, int y, int w, int h);
    void DrawRect(const Rect& rect);
    void DrawLine(int startX, int startY, int endX, int endY);
    void DrawLineAA(int startX, int startY, int endX, int endY);
    // Cuts a line to the clip: the near edges at the clip's left and top, the far edges at its
    // last pixel. The endpoints may come back swapped; false when nothing is inside.
    bool ClipLine(double& startX, double& startY, double& endX, double& endY);
    void DrawString(const std::string& text, int x, int y);
    // Text layout with the current font (GraphicsText.cpp). Colour codes in the text,
    // "^RRGGBB^", "^oldclr^" (the colour at the start of the call, or startColour as
    // 0xAARRGGBB when not -1) and "^^" (one caret), are read while colorCodes is set.
    // justification: 0 centred in width, 1 right-aligned to x + width, other values left.
    // WriteString writes (draw) or measures text[offset .. offset + length) (length -1: to
    // the end) and returns its advance width, codes excluded; the code colours stay set.
    int WriteString(const std::string& text, int x, int y, int width, int justification, bool draw = true,
                    int offset = 0, int length = -1, int startColour = -1);
    // Wraps at spaces and newlines to rect.width, the first baseline at rect.y + ascent -
    // ascentPadding, lines lineSpacing apart (-1: the font's); returns the height used.
    // maxWidth receives the widest line written; maxChars (-1: all) limits the characters
    // written; lineOffset indents the first line and receives the width of the last one.
    int WriteWordWrapped(const Rect& rect, const std::string& text, int lineSpacing = -1, int justification = -1,
                         int* maxWidth = nullptr, int maxChars = -1, int* lineOffset = nullptr);
    // As WriteWordWrapped with the first baseline at y.
    int DrawStringWordWrapped(const std::string& text, int x, int y, int wrapWidth, int lineSpacing = -1,
                              int justification = -1, int* maxWidth = nullptr);
    // The height WriteWordWrapped would use, measured without drawing.
    int GetWordWrappedHeight(int width, const std::string& text, int lineSpacing = -1, int* maxWidth = nullptr);

    void DrawImage(Image* image, int x, int y);
    // Draws nothing when srcRect reaches outside the image.
    void DrawImage(Image* image, int x, int y, const Rect& srcRect);
    // Stretches the whole image to (x, y, w, h).
    void DrawImage(Image* image, int x, int y, int w, int h);
    void DrawImage(Image* image, const Rect& destRect, const Rect& srcRect);
    void DrawImageMirror(Image* image, int x, int y, const Rect& srcRect, bool mirror);
    void DrawImageMirror(Image* image, const Rect& destRect, const Rect& srcRect, bool mirror);
    void DrawImageF(Image* image, float x, float y);
    void DrawImageF(Image* image, float x, float y, const Rect& srcRect);
    // Turns the image by angle (radians, counter-clockwise on screen) about (rotCenterX,
    // rotCenterY), measured from the source rectangle's top-left corner; srcRect null means the
    // whole image.
    void DrawImageRotatedF(Image* image, float x, float y, double angle, float rotCenterX, float rotCenterY,
                           const Rect* srcRect = nullptr);
    void DrawImageRotated(Image* image, int x, int y, double angle, int rotCenterX, int rotCenterY,
                          const Rect* srcRect = nullptr);
    // The matrix acts on the source rectangle centred on the origin; (x, y) is added after.
    void DrawImageMatrix(Image* image, const Matrix3& matrix, float x = 0, float y = 0);
    void DrawImageMatrix(Image* image, const Matrix3& matrix, const Rect& srcRect, float x = 0, float y = 0);
    // The transform places the source rectangle's centre at the origin; (x, y) is added after.
    // Simple transforms become plain, mirrored, stretched or rotated blits, complex ones a
    // matrix blit. The integer forms land on whole pixels, the F forms keep the fraction.
    void DrawImageTransform(Image* image, const Transform& transform, float x, float y);
    void DrawImageTransform(Image* image, const Transform& transform, const Rect& srcRect, float x, float y);
    void DrawImageTransformF(Image* image, const Transform& transform, float x, float y);
    void DrawImageTransformF(Image* image, const Transform& transform, const Rect& srcRect, float x, float y);
    void DrawImageTransformHelper(Image* image, const Transform& transform, const Rect& srcRect, float x, float y,
                                  bool useFloat);
    // Nine-part box: the source's corners drawn once, its edges and middle tiled (never
    // stretched) to fill destRect.
    void DrawImageBox(const Rect& srcRect, const Rect& destRect, Image* image);
    void DrawImageBox(const Rect& destRect, Image* image);

private:
    std::vector<GraphicsState> stateStack;

    const Color& ImageColor() const { return tintImages ? color : Color::White; }
    int TransX(int x) const { return static_cast<int>(x + transX); }
    int TransY(int y) const { return static_cast<int>(y + transY); }
    void Stretch(Image* image, const Rect& destRect, const Rect& srcRect, bool mirror);
};

}  // namespace Velm
