#include "platform/ButtonBox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <SDL.h>

#include "platform/TextEncoding.h"

namespace plat {
namespace {

std::mutex gHandlerMutex;
ButtonBoxHandler gHandler;

bool EnvIs(const char* name, const char* value) {
    const char* v = std::getenv(name);
    return v && std::strcmp(v, value) == 0;
}

bool EnvSet(const char* name) {
    const char* v = std::getenv(name);
    return v && v[0];
}

std::string WithoutCr(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

}  // namespace

void SetButtonBoxHandlerForTests(ButtonBoxHandler handler) {
    std::lock_guard<std::mutex> lock(gHandlerMutex);
    gHandler = std::move(handler);
}

bool CanShowButtonBox() {
    if (EnvIs("VELM_NONINTERACTIVE", "1")) return false;
    if (EnvIs("SDL_VIDEODRIVER", "dummy") || EnvIs("SDL_VIDEODRIVER", "offscreen")) return false;
    return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY");
}

int ShowButtonBox(const std::string& text, const std::string& caption, const std::vector<std::string>& labels,
                  int defaultIndex, int escapeIndex) {
    const int count = static_cast<int>(labels.size());
    if (defaultIndex < 0 || defaultIndex >= count) defaultIndex = 0;
    if (escapeIndex < 0 || escapeIndex >= count) escapeIndex = defaultIndex;
    {
        std::lock_guard<std::mutex> lock(gHandlerMutex);
        if (gHandler) {
            const int answer = gHandler(text, caption, labels);
            return answer >= 0 && answer < count ? answer : escapeIndex;
        }
    }
    if (count > 0 && CanShowButtonBox()) {
        std::vector<std::string> utf8Labels;
        for (const std::string& label : labels) utf8Labels.push_back(Cp1252ToUtf8(label));
        std::vector<SDL_MessageBoxButtonData> buttons;
        for (int i = 0; i < count; ++i) {
            SDL_MessageBoxButtonData b = {};
            b.buttonid = i;
            b.text = utf8Labels[static_cast<size_t>(i)].c_str();
            if (i == defaultIndex) b.flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
            if (i == escapeIndex) b.flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
            buttons.push_back(b);
        }
        const std::string utf8Text = Cp1252ToUtf8(WithoutCr(text));
        const std::string utf8Caption = Cp1252ToUtf8(WithoutCr(caption));
        SDL_MessageBoxData data = {};
        data.flags = SDL_MESSAGEBOX_ERROR;
        data.title = utf8Caption.c_str();
        data.message = utf8Text.c_str();
        data.numbuttons = count;
        data.buttons = buttons.data();
        int pressed = -1;
        if (SDL_ShowMessageBox(&data, &pressed) == 0) return pressed < 0 ? escapeIndex : pressed;
    }
    std::fprintf(stderr, "[message box] %s\n%s\n[answered: %s]\n", Cp1252ToUtf8(WithoutCr(caption)).c_str(),
                 Cp1252ToUtf8(WithoutCr(text)).c_str(),
                 count > 0 ? Cp1252ToUtf8(labels[static_cast<size_t>(defaultIndex)]).c_str() : "");
    std::fflush(stderr);
    return defaultIndex;
}

}  // namespace plat
