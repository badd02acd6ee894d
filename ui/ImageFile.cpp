// TImage's picture read from a file, by its extension. The program loads its pictures from
// resources and never calls it: apart, it carries none of it.
#include <cctype>
#include <memory>
#include <string>

#include "ui/ExtCtrls.h"

namespace ui {

void TImage::LoadFromFile(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : fileName.substr(dot);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".jpg" || ext == ".jpeg") {
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->LoadFromFile(fileName);
    SetPicture(std::move(jpeg));
  } else {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromFile(fileName);
    SetPicture(std::move(bitmap));
  }
}

}  // namespace ui
