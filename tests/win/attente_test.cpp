// The wait window under Wine: its designed layout, anchors, the hidden transfer mode, and
// closing by the close box, which only hides it.
#include "ui/Win32.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dialogs/UAttente.h"
#include "rtl/SysUtils.h"
#include "tests/win/ui_test_util.h"

namespace {

using dialogs::TAttente;

// The text the installation run puts in the window while it waits for the application.
const std::string InstallerText =
    "\rinstall.EXE a décelé que Morvidan.EXE est en cours d'execution. Pour poursuivre "
    "l'installation vous devez arrêter Morvidan.EXE\rSi ce n'était pas le cas interrompez "
    "\"install.EXE\" en pressant <Ctrl><Alt><Suppr>";

struct AttenteTest : ::testing::Test {
  void SetUp() override { Form.reset(ui::CreateForm<TAttente>(nullptr)); }
  std::unique_ptr<TAttente> Form;
};

TEST_F(AttenteTest, DesignedWindow) {
  EXPECT_EQ(Form->Caption(), "Attente");
  EXPECT_EQ(Form->ClientWidth(), 555);
  EXPECT_EQ(Form->ClientHeight(), 246);
  EXPECT_EQ(Form->Color(), gfx::clWhite);
  EXPECT_EQ(Form->Font().Name, "MS Sans Serif");
  EXPECT_EQ(Form->Font().Height, -11);
  const LONG style = GetWindowLongA(Form->Handle(), GWL_STYLE);
  for (LONG bit : {LONG(WS_THICKFRAME), LONG(WS_SYSMENU), LONG(WS_MINIMIZEBOX), LONG(WS_MAXIMIZEBOX)})
    EXPECT_TRUE(style & bit) << std::hex << bit;
  EXPECT_FALSE(Form->Visible());
  EXPECT_EQ(Form->Label1->Caption().rfind("<P><P><P CENTER>Une importation", 0), 0u);
  EXPECT_EQ(Form->Label2->Caption(), "Ouverture");
  EXPECT_EQ(Form->Label3->Caption(), "0 octet");
  EXPECT_EQ(Form->Label4->Caption(), "? octets");
  EXPECT_EQ(Form->ProgressBar1->Position(), 50);
  EXPECT_TRUE(GetWindowLongA(Form->ProgressBar1->Handle(), GWL_STYLE) & PBS_SMOOTH);
}

TEST_F(AttenteTest, ControlsFollowTheClientArea) {
  struct Case {
    ui::TControl* control;
    gfx::TRect designed, grown;  // grown: the client area 100 wider and 100 higher
    bool visible;
  };
  const int label4Left = Form->Label4->Left(), label4Width = Form->Label4->Width();
  const std::vector<Case> cases = {
      {Form->Label1, gfx::Bounds(29, 0, 524, 221), gfx::Bounds(29, 0, 624, 321), true},
      {Form->Label2, gfx::Bounds(0, 230, 555, 16), gfx::Bounds(0, 330, 655, 16), true},
      {Form->ProgressBar1, gfx::Bounds(42, 143, 481, 12), gfx::Bounds(42, 143, 581, 12), false},
      {Form->Label3, gfx::Bounds(42, 155, 481, 13), gfx::Bounds(42, 155, 581, 13), false},
      {Form->Label4, gfx::Bounds(label4Left, 155, label4Width, 13),
       gfx::Bounds(label4Left + 100, 155, label4Width, 13), false},
  };
  // "? octets" keeps its designed right edge when it takes the size of its text.
  EXPECT_EQ(label4Left + label4Width, 485 + 38);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control->Name());
    EXPECT_EQ(c.control->BoundsRect(), c.designed);
    EXPECT_EQ(c.control->Visible(), c.visible);
  }
  Form->Show();
  Form->SetClientSize(655, 346);
  uitest::Pump();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control->Name());
    EXPECT_EQ(c.control->BoundsRect(), c.grown);
  }
}

TEST_F(AttenteTest, ShownCentredOnTheScreen) {
  Form->Show();
  RECT r{};
  GetWindowRect(Form->Handle(), &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
}

TEST_F(AttenteTest, ClosingByTheCloseBoxOnlyHidesIt) {
  Form->SetCaption("Installateur de Morvidan.EXE © Sorbiane");
  Form->Label1->SetCaption(InstallerText);
  Form->Show();
  uitest::Pump();
  ASSERT_TRUE(IsWindowVisible(Form->Handle()));
  // The close box sends this command; the wait loop of the installer keeps pumping messages.
  PostMessageA(Form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  int rounds = 0;
  for (; rounds < 20; ++rounds) uitest::Pump(5);
  EXPECT_EQ(rounds, 20);
  EXPECT_FALSE(Form->Visible());
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
  EXPECT_TRUE(IsWindow(Form->Handle()));
  EXPECT_FALSE(ui::Application.Terminated());
  // Shown again later, it is the same window with the same text.
  Form->Show();
  EXPECT_TRUE(IsWindowVisible(Form->Handle()));
  EXPECT_EQ(Form->Label1->Caption(), InstallerText);
}

TEST_F(AttenteTest, TransferProgressMovesTheBarAndTheCounter) {
  char separator[8] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator);
  const std::string sep = separator;
  EXPECT_EQ(dialogs::FormatByteCount(0), "0");
  EXPECT_EQ(dialogs::FormatByteCount(999), "999");
  EXPECT_EQ(dialogs::FormatByteCount(1234567), "1" + sep + "234" + sep + "567");

  Form->ProgressBar1->SetMax(2000000);
  Form->IdFTP1Work(nullptr, dialogs::TWorkMode::wmRead, 1234567);
  EXPECT_EQ(Form->ProgressBar1->Position(), 1234567);
  EXPECT_EQ(SendMessageA(Form->ProgressBar1->Handle(), PBM_GETPOS, 0, 0), 1234567);
  EXPECT_EQ(Form->Label3->Caption(), "1" + sep + "234" + sep + "567 octets");

  for (std::int64_t tooLarge : {std::int64_t(1) << 31, -(std::int64_t(1) << 31) - 1}) {
    SCOPED_TRACE(tooLarge);
    EXPECT_THROW(Form->IdFTP1Work(nullptr, dialogs::TWorkMode::wmRead, tooLarge),
                 rtl::ERangeError);
  }
  EXPECT_EQ(Form->ProgressBar1->Position(), 1234567);
}

TEST_F(AttenteTest, ScreenshotWithTheInstallersText) {
  Form->SetCaption("Installateur de Morvidan.EXE © Sorbiane");
  Form->Label1->SetCaption(InstallerText);
  Form->Show();
  uitest::Screenshot(Form->Handle(), "attente-installer.png");
}

}  // namespace
