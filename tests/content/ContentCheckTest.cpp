// The content check: loads the generated content folder with the game's own readers and
// names the file and key of anything the code would miss. Screen authors add rows to the
// element and dialog tables below when a screen starts to look up a new name.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/anim/SpriteSheet.h"
#include "engine/util/IniFile.h"
#include "game/board/LayoutFile.h"
#include "game/shell/MusicPlaylist.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TilesetCatalogue.h"
#include "game/shell/screens/AppResourceSource.h"
#include "game/shell/screens/HelpPages.h"
#include "graphics/FontData.h"
#include "graphics/FontHost.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"
#include "resources/ImageLib.h"
#include "resources/ResourceFontMaker.h"
#include "resources/ResourceManager.h"
#include "resources/sound/DSoundManager.h"
#include "tests/content/ContentTree.h"
#include "tools/mkcontent/Resources.h"
#include "tools/mkcontent/TextFiles.h"
#include "tools/mkcontent/TileSets.h"

using namespace contenttest;

namespace {

constexpr int kAnyId = -2;

// ---- The names the code looks up ----

// A UI element: file, section name, "Type" ("button" stands for DialogButton or Button),
// and the "ID" the code reacts to (kAnyId when the code does not care).
struct UiElement {
    const char* file;
    const char* name;
    const char* type;
    int id;
};

const UiElement kUiElements[] = {
        {"ui/title.txt", "Continue", "Link", kAnyId},
        {"ui/title.txt", "Slider", "Point", kAnyId},
        {"ui/main.txt", "Game_Adventure", "button", 11},
        {"ui/main.txt", "Game_Simple", "button", 1},
        {"ui/main.txt", "Scores", "button", 4},
        {"ui/main.txt", "Help", "button", 3},
        {"ui/main.txt", "Options", "button", 2},
        {"ui/main.txt", "Exit", "button", 5},
        {"ui/main.txt", "ChangePlayer", "button", 33},
        {"ui/main.txt", "NameLbl", "Link", kAnyId},
        {"ui/main.txt", "ButtonsXY", "Point", kAnyId},
        {"ui/main.txt", "ButtonsWH", "Point", kAnyId},
        {"ui/map.txt", "Back", "button", 1},
        {"ui/map.txt", "Play", "button", 2},
        {"ui/map.txt", "Paper", "Point", kAnyId},
        {"ui/board.txt", "LevelNameLbl", "Link", kAnyId},
        {"ui/board.txt", "GameTypeLbl", "Link", kAnyId},
        {"ui/board.txt", "TimeLbl", "Link", kAnyId},
        {"ui/board.txt", "MatchesLbl", "Link", kAnyId},
        {"ui/board.txt", "TilesRemainingLbl", "Link", kAnyId},
        {"ui/board.txt", "TimeLblCap", "Link", kAnyId},
        {"ui/board.txt", "ShowFree1Lbl", "Link", kAnyId},
        {"ui/board.txt", "ShowFree2Lbl", "Link", kAnyId},
        {"ui/board.txt", "Shuffle", "button", 1},
        {"ui/board.txt", "Hint", "button", 2},
        {"ui/board.txt", "Undo", "button", 3},
        {"ui/board.txt", "SkipGame", "button", 4},
        {"ui/board.txt", "SkipDialog", "button", 5},
        {"ui/board.txt", "Menu", "button", 777},
        {"ui/board.txt", "FreeTiles", "CheckBox", 1},
        {"ui/board.txt", "OverColl1", "Point", kAnyId},
        {"ui/board.txt", "OverColl2", "Point", kAnyId},
        {"ui/board.txt", "RemovedColl1", "Point", kAnyId},
        {"ui/board.txt", "RemovedColl2", "Point", kAnyId},
        {"ui/highscores.txt", "Back", "button", 1},
        {"ui/highscores.txt", "Reset", "button", 2},
        {"ui/highscores.txt", "ListColor", "Point", kAnyId},
        {"ui/highscores.txt", "CaptionPos", "Point", kAnyId},
        {"ui/highscores.txt", "TableRowStart", "Point", kAnyId},
        {"ui/simpleui.txt", "CB1", "RadioButton", 1},
        {"ui/simpleui.txt", "CB2", "RadioButton", 2},
        {"ui/simpleui.txt", "CB3", "RadioButton", 3},
        {"ui/simpleui.txt", "CB4", "RadioButton", 4},
        {"ui/simpleui.txt", "CB5", "RadioButton", 5},
        {"ui/simpleui.txt", "CB6", "RadioButton", 6},
        {"ui/simpleui.txt", "PrevPage", "button", 5},
        {"ui/simpleui.txt", "NextPage", "button", 6},
        {"ui/simpleui.txt", "Back", "button", 1},
        {"ui/simpleui.txt", "Play", "button", 2},
        {"ui/simpleui.txt", "TilesetPrev", "button", 3},
        {"ui/simpleui.txt", "TilesetNext", "button", 4},
        {"ui/simpleui.txt", "ScoreLbl", "Link", kAnyId},
        {"ui/simpleui.txt", "TimeLbl", "Link", kAnyId},
        {"ui/simpleui.txt", "LevelNameLbl", "Link", kAnyId},
        {"ui/simpleui.txt", "LevelLbl", "Link", kAnyId},
        {"ui/gameover.txt", "Done", "button", 1},
        {"ui/comix.txt", "Skip", "button", 1},
        {"ui/comix.txt", "Screen", "Point", kAnyId},
        {"ui/comix.txt", "Comix1", "Point", kAnyId},
        {"ui/comix.txt", "Comix2", "Point", kAnyId},
        {"ui/comix.txt", "Comix3", "Point", kAnyId},
        {"ui/comix.txt", "Comix4", "Point", kAnyId},
        {"ui/comix.txt", "Comix5", "Point", kAnyId},
        {"ui/newuser.txt", "Edit", "Edit", kAnyId},
        {"ui/newuser.txt", "OK", "button", 1},
        {"ui/newuser.txt", "Cancel", "button", 2},
        {"ui/newuser.txt", "Rule", "Link", kAnyId},
        {"ui/changeuser.txt", "Delete", "button", 1},
        {"ui/changeuser.txt", "Select", "button", 2},
        {"ui/changeuser.txt", "Cancel", "button", 3},
        {"ui/changeuser.txt", "LBPos", "Point", kAnyId},
        {"ui/changeuser.txt", "LBSize", "Point", kAnyId},
        {"ui/messagebox.txt", "Caption", "Link", kAnyId},
        {"ui/messagebox.txt", "Message", "Link", kAnyId},
        {"ui/messagebox.txt", "Ok", "button", 1},
        {"ui/messageboxokc.txt", "Caption", "Link", kAnyId},
        {"ui/messageboxokc.txt", "Message", "Link", kAnyId},
        {"ui/messageboxokc.txt", "Ok", "button", 1},
        {"ui/messageboxokc.txt", "Cancel", "button", 2},
        {"ui/options.txt", "MusicVolume", "Slider", 1},
        {"ui/options.txt", "EffectVolume", "Slider", 2},
        {"ui/options.txt", "3DMode", "CheckBox", 1},
        {"ui/options.txt", "FullScreen", "CheckBox", 2},
        {"ui/options.txt", "CustomCursor", "CheckBox", 3},
        {"ui/options.txt", "OK", "button", 1},
        {"ui/selectgame.txt", "Continue", "button", 1},
        {"ui/selectgame.txt", "New", "button", 2},
        {"ui/selectgame.txt", "ScoreLbl", "Link", kAnyId},
        {"ui/selectgame.txt", "LevelNameLbl", "Link", kAnyId},
        {"ui/selectgame.txt", "StageLbl", "Link", kAnyId},
        {"ui/selectgame.txt", "Question", "Link", kAnyId},
        {"ui/selectgame.txt", "FreeQuestion", "Link", kAnyId},
        {"ui/help.txt", "Next", "button", 1},
        {"ui/help.txt", "Close", "button", 2},
        {"ui/help.txt", "Prev", "button", 3},
        {"ui/help.txt", "DontShow", "CheckBox", kAnyId},
        {"ui/help.txt", "DontShowLbl", "Link", kAnyId},
        {"ui/levelname.txt", "GameTypeLbl", "Link", kAnyId},
        {"ui/levelname.txt", "LevelName", "Link", kAnyId},
        {"ui/levelname.txt", "Stage", "Link", kAnyId},
        {"ui/levelname.txt", "ImagePos", "Point", kAnyId},
        {"ui/gamemenuui.txt", "Options", "button", 1},
        {"ui/gamemenuui.txt", "Help", "button", 2},
        {"ui/gamemenuui.txt", "Quit", "button", 3},
        {"ui/gamemenuui.txt", "Continue", "button", 4},
        {"ui/gamemenuui.txt", "Replay", "button", 5},
        {"ui/gamemenuui.txt", "ButtonsXY", "Point", kAnyId},
        {"ui/gamemenuui.txt", "ButtonsWH", "Point", kAnyId},
        {"ui/quitgamesimple.txt", "Exit", "button", 1},
        {"ui/quitgamesimple.txt", "MainMenu", "button", 2},
        {"ui/quitgamesimple.txt", "Cancel", "button", 3},
        {"ui/quitgamesimple.txt", "LevelList", "button", 4},
        {"ui/quitgame.txt", "Exit", "button", 1},
        {"ui/quitgame.txt", "MainMenu", "button", 2},
        {"ui/quitgame.txt", "Cancel", "button", 3},
        {"ui/oneparaleft.txt", "Message1", "Link", kAnyId},
        {"ui/oneparaleft.txt", "DontShow", "CheckBox", kAnyId},
        {"ui/oneparaleft.txt", "OK", "button", 1},
        {"ui/losegameui.txt", "Replay", "button", 1},
        {"ui/losegameui.txt", "ReplayNewBoard", "button", 2},
        {"ui/losegameui.txt", "Menu", "button", 3},
        {"ui/flywindowui.txt", "Label", "Link", kAnyId},
        {"ui/levelcomplete.txt", "ScoreLblValue", "Link", kAnyId},
        {"ui/levelcomplete.txt", "TimeLblValue", "Link", kAnyId},
        {"ui/levelcomplete.txt", "TotalScoreLblValue", "Link", kAnyId},
        {"ui/levelcomplete.txt", "GameScoreLblValue", "Link", kAnyId},
        {"ui/levelcomplete.txt", "ScoreLbl", "Link", kAnyId},
        {"ui/levelcomplete.txt", "TimeLbl", "Link", kAnyId},
        {"ui/levelcomplete.txt", "TotalScoreLbl", "Link", kAnyId},
        {"ui/levelcomplete.txt", "GameScoreLbl", "Link", kAnyId},
        {"ui/levelcomplete.txt", "LevelLbl", "Link", kAnyId},
        {"ui/levelcomplete.txt", "Ok", "button", 0},
        {"ui/levelcomplete.txt", "ButtonsXY", "Point", kAnyId},
        {"ui/levelcomplete.txt", "ButtonsWH", "Point", kAnyId},
        {"ui/levelcomplete.txt", "Buttons2XY", "Point", kAnyId},
        {"ui/levelcomplete.txt", "Buttons2WH", "Point", kAnyId},
        {"ui/tip.txt", "Ok", "button", kAnyId},
        {"ui/tip.txt", "TextColor", "Point", kAnyId},
};

// Fly-in dialogs: the "Main" section's ID (kAnyId when the code sets its own) and Modal.
struct UiDialog {
    const char* file;
    int id;
    bool modal;
};

const UiDialog kUiDialogs[] = {
        {"ui/newuser.txt", kAnyId, true},     {"ui/changeuser.txt", 12, true},
        {"ui/messagebox.txt", kAnyId, true},  {"ui/messageboxokc.txt", kAnyId, true},
        {"ui/options.txt", 201, true},        {"ui/selectgame.txt", 303, true},
        {"ui/levelname.txt", 444, true},      {"ui/gamemenuui.txt", 55, true},
        {"ui/quitgamesimple.txt", 301, true}, {"ui/quitgame.txt", 301, true},
        {"ui/pausedialog.txt", 103, true},    {"ui/oneparaleft.txt", 102, true},
        {"ui/losegameui.txt", 305, true},     {"ui/levelcomplete.txt", 15, true},
};

// Pictures that screens expect at a drawing level of their description.
struct UiPicture {
    const char* file;
    const char* image;
    int level;
};

const UiPicture kUiPictures[] = {
        {"ui/title.txt", "IMAGE_TITLE_BACK", 0},
        {"ui/main.txt", "IMAGE_GAME_BACK", 0},
        {"ui/main.txt", "IMAGE_MAIN_TITLE", 1},
        {"ui/help.txt", "IMAGE_HELP_BACK", 0},
};

// Text keys fixed by the code that a scan of the lookup calls does not find (keys kept in
// tables, built from numbers, or read by the framework).
const char* const kFixedTextKeys[] = {
        "GameName",
        "Loading",
        "Quit",
        "SureExit",
        "Warning",
        "EnterCorrectName",
        "DeleteWarning",
        "ResetHighScores",
        "NotSupported",
        "Error1",
        "Error2",
        "NoWindowedMode",
        "Error3",
        "NoMorePlayersAvalible",
        "PlayersRepaired",
        "User0",
        "User1",
        "User2",
        "User3",
        "User4",
        "User5",
        "User6",
        "User7",
        "User8",
        "User9",
        "CreateNewUser",
        "HelpNext",
        "HelpDone",
        "NotPlayed",
        "GameUsual",
        "GameSwapColl",
        "GameOneColl",
        "GameMemory",
        "GameLogicalPair",
        "GameOneUnPairColl",
        "Game4Rivers",
        "Matches",
        "TilesRemaining",
        "Stage",
        "Level",
        "OneParaLeftShuffle",
        "TryMore",
        "NoMoreMoves",
        "TipGameTypeTumb",
        "TipHint",
        "BestScore",
        "LevelIndex",
        "BestTime",
};

// Format strings and the conversions the code passes, in order.
struct FormatKey {
    const char* key;
    std::vector<char> conversions;  // 's' for a string, 'd' for an int
};

const FormatKey kFormatKeys[] = {
        {"BestScore", {'s'}},
        {"LevelIndex", {'d', 'd'}},
        {"BestTime", {'d', 'd'}},
};

// ---- Helpers ----

std::string Value(const IniSection_t& section, const char* key) {
    std::string value;
    section.GetString(key, "", value);
    return value;
}

std::vector<std::string> UiFiles() {
    std::vector<std::string> files;
    for (const std::string& f : ListFiles())
        if (f.rfind("ui/", 0) == 0 && f != "ui/interf.txt") files.push_back(f);
    std::sort(files.begin(), files.end());
    return files;
}

// The conversions of a printf format: 's', 'd' (also i, u, x), or '?' for others; "%%" skipped.
std::vector<char> Conversions(const std::string& format) {
    std::vector<char> out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        size_t j = i + 1;
        if (j < format.size() && format[j] == '%') {
            i = j;
            continue;
        }
        while (j < format.size() && std::strchr("-+ #0123456789.lh", format[j]) != nullptr) ++j;
        const char c = j < format.size() ? format[j] : '?';
        out.push_back(c == 's' ? 's' : std::strchr("diux", c) != nullptr ? 'd' : '?');
        i = j;
    }
    return out;
}

