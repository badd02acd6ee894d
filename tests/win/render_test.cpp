// DrawHTML on a GDI memory bitmap with Wine's real fonts: the pixel figures of the renderer
// hold with Tahoma 10 points ("W" 16 pixels high) and the canvas's MS Sans Serif 8 points
// (13 pixels), and the wizard's page texts are saved as pictures to look at.
#include "ui/GdiCanvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "html/DrawHTML.h"
#include "installer/PageTexts.h"

namespace {

std::string ArtifactPath(const std::string& name) {
  const char* dir = std::getenv("INSTALL_ARTIFACTS_WIN");
  return dir && *dir ? std::string(dir) + "\\" + name : name;
}

// The GDI canvas of a bitmap that also notes where text went and which rectangles moved.
class TSpyCanvas : public ui::TGdiCanvas {
public:
  struct TText {
    int X, Y;
    std::string Text;
    gfx::TColor Color;
  };
  struct TCopy {
    gfx::TRect Dest, Source;
  };
  using ui::TGdiCanvas::TGdiCanvas;

  void TextOut(int x, int y, std::string_view text) override {
    Texts.push_back({x, y, std::string(text), Font.Color});
    ui::TGdiCanvas::TextOut(x, y, text);
  }
  void CopyRect(const gfx::TRect& dest, const gfx::TRect& source) override {
    Copies.push_back({dest, source});
    ui::TGdiCanvas::CopyRect(dest, source);
  }

  std::vector<TText> Texts;
  std::vector<TCopy> Copies;
};

struct TPicture {
  ui::TBitmap Bitmap;
  TSpyCanvas Canvas;
  int Result = 0;

  TPicture(int width, int height) : Bitmap(width, height), Canvas(Bitmap.Canvas().Handle()) {}

