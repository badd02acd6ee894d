// The installation run: what page 4 of the wizard does. It writes the payload that the
// program carries, unpacks it into the chosen folder (into its MAJ sub-folder when the
// application is already there), waits for a running application to close, leaves the
// desktop shortcut and a copy of the installer, carries new fonts and the new executable
// over in an update, stamps the executable with the release date and shows page 5.
//
// Every step that concerns the installed application works in the folder the user chose,
// so that a shortcut, a backup or a stamp never lands in a folder nobody chose.
#include <algorithm>
#include <cstdint>
#include <string>

#include "dialogs/UBM.h"
#include "installer/UApplicationWait.h"
#include "installer/UInstall.h"
#include "installer/UInstallSelf.h"
#include "payload/UConcatene.h"
#include "rtl/Paths.h"
#include "rtl/SysUtils.h"
#include "ui/Application.h"
#include "ui/GdiObjects.h"
#include "util/FileUtils.h"
#include "util/ShortcutLink.h"
#include "util/StrUtils.h"

namespace installer {

namespace {

const char* const PayloadFileName = "Morvidan.FCC";
const char* const UpdateFolderName = "MAJ";
const char* const ExecutableName = "Morvidan.EXE";
const char* const BackupName = "ex_Morvidan.EXE";
const char* const InstallerCopyName = "install.exe";
const char* const ShortcutName = "Morvidan © Sorbiane";
const char* const UpdateTitle = "Mise à jour Morvidan.exe © sorbiane";
const char* const BackupFailedText =
    "Mise à jour <B>Morvidan.exe © sorbiane</B>La mise à jour de <B>Morvidan.exe © sorbiane</B> a "
    "échoué<P><P>La copie de sauvegarde à échoué pour une raison inconnue <P>Téléphonez au 01 02 "
    "03 04 05";
const char* const ReplaceFailedText =
    "La mise à jour de <B>Morvidan.exe © sorbiane</B> a échoué\r\rLa copie à échoué pour une "
    "raison inconnue \rTéléphonez au 01 02 03 04 05";

// The release date stamped on the executable: 2016-08-30 13:41:34.3104110 UTC.
constexpr FILETIME DateStamp{0x392A986E, 0x01D202C4};

// Where the bytes at Data of a loaded image lie in its file: the offset of their section's raw
// data plus their place in the section. -1 when they lie in no section's raw data.
std::int64_t FileOffsetOf(HMODULE module, const void* data, DWORD size) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const auto rva = std::uint64_t(static_cast<const BYTE*>(data) - base);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    const std::uint64_t begin = section->VirtualAddress;
    if (rva >= begin && rva + size <= begin + section->SizeOfRawData)
      return std::int64_t(rva - begin + section->PointerToRawData);
  }
  return -1;
}

// Writes the payload resource (type "FCC", identifier 1) of the running executable to Name,
// and keeps the file open for the unpacker: until the run lets go of the handle, others may
// read the file but not write, rename or delete it, so the bytes unpacked are the bytes
// written, however long the wait for the application lasts. A missing resource gives an empty
// file, which the unpacker then reports. The bytes are copied from the executable's file
// (through the handle held since the start), a piece at a time: read through the loaded
// image, every page of the payload, which is most of the executable, would stay in the
// process's memory.
ui::TFileHandle WritePayloadFile(const std::string& name) {
  const HMODULE module = GetModuleHandleA(nullptr);
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), "FCC");
  HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
  const DWORD size = resource ? SizeofResource(module, resource) : 0;
  const void* data = loaded ? LockResource(loaded) : nullptr;

  ui::TFileHandle file(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                   nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) throw rtl::EInOutError(static_cast<int>(GetLastError()));
  const TSelfPut put = [](void* to, const char* bytes, DWORD count) {
    DWORD written = 0;
    if (!WriteFile(static_cast<HANDLE>(to), bytes, count, &written, nullptr))
      throw rtl::EInOutError(static_cast<int>(GetLastError()));
    if (written != count) throw rtl::EInOutError(101);
  };
  if (size == 0 || !data) return file;
  const std::int64_t offset = FileOffsetOf(module, data, size);
  if (offset < 0) {
    // No place in the file: the loaded bytes.
    put(file.Get(), static_cast<const char*>(data), size);
  } else if (const DWORD code = ReadSelf(std::uint64_t(offset), size, put, file.Get())) {
    throw rtl::EInOutError(static_cast<int>(code));
  }
  return file;
}

// A junction or symbolic link in place of a folder of the run would send the files written
// with the program's rights wherever it points: it is refused as a folder that cannot be
// written to.
void RefuseReparsePoint(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    throw rtl::EInOutError(ERROR_ACCESS_DENIED);
}

