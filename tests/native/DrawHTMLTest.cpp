// The layout of DrawHTML on the test canvas: line tops and the returned value, wrapping,
// alignment by pixel copy, the carry of split words, the rule and the run after the last tag.
#include <gtest/gtest.h>

#include <string>

#include "installer/PageTexts.h"
#include "tests/native/DrawHTMLTestSupport.h"

namespace {

using namespace drawhtml_test;

TEST(DrawHTML, LineTopsAndResult) {
  struct Case {
    std::string text;
    int result;
    std::string piece;  // a piece whose top is checked, if any
    int x, top;
  };
  const std::string twelve = "<P><P><P><P><P><P><P><P><P><P><P><P>";
  const Case cases[] = {
      {"Bonjour", 1 + 16 + 20, "Bonjour", 1, 0},  // the piece reaches one pixel above Y0
      {"", 1 + DefaultH + 20, "", 0, 0},
      {"<P>", 1 + 2 * DefaultH + 20, "", 0, 0},
      {"<P>Bonjour", 1 + DefaultH + LineH + 20, "Bonjour", 1, 1 + DefaultH - 1},
      {twelve + "x", 1 + 12 * DefaultH + LineH + 20, "x", 1, 12 * DefaultH},
      {"a<BR>b", 1 + 2 * LineH + 20, "b", 1, LineH},
      {"a<HR>b", 1 + 3 * LineH + 20, "b", 1, 2 * LineH},        // two advances below a
      {"<HR>b", 1 + 2 * DefaultH + LineH + 20, "b", 1, 2 * DefaultH},
      {"a<BLOCKQUOTE>b", 1 + 2 * LineH + 20, "b", 33, LineH},  // the indent ends the line
      {"<BLOCKQUOTE>a</BLOCKQUOTE>b", 1 + 2 * LineH + 20, "b", 1, LineH},
      {"<DIR><DIR>a", 1 + LineH + 20, "a", 65, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const TDrawn d = Draw(c.text);
    EXPECT_EQ(d.Result, c.result);
    if (c.piece.empty()) continue;
    const Call piece = d.Text(c.piece);
    EXPECT_EQ(piece.Rect.Left, c.x);
    EXPECT_EQ(piece.Rect.Top, c.top);
  }
}

TEST(DrawHTML, EmptyLineAdvanceComesFromTheCanvasFont) {
  TDrawn d;
  d.Canvas.Font.SetSize(12);  // 20 pixels high: every empty line advances by 20
  d.Result = html::DrawHTML(d.Canvas, 1, 1, 300, "<P><P>x", gfx::clWhite);
  EXPECT_EQ(d.Text("x").Rect.Top, 1 + 40 - 1);
}

TEST(DrawHTML, WordsWrapAtTheBandEdge) {
  struct Case {
    std::string text;
    int width;
    std::string lines;  // every line drawn, with where it starts
  };
  const Case cases[] = {
      // The word start lies one pixel left of the pen after a space, so that pixel moves
      // with the word and the new line starts one pixel in.
      {"aa bb cc<P>", 36, "aa bb @1,0|cc@2,16|"},
      // A word wider than the band is drawn whole on its own line.
      {"ab Anticonstitutionnellement<P>", 60, "ab @1,0|Anticonstitutionnellement@2,16|"},
      // After the last tag it is broken between characters instead.
      {"Anticonstitutionnellement", 60, "Anticonsti@1,0|tutionnell@1,16|ement@1,32|"},
      // The last run breaks after a space when it can.
      {"aa bb cc", 30, "aa @1,0|bb cc@1,16|"},
      {"<B>x</B> aa bb cc", 40, "x aa @2,0|bb cc@1,16|"},
      // A band narrower than one character still takes one character a line.
      {"abc", 3, "a@1,0|b@1,16|c@1,32|"},
  };
  for (const Case& c : cases) EXPECT_EQ(Draw(c.text, c.width).Lines(), c.lines) << c.text;
}

TEST(DrawHTML, OnlyRunsFollowedByATagAreDecoded) {
  const std::pair<std::string, std::string> cases[] = {
      {"&eacute;t&eacute;<P>", "été"},
      {"&#321;<P>", "A"},
      {"été &amp; hiver<P>", "été & hiver"},
      {"été &amp; hiver", "été &amp; hiver"},
      {"x&amp;y", "x&amp;y"},
      {"A&#65<P>", "A&#65"},  // no ";": kept as it stands
  };
  for (const auto& [text, drawn] : cases) EXPECT_EQ(Draw(text).AllText(), drawn) << text;
}

TEST(DrawHTML, CentringMovesTheLineAndPaintsTheStrip) {
  const TDrawn d = Draw("<P CENTER>court<P>", 200);  // Right = 201
  // "court" ends at 31 on the line whose top is 14 (its pieces reach up to 13).
  const auto copies = d.Canvas.CallsOf(Kind::CopyRect);
  ASSERT_EQ(copies.size(), 1u);
  const int g = (201 - 31) / 2;
  EXPECT_EQ(copies[0].Source, gfx::Rect(1, 13, 31, 30));
  EXPECT_EQ(copies[0].Rect, gfx::Rect(1 + g, 13, 31 + g, 30));
  EXPECT_FALSE(d.Canvas.AnyOther(gfx::Rect(1, 13, 1 + g, 30), gfx::clWhite));
  EXPECT_TRUE(d.Canvas.Any(gfx::Rect(1 + g, 13, 31 + g, 30), gfx::clBlack));
}

TEST(DrawHTML, PlainParagraphKeepsTheAlignment) {
  const TDrawn d = Draw("<P CENTER>a<P>bb<P LEFT>c<P>", 200);
  const auto copies = d.Canvas.CallsOf(Kind::CopyRect);
  // a and bb are centred; the line of c is built after LEFT and is not moved.
  ASSERT_EQ(copies.size(), 2u);
  EXPECT_EQ(copies[0].Rect.Left, 1 + (201 - 7) / 2);
  EXPECT_EQ(copies[1].Rect.Left, 1 + (201 - 13) / 2);
}

TEST(DrawHTML, RightAlignmentEndsFivePixelsShortOfTheEdge) {
  const TDrawn d = Draw("<P RIGHT>mot<P>", 200);
  const auto copies = d.Canvas.CallsOf(Kind::CopyRect);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].Rect.Right, 201 - 5);
  EXPECT_FALSE(d.Canvas.Any(gfx::Rect(201 - 5, 0, 400, 40), gfx::clBlack));
  EXPECT_TRUE(d.Canvas.Any(gfx::Rect(201 - 7, 0, 201 - 6, 40), gfx::clBlack));
}

