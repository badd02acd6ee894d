// The standard controls on a real form under Wine: label, speed button, check box, edit,
// memo, progress bar and picture, driven by posted input messages.
#include "ui/Win32.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/win/ui_test_util.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

struct StdCtrls : ::testing::Test {
  void SetUp() override {
    Form.reset(ui::CreateForm<ui::TForm>(nullptr));
    Form->SetBounds(50, 50, 0, 0);
    Form->SetClientSize(400, 300);
    Form->SetColor(gfx::clWhite);
    gfx::TFontDesc tahoma;
    tahoma.Name = "Tahoma";
    tahoma.Height = -13;
    Form->SetFont(tahoma);
    Form->Show();
    uitest::Pump();
  }
  // A control on the form. Controls that size themselves (labels) are set up before they
  // get their parent with Make and Place, as a form's constructor does.
  template <class T>
  T* Make(int left, int top, int width, int height) {
    auto* c = new T(Form.get());
    c->SetBounds(left, top, width, height);
    return c;
  }
  template <class T>
  T* Place(T* c) {
    c->SetParent(Form.get());
    return c;
  }
  template <class T>
  T* Add(int left, int top, int width, int height) {
    return Place(Make<T>(left, top, width, height));
  }
  std::unique_ptr<ui::TForm> Form;
};

// Whether some pixel of the area is dark (text ink).
bool HasInk(const ui::TBitmap& shot, gfx::TRect r) {
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (gfx::GetRValue(shot.Pixel(x, y)) < 100 && gfx::GetBValue(shot.Pixel(x, y)) < 100)
        return true;
  return false;
}

TEST_F(StdCtrls, LabelTakesTheSizeOfItsTextAndARightAlignedOneKeepsItsRightEdge) {
  auto* left = Add<ui::TLabel>(10, 10, 100, 30);
  left->SetCaption("Dossier d'installation :");
  const gfx::TSize text = ui::MeasureText(Form->Font(), "Dossier d'installation :", 0, 0);
  EXPECT_EQ(left->Width(), text.cx);
  EXPECT_EQ(left->Height(), 16);  // Tahoma 13 px
  EXPECT_EQ(left->Left(), 10);

  auto* right = Make<ui::TLabel>(200, 10, 48, 16);
  right->SetAlignment(ui::TAlignment::taRightJustify);
  right->SetCaption("12h30mn05s");
  Place(right);
  EXPECT_EQ(right->Left() + right->Width(), 248);
  right->SetCaption("5s");
  EXPECT_EQ(right->Left() + right->Width(), 248);
  EXPECT_LT(right->Width(), 30);

  auto* fixed = Make<ui::TLabel>(10, 40, 200, 16);
  fixed->SetAutoSize(false);
  fixed->SetCaption("x");
  Place(fixed);
  EXPECT_EQ(fixed->Width(), 200);
  auto* empty = Add<ui::TLabel>(10, 60, 30, 30);
  EXPECT_EQ(empty->Height(), 16);  // an empty caption still measures one line
}

TEST_F(StdCtrls, LabelIsOpaqueUnlessTransparent) {
  auto* back = new ui::TSpeedButton(Form.get());  // something drawn below the labels
  back->SetBounds(0, 100, 400, 50);
  back->SetParent(Form.get());
  auto* opaque = Make<ui::TLabel>(10, 110, 80, 20);
  opaque->SetAutoSize(false);
  opaque->SetColor(gfx::RGB(1, 1, 255));
  Place(opaque);
  auto* clear = Make<ui::TLabel>(100, 110, 80, 20);
  clear->SetAutoSize(false);
  clear->SetTransparent(true);
  Place(clear);
  auto* inherits = Make<ui::TLabel>(200, 110, 80, 20);
  inherits->SetAutoSize(false);
  Place(inherits);
  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  EXPECT_EQ(shot.Pixel(50, 125), gfx::RGB(1, 1, 255));
  EXPECT_EQ(shot.Pixel(150, 125), GetSysColor(COLOR_BTNFACE));  // the button shows through
  EXPECT_EQ(shot.Pixel(250, 125), gfx::clWhite);                // the form's colour
}

