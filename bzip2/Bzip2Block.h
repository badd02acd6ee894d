// A decoder of one bzip2 block, on its own: the Huffman tables, the move-to-front values, the
// inverse Burrows-Wheeler transform and the runs of four, with the block's CRC checked. It
// only speeds up what libbz2 does: it gives up on whatever it is not sure of (a randomised
// block, more selectors than a block can use, a code that is not a prefix code, any fault),
// and whoever called it then has libbz2 decode the whole stream, whose result stands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "bzip2/Bzip2.h"

namespace payload {

// Where a block's output goes: Room gives the space for the next bytes (none to stop), Commit
// counts what was put there.
class TBlockOutput {
 public:
  virtual std::span<char> Room() = 0;
  virtual void Commit(std::size_t n) = 0;

 protected:
  ~TBlockOutput() = default;
};

enum class TBlockResult { Done, Failed, Stopped };

// The CRC that bzip2 keeps of each block's output (CRC-32 with the polynomial 0x04C11DB7,
// highest bit first), eight bytes a step. Update carries Crc on over Bytes: start from
// 0xFFFFFFFF, end with ~.
class TBlockCrc {
 public:
  TBlockCrc();
  std::uint32_t Update(std::uint32_t crc, const unsigned char* bytes, std::size_t count) const;

 private:
  std::uint32_t FTable[8][256];
};

class TBlockDecoder {
 public:
  TBlockDecoder();
  ~TBlockDecoder();
  TBlockDecoder(const TBlockDecoder&) = delete;
  TBlockDecoder& operator=(const TBlockDecoder&) = delete;

  // Reads the block that begins, with its magic, at bit Shift (0 to 7) of Bytes[0] and is
  // Bits long, of a stream of the given level, up to its inverse transform. False for
  // anything but a whole block that takes exactly its bits. Bytes may go once it has read.
  bool Read(std::span<const unsigned char> bytes, unsigned shift, std::uint64_t bits, int level);
  // Then the block read becomes its text (its bytes before the runs of four are undone), into
  // Text, which must hold TextRoom() bytes and ends up with the TextSize() bytes of the text;
  // ExpandText writes it, later and on any thread.
  std::size_t TextRoom() const;
  std::uint32_t TextSize() const { return FCount; }
  std::uint32_t StoredCrc() const { return FStoredCrc; }
  bool Untransform(std::span<unsigned char> text);

 private:
  bool Untransform(unsigned char* pool);
  unsigned ChainCount() const { return FCount >= Chains * Chunk ? Chains : 1; }

  struct TTables;
  std::unique_ptr<TTables> FTables;
  // The block's bytes before the inverse transform, each with, above it, the position of the
  // byte that follows it: 4 bytes for each of up to 900,000.
  std::unique_ptr<std::uint32_t[]> FTt;
  std::size_t FCapacity = 0;
  std::uint32_t FCount = 0;   // bytes in the block
  std::uint32_t FOrigin = 0;  // where the original text starts among the sorted rotations
  std::uint32_t FStoredCrc = 0;
  bool FRead = false;  // a block has been read and not untransformed yet
  // The text as the chains of the inverse transform find it, in chunks, and each chunk's
  // successor in its chain. Sixteen chains keep more loads in flight than eight (a tenth less
  // time for a block of level 9); more than that gain nothing.
  static constexpr unsigned Chains = 16;
  static constexpr std::size_t Chunk = 4096;
  std::unique_ptr<std::uint32_t[]> FNextChunk;
  std::size_t FChunks = 0;
};

// Writes a block's text into Output, each run of four equal bytes followed by its count of
// more, a piece of at most Piece bytes at a time, Pump ticking between them. Done when the
// CRC of what was written is StoredCrc; Stopped when Output has no room left.
TBlockResult ExpandText(std::span<const unsigned char> text, std::uint32_t storedCrc,
                        const TBlockCrc& crc, TBlockOutput& output, std::size_t piece,
                        TPacedPump* pump = nullptr);

}  // namespace payload
