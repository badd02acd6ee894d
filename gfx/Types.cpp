#include "gfx/Types.h"

#include <cstdint>

namespace gfx {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t p = std::int64_t(a) * b;
  std::int64_t q = p / c;
  const std::int64_t r = p % c;
  // Round half away from zero, as the platform does.
  if (2 * (r < 0 ? -r : r) >= (c < 0 ? -std::int64_t(c) : c)) q += ((p < 0) != (c < 0)) ? -1 : 1;
  // A result outside 32 bits is -1, as on the platform; it would wrap otherwise, and a font
  // size taken from a text could then make a height that cannot be negated.
  if (q > INT32_MAX || q < -INT32_MAX) return -1;
  return static_cast<int>(q);
}

int TFontDesc::Size() const { return -MulDiv(Height, 72, PixelsPerInch); }

void TFontDesc::SetSize(int points) { Height = -MulDiv(points, PixelsPerInch, 72); }

}  // namespace gfx
