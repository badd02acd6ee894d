#include "bzip2/Bzip2Block.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "bzip2/Bzip2Blocks.h"
#include "bzip2/FrontList.h"

namespace payload {

namespace {

constexpr unsigned GroupSize = 50;  // symbols coded with one table before the next selector
constexpr unsigned MaxGroups = 6;
constexpr unsigned MaxAlphabet = 258;  // RUNA, RUNB, 255 move-to-front values, end of block
constexpr unsigned MaxCodeLength = 20;
// libbz2 reads more selectors than this but uses no more; a block that has more goes to it.
constexpr unsigned MaxSelectors = 18002;
// Codes up to this long are decoded by one look in a table; longer ones, rare, by their length.
constexpr unsigned FastBits = 10;
// libbz2 refuses a run whose next weight would reach this (so that its count cannot overflow).
constexpr std::uint32_t MaxRunWeight = 2 * 1024 * 1024;

// Byte copies inlined, eight bytes a step: they are short and many, and the run-time
// library's own functions, reached through a call, cost more than the copy itself on the
// system's older libraries.
inline void CopyBytes(unsigned char* to, const unsigned char* from, std::size_t count) {
  for (; count >= 8; count -= 8, to += 8, from += 8) {
    std::uint64_t v;
    std::memcpy(&v, from, 8);
    std::memcpy(to, &v, 8);
  }
  for (; count > 0; --count) *to++ = *from++;
}

inline void FillBytes(unsigned char* to, unsigned char value, std::size_t count) {
  const std::uint64_t v = 0x0101010101010101u * value;
  for (; count >= 8; count -= 8, to += 8) std::memcpy(to, &v, 8);
  for (; count > 0; --count) *to++ = value;
}

std::uint32_t LoadBigEndian32(const unsigned char* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
         p[3];
}

// The bits of a block, highest bit of each byte first, from a 64-bit buffer whose top bits
// are the next ones. Past the last byte it reads zeros, and counts them among the bits taken,
// so that a block that reads beyond its end is found out by its length.
class TBitReader {
 public:
  TBitReader(std::span<const unsigned char> bytes, unsigned shift) : FBytes(bytes) {
    Refill();
    Skip(shift);
    FTaken = 0;
  }

  // At least 56 bits in the buffer afterwards.
  void Refill() {
    if (FAt + 8 <= FBytes.size()) {
      std::uint64_t v;
      std::memcpy(&v, FBytes.data() + FAt, 8);
      FBuffer |= __builtin_bswap64(v) >> FHave;
      // Whole bytes that fit go in; the bits of the next byte that also went in are the ones
      // the next refill puts there again.
      FAt += (63 - FHave) >> 3;
      FHave |= 56;
      return;
    }
    while (FHave <= 56) {
      const std::uint64_t b = FAt < FBytes.size() ? FBytes[FAt] : 0;
      ++FAt;
      FBuffer |= b << (56 - FHave);
      FHave += 8;
    }
  }
  void Need(unsigned n) {
    if (FHave < n) Refill();
  }
  // The next N bits (1 to 32) without taking them; Need(N) first.
  std::uint32_t Peek(unsigned n) const { return std::uint32_t(FBuffer >> (64 - n)); }
  void Skip(unsigned n) {
    FBuffer <<= n;
    FHave -= n;
    FTaken += n;
  }
  std::uint32_t Get(unsigned n) {
    Need(n);
    const std::uint32_t v = Peek(n);
    Skip(n);
    return v;
  }
  std::uint64_t Taken() const { return FTaken; }

