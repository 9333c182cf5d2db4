#include "game/shell/screens/HelpWidget.h"

#include "game/shell/ProfileManager.h"
#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"
#include "game/shell/screens/GameApp.h"
#include "game/shell/ui/GameUiHost.h"
#include "game/shell/ui/UiDescription.h"
#include "graphics/Image.h"
#include "widgets/ButtonWidget.h"
#include "widgets/DialogListener.h"
#include "widgets/WidgetManager.h"

using namespace Velm;

namespace {
void SetShown(Widget* widget, bool shown) {
    if (widget != nullptr) {
        widget->SetVisible(shown);
    }
}
}  // namespace

HelpWidget_t::HelpWidget_t(GameApp* application, bool showDontShow)
        : BaseDialogWidget(kDialogId, true), app(application) {
    mWidgetFlagsMod.addFlags |= WIDGETFLAGS_MARK_DIRTY;
    description = std::make_unique<UiDescription_t>("UI/Help.txt", this);
    SetShown(description->FindWidget("DontShow"), showDontShow);
    SetShown(description->FindWidget("DontShowLbl"), showDontShow);
    pages.Load("data/help.txt");
    nextButton = description->FindWidget("Next");
    if (auto* next = dynamic_cast<ButtonWidget*>(nextButton)) {
        next->mLabel = TextTable_t::Instance()->Lookup("HelpNext");
    }
    prevButton = description->FindWidget("Prev");
    closeButton = description->FindWidget("Close");
    UpdateButtons();
    singlePage = false;
}

HelpWidget_t::~HelpWidget_t() {
    description.reset();
    pages.Clear();
}

void HelpWidget_t::UpdateButtons() {
    // A single page turns nowhere: it offers only "Close".
    SetShown(nextButton, !singlePage && pages.page < pages.GetPageCount() - 1);
    SetShown(prevButton, !singlePage && pages.page > 0);
}

void HelpWidget_t::SetSinglePageMode(bool on) {
    singlePage = on;
    if (on) {
        SetShown(closeButton, true);
        SetShown(nextButton, false);
        SetShown(prevButton, false);
    } else {
        SetShown(nextButton, true);
    }
}

void HelpWidget_t::AdvancePages(int count) {
    for (int i = 0; i < count; ++i) {
        pages.NextPage();
    }
}

void HelpWidget_t::Close(int result) {
    mResult = kCloseResult;
    if (mDialogListener != nullptr) {
        mDialogListener->DialogButtonDepress(kDialogId, result);
    }
    UpdateButtons();
}

void HelpWidget_t::ButtonDepress(int id) {
    PlayUiSound("MouseDown");
    if (id == 1) {
        // On a single page, "Next" (and Esc, which acts as it) closes.
        if (!singlePage && pages.NextPage()) {
            UpdateButtons();
            return;
        }
        Close(1);
    } else if (id == 2) {
        Close(2);
    } else if (id == 3) {
        pages.PrevPage();
        UpdateButtons();
    }
}

void HelpWidget_t::KeyUp(int key) {
    if (key == 27) {
        ButtonDepress(1);
    }
}

void HelpWidget_t::MouseDown(int x, int y, int signedClickCount) {
    (void)x;
    (void)y;
    (void)signedClickCount;
    if (!singlePage && !pages.NextPage()) {
        ButtonDepress(1);
    }
    UpdateButtons();
}

void HelpWidget_t::MouseDrag(int x, int y) {
    (void)x;
    (void)y;
}

void HelpWidget_t::ButtonMouseEnter(int id) {
    if (id != -1) {
        PlayUiSound("MouseEnter");
    }
}

void HelpWidget_t::CheckboxChecked(int id, bool checked) {
    (void)id;
    if (Progress_t* progress = ProfileManager_t::Instance()->GetCurrentProgress()) {
        progress->dontShowHelp = checked;
    }
}

void HelpWidget_t::Draw(Graphics* g) {
    description->DrawImages(g, 0);
    pages.Draw(g);
}

void HelpWidget_t::PlaceCentred(const GameApp& application) {
    const int width = IMAGE_HELP_BACK != nullptr ? IMAGE_HELP_BACK->GetWidth() : 0;
    const int height = IMAGE_HELP_BACK != nullptr ? IMAGE_HELP_BACK->GetHeight() : 0;
    Resize((application.GetWidth() - width) / 2, (application.GetHeight() - height) / 2, width, height);
}

HelpWidget_t* HelpWidget_t::Open(GameApp* app, DialogListener* listener) {
    auto* help = new HelpWidget_t(app, false);
    help->PlaceCentred(*app);
    help->mDialogListener = listener;
    app->AddDialog(help);
    app->GetWidgetManager()->SetFocus(help);
    return help;
}
