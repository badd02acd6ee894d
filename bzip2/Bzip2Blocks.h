// The pieces of a bzip2 stream that let its blocks be decoded apart: a stream is the header
// "BZh" and a level digit, then blocks that each begin with the 48-bit block magic and its
// 32-bit CRC, then the 48-bit end magic and the stream's combined CRC, padded to a byte.
// Blocks begin at any bit, not at a byte, and each decodes on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace payload {

inline constexpr std::uint64_t BlockMagic = 0x314159265359;
inline constexpr std::uint64_t EndMagic = 0x177245385090;
inline constexpr std::size_t HeaderBytes = 4;  // "BZh" and the level digit
inline constexpr unsigned MagicBits = 48;
inline constexpr unsigned CrcBits = 32;

// The level of a stream header ("BZh1" to "BZh9"), or 0 when the bytes are no such header.
int HeaderLevel(const char* bytes, std::size_t count);

// The longest a block of the given level can be, compressed: every one of its symbols takes
// at most 20 bits. Anything longer between two magics is no block.
std::size_t MaxBlockBytes(int level);

// The stream's combined CRC after one more block: rotated left by one, then the block's CRC.
std::uint32_t CombineCrc(std::uint32_t combined, std::uint32_t blockCrc);

// Finds the two magics at any bit of a stream fed to it in pieces. Each hit is reported with
// the stream bit at which the magic begins; a hit may be a false one, inside a block's
// compressed data, and whoever decodes must make sure of it.
class TMagicScanner {
 public:
  enum class TKind { Block, End };
  struct THit {
    TKind Kind;
    std::uint64_t Bit;  // where the magic begins, counted from the stream's first bit
  };

  // Scans the next bytes of the stream, from bit Skip of the stream on (earlier bits are not
  // looked at), and appends each magic that ends within them.
  void Scan(const unsigned char* bytes, std::size_t count, std::vector<THit>& hits);
  void SetSkip(std::uint64_t bit) { FSkip = bit; }
  std::uint64_t BitsSeen() const { return FBytes * 8; }

 private:
  std::uint64_t FWindow = 0;  // the last 64 bits seen, the latest in the low bits
  std::uint64_t FBytes = 0;
  std::uint64_t FSkip = 0;
};

// Reads Count bits (at most 32) at stream bit Bit of Bytes, whose first byte is stream byte
// First. The bits must lie within the bytes.
std::uint32_t ReadBits(std::span<const char> bytes, std::uint64_t first, std::uint64_t bit,
                       unsigned count);

}  // namespace payload
