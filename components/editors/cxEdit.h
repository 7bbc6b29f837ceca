// The editor framework: the base of every editor control and of the settings, layout, styles and
// painting every editor kind shares.
//  - properties: the settings of an editor kind, apart from any control, shared between a
//    stand-alone editor, a repository item and the in-place editors of grid cells; with their
//    alignment, edit buttons, assigned-value flags, data-defaults provider and per-activation data;
//  - styles: the container style extended by the editors' button, popup and gradient values, and
//    the style controller many editors follow;
//  - view data and view info: the calculator that lays an editor out for a value (border,
//    buttons, client area, colours, state, size) and its result, which paints itself;
//  - the editor control, with its value pipeline (edit value, display value, modified flags,
//    change events with locking, validation, revert, posting), auto-size, keyboard, mouse, focus
//    and the in-place activation protocol;
//  - repository items and the repository, the registry of properties classes, the in-place edit
//    list, the editor data binding and the change-event catcher.
//
// Construction order: C++ constructors cannot reach a descendant's overrides, so the parts whose
// classes a descendant names (the editor's properties, data binding and inner control, the
// properties' buttons and assigned values, the view data's defaults) are made on first use or by
// the factory right after construction. An editor runs Initialize on its first use; a descendant
// that sets defaults overrides Initialize instead of touching its properties in its constructor.
#pragma once

#include <vector>

#include "components/data/cxDataUtils.h"
#include "components/editors/cxEditErrors.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/Graphics.h"
#include "platform/runtime/Collation.h"
#include "platform/runtime/Collection.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Variants.h"

namespace orv {

// Whether `c` is a letter of the locale's code page: one with a case partner in the locale's
// case mapping, Latin and Cyrillic alike.
inline bool IsAnsiLetter(char c) { return AnsiUpperChar(c) != AnsiLowerChar(c); }

// The largest Integer: an unset anchor, an unbounded width.
inline constexpr Integer kMaxInt = 0x7FFFFFFF;
// No pixel inside.
constexpr bool IsEmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

}  // namespace orv

class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxCustomEditStyle;
class TcxEditStyle;
class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
class TcxEditButtonViewInfo;
class TcxEditRepository;
class TcxEditRepositoryItem;
class TcxEditDataBinding;
class TcxCustomEditData;
class TcxCustomEditDefaultValuesProvider;
class TcxInplaceEditList;

// ==== Enumerations ============================================================================

// The same ordinals as the container's border styles.
enum TcxEditBorderStyle { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11 };
enum TcxEditButtonStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11 };
enum TcxEditButtonTransparency { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
enum TcxEditPopupBorderStyle { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };
// dirLeft .. dirDown of the foundation's direction type.
using TcxEditGradientDirection = TcxDirection;
enum TcxEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };
enum TcxEditButtonKind { bkEllipsis, bkDown, bkGlyph, bkText };
// A button's state in a view info: 0 disabled, 1 normal, 2 pressed, 3 hot.
enum TcxEditButtonState { ebsDisabled, ebsNormal, ebsPressed, ebsSelected };

// Style value indexes the edit style adds to the container's ten.
inline constexpr Integer svButtonStyle = 10;
inline constexpr Integer svButtonTransparency = 11;
inline constexpr Integer svPopupBorderStyle = 12;
inline constexpr Integer svGradientButtons = 13;
inline constexpr Integer svGradient = 14;
inline constexpr Integer svGradientDirection = 15;
// Their assigned bits (0x400 .. 0x8000).
inline constexpr Cardinal cxEditStyleValueBits = 0xFC00;

// Bits of GetDisplayFormatOptions.
inline constexpr Integer dfoSupports = 1;
inline constexpr Integer dfoNoCurrencyValue = 2;
// Bits of GetEditorTraits.
inline constexpr Integer etPictureContent = 1;
inline constexpr Integer etButtonGroup = 2;
inline constexpr Integer etCheckBox = 4;
// The bit of GetCapabilities set when there is a button.
inline constexpr Word cxEditCapabilityButtons = 32;

// The record an editor fills once through its view data (text offsets and corrections).
struct TcxEditMetrics {
  TRect ClientLeftBoundCorrection{};  // correction rectangle; empty in the base
  TRect TextOffsets{};
  Byte Flags = 2;  // bit 0 sets paint option bit 4; bit 1 shifts a pressed button's content
  Integer HorzRemainder = 0;
  Integer NativeHeightCorrection = 0;
};

// (-1, 0, -1): the third field is the width limit (negative = none).
struct TcxEditSizeProperties {
  Integer Height = -1;
  Integer MaxLineCount = 0;
  Integer Width = -1;
};

// ==== Interfaces ==============================================================================

// Data-dependent defaults of the properties (a dataset field supplies them in data-bound use).
class IcxEditDefaultValuesProvider : public virtual IInterface {
 public:
  virtual Boolean CanEnterEditMode() = 0;
  virtual void DetachFromProperties() = 0;
  virtual TAlignment DefaultAlignment() = 0;
  virtual Integer DefaultBlobKind() = 0;
  virtual Boolean IsModifiable() = 0;
  virtual AnsiString DefaultDisplayFormat() = 0;
  virtual AnsiString DefaultEditFormat() = 0;
  virtual AnsiString DefaultEditMask() = 0;
  virtual Boolean IsFloatValue() = 0;
  virtual Integer DefaultMaxLength() = 0;
  virtual Double DefaultMaxValue() = 0;
  virtual Double DefaultMinValue() = 0;
  virtual Integer DefaultPrecision() = 0;
  virtual Boolean DefaultReadOnly() = 0;
  virtual Boolean DefaultRequired() = 0;
  virtual TObject* GetProviderObject() = 0;
  virtual Boolean IsDataBound() = 0;
  virtual Boolean IsBlobValue() = 0;
  virtual Boolean IsCurrency() = 0;
  virtual Boolean HasActiveData() = 0;
  virtual Boolean HasDefaultDisplayFormat(Boolean formatsItself) = 0;
  virtual Boolean UsesFieldDisplayText() = 0;
  virtual Boolean HasSetTextHandler() = 0;
  virtual Boolean IsValidCharacter(char c) = 0;
};

// The inner native control of an editor, through a companion object of the control.
class IcxCustomInnerEdit : public IcxContainerInnerControl {
 public:
  virtual LRESULT CallDefWndProc(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
  // True leaves cut and paste to the inner control.
  virtual Boolean RejectsClipboardMessages() = 0;
  virtual void GetEditValue(Variant& value) = 0;
  virtual TNotifyEvent GetOnChange() = 0;
  virtual Boolean GetReadOnly() = 0;
  virtual void LockBounds(Boolean lock) = 0;
  // Focus without the inner control's own auto-select.
  virtual void SafelySetFocus() = 0;
  virtual void SetEditValue(const Variant& value) = 0;
  virtual void SetParent(TWinControl* value) = 0;
  virtual void SetOnChange(const TNotifyEvent& value) = 0;
  virtual void SetReadOnly(Boolean value) = 0;
};

// Inner control classes that keep their IcxCustomInnerEdit on a companion object.
class IcxInnerEditProvider : public virtual IInterface {
 public:
  virtual void GetInnerEdit(IcxCustomInnerEdit*& innerEdit) = 0;
};

// How a repository item talks to the editors (and grid items) that use it.
class IcxEditRepositoryItemListener : public virtual IInterface {
 public:
  virtual void ItemRemoved(TcxEditRepositoryItem* sender) = 0;
  virtual void PropertiesChanged(TcxEditRepositoryItem* sender) = 0;
};

// The editor's contract for outside tools that set its text.
class IcxEditTextAccess : public virtual IInterface {
 public:
  virtual Boolean HasEditableText() = 0;
  virtual void SetExternalFlag(Boolean value) = 0;
  virtual void ApplyExternalText() = 0;
  virtual void SetEditValueExternally(const Variant& value) = 0;
};

// The look-and-feel code asks controls whether they are editors.
class IcxLookAndFeelEditorMarker : public virtual IInterface {};

// ==== Events ==================================================================================

using TcxEditButtonClickEvent = orv::Event<void(TObject* sender, Integer buttonIndex)>;
using TcxEditValidateEvent =
    orv::Event<void(TObject* sender, Variant& displayValue, AnsiString& errorText, Boolean& error)>;
using TcxEditEditingEvent = orv::Event<void(TObject* sender, Boolean& canEdit)>;
using TcxEditClosePopupEvent = orv::Event<void(TObject* sender, Integer reason)>;
using TcxEditGetDefaultButtonWidthEvent = orv::Event<void(TObject* sender, Integer index, Integer& width)>;
using TcxEditGetDisplayTextEvent = orv::Event<void(TObject* sender, AnsiString& text)>;
using TcxEditDrawBackgroundEvent = orv::Event<void(TcxCustomEditViewInfo* sender, TcxCanvas* canvas, Boolean& handled)>;
using TcxEditDrawButtonEvent =
    orv::Event<void(TcxCustomEditViewInfo* sender, TcxCanvas* canvas, Integer index, Boolean& handled)>;
using TcxEditDrawButtonBackgroundEvent = orv::Event<void(
    TcxCustomEditViewInfo* sender, TcxCanvas* canvas, const TRect& rect, Integer index, Boolean& handled)>;
using TcxEditDrawButtonBorderEvent = orv::Event<void(TcxCustomEditViewInfo* sender, TcxCanvas* canvas,
                                                     Integer index, TRect& backgroundRect,
                                                     TRect& contentRect, Boolean& handled)>;
using TcxEditButtonStateEvent = orv::Event<void(TcxEditButtonViewInfo* sender, TcxEditButtonState& state)>;
using TcxEditPaintEvent = orv::Event<void(TcxCustomEditViewInfo* sender, TcxCanvas* canvas)>;

// ==== Alignment, assigned values, buttons =====================================================

class TcxEditAlignment : public TPersistent {
  ORV_CLASS(TcxEditAlignment, TPersistent)
 public:
  using TCreateSignature = void(TPersistent* owner);
  explicit TcxEditAlignment(TPersistent* owner) : FOwner(owner) {}

  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override { return FOwner; }

