// What the tags do to the pieces DrawHTML draws: fonts, styles and their pen moves, shadow,
// highlight, invisible and unknown tags, errors, and the canvas state after a call.
#include <gtest/gtest.h>

#include <string>

#include "rtl/SysUtils.h"
#include "tests/native/DrawHTMLTestSupport.h"

namespace {

using namespace drawhtml_test;

TEST(DrawHTMLTags, FontOfEachPiece) {
  struct Case {
    std::string text, piece;
    int x, size;
    gfx::TFontStyles style;
    gfx::TColor color;
  };
  constexpr gfx::TFontStyles B = gfx::fsBold, I = gfx::fsItalic, U = gfx::fsUnderline;
  const Case cases[] = {
      {"<FONT COLOR=#FF SIZE=12>x</FONT>y<P>", "x", 1, 12, 0, 0xFF0000},
      {"<FONT COLOR=#FF SIZE=12>x</FONT>y<P>", "y", 9, 10, 0, 0},
      {"<H1>Titre</H1>x<P>", "Titre", 1, 16, B, 0},
      {"<H1>Titre</H1>x<P>", "x", 56, 10, 0, 0},
      {"<U><H2>a<P>", "a", 1, 12, B, 0},  // a heading is bold alone
      {"<B>a</B>b<P>", "a", 2, 10, B, 0},  // bold moves the pen one pixel right
      {"<B>a</B>b<P>", "b", 9, 10, 0, 0},
      {"<B><B>a<P>", "a", 2, 10, B, 0},
      // At 11 points the bold "W" is lower than the regular one: the size goes up by one.
      // The regular 12 points is not higher than its bold, so "</B>" keeps the size.
      {"<FONT SIZE=11><B>a</B>b<P>", "a", 2, 12, B, 0},
      {"<FONT SIZE=11><B>a</B>b<P>", "b", 11, 12, 0, 0},
      {"<H1><FONT SIZE=11></B>a<P>", "a", 1, 10, 0, 0},  // and here "</B>" lowers it
      {"<I>a</I>b<P>", "a", 0, 10, I, 0},                 // italic: one pixel left
      {"<I>a</I>b<P>", "b", 7, 10, 0, 0},                 // and back
      {"<U>a</U>b<P>", "a", 1, 10, U, 0},
      {"<U>a</U>b<P>", "b", 8, 10, 0, 0},
      {"</U>a<P>", "a", 2, 10, 0, 0},                     // even when not underlined
      {"<BIG>a</BIG>b<P>", "a", 1, 11, 0, 0},
      {"<BIG>a</BIG>b<P>", "b", 8, 10, 0, 0},
      {"</FONT>a<P>", "a", 1, 10, 0, 0},
      {"<FONT COLOR=red>a<P>", "a", 1, 10, 0, 0},
      {"<FONT FACE=\"Arial\">a</FONT>b<P>", "a", 1, 10, 0, 0},
      // Closing tags take back whatever was saved last.
      {"<H1><FONT COLOR=#FF0000>a</H1>b<P>", "a", 1, 16, B, 0x0000FF},
      {"<H1><FONT COLOR=#FF0000>a</H1>b<P>", "b", 12, 16, B, 0},
      {"<H1>x</HR>a<P>", "a", 12, 10, 0, 0},
      {"<b >a<P>", "a", 2, 10, B, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.piece);
    const Call piece = Draw(c.text).Text(c.piece);
    EXPECT_EQ(piece.Rect.Left, c.x);
    EXPECT_EQ(piece.Font.Size(), c.size);
    EXPECT_EQ(piece.Font.Style, c.style);
    EXPECT_EQ(piece.Font.Color, c.color);
  }
  EXPECT_EQ(Draw("<FONT FACE=\"Arial\">a</FONT>b<P>").Text("a").Font.Name, "Arial");
  EXPECT_EQ(Draw("<FONT FACE=\"Arial\">a</FONT>b<P>").Text("b").Font.Name, "Tahoma");
}

TEST(DrawHTMLTags, InvisibleAndVisibleTags) {
  const std::pair<std::string, std::string> cases[] = {
      {"<BODY>x</BODY>", "x"},
      {"<!DOCTYPE html><!-- x -->x", "x"},
      {"<HTML><HEAD>x", "x"},
      {"<HEADER>x", "x"},
      {"<SPAN class=x>x", "x"},
      {"</DIV>x", "x"},
      {"</P>x", "</P>x"},
      {"<Ctrl><Alt><Suppr>", "<Ctrl><Alt><Suppr>"},
      {"<B class=x>", "<B class=x>"},
      {"< Ctrl >", "<Ctrl>"},  // drawn as normalised
      {"a<B", "a<>"},          // cut off by the end of the text
      {"x < y<B>z", "x < yz"}, // a stray "<" is text
  };
  for (const auto& [text, drawn] : cases) EXPECT_EQ(Draw(text).AllText(), drawn) << text;
}

TEST(DrawHTMLTags, UnknownTagShowsItsNameBoldAndItalic) {
  const TDrawn d = Draw("<FONT COLOR=#FF0000><U><Ctrl>x");
  const auto glyphs = d.Glyphs();
  ASSERT_EQ(glyphs.size(), 7u);
  const int xs[] = {1, 7, 14, 21, 28, 35};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const bool plain = i == 0 || i == 5;
    EXPECT_EQ(glyphs[i].X, xs[i]);
    EXPECT_EQ(glyphs[i].Font.Color, gfx::clBlack);
    EXPECT_EQ(glyphs[i].Font.Style, plain ? 0 : gfx::fsBold | gfx::fsItalic);
  }
  // Colour and style come back after the tag; its characters do not raise the line.
  EXPECT_EQ(glyphs[6].Font.Color, 0x0000FFu);
  EXPECT_EQ(glyphs[6].Font.Style, gfx::fsUnderline);
  EXPECT_EQ(Draw("<Ctrl>").Result, 1 + DefaultH + 20);
}

