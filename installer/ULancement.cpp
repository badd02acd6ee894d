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

// Releases a COM interface when it goes out of scope.
template <class I>
struct TComRef {
  I* Ptr = nullptr;
  TComRef() = default;
  TComRef(const TComRef&) = delete;
  TComRef& operator=(const TComRef&) = delete;
  ~TComRef() {
    if (Ptr) Ptr->Release();
  }
  I* operator->() const { return Ptr; }
  void** Out() { return reinterpret_cast<void**>(&Ptr); }
};

// A variant that owns its string.
struct TVariant {
  VARIANT V;
  TVariant() { VariantInit(&V); }
  explicit TVariant(const std::string& text) : TVariant() {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    V.vt = VT_BSTR;
    V.bstrVal = SysAllocStringLen(nullptr, UINT(n));
    if (V.bstrVal) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), V.bstrVal, n);
  }
  explicit TVariant(int value) : TVariant() {
    V.vt = VT_I4;
    V.lVal = value;
  }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
  ~TVariant() { VariantClear(&V); }
};

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
  TComRef<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              windows.Out())))
    return false;
  TVariant location, root;
  long window = 0;
  TComRef<IDispatch> desktop;
  if (windows->FindWindowSW(&location.V, &root.V, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                            &desktop.Ptr) != S_OK ||
      !desktop.Ptr)
    return false;
  TComRef<IServiceProvider> provider;
  if (FAILED(desktop->QueryInterface(IID_IServiceProvider, provider.Out()))) return false;
  TComRef<IShellBrowser> browser;
  if (FAILED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.Out())))
    return false;
  TComRef<IShellView> view;
  if (FAILED(browser->QueryActiveShellView(&view.Ptr)) || !view.Ptr) return false;
  TComRef<IDispatch> background;
  if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.Out()))) return false;
  TComRef<IShellFolderViewDual> folderView;
  if (FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.Out()))) return false;
  TComRef<IDispatch> application;
  if (FAILED(folderView->get_Application(&application.Ptr)) || !application.Ptr) return false;
  TComRef<IShellDispatch2> shell;
  if (FAILED(application->QueryInterface(IID_IShellDispatch2, shell.Out()))) return false;

  TVariant name(file);
  if (!name.V.bstrVal) return false;
  TVariant arguments{argument}, directory{folder}, verb{std::string(OpenVerb)}, show{SW_HIDE};
  return SUCCEEDED(
      shell->ShellExecute(name.V.bstrVal, arguments.V, directory.V, verb.V, show.V));
}

void LaunchApplication(HWND owner, const std::string& file, const std::string& argument,
                       const std::string& folder) {
  if (RunsElevated() && ShellExecuteAsDesktop(file, argument, folder)) return;
  ShellExecuteA(owner, OpenVerb, file.c_str(), argument.c_str(), folder.c_str(), SW_HIDE);
}

}  // namespace installer
