// What the message box computes before it touches a window: the markup of its message, and
// from the button list the captions, key characters and places of its buttons.
#pragma once

#include <string>
#include <vector>

#include "rtl/ShortString.h"

namespace dialogs {

// Every button is 135 x 27; a row advances by 135 + 5, a new row starts 27 + 3 lower.
inline constexpr int kBoxButtonWidth = 135, kBoxButtonHeight = 27;
inline constexpr int kBoxButtonGap = 5, kBoxRowGap = 3;
// The margin to the left of the message and of every row, and the space kept below the last
// row (the message's right margin is the same 20 pixels).
inline constexpr int kBoxMargin = 20, kBoxBottomMargin = 10;
// The message starts 5 pixels below the top; the buttons 15 pixels below the message.
inline constexpr int kBoxMessageTop = 5, kBoxButtonsSpacing = 15;

// One button of a call, in list order: button n is the n-th of the vector.
struct TBoxButton {
  std::string Caption;    // as shown: "&" before the key character
  std::string GlyphName;  // the caption without any "&": its glyph file is GlyphName + ".BMP"
  int Left = 0, Top = 0;
};

struct TBoxLayout {
  std::vector<TBoxButton> Buttons;
  // One upper-case key character per button, in button order.
  rtl::ShortString Keys;
  // The client height that holds the message and every row.
  int ClientHeight = 0;
};

// The message as the label takes it: "#13" and carriage returns both start a paragraph.
std::string MessageMarkup(std::string message);

// Lays out the buttons of a list such as "Oui#13Non" below a message messageHeight pixels
// high, in a window outerWidth pixels wide (frame included). Captions are separated by "#13"
// or carriage returns; spaces around them are stripped and blank ones skipped. "&" marks the
// key character, otherwise the first character is the key and gets the "&".
TBoxLayout PlanButtons(std::string buttons, int outerWidth, int messageHeight);

// Upper case as the box's keys use it: only a to z change.
char UpperKey(char c);

// The answer of a typed character: the 1-based position of its first occurrence in keys
// (upper-cased first), or 0 when no button has that key.
int KeyAnswer(const rtl::ShortString& keys, char key);

}  // namespace dialogs
