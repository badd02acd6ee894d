// What the file searches of FileUtils.cpp and FolderList.cpp share: the enumeration of a
// pattern as the run-time's FindFirst does it. Not for use outside util/.
#pragma once

#include <string>
#include <string_view>

#include "rtl/Paths.h"
#include "rtl/SysUtils.h"
#include "ui/Win32.h"

namespace util::search {

inline constexpr char CR = '\r';
// The longest path the ANSI calls take: MAX_PATH with its terminator.
inline constexpr std::size_t MaxCallPath = MAX_PATH - 1;
inline constexpr DWORD AnyEntry = 0x3F;
inline constexpr DWORD VolumeLabel = 0x08;

class TFindHandle {
 public:
  explicit TFindHandle(HANDLE h) : FHandle(h) {}
  ~TFindHandle() {
    if (FHandle != INVALID_HANDLE_VALUE) FindClose(FHandle);
  }
  TFindHandle(const TFindHandle&) = delete;
  TFindHandle& operator=(const TFindHandle&) = delete;
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};

// The searches build their paths as long texts; one that the ANSI calls cannot take is the
// file error, not a folder that looks empty or a file that looks absent.
inline const std::string& FitsCall(const std::string& path) {
  if (path.size() > MaxCallPath) throw rtl::EInOutError(rtl::PathTooLong);
  return path;
}

// Enumerates Pattern as the run-time's FindFirst does: an entry that carries the hidden,
// system, volume-label or directory bit is left out unless Attributes asks for that bit.
// A pattern that finds nothing, or a folder that cannot be read, calls Each never.
template <class F>
void Enumerate(const std::string& pattern, DWORD attributes, F&& each) {
  FitsCall(pattern);
  WIN32_FIND_DATAA data{};
  TFindHandle find(FindFirstFileA(pattern.c_str(), &data));
  if (find.Get() == INVALID_HANDLE_VALUE) return;
  const DWORD excluded = ~attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                        VolumeLabel | FILE_ATTRIBUTE_DIRECTORY);
  do {
    if ((data.dwFileAttributes & excluded) == 0) each(data);
  } while (FindNextFileA(find.Get(), &data));
}

inline void EndWithBackslash(std::string& folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
}

inline bool IsDotEntry(const char* name) {
  return std::string_view(name) == "." || std::string_view(name) == "..";
}


}  // namespace util::search
