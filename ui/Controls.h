// The component framework: components with an owner, controls with a parent, windowless
// (graphic) controls painted on their parent's surface, and windowed controls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gfx/Types.h"
#include "ui/GdiCanvas.h"
#include "ui/Win32.h"

namespace ui {

class TComponent;
class TControl;
class TWinControl;
class TForm;

enum TAnchorKind : std::uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = std::uint8_t;
inline constexpr TAnchors akAll = akLeft | akTop | akRight | akBottom;

enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alClient };

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : std::uint8_t {
  ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};
using TShiftState = std::uint8_t;

using TNotifyEvent = std::function<void(TComponent* sender)>;
using TMouseEvent =
    std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TComponent* sender, std::uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, char& key)>;

// Owns the components created with it as owner and frees them when it is freed. A component
// freed earlier leaves its owner's list. While a form is being constructed its components are
// "loading"; Loaded() runs on each once the whole form exists.
class TComponent {
public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(std::string name) { FName = std::move(name); }
  int ComponentCount() const { return int(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents.at(std::size_t(index)); }
  bool Loading() const { return FLoading; }

  // Frees every owned component, last created first.
  void DestroyComponents();

  // Turns true when the component is freed: lets a caller that ran an event handler find out
  // whether the handler freed the component under it.
  std::weak_ptr<void> AliveToken() const { return FAlive; }

protected:
  virtual void Loaded() {}
  // Ends the loading state of this component and of everything it owns, calling Loaded().
  void FinishLoading();
  void SetLoading(bool loading) { FLoading = loading; }

private:
  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
  bool FLoading = false;
  std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};

// A visual element with a parent, bounds in the parent's client coordinates, anchors,
// visibility, colour and font.
class TControl : public TComponent {
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  gfx::TRect BoundsRect() const { return gfx::Bounds(FLeft, FTop, FWidth, FHeight); }
  virtual int ClientWidth() const { return FWidth; }
  virtual int ClientHeight() const { return FHeight; }
  gfx::TRect ClientRect() const { return gfx::Rect(0, 0, ClientWidth(), ClientHeight()); }

  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors anchors);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);

  gfx::TColor Color() const { return FColor; }
  void SetColor(gfx::TColor color);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  const gfx::TFontDesc& Font() const { return FFont; }
  void SetFont(const gfx::TFontDesc& font);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);

  // Asks for a repaint of the control's area at the next paint.
  virtual void Invalidate();
  // Paints what is invalid now instead of at the next message.
  void Update();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // Mouse input, in the control's client coordinates; called by the window procedure of the
  // control, or of its parent for a windowless control.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();
  virtual void DblClick();

  virtual bool IsWindowed() const { return false; }

protected:
  // A control that paints all of its area is not erased before it paints.
  void SetOpaque(bool opaque) { FOpaque = opaque; }
  bool Opaque() const { return FOpaque; }
  virtual void FontChanged() { Invalidate(); }
  virtual void ColorChanged() { Invalidate(); }
  virtual void VisibleChanged() {}
  virtual void EnabledChanged() { Invalidate(); }
  virtual void BoundsChanged() {}
  // The system's settings changed (WM_SETTINGCHANGE).
  virtual void SettingChanged() {}
  // Moves or sizes the control after its parent's client area changed.
  void FollowParent(int parentWidth, int parentHeight);
  void UpdateAnchorRules();

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;

private:
  friend class TWinControl;
  friend class TForm;
  void ParentFontChanged();
  void ParentColorChanged();

  TWinControl* FParent = nullptr;
  TAnchors FAnchors = akLeft | akTop;
  TAlign FAlign = TAlign::alNone;
  // Distances to the parent's right and bottom edges, kept by anchors on those edges.
  int FRightMargin = 0, FBottomMargin = 0;
  bool FVisible = true;
  bool FEnabled = true;
  bool FOpaque = false;
  bool FClicked = false;
  gfx::TColor FColor = gfx::clBtnFace;
  bool FParentColor = true;
  gfx::TFontDesc FFont;
  bool FParentFont = true;
};

// A control without a window of its own: painted on its parent's surface, through a canvas
// whose origin is the control's top-left corner and whose clipping is the control's bounds,
// in the order the controls were given their parent; mouse input reaches it by hit test.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;

  // During Paint, the parent's paint context; otherwise a context borrowed from the parent
  // window, offset and clipped in the same way.
  TGdiCanvas& Canvas();

  void SetBounds(int left, int top, int width, int height) override;

protected:
  virtual void Paint() {}
  void ReleaseCanvas();

private:
  friend class TWinControl;
  void PaintOn(HDC dc);

  TGdiCanvas FCanvas;
  TWindowDC FBorrowedDC;
};

// A control with a window: a form, or a standard child control (edit, check box, ...).
// Windowed children lie above every windowless control of the same parent.
class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  HWND Handle() const { return FHandle; }
  bool HandleAllocated() const { return FHandle != nullptr; }
  bool IsWindowed() const override { return true; }

  int ControlCount() const { return int(FControls.size()); }
  TControl* Controls(int index) const { return FControls.at(std::size_t(index)); }

  int ClientWidth() const override;
  int ClientHeight() const override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void SetParent(TWinControl* parent) override;

  void Invalidate() override;
  void InvalidateRect(const gfx::TRect& r, bool erase);

  bool Focused() const;
  virtual void SetFocus();
  int TabOrder() const { return FTabOrder; }
  void SetTabOrder(int order);

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;

  // The windowless control at a point of the client area, the last painted first.
  TControl* ControlAtPos(gfx::TPoint p) const;

  // The control whose window this is, or null.
  static TWinControl* FromHandle(HWND window);

protected:
  struct TCreateParams {
    const char* ClassName = nullptr;  // null: the framework's own window class
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    HWND ParentWindow = nullptr;
    int X = 0, Y = 0, Width = 0, Height = 0;
  };
  virtual void CreateParams(TCreateParams& params);
  void CreateHandle();
  void DestroyHandle();
  // Called once the window exists: standard controls take their state from their fields here.
  virtual void HandleCreated() {}

  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

  // A notification (WM_COMMAND) or colour request (WM_CTLCOLOR...) from the control's window,
  // sent to its parent and handed back to it.
  virtual void Command(WORD /*code*/) {}
  virtual HBRUSH CtlColor(HDC dc);

  // Paints the form's own surface before the windowless controls.
  virtual void PaintWindow(HDC /*dc*/) {}
  void PaintHandler();
  void PaintControls(HDC dc);
  // Places aligned and anchored controls after the client area changed size.
  void AlignControls();
  void FontChanged() override;
  void ColorChanged() override;
  void EnabledChanged() override;
  virtual void KeyDown(std::uint16_t& key, TShiftState shift);
  virtual void KeyPress(char& key);
  void BroadcastSettingChange();

  HFONT FontHandle();

private:
  friend class TControl;
  friend class TGraphicControl;
  friend class TApplication;
  static LRESULT CALLBACK StdWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT MouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void ApplyTabOrder();

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  std::vector<TControl*> FControls;
  TControl* FCaptureControl = nullptr;
  int FTabOrder = -1;
  TFontHandle FFontHandle;
  gfx::TFontDesc FFontHandleDesc;
  TBrushHandle FColorBrush;
  gfx::TColor FColorBrushColor = 0;
  int FLayoutWidth = 0, FLayoutHeight = 0;
  bool FAligning = false;
};

// Mouse and keyboard state as the events report it.
TShiftState KeysToShift(WPARAM keys);
TShiftState KeyboardShift();

}  // namespace ui
