#include "util/StrUtils.h"

#include <algorithm>
#include <cstring>

#include "rtl/SysUtils.h"

namespace util {

namespace {

constexpr char CR = '\r';

// Insert and Delete with the system's 1-based positions: an insertion past the end appends,
// a deletion that starts outside the text does nothing.
void InsertAt(std::string& s, std::string_view what, std::size_t pos1) {
  pos1 = std::clamp<std::size_t>(pos1, 1, s.size() + 1);
  s.insert(pos1 - 1, what);
}

void DeleteAt(std::string& s, std::size_t pos1, std::size_t count) {
  if (pos1 < 1 || pos1 > s.size()) return;
  s.erase(pos1 - 1, count);
}

void Cut(std::string& s, std::size_t capacity) {
  if (s.size() > capacity) s.resize(capacity);
}

}  // namespace

namespace {

// The folding of UpperNoAccent, one entry per Windows-1252 byte.
struct TFoldTable {
  char Map[256];
  // Whether only the character itself folds to it: then a folded search for it is an exact
  // one ("#13" and every other key without letters).
  bool Alone[256];
  constexpr TFoldTable() : Map(), Alone() {
    for (int c = 0; c < 256; ++c) Map[c] = static_cast<char>(c);
    for (int c = 'a'; c <= 'z'; ++c) Map[c] = static_cast<char>(c - 'a' + 'A');
    for (int c : {0xE0, 0xE2, 0xE4}) Map[c] = 'A';              // à â ä
    Map[0xE7] = 'C';                                            // ç
    for (int c : {0xE8, 0xE9, 0xEA, 0xEB}) Map[c] = 'E';        // è é ê ë
    for (int c : {0xEE, 0xEF}) Map[c] = 'I';                    // î ï
    for (int c : {0xF4, 0xF6}) Map[c] = 'O';                    // ô ö
    for (int c : {0xF9, 0xFB, 0xFC}) Map[c] = 'U';              // ù û ü
    for (int c = 0; c < 256; ++c) {
      int preimages = 0;
      for (int x = 0; x < 256; ++x) preimages += static_cast<unsigned char>(Map[x]) == c;
      Alone[c] = preimages == 1 && static_cast<unsigned char>(Map[c]) == c;
    }
  }
};
constexpr TFoldTable FoldTable;

}  // namespace

std::string UpperNoAccent(std::string s) {
  for (char& c : s) c = FoldTable.Map[static_cast<unsigned char>(c)];
  return s;
}

namespace {

// Position of the first occurrence of Key (already folded unless exactCase) in Text from Pos,
// comparing Text's characters folded as UpperNoAccent folds them, without a folded copy.
std::size_t FindKey(const std::string& text, const std::string& key, std::size_t pos,
                    bool exactCase) {
  if (exactCase) return text.find(key, pos);
  bool plain = true;
  for (char c : key) plain = plain && FoldTable.Alone[static_cast<unsigned char>(c)];
  if (plain) return text.find(key, pos);
  const std::size_t n = text.size(), k = key.size();
  for (std::size_t i = pos; i + k <= n; ++i) {
    std::size_t j = 0;
    while (j < k && FoldTable.Map[static_cast<unsigned char>(text[i + j])] == key[j]) ++j;
    if (j == k) return i;
  }
  return std::string::npos;
}

}  // namespace

// The long form gives exactly what the two passes over markers give, in one linear pass: an
// occurrence never contains a marker, so searching again from the start after turning one
// into a marker finds the same occurrences as going on from behind it. Example, "a" by "aa"
// in "banana": the first pass makes b#n#n# (# the marker), the second baanaanaa, count 3.
std::int32_t ReplaceAll(const rtl::ShortString& find, const rtl::ShortString& replacement,
                        std::string& target, bool exactCase) {
  const std::string key = exactCase ? find.str() : UpperNoAccent(find.str());
  if (key.find(Marker) != std::string::npos) {
    // A key holding the marker itself: the first pass as it stands, then the second below.
    std::string work = exactCase ? target : UpperNoAccent(target);
    for (std::size_t p; (p = work.find(key)) != std::string::npos;) {
      target.replace(p, find.size(), 1, Marker);
      work.replace(p, find.size(), 1, Marker);
    }
  }

  std::string out;
  out.reserve(target.size());
  std::int32_t count = 0;
  // Copies Target from..to, replacing the markers found there: those present before the call
  // are occurrences of the second pass too.
  auto copyPlain = [&](std::size_t from, std::size_t to) {
    while (const void* hit = std::memchr(target.data() + from, Marker, to - from)) {
      const auto m = static_cast<std::size_t>(static_cast<const char*>(hit) - target.data());
      out.append(target, from, m - from);
      out += replacement.str();
      ++count;
      from = m + 1;
    }
    out.append(target, from, to - from);
  };
  std::size_t pos = 0;
  if (!key.empty() && key.find(Marker) == std::string::npos) {
    for (std::size_t hit; (hit = FindKey(target, key, pos, exactCase)) != std::string::npos;
         pos = hit + key.size()) {
      copyPlain(pos, hit);
      out += replacement.str();
      ++count;
    }
  }
  copyPlain(pos, target.size());
  target = std::move(out);
  return count;
}

// The bounded form follows the two passes literally: its texts are at most 255 characters,
// and the cuts at Capacity decide which occurrences survive.
std::int32_t ReplaceAll(const rtl::ShortString& find, const rtl::ShortString& replacement,
                        rtl::ShortString& target, int capacity, bool exactCase) {
  const std::size_t cap = static_cast<std::size_t>(std::clamp(capacity, 0, 255));
  const std::string key = exactCase ? find.str() : UpperNoAccent(find.str());
  std::string tgt = target.str();
  Cut(tgt, cap);
  std::string work = exactCase ? tgt : UpperNoAccent(tgt);
  const std::string_view marker(&Marker, 1);

  if (!key.empty()) {
    for (std::size_t p; (p = work.find(key)) != std::string::npos;) {
      InsertAt(tgt, marker, p + 1);
      Cut(tgt, cap);
      InsertAt(work, marker, p + 1);
      DeleteAt(tgt, p + 2, find.size());
      DeleteAt(work, p + 2, find.size());
    }
  }
  std::int32_t count = 0;
  for (std::size_t m; (m = tgt.find(Marker)) != std::string::npos;) {
    InsertAt(tgt, replacement.str(), m + 1);
    Cut(tgt, cap);
    const std::size_t first = tgt.find(Marker);  // none left when the cut took it
    if (first != std::string::npos) tgt.erase(first, 1);
    ++count;
  }
  target = tgt;
  return count;
}

rtl::ShortString LowerAscii(const rtl::ShortString& s) {
  std::string r = s.str();
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

std::string TrimSpaces(const std::string& s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

void TrimSpacesInPlace(std::string& s) { s = TrimSpaces(s); }

rtl::ShortString TrimSpaces(const rtl::ShortString& s) { return TrimSpaces(s.str()); }

void TrimSpacesInPlace(rtl::ShortString& s) { s = TrimSpaces(s.str()); }

void NormalizeBreaks(std::string& s) {
  ReplaceAll("#13 ", "\r", s, false);
  ReplaceAll("#13", "\r", s, false);
  ReplaceAll("#10 ", "", s, false);
  ReplaceAll("#10", "", s, false);
  ReplaceAll("\n", "", s, false);
}

std::uint16_t ItemCount(std::string list) {
  NormalizeBreaks(list);
  return rtl::CheckedWord(std::count(list.begin(), list.end(), CR));
}

std::string ItemAt(std::string list, std::uint16_t index) {
  if (index == 0) {
    std::string word = std::string(PlaceholderWord) + std::string(49, ' ');
    word.resize(std::min<std::size_t>(word.size(), MaxItemLength(list)));
    return word;
  }
  NormalizeBreaks(list);
  std::size_t from = 0;
  for (std::uint16_t i = 1; i < index; ++i) {
    const std::size_t cr = list.find(CR, from);
    if (cr == std::string::npos) break;
    from = cr + 1;
  }
  const std::size_t cr = list.find(CR, from);
  return TrimSpaces(list.substr(from, cr == std::string::npos ? std::string::npos : cr - from));
}

std::uint16_t MaxItemLength(std::string list) {
  NormalizeBreaks(list);
  std::size_t max = list.find('(') == std::string::npos ? std::string(PlaceholderWord).size() : 0;
  const std::uint16_t count = ItemCount(list);
  std::size_t from = 0;
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::size_t cr = list.find(CR, from);
    max = std::max(max, StripTags(list.substr(from, cr - from)).size());
    from = cr + 1;
  }
  return static_cast<std::uint16_t>(std::min<std::size_t>(max, 0xFFFF));
}

std::string StripTags(std::string s) {
  for (std::size_t lt; (lt = s.find('<')) != std::string::npos;) {
    std::size_t p = lt + 1;  // 1-based position of the "<"
    if (p < s.size() && UpperNoAccent(std::string(1, s[p]))[0] == 'P') {
      InsertAt(s, "\r", p);
      ++p;
    }
    const std::size_t gt = s.find('>');
    if (gt != std::string::npos && p < gt + 1) {
      DeleteAt(s, p, gt + 1 - p + 1);
    } else if (gt != std::string::npos) {
      s.erase(gt, 1);
    } else {
      DeleteAt(s, p, 1);
    }
  }
  return s;
}

}  // namespace util