TEST_F(StdCtrls, SpeedButtonLooksPressedWhileHeldAndClicksOnRelease) {
  auto* button = Add<ui::TSpeedButton>(20, 20, 121, 33);
  button->SetCaption("&Suivant >");
  int clicks = 0;
  button->OnClick = [&](ui::TComponent*) { ++clicks; };
  const ui::TBitmap idle = uitest::Snapshot(Form->Handle());
  PostMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, uitest::Point(60, 30));
  uitest::Pump();
  EXPECT_TRUE(button->Down());
  const ui::TBitmap held = uitest::Snapshot(Form->Handle());
  // Raised: a light top-left edge; sunken: a dark one.
  EXPECT_NE(idle.Pixel(21, 21), held.Pixel(21, 21));
  EXPECT_EQ(clicks, 0);
  PostMessageA(Form->Handle(), WM_LBUTTONUP, 0, uitest::Point(60, 30));
  uitest::Pump();
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(uitest::Snapshot(Form->Handle()).Pixel(21, 21), idle.Pixel(21, 21));
  // The caption is drawn, "&" underlining the S instead of showing.
  EXPECT_TRUE(HasInk(idle, gfx::Rect(25, 25, 135, 50)));
}

TEST_F(StdCtrls, SpeedButtonGlyphSkipsItsTransparentColour) {
  ui::TBitmap glyph(8, 8);
  glyph.Canvas().Brush.Color = gfx::clSilver;
  glyph.Canvas().FillRect(gfx::Rect(0, 0, 8, 8));
  glyph.Canvas().Brush.Color = gfx::clRed;
  glyph.Canvas().FillRect(gfx::Rect(2, 2, 6, 6));
  auto* button = Add<ui::TSpeedButton>(200, 200, 40, 40);
  button->SetGlyph(glyph);
  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  EXPECT_EQ(shot.Pixel(220, 220), gfx::clRed);  // the glyph's middle, centred
  EXPECT_EQ(shot.Pixel(217, 217), GetSysColor(COLOR_BTNFACE));  // silver is not drawn
}

TEST_F(StdCtrls, CheckBoxTogglesByClickAndTellsEveryChange) {
  auto* box = Add<ui::TCheckBox>(10, 200, 200, 17);
  box->SetCaption("J'accepte les termes et conditions de cette licence");
  int clicks = 0;
  box->OnClick = [&](ui::TComponent*) { ++clicks; };
  uitest::PostClick(box->Handle(), 6, 8);
  uitest::Pump(50);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  box->SetChecked(false);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  box->SetChecked(false);
  EXPECT_EQ(clicks, 2);
  // It is drawn on the form's colour.
  EXPECT_EQ(uitest::Snapshot(Form->Handle()).Pixel(195, 215), gfx::clWhite);
}

TEST_F(StdCtrls, EditTakesTypedText) {
  auto* edit = Add<ui::TEdit>(10, 10, 249, 24);
  edit->SetText("c:\\Morvidan");
  int changes = 0;
  edit->OnChange = [&](ui::TComponent*) { ++changes; };
  edit->SetFocus();
  uitest::Pump();
  EXPECT_TRUE(edit->Focused());
  SendMessageA(edit->Handle(), EM_SETSEL, 11, 11);
  uitest::PostKey(edit->Handle(), 'X');
  uitest::Pump();
  EXPECT_EQ(edit->Text(), "c:\\Morvidanx");
  EXPECT_GE(changes, 1);
}

