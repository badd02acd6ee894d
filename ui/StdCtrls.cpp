#include "ui/StdCtrls.h"

#include "ui/Forms.h"

namespace ui {

gfx::TSize MeasureText(const gfx::TFontDesc& font, const std::string& text, UINT flags,
                       int width) {
  TMemoryDC dc(CreateCompatibleDC(nullptr));
  TGdiCanvas canvas(dc.Get());
  canvas.Font = font;
  canvas.RequireFont();
  RECT r{0, 0, width, 0};
  DrawTextA(dc.Get(), text.c_str(), int(text.size()), &r, flags | DT_CALCRECT);
  return {r.right, r.bottom};
}

// ---------------------------------------------------------------------------------------------
// TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { FWidth = 65, FHeight = 17; }

UINT TLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0);
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  switch (FAlignment) {
    case TAlignment::taLeftJustify: flags |= DT_LEFT; break;
    case TAlignment::taRightJustify: flags |= DT_RIGHT; break;
    case TAlignment::taCenter: flags |= DT_CENTER; break;
  }
  return flags;
}

void TLabel::AdjustBounds() {
  if (!FAutoSize || Loading()) return;
  // An empty caption still measures one line.
  std::string text = FCaption;
  if (text.empty() || (FShowAccelChar && text == "&")) text += ' ';
  const gfx::TSize size = MeasureText(Font(), text, TextFlags() & ~UINT(DT_CENTER | DT_RIGHT),
                                      FWordWrap ? FWidth : 0);
  int left = FLeft;
  if (FAlignment == TAlignment::taRightJustify) left += FWidth - size.cx;
  SetBounds(left, FTop, FWordWrap ? FWidth : size.cx, size.cy);
}

void TLabel::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::Paint() {
  TGdiCanvas& canvas = Canvas();
  if (!FTransparent) {
    canvas.Brush = {Color(), gfx::TBrushStyle::bsSolid};
    canvas.FillRect(ClientRect());
  }
  canvas.Brush.Style = gfx::TBrushStyle::bsClear;
  canvas.Font = Font();
  RECT r{0, 0, FWidth, FHeight};
  // A disabled label is embossed, as the platform draws disabled text.
  if (!Enabled()) {
    canvas.Font.Color = gfx::clSystemColor | COLOR_BTNHIGHLIGHT;
    canvas.RequireFont();
    canvas.RequireBrush();
    RECT shifted{1, 1, FWidth + 1, FHeight + 1};
    DrawTextA(canvas.Handle(), FCaption.c_str(), int(FCaption.size()), &shifted, TextFlags());
    canvas.Font.Color = gfx::clSystemColor | COLOR_BTNSHADOW;
  }
  canvas.RequireFont();
  canvas.RequireBrush();
  DrawTextA(canvas.Handle(), FCaption.c_str(), int(FCaption.size()), &r, TextFlags());
}

// ---------------------------------------------------------------------------------------------
// TEdit

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  FWidth = 121;
  FHeight = 21;
  SetColor(gfx::clWindow);
}

void TEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "EDIT";
  params.Caption = FText;
  params.Style |= WS_TABSTOP | EditStyle() | (FReadOnly ? ES_READONLY : 0);
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::HandleCreated() { SendMessageA(Handle(), EM_SETREADONLY, FReadOnly, 0); }

std::string TEdit::Text() const {
  if (!HandleAllocated()) return FText;
  std::string text(std::size_t(GetWindowTextLengthA(Handle())) + 1, '\0');
  text.resize(std::size_t(GetWindowTextA(Handle(), text.data(), int(text.size()))));
  return text;
}

void TEdit::SetText(const std::string& text) {
  FText = text;
  if (HandleAllocated()) SetWindowTextA(Handle(), text.c_str());
}

void TEdit::SetReadOnly(bool value) {
  FReadOnly = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, value, 0);
}

void TEdit::Command(WORD code) {
  if (code != EN_CHANGE) return;
  if (HandleAllocated()) FText = Text();
  if (OnChange && !Loading()) OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// TMemo

TMemo::TMemo(TComponent* owner) : TEdit(owner) {
  FWidth = 185;
  FHeight = 89;
}

DWORD TMemo::EditStyle() const { return ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL; }

void TMemo::SetText(const std::string& text) {
  std::string crlf;
  crlf.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) crlf += '\r';
    crlf += text[i];
  }
  TEdit::SetText(crlf);
}

void TMemo::AddLine(const std::string& line) {
  std::string text = Text();
  if (!text.empty() && text.back() != '\n') text += "\r\n";
  SetText(text + line + "\r\n");
}

int TMemo::LineCount() const {
  if (HandleAllocated()) return int(SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0));
  int lines = 1;
  for (char c : FText) lines += c == '\n';
  return lines;
}

// ---------------------------------------------------------------------------------------------
// TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  FWidth = 97;
  FHeight = 17;
}

void TCheckBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.ClassName = "BUTTON";
  params.Caption = FCaption;
  params.Style |= WS_TABSTOP | BS_AUTOCHECKBOX;
}

void TCheckBox::HandleCreated() {
  SendMessageA(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::SetCaption(const std::string& caption) {
  FCaption = caption;
  if (HandleAllocated()) SetWindowTextA(Handle(), caption.c_str());
}

void TCheckBox::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  if (HandleAllocated())
    SendMessageA(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!Loading()) Click();
}

void TCheckBox::Command(WORD code) {
  if (code != BN_CLICKED) return;
  FChecked = SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  Click();
}

}  // namespace ui
