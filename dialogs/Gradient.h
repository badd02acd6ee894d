// A windowless control that fills its whole area with a two-colour gradient in one of 23
// geometric styles, or with a pattern its owner builds. Each property change computes a table
// of 256 colours and from it a small pattern; painting stretches the pattern over the control.
#pragma once

#include <cstdint>
#include <functional>

#include "dialogs/GradientPatterns.h"
#include "ui/Controls.h"

namespace dialogs {

using TGradientShift = std::int8_t;     // -100..100
using TGradientRotation = std::int8_t;  // -100..100

// Builds the pattern of gsCustom from the colour table.
using TCustomGradientEvent = std::function<void(
    ui::TComponent* sender, const TGradientColors& colors, ui::TBitmap& pattern)>;

class TGradient : public ui::TGraphicControl {
 public:
  explicit TGradient(ui::TComponent* owner);
  ~TGradient() override;

  gfx::TColor ColorBegin() const { return FColorBegin; }
  // Turns UseSysColors off.
  void SetColorBegin(gfx::TColor color);
  gfx::TColor ColorEnd() const { return FColorEnd; }
  // Turns UseSysColors off.
  void SetColorEnd(gfx::TColor color);
  // On, both colours come from the system's active-caption colours and follow their changes.
  bool UseSysColors() const { return FUseSysColors; }
  void SetUseSysColors(bool value);
  TGradientStyle Style() const { return FStyle; }
  void SetStyle(TGradientStyle style);
  // Percent by which one colour moves toward the other; clamped to -100..100.
  TGradientShift Shift() const { return FShift; }
  void SetShift(int shift);
  // Folds the colour table; clamped to -100..100.
  TGradientRotation Rotation() const { return FRotation; }
  void SetRotation(int rotation);
  // Exchanges the roles of the two colours.
  bool Reverse() const { return FReverse; }
  void SetReverse(bool value);

  TCustomGradientEvent OnCustom;

  // Changes between the two build the pattern once, at the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();

  const ui::TBitmap& Pattern() const { return FPattern; }

 protected:
  void Loaded() override;
  void Paint() override;
  void SettingChanged() override;
  virtual void RebuildPattern();
  virtual void LoadSystemColors();

 private:
  gfx::TColor FColorBegin = gfx::clWhite;
  gfx::TColor FColorEnd = gfx::clBtnFace;
  bool FUseSysColors = false;
  TGradientStyle FStyle = gsRadialC;
  TGradientShift FShift = 0;
  TGradientRotation FRotation = 0;
  bool FReverse = false;
  ui::TBitmap FPattern;
  std::int32_t FUpdateCount = 0;
  bool FDirty = false;
  bool FRendering = false;
};

}  // namespace dialogs
