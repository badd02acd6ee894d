#include "html/HTMLMarkup.h"

#include <algorithm>
#include <array>

#include "rtl/SysUtils.h"
#include "util/StrUtils.h"

namespace html {

namespace {

// Every tag goes through the dispatch's twenty-odd tests against literals; compared in place,
// character by character, a literal costs no length count and no call, and most tests end at
// the second character.
template <std::size_t N>
bool BeginsWith(std::string_view s, const char (&prefix)[N]) {
  if (s.size() < N - 1) return false;
  for (std::size_t i = 0; i + 1 < N; ++i)
    if (s[i] != prefix[i]) return false;
  return true;
}

template <std::size_t N>
bool Is(std::string_view s, const char (&text)[N]) {
  return s.size() == N - 1 && BeginsWith(s, text);
}

template <std::size_t N>
bool Contains(std::string_view s, const char (&part)[N], std::size_t from = 0) {
  return s.find(std::string_view(part, N - 1), from) != std::string_view::npos;
}

struct TEntity {
  const char* Name;
  unsigned char Code;
};

// The named references, replaced one after the other in this order: "&amp;" comes early, so
// "&amp;eacute;" gives "&eacute;" and then an e acute, while "&lt;" and "&gt;" come last.
constexpr std::array<TEntity, 100> Entities{{
    {"&quot;", 34}, {"&amp;", 38}, {"&nbsp;", 160},
    {"&iexcl;", 161}, {"&cent;", 162}, {"&pound;", 163}, {"&curren;", 164}, {"&yen;", 165},
    {"&brvbar;", 166}, {"&sect;", 167}, {"&uml;", 168}, {"&copy;", 169}, {"&ordf;", 170},
    {"&laquo;", 171}, {"&not;", 172}, {"&shy;", 173}, {"&reg;", 174}, {"&macr;", 175},
    {"&deg;", 176}, {"&plusmn;", 177}, {"&sup2;", 178}, {"&sup3;", 179}, {"&acute;", 180},
    {"&micro;", 181}, {"&para;", 182}, {"&middot;", 183}, {"&cedil;", 184}, {"&sup1;", 185},
    {"&ordm;", 186}, {"&raquo;", 187}, {"&frac14;", 188}, {"&frac12;", 189}, {"&frac34;", 190},
    {"&iquest;", 191}, {"&Agrave;", 192}, {"&Aacute;", 193}, {"&Acirc;", 194}, {"&Atilde;", 195},
    {"&Auml;", 196}, {"&Aring;", 197}, {"&AElig;", 198}, {"&Ccedil;", 199}, {"&Egrave;", 200},
    {"&Eacute;", 201}, {"&Ecirc;", 202}, {"&Euml;", 203}, {"&Igrave;", 204}, {"&Iacute;", 205},
    {"&Icirc;", 206}, {"&Iuml;", 207}, {"&ETH;", 208}, {"&Ntilde;", 209}, {"&Ograve;", 210},
    {"&Oacute;", 211}, {"&Ocirc;", 212}, {"&Otilde;", 213}, {"&Ouml;", 214}, {"&times;", 215},
    {"&Oslash;", 216}, {"&Ugrave;", 217}, {"&Uacute;", 218}, {"&Ucirc;", 219}, {"&Uuml;", 220},
    {"&Yacute;", 221}, {"&THORN;", 222}, {"&szlig;", 223}, {"&agrave;", 224}, {"&aacute;", 225},
    {"&acirc;", 226}, {"&atilde;", 227}, {"&auml;", 228}, {"&aring;", 229}, {"&aelig;", 230},
    {"&ccedil;", 231}, {"&egrave;", 232}, {"&eacute;", 233}, {"&ecirc;", 234}, {"&euml;", 235},
    {"&igrave;", 236}, {"&iacute;", 237}, {"&icirc;", 238}, {"&iuml;", 239}, {"&eth;", 240},
    {"&ntilde;", 241}, {"&ograve;", 242}, {"&oacute;", 243}, {"&ocirc;", 244}, {"&otilde;", 245},
    {"&ouml;", 246}, {"&divide;", 247}, {"&oslash;", 248}, {"&ugrave;", 249}, {"&uacute;", 250},
    {"&ucirc;", 251}, {"&uuml;", 252}, {"&yacute;", 253}, {"&thorn;", 254}, {"&yuml;", 255},
    {"&lt;", 60}, {"&gt;", 62},
}};

}  // namespace

// Read one character at a time, the tag would end at the first ">" after the "<"; when the
// last character of the text is read first, that character gives way to a closing ">".
rtl::ShortString ReadTag(std::string_view text, std::size_t& index) {
  const std::size_t last = text.size() - 1;
  if (index >= last) {
    // A "<" closing the text: the character past the end is dropped for the ">".
    index = text.size();
    return rtl::ShortString("<>");
  }
  const std::size_t gt = text.find('>', index + 1);
  if (gt != std::string_view::npos && gt < last) {
    rtl::ShortString tag(text.substr(index, gt + 1 - index));
    index = gt + 1;
    return tag;
  }
  rtl::ShortString tag(text.substr(index));
  tag.SetLength(tag.size() - 1);
  tag += '>';
  index = text.size();
  return tag;
}

rtl::ShortString SplitStrayText(rtl::ShortString& tag) {
  const std::size_t second = tag.str().find('<', 1);
  if (second == std::string::npos) return {};
  rtl::ShortString stray(std::string_view(tag.str()).substr(0, second));
  tag = std::string_view(tag.str()).substr(second);
  return stray;
}

// One pass gives what replacing "< " by "<" and " >" by ">" until neither is left gives:
// every run of spaces right after a "<" or right before a ">" goes.
rtl::ShortString NormalizeTag(rtl::ShortString tag) {
  const std::string& s = tag.str();
  if (s.find(' ') == std::string::npos) return tag;
  std::string t;
  t.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    if (s[i] != ' ') {
      t += s[i++];
      continue;
    }
    std::size_t j = i;
    while (j < s.size() && s[j] == ' ') ++j;
    const bool afterLess = !t.empty() && t.back() == '<';
    const bool beforeGreater = j < s.size() && s[j] == '>';
    if (!afterLess && !beforeGreater) t.append(j - i, ' ');
    i = j;
  }
  return t;
}

