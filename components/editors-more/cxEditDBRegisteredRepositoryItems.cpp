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
  // Currency, BCD and FMTBcd fields have no item of their own: a field flagged as currency
  // takes the currency item above, any other the default masked text item.
  // One new item per registration, so that changing one field type's editor leaves the others.
  auto item = [repository](TcxEditRepositoryItemClass itemClass) { return repository->CreateItem(itemClass); };
  registry->RegisterForFieldType(ftTime, -1, item(TcxEditRepositoryTimeItem::StaticClass()));
  for (TFieldType t : {ftDate, ftDateTime, ftTimeStamp})
    registry->RegisterForFieldType(t, -1, item(TcxEditRepositoryDateItem::StaticClass()));
  for (TFieldType t : {ftMemo, ftOraClob})
    registry->RegisterForFieldType(t, -1, item(TcxEditRepositoryMemoItem::StaticClass()));
  registry->RegisterForFieldType(ftGraphic, -1, item(TcxEditRepositoryImageItem::StaticClass()));
  // A formatted memo is kept whole by the BLOB editor rather than shown as plain text.
  for (TFieldType t : {ftBytes, ftVarBytes, ftBlob, ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary})
    registry->RegisterForFieldType(t, -1, item(TcxEditRepositoryBlobItem::StaticClass()));
}

TcxEditDBRegisteredRepositoryItems* FieldTypeEditorRegistry() {
  static std::unique_ptr<TcxEditDBRegisteredRepositoryItems, orv::FreeDeleter> registry;
  if (!registry) {
    registry.reset(new TcxEditDBRegisteredRepositoryItems);
    RegisterDefaultFieldTypeEditors(registry.get());
  }
  return registry.get();
}
