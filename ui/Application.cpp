#include "ui/Application.h"

#include <commctrl.h>

#include <exception>

#include "rtl/SysUtils.h"
#include "ui/ErrorBox.h"

namespace ui {

TApplication Application;

TApplication::TApplication() : TComponent(nullptr) {
  const std::string exe = ExeName();
  const std::size_t slash = exe.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? exe : exe.substr(slash + 1);
  if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
  FTitle = name;
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

std::string TApplication::ExeName() const {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n);
}

void TApplication::Run() {
  if (!FMainForm) return;
  FMainForm->Show();
  while (!FTerminated) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException();
    }
  }
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::HandleMessage() {
  if (!ProcessMessage()) WaitMessage();
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::ProcessMessage() {
  MSG msg{};
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  if (!PreviewKey(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

// Keys typed in a windowed control reach its form first when the form asks for them (key
// preview); Tab moves the focus between the form's controls. Returns true when the key
// was used up.
bool TApplication::PreviewKey(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (!root || root == msg.hwnd) return false;
  auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root));
  if (!form) return false;
  try {
    if (msg.message == WM_KEYDOWN) {
      if (form->KeyPreview()) {
        std::uint16_t key = std::uint16_t(msg.wParam);
        form->KeyDown(key, KeyboardShift());
        if (key == 0) return true;
        msg.wParam = key;
      }
      if (msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
        if (HWND next = GetNextDlgTabItem(root, msg.hwnd, GetKeyState(VK_SHIFT) < 0))
          SetFocus(next);
        return true;
      }
    } else if (form->KeyPreview()) {
      char key = char(msg.wParam);
      form->KeyPress(key);
      if (key == 0) return true;
      msg.wParam = WPARAM(static_cast<unsigned char>(key));
    }
  } catch (...) {
    HandleException();
    return true;
  }
  return false;
}

void TApplication::HandleException() noexcept {
  if (!std::current_exception()) return;
  try {
    throw;
  } catch (const rtl::Exception& e) {
    ShowException(e.Message());
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("Exception inconnue");
  }
}

void TApplication::ShowException(const std::string& message) noexcept {
  try {
    ShowErrorBox(message, FTitle);
  } catch (...) {
    // Nothing is left to show it with.
  }
}

void TApplication::FormDestroyed(TForm* form) {
  if (FMainForm == form) FMainForm = nullptr;
}

}  // namespace ui
