// The label: a display-only editor that shows its caption (or the text of its edit value) with
// rotation, a three-dimensional extrusion, raised, lowered or outlined letters, a bitmap texture
// and separator lines beside the text. Stand-alone it is a TcxLabel on a form; in place, grid
// cells and filter rows draw it from TcxLabelProperties.
#pragma once

#include "components/editors/cxEdit.h"

class TBitmap;

enum TcxLabelEffect { cxleNormal, cxleFun, cxleExtrude, cxleCool };
enum TcxLabelStyle { cxlsNormal, cxlsRaised, cxlsLowered, cxlsOutLine };
// The side towards which the extrusion of the text extends.
enum TcxLabelOrientation {
  cxoLeft, cxoRight, cxoTop, cxoBottom, cxoLeftTop, cxoLeftBottom, cxoRightTop, cxoRightBottom
};
enum TcxLabelLineAlignment { cxllaTop, cxllaCenter, cxllaBottom };

// The separator lines drawn beside the text.
class TcxLabelLineOptions : public TPersistent {
  ORV_CLASS(TcxLabelLineOptions, TPersistent)
 public:
  TcxLabelLineOptions() = default;
  void Assign(TPersistent* source) override;

  TcxLabelLineAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TcxLabelLineAlignment value);
  TColor GetInnerColor() const { return FInnerColor; }
  void SetInnerColor(TColor value);
  TColor GetOuterColor() const { return FOuterColor; }
  void SetOuterColor(TColor value);
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);
  const TNotifyEvent& GetOnChanged() const { return FOnChanged; }
  void SetOnChanged(const TNotifyEvent& value) { FOnChanged = value; }

  virtual void Changed();

 private:
  TcxLabelLineAlignment FAlignment = cxllaCenter;
  TColor FInnerColor = clDefault;
  TNotifyEvent FOnChanged;
  TColor FOuterColor = clDefault;
  Boolean FVisible = false;
};

class TcxCustomLabelProperties : public TcxCustomEditProperties {
  ORV_CLASS(TcxCustomLabelProperties, TcxCustomEditProperties)
 public:
  explicit TcxCustomLabelProperties(TPersistent* owner);
  ~TcxCustomLabelProperties() override;

  void Assign(TPersistent* source) override;
  Boolean IsEditValueComparable() override { return true; }
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditStyleClass GetStyleClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  Boolean HasSeparateChangeEvents() override { return true; }
  Integer GetDisplayFormatOptions() override { return 0; }
  Word GetCapabilities() override { return 1418; }
  Integer GetValueExchangeMode(Boolean focused) override { return 1; }
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  void EditValueToDisplayText(const Variant& value, AnsiString& text) override;

  // (0, 0) for the normal effect; else Depth on the axes the orientation names.
  virtual TSize CalculateExtrusionExtent();

  Integer GetAngle() const { return FAngle; }
  void SetAngle(Integer value);
  Word GetDepth() const { return FDepth; }
  void SetDepth(Word value);
  // Made empty on first read.
  TBitmap* GetGlyph();
  // Nil frees the glyph.
  void SetGlyph(TBitmap* value);
  Boolean HasGlyph() const { return FGlyph != nullptr; }
  TcxLabelEffect GetLabelEffect() const { return FLabelEffect; }
  void SetLabelEffect(TcxLabelEffect value);
  TcxLabelStyle GetLabelStyle() const { return FLabelStyle; }
  void SetLabelStyle(TcxLabelStyle value);
  TcxLabelLineOptions* GetLineOptions() const { return FLineOptions; }
  void SetLineOptions(TcxLabelLineOptions* value) { FLineOptions->Assign(value); }
  TcxLabelOrientation GetOrientation() const { return FOrientation; }
  void SetOrientation(TcxLabelOrientation value);
  Integer GetPenWidth() const { return FPenWidth; }
  void SetPenWidth(Integer value);
  TColor GetShadowedColor() const { return FShadowedColor; }
  void SetShadowedColor(TColor value);
  Boolean GetShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(Boolean value);
  Boolean GetShowEndEllipsis() const { return FShowEndEllipsis; }
  void SetShowEndEllipsis(Boolean value);
  Boolean GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(Boolean value);

 private:
  void ChildChanged(TObject* sender) { Changed(); }
  Integer FAngle = 0;
  Word FDepth = 0;
  TBitmap* FGlyph = nullptr;
  TcxLabelEffect FLabelEffect = cxleNormal;
  TcxLabelStyle FLabelStyle = cxlsNormal;
  TcxLabelLineOptions* FLineOptions;
  TcxLabelOrientation FOrientation = cxoRightBottom;
  Integer FPenWidth = 1;
  TColor FShadowedColor = clGrayText;
  Boolean FShowAccelChar = true;
  Boolean FShowEndEllipsis = false;
  Boolean FWordWrap = false;
};

class TcxLabelProperties : public TcxCustomLabelProperties {
  ORV_CLASS(TcxLabelProperties, TcxCustomLabelProperties)
 public:
  using TcxCustomLabelProperties::TcxCustomLabelProperties;
};

// Without a border and without hot tracking by default.
class TcxLabelEditStyle : public TcxEditStyle {
  ORV_CLASS(TcxLabelEditStyle, TcxEditStyle)
 public:
  using TcxEditStyle::TcxEditStyle;
  TcxContainerBorderStyle GetDefaultBorderStyle() const override;
  Boolean GetDefaultHotTrack() const override { return false; }
};

