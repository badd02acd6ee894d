// Streams for the decoder's tests: contents that compress in known ways, the layout of a
// stream's blocks, damage at chosen bits, and the sequential decoder's verdict to compare with.
#pragma once

#include <bzlib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bzip2/Bzip2.h"
#include "bzip2/Bzip2Block.h"
#include "bzip2/Bzip2Blocks.h"
#include "bzip2/ParallelBzip2.h"
#include "bzip2/SequentialBzip2.h"

namespace bzip2test {

// Bytes that compress poorly: a stream of them has about one byte per byte.
inline std::string Noise(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(random() & 0xFF);
  return s;
}

inline std::string TextLike(std::size_t n, unsigned seed) {
  static const char* const words[] = {"Facture ", "client ", "montant ", "TVA ", "remise "};
  std::mt19937 random(seed);
  std::string s;
  while (s.size() < n) s += words[random() % 5] + std::to_string(random() % 1000) + "\r\n";
  s.resize(n);
  return s;
}

// A stream of the given level whose blocks each hold Block bytes of Data (the last the rest),
// however small: libbz2's compressor ends its block wherever it is told to flush. Streams of
// many tiny blocks exercise the parallel decoder's every step at a small cost.
inline std::string CompressInBlocks(std::string_view data, int level, std::size_t block) {
  bz_stream s{};
  if (BZ2_bzCompressInit(&s, level, 0, 0) != BZ_OK) throw payload::EBzip2Error(-1);
  std::string out;
  char piece[4096];
  std::size_t at = 0;
  int rc = BZ_RUN_OK;
  do {
    // A flush goes on, with the same input, until libbz2 says it is done.
    if (rc == BZ_RUN_OK && at < data.size()) {
      const std::size_t n = std::min(block, data.size() - at);
      s.next_in = const_cast<char*>(data.data() + at);
      s.avail_in = static_cast<unsigned>(n);
      at += n;
    }
    s.next_out = piece;
    s.avail_out = sizeof piece;
    rc = BZ2_bzCompress(&s, at < data.size() ? BZ_FLUSH : BZ_FINISH);
    if (rc < 0) {
      BZ2_bzCompressEnd(&s);
      throw payload::EBzip2Error(rc);
    }
    out.append(piece, sizeof piece - s.avail_out);
  } while (rc != BZ_STREAM_END);
  BZ2_bzCompressEnd(&s);
  return out;
}

// Writes the Count low bits of Value at stream bit Bit, the first bit in a byte's high bit.
inline void PutBits(std::string& bytes, std::uint64_t bit, std::uint64_t value, unsigned count) {
  for (unsigned i = 0; i < count; ++i, ++bit) {
    const unsigned char mask = static_cast<unsigned char>(0x80 >> (bit % 8));
    char& byte = bytes[std::size_t(bit / 8)];
    if ((value >> (count - 1 - i)) & 1)
      byte = char(byte | mask);
    else
      byte = char(byte & ~mask);
  }
}

inline std::string FlipBit(std::string bytes, std::uint64_t bit) {
  bytes[std::size_t(bit / 8)] ^= char(0x80 >> (bit % 8));
  return bytes;
}

// Every magic the scanner finds in a stream, false ones included.
inline std::vector<payload::TMagicScanner::THit> ScanAll(const std::string& stream) {
  payload::TMagicScanner scanner;
  scanner.SetSkip(payload::HeaderBytes * 8);
  std::vector<payload::TMagicScanner::THit> hits;
  scanner.Scan(reinterpret_cast<const unsigned char*>(stream.data()), stream.size(), hits);
  return hits;
}

// Where the blocks and the end magic of a stream made by the compressor begin. A hit closer
// than 400 bits to the block before it is a magic spelt inside that block's header (no block
// of these tests is that short).
struct TLayout {
  std::vector<std::uint64_t> Blocks;
  std::uint64_t End = 0;
};

inline TLayout Layout(const std::string& stream) {
  TLayout layout;
  for (const payload::TMagicScanner::THit& hit : ScanAll(stream)) {
    if (!layout.Blocks.empty() && hit.Bit < layout.Blocks.back() + 400) continue;
    if (hit.Kind == payload::TMagicScanner::TKind::End) {
      layout.End = hit.Bit;
      break;
    }
    layout.Blocks.push_back(hit.Bit);
  }
  return layout;
}

// Contents whose set of byte values, as a block lists it after its header (one bit per value,
// in order, when every group of sixteen values is in use), spells Magic from value 64 on: each
// block of their stream carries a false magic 185 bits after its own.
inline std::string BytesSpellingMagic(std::uint64_t magic, std::size_t n) {
  std::vector<unsigned char> present;
  for (unsigned v = 0; v < 256; ++v) {
    const bool in = v >= 64 && v < 64 + payload::MagicBits
                        ? ((magic >> (payload::MagicBits - 1 - (v - 64))) & 1) != 0
                        : v % 3 == 0;
    if (in) present.push_back(static_cast<unsigned char>(v));
  }
  // No value twice in a row: runs would add their lengths to the block's values.
  std::mt19937 random(42);
  std::string s;
  unsigned char last = 0;
  while (s.size() < n) {
    unsigned char c = present[random() % present.size()];
    if (!s.empty() && c == last) continue;
    s += char(c);
    last = c;
  }
  return s;
}

// A block's output in a string, with at most Most bytes of room.
class TStringOutput : public payload::TBlockOutput {
 public:
  explicit TStringOutput(std::size_t most = std::size_t(-1)) : FMost(most) {}
  std::span<char> Room() override {
    const std::size_t room = std::min<std::size_t>(65536, FMost - FSize);
    FBytes.resize(FSize + room);
    return {FBytes.data() + FSize, room};
  }
  void Commit(std::size_t n) override {
    FSize += n;
    FBytes.resize(FSize);
  }
  const std::string& Bytes() const { return FBytes; }

