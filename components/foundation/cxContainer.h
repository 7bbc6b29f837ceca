// Containers: the windowed controls that host one native inner control inside a frame they draw
// themselves (every editor and list box derives from the container control). This unit holds
//  - the container styles: ten style values (frame, colours, font, hot tracking, shadow), each
//    assigned in the style, supplied by a style controller or defaulted; a container has four of
//    them (normal, focused, disabled, hot), the three state styles taking what they leave
//    unassigned from the normal one;
//  - the style controller, a component whose four styles many containers follow, and the global
//    default controller that styles naming none follow;
//  - the view info: the frame, background, shadow and client rectangle computed for a container
//    state, their painting through the look-and-feel painters, and the window shape that cuts
//    away the transparent border band and follows the shadow;
//  - the container control itself, with its view-state cycle and its inner scroll bars;
//  - window routines the containers, popups and editors share;
//  - the inner list box, the native list the list containers host.
#pragma once

#include <array>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/StdCtrls.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Sets.h"

class TcxContainer;
class TcxContainerStyle;
class TcxContainerStyles;
class TcxStyleController;
class TcxContainerViewInfo;
class TReader;
class TWriter;

// ==== Types ===================================================================================

enum TcxContainerBorderStyle { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11 };

// The container state for a point: normal (bit value 1), focused (2), disabled (4), hot (8).
// Disabled stands alone; hot joins normal or focused.
enum TcxContainerStateItem { csNormal, csActive, csDisabled, csHotTrack };
using TcxContainerState = orv::Set<TcxContainerStateItem>;

// The style values by index; editors add their own from 10 on.
enum TcxContainerStyleValue : int {
  csvBorderColor, csvBorderStyle, csvColor, csvEdges, csvFont, csvHotTrack, csvShadow,
  csvTextColor, csvTextStyle, csvTransparentBorder
};
using TcxContainerStyleValues = orv::Set<TcxContainerStyleValue>;

// The values only the normal (root) style holds; state styles read and write them on it.
inline constexpr TcxContainerStyleValues cxContainerStyleRootValues{
    csvEdges, csvFont, csvHotTrack, csvShadow, csvTransparentBorder};

// Style indexes of a style set.
inline constexpr Integer csNormalStyle = 0;
inline constexpr Integer csFocusedStyle = 1;
inline constexpr Integer csDisabledStyle = 2;
inline constexpr Integer csHotStyle = 3;

using TcxContainerStyleClass = orv::ClassOf<TcxContainerStyle>;
using TcxContainerStylesClass = orv::ClassOf<TcxContainerStyles>;
using TcxContainerViewInfoClass = orv::ClassOf<TcxContainerViewInfo>;

// A native control hosted by a container reports itself and its container (the container lookup
// of a control and the editors' view data ask for it).
class IcxContainerInnerControl : public virtual IInterface {
 public:
  virtual TWinControl* GetControl() = 0;
  virtual TcxContainer* GetControlContainer() = 0;
};

// ==== Container style =========================================================================

using TcxContainerStyleChangedEvent = orv::Event<void(TObject* sender)>;

