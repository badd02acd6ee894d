// Paths held in short strings. A text may be cut to the bound, a path may not: a cut path
// names a file nobody asked for. Every path the program builds goes through these, which
// raise the run-time's file error (206, "Nom de fichier ou extension trop long") instead.
#pragma once

#include <cstddef>
#include <string_view>

#include "rtl/ShortString.h"

namespace rtl {

// The longest path a short string holds.
inline constexpr std::size_t MaxPathLength = ShortString::Capacity;
// The longest folder that Windows' CreateDirectoryA makes: it keeps room below MAX_PATH (260)
// for a file name of the 8.3 form, so a folder must stay under 248 characters.
inline constexpr std::size_t MaxFolderLength = 247;
// Windows' ERROR_FILENAME_EXCED_RANGE, the code of the error raised here.
inline constexpr int PathTooLong = 206;

// Path as a short string; EInOutError(206) when it is longer than 255 characters.
ShortString CheckedPath(std::string_view path);

// Folder as a short string that a folder can be created at; EInOutError(206) when it is
// longer than 247 characters.
ShortString CheckedFolder(std::string_view folder);

// Folder, a backslash and Name, checked as CheckedPath. A folder that ends in a backslash (a
// root: "c:\", "\") gets no second one, which would turn "\" + name into the network path
// "\\name"; an empty folder gives "\" + name, in the root of the current drive.
ShortString JoinPath(std::string_view folder, std::string_view name);

}  // namespace rtl
