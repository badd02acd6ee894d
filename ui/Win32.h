// Small helpers over the Win32 API shared by the framework and the platform files.
//
// Include this header instead of <windows.h>: it takes back the macros of windows.h that
// collide with the names of the drawing vocabulary (gfx::RGB, gfx::DEFAULT_CHARSET,
// TCanvas::TextOut, ...), so that both can be used in one file, in any include order.
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

namespace ui {

// Raises the run-time's input/output error with GetLastError() when a call failed.
void CheckOS(bool ok);

}  // namespace ui
