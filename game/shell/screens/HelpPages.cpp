#include "game/shell/screens/HelpPages.h"

#include <cstdio>
#include <functional>

#include "engine/util/IniFile.h"
#include "game/shell/DataNumbers.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/screens/TextFormat.h"
#include "graphics/Graphics.h"
#include "platform/DebugOutput.h"

namespace {

// Splits at commas keeping empty fields, each trimmed of spaces and tabs.
std::vector<std::string> SplitFields(const std::string& value, char delimiter) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t end = value.find(delimiter, start);
        std::string field = value.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const size_t first = field.find_first_not_of(" \t");
        const size_t last = field.find_last_not_of(" \t");
        fields.push_back(first == std::string::npos ? std::string() : field.substr(first, last - first + 1));
        if (end == std::string::npos) {
            return fields;
        }
        start = end + 1;
    }
}

// Coordinates are held near the screen, so that adding the page's offset never wraps.
int Coordinate(const std::string& text) { return DataNumbers::ClampCoordinate(DataNumbers::LeadingInt(text)); }

int ToInt(const std::string& text) { return DataNumbers::LeadingInt(text); }

bool IsFontId(int id) { return id >= Velm::FONT_DEFAULT_ID && id <= Velm::FONT_NUMBERS_ID; }

bool IsImageId(int id) {
    return id >= Velm::IMAGE_CUSTOM_POINTER_ID && id < Velm::RESOURCE_ID_MAX && id != Velm::SOUND_MUTATOR_ID &&
           id != Velm::SOUND_TIMER_ID;
}

void Complain(const std::string& origin, const std::string& section, const std::string& key, const std::string& what) {
    plat::DebugOutput("Help: " + what + " in " + section + " " + key + " in File '" + origin + "'\n");
}

void ReadText(HelpPage_t& page, const std::string& value, const std::string& origin, const std::string& section,
              const std::string& key) {
    const std::vector<std::string> f = SplitFields(value, ',');
    if (f.size() < 7) {
        Complain(origin, section, key, "too few fields");
        return;
    }
    HelpTextItem_t item;
    item.x = Coordinate(f[0]) + page.dx;
    item.y = Coordinate(f[1]) + page.dy;
    item.w = Coordinate(f[2]);
    item.h = Coordinate(f[3]);
    item.key = f[4];
    unsigned colour = 0;
    if (std::sscanf(f[5].c_str(), "%x", &colour) != 1) {
        colour = 0;
    }
    item.colour = Velm::Color(static_cast<int>(colour));
    item.justification = ToInt(f[6]);
    if (f.size() > 7) {
        const int id = Velm::GetResourceIdByName(f[7].c_str());
        if (IsFontId(id)) {
            item.font = reinterpret_cast<Velm::Font*>(Velm::GetResourceById(id));
        }
    }
    const std::string text = TextTable_t::Instance()->Lookup(item.key);
    if (!HelpPages_t::IsSafeHelpText(text)) {
        Complain(origin, section, key, "text '" + item.key + "' has a '%' other than one %s or %%; shown as written");
    }
    page.texts.push_back(item);
}

void ReadImage(HelpPage_t& page, const std::string& value, const std::string& origin, const std::string& section,
               const std::string& key) {
    const std::vector<std::string> f = SplitFields(value, ',');
    if (f.size() < 3) {
        Complain(origin, section, key, "too few fields");
        return;
    }
    auto picture = std::make_unique<StillImage_t>();
    picture->x = static_cast<float>(Coordinate(f[0]) + page.dx);
    picture->y = static_cast<float>(Coordinate(f[1]) + page.dy);
    picture->centred = false;
    const int id = Velm::GetResourceIdByName(f[2].c_str());
    if (IsImageId(id)) {
        picture->SetImagePtr(reinterpret_cast<Velm::Image*>(Velm::GetResourceById(id)));
    } else {
        picture->SetImage(f[2]);
    }
    if (f.size() > 3) {
        int rx = 0;
        int ry = 0;
        int rw = 0;
        int rh = 0;
        if (std::sscanf(f[3].c_str(), "%d;%d;%d;%d", &rx, &ry, &rw, &rh) == 4) {
            picture->srcRect = Velm::Rect(rx, ry, rw, rh);
        }
    }
    page.pictures.push_back(std::move(picture));
}

