// The look-and-feel radio button: the platform's radio button (caption, Checked, group behaviour
// among siblings, OnClick) drawn by the look-and-feel painters, with hot tracking, transparency
// over its parent and a context popup menu; and the radio group, a button group whose items are
// such buttons, at most one checked, whose edit value is the checked item's value.
#pragma once

#include "components/editors-more/cxGroupBox.h"

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
  // Hides TControl's popup menu by name (that one is not const and is what a TControl reaches).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"
  TComponent* GetPopupMenu() const { return FPopupMenu; }
#pragma GCC diagnostic pop
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

// ==== Radio group ==============================================================================

class TcxCustomRadioGroup;

class TcxRadioGroupItem : public TcxButtonGroupItem {
  ORV_CLASS(TcxRadioGroupItem, TcxButtonGroupItem)
 public:
  explicit TcxRadioGroupItem(TCollection* collection) : TcxButtonGroupItem(collection), FValue(Null()) {}
  void Assign(TPersistent* source) override;
  const Variant& GetValue() const { return FValue; }
  void SetValue(const Variant& value);

 private:
  Variant FValue;
};

class TcxRadioGroupItems : public TcxButtonGroupItems {
  ORV_CLASS(TcxRadioGroupItems, TcxButtonGroupItems)
 public:
  using TcxButtonGroupItems::TcxButtonGroupItems;
  TcxRadioGroupItem* GetItem(Integer index) const {
    return static_cast<TcxRadioGroupItem*>(TCollection::GetItem(index));
  }
  TcxRadioGroupItem* Add() { return static_cast<TcxRadioGroupItem*>(TCollection::Add()); }
};

class TcxCustomRadioGroupProperties : public TcxCustomButtonGroupProperties {
  ORV_CLASS(TcxCustomRadioGroupProperties, TcxCustomButtonGroupProperties)
 public:
  explicit TcxCustomRadioGroupProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  TcxButtonGroupItems* CreateItems() override;
  Integer GetColumnCount() override;
  Boolean IsEditValueComparable() override { return true; }
  Boolean HasSeparateChangeEvents() override { return true; }
  Boolean IsValueRevertible() override { return true; }
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  Word GetCapabilities() override { return inherited::GetCapabilities() | 0x210; }
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  Boolean AreDisplayValuesEqual(const Variant& v1, const Variant& v2) override;
  void EditValueToDisplayText(const Variant& value, AnsiString& text) override;

  // The first item whose value (or, without one, whose caption) matches; -1 for none.
  Integer GetItemIndexByValue(const Variant& value);
  // The edit value of an item index (DefaultValue for -1).
  Variant GetEditValueOfIndex(Integer index);

  TcxRadioGroupItems* GetRadioItems() { return static_cast<TcxRadioGroupItems*>(GetItems()); }
  const AnsiString& GetDefaultCaption() const { return FDefaultCaption; }
  void SetDefaultCaption(const AnsiString& value) { FDefaultCaption = value; }
  const Variant& GetDefaultValue() const { return FDefaultValue; }
  void SetDefaultValue(const Variant& value);

 private:
  AnsiString FDefaultCaption;
  Variant FDefaultValue;
};

class TcxRadioGroupProperties : public TcxCustomRadioGroupProperties {
  ORV_CLASS(TcxRadioGroupProperties, TcxCustomRadioGroupProperties)
 public:
  using TcxCustomRadioGroupProperties::TcxCustomRadioGroupProperties;
};

class TcxRadioGroupButtonViewInfo : public TcxGroupBoxButtonViewInfo {
  ORV_CLASS(TcxRadioGroupButtonViewInfo, TcxGroupBoxButtonViewInfo)
 public:
  TcxRadioGroupButtonViewInfo() = default;
  TRect GlyphBounds(const TSize& glyphSize, Boolean isPaintCopy, Integer glyphAlignment) override;
};

