// The GDI canvas, bitmaps, JPEG pictures and PNG files, with Wine's real fonts.
// GDI+'s headers use the RGB macro that ui/Win32.h takes back, so they come first.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "installer/PageTexts.h"
#include "rtl/SysUtils.h"
#include "ui/GdiCanvas.h"
#include "tests/win/jpeg_writer.h"
#include "util/StrUtils.h"

namespace {

using gfx::RGB;
using gfx::TColor;

std::string ArtifactPath(const std::string& name) {
  const char* dir = std::getenv("INSTALL_ARTIFACTS_WIN");
  return dir && *dir ? std::string(dir) + "\\" + name : name;
}

TEST(GdiCanvas, TextExtentUsesRealFontMetrics) {
  struct Case {
    const char* face;
    int points;
    gfx::TFontStyles style;
    int height;
  };
  ui::TBitmap b(10, 10);
  gfx::TCanvas& c = b.Canvas();
  for (const Case& k : {Case{"Tahoma", 10, 0, 16}, Case{"Tahoma", 10, gfx::fsBold, 16},
                        Case{"MS Sans Serif", 8, 0, 13}, Case{"Tahoma", 14, 0, 23}}) {
    SCOPED_TRACE(std::string(k.face) + " " + std::to_string(k.points));
    c.Font.Name = k.face;
    c.Font.SetSize(k.points);
    c.Font.Style = k.style;
    EXPECT_EQ(c.TextHeight("W"), k.height);
  }
  // Switching back and forth between cached fonts gives each its own width.
  c.Font.Name = "Tahoma";
  c.Font.SetSize(10);
  c.Font.Style = 0;
  const int normal = c.TextWidth("Suivant");
  c.Font.Style = gfx::fsBold;
  const int bold = c.TextWidth("Suivant");
  c.Font.Style = 0;
  EXPECT_LT(normal, bold);
  EXPECT_EQ(c.TextWidth("Suivant"), normal);
  EXPECT_EQ(c.TextWidth(""), 0);
}

// Texts to measure: every character alone and all of them together, pairs that kerning
// would move, and the words of the wizard's pages (with their spaces, as the renderer cuts
// them).
std::vector<std::string> TextsToMeasure() {
  std::vector<std::string> texts = {" ", "AV", "Wa", "To", "LT", "ff", "fi", "ii", "WWWW",
                                    "r.", "y,", "Morvidan \xA9 Sorbiane", "R\xE9pertoire ",
                                    "Ex\xE9" "cution", "\xE0 trente jours.", "[Suivant] "};
  std::string all;
  for (int c = 0; c < 256; ++c) {
    texts.push_back(std::string(1, char(c)));
    all += char(c);
  }
  texts.push_back(all);
  for (const char* page : installer::PageTexts) {
    const std::string plain = util::StripTags(page);
    texts.push_back(plain);
    for (std::size_t from = 0; from < plain.size();) {
      const std::size_t space = plain.find(' ', from);
      const std::size_t end = space == std::string::npos ? plain.size() : space + 1;
      texts.push_back(plain.substr(from, end - from));
      from = end;
    }
  }
  return texts;
}

TEST(GdiCanvas, CachedWidthsMeasureAsGdiDoes) {
  // The fonts of the pages must be measured from their widths; the others (bitmap fonts with
  // synthesized styles, symbol fonts, a face Wine does not have) may fall back to GDI.
  struct Case {
    const char* face;
    int points;
    gfx::TFontStyles style;
    bool fromWidths;
  };
  const gfx::TFontStyles bold = gfx::fsBold, italic = gfx::fsItalic;
  std::vector<Case> cases = {{"Tahoma", 10, 0, true}, {"Tahoma", 10, bold, true},
                             {"Tahoma", 16, bold, true}, {"Tahoma", 11, bold, true},
                             {"MS Sans Serif", 8, 0, true}};
  for (const char* face : {"Tahoma", "MS Sans Serif", "Courier", "Small Fonts", "System",
                           "Symbol", "Wingdings", "Arial"})
    for (int points : {7, 8, 10, 12, 16, 20})
      for (gfx::TFontStyles style :
           {gfx::TFontStyles(0), bold, italic, gfx::TFontStyles(bold | italic),
            gfx::TFontStyles(gfx::fsUnderline), gfx::TFontStyles(gfx::fsStrikeOut)})
        cases.push_back({face, points, style, false});
  const std::vector<std::string> texts = TextsToMeasure();
  ui::TBitmap b(10, 10);
  ui::TGdiCanvas& c = b.Canvas();
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.face) + " " + std::to_string(k.points) + " style " +
                 std::to_string(k.style));
    c.Font.Name = k.face;
    c.Font.SetSize(k.points);
    c.Font.Style = k.style;
    if (k.fromWidths) {
      EXPECT_TRUE(c.MeasuresFromWidths());
    }
    for (const std::string& text : texts) {
      const gfx::TSize cached = c.TextExtent(text);
      c.RequireFont();
      SIZE gdi{};
      GetTextExtentPoint32A(c.Handle(), text.data(), int(text.size()), &gdi);
      ASSERT_EQ(cached, (gfx::TSize{gdi.cx, gdi.cy})) << "[" << text << "]";
    }
  }
}

