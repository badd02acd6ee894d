// The program's entry: the library search is narrowed to the system folder before the C
// run-time starts, then the message box window, COM, the application object, one wizard
// window as the main window, and the message loop until the application is told to end.
#include "ui/Win32.h"

#include "dialogs/UBM.h"
#include "installer/UInstall.h"
#include "installer/UInstallSelf.h"
#include "ui/Application.h"
#include "util/ShortcutLink.h"

namespace {

// The program runs with the user's highest rights from the folder it was downloaded to, where
// anyone may have left a DLL named like one that Windows, the shell or COM loads by bare name.
// From here on, a DLL loaded by name comes from the system folder only. The DLLs of the
// import table are loaded before this runs: they are all taken from the system folder anyway
// (known DLLs, and the common controls through the manifest's assembly).
void RestrictLibrarySearch() {
  constexpr DWORD SearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  using TSetDllDirectoryW = BOOL(WINAPI*)(LPCWSTR);
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  // Missing before Windows 8 without its update: the program then still starts.
  if (const auto set = reinterpret_cast<TSetDefaultDllDirectories>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories"))))
    set(SearchSystem32);
  // Takes the current folder out of the search where the call above is missing.
  if (const auto set = reinterpret_cast<TSetDllDirectoryW>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryW"))))
    set(L"");
}

}  // namespace

// The run-time's own entry, which constructs the static objects and calls WinMain.
extern "C" int WinMainCRTStartup();

// The entry point the linker is given (see installer/CMakeLists.txt). The stack may come
// aligned to 4 bytes only.
extern "C" __attribute__((force_align_arg_pointer)) int InstallStartup() {
  RestrictLibrarySearch();
  return WinMainCRTStartup();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    installer::OpenSelf();
    util::StartCom();
    dialogs::CreateMessageBoxWindow();
    ui::Application.Initialize();
    ui::Application.CreateForm(installer::Form1);
    ui::Application.Run();
  } catch (...) {
    ui::Application.HandleException();
  }
  // The windows go while the rest of the program is still whole, before the static objects.
  ui::Application.DestroyComponents();
  return 0;
}
