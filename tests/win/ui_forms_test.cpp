// Forms under Wine, driven by posted input messages: the modal loop and its results, border
// styles and caption buttons, stay-on-top switching, placement, key preview and the events.
#include "ui/Win32.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "rtl/SysUtils.h"
#include "tests/win/ui_test_util.h"
#include "ui/Application.h"
#include "ui/Buttons.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

using ui::TCloseAction;
using ui::TForm;

// A dialog with an OK button; Escape answers 7; it logs its events.
class TDialog : public TForm {
public:
  explicit TDialog(ui::TComponent* owner) : TForm(owner) {
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(240, 120);
    Ok = new ui::TSpeedButton(this);
    Ok->SetBounds(80, 80, 80, 27);
    Ok->SetCaption("&Ok");
    Ok->SetParent(this);
    Ok->OnClick = [this](ui::TComponent*) { SetModalResult(ui::mrOk); };
    OnKeyDown = [this](ui::TComponent*, std::uint16_t& key, ui::TShiftState) {
      Log.push_back("key " + std::to_string(key));
      if (key == VK_ESCAPE) SetModalResult(7);
    };
    OnCreate = [this](ui::TComponent*) { Log.push_back("create"); };
    OnShow = [this](ui::TComponent*) { Log.push_back("show"); };
    OnHide = [this](ui::TComponent*) { Log.push_back("hide"); };
    OnClose = [this](ui::TComponent*, TCloseAction&) { Log.push_back("close"); };
  }
  ui::TSpeedButton* Ok;
  std::vector<std::string> Log;
};

struct DialogTest : ::testing::Test {
  void SetUp() override {
    Other.reset(ui::CreateForm<TForm>(nullptr));
    Other->SetBounds(0, 0, 200, 100);
    Other->Show();
    Dialog.reset(ui::CreateForm<TDialog>(nullptr));
    Dialog->SetBounds(300, 300, Dialog->Width(), Dialog->Height());
    uitest::Pump();
  }
  std::unique_ptr<TForm> Other;
  std::unique_ptr<TDialog> Dialog;
};

TEST_F(DialogTest, ModalLoopEndsWithTheResultOfTheInput) {
  struct Case {
    const char* name;
    void (*post)(HWND);
    ui::TModalResult result;
  };
  const std::vector<Case> cases = {
      {"button", [](HWND w) { uitest::PostClick(w, 100, 90); }, ui::mrOk},
      {"escape", [](HWND w) { uitest::PostKey(w, VK_ESCAPE); }, 7},
      {"close box", [](HWND w) { PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }, ui::mrCancel},
      {"close message", [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); }, ui::mrCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.post(Dialog->Handle());
    bool otherDisabled = false;
    Dialog->OnShow = [&](ui::TComponent*) { otherDisabled = !IsWindowEnabled(Other->Handle()); };
    EXPECT_EQ(Dialog->ShowModal(), c.result);
    EXPECT_TRUE(otherDisabled);
    EXPECT_TRUE(IsWindowEnabled(Other->Handle()));
    EXPECT_FALSE(IsWindowVisible(Dialog->Handle()));
    EXPECT_FALSE(Dialog->Visible());
    EXPECT_FALSE(Dialog->Modal());
  }
}

TEST_F(DialogTest, ModalLoopRunsOnClose) {
  uitest::PostClick(Dialog->Handle(), 100, 90);
  Dialog->Log.clear();
  Dialog->ShowModal();
  EXPECT_EQ(Dialog->Log, (std::vector<std::string>{"show", "close", "hide"}));
}

TEST_F(DialogTest, RefusedCloseKeepsTheLoopGoing) {
  int asked = 0;
  Dialog->OnCloseQuery = [&](ui::TComponent*, bool& canClose) { canClose = ++asked > 1; };
  PostMessageA(Dialog->Handle(), WM_CLOSE, 0, 0);   // refused
  uitest::PostClick(Dialog->Handle(), 100, 90);     // then OK, accepted
  EXPECT_EQ(Dialog->ShowModal(), ui::mrOk);
  EXPECT_EQ(asked, 2);
}

