// The platform's progress bar.
#pragma once

#include "ui/Controls.h"

namespace ui {

class TProgressBar : public TWinControl {
public:
  explicit TProgressBar(TComponent* owner);

  int Min() const { return FMin; }
  int Max() const { return FMax; }
  void SetRange(int min, int max);
  void SetMin(int min) { SetRange(min, FMax); }
  void SetMax(int max) { SetRange(FMin, max); }
  int Position() const { return FPosition; }
  void SetPosition(int position);
  int Step() const { return FStep; }
  void SetStep(int step);
  void StepIt() { SetPosition(FPosition + FStep); }
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool value);

protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

private:
  int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
  bool FSmooth = false;
};

}  // namespace ui
