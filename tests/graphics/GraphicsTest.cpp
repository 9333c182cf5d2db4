#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "graphics/DrawMode.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "graphics/Transform.h"
#include "tests/graphics/TestImages.h"

using namespace Velm;
using namespace Velm::test;

namespace {

// A destination that records the operations the drawing context turns its calls into.
struct Call {
    std::string op;
    Rect rect;  // fill/clear rect, stretch dest rect
    Rect src;   // source rect of blits
    int x = 0, y = 0;
    float fx = 0, fy = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Rect clip;
    Color color;
    int mode = 0;
    bool flag = false;
    double angle = 0;
    float cx = 0, cy = 0;
};

class RecordingImage : public Image {
public:
    std::vector<Call> calls;
    bool surface3D = false;

    RecordingImage(int w, int h) {
        width = w;
        height = h;
    }
    void FillRect(const Rect& r, const Color& c, int mode) override { calls.push_back(Make("FillRect", r, c, mode)); }
    void DrawRect(const Rect& r, const Color& c, int mode) override { calls.push_back(Make("DrawRect", r, c, mode)); }
    void ClearRect(const Rect& r) override { calls.push_back(Make("ClearRect", r, Color(), 0)); }
    void DrawLine(double a, double b, double c, double d, const Color& col, int mode) override {
        Call call = Make("DrawLine", Rect(), col, mode);
        call.x1 = a, call.y1 = b, call.x2 = c, call.y2 = d;
        calls.push_back(call);
    }
    void DrawLineAA(double a, double b, double c, double d, const Color& col, int mode) override {
        Call call = Make("DrawLineAA", Rect(), col, mode);
        call.x1 = a, call.y1 = b, call.x2 = c, call.y2 = d;
        calls.push_back(call);
    }
    void Blt(Image*, int x, int y, const Rect& src, const Color& c, int mode) override {
        Call call = Make("Blt", Rect(), c, mode);
        call.x = x, call.y = y, call.src = src;
        calls.push_back(call);
    }
    void BltMirrored(Image*, int x, int y, const Rect& src, const Color& c, int mode) override {
        Call call = Make("BltMirrored", Rect(), c, mode);
        call.x = x, call.y = y, call.src = src;
        calls.push_back(call);
    }
    void BltF(Image*, float x, float y, const Rect& src, const Rect& clip, const Color& c, int mode) override {
        Call call = Make("BltF", Rect(), c, mode);
        call.fx = x, call.fy = y, call.src = src, call.clip = clip;
        calls.push_back(call);
    }
    void BltRotated(Image*, float x, float y, const Rect& src, const Rect& clip, const Color& c, int mode, double angle,
                    float cx, float cy) override {
        Call call = Make("BltRotated", Rect(), c, mode);
        call.fx = x, call.fy = y, call.src = src, call.clip = clip, call.angle = angle, call.cx = cx, call.cy = cy;
        calls.push_back(call);
    }
    void StretchBlt(Image*, const Rect& dest, const Rect& src, const Rect& clip, const Color& c, int mode,
                    bool fast) override {
        Call call = Make("StretchBlt", dest, c, mode);
        call.src = src, call.clip = clip, call.flag = fast;
        calls.push_back(call);
    }
    void StretchBltMirrored(Image*, const Rect& dest, const Rect& src, const Rect& clip, const Color& c, int mode,
                            bool fast) override {
        Call call = Make("StretchBltMirrored", dest, c, mode);
        call.src = src, call.clip = clip, call.flag = fast;
        calls.push_back(call);
    }
    void BltMatrix(Image*, float x, float y, const Matrix3&, const Rect& clip, const Color& c, int mode,
                   const Rect& src, bool linear) override {
        Call call = Make("BltMatrix", Rect(), c, mode);
        call.fx = x, call.fy = y, call.src = src, call.clip = clip, call.flag = linear;
        calls.push_back(call);
    }
    bool IsDrawingSurfaceIn3D() const override { return surface3D; }

