// A push button drawn entirely by the program: a one-pixel bevel, a face of three bands in a
// vertical gradient, an embossed caption and a glyph with a transparent colour. It takes no
// focus, looks raised while idle and sunken while a mouse button is held on it.
#pragma once

#include <string>

#include "ui/Controls.h"

namespace dialogs {

class TCurvedSpeedButton : public ui::TGraphicControl {
 public:
  explicit TCurvedSpeedButton(ui::TComponent* owner);
  ~TCurvedSpeedButton() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  // The picture left of the caption. Assigning copies it; pixels of the colour of its top-left
  // pixel are not drawn.
  const ui::TBitmap& Glyph() const { return FGlyph; }
  void SetGlyph(const ui::TBitmap& glyph);
  // On, the face takes the colour of the form, as ParentColor does.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  // Whether a mouse button is held down on the button.
  bool Down() const { return FDown; }

 protected:
  void Paint() override;
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;

 private:
  void SetDown(bool down);
  gfx::TColor FormColor() const;

  std::string FCaption;
  ui::TBitmap FGlyph;
  bool FTransparent = false;
  bool FDown = false;
};

}  // namespace dialogs
