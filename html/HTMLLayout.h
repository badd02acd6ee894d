// The line layout of DrawHTML: words placed at the pen as soon as they are known to fit,
// lines ended by pixel copies for right and centre alignment, split words carried to the
// next line. It works in one pass over the canvas: there is no layout tree and no line buffer.
#pragma once

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/Canvas.h"
#include "html/HTMLMarkup.h"

namespace html {

class THTMLLayout {
public:
  // Every piece of text ends at this distance below its line top, whatever its size.
  static constexpr int Baseline = 15;

  THTMLLayout(gfx::TCanvas& canvas, int x0, int y0, int width, gfx::TColor background);

  gfx::TCanvas& Canvas;
  const int Right;                 // the right edge of every fit test
  const gfx::TColor Background;    // repaints what alignment and carrying leave behind
  int PenX;
  int Y;                           // top of the current line
  int Margin;                      // the left margin, moved by indent and outdent
  int H = 0;                       // height of the tallest piece on the line; 0 while empty
  int D;                           // the advance of a line with nothing on it
  int WordStart;                   // where the word without its closing space began
  TAlignment Align = TAlignment::Left;
  bool Shadow = false;

  // The height of "W" in the canvas font. Every piece needs it; it is remembered for the
  // last few fonts of the call, which a text switches between at its tags.
  int HeightOfW();
  // Draws the text still held back (see DrawPiece). Every other drawing, and any look at the
  // canvas's pixels, must come after it.
  void Flush();
  int LineAdvance() const { return H != 0 ? H : D; }

  // A run of text that a tag follows: cut into words, references decoded, wrapped.
  void LayoutRun(std::string_view run);
  // The run after the last tag: not decoded, broken between characters when need be.
  void LayoutLastRun(std::string_view run);
  // Ends the line whose pen stopped at endX, aligning it; the caller places the pen.
  void EndLine(int endX);
  // Ends the line at the pen and puts the pen at the left margin.
  void NewLine();
  // Goes on to the next line without aligning the one left: the fields break lines so.
  void BreakLine();
  // Something drawn on the line reaches up to top; the line's band must hold it.
  void NoteInk(int top) { FInkTop = top < FInkTop ? top : FInkTop; }
  // Text drawn as it stands at the pen, without fit test (a stray "<" and what follows it).
  void DrawPlain(std::string_view text);
  void DrawRule();
  // An unknown tag is shown: its name bold and italic between a plain "<" and ">".
  void DrawUnknownTag(std::string_view tag);
  // Indent (positive) or outdent (negative) by step pixels.
  void Indent(int step);

private:
  void LayoutWord(rtl::ShortString word);
  void Wrap();
  // Draws text of the given width with its bottom on the line's baseline and notes how high
  // it reaches. A piece that continues the previous one on the line, in the same font and
  // brush, is held back and joined to it: the platform places the characters of one text
  // exactly where separate texts would go, and every call to it costs.
  void DrawPiece(int x, std::string_view text, int width, int dy = 0);
  // The top of the line's band: the line top, or higher when a tall piece reaches above it.
  int BandTop() const { return FInkTop < Y ? FInkTop : Y; }

  struct THeightOfW {
    gfx::TFontDesc Font;
    int Height;
  };
  std::vector<THeightOfW> FHeights;  // most recent last
  int FInkTop = INT_MAX;

  struct TPending {
    bool Open = false;
    int X = 0, Top = 0, End = 0;
    std::string Text;
    gfx::TFontDesc Font;
    gfx::TBrushDesc Brush;
  } FPending;
};

}  // namespace html
