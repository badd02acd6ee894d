// The payload's bzip2 stream: decompression as the unpacker does it (whole input in memory,
// libbz2 fed 64 KiB pieces, output asked for 64 KiB at a time) and compression for the
// packing tool.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/SysUtils.h"

namespace payload {

// The piece of input handed to libbz2 at a time, and the most output asked for at a time.
inline constexpr std::size_t StreamPiece = 65536;

// "error %d": libbz2 returned a negative code.
class EBzip2Error : public rtl::Exception {
 public:
  explicit EBzip2Error(int code);
  int Code() const { return FCode; }

 private:
  int FCode;
};

// A decompressing stream over an input held whole in memory. Read gives 0 bytes once the
// input is used up. Anything that stops the stream from ending cleanly raises "error %d":
// a corrupt stream, bytes after its end (libbz2 refuses to go on after the end), and input
// that runs out before libbz2 has seen the end of the stream (-7, an unexpected end of data),
// which would otherwise pass a truncated container on as if it were whole. An input of no
// bytes at all reads as an empty container, so that the reader reports it.
class TBzip2Reader {
 public:
  explicit TBzip2Reader(std::span<const char> input);
  ~TBzip2Reader();
  TBzip2Reader(const TBzip2Reader&) = delete;
  TBzip2Reader& operator=(const TBzip2Reader&) = delete;

  std::size_t Read(char* buffer, std::size_t count);

 private:
  struct TState;
  std::unique_ptr<TState> FState;
};

// Gathers output in blocks, so that a growing buffer never holds an old and a new copy of
// itself at once: the unpacker holds the whole container in memory, and that is its peak.
class TBlockBuffer {
 public:
  static constexpr std::size_t BlockSize = 1 << 20;

  void Append(const char* data, std::size_t count);
  // Room for up to Wanted more bytes at the end (a new block when the last one is full), to be
  // filled in place and then counted with Commit.
  std::span<char> Room(std::size_t wanted);
  void Commit(std::size_t count) { FSize += count; }
  std::size_t Size() const { return FSize; }
  std::size_t BlockCount() const { return FBlocks.size(); }
  std::string_view Block(std::size_t i) const;
  std::string ToString() const;

 private:
  std::vector<std::unique_ptr<char[]>> FBlocks;
  std::size_t FSize = 0;
};

// Decompresses a whole payload the unpacker's way into Output.
void DecompressPayload(std::span<const char> input, TBlockBuffer& output);
std::string DecompressPayload(std::string_view input);

// Compresses a container into one bzip2 stream of the given block size (1 to 9).
std::string CompressPayload(std::string_view container, int blockSize = 9);

}  // namespace payload
