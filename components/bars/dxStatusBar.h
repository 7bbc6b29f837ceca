// The status bar: a window control along the bottom of a form that shows a row of panels. Each
// panel has a width and a minimum width, may stretch, carries a text and a bevel and owns one
// panel style object that draws its content (text with an image, a hosted child control, the
// keyboard lock keys, coloured state lamps). A view info lays the panels out; a stateless
// painter chosen by the paint style draws the border, the panels, the separators and the size
// grip. The status bar answers the non-client hit test over its grip, so dragging it sizes the
// form.
//
// Painters are never instantiated by users: each painter class has one constant instance whose
// virtual operations are the class's operations, reached through TdxStatusBarPainterClass.
#pragma once

#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/ImgList.h"
#include "platform/runtime/Collection.h"

class TdxCustomStatusBar;
class TdxStatusBarPanel;
class TdxStatusBarPanels;
class TdxStatusBarPanelStyle;
class TdxStatusBarContainerPanelStyle;
class TdxStatusBarPainter;
class TdxThemeChangedNotificator;

// ---- Texts --------------------------------------------------------------------------------------

inline constexpr TResStringRec sdxTextPanel{"Text Panel"_a};
inline constexpr TResStringRec sdxContainerPanel{"Container Panel"_a};
inline constexpr TResStringRec sdxKeyboardStatePanel{"Keyboard State Panel"_a};
inline constexpr TResStringRec sdxStateIndicatorPanel{"State Indicator Panel"_a};
inline constexpr TResStringRec sdxCantDeleteAncestor{
    "Selection contains a component introduced in an ancestor form which cannot be deleted"_a};

// ---- Types --------------------------------------------------------------------------------------

enum TdxStatusBarPaintStyle { stpsStandard, stpsFlat, stpsXP, stpsOffice11, stpsUseLookAndFeel };
enum TdxStatusBarPanelBevel { dxpbNone, dxpbLowered, dxpbRaised };
enum TdxStatusBarEllipsisType { dxetNone, dxetTruncate, dxetSmartPath };
enum TdxStatusBarKeyboardState { dxksCapsLock, dxksNumLock, dxksScrollLock, dxksInsert };
using TdxStatusBarKeyboardStates = orv::Set<TdxStatusBarKeyboardState>;
inline constexpr TdxStatusBarKeyboardStates dxStatusBarAllKeyboardStates{dxksCapsLock, dxksNumLock,
                                                                          dxksScrollLock, dxksInsert};
enum TdxStatusBarStateIndicatorType { sitOff, sitYellow, sitBlue, sitGreen, sitRed, sitTeal, sitPurple };

using TdxStatusBarDrawPanelEvent =
    orv::Event<void(TdxStatusBarPanel* sender, TcxCanvas* canvas, const TRect& rect, bool& done)>;
using TdxStatusBarTextEvent = orv::Event<void(TObject* sender, const TRect& r, AnsiString& text)>;

// ==== Painters =====================================================================================

// "class of TdxStatusBarPainter".
using TdxStatusBarPainterClass = const TdxStatusBarPainter*;

class TdxStatusBarPainter : public TObject {
  ORV_CLASS(TdxStatusBarPainter, TObject)
 public:
  static TdxStatusBarPainterClass Class();

