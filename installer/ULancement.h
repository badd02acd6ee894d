// The start of the installed application by "Fermer". An installer that runs elevated must
// not hand its rights to the application, which runs from a folder every user can write to:
// it asks the desktop's shell to start it, so that it runs with the token of the user who
// started the installer, as other installers do for the program they launch at the end.
#pragma once

#include <string>

#include "ui/Win32.h"

namespace installer {

// True when the program runs with an elevated token.
bool RunsElevated();

// Has the desktop's shell (its IShellDispatch2) open File with Argument in Folder, hidden;
// false when the shell is not there to ask.
bool ShellExecuteAsDesktop(const std::string& file, const std::string& argument,
                           const std::string& folder);

// Opens File with Argument in Folder, hidden: through the desktop's shell when the program runs
// elevated and the shell answers, else directly. The outcome is not reported.
void LaunchApplication(HWND owner, const std::string& file, const std::string& argument,
                       const std::string& folder);

}  // namespace installer
