// What GDI+ does for the framework: decode JPEG pictures. PNG files, which only the tests
// write, are encoded in PNG.cpp, so that the program carries none of it.
#include "ui/GdiPlus.h"

#include <cstring>
#include <string>
#include <vector>

#include "rtl/SysUtils.h"
#include "ui/GdiCanvas.h"
#include "ui/Win32.h"

namespace ui {

namespace {

// GDI+ is started on first use and shut down when the program ends; no GDI+ object outlives
// the call that made it, so the order of shutdown does not matter.
class TGdiPlusSession {
public:
  TGdiPlusSession() {
    if (!gp.Load()) return;
    Gdiplus::GdiplusStartupInput input;
    FStatus = gp.GdiplusStartup(&FToken, &input, nullptr);
  }
  ~TGdiPlusSession() {
    if (FStatus == Gdiplus::Ok) gp.GdiplusShutdown(FToken);
  }
  Gdiplus::GpStatus Status() const { return FStatus; }

private:
  ULONG_PTR FToken = 0;
  // Where GDI+ cannot be loaded, every use fails as a failed start would.
  Gdiplus::GpStatus FStatus = Gdiplus::GenericError;
};

class TStream {
public:
  ~TStream() {
    if (FStream) FStream->Release();
  }
  IStream** Out() { return &FStream; }
  IStream* Get() const { return FStream; }

private:
  IStream* FStream = nullptr;
};

}  // namespace

TGdiPlusApi gp;

void CheckGdiPlus(Gdiplus::GpStatus status, const char* what) {
  if (status != Gdiplus::Ok) throw rtl::Exception(what + (" #" + std::to_string(int(status))));
}

void RequireGdiPlus() {
  static TGdiPlusSession session;
  CheckGdiPlus(session.Status(), "Erreur GDI+");
}

void TJPEGImage::LoadFromFile(const std::string& fileName) {
  TFileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr));
  if (!file.Valid()) throw rtl::EFOpenError(fileName);
  const DWORD size = GetFileSize(file.Get(), nullptr);
  std::vector<std::uint8_t> data(size);
  DWORD read = 0;
  CheckOS(ReadFile(file.Get(), data.data(), size, &read, nullptr) && read == size);
  LoadFromMemory(data.data(), data.size());
}

void TJPEGImage::LoadFromMemory(const void* data, std::size_t size) {
  RequireGdiPlus();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
  CheckOS(memory != nullptr);
  if (void* p = GlobalLock(memory)) {
    if (size) std::memcpy(p, data, size);
    GlobalUnlock(memory);
  }
  TStream stream;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Out()))) {
    GlobalFree(memory);
    throw rtl::Exception("Erreur JPEG #0");
  }
  TGpBitmap picture;
  CheckGdiPlus(gp.GdipCreateBitmapFromStream(stream.Get(), picture.Out()), "Erreur JPEG");
  UINT width = 0, height = 0;
  gp.GdipGetImageWidth(picture.Get(), &width);
  gp.GdipGetImageHeight(picture.Get(), &height);
  TBitmap decoded{int(width), int(height)};
  Gdiplus::GpRect all(0, 0, int(width), int(height));
  Gdiplus::BitmapData bits{};
  CheckGdiPlus(gp.GdipBitmapLockBits(picture.Get(), &all, Gdiplus::ImageLockModeRead,
                                      PixelFormat24bppRGB, &bits),
               "Erreur JPEG");
  for (UINT y = 0; y < height; ++y)
    std::memcpy(decoded.ScanLine(int(y)),
                static_cast<const std::uint8_t*>(bits.Scan0) + std::ptrdiff_t(y) * bits.Stride,
                std::size_t(width) * 3);
  gp.GdipBitmapUnlockBits(picture.Get(), &bits);
  FBitmap = decoded;
}

}  // namespace ui
