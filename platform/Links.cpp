#include "platform/Links.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <SDL.h>

namespace plat {

namespace {

std::mutex gHandlerMutex;
std::function<bool(const std::string&)> gHandler;

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const size_t length = std::strlen(prefix);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

}  // namespace

bool IsOpenableLink(const std::string& link) {
    for (char c : link) {
        // Control characters never belong in a link handed to another program.
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    }
    return (StartsWithNoCase(link, "http://") && link.size() > 7) ||
           (StartsWithNoCase(link, "https://") && link.size() > 8) ||
           (StartsWithNoCase(link, "mailto:") && link.size() > 7);
}

void SetOpenLinkHandlerForTests(std::function<bool(const std::string&)> handler) {
    std::lock_guard<std::mutex> lock(gHandlerMutex);
    gHandler = std::move(handler);
}

bool OpenLink(const std::string& link) {
    if (!IsOpenableLink(link)) return false;
    {
        std::lock_guard<std::mutex> lock(gHandlerMutex);
        if (gHandler) return gHandler(link);
    }
    const char* nonInteractive = std::getenv("VELM_NONINTERACTIVE");
    if (nonInteractive != nullptr && std::strcmp(nonInteractive, "1") == 0) {
        std::fprintf(stderr, "[open link] %s\n", link.c_str());
        return true;
    }
    return SDL_OpenURL(link.c_str()) == 0;
}

}  // namespace plat