// The widths are taken as exact only where they add up to GDI's measure: not in a symbol
// font (its characters are not those of the code page), not where the context adds space
// between characters.
TEST(FontMetrics, ExactOnlyWhereWidthsAddUpAsGdiMeasures) {
  struct Case {
    const char* face;
    int extraSpace;
    bool exact;
  };
  for (const Case& k : {Case{"Tahoma", 0, true}, Case{"MS Sans Serif", 0, true},
                        Case{"Symbol", 0, false}, Case{"Tahoma", 2, false}}) {
    SCOPED_TRACE(std::string(k.face) + " spaced " + std::to_string(k.extraSpace));
    ui::TBitmap b(10, 10);
    HDC dc = b.Canvas().Handle();
    gfx::TFontDesc desc;
    desc.Name = k.face;
    desc.SetSize(10);
    const LOGFONTA lf = ui::LogFontOf(desc);
    ui::TFontHandle font(CreateFontIndirectA(&lf));
    HGDIOBJ old = SelectObject(dc, font.Get());
    SetTextCharacterExtra(dc, k.extraSpace);
    const ui::TFontMetrics metrics(dc);
    EXPECT_EQ(metrics.Exact(), k.exact);
    if (metrics.Exact()) {
      const std::string text = "Cliquez sur [Suivant] pour continuer.";
      SIZE gdi{};
      GetTextExtentPoint32A(dc, text.data(), int(text.size()), &gdi);
      EXPECT_EQ(metrics.Extent(text), (gfx::TSize{gdi.cx, gdi.cy}));
    }
    SelectObject(dc, old);
  }
}

// A context that spaces or scales characters makes the widths of a font disagree with what
// GDI measures there: the canvas measures with GDI while attached to it, and goes back to its
// widths on a plain context.
TEST(GdiCanvas, ContextsThatChangeWidthsAreMeasuredByGdi) {
  struct Case {
    const char* name;
    void (*prepare)(HDC);
  };
  const std::vector<Case> cases = {
      {"character spacing", [](HDC dc) { SetTextCharacterExtra(dc, 3); }},
      {"mapping mode",
       [](HDC dc) {
         SetMapMode(dc, MM_ANISOTROPIC);
         SetWindowExtEx(dc, 1, 1, nullptr);
         SetViewportExtEx(dc, 2, 2, nullptr);
       }},
      {"world transform",
       [](HDC dc) {
         SetGraphicsMode(dc, GM_ADVANCED);
         const XFORM half{0.5f, 0, 0, 0.5f, 0, 0};
         SetWorldTransform(dc, &half);
       }},
  };
  ui::TBitmap plain(10, 10);
  ui::TGdiCanvas c(plain.Canvas().Handle());
  c.Font.Name = "Tahoma";
  c.Font.SetSize(10);
  const std::string word = "Suivant";
  const int width = c.TextWidth(word);
  ASSERT_TRUE(c.MeasuresFromWidths());
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ui::TBitmap other(10, 10);
    HDC dc = other.Canvas().Handle();
    k.prepare(dc);
    c.SetHandle(dc);
    const int measured = c.TextWidth(word);
    c.RequireFont();
    SIZE gdi{};
    GetTextExtentPoint32A(dc, word.data(), int(word.size()), &gdi);
    EXPECT_EQ(measured, gdi.cx);
    EXPECT_NE(measured, width);
    EXPECT_FALSE(c.MeasuresFromWidths());
    c.SetHandle(plain.Canvas().Handle());
    EXPECT_EQ(c.TextWidth(word), width);
    EXPECT_TRUE(c.MeasuresFromWidths());
  }
  c.SetHandle(nullptr);
}

