// TBitmap: a 24-bit DIB section selected into its own memory DC; and window captures.
#include <algorithm>
#include <cstring>
#include <utility>

#include "rtl/SysUtils.h"
#include "ui/GdiCanvas.h"
#include "ui/Win32.h"

namespace ui {

TBitmap::~TBitmap() {
  FCanvas.reset();
  if (FDC && FOldBitmap) SelectObject(FDC.Get(), FOldBitmap);
}

// The memory DC, its selected bitmap and the canvas on it travel together.
void TBitmap::Swap(TBitmap& other) noexcept {
  std::swap(FWidth, other.FWidth);
  std::swap(FHeight, other.FHeight);
  std::swap(FBitmap, other.FBitmap);
  std::swap(FBits, other.FBits);
  std::swap(FDC, other.FDC);
  std::swap(FOldBitmap, other.FOldBitmap);
  std::swap(FCanvas, other.FCanvas);
}

HDC TBitmap::MemoryDC() const {
  if (!FDC) {
    FDC.Reset(CreateCompatibleDC(nullptr));
    CheckOS(bool(FDC));
    if (FBitmap) FOldBitmap = SelectObject(FDC.Get(), FBitmap.Get());
  }
  return FDC.Get();
}

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0) throw rtl::ERangeError();
  if (width == FWidth && height == FHeight) return;
  TBitmapHandle bitmap;
  std::uint8_t* bits = nullptr;
  if (width > 0 && height > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
    CheckOS(bool(bitmap));
    bits = static_cast<std::uint8_t*>(raw);
    const int stride = (width * 3 + 3) & ~3;
    std::memset(bits, 0xFF, std::size_t(stride) * height);
    if (FBits) {
      GdiFlush();
      const int rows = std::min(height, FHeight);
      const std::size_t bytes = std::size_t(std::min(width, FWidth)) * 3;
      for (int y = 0; y < rows; ++y)
        std::memcpy(bits + std::size_t(y) * stride, FBits + std::size_t(y) * Stride(), bytes);
    }
  }
  if (FDC && (bitmap || FOldBitmap)) {
    HGDIOBJ old = SelectObject(FDC.Get(), bitmap ? HGDIOBJ(bitmap.Get()) : FOldBitmap);
    if (!FOldBitmap) FOldBitmap = old;
    if (!bitmap) FOldBitmap = nullptr;
  }
  FBitmap = std::move(bitmap);
  FBits = bits;
  FWidth = FBits ? width : 0;
  FHeight = FBits ? height : 0;
}

void TBitmap::Assign(const TBitmap& other) {
  SetSize(other.FWidth, other.FHeight);
  if (!FBits) return;
  GdiFlush();
  std::memcpy(FBits, other.FBits, std::size_t(Stride()) * FHeight);
}

TGdiCanvas& TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TGdiCanvas>();
  FCanvas->SetHandle(MemoryDC());
  return *FCanvas;
}

std::uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= FHeight) throw rtl::ERangeError();
  GdiFlush();
  return FBits + std::size_t(y) * Stride();
}

const std::uint8_t* TBitmap::ScanLine(int y) const {
  return const_cast<TBitmap*>(this)->ScanLine(y);
}

gfx::TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || x >= FWidth) throw rtl::ERangeError();
  const std::uint8_t* p = ScanLine(y) + 3 * x;
  return gfx::RGB(p[2], p[1], p[0]);
}

void TBitmap::SetPixel(int x, int y, gfx::TColor color) {
  if (x < 0 || x >= FWidth) throw rtl::ERangeError();
  color = ColorToRGB(color);
  std::uint8_t* p = ScanLine(y) + 3 * x;
  p[0] = std::uint8_t(gfx::GetBValue(color));
  p[1] = std::uint8_t(gfx::GetGValue(color));
  p[2] = std::uint8_t(gfx::GetRValue(color));
}

void TBitmap::AssignHandle(HBITMAP bitmap) {
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info)) throw rtl::Exception("Image bitmap incorrecte");
  SetSize(0, 0);
  SetSize(info.bmWidth, info.bmHeight);
  if (!FBits) return;
  TMemoryDC source(CreateCompatibleDC(nullptr));
  CheckOS(bool(source));
  HGDIOBJ old = SelectObject(source.Get(), bitmap);
  BitBlt(MemoryDC(), 0, 0, FWidth, FHeight, source.Get(), 0, 0, SRCCOPY);
  SelectObject(source.Get(), old);
  GdiFlush();
}

void TBitmap::LoadFromFile(const std::string& fileName) {
  if (GetFileAttributesA(fileName.c_str()) == INVALID_FILE_ATTRIBUTES)
    throw rtl::EFOpenError(fileName);
  TBitmapHandle loaded(static_cast<HBITMAP>(LoadImageA(
      nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  if (!loaded) throw rtl::Exception("Image bitmap incorrecte");
  AssignHandle(loaded.Get());
}

void TBitmap::LoadFromResourceName(HINSTANCE module, const char* name) {
  TBitmapHandle loaded(
      static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  CheckOS(bool(loaded));
  AssignHandle(loaded.Get());
}

void TBitmap::Draw(HDC dc, const gfx::TRect& dest) const {
  if (!FBits) return;
  HDC source = MemoryDC();
  if (dest.Width() == FWidth && dest.Height() == FHeight) {
    BitBlt(dc, dest.Left, dest.Top, FWidth, FHeight, source, 0, 0, SRCCOPY);
    return;
  }
  // Nearest pixel, no blending: a stretched 2 x 2 pattern shows four clean quadrants.
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), source, 0, 0, FWidth, FHeight,
             SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}

}  // namespace ui
