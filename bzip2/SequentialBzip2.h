// The sequential decoder: libbz2 fed 64 KiB pieces, output asked for 64 KiB at a time. It
// decodes every stream that the parallel decoder gives up on, and its verdict is the one that
// stands.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "bzip2/Bzip2.h"

namespace payload {

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

// Decodes the whole stream of Source into Sink through a reader, Pump ticking between pieces.
void DecodeSequential(TByteSource& source, TByteSink& sink, const std::function<void()>& pump);

}  // namespace payload
