#include "payload/UnpackRules.h"

#include <algorithm>
#include <string>

#include "rtl/SysUtils.h"
#include "util/StrUtils.h"

namespace payload {

rtl::ShortString FolderPart(const rtl::ShortString& path) {
  const std::string& s = path.str();
  const std::size_t last = s.find_last_of("\\:");
  if (last == std::string::npos) return {};
  std::size_t keep = last + 1;
  // A backslash right after a drive's colon or another backslash is a root: it stays.
  if (last > 0 && s[last] == '\\' && s[last - 1] != '\\' && s[last - 1] != ':') keep = last;
  return s.substr(0, keep);
}

rtl::ShortString ExtensionPart(const rtl::ShortString& path) {
  const std::string& s = path.str();
  const std::size_t last = s.find_last_of(".\\:");
  if (last == std::string::npos || s[last] != '.') return {};
  return s.substr(last);
}

rtl::ShortString ContainerPathFor(const rtl::ShortString& archivePath) {
  const std::string extension = ExtensionPart(archivePath).str();
  const char* spare = util::UpperNoAccent(extension.substr(0, 4)) == ContainerExtension
                          ? SpareExtension
                          : ContainerExtension;
  const std::string& s = archivePath.str();
  // The payload file's own extension, never a look-alike earlier in the path:
  // c:\Morvidan.FCC.d\Morvidan.FCC gives c:\Morvidan.FCC.d\Morvidan.CTN.
  const std::size_t at = s.size() - extension.size();
  // ".CTN" is longer than a shorter extension it replaces ("x.F" gives "x.CTN").
  return rtl::CheckedPath(s.substr(0, at) + spare);
}

// Worked example of the insertion: Folder c:\Morvidan\MAJ has its second backslash at
// position 12, so "MAJ\" goes in front of position 13 of the path name:
//   c:\Morvidan\Modeles\Liste.LP  ->  c:\Morvidan\MAJ\Modeles\Liste.LP
// The count is tested before each character is looked at, so a Folder that ends right after
// its second backslash (or has fewer than two) inserts nothing: c:\MAJ keeps path names as
// they are. A position past the end of the path name appends.
void InsertUpdateFolder(const rtl::ShortString& folder, rtl::ShortString& target) {
  int backslashes = 0;
  for (std::size_t k = 1; k <= folder.size(); ++k) {
    if (backslashes == 2) {
      std::string inserted = target.str();
      inserted.insert(std::min(k - 1, inserted.size()), "MAJ\\");
      target = rtl::CheckedPath(inserted);
      return;
    }
    if (folder[k - 1] == '\\') ++backslashes;
  }
}

// A stored name is first cleared of doubled backslashes (x\\y.txt is x\y.txt). A plain name
// then goes into the container's folder; a name holding a backslash is the full path itself,
// moved into the update folder when the container lies in one. The folders of a path name
// are made before it is written, so they must be short enough for CreateDirectoryA; a plain
// name goes into the container's folder, which is there already.
rtl::ShortString EntryTarget(const rtl::ShortString& folder, const rtl::ShortString& storedName) {
  rtl::ShortString name = storedName;
  util::ReplaceAll("\\\\", "\\", name, 255, false);
  if (name.str().find('\\') == std::string::npos) return rtl::JoinPath(folder, name);
  if (folder.str().find(UpdateFolder) != std::string::npos) InsertUpdateFolder(folder, name);
  rtl::CheckedFolder(FolderPart(name));
  return name;
}

std::int32_t ProgressPercent(std::size_t index, std::size_t count) {
  return static_cast<std::int32_t>(rtl::Round(100.0 * double(index) / double(count)));
}

}  // namespace payload
