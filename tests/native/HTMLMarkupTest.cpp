// The markup language on its own: reading, normalising and dispatching tags, attributes,
// headings, alignment words, highlight colours and character references.
#include "html/HTMLMarkup.h"

#include <gtest/gtest.h>

#include <string>

#include "rtl/SysUtils.h"
#include "util/StrUtils.h"

namespace {

using html::TTagKind;

TEST(HTMLMarkup, ReadTagStopsAtGreaterOrEndOfText) {
  struct Case {
    std::string text;
    std::size_t start;
    std::string tag;
    std::size_t next;
  };
  const std::string longTag = "<" + std::string(300, 'x') + ">y";
  const Case cases[] = {
      {"<B>x", 0, "<B>", 3},
      {"a<B>", 1, "<B>", 4},
      {"a<B", 1, "<>", 3},       // cut off by the end: the last character makes room for ">"
      {"<ABC", 0, "<AB>", 4},
      {"x<", 1, "<>", 2},        // a "<" closing the text
      {"< b<B>c", 0, "< b<B>", 6},
      {"<>x", 0, "<>", 2},
      {longTag, 0, "<" + std::string(254, 'x'), 302},  // 255 characters kept, the ">" lost
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::size_t index = c.start;
    EXPECT_EQ(html::ReadTag(c.text, index).str(), c.tag);
    EXPECT_EQ(index, c.next);
  }
}

TEST(HTMLMarkup, StrayLessThanIsSplitOff) {
  struct Case {
    std::string tag, stray, rest;
  };
  const Case cases[] = {
      {"< b<B>", "< b", "<B>"},
      {"<B>", "", "<B>"},
      {"<<B>", "<", "<B>"},
      {"< a < b<I>", "< a ", "< b<I>"},  // one split per tag: the rest is read as a tag
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    rtl::ShortString tag(c.tag);
    EXPECT_EQ(html::SplitStrayText(tag).str(), c.stray);
    EXPECT_EQ(tag.str(), c.rest);
  }
}

TEST(HTMLMarkup, NormalisationRemovesSpacesInsideTheBrackets) {
  const std::pair<std::string, std::string> cases[] = {
      {"<  B  >", "<B>"}, {"< /B >", "</B>"}, {"<B class=x>", "<B class=x>"}, {"<b >", "<b>"},
      {"<P  CENTER >", "<P  CENTER>"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(html::NormalizeTag(in).str(), out) << in;
}

TTagKind Classify(const std::string& tag) {
  const std::string t = html::NormalizeTag(tag).str();
  return html::ClassifyTag(t, util::UpperNoAccent(t));
}

TEST(HTMLMarkup, DispatchFollowsTheTableOrder) {
  const std::pair<std::string, TTagKind> cases[] = {
      {"<FONT COLOR=#FF0000>", TTagKind::Font},
      {"<font>", TTagKind::Font},
      {"</Font>", TTagKind::EndFont},
      {"<IMG SRC=\"a.jpg\">", TTagKind::Image},
      {"<HR>", TTagKind::Rule},
      {"<hr width=3>", TTagKind::Rule},
      {"<H1>", TTagKind::Heading},
      {"<H>", TTagKind::Heading},
      {"<HTML>", TTagKind::Ignored},
      {"<HEAD>", TTagKind::Ignored},
      {"<HEADER>", TTagKind::Ignored},
      {"</H1>", TTagKind::EndHeading},
      {"</HR>", TTagKind::EndHeading},  // begins with "</H": it pops the font stack
      {"</HTML>", TTagKind::Ignored},
      {"</head>", TTagKind::Ignored},
      {"<BIG>", TTagKind::Big},
      {"</big>", TTagKind::EndBig},
      {"</BIG x>", TTagKind::Unknown},  // the end of BIG must be exactly "</BIG>"
      {"<BLOCKQUOTE>", TTagKind::Indent},
      {"<DIR>", TTagKind::Indent},
      {"</BLOCKQUOTE>", TTagKind::Outdent},
      {"</dir>", TTagKind::Outdent},
      {"<P>", TTagKind::Paragraph},
      {"<p align=center>", TTagKind::Paragraph},
      {"<PRE>", TTagKind::Paragraph},
      {"<BR>", TTagKind::Paragraph},
      {"<BRAND>", TTagKind::Paragraph},
      {"</P>", TTagKind::Unknown},
      {"</BR>", TTagKind::Unknown},
      {"<B>", TTagKind::Bold},
      {"<b>", TTagKind::Bold},
      {"<b >", TTagKind::Bold},
      {"<B class=x>", TTagKind::Unknown},
      {"</B>", TTagKind::EndBold},
      {"<I>", TTagKind::Italic},
      {"</i>", TTagKind::EndItalic},
      {"<u>", TTagKind::Underline},
      {"</U>", TTagKind::EndUnderline},
      {"<O>", TTagKind::Shadow},
      {"</o>", TTagKind::EndShadow},
      {"<S>", TTagKind::Highlight},
      {"<s#FFFF00>", TTagKind::Highlight},
      {"</S>", TTagKind::EndHighlight},
      {"<TEXTAREA ROWS=2>", TTagKind::TextArea},
      {"<input type=text>", TTagKind::Input},
      {"<BODY>", TTagKind::Ignored},
      {"</BODY>", TTagKind::Ignored},
      {"<!DOCTYPE html>", TTagKind::Ignored},
      {"<!-- x -->", TTagKind::Ignored},
      {"<SPAN class=x>", TTagKind::Ignored},
      {"<DIV>", TTagKind::Ignored},
      {"</DIV>", TTagKind::Ignored},
      {"<Ctrl>", TTagKind::Unknown},
      {"<STRONG>", TTagKind::Unknown},
      {"<>", TTagKind::Unknown},
  };
  for (const auto& [tag, kind] : cases) EXPECT_EQ(Classify(tag), kind) << tag;
}

TEST(HTMLMarkup, FontAttributes) {
  struct Case {
    std::string tag;
    std::string name;
    int size;
    gfx::TColor color;
  };
  // The font before each tag: Tahoma 10 points, black.
  const Case cases[] = {
      {"<FONT Color = #FF0000>", "Tahoma", 10, 0x0000FF},
      {"<Font color=#FF0000>", "Tahoma", 10, 0x0000FF},
      {"<font color=#ff0000>", "Tahoma", 10, 0x0000FF},
      {"<FONT COLOR=#FF SIZE=12>", "Tahoma", 12, 0xFF0000},  // the short form is blue
      {"<FONT SIZE=12 COLOR=#00FF00>", "Tahoma", 12, 0x00FF00},
      {"<FONT FACE=\"Arial\" SIZE=\"14\">", "Arial", 14, 0},
      {"<FONT NAME=\"Verdana\">", "Verdana", 10, 0},
      {"<FONT COLOR=red>", "Tahoma", 10, 0},  // colour names are not understood
      {"<FONT STYLE=bold COLOR=#123456>", "Tahoma", 10, 0x563412},
      {"<FONT FACE=Arial SIZE=12>", "rial SIZE=1", 10, 0},  // unquoted: a nonsense name
      {"<FONT SIZE = \"8\" >", "Tahoma", 8, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    gfx::TFontDesc font;
    font.Name = "Tahoma";
    font.SetSize(10);
    font.Color = 0;
    html::ApplyFontAttributes(html::NormalizeTag(c.tag).str(), font);
    EXPECT_EQ(font.Name, c.name);
    EXPECT_EQ(font.Size(), c.size);
    EXPECT_EQ(font.Color, c.color);
  }
}

TEST(HTMLMarkup, MalformedNumbersRaiseTheConversionError) {
  const std::pair<std::string, std::string> cases[] = {
      {"<FONT SIZE=big>", "'big' n'est pas une valeur entière correcte"},
      {"<FONT COLOR=#GG>", "'$GG' n'est pas une valeur entière correcte"},
      {"<FONT SIZE=>", "'' n'est pas une valeur entière correcte"},
      {"<FONT SIZE=1x COLOR=#FF>", "'1x' n'est pas une valeur entière correcte"},
  };
  for (const auto& [tag, message] : cases) {
    SCOPED_TRACE(tag);
    gfx::TFontDesc font;
    try {
      html::ApplyFontAttributes(tag, font);
      ADD_FAILURE() << "no error";
    } catch (const rtl::EConvertError& e) {
      EXPECT_EQ(e.Message(), message);
    }
  }
  gfx::TFontDesc font;
  EXPECT_THROW(html::ApplyFontAttributes("<FONT COLOR=#FFFFFFFF>", font), rtl::ERangeError);
}

TEST(HTMLMarkup, HeadingSizes) {
  const std::pair<std::string, int> cases[] = {
      {"<H0>", 20}, {"<H1>", 16}, {"<H2>", 12}, {"<H3>", 8}, {"<H4>", 4}, {"<H5>", 0},
      {"<H9 class=x>", -16},
  };
  for (const auto& [tag, size] : cases) EXPECT_EQ(html::HeadingSize(tag), size) << tag;
  try {
    html::HeadingSize("<H>");
    ADD_FAILURE() << "no error";
  } catch (const rtl::EConvertError& e) {
    EXPECT_EQ(e.Message(), "'>' n'est pas une valeur entière correcte");
  }
}

TEST(HTMLMarkup, ParagraphAlignmentTheLastWordWins) {
  using A = html::TAlignment;
  struct Case {
    std::string u;
    A current, expected;
  };
  const Case cases[] = {
      {"<P>", A::Center, A::Center},      {"<P CENTER>", A::Left, A::Center},
      {"<P ALIGN=CENTER>", A::Left, A::Center}, {"<BR RIGHT>", A::Left, A::Right},
      {"<P LEFT>", A::Right, A::Left},    {"<P CENTER LEFT>", A::Right, A::Left},
      {"<P RIGHT CENTER>", A::Left, A::Right},  // tested in the order CENTER, LEFT, RIGHT
  };
  for (const Case& c : cases) EXPECT_EQ(html::ParagraphAlignment(c.u, c.current), c.expected) << c.u;
}

TEST(HTMLMarkup, HighlightColours) {
  struct Case {
    std::string t;
    bool valid;
    gfx::TColor color;
  };
  const Case cases[] = {
      {"<S>", true, 0x99FFFF},        {"<S#FFFF00>", true, 0x00FFFF},
      {"<s#ff>", true, 0xFF0000},     {"<S#XYZ>", false, 0},
      {"<S# 00FF00>", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    gfx::TColor color = 1;
    EXPECT_EQ(html::HighlightColor(c.t, color), c.valid);
    if (c.valid) {
      EXPECT_EQ(color, c.color);
    }
  }
}

TEST(HTMLMarkup, DecodeEntities) {
  struct Case {
    std::string word, decoded;
  };
  const Case cases[] = {
      {"&eacute;t&eacute;", "été"},
      {"&Eacute;", "\xC9"},
      {"&EACUTE;", "&EACUTE;"},        // names are exact in letter case
      {"&amp;eacute;", "é"},           // "&amp;" goes first, the Latin-1 names after it
      {"&amp;lt;", "<"},
      {"&amp;quot;", "&quot;"},        // "&quot;" came before "&amp;"
      {"&lt;B&gt; ", "<B> "},
      {"&nbsp;", "\xA0"},
      {"&iexcl;&copy;&yuml;", "\xA1\xA9\xFF"},
      {"&#233;", "é"},
      {"&#321;", "A"},                 // the low eight bits of the number
      {"&#65;x&#65;&#66;", "AxAB"},
      {"&#38;#38;", "&"},              // the replacement makes another reference
      {"A&#65", "A&#65"},              // no ";": left as it is
      {"x&#65", "x&#65"},
      {"mot ", "mot "},
      {"&#1;x&#257;", "\x01x\x01"},  // the character that the replacing holds occurrences as
  };
  for (const Case& c : cases) {
    rtl::ShortString word(c.word);
    const int lost = html::DecodeEntities(word);
    EXPECT_EQ(word.str(), c.decoded) << c.word;
    EXPECT_EQ(lost, int(c.word.size() - c.decoded.size())) << c.word;
  }
}

TEST(HTMLMarkup, MalformedNumericReferenceIsAConversionError) {
  const std::pair<std::string, std::string> cases[] = {
      {"&#12x;", "'12x' n'est pas une valeur entière correcte"},
      {"&#;", "'' n'est pas une valeur entière correcte"},
      {"&#65 x&#66;", "'65 x&#66' n'est pas une valeur entière correcte"},
  };
  for (const auto& [text, message] : cases) {
    rtl::ShortString word(text);
    try {
      html::DecodeEntities(word);
      ADD_FAILURE() << text;
    } catch (const rtl::EConvertError& e) {
      EXPECT_EQ(e.Message(), message);
    }
  }
}

TEST(HTMLMarkup, AttributeValues) {
  struct Case {
    std::string text;
    enum { Quoted, AutoQuoted, UpToSpace, FileName } how;
    std::string value, rest;
  };
  const Case cases[] = {
      {"\"Arial\" SIZE=2", Case::Quoted, "Arial", " SIZE=2"},
      {"Arial SIZE=2", Case::Quoted, "rial SIZE=", ""},
      {"12 FACE=\"x\"", Case::AutoQuoted, "12", " FACE=\"x\""},
      {"12", Case::AutoQuoted, "12", ""},
      {"\"7\"", Case::AutoQuoted, "7", ""},
      {"text SIZE=3", Case::UpToSpace, "text", "SIZE=3"},
      {"\"logo.gif\" WIDTH=3", Case::FileName, "logo", " WIDTH=3"},
      {"\"Client.nom\">", Case::FileName, "Client", ">"},
      {"\"abc\"", Case::FileName, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    html::TAttributeText attrs(c.text);
    rtl::ShortString value;
    switch (c.how) {
      case Case::Quoted: value = attrs.QuotedValue(); break;
      case Case::AutoQuoted: value = attrs.AutoQuotedValue(); break;
      case Case::UpToSpace: value = attrs.UpToSpaceValue(); break;
      case Case::FileName: value = attrs.FileNameValue(); break;
    }
    EXPECT_EQ(value.str(), c.value);
    EXPECT_EQ(attrs.Text().str(), c.rest);
  }
  html::TAttributeText tooShort("\"ab\" TYPE=text");
  EXPECT_THROW(tooShort.FileNameValue(), rtl::EIntOverflow);
}

}  // namespace
