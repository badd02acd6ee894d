// The file and folder functions on real folders under Wine, in the test's scratch folder.
#include "util/FileUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "rtl/SysUtils.h"
#include "ui/Win32.h"

namespace {

std::string Here() {
  char buffer[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof buffer, buffer);
  return buffer;
}

void MakeFile(const std::string& path, const std::string& contents = "x") {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD put = 0;
  WriteFile(h, contents.data(), DWORD(contents.size()), &put, nullptr);
  CloseHandle(h);
}

void MakeFolder(const std::string& path) {
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}

bool IsFolder(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A CR list as its items, checking that each is followed by exactly one CR.
std::vector<std::string> Items(const std::string& list) {
  std::vector<std::string> items;
  std::size_t from = 0;
  for (std::size_t cr; (cr = list.find('\r', from)) != std::string::npos; from = cr + 1) {
    items.push_back(list.substr(from, cr - from));
  }
  EXPECT_EQ(from, list.size()) << "text after the last CR";
  EXPECT_EQ(list.find('\n'), std::string::npos);
  return items;
}

std::set<std::string> ItemSet(const std::string& list) {
  const std::vector<std::string> items = Items(list);
  return {items.begin(), items.end()};
}

// A fresh folder per test inside the scratch folder.
class FileUtils : public ::testing::Test {
 protected:
  void SetUp() override {
    FRoot = Here() + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    MakeFolder(FRoot);
  }
  std::string P(const std::string& relative) const { return FRoot + "\\" + relative; }
  std::string FRoot;
};

TEST_F(FileUtils, FindFilesWithAndWithoutTrailingBackslash) {
  MakeFolder(P("x"));
  MakeFile(P("x\\a.TTF"));
  MakeFile(P("x\\b.ttf"));
  MakeFile(P("x\\c.txt"));
  MakeFolder(P("x\\A2.TTF"));  // a folder matching the mask is no file
  const std::set<std::string> want = {P("x\\a.TTF"), P("x\\b.ttf")};
  EXPECT_EQ(ItemSet(util::FindFiles(P("x"), "*.TTF", false, false, "")), want);
  EXPECT_EQ(ItemSet(util::FindFiles(P("x\\"), "*.TTF", false, false, "")), want);
  EXPECT_EQ(util::FindFiles(P("x"), "*.none", false, false, ""), "");
  EXPECT_EQ(util::FindFiles(P("missing"), "*.*", true, true, ""), "");
}

TEST_F(FileUtils, FindFilesSkipsNamesPresentAsFilesOnly) {
  MakeFolder(P("x"));
  MakeFolder(P("fonts"));
  for (const char* name : {"Present.ttf", "AsFolder.ttf", "New.ttf"}) MakeFile(P("x\\") + name);
  MakeFile(P("fonts\\PRESENT.TTF"));  // letter case does not matter to Windows
  MakeFolder(P("fonts\\AsFolder.ttf"));
  const std::set<std::string> want = {P("x\\AsFolder.ttf"), P("x\\New.ttf")};
  EXPECT_EQ(ItemSet(util::FindFiles(P("x"), "*.TTF", false, false, P("fonts"))), want);
  EXPECT_EQ(ItemSet(util::FindFiles(P("x"), "*.TTF", false, false, P("fonts\\"))), want);
}

TEST_F(FileUtils, HiddenAndSystemEntries) {
  MakeFolder(P("x"));
  MakeFile(P("x\\hidden.txt"));
  MakeFile(P("x\\system.txt"));
  MakeFolder(P("x\\shown"));
  MakeFolder(P("x\\hiddendir"));
  MakeFolder(P("x\\systemdir"));
  MakeFile(P("x\\shown\\in.txt"));
  MakeFile(P("x\\hiddendir\\in.txt"));
  MakeFile(P("x\\systemdir\\in.txt"));
  ASSERT_TRUE(SetFileAttributesA(P("x\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA(P("x\\system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(SetFileAttributesA(P("x\\hiddendir").c_str(),
                                 FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA(P("x\\systemdir").c_str(),
                                 FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(GetFileAttributesA(P("x\\hiddendir").c_str()) & FILE_ATTRIBUTE_HIDDEN)
      << "the file system keeps no DOS attributes";

  EXPECT_EQ(ItemSet(util::FindFiles(P("x"), "*.txt", false, false, "")),
            (std::set<std::string>{P("x\\hidden.txt"), P("x\\system.txt")}));
  EXPECT_EQ(util::ListFolders(P("x"), "*.*", true, ""), P("x\\shown") + "\r");
  EXPECT_EQ(ItemSet(util::FindFiles(P("x"), "in.txt", true, true, "")),
            (std::set<std::string>{P("x\\shown\\in.txt")}));
}

TEST_F(FileUtils, RecursionDepth) {
  MakeFolder(P("x"));
  MakeFolder(P("x\\a"));
  MakeFolder(P("x\\a\\b"));
  MakeFile(P("x\\top.dat"));
  MakeFile(P("x\\a\\one.dat"));
  MakeFile(P("x\\a\\b\\two.dat"));
  struct Case {
    bool recurse, allLevels;
    std::vector<std::string> files;  // in the order they must come
  };
  const std::vector<Case> cases = {
      {false, false, {"x\\top.dat"}},
      {false, true, {"x\\top.dat"}},
      {true, false, {"x\\top.dat", "x\\a\\one.dat"}},
      {true, true, {"x\\top.dat", "x\\a\\one.dat", "x\\a\\b\\two.dat"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> want;
    for (const std::string& f : c.files) want.push_back(P(f));
    EXPECT_EQ(Items(util::FindFiles(P("x"), "*.dat", c.recurse, c.allLevels, "")), want)
        << c.recurse << c.allLevels;
  }
}

TEST_F(FileUtils, ListFoldersDepthFirst) {
  for (const char* f : {"x", "x\\a", "x\\a\\b", "x\\c", "x\\c\\d.txt"}) {
    if (std::string(f).ends_with(".txt"))
      MakeFile(P(f));
    else
      MakeFolder(P(f));
  }
  const std::vector<std::string> got = Items(util::ListFolders(P("x"), "*.*", true, ""));
  // The enumeration's order decides between a and c; a's sub-folder always follows a.
  const std::vector<std::string> aFirst = {P("x\\a"), P("x\\a\\b"), P("x\\c")};
  const std::vector<std::string> cFirst = {P("x\\c"), P("x\\a"), P("x\\a\\b")};
  EXPECT_TRUE(got == aFirst || got == cFirst) << ::testing::PrintToString(got);
  EXPECT_EQ(ItemSet(util::ListFolders(P("x\\"), "*.*", false, "")),
            (std::set<std::string>{P("x\\a"), P("x\\c")}));
  // The mask filters the first level only.
  EXPECT_EQ(Items(util::ListFolders(P("x"), "a", true, "")),
            (std::vector<std::string>{P("x\\a"), P("x\\a\\b")}));
}

TEST_F(FileUtils, ListFoldersMustContain) {
  for (const char* f : {"x", "x\\without", "x\\without\\with", "x\\other"}) MakeFolder(P(f));
  MakeFile(P("x\\without\\with\\Morvidan.exe"));
  MakeFile(P("x\\other\\Morvidan.exe"));
  EXPECT_EQ(ItemSet(util::ListFolders(P("x"), "*.*", true, "Morvidan.exe")),
            (std::set<std::string>{P("x\\without\\with"), P("x\\other")}));
  EXPECT_EQ(ItemSet(util::ListFolders(P("x"), "*.*", false, "*.EXE")),
            (std::set<std::string>{P("x\\other")}));
}

TEST_F(FileUtils, CreateFolderChain) {
  EXPECT_TRUE(util::CreateFolderChain(P("a\\b\\c")));
  EXPECT_TRUE(IsFolder(P("a\\b\\c")));
  EXPECT_FALSE(util::CreateFolderChain(P("a\\b\\c"))) << "nothing was created";
  EXPECT_TRUE(util::CreateFolderChain(P("a\\b\\d\\")));
  EXPECT_TRUE(IsFolder(P("a\\b\\d")));
  MakeFile(P("file"));
  EXPECT_FALSE(util::CreateFolderChain(P("file\\sub")));
  EXPECT_FALSE(util::CreateFolderChain("\\\\nowhere-host\\share\\x"));
  EXPECT_FALSE(util::CreateFolderChain("no-backslash?"));
}

// Windows' CreateDirectoryA makes no folder of 248 characters or more (Wine would): the chain
// does not ask for one, and makes none of its parents either.
TEST_F(FileUtils, CreateFolderChainTooLongForCreateDirectory) {
  const std::string base = P("chaine\\");
  const std::string fits = base + std::string(247 - base.size(), 'f');
  const std::string over = P("absent\\") + std::string(248 - P("absent\\").size(), 'f');
  ASSERT_EQ(fits.size(), 247u);
  ASSERT_EQ(over.size(), 248u);
  EXPECT_TRUE(util::CreateFolderChain(fits));
  EXPECT_TRUE(IsFolder(fits));
  EXPECT_FALSE(util::CreateFolderChain(over));
  EXPECT_FALSE(IsFolder(over));
  EXPECT_FALSE(IsFolder(P("absent"))) << "no parent is made for a folder that cannot be";
}

// A search whose pattern, or whose test of a name in SkipIfIn, is longer than the ANSI calls
// take raises the file error: a folder too deep is not an empty one, nor a name there absent.
TEST_F(FileUtils, SearchesTooLongForTheCallsRaise) {
  MakeFolder(P("x"));
  const std::string name(180, 'n');
  MakeFile(P("x\\" + name + ".TTF"));
  const std::string deepFolder = P(std::string(259 - P("").size() - 4, 'd'));  // + "\\*.*"
  const std::string skipFolder = "c:\\" + std::string(80, 's');
  ASSERT_EQ((deepFolder + "\\*.*").size(), 259u);
  struct Case {
    const char* what;
    std::function<void()> call;
    int error;
  };
  const std::vector<Case> cases = {
      {"pattern of 259", [&] { util::FindFiles(deepFolder, "*.*", false, false, ""); }, 0},
      {"pattern of 261", [&] { util::FindFiles(deepFolder, "*.TTF", false, false, ""); }, 206},
      {"folders of 260", [&] { util::ListFolders(deepFolder, "*.TT", false, ""); }, 206},
      {"name in SkipIfIn", [&] { util::FindFiles(P("x"), "*.TTF", false, false, skipFolder); },
       206},
      {"MustContain", [&] { util::ListFolders(FRoot, "*.*", false, std::string(250, 'm')); },
       206},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int error = 0;
    try {
      c.call();
    } catch (const rtl::EInOutError& e) {
      error = e.ErrorCode();
      EXPECT_EQ(e.Message(), "Nom de fichier ou extension trop long");
    }
    EXPECT_EQ(error, c.error);
  }
}

TEST_F(FileUtils, DelayWaitsWithoutHandlingMessages) {
  // A message posted to this thread stays queued through the wait.
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP, 7, 0));
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  util::Delay(1000);
  QueryPerformanceCounter(&end);
  const double ms = double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
  EXPECT_GE(ms, 999.0);
  EXPECT_LT(ms, 1600.0);
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);

  for (int value : {0, -1, -100000}) {
    QueryPerformanceCounter(&start);
    util::Delay(value);
    QueryPerformanceCounter(&end);
    EXPECT_LT(double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart), 50.0);
  }
}

TEST_F(FileUtils, OpenReadWrite) {
  HANDLE h = util::OpenReadWrite(P("stamp.exe"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(h, nullptr), 0u);
  // Others may read but not write while it is open.
  HANDLE reader =
      CreateFileA(P("stamp.exe").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  CloseHandle(reader);
  HANDLE writer =
      CreateFileA(P("stamp.exe").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
  CloseHandle(h);

  // An existing file is opened as it is.
  MakeFile(P("kept.exe"), "contents");
  h = util::OpenReadWrite(P("kept.exe"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(h, nullptr), 8u);
  CloseHandle(h);

  EXPECT_EQ(util::OpenReadWrite(P("no-folder\\x.exe")), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileAttributesA(P("no-folder").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileUtils, ExpandShortName) {
  const std::string deep = P(std::string(90, 'd'));  // longer than 79 characters
  MakeFolder(deep);
  const std::string longPath = deep + "\\Liste des mod\xE8les.QVF";  // e grave
  MakeFile(longPath);
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(longPath.c_str(), shortPath, sizeof shortPath), 0u);
  const std::string shortName =
      std::string(shortPath).substr(std::string(shortPath).find_last_of('\\') + 1);
  ASSERT_NE(shortName.find('~'), std::string::npos) << shortName;

  struct Case {
    std::string name, want;
  };
  const std::vector<Case> cases = {
      {deep + "\\" + shortName, longPath},
      {"plain.txt", "plain.txt"},
      {deep + "\\NOSUCH~1.QVF", deep + "\\NOSUCH~1.QVF"},
  };
  for (const Case& c : cases) EXPECT_EQ(util::ExpandShortName(c.name).str(), c.want) << c.name;

  // Without a folder the current one is searched and the long name comes back alone.
  ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str()));
  EXPECT_EQ(util::ExpandShortName(shortName).str(), "Liste des mod\xE8les.QVF");
  SetCurrentDirectoryA(FRoot.c_str());
}

// A long name that would take the path past 255 characters is not used, and not cut: the
// short name still names the file.
TEST_F(FileUtils, ExpandShortNameKeepsTheShortNameWhenTheLongOneDoesNotFit) {
  const std::string longName = "Liste des mod\xE8les de factures.QVF";
  for (const std::size_t length : {255u, 256u}) {
    SCOPED_TRACE(length);
    const std::string deep = P(std::string(length - P("").size() - 1 - longName.size(), 'e'));
    MakeFolder(deep);
    const std::string longPath = deep + "\\" + longName;
    ASSERT_EQ(longPath.size(), length);
    MakeFile(longPath);
    char shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(longPath.c_str(), shortPath, sizeof shortPath), 0u);
    const std::string shortName =
        deep + std::string(shortPath).substr(std::string(shortPath).find_last_of('\\'));
    ASSERT_NE(shortName.find('~'), std::string::npos) << shortName;
    EXPECT_EQ(util::ExpandShortName(shortName).str(), length <= 255 ? longPath : shortName);
  }
}

TEST_F(FileUtils, FileExists) {
  MakeFile(P("f"));
  MakeFolder(P("d"));
  EXPECT_TRUE(util::FileExists(P("f")));
  EXPECT_FALSE(util::FileExists(P("d")));
  EXPECT_FALSE(util::FileExists(P("none")));
}

}  // namespace
