#include "components/foundation/cxClasses.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

[[noreturn]] void ListIndexError(Integer index) { orv::ListError("List index out of bounds", index); }

}  // namespace

// ==== Localized resource strings =============================================================
//
// Replacements are kept per record, so two records with equal compiled texts keep their own
// replacements; every painted caption looks its record up here.

namespace {

std::unordered_map<PResStringRec, AnsiString>& Replacements() {
  static std::unordered_map<PResStringRec, AnsiString> replacements;
  return replacements;
}

}  // namespace

void cxSetResourceString(PResStringRec rec, const AnsiString& text) {
  if (rec) Replacements()[rec] = text;
}

AnsiString GetLocalizedResourceString(PResStringRec rec) {
  const auto& replacements = Replacements();
  if (!replacements.empty()) {
    auto found = replacements.find(rec);
    if (found != replacements.end()) return found->second;
  }
  return LoadResString(rec);
}

// ==== Base classes ===========================================================================

void TcxComponent::Loaded() {
  inherited::Loaded();
  RefreshFakeComponentLinks();
}

void TcxComponent::BeforeDestruction() {
  if (!GetComponentState().Contains(csDestroying)) Destroying();
  // Links to this component read empty before anything else of its teardown runs.
  InvalidateObjectLinks(this);
  inherited::BeforeDestruction();
}

void TcxComponent::RefreshFakeComponentLinks() {
  if (!IsDesignTime() || GetComponentState().Contains(csDestroying) || !GetOwner()) return;
  std::unique_ptr<TList, orv::FreeDeleter> list(new TList);
  CollectFakeComponentLinks(list.get());
  auto link = [&](Integer i) {
    return i < list->GetCount() ? static_cast<TComponent*>(list->Get(i)) : nullptr;
  };
  FFakeComponentLink1 = link(0);
  FFakeComponentLink2 = link(1);
  FFakeComponentLink3 = link(2);
}

void TcxOwnedInterfacedCollection::SetSortedState(Boolean value) {
  if (FSorted == value) return;
  FSorted = value;
  if (FSorted) SortItems();
}

void TcxOwnedInterfacedCollection::BeforeDestruction() {
  FDestroying = true;  // no OnChange while the items go
  inherited::BeforeDestruction();
}

