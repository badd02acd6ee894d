#include "rtl/Paths.h"

#include <string>

#include "rtl/SysUtils.h"

namespace rtl {

ShortString CheckedPath(std::string_view path) {
  if (path.size() > MaxPathLength) throw EInOutError(PathTooLong);
  return ShortString(path);
}

ShortString CheckedFolder(std::string_view folder) {
  if (folder.size() > MaxFolderLength) throw EInOutError(PathTooLong);
  return ShortString(folder);
}

ShortString JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '\\') path += '\\';
  path += name;
  return CheckedPath(path);
}

}  // namespace rtl