class TcxCustomLabelViewInfo : public TcxCustomEditViewInfo {
  ORV_CLASS(TcxCustomLabelViewInfo, TcxCustomEditViewInfo)
 public:
  TcxCustomLabelViewInfo();
  ~TcxCustomLabelViewInfo() override;

  void Assign(TObject* source) override;
  void OffsetRects(Integer dx, Integer dy) override;
  void DoPaint(TcxCanvas* canvas) override;

  virtual void DrawLabelBackground(TcxCanvas* canvas, const TRect& rect);
  virtual void DrawLabel(TcxCanvas* canvas);

  // ---- Fields ----
  AnsiString Text;
  TAlignment HorzAlignment = taLeftJustify;
  TcxEditVertAlignment VertAlignment = taTopJustify;
  Integer Angle = 0;
  // The angle the font is really turned by (0 for a non-TrueType font).
  Integer EffectiveAngle = 0;
  Integer Depth = 0;
  TSize ExtrusionExtent{0, 0};
  TBitmap* Glyph = nullptr;
  TcxLabelEffect LabelEffect = cxleNormal;
  TcxLabelStyle LabelStyle = cxlsNormal;
  Integer StyleShift = 0;
  TRect LabelTextBounds{};
  TColor SeparatorInnerColor = clDefault;
  Boolean SeparatorVertical = false;
  TColor SeparatorOuterColor = clDefault;
  TRect SeparatorRect{};
  TcxLabelOrientation Orientation = cxoRightBottom;
  Integer PenWidth = 1;
  TColor ShadowedColor = clGrayText;
  Boolean WordWrap = false;
  TRect TextMargins{};
  TRect FocusFrame{};
  Boolean ShowAccelChar = true;
  Boolean ShowEndEllipsis = false;
  Boolean Transparent = false;
  TColor TextColor = clWindowText;
  TcxCustomLookAndFeelPainterClass LinePainter;

 private:
  void DrawContent(TcxCanvas* canvas, const TRect& area, const TRect& textRect, const TRect& lineRect);
  void DrawTextAt(TcxCanvas* canvas, const TPoint& at, const TRect& textRect);
  void DrawTexturedText(TcxCanvas* canvas, const TPoint& at, const TRect& textRect);
};

class TcxCustomLabelViewData : public TcxCustomEditViewData {
  ORV_CLASS(TcxCustomLabelViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;

  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  TSize GetContentSize(TcxCanvas* canvas, const Variant& value, const TcxEditSizeProperties& sizeLimits) override;
  void EditValueToDrawText(const Variant& value, AnsiString& text) override;
  void SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) override;

  virtual Integer GetStyleShift(TcxCanvas* canvas);
  virtual void CalculateSeparatorRect(TRect& textRect, const TRect& clientRect, TRect& lineRect, Boolean vertical,
                                      Integer lineHeight, Boolean shown, TcxLabelLineAlignment alignment);
  virtual void AlignTextArea(const TRect& clientRect, const TSize& textSize, TRect& textRect, Integer angle);
  virtual void MeasureCaption(TcxCanvas* canvas, const TRect& rect, TSize& size, const AnsiString& text);
  virtual Integer GetTextOutFlags();
  virtual Integer GetSeparatorHeight();
  virtual Boolean AreSeparatorsShown(Integer angle);

 protected:
  TcxCustomLabelProperties* LabelProperties() const {
    return static_cast<TcxCustomLabelProperties*>(Properties);
  }
};

class TcxCustomLabel : public TcxCustomEdit {
  ORV_CLASS(TcxCustomLabel, TcxCustomEdit)
 public:
  explicit TcxCustomLabel(TComponent* owner);
  void BeforeDestruction() override;

  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  Boolean UsesAnchorX() override;
  Boolean UsesAnchorY() override;
  Boolean CanAutoWidth() override;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  bool CanFocus() override;
  Boolean CanFocusOnClick() override;
  Boolean UsesParentColorByDefault() override { return true; }
  Integer GetColorState() override { return GetEnabled() ? 0 : 1; }
  void SetAutoSize(bool value) override;
  void AssignEditValue(const Variant& value, Boolean isUserAction) override;
  void SetInnerDisplayValue(const Variant& value) override;
  void UpdateDisplayValue() override;
  void GetDisplayText(AnsiString& text) override;
  void HandlePropertiesChange(TObject* sender) override;
  void Initialize() override;

  TcxCustomLabelProperties* GetLabelProperties() {
    return static_cast<TcxCustomLabelProperties*>(GetProperties());
  }
  TcxCustomLabelProperties* GetActiveLabelProperties() {
    return static_cast<TcxCustomLabelProperties*>(GetEffectiveProperties());
  }
  TcxLabelEditStyle* GetLabelStyle() { return static_cast<TcxLabelEditStyle*>(GetStyle()); }
  TWinControl* GetFocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* value);

 protected:
  void TextChanged() override;
  void Dispatch(TMessage& message) override;

 private:
  TWinControl* FFocusControl = nullptr;
  Boolean FCaptionGuard = false;
};

class TcxLabel : public TcxCustomLabel {
  ORV_CLASS(TcxLabel, TcxCustomLabel)
 public:
  using TcxCustomLabel::TcxCustomLabel;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxLabelProperties* GetProperties() { return static_cast<TcxLabelProperties*>(TcxCustomLabel::GetProperties()); }
  void SetProperties(TcxLabelProperties* value) { GetProperties()->Assign(value); }
};
