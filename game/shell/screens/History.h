#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/anim/StillImage.h"
#include "game/shell/ui/HistoryListener.h"
#include "graphics/Color.h"
#include "graphics/Rect.h"
#include "graphics/Transform.h"

class IniFile_t;

namespace Velm {

class Font;
class Graphics;
class Image;
class TipWidget;

// One text of a story page: typed out in its box (x, y, w, h; h becomes the wrapped text's
// height when the item starts), then held; times in update ticks.
struct HistoryItem_t {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    std::string key;       // text-table key
    std::string text;      // its text, with the player's name put in for "%s"
    Font* font = nullptr;  // null: FONT_DEFAULT
    int extra = 0;
    Color colour{0, 0, 0, 255};
    int revealTime = 300;
    int holdTime = 100;
    int shape = 0;  // balloon shape for the box transform: 0 or 1
};

struct HistoryPage_t {
    std::vector<HistoryItem_t> items;
    std::vector<std::unique_ptr<StillImage_t>> pictures;
};

// A story: pages of texts, each typed out character by character (one more every charStep
// updates) in a balloon (TipWidget) next to the page's pictures, read from an INI story file:
//
//   [Main]   PagesCount, X, Y, ShowGirl (default 1), Rect0, Rect1, ... = x,y,w,h
//   [PageN]  Text0, Text1, ...  with a rect table: rect index,key,colour[,extra,time,shape,font]
//                               without one:       x,y,w,h,key,colour[,extra,reveal,hold,shape,font]
//            Image0, ...        = x,y,picture (a file, or the name of a bound IMAGE_ picture)
//
// Colours are hexadecimal 0xAARRGGBB (opaque when the top byte is 0); time is both the reveal
// and the hold time; fonts are names of bound fonts. A line with too few fields, or whose rect
// index names no rect of the table, is skipped with a message naming the file, section and key.
// Texts hold the player's name where they say "%s" and are never handed to a format call; a
// text with any other '%' than one "%s" or "%%" is reported when the file is read and shown as
// written. Values missing at the end of a line keep their defaults.
//
// The game-over screen owns one; it ticks it once per update (10 ms). Main thread only.
class History_t {
public:
    History_t();
    ~History_t();
    History_t(const History_t&) = delete;
    History_t& operator=(const History_t&) = delete;

    // Clears, reads the story (no file: no pages, so it is done on the first tick) and starts
    // the first item. playerName fills the texts' "%s".
    void Load(const std::string& fileName, HistoryListener* newListener, const std::string& playerName = "");
    void Load(const IniFile_t& file, HistoryListener* newListener, const std::string& playerName = "");
    // One update; true once the story is done.
    bool Tick();
    void Draw(Graphics* g);
    // While typing: the whole text at once; while holding: the item ends on the next tick.
    void SkipCurrentText();
    bool IsPageFinished() const;
    // page + 1; false when no page is left.
    bool NextPage();
    void Clear();
    void StartItem();
    void ShowBalloon(const std::string& text, int bx, int by, int bw, int bh);

    int GetPageCount() const { return static_cast<int>(pages.size()); }
    // The current item, or null when the page or item index is out of range.
    const HistoryItem_t* CurrentItem() const;
    // The part of the current text shown now.
    std::string ShownText() const;

    Image* balloonImages[2] = {nullptr, nullptr};
    int x = 0;
    int y = 0;
    bool showGirl = true;
    std::unique_ptr<TipWidget> balloon;
    bool balloonSound = false;
    std::vector<std::unique_ptr<HistoryPage_t>> pages;
    int page = 0;
    bool done = false;
    int tick = 0;
    int charStep = 5;
    int charsShown = 1;
    int item = 0;
    HistoryListener* listener = nullptr;
    Transform boxTransform;
    std::vector<Rect> rects;

private:
    void ReadPage(const IniFile_t& file, int index, const std::string& playerName);
    HistoryItem_t* MutableItem();
};

}  // namespace Velm
