#include "game/shell/screens/History.h"

#include <cstdio>

#include "engine/util/ComString.h"
#include "engine/util/IniFile.h"
#include "game/shell/DataNumbers.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/screens/HelpPages.h"
#include "game/shell/screens/TipWidget.h"
#include "graphics/Graphics.h"
#include "platform/DebugOutput.h"

namespace Velm {

namespace {

int ToInt(const std::string& text) { return DataNumbers::LeadingInt(text); }

// Coordinates and sizes are held near the screen, so that a box's centre and its balloon's
// size never wrap.
int Coordinate(const std::string& text) { return DataNumbers::ClampCoordinate(ToInt(text)); }

int Ticks(const std::string& text) { return DataNumbers::Clamp(ToInt(text), 0, DataNumbers::kMaxTicks); }

Color HexColour(const std::string& text) {
    unsigned value = 0;
    if (std::sscanf(text.c_str(), "%x", &value) != 1) value = 0;
    return Color(static_cast<int>(value));
}

Font* FontByName(const std::string& name) {
    const int id = GetResourceIdByName(name.c_str());
    if (id < FONT_DEFAULT_ID || id > FONT_NUMBERS_ID) return nullptr;
    return reinterpret_cast<Font*>(GetResourceById(id));
}

void Complain(const std::string& origin, const std::string& section, const std::string& key, const std::string& what) {
    plat::DebugOutput("Story: " + what + " in " + section + " " + key + " in File '" + origin + "'\n");
}

// The values of prefix0, prefix1, ... while they are not empty.
std::vector<std::pair<std::string, std::string>> NumberedValues(const IniSection_t& section, const char* prefix) {
    std::vector<std::pair<std::string, std::string>> values;
    std::string value;
    for (int i = 0;; ++i) {
        const std::string key = prefix + std::to_string(i);
        section.GetString(key.c_str(), "", value);
        if (value.empty()) return values;
        values.emplace_back(key, value);
    }
}

}  // namespace

History_t::History_t() = default;

History_t::~History_t() { Clear(); }

void History_t::Load(const std::string& fileName, HistoryListener* newListener, const std::string& playerName) {
    IniFile_t file;
    file.Load(fileName, true);
    Load(file, newListener, playerName);
}

void History_t::Load(const IniFile_t& file, HistoryListener* newListener, const std::string& playerName) {
    Clear();
    listener = newListener;
    page = 0;
    done = false;
    const IniSection_t* main = file.FindSection("Main");
    if (main != nullptr) {
        int pageCount = main->GetInt("PagesCount", 0);
        if (pageCount > DataNumbers::kMaxPages) {
            Complain(file.GetOriginName(), "Main", "PagesCount",
                     std::to_string(pageCount) + " pages; only the first " + std::to_string(DataNumbers::kMaxPages) +
                             " read");
            pageCount = DataNumbers::kMaxPages;
        }
        x = DataNumbers::ClampCoordinate(main->GetInt("X", 0));
        y = DataNumbers::ClampCoordinate(main->GetInt("Y", 0));
        showGirl = main->GetInt("ShowGirl", 1) != 0;
        for (const auto& entry : NumberedValues(*main, "Rect")) {
            std::vector<std::string> f;
            com_string::Split(entry.second.c_str(), ',', f);
            f.resize(4);
            rects.emplace_back(Coordinate(f[0]), Coordinate(f[1]), Coordinate(f[2]), Coordinate(f[3]));
        }
        for (int i = 0; i < pageCount; ++i) ReadPage(file, i, playerName);
    }
    tick = 0;
    charStep = 5;
    charsShown = 1;
    item = 0;
    StartItem();
}

void History_t::ReadPage(const IniFile_t& file, int index, const std::string& playerName) {
    auto newPage = std::make_unique<HistoryPage_t>();
    const std::string name = "Page" + std::to_string(index);
    const std::string& origin = file.GetOriginName();
    if (const IniSection_t* section = file.FindSection(name)) {
        for (const auto& entry : NumberedValues(*section, "Text")) {
            std::vector<std::string> f;
            com_string::Split(entry.second.c_str(), ',', f);
            HistoryItem_t text;
            size_t next = 0;
            if (!rects.empty()) {
                if (f.size() < 2) {
                    Complain(origin, name, entry.first, "too few fields");
                    continue;
                }
                const int rectIndex = ToInt(f[0]);
                if (rectIndex < 0 || rectIndex >= static_cast<int>(rects.size())) {
                    Complain(origin, name, entry.first,
                             "rect index " + f[0] + " outside the " + std::to_string(rects.size()) + " rects; skipped");
                    continue;
                }
                const Rect& r = rects[static_cast<size_t>(rectIndex)];
                text.x = r.x;
                text.y = r.y;
                text.w = r.width;
                text.h = r.height;
                text.key = f[1];
                if (f.size() > 2) text.colour = HexColour(f[2]);
                if (f.size() > 3) text.extra = ToInt(f[3]);
                if (f.size() > 4) text.revealTime = text.holdTime = Ticks(f[4]);
                next = 5;
            } else {
                if (f.size() < 5) {
                    Complain(origin, name, entry.first, "too few fields");
                    continue;
                }
                text.x = Coordinate(f[0]);
                text.y = Coordinate(f[1]);
                text.w = Coordinate(f[2]);
                text.h = Coordinate(f[3]);
                text.key = f[4];
                if (f.size() > 5) text.colour = HexColour(f[5]);
                if (f.size() > 6) text.extra = ToInt(f[6]);
                if (f.size() > 7) text.revealTime = Ticks(f[7]);
                if (f.size() > 8) text.holdTime = Ticks(f[8]);
                next = 9;
            }
            if (f.size() > next) text.shape = ToInt(f[next]);
            if (f.size() > next + 1) text.font = FontByName(f[next + 1]);
            const std::string written = TextTable_t::Instance()->Lookup(text.key);
            if (!HelpPages_t::IsSafeHelpText(written)) {
                Complain(origin, name, entry.first,
                         "text '" + text.key + "' has a '%' other than one %s or %%; shown as written");
            }
            text.text = HelpPages_t::FormatHelpText(written, playerName);
            newPage->items.push_back(std::move(text));
        }
        for (const auto& entry : NumberedValues(*section, "Image")) {
            std::vector<std::string> f;
            com_string::Split(entry.second.c_str(), ',', f);
            if (f.size() < 3) {
                Complain(origin, name, entry.first, "too few fields");
                continue;
            }
            auto picture = std::make_unique<StillImage_t>();
            picture->x = static_cast<float>(Coordinate(f[0]));
            picture->y = static_cast<float>(Coordinate(f[1]));
            picture->centred = false;
            const int id = GetResourceIdByName(f[2].c_str());
            if (f[2].compare(0, 6, "IMAGE_") == 0 && id != RESOURCE_ID_MAX) {
                picture->SetImagePtr(reinterpret_cast<Image*>(GetResourceById(id)));
            } else {
                picture->SetImage(f[2]);
            }
            newPage->pictures.push_back(std::move(picture));
        }
    }
    pages.push_back(std::move(newPage));
}

const HistoryItem_t* History_t::CurrentItem() const {
    if (page < 0 || page >= GetPageCount()) return nullptr;
    const std::vector<HistoryItem_t>& items = pages[static_cast<size_t>(page)]->items;
    if (item < 0 || item >= static_cast<int>(items.size())) return nullptr;
    return &items[static_cast<size_t>(item)];
}

HistoryItem_t* History_t::MutableItem() { return const_cast<HistoryItem_t*>(CurrentItem()); }

std::string History_t::ShownText() const {
    const HistoryItem_t* current = CurrentItem();
    if (current == nullptr) return std::string();
    return current->text.substr(0, static_cast<size_t>(std::max(0, charsShown)));
}

void History_t::StartItem() {
    HistoryItem_t* current = MutableItem();
    if (current == nullptr) return;
    Graphics measure;
    measure.SetFont(FONT_DEFAULT);
    current->h = DataNumbers::ClampCoordinate(measure.GetWordWrappedHeight(current->w, current->text));
    boxTransform.Reset();
    if (current->shape != 0) {
        boxTransform.Scale(static_cast<float>(current->w) / 85.0f, static_cast<float>(current->h) / 88.0f);
    } else {
        boxTransform.Scale(static_cast<float>(current->w) / 90.0f, static_cast<float>(current->h) / 47.0f);
    }
    boxTransform.Translate(static_cast<float>(current->x + current->w / 2),
                           static_cast<float>(current->y + current->h / 2));
    ShowBalloon(current->text, current->x, current->y, current->w, current->h);
}

void History_t::ShowBalloon(const std::string& text, int bx, int by, int bw, int bh) {
    balloon.reset();
    balloon = std::make_unique<TipWidget>(text, bw + 70, bh + 90);
    balloon->playSound = balloonSound;
    balloon->showArrow = false;
    balloon->PlaceAt(bx, by);
    // The story draws its text itself.
    balloon->mDialogFooter.clear();
    balloon->mDialogLines.clear();
    balloon->mDialogHeader.clear();
}

bool History_t::Tick() {
    if (done) return true;
    if (balloon) balloon->Update();
    if (tick == 0 && listener != nullptr) listener->OnItemStarted(item);
    ++tick;
    const HistoryItem_t* current = CurrentItem();
    if (current == nullptr) {
        // A story without pages (or a page without texts) has nothing to show: it is over.
        if (page >= GetPageCount()) {
            done = true;
            if (listener != nullptr) listener->OnHistoryDone();
        }
        return done;
    }
    if (tick >= current->revealTime + current->holdTime) {
        tick = 0;
        if (listener != nullptr) listener->OnItemDone(item);
        ++item;
        charsShown = 1;
        if (CurrentItem() != nullptr) {
            StartItem();
        } else {
            item = 0;
            ++page;
            done = page >= GetPageCount();
            if (done) {
                if (listener != nullptr) listener->OnHistoryDone();
            } else {
                StartItem();
            }
        }
    }
    const HistoryItem_t* shown = CurrentItem();
    if (!done && shown != nullptr && tick % charStep == 0 && charsShown < static_cast<int>(shown->text.size())) {
        ++charsShown;
    }
    return done;
}

void History_t::SkipCurrentText() {
    const HistoryItem_t* current = CurrentItem();
    if (done || current == nullptr) return;
    if (tick < current->revealTime) {
        tick = current->revealTime;
        charsShown = static_cast<int>(current->text.size());
    } else {
        tick = current->revealTime + current->holdTime;
    }
}

bool History_t::IsPageFinished() const {
    if (done) return true;
    const HistoryItem_t* current = CurrentItem();
    if (current == nullptr) return true;
    const int count = static_cast<int>(pages[static_cast<size_t>(page)]->items.size());
    return item == count - 1 && tick == current->revealTime + current->holdTime;
}

bool History_t::NextPage() {
    ++page;
    done = page >= GetPageCount();
    return !done;
}

void History_t::Draw(Graphics* g) {
    if (page < 0 || page >= GetPageCount()) return;
    g->PushState();
    for (const std::unique_ptr<StillImage_t>& picture : pages[static_cast<size_t>(page)]->pictures) {
        picture->Draw(g, 255.0f);
    }
    if (balloon) {
        g->PushState();
        g->Translate(balloon->mX - 30, balloon->mY - 30);
        balloon->Draw(g);
        g->PopState();
    }
    if (const HistoryItem_t* current = CurrentItem()) {
        g->SetFont(current->font != nullptr ? current->font : FONT_DEFAULT);
        g->SetColor(current->colour);
        g->WriteWordWrapped(Rect(current->x, current->y, current->w, current->h), current->text, -1, -1, nullptr,
                            charsShown);
    }
    g->PopState();
}

void History_t::Clear() {
    pages.clear();
    rects.clear();
    balloon.reset();
}

}  // namespace Velm
