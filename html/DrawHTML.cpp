#include "html/DrawHTML.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "html/HTMLFields.h"
#include "html/HTMLLayout.h"
#include "html/HTMLMarkup.h"
#include "util/StrUtils.h"

namespace html {

namespace {

// Every call starts in this font; the style the canvas font had stays.
constexpr const char* BaseFontName = "Tahoma";
constexpr int BaseFontSize = 10;

// FONT and heading tags save the font here; their closing tags take back whatever was saved
// last, without matching tag names.
struct TSavedFont {
  std::string Name;
  std::int32_t Size;
  gfx::TColor Color;
  gfx::TFontStyles Style;
};

class TRenderer {
public:
  TRenderer(gfx::TCanvas& canvas, int x0, int y0, int width, std::string_view text,
            gfx::TColor background)
      : FLayout(canvas, x0, y0, width, background), FCanvas(canvas), FText(text) {}

  int Run();
  void Flush() { FLayout.Flush(); }

private:
  void Dispatch(const rtl::ShortString& tag);
  void Push();
  void Pop();
  void Bold();
  void EndBold();

  THTMLLayout FLayout;
  gfx::TCanvas& FCanvas;
  std::string_view FText;
  std::size_t FIndex = 0;
  std::vector<TSavedFont> FStack;
};

int TRenderer::Run() {
  FLayout.D = FLayout.HeightOfW();
  FCanvas.Font.Name = BaseFontName;
  FCanvas.Font.SetSize(BaseFontSize);
  FCanvas.Font.Color = gfx::clBlack;
  FCanvas.Brush.Style = gfx::TBrushStyle::bsClear;

  std::size_t runStart = 0;
  while (FIndex < FText.size()) {
    // Everything up to the next "<" belongs to the pending run.
    FIndex = std::min(FText.find('<', FIndex), FText.size());
    if (FIndex == FText.size()) break;
    if (FIndex > runStart) FLayout.LayoutRun(FText.substr(runStart, FIndex - runStart));
    rtl::ShortString tag = ReadTag(FText, FIndex);
    const rtl::ShortString stray = SplitStrayText(tag);
    if (!stray.empty()) FLayout.DrawPlain(stray.str());
    Dispatch(tag);
    runStart = FIndex;
  }
  if (runStart < FText.size()) FLayout.LayoutLastRun(FText.substr(runStart));
  FLayout.EndLine(FLayout.PenX);
  return FLayout.Y + 20;
}

void TRenderer::Push() {
  const gfx::TFontDesc& f = FCanvas.Font;
  FStack.push_back({rtl::ShortString(f.Name).str(), f.Size(), f.Color, f.Style});
}

void TRenderer::Pop() {
  if (FStack.empty()) return;
  const TSavedFont& s = FStack.back();
  FCanvas.Font.Name = s.Name;
  FCanvas.Font.Style = s.Style;
  FCanvas.Font.Color = s.Color;
  FCanvas.Font.SetSize(s.Size);
  FStack.pop_back();
}

// A bold font may come out shorter than the regular one; it is then made one point larger,
// and "</B>" undoes that by the same test the other way round.
void TRenderer::Bold() {
  gfx::TFontDesc& font = FCanvas.Font;
  if (font.Style & gfx::fsBold) return;
  const int before = FLayout.HeightOfW();
  font.Style |= gfx::fsBold;
  if (FLayout.HeightOfW() < before) font.SetSize(font.Size() + 1);
  FLayout.PenX += 1;
}

void TRenderer::EndBold() {
  gfx::TFontDesc& font = FCanvas.Font;
  if (!(font.Style & gfx::fsBold)) return;
  const int before = FLayout.HeightOfW();
  font.Style &= gfx::TFontStyles(~gfx::fsBold);
  if (FLayout.HeightOfW() > before) font.SetSize(font.Size() - 1);
}

void TRenderer::Dispatch(const rtl::ShortString& tag) {
  // Text held back is drawn before a tag changes the font: drawn later, it would need its
  // own font selected once more.
  FLayout.Flush();
  const rtl::ShortString t = NormalizeTag(tag);
  const std::string u = util::UpperNoAccent(t.str());
  gfx::TFontDesc& font = FCanvas.Font;
  THTMLLayout& L = FLayout;
  switch (ClassifyTag(t.str(), u)) {
    case TTagKind::Font:
      Push();
      ApplyFontAttributes(t.str(), font);
      break;
    case TTagKind::EndFont:
    case TTagKind::EndHeading: Pop(); break;
    case TTagKind::Image: DrawImageTag(L, t.str()); break;
    case TTagKind::Rule: L.DrawRule(); break;
    case TTagKind::Heading:
      Push();
      font.SetSize(HeadingSize(t.str()));
      font.Style = gfx::fsBold;
      break;
    case TTagKind::Big: font.SetSize(font.Size() + 1); break;
    case TTagKind::EndBig: font.SetSize(font.Size() - 1); break;
    case TTagKind::Indent: L.Indent(font.PixelsPerInch / 3); break;
    case TTagKind::Outdent: L.Indent(-(font.PixelsPerInch / 3)); break;
    case TTagKind::Paragraph:
      // Even an empty line ends, so a row of "<P>" pushes the text down one line each.
      L.EndLine(L.PenX);
      L.Align = ParagraphAlignment(u, L.Align);
      L.PenX = L.WordStart = L.Margin;
      break;
    case TTagKind::Bold: Bold(); break;
    case TTagKind::EndBold: EndBold(); break;
    case TTagKind::Italic:
      if (!(font.Style & gfx::fsItalic)) {
        font.Style |= gfx::fsItalic;
        L.PenX -= 1;
      }
      break;
    case TTagKind::EndItalic:
      if (font.Style & gfx::fsItalic) {
        font.Style &= gfx::TFontStyles(~gfx::fsItalic);
        L.PenX += 1;
      }
      break;
    case TTagKind::Underline: font.Style |= gfx::fsUnderline; break;
    case TTagKind::EndUnderline:
      font.Style &= gfx::TFontStyles(~gfx::fsUnderline);
      L.PenX += 1;
      break;
    case TTagKind::Shadow: L.Shadow = true; break;
    case TTagKind::EndShadow: L.Shadow = false; break;
    case TTagKind::Highlight: {
      gfx::TColor color;
      if (HighlightColor(t.str(), color)) {
        FCanvas.Brush.Color = color;
        FCanvas.Brush.Style = gfx::TBrushStyle::bsSolid;
      }
      break;
    }
    case TTagKind::EndHighlight: FCanvas.Brush.Style = gfx::TBrushStyle::bsClear; break;
    case TTagKind::TextArea: DrawTextAreaTag(L, t.str(), FText, FIndex); break;
    case TTagKind::Input: DrawInputTag(L, t.str()); break;
    case TTagKind::Ignored: break;
    case TTagKind::Unknown: L.DrawUnknownTag(t.str()); break;
  }
}

}  // namespace

int DrawHTML(gfx::TCanvas& canvas, int x0, int y0, int width, std::string_view text,
             gfx::TColor background) {
  // Restored on a normal return only: after an error the canvas keeps the font and brush
  // of the point where the text went wrong.
  const gfx::TFontDesc font = canvas.Font;
  const gfx::TBrushDesc brush = canvas.Brush;
  const gfx::TPenDesc pen = canvas.Pen;
  TRenderer renderer(canvas, x0, y0, width, text, background);
  int result;
  try {
    result = renderer.Run();
  } catch (...) {
    // What was laid out before the error is on the canvas, in its own font.
    renderer.Flush();
    throw;
  }
  canvas.Font = font;
  canvas.Brush = brush;
  canvas.Pen = pen;
  return result;
}

}  // namespace html
