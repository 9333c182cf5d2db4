#include "game/shell/TipKeys.h"

namespace Velm {

namespace {

struct TipKey {
    int id;
    const char* key;
};
const TipKey kTipKeys[] = {
        {0, "TipGreatTree1"},
        {1, "TipGreatTree2"},
        {2, "TipGreatTree3"},
        {3, "TipPuzzle15"},
        {4, "TipPuzzl15eWrongSwap"},
        {5, "TipPuzzleRules"},
        {6, "TipPuzzleRotateAnyRules"},
        {7, "TipPuzzleWrongSwap"},
        {8, "TipPuzzleAnyRules"},
        {9, "TipMemoryRules"},
        {10, "TipTreePartsRules"},
        {11, "TipISpy"},
        {12, "TipISpyHint"},
        {13, "TipCompletePicture"},
        {14, "TipGameTypeTumb"},
        {23, "TipHint"},
};

}  // namespace

std::string GetTipKey(int tipId) {
    for (const TipKey& entry : kTipKeys) {
        if (entry.id == tipId) return entry.key;
    }
    return std::string();
}

}  // namespace Velm
