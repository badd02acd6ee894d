// The portable drawing vocabulary: colours, points, rectangles, font, brush and pen.
#pragma once

#include <cstdint>
#include <string>

namespace gfx {

// $00BBGGRR: red in the low byte. A high byte of $FF names a system colour (its index in
// the low byte); the canvas resolves it when it draws.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clScrollBar = clSystemColor | 0;
inline constexpr TColor clActiveCaption = clSystemColor | 2;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clAppWorkSpace = clSystemColor | 12;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clInfoBk = clSystemColor | 24;
inline constexpr TColor clGradientActiveCaption = clSystemColor | 27;

constexpr TColor RGB(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned GetRValue(TColor c) { return c & 0xFF; }
constexpr unsigned GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr unsigned GetBValue(TColor c) { return (c >> 16) & 0xFF; }

struct TPoint {
  int X = 0, Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0, cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and Bottom are exclusive, as in Win32.
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;

inline constexpr std::uint8_t ANSI_CHARSET = 0;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;

// A font as the canvas holds it. The pixel height is the stored value (negative: character
// height without internal leading, as Win32 takes it); the size in points is derived from it
// and the pixels per inch, so that "size + 1" behaves as on the platform.
struct TFontDesc {
  std::string Name = "MS Sans Serif";
  int Height = -11;
  TColor Color = clWindowText;
  TFontStyles Style = 0;
  std::uint8_t Charset = DEFAULT_CHARSET;
  int PixelsPerInch = 96;

  int Size() const;
  void SetSize(int points);
  friend bool operator==(const TFontDesc&, const TFontDesc&) = default;
};

// Win32's MulDiv: a * b / c rounded to the nearest, halves away from zero; c = 0 gives -1.
int MulDiv(int a, int b, int c);

enum class TBrushStyle : std::uint8_t { bsSolid, bsClear, bsDiagCross };

struct TBrushDesc {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
  friend bool operator==(const TBrushDesc&, const TBrushDesc&) = default;
};

enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psClear };

struct TPenDesc {
  TColor Color = clBlack;
  TPenStyle Style = TPenStyle::psSolid;
  int Width = 1;
  friend bool operator==(const TPenDesc&, const TPenDesc&) = default;
};

}  // namespace gfx
