#pragma once

#include <string>

#include "game/shell/ui/FlyWidget.h"

// A text that flies in, rests for displayTime updates and leaves by itself; once out its
// dialog result is 1000. Always modal; dialog id 555 unless its file names another.
class FlyMessage : public Velm::FlyWidget_t {
public:
    static constexpr int kDialogId = 555;
    static constexpr int kDisplayTicks = 100;
    static constexpr int kDoneResult = 1000;

    // text: shown as the label of the file's "Label" element (no text without one).
    FlyMessage(const std::string& fileName, const std::string& text);

    void Update() override;

    int tickCount = 0;
    int displayTime = kDisplayTicks;
};
