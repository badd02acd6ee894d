// Forms: the top-level windows of the program.
#pragma once

#include <string>

#include "ui/Controls.h"

namespace ui {

enum class TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog };
enum TBorderIcon : std::uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = std::uint8_t;
inline constexpr TBorderIcons biStandard = biSystemMenu | biMinimize | biMaximize;
enum class TFormStyle : std::uint8_t { fsNormal, fsStayOnTop };
// Where a form goes when it is first shown. poDefault lets the windowing system choose the
// position and the size, poDefaultPosOnly the position only.
enum class TPosition : std::uint8_t {
  poDesigned, poDefault, poDefaultPosOnly, poScreenCenter, poDesktopCenter, poMainFormCenter
};
enum class TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4,
                              mrIgnore = 5, mrYes = 6, mrNo = 7;

using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;

// A top-level window. Its window exists from construction, hidden. Derived forms build their
// controls in their constructor; the form and its components are "loading" until
// AfterConstruction() (called by CreateForm) runs Loaded() on them and then OnCreate.
// The designed geometry is a client size (SetClientSize) and a position. The font defaults
// to the platform's "MS Sans Serif" 8 points, the colour to clBtnFace.
class TForm : public TWinControl {
public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  void AfterConstruction();

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons icons);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle style);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition position) { FPosition = position; }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool value) { FKeyPreview = value; }

  // Left and Top are screen coordinates; Width and Height the outer size.
  void SetClientSize(int width, int height);
  void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
  void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }

  // The form's surface: the paint context during OnPaint, a window context otherwise.
  TGdiCanvas& Canvas();

  void SetVisible(bool visible) override;
  // Shows the form and brings it to the front.
  void Show();
  void Hide() { SetVisible(false); }
  // Closes as the caption button does: ends a modal loop, or asks OnCloseQuery and OnClose
  // and then hides the form (or ends the program, for the main form).
  void Close();
  // Shows the form and runs messages until ModalResult is set; the other windows of the
  // program are disabled meanwhile. Returns the modal result.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }
  bool Modal() const { return FModal; }
  bool Active() const;
  TWinControl* ActiveControl() const { return FActiveControl; }
  // Frees the form once the messages already queued for it have been handled.
  void Release();

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnPaint;
  TNotifyEvent OnResize;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PaintWindow(HDC dc) override;
  virtual void Paint();
  virtual void Resize();
  virtual void Activate();
  virtual void DoShow();
  virtual void DoHide();
  virtual bool CloseQuery();
  virtual void DoClose(TCloseAction& action);

private:
  friend class TWinControl;
  void UpdateStyle();
  void ApplyPosition();
  void CloseModal();

  std::string FCaption;
  TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
  TBorderIcons FBorderIcons = biStandard;
  TFormStyle FFormStyle = TFormStyle::fsNormal;
  TPosition FPosition = TPosition::poDesigned;
  bool FKeyPreview = false;
  bool FShownOnce = false;
  bool FModal = false;
  TModalResult FModalResult = mrNone;
  TWinControl* FActiveControl = nullptr;
  TGdiCanvas FCanvas;
  TWindowDC FWindowDC;
};

// Creates a form that the caller owns (or that owner frees) and completes its construction.
template <class T>
T* CreateForm(TComponent* owner) {
  T* form = new T(owner);
  form->AfterConstruction();
  return form;
}

}  // namespace ui
