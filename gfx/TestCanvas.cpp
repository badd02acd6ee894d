#include "gfx/TestCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace gfx {

namespace {

constexpr TColor InvalidColor = 0xFFFFFFFF;  // what the platform answers outside the surface

TRect Normalized(TRect r) {
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}

}  // namespace

TTestCanvas::TTestCanvas(int width, int height, TColor background)
    : FWidth(std::max(width, 0)), FHeight(std::max(height, 0)),
      FPixels(std::size_t(FWidth) * std::size_t(FHeight), background) {}

int TTestCanvas::Em(const TFontDesc& font) {
  if (font.Height == 0) return 12;
  const long long em = std::llabs(static_cast<long long>(font.Height));
  return static_cast<int>(std::min(em, 1000LL));
}

int TTestCanvas::CharWidth(const TFontDesc& font) {
  return std::max(Em(font) / 2, 1) + ((font.Style & fsBold) ? 1 : 0);
}

int TTestCanvas::TextHeightOf(const TFontDesc& font) {
  const int em = Em(font);
  const bool shorter = (font.Style & fsBold) && em % 5 == 0;
  return em + em / 4 - (shorter ? 1 : 0);
}

TTestCanvas::TCall TTestCanvas::MakeCall(TCallKind kind, const TRect& rect, const TRect& source,
                                         std::string_view text) {
  TCall call;
  call.Kind = kind;
  call.Rect = rect;
  call.Source = source;
  call.Text = std::string(text);
  return call;
}

void TTestCanvas::Add(TCall call) {
  call.Font = Font;
  call.Brush = Brush;
  call.Pen = Pen;
  FCalls.push_back(std::move(call));
}

std::vector<TTestCanvas::TCall> TTestCanvas::CallsOf(TCallKind kind) const {
  std::vector<TCall> out;
  for (const TCall& c : FCalls)
    if (c.Kind == kind) out.push_back(c);
  return out;
}

void TTestCanvas::Put(int x, int y, TColor c) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
  FPixels[std::size_t(y) * std::size_t(FWidth) + std::size_t(x)] = c;
}

TColor TTestCanvas::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return InvalidColor;
  return FPixels[std::size_t(y) * std::size_t(FWidth) + std::size_t(x)];
}

// Only the part inside the surface is touched, so huge rectangles cost nothing.
void TTestCanvas::Fill(const TRect& r, TColor c) {
  const int left = std::max(r.Left, 0), right = std::min(r.Right, FWidth);
  const int top = std::max(r.Top, 0), bottom = std::min(r.Bottom, FHeight);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) Put(x, y, c);
}

void TTestCanvas::FillWithBrush(const TRect& r) {
  if (Brush.Style == TBrushStyle::bsClear) return;
  const TColor c = ColorToRGB(Brush.Color);
  if (Brush.Style == TBrushStyle::bsSolid) {
    Fill(r, c);
    return;
  }
  // A diagonal cross hatch with an 8-pixel period; the pixels between the lines keep their
  // colour.
  const int left = std::max(r.Left, 0), right = std::min(r.Right, FWidth);
  const int top = std::max(r.Top, 0), bottom = std::min(r.Bottom, FHeight);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if ((x + y) % 8 == 0 || (x - y + 8 * FHeight) % 8 == 0) Put(x, y, c);
}

void TTestCanvas::TextOut(int x, int y, std::string_view text) {
  const int advance = CharWidth(Font);
  const int height = TextHeightOf(Font);
  const int em = Em(Font);
  const long long width = static_cast<long long>(advance) * static_cast<long long>(text.size());
  const TRect cell{x, y, static_cast<int>(std::min<long long>(x + width, 1 << 30)), y + height};
  if (FRecord) Add(MakeCall(TCallKind::TextOut, cell, {}, text));
  FillWithBrush(cell);
  const TColor ink = ColorToRGB(Font.Color);
  long long cx = x;
  for (char c : text) {
    if (cx > FWidth) break;
    if (c != ' ')
      Fill({static_cast<int>(cx), y + height - em, static_cast<int>(cx) + advance - 1, y + height},
           ink);
    cx += advance;
  }
}

TSize TTestCanvas::TextExtent(std::string_view text) {
  if (FRecord && FRecordExtents) Add(MakeCall(TCallKind::TextExtent, {}, {}, text));
  const long long width = static_cast<long long>(CharWidth(Font)) * static_cast<long long>(text.size());
  return {static_cast<int>(std::min<long long>(width, 1 << 30)), TextHeightOf(Font)};
}

