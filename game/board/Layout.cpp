#include "game/board/Layout.h"

#include "game/board/LayoutFile.h"

#include <algorithm>
#include <cstring>

namespace Velm {

namespace {

// Screen geometry of the cells (pixels of the 1024 by 768 logical screen): each
// layer is drawn 6 pixels further right and 5 pixels higher than the one below.
constexpr int kBoardLeft = 14;
constexpr int kBoardTop = 85;
constexpr int kLayerShiftX = 6;
constexpr int kLayerShiftY = 5;
constexpr int kCellWidth = 24;
constexpr int kCellHeight = 31;
constexpr int kTileWidth = 51;
constexpr int kTileHeight = 64;
// A tile's sprite is centred this far from its anchor cell's rectangle corner.
constexpr int kPivotX = 29;
constexpr int kPivotY = 34;

}  // namespace

void LayoutCell_t::SetActive(bool on) {
    if (active == on) return;
    if (!on) effect.reset();
    active = on;
}

Layout_t::Layout_t() : mVisuals(&NullBoardVisuals::Instance()) {
    for (int i = 0; i < kMaxTiles; ++i) {
        for (LayoutCell_t& cell : tiles[i].cells) cell.tileIndex = i;
    }
    InitFaceTable();
}

Layout_t::~Layout_t() = default;

void Layout_t::SetVisuals(BoardVisuals* visuals) {
    mVisuals = visuals != nullptr ? visuals : &NullBoardVisuals::Instance();
}

LayoutListener& Layout_t::Listener() {
    static LayoutListener silent;
    return listener != nullptr ? *listener : silent;
}

void Layout_t::Init() {
    ResetTileRecords();
    std::memset(positions, 0, sizeof(positions));
    FillPositions(kLayers, kRows, kColumns);
    InitFaceTable();
    selectionMarker = mVisuals->MakeMarker(BoardMarker::Selection);
    selectionMarker2 = mVisuals->MakeMarker(BoardMarker::Selection2);
    hoverMarker = mVisuals->MakeMarker(BoardMarker::Hover);
    bridgeShine = mVisuals->MakeMarker(BoardMarker::BridgeShine);
    blockedPicture = mVisuals->MakeTileSprite();
}

void Layout_t::ResetTileRecords() {
    std::memset(grid, 0, sizeof(grid));
    for (int i = 0; i < kMaxTiles; ++i) {
        for (LayoutCell_t& cell : tiles[i].cells) {
            cell.tileIndex = i;
            cell.column = 0;
            cell.row = 0;
        }
    }
}

void Layout_t::FillPositions(int layers, int rows, int columns) {
    layers = std::min(layers, kLayers);
    rows = std::min(rows, kRows + 1);
    columns = std::min(columns, kColumns + 1);
    for (int l = 0; l < layers; ++l) {
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                int* rect = positions[l][r][c];
                rect[0] = kBoardLeft + kLayerShiftX * l + kCellWidth * c;
                rect[1] = kBoardTop + kCellHeight * r - kLayerShiftY * l;
                rect[2] = kTileWidth;
                rect[3] = kTileHeight;
            }
        }
    }
}

void Layout_t::InitFaceTable() { mDealFaces = DealFaces(); }

const std::array<int, Layout_t::kDealFaceCount>& Layout_t::DealFaces() {
    static const std::array<int, kDealFaceCount> table = [] {
        std::array<int, kDealFaceCount> t{};
        int n = 0;
        auto add = [&](int first, int last, int copies) {
            for (int face = first; face <= last; ++face) {
                for (int k = 0; k < copies; ++k) t[n++] = face;
            }
        };
        add(1, 27, 4);   // positions 0 .. 107
        add(28, 31, 1);  // 108 .. 111
        add(32, 35, 4);  // 112 .. 127
        add(36, 39, 1);  // 128 .. 131
        add(40, 42, 4);  // 132 .. 143
        return t;
    }();
    return table;
}

void Layout_t::FillFaceList(std::vector<int>& list) const { list.assign(mDealFaces.begin(), mDealFaces.end()); }

