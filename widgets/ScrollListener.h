#pragma once

namespace Velm {

class ScrollListener {
public:
    virtual ~ScrollListener() = default;
    // A scroll bar's value was set (also when unchanged) or moved by a clamp.
    virtual void ScrollPosition(int id, double value) {
        (void)id;
        (void)value;
    }
};

}  // namespace Velm
