// The glyph of the progress window's "Interrompre" button, made by code so that no picture
// file has to travel with the sources.
#pragma once

#include "dialogs/GradientPatterns.h"

namespace dialogs {

// 16 x 16 in colours of the 16-colour palette: a red cross with white highlights on its
// upper-left edges and maroon shading on its lower-right edges, on silver. Silver, the colour
// of the top-left pixel, is what the button treats as transparent.
TPixelBuffer InterruptGlyph();

}  // namespace dialogs
