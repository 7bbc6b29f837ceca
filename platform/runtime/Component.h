// TComponent: a named persistent object with an owner. The owner keeps its components in
// creation order, frees them (last created first) when it is freed, and passes insert and remove
// notices to all of them; free notification links components of different owners.
//
// Teardown (see Object.h): Free() runs BeforeDestruction while the component is whole. The base
// marks it and every owned component csDestroying (Destroying), tells every component that asked
// for free notification, frees the owned components and leaves the owner. A descendant whose
// teardown calls its own virtual functions (a dataset closing itself) overrides
// BeforeDestruction, calls Destroying() first, does its work, then calls inherited.
//
// Form streaming uses the public protocol below (ComponentState, Loaded, ReadState/WriteState,
// GetChildren/SetChildOrder, HasParent/GetParentComponent/SetParentComponent); the reader and
// writer themselves belong to the form-description module, which installs them with
// orv::SetComponentStreaming.
#pragma once

#include <vector>

#include "platform/runtime/Lists.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Sets.h"

class TComponent;
class TReader;
class TWriter;

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading,           // between creation by a reader and Loaded
  csReading,           // while a reader sets its properties
  csWriting,           // while a writer stores it
  csDestroying,        // from Destroying until it is gone
  csDesigning,         // edited in a designer (never set in the running program)
  csAncestor,          // inherited from an ancestor form
  csUpdating,          // between Updating and Updated
  csFixups,            // references wait to be resolved after loading
  csFreeNotification,  // some component asked for its free notification
  csInline,            // a frame placed on a form
  csDesignInstance,    // the root being designed
};
using TComponentState = orv::Set<TComponentStateItem>;

enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = orv::Set<TComponentStyleItem>;

// Called once per streamed child by GetChildren.
using TGetChildProc = orv::Event<void(TComponent* child)>;
using TComponentName = AnsiString;

class TComponent : public TPersistent {
  ORV_CLASS(TComponent, TPersistent)
 public:
  using TCreateSignature = void(TComponent* owner);

  // Inserts itself into `owner`'s components (when given).
  explicit TComponent(TComponent* owner);

  // ---- Ownership ----
  TComponent* GetOwner() override { return FOwner; }
  Integer GetComponentCount() const { return static_cast<Integer>(FComponents.size()); }
  // Components[index]: the owned components in creation order. EListError when out of range.
  TComponent* GetComponent(Integer index) const;
  // Position among the owner's components (-1 without owner); setting it moves the component.
  Integer GetComponentIndex() const;
  void SetComponentIndex(Integer value);
  // The owned component of that name (ASCII case-insensitive); nullptr for none or "".
  TComponent* FindComponent(const AnsiString& name) const;
  // Makes this the owner of `component` (taking it from its old owner) and sends opInsert, which
  // reaches every owned component (so an owner of n components costs O(n) per insert).
  void InsertComponent(TComponent* component);
  // Sends opRemove and releases `component` from this owner (without freeing it).
  void RemoveComponent(TComponent* component);
  // Frees every owned component, last created first.
  void DestroyComponents();
  // Marks this and every owned component csDestroying (once).
  void Destroying();

  // ---- Name, tag, state ----
  const AnsiString& GetName() const { return FName; }
  // Raises EComponentError for a name that is not an identifier or already used by another
  // component of the same owner (ASCII letters compared without case).
  virtual void SetName(const AnsiString& newName);
  NativeInt GetTag() const { return FTag; }
  void SetTag(NativeInt value) { FTag = value; }
  LongInt GetDesignInfo() const { return FDesignInfo; }
  void SetDesignInfo(LongInt value) { FDesignInfo = value; }
  TComponentState GetComponentState() const { return FComponentState; }
  TComponentStyle GetComponentStyle() const { return FComponentStyle; }
  AnsiString GetNamePath() override { return FName; }

  // ---- Free notification ----
  // `component` gets Notification(this, opRemove) when this component is freed, and the other
  // way round. Components of one owner hear of each other through the owner already.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);
  // Told of components inserted into or removed from the owner, and of the removal of
  // components it watches. The base forgets a removed component it watched and passes the
  // notice on to every owned component.
  virtual void Notification(TComponent* component, TOperation operation);

  void BeforeDestruction() override;

