#pragma once

#include "ui/Control.h"

namespace ui {

enum class TBevel { Raised, Lowered };

// A rectangle filled with its colour inside a one-pixel bevel; it may hold other controls.
class TPanel : public TControl {
public:
    TPanel(const TControlArgs& args, TBevel bevel);

    // The colour value as set: an RGB value or a system colour, resolved only when painted.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBevel Bevel() const { return bevel_; }

    TColor BackgroundColor() const override { return color_; }

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Paint(HDC dc);

    TBevel bevel_;
    TColor color_ = core::clBtnFace;
};

} // namespace ui
