#include "dialogs/Gradient.h"

#include <algorithm>

#include "dialogs/Win32Bridge.h"
#include "ui/Win32.h"

namespace dialogs {

namespace {

// The platform's colour index of the second active-caption colour; older systems lack it.
constexpr int kGradientActiveCaption = 27;

}  // namespace

TGradient::TGradient(ui::TComponent* owner) : TGraphicControl(owner) {
  UsePlatformSysColors();
  SetOpaque(true);
  SetBounds(Left(), Top(), 100, 100);
  RebuildPattern();
}

TGradient::~TGradient() = default;

void TGradient::SetColorBegin(gfx::TColor color) {
  FUseSysColors = false;
  if (color == FColorBegin) return;
  FColorBegin = color;
  RebuildPattern();
}

void TGradient::SetColorEnd(gfx::TColor color) {
  FUseSysColors = false;
  if (color == FColorEnd) return;
  FColorEnd = color;
  RebuildPattern();
}

void TGradient::SetUseSysColors(bool value) {
  if (value == FUseSysColors) return;
  FUseSysColors = value;
  if (value) LoadSystemColors();
}

void TGradient::SetStyle(TGradientStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  RebuildPattern();
}

void TGradient::SetShift(int shift) {
  const auto value = TGradientShift(std::clamp(shift, -100, 100));
  if (value == FShift) return;
  FShift = value;
  RebuildPattern();
}

void TGradient::SetRotation(int rotation) {
  const auto value = TGradientRotation(std::clamp(rotation, -100, 100));
  if (value == FRotation) return;
  FRotation = value;
  RebuildPattern();
}

void TGradient::SetReverse(bool value) {
  if (value == FReverse) return;
  FReverse = value;
  RebuildPattern();
}

void TGradient::BeginUpdate() {
  ++FUpdateCount;
}

void TGradient::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0 && FDirty) RebuildPattern();
}

void TGradient::Loaded() {
  TGraphicControl::Loaded();
  RebuildPattern();
}

void TGradient::SettingChanged() {
  TGraphicControl::SettingChanged();
  if (FUseSysColors) LoadSystemColors();
}

void TGradient::LoadSystemColors() {
  BeginUpdate();
  try {
    // The values are read now, as RGB, so that a change of the system's colours is a change
    // of the properties and rebuilds the pattern.
    SetColorBegin(GetSysColor(COLOR_ACTIVECAPTION));
    if (GetSysColorBrush(kGradientActiveCaption)) {
      SetColorEnd(GetSysColor(kGradientActiveCaption));
      FUseSysColors = true;
    } else {
      SetColorEnd(FColorBegin);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TGradient::RebuildPattern() {
  FDirty = true;
  if (Loading() || FUpdateCount > 0) return;
  FDirty = false;

  gfx::TColor c1 = ui::ColorToRGB(FColorBegin) & 0xFFFFFF;
  gfx::TColor c2 = ui::ColorToRGB(FColorEnd) & 0xFFFFFF;
  if (FReverse) std::swap(c1, c2);
  const TGradientColors colors = BuildGradientColors(c1, c2, FShift, FRotation);
  {
    // A paint that comes while the pattern is half built (OnCustom may pump messages) draws
    // nothing; a builder that fails leaves the old or partly built pattern for later paints.
    FRendering = true;
    struct TDone {
      bool& Rendering;
      ~TDone() { Rendering = false; }
    } done{FRendering};
    if (FStyle == gsCustom) {
      if (OnCustom) {
        OnCustom(this, colors, FPattern);
      } else {
        TPixelBuffer pattern;
        BuildDefaultCustomPattern(c1, c2, pattern);
        CopyToBitmap(pattern, FPattern);
      }
    } else {
      TPixelBuffer pattern;
      BuildGradientPattern(FStyle, colors, pattern);
      CopyToBitmap(pattern, FPattern);
    }
  }
  if (Parent() && Parent()->HandleAllocated()) {
    Parent()->InvalidateRect(BoundsRect(), false);
  } else {
    Invalidate();
  }
}

void TGradient::Paint() {
  if (!FRendering) Canvas().StretchDraw(ClientRect(), FPattern);
}

}  // namespace dialogs