Integer TcxOwnedInterfacedCollection::CompareItemOrder(TCollectionItem* item1, TCollectionItem* item2) {
  const Integer d = item1->GetIndex() - item2->GetIndex();
  return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

void TcxOwnedInterfacedCollection::SortItems() {
  if (GetUpdateCount() > 0 || FSorting) return;
  FSorting = true;
  try {
    std::vector<TCollectionItem*> items;
    items.reserve(std::size_t(GetCount()));
    for (Integer i = 0; i < GetCount(); ++i) items.push_back(GetItem(i));
    std::stable_sort(items.begin(), items.end(), [this](TCollectionItem* a, TCollectionItem* b) {
      return (FOnCompare ? FOnCompare(this, a, b) : CompareItemOrder(a, b)) < 0;
    });
    BeginUpdate();
    try {
      for (std::size_t i = 0; i < items.size(); ++i) items[i]->SetIndex(Integer(i));
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  } catch (...) {
    FSorting = false;
    throw;
  }
  FSorting = false;
}

void TcxOwnedInterfacedCollection::Update(TCollectionItem* item) {
  if (FInUpdate) return;
  FInUpdate = true;
  try {
    if (FSorted && !item) SortItems();
    inherited::Update(item);
    if (!FDestroying && FOnChange) FOnChange(this, item);
  } catch (...) {
    FInUpdate = false;
    throw;
  }
  FInUpdate = false;
}

void TcxObjectList::Clear() {
  // Each item leaves the list before it is freed, so the list never holds a freed object.
  while (FOwnsObjects && GetCount() > 0) {
    auto* item = static_cast<TObject*>(Get(GetCount() - 1));
    Delete(GetCount() - 1);
    orv::Free(item);
  }
  inherited::Clear();
}

void TcxEventHandlerCollection::Add(const TcxEventHandler& handler) {
  if (handler && std::find(FHandlers.begin(), FHandlers.end(), handler) == FHandlers.end())
    FHandlers.push_back(handler);
}

void TcxEventHandlerCollection::Remove(const TcxEventHandler& handler) {
  auto pos = std::find(FHandlers.begin(), FHandlers.end(), handler);
  if (pos != FHandlers.end()) FHandlers.erase(pos);
}

void TcxEventHandlerCollection::InvokeAll(TObject* sender, const void* eventArgs) {
  // A copy: handlers may change the collection while it is walked.
  const std::vector<TcxEventHandler> handlers = FHandlers;
  for (const TcxEventHandler& handler : handlers)
    if (std::find(FHandlers.begin(), FHandlers.end(), handler) != FHandlers.end())
      handler(sender, eventArgs);
}

// ==== Class registries =======================================================================

Boolean TcxRegisteredClassList::LocateItemClass(TClass itemClass, Integer& index) const {
  index = -1;
  if (!itemClass) return false;
  for (Integer i = GetRegistrationCount() - 1; i >= 0; --i) {
    const TClass registered = FItems[std::size_t(i)].ItemClass;
    if (itemClass->InheritsFrom(registered)) {
      index = i;
      return true;
    }
    if (registered->InheritsFrom(itemClass)) index = i;
  }
  return false;
}

void TcxRegisteredClassList::AddRegistration(TClass itemClass, TClass registeredClass) {
  if (!itemClass) return;
  Integer index;
  if (LocateItemClass(itemClass, index))
    ++index;  // after the nearest registered ancestor
  else if (index < 0)
    index = GetRegistrationCount();  // unrelated to every registration
  // (otherwise before the first more derived registration)
  FItems.insert(FItems.begin() + index, TRegistration{itemClass, registeredClass});
}

void TcxRegisteredClassList::RemoveRegistration(TClass itemClass, TClass registeredClass) {
  std::erase_if(FItems, [&](const TRegistration& r) {
    return r.ItemClass == itemClass && r.RegisteredClass == registeredClass;
  });
}

TClass TcxRegisteredClassList::FindRegisteredClass(TClass itemClass) const {
  Integer index;
  return LocateItemClass(itemClass, index) ? FItems[std::size_t(index)].RegisteredClass : nullptr;
}

void TcxRegisteredClasses::AddClass(TClass c, const AnsiString& description) {
  if (!c || IndexOfClass(c) >= 0) return;
  FItems.push_back(TItem{description, c});
  if (FSorted) SortItems();
  if (FRegisterClasses) RegisterClass(c);
}

void TcxRegisteredClasses::RemoveClass(TClass c) {
  const Integer index = IndexOfClass(c);
  if (index >= 0) FItems.erase(FItems.begin() + index);
}

TClass TcxRegisteredClasses::GetItem(Integer index) const {
  if (index < 0 || index >= GetCount()) ListIndexError(index);
  return FItems[std::size_t(index)].Class;
}

AnsiString TcxRegisteredClasses::GetItemDescription(Integer index) const {
  if (index < 0 || index >= GetCount()) ListIndexError(index);
  const AnsiString& text = FItems[std::size_t(index)].Description;
  return text.substr(0, text.find('|'));
}

TClass TcxRegisteredClasses::FindByClassName(const AnsiString& name) const {
  for (const TItem& item : FItems)
    if (item.Class->ClassName() == name) return item.Class;
  return nullptr;
}

Integer TcxRegisteredClasses::IndexOfClass(TClass c) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Class == c) return Integer(i);
  return -1;
}

void TcxRegisteredClasses::SetSortedState(Boolean value) {
  if (FSorted == value) return;
  FSorted = value;
  if (FSorted) SortItems();
}

