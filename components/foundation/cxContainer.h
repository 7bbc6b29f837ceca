// Containers: the windowed controls that host one native inner control inside a frame they draw
// themselves. This unit holds
//  - the container styles: ten style values (frame, colours, font, hot tracking, shadow), each
//    assigned in the style, supplied by a style controller or defaulted; a container has four of
//    them (normal, focused, disabled, hot), the three state styles taking what they leave
//    unassigned from the normal one;
//  - the style controller, a component whose four styles many containers follow, and the global
//    default controller that styles naming none follow;
//  - the view info: the frame, background, shadow and client rectangle computed for a container
//    state, their painting through the look-and-feel painters, and the window shape that cuts
//    away the transparent border band and follows the shadow.
#pragma once

#include <array>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/Graphics.h"
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

namespace orv {
// What a container style asks of the container that owns it. The container control implements
// it; a style whose owner does not is a style without a container (a controller's, a popup's).
class IContainerStyleHost : public virtual IInterface {
 public:
  virtual TcxContainer* GetContainer() = 0;
  virtual Boolean UsesParentColorByDefault() = 0;
  virtual Boolean IsInplace() = 0;
  virtual Boolean GetParentColor() = 0;
  virtual void SetParentColor(Boolean value) = 0;
  virtual Boolean GetParentFont() = 0;
  virtual void SetParentFont(Boolean value) = 0;
  // Whether the control has a parent, and that parent's colour.
  virtual Boolean HasParentControl() = 0;
  virtual TColor GetParentControlColor() = 0;
  // Whether a style property of the container is written to form files.
  virtual Boolean IsStylePropertyStored(const AnsiString& propertyName, Boolean checkExtended) = 0;
};
}  // namespace orv

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
  // The owning container (nil when the owner is none).
  TcxContainer* GetOwnerContainer() const;
  orv::IContainerStyleHost* GetContainerHost() const { return FHost; }
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
  orv::IContainerStyleHost* FHost = nullptr;
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
// The child window's region becomes its visible rectangle, or none when wholly visible.
void SetChildWindowRegion(HWND child, const TcxContainerInnerControlClipState& clipState);
// The part of a child (bounds in the container's client coordinates) inside `containerRect`,
// in the child's own coordinates.
TcxContainerInnerControlClipState CalculateChildClipState(const TRect& containerRect, const TRect& childBounds);
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

// ==== Container geometry ======================================================================

namespace orv {
// What a container knows when it computes its view info; the container control fills it from
// itself and keeps the results in its view info.
struct TContainerViewContext {
  TcxContainerStyles* Styles = nullptr;
  Integer Width = 0;
  Integer Height = 0;
  Boolean Enabled = true;
  Boolean Focused = false;
  Boolean DesignTime = false;
  Boolean InPlace = false;
  Boolean ParentColor = false;
  Boolean NativeStyle = false;
};

// The style of a state: disabled, else focused, else hot (with Style.HotTrack), else normal.
TcxContainerStyle* ContainerStyleForState(const TContainerViewContext& c, TcxContainerState state);
TcxContainerState ContainerStateAt(const TContainerViewContext& c, Boolean hotTrackingAllowed,
                                   Boolean inHotTrackArea);
Boolean ContainerHasShadow(const TContainerViewContext& c, TcxContainerStyle* activeStyle);
// Widths between bounds and border rectangle per side (Left, Top, Right, Bottom).
TRect ContainerBorderExtent(const TContainerViewContext& c, TcxContainerStyle* activeStyle,
                            const TcxContainerViewInfo* viewInfo);
TColor ContainerBorderColor(const TContainerViewContext& c, TcxContainerStyle* activeStyle,
                            TcxContainerState state, TcxCustomLookAndFeelPainterClass skinPainter);
// 0 enabled and focused, 1 disabled, 2 enabled and not focused.
Integer ContainerColorState(const TContainerViewContext& c);
void ContainerPainterColors(const TContainerViewContext& c, TcxContainerStyle* activeStyle,
                            TcxCustomLookAndFeelPainterClass skinPainter, TColor& background,
                            TColor& textColor);
TColor ContainerBackgroundColor(const TContainerViewContext& c, TcxContainerStyle* activeStyle,
                                TcxCustomLookAndFeelPainterClass skinPainter);
TRect ContainerHotTrackArea(const TContainerViewContext& c, const TcxContainerViewInfo* viewInfo);
TRect ContainerOuterRect(const TContainerViewContext& c, TcxContainerStyle* activeStyle,
                         const TcxContainerViewInfo* viewInfo);
// The whole calculation for a client point; answers the active style of the new state.
TcxContainerStyle* CalculateContainerViewInfo(const TContainerViewContext& c, TcxContainerViewInfo* viewInfo,
                                              const TPoint& point, Boolean hotTrackingAllowed);
}  // namespace orv
