// The markup language of the system's rich texts: reading a tag out of a text, its
// normalisation, the dispatch table, the attributes of FONT and of the field tags, and the
// character references. The renderer (DrawHTML) applies the effects; this unit only reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/Types.h"
#include "rtl/ShortString.h"

namespace html {

// What a tag does, in the order the dispatch tests run: the first test that matches wins.
enum class TTagKind {
  Font, EndFont, Image, Rule, Heading, EndHeading, Big, EndBig, Indent, Outdent, Paragraph,
  Bold, EndBold, Italic, EndItalic, Underline, EndUnderline, Shadow, EndShadow, Highlight,
  EndHighlight, TextArea, Input, Ignored, Unknown
};

// Alignment of the lines that follow a paragraph tag.
enum class TAlignment : char { Left = 'L', Center = 'C', Right = 'R' };

// Reads the tag that starts at text[index] (a "<") and moves index past its ">". A tag runs
// to the next ">"; one that the end of the text cuts off loses its last character for a
// closing ">" ("<B" at the very end reads "<>"). At most 255 characters are kept.
rtl::ShortString ReadTag(std::string_view text, std::size_t& index);

// A "<" inside a tag means the first one was a plain character ("a < b<B>" reads "< b<B>"):
// returns what stands before the second "<" and leaves the rest in the tag. Returns an empty
// text when there is no second "<".
rtl::ShortString SplitStrayText(rtl::ShortString& tag);

// Removes the spaces after "<" and before ">": "<  B  >" becomes "<B>".
rtl::ShortString NormalizeTag(rtl::ShortString tag);

// The dispatch on the normalised tag T and its UpperNoAccent form U.
TTagKind ClassifyTag(std::string_view t, std::string_view u);

// Markup colours are written red first (#RRGGBB); the platform keeps red in the low byte.
gfx::TColor MarkupColor(std::int32_t n);

// Applies the attributes of a FONT tag (COLOR, FACE or NAME, SIZE) to the font. Raises the
// conversion error for a malformed number and the range error for a negative colour.
void ApplyFontAttributes(std::string_view t, gfx::TFontDesc& font);

// The point size of a heading tag: (5 - d) * 4 for "<Hd". Raises the conversion error when
// the third character is not a digit.
int HeadingSize(std::string_view t);

// The alignment named by a paragraph tag, or the current one when it names none.
TAlignment ParagraphAlignment(std::string_view u, TAlignment current);

// The background colour of a highlight tag: $99FFFF for "<S>", the colour of "<S#RRGGBB>".
// Returns false when the value is not a number (the tag is then ignored).
bool HighlightColor(std::string_view t, gfx::TColor& color);

// Replaces the named and numeric character references of one word in place and returns how
// many characters the word lost. maxLength bounds the word as every insertion into it does.
int DecodeEntities(rtl::ShortString& word, int maxLength = 255);

// The attribute text of a tag, consumed from the front one attribute at a time. Names are
// matched case-insensitively; values keep their case.
class TAttributeText {
public:
  explicit TAttributeText(std::string_view text) : FText(text) {}

  // The usual preparation: the tag name (its first skip characters) dropped, every ">" made
  // a space, spaces around "=" removed, trimmed.
  static TAttributeText Prepared(std::string_view t, std::size_t skip);

  void CollapseEquals();
  void Trim();
  bool Empty() const { return FText.empty(); }
  const rtl::ShortString& Text() const { return FText; }
  // Removes the first occurrence of a word, exact case; tells whether there was one.
  bool RemoveWord(std::string_view word);

  // When the text begins with name (any case), removes it and returns true.
  bool TakeName(std::string_view name);
  // Reads to the second double quote and drops the first and the last character taken.
  rtl::ShortString QuotedValue();
  // Puts double quotes around the text up to the next space when it does not start with one,
  // then reads a quoted value.
  rtl::ShortString AutoQuotedValue();
  // Reads to the next space (or the end) and removes the value with that space.
  rtl::ShortString UpToSpaceValue();
  // Reads a quoted value as a file name: the opening quote is dropped, then the last five
  // characters (the closing quote and a four-character extension, or four characters of a
  // name). Fewer than four characters left raise the integer-overflow error.
  rtl::ShortString FileNameValue();
  // Skips an unknown attribute: everything up to, not including, the next space.
  void SkipUnknown();

private:
  // Takes the text up to and including the second double quote (or all of it).
  std::string TakeQuoted();

  rtl::ShortString FText;
};

}  // namespace html