Integer TcxRegisteredClasses::CompareDescriptions(Integer index1, Integer index2) const {
  return AnsiCompareText(FItems[std::size_t(index1)].Description, FItems[std::size_t(index2)].Description);
}

void TcxRegisteredClasses::SortItems() {
  // Sort positions, so that CompareDescriptions (which takes indexes) can be overridden.
  std::vector<Integer> order(FItems.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = Integer(i);
  std::stable_sort(order.begin(), order.end(),
                   [this](Integer a, Integer b) { return CompareDescriptions(a, b) < 0; });
  std::vector<TItem> sorted;
  sorted.reserve(FItems.size());
  for (Integer i : order) sorted.push_back(std::move(FItems[std::size_t(i)]));
  FItems = std::move(sorted);
}

// ==== Utilities ==============================================================================

void InstallThreadHook(HHOOK& hook, int hookKind, HOOKPROC proc) {
  if (hook) throw EAssertionFailed("Assertion failure (cxClasses)");
  hook = SetWindowsHookEx(hookKind, proc, nullptr, GetCurrentThreadId());
}

void RemoveThreadHook(HHOOK& hook) {
  if (!hook) return;
  UnhookWindowsHookEx(hook);
  hook = nullptr;
}

void CopyListItems(TList* source, TList* destination) {
  destination->SetCount(source->GetCount());
  for (Integer i = 0; i < source->GetCount(); ++i) destination->Put(i, source->Get(i));
}

Integer DivideRoundUp(Integer a, Integer b) {
  if (b == 0) throw EDivByZero("Division by zero");
  if (b == -1) {
    if (a == INT32_MIN) throw EIntOverflow("Integer overflow");
    return -a;
  }
  return a / b + (a % b != 0 ? 1 : 0);
}

Boolean MemoryStreamsEqual(TMemoryStream* a, TMemoryStream* b) {
  const Int64 size = a->GetSize();
  if (size != b->GetSize()) return false;
  return size == 0 || std::memcmp(a->GetMemory(), b->GetMemory(), std::size_t(size)) == 0;
}

AnsiString GetLocaleInfoString(LCID locale, LCTYPE item, const AnsiString& defaultValue) {
  return GetLocaleStr(locale, item, defaultValue);
}

Integer GetCharByteLength(const AnsiString& text, Integer position) {
  return position >= 1 && std::size_t(position) <= text.size() ? 1 : 0;
}

// ==== Object links ===========================================================================

// The live links, grouped per referenced object in doubly linked chains, so that releasing a
// link is O(1) and invalidating an object touches only its own links.
class TcxObjectLinkController {
 public:
  void Add(TcxObjectLink* link) {
    TcxObjectLink*& head = FLinksByObject[link->Ref];
    link->FPrev = nullptr;
    link->FNext = head;
    if (head) head->FPrev = link;
    head = link;
  }

  void Remove(TcxObjectLink* link) {
    if (link->FPrev) {
      link->FPrev->FNext = link->FNext;
    } else {
      auto found = FLinksByObject.find(link->Ref);
      if (link->FNext)
        found->second = link->FNext;
      else
        FLinksByObject.erase(found);
    }
    if (link->FNext) link->FNext->FPrev = link->FPrev;
    link->FPrev = link->FNext = nullptr;
  }

  void Invalidate(TObject* object) {
    auto found = FLinksByObject.find(object);
    if (found == FLinksByObject.end()) return;
    TcxObjectLink* link = found->second;
    FLinksByObject.erase(found);
    while (link) {
      TcxObjectLink* next = link->FNext;
      link->Ref = nullptr;
      link->FPrev = link->FNext = nullptr;
      link = next;
    }
  }

 private:
  std::unordered_map<const TObject*, TcxObjectLink*> FLinksByObject;
};

namespace {

TcxObjectLinkController* gObjectLinkController = nullptr;
Integer gObjectLinkReferenceCount = 0;

}  // namespace

TcxObjectLink* CreateObjectLink(TObject* object) {
  if (!object) return nullptr;
  if (!gObjectLinkController) gObjectLinkController = new TcxObjectLinkController;
  auto* link = new TcxObjectLink;
  link->Ref = object;
  gObjectLinkController->Add(link);
  ++gObjectLinkReferenceCount;
  return link;
}

void ReleaseObjectLink(TcxObjectLink*& link) {
  if (!link) return;
  if (link->Ref) gObjectLinkController->Remove(link);
  delete link;
  link = nullptr;
  if (--gObjectLinkReferenceCount == 0) {
    delete gObjectLinkController;
    gObjectLinkController = nullptr;
  }
}

void InvalidateObjectLinks(TObject* object) {
  if (gObjectLinkController && object) gObjectLinkController->Invalidate(object);
}

Integer orv::ObjectLinkReferenceCount() { return gObjectLinkReferenceCount; }

void TcxFreeNotificator::AddSender(TComponent* sender) {
  if (sender) sender->FreeNotification(this);
}

void TcxFreeNotificator::RemoveSender(TComponent* sender) {
  if (sender) sender->RemoveFreeNotification(this);
}

void TcxFreeNotificator::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && FOnFreeNotification) FOnFreeNotification(component);
}

