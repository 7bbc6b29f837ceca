// The dataset-bound table view: the grid table view over a dataset-bound data controller, with
// columns bound to dataset fields by name. The controllers of both table views answer the data
// controller's hooks by asking their view.
#pragma once

#include "components/data/cxDBData.h"
#include "components/grid/cxGridTableView.h"

class TcxGridDBTableView;
class TDataSource;

// ==== Grid data controller interfaces =========================================================

class IcxGridDataControllerLink : public virtual IInterface {
 public:
  virtual void AssignData(TcxCustomDataController* dataController) = 0;
  virtual void CreateAllItems(Boolean missingItemsOnly) = 0;
  virtual void DeleteAllItems() = 0;
  virtual void GetFakeComponentLinks(TList* list) = 0;
  virtual TcxCustomGridView* GetGridView() = 0;
  virtual Boolean HasAllItems() = 0;
  virtual Boolean IsDataChangeable() = 0;
  virtual Boolean IsDataLinked() = 0;
  virtual Boolean SupportsCreateAllItems() = 0;
};

class IcxGridDataControllerNavigation : public virtual IInterface {
 public:
  virtual void UpdateGridModeBufferCount() = 0;
  virtual Boolean ScrollRecord(Boolean forward) = 0;
  virtual Boolean ScrollPage(Boolean forward) = 0;
  virtual TcxGridItemDataBindingClass GetItemDataBindingClass() = 0;
  virtual TClass GetDefaultValuesProviderClass() = 0;
  virtual Boolean IsBOF() = 0;
  virtual Boolean IsEOF() = 0;
  virtual void RememberScrollPosition() = 0;
  virtual Integer GetScrollBarRecordCount() = 0;
  virtual Boolean SetScrollBarPosition(Integer position) = 0;
};

// ==== Dataset-bound data controller ===========================================================

class TcxGridDBDataController : public TcxDBDataController,
                                public IcxGridDataControllerLink,
                                public IcxGridDataControllerNavigation {
  ORV_CLASS(TcxGridDBDataController, TcxDBDataController)
 public:
  explicit TcxGridDBDataController(TComponent* owner) : TcxDBDataController(owner) {}

  TcxCustomGridTableView* GetGridViewValue() const;
  TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, Integer recordIndex) override {
    return orv::grid::CreateDetailView(relation, recordIndex);
  }
  Integer CompareRecordsByField(Integer recordIndex1, Integer recordIndex2, TcxCustomDataField* field,
                                TcxDataControllerComparisonMode mode) override;
  Boolean NeedsValueConversion(TcxCustomDataField* field) override;
  void Refresh() override;
  TcxCustomDataController* GetDetailDataController(TObject* linkObject) override {
    return orv::grid::DetailViewDataController(linkObject);
  }
  using TcxDBDataController::GetDetailDataController;

  // ---- IcxGridDataControllerLink ----
  void AssignData(TcxCustomDataController* dataController) override {}
  void CreateAllItems(Boolean missingItemsOnly) override;
  void DeleteAllItems() override;
  void GetFakeComponentLinks(TList* list) override;
  TcxCustomGridView* GetGridView() override;
  Boolean HasAllItems() override;
  Boolean IsDataChangeable() override { return false; }
  Boolean IsDataLinked() override { return GetDataSet() != nullptr; }
  Boolean SupportsCreateAllItems() override { return true; }

  // ---- IcxGridDataControllerNavigation ----
  void UpdateGridModeBufferCount() override { TcxDBDataController::UpdateGridModeBufferCount(); }
  Boolean ScrollRecord(Boolean forward) override;
  Boolean ScrollPage(Boolean forward) override;
  TcxGridItemDataBindingClass GetItemDataBindingClass() override;
  TClass GetDefaultValuesProviderClass() override;
  Boolean IsBOF() override;
  Boolean IsEOF() override;
  void RememberScrollPosition() override;
  Integer GetScrollBarRecordCount() override;
  Boolean SetScrollBarPosition(Integer position) override;

  // ---- New virtual operations ----
  virtual Boolean SupportsRecNoScrolling();

  // ---- Data controller hooks ----
  TObject* GetItem(Integer index) override;
  Integer GetItemID(TObject* item) override;
  Boolean CanSelectRow(Integer rowIndex) override;
  void ItemValueTypeChanged(Integer itemIndex) override;
  AnsiString GetDisplayText(Integer recordIndex, Integer itemIndex) override;
  AnsiString GetItemFilterCaption(Integer itemIndex) override;
  Boolean GetItemSortByDisplayText(Integer itemIndex, Boolean defaultValue) override;
  void BeginUpdate() override;
  void EndUpdate() override;
  TcxDataSummaryItemClass GetSummaryItemClass() override;
  TcxDataSummaryGroupItemLinkClass GetSummaryGroupItemLinkClass() override;
  void FilterChanged() override;
  TcxSortingBySummaryEngineClass GetSortingBySummaryEngineClass() override;
  Integer GetDefaultGridModeBufferCount() override;

 private:
  Integer FPrevScrollBarPos = -1;
};

