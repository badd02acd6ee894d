#include "bzip2/Bzip2.h"

#include <algorithm>
#include <cstring>

#include "bzip2/ParallelBzip2.h"
#include "bzip2/SequentialBzip2.h"
#include "bzip2/Threads.h"

namespace payload {

EBzip2Error::EBzip2Error(int code) : rtl::Exception("error " + std::to_string(code)), FCode(code) {}

std::size_t TMemorySource::Read(char* buffer, std::size_t count) {
  const std::size_t n = ReadAt(FPosition, buffer, count);
  FPosition += n;
  return n;
}

std::size_t TMemorySource::ReadAt(std::uint64_t offset, char* buffer, std::size_t count) {
  if (offset >= FBytes.size()) return 0;
  const std::size_t n = std::min<std::size_t>(count, FBytes.size() - std::size_t(offset));
  if (n > 0) std::memcpy(buffer, FBytes.data() + offset, n);
  return n;
}

std::string DecompressPayload(std::string_view input) {
  TMemorySource source(std::span<const char>(input.data(), input.size()));
  TStringSink sink;
  DecodeStream(source, sink, {});
  return std::move(sink.Bytes());
}

void DecodeStream(TByteSource& source, TByteSink& sink, const TDecodeOptions& options) {
  const unsigned decoders = options.Decoders > 0 ? options.Decoders : ProcessorCount();
  if (decoders > 1) {
    if (DecodeParallel(source, sink, decoders, options.Pump)) return;
    source.Rewind();
    sink.Rewind();
  }
  DecodeSequential(source, sink, options.Pump);
}

}  // namespace payload
