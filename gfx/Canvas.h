// The abstract canvas: everything the renderer and the self-drawn controls draw with.
// Font, brush and pen are plain values; an implementation realises them on the surface
// when it next draws, so a caller may change them freely and cheaply.
#pragma once

#include <string_view>

#include "gfx/Types.h"

namespace gfx {

// A picture the canvas can stretch onto itself (a bitmap, a decoded JPEG).
class TGraphic {
public:
  virtual ~TGraphic() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() == 0 || Height() == 0; }
};

class TCanvas {
public:
  virtual ~TCanvas() = default;

  TFontDesc Font;
  TBrushDesc Brush;
  TPenDesc Pen;
  TPoint PenPos;

  // Draws text with its top-left corner at (x, y), in Font; the cell is filled with the
  // brush colour unless the brush is clear.
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  virtual TSize TextExtent(std::string_view text) = 0;
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }

  void MoveTo(int x, int y) { PenPos = {x, y}; }
  // Draws a line with Pen from PenPos to (x, y), the end point excluded, and moves PenPos.
  virtual void LineTo(int x, int y) = 0;
  // Frames with Pen and fills with Brush; Right and Bottom exclusive.
  virtual void Rectangle(const TRect& r) = 0;
  // Fills with Brush only.
  virtual void FillRect(const TRect& r) = 0;
  // Copies a rectangle of pixels of this canvas onto another place of it.
  virtual void CopyRect(const TRect& dest, const TRect& source) = 0;
  virtual TColor GetPixel(int x, int y) = 0;
  virtual void SetPixel(int x, int y, TColor color) = 0;
  virtual void StretchDraw(const TRect& dest, const TGraphic& graphic) = 0;
  // Whether any part of the rectangle lies in the clipping region.
  virtual bool RectVisible(const TRect& r) = 0;

  // The RGB value of a colour, system colours resolved.
  virtual TColor ColorToRGB(TColor color) = 0;
};

// Saves the canvas font, brush and pen and puts them back when it goes out of scope.
class TCanvasSaver {
public:
  explicit TCanvasSaver(TCanvas& canvas)
      : FCanvas(canvas), FFont(canvas.Font), FBrush(canvas.Brush), FPen(canvas.Pen) {}
  ~TCanvasSaver() {
    FCanvas.Font = FFont;
    FCanvas.Brush = FBrush;
    FCanvas.Pen = FPen;
  }
  TCanvasSaver(const TCanvasSaver&) = delete;
  TCanvasSaver& operator=(const TCanvasSaver&) = delete;

private:
  TCanvas& FCanvas;
  TFontDesc FFont;
  TBrushDesc FBrush;
  TPenDesc FPen;
};

}  // namespace gfx
