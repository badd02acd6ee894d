#include "dialogs/GradientPatterns.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "rtl/SysUtils.h"

namespace dialogs {

namespace {

constexpr std::array<std::string_view, kGradientStyleCount> kStyleNames = {
    "gsCustom",     "gsRadialC",    "gsRadialT",    "gsRadialB",    "gsRadialL",    "gsRadialR",
    "gsRadialTL",   "gsRadialTR",   "gsRadialBL",   "gsRadialBR",   "gsLinearH",    "gsLinearV",
    "gsReflectedH", "gsReflectedV", "gsDiagonalLF", "gsDiagonalLB", "gsDiagonalRF", "gsDiagonalRB",
    "gsArrowL",     "gsArrowR",     "gsArrowU",     "gsArrowD",     "gsDiamond",    "gsButterfly"};

// One channel of the table. Worked example, rotation 50: g = 128 and h = 127, so entries 0 to
// 126 climb from the start value, entry 127 is the end value and the run falls back to the
// start value at entry 255.
std::array<int, 256> ChannelRun(int v1, int v2, int g) {
  std::array<int, 256> run{};
  const int d = v2 - v1;
  if (g == 0) {
    for (int i = 0; i <= 255; ++i) run[i] = v1 + i * d / 255;
  } else if (g > 0) {
    const int h = 255 - g;
    for (int i = 0; i < h; ++i) run[i] = v1 + i * d / h;
    for (int i = h; i <= 255; ++i) run[i] = v1 + (255 - i) * d / g;
  } else {
    const int h = -g;
    for (int i = 0; i <= h; ++i) run[i] = v2 - i * d / h;
    for (int i = h + 1; i <= 255; ++i) run[i] = v2 - (255 - i) * d / (255 - h);
  }
  return run;
}

// Distance from the centre line of a 362-pixel axis: 180 .. 0 then 0 .. 180.
int Centred(int v) {
  return v <= 180 ? 180 - v : v - 181;
}

int Nearest(int dx, int dy) {
  return static_cast<int>(rtl::Round(std::sqrt(double(dx) * dx + double(dy) * dy)));
}

struct TBuilder {
  int Width, Height;
  int (*Entry)(int x, int y);
};

// Indexed by style; gsCustom has no builder.
const std::array<TBuilder, kGradientStyleCount> kBuilders = {{
    {0, 0, nullptr},
    {362, 362, [](int x, int y) { return Nearest(Centred(x), 180 - y); }},
    {362, 181, [](int x, int y) { return Nearest(Centred(x), y); }},
    {362, 181, [](int x, int y) { return Nearest(Centred(x), 180 - y); }},
    {181, 362, [](int x, int y) { return Nearest(x, Centred(y)); }},
    {181, 362, [](int x, int y) { return Nearest(180 - x, Centred(y)); }},
    {181, 181, [](int x, int y) { return Nearest(x, y); }},
    {181, 181, [](int x, int y) { return Nearest(180 - x, y); }},
    {181, 181, [](int x, int y) { return Nearest(x, 180 - y); }},
    {181, 181, [](int x, int y) { return Nearest(180 - x, 180 - y); }},
    {256, 1, [](int x, int) { return x; }},
    {1, 256, [](int, int y) { return y; }},
    {1, 512, [](int, int y) { return y <= 255 ? 255 - y : y - 256; }},
    {512, 1, [](int x, int) { return x <= 255 ? 255 - x : x - 256; }},
    {128, 129, [](int x, int y) { return x + y; }},
    {128, 129, [](int x, int y) { return y - x + 127; }},
    {256, 256, [](int x, int y) { return x + y >= 255 ? x + y - 255 : 255 - x - y; }},
    {256, 256, [](int x, int y) { return std::abs(x - y); }},
    {129, 256, [](int x, int y) { return y <= 127 ? 255 - x - y : y - x; }},
    {129, 256, [](int x, int y) { return y <= 127 ? x - y + 127 : x + y - 128; }},
    {256, 129, [](int x, int y) { return x <= 127 ? 255 - x - y : x - y; }},
    {256, 129, [](int x, int y) { return x <= 127 ? y - x + 127 : x + y - 128; }},
    {256, 256,
     [](int x, int y) {
       if (y <= 127) return x <= 127 ? 255 - x - y : x - y;
       return x <= 127 ? y - x : x + y - 255;
     }},
    {256, 256,
     [](int x, int y) {
       if (y <= 127) return x <= 127 ? x - y + 128 : 383 - x - y;
       return x <= 127 ? x + y - 128 : y - x + 128;
     }},
}};

}  // namespace

std::string_view GradientStyleName(TGradientStyle style) {
  return style < kGradientStyleCount ? kStyleNames[style] : std::string_view("?");
}

TBGR ToBGR(gfx::TColor rgb) {
  return {std::uint8_t(gfx::GetBValue(rgb)), std::uint8_t(gfx::GetGValue(rgb)),
          std::uint8_t(gfx::GetRValue(rgb))};
}

gfx::TColor ToRGB(TBGR c) {
  return gfx::RGB(c.R, c.G, c.B);
}

TGradientColors BuildGradientColors(gfx::TColor c1, gfx::TColor c2, int shift, int rotation) {
  shift = std::clamp(shift, -100, 100);
  rotation = std::clamp(rotation, -100, 100);
  int r1 = gfx::GetRValue(c1), g1 = gfx::GetGValue(c1), b1 = gfx::GetBValue(c1);
  int r2 = gfx::GetRValue(c2), g2 = gfx::GetGValue(c2), b2 = gfx::GetBValue(c2);
  // Each moved channel stays between its two old values, so it remains a byte.
  if (shift > 0) {
    r1 += gfx::MulDiv(r2 - r1, shift, 100);
    g1 += gfx::MulDiv(g2 - g1, shift, 100);
    b1 += gfx::MulDiv(b2 - b1, shift, 100);
  } else if (shift < 0) {
    r2 += gfx::MulDiv(r2 - r1, shift, 100);
    g2 += gfx::MulDiv(g2 - g1, shift, 100);
    b2 += gfx::MulDiv(b2 - b1, shift, 100);
  }
  const int g = gfx::MulDiv(255, rotation, 100);
  const std::array<int, 256> red = ChannelRun(r1, r2, g);
  const std::array<int, 256> green = ChannelRun(g1, g2, g);
  const std::array<int, 256> blue = ChannelRun(b1, b2, g);
  TGradientColors colors;
  for (int i = 0; i <= 255; ++i) {
    colors[i] = {std::uint8_t(blue[i]), std::uint8_t(green[i]), std::uint8_t(red[i])};
  }
  return colors;
}

void TPixelBuffer::SetSize(int width, int height) {
  FWidth = std::max(width, 0);
  FHeight = std::max(height, 0);
  FPixels.assign(std::size_t(FWidth) * std::size_t(FHeight), TBGR{});
}

void BuildGradientPattern(TGradientStyle style, const TGradientColors& colors,
                          TPixelBuffer& pattern) {
  if (style >= kGradientStyleCount || !kBuilders[style].Entry) return;
  const TBuilder& builder = kBuilders[style];
  pattern.SetSize(builder.Width, builder.Height);
  for (int y = 0; y < builder.Height; ++y) {
    for (int x = 0; x < builder.Width; ++x) {
      // Every formula stays within 0..255 over its pattern; the clamp only guards the table.
      const int k = std::clamp(builder.Entry(x, y), 0, 255);
      pattern.SetPixel(x, y, colors[std::size_t(k)]);
    }
  }
}

void BuildDefaultCustomPattern(gfx::TColor c1, gfx::TColor c2, TPixelBuffer& pattern) {
  pattern.SetSize(2, 2);
  pattern.SetPixel(0, 0, ToBGR(c1));
  pattern.SetPixel(1, 1, ToBGR(c1));
  pattern.SetPixel(1, 0, ToBGR(c2));
  pattern.SetPixel(0, 1, ToBGR(c2));
}

}  // namespace dialogs
