// The picture and form-field tags of the markup: "<IMG", "<TEXTAREA" and "<INPUT". They draw
// into the flow of the layout and raise its line height by their own.
#pragma once

#include <cstddef>
#include <string_view>

#include "html/HTMLLayout.h"

namespace html {

void DrawImageTag(THTMLLayout& layout, std::string_view t);
// A text area shows the text that follows its tag: index (the scan position after the tag)
// moves past that text and its closing tag.
void DrawTextAreaTag(THTMLLayout& layout, std::string_view t, std::string_view text,
                     std::size_t& index);
void DrawInputTag(THTMLLayout& layout, std::string_view t);

}  // namespace html
