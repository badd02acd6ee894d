// Components, controls and windowless controls. The windowed control is in WinControl.cpp.
#include "ui/Controls.h"

#include <algorithm>

namespace ui {

// ---------------------------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
  if (owner) {
    owner->FComponents.push_back(this);
    FLoading = owner->FLoading;
  }
}

TComponent::~TComponent() {
  FAlive.reset();
  DestroyComponents();
  if (FOwner) {
    auto& list = FOwner->FComponents;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

void TComponent::DestroyComponents() {
  // Each component removes itself from the list as it goes.
  while (!FComponents.empty()) delete FComponents.back();
}

void TComponent::FinishLoading() {
  // A copy: Loaded() may create components.
  const std::vector<TComponent*> owned = FComponents;
  for (TComponent* c : owned) c->FinishLoading();
  if (FLoading) {
    FLoading = false;
    Loaded();
  }
}

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() { TControl::SetParent(nullptr); }

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (FParent) {
    TControl::Invalidate();
    FParent->RemoveControl(this);
  }
  FParent = parent;
  if (!parent) return;
  parent->InsertControl(this);
  if (FParentFont) ParentFontChanged();
  if (FParentColor) ParentColorChanged();
  UpdateAnchorRules();
  if (FAlign != TAlign::alNone) parent->AlignControls();
  TControl::Invalidate();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  TControl::Invalidate();  // the area it leaves
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  UpdateAnchorRules();
  TControl::Invalidate();
  // An aligned control keeps the place its alignment gives it, whatever size it asks for.
  if (FAlign != TAlign::alNone && FParent && !FParent->FAligning) FParent->AlignControls();
  BoundsChanged();
}

void TControl::UpdateAnchorRules() {
  if (!FParent) return;
  FRightMargin = FParent->FLayoutWidth - (FLeft + FWidth);
  FBottomMargin = FParent->FLayoutHeight - (FTop + FHeight);
}

void TControl::FollowParent(int parentWidth, int parentHeight) {
  int left = FLeft, top = FTop, width = FWidth, height = FHeight;
  if (FAnchors & akRight) {
    if (FAnchors & akLeft)
      width = std::max(0, parentWidth - FRightMargin - left);
    else
      left = parentWidth - FRightMargin - width;
  }
  if (FAnchors & akBottom) {
    if (FAnchors & akTop)
      height = std::max(0, parentHeight - FBottomMargin - top);
    else
      top = parentHeight - FBottomMargin - height;
  }
  // The margins stay those of the layout basis, even when a width stopped at 0.
  const int right = FRightMargin, bottom = FBottomMargin;
  SetBounds(left, top, width, height);
  FRightMargin = right;
  FBottomMargin = bottom;
}

void TControl::SetAnchors(TAnchors anchors) {
  FAnchors = anchors;
  UpdateAnchorRules();
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  if (FParent) FParent->AlignControls();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  if (FVisible) TControl::Invalidate();
  FVisible = visible;
  if (FVisible) TControl::Invalidate();
  VisibleChanged();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  EnabledChanged();
}

void TControl::SetColor(gfx::TColor color) {
  FParentColor = false;
  if (color == FColor) return;
  FColor = color;
  ColorChanged();
}

void TControl::SetParentColor(bool value) {
  FParentColor = value;
  if (value && FParent) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (FColor == FParent->FColor) return;
  FColor = FParent->FColor;
  ColorChanged();
}

void TControl::SetFont(const gfx::TFontDesc& font) {
  FParentFont = false;
  if (font == FFont) return;
  FFont = font;
  FontChanged();
}

void TControl::SetParentFont(bool value) {
  FParentFont = value;
  if (value && FParent) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (FFont == FParent->FFont) return;
  FFont = FParent->FFont;
  FontChanged();
}

void TControl::Invalidate() {
  if (FVisible && FParent && FParent->HandleAllocated())
    FParent->InvalidateRect(BoundsRect(), !FOpaque);
}

void TControl::Update() {
  if (FParent && FParent->HandleAllocated()) UpdateWindow(FParent->Handle());
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() { ReleaseCanvas(); }

TGdiCanvas& TGraphicControl::Canvas() {
  if (!FCanvas.Handle() && Parent() && Parent()->HandleAllocated()) {
    FBorrowedDC = TWindowDC(Parent()->Handle());
    HDC dc = FBorrowedDC.Get();
    SetViewportOrgEx(dc, FLeft, FTop, nullptr);
    IntersectClipRect(dc, 0, 0, FWidth, FHeight);
    FCanvas.SetHandle(dc);
  }
  return FCanvas;
}

void TGraphicControl::ReleaseCanvas() {
  if (!FBorrowedDC.Get()) return;
  FCanvas.SetHandle(nullptr);
  FBorrowedDC.Reset();
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
  ReleaseCanvas();  // its origin and clipping were those of the old bounds
  TControl::SetBounds(left, top, width, height);
}

void TGraphicControl::PaintOn(HDC dc) {
  ReleaseCanvas();
  TSavedDC saved(dc);
  OffsetViewportOrgEx(dc, FLeft, FTop, nullptr);
  IntersectClipRect(dc, 0, 0, FWidth, FHeight);
  struct TDetach {
    TGdiCanvas& Canvas;
    ~TDetach() { Canvas.SetHandle(nullptr); }
  } detach{FCanvas};
  FCanvas.SetHandle(dc);
  Paint();
}

}  // namespace ui