 private:
  std::span<const unsigned char> FBytes;
  std::size_t FAt = 0;  // the next byte to go into the buffer
  std::uint64_t FBuffer = 0;
  unsigned FHave = 0;
  std::uint64_t FTaken = 0;
};

// One of a block's Huffman codes, canonical as bzip2 assigns them: by length, then by symbol.
struct THuffman {
  // For the first FastBits bits: the symbol shifted left 5, or'ed with the code's length; 0
  // for a code longer than that (or none, when the code leaves bit patterns unused).
  std::uint16_t Fast[1u << FastBits];
  // For each length, the end of its codes, aligned on MaxCodeLength bits, and where they
  // start among the symbols sorted by code.
  std::uint32_t Limit[MaxCodeLength + 1];
  std::uint32_t First[MaxCodeLength + 1];
  std::uint16_t Offset[MaxCodeLength + 1];
  std::uint16_t Symbols[MaxAlphabet];

  // False for lengths that give more codes than bits can tell apart.
  bool Build(const unsigned char* lengths, unsigned alphabet) {
    std::array<std::uint16_t, MaxCodeLength + 1> count{};
    for (unsigned s = 0; s < alphabet; ++s) ++count[lengths[s]];
    std::uint32_t code = 0;
    unsigned index = 0;
    std::array<std::uint32_t, MaxCodeLength + 1> next{};
    for (unsigned len = 1; len <= MaxCodeLength; ++len) {
      First[len] = next[len] = code;
      Offset[len] = std::uint16_t(index);
      code += count[len];
      index += count[len];
      if (code > (std::uint32_t(1) << len)) return false;
      Limit[len] = code << (MaxCodeLength - len);
      code <<= 1;
    }
    std::memset(Fast, 0, sizeof Fast);
    for (unsigned s = 0; s < alphabet; ++s) {
      const unsigned len = lengths[s];
      const std::uint32_t c = next[len]++;
      Symbols[Offset[len] + (c - First[len])] = std::uint16_t(s);
      if (len <= FastBits) {
        const unsigned span = 1u << (FastBits - len);
        std::fill_n(Fast + (c << (FastBits - len)), span, std::uint16_t((s << 5) | len));
      }
    }
    return true;
  }

