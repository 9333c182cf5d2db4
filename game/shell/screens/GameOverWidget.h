#pragma once

#include <memory>

#include "game/shell/GameIds.h"
#include "game/shell/screens/History.h"
#include "game/shell/screens/StoryScreenLinks.h"
#include "game/shell/ui/BaseDialogWidget.h"

namespace Velm {

class GameApp;
class UiDescription_t;
class Widget;

// The screen after the last stage of the adventure (dialog id 999, shown by switch 25): it
// tells the closing story of "data/gameover.txt" on black, typed out text by text. A click
// anywhere, Esc or "Done" (button 1) shows a typing text whole, then ends it; ending the last
// text of the last page goes on to the score table (switch 4) when the finished game's score got a place
// there (the score table's show argument is 1), else to the main menu (switch 26).
// Built once by the loading thread; loads the story on each showing and clears it when
// hidden. Main thread otherwise.
class GameOverWidget : public BaseDialogWidget {
public:
    static constexpr int kDialogId = BoardDialogId::kGameOver;
    static constexpr const char* kUiFile = "UI/gameover.txt";
    static constexpr const char* kStoryFile = "data/gameover.txt";

    explicit GameOverWidget(GameApp* app);
    GameOverWidget(const StoryScreenLinks& links, const std::string& uiFile, const std::string& storyFile);
    ~GameOverWidget() override;

    void Update() override;
    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    // Esc acts as button 1.
    void KeyUp(int key) override;
    using BaseDialogWidget::MouseDown;
    void MouseDown(int x, int y, int signedClickCount) override;
    void MouseDrag(int x, int y) override;
    void OnShown() override;
    void OnHidden() override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;
    // "Done" says "HelpNext" before the last page and "HelpDone" on it.
    void UpdateDoneLabel();

    History_t& GetStory() { return story; }
    UiDescription_t* GetDescription() const { return description.get(); }

private:
    StoryScreenLinks links;
    std::string storyFile;
    std::unique_ptr<UiDescription_t> description;
    History_t story;
    Widget* doneButton = nullptr;
};

}  // namespace Velm
