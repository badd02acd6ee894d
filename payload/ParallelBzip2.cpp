#include "payload/ParallelBzip2.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "payload/Bzip2Block.h"
#include "payload/Bzip2Blocks.h"
#include "payload/Threads.h"

namespace payload {

namespace {

// More decoding threads than this gain little, since one thread writes everything in order,
// and each holds about 4.5 MB for a block of level 9.
constexpr unsigned MaxDecoders = 8;
// The most output a decoding thread holds for one block. Real blocks give about their level times
// 100,000 bytes; one made of long runs can give fifty times that, and is read and decoded again
// by the writing thread, straight into the sink, when its turn comes.
constexpr std::size_t MaxHeldOutput = std::size_t(4) << 20;
// A block's output held by the worker that decodes it, up to MaxHeldOutput, from the room a
// block usually needs on.
class THeldOutput : public TBlockOutput {
 public:
  void Start(int level) {
    Release();
    Grow(std::size_t(level) * 100000 + StreamPiece);
  }
  std::span<char> Room() override {
    if (FSize == FCapacity) {
      if (FCapacity >= MaxHeldOutput) return {};
      Grow(std::min(FCapacity * 2, MaxHeldOutput));
    }
    return {FData.get() + FSize, FCapacity - FSize};
  }
  void Commit(std::size_t n) override { FSize += n; }
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
class TStreamedOutput : public TBlockOutput {
 public:
  explicit TStreamedOutput(TByteSink& sink) : FSink(sink) {}
  std::span<char> Room() override { return {FPiece.get(), StreamPiece}; }
  void Commit(std::size_t n) override { FSink.Write(FPiece.get(), n); }

 private:
  TByteSink& FSink;
  std::unique_ptr<char[]> FPiece = std::make_unique_for_overwrite<char[]>(StreamPiece);
};

std::span<const unsigned char> AsBytes(const std::vector<char>& bytes, std::size_t from) {
  return {reinterpret_cast<const unsigned char*>(bytes.data()) + from, bytes.size() - from};
}

enum class TSlotState { Free, Held, Queued, Decoding, Done, Failed, TooLarge };

// One block on its way: its bytes, then its output. Each is freed once it has served.
struct TSlot {
  std::vector<char> Input;  // the block's bytes, from before its first (the stream's header)
  std::uint64_t Base = 0;   // the stream byte that Input[0] stands for
  std::uint64_t Begin = 0;  // the stream bit where the block begins
  std::uint64_t Bits = 0;
  std::uint32_t Crc = 0;
  THeldOutput Output;
  TSlotState State = TSlotState::Free;  // under the decoder's lock once workers run
};

// The calling thread reads the stream, cuts it into blocks and writes their outputs in order;
// worker threads decode, and so does the calling thread whenever it would otherwise wait for
// one of them, its windows answering between the pieces. A ring of slots, two more than the
// decoding threads (one block being cut, one decoded ahead), bounds what is held: a block is
// cut only when its slot's last block has been written.
class TParallelDecoder {
 public:
  TParallelDecoder(TByteSource& source, TByteSink& sink, unsigned decoders,
                   const std::function<void()>& pump)
      : FSource(source),
        FSink(sink),
        FDecoders(decoders),
        FPump(pump),
        FPaced(pump),
        FSlots(decoders + 2) {}
  ~TParallelDecoder() { StopWorkers(); }
  TParallelDecoder(const TParallelDecoder&) = delete;
  TParallelDecoder& operator=(const TParallelDecoder&) = delete;

  bool Run();

 private:
  bool Feed(const char* bytes, std::size_t count);
  bool FinishBlock(std::uint64_t end);
  void Submit();
  bool WriteOldest();
  TSlotState StateOf(const TSlot& slot);
  bool ReadAgain(const TSlot& slot, std::vector<char>& input);
  bool TakeQueued(std::size_t& index);
  void DecodeSlot(TSlot& slot, TBlockDecoder& decoder, TPacedPump* pump);
  void WorkerMain();
  void StopWorkers();

  TByteSource& FSource;
  TByteSink& FSink;
  const unsigned FDecoders;
  const std::function<void()>& FPump;
  TPacedPump FPaced;
  int FLevel = 0;

  // The calling thread's own: the bytes of the current block (at first with the stream's
  // header before them), and the scan.
  std::vector<char> FPending;
  std::uint64_t FPendingBase = 0;  // the stream byte that FPending[0] stands for
  std::uint64_t FRead = 0;         // stream bytes read
  TMagicScanner FScanner;
  std::vector<TMagicScanner::THit> FHits;
  bool FStarted = false;      // the first block's magic has been seen
  std::uint64_t FStart = 0;   // the bit where the current block begins
  std::uint64_t FEndBit = 0;  // the bit where the end magic begins, once found
  std::uint64_t FCut = 0;     // blocks cut
  std::uint64_t FWritten = 0;
  std::uint32_t FCombined = 0;
  TBlockDecoder FOwnDecoder;

