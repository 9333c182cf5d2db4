#include "game/shell/ui/NumberLabelWidget.h"

#include "resources/base/StringUtils.h"

namespace Velm {

NumberLabelWidget::NumberLabelWidget(int id, ButtonListener* listener) : HyperlinkWidget(id, listener) {}

void NumberLabelWidget::Update() {
    HyperlinkWidget::Update();
    if (mCurrent == mTarget) return;
    mCurrent += mStep;
    const bool reached = mStep >= 0 ? mCurrent >= mTarget : mCurrent <= mTarget;
    if (reached) {
        mCurrent = mTarget;
        if (mListener != nullptr) mListener->OnNumberReached(this);
    }
    mLabel = FormatThousands(static_cast<int>(mCurrent));
    MarkDirty();
}

}  // namespace Velm
