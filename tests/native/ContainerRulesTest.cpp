// The unpacker's rules without a file system: the temporary container's name, where each
// entry of a container lands, and the percentages of the progress window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payload/UnpackRules.h"
#include "rtl/SysUtils.h"

namespace {

using payload::ContainerPathFor;
using payload::EntryTarget;
using payload::FolderPart;

TEST(ContainerRules, FolderPart) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"c:\\Morvidan\\Morvidan.CTN", "c:\\Morvidan"},
      {"c:\\Morvidan.CTN", "c:\\"},
      {"Morvidan.FCC", ""},
      {"\\Morvidan.CTN", "\\"},
      {"c:Morvidan.CTN", "c:"},
      {"c:\\Morvidan\\MAJ\\Modeles\\Liste.LP", "c:\\Morvidan\\MAJ\\Modeles"},
      {"c:\\\\a.txt", "c:\\\\"},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(FolderPart(path).str(), folder) << path;
}

TEST(ContainerRules, ContainerPathFor) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"c:\\Morvidan\\Morvidan.FCC", "c:\\Morvidan\\Morvidan.CTN"},
      // A payload file named like a container gets the spare extension, never itself.
      {"c:\\x\\payload.ctn", "c:\\x\\payload.TMP"},
      {"c:\\x\\payload.CTN", "c:\\x\\payload.TMP"},
      {"c:\\x\\payload.Ctnx", "c:\\x\\payload.TMP"},
      // Only the payload file's own extension is replaced, never a look-alike in a folder's
      // name: the container stays beside the payload file, and so do the entries.
      {"c:\\Morvidan.FCC.d\\Morvidan.FCC", "c:\\Morvidan.FCC.d\\Morvidan.CTN"},
      {"c:\\a.fcc\\b.FCC", "c:\\a.fcc\\b.CTN"},
      {"D:\\Logiciels.FCC\\Morvidan\\Morvidan.FCC", "D:\\Logiciels.FCC\\Morvidan\\Morvidan.CTN"},
      {"c:\\Morvidan.FCC\\MAJ\\Morvidan.FCC", "c:\\Morvidan.FCC\\MAJ\\Morvidan.CTN"},
      // A longer extension is replaced whole.
      {"c:\\x\\Morvidan.FCCX", "c:\\x\\Morvidan.CTN"},
      // No extension: the whole name stays, beside the payload file.
      {"c:\\x.d\\payload", "c:\\x.d\\payload.CTN"},
      {"c:\\x\\payload.", "c:\\x\\payload.CTN"},
  };
  for (const auto& [archive, container] : cases) {
    EXPECT_EQ(ContainerPathFor(archive).str(), container) << archive;
  }
}

