// The group box: a framed area with a caption that hosts child controls, built on the editor
// base so that it shares the editors' styles, look and feel and layout. In group-box mode the
// frame's line runs through the middle of the caption, which sits on any of the four sides (or
// none); in panel mode (PanelStyle.Active) the box is a filled panel with the caption inside.
#pragma once

#include "components/editors/cxEdit.h"

class TcxCustomGroupBox;

enum TcxCaptionAlignment {
  alTopLeft, alTopCenter, alTopRight, alBottomLeft, alBottomCenter, alBottomRight,
  alLeftTop, alLeftCenter, alLeftBottom, alRightTop, alRightCenter, alRightBottom, alCenterCenter
};
enum TcxPanelOffice11BackgroundKind { pobkGradient, pobkOffice11Color, pobkStyleColor };

// The caption side of an alignment.
TcxCaptionPosition GetCaptionPosition(TcxCaptionAlignment alignment);

using TcxGroupBoxCustomDrawEvent = orv::Event<void(TcxCustomGroupBox* sender, Boolean& done)>;
using TcxGroupBoxCustomDrawElementEvent =
    orv::Event<void(TcxCustomGroupBox* sender, TCanvas* canvas, const TRect& bounds,
                    TcxCustomLookAndFeelPainterClass painter, Boolean& done)>;
using TcxGroupBoxMeasureCaptionHeightEvent =
    orv::Event<void(TcxCustomGroupBox* sender, TcxCustomLookAndFeelPainterClass painter, Integer& captionHeight)>;

// The panel settings of one group box.
class TcxPanelStyle : public TPersistent {
  ORV_CLASS(TcxPanelStyle, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomGroupBox* owner);
  explicit TcxPanelStyle(TcxCustomGroupBox* owner) : FOwner(owner) {}
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  Boolean GetActive() const { return FActive; }
  void SetActive(Boolean value);
  Integer GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer value);
  // Never below 2.
  Integer GetCaptionIndent() const { return FCaptionIndent; }
  void SetCaptionIndent(Integer value);
  TcxPanelOffice11BackgroundKind GetOfficeBackgroundKind() const { return FOfficeBackgroundKind; }
  void SetOfficeBackgroundKind(TcxPanelOffice11BackgroundKind value);
  Boolean GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(Boolean value);

 private:
  void LayoutChanged();
  TcxCustomGroupBox* FOwner;
  Boolean FActive = false;
  Integer FBorderWidth = 0;
  Integer FCaptionIndent = 2;
  TcxPanelOffice11BackgroundKind FOfficeBackgroundKind = pobkOffice11Color;
  Boolean FWordWrap = false;
};

class TcxCustomGroupBoxProperties : public TcxCustomEditProperties {
  ORV_CLASS(TcxCustomGroupBoxProperties, TcxCustomEditProperties)
 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
};

class TcxGroupBoxViewInfo : public TcxCustomEditViewInfo {
  ORV_CLASS(TcxGroupBoxViewInfo, TcxCustomEditViewInfo)
 public:
  TcxGroupBoxViewInfo() = default;
  void OffsetRects(Integer dx, Integer dy) override;
  void DoPaint(TcxCanvas* canvas) override;

  virtual void DrawCaption(TcxCanvas* canvas);
  virtual void DrawFrame(TcxCanvas* canvas);
  virtual void DrawGroupBoxBackground(TcxCanvas* canvas);
  TcxCustomGroupBox* GetGroupBox() const;

  TRect CaptionRect{};
  TRect TextRect{};
  TRect PanelRect{};
  TRect FrameRect{};
  Boolean IsDesigning = false;
  Integer PanelTextFlags = 0;
};

class TcxGroupBoxViewData : public TcxCustomEditViewData {
  ORV_CLASS(TcxGroupBoxViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  TcxContainerState GetContainerState(const TPoint& mousePos, Integer button, TShiftState shift,
                                      Boolean isMouseEvent) override;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  TColor GetBorderColor() override;
  TRect GetBorderExtent() override;
  TRect GetContentExtent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo) override;
  Boolean HasShadow() override;

 protected:
  TcxCustomGroupBox* GroupBox() const;
};

