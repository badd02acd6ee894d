// TWinControl: the window, its procedure and its properties. What it does for the controls
// it parents is in ChildControls.cpp.
#include <vector>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Forms.h"

namespace ui {

namespace {

const char* const WindowClassName = "TUIWindow";

// The control whose window CreateWindowEx is making: the first messages of a window of the
// framework's class arrive before CreateWindowEx returns its handle.
thread_local TWinControl* CreatingControl = nullptr;

int NextChildId = 100;

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Owned components go first, while this object is still whole; then the controls that
  // others own but that live on this window lose their parent.
  DestroyComponents();
  const std::vector<TControl*> rest = FControls;
  for (TControl* c : rest) {
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    c->FParent = nullptr;
  }
  FControls.clear();
  DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window) return nullptr;
  auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return control && control->FHandle == window ? control : nullptr;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Style = WS_CHILD | WS_CLIPSIBLINGS | (Visible() ? WS_VISIBLE : 0);
  params.X = FLeft;
  params.Y = FTop;
  params.Width = FWidth;
  params.Height = FHeight;
  if (Parent()) params.ParentWindow = Parent()->Handle();
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &TWinControl::StdWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = WindowClassName;
    CheckOS(RegisterClassExA(&wc) != 0);
    return true;
  }();
  (void)registered;

  TCreateParams p;
  CreateParams(p);
  const bool child = (p.Style & WS_CHILD) != 0;
  CreatingControl = p.ClassName ? nullptr : this;
  HWND window = CreateWindowExA(p.ExStyle, p.ClassName ? p.ClassName : WindowClassName,
                                p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                                p.ParentWindow,
                                child ? reinterpret_cast<HMENU>(INT_PTR(NextChildId++)) : nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  CreatingControl = nullptr;
  CheckOS(window != nullptr);
  FHandle = window;
  if (p.ClassName) {
    // A standard control keeps its own procedure behind ours.
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FDefWndProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::StdWndProc)));
  } else {
    FDefWndProc = &DefWindowProcA;
  }
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), 0);
  if (!Enabled()) EnableWindow(window, FALSE);
  RECT r{};
  GetClientRect(window, &r);
  FLayoutWidth = r.right;
  FLayoutHeight = r.bottom;
  HandleCreated();
  if (Parent()) Parent()->ApplyTabOrder();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  HWND window = FHandle;
  if (auto* form = dynamic_cast<TForm*>(FromHandle(GetAncestor(window, GA_ROOT))))
    if (form->FActiveControl == this) form->FActiveControl = nullptr;
  if (FCaptureControl) ReleaseCapture();
  FCaptureControl = nullptr;
  if (FDefWndProc && FDefWndProc != &DefWindowProcA)
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  FHandle = nullptr;
  DestroyWindow(window);
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!control && CreatingControl) {
    control = CreatingControl;
    CreatingControl = nullptr;
    control->FHandle = window;
    control->FDefWndProc = &DefWindowProcA;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  }
  if (!control) return DefWindowProcA(window, message, wParam, lParam);
  // No exception crosses the window procedure: what leaves an event handler is shown in the
  // standard error box, and the program goes on.
  try {
    return control->WndProc(message, wParam, lParam);
  } catch (...) {
    Application.HandleException();
    return 0;
  }
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!FHandle) return 0;
  return CallWindowProcA(FDefWndProc ? FDefWndProc : &DefWindowProcA, FHandle, message, wParam,
                         lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const bool own = FDefWndProc == &DefWindowProcA;
  switch (message) {
    case WM_ERASEBKGND:
      if (!own) break;
      {
        RECT r{};
        GetClientRect(FHandle, &r);
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, CtlColor(nullptr));
      }
      return 1;
    case WM_PAINT:
      if (!own) break;
      PaintHandler();
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) AlignControls();
      break;
    case WM_WINDOWPOSCHANGED: {
      RECT r{};
      GetWindowRect(FHandle, &r);
      if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(HWND_DESKTOP, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
      FLeft = r.left;
      FTop = r.top;
      FWidth = r.right - r.left;
      FHeight = r.bottom - r.top;
      break;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (own) return MouseMessage(message, wParam, lParam);
      break;
    case WM_CAPTURECHANGED:
      FCaptureControl = nullptr;
      break;
    case WM_COMMAND:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
        child->Command(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(child->CtlColor(reinterpret_cast<HDC>(wParam)));
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      std::uint16_t key = std::uint16_t(wParam);
      KeyDown(key, KeyboardShift());
      if (key == 0) return 0;
      wParam = key;
      break;
    }
    case WM_CHAR: {
      char key = char(wParam);
      KeyPress(key);
      if (key == 0) return 0;
      wParam = WPARAM(static_cast<unsigned char>(key));
      break;
    }
    case WM_SETTINGCHANGE:
      BroadcastSettingChange();
      break;
    case WM_SETFOCUS:
      if (!own)
        if (TForm* form = dynamic_cast<TForm*>(FromHandle(GetAncestor(FHandle, GA_ROOT))))
          form->FActiveControl = this;
      break;
    default:
      break;
  }
  return DefaultHandler(message, wParam, lParam);
}

