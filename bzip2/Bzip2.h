// The bzip2 decoder's one public face: a stream decoded from a source into a sink, on every
// processor or on one, with a window loop kept alive; the sources and sinks it streams
// through; whole streams decoded or written in memory. Everything else in this folder is its
// own.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
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

struct TDecodeOptions {
  // The decoding threads, the calling one among them; 0 for one per processor. One takes the
  // sequential path.
  unsigned Decoders = 0;
  // Called while the calling thread waits, and between pieces when it decodes itself, at
  // least every few tens of milliseconds: the window loop of a thread that owns windows.
  std::function<void()> Pump;
};

// Decodes the stream of Source into Sink: its blocks on several threads when it has more than
// one, and otherwise, or whenever the parallel decoder finds anything it is not sure of, by
// libbz2 from the stream's start, whose verdict stands. Anything that stops the stream from
// ending cleanly raises "error %d": a corrupt stream, bytes after its end, and input that runs
// out before the end of the stream (-7). An input of no bytes at all decodes to nothing. Sink
// then holds part of the output or nothing.
void DecodeStream(TByteSource& source, TByteSink& sink, const TDecodeOptions& options);

// Calls a window loop's pump from long work, when its last call is long enough ago that the
// windows would otherwise seem to hang.
class TPacedPump {
 public:
  static constexpr auto Interval = std::chrono::milliseconds(25);

  explicit TPacedPump(const std::function<void()>& pump)
      : FPump(pump), FLast(std::chrono::steady_clock::now()) {}
  void Tick() {
    if (!FPump || std::chrono::steady_clock::now() - FLast < Interval) return;
    FPump();
    FLast = std::chrono::steady_clock::now();
  }

 private:
  const std::function<void()>& FPump;
  std::chrono::steady_clock::time_point FLast;
};

// Decompresses a whole stream held in memory, as DecodeStream does with one decoder per
// processor.
std::string DecompressPayload(std::string_view input);

// Compresses bytes into one bzip2 stream of the given block size (1 to 9).
std::string CompressPayload(std::string_view container, int blockSize = 9);

}  // namespace payload
