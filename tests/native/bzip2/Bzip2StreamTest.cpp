// A bzip2 stream as the decoder reads it: whole streams of every block size
// round-trip, and every stream that does not end cleanly, exactly at the end of its input,
// raises "error %d".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bzip2/Bzip2.h"
#include "bzip2/SequentialBzip2.h"
#include "tests/native/bzip2/Bzip2TestStreams.h"

namespace {

using bzip2test::Noise;  // compresses poorly: its streams span several 64 KiB input pieces
using payload::CompressPayload;
using payload::DecompressPayload;
using payload::EBzip2Error;

TEST(Bzip2Stream, RoundTrips) {
  struct Case {
    const char* what;
    std::string data;
    int blockSize;
  };
  const std::vector<Case> cases = {
      {"one byte", "x", 9},
      {"text", std::string(100000, 'a') + "end", 9},
      {"several input pieces, small blocks", Noise(300000, 1), 1},
      {"several input pieces, block size 9", Noise(300000, 2) + std::string(500000, 'z'), 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string packed = CompressPayload(c.data, c.blockSize);
    EXPECT_EQ(packed.substr(0, 4), std::string("BZh") + char('0' + c.blockSize));
    EXPECT_EQ(DecompressPayload(packed), c.data);
  }
}

// An input of no bytes is no stream at all: it reads as an empty container, which the
// container reader then reports with its read error.
TEST(Bzip2Stream, EmptyInputGivesNothing) {
  EXPECT_EQ(DecompressPayload(""), "");
}

TEST(Bzip2Stream, FaultyStreams) {
  const std::string data = Noise(200000, 3);
  const std::string good = CompressPayload(data);
  ASSERT_GT(good.size(), 3 * payload::StreamPiece);
  std::string corruptBody = good;
  corruptBody[good.size() / 2] ^= 0x55;
  std::string corruptMagic = good;
  corruptMagic[0] = 'X';
  struct Case {
    const char* what;
    std::string bytes;
    int code;
  };
  const std::vector<Case> cases = {
      {"corrupt body", corruptBody, -4},
      {"corrupt header", corruptMagic, -5},
      {"cut in the middle", good.substr(0, good.size() / 2), -7},
      {"cut at a piece boundary", good.substr(0, 2 * payload::StreamPiece), -7},
      {"last byte missing", good.substr(0, good.size() - 1), -7},
      {"header only", "BZh9", -7},
      {"one byte after the end", good + "x", -1},
      {"a second stream after the first", good + CompressPayload("more"), -1},
      {"a whole piece after the end", good + std::string(payload::StreamPiece, '\0'), -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      DecompressPayload(c.bytes);
      ADD_FAILURE() << "no error";
    } catch (const EBzip2Error& e) {
      EXPECT_EQ(e.Code(), c.code);
      EXPECT_EQ(e.Message(), "error " + std::to_string(c.code));
    }
  }
}

// A stream that ends exactly at the end of a 64 KiB piece has nothing after it; one more
// piece after it is refused.
TEST(Bzip2Stream, StreamEndingOnAPieceBoundary) {
  // Random bytes grow the stream by about one byte per byte: find by bisection a prefix of
  // them whose stream is exactly one piece long, then look around it.
  const std::string noise = Noise(payload::StreamPiece, 4);
  auto streamOf = [&](std::size_t n) { return CompressPayload(noise.substr(0, n)); };
  std::size_t low = 0, high = noise.size();
  while (high - low > 1) {
    const std::size_t mid = (low + high) / 2;
    (streamOf(mid).size() <= payload::StreamPiece ? low : high) = mid;
  }
  std::string data, packed;
  // low is the longest prefix whose stream fits in a piece; the stream may skip the exact
  // length there (Huffman tables move by bits), so step back until it hits it.
  for (std::size_t n = low; n + 256 > low && n > 0; --n) {
    packed = streamOf(n);
    if (packed.size() == payload::StreamPiece) {
      data = noise.substr(0, n);
      break;
    }
  }
  ASSERT_EQ(packed.size(), payload::StreamPiece);
  EXPECT_EQ(DecompressPayload(packed), data);
  try {
    DecompressPayload(packed + CompressPayload("more"));
    ADD_FAILURE() << "no error";
  } catch (const EBzip2Error& e) {
    EXPECT_EQ(e.Code(), -1);
  }
}

TEST(Bzip2Stream, ReaderGivesAtMostOnePieceAtATime) {
  const std::string data(3 * payload::StreamPiece + 5, 'q');
  const std::string packed = CompressPayload(data);
  payload::TMemorySource source(std::span<const char>(packed.data(), packed.size()));
  payload::TBzip2Reader reader(source);
  std::vector<char> buffer(2 * payload::StreamPiece);
  std::vector<std::size_t> sizes;
  for (std::size_t n; (n = reader.Read(buffer.data(), buffer.size())) > 0;) sizes.push_back(n);
  EXPECT_EQ(sizes, (std::vector<std::size_t>{payload::StreamPiece, payload::StreamPiece,
                                             payload::StreamPiece, 5}));
  EXPECT_EQ(reader.Read(buffer.data(), buffer.size()), 0u);
}

}  // namespace
