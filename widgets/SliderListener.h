#pragma once

namespace Velm {

class SliderListener {
public:
    virtual ~SliderListener() = default;
    // Value 0 .. 1: during a drag whenever it changes, and once more on release.
    virtual void SliderValueChanged(int id, double value) {
        (void)id;
        (void)value;
    }
};

}  // namespace Velm
