// The progress window's arithmetic and texts, and the glyph of its button.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/InterruptGlyph.h"
#include "dialogs/ProgressionTexts.h"

namespace {

TEST(ProgressionBar, FillWidthAndStrip) {
  struct Fill {
    int position, width;
  };
  for (const Fill& f : {Fill{0, 0}, Fill{1, 6}, Fill{3, 16}, Fill{99, 544}, Fill{100, 550},
                        Fill{150, 550}, Fill{-5, 0}}) {
    EXPECT_EQ(dialogs::BarFillWidth(f.position), f.width) << f.position;
  }
  struct Strip {
    int from, to;
    gfx::TRect expected;
  };
  const Strip strips[] = {
      {0, 1, {19, 50, 27, 71}},
      {1, 3, {25, 50, 37, 71}},
      {99, 100, {563, 50, 571, 71}},
      {0, 100, {19, 50, 571, 71}},
      // Going down repaints the whole track, so the longer old bar does not stay drawn.
      {50, 10, {19, 50, 571, 71}},
  };
  for (const Strip& s : strips) {
    EXPECT_EQ(dialogs::BarStrip(s.from, s.to), s.expected) << s.from << " -> " << s.to;
  }
}

TEST(ProgressionTexts, ElapsedPositionAndEstimates) {
  EXPECT_DOUBLE_EQ(dialogs::ElapsedDays(0.25, 0.5), 0.25);
  // Started at 23:45:36, now 00:14:24: midnight passed, 28 minutes 48 seconds went by.
  EXPECT_NEAR(dialogs::ElapsedDays(0.99, 0.01), 0.02, 1e-12);

  EXPECT_EQ(dialogs::PositionText(0, 0), " 0% réalisé en 0s ");
  EXPECT_EQ(dialogs::PositionText(12, 0.0625), " 12% réalisé en 1h30mn ");

  struct Case {
    int value;
    double elapsed;
    std::string total, remaining;
  };
  const double minute = 1.0 / 1024;  // 84.375 seconds, exact in a double
  const Case cases[] = {
      {0, minute, ">2h20mn37s", "2h20mn37s"},
      {0, 0, ">0s", "0s"},
      {1, 0, "0s", "0s"},
      {50, minute, "02mn48s", "01mn24s"},
      {100, minute, "01mn24s", "0s"},
      // Past 100 % the remaining time is negative, and says so.
      {125, minute, "01mn07s", "-16s"},
  };
  for (const Case& c : cases) {
    const dialogs::TEstimates e = dialogs::Estimates(c.value, c.elapsed);
    EXPECT_EQ(e.Total, c.total) << c.value;
    EXPECT_EQ(e.Remaining, c.remaining) << c.value;
  }
}

TEST(ProgressionTexts, MemoryLineInWholeMebibytes) {
  EXPECT_EQ(dialogs::MemoryLine(64u << 20, (32u << 20) + 1048575),
            "<B>RAM libre :</B> Au début : <Font Color=#FF>64 Mo<Font Color=#0>    En cours : "
            "<Font Color=#FF0000>32 Mo ");
  EXPECT_NE(dialogs::MemoryLine(5ull << 30, 0).find(">5120 Mo"), std::string::npos);
}

TEST(InterruptGlyph, RedCrossOnTransparentSilver) {
  const dialogs::TPixelBuffer glyph = dialogs::InterruptGlyph();
  ASSERT_EQ(glyph.Width(), 16);
  ASSERT_EQ(glyph.Height(), 16);
  EXPECT_EQ(dialogs::ToRGB(glyph.Pixel(0, 0)), gfx::clSilver);
  // The two strokes cross in the middle; the corners and edge midpoints stay silver.
  for (int i : {3, 7, 8, 12}) {
    EXPECT_EQ(dialogs::ToRGB(glyph.Pixel(i, i)), gfx::clRed) << i;
    EXPECT_EQ(dialogs::ToRGB(glyph.Pixel(15 - i, i)), gfx::clRed) << i;
  }
  for (auto [x, y] : {std::pair{15, 15}, {0, 15}, {15, 0}, {8, 1}, {1, 8}}) {
    EXPECT_EQ(dialogs::ToRGB(glyph.Pixel(x, y)), gfx::clSilver) << x << ", " << y;
  }
  EXPECT_EQ(dialogs::ToRGB(glyph.Pixel(1, 2)), gfx::clWhite);    // upper-left edge
  EXPECT_EQ(dialogs::ToRGB(glyph.Pixel(14, 3)), gfx::clMaroon);  // lower-right edge
}

}  // namespace