class TcxContainerStyle : public TcxInterfacedPersistent {
  ORV_CLASS(TcxContainerStyle, TcxInterfacedPersistent)
 public:
  using TCreateSignature = void(TPersistent* owner, Boolean directAccess,
                                TcxContainerStyle* parentStyle, Integer state);
  TcxContainerStyle(TPersistent* owner, Boolean directAccess, TcxContainerStyle* parentStyle = nullptr,
                    Integer state = csNormalStyle);
  void BeforeDestruction() override;
  ~TcxContainerStyle() override;

  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler* filer) override;

  // ---- Values (resolved: assigned, else the controller's, else the default) ----
  TColor GetBorderColor() const;
  void SetBorderColor(TColor value);
  TcxContainerBorderStyle GetBorderStyle() const;
  void SetBorderStyle(TcxContainerBorderStyle value);
  // The published colour: a root style of a container with ParentColor on and a parent answers
  // the parent's colour first.
  virtual TColor GetColor() const;
  void SetColor(TColor value);
  TcxBorders GetEdges() const;
  void SetEdges(TcxBorders value);
  // The root's font object (the font given in direct access).
  TFont* GetFont() const;
  void SetFont(TFont* value);
  Boolean GetHotTrack() const;
  void SetHotTrack(Boolean value);
  Boolean GetShadow() const;
  void SetShadow(Boolean value);
  virtual TColor GetTextColor() const;
  void SetTextColor(TColor value);
  virtual TFontStyles GetTextStyle() const;
  void SetTextStyle(TFontStyles value);
  Boolean GetTransparentBorder() const;
  void SetTransparentBorder(Boolean value);
  // The assigned or controller value first; then, for the root of a container that is not
  // in-place and has ParentColor on and a parent, the parent's colour; then the default.
  virtual TColor GetVisibleColor() const;

  TcxContainerStyleValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxContainerStyleValues value);

  // The root's look and feel.
  TcxLookAndFeel* GetLookAndFeel() const;
  void SetLookAndFeel(TcxLookAndFeel* value);
  // The visible font: Font with TextColor and TextStyle applied.
  TFont* GetDisplayFont();
  // For the editors.
  TFont* GetVisibleFont() { return GetDisplayFont(); }

  // None when the root follows the default controller (or none).
  TcxStyleController* GetStyleController() const;
  void SetStyleController(TcxStyleController* value);
  // The controller the root follows, the default one included.
  TcxStyleController* GetEffectiveStyleController() const;

  // ---- Change lock ----
  void LockUpdate();
  // Below zero does nothing; the last unlock reports a pending change.
  void UnlockUpdate();
  // For the editors.
  void BeginUpdate() { LockUpdate(); }
  void EndUpdate() { UnlockUpdate(); }

  Boolean IsRootStyle() const { return FParentStyle == nullptr; }
  TcxContainerStyle* GetRootStyle() const { return FParentStyle ? FParentStyle : const_cast<TcxContainerStyle*>(this); }
  TcxContainerStyle* GetParentStyle() const { return FParentStyle; }
  Integer GetState() const { return FState; }
  Boolean GetDirectAccessMode() const { return FDirectAccessMode; }
  TPersistent* GetStyleOwner() const { return FOwner; }
  // The owner when it is a container.
  TcxContainer* GetOwnerContainer() const { return FContainer; }
  void RefreshFont();
  // Case-insensitive.
  Boolean FindValueIndex(const AnsiString& name, Integer& index) const;

  const TcxContainerStyleChangedEvent& GetOnChanged() const { return FOnChanged; }
  void SetOnChanged(const TcxContainerStyleChangedEvent& value) { FOnChanged = value; }

  // ---- Virtual operations ----
  virtual void StyleChanged();
  virtual void StyleControllerChanged();
  virtual void StyleControllerFreed(TcxStyleController* controller);
  virtual TColor GetDefaultBorderColor() const;
  virtual TcxContainerBorderStyle GetDefaultBorderStyle() const;
  virtual TColor GetDefaultColor() const;
  virtual TcxBorders GetDefaultEdges() const { return cxBordersAll; }
  virtual Boolean GetDefaultHotTrack() const { return true; }
  virtual Boolean GetDefaultShadow() const { return false; }
  virtual TColor GetDefaultTextColor() const;
  virtual TFontStyles GetDefaultTextStyle() const;
  virtual Boolean GetDefaultTransparentBorder() const { return true; }
  virtual void HandleFontChange(TObject* sender);
  virtual TcxStyleController* GetDefaultController() const;
  virtual TcxContainerStyleValues GetUnpublishedExtendedValues() const { return cxContainerStyleRootValues; }
  virtual Integer GetValueCount() const { return 10; }
  virtual Boolean GetValueName(Integer index, AnsiString& name) const;
  virtual Boolean IsBorderVisible() const;
  // Assigned or supplied by a controller.
  virtual Boolean IsValueAssigned(Integer index) const;
  virtual void ResetToDefaults();

  // ---- Form storage ----
  Boolean IsValueStored(TcxContainerStyleValue value) const;
  Boolean IsStyleControllerStored() const { return FState == csNormalStyle && GetStyleController(); }

 protected:
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues);
  void CheckChanges();

 private:
  friend class TcxStyleController;
  friend class TcxContainer;
  // The style that holds `value` (the root for root values).
  const TcxContainerStyle* Holder(TcxContainerStyleValue value) const {
    return cxContainerStyleRootValues.Contains(value) ? GetRootStyle() : this;
  }
  // The style whose raw value answers `value`: the holder when it assigns it, else the matching
  // style of the controllers followed; nil when nobody does.
  const TcxContainerStyle* FindValueSource(TcxContainerStyleValue value) const;
  TcxContainerStyle* ControllerStyle(Integer state) const;
  void LinkController(TcxStyleController* value);
  void MarkAssigned(TcxContainerStyleValue value);
  void ReadIsFontAssigned(TReader* reader);
  void WriteIsFontAssigned(TWriter* writer);

  TPersistent* FOwner;
  TcxContainer* FContainer = nullptr;
  Integer FState;
  TcxContainerStyle* FParentStyle = nullptr;
  Boolean FDirectAccessMode;

  TColor FBorderColor = clDefault;
  TcxContainerBorderStyle FBorderStyle = cbsNone;
  TColor FColor = clWindow;
  TcxBorders FEdges = cxBordersAll;
  Boolean FHotTrack = true;
  Boolean FShadow = false;
  TColor FTextColor = clWindowText;
  TFontStyles FTextStyle;
  Boolean FTransparentBorder = true;
  TFont* FFont = nullptr;
  Boolean FOwnsFont = false;
  TFont* FVisibleFont = nullptr;
  TcxContainerStyleValues FAssignedValues;

  TcxLookAndFeel* FLookAndFeel = nullptr;
  TcxStyleController* FStyleController = nullptr;
  Integer FUpdateCount = 0;
  Boolean FModified = false;
  Integer FFontAssignLock = 0;
  Boolean FDestroying = false;
  TcxContainerStyleChangedEvent FOnChanged;
};

