// DrawHTML over arbitrary bytes on the test canvas. The first byte chooses the width of the
// band (narrow bands included), the rest is the text. Every call must end, and end either
// normally, with the canvas state given back, or with one of the errors a malformed number
// raises; anything else aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "gfx/TestCanvas.h"
#include "html/DrawHTML.h"
#include "rtl/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 4096) return 0;
  const int width = 1 + data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  gfx::TTestCanvas canvas(300, 200);
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
