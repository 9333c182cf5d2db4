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
    enum ToolMode { kNoTool = 0, kToolSwap = 1, kToolChange = 2, kToolRemover = 3 };
    // Tool numbers in notifications: the three tools above and the hint time.
    enum { kToolNumberHint = 4 };
    // A move recorded into currentMove whose tiles change only when the play
    // screen's animation ends. While one is pending, board clicks are ignored,
    // Undo and Shuffle do nothing and an active tool cannot be dropped, so the
    // recorded move is never overwritten and no tile stays hidden.
    enum PendingOperation {
        kNothingPending = 0,
        kPendingSwap = 1,     // ends in ApplySwap
        kPendingRemover = 2,  // ends in FinishRemoverBonus
        kPendingChange = 3,   // a mode's change waiting for ResolveGroups
        kPendingFlights = 4   // a mode's tile flights waiting for OnTileMoveFinished
    };
    // Combo timing, in update ticks.
    static constexpr int kComboWindow = 250;
    static constexpr int kComboBonusCount = 3;
    static constexpr int kComboBonusTicks = 3000;
    // Hit rectangle of a tile from its anchor cell's corner: larger than the
    // 51 by 64 tile, so it also covers the drawn side and shadow.
    static constexpr int kHitWidth = 58;
    static constexpr int kHitHeight = 69;

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
    // the deal. A successful load also ends whatever the last board left running
    // (a pending tool move, a tool, a shuffle) and shows every tile's picture
    // again, without notifying anybody.
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
    // Why the last deal was refused, or empty when it succeeded. A mode whose
    // deal cannot meet its own condition (a layer too large for its faces, a
    // swap deal that kept leaving matching neighbours, a tile set without the
    // faces to deal) says so here. A refused deal leaves every face as it was
    // before it; a freshly loaded level whose deal was refused is not to be
    // played.
    const std::string& GetDealError() const { return mDealError; }
    // The pairs (tile, tile) the last peeling deal gave one face: the tiles of each pass
    // paired, then the left-over tiles in pairs. Played in turn as each comes free, they
    // clear the board; the tests check that the deal keeps that promise.
    const std::vector<std::pair<int, int>>& GetDealtPairs() const { return mDealtPairs; }
    // The 144 face numbers of the standard set: 1-27, 32-35 and 40-42 four times,
    // 28-31 and 36-39 once.
    static const std::array<int, kDealFaceCount>& DealFaces();
    void FillFaceList(std::vector<int>& list) const;
    // Appends the active, free ordinary tiles in index order; true when any.
    bool CollectFreeOrdinaryTiles(std::vector<int>& list) const;
    // On the top layer, or not all four cells above occupied.
    bool IsUncovered(int tile) const;
    // Starts the shuffle animation; the faces are dealt again at its middle frame.
    // Nothing while an operation is pending.
    void StartShuffle();
    // Starts the animation that gives the tiles of odd face classes new faces in
    // pairs; false when the classes are all even or nothing was started.
    bool StartRebalance();
    // Gives the tiles of rebalanceList new faces in pairs, joined to the last move.
    void ReshufflePairs();
    // One tick of the shuffle or rebalance animation (part of Update).
    void AdvanceShuffle();

    // --- Mouse, selection and bonus tools -------------------------------------
    // The active tile under a screen point, higher layers first; -1 none.
    int HitTest(int x, int y) const;
    // Updates hovered and hitTile and tells the listener.
    virtual void HandleMouseMove(int x, int y);
    // A left click on what the last mouse move hovered (the point itself is not
    // used). True when the board used the click, false when the play screen may
    // offer it to other objects. Ignored (false) while an operation is pending.
    virtual bool HandleClick(int x, int y);
    // Shows the selection of `selected` and starts the tool of a tool tile.
    void SelectHoveredTile();
    // Ends a pending swap: the two tiles exchange faces and the move enters the
    // history. Nothing unless a swap is pending.
    virtual void ApplySwap();
    // The change tool: every tile matching the second chosen tile takes the face
    // of the first.
    virtual void ApplyChangeBonus(int unused);
    // Ends a pending remover after the play screen took its targets away with
    // RemoveTile. Nothing unless a remover is pending.
    void FinishRemoverBonus();
    // The play screen's right click: drops an active tool that has not been used
    // yet (the tool tile stays). False, and nothing changes, while a tool's move
    // is pending; true otherwise.
    bool DropTool();
    bool IsOperationPending() const { return pendingOperation != kNothingPending; }
    // Whether the play screen may offer Undo (a move to take back, no tool or move
    // under way) and Shuffle now.
    bool CanUndo() const { return toolMode == kNoTool && !IsOperationPending() && !history.empty(); }
    bool CanShuffle() const;
    // Appends the selected tile and every tile of the available pairs that
    // matches it (each once); nothing without a selection.
    virtual void CollectSelectedPartners(std::vector<LayoutCell_t*>& out);
    // The other tile of the first available pair holding the selected tile.
    LayoutCell_t* SelectedPartner();
    // Moves the hint cursor to the next available pair; false when there is none.
    bool NextHint();
    LayoutCell_t* HintTile(bool second);
    // The tile of record k of the last move in the history, or null.
    LayoutCell_t* LastMoveTile(int k);

    // --- Pair removal, links, combos and undo --------------------------------
    // Removes `selected` and `hovered` with their links, records the move, counts
    // the combo and tells the listener.
    virtual void RemoveSelectedPair();
    void RemoveTileByCell(const LayoutCell_t* cell, int action);
    // A record of a tile flying to other cells (action 2) at the end of
    // currentMove.
    void RecordMove(const LayoutFlight_t& flight);
    // Removes the links of a pair of linked ends (kinds other than 0) once no end
    // of their kind is left; returns how many were removed.
    int RemoveLinkedTiles(int a, int b);
    // Whether the tiles between the two ends of kind k are all links (kind k + 1)
    // on the board. A kind with a single end has no link (false).
    bool IsLinkIntact(int start, int kind, bool fromStart, bool requireEnds);
    // The combo bonus's hint: a blinking picture on both tiles of the first
    // available pair.
    void ShowComboHint();
    // Restores the last move of the history; currentMove then holds the records
    // undone, for the play screen to charge. False, and nothing changes (nothing
    // to charge), when the history is empty or an operation is pending.
    virtual bool Undo();

    // --- Drawing and per tick -------------------------------------------------
    // Draws the tiles layer by layer in drawLists order, with their effects,
    // blocked marks, shuffle animations and markers, all in the board's fade.
    virtual void Draw(Graphics* g);
    // One update tick: tick count, combo bonus timer, fade, markers, shuffle and
    // tile effects.
    virtual void Update();
    // Fills scanList with the active tiles: layers from the bottom, rows from the
    // top, tiles from right to left.
    void CollectTilesInScanOrder();

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
    int CountPlayableTiles() const;       // active, kind 0 or 6
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
    unsigned char grid[kLayers][kRows][kColumns] = {};        // 1: an active tile covers the cell
    LayoutTile_t tiles[kMaxTiles];                            // only the first itemCount are used
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
    int pendingOperation = kNothingPending;

