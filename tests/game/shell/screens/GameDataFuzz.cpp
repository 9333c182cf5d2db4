// Fuzz target: arbitrary bytes read as each of the game's own data files that a player or a
// modder can replace: help pages, a story, the text table and the tips shown from it, a stage
// list and a stage file, a UI description and a style file. Every reader must take anything
// without crashing, hanging or allocating without bound. Seeded with the shipped content.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "engine/util/IniFile.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TextTable.h"
#include "game/shell/TipKeys.h"
#include "game/shell/screens/HelpPages.h"
#include "game/shell/screens/History.h"
#include "game/shell/screens/TipWidget.h"
#include "game/shell/ui/UiDescription.h"
#include "game/shell/ui/UiStyleRegistry.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/DebugOutput.h"
#include "tests/widgets/WidgetTestSupport.h"

namespace {

// The file readers take a path: the input is written to the working folder first.
const char* const kInputFile = "fuzz_game_data.txt";

void ReadAsFiles(const uint8_t* data, size_t size) {
    {
        std::ofstream out(kInputFile, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Stage_t stage;
    stage.Load(kInputFile);
    stage.GetGameCount(0);
    StageCatalogue_t catalogue(kInputFile);
    catalogue.GetTotalGameCount();
    catalogue.GetFlatGameIndex(0, 0);
}

void ReadAsPagesAndTexts(const IniFile_t& ini, Velm::Graphics& g) {
    TextTable_t::Destroy();
    TextTable_t::Instance()->Load(ini);
    HelpPages_t help;
    help.Load(ini);
    for (int page = 0; page < help.GetPageCount() && page < 4; ++page) help.DrawPage(page, &g);

    Velm::History_t story;
    story.Load(ini, nullptr, "Player");
    for (int tick = 0; tick < 50 && !story.Tick(); ++tick) story.SkipCurrentText();
    story.Draw(&g);

    // One tip an input (each builds its dialog from its UI file): which one follows the size.
    const std::string key = Velm::GetTipKey(static_cast<int>(ini.GetSectionCount()) % 24);
    if (!key.empty()) {
        Velm::TipWidget widget(TextTable_t::Instance()->Lookup(key));
        widget.PlaceAt(512, 384);
        widget.Draw(&g);
    }
    TextTable_t::Destroy();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::CapturedDebugOutput quiet;
    const char* text = reinterpret_cast<const char*>(data);

    IniFile_t ini;
    ini.Parse(text, size, true, "fuzz.txt");
    static Velm::MemoryImage* screen = [] {
        Velm::FONT_DEFAULT = new VelmTest::TestFont();  // fixed widths: text is laid out and wrapped
        auto* image = new Velm::MemoryImage();
        image->Create(1024, 768);
        return image;
    }();
    Velm::Graphics g(screen);
    ReadAsPagesAndTexts(ini, g);

    Velm::UiStyleRegistry_t& styles = Velm::UiStyleRegistry_t::Instance();
    styles.Clear();
    styles.Parse(text, size, "ui/interf.txt");
    { Velm::UiDescription_t description(text, size, "ui/fuzz.txt", nullptr); }
    styles.Clear();

    ReadAsFiles(data, size);
    return 0;
}
