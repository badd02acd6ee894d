// DrawHTML over arbitrary bytes on the test canvas. The first byte chooses the width of the
// band (narrow bands included), the rest is the text. Every call must end, and end either
// normally, with the canvas state given back, or with one of the errors a malformed number
// or a name too short raises; anything else aborts. Pictures come from a few files that
// "exist" and placeholders painted on test canvases.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <memory>
#include <string>

#include "gfx/TestCanvas.h"
#include "html/DrawHTML.h"
#include "html/HTMLPictures.h"
#include "rtl/SysUtils.h"

namespace {

class TFuzzPictures : public html::TPictureSource {
public:
  std::string ExpandShortName(const std::string& name) override { return name; }
  bool FileExists(const std::string& name) override {
    return name == "logo.jpg" || name == "checked.jpg" || name == "coch\xE9.jpg";
  }
  std::unique_ptr<gfx::TGraphic> LoadJPEG(const std::string& name) override {
    return std::make_unique<gfx::TTestGraphic>(static_cast<int>(name.size()) * 7, 13, 0x00FF00);
  }
  std::unique_ptr<gfx::TGraphic> Paint(int w, int h,
                                       const std::function<void(gfx::TCanvas&)>& paint) override {
    gfx::TTestCanvas canvas(1, 1);  // the painting is exercised; its pixels are not needed
    canvas.Record(false);
    paint(canvas);
    return std::make_unique<gfx::TTestGraphic>(w, h, 0x0000FF);
  }
};

TFuzzPictures Pictures;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 4096) return 0;
  const int width = 1 + data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  html::SetPictureSource(&Pictures);  // and an empty cache for every input
  gfx::TTestCanvas canvas(160, 100);
  canvas.Record(false);
  const gfx::TFontDesc font = canvas.Font;
  const gfx::TBrushDesc brush = canvas.Brush;
  const gfx::TPenDesc pen = canvas.Pen;
  try {
    const int result = html::DrawHTML(canvas, 3, 2, width, text, gfx::clWhite);
    if (result < 2 + 20) std::abort();
    if (!(canvas.Font == font) || !(canvas.Brush == brush) || !(canvas.Pen == pen)) std::abort();
  } catch (const rtl::EConvertError&) {
  } catch (const rtl::ERangeError&) {
  } catch (const rtl::EIntOverflow&) {
  }
  return 0;
}
