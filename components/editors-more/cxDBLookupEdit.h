// The dataset lookup editor: a lookup editor whose list is the records of a dataset and whose
// keys are the values of its key fields. Bound to a dataset lookup field (through the editor's
// default-values provider), the field's lookup definition sets the list up.
#pragma once

#include "components/editors-more/cxLookupEdit.h"

class TDataSource;
class TField;
class TcxDBDataController;
class TcxFreeNotificator;
class TcxLookupList;

class TcxCustomDBLookupEditProperties : public TcxCustomLookupEditProperties {
  ORV_CLASS(TcxCustomDBLookupEditProperties, TcxCustomLookupEditProperties)
 public:
  explicit TcxCustomDBLookupEditProperties(TPersistent* owner) : TcxCustomLookupEditProperties(owner) {}
  void BeforeDestruction() override;
  ~TcxCustomDBLookupEditProperties() override;
  void Assign(TPersistent* source) override;

  Boolean GetCaseSensitiveSearch() const { return FCaseSensitiveSearch; }
  void SetCaseSensitiveSearch(Boolean value) { FCaseSensitiveSearch = value; }
  Boolean GetGridMode() const { return FLookupList != nullptr; }
  // True keeps a cache of key texts and reads the dataset on demand; a change calls Changed.
  void SetGridMode(Boolean value);
  // ";"-separated; refused while a bound lookup field defines the list (unless synchronising).
  AnsiString GetKeyFieldNames();
  void SetKeyFieldNames(const AnsiString& value);
  // The bound lookup field (nil when none).
  TField* GetLookupField() const { return FLookupField; }
  TcxLookupList* GetLookupList() const { return FLookupList; }
  // The key is a single string field that is also the list field (then the text is the key).
  Boolean KeyIsListField();

  // ---- New virtual operations ----
  virtual void BeginListUpdate() {}
  virtual void AddListColumn(const AnsiString& fieldName) {}
  virtual void CreateListColumns(const AnsiString& fieldNames) {}
  virtual void EndListUpdate() {}
  virtual TField* GetListColumnField(Integer index) { return nullptr; }
  virtual AnsiString GetListColumnFieldName(Integer index) { return {}; }
  virtual Integer IndexOfListFieldName(const AnsiString& name) { return -1; }
  virtual TcxDBDataController* GetDBDataController() { return nullptr; }
  virtual void UpdateLookupField();
  virtual void AddLookupResultColumn();
  virtual void LookupFieldFreed(TComponent* sender) { UpdateLookupField(); }

  // ---- Overrides ----
  TcxCustomEditClass GetEditClass() override;
  TClass GetLookupDataClass() override;
  Integer GetValueExchangeMode(Boolean focused) override;
  Boolean IsLookupFieldBound() override;
  Boolean EditsKeyAsText() override;
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  void ClearDefaultValuesProvider() override;
  void NotifyChanged() override;
  TAlignment GetDefaultHorzAlignment() override;
  Integer GetDefaultMaxLength() override;
  Boolean GetIncrementalFiltering() override;
  Integer GetListFieldIndexValue() override;
  void SetListFieldIndexValue(Integer index) override;
  void LockListDataChanged() override;
  void UnlockListDataChanged() override;
  Integer FindRecordIndexByText(Integer listFieldIndex, const AnsiString& text, Boolean partial) override;
  AnsiString GetKeyDisplayText(const Variant& key) override;
  Variant GetEmptyKey() override;

 protected:
  // The field of the editor's dataset provider, when it is one.
  TField* GetBoundField();
  TField* GetBoundLookupField();
  TField* GetListField();
  void SetLookupField(TField* field);
  // "Circular datalinks are not allowed" when the source's dataset is the bound field's dataset
  // or one of its masters.
  void CheckCircularLink(TDataSource* source);
  Boolean IsSynchronizing() const { return FSynchronizing; }
  void SetSynchronizing(Boolean value) { FSynchronizing = value; }
  TDataSource* GetLookupSource() const { return FLookupSource; }

 private:
  TDataSource* FCachedLookupSource = nullptr;
  Boolean FCaseSensitiveSearch = false;
  Integer FGridModeLockCount = 0;
  TField* FLookupField = nullptr;
  TcxLookupList* FLookupList = nullptr;
  TDataSource* FLookupSource = nullptr;
  TcxFreeNotificator* FLookupSourceFreeNotifier = nullptr;
  Boolean FSynchronizing = false;
};

class TcxCustomDBLookupEditLookupData : public TcxCustomLookupEditLookupData {
  ORV_CLASS(TcxCustomDBLookupEditLookupData, TcxCustomLookupEditLookupData)
 public:
  explicit TcxCustomDBLookupEditLookupData(TPersistent* owner) : TcxCustomLookupEditLookupData(owner) {}
  void SetKeyFromRecord(Integer recordIndex) override;
  void FocusRecordOfKey() override;
};

class TcxCustomDBLookupEdit : public TcxCustomLookupEdit {
  ORV_CLASS(TcxCustomDBLookupEdit, TcxCustomLookupEdit)
 public:
  explicit TcxCustomDBLookupEdit(TComponent* owner) : TcxCustomLookupEdit(owner) {}
  TcxCustomDBLookupEditProperties* DBLookupProperties() {
    return static_cast<TcxCustomDBLookupEditProperties*>(GetEffectiveProperties());
  }
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void GetClearValue(Variant& value) override;
  Boolean IsValidChar(char c) override;
  Variant ItemIndexToLookupKey(Integer index) override;
  Integer LookupKeyToItemIndex(const Variant& key) override;
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  void PopupWindowClosed(TObject* sender) override;
};
