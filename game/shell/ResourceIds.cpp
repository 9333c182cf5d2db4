#include "game/shell/ResourceIds.h"

#include <algorithm>
#include <map>
#include <vector>

namespace Velm {

Font* FONT_DEFAULT = nullptr;
Font* FONT_DIREVIR = nullptr;
Font* FONT_DEFAULTBOLD = nullptr;
Font* FONT_DEFAULT12 = nullptr;
Font* FONT_DEFAULTSMALL = nullptr;
Font* FONT_DEFAULT7 = nullptr;
Font* FONT_DEFAULT16 = nullptr;
Font* FONT_DEFAULT_ADD = nullptr;
Font* FONT_NUMBERS = nullptr;
Image* IMAGE_CUSTOM_POINTER = nullptr;
Image* IMAGE_CUSTOM_HAND = nullptr;
Image* IMAGE_CUSTOM_DRAGGING = nullptr;
Image* IMAGE_CUSTOM_TEXT = nullptr;
Image* IMAGE_TITLE_BACK = nullptr;
Image* IMAGE_TITLE_PROGRESS = nullptr;
int SOUND_MUTATOR = 0;
int SOUND_TIMER = 0;
Image* IMAGE_CHECKBOX = nullptr;
Image* IMAGE_DIALOG_BOX = nullptr;
Image* IMAGE_DIALOG_SELECTUSER = nullptr;
Image* IMAGE_DIALOG_BUTTON = nullptr;
Image* IMAGE_BUTTON_BOARD_HINT = nullptr;
Image* IMAGE_BUTTON_BOARD_MENU = nullptr;
Image* IMAGE_BUTTON_BOARD_SHUFFLE = nullptr;
Image* IMAGE_BUTTON_BOARD_UNDO = nullptr;
Image* IMAGE_SLIDER_TRACK = nullptr;
Image* IMAGE_SLIDER_THUMB = nullptr;
Image* IMAGE_DIALOG_USER = nullptr;
Image* IMAGE_SPARKLE = nullptr;
Image* IMAGE_MAIN_STAR_SPARKLE = nullptr;
Image* IMAGE_GAME_BACK = nullptr;
Image* IMAGE_BUTTON_PLAY = nullptr;
Image* IMAGE_BUTTON_SIMPLE = nullptr;
Image* IMAGE_BUTTON_HIGHSCORES = nullptr;
Image* IMAGE_BUTTON_HELP = nullptr;
Image* IMAGE_BUTTON_OPTIONS = nullptr;
Image* IMAGE_BUTTON_EXIT = nullptr;
Image* IMAGE_MAIN_CLOUDS1 = nullptr;
Image* IMAGE_MAIN_CLOUDS2 = nullptr;
Image* IMAGE_MAIN_TITLE = nullptr;
Image* IMAGE_MAP_BACK = nullptr;
Image* IMAGE_MAIN_TOP = nullptr;
Image* IMAGE_MAIN_BOTTOM = nullptr;
Image* IMAGE_NUMBERS = nullptr;
Image* IMAGE_BUTTON_PAGESCROLL = nullptr;
Image* IMAGE_OVER = nullptr;
Image* IMAGE_LEVELCOMPLETE = nullptr;
Image* IMAGE_SIMPLE_BUT = nullptr;
Image* IMAGE_PARTICLES = nullptr;
Image* IMAGE_SNOW = nullptr;
Image* IMAGE_COLLGRAY = nullptr;
Image* IMAGE_GOLDCHAIN = nullptr;
Image* IMAGE_TIP = nullptr;
Image* IMAGE_DIALOG = nullptr;
Image* IMAGE_TIP_ARROW = nullptr;
Image* IMAGE_DIALOG_CIRCLE = nullptr;
Image* IMAGE_DIALOG_RECT = nullptr;
Image* IMAGE_TIME_IS_OVER = nullptr;
Image* IMAGE_LEVEL_COMPLETE = nullptr;
Image* IMAGE_TIME_BONUS = nullptr;
Image* IMAGE_RING_BLUE = nullptr;
Image* IMAGE_RING_GREEN = nullptr;
Image* IMAGE_RING_PURPLE = nullptr;
Image* IMAGE_RING_RED = nullptr;
Image* IMAGE_RING_YELLOW = nullptr;
Image* IMAGE_BLINK_COLL = nullptr;
Image* IMAGE_LIGHTNING = nullptr;
Image* IMAGE_EFFECTMODE = nullptr;
Image* IMAGE_HELP_BACK = nullptr;
Image* IMAGE_MAP_LEVEL_UNCOMPLETE = nullptr;
Image* IMAGE_MAP_LEVEL_COMPLETE = nullptr;

namespace {

enum Kind { kFont, kImage, kSound };
enum Group { kInit, kTitle, kGame };

struct Entry {
    const char* name;
    Kind kind;
    Group group;
    void* variable;  // Font**, Image** or int*, by kind
};

// In id order: the entry at index i describes ResourceId i.
const Entry kEntries[RESOURCE_ID_MAX] = {
        {"FONT_DEFAULT", kFont, kInit, &FONT_DEFAULT},
        {"FONT_DIREVIR", kFont, kInit, &FONT_DIREVIR},
        {"FONT_DEFAULTBOLD", kFont, kInit, &FONT_DEFAULTBOLD},
        {"FONT_DEFAULT12", kFont, kInit, &FONT_DEFAULT12},
        {"FONT_DEFAULTSMALL", kFont, kInit, &FONT_DEFAULTSMALL},
        {"FONT_DEFAULT7", kFont, kInit, &FONT_DEFAULT7},
        {"FONT_DEFAULT16", kFont, kInit, &FONT_DEFAULT16},
        {"FONT_DEFAULT_ADD", kFont, kInit, &FONT_DEFAULT_ADD},
        {"FONT_NUMBERS", kFont, kInit, &FONT_NUMBERS},
        {"IMAGE_CUSTOM_POINTER", kImage, kInit, &IMAGE_CUSTOM_POINTER},
        {"IMAGE_CUSTOM_HAND", kImage, kInit, &IMAGE_CUSTOM_HAND},
        {"IMAGE_CUSTOM_DRAGGING", kImage, kInit, &IMAGE_CUSTOM_DRAGGING},
        {"IMAGE_CUSTOM_TEXT", kImage, kInit, &IMAGE_CUSTOM_TEXT},
        {"IMAGE_TITLE_BACK", kImage, kTitle, &IMAGE_TITLE_BACK},
        {"IMAGE_TITLE_PROGRESS", kImage, kTitle, &IMAGE_TITLE_PROGRESS},
        {"SOUND_MUTATOR", kSound, kGame, &SOUND_MUTATOR},
        {"SOUND_TIMER", kSound, kGame, &SOUND_TIMER},
        {"IMAGE_CHECKBOX", kImage, kGame, &IMAGE_CHECKBOX},
        {"IMAGE_DIALOG_BOX", kImage, kGame, &IMAGE_DIALOG_BOX},
        {"IMAGE_DIALOG_SELECTUSER", kImage, kGame, &IMAGE_DIALOG_SELECTUSER},
        {"IMAGE_DIALOG_BUTTON", kImage, kGame, &IMAGE_DIALOG_BUTTON},
        {"IMAGE_BUTTON_BOARD_HINT", kImage, kGame, &IMAGE_BUTTON_BOARD_HINT},
        {"IMAGE_BUTTON_BOARD_MENU", kImage, kGame, &IMAGE_BUTTON_BOARD_MENU},
        {"IMAGE_BUTTON_BOARD_SHUFFLE", kImage, kGame, &IMAGE_BUTTON_BOARD_SHUFFLE},
        {"IMAGE_BUTTON_BOARD_UNDO", kImage, kGame, &IMAGE_BUTTON_BOARD_UNDO},
        {"IMAGE_SLIDER_TRACK", kImage, kGame, &IMAGE_SLIDER_TRACK},
        {"IMAGE_SLIDER_THUMB", kImage, kGame, &IMAGE_SLIDER_THUMB},
        {"IMAGE_DIALOG_USER", kImage, kGame, &IMAGE_DIALOG_USER},
        {"IMAGE_SPARKLE", kImage, kGame, &IMAGE_SPARKLE},
        {"IMAGE_MAIN_STAR_SPARKLE", kImage, kGame, &IMAGE_MAIN_STAR_SPARKLE},
        {"IMAGE_GAME_BACK", kImage, kGame, &IMAGE_GAME_BACK},
        {"IMAGE_BUTTON_PLAY", kImage, kGame, &IMAGE_BUTTON_PLAY},
        {"IMAGE_BUTTON_SIMPLE", kImage, kGame, &IMAGE_BUTTON_SIMPLE},
        {"IMAGE_BUTTON_HIGHSCORES", kImage, kGame, &IMAGE_BUTTON_HIGHSCORES},
        {"IMAGE_BUTTON_HELP", kImage, kGame, &IMAGE_BUTTON_HELP},
        {"IMAGE_BUTTON_OPTIONS", kImage, kGame, &IMAGE_BUTTON_OPTIONS},
        {"IMAGE_BUTTON_EXIT", kImage, kGame, &IMAGE_BUTTON_EXIT},
        {"IMAGE_MAIN_CLOUDS1", kImage, kGame, &IMAGE_MAIN_CLOUDS1},
        {"IMAGE_MAIN_CLOUDS2", kImage, kGame, &IMAGE_MAIN_CLOUDS2},
        {"IMAGE_MAIN_TITLE", kImage, kGame, &IMAGE_MAIN_TITLE},
        {"IMAGE_MAP_BACK", kImage, kGame, &IMAGE_MAP_BACK},
        {"IMAGE_MAIN_TOP", kImage, kGame, &IMAGE_MAIN_TOP},
        {"IMAGE_MAIN_BOTTOM", kImage, kGame, &IMAGE_MAIN_BOTTOM},
        {"IMAGE_NUMBERS", kImage, kGame, &IMAGE_NUMBERS},
        {"IMAGE_BUTTON_PAGESCROLL", kImage, kGame, &IMAGE_BUTTON_PAGESCROLL},
        {"IMAGE_OVER", kImage, kGame, &IMAGE_OVER},
        {"IMAGE_LEVELCOMPLETE", kImage, kGame, &IMAGE_LEVELCOMPLETE},
        {"IMAGE_SIMPLE_BUT", kImage, kGame, &IMAGE_SIMPLE_BUT},
        {"IMAGE_PARTICLES", kImage, kGame, &IMAGE_PARTICLES},
        {"IMAGE_SNOW", kImage, kGame, &IMAGE_SNOW},
        {"IMAGE_COLLGRAY", kImage, kGame, &IMAGE_COLLGRAY},
        {"IMAGE_GOLDCHAIN", kImage, kGame, &IMAGE_GOLDCHAIN},
        {"IMAGE_TIP", kImage, kGame, &IMAGE_TIP},
        {"IMAGE_DIALOG", kImage, kGame, &IMAGE_DIALOG},
        {"IMAGE_TIP_ARROW", kImage, kGame, &IMAGE_TIP_ARROW},
        {"IMAGE_DIALOG_CIRCLE", kImage, kGame, &IMAGE_DIALOG_CIRCLE},
        {"IMAGE_DIALOG_RECT", kImage, kGame, &IMAGE_DIALOG_RECT},
        {"IMAGE_TIME_IS_OVER", kImage, kGame, &IMAGE_TIME_IS_OVER},
        {"IMAGE_LEVEL_COMPLETE", kImage, kGame, &IMAGE_LEVEL_COMPLETE},
        {"IMAGE_TIME_BONUS", kImage, kGame, &IMAGE_TIME_BONUS},
        {"IMAGE_RING_BLUE", kImage, kGame, &IMAGE_RING_BLUE},
        {"IMAGE_RING_GREEN", kImage, kGame, &IMAGE_RING_GREEN},
        {"IMAGE_RING_PURPLE", kImage, kGame, &IMAGE_RING_PURPLE},
        {"IMAGE_RING_RED", kImage, kGame, &IMAGE_RING_RED},
        {"IMAGE_RING_YELLOW", kImage, kGame, &IMAGE_RING_YELLOW},
        {"IMAGE_BLINK_COLL", kImage, kGame, &IMAGE_BLINK_COLL},
        {"IMAGE_LIGHTNING", kImage, kGame, &IMAGE_LIGHTNING},
        {"IMAGE_EFFECTMODE", kImage, kGame, &IMAGE_EFFECTMODE},
        {"IMAGE_HELP_BACK", kImage, kGame, &IMAGE_HELP_BACK},
        {"IMAGE_MAP_LEVEL_UNCOMPLETE", kImage, kGame, &IMAGE_MAP_LEVEL_UNCOMPLETE},
        {"IMAGE_MAP_LEVEL_COMPLETE", kImage, kGame, &IMAGE_MAP_LEVEL_COMPLETE},
};

bool BindGroup(Group group, ResourceSource& source) {
    // Fonts, then pictures, then sounds; each kind in byte order of the names.
    std::vector<const Entry*> order;
    for (const Entry& entry : kEntries) {
        if (entry.group == group) order.push_back(&entry);
    }
    std::sort(order.begin(), order.end(), [](const Entry* a, const Entry* b) {
        if (a->kind != b->kind) return a->kind < b->kind;
        return std::string(a->name) < std::string(b->name);
    });
    for (const Entry* entry : order) {
        bool found = false;
        switch (entry->kind) {
            case kFont: {
                Font* font = nullptr;
                found = source.FetchFont(entry->name, font);
                if (found) *static_cast<Font**>(entry->variable) = font;
                break;
            }
            case kImage: {
                Image* image = nullptr;
                found = source.FetchImage(entry->name, image);
                if (found) *static_cast<Image**>(entry->variable) = image;
                break;
            }
            case kSound: {
                int sound = 0;
                found = source.FetchSound(entry->name, sound);
                if (found) *static_cast<int*>(entry->variable) = sound;
                break;
            }
        }
        if (!found) return false;
    }
    return true;
}

}  // namespace

intptr_t GetResourceById(int id) {
    if (id < 0 || id >= RESOURCE_ID_MAX) return 0;
    const Entry& entry = kEntries[id];
    switch (entry.kind) {
        case kFont: return reinterpret_cast<intptr_t>(*static_cast<Font**>(entry.variable));
        case kImage: return reinterpret_cast<intptr_t>(*static_cast<Image**>(entry.variable));
        case kSound: return static_cast<intptr_t>(*static_cast<int*>(entry.variable));
    }
    return 0;
}

std::string GetResourceNameById(int id) {
    if (id < 0 || id >= RESOURCE_ID_MAX) return std::string();
    return kEntries[id].name;
}

int GetResourceIdByName(const char* name) {
    // Built on first use (on the main thread, before the loading thread runs)
    // and kept until the program ends.
    static const std::map<std::string, int> byName = [] {
        std::map<std::string, int> map;
        for (int id = 0; id < RESOURCE_ID_MAX; ++id) map[GetResourceNameById(id)] = id;
        return map;
    }();
    if (name == nullptr) return RESOURCE_ID_MAX;
    const auto it = byName.find(name);
    return it != byName.end() ? it->second : static_cast<int>(RESOURCE_ID_MAX);
}

bool BindInitResources(ResourceSource& source) { return BindGroup(kInit, source); }
bool BindTitleScreenResources(ResourceSource& source) { return BindGroup(kTitle, source); }
bool BindGameResources(ResourceSource& source) { return BindGroup(kGame, source); }

}  // namespace Velm
