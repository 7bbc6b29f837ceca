// TList (untyped pointers), TObjectList (objects, optionally owned) and TInterfaceList.
//
// Each is a contiguous array: indexed access, Add and removal at the end are O(1) amortized;
// Insert and Delete in the middle shift the tail; IndexOf and Remove search from the start.
// Capacity grows geometrically, so n Adds cost O(n). Indexes out of range raise EListError.
#pragma once

#include <vector>

#include "platform/runtime/Object.h"

using Pointer = void*;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Negative, zero or positive as item1 sorts before, with or after item2.
using TListSortCompare = int (*)(void* item1, void* item2);

class TList : public TObject {
  ORV_CLASS(TList, TObject)
 public:
  TList() = default;

  Integer GetCount() const { return static_cast<Integer>(FList.size()); }
  // Growing fills with nullptr; shrinking deletes from the end (Notify lnDeleted).
  void SetCount(Integer value);
  Integer GetCapacity() const { return static_cast<Integer>(FList.capacity()); }
  void SetCapacity(Integer value);

  // Items[index].
  void* Get(Integer index) const;
  void Put(Integer index, void* item);
  void* First() const { return Get(0); }
  void* Last() const { return Get(GetCount() - 1); }
  // The items as an array of GetCount() pointers (valid until the list changes).
  void* const* List() const { return FList.data(); }

  Integer Add(void* item);
  void Insert(Integer index, void* item);
  void Delete(Integer index);
  // Deletes the first occurrence; its former index, or -1.
  Integer Remove(void* item);
  // Takes the first occurrence out without deleting it (Notify lnExtracted); nullptr if absent.
  void* Extract(void* item);
  Integer IndexOf(void* item) const;
  virtual void Clear();
  void Exchange(Integer index1, Integer index2);
  void Move(Integer curIndex, Integer newIndex);
  // Removes every nullptr entry.
  void Pack();
  // Stable sort: equal items keep their order.
  void Sort(TListSortCompare compare);
  // Makes this list a copy of `source`.
  void Assign(TList* source);

  void BeforeDestruction() override;

 protected:
  // Told of every non-nil item that enters or leaves the list.
  virtual void Notify(void* ptr, TListNotification action) {}
  void CheckIndex(Integer index, Integer limit) const;

 private:
  std::vector<void*> FList;
};

// A list of objects that frees them when they are deleted, replaced or cleared while
// OwnsObjects is True (the default); Extract and Remove of a not-owned list free nothing.
class TObjectList : public TList {
  ORV_CLASS(TObjectList, TList)
 public:
  explicit TObjectList(bool ownsObjects = true) : FOwnsObjects(ownsObjects) {}
  ~TObjectList() override;

  bool GetOwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool value) { FOwnsObjects = value; }

  TObject* Get(Integer index) const { return static_cast<TObject*>(TList::Get(index)); }
  void Put(Integer index, TObject* item) { TList::Put(index, item); }
  TObject* First() const { return Get(0); }
  TObject* Last() const { return Get(GetCount() - 1); }
  Integer Add(TObject* item) { return TList::Add(item); }
  void Insert(Integer index, TObject* item) { TList::Insert(index, item); }
  Integer Remove(TObject* item) { return TList::Remove(item); }
  TObject* Extract(TObject* item) { return static_cast<TObject*>(TList::Extract(item)); }
  Integer IndexOf(TObject* item) const { return TList::IndexOf(item); }
  // The index of the first object of class `c` (or, unless exact, of a descendant) from
  // `startAt`, or -1.
  Integer FindInstanceOf(TClass c, bool exact = true, Integer startAt = 0) const;

 protected:
  void Notify(void* ptr, TListNotification action) override;

 private:
  bool FOwnsObjects;
};

// A list of interfaces. It holds no reference counts: the objects' owners free them.
class TInterfaceList : public TObject {
  ORV_CLASS(TInterfaceList, TObject)
 public:
  TInterfaceList() = default;

  Integer GetCount() const { return static_cast<Integer>(FList.size()); }
  IInterface* Get(Integer index) const;
  void Put(Integer index, IInterface* item);
  IInterface* First() const { return Get(0); }
  IInterface* Last() const { return Get(GetCount() - 1); }
  Integer Add(IInterface* item);
  void Insert(Integer index, IInterface* item);
  void Delete(Integer index);
  Integer Remove(IInterface* item);
  Integer IndexOf(IInterface* item) const;
  void Clear() { FList.clear(); }
  void Exchange(Integer index1, Integer index2);

 private:
  std::vector<IInterface*> FList;
};

namespace orv {
// Raises EListError "<message> (<index>)".
[[noreturn]] void ListError(const char* message, Integer index);
}  // namespace orv