class TcxCustomGroupBox : public TcxCustomEdit {
  ORV_CLASS(TcxCustomGroupBox, TcxCustomEdit)
 public:
  explicit TcxCustomGroupBox(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomGroupBox() override;

  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  Boolean CanAutoSize() override { return false; }
  Boolean CanFocusOnClick() override { return false; }
  Boolean HostsChildControls() override { return true; }
  Boolean UsesParentColorByDefault() override { return true; }
  TcxContainerStyle* GetStyleForState(TcxContainerState state) override;
  TcxContainerStyleValues GetUnstoredStyleValues() override;
  Boolean PaintsOwnFrame() override;
  Boolean IsNativeBackground() override;
  Boolean HasShadow() override;
  TRect GetOuterRect() override;
  void ContainerStyleChanged(TObject* sender) override;
  Boolean RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent, TShiftState shift) override;

  // ---- New virtual operations ----
  virtual TcxPanelStyle* CreatePanelStyle() { return new TcxPanelStyle(this); }
  virtual Boolean DoCustomDrawCaption(TcxCanvas* canvas, const TRect& bounds, TcxCustomLookAndFeelPainterClass painter);
  virtual Boolean DoCustomDrawContentBackground(TcxCanvas* canvas, const TRect& bounds,
                                                TcxCustomLookAndFeelPainterClass painter);
  virtual Boolean IsCaptionInNonClientArea();
  virtual Boolean SupportsNonClientArea();

  // Recomputes the caption font and text and realigns the children.
  void CaptionLayoutChanged();
  void UpdateCaptionFont();
  void UpdateCaptionText();
  // The canvas takes the caption font and its colour.
  void PrepareCaptionCanvas(TcxCanvas* canvas);
  Boolean IsVerticalCaption();
  TcxCaptionPosition GetCaptionPosition();

  TcxCaptionAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TcxCaptionAlignment value);
  TColor GetCaptionBkColor() const { return FCaptionBkColor; }
  void SetCaptionBkColor(TColor value) { FCaptionBkColor = value; }
  TcxPanelStyle* GetPanelStyle();
  void SetPanelStyle(TcxPanelStyle* value);
  Boolean GetRedrawOnResize() const { return FRedrawOnResize; }
  void SetRedrawOnResize(Boolean value) { FRedrawOnResize = value; }
  const AnsiString& GetCaptionText() const { return FCaptionText; }
  TFont* GetCaptionFont() const { return FCaptionFont; }
  Boolean GetSelectingFirstChild() const { return FSelectingFirstChild; }

  const TcxGroupBoxCustomDrawEvent& GetOnCustomDraw() const { return FOnCustomDraw; }
  void SetOnCustomDraw(const TcxGroupBoxCustomDrawEvent& value) { FOnCustomDraw = value; }
  const TcxGroupBoxCustomDrawElementEvent& GetOnCustomDrawCaption() const { return FOnCustomDrawCaption; }
  void SetOnCustomDrawCaption(const TcxGroupBoxCustomDrawElementEvent& value) { FOnCustomDrawCaption = value; }
  const TcxGroupBoxCustomDrawElementEvent& GetOnCustomDrawContentBackground() const {
    return FOnCustomDrawContentBackground;
  }
  void SetOnCustomDrawContentBackground(const TcxGroupBoxCustomDrawElementEvent& value) {
    FOnCustomDrawContentBackground = value;
  }
  const TcxGroupBoxMeasureCaptionHeightEvent& GetOnMeasureCaptionHeight() const { return FOnMeasureCaptionHeight; }
  void SetOnMeasureCaptionHeight(const TcxGroupBoxMeasureCaptionHeightEvent& value) {
    FOnMeasureCaptionHeight = value;
  }

 protected:
  Boolean NeedsRedrawOnResize() override;
  void TextChanged() override;
  void FontChanged() override;
  void Paint() override;
  void Dispatch(TMessage& message) override;

 private:
  TcxCaptionAlignment FAlignment = alTopLeft;
  TColor FCaptionBkColor = clDefault;
  Boolean FSelectingFirstChild = false;
  TcxPanelStyle* FPanelStyle = nullptr;
  Boolean FRedrawOnResize = true;
  AnsiString FCaptionText;
  TcxGroupBoxCustomDrawEvent FOnCustomDraw;
  TcxGroupBoxCustomDrawElementEvent FOnCustomDrawCaption;
  TcxGroupBoxCustomDrawElementEvent FOnCustomDrawContentBackground;
  TcxGroupBoxMeasureCaptionHeightEvent FOnMeasureCaptionHeight;
  TFont* FCaptionFont = nullptr;
};

class TcxGroupBox : public TcxCustomGroupBox {
  ORV_CLASS(TcxGroupBox, TcxCustomGroupBox)
 public:
  using TcxCustomGroupBox::TcxCustomGroupBox;
};
