#include "game/shell/ui/GameUiHost.h"

namespace Velm {

namespace {
GameUiHost* gGameUiHost = nullptr;
}  // namespace

GameUiHost* GameUiHost::Get() { return gGameUiHost; }

void GameUiHost::Set(GameUiHost* host) { gGameUiHost = host; }

int PlayUiSound(const std::string& name, bool asBase) {
    GameUiHost* host = GameUiHost::Get();
    return host != nullptr ? host->PlaySound(name, asBase) : 0;
}

}  // namespace Velm
