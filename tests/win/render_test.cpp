// DrawHTML on a GDI memory bitmap with Wine's real fonts: the pixel figures of the renderer
// hold with Tahoma 10 points ("W" 16 pixels high) and the canvas's MS Sans Serif 8 points
// (13 pixels), pictures and form fields come from real JPEG files, and the wizard's page
// texts and a form preview are saved as pictures to look at.
// GDI+'s headers use the RGB macro that ui/Win32.h takes back, so they come first.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "ui/GdiCanvas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "html/DrawHTML.h"
#include "html/FieldDrawing.h"
#include "installer/PageTexts.h"
#include "rtl/SysUtils.h"
#include "tests/win/jpeg_writer.h"

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

// JPEG colours come back within a few steps of what was written.
bool Near(gfx::TColor c, gfx::TColor expected) {
  auto close = [](unsigned a, unsigned b) { return (a > b ? a - b : b - a) <= 12; };
  return close(c & 0xFF, expected & 0xFF) && close((c >> 8) & 0xFF, (expected >> 8) & 0xFF) &&
         close((c >> 16) & 0xFF, (expected >> 16) & 0xFF);
}

int CountNear(const ui::TBitmap& b, gfx::TRect r, gfx::TColor color) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += Near(b.Pixel(x, y), color);
  return n;
}

// Pictures are cached for the whole program, so each test names files of its own.
TEST(RenderFields, ImageReadsTheJpegOfTheSameBaseName) {
  uitest::WriteJpeg("logo.jpg", 200, 100, gfx::clRed);
  TPicture p(320, 140);
  Draw(p, "<IMG SRC=\"logo.gif\">x", 300);
  EXPECT_TRUE(Near(p.Bitmap.Pixel(100, 60), gfx::clRed));
  EXPECT_TRUE(p.White(100, 5));    // the box starts 10 pixels down
  EXPECT_TRUE(p.White(205, 60));   // and is the picture's width
  EXPECT_EQ(p.Result, 1 + 100 + 20);

  TPicture none(320, 140);
  Draw(none, "<IMG SRC=\"nologo.gif\">", 300);
  EXPECT_EQ(none.InkColumns(0, 140).first, -1);
}

TEST(RenderFields, WidthInPercentKeepsTheProportions) {
  uitest::WriteJpeg("half.jpg", 200, 100, gfx::clBlue);
  TPicture p(320, 140);
  Draw(p, "<IMG SRC=\"half.jpg\" WIDTH=\"50%\">", 300);
  // A box 100 wide from Y + 10 to Y + 50.
  EXPECT_EQ(CountNear(p.Bitmap, {1, 11, 101, 51}, gfx::clBlue), 100 * 40);
  EXPECT_EQ(CountNear(p.Bitmap, {0, 0, 320, 140}, gfx::clBlue), 100 * 40);
}

TEST(RenderFields, TwoTagsLoadTheFileOnce) {
  uitest::WriteJpeg("once.jpg", 20, 20, gfx::clRed);
  TPicture first(100, 60);
  Draw(first, "<IMG SRC=\"once.jpg\">", 90);
  uitest::WriteJpeg("once.jpg", 20, 20, gfx::clBlue);  // changed on disk: the cached picture stays
  TPicture second(100, 60);
  Draw(second, "<IMG SRC=\"once.jpg\">", 90);
  EXPECT_TRUE(Near(first.Bitmap.Pixel(10, 20), gfx::clRed));
  EXPECT_TRUE(Near(second.Bitmap.Pixel(10, 20), gfx::clRed));
}

TEST(RenderFields, CheckboxPicturesAndThePlaceholder) {
  uitest::WriteJpeg("coché.jpg", 13, 13, 0x00A000);
  uitest::WriteJpeg("noncoché.jpg", 13, 13, 0xA00000);
  TPicture checked(100, 60), unchecked(100, 60), missing(320, 220);
  Draw(checked, "<P><INPUT TYPE=checkbox CHECKED NAME=\"Accord\">", 90);
  Draw(unchecked, "<P><INPUT TYPE=checkbox NAME=\"Accord\">", 90);
  // On the empty line after "<P>", the tick's top is Y - 6 = 8; it starts at 1 + 3.
  EXPECT_TRUE(Near(checked.Bitmap.Pixel(10, 14), 0x00A000));
  EXPECT_TRUE(Near(unchecked.Bitmap.Pixel(10, 14), 0xA00000));
  // A picture field whose file is missing shows the red hatched placeholder naming it.
  Draw(missing, "<P><P><P><INPUT TYPE=image SRC=\"absent.jpg\">", 310);
  EXPECT_GT(CountNear(missing.Bitmap, {4, 40, 304, 200}, gfx::clRed), 3000);
  ui::SaveToPNG(missing.Bitmap, ArtifactPath("render_placeholder.png"));
}

