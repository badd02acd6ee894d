#include "html/HTMLPictures.h"

#include <vector>

#include "rtl/ShortString.h"

namespace html {

namespace {

struct TCacheEntry {
  rtl::ShortString Name;
  std::unique_ptr<gfx::TGraphic> Picture;
};

// In order of creation and searched from the first; nothing leaves it while the program runs.
std::vector<TCacheEntry>& Cache() {
  static std::vector<TCacheEntry> cache;
  return cache;
}

TPictureSource*& Source() {
  static TPictureSource* source = nullptr;
  return source;
}

constexpr const char* MissingText = "introuvable !";

}  // namespace

TPictureSource* SetPictureSource(TPictureSource* source) {
  TPictureSource* previous = Source();
  Source() = source;
  Cache().clear();
  return previous;
}

TPictureSource* PictureSource() { return Source(); }

const gfx::TGraphic* LoadPicture(const std::string& name) {
  TPictureSource* source = Source();
  const rtl::ShortString key(source ? source->ExpandShortName(name) : name);
  for (const TCacheEntry& e : Cache())
    if (e.Name.str() == key.str()) return e.Picture.get();
  // The entry is there before the picture: a file that fails to load stays an empty entry.
  Cache().push_back({key, nullptr});
  if (!source) return nullptr;
  std::unique_ptr<gfx::TGraphic> picture;
  if (source->FileExists(key.str())) {
    picture = source->LoadJPEG(key.str());
  } else {
    picture = source->Paint(PlaceholderWidth, PlaceholderHeight,
                            [&](gfx::TCanvas& canvas) { DrawPlaceholder(canvas, key.str()); });
  }
  // The vector may have moved while the picture was made; the new entry is the last.
  Cache().back().Picture = std::move(picture);
  return Cache().back().Picture.get();
}

void DrawPlaceholder(gfx::TCanvas& canvas, const std::string& name) {
  canvas.Brush = {gfx::clRed, gfx::TBrushStyle::bsDiagCross};
  canvas.FillRect({1, 1, PlaceholderWidth, PlaceholderHeight});
  // The text cells take the brush colour, red, now solid.
  canvas.Brush.Style = gfx::TBrushStyle::bsSolid;
  canvas.Font.Name = "Tahoma";
  canvas.Font.SetSize(14);
  canvas.Font.Style = gfx::fsBold;
  canvas.Font.Color = gfx::clWhite;
  const std::size_t slash = name.find_last_of("\\:");
  const std::string folder = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
  const std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
  const std::pair<std::string, int> lines[] = {{folder, 30}, {file, 60}, {MissingText, 120}};
  for (const auto& [text, y] : lines)
    canvas.TextOut((PlaceholderWidth - canvas.TextWidth(text)) / 2, y, text);
}

void DrawPicture(gfx::TCanvas& canvas, const gfx::TRect& rect, const gfx::TGraphic& picture) {
  canvas.StretchDraw(rect, picture);
}

}  // namespace html