  // Continues the status bar's border and the panel background into a container control.
  virtual void DrawContainerControl(TdxStatusBarContainerPanelStyle* style) const;
  virtual Boolean ExcludesSizeGripFromContent(TdxCustomStatusBar* statusBar) const { return true; }
  virtual void AdjustTextColor(TdxCustomStatusBar* statusBar, TColor& color, Boolean active) const {}
  // Left, top, right and bottom insets of the panel area.
  virtual TRect GetBorderWidths(TdxCustomStatusBar* statusBar) const;
  virtual Boolean DrawSizeGripFirst() const { return true; }
  virtual TSize GetSizeGripSize() const { return {16, 16}; }
  virtual TSize GetSizeGripCornerSize() const { return {12, 12}; }
  virtual Integer GetSpareMetric() const { return 0; }
  virtual Integer GetSeparatorWidth() const { return 2; }
  virtual Integer GetSeparatorSize(TdxCustomStatusBar* statusBar) const { return GetSeparatorWidth(); }
  virtual Integer GetTopBorderHeight() const { return 2; }
  // Draws the border and shrinks the rectangle to the panel area.
  virtual void DrawBorder(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, TRect& rect) const;
  virtual void DrawEmptyPanel(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, const TRect& rect) const;
  virtual void DrawPanel(TdxCustomStatusBar* statusBar, TdxStatusBarPanel* panel, TcxCanvas* canvas,
                         const TRect& rect) const;
  // Draws the bevel and shrinks the rectangle by it.
  virtual void DrawPanelBorder(TdxCustomStatusBar* statusBar, TdxStatusBarPanelBevel bevel,
                               TcxCanvas* canvas, TRect& rect) const {}
  virtual void DrawPanelSeparator(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, const TRect& rect) const {}
  virtual void DrawSizeGrip(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, Boolean overlapped,
                            const TRect& rect) const;
  virtual void FillTopBorder(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, const TRect& rect) const;
  virtual void DrawPanelBackground(TdxCustomStatusBar* statusBar, TdxStatusBarPanel* panel,
                                   TcxCanvas* canvas, const TRect& rect) const {}
  virtual TdxStatusBarPanelBevel GetPanelBevel(TdxStatusBarPanel* panel) const;
  virtual TColor GetPanelColor(TdxCustomStatusBar* statusBar, TdxStatusBarPanel* panel) const;
  virtual TRect AdjustTextRect(TdxCustomStatusBar* statusBar, TdxStatusBarPanel* panel,
                               const TRect& rect) const {
    return rect;
  }
};

class TdxStatusBarStandardPainter : public TdxStatusBarPainter {
  ORV_CLASS(TdxStatusBarStandardPainter, TdxStatusBarPainter)
 public:
  static TdxStatusBarPainterClass Class();
  void DrawPanelBorder(TdxCustomStatusBar* statusBar, TdxStatusBarPanelBevel bevel, TcxCanvas* canvas,
                       TRect& rect) const override;
  void DrawPanelSeparator(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, const TRect& rect) const override;
  void DrawPanelBackground(TdxCustomStatusBar* statusBar, TdxStatusBarPanel* panel, TcxCanvas* canvas,
                           const TRect& rect) const override;
};

class TdxStatusBarFlatPainter : public TdxStatusBarStandardPainter {
  ORV_CLASS(TdxStatusBarFlatPainter, TdxStatusBarStandardPainter)
 public:
  static TdxStatusBarPainterClass Class();
  void DrawPanelBorder(TdxCustomStatusBar* statusBar, TdxStatusBarPanelBevel bevel, TcxCanvas* canvas,
                       TRect& rect) const override;
};

class TdxStatusBarOffice11Painter : public TdxStatusBarPainter {
  ORV_CLASS(TdxStatusBarOffice11Painter, TdxStatusBarPainter)
 public:
  static TdxStatusBarPainterClass Class();
  TRect GetBorderWidths(TdxCustomStatusBar* statusBar) const override { return {1, 1, 1, 1}; }
  void DrawBorder(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, TRect& rect) const override;
  void DrawPanelBorder(TdxCustomStatusBar* statusBar, TdxStatusBarPanelBevel bevel, TcxCanvas* canvas,
                       TRect& rect) const override;
  void DrawPanelSeparator(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, const TRect& rect) const override {}
  void DrawSizeGrip(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, Boolean overlapped,
                    const TRect& rect) const override;
};

// Draws with the "Status" class of the platform's visual styles; the status bar chooses it only
// while they are active (never on this platform). Without a theme its metrics fall back to the
// base painter's.
class TdxStatusBarXPPainter : public TdxStatusBarPainter {
  ORV_CLASS(TdxStatusBarXPPainter, TdxStatusBarPainter)
 public:
  static TdxStatusBarPainterClass Class();
  TRect GetBorderWidths(TdxCustomStatusBar* statusBar) const override { return {0, GetTopBorderHeight(), 0, 0}; }
  TSize GetSizeGripSize() const override;
  Integer GetSeparatorWidth() const override;
  void DrawBorder(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, TRect& rect) const override;
  void DrawPanelSeparator(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, const TRect& rect) const override;
  void DrawSizeGrip(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, Boolean overlapped,
                    const TRect& rect) const override;
};

