// The application object: the forms it owns, the main form, the message loop, and the
// standard error box for exceptions that leave an event handler.
#pragma once

#include <string>

#include "ui/Forms.h"

namespace ui {

class TApplication : public TComponent {
public:
  TApplication();

  // Registers what the framework's windows need (common controls).
  void Initialize();
  // Creates a form owned by the application; the first one created becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    T* form = new T(this);
    reference = form;
    form->AfterConstruction();
    if (!FMainForm) FMainForm = form;
  }
  // Shows the main form and handles messages until the program is told to terminate.
  void Run();
  // Handles every message already waiting, then returns.
  void ProcessMessages();
  // Handles one message, or waits for one when there is none.
  void HandleMessage();
  // Asks the message loop to end; Terminated() turns true when the request comes out of the
  // queue, after the messages posted before it.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // For test programs that run several loops: forgets a termination already handled.
  void ClearTerminated() { FTerminated = false; }

  TForm* MainForm() const { return FMainForm; }
  // The program's file name without folder and extension, unless set otherwise.
  const std::string& Title() const { return FTitle; }
  void SetTitle(std::string title) { FTitle = std::move(title); }
  std::string ExeName() const;

  // Shows the exception being handled (call it inside a catch block) in the standard error
  // box. Never throws.
  void HandleException() noexcept;
  void ShowException(const std::string& message) noexcept;

  void FormDestroyed(TForm* form);

private:
  bool ProcessMessage();
  bool PreviewKey(MSG& msg);

  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  std::string FTitle;
};

extern TApplication Application;

}  // namespace ui
