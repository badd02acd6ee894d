#include "util/FileUtils.h"

#include <vector>

#include "rtl/Paths.h"
#include "rtl/SysUtils.h"
#include "util/FileSearch.h"
#include "util/StrUtils.h"

namespace util {

using namespace search;

bool FileExists(std::string_view name) {
  const DWORD attributes = GetFileAttributesA(std::string(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string FindFiles(std::string folder, const std::string& mask, bool recurse, bool allLevels,
                      std::string skipIfIn) {
  std::string result;
  EndWithBackslash(folder);
  if (!skipIfIn.empty()) EndWithBackslash(skipIfIn);

  Enumerate(folder + mask, AnyEntry, [&](const WIN32_FIND_DATAA& data) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;
    if (skipIfIn.empty() || !FileExists(FitsCall(skipIfIn + data.cFileName))) {
      result += folder + data.cFileName + CR;
    }
  });

  if (recurse) {
    // Each folder is taken as ItemAt would give it; the list is split once instead of being
    // normalised again for every item.
    std::string folders = ListFolders(folder, "*.*", allLevels, "");
    const std::uint16_t count = ItemCount(folders);
    NormalizeBreaks(folders);
    std::size_t from = 0;
    for (std::uint16_t i = 1; i <= count; ++i) {
      const std::size_t cr = folders.find(CR, from);
      const std::string item = TrimSpaces(folders.substr(from, cr - from));
      from = cr + 1;
      result += FindFiles(item + "\\", mask, false, false, skipIfIn);
    }
  }
  return result;
}

// Creates the deepest folder first and climbs only when that fails, so an existing chain
// costs one failed call per level down to the drive, and only what was missing is made.
// A folder longer than CreateDirectoryA takes on Windows is not asked for at all, so that
// no system makes it where another would refuse.
bool CreateFolderChain(const rtl::ShortString& path) {
  if (path.size() > rtl::MaxFolderLength) return false;
  if (CreateDirectoryA(path.c_str(), nullptr)) return true;
  const std::size_t first = path.str().find('\\');
  if (first == std::string::npos || first == 0) return false;
  // c:\a\b gives c:\a; c:\a\ gives c:\a (only the trailing backslash goes).
  std::string parent = path.str();
  while (!parent.empty() && parent.back() != '\\') parent.pop_back();
  if (!parent.empty()) parent.pop_back();
  if (!CreateFolderChain(parent)) return false;
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

// The wait sleeps rather than reading the clock in a busy loop; the caller sees the same:
// no window message runs, and it returns once the time has passed. GetTickCount differences
// are taken modulo 2^32, so neither midnight nor the counter's wrap disturbs it.
void Delay(std::int32_t milliseconds) {
  if (milliseconds <= 0) return;
  const DWORD wanted = static_cast<DWORD>(milliseconds);
  const DWORD start = GetTickCount();
  for (DWORD elapsed; (elapsed = GetTickCount() - start) < wanted;) Sleep(wanted - elapsed);
}

HANDLE OpenReadWrite(const rtl::ShortString& name) {
  return CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The folder is kept whole: cutting it (to 79 characters, as a short buffer would) turns the
// expanded name of a file in a deep folder into a path that does not exist. For the same
// reason a long name that would take the path past 255 characters is not used: the short
// name names the same file, a cut long one none.
rtl::ShortString ExpandShortName(const rtl::ShortString& name) {
  rtl::ShortString result = name;
  if (name.str().find('~') == std::string::npos) return result;
  const std::size_t last = name.str().find_last_of("\\:");
  const std::string dir =
      last == std::string::npos ? std::string() : name.str().substr(0, last + 1);
  bool found = false;
  Enumerate(name.str(), AnyEntry, [&](const WIN32_FIND_DATAA& data) {
    if (found) return;
    found = true;
    const std::string expanded = dir + data.cFileName;
    if (expanded.size() <= rtl::MaxPathLength) result = expanded;
  });
  return result;
}

}  // namespace util