// Image names in UI files and styles: a resource id or a picture file.
bool ImageNameResolves(const std::string& name) {
    return Velm::GetResourceIdByName(name.c_str()) != Velm::RESOURCE_ID_MAX || PictureExists(name);
}

// ---- Tests ----

TEST(ContentCheck, IniFilesHaveCrLfLineEndsAndParse) {
    for (const std::string& file : ListFiles()) {
        if (!mkcontent::NeedsCrLf(file)) continue;
        SCOPED_TRACE(file);
        std::string bytes;
        ASSERT_TRUE(ReadBytes(file, &bytes));
        int line = 1;
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] != '\n') continue;
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << file << " line " << line << " ends in a bare LF";
            ++line;
        }
        IniFile_t ini;
        ini.Parse(bytes.data(), bytes.size(), true, file);
        if (file != "ui/logos.txt") {
            EXPECT_GT(ini.GetSectionCount(), 0) << file << " has no section";
        }
    }
}

// "vhw.dat" would let only the cards it names draw in 3D. "vhwb.dat" does ship: the video-card
// test reads it, and it keeps the software OpenGL drivers (slower than the program's own
// rasteriser) off the 3D path.
TEST(ContentCheck, NothingThatMustNotShip) {
    for (const std::string& file : ListFiles()) {
        std::string lower = file;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        for (const char* banned : {"debug.txt", "play.url", "buynow.url", "vhw.dat", "default.xml"})
            EXPECT_NE(lower, banned) << file << " must not be shipped";
    }
}

