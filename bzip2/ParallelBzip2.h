// Decoding of one bzip2 stream on every processor. The stream stays the one standard stream
// that bzip2 writes; its blocks are found by their magics, each is decoded on its own by a
// worker thread, and the outputs are written in order, every block CRC and the combined CRC
// checked. Whatever does not fit that picture (a magic that was only bytes inside a block, a
// corrupt or cut stream, bytes after its end) makes the whole stream decoded again from its
// start by the sequential decoder, whose error, if any, is the one reported: the result is
// always exactly what the sequential decoder gives.
#pragma once

#include <functional>

#include "bzip2/Bzip2.h"

namespace payload {

// The parallel decoder alone, with Decoders threads (the calling one and Decoders - 1 others).
// False when the stream must be decoded sequentially instead (Sink may then hold part of the
// output); true when it was decoded whole and checked.
bool DecodeParallel(TByteSource& source, TByteSink& sink, unsigned decoders,
                    const std::function<void()>& pump);

}  // namespace payload