  bool White(int x, int y) const { return Bitmap.Pixel(x, y) == gfx::clWhite; }
  // The first and last columns holding anything but white, within rows [top, bottom).
  std::pair<int, int> InkColumns(int top, int bottom) const {
    int first = -1, last = -1;
    for (int x = 0; x < Bitmap.Width(); ++x)
      for (int y = top; y < bottom; ++y)
        if (!White(x, y)) {
          if (first < 0) first = x;
          last = x;
          break;
        }
    return {first, last};
  }
};

// Draws at (1, 1) in a band of the given width, on white.
void Draw(TPicture& p, const std::string& text, int width) {
  p.Result = html::DrawHTML(p.Canvas, 1, 1, width, text, gfx::clWhite);
}

TEST(Render, BonjourAtTheTop) {
  TPicture p(200, 60);
  Draw(p, "Bonjour", 190);
  EXPECT_EQ(p.Result, 37);
  ASSERT_EQ(p.Canvas.Texts.size(), 1u);
  EXPECT_EQ(p.Canvas.Texts[0].X, 1);
  EXPECT_EQ(p.Canvas.Texts[0].Y, 0);
  // The canvas is as it was: MS Sans Serif 8 points.
  EXPECT_EQ(p.Canvas.Font.Name, "MS Sans Serif");
  EXPECT_EQ(p.Canvas.Font.Size(), 8);
}

TEST(Render, ParagraphStartsOneDefaultLineLower) {
  TPicture p(200, 60);
  Draw(p, "<P>Bonjour", 190);
  ASSERT_EQ(p.Canvas.Texts.size(), 1u);
  EXPECT_EQ(p.Canvas.Texts[0].Y, 1 + 13 - 1);
  EXPECT_EQ(p.Result, 1 + 13 + 16 + 20);
}

TEST(Render, RightAlignmentEndsFivePixelsShortOfTheEdge) {
  TPicture p(320, 50);
  Draw(p, "<P RIGHT>mot<P>", 300);  // Right = 301
  ASSERT_EQ(p.Canvas.Copies.size(), 1u);
  EXPECT_EQ(p.Canvas.Copies[0].Dest.Right, 301 - 5);
  const auto [first, last] = p.InkColumns(0, 50);
  EXPECT_LE(last, 301 - 6);
  EXPECT_GT(first, 250);
}

TEST(Render, CentringMovesTheLineByHalfTheFreeSpace) {
  TPicture left(320, 50), centred(320, 50);
  Draw(left, "<P>court<P>", 300);
  Draw(centred, "<P CENTER>court<P>", 300);
  left.Canvas.Font.Name = "Tahoma";
  left.Canvas.Font.SetSize(10);
  const int endX = 1 + left.Canvas.TextWidth("court");
  const int g = (301 - endX) / 2;
  ASSERT_EQ(centred.Canvas.Copies.size(), 1u);
  EXPECT_EQ(centred.Canvas.Copies[0].Dest.Left, 1 + g);
  EXPECT_EQ(centred.InkColumns(0, 50).first, left.InkColumns(0, 50).first + g);
  // The strip the line left is white again.
  for (int y = 13; y < 30; ++y)
    for (int x = 1; x < 1 + g; ++x) ASSERT_TRUE(centred.White(x, y)) << x << "," << y;
}

TEST(Render, RuleAndTheLinesAroundIt) {
  TPicture p(320, 90);
  Draw(p, "a<HR>b", 300);
  EXPECT_EQ(p.Result, 1 + 3 * 16 + 20);
  for (int x = 1; x < 301; ++x) ASSERT_EQ(p.Bitmap.Pixel(x, 17), gfx::clBlack) << x;
  EXPECT_TRUE(p.White(301, 17));
  ASSERT_EQ(p.Canvas.Texts.size(), 2u);
  EXPECT_EQ(p.Canvas.Texts[1].Y, 1 + 2 * 16 - 1);
}

TEST(Render, ShadowIsOnePixelRightAndDown) {
  TPicture plain(200, 40), shadowed(200, 40);
  Draw(plain, "<FONT COLOR=#FF0000>ombre<P>", 190);
  Draw(shadowed, "<FONT COLOR=#FF0000><O>ombre</O><P>", 190);
  ASSERT_EQ(shadowed.Canvas.Texts.size(), 2u);
  EXPECT_EQ(shadowed.Canvas.Texts[0].Color, gfx::clBlack);
  EXPECT_EQ(shadowed.Canvas.Texts[1].Color, 0x0000FFu);
  // Every dark pixel of the shadowed word lies one pixel right and down of the word's ink.
  int dark = 0;
  for (int y = 1; y < 40; ++y)
    for (int x = 1; x < 200; ++x) {
      const gfx::TColor c = shadowed.Bitmap.Pixel(x, y);
      if (gfx::GetRValue(c) < 64 && gfx::GetGValue(c) < 64 && gfx::GetBValue(c) < 64) {
        ++dark;
        ASSERT_FALSE(plain.White(x - 1, y - 1)) << x << "," << y;
      }
    }
  EXPECT_GT(dark, 10);
}

TEST(Render, HighlightBackground) {
  TPicture p(200, 40);
  Draw(p, "<S>mot</S> x<P>", 190);
  ASSERT_GE(p.Canvas.Texts.size(), 1u);
  int yellow = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 1; x < 20; ++x) yellow += p.Bitmap.Pixel(x, y) == 0x99FFFF;
  EXPECT_GT(yellow, 100);
  EXPECT_NE(p.Bitmap.Pixel(1, 0), gfx::clWhite);
  // The word after "</S>" has no background.
  for (int x = 40; x < 200; ++x) ASSERT_NE(p.Bitmap.Pixel(x, 2), 0x99FFFFu) << x;
}

TEST(Render, WizardPagesAsPictures) {
  // The page texts at the size of the wizard's label.
  for (std::size_t i = 0; i < installer::PageTexts.size(); ++i) {
    SCOPED_TRACE(i + 1);
    TPicture p(577, 369);
    Draw(p, installer::PageTexts[i], 577);
    EXPECT_LT(p.Result, 369);
    ui::SaveToPNG(p.Bitmap, ArtifactPath("render_page" + std::to_string(i + 1) + ".png"));
  }
}

}  // namespace