TEST(DrawHTMLTags, StrayTextIsDrawnAtThePen) {
  const TDrawn d = Draw("x < y<B>z");
  EXPECT_EQ(d.Text("< y").Rect.Left, 13);
  EXPECT_EQ(d.Text("z").Rect.Left, 13 + 18 + 1);
  EXPECT_EQ(d.Text("z").Font.Style, gfx::fsBold);
}

TEST(DrawHTMLTags, ShadowIsBlackOnePixelRightAndDown) {
  const TDrawn d = Draw("<FONT COLOR=#FF0000><O>ombre</O> x<P>");
  const auto texts = d.Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0].Text, "ombre");
  EXPECT_EQ(texts[0].Font.Color, gfx::clBlack);
  EXPECT_EQ(texts[0].Rect.Left, 2);
  EXPECT_EQ(texts[0].Rect.Top, 1);
  EXPECT_EQ(texts[1].Text.substr(0, 5), "ombre");
  EXPECT_EQ(texts[1].Font.Color, 0x0000FFu);
  EXPECT_EQ(texts[1].Rect.Left, 1);
  EXPECT_EQ(texts[1].Rect.Top, 0);
  EXPECT_EQ(d.AllText(), "ombreombre x");  // once only after "</O>"
  // The glyph block of the coloured "o" covers rows 3 to 15; its shadow shows below it.
  EXPECT_EQ(d.Canvas.Pixel(3, 16), gfx::clBlack);
  EXPECT_EQ(d.Canvas.Pixel(3, 15), 0x0000FFu);
}