TEST_F(DialogTest, ShowingAVisibleFormModallyFails) {
  Dialog->Show();
  EXPECT_THROW(Dialog->ShowModal(), rtl::Exception);
}

TEST_F(DialogTest, KeysGoToTheFormWithoutAFocusedControl) {
  Dialog->Show();
  uitest::Pump();
  Dialog->Log.clear();
  std::string typed;
  Dialog->OnKeyPress = [&](ui::TComponent*, char& key) { typed += key; };
  uitest::PostKey(Dialog->Handle(), 'N');
  uitest::Pump();
  EXPECT_EQ(Dialog->Log, std::vector<std::string>{"key 78"});
  EXPECT_EQ(typed, "n");
}

TEST(FormStyle, BorderStylesAndCaptionButtons) {
  struct Case {
    ui::TFormBorderStyle border;
    ui::TBorderIcons icons;
    LONG present, absent;
  };
  const std::vector<Case> cases = {
      {ui::TFormBorderStyle::bsDialog, 0, WS_CAPTION,
       WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX},
      {ui::TFormBorderStyle::bsSingle, ui::biStandard,
       WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_THICKFRAME},
      {ui::TFormBorderStyle::bsSizeable, ui::biStandard,
       WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0},
      {ui::TFormBorderStyle::bsSizeable, ui::biSystemMenu, WS_SYSMENU | WS_THICKFRAME,
       WS_MINIMIZEBOX | WS_MAXIMIZEBOX},
  };
  std::unique_ptr<TForm> form(ui::CreateForm<TForm>(nullptr));
  form->SetClientSize(300, 200);
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.border) * 10 + c.icons);
    form->SetBorderStyle(c.border);
    form->SetBorderIcons(c.icons);
    form->Show();
    uitest::Pump();
    const LONG style = GetWindowLongA(form->Handle(), GWL_STYLE);
    EXPECT_EQ(style & c.present, c.present);
    EXPECT_EQ(style & c.absent, 0);
    // The designed geometry is the client area, whatever the frame.
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_EQ(form->ClientHeight(), 200);
    form->Hide();
  }
}

