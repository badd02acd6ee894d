// fccpack's files on Windows: the ANSI calls, names in the ANSI code page.
#include <algorithm>
#include <utility>

#include "tools/fccpack/HostFiles.h"
#include "ui/GdiObjects.h"

namespace fccpack {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw TToolError{ExitIo, what + " " + path + ": Windows error " + std::to_string(GetLastError())};
}

void WriteNew(const std::string& path, std::string_view data) {
  ui::TFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.Valid()) Fail("cannot create", path);
  while (!data.empty()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 30));
    DWORD put = 0;
    if (!WriteFile(file.Get(), data.data(), want, &put, nullptr) || put == 0) {
      Fail("cannot write", path);
    }
    data.remove_prefix(put);
  }
  if (!file.Close()) Fail("cannot write", path);
}

}  // namespace

TKind KindOf(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return TKind::Missing;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? TKind::Folder : TKind::File;
}

std::vector<std::string> ListFolder(const std::string& path) {
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA(JoinPath(path, "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) Fail("cannot read the folder", path);
  std::vector<std::string> names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadWholeFile(const std::string& path) {
  ui::TFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) Fail("cannot open", path);
  std::string data;
  char buffer[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) Fail("cannot read", path);
    if (got == 0) break;
    data.append(buffer, got);
  }
  return data;
}

void WriteFileAtomically(const std::string& path, std::string_view data) {
  const std::string temp = path + ".fccpack-tmp";
  try {
    WriteNew(temp, data);
  } catch (...) {
    DeleteFileA(temp.c_str());
    throw;
  }
  if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    const DWORD code = GetLastError();
    DeleteFileA(temp.c_str());
    SetLastError(code);
    Fail("cannot create", path);
  }
}

void WriteFileInFolder(const std::string& folder, const std::string& name, std::string_view data) {
  // The name was checked to be a plain Windows name: no separator, no drive, no "..".
  WriteNew(JoinPath(folder, name), data);
}

void MakeFolder(const std::string& path) {
  if (!CreateDirectoryA(path.c_str(), nullptr) && KindOf(path) != TKind::Folder) {
    Fail("cannot create the folder", path);
  }
}

bool SameFile(const std::string& a, const std::string& b) {
  char fa[MAX_PATH], fb[MAX_PATH];
  if (!GetFullPathNameA(a.c_str(), MAX_PATH, fa, nullptr) ||
      !GetFullPathNameA(b.c_str(), MAX_PATH, fb, nullptr)) {
    return false;
  }
  return lstrcmpiA(fa, fb) == 0;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
}

std::string BaseName(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  const std::size_t slash = p.find_last_of("\\/:");
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::optional<std::string> HostToAnsi(const std::string& name) {
  return name;
}

std::optional<std::string> AnsiToHost(const std::string& name) {
  return name;
}

}  // namespace fccpack
