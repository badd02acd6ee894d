#include "bzip2/ParallelBzip2.h"

#include <algorithm>
#include <memory>
#include <span>
#include <vector>

#include "bzip2/Bzip2Block.h"
#include "bzip2/Bzip2Blocks.h"
#include "bzip2/Threads.h"

namespace payload {

namespace {

// More decoding threads than this gain little, since one thread writes everything in order,
// and each holds about 3.6 MB for a block of level 9, and that block's bytes.
constexpr unsigned MaxDecoders = 8;
// Memory for a block's bytes or its text, kept from one block to the next: memory taken from
// the system and given back for each block would be faulted in anew, page after page. It is
// taken at the size asked, which is the same for every block of a stream.
class TRoom {
 public:
  unsigned char* Take(std::size_t size) {
    if (FCapacity < size) {
      FData.reset();
      FData = std::make_unique_for_overwrite<unsigned char[]>(size);
      FCapacity = size;
    }
    return FData.get();
  }
  const unsigned char* Data() const { return FData.get(); }

 private:
  std::unique_ptr<unsigned char[]> FData;
  std::size_t FCapacity = 0;
};

// A block's output written to the sink as it comes, a piece at a time.
class TStreamedOutput : public TBlockOutput {
 public:
  explicit TStreamedOutput(TByteSink& sink) : FSink(sink) {}
  std::span<char> Room() override { return {FPiece.get(), StreamPiece}; }
  void Commit(std::size_t n) override { FSink.Write(FPiece.get(), n); }

 private:
  TByteSink& FSink;
  std::unique_ptr<char[]> FPiece = std::make_unique_for_overwrite<char[]>(StreamPiece);
};

enum class TSlotState { Free, Held, Queued, Decoding, Done, Failed };

// One block on its way: where it lies in the stream, then its text. Its runs of four are
// undone as it is written, so that what a slot holds is never more than a block's text, even
// for the blocks of long runs that give many times that.
struct TSlot {
  std::uint64_t Begin = 0;  // the stream bit where the block begins
  std::uint64_t Bits = 0;
  std::uint32_t Crc = 0;  // the block's own, as its decoder read it
  TRoom Text;
  std::size_t TextSize = 0;
  TSlotState State = TSlotState::Free;  // under the decoder's lock once workers run
};

// What a thread needs to decode blocks: the decoder, and memory for a block's bytes, which it
// reads from the stream itself.
struct TDecoding {
  TBlockDecoder Decoder;
  TRoom Bytes;
};

// The calling thread reads the stream through, finds where its blocks begin and end, and
// writes their outputs in order; worker threads read each block's bytes and decode it, and so
// does the calling thread whenever it would otherwise wait for one of them, its windows
// answering between the pieces. A ring of slots, one more than the decoding threads (for the
// block being found while they decode), bounds what is held: a block is queued only when its
// slot's last block has been written.
class TParallelDecoder {
 public:
  TParallelDecoder(TByteSource& source, TByteSink& sink, unsigned decoders,
                   const std::function<void()>& pump)
      : FSource(source),
        FSink(sink),
        FDecoders(decoders),
        FPump(pump),
        FPaced(pump),
        FSlots(decoders + 1) {}
  ~TParallelDecoder() { StopWorkers(); }
  TParallelDecoder(const TParallelDecoder&) = delete;
  TParallelDecoder& operator=(const TParallelDecoder&) = delete;

  bool Run();

 private:
  bool Feed(const char* bytes, std::size_t count);
  bool FinishBlock(std::uint64_t end, bool more);
  bool ReadWhole(std::uint64_t offset, unsigned char* bytes, std::size_t count);
  void Submit();
  bool WriteOldest();
  TSlotState StateOf(const TSlot& slot);
  bool TakeQueued(std::size_t& index);
  void DecodeSlot(TSlot& slot, TDecoding& decoding, TPacedPump* pump);
  void WorkerMain();
  void StopWorkers();

  TByteSource& FSource;
  TByteSink& FSink;
  const unsigned FDecoders;
  const std::function<void()>& FPump;
  TPacedPump FPaced;
  int FLevel = 0;

  // The calling thread's own: the scan of the stream, a piece at a time.
  std::unique_ptr<char[]> FPiece = std::make_unique_for_overwrite<char[]>(StreamPiece);
  char FHeader[HeaderBytes] = {};
  std::uint64_t FRead = 0;  // stream bytes read
  TMagicScanner FScanner;
  std::vector<TMagicScanner::THit> FHits;
  bool FStarted = false;      // the first block's magic has been seen
  std::uint64_t FStart = 0;   // the bit where the current block begins
  std::uint64_t FEndBit = 0;  // the bit where the end magic begins, once found
  std::uint64_t FCut = 0;     // blocks found
  std::uint64_t FWritten = 0;
  std::uint32_t FCombined = 0;
  std::unique_ptr<TDecoding> FOwnDecoding;  // taken the first time the calling thread decodes
  TBlockCrc FCrc;
  TStreamedOutput FOutput{FSink};

