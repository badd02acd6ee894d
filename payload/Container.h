// The payload container: a count, a directory of (name, size) records and the entries'
// contents back to back. The reader validates as it goes, so that no field read from the
// container ever sizes an allocation larger than what the container still holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/ShortString.h"

namespace payload {

// One directory record, as the container stores it.
struct TArchiveEntry {
  rtl::ShortString Name;
  std::int32_t Size = 0;

  friend bool operator==(const TArchiveEntry&, const TArchiveEntry&) = default;
};

using TArchiveDirectory = std::vector<TArchiveEntry>;

// The smallest record: a length byte and a four-byte size, with an empty name.
inline constexpr std::size_t MinRecordBytes = 1 + 4;

// Where a container is read from: the temporary file on Windows, memory elsewhere.
class TContainerInput {
 public:
  virtual ~TContainerInput() = default;
  // Reads exactly Count bytes, or raises the read error (EInOutError 100) when fewer remain.
  virtual void ReadExact(void* buffer, std::size_t count) = 0;
  // The bytes not read yet.
  virtual std::uint64_t Remaining() const = 0;
};

class TMemoryInput : public TContainerInput {
 public:
  explicit TMemoryInput(std::span<const char> bytes) : FBytes(bytes) {}
  explicit TMemoryInput(const std::string& bytes) : FBytes(bytes.data(), bytes.size()) {}
  void ReadExact(void* buffer, std::size_t count) override;
  std::uint64_t Remaining() const override { return FBytes.size() - FPosition; }

 private:
  std::span<const char> FBytes;
  std::size_t FPosition = 0;
};

// Reads a container front to back, as the unpacker does: the whole directory first, then
// each entry's contents in directory order.
class TContainerReader {
 public:
  // Reads the count and the directory. A negative count raises the range error; a count
  // that the remaining bytes cannot hold, or a directory cut short, raises the read error.
  explicit TContainerReader(TContainerInput& input);

  const TArchiveDirectory& Directory() const { return FDirectory; }
  // The number of entries whose contents have been read.
  std::size_t Position() const { return FNext; }
  bool AtEnd() const { return FNext >= FDirectory.size(); }

  // Checks that the next entry's size is zero or positive and that the container still holds
  // it; raises the read error otherwise. Takes no memory.
  void CheckNextEntry() const;
  // Reads the next entry's contents into a block of exactly its size (after the check above).
  std::unique_ptr<char[]> ReadNextEntry();
  // Reads the next entry's contents piece by piece into Buffer (after the check above), and
  // hands each piece to Write: an entry of any size in the memory of one piece.
  void CopyNextEntry(std::span<char> buffer,
                     const std::function<void(const char*, std::size_t)>& write);

 private:
  TContainerInput& FInput;
  TArchiveDirectory FDirectory;
  std::size_t FNext = 0;
};

// Builds a container from entries and their contents, for the packing tool and the tests.
// Raises the range error for a name longer than 255 bytes or contents longer than the
// signed 32-bit size field holds.
class TContainerWriter {
 public:
  void Add(std::string_view name, std::string_view contents);
  std::string Build() const;

 private:
  struct TItem {
    std::string Name;
    std::string Contents;
  };
  std::vector<TItem> FItems;
};

// Appends a little-endian 32-bit integer.
void AppendInt32(std::string& out, std::int32_t value);

}  // namespace payload
