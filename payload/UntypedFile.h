// An untyped file with record size 1, as the unpacker reads its container and writes its
// entries: every call is tested at once and a failure raises the run-time's input/output
// error with the operating system's code (100 for a read past the end, 101 for a short
// write). The handle is closed on destruction if Close was not reached.
#pragma once

#include <cstddef>
#include <cstdint>

#include "payload/Container.h"
#include "rtl/ShortString.h"
#include "ui/Win32.h"

namespace payload {

class TUntypedFile : public TContainerInput {
 public:
  static TUntypedFile OpenRead(const rtl::ShortString& path);
  // Creates the file, or empties it when it exists.
  static TUntypedFile Create(const rtl::ShortString& path);
  // Takes over an open handle, read from its file pointer on; its size is the file's.
  static TUntypedFile Adopt(HANDLE handle);

  TUntypedFile(TUntypedFile&& other) noexcept;
  TUntypedFile& operator=(TUntypedFile&&) = delete;
  ~TUntypedFile() override;

  void ReadExact(void* buffer, std::size_t count) override;
  std::uint64_t Remaining() const override { return FSize - FPosition; }
  void Write(const void* buffer, std::size_t count);
  void Close();

 private:
  TUntypedFile(HANDLE handle, std::uint64_t size) : FHandle(handle), FSize(size) {}

  HANDLE FHandle;
  std::uint64_t FSize;
  std::uint64_t FPosition = 0;
};

}  // namespace payload
