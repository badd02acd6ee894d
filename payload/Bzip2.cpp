#include "payload/Bzip2.h"

#include <algorithm>
#include <cstring>

// bzlib.h pulls windows.h in on Windows; keep its macros out of this file's way.
#if defined(_WIN32) && !defined(NOMINMAX)
#define NOMINMAX
#endif
#include <bzlib.h>

namespace payload {

EBzip2Error::EBzip2Error(int code) : rtl::Exception("error " + std::to_string(code)), FCode(code) {}

struct TBzip2Reader::TState {
  bz_stream Stream{};
  std::span<const char> Input;
  std::size_t Position = 0;
  bool Fed = false;    // libbz2 has been given input
  bool Ended = false;  // libbz2 has reported the end of the stream
};

TBzip2Reader::TBzip2Reader(std::span<const char> input) : FState(std::make_unique<TState>()) {
  FState->Input = input;
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
      const std::size_t left = FState->Input.size() - FState->Position;
      if (left == 0) {
        if (FState->Fed && !FState->Ended) throw EBzip2Error(BZ_UNEXPECTED_EOF);
        break;
      }
      const std::size_t piece = std::min(left, StreamPiece);
      // libbz2 only reads through next_in; its type lacks the const.
      s.next_in = const_cast<char*>(FState->Input.data() + FState->Position);
      s.avail_in = static_cast<unsigned>(piece);
      FState->Position += piece;
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

static_assert(TBlockBuffer::BlockSize % StreamPiece == 0, "pieces fill blocks exactly");

void TBlockBuffer::Append(const char* data, std::size_t count) {
  while (count > 0) {
    const std::span<char> room = Room(count);
    std::memcpy(room.data(), data, room.size());
    Commit(room.size());
    data += room.size();
    count -= room.size();
  }
}

std::span<char> TBlockBuffer::Room(std::size_t wanted) {
  const std::size_t used = FSize % BlockSize;
  if (used == 0 && FSize == FBlocks.size() * BlockSize) {
    FBlocks.push_back(std::make_unique_for_overwrite<char[]>(BlockSize));
  }
  return {FBlocks.back().get() + used, std::min(wanted, BlockSize - used)};
}

std::string_view TBlockBuffer::Block(std::size_t i) const {
  const std::size_t length = i + 1 < FBlocks.size() ? BlockSize : FSize - i * BlockSize;
  return {FBlocks[i].get(), length};
}

std::string TBlockBuffer::ToString() const {
  std::string out;
  out.reserve(FSize);
  for (std::size_t i = 0; i < FBlocks.size(); ++i) out += Block(i);
  return out;
}

void DecompressPayload(std::span<const char> input, TBlockBuffer& output) {
  // The stream is asked for 64 KiB at a time, straight into the output's last block: the
  // blocks are a whole number of pieces, so no piece is split or copied again.
  TBzip2Reader reader(input);
  for (;;) {
    const std::span<char> room = output.Room(StreamPiece);
    const std::size_t n = reader.Read(room.data(), room.size());
    if (n == 0) break;
    output.Commit(n);
  }
}

std::string DecompressPayload(std::string_view input) {
  TBlockBuffer output;
  DecompressPayload(std::span<const char>(input.data(), input.size()), output);
  return output.ToString();
}

}  // namespace payload
