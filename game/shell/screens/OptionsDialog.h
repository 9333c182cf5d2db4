#pragma once

#include <string>

#include "game/shell/ui/FlyWidget.h"

namespace Velm {

class Checkbox;
class GameApp;
class Slider;

// The options fly-in ("ui/options.txt"), opened from the main menu and the game
// menu: music and sound-effect volumes (sliders 1 and 2, acting at once on the
// application, the current profile and the engine's groups 3 and 1), 3D drawing
// (check box 1) and full screen (2), applied on OK (button 1), and the custom
// cursor (3), applied at once. OK also saves the profiles. Esc closes it as a
// Cancel would: the screen mode and 3D drawing stay as they were, what acted at
// once (volumes, cursor) stays too and is saved. A choice the machine refuses (3D
// drawing it does not support or recommend, a window where only full screen runs) is
// answered with its message and the box shows the setting in force again. Main thread.
class OptionsDialog : public FlyWidget_t {
public:
    enum { kMusicSlider = 1, kEffectSlider = 2 };
    enum { k3DBox = 1, kFullScreenBox = 2, kCursorBox = 3 };
    static constexpr int kOkButton = 1;
    // The result of a dialog closed with Esc.
    static constexpr int kCancelled = 2;
    static constexpr int kKeyEsc = 27;

    OptionsDialog(const std::string& fileName, GameApp* app);

    void KeyUp(int key) override;
    void ButtonDepress(int id) override;
    void CheckboxChecked(int id, bool checked) override;
    void SliderValueChanged(int id, double value) override;

    GameApp* app;
    Slider* musicVolume = nullptr;
    Slider* effectVolume = nullptr;
    Checkbox* mode3D = nullptr;
    Checkbox* fullScreen = nullptr;
    Checkbox* customCursor = nullptr;
};

}  // namespace Velm
