// The parallel decoder against libbz2's sequential one: on any stream both give the same bytes,
// or fail with the same code. Random bytes are seldom a stream at all, so an input is mostly a
// list of edits to one of a few real streams of several blocks (bits flipped, bytes set, the
// stream cut or lengthened); its first byte says which stream, or that the rest of the input
// is the stream itself.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bzip2/Bzip2.h"
#include "bzip2/ParallelBzip2.h"
#include "bzip2/SequentialBzip2.h"
#include "tests/native/bzip2/Bzip2TestStreams.h"

namespace {

std::vector<std::string> gStreams;

struct TResult {
  std::string Bytes;
  int Code = 0;
};

template <class TDecode>
TResult Run(const std::string& stream, TDecode&& decode) {
  TResult r;
  payload::TMemorySource source(std::span<const char>(stream.data(), stream.size()));
  payload::TStringSink sink;
  try {
    decode(source, sink);
    r.Bytes = std::move(sink.Bytes());
  } catch (const payload::EBzip2Error& e) {
    r.Code = e.Code();
  }
  return r;
}

std::uint32_t Word(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  using namespace bzip2test;
  gStreams = {
      payload::CompressPayload(TextLike(230000, 1), 1),
      payload::CompressPayload(TextLike(120000, 2) + std::string(60000, 'z') + TextLike(150000, 3),
                               1),
      payload::CompressPayload(BytesSpellingMagic(payload::BlockMagic, 220000), 1),
      payload::CompressPayload(BytesSpellingMagic(payload::EndMagic, 220000), 1),
  };
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string stream;
  const unsigned choice = data[0] % (gStreams.size() + 1);
  if (choice == gStreams.size()) {
    stream.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  } else {
    stream = gStreams[choice];
    // Edits of five bytes each: what to do, and where.
    for (std::size_t at = 1; at + 5 <= size && !stream.empty(); at += 5) {
      const std::uint32_t where = Word(data + at + 1);
      switch (data[at] % 4) {
        case 0:  // flip one bit
          stream[where / 8 % stream.size()] ^= char(1 << (where % 8));
          break;
        case 1:  // set one byte
          stream[where % stream.size()] = char(where >> 24);
          break;
        case 2:  // cut
          stream.resize(where % stream.size());
          break;
        default:  // lengthen
          stream += char(where);
          break;
      }
    }
  }
  const TResult sequential = Run(stream, [](auto& source, auto& sink) {
    payload::DecodeSequential(source, sink, nullptr);
  });
  const TResult parallel = Run(stream, [&](auto& source, auto& sink) {
    payload::DecodeStream(source, sink, {.Decoders = 2u + data[0] % 2, .Pump = nullptr});
  });
  if (sequential.Code != parallel.Code ||
      (sequential.Code == 0 && sequential.Bytes != parallel.Bytes)) {
    std::fprintf(stderr, "sequential: code %d, %zu bytes; parallel: code %d, %zu bytes\n",
                 sequential.Code, sequential.Bytes.size(), parallel.Code, parallel.Bytes.size());
    std::abort();
  }
  return 0;
}
