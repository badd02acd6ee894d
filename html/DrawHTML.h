// The one renderer of the system's rich texts.
#pragma once

#include <string_view>

#include "gfx/Canvas.h"

namespace html {

// Draws the markup text on the canvas in the band that starts at (x0, y0) and is width
// pixels wide, and returns the top of the line after the last one plus 20 (a canvas
// coordinate, not a height). Strips emptied by alignment and by carried words are repainted
// in background. On return the canvas font, brush and pen are as they were; when a tag holds
// a malformed number the conversion error ends the call and they stay as they were then.
int DrawHTML(gfx::TCanvas& canvas, int x0, int y0, int width, std::string_view text,
             gfx::TColor background);

}  // namespace html