TTagKind ClassifyTag(std::string_view t, std::string_view u) {
  if (BeginsWith(u, "<FONT")) return TTagKind::Font;
  if (BeginsWith(u, "</FONT")) return TTagKind::EndFont;
  if (BeginsWith(u, "<IMG")) return TTagKind::Image;
  if (BeginsWith(u, "<HR")) return TTagKind::Rule;
  if (BeginsWith(u, "<H"))
    return BeginsWith(u, "<HTML") || BeginsWith(u, "<HEAD") ? TTagKind::Ignored : TTagKind::Heading;
  if (BeginsWith(u, "</H"))
    return BeginsWith(u, "</HTML") || BeginsWith(u, "</HEAD") ? TTagKind::Ignored
                                                                : TTagKind::EndHeading;
  if (BeginsWith(u, "<BIG")) return TTagKind::Big;
  if (Is(u, "</BIG>")) return TTagKind::EndBig;
  if (BeginsWith(u, "<BLOCKQUOTE") || BeginsWith(u, "<DIR")) return TTagKind::Indent;
  if (BeginsWith(u, "</BLOCKQUOTE") || BeginsWith(u, "</DIR")) return TTagKind::Outdent;
  if (BeginsWith(u, "<P") || BeginsWith(u, "<BR")) return TTagKind::Paragraph;
  if (Is(t, "<B>") || Is(t, "<b>")) return TTagKind::Bold;
  if (Is(t, "</B>") || Is(t, "</b>")) return TTagKind::EndBold;
  if (Is(t, "<I>") || Is(t, "<i>")) return TTagKind::Italic;
  if (Is(t, "</I>") || Is(t, "</i>")) return TTagKind::EndItalic;
  if (Is(t, "<U>") || Is(t, "<u>")) return TTagKind::Underline;
  if (Is(t, "</U>") || Is(t, "</u>")) return TTagKind::EndUnderline;
  if (Is(t, "<O>") || Is(t, "<o>")) return TTagKind::Shadow;
  if (Is(t, "</O>") || Is(t, "</o>")) return TTagKind::EndShadow;
  if (Contains(t, "<S>") || Contains(t, "<s>") || Contains(t, "<S#") || Contains(t, "<s#"))
    return TTagKind::Highlight;
  if (Is(t, "</S>") || Is(t, "</s>")) return TTagKind::EndHighlight;
  if (BeginsWith(u, "<TEXTAREA")) return TTagKind::TextArea;
  if (BeginsWith(u, "<INPUT")) return TTagKind::Input;
  if (Contains(u, "SPAN", 1) || Contains(u, "BODY", 1) || Contains(u, "DIV", 1) ||
      BeginsWith(u, "<!"))
    return TTagKind::Ignored;
  return TTagKind::Unknown;
}

