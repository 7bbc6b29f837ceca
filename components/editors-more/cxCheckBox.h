// The check box editor, the check glyph drawing it shares with the check list box, and the
// caption items with the check-state value formats the radio group and the check list box use.
#pragma once

#include <vector>

#include "components/editors/cxEdit.h"
#include "components/foundation/cxClasses.h"

class TBitmap;

enum TcxCheckBoxNullValueShowingStyle { nssUnchecked, nssInactive, nssGrayedChecked };
// The mouse state of a check.
enum TcxEditCheckState { ecsNormal, ecsHot, ecsPressed, ecsDisabled };

// ==== Check drawing ============================================================================

void DrawEditCheck(TcxCanvas* canvas, const TRect& checkRect, TcxCheckBoxState state, TcxEditCheckState checkState,
                   TBitmap* glyph, Integer glyphCount, TcxEditBorderStyle borderStyle, Boolean nativeStyle,
                   TColor borderColor, TColor backgroundColor, Boolean fill, Boolean designing, Boolean focused,
                   Boolean threeStateGlyph, TcxCustomLookAndFeelPainterClass skinPainter,
                   TcxCheckBoxNullValueShowingStyle nullStyle = nssGrayedChecked);
TSize GetEditCheckSize(TcxCanvas* canvas, Boolean nativeStyle, TBitmap* glyph, Integer glyphCount,
                       TcxCustomLookAndFeelPainterClass skinPainter);
Integer GetEditCheckBorderOffset(TcxEditBorderStyle borderStyle, Boolean nativeStyle, Boolean hasGlyph,
                                 TcxCustomLookAndFeelPainterClass skinPainter);
// The check list box's twin: by look-and-feel kind.
Integer GetEditCheckBorderOffset(TcxLookAndFeelKind kind, Boolean nativeStyle, Boolean hasGlyph,
                                 TcxCustomLookAndFeelPainterClass skinPainter);
Integer GetEditCheckGlyphIndex(TcxCheckBoxState state, TcxEditCheckState checkState, Boolean threeState,
                               Integer glyphCount);

// ==== Caption items and value formats ==========================================================

class TcxCaptionItem : public TCollectionItem {
  ORV_CLASS(TcxCaptionItem, TCollectionItem)
 public:
  explicit TcxCaptionItem(TCollection* collection) : TCollectionItem(collection) {}
  void Assign(TPersistent* source) override;
  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  Integer GetTag() const { return FTag; }
  void SetTag(Integer value) { FTag = value; }

 private:
  AnsiString FCaption;
  Integer FTag = 0;
};

// What the value formats read of a list of captioned items.
class IcxCaptionItems : public virtual IInterface {
 public:
  virtual AnsiString GetCaption(Integer index) = 0;
  virtual Integer GetCount() = 0;
};

class TcxCaptionItems : public TcxOwnedInterfacedCollection, public IcxCaptionItems {
  ORV_CLASS(TcxCaptionItems, TcxOwnedInterfacedCollection)
 public:
  TcxCaptionItems(TPersistent* owner, TCollectionItemClass itemClass)
      : TcxOwnedInterfacedCollection(owner, itemClass) {}
  AnsiString GetCaption(Integer index) override;
  Integer GetCount() override { return TCollection::GetCount(); }
  TcxCaptionItem* GetItem(Integer index) const { return static_cast<TcxCaptionItem*>(TCollection::GetItem(index)); }
  TcxCaptionItem* Add() { return static_cast<TcxCaptionItem*>(TCollection::Add()); }
  void ResortAfterCaptionChange() { SortItems(); }

 protected:
  Integer CompareItemOrder(TCollectionItem* item1, TCollectionItem* item2) override;
};

enum TcxCheckStatesValueFormatEx { cvfCaptions, cvfIndices, cvfInteger, cvfStatesString, cvfCustom };
using TcxCheckStatesValueFormat = TcxCheckStatesValueFormatEx;
using TcxCheckStates = std::vector<TcxCheckBoxState>;

Variant CheckStatesToValue(const TcxCheckStates& states, IcxCaptionItems* items, TcxCheckStatesValueFormatEx format);
Boolean CheckStatesFromValue(const Variant& value, IcxCaptionItems* items, TcxCheckStatesValueFormatEx format,
                             TcxCheckStates& states);

// ==== The check box ============================================================================

// Links a check box's Checked to its action's: linked while the box is not grayed and shows the
// action's state; setting it through the link neither clicks nor reports changes.
class TcxCheckBoxActionLink : public TControlActionLink {
  ORV_CLASS(TcxCheckBoxActionLink, TControlActionLink)
 public:
  explicit TcxCheckBoxActionLink(TObject* client) : TControlActionLink(client) {}
  bool IsCheckedLinked() override;
  void SetChecked(bool value) override;
};

