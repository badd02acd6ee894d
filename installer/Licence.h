// The licence agreement that the wizard shows on its second page, in CP1252 bytes.
#pragma once

#include <array>
#include <string>

namespace installer {

// The agreement line by line, as the memo shows it: each line fits the memo's width, so
// none is wrapped.
extern const std::array<const char*, 33> LicenceLines;

// The whole agreement, its lines separated by CR LF (a last one would add an empty line).
std::string LicenceText();

}  // namespace installer
