// The move-to-front list of a bzip2 block's decoder: the byte values in the order of their
// last use, where a value is taken by its place and moves to the front.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace payload {

// The words a list moves its bytes by. The shifts take a word's first byte as its lowest, as
// x86 processors store them.
static_assert(std::endian::native == std::endian::little);

struct TWords64 {
  using TWord = std::uint64_t;
  static TWord Load(const unsigned char* p) {
    TWord v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  static void Store(unsigned char* p, TWord v) { std::memcpy(p, &v, sizeof v); }
  // The bytes of A below Count, those of B from Count on.
  static TWord Blend(TWord a, TWord b, unsigned count) {
    const TWord mask = count == 0 ? 0 : ~TWord(0) >> (8 * (sizeof(TWord) - count));
    return (a & mask) | (b & ~mask);
  }
  static TWord ShiftUp(TWord v) { return v << 8; }
  static TWord ShiftDown(TWord v) { return v >> 8; }
};

#if defined(__SSE2__)
struct TWordsSse2 {
  using TWord = __m128i;
  static TWord Load(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  }
  static void Store(unsigned char* p, TWord v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
  }
  static TWord Blend(TWord a, TWord b, unsigned count) {
    const __m128i k = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i mask = _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(count)), k);
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
  }
  static TWord ShiftUp(TWord v) { return _mm_slli_si128(v, 1); }
  static TWord ShiftDown(TWord v) { return _mm_srli_si128(v, 1); }
};
#endif

// The i686 product keeps to processors without SSE2: it moves eight bytes at a time.
// BZIP2_WORDS64 makes a build that has SSE2 decode the same way, so that the tests and the
// fuzz target run the product's list.
#if defined(__SSE2__) && !defined(BZIP2_WORDS64)
using TNativeWords = TWordsSse2;
#else
using TNativeWords = TWords64;
#endif

// The list lives in a buffer longer than itself, so that its front can move down: a value in
// the list's first half is taken out by moving those before it one place up; one in its
// second half, by moving those after it one place down, and it goes in front of the list, one
// place lower. No more than half the list ever moves. The moves are inline: on the system's
// older libraries a call to memmove costs more than the move. Bytes past the list's end are
// read, and written back as they were, so that short moves take no loop.
template <class W>
class TFrontList {
 public:
  // At most 256 values.
  void Reset(const unsigned char* values, unsigned count) {
    FCount = count;
    FFront = Room - count;
    std::copy_n(values, count, FBytes + FFront);
  }
  unsigned char Front() const { return FBytes[FFront]; }
  // The value At places from the front (below the count), which moves to the front.
  unsigned char Take(unsigned at) {
    unsigned char* p = FBytes + FFront;
    const unsigned char b = p[at];
    if (at <= FCount - 1 - at) {
      MoveUp(p, at);
      p[0] = b;
      return b;
    }
    if (FFront == 0) {
      FFront = Room - FCount;
      std::copy_n(p, FCount, FBytes + FFront);
      p = FBytes + FFront;
    }
    MoveDown(p + at, FCount - 1 - at);
    FBytes[--FFront] = b;
    return b;
  }

 private:
  using TWord = typename W::TWord;
  static constexpr unsigned Room = 4096;
  static constexpr unsigned Step = sizeof(TWord);
  static constexpr unsigned Margin = Step;  // read and written back past the list's end
  static constexpr unsigned MostWords = 128 / Step + 1;  // for a move of up to half the list

  // Bytes [0, Count) of P one place up, to [1, Count + 1); P[0] is left undefined. Every word
  // is loaded before the first is stored, so the words may overlap.
  static void MoveUp(unsigned char* p, unsigned count) {
    if (count < Step) {
      const TWord v = W::Load(p);
      W::Store(p, W::Blend(W::ShiftUp(v), v, count + 1));
      return;
    }
    TWord v[MostWords];
    unsigned k = 0;
    for (unsigned at = count; at >= Step;) {
      at -= Step;
      v[k++] = W::Load(p + at);
    }
    if (count % Step != 0) v[k++] = W::Load(p);
    for (unsigned i = 0, at = count; i < k; ++i) {
      at = at >= Step ? at - Step : 0;
      W::Store(p + at + 1, v[i]);
    }
  }
  // Bytes [1, Count + 1) of P one place down, to [0, Count).
  static void MoveDown(unsigned char* p, unsigned count) {
    if (count < Step) {
      const TWord v = W::Load(p);
      W::Store(p, W::Blend(W::ShiftDown(v), v, count));
      return;
    }
    TWord v[MostWords];
    unsigned k = 0;
    for (unsigned at = 0; at + Step <= count; at += Step) v[k++] = W::Load(p + 1 + at);
    if (count % Step != 0) v[k++] = W::Load(p + 1 + count - Step);
    for (unsigned i = 0, at = 0; i < k; ++i, at += Step)
      W::Store(p + std::min(at, count - Step), v[i]);
  }

  unsigned char FBytes[Room + Margin] = {};
  unsigned FFront = Room, FCount = 0;
};

}  // namespace payload