TEST(ContentCheck, EveryUiElementTheCodeNeedsIsThere) {
    for (const UiElement& e : kUiElements) {
        SCOPED_TRACE(std::string(e.file) + " [" + e.name + "]");
        IniFile_t ini;
        ASSERT_TRUE(LoadIni(e.file, &ini)) << e.file << " is missing";
        const IniSection_t* section = ini.FindSection(e.name);
        ASSERT_NE(section, nullptr) << e.file << ": no element [" << e.name << "]";
        // Section names compare without case in the INI reader, but element lookup is exact.
        bool exact = false;
        for (auto s = ini.SectionsBegin(); s != ini.SectionsEnd(); ++s) exact = exact || s->first == e.name;
        EXPECT_TRUE(exact) << e.file << ": [" << e.name << "] is spelt with another letter case";
        const std::string type = Value(*section, "Type");
        if (std::string(e.type) == "button") {
            EXPECT_TRUE(type == "DialogButton" || type == "Button") << e.file << " [" << e.name << "] Type=" << type;
        } else
            EXPECT_EQ(type, e.type) << e.file << " [" << e.name << "] Type";
        if (e.id != kAnyId) {
            EXPECT_EQ(section->GetInt("ID", -1), e.id) << e.file << " [" << e.name << "] ID";
        }
        if (std::string(e.type) == "button" && e.id == kAnyId) {
            EXPECT_NE(section->GetInt("ID", -1), -1) << e.file << " [" << e.name << "] needs an ID";
        }
    }
}

