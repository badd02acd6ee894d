// The computations of the gradient control, free of the platform: the table of 256 colours
// running from the start colour to the end colour, and the small pattern each style builds
// from it (the control stretches that pattern over its client area).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "gfx/Types.h"

namespace dialogs {

enum TGradientStyle : std::uint8_t {
  gsCustom,
  gsRadialC,
  gsRadialT,
  gsRadialB,
  gsRadialL,
  gsRadialR,
  gsRadialTL,
  gsRadialTR,
  gsRadialBL,
  gsRadialBR,
  gsLinearH,
  gsLinearV,
  gsReflectedH,
  gsReflectedV,
  gsDiagonalLF,
  gsDiagonalLB,
  gsDiagonalRF,
  gsDiagonalRB,
  gsArrowL,
  gsArrowR,
  gsArrowU,
  gsArrowD,
  gsDiamond,
  gsButterfly,
};
inline constexpr int kGradientStyleCount = gsButterfly + 1;

// The style's name as the code spells it ("gsRadialC").
std::string_view GradientStyleName(TGradientStyle style);

// One colour in the platform's 24-bit pixel layout: blue, green, red.
struct TBGR {
  std::uint8_t B = 0, G = 0, R = 0;
  friend bool operator==(const TBGR&, const TBGR&) = default;
};
TBGR ToBGR(gfx::TColor rgb);
gfx::TColor ToRGB(TBGR c);

// 256 colours, entry 0 the start colour.
using TGradientColors = std::array<TBGR, 256>;

// The colour table from two RGB colours (already exchanged when the control is reversed).
// shift (-100..100, clamped) moves the start colour toward the end colour when positive, the
// end colour toward the start colour when negative; rotation (-100..100, clamped) folds the
// run so that it turns back at an entry other than 255.
TGradientColors BuildGradientColors(gfx::TColor c1, gfx::TColor c2, int shift, int rotation);

// A 24-bit picture, rows top-down, no padding between rows.
class TPixelBuffer {
 public:
  void SetSize(int width, int height);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TBGR Pixel(int x, int y) const { return FPixels[Index(x, y)]; }
  void SetPixel(int x, int y, TBGR c) { FPixels[Index(x, y)] = c; }
  const std::vector<TBGR>& Pixels() const { return FPixels; }

 private:
  std::size_t Index(int x, int y) const { return std::size_t(y) * std::size_t(FWidth) + x; }
  int FWidth = 0, FHeight = 0;
  std::vector<TBGR> FPixels;
};

// The pattern of a built-in style: its size and every pixel an entry of the table. gsCustom
// has no builder of its own and leaves the pattern as it is.
void BuildGradientPattern(TGradientStyle style, const TGradientColors& colors,
                          TPixelBuffer& pattern);

// What gsCustom shows when its owner supplies nothing: 2 x 2, c1 at top left and bottom
// right, c2 at top right and bottom left.
void BuildDefaultCustomPattern(gfx::TColor c1, gfx::TColor c2, TPixelBuffer& pattern);

}  // namespace dialogs
