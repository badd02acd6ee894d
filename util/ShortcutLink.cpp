#include "util/ShortcutLink.h"

#include "rtl/Paths.h"
#include "ui/Win32.h"
#include "util/FileUtils.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <vector>

namespace util {

namespace {

// COM lives for the whole program on its main thread, from its first use to the end.
struct TComApartment {
  TComApartment() { CoInitialize(nullptr); }
  ~TComApartment() { CoUninitialize(); }
};

// Releases a COM interface when it goes out of scope.
template <class I>
struct TComPtr {
  I* Ptr = nullptr;
  ~TComPtr() {
    if (Ptr) Ptr->Release();
  }
  I* operator->() const { return Ptr; }
};

std::wstring Widen(const std::string& s) {
  const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(n > 0 ? n : 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
  w.resize(w.size() - 1);
  return w;
}

}  // namespace

// Not a static object of its own: COM loads DLLs, which must wait until the program has
// narrowed the library search, and a static object is built before that can be done.
void StartCom() { static const TComApartment apartment; }

std::string TShortcutLink::HotKey() const {
  return std::string(1, static_cast<char>(FHotKey == 0 ? ' ' : FHotKey));
}

void TShortcutLink::SetHotKey(const std::string& key) {
  unsigned char c = key.empty() ? ' ' : static_cast<unsigned char>(key[0]);
  if (c < ' ') c = ' ';
  if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
  FHotKey = c;
}

TShowCmd TShortcutLink::ShowCmd() const {
  switch (FShowCmd) {
    case SW_SHOWMAXIMIZED: return scShowMaximized;
    case SW_SHOWMINNOACTIVE: return scShowMinimized;
    default: return scShowNormal;
  }
}

void TShortcutLink::SetShowCmd(TShowCmd cmd) {
  switch (cmd) {
    case scShowMaximized: FShowCmd = SW_SHOWMAXIMIZED; break;
    case scShowMinimized: FShowCmd = SW_SHOWMINNOACTIVE; break;
    // Restore, not show-normal: that is what the shell itself writes for a normal window.
    case scShowNormal: FShowCmd = SW_RESTORE; break;
  }
}

void TShortcutLink::SaveLink() const {
  StartCom();
  TComPtr<IShellLinkA> link;
  const HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA, reinterpret_cast<void**>(&link.Ptr));
  if (FAILED(created))
    throw rtl::Exception("Erreur OLE " + rtl::IntToHex(static_cast<std::uint32_t>(created), 8));
  // The setters' results are not examined: the file is written with what was accepted.
  link->SetPath(Target.c_str());
  link->SetWorkingDirectory(WorkingDir.c_str());
  link->SetArguments(Arguments.c_str());
  link->SetDescription(Description.c_str());
  link->SetShowCmd(FShowCmd);
  if (FHotKey > ' ') link->SetHotkey(static_cast<WORD>(FHotKey | 0x0600));  // Ctrl+Alt
  link->SetIconLocation(IconLocation.c_str(), IconNumber);

  TComPtr<IPersistFile> file;
  const HRESULT queried =
      link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.Ptr));
  if (FAILED(queried))
    throw rtl::Exception("Erreur OLE " + rtl::IntToHex(static_cast<std::uint32_t>(queried), 8));
  if (file->Save(Widen(ShortcutFile).c_str(), TRUE) != S_OK)
    throw EShortcutError("Unable to create .lnk file");
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return {};
  if (slash > 0 && path[slash - 1] == ':') return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

std::string DesktopFolder() {
  HKEY explorer = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer",
                    0, KEY_ALL_ACCESS, &explorer) != ERROR_SUCCESS)
    return {};
  std::string result;
  HKEY folders = nullptr;
  if (RegOpenKeyExA(explorer, "Shell Folders", 0, KEY_READ, &folders) == ERROR_SUCCESS) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(folders, "Desktop", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
      std::vector<char> buffer(size + 1, '\0');
      if (RegQueryValueExA(folders, "Desktop", nullptr, nullptr,
                           reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS)
        result = buffer.data();
    }
    RegCloseKey(folders);
  }
  RegCloseKey(explorer);
  return result;
}

void DesktopShortcut(std::string_view name, std::string_view target, std::string_view workingDir,
                     const rtl::ShortString& description, const rtl::ShortString& arguments,
                     std::string_view iconFile, std::uint16_t iconNumber, char hotKey) {
  rtl::ShortString file = rtl::CheckedPath(name);
  if (file.str().find('\\') == std::string::npos) file = rtl::JoinPath(DesktopFolder(), file);
  // Only a point in the file's own name counts: a desktop folder such as
  // c:\Users\jean.dupont\Desktop must still give "Morvidan © Sorbiane.lnk".
  const std::string fileName = file.str().substr(file.str().rfind('\\') + 1);
  if (fileName.find('.') == std::string::npos) file = rtl::CheckedPath(file.str() + ".lnk");
  if (util::FileExists(file.str())) return;

  TShortcutLink link;
  link.ShortcutFile = file;
  link.Target = rtl::CheckedPath(target);
  if (link.Target.find('.') == std::string::npos)
    link.Target = rtl::CheckedPath(link.Target + ".exe");
  link.WorkingDir = workingDir.empty() ? FolderOf(link.Target) : rtl::CheckedPath(workingDir).str();
  link.Arguments = arguments;
  link.Description = description;
  link.IconLocation = iconFile.empty() ? link.Target : rtl::CheckedPath(iconFile).str();
  link.IconNumber = iconNumber;
  link.SetHotKey(hotKey == 0 ? std::string() : std::string(1, hotKey));
  link.SetShowCmd(scShowNormal);
  link.SaveLink();
}

}  // namespace util
