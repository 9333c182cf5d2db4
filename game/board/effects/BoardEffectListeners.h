#pragma once

// Listener interfaces of the play screen for board effects that this game never builds: a
// shuffle animation of its own, the standalone change effect, an added-layout effect, the
// burst of three and the heroine's appearance. The screen implements them (empty) so that
// such an effect can be added without touching the screen's type. Every operation is
// optional.

class ShuffleListener {
public:
    virtual ~ShuffleListener() = default;
    virtual void OnShuffleEffectDone() {}
};

class ChangeListener {
public:
    virtual ~ChangeListener() = default;
    virtual void OnChangeEffectDone() {}
};

namespace Velm {
class AddLayoutEffectListener {
public:
    virtual ~AddLayoutEffectListener() = default;
    virtual void OnAddLayoutEffectDone() {}
};
}  // namespace Velm

class EffectRazlet3Listener {
public:
    virtual ~EffectRazlet3Listener() = default;
    virtual void OnRazlet3Done() {}
};

class EffectGirlAppearListener {
public:
    virtual ~EffectGirlAppearListener() = default;
    virtual void OnGirlAppearDone() {}
};