TEST(DrawHTMLTags, HighlightPaintsTheBackground) {
  struct Case {
    std::string text, piece;
    gfx::TBrushStyle style;
    gfx::TColor color;
  };
  using S = gfx::TBrushStyle;
  const Case cases[] = {
      {"<S>mot</S> x<P>", "mot", S::bsSolid, 0x99FFFF},
      {"<S>mot</S> x<P>", "x", S::bsClear, 0},
      {"<S#FFFF00>a<P>", "a", S::bsSolid, 0x00FFFF},
      {"<S#nul>a<P>", "a", S::bsClear, 0},  // not a number: ignored
      // Ending a centred line clears the brush, and with it the highlight.
      {"<P CENTER><S>a<P>b<P>", "a", S::bsSolid, 0x99FFFF},
      {"<P CENTER><S>a<P>b<P>", "b", S::bsClear, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.piece);
    const Call piece = Draw(c.text).Text(c.piece);
    EXPECT_EQ(piece.Brush.Style, c.style);
    if (c.style == S::bsSolid) {
      EXPECT_EQ(piece.Brush.Color, c.color);
    }
  }
  // The column between two glyph blocks shows the background.
  EXPECT_EQ(Draw("<S>mot</S> x<P>").Canvas.Pixel(6, 5), 0x99FFFFu);
}

TEST(DrawHTMLTags, ErrorsEndTheCall) {
  struct Case {
    std::string text, drawn, message;  // drawn: what is on the canvas before the error
  };
  const Case cases[] = {
      {"<H>x", "", "'>' n'est pas une valeur entière correcte"},
      {"a <FONT SIZE=big>x", "a ", "'big' n'est pas une valeur entière correcte"},
      {"<FONT COLOR=#GG>x", "", "'$GG' n'est pas une valeur entière correcte"},
      {"b &#12x;<P>x", "b ", "'12x' n'est pas une valeur entière correcte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TDrawn d;
    try {
      html::DrawHTML(d.Canvas, 1, 1, 300, c.text, gfx::clWhite);
      ADD_FAILURE() << "no error";
    } catch (const rtl::EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(d.AllText(), c.drawn);
  }
  TDrawn d;
  EXPECT_THROW(html::DrawHTML(d.Canvas, 1, 1, 300, "<FONT COLOR=#FFFFFFFF>x", gfx::clWhite),
               rtl::ERangeError);
}

TEST(DrawHTMLTags, CanvasStateBackOnReturnButNotAfterAnError) {
  gfx::TTestCanvas canvas(400, 300);
  canvas.Font.Style = gfx::fsItalic;
  canvas.Font.Color = 0x00FF00;
  canvas.Brush = {0x123456, gfx::TBrushStyle::bsSolid};
  canvas.Pen = {0x654321, gfx::TPenStyle::psDash, 1};
  const gfx::TFontDesc font = canvas.Font;
  const gfx::TBrushDesc brush = canvas.Brush;
  const gfx::TPenDesc pen = canvas.Pen;

  html::DrawHTML(canvas, 1, 1, 300,
                 "<FONT COLOR=#FF0000 FACE=\"Arial\"><B>x<S>y<HR><P CENTER>z<P>", gfx::clWhite);
  EXPECT_EQ(canvas.Font, font);
  EXPECT_EQ(canvas.Brush, brush);
  EXPECT_EQ(canvas.Pen, pen);
  // The style the canvas font had stays for the whole text.
  EXPECT_EQ(canvas.CallsOf(gfx::TTestCanvas::TCallKind::TextOut)[0].Font.Style,
            gfx::fsItalic | gfx::fsBold);

  EXPECT_THROW(html::DrawHTML(canvas, 1, 1, 300, "<FONT COLOR=#FF0000><S>x<H>y", gfx::clWhite),
               rtl::EConvertError);
  EXPECT_EQ(canvas.Font.Name, "Tahoma");
  EXPECT_EQ(canvas.Font.Color, 0x0000FFu);
  EXPECT_EQ(canvas.Brush.Style, gfx::TBrushStyle::bsSolid);
  EXPECT_EQ(canvas.Brush.Color, 0x99FFFFu);
}

}  // namespace
