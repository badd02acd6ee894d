#include "payload/ParallelBzip2.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <span>
#include <vector>

#include "payload/Bzip2Blocks.h"
#include "payload/Threads.h"

// bzlib.h pulls windows.h in on Windows; keep its macros out of this file's way.
#if defined(_WIN32) && !defined(NOMINMAX)
#define NOMINMAX
#endif
#include <bzlib.h>

namespace payload {

namespace {

// More threads than this gain little, since one thread writes everything in order, and each
// holds about 4 MB of libbz2 tables.
constexpr unsigned MaxWorkers = 8;
// The most output a worker holds for one block. Real blocks give about their level times
// 100,000 bytes; one made of long runs can give fifty times that, and is decoded by the
// writing thread straight into the sink when its turn comes.
constexpr std::size_t MaxHeldOutput = std::size_t(4) << 20;
// What libbz2 allocates for one stream, kept for the next: every block is a stream of its own
// here, and its tables (3.6 MB at level 9) would otherwise be taken from the system and faulted
// in again for each block.
class TDecoderMemory {
 public:
  TDecoderMemory() = default;
  TDecoderMemory(const TDecoderMemory&) = delete;
  TDecoderMemory& operator=(const TDecoderMemory&) = delete;
  ~TDecoderMemory() {
    for (const TPiece& p : FPieces) std::free(p.Data);
  }

  void Attach(bz_stream& s) {
    s.bzalloc = Alloc;
    s.bzfree = Free;
    s.opaque = this;
  }

 private:
  struct TPiece {
    void* Data;
    std::size_t Size;
    bool Used;
  };

  // Called from C: a failure is a null pointer, which libbz2 reports as BZ_MEM_ERROR.
  static void* Alloc(void* opaque, int n, int m) {
    auto& pieces = static_cast<TDecoderMemory*>(opaque)->FPieces;
    const std::size_t size = std::size_t(n) * std::size_t(m);
    for (TPiece& p : pieces) {
      if (!p.Used && p.Size == size) {
        p.Used = true;
        return p.Data;
      }
    }
    void* data = std::malloc(size);
    if (!data) return nullptr;
    try {
      pieces.push_back({data, size, true});
    } catch (...) {
      std::free(data);
      return nullptr;
    }
    return data;
  }

  static void Free(void* opaque, void* data) {
    for (TPiece& p : static_cast<TDecoderMemory*>(opaque)->FPieces) {
      if (p.Data == data) p.Used = false;
    }
  }

  std::vector<TPiece> FPieces;
};

enum class TBlockResult { Done, Failed, Stopped };

// Decodes one block made a stream of its own into Output, which gives libbz2 room to write in
// (Room; none to stop it) and learns how much was written there (Commit). Done means libbz2
// reached the stream's end, every CRC right, with no byte left over.
template <class TOutput>
TBlockResult DecodeWrapped(const std::vector<char>& wrapped, TDecoderMemory& memory,
                           TOutput& output) {
  bz_stream s{};
  memory.Attach(s);
  if (BZ2_bzDecompressInit(&s, 0, 0) != BZ_OK) return TBlockResult::Failed;
  // libbz2 only reads through next_in; its type lacks the const.
  s.next_in = const_cast<char*>(wrapped.data());
  s.avail_in = unsigned(wrapped.size());
  TBlockResult result = TBlockResult::Failed;
  for (;;) {
    const std::span<char> room = output.Room();
    if (room.empty()) {
      result = TBlockResult::Stopped;
      break;
    }
    s.next_out = room.data();
    s.avail_out = unsigned(room.size());
    const int rc = BZ2_bzDecompress(&s);
    if (rc < 0) break;
    const std::size_t n = room.size() - s.avail_out;
    output.Commit(n);
    if (rc == BZ_STREAM_END) {
      if (s.avail_in == 0) result = TBlockResult::Done;
      break;
    }
    if (s.avail_in == 0 && n == 0) break;  // the input ended before the stream did
  }
  BZ2_bzDecompressEnd(&s);
  return result;
}

// A block's output held by the worker that decodes it, up to MaxHeldOutput. Its memory stays
// for the slot's next block, unless the block needed more than a block usually gives.
class THeldOutput {
 public:
  void Start(int level) {
    FSize = 0;
    const std::size_t usual = std::size_t(level) * 100000 + StreamPiece;
    if (FCapacity > usual) Release();
    if (FCapacity == 0) Grow(usual);
  }
  std::span<char> Room() {
    if (FSize == FCapacity) {
      if (FCapacity >= MaxHeldOutput) return {};
      Grow(std::min(FCapacity * 2, MaxHeldOutput));
    }
    return {FData.get() + FSize, FCapacity - FSize};
  }
  void Commit(std::size_t n) { FSize += n; }
  void Release() {
    FData.reset();
    FSize = FCapacity = 0;
  }
  const char* Data() const { return FData.get(); }
  std::size_t Size() const { return FSize; }

