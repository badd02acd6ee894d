// The update's wait for the running application, on real files under Wine: a file another
// handle holds keeps it waiting, with the wait window up from the 499th attempt, until that
// handle goes; every other failure to open ends it at the first attempt.
#include "ui/Win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "installer/UApplicationWait.h"
#include "ui/GdiObjects.h"

namespace {

using installer::kWaitCaption;
using installer::kWaitWindowAttempt;

std::string CurrentFolder() {
  char path[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, path);
  return path;
}

bool WaitWindowUp() {
  const HWND window = FindWindowA(nullptr, kWaitCaption);
  return window && IsWindowVisible(window);
}

// What stands at the executable's place when the wait starts.
enum class TPlace { File, HeldExclusively, HeldForReading, Nothing, Folder, NoFolder };

struct TCase {
  const char* What;
  TPlace Place;
  bool Opened;
  bool Waits;  // until the holder lets go, through the wait window
};

TEST(ApplicationWait, WaitsOnlyWhileAnotherHandleHoldsTheFile) {
  const std::vector<TCase> cases = {
      {"a file nobody holds", TPlace::File, true, false},
      {"a file held without sharing", TPlace::HeldExclusively, true, true},
      // As Windows holds the executable of a running program: others may read it only.
      {"a file held for reading only", TPlace::HeldForReading, true, true},
      {"no file", TPlace::Nothing, false, false},
      {"a folder in place of the file (access denied)", TPlace::Folder, false, false},
      {"a file in a folder that is not there", TPlace::NoFolder, false, false},
  };
  int n = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    const std::string folder = CurrentFolder() + "\\attente-" + std::to_string(++n);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string executable =
        (c.Place == TPlace::NoFolder ? folder + "\\absent" : folder) + "\\Morvidan.EXE";
    if (c.Place == TPlace::Folder) {
      ASSERT_TRUE(CreateDirectoryA(executable.c_str(), nullptr));
    }
    const bool made = c.Place == TPlace::File || c.Place == TPlace::HeldExclusively ||
                      c.Place == TPlace::HeldForReading;
    const DWORD share = c.Place == TPlace::HeldForReading ? FILE_SHARE_READ : 0;
    ui::TFileHandle holder(made ? CreateFileA(executable.c_str(), GENERIC_READ | GENERIC_WRITE,
                                              share, nullptr, CREATE_ALWAYS, 0, nullptr)
                                : INVALID_HANDLE_VALUE);
    if (made) {
      ASSERT_TRUE(holder.Valid());
    }
    if (c.Place == TPlace::File) holder.Close();

    // The holder lets go a few paused attempts after the wait window is seen. A wait that
    // goes on where it should not is let go after a while all the same, the folder giving way
    // to a file it can open, so that the test ends in a failure rather than hangs.
    std::atomic<bool> sawWindow = false, returned = false;
    std::thread watcher([&] {
      for (int i = 0; i < 1000 && !returned && !sawWindow; ++i) {
        if (WaitWindowUp()) sawWindow = true;
        Sleep(10);
      }
      if (sawWindow) Sleep(300);
      if (holder.Valid()) holder.Close();
      if (!returned && c.Place == TPlace::Folder && RemoveDirectoryA(executable.c_str())) {
        const ui::TFileHandle file(
            CreateFileA(executable.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
      }
    });
    const installer::TWaitOutcome outcome = installer::WaitForApplication(executable);
    returned = true;
    watcher.join();

    EXPECT_EQ(outcome.Opened, c.Opened);
    EXPECT_EQ(sawWindow, c.Waits);
    if (c.Waits) {
      EXPECT_GT(outcome.Attempts, kWaitWindowAttempt);
    } else {
      EXPECT_EQ(outcome.Attempts, 1);
    }
    EXPECT_FALSE(WaitWindowUp()) << "the wait window stays up";
    // The wait's own handle is gone: the file can be had without sharing.
    if (c.Opened) {
      const ui::TFileHandle again(CreateFileA(executable.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
      EXPECT_TRUE(again.Valid());
    }
  }
}

}  // namespace