  TAlignment GetHorz() const { return FHorz; }
  // Nothing when already assigned with that value; else assigned, stored and announced.
  void SetHorz(TAlignment value);
  Boolean IsHorzAssigned() const { return FIsHorzAssigned; }
  TcxEditVertAlignment GetVert() const { return FVert; }
  void SetVert(TcxEditVertAlignment value);
  // Forgets the assigned Horz and announces it.
  void Reset();
  Boolean IsHorzStored() const { return FIsHorzAssigned; }
  Boolean IsVertStored() const { return FVert != taTopJustify; }

  const TNotifyEvent& GetOnChanged() const { return FOnChanged; }
  void SetOnChanged(const TNotifyEvent& value) { FOnChanged = value; }

 private:
  friend class TcxCustomEditProperties;
  void DoChanged() { FireNotifyEvent(this, FOnChanged); }
  TPersistent* FOwner;
  TAlignment FHorz = taLeftJustify;
  Boolean FIsHorzAssigned = false;
  TcxEditVertAlignment FVert = taTopJustify;
  TNotifyEvent FOnChanged;
};

class TcxCustomEditPropertiesValues : public TPersistent {
  ORV_CLASS(TcxCustomEditPropertiesValues, TPersistent)
 public:
  using TCreateSignature = void(TPersistent* owner);
  explicit TcxCustomEditPropertiesValues(TPersistent* owner) : FOwner(owner) {}

  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override { return FOwner; }
  // Clears the flags inside the owner's update bracket.
  virtual void ResetToDefaults();

  Boolean GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(Boolean value);
  Boolean GetMinValue() const { return FMinValue; }
  void SetMinValue(Boolean value);
  Boolean GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(Boolean value);

 protected:
  TcxCustomEditProperties* Properties() const;
  void Changed();

 private:
  TPersistent* FOwner;
  Boolean FMaxValue = false;
  Boolean FMinValue = false;
  Boolean FReadOnly = false;
};
using TcxCustomEditPropertiesValuesClass = orv::ClassOf<TcxCustomEditPropertiesValues>;

class TcxEditButton : public TCollectionItem {
  ORV_CLASS(TcxEditButton, TCollectionItem)
 public:
  explicit TcxEditButton(TCollection* collection) : TCollectionItem(collection) {}
  ~TcxEditButton() override;

  void Assign(TPersistent* source) override;

  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  TAlignment GetContentAlignment() const { return FContentAlignment; }
  void SetContentAlignment(TAlignment value);
  Boolean GetDefault() const { return FDefault; }
  // Turning it on clears Default of the other buttons.
  void SetDefault(Boolean value);
  Boolean GetEnabled() const { return FEnabled; }
  void SetEnabled(Boolean value);
  // Made on first read.
  TBitmap* GetGlyph();
  // Nil frees the glyph.
  void SetGlyph(TBitmap* value);
  Boolean HasGlyph() const { return FGlyph != nullptr; }
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& value);
  TcxEditButtonKind GetKind() const { return FKind; }
  void SetKind(TcxEditButtonKind value);
  Boolean GetLeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(Boolean value);
  Boolean GetStretchable() const { return FStretchable; }
  void SetStretchable(Boolean value);
  Integer GetTag() const { return FTag; }
  void SetTag(Integer value);
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);
  // 0 is the view data's default width; negative values are ignored.
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer value);
  TColor GetTextColor() const { return FTextColor; }
  void SetTextColor(TColor value);
  // The caption without accelerator marks.
  AnsiString GetVisibleCaption() const { return FVisibleCaption; }

 private:
  void GlyphChanged(TObject* sender) { Changed(false); }
  AnsiString FCaption;
  AnsiString FVisibleCaption;
  TAlignment FContentAlignment = taCenter;
  Boolean FDefault = false;
  Boolean FEnabled = true;
  TBitmap* FGlyph = nullptr;
  AnsiString FHint;
  TcxEditButtonKind FKind = bkDown;
  Boolean FLeftAlignment = false;
  Boolean FStretchable = true;
  Integer FTag = 0;
  Boolean FVisible = true;
  Integer FWidth = 0;
  TColor FTextColor = clBtnText;
};
using TcxEditButtonClass = orv::ClassOf<TcxEditButton>;

class TcxEditButtons : public TOwnedCollection {
  ORV_CLASS(TcxEditButtons, TOwnedCollection)
 public:
  TcxEditButtons(TPersistent* owner, TCollectionItemClass itemClass) : TOwnedCollection(owner, itemClass) {}

  TcxEditButton* Add() { return static_cast<TcxEditButton*>(TCollection::Add()); }
  TcxEditButton* GetItem(Integer index) const { return static_cast<TcxEditButton*>(TCollection::GetItem(index)); }
  Integer GetVisibleCount() const;

  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

 protected:
  void Update(TCollectionItem* item) override { FireNotifyEvent(this, FOnChange); }

 private:
  TNotifyEvent FOnChange;
};
using TcxEditButtonsClass = orv::ClassOf<TcxEditButtons>;

// ==== Default-values provider =================================================================

class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent,
                                           public IcxEditDefaultValuesProvider {
  ORV_CLASS(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent)
 public:
  explicit TcxCustomEditDefaultValuesProvider(TPersistent* owner) : TcxInterfacedPersistent(owner) {}
  // Every properties object that uses this provider forgets it.
  void BeforeDestruction() override;

  Boolean CanEnterEditMode() override { return true; }
  void DetachFromProperties() override;
  TAlignment DefaultAlignment() override { return taLeftJustify; }
  Integer DefaultBlobKind() override { return 3; }
  Boolean IsModifiable() override { return true; }
  AnsiString DefaultDisplayFormat() override { return {}; }
  AnsiString DefaultEditFormat() override { return {}; }
  AnsiString DefaultEditMask() override { return {}; }
  Boolean IsFloatValue() override { return false; }
  Integer DefaultMaxLength() override { return 0; }
  Double DefaultMaxValue() override { return 0; }
  Double DefaultMinValue() override { return 0; }
  Integer DefaultPrecision() override { return 15; }
  Boolean DefaultReadOnly() override { return false; }
  Boolean DefaultRequired() override { return false; }
  TObject* GetProviderObject() override { return this; }
  Boolean IsDataBound() override { return false; }
  Boolean IsBlobValue() override { return false; }
  Boolean IsCurrency() override { return false; }
  Boolean HasActiveData() override { return true; }
  Boolean HasDefaultDisplayFormat(Boolean formatsItself) override { return false; }
  Boolean UsesFieldDisplayText() override { return false; }
  Boolean HasSetTextHandler() override { return false; }
  Boolean IsValidCharacter(char c) override { return true; }
};
using TcxCustomEditDefaultValuesProviderClass = orv::ClassOf<TcxCustomEditDefaultValuesProvider>;

// ==== Per-activation data =====================================================================

class TcxCustomEditData : public TObject {
  ORV_CLASS(TcxCustomEditData, TObject)
 public:
  using TCreateSignature = void(TcxCustomEdit* edit);
  explicit TcxCustomEditData(TcxCustomEdit* edit);
  void BeforeDestruction() override;

  // Marks the data cleared; when it is the editor's current data, the editor initializes it now.
  virtual void Clear();
  TcxCustomEdit* GetEdit() const { return FEdit; }
  Boolean GetCleared() const { return FCleared; }
  void SetCleared(Boolean value) { FCleared = value; }

 private:
  void EditFreed(TComponent* sender);
  Boolean FCleared = false;
  TcxCustomEdit* FEdit;
  TcxFreeNotificator* FFreeNotificator = nullptr;
};
using TcxCustomEditDataClass = orv::ClassOf<TcxCustomEditData>;

// ==== Properties ==============================================================================

using TcxCustomEditPropertiesClass = orv::ClassOf<TcxCustomEditProperties>;
using TcxCustomEditClass = orv::ClassOf<TcxCustomEdit>;
using TcxCustomEditViewDataClass = orv::ClassOf<TcxCustomEditViewData>;
using TcxCustomEditViewInfoClass = orv::ClassOf<TcxCustomEditViewInfo>;
using TcxCustomEditStyleClass = orv::ClassOf<TcxCustomEditStyle>;

