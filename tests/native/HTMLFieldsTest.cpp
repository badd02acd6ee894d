// Pictures and form fields of the markup on the test canvas: "<IMG", "<TEXTAREA", "<INPUT",
// the picture cache and its placeholder, WrapLines, DrawFieldBox and DrawTagLabel.
//
// Fonts at 96 dpi on the test canvas: the fields' 10-point Microsoft Sans Serif is 6 pixels a
// character and 16 high; the tag labels' 6-point Tahoma 4 a character and 10 high.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "html/FieldDrawing.h"
#include "html/HTMLPictures.h"
#include "rtl/SysUtils.h"
#include "tests/native/DrawHTMLTestSupport.h"

namespace {

using namespace drawhtml_test;

// A picture painted on a test canvas, so that a test can look at how it was drawn.
class TPaintedPicture : public gfx::TGraphic {
public:
  TPaintedPicture(int w, int h) : Canvas(w, h) {}
  int Width() const override { return Canvas.Width(); }
  int Height() const override { return Canvas.Height(); }
  gfx::TTestCanvas Canvas;
};

// Files that "exist" with their sizes, short names and their long forms, and a count of loads.
class TTestPictures : public html::TPictureSource {
public:
  std::map<std::string, gfx::TSize> Files;
  std::map<std::string, std::string> LongNames;
  int Loads = 0;

  std::string ExpandShortName(const std::string& name) override {
    const auto found = LongNames.find(name);
    return found == LongNames.end() ? name : found->second;
  }
  bool FileExists(const std::string& name) override { return Files.count(name) != 0; }
  std::unique_ptr<gfx::TGraphic> LoadJPEG(const std::string& name) override {
    ++Loads;
    const gfx::TSize size = Files.at(name);
    return std::make_unique<gfx::TTestGraphic>(size.cx, size.cy, 0x00FF00);
  }
  std::unique_ptr<gfx::TGraphic> Paint(int w, int h,
                                       const std::function<void(gfx::TCanvas&)>& paint) override {
    auto picture = std::make_unique<TPaintedPicture>(w, h);
    paint(picture->Canvas);
    return picture;
  }
};

class HTMLFields : public ::testing::Test {
protected:
  void SetUp() override { FPrevious = html::SetPictureSource(&Pictures); }
  void TearDown() override { html::SetPictureSource(FPrevious); }

  std::vector<Call> Stretches(const TDrawn& d) { return d.Canvas.CallsOf(Kind::StretchDraw); }

  TTestPictures Pictures;

private:
  html::TPictureSource* FPrevious = nullptr;
};

TEST_F(HTMLFields, ImageBoxes) {
  struct Case {
    std::string text;
    bool drawn;
    gfx::TRect box;
    int result;
  };
  // Drawn at (1, 1): the box starts at Y + 10.
  const Case cases[] = {
      {"<IMG SRC=\"logo.gif\">", true, {1, 11, 201, 111}, 1 + 100 + 20},
      {"<IMG SRC=\"logo.jpg\" WIDTH=\"50%\">", true, {1, 11, 101, 51}, 1 + 40 + 20},
      {"<img width=80 src=\"logo.png\">", true, {1, 11, 81, 41}, 1 + 30 + 20},
      {"<IMG SRC=\"absent.gif\">", false, {}, 1 + DefaultH + 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    html::SetPictureSource(&Pictures);
    Pictures.Files = {{"logo.jpg", {200, 100}}};
    const TDrawn d = Draw(c.text);
    const auto stretches = Stretches(d);
    ASSERT_EQ(stretches.size(), c.drawn ? 1u : 0u);
    if (c.drawn) {
      EXPECT_EQ(stretches[0].Rect, c.box);
    }
    EXPECT_EQ(d.Result, c.result);
  }
}

TEST_F(HTMLFields, TextGoesOnAfterAPicture) {
  Pictures.Files = {{"logo.jpg", {200, 100}}};
  EXPECT_EQ(Draw("<IMG SRC=\"logo.gif\">x<P>").Text("x").Rect.Left, 202);
}

TEST_F(HTMLFields, OneFileIsLoadedOnce) {
  Pictures.Files = {{"logo.jpg", {20, 10}}, {"long name.jpg", {20, 10}}, {"LONGNA~1.jpg", {20, 10}}};
  Pictures.LongNames = {{"LONGNA~1.jpg", "long name.jpg"}};
  const TDrawn d = Draw("<IMG SRC=\"logo.gif\"><IMG SRC=\"logo.jpg\"><IMG SRC=\"LONGNA~1.gif\">"
                        "<IMG SRC=\"long name.jpg\">");
  EXPECT_EQ(Stretches(d).size(), 4u);
  EXPECT_EQ(Pictures.Loads, 2);
}

TEST_F(HTMLFields, PlaceholderNamesTheMissingFile) {
  const auto* picture =
      dynamic_cast<const TPaintedPicture*>(html::LoadPicture("c:\\images\\absent.jpg"));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 300);
  EXPECT_EQ(picture->Height(), 200);
  const auto fills = picture->Canvas.CallsOf(Kind::FillRect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].Rect, gfx::Rect(1, 1, 300, 200));
  EXPECT_EQ(fills[0].Brush.Style, gfx::TBrushStyle::bsDiagCross);
  EXPECT_EQ(fills[0].Brush.Color, gfx::clRed);
  const std::pair<std::string, int> lines[] = {
      {"c:\\images\\", 30}, {"absent.jpg", 60}, {"introuvable !", 120}};
  const auto texts = picture->Canvas.CallsOf(Kind::TextOut);
  ASSERT_EQ(texts.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(lines[i].first);
    EXPECT_EQ(texts[i].Text, lines[i].first);
    EXPECT_EQ(texts[i].Rect.Top, lines[i].second);
    EXPECT_EQ(texts[i].Rect.Left, (300 - texts[i].Rect.Width()) / 2);
    EXPECT_EQ(texts[i].Font.Name, "Tahoma");
    EXPECT_EQ(texts[i].Font.Size(), 14);
    EXPECT_EQ(texts[i].Font.Style, gfx::fsBold);
    EXPECT_EQ(texts[i].Font.Color, gfx::clWhite);
    EXPECT_EQ(texts[i].Brush.Style, gfx::TBrushStyle::bsSolid);
  }
  // The placeholder stays for the name, even once the file is there.
  Pictures.Files["c:\\images\\absent.jpg"] = {10, 10};
  EXPECT_EQ(html::LoadPicture("c:\\images\\absent.jpg"), picture);
  EXPECT_EQ(Pictures.Loads, 0);
}

