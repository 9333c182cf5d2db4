#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "game/shell/screens/LayoutThumbnails.h"
#include "game/shell/screens/SimpleLevelList.h"
#include "game/shell/ui/BaseDialogWidget.h"

class StageCatalogue_t;
class TilesetCatalogue_t;

namespace Velm {

class UiDescription_t;
class GameApp;
class Image;
class MemoryImage;
class RadioButton;
class Widget;

// Simple mode's level chooser ("UI/SimpleUI.txt"): six levels a page, each a
// radio slot ("CB1" .. "CB6") with a small picture of its tile layout, page
// buttons, the chosen level's name, number, best score and best time, the
// tile-set choice, Play and Back. Locked levels are shown disabled, with a
// lock ("images/ui/lock") bearing the level's number in place of the picture. Shown by the switches from the main menu and the play screen;
// leaves for the main menu (Back) or the play screen (Play).
//
// What the list shows is worked out by SimpleLevelList; the pictures come from
// LayoutThumbnails. Pictures and the scratch image exist only while the screen
// is shown. Built once by the loading thread (it touches no widget manager
// there); everything else on the main thread.
class SimpleWidget_t : public BaseDialogWidget {
public:
    static constexpr int kDialogId = 444;
    static constexpr const char* kUiFile = "UI/SimpleUI.txt";
    // The application's switch codes of Back and Play.
    enum ButtonId { kBack = 1, kPlay = 2, kTilesetPrev = 3, kTilesetNext = 4, kPagePrev = 5, kPageNext = 6 };
    // Where a thumbnail stands on its slot button.
    static constexpr int kThumbnailOffsetX = 31;
    static constexpr int kThumbnailOffsetY = 54;

    // What the screen uses of the application: the simple-mode stage list, the
    // tile sets, the screen switch and the menu music.
    struct Links {
        StageCatalogue_t* stages = nullptr;
        TilesetCatalogue_t* tilesets = nullptr;
        std::function<void(int code)> switchScreen;
        // Starts "music/mainmenu" unless it plays already.
        std::function<void()> startMenuMusic;
        // Reads a picture file into a new image the caller owns; null when it cannot.
        std::function<Image*(const std::string& path)> loadImage;
    };
    static constexpr const char* kLockPicture = "images/ui/lock";

    explicit SimpleWidget_t(GameApp* app);
    SimpleWidget_t(const Links& links, const std::string& uiFile);
    ~SimpleWidget_t() override;

    void Update() override;
    void Draw(Graphics* g) override;
    // Draws the pictures of the unlocked slots over their buttons, and the lock with the
    // level's number (flat index + 1) on the locked ones.
    void DrawOverlay(Graphics* g) override;
    void DrawOverlay(Graphics* g, int priority) override { BaseDialogWidget::DrawOverlay(g, priority); }
    // Esc acts as Back.
    void KeyUp(int key) override;
    void OnShown() override;
    void OnHidden() override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;
    // The slot buttons report here: slot k (1 .. 6) chosen.
    void CheckboxChecked(int id, bool checked) override;

    void RenderPage(int newPage);
    void UpdatePageButtons();
    void ShowBestTime(int ticks);

    int GetPage() const { return page; }
    int GetPageCount() const { return pageCount; }
    int GetLastSlot() const { return lastSlot; }
    int GetTilesetChoice() const { return tileset; }
    const SimpleLevelList::Page& GetSlots() const { return slots; }
    MemoryImage* GetThumbnail(int slot) const;
    UiDescription_t* GetDescription() const { return description.get(); }
    LayoutThumbnails& GetThumbnails() { return thumbnailRenderer; }

private:
    static Links LinksOf(GameApp* app);
    void StoreTilesetChoice();
    void SelectChosenTileset();
    // Shows the chosen tile set's name (text key "TilesetName" and its index) between the
    // tile-set arrows.
    void ShowTilesetName();
    void DrawLock(Graphics* g, const Widget& slotButton, int level);

    Links links;
    std::unique_ptr<UiDescription_t> description;
    std::array<std::unique_ptr<MemoryImage>, SimpleLevelList::kSlotsPerPage> thumbnails;
    std::unique_ptr<Image> lockPicture;  // while shown
    std::array<RadioButton*, SimpleLevelList::kSlotsPerPage> slotButtons{};
    Widget* prevPage = nullptr;
    Widget* nextPage = nullptr;
    int page = 0;
    int pageCount = 0;
    int lastSlot = 0;
    int tileset = 0;
    SimpleLevelList::Page slots;
    LayoutThumbnails thumbnailRenderer;
    Widget* scoreLabel = nullptr;
    Widget* timeLabel = nullptr;
    Widget* levelNameLabel = nullptr;
    Widget* levelLabel = nullptr;
    Widget* tilesetLabel = nullptr;  // "TilesetLbl"; a description without it shows no name
};

}  // namespace Velm