TEST(ContentCheck, DialogsCarryTheirIdsAndAreModal) {
    for (const UiDialog& d : kUiDialogs) {
        SCOPED_TRACE(d.file);
        IniFile_t ini;
        ASSERT_TRUE(LoadIni(d.file, &ini)) << d.file << " is missing";
        const IniSection_t* main = ini.FindSection("Main");
        ASSERT_NE(main, nullptr) << d.file << ": no [Main]";
        if (d.id != kAnyId) {
            EXPECT_EQ(main->GetInt("ID", 0), d.id) << d.file << " [Main] ID";
        }
        EXPECT_EQ(main->GetInt("Modal", 0) == 1, d.modal) << d.file << " [Main] Modal";
        EXPECT_FALSE(Value(*main, "Position").empty()) << d.file << " [Main] Position";
    }
}

TEST(ContentCheck, BoardHintButtonIsBuiltByTheScreen) {
    IniFile_t ini, styles;
    ASSERT_TRUE(LoadIni("ui/board.txt", &ini));
    ASSERT_TRUE(LoadIni("ui/interf.txt", &styles));
    const IniSection_t& hint = ini.GetSection("Hint");
    EXPECT_EQ(hint.GetInt("AddToWidget", 1), 0) << "ui/board.txt [Hint] AddToWidget must be 0";
    EXPECT_EQ(ini.GetSection("SkipGame").GetInt("Visible", 1), 0) << "ui/board.txt [SkipGame] Visible";
    EXPECT_EQ(ini.GetSection("SkipDialog").GetInt("Visible", 1), 0) << "ui/board.txt [SkipDialog] Visible";
    const std::string styleName = Value(hint, "Description");
    const IniSection_t* style = styleName.empty() ? &hint : styles.FindSection(styleName);
    ASSERT_NE(style, nullptr) << "ui/interf.txt: no style " << styleName;
    for (const char* key :
         {"Image", "OverImage", "DownImage", "DisabledImage", "NormalRect", "OverRect", "DownRect", "DisabledRect"})
        EXPECT_FALSE(Value(*style, key).empty()) << "the hint button's look lacks " << key;
}

TEST(ContentCheck, ScreensHaveTheirPictures) {
    for (const UiPicture& p : kUiPictures) {
        IniFile_t ini;
        ASSERT_TRUE(LoadIni(p.file, &ini)) << p.file;
        bool found = false;
        for (auto s = ini.SectionsBegin(); s != ini.SectionsEnd(); ++s)
            found = found || (Value(s->second, "Type") == "Image" && Value(s->second, "Image") == p.image &&
                              s->second.GetInt("Level", 0) == p.level);
        EXPECT_TRUE(found) << p.file << ": no Image " << p.image << " at level " << p.level;
    }
}

TEST(ContentCheck, StylesPicturesAndFontsOfUiFilesResolve) {
    IniFile_t styles;
    ASSERT_TRUE(LoadIni("ui/interf.txt", &styles));
    auto checkLook = [](const std::string& where, const IniSection_t& section) {
        for (const char* key : {"Image", "OverImage", "DownImage", "DisabledImage", "ImageTrack", "ImageThumb"}) {
            const std::string name = Value(section, key);
            if (!name.empty()) {
                EXPECT_TRUE(ImageNameResolves(name)) << where << " " << key << "=" << name;
            }
        }
        const std::string font = Value(section, "Font");
        if (!font.empty()) {
            EXPECT_NE(Velm::GetResourceIdByName(font.c_str()), Velm::RESOURCE_ID_MAX) << where << " Font=" << font;
        }
    };
    for (auto s = styles.SectionsBegin(); s != styles.SectionsEnd(); ++s)
        checkLook("ui/interf.txt [" + s->first + "]", s->second);
    for (const std::string& file : UiFiles()) {
        IniFile_t ini;
        ASSERT_TRUE(LoadIni(file, &ini));
        for (auto s = ini.SectionsBegin(); s != ini.SectionsEnd(); ++s) {
            const std::string where = file + " [" + s->first + "]";
            const std::string description = Value(s->second, "Description");
            if (!description.empty()) {
                EXPECT_NE(styles.FindSection(description), nullptr) << where << " Description=" << description;
            }
            checkLook(where, s->second);
            // The title screen's pictures are released after it: nobody else may name them.
            if (file != "ui/title.txt") {
                for (auto k = s->second.KeysBegin(); k != s->second.KeysEnd(); ++k)
                    EXPECT_EQ(k->second.value.find("IMAGE_TITLE_"), std::string::npos)
                            << where << " names a title picture";
            }
        }
    }
    // The logo screen is built before any resource is loaded.
    std::string logos;
    ASSERT_TRUE(ReadBytes("ui/logos.txt", &logos));
    EXPECT_EQ(logos.find("IMAGE_"), std::string::npos);
    EXPECT_EQ(logos.find("FONT_"), std::string::npos);
}

