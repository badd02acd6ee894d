// The installer's own executable, opened once as the program starts and held until it ends,
// so that nobody can rename, replace or write it while the program runs. The payload and the
// copy of the installer left in the chosen folder are read through that one handle, never
// again through the executable's path, which could by then name another file.
#pragma once

#include <cstdint>
#include <string>

#include "ui/Win32.h"

namespace installer {

// Opens the executable (once); a failure is kept and reported by the read that follows.
void OpenSelf();

// Where ReadSelf hands each piece it reads, with the context it was given.
using TSelfPut = void (*)(void* context, const char* data, DWORD count);

// Hands Put the Size bytes of the executable's file that start at Offset, a piece at a time
// (Size 0: up to the end of the file). 0 when all went, else the system's error code (100 for
// a file that ends too soon), also when the executable could not be opened. An exception of
// Put travels on.
DWORD ReadSelf(std::uint64_t offset, std::uint64_t size, TSelfPut put, void* context);

// Writes a copy of the executable to Target (created or replaced); false on failure, as
// CopyFileA.
bool CopySelf(const std::string& target);

}  // namespace installer
