#pragma once

#include <functional>
#include <memory>

namespace Velm {

class Graphics;
class MiniGame;

// Told by a mini-game when it has ended (won, or ended after a skip).
class MiniGameListener {
public:
    virtual ~MiniGameListener() = default;
    virtual void OnMiniGameFinished(MiniGame* game) = 0;
};

// A small game played on the play screen in place of a level's board. The play screen starts
// it, ticks, advances and draws it, hands it the pointer while it runs, and tells it to finish
// once it has reported its end; a skipped game is asked to end early and then reports its end
// like any other. The game owns nothing of the screen. Main thread only.
class MiniGame {
public:
    explicit MiniGame(MiniGameListener* listener) : mListener(listener) {}
    virtual ~MiniGame() = default;

    virtual void Start() {}
    virtual void Update() {}
    virtual void Advance(float /*ticks*/) {}
    virtual void Draw(Graphics* /*g*/) {}
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void MouseMove(int /*x*/, int /*y*/) {}
    virtual void MouseDown(int /*x*/, int /*y*/, int /*clickCount*/) {}
    virtual void MouseUp(int /*x*/, int /*y*/, int /*clickCount*/) {}
    virtual void MouseDrag(int /*x*/, int /*y*/) {}
    // The player asked for a hint while the game runs.
    virtual void Hint() {}
    // Asked to end early (the player skipped it): the game reports its end when it has.
    virtual void End() {}
    // Told to finish after its end was reported: it stops taking input and winds down.
    virtual void Finish() {}

    void MarkSkipped() { mSkipped = true; }
    bool WasSkipped() const { return mSkipped; }

protected:
    // Reports the end to the listener (once per call).
    void ReportFinished() {
        if (mListener != nullptr) mListener->OnMiniGameFinished(this);
    }

private:
    MiniGameListener* mListener;
    bool mSkipped = false;
};

// The mini-games the game knows, by id (one global object). This game defines none: Create
// gives null for every id. Ids 10 and 11 are games the board plays behind a rising shadow of
// its own; the others replace the board's controls directly.
class MiniGameRegistry {
public:
    using Creator = std::function<std::unique_ptr<MiniGame>(int id, MiniGameListener* listener)>;

    static MiniGameRegistry& Instance();

    // The mini-game of that id, or null when there is none.
    std::unique_ptr<MiniGame> Create(int id, MiniGameListener* listener) const;
    static bool IsBoardHandled(int id);

    // Tests give the registry games to make; null restores the empty registry.
    void SetCreatorForTests(Creator creator) { mCreator = std::move(creator); }

private:
    Creator mCreator;
};

}  // namespace Velm
