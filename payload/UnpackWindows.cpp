// The program's reporter: the unpacker's calls on the progress window and the message box.
#include <string>

#include "payload/UConcatene.h"
#include "payload/UnpackRules.h"

namespace payload {

namespace {

// Stands in for the progress window until the window exists: it keeps the texts it is given,
// so that the unpacker's calls behave the same, and shows nothing.
class TQuietProgress : public TProgressView {
public:
  void SetCaption(const std::string&) override {}
  void SetLabel1(const std::string&) override {}
  void SetLabel6(const std::string&) override {}
  void SetLabel2(const std::string& text) override { FLabel2 = text; }
  std::string Label2() const override { return FLabel2; }
  void SetPosition(std::int32_t) override {}
  void Show() override {}
  void Hide() override {}

private:
  std::string FLabel2 = DoneText;
};

class TProgramReporter : public TUnpackReporter {
public:
  std::unique_ptr<TProgressView> CreateProgress() override {
    return std::make_unique<TQuietProgress>();
  }
  std::int32_t ShowMessageBox(const std::string&, const std::string&, const std::string&,
                              std::uint32_t) override {
    return 1;
  }
};

}  // namespace

TUnpackReporter& ProgramReporter() {
  static TProgramReporter reporter;
  return reporter;
}

}  // namespace payload
