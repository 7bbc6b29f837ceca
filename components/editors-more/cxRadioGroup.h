// The look-and-feel radio button: the platform's radio button (caption, Checked, group behaviour
// among siblings, OnClick) drawn by the look-and-feel painters, with hot tracking, transparency
// over its parent and a context popup menu.
#pragma once

#include "components/foundation/cxContainer.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/StdCtrls.h"

class TcxCanvas;
class TControlCanvas;

// The button's mouse state.
enum TcxRadioButtonState { rbsDisabled, rbsHot, rbsNormal, rbsPressed };

class TcxRadioButton : public TRadioButton,
                       public IcxLookAndFeelHost,
                       public IcxMouseTrackingCaller {
  ORV_CLASS(TcxRadioButton, TRadioButton)
 public:
  explicit TcxRadioButton(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxRadioButton() override;

  void Notification(TComponent* component, TOperation operation) override;
  bool Focused() override;
  void Invalidate() override;
  void Dispatch(TMessage& message) override;

  // IcxLookAndFeelHost / IcxMouseTrackingCaller.
  TcxLookAndFeel* GetLookAndFeelValue() override { return FLookAndFeel; }
  TcxLookAndFeel* GetLookAndFeel() const { return FLookAndFeel; }
  void MouseLeave() override;

  void SetLookAndFeel(TcxLookAndFeel* value) { FLookAndFeel->Assign(value); }
  TComponent* GetPopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TComponent* value);
  Boolean GetTransparent() const { return FTransparent; }
  void SetTransparent(Boolean value);
  TcxRadioButtonState GetState() const { return FState; }
  const TRect& GetButtonRect() const { return FButtonRect; }
  TcxCanvas* GetCxCanvas() const { return FCanvas; }

  // ---- New virtual operations ----
  virtual void AdjustTextRect(TRect& rect, Boolean nativeStyle);
  virtual Boolean DoShowPopupMenu(TComponent* menu, Integer x, Integer y);
  virtual void DrawBackground();
  virtual void DrawCaption(TcxCanvas* canvas, Boolean nativeStyle);
  virtual Boolean IsInplace() { return false; }
  virtual Boolean IsNativeBackground();
  virtual Boolean IsNativeStyle();
  virtual Boolean IsTransparent() { return FTransparent && !IsInplace(); }
  virtual Boolean IsTransparentBackground() { return IsNativeBackground() || IsTransparent(); }
  virtual void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues);
  virtual void DrawButton(Boolean focusOnly);
  virtual void CalculateState(Integer button, TShiftState shift, const TPoint& point);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void DoEnter() override;
  void UpdateStateAtCursor();

 private:
  void MouseEntered();
  TRect FButtonRect{};
  TControlCanvas* FControlCanvas = nullptr;
  TcxCanvas* FCanvas = nullptr;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  TComponent* FPopupMenu = nullptr;
  TcxRadioButtonState FState = rbsNormal;
  Boolean FTransparent = false;
};
