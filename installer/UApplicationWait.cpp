#include "installer/UApplicationWait.h"

#include "dialogs/UAttente.h"
#include "ui/Win32.h"

namespace installer {

namespace {

const char* const WaitText =
    "\rinstall.EXE a décelé que Morvidan.EXE est en cours d'execution. Pour poursuivre "
    "l'installation vous devez arrêter Morvidan.EXE\rSi ce n'était pas le cas interrompez "
    "\"install.EXE\" en pressant <Ctrl><Alt><Suppr>";

// The pause between attempts once the wait window is shown.
constexpr DWORD WaitPauseMs = 50;

// The program's single wait window, created the first time a wait lasts; it lives (hidden)
// until the program ends.
dialogs::TAttente* WaitWindow = nullptr;

// Takes every pending window message out of the queue.
void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

TWaitOutcome WaitForApplication(const std::string& executable) {
  TWaitOutcome outcome;
  HANDLE opened = INVALID_HANDLE_VALUE;
  for (int attempt = 1;; ++attempt) {
    PumpMessages();
    outcome.Attempts = attempt;
    opened = CreateFileA(executable.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
    if (attempt == kWaitWindowAttempt) {
      if (!WaitWindow) WaitWindow = new dialogs::TAttente(nullptr);
      WaitWindow->SetCaption(kWaitCaption);
      WaitWindow->Label1->SetCaption(WaitText);
      WaitWindow->Show();
    }
    if (attempt >= kWaitWindowAttempt)
      MsgWaitForMultipleObjects(0, nullptr, FALSE, WaitPauseMs, QS_ALLINPUT);
  }
  if (WaitWindow && WaitWindow->Visible()) WaitWindow->Hide();
  if (opened != INVALID_HANDLE_VALUE) {
    outcome.Opened = true;
    CloseHandle(opened);
  }
  return outcome;
}

}  // namespace installer
