#include "game/shell/screens/SimpleWidget.h"

#include <cstring>

#include "engine/sound/SoundApi.h"
#include "game/shell/screens/GameApp.h"
#include "graphics/MemoryImage.h"

// The list on the application: kept apart from SimpleWidget.cpp so that the
// list can be built and tested on its links alone.

namespace Velm {

namespace {
constexpr const char* kMenuMusic = "music/mainmenu";
}  // namespace

SimpleWidget_t::Links SimpleWidget_t::LinksOf(GameApp* app) {
    Links links;
    if (app == nullptr) return links;
    links.stages = app->GetSimpleStages();
    links.tilesets = app->GetTilesets();
    links.switchScreen = [app](int code) { app->SwitchScreen(code); };
    links.startMenuMusic = [app]() {
        const char* current = Sound::GetCurrentMusicName();
        if (current != nullptr && std::strcmp(current, kMenuMusic) == 0) return;
        app->StopMusic();
        Sound::PlayMusic(kMenuMusic, 2000, 1000);
    };
    links.loadImage = [app](const std::string& path) -> Image* { return app->GetImage(path, true); };
    return links;
}

SimpleWidget_t::SimpleWidget_t(GameApp* app) : SimpleWidget_t(LinksOf(app), kUiFile) {}

}  // namespace Velm