TEST(FormStyle, StayOnTopCanBeSwitchedBothWays) {
  std::unique_ptr<TForm> form(ui::CreateForm<TForm>(nullptr));
  auto topmost = [&] { return (GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  form->SetFormStyle(ui::TFormStyle::fsStayOnTop);
  form->Show();
  uitest::Pump();
  EXPECT_TRUE(topmost());
  form->SetFormStyle(ui::TFormStyle::fsNormal);
  EXPECT_FALSE(topmost());
  EXPECT_EQ(form->FormStyle(), ui::TFormStyle::fsNormal);
  form->SetFormStyle(ui::TFormStyle::fsStayOnTop);
  EXPECT_TRUE(topmost());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

// Show brings a form to the front and activates it, whether it is shown for the first time or
// was already shown behind another.
TEST_F(DialogTest, ShowBringsTheFormToTheFrontAndActivatesIt) {
  for (TForm* form : std::vector<TForm*>{Dialog.get(), Other.get(), Dialog.get()}) {
    form->Show();
    uitest::Pump();
    EXPECT_EQ(GetActiveWindow(), form->Handle());
    EXPECT_EQ(GetTopWindow(nullptr), form->Handle());
  }
}

TEST(FormPlacement, CentredDesignedOrChosenBySystem) {
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  for (ui::TPosition p : {ui::TPosition::poScreenCenter, ui::TPosition::poDesktopCenter}) {
    std::unique_ptr<TForm> form(ui::CreateForm<TForm>(nullptr));
    form->SetClientSize(301, 201);
    form->SetPosition(p);
    form->Show();
    EXPECT_EQ(form->Left(), (screenW - form->Width()) / 2);
    EXPECT_EQ(form->Top(), (screenH - form->Height()) / 2);
    // Only the first showing places it.
    form->Hide();
    form->SetLeft(5);
    form->Show();
    EXPECT_EQ(form->Left(), 5);
  }
  std::unique_ptr<TForm> designed(ui::CreateForm<TForm>(nullptr));
  designed->SetBounds(556, 265, 400, 300);
  designed->Show();
  RECT r{};
  GetWindowRect(designed->Handle(), &r);
  EXPECT_EQ(r.left, 556);
  EXPECT_EQ(r.top, 265);

  // The system chooses position and size; anchored controls follow from the designed layout.
  std::unique_ptr<TForm> chosen(ui::CreateForm<TForm>(nullptr));
  chosen->SetClientSize(200, 100);
  auto* corner = new ui::TLabel(chosen.get());
  corner->SetAutoSize(false);
  corner->SetBounds(150, 80, 40, 10);
  corner->SetAnchors(ui::akRight | ui::akBottom);
  corner->SetParent(chosen.get());
  chosen->SetPosition(ui::TPosition::poDefault);
  chosen->Show();
  EXPECT_NE(chosen->ClientWidth(), 200);
  EXPECT_EQ(corner->Left(), chosen->ClientWidth() - 50);
  EXPECT_EQ(corner->Top(), chosen->ClientHeight() - 20);
}

class TEditForm : public TForm {
public:
  explicit TEditForm(ui::TComponent* owner) : TForm(owner) {
    SetClientSize(300, 100);
    Edit = new ui::TEdit(this);
    Edit->SetBounds(10, 10, 200, 24);
    Edit->SetParent(this);
  }
  ui::TEdit* Edit;
};

TEST(KeyPreview, FormSeesAndCanChangeTheKeysOfItsControls) {
  struct Case {
    bool preview;
    std::string typed;     // what reaches the edit
    std::string seenByForm;
  };
  for (const Case& c : {Case{true, "AC", "abc"}, Case{false, "abc", ""}}) {
    SCOPED_TRACE(c.preview);
    std::unique_ptr<TEditForm> form(ui::CreateForm<TEditForm>(nullptr));
    form->SetKeyPreview(c.preview);
    std::string seen;
    form->OnKeyPress = [&](ui::TComponent*, char& key) {
      seen += key;
      key = key == 'b' ? 0 : char(key - 'a' + 'A');  // swallows b, upper-cases the rest
    };
    form->Show();
    form->Edit->SetFocus();
    uitest::Pump();
    for (UINT vk : {'A', 'B', 'C'}) uitest::PostKey(form->Edit->Handle(), vk);
    uitest::Pump();
    EXPECT_EQ(form->Edit->Text(), c.typed);
    EXPECT_EQ(seen, c.seenByForm);
  }
}

TEST(FormEvents, CreateShowActivatePaintResize) {
  struct TLogForm : TForm {
    explicit TLogForm(ui::TComponent* owner) : TForm(owner) {
      SetClientSize(100, 100);
      Label = new ui::TLabel(this);
      Label->SetParent(this);
      OnCreate = [this](ui::TComponent*) { Log.push_back(Label ? "create" : "create early"); };
      OnShow = [this](ui::TComponent*) { Log.push_back("show"); };
      OnActivate = [this](ui::TComponent*) { Log.push_back("activate"); };
      OnResize = [this](ui::TComponent*) { Log.push_back("resize"); };
      OnPaint = [this](ui::TComponent*) {
        Canvas().Brush.Color = gfx::clRed;
        Canvas().FillRect(gfx::Rect(0, 0, 10, 10));
      };
      SetClientSize(120, 100);  // no event while the form is being built
    }
    ui::TLabel* Label;
    std::vector<std::string> Log;
  };
  std::unique_ptr<TLogForm> form(ui::CreateForm<TLogForm>(nullptr));
  EXPECT_EQ(form->Log, std::vector<std::string>{"create"});
  form->Show();
  uitest::Pump();
  // The first showing may also report the size the window comes up with.
  ASSERT_GE(form->Log.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(form->Log.begin(), form->Log.begin() + 3),
            (std::vector<std::string>{"create", "show", "activate"}));
  form->Log.clear();
  form->SetClientSize(150, 120);
  EXPECT_EQ(form->Log, std::vector<std::string>{"resize"});
  EXPECT_EQ(uitest::Snapshot(form->Handle()).Pixel(5, 5), gfx::clRed);
}

}  // namespace