// Fonts for the manager: image fonts read from their descriptors, glyph sheets from the disk.
class FileFontHost : public Velm::FontHost {
public:
    ~FileFontHost() override {
        for (auto& record : records) delete record->image;
    }
    Velm::SharedImageHandle GetSharedImage(const std::string& path, const std::string&, bool* isNew) override {
        std::unique_ptr<ImageLib::Image> picture(ImageLib::GetImage(path, false));
        *isNew = false;
        if (!picture) return Velm::SharedImageHandle();
        auto record = std::make_unique<Velm::SharedImage>();
        record->image = new Velm::MemoryImage(static_cast<Velm::ImageHost*>(nullptr));
        record->image->SetBits(picture->mBits, picture->mWidth, picture->mHeight);
        *isNew = true;
        records.push_back(std::move(record));
        return Velm::SharedImageHandle(records.back().get());
    }
    void Popup(const std::string& text) override { popups.push_back(text); }
    std::vector<std::string> popups;

private:
    std::vector<std::unique_ptr<Velm::SharedImage>> records;
};

class FileFontMaker : public Velm::ResourceFontMaker {
public:
    explicit FileFontMaker(FileFontHost& h) : host(h) {}
    Velm::Font* MakeSysFont(const std::string&, int, bool, bool, bool, bool, bool) override { return nullptr; }
    Velm::Font* MakeImageFont(Velm::MemoryImage*, const std::string&) override { return nullptr; }
    Velm::Font* MakeImageFont(const std::string& descriptorPath) override {
        std::unique_ptr<Velm::ImageFont> font(new Velm::ImageFont(&host, descriptorPath));
        if (font->fontData == nullptr || !font->fontData->initialized) return nullptr;
        return font.release();
    }
    void ApplyTags(Velm::Font*, const std::vector<std::string>&) override {}

private:
    FileFontHost& host;
};

TEST(ContentCheck, ManifestLoadsAndEveryResourceIdBinds) {
    FileFontHost host;
    FileFontMaker fonts(host);
    Velm::DSoundManager silent{nullptr, false};
    Velm::ResourceManager manager;
    manager.SetFontMaker(&fonts);
    manager.SetSoundManager(&silent);
    ASSERT_TRUE(manager.ParseResourcesFile("properties/resources.xml")) << manager.GetErrorText();
    Velm::AppResourceSource source(manager);
    ASSERT_TRUE(manager.LoadResources("Init")) << manager.GetErrorText();
    EXPECT_TRUE(Velm::BindInitResources(source)) << manager.GetErrorText();
    ASSERT_TRUE(manager.LoadResources("TitleScreen")) << manager.GetErrorText();
    EXPECT_TRUE(Velm::BindTitleScreenResources(source)) << manager.GetErrorText();
    ASSERT_TRUE(manager.LoadResources("Game")) << manager.GetErrorText();
    EXPECT_TRUE(Velm::BindGameResources(source)) << manager.GetErrorText();
    for (int id = 0; id < Velm::RESOURCE_ID_MAX; ++id) {
        const std::string name = Velm::GetResourceNameById(id);
        if (name.rfind("SOUND_", 0) == 0) continue;  // sound ids of the silent manager may be 0
        EXPECT_NE(Velm::GetResourceById(id), 0) << name << " is not bound";
    }
    EXPECT_TRUE(host.popups.empty()) << host.popups.front();

    // The generator's table is the game's table: same names, same groups.
    const auto& table = mkcontent::GetResourceTable();
    ASSERT_EQ(static_cast<int>(table.size()), Velm::RESOURCE_ID_MAX);
    for (size_t i = 0; i < table.size(); ++i) EXPECT_EQ(table[i].id, Velm::GetResourceNameById(static_cast<int>(i)));

    // Cursors: hot spot in the centre, at most 64 x 64; sparks small enough for the swap burst.
    for (const char* id : {"IMAGE_CUSTOM_POINTER", "IMAGE_CUSTOM_HAND", "IMAGE_CUSTOM_DRAGGING", "IMAGE_CUSTOM_TEXT"}) {
        const auto* res = manager.GetImageRes(id);
        ASSERT_NE(res, nullptr);
        std::unique_ptr<ImageLib::Image> picture(ImageLib::GetImage(res->mPath, false));
        ASSERT_TRUE(picture) << res->mPath;
        EXPECT_LE(picture->mWidth, 64);
        EXPECT_LE(picture->mHeight, 64);
    }
    const auto* sparkle = manager.GetImageRes("IMAGE_SPARKLE");
    ASSERT_NE(sparkle, nullptr);
    std::unique_ptr<ImageLib::Image> sparks(ImageLib::GetImage(sparkle->mPath, false));
    ASSERT_TRUE(sparks);
    EXPECT_LT(sparks->mWidth / 4, 40);
    EXPECT_LT(sparks->mHeight, 50);
}

TEST(ContentCheck, FontsLoadIncludingTheDefaultFont) {
    FileFontHost host;
    for (const char* path :
         {"fonts/Tahoma14", "fonts/default14.txt", "fonts/numbers24.txt", "fonts/defaultadd16.txt"}) {
        Velm::ImageFont font(&host, path);
        ASSERT_NE(font.fontData, nullptr) << path;
        EXPECT_TRUE(font.fontData->initialized) << path;
    }
    Velm::ImageFont glowing(&host, "fonts/defaultadd16.txt");
    ASSERT_NE(glowing.fontData, nullptr);
    EXPECT_EQ(glowing.fontData->layers.size(), 2u) << "FONT_DEFAULT_ADD has its glow layer";
    EXPECT_TRUE(host.popups.empty()) << host.popups.front();
}

