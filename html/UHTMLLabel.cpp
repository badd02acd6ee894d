#include "html/UHTMLLabel.h"

#include "html/DrawHTML.h"

namespace html {

namespace {

constexpr int MinimumWidth = 50;
constexpr gfx::TColor Background = gfx::clWhite;

}  // namespace

THTMLLabel::THTMLLabel(ui::TComponent* owner) : TGraphicControl(owner) {}

void THTMLLabel::SetCaption(const std::string& value) {
  if (value == FCaption) return;
  FCaption = value;
  if (Width() < MinimumWidth) SetWidth(MinimumWidth);
  Invalidate();
}

// The text starts at (1, 1) in a band as wide as the label; DrawHTML returns the last line's
// bottom + 20, which AutoSize takes as the height. Changing the height repaints the label,
// and that second paint finds the same height.
void THTMLLabel::Paint() {
  TGraphicControl::Paint();
  const int height = DrawHTML(Canvas(), 1, 1, Width(), FCaption, Background);
  if (FAutoSize && height != Height()) SetHeight(height);
}

}  // namespace html