TEST_F(StdCtrls, MemoIsReadOnlyWithAVerticalScrollBar) {
  auto* memo = Add<ui::TMemo>(8, 50, 300, 100);
  memo->SetReadOnly(true);
  std::string text;
  for (int i = 1; i <= 33; ++i) text += "Ligne " + std::to_string(i) + "\n";
  memo->SetText(text);
  const LONG style = GetWindowLongA(memo->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_EQ(memo->LineCount(), 34);
  memo->SetFocus();
  uitest::PostKey(memo->Handle(), 'Z');
  uitest::Pump();
  EXPECT_EQ(memo->Text().find('z'), std::string::npos);
  // A read-only memo keeps its window colour.
  EXPECT_EQ(uitest::Snapshot(Form->Handle()).Pixel(250, 140), GetSysColor(COLOR_WINDOW));
}

TEST_F(StdCtrls, TabMovesTheFocusInTabOrder) {
  auto* second = Add<ui::TEdit>(10, 10, 100, 24);
  auto* first = Add<ui::TCheckBox>(10, 40, 100, 17);
  second->SetTabOrder(1);
  first->SetTabOrder(0);
  first->SetFocus();
  uitest::Pump();
  uitest::PostKey(first->Handle(), VK_TAB);
  uitest::Pump();
  EXPECT_TRUE(second->Focused());
  second->Hide();  // a hidden control gives the focus back to its form
  EXPECT_EQ(GetFocus(), Form->Handle());
}

TEST_F(StdCtrls, ProgressBarKeepsItsPositionInRange) {
  auto* bar = Add<ui::TProgressBar>(42, 143, 481, 12);
  struct Case {
    int position, expected;
  };
  for (const Case& c : {Case{50, 50}, Case{150, 100}, Case{-3, 0}}) {
    bar->SetPosition(c.position);
    EXPECT_EQ(bar->Position(), c.expected);
    EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETPOS, 0, 0), c.expected);
  }
  bar->SetStep(1);
  bar->StepIt();
  EXPECT_EQ(bar->Position(), 1);
}

TEST_F(StdCtrls, PictureIsSizedToItsBitmapAndDrawnAtItsCorner) {
  auto picture = std::make_unique<ui::TBitmap>(30, 20);
  picture->Canvas().Brush.Color = gfx::clRed;
  picture->Canvas().FillRect(gfx::Rect(0, 0, 30, 20));
  auto* image = Add<ui::TImage>(100, 100, 5, 5);
  image->SetAutoSize(true);
  image->SetPicture(std::move(picture));
  EXPECT_EQ(image->BoundsRect(), gfx::Bounds(100, 100, 30, 20));
  const ui::TBitmap shot = uitest::Snapshot(Form->Handle());
  EXPECT_EQ(shot.Pixel(100, 100), gfx::clRed);
  EXPECT_EQ(shot.Pixel(129, 119), gfx::clRed);
  EXPECT_EQ(shot.Pixel(130, 119), gfx::clWhite);
}

TEST_F(StdCtrls, Screenshot) {
  auto* label = Make<ui::TLabel>(56, 64, 126, 16);
  label->SetCaption("Dossier d'installation :");
  Place(label);
  auto* edit = Add<ui::TEdit>(186, 60, 150, 24);
  edit->SetText("c:\\Morvidan");
  auto* choose = Add<ui::TSpeedButton>(342, 60, 50, 25);
  choose->SetCaption("Choisir");
  auto* box = Add<ui::TCheckBox>(20, 100, 346, 17);
  box->SetCaption("Lancer Morvidan \xA9 Sorbiane");
  box->SetChecked(true);
  auto* memo = Add<ui::TMemo>(20, 130, 360, 80);
  memo->SetReadOnly(true);
  memo->SetText("CONTRAT DE LICENCE\n\nLigne deux\nLigne trois\nLigne quatre\nLigne cinq\n");
  auto* bar = Add<ui::TProgressBar>(20, 220, 360, 12);
  bar->SetSmooth(true);
  bar->SetPosition(60);
  auto* next = Add<ui::TSpeedButton>(140, 250, 121, 33);
  next->SetCaption("&Suivant >");
  auto* cancel = Add<ui::TSpeedButton>(265, 250, 121, 33);
  cancel->SetCaption("Annuler");
  cancel->SetEnabled(false);
  uitest::Screenshot(Form->Handle(), "ui-stdctrls.png");
}

}  // namespace
