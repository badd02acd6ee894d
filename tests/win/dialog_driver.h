// Answers the modal windows of the GUI thread from inside their own message loops: a thread
// timer fires while the box or dialog runs its loop, finds the window up, and runs an action
// on the GUI thread that posts the user's keys and clicks to it.
#pragma once

#include "ui/Win32.h"

#include <functional>
#include <string>

#include "dialogs/UBM.h"
#include "tests/win/ui_test_util.h"

namespace uitest {

// The window to act on, or null while it is not up yet.
using TFinder = std::function<HWND()>;
using TDialogAction = std::function<void(HWND)>;

class TDialogDriver {
public:
  // Runs action once on the window that finder returns, as soon as there is one; a window
  // still up timeoutMs after the driver started is closed, and TimedOut() tells.
  TDialogDriver(TFinder finder, TDialogAction action, UINT timeoutMs = 8000) {
    Current() = this;
    FFinder = std::move(finder);
    FAction = std::move(action);
    FTimer = SetTimer(nullptr, 0, 20, &Tick);
    FWatchdog = SetTimer(nullptr, 0, timeoutMs, &Expire);
  }
  ~TDialogDriver() {
    KillTimer(nullptr, FTimer);
    KillTimer(nullptr, FWatchdog);
    Current() = nullptr;
  }
  TDialogDriver(const TDialogDriver&) = delete;
  TDialogDriver& operator=(const TDialogDriver&) = delete;

  bool Acted() const { return FActed; }
  bool TimedOut() const { return FTimedOut; }

  // Handles messages until the action has run and the window it acted on is gone, or until
  // the watchdog fired.
  void WaitDone() {
    for (int i = 0; i < 2000 && !FTimedOut && !(FActed && !IsWindowVisible(FWindow)); ++i)
      Pump(5);
  }

private:
  static TDialogDriver*& Current() {
    static TDialogDriver* current = nullptr;
    return current;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TDialogDriver* d = Current();
    if (!d || d->FActed || d->FRunning) return;
    const HWND window = d->FFinder();
    if (!window) return;
    d->FWindow = window;
    d->FRunning = true;
    d->FAction(window);
    d->FRunning = false;
    d->FActed = true;
  }
  static void CALLBACK Expire(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    TDialogDriver* d = Current();
    if (!d) return;
    const HWND window = d->FWindow ? d->FWindow : d->FFinder();
    if (window && IsWindowVisible(window)) {
      d->FTimedOut = true;
      PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
  }

  TFinder FFinder;
  TDialogAction FAction;
  UINT_PTR FTimer = 0, FWatchdog = 0;
  HWND FWindow = nullptr;
  bool FActed = false, FRunning = false, FTimedOut = false;
};

// The message box, once it is up.
inline HWND MessageBoxUp() {
  return dialogs::FMB && IsWindowVisible(dialogs::FMB->Handle()) ? dialogs::FMB->Handle()
                                                                  : nullptr;
}

// A visible standard dialog (class #32770) of this thread: a folder browser, an error box.
inline HWND StandardDialogUp() {
  struct TFind {
    static BOOL CALLBACK Each(HWND window, LPARAM found) {
      char cls[16] = {};
      GetClassNameA(window, cls, sizeof cls);
      if (std::string(cls) == "#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      }
      return TRUE;
    }
  };
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &TFind::Each, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The user's keys, posted to the window that has the keyboard focus in the dialog (or to the
// window itself): the dialog's loop gives Enter and Escape to its default and cancel buttons.
inline void PostKeyToFocus(HWND dialog, UINT vk) {
  HWND focus = GetFocus();
  if (!focus || (focus != dialog && !IsChild(dialog, focus))) focus = dialog;
  PostKey(focus, vk);
}

}  // namespace uitest
