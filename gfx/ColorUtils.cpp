#include "gfx/ColorUtils.h"

#include <array>
#include <cmath>

#include "rtl/SysUtils.h"

namespace gfx {

namespace {

constexpr TColor kRedMask = 0x0000FF, kGreenMask = 0x00FF00, kBlueMask = 0xFF0000;
constexpr std::array<TColor, 3> kMasks = {kRedMask, kGreenMask, kBlueMask};

// The standard scheme of Windows 2000 (the last two entries from XP), indexed by COLOR_xxx.
constexpr std::array<TColor, 31> kStandardScheme = {
    gfx::RGB(212, 208, 200), gfx::RGB(58, 110, 165),  gfx::RGB(10, 36, 106),
    gfx::RGB(128, 128, 128), gfx::RGB(212, 208, 200), gfx::RGB(255, 255, 255),
    gfx::RGB(0, 0, 0),       gfx::RGB(0, 0, 0),       gfx::RGB(0, 0, 0),
    gfx::RGB(255, 255, 255), gfx::RGB(212, 208, 200), gfx::RGB(212, 208, 200),
    gfx::RGB(128, 128, 128), gfx::RGB(10, 36, 106),   gfx::RGB(255, 255, 255),
    gfx::RGB(212, 208, 200), gfx::RGB(128, 128, 128), gfx::RGB(128, 128, 128),
    gfx::RGB(0, 0, 0),       gfx::RGB(212, 208, 200), gfx::RGB(255, 255, 255),
    gfx::RGB(64, 64, 64),    gfx::RGB(212, 208, 200), gfx::RGB(0, 0, 0),
    gfx::RGB(255, 255, 225), gfx::RGB(181, 181, 181), gfx::RGB(0, 0, 128),
    gfx::RGB(166, 202, 240), gfx::RGB(192, 192, 192), gfx::RGB(49, 106, 197),
    gfx::RGB(236, 233, 216)};

TSysColorSource gSource = nullptr;

// A channel value (already in its byte position) taken to the nearest integer, ties to even,
// and masked. The reduction modulo 2^32 first is exact and keeps the low bits, so that factors
// far outside 0..1 wrap as the masking says instead of overflowing the conversion.
TColor RoundMasked(double v, TColor mask) {
  if (!std::isfinite(v)) return 0;
  v = std::fmod(v, 4294967296.0);
  return static_cast<TColor>(rtl::Round(v)) & mask;
}

TColor Blend(TColor a, TColor b, double x) {
  TColor result = 0;
  for (TColor m : kMasks) result += RoundMasked((1 - x) * double(a & m) + x * double(b & m), m);
  return result;
}

TColor Add(TColor a, TColor b) {
  TColor result = 0;
  for (TColor m : kMasks) {
    const TColor sum = (a & m) + (b & m);
    result += sum > m ? m : sum;
  }
  return result;
}

TColor Subtract(TColor a, TColor b) {
  TColor result = 0;
  for (TColor m : kMasks) result += (a & m) > (b & m) ? (a & m) - (b & m) : 0;
  return result;
}

// The colour of line i of a band running from line s to line e (e > s): each channel is the
// sum of the two rounded terms, capped at its mask or else masked with it, so a sum that
// falls one below a multiple of 256 in green or blue loses that step.
TColor BandColor(TColor start, TColor end, int s, int e, int i) {
  const double len = e - s;
  TColor result = 0;
  for (TColor m : kMasks) {
    const std::int64_t sum =
        rtl::Round((e - i) / len * double(start & m)) + rtl::Round((i - s) / len * double(end & m));
    result += sum > std::int64_t(m) ? m : TColor(sum) & m;
  }
  return result;
}

void Line(gfx::TCanvas& canvas, TColor color, int x1, int y1, int x2, int y2) {
  canvas.Pen.Color = color;
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x2, y2);
}

}  // namespace

TColor StandardSysColor(int index) {
  if (index < 0 || index >= int(kStandardScheme.size())) return 0;
  return kStandardScheme[std::size_t(index)];
}

TSysColorSource SetSysColorSource(TSysColorSource source) {
  const TSysColorSource previous = gSource;
  gSource = source;
  return previous;
}

TColor ColorToRGB(TColor color) {
  if ((color & 0xFF000000) == gfx::clSystemColor) {
    const int index = int(color & 0xFF);
    return (gSource ? gSource(index) : StandardSysColor(index)) & 0xFFFFFF;
  }
  return color & 0xFFFFFF;
}

