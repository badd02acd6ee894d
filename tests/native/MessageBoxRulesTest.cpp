// The message box's button list, keys and layout, and the markup of its message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/MessageBoxRules.h"

namespace {

// The designed client width, 481, in a fixed single frame of 3 pixels a side.
constexpr int kOuterWidth = 487;

std::vector<std::string> Captions(const dialogs::TBoxLayout& layout) {
  std::vector<std::string> captions;
  for (const auto& b : layout.Buttons) captions.push_back(b.Caption);
  return captions;
}

TEST(MessageBoxButtons, CaptionsKeysAndGlyphNames) {
  struct Case {
    const char* list;
    std::vector<std::string> captions;
    std::string keys;
    std::vector<std::string> glyphs;
  };
  const Case cases[] = {
      {"Oui#13Non", {"&Oui", "&Non"}, "ON", {"Oui", "Non"}},
      {"Non#13Oui", {"&Non", "&Oui"}, "NO", {"Non", "Oui"}},
      {"Ok", {"&Ok"}, "O", {"Ok"}},
      // Spaces around the captions go; only spaces count as blanks.
      {"  Oui #13 Non  ", {"&Oui", "&Non"}, "ON", {"Oui", "Non"}},
      {"\tOui#13Non", {"&\tOui", "&Non"}, "\tN", {"\tOui", "Non"}},
      // Blank entries are skipped and do not take a number.
      {"Oui#13#13Non", {"&Oui", "&Non"}, "ON", {"Oui", "Non"}},
      {"Oui#13Non#13", {"&Oui", "&Non"}, "ON", {"Oui", "Non"}},
      {"#13  #13Oui", {"&Oui"}, "O", {"Oui"}},
      // Carriage returns separate as "#13" does, and "#13" mixes with them.
      {"Oui\rNon\r\rPeut-\xEAtre", {"&Oui", "&Non", "&Peut-\xEAtre"}, "ONP", {"Oui", "Non", "Peut-\xEAtre"}},
      // "&" names the key; the glyph file is named without it.
      {"An&nuler#13Ok", {"An&nuler", "&Ok"}, "NO", {"Annuler", "Ok"}},
      {"A&b&c#13x", {"A&b&c", "&x"}, "BX", {"Abc", "x"}},
      // Only a to z are upper-cased.
      {"oui#13\xE9t\xE9#13" "1er", {"&oui", "&\xE9t\xE9", "&1er"}, "O\xE9" "1", {"oui", "\xE9t\xE9", "1er"}},
      // Both captions start with O: the key is there twice.
      {"Oui#13Ok", {"&Oui", "&Ok"}, "OO", {"Oui", "Ok"}},
      // A caption that ends with "&" has no key; the next button keeps its position.
      {"Fin&#13Non", {"Fin&", "&Non"}, std::string("\0N", 2), {"Fin", "Non"}},
      {"", {}, "", {}},
      {"   #13  ", {}, "", {}},
  };
  for (const Case& c : cases) {
    const dialogs::TBoxLayout layout = dialogs::PlanButtons(c.list, kOuterWidth, 40);
    EXPECT_EQ(Captions(layout), c.captions) << c.list;
    EXPECT_EQ(layout.Keys.str(), c.keys) << c.list;
    std::vector<std::string> glyphs;
    for (const auto& b : layout.Buttons) glyphs.push_back(b.GlyphName);
    EXPECT_EQ(glyphs, c.glyphs) << c.list;
  }
}

TEST(MessageBoxButtons, CaptionsAreCutTo255Characters) {
  const std::string longCaption(300, 'x');
  const dialogs::TBoxLayout layout = dialogs::PlanButtons(longCaption + "#13Non", kOuterWidth, 0);
  ASSERT_EQ(layout.Buttons.size(), 2u);
  EXPECT_EQ(layout.Buttons[0].Caption, "&" + std::string(255, 'x'));
  EXPECT_EQ(layout.Buttons[1].Caption, "&Non");
}

TEST(MessageBoxButtons, RowsAndWindowHeight) {
  struct Case {
    const char* list;
    int outerWidth, messageHeight;
    std::vector<std::pair<int, int>> places;
    int clientHeight;
  };
  const Case cases[] = {
      // Three on a row at 20, 160, 300; the fourth starts a row 30 pixels lower, at x 20.
      {"Un#13Deux#13Trois#13Quatre", kOuterWidth, 40,
       {{20, 55}, {160, 55}, {300, 55}, {20, 85}}, 85 + 27 + 10},
      {"Oui#13Non", kOuterWidth, 40, {{20, 55}, {160, 55}}, 55 + 27 + 10},
      {"A#13B#13C#13D#13E#13F#13G", kOuterWidth, 0,
       {{20, 15}, {160, 15}, {300, 15}, {20, 45}, {160, 45}, {300, 45}, {20, 75}}, 75 + 37},
      // A wider window takes a fourth button on the row: 440 is not past 600 - 145.
      {"Un#13Deux#13Trois#13Quatre", 600, 40, {{20, 55}, {160, 55}, {300, 55}, {440, 55}}, 92},
      // Skipped blanks take no place.
      {"Un#13 #13Deux", kOuterWidth, 40, {{20, 55}, {160, 55}}, 92},
      // No buttons: the window still keeps the room of one row.
      {"", kOuterWidth, 40, {}, 92},
      // A window too narrow for even one button puts each on its own row.
      {"Un#13Deux", 100, 0, {{20, 45}, {20, 75}}, 112},
  };
  for (const Case& c : cases) {
    const dialogs::TBoxLayout layout = dialogs::PlanButtons(c.list, c.outerWidth, c.messageHeight);
    std::vector<std::pair<int, int>> places;
    for (const auto& b : layout.Buttons) places.emplace_back(b.Left, b.Top);
    EXPECT_EQ(places, c.places) << c.list << " in " << c.outerWidth;
    EXPECT_EQ(layout.ClientHeight, c.clientHeight) << c.list << " in " << c.outerWidth;
  }
}

TEST(MessageBoxKeys, TypedCharacterAnswers) {
  struct Case {
    std::string keys;
    char typed;
    int answer;
  };
  const Case cases[] = {
      {"ON", 'n', 2}, {"ON", 'N', 2}, {"ON", 'o', 1}, {"ON", 'x', 0},
      {"NO", 'n', 1}, {"NO", 'o', 2},
      // The first occurrence wins.
      {"OO", 'o', 1},
      {"NO", '\r', 0}, {"NO", '\x1B', 0},
      // Accented letters are not upper-cased: only the same character matches.
      {"\xC9", '\xE9', 0}, {"\xE9", '\xE9', 1},
      {"1N", '1', 1},
      // The position of a button without key never answers the character 0.
      {std::string("\0N", 2), '\0', 0}, {std::string("\0N", 2), 'n', 2},
      {"", 'o', 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(dialogs::KeyAnswer(c.keys, c.typed), c.answer) << c.keys << " " << int(c.typed);
}

TEST(MessageBoxMessage, BreaksBecomeParagraphs) {
  struct Case {
    const char* message;
    const char* markup;
  };
  const Case cases[] = {
      {"Une phrase.#13Une autre.", "Une phrase.<P>Une autre."},
      {"Un\rDeux\r", "Un<P>Deux<P>"},
      {"#13#13", "<P><P>"},
      {"<B>Gras</B>", "<B>Gras</B>"},
      // A line feed is not a break of its own.
      {"Un\nDeux", "Un\nDeux"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(dialogs::MessageMarkup(c.message), c.markup) << c.message;
}

}  // namespace
