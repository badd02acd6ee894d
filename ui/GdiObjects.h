// Owners of Win32 and GDI handles: every handle the framework creates is freed by one of these.
#pragma once

#include "ui/Win32.h"

#include <utility>

namespace ui {

// Owns a handle and frees it with Free(handle) when it goes out of scope or is replaced.
template <class H, class Free>
class TOwnedHandle {
public:
  TOwnedHandle() = default;
  explicit TOwnedHandle(H handle) : FHandle(handle) {}
  ~TOwnedHandle() { Reset(); }
  TOwnedHandle(TOwnedHandle&& other) noexcept : FHandle(other.Release()) {}
  TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;

  H Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }
  H Release() { return std::exchange(FHandle, nullptr); }
  void Reset(H handle = nullptr) {
    if (FHandle) Free()(FHandle);
    FHandle = handle;
  }

private:
  H FHandle = nullptr;
};

struct TDeleteObject {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct TDeleteDC {
  void operator()(HDC h) const { DeleteDC(h); }
};
struct TDestroyWindow {
  void operator()(HWND h) const { DestroyWindow(h); }
};

using TFontHandle = TOwnedHandle<HFONT, TDeleteObject>;
using TBrushHandle = TOwnedHandle<HBRUSH, TDeleteObject>;
using TPenHandle = TOwnedHandle<HPEN, TDeleteObject>;
using TBitmapHandle = TOwnedHandle<HBITMAP, TDeleteObject>;
using TRegionHandle = TOwnedHandle<HRGN, TDeleteObject>;
using TMemoryDC = TOwnedHandle<HDC, TDeleteDC>;
using TWindowHandle = TOwnedHandle<HWND, TDestroyWindow>;

// Owns a file handle from CreateFileA, whose "no handle" is INVALID_HANDLE_VALUE, not null.
class TFileHandle {
public:
  explicit TFileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : FHandle(handle) {}
  ~TFileHandle() {
    if (Valid()) CloseHandle(FHandle);
  }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  TFileHandle(TFileHandle&& other) noexcept
      : FHandle(std::exchange(other.FHandle, INVALID_HANDLE_VALUE)) {}

  HANDLE Get() const { return FHandle; }
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
  // Closes now, so that a failure of the close itself (data not written) can be reported.
  bool Close() { return CloseHandle(std::exchange(FHandle, INVALID_HANDLE_VALUE)) != 0; }
  // Gives the handle up to the caller, who closes it.
  HANDLE Release() { return std::exchange(FHandle, INVALID_HANDLE_VALUE); }

private:
  HANDLE FHandle;
};

// A device context borrowed from a window with GetDC or GetWindowDC, given back on scope exit.
class TWindowDC {
public:
  TWindowDC() = default;
  TWindowDC(HWND window, bool wholeWindow = false)
      : FWindow(window), FDC(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
  ~TWindowDC() { Reset(); }
  TWindowDC(TWindowDC&& other) noexcept
      : FWindow(std::exchange(other.FWindow, nullptr)), FDC(std::exchange(other.FDC, nullptr)) {}
  TWindowDC& operator=(TWindowDC&& other) noexcept {
    if (this != &other) {
      Reset();
      FWindow = std::exchange(other.FWindow, nullptr);
      FDC = std::exchange(other.FDC, nullptr);
    }
    return *this;
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;

  HDC Get() const { return FDC; }
  void Reset() {
    if (FDC) ReleaseDC(FWindow, FDC);
    FDC = nullptr;
    FWindow = nullptr;
  }

private:
  HWND FWindow = nullptr;
  HDC FDC = nullptr;
};

// BeginPaint and EndPaint around one WM_PAINT, so that an exception in a paint handler still
// validates the window.
class TPaintDC {
public:
  explicit TPaintDC(HWND window) : FWindow(window) { BeginPaint(window, &FPaint); }
  ~TPaintDC() { EndPaint(FWindow, &FPaint); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;

  HDC Get() const { return FPaint.hdc; }
  const RECT& Area() const { return FPaint.rcPaint; }

private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
};

// SaveDC and RestoreDC around a change of origin or clipping.
class TSavedDC {
public:
  explicit TSavedDC(HDC dc) : FDC(dc), FLevel(SaveDC(dc)) {}
  ~TSavedDC() { RestoreDC(FDC, FLevel); }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

private:
  HDC FDC;
  int FLevel;
};

}  // namespace ui
