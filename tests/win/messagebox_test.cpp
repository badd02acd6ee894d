// The message box on real windows: each call is answered by input posted to the box while
// its modal loop runs, as the user's keys and clicks arrive.
#include "ui/Win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/UBM.h"
#include "tests/win/dialog_driver.h"
#include "tests/win/ui_test_util.h"
#include "ui/Application.h"
#include "ui/Buttons.h"

namespace {

using dialogs::FMB;
using dialogs::TFMB;

// What to do with the box once it is up; it runs on the GUI thread, inside the box's modal
// loop, and posts the user's input there.
using TAction = std::function<void(TFMB&)>;

int Ask(const std::string& buttons, TAction action, const std::string& message = "Question ?",
        gfx::TColor color = 0) {
  uitest::TDialogDriver driver(&uitest::MessageBoxUp, [&](HWND) { action(*FMB); });
  const int answer = dialogs::ShowMessageBox("Titre", message, buttons, color);
  EXPECT_TRUE(driver.Acted()) << buttons;
  EXPECT_FALSE(driver.TimedOut()) << buttons;
  return answer;
}

// The user's input, posted to the box.
void Type(TFMB& box, UINT vk) { uitest::PostKey(box.Handle(), vk); }
void TypeChar(TFMB& box, char c) {
  PostMessageA(box.Handle(), WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
}
void CloseBox(TFMB& box) { PostMessageA(box.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }

std::vector<ui::TSpeedButton*> Buttons(TFMB& box) {
  std::vector<ui::TSpeedButton*> buttons;
  for (int i = 0; i < box.ComponentCount(); ++i)
    if (auto* b = dynamic_cast<ui::TSpeedButton*>(box.Components(i))) buttons.push_back(b);
  return buttons;
}

ui::TSpeedButton* Button(TFMB& box, int n) {
  for (ui::TSpeedButton* b : Buttons(box))
    if (b->Name() == "B" + std::to_string(n)) return b;
  return nullptr;
}

void ClickButton(TFMB& box, int n) {
  ui::TSpeedButton* b = Button(box, n);
  ASSERT_NE(b, nullptr) << "B" << n;
  uitest::PostClick(box.Handle(), b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
}

struct MessageBoxTest : ::testing::Test {
  static void SetUpTestSuite() { dialogs::CreateMessageBoxWindow(); }
  void TearDown() override {
    // Every call takes its buttons away again.
    EXPECT_TRUE(Buttons(*FMB).empty());
    EXPECT_FALSE(IsWindowVisible(FMB->Handle()));
  }
};

TEST_F(MessageBoxTest, TheBoxIsCreatedOnceOwnedByTheApplication) {
  TFMB* box = FMB;
  dialogs::CreateMessageBoxWindow();
  EXPECT_EQ(FMB, box);
  EXPECT_EQ(FMB->Owner(), &ui::Application);
  EXPECT_EQ(ui::Application.MainForm(), nullptr);
  EXPECT_EQ(FMB->BorderStyle(), ui::TFormBorderStyle::bsSingle);
  EXPECT_EQ(FMB->Color(), gfx::clWhite);
  EXPECT_EQ(FMB->Font().Name, "Tahoma");
  EXPECT_EQ(FMB->Font().Height, -13);
  EXPECT_EQ(FMB->ClientWidth(), 481);
  EXPECT_FALSE(FMB->Gradient1->Visible());
  EXPECT_EQ(FMB->Gradient1->Anchors(), ui::akRight | ui::akBottom);
  EXPECT_EQ(FMB->Gradient1->Style(), dialogs::gsDiagonalRF);
  EXPECT_EQ(FMB->Gradient1->ColorEnd(), gfx::clAppWorkSpace);
  EXPECT_TRUE(FMB->LeMessage->AutoSize());
}

TEST_F(MessageBoxTest, KeysClicksAndClosingAnswer) {
  struct Case {
    const char* buttons;
    const char* input;
    TAction action;
    int answer;
  };
  const Case cases[] = {
      {"Oui#13Non", "n", [](TFMB& b) { Type(b, 'N'); }, 2},
      {"Oui#13Non", "N (shifted)", [](TFMB& b) { TypeChar(b, 'N'); }, 2},
      {"Oui#13Non", "o", [](TFMB& b) { Type(b, 'O'); }, 1},
      {"  Oui #13 Non  ", "n", [](TFMB& b) { Type(b, 'N'); }, 2},
      {"Oui#13#13Non", "n", [](TFMB& b) { Type(b, 'N'); }, 2},
      {"Oui#13Non#13", "n", [](TFMB& b) { Type(b, 'N'); }, 2},
      {"An&nuler#13Ok", "n", [](TFMB& b) { Type(b, 'N'); }, 1},
      {"An&nuler#13Ok", "o", [](TFMB& b) { Type(b, 'O'); }, 2},
      {"An&nuler#13Ok", "a, then Escape", [](TFMB& b) { Type(b, 'A'); uitest::Pump(50); Type(b, VK_ESCAPE); }, 0},
      {"Oui#13Ok", "o", [](TFMB& b) { Type(b, 'O'); }, 1},
      {"Oui#13Non", "Escape", [](TFMB& b) { Type(b, VK_ESCAPE); }, 0},
      {"Oui#13Non", "closed", [](TFMB& b) { CloseBox(b); }, 0},
      {"Non#13Oui", "Enter", [](TFMB& b) { Type(b, VK_RETURN); }, 1},
      {"Oui#13Non", "click B2", [](TFMB& b) { ClickButton(b, 2); }, 2},
      {"Un#13Deux#13Trois#13Quatre", "click B4", [](TFMB& b) { ClickButton(b, 4); }, 4},
      {"", "Enter", [](TFMB& b) { Type(b, VK_RETURN); }, 1},
      {"  #13 ", "Escape", [](TFMB& b) { Type(b, VK_ESCAPE); }, 0},
      {"", "closed", [](TFMB& b) { CloseBox(b); }, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Ask(c.buttons, c.action), c.answer) << c.buttons << " / " << c.input;
}

TEST_F(MessageBoxTest, AKeyWithoutButtonLeavesTheBoxUp) {
  bool upAfterX = false;
  const int answer = Ask("Oui#13Non", [&](TFMB& box) {
    Type(box, 'X');
    uitest::Pump(100);
    upAfterX = IsWindowVisible(box.Handle());
    Type(box, 'N');
  });
  EXPECT_TRUE(upAfterX);
  EXPECT_EQ(answer, 2);
}

TEST_F(MessageBoxTest, CaptionsNamesAndKeysOfTheButtons) {
  struct Case {
    const char* buttons;
    std::vector<std::string> captions;
    std::string keys;
  };
  const Case cases[] = {
      {"Oui#13Non", {"&Oui", "&Non"}, "ON"},
      {"  Oui #13 Non  ", {"&Oui", "&Non"}, "ON"},
      {"Oui#13#13Non", {"&Oui", "&Non"}, "ON"},
      {"Oui#13Non#13", {"&Oui", "&Non"}, "ON"},
      {"An&nuler#13Ok", {"An&nuler", "&Ok"}, "NO"},
      {"Non\rOui", {"&Non", "&Oui"}, "NO"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> captions, names;
    std::string keys;
    Ask(c.buttons, [&](TFMB& box) {
      for (ui::TSpeedButton* b : Buttons(box)) {
        captions.push_back(b->Caption());
        names.push_back(b->Name());
      }
      keys = box.Keys().str();
      Type(box, VK_ESCAPE);
    });
    EXPECT_EQ(captions, c.captions) << c.buttons;
    EXPECT_EQ(names, (std::vector<std::string>{"B1", "B2"})) << c.buttons;
    EXPECT_EQ(keys, c.keys) << c.buttons;
  }
}

TEST_F(MessageBoxTest, KeysOfAnEarlierCallPlayNoPart) {
  EXPECT_EQ(Ask("Oui#13Non", [](TFMB& b) { Type(b, 'O'); }), 1);
  EXPECT_EQ(Ask("Non#13Oui", [](TFMB& b) { Type(b, 'N'); }), 1);
  EXPECT_EQ(Ask("Non#13Oui", [](TFMB& b) { Type(b, 'O'); }), 2);
  EXPECT_EQ(Ask("Ok", [](TFMB& b) {
              Type(b, 'N');
              uitest::Pump(50);
              Type(b, VK_ESCAPE);
            }),
            0);
}

TEST_F(MessageBoxTest, FourButtonsWrapToASecondRowAndTheWindowGrows) {
  struct Place {
    std::string name;
    int left, top;
  };
  std::vector<Place> places;
  int clientHeight = 0, outerWidth = 0;
  Ask("Un#13Deux#13Trois#13Quatre", [&](TFMB& box) {
    for (ui::TSpeedButton* b : Buttons(box)) {
      places.push_back({b->Name(), b->Left(), b->Top()});
      EXPECT_EQ(b->Width(), 135);
      EXPECT_EQ(b->Height(), 27);
    }
    clientHeight = box.ClientHeight();
    outerWidth = box.Width();
    uitest::Screenshot(box.Handle(), "messagebox-four-buttons.png");
    Type(box, VK_ESCAPE);
  });
  ASSERT_EQ(places.size(), 4u);
  const int row = places[0].top;
  EXPECT_GT(row, 15);
  const std::vector<std::pair<int, int>> expected = {
      {20, row}, {160, row}, {300, row}, {20, row + 30}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(places[i].name, "B" + std::to_string(i + 1));
    EXPECT_EQ(std::make_pair(places[i].left, places[i].top), expected[i]) << places[i].name;
  }
  EXPECT_EQ(clientHeight, row + 30 + 27 + 10);
  EXPECT_EQ(outerWidth - 135 - 10 < 440, true);  // the fourth would not fit at 440

  int oneRowHeight = 0, oneRowTop = 0;
  Ask("Oui#13Non", [&](TFMB& box) {
    oneRowHeight = box.ClientHeight();
    oneRowTop = Button(box, 1)->Top();
    Type(box, VK_ESCAPE);
  });
  EXPECT_EQ(oneRowTop, row);
  EXPECT_EQ(oneRowHeight, clientHeight - 30);
}

TEST_F(MessageBoxTest, BreaksInTheMessageMakeParagraphs) {
  std::string caption;
  int oneLineTop = 0, twoParagraphsTop = 0, messageWidth = 0, messageLeft = 0;
  Ask("Ok", [&](TFMB& box) {
    oneLineTop = Button(box, 1)->Top();
    Type(box, VK_ESCAPE);
  }, "Premi\xE8re phrase. Seconde phrase.");
  Ask("Ok", [&](TFMB& box) {
    caption = box.LeMessage->Caption();
    twoParagraphsTop = Button(box, 1)->Top();
    messageWidth = box.LeMessage->Width();
    messageLeft = box.LeMessage->Left();
    uitest::Screenshot(box.Handle(), "messagebox-paragraphs.png");
    Type(box, VK_ESCAPE);
  }, "Premi\xE8re phrase.#13Seconde phrase.");
  EXPECT_EQ(caption, "Premi\xE8re phrase.<P>Seconde phrase.");
  EXPECT_EQ(messageLeft, 20);
  EXPECT_EQ(messageWidth, 481 - 40);
  // The second sentence starts a line of its own, one line of 10-point text (16 pixels)
  // lower, and the buttons go down with it.
  EXPECT_EQ(twoParagraphsTop - oneLineTop, 16);
}

TEST_F(MessageBoxTest, WithoutMainWindowTheBoxKeepsItsLeftAndTopIs106) {
  ASSERT_EQ(ui::Application.MainForm(), nullptr);
  FMB->SetLeft(300);
  int left = 0, top = 0;
  Ask("Ok", [&](TFMB& box) {
    left = box.Left();
    top = box.Top();
    Type(box, VK_RETURN);
  });
  EXPECT_EQ(left, 300);
  EXPECT_EQ(top, 106);
}

class TMainForm : public ui::TForm {
public:
  explicit TMainForm(ui::TComponent* owner) : TForm(owner) {}
};

TEST_F(MessageBoxTest, TheBoxIsCentredOverTheMainWindowAxisByAxis) {
  struct Case {
    int left, top, width, height;
  };
  for (const Case& c : {Case{100, 150, 700, 600}, Case{50, 60, 200, 100},
                        Case{40, 30, 701, 90}}) {
    TMainForm* main = nullptr;
    ui::Application.CreateForm(main);
    std::unique_ptr<TMainForm> owned(main);
    ASSERT_EQ(ui::Application.MainForm(), main);
    main->SetBounds(c.left, c.top, c.width, c.height);
    main->Show();
    int left = 0, top = 0, width = 0, height = 0;
    Ask("Oui#13Non", [&](TFMB& box) {
      left = box.Left();
      top = box.Top();
      width = box.Width();
      height = box.Height();
      Type(box, VK_ESCAPE);
    });
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    EXPECT_EQ(left, c.width < width ? c.left : c.left + (c.width - width) / 2);
    EXPECT_EQ(top, c.height < height ? c.top : c.top + (c.height - height) / 2);
    // The main window was disabled while the box was up, and is enabled again.
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  }
  EXPECT_EQ(ui::Application.MainForm(), nullptr);
}

TEST_F(MessageBoxTest, StayOnTopFormsOfTheApplicationAreNormalWhileTheBoxIsUp) {
  auto topmost = [](ui::TForm* f) {
    return (GetWindowLongA(f->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  };
  std::unique_ptr<TMainForm> owned(ui::CreateForm<TMainForm>(&ui::Application));
  std::unique_ptr<TMainForm> hidden(ui::CreateForm<TMainForm>(&ui::Application));
  std::unique_ptr<TMainForm> unowned(ui::CreateForm<TMainForm>(nullptr));
  for (TMainForm* f : {owned.get(), hidden.get(), unowned.get()})
    f->SetFormStyle(ui::TFormStyle::fsStayOnTop);
  owned->Show();
  unowned->Show();
  bool ownedOnTop = true, ownedNormal = false, unownedOnTop = false, hiddenStyle = false;
  Ask("Ok", [&](TFMB& box) {
    ownedOnTop = topmost(owned.get());
    ownedNormal = owned->FormStyle() == ui::TFormStyle::fsNormal;
    unownedOnTop = topmost(unowned.get());
    hiddenStyle = hidden->FormStyle() == ui::TFormStyle::fsStayOnTop;
    Type(box, VK_RETURN);
  });
  EXPECT_FALSE(ownedOnTop);
  EXPECT_TRUE(ownedNormal);
  EXPECT_TRUE(unownedOnTop);
  EXPECT_TRUE(hiddenStyle);
  EXPECT_EQ(owned->FormStyle(), ui::TFormStyle::fsStayOnTop);
  EXPECT_TRUE(topmost(owned.get()));
  EXPECT_TRUE(topmost(unowned.get()));
}

TEST_F(MessageBoxTest, ColourHoldsForOneCallOnly) {
  constexpr gfx::TColor yellow = 0x00FFFF;
  gfx::TColor during = 0, pixel = 0;
  Ask("Ok", [&](TFMB& box) {
    during = box.Color();
    pixel = uitest::Snapshot(box.Handle()).Pixel(box.ClientWidth() - 3, box.ClientHeight() - 3);
    Type(box, VK_RETURN);
  }, "Jaune", yellow);
  EXPECT_EQ(during, yellow);
  EXPECT_EQ(pixel, yellow);
  EXPECT_EQ(FMB->Color(), gfx::clWhite);
  // 0 keeps the designed white.
  Ask("Ok", [&](TFMB& box) {
    during = box.Color();
    Type(box, VK_RETURN);
  }, "Blanc", 0);
  EXPECT_EQ(during, gfx::clWhite);
}

// A small 24-bit BMP file of one colour but for its bottom-left pixel, which is white: the
// button takes that pixel's colour as the transparent one.
void WriteBitmapFile(const std::string& name, int size, gfx::TColor color) {
  const int stride = (size * 3 + 3) & ~3;
  const DWORD imageSize = DWORD(stride * size);
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + imageSize;
  info.biSize = sizeof info;
  info.biWidth = size;
  info.biHeight = size;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = imageSize;
  std::string pixels(imageSize, '\0');
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      // Rows go bottom first.
      const gfx::TColor c = x == 0 && y == 0 ? gfx::clWhite : color;
      pixels[std::size_t(y * stride + x * 3)] = char(gfx::GetBValue(c));
      pixels[std::size_t(y * stride + x * 3 + 1)] = char(gfx::GetGValue(c));
      pixels[std::size_t(y * stride + x * 3 + 2)] = char(gfx::GetRValue(c));
    }
  FILE* f = std::fopen(name.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(&file, sizeof file, 1, f);
  std::fwrite(&info, sizeof info, 1, f);
  std::fwrite(pixels.data(), 1, pixels.size(), f);
  std::fclose(f);
}

TEST_F(MessageBoxTest, ABitmapNamedAfterTheCaptionIsTheButtonsGlyph) {
  WriteBitmapFile("Oui.BMP", 16, gfx::clRed);
  WriteBitmapFile("Annuler.BMP", 12, gfx::clBlue);
  // A file that is no bitmap gives no glyph, and the question is asked all the same.
  FILE* f = std::fopen("Non.BMP", "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("pas une image", f);
  std::fclose(f);
  std::vector<int> glyphWidths;
  int redPixels = 0;
  const int answer = Ask("Oui#13Non#13An&nuler#13Peut-\xEAtre", [&](TFMB& box) {
    for (ui::TSpeedButton* b : Buttons(box)) glyphWidths.push_back(b->Glyph().Width());
    const ui::TBitmap shot = uitest::Snapshot(box.Handle());
    const ui::TSpeedButton* oui = Button(box, 1);
    for (int y = oui->Top(); y < oui->Top() + oui->Height(); ++y)
      for (int x = oui->Left(); x < oui->Left() + oui->Width(); ++x)
        if (shot.Pixel(x, y) == gfx::clRed) ++redPixels;
    uitest::Screenshot(box.Handle(), "messagebox-glyph.png");
    Type(box, 'O');
  });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(glyphWidths, (std::vector<int>{16, 0, 12, 0}));
  EXPECT_EQ(redPixels, 16 * 16 - 1);
  for (const char* name : {"Oui.BMP", "Non.BMP", "Annuler.BMP"}) DeleteFileA(name);
}

TEST_F(MessageBoxTest, TheHiddenGripResizesTheBoxWhenDragged) {
  int widthGrowth = 0, heightGrowth = 0, buttonMove = 0, after = 0;
  Ask("Oui#13Non", [&](TFMB& box) {
    // Nothing in the program shows the grip; the test does, to drag it as a user would.
    box.Gradient1->Show();
    const int width = box.Width(), height = box.Height();
    const int buttonTop = Button(box, 1)->Top();
    const int gx = box.Gradient1->Left() + 5, gy = box.Gradient1->Top() + 5;
    const HWND w = box.Handle();
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, uitest::Point(gx, gy));
    PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, uitest::Point(gx + 10, gy + 7));
    PostMessageA(w, WM_LBUTTONUP, 0, uitest::Point(gx + 10, gy + 7));
    uitest::Pump(100);
    widthGrowth = box.Width() - width;
    heightGrowth = box.Height() - height;
    // The buttons follow the bottom edge.
    buttonMove = Button(box, 1)->Top() - buttonTop;
    // Released: moving the pointer changes nothing.
    PostMessageA(w, WM_MOUSEMOVE, 0, uitest::Point(gx + 40, gy + 40));
    uitest::Pump(50);
    after = box.Width() - width;
    box.Gradient1->Hide();
    Type(box, VK_ESCAPE);
  });
  EXPECT_EQ(widthGrowth, 10);
  EXPECT_EQ(heightGrowth, 7);
  EXPECT_EQ(buttonMove, 7);
  EXPECT_EQ(after, 10);
  FMB->SetClientWidth(481);
}

}  // namespace
