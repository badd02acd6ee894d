// The unpacker with the program's own windows under Wine: the real progress window and the
// real message box, driven from another thread as a user's input would.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "payload/UConcatene.h"
#include "rtl/SysUtils.h"
#include "tests/win/ui_test_util.h"
#include "tests/win/unpack_test_support.h"

namespace {

using namespace unpacktest;

struct TSearch {
  std::string Prefix;
  HWND Found = nullptr;
};

// A named function, not a lambda: on 32-bit Windows the callback is __stdcall.
BOOL CALLBACK CheckWindow(HWND w, LPARAM p) {
  auto* search = reinterpret_cast<TSearch*>(p);
  char text[512] = {};
  GetWindowTextA(w, text, sizeof text);
  if (!IsWindowVisible(w) || !std::string(text).starts_with(search->Prefix)) return TRUE;
  search->Found = w;
  return FALSE;
}

// A visible top-level window of the thread whose caption starts with Prefix.
HWND FindWindowOf(DWORD thread, const std::string& prefix) {
  TSearch search{prefix};
  EnumThreadWindows(thread, CheckWindow, LPARAM(&search));
  return search.Found;
}

// The program's own windows: a real click on "Interrompre" during the extraction, answered
// by the real message box, which is dismissed with Enter as a user would.
TEST(UnpackWindows, RefuseAPressOnInterrompre) {
  // The program's scratch folder is its own.
  const auto P = [](const std::string& name) { return Here() + "\\" + name; };
  Entries entries;
  for (int i = 0; i < 300; ++i)
    entries.push_back({"e" + std::to_string(i) + ".dat", std::string(20000, char('a' + i % 26))});
  WriteBytes(P("Morvidan.FCC"), Payload(entries));
  const DWORD thread = GetCurrentThreadId();
  std::atomic<bool> done{false}, clicked{false}, answered{false};
  std::atomic<HWND> progress{nullptr};
  // The unpacker runs on this thread; its windows are driven from another, as input would.
  std::thread user([&] {
    while (!done) {
      if (!clicked) {
        if (HWND w = FindWindowOf(thread,
                                  "D\xE9"
                                  "concat\xE9"
                                  "nation de ")) {
          // "Interrompre" is anchored to the right and bottom edges: 212 and 54 pixels in
          // from them in the designed 712 x 190 client area.
          RECT r{};
          GetClientRect(w, &r);
          uitest::PostClick(w, r.right - 212 + 40, r.bottom - 54 + 15);
          progress = w;
          clicked = true;
        }
      } else if (!answered) {
        if (HWND box = FindWindowOf(thread, "Interruption Interdite")) {
          uitest::PostKey(box, VK_RETURN);
          answered = true;
        }
      }
      Sleep(1);
    }
  });
  std::string error;
  try {
    payload::UnpackArchive(P("Morvidan.FCC"));
  } catch (const rtl::Exception& e) {
    error = e.Message();
  }
  done = true;
  user.join();
  EXPECT_EQ(error, "");
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(answered) << "the refusal was shown";
  EXPECT_FALSE(IsWindow(progress)) << "the progress window is freed";
  for (const auto& [name, contents] : entries) EXPECT_EQ(ReadBytes(P(name)), contents) << name;
  EXPECT_FALSE(Exists(P("Morvidan.CTN")));
}

}  // namespace
