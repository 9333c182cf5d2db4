#pragma once

// The memory-traffic floor of the representative frame: per step the bytes a drawing routine
// cannot avoid reading and writing, and the time those bytes take at the machine's own memcpy
// and memset rates. A step can be no faster than its floor however its loops are written; the
// gap between a step's time and its floor is per-blit and per-row overhead or arithmetic.
//
// The bytes of a step: every source pixel a blit samples is read once (4 bytes: the native
// copies and pixman's premultiplied images are 32-bit), and every destination pixel of its box
// read and written, as a blend does; the background's copy reads its source in the surface's
// format and writes the surface once.

#include <algorithm>

#include "bench/display/RepresentativeFrame.h"

namespace benchframe {

struct Traffic {
    double read = 0, written = 0;  // bytes
    Traffic& operator+=(const Traffic& t) {
        read += t.read;
        written += t.written;
        return *this;
    }
};

class TrafficFloor {
public:
    // The bytes step moves on a surface of bytesPerPixel.
    static Traffic Of(Step step, int bytesPerPixel) {
        const Scene& s = TheScene();
        const double B = bytesPerPixel;
        Traffic t;
        switch (step) {
            case Background: t.read = t.written = double(kWidth) * kHeight * B; break;
            case Fill: t = Blit(0, 0, kWidth, kHeight, B); break;
            case Tiles: t = Times(static_cast<int>(s.tilePos.size()), Blit(64, 80, 64, 80, B)); break;
            case Grey: t = Times(40, Blit(64, 80, 64, 80, B)); break;
            case Particles: t = Times(100, Blit(16, 16, 16, 16, B)); break;
            case Scaled: t = Times(100, Blit(16, 16, 24, 24, B)); break;
            case StretchBlend:
            case StretchTinted: t = Times(40, Blit(32, 32, 48, 48, B)); break;
            case Fractional: t = Times(30, Blit(32, 32, 33, 33, B)); break;
            // A turned image covers the same area as the straight one.
            case Rotated: t = Times(10, Blit(64, 64, 64, 64, B)); break;
            case Text:
                t = Times(kTextLines * kTextLength, Blit(kGlyphWidth, kGlyphHeight, kGlyphWidth, kGlyphHeight, B));
                break;
            default:
                for (int i = 0; i < Frame; ++i) t += Of(static_cast<Step>(i), bytesPerPixel);
                break;
        }
        return t;
    }

    // The time of t at copyRate (bytes read plus written per unit of time by memcpy) and setRate
    // (bytes written per unit by memset), in that unit: bytes read, and as many written, at the
    // copy rate; written bytes beyond those read at the set rate.
    static double Time(const Traffic& t, double copyRate, double setRate) {
        const double paired = std::min(t.read, t.written);
        return (t.read + paired) / copyRate + (t.written - paired) / setRate;
    }

private:
    static Traffic Times(int n, Traffic t) {
        t.read *= n;
        t.written *= n;
        return t;
    }

    // One blit of a w x h source rectangle onto a dw x dh destination box.
    static Traffic Blit(int w, int h, int dw, int dh, double B) {
        Traffic t;
        t.read = double(w) * h * 4 + double(dw) * dh * B;
        t.written = double(dw) * dh * B;
        return t;
    }
};

}  // namespace benchframe
