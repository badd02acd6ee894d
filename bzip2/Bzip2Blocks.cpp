#include "bzip2/Bzip2Blocks.h"

#include <array>

namespace payload {

namespace {

constexpr std::uint64_t Mask48 = (std::uint64_t(1) << 48) - 1;

// For each value of the byte that lies two bytes before the newest one, the shifts (bit k for
// a magic ending k bits above the window's lowest bit, 0 to 7) at which that byte is wholly
// inside a magic and equal to it there: bits 0 to 7 for the block magic, 8 to 15 for the end
// magic. Only those shifts need the whole comparison; for most bytes there is none.
struct TShiftTable {
  std::array<std::uint16_t, 256> Shifts{};
  constexpr TShiftTable() {
    for (unsigned k = 0; k < 8; ++k) {
      Shifts[((BlockMagic << k) >> 16) & 0xFF] |= std::uint16_t(1u << k);
      Shifts[((EndMagic << k) >> 16) & 0xFF] |= std::uint16_t(1u << (k + 8));
    }
  }
};
constexpr TShiftTable ShiftTable;

}  // namespace

int HeaderLevel(const char* bytes, std::size_t count) {
  if (count < HeaderBytes || bytes[0] != 'B' || bytes[1] != 'Z' || bytes[2] != 'h') return 0;
  if (bytes[3] < '1' || bytes[3] > '9') return 0;
  return bytes[3] - '0';
}

std::size_t MaxBlockBytes(int level) {
  // 100,000 bytes a level, each at most one symbol of at most 20 bits, plus the tables and
  // the selectors, which take far less than the margin.
  return std::size_t(level) * 100000 * 20 / 8 + 65536;
}

std::uint32_t CombineCrc(std::uint32_t combined, std::uint32_t blockCrc) {
  return ((combined << 1) | (combined >> 31)) ^ blockCrc;
}

// The window holds the last eight bytes. After byte n is in, a magic ending k bits above the
// window's lowest bit covers the window bits [k, k + 48), so the byte two before the newest,
// window bits [16, 24), lies wholly inside it for every k from 0 to 7.
void TMagicScanner::Scan(const unsigned char* bytes, std::size_t count, std::vector<THit>& hits) {
  for (std::size_t i = 0; i < count; ++i) {
    FWindow = (FWindow << 8) | bytes[i];
    ++FBytes;
    if (FBytes < 6) continue;
    unsigned shifts = ShiftTable.Shifts[(FWindow >> 16) & 0xFF];
    while (shifts != 0) {
      const unsigned bit = unsigned(__builtin_ctz(shifts));
      shifts &= shifts - 1;
      const unsigned k = bit & 7;
      const std::uint64_t magic = bit < 8 ? BlockMagic : EndMagic;
      if (((FWindow >> k) & Mask48) != magic) continue;
      const std::uint64_t endBit = FBytes * 8 - k;
      if (endBit < MagicBits) continue;
      const std::uint64_t begin = endBit - MagicBits;
      if (begin < FSkip) continue;
      hits.push_back({bit < 8 ? TKind::Block : TKind::End, begin});
    }
  }
}

std::uint32_t ReadBits(std::span<const char> bytes, std::uint64_t first, std::uint64_t bit,
                       unsigned count) {
  std::uint64_t value = 0;
  std::size_t at = std::size_t(bit / 8 - first);
  unsigned skip = unsigned(bit % 8), have = 0;
  while (have < count + skip) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at++]);
    have += 8;
  }
  value >>= have - count - skip;
  return std::uint32_t(value & ((std::uint64_t(1) << count) - 1));
}

}  // namespace payload
