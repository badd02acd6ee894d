// The wizard's background picture travels in install.exe as a bzip2-compressed .BMP: the
// 666 x 382 24-bit picture would otherwise be three quarters of a megabyte of the program.
#pragma once

#include "ui/GdiCanvas.h"

namespace installer {

// Fills Picture from the compressed .BMP resource Name (type RCDATA) of Module; false, and
// Picture unchanged, when the module has no such resource or it is not a 24-bit picture.
bool LoadCompressedPicture(HMODULE module, const char* name, ui::TBitmap& picture);

}  // namespace installer
