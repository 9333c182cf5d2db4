#pragma once

namespace Velm {

class CheckboxListener {
public:
    virtual ~CheckboxListener() = default;
    // The box changed by a click, or by SetChecked with notification.
    virtual void CheckboxChecked(int id, bool checked) {
        (void)id;
        (void)checked;
    }
};

}  // namespace Velm
