// fccpack's files on Linux: POSIX calls, UTF-8 names.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "payload/EntryNames.h"
#include "tools/fccpack/HostFiles.h"

namespace fccpack {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw TToolError{ExitIo, what + " " + path + ": " + std::strerror(errno)};
}

class TFd {
 public:
  explicit TFd(int fd) : FFd(fd) {}
  ~TFd() {
    if (FFd >= 0) close(FFd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return FFd; }
  int Release() { return std::exchange(FFd, -1); }

 private:
  int FFd;
};

void WriteAll(int fd, std::string_view data, const std::string& path) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("cannot write", path);
    data.remove_prefix(std::size_t(n));
  }
}

void CloseChecked(TFd& fd, const std::string& path) {
  if (close(fd.Release()) != 0) Fail("cannot write", path);
}

}  // namespace

TKind KindOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return TKind::Missing;
  if (S_ISREG(st.st_mode)) return TKind::File;
  if (S_ISDIR(st.st_mode)) return TKind::Folder;
  return TKind::Other;
}

std::vector<std::string> ListFolder(const std::string& path) {
  DIR* dir = opendir(path.c_str());
  if (!dir) Fail("cannot read the folder", path);
  std::vector<std::string> names;
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::uint64_t FileSize(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) Fail("cannot read", path);
  return std::uint64_t(st.st_size);
}

struct TInputFile::THandle {
  explicit THandle(int fd) : Fd(fd) {}
  TFd Fd;
};

TInputFile::TInputFile(const std::string& path) : FPath(path) {
  FHandle = std::make_unique<THandle>(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (FHandle->Fd.Get() < 0) Fail("cannot open", path);
  struct stat st {};
  if (fstat(FHandle->Fd.Get(), &st) != 0) Fail("cannot read", path);
  FSize = std::uint64_t(st.st_size);
}

TInputFile::~TInputFile() = default;

std::size_t TInputFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = pread(FHandle->Fd.Get(), buffer + done, count - done, off_t(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot read", FPath);
    if (n == 0) break;
    done += std::size_t(n);
  }
  return done;
}

struct TOutputFile::THandle {
  explicit THandle(int fd) : Fd(fd) {}
  TFd Fd;
};

TOutputFile::TOutputFile(const std::string& path) : FPath(path) {
  FHandle = std::make_unique<THandle>(
      open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (FHandle->Fd.Get() < 0) Fail("cannot create", path);
}

TOutputFile::TOutputFile(const std::string& folder, const std::string& name)
    : FPath(JoinPath(folder, name)) {
  TFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() < 0) Fail("cannot open the folder", folder);
  // Relative to the folder's descriptor and without following a link: the file is created
  // in that very folder or not at all.
  FHandle = std::make_unique<THandle>(
      openat(dir.Get(), name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (FHandle->Fd.Get() < 0) Fail("cannot create", FPath);
}

TOutputFile::~TOutputFile() = default;

void TOutputFile::Write(std::string_view data) {
  WriteAll(FHandle->Fd.Get(), data, FPath);
}

void TOutputFile::Close() {
  CloseChecked(FHandle->Fd, FPath);
}

void MakeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0755) != 0 && !(errno == EEXIST && KindOf(path) == TKind::Folder)) {
    Fail("cannot create the folder", path);
  }
}

void MoveOver(const std::string& from, const std::string& to) {
  if (rename(from.c_str(), to.c_str()) != 0) Fail("cannot create", to);
}

void DeleteQuietly(const std::string& path) {
  unlink(path.c_str());
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string BaseName(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const std::size_t slash = p.find_last_of('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::optional<std::string> HostToAnsi(const std::string& name) {
  return payload::Utf8ToCp1252(name);
}

std::optional<std::string> AnsiToHost(const std::string& name) {
  return payload::Cp1252ToUtf8(name);
}

}  // namespace fccpack
