// Proves that the Wine set-up of the test run behaves like Windows: real fonts at 96 dpi,
// the ANSI code page 1252, and accented file names.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

int HeightOfW(const char* face, int points) {
  HDC dc = CreateCompatibleDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32A(dc, "W", 1, &size);
  char actual[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof actual, actual);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  EXPECT_STREQ(actual, face);
  return size.cy;
}

TEST(WineHarness, FontsHaveWindowsMetrics) {
  struct Case {
    const char* face;
    int points;
    int height;
  };
  for (const Case& c : {Case{"Tahoma", 10, 16}, Case{"MS Sans Serif", 8, 13}}) {
    SCOPED_TRACE(c.face);
    EXPECT_EQ(HeightOfW(c.face, c.points), c.height);
  }
}

TEST(WineHarness, AnsiCodePageIs1252) { EXPECT_EQ(GetACP(), 1252u); }

TEST(WineHarness, AccentedFileNameRoundTrips) {
  const std::string name = "fenêtre-é.txt";
  ASSERT_EQ(name[3], '\xEA');
  HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);

  WIN32_FIND_DATAA found{};
  HANDLE f = FindFirstFileA("fen*-*.txt", &found);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  FindClose(f);
  EXPECT_EQ(std::string(found.cFileName), name);
  EXPECT_TRUE(DeleteFileA(name.c_str()));
}

}  // namespace
