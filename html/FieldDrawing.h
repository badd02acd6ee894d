// The drawing routines behind the form-field tags: a sunken field box with its text wrapped
// inside, the wrapping itself, and the small framed tag labels with their drop shadow.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gfx/Canvas.h"
#include "rtl/ShortString.h"

namespace html {

using TableauDeLignes = std::vector<rtl::ShortString>;

// The font of field boxes and buttons.
inline constexpr const char* FieldFontName = "Microsoft Sans Serif";
inline constexpr int FieldFontSize = 10;

// Cuts text into lines that fit width in the canvas font, after a margin of 6 pixels: at
// carriage returns, and within a paragraph after the last space that fits (or between
// characters in a word without one). Every line holds at least one character, so that even
// a width of zero ends. An empty text, or a width below that of "i", gives a first line
// that holds the whole text.
TableauDeLignes WrapLines(gfx::TCanvas& canvas, int width, std::string_view text);

// A sunken frame around the rectangle and the text wrapped inside it, as many lines as fit.
// The canvas font comes back; the pen is left black and the brush clear.
void DrawFieldBox(gfx::TCanvas& canvas, const gfx::TRect& rect, std::string_view text);

// How DrawTagLabel places its label on X.
enum class TAnchor { Left = 0, Right = 1, Center = 2 };

// A small label of text ("#13" breaks lines) in Tahoma of the given size, framed, on the
// background colour, with a shadow 3 pixels right and down. Returns the rectangle it covers,
// the shadow included. The canvas font, brush and pen width come back.
gfx::TRect DrawTagLabel(gfx::TCanvas& canvas, int x, int y, std::string_view text, int size,
                        gfx::TColor background, gfx::TColor textColor, TAnchor anchor);

}  // namespace html