TEST(DrawHTML, TallPiecesMoveWholeWhenCentred) {
  // The 16-point heading reaches 11 pixels above its line top; the band moved by the
  // alignment starts where the piece does, so nothing of it stays behind.
  const TDrawn d = Draw("<P CENTER><H1>Titre<P>", 300);
  const int g = (301 - 56) / 2;
  EXPECT_FALSE(d.Canvas.AnyOther(gfx::Rect(1, 0, 1 + g, 40), gfx::clWhite));
  EXPECT_TRUE(d.Canvas.Any(gfx::Rect(1 + g, 3, 56 + g, 14), gfx::clBlack));
}

TEST(DrawHTML, SplitWordIsCarriedToTheNextLine) {
  // "sur " ends at 25, "[" at 31, the bold "Suivant" runs from 32 to 81; "]" does not fit in
  // a band ending at 86.
  const TDrawn d = Draw("sur [<B>Suivant</B>]<P>", 85);
  const auto copies = d.Canvas.CallsOf(Kind::CopyRect);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].Source, gfx::Rect(24, 0, 81, 17));
  EXPECT_EQ(copies[0].Rect, gfx::Rect(1, 16, 58, 33));
  const Call close = d.Text("]");
  EXPECT_EQ(close.Rect.Left, 58);
  EXPECT_EQ(close.Rect.Top, 16);
  EXPECT_FALSE(d.Canvas.AnyOther(gfx::Rect(24, 0, 81, 17), gfx::clWhite));
  EXPECT_TRUE(d.Canvas.Any(gfx::Rect(9, 17, 58, 33), gfx::clBlack));  // "Suivant", moved
  EXPECT_EQ(d.Result, 17 + 16 + DefaultH + 20);
}

TEST(DrawHTML, CarriedPiecesCountForTheAlignmentOfTheLineTheyLeft) {
  const TDrawn d = Draw("<P CENTER>sur [<B>Suivant</B>]<P>", 85);
  const auto copies = d.Canvas.CallsOf(Kind::CopyRect);
  ASSERT_GE(copies.size(), 2u);
  EXPECT_EQ(copies[0].Source, gfx::Rect(24, 13, 81, 30));  // the carry
  const int g = (86 - 81) / 2;
  EXPECT_EQ(copies[1].Source, gfx::Rect(1, 13, 81, 30));   // the line it left, centred
  EXPECT_EQ(copies[1].Rect, gfx::Rect(1 + g, 13, 81 + g, 30));
}

TEST(DrawHTML, RuleAcrossTheBand) {
  const TDrawn d = Draw("a<HR>b", 300);
  const auto lines = d.Canvas.CallsOf(Kind::LineTo);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].Rect, gfx::Rect(1, 17, 301, 17));
  EXPECT_EQ(lines[0].Pen.Color, gfx::clBlack);
  EXPECT_EQ(d.Canvas.Pixel(300, 17), gfx::clBlack);
  EXPECT_EQ(d.Canvas.Pixel(301, 17), gfx::clWhite);  // the end point is left out
}

TEST(DrawHTML, NarrowBandsAndOddTextsEnd) {
  // Each of these once could have looped for ever or read out of bounds.
  for (const char* text : {"abc", "<Ctrl>", "a b c<P>", "x&#65", "<", "a<B", "<<<", "<P", "&#;"}) {
    SCOPED_TRACE(text);
    TDrawn d;
    try {
      html::DrawHTML(d.Canvas, 1, 1, 1, text, gfx::clWhite);
    } catch (const std::exception&) {
    }
  }
}

TEST(DrawHTML, WizardPageTexts) {
  for (const char* text : installer::PageTexts) {
    SCOPED_TRACE(text);
    gfx::TTestCanvas canvas(600, 400);
    EXPECT_GT(html::DrawHTML(canvas, 1, 1, 577, text, gfx::clWhite), 0);
  }
  // Page 3: an empty line, then the heading on one line of 26 pixels.
  gfx::TTestCanvas canvas(600, 400);
  EXPECT_EQ(html::DrawHTML(canvas, 1, 1, 577, installer::PageTextFolder, gfx::clWhite),
            1 + DefaultH + 26 + 20);
}

}  // namespace
