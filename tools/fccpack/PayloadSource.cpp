#include "tools/fccpack/PayloadSource.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace fccpack {

namespace {

[[noreturn]] void NotAnInstaller(const TInputFile& file, const std::string& why) {
  throw TToolError{ExitFault, file.Path() + ": a Windows program (\"MZ\") whose payload cannot "
                                            "be found: " + why};
}

// The program's file, read by little-endian fields, every one checked to lie in the file.
class TImage {
 public:
  explicit TImage(TInputFile& file) : FFile(file) {}
  std::uint32_t U16(std::uint64_t at) const { return std::uint32_t(Field(at, 2)); }
  std::uint32_t U32(std::uint64_t at) const { return std::uint32_t(Field(at, 4)); }
  TInputFile& File() const { return FFile; }

 private:
  std::uint64_t Field(std::uint64_t at, std::size_t width) const {
    unsigned char b[4] = {};
    if (at > FFile.Size() || FFile.ReadAt(at, reinterpret_cast<char*>(b), width) != width) {
      NotAnInstaller(FFile, "its headers run past the end of the file (offset " +
                                std::to_string(at) + ")");
    }
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | b[i];
    return value;
  }

  TInputFile& FFile;
};

struct TSection {
  std::uint32_t Address, RawSize, RawOffset;
};

// The file offset of Count bytes at the virtual address Rva: they must lie in the part of a
// section that the file holds (the rest of a section is zeros made at load time).
std::uint64_t OffsetOf(const TImage& image, const std::vector<TSection>& sections,
                       std::uint64_t rva, std::uint64_t count) {
  for (const TSection& s : sections) {
    if (rva >= s.Address && rva - s.Address < s.RawSize) {
      if (count > s.RawSize - (rva - s.Address)) break;
      const std::uint64_t at = s.RawOffset + (rva - s.Address);
      if (at + count > image.File().Size()) {
        NotAnInstaller(image.File(), std::to_string(count) + " bytes at offset " +
                                         std::to_string(at) + " run past the end of the file");
      }
      return at;
    }
  }
  NotAnInstaller(image.File(), "the address " + std::to_string(rva) + " (" +
                                   std::to_string(count) + " bytes) lies in no section's data");
}

// A resource directory's entries are looked up by name or number; names compare without
// regard to case, as FindResource does.
class TResources {
 public:
  TResources(const TImage& image, std::uint64_t root, std::uint64_t size)
      : FImage(image), FRoot(root), FSize(size) {}

  // The offset (from the root) of the sub-directory, or data entry, that Name (upper case)
  // or else Id names in the directory at Dir, or nothing.
  std::optional<std::uint32_t> Find(std::uint32_t dir, const std::string& name, bool subdir,
                                    std::uint32_t id = 0) const {
    const std::uint32_t count = U16(dir + 12) + U16(dir + 14);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint64_t entry = std::uint64_t(dir) + 16 + 8 * std::uint64_t(i);
      const std::uint32_t key = U32(entry), target = U32(entry + 4);
      if (bool(target & 0x80000000u) != subdir) continue;
      const bool named = key & 0x80000000u;
      if (named != !name.empty()) continue;
      if (named ? NameAt(key & 0x7FFFFFFFu) != name : key != id) continue;
      return target & 0x7FFFFFFFu;
    }
    return std::nullopt;
  }
  // The first data entry of the directory at Dir, whatever its language.
  std::optional<std::uint32_t> First(std::uint32_t dir) const {
    const std::uint32_t count = U16(dir + 12) + U16(dir + 14);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint32_t target = U32(std::uint64_t(dir) + 20 + 8 * std::uint64_t(i));
      if (!(target & 0x80000000u)) return target;
    }
    return std::nullopt;
  }
  std::uint32_t U16(std::uint64_t at) const { return FImage.U16(Inside(at, 2)); }
  std::uint32_t U32(std::uint64_t at) const { return FImage.U32(Inside(at, 4)); }

 private:
  // An upper-case name, its UTF-16 code units narrowed (the names looked for are ASCII).
  std::string NameAt(std::uint32_t at) const {
    const std::uint32_t length = U16(at);
    std::string name;
    for (std::uint32_t i = 0; i < length && i < 64; ++i) {
      const std::uint32_t c = U16(std::uint64_t(at) + 2 + 2 * i);
      name += c < 128 ? char(std::toupper(int(c))) : '?';
    }
    return length < 64 ? name : name + "...";
  }
  std::uint64_t Inside(std::uint64_t at, std::uint64_t width) const {
    if (at + width > FSize) {
      NotAnInstaller(FImage.File(), "its resource directory points past its section");
    }
    return FRoot + at;
  }

  const TImage& FImage;
  std::uint64_t FRoot, FSize;
};

}  // namespace

