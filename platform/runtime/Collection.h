// TCollection, TOwnedCollection and TCollectionItem: an ordered list of items of one class,
// created by the collection (Add) and freed by it, with an update bracket that holds change
// notices back until the last EndUpdate.
//
// Items are created through the item class's virtual constructor (TCollectionItem(collection)).
// An item made by Add is announced (SetItemName, Notify cnAdded, Update) once it is fully
// constructed; an item constructed directly with a collection is announced from its base
// constructor, when its own part is not built yet.
// Freeing an item removes it from its collection; the collection frees its remaining items
// (last first) when it is freed, with notices held back.
#pragma once

#include <vector>

#include "platform/runtime/Persistent.h"

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  ORV_CLASS(TCollectionItem, TPersistent)
 public:
  using TCreateSignature = void(TCollection* collection);
  // Joins `collection` (when given) as its last item.
  explicit TCollectionItem(TCollection* collection);

  TCollection* GetCollection() const { return FCollection; }
  // Leaves the current collection and joins `value` at its end.
  virtual void SetCollection(TCollection* value);
  // Unique within the collection, in order of creation; never reused.
  Integer GetID() const { return FID; }
  // Position in the collection (-1 without one); setting it moves the item and reports a
  // change of all items.
  Integer GetIndex() const;
  virtual void SetIndex(Integer value);
  // The class name unless a descendant names its items.
  virtual AnsiString GetDisplayName() const { return ClassName(); }
  virtual void SetDisplayName(const AnsiString& value) { Changed(false); }

  TPersistent* GetOwner() override;
  AnsiString GetNamePath() override;
  void BeforeDestruction() override;

 protected:
  ~TCollectionItem() override;
  // Tells the collection that this item (or, with allItems, every item) changed, unless the
  // collection is inside an update.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  Integer FID = 0;
};

using TCollectionItemClass = orv::ClassOf<TCollectionItem>;

class TCollection : public TPersistent {
  ORV_CLASS(TCollection, TPersistent)
 public:
  using TCreateSignature = void(TCollectionItemClass itemClass);
  explicit TCollection(TCollectionItemClass itemClass);

  TCollectionItemClass GetItemClass() const { return FItemClass; }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  // Items[index]; EListError when out of range. Setting assigns `value` to the item there.
  TCollectionItem* GetItem(Integer index) const;
  void SetItem(Integer index, TCollectionItem* value);

  // A new item of the item class at the end / at `index`.
  TCollectionItem* Add();
  TCollectionItem* Insert(Integer index);
  // Frees the item at `index`.
  void Delete(Integer index);
  // Frees every item, last first, inside one update.
  void Clear();
  TCollectionItem* FindItemID(Integer id) const;
  void Exchange(Integer index1, Integer index2);

  virtual void BeginUpdate();
  virtual void EndUpdate();
  Integer GetUpdateCount() const { return FUpdateCount; }

  // From another collection: the same number of items, each assigned from its counterpart.
  void Assign(TPersistent* source) override;
  AnsiString GetNamePath() override;
  void BeforeDestruction() override;

 protected:
  ~TCollection() override;
  // Called once the collection changed, outside updates: `item` changed, or (nullptr) the whole
  // collection. Empty here.
  virtual void Update(TCollectionItem* item) {}
  // An item was added, is being taken out, or is about to be freed.
  virtual void Notify(TCollectionItem* item, TCollectionNotification action) {}
  // Gives a new item its name; empty here.
  virtual void SetItemName(TCollectionItem* item) {}
  // Reports a change of the whole collection unless inside an update.
  void Changed();
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);

 private:
  friend class TCollectionItem;
  void AnnounceItem(TCollectionItem* item);

  TCollectionItemClass FItemClass;
  bool FDeferNotices = false;  // inside Add, until the new item is constructed
  std::vector<TCollectionItem*> FItems;
  Integer FUpdateCount = 0;
  Integer FNextID = 0;
};

// A collection that names an owner (for streaming and name paths).
class TOwnedCollection : public TCollection {
  ORV_CLASS(TOwnedCollection, TCollection)
 public:
  using TCreateSignature = void(TPersistent* owner, TCollectionItemClass itemClass);
  TOwnedCollection(TPersistent* owner, TCollectionItemClass itemClass)
      : TCollection(itemClass), FOwner(owner) {}

  TPersistent* GetOwner() override { return FOwner; }

 private:
  TPersistent* FOwner;
};