// ==== Style set ===============================================================================

// The four styles of a container or controller, by state: normal 0, focused 1, disabled 2, hot 3.
class TcxContainerStyles : public TObject {
  ORV_CLASS(TcxContainerStyles, TObject)
 public:
  using TCreateSignature = void(TPersistent* owner, TcxContainerStyleClass styleClass);
  TcxContainerStyles(TPersistent* owner, TcxContainerStyleClass styleClass);
  // Frees the styles from the last to the first.
  void BeforeDestruction() override;

  TcxContainerStyle* GetStyleByState(Integer state) const { return FStyles[state]; }
  TcxContainerStyle* GetNormalStyle() const { return FStyles[csNormalStyle]; }
  TcxContainerStyle* GetFocusedStyle() const { return FStyles[csFocusedStyle]; }
  TcxContainerStyle* GetDisabledStyle() const { return FStyles[csDisabledStyle]; }
  TcxContainerStyle* GetHotStyle() const { return FStyles[csHotStyle]; }
  // The setters copy the given style into the held one.
  void AssignStyleByState(Integer state, TcxContainerStyle* value) { FStyles[state]->Assign(value); }
  void SetNormalStyle(TcxContainerStyle* value) { AssignStyleByState(csNormalStyle, value); }
  void SetFocusedStyle(TcxContainerStyle* value) { AssignStyleByState(csFocusedStyle, value); }
  void SetDisabledStyle(TcxContainerStyle* value) { AssignStyleByState(csDisabledStyle, value); }
  void SetHotStyle(TcxContainerStyle* value) { AssignStyleByState(csHotStyle, value); }

  // Sets the change handler of all four.
  void SetOnChanged(const TcxContainerStyleChangedEvent& value);

 private:
  std::array<TcxContainerStyle*, 4> FStyles{};
};

// ==== Style controller ========================================================================

class TcxStyleController : public TComponent {
  ORV_CLASS(TcxStyleController, TComponent)
 public:
  explicit TcxStyleController(TComponent* owner);
  void BeforeDestruction() override;
  void Loaded() override;

  // The controller's four styles (made on first use, by the classes the controller names).
  TcxContainerStyles* GetStyles();
  TcxContainerStyle* GetStyle() { return GetStyles()->GetNormalStyle(); }
  TcxContainerStyle* GetStyleDisabled() { return GetStyles()->GetDisabledStyle(); }
  TcxContainerStyle* GetStyleFocused() { return GetStyles()->GetFocusedStyle(); }
  TcxContainerStyle* GetStyleHot() { return GetStyles()->GetHotStyle(); }
  void SetStyle(TcxContainerStyle* value) { GetStyles()->SetNormalStyle(value); }
  void SetStyleDisabled(TcxContainerStyle* value) { GetStyles()->SetDisabledStyle(value); }
  void SetStyleFocused(TcxContainerStyle* value) { GetStyles()->SetFocusedStyle(value); }
  void SetStyleHot(TcxContainerStyle* value) { GetStyles()->SetHotStyle(value); }
  // The normal style's controller (form designers list it; the setter does nothing).
  TcxStyleController* GetFakeStyleController() { return GetStyle()->GetStyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}

  // OnStyleChanged, then (unless destroying) every listener in list order.
  void NotifyStyleChanged(TObject* sender = nullptr);
  // Scales the font of the first controller in the chain that assigns one, once.
  void ScaleFont(Integer multiplier, Integer divisor);

  virtual void AddStyleListener(TcxContainerStyle* listener);
  virtual TcxContainerStyleClass GetStyleClass() const { return TcxContainerStyle::StaticClass(); }
  virtual TcxContainerStylesClass GetStylesClass() const { return TcxContainerStyles::StaticClass(); }
  virtual void RemoveStyleListener(TcxContainerStyle* listener);

  Boolean IsDestroying() const { return FIsDestruction; }
  Integer GetListenerCount() const { return Integer(FListeners.size()); }
  TcxContainerStyle* GetListener(Integer index) const { return FListeners[index]; }

  const TNotifyEvent& GetOnStyleChanged() const { return FOnStyleChanged; }
  void SetOnStyleChanged(const TNotifyEvent& value) { FOnStyleChanged = value; }

 private:
  std::vector<TcxContainerStyle*> FListeners;
  TcxContainerStyles* FStyles = nullptr;
  TNotifyEvent FOnStyleChanged;
  Boolean FIsDestruction = false;
  Boolean FFontScaled = false;
};

// The default style controller that root styles naming none follow; the editor framework sets
// it when its unit starts and clears it when it ends. Without one, styles follow no controller.
extern TcxStyleController* GlobalDefaultStyleController;

// ==== Border routines =========================================================================

