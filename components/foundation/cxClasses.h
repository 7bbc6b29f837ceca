// The component library's base unit: localized resource strings, base persistent and component
// classes, interfaced collections, class registries, small utilities, object links, the width
// distribution, most-recently-used lists, component collections and component naming.
#pragma once

#include <vector>

#include "components/foundation/dxCore.h"
#include "platform/runtime/Collection.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Lists.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Types.h"
#include "platform/windowing/WinTypes.h"

// ==== Localized resource strings =============================================================

// Replaces the text of one resource string for the rest of the run; a later call for the same
// record replaces it again.
void cxSetResourceString(PResStringRec rec, const AnsiString& text);
// The text to show: the replacement set for the record, else its compiled text.
AnsiString GetLocalizedResourceString(PResStringRec rec);


// ==== Base classes ===========================================================================

// An object that answers interface queries (Supports) and whose lifetime is its owner's: no
// reference count is kept.
class TcxIUnknownObject : public TObject, public virtual IInterface {
  ORV_CLASS(TcxIUnknownObject, TObject)
 public:
  TcxIUnknownObject() = default;
};

// A persistent object with interfaces and an owner given at construction (nil allowed).
class TcxInterfacedPersistent : public TInterfacedPersistent {
  ORV_CLASS(TcxInterfacedPersistent, TInterfacedPersistent)
 public:
  using TCreateSignature = void(TPersistent* owner);
  explicit TcxInterfacedPersistent(TPersistent* owner) : FOwner(owner) {}

  TPersistent* GetOwner() override { return FOwner; }

 private:
  TPersistent* FOwner;
};

using TcxInterfacedPersistentClass = orv::ClassOf<TcxInterfacedPersistent>;

// The library's base component: its teardown empties every object link to it, and at design
// time it shows up to three related components (fake component links).
class TcxComponent : public TComponent {
  ORV_CLASS(TcxComponent, TComponent)
 public:
  explicit TcxComponent(TComponent* owner) : TComponent(owner) {}

  Boolean IsDesignTime() const { return GetComponentState().Contains(csDesigning); }
  void Loaded() override;
  void BeforeDestruction() override;

  TComponent* GetFakeComponentLink1() const { return FFakeComponentLink1; }
  void SetFakeComponentLink1(TComponent* value) { FFakeComponentLink1 = value; }
  TComponent* GetFakeComponentLink2() const { return FFakeComponentLink2; }
  void SetFakeComponentLink2(TComponent* value) { FFakeComponentLink2 = value; }
  TComponent* GetFakeComponentLink3() const { return FFakeComponentLink3; }
  void SetFakeComponentLink3(TComponent* value) { FFakeComponentLink3 = value; }

 protected:
  // Adds the components to show as links at design time; none here.
  virtual void CollectFakeComponentLinks(TList* list) {}
  // At design time, unless destroying or unowned: the links from CollectFakeComponentLinks.
  void RefreshFakeComponentLinks();

 private:
  TComponent* FFakeComponentLink1 = nullptr;
  TComponent* FFakeComponentLink2 = nullptr;
  TComponent* FFakeComponentLink3 = nullptr;
};

// A collection item with interfaces, freed by its collection (no reference count).
class TcxInterfacedCollectionItem : public TCollectionItem, public virtual IInterface {
  ORV_CLASS(TcxInterfacedCollectionItem, TCollectionItem)
 public:
  explicit TcxInterfacedCollectionItem(TCollection* collection) : TCollectionItem(collection) {}
};

class TcxOwnedInterfacedCollection;
using TcxCollectionChangeEvent = orv::Event<void(TObject* sender, TCollectionItem* item)>;
// Negative, zero or positive as item1 sorts before, with or after item2.
using TcxCollectionCompareEvent =
    orv::Event<Integer(TcxOwnedInterfacedCollection* sender, TCollectionItem* item1, TCollectionItem* item2)>;

// An owned collection with interfaces, optionally kept sorted, with a change event after every
// update that reaches it.
class TcxOwnedInterfacedCollection : public TOwnedCollection, public virtual IInterface {
  ORV_CLASS(TcxOwnedInterfacedCollection, TOwnedCollection)
 public:
  TcxOwnedInterfacedCollection(TPersistent* owner, TCollectionItemClass itemClass)
      : TOwnedCollection(owner, itemClass) {}

