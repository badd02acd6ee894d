// File and folder functions over the ANSI Win32 calls: searches that return CR lists of full
// paths, folder chains, a blocking wait, the open used to stamp file times, and the
// expansion of a short 8.3 name. None keeps state; none shows a window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rtl/ShortString.h"
#include "ui/Win32.h"

namespace util {

// Files of Folder that match Mask, each as Folder + "\" + name + CR. With Recurse, also the
// files of Folder's sub-folders (all levels with AllLevels, else the direct ones only). A
// name that exists as a file in SkipIfIn (when not empty) is left out.
std::string FindFiles(std::string folder, const std::string& mask, bool recurse, bool allLevels,
                      std::string skipIfIn);

// Sub-folders of Folder that match Mask (deeper levels: all of them), depth first, each
// followed by CR, without trailing backslash. Hidden and system folders are left out. With
// MustContain, a folder is listed only when MustContain (a name or a pattern) finds an
// entry in it; its sub-folders are searched either way.
std::string ListFolders(std::string folder, const std::string& mask, bool recursive,
                        const rtl::ShortString& mustContain);

// Creates Path and any missing parent; true only when Path itself was created by this call.
bool CreateFolderChain(const rtl::ShortString& path);

// Waits the given milliseconds on the calling thread without handling window messages.
void Delay(std::int32_t milliseconds);

// Opens Name for reading and writing (others may read), creating an empty file when there
// is none. The caller closes the handle; INVALID_HANDLE_VALUE on failure.
HANDLE OpenReadWrite(const rtl::ShortString& name);

// Replaces a short 8.3 last component by the file's long name; anything else is returned
// as it is.
rtl::ShortString ExpandShortName(const rtl::ShortString& name);

// True when a file (not a folder) exists at Name.
bool FileExists(std::string_view name);

}  // namespace util
