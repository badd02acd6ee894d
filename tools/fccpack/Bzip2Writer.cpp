#include "tools/fccpack/Bzip2Writer.h"

#include <algorithm>
#include <climits>

#include "bzip2/Bzip2.h"

// bzlib.h pulls windows.h in on Windows; keep its macros out of this file's way.
#if defined(_WIN32) && !defined(NOMINMAX)
#define NOMINMAX
#endif
#include <bzlib.h>

namespace fccpack {

struct TBzip2Writer::TState {
  bz_stream Stream{};
  std::function<void(std::string_view)> Write;
  std::unique_ptr<char[]> Piece = std::make_unique_for_overwrite<char[]>(payload::StreamPiece);
};

TBzip2Writer::TBzip2Writer(int blockSize, std::function<void(std::string_view)> write)
    : FState(std::make_unique<TState>()) {
  FState->Write = std::move(write);
  const int rc = BZ2_bzCompressInit(&FState->Stream, blockSize, 0, 0);
  if (rc != BZ_OK) throw payload::EBzip2Error(rc);
}

TBzip2Writer::~TBzip2Writer() {
  BZ2_bzCompressEnd(&FState->Stream);
}

// libbz2 takes its input through a 32-bit count: a large piece goes in by parts.
void TBzip2Writer::Add(std::string_view data) {
  while (!data.empty()) {
    const std::size_t part = std::min<std::size_t>(data.size(), UINT_MAX / 2);
    FState->Stream.next_in = const_cast<char*>(data.data());
    FState->Stream.avail_in = static_cast<unsigned>(part);
    Run(BZ_RUN);
    data.remove_prefix(part);
  }
}

void TBzip2Writer::Finish() {
  FState->Stream.next_in = nullptr;
  FState->Stream.avail_in = 0;
  Run(BZ_FINISH);
}

// Compresses until libbz2 has taken all the input (BZ_RUN) or ended the stream (BZ_FINISH),
// handing each piece of output on.
void TBzip2Writer::Run(int action) {
  bz_stream& s = FState->Stream;
  for (;;) {
    s.next_out = FState->Piece.get();
    s.avail_out = static_cast<unsigned>(payload::StreamPiece);
    const int rc = BZ2_bzCompress(&s, action);
    if (rc < 0) throw payload::EBzip2Error(rc);
    const std::size_t made = payload::StreamPiece - s.avail_out;
    if (made > 0) FState->Write({FState->Piece.get(), made});
    if (action == BZ_RUN ? s.avail_in == 0 : rc == BZ_STREAM_END) return;
  }
}

}  // namespace fccpack