TEST_F(HTMLFields, TickPictures) {
  struct Case {
    std::string text, file;
  };
  const Case cases[] = {
      {"<INPUT TYPE=checkbox CHECKED NAME=\"Accord\">", "coché.jpg"},
      {"<INPUT TYPE=checkbox NAME=\"Accord\">", "noncoché.jpg"},
      {"<INPUT TYPE=checkbox checked NAME=\"Accord\">", "noncoché.jpg"},  // exact case only
      {"<INPUT TYPE=radio CHECKED>", "checked.jpg"},
      {"<INPUT TYPE=radio NAME=\"Choix.x\">", "unchecked.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    html::SetPictureSource(&Pictures);
    Pictures.Files = {{c.file, {13, 13}}};
    Pictures.Loads = 0;
    const TDrawn d = Draw(c.text + "x<P>");
    ASSERT_EQ(Stretches(d).size(), 1u);
    // On an empty line (H = 0) the tick's top is Y - 6.
    EXPECT_EQ(Stretches(d)[0].Rect, gfx::Rect(4, 1 - 6, 17, 1 - 6 + 13));
    EXPECT_EQ(Pictures.Loads, 1);
    EXPECT_EQ(d.Text("x").Rect.Left, 17 + 5);
  }
  // A missing tick picture is the placeholder naming it.
  html::SetPictureSource(&Pictures);
  const TDrawn d = Draw("<INPUT TYPE=checkbox CHECKED>");
  ASSERT_EQ(Stretches(d).size(), 1u);
  EXPECT_EQ(Stretches(d)[0].Rect, gfx::Rect(4, -5, 304, 195));
  const auto* picture = dynamic_cast<const TPaintedPicture*>(html::LoadPicture("coché.jpg"));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Canvas.CallsOf(Kind::TextOut)[1].Text, "coché.jpg");
}

