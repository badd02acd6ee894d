#include "dialogs/MessageBoxRules.h"

#include "util/StrUtils.h"

namespace dialogs {

std::string MessageMarkup(std::string message) {
  util::ReplaceAll("#13", "\r", message, false);
  util::ReplaceAll("\r", "<P>", message, false);
  return message;
}

char UpperKey(char c) {
  return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

TBoxLayout PlanButtons(std::string buttons, int outerWidth, int messageHeight) {
  util::ReplaceAll("#13", "\r", buttons, false);
  if (buttons.empty() || buttons.back() != '\r') buttons += '\r';

  TBoxLayout layout;
  int x = kBoxMargin, y = messageHeight + kBoxButtonsSpacing;
  std::size_t from = 0;
  while (from < buttons.size()) {
    const std::size_t cr = buttons.find('\r', from);
    std::string caption = util::TrimSpaces(rtl::ShortString(buttons.substr(from, cr - from)));
    from = cr + 1;
    if (caption.empty()) continue;

    // Three buttons fit on a row of the designed width: 20, 160 and 300, and 440 + 135 would
    // reach past the frame.
    if (outerWidth - kBoxButtonWidth - 10 < x) {
      x = kBoxMargin;
      y += kBoxButtonHeight + kBoxRowGap;
    }
    const std::size_t amp = caption.find('&');
    if (amp == std::string::npos) {
      layout.Keys += UpperKey(caption[0]);
      caption.insert(0, 1, '&');
    } else {
      // A caption that ends with "&" names no character: its button gets no key, and the
      // buttons after it keep theirs at their own positions.
      layout.Keys += amp + 1 < caption.size() ? UpperKey(caption[amp + 1]) : '\0';
    }
    TBoxButton button;
    button.Caption = caption;
    std::erase(caption, '&');
    button.GlyphName = caption;
    button.Left = x;
    button.Top = y;
    layout.Buttons.push_back(std::move(button));
    x += kBoxButtonWidth + kBoxButtonGap;
  }
  layout.ClientHeight = y + kBoxButtonHeight + kBoxBottomMargin;
  return layout;
}

int KeyAnswer(const rtl::ShortString& keys, char key) {
  if (key == '\0') return 0;
  const std::size_t pos = keys.str().find(UpperKey(key));
  return pos == std::string::npos ? 0 : int(pos) + 1;
}

}  // namespace dialogs
