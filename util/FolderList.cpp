// The folder list: the one search of util/ that the program itself never makes, apart so that
// it carries none of it.
#include <string>

#include "util/FileSearch.h"
#include "util/FileUtils.h"

namespace util {

using namespace search;

std::string ListFolders(std::string folder, const std::string& mask, bool recursive,
                        const rtl::ShortString& mustContain) {
  std::string result;
  EndWithBackslash(folder);
  Enumerate(folder + mask, FILE_ATTRIBUTE_DIRECTORY, [&](const WIN32_FIND_DATAA& data) {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsDotEntry(data.cFileName)) {
      return;
    }
    const std::string path = folder + data.cFileName;
    bool listed = mustContain.empty();
    if (!listed) {
      Enumerate(path + "\\" + mustContain.str(), AnyEntry,
                [&](const WIN32_FIND_DATAA&) { listed = true; });
    }
    if (listed) result += path + CR;
    if (recursive) result += ListFolders(path + "\\", "*.*", true, mustContain);
  });
  return result;
}

}  // namespace util