gfx::TColor MarkupColor(std::int32_t n) {
  const auto v = static_cast<std::uint32_t>(n);
  return ((v & 0xFF) << 16) + (v & 0xFF00) + ((v & 0xFF0000) >> 16);
}

void ApplyFontAttributes(std::string_view t, gfx::TFontDesc& font) {
  TAttributeText attrs = TAttributeText::Prepared(t, 5);
  while (!attrs.Empty()) {
    if (attrs.TakeName("COLOR=")) {
      rtl::ShortString value = attrs.UpToSpaceValue();
      // A colour name is not understood and leaves the colour as it is.
      if (!value.empty() && value[0] == '#') {
        value[0] = '$';
        const std::int32_t n = rtl::StrToInt(value.str());
        if (n < 0) throw rtl::ERangeError();
        font.Color = MarkupColor(n);
      }
    } else if (attrs.TakeName("FACE=") || attrs.TakeName("NAME=")) {
      font.Name = attrs.QuotedValue().str();
    } else if (attrs.TakeName("SIZE=")) {
      font.SetSize(rtl::StrToInt(attrs.AutoQuotedValue().str()));
    } else {
      attrs.SkipUnknown();
    }
    attrs.Trim();
  }
}

int HeadingSize(std::string_view t) {
  const std::string_view digit = t.size() > 2 ? t.substr(2, 1) : std::string_view();
  return (5 - rtl::StrToInt(digit)) * 4;
}

TAlignment ParagraphAlignment(std::string_view u, TAlignment current) {
  if (Contains(u, "CENTER")) current = TAlignment::Center;
  if (Contains(u, "LEFT")) current = TAlignment::Left;
  if (Contains(u, "RIGHT")) current = TAlignment::Right;
  return current;
}

bool HighlightColor(std::string_view t, gfx::TColor& color) {
  std::string_view rest = t.size() > 2 ? t.substr(2) : std::string_view();
  rest = rest.substr(0, rest.find('>'));
  std::string value = util::TrimSpaces(std::string(rest));
  if (value.empty()) {
    color = 0x99FFFF;
    return true;
  }
  for (char& c : value)
    if (c == '#') c = '$';
  std::int32_t n = 0;
  if (!rtl::TryStrToInt(value, n)) return false;
  color = MarkupColor(n);
  return true;
}

