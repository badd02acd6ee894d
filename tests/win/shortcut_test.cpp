// The desktop shortcut, written by the shell's own shell-link object and read back through it.
#include "ui/Win32.h"

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "rtl/SysUtils.h"
#include "util/ShortcutLink.h"

namespace {

const char* const ShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string CurrentFolder() {
  char buffer[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

bool Exists(const std::string& name) {
  return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What a shortcut file holds, as the shell reads it.
struct TLinkInfo {
  std::string Path, WorkingDir, Arguments, Description, IconFile;
  int IconIndex = -1, ShowCmd = -1;
  WORD HotKey = 0xFFFF;
};

TLinkInfo ReadLink(const std::string& file) {
  TLinkInfo info;
  IShellLinkA* link = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                             reinterpret_cast<void**>(&link)),
            S_OK);
  IPersistFile* persist = nullptr;
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
  EXPECT_EQ(persist->Load(wide, STGM_READ), S_OK) << file;
  char buffer[MAX_PATH];
  buffer[0] = 0;
  link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
  info.Path = buffer;
  buffer[0] = 0;
  link->GetWorkingDirectory(buffer, MAX_PATH);
  info.WorkingDir = buffer;
  buffer[0] = 0;
  link->GetArguments(buffer, MAX_PATH);
  info.Arguments = buffer;
  buffer[0] = 0;
  link->GetDescription(buffer, MAX_PATH);
  info.Description = buffer;
  buffer[0] = 0;
  link->GetIconLocation(buffer, MAX_PATH, &info.IconIndex);
  info.IconFile = buffer;
  link->GetShowCmd(&info.ShowCmd);
  link->GetHotkey(&info.HotKey);
  persist->Release();
  link->Release();
  return info;
}

class DesktopShortcutTest : public ::testing::Test {
protected:
  void SetUp() override {
    Original = util::DesktopFolder();
    Desktop = CurrentFolder() + "\\Bureau";
    CreateDirectoryA(Desktop.c_str(), nullptr);
    SetDesktop(Desktop);
  }
  void TearDown() override { SetDesktop(Original); }

  static void SetDesktop(const std::string& folder) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (folder.empty()) {
      RegDeleteValueA(key, "Desktop");
    } else {
      RegSetValueExA(key, "Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>(folder.size() + 1));
    }
    RegCloseKey(key);
  }

  std::string Desktop;
  std::string Original;
};

TEST_F(DesktopShortcutTest, TheInstallersShortcut) {
  util::DesktopShortcut("Morvidan © Sorbiane", "c:\\Morvidan\\Morvidan.EXE", "", "", "", "", 0, 0);
  const std::string file = Desktop + "\\Morvidan © Sorbiane.lnk";
  ASSERT_TRUE(Exists(file));
  const TLinkInfo info = ReadLink(file);
  EXPECT_EQ(info.Path, "c:\\Morvidan\\Morvidan.EXE");
  EXPECT_EQ(info.WorkingDir, "c:\\Morvidan");
  EXPECT_EQ(info.IconFile, "c:\\Morvidan\\Morvidan.EXE");
  EXPECT_EQ(info.IconIndex, 0);
  EXPECT_EQ(info.Arguments, "");
  EXPECT_EQ(info.HotKey, 0);
  // The component hands the shell "restore" (9); the shell records it as a normal window.
  EXPECT_EQ(info.ShowCmd, SW_SHOWNORMAL);
}

TEST_F(DesktopShortcutTest, AnExistingShortcutIsLeftAlone) {
  const std::string file = Desktop + "\\Morvidan © Sorbiane.lnk";
  { std::ofstream(file) << "not a shortcut"; }
  util::DesktopShortcut("Morvidan © Sorbiane", "c:\\Ailleurs\\Autre.exe", "", "", "", "", 0, 0);
  std::ifstream in(file);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), "not a shortcut");
}

