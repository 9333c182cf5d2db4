#include "platform/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include <SDL.h>

#include "platform/ButtonBox.h"
#include "platform/TextEncoding.h"

namespace plat {
namespace {

std::mutex gHandlerMutex;
MessageBoxHandler gHandler;

struct ButtonDef {
    int id;
    const char* label;
};

std::vector<ButtonDef> ButtonsOf(unsigned type) {
    switch (type & 0xF) {
        case kMbOkCancel: return {{kIdOk, "OK"}, {kIdCancel, "Cancel"}};
        case kMbAbortRetryIgnore: return {{kIdAbort, "Abort"}, {kIdRetry, "Retry"}, {kIdIgnore, "Ignore"}};
        case kMbYesNoCancel: return {{kIdYes, "Yes"}, {kIdNo, "No"}, {kIdCancel, "Cancel"}};
        case kMbYesNo: return {{kIdYes, "Yes"}, {kIdNo, "No"}};
        case kMbRetryCancel: return {{kIdRetry, "Retry"}, {kIdCancel, "Cancel"}};
        default: return {{kIdOk, "OK"}};
    }
}

size_t DefaultIndex(unsigned type, size_t count) {
    size_t index = (type >> 8) & 0xF;
    return index < count ? index : 0;
}

std::string WithoutCr(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

int AnswerWithoutUser(const std::string& text, const std::string& caption, unsigned type) {
    int answer = DefaultMessageBoxAnswer(type);
    const char* label = "OK";
    for (const ButtonDef& b : ButtonsOf(type)) {
        if (b.id == answer) label = b.label;
    }
    std::fprintf(stderr, "[message box] %s\n%s\n[answered: %s]\n", Cp1252ToUtf8(WithoutCr(caption)).c_str(),
                 Cp1252ToUtf8(WithoutCr(text)).c_str(), label);
    std::fflush(stderr);
    return answer;
}

}  // namespace

int DefaultMessageBoxAnswer(unsigned type) {
    std::vector<ButtonDef> buttons = ButtonsOf(type);
    return buttons[DefaultIndex(type, buttons.size())].id;
}

void SetMessageBoxHandlerForTests(MessageBoxHandler handler) {
    std::lock_guard<std::mutex> lock(gHandlerMutex);
    gHandler = std::move(handler);
}

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) {
    {
        std::lock_guard<std::mutex> lock(gHandlerMutex);
        if (gHandler) return gHandler(text, caption, type);
    }
    if (!CanShowButtonBox()) return AnswerWithoutUser(text, caption, type);

    const std::vector<ButtonDef> defs = ButtonsOf(type);
    const size_t defaultIndex = DefaultIndex(type, defs.size());
    std::vector<SDL_MessageBoxButtonData> buttons;
    bool hasCancel = false;
    for (size_t i = 0; i < defs.size(); ++i) {
        SDL_MessageBoxButtonData b = {};
        b.buttonid = defs[i].id;
        b.text = defs[i].label;
        if (i == defaultIndex) b.flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (defs[i].id == kIdCancel || defs.size() == 1) {
            b.flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
            hasCancel = true;
        }
        buttons.push_back(b);
    }
    const std::string utf8Text = Cp1252ToUtf8(WithoutCr(text));
    const std::string utf8Caption = Cp1252ToUtf8(WithoutCr(caption));
    SDL_MessageBoxData data = {};
    switch (type & 0xF0) {
        case kMbIconError: data.flags = SDL_MESSAGEBOX_ERROR; break;
        case kMbIconWarning: data.flags = SDL_MESSAGEBOX_WARNING; break;
        default: data.flags = SDL_MESSAGEBOX_INFORMATION; break;
    }
    data.title = utf8Caption.c_str();
    data.message = utf8Text.c_str();
    data.numbuttons = static_cast<int>(buttons.size());
    data.buttons = buttons.data();
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return AnswerWithoutUser(text, caption, type);
    if (pressed < 0) {
        // Closed without a button: what Escape would have answered.
        if (hasCancel) {
            for (const ButtonDef& d : defs) {
                if (d.id == kIdCancel) return kIdCancel;
            }
            return defs[0].id;
        }
        return defs[defaultIndex].id;
    }
    return pressed;
}

}  // namespace plat
