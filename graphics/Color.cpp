#include "graphics/Color.h"

namespace Velm {

constexpr Color Color::White(255, 255, 255, 255);

namespace {
int gScratchChannel = 0;
}

Color& Color::SetOpaqueFrom(const Color& other) {
    red = other.red;
    green = other.green;
    blue = other.blue;
    alpha = 255;
    return *this;
}

int& Color::operator[](int channel) {
    switch (channel) {
        case 0: return red;
        case 1: return green;
        case 2: return blue;
        case 3: return alpha;
        default: return gScratchChannel;
    }
}

int Color::operator[](int channel) const {
    switch (channel) {
        case 0: return red;
        case 1: return green;
        case 2: return blue;
        case 3: return alpha;
        default: return 0;
    }
}

uint32_t Color::ToInt() const {
    return (static_cast<uint32_t>(alpha) << 24) | (static_cast<uint32_t>(red) << 16) |
           (static_cast<uint32_t>(green) << 8) | static_cast<uint32_t>(blue);
}

bool operator==(const Color& a, const Color& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

bool operator!=(const Color& a, const Color& b) { return !(a == b); }

}  // namespace Velm
