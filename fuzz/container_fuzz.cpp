// Arbitrary bytes as a decompressed container, read the way the unpacker reads one: the whole
// directory, then every entry's target path and contents in order. Besides crashes and hangs
// it catches memory sized by an untrusted field: no single allocation may exceed what the
// input can justify (an entry's block at most the input, the directory at most one record
// per five input bytes).
#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "payload/Container.h"
#include "payload/UnpackRules.h"
#include "rtl/SysUtils.h"

namespace {

bool gTracking = false;
std::size_t gLargest = 0;

void OnMalloc(const volatile void*, std::size_t size) {
  if (gTracking) gLargest = std::max(gLargest, size);
}
void OnFree(const volatile void*) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
  gLargest = 0;
  gTracking = true;
  try {
    payload::TMemoryInput input(bytes);
    payload::TContainerReader reader(input);
    for (const payload::TArchiveEntry& entry : reader.Directory()) {
      const rtl::ShortString target = payload::EntryTarget("c:\\Morvidan\\MAJ", entry.Name);
      if (target.size() > 255 || payload::FolderPart(target).size() > target.size()) std::abort();
      reader.ReadNextEntry();
      if (entry.Size < 0 || std::size_t(entry.Size) > size) std::abort();
    }
  } catch (const rtl::Exception&) {
    // Range and read errors are the reader's answers to malformed containers, the file error
    // the unpacker's to a target that does not fit.
  }
  gTracking = false;
  const std::size_t directoryBound =
      size / payload::MinRecordBytes * sizeof(payload::TArchiveEntry);
  const std::size_t bound = std::max(size, directoryBound) + 1024;
  if (gLargest > bound) {
    std::fprintf(stderr, "allocation of %zu bytes for an input of %zu\n", gLargest, size);
    std::abort();
  }
  return 0;
}
