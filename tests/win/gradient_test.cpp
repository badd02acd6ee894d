// The gradient control on a real form: the default radial look, the custom quadrants, the
// colour table through the linear style, grouped changes, system colours, failures; and a
// screenshot of every style.
#include "dialogs/Gradient.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "rtl/SysUtils.h"
#include "tests/win/ui_test_util.h"
#include "ui/Forms.h"
#include "ui/Win32.h"

namespace {

using dialogs::TGradient;
using gfx::RGB;

class TGradientForm : public ui::TForm {
 public:
  explicit TGradientForm(ui::TComponent* owner) : TForm(owner) {
    SetCaption("Dégradé");
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(240, 120);
    SetColor(gfx::clBlack);
    Gradient = new TGradient(this);
    Gradient->SetBounds(10, 10, 100, 100);
    Gradient->SetParent(this);
    // Built while the form loads: only Loaded() may build, and once.
    Custom = new TGradient(this);
    Custom->SetBounds(130, 10, 100, 100);
    Custom->OnCustom = [this](ui::TComponent*, const dialogs::TGradientColors& colors,
                              ui::TBitmap& pattern) {
      ++CustomBuilds;
      if (Fail) throw rtl::Exception("motif impossible");
      pattern.SetSize(1, 1);
      pattern.SetPixel(0, 0, dialogs::ToRGB(colors[0]));
    };
    Custom->SetStyle(dialogs::gsCustom);
    Custom->SetColorBegin(gfx::clRed);
    Custom->SetColorEnd(gfx::clBlue);
    Custom->SetParent(this);
  }
  TGradient* Gradient;
  TGradient* Custom;
  int CustomBuilds = 0;
  bool Fail = false;
};

bool Near(gfx::TColor a, gfx::TColor b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  }
  return true;
}

struct GradientFixture : ::testing::Test {
  void SetUp() override {
    Form.reset(ui::CreateForm<TGradientForm>(nullptr));
    Form->SetLeft(40);
    Form->SetTop(40);
    Form->Show();
    uitest::Pump(50);
  }
  gfx::TColor At(const ui::TBitmap& shot, TGradient* g, int x, int y) {
    return shot.Pixel(g->Left() + x, g->Top() + y);
  }
  std::unique_ptr<TGradientForm> Form;
};

TEST_F(GradientFixture, DefaultsAreWhiteCentreAndButtonFaceCorners) {
  TGradient* g = Form->Gradient;
  EXPECT_EQ(g->Style(), dialogs::gsRadialC);
  EXPECT_EQ(g->ColorBegin(), gfx::clWhite);
  EXPECT_EQ(g->ColorEnd(), gfx::clBtnFace);
  const gfx::TColor face = GetSysColor(COLOR_BTNFACE);
  const ui::TBitmap& pattern = g->Pattern();
  ASSERT_EQ(pattern.Width(), 362);
  ASSERT_EQ(pattern.Height(), 362);
  for (auto [x, y] : {std::pair{0, 0}, {361, 0}, {0, 361}, {361, 361}}) {
    EXPECT_EQ(pattern.Pixel(x, y), face) << x << ", " << y;
  }
  EXPECT_EQ(pattern.Pixel(180, 180), gfx::clWhite);

  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  EXPECT_EQ(At(shot, g, 50, 50), gfx::clWhite);
  // The stretch samples the pattern a little inside its corners: entries near 255.
  for (auto [x, y] : {std::pair{0, 0}, {99, 0}, {0, 99}, {99, 99}}) {
    EXPECT_TRUE(Near(At(shot, g, x, y), face, 3)) << x << ", " << y;
  }
  // The stretched pattern covers the whole control and nothing more.
  EXPECT_EQ(shot.Pixel(g->Left() - 1, g->Top() + 50), gfx::clBlack);
  EXPECT_EQ(shot.Pixel(g->Left() + 100, g->Top() + 50), gfx::clBlack);
  EXPECT_NE(At(shot, g, 99, 50), gfx::clBlack);
}

