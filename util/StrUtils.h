// Text and CR-list functions shared by the installer, the unpacker, the renderer and the
// message box. Pure text operations: no files, no windows, no state.
#pragma once

#include <cstdint>
#include <string>

#include "rtl/ShortString.h"

namespace util {

// Stands in for an occurrence between the two passes of ReplaceAll.
inline constexpr char Marker = '\x01';
// The placeholder word of ItemAt (index 0) and MaxItemLength.
inline constexpr const char* PlaceholderWord = "Indéfini";

// Replaces every occurrence of Find by Replacement in Target; returns the count.
// Letter case is folded with UpperNoAccent unless ExactCase.
std::int32_t ReplaceAll(const rtl::ShortString& find, const rtl::ShortString& replacement,
                        std::string& target, bool exactCase);
// Bounded form: Target may hold at most Capacity characters (at most 255); every insertion
// is cut there and what is pushed past it is lost, markers included.
std::int32_t ReplaceAll(const rtl::ShortString& find, const rtl::ShortString& replacement,
                        rtl::ShortString& target, int capacity, bool exactCase);

std::string UpperNoAccent(std::string s);
rtl::ShortString LowerAscii(const rtl::ShortString& s);

std::string TrimSpaces(const std::string& s);
void TrimSpacesInPlace(std::string& s);
rtl::ShortString TrimSpaces(const rtl::ShortString& s);
void TrimSpacesInPlace(rtl::ShortString& s);

void NormalizeBreaks(std::string& s);
std::uint16_t ItemCount(std::string list);
std::string ItemAt(std::string list, std::uint16_t index);
std::uint16_t MaxItemLength(std::string list);
std::string StripTags(std::string s);

}  // namespace util