TEST(ContentCheck, EveryAnimationHasItsSheetAndTheShuffleEnds) {
    int checked = 0;
    for (const std::string& file : ListFiles()) {
        const bool anim = file.size() > 5 && file.compare(file.size() - 5, 5, ".anim") == 0;
        const bool spr = file.size() > 4 && file.compare(file.size() - 4, 4, ".spr") == 0;
        if (!anim && !spr) continue;
        SCOPED_TRACE(file);
        IniFile_t ini;
        ASSERT_TRUE(LoadIni(file, &ini));
        const IniSection_t& main = ini.GetSection("Main");
        const IniSection_t* sheetSection = spr ? &main : ini.FindSection(Value(main, "Sprite"));
        ASSERT_NE(sheetSection, nullptr) << file << ": no sheet section named by Sprite=" << Value(main, "Sprite");
        SpriteSheet_t sheet;
        ASSERT_TRUE(sheet.LoadFromSection(*sheetSection)) << file;
        EXPECT_FALSE(sheet.rects.empty()) << file << ": the sheet lists no rectangle";
        EXPECT_TRUE(PictureExists(sheet.imageFile)) << file << ": ImageFile=" << sheet.imageFile << " does not exist";
        if (anim) {
            std::stringstream frames(Value(main, "Frames"));
            std::string item;
            int count = 0;
            while (std::getline(frames, item, ',')) {
                ++count;
                EXPECT_LT(std::atoi(item.c_str()), static_cast<int>(sheet.rects.size())) << file << ": frame " << item;
            }
            EXPECT_GT(count, 0) << file << ": no Frames";
            if (main.HasKey("Width")) {
                EXPECT_TRUE(main.GetInt("Width", 0) > 0 && main.GetInt("Height", 0) > 0 && sheet.rects[0].width > 0)
                        << file << ": a scrolling picture needs an area and a tile size";
            }
        }
        ++checked;
    }
    EXPECT_GE(checked, 12);
    IniFile_t shuffle;
    ASSERT_TRUE(LoadIni("data/shuffle.anim", &shuffle));
    EXPECT_EQ(shuffle.GetSection("Main").GetInt("NeverEnding", 1), 0) << "data/shuffle.anim must end";
    for (const char* required : {"data/over.anim", "data/selected2.anim", "data/bridgeshine.anim", "data/shadow.spr",
                                 "data/hint.anim", "data/clouds1.anim", "data/clouds2.anim", "data/waves.anim",
                                 "data/waves2.anim", "data/coll.anim", "data/remover.anim", "data/userbar.anim"})
        EXPECT_TRUE(std::filesystem::is_regular_file(required)) << required << " is missing";
}

TEST(ContentCheck, ParticleEffectsAndTheLevelCompleteBurst) {
    IniFile_t level;
    ASSERT_TRUE(LoadIni("particles/levelcomplete.ini", &level));
    int items = 0;
    for (auto s = level.SectionsBegin(); s != level.SectionsEnd(); ++s)
        if (s->first.find("Item") != std::string::npos) {
            ++items;
            EXPECT_NE(s->second.GetInt("NeverEnding", 0), 1)
                    << "particles/levelcomplete.ini [" << s->first << "] never ends";
        }
    EXPECT_EQ(items, 1) << "particles/levelcomplete.ini must hold exactly one Item";
    for (const std::string& file : ListFiles()) {
        if (file.rfind("particles/", 0) != 0 || file == "particles/highscores.ini") continue;
        IniFile_t ini;
        ASSERT_TRUE(LoadIni(file, &ini));
        for (auto s = ini.SectionsBegin(); s != ini.SectionsEnd(); ++s) {
            if (s->first.find("Item") == std::string::npos) continue;
            EXPECT_TRUE(ImageNameResolves(Value(s->second, "Image"))) << file << " [" << s->first << "] Image";
        }
    }
    IniFile_t high;
    ASSERT_TRUE(LoadIni("particles/highscores.ini", &high));
    EXPECT_TRUE(std::filesystem::is_regular_file("images/" + Value(high.GetSection("Default"), "ImageFile")))
            << "particles/highscores.ini ImageFile";
}

struct LayerCounts {
    std::map<int, int> tiles;  // layer -> count
};

