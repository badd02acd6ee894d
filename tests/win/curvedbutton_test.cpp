// The curved speed button on a real form: bands of its face, the sunken look while a mouse
// button is held on it, the transparent colour of its glyph; and the shaded drawing routines
// on a real GDI bitmap.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dialogs/CurvedSpeedButton.h"
#include "dialogs/InterruptGlyph.h"
#include "dialogs/Win32Bridge.h"
#include "gfx/ColorUtils.h"
#include "tests/win/ui_test_util.h"
#include "ui/Forms.h"
#include "ui/Win32.h"

namespace {

using gfx::RGB;

constexpr gfx::TColor kFormColor = RGB(100, 150, 200);
// The face with $3F3F3F added and taken away.
constexpr gfx::TColor kLighter = RGB(163, 213, 255), kDarker = RGB(37, 87, 137);
constexpr gfx::TColor kDark = 0x464646, kLight = gfx::clWhite;

class TButtonForm : public ui::TForm {
 public:
  explicit TButtonForm(ui::TComponent* owner) : TForm(owner) {
    SetCaption("Bouton");
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(260, 110);
    SetColor(kFormColor);
    // 21 pixels high: the face is a panel 20 pixels high.
    Plain = new dialogs::TCurvedSpeedButton(this);
    Plain->SetBounds(10, 10, 120, 21);
    Plain->SetParent(this);
    WithGlyph = new dialogs::TCurvedSpeedButton(this);
    WithGlyph->SetBounds(10, 50, 158, 29);
    WithGlyph->SetCaption("Interrompre");
    WithGlyph->SetGlyph(dialogs::ToBitmap(dialogs::InterruptGlyph()));
    WithGlyph->SetParent(this);
    WithGlyph->OnClick = [this](ui::TComponent*) { ++Clicks; };
    Narrow = new dialogs::TCurvedSpeedButton(this);
    Narrow->SetBounds(200, 10, 2, 21);
    Narrow->SetParent(this);
  }
  dialogs::TCurvedSpeedButton* Plain;
  dialogs::TCurvedSpeedButton* WithGlyph;
  dialogs::TCurvedSpeedButton* Narrow;
  int Clicks = 0;
};

struct CurvedButton : ::testing::Test {
  void SetUp() override {
    Form.reset(ui::CreateForm<TButtonForm>(nullptr));
    Form->SetLeft(40);
    Form->SetTop(40);
    Form->Show();
    uitest::Pump(50);
  }
  void Press(dialogs::TCurvedSpeedButton* b) {
    PostMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                 uitest::Point(b->Left() + 3, b->Top() + 3));
    uitest::Pump(50);
  }
  void Release(dialogs::TCurvedSpeedButton* b) {
    PostMessageA(Form->Handle(), WM_LBUTTONUP, 0, uitest::Point(b->Left() + 3, b->Top() + 3));
    uitest::Pump(50);
  }
  std::unique_ptr<TButtonForm> Form;
};

// The smallest rectangle holding every pixel of a colour within an area, or an empty one.
gfx::TRect Extent(const ui::TBitmap& shot, const gfx::TRect& area, gfx::TColor color) {
  gfx::TRect r{area.Right, area.Bottom, area.Left, area.Top};
  for (int y = area.Top; y < area.Bottom; ++y) {
    for (int x = area.Left; x < area.Right; ++x) {
      if (shot.Pixel(x, y) != color) continue;
      r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1),
           std::max(r.Bottom, y + 1)};
    }
  }
  return r;
}

TEST_F(CurvedButton, RaisedAndPressedFaces) {
  struct Row {
    int line;  // in the button, of a panel from line 0 to line 20
    gfx::TColor raised, pressed;
  };
  const Row rows[] = {
      {0, kLight, kDark},      {1, kLighter, kDarker},  {8, kLighter, kDarker},
      {12, kDarker, kLighter}, {19, kDarker, kLighter}, {20, kDark, kLight},
  };
  dialogs::TCurvedSpeedButton* b = Form->Plain;
  for (bool down : {false, true}) {
    SCOPED_TRACE(down ? "pressed" : "raised");
    if (down) Press(b);
    EXPECT_EQ(b->Down(), down);
    const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
    for (const Row& r : rows) {
      for (int x : {b->Left() + 1, b->Left() + 60, b->Left() + 117}) {
        EXPECT_EQ(shot.Pixel(x, b->Top() + r.line), down ? r.pressed : r.raised)
            << "line " << r.line << ", x " << x;
      }
    }
    // The right bevel is the bottom-right colour, below the top line.
    EXPECT_EQ(shot.Pixel(b->Left() + 119, b->Top() + 5), down ? kLight : kDark);
  }
  Release(b);
  EXPECT_FALSE(b->Down());
}

