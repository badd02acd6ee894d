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

struct TDrawn {
  gfx::TTestCanvas Canvas{400, 300};
  int Result = 0;

  std::vector<Call> Texts() const { return Canvas.CallsOf(Kind::TextOut); }
  // The n-th piece drawn with exactly this text; fails the test when there is none.
  Call Text(const std::string& text, int n = 0) const {
    for (const Call& c : Texts())
      if (c.Text == text && n-- == 0) return c;
    ADD_FAILURE() << "nothing drawn as \"" << text << "\"";
    return {};
  }
  std::string AllText() const {
    std::string all;
    for (const Call& c : Texts()) all += c.Text + "|";
    return all;
  }
};

// Draws at (1, 1) in a band of the given width, on white.
inline TDrawn Draw(const std::string& text, int width = 300) {
  TDrawn d;
  d.Result = html::DrawHTML(d.Canvas, 1, 1, width, text, gfx::clWhite);
  return d;
}

}  // namespace drawhtml_test