  // The next symbol, or -1 for bits that are no code. The reader holds 20 bits or more.
  int Decode(TBitReader& in) const {
    const unsigned e = Fast[in.Peek(FastBits)];
    if (e != 0) {
      in.Skip(e & 31);
      return int(e >> 5);
    }
    const std::uint32_t v = in.Peek(MaxCodeLength);
    for (unsigned len = FastBits + 1; len <= MaxCodeLength; ++len) {
      if (v < Limit[len]) {
        in.Skip(len);
        return Symbols[Offset[len] + ((v >> (MaxCodeLength - len)) - First[len])];
      }
    }
    return -1;
  }
};

}  // namespace

TBlockCrc::TBlockCrc() {
  for (std::uint32_t b = 0; b < 256; ++b) {
    std::uint32_t c = b << 24;
    for (int k = 0; k < 8; ++k) c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
    FTable[0][b] = c;
  }
  for (int k = 1; k < 8; ++k) {
    for (std::uint32_t b = 0; b < 256; ++b)
      FTable[k][b] = (FTable[k - 1][b] << 8) ^ FTable[0][FTable[k - 1][b] >> 24];
  }
}

std::uint32_t TBlockCrc::Update(std::uint32_t crc, const unsigned char* bytes,
                                std::size_t count) const {
  const auto& t = FTable;
  for (; count >= 8; bytes += 8, count -= 8) {
    const std::uint32_t a = crc ^ LoadBigEndian32(bytes);
    crc = t[7][a >> 24] ^ t[6][(a >> 16) & 0xFF] ^ t[5][(a >> 8) & 0xFF] ^ t[4][a & 0xFF] ^
          t[3][bytes[4]] ^ t[2][bytes[5]] ^ t[1][bytes[6]] ^ t[0][bytes[7]];
  }
  for (; count > 0; ++bytes, --count) crc = (crc << 8) ^ t[0][(crc >> 24) ^ *bytes];
  return crc;
}

struct TBlockDecoder::TTables {
  std::array<THuffman, MaxGroups> Codes;
  std::array<unsigned char, MaxSelectors> Selectors;
  std::array<unsigned char, MaxAlphabet> Lengths;
  TFrontList<TNativeWords> Front;
};

TBlockDecoder::TBlockDecoder() : FTables(std::make_unique<TTables>()) {}
TBlockDecoder::~TBlockDecoder() = default;

// The block up to its inverse transform: its header, its tables and its symbols, each byte
// of the transformed text in FTt. It reads exactly as libbz2 does, and refuses what libbz2
// refuses.
bool TBlockDecoder::Read(std::span<const unsigned char> bytes, unsigned shift, std::uint64_t bits,
                         int level) {
  FRead = false;
  if (level < 1 || level > 9) return false;
  const std::uint32_t most = std::uint32_t(level) * 100000;
  if (FCapacity < most) {
    FTt = std::make_unique_for_overwrite<std::uint32_t[]>(most);
    FCapacity = most;
  }
  TBitReader in(bytes, shift);
  if (in.Get(24) != (BlockMagic >> 24) || in.Get(24) != (BlockMagic & 0xFFFFFF)) return false;
  FStoredCrc = in.Get(32);
  if (in.Get(1) != 0) return false;  // randomised, as no bzip2 of this century writes
  FOrigin = in.Get(24);

  std::array<unsigned char, 256> used;
  unsigned inUse = 0;
  const std::uint32_t ranges = in.Get(16);
  for (unsigned i = 0; i < 16; ++i) {
    if ((ranges & (0x8000u >> i)) == 0) continue;
    const std::uint32_t map = in.Get(16);
    for (unsigned j = 0; j < 16; ++j) {
      if (map & (0x8000u >> j)) used[inUse++] = static_cast<unsigned char>(i * 16 + j);
    }
  }
  if (inUse == 0) return false;
  const unsigned alphabet = inUse + 2;

  const unsigned groups = in.Get(3);
  if (groups < 2 || groups > MaxGroups) return false;
  const unsigned selectors = in.Get(15);
  if (selectors < 1 || selectors > MaxSelectors) return false;
  {
    std::array<unsigned char, MaxGroups> order = {0, 1, 2, 3, 4, 5};
    for (unsigned i = 0; i < selectors; ++i) {
      unsigned j = 0;
      while (in.Get(1) != 0) {
        if (++j >= groups) return false;
      }
      const unsigned char g = order[j];
      for (; j > 0; --j) order[j] = order[j - 1];
      order[0] = g;
      FTables->Selectors[i] = g;
    }
  }
  for (unsigned t = 0; t < groups; ++t) {
    unsigned length = in.Get(5);
    for (unsigned s = 0; s < alphabet; ++s) {
      for (;;) {
        if (length < 1 || length > MaxCodeLength) return false;
        if (in.Get(1) == 0) break;
        length = in.Get(1) == 0 ? length + 1 : length - 1;
      }
      FTables->Lengths[s] = static_cast<unsigned char>(length);
    }
    if (!FTables->Codes[t].Build(FTables->Lengths.data(), alphabet)) return false;
  }

  // The move-to-front values, and the runs of the front byte that RUNA and RUNB count in
  // bijective base 2 (RUNA one, RUNB two, each weighing twice the one before).
  std::uint32_t* const tt = FTt.get();
  std::array<std::uint32_t, 256> counts{};
  TFrontList<TNativeWords>& front = FTables->Front;
  front.Reset(used.data(), inUse);
  const unsigned end = inUse + 1;
  std::uint32_t n = 0, run = 0, weight = 1;
  unsigned group = 0, left = 0;
  const THuffman* code = nullptr;
  for (;;) {
    if (left == 0) {
      if (group >= selectors || in.Taken() > bits) return false;
      code = &FTables->Codes[FTables->Selectors[group++]];
      left = GroupSize;
    }
    --left;
    in.Need(MaxCodeLength);
    const int symbol = code->Decode(in);
    if (symbol < 0) return false;
    if (symbol <= 1) {
      if (weight >= MaxRunWeight) return false;
      run += weight << symbol;
      weight <<= 1;
      continue;
    }
    if (weight > 1) {
      if (run > most - n) return false;
      const unsigned char b = front.Front();
      counts[b] += run;
      std::fill_n(tt + n, run, std::uint32_t(b));
      n += run;
      run = 0;
      weight = 1;
    }
    if (unsigned(symbol) == end) break;
    if (n >= most) return false;
    const unsigned at = unsigned(symbol) - 1;
    const unsigned char b = front.Take(at);
    ++counts[b];
    tt[n++] = b;
  }
  // The block must end where the next magic was found: anything else was no block.
  if (in.Taken() != bits || FOrigin >= n) return false;
  FCount = n;
  FRead = true;

  // Each byte learns where the next byte of the text is: the inverse transform.
  std::uint32_t sum = 0;
  for (std::uint32_t& c : counts) {
    const std::uint32_t here = c;
    c = sum;
    sum += here;
  }
  for (std::uint32_t i = 0; i < n; ++i) tt[counts[tt[i] & 0xFF]++] |= i << 8;
  return true;
}

std::size_t TBlockDecoder::TextRoom() const {
  return ((FCount + Chunk - 1) / Chunk + ChainCount()) * Chunk;
}

bool TBlockDecoder::Untransform(std::span<unsigned char> text) {
  if (!FRead || text.size() < TextRoom()) return false;
  FRead = false;
  if (!Untransform(text.data())) return false;
  CopyBytes(text.data(), reinterpret_cast<const unsigned char*>(FTt.get()), FCount);
  return true;
}

// The text is the chain of links from the original rotation on. Each step waits for the
// memory of the one before, at a place no cache foresees: walked as one chain, the processor
// would idle through most of it. So it is walked as several at once, from starts spread over
// the block, each until it reaches the start of another; the pieces, put in the order of that
// one chain, are the text. Each piece goes into chunks taken as it grows, so that all of them
// together need the text's size and a chunk each. Every chain ends: the links are a
// permutation, and each cycle of it leads back to the start it was entered from.
// The chains' pieces go to Pool, TextRoom() bytes; the text, put together, into the links'
// memory, which has served by then.
bool TBlockDecoder::Untransform(unsigned char* pool) {
  constexpr std::uint32_t Mark = 0x80000000u;  // on the links of the starts
  constexpr std::uint32_t Link = 0x0FFFFF00u;  // the next byte's position, shifted by 8
  std::uint32_t* const tt = FTt.get();
  const std::uint32_t n = FCount;
  const unsigned chains = ChainCount();
  const std::size_t chunks = TextRoom() / Chunk;
  if (FChunks < chunks) {
    FNextChunk = std::make_unique_for_overwrite<std::uint32_t[]>(chunks);
    FChunks = chunks;
  }
  struct TChain {
    std::uint32_t Start, At, Length = 0, Next = 0;
    unsigned char *Out, *End;
    std::uint32_t FirstChunk, LastChunk;
  };
  std::array<TChain, Chains> chain;
  std::array<unsigned, Chains> running;
  std::size_t used = 0;
  for (unsigned c = 0; c < chains; ++c) {
    std::uint32_t start = c == 0 ? tt[FOrigin] >> 8 : std::uint32_t(std::uint64_t(n) * c / chains);
    if (c > 0 && start == chain[0].Start) ++start;
    chain[c].Start = chain[c].At = start;
    chain[c].FirstChunk = chain[c].LastChunk = std::uint32_t(used);
    chain[c].Out = pool + used * Chunk;
    chain[c].End = chain[c].Out + Chunk;
    ++used;
    running[c] = c;
  }
  for (unsigned c = 0; c < chains; ++c) tt[chain[c].Start] |= Mark;
  // Each chain's first step is its own start, and does not end it.
  for (unsigned c = 0; c < chains; ++c) {
    const std::uint32_t e = tt[chain[c].At];
    *chain[c].Out++ = static_cast<unsigned char>(e);
    chain[c].At = (e & Link) >> 8;
    chain[c].Length = 1;
  }
  unsigned active = chains;
  while (active > 0) {
    for (unsigned i = 0; i < active;) {
      TChain& c = chain[running[i]];
      const std::uint32_t e = tt[c.At];
      if (e & Mark) {
        c.Next = c.At;
        running[i] = running[--active];
        continue;
      }
      if (c.Out == c.End) {
        // Chains that never reach a start (links that are no single cycle) run out of chunks.
        if (used == chunks) return false;
        FNextChunk[c.LastChunk] = std::uint32_t(used);
        c.LastChunk = std::uint32_t(used);
        c.Out = pool + used * Chunk;
        c.End = c.Out + Chunk;
        ++used;
      }
      *c.Out++ = static_cast<unsigned char>(e);
      c.At = (e & Link) >> 8;
      ++c.Length;
      ++i;
    }
  }
  // The pieces in the text's order, into the links' memory, which has served, each leading to
  // the next start, until the chain is back at the first. Links of a text that repeats
  // itself (a block of a shorter text, copied over and over) form several cycles rather than
  // one; the chain from the original rotation then goes round its own as often as the block
  // is long, as libbz2 follows it.
  auto* const text = reinterpret_cast<unsigned char*>(tt);
  std::uint32_t written = 0;
  unsigned c = 0;
  for (unsigned k = 0;; ++k) {
    if (k == chains) return false;
    const TChain& piece = chain[c];
    if (piece.Length > n - written) return false;
    std::uint32_t left = piece.Length;
    for (std::uint32_t at = piece.FirstChunk;; at = FNextChunk[at]) {
      const std::uint32_t m = std::min<std::uint32_t>(left, Chunk);
      CopyBytes(text + written, pool + std::size_t(at) * Chunk, m);
      written += m;
      left -= m;
      if (left == 0) break;
    }
    unsigned next = 0;
    while (next < chains && chain[next].Start != piece.Next) ++next;
    if (next == chains) return false;
    if (next == 0) break;
    c = next;
  }
  for (std::uint32_t cycle = written; written < n;) {
    const std::uint32_t m = std::min(cycle, n - written);
    CopyBytes(text + written, text + written - cycle, m);
    written += m;
  }
  return true;
}

TBlockResult ExpandText(std::span<const unsigned char> text, std::uint32_t storedCrc,
                        const TBlockCrc& blockCrc, TBlockOutput& output, std::size_t piece,
                        TPacedPump* pump) {
  const std::size_t n = text.size();
  std::size_t read = 0;
  int last = -1;
  unsigned same = 0;     // how many times Last came in a row
  std::size_t more = 0;  // copies of Last still to write for a count
  std::uint32_t crc = 0xFFFFFFFFu;
  while (read < n || more > 0) {
    const std::span<char> room = output.Room();
    if (room.empty()) return TBlockResult::Stopped;
    const std::size_t size = std::min(room.size(), piece);
    auto* const out = reinterpret_cast<unsigned char*>(room.data());
    std::size_t k = 0;
    while (k < size) {
      if (more > 0) {
        const std::size_t m = std::min(more, size - k);
        FillBytes(out + k, static_cast<unsigned char>(last), m);
        k += m;
        more -= m;
        continue;
      }
      if (read == n) break;
      const unsigned char b = text[read++];
      if (same == 4) {
        more = b;
        same = 0;
        continue;
      }
      if (b == last) {
        ++same;
      } else {
        last = b;
        same = 1;
      }
      out[k++] = b;
    }
    crc = blockCrc.Update(crc, out, k);
    output.Commit(k);
    if (pump) pump->Tick();
  }
  // Four equal bytes at the very end want a count that is not there.
  if (same == 4 || ~crc != storedCrc) return TBlockResult::Failed;
  return TBlockResult::Done;
}

}  // namespace payload