// --- Loading -----------------------------------------------------------------

bool Layout_t::Load(const std::string& layoutName) { return LoadFromFile("Layouts/" + layoutName); }

bool Layout_t::LoadFromFile(const std::string& path) {
    LayoutFileData data;
    if (!LoadLayoutFile(path, data, mLoadError)) return false;
    mLoadError.clear();
    ApplyLayout(data);
    return true;
}

bool Layout_t::LoadFromText(const std::string& text, const std::string& origin) {
    LayoutFileData data;
    if (!ParseLayoutText(text.data(), text.size(), origin, data, mLoadError)) return false;
    mLoadError.clear();
    ApplyLayout(data);
    return true;
}

void Layout_t::ApplyLayout(const LayoutFileData& data) {
    ForgetFaceFamilies();
    // Whatever the last board left running ends here, without notifying: the
    // play screen drops its animations at a level start, so a pending move would
    // never be applied and its hidden pictures never shown again.
    pendingOperation = kNothingPending;
    toolMode = kNoTool;
    swapFirst = -1;
    swapSecond = -1;
    removerTargets.clear();
    currentMove.clear();
    StopShuffle();
    for (LayoutTile_t& tile : tiles) {
        if (tile.cells[0].sprite) tile.cells[0].sprite->SetHidden(false);
    }
    tickCount = 0;
    comboCount = 0;
    lastRemovalTick = 0;
    comboBonusActive = false;
    comboBonusTimer = 0;
    hovered = -1;
    selected = -1;
    hitTile = -1;
    bonusTile = -1;

    name = data.name;
    itemCount = data.itemCount;
    layerCount = data.layerCount;
    rowCount = data.rowCount;
    colCount = data.colCount;

    ResetTileRecords();
    for (LayoutTile_t& tile : tiles) tile.cells[0].SetActive(false);

    for (int i = 0; i < itemCount; ++i) {
        const LayoutFileTile& line = data.tiles[static_cast<size_t>(i)];
        SetTileCells(i, line.layer, line.row, line.column);
        for (LayoutCell_t& cell : tiles[i].cells) {
            cell.kind = line.kind;
            cell.groupValue = line.groupValue;
        }
        EnsureSprite(i);
        Cell(i).SetActive(true);
        PlaceSprite(i);
        Cell(i).sprite->ClearSourceSize();
        if (line.kind != kOrdinary) {
            Cell(i).group = nullptr;
            const int face = FindFaceByType(line.kind) + 1;
            for (LayoutCell_t& cell : tiles[i].cells) cell.face = face;
        }
    }

    AfterLoad();

    history.clear();
    hintCursor = -1;
    hovered = -1;
    selected = -1;
    RebuildGrid();
    RecountTiles();
    BuildDrawLists();
    UpdateVisibility();
}

void Layout_t::ClearTiles() {
    for (int i = 0; i < itemCount; ++i) Cell(i).SetActive(false);
    itemCount = 0;
    RebuildGrid();
}

// --- Faces -------------------------------------------------------------------

const BoardTileSet* Layout_t::CurrentTileSet() {
    return mTileSets != nullptr ? mTileSets->GetCurrentTileSet() : nullptr;
}

void Layout_t::SetTileFace(int tile, int face) {
    if (face <= 0 || tile < 0 || tile >= kMaxTiles) return;
    const BoardTileSet* set = CurrentTileSet();
    const BoardTileGroup* group = set != nullptr ? set->GetGroup(face - 1) : nullptr;
    LayoutCell_t& first = Cell(tile);
    first.group = group;
    if (first.sprite) first.sprite->SetImage(group != nullptr ? group->GetSpriteImage() : nullptr);
    for (LayoutCell_t& cell : tiles[tile].cells) cell.face = face;
}

int Layout_t::FindFaceByType(int type) {
    const BoardTileSet* set = CurrentTileSet();
    if (set == nullptr) return 0;
    for (int i = set->GetGroupCount() - 1; i >= 0; --i) {
        const BoardTileGroup* group = set->GetGroup(i);
        if (group != nullptr && group->GetType() == type) return i;
    }
    return 0;
}

