#include "game/board/effects/BoardAppearEffect2.h"

#include "game/board/BoardTileSet.h"
#include "game/board/Layout.h"
#include "game/board/effects/BoardEffectResources.h"
#include "platform/CrtRand.h"

BoardAppearEffect2::BoardAppearEffect2(Velm::Layout_t* boardLayout, BoardAppearEffect2Listener* appearListener)
        : layout(boardLayout), listener(appearListener) {
    if (layout == nullptr) return;
    for (const auto& drawList : layout->drawLists) {
        for (const Velm::LayoutCell_t* cell : drawList) {
            if (cell == nullptr || !cell->active || cell->kind != Velm::Layout_t::kOrdinary || !cell->sprite) continue;
            auto picture = std::make_unique<FadingImage_t>();
            picture->SetImagePtr(cell->group != nullptr ? cell->group->GetSpriteImage() : nullptr);
            picture->x = cell->x;
            picture->y = cell->y;
            picture->centred = true;
            picture->alpha = 0;
            picture->targetAlpha = 255;
            picture->step = 10.2f;
            picture->startDelay = plat::CrtRand() * 200 / plat::kCrtRandMax;
            picture->listener = this;
            pictures.push_back(std::move(picture));
        }
    }
}

BoardAppearEffect2::~BoardAppearEffect2() = default;

bool BoardAppearEffect2::AllDone() const {
    for (const auto& picture : pictures) {
        if (picture->alpha != picture->targetAlpha) return false;
    }
    return true;
}

void BoardAppearEffect2::Update() {
    if (AllDone()) {
        if (!reported) {
            reported = true;
            if (listener != nullptr) listener->OnAppear2Finished();
        }
        return;
    }
    for (auto& picture : pictures) picture->Update();
}

void BoardAppearEffect2::Draw(Velm::Graphics* g) {
    for (auto& picture : pictures) picture->Draw(g, 255);
}

void BoardAppearEffect2::OnFadeStarted() {
    BoardSoundPlayer& sounds = GetBoardSoundPlayer();
    if (soundHandle != 0 && sounds.IsPlaying(soundHandle)) return;
    soundHandle = sounds.Play("collappear");
}
