// Small helpers over the Win32 API shared by the framework and the platform files.
#pragma once

#include <windows.h>

namespace ui {

// Raises the run-time's input/output error with GetLastError() when a call failed.
void CheckOS(bool ok);

}  // namespace ui