// ==== Panel styles =================================================================================

class TdxStatusBarPanelStyle : public TPersistent {
  ORV_CLASS(TdxStatusBarPanelStyle, TPersistent)
 public:
  using TCreateSignature = void(TdxStatusBarPanel* owner);
  explicit TdxStatusBarPanelStyle(TdxStatusBarPanel* owner);
  void BeforeDestruction() override;
  ~TdxStatusBarPanelStyle() override;
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  TdxStatusBarPanel* GetPanel() const { return FOwner; }
  // The status bar of the panel's collection (nil without one).
  TdxCustomStatusBar* GetStatusBar() const;

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  // The assigned colour, else the status bar's.
  TColor GetColor() const;
  void SetColor(TColor value);
  Boolean IsColorStored() const { return FColorAssigned; }
  TFont* GetFont() const { return FFont; }
  void SetFont(TFont* value);
  Boolean GetParentFont() const { return FParentFont; }
  void SetParentFont(Boolean value);
  Boolean IsFontStored() const { return !FParentFont; }

  // ---- Virtual operations ----
  virtual void AdjustTextColor(TColor& color, Boolean active);
  virtual Boolean IsDeletable() { return true; }
  // Whether the panel's Width, MinWidth and Fixed apply.
  virtual Boolean CanSizing() { return true; }
  virtual void NotifyChange();
  virtual void ExcludeSizeGrip(TRect& rect);
  virtual TColor GetDefaultColor() const;
  virtual void DoAssign(TdxStatusBarPanelStyle* style);
  virtual void DrawContent(TcxCanvas* canvas, const TRect& rect, TdxStatusBarPainterClass painter);
  virtual Integer GetMinWidth() { return 20; }
  // A class-level answer; the status bar refuses a class that answers true.
  static Boolean IsUnsupportedStyle() { return false; }
  virtual Boolean DrawsOwnBevels() { return false; }
  virtual void Loaded() {}
  virtual void PanelVisibleChanged() {}
  virtual void ParentFontChanged();
  virtual void RestoreDefaults();

 protected:
  // The panel's Changed (False).
  void PanelChanged();

 private:
  void FontChanged(TObject* sender);

  TdxStatusBarPanel* FOwner;
  TAlignment FAlignment = taLeftJustify;
  TColor FColor = clBtnFace;
  Boolean FColorAssigned = false;
  TFont* FFont;
  Boolean FParentFont = true;
  Boolean FInternalFontChange = false;
};

using TdxStatusBarPanelStyleClass = orv::ClassOf<TdxStatusBarPanelStyle>;

// Plain text with an optional image.
class TdxStatusBarTextPanelStyle : public TdxStatusBarPanelStyle {
  ORV_CLASS(TdxStatusBarTextPanelStyle, TdxStatusBarPanelStyle)
 public:
  explicit TdxStatusBarTextPanelStyle(TdxStatusBarPanel* owner);

  Boolean GetAutoHint() const { return FAutoHint; }
  // At most one text panel of a status bar has it: turning it on turns it off on the others.
  void SetAutoHint(Boolean value);
  TdxStatusBarEllipsisType GetEllipsisType() const { return FEllipsisType; }
  void SetEllipsisType(TdxStatusBarEllipsisType value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer value);
  const TdxStatusBarTextEvent& GetOnGetText() const { return FOnGetText; }
  void SetOnGetText(const TdxStatusBarTextEvent& value) { FOnGetText = value; }

  void DoAssign(TdxStatusBarPanelStyle* style) override;
  void DrawContent(TcxCanvas* canvas, const TRect& rect, TdxStatusBarPainterClass painter) override;
  void RestoreDefaults() override;

 private:
  Boolean FAutoHint = false;
  TdxStatusBarEllipsisType FEllipsisType = dxetNone;
  Integer FImageIndex = -1;
  TdxStatusBarTextEvent FOnGetText;
};

// The control a container panel hosts its child controls in.
class TdxStatusBarContainerControl : public TcxControl {
  ORV_CLASS(TdxStatusBarContainerControl, TcxControl)
 public:
  explicit TdxStatusBarContainerControl(TComponent* owner);
  void BeforeDestruction() override;

