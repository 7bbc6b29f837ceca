// The lookup editor base: a combo box whose value is a key and whose text is the display text of
// the record with that key in a list (a grid of records in the drop-down window). The properties
// give the protocol through which the editor and its lookup data reach the list, its data
// controller and the key texts; the base answers it with neutral values, the lookup combo box
// with its dataset-bound grid.
#pragma once

#include "components/editors/cxDropDownEdit.h"

class TcxCustomDataController;
class TcxCustomLookupEdit;
class TcxLookAndFeel;

class TcxCustomLookupEditProperties : public TcxCustomComboBoxProperties {
  ORV_CLASS(TcxCustomLookupEditProperties, TcxCustomComboBoxProperties)
 public:
  explicit TcxCustomLookupEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  Boolean GetIncrementalFilteringValue() const { return FIncrementalFiltering; }
  void SetIncrementalFiltering(Boolean value) { FIncrementalFiltering = value; }
  Boolean GetDropDownAutoSize() const { return GetPopupAutoSize(); }
  void SetDropDownAutoSize(Boolean value) { SetPopupAutoSize(value); }
  Integer GetDropDownHeight() const { return GetPopupHeight(); }
  void SetDropDownHeight(Integer value) { SetPopupHeight(value); }
  // The lock the lookup data holds while it changes the list itself.
  void LockList() { ++FLockCount; }
  void UnlockList() { --FLockCount; }
  Boolean IsInListDataChanged() const { return FInDataChange; }

  // ---- Overrides ----
  TcxCustomEditClass GetEditClass() override;
  Integer GetDisplayFormatOptions() override { return 0; }
  Boolean IsFocusDependent() override { return false; }
  Word GetCapabilities() override;
  Boolean AcceptsEditValue(const Variant& value) override { return true; }
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  Integer GetValueExchangeMode(Boolean focused) override { return EditsKeyAsText() ? 1 : 0; }
  Boolean IsLookupText(const AnsiString& text) override;
  TClass GetLookupDataClass() override;
  Boolean IsLookupNavigationKey(Word key, TShiftState shift) override;

  // ---- New virtual operations (the list protocol) ----
  virtual TWinControl* GetListActiveControl() { return GetLookupGrid(); }
  virtual Boolean SnapsListHeight() { return true; }
  virtual Integer GetListColumnCount() { return 0; }
  virtual TWinControl* GetLookupGrid() { return nullptr; }
  virtual TcxCustomDataController* GetListDataController() { return nullptr; }
  virtual Integer GetListWidth() { return 0; }
  virtual Integer SnapListHeight(Integer height) { return height; }
  virtual Integer GetListHeightForRows(Integer rowCount) { return 0; }
  virtual Boolean IsRowAtPoint(const TPoint& point) { return false; }
  virtual void ListClosed() {}
  virtual void SyncListWithText(const AnsiString& text) {}
  virtual void HookListEvents(const TNotifyEvent& confirm, const TNotifyEvent& focusedRow,
                              const orv::Event<void(TObject* sender, Boolean accept)>& closeUp) {}
  virtual void BeforeListInitialize() {}
  virtual void ApplyListAppearance(TcxLookAndFeel* lookAndFeel, TColor color, TFont* font) {}
  virtual void ListShowing() {}
  virtual void MakeFocusedRowVisible() {}
  virtual void ListHiding() {}
  virtual void RemoveDataChangedHandler();
  virtual Integer FindRecordIndexByText(Integer listFieldIndex, const AnsiString& text, Boolean partial);
  virtual Integer GetListFieldIndexValue() { return FListFieldIndex; }
  virtual AnsiString GetKeyDisplayText(const Variant& key) { return {}; }
  virtual Boolean GetIncrementalFiltering() { return FIncrementalFiltering; }
  virtual Integer GetEffectiveListFieldIndex();
  virtual Variant GetEmptyKey() { return Null(); }
  virtual void ListDataChanged(TObject* sender);
  virtual void AddDataChangedHandler();
  virtual Boolean IsListLocked() { return FLockCount != 0; }
  virtual Boolean IsListDataChangeLocked();
  virtual Boolean EditsKeyAsText() { return false; }
  virtual void LockListDataChanged();
  virtual void SetListFieldIndexValue(Integer index);
  virtual void UnlockListDataChanged();
  virtual void ReleaseList();
  virtual Boolean HasLookupFieldDefinition() { return IsLookupFieldBound(); }
  virtual Boolean IsLookupFieldBound() { return false; }

