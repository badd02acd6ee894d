// The wait window: a plain, non-modal window whose HTML text tells the user to wait. It also
// carries a transfer mode (a bar and two byte counters) that the installer leaves hidden.
#pragma once

#include <cstdint>

#include "html/UHTMLLabel.h"
#include "ui/ComCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace dialogs {

// Direction of a transfer, as the transfer component reports it.
enum class TWorkMode : std::uint8_t { wmRead, wmWrite };

// Closing the window (its close box) only hides it; the operation that showed it goes on.
class TAttente : public ui::TForm {
 public:
  explicit TAttente(ui::TComponent* owner);

  html::THTMLLabel* Label1;
  ui::TLabel* Label2;
  ui::TProgressBar* ProgressBar1;
  ui::TLabel* Label3;
  ui::TLabel* Label4;

  void FormShow(ui::TComponent* Sender);
  // Called by a transfer component as bytes move: the bar and the byte counter follow, and the
  // window repaints. A count outside 32 bits is a range error.
  void IdFTP1Work(ui::TComponent* Sender, TWorkMode WorkMode, std::int64_t WorkCount);
};

// A byte count as the platform's number formatter writes it, without decimals.
std::string FormatByteCount(std::int64_t count);

}  // namespace dialogs