// ==== Field binding ===========================================================================

class TcxGridItemDBDataBinding : public TcxGridItemDataBinding {
  ORV_CLASS(TcxGridItemDBDataBinding, TcxGridItemDataBinding)
 public:
  explicit TcxGridItemDBDataBinding(TcxCustomGridTableItem* item) : TcxGridItemDataBinding(item) {}
  void Assign(TPersistent* source) override;

  TcxGridDBDataController* GetDBDataController() const;
  AnsiString GetFieldName() const;
  void SetFieldName(const AnsiString& value);
  // The dataset field bound to the item (nil when none).
  TField* GetField() const;

  TcxValueTypeClass GetDefaultValueTypeClass() override { return nullptr; }
  AnsiString GetFilterFieldName() override;
  void Init() override;
  Boolean IsValueTypeClassStored() override { return GetFieldName().empty(); }
  AnsiString GetDefaultCaption() override;
  TcxEditRepositoryItem* GetDefaultRepositoryItem() override;
  Integer GetDefaultWidth(Boolean considerHeader) override;
};

// ==== Column, summary item and view ===========================================================

class TcxGridDBColumn : public TcxGridColumn {
  ORV_CLASS(TcxGridDBColumn, TcxGridColumn)
 public:
  explicit TcxGridDBColumn(TComponent* owner) : TcxGridColumn(owner) {}
  TcxGridItemDBDataBinding* GetDataBinding() const {
    return static_cast<TcxGridItemDBDataBinding*>(inherited::GetDataBinding());
  }
  void SetDataBinding(TcxGridItemDBDataBinding* value) { inherited::SetDataBinding(value); }
};

class TcxGridDBTableSummaryItem : public TcxDBDataSummaryItem {
  ORV_CLASS(TcxGridDBTableSummaryItem, TcxDBDataSummaryItem)
 public:
  explicit TcxGridDBTableSummaryItem(TCollection* collection);
  void Assign(TPersistent* source) override;

  TcxCustomGridTableView* GetGridView() const;
  TcxGridColumn* GetColumn() const;
  void SetColumn(TcxGridColumn* value);
  const AnsiString& GetDisplayText() const { return FDisplayText; }
  void SetDisplayText(const AnsiString& value);
  Boolean GetVisibleForCustomization() const { return FVisibleForCustomization; }
  void SetVisibleForCustomization(Boolean value);
  AnsiString GetStoredColumnName() const;
  void SetStoredColumnName(const AnsiString& value);

 private:
  AnsiString FDisplayText;
  Boolean FVisibleForCustomization = true;
};

class TcxGridDBTableView : public TcxGridTableView {
  ORV_CLASS(TcxGridDBTableView, TcxGridTableView)
 public:
  explicit TcxGridDBTableView(TComponent* owner) : TcxGridTableView(owner) {}

  TcxGridDBDataController* GetDataController() const;
  void SetDataController(TcxGridDBDataController* value);
  TcxGridDBColumn* GetColumn(Integer index) const { return static_cast<TcxGridDBColumn*>(GetItem(index)); }
  TcxGridDBColumn* CreateColumn() { return static_cast<TcxGridDBColumn*>(CreateItem()); }
  // The first column bound to the field name (ignoring case), nil when none.
  TcxGridDBColumn* GetColumnByFieldName(const AnsiString& fieldName) const;

  TcxCustomDataControllerClass GetDataControllerClass() override;
  TcxCustomGridTableItemClass GetItemClass() override { return TcxGridDBColumn::StaticClass(); }
  TcxGridItemDataBindingClass GetItemDataBindingClass() override {
    return TcxGridItemDBDataBinding::StaticClass();
  }
  TcxDataSummaryItemClass GetSummaryItemClass() override { return TcxGridDBTableSummaryItem::StaticClass(); }
};
