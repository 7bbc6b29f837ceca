#include "platform/runtime/Lists.h"

#include <algorithm>
#include <string>

#include "platform/runtime/Exceptions.h"

void orv::ListError(const char* message, Integer index) {
  throw EListError(AnsiString(message) + " (" + std::to_string(index) + ")");
}

// ---- TList ----

void TList::CheckIndex(Integer index, Integer limit) const {
  if (index < 0 || index >= limit) orv::ListError("List index out of bounds", index);
}

void TList::BeforeDestruction() {
  Clear();  // while whole, so that descendants hear of every item leaving
  inherited::BeforeDestruction();
}

void TList::SetCount(Integer value) {
  if (value < 0) orv::ListError("List count out of bounds", value);
  if (value >= GetCount()) {
    FList.resize(value, nullptr);
    return;
  }
  while (GetCount() > value) Delete(GetCount() - 1);
}

void TList::SetCapacity(Integer value) {
  if (value < GetCount()) orv::ListError("List capacity out of bounds", value);
  if (value > GetCapacity())
    FList.reserve(value);
  else
    FList.shrink_to_fit();
}

void* TList::Get(Integer index) const {
  CheckIndex(index, GetCount());
  return FList[index];
}

void TList::Put(Integer index, void* item) {
  CheckIndex(index, GetCount());
  void* old = FList[index];
  if (old == item) return;
  FList[index] = item;
  if (old) Notify(old, lnDeleted);
  if (item) Notify(item, lnAdded);
}

Integer TList::Add(void* item) {
  FList.push_back(item);
  if (item) Notify(item, lnAdded);
  return GetCount() - 1;
}

void TList::Insert(Integer index, void* item) {
  CheckIndex(index, GetCount() + 1);
  FList.insert(FList.begin() + index, item);
  if (item) Notify(item, lnAdded);
}

void TList::Delete(Integer index) {
  CheckIndex(index, GetCount());
  void* item = FList[index];
  FList.erase(FList.begin() + index);
  if (item) Notify(item, lnDeleted);
}

Integer TList::IndexOf(void* item) const {
  auto it = std::find(FList.begin(), FList.end(), item);
  return it == FList.end() ? -1 : static_cast<Integer>(it - FList.begin());
}

Integer TList::Remove(void* item) {
  const Integer index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* item) {
  const Integer index = IndexOf(item);
  if (index < 0) return nullptr;
  FList.erase(FList.begin() + index);
  Notify(item, lnExtracted);
  return item;
}

void TList::Clear() {
  SetCount(0);
  FList.shrink_to_fit();
}

void TList::Exchange(Integer index1, Integer index2) {
  CheckIndex(index1, GetCount());
  CheckIndex(index2, GetCount());
  std::swap(FList[index1], FList[index2]);
}

void TList::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex, GetCount());
  CheckIndex(newIndex, GetCount());
  if (curIndex < newIndex)
    std::rotate(FList.begin() + curIndex, FList.begin() + curIndex + 1, FList.begin() + newIndex + 1);
  else
    std::rotate(FList.begin() + newIndex, FList.begin() + curIndex, FList.begin() + curIndex + 1);
}

void TList::Pack() { std::erase(FList, nullptr); }

void TList::Sort(TListSortCompare compare) {
  std::stable_sort(FList.begin(), FList.end(), [compare](void* a, void* b) { return compare(a, b) < 0; });
}

void TList::Assign(TList* source) {
  Clear();
  FList.reserve(source->FList.size());
  for (void* item : source->FList) Add(item);
}

// ---- TObjectList ----

TObjectList::~TObjectList() {
  // Reached with items only when the list was not freed through Free.
  if (FOwnsObjects)
    for (Integer i = GetCount() - 1; i >= 0; --i) orv::Free(Get(i));
}

void TObjectList::Notify(void* ptr, TListNotification action) {
  if (FOwnsObjects && action == lnDeleted) static_cast<TObject*>(ptr)->Free();
  inherited::Notify(ptr, action);
}

Integer TObjectList::FindInstanceOf(TClass c, bool exact, Integer startAt) const {
  for (Integer i = std::max(startAt, 0); i < GetCount(); ++i) {
    TObject* obj = Get(i);
    if (obj && (exact ? obj->ClassType() == c : obj->InheritsFrom(c))) return i;
  }
  return -1;
}

// ---- TInterfaceList ----

IInterface* TInterfaceList::Get(Integer index) const {
  if (index < 0 || index >= GetCount()) orv::ListError("List index out of bounds", index);
  return FList[index];
}

void TInterfaceList::Put(Integer index, IInterface* item) {
  if (index < 0 || index >= GetCount()) orv::ListError("List index out of bounds", index);
  FList[index] = item;
}

Integer TInterfaceList::Add(IInterface* item) {
  FList.push_back(item);
  return GetCount() - 1;
}

void TInterfaceList::Insert(Integer index, IInterface* item) {
  if (index < 0 || index > GetCount()) orv::ListError("List index out of bounds", index);
  FList.insert(FList.begin() + index, item);
}

void TInterfaceList::Delete(Integer index) {
  if (index < 0 || index >= GetCount()) orv::ListError("List index out of bounds", index);
  FList.erase(FList.begin() + index);
}

Integer TInterfaceList::IndexOf(IInterface* item) const {
  auto it = std::find(FList.begin(), FList.end(), item);
  return it == FList.end() ? -1 : static_cast<Integer>(it - FList.begin());
}

Integer TInterfaceList::Remove(IInterface* item) {
  const Integer index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void TInterfaceList::Exchange(Integer index1, Integer index2) {
  if (index1 < 0 || index1 >= GetCount()) orv::ListError("List index out of bounds", index1);
  if (index2 < 0 || index2 >= GetCount()) orv::ListError("List index out of bounds", index2);
  std::swap(FList[index1], FList[index2]);
}