TEST_F(DesktopShortcutTest, NamesTargetsAndDefaults) {
  struct Case {
    std::string name, target, workingDir, iconFile;
    char hotKey;
    std::string expectedFile, expectedPath, expectedWorkingDir, expectedIcon;
    WORD expectedHotKey;
  };
  const std::string here = CurrentFolder();
  const Case cases[] = {
      // A name with a backslash is the full path; ".lnk" only when its file name has no point.
      {here + "\\Lien", "c:\\Prog\\App.exe", "", "", 0, here + "\\Lien.lnk", "c:\\Prog\\App.exe",
       "c:\\Prog", "c:\\Prog\\App.exe", 0},
      {here + "\\Lien.raccourci", "c:\\App.exe", "", "", 0, here + "\\Lien.raccourci",
       "c:\\App.exe", "c:\\", "c:\\App.exe", 0},
      // A target without a point gets ".exe"; a point in its folder counts.
      {"Sans point", "c:\\Prog\\App", "", "", 'a', Desktop + "\\Sans point.lnk",
       "c:\\Prog\\App.exe", "c:\\Prog", "c:\\Prog\\App.exe", 0x0641},
      {"Point dans le dossier", "c:\\Prog.d\\App", "d:\\Travail", "c:\\icones.dll", '\x05',
       Desktop + "\\Point dans le dossier.lnk", "c:\\Prog.d\\App", "d:\\Travail",
       "c:\\icones.dll", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    util::DesktopShortcut(c.name, c.target, c.workingDir, "", "", c.iconFile, 0, c.hotKey);
    ASSERT_TRUE(Exists(c.expectedFile));
    const TLinkInfo info = ReadLink(c.expectedFile);
    EXPECT_EQ(info.Path, c.expectedPath);
    EXPECT_EQ(info.WorkingDir, c.expectedWorkingDir);
    EXPECT_EQ(info.IconFile, c.expectedIcon);
    EXPECT_EQ(info.HotKey, c.expectedHotKey);
  }
}

// A desktop folder whose path holds a point (a profile named jean.dupont) still gives a
// shortcut with its ".lnk" extension, and long paths are kept whole.
TEST_F(DesktopShortcutTest, PointInTheDesktopPathAndLongPaths) {
  const std::string dotted = CurrentFolder() + "\\jean.dupont";
  CreateDirectoryA(dotted.c_str(), nullptr);
  SetDesktop(dotted);
  util::DesktopShortcut("Morvidan © Sorbiane", "c:\\Morvidan\\Morvidan.EXE", "", "", "", "", 0, 0);
  EXPECT_TRUE(Exists(dotted + "\\Morvidan © Sorbiane.lnk"));

  const std::string deep = CurrentFolder() + "\\un dossier dont le nom est assez long" +
                           "\\et encore un autre niveau pour passer la barre";
  CreateDirectoryA((CurrentFolder() + "\\un dossier dont le nom est assez long").c_str(), nullptr);
  CreateDirectoryA(deep.c_str(), nullptr);
  ASSERT_GT(deep.size() + 25, 79u);
  SetDesktop(deep);
  util::DesktopShortcut("Morvidan © Sorbiane", "c:\\Morvidan\\Morvidan.EXE", "", "", "", "", 0, 0);
  EXPECT_TRUE(Exists(deep + "\\Morvidan © Sorbiane.lnk"));
}

// The shortcut's file and target are paths: one that does not fit in 255 characters raises
// the file error, and no shortcut is written under a cut name.
TEST_F(DesktopShortcutTest, PathsThatDoNotFitRaise) {
  const std::string name = "Morvidan \xA9 Sorbiane";  // + ".lnk" and a backslash: 24
  struct Case {
    std::size_t file;  // the length of the shortcut's path
    std::string target;
    int error;
  };
  const std::string target255 = "c:\\" + std::string(248, 't') + ".EXE";
  const std::vector<Case> cases = {
      {254, "c:\\Morvidan\\Morvidan.EXE", 0},
      {255, "c:\\Morvidan\\Morvidan.EXE", 0},
      {256, "c:\\Morvidan\\Morvidan.EXE", 206},
      {255, target255, 0},
      {255, target255 + "x", 206},
      // ".exe" is added to a target without a point.
      {255, "c:\\" + std::string(248, 't'), 0},
      {255, "c:\\" + std::string(249, 't'), 206},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.file) + ", target of " + std::to_string(c.target.size()));
    const std::string desktop =
        CurrentFolder() + "\\" + std::to_string(c.target.size()) + "-" +
        std::string(c.file - 24 - CurrentFolder().size() - 2 - std::to_string(c.target.size()).size(),
                    'b');
    ASSERT_TRUE(CreateDirectoryA(desktop.c_str(), nullptr)) << desktop;
    SetDesktop(desktop);
    int error = 0;
    try {
      util::DesktopShortcut(name, c.target, "", "", "", "", 0, 0);
    } catch (const rtl::EInOutError& e) {
      error = e.ErrorCode();
      EXPECT_EQ(e.Message(), "Nom de fichier ou extension trop long");
    }
    EXPECT_EQ(error, c.error);
    const std::string file = desktop + "\\" + name + ".lnk";
    ASSERT_EQ(file.size(), c.file);
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA((desktop + "\\*.*").c_str(), &data);
    int written = 0;
    if (find != INVALID_HANDLE_VALUE) {
      do {
        written += std::string(data.cFileName) != "." && std::string(data.cFileName) != "..";
      } while (FindNextFileA(find, &data));
      FindClose(find);
    }
    EXPECT_EQ(written, c.error == 0 ? 1 : 0) << "no file under another name";
    if (c.error == 0) {
      EXPECT_TRUE(Exists(file));
      EXPECT_EQ(ReadLink(file).Path.size(), c.target.find('.') == std::string::npos
                                                  ? c.target.size() + 4
                                                  : c.target.size());
    }
  }
}