TEST_F(HTMLFields, TextFieldWithItsTwoTags) {
  const TDrawn d = Draw("<INPUT NAME=\"Client.nom\" TYPE=text SIZE=10 VALUE=\"Dupont\">x<P>");
  // The box is 10 x 8 + 5 = 85 pixels wide.
  const Call value = d.Text("Dupont");
  EXPECT_EQ(value.Rect.Left, 4);
  EXPECT_EQ(value.Rect.Top, 4);
  EXPECT_EQ(value.Font.Name, "Microsoft Sans Serif");
  // "Client" in purple on pale yellow, its label's right edge 7 pixels in from the box's.
  const Call name = d.Text("Client");
  EXPECT_EQ(name.Font.Color, gfx::clPurple);
  EXPECT_EQ(name.Brush.Color, 0xE1FFFFu);
  EXPECT_EQ(name.Font.Size(), 6);
  const int nameWidth = 6 * 4 + 6;
  EXPECT_EQ(name.Rect.Left, 1 + 85 - 7 - nameWidth + 3);
  EXPECT_EQ(name.Rect.Top, 1 - 1 + 3);
  // "text" in white on red at its top left.
  const Call type = d.Text("text");
  EXPECT_EQ(type.Font.Color, gfx::clWhite);
  EXPECT_EQ(type.Brush.Color, gfx::clRed);
  EXPECT_EQ(type.Rect.Left, 1 + 4 + 3);
  EXPECT_EQ(type.Rect.Top, 1 - 3 + 3);
  EXPECT_EQ(d.Text("x", 1).Rect.Left, 1 + 85 + 4);  // the first x is that of "text"
  // The name label's shadow darkens the white page by $404040, 3 pixels right and down.
  EXPECT_EQ(d.Canvas.Pixel(79 + 2, 10), 0xBFBFBFu);
  EXPECT_EQ(d.Result, 1 + 23 + DefaultH + 20);
}

TEST_F(HTMLFields, TextFieldsBreakTheLineWithoutAligning) {
  // In a band ending at 101, the 165-pixel field goes to the next line, and the pen then
  // passes the edge: the line after it starts 23 pixels lower.
  const TDrawn d = Draw("<P CENTER>x<INPUT SIZE=20 NAME=\"Champ.txt\">y<P>", 100);
  EXPECT_EQ(d.Text("Champ").Rect.Top, 1 + DefaultH + LineH - 1 + 3);
  EXPECT_EQ(d.Text("y").Rect.Top, 1 + DefaultH + LineH + 23 - 1);
  // Only the line of y, ended by "<P>", is centred.
  EXPECT_EQ(d.Canvas.CallsOf(Kind::CopyRect).size(), 1u);
}

TEST_F(HTMLFields, AttributesWrittenLast) {
  EXPECT_EQ(Draw("<INPUT NAME=\"ab.cd\" TYPE=int>").Text("int>").Font.Color, gfx::clWhite);
  try {
    Draw("<INPUT SIZE=5>");
    ADD_FAILURE() << "no error";
  } catch (const rtl::EConvertError& e) {
    EXPECT_EQ(e.Message(), "'5>' n'est pas une valeur entière correcte");
  }
}