int Layout_t::GroupNumberOfFace(int face) {
    const BoardTileSet* set = CurrentTileSet();
    if (set == nullptr) return 0;
    const BoardTileGroup* group = set->GetGroup(face - 1);
    return group != nullptr ? group->GetGroupNumber() : 0;
}

void Layout_t::RefreshSpecialTiles() {
    const BoardTileSet* set = CurrentTileSet();
    for (int i = 0; i < itemCount; ++i) {
        LayoutCell_t& cell = Cell(i);
        if (cell.kind == kOrdinary || set == nullptr) continue;
        const BoardTileGroup* group = set->GetGroup(FindFaceByType(cell.kind));
        if (group == nullptr) continue;
        cell.group = group;
        if (cell.sprite) {
            cell.sprite->SetImage(group->GetSpriteImage());
            cell.sprite->ClearSourceSize();
        }
    }
}

void Layout_t::ShowBlankFaces() {
    const BoardTileSet* set = CurrentTileSet();
    const BoardTileGroup* blank = set != nullptr ? set->GetGroup(kBlankFaceGroup) : nullptr;
    if (blank == nullptr) return;
    for (int i = 0; i < itemCount; ++i) {
        LayoutCell_t& cell = Cell(i);
        if (!cell.active) continue;
        cell.group = blank;
        if (cell.sprite) cell.sprite->SetImage(blank->GetSpriteImage());
    }
}

// --- Board state -------------------------------------------------------------

void Layout_t::StartFade(int mode) {
    switch (mode) {
        case 0: fadeAlpha = 0.0f; break;
        case 1:
        case 2: fadeAlpha = 255.0f; break;
        default: return;
    }
    fadeMode = mode;
}

bool Layout_t::IsOccupied(int layer, int row, int column) const {
    if (layer < 0 || layer >= kLayers || row < 0 || row >= kRows || column < 0 || column >= kColumns) return false;
    return grid[layer][row][column] != 0;
}

void Layout_t::MarkGrid(int tile, unsigned char value) {
    for (const LayoutCell_t& cell : tiles[tile].cells) {
        if (cell.layer >= 0 && cell.layer < kLayers && cell.row >= 0 && cell.row < kRows && cell.column >= 0 &&
            cell.column < kColumns) {
            grid[cell.layer][cell.row][cell.column] = value;
        }
    }
}

void Layout_t::RebuildGrid() {
    std::memset(grid, 0, sizeof(grid));
    for (int i = 0; i < itemCount; ++i) {
        if (Cell(i).active) MarkGrid(i, 1);
    }
}

void Layout_t::SetTileCells(int tile, int layer, int row, int column) {
    for (int k = 0; k < 4; ++k) {
        LayoutCell_t& cell = tiles[tile].cells[k];
        cell.layer = layer;
        cell.row = row + (k >> 1);
        cell.column = column + (k & 1);
        cell.tileIndex = tile;
    }
}

void Layout_t::EnsureSprite(int tile) {
    LayoutCell_t& cell = Cell(tile);
    if (!cell.sprite) cell.sprite = mVisuals->MakeTileSprite();
}

void Layout_t::PlaceSprite(int tile) {
    LayoutCell_t& cell = Cell(tile);
    const int layer = std::clamp(cell.layer, 0, kLayers - 1);
    const int row = std::clamp(cell.row, 0, kRows);
    const int column = std::clamp(cell.column, 0, kColumns);
    const int* rect = positions[layer][row][column];
    cell.x = static_cast<float>(rect[0] + kPivotX);
    cell.y = static_cast<float>(rect[1] + kPivotY);
    if (cell.sprite) cell.sprite->SetCenter(cell.x, cell.y);
}

int Layout_t::CountActiveTiles() const {
    int n = 0;
    for (int i = 0; i < itemCount; ++i) n += Cell(i).active ? 1 : 0;
    return n;
}

int Layout_t::CountPlayableTiles() const {
    int n = 0;
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (cell.active && (cell.kind == kOrdinary || cell.kind == kCollection)) ++n;
    }
    return n;
}