TEST(ContainerRules, EntryTarget) {
  struct Case {
    const char* folder;
    const char* name;
    const char* target;
  };
  const std::vector<Case> cases = {
      {"c:\\Morvidan", "Morvidan.exe", "c:\\Morvidan\\Morvidan.exe"},
      {"c:\\Morvidan\\MAJ", "Morvidan.exe", "c:\\Morvidan\\MAJ\\Morvidan.exe"},
      // A root keeps its one backslash: "\" + "\" would make a network path.
      {"c:\\", "Morvidan.exe", "c:\\Morvidan.exe"},
      {"\\", "Morvidan.exe", "\\Morvidan.exe"},
      // Doubled backslashes are reduced first: the name is then a path name.
      {"c:\\Morvidan", "x\\\\y.txt", "x\\y.txt"},
      // One pass: four backslashes are two pairs and become two.
      {"c:\\Morvidan", "c:\\\\Data\\\\\\\\a.LP", "c:\\Data\\\\a.LP"},
      {"c:\\Morvidan", "c:\\Morvidan\\Modeles\\Liste.LP", "c:\\Morvidan\\Modeles\\Liste.LP"},
      // "MAJ\" goes in after the second backslash of the container's folder.
      {"c:\\Morvidan\\MAJ", "c:\\Morvidan\\Modeles\\Liste.LP",
       "c:\\Morvidan\\MAJ\\Modeles\\Liste.LP"},
      {"c:\\Morvidan\\MAJ\\deep", "c:\\Morvidan\\Liste.LP", "c:\\Morvidan\\MAJ\\Liste.LP"},
      // The position is counted in the folder, whatever the path name holds there.
      {"d:\\Apps\\MAJ", "c:\\Morvidan\\Modeles\\Liste.LP", "c:\\MorviMAJ\\dan\\Modeles\\Liste.LP"},
      {"c:\\MAJOR\\x", "c:\\a\\b.txt", "c:\\a\\b.txMAJ\\t"},
      // With fewer than two backslashes in the folder, or the folder ending right after its
      // second, nothing is inserted.
      {"c:\\MAJ", "c:\\Morvidan\\Liste.LP", "c:\\Morvidan\\Liste.LP"},
      {"c:\\MAJ\\", "c:\\Morvidan\\Liste.LP", "c:\\Morvidan\\Liste.LP"},
      // The letters must be upper case.
      {"c:\\Morvidan\\maj", "c:\\Morvidan\\Liste.LP", "c:\\Morvidan\\Liste.LP"},
      // A position past the end of the name appends.
      {"c:\\Morvidan\\MAJ", "c:\\x", "c:\\xMAJ\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EntryTarget(c.folder, c.name).str(), c.target) << c.folder << " + " << c.name;
  }
}

// A target that does not fit is refused, never cut: the plain name joined to the folder, the
// path name once "MAJ\" is in, and the folder a path name's file is made in.
TEST(ContainerRules, TargetsThatDoNotFitRaise) {
  // Text of the given length: Head, then 'n', then Tail.
  const auto sized = [](const std::string& head, std::size_t length, const std::string& tail) {
    return head + std::string(length - head.size() - tail.size(), 'n') + tail;
  };
  struct Case {
    std::string folder, name;
    std::string target;  // "" when the file error is raised
  };
  const std::string morvidan = "c:\\Morvidan", update = "c:\\Morvidan\\MAJ";
  const std::vector<Case> cases = {
      {morvidan, std::string(254 - 12, 'n'), sized(morvidan + "\\", 254, "")},
      {morvidan, std::string(255 - 12, 'n'), sized(morvidan + "\\", 255, "")},
      {morvidan, std::string(256 - 12, 'n'), ""},
      {morvidan, std::string(255, 'n'), ""},
      // "MAJ\" goes in at position 13 of the path name.
      {update, sized("c:\\Morvidan\\", 250, ".LP"), sized("c:\\Morvidan\\MAJ\\", 254, ".LP")},
      {update, sized("c:\\Morvidan\\", 251, ".LP"), sized("c:\\Morvidan\\MAJ\\", 255, ".LP")},
      {update, sized("c:\\Morvidan\\", 252, ".LP"), ""},
      {update, sized("c:\\Morvidan\\", 255, ".LP"), ""},
      // The same path names outside an update folder are written as they are.
      {morvidan, sized("c:\\Morvidan\\", 255, ".LP"), sized("c:\\Morvidan\\", 255, ".LP")},
      // The folder of a path name must be one that can be made: under 248 characters.
      {morvidan, sized("c:\\", 247 + 5, "\\a.LP"), sized("c:\\", 247 + 5, "\\a.LP")},
      {morvidan, sized("c:\\", 248 + 5, "\\a.LP"), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder + " + " + std::to_string(c.name.size()) + " characters");
    if (!c.target.empty()) {
      EXPECT_EQ(EntryTarget(c.folder, c.name).str(), c.target);
      continue;
    }
    try {
      EntryTarget(c.folder, c.name);
      ADD_FAILURE() << "no error";
    } catch (const rtl::EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), 206);
    }
  }
}

// ".CTN" in place of a shorter extension makes the container's path longer than the payload
// file's.
TEST(ContainerRules, ContainerPathsThatDoNotFitRaise) {
  const std::string folder = "c:\\" + std::string(240, 'd') + "\\";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {folder + std::string(255 - folder.size() - 4, 'p') + ".FCC",
       folder + std::string(255 - folder.size() - 4, 'p') + ".CTN"},
      {folder + std::string(253 - folder.size() - 2, 'p') + ".F",
       folder + std::string(253 - folder.size() - 2, 'p') + ".CTN"},
      {folder + std::string(254 - folder.size() - 2, 'p') + ".F", ""},
      {folder + std::string(255 - folder.size(), 'p'), ""},
  };
  for (const auto& [archive, container] : cases) {
    SCOPED_TRACE(archive.size());
    if (!container.empty()) {
      EXPECT_EQ(ContainerPathFor(archive).str(), container);
      continue;
    }
    EXPECT_THROW(ContainerPathFor(archive), rtl::EInOutError);
  }
}

TEST(ContainerRules, ProgressPercentRoundsHalvesToEven) {
  struct Case {
    std::size_t count;
    std::vector<std::int32_t> percents;
  };
  const std::vector<Case> cases = {
      {1, {100}},
      {3, {33, 67, 100}},
      {8, {12, 25, 38, 50, 62, 75, 88, 100}},
      {24, {4,  8,  12, 17, 21, 25, 29, 33, 38, 42, 46, 50,
            54, 58, 62, 67, 71, 75, 79, 83, 88, 92, 96, 100}},
  };
  for (const Case& c : cases) {
    std::vector<std::int32_t> got;
    for (std::size_t i = 1; i <= c.count; ++i) got.push_back(payload::ProgressPercent(i, c.count));
    EXPECT_EQ(got, c.percents) << c.count;
  }
}

}  // namespace