TEST_F(HTMLFields, ErrorsOfTheFieldTags) {
  struct Case {
    std::string text, message;
  };
  const Case cases[] = {
      {"<INPUT NAME=\"ab\" TYPE=text>", "Débordement d'entier"},
      {"<IMG SRC=\"\">", "Débordement d'entier"},
      {"<TEXTAREA NAME=\"x\">", "Débordement d'entier"},
      {"<IMG SRC=\"logo.gif\" WIDTH=large>", "'large' n'est pas une valeur entière correcte"},
      {"<TEXTAREA ROWS=deux>", "'deux' n'est pas une valeur entière correcte"},
      {"<INPUT MAXLENGTH=x TYPE=text>", "'x' n'est pas une valeur entière correcte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    html::SetPictureSource(&Pictures);
    Pictures.Files = {{"logo.jpg", {20, 10}}};
    try {
      Draw(c.text + "apres");
      ADD_FAILURE() << "no error";
    } catch (const rtl::Exception& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST_F(HTMLFields, SubmitButtonIsTwentyPixelsWiderThanItsWord) {
  const TDrawn d = Draw("<INPUT TYPE=submit VALUE=\"Envoyer\">x<P>");
  const int w = 7 * 6 + 20;  // "Envoyer" in the fields' font, and 20
  const auto rects = d.Canvas.CallsOf(Kind::Rectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].Rect, gfx::Rect(2, 3, 1 + w - 2, 23));
  EXPECT_EQ(rects[0].Brush.Color, gfx::clBtnFace);
  EXPECT_EQ(d.Canvas.Pixel(1, 24), gfx::clBlack);      // the black bottom edge
  EXPECT_EQ(d.Canvas.Pixel(w, 24 - 1), gfx::clBlack);  // and right edge, at x + w - 1
  EXPECT_EQ(d.Canvas.Pixel(w + 1, 10), gfx::clWhite);
  const Call caption = d.Text("Envoyer");
  EXPECT_EQ(caption.Rect.Left, 1 + 10);
  EXPECT_EQ(caption.Rect.Top, 1 + 18 - 16);
  EXPECT_EQ(caption.Brush.Style, gfx::TBrushStyle::bsClear);
  EXPECT_EQ(d.Text("x").Rect.Left, 1 + w + 4);
  EXPECT_EQ(d.Text("x").Font.Name, "Tahoma");
}

TEST_F(HTMLFields, TextAreaShowsTheTextUpToItsClosingTag) {
  const TDrawn d =
      Draw("<TEXTAREA ROWS=2 COLS=10 NAME=\"Note\">Bonjour tout le monde</textarea>suite");
  // The box is 10 x 8 + 20 = 100 wide and 2 x 16 + 5 = 37 high; its text wraps in 94.
  EXPECT_EQ(d.Text("Bonjour tout ").Rect.Top, 4);
  EXPECT_EQ(d.Text("le monde").Rect.Top, 19);
  // The closing tag is not shown; the text after it starts below the box.
  EXPECT_EQ(d.AllText(), "Bonjour tout le mondesuite");
  EXPECT_EQ(d.Text("suite").Rect.Left, 1);
  EXPECT_EQ(d.Text("suite").Rect.Top, 1 + 37 - 1);
  EXPECT_EQ(d.Result, 1 + 37 + 16 + 20);
}

TEST_F(HTMLFields, WrapLines) {
  gfx::TTestCanvas canvas(10, 10);
  canvas.Font.Name = "Microsoft Sans Serif";
  canvas.Font.SetSize(10);  // 6 pixels a character
  auto width = [&](const char* s) { return canvas.TextWidth(s) + 6; };
  struct Case {
    std::string text;
    int width;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", 100, {""}},
      {"un deux trois", width("un deux "), {"un deux ", "trois"}},
      {"un deux trois", width("un deux trois"), {"un deux trois"}},
      {"abcdefgh", width("abc"), {"abc", "def", "gh"}},
      {"a\rb", 100, {"a", "b"}},
      {"a\r\rb\n", 100, {"a", "", "b"}},  // an empty paragraph is an empty line
      // Narrower than "i": the whole text first, then a character a line.
      {"abc", 0, {"abc", "a", "b", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const html::TableauDeLignes lines = html::WrapLines(canvas, c.width, c.text);
    std::vector<std::string> got;
    for (const auto& l : lines) got.push_back(l.str());
    EXPECT_EQ(got, c.lines);
  }
}

TEST_F(HTMLFields, FieldBoxShowsOnlyTheLinesThatFit) {
  gfx::TTestCanvas canvas(100, 60);
  html::DrawFieldBox(canvas, {0, 0, 40, 20}, "un deux trois quatre");
  const auto texts = canvas.CallsOf(Kind::TextOut);
  ASSERT_EQ(texts.size(), 1u);  // the second line would end at 3 + 15 + 16 > 20
  EXPECT_EQ(texts[0].Text, "un ");
  EXPECT_EQ(canvas.Pixel(0, 10), gfx::clGray);     // left, outside
  EXPECT_EQ(canvas.Pixel(1, 10), gfx::clBlack);    // left, inside
  EXPECT_EQ(canvas.Pixel(20, 20), gfx::clSilver);  // bottom
  EXPECT_EQ(canvas.Pixel(40, 10), gfx::clSilver);  // right
  EXPECT_EQ(canvas.Font, gfx::TFontDesc());        // the font is back
  EXPECT_EQ(canvas.Brush.Style, gfx::TBrushStyle::bsClear);
}

TEST_F(HTMLFields, TagLabelAnchorsAndShadow) {
  struct Case {
    html::TAnchor anchor;
    std::string text;
    gfx::TRect covered;
  };
  // 6-point Tahoma: "abc" is 12 wide, a line 10 high: the label is 18 x 16.
  const Case cases[] = {
      {html::TAnchor::Left, "abc", {50, 20, 50 + 18 + 5, 20 + 16 + 5}},
      {html::TAnchor::Right, "abc", {50 - 18, 20, 50 + 5, 20 + 16 + 5}},
      {html::TAnchor::Center, "abc", {50 - 9, 20, 50 + 9 + 5, 20 + 16 + 5}},
      {html::TAnchor::Left, " ab #13abc ", {50, 20, 50 + 18 + 5, 20 + 26 + 5}},  // trimmed widths
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    gfx::TTestCanvas canvas(120, 80);
    const gfx::TFontDesc font = canvas.Font;
    const gfx::TRect r =
        html::DrawTagLabel(canvas, 50, 20, c.text, 6, 0xE1FFFF, gfx::clPurple, c.anchor);
    EXPECT_EQ(r, c.covered);
    // The shadow covers (X + 3, Y + 3) to (X + 3 + w, Y + 3 + h), both included.
    EXPECT_EQ(canvas.Pixel(r.Right - 2, r.Bottom - 2), 0xBFBFBFu);
    EXPECT_EQ(canvas.Pixel(r.Right - 1, r.Bottom - 1), gfx::clWhite);
    EXPECT_EQ(canvas.Font, font);
  }
}

}  // namespace
