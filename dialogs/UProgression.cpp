#include "dialogs/UProgression.h"

#include <initializer_list>

#include "dialogs/Duration.h"
#include "dialogs/InterruptGlyph.h"
#include "dialogs/ProgressionTexts.h"
#include "dialogs/Win32Bridge.h"
#include "gfx/ColorUtils.h"
#include "rtl/SysUtils.h"
#include "ui/Application.h"

namespace dialogs {

namespace {

// The designed value, $FEFE01: red 1, green and blue 254, a light cyan behind black text.
constexpr gfx::TColor kPositionBack = 16711169;
constexpr gfx::TColor kButtonFace = 14215660;    // RGB 236, 233, 216
constexpr gfx::TColor kFilledFace = 0xFF0000;    // blue
constexpr gfx::TColor kTrackShading = 0x101010, kFilledShading = 0x3E3E3E;

gfx::TFontDesc FontOf(const char* name, int height) {
  gfx::TFontDesc f;
  f.Name = name;
  f.Height = height;
  f.Charset = gfx::ANSI_CHARSET;
  f.Color = gfx::clWindowText;
  return f;
}

}  // namespace

TProgression::TProgression(ui::TComponent* owner) : TForm(owner), Clock(&rtl::TimeOfDay) {
  UsePlatformSysColors();
  SetCaption("Progression");
  SetBorderStyle(ui::TFormBorderStyle::bsSingle);
  SetBorderIcons(0);
  SetColor(gfx::clBtnFace);
  SetFont(FontOf("Courier New", -13));
  // The designed client size is the basis of the anchors; the windowing system then chooses
  // the position and the size.
  SetClientSize(712, 190);
  TForm::SetPosition(ui::TPosition::poDefault);

  const gfx::TFontDesc narrow = FontOf("Arial Narrow", -11);
  auto label = [this](int left, int top, int width, int height, const char* caption) {
    auto* l = new ui::TLabel(this);
    l->SetBounds(left, top, width, height);
    l->SetCaption(caption);
    return l;
  };
  Label1 = label(21, 5, 88, 16, "progression");
  Label1->SetTransparent(true);
  Label6 = label(22, 22, 80, 16, "Avancement");
  Label9 = label(658, 4, 48, 16, "");
  Label10 = label(658, 21, 48, 16, "");
  Label11 = label(659, 39, 48, 16, "");
  for (ui::TLabel* l : {Label9, Label10, Label11}) {
    l->SetAlignment(ui::TAlignment::taRightJustify);
    l->SetAnchors(ui::akTop | ui::akRight);
  }
  Label2 = label(261, 77, 56, 16, "réalisé");
  Label2->SetAlignment(ui::TAlignment::taCenter);
  Label2->SetAnchors(ui::akLeft | ui::akTop | ui::akRight);
  Label2->SetColor(kPositionBack);
  Label3 = label(23, 92, 129, 15, "Durée du traitement (estimation)");
  Label4 = label(37, 108, 31, 15, "Totale :");
  Totale = label(246, 108, 5, 15, "?");
  Label5 = label(26, 124, 42, 15, "Restante :");
  Restante = label(246, 124, 5, 15, "?");
  for (ui::TLabel* l : {Label3, Label4, Totale, Label5, Restante}) l->SetFont(narrow);
  for (ui::TLabel* l : {Label3, Label4, Label5}) l->SetTransparent(true);
  for (ui::TLabel* l : {Label4, Totale, Label5, Restante}) {
    l->SetAlignment(ui::TAlignment::taRightJustify);
  }
  Totale->SetColor(gfx::clWhite);
  Restante->SetColor(gfx::clWhite);

  SpeedButton1 = new TCurvedSpeedButton(this);
  SpeedButton1->SetBounds(500, 136, 158, 29);
  SpeedButton1->SetCaption("Interrompre");
  SpeedButton1->SetColor(kButtonFace);
  SpeedButton1->SetParentColor(false);
  SpeedButton1->SetTransparent(false);
  SpeedButton1->SetAnchors(ui::akRight | ui::akBottom);
  SpeedButton1->SetGlyph(ToBitmap(InterruptGlyph()));

  Label7 = label(501, 172, 156, 12, "");
  Label7->SetAutoSize(false);
  Label7->SetAlignment(ui::TAlignment::taCenter);
  Label7->SetFont(FontOf("Courier New", -8));
  Label7->SetTransparent(true);
  Label7->SetAnchors(ui::akRight | ui::akBottom);

  Label8 = label(0, 174, 712, 16, "");
  Label8->SetAutoSize(false);
  Label8->SetAlignment(ui::TAlignment::taCenter);
  Label8->SetColor(gfx::clInfoBk);

  HTMLLabel1 = new html::THTMLLabel(this);
  HTMLLabel1->SetBounds(1, 173, 712, 18);
  HTMLLabel1->SetAnchors(ui::akLeft | ui::akRight | ui::akBottom);

  // Parents last, in the order above, which is the order of painting.
  for (ui::TControl* c : std::initializer_list<ui::TControl*>{
           Label1, Label6, Label9, Label10, Label11, Label2, Label3, Label4, Totale, Label5,
           Restante, SpeedButton1, Label7, Label8, HTMLLabel1}) {
    c->SetParent(this);
  }
  Label8->SetAlign(ui::TAlign::alBottom);

  OnCreate = [this](ui::TComponent* s) { FormCreate(s); };
  OnShow = [this](ui::TComponent* s) { FormShow(s); };
  OnClose = [this](ui::TComponent* s, ui::TCloseAction& a) { FormClose(s, a); };
  OnPaint = [this](ui::TComponent* s) { FormPaint(s); };
  SpeedButton1->OnClick = [this](ui::TComponent* s) { SpeedButton1Click(s); };
}

void TProgression::FormCreate(ui::TComponent*) {
  SetPosition(1);
}

void TProgression::FormShow(ui::TComponent*) {
  if (Label2->Caption() == kInterruptMark) Label2->SetCaption(kDoneText);
  FStartTime = Clock();
  Label9->SetCaption(DurationText(FStartTime));
  FFreeAtStart = AvailablePhysicalMemory();
}

void TProgression::FormClose(ui::TComponent*, ui::TCloseAction&) {
  Label2->SetCaption(kInterruptMark);
}

void TProgression::SpeedButton1Click(ui::TComponent*) {
  Label2->SetCaption(kInterruptMark);
}

std::uint64_t TProgression::AvailablePhysicalMemory() {
  FMemoryStatus.dwLength = sizeof FMemoryStatus;
  GlobalMemoryStatus(&FMemoryStatus);
  return FMemoryStatus.dwAvailPhys;
}

void TProgression::RefreshMemoryLine() {
  HTMLLabel1->SetCaption(MemoryLine(FFreeAtStart, AvailablePhysicalMemory()));
}

void TProgression::SetPosition(std::int32_t value) {
  if (value != FPosition) {
    const gfx::TRect strip = BarStrip(FPosition, value);
    FPosition = value;
    InvalidateRect(strip, false);
    RefreshMemoryLine();
  }
  if (FStartTime == 0) FStartTime = Clock();
  const double now = Clock();
  Label10->SetCaption(DurationText(now));
  Label9->SetCaption(DurationText(FStartTime));
  // Small elapsed times are shown as they are; a run that passes midnight counts on.
  const double elapsed = ElapsedDays(FStartTime, now);
  Label11->SetCaption(DurationText(elapsed));
  Label2->SetCaption(PositionText(FPosition, elapsed));
  const TEstimates estimates = Estimates(value, elapsed);
  Totale->SetCaption(estimates.Total);
  Restante->SetCaption(estimates.Remaining);
  RefreshMemoryLine();
  ui::Application.ProcessMessages();
}

void TProgression::FormPaint(ui::TComponent*) {
  gfx::TCanvas& canvas = Canvas();
  DrawShadedPanel(canvas, kBarWidth, kBarHeight, Color(), kBarLeft, kBarTop,
                  gfx::BlendColors(gfx::clWhite, 0x00FFFF, 0.2), kTrackShading, true);
  if (FPosition > 0) {
    DrawShadedPanel(canvas, BarFillWidth(FPosition), kBarHeight,
                    gfx::BlendColors(gfx::clWhite, 0xFF0000, 0.2), kBarLeft, kBarTop, kFilledFace,
                    kFilledShading, false);
  }
}

}  // namespace dialogs