TEST(GdiCanvas, DefaultFontIsMsSansSerif8) {
  ui::TBitmap b(4, 4);
  EXPECT_EQ(b.Canvas().Font.Name, "MS Sans Serif");
  EXPECT_EQ(b.Canvas().Font.Size(), 8);
  EXPECT_EQ(b.Canvas().TextHeight("W"), 13);
}

TEST(GdiCanvas, LineToExcludesItsEndPoint) {
  struct Case {
    gfx::TPoint from, to;
    std::vector<gfx::TPoint> black, white;
  };
  const std::vector<Case> cases = {
      {{1, 1}, {5, 1}, {{1, 1}, {4, 1}}, {{5, 1}, {0, 1}}},
      {{2, 0}, {2, 3}, {{2, 0}, {2, 2}}, {{2, 3}}},
      {{6, 6}, {2, 6}, {{6, 6}, {3, 6}}, {{2, 6}, {7, 6}}},
  };
  for (const Case& k : cases) {
    ui::TBitmap b(8, 8);
    gfx::TCanvas& c = b.Canvas();
    c.Pen.Color = gfx::clBlack;
    c.MoveTo(k.from.X, k.from.Y);
    c.LineTo(k.to.X, k.to.Y);
    EXPECT_EQ(c.PenPos, k.to);
    for (gfx::TPoint p : k.black) EXPECT_EQ(b.Pixel(p.X, p.Y), gfx::clBlack) << p.X << "," << p.Y;
    for (gfx::TPoint p : k.white) EXPECT_EQ(b.Pixel(p.X, p.Y), gfx::clWhite) << p.X << "," << p.Y;
  }
}

TEST(GdiCanvas, RectangleAndFillRectExcludeRightAndBottom) {
  ui::TBitmap b(10, 10);
  gfx::TCanvas& c = b.Canvas();
  c.Brush.Color = gfx::clRed;
  c.FillRect(gfx::Rect(2, 2, 5, 4));
  EXPECT_EQ(b.Pixel(2, 2), gfx::clRed);
  EXPECT_EQ(b.Pixel(4, 3), gfx::clRed);
  EXPECT_EQ(b.Pixel(5, 3), gfx::clWhite);
  EXPECT_EQ(b.Pixel(4, 4), gfx::clWhite);

  c.Pen.Color = gfx::clBlack;
  c.Brush.Color = gfx::clBlue;
  c.Rectangle(gfx::Rect(5, 5, 9, 9));
  EXPECT_EQ(b.Pixel(5, 5), gfx::clBlack);
  EXPECT_EQ(b.Pixel(8, 8), gfx::clBlack);
  EXPECT_EQ(b.Pixel(6, 6), gfx::clBlue);
  EXPECT_EQ(b.Pixel(9, 9), gfx::clWhite);

  // A clear brush fills nothing.
  c.Brush.Style = gfx::TBrushStyle::bsClear;
  c.FillRect(gfx::Rect(0, 0, 10, 10));
  EXPECT_EQ(b.Pixel(0, 0), gfx::clWhite);
}