protected:
    // Puts the checked file on the board (steps after the check of Load).
    void ApplyLayout(const LayoutFileData& data);
    bool IsUsedTile(int tile) const { return tile >= 0 && tile < itemCount; }
    // The faces a TilesMatch compares: `a` and `b` themselves when `byFace`, else the
    // faces of tiles a and b. False for a tile index outside 0 .. 499.
    bool MatchedFaces(int a, int b, bool byFace, int& faceA, int& faceB) const;
    bool IsActiveTile(int tile) const { return IsUsedTile(tile) && Cell(tile).active; }
    // Mouse move of the usual game: whether a hit tile may stay hovered (free
    // without a tool; ordinary with one).
    virtual bool CanHover(int tile);
    // Moves the hover marker to a newly hovered tile and tells the listener
    // (null when nothing new is hovered).
    void AnnounceHover(int previous);
    // Click step shared by the modes: without a tool, a hit tile free from above
    // but blocked at both sides is an invalid click.
    void ReportInvalidClick();
    // Puts the tool tile's face, the changed tiles' faces and the tool tile's
    // removal into a fresh currentMove and gives every tile matching the hovered
    // tile the selected tile's face (`changed` receives them); returns the tool
    // tile, -1 when the change cannot run.
    int RecordChange(std::vector<LayoutCell_t*>& changed);
    // The combo count after a pair removal, its notifications and the combo
    // bonus's hint. `second` is the pair's second (hovered) tile.
    void CountCombo(int second);
    // First step of Update: tick count and combo bonus timer.
    void TickCombo();
    // One visible tile of Draw, between OnDrawTileEffects and the next tile.
    virtual void DrawTile(Graphics* g, LayoutCell_t& cell, int alpha);
    // The tile's own picture, the first step of DrawTile.
    virtual void DrawTileFace(Graphics* g, LayoutCell_t& cell, int alpha);
    virtual bool DrawsSelectionMarker() const { return true; }
    // The peeling deal on a prepared face list (shuffled by the caller): the face
    // cursor runs modulo the list's size. partnerFaces false: both tiles of a pair
    // get the list's face f; true: the first gets f and the second f + 1 (the
    // logical pairs). A single left-over tile gets f.
    void DealByPeeling(const std::vector<int>& faceList, bool partnerFaces, bool retryUntilPairs);
    // Whether the dealt pairs can all be taken off the board as it lies, each pair once
    // both its tiles are free, other tiles (tools, links) taken off alone once free; the
    // board's grid and activity are changed meanwhile and left for the caller to restore.
    // Removals only free tiles, so taking every pair as soon as it is free decides it.
    bool CanTakeOffDealtPairs(const std::vector<std::pair<int, int>>& pairs, const int* ownKinds);
    void SetDealError(const std::string& error) { mDealError = error; }
    // Ends a shuffle without notifying: animations forgotten, mode none.
    void StopShuffle();
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
    std::string mDealError;
    std::vector<std::pair<int, int>> mDealtPairs;
    std::array<int, kDealFaceCount> mDealFaces{};
    std::array<int, kFirstSpecialFace> mFaceFamily{};
    const BoardTileSet* mFamiliesSet = nullptr;
    bool mFamiliesValid = false;
    bool mFamiliesPinned = false;
};

}  // namespace Velm
