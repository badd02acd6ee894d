// The decoder of one block: whatever libbz2's compressor writes, it gives back byte for byte;
// whatever is not exactly a block, it refuses, and never says Done for it.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "bzip2/Bzip2.h"
#include "bzip2/Bzip2Block.h"
#include "bzip2/Bzip2Blocks.h"
#include "tests/native/bzip2/Bzip2TestStreams.h"

namespace {

using namespace payload;
using namespace bzip2test;

struct TBlockBits {
  std::span<const unsigned char> Bytes;
  unsigned Shift;
  std::uint64_t Bits;
};

// Block I of the stream, ended by the next block or, for the last, by the end magic that
// ends the stream (a layout misses it after a block shorter than its guard).
TBlockBits BlockAt(const std::string& stream, const TLayout& layout, std::size_t i) {
  const std::uint64_t begin = layout.Blocks[i];
  std::uint64_t end = 0;
  if (i + 1 < layout.Blocks.size()) {
    end = layout.Blocks[i + 1];
  } else {
    for (const TMagicScanner::THit& hit : ScanAll(stream))
      if (hit.Kind == TMagicScanner::TKind::End) end = hit.Bit;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(stream.data()) + begin / 8;
  return {{bytes, stream.size() - begin / 8}, unsigned(begin % 8), end - begin};
}

// Bytes with a few frequent values and many rare ones, whose codes are longer than a table
// look can tell (more than ten bits).
std::string Skewed(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::exponential_distribution<double> spread(0.08);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(std::min(255.0, std::floor(spread(random))));
  return s;
}

TEST(BlockDecoder, GivesBackEveryBlockTheCompressorWrites) {
  struct Case {
    const char* what;
    std::string data;
    int level;
  };
  std::string values;
  for (int i = 0; i < 256 * 200; ++i) values += char((i * 7) & 0xFF);
  std::string repeated;
  while (repeated.size() < 60000) repeated += "abcde";
  const std::vector<Case> cases = {
      {"one byte", "A", 9},
      {"four equal bytes, and their count of none", "xxxx", 1},
      {"runs around four and the longest run",
       "aaaab" + std::string(5, 'c') + std::string(259, 'd') + std::string(260, 'e') + "f" +
           std::string(4, 'g'),
       1},
      {"a block that ends in a run", TextLike(70000, 1) + std::string(40000, 'z'), 1},
      {"every byte value, over and over", values, 1},
      {"a short text over and over", repeated, 1},
      {"codes longer than ten bits", Skewed(300000, 2), 1},
      {"text, small blocks walked as one chain", TextLike(20000, 3), 1},
      {"noise, level 9", Noise(1000000, 4), 9},
      {"runs of zeros that give more than a block's text", std::string(3 << 20, '\0'), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string stream = CompressPayload(c.data, c.level);
    const TLayout layout = Layout(stream);
    ASSERT_FALSE(layout.Blocks.empty());
    TBlockDecoder decoder;
    std::string joined;
    for (std::size_t i = 0; i < layout.Blocks.size(); ++i) {
      const TBlockBits block = BlockAt(stream, layout, i);
      ASSERT_TRUE(decoder.Read(block.Bytes, block.Shift, block.Bits, c.level)) << "block " << i;
      TStringOutput output;
      ASSERT_EQ(WriteBlock(decoder, output, 4096), TBlockResult::Done) << "block " << i;
      joined += output.Bytes();
    }
    EXPECT_TRUE(joined == c.data);
  }
}

// Each damage makes Read refuse the block, or its writing fail: never Done.
TEST(BlockDecoder, RefusesWhatIsNotExactlyABlock) {
  const std::string data = TextLike(150000, 5) + Skewed(100000, 6);
  const std::string stream = CompressPayload(data, 1);
  const TLayout layout = Layout(stream);
  ASSERT_GE(layout.Blocks.size(), 2u);
  const std::uint64_t begin = layout.Blocks[1], bits = layout.Blocks[2] - begin;
  struct Case {
    const char* what;
    std::string stream;
    std::uint64_t bits;
    int level;
  };
  std::vector<Case> cases = {
      {"one bit short", stream, bits - 1, 1},
      {"one bit long", stream, bits + 1, 1},
      {"no level", stream, bits, 0},
      {"randomised", FlipBit(stream, begin + 80), bits, 1},
      {"origin beyond the block", WithBits(stream, begin + 81, 0xFFFFFF, 24), bits, 1},
      {"no byte value in use", WithBits(stream, begin + 105, 0, 16), bits, 1},
  };
  // A flipped bit every few hundred bits, through the tables and the symbols.
  for (std::uint64_t bit = 100; bit < bits; bit += 397)
    cases.push_back({"a flipped bit", FlipBit(stream, begin + bit), bits, 1});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.what << " at " << &c - cases.data());
    const TBlockBits block = BlockAt(c.stream, layout, 1);
    TBlockDecoder decoder;
    if (!decoder.Read(block.Bytes, block.Shift, c.bits, c.level)) continue;
    TStringOutput output;
    EXPECT_NE(WriteBlock(decoder, output), TBlockResult::Done);
  }
  // Bytes that end before the block does read as zeros, and give a block of the wrong length.
  const TBlockBits whole = BlockAt(stream, layout, 1);
  TBlockDecoder decoder;
  EXPECT_FALSE(decoder.Read(whole.Bytes.first(std::size_t(bits / 8 / 2)), whole.Shift, bits, 1));
  TStringOutput output;
  EXPECT_EQ(WriteBlock(decoder, output), TBlockResult::Failed);  // nothing read
  // Untransform wants the whole room it asks for.
  ASSERT_TRUE(decoder.Read(whole.Bytes, whole.Shift, bits, 1));
  std::vector<unsigned char> small(decoder.TextRoom() - 1);
  EXPECT_FALSE(decoder.Untransform(small));
  // A level 9 block of more bytes than a level 1 block holds.
  const std::string large = CompressPayload(Noise(300000, 8), 9);
  const TLayout largeLayout = Layout(large);
  const TBlockBits largeBlock = BlockAt(large, largeLayout, 0);
  EXPECT_TRUE(decoder.Read(largeBlock.Bytes, largeBlock.Shift, largeBlock.Bits, 9));
  EXPECT_FALSE(decoder.Read(largeBlock.Bytes, largeBlock.Shift, largeBlock.Bits, 1));
}

TEST(BlockDecoder, StopsWhenTheOutputHasNoRoom) {
  const std::string data(500000, 'r');
  const std::string stream = CompressPayload(data, 1);
  const TLayout layout = Layout(stream);
  const TBlockBits block = BlockAt(stream, layout, 0);
  TBlockDecoder decoder;
  ASSERT_TRUE(decoder.Read(block.Bytes, block.Shift, block.Bits, 1));
  TStringOutput output(100000);
  EXPECT_EQ(WriteBlock(decoder, output), TBlockResult::Stopped);
  EXPECT_EQ(output.Bytes(), std::string(100000, 'r'));
}

TEST(BlockDecoder, KeepsTheCrcThatBzip2Keeps) {
  struct Case {
    std::string bytes;
    std::uint32_t crc;
  };
  // CRC-32/BZIP2 of "123456789" is 0xFC891918.
  const std::vector<Case> cases = {
      {"", 0},
      {"123456789", 0xFC891918u},
  };
  const TBlockCrc crc;
  for (const Case& c : cases) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(c.bytes.data());
    EXPECT_EQ(~crc.Update(0xFFFFFFFFu, bytes, c.bytes.size()), c.crc) << c.bytes;
  }
  // Eight bytes a step and one a step agree, at every length and split.
  const std::string noise = Noise(100, 7);
  const auto* bytes = reinterpret_cast<const unsigned char*>(noise.data());
  std::uint32_t bytewise = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < noise.size(); ++i) {
    bytewise = crc.Update(bytewise, bytes + i, 1);
    EXPECT_EQ(crc.Update(0xFFFFFFFFu, bytes, i + 1), bytewise) << i;
  }
}

}  // namespace