    int Count(const std::string& op) const {
        int n = 0;
        for (const Call& c : calls) n += c.op == op;
        return n;
    }

private:
    static Call Make(const char* op, const Rect& r, const Color& c, int mode) {
        Call call;
        call.op = op;
        call.rect = r;
        call.color = c;
        call.mode = mode;
        return call;
    }
};

class SourceImage : public Image {
public:
    SourceImage(int w, int h) {
        width = w;
        height = h;
    }
};

}  // namespace

TEST(GraphicsTest, DefaultsAndNullDestination) {
    Graphics g(nullptr);
    EXPECT_NE(g.dest, nullptr);
    EXPECT_EQ(g.clip, Rect(0, 0, 0, 0));
    EXPECT_EQ(g.color, Color(0, 0, 0, 255));
    EXPECT_TRUE(g.colorCodes);
    EXPECT_FALSE(g.tintImages);
    SourceImage src(4, 4);
    g.FillRect(0, 0, 10, 10);  // the empty image ignores everything
    g.DrawImage(&src, 0, 0);

    RecordingImage dest(30, 20);
    Graphics h(&dest);
    EXPECT_EQ(h.clip, Rect(0, 0, 30, 20));
    EXPECT_FALSE(h.is3D);
    dest.surface3D = true;
    Graphics on3D(&dest);
    EXPECT_TRUE(on3D.is3D);
}

TEST(GraphicsTest, TranslationTruncatesTowardZero) {
    struct Case {
        const char* why;
        float transX;
        int x;
        int column;
    };
    const Case cases[] = {
            {"positive fraction", 0.7f, 3, 3},
            {"negative fraction toward zero", -0.5f, 0, 0},
            {"negative beyond a pixel", -1.5f, 0, -1},
            {"whole", 2.0f, 3, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        RecordingImage dest(100, 100);
        Graphics g(&dest);
        g.transX = c.transX;
        g.FillRect(c.x, 10, 5, 5);
        ASSERT_EQ(dest.calls.size(), 1u);
        EXPECT_EQ(dest.calls[0].rect.x, std::max(c.column, 0));
        EXPECT_EQ(dest.calls[0].rect.width, 5 + std::min(c.column, 0));
    }
}

TEST(GraphicsTest, ClipRectsOnlyShrinkAndPopRestores) {
    RecordingImage dest(100, 80);
    Graphics g(&dest);
    g.Translate(10, 5);
    g.SetClipRect(0, 0, 200, 200);
    EXPECT_EQ(g.clip, Rect(10, 5, 90, 75));
    g.PushState();
    g.ClipRect(5, 5, 20, 20);
    EXPECT_EQ(g.clip, Rect(15, 10, 20, 20));
    g.ClipRect(-100, -100, 500, 500);
    EXPECT_EQ(g.clip, Rect(15, 10, 20, 20));
    g.PopState();
    EXPECT_EQ(g.clip, Rect(10, 5, 90, 75));
    g.ClearClipRect();
    EXPECT_EQ(g.clip, Rect(0, 0, 100, 80));
    g.SetClipRect(Rect(300, 0, 5, 5));
    EXPECT_EQ(g.clip, Rect(0, 0, 0, 0));
}

TEST(GraphicsTest, PopOnFreshContextChangesNothing) {
    RecordingImage dest(10, 10);
    Graphics g(&dest);
    g.SetColor(Color(1, 2, 3));
    g.PopState();
    EXPECT_EQ(g.color, Color(1, 2, 3));
    EXPECT_EQ(g.clip, Rect(0, 0, 10, 10));
}

TEST(GraphicsTest, DuplicateIsIndependent) {
    RecordingImage dest(50, 50);
    Graphics g(&dest);
    g.Translate(3, 4);
    std::unique_ptr<Graphics> copy(g.Duplicate());
    copy->ClipRect(0, 0, 5, 5);
    copy->Translate(1, 1);
    copy->PushState();
    EXPECT_EQ(g.clip, Rect(0, 0, 50, 50));
    EXPECT_EQ(g.transX, 3);
    EXPECT_EQ(copy->transX, 4);
}

TEST(GraphicsTest, FillAndOutlineRows) {
    struct Case {
        const char* why;
        Rect clip;
        Color color;
        int fills, rects;
    };
    const Case cases[] = {
            {"outline inside the clip is one DrawRect", Rect(0, 0, 50, 50), Color(1, 1, 1), 0, 1},
            {"outline crossing the clip is four fills", Rect(0, 0, 5, 5), Color(1, 1, 1), 4, 0},
            {"transparent colour draws nothing", Rect(0, 0, 50, 50), Color(1, 1, 1, 0), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        RecordingImage dest(50, 50);
        Graphics g(&dest);
        g.SetClipRect(c.clip);
        g.SetColor(c.color);
        g.DrawRect(0, 0, 10, 10);
        EXPECT_EQ(dest.Count("FillRect"), c.fills);
        EXPECT_EQ(dest.Count("DrawRect"), c.rects);
    }
}

TEST(GraphicsTest, DrawRectTouchesElevenByElevenOnAMemoryImage) {
    std::unique_ptr<MemoryImage> image(MakeFilled(20, 20, 0));
    for (const Rect& clip : {Rect(0, 0, 20, 20), Rect(0, 0, 5, 5)}) {
        image->Clear();
        Graphics g(image.get());
        g.SetClipRect(clip);
        g.SetColor(Color::White);
        g.DrawRect(0, 0, 10, 10);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool onOutline = x <= 10 && y <= 10 && (x == 0 || y == 0 || x == 10 || y == 10);
                EXPECT_EQ(Pixel(*image, x, y) != 0, onOutline && clip.Contains(x, y)) << x << "," << y;
            }
    }
}

TEST(GraphicsTest, FillPassesEmptyIntersection) {
    RecordingImage dest(10, 10);
    Graphics g(&dest);
    g.FillRect(20, 20, 5, 5);
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].rect, Rect(0, 0, 0, 0));
}

