// The progress window: a bar drawn from a percentage, the clock time at show, the current
// time, the elapsed time, estimates of the total and remaining times, and the free physical
// memory at show and now. Its "Interrompre" button stops nothing: it leaves the mark
// "interrompu" in Label2, which the operation polls between two steps.
#pragma once

#include <cstdint>
#include <functional>

#include "dialogs/CurvedSpeedButton.h"
#include "html/UHTMLLabel.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace dialogs {

class TProgression : public ui::TForm {
 public:
  explicit TProgression(ui::TComponent* owner);

  ui::TLabel* Label1;    // first heading line, set by the user
  ui::TLabel* Label6;    // second heading line, set by the user
  ui::TLabel* Label9;    // clock time at show
  ui::TLabel* Label10;   // current clock time
  ui::TLabel* Label11;   // elapsed time
  ui::TLabel* Label2;    // percentage line; carries the interruption mark
  ui::TLabel* Label3;    // heading of the estimates
  ui::TLabel* Label4;    // "Totale :"
  ui::TLabel* Totale;    // estimated total duration
  ui::TLabel* Label5;    // "Restante :"
  ui::TLabel* Restante;  // estimated remaining duration
  TCurvedSpeedButton* SpeedButton1;
  ui::TLabel* Label7;  // never written
  ui::TLabel* Label8;  // coloured strip under the memory line
  html::THTMLLabel* HTMLLabel1;

  void FormCreate(ui::TComponent* sender);
  void FormShow(ui::TComponent* sender);
  void FormClose(ui::TComponent* sender, ui::TCloseAction& action);
  void FormPaint(ui::TComponent* sender);
  void SpeedButton1Click(ui::TComponent* sender);

  // Value is a percentage, 0 to 100. Updates the bar, the time labels and the memory line,
  // then lets the pending window messages run (repaints, a click on "Interrompre").
  void SetPosition(std::int32_t value);
  std::int32_t Position() const { return FPosition; }

  // The time of day, as a fraction of a day; tests put a clock of their own here.
  std::function<double()> Clock;

 private:
  void RefreshMemoryLine();
  std::uint64_t AvailablePhysicalMemory();

  std::int32_t FPosition = 0;
  double FStartTime = 0;
  // Wider than the platform's 32-bit field of old: a 64-bit system reports more than 4 GiB.
  std::uint64_t FFreeAtStart = 0;
  MEMORYSTATUS FMemoryStatus{};
};

}  // namespace dialogs
