// A canvas with fixed, documented metrics that keeps its own pixels and records every call,
// so that drawing code can be tested without any window system.
//
// Metrics, all derived from the font's pixel height (em = |Font.Height|, or 12 when the height
// is 0 as the platform then picks its default, capped at 1000 as the platform caps its fonts):
//   - every character advances em / 2 pixels (at least 1), one more when the font is bold;
//   - every text, whatever its characters, is em + em / 4 pixels high, except that a bold font
//     whose em is a multiple of 5 is one pixel lower (so the renderer's rule that raises a bold
//     font shorter than its regular form can be exercised: 11 points at 96 dpi is em 15);
//   - at 96 pixels per inch, 10-point Tahoma is 16 pixels high and 6 wide, and the default
//     8-point MS Sans Serif 13 pixels high: the heights of the real fonts.
// Ink: each character other than a space paints the block from (x, y + height - em) to
// (x + advance - 1, y + height), right and bottom excluded, in the font colour; the whole
// cell is filled with the brush colour first unless the brush is clear.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "gfx/Canvas.h"

namespace gfx {

// A picture of one colour, for the stretch-drawing tests.
class TTestGraphic : public TGraphic {
public:
  TTestGraphic(int width, int height, TColor color) : FWidth(width), FHeight(height), FColor(color) {}
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  TColor Color() const { return FColor; }

private:
  int FWidth, FHeight;
  TColor FColor;
};

class TTestCanvas : public TCanvas {
public:
  enum class TCallKind { TextOut, TextExtent, LineTo, Rectangle, FillRect, CopyRect, SetPixel,
                         StretchDraw };

  // One recorded call, with the font, brush and pen in effect when it was made.
  struct TCall {
    TCallKind Kind = TCallKind::TextOut;
    TRect Rect;        // TextOut: the text's cell; LineTo: from and to; others: destination
    TRect Source;      // CopyRect only
    std::string Text;  // TextOut and TextExtent
    TColor Color = 0;  // SetPixel only
    TFontDesc Font;
    TBrushDesc Brush;
    TPenDesc Pen;
  };

  TTestCanvas(int width, int height, TColor background = clWhite);

  void TextOut(int x, int y, std::string_view text) override;
  TSize TextExtent(std::string_view text) override;
  void LineTo(int x, int y) override;
  void Rectangle(const TRect& r) override;
  void FillRect(const TRect& r) override;
  void CopyRect(const TRect& dest, const TRect& source) override;
  TColor GetPixel(int x, int y) override;
  void SetPixel(int x, int y, TColor color) override;
  void StretchDraw(const TRect& dest, const TGraphic& graphic) override;
  bool RectVisible(const TRect& r) override;
  TColor ColorToRGB(TColor color) override;

  // The metrics above, for tests that compute where things go.
  static int Em(const TFontDesc& font);
  static int CharWidth(const TFontDesc& font);
  static int TextHeightOf(const TFontDesc& font);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  const std::vector<TCall>& Calls() const { return FCalls; }
  std::vector<TCall> CallsOf(TCallKind kind) const;
  void ClearCalls() { FCalls.clear(); }
  // Measurements are many and rarely interesting; they are recorded only on request.
  void RecordExtents(bool on) { FRecordExtents = on; }
  // Fuzzing draws a lot: it may switch recording off altogether.
  void Record(bool on) { FRecord = on; }

  TColor Pixel(int x, int y) const { return At(x, y); }
  // Whether any pixel of the rectangle has the colour, or differs from it.
  bool Any(const TRect& r, TColor color) const;
  bool AnyOther(const TRect& r, TColor color) const;

private:
  void Put(int x, int y, TColor c);
  TColor At(int x, int y) const;
  void Fill(const TRect& r, TColor c);
  void FillWithBrush(const TRect& r);
  void Line(TPoint from, TPoint to);
  static TCall MakeCall(TCallKind kind, const TRect& rect, const TRect& source = {},
                        std::string_view text = {});
  void Add(TCall call);

  int FWidth, FHeight;
  std::vector<TColor> FPixels;
  std::vector<TCall> FCalls;
  bool FRecord = true;
  bool FRecordExtents = false;
};

}  // namespace gfx
