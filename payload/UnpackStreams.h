// What the unpacker's two files share: the payload file read through a handle, the temporary
// container written and then read through one handle, and the window loop kept going.
#pragma once

#include <functional>
#include <utility>

#include "bzip2/Bzip2.h"
#include "payload/UnpackReporter.h"
#include "payload/UntypedFile.h"
#include "rtl/ShortString.h"
#include "rtl/SysUtils.h"
#include "ui/GdiObjects.h"
#include "ui/Win32.h"

namespace payload {

// The window loop, kept going through long work.
extern const std::function<void()> Pump;

// The payload file, read a piece at a time through the one handle it was opened (or written)
// with. Every read names its place, the reads in order too: the decoding threads read at
// places of their own through the same handle, and on a handle opened without overlapped
// reads such a read moves the file pointer.
class TFileSource : public TByteSource {
 public:
  explicit TFileSource(HANDLE file) : FFile(file) {}
  std::size_t Read(char* buffer, std::size_t count) override {
    const std::size_t got = ReadAt(FPosition, buffer, count);
    FPosition += got;
    return got;
  }
  void Seek(std::uint64_t offset) override { FPosition = offset; }
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(FFile, buffer, static_cast<DWORD>(count), &got, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) return 0;
      ui::CheckOS(false);
    }
    return got;
  }

 private:
  HANDLE FFile;
  std::uint64_t FPosition = 0;
};

// The temporary container as the decoder writes it. Unless it is closed after a clean end of
// the stream, it is deleted: a payload that fails to decompress leaves no container behind.
// Marked temporary, it stays in the system's file cache rather than being written out to a
// disk that the entries are being written to, only to be deleted a moment later. The handle
// it is written through is the one its entries are read through: nobody else may open the
// file meanwhile, so the entries written are the ones decoded.
class TContainerSink : public TByteSink {
 public:
  explicit TContainerSink(const rtl::ShortString& path)
      : FPath(path),
        FFile(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_TEMPORARY, nullptr)) {
    if (!FFile.Valid()) throw rtl::EFCreateError(path.str());
  }
  ~TContainerSink() override {
    if (!FFile.Valid()) return;
    FFile.Close();
    DeleteFileA(FPath.c_str());
  }
  void Write(const char* data, std::size_t count) override {
    DWORD put = 0;
    ui::CheckOS(WriteFile(FFile.Get(), data, static_cast<DWORD>(count), &put, nullptr));
    if (put < count) throw rtl::EInOutError(101);
  }
  void Rewind() override {
    ui::CheckOS(SetFilePointer(FFile.Get(), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER);
    ui::CheckOS(SetEndOfFile(FFile.Get()));
  }
  // After a clean end: the container, ready to be read from its start. The file now stays on
  // disk whatever happens to it.
  TUntypedFile Finish() {
    ui::CheckOS(SetFilePointer(FFile.Get(), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER);
    ui::TFileHandle file(std::move(FFile));
    return TUntypedFile::Adopt(file.Release());
  }
  void Close() {
    if (!FFile.Close()) Fail();
  }

 private:
  [[noreturn]] void Fail() {
    const DWORD code = GetLastError();
    FFile.Close();
    DeleteFileA(FPath.c_str());
    throw rtl::EInOutError(static_cast<int>(code));
  }

  rtl::ShortString FPath;
  ui::TFileHandle FFile;
};

// Opens a payload file by its name, for the callers that hand over no handle.
ui::TFileHandle OpenPayload(const rtl::ShortString& path);

// Writes every entry of the container read through Container, which lies at ContainerPath.
void ExtractOpened(const rtl::ShortString& containerPath, TUntypedFile container,
                   TUnpackReporter& reporter);

}  // namespace payload
