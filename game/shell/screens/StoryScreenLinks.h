#pragma once

#include <functional>
#include <string>

class StageCatalogue_t;
class TilesetCatalogue_t;

namespace Velm {

class BaseDialogWidget;
class GameApp;
class Image;

// What the adventure's own screens (map, comics, game-over story, score table) use of the
// application: its size, the screen switch, the menu music, the confirmation box, the
// score-table screen, picture loading, the adventure's stages and the tile sets. LinksOf fills them from the application; tests
// fill them with recorders. Main thread only.
struct StoryScreenLinks {
    int width = 1024;
    int height = 768;
    std::function<void(int code)> switchScreen;
    // Starts "music/mainmenu" (fade-in 2000 ms, fade-out 1000 ms) unless it plays already.
    std::function<void()> startMenuMusic;
    // Shows message box type 1..8 and waits for it; true when confirmed.
    std::function<bool(int type)> askMessageBox;
    // The score-table screen, or null.
    std::function<BaseDialogWidget*()> scoreTable;
    // A picture file loaded for the caller, who owns it; null when nothing was read.
    std::function<Image*(const std::string& path)> loadImage;

    // The adventure's stage list and the tile sets (the map); null when absent.
    std::function<StageCatalogue_t*()> adventureStages;
    std::function<TilesetCatalogue_t*()> tilesets;

    static StoryScreenLinks LinksOf(GameApp* app);

    void SwitchScreen(int code) const {
        if (switchScreen) switchScreen(code);
    }
    void StartMenuMusic() const {
        if (startMenuMusic) startMenuMusic();
    }
};

}  // namespace Velm
