#include "html/HTMLLayout.h"

#include <algorithm>

#include "util/StrUtils.h"

namespace html {

THTMLLayout::THTMLLayout(gfx::TCanvas& canvas, int x0, int y0, int width, gfx::TColor background)
    : Canvas(canvas), Right(x0 + width), Background(background), PenX(x0), Y(y0), Margin(x0),
      D(0), WordStart(x0) {}

int THTMLLayout::HeightOfW() {
  if (FHeightOfW < 0 || !(Canvas.Font == FWFont)) {
    FWFont = Canvas.Font;
    FHeightOfW = Canvas.TextHeight("W");
  }
  return FHeightOfW;
}

void THTMLLayout::DrawPiece(int x, std::string_view text, int dy) {
  const int top = Y + Baseline - HeightOfW() + dy;
  Canvas.TextOut(x, top, text);
  FInkTop = std::min(FInkTop, top);
}

// Fit test against the right edge, computed wide so that no width can overflow it.
static bool PastRight(int x, int w, int right) { return static_cast<long long>(x) + w > right; }

void THTMLLayout::LayoutRun(std::string_view run) {
  // A word runs up to and including a space; what follows the last space is the last word.
  std::size_t from = 0;
  while (from < run.size()) {
    const std::size_t space = run.find(' ', from);
    const std::size_t end = space == std::string_view::npos ? run.size() : space + 1;
    LayoutWord(rtl::ShortString(run.substr(from, end - from)));
    from = end;
  }
}

void THTMLLayout::LayoutWord(rtl::ShortString word) {
  DecodeEntities(word);
  const gfx::TSize size = Canvas.TextExtent(word.str());
  if (PastRight(PenX, size.cx, Right) && PenX != Margin) Wrap();
  if (Shadow) {
    const gfx::TColor color = Canvas.Font.Color;
    Canvas.Font.Color = gfx::clBlack;
    DrawPiece(PenX + 1, word.str(), 1);
    Canvas.Font.Color = color;
  }
  DrawPiece(PenX, word.str());
  PenX += size.cx;
  if (word.str().find(' ') != std::string::npos) WordStart = PenX - 1;
  H = std::max(H, size.cy);
}

// The word that did not fit goes to the next line, and with it the pieces of the same word
// already drawn in other fonts. In "sur [<B>Suivant</B>]" the "]" does not fit: "[" and the
// bold "Suivant" were drawn since the space after "sur", so they are copied to the start of
// the next line and erased where they were, and "]" follows them there.
void THTMLLayout::Wrap() {
  const int endX = PenX;
  const bool carry = WordStart > Margin;
  if (carry) {
    // Tall pieces reach above the line top; the band starts where they do, and so does its
    // copy on the next line, which lands below every piece of this line.
    const int above = Y - BandTop();
    const gfx::TRect source{WordStart, Y - above, PenX, Y + H};
    const gfx::TRect dest{Margin, Y + H - above, Margin + (PenX - WordStart), Y + 2 * H};
    Canvas.CopyRect(dest, source);
    Canvas.Pen.Color = Background;
    Canvas.Brush.Color = Background;
    Canvas.Brush.Style = gfx::TBrushStyle::bsSolid;
    Canvas.FillRect(source);
    Canvas.Brush.Style = gfx::TBrushStyle::bsClear;
    const int carriedTop = BandTop() + H;
    EndLine(endX);
    FInkTop = carriedTop;
    PenX = WordStart = Margin + (endX - WordStart);
  } else {
    EndLine(endX);
    PenX = WordStart = Margin;
  }
}

void THTMLLayout::EndLine(int endX) {
  const int advance = LineAdvance();
  const gfx::TRect band{Margin, BandTop(), endX, Y + advance};
  Y += advance;
  H = 0;
  FInkTop = INT_MAX;
  int g;
  switch (Align) {
    case TAlignment::Right: g = Right - endX - 5; break;
    case TAlignment::Center: g = (Right - endX) / 2; break;
    default: return;
  }
  if (band.Width() > 0)
    Canvas.CopyRect({band.Left + g, band.Top, band.Right + g, band.Bottom}, band);
  // The strip the line left behind is repainted; the clear brush after it ends a highlight.
  Canvas.Pen.Color = Background;
  Canvas.Brush.Color = Background;
  Canvas.Brush.Style = gfx::TBrushStyle::bsSolid;
  Canvas.FillRect({Margin, band.Top, Margin + g, band.Bottom});
  Canvas.Brush.Style = gfx::TBrushStyle::bsClear;
}

void THTMLLayout::NewLine() {
  EndLine(PenX);
  PenX = WordStart = Margin;
}

void THTMLLayout::DrawPlain(std::string_view text) {
  DrawPiece(PenX, text);
  PenX += Canvas.TextWidth(text);
}

// The rule lies one line advance below the current line, and the next line one more advance
// below it: after a 16-pixel line of text, 32 pixels in all.
void THTMLLayout::DrawRule() {
  const int advance = LineAdvance();
  PenX = Margin;
  Y += advance;
  Canvas.Pen.Color = gfx::clBlack;
  Canvas.MoveTo(Margin, Y);
  Canvas.LineTo(Right, Y);
  PenX = WordStart = Margin;
  Y += advance;
  H = 0;
  FInkTop = INT_MAX;
}

void THTMLLayout::DrawUnknownTag(std::string_view tag) {
  const gfx::TColor color = Canvas.Font.Color;
  const gfx::TFontStyles style = Canvas.Font.Style;
  Canvas.Font.Color = gfx::clBlack;
  for (std::size_t i = 0; i < tag.size(); ++i) {
    const bool plain = i == 0 || i + 1 == tag.size();
    Canvas.Font.Style = plain ? gfx::TFontStyles(0) : gfx::TFontStyles(gfx::fsBold | gfx::fsItalic);
    const std::string_view c = tag.substr(i, 1);
    const int w = Canvas.TextWidth(c);
    if (PastRight(PenX, w, Right)) {
      WordStart = Margin;
      EndLine(PenX);
      PenX = Margin;
    }
    DrawPiece(PenX, c);
    PenX += w;
  }
  Canvas.Font.Color = color;
  Canvas.Font.Style = style;
}

void THTMLLayout::Indent(int step) {
  if (PenX != Margin) EndLine(PenX);
  Margin += step;
  PenX = WordStart = Margin;
}

// Unlike a run followed by a tag, the last run is cut wherever the band ends, between
// characters if need be, and always takes at least one character on a line of its own, so
// that even a band narrower than one character is filled to the end.
void THTMLLayout::LayoutLastRun(std::string_view text) {
  std::string run(text);
  while (!run.empty()) {
    std::string piece = run.substr(0, 255);
    while (!piece.empty() && PastRight(PenX, Canvas.TextWidth(piece), Right)) piece.pop_back();
    if (piece.empty() && PenX <= Margin) piece = run.substr(0, 1);
    if (piece != run && piece.find(' ') != std::string::npos)
      while (piece.back() != ' ') piece.pop_back();
    run.erase(0, piece.size());
    // Nothing fitted after what the line holds already: the line ends with nothing added.
    if (!piece.empty()) {
      const gfx::TSize size = Canvas.TextExtent(piece);
      DrawPiece(PenX, piece);
      PenX += size.cx;
      H = std::max(H, size.cy);
    }
    util::TrimSpacesInPlace(run);
    if (!run.empty()) NewLine();
  }
}

}  // namespace html
