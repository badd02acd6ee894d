// Standard controls: the drawn label, and the edit, memo and check box child windows.
#pragma once

#include <string>

#include "ui/Controls.h"

namespace ui {

enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// A windowless text label. With AutoSize (the default) it takes the size of its text; a
// right-aligned one keeps its right edge. Opaque unless Transparent: it then fills its area
// with its colour, the parent's unless set. "&" underlines the next character ("&&" is "&").
class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* owner);

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);

protected:
  void Paint() override;
  void FontChanged() override;
  void Loaded() override { AdjustBounds(); }

private:
  UINT TextFlags() const;
  void AdjustBounds();

  std::string FCaption;
  TAlignment FAlignment = TAlignment::taLeftJustify;
  bool FAutoSize = true;
  bool FTransparent = false;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
};

// A one-line text box.
class TEdit : public TWinControl {
public:
  explicit TEdit(TComponent* owner);

  std::string Text() const;
  void SetText(const std::string& text);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void Command(WORD code) override;
  virtual DWORD EditStyle() const { return ES_AUTOHSCROLL; }

  std::string FText;
  bool FReadOnly = false;
};

// A multi-line text box with a vertical scroll bar; lines are wrapped at its width.
class TMemo : public TEdit {
public:
  explicit TMemo(TComponent* owner);

  // Lines end with CR LF; a text with bare line feeds is shown line by line all the same.
  void SetText(const std::string& text);
  void AddLine(const std::string& line);
  int LineCount() const;

protected:
  DWORD EditStyle() const override;
};

// A check box child window; OnClick follows every change of Checked, by the user or not.
class TCheckBox : public TWinControl {
public:
  explicit TCheckBox(TComponent* owner);

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);

protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void Command(WORD code) override;

private:
  std::string FCaption;
  bool FChecked = false;
};

// Measures a text with DrawText flags in a font, in a band of the given width.
gfx::TSize MeasureText(const gfx::TFontDesc& font, const std::string& text, UINT flags,
                       int width);

}  // namespace ui