class TcxCustomEditProperties : public TcxInterfacedPersistent {
  ORV_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent)
 public:
  explicit TcxCustomEditProperties(TPersistent* owner);
  void BeforeDestruction() override;
  ~TcxCustomEditProperties() override;

  void Assign(TPersistent* source) override;

  // ---- Change propagation ----
  void BeginUpdate();
  void EndUpdate(Boolean notify = true);
  // Notifies unless locked or the owner component is loading; else marks a change pending.
  void Changed();
  Boolean IsChangeLocked() const { return FChangeLock || FUpdateCount > 0; }
  void SetChangeLock(Boolean locked) { FChangeLock = locked; }
  Boolean IsChangePending() const { return FChangedOccurred; }
  Integer GetUpdateCount() const { return FUpdateCount; }
  Integer GetNotifyLockCount() const { return FNotifyLockCount; }
  const TNotifyEvent& GetOnPropertiesChanged() const { return FOnPropertiesChanged; }
  void SetOnPropertiesChanged(const TNotifyEvent& value) { FOnPropertiesChanged = value; }

  // ---- Published values ----
  // The public alignment, refreshed from the stored one at every read.
  TcxEditAlignment* GetAlignment();
  Boolean IsAlignmentStored() const;
  TcxEditAlignment* GetInnerAlignment() const { return FInnerAlignment; }
  TcxCustomEditPropertiesValues* GetAssignedValues();
  void SetAssignedValues(TcxCustomEditPropertiesValues* value) { GetAssignedValues()->Assign(value); }
  Boolean GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(Boolean value);
  Boolean GetBeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(Boolean value);
  TcxEditButtons* GetButtons();
  void SetButtons(TcxEditButtons* value) { GetButtons()->Assign(value); }
  Integer GetButtonsViewStyle() const { return FButtonsViewStyle; }
  void SetButtonsViewStyle(Integer value);
  TShortCut GetClearKey() const { return FClearKey; }
  void SetClearKey(TShortCut value);
  TShortCut GetClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut value);
  Boolean GetImmediatePost() const { return FImmediatePost; }
  void SetImmediatePost(Boolean value);
  Double GetMaxValue();
  void SetMaxValue(Double value);
  Double GetMinValue();
  void SetMinValue(Double value);
  Boolean GetMouseWheelEnabled() const { return FMouseWheelEnabled; }
  void SetMouseWheelEnabled(Boolean value);
  Boolean GetReadOnly();
  void SetReadOnly(Boolean value);
  Boolean IsMaxValueStored() { return GetAssignedValues()->GetMaxValue(); }
  Boolean IsMinValueStored() { return GetAssignedValues()->GetMinValue(); }
  Boolean IsReadOnlyStored() { return GetAssignedValues()->GetReadOnly(); }
  Boolean GetTransparent() const { return FTransparent; }
  void SetTransparent(Boolean value);
  Boolean GetUseLeftAlignmentOnEditing() const { return FUseLeftAlignmentOnEditing; }
  void SetUseLeftAlignmentOnEditing(Boolean value);
  Boolean IsUseLeftAlignmentOnEditingStored() { return FUseLeftAlignmentOnEditing != DefaultUseLeftAlignmentOnEditing(); }
  Boolean GetValidateOnEnter() const { return FValidateOnEnter; }
  void SetValidateOnEnter(Boolean value);

  const TcxEditButtonClickEvent& GetOnButtonClick() const { return FOnButtonClick; }
  void SetOnButtonClick(const TcxEditButtonClickEvent& value) { FOnButtonClick = value; }
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }
  const TcxEditClosePopupEvent& GetOnPopupClosed() const { return FOnPopupClosed; }
  void SetOnPopupClosed(const TcxEditClosePopupEvent& value) { FOnPopupClosed = value; }
  const TNotifyEvent& GetOnEditValueChanged() const { return FOnEditValueChanged; }
  void SetOnEditValueChanged(const TNotifyEvent& value) { FOnEditValueChanged = value; }
  const TcxEditValidateEvent& GetOnValidate() const { return FOnValidate; }
  void SetOnValidate(const TcxEditValidateEvent& value) { FOnValidate = value; }

  // ---- Provider ----
  IcxEditDefaultValuesProvider* GetDefaultValuesProvider() const { return FDefaultValuesProvider; }
  // Stores it; when the owner is an editor, Changed.
  void SetDefaultValuesProvider(IcxEditDefaultValuesProvider* provider);

  // ---- Other operations ----
  // The size of an editor of this kind for a value, without a control.
  TSize CalculateEditSize(TcxCanvas* canvas, TcxCustomEditStyle* style, Boolean isInplace,
                          const Variant& value, TcxEditSizeProperties& sizeLimits);
  Boolean HasDataDisplayFormat();
  Boolean CanModifyValue();
  // The OnValidate handlers of the editor; see CheckDisplayValue.
  void RunValidateHandlers(Variant& displayValue, AnsiString& errorText, Boolean& displayValueChanged,
                           TcxCustomEdit* editor, Boolean& error);
  // The owner component (the first TComponent up the owner chain) is loading.
  Boolean IsOwnerLoading();

  // ---- New virtual operations ----
  virtual void AlignmentChanged(TObject* sender);
  virtual void SetAlignment(TcxEditAlignment* value);
  virtual void ButtonsChanged(TObject* sender) { Changed(); }
  virtual Boolean SupportsValidation() { return false; }
  virtual Boolean DefaultUseLeftAlignmentOnEditing() { return true; }
  virtual void ClearDefaultValuesProvider() { FDefaultValuesProvider = nullptr; }
  virtual void NotifyChanged();
  virtual void ComponentFreed(TComponent* component) {}
  virtual TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() {
    return TcxCustomEditPropertiesValues::StaticClass();
  }
  virtual TAlignment GetDefaultHorzAlignment();
  virtual Integer GetDisplayFormatOptions() { return 0; }
  virtual AnsiString GetDefaultErrorText();
  virtual Boolean UsesDefaultDisplayFormat(Boolean isEditing);
  virtual TcxCustomEditViewDataClass GetViewDataClass();
  virtual Boolean HasSeparateChangeEvents() { return false; }
  virtual Boolean IsTabKeyConsumed() { return false; }
  virtual Boolean IsFocusDependent() { return true; }
  virtual Boolean IsEditValueComparable() { return false; }
  virtual TcxEditButtonsClass GetButtonsClass() { return TcxEditButtons::StaticClass(); }
  virtual TcxCustomEditClass GetEditClass();
  virtual TcxCustomEditStyleClass GetStyleClass();
  virtual TcxCustomEditViewInfoClass GetViewInfoClass();
  virtual void CopyStateTo(TcxCustomEditProperties* properties) {}
  virtual Boolean AreDisplayValuesEqual(const Variant& v1, const Variant& v2);
  // A new object of the same class without owner.
  virtual TcxCustomEditProperties* CreateEmptyCopy();
  // A view data of GetViewDataClass, initialized for these properties, the style and the flag.
  virtual TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, Boolean isInplace,
                                                Boolean previewMode = false);
  virtual void EmptyNotification() {}
  virtual void EditValueToDisplayText(const Variant& value, AnsiString& text) { text.clear(); }
  virtual Integer GetEditorTraits() { return 0; }
  virtual Word GetCapabilities();
  virtual Boolean IsActivationKey(char key) { return false; }
  virtual Boolean AcceptsEditValue(const Variant& value) { return true; }
  virtual Boolean IsValueRevertible() { return false; }
  virtual void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) {
    displayValue = value;
  }
  virtual void ResetToDefaults();
  virtual void CheckDisplayValue(Variant& displayValue, AnsiString& errorText, TcxCustomEdit* editor,
                                 Boolean& error);
  // 0; 1 exchanges the value with the data as text.
  virtual Integer GetValueExchangeMode(Boolean focused) { return 0; }

  // Every living properties object (in-place lists and providers walk it).
  static Integer GetInstanceCount();
  static TcxCustomEditProperties* GetInstance(Integer index);

 private:
  friend class TcxCustomEdit;
  TcxFreeNotificator* GetFreeNotificator();
  TcxEditAlignment* FAlignment = nullptr;
  TcxCustomEditPropertiesValues* FAssignedValues = nullptr;
  Boolean FAutoSelect = true;
  Boolean FBeepOnError = false;
  TcxEditButtons* FButtons = nullptr;
  Integer FButtonsViewStyle = 0;
  Boolean FChangedOccurred = false;
  TShortCut FClearKey = 0;
  TShortCut FClickKey = 16397;
  TcxFreeNotificator* FFreeNotificator = nullptr;
  Boolean FImmediatePost = false;
  TcxEditAlignment* FInnerAlignment = nullptr;
  Integer FNotifyLockCount = 0;
  Double FMaxValue = 0;
  Double FMinValue = 0;
  Boolean FReadOnly = false;
  Boolean FTransparent = false;
  Integer FUpdateCount = 0;
  Boolean FUseLeftAlignmentOnEditing = true;
  Boolean FMouseWheelEnabled = true;
  Boolean FValidateOnEnter = false;
  Boolean FChangeLock = false;
  IcxEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;
  TcxEditButtonClickEvent FOnButtonClick;
  TNotifyEvent FOnChange;
  TcxEditClosePopupEvent FOnPopupClosed;
  TNotifyEvent FOnEditValueChanged;
  TcxEditValidateEvent FOnValidate;
  TNotifyEvent FOnPropertiesChanged;
};

