#include "ui/Win32.h"

#include "rtl/SysUtils.h"

namespace ui {

void CheckOS(bool ok) {
  if (!ok) throw rtl::EInOutError(static_cast<int>(GetLastError()));
}

}  // namespace ui
