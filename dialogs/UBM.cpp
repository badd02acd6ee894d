#include "dialogs/UBM.h"

#include <memory>
#include <vector>

#include "dialogs/MessageBoxRules.h"
#include "html/DrawHTML.h"
#include "rtl/SysUtils.h"
#include "ui/Application.h"
#include "ui/Buttons.h"

namespace dialogs {

TFMB* FMB = nullptr;

namespace {

// The box as designed; every call recomputes the client height.
constexpr int kDesignedLeft = 556, kDesignedTop = 265;
constexpr int kDesignedClientWidth = 481, kDesignedClientHeight = 425;
// Every call puts the box this far from the top of the screen before it centres it.
constexpr int kCallTop = 106;

bool IsFile(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A form that the box took the stay-on-top style from, and must give it back to.
struct TLoweredForm {
  ui::TForm* Form;
  std::weak_ptr<void> Alive;
};

}  // namespace

TFMB::TFMB(ui::TComponent* owner) : TForm(owner) {
  SetBorderStyle(ui::TFormBorderStyle::bsSingle);
  SetBounds(kDesignedLeft, kDesignedTop, Width(), Height());
  SetClientSize(kDesignedClientWidth, kDesignedClientHeight);
  SetColor(gfx::clWhite);
  SetFont(
      {.Name = "Tahoma", .Height = -13, .Color = gfx::clWindowText, .Charset = gfx::ANSI_CHARSET});

  Gradient1 = new TGradient(this);
  Gradient1->SetName("Gradient1");
  Gradient1->SetBounds(464, 404, 24, 22);
  Gradient1->SetAnchors(ui::akRight | ui::akBottom);
  Gradient1->SetColorEnd(gfx::clAppWorkSpace);
  Gradient1->SetStyle(gsDiagonalRF);
  Gradient1->SetVisible(false);
  Gradient1->SetParent(this);
  Gradient1->OnMouseDown = [this](ui::TComponent* sender, ui::TMouseButton button,
                                  ui::TShiftState shift, int x,
                                  int y) { Gradient1MouseDown(sender, button, shift, x, y); };
  Gradient1->OnMouseMove = [this](ui::TComponent* sender, ui::TShiftState shift, int x, int y) {
    MouseMove(sender, shift, x, y);
  };
  Gradient1->OnMouseUp = [this](ui::TComponent* sender, ui::TMouseButton button,
                                ui::TShiftState shift, int x,
                                int y) { MouseUp(sender, button, shift, x, y); };

  LeMessage = new html::THTMLLabel(this);
  LeMessage->SetName("LeMessage");
  LeMessage->SetBounds(53, 26, 355, 34);
  LeMessage->SetAutoSize(true);
  LeMessage->SetParent(this);

  OnCreate = [this](ui::TComponent* sender) { FormCreate(sender); };
  OnShow = [this](ui::TComponent* sender) { FormShow(sender); };
  OnResize = [this](ui::TComponent* sender) { FormResize(sender); };
  OnActivate = [this](ui::TComponent* sender) { FormActivate(sender); };
  OnKeyDown = [this](ui::TComponent* sender, std::uint16_t& key, ui::TShiftState shift) {
    FormKeyDown(sender, key, shift);
  };
  OnKeyPress = [this](ui::TComponent* sender, char& key) { FormKeyPress(sender, key); };
  OnMouseMove = [this](ui::TComponent* sender, ui::TShiftState shift, int x, int y) {
    MouseMove(sender, shift, x, y);
  };
  OnMouseUp = [this](ui::TComponent* sender, ui::TMouseButton button, ui::TShiftState shift, int x,
                     int y) { MouseUp(sender, button, shift, x, y); };
}

TFMB::~TFMB() {
  if (FMB == this) FMB = nullptr;
}

int TFMB::Execute(const std::string& title, const std::string& message, const std::string& buttons,
                  gfx::TColor color) {
  SetTop(kCallTop);
  const gfx::TColor designedColor = Color();
  if (color != 0) SetColor(color);
  SetCaption(title);

  // The message is measured on the window's own surface while the window is hidden: the
  // buttons go below the height that DrawHTML reports.
  const std::string markup = MessageMarkup(message);
  LeMessage->SetCaption(markup);
  const int messageWidth = ClientWidth() - 2 * kBoxMargin;
  LeMessage->SetBounds(kBoxMargin, kBoxMessageTop, messageWidth, LeMessage->Height());
  LeMessage->SetHeight(
      html::DrawHTML(Canvas(), kBoxMargin, kBoxMessageTop, messageWidth, markup, gfx::clWhite));

  // Whatever happens from here on, the buttons of this call go, the lowered forms are on top
  // again and the colour is the designed one.
  std::vector<TLoweredForm> lowered;
  struct TCleanUp {
    TFMB& Box;
    std::vector<TLoweredForm>& Lowered;
    bool ColorChanged;
    gfx::TColor DesignedColor;
    ~TCleanUp() {
      for (const TLoweredForm& f : Lowered)
        if (!f.Alive.expired()) f.Form->SetFormStyle(ui::TFormStyle::fsStayOnTop);
      for (int i = Box.ComponentCount() - 1; i >= 0; --i)
        if (auto* button = dynamic_cast<ui::TSpeedButton*>(Box.Components(i))) delete button;
      if (ColorChanged) Box.SetColor(DesignedColor);
    }
  } cleanUp{*this, lowered, color != 0, designedColor};

  const TBoxLayout layout = PlanButtons(buttons, Width(), LeMessage->Height());
  FKeys = layout.Keys;
  for (std::size_t i = 0; i < layout.Buttons.size(); ++i) {
    const TBoxButton& planned = layout.Buttons[i];
    auto* button = new ui::TSpeedButton(this);
    button->SetCaption(planned.Caption);
    button->SetName("B" + std::to_string(i + 1));
    button->SetBounds(planned.Left, planned.Top, kBoxButtonWidth, kBoxButtonHeight);
    button->OnClick = [this](ui::TComponent* sender) { LesSpeedButtonsClick(sender); };
    button->SetParent(this);
    const std::string glyphFile = planned.GlyphName + ".BMP";
    if (IsFile(glyphFile)) {
      // A file that is there but is no bitmap only means no glyph, as a missing one does:
      // the question still has to be asked.
      try {
        ui::TBitmap glyph;
        glyph.LoadFromFile(glyphFile);
        button->SetGlyph(glyph);
      } catch (const rtl::Exception&) {
      }
    }
  }
  SetClientHeight(layout.ClientHeight);
  FResult = 0;
  Invalidate();

  for (int i = 0; i < ui::Application.ComponentCount(); ++i) {
    auto* form = dynamic_cast<ui::TForm*>(ui::Application.Components(i));
    if (form && form->Visible() && form->FormStyle() == ui::TFormStyle::fsStayOnTop) {
      form->SetFormStyle(ui::TFormStyle::fsNormal);
      lowered.push_back({form, form->AliveToken()});
    }
  }

  Show();
  Hide();
  if (ui::TForm* main = ui::Application.MainForm()) {
    SetLeft(main->Width() < Width() ? main->Left() : main->Left() + (main->Width() - Width()) / 2);
    SetTop(main->Height() < Height() ? main->Top() : main->Top() + (main->Height() - Height()) / 2);
  }

  ShowModal();
  return FResult;
}

void TFMB::Answer(int result) {
  FResult = result;
  SetModalResult(ui::mrOk);
}

void TFMB::LesSpeedButtonsClick(ui::TComponent* sender) {
  Answer(rtl::StrToInt(sender->Name().substr(1)));
}

void TFMB::FormKeyDown(ui::TComponent*, std::uint16_t& key, ui::TShiftState) {
  if (key == VK_RETURN) Answer(1);
  if (key == VK_ESCAPE) Answer(0);
}

void TFMB::FormKeyPress(ui::TComponent*, char& key) {
  FResult = KeyAnswer(FKeys, key);
  if (FResult != 0) SetModalResult(ui::mrOk);
}

void TFMB::FormShow(ui::TComponent*) {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* button = dynamic_cast<ui::TSpeedButton*>(Controls(i)))
      button->SetAnchors(ui::akLeft | ui::akBottom);
}

void TFMB::FormResize(ui::TComponent*) {
  Invalidate();
}

void TFMB::FormActivate(ui::TComponent*) {
  Invalidate();
}

void TFMB::FormCreate(ui::TComponent*) {
  FDownX = 0;
  FDownY = 0;
}

void TFMB::Gradient1MouseDown(ui::TComponent*, ui::TMouseButton, ui::TShiftState, int x, int y) {
  FDownX = x;
  FDownY = y;
}

void TFMB::MouseMove(ui::TComponent*, ui::TShiftState, int x, int y) {
  if (FDownX == 0) return;
  SetBounds(Left(), Top(), Width() + x - FDownX, Height() + y - FDownY);
  FDownX = x;
  FDownY = y;
}

void TFMB::MouseUp(ui::TComponent*, ui::TMouseButton, ui::TShiftState, int, int) {
  FDownX = 0;
  FDownY = 0;
}

void CreateMessageBoxWindow() {
  if (!FMB) FMB = ui::CreateForm<TFMB>(&ui::Application);
}

int ShowMessageBox(const std::string& title, const std::string& message, const std::string& buttons,
                   gfx::TColor color) {
  CreateMessageBoxWindow();
  return FMB->Execute(title, message, buttons, color);
}

}  // namespace dialogs