  TdxStatusBarContainerPanelStyle* GetPanelStyle() const { return FPanelStyle; }
  Boolean MayFocus() override { return false; }

 protected:
  void Paint() override;
  Boolean NeedsScrollBars() override { return false; }

 private:
  friend class TdxStatusBarContainerPanelStyle;
  TdxStatusBarContainerPanelStyle* FPanelStyle = nullptr;
};

// Hosts child controls (the program's progress bar) in a container control that covers the
// panel's content.
class TdxStatusBarContainerPanelStyle : public TdxStatusBarPanelStyle {
  ORV_CLASS(TdxStatusBarContainerPanelStyle, TdxStatusBarPanelStyle)
 public:
  explicit TdxStatusBarContainerPanelStyle(TdxStatusBarPanel* owner);
  void BeforeDestruction() override;

  Boolean GetAlignControl() const { return FAlignControl; }
  void SetAlignControl(Boolean value) { FAlignControl = value; }
  TdxStatusBarContainerControl* GetContainer() const { return FContainer; }
  void SetContainer(TdxStatusBarContainerControl* value);

  Boolean IsDeletable() override;
  void DoAssign(TdxStatusBarPanelStyle* style) override;
  void PanelVisibleChanged() override;
  void RestoreDefaults() override;
  // Gives the container the panel's content rectangle, less the size grip (and its children
  // the whole container when AlignControl is set); the status bar calls it with every layout.
  void PlaceContainer(const TRect& contentRect, TdxStatusBarPainterClass painter);

 private:
  friend class TdxStatusBarContainerControl;
  void CreateContainer();

  Boolean FAlignControl = true;
  TdxStatusBarContainerControl* FContainer = nullptr;
};

// The look of one lock key in a keyboard state panel.
class TdxStatusBarKeyStateAppearance : public TPersistent {
  ORV_CLASS(TdxStatusBarKeyStateAppearance, TPersistent)
 public:
  TdxStatusBarKeyStateAppearance(TdxStatusBarKeyboardState key, Integer code, const AnsiString& activeCaption,
                                 TColor activeFontColor, const AnsiString& inactiveCaption,
                                 TColor inactiveFontColor, TNotifyEvent onChange);
  void Assign(TPersistent* source) override;

  TdxStatusBarKeyboardState GetId() const { return FId; }
  Integer GetCode() const { return FCode; }
  // The wider of the two captions on the canvas, plus 4.
  Integer GetCellWidth(TcxCanvas* canvas);

  TColor GetActiveFontColor() const { return FActiveFontColor; }
  void SetActiveFontColor(TColor value);
  TColor GetInactiveFontColor() const { return FInactiveFontColor; }
  void SetInactiveFontColor(TColor value);
  const AnsiString& GetActiveCaption() const { return FActiveCaption; }
  void SetActiveCaption(const AnsiString& value);
  const AnsiString& GetInactiveCaption() const { return FInactiveCaption; }
  void SetInactiveCaption(const AnsiString& value);

  virtual void NotifyChange();

 private:
  TdxStatusBarKeyboardState FId;
  Integer FCode;
  TColor FActiveFontColor;
  TColor FInactiveFontColor;
  AnsiString FActiveCaption;
  AnsiString FInactiveCaption;
  TNotifyEvent FOnChange;
};

// One watched key: its virtual-key code and the toggle byte last read.
class TdxStatusBarKeyboardStateWatchedKey : public TObject {
  ORV_CLASS(TdxStatusBarKeyboardStateWatchedKey, TObject)
 public:
  explicit TdxStatusBarKeyboardStateWatchedKey(Integer code);
  Integer GetCode() const { return FCode; }
  Integer GetKeyState() const { return FKeyState; }
  void SetKeyState(Integer value) { FKeyState = value; }

 private:
  Integer FCode;
  Integer FKeyState;
};

