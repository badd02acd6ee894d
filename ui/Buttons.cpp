#include "ui/Buttons.h"

#include "ui/StdCtrls.h"

namespace ui {

namespace {

constexpr int GlyphSpacing = 4;

}  // namespace

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  FWidth = 23;
  FHeight = 22;
}

void TSpeedButton::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Invalidate();
}

void TSpeedButton::SetGlyph(const TBitmap& glyph) {
  FGlyph = glyph;
  Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && Enabled()) {
    FTracking = true;
    FDown = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  if (FTracking) {
    const bool inside = ClientRect().Contains({x, y});
    if (inside != FDown) {
      FDown = inside;
      Invalidate();
    }
  }
  TGraphicControl::MouseMove(shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && FTracking) {
    FTracking = false;
    FDown = false;
    Invalidate();
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::DrawGlyph(TGdiCanvas& canvas, int x, int y) {
  const gfx::TColor transparent = FGlyph.Pixel(0, FGlyph.Height() - 1);
  const gfx::TColor shadow = ColorToRGB(gfx::clSystemColor | COLOR_BTNSHADOW);
  for (int gy = 0; gy < FGlyph.Height(); ++gy)
    for (int gx = 0; gx < FGlyph.Width(); ++gx) {
      const gfx::TColor c = FGlyph.Pixel(gx, gy);
      if (c != transparent) canvas.SetPixel(x + gx, y + gy, Enabled() ? c : shadow);
    }
}

void TSpeedButton::Paint() {
  TGdiCanvas& canvas = Canvas();
  HDC dc = canvas.Handle();
  RECT face{0, 0, FWidth, FHeight};
  DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (FDown ? DFCS_PUSHED : 0));

  const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
  const bool glyph = !FGlyph.Empty();
  const gfx::TSize text = FCaption.empty() ? gfx::TSize{} : MeasureText(Font(), FCaption, flags, 0);
  const int glyphWidth = glyph ? FGlyph.Width() : 0;
  const int spacing = glyph && !FCaption.empty() ? GlyphSpacing : 0;
  const int offset = FDown ? 1 : 0;
  int x = (FWidth - (glyphWidth + spacing + text.cx)) / 2 + offset;
  if (glyph) {
    DrawGlyph(canvas, x, (FHeight - FGlyph.Height()) / 2 + offset);
    x += glyphWidth + spacing;
  }
  if (FCaption.empty()) return;
  canvas.Font = Font();
  canvas.Brush.Style = gfx::TBrushStyle::bsClear;
  RECT r{x, offset, x + text.cx, FHeight + offset};
  if (!Enabled()) {
    // Disabled text is embossed: a highlight one pixel down and right, the shadow above it.
    canvas.Font.Color = gfx::clSystemColor | COLOR_BTNHIGHLIGHT;
    canvas.RequireFont();
    canvas.RequireBrush();
    RECT shifted{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    DrawTextA(dc, FCaption.c_str(), int(FCaption.size()), &shifted, flags);
    canvas.Font.Color = gfx::clSystemColor | COLOR_BTNSHADOW;
  }
  canvas.RequireFont();
  canvas.RequireBrush();
  DrawTextA(dc, FCaption.c_str(), int(FCaption.size()), &r, flags);
}

}  // namespace ui
