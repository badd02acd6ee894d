// Threads elsewhere than on Windows: the standard library's. The waiting thread has no window
// loop here, but Pump is called at the same moments, so that tests see it called.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "bzip2/Bzip2.h"
#include "bzip2/Threads.h"

namespace payload {

unsigned ProcessorCount() {
  const unsigned n = std::thread::hardware_concurrency();
  return n > 0 ? n : 1;
}

struct TLock::TState {
  std::mutex Mutex;
};

TLock::TLock() : FState(std::make_unique<TState>()) {}
TLock::~TLock() = default;
void TLock::Enter() {
  FState->Mutex.lock();
}
void TLock::Leave() {
  FState->Mutex.unlock();
}

struct TSemaphore::TState {
  std::mutex Mutex;
  std::condition_variable Changed;
  unsigned Count = 0;
};

TSemaphore::TSemaphore() : FState(std::make_unique<TState>()) {}
TSemaphore::~TSemaphore() = default;

void TSemaphore::Release(unsigned count) {
  {
    std::lock_guard<std::mutex> guard(FState->Mutex);
    FState->Count += count;
  }
  FState->Changed.notify_all();
}

void TSemaphore::Acquire(const std::function<void()>& pump) {
  std::unique_lock<std::mutex> guard(FState->Mutex);
  while (FState->Count == 0) {
    if (!pump) {
      FState->Changed.wait(guard);
    } else if (!FState->Changed.wait_for(guard, TPacedPump::Interval,
                                         [&] { return FState->Count > 0; })) {
      guard.unlock();
      pump();
      guard.lock();
    }
  }
  --FState->Count;
}

struct TThread::TState {
  std::thread Thread;
};

std::unique_ptr<TThread> TThread::Start(std::function<void()> body) {
  std::unique_ptr<TThread> thread(new TThread);
  thread->FState = std::make_unique<TState>();
  try {
    thread->FState->Thread = std::thread(std::move(body));
  } catch (const std::system_error&) {
    return nullptr;
  }
  return thread;
}

TThread::~TThread() {
  if (FState && FState->Thread.joinable()) FState->Thread.join();
}

}  // namespace payload
