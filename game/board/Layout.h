#pragma once

#include "game/board/BoardTileSet.h"
#include "game/board/BoardVisuals.h"
#include "game/board/LayoutCell.h"
#include "game/board/LayoutListener.h"

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Velm {

struct LayoutFileData;

// The model of one board of stacked tiles for the usual game, and the base of the
// six other game modes, which override its virtual operations and call its shared
// rules rather than copying them.
//
// Grid: 10 layers (0 at the bottom), 24 rows and 40 columns of cells; a tile covers
// a 2 by 2 block of cells on one layer from its anchor cell, so tiles on
// neighbouring rows or columns may be offset by half a tile. Cells outside the
// grid are empty. Faces are 1-based numbers into the groups of the current tile
// set (face n shows group n - 1); face 0 means no face yet.
//
// The layout owns its tile records, sprites and tile effects; it reads tile sets
// through BoardTileSets, makes its pictures through BoardVisuals and reports to one
// LayoutListener (all three not owned, all optional). Random choices use the C
// runtime generator of the platform layer (plat::CrtRand), so a seed replays a
// deal. Time is counted in update ticks of 10 ms. Main thread only.
//
// The object is large (tiles, grid and screen positions live inside it, about a
// third of a megabyte): create it as a global or on the heap.
class Layout_t {
public:
    static constexpr int kMaxTiles = 500;
    static constexpr int kLayers = 10;
    static constexpr int kRows = 24;
    static constexpr int kColumns = 40;
    static constexpr int kDealFaceCount = 144;
    // Face numbers from kFirstSpecialFace on match only themselves.
    static constexpr int kFirstSpecialFace = 45;
    static constexpr int kBlankFaceGroup = 49;

    enum TileKind {
        kOrdinary = 0,
        kSwapTool = 1,
        kChangeTool = 2,
        kFixedFace = 3,
        kRemoverTool = 4,
        kHintTile = 5,
        kCollection = 6,
        kFirstLinked = 7  // kind k: ends of a link; kind k + 1: its links
    };
    enum ShuffleMode { kShuffleNone = 0, kShuffleDeal = 1, kShuffleRebalance = 2 };

    Layout_t();
    virtual ~Layout_t();
    Layout_t(const Layout_t&) = delete;
    Layout_t& operator=(const Layout_t&) = delete;

    // --- Seams --------------------------------------------------------------
    void SetTileSets(const BoardTileSets* tileSets) {
        mTileSets = tileSets;
        mFamiliesValid = false;
    }
    const BoardTileSets* GetTileSets() const { return mTileSets; }
    // Null selects NullBoardVisuals. Set it before Init.
    void SetVisuals(BoardVisuals* visuals);
    BoardVisuals& Visuals() const { return *mVisuals; }
    void SetListener(LayoutListener* newListener) { listener = newListener; }
    // The listener, or a listener that does nothing: every notification is safe.
    LayoutListener& Listener();

    // --- Set-up and loading -------------------------------------------------
    // One-time set-up: tile records, screen positions, the deal face table and the
    // markers made through the visuals.
    void Init();
    // Zeroes the grid; every cell gets its tile index, column and row 0.
    void ResetTileRecords();
    // Cell rectangle of layer L, row r, column c: x = 14 + 6L + 24c,
    // y = 85 + 31r - 5L, 51 by 64 pixels.
    void FillPositions(int layers, int rows, int columns);
    void InitFaceTable();

    // Reads "Layouts/" + name. The file is checked whole first (see LayoutFile.h);
    // a missing, empty or broken file returns false, leaves the board as it was and
    // explains itself in GetLoadError(). Ordinary tiles keep their old faces until
    // the deal.
    virtual bool Load(const std::string& name);
    bool LoadFromFile(const std::string& path);
    bool LoadFromText(const std::string& text, const std::string& origin);
    const std::string& GetLoadError() const { return mLoadError; }

    // Takes every used tile off the board; itemCount becomes 0.
    void ClearTiles();

    // --- Faces and tile set -------------------------------------------------
    // Face 0 (or less) changes nothing.
    virtual void SetTileFace(int tile, int face);
    // Index of the highest group of the current tile set whose type equals type;
    // 0 when none does.
    virtual int FindFaceByType(int type);
    virtual const BoardTileSet* CurrentTileSet();
    // Gives every tile of a kind other than 0 the picture of its type's group.
    void RefreshSpecialTiles();
    // Layout thumbnails: every active tile shows group 49 (faces unchanged).
    void ShowBlankFaces();
    // The group number (matching family) of a face number, 0 when the tile set has
    // no such group.
    int GroupNumberOfFace(int face);

    // --- Rules of the usual game -------------------------------------------
    // Top ("layer + 1 >= min(layerCount, 10)") or the four cells above empty.
    bool IsFreeFromAboveAt(int layer, int row, int column) const;
    // Indices from itemCount on are unused records with nothing above them.
    bool IsFreeFromAbove(int tile) const;
    // Column 0; or both cells to the left empty and the tile free from above; or
    // both cells to the right empty.
    bool IsSideFree(int tile) const;
    virtual bool IsTileFree(int tile);
    // Drawn with the blocked overlay: not free, except collection tiles.
    virtual bool IsTileBlocked(const LayoutCell_t* cell, int tile);
    // byFace false: a and b are tile indices. byFace true: a and b are face
    // numbers, compared as two tiles bearing them would be. Faces from 45 on match
    // only themselves; the others match by the tile set's families (group numbers
    // 1 and 2) or by equal face. Face 0 matches nothing.
    virtual bool TilesMatch(int a, int b, bool byFace);
    bool FacesMatch(int faceA, int faceB) { return TilesMatch(faceA, faceB, true); }
    // Match and both tiles free. Kinds and activity are the caller's business.
    virtual bool CanRemovePair(int a, int b);
    // Rebuilds availablePairs: active free matching pairs of two ordinary or two
    // collection tiles, shuffled.
    virtual void FindAvailablePairs();
    // With collection tiles in the layout: none of them left; otherwise no
    // ordinary tile left.
    virtual bool IsCleared();

    // --- Dealing and shuffling ----------------------------------------------
    // Plays the layout backwards, giving the same face to two ordinary tiles that
    // are free at the same time. When no pass leaves a tile over, removing the
    // passes' pairs in order clears the board. retryUntilPairs: up to eleven
    // attempts until at least one pair is available.
    virtual void Deal(bool retryUntilPairs);
    // The 144 face numbers of the standard set: 1-27, 32-35 and 40-42 four times,
    // 28-31 and 36-39 once.
    static const std::array<int, kDealFaceCount>& DealFaces();
    void FillFaceList(std::vector<int>& list) const;
    // Appends the active, free ordinary tiles in index order; true when any.
    bool CollectFreeOrdinaryTiles(std::vector<int>& list) const;
    // On the top layer, or not all four cells above occupied.
    bool IsUncovered(int tile) const;
    // Starts the shuffle animation; the faces are dealt again at its middle frame.
    void StartShuffle();
    // Starts the animation that gives the tiles of odd face classes new faces in
    // pairs; false when the classes are all even or nothing was started.
    bool StartRebalance();
    // Gives the tiles of rebalanceList new faces in pairs, joined to the last move.
    void ReshufflePairs();
    // One tick of the shuffle or rebalance animation (part of Update).
    void AdvanceShuffle();

    // --- Per tick -----------------------------------------------------------
    // Counts the tick and runs the shuffle.
    virtual void Update();

    // --- Mode hooks (the usual game does nothing) ---------------------------
    virtual void ResolveGroups() {}
    virtual void OnTileMoveFinished(int /*move*/) {}
    virtual void AfterLoad() {}

    // --- Board state helpers ------------------------------------------------
    void StartFade(int mode);
    // Zeroes the grid and marks the four cells of every active tile.
    void RebuildGrid();
    int GetItemCount() const { return itemCount; }
    int CountActiveTiles() const;
    int CountPlayableTiles() const;      // active, kind 0 or 6
    int CountNonCollectionTiles() const;  // active, kind other than 6
    bool HasSpecialTiles() const;         // an active tile of a kind other than 0 and 6
    int HighestActiveLayer() const;       // among all 500 records; 0 when none
    // The lowest used tile index, active or not, with a cell at that place; -1 none.
    int FindTileAt(int layer, int row, int column) const;
    int FindActiveTileAt(int layer, int row, int column) const;
    void DropTileEffects();
    void ResetCounters();
    // Puts the other layout's tiles under this one's and lets this one's settle
    // back onto them. Refused (false, nothing changed) when the tiles together
    // exceed 500 records or 10 layers.
    bool MergeLayout(const Layout_t& other);

    // Takes a tile off the board, recording it in currentMove when asked, and
    // recounts when asked.
    void RemoveTile(int tile, int action, bool record, bool recount);
    // A record {tile, its face, action} at the end (or front) of currentMove.
    void RecordFace(int tile, int action, bool atEnd);

    // Drawing order and visibility.
    void BuildDrawLists();
    // Covered by a full 3 by 3 block of cells on the layer above; never in
    // column 0 or on the top layer.
    bool IsHidden(int tile) const;
    void UpdateVisibility();

    // The first cell of a tile; the index must lie in 0 .. 499.
    LayoutCell_t& Cell(int tile) { return tiles[tile].cells[0]; }
    const LayoutCell_t& Cell(int tile) const { return tiles[tile].cells[0]; }
    // Grid occupancy; false outside the grid.
    bool IsOccupied(int layer, int row, int column) const;

    // --- Data -----------------------------------------------------------------
    int activeTileCount = 0;
    int playableTileCount = 0;
    std::vector<std::pair<int, int>> availablePairs;
    std::vector<LayoutMoveList> history;  // oldest first
    LayoutMoveList currentMove;
    std::string name;
    unsigned char grid[kLayers][kRows][kColumns] = {};  // 1: an active tile covers the cell
    LayoutTile_t tiles[kMaxTiles];  // only the first itemCount are used
    int positions[kLayers][kRows + 1][kColumns + 1][4] = {};  // x, y, width, height
    int itemCount = 0;
    int layerCount = 0;
    int rowCount = 0;
    int colCount = 0;
    int selected = -1;
    int hovered = -1;
    int hitTile = -1;
    int hintCursor = -1;
    LayoutListener* listener = nullptr;  // not owned
    std::unique_ptr<BoardAnim> selectionMarker;
    std::unique_ptr<BoardAnim> selectionMarker2;
    std::unique_ptr<BoardAnim> hoverMarker;
    int tickCount = 0;
    int fadeMode = 2;  // 0 fading in, 1 fading out, 2 steady
    float fadeAlpha = 255.0f;
    float fadeStep = 12.0f;
    std::vector<std::unique_ptr<BoardAnim>> shuffleAnims;
    bool shuffleMidpointDone = false;
    int shuffleMode = kShuffleNone;
    int toolMode = 0;  // 0 none, 1 swap, 2 change, 3 remover
    std::vector<int> rebalanceList;
    std::vector<int> removerTargets;
    int swapFirst = -1;
    int swapSecond = -1;
    std::vector<int> scanList;
    std::unique_ptr<BoardAnim> bridgeShine;
    std::unique_ptr<TileSprite> blockedPicture;
    bool showBlocked = false;
    int bonusTile = -1;
    int comboCount = 0;
    int lastRemovalTick = 0;
    bool comboBonusActive = false;
    int comboBonusTimer = 0;
    std::vector<std::vector<LayoutCell_t*>> drawLists;  // per layer, in drawing order

protected:
    // Puts the checked file on the board (steps after the check of Load).
    void ApplyLayout(const LayoutFileData& data);
    bool IsUsedTile(int tile) const { return tile >= 0 && tile < itemCount; }
    // The usual free rule: free from above and side-free (IsFreeFromAbove and
    // IsSideFree together, reading each cell once).
    bool IsFreeUsual(int tile) const;
    void EnsureSprite(int tile);
    void PlaceSprite(int tile);
    void SetTileCells(int tile, int layer, int row, int column);
    void MarkGrid(int tile, unsigned char value);
    void RecountTiles();
    void ForgetShuffleAnims();
    // Group numbers of faces 1 .. 44 of the current tile set, read again when the
    // current tile set changes and at every deal and load.
    const int* FaceFamilies();
    void ForgetFaceFamilies() { mFamiliesValid = false; }

private:
    const BoardTileSets* mTileSets = nullptr;
    BoardVisuals* mVisuals;
    std::string mLoadError;
    std::array<int, kDealFaceCount> mDealFaces{};
    std::array<int, kFirstSpecialFace> mFaceFamily{};
    const BoardTileSet* mFamiliesSet = nullptr;
    bool mFamiliesValid = false;
    bool mFamiliesPinned = false;
};

}  // namespace Velm
