#include "html/FieldDrawing.h"

#include <algorithm>

#include "gfx/ColorUtils.h"
#include "util/StrUtils.h"

namespace html {

namespace {

// Puts the canvas font back when it goes out of scope; the brush and pen are left as drawn.
class TFontSaver {
public:
  explicit TFontSaver(gfx::TCanvas& canvas) : FCanvas(canvas), FFont(canvas.Font) {}
  ~TFontSaver() { FCanvas.Font = FFont; }
  TFontSaver(const TFontSaver&) = delete;
  TFontSaver& operator=(const TFontSaver&) = delete;

private:
  gfx::TCanvas& FCanvas;
  gfx::TFontDesc FFont;
};

void SetFieldFont(gfx::TCanvas& canvas) {
  canvas.Font.Name = FieldFontName;
  canvas.Font.Style = 0;
  canvas.Font.Color = gfx::clBlack;
  canvas.Font.SetSize(FieldFontSize);
}

void Line(gfx::TCanvas& canvas, gfx::TColor color, gfx::TPoint from, gfx::TPoint to) {
  canvas.Pen.Color = color;
  canvas.MoveTo(from.X, from.Y);
  canvas.LineTo(to.X, to.Y);
}

// A line through a corner: from, to the corner, to the end (each end excluded).
void Corner(gfx::TCanvas& canvas, gfx::TColor color, gfx::TPoint from, gfx::TPoint corner,
            gfx::TPoint to) {
  Line(canvas, color, from, corner);
  canvas.LineTo(to.X, to.Y);
}

rtl::ShortString WithoutBreaks(std::string_view line) {
  std::string out;
  for (char c : line)
    if (c != '\r' && c != '\n') out += c;
  return out;
}

}  // namespace

TableauDeLignes WrapLines(gfx::TCanvas& canvas, int width, std::string_view text) {
  TableauDeLignes lines;
  if (text.empty() || width < canvas.TextWidth("i")) lines.emplace_back(text);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t cr = text.find('\r', pos);
    const std::size_t end = cr == std::string_view::npos ? text.size() : cr + 1;
    const std::string_view paragraph = text.substr(pos, end - pos);
    pos = end;
    // The candidate line gives up its last character, and then, when it still holds a space,
    // everything after that space, until it fits: "un deux trois" too wide loses "s", then
    // "troi", and is tried again as "un deux ". A single character is kept whatever its width.
    std::size_t start = 0;
    do {
      std::size_t n = paragraph.size() - start;
      while (n > 1 && canvas.TextWidth(paragraph.substr(start, n)) + 6 > width) {
        --n;
        const std::size_t space = paragraph.substr(start, n).rfind(' ');
        if (space != std::string_view::npos) n = space + 1;
      }
      lines.push_back(WithoutBreaks(paragraph.substr(start, n)));
      start += n;
    } while (start < paragraph.size());
  }
  return lines;
}

void DrawFieldBox(gfx::TCanvas& canvas, const gfx::TRect& rect, std::string_view text) {
  TFontSaver saver(canvas);
  SetFieldFont(canvas);
  const int l = rect.Left, t = rect.Top, r = rect.Right, b = rect.Bottom;
  Corner(canvas, gfx::clGray, {l, b}, {l, t}, {r + 1, t});
  Corner(canvas, gfx::clBlack, {l + 1, b - 1}, {l + 1, t + 1}, {r, t + 1});
  Corner(canvas, gfx::clSilver, {l + 1, b}, {r, b}, {r, t});
  canvas.Pen.Color = gfx::clBlack;
  canvas.Brush.Style = gfx::TBrushStyle::bsClear;
  const TableauDeLignes lines = WrapLines(canvas, r - l - 6, text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const long long y = t + 3 + 15LL * static_cast<long long>(i);
    if (y + canvas.TextHeight(lines[i].str()) > b) break;
    canvas.TextOut(l + 3, static_cast<int>(y), lines[i].str());
  }
}

gfx::TRect DrawTagLabel(gfx::TCanvas& canvas, int x, int y, std::string_view text, int size,
                        gfx::TColor background, gfx::TColor textColor, TAnchor anchor) {
  const gfx::TFontDesc font = canvas.Font;
  const gfx::TBrushDesc brush = canvas.Brush;
  const int penWidth = canvas.Pen.Width;
  canvas.Font.Name = "Tahoma";
  canvas.Font.Style = 0;
  canvas.Font.SetSize(size);
  canvas.Font.Color = textColor;
  canvas.Brush = {background, gfx::TBrushStyle::bsSolid};
  canvas.Pen.Width = 0;

  std::string all(text);
  util::ReplaceAll("#13", "\r", all, true);
  // Lines end at carriage returns; a break at the very end opens no line.
  std::vector<std::string> lines;
  for (std::size_t pos = 0; pos < all.size();) {
    const std::size_t cr = all.find('\r', pos);
    const std::size_t end = cr == std::string::npos ? all.size() : cr;
    lines.push_back(all.substr(pos, end - pos));
    pos = end + 1;
  }
  int w = 0, h = 6;
  std::vector<int> heights;
  for (const std::string& line : lines) {
    const gfx::TSize extent = canvas.TextExtent(util::TrimSpaces(line));
    w = std::max(w, extent.cx);
    h += extent.cy;
    heights.push_back(extent.cy);
  }
  w += 6;
  if (anchor == TAnchor::Right) x -= w;
  if (anchor == TAnchor::Center) x -= w / 2;

  const gfx::TColor shadow = gfx::BlendColors(0x808080, gfx::clBlack, 0.5);
  gfx::ShadeArea(canvas, x + 3, y + 3, x + 3 + w, y + 3 + h, shadow, false);
  canvas.Rectangle({x, y, x + w, y + h});
  Corner(canvas, gfx::clSilver, {x, y + h - 1}, {x, y}, {x + w - 1, y});
  Corner(canvas, gfx::clBlack, {x, y + h - 1}, {x + w - 1, y + h - 1}, {x + w - 1, y});
  int lineY = y + 3;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    canvas.TextOut(x + 3, lineY, lines[i]);
    lineY += heights[i];
  }

  canvas.Font = font;
  canvas.Brush = brush;
  canvas.Pen.Width = penWidth;
  return {x, y, x + w + 5, y + h + 5};
}

}  // namespace html
