#include "ui/FontMetrics.h"

#include <numeric>
#include <string_view>

namespace ui {

namespace {

// Pairs that a kerning font would draw closer together than their widths say.
constexpr std::string_view KerningPairs = "AVAWATAYLTLYPAFATaTeToVaWaYoLjffiflr.y,'s";

}  // namespace

TFontMetrics::TFontMetrics(HDC dc) {
  // Only in a one-byte code page is every byte of a text one character of the font.
  if (GetTextCharset(dc) != ANSI_CHARSET) return;
  if (!GetCharWidth32A(dc, 0, 255, FWidths.data())) return;
  // Every character in turn: the extent of each first part of the text must be the sum of
  // the widths so far, which holds each width against what a text of it measures.
  char all[256];
  std::iota(std::begin(all), std::end(all), char(0));
  INT upTo[256];
  SIZE size{};
  if (!GetTextExtentExPointA(dc, all, 256, 0, nullptr, upTo, &size)) return;
  int sum = 0;
  for (int i = 0; i < 256; ++i) {
    sum += FWidths[i];
    if (upTo[i] != sum) return;
  }
  if (size.cx != sum) return;
  FHeight = size.cy;
  // The same measure as TextExtent itself, over pairs that kerning would move.
  SIZE pairs{};
  if (!GetTextExtentPoint32A(dc, KerningPairs.data(), int(KerningPairs.size()), &pairs)) return;
  FExact = Extent(KerningPairs) == gfx::TSize{pairs.cx, pairs.cy};
}

TMeasuringMode::TMeasuringMode(HDC dc) {
  if (!dc) return;
  PixelsX = GetDeviceCaps(dc, LOGPIXELSX);
  PixelsY = GetDeviceCaps(dc, LOGPIXELSY);
  Plain = GetMapMode(dc) == MM_TEXT && GetGraphicsMode(dc) == GM_COMPATIBLE &&
          GetTextCharacterExtra(dc) == 0;
}

}  // namespace ui
