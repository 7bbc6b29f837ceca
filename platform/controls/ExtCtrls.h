// The timer component, the image control, the bevel and the panel.
#pragma once

#include "platform/controls/Controls.h"

// Calls OnTimer every Interval milliseconds while Enabled (and OnTimer is set), through a hidden
// window of its own.
class TTimer : public TComponent {
  ORV_CLASS(TTimer, TComponent)
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  void BeforeDestruction() override;

  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool value);
  Cardinal GetInterval() const { return FInterval; }
  void SetInterval(Cardinal value);
  TNotifyEvent GetOnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent value);

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  void WndProc(TMessage& message);

  HWND FWindowHandle = nullptr;
  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
};

// Shows a picture: at its own size in the top-left corner, centred, stretched or stretched with
// its proportions kept.
class TImage : public TGraphicControl {
  ORV_CLASS(TImage, TGraphicControl)
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* GetPicture() const { return FPicture; }
  void SetPicture(TPicture* value) { FPicture->Assign(value); }
  // A canvas on the picture's bitmap (the picture becomes a bitmap of the control's size when it
  // holds none); EInvalidOperation for a picture of another kind.
  TCanvas* GetCanvas();
  bool GetCenter() const { return FCenter; }
  void SetCenter(bool value);
  bool GetStretch() const { return FStretch; }
  void SetStretch(bool value);
  bool GetProportional() const { return FProportional; }
  void SetProportional(bool value);
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool value);
  // Where the picture is drawn in the control.
  TRect DestRect();

 protected:
  void Paint() override;
  bool CanAutoSize(Integer& newWidth, Integer& newHeight) override;

 private:
  void PictureChanged(TObject* sender);

  TPicture* FPicture;
  bool FCenter = false;
  bool FStretch = false;
  bool FProportional = false;
  bool FTransparent = false;
  bool FDrawing = false;
};

// A line or frame drawn with the 3-D colours: lowered (shadow, then highlight) or raised.
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
  ORV_CLASS(TBevel, TGraphicControl)
 public:
  explicit TBevel(TComponent* owner);
  TBevelShape GetShape() const { return FShape; }
  void SetShape(TBevelShape value);
  TBevelStyle GetStyle() const { return FStyle; }
  void SetStyle(TBevelStyle value);

 protected:
  void Paint() override;

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// A container with an outer and an inner bevel and a centred caption.
enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
  ORV_CLASS(TPanel, TCustomControl)
 public:
  explicit TPanel(TComponent* owner);
  TPanelBevel GetBevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel value);
  TPanelBevel GetBevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel value);
  Integer GetBevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(Integer value);
  TRect GetClientRect() override;

 protected:
  void Paint() override;

 private:
  Integer BorderWidthOf() const;
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  Integer FBevelWidth = 1;
};