TEST(GraphicsTest, ClipLineRows) {
    struct Case {
        const char* why;
        double x1, y1, x2, y2;
        bool ok;
        double ox1, oy1, ox2, oy2;
    };
    const Case cases[] = {
            {"horizontal through", -10, 5, 10, 5, true, 0, 5, 7, 5},
            {"left of the clip", -10, 1, -2, 6, false, 0, 0, 0, 0},
            {"right of the clip", 8, 1, 20, 6, false, 0, 0, 0, 0},
            {"below the clip", 1, 9, 5, 20, false, 0, 0, 0, 0},
            {"inside, swapped twice", 6, 1, 2, 3, true, 6, 1, 2, 3},
            {"diagonal cut at both ends", -2, -2, 10, 10, true, 0, 0, 7, 7},
            {"vertical cut at the bottom", 3, 2, 3, 30, true, 3, 2, 3, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        RecordingImage dest(8, 8);
        Graphics g(&dest);
        double x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        EXPECT_EQ(g.ClipLine(x1, y1, x2, y2), c.ok);
        if (!c.ok) continue;
        EXPECT_DOUBLE_EQ(x1, c.ox1);
        EXPECT_DOUBLE_EQ(y1, c.oy1);
        EXPECT_DOUBLE_EQ(x2, c.ox2);
        EXPECT_DOUBLE_EQ(y2, c.oy2);
    }
}

TEST(GraphicsTest, LinesAreTranslatedWithoutTruncation) {
    RecordingImage dest(100, 100);
    Graphics g(&dest);
    g.transX = 0.5f;
    g.transY = 1.25f;
    g.SetColor(Color(0, 0, 0, 0));  // no alpha test for lines
    g.DrawLine(1, 2, 30, 40);
    g.DrawLineAA(1, 2, 30, 40);
    g.DrawLine(-50, -50, -40, -40);
    ASSERT_EQ(dest.calls.size(), 2u);
    EXPECT_DOUBLE_EQ(dest.calls[0].x1, 1.5);
    EXPECT_DOUBLE_EQ(dest.calls[0].y1, 3.25);
    EXPECT_EQ(dest.calls[1].op, "DrawLineAA");
}

TEST(GraphicsTest, DrawImageClipsIntoBlits) {
    RecordingImage dest(50, 40);
    SourceImage src(20, 10);
    Graphics g(&dest);
    g.SetClipRect(10, 5, 100, 100);
    g.DrawImage(&src, 5, 0);
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].op, "Blt");
    EXPECT_EQ(dest.calls[0].x, 10);
    EXPECT_EQ(dest.calls[0].y, 5);
    EXPECT_EQ(dest.calls[0].src, Rect(5, 5, 15, 5));
    EXPECT_EQ(dest.calls[0].color, Color::White);

    g.SetTintImages(true);
    g.SetColor(Color(1, 2, 3, 4));
    g.DrawImage(&src, 10, 5, Rect(2, 3, 4, 5));
    EXPECT_EQ(dest.calls[1].src, Rect(2, 3, 4, 5));
    EXPECT_EQ(dest.calls[1].color, Color(1, 2, 3, 4));

    g.DrawImage(&src, 0, 0, Rect(17, 0, 4, 4));  // one pixel past the right edge
    g.DrawImage(&src, 0, 0, Rect(0, 7, 4, 4));   // past the bottom
    g.DrawImage(&src, 0, 0, Rect(-1, 0, 4, 4));  // before the left edge
    g.DrawImage(&src, 200, 0);                   // wholly clipped
    // Source rectangles that end beyond the largest int are outside too, never wrapped into it.
    // Placed inside the clip, so that only the check keeps them from being drawn.
    g.DrawImage(&src, 10, 5, Rect(1, 0, INT_MAX, 1));
    g.DrawImage(&src, 10, 5, Rect(0, 1, 1, INT_MAX));
    g.DrawImageMirror(&src, 10, 5, Rect(1, 0, INT_MAX, 1), true);
    EXPECT_EQ(dest.calls.size(), 2u);
}

