#pragma once
// CHeadStatic: a static text from a dialog template turned into a coloured
// section header bar with its text centred in bold white. The bar colour comes
// from the template's text alignment: centred headers are reddish, right-aligned
// ones bluish grey, all others barColor. It paints itself (WM_PAINT) and
// ignores the mouse.
#include "controls/head_static_style.h"
#include "ui/controls.h"

namespace orvello {

class CHeadStatic : public ui::CStatic {
public:
    // The bar colour of left-aligned (and any non-centred, non-right) headers.
    RgbColour barColor = kHeaderDefaultBarColour;

    [[nodiscard]] int AlignmentVariant() const { return alignmentVariant_; }

protected:
    // Records the template's alignment and switches the static to owner-draw.
    void OnAttach() override;
    void OnPaint() override;
    bool OnEraseBkgnd(HDC) override { return true; }  // the bar covers everything

private:
    int alignmentVariant_ = kHeaderVariantDefault;
};

}  // namespace orvello
