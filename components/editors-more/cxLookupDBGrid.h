// The dataset-bound lookup grid of the lookup combo box: its columns are bound to dataset fields
// by name and its data controller reads the records of a data source (or, in grid mode, only
// the dataset's buffer).
#pragma once

#include "components/data/cxDBData.h"
#include "components/editors-more/cxDBEdit.h"
#include "components/editors-more/cxLookupGrid.h"

class TDataSource;
class TField;

class TcxLookupDBGridDefaultValuesProvider : public TcxCustomDBEditDefaultValuesProvider {
  ORV_CLASS(TcxLookupDBGridDefaultValuesProvider, TcxCustomDBEditDefaultValuesProvider)
 public:
  explicit TcxLookupDBGridDefaultValuesProvider(TPersistent* owner) : TcxCustomDBEditDefaultValuesProvider(owner) {}
  Boolean HasDefaultDisplayFormat(Boolean formatsItself) override;
};

class TcxLookupDBGridColumn : public TcxLookupGridColumn {
  ORV_CLASS(TcxLookupDBGridColumn, TcxLookupGridColumn)
 public:
  explicit TcxLookupDBGridColumn(TCollection* collection) : TcxLookupGridColumn(collection) {}
  void Assign(TPersistent* source) override;

  AnsiString GetFieldName();
  void SetFieldName(const AnsiString& value);
  // The dataset field bound to the column (nil while unbound).
  TField* GetField();

  TcxCustomEditDefaultValuesProviderClass GetDefaultValuesProviderClass() override {
    return TcxLookupDBGridDefaultValuesProvider::StaticClass();
  }
  AnsiString GetDefaultCaption() override;
  TcxEditRepositoryItem* GetDefaultRepositoryItem() override;
  Integer DefaultColumnWidth() override;
};

class TcxLookupDBGridColumns : public TcxLookupGridColumns {
  ORV_CLASS(TcxLookupDBGridColumns, TcxLookupGridColumns)
 public:
  using TcxLookupGridColumns::TcxLookupGridColumns;
  TcxLookupDBGridColumn* GetColumn(Integer index) const {
    return static_cast<TcxLookupDBGridColumn*>(GetItem(index));
  }
  TcxLookupDBGridColumn* GetColumnByFieldName(const AnsiString& fieldName);
};

class TcxLookupDBGridOptions : public TcxLookupGridOptions {
  ORV_CLASS(TcxLookupDBGridOptions, TcxLookupGridOptions)
 public:
  using TcxLookupGridOptions::TcxLookupGridOptions;
  void Assign(TPersistent* source) override;
  Boolean GetSyncMode();
  void SetSyncMode(Boolean value);
};

// Item i is column i of the grid; without synchronised focus or inserting.
class TcxLookupGridDBDataController : public TcxDBDataController {
  ORV_CLASS(TcxLookupGridDBDataController, TcxDBDataController)
 public:
  explicit TcxLookupGridDBDataController(TComponent* owner);
  TObject* GetItem(Integer index) override;
};

class TcxCustomLookupDBGrid : public TcxCustomLookupGrid {
  ORV_CLASS(TcxCustomLookupDBGrid, TcxCustomLookupGrid)
 public:
  using TcxCustomLookupGrid::TcxCustomLookupGrid;

  TcxLookupGridDBDataController* GetDBDataController() {
    return static_cast<TcxLookupGridDBDataController*>(GetDataController());
  }
  TcxLookupDBGridColumns* GetDBColumns() { return static_cast<TcxLookupDBGridColumns*>(GetColumns()); }
  TcxLookupDBGridOptions* GetDBOptions() { return static_cast<TcxLookupDBGridOptions*>(GetOptions()); }
  TDataSource* GetDataSource() { return GetDBDataController()->GetDataSource(); }
  void SetDataSource(TDataSource* value) { GetDBDataController()->SetDataSource(value); }
  const AnsiString& GetKeyFieldNames() { return GetDBDataController()->GetKeyFieldNames(); }
  void SetKeyFieldNames(const AnsiString& value) { GetDBDataController()->SetKeyFieldNames(value); }

  // One new column per name (";"-separated), inside a lock; the other form clears the columns
  // first.
  virtual void AddColumnsForFields(const AnsiString& fieldNames);
  void CreateColumnsForFields(const AnsiString& fieldNames);

  TcxLookupGridColumnClass GetColumnClass() override { return TcxLookupDBGridColumn::StaticClass(); }
  orv::ClassOf<TcxCustomDataController> GetDataControllerClass() override {
    return TcxLookupGridDBDataController::StaticClass();
  }
  TcxLookupGridOptionsClass GetOptionsClass() override { return TcxLookupDBGridOptions::StaticClass(); }
  void DataChanged() override;

 protected:
  TcxLookupGridColumns* CreateColumns() override;
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;

 private:
  Boolean UsesDataSetScrolling();
};
