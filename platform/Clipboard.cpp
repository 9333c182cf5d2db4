#include "platform/Clipboard.h"

#include <SDL.h>

#include "platform/SdlVideo.h"
#include "platform/TextEncoding.h"

namespace plat {

bool SetClipboardText(const std::string& text) {
    if (!EnsureSdlVideo()) return false;
    return SDL_SetClipboardText(Cp1252ToUtf8(text).c_str()) == 0;
}

bool GetClipboardText(std::string* text) {
    text->clear();
    if (!EnsureSdlVideo()) return false;
    char* utf8 = SDL_GetClipboardText();
    if (utf8 == nullptr) return false;
    *text = Utf8ToCp1252(utf8);
    SDL_free(utf8);
    return true;
}

}  // namespace plat