int Layout_t::CountNonCollectionTiles() const {
    int n = 0;
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (cell.active && cell.kind != kCollection) ++n;
    }
    return n;
}

bool Layout_t::HasSpecialTiles() const {
    for (int i = 0; i < itemCount; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (cell.active && cell.kind != kOrdinary && cell.kind != kCollection) return true;
    }
    return false;
}

int Layout_t::HighestActiveLayer() const {
    int highest = 0;
    for (int i = 0; i < kMaxTiles; ++i) {
        const LayoutCell_t& cell = Cell(i);
        if (cell.active) highest = std::max(highest, cell.layer);
    }
    return highest;
}

int Layout_t::FindTileAt(int layer, int row, int column) const {
    for (int i = 0; i < itemCount; ++i) {
        for (const LayoutCell_t& cell : tiles[i].cells) {
            if (cell.layer == layer && cell.row == row && cell.column == column) return i;
        }
    }
    return -1;
}

int Layout_t::FindActiveTileAt(int layer, int row, int column) const {
    for (int i = 0; i < itemCount; ++i) {
        if (!Cell(i).active) continue;
        for (const LayoutCell_t& cell : tiles[i].cells) {
            if (cell.layer == layer && cell.row == row && cell.column == column) return i;
        }
    }
    return -1;
}

void Layout_t::DropTileEffects() {
    for (LayoutTile_t& tile : tiles) tile.cells[0].effect.reset();
}

void Layout_t::ResetCounters() {
    tickCount = 0;
    comboCount = 0;
    lastRemovalTick = 0;
    comboBonusActive = false;
    comboBonusTimer = 0;
    selected = -1;
    hovered = -1;
    hitTile = -1;
    bonusTile = -1;
    DropTileEffects();
}

void Layout_t::RecountTiles() {
    activeTileCount = CountActiveTiles();
    playableTileCount = CountPlayableTiles();
}

void Layout_t::RemoveTile(int tile, int action, bool record, bool recount) {
    if (!IsUsedTile(tile)) return;
    if (record) {
        LayoutMove_t move;
        move.tile = tile;
        move.face = Cell(tile).face;
        move.action = action;
        currentMove.push_back(move);
    }
    Cell(tile).SetActive(false);
    MarkGrid(tile, 0);
    if (recount) {
        RecountTiles();
        UpdateVisibility();
    }
}

void Layout_t::RecordFace(int tile, int action, bool atEnd) {
    if (tile < 0 || tile >= kMaxTiles) return;
    LayoutMove_t move;
    move.tile = tile;
    move.face = Cell(tile).face;
    move.action = action;
    if (atEnd)
        currentMove.push_back(move);
    else
        currentMove.insert(currentMove.begin(), move);
}

// --- Merge -------------------------------------------------------------------