// Pixels: none 0, single 1, thick 2, flat 2, 3D 2, ultra-flat 1, Office 11 1.
Integer GetContainerBorderWidth(TcxContainerBorderStyle borderStyle);
// Pixels: flat 2, standard 2, ultra-flat 1, Office 11 1.
Integer GetLookAndFeelBorderWidth(TcxLookAndFeelKind kind);
// The two 3-pixel clBtnShadow strips below and right of `rect`, each excluded from the clip
// after it is filled.
void DrawDropShadow(TcxCanvas* canvas, const TRect& rect);
// The editors' name for DrawDropShadow.
inline void DrawContainerShadow(TcxCanvas* canvas, const TRect& rect) { DrawDropShadow(canvas, rect); }
// Each side present in `edges` moves out by `width`.
void GrowRectByEdges(TRect& rect, Integer width, TcxBorders edges);
// Each side absent from `edges` moves in by `width`.
void ShrinkRectByMissingEdges(TRect& rect, Integer width, TcxBorders edges);
// Fills `outer` less `inner` (four bands), or all of `outer` when `inner` is empty.
void FillFrameBand(TcxCanvas* canvas, const TRect& outer, const TRect& inner, TColor color);
// The window shape of a container: the outer rectangle, with a shadow the same moved by (3, 3)
// and reduced by the insets, less `excluded`. Nil for a themed frame or when the outer rectangle
// is the window's whole client area (nothing to cut away). The caller frees the region.
TcxRegion* CreateContainerRegion(HWND window, const TRect& outerRect, const TRect& shadowInsets,
                                 Boolean themedFrame, Boolean shadow, const TRect& excludedRect);
// Sets that shape as the window region (redrawing) only when it differs from the current one.
void ApplyWindowRegion(HWND window, const TRect& outerRect, const TRect& shadowInsets,
                       Boolean themedFrame, Boolean shadow, const TRect& excludedRect);
// The editors' order of the arguments.
inline void ApplyWindowRegion(HWND window, const TRect& outerRect, const TRect& shadowInsets,
                              const TRect& excludedRect, Boolean shadow, Boolean nativeFrame) {
  ApplyWindowRegion(window, outerRect, shadowInsets, nativeFrame, shadow, excludedRect);
}
// A child control's clipping inside its container: wholly visible, or only `VisibleRect` of it.
struct TcxContainerInnerControlClipState {
  Boolean IsWhollyVisible = true;
  TRect VisibleRect{};
};
// The child's window region becomes its visible rectangle, or none when wholly visible
// (redrawing); nothing for a control without a window.
void SetChildWindowRegion(HWND child, const TcxContainerInnerControlClipState& clipState);
void SetChildWindowRegion(TWinControl* child, const TcxContainerInnerControlClipState& clipState);
// Invalidates `outer` less `inner` (four bands), or all of `outer` when `inner` is empty.
void InvalidateRectExcept(HWND window, const TRect& outer, const TRect& inner, Boolean erase);

// ==== View info ===============================================================================

// What a container computed for its state: frame, colours, rectangles. Descendants (the edit
// view infos) read and write the fields directly.
class TcxContainerViewInfo : public TObject {
  ORV_CLASS(TcxContainerViewInfo, TObject)
 public:
  TcxContainerViewInfo() = default;

  virtual void DrawBorder(TcxCanvas* canvas, const TRect& rect);
  virtual TcxContainerBorderStyle GetContainerBorderStyle() const { return BorderStyle; }
  virtual void DoPaint(TcxCanvas* canvas);
  virtual void AssignBackgroundColor(TColor value) { BackgroundColor = value; }
  // Copies the client rectangle of another container view info.
  virtual void Assign(TObject* source);
  // The region to repaint when this view info replaces `oldViewInfo`: empty here.
  virtual TcxRegion* CreateUpdateRegion(TcxContainerViewInfo* oldViewInfo);
  virtual void OffsetRects(Integer dx, Integer dy);
  virtual void PaintOn(TcxCanvas* canvas) { DoPaint(canvas); }

  TColor BackgroundColor = clWindow;
  TColor BorderColor = clBtnShadow;
  TRect Bounds{};
  TRect BorderRect{};
  TRect ClientRect{};
  TcxContainerBorderStyle BorderStyle = cbsNone;
  Integer BorderWidth = 0;
  TcxContainerState ContainerState{csNormal};
  TcxBorders Edges = cxBordersAll;
  // 0 without hot tracking; 2 focused or hot; else 1.
  Integer HotState = 0;
  Boolean NativeStyle = false;
  Integer ThemedObjectType = 0;
  Integer NativePart = 0;
  Integer NativeState = 0;
  TcxCustomLookAndFeelPainterClass Painter;
  Boolean Shadow = false;
};


// ==== The container control ===================================================================

// Private messages of the containers and their popups.
// Close a popup later (posted by PostCloseUp).
constexpr UINT DXM_CLOSEPOPUPWINDOW = 0x807D;
// Open a popup again with its focus target.
constexpr UINT DXM_SHOWPOPUPWINDOW = 0x807E;
// Refresh a container's view state for the cursor.
constexpr UINT DXM_CONTAINERREFRESHSTATE = 0x807F;
// Place and update a container's inner scroll bars.
constexpr UINT DXM_UPDATEINNERSCROLLBARS = 0x8080;

