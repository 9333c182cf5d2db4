#pragma once

#include <memory>
#include <string>

#include "game/shell/ui/BaseDialogWidget.h"

class IniSection_t;

namespace Velm {

class Image;
class UiDescription_t;

// A small window that flies in from outside the screen, rests, and flies out again before
// its result is reported: the base of every dialog of the game that is not a whole screen.
// Its look, its child widgets (through its UiDescription_t) and its flight (section "Main")
// come from one UI description file.
//
// Positions are centre points in logical screen pixels; the widget's centre is
// x + width / 2, y + height / 2 (halves truncated) and moves by `speed` pixels per whole
// update. Flight states: 0 flying in, 1 resting, 2 flying out, 3 out. Once out, the result
// is handed to the dialog listener on every update until the listener (or a caller waiting
// in WaitForResult) removes the widget. Main thread.
class FlyWidget_t : public BaseDialogWidget {
public:
    enum FlyState { kFlyingIn = 0, kResting = 1, kFlyingOut = 2, kOut = 3 };
    // The layout used when the file has no section at all.
    static constexpr float kFallbackPointX = 400.0f;
    static constexpr float kFallbackPointY = -300.0f;
    static constexpr int kFallbackSpeed = 10;

    // fileName: the UI description file. dialogId and modal are replaced by the file's
    // "ID" and "Modal" when it gives them.
    FlyWidget_t(const std::string& fileName, int dialogId, bool modal);
    ~FlyWidget_t() override;

    // The description through which owners find their elements; never null.
    UiDescription_t* GetDescription() const { return mDescription.get(); }

    void Update() override;
    void UpdateF(float fraction) override;
    void KeyUp(int key) override;
    void MouseMove(int x, int y) override;
    using BaseDialogWidget::MouseMove;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;

    // One flight step of fraction f of an update toward (targetX, targetY); true on arrival
    // (the centre then lies exactly on the target).
    bool StepToward(float targetX, float targetY, float fraction);
    // Puts the widget's centre on the point (truncated to whole pixels).
    void CenterOn(float x, float y);
    float GetCenterX() const;
    float GetCenterY() const;

    int speed = kFallbackSpeed;
    float beginX = 0.0f;
    float beginY = 0.0f;
    float restX = 0.0f;
    float restY = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;
    int userValue = 0;
    int flyState = kFlyingIn;
    int pendingResult = 0;
    std::string imageName;
    bool flyInSoundPending = true;
    bool flyOutSoundPending = true;

protected:
    // Starts the fly-out with the given result.
    void FlyOut(int result);

private:
    void ReadMain(const IniSection_t& main, const std::string& origin);
    void LoadFrameImage(const std::string& name);

    std::unique_ptr<UiDescription_t> mDescription;
    // The frame image when it was loaded from a file for this widget.
    std::unique_ptr<Image> mOwnedFrame;
};

}  // namespace Velm