TEST_F(GradientFixture, CustomWithoutHandlerShowsFourQuadrants) {
  TGradient* g = Form->Gradient;
  g->SetColorBegin(gfx::clRed);
  g->SetColorEnd(gfx::clBlue);
  g->SetShift(50);  // the quadrants take the colours before the shift
  g->SetStyle(dialogs::gsCustom);
  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  EXPECT_EQ(At(shot, g, 25, 25), gfx::clRed);
  EXPECT_EQ(At(shot, g, 75, 75), gfx::clRed);
  EXPECT_EQ(At(shot, g, 75, 25), gfx::clBlue);
  EXPECT_EQ(At(shot, g, 25, 75), gfx::clBlue);
  g->SetReverse(true);
  const ui::TBitmap reversed = uitest::Snapshot(Form->Handle());
  EXPECT_EQ(At(reversed, g, 25, 25), gfx::clBlue);
}

TEST_F(GradientFixture, RotationAndShiftTables) {
  TGradient* g = Form->Gradient;
  g->SetStyle(dialogs::gsLinearH);  // pixel x of the pattern is entry x of the table
  const gfx::TColor c1 = RGB(10, 200, 0), c2 = RGB(250, 0, 0);
  g->SetColorBegin(c1);
  g->SetColorEnd(c2);
  const ui::TBitmap straight = g->Pattern();
  ASSERT_EQ(straight.Width(), 256);

  g->SetRotation(100);
  for (int i = 0; i <= 255; ++i) {
    ASSERT_EQ(g->Pattern().Pixel(i, 0), straight.Pixel(255 - i, 0)) << i;
  }
  g->SetRotation(50);
  EXPECT_EQ(g->Pattern().Pixel(0, 0), c1);
  EXPECT_EQ(g->Pattern().Pixel(127, 0), c2);
  EXPECT_EQ(g->Pattern().Pixel(255, 0), c1);

  g->SetRotation(0);
  g->SetColorBegin(gfx::clWhite);
  g->SetColorEnd(gfx::clBlack);
  g->SetShift(120);
  EXPECT_EQ(g->Shift(), 100);
  for (int i = 0; i <= 255; ++i) ASSERT_EQ(g->Pattern().Pixel(i, 0), gfx::clBlack) << i;
  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  for (auto [x, y] : {std::pair{0, 0}, {50, 50}, {99, 99}, {99, 0}}) {
    EXPECT_EQ(At(shot, g, x, y), gfx::clBlack);
  }
}

TEST_F(GradientFixture, LoadedBuildsOnceAndUpdatesAreGrouped) {
  TGradientForm& f = *Form;
  EXPECT_EQ(f.CustomBuilds, 1);  // three changes while the form loaded
  f.Custom->BeginUpdate();
  f.Custom->SetColorBegin(gfx::clWhite);
  f.Custom->SetColorEnd(gfx::clBlack);
  f.Custom->BeginUpdate();
  f.Custom->SetRotation(-30);
  f.Custom->EndUpdate();
  EXPECT_EQ(f.CustomBuilds, 1);
  f.Custom->EndUpdate();
  EXPECT_EQ(f.CustomBuilds, 2);
  f.Custom->BeginUpdate();
  f.Custom->EndUpdate();  // nothing changed: nothing to build
  f.Custom->SetRotation(-30);
  EXPECT_EQ(f.CustomBuilds, 2);
}

TEST_F(GradientFixture, FailingBuilderKeepsTheOldPatternOnScreen) {
  TGradientForm& f = *Form;
  f.Fail = true;
  EXPECT_THROW(f.Custom->SetColorBegin(RGB(0, 255, 0)), rtl::Exception);
  f.Fail = false;
  const ui::TBitmap shot = uitest::Snapshot(f.Handle());
  EXPECT_EQ(At(shot, f.Custom, 50, 50), gfx::clRed);
}

