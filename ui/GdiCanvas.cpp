#include "ui/GdiCanvas.h"

#include <algorithm>

#include "rtl/SysUtils.h"
#include "ui/Win32.h"

namespace ui {

namespace {

constexpr std::size_t MaxCachedFonts = 8;

// Two descriptions give the same GDI font when everything but the colour agrees: the colour
// is the DC's text colour, not part of the font.
bool SameFont(const gfx::TFontDesc& a, const gfx::TFontDesc& b) {
  return a.Height == b.Height && a.Style == b.Style && a.Charset == b.Charset && a.Name == b.Name;
}

RECT ToRECT(const gfx::TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// The quality that DEFAULT_QUALITY stands for under the system's font smoothing, named
// explicitly: Wine looks the smoothing setting up again on every selection of a default-
// quality font, which made each font change of the renderer ten times dearer. ClearType keeps
// the default quality, whose rendering depends on more settings than the two read here.
BYTE DefaultFontQuality() {
  static const BYTE quality = [] {
    BOOL smoothing = TRUE;
    UINT type = 0;
    SystemParametersInfoA(SPI_GETFONTSMOOTHING, 0, &smoothing, 0);
    SystemParametersInfoA(SPI_GETFONTSMOOTHINGTYPE, 0, &type, 0);
    if (!smoothing) return BYTE(NONANTIALIASED_QUALITY);
    return BYTE(type == FE_FONTSMOOTHINGSTANDARD ? ANTIALIASED_QUALITY : DEFAULT_QUALITY);
  }();
  return quality;
}

}  // namespace

gfx::TColor ColorToRGB(gfx::TColor color) {
  if ((color & 0xFF000000) == gfx::clSystemColor) return GetSysColor(int(color & 0xFF));
  return color;
}

LOGFONTA LogFontOf(const gfx::TFontDesc& desc) {
  LOGFONTA lf{};
  lf.lfHeight = desc.Height;
  lf.lfWeight = (desc.Style & gfx::fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (desc.Style & gfx::fsItalic) ? 1 : 0;
  lf.lfUnderline = (desc.Style & gfx::fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (desc.Style & gfx::fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = desc.Charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DefaultFontQuality();
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  const std::size_t n = std::min(desc.Name.size(), std::size_t(LF_FACESIZE - 1));
  std::copy_n(desc.Name.data(), n, lf.lfFaceName);
  return lf;
}

void TGdiCanvas::SetHandle(HDC dc) {
  if (dc == FDC) return;
  Deselect();
  FDC = dc;
  FModeChecked = false;
}

void TGdiCanvas::Deselect() {
  if (FDC) {
    if (FOldFont) SelectObject(FDC, FOldFont);
    if (FOldBrush) SelectObject(FDC, FOldBrush);
    if (FOldPen) SelectObject(FDC, FOldPen);
  }
  FOldFont = FOldBrush = FOldPen = nullptr;
  FSelectedFont = nullptr;
  FTextColor = CLR_INVALID;
  FBrushSelected = false;
  FPenSelected = false;
}

HDC TGdiCanvas::CheckedHandle() const {
  if (!FDC) throw rtl::Exception("Le canevas ne permet pas de dessiner");
  return FDC;
}

TGdiCanvas::TFontEntry& TGdiCanvas::FontFor(const gfx::TFontDesc& desc) {
  // The most recently used font is the last, and the one most often asked for again.
  auto found = std::find_if(FFonts.rbegin(), FFonts.rend(),
                            [&](const TFontEntry& e) { return SameFont(e.Desc, desc); });
  if (found != FFonts.rend()) {
    // Move it to the back: the least recently used font is the one evicted.
    std::rotate(found.base() - 1, found.base(), FFonts.end());
    return FFonts.back();
  }
  if (FFonts.size() >= MaxCachedFonts) {
    auto victim = std::find_if(FFonts.begin(), FFonts.end(), [&](const TFontEntry& e) {
      return e.Handle.Get() != FSelectedFont;
    });
    FFonts.erase(victim);
  }
  const LOGFONTA lf = LogFontOf(desc);
  HFONT font = CreateFontIndirectA(&lf);
  CheckOS(font != nullptr);
  FFonts.push_back({desc, TFontHandle(font), nullptr});
  return FFonts.back();
}

void TGdiCanvas::RequireFont() {
  HDC dc = CheckedHandle();
  HFONT font = FontFor(Font).Handle.Get();
  if (font != FSelectedFont) {
    HGDIOBJ old = SelectObject(dc, font);
    if (!FOldFont) FOldFont = old;
    FSelectedFont = font;
  }
  const COLORREF color = ColorToRGB(Font.Color);
  if (color != FTextColor) {
    SetTextColor(dc, color);
    FTextColor = color;
  }
}

void TGdiCanvas::RequireBrush() {
  HDC dc = CheckedHandle();
  if (FBrushSelected && FBrushDesc == Brush) return;
  const COLORREF color = ColorToRGB(Brush.Color);
  HBRUSH brush = nullptr;
  switch (Brush.Style) {
    case gfx::TBrushStyle::bsSolid: brush = CreateSolidBrush(color); break;
    case gfx::TBrushStyle::bsClear: brush = nullptr; break;
    case gfx::TBrushStyle::bsDiagCross: brush = CreateHatchBrush(HS_DIAGCROSS, color); break;
  }
  HGDIOBJ old = SelectObject(dc, brush ? HGDIOBJ(brush) : GetStockObject(NULL_BRUSH));
  if (!FOldBrush) FOldBrush = old;
  FBrush.Reset(brush);  // the previous brush is no longer selected, so it can go
  FBrushDesc = Brush;
  FBrushSelected = true;
  // Text cells are filled with a solid brush's colour only. A hatch keeps the background
  // between its lines, and its colour must differ from the hatch for older systems to draw it.
  if (Brush.Style == gfx::TBrushStyle::bsSolid) {
    SetBkColor(dc, color);
    SetBkMode(dc, OPAQUE);
  } else {
    SetBkColor(dc, ~color & 0xFFFFFF);
    SetBkMode(dc, TRANSPARENT);
  }
}

void TGdiCanvas::RequirePen() {
  HDC dc = CheckedHandle();
  if (FPenSelected && FPenDesc == Pen) return;
  int style = PS_SOLID;
  switch (Pen.Style) {
    case gfx::TPenStyle::psSolid: style = PS_SOLID; break;
    case gfx::TPenStyle::psDash: style = PS_DASH; break;
    case gfx::TPenStyle::psDot: style = PS_DOT; break;
    case gfx::TPenStyle::psClear: style = PS_NULL; break;
  }
  HPEN pen = CreatePen(style, Pen.Width, ColorToRGB(Pen.Color));
  HGDIOBJ old = SelectObject(dc, pen);
  if (!FOldPen) FOldPen = old;
  FPen.Reset(pen);
  FPenDesc = Pen;
  FPenSelected = true;
}

int TGdiCanvas::ColorDepth() const {
  HDC dc = CheckedHandle();
  return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
}

void TGdiCanvas::TextOut(int x, int y, std::string_view text) {
  RequireFont();
  RequireBrush();
  ExtTextOutA(FDC, x, y, 0, nullptr, text.data(), UINT(text.size()), nullptr);
}

// Widths measured on one context hold on another of the same resolution and mapping. The
// canvas's contexts are the screen's and memory contexts made like it, so in practice the
// widths are taken once for the canvas's lifetime.
const TFontMetrics* TGdiCanvas::MetricsOfFont() {
  HDC dc = CheckedHandle();
  if (!FModeChecked) {
    const TMeasuringMode mode(dc);
    if (!(mode == FMeasuredOn))
      for (TFontEntry& e : FFonts) e.Metrics.reset();
    FMeasuredOn = mode;
    FModeChecked = true;
  }
  if (!FMeasuredOn.Plain) return nullptr;
  TFontEntry& entry = FontFor(Font);
  if (!entry.Metrics) {
    RequireFont();
    entry.Metrics = std::make_unique<TFontMetrics>(dc);
  }
  return entry.Metrics->Exact() ? entry.Metrics.get() : nullptr;
}

bool TGdiCanvas::MeasuresFromWidths() { return MetricsOfFont() != nullptr; }

gfx::TSize TGdiCanvas::TextExtent(std::string_view text) {
  if (!text.empty())
    if (const TFontMetrics* metrics = MetricsOfFont()) return metrics->Extent(text);
  RequireFont();
  SIZE size{};
  GetTextExtentPoint32A(FDC, text.data(), int(text.size()), &size);
  return {size.cx, size.cy};
}

void TGdiCanvas::LineTo(int x, int y) {
  RequirePen();
  MoveToEx(FDC, PenPos.X, PenPos.Y, nullptr);
  ::LineTo(FDC, x, y);
  PenPos = {x, y};
}

void TGdiCanvas::Rectangle(const gfx::TRect& r) {
  RequirePen();
  RequireBrush();
  ::Rectangle(FDC, r.Left, r.Top, r.Right, r.Bottom);
}

void TGdiCanvas::FillRect(const gfx::TRect& r) {
  RequireBrush();
  const RECT rc = ToRECT(r);
  if (FBrush) ::FillRect(FDC, &rc, FBrush.Get());
}

void TGdiCanvas::CopyRect(const gfx::TRect& dest, const gfx::TRect& source) {
  HDC dc = CheckedHandle();
  if (dest.Width() == source.Width() && dest.Height() == source.Height()) {
    BitBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), dc, source.Left, source.Top,
           SRCCOPY);
  } else {
    StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), dc, source.Left, source.Top,
               source.Width(), source.Height(), SRCCOPY);
  }
}

gfx::TColor TGdiCanvas::GetPixel(int x, int y) { return ::GetPixel(CheckedHandle(), x, y); }

void TGdiCanvas::SetPixel(int x, int y, gfx::TColor color) {
  ::SetPixelV(CheckedHandle(), x, y, ColorToRGB(color));
}

void TGdiCanvas::StretchDraw(const gfx::TRect& dest, const gfx::TGraphic& graphic) {
  HDC dc = CheckedHandle();
  if (graphic.Empty()) return;
  const auto* drawable = dynamic_cast<const TGdiGraphic*>(&graphic);
  if (!drawable) throw rtl::Exception("Format d'image non reconnu");
  drawable->Draw(dc, dest);
}

bool TGdiCanvas::RectVisible(const gfx::TRect& r) {
  const RECT rc = ToRECT(r);
  return ::RectVisible(CheckedHandle(), &rc) != FALSE;
}

gfx::TColor TGdiCanvas::ColorToRGB(gfx::TColor color) { return ui::ColorToRGB(color); }

}  // namespace ui