TEST(GraphicsTest, ScaledDrawImageStretches) {
    RecordingImage dest(100, 100);
    SourceImage src(10, 10);
    Graphics g(&dest);
    g.scaleX = g.scaleY = 2;
    g.SetFastStretch(true);
    g.DrawImage(&src, 3, 4);
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].op, "StretchBlt");
    EXPECT_EQ(dest.calls[0].rect, Rect(6, 8, 20, 20));
    EXPECT_EQ(dest.calls[0].src, Rect(0, 0, 10, 10));
    EXPECT_TRUE(dest.calls[0].flag);

    g.scaleOrigX = 10;
    g.scaleOrigY = 10;
    g.scaleX = g.scaleY = 0.5f;
    g.DrawImage(&src, 3, 4, Rect(0, 0, 5, 5));
    // floor((3 - 10) * 0.5) + 10 = 6, floor((4 - 10) * 0.5) + 10 = 7, ceil(5 * 0.5) = 3
    EXPECT_EQ(dest.calls[1].rect, Rect(6, 7, 3, 3));
}

TEST(GraphicsTest, StretchFormsIgnoreTheScale) {
    RecordingImage dest(100, 100);
    SourceImage src(10, 10);
    Graphics g(&dest);
    g.Translate(1, 2);
    g.scaleX = 3;
    g.DrawImage(&src, 5, 5, 30, 20);
    g.DrawImage(&src, Rect(0, 0, 7, 8), Rect(1, 1, 2, 2));
    g.DrawImageMirror(&src, Rect(0, 0, 7, 8), Rect(1, 1, 2, 2), true);
    EXPECT_EQ(dest.calls[0].rect, Rect(6, 7, 30, 20));
    EXPECT_EQ(dest.calls[0].src, Rect(0, 0, 10, 10));
    EXPECT_EQ(dest.calls[1].rect, Rect(1, 2, 7, 8));
    EXPECT_EQ(dest.calls[2].op, "StretchBltMirrored");
}

