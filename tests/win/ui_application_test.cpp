// The application object under Wine: forms it owns, the message loop and its end, and the
// standard error box for exceptions that leave event handlers.
#include "ui/Win32.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "rtl/SysUtils.h"
#include "tests/win/ui_test_util.h"
#include "ui/Application.h"
#include "ui/Buttons.h"
#include "ui/ErrorBox.h"

namespace {

using ui::Application;

TEST(ErrorBox, AddsAFullStopUnlessTheTextEndsWithOne) {
  struct Case {
    const char* message;
    const char* shown;
  };
  for (const Case& c : {Case{"Disque plein", "Disque plein."}, Case{"Fin.", "Fin."},
                        Case{"Vraiment ?", "Vraiment ?."}, Case{"", "."},
                        Case{"a...", "a..."}}) {
    EXPECT_EQ(ui::ErrorBoxText(c.message), c.shown);
  }
}

TEST(Application, TitleIsTheProgramNameWithoutExtension) {
  EXPECT_EQ(Application.Title(), "ui_application_test");
}

// A form whose button runs whatever the test puts in Action.
class TButtonForm : public ui::TForm {
public:
  explicit TButtonForm(ui::TComponent* owner) : TForm(owner) {
    SetClientSize(200, 100);
    Button = new ui::TSpeedButton(this);
    Button->SetBounds(10, 10, 100, 30);
    Button->SetCaption("Go");
    Button->SetParent(this);
    Button->OnClick = [this](ui::TComponent*) {
      ++Clicks;
      if (Action) Action();
    };
  }
  ui::TSpeedButton* Button;
  std::function<void()> Action;
  int Clicks = 0;
};

struct ErrorInHandler : ::testing::Test {
  void SetUp() override {
    Form.reset(ui::CreateForm<TButtonForm>(nullptr));
    Form->SetBounds(0, 0, Form->Width(), Form->Height());
    Form->Show();
    uitest::Pump();
  }
  // Clicks the button and handles messages until the watcher has answered `boxes` boxes.
  void ClickAndWait(uitest::TBoxWatcher& watcher, int boxes) {
    uitest::PostClick(Form->Handle(), 20, 20);
    for (int i = 0; i < 200 && watcher.Count() < boxes; ++i) uitest::Pump(10);
    uitest::Pump(50);
  }
  std::unique_ptr<TButtonForm> Form;
};

TEST_F(ErrorInHandler, IsShownInTheStandardErrorBoxAndTheProgramGoesOn) {
  struct Case {
    std::function<void()> fault;
    std::string text;
  };
  const std::vector<Case> cases = {
      {[] { throw rtl::EInOutError(5); }, "Acc\xE8s au fichier refus\xE9."},
      {[] { throw rtl::EConvertError(std::string_view("abc")); }, "'abc' n'est pas une valeur enti\xE8re correcte."},
      {[] { throw rtl::Exception("D\xE9j\xE0 fini."); }, "D\xE9j\xE0 fini."},
      {[] { throw std::runtime_error("boom"); }, "boom."},
  };
  uitest::TBoxWatcher watcher("ui-error-box.png");
  int expected = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Form->Action = c.fault;
    ClickAndWait(watcher, ++expected);
    ASSERT_EQ(watcher.Count(), expected);
    const uitest::TSeenBox& box = watcher.Seen().back();
    EXPECT_EQ(box.Title, "ui_application_test");
    EXPECT_EQ(box.Text, c.text);
    EXPECT_EQ(box.Buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(box.Icon, LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_HAND)));
  }
  // The program goes on: the same button works again, the form is as it was.
  Form->Action = nullptr;
  const int clicks = Form->Clicks;
  ClickAndWait(watcher, expected);
  EXPECT_EQ(Form->Clicks, clicks + 1);
  EXPECT_EQ(watcher.Count(), expected);
  EXPECT_TRUE(IsWindowVisible(Form->Handle()));
  EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
  EXPECT_FALSE(Application.Terminated());
}

TEST_F(ErrorInHandler, OnCreateFailureStillGivesTheForm) {
  struct TFailing : ui::TForm {
    explicit TFailing(ui::TComponent* owner) : TForm(owner) {
      OnCreate = [](ui::TComponent*) { throw rtl::Exception("cr\xE9" "ation"); };
    }
  };
  uitest::TBoxWatcher watcher;
  std::unique_ptr<TFailing> failing(ui::CreateForm<TFailing>(nullptr));
  for (int i = 0; i < 100 && watcher.Count() == 0; ++i) Sleep(10);
  EXPECT_EQ(watcher.Count(), 1);
  ASSERT_NE(failing, nullptr);
  EXPECT_TRUE(IsWindow(failing->Handle()));
}

TEST(Application, ProcessMessagesHandlesWhatIsPending) {
  std::unique_ptr<TButtonForm> form(ui::CreateForm<TButtonForm>(nullptr));
  form->Show();
  for (int i = 0; i < 3; ++i) uitest::PostClick(form->Handle(), 20, 20);
  Application.ProcessMessages();
  EXPECT_EQ(form->Clicks, 3);
}

// These run the loop of the whole program, as the installer's entry does, and end it.
TEST(Application, RunEndsWhenAHandlerTerminates) {
  TButtonForm* main = nullptr;
  Application.CreateForm(main);
  ASSERT_EQ(Application.MainForm(), main);
  EXPECT_EQ(Application.Components(Application.ComponentCount() - 1), main);
  main->Action = [] { Application.Terminate(); };
  uitest::PostClick(main->Handle(), 20, 20);
  Application.Run();
  EXPECT_TRUE(Application.Terminated());
  EXPECT_EQ(main->Clicks, 1);
  EXPECT_TRUE(main->Visible());  // Run shows the main form

  // Closing the main form ends the loop too; closing another form only hides it.
  Application.ClearTerminated();
  TButtonForm* other = nullptr;
  Application.CreateForm(other);
  other->Show();
  PostMessageA(other->Handle(), WM_CLOSE, 0, 0);
  PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
  Application.Run();
  EXPECT_TRUE(Application.Terminated());
  EXPECT_FALSE(other->Visible());

  // A freed main form leaves the application's list and its place.
  const int count = Application.ComponentCount();
  delete main;
  EXPECT_EQ(Application.MainForm(), nullptr);
  EXPECT_EQ(Application.ComponentCount(), count - 1);
  Application.ClearTerminated();
}

TEST(Application, TerminateInsideAModalLoopEndsItAsCancel) {
  std::unique_ptr<TButtonForm> dialog(ui::CreateForm<TButtonForm>(nullptr));
  dialog->Action = [] { Application.Terminate(); };
  uitest::PostClick(dialog->Handle(), 20, 20);
  EXPECT_EQ(dialog->ShowModal(), ui::mrCancel);
  EXPECT_TRUE(Application.Terminated());
  Application.ClearTerminated();
}

}  // namespace
