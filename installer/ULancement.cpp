#include "installer/ULancement.h"

#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shellapi.h>

#include "util/ShortcutLink.h"

namespace installer {

namespace {

// The verb, as the direct start uses it.
constexpr char OpenVerb[] = "OPEN";

// The interfaces met on the way to the shell, released together at the end.
class THeld {
 public:
  THeld() = default;
  THeld(const THeld&) = delete;
  THeld& operator=(const THeld&) = delete;
  ~THeld() {
    for (int i = 0; i < FCount; ++i) FItems[i]->Release();
  }
  // Keeps a new interface (none is kept for null); true when there is one.
  bool Keep(void* item) {
    if (item) FItems[FCount++] = static_cast<IUnknown*>(item);
    return item != nullptr;
  }

 private:
  IUnknown* FItems[8] = {};
  int FCount = 0;
};

// A variant holding Text as a new string, freed by VariantClear.
VARIANT TextVariant(const std::string& text) {
  VARIANT v{};  // VT_EMPTY
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(nullptr, UINT(n));
  if (v.bstrVal) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), v.bstrVal, n);
  return v;
}

// The token's elevation; the header of the program's target version does not name it yet.
constexpr int TokenElevationClass = 20;
struct TTokenElevation {
  DWORD TokenIsElevated;
};

}  // namespace

bool RunsElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TTokenElevation elevation{};
  DWORD size = 0;
  const bool known =
      GetTokenInformation(token, TOKEN_INFORMATION_CLASS(TokenElevationClass), &elevation,
                          sizeof elevation, &size) != 0;
  CloseHandle(token);
  return known && elevation.TokenIsElevated != 0;
}

// The desktop's window (the shell's own, running with the user's token), then its view, whose
// background object leads to the shell's automation object.
bool ShellExecuteAsDesktop(const std::string& file, const std::string& argument,
                           const std::string& folder) {
  util::StartCom();
  THeld held;
  IShellWindows* windows = nullptr;
  CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                   reinterpret_cast<void**>(&windows));
  if (!held.Keep(windows)) return false;
  VARIANT none{};  // VT_EMPTY
  long window = 0;
  IDispatch* desktop = nullptr;
  windows->FindWindowSW(&none, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop);
  if (!held.Keep(desktop)) return false;
  IServiceProvider* provider = nullptr;
  desktop->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&provider));
  if (!held.Keep(provider)) return false;
  IShellBrowser* browser = nullptr;
  provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                         reinterpret_cast<void**>(&browser));
  if (!held.Keep(browser)) return false;
  IShellView* view = nullptr;
  browser->QueryActiveShellView(&view);
  if (!held.Keep(view)) return false;
  IDispatch* background = nullptr;
  view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, reinterpret_cast<void**>(&background));
  if (!held.Keep(background)) return false;
  IShellFolderViewDual* folderView = nullptr;
  background->QueryInterface(IID_IShellFolderViewDual, reinterpret_cast<void**>(&folderView));
  if (!held.Keep(folderView)) return false;
  IDispatch* application = nullptr;
  folderView->get_Application(&application);
  if (!held.Keep(application)) return false;
  IShellDispatch2* shell = nullptr;
  application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(&shell));
  if (!shell) return false;

  VARIANT texts[4] = {TextVariant(file), TextVariant(argument), TextVariant(folder),
                      TextVariant(OpenVerb)};
  VARIANT show{};
  show.vt = VT_I4;
  show.lVal = SW_HIDE;
  const bool started =
      texts[0].bstrVal &&
      SUCCEEDED(shell->ShellExecute(texts[0].bstrVal, texts[1], texts[2], texts[3], show));
  for (VARIANT& v : texts) VariantClear(&v);
  shell->Release();
  return started;
}

void LaunchApplication(HWND owner, const std::string& file, const std::string& argument,
                       const std::string& folder) {
  if (RunsElevated() && ShellExecuteAsDesktop(file, argument, folder)) return;
  ShellExecuteA(owner, OpenVerb, file.c_str(), argument.c_str(), folder.c_str(), SW_HIDE);
}

}  // namespace installer
