// The lookup combo box: a dataset lookup editor whose drop-down list is a dataset-bound lookup
// grid (the records of ListSource in the columns ListFieldNames names), keeping the key of the
// record the user picks and showing that record's text of the list field.
#pragma once

#include "components/editors-more/cxDBLookupEdit.h"
#include "components/editors-more/cxLookupDBGrid.h"

class TcxLookupComboBoxProperties : public TcxCustomDBLookupEditProperties {
  ORV_CLASS(TcxLookupComboBoxProperties, TcxCustomDBLookupEditProperties)
 public:
  explicit TcxLookupComboBoxProperties(TPersistent* owner);
  void BeforeDestruction() override;
  ~TcxLookupComboBoxProperties() override;
  void Assign(TPersistent* source) override;

  TcxCustomLookupDBGrid* GetGrid() const { return FGrid; }
  TcxLookupDBGridColumns* GetListColumns() { return FGrid->GetDBColumns(); }
  void SetListColumns(TcxLookupDBGridColumns* value);
  AnsiString GetListFieldNames();
  void SetListFieldNames(const AnsiString& value);
  Integer GetListFieldIndex() { return GetListFieldIndexValue(); }
  void SetListFieldIndex(Integer value) { SetListFieldIndexValue(value); }
  TcxLookupDBGridOptions* GetListOptions() { return FGrid->GetDBOptions(); }
  void SetListOptions(TcxLookupDBGridOptions* value) { FGrid->GetOptions()->Assign(value); }
  // nil while a bound lookup field defines the list.
  TDataSource* GetListSource();
  void SetListSource(TDataSource* value);
  const TNotifyEvent& GetOnSortingChanged() const { return FOnSortingChanged; }
  void SetOnSortingChanged(const TNotifyEvent& value) { FOnSortingChanged = value; }

  // ---- New virtual operations ----
  virtual orv::ClassOf<TcxCustomLookupDBGrid> GetLookupGridClass() { return TcxCustomLookupDBGrid::StaticClass(); }
  virtual void ListOptionsChanged(TObject* sender) { Changed(); }

  // ---- The list protocol ----
  TcxCustomEditClass GetEditClass() override;
  Integer GetListColumnCount() override { return FGrid->GetColumns()->GetCount(); }
  TWinControl* GetLookupGrid() override { return FGrid; }
  TcxCustomDataController* GetListDataController() override { return FGrid->GetDataController(); }
  Integer GetListWidth() override;
  Integer SnapListHeight(Integer height) override { return FGrid->SnapListHeight(height); }
  Integer GetListHeightForRows(Integer rowCount) override { return FGrid->GetListHeightForRows(rowCount); }
  Boolean IsRowAtPoint(const TPoint& point) override { return FGrid->IsRowAtPoint(point); }
  void MakeFocusedRowVisible() override { FGrid->MakeFocusedRowVisible(); }
  void HookListEvents(const TNotifyEvent& confirm, const TNotifyEvent& focusedRow,
                      const orv::Event<void(TObject* sender, Boolean accept)>& closeUp) override;
  void ApplyListAppearance(TcxLookAndFeel* lookAndFeel, TColor color, TFont* font) override;
  void ListShowing() override;
  void ListHiding() override;
  void BeginListUpdate() override { FGrid->BeginUpdate(); }
  void EndListUpdate() override { FGrid->EndUpdate(); }
  void AddListColumn(const AnsiString& fieldName) override;
  void CreateListColumns(const AnsiString& fieldNames) override { FGrid->CreateColumnsForFields(fieldNames); }
  TField* GetListColumnField(Integer index) override;
  AnsiString GetListColumnFieldName(Integer index) override;
  Integer IndexOfListFieldName(const AnsiString& name) override;
  TcxDBDataController* GetDBDataController() override { return FGrid->GetDBDataController(); }

 private:
  TcxCustomLookupDBGrid* FGrid = nullptr;
  TNotifyEvent FOnSortingChanged;
};

class TcxCustomLookupComboBox : public TcxCustomDBLookupEdit {
  ORV_CLASS(TcxCustomLookupComboBox, TcxCustomDBLookupEdit)
 public:
  explicit TcxCustomLookupComboBox(TComponent* owner) : TcxCustomDBLookupEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxLookupComboBoxProperties* LookupComboProperties() {
    return static_cast<TcxLookupComboBoxProperties*>(GetEffectiveProperties());
  }
};

class TcxLookupComboBox : public TcxCustomLookupComboBox {
  ORV_CLASS(TcxLookupComboBox, TcxCustomLookupComboBox)
 public:
  using TcxCustomLookupComboBox::TcxCustomLookupComboBox;
  TcxLookupComboBoxProperties* GetProperties() {
    return static_cast<TcxLookupComboBoxProperties*>(TcxCustomEdit::GetProperties());
  }
  void SetProperties(TcxLookupComboBoxProperties* value) { GetProperties()->Assign(value); }
};

// A lookup combo box in the filter control: a fixed list of the keys' texts.
class TcxFilterLookupComboBoxHelper : public TcxFilterComboBoxHelper {
  ORV_CLASS(TcxFilterLookupComboBoxHelper, TcxFilterComboBoxHelper)
 public:
  TcxFilterLookupComboBoxHelper() = default;
  TcxCustomEditClass GetFilterEditorClass() const override;
  void GetEditValueAndText(TcxCustomEdit* edit, TcxCustomEditProperties* properties, AnsiString& text,
                           Variant& value) const override;
  void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                             TcxFilterControlOperators& operators, Boolean extended) const override;
  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override;
  Boolean IsValueConvertible(TcxValueTypeClass valueTypeClass, const Variant& value) const override { return true; }
  Boolean KeepsDefaultValuesProvider(TcxCustomEditProperties* sourceProperties) const override;
};
