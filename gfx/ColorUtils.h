// Colour arithmetic and the shaded drawing of the self-drawn controls: the curved speed
// button, the bar of the progress window and the drop shadow of the renderer's boxed labels.
// Every routine first turns its colour arguments into RGB values ($00BBGGRR), system colours
// resolved; the drawing routines resolve through their canvas, the pure ones through the
// system-colour source below.
#pragma once

#include <cstdint>

#include "gfx/Canvas.h"
#include "gfx/Types.h"

namespace gfx {

// Where the pure colour routines read system colours from: a function of the colour index
// (COLOR_BTNFACE is 15). The Win32 build installs the platform's GetSysColor; elsewhere, and
// until then, the standard Windows 2000 scheme answers.
using TSysColorSource = TColor (*)(int index);
TColor StandardSysColor(int index);
// Installs a source; nullptr puts the standard scheme back. Returns the previous source.
TSysColorSource SetSysColorSource(TSysColorSource source);
// The RGB value of a colour: system colours through the current source, others masked to
// their low three bytes.
TColor ColorToRGB(TColor color);

// Each channel (1 - x) * a + x * b, computed on the masked channel value (red: a & $FF,
// green: a & $FF00, blue: a & $FF0000), taken to the nearest integer with ties to even and
// masked again. A factor outside 0..1 is accepted: the masking then wraps the channel.
TColor BlendColors(TColor a, TColor b, double x);
// Each channel a + b, saturated at 255.
TColor AddColors(TColor a, TColor b);
// Each channel a - b, or 0 when b's channel is greater.
TColor SubtractColors(TColor a, TColor b);
// The complement of a's RGB value.
TColor InvertColor(TColor a);

// A band of lines from startColor to endColor. With rows on, lines y to y + h (h + 1 lines),
// each from x to x + w with the end excluded; with rows off, columns x to x + w, each from y
// to y + h. Lines outside the canvas's clipping region are skipped.
void FillGradientBand(gfx::TCanvas& canvas, int w, int h, int x, int y, TColor startColor,
                      TColor endColor, bool rows);

// A one-pixel bevel around (x, y)-(x + w, y + h) and a face of three horizontal bands made
// from face lightened and darkened by delta; down draws it sunken. backColor is not used by
// this style. Nothing is drawn when w < 2.
void DrawShadedPanel(gfx::TCanvas& canvas, int w, int h, TColor backColor, int x, int y,
                     TColor face, TColor delta, bool down);

// Darkens every pixel of (x1, y1)-(x2, y2), both corners included, by amount (SubtractColors).
// bottomUp only chooses the order of the rows.
void ShadeArea(gfx::TCanvas& canvas, int x1, int y1, int x2, int y2, TColor amount, bool bottomUp);

}  // namespace gfx