// Polls the watched keys every 100 ms and re-lays the status bar out when one toggled.
class TdxStatusBarKeyboardStateNotifier : public TObject {
  ORV_CLASS(TdxStatusBarKeyboardStateNotifier, TObject)
 public:
  explicit TdxStatusBarKeyboardStateNotifier(TdxCustomStatusBar* statusBar);
  ~TdxStatusBarKeyboardStateNotifier() override;

  void AddKey(Integer code);
  void RemoveKey(Integer code);
  Integer GetKeyCount() const { return Integer(FKeys.size()); }
  TTimer* GetTimer() const { return FTimer; }

 private:
  void TimerHandler(TObject* sender);
  TdxCustomStatusBar* FStatusBar;
  TTimer* FTimer;
  std::vector<TdxStatusBarKeyboardStateWatchedKey*> FKeys;
};

class TdxStatusBarKeyboardStatePanelStyle : public TdxStatusBarPanelStyle {
  ORV_CLASS(TdxStatusBarKeyboardStatePanelStyle, TdxStatusBarPanelStyle)
 public:
  explicit TdxStatusBarKeyboardStatePanelStyle(TdxStatusBarPanel* owner);
  void BeforeDestruction() override;
  ~TdxStatusBarKeyboardStatePanelStyle() override;

  TdxStatusBarKeyboardStates GetKeyboardStates() const { return FKeyboardStates; }
  void SetKeyboardStates(TdxStatusBarKeyboardStates value);
  Boolean GetFullRect() const { return FFullRect; }
  void SetFullRect(Boolean value);
  TdxStatusBarKeyStateAppearance* GetCapsLockKeyAppearance() const { return FAppearances[dxksCapsLock]; }
  TdxStatusBarKeyStateAppearance* GetNumLockKeyAppearance() const { return FAppearances[dxksNumLock]; }
  TdxStatusBarKeyStateAppearance* GetScrollLockKeyAppearance() const { return FAppearances[dxksScrollLock]; }
  TdxStatusBarKeyStateAppearance* GetInsertKeyAppearance() const { return FAppearances[dxksInsert]; }
  TdxStatusBarKeyStateAppearance* GetKeyAppearance(TdxStatusBarKeyboardState key) const { return FAppearances[key]; }
  void SetCapsLockKeyAppearance(TdxStatusBarKeyStateAppearance* value) { FAppearances[dxksCapsLock]->Assign(value); }
  void SetNumLockKeyAppearance(TdxStatusBarKeyStateAppearance* value) { FAppearances[dxksNumLock]->Assign(value); }
  void SetScrollLockKeyAppearance(TdxStatusBarKeyStateAppearance* value) { FAppearances[dxksScrollLock]->Assign(value); }
  void SetInsertKeyAppearance(TdxStatusBarKeyStateAppearance* value) { FAppearances[dxksInsert]->Assign(value); }
  TdxStatusBarKeyboardStateNotifier* GetNotifier() const { return FNotifier; }

  Boolean CanSizing() override { return false; }
  void DoAssign(TdxStatusBarPanelStyle* style) override;
  void DrawContent(TcxCanvas* canvas, const TRect& rect, TdxStatusBarPainterClass painter) override;
  Boolean DrawsOwnBevels() override { return !FFullRect; }
  Integer GetMinWidth() override;
  void RestoreDefaults() override;

 private:
  void AppearanceChanged(TObject* sender);
  TdxStatusBarKeyboardStates FKeyboardStates = dxStatusBarAllKeyboardStates;
  Boolean FFullRect = false;
  TdxStatusBarKeyStateAppearance* FAppearances[4] = {};
  TdxStatusBarKeyboardStateNotifier* FNotifier = nullptr;
};

class TdxStatusBarStateIndicatorItem : public TCollectionItem {
  ORV_CLASS(TdxStatusBarStateIndicatorItem, TCollectionItem)
 public:
  explicit TdxStatusBarStateIndicatorItem(TCollection* collection);
  ~TdxStatusBarStateIndicatorItem() override;
  void Assign(TPersistent* source) override;

  TdxStatusBarStateIndicatorType GetIndicatorType() const { return FIndicatorType; }
  void SetIndicatorType(TdxStatusBarStateIndicatorType value);
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);
  // The lamp of the type (17 x 8).
  TBitmap* GetIndicatorBitmap() const { return FIndicatorBitmap; }

 private:
  TdxStatusBarStateIndicatorType FIndicatorType = sitOff;
  Boolean FVisible = true;
  TBitmap* FIndicatorBitmap;
};

