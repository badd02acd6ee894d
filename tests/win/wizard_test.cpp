// The wizard window on real windows, driven by posted clicks and keys: the page table, the
// questions, the folder browser and the launch of the installed application. The program
// carries the background picture as install.exe does, and the stand-in application plays
// the installed one.
#include "ui/Win32.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/UBM.h"
#include "installer/PageTexts.h"
#include "installer/UInstall.h"
#include "rtl/SysUtils.h"
#include "tests/win/dialog_driver.h"
#include "tests/win/ui_test_util.h"
#include "ui/Application.h"

namespace {

using installer::Form1;
using installer::TForm1;

std::string CurrentFolder() {
  char path[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, path);
  return path;
}

bool FolderExists(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFile(const std::string& name) {
  std::string content;
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return content;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    content.append(buffer, read);
  CloseHandle(file);
  return content;
}

// The name the shell shows for a folder, as the browser's tree shows it.
std::string DisplayName(const std::string& folder) {
  SHFILEINFOA info{};
  SHGetFileInfoA(folder.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME);
  return info.szDisplayName;
}

// One row of the page table, as the wizard must show it.
struct TPageView {
  bool Suivant, Annuler, AnnulerEnabled, Precedant, Memo, Acceptation, Lancer, Dossier;
  const char* AnnulerCaption;
};

TPageView PageView(int page, bool accepted) {
  switch (page) {
    case 1: return {true, true, true, false, false, false, false, false, "Annuler"};
    case 2: return {accepted, true, true, true, true, true, false, false, "Annuler"};
    case 3: return {true, true, true, true, false, false, false, true, "Annuler"};
    case 4: return {false, true, false, false, false, false, false, false, "Annuler"};
    default: return {false, true, true, false, false, false, true, false, "Fermer"};
  }
}

struct WizardTest : ::testing::Test {
  static void SetUpTestSuite() {
    dialogs::CreateMessageBoxWindow();
    ui::Application.Initialize();
  }
  void SetUp() override {
    ui::Application.CreateForm(Form1);
    ASSERT_EQ(ui::Application.MainForm(), Form1);
    Form1->Show();
    uitest::Pump(50);
  }
  void TearDown() override {
    delete Form1;
    Form1 = nullptr;
    uitest::Pump();
    ui::Application.ClearTerminated();
  }

  // A click on a drawn control of the wizard, as the mouse makes it.
  static void Click(ui::TControl* control, int dx = -1, int dy = -1) {
    const int x = control->Left() + (dx < 0 ? control->Width() / 2 : dx);
    const int y = control->Top() + (dy < 0 ? control->Height() / 2 : dy);
    uitest::PostClick(Form1->Handle(), x, y);
    uitest::Pump(50);
  }
  // A click on a check box, which is a window of its own.
  static void ClickBox(ui::TCheckBox* box) {
    const HWND w = box->Handle();
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, uitest::Point(6, 8));
    PostMessageA(w, WM_LBUTTONUP, 0, uitest::Point(6, 8));
    uitest::Pump(50);
  }
  // Clicks a drawn control and answers the message box that the click raises.
  static void ClickAndAnswer(ui::TControl* control, std::function<void(HWND)> answer,
                             std::string* title = nullptr, std::string* text = nullptr) {
    uitest::TDialogDriver driver(&uitest::MessageBoxUp, [&](HWND box) {
      if (title) *title = dialogs::FMB->Caption();
      if (text) *text = dialogs::FMB->LeMessage->Caption();
      answer(box);
    });
    Click(control);
    driver.WaitDone();
    EXPECT_TRUE(driver.Acted());
    EXPECT_FALSE(driver.TimedOut());
  }

  static void ExpectPage(int page) {
    SCOPED_TRACE("page " + std::to_string(page));
    ASSERT_EQ(Form1->Page, page);
    const TPageView v = PageView(page, Form1->Acceptation->Checked());
    EXPECT_EQ(Form1->HTMLLabel1->Caption(), installer::PageTexts[std::size_t(page - 1)]);
    EXPECT_TRUE(Form1->Image1->Visible());
    EXPECT_TRUE(Form1->HTMLLabel1->Visible());
    EXPECT_EQ(Form1->btSuivant->Visible(), v.Suivant);
    EXPECT_EQ(Form1->btAnnuler->Visible(), v.Annuler);
    EXPECT_EQ(Form1->btAnnuler->Enabled(), v.AnnulerEnabled);
    EXPECT_EQ(Form1->btAnnuler->Caption(), v.AnnulerCaption);
    EXPECT_EQ(Form1->btPrecedant->Visible(), v.Precedant);
    EXPECT_EQ(Form1->MemoLicence->Visible(), v.Memo);
    EXPECT_EQ(IsWindowVisible(Form1->MemoLicence->Handle()) != 0, v.Memo);
    EXPECT_EQ(Form1->Acceptation->Visible(), v.Acceptation);
    EXPECT_EQ(Form1->Lancer->Visible(), v.Lancer);
    EXPECT_EQ(Form1->EditDossier->Visible(), v.Dossier);
    EXPECT_EQ(IsWindowVisible(Form1->EditDossier->Handle()) != 0, v.Dossier);
    EXPECT_EQ(Form1->LabelDossier->Visible(), v.Dossier);
    EXPECT_EQ(Form1->ButtonDossier->Visible(), v.Dossier);
  }
};

TEST_F(WizardTest, TheWindowAsDesigned) {
  EXPECT_EQ(Form1->ClientWidth(), 667);
  EXPECT_EQ(Form1->ClientHeight(), 461);
  EXPECT_EQ(Form1->Caption(), "");
  const LONG style = GetWindowLongA(Form1->Handle(), GWL_STYLE);
  EXPECT_FALSE(style & WS_SYSMENU);  // no title-bar buttons at all
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  // In the middle of the desktop.
  EXPECT_EQ(Form1->Left(), (GetSystemMetrics(SM_CXVIRTUALSCREEN) - Form1->Width()) / 2);
  EXPECT_EQ(Form1->Top(), (GetSystemMetrics(SM_CYVIRTUALSCREEN) - Form1->Height()) / 2);
  EXPECT_EQ(Form1->Color(), gfx::clWhite);
  EXPECT_EQ(Form1->Font().Name, "Tahoma");
  EXPECT_EQ(Form1->Font().Height, -13);
  // The background picture comes from the program's resources.
  ASSERT_NE(Form1->Image1->Picture(), nullptr);
  EXPECT_EQ(Form1->Image1->Picture()->Width(), 666);
  EXPECT_EQ(Form1->Image1->Picture()->Height(), 382);
  EXPECT_EQ(Form1->Image1->BoundsRect(), gfx::Bounds(0, 38, 666, 382));
  // The licence agreement: 33 lines, none wrapped, read-only.
  EXPECT_EQ(Form1->MemoLicence->LineCount(), 33);
  EXPECT_EQ(Form1->MemoLicence->Text().rfind("Morvidan \xA9 Sorbiane\r\nCONTRAT DE LICENCE\r\n", 0), 0u);
  EXPECT_TRUE(GetWindowLongA(Form1->MemoLicence->Handle(), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(GetWindowLongA(Form1->MemoLicence->Handle(), GWL_STYLE) & WS_VSCROLL);
  // The acceptance box speaks in bold.
  LOGFONTA lf{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(Form1->Acceptation->Handle(), WM_GETFONT, 0, 0)),
             sizeof lf, &lf);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_FALSE(Form1->Acceptation->Checked());
  EXPECT_TRUE(Form1->Lancer->Checked());
  EXPECT_EQ(Form1->EditDossier->Text(), "c:\\Morvidan");
}

TEST_F(WizardTest, ShowingTheWindowShowsPageOne) {
  ExpectPage(1);
  uitest::Screenshot(Form1->Handle(), "wizard-page1.png");
}

TEST_F(WizardTest, PagesOneToFourForwardAndBack) {
  Click(Form1->btSuivant);
  ExpectPage(2);
  EXPECT_FALSE(Form1->btSuivant->Visible());
  // "Suivant >" follows the acceptance box.
  ClickBox(Form1->Acceptation);
  EXPECT_TRUE(Form1->Acceptation->Checked());
  EXPECT_TRUE(Form1->btSuivant->Visible());
  uitest::Screenshot(Form1->Handle(), "wizard-page2.png");
  ClickBox(Form1->Acceptation);
  EXPECT_FALSE(Form1->btSuivant->Visible());
  // A click where the hidden button is does nothing.
  Click(Form1->btSuivant);
  ExpectPage(2);
  ClickBox(Form1->Acceptation);
  Click(Form1->btSuivant);
  ExpectPage(3);
  uitest::Screenshot(Form1->Handle(), "wizard-page3.png");
  // Back on page 2 the box is as the user left it.
  Click(Form1->btPrecedant);
  ExpectPage(2);
  EXPECT_TRUE(Form1->Acceptation->Checked());
  EXPECT_TRUE(Form1->btSuivant->Visible());
  Click(Form1->btPrecedant);
  ExpectPage(1);
  Click(Form1->btSuivant);
  Click(Form1->btSuivant);
  ExpectPage(3);
}

// This test program carries no payload: the run of page 4 writes an empty payload file, the
// unpacker stops with its read error in the standard error box, and the wizard stays on
// page 4 with "Annuler" enabled again, so that the user can still leave.
TEST_F(WizardTest, AFailedRunStaysOnPageFourWithAnnulerEnabledAgain) {
  Click(Form1->btSuivant);
  ClickBox(Form1->Acceptation);
  Click(Form1->btSuivant);
  ExpectPage(3);
  const std::string folder = CurrentFolder() + "\\sans-charge";
  Form1->EditDossier->SetText(folder);
  uitest::TBoxWatcher watcher("wizard-failed-run.png");
  Click(Form1->btSuivant);
  for (int i = 0; i < 500 && watcher.Count() == 0; ++i) uitest::Pump(10);
  uitest::Pump(100);
  ASSERT_EQ(watcher.Count(), 1);
  EXPECT_EQ(watcher.Seen()[0].Text, "Lecture au-delà de la fin de fichier.");
  EXPECT_EQ(Form1->Page, 4);
  EXPECT_FALSE(Form1->btSuivant->Visible());
  EXPECT_FALSE(Form1->btPrecedant->Visible());
  EXPECT_TRUE(Form1->btAnnuler->Visible());
  EXPECT_TRUE(Form1->btAnnuler->Enabled());
  EXPECT_EQ(Form1->btAnnuler->Caption(), "Annuler");
  EXPECT_FALSE(IsWindowVisible(Form1->EditDossier->Handle()));
  // The empty payload file is where the run wrote it, and nothing else.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA((folder + "\\Morvidan.FCC").c_str(), GetFileExInfoStandard,
                                   &data));
  EXPECT_EQ(data.nFileSizeLow, 0u);
  EXPECT_FALSE(ui::Application.Terminated());
}

