// The entry names a payload may carry, and the Windows-1252 conversions of the packing tool.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payload/EntryNames.h"

namespace {

using payload::EntryNameProblem;

TEST(ContainerNames, Accepted) {
  const std::vector<std::string> names = {
      "Morvidan.exe",
      "fen\xEAtre.QVF",  // e circumflex
      std::string(255, 'n'),
      "c:\\Morvidan\\Modeles\\Liste.LP",
      "D:\\a",
      "console.txt",  // a device only when the part before the first point is one
      "nul2.txt",
      "COM0",
      "x.y.z",
      "\xA0nbsp",  // no-break space, not a space
  };
  for (const std::string& name : names) EXPECT_EQ(EntryNameProblem(name), "") << name;
}

TEST(ContainerNames, Refused) {
  struct Case {
    std::string name;
    const char* problem;
  };
  const std::vector<Case> cases = {
      {"", "empty name"},
      {std::string(256, 'n'), "name longer than 255 bytes"},
      {"a:b", "':', which Windows file names reject"},
      {"a/b", "'/', which Windows file names reject"},
      {"what?", "'?', which Windows file names reject"},
      {"star*", "'*', which Windows file names reject"},
      {"q\"uote", "'\"', which Windows file names reject"},
      {"<>", "'<', which Windows file names reject"},
      {"pipe|", "'|', which Windows file names reject"},
      {std::string("tab\there"), "byte 0x09, which Windows file names reject"},
      {"x\x81y", "byte 0x81, which is no character of Windows-1252"},
      {".", "the component \".\""},
      {"..", "the component \"..\""},
      {"trailing.", "a component ending in a point or a space"},
      {"trailing ", "a component ending in a point or a space"},
      {"NUL", "the device name \"NUL\""},
      {"nul.txt", "the device name \"nul.txt\""},
      {"Com1", "the device name \"Com1\""},
      {"lpt9.log", "the device name \"lpt9.log\""},
      {"x\\y.txt", "a path name that does not start with a drive letter, \":\" and \"\\\""},
      {"\\\\server\\share\\a",
       "a path name that does not start with a drive letter, \":\" and \"\\\""},
      {"c:\\Morvidan\\\\a", "an empty component (a doubled or trailing backslash)"},
      {"c:\\Morvidan\\", "an empty component (a doubled or trailing backslash)"},
      {"c:\\Morvidan\\..\\Windows\\a", "the component \"..\""},
      {"c:\\a:b\\c", "':', which Windows file names reject"},
  };
  for (const Case& c : cases) EXPECT_EQ(EntryNameProblem(c.name), c.problem) << c.name;
}

TEST(ContainerNames, FoldCase1252) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Morvidan.exe", "MORVIDAN.EXE"},
      {"fen\xEAtre", "FEN\xCATRE"},  // e circumflex
      {"\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F"},
      {"\xF7\xDF\xB5", "\xF7\xDF\xB5"},  // division sign, sharp s and micro have no upper case
  };
  for (const auto& [name, folded] : cases) EXPECT_EQ(payload::FoldCase1252(name), folded) << name;
}

TEST(ContainerNames, Conversions) {
  const std::vector<std::pair<std::string, std::string>> both = {
      {"plain.txt", "plain.txt"},
      {"fen\xEAtre", "fen\xC3\xAAtre"},
      {"\x80\x9F\xFF", "\xE2\x82\xAC\xC5\xB8\xC3\xBF"},  // euro, Y diaeresis, y diaeresis
  };
  for (const auto& [cp1252, utf8] : both) {
    EXPECT_EQ(payload::Cp1252ToUtf8(cp1252), utf8);
    EXPECT_EQ(payload::Utf8ToCp1252(utf8), cp1252);
  }
  const std::vector<std::string> notUtf8Or1252 = {"\xFF",
                                                  "\xC3",
                                                  "\xC0\xAE",
                                                  "\xE2\x82",
                                                  "\xE4\xB8\xAD" /* a CJK character */,
                                                  "\xC2\x81" /* U+0081 */,
                                                  "\xF0\x9F\x98\x80"};
  for (const std::string& s : notUtf8Or1252) EXPECT_EQ(payload::Utf8ToCp1252(s), std::nullopt) << s;
  EXPECT_EQ(payload::Cp1252ToUtf8("\x81"), std::nullopt);
}

}  // namespace