// ==== Auto-width distribution ================================================================

namespace {

// a * b / c rounded to the nearest integer, halves away from zero; -1 when c is 0 (the
// platform's rule, on 64-bit operands so that running totals cannot overflow).
Int64 MulDiv64(Int64 a, Int64 b, Int64 c) {
  if (c == 0) return -1;
  __extension__ typedef __int128 Int128;
  const Int128 product = Int128(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const Int128 num = product < 0 ? -product : product;
  const Int128 den = c < 0 ? -Int128(c) : Int128(c);
  // Half away from zero: floor((2 * num + den) / (2 * den)).
  const Int128 rounded = (2 * num + den) / (2 * den);
  return static_cast<Int64>(negative ? -rounded : rounded);
}

}  // namespace

TcxAutoWidthObject::TcxAutoWidthObject(Integer capacity) {
  if (capacity > 0) FItems.reserve(std::size_t(capacity));
}

TcxAutoWidthObject::~TcxAutoWidthObject() {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) delete *it;
}

TcxAutoWidthItem* TcxAutoWidthObject::NewItem() {
  FItems.push_back(new TcxAutoWidthItem);
  return FItems.back();
}

TcxAutoWidthItem* TcxAutoWidthObject::GetItemAt(Integer index) const {
  if (index < 0 || index >= GetItemCount()) ListIndexError(index);
  return FItems[std::size_t(index)];
}

Int64 TcxAutoWidthObject::GetTotalWidth() const {
  Int64 total = 0;
  for (const TcxAutoWidthItem* item : FItems) total += item->Width;
  return total;
}

void TcxAutoWidthObject::DistributeWidth() {
  Int64 restWidth = FAvailableWidth;
  Int64 restTotal = GetTotalWidth();
  // Whether an item has its result; AutoWidth itself may legitimately be -1 (a minimum of -1).
  std::vector<bool> decided(FItems.size(), false);
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    TcxAutoWidthItem* item = FItems[i];
    item->AutoWidth = -1;
    if (item->Fixed) {
      decided[i] = true;
      item->AutoWidth = item->Width;
      restWidth -= item->Width;
      restTotal -= item->Width;
    }
  }
  // Passes pin items at their minimum until a pass pins none; then one final pass with the
  // same constants gives every undecided item its share of the running total, so the shares
  // of that pass add up exactly to the width left.
  auto pass = [&](bool finalPass) {
    const Int64 w = restWidth, t = restTotal;
    Int64 offset = 0;
    bool itemLeft = false;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
      if (decided[i]) continue;
      TcxAutoWidthItem* item = FItems[i];
      const Int64 share = MulDiv64(offset + item->Width, w, t) - MulDiv64(offset, w, t);
      if (finalPass) {
        item->AutoWidth = Integer(std::clamp<Int64>(share, INT32_MIN, INT32_MAX));
        decided[i] = true;
      } else if (item->MinWidth >= share) {
        item->AutoWidth = item->MinWidth;
        decided[i] = true;
        restWidth -= item->MinWidth;
        restTotal -= item->Width;
        itemLeft = true;
      }
      offset += item->Width;
    }
    return itemLeft;
  };
  bool finalPass = false;
  bool itemLeft;
  do {
    itemLeft = pass(finalPass);
    if (!itemLeft) finalPass = !finalPass;
  } while (restTotal != 0 && (itemLeft || finalPass));
  // The loop stops as soon as no weight remains. Items still undecided then (their widths sum
  // to zero and their minimums lie below their share) would keep -1; they get their share.
  pass(true);
}

