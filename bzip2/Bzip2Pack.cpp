// The compressor of the payload's stream, for the packing tool and the tests. It has a file of
// its own so that install.exe, which only decompresses, links none of libbz2's compressor.
#include <algorithm>
#include <memory>

#include "bzip2/Bzip2.h"

// bzlib.h pulls windows.h in on Windows; keep its macros out of this file's way.
#if defined(_WIN32) && !defined(NOMINMAX)
#define NOMINMAX
#endif
#include <bzlib.h>

namespace payload {

std::string CompressPayload(std::string_view container, int blockSize) {
  bz_stream s{};
  int rc = BZ2_bzCompressInit(&s, blockSize, 0, 0);
  if (rc != BZ_OK) throw EBzip2Error(rc);
  std::string out;
  auto work = std::make_unique_for_overwrite<char[]>(StreamPiece);
  std::size_t position = 0;
  do {
    // Input goes in by pieces too: avail_in is only 32 bits wide.
    if (s.avail_in == 0 && position < container.size()) {
      const std::size_t piece = std::min(container.size() - position, StreamPiece);
      s.next_in = const_cast<char*>(container.data() + position);
      s.avail_in = static_cast<unsigned>(piece);
      position += piece;
    }
    s.next_out = work.get();
    s.avail_out = static_cast<unsigned>(StreamPiece);
    rc = BZ2_bzCompress(&s, position < container.size() || s.avail_in > 0 ? BZ_RUN : BZ_FINISH);
    if (rc < 0) {
      BZ2_bzCompressEnd(&s);
      throw EBzip2Error(rc);
    }
    out.append(work.get(), StreamPiece - s.avail_out);
  } while (rc != BZ_STREAM_END);
  BZ2_bzCompressEnd(&s);
  return out;
}

}  // namespace payload