 private:
  Integer FListFieldIndex = 0;
  Integer FLockCount = 0;
  Boolean FInDataChange = false;
  Boolean FIncrementalFiltering = true;
};

// The editor's lookup data: the current key, the search by typed text (filtering the open list
// incrementally), the list's focus moved from the keyboard, and the editor's text.
class TcxCustomLookupEditLookupData : public TcxCustomTextEditLookupData {
  ORV_CLASS(TcxCustomLookupEditLookupData, TcxCustomTextEditLookupData)
 public:
  explicit TcxCustomLookupEditLookupData(TPersistent* owner) : TcxCustomTextEditLookupData(owner) {}

  TcxCustomLookupEdit* Edit();
  TcxCustomLookupEditProperties* LookupProperties();
  TcxCustomDataController* DataController();
  Boolean IsListVisible() override { return FListVisible; }

  // ---- IcxTextEditLookupData ----
  Boolean AdjustListSize(TSize& size, Integer maxHeight, Integer maxWidth) override;
  void ClosePopupList() override;
  void ReleaseList() override;
  void InitializePopup() override;
  void SyncListWithText(const AnsiString& text) override;
  Boolean ContainsText(const AnsiString& text) override;
  TWinControl* GetListControl() override;
  Variant GetKey() override { return FCurrentKey; }
  AnsiString GetKeyDisplayText(const Variant& key) override;
  TSize GetListPreferredSize() override;
  void MoveListFocus(Integer direction, Boolean cycle) override;
  void PrepareList(TWinControl* parent) override;
  Boolean IsListEmpty() override;
  Boolean IsRowAtPoint(const TPoint& screenPoint) override;
  Boolean LocateText(AnsiString& text, AnsiString& tail, Boolean exact) override;
  Boolean LocateTextEx(AnsiString& text, AnsiString& tail, Boolean fromCurrent, Boolean exact) override {
    return LocateText(text, tail, exact);
  }
  void SetListBounds(const TRect& rect) override;
  void ItemsChanged() override {}
  void ConfirmItem() override;
  void SetKey(const Variant& key) override;
  void SyncWithEditText() override;
  AnsiString GetItem(Integer index) override { return {}; }
  Integer GetItemCount() override { return 0; }

  // ---- New virtual operations ----
  virtual void DoKeyChanged();
  virtual void DoItemSelected();
  virtual void SetKeyFromRecord(Integer recordIndex);
  virtual void FocusRecordOfKey();
  virtual void ListConfirmHandler(TObject* sender) { ConfirmItem(); }
  virtual void ListCloseUpHandler(TObject* sender, Boolean accept);
  virtual void ListFocusedRowHandler(TObject* sender) {}
  virtual Boolean IsFocusedRowSelected();
  virtual Boolean LocateDisplayText(const AnsiString& text);
  virtual void ResetIncrementalFilter();
  virtual void SyncListToKey();
  virtual void UpdateFromEditText();
  virtual void UpdateDropDownHeight();

 protected:
  void SetCurrentKey(const Variant& key) { FCurrentKey = key; }
  void MarkFocusedRowSelected(Boolean selected);

 private:
  Boolean FListVisible = false;
  Variant FCurrentKey = Null();
};

class TcxCustomLookupEdit : public TcxCustomComboBox {
  ORV_CLASS(TcxCustomLookupEdit, TcxCustomComboBox)
 public:
  explicit TcxCustomLookupEdit(TComponent* owner) : TcxCustomComboBox(owner) {}
  // The list belongs to the properties: it leaves the popup window before the window goes.
  void BeforeDestruction() override;
  ~TcxCustomLookupEdit() override;
  void ReleaseOwnList();

  TcxCustomLookupEditProperties* LookupProperties() {
    return static_cast<TcxCustomLookupEditProperties*>(GetEffectiveProperties());
  }
  TcxCustomLookupEditLookupData* LookupEditData() {
    return static_cast<TcxCustomLookupEditLookupData*>(GetLookupData());
  }

  // ---- Overrides ----
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override;
  void GetDisplayValue(Variant& value) override;
  void BeginPost() override;
  void EndPost() override;
  void EnterEdit() override;
  void DropDown() override;
  void UpdateDisplayValue() override;
  void BeforeRepositoryItemChange() override;
  Boolean NeedValidateListText() override { return false; }
  void GetPopupContentSize(TSize& size) override;
  Variant LookupKeyToEditValue(const Variant& key) override { return key; }
  Integer LookupKeyToItemIndex(const Variant& key) override { return -1; }
  Variant ItemIndexToLookupKey(Integer index) override { return Null(); }
};
