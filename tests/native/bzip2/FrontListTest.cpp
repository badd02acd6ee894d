// The move-to-front list against the plain one it stands for, with either kind of word it
// moves (the i686 product moves eight bytes at a time, the others sixteen): every length of
// list, takes from its front, its end and everywhere between, and long enough runs of takes
// from its second half that its front reaches the start of its buffer and moves back.
#include <gtest/gtest.h>

#include <random>
#include <type_traits>
#include <vector>

#include "bzip2/FrontList.h"

namespace {

using namespace payload;

template <class W>
class FrontListTest : public ::testing::Test {};

#if defined(__SSE2__)
using TWordKinds = ::testing::Types<TWords64, TWordsSse2>;
#else
using TWordKinds = ::testing::Types<TWords64>;
#endif
TYPED_TEST_SUITE(FrontListTest, TWordKinds);

// The build of the decoder that stands for the i686 product must decode with its words.
#if defined(BZIP2_WORDS64)
static_assert(std::is_same_v<TNativeWords, TWords64>);
#endif

TYPED_TEST(FrontListTest, TakesAsThePlainListDoes) {
  struct Case {
    const char* what;
    unsigned count;
    int takes;
    int (*place)(std::mt19937&, unsigned count);  // the place taken
  };
  const std::vector<Case> cases = {
      {"anywhere", 256, 200000, [](std::mt19937& r, unsigned n) { return int(r() % n); }},
      {"the front", 256, 1000, [](std::mt19937&, unsigned) { return 0; }},
      {"the end", 256, 20000, [](std::mt19937&, unsigned n) { return int(n - 1); }},
      {"the second half", 256, 20000,
       [](std::mt19937& r, unsigned n) { return int(n / 2 + r() % (n - n / 2)); }},
      {"near the middle", 255, 20000,
       [](std::mt19937& r, unsigned n) { return int(n / 2 - 1 + r() % 3); }},
      {"short moves", 256, 50000, [](std::mt19937& r, unsigned) { return int(r() % 20); }},
      {"a list of one", 1, 100, [](std::mt19937&, unsigned) { return 0; }},
      {"a list of two", 2, 10000, [](std::mt19937& r, unsigned) { return int(r() % 2); }},
      {"a list of seventeen", 17, 10000, [](std::mt19937& r, unsigned n) { return int(r() % n); }},
  };
  for (const Case& c : cases) {
    std::mt19937 random(c.count);
    std::vector<unsigned char> plain(c.count);
    for (unsigned i = 0; i < c.count; ++i) plain[i] = static_cast<unsigned char>(255 - i * 3);
    TFrontList<TypeParam> list;
    list.Reset(plain.data(), c.count);
    for (int k = 0; k < c.takes; ++k) {
      const unsigned at = unsigned(c.place(random, c.count));
      const unsigned char expected = plain[at];
      plain.erase(plain.begin() + at);
      plain.insert(plain.begin(), expected);
      ASSERT_EQ(list.Take(at), expected) << c.what << ", take " << k << " at " << at;
      ASSERT_EQ(list.Front(), expected) << c.what << ", take " << k;
    }
    // The whole list, in order: taking the last place n times brings it round once.
    for (unsigned i = 0; i < c.count; ++i)
      ASSERT_EQ(list.Take(c.count - 1), plain[c.count - 1 - i]) << c.what << ", place " << i;
  }
}

}  // namespace
