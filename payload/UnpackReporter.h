// What the unpacker shows: one progress window per extraction, and the message box through
// which it refuses an interruption. The unpacker makes exactly these calls; the program's
// reporter puts the real windows behind them, tests put a recorder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace payload {

// One progress window, created for one extraction. Destroying it hides and frees the
// window, also when an error ends the extraction early.
class TProgressView {
 public:
  virtual ~TProgressView() = default;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetLabel1(const std::string& text) = 0;
  virtual void SetLabel6(const std::string& text) = 0;
  virtual void SetLabel2(const std::string& text) = 0;
  virtual std::string Label2() const = 0;
  // Also lets pending window messages run: that is where a press on "Interrompre" lands.
  virtual void SetPosition(std::int32_t percent) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
};

class TUnpackReporter {
 public:
  virtual ~TUnpackReporter() = default;
  // Creates a progress window without owner.
  virtual std::unique_ptr<TProgressView> CreateProgress() = 0;
  // The modal message box; the unpacker does not look at the answer.
  virtual std::int32_t ShowMessageBox(const std::string& title, const std::string& message,
                                      const std::string& buttons, std::uint32_t color) = 0;
};

}  // namespace payload