// A handler with two integers that CallAssignedHandler calls.
using TcxContainerAssignedHandler = orv::Event<void(Integer, Integer)>;

// The windowed control that hosts one native inner control (a list box, an edit window) inside a
// frame it draws itself, and that shows the frame, background and colours of one of four state
// styles. From the mouse position, the focus and the enabled state it decides which style is
// active (the view-state cycle), recomputes its view info, moves the inner control into the
// client rectangle, gives it the active colours and font, clips the window to the frame and the
// shadow, and keeps focus, keys and mouse of container and inner control consistent so that the
// pair behaves as one control. Every editor and list box derives from it.
//
// The style set and the view info are made on first use, so that the classes a descendant names
// (GetStylesClass, GetStyleClass, GetViewInfoClass) count; so is the parent colour a descendant
// uses by default (UsesParentColorByDefault).
class TcxContainer : public TcxControl, public IcxMouseTrackingCaller {
  ORV_CLASS(TcxContainer, TcxControl)
 public:
  explicit TcxContainer(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxContainer() override;

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void SetFocus() override;
  bool Focused() override;
  void SetDragMode(TDragMode value) override;
  void Invalidate() override;
  void Update() override;
  void GetTabOrderList(TList* list) override;
  TRect GetClientBounds() override;
  TcxLookAndFeel* GetLookAndFeelValue() override;
  Boolean CanFocusOnClick() override;
  Boolean MayFocus() override;
  Boolean FocusWhenChildIsClicked(TControl* child) override { return false; }
  void TranslationChanged() override;
  // The inherited notice, then the view state is refreshed (the popup hooks call it too).
  void FocusChanged() override;
  // The container's bars mirror the inner control's native ones (UpdateInnerScrollBars).
  void UpdateScrollBars() override;

  // ---- Styles ----
  TcxContainerStyles* GetContainerStyles();
  TcxContainerStyle* GetStyle() { return GetContainerStyles()->GetNormalStyle(); }
  TcxContainerStyle* GetStyleDisabled() { return GetContainerStyles()->GetDisabledStyle(); }
  TcxContainerStyle* GetStyleFocused() { return GetContainerStyles()->GetFocusedStyle(); }
  TcxContainerStyle* GetStyleHot() { return GetContainerStyles()->GetHotStyle(); }
  // The setters copy the given style into the held one.
  void SetStyle(TcxContainerStyle* value) { GetContainerStyles()->SetNormalStyle(value); }
  void SetStyleDisabled(TcxContainerStyle* value) { GetContainerStyles()->SetDisabledStyle(value); }
  void SetStyleFocused(TcxContainerStyle* value) { GetContainerStyles()->SetFocusedStyle(value); }
  void SetStyleHot(TcxContainerStyle* value) { GetContainerStyles()->SetHotStyle(value); }
  // Style.StyleController, for form designers (the setter does nothing; never stored).
  TcxStyleController* GetFakeStyleController() { return GetStyle()->GetStyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}
  // The active style's display font, with the painter's text colour when it gives one.
  TFont* GetActiveFont();
  TcxContainerViewInfo* GetViewInfo();

  // ---- Inner control ----
  TWinControl* GetInnerControl() const { return FInnerControl; }
  // Replaces the inner control, moving the free notification.
  void SetInnerControl(TWinControl* value);
  // Raises (true) or lowers (false, never below zero) the lock descendants hold around their own
  // moves of the inner control.
  void LockInnerControlMove(Boolean lock);
  Boolean IsInnerControlMoveLocked() const { return FInnerControlMoveLockCount > 0; }
  // HandleInnerControlMessage while an inner control exists and the container is not being
  // destroyed; the inner controls skip their own handling when it answers true.
  Boolean TryHandleInnerControlMessage(TMessage& message);
  // Set by the inner list box while it forwards a mouse-down to the container.
  Boolean GetInnerControlMouseDown() const { return FInnerControlMouseDown; }
  void SetInnerControlMouseDown(Boolean value) { FInnerControlMouseDown = value; }

  // ---- View state ----
  // Recomputes and repaints the view state for the cursor: its client point when it lies over the
  // container or one of its child windows, else (-1, -1), with the current shift state.
  void RefreshStateAtCursor(Boolean isMouseEvent = false);
  // RefreshStateAtCursor when the last view-state update was refused.
  void UpdateStateIfIdle();
  Boolean IsViewStateValid() const { return FIsViewStateValid; }
  Boolean IsContainerDestroying() const { return GetComponentState().Contains(csDestroying); }
  Boolean IsCreatingContainer() const { return FIsCreating; }
  // Whether a style property is written to form files: with `checkExtended`, names the normal
  // style does not publish as extended ones are refused; then the unstored values.
  Boolean IsStylePropertyStored(const AnsiString& propertyName, Boolean checkExtended);
  // Posts DXM_UPDATEINNERSCROLLBARS.
  void PostUpdateInnerScrollBars();

  const TcxContainerAssignedHandler& GetAssignedHandler() const { return FAssignedHandler; }
  void SetAssignedHandler(const TcxContainerAssignedHandler& value) { FAssignedHandler = value; }

  // IcxMouseTrackingCaller: the mouse left the tracked bounds.
  void MouseLeave() override { HandleMouseLeave(); }

  // ---- New virtual operations ----
  // The inner control gets the view info's background colour and a copy of the active font.
  virtual void ApplyColorsToInnerControl();
  virtual void PlaceInnerScrollBar(TcxScrollBar* scrollBar);
  // Native style, painter, state, border, rectangles and colours for a client point.
  virtual void CalculateViewInfo(const TPoint& point, Boolean hotTrackingAllowed);
  // Whether Tab in the focused container moves the focus.
  virtual Boolean MovesFocusOnTab() { return true; }
  // False when the theme draws the frame (native style with a border).
  virtual Boolean PaintsOwnFrame();
  // Only with a window, no layout lock, outside construction and destruction.
  virtual Boolean CanUpdateLayout();
  virtual Boolean AllowsContextPopupAt(const TPoint& clientPoint) { return true; }
  // The change handler of the style set.
  virtual void ContainerStyleChanged(TObject* sender);
  // Reloads the shown value from bound data (nothing here).
  virtual void RefreshFromData() {}
  virtual void RefreshAtCursor() { RefreshStateAtCursor(false); }
  // Check boxes, group boxes, labels and progress bars answer true.
  virtual Boolean UsesParentColorByDefault() { return false; }
  // True when handled; WM_CONTEXTMENU is performed by the container.
  virtual Boolean HandleInnerControlMessage(TMessage& message);
  // Buttons: 0 none, 1 left, 2 right, 3 middle. True.
  virtual Boolean RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent,
                                   TShiftState shift);
  // The control's mouse-leave handling with no control, and tracking stops.
  virtual void HandleMouseLeave();
  // The style of the current state (cached for the state it was computed for).
  virtual TcxContainerStyle* GetActiveStyle();
  virtual TColor GetBackgroundColor();
  virtual TColor GetBorderColor();
  // Widths between the bounds and the border rectangle per side (Left, Top, Right, Bottom).
  virtual TRect GetBorderExtent();
  // clDefault twice without a skin painter.
  virtual void GetPainterColors(TColor& backgroundColor, TColor& textColor);
  // 0 enabled and focused, 1 disabled, 2 enabled and not focused.
  virtual Integer GetColorState();
  // The part of `child` inside `containerRect`, in the child's own coordinates.
  virtual void CalculateChildClipRect(const TRect& containerRect, TControl* child,
                                      TcxContainerInnerControlClipState& clipState);
  // The frame's outer rectangle.
  virtual TRect GetOuterRect();
  virtual TRect GetShadowInsets() { return TRect{}; }
  virtual TcxContainerStyleClass GetStyleClass() { return TcxContainerStyle::StaticClass(); }
  virtual TcxContainerStylesClass GetStylesClass() { return TcxContainerStyles::StaticClass(); }
  virtual TcxContainerViewInfoClass GetViewInfoClass() { return TcxContainerViewInfo::StaticClass(); }
  // The active style's Shadow, outside in-place use.
  virtual Boolean HasShadow();
  virtual void CallAssignedHandler(Integer a, Integer b);
  // Disabled, else focused, else hot (with Style.HotTrack), else normal.
  virtual TcxContainerStyle* GetStyleForState(TcxContainerState state);
  // Editors answer the values 10 to 15.
  virtual TcxContainerStyleValues GetUnstoredStyleValues() { return {}; }
  virtual Boolean IsNativeScrollBarShown(const SCROLLBARINFO& info);
  virtual Boolean IsFocusWithin() { return Focused(); }
  // Group boxes answer true: their children keep the normal tab order and alignment.
  virtual Boolean HostsChildControls() { return false; }
  virtual Boolean IsMouseTracked();
  virtual Boolean IsNativeStyleAvailable();
  virtual Boolean IsReadOnly() { return false; }
  virtual Boolean HasTransparentBackground() { return false; }
  virtual void UpdateWindowRegion();
  virtual void AlignInnerControl();
  // Intersects the canvas clip with the window shape.
  virtual void ClipCanvasToShape(TcxCanvas* canvas);
  // Writes the shown value to bound data (nothing here).
  virtual void StoreToData() {}
  virtual TdxThemedObjectKind GetThemeObjectKind() { return totEdit; }
  virtual Integer GetThemePart();
  virtual Integer GetThemeState();
  // Left and top in client coordinates, right and bottom the width and height; all zero when
  // the position is negative or the size does not fit the control.
  virtual void ScreenToClientRect(const TRect& screenRect, TRect& result);
  virtual Boolean IsInnerScrollBarEnabled(TcxScrollBar* scrollBar, const SCROLLBARINFO& info);
  // False while destroying, without a parent or without the windows.
  virtual Boolean GetInnerScrollBarInfo(TScrollBarKind kind, SCROLLBARINFO& info);
  virtual void FocusInnerControl();
  // On the container and on the inner control.
  virtual void SetDragKind(TDragKind value);
  // A bar that becomes visible gets Ctl3D off and comes to the front.
  virtual void SetScrollBarVisible(TcxScrollBar* scrollBar, Boolean visible);
  virtual void InitInnerControlClipState();
  // The part of the control in which the cursor makes it hot: the frame counts, the
  // transparent band and the shadow do not.
  virtual TRect GetHotTrackArea();
  // Drop-down editors answer true while their popup is open.
  virtual Boolean HasOpenPopup() { return false; }
  // CN_KEYDOWN and CN_SYSKEYDOWN reaching the inner control go to the popup menus' shortcuts
  // first; true (Result 1) when consumed.
  virtual Boolean PreprocessInnerKeyMessage(TMessage& message);
  // Editors working inside a grid cell or another control answer true.
  virtual Boolean IsInplace() { return false; }
  // Mirrors the inner control's scroll bars with the container's own.
  virtual void UpdateInnerScrollBars(Boolean skipPlacing = false);