  Boolean IsDestroying() const { return FDestroying; }
  Boolean GetSorted() const { return FSorted; }
  // Switching it on sorts at once.
  void SetSortedState(Boolean value);

  const TcxCollectionChangeEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TcxCollectionChangeEvent& value) { FOnChange = value; }
  const TcxCollectionCompareEvent& GetOnCompare() const { return FOnCompare; }
  void SetOnCompare(const TcxCollectionCompareEvent& value) { FOnCompare = value; }

  void BeforeDestruction() override;

 protected:
  // The order of two items when OnCompare is not assigned: their present order.
  virtual Integer CompareItemOrder(TCollectionItem* item1, TCollectionItem* item2);
  // Gives every item its sorted position, inside one update; nothing while an update is open
  // or a sort runs.
  void SortItems();
  // Re-sorts first when sorted and the whole collection changed, then OnChange.
  void Update(TCollectionItem* item) override;

 private:
  Boolean FDestroying = false;
  Boolean FInUpdate = false;
  Boolean FSorting = false;
  Boolean FSorted = false;
  TcxCollectionChangeEvent FOnChange;
  TcxCollectionCompareEvent FOnCompare;
};

// A list of objects that frees them on Clear when it owns them.
class TcxObjectList : public TList {
  ORV_CLASS(TcxObjectList, TList)
 public:
  explicit TcxObjectList(Boolean ownsObjects = false) : FOwnsObjects(ownsObjects) {}

  Boolean GetOwnsObjects() const { return FOwnsObjects; }
  TObject* GetItemAt(Integer index) const { return static_cast<TObject*>(Get(index)); }
  // Frees every item first when the list owns them.
  void Clear() override;

 private:
  Boolean FOwnsObjects;
};

// A handler of an event-handler collection: the sender and the event's argument record.
using TcxEventHandler = orv::Event<void(TObject* sender, const void* eventArgs)>;

// A list of handlers called together, in the order they were added.
class TcxEventHandlerCollection : public TObject {
  ORV_CLASS(TcxEventHandlerCollection, TObject)
 public:
  TcxEventHandlerCollection() = default;

  // Adds the handler unless it is already there (or unassigned).
  void Add(const TcxEventHandler& handler);
  void Remove(const TcxEventHandler& handler);
  Integer GetCount() const { return Integer(FHandlers.size()); }
  // Calls every handler in order; a handler may add or remove handlers meanwhile (those
  // removed are not called, those added are called from the next invocation on).
  void InvokeAll(TObject* sender, const void* eventArgs);

 private:
  std::vector<TcxEventHandler> FHandlers;
};

// ==== Class registries =======================================================================

// Maps item classes to registered classes; a lookup answers the registration of the nearest
// registered ancestor (the most derived match), whatever the order of registration.
class TcxRegisteredClassList : public TObject {
  ORV_CLASS(TcxRegisteredClassList, TObject)
 public:
  TcxRegisteredClassList() = default;

  // Scans from the last registration to the first: true with the index of the first whose item
  // class `itemClass` is or descends from; otherwise false with the index of the lowest
  // registration whose item class descends from `itemClass`, or -1.
  Boolean LocateItemClass(TClass itemClass, Integer& index) const;
  // Inserts after the matching registration, before a more derived one, or at the end.
  virtual void AddRegistration(TClass itemClass, TClass registeredClass);
  // Deletes every registration of exactly that pair.
  virtual void RemoveRegistration(TClass itemClass, TClass registeredClass);
  // The registered class of the most derived match, or nil.
  TClass FindRegisteredClass(TClass itemClass) const;
  Integer GetRegistrationCount() const { return Integer(FItems.size()); }
  void Clear() { FItems.clear(); }

 private:
  struct TRegistration {
    TClass ItemClass;
    TClass RegisteredClass;
  };
  std::vector<TRegistration> FItems;
};

// Classes with description texts ("Name|hint": only the part before the bar is shown),
// optionally sorted by description and registered for form streaming.
class TcxRegisteredClasses : public TObject {
  ORV_CLASS(TcxRegisteredClasses, TObject)
 public:
  using TCreateSignature = void(Boolean registerClasses);
  explicit TcxRegisteredClasses(Boolean registerClasses = false) : FRegisterClasses(registerClasses) {}

