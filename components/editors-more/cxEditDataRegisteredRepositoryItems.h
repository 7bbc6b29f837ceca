// The registries of default editors: a ready-made repository item for a value type of the data
// controller (this unit) or for a dataset field (cxEditDBRegisteredRepositoryItems), chosen when
// a data-aware control edits a value nobody chose an editor for. Registrations are kept sorted by
// key and version; the newest version of a key answers.
#pragma once

#include <cstdint>
#include <vector>

#include "components/data/cxDataStorage.h"
#include "components/editors/cxEdit.h"

struct TcxEditRegisteredRepositoryItemsData {
  // A value-type class's identity or a field type ordinal; 0 in the default arrays.
  std::intptr_t DataTypeKey = 0;
  Integer Version = -1;
  TcxEditRepositoryItem* RepositoryItem = nullptr;
};
using TcxEditRegisteredRepositoryItemsDataArray = std::vector<TcxEditRegisteredRepositoryItemsData>;

class TcxEditRegisteredRepositoryItems : public TcxInterfacedPersistent, public IcxEditRepositoryItemListener {
  ORV_CLASS(TcxEditRegisteredRepositoryItems, TcxInterfacedPersistent)
 public:
  explicit TcxEditRegisteredRepositoryItems(TPersistent* owner = nullptr) : TcxInterfacedPersistent(owner) {}
  void BeforeDestruction() override;

  // IcxEditRepositoryItemListener.
  void ItemRemoved(TcxEditRepositoryItem* sender) override { RepositoryItemDestroyed(sender); }
  void PropertiesChanged(TcxEditRepositoryItem* sender) override { RepositoryItemChanged(sender); }

  // ---- New virtual operations ----
  virtual void RepositoryItemDestroyed(TcxEditRepositoryItem* item);
  virtual void RepositoryItemChanged(TcxEditRepositoryItem* item) { RegistryChanged(); }
  virtual Integer InsertEntry(TcxEditRegisteredRepositoryItemsDataArray& entries, std::intptr_t key,
                              TcxEditRepositoryItem* item, Integer version);
  virtual void RegistryChanged() {}
  virtual TcxEditRepositoryItem* DefaultRepositoryItem();
  virtual TcxEditRepositoryItem* ItemForDataType(std::intptr_t key);
  virtual void RegisterDefault(Integer version, TcxEditRepositoryItem* item);
  virtual void RegisterForDataType(std::intptr_t key, Integer version, TcxEditRepositoryItem* item);
  virtual void UnregisterDefault(Integer version);
  virtual void UnregisterForDataType(std::intptr_t key, Integer version);

  void ClearEntries();
  void DeleteEntry(TcxEditRegisteredRepositoryItemsDataArray& entries, Integer index);
  static Boolean LocateEntry(const TcxEditRegisteredRepositoryItemsDataArray& entries, std::intptr_t key,
                             Integer& index, Boolean newestVersionMode, Integer version);
  static Integer CompareEntries(const TcxEditRegisteredRepositoryItemsData& a,
                                const TcxEditRegisteredRepositoryItemsData& b, Boolean newestVersionMode);
  Integer EntryCount() const { return Integer(FEntries.size()); }
  Integer DefaultEntryCount() const { return Integer(FDefaultEntries.size()); }
  const TcxEditRegisteredRepositoryItemsData& GetEntry(Integer index) const { return FEntries[std::size_t(index)]; }

 protected:
  // Removes the item's entries from one array, the last first.
  void RemoveItemFrom(TcxEditRegisteredRepositoryItemsDataArray& entries, TcxEditRepositoryItem* item);
  Boolean FDestroying = false;
  TcxEditRegisteredRepositoryItemsDataArray FDefaultEntries;
  TcxEditRegisteredRepositoryItemsDataArray FEntries;
};

// The registry keyed by value-type class.
class TcxEditDataRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
  ORV_CLASS(TcxEditDataRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)
 public:
  using TcxEditRegisteredRepositoryItems::TcxEditRegisteredRepositoryItems;
  static std::intptr_t KeyOf(TcxValueTypeClass valueTypeClass) {
    return reinterpret_cast<std::intptr_t>(static_cast<TClass>(valueTypeClass));
  }
  TcxEditRepositoryItem* ItemForValueType(TcxValueTypeClass valueTypeClass) {
    return ItemForDataType(KeyOf(valueTypeClass));
  }
  void RegisterForValueType(TcxValueTypeClass valueTypeClass, Integer version, TcxEditRepositoryItem* item) {
    RegisterForDataType(KeyOf(valueTypeClass), version, item);
  }
  void UnregisterForValueType(TcxValueTypeClass valueTypeClass, Integer version) {
    UnregisterForDataType(KeyOf(valueTypeClass), version);
  }
};

// The one value-type registry, made and filled on first use.
TcxEditDataRegisteredRepositoryItems* ValueTypeEditorRegistry();
// The registry's start-up registrations over the global edit repository.
void RegisterDefaultValueTypeEditors(TcxEditDataRegisteredRepositoryItems* registry);
