// What a windowed control does for the controls it parents: painting the windowless ones in
// their order, routing the mouse to them by hit test, placing aligned and anchored ones, and
// the tab order of the windowed ones.
#include <windowsx.h>

#include <algorithm>

#include "ui/Controls.h"

namespace ui {

TShiftState KeysToShift(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyboardShift() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

LRESULT TWinControl::MouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  TShiftState shift = KeysToShift(wParam);
  TMouseButton button = TMouseButton::mbLeft;
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_RBUTTONDBLCLK)
    button = TMouseButton::mbRight;
  if (message == WM_MBUTTONDOWN || message == WM_MBUTTONUP || message == WM_MBUTTONDBLCLK)
    button = TMouseButton::mbMiddle;

  TControl* target = FCaptureControl ? FCaptureControl : ControlAtPos({x, y});
  TControl* receiver = target ? target : this;
  const int lx = target ? x - target->FLeft : x, ly = target ? y - target->FTop : y;
  const std::weak_ptr<void> alive = receiver->AliveToken();

  switch (message) {
    case WM_MOUSEMOVE:
      receiver->MouseMove(shift, lx, ly);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (target) {
        FCaptureControl = target;
        SetCapture(FHandle);
      }
      if (button == TMouseButton::mbLeft) receiver->FClicked = true;
      receiver->MouseDown(button, shift, lx, ly);
      break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (target) {
        FCaptureControl = target;
        SetCapture(FHandle);
      }
      if (button == TMouseButton::mbLeft) receiver->DblClick();
      if (!alive.expired()) receiver->MouseDown(button, shift | ssDouble, lx, ly);
      break;
    default: {  // a button released
      if (FCaptureControl && (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
        FCaptureControl = nullptr;
        ReleaseCapture();
      }
      // The click comes before the release event, and only when the button is released
      // over the control that it was pressed on.
      if (button == TMouseButton::mbLeft && receiver->FClicked) {
        receiver->FClicked = false;
        if (receiver->ClientRect().Contains({lx, ly})) receiver->Click();
      }
      if (!alive.expired()) receiver->MouseUp(button, shift, lx, ly);
      break;
    }
  }
  return 0;
}

TControl* TWinControl::ControlAtPos(gfx::TPoint p) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (!c->IsWindowed() && c->Visible() && c->Enabled() && c->BoundsRect().Contains(p)) return c;
  }
  return nullptr;
}

void TWinControl::PaintHandler() {
  TPaintDC paint(FHandle);
  PaintWindow(paint.Get());
  PaintControls(paint.Get());
}

void TWinControl::PaintControls(HDC dc) {
  for (std::size_t i = 0; i < FControls.size(); ++i) {
    auto* c = dynamic_cast<TGraphicControl*>(FControls[i]);
    if (!c || !c->Visible()) continue;
    const RECT r{c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight};
    if (::RectVisible(dc, &r)) c->PaintOn(dc);
  }
}

void TWinControl::AlignControls() {
  if (!FHandle || IsIconic(FHandle) || FAligning) return;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  };
  FAligning = true;
  TGuard guard{FAligning};
  RECT r{};
  GetClientRect(FHandle, &r);
  FLayoutWidth = r.right;
  FLayoutHeight = r.bottom;
  gfx::TRect space = gfx::Rect(0, 0, r.right, r.bottom);
  const std::vector<TControl*> controls = FControls;
  for (TControl* c : controls) {
    if (!c->Visible()) continue;
    if (c->FAlign == TAlign::alTop) {
      c->SetBounds(space.Left, space.Top, space.Width(), c->FHeight);
      space.Top += c->FHeight;
    } else if (c->FAlign == TAlign::alBottom) {
      c->SetBounds(space.Left, space.Bottom - c->FHeight, space.Width(), c->FHeight);
      space.Bottom -= c->FHeight;
    }
  }
  for (TControl* c : controls) {
    if (c->FAlign == TAlign::alClient && c->Visible())
      c->SetBounds(space.Left, space.Top, space.Width(), space.Height());
    else if (c->FAlign == TAlign::alNone)
      c->FollowParent(r.right, r.bottom);
  }
}

void TWinControl::ApplyTabOrder() {
  std::vector<TWinControl*> windowed;
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FHandle) windowed.push_back(w);
  std::stable_sort(windowed.begin(), windowed.end(), [](TWinControl* a, TWinControl* b) {
    return unsigned(a->FTabOrder) < unsigned(b->FTabOrder);  // -1 (none) goes last
  });
  // The dialog manager walks siblings in Z order: the first in tab order on top.
  for (TWinControl* w : windowed)
    SetWindowPos(w->FHandle, HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TWinControl::InsertControl(TControl* control) { FControls.push_back(control); }

void TWinControl::RemoveControl(TControl* control) {
  if (FCaptureControl == control) {
    FCaptureControl = nullptr;
    ReleaseCapture();
  }
  FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
}

}  // namespace ui