TEST(GdiCanvas, CopyRectMovesPixelsWithinTheCanvas) {
  ui::TBitmap b(20, 10);
  gfx::TCanvas& c = b.Canvas();
  c.SetPixel(1, 1, gfx::clRed);
  c.SetPixel(3, 2, gfx::clBlue);
  // Sideways, overlapping its source, as a right-aligned line is moved.
  c.CopyRect(gfx::Rect(3, 0, 9, 4), gfx::Rect(0, 0, 6, 4));
  EXPECT_EQ(b.Pixel(4, 1), gfx::clRed);
  EXPECT_EQ(b.Pixel(6, 2), gfx::clBlue);
  EXPECT_EQ(b.Pixel(1, 1), gfx::clRed);  // the source stays where it was not covered
  // Down to another line.
  c.CopyRect(gfx::Rect(10, 5, 16, 9), gfx::Rect(0, 0, 6, 4));
  EXPECT_EQ(b.Pixel(11, 6), gfx::clRed);
  EXPECT_EQ(c.GetPixel(11, 6), gfx::clRed);
}

TEST(GdiCanvas, TextOutFillsItsCellOnlyWithASolidBrush) {
  ui::TBitmap b(60, 20);
  gfx::TCanvas& c = b.Canvas();
  c.Font.Color = gfx::clBlack;
  c.Brush.Color = RGB(0, 255, 0);
  c.TextOut(0, 0, "i");
  EXPECT_EQ(b.Pixel(0, 0), RGB(0, 255, 0));
  c.Brush.Style = gfx::TBrushStyle::bsClear;
  c.TextOut(30, 0, "i");
  EXPECT_EQ(b.Pixel(30, 0), gfx::clWhite);
  bool ink = false;
  for (int y = 0; y < 13; ++y)
    for (int x = 30; x < 36; ++x) ink = ink || b.Pixel(x, y) == gfx::clBlack;
  EXPECT_TRUE(ink);
}

