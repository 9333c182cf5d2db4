#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/anim/StillImage.h"
#include "graphics/Color.h"

class IniFile_t;

namespace Velm {
class Font;
class Graphics;
}

// One positioned text of a help page; x and y already include the page's offsets.
struct HelpTextItem_t {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    std::string key;         // text-table key of the text
    int justification = -1;  // -1 left, 0 centred, 1 right
    Velm::Color colour;
    Velm::Font* font = nullptr;  // null: FONT_DEFAULT
};

struct HelpPage_t {
    int dx = 0;
    int dy = 0;
    std::vector<HelpTextItem_t> texts;
    std::vector<std::unique_ptr<StillImage_t>> pictures;
};

// The pages of the help dialog, read from "data/help.txt" (INI): section "Main"
// key "PagesCount"; sections "Page0" ... each with "DX", "DY" (added to every
// position of the page), "Text0", "Text1", ... = x,y,w,h,key,colour,justification
// [,font] (colour hexadecimal 0xAARRGGBB, alpha 255 when the top byte is 0; font
// a resource name of a font) and "Image0", ... = x,y,picture[,x;y;w;h] (a
// resource name of a picture, else a file name). A line with too few fields is
// skipped with a message.
//
// Help texts hold the player's name where they say "%s". They are never handed
// to a format call: a text may hold at most one "%s" and any number of "%%";
// one with any other '%' is reported when the pages are read and shown as
// written. Main thread only.
class HelpPages_t {
public:
    HelpPages_t() = default;
    ~HelpPages_t();
    HelpPages_t(const HelpPages_t&) = delete;
    HelpPages_t& operator=(const HelpPages_t&) = delete;

    // Clears, reads the file (no file: no pages) and goes to page 0.
    void Load(const std::string& fileName);
    void Load(const IniFile_t& file);
    // Page += 1 while a next page exists; false only when there are no pages.
    bool NextPage();
    // Page -= 1; callers offer it only while HasPrevious.
    bool PrevPage();
    bool HasPrevious() const { return page != 0; }
    void Draw(Velm::Graphics* g);
    void DrawPage(int index, Velm::Graphics* g);
    void Clear();

    int GetPageCount() const { return static_cast<int>(pages.size()); }

    // What a help text may hold: at most one "%s", and "%%" for a percent sign.
    static bool IsSafeHelpText(const std::string& text);
    // The text with the name put in for "%s" and "%" for "%%" (FormatText); a
    // text that is not safe comes back as written.
    static std::string FormatHelpText(const std::string& text, const std::string& playerName);

    std::vector<std::unique_ptr<HelpPage_t>> pages;
    int page = 0;
};
