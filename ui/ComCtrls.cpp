#include "ui/ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

namespace ui {

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
  FWidth = 150;
  FHeight = 16;
}

void TProgressBar::CreateParams(TCreateParams& params) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  TWinControl::CreateParams(params);
  params.ClassName = PROGRESS_CLASSA;
  if (FSmooth) params.Style |= PBS_SMOOTH;
}

void TProgressBar::HandleCreated() {
  SendMessageA(Handle(), PBM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
  SendMessageA(Handle(), PBM_SETSTEP, WPARAM(FStep), 0);
  SendMessageA(Handle(), PBM_SETPOS, WPARAM(FPosition), 0);
}

void TProgressBar::SetRange(int min, int max) {
  FMin = min;
  FMax = max;
  FPosition = std::clamp(FPosition, FMin, std::max(FMin, FMax));
  if (HandleAllocated()) HandleCreated();
}

// Like the control itself, the position stays within the range.
void TProgressBar::SetPosition(int position) {
  FPosition = std::clamp(position, FMin, std::max(FMin, FMax));
  if (HandleAllocated()) SendMessageA(Handle(), PBM_SETPOS, WPARAM(FPosition), 0);
}

void TProgressBar::SetStep(int step) {
  FStep = step;
  if (HandleAllocated()) SendMessageA(Handle(), PBM_SETSTEP, WPARAM(step), 0);
}

void TProgressBar::SetSmooth(bool value) {
  if (value == FSmooth) return;
  FSmooth = value;
  if (!HandleAllocated()) return;
  LONG style = GetWindowLongA(Handle(), GWL_STYLE);
  style = value ? (style | PBS_SMOOTH) : (style & ~LONG(PBS_SMOOTH));
  SetWindowLongA(Handle(), GWL_STYLE, style);
  Invalidate();
}

}  // namespace ui
