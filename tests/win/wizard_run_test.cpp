// A whole installation run of the wizard, with a payload of many blocks that the program
// carries as install.exe does, watched by a second thread as a user and the system would:
// the wizard answers while the payload is decompressed, clicks on its buttons meanwhile do
// nothing, and no window but the progress window appears.
#include "ui/Win32.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "dialogs/UBM.h"
#include "installer/UInstall.h"
#include "tests/win/ui_test_util.h"
#include "ui/Application.h"

namespace {

using installer::Form1;

std::string CurrentFolder() {
  char path[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, path);
  return path;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::string& name) {
  std::string content;
  HANDLE file =
      CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::vector<char> buffer(1 << 20);
  DWORD read = 0;
  while (::ReadFile(file, buffer.data(), DWORD(buffer.size()), &read, nullptr) && read > 0)
    content.append(buffer.data(), read);
  CloseHandle(file);
  return content;
}

struct TCenter {
  int X, Y;
};

TCenter CenterOf(const ui::TControl* control) {
  return {control->Left() + control->Width() / 2, control->Top() + control->Height() / 2};
}

// What the watching thread saw of the run.
struct TWatch {
  std::atomic<int> AnsweredWhileDecompressing{0};
  std::atomic<int> Clicks{0};
  std::vector<std::string> OtherWindows;  // captions of visible windows nobody expects
};

struct TWindowList {
  HWND Wizard;
  std::vector<std::string>* Captions;
};

BOOL CALLBACK NoteWindow(HWND window, LPARAM list) {
  auto* windows = reinterpret_cast<TWindowList*>(list);
  if (window == windows->Wizard || !IsWindowVisible(window)) return TRUE;
  char caption[512] = {};
  GetWindowTextA(window, caption, sizeof caption);
  windows->Captions->push_back(caption);
  return TRUE;
}

TEST(WizardRun, TheWizardAnswersAndNothingCanBeClickedWhileThePayloadIsDecompressed) {
  dialogs::CreateMessageBoxWindow();
  ui::Application.Initialize();
  ui::Application.CreateForm(Form1);
  Form1->Show();
  uitest::Pump(50);
  const auto click = [](ui::TControl* control) {
    const TCenter c = CenterOf(control);
    uitest::PostClick(Form1->Handle(), c.X, c.Y);
    uitest::Pump(50);
  };
  click(Form1->btSuivant);
  PostMessageA(Form1->Acceptation->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, uitest::Point(6, 8));
  PostMessageA(Form1->Acceptation->Handle(), WM_LBUTTONUP, 0, uitest::Point(6, 8));
  uitest::Pump(50);
  click(Form1->btSuivant);
  ASSERT_EQ(Form1->Page, 3);
  const std::string folder = CurrentFolder() + "\\installation";
  Form1->EditDossier->SetText(folder);
  // A click that lands once page 5 is up finds "Fermer": untick the launch, so that it does
  // nothing there.
  Form1->Lancer->SetChecked(false);

  const HWND wizard = Form1->Handle();
  const DWORD guiThread = GetCurrentThreadId();
  const std::vector<TCenter> buttons = {CenterOf(Form1->btSuivant), CenterOf(Form1->btAnnuler),
                                        CenterOf(Form1->btPrecedant)};
  const std::string container = folder + "\\Morvidan.CTN";
  const std::string progressCaption =
      "D\xE9"
      "concat\xE9"
      "nation de " +
      container;
  TWatch watch;
  std::atomic<bool> done = false, ended = false;
  std::thread user([&] {
    while (!done) {
      // Decompressing: the container is being written and the progress window is not up yet.
      const bool before = Exists(container) && !FindWindowA(nullptr, progressCaption.c_str());
      if (Exists(container)) {
        for (const TCenter& b : buttons) {
          uitest::PostClick(wizard, b.X, b.Y);
          ++watch.Clicks;
        }
      }
      DWORD_PTR result = 0;
      const bool answered =
          SendMessageTimeoutA(wizard, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
      const bool after = Exists(container) && !FindWindowA(nullptr, progressCaption.c_str());
      if (answered && before && after) ++watch.AnsweredWhileDecompressing;
      std::vector<std::string> captions;
      TWindowList list{wizard, &captions};
      EnumThreadWindows(guiThread, &NoteWindow, reinterpret_cast<LPARAM>(&list));
      for (const std::string& caption : captions) {
        if (caption != progressCaption) watch.OtherWindows.push_back(caption);
      }
      Sleep(2);
    }
    ended = true;
  });
  click(Form1->btSuivant);
  for (int i = 0; i < 300 && Form1->Page != 5; ++i) uitest::Pump(10);
  // The watcher may be waiting for an answer: the wizard goes on answering until it has ended.
  done = true;
  while (!ended) uitest::Pump(5);
  user.join();

  EXPECT_EQ(Form1->Page, 5);
  EXPECT_EQ(Form1->btAnnuler->Caption(), "Fermer");
  EXPECT_GE(watch.AnsweredWhileDecompressing, 1) << "the wizard did not answer while decoding";
  EXPECT_GT(watch.Clicks, 0);
  EXPECT_TRUE(watch.OtherWindows.empty()) << watch.OtherWindows.front();
  const std::string data = "\\Archives 2016.QVF";
  EXPECT_TRUE(ReadFile(folder + data) == ReadFile(std::string(LARGE_PAYLOAD_FILES) + data));
  EXPECT_FALSE(Exists(container));
  EXPECT_FALSE(ui::Application.Terminated());

  // The run's shortcut on the desktop belongs to no other test.
  char desktop[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
  DeleteFileA((std::string(desktop) + "\\Morvidan \xA9 Sorbiane.lnk").c_str());
  delete Form1;
  Form1 = nullptr;
}

}  // namespace