std::size_t TPayloadSource::Read(char* buffer, std::size_t count) {
  const std::size_t n = ReadAt(FPosition, buffer, count);
  FPosition += n;
  return n;
}

std::size_t TPayloadSource::ReadAt(std::uint64_t offset, char* buffer, std::size_t count) {
  if (offset >= FSize) return 0;
  count = std::size_t(std::min<std::uint64_t>(count, FSize - offset));
  return FFile.ReadAt(FBegin + offset, buffer, count);
}

TFileRange FindPayload(TInputFile& file) {
  char magic[2] = {};
  if (file.ReadAt(0, magic, 2) != 2 || magic[0] != 'M' || magic[1] != 'Z') {
    return {0, file.Size()};
  }
  const TImage image(file);
  const std::uint64_t pe = image.U32(0x3C);
  if (image.U32(pe) != 0x00004550u) NotAnInstaller(file, "no PE signature");
  const std::uint32_t sectionCount = image.U16(pe + 6);
  const std::uint32_t optionalSize = image.U16(pe + 20);
  const std::uint64_t optional = pe + 24;
  const std::uint32_t magicWord = image.U16(optional);
  if (magicWord != 0x10B && magicWord != 0x20B) NotAnInstaller(file, "an unknown optional header");
  const std::uint64_t directories = optional + (magicWord == 0x20B ? 112 : 96);
  const std::uint32_t directoryCount = image.U32(directories - 4);
  // The resource directory is the third data directory.
  if (directoryCount < 3 || directories + 3 * 8 > optional + optionalSize) {
    NotAnInstaller(file, "it has no resources");
  }
  const std::uint32_t resourceRva = image.U32(directories + 16);
  if (resourceRva == 0) NotAnInstaller(file, "it has no resources");

  std::vector<TSection> sections;
  for (std::uint32_t i = 0; i < sectionCount; ++i) {
    const std::uint64_t s = optional + optionalSize + 40 * std::uint64_t(i);
    sections.push_back({image.U32(s + 12), image.U32(s + 16), image.U32(s + 20)});
  }
  // The directory's offsets count from its root, and stay within the section's data.
  const std::uint64_t root = OffsetOf(image, sections, resourceRva, 16);
  std::uint64_t room = 0;
  for (const TSection& s : sections) {
    if (resourceRva >= s.Address && resourceRva - s.Address < s.RawSize) {
      room = s.RawSize - (resourceRva - s.Address);
    }
  }
  room = std::min(room, file.Size() - root);
  const TResources resources(image, root, room);
  const std::optional<std::uint32_t> type = resources.Find(0, "FCC", true);
  if (!type) NotAnInstaller(file, "it has no resource of type FCC");
  const std::optional<std::uint32_t> id = resources.Find(*type, "", true, 1);
  if (!id) NotAnInstaller(file, "it has no resource FCC 1");
  const std::optional<std::uint32_t> data = resources.First(*id);
  if (!data) NotAnInstaller(file, "its resource FCC 1 has no data");
  const std::uint32_t dataRva = resources.U32(*data), dataSize = resources.U32(*data + 4);
  return {OffsetOf(image, sections, dataRva, dataSize), dataSize};
}

}  // namespace fccpack