TEST(GdiCanvas, ResolvesSystemColours) {
  ui::TBitmap b(2, 2);
  gfx::TCanvas& c = b.Canvas();
  EXPECT_EQ(c.ColorToRGB(gfx::clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(c.ColorToRGB(gfx::clWindowText), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(c.ColorToRGB(RGB(1, 2, 3)), RGB(1, 2, 3));
  c.Brush.Color = gfx::clBtnFace;
  c.FillRect(gfx::Rect(0, 0, 2, 2));
  EXPECT_EQ(b.Pixel(1, 1), GetSysColor(COLOR_BTNFACE));
}

TEST(GdiCanvas, RectVisibleFollowsTheClipRegion) {
  ui::TBitmap b(50, 50);
  ui::TGdiCanvas& c = b.Canvas();
  {
    ui::TSavedDC saved(c.Handle());
    IntersectClipRect(c.Handle(), 10, 10, 20, 20);
    EXPECT_TRUE(c.RectVisible(gfx::Rect(15, 15, 16, 16)));
    EXPECT_TRUE(c.RectVisible(gfx::Rect(0, 0, 11, 11)));
    EXPECT_FALSE(c.RectVisible(gfx::Rect(0, 0, 10, 10)));
    EXPECT_FALSE(c.RectVisible(gfx::Rect(20, 10, 30, 20)));
  }
  EXPECT_TRUE(c.RectVisible(gfx::Rect(0, 0, 10, 10)));
}

TEST(GdiCanvas, StretchDrawOfABitmapTakesTheNearestPixel) {
  ui::TBitmap pattern(2, 2);
  pattern.SetPixel(0, 0, gfx::clRed);
  pattern.SetPixel(1, 1, gfx::clRed);
  pattern.SetPixel(1, 0, gfx::clBlue);
  pattern.SetPixel(0, 1, gfx::clBlue);
  ui::TBitmap b(20, 20);
  b.Canvas().StretchDraw(gfx::Rect(0, 0, 20, 20), pattern);
  EXPECT_EQ(b.Pixel(0, 0), gfx::clRed);
  EXPECT_EQ(b.Pixel(9, 9), gfx::clRed);
  EXPECT_EQ(b.Pixel(10, 9), gfx::clBlue);
  EXPECT_EQ(b.Pixel(9, 10), gfx::clBlue);
  EXPECT_EQ(b.Pixel(19, 19), gfx::clRed);
}

TEST(GdiCanvas, DetachingPutsTheContextBackAsItWas) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  {
    ui::TGdiCanvas c(dc);
    c.Font.Name = "Tahoma";
    c.TextWidth("x");
    c.Brush.Color = gfx::clRed;
    c.Pen.Color = gfx::clRed;
    c.Rectangle(gfx::Rect(0, 0, 1, 1));
    EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), font);
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  DeleteDC(dc);
}

TEST(GdiCanvas, DrawingWithoutADeviceContextFails) {
  ui::TGdiCanvas c;
  EXPECT_THROW(c.TextOut(0, 0, "x"), rtl::Exception);
}

TEST(Bitmap, ResizeKeepsPixelsAndAddsWhite) {
  ui::TBitmap b(3, 3);
  b.SetPixel(2, 2, gfx::clRed);
  b.SetSize(5, 4);
  EXPECT_EQ(b.Pixel(2, 2), gfx::clRed);
  EXPECT_EQ(b.Pixel(4, 3), gfx::clWhite);
  b.Canvas().SetPixel(4, 3, gfx::clBlue);
  EXPECT_EQ(b.Pixel(4, 3), gfx::clBlue);
  ui::TBitmap copy = b;
  EXPECT_EQ(copy.Width(), 5);
  EXPECT_EQ(copy.Pixel(4, 3), gfx::clBlue);
  b.SetSize(0, 0);
  EXPECT_TRUE(b.Empty());
  EXPECT_THROW(copy.Pixel(5, 0), rtl::ERangeError);
  // A moved bitmap takes its canvas along.
  ui::TBitmap moved = std::move(copy);
  EXPECT_EQ(moved.Pixel(4, 3), gfx::clBlue);
  moved.Canvas().SetPixel(0, 0, gfx::clRed);
  EXPECT_EQ(moved.Pixel(0, 0), gfx::clRed);
}

// A 4-bit .BMP of 3 x 2 pixels, as a 16-colour glyph is stored: palette entry 1 red,
// entry 2 silver, bottom row first.
std::string FourBitBmp() {
  std::string bytes;
  auto put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bytes.push_back(char((v >> (8 * i)) & 0xFF));
  };
  const std::uint32_t palette = 16 * 4, row = 4, offset = 14 + 40 + palette;
  put('B' | ('M' << 8), 2);
  put(offset + 2 * row, 4);
  put(0, 4);
  put(offset, 4);
  put(40, 4), put(3, 4), put(2, 4), put(1, 2), put(4, 2), put(0, 4), put(2 * row, 4);
  put(0, 4), put(0, 4), put(16, 4), put(0, 4);
  for (int i = 0; i < 16; ++i) put(i == 1 ? 0x00FF0000 : i == 2 ? 0x00C0C0C0 : 0, 4);
  put(0x00002020, 4);  // bottom row, high nibble first: 2, 0, 2
  put(0x00001012, 4);  // top row: 1, 2, 1
  return bytes;
}

