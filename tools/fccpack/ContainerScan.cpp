#include "tools/fccpack/ContainerScan.h"

#include <algorithm>

namespace fccpack {

bool TContainerScanner::TakeField(const char*& data, std::size_t& count, std::size_t width) {
  const std::size_t n = std::min(count, width - FFieldHave);
  std::copy_n(data, n, FField + FFieldHave);
  FFieldHave += n;
  data += n;
  count -= n;
  if (FFieldHave < width) return false;
  FFieldHave = 0;
  return true;
}

std::int32_t TContainerScanner::Field() const {
  const std::uint32_t u = std::uint32_t(FField[0]) | std::uint32_t(FField[1]) << 8 |
                          std::uint32_t(FField[2]) << 16 | std::uint32_t(FField[3]) << 24;
  return static_cast<std::int32_t>(u);
}

void TContainerScanner::Write(const char* data, std::size_t count) {
  FTotal += count;
  while (count > 0) {
    switch (FPart) {
      case TPart::Count:
        if (!TakeField(data, count, 4)) break;
        if (Field() < 0) {
          Fail(TContainerFault::NegativeCount);
          break;
        }
        FCount = std::size_t(Field());
        if (FCount == 0) {
          DirectoryDone();
        } else {
          FPart = TPart::NameLength;
        }
        break;
      case TPart::NameLength:
        FNameLength = static_cast<unsigned char>(*data);
        ++data;
        --count;
        FName.clear();
        FPart = FNameLength > 0 ? TPart::Name : TPart::Size;
        break;
      case TPart::Name: {
        const std::size_t n = std::min(count, FNameLength - FName.size());
        FName.append(data, n);
        data += n;
        count -= n;
        if (FName.size() == FNameLength) FPart = TPart::Size;
        break;
      }
      case TPart::Size:
        if (!TakeField(data, count, 4)) break;
        FDirectory.push_back({FName, Field()});
        if (FDirectory.size() == FCount) {
          DirectoryDone();
        } else {
          FPart = TPart::NameLength;
        }
        break;
      case TPart::Contents: {
        const std::size_t n = std::size_t(std::min<std::uint64_t>(count, FLeft));
        FVisitor.Contents(FEntry, data, n);
        data += n;
        count -= n;
        FLeft -= n;
        FHeld += n;
        if (FLeft == 0) {
          FVisitor.EntryEnd(FEntry);
          ++FEntry;
          NextEntry();
        }
        break;
      }
      case TPart::Done:
        FAfter += count;
        count = 0;
        break;
      case TPart::Failed:
        count = 0;
        break;
    }
  }
}

void TContainerScanner::DirectoryDone() {
  FPart = TPart::Contents;
  FEntry = 0;
  NextEntry();
}

void TContainerScanner::NextEntry() {
  for (; FEntry < FDirectory.size(); ++FEntry) {
    const std::int32_t size = FDirectory[FEntry].Size;
    if (size < 0) {
      Fail(TContainerFault::NegativeSize);
      return;
    }
    FVisitor.EntryBegin(FEntry);
    FLeft = std::uint64_t(size);
    FHeld = 0;
    if (FLeft > 0) return;
    FVisitor.EntryEnd(FEntry);
  }
  FPart = TPart::Done;
}

void TContainerScanner::Fail(TContainerFault::TKind kind, std::uint64_t held) {
  FFault = {kind, FEntry, held};
  FPart = TPart::Failed;
}

void TContainerScanner::Rewind() {
  FPart = TPart::Count;
  FFieldHave = 0;
  FCount = 0;
  FName.clear();
  FDirectory.clear();
  FEntry = 0;
  FLeft = FHeld = FTotal = FAfter = 0;
  FFault = {};
  FVisitor.Restart();
}

TContainerFault TContainerScanner::Finish() {
  switch (FPart) {
    case TPart::Count:
    case TPart::NameLength:
    case TPart::Name:
    case TPart::Size:
      Fail(TContainerFault::DirectoryCut);
      break;
    case TPart::Contents:
      Fail(TContainerFault::ContentsCut, FHeld);
      break;
    case TPart::Done:
      if (FAfter > 0) Fail(TContainerFault::BytesAfter, FAfter);
      break;
    case TPart::Failed:
      break;
  }
  return FFault;
}

}  // namespace fccpack
