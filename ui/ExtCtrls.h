// The picture control.
#pragma once

#include <memory>
#include <string>

#include "ui/Controls.h"

namespace ui {

// A windowless control that shows a picture (bitmap or JPEG) at its top-left corner, centred
// or stretched over its area. With AutoSize it takes the picture's size.
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* owner);

  const TGdiGraphic* Picture() const { return FPicture.get(); }
  void SetPicture(std::unique_ptr<TGdiGraphic> picture);
  // A .jpg or .jpeg file is read as JPEG, anything else as a bitmap.
  void LoadFromFile(const std::string& fileName);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool value);
  bool Center() const { return FCenter; }
  void SetCenter(bool value);

protected:
  void Paint() override;

private:
  void PictureChanged();

  std::unique_ptr<TGdiGraphic> FPicture;
  bool FAutoSize = false;
  bool FStretch = false;
  bool FCenter = false;
};

}  // namespace ui
