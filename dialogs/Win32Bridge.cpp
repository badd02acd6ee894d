#include "dialogs/Win32Bridge.h"

#include <cstring>

#include "gfx/ColorUtils.h"
#include "ui/Win32.h"

namespace dialogs {

void UsePlatformSysColors() {
  gfx::SetSysColorSource([](int index) { return gfx::TColor(GetSysColor(index)); });
}

void CopyToBitmap(const TPixelBuffer& source, ui::TBitmap& bitmap) {
  static_assert(sizeof(TBGR) == 3, "a buffer row is laid out as a bitmap row");
  bitmap.SetSize(source.Width(), source.Height());
  for (int y = 0; y < source.Height(); ++y) {
    const TBGR* row = source.Pixels().data() + std::size_t(y) * std::size_t(source.Width());
    std::memcpy(bitmap.ScanLine(y), row, std::size_t(source.Width()) * 3);
  }
}

ui::TBitmap ToBitmap(const TPixelBuffer& source) {
  ui::TBitmap bitmap;
  CopyToBitmap(source, bitmap);
  return bitmap;
}

}  // namespace dialogs
