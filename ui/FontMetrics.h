// The widths of a font's 256 characters, taken from GDI once, so that a text is measured by
// adding them up instead of asking GDI again for every word.
#pragma once

#include "ui/Win32.h"

#include <array>
#include <string_view>

#include "gfx/Types.h"

namespace ui {

class TFontMetrics {
public:
  // Measures the font selected into dc. The widths are used only where they give exactly what
  // GetTextExtentPoint32A gives: a one-byte code page, and texts whose extent is the sum of
  // their characters' widths. GDI kerns nothing by default, but a font whose characters
  // overhang (synthesized bold or italic of a bitmap font) does not add up, and neither does
  // a font whose characters GDI places at fractional advances; such a font is not Exact.
  explicit TFontMetrics(HDC dc);

  bool Exact() const { return FExact; }
  // The extent of a text that is not empty, in an Exact font.
  gfx::TSize Extent(std::string_view text) const {
    int cx = 0;
    for (unsigned char c : text) cx += FWidths[c];
    return {cx, FHeight};
  }

private:
  bool FExact = false;
  int FHeight = 0;
  std::array<INT, 256> FWidths{};
};

// What a device context does to the widths of a font besides the font itself. A canvas
// measures its fonts anew when it is attached to a context that differs in any of these.
struct TMeasuringMode {
  int PixelsX = 0, PixelsY = 0;
  // Widths add up in logical units only without a world transform or mapping, and without
  // extra space between characters.
  bool Plain = false;

  explicit TMeasuringMode(HDC dc = nullptr);
  friend bool operator==(const TMeasuringMode&, const TMeasuringMode&) = default;
};

}  // namespace ui
