#include "bzip2/SequentialBzip2.h"

#include <algorithm>
#include <memory>

// bzlib.h pulls windows.h in on Windows; keep its macros out of this file's way.
#if defined(_WIN32) && !defined(NOMINMAX)
#define NOMINMAX
#endif
#include <bzlib.h>

namespace payload {

struct TBzip2Reader::TState {
  bz_stream Stream{};
  TByteSource* Input = nullptr;
  std::unique_ptr<char[]> Piece = std::make_unique_for_overwrite<char[]>(StreamPiece);
  bool Fed = false;    // libbz2 has been given input
  bool Ended = false;  // libbz2 has reported the end of the stream
};

TBzip2Reader::TBzip2Reader(TByteSource& input) : FState(std::make_unique<TState>()) {
  FState->Input = &input;
  const int rc = BZ2_bzDecompressInit(&FState->Stream, 0, 0);
  if (rc != BZ_OK) throw EBzip2Error(rc);
}

TBzip2Reader::~TBzip2Reader() {
  BZ2_bzDecompressEnd(&FState->Stream);
}

std::size_t TBzip2Reader::Read(char* buffer, std::size_t count) {
  bz_stream& s = FState->Stream;
  count = std::min(count, StreamPiece);
  s.next_out = buffer;
  s.avail_out = static_cast<unsigned>(count);
  while (s.avail_out > 0) {
    if (s.avail_in == 0) {
      const std::size_t piece = FState->Input->Read(FState->Piece.get(), StreamPiece);
      if (piece == 0) {
        if (FState->Fed && !FState->Ended) throw EBzip2Error(BZ_UNEXPECTED_EOF);
        break;
      }
      s.next_in = FState->Piece.get();
      s.avail_in = static_cast<unsigned>(piece);
      FState->Fed = true;
    }
    // After the end of the stream libbz2 answers every further call with a negative code, so
    // bytes left over after the end, a second stream included, end here in "error -1".
    const int rc = BZ2_bzDecompress(&s);
    if (rc < 0) throw EBzip2Error(rc);
    if (rc == BZ_STREAM_END) FState->Ended = true;
  }
  return count - s.avail_out;
}

void DecodeSequential(TByteSource& source, TByteSink& sink, const std::function<void()>& pump) {
  TBzip2Reader reader(source);
  const auto piece = std::make_unique_for_overwrite<char[]>(StreamPiece);
  TPacedPump paced(pump);
  for (std::size_t n; (n = reader.Read(piece.get(), StreamPiece)) > 0;) {
    sink.Write(piece.get(), n);
    paced.Tick();
  }
}

}  // namespace payload