 private:
  void Grow(std::size_t capacity) {
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    if (FSize > 0) std::memcpy(data.get(), FData.get(), FSize);
    FData = std::move(data);
    FCapacity = capacity;
  }

  std::unique_ptr<char[]> FData;
  std::size_t FSize = 0, FCapacity = 0;
};

// A block's output written to the sink as it comes, a piece at a time.
class TStreamedOutput {
 public:
  TStreamedOutput(TByteSink& sink, TPacedPump& pump) : FSink(sink), FPump(pump) {}
  std::span<char> Room() { return {FPiece.get(), StreamPiece}; }
  void Commit(std::size_t n) {
    FSink.Write(FPiece.get(), n);
    FPump.Tick();
  }

 private:
  TByteSink& FSink;
  TPacedPump& FPump;
  std::unique_ptr<char[]> FPiece = std::make_unique_for_overwrite<char[]>(StreamPiece);
};

enum class TSlotState { Free, Held, Queued, Done, Failed, TooLarge };

// One block on its way: its stream of its own, then its output.
struct TSlot {
  std::vector<char> Input;
  std::uint32_t Crc = 0;
  THeldOutput Output;
  TSlotState State = TSlotState::Free;  // under the decoder's lock once workers run
};

// The calling thread reads the stream, cuts it into blocks and writes their outputs in order;
// the workers decode. A ring of slots, one more than the workers, bounds what is held: a block
// is cut only when its slot's last block has been written.
class TParallelDecoder {
 public:
  TParallelDecoder(TByteSource& source, TByteSink& sink, unsigned workers,
                   const std::function<void()>& pump)
      : FSource(source),
        FSink(sink),
        FWorkers(workers),
        FPump(pump),
        FPaced(pump),
        FSlots(workers + 1) {}
  ~TParallelDecoder() { StopWorkers(); }
  TParallelDecoder(const TParallelDecoder&) = delete;
  TParallelDecoder& operator=(const TParallelDecoder&) = delete;

  bool Run();

 private:
  bool Feed(const char* bytes, std::size_t count);
  bool FinishBlock(std::uint64_t end);
  bool Submit(std::size_t index);
  bool WriteOldest();
  TSlotState StateOf(const TSlot& slot);
  void WorkerMain();
  void StopWorkers();

  TByteSource& FSource;
  TByteSink& FSink;
  const unsigned FWorkers;
  const std::function<void()>& FPump;
  TPacedPump FPaced;
  int FLevel = 0;

  // The calling thread's own: the bytes from the current block's first on, and the scan.
  std::vector<char> FPending;
  std::uint64_t FPendingFirst = 0;  // the stream byte that FPending begins with
  std::uint64_t FRead = 0;          // stream bytes read
  TMagicScanner FScanner;
  std::vector<TMagicScanner::THit> FHits;
  bool FStarted = false;      // the first block's magic has been seen
  std::uint64_t FStart = 0;   // the bit where the current block begins
  std::uint64_t FEndBit = 0;  // the bit where the end magic begins, once found
  std::uint64_t FCut = 0;     // blocks cut
  std::uint64_t FWritten = 0;
  std::uint32_t FCombined = 0;
  TDecoderMemory FMemory;