// ==== Most-recently-used lists ===============================================================

TcxMRUItems::~TcxMRUItems() { ClearItems(); }

Integer TcxMRUItems::IndexOfItem(TcxMRUItem* item) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i]->Equals(item)) return Integer(i);
  return -1;
}

void TcxMRUItems::PushItem(TcxMRUItem* item) {
  if (!item) return;
  const Integer index = IndexOfItem(item);
  if (index < 0) {
    FItems.insert(FItems.begin(), item);
    if (FMaxCount > 0) TrimToCount(FMaxCount);
    return;
  }
  TcxMRUItem* existing = FItems[std::size_t(index)];
  std::rotate(FItems.begin(), FItems.begin() + index, FItems.begin() + index + 1);
  // Pushing an item that is already in the list only moves it: freeing it would leave the list
  // holding a freed object.
  if (existing != item) item->Free();
}

void TcxMRUItems::DeleteItem(Integer index) {
  TcxMRUItem* item = GetItemAt(index);
  FItems.erase(FItems.begin() + index);
  item->Free();
}

void TcxMRUItems::ClearItems() {
  while (!FItems.empty()) DeleteItem(GetItemCount() - 1);
}

TcxMRUItem* TcxMRUItems::GetItemAt(Integer index) const {
  if (index < 0 || index >= GetItemCount()) ListIndexError(index);
  return FItems[std::size_t(index)];
}

void TcxMRUItems::SetMaxCount(Integer value) {
  if (value < 0) value = 0;
  if (FMaxCount == value) return;
  FMaxCount = value;
  if (FMaxCount > 0) TrimToCount(FMaxCount);
}

void TcxMRUItems::TrimToCount(Integer count) {
  while (GetItemCount() > std::max(count, 0)) DeleteItem(GetItemCount() - 1);
}

void TcxOpenList::SetItemAt(Integer index, void* item) {
  if (index < 0) ListIndexError(index);
  if (index >= GetCount()) SetCount(index + 1);
  Put(index, item);
}

// ==== Component collections and component lists ==============================================

