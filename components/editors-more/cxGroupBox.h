// The group box: a framed area with a caption that hosts child controls, built on the editor
// base so that it shares the editors' styles, look and feel and layout. In group-box mode the
// frame's line runs through the middle of the caption, which sits on any of the four sides (or
// none); in panel mode (PanelStyle.Active) the box is a filled panel with the caption inside.
#pragma once

#include "components/editors-more/cxCheckBox.h"
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

// ==== Button group =============================================================================
//
// A group box that shows one child button per item, laid out in columns below its caption. The
// radio group (cxRadioGroup) is its one concrete kind.

class TcxCustomButtonGroup;

enum TcxButtonGroupItemChange { bgicAdded, bgicDeleted, bgicChanged };

class TcxButtonGroupItem : public TcxCaptionItem {
  ORV_CLASS(TcxButtonGroupItem, TcxCaptionItem)
 public:
  explicit TcxButtonGroupItem(TCollection* collection);
  void BeforeDestruction() override;
  void Assign(TPersistent* source) override;
  Boolean GetEnabled() const { return FEnabled; }
  void SetEnabled(Boolean value);

 private:
  Boolean FEnabled = true;
};

class TcxButtonGroupItems : public TcxCaptionItems {
  ORV_CLASS(TcxButtonGroupItems, TcxCaptionItems)
 public:
  using TcxCaptionItems::TcxCaptionItems;
  TcxButtonGroupItem* GetItem(Integer index) const {
    return static_cast<TcxButtonGroupItem*>(TCollection::GetItem(index));
  }
  TcxButtonGroupItem* Add() { return static_cast<TcxButtonGroupItem*>(TCollection::Add()); }
  // One item added, deleted or changed (index -1 with an item given: the item's own).
  void ItemChanged(TCollectionItem* item, Integer index, TcxButtonGroupItemChange operation);

  Integer LastChangeIndex = -1;
  TcxButtonGroupItemChange LastChangeOperation = bgicChanged;
  Boolean NotifyingItemChange = false;

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TcxCustomEditProperties* OwnerProperties();
};

class TcxCustomButtonGroupProperties : public TcxCustomGroupBoxProperties {
  ORV_CLASS(TcxCustomButtonGroupProperties, TcxCustomGroupBoxProperties)
 public:
  explicit TcxCustomButtonGroupProperties(TPersistent* owner) : TcxCustomGroupBoxProperties(owner) {}
  void BeforeDestruction() override;
  ~TcxCustomButtonGroupProperties() override;

  void Assign(TPersistent* source) override;
  TcxCustomEditProperties* CreateEmptyCopy() override;
  TcxCustomEditClass GetEditClass() override;
  Integer GetEditorTraits() override { return inherited::GetEditorTraits() | etButtonGroup; }
  Word GetCapabilities() override { return GetItems()->GetCount() == 0 ? 1423 : 1455; }
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;

  virtual TcxButtonGroupItems* CreateItems();
  virtual Integer GetColumnCount();
  Integer GetRowCount();

  Integer GetColumns() const { return FColumns; }
  void SetColumns(Integer value);
  TcxButtonGroupItems* GetItems();
  void SetItems(TcxButtonGroupItems* value) { GetItems()->Assign(value); }
  Boolean GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(Boolean value);

 private:
  Integer FColumns = 1;
  TcxButtonGroupItems* FItems = nullptr;
  Boolean FWordWrap = false;
};

// One item's button as laid out in the group.
class TcxGroupBoxButtonViewInfo : public TcxEditButtonViewInfo {
  ORV_CLASS(TcxGroupBoxButtonViewInfo, TcxEditButtonViewInfo)
 public:
  TcxGroupBoxButtonViewInfo() = default;
  void Assign(TPersistent* source) override;
  // The glyph inside the bounds, centred vertically, at the left (alignment 1) or right edge.
  virtual TRect GlyphBounds(const TSize& glyphSize, Boolean isPaintCopy, Integer glyphAlignment);
  AnsiString ItemCaption;
  Integer Column = 0;
  Integer Row = 0;
  TcxEditButtonStyle ButtonStyleUsed = btsDefault;
};

