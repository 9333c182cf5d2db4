#include "game/shell/screens/OptionsDialog.h"

#include "engine/sound/SoundApi.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/ui/UiDescription.h"
#include "widgets/Checkbox.h"
#include "widgets/Slider.h"

namespace Velm {

namespace {
// Engine sound groups take volumes 0..100.
int GroupVolume(double volume) { return static_cast<int>(volume * 100); }
}  // namespace

OptionsDialog::OptionsDialog(const std::string& fileName, GameApp* application)
        : FlyWidget_t(fileName, 0, true), app(application) {
    mBackgroundInsets = Insets();
    mContentInsets = Insets();
    UiDescription_t* ui = GetDescription();
    musicVolume = dynamic_cast<Slider*>(ui->FindWidget("MusicVolume"));
    effectVolume = dynamic_cast<Slider*>(ui->FindWidget("EffectVolume"));
    mode3D = dynamic_cast<Checkbox*>(ui->FindWidget("3DMode"));
    fullScreen = dynamic_cast<Checkbox*>(ui->FindWidget("FullScreen"));
    customCursor = dynamic_cast<Checkbox*>(ui->FindWidget("CustomCursor"));

    const Profile_t* profile = ProfileManager_t::Instance()->GetCurrentProfile();
    const double music = profile != nullptr ? profile->musicVolume : app->GetMusicVolume();
    const double effects = profile != nullptr ? profile->effectVolume : app->GetSfxVolume();
    if (musicVolume != nullptr) {
        musicVolume->SetValue(music);
    }
    if (effectVolume != nullptr) {
        effectVolume->SetValue(effects);
    }
    Sound::SetGroupVolume(1, GroupVolume(app->GetSfxVolume()));
    Sound::SetGroupVolume(3, GroupVolume(app->GetMusicVolume()));
    if (mode3D != nullptr) {
        if (mode3D != nullptr) mode3D->SetChecked(app->Is3DAccelerated(), false);
    }
    if (fullScreen != nullptr) {
        fullScreen->SetChecked(!app->mIsWindowed, false);
    }
    if (customCursor != nullptr) {
        customCursor->SetChecked(app->mCustomCursorsEnabled, false);
    }
}

void OptionsDialog::SliderValueChanged(int id, double value) {
    Profile_t* profile = ProfileManager_t::Instance()->GetCurrentProfile();
    if (id == kMusicSlider) {
        if (profile != nullptr) {
            profile->musicVolume = static_cast<float>(value);
        }
        app->SetMusicVolume(value);
        Sound::SetGroupVolume(3, GroupVolume(app->GetMusicVolume()));
    } else if (id == kEffectSlider) {
        if (profile != nullptr) {
            profile->effectVolume = static_cast<float>(value);
        }
        app->SetSfxVolume(value);
        Sound::SetGroupVolume(1, GroupVolume(app->GetSfxVolume()));
        if (effectVolume == nullptr || !effectVolume->mDragging) {
            app->PlaySound("MouseDown", true);
        }
    }
}

void OptionsDialog::CheckboxChecked(int id, bool checked) {
    app->PlaySound("MouseDown", true);
    if (id == k3DBox && checked && !app->Is3DAccelerationRecommended()) {
        // Refused ("Not supported"): the box shows the drawing in force again.
        if (mode3D != nullptr) mode3D->SetChecked(app->Is3DAccelerated(), false);
        app->ShowMessageBox(app->Is3DAccelerationSupported() ? 6 : 5);
    } else if (id == kFullScreenBox && !checked && app->mForceFullscreen) {
        app->ShowMessageBox(7);
        fullScreen->SetChecked(true, true);
    } else if (id == kCursorBox) {
        app->EnableCustomCursors(checked);
    }
}

void OptionsDialog::KeyUp(int key) {
    if (key != kKeyEsc) {
        FlyWidget_t::KeyUp(key);
        return;
    }
    if (flyState == kFlyingOut || flyState == kOut) return;
    FlyOut(kCancelled);
    ProfileManager_t::Instance()->Save();
}

void OptionsDialog::ButtonDepress(int id) {
    app->PlaySound("MouseDown", true);
    if (id != kOkButton) {
        return;
    }
    const bool wantFullScreen = fullScreen != nullptr ? fullScreen->IsChecked() : !app->mIsWindowed;
    const bool want3D = mode3D != nullptr ? mode3D->IsChecked() : app->Is3DAccelerated();
    app->SwitchScreenMode(!wantFullScreen, want3D, false);
    if (customCursor != nullptr) {
        app->EnableCustomCursors(customCursor->IsChecked());
    }
    FlyOut(kOkButton);
    ProfileManager_t::Instance()->Save();
}

}  // namespace Velm