TEST_F(CurvedButton, PressedCaptionAndGlyphMoveOneDownAndRight) {
  dialogs::TCurvedSpeedButton* b = Form->WithGlyph;
  const gfx::TRect area = b->BoundsRect();
  const ui::TBitmap idle = uitest::Snapshot(Form->Handle());
  uitest::Screenshot(Form->Handle(), "curvedbutton-idle.png");
  Press(b);
  const ui::TBitmap pressed = uitest::Snapshot(Form->Handle());
  uitest::Screenshot(Form->Handle(), "curvedbutton-pressed.png");
  Release(b);
  EXPECT_EQ(Form->Clicks, 1);

  for (gfx::TColor ink : {gfx::clRed, gfx::clMaroon, gfx::clBlack}) {
    SCOPED_TRACE(testing::Message() << std::hex << ink);
    const gfx::TRect before = Extent(idle, area, ink);
    const gfx::TRect after = Extent(pressed, area, ink);
    ASSERT_LT(before.Left, before.Right);
    EXPECT_EQ(after.Left, before.Left + 1);
    EXPECT_EQ(after.Top, before.Top + 1);
    EXPECT_EQ(after.Right, before.Right + 1);
    EXPECT_EQ(after.Bottom, before.Bottom + 1);
  }
}

TEST_F(CurvedButton, GlyphSitsLeftOfTheCaptionWithoutItsSilver) {
  dialogs::TCurvedSpeedButton* b = Form->WithGlyph;
  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  const gfx::TRect area = b->BoundsRect();
  EXPECT_EQ(Extent(shot, area, gfx::clSilver).Right, area.Left);  // none at all

  // The glyph's top-left pixel goes to (textX - 21 - 1, (29 - 16) / 2 + 1 - 1); its red cross
  // starts at (2, 2) of the glyph.
  ui::TGdiCanvas& canvas = b->Canvas();
  canvas.Font = b->Font();
  const int textX = (158 - canvas.TextWidth("Interrompre") - 21) / 2 + 21;
  const gfx::TRect red = Extent(shot, area, gfx::clRed);
  EXPECT_EQ(red.Left, area.Left + textX - 21 - 1 + 2);
  EXPECT_EQ(red.Top, area.Top + 6 + 2);
  EXPECT_EQ(red.Bottom - red.Top, 12);

  // The caption's emboss: the face half-blended with RGB 181, 181, 181 for a black font.
  const gfx::TColor emboss = gfx::BlendColors(kFormColor, RGB(181, 181, 181), 0.5);
  EXPECT_LT(Extent(shot, area, emboss).Left, area.Right);
}

TEST_F(CurvedButton, NarrowButtonDrawsNoFace) {
  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  for (int y = 10; y < 31; ++y) {
    EXPECT_EQ(shot.Pixel(200, y), kFormColor) << y;
    EXPECT_EQ(shot.Pixel(201, y), kFormColor) << y;
  }
}

TEST_F(CurvedButton, OwnColourWhenNotFollowingTheForm) {
  dialogs::TCurvedSpeedButton* b = Form->Plain;
  b->SetColor(RGB(236, 233, 216));
  EXPECT_FALSE(b->ParentColor());
  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  EXPECT_EQ(shot.Pixel(b->Left() + 5, b->Top() + 3), RGB(255, 255, 255));
  EXPECT_EQ(shot.Pixel(b->Left() + 5, b->Top() + 15), RGB(173, 170, 153));
  b->SetTransparent(true);
  const ui::TBitmap again = uitest::Snapshot(Form->Handle());
  EXPECT_EQ(again.Pixel(b->Left() + 5, b->Top() + 15), kDarker);
}

// The drawing routines on a GDI bitmap: the platform's lines leave out their end point and
// RectVisible follows the real clipping region.
TEST(ShadedDrawingOnGdi, PanelAndShadeOnABitmap) {
  ui::TBitmap bitmap(40, 30);
  ui::TGdiCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = kFormColor;
  canvas.FillRect(gfx::Rect(0, 0, 40, 30));
  gfx::DrawShadedPanel(canvas, 30, 20, kFormColor, 2, 1, kFormColor, 0x3F3F3F, false);
  EXPECT_EQ(bitmap.Pixel(2, 1), kLight);
  EXPECT_EQ(bitmap.Pixel(30, 1), kLight);
  EXPECT_EQ(bitmap.Pixel(31, 1), kFormColor);  // the top line ends before x + w - 1
  EXPECT_EQ(bitmap.Pixel(5, 2), kLighter);
  EXPECT_EQ(bitmap.Pixel(5, 20), kDarker);
  EXPECT_EQ(bitmap.Pixel(5, 21), kDark);
  EXPECT_EQ(bitmap.Pixel(32, 21), kDark);
  EXPECT_EQ(bitmap.Pixel(33, 21), kFormColor);

  gfx::ShadeArea(canvas, 34, 25, 39, 29, 0x101010, true);
  EXPECT_EQ(bitmap.Pixel(34, 25), RGB(84, 134, 184));
  EXPECT_EQ(bitmap.Pixel(39, 29), RGB(84, 134, 184));
  EXPECT_EQ(bitmap.Pixel(33, 25), kFormColor);
}

}  // namespace