 private:
  std::size_t FMost;
  std::size_t FSize = 0;
  std::string FBytes;
};

// Writes the block the decoder has read into Output: its text into memory of the caller's,
// then its runs undone, a piece of at most Piece bytes at a time.
inline payload::TBlockResult WriteBlock(payload::TBlockDecoder& decoder,
                                        payload::TBlockOutput& output, std::size_t piece = 65536) {
  std::vector<unsigned char> text(decoder.TextRoom());
  if (!decoder.Untransform(text)) return payload::TBlockResult::Failed;
  text.resize(decoder.TextSize());
  static const payload::TBlockCrc crc;
  return payload::ExpandText(text, decoder.StoredCrc(), crc, output, piece);
}

// A copy of Bytes with Value's Count low bits written at stream bit Bit.
inline std::string WithBits(std::string bytes, std::uint64_t bit, std::uint64_t value,
                            unsigned count) {
  PutBits(bytes, bit, value, count);
  return bytes;
}

// A source that hands out at most Piece bytes a read.
class TChoppySource : public payload::TByteSource {
 public:
  TChoppySource(const std::string& bytes, std::size_t piece) : FBytes(bytes), FPiece(piece) {}
  std::size_t Read(char* buffer, std::size_t count) override {
    const std::size_t n = ReadAt(FPosition, buffer, count);
    FPosition += n;
    return n;
  }
  void Seek(std::uint64_t offset) override {
    FPosition = std::size_t(std::min<std::uint64_t>(offset, FBytes.size()));
  }
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override {
    if (offset >= FBytes.size()) return 0;
    const std::size_t n = std::min({count, FPiece, FBytes.size() - std::size_t(offset)});
    std::copy_n(FBytes.data() + offset, n, buffer);
    return n;
  }

 private:
  const std::string& FBytes;
  std::size_t FPiece;
  std::size_t FPosition = 0;
};

inline std::string DecompressSequentially(const std::string& stream) {
  payload::TMemorySource source(std::span<const char>(stream.data(), stream.size()));
  payload::TStringSink sink;
  payload::DecodeSequential(source, sink, nullptr);
  return sink.Bytes();
}

// The code of "error %d" that the sequential decoder ends in, 0 when it decodes the stream.
inline int SequentialError(const std::string& stream) {
  try {
    DecompressSequentially(stream);
  } catch (const payload::EBzip2Error& e) {
    return e.Code();
  }
  return 0;
}

}  // namespace bzip2test