TEST(ContentCheck, EveryStageLevelHasAPlayableLayoutForItsMode) {
    int levels = 0;
    for (const char* list : {"stages/stagessimple.txt", "stages/stages.txt"}) {
        StageCatalogue_t catalogue(list);
        ASSERT_GT(catalogue.GetStageCount(), 0) << list << " lists no stage";
        for (int s = 0; s < catalogue.GetStageCount(); ++s) {
            const Stage_t* stage = catalogue.GetStage(s);
            ASSERT_GT(stage->GetGameCount(0), 0) << list << ": stage " << s << " has no level";
            EXPECT_TRUE(TextKeys().count(stage->name)) << list << ": stage name key '" << stage->name << "'";
            EXPECT_TRUE(PictureExists(stage->day)) << list << ": stage " << s << " Day=" << stage->day;
            EXPECT_TRUE(PictureExists(stage->night)) << list << ": stage " << s << " Night=" << stage->night;
            if (!stage->mapImage.empty()) {
                EXPECT_TRUE(PictureExists(stage->mapImage)) << "MapImage=" << stage->mapImage;
            }
            for (const auto& level : stage->games0) {
                ++levels;
                const std::string where = std::string(list) + " stage " + std::to_string(s) + " level " + level->name;
                EXPECT_TRUE(TextKeys().count(level->name)) << where << ": no text for the name";
                EXPECT_TRUE(level->type >= 0 && level->type <= 6) << where << " Type=" << level->type;
                Velm::LayoutFileData data;
                std::string error;
                ASSERT_TRUE(Velm::LoadLayoutFile("layouts/" + level->layout, data, error)) << where << ": " << error;
                EXPECT_EQ(data.itemCount % 2, 0) << where << ": " << level->layout << " has an odd tile count";
                if (level->type == 2 || level->type == 5) {
                    // Played one layer at a time: every layer from the top down holds an even
                    // number of tiles, at least two and at most 42 (the number of faces).
                    LayerCounts counts;
                    for (const auto& tile : data.tiles) ++counts.tiles[tile.layer];
                    const int top = counts.tiles.rbegin()->first;
                    for (int layer = 0; layer <= top; ++layer) {
                        const int n = counts.tiles.count(layer) ? counts.tiles[layer] : 0;
                        EXPECT_TRUE(n >= 2 && n <= 42 && n % 2 == 0) << where << ": layer " << layer << " holds " << n;
                    }
                }
                if (level->type == 1 || level->type == 6) {
                    for (const auto& tile : data.tiles)
                        EXPECT_EQ(tile.layer, 0) << where << ": the swap and rivers boards are flat";
                }
            }
            if (!stage->mapImage.empty()) {
                EXPECT_GE(stage->mapPoints.size(), stage->games0.size()) << list << ": a map point per level";
            }
        }
    }
    EXPECT_GE(levels, 30);
}

TEST(ContentCheck, FreePlayHasEveryModeTwiceAndEveryAdventureLevelItsOwnBoard) {
    std::map<int, int> modes;  // type -> free-play levels
    std::set<std::string> freeBoards;
    int freeLevels = 0;
    StageCatalogue_t simple("stages/stagessimple.txt");
    for (int s = 0; s < simple.GetStageCount(); ++s)
        for (const auto& level : simple.GetStage(s)->games0) {
            ++freeLevels;
            ++modes[level->type];
            freeBoards.insert(level->layout);
        }
    EXPECT_GE(freeLevels, 24) << "free-play levels";
    for (int type = 0; type <= 6; ++type) EXPECT_GE(modes[type], 2) << "free-play levels of mode " << type;
    std::map<std::string, std::string> adventureBoards;  // layout -> level
    StageCatalogue_t adventure("stages/stages.txt");
    for (int s = 0; s < adventure.GetStageCount(); ++s)
        for (const auto& level : adventure.GetStage(s)->games0) {
            const auto first = adventureBoards.emplace(level->layout, level->name);
            EXPECT_TRUE(first.second) << level->name << " plays the board of " << first.first->second << " ("
                                      << level->layout << ")";
            EXPECT_EQ(freeBoards.count(level->layout), 0u)
                    << level->name << " plays a free-play board (" << level->layout << ")";
        }
    EXPECT_GE(adventureBoards.size(), 6u);
}

TEST(ContentCheck, EveryShippedLayoutPassesTheChecker) {
    int layouts = 0;
    for (const std::string& file : ListFiles()) {
        if (file.rfind("layouts/", 0) != 0) continue;
        Velm::LayoutFileData data;
        std::string error;
        EXPECT_TRUE(Velm::LoadLayoutFile(file, data, error)) << error;
        EXPECT_EQ(data.itemCount % 2, 0) << file;
        if (file == "layouts/classic.lay") {
            EXPECT_EQ(data.itemCount, 144);
        }
        ++layouts;
    }
    EXPECT_GE(layouts, 31);
}

TEST(ContentCheck, TileSetsHaveFiftyGroupsAndTheLogicSetComesLast) {
    TilesetCatalogue_t catalogue;
    catalogue.Load("tilesets/tilesets.set");
    ASSERT_GE(catalogue.GetCount(), 2);
    for (int t = 0; t < catalogue.GetCount(); ++t) {
        const Tileset_t* set = catalogue.GetTileset(t);
        const bool logic = t == catalogue.GetCount() - 1;
        ASSERT_EQ(set->GetGroupCount(), mkcontent::kTileGroupCount) << "tile set " << t;
        int ordinary = 0;
        for (int g = 0; g < set->GetGroupCount(); ++g) {
            const TileGroup_t* group = set->GetGroup(g);
            const mkcontent::TileGroupInfo expected = mkcontent::GetTileGroupInfo(g, logic);
            EXPECT_EQ(group->group, expected.group) << "tile set " << t << " group " << g;
            EXPECT_EQ(group->type, expected.type) << "tile set " << t << " group " << g;
            ordinary += group->type == 0 ? 1 : 0;
            std::unique_ptr<ImageLib::Image> picture(ImageLib::GetImage(group->sprite, false));
            ASSERT_TRUE(picture) << "tile set " << t << " group " << g << ": " << group->sprite;
            EXPECT_EQ(picture->mWidth, 58);
            EXPECT_EQ(picture->mHeight, 68);
        }
        for (int type = 1; type <= 6; ++type) {
            bool found = false;
            for (int g = 0; g < set->GetGroupCount(); ++g) found = found || set->GetGroup(g)->type == type;
            EXPECT_TRUE(found) << "tile set " << t << " has no face of type " << type;
        }
        if (logic) {
            EXPECT_EQ(ordinary, 42) << "the logic set deals exactly its 21 pairs";
        }
    }
}

