// The speed button: a push button without a window, that never takes the focus.
#pragma once

#include <string>

#include "ui/Controls.h"

namespace ui {

// Raised while idle, sunken while the left button is held on it. The caption ("&" underlines
// the next character) and the optional glyph are centred together, the glyph on the left,
// 4 pixels apart; the glyph's bottom-left pixel gives its transparent colour.
class TSpeedButton : public TGraphicControl {
public:
  explicit TSpeedButton(TComponent* owner);

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  const TBitmap& Glyph() const { return FGlyph; }
  void SetGlyph(const TBitmap& glyph);
  bool Down() const { return FDown; }

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
  void Paint() override;

private:
  void DrawGlyph(TGdiCanvas& canvas, int x, int y);

  std::string FCaption;
  TBitmap FGlyph;
  bool FDown = false;
  bool FTracking = false;
};

}  // namespace ui