  // Shared with the workers.
  std::vector<TSlot> FSlots;
  TLock FLock;
  TSemaphore FWork, FDone;
  std::deque<std::size_t> FQueue;
  bool FQuit = false;
  std::vector<std::unique_ptr<TThread>> FThreads;
};

bool TParallelDecoder::Run() {
  FScanner.SetSkip(HeaderBytes * 8);
  const auto piece = std::make_unique_for_overwrite<char[]>(StreamPiece);
  for (;;) {
    const std::size_t n = FSource.Read(piece.get(), StreamPiece);
    if (n == 0) break;
    if (!Feed(piece.get(), n)) return false;
    FPaced.Tick();
  }
  // A stream cut short, or one block or none: the sequential decoder does it, or says why not.
  if (FEndBit == 0 || FRead * 8 < FEndBit + MagicBits + CrcBits || FCut < 2) return false;
  while (FWritten < FCut) {
    if (!WriteOldest()) return false;
  }
  return ReadBits(FPending, FPendingFirst, FEndBit + MagicBits, CrcBits) == FCombined;
}

// Takes the next bytes of the stream. False as soon as the stream is not one that the blocks
// can be cut from: no header, a first block elsewhere than right after it, a "block" longer
// than a block can be, or bytes after the end.
bool TParallelDecoder::Feed(const char* bytes, std::size_t count) {
  FPending.insert(FPending.end(), bytes, bytes + count);
  FRead += count;
  if (FLevel == 0 && FRead >= HeaderBytes) {
    FLevel = HeaderLevel(FPending.data(), FPending.size());
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
    if (!FinishBlock(hit.Bit)) return false;
    if (hit.Kind == TMagicScanner::TKind::End) {
      FEndBit = hit.Bit;
      return FRead <= (FEndBit + MagicBits + CrcBits + 7) / 8;
    }
    FStart = hit.Bit;
  }
  if (!FStarted) return FRead < HeaderBytes + (MagicBits + CrcBits) / 8;
  return FRead - FStart / 8 <= MaxBlockBytes(FLevel);
}

// The block from the current start to End is complete: it goes into its slot, as soon as the
// slot's last block is written, and to the workers.
bool TParallelDecoder::FinishBlock(std::uint64_t end) {
  const std::size_t index = std::size_t(FCut % FSlots.size());
  TSlot& slot = FSlots[index];
  while (StateOf(slot) != TSlotState::Free) {
    if (!WriteOldest()) return false;
  }
  slot.Crc = ReadBits(FPending, FPendingFirst, FStart + MagicBits, CrcBits);
  WrapBlock(FLevel, FPending, FPendingFirst, FStart, end, slot.Crc, slot.Input);
  // The byte that holds End's first bit belongs to the next block too.
  FPending.erase(FPending.begin(), FPending.begin() + std::ptrdiff_t(end / 8 - FPendingFirst));
  FPendingFirst = end / 8;
  ++FCut;
  // The first block waits for a second: a stream of one block takes the sequential path.
  if (FCut == 1) {
    slot.State = TSlotState::Held;
    return true;
  }
  if (FCut == 2 && !Submit(0)) return false;
  return Submit(index);
}

bool TParallelDecoder::Submit(std::size_t index) {
  if (FThreads.size() < FWorkers) {
    std::unique_ptr<TThread> thread = TThread::Start([this] { WorkerMain(); });
    if (thread) {
      FThreads.push_back(std::move(thread));
    } else if (FThreads.empty()) {
      return false;
    }
  }
  {
    TLocked locked(FLock);
    FSlots[index].State = TSlotState::Queued;
    FQueue.push_back(index);
  }
  FWork.Release();
  return true;
}

TSlotState TParallelDecoder::StateOf(const TSlot& slot) {
  TLocked locked(FLock);
  return slot.State;
}

// Waits for the oldest block not written yet, while the window loop goes on, and writes it.
bool TParallelDecoder::WriteOldest() {
  TSlot& slot = FSlots[std::size_t(FWritten % FSlots.size())];
  TSlotState state;
  while ((state = StateOf(slot)) == TSlotState::Queued) FDone.Acquire(FPump);
  if (state == TSlotState::Failed) return false;
  if (state == TSlotState::TooLarge) {
    TStreamedOutput output(FSink, FPaced);
    if (DecodeWrapped(slot.Input, FMemory, output) != TBlockResult::Done) return false;
  } else {
    FSink.Write(slot.Output.Data(), slot.Output.Size());
    FPaced.Tick();
  }
  FCombined = CombineCrc(FCombined, slot.Crc);
  ++FWritten;
  TLocked locked(FLock);
  slot.State = TSlotState::Free;
  return true;
}

void TParallelDecoder::WorkerMain() {
  TDecoderMemory memory;
  for (;;) {
    FWork.Acquire();
    std::size_t index;
    {
      TLocked locked(FLock);
      if (FQuit) return;
      if (FQueue.empty()) continue;
      index = FQueue.front();
      FQueue.pop_front();
    }
    TSlot& slot = FSlots[index];
    TSlotState result = TSlotState::Failed;
    try {
      slot.Output.Start(FLevel);
      const TBlockResult decoded = DecodeWrapped(slot.Input, memory, slot.Output);
      result = decoded == TBlockResult::Done      ? TSlotState::Done
               : decoded == TBlockResult::Stopped ? TSlotState::TooLarge
                                                  : TSlotState::Failed;
    } catch (...) {
      // Out of memory: the sequential decoder takes over and reports what it finds.
    }
    if (result != TSlotState::Done) slot.Output.Release();
    {
      TLocked locked(FLock);
      slot.State = result;
    }
    FDone.Release();
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

bool DecodeParallel(TByteSource& source, TByteSink& sink, unsigned workers,
                    const std::function<void()>& pump) {
  TParallelDecoder decoder(source, sink, std::clamp(workers, 1u, MaxWorkers), pump);
  return decoder.Run();
}

void DecodeSequential(TByteSource& source, TByteSink& sink, const std::function<void()>& pump) {
  TBzip2Reader reader(source);
  const auto piece = std::make_unique_for_overwrite<char[]>(StreamPiece);
  TPacedPump paced(pump);
  for (std::size_t n; (n = reader.Read(piece.get(), StreamPiece)) > 0;) {
    sink.Write(piece.get(), n);
    paced.Tick();
  }
}

void DecodeStream(TByteSource& source, TByteSink& sink, const TDecodeOptions& options) {
  const unsigned workers = options.Workers > 0 ? options.Workers : ProcessorCount();
  if (workers > 1) {
    if (DecodeParallel(source, sink, workers, options.Pump)) return;
    source.Rewind();
    sink.Rewind();
  }
  DecodeSequential(source, sink, options.Pump);
}

}  // namespace payload