TEST_F(DesktopShortcutTest, WithoutTheRegistryValueTheRootOfTheCurrentDrive) {
  SetDesktop(std::string());
  util::DesktopShortcut("Raccourci de test", "c:\\App.exe", "", "", "", "", 0, 0);
  EXPECT_TRUE(Exists("\\Raccourci de test.lnk"));
  DeleteFileA("\\Raccourci de test.lnk");
}

TEST_F(DesktopShortcutTest, AFailedSaveRaises) {
  try {
    util::DesktopShortcut(CurrentFolder() + "\\absent\\Lien", "c:\\App.exe", "", "", "", "", 0,
                          0);
    ADD_FAILURE() << "no error";
  } catch (const util::EShortcutError& e) {
    EXPECT_EQ(e.Message(), "Unable to create .lnk file");
  }
}

TEST(ShortcutLink, PropertyConversions) {
  util::TShortcutLink link;
  EXPECT_EQ(link.ShowCmd(), util::scShowNormal);  // never written: stored 0, read as normal
  EXPECT_EQ(link.ShowValue(), 0);
  EXPECT_EQ(link.HotKey(), " ");

  const struct {
    util::TShowCmd cmd;
    int stored;
  } shows[] = {{util::scShowMaximized, 3}, {util::scShowMinimized, 7}, {util::scShowNormal, 9}};
  for (const auto& s : shows) {
    link.SetShowCmd(s.cmd);
    EXPECT_EQ(link.ShowValue(), s.stored);
    EXPECT_EQ(link.ShowCmd(), s.cmd);
  }

  const struct {
    std::string in, out;
  } keys[] = {{"a", "A"}, {"zebre", "Z"}, {"", " "}, {"\x05", " "}, {"é", "é"}, {"7", "7"}};
  for (const auto& k : keys) {
    link.SetHotKey(k.in);
    EXPECT_EQ(link.HotKey(), k.out) << k.in;
  }
}

}  // namespace
