// What GDI+ does for the framework: decode JPEG pictures and encode PNG files.
#include <objidl.h>
#include <windows.h>

#include <gdiplus.h>

#include <cstring>
#include <iterator>
#include <type_traits>
#include <vector>

#include "rtl/SysUtils.h"
#include "ui/GdiCanvas.h"
#include "ui/Win32.h"

namespace ui {

namespace {

namespace dll = Gdiplus::DllExports;

// GDI+ is no DLL that Windows always takes from the system folder: named in the import table,
// it would be looked for beside the program first, in whatever folder it was downloaded to.
// It is loaded on first use by its full path in the system folder, its functions by name.
struct TGdiPlusApi {
  HMODULE Module = nullptr;
#define GDIPLUS_FUNCTION(name) decltype(&dll::name) name = nullptr
  decltype(&Gdiplus::GdiplusStartup) GdiplusStartup = nullptr;
  decltype(&Gdiplus::GdiplusShutdown) GdiplusShutdown = nullptr;
  GDIPLUS_FUNCTION(GdipDisposeImage);
  GDIPLUS_FUNCTION(GdipGetImageEncodersSize);
  GDIPLUS_FUNCTION(GdipGetImageEncoders);
  GDIPLUS_FUNCTION(GdipCreateBitmapFromStream);
  GDIPLUS_FUNCTION(GdipGetImageWidth);
  GDIPLUS_FUNCTION(GdipGetImageHeight);
  GDIPLUS_FUNCTION(GdipBitmapLockBits);
  GDIPLUS_FUNCTION(GdipBitmapUnlockBits);
  GDIPLUS_FUNCTION(GdipCreateBitmapFromScan0);
  GDIPLUS_FUNCTION(GdipSaveImageToFile);
#undef GDIPLUS_FUNCTION

  // True when the DLL and every function were found.
  bool Load() {
    constexpr wchar_t name[] = L"\\gdiplus.dll";
    wchar_t path[MAX_PATH + std::size(name)] = {};
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    lstrcatW(path, name);
    Module = LoadLibraryW(path);
    if (!Module) return false;
    bool all = true;
    const auto find = [&](auto& function, const char* name) {
      function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
          reinterpret_cast<void*>(GetProcAddress(Module, name)));
      all = all && function;
    };
#define GDIPLUS_FIND(name) find(name, #name)
    GDIPLUS_FIND(GdiplusStartup);
    GDIPLUS_FIND(GdiplusShutdown);
    GDIPLUS_FIND(GdipDisposeImage);
    GDIPLUS_FIND(GdipGetImageEncodersSize);
    GDIPLUS_FIND(GdipGetImageEncoders);
    GDIPLUS_FIND(GdipCreateBitmapFromStream);
    GDIPLUS_FIND(GdipGetImageWidth);
    GDIPLUS_FIND(GdipGetImageHeight);
    GDIPLUS_FIND(GdipBitmapLockBits);
    GDIPLUS_FIND(GdipBitmapUnlockBits);
    GDIPLUS_FIND(GdipCreateBitmapFromScan0);
    GDIPLUS_FIND(GdipSaveImageToFile);
#undef GDIPLUS_FIND
    return all;
  }
};

TGdiPlusApi gp;

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

void CheckGdiPlus(Gdiplus::GpStatus status, const char* what) {
  if (status != Gdiplus::Ok) throw rtl::Exception(what + (" #" + std::to_string(int(status))));
}

void RequireGdiPlus() {
  static TGdiPlusSession session;
  CheckGdiPlus(session.Status(), "Erreur GDI+");
}

// A GDI+ bitmap freed on scope exit.
class TGpBitmap {
public:
  ~TGpBitmap() {
    if (FBitmap) gp.GdipDisposeImage(FBitmap);
  }
  Gdiplus::GpBitmap** Out() { return &FBitmap; }
  Gdiplus::GpBitmap* Get() const { return FBitmap; }

private:
  Gdiplus::GpBitmap* FBitmap = nullptr;
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

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(std::size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), n);
  return wide;
}

CLSID PngEncoder() {
  UINT count = 0, bytes = 0;
  CheckGdiPlus(gp.GdipGetImageEncodersSize(&count, &bytes), "Erreur PNG");
  std::vector<std::uint8_t> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  CheckGdiPlus(gp.GdipGetImageEncoders(count, bytes, codecs), "Erreur PNG");
  for (UINT i = 0; i < count; ++i)
    if (std::wcscmp(codecs[i].MimeType, L"image/png") == 0) return codecs[i].Clsid;
  throw rtl::Exception("Erreur PNG : pas d'encodeur");
}

}  // namespace

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

void SaveToPNG(const TBitmap& bitmap, const std::string& fileName) {
  RequireGdiPlus();
  if (bitmap.Empty()) throw rtl::Exception("Erreur PNG : image vide");
  // A 24-bit DIB row and a GDI+ 24bppRGB row are laid out alike: blue, green, red, padded
  // to four bytes.
  const int stride = (bitmap.Width() * 3 + 3) & ~3;
  TGpBitmap image;
  CheckGdiPlus(gp.GdipCreateBitmapFromScan0(bitmap.Width(), bitmap.Height(), stride,
                                             PixelFormat24bppRGB,
                                             const_cast<BYTE*>(bitmap.ScanLine(0)), image.Out()),
               "Erreur PNG");
  const CLSID png = PngEncoder();
  CheckGdiPlus(gp.GdipSaveImageToFile(image.Get(), Wide(fileName).c_str(), &png, nullptr),
               "Erreur PNG");
}

}  // namespace ui
