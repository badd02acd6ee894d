#include <gtest/gtest.h>

#include <string>

#include "rtl/SysUtils.h"
#include "util/StrUtils.h"

namespace {

using util::ReplaceAll;

struct ReplaceCase {
  std::string find, replacement, target;
  bool exactCase;
  std::string expected;
  int count;
};

TEST(ReplaceAllLong, Cases) {
  const ReplaceCase cases[] = {
      {"a", "aa", "banana", true, "baanaanaa", 3},
      {"an", "", "banana", true, "ba", 2},
      {"aa", "x", "aaa", true, "xa", 1},  // occurrences never overlap
      {"", "x", "abc", true, "abc", 0},
      {"b", "x", "", true, "", 0},
      {"Installation", "MISE à Jour", "Installation", false, "MISE à Jour", 1},
      {"Installation", "MISE à Jour", "Installation de Morvidan", false,
       "MISE à Jour de Morvidan", 1},
      // é folds to E and matches e, é, è, ê, ë and E; É is not folded and not matched.
      {"é", "e", "Été été", false, "Éte ete", 3},
      {"#13", "\r", "a#13b#13", false, "a\rb\r", 2},
      {"x", "y", "X x", true, "X y", 1},
      {"x", "y", "X x", false, "y y", 2},
      // A marker already in the text counts as an occurrence of the second pass.
      {"q", "R", "a\x01q", true, "aRR", 2},
      // A replacement holding the key is never searched again.
      {"ab", "abab", "abab", true, "abababab", 2},
  };
  for (const ReplaceCase& c : cases) {
    SCOPED_TRACE(c.find + " -> " + c.replacement + " in " + c.target);
    std::string t = c.target;
    EXPECT_EQ(ReplaceAll(c.find, c.replacement, t, c.exactCase), c.count);
    EXPECT_EQ(t, c.expected);
  }
}

TEST(ReplaceAllBounded, CapacityCutsInsertions) {
  struct Case {
    std::string find, replacement, target;
    int capacity;
    bool exactCase;
    std::string expected;
    int count;
  };
  const Case cases[] = {
      // The full target loses its last character when the marker goes in.
      {"b", "X", "abcde", 5, true, "aXcd", 1},
      // The second marker is pushed past the capacity: neither replaced nor counted.
      {"A", "BBB", "xAyA", 6, true, "xBBBy", 1},
      {"\\\\", "\\", "c:\\\\Morvidan\\\\MAJ", 255, false, "c:\\Morvidan\\MAJ", 2},
      {"&amp;", "&", "&amp;eacute;", 255, true, "&eacute;", 1},
      {"a", "aa", "banana", 255, true, "baanaanaa", 3},
      {"a", "aa", "banana", 7, true, "baanaa", 2},
      {"", "x", "abc", 255, true, "abc", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target + " cap " + std::to_string(c.capacity));
    rtl::ShortString t = c.target;
    EXPECT_EQ(ReplaceAll(c.find, c.replacement, t, c.capacity, c.exactCase), c.count);
    EXPECT_EQ(t.str(), c.expected);
  }
}

// The two passes over markers, step by step, as the reference for the long form, which gets
// the same result in one linear pass.
std::string LiteralReplaceAll(const std::string& find, const std::string& replacement,
                              std::string target, bool exactCase, int& count) {
  const std::string key = exactCase ? find : util::UpperNoAccent(find);
  std::string work = exactCase ? target : util::UpperNoAccent(target);
  for (std::size_t p; !key.empty() && (p = work.find(key)) != std::string::npos;) {
    target.insert(p, 1, util::Marker);
    work.insert(p, 1, util::Marker);
    target.erase(p + 1, find.size());
    work.erase(p + 1, find.size());
  }
  count = 0;
  for (std::size_t m; (m = target.find(util::Marker)) != std::string::npos; ++count) {
    target.insert(m, replacement);
    target.erase(target.find(util::Marker), 1);
  }
  return target;
}

TEST(ReplaceAllLong, AgreesWithTheTwoPassesOnRandomTexts) {
  const std::string alphabet = "aAbB\xE9\xC9" "eE\x01 #13";
  unsigned seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  auto randomText = [&](std::size_t maxLen) {
    std::string s(next() % (maxLen + 1), ' ');
    for (char& c : s) c = alphabet[next() % alphabet.size()];
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    std::string find = randomText(3), replacement = randomText(3), target = randomText(24);
    std::erase(find, util::Marker);
    std::erase(replacement, util::Marker);
    const bool exactCase = next() % 2;
    int expectedCount = 0;
    const std::string expected =
        LiteralReplaceAll(find, replacement, target, exactCase, expectedCount);
    std::string actual = target;
    ASSERT_EQ(ReplaceAll(find, replacement, actual, exactCase), expectedCount)
        << find << "|" << replacement << "|" << target;
    ASSERT_EQ(actual, expected) << find << "|" << replacement << "|" << target;
  }
}

TEST(ReplaceAllLong, MegabyteText) {
  std::string text;
  for (int i = 0; i < 10000; ++i) text += std::string(95, 'x') + "Ab\xE9" + "cd";
  text.resize(1 << 20, 'y');
  std::string t = text;
  EXPECT_EQ(ReplaceAll("ABECD", "<P>", t, false), 10000);
  EXPECT_EQ(t.size(), text.size() - 10000 * 2);
  EXPECT_EQ(t.substr(95, 5), "<P>xx");
}

TEST(UpperNoAccent, FoldsFrenchSmallLettersOnly) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"Réalisé", "REALISE"},
      {"àâä ç èéêë îï ôö ùûü", "AAA C EEEE II OO UUU"},
      {"Ññ", "Ññ"},
      {"áãåæìíñòóõøúýÿ", "áãåæìíñòóõøúýÿ"},
      {"ÀÉ", "ÀÉ"},
      {"", ""},
      {"abc-XYZ 09", "ABC-XYZ 09"},
  };
  for (const Case& c : cases) EXPECT_EQ(util::UpperNoAccent(c.in), c.out) << c.in;
}

