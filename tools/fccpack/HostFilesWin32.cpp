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

std::uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) Fail("cannot read", path);
  return std::uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

struct TInputFile::THandle {
  explicit THandle(HANDLE handle) : File(handle) {}
  ui::TFileHandle File;
};

TInputFile::TInputFile(const std::string& path) : FPath(path) {
  FHandle = std::make_unique<THandle>(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                  nullptr, OPEN_EXISTING,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!FHandle->File.Valid()) Fail("cannot open", path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(FHandle->File.Get(), &size)) Fail("cannot read", path);
  FSize = std::uint64_t(size.QuadPart);
}

TInputFile::~TInputFile() = default;

// Every read names its place, so that no read depends on the file pointer that others move.
std::size_t TInputFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset + done);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(FHandle->File.Get(), buffer + done, want, &got, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      Fail("cannot read", FPath);
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

struct TOutputFile::THandle {
  explicit THandle(HANDLE handle) : File(handle) {}
  ui::TFileHandle File;
};

TOutputFile::TOutputFile(const std::string& path) : FPath(path) {
  FHandle = std::make_unique<THandle>(CreateFileA(
      path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!FHandle->File.Valid()) Fail("cannot create", path);
}

// The name was checked to be a plain Windows name: no separator, no drive, no "..".
TOutputFile::TOutputFile(const std::string& folder, const std::string& name)
    : TOutputFile(JoinPath(folder, name)) {}

TOutputFile::~TOutputFile() = default;

void TOutputFile::Write(std::string_view data) {
  while (!data.empty()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 30));
    DWORD put = 0;
    if (!WriteFile(FHandle->File.Get(), data.data(), want, &put, nullptr) || put == 0) {
      Fail("cannot write", FPath);
    }
    data.remove_prefix(put);
  }
}

void TOutputFile::Close() {
  if (!FHandle->File.Close()) Fail("cannot write", FPath);
}

void MakeFolder(const std::string& path) {
  if (!CreateDirectoryA(path.c_str(), nullptr) && KindOf(path) != TKind::Folder) {
    Fail("cannot create the folder", path);
  }
}

void MoveOver(const std::string& from, const std::string& to) {
  if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) Fail("cannot create", to);
}

void DeleteQuietly(const std::string& path) {
  DeleteFileA(path.c_str());
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
