// The standard error box, in which an exception that leaves an event handler is shown.
#pragma once

#include <string>

namespace ui {

// The text of the box: the message with a full stop added unless it already ends with one.
std::string ErrorBoxText(const std::string& message);

// Shows the box modally for the whole program: error icon, one OK button, the given title.
void ShowErrorBox(const std::string& message, const std::string& title);

}  // namespace ui
