#pragma once

// One running instance per product and user (what the named mutex and the broadcast
// notify message were). The first instance owns an abstract UNIX socket named after the
// product, the user id and the user's data folder; a later start finds the name taken,
// knocks on the first one and exits. The first instance polls for knocks from its main loop (and, for example,
// brings its window to the front). The name disappears with the process, so a crashed
// instance never blocks the next start.

#include <string>

namespace plat {

class SingleInstance {
public:
    explicit SingleInstance(const std::string& productName);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False only when another process holds the name. When the socket cannot be made
    // at all, every instance counts as first: the game runs rather than refusing to.
    bool IsFirst() const { return mFirst; }
    // Second instance: tells the first one that someone tried to start. False when
    // nobody received it.
    bool KnockOnFirst();
    // First instance: true when at least one knock arrived since the last call
    // (never blocks).
    bool PollKnock();

private:
    std::string mName;  // abstract socket name, without the leading NUL
    int mFd = -1;       // our bound socket while we are the first instance
    bool mFirst = true;
};

}  // namespace plat