// The folder typed, made absolute once against the current folder: the folders, the
// shortcut and the launch then all name the same place.
std::string AbsoluteFolder(const std::string& folder) {
  char full[MAX_PATH + 1] = {};
  const DWORD n = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
  if (n == 0) return folder;
  if (n >= sizeof full) throw rtl::EInOutError(rtl::PathTooLong);
  std::string path(full, n);
  // "c:\Morvidan\" and "c:\Morvidan" are one folder; the paths of the run add their own
  // backslash.
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

// Sets the three file times of an existing executable to the release date; a missing file is
// left missing (no empty executable is made), and no failure is reported.
void Stamp(const std::string& executable) {
  if (!util::FileExists(executable)) return;
  HANDLE file = util::OpenReadWrite(executable);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFileTime(file, &DateStamp, &DateStamp, &DateStamp);
  CloseHandle(file);
}

std::string FontsFolder() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  std::string folder = windows;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder + "\\Fonts";
}

// Copies the fonts of the update that the system does not have yet into its fonts folder,
// and makes each one available at once. Failures are ignored.
void InstallNewFonts(const std::string& workingFolder) {
  const std::string fonts = FontsFolder();
  const std::string list = util::FindFiles(workingFolder, "*.TTF", false, false, fonts);
  const std::uint16_t count = util::ItemCount(list);
  bool added = false;
  for (std::uint16_t i = 1; i <= count; ++i) {
    const std::string source = util::ItemAt(list, i);
    const rtl::ShortString target = rtl::JoinPath(fonts, source.substr(source.rfind('\\') + 1));
    if (CopyFileA(rtl::CheckedPath(source).c_str(), target.c_str(), FALSE) &&
        AddFontResourceA(target.c_str()) > 0)
      added = true;
  }
  if (added) PostMessageA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
}

}  // namespace

void TForm1::RunInstallation() {
  // However the run ends short of page 5, the user can still leave through "Annuler".
  struct TReenableCancel {
    TForm1& Form;
    bool Done = false;
    ~TReenableCancel() {
      if (!Done) Form.btAnnuler->SetEnabled(true);
    }
  } reenable{*this};

  btSuivant->Hide();
  btAnnuler->Show();
  btAnnuler->SetEnabled(false);
  btPrecedant->Hide();
  MemoLicence->Hide();
  Acceptation->Hide();
  Lancer->Hide();
  EditDossier->Hide();
  LabelDossier->Hide();
  ButtonDossier->Hide();
  ui::Application.ProcessMessages();

  // The paths of the run are built before anything is made: a folder too deep for them stops
  // the run here with the file error, with nothing written, rather than leave files under
  // cut names. The payload file's is the longest of them.
  InstallFolder = AbsoluteFolder(EditDossier->Text());
  const std::string& folder = InstallFolder;
  const rtl::ShortString executable = rtl::JoinPath(folder, ExecutableName);
  const bool update = util::FileExists(rtl::JoinPath(folder, kApplicationFile));
  const rtl::ShortString working =
      update ? rtl::JoinPath(folder, UpdateFolderName) : rtl::CheckedPath(folder);
  const rtl::ShortString payloadFile = rtl::JoinPath(working, PayloadFileName);
  const rtl::ShortString installerCopy = rtl::JoinPath(folder, InstallerCopyName);
  CreateDirectoryA(folder.c_str(), nullptr);
  RefuseReparsePoint(folder);
  if (update) {
    CreateDirectoryA(working.c_str(), nullptr);
    RefuseReparsePoint(working.str());
  }
  {
    ui::TFileHandle payload = WritePayloadFile(payloadFile);
    if (update) WaitForApplication(executable);
    payload::UnpackArchive(payloadFile, payload.Get());
  }

  util::DesktopShortcut(ShortcutName, executable, "", "", "", "", 0, 0);
  CopySelf(installerCopy.str());

  if (update) {
    InstallNewFonts(working);
    if (util::FileExists(executable) &&
        !CopyFileA(executable.c_str(), rtl::JoinPath(folder, BackupName).c_str(), FALSE)) {
      dialogs::ShowMessageBox(UpdateTitle, BackupFailedText, "Ok", 0);
      return;
    }
    if (!CopyFileA(rtl::JoinPath(working, ExecutableName).c_str(), executable.c_str(), FALSE)) {
      dialogs::ShowMessageBox(UpdateTitle, ReplaceFailedText, "Ok", 0);
      return;
    }
  }
  Stamp(executable);
  reenable.Done = true;
  SetPage(5);
}

}  // namespace installer
