#include "html/HTMLFields.h"

namespace html {

// The field tags are previews of forms; until pictures can be loaded they show nothing.
void DrawImageTag(THTMLLayout&, std::string_view) {}

void DrawTextAreaTag(THTMLLayout&, std::string_view, std::string_view, std::size_t&) {}

void DrawInputTag(THTMLLayout&, std::string_view) {}

}  // namespace html
