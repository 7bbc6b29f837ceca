#include "components/editors-more/cxEditDBRegisteredRepositoryItems.h"

#include <memory>

#include "components/editors-more/cxDBEditRepository.h"
#include "components/editors-more/cxEditRepositoryItems.h"
#include "platform/dataset/Fields.h"

void TcxEditDBRegisteredRepositoryItems::BeforeDestruction() {
  FDestroying = true;
  ClearAllEntries();
  inherited::BeforeDestruction();
}

void TcxEditDBRegisteredRepositoryItems::ClearAllEntries() {
  ClearEntries();
  while (!FLookupEntries.empty()) DeleteEntry(FLookupEntries, Integer(FLookupEntries.size()) - 1);
  while (!FCurrencyEntries.empty()) DeleteEntry(FCurrencyEntries, Integer(FCurrencyEntries.size()) - 1);
}

void TcxEditDBRegisteredRepositoryItems::RepositoryItemDestroyed(TcxEditRepositoryItem* item) {
  inherited::RepositoryItemDestroyed(item);
  RemoveItemFrom(FLookupEntries, item);
  RemoveItemFrom(FCurrencyEntries, item);
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::CurrencyItem() {
  return FCurrencyEntries.empty() ? DefaultRepositoryItem() : FCurrencyEntries.front().RepositoryItem;
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::LookupItem() {
  return FLookupEntries.empty() ? DefaultRepositoryItem() : FLookupEntries.front().RepositoryItem;
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::ItemForField(TField* field) {
  if (!field) return DefaultRepositoryItem();
  if (field->GetFieldKind() == fkLookup) return LookupItem();
  if (dynamic_cast<TNumericField*>(field) && IsCurrencyField(field)) return CurrencyItem();
  return ItemForFieldType(field->GetDataType());
}

void RegisterDefaultFieldTypeEditors(TcxEditDBRegisteredRepositoryItems* registry) {
  TcxEditRepository* repository = GetGlobalEditRepository();
  registry->RegisterDefault(-1, repository->CreateItem(TcxEditRepositoryMaskItem::StaticClass()));
  registry->RegisterForFieldType(ftBoolean, -1, repository->CreateItem(TcxEditRepositoryCheckBoxItem::StaticClass()));
  TcxEditRepositoryItem* currency = repository->CreateItem(TcxEditRepositoryCurrencyItem::StaticClass());
  registry->RegisterCurrencyItem(-1, currency);
  // Lookup fields: a plain list of the result field, without header or lines.
  auto* lookup = static_cast<TcxEditRepositoryLookupComboBoxItem*>(
      repository->CreateItem(TcxEditRepositoryLookupComboBoxItem::StaticClass()));
  lookup->GetItemProperties()->GetListOptions()->SetGridLines(TcxLookupGridLines::glNone);
  lookup->GetItemProperties()->SetDropDownListStyle(lsEditFixedList);
  lookup->GetItemProperties()->GetListOptions()->SetShowHeader(false);
  registry->RegisterLookupItem(-1, lookup);
  registry->RegisterForFieldType(ftCurrency, -1, currency);
  registry->RegisterForFieldType(ftBCD, -1, currency);
  registry->RegisterForFieldType(ftFMTBcd, -1, currency);
  registry->RegisterForFieldType(ftTime, -1, repository->CreateItem(TcxEditRepositoryTimeItem::StaticClass()));
  TcxEditRepositoryItem* date = repository->CreateItem(TcxEditRepositoryDateItem::StaticClass());
  registry->RegisterForFieldType(ftDate, -1, date);
  registry->RegisterForFieldType(ftDateTime, -1, date);
  registry->RegisterForFieldType(ftTimeStamp, -1, date);
  TcxEditRepositoryItem* memo = repository->CreateItem(TcxEditRepositoryMemoItem::StaticClass());
  registry->RegisterForFieldType(ftMemo, -1, memo);
  registry->RegisterForFieldType(ftOraClob, -1, memo);
  registry->RegisterForFieldType(ftGraphic, -1, repository->CreateItem(TcxEditRepositoryImageItem::StaticClass()));
  // A formatted memo is kept whole by the BLOB editor rather than shown as plain text.
  TcxEditRepositoryItem* blob = repository->CreateItem(TcxEditRepositoryBlobItem::StaticClass());
  for (TFieldType t : {ftBytes, ftVarBytes, ftBlob, ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary})
    registry->RegisterForFieldType(t, -1, blob);
}

TcxEditDBRegisteredRepositoryItems* FieldTypeEditorRegistry() {
  static std::unique_ptr<TcxEditDBRegisteredRepositoryItems, orv::FreeDeleter> registry;
  if (!registry) {
    registry.reset(new TcxEditDBRegisteredRepositoryItems);
    RegisterDefaultFieldTypeEditors(registry.get());
  }
  return registry.get();
}