  // ---- Form streaming protocol ----
  // Ends loading: the base clears csLoading. The reader calls it on every component it loaded.
  virtual void Loaded();
  // Reads / writes this component's stored state through the installed form streaming.
  virtual void ReadState(TReader* reader);
  virtual void WriteState(TWriter* writer);
  // Calls `proc` for each child that is streamed inside this component, `root` being the
  // component whose description is written. The base has none.
  virtual void GetChildren(TGetChildProc proc, TComponent* root) {}
  // The owner of the children read inside this component (nullptr: the root) and their parent.
  virtual TComponent* GetChildOwner() { return nullptr; }
  virtual TComponent* GetChildParent() { return this; }
  // Gives a child read by the reader its position among this component's children.
  virtual void SetChildOrder(TComponent* child, Integer order) {}
  // A component with a parent is streamed inside its parent rather than at the root.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* value) {}
  // Bracket property changes made by a reader on an already loaded component (csUpdating).
  virtual void Updating();
  virtual void Updated();
  void SetSubComponent(bool value);

 protected:
  ~TComponent() override;

  // Asked by the owner before a rename or an insert; raises EComponentError for a duplicate.
  virtual void ValidateRename(TComponent* component, const AnsiString& curName,
                              const AnsiString& newName);
  // Asked of a component before `owner` inserts it; the base lets the owner validate it.
  virtual void ValidateContainer(TComponent* owner);
  virtual void ValidateInsert(TComponent* component) {}
  // Stores the name without validation.
  void ChangeName(const AnsiString& newName);
  void SetDesigning(bool value, bool setChildren = true);
  void SetAncestor(bool value);
  void SetInline(bool value);
  void SetDesignInstance(bool value);

 private:
  friend void IncludeComponentState(TComponent*, TComponentState);
  friend void ExcludeComponentState(TComponent*, TComponentState);
  struct NameIndex;

  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void RemoveNotification(TComponent* component);
  void Teardown();
  void IndexAdd(TComponent* component);
  void IndexRemove(TComponent* component, const AnsiString& name);

  TComponent* FOwner = nullptr;
  AnsiString FName;
  NativeInt FTag = 0;
  LongInt FDesignInfo = 0;
  TComponentState FComponentState;
  TComponentStyle FComponentStyle{csInheritable};
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  NameIndex* FNameIndex = nullptr;  // built for owners of many components
};

using TComponentClass = orv::ClassOf<TComponent>;

// A list of components that drops a component as soon as it is freed elsewhere (free
// notification). Owns its components by default, as TObjectList does.
class TComponentList : public TObjectList {
  ORV_CLASS(TComponentList, TObjectList)
 public:
  explicit TComponentList(bool ownsObjects = true) : TObjectList(ownsObjects) {}
  ~TComponentList() override;

  TComponent* Get(Integer index) const { return static_cast<TComponent*>(TObjectList::Get(index)); }
  void Put(Integer index, TComponent* item) { TObjectList::Put(index, item); }
  TComponent* First() const { return Get(0); }
  TComponent* Last() const { return Get(GetCount() - 1); }
  Integer Add(TComponent* item) { return TObjectList::Add(item); }
  void Insert(Integer index, TComponent* item) { TObjectList::Insert(index, item); }
  Integer Remove(TComponent* item) { return TObjectList::Remove(item); }
  TComponent* Extract(TComponent* item) { return static_cast<TComponent*>(TObjectList::Extract(item)); }
  Integer IndexOf(TComponent* item) const { return TObjectList::IndexOf(item); }

 protected:
  void Notify(void* ptr, TListNotification action) override;

 private:
  friend class TComponentListNexus;
  TComponent* FNexus = nullptr;  // receives the free notifications
};

// For the form reader and writer: sets or clears csLoading, csReading, csWriting, csFixups.
void IncludeComponentState(TComponent* component, TComponentState state);
void ExcludeComponentState(TComponent* component, TComponentState state);

namespace orv {

// Form streaming installs the routines behind TComponent::ReadState and WriteState; until then
// they raise EInvalidOperation.
using ComponentStateReader = void (*)(TReader* reader, TComponent* component);
using ComponentStateWriter = void (*)(TWriter* writer, TComponent* component);
void SetComponentStreaming(ComponentStateReader reader, ComponentStateWriter writer);

}  // namespace orv
