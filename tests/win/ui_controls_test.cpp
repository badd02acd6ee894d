// Windowless controls on a real form: painting order, mouse input by hit test, anchors.
#include "ui/Win32.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/win/ui_test_util.h"
#include "ui/Application.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

using ui::TMouseButton;

// A windowless control that fills its area with one colour and notes its mouse input.
class TSwatch : public ui::TGraphicControl {
public:
  TSwatch(ui::TWinControl* parent, gfx::TRect bounds, gfx::TColor color)
      : TGraphicControl(parent) {
    SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    FFill = color;
    SetParent(parent);
    OnMouseDown = [this](ui::TComponent*, TMouseButton, ui::TShiftState shift, int x, int y) {
      Log.push_back("down " + std::to_string(x) + "," + std::to_string(y) +
                    ((shift & ui::ssDouble) ? " double" : ""));
    };
    OnMouseUp = [this](ui::TComponent*, TMouseButton, ui::TShiftState, int x, int y) {
      Log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    OnMouseMove = [this](ui::TComponent*, ui::TShiftState, int x, int y) {
      Log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    OnClick = [this](ui::TComponent*) { Log.push_back("click"); };
    OnDblClick = [this](ui::TComponent*) { Log.push_back("dblclick"); };
  }
  std::vector<std::string> Log;
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    Canvas().Brush.Color = FFill;
    // Wider than the control: the clipping keeps it inside.
    Canvas().FillRect(gfx::Rect(-100, -100, Width() + 100, Height() + 100));
  }

private:
  gfx::TColor FFill;
};

class TTestForm : public ui::TForm {
public:
  explicit TTestForm(ui::TComponent* owner) : TForm(owner) {
    SetClientSize(200, 150);
    SetColor(gfx::clWhite);
    Red = new TSwatch(this, gfx::Bounds(10, 10, 60, 60), gfx::clRed);
    Blue = new TSwatch(this, gfx::Bounds(40, 40, 60, 60), gfx::clBlue);
  }
  TSwatch* Red;
  TSwatch* Blue;
};

struct FormFixture : ::testing::Test {
  void SetUp() override {
    Form.reset(ui::CreateForm<TTestForm>(nullptr));
    Form->SetLeft(100);
    Form->SetTop(100);
    Form->Show();
    uitest::Pump();
  }
  std::unique_ptr<TTestForm> Form;
};

TEST_F(FormFixture, DrawnControlsPaintInDeclarationOrderClippedToTheirBounds) {
  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  struct Case {
    int x, y;
    gfx::TColor color;
  };
  for (const Case& c : {Case{15, 15, gfx::clRed}, Case{45, 45, gfx::clBlue},
                        Case{69, 69, gfx::clBlue}, Case{99, 99, gfx::clBlue},
                        Case{100, 100, gfx::clWhite}, Case{5, 5, gfx::clWhite}}) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    EXPECT_EQ(shot.Pixel(c.x, c.y), c.color);
  }
}

TEST_F(FormFixture, MouseGoesToTheTopmostControlUnderThePointer) {
  uitest::PostClick(Form->Handle(), 45, 45);  // where the blue one covers the red one
  uitest::Pump();
  EXPECT_EQ(Form->Blue->Log, (std::vector<std::string>{"move 5,5", "down 5,5", "click", "up 5,5"}));
  EXPECT_TRUE(Form->Red->Log.empty());
}

TEST_F(FormFixture, ReleasedOutsideTheControlIsNoClick) {
  const HWND w = Form->Handle();
  PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, uitest::Point(15, 15));
  PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, uitest::Point(150, 120));  // captured: still red
  PostMessageA(w, WM_LBUTTONUP, 0, uitest::Point(150, 120));
  uitest::Pump();
  EXPECT_EQ(Form->Red->Log,
            (std::vector<std::string>{"down 5,5", "move 140,110", "up 140,110"}));
}

TEST_F(FormFixture, DoubleClickFollowsTheFirstClick) {
  const HWND w = Form->Handle();
  PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, uitest::Point(20, 20));
  PostMessageA(w, WM_LBUTTONUP, 0, uitest::Point(20, 20));
  PostMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, uitest::Point(20, 20));
  PostMessageA(w, WM_LBUTTONUP, 0, uitest::Point(20, 20));
  uitest::Pump();
  EXPECT_EQ(Form->Red->Log, (std::vector<std::string>{"down 10,10", "click", "up 10,10",
                                                      "dblclick", "down 10,10 double",
                                                      "up 10,10"}));
}