void TcxComponentCollectionItem::SetCollection(TcxComponentCollection* value) {
  if (FCollection == value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (value) value->InsertItem(this);
}

Integer TcxComponentCollectionItem::GetItemIndex() const {
  return FCollection ? FCollection->IndexOf(const_cast<TcxComponentCollectionItem*>(this)) : -1;
}

void TcxComponentCollectionItem::SetIndex(Integer value) {
  if (!FCollection) return;
  FCollection->MoveItem(this, value);
  ReportChange(true);
}

AnsiString TcxComponentCollectionItem::GetDisplayName() { return GetName(); }

bool TcxComponentCollectionItem::HasParent() const { return GetParentComponent() != nullptr; }

TComponent* TcxComponentCollectionItem::GetParentComponent() const {
  return FCollection ? FCollection->GetParentComponent() : inherited::GetParentComponent();
}

void TcxComponentCollectionItem::SetParentComponent(TComponent* value) {
  SetCollection(value ? GetParentCollection(value) : nullptr);
}

void TcxComponentCollectionItem::ReportChange(Boolean allItems) {
  if (GetComponentState().Contains(csDestroying) || !FCollection) return;
  FCollection->Changed(allItems ? nullptr : this, orv::ccaChanged);
}

void TcxComponentCollectionItem::BeforeDestruction() {
  // Leaves the collection first, while it is whole: the collection's notices may ask it.
  if (FCollection) FCollection->RemoveItem(this);
  inherited::BeforeDestruction();
}

TcxComponentCollection::TcxComponentCollection(TComponent* parentComponent,
                                               TcxComponentCollectionItemClass itemClass)
    : FParentComponent(parentComponent), FItemClass(itemClass) {}

TcxComponentCollectionItem* TcxComponentCollection::AddItem() {
  TComponent* owner = FParentComponent ? FParentComponent->GetOwner() : nullptr;
  TcxComponentCollectionItem* item = FItemClass.Create(owner);
  item->SetParentComponent(FParentComponent);
  NameNewItem(item);
  return item;
}

void TcxComponentCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  try {
    while (!FItems.empty()) FItems.back()->Free();
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TcxComponentCollection::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxComponentCollection*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TcxComponentCollectionItem* sourceItem : other->FItems) AddItem()->Assign(sourceItem);
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

TcxComponentCollectionItem* TcxComponentCollection::GetItemAt(Integer index) const {
  if (index < 0 || index >= GetItemCount()) ListIndexError(index);
  return FItems[std::size_t(index)];
}

Integer TcxComponentCollection::IndexOf(TcxComponentCollectionItem* item) const {
  auto pos = std::find(FItems.begin(), FItems.end(), item);
  return pos == FItems.end() ? -1 : Integer(pos - FItems.begin());
}

void TcxComponentCollection::BeginUpdate() { ++FUpdateCount; }

void TcxComponentCollection::EndUpdate(Boolean force) {
  if (FUpdateCount > 0) --FUpdateCount;
  if (force) Changed(nullptr, orv::ccaChanged);
}

void TcxComponentCollection::CollectionChanged(TcxComponentCollectionItem* item,
                                               orv::TComponentCollectionAction action) {
  if (FOnChange) FOnChange(this, item, action);
}

void TcxComponentCollection::Changed(TcxComponentCollectionItem* item,
                                     orv::TComponentCollectionAction action) {
  if (FUpdateCount == 0) CollectionChanged(item, action);
}

void TcxComponentCollection::InsertItem(TcxComponentCollectionItem* item) {
  if (!item->InheritsFrom(FItemClass)) return;
  FItems.push_back(item);
  item->FCollection = this;
  item->FID = FNextID;
  // Ids count up and are never handed out twice, also past the 32-bit limit.
  FNextID = Integer(Cardinal(FNextID) + 1u);
  NotifyItem(item, orv::ccaAdded);
  Changed(item, orv::ccaAdded);
}

void TcxComponentCollection::RemoveItem(TcxComponentCollectionItem* item) {
  NotifyItem(item, orv::ccaExtracting);
  auto pos = std::find(FItems.begin(), FItems.end(), item);
  if (pos != FItems.end()) FItems.erase(pos);
  item->FCollection = nullptr;
  NotifyItem(item, orv::ccaExtracted);
  Changed(item, orv::ccaExtracted);
}

void TcxComponentCollection::MoveItem(TcxComponentCollectionItem* item, Integer newIndex) {
  const Integer curIndex = IndexOf(item);
  if (curIndex < 0) return;
  newIndex = std::clamp(newIndex, 0, GetItemCount() - 1);
  if (curIndex < newIndex)
    std::rotate(FItems.begin() + curIndex, FItems.begin() + curIndex + 1, FItems.begin() + newIndex + 1);
  else if (curIndex > newIndex)
    std::rotate(FItems.begin() + newIndex, FItems.begin() + curIndex, FItems.begin() + curIndex + 1);
}

void TcxComponentCollection::BeforeDestruction() {
  FUpdateCount = 1;  // no notices while the items go
  while (!FItems.empty()) FItems.back()->Free();
  inherited::BeforeDestruction();
}

void TcxComponentList::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  NotifyChanged(nullptr, orv::ccaChanged);
}

