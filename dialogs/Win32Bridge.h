// Where the platform-free colour and pattern code of this folder meets Win32: the system's
// current colours, and pixel buffers turned into bitmaps.
#pragma once

#include "dialogs/GradientPatterns.h"
#include "ui/GdiCanvas.h"

namespace dialogs {

// Installs GetSysColor as the system-colour source of ColorUtils. Cheap and idempotent: the
// self-drawn controls call it when they are created, and the program may call it at start.
void UsePlatformSysColors();

// Gives the bitmap the size and the pixels of the buffer.
void CopyToBitmap(const TPixelBuffer& source, ui::TBitmap& bitmap);
ui::TBitmap ToBitmap(const TPixelBuffer& source);

}  // namespace dialogs