// ==== Styles ==================================================================================

class TcxCustomEditStyle : public TcxContainerStyle {
  ORV_CLASS(TcxCustomEditStyle, TcxContainerStyle)
 public:
  TcxCustomEditStyle(TPersistent* owner, Boolean directAccess, TcxContainerStyle* parentStyle = nullptr,
                     Integer state = csNormalStyle)
      : TcxContainerStyle(owner, directAccess, parentStyle, state) {}

  void Assign(TPersistent* source) override;
  Integer GetValueCount() const override { return 16; }
  Boolean GetValueName(Integer index, AnsiString& name) const override;
  Boolean IsValueAssigned(Integer index) const override;
  TcxStyleController* GetDefaultController() const override;
  TcxContainerStyleValues GetUnpublishedExtendedValues() const override;

  TcxEditBorderStyle GetEditBorderStyle() const { return TcxEditBorderStyle(GetBorderStyle()); }
  void SetEditBorderStyle(TcxEditBorderStyle value) { SetBorderStyle(TcxContainerBorderStyle(value)); }
  TcxEditButtonStyle GetButtonStyle() const;
  void SetButtonStyle(TcxEditButtonStyle value);
  TcxEditButtonTransparency GetButtonTransparency() const;
  void SetButtonTransparency(TcxEditButtonTransparency value);
  Boolean GetGradient() const;
  void SetGradient(Boolean value);
  Boolean GetGradientButtons() const;
  void SetGradientButtons(Boolean value);
  TcxEditGradientDirection GetGradientDirection() const;
  void SetGradientDirection(TcxEditGradientDirection value);
  TcxEditPopupBorderStyle GetPopupBorderStyle() const;
  void SetPopupBorderStyle(TcxEditPopupBorderStyle value);
  // Kept on the base style; no assigned bit.
  Boolean GetShowPopupCloseButton() const;
  void SetShowPopupCloseButton(Boolean value);
  TcxCustomEditStyle* GetBaseStyle() const { return static_cast<TcxCustomEditStyle*>(GetRootStyle()); }
  // The editor the style belongs to, or none.
  TcxCustomEdit* GetEdit() const;
  // Whether the assigned bit of an edit style value (10 .. 15) is set on this style itself.
  Boolean IsOwnValueAssigned(Integer index) const { return (FEditAssigned & (1u << index)) != 0; }
  // The stored rule of a published value by name.
  Boolean IsEditValueStored(Integer index, const char* name) const;

  // ---- New virtual operations ----
  virtual TcxEditButtonStyle GetDefaultButtonStyle() const;
  virtual TcxEditButtonTransparency GetDefaultButtonTransparency() const;
  virtual Boolean GetDefaultGradient() const;
  virtual Boolean GetDefaultGradientButtons() const;
  virtual TcxEditGradientDirection GetDefaultGradientDirection() const;
  virtual TcxEditPopupBorderStyle GetDefaultPopupBorderStyle() const;

 private:
  // The style (own or a controller's for this state) that assigns `index`, or none.
  const TcxCustomEditStyle* FindEditValueSource(Integer index) const;
  TcxCustomEditStyle* WriteTarget(Integer index);
  Byte FButtonStyle = btsDefault;
  Byte FButtonTransparency = ebtNone;
  Byte FGradient = 0;
  Byte FGradientButtons = 0;
  Byte FGradientDirection = dirDown;
  Byte FPopupBorderStyle = epbsDefault;
  Byte FShowPopupCloseButton = 1;
  Cardinal FEditAssigned = 0;
};

class TcxEditStyle : public TcxCustomEditStyle {
  ORV_CLASS(TcxEditStyle, TcxCustomEditStyle)
 public:
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

class TcxEditStyleController : public TcxStyleController {
  ORV_CLASS(TcxEditStyleController, TcxStyleController)
 public:
  explicit TcxEditStyleController(TComponent* owner) : TcxStyleController(owner) {}
  TcxContainerStyleClass GetStyleClass() const override { return TcxEditStyle::StaticClass(); }

  TcxEditStyle* GetStyle() { return static_cast<TcxEditStyle*>(TcxStyleController::GetStyle()); }
  TcxEditStyle* GetStyleDisabled() { return static_cast<TcxEditStyle*>(TcxStyleController::GetStyleDisabled()); }
  TcxEditStyle* GetStyleFocused() { return static_cast<TcxEditStyle*>(TcxStyleController::GetStyleFocused()); }
  TcxEditStyle* GetStyleHot() { return static_cast<TcxEditStyle*>(TcxStyleController::GetStyleHot()); }
};

// The one default controller (made on first use, freed at exit).
TcxEditStyleController* GetDefaultEditStyleController();

namespace orv {
// The framework's start, run once by the first properties object: the default style controller
// becomes the one container styles follow, and filter captions read their texts through the
// replacements the application sets.
void StartEditFramework();
}  // namespace orv

// ==== View info ===============================================================================

class TcxEditButtonViewInfo : public TPersistent {
  ORV_CLASS(TcxEditButtonViewInfo, TPersistent)
 public:
  TcxEditButtonViewInfo() = default;
  // Native state, background colour, bounds, style and state.
  void Assign(TPersistent* source) override;
  // Empty when style, state, background colour and native state are equal, else the bounds.
  virtual TcxRegion* CreateUpdateRegion(TcxEditButtonViewInfo* previous);
  virtual Boolean InvalidateIfChanged(TWinControl* control, TcxEditButtonViewInfo* previous,
                                      const TPoint& origin);
  Boolean StateDiffers(const TcxEditButtonViewInfo* previous) const;

  TRect Bounds{};
  TColor BackgroundColor = clBtnFace;
  AnsiString Caption;
  TAlignment ContentAlignment = taCenter;
  Boolean Default = false;
  Boolean GradientButtonsValue = false;
  Boolean InplaceButton = false;
  TcxEditButtonKind Kind = bkDown;
  Boolean LeftAlignment = false;
  Boolean IsFirstInGroup = false;
  Boolean NativeStyle = false;
  Boolean IsLastInGroup = false;
  TcxEditButtonState State = ebsNormal;
  TcxEditButtonStyle Style = btsDefault;
  TColor TextColor = clBtnText;
  Boolean Transparent = false;
  AnsiString VisibleCaption;
  Boolean NativeBackgroundPartial = false;
  Boolean IsComboButton = false;
  Integer NativePart = 0;
  Integer NativeState = 0;
  TBitmap* Glyph = nullptr;
  Boolean EraseOnInvalidate = false;
  Integer ButtonIndex = -1;
  Boolean Stretchable = true;
  TRect VisibleBounds{};
  Integer RequestedWidth = 0;
};
using TcxEditButtonViewInfoClass = orv::ClassOf<TcxEditButtonViewInfo>;

class TcxCustomEditViewInfo : public TcxContainerViewInfo {
  ORV_CLASS(TcxCustomEditViewInfo, TcxContainerViewInfo)
 public:
  TcxCustomEditViewInfo() = default;
  void BeforeDestruction() override;

  void Assign(TObject* source) override;
  TcxRegion* CreateUpdateRegion(TcxContainerViewInfo* oldViewInfo) override;
  void OffsetRects(Integer dx, Integer dy) override;
  void DoPaint(TcxCanvas* canvas) override;
  // PaintHandler, then DoPaint.
  void Paint(TcxCanvas* canvas);
  void PaintOn(TcxCanvas* canvas) override { Paint(canvas); }

  Integer GetButtonCount() const { return Integer(ButtonsInfo.size()); }
  TcxEditButtonViewInfo* GetButton(Integer index) const { return ButtonsInfo[std::size_t(index)]; }
  // Makes or frees button view infos until there are `count`.
  void SetButtonCount(Integer count);
  // Whether the in-place background handler would draw (asked without a canvas).
  Boolean HasCustomBackground();
  Boolean HasCustomDrawnButton(Integer index);
  // 0 handler, 1 own frame, 2 nothing (in-place transparent), 3 fill, 4 what lies behind,
  // 5 the parent's themed background.
  Integer GetBackgroundMode();
  void DrawBackgroundByMode(TcxCanvas* canvas, const TRect& rect, Boolean clipToRect = true,
                            const TRect& excludeRect = TRect{});
  Boolean IsBackgroundTransparent();
  // The native (themed) background path.
  void DrawNativeEditBackground(TcxCanvas* canvas, Boolean eraseBackground, HBRUSH brush,
                                Integer comboState = 0);

