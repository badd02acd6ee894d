// The parallel decoder of the payload's stream: blocks found at any bit, cut out and decoded
// apart, always the same bytes as the sequential decoder gives, and for every damaged stream
// the same error code.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bzip2/Bzip2.h"
#include "bzip2/Bzip2Block.h"
#include "bzip2/Bzip2Blocks.h"
#include "bzip2/ParallelBzip2.h"
#include "tests/native/bzip2/Bzip2TestStreams.h"

namespace {

using namespace payload;
using namespace bzip2test;

TEST(MagicScanner, FindsBothMagicsAtEveryBitAndAcrossPieces) {
  for (unsigned shift = 0; shift < 8; ++shift) {
    for (const std::size_t pieceSize : {std::size_t(1), std::size_t(3), std::size_t(4096)}) {
      SCOPED_TRACE(testing::Message() << "shift " << shift << ", pieces of " << pieceSize);
      // Noise that holds neither magic, with the block magic at byte 100 plus Shift bits and
      // the end magic 700 bits later.
      std::string bytes = Noise(400, 7);
      PutBits(bytes, 800 + shift, BlockMagic, MagicBits);
      PutBits(bytes, 1500 + shift, EndMagic, MagicBits);
      TMagicScanner scanner;
      std::vector<TMagicScanner::THit> hits;
      for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
        const std::size_t n = std::min(pieceSize, bytes.size() - at);
        scanner.Scan(reinterpret_cast<const unsigned char*>(bytes.data() + at), n, hits);
      }
      ASSERT_EQ(hits.size(), 2u);
      EXPECT_EQ(hits[0].Kind, TMagicScanner::TKind::Block);
      EXPECT_EQ(hits[0].Bit, 800 + shift);
      EXPECT_EQ(hits[1].Kind, TMagicScanner::TKind::End);
      EXPECT_EQ(hits[1].Bit, 1500 + shift);
    }
  }
}

// Each block of a real stream, cut at the magics the scanner finds, decodes on its own; the
// pieces join into the whole, and the blocks' CRCs combine into the stream's.
TEST(StreamBlocks, EveryBlockCutOutDecodesOnItsOwn) {
  const std::string data = Noise(250000, 1) + std::string(90000, 'r') + Noise(100000, 2);
  const std::string stream = CompressPayload(data, 1);
  const TLayout layout = Layout(stream);
  ASSERT_GE(layout.Blocks.size(), 4u);
  const std::vector<char> bytes(stream.begin(), stream.end());
  TBlockDecoder decoder;
  std::string joined;
  std::uint32_t combined = 0;
  for (std::size_t i = 0; i < layout.Blocks.size(); ++i) {
    const std::uint64_t begin = layout.Blocks[i];
    const std::uint64_t end = i + 1 < layout.Blocks.size() ? layout.Blocks[i + 1] : layout.End;
    combined = CombineCrc(combined, ReadBits(bytes, 0, begin + MagicBits, CrcBits));
    const std::size_t first = std::size_t(begin / 8), last = std::size_t((end + 7) / 8);
    const std::vector<unsigned char> block(stream.begin() + std::ptrdiff_t(first),
                                           stream.begin() + std::ptrdiff_t(last));
    ASSERT_TRUE(decoder.Read(block, unsigned(begin % 8), end - begin, 1)) << "block " << i;
    TStringOutput output;
    ASSERT_EQ(WriteBlock(decoder, output), TBlockResult::Done) << "block " << i;
    joined += output.Bytes();
  }
  EXPECT_EQ(joined, data);
  EXPECT_EQ(combined, ReadBits(bytes, 0, layout.End + MagicBits, CrcBits));
}

TEST(ParallelDecoder, DecodesWhatTheSequentialDecoderDecodes) {
  struct Case {
    const char* what;
    std::string data;
    int level;
    std::size_t block = 0;  // the bytes of each block, when not the level's
  };
  const std::vector<Case> cases = {
      {"nothing", "", 9},
      {"one block", Noise(50000, 3), 9},
      {"two blocks", Noise(150000, 4), 1},
      {"many blocks", Noise(900000, 5) + std::string(300000, 'x') + TextLike(600000, 6), 1},
      {"many blocks, level 9", Noise(2500000, 7), 9},
      {"blocks of runs that give many times their text", std::string(12 << 20, '\0') + "fin", 1},
      {"many tiny blocks", TextLike(40000, 11), 9, 150},
      {"tiny blocks of one byte and of runs", "x" + std::string(300, 'y') + Noise(200, 12), 1, 1},
  };
  for (const Case& c : cases) {
    const std::string stream =
        c.block > 0 ? CompressInBlocks(c.data, c.level, c.block) : CompressPayload(c.data, c.level);
    for (const unsigned decoders : {2u, 3u, 8u}) {
      SCOPED_TRACE(testing::Message() << c.what << ", " << decoders << " threads");
      TChoppySource source(stream, 65536);
      TStringSink sink;
      DecodeStream(source, sink, {.Decoders = decoders, .Pump = nullptr});
      EXPECT_TRUE(sink.Bytes() == c.data);
    }
  }
}