TEST_F(FormFixture, HiddenAndDisabledControlsAreNotHit) {
  Form->Blue->Hide();
  uitest::PostClick(Form->Handle(), 45, 45);
  uitest::Pump();
  EXPECT_EQ(Form->Red->Log.size(), 4u);
  Form->Red->SetEnabled(false);
  std::vector<std::string> formLog;
  Form->OnClick = [&](ui::TComponent*) { formLog.push_back("form click"); };
  uitest::PostClick(Form->Handle(), 45, 45);
  uitest::Pump();
  EXPECT_EQ(Form->Red->Log.size(), 4u);
  EXPECT_EQ(formLog, std::vector<std::string>{"form click"});
}

TEST_F(FormFixture, InvalidatingOneControlRepaintsOnlyWhatItCovers) {
  uitest::Snapshot(Form->Handle());
  const int red = Form->Red->Paints, blue = Form->Blue->Paints;
  auto* lone = new TSwatch(Form.get(), gfx::Bounds(150, 10, 20, 20), gfx::clBlack);
  uitest::Snapshot(Form->Handle());
  const int lonePaints = lone->Paints;
  EXPECT_GE(lonePaints, 1);
  Form->Red->Invalidate();
  uitest::Snapshot(Form->Handle());
  EXPECT_EQ(Form->Red->Paints, red + 1);
  EXPECT_EQ(Form->Blue->Paints, blue + 1);  // it overlaps the red one
  EXPECT_EQ(lone->Paints, lonePaints);
}

TEST_F(FormFixture, WindowedControlsLieAboveEveryDrawnControl) {
  // The edit is declared first, the drawn control covering the whole form after it.
  auto* edit = new ui::TEdit(Form.get());
  edit->SetBounds(120, 20, 60, 24);
  edit->SetParent(Form.get());
  new TSwatch(Form.get(), gfx::Bounds(0, 0, 200, 150), gfx::clRed);
  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  EXPECT_EQ(shot.Pixel(150, 32), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(shot.Pixel(150, 100), gfx::clRed);
}

TEST_F(FormFixture, AnchorsFollowTheClientAreaFromTheDesignedLayout) {
  struct Case {
    ui::TAnchors anchors;
    gfx::TRect grown;  // after the client area grows by 100 x 50
  };
  const gfx::TRect designed = gfx::Bounds(20, 30, 100, 40);
  const std::vector<Case> cases = {
      {ui::akLeft | ui::akTop, gfx::Bounds(20, 30, 100, 40)},
      {ui::akAll, gfx::Bounds(20, 30, 200, 90)},
      {ui::akRight | ui::akBottom, gfx::Bounds(120, 80, 100, 40)},
      {ui::akLeft | ui::akTop | ui::akRight, gfx::Bounds(20, 30, 200, 40)},
      {ui::akTop | ui::akRight, gfx::Bounds(120, 30, 100, 40)},
      {ui::akLeft | ui::akRight | ui::akBottom, gfx::Bounds(20, 80, 200, 40)},
  };
  std::vector<ui::TControl*> controls;
  for (const Case& c : cases) {
    auto* s = new TSwatch(Form.get(), designed, gfx::clGray);
    s->SetAnchors(c.anchors);
    controls.push_back(s);
  }
  auto* edit = new ui::TEdit(Form.get());  // a windowed control follows the same rules
  edit->SetBounds(10, 100, 150, 24);
  edit->SetAnchors(ui::akLeft | ui::akRight | ui::akBottom);
  edit->SetParent(Form.get());
  int resizes = 0;
  Form->OnResize = [&](ui::TComponent*) { ++resizes; };

  Form->SetClientSize(300, 200);
  uitest::Pump();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(controls[i]->BoundsRect(), cases[i].grown);
  }
  EXPECT_EQ(edit->BoundsRect(), gfx::Bounds(10, 150, 250, 24));
  RECT r{};
  GetWindowRect(edit->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 250);
  EXPECT_GE(resizes, 1);

  // Shrinking past a control's width stops it at 0; growing back restores the design.
  Form->SetClientSize(50, 100);
  Form->SetClientSize(200, 150);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(controls[i]->BoundsRect(), designed);
  }
}

TEST_F(FormFixture, BottomAlignedStripSpansTheWidth) {
  auto* strip = new ui::TLabel(Form.get());
  strip->SetAutoSize(false);
  strip->SetBounds(0, 130, 200, 16);
  strip->SetAlign(ui::TAlign::alBottom);
  strip->SetParent(Form.get());
  EXPECT_EQ(strip->BoundsRect(), gfx::Bounds(0, 134, 200, 16));
  Form->SetClientSize(260, 180);
  EXPECT_EQ(strip->BoundsRect(), gfx::Bounds(0, 164, 260, 16));
  strip->SetWidth(10);  // the alignment wins
  EXPECT_EQ(strip->BoundsRect(), gfx::Bounds(0, 164, 260, 16));
}

}  // namespace