// Hands prefix0, prefix1, ... to read while their values are not empty.
void ReadNumberedKeys(const IniSection_t& section, const char* prefix,
                      const std::function<void(const std::string& key, const std::string& value)>& read) {
    std::string value;
    for (int i = 0;; ++i) {
        const std::string key = prefix + std::to_string(i);
        section.GetString(key.c_str(), "", value);
        if (value.empty()) {
            return;
        }
        read(key, value);
    }
}

}  // namespace

HelpPages_t::~HelpPages_t() { Clear(); }

void HelpPages_t::Load(const std::string& fileName) {
    IniFile_t file;
    if (!file.Load(fileName, true)) {
        plat::DebugOutput("Help: cannot open '" + fileName + "'; no help pages\n");
    }
    Load(file);
}

void HelpPages_t::Load(const IniFile_t& file) {
    Clear();
    const std::string& origin = file.GetOriginName();
    const IniSection_t* main = file.FindSection("Main");
    int count = main != nullptr ? main->GetInt("PagesCount", 0) : 0;
    if (count > DataNumbers::kMaxPages) {
        Complain(origin, "Main", "PagesCount",
                 std::to_string(count) + " pages; only the first " + std::to_string(DataNumbers::kMaxPages) + " read");
        count = DataNumbers::kMaxPages;
    }
    for (int p = 0; p < count; ++p) {
        auto newPage = std::make_unique<HelpPage_t>();
        const std::string sectionName = "Page" + std::to_string(p);
        const IniSection_t* section = file.FindSection(sectionName);
        if (section != nullptr) {
            newPage->dx = DataNumbers::ClampCoordinate(section->GetInt("DX", 0));
            newPage->dy = DataNumbers::ClampCoordinate(section->GetInt("DY", 0));
            ReadNumberedKeys(*section, "Text", [&](const std::string& key, const std::string& value) {
                ReadText(*newPage, value, origin, sectionName, key);
            });
            ReadNumberedKeys(*section, "Image", [&](const std::string& key, const std::string& value) {
                ReadImage(*newPage, value, origin, sectionName, key);
            });
        }
        pages.push_back(std::move(newPage));
    }
    page = 0;
}

bool HelpPages_t::NextPage() {
    if (page + 1 < GetPageCount()) {
        page += 1;
    }
    return page < GetPageCount();
}

bool HelpPages_t::PrevPage() {
    page -= 1;
    return true;
}

void HelpPages_t::Draw(Velm::Graphics* g) { DrawPage(page, g); }

void HelpPages_t::DrawPage(int index, Velm::Graphics* g) {
    if (index < 0 || index >= GetPageCount()) {
        return;
    }
    const HelpPage_t& shown = *pages[static_cast<size_t>(index)];
    const Profile_t* profile = ProfileManager_t::Instance()->GetCurrentProfile();
    const std::string name = profile != nullptr ? profile->name : std::string();
    for (const HelpTextItem_t& item : shown.texts) {
        g->SetFont(item.font != nullptr ? item.font : Velm::FONT_DEFAULT);
        g->SetColor(item.colour);
        const std::string text = FormatHelpText(TextTable_t::Instance()->Lookup(item.key), name);
        g->WriteWordWrapped(Velm::Rect(item.x, item.y, item.w, item.h), text, -1, item.justification);
    }
    for (const auto& picture : shown.pictures) {
        picture->Draw(g, 255.0f);
    }
}

void HelpPages_t::Clear() {
    pages.clear();
    page = 0;
}

bool HelpPages_t::IsSafeHelpText(const std::string& text) {
    int names = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (next == 's') {
            names += 1;
        } else if (next != '%') {
            return false;
        }
        i += 1;
    }
    return names <= 1;
}

std::string HelpPages_t::FormatHelpText(const std::string& text, const std::string& playerName) {
    return IsSafeHelpText(text) ? Velm::FormatText(text, {playerName}) : text;
}