class TdxStatusBarStateIndicators : public TCollection {
  ORV_CLASS(TdxStatusBarStateIndicators, TCollection)
 public:
  TdxStatusBarStateIndicators();
  TdxStatusBarStateIndicatorItem* GetItem(Integer index) const {
    return static_cast<TdxStatusBarStateIndicatorItem*>(TCollection::GetItem(index));
  }
  TdxStatusBarStateIndicatorItem* Add() { return static_cast<TdxStatusBarStateIndicatorItem*>(TCollection::Add()); }
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TNotifyEvent FOnChange;
};

class TdxStatusBarStateIndicatorPanelStyle : public TdxStatusBarPanelStyle {
  ORV_CLASS(TdxStatusBarStateIndicatorPanelStyle, TdxStatusBarPanelStyle)
 public:
  explicit TdxStatusBarStateIndicatorPanelStyle(TdxStatusBarPanel* owner);
  ~TdxStatusBarStateIndicatorPanelStyle() override;

  TdxStatusBarStateIndicators* GetIndicators() const { return FIndicators; }
  void SetIndicators(TdxStatusBarStateIndicators* value) { FIndicators->Assign(value); }
  Integer GetSpacing() const { return FSpacing; }
  void SetSpacing(Integer value);

  Boolean CanSizing() override { return false; }
  void DoAssign(TdxStatusBarPanelStyle* style) override;
  void DrawContent(TcxCanvas* canvas, const TRect& rect, TdxStatusBarPainterClass painter) override;
  Integer GetMinWidth() override;
  void RestoreDefaults() override;

 private:
  void IndicatorsChanged(TObject* sender);
  TdxStatusBarStateIndicators* FIndicators;
  Integer FSpacing = 4;
};

// The registry of panel style classes, by which panels resolve PanelStyleClassName.
TcxRegisteredClasses* GetStatusBarPanelStyleRegistry();

// ==== Panels =======================================================================================

class TdxStatusBarPanel : public TCollectionItem {
  ORV_CLASS(TdxStatusBarPanel, TCollectionItem)
 public:
  explicit TdxStatusBarPanel(TCollection* collection);
  void BeforeDestruction() override;
  void Assign(TPersistent* source) override;
  AnsiString GetDisplayName() const override;

  TdxStatusBarPanels* GetPanels() const;
  TdxCustomStatusBar* GetStatusBar() const;
  // Reports a change to the collection (the status bar then lays out and repaints).
  void Changed(bool allItems) { TCollectionItem::Changed(allItems); }

