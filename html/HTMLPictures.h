// Pictures of the markup: the program-wide cache behind "<IMG" and the picture fields, the
// placeholder for a missing file, and the stretch drawing. Files and decoding belong to the
// platform, which provides them through a TPictureSource.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "gfx/Canvas.h"

namespace html {

// What the platform offers: file names, JPEG files and bitmaps to draw on.
class TPictureSource {
public:
  virtual ~TPictureSource() = default;
  // The long form of a name whose last component is a short 8.3 name.
  virtual std::string ExpandShortName(const std::string& name) = 0;
  virtual bool FileExists(const std::string& name) = 0;
  // The picture of a JPEG file; a file that cannot be read raises the platform's error.
  virtual std::unique_ptr<gfx::TGraphic> LoadJPEG(const std::string& name) = 0;
  // A picture of the given size: a white bitmap on which paint draws.
  virtual std::unique_ptr<gfx::TGraphic> Paint(int width, int height,
                                               const std::function<void(gfx::TCanvas&)>& paint) = 0;
};

// Installs the source the pictures come from (the Win32 side installs its own at start);
// nullptr means none: no file exists and no picture can be made. Returns the previous one.
// The cache is emptied, since its pictures came from the previous source.
TPictureSource* SetPictureSource(TPictureSource* source);
TPictureSource* PictureSource();

// The picture of a file: loaded on first use and kept for the rest of the program; a file
// that does not exist gives a placeholder naming it, kept under that name as well (a file
// created later is not seen). nullptr when no picture could be made.
const gfx::TGraphic* LoadPicture(const std::string& name);

// The placeholder of a missing file: its folder, its name and "introuvable !" in white on a
// red hatched picture of 300 x 200.
inline constexpr int PlaceholderWidth = 300, PlaceholderHeight = 200;
void DrawPlaceholder(gfx::TCanvas& canvas, const std::string& name);

// Draws the picture stretched to fill the rectangle. On devices of fewer than 8 colour bits
// an enlarged picture could be halftoned; a plain stretch serves every device.
void DrawPicture(gfx::TCanvas& canvas, const gfx::TRect& rect, const gfx::TGraphic& picture);

}  // namespace html
