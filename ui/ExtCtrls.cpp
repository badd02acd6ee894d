#include "ui/ExtCtrls.h"

namespace ui {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  FWidth = 105;
  FHeight = 105;
}

void TImage::SetPicture(std::unique_ptr<TGdiGraphic> picture) {
  FPicture = std::move(picture);
  PictureChanged();
}

void TImage::PictureChanged() {
  if (FAutoSize && FPicture && !FPicture->Empty())
    SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
  Invalidate();
}

void TImage::SetAutoSize(bool value) {
  FAutoSize = value;
  if (value) PictureChanged();
}

void TImage::SetStretch(bool value) {
  FStretch = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  FCenter = value;
  Invalidate();
}

void TImage::Paint() {
  if (!FPicture || FPicture->Empty()) return;
  gfx::TRect dest = ClientRect();
  if (!FStretch) {
    const int w = FPicture->Width(), h = FPicture->Height();
    const int left = FCenter ? (FWidth - w) / 2 : 0, top = FCenter ? (FHeight - h) / 2 : 0;
    dest = gfx::Bounds(left, top, w, h);
  }
  Canvas().StretchDraw(dest, *FPicture);
}

}  // namespace ui
