// The progress window on a real screen: the labels that SetPosition writes, the strip of the
// bar it repaints, the interruption mark, and a screenshot.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dialogs/Duration.h"
#include "dialogs/UProgression.h"
#include "tests/win/ui_test_util.h"
#include "ui/Win32.h"

namespace {

using dialogs::TProgression;
using gfx::RGB;

constexpr double kNoon = 0.5;
constexpr double kTick = 1.0 / 1024;  // 84.375 seconds, exact in a double

// The bar's colours on line 55: the sunken track's top band, the raised filled part's.
constexpr gfx::TColor kTrack = RGB(239, 239, 188), kFilled = RGB(62, 62, 255);

struct Progression : ::testing::Test {
  void SetUp() override {
    Window.reset(ui::CreateForm<TProgression>(nullptr));
    Window->Clock = [this] { return Now; };
    Window->SetCaption("Installation de Morvidan");
    Window->Label1->SetCaption("Extraction");
    Window->Label6->SetCaption("Morvidan.exe");
    Window->SetPosition(0);
    Window->Show();
    uitest::Pump(50);
  }
  // Whether a paint of the window since the last call reached the bar.
  bool BarPainted() {
    const bool painted = Painted;
    Painted = false;
    return painted;
  }
  void WatchPaints() {
    auto paint = Window->OnPaint;
    Window->OnPaint = [this, paint](ui::TComponent* sender) {
      Painted |= Window->Canvas().RectVisible(gfx::Rect(19, 50, 572, 72));
      paint(sender);
    };
  }
  gfx::TColor BarPixel(int x) { return uitest::Snapshot(Window->Handle()).Pixel(x, 55); }
  double Now = kNoon;
  bool Painted = false;
  std::unique_ptr<TProgression> Window;
};

TEST(ProgressionCreation, StartsAtOnePercent) {
  std::unique_ptr<TProgression> w(ui::CreateForm<TProgression>(nullptr));
  EXPECT_EQ(w->Position(), 1);
  EXPECT_EQ(w->Caption(), "Progression");
  EXPECT_EQ(w->Label2->Caption(), " 1% réalisé en 0s ");
  EXPECT_EQ(w->Totale->Caption(), "0s");
  EXPECT_EQ(w->Restante->Caption(), "0s");
  EXPECT_EQ(w->Label7->Caption(), "");
}

TEST_F(Progression, LabelsForEachValue) {
  struct Case {
    int value;
    std::string label2, total, remaining;
    int filledX, trackX;  // a pixel inside the filled part, and the first one after it
  };
  const Case cases[] = {
      {0, " 0% réalisé en 01mn24s ", ">2h20mn37s", "2h20mn37s", -1, 22},
      {1, " 1% réalisé en 01mn24s ", "2h20mn37s", "2h19mn13s", 25, 27},  // 6 pixels wide
      {3, " 3% réalisé en 01mn24s ", "46mn52s", "45mn28s", 35, 37},      // 16 pixels wide
      {100, " 100% réalisé en 01mn24s ", "01mn24s", "0s", 569, -1},
  };
  Now = kNoon + kTick;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    Window->SetPosition(c.value);
    EXPECT_EQ(Window->Label2->Caption(), c.label2);
    EXPECT_EQ(Window->Totale->Caption(), c.total);
    EXPECT_EQ(Window->Restante->Caption(), c.remaining);
    EXPECT_EQ(Window->Label9->Caption(), "12h");
    EXPECT_EQ(Window->Label10->Caption(), "12h01mn24s");
    EXPECT_EQ(Window->Label11->Caption(), "01mn24s");
    if (c.filledX >= 0) {
      EXPECT_EQ(BarPixel(c.filledX), kFilled);
    }
    if (c.trackX >= 0) {
      EXPECT_EQ(BarPixel(c.trackX), kTrack);
    }
  }
  // At 100 % the filled part's right bevel covers the track's.
  EXPECT_EQ(BarPixel(570), RGB(70, 70, 70));
}

TEST_F(Progression, SameValueTwiceRefreshesLabelsButNotTheBar) {
  WatchPaints();
  Window->SetPosition(5);
  EXPECT_TRUE(BarPainted());
  Window->Label10->SetCaption("x");
  Window->HTMLLabel1->SetCaption("");
  Now = kNoon + kTick;
  Window->SetPosition(5);
  uitest::Pump(50);
  EXPECT_FALSE(BarPainted());
  EXPECT_EQ(Window->Label10->Caption(), "12h01mn24s");
  EXPECT_EQ(Window->Label2->Caption(), " 5% réalisé en 01mn24s ");
  EXPECT_EQ(
      Window->HTMLLabel1->Caption().rfind("<B>RAM libre :</B> Au début : <Font Color=#FF>", 0), 0u);
}

TEST_F(Progression, MemoryLine) {
  Window->SetPosition(9);
  const std::string caption = Window->HTMLLabel1->Caption();
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  const std::string now = std::to_string(std::uint64_t(status.dwAvailPhys) >> 20);
  EXPECT_NE(caption.find(" Mo<Font Color=#0>    En cours : <Font Color=#FF0000>"),
            std::string::npos)
      << caption;
  // The free memory moves a little between two readings; a whole mebibyte at most.
  const std::size_t at = caption.rfind('>') + 1;
  const long long shown = std::stoll(caption.substr(at));
  EXPECT_LE(std::llabs(shown - std::stoll(now)), 64) << caption;
  EXPECT_EQ(caption.substr(caption.size() - 4), " Mo ");
}

TEST_F(Progression, GoingDownRepaintsTheWholeBar) {
  Window->SetPosition(50);
  EXPECT_EQ(BarPixel(200), kFilled);
  Window->SetPosition(10);
  EXPECT_EQ(BarPixel(200), kTrack);
  EXPECT_EQ(BarPixel(60), kFilled);
}

TEST_F(Progression, InterruptionMarkLastsUntilTheNextCall) {
  dialogs::TCurvedSpeedButton* b = Window->SpeedButton1;
  uitest::PostClick(Window->Handle(), b->Left() + 20, b->Top() + 10);
  Window->SetPosition(7);  // its message pumping takes the click
  EXPECT_EQ(Window->Label2->Caption(), "interrompu");
  Window->SetPosition(8);
  EXPECT_EQ(Window->Label2->Caption(), " 8% réalisé en 0s ");
}

TEST_F(Progression, ClosingMarksAndShowingResets) {
  Window->Close();
  EXPECT_EQ(Window->Label2->Caption(), "interrompu");
  EXPECT_FALSE(Window->Visible());
  Now = kNoon + 0.0625;
  Window->Show();
  EXPECT_EQ(Window->Label2->Caption(), "Réalisé");
  EXPECT_EQ(Window->Label9->Caption(), "13h30mn");  // the clock starts again
  Window->SetPosition(20);
  EXPECT_EQ(Window->Label11->Caption(), "0s");
}

TEST_F(Progression, MidnightPassingCountsOn) {
  Now = 0.99;
  Window->Hide();
  Window->Show();
  Now = 0.01;
  Window->SetPosition(50);
  EXPECT_EQ(Window->Label11->Caption(), "28mn48s");
  EXPECT_EQ(Window->Label2->Caption(), " 50% réalisé en 28mn48s ");
}

TEST_F(Progression, Screenshot) {
  Now = kNoon + 0.0625;
  Window->SetPosition(42);
  uitest::Pump(100);
  uitest::Screenshot(Window->Handle(), "progression.png");
  Window->SetPosition(100);
  uitest::Pump(100);
  uitest::Screenshot(Window->Handle(), "progression-100.png");
}

}  // namespace
