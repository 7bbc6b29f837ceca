#include "components/editors-more/cxEditDataRegisteredRepositoryItems.h"

#include <memory>

#include "components/editors-more/cxEditRepositoryItems.h"

// ==== Base registry ============================================================================

void TcxEditRegisteredRepositoryItems::BeforeDestruction() {
  FDestroying = true;
  ClearEntries();
  inherited::BeforeDestruction();
}

Integer TcxEditRegisteredRepositoryItems::CompareEntries(const TcxEditRegisteredRepositoryItemsData& a,
                                                         const TcxEditRegisteredRepositoryItemsData& b,
                                                         Boolean newestVersionMode) {
  if (a.DataTypeKey != b.DataTypeKey) return a.DataTypeKey < b.DataTypeKey ? -1 : 1;
  if (newestVersionMode || a.Version == b.Version) return 0;
  return a.Version < b.Version ? -1 : 1;
}

Boolean TcxEditRegisteredRepositoryItems::LocateEntry(const TcxEditRegisteredRepositoryItemsDataArray& entries,
                                                      std::intptr_t key, Integer& index, Boolean newestVersionMode,
                                                      Integer version) {
  const Integer count = Integer(entries.size());
  Integer low = 0, high = count - 1, middle = 0;
  Boolean stopped = false;
  const TcxEditRegisteredRepositoryItemsData wanted{key, version, nullptr};
  while (high >= low) {
    middle = (low + high) / 2;
    const Integer c = CompareEntries(entries[std::size_t(middle)], wanted, newestVersionMode);
    if (c < 0) {
      low = middle + 1;
    } else if (c == 0) {
      stopped = true;
      break;
    } else {
      high = middle - 1;
    }
  }
  index = stopped ? middle : low;
  if (newestVersionMode)
    while (index < count - 1 && entries[std::size_t(index) + 1].DataTypeKey == key) ++index;
  return index < count && entries[std::size_t(index)].DataTypeKey == key &&
         (newestVersionMode || entries[std::size_t(index)].Version == version);
}

Integer TcxEditRegisteredRepositoryItems::InsertEntry(TcxEditRegisteredRepositoryItemsDataArray& entries,
                                                      std::intptr_t key, TcxEditRepositoryItem* item,
                                                      Integer version) {
  Integer index = 0;
  if (LocateEntry(entries, key, index, false, version)) return index;
  entries.insert(entries.begin() + index, TcxEditRegisteredRepositoryItemsData{key, version, item});
  if (item) item->AddListener(this);
  RegistryChanged();
  return index;
}

void TcxEditRegisteredRepositoryItems::DeleteEntry(TcxEditRegisteredRepositoryItemsDataArray& entries, Integer index) {
  TcxEditRepositoryItem* item = entries[std::size_t(index)].RepositoryItem;
  entries.erase(entries.begin() + index);
  if (item) item->RemoveListener(this);
  RegistryChanged();
}

void TcxEditRegisteredRepositoryItems::ClearEntries() {
  while (!FDefaultEntries.empty()) DeleteEntry(FDefaultEntries, Integer(FDefaultEntries.size()) - 1);
  while (!FEntries.empty()) DeleteEntry(FEntries, Integer(FEntries.size()) - 1);
}

void TcxEditRegisteredRepositoryItems::RemoveItemFrom(TcxEditRegisteredRepositoryItemsDataArray& entries,
                                                      TcxEditRepositoryItem* item) {
  for (Integer i = Integer(entries.size()) - 1; i >= 0; --i)
    if (entries[std::size_t(i)].RepositoryItem == item) DeleteEntry(entries, i);
}

void TcxEditRegisteredRepositoryItems::RepositoryItemDestroyed(TcxEditRepositoryItem* item) {
  RemoveItemFrom(FDefaultEntries, item);
  RemoveItemFrom(FEntries, item);
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::DefaultRepositoryItem() {
  return FDefaultEntries.empty() ? nullptr : FDefaultEntries.front().RepositoryItem;
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::ItemForDataType(std::intptr_t key) {
  Integer index = 0;
  if (LocateEntry(FEntries, key, index, true, 0)) return FEntries[std::size_t(index)].RepositoryItem;
  return DefaultRepositoryItem();
}

void TcxEditRegisteredRepositoryItems::RegisterDefault(Integer version, TcxEditRepositoryItem* item) {
  InsertEntry(FDefaultEntries, 0, item, version);
}

void TcxEditRegisteredRepositoryItems::RegisterForDataType(std::intptr_t key, Integer version,
                                                           TcxEditRepositoryItem* item) {
  InsertEntry(FEntries, key, item, version);
}

void TcxEditRegisteredRepositoryItems::UnregisterDefault(Integer version) {
  Integer index = 0;
  if (LocateEntry(FDefaultEntries, 0, index, false, version)) DeleteEntry(FDefaultEntries, index);
}

void TcxEditRegisteredRepositoryItems::UnregisterForDataType(std::intptr_t key, Integer version) {
  Integer index = 0;
  if (LocateEntry(FEntries, key, index, false, version)) DeleteEntry(FEntries, index);
}

// ==== Value-type registry ======================================================================

void RegisterDefaultValueTypeEditors(TcxEditDataRegisteredRepositoryItems* registry) {
  TcxEditRepository* repository = GetGlobalEditRepository();
  registry->RegisterDefault(-1, repository->CreateItem(TcxEditRepositoryTextItem::StaticClass()));
  registry->RegisterForValueType(TcxBooleanValueType::StaticClass(), -1,
                                 repository->CreateItem(TcxEditRepositoryCheckBoxItem::StaticClass()));
  registry->RegisterForValueType(TcxCurrencyValueType::StaticClass(), -1,
                                 repository->CreateItem(TcxEditRepositoryCurrencyItem::StaticClass()));
  registry->RegisterForValueType(TcxDateTimeValueType::StaticClass(), -1,
                                 repository->CreateItem(TcxEditRepositoryDateItem::StaticClass()));
  // Decimal (BCD) values are amounts like currency ones; time stamps are dates with a time.
  registry->RegisterForValueType(TcxFMTBcdValueType::StaticClass(), -1,
                                 repository->CreateItem(TcxEditRepositoryCurrencyItem::StaticClass()));
  registry->RegisterForValueType(TcxSQLTimeStampValueType::StaticClass(), -1,
                                 repository->CreateItem(TcxEditRepositoryDateItem::StaticClass()));
}

TcxEditDataRegisteredRepositoryItems* ValueTypeEditorRegistry() {
  static std::unique_ptr<TcxEditDataRegisteredRepositoryItems, orv::FreeDeleter> registry;
  if (!registry) {
    registry.reset(new TcxEditDataRegisteredRepositoryItems);
    RegisterDefaultValueTypeEditors(registry.get());
  }
  return registry.get();
}