  // ---- Properties ----
  AnsiString GetPanelStyleClassName() const;
  void SetPanelStyleClassName(const AnsiString& value);
  TdxStatusBarPanelStyleClass GetPanelStyleClass() const { return FPanelStyleClass; }
  void SetPanelStyleClass(TdxStatusBarPanelStyleClass value);
  TdxStatusBarPanelStyle* GetPanelStyle() const { return FPanelStyle; }
  // Assigns into the existing style.
  void SetPanelStyle(TdxStatusBarPanelStyle* value);
  const TNotifyEvent& GetPanelStyleEvents() const { return FPanelStyleEvents; }
  void SetPanelStyleEvents(const TNotifyEvent& value) { FPanelStyleEvents = value; }
  TdxStatusBarPanelBevel GetBevel() const { return FBevel; }
  void SetBevel(TdxStatusBarPanelBevel value);
  Boolean GetFixed() const;
  void SetFixed(Boolean value);
  Integer GetMinWidth() const;
  void SetMinWidth(Integer value);
  Boolean IsMinWidthStored() const { return FIsMinWidthAssigned; }
  const AnsiString& GetText() const { return FText; }
  void SetText(const AnsiString& value);
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);
  Integer GetWidth() const;
  void SetWidth(Integer value);
  Boolean IsWidthStored() const { return FIsWidthAssigned; }
  const TNotifyEvent& GetOnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& value) { FOnClick = value; }
  const TNotifyEvent& GetOnDblClick() const { return FOnDblClick; }
  void SetOnDblClick(const TNotifyEvent& value) { FOnDblClick = value; }
  const TdxStatusBarDrawPanelEvent& GetOnDrawPanel() const { return FOnDrawPanel; }
  void SetOnDrawPanel(const TdxStatusBarDrawPanelEvent& value) { FOnDrawPanel = value; }

  // ---- Virtual operations ----
  virtual void Click();
  virtual void CreatePanelStyle();
  virtual void DblClick();
  virtual Integer GetDefaultMinWidth() const;
  virtual Integer GetDefaultWidth() const;
  virtual void DestroyPanelStyle();
  virtual Integer GetLayoutMinWidth() const;
  virtual Integer GetLayoutWidth() const;
  virtual void AdjustLayoutWidth(Integer& width) const;
  virtual void StyleChanged() { Changed(false); }
  virtual void RestoreDefaults();

 private:
  Boolean StyleCanSizing() const { return !FPanelStyle || FPanelStyle->CanSizing(); }
  void FreePanelStyle();

  TdxStatusBarPanelStyleClass FPanelStyleClass;
  TdxStatusBarPanelStyle* FPanelStyle = nullptr;
  TNotifyEvent FPanelStyleEvents;
  TdxStatusBarPanelBevel FBevel = dxpbLowered;
  Boolean FFixed = true;
  Integer FMinWidth = 20;
  Boolean FIsMinWidthAssigned = false;
  AnsiString FText;
  Boolean FVisible = true;
  Integer FWidth = 50;
  Boolean FIsWidthAssigned = false;
  TNotifyEvent FOnClick;
  TNotifyEvent FOnDblClick;
  TdxStatusBarDrawPanelEvent FOnDrawPanel;
};

using TdxStatusBarPanelClass = orv::ClassOf<TdxStatusBarPanel>;

class TdxStatusBarPanels : public TCollection {
  ORV_CLASS(TdxStatusBarPanels, TCollection)
 public:
  using TCreateSignature = void(TdxCustomStatusBar* owner);
  explicit TdxStatusBarPanels(TdxCustomStatusBar* owner);

  TdxStatusBarPanel* GetItem(Integer index) const {
    return static_cast<TdxStatusBarPanel*>(TCollection::GetItem(index));
  }
  TdxStatusBarPanel* Add() { return static_cast<TdxStatusBarPanel*>(TCollection::Add()); }
  TdxCustomStatusBar* GetStatusBar() const { return FStatusBar; }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TdxCustomStatusBar* FStatusBar;
};

// ==== View info ====================================================================================

class TdxStatusBarViewInfo : public TObject {
  ORV_CLASS(TdxStatusBarViewInfo, TObject)
 public:
  using TCreateSignature = void(TdxCustomStatusBar* owner);
  explicit TdxStatusBarViewInfo(TdxCustomStatusBar* owner) : FStatusBar(owner) {}

  virtual void Calculate(const TRect& bounds);

  TdxCustomStatusBar* GetStatusBar() const { return FStatusBar; }
  Integer GetPanelCount() const { return Integer(FPanels.size()); }
  TdxStatusBarPanel* GetPanel(Integer index) const { return FPanels[std::size_t(index)]; }
  // 2n-1 entries for n visible panels: panel, separator, panel, ..., panel.
  Integer GetWidthCount() const { return Integer(FWidths.size()); }
  Integer GetWidth(Integer index) const { return FWidths[std::size_t(index)]; }
  Boolean GetPanelsFillWidth() const { return FPanelsFillWidth; }

 private:
  TdxCustomStatusBar* FStatusBar;
  std::vector<TdxStatusBarPanel*> FPanels;
  std::vector<Integer> FWidths;
  Boolean FPanelsFillWidth = false;
};

using TdxStatusBarViewInfoClass = orv::ClassOf<TdxStatusBarViewInfo>;

// ==== The status bar ===============================================================================

