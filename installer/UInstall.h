// The installer's wizard window: five pages (welcome, licence agreement, installation folder,
// installation, finished) over one background picture, each with its own HTML text.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "html/UHTMLLabel.h"
#include "ui/Buttons.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace installer {

// The folder the wizard proposes, and where the installer keeps its own copy.
inline constexpr char kDefaultFolder[] = "c:\\Morvidan";
// The installed application, started from the chosen folder with its one argument.
inline constexpr char kApplicationFile[] = "Morvidan.exe";
inline constexpr char kLaunchArgument[] = "VERUVI";
// The bitmap resource of install.exe that holds the background picture.
inline constexpr char kBackgroundResource[] = "BACKGROUND";

class TForm1 : public ui::TForm {
public:
  explicit TForm1(ui::TComponent* owner);

  ui::TImage* Image1;
  ui::TSpeedButton* btSuivant;
  ui::TSpeedButton* btAnnuler;
  ui::TSpeedButton* btPrecedant;
  html::THTMLLabel* HTMLLabel1;
  ui::TLabel* LabelDossier;
  ui::TSpeedButton* ButtonDossier;
  ui::TMemo* MemoLicence;
  ui::TCheckBox* Acceptation;
  ui::TCheckBox* Lancer;
  ui::TEdit* EditDossier;

  // The folder of the installation run, absolute; the launch of "Fermer" starts the
  // application from it.
  std::string InstallFolder;
  // The page shown, 1 to 5.
  std::uint8_t Page = 0;
  // The HTML text of each page: PageTexts[0] is page 1.
  std::array<std::string, 5> PageTexts;

  void FormCreate(ui::TComponent* sender);
  void FormShow(ui::TComponent* sender);
  // Shows page p (1 to 5): its text and the controls of its row of the page table. Page 3
  // needs the licence accepted; page 4 runs the installation.
  void SetPage(std::uint8_t p);
  void btSuivantClick(ui::TComponent* sender);
  void btPrecedantClick(ui::TComponent* sender);
  void AcceptationClick(ui::TComponent* sender);
  void ButtonDossierClick(ui::TComponent* sender);
  void btAnnulerClick(ui::TComponent* sender);

  // The installation run of page 4, started from inside SetPage; it ends, when it succeeds,
  // by showing page 5. It does nothing yet: the wizard stays on page 4.
  void RunInstallation();

private:
  void LoadBackground();
  // The user's answer to the question of SetPage: true when the licence is now accepted.
  bool AskAcceptance();
};

// The wizard window of the program, its main window.
extern TForm1* Form1;

}  // namespace installer