void TcxComponentList::Clear() {
  if (GetCount() > 0) {
    BeginUpdate();
    try {
      while (GetCount() > 0) Delete(0);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  }
  inherited::Clear();
}

void TcxComponentList::BeforeDestruction() {
  FUpdateCount = 1;
  inherited::BeforeDestruction();
}

void TcxComponentList::Notify(void* ptr, TListNotification action) {
  auto* object = static_cast<TObject*>(ptr);
  if (object->InheritsFrom(GetAcceptedClass())) {
    HandleItemNotification(static_cast<TComponent*>(object), action);
  } else if (action == lnAdded) {
    TList::Extract(ptr);  // the list takes only components
  }
}

void TcxComponentList::HandleItemNotification(TComponent* component, TListNotification action) {
  inherited::Notify(component, action);
  if (FOnNotify) FOnNotify(this, component, action);
  switch (action) {
    case lnAdded: NotifyChanged(component, orv::ccaAdded); break;
    case lnExtracted: NotifyChanged(component, orv::ccaExtracted); break;
    case lnDeleted: NotifyChanged(component, orv::ccaDeleted); break;
  }
}

void TcxComponentList::NotifyChanged(TComponent* component, orv::TComponentCollectionAction action) {
  if (FUpdateCount == 0 && FOnComponentListChanged) FOnComponentListChanged(this, component, action);
}

// ==== Component naming =======================================================================

namespace {

bool IsIdentifierChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// ASCII letters compared without case, as component names are.
bool StartsWithText(const AnsiString& text, const AnsiString& prefix) {
  return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

}  // namespace

AnsiString GenerateUniqueComponentName(TComponent* owner, TComponent* namingParent,
                                       TComponent* component, const AnsiString& classPrefix,
                                       const AnsiString& baseName) {
  AnsiString stem;
  for (char c : baseName)
    if (IsIdentifierChar(c)) stem += c;
  if (stem.empty() || (stem[0] >= '0' && stem[0] <= '9')) {
    const AnsiString className = component ? component->ClassName() : AnsiString();
    if (!classPrefix.empty() && StartsWithText(className, classPrefix)) {
      stem = className.substr(classPrefix.size()) + stem;
    } else {
      stem = className + stem;
      if (!stem.empty() && stem[0] == 'T') stem.erase(0, 1);
    }
  }
  if (namingParent) stem = namingParent->GetName() + stem;

  auto isUnique = [&](const AnsiString& name) {
    TComponent* found = owner ? owner->FindComponent(name) : nullptr;
    return found == nullptr || found == component;
  };
  for (Integer n = baseName.empty() ? 1 : 0;; ++n) {
    AnsiString candidate = n > 0 ? stem + std::to_string(n) : stem;
    if (isUnique(candidate) || n == INT32_MAX) return candidate;
  }
}

void RenameChildComponents(TComponent* component, TComponent* owner, const AnsiString& newName,
                           const AnsiString& oldName, Integer childCount, TcxGetComponent getChild) {
  if (component->GetComponentState().Contains(csAncestor)) return;
  for (Integer i = 0; i < childCount; ++i) {
    TComponent* child = getChild(component, i);
    if (!child || child->GetOwner() != owner) continue;
    const AnsiString& name = child->GetName();
    if (name.size() <= oldName.size() || !StartsWithText(name, oldName)) continue;
    try {
      child->SetName(newName + name.substr(oldName.size()));
    } catch (const EComponentError&) {
      // A name the owner refuses (taken, or not an identifier) leaves the child as it was.
    }
  }
}
