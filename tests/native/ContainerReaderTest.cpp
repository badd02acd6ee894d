// The container layout, read and written: the 27-byte example byte for byte, and every way a
// container can be malformed, each with the error the unpacker raises for it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "payload/Container.h"
#include "rtl/SysUtils.h"

namespace {

using payload::TArchiveEntry;
using payload::TContainerReader;
using payload::TContainerWriter;
using payload::TMemoryInput;

// The example container: a.txt holding abc, b.bin holding nothing.
const std::string Example(
    "\x02\x00\x00\x00"
    "\x05"
    "a.txt"
    "\x03\x00\x00\x00"
    "\x05"
    "b.bin"
    "\x00\x00\x00\x00"
    "abc",
    27);

std::string Int32(std::int32_t v) {
  std::string s;
  payload::AppendInt32(s, v);
  return s;
}

// Reads a whole container as the unpacker does, in pieces of two bytes; returns the entries'
// contents.
std::vector<std::string> ReadAll(const std::string& bytes,
                                 payload::TArchiveDirectory* dir = nullptr) {
  TMemoryInput input(bytes);
  TContainerReader reader(input);
  if (dir) *dir = reader.Directory();
  std::vector<std::string> contents;
  char piece[2];
  for (std::size_t i = 0; i < reader.Directory().size(); ++i) {
    std::string& out = contents.emplace_back();
    reader.CopyNextEntry(piece, [&](const char* data, std::size_t n) { out.append(data, n); });
  }
  return contents;
}

TEST(ContainerReader, ReadsTheExampleByteForByte) {
  ASSERT_EQ(Example.size(), 27u);
  payload::TArchiveDirectory dir;
  const auto contents = ReadAll(Example, &dir);
  EXPECT_EQ(dir, (payload::TArchiveDirectory{{"a.txt", 3}, {"b.bin", 0}}));
  EXPECT_EQ(contents, (std::vector<std::string>{"abc", ""}));
}

TEST(ContainerWriter, WritesTheExampleByteForByte) {
  TContainerWriter writer;
  writer.Add("a.txt", "abc");
  writer.Add("b.bin", "");
  EXPECT_EQ(writer.Build(), Example);
}

TEST(ContainerReader, ValidContainers) {
  const std::string name255(255, 'n');
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> entries;
    std::string trailer;
  };
  const std::vector<Case> cases = {
      {"no entry", {}, ""},
      {"an empty entry", {{"empty.dat", ""}}, ""},
      {"a name of 255 bytes", {{name255, "x"}}, ""},
      {"bytes after the last entry are ignored", {{"a", "1"}}, "garbage"},
      {"the same name twice", {{"a", "1"}, {"a", "22"}}, ""},
      {"CP1252 and binary bytes", {{"fen\xEAtre.QVF", std::string("\0\xFF\r\n", 4)}}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TContainerWriter writer;
    for (const auto& [name, contents] : c.entries) writer.Add(name, contents);
    payload::TArchiveDirectory dir;
    const auto contents = ReadAll(writer.Build() + c.trailer, &dir);
    ASSERT_EQ(dir.size(), c.entries.size());
    for (std::size_t i = 0; i < dir.size(); ++i) {
      EXPECT_EQ(dir[i].Name.str(), c.entries[i].first);
      EXPECT_EQ(dir[i].Size, std::int32_t(c.entries[i].second.size()));
      EXPECT_EQ(contents[i], c.entries[i].second);
    }
  }
}

// Where reading stops: in the directory (no entry read), or in the data area after the
// entries that were whole.
TEST(ContainerReader, MalformedContainers) {
  enum class Fault { Range, ReadPastEnd };
  struct Case {
    const char* what;
    std::string bytes;
    Fault fault;
    std::size_t entriesRead;  // -1 for a failure in the directory
  };
  const std::size_t inDirectory = std::size_t(-1);
  const std::string record =
      "\x01"
      "a" +
      Int32(1);
  const std::vector<Case> cases = {
      {"empty", "", Fault::ReadPastEnd, inDirectory},
      {"count cut short", std::string("\x01\x00", 2), Fault::ReadPastEnd, inDirectory},
      {"negative count", Int32(-1), Fault::Range, inDirectory},
      {"count past what the bytes hold", Int32(0x7FFFFFFF) + record, Fault::ReadPastEnd,
       inDirectory},
      {"directory cut in a name",
       Int32(1) + "\x05"
                  "ab",
       Fault::ReadPastEnd, inDirectory},
      {"directory cut in a size",
       Int32(1) +
           "\x01"
           "a" +
           std::string("\x01\x00", 2),
       Fault::ReadPastEnd, inDirectory},
      {"second record missing", Int32(2) + record + "xxxx", Fault::ReadPastEnd, inDirectory},
      {"data cut in the second entry",
       Int32(2) + record +
           "\x01"
           "b" +
           Int32(3) + "1" + "22",
       Fault::ReadPastEnd, 1},
      {"negative size",
       Int32(2) + record +
           "\x01"
           "b" +
           Int32(-5) + "1" + std::string(64, 'z'),
       Fault::ReadPastEnd, 1},
      {"size past the end",
       Int32(1) +
           "\x01"
           "b" +
           Int32(0x7FFFFFFF) + "tiny",
       Fault::ReadPastEnd, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryInput input(c.bytes);
    std::size_t read = inDirectory;
    try {
      TContainerReader reader(input);
      read = 0;
      char piece[3];
      while (!reader.AtEnd()) {
        reader.CopyNextEntry(piece, [](const char*, std::size_t) {});
        read = reader.Position();
      }
      ADD_FAILURE() << "no error";
    } catch (const rtl::ERangeError&) {
      EXPECT_EQ(c.fault, Fault::Range);
    } catch (const rtl::EInOutError& e) {
      EXPECT_EQ(c.fault, Fault::ReadPastEnd);
      EXPECT_EQ(e.ErrorCode(), 100);
      EXPECT_EQ(e.Message(), "Lecture au-delà de la fin de fichier");
    }
    EXPECT_EQ(read, c.entriesRead);
  }
}

TEST(ContainerWriter, RefusesWhatTheFormatCannotHold) {
  TContainerWriter writer;
  EXPECT_THROW(writer.Add(std::string(256, 'n'), ""), rtl::ERangeError);
  EXPECT_NO_THROW(writer.Add(std::string(255, 'n'), ""));
}

}  // namespace