TEST(GraphicsTest, FloatRotatedAndMatrixFormsKeepTheTranslation) {
    RecordingImage dest(100, 100);
    SourceImage src(10, 8);
    Graphics g(&dest);
    g.transX = 0.25f;
    g.transY = 2;
    g.SetLinearFilter(true);
    g.DrawImageF(&src, 1.5f, 2.5f);
    g.DrawImageRotated(&src, 3, 4, 0.5, 5, 4);
    const Rect part(1, 1, 4, 4);
    g.DrawImageRotatedF(&src, 3, 4, 0.5, 2, 2, &part);
    g.DrawImageMatrix(&src, Matrix3(), 7, 8);
    ASSERT_EQ(dest.calls.size(), 4u);
    EXPECT_FLOAT_EQ(dest.calls[0].fx, 1.75f);
    EXPECT_FLOAT_EQ(dest.calls[0].fy, 4.5f);
    EXPECT_EQ(dest.calls[0].clip, Rect(0, 0, 100, 100));
    EXPECT_EQ(dest.calls[1].src, Rect(0, 0, 10, 8));
    EXPECT_FLOAT_EQ(dest.calls[1].cx, 5);
    EXPECT_EQ(dest.calls[2].src, part);
    EXPECT_EQ(dest.calls[3].op, "BltMatrix");
    EXPECT_FLOAT_EQ(dest.calls[3].fx, 7.25f);
    EXPECT_TRUE(dest.calls[3].flag);
}

TEST(GraphicsTest, MirroredBlitShowsTheVisiblePartOfTheFlippedSource) {
    RecordingImage dest(50, 50);
    SourceImage src(20, 10);
    Graphics g(&dest);
    g.SetClipRect(0, 0, 15, 50);
    // Drawn at x = 5 the flipped 20-wide source covers 5..24; the clip keeps 5..14, which shows
    // flipped columns 0..9, i.e. source columns 10..19.
    g.DrawImageMirror(&src, 5, 0, Rect(0, 0, 20, 10), true);
    ASSERT_EQ(dest.calls.size(), 1u);
    EXPECT_EQ(dest.calls[0].op, "BltMirrored");
    EXPECT_EQ(dest.calls[0].x, 5);
    EXPECT_EQ(dest.calls[0].src, Rect(10, 0, 10, 10));
    g.DrawImageMirror(&src, 5, 0, Rect(0, 0, 20, 10), false);
    EXPECT_EQ(dest.calls[1].op, "Blt");
    g.DrawImageMirror(&src, 5, 0, Rect(0, 0, 21, 10), true);  // out of range
    EXPECT_EQ(dest.calls.size(), 2u);
}

namespace {

// A memory image with a reference mirrored blit: destination column x + i shows source column
// src.x + src.width - 1 - i.
class MirroringImage : public MemoryImage {
public:
    MirroringImage() : MemoryImage(nullptr) {}
    void BltMirrored(Image* image, int x, int y, const Rect& src, const Color& color, int mode) override {
        auto* source = static_cast<MemoryImage*>(image);
        MemoryImage flipped(nullptr);
        flipped.Create(src.width, src.height);
        uint32_t* out = flipped.GetBits();
        for (int r = 0; r < src.height; ++r)
            for (int i = 0; i < src.width; ++i)
                out[r * src.width + i] = Pixel(*source, src.x + src.width - 1 - i, src.y + r);
        flipped.MarkBitsChanged();
        flipped.RefreshAlphaFlags();
        Blt(&flipped, x, y, Rect(0, 0, src.width, src.height), color, mode);
    }
};

}  // namespace

