// A container checked as it streams out of the decoder, as the installer reads it from its
// temporary file: the count, the whole directory, then each entry's contents in directory
// order, and nothing after the last. Only the directory is held; contents are handed on a
// piece at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bzip2/Bzip2.h"
#include "payload/Container.h"

namespace fccpack {

// What the container holds, told as it streams past.
class TContainerVisitor {
 public:
  virtual ~TContainerVisitor() = default;
  virtual void EntryBegin(std::size_t /*index*/) {}
  virtual void Contents(std::size_t /*index*/, const char* /*data*/, std::size_t /*count*/) {}
  virtual void EntryEnd(std::size_t /*index*/) {}
  // The decoder starts the stream over: everything told so far is void.
  virtual void Restart() {}
};

// The first thing the installer would stop at. Contents are told only up to it.
struct TContainerFault {
  enum TKind {
    None,
    NegativeCount,     // the range error
    DirectoryCut,      // the read error, in the count or the directory
    NegativeSize,      // the read error at entry Entry
    ContentsCut,       // the read error at entry Entry, which holds only Held bytes
    BytesAfter,        // Held bytes follow the last entry's contents
  };
  TKind Kind = None;
  std::size_t Entry = 0;
  std::uint64_t Held = 0;
};

class TContainerScanner : public payload::TByteSink {
 public:
  explicit TContainerScanner(TContainerVisitor& visitor) : FVisitor(visitor) {}

  void Write(const char* data, std::size_t count) override;
  void Rewind() override;
  // Once the stream has ended: the fault, if any.
  TContainerFault Finish();

  // The directory as far as it was read.
  const payload::TArchiveDirectory& Directory() const { return FDirectory; }
  // The bytes of the container.
  std::uint64_t Total() const { return FTotal; }

 private:
  enum class TPart { Count, NameLength, Name, Size, Contents, Done, Failed };

  // Takes up to four bytes of a little-endian field; true once it is whole.
  bool TakeField(const char*& data, std::size_t& count, std::size_t width);
  std::int32_t Field() const;
  void DirectoryDone();
  // Goes past the entries that need no bytes, and stops at a negative size.
  void NextEntry();
  void Fail(TContainerFault::TKind kind, std::uint64_t held = 0);

  TContainerVisitor& FVisitor;
  TPart FPart = TPart::Count;
  unsigned char FField[4] = {};
  std::size_t FFieldHave = 0;
  std::size_t FCount = 0;
  std::string FName;
  std::size_t FNameLength = 0;
  payload::TArchiveDirectory FDirectory;
  std::size_t FEntry = 0;
  std::uint64_t FLeft = 0, FHeld = 0;
  std::uint64_t FTotal = 0, FAfter = 0;
  TContainerFault FFault;
};

}  // namespace fccpack
