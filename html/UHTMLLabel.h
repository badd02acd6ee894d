// The HTML label: a windowless control whose caption, written in the system's markup, is drawn
// by DrawHTML at every paint.
#pragma once

#include <string>

#include "ui/Controls.h"

namespace html {

// The label never assigns its canvas font: DrawHTML starts from the platform's default font
// ("MS Sans Serif", 8 points), whose "W" (13 pixels) is the height of every empty line.
class THTMLLabel : public ui::TGraphicControl {
public:
  explicit THTMLLabel(ui::TComponent* owner);

  const std::string& Caption() const { return FCaption; }
  // The caption writer: the same caption does nothing; a new one is stored, widens a label
  // narrower than 50 pixels to 50, and asks for a repaint. Nothing is drawn here.
  virtual void SetCaption(const std::string& value);
  // When on, each paint gives the label the height its text needs.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value) { FAutoSize = value; }

protected:
  void Paint() override;

private:
  std::string FCaption;
  bool FAutoSize = false;
};

}  // namespace html
