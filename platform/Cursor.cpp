#include "platform/Cursor.h"

#include <vector>

#include <SDL.h>

#include "platform/SdlVideo.h"

namespace plat {

Cursor::~Cursor() {
    if (mCursor) SDL_FreeCursor(static_cast<SDL_Cursor*>(mCursor));
}

std::unique_ptr<Cursor> Cursor::FromSystem(SystemCursor kind) {
    std::unique_ptr<Cursor> cursor(new Cursor());
    if (!EnsureSdlVideo()) return cursor;
    SDL_SystemCursor id = SDL_SYSTEM_CURSOR_ARROW;
    switch (kind) {
        case SystemCursor::Arrow: id = SDL_SYSTEM_CURSOR_ARROW; break;
        case SystemCursor::IBeam: id = SDL_SYSTEM_CURSOR_IBEAM; break;
        case SystemCursor::Wait: id = SDL_SYSTEM_CURSOR_WAIT; break;
        case SystemCursor::No: id = SDL_SYSTEM_CURSOR_NO; break;
        case SystemCursor::SizeAll: id = SDL_SYSTEM_CURSOR_SIZEALL; break;
        case SystemCursor::SizeNESW: id = SDL_SYSTEM_CURSOR_SIZENESW; break;
        case SystemCursor::SizeNS: id = SDL_SYSTEM_CURSOR_SIZENS; break;
        case SystemCursor::SizeNWSE: id = SDL_SYSTEM_CURSOR_SIZENWSE; break;
        case SystemCursor::SizeWE: id = SDL_SYSTEM_CURSOR_SIZEWE; break;
        case SystemCursor::Hand: id = SDL_SYSTEM_CURSOR_HAND; break;
    }
    cursor->mCursor = SDL_CreateSystemCursor(id);
    return cursor;
}

std::unique_ptr<Cursor> Cursor::FromMonochrome(const uint8_t* andMask, const uint8_t* xorMask, int width, int height,
                                               int hotX, int hotY) {
    std::unique_ptr<Cursor> cursor(new Cursor());
    if (!EnsureSdlVideo() || width <= 0 || height <= 0 || width % 8 != 0) return cursor;
    // SDL's pair: data 1 = black pixel, mask 1 = opaque; data 1 with mask 0 inverts.
    const size_t bytes = static_cast<size_t>(width / 8) * height;
    std::vector<Uint8> data(bytes);
    std::vector<Uint8> mask(bytes);
    for (size_t i = 0; i < bytes; ++i) {
        const Uint8 a = andMask[i];
        const Uint8 x = xorMask[i];
        // opaque black: a=0,x=0 -> data 1, mask 1; white: a=0,x=1 -> data 0, mask 1;
        // clear: a=1,x=0 -> data 0, mask 0; inverted: a=1,x=1 -> data 1, mask 0.
        data[i] = static_cast<Uint8>((~a & ~x) | (a & x));
        mask[i] = static_cast<Uint8>(~a);
    }
    cursor->mCursor = SDL_CreateCursor(data.data(), mask.data(), width, height, hotX, hotY);
    return cursor;
}

std::unique_ptr<Cursor> Cursor::FromArgb(const uint32_t* pixels, int width, int height, int hotX, int hotY) {
    std::unique_ptr<Cursor> cursor(new Cursor());
    if (!EnsureSdlVideo() || pixels == nullptr || width <= 0 || height <= 0) return cursor;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return cursor;
    cursor->mCursor = SDL_CreateColorCursor(surface, hotX, hotY);
    SDL_FreeSurface(surface);
    return cursor;
}

void ShowCursor(const Cursor* cursor) {
    if (!EnsureSdlVideo()) return;
    if (cursor == nullptr) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    if (cursor->mCursor) SDL_SetCursor(static_cast<SDL_Cursor*>(cursor->mCursor));
    SDL_ShowCursor(SDL_ENABLE);
}

}  // namespace plat
