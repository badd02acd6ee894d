// The update's wait for the running application: it lasts while another process holds the
// application's executable, and shows the wait window when that lasts.
#pragma once

#include <string>

namespace installer {

// The attempt at which the wait window appears when the application is still running.
inline constexpr int kWaitWindowAttempt = 499;
// The caption of the wait window.
inline constexpr char kWaitCaption[] = "Installateur de Morvidan.EXE © Sorbiane";

// What a wait came to: whether the executable was opened for writing at last (the handle is
// closed again before the wait returns), and after how many attempts.
struct TWaitOutcome {
  bool Opened = false;
  int Attempts = 0;
};

// Waits until the executable can be opened for writing, that is until the application no
// longer runs. The first attempts follow each other at once; from the wait window on, the loop
// pauses between attempts while still handling window messages. Only a file held by another
// process (a sharing violation) is worth waiting for: any other failure (no file, a read-only
// file, access refused) ends the wait as a failed open does, and the steps after it meet the
// same failure.
TWaitOutcome WaitForApplication(const std::string& executable);

}  // namespace installer