// Invariant: a mirrored draw equals a plain draw of the pre-flipped source, clipped anywhere.
TEST(InvariantTest, MirroredBlitEqualsBlitOfPreFlippedSource) {
    Lcg rng(21);
    const int W = 9, H = 6;
    std::vector<uint32_t> pixels(W * H), flippedPixels(W * H);
    for (uint32_t& p : pixels) p = rng.Next();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) flippedPixels[y * W + x] = pixels[y * W + (W - 1 - x)];
    std::unique_ptr<MemoryImage> source(MakeImage(W, H, pixels));
    std::unique_ptr<MemoryImage> flipped(MakeImage(W, H, flippedPixels));
    const Rect srcRect(2, 1, 6, 4);
    const Rect flippedSrc(W - srcRect.x - srcRect.width, srcRect.y, srcRect.width, srcRect.height);
    for (const Rect& clip : {Rect(0, 0, 16, 12), Rect(5, 0, 4, 12), Rect(0, 3, 7, 2), Rect(9, 9, 3, 3)}) {
        for (int x : {-3, 0, 4, 8}) {
            SCOPED_TRACE(testing::Message() << "clip x " << clip.x << " w " << clip.width << " at " << x);
            MirroringImage a;
            a.SetBits(std::vector<uint32_t>(16 * 12, 0xFF000000).data(), 16, 12);
            std::unique_ptr<MemoryImage> b(MakeFilled(16, 12, 0xFF000000));
            Graphics ga(&a), gb(b.get());
            ga.SetClipRect(clip);
            gb.SetClipRect(clip);
            ga.DrawImageMirror(source.get(), x, 2, srcRect, true);
            gb.DrawImage(flipped.get(), x, 2, flippedSrc);
            EXPECT_EQ(Pixels(a), Pixels(*b));
        }
    }
}

TEST(GraphicsTest, NinePartBoxPieceCounts) {
    RecordingImage dest(200, 200);
    SourceImage src(30, 30);
    Graphics g(&dest);
    g.DrawImageBox(Rect(0, 0, 105, 55), &src);
    // 4 corners, 9 top + 9 bottom, 4 left + 4 right, 9 x 4 middle.
    EXPECT_EQ(dest.Count("Blt"), 4 + 18 + 8 + 36);
    int cutTop = 0, cutLeft = 0;
    for (const Call& c : dest.calls) {
        if (c.y == 0 && c.x == 90) {
            EXPECT_EQ(c.src.width, 5);  // the last top piece is cut at column 95
            ++cutTop;
        }
        if (c.x == 0 && c.y == 40) {
            EXPECT_EQ(c.src.height, 5);  // the last left piece is cut at row 45
            ++cutLeft;
        }
    }
    EXPECT_EQ(cutTop, 1);
    EXPECT_EQ(cutLeft, 1);
    EXPECT_EQ(g.clip, Rect(0, 0, 200, 200));  // this context is unchanged
}

TEST(GraphicsTest, NinePartBoxOfTinySource) {
    RecordingImage dest(50, 50);
    SourceImage src(2, 2);
    Graphics g(&dest);
    g.DrawImageBox(Rect(0, 0, 2, 2), Rect(0, 0, 5, 3), &src);
    // No corners; the middle tiles the whole source: 3 columns x 2 rows.
    EXPECT_EQ(dest.Count("Blt"), 6);
    for (const Call& c : dest.calls) EXPECT_EQ(c.src.x, 0);
    g.DrawImageBox(Rect(0, 0, 0, 5), Rect(0, 0, 5, 3), &src);
    EXPECT_EQ(dest.Count("Blt"), 6);
}