TEST(LowerAscii, CapitalsOnly) { EXPECT_EQ(util::LowerAscii("ABC Éé xY").str(), "abc Éé xy"); }

TEST(TrimSpaces, AllForms) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {{"   ", ""}, {"\tx ", "\tx"}, {"  a b  ", "a b"}, {"", ""},
                        {"\r a \r", "\r a \r"}, {"\xA0x\xA0", "\xA0x\xA0"}};
  for (const Case& c : cases) {
    EXPECT_EQ(util::TrimSpaces(c.in), c.out);
    std::string s = c.in;
    util::TrimSpacesInPlace(s);
    EXPECT_EQ(s, c.out);
    EXPECT_EQ(util::TrimSpaces(rtl::ShortString(c.in)).str(), c.out);
    rtl::ShortString ss = c.in;
    util::TrimSpacesInPlace(ss);
    EXPECT_EQ(ss.str(), c.out);
  }
}

TEST(CRList, NormalizeBreaks) {
  std::string s = "a#13 b#13c#10 d#10e\nf";
  util::NormalizeBreaks(s);
  EXPECT_EQ(s, "a\rb\rcdef");
}

TEST(CRList, ItemCountAndItemAt) {
  struct Case {
    std::string list;
    int count;
    int index;
    std::string item;
  };
  const Case cases[] = {
      {"A#13B#13", 2, 2, "B"},
      {"A\rB\r", 2, 1, "A"},
      {"A#13B", 1, 2, "B"},
      {"A#13B", 1, 7, "B"},  // past the counted items: the unterminated tail
      {"A\rB\r", 2, 3, ""},
      {"  one #13 two", 1, 2, "two"},  // "#13 " takes its space with it
      {"  one #13 two", 1, 1, "one"},
      {"", 0, 1, ""},
      {"Oui#13Non", 1, 0, "Indéfini"},
      {"x\r(ab)\r", 2, 0, "Indé"},  // a "(" drops the minimum width of 8
      {"a\rb\r(", 2, 0, "I"},
      {std::string(60, 'z') + "\r", 1, 0, "Indéfini" + std::string(49, ' ')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list + " #" + std::to_string(c.index));
    EXPECT_EQ(util::ItemCount(c.list), c.count);
    EXPECT_EQ(util::ItemAt(c.list, static_cast<std::uint16_t>(c.index)), c.item);
  }
}

TEST(CRList, ItemCountOverflowsPast65535) {
  EXPECT_EQ(util::ItemCount(std::string(65535, '\r')), 65535);
  EXPECT_THROW(util::ItemCount(std::string(65536, '\r')), rtl::EIntOverflow);
}

TEST(CRList, MaxItemLength) {
  struct Case {
    std::string list;
    int length;
  };
  const Case cases[] = {
      {"Oui#13Non", 8},        // the placeholder's width; the unterminated "Non" is not counted
      {"a\r(b)\r", 3},         // a "(" anywhere drops the minimum of 8
      {"<B>Annuler et quitter</B>\r", 18},  // tags do not count
      {"", 8},
  };
  for (const Case& c : cases) EXPECT_EQ(util::MaxItemLength(c.list), c.length) << c.list;
}

TEST(StripTags, Cases) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"<B>mot</B>", "mot"},
      {"a<P>b", "a\rb"},
      {"a>b<c", "abc"},  // the stray ">" goes first, then the lone "<"
      {"<p align=center>x", "\rx"},
      {"</P>x", "x"},  // a closing tag leaves no CR
      {"<", ""},
      {"<<B>>", ">"},
  };
  for (const Case& c : cases) EXPECT_EQ(util::StripTags(c.in), c.out) << c.in;
}

}  // namespace
