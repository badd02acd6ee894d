// How much the markup renderer costs next to the platform's own text drawing: the five wizard
// page texts drawn with DrawHTML on a memory bitmap, against DrawTextA with word breaks for
// the same texts without their tags, in the same font, on the same bitmap, in one run.
// Prints "render: ratio=<DrawHTML time / DrawTextA time>".
#include "ui/GdiCanvas.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "html/DrawHTML.h"
#include "installer/PageTexts.h"
#include "util/StrUtils.h"

namespace {

double Now() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return double(t.QuadPart) / double(f.QuadPart);
}

constexpr int LabelWidth = 577, LabelHeight = 369;  // the wizard's text label
constexpr int Repeats = 10;                          // drawings of the five texts per round
constexpr int Rounds = 60;

}  // namespace

int main() {
  ui::TBitmap bitmap(LabelWidth + 2, LabelHeight + 2);
  ui::TGdiCanvas& canvas = bitmap.Canvas();
  HDC dc = canvas.Handle();

  std::vector<std::string> plain;
  for (const char* text : installer::PageTexts) plain.push_back(util::StripTags(text));

  // DrawTextA gets the renderer's body font, Tahoma 10 points.
  gfx::TFontDesc tahoma;
  tahoma.Name = "Tahoma";
  tahoma.SetSize(10);
  const LOGFONTA lf = ui::LogFontOf(tahoma);
  HFONT font = CreateFontIndirectA(&lf);

  auto drawHTML = [&] {
    for (int i = 0; i < Repeats; ++i)
      for (const char* text : installer::PageTexts)
        html::DrawHTML(canvas, 1, 1, LabelWidth, text, gfx::clWhite);
  };
  auto drawText = [&] {
    canvas.SetHandle(nullptr);  // the canvas takes its objects out of the context
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < Repeats; ++i)
      for (const std::string& text : plain) {
        RECT r{1, 1, 1 + LabelWidth, 1 + LabelHeight};
        DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
      }
    SelectObject(dc, old);
    canvas.SetHandle(dc);
  };

  drawHTML();  // warm the font caches of both
  drawText();
  // The machine is shared: the best round of each, taken side by side over many short rounds,
  // is what the work costs without the noise of others.
  double htmlBest = 1e9, textBest = 1e9;
  for (int round = 0; round < Rounds; ++round) {
    const double t0 = Now();
    drawHTML();
    const double t1 = Now();
    drawText();
    const double t2 = Now();
    htmlBest = std::min(htmlBest, t1 - t0);
    textBest = std::min(textBest, t2 - t1);
  }
  const double perPage = 1e6 / (Repeats * double(installer::PageTexts.size()));
  std::printf("render: DrawHTML %.1f us a page, DrawTextA %.1f us a page (best rounds)\n",
              htmlBest * perPage, textBest * perPage);
  std::printf("render: ratio=%.2f\n", htmlBest / textBest);
  DeleteObject(font);
  return 0;
}
