// What a payload's entry names must be for the installer to write them where they belong:
// the checks of the packing tool, and the Windows-1252 conversions it needs on hosts whose
// file names are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace payload {

// The problem with a stored entry name, or "" when the installer can write it: not empty, at
// most 255 bytes, no character that Windows file names reject (controls, < > : " / | ? *),
// no component that Windows would rename or treat as a device ("." and "..", a trailing
// point or space, CON, NUL, COM1...). A name with a backslash is a path name and must be
// absolute: a drive letter, ":\", then such components, with no doubled backslash.
std::string EntryNameProblem(std::string_view name);

// True when the name holds a backslash, that is, names a full path.
bool IsPathName(std::string_view name);

// Upper case as Windows compares file names, for the letters of Windows-1252.
std::string FoldCase1252(std::string_view name);

// Windows-1252 bytes to UTF-8 and back. A byte without a character in Windows-1252, a text
// that is not UTF-8, or a character outside Windows-1252 gives no result.
std::optional<std::string> Cp1252ToUtf8(std::string_view text);
std::optional<std::string> Utf8ToCp1252(std::string_view text);

}  // namespace payload
