// Drawing markup on the test canvas, and finding what was drawn.
//
// Metrics at 96 dpi (see gfx/TestCanvas.h): 10-point Tahoma is 6 pixels a character (7 bold)
// and 16 high, so a piece is drawn with its top one pixel above its line top; 16-point bold
// is 11 a character and 26 high; the canvas's own 8-point font, which gives the default line
// height, is 13 high.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/TestCanvas.h"
#include "html/DrawHTML.h"

namespace drawhtml_test {

using Call = gfx::TTestCanvas::TCall;
using Kind = gfx::TTestCanvas::TCallKind;

inline constexpr int CharW = 6;       // 10-point Tahoma
inline constexpr int BoldW = 7;
inline constexpr int LineH = 16;      // its height, and that of its "W"
inline constexpr int DefaultH = 13;   // the canvas's own font: the empty line

// One character as it was drawn: the canvas gives every character of a font the same width.
struct TGlyph {
  char C;
  int X, Top;
  gfx::TFontDesc Font;
  gfx::TBrushDesc Brush;
};

struct TDrawn {
  gfx::TTestCanvas Canvas{400, 300};
  int Result = 0;

  std::vector<Call> Texts() const { return Canvas.CallsOf(Kind::TextOut); }
  std::vector<TGlyph> Glyphs() const {
    std::vector<TGlyph> glyphs;
    for (const Call& c : Texts()) {
      const int w = gfx::TTestCanvas::CharWidth(c.Font);
      for (std::size_t i = 0; i < c.Text.size(); ++i)
        glyphs.push_back({c.Text[i], c.Rect.Left + int(i) * w, c.Rect.Top, c.Font, c.Brush});
    }
    return glyphs;
  }
  // The n-th piece drawn with this text, as a call of its own (the renderer joins pieces that
  // follow each other in one font into one call); fails the test when there is none.
  Call Text(const std::string& text, int n = 0) const {
    for (const Call& c : Texts())
      for (std::size_t at = c.Text.find(text); at != std::string::npos; at = c.Text.find(text, at + 1))
        if (n-- == 0) {
          Call piece = c;
          piece.Text = text;
          piece.Rect.Left += int(at) * gfx::TTestCanvas::CharWidth(c.Font);
          return piece;
        }
    ADD_FAILURE() << "nothing drawn as \"" << text << "\"";
    return {};
  }
  // Everything drawn, in order.
  std::string AllText() const {
    std::string all;
    for (const Call& c : Texts()) all += c.Text;
    return all;
  }
  // Each line as "text@x,top|": the characters drawn with one top, from where the first is.
  std::string Lines() const {
    struct TLine {
      std::string Text;
      int X, Top;
    };
    std::vector<TLine> lines;
    for (const TGlyph& g : Glyphs()) {
      if (lines.empty() || lines.back().Top != g.Top) lines.push_back({"", g.X, g.Top});
      lines.back().Text += g.C;
    }
    std::string out;
    for (const TLine& l : lines)
      out += l.Text + "@" + std::to_string(l.X) + "," + std::to_string(l.Top) + "|";
    return out;
  }
};

// Draws at (1, 1) in a band of the given width, on white.
inline TDrawn Draw(const std::string& text, int width = 300) {
  TDrawn d;
  d.Result = html::DrawHTML(d.Canvas, 1, 1, width, text, gfx::clWhite);
  return d;
}

}  // namespace drawhtml_test
