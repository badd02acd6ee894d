// The payload's bzip2 stream written as the container comes, a piece at a time: a release of
// any size is packed in the memory of one block.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

namespace fccpack {

class TBzip2Writer {
 public:
  // Write takes each piece of the stream as it is made.
  TBzip2Writer(int blockSize, std::function<void(std::string_view)> write);
  ~TBzip2Writer();
  TBzip2Writer(const TBzip2Writer&) = delete;
  TBzip2Writer& operator=(const TBzip2Writer&) = delete;

  void Add(std::string_view data);
  // Ends the stream; nothing may be added after it.
  void Finish();

 private:
  void Run(int action);

  struct TState;
  std::unique_ptr<TState> FState;
};

}  // namespace fccpack
