// The colour arithmetic and the shaded drawing of the self-drawn controls, on a small pixel
// canvas with a clipping rectangle.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "gfx/ColorUtils.h"

namespace {

using gfx::RGB;
using gfx::TColor;

// A raster of RGB values that draws horizontal and vertical lines and single pixels, clips to
// one rectangle, and counts the lines it was asked to draw.
class TPixelCanvas : public gfx::TCanvas {
 public:
  TPixelCanvas(int width, int height, TColor background)
      : Clip{0, 0, width, height},
        FWidth(width),
        FHeight(height),
        FPixels(std::size_t(width * height), background) {}

  gfx::TRect Clip;
  int Lines = 0;
  std::vector<gfx::TPoint> Writes;

  void TextOut(int, int, std::string_view) override {}
  gfx::TSize TextExtent(std::string_view) override { return {}; }
  void LineTo(int x, int y) override {
    ++Lines;
    const int dx = x > PenPos.X ? 1 : x < PenPos.X ? -1 : 0;
    const int dy = y > PenPos.Y ? 1 : y < PenPos.Y ? -1 : 0;
    for (gfx::TPoint p = PenPos; p.X != x || p.Y != y; p.X += dx, p.Y += dy) {
      Put(p.X, p.Y, ColorToRGB(Pen.Color));
    }
    PenPos = {x, y};
  }
  void Rectangle(const gfx::TRect&) override {}
  void FillRect(const gfx::TRect&) override {}
  void CopyRect(const gfx::TRect&, const gfx::TRect&) override {}
  TColor GetPixel(int x, int y) override {
    return Inside(x, y) ? FPixels[Index(x, y)] : 0xFFFFFFFF;
  }
  void SetPixel(int x, int y, TColor color) override {
    Writes.push_back({x, y});
    Put(x, y, ColorToRGB(color));
  }
  void StretchDraw(const gfx::TRect&, const gfx::TGraphic&) override {}
  bool RectVisible(const gfx::TRect& r) override {
    return r.Left < Clip.Right && Clip.Left < r.Right && r.Top < Clip.Bottom && Clip.Top < r.Bottom;
  }
  TColor ColorToRGB(TColor color) override { return gfx::ColorToRGB(color); }

  TColor At(int x, int y) const { return FPixels[Index(x, y)]; }
  // The one colour of row y from x1 to x2 included, or 0xFFFFFFFF when the row is mixed.
  TColor Row(int y, int x1, int x2) const {
    for (int x = x1 + 1; x <= x2; ++x) {
      if (At(x, y) != At(x1, y)) return 0xFFFFFFFF;
    }
    return At(x1, y);
  }

 private:
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < FWidth && y < FHeight; }
  std::size_t Index(int x, int y) const { return std::size_t(y * FWidth + x); }
  void Put(int x, int y, TColor c) {
    if (Inside(x, y) && Clip.Contains({x, y})) FPixels[Index(x, y)] = c;
  }
  int FWidth, FHeight;
  std::vector<TColor> FPixels;
};

constexpr TColor kUntouched = RGB(1, 2, 3);

TEST(ColorArithmetic, BlendColors) {
  struct Case {
    TColor a, b;
    double x;
    TColor expected;
  };
  const Case cases[] = {
      {gfx::clWhite, 0x00FFFF, 0.2, 0xCCFFFF},  // the face of the progress bar's track
      {gfx::clWhite, 0xFF0000, 0.2, 0xFFCCCC},
      {RGB(10, 20, 30), RGB(200, 100, 0), 0, RGB(10, 20, 30)},
      {RGB(10, 20, 30), RGB(200, 100, 0), 1, RGB(200, 100, 0)},
      // Ties go to the even neighbour: 0.5, 1.5 and 127.5 in red.
      {0, RGB(1, 0, 0), 0.5, 0},
      {0, RGB(3, 0, 0), 0.5, RGB(2, 0, 0)},
      {0, RGB(255, 0, 0), 0.5, RGB(128, 0, 0)},
      // Green is blended on its masked value, so half of 256 is masked away.
      {0, RGB(0, 1, 0), 0.5, 0},
      // The button's emboss: a factor of 75 wraps each channel to (75 * 255 - 74 * c) mod 256.
      {gfx::clBlack, gfx::clWhite, 75, RGB(181, 181, 181)},
      {gfx::clWindowText, gfx::clWhite, 75, RGB(181, 181, 181)},
      {RGB(100, 0, 255), gfx::clWhite, 75, RGB(205, 181, 255)},
      {gfx::clWhite, gfx::clBlack, -1, RGB(254, 254, 254)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.a << " " << c.b << " " << c.x);
    EXPECT_EQ(gfx::BlendColors(c.a, c.b, c.x), c.expected);
  }
}

