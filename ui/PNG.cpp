// Screenshots as PNG files, for the tests' artifacts: what a window shows, encoded by GDI+.
#include "ui/GdiPlus.h"

#include <cstring>
#include <string>
#include <vector>

#include "rtl/SysUtils.h"
#include "ui/GdiCanvas.h"
#include "ui/GdiObjects.h"
#include "ui/Win32.h"

namespace ui {

namespace {

namespace dll = Gdiplus::DllExports;

// The encoder's functions, which only the tests call, found in the DLL that GDI+ was started
// from.
struct TEncoderApi {
  decltype(&dll::GdipGetImageEncodersSize) GdipGetImageEncodersSize;
  decltype(&dll::GdipGetImageEncoders) GdipGetImageEncoders;
  decltype(&dll::GdipCreateBitmapFromScan0) GdipCreateBitmapFromScan0;
  decltype(&dll::GdipSaveImageToFile) GdipSaveImageToFile;
};

const TEncoderApi& Encoder() {
  RequireGdiPlus();
  static const TEncoderApi api = [] {
    const auto find = [](const char* name) {
      const FARPROC function = GetProcAddress(gp.Module, name);
      if (!function) throw rtl::Exception(std::string("Erreur PNG : ") + name);
      return reinterpret_cast<void*>(function);
    };
    return TEncoderApi{
        reinterpret_cast<decltype(&dll::GdipGetImageEncodersSize)>(find("GdipGetImageEncodersSize")),
        reinterpret_cast<decltype(&dll::GdipGetImageEncoders)>(find("GdipGetImageEncoders")),
        reinterpret_cast<decltype(&dll::GdipCreateBitmapFromScan0)>(find("GdipCreateBitmapFromScan0")),
        reinterpret_cast<decltype(&dll::GdipSaveImageToFile)>(find("GdipSaveImageToFile"))};
  }();
  return api;
}

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(std::size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), n);
  return wide;
}

CLSID PngEncoder() {
  UINT count = 0, bytes = 0;
  CheckGdiPlus(Encoder().GdipGetImageEncodersSize(&count, &bytes), "Erreur PNG");
  std::vector<std::uint8_t> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  CheckGdiPlus(Encoder().GdipGetImageEncoders(count, bytes, codecs), "Erreur PNG");
  for (UINT i = 0; i < count; ++i)
    if (std::wcscmp(codecs[i].MimeType, L"image/png") == 0) return codecs[i].Clsid;
  throw rtl::Exception("Erreur PNG : pas d'encodeur");
}


}  // namespace

void SaveToPNG(const TBitmap& bitmap, const std::string& fileName) {
  RequireGdiPlus();
  if (bitmap.Empty()) throw rtl::Exception("Erreur PNG : image vide");
  // A 24-bit DIB row and a GDI+ 24bppRGB row are laid out alike: blue, green, red, padded
  // to four bytes.
  const int stride = (bitmap.Width() * 3 + 3) & ~3;
  TGpBitmap image;
  CheckGdiPlus(Encoder().GdipCreateBitmapFromScan0(bitmap.Width(), bitmap.Height(), stride,
                                             PixelFormat24bppRGB,
                                             const_cast<BYTE*>(bitmap.ScanLine(0)), image.Out()),
               "Erreur PNG");
  const CLSID png = PngEncoder();
  CheckGdiPlus(Encoder().GdipSaveImageToFile(image.Get(), Wide(fileName).c_str(), &png, nullptr),
               "Erreur PNG");
}

TBitmap CaptureWindow(HWND window, bool wholeWindow) {
  RECT r{};
  if (wholeWindow)
    CheckOS(GetWindowRect(window, &r));
  else
    CheckOS(GetClientRect(window, &r));
  TBitmap bitmap(r.right - r.left, r.bottom - r.top);
  TWindowDC source(window, wholeWindow);
  BitBlt(bitmap.Canvas().Handle(), 0, 0, bitmap.Width(), bitmap.Height(), source.Get(), 0, 0,
         SRCCOPY);
  GdiFlush();
  return bitmap;
}

void SaveWindowToPNG(HWND window, const std::string& fileName, bool wholeWindow) {
  SaveToPNG(CaptureWindow(window, wholeWindow), fileName);
}

}  // namespace ui
