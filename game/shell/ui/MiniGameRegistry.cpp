#include "game/shell/ui/MiniGameRegistry.h"

namespace Velm {

MiniGameRegistry& MiniGameRegistry::Instance() {
    static MiniGameRegistry registry;
    return registry;
}

std::unique_ptr<MiniGame> MiniGameRegistry::Create(int id, MiniGameListener* listener) const {
    if (mCreator) return mCreator(id, listener);
    return nullptr;
}

bool MiniGameRegistry::IsBoardHandled(int id) { return id == 10 || id == 11; }

}  // namespace Velm
