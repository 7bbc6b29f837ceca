#include "platform/runtime/Collection.h"

#include <algorithm>
#include <string>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Lists.h"

// ---- TCollectionItem ----

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() {
  // Freed through Free, the item has left already. Otherwise (its constructor threw) it leaves
  // quietly: the collection may never have announced it.
  if (FCollection) std::erase(FCollection->FItems, this);
}

void TCollectionItem::BeforeDestruction() {
  SetCollection(nullptr);
  inherited::BeforeDestruction();
}

void TCollectionItem::SetCollection(TCollection* value) {
  if (FCollection == value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (value) value->InsertItem(this);
}

Integer TCollectionItem::GetIndex() const {
  if (!FCollection) return -1;
  const auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<Integer>(it - items.begin());
}

void TCollectionItem::SetIndex(Integer value) {
  const Integer current = GetIndex();
  if (current < 0 || current == value) return;
  auto& items = FCollection->FItems;
  if (value < 0 || value >= static_cast<Integer>(items.size())) orv::ListError("List index out of bounds", value);
  items.erase(items.begin() + current);
  items.insert(items.begin() + value, this);
  Changed(true);
}

void TCollectionItem::Changed(bool allItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() { return FCollection; }

AnsiString TCollectionItem::GetNamePath() {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + std::to_string(GetIndex()) + "]";
}

// ---- TCollection ----

TCollection::TCollection(TCollectionItemClass itemClass) : FItemClass(itemClass) {}

TCollection::~TCollection() {
  // Reached with items only when the collection was not freed through Free.
  FUpdateCount = 1;
  while (!FItems.empty()) FItems.back()->Free();
}

void TCollection::BeforeDestruction() {
  FUpdateCount = 1;  // no change notices while the items go
  Clear();
  inherited::BeforeDestruction();
}

TCollectionItem* TCollection::GetItem(Integer index) const {
  if (index < 0 || index >= GetCount()) orv::ListError("List index out of bounds", index);
  return FItems[index];
}

void TCollection::SetItem(Integer index, TCollectionItem* value) { GetItem(index)->Assign(value); }

TCollectionItem* TCollection::Add() {
  // The item joins in its base constructor; its arrival is announced once it is whole.
  const bool outer = !FDeferNotices;
  FDeferNotices = true;
  TCollectionItem* item;
  try {
    item = FItemClass.Create(this);
  } catch (...) {
    if (outer) FDeferNotices = false;
    throw;
  }
  if (outer) FDeferNotices = false;
  AnnounceItem(item);
  return item;
}

TCollectionItem* TCollection::Insert(Integer index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(Integer index) {
  TCollectionItem* item = GetItem(index);
  Notify(item, cnDeleting);
  item->Free();
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) FItems.back()->Free();
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(Integer id) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == id) return item;
  return nullptr;
}

void TCollection::Exchange(Integer index1, Integer index2) {
  GetItem(index1);
  GetItem(index2);
  std::swap(FItems[index1], FItems[index2]);
  Changed();
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  FItems.push_back(item);
  item->FCollection = this;
  item->FID = FNextID++;
  if (!FDeferNotices) AnnounceItem(item);
}

void TCollection::AnnounceItem(TCollectionItem* item) {
  SetItemName(item);
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnExtracting);
  if (!FItems.empty() && FItems.back() == item)
    FItems.pop_back();
  else
    std::erase(FItems, item);
  item->FCollection = nullptr;
  Changed();
}

void TCollection::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TCollection*>(source)) {
    if (other == this) return;
    BeginUpdate();
    try {
      Clear();
      for (TCollectionItem* item : other->FItems) Add()->Assign(item);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  inherited::Assign(source);
}

AnsiString TCollection::GetNamePath() {
  TPersistent* owner = GetOwner();
  return owner ? owner->GetNamePath() : ClassName();
}