class TcxButtonGroupViewInfo : public TcxGroupBoxViewInfo {
  ORV_CLASS(TcxButtonGroupViewInfo, TcxGroupBoxViewInfo)
 public:
  TcxButtonGroupViewInfo() = default;
  TcxEditButtonViewInfoClass GetButtonViewInfoClass() override { return TcxGroupBoxButtonViewInfo::StaticClass(); }
  void DrawButton(TcxCanvas* canvas, Integer index) override;
  void DoPaint(TcxCanvas* canvas) override;
  TcxGroupBoxButtonViewInfo* GetItemButton(Integer index) const {
    return static_cast<TcxGroupBoxButtonViewInfo*>(GetButton(index));
  }

  virtual void DrawButtonCaption(TcxCanvas* canvas, TcxGroupBoxButtonViewInfo* button, const TRect& glyphRect) {}
  virtual void DrawButtonGlyph(TcxCanvas* canvas, TcxGroupBoxButtonViewInfo* button, const TRect& glyphRect) {}
  virtual TSize GetGlyphSize() { return GlyphSize; }
  virtual Boolean IsButtonGlyphTransparent(TcxGroupBoxButtonViewInfo* button) { return false; }

  Byte GlyphAlignment = 1;
  TSize GlyphSize{0, 0};
  Integer CaptionTextFlags = 0;
};

// The nine layout numbers of a group's buttons.
struct TcxButtonGroupMetrics {
  Integer CaptionIndent = 0;
  Integer LimitedWidthCorrection = 0;
  Integer CaptionExtraWidth = 0;
  Integer AutoWidthExtra = 0;
  Integer FirstColumnOffset = 0;
  Integer ButtonWidthCorrection = 0;
  Integer ColumnSpacing = 0;
  Integer GlyphWidth = 0;
  Integer GlyphHeight = 0;
};

class TcxButtonGroupViewData : public TcxGroupBoxViewData {
  ORV_CLASS(TcxButtonGroupViewData, TcxGroupBoxViewData)
 public:
  using TcxGroupBoxViewData::TcxGroupBoxViewData;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  void CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                const TPoint& mousePos) override;
  TSize GetContentSize(TcxCanvas* canvas, const Variant& value, const TcxEditSizeProperties& sizeLimits) override;

  virtual void CalculateButtonPositions(TcxCanvas* canvas, TcxButtonGroupViewInfo* viewInfo);
  virtual void InitializeButtonInfos(TcxButtonGroupViewInfo* viewInfo);
  virtual Integer GetCaptionTextFlags();
  virtual void GetButtonMetrics(Boolean widthLimited, TcxCanvas* canvas, TcxButtonGroupMetrics& metrics) {}
  virtual void CalculateButtonNativeState(TcxButtonGroupViewInfo* viewInfo, TcxGroupBoxButtonViewInfo* button) {}
  static Boolean IsButtonNativeStyle(TcxLookAndFeel* lookAndFeel);

 protected:
  TcxCustomButtonGroupProperties* GroupProperties() const {
    return static_cast<TcxCustomButtonGroupProperties*>(Properties);
  }
};

class TcxCustomButtonGroup : public TcxCustomGroupBox {
  ORV_CLASS(TcxCustomButtonGroup, TcxCustomGroupBox)
 public:
  explicit TcxCustomButtonGroup(TComponent* owner) : TcxCustomGroupBox(owner) {}
  void BeforeDestruction() override;

  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  Boolean CanAutoSize() override { return !IsInplace() && GetAutoSize(); }
  Boolean SupportsNonClientArea() override { return false; }
  Boolean HostsChildControls() override { return GetSelectingFirstChild(); }
  bool Focused() override;
  Boolean RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent, TShiftState shift) override;
  void HandlePropertiesChange(TObject* sender) override;
  void ContainerStyleChanged(TObject* sender) override;

  Integer GetButtonCount() const { return Integer(FButtons.size()); }
  TWinControl* GetButton(Integer index) const { return FButtons[std::size_t(index)]; }
  TcxCustomButtonGroupProperties* GetGroupProperties() {
    return static_cast<TcxCustomButtonGroupProperties*>(GetEffectiveProperties());
  }
  TcxButtonGroupViewInfo* GetGroupViewInfo() { return static_cast<TcxButtonGroupViewInfo*>(GetEditViewInfo()); }
  Integer GetFocusedButtonIndex();

  virtual void ArrangeButtons();
  virtual TWinControl* CreateButton() = 0;
  virtual void InitializeButton(TWinControl* button);
  virtual void SyncButtonCount(Integer count);
  virtual void UpdateButtonStyles();
  virtual void UpdateButtons();

 protected:
  void CreateHandle() override;
  void EnabledChanged() override;
  std::vector<TWinControl*> FButtons;
  Boolean FButtonsReady = false;
};