int TWinControl::ClientWidth() const {
  if (!FHandle) return FWidth;
  RECT r{};
  GetClientRect(FHandle, &r);
  return r.right;
}

int TWinControl::ClientHeight() const {
  if (!FHandle) return FHeight;
  RECT r{};
  GetClientRect(FHandle, &r);
  return r.bottom;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  UpdateAnchorRules();
  if (FHandle)
    SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (Align() != TAlign::alNone && Parent() && !Parent()->FAligning) Parent()->AlignControls();
  BoundsChanged();
}

void TWinControl::SetVisible(bool visible) {
  if (visible == Visible()) return;
  if (!visible && FHandle && (GetFocus() == FHandle || IsChild(FHandle, GetFocus())))
    if (HWND root = GetAncestor(FHandle, GA_ROOT); root && root != FHandle) ::SetFocus(root);
  FVisible = visible;
  if (FHandle) ShowWindow(FHandle, visible ? SW_SHOWNA : SW_HIDE);
  VisibleChanged();
}

void TWinControl::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  TControl::SetEnabled(enabled);
  if (FHandle) EnableWindow(FHandle, enabled);
}

void TWinControl::EnabledChanged() {}

void TWinControl::SetParent(TWinControl* parent) {
  TControl::SetParent(parent);
  if (parent && parent->HandleAllocated()) {
    if (!FHandle)
      CreateHandle();
    else
      ::SetParent(FHandle, parent->FHandle);
  } else if (!parent && FHandle && (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD)) {
    DestroyHandle();
  }
}

void TWinControl::Invalidate() {
  if (FHandle) ::InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::InvalidateRect(const gfx::TRect& r, bool erase) {
  if (!FHandle) return;
  const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::InvalidateRect(FHandle, &rc, erase);
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (FHandle) ::SetFocus(FHandle);
}

void TWinControl::SetTabOrder(int order) {
  FTabOrder = order;
  if (Parent()) Parent()->ApplyTabOrder();
}

HBRUSH TWinControl::CtlColor(HDC dc) {
  const gfx::TColor color = ColorToRGB(Color());
  if (!FColorBrush || FColorBrushColor != color) {
    FColorBrush.Reset(CreateSolidBrush(color));
    FColorBrushColor = color;
  }
  if (dc) {
    SetTextColor(dc, ColorToRGB(Font().Color));
    SetBkColor(dc, color);
  }
  return FColorBrush.Get();
}

HFONT TWinControl::FontHandle() {
  if (!FFontHandle || !(FFontHandleDesc == Font())) {
    const LOGFONTA lf = LogFontOf(Font());
    FFontHandle.Reset(CreateFontIndirectA(&lf));
    FFontHandleDesc = Font();
  }
  return FFontHandle.Get();
}

void TWinControl::FontChanged() {
  if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
  const std::vector<TControl*> controls = FControls;
  for (TControl* c : controls)
    if (c->FParentFont) c->ParentFontChanged();
  Invalidate();
}

void TWinControl::ColorChanged() {
  const std::vector<TControl*> controls = FControls;
  for (TControl* c : controls)
    if (c->FParentColor) c->ParentColorChanged();
  Invalidate();
}

void TWinControl::KeyDown(std::uint16_t& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::BroadcastSettingChange() {
  const std::vector<TControl*> controls = FControls;
  for (TControl* c : controls) c->SettingChanged();
}

}  // namespace ui
