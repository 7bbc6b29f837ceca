// The registry of default editors for dataset fields: lookup fields, currency fields, then the
// field's data type.
#pragma once

#include "components/data/cxDBData.h"
#include "components/editors-more/cxEditDataRegisteredRepositoryItems.h"
#include "platform/dataset/FieldTypes.h"

class TField;

class TcxEditDBRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
  ORV_CLASS(TcxEditDBRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)
 public:
  using TcxEditRegisteredRepositoryItems::TcxEditRegisteredRepositoryItems;
  void BeforeDestruction() override;
  void RepositoryItemDestroyed(TcxEditRepositoryItem* item) override;

  TcxEditRepositoryItem* ItemForField(TField* field);
  TcxEditRepositoryItem* ItemForFieldType(TFieldType fieldType) { return ItemForDataType(Integer(fieldType) & 127); }
  void RegisterForFieldType(TFieldType fieldType, Integer version, TcxEditRepositoryItem* item) {
    RegisterForDataType(Integer(fieldType) & 127, version, item);
  }
  void UnregisterForFieldType(TFieldType fieldType, Integer version) {
    UnregisterForDataType(Integer(fieldType) & 127, version);
  }
  void RegisterCurrencyItem(Integer version, TcxEditRepositoryItem* item) { InsertEntry(FCurrencyEntries, 0, item, version); }
  void RegisterLookupItem(Integer version, TcxEditRepositoryItem* item) { InsertEntry(FLookupEntries, 0, item, version); }
  TcxEditRepositoryItem* CurrencyItem();
  TcxEditRepositoryItem* LookupItem();
  Integer CurrencyEntryCount() const { return Integer(FCurrencyEntries.size()); }
  Integer LookupEntryCount() const { return Integer(FLookupEntries.size()); }
  void ClearAllEntries();

 private:
  TcxEditRegisteredRepositoryItemsDataArray FCurrencyEntries;
  TcxEditRegisteredRepositoryItemsDataArray FLookupEntries;
};

// The one field-type registry, made and filled on first use.
TcxEditDBRegisteredRepositoryItems* FieldTypeEditorRegistry();
void RegisterDefaultFieldTypeEditors(TcxEditDBRegisteredRepositoryItems* registry);
