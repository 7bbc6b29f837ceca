#include "platform/runtime/Component.h"

#include <algorithm>
#include <cassert>
#include <unordered_map>

#include "platform/runtime/Exceptions.h"

namespace {

orv::ComponentStateReader gStateReader = nullptr;
orv::ComponentStateWriter gStateWriter = nullptr;

// Owners with more components than this find names through a hash index.
constexpr std::size_t kNameIndexThreshold = 32;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsIdentifier(const AnsiString& name) {
  if (name.empty() || !IsLetter(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(), [](char c) { return IsLetter(c) || IsDigit(c); });
}

AnsiString NameKey(const AnsiString& name) {
  AnsiString key = name;
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return key;
}

bool SameName(const AnsiString& a, const AnsiString& b) {
  return a.size() == b.size() && NameKey(a) == NameKey(b);
}

void EraseLast(std::vector<TComponent*>& list, TComponent* item) {
  auto it = std::find(list.rbegin(), list.rend(), item);
  if (it != list.rend()) list.erase(std::next(it).base());
}

}  // namespace

// Upper-cased name -> the first component of that name in Components order.
struct TComponent::NameIndex {
  std::unordered_map<AnsiString, TComponent*> Map;
  bool HasDuplicates = false;
};

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Normally Free ran the teardown already; a constructor that threw, or a component destroyed
  // without Free, is cleaned up here so that no owner or partner keeps a dangling pointer.
  if (!FComponentState.Contains(csDestroying)) {
    FComponentState.Include(csDestroying);
    Teardown();
  }
  assert(FComponents.empty() && FFreeNotifies.empty() && !FOwner);
  delete FNameIndex;
}

void TComponent::BeforeDestruction() {
  Destroying();
  Teardown();
  inherited::BeforeDestruction();
}

void TComponent::Teardown() {
  // Components that watch this one learn of its removal while it is still whole.
  while (!FFreeNotifies.empty()) {
    TComponent* watcher = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    EraseLast(watcher->FFreeNotifies, this);
    watcher->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    // Only a component that someone watches is announced: announcing every one would tell
    // every remaining sibling of every removal.
    if (c->FComponentState.Contains(csFreeNotification))
      RemoveComponent(c);
    else
      Remove(c);
    c->Free();
  }
}

TComponent* TComponent::GetComponent(Integer index) const {
  if (index < 0 || index >= GetComponentCount())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FComponents[index];
}