// The decoder takes the parallel path whenever the stream has two blocks or more, and gives
// way to the sequential one for a stream of one block.
TEST(ParallelDecoder, TakesTheParallelPathForTwoBlocksOrMore) {
  struct Case {
    const char* what;
    std::string data;
    bool parallel;
  };
  const std::vector<Case> cases = {
      {"one block", Noise(60000, 8), false},
      {"two blocks", Noise(160000, 9), true},
      {"pieces of odd sizes", Noise(450000, 10), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string stream = CompressPayload(c.data, 1);
    for (const std::size_t piece : {std::size_t(7), std::size_t(1000), std::size_t(65536)}) {
      TChoppySource source(stream, piece);
      TStringSink sink;
      EXPECT_EQ(DecodeParallel(source, sink, 2, nullptr), c.parallel);
      if (c.parallel) {
        EXPECT_TRUE(sink.Bytes() == c.data);
      }
    }
  }
}

// A block whose byte values are chosen so that the list of them, which the block carries
// right after its header, spells a magic: the scanner finds a boundary there that is none.
TEST(ParallelDecoder, AMagicInsideABlockIsNoBoundary) {
  for (const std::uint64_t magic : {BlockMagic, EndMagic}) {
    SCOPED_TRACE(magic == BlockMagic ? "block magic" : "end magic");
    const std::string data = BytesSpellingMagic(magic, 350000);
    const std::string stream = CompressPayload(data, 1);
    const TLayout real = Layout(stream);
    ASSERT_GE(real.Blocks.size(), 3u);
    EXPECT_GT(ScanAll(stream).size(), real.Blocks.size() + 1) << "no false magic was planted";

    TChoppySource source(stream, 65536);
    TStringSink sink;
    EXPECT_FALSE(DecodeParallel(source, sink, 2, nullptr));
    source.Rewind();
    sink.Rewind();
    DecodeStream(source, sink, {.Decoders = 2, .Pump = nullptr});
    EXPECT_TRUE(sink.Bytes() == data);
  }
}

// Every way of damaging a stream ends in the code that the sequential decoder gives.
TEST(ParallelDecoder, DamagedStreamsFailAsTheSequentialDecoderFails) {
  const std::string data = Noise(500000, 11) + TextLike(200000, 12);
  const std::string good = CompressPayload(data, 1);
  const TLayout layout = Layout(good);
  ASSERT_GE(layout.Blocks.size(), 5u);

  std::vector<std::pair<std::string, std::string>> cases;
  for (std::size_t i = 0; i < layout.Blocks.size(); ++i) {
    const std::uint64_t end = i + 1 < layout.Blocks.size() ? layout.Blocks[i + 1] : layout.End;
    const std::uint64_t begin = layout.Blocks[i];
    cases.push_back({"a bit flipped in block " + std::to_string(i),
                     FlipBit(good, begin + (end - begin) * 2 / 3)});
    cases.push_back({"a bit flipped in the CRC of block " + std::to_string(i),
                     FlipBit(good, begin + MagicBits + 5)});
    cases.push_back(
        {"a bit flipped in the magic of block " + std::to_string(i), FlipBit(good, begin + 20)});
    cases.push_back(
        {"cut inside block " + std::to_string(i), good.substr(0, std::size_t((begin + end) / 16))});
    cases.push_back({"cut where block " + std::to_string(i) + " begins",
                     good.substr(0, std::size_t(begin / 8))});
  }
  cases.push_back(
      {"a bit flipped in the stored combined CRC", FlipBit(good, layout.End + MagicBits + 9)});
  cases.push_back({"a bit flipped in the end magic", FlipBit(good, layout.End + 3)});
  cases.push_back({"cut inside the combined CRC", good.substr(0, good.size() - 2)});
  cases.push_back({"a byte after the end", good + "x"});
  cases.push_back({"a second stream after the first", good + CompressPayload("more", 1)});
  cases.push_back({"header only", good.substr(0, 4)});
  cases.push_back({"a wrong level digit", "BZh0" + good.substr(4)});
  cases.push_back({"blocks longer than the level of the header allows",
                   "BZh1" + CompressPayload(Noise(1000000, 14), 9).substr(4)});
  cases.push_back({"no bzip2 at all", "plain text, not a stream"});

  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    const int expected = SequentialError(bytes);
    ASSERT_NE(expected, 0) << "the damage went unnoticed by libbz2";
    for (const unsigned decoders : {2u, 5u}) {
      TChoppySource source(bytes, 65536);
      TStringSink sink;
      try {
        DecodeStream(source, sink, {.Decoders = decoders, .Pump = nullptr});
        ADD_FAILURE() << "no error with " << decoders << " threads";
      } catch (const EBzip2Error& e) {
        EXPECT_EQ(e.Code(), expected) << decoders << " threads";
      }
    }
  }
}

// While the blocks are decoded, the calling thread keeps its window loop going, and only that
// thread: a pump is the loop of the windows that thread owns.
TEST(ParallelDecoder, PumpsOnTheCallingThreadWhileItWaits) {
  const std::string data = Noise(3000000, 13);
  const std::string stream = CompressPayload(data, 9);
  int pumped = 0, elsewhere = 0;
  const std::thread::id caller = std::this_thread::get_id();
  TChoppySource source(stream, 65536);
  TStringSink sink;
  ASSERT_TRUE(DecodeParallel(source, sink, 2, [&] {
    ++pumped;
    if (std::this_thread::get_id() != caller) ++elsewhere;
  }));
  EXPECT_TRUE(sink.Bytes() == data);
  // Four blocks of noise take far longer to decode than the pump's interval.
  EXPECT_GE(pumped, 1);
  EXPECT_EQ(elsewhere, 0);
}

}  // namespace