class TcxCustomCheckBoxProperties : public TcxCustomEditProperties {
  ORV_CLASS(TcxCustomCheckBoxProperties, TcxCustomEditProperties)
 public:
  explicit TcxCustomCheckBoxProperties(TPersistent* owner);
  ~TcxCustomCheckBoxProperties() override;

  void Assign(TPersistent* source) override;
  Boolean SupportsValidation() override { return true; }
  Boolean HasSeparateChangeEvents() override { return true; }
  Boolean IsEditValueComparable() override { return true; }
  Boolean IsValueRevertible() override { return true; }
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditStyleClass GetStyleClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  Integer GetEditorTraits() override { return inherited::GetEditorTraits() | etCheckBox; }
  Word GetCapabilities() override { return 1453; }
  Boolean IsActivationKey(char key) override { return key == ' '; }
  Boolean AcceptsEditValue(const Variant& value) override;
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  Boolean AreDisplayValuesEqual(const Variant& v1, const Variant& v2) override;
  void EditValueToDisplayText(const Variant& value, AnsiString& text) override;

  virtual TBitmap* GetGlyph();
  virtual Boolean ShowsCaptionInplace() { return false; }

  // The check state of an edit value.
  TcxCheckBoxState GetStateOf(const Variant& value);
  Variant GetValueOf(TcxCheckBoxState state);

  Boolean GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(Boolean value) { FAllowGrayed = value; }
  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  Boolean IsCaptionAssigned() const { return FIsCaptionAssigned; }
  void ClearCaptionAssigned() { FIsCaptionAssigned = false; }
  const AnsiString& GetDisplayChecked() const { return FDisplayChecked; }
  void SetDisplayChecked(const AnsiString& value) { FDisplayChecked = value; }
  const AnsiString& GetDisplayGrayed() const { return FDisplayGrayed; }
  void SetDisplayGrayed(const AnsiString& value) { FDisplayGrayed = value; }
  const AnsiString& GetDisplayUnchecked() const { return FDisplayUnchecked; }
  void SetDisplayUnchecked(const AnsiString& value) { FDisplayUnchecked = value; }
  Boolean GetFullFocusRect() const { return FFullFocusRect; }
  void SetFullFocusRect(Boolean value);
  void SetGlyph(TBitmap* value);
  Boolean HasGlyph() const { return FGlyph != nullptr; }
  Integer GetGlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(Integer value);
  Boolean GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(Boolean value);
  TcxCheckBoxNullValueShowingStyle GetNullStyle() const { return FNullStyle; }
  void SetNullStyle(TcxCheckBoxNullValueShowingStyle value);
  Boolean GetUseAlignmentWhenInplace() const { return FUseAlignmentWhenInplace; }
  void SetUseAlignmentWhenInplace(Boolean value);
  const Variant& GetValueChecked() const { return FValueChecked; }
  void SetValueChecked(const Variant& value);
  const Variant& GetValueGrayed() const { return FValueGrayed; }
  void SetValueGrayed(const Variant& value);
  const Variant& GetValueUnchecked() const { return FValueUnchecked; }
  void SetValueUnchecked(const Variant& value);
  TAlignment GetCheckAlignment() { return GetAlignment()->GetHorz(); }
  void SetCheckAlignment(TAlignment value) { GetAlignment()->SetHorz(value); }

 private:
  Boolean AcceptsNewValue(const Variant& value, Boolean allowNull);
  void GlyphChanged(TObject*) { Changed(); }
  Boolean FAllowGrayed = false;
  AnsiString FCaption;
  AnsiString FDisplayChecked;
  AnsiString FDisplayGrayed;
  AnsiString FDisplayUnchecked;
  Boolean FFullFocusRect = false;
  TBitmap* FGlyph = nullptr;
  Integer FGlyphCount = 6;
  Boolean FIsCaptionAssigned = false;
  Boolean FMultiLine = false;
  TcxCheckBoxNullValueShowingStyle FNullStyle = nssGrayedChecked;
  Boolean FUseAlignmentWhenInplace = false;
  Variant FValueChecked;
  Variant FValueGrayed;
  Variant FValueUnchecked;
};

class TcxCheckBoxProperties : public TcxCustomCheckBoxProperties {
  ORV_CLASS(TcxCheckBoxProperties, TcxCustomCheckBoxProperties)
 public:
  using TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties;
};

// The check box draws no editor frame: the border style is the check's.
class TcxCheckBoxStyle : public TcxEditStyle {
  ORV_CLASS(TcxCheckBoxStyle, TcxEditStyle)
 public:
  using TcxEditStyle::TcxEditStyle;
  Boolean IsBorderVisible() const override { return false; }
};