  // Shared with the workers.
  std::vector<TSlot> FSlots;
  TLock FLock;
  TSemaphore FWork, FDone;
  // Blocks are queued and taken in their order: those from FTaken to FQueued wait.
  std::uint64_t FQueued = 0, FTaken = 0;
  bool FQuit = false;
  std::vector<std::unique_ptr<TThread>> FThreads;
  bool FRefused = false;  // the system would not start another thread
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
  return ReadBits(FPending, FPendingBase, FEndBit + MagicBits, CrcBits) == FCombined;
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
  // The first block's magic and CRC follow the header at once.
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
  // The block's bytes go to the slot as they are; those of the next block, from the byte that
  // holds End's first bit on, to a buffer of their own.
  const std::size_t cut = std::size_t(end / 8 - FPendingBase);
  std::vector<char> next;
  next.reserve(std::max(FPending.size(), cut + StreamPiece) - cut);
  next.insert(next.end(), FPending.begin() + std::ptrdiff_t(cut), FPending.end());
  slot.Crc = ReadBits(FPending, FPendingBase, FStart + MagicBits, CrcBits);
  slot.Base = FPendingBase;
  slot.Begin = FStart;
  slot.Bits = end - FStart;
  slot.Input = std::move(FPending);
  FPending = std::move(next);
  FPendingBase = end / 8;
  ++FCut;
  // The first block waits for a second: a stream of one block takes the sequential path.
  if (FCut == 1) {
    slot.State = TSlotState::Held;
    return true;
  }
  if (FCut == 2) Submit();
  Submit();
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
      DecodeSlot(FSlots[index], FOwnDecoder, &FPaced);
    } else {
      FDone.Acquire(FPump);
    }
  }
  if (state == TSlotState::Failed) return false;
  if (state == TSlotState::TooLarge) {
    // Its bytes once more from the source, decoded straight into the sink.
    std::vector<char> input;
    if (!ReadAgain(slot, input) ||
        !FOwnDecoder.Read(AsBytes(input, 0), unsigned(slot.Begin % 8), slot.Bits, FLevel)) {
      return false;
    }
    std::vector<char>().swap(input);
    TStreamedOutput output(FSink);
    if (FOwnDecoder.Write(output, StreamPiece, &FPaced) != TBlockResult::Done) return false;
  } else {
    FSink.Write(slot.Output.Data(), slot.Output.Size());
    slot.Output.Release();
    FPaced.Tick();
  }
  FCombined = CombineCrc(FCombined, slot.Crc);
  ++FWritten;
  TLocked locked(FLock);
  slot.State = TSlotState::Free;
  return true;
}

// The bytes of a block read anew from the source, from the byte it begins in; the source then
// reads on where the scan left it.
bool TParallelDecoder::ReadAgain(const TSlot& slot, std::vector<char>& input) {
  const std::uint64_t first = slot.Begin / 8;
  const std::size_t count = std::size_t((slot.Begin + slot.Bits + 7) / 8 - first);
  input.assign(count, 0);
  FSource.Seek(first);
  std::size_t got = 0;
  while (got < count) {
    const std::size_t n = FSource.Read(input.data() + got, count - got);
    if (n == 0) break;
    got += n;
  }
  FSource.Seek(FRead);
  return got == count;
}

bool TParallelDecoder::TakeQueued(std::size_t& index) {
  TLocked locked(FLock);
  if (FTaken == FQueued) return false;
  index = std::size_t(FTaken++ % FSlots.size());
  FSlots[index].State = TSlotState::Decoding;
  return true;
}

// Decodes the block of Slot into its output. Its bytes go once the decoder has read them.
void TParallelDecoder::DecodeSlot(TSlot& slot, TBlockDecoder& decoder, TPacedPump* pump) {
  TSlotState result = TSlotState::Failed;
  try {
    if (decoder.Read(AsBytes(slot.Input, std::size_t(slot.Begin / 8 - slot.Base)),
                     unsigned(slot.Begin % 8), slot.Bits, FLevel)) {
      std::vector<char>().swap(slot.Input);
      slot.Output.Start(FLevel);
      const TBlockResult decoded = decoder.Write(slot.Output, StreamPiece, pump);
      result = decoded == TBlockResult::Done      ? TSlotState::Done
               : decoded == TBlockResult::Stopped ? TSlotState::TooLarge
                                                  : TSlotState::Failed;
    }
  } catch (...) {
    // Out of memory: the sequential decoder takes over and reports what it finds.
  }
  std::vector<char>().swap(slot.Input);
  if (result != TSlotState::Done) slot.Output.Release();
  {
    TLocked locked(FLock);
    slot.State = result;
  }
  FDone.Release();
}

void TParallelDecoder::WorkerMain() {
  TBlockDecoder decoder;
  for (;;) {
    FWork.Acquire();
    {
      TLocked locked(FLock);
      if (FQuit) return;
    }
    std::size_t index;
    if (TakeQueued(index)) DecodeSlot(FSlots[index], decoder, nullptr);
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
  const unsigned decoders = options.Decoders > 0 ? options.Decoders : ProcessorCount();
  if (decoders > 1) {
    if (DecodeParallel(source, sink, decoders, options.Pump)) return;
    source.Rewind();
    sink.Rewind();
  }
  DecodeSequential(source, sink, options.Pump);
}

}  // namespace payload
