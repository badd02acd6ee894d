#include "installer/Background.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "bzip2/Bzip2.h"

namespace installer {

namespace {

template <class T>
T ReadAt(const std::string& data, std::size_t offset) {
  T value{};
  std::memcpy(&value, data.data() + offset, sizeof value);
  return value;
}

}  // namespace

bool LoadCompressedPicture(HMODULE module, const char* name, ui::TBitmap& picture) {
  HRSRC resource = FindResourceA(module, name, reinterpret_cast<LPCSTR>(RT_RCDATA));
  if (!resource) return false;
  HGLOBAL loaded = LoadResource(module, resource);
  const auto* bytes = static_cast<const char*>(LockResource(loaded));
  const DWORD size = SizeofResource(module, resource);
  if (!bytes || size == 0) return false;
  const std::string bmp = payload::DecompressPayload(std::string_view(bytes, size));

  // A bottom-up, uncompressed 24-bit .BMP, as the build draws it.
  constexpr std::size_t fileHeader = sizeof(BITMAPFILEHEADER);
  if (bmp.size() < fileHeader + sizeof(BITMAPINFOHEADER) || bmp[0] != 'B' || bmp[1] != 'M')
    return false;
  const auto info = ReadAt<BITMAPINFOHEADER>(bmp, fileHeader);
  const auto pixels = ReadAt<DWORD>(bmp, 10);
  if (info.biBitCount != 24 || info.biCompression != BI_RGB || info.biWidth <= 0 ||
      info.biHeight <= 0)
    return false;
  const int width = info.biWidth, height = info.biHeight;
  const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
  if (pixels + stride * std::size_t(height) > bmp.size()) return false;

  picture.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    const char* row = bmp.data() + pixels + stride * std::size_t(height - 1 - y);
    std::memcpy(picture.ScanLine(y), row, std::size_t(width) * 3);
  }
  return true;
}

}  // namespace installer