int DecodeEntities(rtl::ShortString& word, int maxLength) {
  const std::size_t before = word.size();
  // Nothing can match without an "&"; a stray marker character would still be consumed by
  // the first replacement, so such a word takes the long way too.
  if (std::none_of(word.str().begin(), word.str().end(),
                   [](char c) { return c == '&' || c == util::Marker; }))
    return 0;
  for (const TEntity& e : Entities) {
    if (word.str().find(e.Name) == std::string::npos &&
        word.str().find(util::Marker) == std::string::npos)
      continue;
    util::ReplaceAll(e.Name, std::string(1, static_cast<char>(e.Code)), word, maxLength, true);
  }
  // Numeric references: the text from "&#" to the next ";" names one character (the low
  // eight bits of its number), and every copy of that reference in the word is replaced.
  // A reference with no ";" after it stays as it is; without that, the search would never
  // end. Each pass shortens the word, so the loop ends.
  for (std::size_t amp; (amp = word.str().find("&#")) != std::string::npos;) {
    const std::size_t semi = word.str().find(';', amp);
    if (semi == std::string::npos) break;
    const std::string reference = word.str().substr(amp, semi - amp);
    const std::int32_t code = rtl::StrToInt(std::string_view(reference).substr(2));
    const char c = static_cast<char>(code & 0xFF);
    const std::string find = reference + ";";
    if (c == util::Marker) {
      // ReplaceAll holds each occurrence as this very character between its two passes:
      // given it as the replacement, it would never end ("&#1;", "&#257;").
      std::string text = word.str();
      for (std::size_t p = text.find(find); p != std::string::npos; p = text.find(find, p + 1))
        text.replace(p, find.size(), 1, c);
      word = text;
    } else {
      util::ReplaceAll(find, std::string(1, c), word, maxLength, true);
    }
  }
  return static_cast<int>(before) - static_cast<int>(word.size());
}

TAttributeText TAttributeText::Prepared(std::string_view t, std::size_t skip) {
  std::string text(t.substr(std::min(skip, t.size())));
  for (char& c : text)
    if (c == '>') c = ' ';
  TAttributeText attrs(text);
  attrs.CollapseEquals();
  attrs.Trim();
  return attrs;
}

void TAttributeText::CollapseEquals() {
  // Both forms are removed until neither is left: "a  =  b" becomes "a=b".
  std::string text = FText.str();
  for (;;) {
    std::size_t p = text.find(" =");
    if (p != std::string::npos) {
      text.erase(p, 1);
      continue;
    }
    p = text.find("= ");
    if (p == std::string::npos) break;
    text.erase(p + 1, 1);
  }
  FText = text;
}

void TAttributeText::Trim() { util::TrimSpacesInPlace(FText); }

bool TAttributeText::RemoveWord(std::string_view word) {
  const std::size_t p = FText.str().find(word);
  if (p == std::string::npos) return false;
  FText.Delete(p + 1, word.size());
  return true;
}

bool TAttributeText::TakeName(std::string_view name) {
  if (FText.size() < name.size()) return false;
  if (util::UpperNoAccent(FText.str().substr(0, name.size())) != name) return false;
  FText.Delete(1, name.size());
  return true;
}

std::string TAttributeText::TakeQuoted() {
  const std::string& text = FText.str();
  std::size_t taken = 0;
  int quotes = 0;
  while (taken < text.size() && quotes < 2)
    if (text[taken++] == '"') ++quotes;
  std::string value = text.substr(0, taken);
  FText.Delete(1, taken);
  return value;
}

rtl::ShortString TAttributeText::QuotedValue() {
  std::string value = TakeQuoted();
  if (!value.empty()) value.erase(0, 1);
  if (!value.empty()) value.pop_back();
  return value;
}

rtl::ShortString TAttributeText::AutoQuotedValue() {
  if (FText.empty() || FText[0] != '"') {
    FText.Insert("\"", 1);
    const std::size_t space = FText.str().find(' ');
    if (space == std::string::npos) FText += '"';
    else FText.Insert("\"", space + 1);
  }
  return QuotedValue();
}

rtl::ShortString TAttributeText::UpToSpaceValue() {
  const std::size_t space = FText.str().find(' ');
  rtl::ShortString value(std::string_view(FText.str()).substr(0, space));
  FText.Delete(1, space == std::string::npos ? FText.size() : space + 1);
  return value;
}

rtl::ShortString TAttributeText::FileNameValue() {
  std::string value = TakeQuoted();
  if (!value.empty()) value.erase(0, 1);
  if (value.size() < 4) throw rtl::EIntOverflow();
  value.resize(value.size() >= 5 ? value.size() - 5 : 0);
  return value;
}

void TAttributeText::SkipUnknown() {
  const std::size_t space = FText.str().find(' ');
  FText.Delete(1, space == std::string::npos ? FText.size() : space);
}

}  // namespace html
