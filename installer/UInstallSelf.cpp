#include "installer/UInstallSelf.h"

#include <algorithm>
#include <memory>

#include "ui/GdiObjects.h"

namespace installer {

namespace {

// Pieces of this size come from the process's own heap rather than from memory the system
// hands out anew each time.
constexpr DWORD Piece = 1 << 18;
constexpr DWORD ReadPastEnd = 100;

HANDLE Self = INVALID_HANDLE_VALUE;
DWORD OpenError = ERROR_INVALID_HANDLE;

}  // namespace

void OpenSelf() {
  if (Self != INVALID_HANDLE_VALUE) return;
  // A path cut to the buffer names another file, or none: it is not opened.
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) {
    OpenError = n == 0 ? GetLastError() : DWORD(ERROR_FILENAME_EXCED_RANGE);
    return;
  }
  // Others may read it, nothing more: no write, no rename, no delete while this is open.
  Self = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (Self == INVALID_HANDLE_VALUE) OpenError = GetLastError();
}

DWORD ReadSelf(std::uint64_t offset, std::uint64_t size, TSelfPut put, void* context) {
  // The program opened it as it started; a test program that drives the wizard did not.
  OpenSelf();
  if (Self == INVALID_HANDLE_VALUE) return OpenError;
  if (size == 0) {
    LARGE_INTEGER whole{};
    if (!GetFileSizeEx(Self, &whole)) return GetLastError();
    size = std::uint64_t(whole.QuadPart) - std::min(offset, std::uint64_t(whole.QuadPart));
  }
  const auto piece = std::make_unique_for_overwrite<char[]>(Piece);
  while (size > 0) {
    OVERLAPPED at{};
    at.Offset = DWORD(offset);
    at.OffsetHigh = DWORD(offset >> 32);
    const DWORD want = DWORD(std::min<std::uint64_t>(size, Piece));
    DWORD got = 0;
    if (!ReadFile(Self, piece.get(), want, &got, &at)) return GetLastError();
    if (got != want) return ReadPastEnd;
    put(context, piece.get(), got);
    offset += got;
    size -= got;
  }
  return 0;
}

bool CopySelf(const std::string& target) {
  struct TCopy {
    HANDLE File;
    bool Ok;
  };
  ui::TFileHandle file(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  TCopy copy{file.Get(), true};
  const DWORD read = ReadSelf(0, 0, [](void* context, const char* data, DWORD count) {
    auto& to = *static_cast<TCopy*>(context);
    DWORD written = 0;
    to.Ok = to.Ok && WriteFile(to.File, data, count, &written, nullptr) && written == count;
  }, &copy);
  return file.Close() && read == 0 && copy.Ok;
}

}  // namespace installer
