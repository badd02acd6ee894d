#include "ui/ErrorBox.h"

#include "ui/Win32.h"

namespace ui {

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && message.back() == '.') return message;
  return message + ".";
}

void ShowErrorBox(const std::string& message, const std::string& title) {
  // No owner and task-modal: every window of the program is disabled while the box is up.
  MessageBoxA(nullptr, ErrorBoxText(message).c_str(), title.c_str(),
              MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace ui
