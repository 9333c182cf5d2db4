#include "game/shell/screens/GameOverWidget.h"

#include "game/shell/GameIds.h"
#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/ui/GameUiHost.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Graphics.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetFlags.h"

namespace Velm {

GameOverWidget::GameOverWidget(GameApp* app) : GameOverWidget(StoryScreenLinks::LinksOf(app), kUiFile, kStoryFile) {}

GameOverWidget::GameOverWidget(const StoryScreenLinks& screenLinks, const std::string& uiFile,
                               const std::string& storyFileName)
        : BaseDialogWidget(kDialogId, true), links(screenLinks), storyFile(storyFileName) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_MARK_DIRTY;
    description = std::make_unique<UiDescription_t>(uiFile, this);
    story.balloonImages[0] = IMAGE_DIALOG_CIRCLE;
    story.balloonImages[1] = IMAGE_DIALOG_RECT;
    doneButton = description->FindWidget("Done");
    UpdateDoneLabel();
}

GameOverWidget::~GameOverWidget() {
    story.Clear();
    description.reset();
}

void GameOverWidget::OnShown() {
    const Profile_t* profile = ProfileManager_t::Instance()->GetCurrentProfile();
    story.Load(storyFile, nullptr, profile != nullptr ? profile->name : std::string());
    UpdateDoneLabel();
}

void GameOverWidget::OnHidden() { story.Clear(); }

void GameOverWidget::Update() {
    BaseDialogWidget::Update();
    story.Tick();
    // The story turns its pages by itself too: the label follows.
    UpdateDoneLabel();
}

void GameOverWidget::UpdateF(float fraction) { (void)fraction; }

void GameOverWidget::Draw(Graphics* g) {
    g->SetColor(Color(0, 0, 0, 255));
    g->FillRect(0, 0, mWidth, mHeight);
    story.Draw(g);
}

void GameOverWidget::KeyUp(int key) {
    if (key == 27) ButtonDepress(1);
}

void GameOverWidget::MouseDown(int x, int y, int signedClickCount) {
    (void)x;
    (void)y;
    (void)signedClickCount;
    ButtonDepress(1);
}

void GameOverWidget::MouseDrag(int x, int y) {
    (void)x;
    (void)y;
}

void GameOverWidget::ButtonDepress(int id) {
    PlayUiSound("MouseDown");
    if (id == 1) {
        bool goOn = story.IsPageFinished();
        if (!goOn) {
            story.SkipCurrentText();
            // Ending the last text of the last page goes on at once: left to the story, it
            // would first turn to an empty black page that waits for another click.
            goOn = story.IsPageFinished() && story.page >= story.GetPageCount() - 1;
        }
        if (goOn && !story.NextPage()) {
            BaseDialogWidget* scores = links.scoreTable ? links.scoreTable() : nullptr;
            const bool placed = scores != nullptr && scores->mShowArgument == 1;
            links.SwitchScreen(placed ? ScreenSwitch::kGameOverToHighScores : ScreenSwitch::kGameOverToMain);
        }
    }
    UpdateDoneLabel();
}

void GameOverWidget::ButtonMouseEnter(int id) {
    if (id != -1) PlayUiSound("MouseEnter");
}

void GameOverWidget::UpdateDoneLabel() {
    auto* done = dynamic_cast<ButtonWidget*>(doneButton);
    if (done == nullptr) return;
    const bool more = story.page < story.GetPageCount() - 1;
    done->mLabel = TextTable_t::Instance()->Lookup(more ? "HelpNext" : "HelpDone");
}

}  // namespace Velm