TEST(RenderFields, TextFieldWithItsTags) {
  TPicture p(200, 60);
  Draw(p, "<P><INPUT NAME=\"Client.nom\" TYPE=text SIZE=10 VALUE=\"Dupont\">", 190);
  // The box of 85 pixels from x = 1 on the line at 14: its grey and silver edges.
  EXPECT_EQ(p.Bitmap.Pixel(1, 30), gfx::clGray);
  EXPECT_EQ(p.Bitmap.Pixel(86, 30), gfx::clSilver);
  EXPECT_TRUE(p.White(87, 30));
  // The purple name on pale yellow at the top right, the white type on red at the top left.
  EXPECT_GT(CountNear(p.Bitmap, {40, 8, 80, 26}, gfx::clPurple), 5);
  EXPECT_GT(CountNear(p.Bitmap, {40, 8, 80, 26}, 0xE1FFFF), 50);
  EXPECT_GT(CountNear(p.Bitmap, {5, 8, 30, 26}, gfx::clRed), 50);
  EXPECT_GT(CountNear(p.Bitmap, {5, 8, 30, 26}, gfx::clWhite), 5);
}

TEST(RenderFields, SubmitButtonIsTwentyPixelsWiderThanItsWord) {
  TPicture p(200, 60);
  Draw(p, "<INPUT TYPE=submit VALUE=\"Envoyer\">", 190);
  p.Canvas.Font.Name = html::FieldFontName;
  p.Canvas.Font.SetSize(html::FieldFontSize);
  const int w = p.Canvas.TextWidth("Envoyer") + 20;
  // The black edges: the bottom from x = 1 to 1 + w - 2, the right at 1 + w - 1.
  EXPECT_EQ(p.Bitmap.Pixel(1, 24), gfx::clBlack);
  EXPECT_EQ(p.Bitmap.Pixel(w - 1, 24), gfx::clBlack);
  EXPECT_EQ(p.Bitmap.Pixel(w, 12), gfx::clBlack);
  EXPECT_TRUE(p.White(w + 1, 12));
}

TEST(RenderFields, FieldBoxTooShortForItsText) {
  TPicture p(120, 60);
  html::DrawFieldBox(p.Canvas, {10, 10, 110, 30}, "une ligne\rdeux lignes\rtrois lignes");
  p.Canvas.RequireFont();  // nothing pending: the bitmap holds all
  // One line fits in 20 pixels; nothing is drawn below the box.
  int inkBelow = 0;
  for (int y = 31; y < 60; ++y)
    for (int x = 0; x < 120; ++x) inkBelow += !p.White(x, y);
  EXPECT_EQ(inkBelow, 0);
  EXPECT_GT(CountNear(p.Bitmap, {13, 13, 100, 29}, gfx::clBlack), 20);
}

TEST(RenderFields, NameTooShortEndsTheCall) {
  TPicture p(200, 60);
  try {
    Draw(p, "<INPUT NAME=\"ab\">suite", 190);
    FAIL() << "no error";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message(), "Débordement d'entier");
  }
}

TEST(RenderFields, FormPreviewAsPicture) {
  uitest::WriteJpeg("photo.jpg", 60, 40, 0x3080C0);
  uitest::WriteJpeg("checked.jpg", 13, 13, 0x00A000);
  uitest::WriteJpeg("unchecked.jpg", 13, 13, gfx::clSilver);
  const std::string form =
      "<H2>Fiche client</H2><P>"
      "<INPUT NAME=\"Client.nom\" TYPE=text SIZE=12 VALUE=\"Dupont\"> "
      "<INPUT NAME=\"Client.age\" TYPE=int SIZE=4 VALUE=\"42\"> "
      "<INPUT NAME=\"Client.taux\" TYPE=float SIZE=6 VALUE=\"3,5\"><P><P>"
      "<INPUT NAME=\"Client.date\" TYPE=date SIZE=8 VALUE=\"01/02/2003\"> "
      "<INPUT NAME=\"Client.code\" TYPE=password SIZE=8 VALUE=\"secret\"> "
      "<INPUT NAME=\"Client.pdf \" TYPE=file SIZE=10 VALUE=\"c:\\facture.pdf\"><P><P>"
      "<INPUT NAME=\"Client.cle\" TYPE=hidden SIZE=6 VALUE=\"A12\"> "
      "Accord <INPUT TYPE=checkbox CHECKED NAME=\"Accord\"> "
      "Relance <INPUT TYPE=checkbox NAME=\"Relance\"> "
      "Oui <INPUT TYPE=radio CHECKED NAME=\"Choix.oui\"> "
      "Non <INPUT TYPE=radio NAME=\"Choix.non\"><P>"
      "<INPUT TYPE=image SRC=\"photo.jpg\" NAME=\"Photo\"><P>"
      "Remarques :<TEXTAREA ROWS=3 COLS=30 NAME=\"Note\">Client fid\xE8le depuis 1998, "
      "paie toujours \xE0 trente jours.</TEXTAREA>"
      "<INPUT TYPE=submit VALUE=\"Envoyer\"> <INPUT TYPE=reset VALUE=\"Effacer\">";
  TPicture p(480, 480);
  Draw(p, form, 470);
  EXPECT_LT(p.Result, 480);
  ui::SaveToPNG(p.Bitmap, ArtifactPath("render_form.png"));
}

}  // namespace
