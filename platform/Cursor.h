#pragma once

// Mouse cursors (what LoadCursor, CreateCursor and SetCursor were): the system's own
// shapes, cursors made from a monochrome AND/XOR bitmap pair as the program carries them,
// and colour cursors from 32-bit ARGB pixels. One cursor shows at a time, over every
// window of the program; ShowCursor(nullptr) hides it.
//
// Where the system cannot make cursors (SDL's in-memory video driver) a cursor object still
// exists and remembers its kind, so that the program runs the same; nothing is shown.
// Main thread only.

#include <cstdint>
#include <memory>

namespace plat {

enum class SystemCursor { Arrow, IBeam, Wait, No, SizeAll, SizeNESW, SizeNS, SizeNWSE, SizeWE, Hand };

class Cursor {
public:
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    static std::unique_ptr<Cursor> FromSystem(SystemCursor kind);
    // width x height pixels (width a multiple of 8), one bit each, most significant bit
    // first, rows of width / 8 bytes. As Windows reads them: AND 1 and XOR 0 is see-through,
    // AND 0 with XOR 0 black, AND 0 with XOR 1 white, AND 1 with XOR 1 inverted.
    static std::unique_ptr<Cursor> FromMonochrome(const uint8_t* andMask, const uint8_t* xorMask, int width, int height,
                                                  int hotX, int hotY);
    // width x height words 0xAARRGGBB.
    static std::unique_ptr<Cursor> FromArgb(const uint32_t* pixels, int width, int height, int hotX, int hotY);

    // True when the system really shows this cursor (false headless).
    bool IsReal() const { return mCursor != nullptr; }

private:
    Cursor() = default;
    void* mCursor = nullptr;  // SDL_Cursor
    friend void ShowCursor(const Cursor* cursor);
};

// Shows the cursor over the program's windows; null hides the pointer.
void ShowCursor(const Cursor* cursor);

}  // namespace plat
