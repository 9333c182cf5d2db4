#include "game/shell/screens/TitleScreen.h"

#include "game/shell/GameIds.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/ButtonWidget.h"

namespace Velm {

TitleScreen::TitleScreen(GameApp* application) : BaseDialogWidget(1, false), app(application) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_UPDATE | WIDGETFLAGS_MARK_DIRTY;
    description = std::make_unique<UiDescription_t>("ui/title.txt", this);
    continueWidget = description->FindWidget("Continue");
    if (continueWidget != nullptr) {
        continueWidget->SetVisible(true);
    }
    slider = description->FindPoint("Slider");
    loaded = false;
    if (auto* button = dynamic_cast<ButtonWidget*>(continueWidget)) {
        button->mLabel = TextTable_t::Instance()->Lookup("Loading");
    }
}

TitleScreen::~TitleScreen() { description.reset(); }

int TitleScreen::VisibleProgressRows(double progress, int height) {
    if (!(progress > 0)) {
        return 0;
    }
    const int rows = static_cast<int>(progress * height);
    return rows > height ? height : rows;
}

void TitleScreen::Update() {}

void TitleScreen::Draw(Graphics* g) {
    description->DrawImages(g, 0);
    Image* progress = IMAGE_TITLE_PROGRESS;
    if (progress != nullptr && slider != nullptr && app != nullptr) {
        const int width = progress->GetWidth();
        const int height = progress->GetHeight();
        const int rows = VisibleProgressRows(app->GetLoadingThreadProgress(), height);
        if (rows > 0) {
            g->DrawImage(progress, slider->x, slider->y + height - rows, Rect(0, height - rows, width, rows));
        }
    }
    description->DrawImages(g, 1);
}

void TitleScreen::MouseDown(int x, int y, int signedClickCount) {
    (void)x;
    (void)y;
    (void)signedClickCount;
    if (loaded) {
        ButtonDepress(0);
    }
}

void TitleScreen::MouseDrag(int x, int y) {
    (void)x;
    (void)y;
}

void TitleScreen::OnLoadingDone() {
    loaded = true;
    ButtonDepress(0);
}

void TitleScreen::ButtonDepress(int id) {
    (void)id;
    if (app == nullptr) {
        return;
    }
    app->UnloadTitleScreenResources();
    app->SwitchScreen(ScreenSwitch::kTitleToMain);
}

void TitleScreen::ButtonMouseEnter(int id) {
    if (id != -1 && app != nullptr) {
        app->PlaySound("MouseEnter", true);
    }
}

}  // namespace Velm