  // Ignored for a class already present (whatever its description).
  void AddClass(TClass c, const AnsiString& description);
  void RemoveClass(TClass c);
  Integer GetCount() const { return Integer(FItems.size()); }
  TClass GetItem(Integer index) const;
  // The description up to the first "|".
  AnsiString GetItemDescription(Integer index) const;
  // The first class whose name equals `name` exactly, or nil.
  TClass FindByClassName(const AnsiString& name) const;
  Integer IndexOfClass(TClass c) const;

  Boolean GetSorted() const { return FSorted; }
  // Switching it on sorts at once.
  void SetSortedState(Boolean value);

 protected:
  // The locale's case-insensitive comparison of the two descriptions.
  virtual Integer CompareDescriptions(Integer index1, Integer index2) const;
  virtual void SortItems();

 private:
  struct TItem {
    AnsiString Description;
    TClass Class;
  };
  std::vector<TItem> FItems;
  Boolean FRegisterClasses;
  Boolean FSorted = false;
};

// ==== Utilities ==============================================================================

// Calls the event with the sender when it is assigned.
inline void FireNotifyEvent(TObject* sender, const TNotifyEvent& event) {
  if (event) event(sender);
}
// The same object and the same method.
template <class Sig>
Boolean SameMethod(const orv::Event<Sig>& a, const orv::Event<Sig>& b) {
  return a == b;
}
// Installs a hook of `hookKind` for the current thread into `hook`. A variable that already
// holds a hook is a programming error: EAssertionFailed, and the hook stays as it was.
void InstallThreadHook(HHOOK& hook, int hookKind, HOOKPROC proc);
// Unhooks and clears `hook` when it is set.
void RemoveThreadHook(HHOOK& hook);
// Makes `destination` hold the items of `source`.
void CopyListItems(TList* source, TList* destination);
inline TPersistent* GetPersistentOwner(TPersistent* persistent) { return persistent->GetOwner(); }
// The truncated quotient, plus 1 when the remainder is not 0. EDivByZero for a zero divisor.
Integer DivideRoundUp(Integer a, Integer b);
// floor((a + b) / 2), also for negative sums.
constexpr Integer GetRangeMiddle(Integer a, Integer b) {
  const Int64 sum = Int64(a) + b;
  return Integer(sum >= 0 ? sum / 2 : -((-sum + 1) / 2));
}
constexpr TSize MakeSize(Integer width, Integer height) { return {width, height}; }
constexpr Integer FloatSign(Double x) { return x >= 0 ? 1 : -1; }
// The same size and the same bytes.
Boolean MemoryStreamsEqual(TMemoryStream* a, TMemoryStream* b);
// The locale's text of that item, or `defaultValue` when it has none.
AnsiString GetLocaleInfoString(LCID locale, LCTYPE item, const AnsiString& defaultValue);
// The byte length of the character at a 1-based position: Windows-1251 has no double-byte
// characters, so 1 within the text and 0 outside it.
Integer GetCharByteLength(const AnsiString& text, Integer position);

// ==== Object links ===========================================================================
//
// A guarded reference: a holder that must remember an object which another party may free
// takes a link instead of a raw pointer, tests `Ref` before each use and treats nil as the
// object being gone. Destructors call InvalidateObjectLinks before their base destructor runs.
//
// Links are grouped by the object they refer to, so invalidation costs the links to that one
// object (plus one hash lookup), not a scan of every live link.

class TcxObjectLink {
 public:
  // The referenced object, or nil once it has been freed.
  TObject* Ref = nullptr;

 private:
  friend class TcxObjectLinkController;
  TcxObjectLink* FPrev = nullptr;
  TcxObjectLink* FNext = nullptr;
};

// nil for a nil object.
TcxObjectLink* CreateObjectLink(TObject* object);
// Frees the link (empty or not) and clears the variable; nothing for nil.
void ReleaseObjectLink(TcxObjectLink*& link);
// Every link to the object reads nil from now on. Nothing when no link exists.
void InvalidateObjectLinks(TObject* object);

namespace orv {
// The number of links created and not yet released; the link controller exists exactly while
// this is above 0.
Integer ObjectLinkReferenceCount();

// Keeps an object link on an object for the length of a scope, so that a step after a call into
// handlers (which may free the object) runs only while the object lives.
class TObjectLinkGuard {
 public:
  explicit TObjectLinkGuard(TObject* object) : FLink(CreateObjectLink(object)) {}
  ~TObjectLinkGuard() { ReleaseObjectLink(FLink); }
  TObjectLinkGuard(const TObjectLinkGuard&) = delete;
  TObjectLinkGuard& operator=(const TObjectLinkGuard&) = delete;
  Boolean Alive() const { return FLink && FLink->Ref; }

