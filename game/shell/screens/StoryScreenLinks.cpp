#include "game/shell/screens/StoryScreenLinks.h"

#include <cstring>

#include "engine/sound/SoundApi.h"
#include "game/shell/screens/GameApp.h"
#include "graphics/MemoryImage.h"

namespace Velm {

StoryScreenLinks StoryScreenLinks::LinksOf(GameApp* app) {
    StoryScreenLinks links;
    if (app == nullptr) return links;
    links.width = app->GetWidth();
    links.height = app->GetHeight();
    links.switchScreen = [app](int code) { app->SwitchScreen(code); };
    links.startMenuMusic = [app]() {
        static const char* const kMenuMusic = "music/mainmenu";
        const char* current = Sound::GetCurrentMusicName();
        if (current != nullptr && std::strcmp(current, kMenuMusic) == 0) return;
        app->StopMusic();
        Sound::PlayMusic(kMenuMusic, 2000, 1000);
    };
    links.askMessageBox = [app](int type) { return app->ShowMessageBox(type); };
    links.scoreTable = [app]() { return app->GetScreen(GameScreenId::HighScores); };
    links.loadImage = [app](const std::string& path) {
        Image* image = app->GetImage(path, true);
        return image;
    };
    links.adventureStages = [app]() { return app->GetAdventureStages(); };
    links.tilesets = [app]() { return app->GetTilesets(); };
    return links;
}

}  // namespace Velm