bool Layout_t::MergeLayout(const Layout_t& other) {
    if (&other == this || itemCount + other.itemCount > kMaxTiles) return false;
    int otherTop = -1;
    for (int i = 0; i < other.itemCount; ++i) otherTop = std::max(otherTop, other.Cell(i).layer);
    const int lift = otherTop + 1;
    int ownTop = -1;
    for (int i = 0; i < itemCount; ++i) {
        if (Cell(i).active) ownTop = std::max(ownTop, Cell(i).layer);
    }
    if (ownTop + lift >= kLayers || otherTop >= kLayers) return false;

    // Lift the present tiles above the incoming ones.
    for (int i = 0; i < itemCount; ++i) {
        Cell(i).settled = false;
        for (LayoutCell_t& cell : tiles[i].cells) {
            cell.homeLayer = cell.layer;
            cell.layer += lift;
        }
    }

    // Append the other layout's tiles underneath.
    const BoardTileSet* set = CurrentTileSet();
    for (int j = 0; j < other.itemCount; ++j) {
        const int n = itemCount + j;
        for (int k = 0; k < 4; ++k) {
            const LayoutCell_t& from = other.tiles[j].cells[k];
            LayoutCell_t& to = tiles[n].cells[k];
            to.column = from.column;
            to.row = from.row;
            to.layer = from.layer;
            to.homeLayer = from.layer;
            to.kind = from.kind;
            to.face = from.face;
            to.groupValue = from.groupValue;
            to.tileIndex = n;
        }
        EnsureSprite(n);
        LayoutCell_t& cell = Cell(n);
        cell.SetActive(true);
        cell.settled = true;
        cell.group = nullptr;
        if (cell.kind != kCollection && set != nullptr) cell.group = set->GetGroup(cell.face - 1);
        cell.sprite->SetImage(cell.group != nullptr ? cell.group->GetSpriteImage() : nullptr);
        PlaceSprite(n);
    }
    itemCount += other.itemCount;

    // Let the lifted tiles settle, lowest layer first, never below where they were.
    const int lastLayer = std::min(layerCount + lift - 1, kLayers - 1);
    for (int layer = lift; layer <= lastLayer; ++layer) {
        RebuildGrid();
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kColumns; ++c) {
                if (grid[layer][r][c] == 0) continue;
                const int t = FindActiveTileAt(layer, r, c);
                if (t < 0 || Cell(t).settled) continue;
                LayoutCell_t& anchor = Cell(t);
                anchor.settled = true;
                int drop = 0;
                for (int below = layer - 1; below >= 0; --below) {
                    if (IsOccupied(below, anchor.row, anchor.column) ||
                        IsOccupied(below, anchor.row, anchor.column + 1) ||
                        IsOccupied(below, anchor.row + 1, anchor.column) ||
                        IsOccupied(below, anchor.row + 1, anchor.column + 1)) {
                        break;
                    }
                    ++drop;
                }
                const int newLayer = std::max(layer - drop, anchor.homeLayer);
                for (LayoutCell_t& cell : tiles[t].cells) cell.layer = newLayer;
                PlaceSprite(t);
            }
        }
    }

    RebuildGrid();
    layerCount = HighestActiveLayer() + 1;
    rowCount = std::max(rowCount, other.rowCount);
    colCount = std::max(colCount, other.colCount);
    hovered = -1;
    selected = -1;
    hitTile = -1;
    Listener().OnSelectionChanged(nullptr);
    Listener().OnHoverChanged(nullptr);
    RebuildGrid();
    RecountTiles();
    BuildDrawLists();
    UpdateVisibility();
    FindAvailablePairs();
    return true;
}

// --- Drawing order and visibility -----------------------------------------------

void Layout_t::BuildDrawLists() {
    const int layers = std::clamp(layerCount, 0, kLayers);
    drawLists.assign(static_cast<size_t>(layers), {});
    for (int i = 0; i < itemCount; ++i) Cell(i).listed = false;
    std::vector<int> order;
    for (int layer = 0; layer < layers; ++layer) {
        order.clear();
        for (int i = 0; i < itemCount; ++i) {
            if (Cell(i).layer == layer) order.push_back(i);
        }
        // Diagonals from the board's top-right corner to its bottom-left corner.
        std::stable_sort(order.begin(), order.end(),
                         [this](int a, int b) { return Cell(a).column - Cell(a).row > Cell(b).column - Cell(b).row; });
        for (int i : order) {
            Cell(i).listed = true;
            drawLists[static_cast<size_t>(layer)].push_back(&Cell(i));
        }
    }
}

bool Layout_t::IsHidden(int tile) const {
    if (!IsUsedTile(tile)) return false;
    const LayoutCell_t& cell = Cell(tile);
    if (cell.column == 0 || cell.layer >= std::min(layerCount, kLayers) - 1) return false;
    for (int r = cell.row; r <= cell.row + 2; ++r) {
        for (int c = cell.column - 1; c <= cell.column + 1; ++c) {
            if (!IsOccupied(cell.layer + 1, r, c)) return false;
        }
    }
    return true;
}

void Layout_t::UpdateVisibility() {
    for (int i = 0; i < itemCount; ++i) {
        LayoutCell_t& cell = Cell(i);
        cell.visible = cell.active && !IsHidden(i);
    }
}

}  // namespace Velm
