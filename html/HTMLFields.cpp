#include "html/HTMLFields.h"

#include <algorithm>
#include <string>

#include "html/FieldDrawing.h"
#include "html/HTMLMarkup.h"
#include "html/HTMLPictures.h"
#include "rtl/SysUtils.h"
#include "util/StrUtils.h"

namespace html {

namespace {

// Sizes written in a tag are taken as they come, but no field grows beyond this many pixels:
// past it the figures would only overflow the arithmetic of the lines.
constexpr long long SizeLimit = 1 << 16;

int Bounded(long long v) { return static_cast<int>(std::clamp(v, -SizeLimit, SizeLimit)); }

enum TFieldKind {
  fkHidden, fkText, fkInt, fkFloat, fkDate, fkFile, fkPassword, fkImage, fkCheckbox, fkRadio,
  fkReset, fkSubmit
};
constexpr const char* KindNames[] = {"hidden", "text",  "int",      "float", "date",  "file",
                                     "password", "image", "checkbox", "radio", "reset", "submit"};

// The tick pictures, looked up in the current folder.
constexpr const char* BoxChecked = "coch\xE9.jpg";       // "coché.jpg"
constexpr const char* BoxUnchecked = "noncoch\xE9.jpg";  // "noncoché.jpg"
constexpr const char* RadioChecked = "checked.jpg";
constexpr const char* RadioUnchecked = "unchecked.jpg";

constexpr gfx::TColor NameLabelText = gfx::clPurple, NameLabelBack = 0xE1FFFF;  // pale yellow
constexpr gfx::TColor TypeLabelText = gfx::clWhite, TypeLabelBack = gfx::clRed;
constexpr int LabelSize = 6;
constexpr int FieldHeight = 23;  // the line height a text field needs

int Width(const gfx::TGraphic* picture) { return picture ? picture->Width() : 0; }
int Height(const gfx::TGraphic* picture) { return picture ? picture->Height() : 0; }

void DrawTextField(THTMLLayout& L, int size, const std::string& name, const std::string& value,
                   const std::string& type) {
  const int w = Bounded(size * 8LL + 5);
  if (L.PenX > L.Margin && static_cast<long long>(L.PenX) + w > L.Right) {
    L.BreakLine();
    L.H = FieldHeight;
  }
  L.H = std::max(L.H, FieldHeight);
  DrawFieldBox(L.Canvas, {L.PenX, L.Y, L.PenX + w, L.Y + 21}, value);
  DrawTagLabel(L.Canvas, L.PenX + w - 7, L.Y - 1, name, LabelSize, NameLabelBack, NameLabelText,
               TAnchor::Right);
  DrawTagLabel(L.Canvas, L.PenX + 4, L.Y - 3, type, LabelSize, TypeLabelBack, TypeLabelText,
               TAnchor::Left);
  L.NoteInk(L.Y - 3);
  L.PenX += w + 4;
  if (L.PenX > L.Right) {
    L.BreakLine();
    L.H = 0;
  }
}

void DrawPictureField(THTMLLayout& L, TFieldKind kind, bool checked, const std::string& src) {
  std::string file = src;
  if (kind == fkCheckbox) file = checked ? BoxChecked : BoxUnchecked;
  if (kind == fkRadio) file = checked ? RadioChecked : RadioUnchecked;
  const gfx::TGraphic* picture = LoadPicture(file);
  const int top = kind == fkImage ? L.Y : L.Y + L.H / 2 - 6;
  const gfx::TRect rect{L.PenX + 3, top, L.PenX + Width(picture) + 3, top + Height(picture)};
  if (picture) DrawPicture(L.Canvas, rect, *picture);
  L.NoteInk(top);
  L.H = std::max(L.H, Height(picture));
  L.PenX = rect.Right + 5;
}

// A raised button 20 pixels wider than its caption.
void DrawButton(THTMLLayout& L, const std::string& value) {
  gfx::TCanvas& c = L.Canvas;
  const gfx::TFontDesc font = c.Font;
  c.Font.Name = FieldFontName;
  c.Font.Style = 0;
  c.Font.Color = gfx::clBlack;
  c.Font.SetSize(FieldFontSize);
  const int x = L.PenX, y = L.Y;
  const int w = c.TextWidth(value) + 20;
  c.Pen.Color = gfx::clBtnFace;
  c.Brush = {gfx::clBtnFace, gfx::TBrushStyle::bsSolid};
  c.Rectangle({x + 1, y + 2, x + w - 2, y + 22});
  c.Pen.Color = gfx::clGray;
  c.MoveTo(x + 1, y + 22);
  c.LineTo(x + w - 2, y + 22);
  c.LineTo(x + w - 2, y + 1);
  c.Pen.Color = gfx::clBlack;
  c.MoveTo(x, y + 23);
  c.LineTo(x + w - 1, y + 23);
  c.LineTo(x + w - 1, y);
  c.Brush.Style = gfx::TBrushStyle::bsClear;
  c.TextOut(x + 10, y + 18 - L.HeightOfW(), value);
  c.Font = font;
  L.PenX += w + 4;
}

}  // namespace

void DrawImageTag(THTMLLayout& L, std::string_view t) {
  TAttributeText attrs = TAttributeText::Prepared(t, 4);
  std::string src, width;
  bool hasSrc = false, hasWidth = false;
  while (!attrs.Empty()) {
    if (attrs.TakeName("SRC=")) {
      // Every source is read as the JPEG file of the same base name.
      src = attrs.FileNameValue().str() + ".jpg";
      hasSrc = true;
    } else if (attrs.TakeName("WIDTH=")) {
      width = attrs.AutoQuotedValue().str();
      hasWidth = true;
    } else {
      attrs.SkipUnknown();
    }
    attrs.Trim();
  }
  TPictureSource* source = PictureSource();
  if (!hasSrc || !source || !source->FileExists(src)) return;
  L.Flush();
  const gfx::TGraphic* picture = LoadPicture(src);
  const long long pw = Width(picture), ph = Height(picture);
  long long right, bottom;
  if (!hasWidth) {
    right = pw;
    bottom = ph + 10;
  } else if (width.find('%') != std::string::npos) {
    width.erase(std::remove(width.begin(), width.end(), '%'), width.end());
    const long long p = rtl::StrToInt(width);
    right = rtl::Round(double(pw) * double(p) / 100.0);
    bottom = rtl::Round(double(ph) * double(p) / 100.0);
  } else {
    const long long w = rtl::StrToInt(width);
    right = w;
    // An empty picture has no proportions to keep.
    bottom = pw == 0 ? 0 : rtl::Round(double(ph) * double(w) / double(pw));
  }
  // The box starts 10 pixels down but ends at the scaled height: a picture given a WIDTH is
  // drawn 10 pixels shorter than scaled.
  const gfx::TRect rect{L.PenX, L.Y + 10, L.PenX + Bounded(right), L.Y + Bounded(bottom)};
  if (picture) DrawPicture(L.Canvas, rect, *picture);
  L.H = std::max(L.H, rect.Height());
  L.PenX = rect.Right + 1;
}

// The text that follows the tag, up to its closing "</TEXTAREA>" (and at most 500
// characters), is shown in the box; scanning goes on after the closing tag, and the text
// after it starts at the left margin on the line below the box.
void DrawTextAreaTag(THTMLLayout& L, std::string_view t, std::string_view text,
                     std::size_t& index) {
  TAttributeText attrs = TAttributeText::Prepared(t, 9);
  long long rows = 3, cols = 40;
  while (!attrs.Empty()) {
    if (attrs.TakeName("NAME=")) attrs.FileNameValue();
    else if (attrs.TakeName("VALUE=")) attrs.QuotedValue();  // the content stands for it
    else if (attrs.TakeName("ROWS=")) rows = rtl::StrToInt(attrs.AutoQuotedValue().str());
    else if (attrs.TakeName("COLS=")) cols = rtl::StrToInt(attrs.AutoQuotedValue().str());
    else attrs.SkipUnknown();
    attrs.Trim();
  }
  L.Flush();
  const int boxHeight = Bounded(rows * 16 + 5);
  const gfx::TRect box{L.PenX, L.Y, L.PenX + Bounded(cols * 8 + 20), L.Y + boxHeight};
  L.H = std::max(L.H, boxHeight);

  constexpr std::string_view Closing = "</TEXTAREA>";
  std::string_view content = text.substr(std::min(index, text.size()), 500);
  const std::size_t end = util::UpperNoAccent(std::string(content)).find(Closing);
  if (end != std::string::npos) {
    content = content.substr(0, end);
    index += end + Closing.size();
  } else {
    index += content.size();
  }
  DrawFieldBox(L.Canvas, box, content);
  L.EndLine(box.Right);
  L.PenX = L.WordStart = L.Margin;
}

void DrawInputTag(THTMLLayout& L, std::string_view t) {
  // The attributes are read from the whole tag, its ">" included: a TYPE written last reads
  // "text>" and names no kind, a SIZE written last is no number.
  TAttributeText attrs(t);
  const bool checked = attrs.RemoveWord("CHECKED");
  attrs.CollapseEquals();
  attrs.Trim();
  TFieldKind kind = fkText;
  long long size = 20;
  std::string name, value, src, type;
  while (!attrs.Empty()) {
    if (attrs.TakeName("NAME=")) {
      name = attrs.FileNameValue().str();
    } else if (attrs.TakeName("VALUE=")) {
      value = attrs.QuotedValue().str();
    } else if (attrs.TakeName("SRC=")) {
      src = attrs.QuotedValue().str();
    } else if (attrs.TakeName("TYPE=")) {
      type = util::LowerAscii(attrs.UpToSpaceValue()).str();
      for (int k = fkHidden; k <= fkSubmit; ++k)
        if (type == KindNames[k]) kind = TFieldKind(k);
    } else if (attrs.TakeName("SIZE=")) {
      size = rtl::StrToInt(attrs.AutoQuotedValue().str());
    } else if (attrs.TakeName("MAXLENGTH=")) {
      rtl::StrToInt(attrs.AutoQuotedValue().str());
    } else {
      attrs.SkipUnknown();
    }
    attrs.Trim();
  }
  L.Flush();
  switch (kind) {
    case fkImage:
    case fkCheckbox:
    case fkRadio: DrawPictureField(L, kind, checked, src); break;
    case fkReset:
    case fkSubmit: DrawButton(L, value); break;
    default: DrawTextField(L, int(std::clamp(size, -SizeLimit, SizeLimit)), name, value, type);
  }
}

}  // namespace html
