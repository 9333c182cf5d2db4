#pragma once

#include "widgets/HyperlinkWidget.h"

namespace Velm {

class NumberLabelWidget;

// Told when a number label has counted to its target.
class NumberLabelListener {
public:
    virtual ~NumberLabelListener() = default;
    virtual void OnNumberReached(NumberLabelWidget* label) { (void)label; }
};

// A text label that counts a shown number toward a target, one step per
// update, and shows it with thousands separators. Owners set the target, the
// current value and the step directly. The "NumberLabel" element of UI
// descriptions. Main thread.
class NumberLabelWidget : public HyperlinkWidget {
public:
    NumberLabelWidget(int id, ButtonListener* listener);

    void Update() override;

    NumberLabelListener* mListener = nullptr;
    float mCurrent = -1.0e8f;
    // Equal to the current value until an owner starts a count, so a label
    // that nobody starts keeps the text it was given.
    float mTarget = -1.0e8f;
    float mStep = 1.0f;
};

}  // namespace Velm
