#include "payload/UntypedFile.h"

#include <algorithm>
#include <utility>

#include "rtl/SysUtils.h"
#include "ui/Win32.h"

namespace payload {

namespace {

constexpr int ReadPastEnd = 100;
constexpr int DiskFull = 101;
// ReadFile and WriteFile count in 32 bits; larger transfers go in slices.
constexpr std::size_t Slice = 1u << 30;

}  // namespace

TUntypedFile TUntypedFile::OpenRead(const rtl::ShortString& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ui::CheckOS(h != INVALID_HANDLE_VALUE);
  return Adopt(h);
}

TUntypedFile TUntypedFile::Adopt(HANDLE h) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h, &size)) {
    const DWORD code = GetLastError();
    CloseHandle(h);
    throw rtl::EInOutError(static_cast<int>(code));
  }
  LARGE_INTEGER at{};
  if (!SetFilePointerEx(h, at, &at, FILE_CURRENT)) {
    const DWORD code = GetLastError();
    CloseHandle(h);
    throw rtl::EInOutError(static_cast<int>(code));
  }
  TUntypedFile file(h, static_cast<std::uint64_t>(size.QuadPart));
  file.FPosition = static_cast<std::uint64_t>(at.QuadPart);
  return file;
}

TUntypedFile TUntypedFile::Create(const rtl::ShortString& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ui::CheckOS(h != INVALID_HANDLE_VALUE);
  return TUntypedFile(h, 0);
}

TUntypedFile::TUntypedFile(TUntypedFile&& other) noexcept
    : FHandle(std::exchange(other.FHandle, INVALID_HANDLE_VALUE)),
      FSize(other.FSize),
      FPosition(other.FPosition) {}

TUntypedFile::~TUntypedFile() {
  if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
}

void TUntypedFile::ReadExact(void* buffer, std::size_t count) {
  auto* p = static_cast<char*>(buffer);
  while (count > 0) {
    const DWORD want = static_cast<DWORD>(std::min(count, Slice));
    DWORD got = 0;
    ui::CheckOS(ReadFile(FHandle, p, want, &got, nullptr));
    FPosition += got;
    if (got < want) throw rtl::EInOutError(ReadPastEnd);
    p += got;
    count -= got;
  }
}

void TUntypedFile::Write(const void* buffer, std::size_t count) {
  const auto* p = static_cast<const char*>(buffer);
  while (count > 0) {
    const DWORD want = static_cast<DWORD>(std::min(count, Slice));
    DWORD put = 0;
    ui::CheckOS(WriteFile(FHandle, p, want, &put, nullptr));
    if (put < want) throw rtl::EInOutError(DiskFull);
    p += put;
    count -= put;
  }
}

void TUntypedFile::Close() {
  HANDLE h = std::exchange(FHandle, INVALID_HANDLE_VALUE);
  ui::CheckOS(CloseHandle(h));
}

}  // namespace payload
