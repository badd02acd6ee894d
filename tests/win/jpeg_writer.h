// Pictures for the tests that load JPEG files: written by GDI+'s own encoder, the decoder that
// the program itself uses.
#pragma once

// clang-format off
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
// clang-format on
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/GdiCanvas.h"

namespace uitest {

// Writes a JPEG of one colour. The name is CP1252, as the program's.
inline void WriteJpeg(const std::string& name, int w, int h, gfx::TColor color) {
  namespace gp = Gdiplus::DllExports;
  ui::TBitmap b(w, h);
  b.Canvas().Brush.Color = color;
  b.Canvas().FillRect(gfx::Rect(0, 0, w, h));
  ui::SaveToPNG(b, "tmp.png");  // starts GDI+ for this process
  Gdiplus::GpBitmap* image = nullptr;
  ASSERT_EQ(gp::GdipCreateBitmapFromFile(L"tmp.png", &image), Gdiplus::Ok);
  UINT count = 0, bytes = 0;
  gp::GdipGetImageEncodersSize(&count, &bytes);
  std::vector<std::uint8_t> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  gp::GdipGetImageEncoders(count, bytes, codecs);
  const CLSID* jpeg = nullptr;
  for (UINT i = 0; i < count; ++i)
    if (std::wstring(codecs[i].MimeType) == L"image/jpeg") jpeg = &codecs[i].Clsid;
  ASSERT_NE(jpeg, nullptr);
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide, MAX_PATH);
  EXPECT_EQ(gp::GdipSaveImageToFile(image, wide, jpeg, nullptr), Gdiplus::Ok);
  gp::GdipDisposeImage(image);
}

}  // namespace uitest
