// The unpacker's rules without a file system: the temporary container's name, where each
// entry of a container lands, and the percentages of the progress window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payload/UnpackRules.h"

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
      // The base ends at the first occurrence of the extension, in exact letter case.
      {"c:\\Morvidan.FCC.d\\Morvidan.FCC", "c:\\Morvidan.CTN"},
      {"c:\\a.fcc\\b.FCC", "c:\\a.fcc\\b.CTN"},
      // The extension is cut to four characters before it is looked for.
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

TEST(ContainerRules, TargetsAreCutTo255) {
  const std::string name255(255, 'n');
  const rtl::ShortString plain = EntryTarget("c:\\Morvidan", name255);
  EXPECT_EQ(plain.str(), "c:\\Morvidan\\" + std::string(255 - 12, 'n'));
  const std::string path255 = "c:\\a\\" + std::string(250, 'p');
  const rtl::ShortString inserted = EntryTarget("c:\\Morvidan\\MAJ", path255);
  // "MAJ\" goes in at position 13; the four characters it pushes past 255 are lost.
  EXPECT_EQ(inserted.str(), "c:\\a\\" + std::string(7, 'p') + "MAJ\\" + std::string(239, 'p'));
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
