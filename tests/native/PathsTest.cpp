// Paths are never cut: a join or a path that does not fit raises the file error (206) where
// a text would be cut to 255 characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtl/Paths.h"
#include "rtl/SysUtils.h"

namespace {

// The error code a call raises, 0 when it raises none.
template <class F>
int ErrorOf(F&& call) {
  try {
    call();
    return 0;
  } catch (const rtl::EInOutError& e) {
    EXPECT_EQ(e.Message(), "Nom de fichier ou extension trop long");
    return e.ErrorCode();
  }
}

TEST(Paths, JoinsWholeUpTo255AndRaisesPast) {
  struct Case {
    std::string folder, name;
    std::size_t length;  // of the joined path
  };
  const std::string morvidan = "c:\\Morvidan";
  const std::vector<Case> cases = {
      {morvidan, std::string(254 - 12, 'n'), 254},
      {morvidan, std::string(255 - 12, 'n'), 255},
      {morvidan, std::string(256 - 12, 'n'), 256},
      // A root brings its own backslash.
      {"c:\\", std::string(252, 'n'), 255},
      {"c:\\", std::string(253, 'n'), 256},
      // An empty folder is the root of the current drive.
      {"", std::string(254, 'n'), 255},
      {"", std::string(255, 'n'), 256},
      // A folder as the user types it, deep: the payload file's name no longer fits.
      {"c:\\" + std::string(254 - 3 - 13, 'd'), "Morvidan.FCC", 254},
      {"c:\\" + std::string(255 - 3 - 13, 'd'), "Morvidan.FCC", 255},
      {"c:\\" + std::string(256 - 3 - 13, 'd'), "Morvidan.FCC", 256},
      {std::string(300, 'd'), "x", 302},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    rtl::ShortString joined;
    const int error = ErrorOf([&] { joined = rtl::JoinPath(c.folder, c.name); });
    if (c.length <= 255) {
      EXPECT_EQ(error, 0);
      EXPECT_EQ(joined.size(), c.length);
      EXPECT_TRUE(joined.str().ends_with("\\" + c.name)) << "the name is whole";
    } else {
      EXPECT_EQ(error, rtl::PathTooLong);
    }
  }
}

TEST(Paths, FinishedPathsAndFolders) {
  struct Case {
    std::size_t length;
    int path, folder;  // the errors of CheckedPath and CheckedFolder
  };
  const std::vector<Case> cases = {
      {0, 0, 0},           {246, 0, 0}, {247, 0, 0}, {248, 0, 206},
      {254, 0, 206},       {255, 0, 206}, {256, 206, 206}, {1000, 206, 206},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    const std::string text(c.length, 'p');
    EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(rtl::CheckedPath(text).str(), text); }), c.path);
    EXPECT_EQ(ErrorOf([&] { EXPECT_EQ(rtl::CheckedFolder(text).str(), text); }), c.folder);
  }
}

}  // namespace
