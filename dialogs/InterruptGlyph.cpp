#include "dialogs/InterruptGlyph.h"

#include <array>
#include <string_view>

namespace dialogs {

namespace {

// '.' silver, 'R' red, 'W' white, 'M' maroon.
constexpr std::array<std::string_view, 16> kArt = {
    "................",  //
    "..WW........WW..",  //
    ".WRRM......WRRM.",  //
    ".WRRRM....WRRRM.",  //
    "..MRRRM..WRRRM..",  //
    "...MRRRMWRRRM...",  //
    "....MRRRRRRM....",  //
    ".....MRRRRM.....",  //
    ".....WRRRRM.....",  //
    "....WRRRRRRM....",  //
    "...WRRRMMRRRM...",  //
    "..WRRRM..MRRRM..",  //
    ".WRRRM....MRRRM.",  //
    ".WRRM......MRRM.",  //
    "..MM........MM..",  //
    "................",  //
};

gfx::TColor ArtColor(char c) {
  switch (c) {
    case 'R':
      return gfx::clRed;
    case 'W':
      return gfx::clWhite;
    case 'M':
      return gfx::clMaroon;
    default:
      return gfx::clSilver;
  }
}

}  // namespace

TPixelBuffer InterruptGlyph() {
  TPixelBuffer glyph;
  glyph.SetSize(16, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) glyph.SetPixel(x, y, ToBGR(ArtColor(kArt[y][x])));
  }
  return glyph;
}

}  // namespace dialogs
