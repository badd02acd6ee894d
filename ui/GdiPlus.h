// GDI+ inside the framework: the functions it calls, found on first use in the DLL of the
// system folder, the start of GDI+ and its errors. Only the framework's GDI+ files include it.
#pragma once

#include <objidl.h>
#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <iterator>

namespace ui {

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
  GDIPLUS_FUNCTION(GdipCreateBitmapFromStream);
  GDIPLUS_FUNCTION(GdipGetImageWidth);
  GDIPLUS_FUNCTION(GdipGetImageHeight);
  GDIPLUS_FUNCTION(GdipBitmapLockBits);
  GDIPLUS_FUNCTION(GdipBitmapUnlockBits);
#undef GDIPLUS_FUNCTION

  // True when the DLL and every function were found.
  bool Load() {
    constexpr char file[] = "\\gdiplus.dll";
    char path[MAX_PATH + std::size(file)] = {};
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    std::copy(std::begin(file), std::end(file), path + n);
    Module = LoadLibraryA(path);
    if (!Module) return false;
    bool all = true;
    const auto find = [&](const char* name) {
      const FARPROC function = GetProcAddress(Module, name);
      all = all && function;
      return reinterpret_cast<void*>(function);
    };
#define GDIPLUS_FIND(name) name = reinterpret_cast<decltype(name)>(find(#name))
    GDIPLUS_FIND(GdiplusStartup);
    GDIPLUS_FIND(GdiplusShutdown);
    GDIPLUS_FIND(GdipDisposeImage);
    GDIPLUS_FIND(GdipCreateBitmapFromStream);
    GDIPLUS_FIND(GdipGetImageWidth);
    GDIPLUS_FIND(GdipGetImageHeight);
    GDIPLUS_FIND(GdipBitmapLockBits);
    GDIPLUS_FIND(GdipBitmapUnlockBits);
#undef GDIPLUS_FIND
    return all;
  }
};

// The functions, found by RequireGdiPlus.
extern TGdiPlusApi gp;

// Starts GDI+ the first time; raises the framework's error when it cannot be started.
void RequireGdiPlus();
// Raises the framework's error "What #status" for a failed GDI+ call.
void CheckGdiPlus(Gdiplus::GpStatus status, const char* what);

// A GDI+ bitmap freed on scope exit.
class TGpBitmap {
public:
  TGpBitmap() = default;
  TGpBitmap(const TGpBitmap&) = delete;
  TGpBitmap& operator=(const TGpBitmap&) = delete;
  ~TGpBitmap() {
    if (FBitmap) gp.GdipDisposeImage(FBitmap);
  }
  Gdiplus::GpBitmap** Out() { return &FBitmap; }
  Gdiplus::GpBitmap* Get() const { return FBitmap; }

private:
  Gdiplus::GpBitmap* FBitmap = nullptr;
};

}  // namespace ui