TEST_F(GradientFixture, SystemColours) {
  TGradient* g = Form->Gradient;
  g->SetUseSysColors(true);
  EXPECT_TRUE(g->UseSysColors());
  EXPECT_EQ(g->ColorBegin(), GetSysColor(COLOR_ACTIVECAPTION));
  EXPECT_EQ(g->ColorEnd(), GetSysColor(COLOR_GRADIENTACTIVECAPTION));

  // A change of the system's colours reaches the control with the settings-change message.
  const int index = COLOR_ACTIVECAPTION;
  const COLORREF saved = GetSysColor(index);
  const COLORREF changed = RGB(1, 2, 3);
  SetSysColors(1, &index, &changed);
  SendMessageA(Form->Handle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(g->ColorBegin(), changed);
  EXPECT_EQ(g->Pattern().Pixel(180, 180), changed);
  SetSysColors(1, &index, &saved);

  g->SetUseSysColors(false);  // keeps the colours
  EXPECT_EQ(g->ColorBegin(), changed);
  g->SetUseSysColors(true);
  g->SetColorBegin(gfx::clRed);
  EXPECT_FALSE(g->UseSysColors());
}

// Every style side by side, start colour navy, end colour yellow; and each one on its own.
class TAllStylesForm : public ui::TForm {
 public:
  static constexpr int kCell = 110, kRowHeight = 80, kGap = 6;
  explicit TAllStylesForm(ui::TComponent* owner) : TForm(owner) {
    SetCaption("Styles de dégradé");
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(6 * (kCell + kGap) + kGap, 4 * (kRowHeight + kGap) + kGap);
    for (int s = 0; s < dialogs::kGradientStyleCount; ++s) {
      auto* g = new TGradient(this);
      g->SetBounds(kGap + (s % 6) * (kCell + kGap), kGap + (s / 6) * (kRowHeight + kGap), kCell,
                   kRowHeight);
      g->SetColorBegin(RGB(0, 0, 128));
      g->SetColorEnd(RGB(255, 255, 0));
      g->SetStyle(dialogs::TGradientStyle(s));
      g->SetParent(this);
      Gradients[s] = g;
    }
  }
  TGradient* Gradients[dialogs::kGradientStyleCount];
};

TEST(GradientStyles, ScreenshotOfEveryStyle) {
  std::unique_ptr<TAllStylesForm> form(ui::CreateForm<TAllStylesForm>(nullptr));
  form->SetLeft(20);
  form->SetTop(20);
  form->Show();
  uitest::Pump(50);
  uitest::Screenshot(form->Handle(), "gradient-all-styles.png");
  ui::TBitmap shot = uitest::Snapshot(form->Handle());
  for (TGradient* g : form->Gradients) {
    ui::TBitmap cell(g->Width(), g->Height());
    BitBlt(cell.Canvas().Handle(), 0, 0, g->Width(), g->Height(), shot.Canvas().Handle(), g->Left(),
           g->Top(), SRCCOPY);
    GdiFlush();
    const std::string name(dialogs::GradientStyleName(g->Style()));
    ui::SaveToPNG(cell, uitest::ArtifactPath("gradient-" + name + ".png"));
    // Each style shows both ends of the table somewhere, or close to them.
    bool navy = false, yellow = false;
    for (int y = 0; y < g->Height(); ++y) {
      for (int x = 0; x < g->Width(); ++x) {
        const gfx::TColor c = cell.Pixel(x, y);
        navy |= gfx::GetBValue(c) >= 120 && gfx::GetRValue(c) <= 8;
        yellow |= gfx::GetRValue(c) >= 247 && gfx::GetBValue(c) <= 8;
      }
    }
    EXPECT_TRUE(navy) << name;
    EXPECT_TRUE(yellow) << name;
  }
}

}  // namespace