  // ---- New virtual operations ----
  virtual TcxEditButtonViewInfoClass GetButtonViewInfoClass() { return TcxEditButtonViewInfo::StaticClass(); }
  virtual void GetPainterColors(TColor& backgroundColor, TColor& textColor);
  // The hot button's index; else -1 inside BorderRect, -2 outside.
  virtual Integer GetPartIndexAt(const TPoint& point);
  virtual TRect GetPartRect(Integer index);
  virtual Boolean NeedsRepaintOnStateChange() { return true; }
  virtual void DrawButton(TcxCanvas* canvas, Integer index);
  virtual void SetDrawBackgroundHandler(const TcxEditDrawBackgroundEvent& value) { BackgroundDrawHandler = value; }
  virtual void DrawButtonBorder3D(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& rect, TColor& faceColor,
                                  TColor& textColor);
  virtual void DrawButtonBorderFlat(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& rect,
                                    TColor& faceColor, TColor& textColor);
  virtual void DrawButtonBorderHotFlat(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& rect,
                                       TColor& faceColor, TColor& textColor);
  virtual void DrawButtonBorderNative(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& backgroundRect,
                                      TRect& contentRect);
  virtual void DrawButtonBorderSimple(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& rect,
                                      TColor& faceColor, TColor& textColor);
  virtual void DrawButtonBorderUltraFlat(TcxCanvas* canvas, TcxEditButtonViewInfo* button,
                                         TRect& backgroundRect, TRect& contentRect, TColor& faceColor,
                                         TColor& textColor);
  virtual void DrawNativeButtonBackground(TcxCanvas* canvas, TcxEditButtonViewInfo* button, const TRect& rect);
  virtual void DrawButtonBackground(TcxCanvas* canvas, TcxEditButtonViewInfo* button, const TRect& rect,
                                    TColor faceColor);
  virtual void PaintButton(TcxCanvas* canvas, Integer index);
  virtual void DrawButtonBorder(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& backgroundRect,
                                TRect& contentRect, TColor& faceColor, TColor& textColor);
  virtual void DrawButtonContent(TcxCanvas* canvas, TcxEditButtonViewInfo* button, Boolean pressedOffset,
                                 TColor faceColor, TColor textColor, const TRect& rect);
  virtual Boolean HasHotPart();
  virtual Boolean IsHotAtPoint(const TPoint& point);
  virtual Boolean NeedsHint(TcxCanvas* canvas, const TPoint& point, TRect& textRect, Boolean& isMultiLine,
                            AnsiString& text);
  virtual Boolean GetHint(TcxCanvas* canvas, const TPoint& point, TRect& textRect, Boolean& isMultiLine,
                          AnsiString& text, TRect& hintWindowRect);
  virtual void PrepareCanvasFont(TcxCanvas* canvas) {}
  virtual void InvalidateWhole(TWinControl* control);
  virtual Boolean InvalidateChanges(TWinControl* control, TcxCustomEditViewInfo* previous);

  // ---- Fields ----
  TcxEditDrawBackgroundEvent BackgroundDrawHandler;
  TcxEditDrawButtonEvent ButtonDrawHandler;
  TcxEditDrawButtonBackgroundEvent ButtonBackgroundDrawHandler;
  TcxEditDrawButtonBorderEvent ButtonBorderDrawHandler;
  TcxEditButtonStateEvent ButtonStateHandler;
  TcxEditPaintEvent PaintHandler;
  TcxCustomEdit* Edit = nullptr;
  Boolean PaintingButtons = false;
  TRect BorderWidths{};
  TcxEditBorderStyle EditBorderStyle = ebsNone;
  std::vector<TcxEditButtonViewInfo*> ButtonsInfo;
  TcxCustomEditProperties* Properties = nullptr;
  Boolean IsEnabled = true;
  Boolean IsFocused = false;
  TFont* TextFont = nullptr;
  Boolean EraseOnInvalidate = false;
  Boolean HasInplaceClientExtent = false;
  Boolean InnerControlVisible = false;
  Integer HotTrackState = 0;
  TRect InnerControlRect{};
  Boolean ButtonPressedByUser = false;
  Boolean IsInnerControlOfContainer = false;
  Boolean IsPaintingCopy = false;
  Boolean IsDesignTime = false;
  Boolean InplaceView = false;
  Boolean SelectedView = false;
  Integer OriginX = 0;
  Integer OriginY = 0;
  Integer PaintOptionsSet = 0;
  TcxEditPopupBorderStyle PopupFrameStyle = epbsDefault;
  Integer PressedButtonIndex = -1;
  Integer HotButtonIndex = -1;
  TRect InnerBorderRect{};
  TColor DefaultTextColor = clWindowText;
  Boolean IsTransparentView = false;
  HWND WindowHandle = nullptr;
  // The view data's edit metrics (for the pressed-content offset).
  Byte MetricsFlags = 2;
};

// Paint option bits.
inline constexpr Integer cxEditPaintOptionMultiLine = 2;
inline constexpr Integer cxEditPaintOptionNoExternalBorder = 4;

// ==== View data ===============================================================================

class TcxCustomEditViewData : public TPersistent {
  ORV_CLASS(TcxCustomEditViewData, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomEditProperties* properties, TcxCustomEditStyle* style, Boolean isInplace);
  TcxCustomEditViewData(TcxCustomEditProperties* properties, TcxCustomEditStyle* style, Boolean isInplace);
  // Made by class reference and initialized (InitializeDefaults, InitializeFromProperties).
  static TcxCustomEditViewData* CreateFor(TcxCustomEditViewDataClass cls, TcxCustomEditProperties* properties,
                                          TcxCustomEditStyle* style, Boolean isInplace);

  // ---- Non-virtual ----
  void CalculateEditorSize(TcxCanvas* canvas, const Variant& value, TSize& size, TcxCustomEditViewInfo* viewInfo,
                           const TcxEditSizeProperties& sizeLimits);
  void GetTextForValue(const Variant& value, AnsiString& text);
  TcxEditButtonStyle GetEffectiveButtonStyle();
  Integer GetCapturedButtonIndex();
  TcxCustomEditStyle* GetStyle() const { return Style; }

  // ---- New virtual operations ----
  virtual void CalculateButtonNativeInfo(TcxEditButtonViewInfo* button);
  virtual Boolean CanPressButton(TcxCustomEditViewInfo* viewInfo, Integer index) { return true; }
  virtual TcxContainerState GetContainerState(const TPoint& mousePos, Integer button, TShiftState shift,
                                              Boolean isMouseEvent);
  virtual TRect GetTextOffsets();
  virtual Integer GetEditNativeState(TcxCustomEditViewInfo* viewInfo);
  virtual Boolean UsesThickBorder();
  virtual void InitializeFromProperties();
  virtual Integer GetEditMetrics(TcxEditMetrics& metrics);
  virtual void InitializeDefaults();
  virtual void EditValueToDrawText(const Variant& value, AnsiString& text) { text.clear(); }
  virtual void CalculateEditSize(TcxCanvas* canvas, Boolean isInplace, const Variant& value,
                                 TcxCustomEditViewInfo* viewInfo, TSize& frameSize, TSize& minContentSize,
                                 const TcxEditSizeProperties& sizeLimits);
  virtual void CalculateContentSize(TcxCanvas* canvas, const Variant& value, TSize& size,
                                    const TcxEditSizeProperties& sizeLimits) {
    size = TSize{0, 0};
  }
  virtual Boolean IsButtonHeldDown(TcxCustomEditViewInfo* viewInfo, Integer index) { return false; }
  virtual void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                 TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                                 const TPoint& mousePos = TPoint{-1, -1});
  virtual void CalculateButtonBounds(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, TRect& rect,
                                     Integer index);
  virtual void CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                        TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                        const TPoint& mousePos);
  virtual void CalculateButtonViewInfo(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, TRect& rect,
                                       Integer index);
  virtual void StretchButtons(TcxCustomEditViewInfo* viewInfo, Integer totalWidth, Integer extraWidth);
  virtual void SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) {}
  virtual TColor GetBorderColor();
  virtual TRect GetBorderExtent();
  virtual TRect GetBorderExtentByEdges(Integer width);
  virtual TRect GetStyleBorderExtent();
  virtual TcxEditBorderStyle GetBorderStyle();
  virtual TRect GetClientExtent(TcxCanvas* canvas);
  virtual TRect GetContentExtent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo);
  virtual void CalculateSizeWithViewInfo(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo,
                                         TSize& frameSize, TSize& minContentSize,
                                         const TcxEditSizeProperties& sizeLimits);
  virtual TSize GetContentSize(TcxCanvas* canvas, const Variant& value, const TcxEditSizeProperties& sizeLimits);
  virtual TSize GetContentExtents();
  virtual Boolean HasShadow();
  virtual Boolean IsButtonWidthFixed(Integer index) { return false; }
  // The look and feel asks for the native style and the edit theme opens.
  static Boolean UsesNativeStyle(TcxLookAndFeel* lookAndFeel);

  // ---- Fields ----
  void* Data = nullptr;
  Boolean IsInplace;
  Integer LeftButtonsFirstIndex = -1;
  Integer LeftButtonsLastIndex = -1;
  Integer RightButtonsFirstIndex = -1;
  Integer RightButtonsLastIndex = -1;
  TcxEditGetDefaultButtonWidthEvent OnGetDefaultButtonWidth;
  TcxEditGetDisplayTextEvent OnGetDisplayText;
  TcxCustomEdit* Edit = nullptr;
  TcxCustomEditProperties* Properties;
  TcxCustomEditStyle* Style;
  TRect LastBounds{};
  Boolean ButtonsStretched = false;
  Integer VisibleButtonCount = 0;
  TcxContainerState ContainerStateFlags{csNormal};
  TRect InplaceClientExtent{};
  TcxEditMetrics EditMetrics;
  Boolean IsEnabledView = true;
  Boolean IsFocusedView = false;
  TAlignment HorzAlignment = taLeftJustify;
  TControl* HScrollBarRef = nullptr;
  IcxCustomInnerEdit* InnerEditRef = nullptr;
  TObject* HostItem1 = nullptr;
  TObject* HostItem2 = nullptr;
  Boolean IsDesignView = false;
  Boolean IsSelectedView = false;
  Boolean ExchangesAsText = false;
  Integer MaxLineCount = 0;
  Boolean UsesNativeStyleFlag = false;
  Integer PaintFlags = 0;
  Boolean PreviewMode = false;
  Boolean SelectedOrHot = false;
  AnsiString Text;
  TColor ButtonTextColor = clDefault;
  TColor ButtonColor = clDefault;
  TcxEditVertAlignment VertAlignment = taTopJustify;
  TControl* VScrollBarRef = nullptr;
  HWND WindowHandle = nullptr;
};

