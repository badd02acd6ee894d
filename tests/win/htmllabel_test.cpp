// The HTML label on a real form with Wine's fonts: caption writer, auto-size figures, layout
// at the label's width, and a malformed caption reported by the paint handler.
#include "ui/Win32.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "html/UHTMLLabel.h"
#include "installer/PageTexts.h"
#include "tests/win/ui_test_util.h"
#include "ui/Forms.h"

namespace {

// Counts its paints.
class TCountingLabel : public html::THTMLLabel {
public:
  using THTMLLabel::THTMLLabel;
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    THTMLLabel::Paint();
  }
};

class TLabelForm : public ui::TForm {
public:
  explicit TLabelForm(ui::TComponent* owner) : TForm(owner) {
    SetBorderStyle(ui::TFormBorderStyle::bsSingle);
    SetClientSize(400, 300);
    SetColor(gfx::clWhite);
    Label = new TCountingLabel(this);
    Label->SetBounds(10, 10, 300, 100);
    Label->SetParent(this);
  }
  TCountingLabel* Label;
};

struct HTMLLabelTest : ::testing::Test {
  void SetUp() override {
    Form.reset(ui::CreateForm<TLabelForm>(nullptr));
    Form->SetLeft(0);
    Form->SetTop(0);
    Form->Show();
    uitest::Snapshot(Form->Handle());
  }
  // Handles messages until every paint is done, and returns the label's height then.
  int SettledHeight() {
    uitest::Snapshot(Form->Handle());
    uitest::Snapshot(Form->Handle());
    return Form->Label->Height();
  }
  std::unique_ptr<TLabelForm> Form;
};

TEST_F(HTMLLabelTest, AutoSizeTakesTheHeightDrawHTMLReturns) {
  struct Case {
    const char* caption;
    int height;
  };
  // One line of 10-point Tahoma: 1 + 16 + 20. A single paragraph: two empty lines of the
  // canvas's own font, 8-point MS Sans Serif: 1 + 13 + 13 + 20.
  for (const Case& c : {Case{"Bonjour", 37}, Case{"<P>", 47}, Case{"<P><P>", 60}}) {
    SCOPED_TRACE(c.caption);
    Form->Label->SetAutoSize(true);
    Form->Label->SetCaption(c.caption);
    EXPECT_EQ(SettledHeight(), c.height);
  }
}

TEST_F(HTMLLabelTest, WithoutAutoSizeTheHeightStays) {
  Form->Label->SetCaption("<P><P><P><P><P><P><P><P><P><P>bas");
  EXPECT_EQ(SettledHeight(), 100);
}

TEST_F(HTMLLabelTest, CaptionWriterStoresAndAsksForOneRepaint) {
  TCountingLabel* label = Form->Label;
  const int before = label->Paints;
  label->SetCaption("Un");
  EXPECT_EQ(label->Paints, before);  // nothing is drawn by the writer itself
  uitest::Pump();
  EXPECT_EQ(label->Paints, before + 1);
  label->SetCaption("Un");
  uitest::Pump();
  EXPECT_EQ(label->Paints, before + 1);
  EXPECT_EQ(label->Caption(), "Un");
}

TEST_F(HTMLLabelTest, NewCaptionWidensANarrowLabelTo50) {
  struct Case {
    int width;
    const char* caption;  // set after "avant"
    int expected;
  };
  for (const Case& c : {Case{30, "x", 50}, Case{30, "", 50}, Case{30, "avant", 30},
                        Case{49, "y", 50}, Case{80, "z", 80}}) {
    SCOPED_TRACE(std::to_string(c.width) + " " + c.caption);
    Form->Label->SetCaption("avant");
    Form->Label->SetWidth(c.width);
    Form->Label->SetCaption(c.caption);
    EXPECT_EQ(Form->Label->Width(), c.expected);
  }
}

// The rightmost column of the label's area that holds dark ink.
int RightmostInk(const ui::TBitmap& shot, const gfx::TRect& area) {
  for (int x = area.Right - 1; x >= area.Left; --x)
    for (int y = area.Top; y < area.Bottom; ++y) {
      const gfx::TColor c = shot.Pixel(x, y);
      if (gfx::GetRValue(c) < 128 && gfx::GetGValue(c) < 128 && gfx::GetBValue(c) < 128) return x;
    }
  return -1;
}

TEST_F(HTMLLabelTest, AnchoredLabelIsLaidOutAgainAtItsNewWidth) {
  TCountingLabel* label = Form->Label;
  label->SetAnchors(ui::akAll);
  label->SetCaption("<P RIGHT>droite<P>");
  const int before = RightmostInk(uitest::Snapshot(Form->Handle()), label->BoundsRect());
  // A right-aligned line ends a few pixels left of the band's right edge, 1 + width.
  EXPECT_GT(before, 10 + 300 - 20);
  EXPECT_LT(before, 10 + 300);
  Form->SetClientSize(500, 300);
  EXPECT_EQ(label->Width(), 400);
  const int after = RightmostInk(uitest::Snapshot(Form->Handle()), label->BoundsRect());
  EXPECT_EQ(after - before, 100);
}

TEST_F(HTMLLabelTest, MalformedNumberIsReportedByThePaintAndTheProgramGoesOn) {
  uitest::TBoxWatcher watcher;
  Form->Label->SetCaption("avant<FONT SIZE=big>apr\xE8s");
  for (int i = 0; i < 100 && watcher.Count() == 0; ++i) uitest::Pump(20);
  ASSERT_EQ(watcher.Count(), 1);
  EXPECT_EQ(watcher.Seen()[0].Text, "'big' n'est pas une valeur enti\xE8re correcte.");
  // The label still takes captions and paints them.
  Form->Label->SetAutoSize(true);
  Form->Label->SetCaption("Bonjour");
  SettledHeight();
  EXPECT_EQ(watcher.Count(), 1);
  EXPECT_GT(Form->Label->Height(), 0);
}

TEST_F(HTMLLabelTest, PageTextScreenshot) {
  Form->SetClientSize(600, 390);
  Form->Label->SetBounds(16, 8, 577, 369);
  Form->Label->SetCaption(installer::PageTextWelcome);
  uitest::Screenshot(Form->Handle(), "htmllabel-page1.png");
}

}  // namespace