 private:
  TcxObjectLink* FLink;
};

// Sets a flag for a scope and puts its former value back.
class TFlagScope {
 public:
  TFlagScope(Boolean& flag, Boolean value) : FFlag(flag), FSaved(flag) { flag = value; }
  ~TFlagScope() { FFlag = FSaved; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  Boolean& FFlag;
  Boolean FSaved;
};
}  // namespace orv

// Forwards the free notification of the components added to it to OnFreeNotification.
using TcxFreeNotificationEvent = orv::Event<void(TComponent* sender)>;

class TcxFreeNotificator : public TComponent {
  ORV_CLASS(TcxFreeNotificator, TComponent)
 public:
  explicit TcxFreeNotificator(TComponent* owner) : TComponent(owner) {}

  // Watch / stop watching a component; nil is ignored.
  void AddSender(TComponent* sender);
  void RemoveSender(TComponent* sender);
  const TcxFreeNotificationEvent& GetOnFreeNotification() const { return FOnFreeNotification; }
  void SetOnFreeNotification(const TcxFreeNotificationEvent& value) { FOnFreeNotification = value; }

  void Notification(TComponent* component, TOperation operation) override;

 private:
  TcxFreeNotificationEvent FOnFreeNotification;
};

// ==== Auto-width distribution ================================================================
//
// Shares an available width among items in proportion to their natural widths, honouring each
// item's minimum and leaving fixed items alone (the grid's column auto-width, the status bar's
// panels).

class TcxAutoWidthItem {
 public:
  Integer MinWidth = 0;  // smallest width the item may get
  Integer Width = 0;     // natural width: the item's weight
  Boolean Fixed = false; // keeps Width
  Integer AutoWidth = -1;  // the result; -1 until calculated
};

class TcxAutoWidthObject {
 public:
  explicit TcxAutoWidthObject(Integer capacity);
  ~TcxAutoWidthObject();
  TcxAutoWidthObject(const TcxAutoWidthObject&) = delete;
  TcxAutoWidthObject& operator=(const TcxAutoWidthObject&) = delete;

  // A new item (AutoWidth -1, other fields 0, not fixed), appended and owned by the object.
  TcxAutoWidthItem* NewItem();
  Integer GetItemCount() const { return Integer(FItems.size()); }
  TcxAutoWidthItem* GetItemAt(Integer index) const;
  // The sum of every item's Width, fixed ones included (64-bit: it cannot overflow).
  Int64 GetTotalWidth() const;

  Integer GetAvailableWidth() const { return FAvailableWidth; }
  void SetAvailableWidth(Integer value) { FAvailableWidth = value; }
  // The status bar's name for AvailableWidth.
  Integer GetFreeWidth() const { return GetAvailableWidth(); }
  void SetFreeWidth(Integer value) { SetAvailableWidth(value); }

  // Computes every item's AutoWidth.
  void DistributeWidth();

 private:
  Integer FAvailableWidth = 0;
  std::vector<TcxAutoWidthItem*> FItems;
};

// ==== Most-recently-used lists ===============================================================

class TcxMRUItem : public TObject {
  ORV_CLASS(TcxMRUItem, TObject)
 public:
  TcxMRUItem() = default;
  virtual Boolean Equals(TcxMRUItem* item) = 0;
};

// Owned items, most recent first.
class TcxMRUItems : public TObject {
  ORV_CLASS(TcxMRUItems, TObject)
 public:
  TcxMRUItems() = default;
  ~TcxMRUItems() override;

  // The first item equal to `item`, or -1.
  Integer IndexOfItem(TcxMRUItem* item) const;
  // A new item goes to the front (the end is trimmed to MaxCount); when an equal item exists,
  // that one moves to the front and `item` is freed (unless it is that very item).
  void PushItem(TcxMRUItem* item);
  void DeleteItem(Integer index);
  void ClearItems();
  Integer GetItemCount() const { return Integer(FItems.size()); }
  TcxMRUItem* GetItemAt(Integer index) const;