// ==== Change-event catcher, data binding ======================================================

class TcxEditChangeEventsCatcher : public TObject {
  ORV_CLASS(TcxEditChangeEventsCatcher, TObject)
 public:
  explicit TcxEditChangeEventsCatcher(TcxCustomEdit* edit) : FEdit(edit) {}
  void Lock(Boolean lock, Boolean invokeChangedOnUnlock = true);
  Boolean IsLocked() const { return FLockCount > 0; }
  Integer GetLockCount() const { return FLockCount; }
  Boolean OnChangeEvent = false;
  Boolean OnEditValueChangedEvent = false;

 private:
  TcxCustomEdit* FEdit;
  Integer FLockCount = 0;
};

class TcxEditDataBinding : public TPersistent {
  ORV_CLASS(TcxEditDataBinding, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomEdit* edit);
  explicit TcxEditDataBinding(TcxCustomEdit* edit) : FEdit(edit) {}
  ~TcxEditDataBinding() override;

  TcxCustomEdit* GetEdit() const { return FEdit; }
  // Made on first use (of GetDefaultValuesProviderClass).
  TcxCustomEditDefaultValuesProvider* GetDefaultValuesProvider();
  IcxEditDefaultValuesProvider* GetDefaultValuesProviderIntf() { return GetDefaultValuesProvider(); }
  Boolean HasActiveData() { return GetDefaultValuesProvider()->HasActiveData(); }

  virtual void DefaultValuesChanged();
  virtual void GetDisplayValue(Variant& value);
  virtual Boolean IsEditing();
  virtual Boolean IsInEditMode();
  virtual void GetStoredValue(Variant& value);
  virtual Boolean IsReadOnly() { return !HasDataSource(); }
  virtual Boolean IsNull() { return false; }
  virtual void Reset();
  virtual void ShowDisplayValue(const Variant& value);
  virtual Boolean EnterEditMode();
  virtual void StoreValue(const Variant& value) {}
  virtual Boolean CanCheckEditorValue();
  virtual Boolean HasDataSource() { return HasActiveData(); }
  virtual Boolean IsEditModeActive() { return IsInEditMode(); }
  virtual Boolean ExecuteAction(TBasicAction* action) { return false; }
  virtual TcxCustomEditDefaultValuesProviderClass GetDefaultValuesProviderClass() {
    return TcxCustomEditDefaultValuesProvider::StaticClass();
  }
  virtual void SetModified();
  virtual Boolean UpdateAction(TBasicAction* action) { return false; }
  virtual void UpdateDisplayValue();
  virtual void RefreshFromData() {}

 private:
  TcxCustomEdit* FEdit;
  TcxCustomEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;
};
using TcxEditDataBindingClass = orv::ClassOf<TcxEditDataBinding>;

// The binding of the list boxes: the data controller's base binding, unchanged.
class TcxDataBinding : public TcxCustomDataBinding {
  ORV_CLASS(TcxDataBinding, TcxCustomDataBinding)
 public:
  using TcxCustomDataBinding::TcxCustomDataBinding;
};

// ==== The editor ==============================================================================