TEST(ContentCheck, SoundsAndMusicExist) {
    auto exists = [](const std::string& name) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        return std::filesystem::is_regular_file("sounds/" + lower + ".ogg") ||
               std::filesystem::is_regular_file("sounds/" + lower + ".wav");
    };
    for (const char* wave : {"MouseDown",
                             "MouseEnter",
                             "flywindow",
                             "PrevNext",
                             "lightning",
                             "fire",
                             "map",
                             "scorecomplete",
                             "tipwindow",
                             "RemoveColl",
                             "SelectColl",
                             "invalid",
                             "LevelComplete",
                             "StageComplete",
                             "collappear",
                             "Shuffle",
                             "hint",
                             "Hint",
                             "undo",
                             "nomoremoves",
                             "timeup",
                             "timeending",
                             "swap",
                             "swapbonus",
                             "SwapDone",
                             "change",
                             "changebonus",
                             "ChangeDone",
                             "remover",
                             "jewelfound",
                             "jewelfoundscore",
                             "clothesready",
                             "music/mainmenu",
                             "music/track1"})
        EXPECT_TRUE(exists(wave)) << "sounds/" << wave;
    for (const char* descr : {"base", "background", "backgroundnoloop", "fire", "mouseenter"}) {
        std::string text;
        ASSERT_TRUE(ReadBytes(std::string("sounddescr/") + descr, &text)) << "sounddescr/" << descr;
        EXPECT_NE(text.find("Group="), std::string::npos) << "sounddescr/" << descr << " needs a Group";
        const size_t at = text.find("WaveName=");
        if (at != std::string::npos) {
            const std::string wave = text.substr(at + 9, text.find_first_of("\r\n", at) - at - 9);
            EXPECT_TRUE(exists(wave)) << "sounddescr/" << descr << " WaveName=" << wave;
        }
    }
    MusicPlaylist_t playlist;
    playlist.Load("sounds/music/music.txt");
    ASSERT_FALSE(playlist.entries.empty()) << "sounds/music/music.txt";
    for (const auto& entry : playlist.entries)
        for (const std::string& track : entry) EXPECT_TRUE(exists("music/" + track)) << "music track " << track;
    std::string ogg;
    ASSERT_TRUE(ReadBytes("sounds/music/track1.ogg", &ogg));
    EXPECT_EQ(ogg.compare(0, 4, "OggS"), 0) << "the music is Ogg Vorbis";
}

TEST(ContentCheck, EveryTextKeyTheCodeAndTheDataUseExists) {
    std::set<std::string> needed(std::begin(kFixedTextKeys), std::end(kFixedTextKeys));
    // The lookup calls in the sources.
    const std::regex call(R"re((?:Lookup|Text|FormatTextOf|ShowFlyMessage|ShowLevelError)\("([^"]+)"\s*[,)])re");
    for (const char* folder : {"game", "app", "widgets"}) {
        const std::filesystem::path root = std::filesystem::path(VELM_SOURCE_DIR) / folder;
        if (!std::filesystem::exists(root)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.path().extension() != ".cpp") continue;
            std::string source;
            ASSERT_TRUE(ReadBytes(entry.path().string(), &source));
            for (std::sregex_iterator it(source.begin(), source.end(), call), end; it != end; ++it)
                needed.insert((*it)[1].str());
        }
    }
    // Captions of every UI file, names of stage levels and the keys of the help and story pages.
    std::map<std::string, std::string> origin;
    for (const std::string& file : UiFiles()) {
        IniFile_t ini;
        ASSERT_TRUE(LoadIni(file, &ini));
        for (auto s = ini.SectionsBegin(); s != ini.SectionsEnd(); ++s) {
            const std::string caption = Value(s->second, "Caption");
            if (!caption.empty() && s->first != "Main") origin[caption] = file + " [" + s->first + "] Caption";
        }
    }
    for (const char* pages : {"data/help.txt", "data/gameover.txt"}) {
        IniFile_t ini;
        ASSERT_TRUE(LoadIni(pages, &ini));
        for (auto s = ini.SectionsBegin(); s != ini.SectionsEnd(); ++s)
            for (auto k = s->second.KeysBegin(); k != s->second.KeysEnd(); ++k) {
                if (k->first.rfind("Text", 0) != 0) continue;
                std::stringstream fields(k->second.value);
                std::vector<std::string> f;
                std::string item;
                while (std::getline(fields, item, ',')) f.push_back(item);
                const size_t keyField = f.size() >= 7 && std::isdigit(static_cast<unsigned char>(f[3][0])) ? 4 : 1;
                ASSERT_GT(f.size(), keyField) << pages << " [" << s->first << "] " << k->first;
                origin[f[keyField]] = std::string(pages) + " [" + s->first + "] " + k->first;
            }
    }
    for (const auto& entry : origin) needed.insert(entry.first);
    for (const std::string& key : needed) {
        const auto where = origin.find(key);
        EXPECT_TRUE(TextKeys().count(key)) << "termins.txt has no key '" << key << "'"
                                           << (where != origin.end() ? " (used by " + where->second + ")" : "");
    }
}

TEST(ContentCheck, FormatStringsHoldTheConversionsTheCodePasses) {
    std::set<std::string> formats;
    for (const FormatKey& f : kFormatKeys) {
        formats.insert(f.key);
        EXPECT_EQ(Conversions(TextOf(f.key)), f.conversions) << "termins.txt " << f.key << "=" << TextOf(f.key);
    }
    for (int page = 1; page <= 3; ++page) {
        const std::string key = "HelpText" + std::to_string(page);
        formats.insert(key);
        EXPECT_TRUE(HelpPages_t::IsSafeHelpText(TextOf(key))) << "termins.txt " << key;
    }
    for (const std::string& key : TextKeys())
        if (!formats.count(key)) {
            EXPECT_TRUE(Conversions(TextOf(key)).empty()) << "termins.txt " << key << " holds a '%'";
        }
}

}  // namespace
