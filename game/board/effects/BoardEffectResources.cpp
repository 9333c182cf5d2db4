#include "game/board/effects/BoardEffectResources.h"

#include "engine/sound/SoundApi.h"

namespace {

class EngineSoundPlayer : public BoardSoundPlayer {
public:
    int Play(const std::string& name) override { return Sound::PlaySound(name.c_str()); }
    bool IsPlaying(int handle) override { return handle != 0 && Sound::IsSoundPlaying(handle); }
};

EngineSoundPlayer gEngineSoundPlayer;
BoardSoundPlayer* gSoundPlayer = nullptr;

}  // namespace

BoardEffectResources& GetBoardEffectResources() {
    static BoardEffectResources resources;
    return resources;
}

BoardSoundPlayer& GetBoardSoundPlayer() { return gSoundPlayer != nullptr ? *gSoundPlayer : gEngineSoundPlayer; }

void SetBoardSoundPlayer(BoardSoundPlayer* player) { gSoundPlayer = player; }