// The status bar owns no bar manager link: hints of bar items and a manager-chosen painter come
// through OnHint and PaintStyle until the bar manager exists.
class TdxCustomStatusBar : public TcxControl {
  ORV_CLASS(TdxCustomStatusBar, TcxControl)
 public:
  explicit TdxCustomStatusBar(TComponent* owner);
  void BeforeDestruction() override;
  ~TdxCustomStatusBar() override;
  void Dispatch(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

  // ---- Properties ----
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TdxStatusBarPanels* GetPanels() const { return FPanels; }
  void SetPanels(TdxStatusBarPanels* value) { FPanels->Assign(value); }
  TdxStatusBarPaintStyle GetPaintStyle() const { return FPaintStyle; }
  void SetPaintStyle(TdxStatusBarPaintStyle value);
  Boolean GetSizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(Boolean value);
  // The look and feel of the control, assigned into.
  void SetLookAndFeelValue(TcxLookAndFeel* value);
  const TNotifyEvent& GetOnHint() const { return FOnHint; }
  void SetOnHint(const TNotifyEvent& value) { FOnHint = value; }
  Integer GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer value);

  TdxStatusBarPainterClass GetPainterClassValue() const { return FPainter; }
  TdxStatusBarViewInfo* GetViewInfo() const { return FViewInfo; }
  Boolean IsVisualStylesAvailable() const { return FThemeAvailable; }

  // ---- Virtual operations ----
  virtual void DoAdjustTextColor(TColor& color, Boolean active) {}
  virtual TdxStatusBarViewInfo* CreateViewInfo();
  virtual void CalculateLayout();
  virtual TdxStatusBarPanel* CreatePanel();
  virtual TdxStatusBarPanels* CreatePanels();
  virtual Boolean DoHint();
  virtual TdxStatusBarPanelStyleClass GetDefaultPanelStyleClass();
  virtual TdxStatusBarPainterClass GetPainterClass();
  virtual TdxStatusBarPaintStyle GetEffectivePaintStyle();
  virtual TdxStatusBarPanelClass GetPanelClass();
  virtual void UpdatePainter();
  virtual void PaintStyleChanged();
  virtual Boolean IsSizeGripVisible();
  virtual void ThemeChanged();
  virtual void LayoutChanged();
  virtual Boolean CanAcceptPanelStyle(TdxStatusBarPanelStyleClass value);
  virtual TdxStatusBarPanel* GetPanelAt(Integer x, Integer y);

  // A hint action (an action of class THintAction) shows its hint in the last text panel that
  // has AutoHint, unless OnHint handles it; true when handled here.
  virtual Boolean ExecuteAction(TBasicAction* action);

  Boolean MayFocus() override { return false; }

  // Client bounds of the panel area after the painter's border (GetPanelAt's rectangle).
  TRect GetPanelsBounds();
  // The client rectangle of the visible panel at a view-info index (painting coordinates).
  TRect GetPanelRect(Integer visibleIndex);

 protected:
  void Paint() override;
  void Resize() override;
  void FontChanged() override;
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override;
  Boolean NeedsEraseBackground() override { return false; }
  Boolean NeedsScrollBars() override { return false; }
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;

 private:
  void ImageListChanged(TObject* sender);
  void ThemeChangedHandler(TObject* sender);
  void PlaceContainers();

  TCustomImageList* FImages = nullptr;
  TdxStatusBarPanels* FPanels = nullptr;
  TdxStatusBarPaintStyle FPaintStyle = stpsStandard;
  Boolean FSizeGrip = true;
  TNotifyEvent FOnHint;
  Integer FBorderWidth = 0;
  TdxStatusBarPainterClass FPainter = nullptr;
  Boolean FThemeAvailable = false;
  TdxStatusBarViewInfo* FViewInfo = nullptr;
  TChangeLink* FImageChangeLink = nullptr;
  TdxThemeChangedNotificator* FThemeChangedNotificator = nullptr;
};

class TdxStatusBar : public TdxCustomStatusBar {
  ORV_CLASS(TdxStatusBar, TdxCustomStatusBar)
 public:
  explicit TdxStatusBar(TComponent* owner) : TdxCustomStatusBar(owner) {}
};

namespace orv {
// The painter a status bar with PaintStyle stpsUseLookAndFeel takes while its look and feel has
// a skin painter; nil unless a skinning unit sets it.
extern TdxStatusBarPainterClass dxStatusBarSkinPainterClass;
}  // namespace orv