Integer TComponent::GetComponentIndex() const {
  if (!FOwner) return -1;
  const auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

void TComponent::SetComponentIndex(Integer value) {
  if (!FOwner) return;
  auto& list = FOwner->FComponents;
  const Integer count = static_cast<Integer>(list.size());
  const Integer current = GetComponentIndex();
  if (current < 0) return;
  value = std::clamp(value, 0, count - 1);
  if (value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + value, this);
  if (FOwner->FNameIndex && FOwner->FNameIndex->HasDuplicates) {
    delete FOwner->FNameIndex;  // which duplicate comes first changed; rebuilt on demand
    FOwner->FNameIndex = nullptr;
  }
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
  if (name.empty()) return nullptr;
  if (FComponents.size() <= kNameIndexThreshold) {
    for (TComponent* c : FComponents)
      if (SameName(c->FName, name)) return c;
    return nullptr;
  }
  if (!FNameIndex) {
    auto* self = const_cast<TComponent*>(this);
    self->FNameIndex = new NameIndex;
    for (TComponent* c : FComponents) self->IndexAdd(c);
  }
  auto it = FNameIndex->Map.find(NameKey(name));
  return it == FNameIndex->Map.end() ? nullptr : it->second;
}

void TComponent::IndexAdd(TComponent* component) {
  if (!FNameIndex || component->FName.empty()) return;
  auto [it, added] = FNameIndex->Map.emplace(NameKey(component->FName), component);
  if (!added && it->second != component) FNameIndex->HasDuplicates = true;
}

void TComponent::IndexRemove(TComponent* component, const AnsiString& name) {
  if (!FNameIndex || name.empty()) return;
  auto it = FNameIndex->Map.find(NameKey(name));
  if (it == FNameIndex->Map.end() || it->second != component) return;
  FNameIndex->Map.erase(it);
  if (FNameIndex->HasDuplicates) {
    delete FNameIndex;  // another component of that name may now come first
    FNameIndex = nullptr;
  }
}

void TComponent::Insert(TComponent* component) {
  FComponents.push_back(component);
  component->FOwner = this;
  IndexAdd(component);
}

void TComponent::Remove(TComponent* component) {
  IndexRemove(component, component->FName);
  EraseLast(FComponents, component);
  component->FOwner = nullptr;
  if (FComponents.size() <= kNameIndexThreshold && FNameIndex) {
    delete FNameIndex;
    FNameIndex = nullptr;
  }
}

void TComponent::InsertComponent(TComponent* component) {
  component->ValidateContainer(this);
  if (component->FOwner) component->FOwner->RemoveComponent(component);
  ValidateRename(component, AnsiString(), component->FName);
  Insert(component);
  if (FComponentState.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  Notification(component, opRemove);
  if (component->FOwner == this) Remove(component);
}

void TComponent::ValidateContainer(TComponent* owner) { owner->ValidateInsert(this); }

void TComponent::ValidateRename(TComponent* component, const AnsiString& curName,
                                const AnsiString& newName) {
  if (component && !SameName(curName, newName)) {
    TComponent* other = FindComponent(newName);
    if (other && other != component)
      throw EComponentError("A component named " + newName + " already exists");
  }
  if (FComponentState.Contains(csDesigning) && FOwner)
    FOwner->ValidateRename(component, curName, newName);
}

void TComponent::SetName(const AnsiString& newName) {
  if (FName == newName) return;
  if (!newName.empty() && !IsIdentifier(newName))
    throw EComponentError("'" + newName + "' is not a valid component name");
  if (FOwner)
    FOwner->ValidateRename(this, FName, newName);
  else
    ValidateRename(nullptr, FName, newName);
  ChangeName(newName);
}

void TComponent::ChangeName(const AnsiString& newName) {
  if (FOwner) FOwner->IndexRemove(this, FName);
  FName = newName;
  if (FOwner) FOwner->IndexAdd(this);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component) return;
  if (!FOwner || component->FOwner != FOwner) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
      FFreeNotifies.push_back(component);
      component->FreeNotification(this);
    }
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* component) { EraseLast(FFreeNotifies, component); }

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  RemoveNotification(component);
  component->RemoveNotification(this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // Owned components may free each other while they are told: walk down and re-clamp.
  for (std::size_t i = FComponents.size(); i > 0;) {
    --i;
    FComponents[i]->Notification(component, operation);
    if (i > FComponents.size()) i = FComponents.size();
  }
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::ReadState(TReader* reader) {
  if (!gStateReader) throw EInvalidOperation("Form streaming is not available");
  gStateReader(reader, this);
}

void TComponent::WriteState(TWriter* writer) {
  if (!gStateWriter) throw EInvalidOperation("Form streaming is not available");
  gStateWriter(writer, this);
}

void TComponent::Updating() { FComponentState.Include(csUpdating); }
void TComponent::Updated() { FComponentState.Exclude(csUpdating); }

void TComponent::SetSubComponent(bool value) {
  if (value)
    FComponentStyle.Include(csSubComponent);
  else
    FComponentStyle.Exclude(csSubComponent);
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  if (setChildren)
    for (TComponent* c : FComponents) c->SetDesigning(value, true);
}

void TComponent::SetAncestor(bool value) {
  if (value)
    FComponentState.Include(csAncestor);
  else
    FComponentState.Exclude(csAncestor);
  for (TComponent* c : FComponents) c->SetAncestor(value);
}

void TComponent::SetInline(bool value) {
  if (value)
    FComponentState.Include(csInline);
  else
    FComponentState.Exclude(csInline);
}

void TComponent::SetDesignInstance(bool value) {
  if (value)
    FComponentState.Include(csDesignInstance);
  else
    FComponentState.Exclude(csDesignInstance);
}

void IncludeComponentState(TComponent* component, TComponentState state) {
  component->FComponentState += state;
}

void ExcludeComponentState(TComponent* component, TComponentState state) {
  component->FComponentState -= state;
}

void orv::SetComponentStreaming(ComponentStateReader reader, ComponentStateWriter writer) {
  gStateReader = reader;
  gStateWriter = writer;
}

// ---- TComponentList ----

// The hidden component through which a component list hears that a member was freed.
class TComponentListNexus : public TComponent {
  ORV_CLASS(TComponentListNexus, TComponent)
 public:
  explicit TComponentListNexus(TComponentList* list) : TComponent(nullptr), FList(list) {}
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove) FList->Extract(component);
    inherited::Notification(component, operation);
  }

 private:
  TComponentList* FList;
};

TComponentList::~TComponentList() {
  Clear();  // (only when not freed through Free, whose BeforeDestruction cleared it)
  orv::Free(FNexus);
}

void TComponentList::Notify(void* ptr, TListNotification action) {
  if (!FNexus) FNexus = new TComponentListNexus(this);
  auto* component = static_cast<TComponent*>(ptr);
  if (action == lnAdded)
    FNexus->FreeNotification(component);
  else
    FNexus->RemoveFreeNotification(component);
  inherited::Notify(ptr, action);
}
