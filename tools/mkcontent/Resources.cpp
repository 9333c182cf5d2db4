#include "tools/mkcontent/Resources.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "tools/mkcontent/Audio.h"
#include "tools/mkcontent/Pictures.h"
#include "tools/mkcontent/Studio.h"
#include "tools/mkcontent/TextFiles.h"
#include "tools/mkfont/FontMaker.h"

namespace mkcontent {

namespace {

using RK = ResourceKind;

const char kSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char kSansBold[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char kSerifBold[] = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";

struct FontInfo {
    const char* id;
    const char* ttf;
    int points;
    bool glow = false;  // a second, additive layer of the same glyphs under the first
};

// Sizes in points at 96 dpi (14 points are 19 pixels).
const FontInfo kFonts[] = {
        {"FONT_DEFAULT", kSans, 11},   {"FONT_DIREVIR", kSerifBold, 17},          {"FONT_DEFAULTBOLD", kSansBold, 11},
        {"FONT_DEFAULT12", kSans, 9},  {"FONT_DEFAULTSMALL", kSans, 8},           {"FONT_DEFAULT7", kSans, 7},
        {"FONT_DEFAULT16", kSans, 12}, {"FONT_DEFAULT_ADD", kSansBold, 12, true}, {"FONT_NUMBERS", kSansBold, 18},
};

// The descriptor gets a layer "Glow" made from "Main", drawn first and additively in a warm
// colour, so the text shines.
bool AppendGlowLayer(const std::string& descriptor, std::string* error) {
    std::ofstream file(descriptor, std::ios::binary | std::ios::app);
    file << "CreateLayerFrom Glow Main;\nLayerSetDrawMode Glow 1;\nLayerSetColorMult Glow 0x90FFC040;\n"
            "LayerSetBaseOrder Glow -1;\n";
    if (!file) *error = "cannot write " + descriptor;
    return static_cast<bool>(file);
}

}  // namespace

const std::vector<ResourceInfo>& GetResourceTable() {
    static const std::vector<ResourceInfo> table = {
            {"FONT_DEFAULT", RK::Font, "Init", "fonts/default14.txt", ""},
            {"FONT_DIREVIR", RK::Font, "Init", "fonts/direvir22.txt", ""},
            {"FONT_DEFAULTBOLD", RK::Font, "Init", "fonts/defaultbold14.txt", ""},
            {"FONT_DEFAULT12", RK::Font, "Init", "fonts/default12.txt", ""},
            {"FONT_DEFAULTSMALL", RK::Font, "Init", "fonts/default10.txt", ""},
            {"FONT_DEFAULT7", RK::Font, "Init", "fonts/default9.txt", ""},
            {"FONT_DEFAULT16", RK::Font, "Init", "fonts/default16.txt", ""},
            {"FONT_DEFAULT_ADD", RK::Font, "Init", "fonts/defaultadd16.txt", ""},
            {"FONT_NUMBERS", RK::Font, "Init", "fonts/numbers24.txt", ""},
            {"IMAGE_CUSTOM_POINTER", RK::Image, "Init", "images/cursors/pointer", ""},
            {"IMAGE_CUSTOM_HAND", RK::Image, "Init", "images/cursors/hand", ""},
            {"IMAGE_CUSTOM_DRAGGING", RK::Image, "Init", "images/cursors/drag", ""},
            {"IMAGE_CUSTOM_TEXT", RK::Image, "Init", "images/cursors/text", ""},
            {"IMAGE_TITLE_BACK", RK::Image, "TitleScreen", "images/title/back", ""},
            {"IMAGE_TITLE_PROGRESS", RK::Image, "TitleScreen", "images/title/progress", ""},
            {"SOUND_MUTATOR", RK::Sound, "Game", "sounds/mutator", ""},
            {"SOUND_TIMER", RK::Sound, "Game", "sounds/timer", ""},
            {"IMAGE_CHECKBOX", RK::Image, "Game", "images/game/checkbox", ""},
            {"IMAGE_DIALOG_BOX", RK::Image, "Game", "images/game/dialogbox", ""},
            {"IMAGE_DIALOG_SELECTUSER", RK::Image, "Game", "images/game/dialogselectuser", ""},
            {"IMAGE_DIALOG_BUTTON", RK::Image, "Game", "images/game/dialogbutton", ""},
            {"IMAGE_BUTTON_BOARD_HINT", RK::Image, "Game", "images/game/boardhint", ""},
            {"IMAGE_BUTTON_BOARD_MENU", RK::Image, "Game", "images/game/boardmenu", ""},
            {"IMAGE_BUTTON_BOARD_SHUFFLE", RK::Image, "Game", "images/game/boardshuffle", ""},
            {"IMAGE_BUTTON_BOARD_UNDO", RK::Image, "Game", "images/game/boardundo", ""},
            {"IMAGE_SLIDER_TRACK", RK::Image, "Game", "images/game/slidertrack", ""},
            {"IMAGE_SLIDER_THUMB", RK::Image, "Game", "images/game/sliderthumb", ""},
            {"IMAGE_DIALOG_USER", RK::Image, "Game", "images/game/dialoguser", ""},
            {"IMAGE_SPARKLE", RK::Image, "Game", "images/game/sparkle", "rows=\"1\" cols=\"4\""},
            {"IMAGE_MAIN_STAR_SPARKLE", RK::Image, "Game", "images/game/starsparkle", ""},
            {"IMAGE_GAME_BACK", RK::Image, "Game", "images/game/back", ""},
            {"IMAGE_BUTTON_PLAY", RK::Image, "Game", "images/game/buttonplay", ""},
            {"IMAGE_BUTTON_SIMPLE", RK::Image, "Game", "images/game/buttonsimple", ""},
            {"IMAGE_BUTTON_HIGHSCORES", RK::Image, "Game", "images/game/buttonhighscores", ""},
            {"IMAGE_BUTTON_HELP", RK::Image, "Game", "images/game/buttonhelp", ""},
            {"IMAGE_BUTTON_OPTIONS", RK::Image, "Game", "images/game/buttonoptions", ""},
            {"IMAGE_BUTTON_EXIT", RK::Image, "Game", "images/game/buttonexit", ""},
            {"IMAGE_MAIN_CLOUDS1", RK::Image, "Game", "images/game/clouds1", ""},
            {"IMAGE_MAIN_CLOUDS2", RK::Image, "Game", "images/game/clouds2", ""},
            {"IMAGE_MAIN_TITLE", RK::Image, "Game", "images/game/title", ""},
            {"IMAGE_MAP_BACK", RK::Image, "Game", "images/game/mapback", ""},
            {"IMAGE_MAIN_TOP", RK::Image, "Game", "images/game/bartop", ""},
            {"IMAGE_MAIN_BOTTOM", RK::Image, "Game", "images/game/barbottom", ""},
            {"IMAGE_NUMBERS", RK::Image, "Game", "images/game/numbers", ""},
            {"IMAGE_BUTTON_PAGESCROLL", RK::Image, "Game", "images/game/pagescroll", ""},
            {"IMAGE_OVER", RK::Image, "Game", "images/game/over", ""},
            {"IMAGE_LEVELCOMPLETE", RK::Image, "Game", "images/game/levelcomplete", ""},
            {"IMAGE_SIMPLE_BUT", RK::Image, "Game", "images/game/simplebut", ""},
            {"IMAGE_PARTICLES", RK::Image, "Game", "images/game/particles", ""},
            {"IMAGE_SNOW", RK::Image, "Game", "images/game/snow", ""},
            {"IMAGE_COLLGRAY", RK::Image, "Game", "images/game/collgray", ""},
            {"IMAGE_GOLDCHAIN", RK::Image, "Game", "images/game/goldchain", ""},
            {"IMAGE_TIP", RK::Image, "Game", "images/game/tip", ""},
            {"IMAGE_DIALOG", RK::Image, "Game", "images/game/dialog", ""},
            {"IMAGE_TIP_ARROW", RK::Image, "Game", "images/game/tiparrow", ""},
            {"IMAGE_DIALOG_CIRCLE", RK::Image, "Game", "images/game/dialogcircle", ""},
            {"IMAGE_DIALOG_RECT", RK::Image, "Game", "images/game/dialogrect", ""},
            {"IMAGE_TIME_IS_OVER", RK::Image, "Game", "images/game/timeisover", ""},
            {"IMAGE_LEVEL_COMPLETE", RK::Image, "Game", "images/game/levelcompletebanner", ""},
            {"IMAGE_TIME_BONUS", RK::Image, "Game", "images/game/timebonus", ""},
            {"IMAGE_RING_BLUE", RK::Image, "Game", "images/game/ringblue", ""},
            {"IMAGE_RING_GREEN", RK::Image, "Game", "images/game/ringgreen", ""},
            {"IMAGE_RING_PURPLE", RK::Image, "Game", "images/game/ringpurple", ""},
            {"IMAGE_RING_RED", RK::Image, "Game", "images/game/ringred", ""},
            {"IMAGE_RING_YELLOW", RK::Image, "Game", "images/game/ringyellow", ""},
            {"IMAGE_BLINK_COLL", RK::Image, "Game", "images/game/blinkcoll", ""},
            {"IMAGE_LIGHTNING", RK::Image, "Game", "images/game/lightning", "rows=\"1\" cols=\"4\""},
            {"IMAGE_EFFECTMODE", RK::Image, "Game", "images/game/effectmode", ""},
            {"IMAGE_HELP_BACK", RK::Image, "Game", "images/game/helpback", ""},
            {"IMAGE_MAP_LEVEL_UNCOMPLETE", RK::Image, "Game", "images/game/maplevel", ""},
            {"IMAGE_MAP_LEVEL_COMPLETE", RK::Image, "Game", "images/game/maplevelcomplete", ""},
    };
    return table;
}

std::string ManifestText() {
    std::string text =
            "<?xml version=\"1.0\"?>\n<!-- Made by mkcontent from its resource table. -->\n<ResourceManifest>\n";
    std::string group;
    std::string folder;
    for (const ResourceInfo& r : GetResourceTable()) {
        if (group != r.group) {
            if (!group.empty()) text += "  </Resources>\n";
            group = r.group;
            folder.clear();
            text += "  <Resources id=\"" + group + "\">\n";
        }
        const std::string path = r.path;
        const size_t slash = path.rfind('/');
        const std::string dir = path.substr(0, slash), file = path.substr(slash + 1);
        if (dir != folder) {
            folder = dir;
            text += "    <SetDefaults path=\"" + folder + "\" idprefix=\"\"/>\n";
        }
        const char* element = r.kind == RK::Font ? "Font" : r.kind == RK::Image ? "Image" : "Sound";
        text += std::string("    <") + element + " id=\"" + r.id + "\" path=\"" + file + "\"";
        if (r.attributes[0] != 0) text += std::string(" ") + r.attributes;
        text += "/>\n";
    }
    text += "  </Resources>\n</ResourceManifest>\n";
    return text;
}

bool MakeResources(Studio& studio, std::string* error) {
    const std::map<std::string, std::function<Canvas(Studio&)>> painters = GetResourcePainters();
    for (const ResourceInfo& r : GetResourceTable()) {
        const std::string full = studio.Root() + "/" + r.path;
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path(), ignored);
        if (r.kind == RK::Font) {
            for (const FontInfo& f : kFonts) {
                if (std::string(f.id) != r.id) continue;
                mkfont::Options options;
                options.fontPath = f.ttf;
                options.pointSize = f.points;
                options.descriptorPath = full;
                const std::string file = std::string(r.path).substr(std::string(r.path).rfind('/') + 1);
                options.imageName = file.substr(0, file.rfind('.')) + ".png";
                if (!mkfont::MakeFont(options, error)) return false;
                if (f.glow && !AppendGlowLayer(full, error)) return false;
            }
        } else if (r.kind == RK::Sound) {
            // Bound only: a short soft tick.
            if (!WriteWav(full + ".wav", Tone(0.1f, 880, 880, {0.3f}, 0.002f, 0.03f))) {
                *error = "cannot write " + full + ".wav";
                return false;
            }
        } else {
            const auto painter = painters.find(r.id);
            if (painter == painters.end()) {
                *error = std::string("no picture maker for ") + r.id;
                return false;
            }
            studio.Save(r.path, painter->second(studio));
        }
    }
    if (!WriteText(studio.Root(), "properties/resources.xml", ManifestText(), false)) {
        *error = "cannot write properties/resources.xml";
        return false;
    }
    return true;
}

}  // namespace mkcontent