class TcxCustomEdit : public TcxContainer,
                      public IcxEditTextAccess,
                      public IcxLookAndFeelEditorMarker,
                      public IcxEditRepositoryItemListener {
  ORV_CLASS(TcxCustomEdit, TcxContainer)
 public:
  explicit TcxCustomEdit(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomEdit() override;
  // The only way to get an in-place editor: the class's virtual constructor with the flag set.
  static TcxCustomEdit* CreateInplace(TcxCustomEditClass cls, TComponent* owner, Boolean isInplace);

  void Loaded() override;
  void ReadState(TReader* reader) override;
  void DefineProperties(TFiler* filer) override;
  void SetParent(TWinControl* value) override;
  void SetName(const AnsiString& newName) override;
  void Notification(TComponent* component, TOperation operation) override;
  void DefaultHandler(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void SetAutoSize(bool value) override;
  bool GetAutoSize() { EnsureInitialized(); return FAutoSize; }
  void GetTabOrderList(TList* list) override;
  Boolean IsInplace() override { return FIsInplace; }
  Boolean MovesFocusOnTab() override { return !FIsInplace; }
  void FocusInnerControl() override;
  void AlignInnerControl() override;
  Boolean RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent, TShiftState shift) override;
  TRect GetBorderExtent() override;
  Integer GetColorState() override;
  TcxContainerStyleClass GetStyleClass() override;
  TcxContainerViewInfoClass GetViewInfoClass() override;
  Boolean IsNativeStyleAvailable() override;
  Boolean HasTransparentBackground() override { return IsNativeBackground() || IsTransparent(); }
  TcxContainerStyleValues GetUnstoredStyleValues() override;
  Boolean HandleInnerControlMessage(TMessage& message) override;
  Boolean IsReadOnly() override;
  void Click() override;
  void DblClick() override;

  // ---- IcxEditRepositoryItemListener ----
  void ItemRemoved(TcxEditRepositoryItem* sender) override;
  void PropertiesChanged(TcxEditRepositoryItem* sender) override;

  // ---- Parts ----
  TcxCustomEditProperties* GetProperties();
  // The repository item's properties when one is used (given this editor's data defaults),
  // else the own.
  TcxCustomEditProperties* GetEffectiveProperties();
  TcxCustomEditProperties* GetActiveProperties() { return GetEffectiveProperties(); }
  TcxEditDataBinding* GetDataBinding();
  TcxEditChangeEventsCatcher* GetChangeEventsCatcher();
  TcxCustomEditViewInfo* GetEditViewInfo() { return static_cast<TcxCustomEditViewInfo*>(GetViewInfo()); }
  IcxCustomInnerEdit* GetInnerEdit() { EnsureInitialized(); return FInnerEdit; }
  TcxEditStyle* GetEditStyle() { return static_cast<TcxEditStyle*>(GetStyle()); }
  TcxEditStyle* GetEditStyleDisabled() { return static_cast<TcxEditStyle*>(GetStyleDisabled()); }
  TcxEditStyle* GetEditStyleFocused() { return static_cast<TcxEditStyle*>(GetStyleFocused()); }
  TcxEditStyle* GetEditStyleHot() { return static_cast<TcxEditStyle*>(GetStyleHot()); }
  // The style of the current state.
  TcxCustomEditStyle* GetActiveEditStyle() { return static_cast<TcxCustomEditStyle*>(GetActiveStyle()); }
  TcxEditRepositoryItem* GetRepositoryItem() const { return FRepositoryItem; }
  void SetRepositoryItem(TcxEditRepositoryItem* value);
  TcxCustomEditData* GetEditData() const { return FEditData; }
  const TcxEditMetrics& GetEditMetricsRecord() const { return FEditMetrics; }

  // ---- Value ----
  Variant GetEditValueProperty() { Variant v; GetEditValue(v); return v; }
  void SetEditValueProperty(const Variant& value) { SetEditValue(value); }
  void ChangeEditValueProperty(const Variant& value) { ChangeEditValue(value); }
  Boolean GetModified() const { return FModified; }
  void SetModified(Boolean value);
  Boolean GetModifiedAfterEnter() const { return FModifiedAfterEnter; }
  void SetModifiedAfterEnter(Boolean value);
  void SaveModifiedFlags();
  void RestoreModifiedFlags();
  Integer GetModifiedFlagsStackDepth() const { return Integer(FModifiedFlagsStack.size()); }
  // Asks the data binding to reset, which reverts the value.
  void Reset();
  Boolean IsEditValidated() const { return FIsEditValidated; }
  void SetIsEditValidated(Boolean value) { FIsEditValidated = value; }
  Boolean GetUserChangeInProgress() const { return FUserChangeInProgress; }
  void SetUserChangeInProgress(Boolean value) { FUserChangeInProgress = value; }
  const Variant& GetValueAtEnter() const { return FValueAtEnter; }

  // ---- Locks ----
  void LockChangeEvents(Boolean lock, Boolean invokeChangedOnUnlock = true);
  void LockClick(Boolean lock);
  void LockEditValueChanging(Boolean lock);
  Integer GetClickLockCount() const { return FClickLockCount; }

  // ---- Validation and posting ----
  Boolean ValidateEditValue(Boolean raiseOnError = true);
  void PostEditValue(Boolean validateFirst = true);
  Boolean CanPostEditValue();
  Boolean DoEditing();
  // OnEditing is being asked (DoEditing runs).
  Boolean IsInOnEditing() const { return FInOnEditing; }
  void MarkModifiedAndClick();
  Boolean IsFocusedForDisplay();
  Boolean IsPosting() const { return FIsPosting; }
  Boolean IsValidating() const { return FIsValidating; }
  Boolean HasOnChangeHandler();
  Boolean HasOnEditValueChangedHandler();
  void FireOnCloseUp(Integer reason);
  Boolean RunOnValidate(Variant& displayValue, AnsiString& errorText, Boolean& error);
  Boolean HasOnValidateHandler();
  Boolean IsLoadingOrDestroying();

  // ---- Anchors ----
  Integer GetAnchorX() const { return FAnchorX; }
  Integer GetAnchorY() const { return FAnchorY; }
  void SetAnchorX(Integer value) { FAnchorX = value; }
  void SetAnchorY(Integer value) { FAnchorY = value; }
  void CalculateAutoSize(Integer& width, Integer& height);
  Boolean IsAutoWidth();
  Integer GetHeight() { if (CanAutoSize()) EnsureHandle(); return TcxContainer::GetHeight(); }

  // ---- Keyboard, mouse, activation ----
  void NotifyKeyToOwner(Word& key, TShiftState shift);
  Boolean CanUseMouseWheel(TShiftState shift);
  // The ButtonIndex of the button view info under the point, or -1.
  Integer GetButtonIndexAt(const TPoint& point);
  Integer GetDefaultButtonIndex();
  Boolean IsActivated() const { return FIsActivated; }
  Integer GetCapturedButtonIndex() const { return FCapturedButtonIndex; }
  TcxTimer* GetDblClickTimer() const { return FDblClickTimer; }
  Boolean GetEscapeReverted() const { return FEscapeReverted; }
  Boolean IsInnerEditPending();
  void EnsureHandle();
  Boolean GetTransparent() const { return FTransparent; }
  void SetTransparent(Boolean value);
  Boolean GetExternalFlag() const { return FExternalFlag; }

  // Host position of an in-place editor.
  TObject* GetInplaceItem() const { return FInplaceItem; }
  Integer GetInplaceRecordIndex() const { return FInplaceRecordIndex; }
  void SetInplacePosition(TObject* item, Integer recordIndex) {
    FInplaceItem = item;
    FInplaceRecordIndex = recordIndex;
  }

  // ---- Events ----
  const TKeyEvent& GetOnOwnerKeyDown() const { return FOnOwnerKeyDown; }
  void SetOnOwnerKeyDown(const TKeyEvent& value) { FOnOwnerKeyDown = value; }
  const TcxEditEditingEvent& GetOnEditing() const { return FOnEditing; }
  void SetOnEditing(const TcxEditEditingEvent& value) { FOnEditing = value; }
  const TNotifyEvent& GetOnOwnerPostEditValue() const { return FOnOwnerPostEditValue; }
  void SetOnOwnerPostEditValue(const TNotifyEvent& value) { FOnOwnerPostEditValue = value; }
  const TNotifyEvent& GetPropertiesEvents() const { return FPropertiesEvents; }
  void SetPropertiesEvents(const TNotifyEvent& value) { FPropertiesEvents = value; }

  // ---- IcxEditTextAccess ----
  Boolean HasEditableText() override { return false; }
  void SetExternalFlag(Boolean value) override { FExternalFlag = value; }
  void ApplyExternalText() override {}
  void SetEditValueExternally(const Variant& value) override { AssignEditValue(value, false); }

  // ---- New virtual operations ----
  virtual void CalculateAnchors();
  virtual void AdjustInnerEditPosition();
  virtual void EndPost() { FIsPosting = false; }
  virtual void BeginPost() { FIsPosting = true; }
  virtual Boolean CanAutoSize();
  using TcxContainer::CanAutoSize;  // the sizing query of the windowed control stays reachable
  virtual Boolean CanAutoWidth();
  virtual Boolean IsValueChangingKey(Word key, TShiftState shift) { return false; }
  virtual Boolean IsValueChangingChar(char c) { return false; }
  virtual Boolean CanModify();
  virtual void HandleInnerEditChange(TObject* sender);
  virtual void CreateInnerEdit();
  virtual TcxCustomEditViewData* CreateViewData();
  virtual Integer ClickDefaultButton();
  virtual void AutoSizeChanged() {}
  virtual void DoButtonClick(Integer index);
  virtual void DoButtonDown(Integer index) {}
  virtual void DoButtonUp(Integer index) {}
  virtual void DoChange();
  virtual void DoEditValueChanged();
  virtual void DoEditKeyDown(Word& key, TShiftState shift);
  virtual void DoEditKeyPress(char& key);
  virtual void DoEditKeyUp(Word& key, TShiftState shift) {}
  virtual void HandleTabKey(TShiftState shift) {}
  virtual void HandleFocusChanged();
  virtual void FireOnChange();
  virtual void FireOnEditValueChanged();
  virtual void EnterEdit();
  virtual void UpdateInnerEditReadOnly();
  virtual void GetAutoSizeLimits(TcxEditSizeProperties& limits);
  virtual void GetClearValue(Variant& value) { value = Null(); }
  virtual TcxEditDataBindingClass GetDataBindingClass() { return TcxEditDataBinding::StaticClass(); }
  virtual void GetDisplayText(AnsiString& text) { text.clear(); }
  virtual TcxCustomEditDataClass GetEditDataClass() { return nullptr; }
  virtual void GetEditingValue(Variant& value);
  virtual void GetEditValue(Variant& value) { value = FEditValue; }
  virtual TClass GetInnerEditClass() { return nullptr; }
  virtual void HandleValidationError(const AnsiString& errorText, Boolean raiseAbort);
  virtual void Initialize();
  virtual void InitializeEditData() {}
  virtual void InitializeInnerEdit();
  virtual void InitializeViewData(TcxCustomEditViewData* viewData);
  virtual Boolean CanEditValue() { return true; }
  virtual void GetDisplayValue(Variant& value) { GetEditValue(value); }
  virtual void StoreDisplayValue(const Variant& value) {}
  virtual void AssignEditValue(const Variant& value, Boolean isUserAction);
  virtual void ApplyValidatedDisplayValue(const Variant& value);
  virtual Boolean IsActiveControl();
  virtual Boolean IsChildItemDC(HDC dc) { return false; }
  virtual Boolean CanClickWhileLoading() { return false; }
  virtual Boolean IsPaintCopy();
  virtual Boolean IsClickKey(Word key, TShiftState shift);
  virtual Boolean IsEditValueStored();
  virtual Boolean IsNativeBackground() { return false; }
  virtual Boolean IsTransparent() { return !FIsInplace && FTransparent; }
  virtual Boolean IsValidChar(char c);
  virtual Boolean IsKeyPassedToOwner(Word key, TShiftState shift) { return false; }
  virtual void PaintCopy();
  virtual void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused);
  virtual void ProcessButtonStateChange(TcxCustomEditViewInfo* previous);
  virtual void HandlePropertiesChange(TObject* sender);
  virtual Boolean IsValueReadOnly();
  virtual void AfterRepositoryItemChange() {}
  virtual void BeforeRepositoryItemChange() {}
  virtual void RevertValue();
  virtual Boolean PassesActivationKey(char key) { return true; }
  virtual Boolean TrySetDisplayText(const AnsiString& text) { return false; }
  virtual void SetEditValue(const Variant& value);
  virtual void ChangeEditValue(const Variant& value);
  virtual void SetInnerDisplayValue(const Variant& value) {}
  virtual void UpdateDisplayValue() {}
  virtual void UpdateEditValue() {}
  virtual Boolean WantsTabKey() { return FIsInplace; }
  virtual Boolean RefreshesDisplayOnFocus() { return true; }
  virtual void RefreshFocusDependentText() {}
  virtual Boolean CanProcessKeyDown(Word key, TShiftState shift);
  virtual Boolean FilterKeyPress(char& key);
  virtual Boolean HandlesNavigationKeys() { return false; }
  virtual void InnerEditWndProc(TMessage& message);
  virtual void HookInnerEdit();
  virtual void UnhookInnerEdit();
  virtual Boolean UsesAnchors() { return UsesAnchorX() || UsesAnchorY(); }
  virtual Boolean UsesAnchorX() { return false; }
  virtual Boolean UsesAnchorY() { return false; }
  virtual void Activate(TcxCustomEditData*& editData);
  virtual void ActivateByKey(char key, TcxCustomEditData*& editData);
  virtual void ActivateByMouse(TShiftState shift, Integer x, Integer y, TcxCustomEditData*& editData);
  virtual void Clear();
  virtual void CopyToClipboard() {}
  virtual void CutToClipboard() {}
  virtual Boolean Deactivate();
  virtual TcxCustomEditPropertiesClass GetPropertiesClass();
  virtual Boolean IsOwnWindow(HWND window);
  virtual Boolean InnerEditDisplaysText() { return false; }
  virtual Boolean IsRepositoryItemAcceptable(TcxEditRepositoryItem* item);
  virtual void PasteFromClipboard() {}
  virtual void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) {}
  virtual void SelectAll() {}

 protected:
  void CreateHandle() override;
  void Paint() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void DoEnter() override;
  void DoExit() override;
  void FocusChanged() override;
  bool CanResize(Integer& newWidth, Integer& newHeight) override;
  // Refused (false) when CanUseMouseWheel says no.
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;
  // Runs Initialize once (see the unit's note on construction order).
  void EnsureInitialized();
  // Stores the edit value without showing it: for editors that derive it from the shown text.
  void StoreEditValueField(const Variant& value) { FEditValue = value; }
  virtual void ExitEdit(Boolean callDoExit);
  virtual Boolean CanRevert();

 private:
  void RememberEditMetrics();
  void DblClickTimerHandler(TObject* sender);
  void UpdateViewInfoFor(const TPoint& point, Integer button, Boolean isMouseEvent, TShiftState shift);
  void ReadHeight(TReader* reader);
  void WriteHeight(TWriter* writer);
  void ReadWidth(TReader* reader);
  void WriteWidth(TWriter* writer);
  void ReadAnchorX(TReader* reader);
  void WriteAnchorX(TWriter* writer);
  void ReadAnchorY(TReader* reader);
  void WriteAnchorY(TWriter* writer);
  void AttachPropertiesHandler();
  void DetachPropertiesHandler();
  void HandleClipboardMessage(TMessage& message);

  Integer FAnchorX = orv::kMaxInt;
  Integer FAnchorY = orv::kMaxInt;
  Boolean FAutoSize = true;
  Integer FCapturedButtonIndex = -1;
  TcxEditChangeEventsCatcher* FChangeEventsCatcher = nullptr;
  Integer FClickLockCount = 0;
  TcxTimer* FDblClickTimer = nullptr;
  TcxCustomEditData* FEditData = nullptr;
  Boolean FInOnEditing = false;
  Integer FEditValueChangingLockCount = 0;
  Boolean FLastFocusState = false;
  Boolean FHandleGuard = false;
  IcxCustomInnerEdit* FInnerEdit = nullptr;
  TWndMethod FPrevInnerEditWndProc;
  Boolean FInnerEditHooked = false;
  Boolean FExternalFlag = false;
  Boolean FEditMetricsKnown = false;
  Boolean FIsEditValidated = false;
  Boolean FIsValidating = false;
  Boolean FEscapeReverted = false;
  Boolean FEscapeKeyDown = false;
  Boolean FKeepStreamedAnchors = false;
  Boolean FFirstParentPending = false;
  Boolean FIsInplace = false;
  Boolean FIsPosting = false;
  Boolean FUserChangeInProgress = false;
  Boolean FModified = false;
  Boolean FModifiedAfterEnter = false;
  Variant FValueAtEnter;
  std::vector<std::pair<Boolean, Boolean>> FModifiedFlagsStack;
  TNotifyEvent FPropertiesEvents;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  Boolean FTransparent = false;
  Boolean FFocusingOnError = false;
  TKeyEvent FOnOwnerKeyDown;
  TcxEditEditingEvent FOnEditing;
  TNotifyEvent FOnOwnerPostEditValue;
  TcxEditDataBinding* FDataBinding = nullptr;
  Variant FEditValue;
  TcxCustomEditProperties* FProperties = nullptr;
  TcxEditMetrics FEditMetrics;
  Boolean FIsActivated = false;
  TObject* FInplaceItem = nullptr;
  Integer FInplaceRecordIndex = -1;
  Boolean FInitialized = false;
  Boolean FInitializing = false;
};

