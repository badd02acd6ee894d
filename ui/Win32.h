// Small helpers over the Win32 API shared by the framework and the platform files.
//
// Include this header instead of <windows.h>: it takes back the macros of windows.h that
// collide with the names of the drawing vocabulary (gfx::RGB, gfx::DEFAULT_CHARSET,
// TCanvas::TextOut, ...), so that both can be used in one file, in any include order, and
// puts functions and constants of the same names in their place for Win32 code.
#pragma once

#include <windows.h>

#undef RGB
#undef GetRValue
#undef GetGValue
#undef GetBValue
#undef ANSI_CHARSET
#undef DEFAULT_CHARSET
#undef TextOut
#undef DrawText
#undef MessageBox

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return r | (g << 8) | (DWORD(b) << 16); }
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE(c >> 8); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE(c >> 16); }
inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int length) {
  return TextOutA(dc, x, y, text, length);
}
inline int DrawText(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format) {
  return DrawTextA(dc, text, length, rect, format);
}
inline int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return MessageBoxA(owner, text, caption, type);
}

namespace ui {

// Raises the run-time's input/output error with GetLastError() when a call failed.
void CheckOS(bool ok);

}  // namespace ui