// The run builds its paths from the folder box before it makes anything: a folder so deep that
// the payload file's path passes 255 characters stops it with the file error, with no folder
// made and no file under a cut name, and the wizard stays on page 4 with "Annuler" enabled.
TEST_F(WizardTest, AFolderTooDeepForThePayloadFileStopsTheRun) {
  const std::string readError = "Lecture au-del\xE0 de la fin de fichier.";
  const std::string tooLong = "Nom de fichier ou extension trop long.";
  struct Case {
    std::size_t payloadPath;  // the length of the payload file's path
    bool update;
    std::string box;
  };
  const std::vector<Case> cases = {
      {255, false, readError},  // it fits: the run gets as far as this payload-less program can
      {256, false, tooLong},
      {255, true, readError},
      {256, true, tooLong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.payloadPath) + (c.update ? " update" : ""));
    const std::string parent = CurrentFolder() + "\\profond-" + std::to_string(c.payloadPath) +
                               (c.update ? "-maj" : "");
    ASSERT_TRUE(CreateDirectoryA(parent.c_str(), nullptr));
    const std::string tail = c.update ? "\\MAJ\\Morvidan.FCC" : "\\Morvidan.FCC";
    const std::string folder =
        parent + "\\" + std::string(c.payloadPath - parent.size() - 1 - tail.size(), 'd');
    if (c.update) {
      ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
      HANDLE exe = CreateFileA((folder + "\\Morvidan.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_NEW, 0, nullptr);
      ASSERT_NE(exe, INVALID_HANDLE_VALUE);
      CloseHandle(exe);
    }
    Click(Form1->btSuivant);
    ClickBox(Form1->Acceptation);
    Click(Form1->btSuivant);
    ExpectPage(3);
    Form1->EditDossier->SetText(folder);
    {
      uitest::TBoxWatcher watcher(c.box == tooLong ? "wizard-folder-too-deep.png" : "");
      Click(Form1->btSuivant);
      for (int i = 0; i < 500 && watcher.Count() == 0; ++i) uitest::Pump(10);
      uitest::Pump(100);
      ASSERT_EQ(watcher.Count(), 1);
      EXPECT_EQ(watcher.Seen()[0].Text, c.box);
    }
    EXPECT_EQ(Form1->Page, 4);
    EXPECT_TRUE(Form1->btAnnuler->Enabled());
    const bool fits = c.payloadPath <= 255;
    EXPECT_EQ(ReadFile(folder + tail), "");
    EXPECT_EQ(GetFileAttributesA((folder + tail).c_str()) != INVALID_FILE_ATTRIBUTES, fits);
    EXPECT_EQ(FolderExists(folder), fits || c.update) << "the chosen folder is made only then";
    EXPECT_EQ(FolderExists(folder + "\\MAJ"), fits && c.update);
    // What is left in the parent: the chosen folder when it was made, nothing else.
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA((parent + "\\*").c_str(), &data);
    int entries = 0;
    do {
      entries += std::string(data.cFileName) != "." && std::string(data.cFileName) != "..";
    } while (FindNextFileA(find, &data));
    FindClose(find);
    EXPECT_EQ(entries, FolderExists(folder) ? 1 : 0);
    TearDown();
    SetUp();
  }
}

TEST_F(WizardTest, AnnulerAsksAndEndsOnlyOnOui) {
  struct Case {
    int page;
    const char* answer;
    std::function<void(HWND)> input;
    bool ends;
  };
  const Case cases[] = {
      {1, "key N", [](HWND box) { uitest::PostKey(box, 'N'); }, false},
      {2, "Escape", [](HWND box) { uitest::PostKey(box, VK_ESCAPE); }, false},
      {3, "closed", [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
      {1, "Enter", [](HWND box) { uitest::PostKey(box, VK_RETURN); }, true},
      {2, "key O", [](HWND box) { uitest::PostKey(box, 'O'); }, true},
      {3, "click Oui", [](HWND box) { uitest::PostClick(box, 20 + 67, dialogs::FMB->ClientHeight() - 10 - 13); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("page " + std::to_string(c.page) + ", " + c.answer);
    Form1->Acceptation->SetChecked(c.page == 3);
    Form1->SetPage(std::uint8_t(c.page));
    std::string title, text;
    ClickAndAnswer(Form1->btAnnuler, c.input, &title, &text);
    EXPECT_EQ(title, "Annulation");
    EXPECT_EQ(text, "Voulez-vous vraiment annuler l'installation ?");
    uitest::Pump(20);
    EXPECT_EQ(ui::Application.Terminated(), c.ends);
    ExpectPage(c.page);
    ui::Application.ClearTerminated();
  }
}

TEST_F(WizardTest, CancelQuestionScreenshot) {
  Click(Form1->btSuivant);
  ClickAndAnswer(Form1->btAnnuler, [](HWND box) {
    // The box over the wizard, as the screen shows them.
    RECT r{};
    GetWindowRect(Form1->Handle(), &r);
    uitest::Pump(50);
    const ui::TBitmap screen = uitest::Snapshot(GetDesktopWindow(), true);
    ui::TBitmap shot(r.right - r.left, r.bottom - r.top);
    for (int y = 0; y < shot.Height(); ++y)
      for (int x = 0; x < shot.Width(); ++x) shot.SetPixel(x, y, screen.Pixel(r.left + x, r.top + y));
    ui::SaveToPNG(shot, uitest::ArtifactPath("wizard-cancel-question.png"));
    uitest::Screenshot(box, "wizard-cancel-box.png");
    uitest::PostKey(box, 'N');
  });
  ExpectPage(2);
}

TEST_F(WizardTest, SetPageAsksForTheLicenceWhenTheBoxIsNotTicked) {
  struct Case {
    const char* answer;
    UINT key;
    int page;
    bool ticked;
  };
  for (const Case& c : {Case{"Non", 'N', 2, false}, Case{"Escape", VK_ESCAPE, 2, false},
                        Case{"Oui", 'O', 3, true}}) {
    SCOPED_TRACE(c.answer);
    Form1->Acceptation->SetChecked(false);
    Form1->SetPage(2);
    std::string title, text;
    uitest::TDialogDriver driver(&uitest::MessageBoxUp, [&](HWND box) {
      title = dialogs::FMB->Caption();
      text = dialogs::FMB->LeMessage->Caption();
      uitest::PostKey(box, c.key);
    });
    Form1->SetPage(3);
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(title, "Contrat de licence");
    EXPECT_EQ(text, "Acceptez-vous les termes du contrat de licence ?");
    EXPECT_EQ(Form1->Acceptation->Checked(), c.ticked);
    ExpectPage(c.page);
  }
  // With the box ticked nothing is asked.
  Form1->SetPage(2);
  Form1->SetPage(3);
  ExpectPage(3);
}

// The folder browser's tree: the text of its root item and of the item selected.
struct TBrowserView {
  std::string Root, Selected, Title;
};

HWND BrowserTree(HWND dialog) { return FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr); }

std::string ItemText(HWND tree, HTREEITEM item) {
  char buffer[MAX_PATH] = {};
  TVITEMA tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = sizeof buffer;
  if (!item || !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return "";
  return buffer;
}

TBrowserView ReadBrowser(HWND dialog) {
  TBrowserView view;
  if (HWND tree = BrowserTree(dialog)) {
    view.Root = ItemText(tree, TreeView_GetRoot(tree));
    view.Selected = ItemText(tree, TreeView_GetSelection(tree));
  }
  // The title is the text of one of the dialog's static controls.
  for (HWND child = nullptr; (child = FindWindowExA(dialog, child, "Static", nullptr));) {
    char buffer[256] = {};
    GetWindowTextA(child, buffer, sizeof buffer);
    if (std::string(buffer) == "Choisissez le dossier d'installation") view.Title = buffer;
  }
  return view;
}

struct ChoisirTest : WizardTest {
  void SetUp() override {
    WizardTest::SetUp();
    Form1->Acceptation->SetChecked(true);
    Form1->SetPage(3);
  }
  // Types a folder into the text box, clicks "Choisir" and runs action on the browser.
  TBrowserView Choose(const std::string& folder, std::function<void(HWND)> action) {
    Form1->EditDossier->SetText(folder);
    TBrowserView view;
    uitest::TDialogDriver driver(&uitest::StandardDialogUp, [&](HWND dialog) {
      // The browser fills its tree and selects the start folder a moment after it shows, the
      // later the busier the machine: it is read once that is done, or after two seconds
      // (a tree rooted elsewhere than a drive may never show a selection).
      for (int waited = 0; waited < 2000; waited += 20) {
        uitest::Pump(20);
        view = ReadBrowser(dialog);
        if (!view.Title.empty() && !view.Root.empty() && !view.Selected.empty()) break;
      }
      action(dialog);
    });
    Click(Form1->ButtonDossier);
    driver.WaitDone();
    EXPECT_TRUE(driver.Acted());
    EXPECT_FALSE(driver.TimedOut());
    return view;
  }
};

TEST_F(ChoisirTest, AMissingFolderIsCreatedAndCancellingKeepsTheText) {
  const std::string parent = CurrentFolder() + "\\choix";
  CreateDirectoryA(parent.c_str(), nullptr);
  const std::string folder = parent + "\\neuf";
  ASSERT_FALSE(FolderExists(folder));
  bool existedWhenShown = false;
  const TBrowserView view = Choose(folder, [&](HWND dialog) {
    existedWhenShown = FolderExists(folder);
    uitest::PostKeyToFocus(dialog, VK_ESCAPE);
  });
  EXPECT_TRUE(existedWhenShown);
  EXPECT_EQ(view.Title, "Choisissez le dossier d'installation");
  // Rooted two levels up. (Wine 8 shows the typed folder selected only in a tree rooted at a
  // drive, as in the case of the default folder below.)
  EXPECT_EQ(view.Root, DisplayName(CurrentFolder()));
  EXPECT_EQ(Form1->EditDossier->Text(), folder);
  ExpectPage(3);
}

TEST_F(ChoisirTest, AConfirmedFolderReplacesTheText) {
  const std::string parent = CurrentFolder() + "\\confirme";
  CreateDirectoryA(parent.c_str(), nullptr);
  CreateDirectoryA((parent + "\\dedans").c_str(), nullptr);
  // The user clicks another folder in the tree, then OK.
  Choose(parent + "\\dedans", [](HWND dialog) {
    HWND tree = BrowserTree(dialog);
    HTREEITEM item = TreeView_GetChild(tree, TreeView_GetRoot(tree));
    while (item && ItemText(tree, item) != "confirme") item = TreeView_GetNextSibling(tree, item);
    ASSERT_NE(item, nullptr);
    RECT r{};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    uitest::PostClick(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    uitest::Pump(100);
    EXPECT_EQ(ItemText(tree, TreeView_GetSelection(tree)), "confirme");
    uitest::PostKeyToFocus(dialog, VK_RETURN);
  });
  EXPECT_EQ(lstrcmpiA(Form1->EditDossier->Text().c_str(), parent.c_str()), 0)
      << Form1->EditDossier->Text();
}

TEST_F(ChoisirTest, TheDefaultFolderIsBrowsedFromTheDrivesRoot) {
  const TBrowserView view = Choose("c:\\Morvidan", [](HWND dialog) {
    uitest::PostKeyToFocus(dialog, VK_ESCAPE);
  });
  EXPECT_TRUE(FolderExists("c:\\Morvidan"));
  EXPECT_EQ(view.Root, DisplayName("c:\\"));
  EXPECT_EQ(view.Selected, DisplayName("c:\\Morvidan"));
  EXPECT_EQ(Form1->EditDossier->Text(), "c:\\Morvidan");
  RemoveDirectoryA("c:\\Morvidan");
}

TEST_F(ChoisirTest, AFolderThatCannotBeCreatedIsReportedAndNoBrowserOpens) {
  const std::string folder = CurrentFolder() + "\\absent\\neuf";
  Form1->EditDossier->SetText(folder);
  uitest::TBoxWatcher watcher;
  Click(Form1->ButtonDossier);
  for (int i = 0; i < 200 && watcher.Count() == 0; ++i) uitest::Pump(10);
  ASSERT_EQ(watcher.Count(), 1);
  uitest::Pump(100);
  EXPECT_EQ(watcher.Count(), 1);  // the error box only: the browser never came
  EXPECT_EQ(watcher.Seen()[0].Title, ui::Application.Title());
  EXPECT_EQ(watcher.Seen()[0].Text, rtl::InOutErrorText(ERROR_PATH_NOT_FOUND) + ".");
  EXPECT_FALSE(FolderExists(folder));
  EXPECT_EQ(Form1->EditDossier->Text(), folder);
  ExpectPage(3);
}

// The stand-in application, copied into a folder of the test as the installed one.
std::string InstallStandIn(const std::string& folder) {
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string source = STANDIN_EXE;  // a path of the build machine, seen through drive Z:
  for (char& c : source)
    if (c == '/') c = '\\';
  source = "Z:" + source;
  const std::string target = folder + "\\Morvidan.exe";
  EXPECT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE)) << source;
  return target;
}

// Closes the stand-in application that the wizard started and waits until it has ended.
void CloseStandIn() {
  HWND window = nullptr;
  for (int i = 0; i < 200 && !(window = FindWindowA("TMorvidan", nullptr)); ++i) Sleep(20);
  if (!window) return;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (process) {
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
  }
}

TEST_F(WizardTest, FermerStartsTheApplicationFromTheChosenFolderAndEnds) {
  const std::string folder = CurrentFolder() + "\\appli";
  InstallStandIn(folder);
  Form1->EditDossier->SetText(folder);
  Form1->SetPage(5);
  ExpectPage(5);
  uitest::Screenshot(Form1->Handle(), "wizard-page5.png");
  Click(Form1->btAnnuler);
  uitest::Pump(20);
  EXPECT_TRUE(ui::Application.Terminated());

  const std::string record = folder + "\\lancement.txt";
  std::string launch;
  for (int i = 0; i < 500 && (launch = ReadFile(record)).find("dossier=") == std::string::npos; ++i)
    Sleep(20);
  CloseStandIn();
  const std::size_t line = launch.find("\r\n");
  ASSERT_NE(line, std::string::npos) << launch;
  const std::string commandLine = launch.substr(0, line);
  const std::string startFolder = launch.substr(line + 2, launch.find("\r\n", line + 2) - line - 2);
  // The single argument VERUVI after the program's own name, started in the chosen folder.
  EXPECT_NE(commandLine.find("Morvidan.exe"), std::string::npos) << commandLine;
  EXPECT_EQ(commandLine.substr(commandLine.size() - 7), " VERUVI") << commandLine;
  EXPECT_EQ(lstrcmpiA(startFolder.c_str(), ("dossier=" + folder).c_str()), 0) << startFolder;
}

TEST_F(WizardTest, FermerWithTheLaunchBoxUntickedDoesNothing) {
  const std::string folder = CurrentFolder() + "\\sans-lancement";
  InstallStandIn(folder);
  Form1->EditDossier->SetText(folder);
  Form1->SetPage(5);
  ClickBox(Form1->Lancer);
  EXPECT_FALSE(Form1->Lancer->Checked());
  Click(Form1->btAnnuler);
  uitest::Pump(500);
  EXPECT_FALSE(ui::Application.Terminated());
  EXPECT_EQ(GetFileAttributesA((folder + "\\lancement.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(uitest::MessageBoxUp(), nullptr);
  ExpectPage(5);
}

}  // namespace
