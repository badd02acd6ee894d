// The program's reporter: the unpacker's calls go to the progress window TProgression and to
// the message box.
#include <memory>
#include <string>

#include "dialogs/UBM.h"
#include "dialogs/UProgression.h"
#include "payload/UConcatene.h"

namespace payload {

namespace {

class TProgressWindow : public TProgressView {
 public:
  TProgressWindow() : FWindow(ui::CreateForm<dialogs::TProgression>(nullptr)) {}
  // Freeing the form destroys its window; it is hidden first, as after a normal end, so that
  // an error that ends the extraction leaves no window behind.
  ~TProgressWindow() override {
    try {
      FWindow->Hide();
    } catch (...) {
      // The window goes away with the form in any case.
    }
  }
  void SetCaption(const std::string& text) override { FWindow->SetCaption(text); }
  void SetLabel1(const std::string& text) override { FWindow->Label1->SetCaption(text); }
  void SetLabel6(const std::string& text) override { FWindow->Label6->SetCaption(text); }
  void SetLabel2(const std::string& text) override { FWindow->Label2->SetCaption(text); }
  std::string Label2() const override { return FWindow->Label2->Caption(); }
  void SetPosition(std::int32_t percent) override { FWindow->SetPosition(percent); }
  void Show() override { FWindow->Show(); }
  void Hide() override { FWindow->Hide(); }

 private:
  std::unique_ptr<dialogs::TProgression> FWindow;
};

class TProgramReporter : public TUnpackReporter {
 public:
  std::unique_ptr<TProgressView> CreateProgress() override {
    return std::make_unique<TProgressWindow>();
  }
  std::int32_t ShowMessageBox(const std::string& title, const std::string& message,
                              const std::string& buttons, std::uint32_t color) override {
    return dialogs::ShowMessageBox(title, message, buttons, gfx::TColor(color));
  }
};

}  // namespace

TUnpackReporter& ProgramReporter() {
  static TProgramReporter reporter;
  return reporter;
}

}  // namespace payload
