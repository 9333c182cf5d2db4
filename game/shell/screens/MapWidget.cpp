#include "game/shell/screens/MapWidget.h"

#include "game/board/effects/EffectChange3One.h"
#include "game/shell/GameIds.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TilesetCatalogue.h"
#include "game/shell/ui/GameUiHost.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/WidgetFlags.h"

namespace Velm {

MapWidget_t::MapWidget_t(GameApp* app) : MapWidget_t(StoryScreenLinks::LinksOf(app), kUiFile) {}

MapWidget_t::MapWidget_t(const StoryScreenLinks& screenLinks, const std::string& uiFile)
        : BaseDialogWidget(1, false), links(screenLinks) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_UPDATE | WIDGETFLAGS_MARK_DIRTY;
    description = std::make_unique<UiDescription_t>(uiFile, this);
    if (const Point* at = description->FindPoint("Paper")) {
        paper.x = static_cast<float>(at->x);
        paper.y = static_cast<float>(at->y);
    }
    paper.centred = false;
    background.SetImagePtr(IMAGE_MAP_BACK);
    background.centred = false;
}

MapWidget_t::~MapWidget_t() {
    effects.Clear();
    paper.ReleaseImage();
    description.reset();
}

void MapWidget_t::OnShown() {
    links.StartMenuMusic();
    BuildMarkers();
    TilesetCatalogue_t* tilesets = links.tilesets ? links.tilesets() : nullptr;
    tilesetOnShow = tilesets != nullptr ? tilesets->current : 0;
    StageCatalogue_t* stages = links.adventureStages ? links.adventureStages() : nullptr;
    const Progress_t* record = ProfileManager_t::Instance()->GetCurrentProgress();
    const Stage_t* stage = stages != nullptr ? stages->GetStage(record != nullptr ? record->stage : 0) : nullptr;
    if (stage != nullptr && !stage->mapImage.empty()) {
        paper.SetImage(stage->mapImage);
    } else {
        paper.ReleaseImage();
    }
    AddRing();
}

void MapWidget_t::OnHidden() { effects.Clear(); }

void MapWidget_t::AddRing() {
    auto ring = std::make_unique<EffectChange3One>(ringX, ringY, 0, 0, nullptr, false);
    ring->cycleLimit = 1;
    effects.AddObject(std::move(ring), 0);
}

void MapWidget_t::BuildMarkers() {
    markers.clear();
    StageCatalogue_t* stages = links.adventureStages ? links.adventureStages() : nullptr;
    const Progress_t* record = ProfileManager_t::Instance()->GetCurrentProgress();
    const Stage_t* stage = stages != nullptr ? stages->GetStage(record != nullptr ? record->stage : 0) : nullptr;
    if (stage == nullptr) return;
    // The game the player is at (games are played in level order unless one was put off).
    const int current = record != nullptr ? ProfileManager_t::Instance()->GetCurrentGame() : 0;
    const int halfWidth = IMAGE_MAP_LEVEL_UNCOMPLETE != nullptr ? IMAGE_MAP_LEVEL_UNCOMPLETE->GetWidth() / 2 : 0;
    const int halfHeight = IMAGE_MAP_LEVEL_UNCOMPLETE != nullptr ? IMAGE_MAP_LEVEL_UNCOMPLETE->GetHeight() / 2 : 0;
    for (size_t i = 0; i < stage->games0.size(); ++i) {
        const StageLevel_t& level = *stage->games0[i];
        MapMarker marker;
        marker.x = level.mapX;
        marker.y = level.mapY;
        const int index = static_cast<int>(i);
        marker.state = index < current ? kDone : index == current ? kCurrent : kToCome;
        if (marker.state == kCurrent) {
            ringX = marker.x + halfWidth;
            ringY = marker.y + halfHeight;
        }
        markers.push_back(marker);
    }
}

void MapWidget_t::Update() {
    BaseDialogWidget::Update();
    ++ticks;
    if (ticks % kRingPeriodTicks == 0) {
        PlayUiSound("map");
        AddRing();
    }
    effects.Update();
    GameUiHost* host = GameUiHost::Get();
    if (host == nullptr || !host->IsSmoothUpdating()) UpdateF(1.0f);
}

void MapWidget_t::UpdateF(float fraction) { effects.AdvanceAll(fraction); }

void MapWidget_t::Draw(Graphics* g) {
    g->SetColor(Color(0, 0, 0, 255));
    g->FillRect(0, 0, mWidth, mHeight);
    background.Draw(g, 255.0f);
    paper.Draw(g, 255.0f);
    DrawMarkers(g);
    effects.Draw(g);
}

void MapWidget_t::DrawMarkers(Graphics* g) {
    for (const MapMarker& marker : markers) {
        Image* picture = marker.state == kDone ? IMAGE_MAP_LEVEL_COMPLETE : IMAGE_MAP_LEVEL_UNCOMPLETE;
        if (picture != nullptr) g->DrawImage(picture, marker.x, marker.y);
    }
}

void MapWidget_t::MouseDown(int x, int y, int signedClickCount) {
    (void)x;
    (void)y;
    (void)signedClickCount;
}

void MapWidget_t::MouseDrag(int x, int y) {
    (void)x;
    (void)y;
}

void MapWidget_t::ButtonDepress(int id) {
    PlayUiSound(id == 3 || id == 4 ? "PrevNext" : "MouseDown");
    if (id != 1 && id != 2) return;
    TilesetCatalogue_t* tilesets = links.tilesets ? links.tilesets() : nullptr;
    if (tilesets != nullptr && tilesets->current != tilesetOnShow) tilesets->SelectTileset(tilesetOnShow);
    links.SwitchScreen(id == 1 ? ScreenSwitch::kMapToMain : ScreenSwitch::kMapToBoard);
}

}  // namespace Velm
