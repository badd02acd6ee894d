#include "installer/UInstall.h"

#include <shlobj.h>

#include <iterator>
#include <memory>

#include "dialogs/UBM.h"
#include "installer/Background.h"
#include "installer/Licence.h"
#include "installer/PageTexts.h"
#include "installer/ULancement.h"
#include "rtl/SysUtils.h"
#include "ui/Application.h"

namespace installer {

TForm1* Form1 = nullptr;

namespace {

// Which controls each page shows; Image1 and HTMLLabel1 are always visible.
enum class TShown : std::uint8_t { No, Yes, IfAccepted };
struct TPageRow {
  TShown Suivant;
  bool Annuler, AnnulerEnabled, Precedant, Memo, Acceptation, Lancer, Dossier;
  const char* AnnulerCaption;
};
constexpr TPageRow PageTable[5] = {
    {TShown::Yes, true, true, false, false, false, false, false, "Annuler"},
    {TShown::IfAccepted, true, true, true, true, true, false, false, "Annuler"},
    {TShown::Yes, true, true, true, false, false, false, true, "Annuler"},
    {TShown::No, true, false, false, false, false, false, false, "Annuler"},
    {TShown::No, true, true, false, false, false, true, false, "Fermer"},
};

const char* const BrowseTitle = "Choisissez le dossier d'installation";

gfx::TFontDesc Tahoma13(gfx::TFontStyles style = 0) {
  return {.Name = "Tahoma", .Height = -13, .Style = style, .Charset = gfx::ANSI_CHARSET};
}

template <class T>
T* Place(T* control, ui::TWinControl* parent, const char* name, int left, int top, int width,
         int height) {
  control->SetName(name);
  control->SetBounds(left, top, width, height);
  control->SetParent(parent);
  return control;
}

bool FolderExists(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// An item list that the shell allocated, freed with the shell's allocator.
struct TItemListFree {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using TItemList = std::unique_ptr<ITEMIDLIST, TItemListFree>;

// Selects the typed folder as soon as the browser is up.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM folder) {
  if (message == BFFM_INITIALIZED) SendMessageA(window, BFFM_SETSELECTIONA, TRUE, folder);
  return 0;
}

}  // namespace

TForm1::TForm1(ui::TComponent* owner) : TForm(owner) {
  SetBorderStyle(ui::TFormBorderStyle::bsDialog);
  SetBorderIcons(0);
  SetPosition(ui::TPosition::poDesktopCenter);
  SetClientSize(667, 461);
  SetColor(gfx::clWhite);
  SetFont(Tahoma13());
  SetCaption("");

  // The drawn controls paint in this order, later ones over earlier ones.
  Image1 = Place(new ui::TImage(this), this, "Image1", 0, 38, 666, 382);
  Image1->SetAutoSize(true);
  LoadBackground();
  btSuivant = Place(new ui::TSpeedButton(this), this, "btSuivant", 375, 423, 121, 33);
  btSuivant->SetCaption("Suivant >");
  btSuivant->OnClick = [this](ui::TComponent* sender) { btSuivantClick(sender); };
  btAnnuler = Place(new ui::TSpeedButton(this), this, "btAnnuler", 520, 423, 121, 33);
  btAnnuler->SetCaption("Annuler");
  btAnnuler->SetFont(Tahoma13());
  btAnnuler->OnClick = [this](ui::TComponent* sender) { btAnnulerClick(sender); };
  btPrecedant = Place(new ui::TSpeedButton(this), this, "btPrecedant", 253, 423, 121, 33);
  btPrecedant->SetCaption("< Précédant");
  btPrecedant->OnClick = [this](ui::TComponent* sender) { btPrecedantClick(sender); };
  HTMLLabel1 = Place(new html::THTMLLabel(this), this, "HTMLLabel1", 16, 8, 577, 369);
  LabelDossier = Place(new ui::TLabel(this), this, "LabelDossier", 56, 264, 126, 16);
  LabelDossier->SetCaption("Dossier d'installation :");
  ButtonDossier = Place(new ui::TSpeedButton(this), this, "ButtonDossier", 442, 260, 89, 25);
  ButtonDossier->SetCaption("Choisir");
  ButtonDossier->OnClick = [this](ui::TComponent* sender) { ButtonDossierClick(sender); };

  // The windowed controls lie above every drawn one.
  MemoLicence = Place(new ui::TMemo(this), this, "MemoLicence", 8, 192, 569, 219);
  MemoLicence->SetReadOnly(true);
  MemoLicence->SetTabOrder(1);
  MemoLicence->SetText(LicenceText());
  Acceptation = Place(new ui::TCheckBox(this), this, "Acceptation", 200, 168, 359, 17);
  Acceptation->SetCaption("J'accepte les termes et conditions de cette licence");
  Acceptation->SetFont(Tahoma13(gfx::fsBold));
  Acceptation->SetTabOrder(0);
  Acceptation->OnClick = [this](ui::TComponent* sender) { AcceptationClick(sender); };
  Lancer = Place(new ui::TCheckBox(this), this, "Lancer", 192, 264, 346, 17);
  Lancer->SetCaption("Lancer Morvidan © Sorbiane");
  Lancer->SetChecked(true);
  Lancer->SetTabOrder(3);
  EditDossier = Place(new ui::TEdit(this), this, "EditDossier", 186, 260, 249, 24);
  EditDossier->SetTabOrder(2);
  EditDossier->SetText(kDefaultFolder);

  OnCreate = [this](ui::TComponent* sender) { FormCreate(sender); };
  OnShow = [this](ui::TComponent* sender) { FormShow(sender); };
}

void TForm1::LoadBackground() {
  // install.exe always carries the picture; a program without it shows a white window.
  auto picture = std::make_unique<ui::TBitmap>();
  if (LoadCompressedPicture(GetModuleHandleA(nullptr), kBackgroundResource, *picture))
    Image1->SetPicture(std::move(picture));
}

void TForm1::FormCreate(ui::TComponent*) {
  for (std::size_t i = 0; i < PageTexts.size(); ++i) PageTexts[i] = installer::PageTexts[i];
}

void TForm1::FormShow(ui::TComponent*) {
  SetPage(1);
  EditDossier->SetText(kDefaultFolder);
}

bool TForm1::AskAcceptance() {
  if (dialogs::ShowMessageBox("Contrat de licence",
                              "Acceptez-vous les termes du contrat de licence ?", "Oui#13Non",
                              0) != 1)
    return false;
  Acceptation->SetChecked(true);
  return true;
}

void TForm1::SetPage(std::uint8_t p) {
  // Byte arithmetic from page 1 or 5 would give 0 or 6; the buttons that lead there are
  // hidden, and no page outside the table is ever shown.
  if (p < 1 || p > std::size(PageTable)) return;
  if (p == 3 && !Acceptation->Checked() && !AskAcceptance()) return;

  Page = p;
  HTMLLabel1->SetCaption(PageTexts[p - 1]);
  const TPageRow& row = PageTable[p - 1];
  btSuivant->SetVisible(row.Suivant == TShown::Yes ||
                        (row.Suivant == TShown::IfAccepted && Acceptation->Checked()));
  btAnnuler->SetCaption(row.AnnulerCaption);
  btAnnuler->SetEnabled(row.AnnulerEnabled);
  btAnnuler->SetVisible(row.Annuler);
  btPrecedant->SetVisible(row.Precedant);
  MemoLicence->SetVisible(row.Memo);
  Acceptation->SetVisible(row.Acceptation);
  Lancer->SetVisible(row.Lancer);
  EditDossier->SetVisible(row.Dossier);
  LabelDossier->SetVisible(row.Dossier);
  ButtonDossier->SetVisible(row.Dossier);

  if (p == 4) RunInstallation();
}

void TForm1::btSuivantClick(ui::TComponent*) { SetPage(std::uint8_t(Page + 1)); }

void TForm1::btPrecedantClick(ui::TComponent*) { SetPage(std::uint8_t(Page - 1)); }

void TForm1::AcceptationClick(ui::TComponent*) { btSuivant->SetVisible(Acceptation->Checked()); }

void TForm1::ButtonDossierClick(ui::TComponent*) {
  const std::string folder = EditDossier->Text();
  if (!FolderExists(folder) && !CreateDirectoryA(folder.c_str(), nullptr))
    throw rtl::EInOutError(int(GetLastError()));

  // The tree starts two levels up: "c:\Morvidan\..\.." is the drive's root.
  char root[MAX_PATH] = {};
  const DWORD n = GetFullPathNameA((folder + "\\..\\..").c_str(), MAX_PATH, root, nullptr);
  TItemList rootList(n > 0 && n < MAX_PATH ? ILCreateFromPathA(root) : nullptr);

  BROWSEINFOA browse{};
  browse.hwndOwner = Handle();
  browse.pidlRoot = rootList.get();
  browse.lpszTitle = BrowseTitle;
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  browse.lpfn = &BrowseCallback;
  browse.lParam = reinterpret_cast<LPARAM>(folder.c_str());
  const TItemList chosen(SHBrowseForFolderA(&browse));
  if (!chosen) return;
  char path[MAX_PATH] = {};
  if (SHGetPathFromIDListA(chosen.get(), path)) EditDossier->SetText(path);
}

void TForm1::btAnnulerClick(ui::TComponent*) {
  if (btAnnuler->Caption() == "Fermer") {
    if (!Lancer->Checked()) return;
    // The outcome is not looked at: the wizard ends whether the application starts or not.
    // The folder of the run, made absolute as it started; the page of a run never reached
    // has none, and the folder typed is used as it stands.
    const std::string folder = InstallFolder.empty() ? EditDossier->Text() : InstallFolder;
    const std::string file = folder + "\\" + kApplicationFile;
    LaunchApplication(Handle(), file, kLaunchArgument, folder);
    ui::Application.Terminate();
    return;
  }
  if (dialogs::ShowMessageBox("Annulation", "Voulez-vous vraiment annuler l'installation ?",
                              "Oui#13Non", 0) == 1)
    ui::Application.Terminate();
}

}  // namespace installer
