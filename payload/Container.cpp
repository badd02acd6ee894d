#include "payload/Container.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "rtl/SysUtils.h"

namespace payload {

namespace {

constexpr int ReadPastEnd = 100;

std::int32_t ReadInt32(TContainerInput& input) {
  unsigned char b[4];
  input.ReadExact(b, sizeof b);
  const std::uint32_t u = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                          std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
  return static_cast<std::int32_t>(u);
}

}  // namespace

void TMemoryInput::ReadExact(void* buffer, std::size_t count) {
  if (count > FBytes.size() - FPosition) {
    // An untyped read that finds fewer bytes than asked takes nothing and fails.
    throw rtl::EInOutError(ReadPastEnd);
  }
  if (count > 0) std::memcpy(buffer, FBytes.data() + FPosition, count);
  FPosition += count;
}

TContainerReader::TContainerReader(TContainerInput& input) : FInput(input) {
  const std::int32_t count = ReadInt32(FInput);
  if (count < 0) throw rtl::ERangeError();
  // Every record takes at least five bytes, so a count that the rest cannot hold is a
  // directory cut short: fail now rather than size the array by an untrusted number.
  if (std::uint64_t(count) * MinRecordBytes > FInput.Remaining()) {
    throw rtl::EInOutError(ReadPastEnd);
  }
  FDirectory.resize(std::size_t(count));
  char name[255];
  for (TArchiveEntry& entry : FDirectory) {
    unsigned char length = 0;
    FInput.ReadExact(&length, 1);
    FInput.ReadExact(name, length);
    entry.Name = std::string_view(name, length);
    entry.Size = ReadInt32(FInput);
  }
}

void TContainerReader::CheckNextEntry() const {
  if (AtEnd()) throw rtl::EInOutError(ReadPastEnd);
  const std::int32_t size = FDirectory[FNext].Size;
  if (size < 0 || std::uint64_t(size) > FInput.Remaining()) throw rtl::EInOutError(ReadPastEnd);
}

std::unique_ptr<char[]> TContainerReader::ReadNextEntry() {
  CheckNextEntry();
  const std::size_t size = std::size_t(FDirectory[FNext].Size);
  // One byte at least, so that an empty entry still has a block to point at.
  auto block = std::make_unique_for_overwrite<char[]>(size > 0 ? size : 1);
  FInput.ReadExact(block.get(), size);
  ++FNext;
  return block;
}

void TContainerReader::CopyNextEntry(std::span<char> buffer,
                                     const std::function<void(const char*, std::size_t)>& write) {
  CheckNextEntry();
  std::size_t left = std::size_t(FDirectory[FNext].Size);
  while (left > 0) {
    const std::size_t piece = std::min(left, buffer.size());
    FInput.ReadExact(buffer.data(), piece);
    write(buffer.data(), piece);
    left -= piece;
  }
  ++FNext;
}

void AppendInt32(std::string& out, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((u >> shift) & 0xFF);
}

void TContainerWriter::Add(std::string_view name, std::string_view contents) {
  if (name.size() > 255 ||
      contents.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
    throw rtl::ERangeError();
  }
  FItems.push_back({std::string(name), std::string(contents)});
}

std::string TContainerWriter::Build() const {
  if (FItems.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
    throw rtl::ERangeError();
  }
  std::size_t total = 4;
  for (const TItem& item : FItems)
    total += MinRecordBytes + item.Name.size() + item.Contents.size();
  std::string out;
  out.reserve(total);
  AppendInt32(out, static_cast<std::int32_t>(FItems.size()));
  for (const TItem& item : FItems) {
    out += static_cast<char>(item.Name.size());
    out += item.Name;
    AppendInt32(out, static_cast<std::int32_t>(item.Contents.size()));
  }
  for (const TItem& item : FItems) out += item.Contents;
  return out;
}

}  // namespace payload