TEST(ColorArithmetic, BlendColorsWithAbsurdFactorsStaysAColour) {
  for (double x : {1e300, -1e300, std::numeric_limits<double>::infinity(),
                   std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_LE(gfx::BlendColors(gfx::clWhite, RGB(3, 2, 1), x), 0xFFFFFFu) << x;
  }
}

TEST(ColorArithmetic, AddSubtractInvert) {
  struct Case {
    TColor (*op)(TColor, TColor);
    TColor a, b, expected;
  };
  const Case cases[] = {
      {gfx::AddColors, RGB(240, 240, 240), RGB(32, 32, 32), gfx::clWhite},
      {gfx::AddColors, RGB(1, 2, 3), RGB(4, 5, 6), RGB(5, 7, 9)},
      {gfx::AddColors, RGB(10, 250, 10), RGB(10, 10, 250), RGB(20, 255, 255)},
      {gfx::SubtractColors, RGB(16, 16, 16), RGB(32, 32, 32), gfx::clBlack},
      {gfx::SubtractColors, RGB(100, 10, 200), RGB(50, 20, 100), RGB(50, 0, 100)},
      // System colours take part with their RGB value: the standard face is 212, 208, 200.
      {gfx::AddColors, gfx::clBtnFace, RGB(50, 0, 0), RGB(255, 208, 200)},
      {gfx::SubtractColors, gfx::clWindow, gfx::clBtnFace, RGB(43, 47, 55)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.op(c.a, c.b), c.expected) << std::hex << c.a << " " << c.b;
  }
  EXPECT_EQ(gfx::InvertColor(RGB(1, 2, 3)), RGB(254, 253, 252));
  EXPECT_EQ(gfx::InvertColor(gfx::clWindow), gfx::clBlack);
  EXPECT_EQ(gfx::InvertColor(0x12000000), gfx::clWhite);
}

TEST(ColorArithmetic, SystemColoursComeFromTheInstalledSource) {
  const gfx::TSysColorSource previous =
      gfx::SetSysColorSource([](int index) { return RGB(index, 0, 0) | 0xAB000000; });
  EXPECT_EQ(gfx::ColorToRGB(gfx::clBtnFace), RGB(15, 0, 0));
  EXPECT_EQ(gfx::AddColors(gfx::clInfoBk, 0), RGB(24, 0, 0));
  gfx::SetSysColorSource(previous);
  EXPECT_EQ(gfx::ColorToRGB(gfx::clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(gfx::ColorToRGB(gfx::clSystemColor | 200), gfx::clBlack);
}

TEST(FillGradientBand, RowsRunFromStartToEndColour) {
  struct Case {
    const char* what;
    TColor start, end;
    int h, line;  // the band starts at line 3
    TColor expected;
  };
  const Case cases[] = {
      {"first line", gfx::clBlack, RGB(200, 100, 40), 4, 3, gfx::clBlack},
      {"last line", gfx::clBlack, RGB(200, 100, 40), 4, 7, RGB(200, 100, 40)},
      {"middle", gfx::clBlack, RGB(200, 100, 40), 4, 5, RGB(100, 50, 20)},
      // Two thirds of 100: red rounds to 67, green is rounded on its masked value
      // (17066.67 -> 17067 = $42AB) and masked again, which leaves 66.
      {"masking", RGB(100, 100, 0), gfx::clBlack, 3, 4, RGB(67, 66, 0)},
      // Both halves of 255 round up to 128; the sum is capped instead of wrapping.
      {"cap", RGB(255, 255, 255), RGB(255, 255, 255), 2, 4, gfx::clWhite},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TPixelCanvas canvas(20, 12, kUntouched);
    gfx::FillGradientBand(canvas, 10, c.h, 2, 3, c.start, c.end, true);
    EXPECT_EQ(canvas.Row(c.line, 2, 11), c.expected);
    EXPECT_EQ(canvas.At(1, c.line), kUntouched);
    EXPECT_EQ(canvas.At(12, c.line), kUntouched);  // the end of each line is excluded
    EXPECT_EQ(canvas.Row(2, 0, 19), kUntouched);
    EXPECT_EQ(canvas.Row(3 + c.h + 1, 0, 19), kUntouched);  // h + 1 lines
  }
}

TEST(FillGradientBand, ColumnsAndEmptyBands) {
  TPixelCanvas canvas(12, 12, kUntouched);
  gfx::FillGradientBand(canvas, 2, 5, 4, 1, gfx::clRed, gfx::clBlue, false);
  EXPECT_EQ(canvas.At(4, 1), gfx::clRed);
  EXPECT_EQ(canvas.At(4, 5), gfx::clRed);
  EXPECT_EQ(canvas.At(4, 6), kUntouched);
  // Half of red rounds 127.5 up to 128; half of blue is $7F8000, which its mask cuts to 127.
  EXPECT_EQ(canvas.At(5, 3), RGB(128, 0, 127));
  EXPECT_EQ(canvas.At(6, 1), gfx::clBlue);
  EXPECT_EQ(canvas.At(7, 1), kUntouched);

  for (int size : {0, -3}) {
    TPixelCanvas empty(12, 12, kUntouched);
    gfx::FillGradientBand(empty, 5, size, 1, 1, gfx::clRed, gfx::clBlue, true);
    gfx::FillGradientBand(empty, size, 5, 1, 1, gfx::clRed, gfx::clBlue, false);
    EXPECT_EQ(empty.Lines, 0) << size;
  }
}

TEST(FillGradientBand, SkipsLinesOutsideTheClipAndRestoresThePen) {
  TPixelCanvas canvas(20, 20, kUntouched);
  canvas.Clip = gfx::Rect(0, 5, 20, 7);
  canvas.Pen.Color = gfx::clPurple;
  gfx::FillGradientBand(canvas, 10, 15, 0, 0, gfx::clBlack, gfx::clWhite, true);
  EXPECT_EQ(canvas.Lines, 2);
  EXPECT_EQ(canvas.Pen.Color, gfx::clPurple);
}

// The progress bar's track and filled part: a panel 20 pixels high.
TEST(DrawShadedPanel, BevelAndBandsOfATwentyPixelPanel) {
  const TColor face = RGB(100, 150, 200), delta = 0x3F3F3F;
  const TColor lighter = RGB(163, 213, 255), darker = RGB(37, 87, 137);
  const TColor dark = 0x464646, light = gfx::clWhite;
  const int x = 2, y = 1, w = 30, h = 20;
  struct Row {
    int line;
    TColor raised, pressed;
  };
  const Row rows[] = {
      {y + 1, lighter, darker},
      {y + 8, lighter, darker},  // band 2 starts on band 1's last
      {y + 10, RGB(100, 150, 196), RGB(100, 150, 196)},
      {y + 12, darker, lighter},
      {y + 19, darker, lighter},
  };
  for (bool down : {false, true}) {
    SCOPED_TRACE(down ? "pressed" : "raised");
    TPixelCanvas canvas(40, 30, kUntouched);
    canvas.Pen.Color = gfx::clPurple;
    gfx::DrawShadedPanel(canvas, w, h, gfx::clRed, x, y, face, delta, down);
    for (const Row& r : rows) {
      EXPECT_EQ(canvas.Row(r.line, x + 1, x + w - 1), down ? r.pressed : r.raised) << r.line;
    }
    const TColor topLeft = down ? dark : light, bottomRight = down ? light : dark;
    EXPECT_EQ(canvas.Row(y, x, x + w - 2), topLeft);
    EXPECT_EQ(canvas.At(x, y + h - 2), topLeft);
    EXPECT_EQ(canvas.At(x, y + h - 1), kUntouched);
    EXPECT_EQ(canvas.At(x + w - 1, y), kUntouched);
    EXPECT_EQ(canvas.Row(y + h, x + 1, x + w), bottomRight);
    EXPECT_EQ(canvas.At(x + w, y + 1), bottomRight);
    EXPECT_EQ(canvas.At(x + w, y), kUntouched);
    EXPECT_EQ(canvas.At(x + w + 1, y + 5), kUntouched);
    EXPECT_EQ(canvas.Row(y + h + 1, 0, 39), kUntouched);
    EXPECT_EQ(canvas.Pen.Color, gfx::clPurple);
  }
}

TEST(DrawShadedPanel, NarrowPanelsDrawNothing) {
  for (int w : {1, 0, -5}) {
    TPixelCanvas canvas(10, 10, kUntouched);
    gfx::DrawShadedPanel(canvas, w, 8, 0, 0, 0, gfx::clWhite, 0x3F3F3F, false);
    EXPECT_EQ(canvas.Lines, 0) << w;
  }
}

TEST(ShadeArea, DarkensTheRectangleCornersIncluded) {
  for (bool bottomUp : {false, true}) {
    TPixelCanvas canvas(10, 8, RGB(100, 50, 20));
    gfx::ShadeArea(canvas, 2, 3, 5, 4, RGB(30, 60, 10), bottomUp);
    EXPECT_EQ(canvas.At(2, 3), RGB(70, 0, 10));
    EXPECT_EQ(canvas.At(5, 4), RGB(70, 0, 10));
    EXPECT_EQ(canvas.At(6, 4), RGB(100, 50, 20));
    EXPECT_EQ(canvas.At(2, 5), RGB(100, 50, 20));
    ASSERT_EQ(canvas.Writes.size(), 8u);
    EXPECT_EQ(canvas.Writes.front().Y, bottomUp ? 4 : 3);
  }
}

TEST(ShadeArea, EmptyAndOffSurfaceAreas) {
  TPixelCanvas canvas(4, 4, RGB(100, 100, 100));
  gfx::ShadeArea(canvas, 3, 0, 2, 3, 0x101010, false);
  gfx::ShadeArea(canvas, 0, 3, 3, 2, 0x101010, true);
  EXPECT_TRUE(canvas.Writes.empty());
  // Pixels beyond the surface have no colour to darken; those inside still do.
  gfx::ShadeArea(canvas, 2, 2, 6, 6, 0x101010, false);
  EXPECT_EQ(canvas.Writes.size(), 4u);
  EXPECT_EQ(canvas.At(3, 3), RGB(84, 84, 84));
}

}  // namespace
