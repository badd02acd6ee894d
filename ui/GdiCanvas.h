// The canvas over a GDI device context, 24-bit bitmaps with their own canvas, JPEG pictures
// decoded by GDI+, and PNG files for screenshots.
#pragma once

#include "ui/Win32.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/Canvas.h"
#include "ui/FontMetrics.h"
#include "ui/GdiObjects.h"

namespace ui {

// gfx::TCanvas drawn with GDI on a device context it does not own (a window's DC, a paint DC,
// a bitmap's memory DC). Font, brush and pen are realised lazily, when a drawing call needs
// them, and only when they differ from what is already selected: the renderer changes its
// font for every tag and draws word by word, so redundant selections would dominate. For the
// same reason texts are measured from the character widths of each font, taken from GDI once
// and kept with the font; fonts whose widths do not add up as GDI's own measure are measured
// by GDI every time.
class TGdiCanvas : public gfx::TCanvas {
public:
  TGdiCanvas() = default;
  explicit TGdiCanvas(HDC dc) { SetHandle(dc); }
  ~TGdiCanvas() override { SetHandle(nullptr); }
  TGdiCanvas(const TGdiCanvas&) = delete;
  TGdiCanvas& operator=(const TGdiCanvas&) = delete;

  HDC Handle() const { return FDC; }
  // Attaches the canvas to another device context (or none). The objects it selected into the
  // previous one are taken out again first, so that the context is left as it was found.
  void SetHandle(HDC dc);

  // Selects Font, Brush or Pen into the device context now, for callers that go on with GDI
  // calls of their own on Handle() (DrawText, for instance).
  void RequireFont();
  void RequireBrush();
  void RequirePen();

  // Bits per pixel times planes of the device.
  int ColorDepth() const;
  // Whether texts in Font are measured from its cached character widths.
  bool MeasuresFromWidths();

  void TextOut(int x, int y, std::string_view text) override;
  gfx::TSize TextExtent(std::string_view text) override;
  void LineTo(int x, int y) override;
  void Rectangle(const gfx::TRect& r) override;
  void FillRect(const gfx::TRect& r) override;
  void CopyRect(const gfx::TRect& dest, const gfx::TRect& source) override;
  gfx::TColor GetPixel(int x, int y) override;
  void SetPixel(int x, int y, gfx::TColor color) override;
  void StretchDraw(const gfx::TRect& dest, const gfx::TGraphic& graphic) override;
  bool RectVisible(const gfx::TRect& r) override;
  gfx::TColor ColorToRGB(gfx::TColor color) override;

private:
  struct TFontEntry {
    gfx::TFontDesc Desc;
    TFontHandle Handle;
    std::unique_ptr<TFontMetrics> Metrics;  // from the first measure in the font
  };

  HDC CheckedHandle() const;
  TFontEntry& FontFor(const gfx::TFontDesc& desc);
  // The widths of Font, measured now if they are not yet; null where GDI must measure.
  const TFontMetrics* MetricsOfFont();
  void Deselect();

  HDC FDC = nullptr;
  // A few fonts stay created, most recently used last: a text switches between a handful.
  std::vector<TFontEntry> FFonts;
  HFONT FSelectedFont = nullptr;
  // The context the fonts' widths were measured on, compared again after each attachment.
  TMeasuringMode FMeasuredOn;
  bool FModeChecked = false;
  COLORREF FTextColor = CLR_INVALID;
  TBrushHandle FBrush;
  gfx::TBrushDesc FBrushDesc;
  bool FBrushSelected = false;
  TPenHandle FPen;
  gfx::TPenDesc FPenDesc;
  bool FPenSelected = false;
  HGDIOBJ FOldFont = nullptr, FOldBrush = nullptr, FOldPen = nullptr;
};

// The RGB value of a colour, system colours resolved with GetSysColor.
gfx::TColor ColorToRGB(gfx::TColor color);

// The GDI LOGFONT of a font description.
LOGFONTA LogFontOf(const gfx::TFontDesc& desc);

// A picture that GDI can stretch onto a device context.
class TGdiGraphic : public gfx::TGraphic {
public:
  virtual void Draw(HDC dc, const gfx::TRect& dest) const = 0;
};

// A 24-bit device-independent bitmap, rows top first, with its own canvas. A new bitmap and the
// area a resize adds are white.
class TBitmap : public TGdiGraphic {
public:
  TBitmap() = default;
  TBitmap(int width, int height) { SetSize(width, height); }
  TBitmap(const TBitmap& other) { Assign(other); }
  TBitmap& operator=(const TBitmap& other) {
    if (this != &other) Assign(other);
    return *this;
  }
  TBitmap(TBitmap&& other) noexcept { Swap(other); }
  TBitmap& operator=(TBitmap&& other) noexcept {
    Swap(other);
    return *this;
  }
  ~TBitmap() override;

  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // Keeps the pixels that stay inside the new size.
  void SetSize(int width, int height);
  void Assign(const TBitmap& other);

  TGdiCanvas& Canvas();
  HBITMAP Handle() const { return FBitmap.Get(); }

  // Direct pixel access: blue, green, red bytes; pending GDI drawing is flushed first.
  std::uint8_t* ScanLine(int y);
  const std::uint8_t* ScanLine(int y) const;
  gfx::TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, gfx::TColor color);

  // Reads a .BMP file of any depth (converted to 24 bits); a missing file raises EFOpenError.
  void LoadFromFile(const std::string& fileName);
  // Reads a bitmap resource (RT_BITMAP) of a module.
  void LoadFromResourceName(HINSTANCE module, const char* name);
  // Takes the content of a GDI bitmap of any format.
  void AssignHandle(HBITMAP bitmap);

  void Draw(HDC dc, const gfx::TRect& dest) const override;

private:
  void Swap(TBitmap& other) noexcept;
  HDC MemoryDC() const;
  int Stride() const { return (FWidth * 3 + 3) & ~3; }

  int FWidth = 0, FHeight = 0;
  TBitmapHandle FBitmap;
  std::uint8_t* FBits = nullptr;
  mutable TMemoryDC FDC;
  mutable HGDIOBJ FOldBitmap = nullptr;
  std::unique_ptr<TGdiCanvas> FCanvas;
};

// A JPEG picture, decoded once by GDI+ into a 24-bit bitmap.
class TJPEGImage : public TGdiGraphic {
public:
  int Width() const override { return FBitmap.Width(); }
  int Height() const override { return FBitmap.Height(); }
  // A missing file raises EFOpenError; a file GDI+ cannot decode raises "Erreur JPEG #n".
  void LoadFromFile(const std::string& fileName);
  void LoadFromMemory(const void* data, std::size_t size);
  void Assign(const TBitmap& bitmap) { FBitmap = bitmap; }
  const TBitmap& Bitmap() const { return FBitmap; }

  void Draw(HDC dc, const gfx::TRect& dest) const override { FBitmap.Draw(dc, dest); }

private:
  TBitmap FBitmap;
};

// Writes the bitmap as a PNG file with the GDI+ encoder.
void SaveToPNG(const TBitmap& bitmap, const std::string& fileName);
// Copies what a window shows: its client area, or the whole window with its frame.
TBitmap CaptureWindow(HWND window, bool wholeWindow);
void SaveWindowToPNG(HWND window, const std::string& fileName, bool wholeWindow = true);

}  // namespace ui
