// The pictures of the markup on Windows: JPEG files decoded by GDI+, placeholders drawn on a
// GDI bitmap, file names through the file functions. Installed when the program starts, so
// that every text drawn by DrawHTML can show its pictures.
#include "html/HTMLPictures.h"
#include "ui/GdiCanvas.h"
#include "util/FileUtils.h"

namespace html {

namespace {

class TWinPictureSource : public TPictureSource {
public:
  std::string ExpandShortName(const std::string& name) override {
    return util::ExpandShortName(name).str();
  }
  bool FileExists(const std::string& name) override { return util::FileExists(name); }
  std::unique_ptr<gfx::TGraphic> LoadJPEG(const std::string& name) override {
    auto picture = std::make_unique<ui::TJPEGImage>();
    picture->LoadFromFile(name);
    return picture;
  }
  std::unique_ptr<gfx::TGraphic> Paint(int width, int height,
                                       const std::function<void(gfx::TCanvas&)>& paint) override {
    ui::TBitmap bitmap(width, height);
    paint(bitmap.Canvas());
    auto picture = std::make_unique<ui::TJPEGImage>();
    picture->Assign(bitmap);
    return picture;
  }
};

TWinPictureSource WinPictures;
[[maybe_unused]] const bool Installed = (SetPictureSource(&WinPictures), true);

}  // namespace

}  // namespace html
