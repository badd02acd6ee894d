#include "dialogs/CurvedSpeedButton.h"

#include "dialogs/Win32Bridge.h"
#include "gfx/ColorUtils.h"
#include "ui/Forms.h"

namespace dialogs {

namespace {

using gfx::BlendColors;
using gfx::TColor;

// How much lighter and darker than the face the bands are.
constexpr TColor kFaceShading = 0x3F3F3F;
// Room between the glyph and the caption.
constexpr int kGlyphGap = 5;

}  // namespace

TCurvedSpeedButton::TCurvedSpeedButton(ui::TComponent* owner) : TGraphicControl(owner) {
  UsePlatformSysColors();
  SetColor(gfx::clWindow);
  SetParentColor(true);
}

TCurvedSpeedButton::~TCurvedSpeedButton() = default;

void TCurvedSpeedButton::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Invalidate();
}

void TCurvedSpeedButton::SetGlyph(const ui::TBitmap& glyph) {
  FGlyph = glyph;
  Invalidate();
}

void TCurvedSpeedButton::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TCurvedSpeedButton::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  SetDown(true);
}

void TCurvedSpeedButton::MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  // Raised again before the base class reports the click, whose handler may free the button.
  SetDown(false);
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TCurvedSpeedButton::SetDown(bool down) {
  FDown = down;
  if (dynamic_cast<ui::TForm*>(Parent()) && Parent()->HandleAllocated()) {
    Parent()->InvalidateRect(BoundsRect(), false);
  }
  Invalidate();
}

// The colour of the nearest enclosing form, or of the parent when no form holds the button.
gfx::TColor TCurvedSpeedButton::FormColor() const {
  for (ui::TWinControl* p = Parent(); p; p = p->Parent()) {
    if (dynamic_cast<ui::TForm*>(p)) return p->Color();
  }
  return Parent() ? Parent()->Color() : gfx::clBtnFace;
}

void TCurvedSpeedButton::Paint() {
  gfx::TCanvas& canvas = Canvas();
  gfx::TCanvasSaver saver(canvas);
  canvas.Font = Font();
  const TColor back = canvas.ColorToRGB(FormColor()) & 0xFFFFFF;
  const TColor face =
      (ParentColor() || FTransparent) ? back : canvas.ColorToRGB(Color()) & 0xFFFFFF;

  const bool glyph = !FGlyph.Empty();
  const int glyphSpace = glyph ? FGlyph.Width() + kGlyphGap : 0;
  const int glyphHeight = glyph ? FGlyph.Height() : 0;

  DrawShadedPanel(canvas, Width() - 1, Height() - 1, back, 0, 0, face, kFaceShading, FDown);

  const gfx::TSize extent = canvas.TextExtent(FCaption);
  const int press = FDown ? 1 : 0;
  const int textX = (Width() - extent.cx - glyphSpace) / 2 + glyphSpace + press;
  const int textY = (Height() - extent.cy) / 2 + press;

  // The factor 75 is no fraction: with the masking of BlendColors each channel of the light
  // comes out as (75 * 255 - 74 * c) mod 256, 181 for a black font. The emboss is that light
  // half-blended into the face, one pixel below and to the right of the caption.
  const TColor fontColor = canvas.ColorToRGB(canvas.Font.Color) & 0xFFFFFF;
  const TColor light = BlendColors(fontColor, gfx::clWhite, 75);
  canvas.Brush.Style = gfx::TBrushStyle::bsClear;
  canvas.Font.Color = BlendColors(face, light, 0.5);
  canvas.TextOut(textX + 1, textY + 1, FCaption);
  canvas.Font.Color = fontColor;
  canvas.TextOut(textX, textY, FCaption);

  if (!glyph) return;
  const int gx = textX - glyphSpace;
  const int gy = (Height() - glyphHeight) / 2 + 1 + press;
  const TColor transparent = FGlyph.Pixel(0, 0);
  for (int y = 0; y < FGlyph.Height(); ++y) {
    for (int x = 0; x < FGlyph.Width(); ++x) {
      const TColor c = FGlyph.Pixel(x, y);
      if (c != transparent) canvas.SetPixel(gx + x - 1, gy + y - 1, c);
    }
  }
}

}  // namespace dialogs
