#include "dialogs/UAttente.h"

#include <limits>

#include "rtl/SysUtils.h"
#include "ui/Application.h"

namespace dialogs {

namespace {

constexpr const char* DesignedMessage =
    "<P><P><P CENTER>Une importation étant en cours, veuillez patienter quelques instants. "
    "Dès que possible, cette fenêtre se fermera automatiquement, pour poursuivre la suite de "
    "l'importation.";

}  // namespace

std::string FormatByteCount(std::int64_t count) {
  const std::string digits = std::to_string(count);
  NUMBERFMTA format{};
  char decimal[8] = {}, thousand[8] = {}, grouping[16] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof decimal);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousand, sizeof thousand);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, sizeof grouping);
  format.NumDigits = 0;
  format.LeadingZero = 1;  // otherwise a count of 0 comes out empty
  format.Grouping = UINT(grouping[0] ? grouping[0] - '0' : 3);
  format.lpDecimalSep = decimal;
  format.lpThousandSep = thousand;
  format.NegativeOrder = 1;
  char out[64] = {};
  if (!GetNumberFormatA(LOCALE_USER_DEFAULT, 0, digits.c_str(), &format, out, sizeof out))
    return digits;
  return out;
}

TAttente::TAttente(ui::TComponent* owner) : TForm(owner) {
  SetCaption("Attente");
  SetBorderStyle(ui::TFormBorderStyle::bsSizeable);
  SetBorderIcons(ui::biStandard);
  SetClientSize(555, 246);
  SetPosition(ui::TPosition::poScreenCenter);
  SetColor(gfx::clWhite);
  SetFont({.Name = "MS Sans Serif",
           .Height = -11,
           .Color = gfx::clWindowText,
           .Charset = gfx::DEFAULT_CHARSET});

  Label1 = new html::THTMLLabel(this);
  Label1->SetName("Label1");
  Label1->SetBounds(29, 0, 524, 221);
  Label1->SetAnchors(ui::akAll);
  Label1->SetCaption(DesignedMessage);
  Label1->SetParent(this);

  Label2 = new ui::TLabel(this);
  Label2->SetName("Label2");
  Label2->SetAutoSize(false);
  Label2->SetBounds(0, 230, 555, 16);
  Label2->SetAlign(ui::TAlign::alBottom);
  Label2->SetAlignment(ui::TAlignment::taCenter);
  Label2->SetCaption("Ouverture");
  Label2->SetParent(this);

  ProgressBar1 = new ui::TProgressBar(this);
  ProgressBar1->SetName("ProgressBar1");
  ProgressBar1->SetBounds(42, 143, 481, 12);
  ProgressBar1->SetPosition(50);
  ProgressBar1->SetSmooth(true);
  ProgressBar1->SetStep(1);
  ProgressBar1->SetVisible(false);
  ProgressBar1->SetAnchors(ui::akLeft | ui::akTop | ui::akRight);
  ProgressBar1->SetParent(this);

  Label3 = new ui::TLabel(this);
  Label3->SetName("Label3");
  Label3->SetAutoSize(false);
  Label3->SetBounds(42, 155, 481, 13);
  Label3->SetAlignment(ui::TAlignment::taCenter);
  Label3->SetCaption("0 octet");
  Label3->SetVisible(false);
  Label3->SetAnchors(ui::akLeft | ui::akTop | ui::akRight);
  Label3->SetParent(this);

  Label4 = new ui::TLabel(this);
  Label4->SetName("Label4");
  Label4->SetBounds(485, 155, 38, 13);
  Label4->SetAlignment(ui::TAlignment::taRightJustify);
  Label4->SetCaption("? octets");
  Label4->SetVisible(false);
  Label4->SetAnchors(ui::akTop | ui::akRight);
  Label4->SetParent(this);

  OnShow = [this](ui::TComponent* sender) { FormShow(sender); };
}

void TAttente::FormShow(ui::TComponent* /*Sender*/) {}

void TAttente::IdFTP1Work(ui::TComponent* /*Sender*/, TWorkMode /*WorkMode*/,
                          std::int64_t WorkCount) {
  if (WorkCount < std::numeric_limits<std::int32_t>::min() ||
      WorkCount > std::numeric_limits<std::int32_t>::max())
    throw rtl::ERangeError();
  ProgressBar1->SetPosition(int(WorkCount));
  Label3->SetCaption(FormatByteCount(WorkCount) + " octets");
  ui::Application.ProcessMessages();
}

}  // namespace dialogs