// The end point is not drawn, as on the platform. Straight lines are filled directly (they
// may run far outside the surface); slanted ones follow Bresenham's walk.
void TTestCanvas::Line(TPoint from, TPoint to) {
  if (Pen.Style == TPenStyle::psClear) return;
  const TColor c = ColorToRGB(Pen.Color);
  if (from.Y == to.Y) {
    if (from.X < to.X) Fill({from.X, from.Y, to.X, from.Y + 1}, c);
    else if (from.X > to.X) Fill({to.X + 1, from.Y, from.X + 1, from.Y + 1}, c);
    return;
  }
  if (from.X == to.X) {
    if (from.Y < to.Y) Fill({from.X, from.Y, from.X + 1, to.Y}, c);
    else Fill({from.X, to.Y + 1, from.X + 1, from.Y + 1}, c);
    return;
  }
  long long x = from.X, y = from.Y;
  const long long dx = std::llabs(static_cast<long long>(to.X) - from.X);
  const long long dy = -std::llabs(static_cast<long long>(to.Y) - from.Y);
  const int sx = from.X < to.X ? 1 : -1, sy = from.Y < to.Y ? 1 : -1;
  long long err = dx + dy;
  for (long long steps = 0; (x != to.X || y != to.Y) && steps < (1 << 22); ++steps) {
    Put(static_cast<int>(x), static_cast<int>(y), c);
    const long long e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
}

void TTestCanvas::LineTo(int x, int y) {
  if (FRecord) Add(MakeCall(TCallKind::LineTo, {PenPos.X, PenPos.Y, x, y}));
  Line(PenPos, {x, y});
  PenPos = {x, y};
}

void TTestCanvas::Rectangle(const TRect& r) {
  if (FRecord) Add(MakeCall(TCallKind::Rectangle, r));
  const TRect n = Normalized(r);
  if (n.Width() <= 0 || n.Height() <= 0) return;
  FillWithBrush(n);
  if (Pen.Style == TPenStyle::psClear) return;
  const TColor c = ColorToRGB(Pen.Color);
  Fill({n.Left, n.Top, n.Right, n.Top + 1}, c);
  Fill({n.Left, n.Bottom - 1, n.Right, n.Bottom}, c);
  Fill({n.Left, n.Top, n.Left + 1, n.Bottom}, c);
  Fill({n.Right - 1, n.Top, n.Right, n.Bottom}, c);
}

// An inverted rectangle fills nothing, as on the platform.
void TTestCanvas::FillRect(const TRect& r) {
  if (FRecord) Add(MakeCall(TCallKind::FillRect, r));
  if (r.Width() <= 0 || r.Height() <= 0) return;
  FillWithBrush(r);
}

// Copies through a snapshot, so that overlapping source and destination behave like the
// platform's block transfer; different sizes are stretched by the nearest pixel.
void TTestCanvas::CopyRect(const TRect& dest, const TRect& source) {
  if (FRecord) Add(MakeCall(TCallKind::CopyRect, dest, source));
  const TRect d = Normalized(dest), s = Normalized(source);
  if (d.Width() <= 0 || d.Height() <= 0 || s.Width() <= 0 || s.Height() <= 0) return;
  const int left = std::max(d.Left, 0), right = std::min(d.Right, FWidth);
  const int top = std::max(d.Top, 0), bottom = std::min(d.Bottom, FHeight);
  if (left >= right || top >= bottom) return;
  std::vector<TColor> copy;
  copy.reserve(std::size_t(right - left) * std::size_t(bottom - top));
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const long long sx = s.Left + (static_cast<long long>(x - d.Left) * s.Width()) / d.Width();
      const long long sy = s.Top + (static_cast<long long>(y - d.Top) * s.Height()) / d.Height();
      const bool inside = sx >= 0 && sy >= 0 && sx < FWidth && sy < FHeight;
      copy.push_back(inside ? At(static_cast<int>(sx), static_cast<int>(sy)) : At(x, y));
    }
  std::size_t i = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) Put(x, y, copy[i++]);
}

TColor TTestCanvas::GetPixel(int x, int y) { return At(x, y); }

void TTestCanvas::SetPixel(int x, int y, TColor color) {
  if (FRecord) {
    TCall call = MakeCall(TCallKind::SetPixel, {x, y, x + 1, y + 1});
    call.Color = color;
    Add(std::move(call));
  }
  Put(x, y, ColorToRGB(color));
}

void TTestCanvas::StretchDraw(const TRect& dest, const TGraphic& graphic) {
  if (FRecord) Add(MakeCall(TCallKind::StretchDraw, dest));
  const auto* test = dynamic_cast<const TTestGraphic*>(&graphic);
  Fill(Normalized(dest), test ? test->Color() : clGray);
}

bool TTestCanvas::RectVisible(const TRect& r) {
  const TRect n = Normalized(r);
  return n.Right > 0 && n.Bottom > 0 && n.Left < FWidth && n.Top < FHeight && n.Width() > 0 &&
         n.Height() > 0;
}

// System colours of the classic Windows scheme; the rest are plain grey.
TColor TTestCanvas::ColorToRGB(TColor color) {
  if ((color & 0xFF000000) != clSystemColor) return color & 0x00FFFFFF;
  switch (color & 0xFF) {
    case 5: return clWhite;              // clWindow
    case 8: case 18: return clBlack;     // clWindowText, clBtnText
    case 15: return clSilver;            // clBtnFace
    case 24: return RGB(255, 255, 225);  // clInfoBk
    default: return clGray;
  }
}

bool TTestCanvas::Any(const TRect& r, TColor color) const {
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (At(x, y) == color) return true;
  return false;
}

bool TTestCanvas::AnyOther(const TRect& r, TColor color) const {
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (At(x, y) != color) return true;
  return false;
}

}  // namespace gfx
