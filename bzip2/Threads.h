// The little of threads that the parallel decoder needs: a lock, a counting semaphore whose
// wait can keep a window loop alive, and worker threads. Win32 primitives on Windows (no
// run-time library DLL, and nothing newer than the system has), the standard library's
// elsewhere.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

namespace payload {

// The number of processors this process may run on.
unsigned ProcessorCount();

class TLock {
 public:
  TLock();
  ~TLock();
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;

  void Enter();
  void Leave();

 private:
  struct TState;
  std::unique_ptr<TState> FState;
};

class TLocked {
 public:
  explicit TLocked(TLock& lock) : FLock(lock) { FLock.Enter(); }
  ~TLocked() { FLock.Leave(); }
  TLocked(const TLocked&) = delete;
  TLocked& operator=(const TLocked&) = delete;

 private:
  TLock& FLock;
};

class TSemaphore {
 public:
  TSemaphore();
  ~TSemaphore();
  TSemaphore(const TSemaphore&) = delete;
  TSemaphore& operator=(const TSemaphore&) = delete;

  void Release(unsigned count = 1);
  // Takes one unit, waiting until there is one. While it waits, Pump (when given) is called
  // whenever window messages arrive, and at least every few tens of milliseconds, so that a
  // thread that owns windows keeps answering them.
  void Acquire(const std::function<void()>& pump = nullptr);

 private:
  struct TState;
  std::unique_ptr<TState> FState;
};

// A thread running Body; the destructor waits for its end. Body must not throw.
class TThread {
 public:
  // Null when the system refuses a new thread.
  static std::unique_ptr<TThread> Start(std::function<void()> body);
  ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

 private:
  TThread() = default;
  struct TState;
  std::unique_ptr<TState> FState;
};

}  // namespace payload
