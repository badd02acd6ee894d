// Bounded byte strings: the "short string" of the system, at most 255 CP1252 characters.
// Every operation that could make the text longer cuts it to the bound, so callers never
// have to remember a substr.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace rtl {

template <std::size_t Bound = 255>
class TBoundedString {
public:
  static constexpr std::size_t Capacity = Bound;

  TBoundedString() = default;
  TBoundedString(std::string_view s) : FText(s.substr(0, std::min(s.size(), Bound))) {}
  TBoundedString(const char* s) : TBoundedString(std::string_view(s)) {}
  TBoundedString(const std::string& s) : TBoundedString(std::string_view(s)) {}

  const std::string& str() const { return FText; }
  operator const std::string&() const { return FText; }
  operator std::string_view() const { return FText; }
  const char* c_str() const { return FText.c_str(); }

  std::size_t size() const { return FText.size(); }
  std::size_t length() const { return FText.size(); }
  bool empty() const { return FText.empty(); }
  char operator[](std::size_t i) const { return FText[i]; }
  char& operator[](std::size_t i) { return FText[i]; }

  TBoundedString& operator+=(std::string_view s) {
    FText.append(s.substr(0, std::min(s.size(), Bound - FText.size())));
    return *this;
  }
  TBoundedString& operator+=(char c) {
    if (FText.size() < Bound) FText.push_back(c);
    return *this;
  }

  // Inserts at a 1-based position, as the system's texts count; what is pushed past the
  // bound is lost.
  void Insert(std::string_view s, std::size_t pos1) {
    if (pos1 < 1) pos1 = 1;
    if (pos1 > FText.size() + 1) pos1 = FText.size() + 1;
    FText.insert(pos1 - 1, s);
    if (FText.size() > Bound) FText.resize(Bound);
  }
  // Deletes Count characters from the 1-based position; out-of-range parts are ignored.
  void Delete(std::size_t pos1, std::size_t count) {
    if (pos1 < 1 || pos1 > FText.size()) return;
    FText.erase(pos1 - 1, count);
  }
  void SetLength(std::size_t n) { FText.resize(std::min(n, Bound)); }

  friend TBoundedString operator+(TBoundedString a, std::string_view b) { return a += b; }
  friend TBoundedString operator+(TBoundedString a, char b) { return a += b; }
  friend TBoundedString operator+(std::string_view a, const TBoundedString& b) {
    TBoundedString r(a);
    return r += b.str();
  }
  friend bool operator==(const TBoundedString& a, std::string_view b) { return a.FText == b; }

private:
  std::string FText;
};

using ShortString = TBoundedString<255>;

}  // namespace rtl