  // Shared with the workers.
  std::vector<TSlot> FSlots;
  TLock FLock;
  TSemaphore FWork, FDone;
  // Blocks are queued and taken in their order: those from FTaken to FQueued wait.
  std::uint64_t FQueued = 0, FTaken = 0;
  bool FNoMore = false;  // every block is queued
  bool FQuit = false;    // the decoder stops
  std::vector<std::unique_ptr<TThread>> FThreads;
  bool FRefused = false;  // the system would not start another thread
};

bool TParallelDecoder::Run() {
  FScanner.SetSkip(HeaderBytes * 8);
  for (std::size_t n; (n = FSource.Read(FPiece.get(), StreamPiece)) > 0;) {
    if (!Feed(FPiece.get(), n)) return false;
    FPaced.Tick();
  }
  // A stream cut short, or one block or none: the sequential decoder does it, or says why not.
  if (FEndBit == 0 || FRead * 8 < FEndBit + MagicBits + CrcBits || FCut < 2) return false;
  // Every block is queued: a worker that finds none left ends now, while the last blocks are
  // decoded and written, rather than when the decoder is done.
  {
    TLocked locked(FLock);
    FNoMore = true;
  }
  FWork.Release(unsigned(FThreads.size()));
  while (FWritten < FCut) {
    if (!WriteOldest()) return false;
  }
  // The stream's combined CRC, after the end magic.
  const std::uint64_t first = (FEndBit + MagicBits) / 8;
  unsigned char stored[(CrcBits + 7) / 8 + 1];
  const std::size_t count = std::size_t((FEndBit + MagicBits + CrcBits + 7) / 8 - first);
  if (!ReadWhole(first, stored, count)) return false;
  return ReadBits({reinterpret_cast<const char*>(stored), count}, first, FEndBit + MagicBits,
                  CrcBits) == FCombined;
}

// Takes the next bytes of the stream. False as soon as the stream is not one that the blocks
// can be cut from: no header, a first block elsewhere than right after it, a "block" longer
// than a block can be, or bytes after the end.
bool TParallelDecoder::Feed(const char* bytes, std::size_t count) {
  for (std::size_t i = 0; FRead + i < HeaderBytes && i < count; ++i) FHeader[FRead + i] = bytes[i];
  FRead += count;
  if (FLevel == 0 && FRead >= HeaderBytes) {
    FLevel = HeaderLevel(FHeader, HeaderBytes);
    if (FLevel == 0) return false;
  }
  if (FEndBit != 0) return FRead <= (FEndBit + MagicBits + CrcBits + 7) / 8;

  FHits.clear();
  FScanner.Scan(reinterpret_cast<const unsigned char*>(bytes), count, FHits);
  for (const TMagicScanner::THit& hit : FHits) {
    if (!FStarted) {
      if (hit.Kind != TMagicScanner::TKind::Block || hit.Bit != HeaderBytes * 8) return false;
      FStarted = true;
      FStart = hit.Bit;
      continue;
    }
    // No block is shorter than its magic and CRC: a hit inside them is no boundary.
    if (hit.Bit < FStart + MagicBits + CrcBits) return false;
    if (!FinishBlock(hit.Bit, hit.Kind == TMagicScanner::TKind::Block)) return false;
    if (hit.Kind == TMagicScanner::TKind::End) {
      FEndBit = hit.Bit;
      return FRead <= (FEndBit + MagicBits + CrcBits + 7) / 8;
    }
    FStart = hit.Bit;
  }
  // The first block's magic and CRC follow the header at once.
  if (!FStarted) return FRead < HeaderBytes + (MagicBits + CrcBits) / 8;
  return FRead - FStart / 8 <= MaxBlockBytes(FLevel);
}

// The block from the current start to End is found: it goes into its slot, as soon as the
// slot's last block is written, and to the workers. More: another block follows.
bool TParallelDecoder::FinishBlock(std::uint64_t end, bool more) {
  TSlot& slot = FSlots[std::size_t(FCut % FSlots.size())];
  while (StateOf(slot) != TSlotState::Free) {
    if (!WriteOldest()) return false;
  }
  slot.Begin = FStart;
  slot.Bits = end - FStart;
  ++FCut;
  // A stream of one block takes the sequential path: its block waits, and is never decoded.
  if (FCut == 1 && !more) {
    slot.State = TSlotState::Held;
    return true;
  }
  Submit();
  return true;
}

// Reads Count bytes of the stream from Offset on, however many reads the source needs; false
// when the stream ends first.
bool TParallelDecoder::ReadWhole(std::uint64_t offset, unsigned char* bytes, std::size_t count) {
  for (std::size_t n; count > 0; offset += n, bytes += n, count -= n) {
    n = FSource.ReadAt(offset, reinterpret_cast<char*>(bytes), count);
    if (n == 0) return false;
  }
  return true;
}

// Queues the next block in order, and starts a worker for it while there are fewer than the
// decoding threads asked for. A system that refuses threads leaves the calling thread to
// decode every block itself.
void TParallelDecoder::Submit() {
  if (FThreads.size() + 1 < FDecoders && !FRefused) {
    std::unique_ptr<TThread> thread = TThread::Start([this] { WorkerMain(); });
    if (thread) {
      FThreads.push_back(std::move(thread));
    } else {
      FRefused = true;
    }
  }
  {
    TLocked locked(FLock);
    FSlots[std::size_t(FQueued % FSlots.size())].State = TSlotState::Queued;
    ++FQueued;
  }
  FWork.Release();
}

TSlotState TParallelDecoder::StateOf(const TSlot& slot) {
  TLocked locked(FLock);
  return slot.State;
}

// Waits for the oldest block not written yet, while the window loop goes on, and writes it.
bool TParallelDecoder::WriteOldest() {
  TSlot& slot = FSlots[std::size_t(FWritten % FSlots.size())];
  TSlotState state;
  for (;;) {
    state = StateOf(slot);
    if (state != TSlotState::Queued && state != TSlotState::Decoding) break;
    // Rather than wait, the calling thread decodes a block that no worker has taken yet.
    std::size_t index;
    if (TakeQueued(index)) {
      if (!FOwnDecoding) FOwnDecoding = std::make_unique<TDecoding>();
      DecodeSlot(FSlots[index], *FOwnDecoding, &FPaced);
    } else {
      FDone.Acquire(FPump);
    }
  }
  if (state == TSlotState::Failed) return false;
  if (ExpandText({slot.Text.Data(), slot.TextSize}, slot.Crc, FCrc, FOutput, StreamPiece,
                 &FPaced) != TBlockResult::Done) {
    return false;
  }
  FCombined = CombineCrc(FCombined, slot.Crc);
  ++FWritten;
  TLocked locked(FLock);
  slot.State = TSlotState::Free;
  return true;
}

bool TParallelDecoder::TakeQueued(std::size_t& index) {
  TLocked locked(FLock);
  if (FTaken == FQueued) return false;
  index = std::size_t(FTaken++ % FSlots.size());
  FSlots[index].State = TSlotState::Decoding;
  return true;
}

// Reads the block of Slot from the stream and decodes it into its text.
void TParallelDecoder::DecodeSlot(TSlot& slot, TDecoding& decoding, TPacedPump* pump) {
  TSlotState result = TSlotState::Failed;
  try {
    const std::uint64_t first = slot.Begin / 8;
    const std::size_t count = std::size_t((slot.Begin + slot.Bits + 7) / 8 - first);
    // Room for the longest block of the level, once; a "block" found longer than that, a
    // little, before the stream was seen to be no stream of blocks, gets the room it needs.
    unsigned char* const bytes =
        decoding.Bytes.Take(std::max<std::size_t>(count, MaxBlockBytes(FLevel) + 8));
    TBlockDecoder& decoder = decoding.Decoder;
    if (ReadWhole(first, bytes, count) &&
        decoder.Read({bytes, count}, unsigned(slot.Begin % 8), slot.Bits, FLevel)) {
      if (pump) pump->Tick();
      slot.Crc = decoder.StoredCrc();
      if (decoder.Untransform({slot.Text.Take(decoder.TextRoom()), decoder.TextRoom()})) {
        slot.TextSize = decoder.TextSize();
        result = TSlotState::Done;
      }
      if (pump) pump->Tick();
    }
  } catch (...) {
    // Out of memory, or the source failing: the sequential decoder takes over and reports
    // what it finds.
  }
  {
    TLocked locked(FLock);
    slot.State = result;
  }
  FDone.Release();
}

void TParallelDecoder::WorkerMain() {
  TDecoding decoding;
  for (;;) {
    FWork.Acquire();
    std::size_t index;
    {
      TLocked locked(FLock);
      if (FQuit || (FTaken == FQueued && FNoMore)) return;
    }
    if (TakeQueued(index)) DecodeSlot(FSlots[index], decoding, nullptr);
  }
}

void TParallelDecoder::StopWorkers() {
  {
    TLocked locked(FLock);
    FQuit = true;
  }
  FWork.Release(unsigned(FThreads.size()));
  FThreads.clear();
}

}  // namespace

bool DecodeParallel(TByteSource& source, TByteSink& sink, unsigned decoders,
                    const std::function<void()>& pump) {
  TParallelDecoder decoder(source, sink, std::clamp(decoders, 1u, MaxDecoders), pump);
  return decoder.Run();
}

}  // namespace payload
