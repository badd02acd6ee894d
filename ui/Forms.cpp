#include "ui/Forms.h"

#include <vector>

#include "rtl/SysUtils.h"
#include "ui/Application.h"

namespace ui {

namespace {

// Posted to a form by Release(): the form is freed when the message arrives.
constexpr UINT CM_RELEASE = WM_APP + 0x100;

BOOL CALLBACK DisableWindow(HWND window, LPARAM list) {
  auto* disabled = reinterpret_cast<std::vector<HWND>*>(list);
  if (window != disabled->front() && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    disabled->push_back(window);
  }
  return TRUE;
}

// Disables every visible, enabled top-level window of the thread except one; the first item
// of the list is that exception, the others are the windows to enable again.
std::vector<HWND> DisableTaskWindows(HWND except) {
  std::vector<HWND> disabled{except};
  EnumThreadWindows(GetCurrentThreadId(), &DisableWindow, reinterpret_cast<LPARAM>(&disabled));
  return disabled;
}

void EnableTaskWindows(const std::vector<HWND>& disabled) {
  for (std::size_t i = 1; i < disabled.size(); ++i)
    if (IsWindow(disabled[i])) EnableWindow(disabled[i], TRUE);
}

// The position, and the size, that the windowing system gives a new window of that style.
RECT DefaultWindowRect(DWORD style, DWORD exStyle) {
  HWND probe = CreateWindowExA(exStyle, "STATIC", "", style & ~WS_VISIBLE, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  RECT r{};
  if (probe) {
    GetWindowRect(probe, &r);
    DestroyWindow(probe);
  }
  return r;
}

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetLoading(true);
  FWidth = 320;
  FHeight = 240;
  SetColor(gfx::clBtnFace);
  SetFont(gfx::TFontDesc());
  FVisible = false;
  CreateHandle();
}

TForm::~TForm() {
  FActiveControl = nullptr;
  FCanvas.SetHandle(nullptr);
  FWindowDC.Reset();
  Application.FormDestroyed(this);
}

void TForm::AfterConstruction() {
  FinishLoading();
  try {
    if (OnCreate) OnCreate(this);
  } catch (...) {
    Application.HandleException();
  }
}

void TForm::CreateParams(TCreateParams& params) {
  params.Caption = FCaption;
  params.X = FLeft;
  params.Y = FTop;
  params.Width = FWidth;
  params.Height = FHeight;
  params.Style = WS_CLIPCHILDREN;
  params.ExStyle = 0;
  switch (FBorderStyle) {
    case TFormBorderStyle::bsNone: params.Style |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle: params.Style |= WS_CAPTION; break;
    case TFormBorderStyle::bsSizeable: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case TFormBorderStyle::bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION;
      params.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
  }
  if (FBorderStyle != TFormBorderStyle::bsNone && (FBorderIcons & biSystemMenu)) {
    params.Style |= WS_SYSMENU;
    if (FBorderStyle != TFormBorderStyle::bsDialog) {
      if (FBorderIcons & biMinimize) params.Style |= WS_MINIMIZEBOX;
      if (FBorderIcons & biMaximize) params.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (Visible()) params.Style |= WS_VISIBLE;
  if (FFormStyle == TFormStyle::fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
}

void TForm::UpdateStyle() {
  if (!HandleAllocated()) return;
  // The designed geometry is the client area: it stays as it is when the frame changes.
  const int width = ClientWidth(), height = ClientHeight();
  TCreateParams p;
  CreateParams(p);
  SetWindowLongA(Handle(), GWL_STYLE, LONG(p.Style));
  SetWindowLongA(Handle(), GWL_EXSTYLE, LONG(p.ExStyle));
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetClientSize(width, height);
}

void TForm::SetCaption(const std::string& caption) {
  FCaption = caption;
  if (HandleAllocated()) SetWindowTextA(Handle(), caption.c_str());
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  UpdateStyle();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == FBorderIcons) return;
  FBorderIcons = icons;
  UpdateStyle();
}

void TForm::SetFormStyle(TFormStyle style) {
  if (style == FFormStyle) return;
  FFormStyle = style;
  if (HandleAllocated())
    SetWindowPos(Handle(), style == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0,
                 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::SetClientSize(int width, int height) {
  // Twice, in case the frame depends on the size (a caption bar that wraps, say).
  for (int i = 0; i < 2; ++i) {
    RECT outer{}, client{};
    GetWindowRect(Handle(), &outer);
    GetClientRect(Handle(), &client);
    if (client.right == width && client.bottom == height) return;
    SetBounds(FLeft, FTop, width + (outer.right - outer.left) - client.right,
              height + (outer.bottom - outer.top) - client.bottom);
  }
}

TGdiCanvas& TForm::Canvas() {
  if (!FCanvas.Handle() && HandleAllocated()) {
    FWindowDC = TWindowDC(Handle());
    FCanvas.SetHandle(FWindowDC.Get());
  }
  return FCanvas;
}

void TForm::PaintWindow(HDC dc) {
  FCanvas.SetHandle(nullptr);
  FWindowDC.Reset();
  struct TDetach {
    TGdiCanvas& Canvas;
    ~TDetach() { Canvas.SetHandle(nullptr); }
  } detach{FCanvas};
  FCanvas.SetHandle(dc);
  if (!Loading()) Paint();
}

void TForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TForm::Resize() {
  if (OnResize) OnResize(this);
}

void TForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::DoHide() {
  if (OnHide) OnHide(this);
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::ApplyPosition() {
  int left = FLeft, top = FTop;
  const int width = FWidth, height = FHeight;
  switch (FPosition) {
    case TPosition::poDesigned: return;
    case TPosition::poDefault:
    case TPosition::poDefaultPosOnly: {
      TCreateParams p;
      CreateParams(p);
      const RECT r = DefaultWindowRect(p.Style, p.ExStyle);
      if (FPosition == TPosition::poDefault)
        SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
      else
        SetBounds(r.left, r.top, width, height);
      return;
    }
    case TPosition::poMainFormCenter:
      if (TForm* main = Application.MainForm(); main && main != this) {
        left = main->Left() + (main->Width() - width) / 2;
        top = main->Top() + (main->Height() - height) / 2;
        break;
      }
      [[fallthrough]];
    case TPosition::poScreenCenter:
      left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
      top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
      break;
    case TPosition::poDesktopCenter:
      left = GetSystemMetrics(SM_XVIRTUALSCREEN) + (GetSystemMetrics(SM_CXVIRTUALSCREEN) - width) / 2;
      top = GetSystemMetrics(SM_YVIRTUALSCREEN) + (GetSystemMetrics(SM_CYVIRTUALSCREEN) - height) / 2;
      break;
  }
  SetBounds(left, top, width, height);
}

void TForm::SetVisible(bool visible) {
  if (visible == Visible()) return;
  if (visible) {
    if (!FShownOnce) {
      FShownOnce = true;
      ApplyPosition();
    }
    FVisible = true;
    if (!Loading()) DoShow();
    if (!Visible()) return;  // OnShow hid it again
    ShowWindow(Handle(), SW_SHOWNORMAL);
    if (FFormStyle == TFormStyle::fsStayOnTop)
      SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  } else {
    if (!Loading()) DoHide();
    FVisible = false;
    ShowWindow(Handle(), SW_HIDE);
  }
  VisibleChanged();
}

void TForm::Show() {
  SetVisible(true);
  // To the front, and active; a window that already is needs no move, which under Wine costs
  // a round of messages and of requests to the display even when it changes nothing.
  if (Visible() && (GetTopWindow(nullptr) != Handle() || GetActiveWindow() != Handle()))
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool TForm::Active() const { return HandleAllocated() && GetActiveWindow() == Handle(); }

void TForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::caHide;
  DoClose(action);
  if (action == TCloseAction::caNone) return;
  if (Application.MainForm() == this)
    Application.Terminate();
  else if (action == TCloseAction::caHide)
    Hide();
  else if (action == TCloseAction::caMinimize)
    ShowWindow(Handle(), SW_MINIMIZE);
  else
    Release();
}

void TForm::CloseModal() {
  TCloseAction action = TCloseAction::caNone;
  if (CloseQuery()) {
    action = TCloseAction::caHide;
    DoClose(action);
  }
  if (action == TCloseAction::caNone) FModalResult = mrNone;
}

TModalResult TForm::ShowModal() {
  if (Visible() || FModal || !Enabled())
    throw rtl::Exception("Impossible de rendre modale une fen\xEAtre visible");  // ê
  if (HWND captured = GetCapture()) SendMessageA(captured, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FModal = true;
  const HWND previous = GetActiveWindow();
  const std::vector<HWND> disabled = DisableTaskWindows(Handle());
  // Whatever happens in the loop, the other windows come back.
  struct TRestore {
    TForm& Form;
    const std::vector<HWND>& Disabled;
    HWND Previous;
    ~TRestore() {
      try {
        Form.Hide();
      } catch (...) {
        Application.HandleException();
      }
      EnableTaskWindows(Disabled);
      if (Previous && IsWindow(Previous)) SetActiveWindow(Previous);
      Form.FModal = false;
    }
  } restore{*this, disabled, previous};
  Show();
  FModalResult = mrNone;
  do {
    if (!Application.Terminated()) Application.HandleMessage();
    if (Application.Terminated())
      FModalResult = mrCancel;
    else if (FModalResult != mrNone)
      CloseModal();
  } while (FModalResult == mrNone);
  return FModalResult;
}

void TForm::Release() {
  if (HandleAllocated()) PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_SIZE: {
      const LRESULT result = TWinControl::WndProc(message, wParam, lParam);
      if (wParam != SIZE_MINIMIZED && !Loading()) Resize();
      return result;
    }
    case WM_ACTIVATE:
      if (!Loading()) {
        if (LOWORD(wParam) != WA_INACTIVE)
          Activate();
        else if (OnDeactivate)
          OnDeactivate(this);
      }
      break;
    case WM_SETFOCUS:
      if (FActiveControl && FActiveControl->HandleAllocated() &&
          IsWindowVisible(FActiveControl->Handle()) && IsWindowEnabled(FActiveControl->Handle())) {
        ::SetFocus(FActiveControl->Handle());
        return 0;
      }
      break;
    case CM_RELEASE:
      delete this;
      return 0;
    default:
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

}  // namespace ui
