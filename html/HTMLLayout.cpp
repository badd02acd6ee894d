#include "html/HTMLLayout.h"

#include <algorithm>

#include "util/StrUtils.h"

namespace html {

namespace {

// A text switches between a handful of fonts: its body, bold, a heading.
constexpr std::size_t RememberedFonts = 4;

}  // namespace

THTMLLayout::THTMLLayout(gfx::TCanvas& canvas, int x0, int y0, int width, gfx::TColor background)
    : Canvas(canvas), Right(x0 + width), Background(background), PenX(x0), Y(y0), Margin(x0),
      D(0), WordStart(x0) {
  FHeights.reserve(RememberedFonts);
}

namespace {

// The colour does not change the height of a font.
bool SameMetrics(const gfx::TFontDesc& a, const gfx::TFontDesc& b) {
  return a.Height == b.Height && a.Style == b.Style && a.PixelsPerInch == b.PixelsPerInch &&
         a.Charset == b.Charset && a.Name == b.Name;
}

}  // namespace

int THTMLLayout::HeightOfW() {
  if (!FHeights.empty() && SameMetrics(FHeights.back().Font, Canvas.Font))
    return FHeights.back().Height;
  for (std::size_t i = 0; i + 1 < FHeights.size(); ++i)
    if (SameMetrics(FHeights[i].Font, Canvas.Font)) {
      std::rotate(FHeights.begin() + std::ptrdiff_t(i), FHeights.begin() + std::ptrdiff_t(i) + 1,
                  FHeights.end());
      return FHeights.back().Height;
    }
  if (FHeights.size() == RememberedFonts) FHeights.erase(FHeights.begin());
  FHeights.push_back({Canvas.Font, Canvas.TextHeight("W")});
  return FHeights.back().Height;
}

void THTMLLayout::DrawPiece(int x, std::string_view text, int width, int dy) {
  const int top = Y + Baseline - HeightOfW() + dy;
  FInkTop = std::min(FInkTop, top);
  if (FPending.Open && x == FPending.End && top == FPending.Top &&
      Canvas.Brush == FPending.Brush && Canvas.Font == FPending.Font) {
    FPending.Text += text;
    FPending.End = x + width;
    return;
  }
  Flush();
  FPending.Open = true;
  FPending.X = x;
  FPending.Top = top;
  FPending.End = x + width;
  FPending.Text.assign(text);
  FPending.Font = Canvas.Font;
  FPending.Brush = Canvas.Brush;
}

void THTMLLayout::Flush() {
  if (!FPending.Open) return;
  FPending.Open = false;
  // The font or brush may have changed since the text was held back; it is drawn in its own.
  const bool same = Canvas.Font == FPending.Font && Canvas.Brush == FPending.Brush;
  if (same) {
    Canvas.TextOut(FPending.X, FPending.Top, FPending.Text);
    return;
  }
  std::swap(Canvas.Font, FPending.Font);
  std::swap(Canvas.Brush, FPending.Brush);
  Canvas.TextOut(FPending.X, FPending.Top, FPending.Text);
  std::swap(Canvas.Font, FPending.Font);
  std::swap(Canvas.Brush, FPending.Brush);
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
    DrawPiece(PenX + 1, word.str(), size.cx, 1);
    Canvas.Font.Color = color;
  }
  DrawPiece(PenX, word.str(), size.cx);
  PenX += size.cx;
  if (word.str().find(' ') != std::string::npos) WordStart = PenX - 1;
  H = std::max(H, size.cy);
}

// The word that did not fit goes to the next line, and with it the pieces of the same word
// already drawn in other fonts. In "sur [<B>Suivant</B>]" the "]" does not fit: "[" and the
// bold "Suivant" were drawn since the space after "sur", so they are copied to the start of
// the next line and erased where they were, and "]" follows them there.
void THTMLLayout::Wrap() {
  Flush();
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
  Flush();
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

void THTMLLayout::BreakLine() {
  Flush();
  Y += LineAdvance();
  FInkTop = INT_MAX;
  PenX = WordStart = Margin;
}

void THTMLLayout::DrawPlain(std::string_view text) {
  const int width = Canvas.TextWidth(text);
  DrawPiece(PenX, text, width);
  PenX += width;
}

// The rule lies one line advance below the current line, and the next line one more advance
// below it: after a 16-pixel line of text, 32 pixels in all.
void THTMLLayout::DrawRule() {
  Flush();
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
    const gfx::TFontStyles next = plain ? gfx::TFontStyles(0) : gfx::TFontStyles(gfx::fsBold | gfx::fsItalic);
    if (next != Canvas.Font.Style) Flush();
    Canvas.Font.Style = next;
    const std::string_view c = tag.substr(i, 1);
    const int w = Canvas.TextWidth(c);
    if (PastRight(PenX, w, Right)) {
      WordStart = Margin;
      EndLine(PenX);
      PenX = Margin;
    }
    DrawPiece(PenX, c, w);
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
      DrawPiece(PenX, piece, size.cx);
      PenX += size.cx;
      H = std::max(H, size.cy);
    }
    util::TrimSpacesInPlace(run);
    if (!run.empty()) NewLine();
  }
}

}  // namespace html