TEST(GraphicsTest, TransformDrawingRows) {
    struct Case {
        const char* why;
        void (*build)(Transform&);
        bool useFloat;
        const char* op;
        Rect rect;     // stretch dest
        int x, y;      // integer blit position
        float fx, fy;  // float blit position
    };
    // A 10 x 8 source drawn at (50, 40).
    const Case cases[] = {
            {"translation only, integer", [](Transform& t) { t.Translate(2, 3); }, false, "Blt", Rect(), 47, 39, 0, 0},
            {"translation only, float", [](Transform& t) { t.Translate(2, 3); }, true, "BltF", Rect(), 0, 0, 47.5f,
             39.5f},
            {"mirror", [](Transform& t) { t.Scale(-1, 1); }, false, "BltMirrored", Rect(), 45, 36, 0, 0},
            {"mirror twice as high", [](Transform& t) { t.Scale(-1, 2); }, false, "StretchBltMirrored",
             Rect(45, 32, 10, 16), 0, 0, 0, 0},
            {"scale up", [](Transform& t) { t.Scale(2, 2); }, true, "StretchBlt", Rect(40, 32, 20, 16), 0, 0, 0, 0},
            {"rotation, float", [](Transform& t) { t.Rotate(0.3f); }, true, "BltRotated", Rect(), 0, 0, 45.5f, 36.5f},
            {"complex",
             [](Transform& t) {
                 t.Translate(1, 0);
                 t.Scale(2, 2);
             },
             false, "BltMatrix", Rect(), 0, 0, 50, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        RecordingImage dest(100, 100);
        SourceImage src(10, 8);
        Graphics g(&dest);
        Transform t;
        c.build(t);
        if (c.useFloat)
            g.DrawImageTransformF(&src, t, 50, 40);
        else
            g.DrawImageTransform(&src, t, 50, 40);
        ASSERT_EQ(dest.calls.size(), 1u);
        const Call& call = dest.calls[0];
        EXPECT_EQ(call.op, c.op);
        if (call.op == "Blt" || call.op == "BltMirrored") {
            EXPECT_EQ(call.x, c.x);
            EXPECT_EQ(call.y, c.y);
        } else if (call.op == "StretchBlt" || call.op == "StretchBltMirrored") {
            EXPECT_EQ(call.rect, c.rect);
        } else {
            EXPECT_FLOAT_EQ(call.fx, c.fx);
            EXPECT_FLOAT_EQ(call.fy, c.fy);
        }
    }
}

TEST(GraphicsTest, FloatTransformOn3DSurfaceUsesTheMatrix) {
    RecordingImage dest(100, 100);
    dest.surface3D = true;
    SourceImage src(10, 8);
    Graphics g(&dest);
    Transform t;
    t.Translate(2, 3);
    g.DrawImageTransformF(&src, t, 50, 40);
    g.DrawImageTransform(&src, t, 50, 40);
    ASSERT_EQ(dest.calls.size(), 2u);
    EXPECT_EQ(dest.calls[0].op, "BltMatrix");
    EXPECT_EQ(dest.calls[1].op, "Blt");
}

namespace {

class CountingFont : public Font {
public:
    int draws = 0;
    Rect lastClip;
    void DrawString(Graphics*, int, int, const std::string&, const Color&, const Rect& clip) override {
        ++draws;
        lastClip = clip;
    }
    Font* Duplicate() override { return new CountingFont(*this); }
};

}  // namespace

TEST(GraphicsTest, DrawStringGoesToTheFont) {
    RecordingImage dest(20, 20);
    Graphics g(&dest);
    g.DrawString("no font", 0, 0);
    CountingFont font;
    font.height = 12;
    font.ascent = 9;
    g.SetFont(&font);
    g.SetClipRect(1, 2, 3, 4);
    g.DrawString("hello", 0, 0);
    EXPECT_EQ(font.draws, 1);
    EXPECT_EQ(font.lastClip, Rect(1, 2, 3, 4));
    EXPECT_EQ(font.GetDescent(), 3);
    EXPECT_EQ(font.GetLineSpacing(), 12);
    EXPECT_EQ(font.CharWidthKern('a', 'b'), 0);
}
