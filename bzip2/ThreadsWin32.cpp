// Threads on Windows: a critical section, a kernel semaphore waited for together with the
// thread's message queue, and threads started through the C run-time so that its per-thread
// data is set up for libbz2's malloc and free.
#include <process.h>
#include <windows.h>

#include <cstdint>
#include <new>

#include "bzip2/Bzip2.h"
#include "bzip2/Threads.h"

namespace payload {

namespace {

// A decoding thread needs little stack; on a 32-bit system the address space it reserves is
// worth keeping.
constexpr unsigned WorkerStack = 256 * 1024;

}  // namespace

unsigned ProcessorCount() {
  DWORD_PTR process = 0, system = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0) {
    unsigned n = 0;
    for (; process != 0; process &= process - 1) ++n;
    return n;
  }
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? unsigned(info.dwNumberOfProcessors) : 1;
}

struct TLock::TState {
  CRITICAL_SECTION Section;
};

TLock::TLock() : FState(std::make_unique<TState>()) {
  InitializeCriticalSection(&FState->Section);
}
TLock::~TLock() {
  DeleteCriticalSection(&FState->Section);
}
void TLock::Enter() {
  EnterCriticalSection(&FState->Section);
}
void TLock::Leave() {
  LeaveCriticalSection(&FState->Section);
}

struct TSemaphore::TState {
  HANDLE Handle = nullptr;
};

TSemaphore::TSemaphore() : FState(std::make_unique<TState>()) {
  FState->Handle = CreateSemaphoreA(nullptr, 0, 0x7FFFFFFF, nullptr);
  if (!FState->Handle) throw std::bad_alloc();
}

TSemaphore::~TSemaphore() {
  CloseHandle(FState->Handle);
}

void TSemaphore::Release(unsigned count) {
  ReleaseSemaphore(FState->Handle, LONG(count), nullptr);
}

void TSemaphore::Acquire(const std::function<void()>& pump) {
  if (!pump) {
    WaitForSingleObject(FState->Handle, INFINITE);
    return;
  }
  // The queue is emptied after every wake-up, since MsgWaitForMultipleObjects only wakes for
  // messages that arrived after the last look at the queue.
  while (MsgWaitForMultipleObjects(1, &FState->Handle, FALSE, DWORD(TPacedPump::Interval.count()),
                                   QS_ALLINPUT) != WAIT_OBJECT_0) {
    pump();
  }
}

struct TThread::TState {
  HANDLE Handle = nullptr;
  std::function<void()> Body;
};

namespace {

unsigned CALLBACK ThreadMain(void* state) {
  static_cast<std::function<void()>*>(state)->operator()();
  return 0;
}

}  // namespace

std::unique_ptr<TThread> TThread::Start(std::function<void()> body) {
  std::unique_ptr<TThread> thread(new TThread);
  thread->FState = std::make_unique<TState>();
  thread->FState->Body = std::move(body);
  const std::uintptr_t handle =
      _beginthreadex(nullptr, WorkerStack, ThreadMain, &thread->FState->Body,
                     STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (handle == 0) return nullptr;
  thread->FState->Handle = reinterpret_cast<HANDLE>(handle);
  return thread;
}

TThread::~TThread() {
  if (!FState || !FState->Handle) return;
  WaitForSingleObject(FState->Handle, INFINITE);
  CloseHandle(FState->Handle);
}

}  // namespace payload