 protected:
  void CreateHandle() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void AdjustClientRect(TRect& rect) override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Paint() override;
  void Resize() override;
  void ChangeScale(Integer m, Integer d) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void DoContextPopup(TPoint mousePos, bool& handled) override;
  Boolean NeedsScrollBars() override { return false; }
  Boolean CanAutoDragAtDesignTime(Integer x, Integer y, TShiftState shift) override { return false; }
  void ControlColorChanged() override;
  void CursorChanged() override;
  void MouseEnter(TControl* control) override;
  void MouseLeave(TControl* control) override;
  // On CM_ENABLEDCHANGED, after every child scroll bar took the container's Enabled.
  virtual void EnabledChanged();

 private:
  friend class TcxCustomInnerListBox;
  void ViewStateUpdate(const TPoint& point, Integer button, Boolean isMouseEvent, TShiftState shift);
  TcxContainerState StateForPoint(const TPoint& point, Boolean hotTrackingAllowed);
  void SetBorderStyleOfState(TcxContainerStyle* activeStyle, TcxContainerState state);
  TcxRegion* CreateWindowShape(Boolean themedFrame);
  void StartTracking();
  void CMFontChanged(TMessage& message);
  void CMParentColorChanged(TMessage& message);
  void CMParentFontChanged(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMWindowPosChanging(TMessage& message);
  void WMSetCursor(TMessage& message);
  void EnabledChangedMessage(TMessage& message);

  TWinControl* FInnerControl = nullptr;
  TcxContainerStyles* FStyles = nullptr;
  TcxContainerStyle* FActiveStyle = nullptr;
  TcxContainerState FActiveStyleState{csNormal};
  TcxContainerViewInfo* FViewInfo = nullptr;
  Boolean FIsViewStateValid = false;
  Integer FLayoutLockCount = 0;
  Integer FInnerControlMoveLockCount = 0;
  Boolean FIsCreating = false;
  Boolean FIsStyleApplying = false;
  Boolean FInnerControlMouseDown = false;
  TcxContainerInnerControlClipState FInnerControlClipState;
  Boolean FUpdatingInnerScrollBars = false;
  TRect FSizeGripRect{};
  Boolean FSizeGripVisible = false;
  TcxContainerAssignedHandler FAssignedHandler;
};

// ==== Container window routines ===============================================================

class TCustomForm;

// The control itself when it is a container; else the container an inner control reports; else
// none.
TcxContainer* FindOwningContainer(TControl* control);
// The control's owning container shows a popup now.
Boolean IsContainerPopupOpen(TControl* control);
// The window is the control's own, or (with `includeDescendants`) lies inside it.
Boolean IsWindowOfControl(TWinControl* control, HWND window, Boolean includeDescendants = true);
// The window is a descendant of the control's window, of one of its windowed children, or of a
// popup the control (or a popup opened from its popups) owns. Not the control's own window.
Boolean IsWindowInsideControl(TWinControl* control, HWND window);
// (0, 0, Width, Height).
TRect GetControlLocalRect(TControl* control);
// Whether the control may show its hot look: the application is active, the control's visible
// window lies under the cursor, and its top window belongs to the active form (or hosts the
// owner of the first open popup).
Boolean IsControlHotTrackable(TWinControl* control);
// The form's window is the active one (an MDI child: it is the main form's active child); for a
// form parented into another window, its top-level ancestor is.
Boolean IsFormActive(TCustomForm* form);
// The first window from this one up its parents without WS_CHILD; none when there is none.
HWND FindTopLevelAncestorWindow(HWND window);

// A message of exactly that number waits for that window.
Boolean HasPendingMessage(HWND window, UINT message);
// Removes the window's waiting messages in [first, last], one at a time (only the first unless
// `all`); a WM_QUIT met on the way is posted again and ends the removal. True when any other
// message was removed.
Boolean DiscardPendingMessages(HWND window, UINT first, UINT last, Boolean all = true);
// The cursor in screen coordinates.
TPoint QueryCursorPos();
// Shift, Ctrl, Alt and the mouse buttons from the keyboard state.
TShiftState GetCurrentShiftState();
// Left 1, right 2, middle 3.
Integer TranslateMouseButton(TMouseButton button);

// Invalidates the rectangle of the control's window when the window exists.
void InvalidateControlRect(TWinControl* control, const TRect& rect, Boolean erase);
// The control has a window and it is visible.
Boolean IsControlWindowVisible(TWinControl* control);
// A window list for DisableWindowAndRemember and ReenableWindows.
using TcxWindowList = std::vector<HWND>;
// An enabled window joins the list and is disabled.
void DisableWindowAndRemember(TcxWindowList* list, HWND window);
// Every listed window that still exists is enabled again (nothing for no list).
void ReenableWindows(TcxWindowList* list);
// Makes the control's window again (the check list box uses it).
void RecreateControlWnd(TWinControl* control);
// The target takes every attribute of the source.
void CopyFontAttributes(TFont* target, TFont* source);

// Whether the window system reports its scroll bars (GetScrollBarInfo): the containers and list
// boxes lay their own bars over the native ones only then.
Boolean UseOwnScrollBars();
// GetScrollBarInfo with cbSize set; false when the entry is missing or the call fails.
Boolean QueryScrollBarInfo(HWND window, LONG objectId, SCROLLBARINFO& info);
// Fills the rectangle of the inner control's window (its non-client area, where the corner between
// two bars lies) in the container look and feel's size-grip area colour.
void FillInnerSizeGripArea(TcxContainer* container, const TRect& rect);

// Painting through the system's buffered painting (for controls drawn over glass): the window
// erases and prints its client area into a buffer whose pixels become opaque, then the buffer goes
// to the DC. Without buffered painting the window erases and prints into the DC itself.
void PaintBuffered(HDC dc, const TRect& rect, HWND window);
// Answers WM_PAINT through PaintBuffered.
void PaintWindowBuffered(HWND window);
// The whole client area through PaintBuffered on the window's DC.
void RepaintWindowBuffered(HWND window);

// Case-sensitive: the locale's comparison finds the two equal; otherwise their locale upper-case
// forms are identical.
Boolean CompareStringsEqual(const AnsiString& a, const AnsiString& b, Boolean caseSensitive);

// ==== Inner list box ==========================================================================

// The native list box that list containers and the lists inside editor popups host. It lays two
// scroll bars of the library over its native ones (kept in step with them, scrolling through
// them, the corner between them painted), forwards keys, mouse, drag and focus to its container
// so that the pair behaves as one control, and finds items by typing.
class TcxCustomInnerListBox : public TListBox, public IcxContainerInnerControl {
  ORV_CLASS(TcxCustomInnerListBox, TListBox)
 public:
  explicit TcxCustomInnerListBox(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomInnerListBox() override;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  TPopupMenu* GetPopupMenu() override;
  void DragDrop(TObject* source, Integer x, Integer y) override;

  // IcxContainerInnerControl.
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override { return FContainer; }

  TcxContainer* GetContainer() const { return FContainer; }
  void SetContainer(TcxContainer* value) { FContainer = value; }
  // The component canvas over the list box's canvas.
  TcxCanvas* GetCanvas() const { return FcxCanvas; }
  TcxLookAndFeel* GetLookAndFeel() const { return FLookAndFeel; }
  TcxScrollBar* GetHScrollBar() const { return FHScrollBar; }
  TcxScrollBar* GetVScrollBar() const { return FVScrollBar; }
  // The typed search text.
  const AnsiString& GetSearchText() const { return FSearchText; }

  // The corner between the two own bars in the list box's window coordinates; empty unless both
  // show.
  void GetSizeGripRect(TRect& rect);
  void PaintSizeGripCorner();

  // ---- New virtual operations ----
  // Incremental search by typing (with AutoComplete on).
  virtual void ProcessAutoCompleteKey(char& key);
  // Invalidates the list when it has a window.
  virtual void RefreshList();
  // No OnDrawItem handler.
  virtual Boolean DrawsItemsByDefault() { return !GetOnDrawItem(); }
  // Lays the own bars over the native ones and gives them their range, page and position.
  virtual void SyncScrollBars();

 protected:
  void Click() override;
  void DblClick() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;
  void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  void DestroyWindowHandle() override;

 private:
  void HScrollHandler(TObject* sender, TScrollCode code, Integer& position);
  void VScrollHandler(TObject* sender, TScrollCode code, Integer& position);
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues);
  void SyncScrollBar(TcxScrollBar* bar);
  void LeftButtonDown(TMessage& message);
  Boolean BothScrollBarsVisible() const;
  Boolean IsDestroyingListBox() const { return GetComponentState().Contains(csDestroying); }

  TcxContainer* FContainer = nullptr;
  TcxCanvas* FcxCanvas = nullptr;
  TcxScrollBar* FHScrollBar = nullptr;
  TcxScrollBar* FVScrollBar = nullptr;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  AnsiString FSearchText;
  DWORD FLastKeyTime = 0;
  Integer FScrollBarsLockCount = 0;
  Boolean FScrollBarsCalculating = false;
  Boolean FIsRedrawLocked = false;
};
