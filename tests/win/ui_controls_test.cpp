// Windowless controls on a real form: painting order, mouse input by hit test, anchors.
#include "ui/Win32.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/win/ui_test_util.h"
#include "ui/Application.h"
#include "ui/Forms.h"

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

}  // namespace
