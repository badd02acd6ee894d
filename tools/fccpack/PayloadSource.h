// Where fccpack reads a payload's stream from: a payload file, or the payload an installer
// carries as its resource "FCC" 1, read from the program's file without running it.
#pragma once

#include <cstdint>
#include <string>

#include "bzip2/Bzip2.h"
#include "tools/fccpack/HostFiles.h"

namespace fccpack {

// The bytes of a file from Begin, Size of them, as a decoder's source.
class TPayloadSource : public payload::TByteSource {
 public:
  TPayloadSource(TInputFile& file, std::uint64_t begin, std::uint64_t size)
      : FFile(file), FBegin(begin), FSize(size) {}
  std::size_t Read(char* buffer, std::size_t count) override;
  void Seek(std::uint64_t offset) override { FPosition = offset < FSize ? offset : FSize; }
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override;
  std::uint64_t Size() const { return FSize; }

 private:
  TInputFile& FFile;
  std::uint64_t FBegin, FSize;
  std::uint64_t FPosition = 0;
};

struct TFileRange {
  std::uint64_t Begin = 0;
  std::uint64_t Size = 0;
};

// Where the payload lies in File: the whole file, unless it is a Windows program ("MZ"), whose
// resource "FCC" 1 (of whatever language comes first) it then is. A program without it, or
// whose headers do not lead to it inside the file, raises the fault (ExitFault).
TFileRange FindPayload(TInputFile& file);

}  // namespace fccpack
