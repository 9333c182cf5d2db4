#include "game/board/LayoutMemory.h"

#include "game/board/LayoutModeRules.h"

namespace Velm {

void LayoutMemory_t::ForgetReveal() {
    secondTile = -1;
    revealTimer = 0;
    revealMatched = false;
}

bool LayoutMemory_t::Load(const std::string& layoutName) {
    ForgetReveal();
    return Layout_t::Load(layoutName);
}

void LayoutMemory_t::AfterLoad() { ForgetReveal(); }

bool LayoutMemory_t::TilesMatch(int a, int b, bool byFace) {
    int faceA = a;
    int faceB = b;
    return MatchedFaces(a, b, byFace, faceA, faceB) && FaceEqualityMatch(faceA, faceB);
}

bool LayoutMemory_t::IsTileFree(int tile) { return IsFreeFromAbove(tile); }

bool LayoutMemory_t::CanRemovePair(int a, int b) {
    if (a == b) return false;
    return CanRemoveUncoveredMatch(*this, a, b);
}

void LayoutMemory_t::FindAvailablePairs() { FindUncoveredPairs(*this, {}); }

void LayoutMemory_t::HandleMouseMove(int x, int y) {
    if (revealTimer >= 1) return;
    const int previous = hovered;
    hovered = hitTile = HitTest(x, y);
    if (hovered >= 0 && toolMode != kNoTool && Cell(hovered).kind != kOrdinary && hovered != bonusTile) hovered = -1;
    AnnounceHover(previous);
}

bool LayoutMemory_t::HandleClick(int /*x*/, int /*y*/) {
    if (IsOperationPending()) return false;
    if (hovered >= 0 && !IsActiveTile(hovered)) hovered = -1;
    if (selected >= 0 && !IsActiveTile(selected)) selected = -1;

    ReportInvalidClick();

    if (selected >= 0 && hovered >= 0 && selected != hovered && toolMode == kNoTool) {
        // The second tile obeys the same rule as the first: a covered tile stays
        // face down.
        if (!IsFreeFromAbove(hovered)) {
            Listener().OnClickRejected();
            return false;
        }
        revealMatched = CanRemovePair(hovered, selected);
        revealTimer = kRevealTicks;
        secondTile = hovered;
        if (!revealMatched) Listener().OnClickRejected();
        return true;
    }
    if (toolMode != kNoTool) return false;
    if (hovered >= 0 && IsFreeFromAbove(hovered)) {
        selected = hovered;
        hovered = -1;
        SelectHoveredTile();
        return true;
    }
    Listener().OnClickRejected();
    return false;
}

void LayoutMemory_t::Update() {
    Layout_t::Update();
    if (revealTimer <= 0) return;
    if (--revealTimer > 0) return;
    if (revealMatched) {
        RemoveSelectedPair();
    } else {
        selected = -1;
        secondTile = -1;
    }
}

void LayoutMemory_t::RemoveSelectedPair() {
    const int first = selected;
    const int second = secondTile;
    if (!IsActiveTile(first) || !IsActiveTile(second) || first == second) {
        selected = secondTile = -1;
        revealMatched = false;
        return;
    }
    currentMove.clear();
    RemoveTile(second, LayoutMove_t::kRemoved, true, true);
    RemoveTile(first, LayoutMove_t::kRemoved, true, true);
    Listener().OnPairRemoved(&Cell(first));
    history.push_back(currentMove);
    secondTile = selected = -1;
    FindAvailablePairs();
    hintCursor = -1;
    revealMatched = false;
    Listener().OnBoardChanged();
}

void LayoutMemory_t::DrawTileFace(Graphics* g, LayoutCell_t& cell, int alpha) {
    const int index = cell.tileIndex;
    if (index == selected || index == secondTile) {
        cell.sprite->Draw(g, alpha);
        return;
    }
    if (!mFaceDown) mFaceDown = Visuals().MakeTileSprite();
    const BoardTileSet* set = CurrentTileSet();
    const BoardTileGroup* group = set != nullptr ? set->GetGroup(kFaceDownGroup) : nullptr;
    mFaceDown->SetImage(group != nullptr ? group->GetSpriteImage() : nullptr);
    // Placed by its corner at the anchor cell's rectangle, not centred.
    mFaceDown->SetTopLeft(cell.x - static_cast<float>(kFaceDownOffsetX), cell.y - static_cast<float>(kFaceDownOffsetY));
    mFaceDown->Draw(g, alpha);
}

}  // namespace Velm
