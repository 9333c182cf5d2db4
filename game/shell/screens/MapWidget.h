#pragma once

#include <memory>
#include <vector>

#include "engine/anim/StillImage.h"
#include "game/board/effects/ObjectsManager.h"
#include "game/shell/screens/StoryScreenLinks.h"
#include "game/shell/ui/BaseDialogWidget.h"

namespace Velm {

class GameApp;
class UiDescription_t;

// One level of the current stage on the map: its map position (pixels) and whether it is
// done (0), the current one (1) or still to come (2).
struct MapMarker {
    int x = 0;
    int y = 0;
    int state = 2;
};

// The adventure map of the current stage ("ui/map.txt"): the stage's map picture at the point
// "Paper" on IMAGE_MAP_BACK, a marker per level of the stage, and a ring around the current
// level's marker every 200 updates (with the sound "map"). "Back" (button 1) leaves for the
// main menu (switch 16), "Play" (2) for the play screen (switch 15); 3 and 4 only make a
// sound. A tile set tried out while the map was up is put back before leaving.
// Shown by switches 17 (main menu), 14 (play screen) and 28 (comics). Built once by the
// loading thread; markers and the map picture are rebuilt on each showing. Main thread
// otherwise; time in update ticks of 10 ms.
class MapWidget_t : public BaseDialogWidget {
public:
    static constexpr const char* kUiFile = "ui/map.txt";
    static constexpr int kRingPeriodTicks = 200;
    enum MarkerState { kDone = 0, kCurrent = 1, kToCome = 2 };

    explicit MapWidget_t(GameApp* app);
    MapWidget_t(const StoryScreenLinks& links, const std::string& uiFile);
    ~MapWidget_t() override;

    void Update() override;
    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    using BaseDialogWidget::MouseDown;
    void MouseDown(int x, int y, int signedClickCount) override;
    void MouseDrag(int x, int y) override;
    void OnShown() override;
    void OnHidden() override;
    void ButtonDepress(int id) override;

    void BuildMarkers();
    void DrawMarkers(Graphics* g);

    const std::vector<MapMarker>& GetMarkers() const { return markers; }
    int GetRingX() const { return ringX; }
    int GetRingY() const { return ringY; }
    int GetRingCount() const { return effects.Count(); }
    const StillImage_t& GetPaper() const { return paper; }

private:
    void AddRing();

    StoryScreenLinks links;
    std::unique_ptr<UiDescription_t> description;
    int tilesetOnShow = 0;
    ObjectsManager effects;
    int ringX = 0;
    int ringY = 0;
    int ticks = 0;
    StillImage_t background;
    StillImage_t paper;
    std::vector<MapMarker> markers;
};

}  // namespace Velm