class TcxCustomRadioGroupViewInfo : public TcxButtonGroupViewInfo {
  ORV_CLASS(TcxCustomRadioGroupViewInfo, TcxButtonGroupViewInfo)
 public:
  TcxCustomRadioGroupViewInfo();
  TcxEditButtonViewInfoClass GetButtonViewInfoClass() override { return TcxRadioGroupButtonViewInfo::StaticClass(); }
  void DrawButtonCaption(TcxCanvas* canvas, TcxGroupBoxButtonViewInfo* button, const TRect& glyphRect) override;
  void DrawButtonGlyph(TcxCanvas* canvas, TcxGroupBoxButtonViewInfo* button, const TRect& glyphRect) override;
  Boolean IsButtonGlyphTransparent(TcxGroupBoxButtonViewInfo* button) override;

  Integer ItemIndex = -1;
};

class TcxCustomRadioGroupViewData : public TcxButtonGroupViewData {
  ORV_CLASS(TcxCustomRadioGroupViewData, TcxButtonGroupViewData)
 public:
  using TcxButtonGroupViewData::TcxButtonGroupViewData;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  void SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) override;
  void GetButtonMetrics(Boolean widthLimited, TcxCanvas* canvas, TcxButtonGroupMetrics& metrics) override;
};

// One item's button in a radio group: a look-and-feel radio button that reports to its group.
class TcxCustomRadioGroupButton : public TcxRadioButton, public IcxContainerInnerControl {
  ORV_CLASS(TcxCustomRadioGroupButton, TcxRadioButton)
 public:
  explicit TcxCustomRadioGroupButton(TComponent* owner);

  void SetChecked(bool value) override;
  void SetCheckedInternally(Boolean value);
  Boolean IsInplace() override;
  Boolean IsNativeStyle() override;
  Boolean IsTransparent() override;
  bool CanFocus() override;
  void Click() override;

  // IcxContainerInnerControl.
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override;

  TcxCustomRadioGroup* GetGroup() const { return FGroup; }
  Integer Column = 0;
  Integer Row = 0;

 protected:
  void DoEnter() override;
  void Dispatch(TMessage& message) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;

 private:
  TcxCustomRadioGroup* FGroup;
  Boolean FLeftButtonDown = false;
  Boolean FInternalChecking = false;
  Boolean FInCommand = false;
};

class TcxCustomRadioGroup : public TcxCustomButtonGroup {
  ORV_CLASS(TcxCustomRadioGroup, TcxCustomButtonGroup)
 public:
  explicit TcxCustomRadioGroup(TComponent* owner);

  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  void Loaded() override;
  void Clear() override { SetItemIndex(-1); }
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override;
  void AssignEditValue(const Variant& value, Boolean isUserAction) override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void GetTabOrderList(TList* list) override;
  Boolean IsFocusWithin() override;
  TWinControl* CreateButton() override;
  void UpdateButtonStyles() override;
  void UpdateButtons() override;
  void ArrangeButtons() override;

  Integer GetItemIndex();
  void SetItemIndex(Integer value);
  Integer GetCheckedButtonIndex();
  TcxCustomRadioGroupProperties* GetRadioProperties() {
    return static_cast<TcxCustomRadioGroupProperties*>(GetEffectiveProperties());
  }
  TcxCustomRadioGroupButton* GetRadioButton(Integer index) const {
    return static_cast<TcxCustomRadioGroupButton*>(GetButton(index));
  }
  // A key that reached one of the buttons.
  void HandleButtonKeyDown(Word& key, TShiftState shift) { KeyDown(key, shift); }
  // A button was checked by the user.
  void ButtonChecked(TcxCustomRadioGroupButton* button);

 private:
  void AssignEditValueAndSelect(const Variant& value, Boolean isUserAction, Boolean fromButton);
  void SelectButton(Integer index, Boolean fromButton);
  void FocusButton(Integer index);
  Boolean IsLoadingOrDesigning();
  void ApplyStoredItemIndex();
  Integer FStoredItemIndex = -1;
};

class TcxRadioGroup : public TcxCustomRadioGroup {
  ORV_CLASS(TcxRadioGroup, TcxCustomRadioGroup)
 public:
  using TcxCustomRadioGroup::TcxCustomRadioGroup;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxRadioGroupProperties* GetProperties() {
    return static_cast<TcxRadioGroupProperties*>(TcxCustomRadioGroup::GetProperties());
  }
  void SetProperties(TcxRadioGroupProperties* value) { GetProperties()->Assign(value); }
};
