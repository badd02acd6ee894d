// The unpacker's rules that need no file system: its texts, the temporary container's name,
// where each entry goes, and the percentage shown for it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dialogs/ProgressionTexts.h"
#include "rtl/Paths.h"
#include "rtl/ShortString.h"

namespace payload {

// The interruption mark that the progress window leaves in its status line, and the neutral
// text put back after each entry: the window's own constants, shared.
inline constexpr const char* InterruptionMark = dialogs::kInterruptMark;
inline constexpr const char* DoneText = dialogs::kDoneText;

inline constexpr const char* ProgressCaption = "Déconcaténation de ";
inline constexpr const char* ProgressTitle = "Extraction des fichiers de l'archive ";
inline constexpr const char* ProgressEntry = "Extraction de ";

inline constexpr const char* RefusalTitle = "Interruption Interdite";
inline constexpr const char* RefusalText =
    "<BLOCKQUOTE><FONT COLOR=#FF0000><B>L'Interruption est Interdite</FONT></BLOCKQUOTE>"
    "<P><FONT COLOR=#FF SIZE=12>Le traitement va être maintenu</FONT>";
inline constexpr const char* RefusalButtons = "Ok";

inline constexpr const char* ContainerExtension = ".CTN";
inline constexpr const char* SpareExtension = ".TMP";
// The update sub-folder's name, as it is looked for in the container's folder.
inline constexpr const char* UpdateFolder = "MAJ";

// The folder part of a path: everything before the last backslash, except that a root
// ("c:\", "\") keeps its backslash. "c:\Morvidan\a.txt" gives "c:\Morvidan", "c:\a.txt"
// gives "c:\", "a.txt" gives "".
rtl::ShortString FolderPart(const rtl::ShortString& path);

// The extension of the last component, from its last point on ("" when it has none).
rtl::ShortString ExtensionPart(const rtl::ShortString& path);

// The temporary container beside a payload file: the path without the payload file's own
// extension, then ".CTN", or ".TMP" when that extension (cut to four characters) is ".CTN"
// already, so that the container never replaces the payload file. A path without extension
// keeps its whole name: "c:\x\payload" gives "c:\x\payload.CTN". A name that does not fit
// raises the file error (206).
rtl::ShortString ContainerPathFor(const rtl::ShortString& archivePath);

// Where an entry is written, for a container in Folder (see the .cpp for the rules). A target
// longer than 255 characters, or a path name whose folder is too long to be made, raises the
// file error (206): the unpacker asks this of every entry before it writes the first.
rtl::ShortString EntryTarget(const rtl::ShortString& folder, const rtl::ShortString& storedName);

// Folder + "\" + name, checked: the run-time's one join of paths.
using rtl::JoinPath;

// Inserts "MAJ\" into a path name after the second backslash of Folder; raises the file
// error (206) when the four characters would take it past 255.
void InsertUpdateFolder(const rtl::ShortString& folder, rtl::ShortString& target);

// The position shown while entry Index (1-based) of Count is written: 100 * Index / Count,
// halves to the even neighbour.
std::int32_t ProgressPercent(std::size_t index, std::size_t count);

}  // namespace payload