class TcxCustomCheckBoxViewInfo : public TcxCustomEditViewInfo {
  ORV_CLASS(TcxCustomCheckBoxViewInfo, TcxCustomEditViewInfo)
 public:
  TcxCustomCheckBoxViewInfo() = default;
  void Assign(TObject* source) override;
  void OffsetRects(Integer dx, Integer dy) override;
  void DoPaint(TcxCanvas* canvas) override;
  Boolean HasHotPart() override { return true; }
  Boolean IsHotAtPoint(const TPoint& point) override { return HasHotPart(); }
  Boolean InvalidateChanges(TWinControl* control, TcxCustomEditViewInfo* previous) override;

  AnsiString Text;
  TRect TextRect{};
  Integer TextFlags = 0;
  TRect CheckBoxRect{};
  Integer CheckBorderOffset = 0;
  TcxEditBorderStyle CheckBoxBorderStyle = ebsNone;
  TBitmap* CheckBoxGlyph = nullptr;
  Integer CheckBoxGlyphCount = 0;
  Boolean HasGlyph = false;
  TAlignment Alignment = taLeftJustify;
  TcxEditCheckState CheckBoxState = ecsNormal;
  TRect FocusRect{};
  TcxCheckBoxNullValueShowingStyle NullValueShowingStyle = nssGrayedChecked;
  Boolean IsTextColorAssigned = false;
  TcxCheckBoxState State = cbsUnchecked;
};

class TcxCustomCheckBoxViewData : public TcxCustomEditViewData {
  ORV_CLASS(TcxCustomCheckBoxViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  void SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) override;
  TSize GetContentSize(TcxCanvas* canvas, const Variant& value, const TcxEditSizeProperties& sizeLimits) override;
  TcxEditBorderStyle GetBorderStyle() override { return ebsNone; }
  virtual Integer GetDrawTextFlags();

 protected:
  TcxCustomCheckBoxProperties* CheckProperties() const {
    return static_cast<TcxCustomCheckBoxProperties*>(Properties);
  }
  void CalculateFocusRect(TcxCanvas* canvas, TcxCustomCheckBoxViewInfo* info);
};

class TcxCustomCheckBox : public TcxCustomEdit {
  ORV_CLASS(TcxCustomCheckBox, TcxCustomEdit)
 public:
  explicit TcxCustomCheckBox(TComponent* owner);

  void Loaded() override;
  void Clear() override { SetChecked(false); }
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override;
  void Initialize() override;
  void AssignEditValue(const Variant& value, Boolean isUserAction) override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void DoEditKeyPress(char& key) override;
  void DoEditKeyUp(Word& key, TShiftState shift) override;
  void ProcessButtonStateChange(TcxCustomEditViewInfo* previous) override;
  void HandlePropertiesChange(TObject* sender) override;
  Boolean CanClickWhileLoading() override { return false; }
  Integer GetColorState() override { return GetEnabled() ? 0 : 1; }
  Boolean UsesParentColorByDefault() override { return true; }
  Boolean PaintsOwnFrame() override { return !IsInplace() || inherited::PaintsOwnFrame(); }
  TcxContainerStyleValues GetUnstoredStyleValues() override;
  void GetDisplayText(AnsiString& text) override { text = GetCaption(); }

  virtual void Toggle();
  // Checked set with the click and change events held back (the action link and the action's
  // own change use it).
  void SetCheckedSilently(Boolean value);

  TcxCheckBoxState GetState();
  void SetState(TcxCheckBoxState value);
  Boolean GetChecked() { return GetState() == cbsChecked; }
  void SetChecked(Boolean value) { SetState(value ? cbsChecked : cbsUnchecked); }
  TcxCustomCheckBoxProperties* GetCheckProperties() {
    return static_cast<TcxCustomCheckBoxProperties*>(GetProperties());
  }
  TcxCustomCheckBoxProperties* GetActiveCheckProperties() {
    return static_cast<TcxCustomCheckBoxProperties*>(GetEffectiveProperties());
  }
  TcxCustomCheckBoxViewInfo* GetCheckViewInfo() {
    return static_cast<TcxCustomCheckBoxViewInfo*>(GetEditViewInfo());
  }
  Boolean IsSpacePressed() const { return FIsSpacePressed; }

 protected:
  void TextChanged() override;
  void DoExit() override;
  void ActionChange(TObject* sender, bool checkDefaults) override;
  TControlActionLinkClass GetActionLinkClass() override;
  void Dispatch(TMessage& message) override;

 private:
  Boolean FIsSpacePressed = false;
  Boolean FIsLoadingState = false;
  Boolean FHasStreamedState = false;
  TcxCheckBoxState FStreamedState = cbsUnchecked;
};

class TcxCheckBox : public TcxCustomCheckBox {
  ORV_CLASS(TcxCheckBox, TcxCustomCheckBox)
 public:
  using TcxCustomCheckBox::TcxCustomCheckBox;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxCheckBoxProperties* GetProperties() {
    return static_cast<TcxCheckBoxProperties*>(TcxCustomCheckBox::GetProperties());
  }
  void SetProperties(TcxCheckBoxProperties* value) { GetProperties()->Assign(value); }
};
