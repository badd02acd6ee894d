// The gradient's colour table and the pattern of each style.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dialogs/GradientPatterns.h"

namespace {

using dialogs::TBGR;
using dialogs::TGradientColors;
using gfx::RGB;

constexpr gfx::TColor kC1 = RGB(10, 200, 0), kC2 = RGB(250, 0, 0);

TEST(GradientColors, RotationFoldsTheRun) {
  struct Case {
    int rotation;
    int entry;
    gfx::TColor expected;
  };
  const Case cases[] = {
      {0, 0, kC1},
      {0, 255, kC2},
      // 10 + 128 * 240 / 255 and 200 + 128 * -200 / 255, both truncated toward zero.
      {0, 128, RGB(130, 100, 0)},
      {-100, 0, kC2},
      {-100, 255, kC1},
      {-100, 127, RGB(131, 99, 0)},
      // 50 gives g = 128 and h = 127: the end colour at 127, back to the start at 255.
      {50, 0, kC1},
      {50, 64, RGB(130, 100, 0)},
      {50, 127, kC2},
      {50, 255, kC1},
      // -50 gives g = -128: end colour, start colour at 128, end colour again.
      {-50, 0, kC2},
      {-50, 128, kC1},
      {-50, 255, kC2},
      {120, 0, kC2},  // clamped to 100
  };
  for (const Case& c : cases) {
    const TGradientColors colors = dialogs::BuildGradientColors(kC1, kC2, 0, c.rotation);
    EXPECT_EQ(dialogs::ToRGB(colors[c.entry]), c.expected)
        << "rotation " << c.rotation << ", entry " << c.entry;
  }
}

TEST(GradientColors, RotationHundredIsTheReversedTable) {
  const TGradientColors straight = dialogs::BuildGradientColors(kC1, kC2, 0, 0);
  const TGradientColors folded = dialogs::BuildGradientColors(kC1, kC2, 0, 100);
  for (int i = 0; i <= 255; ++i) EXPECT_EQ(folded[i], straight[255 - i]) << i;
}

TEST(GradientColors, ShiftMovesOneColourTowardTheOther) {
  struct Case {
    int shift;
    gfx::TColor first, last;
  };
  const Case cases[] = {
      {100, gfx::clBlack, gfx::clBlack},  // the whole table is black
      {150, gfx::clBlack, gfx::clBlack},       {-100, gfx::clWhite, gfx::clWhite},
      {50, RGB(127, 127, 127), gfx::clBlack},  // MulDiv(-255, 50, 100) = -128
      {-50, gfx::clWhite, RGB(128, 128, 128)},
  };
  for (const Case& c : cases) {
    const TGradientColors colors =
        dialogs::BuildGradientColors(gfx::clWhite, gfx::clBlack, c.shift, 0);
    EXPECT_EQ(dialogs::ToRGB(colors[0]), c.first) << c.shift;
    EXPECT_EQ(dialogs::ToRGB(colors[255]), c.last) << c.shift;
    if (c.first == c.last) {
      EXPECT_TRUE(std::all_of(colors.begin(), colors.end(),
                              [&](TBGR e) { return dialogs::ToRGB(e) == c.first; }));
    }
  }
}

// A table whose entry k holds k in blue, so that a pixel tells which entry it took.
TGradientColors IndexTable() {
  TGradientColors colors;
  for (int k = 0; k <= 255; ++k) colors[k] = {std::uint8_t(k), std::uint8_t(255 - k), 7};
  return colors;
}

TEST(GradientPatterns, EveryStyleHasItsSizeRangeAndSamples) {
  struct Sample {
    int x, y, entry;
  };
  struct Case {
    dialogs::TGradientStyle style;
    int width, height, lowest, highest;
    std::vector<Sample> samples;
  };
  using namespace dialogs;
  const Case cases[] = {
      // The vertical distance is 180 - y over the whole height: the last row is 181 away.
      {gsRadialC,
       362,
       362,
       0,
       255,
       {{180, 180, 0},
        {181, 180, 0},
        {180, 0, 180},
        {180, 361, 181},
        {0, 180, 180},
        {361, 361, 255}}},
      {gsRadialT, 362, 181, 0, 255, {{180, 0, 0}, {181, 100, 100}, {0, 180, 255}}},
      {gsRadialB, 362, 181, 0, 255, {{180, 180, 0}, {0, 0, 255}, {361, 90, 201}}},
      {gsRadialL, 181, 362, 0, 255, {{0, 180, 0}, {0, 181, 0}, {100, 181, 100}, {180, 0, 255}}},
      {gsRadialR, 181, 362, 0, 255, {{180, 180, 0}, {90, 180, 90}, {0, 361, 255}}},
      {gsRadialTL, 181, 181, 0, 255, {{0, 0, 0}, {3, 4, 5}, {180, 180, 255}}},
      {gsRadialTR, 181, 181, 0, 255, {{180, 0, 0}, {177, 4, 5}, {0, 180, 255}}},
      {gsRadialBL, 181, 181, 0, 255, {{0, 180, 0}, {3, 176, 5}, {180, 0, 255}}},
      {gsRadialBR, 181, 181, 0, 255, {{180, 180, 0}, {177, 176, 5}, {0, 0, 255}}},
      {gsLinearH, 256, 1, 0, 255, {{0, 0, 0}, {77, 0, 77}, {255, 0, 255}}},
      {gsLinearV, 1, 256, 0, 255, {{0, 0, 0}, {0, 77, 77}, {0, 255, 255}}},
      {gsReflectedH, 1, 512, 0, 255, {{0, 0, 255}, {0, 255, 0}, {0, 256, 0}, {0, 511, 255}}},
      {gsReflectedV, 512, 1, 0, 255, {{0, 0, 255}, {255, 0, 0}, {256, 0, 0}, {511, 0, 255}}},
      {gsDiagonalLF, 128, 129, 0, 255, {{0, 0, 0}, {10, 20, 30}, {127, 128, 255}}},
      {gsDiagonalLB, 128, 129, 0, 255, {{127, 0, 0}, {10, 20, 137}, {0, 128, 255}}},
      {gsDiagonalRF,
       256,
       256,
       0,
       255,
       {{0, 0, 255}, {100, 155, 0}, {100, 100, 55}, {200, 100, 45}, {255, 255, 255}}},
      {gsDiagonalRB, 256, 256, 0, 255, {{0, 0, 0}, {30, 10, 20}, {0, 255, 255}}},
      {gsArrowL,
       129,
       256,
       0,
       255,
       {{0, 0, 255}, {128, 127, 0}, {128, 128, 0}, {10, 20, 225}, {10, 200, 190}}},
      {gsArrowR,
       129,
       256,
       0,
       255,
       {{0, 127, 0}, {0, 128, 0}, {128, 0, 255}, {10, 20, 117}, {10, 200, 82}}},
      {gsArrowU,
       256,
       129,
       0,
       255,
       {{0, 0, 255}, {127, 128, 0}, {128, 128, 0}, {20, 10, 225}, {200, 10, 190}}},
      {gsArrowD, 256, 129, 0, 255, {{127, 0, 0}, {128, 0, 0}, {0, 128, 255}, {255, 128, 255}}},
      // The diamond never reaches the start colour: its four centre pixels are entry 1.
      {gsDiamond,
       256,
       256,
       1,
       255,
       {{127, 127, 1}, {128, 127, 1}, {127, 128, 1}, {128, 128, 1}, {0, 0, 255}, {255, 255, 255}}},
      {gsButterfly,
       256,
       256,
       0,
       255,
       {{0, 127, 1}, {127, 0, 255}, {128, 0, 255}, {0, 128, 0}, {128, 128, 128}, {255, 128, 1}}},
  };
  const TGradientColors colors = IndexTable();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(GradientStyleName(c.style)));
    dialogs::TPixelBuffer pattern;
    BuildGradientPattern(c.style, colors, pattern);
    ASSERT_EQ(pattern.Width(), c.width);
    ASSERT_EQ(pattern.Height(), c.height);
    int lowest = 255, highest = 0;
    for (TBGR p : pattern.Pixels()) {
      ASSERT_EQ(p, colors[p.B]);
      lowest = std::min<int>(lowest, p.B);
      highest = std::max<int>(highest, p.B);
    }
    EXPECT_EQ(lowest, c.lowest);
    EXPECT_EQ(highest, c.highest);
    for (const Sample& s : c.samples) {
      EXPECT_EQ(pattern.Pixel(s.x, s.y).B, s.entry) << s.x << ", " << s.y;
    }
  }
}

TEST(GradientPatterns, CustomStyleBuildsNothingAndHasADefault) {
  dialogs::TPixelBuffer pattern;
  pattern.SetSize(3, 1);
  dialogs::BuildGradientPattern(dialogs::gsCustom, IndexTable(), pattern);
  EXPECT_EQ(pattern.Width(), 3);

  dialogs::BuildDefaultCustomPattern(gfx::clRed, gfx::clBlue, pattern);
  ASSERT_EQ(pattern.Width(), 2);
  ASSERT_EQ(pattern.Height(), 2);
  EXPECT_EQ(dialogs::ToRGB(pattern.Pixel(0, 0)), gfx::clRed);
  EXPECT_EQ(dialogs::ToRGB(pattern.Pixel(1, 1)), gfx::clRed);
  EXPECT_EQ(dialogs::ToRGB(pattern.Pixel(1, 0)), gfx::clBlue);
  EXPECT_EQ(dialogs::ToRGB(pattern.Pixel(0, 1)), gfx::clBlue);
  // Blue first in memory, as the platform's 24-bit pixels are.
  EXPECT_EQ(pattern.Pixel(0, 0), (TBGR{0, 0, 255}));
}

}  // namespace