TColor BlendColors(TColor a, TColor b, double x) {
  return Blend(ColorToRGB(a), ColorToRGB(b), x);
}

TColor AddColors(TColor a, TColor b) {
  return Add(ColorToRGB(a), ColorToRGB(b));
}

TColor SubtractColors(TColor a, TColor b) {
  return Subtract(ColorToRGB(a), ColorToRGB(b));
}

TColor InvertColor(TColor a) {
  return ~ColorToRGB(a) & 0xFFFFFF;
}

void FillGradientBand(gfx::TCanvas& canvas, int w, int h, int x, int y, TColor startColor,
                      TColor endColor, bool rows) {
  const int s = rows ? y : x;
  const int e = rows ? y + h : x + w;
  if (e <= s) return;
  const TColor start = canvas.ColorToRGB(startColor) & 0xFFFFFF;
  const TColor end = canvas.ColorToRGB(endColor) & 0xFFFFFF;
  gfx::TCanvasSaver saver(canvas);
  canvas.Pen = gfx::TPenDesc{};
  for (int i = s; i <= e; ++i) {
    const gfx::TRect line = rows ? gfx::Rect(x, i, x + w, i + 1) : gfx::Rect(i, y, i + 1, y + h);
    if (!canvas.RectVisible(line)) continue;
    const TColor color = BandColor(start, end, s, e, i);
    if (rows) {
      Line(canvas, color, x, i, x + w, i);
    } else {
      Line(canvas, color, i, y, i, y + h);
    }
  }
}

void DrawShadedPanel(gfx::TCanvas& canvas, int w, int h, TColor /*backColor*/, int x, int y,
                     TColor face, TColor delta, bool down) {
  if (w < 2) return;
  constexpr TColor kDark = 0x464646, kLight = gfx::clWhite;
  gfx::TCanvasSaver saver(canvas);
  canvas.Pen = gfx::TPenDesc{};
  const TColor topLeft = down ? kDark : kLight;
  const TColor bottomRight = down ? kLight : kDark;
  Line(canvas, topLeft, x, y, x + w - 1, y);
  Line(canvas, topLeft, x, y, x, y + h - 1);
  Line(canvas, bottomRight, x + w, y + h, x + w, y);
  Line(canvas, bottomRight, x + w, y + h, x, y + h);

  const TColor faceRGB = canvas.ColorToRGB(face) & 0xFFFFFF;
  const TColor deltaRGB = canvas.ColorToRGB(delta) & 0xFFFFFF;
  const TColor lighter = Add(faceRGB, deltaRGB);
  const TColor darker = Subtract(faceRGB, deltaRGB);
  // Worked example, h = 20 and y = 0: lines 1 to 8, 8 to 12 and 12 to 19, each band drawn
  // over the boundary line of the one before.
  const TColor top = down ? darker : lighter;
  const TColor bottom = down ? lighter : darker;
  FillGradientBand(canvas, w - 1, (2 * h) / 5 - 1, x + 1, y + 1, top, top, true);
  FillGradientBand(canvas, w - 1, h / 5, x + 1, y + (2 * h) / 5, top, bottom, true);
  FillGradientBand(canvas, w - 1, h - 3 * (h / 5) - 1, x + 1, y + 3 * (h / 5), bottom, bottom,
                   true);
}

void ShadeArea(gfx::TCanvas& canvas, int x1, int y1, int x2, int y2, TColor amount, bool bottomUp) {
  if (x2 < x1 || y2 < y1) return;
  const TColor amountRGB = canvas.ColorToRGB(amount) & 0xFFFFFF;
  // The counters are wider than the bounds so that a bound of INT_MAX still ends the loop.
  for (std::int64_t n = 0; n <= std::int64_t(y2) - y1; ++n) {
    const int y = int(bottomUp ? y2 - n : y1 + n);
    for (std::int64_t x = x1; x <= x2; ++x) {
      const TColor pixel = canvas.GetPixel(int(x), y);
      // Outside the surface the platform answers CLR_INVALID, which is no colour to darken.
      if (pixel & 0xFF000000) continue;
      canvas.SetPixel(int(x), y, Subtract(pixel, amountRGB));
    }
  }
}

}  // namespace gfx
