// Helpers shared by the Wine tests of windows: pumping messages, real input messages,
// pixels of what a window shows, screenshots, and a watcher that answers message boxes.
#pragma once

#include "ui/Win32.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ui/Application.h"
#include "ui/GdiCanvas.h"

namespace uitest {

// Handles messages for a while, so that posted input and paints arrive.
inline void Pump(int milliseconds = 0) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    ui::Application.ProcessMessages();
    if (milliseconds) Sleep(5);
  } while (std::chrono::steady_clock::now() < end);
}

inline LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// A click as the mouse makes it: button down, then up, at client coordinates.
inline void PostClick(HWND window, int x, int y) {
  PostMessageA(window, WM_MOUSEMOVE, 0, Point(x, y));
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, Point(x, y));
}

// A key press as the keyboard makes it; the message loop translates it into characters.
inline void PostKey(HWND window, UINT vk) {
  const UINT scan = MapVirtualKeyA(vk, 0);
  PostMessageA(window, WM_KEYDOWN, vk, LPARAM(1 | (scan << 16)));
  PostMessageA(window, WM_KEYUP, vk, LPARAM(1 | (scan << 16) | (3u << 30)));
}

// What the client area (or the whole window) shows once every paint is done.
inline ui::TBitmap Snapshot(HWND window, bool wholeWindow = false) {
  Pump();
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  return ui::CaptureWindow(window, wholeWindow);
}

inline std::string ArtifactPath(const std::string& name) {
  const char* dir = std::getenv("INSTALL_ARTIFACTS_WIN");
  return dir && *dir ? std::string(dir) + "\\" + name : name;
}

inline void Screenshot(HWND window, const std::string& name) {
  ui::SaveToPNG(Snapshot(window, true), ArtifactPath(name));
}

// What a standard message box showed.
struct TSeenBox {
  std::string Title;
  std::string Text;
  std::vector<std::string> Buttons;
  HICON Icon = nullptr;
};

// Watches the thread for a standard dialog box (class #32770), notes what it shows, saves a
// screenshot of it when asked, and presses its default button with the Enter key. Runs on a
// thread of its own, since the box runs its own message loop on the watched thread.
class TBoxWatcher {
public:
  explicit TBoxWatcher(std::string screenshot = "")
      : FThread(GetCurrentThreadId()), FScreenshot(std::move(screenshot)),
        FWorker([this] { Watch(); }) {}
  ~TBoxWatcher() {
    FStop = true;
    FWorker.join();
  }
  TBoxWatcher(const TBoxWatcher&) = delete;
  TBoxWatcher& operator=(const TBoxWatcher&) = delete;

  int Count() const { return FCount; }
  const std::vector<TSeenBox>& Seen() const { return FSeen; }  // read after Count() settles

private:
  static BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(window)) {
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK ReadChild(HWND child, LPARAM seen) {
    auto* box = reinterpret_cast<TSeenBox*>(seen);
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    char text[512] = {};
    GetWindowTextA(child, text, sizeof text);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (std::string(cls) == "Button" && IsWindowVisible(child)) box->Buttons.push_back(text);
    if (std::string(cls) == "Static") {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        if (IsWindowVisible(child))
          box->Icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
      } else if (text[0]) {
        box->Text = text;
      }
    }
    return TRUE;
  }
  void Watch() {
    while (!FStop) {
      HWND box = nullptr;
      EnumThreadWindows(FThread, &FindBox, reinterpret_cast<LPARAM>(&box));
      if (box) {
        Sleep(100);  // let it paint
        TSeenBox seen;
        char title[256] = {};
        GetWindowTextA(box, title, sizeof title);
        seen.Title = title;
        EnumChildWindows(box, &ReadChild, reinterpret_cast<LPARAM>(&seen));
        if (!FScreenshot.empty() && FCount == 0) {
          try {
            ui::SaveToPNG(ui::CaptureWindow(box, true), ArtifactPath(FScreenshot));
          } catch (...) {
          }
        }
        FSeen.push_back(seen);
        PostMessageA(box, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(box, WM_KEYUP, VK_RETURN, LPARAM(1 | (3u << 30)));
        while (!FStop && IsWindow(box) && IsWindowVisible(box)) Sleep(10);
        ++FCount;
      }
      Sleep(10);
    }
  }

  DWORD FThread;
  std::string FScreenshot;
  std::atomic<bool> FStop{false};
  std::atomic<int> FCount{0};
  std::vector<TSeenBox> FSeen;
  std::thread FWorker;
};

}  // namespace uitest