  // 0: unlimited.
  Integer GetMaxCount() const { return FMaxCount; }
  // A negative value is taken as 0; a new limit above 0 frees the items beyond it.
  void SetMaxCount(Integer value);

 protected:
  // Frees items from the end until at most `count` remain.
  void TrimToCount(Integer count);

 private:
  std::vector<TcxMRUItem*> FItems;
  Integer FMaxCount = 0;
};

using TcxMRUItemsClass = orv::ClassOf<TcxMRUItems>;

// A list whose count grows to take an item at any index.
class TcxOpenList : public TList {
  ORV_CLASS(TcxOpenList, TList)
 public:
  TcxOpenList() = default;

  void* GetItemAt(Integer index) const { return Get(index); }
  void SetItemAt(Integer index, void* item);
};

// ==== Component collections and component lists ==============================================

namespace orv {
// What happened to an item of a component collection or a component list.
enum TComponentCollectionAction : Integer {
  ccaAdded = 0,
  ccaChanged = 1,  // with a nil item: the whole collection
  ccaExtracting = 2,
  ccaExtracted = 3,
  ccaDeleted = 4,
};
}  // namespace orv

class TcxComponentCollection;

// A component streamed as a child of its collection's parent component.
class TcxComponentCollectionItem : public TComponent {
  ORV_CLASS(TcxComponentCollectionItem, TComponent)
 public:
  explicit TcxComponentCollectionItem(TComponent* owner) : TComponent(owner) {}

  TcxComponentCollection* GetCollection() const { return FCollection; }
  // Leaves the old collection and joins the new one.
  virtual void SetCollection(TcxComponentCollection* value);
  // The position in the collection, -1 when in none.
  Integer GetItemIndex() const;
  // The bars' name for GetItemIndex.
  Integer GetIndex() const { return GetItemIndex(); }
  // Moves the item within its collection and reports a change of all items.
  virtual void SetIndex(Integer value);
  Integer GetID() const { return FID; }
  virtual AnsiString GetDisplayName();

  bool HasParent() const override;
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void BeforeDestruction() override;

 protected:
  // The collection of `parent` that takes this kind of item.
  virtual TcxComponentCollection* GetParentCollection(TComponent* parent) = 0;
  // Tells the collection of a change of this item, or of all items.
  void ReportChange(Boolean allItems = false);

 private:
  friend class TcxComponentCollection;
  TcxComponentCollection* FCollection = nullptr;
  Integer FID = 0;
};

using TcxComponentCollectionItemClass = orv::ClassOf<TcxComponentCollectionItem>;
using TcxComponentCollectionChangeEvent = orv::Event<void(
    TObject* sender, TcxComponentCollectionItem* item, orv::TComponentCollectionAction action)>;

// Components kept as the children of a parent component (streamed inside it), created owned by
// the parent component's owner.
class TcxComponentCollection : public TPersistent {
  ORV_CLASS(TcxComponentCollection, TPersistent)
 public:
  using TCreateSignature = void(TComponent* parentComponent, TcxComponentCollectionItemClass itemClass);
  TcxComponentCollection(TComponent* parentComponent, TcxComponentCollectionItemClass itemClass);

  // A new item of the item class, owned by the parent component's owner, inserted and named.
  TcxComponentCollectionItem* AddItem();
  // The bars' name for AddItem.
  TcxComponentCollectionItem* Add() { return AddItem(); }
  // Frees every item (one change notice).
  void Clear();
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override { return FParentComponent; }

  Integer GetItemCount() const { return Integer(FItems.size()); }
  TcxComponentCollectionItem* GetItemAt(Integer index) const;
  // The bars' name for GetItemAt.
  TcxComponentCollectionItem* GetItem(Integer index) const { return GetItemAt(index); }
  Integer IndexOf(TcxComponentCollectionItem* item) const;
  TComponent* GetParentComponent() const { return FParentComponent; }
  TcxComponentCollectionItemClass GetItemClass() const { return FItemClass; }

  virtual void BeginUpdate();
  // Ends an update; `force` reports a change of all items (heard once no update is open).
  virtual void EndUpdate(Boolean force = true);
  Integer GetUpdateCount() const { return FUpdateCount; }

  const TcxComponentCollectionChangeEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TcxComponentCollectionChangeEvent& value) { FOnChange = value; }

  // The bars' name for CollectionChanged; a descendant overrides CollectionChanged.
  void Update(TcxComponentCollectionItem* item, orv::TComponentCollectionAction action) {
    CollectionChanged(item, action);
  }

