// The payload's bzip2 stream: the sequential decoder (libbz2 fed 64 KiB pieces, output asked
// for 64 KiB at a time), the sources and sinks that decoders stream through, and compression
// for the packing tool.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
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

// Where a decoder takes its compressed bytes from. Read gives up to Count bytes, 0 at the end;
// Seek makes the next read start at the byte given. ReadAt reads from the byte given, on any
// thread, while others read: it neither uses nor moves the place that Read goes on from.
class TByteSource {
 public:
  virtual ~TByteSource() = default;
  virtual std::size_t Read(char* buffer, std::size_t count) = 0;
  virtual void Seek(std::uint64_t offset) = 0;
  virtual std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) = 0;
  void Rewind() { Seek(0); }
};

// Where a decoder puts what it decodes, in order. Rewind drops everything written so far.
class TByteSink {
 public:
  virtual ~TByteSink() = default;
  virtual void Write(const char* data, std::size_t count) = 0;
  virtual void Rewind() = 0;
};

class TMemorySource : public TByteSource {
 public:
  explicit TMemorySource(std::span<const char> bytes) : FBytes(bytes) {}
  std::size_t Read(char* buffer, std::size_t count) override;
  void Seek(std::uint64_t offset) override {
    FPosition = std::size_t(std::min<std::uint64_t>(offset, FBytes.size()));
  }
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override;

 private:
  std::span<const char> FBytes;
  std::size_t FPosition = 0;
};

class TStringSink : public TByteSink {
 public:
  void Write(const char* data, std::size_t count) override { FBytes.append(data, count); }
  void Rewind() override { FBytes.clear(); }
  std::string& Bytes() { return FBytes; }

 private:
  std::string FBytes;
};

// A decompressing stream over a source, which it reads 64 KiB at a time. Read gives 0 bytes
// once the input is used up. Anything that stops the stream from ending cleanly raises
// "error %d": a corrupt stream, bytes after its end (libbz2 refuses to go on after the end),
// and input that runs out before libbz2 has seen the end of the stream (-7, an unexpected end
// of data), which would otherwise pass a truncated container on as if it were whole. An input
// of no bytes at all reads as an empty container, so that the reader reports it.
class TBzip2Reader {
 public:
  explicit TBzip2Reader(TByteSource& input);
  ~TBzip2Reader();
  TBzip2Reader(const TBzip2Reader&) = delete;
  TBzip2Reader& operator=(const TBzip2Reader&) = delete;

  std::size_t Read(char* buffer, std::size_t count);

 private:
  struct TState;
  std::unique_ptr<TState> FState;
};

// Decompresses a whole payload held in memory, as the unpacker decompresses its file.
std::string DecompressPayload(std::string_view input);

// Compresses a container into one bzip2 stream of the given block size (1 to 9).
std::string CompressPayload(std::string_view container, int blockSize = 9);

}  // namespace payload