TEST(Bitmap, LoadsAFourBitFileAsTwentyFourBits) {
  {
    std::ofstream f("glyph.bmp", std::ios::binary);
    const std::string bytes = FourBitBmp();
    f.write(bytes.data(), std::streamsize(bytes.size()));
  }
  ui::TBitmap b;
  b.LoadFromFile("glyph.bmp");
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  // Bottom row: silver, black, silver.
  EXPECT_EQ(b.Pixel(0, 1), RGB(192, 192, 192));
  EXPECT_EQ(b.Pixel(1, 1), gfx::clBlack);
  EXPECT_EQ(b.Pixel(2, 1), RGB(192, 192, 192));
  // Top row: red, silver, red.
  EXPECT_EQ(b.Pixel(0, 0), gfx::clRed);
  EXPECT_EQ(b.Pixel(1, 0), RGB(192, 192, 192));
  EXPECT_EQ(b.Pixel(2, 0), gfx::clRed);
  EXPECT_THROW(b.LoadFromFile("absent.bmp"), rtl::EFOpenError);
}

TEST(Png, WrittenFileReadsBackWithTheSamePixels) {
  ui::TBitmap b(7, 5);  // an odd width: rows carry padding
  b.Canvas().Brush.Color = RGB(10, 20, 30);
  b.Canvas().FillRect(gfx::Rect(0, 0, 7, 5));
  b.SetPixel(6, 4, RGB(200, 100, 50));
  b.SetPixel(0, 0, gfx::clRed);
  const std::string name = ArtifactPath("gdicanvas-roundtrip.png");
  ui::SaveToPNG(b, name);

  std::ifstream f(name, std::ios::binary);
  ASSERT_TRUE(f.good());
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");

  // GDI+ decodes any format it knows, PNG included.
  ui::TJPEGImage back;
  back.LoadFromMemory(bytes.data(), bytes.size());
  ASSERT_EQ(back.Width(), 7);
  ASSERT_EQ(back.Height(), 5);
  EXPECT_EQ(back.Bitmap().Pixel(0, 0), gfx::clRed);
  EXPECT_EQ(back.Bitmap().Pixel(3, 2), RGB(10, 20, 30));
  EXPECT_EQ(back.Bitmap().Pixel(6, 4), RGB(200, 100, 50));
}

TEST(Jpeg, DecodesAndStretchesOntoACanvas) {
  uitest::WriteJpeg("orange.jpg", 40, 30, RGB(255, 128, 0));
  ui::TJPEGImage picture;
  picture.LoadFromFile("orange.jpg");
  EXPECT_EQ(picture.Width(), 40);
  EXPECT_EQ(picture.Height(), 30);
  ui::TBitmap b(20, 20);
  b.Canvas().StretchDraw(gfx::Rect(5, 5, 15, 15), picture);
  const TColor c = b.Pixel(10, 10);
  EXPECT_NEAR(int(gfx::GetRValue(c)), 255, 6);
  EXPECT_NEAR(int(gfx::GetGValue(c)), 128, 6);
  EXPECT_NEAR(int(gfx::GetBValue(c)), 0, 6);
  EXPECT_EQ(b.Pixel(4, 4), gfx::clWhite);
}

TEST(Jpeg, MissingOrBrokenFilesRaise) {
  ui::TJPEGImage picture;
  EXPECT_THROW(picture.LoadFromFile("absent.jpg"), rtl::EFOpenError);
  const std::string junk = "not a picture at all";
  try {
    picture.LoadFromMemory(junk.data(), junk.size());
    FAIL() << "no error";
  } catch (const rtl::Exception& e) {
    EXPECT_EQ(e.Message().rfind("Erreur JPEG #", 0), 0u) << e.Message();
  }
}

TEST(Capture, WindowClientAreaToPng) {
  HWND w = CreateWindowExA(0, "STATIC", "capture", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                           200, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  UpdateWindow(w);
  RECT client{};
  GetClientRect(w, &client);
  ui::TBitmap shot = ui::CaptureWindow(w, false);
  EXPECT_EQ(shot.Width(), client.right);
  EXPECT_EQ(shot.Height(), client.bottom);
  ui::TBitmap whole = ui::CaptureWindow(w, true);
  EXPECT_EQ(whole.Width(), 200);
  EXPECT_EQ(whole.Height(), 120);
  ui::SaveWindowToPNG(w, ArtifactPath("gdicanvas-capture.png"));
  DestroyWindow(w);
}

}  // namespace
