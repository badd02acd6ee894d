// The parallel decoder against libbz2's sequential one: on any stream both give the same bytes,
// or fail with the same code. Random bytes are seldom a stream at all, so an input is mostly a
// list of edits to one of a few real streams (bits flipped, bytes set, the stream cut or
// lengthened); its first byte says which stream and how many threads, or that the rest of the
// input is the stream itself.
//
// Most of the streams are made of many tiny blocks: they take the parallel decoder through
// every step it takes on a payload (blocks found at any bit, decoded apart, written in order,
// their CRCs combined, false magics, runs across blocks) in a fraction of a millisecond, so
// that the fuzzer makes many runs a second. Three have long blocks and only one value of the
// first byte each: one has a block long enough for the inverse transform's sixteen chains, and
// two are real level-9 streams of full blocks, as fccpack writes them, each run of which costs
// as much as a few hundred of the others: those two are decoded only as they stand, and once
// a process (the seeds have them), since the fuzzer comes back to an input of one byte again
// and again: decoded every time, they took nine tenths of its time.
#include <pthread.h>

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
std::vector<std::string> gLongStreams;

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

// Each run takes a few large blocks of memory (the decoders' rooms for a block of the level),
// which the sanitizer maps, marks and unmaps one by one; its quarantine of 256 MiB held those of
// the last hundred runs, and the runs went a fifth slower for it. Four MiB still hold all that
// one run frees, so that a use after free within a run is still caught.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=4"; }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The decoding threads get the stacks they have in the product (256 KiB), not the system's
  // 8 MiB: a deeper stack would go unnoticed here, and each thread's end would clear the
  // sanitizer's shadow of all of its stack, which cost more than decoding the small blocks.
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 256 * 1024);
  pthread_setattr_default_np(&attributes);
  pthread_attr_destroy(&attributes);
  using namespace bzip2test;
  using payload::BlockMagic;
  using payload::EndMagic;
  // Level 1 where the level does not matter: the decoders take room for a block of the
  // stream's level, and a level-9 room costs more than the small blocks' decoding.
  gStreams = {
      CompressInBlocks(TextLike(1200, 1), 1, 300),
      CompressInBlocks(TextLike(300, 2) + std::string(500, 'z') + TextLike(300, 3), 1, 250),
      CompressInBlocks(BytesSpellingMagic(BlockMagic, 2000), 1, 1000),
      CompressInBlocks(BytesSpellingMagic(EndMagic, 2000), 1, 1000),
      CompressInBlocks(Noise(600, 4), 1, 150),
  };
  gLongStreams = {
      // A block long enough for the inverse transform's sixteen chains, then a small one.
      CompressInBlocks(TextLike(67000, 5), 1, 66000),
      payload::CompressPayload(TextLike(1000000, 6), 9),
      payload::CompressPayload(TextLike(700000, 7) + Noise(300000, 8) + TextLike(900000, 9), 9),
  };
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // 0xFF: the rest is the stream; 0xFC to 0xFE: a stream of long blocks; any other value, a
  // stream of small blocks. The two lowest bits give the threads: two decoders (the calling
  // thread and one worker, which already decode blocks out of order and write them in order),
  // or, for one value in four, three, which compete for the blocks; each thread and its room
  // for a block of the level cost more than decoding the small blocks. The level-9 streams are
  // taken only as they stand, by an input of one byte, the first time it comes: edited or taken
  // again, they would be picked again and again, at half a second a run.
  const std::uint8_t pick = data[0];
  if (pick >= 0xFD && pick < 0xFF) {
    static bool decoded[2];
    if (size > 1 || decoded[pick - 0xFD]) return 0;
    decoded[pick - 0xFD] = true;
  }
  const unsigned decoders = (pick & 3u) == 3u ? 3u : 2u;
  std::string stream;
  if (pick == 0xFF) {
    stream.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  } else {
    stream = pick >= 0xFC ? gLongStreams[pick - 0xFC] : gStreams[(pick >> 2) % gStreams.size()];
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
    payload::DecodeStream(source, sink, {.Decoders = decoders, .Pump = nullptr});
  });
  if (sequential.Code != parallel.Code ||
      (sequential.Code == 0 && sequential.Bytes != parallel.Bytes)) {
    std::fprintf(stderr, "sequential: code %d, %zu bytes; parallel: code %d, %zu bytes\n",
                 sequential.Code, sequential.Bytes.size(), parallel.Code, parallel.Bytes.size());
    std::abort();
  }
  return 0;
}