// ==== Repository ==============================================================================

class TcxEditRepositoryItem : public TComponent {
  ORV_CLASS(TcxEditRepositoryItem, TComponent)
 public:
  explicit TcxEditRepositoryItem(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxEditRepositoryItem() override;

  bool HasParent() const override { return FRepository != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void ReadState(TReader* reader) override;

  // Made on first use (of GetPropertiesClass).
  TcxCustomEditProperties* GetProperties();
  void SetProperties(TcxCustomEditProperties* value) { GetProperties()->Assign(value); }
  TcxEditRepository* GetRepository() const { return FRepository; }
  void SetRepository(TcxEditRepository* value);
  Boolean IsPropertiesClassCompatible(TClass cls);
  Integer GetListenerCount() const { return Integer(FListeners.size()); }
  const TNotifyEvent& GetPropertiesEvents() const { return FPropertiesEvents; }
  void SetPropertiesEvents(const TNotifyEvent& value) { FPropertiesEvents = value; }

  virtual void NotifyPropertiesChanged(TObject* sender);
  virtual void AddListener(IcxEditRepositoryItemListener* listener);
  virtual TcxCustomEditPropertiesClass GetPropertiesClass();
  virtual void GetDefaultItemName(AnsiString& name);
  virtual void RemoveListener(IcxEditRepositoryItemListener* listener);

 private:
  std::vector<IcxEditRepositoryItemListener*> FListeners;
  TcxCustomEditProperties* FProperties = nullptr;
  TNotifyEvent FPropertiesEvents;
  TcxEditRepository* FRepository = nullptr;
};
using TcxEditRepositoryItemClass = orv::ClassOf<TcxEditRepositoryItem>;

class TcxEditRepository : public TComponent {
  ORV_CLASS(TcxEditRepository, TComponent)
 public:
  explicit TcxEditRepository(TComponent* owner) : TComponent(owner) {}
  void BeforeDestruction() override;

  void GetChildren(TGetChildProc proc, TComponent* root) override;

  Integer GetCount() const { return Integer(FItems.size()); }
  TcxEditRepositoryItem* GetItem(Integer index) const { return FItems[std::size_t(index)]; }
  void DetachItem(TcxEditRepositoryItem* item);
  void ClearItems();

  virtual TcxEditRepositoryItem* CreateItem(TcxEditRepositoryItemClass itemClass);
  virtual TcxEditRepositoryItem* CreateItemEx(TcxEditRepositoryItemClass itemClass, TComponent* owner);

 private:
  friend class TcxEditRepositoryItem;
  std::vector<TcxEditRepositoryItem*> FItems;
};

// The registry of properties classes ("Name|description"), sorted by description.
TcxRegisteredClasses* GetEditPropertiesRegistry();
// A repository without owner, made on first use.
TcxEditRepository* GetGlobalEditRepository();
// With both given and `properties` the item's properties of a class of `ownProperties`' class
// or a descendant: `properties` becomes `ownProperties` and the answer is true.
Boolean UseOwnPropertiesIfCompatible(TcxCustomEditProperties* ownProperties, TcxEditRepositoryItem* repositoryItem,
                                     TcxCustomEditProperties*& properties);
// The check boxes' layout switch (nothing sets it).
extern Boolean cxEditCheckBoxLayoutSwitch;

// ==== In-place edit list ======================================================================

class TcxInplaceEditList : public TObject {
  ORV_CLASS(TcxInplaceEditList, TObject)
 public:
  using TCreateSignature = void(TComponent* editorOwner);
  explicit TcxInplaceEditList(TComponent* editorOwner);
  void BeforeDestruction() override;

  TcxCustomEdit* GetEditorFor(TcxCustomEditProperties* properties);
  TcxCustomEdit* GetEditorOfClass(TcxCustomEditPropertiesClass propertiesClass);
  TcxCustomEdit* FindEditorFor(TcxCustomEditProperties* properties);
  TcxCustomEdit* FindEditorOfClass(TcxCustomEditPropertiesClass propertiesClass);
  void ForgetProperties(TcxCustomEditProperties* properties);
  void RemoveByProperties(TcxCustomEditProperties* properties);

  Integer GetCount() const { return Integer(FItems.size()); }
  TcxCustomEdit* GetEditor(Integer index) const { return FItems[std::size_t(index)].Edit; }
  TcxCustomEditProperties* GetPairedProperties(Integer index) const { return FItems[std::size_t(index)].Properties; }
  TComponent* GetEditorOwner() const { return FEditorOwner; }

  // Every living list (properties objects unpair themselves from all of them).
  static Integer GetListCount();
  static TcxInplaceEditList* GetList(Integer index);

 private:
  struct TItem {
    TcxCustomEdit* Edit;
    TcxCustomEditProperties* Properties;
  };
  TcxCustomEdit* CreateEditor(TcxCustomEditPropertiesClass propertiesClass);
  std::vector<TItem> FItems;
  TComponent* FEditorOwner;
};