  void BeforeDestruction() override;

 protected:
  // Told of items entering and leaving; nothing here.
  virtual void NotifyItem(TcxComponentCollectionItem* item, orv::TComponentCollectionAction action) {}
  // Names a new item; nothing here.
  virtual void NameNewItem(TcxComponentCollectionItem* item) {}
  // Fires OnChange.
  virtual void CollectionChanged(TcxComponentCollectionItem* item, orv::TComponentCollectionAction action);
  // CollectionChanged unless an update is open.
  void Changed(TcxComponentCollectionItem* item, orv::TComponentCollectionAction action);

 private:
  friend class TcxComponentCollectionItem;
  void InsertItem(TcxComponentCollectionItem* item);
  void RemoveItem(TcxComponentCollectionItem* item);
  void MoveItem(TcxComponentCollectionItem* item, Integer newIndex);

  TComponent* FParentComponent;
  TcxComponentCollectionItemClass FItemClass;
  std::vector<TcxComponentCollectionItem*> FItems;
  Integer FUpdateCount = 0;
  Integer FNextID = 0;
  TcxComponentCollectionChangeEvent FOnChange;
};

using TcxComponentCollectionClass = orv::ClassOf<TcxComponentCollection>;

class TcxComponentList;
using TcxComponentListChangeEvent = orv::Event<void(
    TcxComponentList* sender, TComponent* component, orv::TComponentCollectionAction action)>;
using TcxComponentListNotifyEvent =
    orv::Event<void(TcxComponentList* sender, TComponent* component, TListNotification action)>;

// A list of components it does not own; a component freed elsewhere leaves it by itself.
class TcxComponentList : public TComponentList {
  ORV_CLASS(TcxComponentList, TComponentList)
 public:
  TcxComponentList() : TComponentList(false) {}

  void BeginUpdate() { ++FUpdateCount; }
  // Closes an update without a notice.
  void CancelUpdate() { --FUpdateCount; }
  // Closes an update; the last one reports a change of the whole list.
  void EndUpdate();
  // Deletes every entry (one change notice).
  void Clear() override;

  const TcxComponentListChangeEvent& GetOnComponentListChanged() const { return FOnComponentListChanged; }
  void SetOnComponentListChanged(const TcxComponentListChangeEvent& value) { FOnComponentListChanged = value; }
  const TcxComponentListNotifyEvent& GetOnNotify() const { return FOnNotify; }
  void SetOnNotify(const TcxComponentListNotifyEvent& value) { FOnNotify = value; }

  void BeforeDestruction() override;

 protected:
  void Notify(void* ptr, TListNotification action) override;
  // The free-notification handling, OnNotify, then NotifyChanged.
  virtual void HandleItemNotification(TComponent* component, TListNotification action);
  // The class of the objects the list takes.
  virtual TClass GetAcceptedClass() { return TComponent::StaticClass(); }
  // Fires OnComponentListChanged unless an update is open.
  void NotifyChanged(TComponent* component, orv::TComponentCollectionAction action);

 private:
  Integer FUpdateCount = 0;
  TcxComponentListChangeEvent FOnComponentListChanged;
  TcxComponentListNotifyEvent FOnNotify;
};

// ==== Component naming =======================================================================

// A name for `component` unique among `owner`'s components (letters compared without case):
// the naming parent's name, the base name without the characters an identifier cannot hold
// (with the component's class name, less `classPrefix` or its leading "T", in front when that
// leaves nothing or a leading digit), then a number when needed (counting from 1 without a base
// name, else appended only from the second candidate on).
AnsiString GenerateUniqueComponentName(TComponent* owner, TComponent* namingParent,
                                       TComponent* component, const AnsiString& classPrefix,
                                       const AnsiString& baseName = AnsiString());

// Child `index` of `caller`.
using TcxGetComponent = TComponent* (*)(TComponent* caller, Integer index);
// After `component` was renamed from `oldName` to `newName`: each child owned by `owner` whose
// name is longer than `oldName` and starts with it (any case) gets that prefix replaced by
// `newName`. Nothing for an inherited component; a rename the owner refuses is skipped.
void RenameChildComponents(TComponent* component, TComponent* owner, const AnsiString& newName,
                           const AnsiString& oldName, Integer childCount, TcxGetComponent getChild);
