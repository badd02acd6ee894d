#include "payload/Bzip2.h"

#include <algorithm>
#include <cstring>

#include "payload/ParallelBzip2.h"

// bzlib.h pulls windows.h in on Windows; keep its macros out of this file's way.
#if defined(_WIN32) && !defined(NOMINMAX)
#define NOMINMAX
#endif
#include <bzlib.h>

namespace payload {

EBzip2Error::EBzip2Error(int code) : rtl::Exception("error " + std::to_string(code)), FCode(code) {}

std::size_t TMemorySource::Read(char* buffer, std::size_t count) {
  const std::size_t n = ReadAt(FPosition, buffer, count);
  FPosition += n;
  return n;
}

std::size_t TMemorySource::ReadAt(std::uint64_t offset, char* buffer, std::size_t count) {
  if (offset >= FBytes.size()) return 0;
  const std::size_t n = std::min<std::size_t>(count, FBytes.size() - std::size_t(offset));
  if (n > 0) std::memcpy(buffer, FBytes.data() + offset, n);
  return n;
}

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

std::string DecompressPayload(std::string_view input) {
  TMemorySource source(std::span<const char>(input.data(), input.size()));
  TStringSink sink;
  DecodeStream(source, sink, {});
  return std::move(sink.Bytes());
}

}  // namespace payload
