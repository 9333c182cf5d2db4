#include "tools/mkcontent/HelpPictures.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "tools/mkcontent/Studio.h"

namespace mkcontent {

namespace {

// The board's spacing: neighbours 48 pixels apart, rows one face height apart, a tile one
// layer up 6 pixels right and 5 up.
constexpr int kStep = 48;
constexpr int kRowStep = 61;
constexpr int kLayerX = 6, kLayerY = -5;
constexpr int kSize = 300;  // every mode picture is square

// Group pictures of the sets (see TileSets.h).
constexpr int kFaceDown = 42;
constexpr int kSun = 0, kMoon = 1, kKey = 10, kLock = 11;

Canvas HelpPanel(Studio& studio, int height) { return studio.Panel(kSize, height, 16, Argb(0xF0203060)); }

// Distance to the path through the points (x0, y0, x1, y1, ...), less half the width: a
// stroke with round ends and joins.
Distance Path(std::vector<float> xy, float width) {
    return [xy = std::move(xy), width](float px, float py) {
        float best = 1e9f;
        for (size_t i = 0; i + 3 < xy.size(); i += 2) {
            const float ax = xy[i], ay = xy[i + 1], ex = xy[i + 2] - ax, ey = xy[i + 3] - ay;
            const float wx = px - ax, wy = py - ay, len = ex * ex + ey * ey;
            const float t = len > 0 ? std::clamp((wx * ex + wy * ey) / len, 0.0f, 1.0f) : 0;
            best = std::min(best, std::hypot(wx - ex * t, wy - ey * t));
        }
        return best - width / 2;
    };
}

Distance Stroke(float ax, float ay, float bx, float by, float width) { return Path({ax, ay, bx, by}, width); }

// Points along the curve from a through the pull of c to b (a quadratic Bezier).
std::vector<float> Bend(float ax, float ay, float cx, float cy, float bx, float by) {
    constexpr int kPieces = 16;
    std::vector<float> xy;
    for (int i = 0; i <= kPieces; ++i) {
        const float t = static_cast<float>(i) / kPieces, s = 1 - t;
        xy.push_back(s * s * ax + 2 * s * t * cx + t * t * bx);
        xy.push_back(s * s * ay + 2 * s * t * cy + t * t * by);
    }
    return xy;
}

// A line along the path, outlined in dark so that it reads over tiles and panel alike, with an
// arrowhead at its last point when asked.
void PaintLine(Canvas& c, std::vector<float> xy, const Rgba& colour, float width, bool head) {
    const size_t n = xy.size();
    std::vector<float> tip;
    if (head) {
        const float tx = xy[n - 2], ty = xy[n - 1];
        const float dx = tx - xy[n - 4], dy = ty - xy[n - 3], len = std::hypot(dx, dy);
        const float ux = dx / len, uy = dy / len, length = 3 * width, half = 2 * width;
        const float bx = tx - ux * length, by = ty - uy * length;
        tip = {tx, ty, bx - uy * half, by + ux * half, bx + uy * half, by - ux * half};
        xy[n - 2] = bx + ux;  // the shaft stops inside the head
        xy[n - 1] = by + uy;
    }
    const Distance shaft = Path(std::move(xy), width);
    const Distance shape = head ? Distance([shaft, arrow = Polygon(tip)](float x, float y) {
        return std::min(shaft(x, y), arrow(x, y));
    })
                                : shaft;
    c.Paint([&](float x, float y) { return shape(x, y) - 1.5f; }, Solid(Argb(0xC0101830)));
    c.Paint(shape, Solid(colour));
}

// A round badge at (cx, cy): green with a tick for a free tile, red with a cross for a
// blocked one.
void PaintFreeBadge(Canvas& c, float cx, float cy, bool free) {
    const Rgba colour = Argb(free ? 0xFF2FA84A : 0xFFD0382A);
    c.Paint(Circle(cx + 1, cy + 2, 11), Solid(Argb(0x70000000)));
    c.Paint(Circle(cx, cy, 11), VerticalGradient(cy - 11, Scale(colour, 1.3f), cy + 11, Scale(colour, 0.8f)));
    c.Paint(Ring(cx, cy, 10.5f, 1.5f), Solid(Argb(0xFFFFFFFF)));
    const Shader white = Solid(Argb(0xFFFFFFFF));
    if (free) {
        c.Paint(Path({cx - 5, cy, cx - 1.5f, cy + 4, cx + 5.5f, cy - 4.5f}, 3), white);
    } else {
        c.Paint(Stroke(cx - 4.5f, cy - 4.5f, cx + 4.5f, cy + 4.5f, 3), white);
        c.Paint(Stroke(cx - 4.5f, cy + 4.5f, cx + 4.5f, cy - 4.5f, 3), white);
    }
}

// How a tile of a help picture is shown: as it is, darkened, ringed in green with a tick (a
// tile that can go), ringed without one (its tick shown by its partner), or darkened with a
// cross (a tile that cannot go).
enum class Mark { Plain, Dim, Tick, Ringed, Cross };

// Badge centres from the face's corner: above the face, or in its upper right corner where
// other tiles lie above.
constexpr int kBadgeAboveX = 24, kBadgeAboveY = -4, kBadgeInsideX = 40, kBadgeInsideY = 10;

struct Placed {
    int tile, x, y;
    Mark mark;
    int badgeX, badgeY;
};

// The tiles in the order given (the board's: rows from the top, each from the right, then the
// upper layers), then the rings, then the badges over everything.
void PaintPlaced(Canvas& picture, const std::vector<Canvas>& tiles, const std::vector<Placed>& placed) {
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    for (const Placed& p : placed) {
        const bool dark = p.mark == Mark::Dim || p.mark == Mark::Cross;
        picture.Draw(tiles[static_cast<size_t>(p.tile)], p.x, p.y,
                     dark ? Rgba{0.55f, 0.55f, 0.62f, 1} : Rgba{1, 1, 1, 1});
    }
    for (const Placed& p : placed) {
        if (p.mark != Mark::Tick && p.mark != Mark::Ringed) continue;
        const Distance face = RoundRect(static_cast<float>(p.x + fx), static_cast<float>(p.y + fy),
                                        static_cast<float>(fw), static_cast<float>(fh), 6);
        picture.Paint([&](float px, float py) { return std::fabs(face(px, py)) - 1.6f; }, Solid(Argb(0xFF7CFF7A)));
    }
    for (const Placed& p : placed)
        if (p.mark == Mark::Tick || p.mark == Mark::Cross)
            PaintFreeBadge(picture, static_cast<float>(p.x + fx + p.badgeX), static_cast<float>(p.y + fy + p.badgeY),
                           p.mark == Mark::Tick);
}

// A block of tiles on one layer, faces and marks given row by row from the top left, its
// upper left tile at (x, y); badges above the face on the top row, inside it below. Returned
// in drawing order.
std::vector<Placed> Block(const std::vector<int>& faces, const std::vector<Mark>& marks, int columns, int x, int y) {
    std::vector<Placed> placed;
    const int rows = static_cast<int>(faces.size()) / columns;
    for (int row = 0; row < rows; ++row)
        for (int column = columns - 1; column >= 0; --column) {
            const size_t i = static_cast<size_t>(row * columns + column);
            const bool top = row == 0;
            placed.push_back({faces[i], x + column * kStep, y + row * kRowStep, marks[i],
                              top ? kBadgeAboveX : kBadgeInsideX, top ? kBadgeAboveY : kBadgeInsideY});
        }
    return placed;
}

// Width and height of a block's pictures.
int BlockWidth(int columns) { return (columns - 1) * kStep + 58; }
int BlockHeight(int rows) { return (rows - 1) * kRowStep + 68; }

void Append(std::vector<Placed>* to, const std::vector<Placed>& more) {
    to->insert(to->end(), more.begin(), more.end());
}

// A divider across the picture at height y.
void PaintDivider(Canvas& c, float y) { c.Paint(RoundRect(24, y - 1, 252, 2, 1), Solid(Argb(0x60C8A050))); }

// Free and blocked tiles. Above, a row of three: both ends are free (and match, so they can
// go), the middle one is shut in at both sides. Below, a tile lying across two others: it is
// free, the two under it are not (their crosses beside the face the tile on top hides).
Canvas FreeTilesPicture(Studio& studio, const std::vector<Canvas>& tiles) {
    const int rowX = (kSize - BlockWidth(3)) / 2, pairX = (kSize - BlockWidth(2)) / 2;
    std::vector<Placed> placed = Block({4, 22, 4}, {Mark::Tick, Mark::Cross, Mark::Tick}, 3, rowX, 42);
    Append(&placed, {{13, pairX + kStep, 196, Mark::Cross, 50, 36},
                     {31, pairX, 196, Mark::Cross, -2, 36},
                     {8, pairX + kStep / 2 + kLayerX, 196 + kLayerY, Mark::Tick, kBadgeAboveX, kBadgeAboveY}});
    Canvas picture = HelpPanel(studio, kSize);
    PaintDivider(picture, 149);
    PaintPlaced(picture, tiles, placed);
    return picture;
}

// Swapping: above, a row where the first two tiles trade places (curved arrows over and under
// them); below, the row after the swap, where the moved tile lies beside its twin and both go.
Canvas SwapPicture(Studio& studio, const std::vector<Canvas>& tiles) {
    constexpr int kA = 4, kB = 13, kTopY = 38, kBottomY = 196;
    const int x = (kSize - BlockWidth(3)) / 2;
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    Canvas picture = HelpPanel(studio, kSize);
    PaintDivider(picture, 160);
    std::vector<Placed> placed = Block({kA, kB, kA}, {Mark::Plain, Mark::Plain, Mark::Plain}, 3, x, kTopY);
    Append(&placed, Block({kB, kA, kA}, {Mark::Plain, Mark::Tick, Mark::Tick}, 3, x, kBottomY));
    PaintPlaced(picture, tiles, placed);
    const float left = static_cast<float>(x + fx + fw / 2), right = left + kStep, mid = (left + right) / 2;
    const float top = static_cast<float>(kTopY + fy), bottom = static_cast<float>(kTopY + fy + fh);
    const Rgba gold = Argb(0xFFFFD860);
    PaintLine(picture, Bend(left - 6, top + 10, mid, top - 44, right + 6, top + 10), gold, 4, true);
    PaintLine(picture, Bend(right + 6, bottom - 10, mid, bottom + 44, left - 6, bottom - 10), gold, 4, true);
    return picture;
}

// A two-layer stack: the lower layer darkened, the upper layer's six tiles (faces and marks
// row by row) lying across it, shown as they must be found there.
Canvas LayerPicture(Studio& studio, const std::vector<Canvas>& tiles, const std::vector<int>& upper,
                    const std::vector<Mark>& marks) {
    const int x = (kSize - BlockWidth(4)) / 2, y = (kSize - BlockHeight(3)) / 2 + 6;
    std::vector<Placed> placed =
            Block({0, 10, 19, 28, 33, 2, 16, 24, 39, 7, 21, 12}, std::vector<Mark>(12, Mark::Dim), 4, x, y);
    Append(&placed, Block(upper, marks, 3, x + kStep / 2 + kLayerX, y + kRowStep / 2 + kLayerY));
    Canvas picture = HelpPanel(studio, kSize);
    PaintPlaced(picture, tiles, placed);
    return picture;
}

// One pair per layer: the only two alike on the top layer.
Canvas OnePairPicture(Studio& studio, const std::vector<Canvas>& tiles) {
    constexpr int kPair = 5;
    return LayerPicture(studio, tiles, {kPair, 11, 20, 32, kPair, 40},
                        {Mark::Tick, Mark::Plain, Mark::Plain, Mark::Plain, Mark::Tick, Mark::Plain});
}

// The odd pair out: the top layer holds two twins and two tiles without one.
Canvas OddPairPicture(Studio& studio, const std::vector<Canvas>& tiles) {
    constexpr int kTwinA = 5, kTwinB = 11;
    return LayerPicture(studio, tiles, {kTwinA, kTwinB, 20, kTwinB, 32, kTwinA},
                        {Mark::Plain, Mark::Plain, Mark::Tick, Mark::Plain, Mark::Tick, Mark::Plain});
}

// Memory: a block of face-down tiles with two turned up that match.
Canvas MemoryPicture(Studio& studio, const std::vector<Canvas>& tiles) {
    constexpr int kUp = 14;
    std::vector<int> faces(12, kFaceDown);
    std::vector<Mark> marks(12, Mark::Plain);
    for (size_t i : {size_t{1}, size_t{10}}) {
        faces[i] = kUp;
        marks[i] = Mark::Tick;
    }
    Canvas picture = HelpPanel(studio, kSize);
    PaintPlaced(picture, tiles, Block(faces, marks, 4, (kSize - BlockWidth(4)) / 2, (kSize - BlockHeight(3)) / 2 + 6));
    return picture;
}

// Logical pairs: two pairs of the logical-pairs set whose tiles differ but belong together,
// each joined by a line with a tick on it.
Canvas LogicPicture(Studio& studio, const std::vector<Canvas>& pairs) {
    constexpr int kGap = 86;
    int fx, fy, fw, fh;
    Studio::TileFaceRect(&fx, &fy, &fw, &fh);
    const int left = (kSize - (kStep + kGap + 58)) / 2, right = left + kStep + kGap;
    Canvas picture = HelpPanel(studio, kSize);
    const int rows[2][3] = {{kSun, kMoon, 50}, {kKey, kLock, 178}};
    std::vector<Placed> placed;
    for (const auto& row : rows) {
        // The tick rides on the link between the two.
        const int linkX = (right - left + fw) / 2;
        Append(&placed,
               {{row[1], right, row[2], Mark::Ringed, 0, 0}, {row[0], left, row[2], Mark::Tick, linkX, fh / 2}});
        const float y = static_cast<float>(row[2] + fy + fh / 2);
        PaintLine(picture, {static_cast<float>(left + fx + fw), y, static_cast<float>(right + fx), y}, Argb(0xFFFFD860),
                  4, false);
    }
    PaintPlaced(picture, pairs, placed);
    return picture;
}

// Rivers: two alike tiles at the ends of a row, both ticked: the river that joins them round
// the others runs through the empty space above the row, and the game draws no line for it,
// so neither does the picture; a second row below them.
Canvas RiversPicture(Studio& studio, const std::vector<Canvas>& tiles) {
    constexpr int kA = 15;
    const int x = (kSize - BlockWidth(4)) / 2, y = 112;
    Canvas picture = HelpPanel(studio, kSize);
    std::vector<Placed> placed = Block(
            {kA, 3, 25, kA, 34, 8, 19, 28},
            {Mark::Tick, Mark::Plain, Mark::Plain, Mark::Tick, Mark::Plain, Mark::Plain, Mark::Plain, Mark::Plain}, 4,
            x, y);
    for (Placed& p : placed) {
        p.badgeX = kBadgeInsideX;
        p.badgeY = kBadgeInsideY;
    }
    PaintPlaced(picture, tiles, placed);
    return picture;
}

}  // namespace

void MakeHelpPictures(Studio& studio, const std::vector<Canvas>& classic, const std::vector<Canvas>& pairs) {
    studio.Save("images/help/page1", FreeTilesPicture(studio, classic));
    Canvas helpers = HelpPanel(studio, 200);
    for (const auto& p : std::vector<std::pair<int, int>>{{44, 40}, {48, 121}, {47, 202}})
        helpers.Draw(classic[static_cast<size_t>(p.first)], p.second, 60);
    studio.Save("images/help/page3", helpers);
    studio.Save("images/help/swap", SwapPicture(studio, classic));
    studio.Save("images/help/onepair", OnePairPicture(studio, classic));
    studio.Save("images/help/memory", MemoryPicture(studio, classic));
    studio.Save("images/help/logic", LogicPicture(studio, pairs));
    studio.Save("images/help/oddpair", OddPairPicture(studio, classic));
    studio.Save("images/help/rivers", RiversPicture(studio, classic));
}

}  // namespace mkcontent
