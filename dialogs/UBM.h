// The message box: the one window through which the program asks its questions and reports
// its failures. One box exists for the whole run; every call builds its text and buttons,
// runs it modally, and removes the buttons again.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/Gradient.h"
#include "gfx/Types.h"
#include "html/UHTMLLabel.h"
#include "rtl/ShortString.h"
#include "ui/Forms.h"

namespace dialogs {

class TFMB : public ui::TForm {
 public:
  explicit TFMB(ui::TComponent* owner);
  ~TFMB() override;

  TGradient* Gradient1;  // the resize grip, hidden
  html::THTMLLabel* LeMessage;

  // One call of ShowMessageBox on this window.
  int Execute(const std::string& title, const std::string& message, const std::string& buttons,
              gfx::TColor color);

  // The key characters of the buttons of the call under way, position n for button n.
  const rtl::ShortString& Keys() const { return FKeys; }

  void LesSpeedButtonsClick(ui::TComponent* sender);
  void FormKeyDown(ui::TComponent* sender, std::uint16_t& key, ui::TShiftState shift);
  void FormKeyPress(ui::TComponent* sender, char& key);
  void FormShow(ui::TComponent* sender);
  void FormResize(ui::TComponent* sender);
  void FormActivate(ui::TComponent* sender);
  void FormCreate(ui::TComponent* sender);
  void Gradient1MouseDown(ui::TComponent* sender, ui::TMouseButton button, ui::TShiftState shift,
                          int x, int y);
  // These two serve the grip and the window alike.
  using ui::TForm::MouseMove;
  using ui::TForm::MouseUp;
  void MouseMove(ui::TComponent* sender, ui::TShiftState shift, int x, int y);
  void MouseUp(ui::TComponent* sender, ui::TMouseButton button, ui::TShiftState shift, int x,
               int y);

 private:
  void Answer(int result);

  // The pointer where the grip was pressed; FDownX = 0 means that no drag is under way.
  std::int32_t FDownX = 0, FDownY = 0;
  std::int32_t FResult = 0;
  rtl::ShortString FKeys;
};

// The single box window, owned by the application object.
extern TFMB* FMB;

// Creates the box window once; the program does it at start, before the application object
// is initialised.
void CreateMessageBoxWindow();

// Asks a question: Title as caption, Message in the markup ("#13" and carriage returns start
// paragraphs), one button per caption of the list Buttons ("Oui#13Non"), Color as the
// background for this call only (0 keeps white). Returns the number of the button chosen,
// from 1 in list order; 0 for Escape or a closed window; Enter answers 1.
int ShowMessageBox(const std::string& title, const std::string& message, const std::string& buttons,
                   gfx::TColor color);

}  // namespace dialogs
