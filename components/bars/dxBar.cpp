#include "components/bars/dxBar.h"

#include <algorithm>

#include "components/bars/dxBarCaptionButtons.h"
#include "components/bars/dxBarCustomCustomizationForm.h"
#include "components/bars/dxBarDesignController.h"
#include "components/bars/dxBarEdit.h"
#include "components/bars/dxBarQuickControl.h"
#include "components/bars/dxBarQuickCust.h"
#include "components/bars/dxBarScreenTip.h"
#include "components/bars/dxBarDrawing.h"
#include "components/bars/dxBarStrs.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxFading.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/IniFiles.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

// The bars' shared hint window (the bar windows' unit makes it on first use).
void FreeBarHintWindow();

namespace {

// ---- Process-wide state of the bars -----------------------------------------------------------

Boolean gFinalizing = false;
TdxBarManagerList* gManagerList = nullptr;
TdxBarItemList* gItemClassList = nullptr;
TdxBarManagerCallback gOnRegistered = nullptr;
TdxBarManagerCallback gOnUnregistered = nullptr;

HHOOK gKeyboardHook = nullptr;
HHOOK gMouseHook = nullptr;
HHOOK gCallWndHook = nullptr;

// The key whose key-down was consumed: its key-up is consumed too.
Word gRememberedKey = 0;
Boolean gKeyRemembered = false;
// A bare Alt or F10 went down and nothing else happened since.
Boolean gAltAlone = false;
Boolean gMDIButtonPressed = false;
Boolean gDirectCall = false;
Boolean gAppDeactivating = false;
Boolean gAppActive = true;
Boolean gLookupGuard = false;
Boolean gMouseGuard = false;

TdxBarHookServices gServices;

void ForgetHintOf(TdxBarManager* manager);

// Frees the process-wide objects at exit (the hooks went with the last manager).
struct TUnitFinalization {
  ~TUnitFinalization() {
    gFinalizing = true;
    orv::Free(gItemClassList);
    gItemClassList = nullptr;
    orv::Free(gManagerList);
    gManagerList = nullptr;
  }
} gUnitFinalization;


Boolean KeyIsDown(int key) { return GetKeyState(key) < 0; }
Boolean IsKeyUpData(LPARAM data) { return (DWORD(data) & 0x80000000u) != 0; }

TCustomdxBarControl* ActiveBarControl() {
  return gServices.GetActiveBarControl ? gServices.GetActiveBarControl() : nullptr;
}

Boolean IsChildWindow(HWND window) { return (GetWindowLong(window, GWL_STYLE) & WS_CHILD) != 0; }

}  // namespace

// ==== Lists ===================================================================================

Integer TdxObjectList::AddUnique(TObject* object) {
  if (!object) return -1;
  const Integer index = IndexOf(object);
  return index >= 0 ? index : Add(object);
}

TObject* TdxObjectList::ItemOrNil(Integer index) const {
  return index >= 0 && index < GetCount() ? Get(index) : nullptr;
}

void TdxObjectList::CopyTo(TList* target) const {
  target->Clear();
  target->SetCapacity(GetCount());
  auto* unique = dynamic_cast<TdxObjectList*>(target);
  for (Integer i = 0; i < GetCount(); ++i) {
    if (unique)
      unique->AddUnique(Get(i));
    else
      target->Add(Get(i));
  }
}

void TdxBarComponentList::HandleItemNotification(TComponent* component, TListNotification action) {
  if (auto* barComponent = dynamic_cast<TdxBarComponent*>(component)) {
    if (action == lnAdded)
      barComponent->AddChangeNotify(this);
    else if (!barComponent->GetComponentState().Contains(csDestroying))
      barComponent->RemoveChangeNotify(this);
  }
  inherited::HandleItemNotification(component, action);
}

TClass TdxBarComponentList::GetAcceptedClass() { return TdxBarComponent::StaticClass(); }

// ==== Bar components and groups ===============================================================

TdxBarComponent::TdxBarComponent(TComponent* owner) : TComponent(owner) {}

TdxBarComponent::~TdxBarComponent() = default;

void TdxBarComponent::BeforeDestruction() {
  Destroying();
  InvalidateObjectLinks(this);
  // The lists drop the dying component by its free notification; it must not be told back.
  FChangeNotifyList.clear();
  inherited::BeforeDestruction();
}

void TdxBarComponent::AddChangeNotify(TdxBarComponentList* list) {
  if (std::find(FChangeNotifyList.begin(), FChangeNotifyList.end(), list) == FChangeNotifyList.end())
    FChangeNotifyList.push_back(list);
}

void TdxBarComponent::RemoveChangeNotify(TdxBarComponentList* list) {
  FChangeNotifyList.erase(std::remove(FChangeNotifyList.begin(), FChangeNotifyList.end(), list),
                          FChangeNotifyList.end());
}

void TdxBarComponent::NotifyChanged(Boolean passNil) {
  if (GetComponentState().Contains(csDestroying)) return;
  const std::vector<TdxBarComponentList*> lists = FChangeNotifyList;
  for (TdxBarComponentList* list : lists) list->ComponentChanged(passNil ? nullptr : this);
}

Boolean TdxBarComponent::IsDeletable(Boolean forced) {
  return !FBarManager || FBarManager->AllowsDeletion();
}

void TdxBarComponent::DeleteSelectable(TObject*& selection, Boolean forced) {
  if (!IsDeletable(forced)) return;
  selection = nullptr;
  Free();
}

Integer TdxBarComponent::GetSelectionState() {
  return FBarManager ? FBarManager->GetSelectionState(this) : 0;
}

Boolean TdxBarComponent::IsInSelection() { return GetSelectionState() == 1; }

void TdxBarComponent::SelectInDesigner(Integer mode) {
  if (FBarManager) FBarManager->ChangeSelection(this, mode);
}

TdxBarGroup::TdxBarGroup(TComponent* owner) : TdxBarComponent(owner), FItems(new TdxBarComponentList) {}

TdxBarGroup::~TdxBarGroup() { orv::Free(FItems); }

Boolean TdxBarGroup::Contains(TdxBarGroup* group) const {
  if (group == this) return true;
  for (Integer i = 0; i < FItems->GetCount(); ++i)
    if (auto* member = dynamic_cast<TdxBarGroup*>(FItems->Get(i)))
      if (member->Contains(group)) return true;
  return false;
}

void TdxBarGroup::Add(TdxBarComponent* component) {
  if (!component || IndexOf(component) >= 0) return;
  if (auto* group = dynamic_cast<TdxBarGroup*>(component))
    if (group->Contains(this)) throw EdxException(GetLocalizedResourceString(&dxSBAR_RECURSIVEGROUPS));
  FItems->Add(component);
}

Integer TdxBarGroup::IndexOf(TdxBarComponent* component) const { return FItems->IndexOf(component); }

void TdxBarGroup::Remove(TdxBarComponent* component) { FItems->Remove(component); }

Integer TdxBarGroup::GetCount() const { return FItems->GetCount(); }

TdxBarComponent* TdxBarGroup::GetItem(Integer index) const {
  return index >= 0 && index < GetCount() ? static_cast<TdxBarComponent*>(FItems->Get(index)) : nullptr;
}

void TdxBarGroup::SetEnabled(Boolean value) {
  FEnabled = value;
  ApplyToMembers([value](TdxBarComponent* member) { member->SetEnabled(value); });
}

void TdxBarGroup::SetVisible(TdxBarItemVisible value) {
  FVisible = value;
  ApplyToMembers([value](TdxBarComponent* member) { member->SetVisible(value); });
}

void TdxBarGroup::ApplyToMembers(const std::function<void(TdxBarComponent*)>& apply) {
  const auto state = GetComponentState();
  if (state.Contains(csLoading) || state.Contains(csDestroying)) return;
  if (FBarManager) FBarManager->BeginUpdate();
  try {
    for (Integer i = 0; i < GetCount(); ++i) apply(GetItem(i));
  } catch (...) {
    if (FBarManager) FBarManager->EndUpdate();
    throw;
  }
  if (FBarManager) FBarManager->EndUpdate();
}

TComponent* TdxBarGroup::GetParentComponent() const { return FBarManager; }

void TdxBarGroup::SetParentComponent(TComponent* value) {
  if (auto* manager = dynamic_cast<TdxBarManager*>(value)) manager->AddGroupToList(this);
}

void TdxBarGroup::AddByName(const AnsiString& name) {
  TComponent* owner = FBarManager ? FBarManager->GetOwner() : GetOwner();
  if (!owner) return;
  if (auto* component = dynamic_cast<TdxBarComponent*>(owner->FindComponent(name))) Add(component);
}

void TdxBarGroup::Loaded() {
  inherited::Loaded();
  if (FHasLoadedNames) {
    const std::vector<AnsiString> names = std::move(FLoadedNames);
    FLoadedNames.clear();
    FHasLoadedNames = false;
    for (const AnsiString& name : names) AddByName(name);
  }
}

void TdxBarGroup::SetName(const AnsiString& newName) {
  inherited::SetName(newName);
  NotifyChanged();
}

void TdxBarGroup::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("Items", TReaderProc(this, &TdxBarGroup::ReadItems),
                        TWriterProc(this, &TdxBarGroup::WriteItems), true);
}

void TdxBarGroup::ReadItems(TReader* reader) {
  const Boolean loading = GetComponentState().Contains(csLoading);
  if (loading) {
    FLoadedNames.clear();
    FHasLoadedNames = true;
  } else {
    FItems->Clear();
  }
  reader->ReadListBegin();
  while (!reader->EndOfList()) {
    const AnsiString name = reader->ReadString();
    if (loading)
      FLoadedNames.push_back(name);
    else
      AddByName(name);
  }
  reader->ReadListEnd();
}

void TdxBarGroup::WriteItems(TWriter* writer) {
  writer->WriteListBegin();
  for (Integer i = 0; i < GetCount(); ++i) writer->WriteString(GetItem(i)->GetName());
  writer->WriteListEnd();
}

// ==== Items ===================================================================================

namespace {

// The manager an item of `owner` registers with: the owner's, else the first one living.
TdxBarManager* ManagerForNewItem(TComponent* owner) {
  if (TdxBarManager* manager = GetBarManagerOwnedBy(owner)) return manager;
  TdxBarManagerList* list = dxBarManagerList();
  return list && list->GetCount() > 0 ? list->GetManager(0) : nullptr;
}

// The text before the first "|" (the whole text without one).
AnsiString ShortHintPart(const AnsiString& hint) {
  const size_t bar = hint.find('|');
  return bar == AnsiString::npos ? hint : hint.substr(0, bar);
}

void EraseFirst(AnsiString& text, const char* part) {
  const size_t at = text.find(part);
  if (at != AnsiString::npos) text.erase(at, std::char_traits<char>::length(part));
}

}  // namespace

TdxBarItem::TdxBarItem(TComponent* owner) : TdxBarComponent(owner) {
  if (TdxBarManager* manager = ManagerForNewItem(owner)) manager->AddItem(this);
  FStylesData = new TdxBarItemStylesData(GetStyleCount(), TdxBarItemStylesData::TChangeEvent(this, &TdxBarItem::StyleChanged));
  FGlyph = new TBitmap;
  FGlyph->SetOnChange(TNotifyEvent(this, &TdxBarItem::GlyphBitmapChanged));
  FLargeGlyph = new TBitmap;
  FLargeGlyph->SetOnChange(TNotifyEvent(this, &TdxBarItem::LargeGlyphBitmapChanged));
}

TdxBarItem::~TdxBarItem() {
  orv::Free(FStylesData);
  orv::Free(FActionLink);
  orv::Free(FLargeGlyph);
  orv::Free(FGlyph);
}

void TdxBarItem::BeforeDestruction() {
  Destroying();
  FireNotifyEvent(this, FOnDestroy);
  DeleteLinks();
  inherited::BeforeDestruction();
}

void TdxBarItem::DeleteLinks() {
  if (FLinks.empty()) return;
  // Links on toolbars of a manager that is not locked are deleted in one update, so that the
  // toolbars re-lay out once.
  Boolean lock = false;
  if (FBarManager && !FBarManager->InDestruction() && !FBarManager->IsUpdateLocked())
    for (TdxBarItemLink* link : FLinks)
      if (auto* bar = dynamic_cast<TdxBar*>(link->GetOwnerLinks()->GetOwnerComponent()); bar && bar->GetControl())
        lock = true;
  if (lock) FBarManager->BeginUpdate();
  try {
    while (!FLinks.empty()) {
      TdxBarItemLink* link = FLinks.back();
      FLinks.pop_back();
      link->FItem = nullptr;
      link->Free();
    }
  } catch (...) {
    if (lock) FBarManager->EndUpdate();
    throw;
  }
  if (lock) FBarManager->EndUpdate();
}

void TdxBarItem::RemoveLink(TdxBarItemLink* link) {
  FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), link), FLinks.end());
}

TdxBarItemLink* TdxBarItem::GetLink(Integer index) const {
  return index >= 0 && index < GetLinkCount() ? FLinks[size_t(index)] : nullptr;
}

void TdxBarItem::ForEachLink(const std::function<void(TdxBarItemLink*)>& action) {
  const std::vector<TdxBarItemLink*> links = FLinks;
  for (TdxBarItemLink* link : links) action(link);
}

Integer TdxBarItem::GetIndex() const { return FBarManager ? FBarManager->GetItemList()->IndexOf(const_cast<TdxBarItem*>(this)) : -1; }

void TdxBarItem::SetIndex(Integer value) {
  const Integer index = GetIndex();
  if (FBarManager && index >= 0 && index != value) FBarManager->MoveItem(index, value);
}

TBasicAction* TdxBarItem::GetAction() const { return FActionLink ? FActionLink->GetAction() : nullptr; }

void TdxBarItem::SetAction(TBasicAction* value) {
  if (GetAction() == value) return;
  if (!value) {
    orv::Free(FActionLink);
    FActionLink = nullptr;
    return;
  }
  const Boolean loading = value->GetComponentState().Contains(csLoading);
  TdxBarManager* manager = FBarManager;
  if (loading && manager) manager->LockDesignerModified(true);
  try {
    if (!FActionLink)
      FActionLink = orv::ClassOf<TdxBarItemActionLink>(GetActionLinkClass()).Create(static_cast<TObject*>(this));
    FActionLink->SetAction(value);
    FActionLink->SetOnChange(TNotifyEvent(this, &TdxBarItem::ActionLinkChanged));
    ActionChange(value, loading);
    value->FreeNotification(this);
  } catch (...) {
    if (loading && manager) manager->LockDesignerModified(false);
    throw;
  }
  if (loading && manager) manager->LockDesignerModified(false);
}

void TdxBarItem::ActionLinkChanged(TObject* sender) {
  // Each changed value of the action already reached the item through the link's setters, which
  // leave alone what the item no longer takes from the action. The whole-action notice only
  // fills what is still empty: copying every value again would wipe the item's own ones (its
  // shortcut when the action has none) whenever the action is enabled or its list gets images.
  if (TBasicAction* action = FActionLink ? FActionLink->GetAction() : nullptr) ActionChange(action, true);
}

void TdxBarItem::ActionChange(TObject* sender, Boolean checkDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || GetCaption().empty()) {
    orv::TFlagScope scope(FCheckDefaults, checkDefaults);
    SetCaption(action->GetCaption());
  }
  if (auto* button = dynamic_cast<TdxBarButton*>(this); button && (!checkDefaults || !button->GetDown()))
    button->SetDown(action->GetChecked());
  if (!checkDefaults || GetEnabled()) SetEnabled(action->GetEnabled());
  if (!checkDefaults || FHelpContext == 0) SetHelpContext(action->GetHelpContext());
  if (!checkDefaults || FHint.empty()) SetHint(action->GetHint());
  if (!checkDefaults || GetActionImageIndex() == -1) SetActionImageIndex(action->GetImageIndex());
  if (!checkDefaults || FShortCut == 0) SetShortCut(action->GetShortCut());
  if (!checkDefaults || GetVisibleValue() == ivAlways) SetVisible(action->GetVisible() ? ivAlways : ivNever);
  if (!checkDefaults || !FOnClick) SetOnClick(action->GetOnExecute());
}

void TdxBarItem::SetAlign(TdxBarItemAlign value) {
  if (FAlign == value) return;
  FAlign = value;
  RepaintBars();
}

AnsiString TdxBarItem::CaptionForHint(const AnsiString& caption) {
  AnsiString text = caption;
  EraseFirst(text, "&");
  EraseFirst(text, "...");
  return text;
}

Boolean TdxBarItem::IsHintFromCaption() const { return ShortHintPart(FHint) == GetCaptionForHint(); }

void TdxBarItem::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  const Boolean hintFollows = !FCheckDefaults && !dynamic_cast<TCustomdxBarSubItem*>(this) &&
                              (FHint.empty() || IsHintFromCaption());
  FCaption = value;
  if (IsLoadingNow()) return;
  if (hintFollows) {
    AnsiString hint = CaptionForHint(GetCaption());
    const size_t bar = FHint.find('|');
    if (bar != AnsiString::npos) hint += FHint.substr(bar);
    FHint = hint;
  }
  CaptionChanged();
}

Boolean TdxBarItem::IsCaptionStored() const { return !(FActionLink && FActionLink->IsCaptionLinked()); }
Boolean TdxBarItem::IsEnabledStored() const { return !(FActionLink && FActionLink->IsEnabledLinked()); }
Boolean TdxBarItem::IsHelpContextStored() const { return !(FActionLink && FActionLink->IsHelpContextLinked()); }
Boolean TdxBarItem::IsHintStored() const { return !(FActionLink && FActionLink->IsHintLinked()); }
Boolean TdxBarItem::IsImageIndexStored() const { return !(FActionLink && FActionLink->IsImageIndexLinked()); }
Boolean TdxBarItem::IsShortCutStored() const { return !(FActionLink && FActionLink->IsShortCutLinked()); }
Boolean TdxBarItem::IsVisibleStored() const { return !(FActionLink && FActionLink->IsVisibleLinked()); }
Boolean TdxBarItem::IsOnClickStored() const { return !(FActionLink && FActionLink->IsOnExecuteLinked()); }

void TdxBarItem::SetCategory(Integer value) {
  if (FCategory == value) return;
  if (IsLoadingNow()) {
    FCategory = value;
    return;
  }
  if (!FBarManager || value < 0 || value >= FBarManager->GetCategories()->GetCount()) return;
  // The item moves behind the last item of its new category.
  const Integer own = GetIndex();
  Integer last = -1;
  for (Integer i = 0; i < FBarManager->GetItemCount(); ++i)
    if (i != own && FBarManager->GetItem(i)->GetCategory() == value) last = i;
  if (last >= 0 && own >= 0) FBarManager->MoveItem(own, last < own ? last + 1 : last);
  FCategory = value;
  NotifyChanged(true);
}

void TdxBarItem::SetDescription(const AnsiString& value) {
  if (FDescription == value) return;
  FDescription = value;
  NotifyChanged();
}

Boolean TdxBarItem::GetEnabled() {
  // While the user customizes, items of the command list can be dragged even when disabled.
  if (FBarManager && !FBarManager->IsDesigning() && FBarManager->IsCustomizing() && FCategory >= 0) return true;
  return FEnabled;
}

void TdxBarItem::SetEnabled(Boolean value) {
  if (FEnabled == value) return;
  FEnabled = value;
  if (!IsLoadingNow()) EnabledChanged();
}

TcxStyle* TdxBarItem::GetStyle() const { return FStylesData->GetStyle(0); }
void TdxBarItem::SetStyle(TcxStyle* value) { FStylesData->SetStyle(0, value); }

TdxBarItemVisible TdxBarItem::GetVisibleValue() const { return IsLoadingNow() ? FLoadedVisible : FVisible; }

void TdxBarItem::SetVisible(TdxBarItemVisible value) {
  if (IsLoadingNow()) {
    FLoadedVisible = value;
    return;
  }
  if (FVisible == value) return;
  FVisible = value;
  if (!IsDesigningNow()) VisibleChanged();
}

void TdxBarItem::ApplyLoadedVisible() {
  if (FVisible == FLoadedVisible) return;
  FVisible = FLoadedVisible;
  if (!IsDesigningNow()) VisibleChanged();
}

void TdxBarItem::SetGlyph(TBitmap* value) { FGlyph->Assign(value); }
void TdxBarItem::SetLargeGlyph(TBitmap* value) { FLargeGlyph->Assign(value); }

void TdxBarItem::SetImageIndex(Integer value) {
  if (FImageIndex == value) return;
  FImageIndex = value;
  GlyphChanged();
}

void TdxBarItem::SetLargeImageIndex(Integer value) {
  if (FLargeImageIndex == value) return;
  FLargeImageIndex = value;
  LargeGlyphChanged();
}

void TdxBarItem::SetShortCut(TShortCut value) {
  if (FShortCut == value) return;
  FShortCut = value;
  if (!IsLoadingNow()) ShortCutChanged();
}

void TdxBarItem::SetPaintStyle(TdxBarPaintStyle value) {
  if (FPaintStyle == value) return;
  FPaintStyle = value;
  if (!IsLoadingNow()) PaintStyleChanged();
}

void TdxBarItem::SetShowCaption(Boolean value) {
  if (FShowCaption == value) return;
  FShowCaption = value;
  if (!IsLoadingNow()) RepaintBars();
}

void TdxBarItem::SetWidth(Integer value) {
  if (FWidth == value || value < 0) return;
  FWidth = value;
  WidthChanged();
}

void TdxBarItem::SetGlyphLayout(TdxBarGlyphLayout value) {
  if (FGlyphLayout == value) return;
  FGlyphLayout = value;
  RepaintBars();
}

Boolean TdxBarItem::GetRealVisible() {
  const Boolean customizing = FBarManager && FBarManager->InCustomizingMode();
  switch (FVisible) {
    case ivAlways: return CanBeVisible() || customizing;
    case ivInCustomizing: return customizing;
    default: return false;
  }
}

TCustomImageList* TdxBarItem::GetImages() const { return FBarManager ? FBarManager->GetImages() : nullptr; }

Boolean TdxBarItem::IsImageValid() {
  TCustomImageList* images = GetImages();
  return images && FImageIndex >= 0 && FImageIndex < images->GetCount();
}

TClass TdxBarItem::GetControlClass(Boolean textRotated) {
  TdxBarItemList* list = GetBarItemClassList();
  if (!list) return nullptr;
  for (Integer i = 0; i < list->GetCount(); ++i)
    if (list->GetItemClass(i) == ClassType()) return list->GetRecord(i)->ControlClass;
  return nullptr;
}

AnsiString TdxBarItem::GetDefaultCaption() { return LoadResString(&dxSBAR_NEWITEMCAPTION); }

Boolean TdxBarItem::IsShortCut(TShortCut shortCut) {
  if (shortCut == 0 || !GetEnabled()) return false;
  if (CanClick() && FShortCut == shortCut) {
    DoClick();
    return true;
  }
  TdxBarItemLinks* links = GetItemLinks();
  return links && links->IsShortCut(shortCut);
}

// ---- Change fan-out. The item controls that show the links hear these once the bar windows
// exist; the model side tells the component lists and the links.

void TdxBarItem::CaptionChanged() {
  ForEachLink([](TdxBarItemLink* link) {
    if (TdxBarItemControl* control = link->GetControl()) control->CaptionChanged();
  });
  NotifyChanged();
}
void TdxBarItem::EnabledChanged() {
  ForEachLink([](TdxBarItemLink* link) {
    if (TdxBarItemControl* control = link->GetControl()) control->EnabledChanged();
  });
}
void TdxBarItem::GlyphChanged() {
  ForEachLink([](TdxBarItemLink* link) {
    if (TdxBarItemControl* control = link->GetControl()) control->GlyphChanged();
  });
  NotifyChanged();
}
void TdxBarItem::HotGlyphChanged() {}
void TdxBarItem::LargeGlyphChanged() { NotifyChanged(); }
void TdxBarItem::ShortCutChanged() {
  RepaintBars(TdxBarKinds{bkSubMenu});
  NotifyChanged();
}

void TdxBarItem::VisibleChanged() {
  TdxBarManager* manager = FBarManager;
  if (manager) manager->BeginUpdate();
  try {
    ForEachLink([](TdxBarItemLink* link) { link->RecalcVisible(); });
  } catch (...) {
    if (manager) manager->EndUpdate();
    NotifyChanged();
    throw;
  }
  if (manager) manager->EndUpdate();
  NotifyChanged();
}

void TdxBarItem::WidthChanged() {}
void TdxBarItem::UpdateControlsLayout() {}
void TdxBarItem::InvalidateControls() {
  ForEachLink([](TdxBarItemLink* link) {
    if (TdxBarItemControl* control = link->GetControl()) control->Invalidate();
  });
}
void TdxBarItem::RepaintBars(TdxBarKinds kinds) {}

void TdxBarItem::StyleChanged(Integer changeKind) {
  if (GetComponentState().Contains(csDestroying)) return;
  if (changeKind == 1) {
    RepaintBars();
  } else if (changeKind == 0) {
    InvalidateControls();
  }
}

TcxViewParams TdxBarItem::GetStyleViewParams(TcxStyle* style) const {
  TcxViewParams params;
  if (!style) return params;
  const TcxStyleValues assigned = style->GetAssignedValues();
  if (assigned.Contains(svBitmap)) params.Bitmap = style->GetBitmap();
  if (assigned.Contains(svColor)) params.Color = style->GetColor();
  if (assigned.Contains(svFont)) params.Font = style->GetFont();
  if (assigned.Contains(svTextColor)) params.TextColor = style->GetTextColor();
  return params;
}

TcxViewParams TdxBarItem::GetViewParams() const { return GetStyleViewParams(GetStyle()); }

// ---- Click path

void TdxBarItem::DoClick() {
  if (CanClick()) DirectClick();
}

void TdxBarItem::DirectClick() {
  if (!GetEnabled()) return;
  // The manager's handler may free the item; the item's own click runs only if it lives.
  orv::TObjectLinkGuard guard(this);
  try {
    if (FBarManager) FBarManager->DoClickItem(this);
    if (guard.Alive()) Click();
  } catch (...) {
    if (Application) Application->HandleException(guard.Alive() ? this : nullptr);
  }
}

void TdxBarItem::Click() {
  TBasicAction* action = GetAction();
  if (FOnClick && (!action || !(FOnClick == action->GetOnExecute())))
    FOnClick(this);
  else if (!IsDesigningNow() && FActionLink)
    FActionLink->Execute(this);
}

// ---- Component overrides

void TdxBarItem::Assign(TPersistent* source) {
  auto* item = dynamic_cast<TdxBarItem*>(source);
  if (!item) {
    inherited::Assign(source);
    return;
  }
  SetAction(item->GetAction());
  SetAlign(item->FAlign);
  SetCaption(item->GetCaption());
  SetCategory(item->FCategory);
  SetDescription(item->FDescription);
  SetEnabled(item->GetEnabled());
  SetHelpContext(item->FHelpContext);
  SetHint(item->FHint);
  SetKeyTip(item->FKeyTip);
  SetMergeKind(item->FMergeKind);
  SetMergeOrder(item->FMergeOrder);
  SetStyle(item->GetStyle());
  SetVisible(item->FVisible);
  FUserData = item->FUserData;
  SetGlyph(item->FGlyph);
  SetImageIndex(item->FImageIndex);
  SetLargeGlyph(item->FLargeGlyph);
  SetLargeImageIndex(item->FLargeImageIndex);
  SetShortCut(item->FShortCut);
  SetOnClick(item->FOnClick);
}

void TdxBarItem::AssignTo(TPersistent* dest) {
  auto* action = dynamic_cast<TCustomAction*>(dest);
  if (!action) {
    inherited::AssignTo(dest);
    return;
  }
  action->SetCaption(GetCaption());
  if (auto* button = dynamic_cast<TdxBarButton*>(this)) action->SetChecked(button->GetDown());
  action->SetEnabled(GetEnabled());
  action->SetHelpContext(FHelpContext);
  action->SetHint(FHint);
  action->SetImageIndex(FImageIndex);
  action->SetShortCut(FShortCut);
  if (FVisible != ivInCustomizing) action->SetVisible(FVisible == ivAlways);
  action->SetOnExecute(FOnClick);
}

void TdxBarItem::Loaded() {
  inherited::Loaded();
  ApplyLoadedVisible();
  if (TBasicAction* action = GetAction()) ActionChange(action, true);
  FireNotifyEvent(this, FOnLoaded);
}

void TdxBarItem::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component && component == GetAction()) SetAction(nullptr);
  if (operation == opRemove && component && component == FScreenTip) FScreenTip = nullptr;
}

void TdxBarItem::ReadState(TReader* reader) {
  inherited::ReadState(reader);
  if (auto* manager = dynamic_cast<TdxBarManager*>(reader->GetParent())) {
    manager->AddItem(this);
    BarManagerChanged();
  }
}

void TdxBarItem::SetName(const AnsiString& newName) {
  inherited::SetName(newName);
  if (!(IsDesigningNow() && newName.empty())) NotifyChanged();
}

TComponent* TdxBarItem::GetParentComponent() const { return FCategory >= 0 ? FBarManager : nullptr; }

void TdxBarItem::SetParentComponent(TComponent* value) {
  // While loading, the reader's parent registers the item (ReadState).
  if (GetComponentState().Contains(csLoading)) return;
  auto* manager = dynamic_cast<TdxBarManager*>(value);
  if (!manager) throw EConvertError("Invalid class typecast");
  manager->AddItem(this);
  BarManagerChanged();
}

// ---- Designer and customizing selection

// Command sets of the customizing menus: the run-time set, and the design-time set while the
// design controller customizes a link.
constexpr Integer kRunTimeItemCommands = 1049;
constexpr Integer kDesignItemCommands = 2;
constexpr Integer kDesignLinkCommands = 7903;

Boolean TdxBarItem::IsDeletable(Boolean forced) {
  return (GetLinkCount() > 0 && !forced) || inherited::IsDeletable(forced);
}

void TdxBarItem::DeleteSelectable(TObject*& selection, Boolean forced) {
  if (forced || GetLinkCount() == 0)
    inherited::DeleteSelectable(selection, forced);
  else
    DeleteLinks();
}

void TdxBarItem::AddSelectionOwner(TdxObjectList* list) {
  if (FBarManager) list->AddUnique(FBarManager->GetOwner());
}

TdxBarItemLink* TdxBarItem::GetSelectedLink() const {
  for (TdxBarItemLink* link : FLinks) {
    TdxBarItemControl* control = link->GetControl();
    if (control && control->GetParent() && control->GetParent()->GetSelectedItemControl() == control) return link;
  }
  return nullptr;
}

TObject* TdxBarItem::GetNextSelectableItem() {
  TdxBarItemLink* start = GetSelectedLink();
  for (TdxBarItemLink* link = start ? start->GetNextLink() : nullptr; link && link != start; link = link->GetNextLink())
    if (link->GetItem() != this) return link->GetItem();
  return nullptr;
}

TObject* TdxBarItem::GetSelectableParent() {
  TdxBarItemLink* link = GetSelectedLink();
  return link ? link->GetLinksOwnerObject() : nullptr;
}

void TdxBarItem::ApplyCommand(Integer command) {
  if (GetLinkCount() != 1) return;
  TdxBarItemLink* link = GetLink(0);
  TdxBarDesignController* controller = GetBarDesignController();
  if (controller && !controller->IsLastSelected(link)) link->ApplyCustomizingLinkProperty(command);
}

Integer TdxBarItem::GetCustomizationCommands() {
  if (!IsDesigningNow()) return kRunTimeItemCommands;
  TdxBarDesignController* controller = GetBarDesignController();
  return controller && controller->HasCustomizingLink() ? kDesignLinkCommands : kDesignItemCommands;
}

void TdxBarItem::ActivateInDesigner() {
  if (FBarManager) FBarManager->EditItem(this);
}

TClass TdxBarItem::GetActionLinkClass() { return TdxBarItemActionLink::StaticClass(); }

// ---- Action link

TdxBarItemActionLink::TdxBarItemActionLink(TObject* client) : TActionLink(client) { AssignClient(client); }

void TdxBarItemActionLink::AssignClient(TObject* client) {
  FClient = dynamic_cast<TdxBarItem*>(client);
  if (!FClient) throw EConvertError("Invalid class typecast");
}

bool TdxBarItemActionLink::IsCaptionLinked() {
  return inherited::IsCaptionLinked() && FClient->GetCaption() == CustomAction()->GetCaption();
}
bool TdxBarItemActionLink::IsCheckedLinked() {
  auto* button = dynamic_cast<TdxBarButton*>(FClient);
  return inherited::IsCheckedLinked() && button && button->GetDown() == CustomAction()->GetChecked();
}
bool TdxBarItemActionLink::IsEnabledLinked() {
  return inherited::IsEnabledLinked() && FClient->GetEnabled() == CustomAction()->GetEnabled();
}
bool TdxBarItemActionLink::IsHelpContextLinked() {
  return inherited::IsHelpContextLinked() && FClient->GetHelpContext() == CustomAction()->GetHelpContext();
}
bool TdxBarItemActionLink::IsHintLinked() {
  return inherited::IsHintLinked() &&
         (FClient->GetHint() == CustomAction()->GetHint() || FClient->IsHintFromCaption());
}
bool TdxBarItemActionLink::IsImageIndexLinked() {
  return inherited::IsImageIndexLinked() && FClient->GetActionImageIndex() == CustomAction()->GetImageIndex();
}
bool TdxBarItemActionLink::IsShortCutLinked() {
  return inherited::IsShortCutLinked() && FClient->GetShortCut() == CustomAction()->GetShortCut();
}
bool TdxBarItemActionLink::IsVisibleLinked() {
  return inherited::IsVisibleLinked() &&
         FClient->GetVisibleValue() == (CustomAction()->GetVisible() ? ivAlways : ivNever);
}
bool TdxBarItemActionLink::IsOnExecuteLinked() { return FAction && FClient->GetOnClick() == FAction->GetOnExecute(); }

void TdxBarItemActionLink::SetCaption(const AnsiString& value) {
  if (IsCaptionLinked()) FClient->SetCaption(value);
}
void TdxBarItemActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) static_cast<TdxBarButton*>(FClient)->SetDown(value);
}
void TdxBarItemActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked()) FClient->SetEnabled(value);
}
void TdxBarItemActionLink::SetHelpContext(Integer value) {
  if (IsHelpContextLinked()) FClient->SetHelpContext(value);
}
void TdxBarItemActionLink::SetHint(const AnsiString& value) {
  if (IsHintLinked()) FClient->SetHint(value);
}
void TdxBarItemActionLink::SetImageIndex(Integer value) {
  if (IsImageIndexLinked()) FClient->SetActionImageIndex(value);
}
void TdxBarItemActionLink::SetShortCut(TShortCut value) {
  if (IsShortCutLinked()) FClient->SetShortCut(value);
}
void TdxBarItemActionLink::SetVisible(bool value) {
  if (IsVisibleLinked()) FClient->SetVisible(value ? ivAlways : ivNever);
}
void TdxBarItemActionLink::SetOnExecute(TNotifyEvent value) {
  if (IsOnExecuteLinked()) FClient->SetOnClick(value);
}

// ---- Item styles data

TdxBarItemStylesData::TdxBarItemStylesData(Integer count, TChangeEvent onChange)
    : FSlots(size_t(std::max(count, 1))), FOnChange(std::move(onChange)) {}

TdxBarItemStylesData::~TdxBarItemStylesData() {
  FDestroying = true;
  for (Integer i = 0; i < GetCount(); ++i) SetStyle(i, nullptr);
}

TcxStyle* TdxBarItemStylesData::GetStyle(Integer index) const {
  return index >= 0 && index < GetCount() ? FSlots[size_t(index)].Style : nullptr;
}

Integer TdxBarItemStylesData::HoldCount(TcxStyle* style) const {
  Integer n = 0;
  for (const TSlot& slot : FSlots) n += slot.Style == style;
  return n;
}

void TdxBarItemStylesData::SetStyle(Integer index, TcxStyle* style) {
  if (index < 0 || index >= GetCount() || FSlots[size_t(index)].Style == style) return;
  TcxStyle* old = FSlots[size_t(index)].Style;
  FSlots[size_t(index)].Style = style;
  if (old && HoldCount(old) == 0) old->RemoveListener(this);
  if (style && HoldCount(style) == 1) style->AddListener(this);
  Update(index);
}

void TdxBarItemStylesData::Update(Integer index) {
  if (FDestroying) return;
  TSlot& slot = FSlots[size_t(index)];
  TSnapshot now;
  if (TcxStyle* style = slot.Style) {
    now.Assigned = style->GetAssignedValues();
    now.Assigned.Exclude(svBitmap);
    if (now.Assigned.Contains(svColor)) now.Color = ColorToRGB(style->GetColor());
    if (now.Assigned.Contains(svTextColor)) now.TextColor = ColorToRGB(style->GetTextColor());
    if (now.Assigned.Contains(svFont)) {
      TFont* font = style->GetFont();
      now.FontHeight = font->GetHeight();
      now.FontPitch = Integer(font->GetPitch());
      now.FontStyle = Integer(font->GetStyle().Bits());
      now.FontCharset = Integer(font->GetCharset());
      now.FontName = font->GetName().substr(0, 31);
    }
  }
  const TSnapshot& was = slot.Snapshot;
  auto colorChanged = [](TcxStyleValue value, const TSnapshot& a, const TSnapshot& b, TColor ca, TColor cb) {
    return a.Assigned.Contains(value) != b.Assigned.Contains(value) || (a.Assigned.Contains(value) && ca != cb);
  };
  const Boolean color = colorChanged(svColor, was, now, was.Color, now.Color);
  const Boolean textColor = colorChanged(svTextColor, was, now, was.TextColor, now.TextColor);
  const Boolean font =
      was.Assigned.Contains(svFont) != now.Assigned.Contains(svFont) ||
      (now.Assigned.Contains(svFont) &&
       (was.FontHeight != now.FontHeight || was.FontPitch != now.FontPitch || was.FontStyle != now.FontStyle ||
        was.FontCharset != now.FontCharset || was.FontName != now.FontName));
  slot.Snapshot = now;
  if (font)
    Notify(1);
  else if (color || textColor)
    Notify(0);
}

void TdxBarItemStylesData::Notify(Integer kind) {
  if (FLockCount > 0) {
    if (FPending != 1) FPending = kind;
    return;
  }
  if (FOnChange) FOnChange(kind);
}

void TdxBarItemStylesData::Lock() {
  if (FLockCount++ == 0) FPending = 2;
}

void TdxBarItemStylesData::Unlock() {
  if (FLockCount <= 0 || --FLockCount > 0) return;
  if (FPending != 2) {
    const Integer kind = FPending;
    FPending = 2;
    Notify(kind);
  }
}

void TdxBarItemStylesData::StyleModified(TcxCustomStyle* style) {
  Lock();
  for (Integer i = 0; i < GetCount(); ++i)
    if (FSlots[size_t(i)].Style == style) Update(i);
  Unlock();
}

void TdxBarItemStylesData::StyleDestroying(TcxCustomStyle* style) {
  Lock();
  for (Integer i = 0; i < GetCount(); ++i)
    if (FSlots[size_t(i)].Style == style) SetStyle(i, nullptr);
  Unlock();
}

// ---- Buttons, labels and separators

TdxBarButton::TdxBarButton(TComponent* owner) : TdxBarItem(owner) { SetUnclickAfterDoing(true); }

AnsiString TdxBarButton::GetDefaultCaption() { return LoadResString(&dxSBAR_NEWBUTTONCAPTION); }

void TdxBarButton::SetButtonStyle(TdxBarButtonStyle value) {
  if (Integer(value) == FStyleBits) return;
  FStyleBits = Integer(value);
  SetDown(false);
  if (!IsLoadingNow()) RepaintBars();
  NotifyChanged();
}

namespace {

// Whether links hold an item, themselves or through the menus of their sub items and
// drop-down buttons (a bound on the depth keeps a broken chain from looping).
Boolean LinksHoldItem(TdxBarItemLinks* links, TdxBarItem* item, Integer depth) {
  if (!links || depth > 64) return false;
  for (Integer i = 0; i < links->GetCount(); ++i) {
    TdxBarItem* linked = links->GetItem(i)->GetItem();
    if (!linked) continue;
    if (linked == item) return true;
    TdxBarItemLinks* nested = linked->GetItemLinks();
    if (auto* button = dynamic_cast<TdxBarButton*>(linked); button && button->GetDropDownMenu())
      nested = button->GetDropDownMenu()->GetLinks();
    if (LinksHoldItem(nested, item, depth + 1)) return true;
  }
  return false;
}

}  // namespace

void TdxBarButton::SetDropDownMenu(TdxBarPopupMenu* value) {
  if (FDropDownMenu == value) return;
  if (value && LinksHoldItem(value->GetLinks(), this, 0)) throw EdxException(LoadResString(&dxSBAR_RECURSIVEMENUS));
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = value;
  if (value) value->FreeNotification(this);
}

void TdxBarButton::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FDropDownMenu) FDropDownMenu = nullptr;
}

void TdxBarButton::DropDown(TdxBarItemControl* control, Integer x, Integer y, Boolean byMouse) {
  if (!FDropDownMenu || !control) return;
  TCustomdxBarControl* bar = control->GetParent();
  const TRect r = control->GetItemRect();
  // Beside a menu item or a button of a vertical bar, below a button of a horizontal one.
  const Boolean beside = bar && (bar->GetKind() == 2 || bar->IsVertical());
  auto* buttonControl = dynamic_cast<TdxBarButtonLikeControl*>(control);
  const Boolean animate = buttonControl && buttonControl->GetShowAnimation();
  // In a flat look the menu keeps clear of the button and joins it.
  const Boolean excluding = bar && control->NeedDropDownExcludeRect();
  const TRect exclude = excluding ? bar->GetItemControlScreenRect(control) : TRect{};
  orv::TObjectLinkGuard controlAlive(control);
  orv::TObjectLinkGuard barAlive(bar);
  TdxBarPopupMenu* menu = FDropDownMenu;
  orv::TObjectLinkGuard menuAlive(menu);
  menu->PopupEx(x, y, beside ? r.Width() : 0, beside ? 0 : r.Height(), animate, excluding ? &exclude : nullptr, false,
                bar);
  if (!controlAlive.Alive() || !menuAlive.Alive() || !bar || !barAlive.Alive()) return;
  TdxBarSubMenuControl* window = menu->GetSubMenuControl();
  if (!window) return;
  // Opened from a menu, the drop-down menu is the next level of that menu's chain.
  if (bar->GetKind() == 2) bar->SetChildBarControl(window);
}

TdxBarItemLinks* TdxBarButton::GetItemLinks() { return FDropDownMenu ? FDropDownMenu->GetItemLinks() : nullptr; }

void TdxBarButton::SetDropDownEnabled(Boolean value) {
  if (FDropDownEnabled == value) return;
  FDropDownEnabled = value;
  if (!IsLoadingNow()) InvalidateControls();
}

void TdxBarButton::SetLowered(Boolean value) {
  if (FLowered == value) return;
  FLowered = value;
  if (!IsLoadingNow()) RepaintBars();
}

void TdxBarButton::SetGroupIndex(Integer value) {
  if (FGroupIndex == value) return;
  FGroupIndex = IsCheckable() ? value : 0;
  SetDown(false);
}

void TdxBarButton::SetAllowAllUp(Boolean value) {
  if (FAllowAllUp == value) return;
  FAllowAllUp = value;
  // A group shares one setting.
  if (FGroupIndex == 0 || !FBarManager) return;
  for (Integer i = 0; i < FBarManager->GetItemCount(); ++i)
    if (auto* button = dynamic_cast<TdxBarButton*>(FBarManager->GetItem(i)); button && button->FGroupIndex == FGroupIndex)
      button->FAllowAllUp = value;
}

Boolean TdxBarButton::IsGroupDownButton() {
  if (!FBarManager) return false;
  for (Integer i = 0; i < FBarManager->GetItemCount(); ++i) {
    auto* button = dynamic_cast<TdxBarButton*>(FBarManager->GetItem(i));
    if (button && button != this && button->IsCheckable() && button->FGroupIndex == FGroupIndex && button->FDown)
      return true;
  }
  return false;
}

TdxBarButton* TdxBarButton::FindDownGroupButton() {
  if (!FBarManager) return nullptr;
  for (Integer i = 0; i < FBarManager->GetItemCount(); ++i) {
    auto* button = dynamic_cast<TdxBarButton*>(FBarManager->GetItem(i));
    if (button && button->IsCheckable() && button->FGroupIndex == FGroupIndex && button->FDown) return button;
  }
  return nullptr;
}

void TdxBarButton::SetDown(Boolean value) {
  if (FDown == value || (value && !IsCheckable())) return;
  TdxBarButton* released = nullptr;
  const Boolean loading = IsLoadingNow();
  if (!loading && IsCheckable() && FGroupIndex != 0) {
    if (value)
      released = FindDownGroupButton();
    else if (!FAllowAllUp && !IsGroupDownButton())
      return;  // the last down button of a group stays down
  }
  FDown = value;
  if (loading) return;
  InvalidateControls();
  if (released && released != this) {
    // The other button may be released only because this one is down now.
    released->FDown = false;
    released->InvalidateControls();
  }
}

Boolean TdxBarButton::IsDownStored() const {
  TdxBarItemActionLink* link = GetActionLink();
  return !(link && link->IsCheckedLinked());
}

Boolean TdxBarButton::CanUseAccelerator(TdxBarItemLink* link) {
  if (!GetEnabled()) return false;
  if (link && dynamic_cast<TdxBar*>(link->GetOwnerLinks()->GetOwnerComponent())) {
    const TdxBarPaintStyle style = link->GetPaintStyle();
    return style == psCaption || style == psCaptionGlyph;
  }
  return true;
}

void TdxBarButton::PaintStyleChanged() {}

void TdxBarButton::DoClick() {
  if (GetEnabled() && IsCheckable()) SetDown(!FDown);
  inherited::DoClick();
}

Integer TdxBarButton::GetCustomizationCommands() {
  return inherited::GetCustomizationCommands() | (IsDesigningNow() ? 0x120 : 0x20);
}

// ---- Large buttons

TdxBarLargeButton::TdxBarLargeButton(TComponent* owner) : TdxBarButton(owner), FHotGlyph(new TBitmap) {
  FHotGlyph->SetOnChange(TNotifyEvent(this, &TdxBarLargeButton::HotGlyphBitmapChanged));
  SetShowCaption(true);
}

TdxBarLargeButton::~TdxBarLargeButton() { orv::Free(FHotGlyph); }

void TdxBarLargeButton::SetAutoGrayScale(Boolean value) {
  if (FAutoGrayScale == value) return;
  FAutoGrayScale = value;
  InvalidateControls();
}

void TdxBarLargeButton::SetHeight(Integer value) {
  if (FHeight == value || value < 0) return;
  FHeight = value;
  RepaintBars();
}

void TdxBarLargeButton::SetHotGlyph(TBitmap* value) { FHotGlyph->Assign(value); }

void TdxBarLargeButton::SetHotImageIndex(Integer value) {
  if (FHotImageIndex == value) return;
  FHotImageIndex = value;
  HotGlyphChanged();
}

Boolean TdxBarLargeButton::IsHotImageValid() {
  TCustomImageList* images = FBarManager ? FBarManager->GetHotImages() : nullptr;
  return images && FHotImageIndex >= 0 && FHotImageIndex < images->GetCount();
}

Boolean TdxBarLargeButton::IsLargeImageValid() {
  TCustomImageList* images = FBarManager ? FBarManager->GetLargeImages() : nullptr;
  return images && GetLargeImageIndex() >= 0 && GetLargeImageIndex() < images->GetCount();
}

// While SyncImageIndex holds, ImageIndex mirrors LargeImageIndex. A description holds
// ImageIndex only when the two were made to differ; since it may come in any order with the
// other two values, loading notes which of them it set and decides once it has seen them.
void TdxBarLargeButton::SetImageIndex(Integer value) {
  const Boolean loading = IsLoadingNow();
  if (loading && !FInSync) FSetImageIndex = true;
  inherited::SetImageIndex(value);
  if (FInSync) return;
  if (loading && GetLargeImageIndex() == -1 && (FSyncImageIndex || !FSetSyncImageIndex)) {
    orv::TFlagScope sync(FInSync, true);
    SetLargeImageIndex(GetImageIndex());
  } else if (!FSetSyncImageIndex) {
    FSyncImageIndex = false;  // a hand-set small index breaks the mirror
  }
}

void TdxBarLargeButton::SetLargeImageIndex(Integer value) {
  if (IsLoadingNow() && !FInSync) FSetLargeImageIndex = true;
  inherited::SetLargeImageIndex(value);
}

void TdxBarLargeButton::LargeGlyphChanged() {
  if (!FInSync && FSyncImageIndex) {
    if (IsLoadingNow() && FSetImageIndex) {
      FSyncImageIndex = GetLargeImageIndex() == GetImageIndex();
    } else {
      orv::TFlagScope sync(FInSync, true);
      SetImageIndex(GetLargeImageIndex());
    }
  }
  inherited::LargeGlyphChanged();
}

void TdxBarLargeButton::SetSyncImageIndex(Boolean value) {
  if (IsLoadingNow() && !FInSync) FSetSyncImageIndex = true;
  if (FSyncImageIndex == value) return;
  FSyncImageIndex = value;
  if (value) LargeGlyphChanged();
}

Boolean TdxBarLargeButton::CanUseAccelerator(TdxBarItemLink* link) {
  if (!inherited::CanUseAccelerator(link)) return false;
  const Boolean onToolbar = link && dynamic_cast<TdxBar*>(link->GetOwnerLinks()->GetOwnerComponent());
  return !onToolbar || GetShowCaption();
}

Integer TdxBarLargeButton::GetCustomizationCommands() { return inherited::GetCustomizationCommands() & ~0x20; }

void TdxBarLargeButton::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("ImageIndex", TReaderProc(this, &TdxBarLargeButton::ReadImageIndex),
                        TWriterProc(this, &TdxBarLargeButton::WriteImageIndex), !FSyncImageIndex);
}

void TdxBarLargeButton::ReadImageIndex(TReader* reader) { SetImageIndex(reader->ReadInteger()); }
void TdxBarLargeButton::WriteImageIndex(TWriter* writer) { writer->WriteInteger(GetImageIndex()); }

void TdxBarLargeButton::Loaded() {
  inherited::Loaded();
  FSetImageIndex = FSetLargeImageIndex = FSetSyncImageIndex = false;
}

TdxBarLabel::TdxBarLabel(TComponent* owner) : TdxBarItem(owner) { SetShowCaption(true); }

Boolean TdxBarSeparator::CanBePlacedOn(Integer barKind, TdxBar* bar, AnsiString& errorText) {
  if (barKind == 1) return true;
  errorText = LoadResString(&dxSBAR_CANTPLACESEPARATOR);
  return false;
}

AnsiString TdxBarSeparator::GetDefaultCaption() { return LoadResString(&dxSBAR_NEWSEPARATORCAPTION); }

// ---- Sub items

TCustomdxBarSubItem::TCustomdxBarSubItem(TComponent* owner) : TdxBarItem(owner) {
  FItemLinks = new TdxBarItemLinks(GetBarManager(), this);
  SetShowCaption(true);
}

TCustomdxBarSubItem::~TCustomdxBarSubItem() {
  SetDetachingBar(-1);
  orv::Free(FItemLinks);
}

Integer TCustomdxBarSubItem::GetCustomizationCommands() {
  return inherited::GetCustomizationCommands() | (IsDesigningNow() ? 0x100 : 0);
}

void TCustomdxBarSubItem::BarManagerChanged() { FItemLinks->SetBarManager(GetBarManager()); }

Boolean TCustomdxBarSubItem::CanContainItem(TdxBarItem* item, AnsiString& errorText) {
  if (!item->CanBePlacedOn(1, nullptr, errorText)) return false;
  if (TdxBarItemLinks* links = GetOwnerItemLinks(item); links && links->HasLinksOwner(this)) {
    errorText = GetLocalizedResourceString(&dxSBAR_RECURSIVEMENUS);
    return false;
  }
  return true;
}

void TCustomdxBarSubItem::SetInternal(Boolean value) { FItemLinks->SetInternal(value); }

Integer TCustomdxBarSubItem::GetDetachingBar() const { return FDetachingBar ? FDetachingBar->GetIndex() : -1; }

void TCustomdxBarSubItem::SetDetachingBar(Integer value) {
  TdxBarManager* manager = GetBarManager();
  const Integer count = manager ? manager->GetBarCount() : 0;
  if (value < -1 || value >= count || count == 0) value = -1;
  if (value == GetDetachingBar()) return;
  if (FDetachingBar) FDetachingBar->RemoveFreeNotification(this);
  FDetachingBar = value >= 0 ? manager->GetBar(value) : nullptr;
  if (FDetachingBar) FDetachingBar->AddFreeNotification(this);
}

void TCustomdxBarSubItem::BarRemoved(TdxBar* bar) {
  if (bar && bar == FDetachingBar) FDetachingBar = nullptr;
}

AnsiString TdxBarSubItem::GetDefaultCaption() { return LoadResString(&dxSBAR_NEWSUBITEMCAPTION); }

void TCustomdxBarContainerItem::AddListItems(TdxBarItemLinks* links, Integer index, TdxBarItemLink* sourceLink,
                                             Boolean firstTime) {
  if (FNeedClear) ClearItemList();
  if (firstTime && FOnGetData) {
    orv::TFlagScope scope(FInGetData, true);
    FOnGetData(this);
  }
}

void TCustomdxBarContainerItem::ItemsChanged(TObject* sender) {
  if (!FInGetData) VisibleChanged();
}

TdxBarListItem::TdxBarListItem(TComponent* owner) : TCustomdxBarContainerItem(owner), FItems(new TStringList) {
  FItems->SetOnChange(TNotifyEvent(this, &TdxBarListItem::ItemsChanged));
}

TdxBarListItem::~TdxBarListItem() {
  FreeGenerated();
  orv::Free(FItems);
}

void TdxBarListItem::FreeGenerated() {
  while (!FItemList.empty()) {
    TdxBarButton* button = FItemList.back();
    FItemList.pop_back();
    button->Free();
  }
}

void TdxBarListItem::SetItems(TStrings* value) { FItems->Assign(value); }

void TdxBarListItem::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  // Any component may be reported: compare as components, never cast the report down.
  if (operation == opRemove)
    std::erase_if(FItemList, [component](TdxBarButton* button) { return static_cast<TComponent*>(button) == component; });
}

Integer TdxBarListItem::GetDataIndex() const {
  if (FItemIndex < 0 || FItemIndex >= FItems->GetCount()) return -1;
  Integer n = 0;
  for (Integer i = 0; i <= FItemIndex; ++i) n += FItems->Get(i) != "-";
  return n - 1;
}

void TdxBarListItem::SetDataIndex(Integer value) {
  if (FItems->GetCount() == 0) {
    FItemIndex = -1;
    return;
  }
  Integer n = -1;
  for (Integer i = 0; i < FItems->GetCount(); ++i) {
    if (FItems->Get(i) != "-") ++n;
    if (n == value && FItems->Get(i) != "-") {
      FItemIndex = i;
      return;
    }
  }
  FItemIndex = FItems->GetCount();
}

Boolean TdxBarListItem::CanBeVisible() { return bool(GetOnGetData()) || FItems->GetCount() > 0; }

void TdxBarListItem::AddListItems(TdxBarItemLinks* links, Integer index, TdxBarItemLink* sourceLink,
                                  Boolean firstTime) {
  inherited::AddListItems(links, index, sourceLink, firstTime);
  const Boolean reuse = !FItemList.empty();
  Integer i = 0;
  Boolean afterSeparator = false;
  for (Integer n = 0; n < FItems->GetCount(); ++n) {
    if (FItems->Get(n) == "-") {
      afterSeparator = true;
      continue;
    }
    if (!reuse) {
      TdxBarManager* manager = GetBarManager();
      auto* button = new TdxBarButton(manager ? manager->GetOwner() : GetOwner());
      // Generated buttons belong to the list item, not to the manager's commands.
      if (manager) manager->GetItemList()->Remove(button);
      FItemList.push_back(button);
      button->FreeNotification(this);
      button->SetAction(GetAction());
      if (FShowCheck && n == FItemIndex) {
        button->SetButtonStyle(bsChecked);
        button->SetDown(true);
      }
      AnsiString caption;
      if (FShowNumbers) caption = "&" + AnsiString(1, char(i < 9 ? '1' + i : i + 56)) + " ";
      button->SetCaptionField(caption + GetItemDisplayText(n));
      button->SetHintField(GetItemHint(FItems->Get(n)));
      button->SetTag(n);
      button->SetOnClick(TNotifyEvent(this, &TdxBarListItem::EntryClick));
      button->SetEnabled(GetEnabled());
    }
    if (size_t(i) >= FItemList.size()) break;
    TdxBarItemLink* link = links->Insert(std::min(index + i, links->GetCount()));
    link->SetItem(FItemList[size_t(i)]);
    if (i == 0 || afterSeparator) link->SetBeginGroup(true);
    if (sourceLink) link->CopyRecentData(sourceLink);
    afterSeparator = false;
    ++i;
  }
}

void TdxBarListItem::DeleteListItems(TdxBarItemLinks* links, Integer index) {
  for (Integer n = 0; n < FItems->GetCount(); ++n)
    if (FItems->Get(n) != "-" && index < links->GetCount()) links->GetItem(index)->Free();
}

void TdxBarListItem::ClearItemList() {
  if (FItemList.empty() || FItemList.front()->GetLinkCount() == 0) FreeGenerated();
  inherited::ClearItemList();
}

void TdxBarListItem::DirectClick() { inherited::DirectClick(); }

void TdxBarListItem::EntryClick(TObject* sender) {
  if (auto* button = dynamic_cast<TdxBarButton*>(sender)) FItemIndex = Integer(button->GetTag());
  DirectClick();
}

// ---- Extra-pane list items

orv::TBarExtraPaneEntry* TdxBarExtraPaneListItem::Entry(Integer index) const {
  return index >= 0 && index < GetItems()->GetCount() ? dynamic_cast<orv::TBarExtraPaneEntry*>(GetItems()->GetObject(index))
                                                      : nullptr;
}

void TdxBarExtraPaneListItem::BeforeDestruction() {
  Destroying();
  if (FTitle) FTitle->Free();
  FTitle = nullptr;
  inherited::BeforeDestruction();
}

AnsiString TdxBarExtraPaneListItem::GetItemDisplayText(Integer index) {
  orv::TBarExtraPaneEntry* entry = Entry(index);
  AnsiString text = entry ? entry->DisplayName : AnsiString();
  if (FOnGetDisplayText) FOnGetDisplayText(this, index, text);
  if (text.empty() && entry) {
    text = entry->FileName;
    const size_t slash = text.find_last_of("\\/");
    if (slash != AnsiString::npos) text.erase(0, slash + 1);
    const size_t dot = text.rfind('.');
    if (dot != AnsiString::npos && dot > 0) text.erase(dot);
  }
  return text;
}

void TdxBarExtraPaneListItem::AddListItems(TdxBarItemLinks* links, Integer index, TdxBarItemLink* sourceLink,
                                           Boolean firstTime) {
  inherited::AddListItems(links, index, sourceLink, firstTime);
  // Entries show their images only when one of them has one; then all keep a glyph column.
  Boolean anyImage = false;
  for (Integer i = 0; i < GetGeneratedCount(); ++i)
    if (orv::TBarExtraPaneEntry* entry = Entry(Integer(GetGenerated(i)->GetTag())); entry && entry->ImageIndex != -1) {
      GetGenerated(i)->SetImageIndex(entry->ImageIndex);
      anyImage = true;
    }
  for (Integer i = 0; i < GetGeneratedCount(); ++i) GetGenerated(i)->SetPaintStyle(anyImage ? psCaptionGlyph : psStandard);
  // The pane's title stands before the entries.
  if (!FTitle) {
    TdxBarManager* manager = GetBarManager();
    FTitle = new TdxBarLabel(manager ? manager->GetOwner() : GetOwner());
    if (manager) manager->GetItemList()->Remove(FTitle);
    FTitle->FreeNotification(this);
  }
  FTitle->SetCaptionField(GetCaption());
  TdxBarItemLink* link = links->Insert(std::min(index, links->GetCount()));
  link->SetItem(FTitle);
  if (sourceLink) link->CopyRecentData(sourceLink);
}

void TdxBarExtraPaneListItem::DeleteListItems(TdxBarItemLinks* links, Integer index) {
  inherited::DeleteListItems(links, index);
  if (index < links->GetCount()) links->GetItem(index)->Free();
}

void TdxBarExtraPaneListItem::ClearItemList() {
  const Boolean clearing = GetGeneratedCount() == 0 || GetGenerated(0)->GetLinkCount() == 0;
  inherited::ClearItemList();
  if (clearing && FTitle && FTitle->GetLinkCount() == 0) {
    FTitle->Free();
    FTitle = nullptr;
  }
}

Boolean TdxBarExtraPaneListItem::CanBeVisible() { return inherited::CanBeVisible() || !GetCaption().empty(); }

void TdxBarExtraPaneListItem::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FTitle) FTitle = nullptr;
}

TdxBarContainerItem::TdxBarContainerItem(TComponent* owner) : TCustomdxBarContainerItem(owner) {
  GetLinks()->SetOnChange(TNotifyEvent(this, &TdxBarContainerItem::ItemsChanged));
}

Boolean TdxBarContainerItem::HasVisibleLinks() {
  TdxBarItemLinks* links = GetLinks();
  if (links->GetCount() == 0) return false;
  Boolean anyItem = false;
  for (Integer i = 0; i < links->GetCount(); ++i)
    if (TdxBarItem* item = links->GetItem(i)->GetItem()) {
      anyItem = true;
      if (item->GetRealVisible()) return true;
    }
  return !anyItem;
}

Boolean TdxBarContainerItem::CanBeVisible() { return bool(GetOnGetData()) || HasVisibleLinks(); }

void TdxBarContainerItem::AddListItems(TdxBarItemLinks* links, Integer index, TdxBarItemLink* sourceLink,
                                       Boolean firstTime) {
  inherited::AddListItems(links, index, sourceLink, firstTime);
  TdxBarItemLinks* own = GetLinks();
  if (links == own) return;
  links->BeginUpdate();
  try {
    for (Integer i = 0; i < own->GetCanVisibleItemCount(); ++i) {
      TdxBarItemLink* link = links->Insert(std::min(index + i, links->GetCount()));
      link->Assign(own->GetCanVisibleItem(i));
      if (i == 0 && HidesOwnLink()) link->SetBeginGroup(true);
      if (sourceLink) link->CopyRecentData(sourceLink);
    }
  } catch (...) {
    links->EndUpdate();
    throw;
  }
  links->EndUpdate();
}

void TdxBarContainerItem::DeleteListItems(TdxBarItemLinks* links, Integer index) {
  if (links == GetLinks()) return;
  for (Integer i = 0; i < GetLinks()->GetCanVisibleItemCount(); ++i)
    if (index < links->GetCount()) links->GetItem(index)->Free();
}

// ==== Item links ============================================================================

TdxBarItemLink::TdxBarItemLink(TCollection* collection) : TCollectionItem(collection) {
  FUserGlyph = new TBitmap;
  FUserGlyph->SetOnChange(TNotifyEvent(this, &TdxBarItemLink::UserGlyphChanged));
  TdxBarItemLinks* links = GetOwnerLinks();
  TdxBarManager* manager = links ? links->GetBarManager() : nullptr;
  if (manager) FUseCount = manager->GetRecentUseThreshold();
  if (links) links->FRecent.push_back(this);
  if (manager && !manager->IsLoading() && manager->GetOnItemLinkAdd()) manager->GetOnItemLinkAdd()(manager, this);
}

TdxBarItemLink::~TdxBarItemLink() { orv::Free(FUserGlyph); }

void TdxBarItemLink::BeforeDestruction() {
  if (TdxBarDesignController* controller = GetBarDesignController()) controller->ForgetSelectable(this);
  TdxBarItemLinks* links = GetOwnerLinks();
  if (TCustomdxBarControl* barControl = GetBarControl())
    if (barControl->GetSelectedLink() == this) barControl->ClearSelectedLink();
  DestroyControl();
  TdxBarManager* manager = links ? links->GetBarManager() : nullptr;
  if (manager && !manager->InDestruction() && manager->GetOnItemLinkDelete()) manager->GetOnItemLinkDelete()(manager, this);
  if (FItem) {
    FItem->RemoveLink(this);
    FItem = nullptr;
  }
  if (links) {
    std::erase(links->FRecent, this);
    std::erase(links->FAvailable, this);
    std::erase(links->FCanVisible, this);
    std::erase(links->FVisibleList, this);
  }
  inherited::BeforeDestruction();
}

TdxBarItemLinks* TdxBarItemLink::GetOwnerLinks() const { return static_cast<TdxBarItemLinks*>(GetCollection()); }

TdxBarManager* TdxBarItemLink::GetBarManager() const {
  TdxBarItemLinks* links = GetOwnerLinks();
  return links ? links->GetBarManager() : nullptr;
}

// ---- The link as a selectable object

void TdxBarItemLink::DeleteSelectable(TObject*& selection, Boolean withItems) {
  selection = nullptr;
  Free();
}

TObject* TdxBarItemLink::GetLinksOwnerObject() const {
  TCustomdxBarControl* control = GetBarControl();
  TdxBarItemLinks* links = control ? control->GetItemLinks() : nullptr;
  return links ? links->GetOwner() : nullptr;
}

TdxBarItemLink* TdxBarItemLink::GetNextLink() {
  TCustomdxBarControl* control = GetBarControl();
  const Integer count = control ? control->GetViewInfoCount() : 0;
  for (Integer i = 0; i < count; ++i) {
    if (control->GetViewInfoControl(i)->GetItemLink() != this) continue;
    TdxBarItemLink* next = control->GetViewInfoControl((i + 1) % count)->GetItemLink();
    return next == this ? nullptr : next;
  }
  return nullptr;
}

void TdxBarItemLink::AddOwnerObjects(TdxObjectList* list) {
  list->AddUnique(GetLinksOwnerObject());
  list->AddUnique(FItem);
}

TObject* TdxBarItemLink::GetSelectableParent() { return GetLinksOwnerObject(); }

Integer TdxBarItemLink::GetSelectionState() {
  TdxBarManager* manager = GetBarManager();
  return manager ? manager->GetSelectionState(this) : 0;
}

Word TdxBarItemLink::GetCommands() { return FItem ? Word(FItem->GetCustomizationCommands()) : Word(0); }

void TdxBarItemLink::InvalidateSelection() {
  if (FControl && FControl->GetParent()) FControl->GetParent()->RepaintItemControl(FControl);
}

Boolean TdxBarItemLink::IsInSelection() {
  TdxBarManager* manager = GetBarManager();
  return manager && (manager->IsSelectedObject(this) || (FItem && manager->IsSelectedObject(FItem)));
}

void TdxBarItemLink::SelectObject(Integer operation) {
  TdxBarManager* manager = GetBarManager();
  if (!manager) return;
  // A link is selected through its item; taken out, both go.
  if (operation == 1) manager->ChangeSelection(this, 1);
  if (FItem) manager->ChangeSelection(FItem, operation);
}

Boolean TdxBarItemLink::SelectParent() {
  TdxBarManager* manager = GetBarManager();
  if (manager) manager->StoreSelectedItem(nullptr);
  if (TCustomdxBarControl* control = GetBarControl()) control->SetSelectedItemControl(nullptr);
  if (TdxBarDesignController* controller = GetBarDesignController())
    controller->SelectPersistent(GetLinksOwnerObject(), 2);
  return true;
}

void TdxBarItemLink::SelectionChanged() {
  if (FItem) FItem->SelectionChanged();
}

void TdxBarItemLink::ApplyCustomizingLinkProperty(Integer command) {
  TdxBarDesignController* controller = GetBarDesignController();
  TdxBarItemLink* source = controller ? controller->GetCustomizingLink() : nullptr;
  if (!source || source == this) return;
  switch (command) {
    case 0: SetUserDefine(TdxBarUserDefines()); break;
    case 4: if (FItem) FItem->SetCaption(source->GetCaption()); break;
    case 5: SetUserPaintStyle(source->GetUserPaintStyle()); break;
    case 6: SetPosition(source->GetPosition()); break;
    case 7: SetViewLevels(source->GetViewLevels()); break;
    case 8: SetButtonGroup(source->GetButtonGroup()); break;
    case 9: SetDistributed(source->GetDistributed()); break;
    case 10: SetBeginGroup(source->GetBeginGroup()); break;
    case 11: SetVisible(source->GetVisible()); break;
    case 12: SetMostRecentlyUsed(source->GetMostRecentlyUsed()); break;
    default: break;
  }
}

TdxBarItem* TdxBarItemLink::GetItem() const {
  if (!FLoadedItemName.empty()) {
    TdxBarItemLinks* links = GetOwnerLinks();
    TComponent* owner = links ? links->GetOwnerComponent() : nullptr;
    if (owner && IsAncestorBeingLoaded(owner))
      if (TdxBarManager* manager = GetBarManager()) return manager->GetItemByName(FLoadedItemName);
  }
  return FItem;
}

void TdxBarItemLink::SetItem(TdxBarItem* value) {
  if (FItem == value) return;
  TdxBarItemLinks* links = GetOwnerLinks();
  if (links) links->BeginUpdate();
  try {
    if (FItem) {
      FItem->RemoveLink(this);
      FItem = nullptr;
    }
    if (value) {
      AnsiString errorText;
      if (links && !links->CanContainItem(value, errorText)) throw EdxException(errorText);
      FItem = value;
      value->AddLink(this);
      if (links) {
        links->RefreshLists();
        TComponent* owner = links->GetOwnerComponent();
        if (owner && !owner->GetComponentState().Contains(csLoading)) ResetUseCount();
        if (links->GetUpdateCount() == 1)
          if (TdxBarManager* manager = links->GetBarManager()) manager->DoItemLinkChange(this);
      }
    }
  } catch (...) {
    if (links) links->EndUpdate();
    throw;
  }
  if (links) links->EndUpdate();
  if (!value) Free();
}

void TdxBarItemLink::ResolveLoadedItemName(TdxBarManager* manager) {
  if (FLoadedItemName.empty()) return;
  const AnsiString name = FLoadedItemName;
  FLoadedItemName.clear();
  if (!manager) return;
  if (TdxBarItem* item = manager->GetItemByName(name)) {
    try {
      SetItem(item);
    } catch (EdxException&) {
      // A description that links an item where it cannot stand leaves the link empty.
    }
  }
}

void TdxBarItemLink::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("ItemName", TReaderProc(this, &TdxBarItemLink::ReadItemName),
                        TWriterProc(this, &TdxBarItemLink::WriteItemName), FItem != nullptr);
}

void TdxBarItemLink::ReadItemName(TReader* reader) { FLoadedItemName = reader->ReadString(); }

void TdxBarItemLink::WriteItemName(TWriter* writer) { writer->WriteString(FItem ? FItem->GetName() : AnsiString()); }

void TdxBarItemLink::LinkChanged(Boolean structural) { Changed(structural); }

void TdxBarItemLink::UserGlyphChanged(TObject* sender) {}

Boolean TdxBarItemLink::GetBeginGroup() const {
  const Integer v = GetVisibleIndex();
  TdxBarItemLinks* links = GetOwnerLinks();
  if (FBeginGroup && v != 0) {
    if (v == -1) return true;
    return !dynamic_cast<TdxBarSeparator*>(links->GetVisibleItem(v - 1)->GetItem());
  }
  if (v > 0) {
    // A group start of hidden links moves on to the next shown link.
    const Integer from = links->GetVisibleItem(v - 1)->GetIndex();
    for (Integer i = from + 1; i < GetIndex(); ++i)
      if (links->GetItem(i)->FBeginGroup) return true;
  }
  return false;
}

void TdxBarItemLink::SetBeginGroup(Boolean value) {
  if (FBeginGroup == value) return;
  FBeginGroup = value;
  LinkChanged(false);
}

void TdxBarItemLink::SetButtonGroup(TdxBarButtonGroupPosition value) {
  if (FButtonGroup == value) return;
  FButtonGroup = value;
  LinkChanged(true);
}

void TdxBarItemLink::SetDistributed(Boolean value) {
  if (FDistributed == value) return;
  FDistributed = value;
  LinkChanged(true);
}

void TdxBarItemLink::SetMostRecentlyUsed(Boolean value) {
  if (FMostRecentlyUsed == value) return;
  FMostRecentlyUsed = value;
  ResetUseCount();
  LinkChanged(false);
}

void TdxBarItemLink::SetPosition(TdxBarItemPosition value) {
  if (FPosition == value) return;
  FPosition = value;
  LinkChanged(true);
}

Integer GetMostCompactViewLevel(TdxBarItemViewLevels levels) {
  for (Integer level = ivlControlOnly; level >= ivlLargeIconWithText; --level)
    if (levels.Contains(TdxBarItemViewLevel(level))) return level;
  return 255;
}

void TdxBarItemLink::SetViewLevels(TdxBarItemViewLevels value) {
  if (FViewLevels == value) return;
  FViewLevels = value;
  LinkChanged(true);
}

void TdxBarItemLink::SetUserCaption(const AnsiString& value) {
  FUserCaption = value;
  TdxBarUserDefines defines = FUserDefine;
  defines.Include(udCaption);
  SetUserDefine(defines);
}

void TdxBarItemLink::SetUserGlyph(TBitmap* value) {
  if (value != FUserGlyph) FUserGlyph->Assign(value);
  TdxBarUserDefines defines = FUserDefine;
  defines.Include(udGlyph);
  SetUserDefine(defines);
}

void TdxBarItemLink::SetUserPaintStyle(TdxBarPaintStyle value) {
  if (value == GetPaintStyle()) return;
  FUserPaintStyle = value;
  TdxBarUserDefines defines = FUserDefine;
  defines.Include(udPaintStyle);
  SetUserDefine(defines);
}

void TdxBarItemLink::SetUserWidth(Integer value) {
  if (value == GetWidth()) return;
  FUserWidth = value;
  TdxBarUserDefines defines = FUserDefine;
  defines.Include(udWidth);
  SetUserDefine(defines);
}

void TdxBarItemLink::SetUserDefine(TdxBarUserDefines value) {
  if (FUserDefine == value) return;
  for (TdxBarUserDefine flag : {udCaption, udGlyph, udPaintStyle, udWidth}) {
    if (FUserDefine.Contains(flag) && !value.Contains(flag)) {
      FUserDefine.Exclude(flag);
      switch (flag) {
        case udCaption: FUserCaption.clear(); break;
        case udGlyph: {
          const TNotifyEvent handler = FUserGlyph->GetOnChange();
          FUserGlyph->SetOnChange(TNotifyEvent());
          auto* empty = new TBitmap;
          FUserGlyph->Assign(empty);
          orv::Free(empty);
          FUserGlyph->SetOnChange(handler);
          break;
        }
        case udPaintStyle: FUserPaintStyle = psStandard; break;
        case udWidth: FUserWidth = 0; break;
      }
    } else if (!FUserDefine.Contains(flag) && value.Contains(flag)) {
      FUserDefine.Include(flag);
    }
  }
  LinkChanged(false);
}

void TdxBarItemLink::SetVisible(Boolean value) {
  TdxBarItemLinks* links = GetOwnerLinks();
  TdxBarManager* manager = GetBarManager();
  if ((manager && manager->IsLoading()) || (links && links->IsAssigning())) {
    FLoadedVisible = value;
    return;
  }
  if (FVisible == value) return;
  FVisible = value;
  if (!(manager && manager->IsDesigning())) RecalcVisible();
  LinkChanged(false);
}

void TdxBarItemLink::ApplyLoadedVisible() {
  if (FVisible == FLoadedVisible) return;
  FVisible = FLoadedVisible;
  RecalcVisible();
}

AnsiString TdxBarItemLink::GetCaption() const {
  TdxBarItem* item = GetItem();
  return FUserDefine.Contains(udCaption) || !item ? FUserCaption : item->GetCaption();
}

TBitmap* TdxBarItemLink::GetGlyph() const {
  TdxBarItem* item = GetItem();
  return FUserDefine.Contains(udGlyph) || !item ? FUserGlyph : item->GetGlyph();
}

TdxBarPaintStyle TdxBarItemLink::GetPaintStyle() const {
  TdxBarItem* item = GetItem();
  return FUserDefine.Contains(udPaintStyle) || !item ? FUserPaintStyle : item->GetPaintStyle();
}

Integer TdxBarItemLink::GetWidth() const {
  if (FUserDefine.Contains(udWidth)) return FUserWidth;
  return 0;  // edits publish their own width
}

Boolean TdxBarItemLink::CanBeShown() const {
  TdxBarItem* item = GetItem();
  return item && item->GetRealVisible() && FVisible;
}

Integer TdxBarItemLink::GetVisibleIndex() const {
  TdxBarItemLinks* links = GetOwnerLinks();
  if (!links) return -1;
  auto& list = links->FVisibleList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : Integer(it - list.begin());
}

Integer TdxBarItemLink::GetCanVisibleIndex() const {
  TdxBarItemLinks* links = GetOwnerLinks();
  if (!links) return -1;
  auto& list = links->FCanVisible;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : Integer(it - list.begin());
}

Boolean TdxBarItemLink::IsAccelerator(Word key, TShiftState shift) const {
  if (shift.Contains(ssCtrl)) return false;
  AnsiString caption = GetCaption();
  const Integer position = GetAcceleratorPosition(caption, false);
  if (position <= 0) return false;
  const char c = caption[size_t(position - 1)];
  if (c >= '0' && c <= '9') return key == Word(Byte(c)) && shift.Empty();
  return key == Word(VkKeyScan(c) & 0xFF);
}

Integer TdxBarItemLink::GetRecentIndex() const {
  TdxBarItemLinks* links = GetOwnerLinks();
  return links ? links->RecentIndexOf(this) : FDetachedRecentIndex;
}

void TdxBarItemLink::SetRecentIndex(Integer index) {
  TdxBarItemLinks* links = GetOwnerLinks();
  if (!links) {
    FDetachedRecentIndex = index;
    return;
  }
  auto& recent = links->FRecent;
  if (recent.empty()) return;
  index = std::clamp(index, 0, Integer(recent.size()) - 1);
  const Integer current = links->RecentIndexOf(this);
  if (current < 0 || current == index) return;
  recent.erase(recent.begin() + current);
  recent.insert(recent.begin() + index, this);
  links->RefreshLists();
}

void TdxBarItemLink::MarkUsed(Boolean count) {
  if (!CanBeShown()) return;
  TdxBarItemLinks* links = GetOwnerLinks();
  if (!links || links->UsesRecentItems()) {
    SetRecentIndex(0);
    if (count) ++FUseCount;
  }
  // Marking the menus on the way to a command follows the open menus' links once the
  // submenu windows exist.
}

void TdxBarItemLink::SendToBottom() {
  TdxBarItemLinks* links = GetOwnerLinks();
  SetRecentIndex(links ? links->GetCount() - 1 : 0);
}

void TdxBarItemLink::ResetUseCount() {
  if (FMostRecentlyUsed) {
    TdxBarManager* manager = GetBarManager();
    FUseCount = manager ? manager->GetRecentUseThreshold() : 0;
    MarkUsed(false);
  } else {
    FUseCount = 0;
    SendToBottom();
  }
}

void TdxBarItemLink::CopyRecentData(TdxBarItemLink* source) {
  if (!source) return;
  FUseCount = source->FUseCount;
  SetRecentIndex(source->GetRecentIndex());
}

void TdxBarItemLink::RecalcVisible() {
  TdxBarItemLinks* links = GetOwnerLinks();
  if (links) links->RefreshLists();
  if (CanBeShown())
    MarkUsed(false);
  else
    SendToBottom();
}

void TdxBarItemLink::UpdateItemAction() {
  if (FItem && FItem->GetActionLink()) FItem->GetActionLink()->Update();
}

void TdxBarItemLink::Assign(TPersistent* source) {
  auto* link = dynamic_cast<TdxBarItemLink*>(source);
  if (!link) {
    inherited::Assign(source);
    return;
  }
  FData = link->FData;
  FUserCaption = link->FUserCaption;
  if (link->FUserDefine.Contains(udGlyph)) FUserGlyph->Assign(link->FUserGlyph);
  FUserPaintStyle = link->FUserPaintStyle;
  FUserWidth = link->FUserWidth;
  TdxBarItem* item = link->GetItem();
  TdxBarManager* manager = GetBarManager();
  // Items made at run time may have no name: an empty name names no item.
  if (item && manager && manager->IsUpdateLocked() && !item->GetName().empty())
    if (TdxBarItem* named = manager->GetItemByName(item->GetName())) item = named;
  SetItem(item);
  if (!item) return;  // a link without item is gone
  FUserDefine = link->FUserDefine;
  FBeginGroup = link->GetBeginGroup();
  FButtonGroup = link->FButtonGroup;
  FDistributed = link->FDistributed;
  FPosition = link->FPosition;
  FViewLevels = link->FViewLevels;
  SetVisible(link->FVisible);
  LinkChanged(false);
}

// ---- Link collections

TdxBarItemLinks::TdxBarItemLinks(TdxBarManager* barManager, TPersistent* owner)
    : TOwnedCollection(owner, TdxBarItemLink::StaticClass()),
      FBarManager(barManager),
      FLinksOwner(dynamic_cast<IdxBarLinksOwner*>(owner)) {
  FItemOptions = new TdxBarItemOptions(this);
}

TdxBarItemLinks::~TdxBarItemLinks() {
  // A window still showing these links (the open menu of a sub item freed meanwhile) lets go of
  // them and their item controls now; it would otherwise walk freed links when it closes.
  if (FBarControl) FBarControl->SetItemLinks(nullptr);
  BeginUpdate();
  Clear();
  orv::Free(FItemOptions);
}

TdxBarManager* TdxBarItemLinks::GetBarManager() const {
  if (FBarManager) return FBarManager;
  if (auto* bar = dynamic_cast<TdxBar*>(FLinksOwner ? FLinksOwner->GetInstance() : nullptr)) return bar->GetBarManager();
  return nullptr;
}

TComponent* TdxBarItemLinks::GetOwnerComponent() const { return FLinksOwner ? FLinksOwner->GetInstance() : nullptr; }

Boolean TdxBarItemLinks::IsManagerDesigning() const {
  TdxBarManager* manager = GetBarManager();
  return manager && manager->IsDesigning();
}

Boolean TdxBarItemLinks::CanContainItem(TdxBarItem* item, AnsiString& errorText) {
  errorText.clear();
  return !FLinksOwner || FLinksOwner->CanContainItem(item, errorText);
}

Boolean TdxBarItemLinks::CanShowAllLinks() const { return !dynamic_cast<TdxBar*>(GetOwnerComponent()); }

TdxBarItemLink* TdxBarItemLinks::AddItem(TdxBarItem* item) {
  BeginUpdate();
  TdxBarItemLink* link = nullptr;
  try {
    link = Add();
    link->SetItem(item);
  } catch (...) {
    if (link && !link->GetItemRaw()) link->Free();
    EndUpdate();
    throw;
  }
  EndUpdate();
  return link;
}

Integer TdxBarItemLinks::IndexOfLink(TdxBarItemLink* link) const {
  return link && link->GetCollection() == this ? link->GetIndex() : -1;
}

Integer TdxBarItemLinks::IndexOfItemName(const AnsiString& name) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (TdxBarItem* item = GetItem(i)->GetItem(); item && item->GetName() == name) return i;
  return -1;
}

void TdxBarItemLinks::Move(Integer from, Integer to) {
  BeginUpdate();
  if (from != to && from >= 0 && to >= 0 && from < GetCount() && to < GetCount()) GetItem(from)->SetIndex(to);
  EndUpdate();
}

Integer TdxBarItemLinks::RecentIndexOf(const TdxBarItemLink* link) const {
  auto it = std::find(FRecent.begin(), FRecent.end(), link);
  return it == FRecent.end() ? -1 : Integer(it - FRecent.begin());
}

void TdxBarItemLinks::RefreshLists() {
  FAvailable.clear();
  FCanVisible.clear();
  FVisibleList.clear();
  const Boolean designing = IsManagerDesigning();
  for (Integer i = 0; i < GetCount(); ++i) {
    TdxBarItemLink* link = GetItem(i);
    TdxBarItem* item = link->GetItem();
    if (!item || !(designing || item->GetRealVisible())) continue;
    FAvailable.push_back(link);
    if (!(designing || link->GetVisible())) continue;
    FCanVisible.push_back(link);
    if (designing || FRecentItemCount == -1) FVisibleList.push_back(link);
  }
  if (!designing && FRecentItemCount > 0) {
    for (TdxBarItemLink* link : FRecent) {
      if (Integer(FVisibleList.size()) >= FRecentItemCount) break;
      if (std::find(FCanVisible.begin(), FCanVisible.end(), link) != FCanVisible.end()) FVisibleList.push_back(link);
    }
    std::stable_sort(FVisibleList.begin(), FVisibleList.end(),
                     [](TdxBarItemLink* a, TdxBarItemLink* b) { return a->GetCanVisibleIndex() < b->GetCanVisibleIndex(); });
  }
  TdxBarManager* manager = GetBarManager();
  if (!(manager && manager->InCustomizingMode()) && GetUpdateCount() == 0) {
    // A separator never stands before another one or at the end.
    const std::vector<TdxBarItemLink*> shown = FVisibleList;
    for (Integer i = Integer(shown.size()) - 1; i >= 0; --i) {
      if (!dynamic_cast<TdxBarSeparator*>(shown[size_t(i)]->GetItem())) continue;
      const Boolean last = i == Integer(shown.size()) - 1;
      if (last || dynamic_cast<TdxBarSeparator*>(shown[size_t(i + 1)]->GetItem())) {
        std::erase(FVisibleList, shown[size_t(i)]);
        std::erase(FCanVisible, shown[size_t(i)]);
      }
    }
  }
}

Boolean TdxBarItemLinks::UsesRecentItems() const {
  TdxBarManager* manager = GetBarManager();
  return manager && manager->SupportsRecentItems() && FUseRecentItems && (!FParentLinks || FParentLinks->UsesRecentItems());
}

void TdxBarItemLinks::SetRecentItemCount(Integer count) {
  if (!UsesRecentItems()) count = -1;
  FPrevRecentItemCount = FRecentItemCount;
  if (count == FRecentItemCount) return;
  FRecentItemCount = count;
  RefreshLists();
}

void TdxBarItemLinks::RestoreRecentItemCount() {
  FRecentItemCount = FPrevRecentItemCount;
  RefreshLists();
}

Integer TdxBarItemLinks::CalcRecentItemCount() {
  if (!UsesRecentItems() || FCanVisible.empty()) return -1;
  Integer low = FCanVisible.front()->GetUseCount(), high = low;
  for (TdxBarItemLink* link : FCanVisible) {
    low = std::min(low, link->GetUseCount());
    high = std::max(high, link->GetUseCount());
  }
  TdxBarManager* manager = GetBarManager();
  const Integer threshold = low + MulDiv(high - low, 100 - manager->GetMostRecentItemsPercents(), 100);
  Integer result = 0;
  for (Integer position = std::min(Integer(FCanVisible.size()), Integer(FRecent.size())) - 1; position >= 0; --position)
    if (FRecent[size_t(position)]->GetUseCount() >= threshold) {
      result = position + 1;
      break;
    }
  return result == Integer(FCanVisible.size()) ? -1 : result;
}

void TdxBarItemLinks::UpdateActions() {
  for (Integer i = 0; i < GetCount(); ++i) GetItem(i)->UpdateItemAction();
}

Boolean TdxBarItemLinks::IsShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  UpdateActions();
  // The lists may change while items run: the links available now are asked.
  const std::vector<TdxBarItemLink*> available = FAvailable;
  for (TdxBarItemLink* link : available)
    if (TdxBarItem* item = link->GetItem(); item && item->IsShortCut(shortCut)) return true;
  return false;
}

TdxBarItemLink* TdxBarItemLinks::FindAcceleratorLink(Word key, TdxBarItemLink* after) {
  const Integer count = GetCount();
  if (count == 0) return nullptr;
  const UINT mapped = MapVirtualKey(key, 2);
  if (mapped == 0 || mapped > 255) return nullptr;
  const AnsiString keyText = AnsiUpperCase(AnsiString(1, char(mapped)));
  const Integer start = after ? after->GetIndex() + 1 : 0;
  for (Integer n = 0; n < count; ++n) {
    TdxBarItemLink* link = GetItem((start + n) % count);
    TdxBarItem* item = link->GetItem();
    if (!item) continue;
    AnsiString caption = link->GetCaption();
    const Integer position = GetAcceleratorPosition(caption, false);
    if (position > 0 && AnsiUpperCase(caption.substr(position - 1, 1)) == keyText) return link;
  }
  return nullptr;
}

Integer TdxBarItemLinks::GetDefaultItemOptionValue(TdxBarItemOption option) const {
  switch (option) {
    case ioShowDescriptions: return 0;
    case ioShowShortCuts: return 1;
    default: return Integer(misNormal);
  }
}

Integer TdxBarItemLinks::GetItemOptionValue(TdxBarItemOption option) const {
  if (FItemOptions->IsOptionStored(option) || !FParentLinks) return FItemOptions->GetValue(option);
  return FParentLinks->GetItemOptionValue(option);
}

Boolean TdxBarItemLinks::HasLinksOwner(IdxBarLinksOwner* owner) {
  if (!owner) return false;
  if (owner->GetItemLinks() == this) return true;
  for (Integer i = 0; i < GetCount(); ++i)
    if (TdxBarItemLinks* inner = GetOwnerItemLinks(GetItem(i)->GetItem()); inner && inner != this && inner->HasLinksOwner(owner))
      return true;
  return false;
}

void TdxBarItemLinks::ResolveLoadedItems() {
  TdxBarManager* manager = GetBarManager();
  for (Integer i = 0; i < GetCount(); ++i) GetItem(i)->ResolveLoadedItemName(manager);
  for (Integer i = GetCount() - 1; i >= 0; --i) GetItem(i)->ApplyLoadedVisible();
  RefreshLists();
}

void TdxBarItemLinks::RemoveItem(TdxBarItem* item) {
  for (Integer i = GetCount() - 1; i >= 0; --i)
    if (GetItem(i)->GetItemRaw() == item) GetItem(i)->Free();
}

void TdxBarItemLinks::Assign(TPersistent* source) {
  orv::TFlagScope scope(FAssigning, true);
  try {
    inherited::Assign(source);
  } catch (...) {
    FAssigning = false;
    RefreshLists();
    throw;
  }
  FAssigning = false;
  RefreshLists();
}

void TdxBarItemLinks::Update(TCollectionItem* item) {
  if (!item) RefreshLists();
  TComponent* owner = GetOwnerComponent();
  if (owner && owner->GetComponentState().Contains(csDestroying)) return;
  inherited::Update(item);
  if (FBarControl) FBarControl->Repaint();
  TdxBarManager* manager = GetBarManager();
  if (!FInternal && manager) manager->DesignerModified();
  if (item) {
    if (manager) manager->DoItemLinkChange(static_cast<TdxBarItemLink*>(item));
    return;
  }
  FireNotifyEvent(this, FOnChange);
}

namespace {
// The bar whose links are being merged into another bar: links added by the merge remember it.
TdxBar* gMergingBar = nullptr;
}  // namespace

void TdxBarItemLinks::Merge(TdxBarItemLinks* source) {
  if (!source || source == this) return;
  TdxBar* const savedBar = gMergingBar;
  if (auto* bar = dynamic_cast<TdxBar*>(source->GetOwnerComponent())) gMergingBar = bar;
  try {
    for (Integer s = 0; s < source->GetCount(); ++s) {
      TdxBarItemLink* sourceLink = source->GetItem(s);
      TdxBarItem* sourceItem = sourceLink->GetItem();
      if (!sourceItem) continue;
      TdxBarItemMergeKind kind = sourceItem->GetMergeKind();
      Integer position = -1;
      if (kind == mkMergeByCaption) {
        for (Integer i = GetCount() - 1; i >= 0 && position < 0; --i) {
          TdxBarItem* item = GetItem(i)->GetItem();
          if (item && item->GetMergeKind() == mkMergeByCaption && GetItem(i)->GetCaption() == sourceLink->GetCaption() &&
              item->CanMergeWith(sourceItem) && sourceItem->CanMergeWith(item))
            position = i;
        }
        if (position < 0) kind = mkAdd;
      }
      if (kind == mkAdd) {
        // Behind the last link of the greatest merge order not above the source item's.
        Integer best = -1, bestOrder = -1;
        for (Integer i = 0; i < GetCount(); ++i) {
          TdxBarItem* item = GetItem(i)->GetItem();
          if (item && item->GetMergeOrder() <= sourceItem->GetMergeOrder() && item->GetMergeOrder() >= bestOrder) {
            best = i;
            bestOrder = item->GetMergeOrder();
          }
        }
        position = best + 1;
      }
      if (TdxBarManager* manager = GetBarManager()) manager->DoMergeItemLink(this, source, sourceLink, kind, position);
      if (position < 0) kind = mkNone;
      if (kind == mkMergeByCaption) {
        TdxBarItem* target = position < GetCount() ? GetItem(position)->GetItem() : nullptr;
        if (!target || !target->CanMergeWith(sourceItem) || !sourceItem->CanMergeWith(target)) kind = mkNone;
        if (kind != mkNone && target->GetItemLinks() && sourceItem->GetItemLinks())
          target->GetItemLinks()->Merge(sourceItem->GetItemLinks());
      } else if (kind == mkAdd && position <= GetCount()) {
        TdxBarItemLink* link = Insert(position);
        link->Assign(sourceLink);
        if (link->GetCollection() == this) link->FMergeSourceBar = gMergingBar;
      }
    }
  } catch (...) {
    gMergingBar = savedBar;
    throw;
  }
  gMergingBar = savedBar;
}

void TdxBarItemLinks::Unmerge(TdxBar* bar) {
  for (Integer i = GetCount() - 1; i >= 0; --i) {
    if (i >= GetCount()) continue;
    TdxBarItemLink* link = GetItem(i);
    if (link->FMergeSourceBar) {
      if (!bar || link->FMergeSourceBar == bar) link->Free();
    } else if (TdxBarItem* item = link->GetItem(); item && item->GetItemLinks() && item->GetItemLinks() != this) {
      item->GetItemLinks()->Unmerge(bar);
    }
  }
}

// ---- Item options

TdxBarItemOptions::TdxBarItemOptions(TdxBarItemLinks* links) : FLinks(links) {
  FShowDescriptions = links->GetDefaultItemOptionValue(ioShowDescriptions) != 0;
  FShowShortCuts = links->GetDefaultItemOptionValue(ioShowShortCuts) != 0;
  FSize = TdxBarMenuItemSize(links->GetDefaultItemOptionValue(ioSize));
}

void TdxBarItemOptions::Assign(TPersistent* source) {
  auto* options = dynamic_cast<TdxBarItemOptions*>(source);
  if (!options) {
    inherited::Assign(source);
    return;
  }
  FAssignedValues = options->FAssignedValues;
  FShowDescriptions = options->FShowDescriptions;
  FShowShortCuts = options->FShowShortCuts;
  FSize = options->FSize;
}

Integer TdxBarItemOptions::GetValue(TdxBarItemOption option) const {
  if (!FAssignedValues.Contains(option)) return FLinks->GetDefaultItemOptionValue(option);
  switch (option) {
    case ioShowDescriptions: return FShowDescriptions;
    case ioShowShortCuts: return FShowShortCuts;
    default: return Integer(FSize);
  }
}

Boolean TdxBarItemOptions::GetShowDescriptions() const { return GetValue(ioShowDescriptions) != 0; }
Boolean TdxBarItemOptions::GetShowShortCuts() const { return GetValue(ioShowShortCuts) != 0; }
TdxBarMenuItemSize TdxBarItemOptions::GetSize() const { return TdxBarMenuItemSize(GetValue(ioSize)); }

void TdxBarItemOptions::SetShowDescriptions(Boolean value) {
  FShowDescriptions = value;
  FAssignedValues.Include(ioShowDescriptions);
}

void TdxBarItemOptions::SetShowShortCuts(Boolean value) {
  FShowShortCuts = value;
  FAssignedValues.Include(ioShowShortCuts);
}

void TdxBarItemOptions::SetSize(TdxBarMenuItemSize value) {
  FSize = value;
  FAssignedValues.Include(ioSize);
}

// ==== Bars ====================================================================================

TdxBar::TdxBar(TComponent* owner)
    : TcxComponentCollectionItem(owner),
      FFont(new TFont),
      FItemFont(new TFont),
      FGlyph(new TBitmap),
      FBackgroundBitmap(new TBitmap) {
  FFont->SetOnChange(TNotifyEvent(this, &TdxBar::FontChanged));
  FItemLinks = new TdxBarItemLinks(nullptr, this);
}

TdxBar::~TdxBar() {
  orv::Free(FItemLinks);
  orv::Free(FBackgroundBitmap);
  orv::Free(FGlyph);
  orv::Free(FItemFont);
  orv::Free(FFont);
}

void TdxBar::BeforeDestruction() {
  Destroying();
  FreeCaptionButtons();
  InvalidateObjectLinks(this);
  if (TCustomdxBarControl* control = FControl) {
    FControl = nullptr;
    if (auto* barControl = dynamic_cast<TdxBarControl*>(control)) barControl->ForgetBar();
    control->Free();
  }
  if (FDockRow) FDockRow->RemoveBar(this, true);
  if (TdxBarManager* manager = GetBarManager()) {
    if (!manager->InDestruction()) manager->DoBarDelete(this);
    if (manager->GetMainMenuBarRaw() == this) manager->SetMainMenuBar(nullptr);
  }
  // A merged bar leaves its target, and bars merged here go back, visible as before.
  if (FMergeTarget) FMergeTarget->UnmergeFrom(this, true);
  UnmergeFrom(nullptr, true);
  // Bars that keep this one among their saved merges forget it.
  for (TdxBar* target : FSavingTargets)
    target->FSavedMerges.erase(std::remove(target->FSavedMerges.begin(), target->FSavedMerges.end(), this),
                               target->FSavedMerges.end());
  FSavingTargets.clear();
  for (TdxBar* saved : FSavedMerges)
    saved->FSavingTargets.erase(std::remove(saved->FSavingTargets.begin(), saved->FSavingTargets.end(), this),
                                saved->FSavingTargets.end());
  FSavedMerges.clear();
  SetVisible(false);
  // Each sub item that refers to the bar hears of its removal once per reference.
  while (!FSubItems.empty()) {
    TCustomdxBarSubItem* subItem = FSubItems.front();
    FSubItems.erase(FSubItems.begin());
    subItem->BarRemoved(this);
  }
  inherited::BeforeDestruction();
}

TdxBarManager* TdxBar::GetBarManager() const {
  auto* bars = static_cast<TdxBars*>(GetCollection());
  return bars ? bars->GetBarManager() : nullptr;
}

// ---- The bar as a selectable object

Boolean TdxBar::IsDeletable(Boolean withItems) {
  TdxBarManager* manager = GetBarManager();
  if (!manager) return false;
  return (manager->IsDesigning() || (!FPredefined && CanClose())) && manager->AllowsDeletion();
}

void TdxBar::DeleteSelectable(TObject*& selection, Boolean withItems) {
  selection = nullptr;
  Free();
}

void TdxBar::AddOwnerObjects(TdxObjectList* list) {
  if (TdxBarManager* manager = GetBarManager()) list->AddUnique(manager->GetOwner());
}

TObject* TdxBar::GetNextSelectable() {
  TdxBarManager* manager = GetBarManager();
  const Integer count = manager ? manager->GetBarCount() : 0;
  const Integer index = GetIndex();
  return count > 0 && index >= 0 ? manager->GetBar((index + 1) % count) : nullptr;
}

TObject* TdxBar::GetSelectableParent() {
  TdxBarManager* manager = GetBarManager();
  return manager ? manager->GetOwner() : nullptr;
}

Integer TdxBar::GetSelectionState() {
  TdxBarManager* manager = GetBarManager();
  return manager ? manager->GetSelectionState(this) : 0;
}

void TdxBar::InvalidateSelection() {
  if (FControl) FControl->Invalidate();
}

void TdxBar::SelectObject(Integer operation) {
  if (TdxBarManager* manager = GetBarManager()) manager->ChangeSelection(this, operation);
}

Boolean TdxBar::IsLoadingValues() const {
  if (FApplyingLoadedValues) return false;
  TdxBarManager* manager = GetBarManager();
  return GetComponentState().Contains(csLoading) || (manager && manager->IsLoading());
}

void TdxBar::SetParentComponent(TComponent* value) {
  const Boolean joining = !GetCollection();
  inherited::SetParentComponent(value);
  TdxBarManager* manager = GetBarManager();
  if (!joining || !manager) return;
  // The bar starts with the manager's font without taking it as its own.
  {
    orv::TFlagScope internal(FInternalFontChange, true);
    FFont->Assign(manager->GetFont());
  }
  if (!manager->IsLoading() && !GetComponentState().Contains(csLoading)) {
    manager->DoBarAdd(this);
    ReportChange();
  }
}

void TdxBar::SetAllowClose(Boolean value) {
  if (FAllowClose == value) return;
  FAllowClose = value;
  ReportChange();
}

void TdxBar::SetAllowCustomizing(Boolean value) {
  if (FAllowCustomizing == value) return;
  FAllowCustomizing = value;
  ReportChange();
}

void TdxBar::SetAllowReset(Boolean value) {
  if (FAllowReset == value) return;
  FAllowReset = value;
  ReportChange();
}

void TdxBar::SetBorderStyle(TdxBarBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  ReportChange();
}

void TdxBar::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  if (TdxBarManager* manager = GetBarManager())
    if (TdxBar* other = manager->GetBarByCaption(value); other && other != this) return;
  FCaption = value;
  ReportChange();
}

void TdxBar::SetColor(TColor value) {
  if (FColor == value) return;
  FColor = value;
  ReportChange();
}

void TdxBar::SetDockedDockingStyle(TdxBarDockingStyle value) {
  if (FDockedDockingStyle == value) return;
  FDockedDockingStyle = value;
  ReportChange();
}

void TdxBar::SetDockedLeft(Integer value) {
  value = std::max(value, 0);
  if (FDockedLeft == value) return;
  FDockedLeft = value;
  ReportChange();
}

void TdxBar::SetDockedTop(Integer value) {
  value = std::max(value, 0);
  if (FDockedTop == value) return;
  FDockedTop = value;
  ReportChange();
}

void TdxBar::SetFloatLeft(Integer value) {
  if (FFloatLeft == value) return;
  FFloatLeft = value;
  ReportChange();
}

void TdxBar::SetFloatTop(Integer value) {
  if (FFloatTop == value) return;
  FFloatTop = value;
  ReportChange();
}

void TdxBar::SetFloatClientWidth(Integer value) {
  if (FFloatClientWidth == value) return;
  FFloatClientWidth = value;
  ReportChange();
}

void TdxBar::SetFloatClientHeight(Integer value) {
  if (FFloatClientHeight == value) return;
  FFloatClientHeight = value;
  ReportChange();
}

TdxBarDockingStyle TdxBar::GetDockingStyle() const {
  if (IsLoadingValues()) return FLoadedDockingStyle;
  return FDockControl ? FDockControl->GetDockingStyle() : FDockingStyle;
}

void TdxBar::SetDockingStyle(TdxBarDockingStyle value) {
  if (IsLoadingValues()) {
    FLoadedDockingStyle = value;
    return;
  }
  if (FDockingStyle == value) return;
  FDockingStyle = value;
  // A side of its own takes the bar out of its user dock site.
  if (!FChangingDockingStyle) FDockControl = nullptr;
  // A bar that changes sides shows all its links again until it has measured its new room.
  FItemLinks->SetRecentItemCount(-1);
  if (!FChangingDockingStyle)
    if (TdxBarManager* manager = GetBarManager()) manager->DoBarDockingStyleChange(this);
  ReportChange();
  if (TdxBarManager* manager = GetBarManager()) UpdateBarControls(manager);
}

void TdxBar::DockTo(TdxBarDockingStyle style) { SetDockingStyle(style); }

Boolean TdxBar::GetVisible() const { return IsLoadingValues() ? FLoadedVisible : FVisible; }

void TdxBar::SetVisible(Boolean value) {
  TdxBarManager* manager = GetBarManager();
  if (value && manager && manager->InDestruction()) return;
  if (!value && !FVisible && manager) manager->RemoveRestoringBar(this);
  if (IsLoadingValues()) {
    if (FLoadedVisible != value) FHiddenBecauseEmpty = false;
    FLoadedVisible = value;
    return;
  }
  if (FVisible == value) return;
  FHiddenBecauseEmpty = false;
  FVisible = value;
  ReportChange();
  if (manager && !manager->InDestruction()) manager->DoBarVisibleChange(this);
  if (manager) UpdateBarControls(manager);
}

void TdxBar::ApplyLoadedValues() {
  orv::TFlagScope applying(FApplyingLoadedValues, true);
  FPredefined = true;
  if (FLoadedDockControl)
    SetDockControl(FLoadedDockControl);
  else
    SetDockingStyle(FLoadedDockingStyle);
  SetVisible(FLoadedVisible);
}

void TdxBar::SetIsMainMenu(Boolean value) {
  if (FIsMainMenu == value) return;
  TdxBarManager* manager = GetBarManager();
  if (manager) manager->BeginUpdate();
  try {
    if (value) {
      if (manager)
        if (TdxBar* previous = manager->GetMainMenuBarRaw(); previous && previous != this) previous->SetIsMainMenu(false);
      FIsMainMenu = true;
      if (manager) manager->SetMainMenuBar(this);
      SetWholeRow(true);
      SetMultiLine(true);
    } else {
      FIsMainMenu = false;
      if (manager && manager->GetMainMenuBarRaw() == this) manager->SetMainMenuBar(nullptr);
      SetMultiLine(false);
      SetWholeRow(false);
    }
  } catch (...) {
    if (manager) manager->EndUpdate();
    throw;
  }
  if (manager) manager->EndUpdate();
  ReportChange();
}

void TdxBar::SetMultiLine(Boolean value) {
  if (FMultiLine == value || (!value && FIsMainMenu)) return;
  FMultiLine = value;
  ReportChange();
}

void TdxBar::SetRotateWhenVertical(Boolean value) {
  if (FRotateWhenVertical == value) return;
  FRotateWhenVertical = value;
  // The window writes its captions the other way now.
  if (FControl && FControl->HandleAllocated()) FControl->Perform(CM_FONTCHANGED, 0, 0);
}

void TdxBar::SetWholeRow(Boolean value) {
  if (FWholeRow == value || (!value && FIsMainMenu)) return;
  FWholeRow = value;
  ReportChange();
}

void TdxBar::SetOneOnRow(Boolean value) {
  if (FOneOnRow == value) return;
  FOneOnRow = value;
  ReportChange();
}

void TdxBar::SetRow(Integer value) {
  value = std::max(value, 0);
  if (FDockRow ? GetRow() == value : FRow == value) return;
  FRow = value;
  // A bar in a dock row moves to the row asked for at once.
  if (FDockRow) MoveToRow(value);
  ReportChange();
}

Boolean TdxBar::GetUseRecentItems() const { return FItemLinks->GetUseRecentItems(); }

void TdxBar::SetUseRecentItems(Boolean value) { FItemLinks->SetUseRecentItems(value); }

void TdxBar::SetUseOwnFont(Boolean value) {
  if (FUseOwnFont == value) return;
  FUseOwnFont = value;
  orv::TFlagScope internal(FInternalFontChange, true);
  if (value) {
    ApplyOwnFont();
  } else if (TdxBarManager* manager = GetBarManager()) {
    FFont->Assign(manager->GetFont());
  }
  ReportChange();
}

void TdxBar::FontChanged(TObject* sender) {
  if (!FInternalFontChange) FUseOwnFont = true;
  if (FUseOwnFont) ApplyOwnFont();
}

void TdxBar::ApplyOwnFont() { FItemFont->Assign(FFont); }

Boolean TdxBar::CanMove() const {
  TdxBarManager* manager = GetBarManager();
  for (TdxBarDockingStyle style : {dsNone, dsLeft, dsTop, dsRight, dsBottom})
    if (!FNotDocking.Contains(style) && !(manager && manager->GetNotDocking().Contains(style))) return true;
  return false;
}

// ---- Merging

void TdxBar::MergeWith(TdxBar* bar, Boolean keepVisibility) {
  if (FMergeTarget) throw EdxException(GetLocalizedResourceString(&dxSBAR_CANTMERGEWITHMERGEDTOOLBAR));
  if (!bar || bar == this) throw EdxException(GetLocalizedResourceString(&dxSBAR_CANTMERGETOOLBAR));
  if (bar->FMergeTarget == this)
    throw EdxException(Format(GetLocalizedResourceString(&dxSBAR_TOOLBARSALREADYMERGED), {bar->FCaption, FCaption}));
  if (!bar->FMergedBars.empty())
    throw EdxException(Format(GetLocalizedResourceString(&dxSBAR_TOOLBARHASMERGEDTOOLBARS), {bar->FCaption}));
  const Boolean wasMerged = bar->FMergeTarget != nullptr;
  if (wasMerged) bar->FMergeTarget->UnmergeFrom(bar, false);
  bar->FMergeTarget = this;
  FMergedBars.push_back(bar);
  TdxBarManager* manager = GetBarManager();
  if (manager) manager->BeginUpdate();
  try {
    FItemLinks->Merge(bar->FItemLinks);
  } catch (...) {
    if (manager) manager->EndUpdate();
    throw;
  }
  if (manager) manager->EndUpdate();
  if (!wasMerged && keepVisibility) bar->FVisibleBeforeMerge = bar->GetVisible();
  bar->SetVisible(false);
}

void TdxBar::UnmergeFrom(TdxBar* bar, Boolean restoreVisibility) {
  if (bar == this) throw EdxException(GetLocalizedResourceString(&dxSBAR_CANTUNMERGETOOLBAR));
  if (bar && !bar->FMergeTarget) return;
  if (bar && bar->FMergeTarget != this)
    throw EdxException(Format(GetLocalizedResourceString(&dxSBAR_TOOLBARSARENOTMERGED), {bar->FCaption, FCaption}));
  if (FMergedBars.empty()) return;
  TdxBarManager* manager = GetBarManager();
  if (manager) manager->BeginUpdate();
  try {
    FItemLinks->Unmerge(bar);
  } catch (...) {
    if (manager) manager->EndUpdate();
    throw;
  }
  if (manager) manager->EndUpdate();
  const std::vector<TdxBar*> leaving = bar ? std::vector<TdxBar*>{bar} : FMergedBars;
  for (auto it = leaving.rbegin(); it != leaving.rend(); ++it) {
    TdxBar* merged = *it;
    merged->FMergeTarget = nullptr;
    FMergedBars.erase(std::remove(FMergedBars.begin(), FMergedBars.end(), merged), FMergedBars.end());
    if (restoreVisibility) merged->SetVisible(merged->FVisibleBeforeMerge);
  }
}

void TdxBar::UnmergeAllOf(TdxBarManager* manager, Boolean restoreVisibility) {
  for (Integer i = GetMergedBarCount() - 1; i >= 0; --i)
    if (i < GetMergedBarCount() && (!manager || FMergedBars[size_t(i)]->GetBarManager() == manager))
      UnmergeFrom(FMergedBars[size_t(i)], restoreVisibility);
}

void TdxBar::SaveMerges() {
  FSavedMerges = FMergedBars;
  for (TdxBar* bar : FSavedMerges) bar->FSavingTargets.push_back(this);
}

void TdxBar::RestoreMerges() {
  const std::vector<TdxBar*> saved = FSavedMerges;
  FSavedMerges.clear();
  for (TdxBar* bar : saved) {
    bar->FSavingTargets.erase(std::remove(bar->FSavingTargets.begin(), bar->FSavingTargets.end(), this),
                              bar->FSavingTargets.end());
    MergeWith(bar, bar->GetBarManager() == GetBarManager());
  }
}

void TdxBar::RemoveFreeNotification(TCustomdxBarSubItem* subItem) {
  auto it = std::find(FSubItems.begin(), FSubItems.end(), subItem);
  if (it != FSubItems.end()) FSubItems.erase(it);
}

void TdxBar::MarkChanged() {
  TdxBarManager* manager = GetBarManager();
  if (manager && manager->IsUpdateLocked()) FChanged = true;
}

void TdxBar::Assign(TPersistent* source) {
  auto* bar = dynamic_cast<TdxBar*>(source);
  if (!bar) {
    inherited::Assign(source);
    return;
  }
  SetAllowClose(bar->FAllowClose);
  SetAllowCustomizing(bar->FAllowCustomizing);
  SetAllowQuickCustomizing(bar->FAllowQuickCustomizing);
  SetAllowReset(bar->FAllowReset);
  if (bar->FCaptionButtons) GetCaptionButtons()->Assign(bar->FCaptionButtons);
  SetBorderStyle(bar->FBorderStyle);
  SetCaption(bar->FCaption);
  SetDockedDockingStyle(bar->FDockedDockingStyle);
  SetDockedLeft(bar->FDockedLeft);
  SetDockedTop(bar->FDockedTop);
  SetFloatLeft(bar->FFloatLeft);
  SetFloatTop(bar->FFloatTop);
  SetFloatClientWidth(bar->FFloatClientWidth);
  SetFloatClientHeight(bar->FFloatClientHeight);
  SetHidden(bar->FHidden);
  SetIsMainMenu(bar->FIsMainMenu);
  SetItemLinks(bar->FItemLinks);
  SetNotDocking(bar->FNotDocking);
  SetOldName(bar->FOldName);
  SetOneOnRow(bar->FOneOnRow);
  SetRotateWhenVertical(bar->FRotateWhenVertical);
  SetRow(bar->GetRow());
  SetShowMark(bar->FShowMark);
  SetSizeGrip(bar->FSizeGrip);
  SetWholeRow(bar->FWholeRow);
  DockTo(bar->GetDockingStyle());
  SetUseRecentItems(bar->GetUseRecentItems());
  SetUseRestSpace(bar->FUseRestSpace);
  SetColor(bar->FColor);
  SetFont(bar->FFont);
  SetUseOwnFont(bar->FUseOwnFont);
  SetVisible(bar->GetVisible());
}

void TdxBar::SetName(const AnsiString& newName) {
  // A name read from the older list of bars is kept aside; the bar keeps its own.
  if (TdxBarManager* manager = GetBarManager(); manager && manager->IsReadingOldBars()) {
    FOldName = newName;
    return;
  }
  inherited::SetName(newName);
}

void TdxBar::SetItemLinks(TdxBarItemLinks* value) { FItemLinks->Assign(value); }

Boolean TdxBar::IsShortCut(TShortCut shortCut) { return FItemLinks->IsShortCut(shortCut); }

Boolean TdxBar::CanContainItem(TdxBarItem* item, AnsiString& errorText) { return item->CanBePlacedOn(0, this, errorText); }

TcxComponentCollection* TdxBar::GetParentCollection(TComponent* parent) {
  auto* manager = dynamic_cast<TdxBarManager*>(parent);
  TcxComponentCollection* bars = manager ? manager->GetBars() : nullptr;
  // A main-menu bar read before it joined its manager registers now.
  if (bars && FIsMainMenu && !manager->GetMainMenuBarRaw()) manager->SetMainMenuBar(this);
  return bars;
}

TdxBars::TdxBars(TdxBarManager* barManager)
    : TcxComponentCollection(barManager, TdxBar::StaticClass()), FBarManager(barManager) {}

TdxDockControl* TdxBars::GetDockControl(TdxBarDockingStyle style) const { return FDockControls[style]; }

void TdxBars::SetDockControl(TdxBarDockingStyle style, TdxDockControl* value) { FDockControls[style] = value; }

void TdxBars::CollectionChanged(TcxComponentCollectionItem* item, orv::TComponentCollectionAction action) {
  inherited::CollectionChanged(item, action);
  if (item && action == orv::ccaChanged && FBarManager) FBarManager->DesignerModified();
}

void TdxBars::NameNewItem(TcxComponentCollectionItem* item) {
  TComponent* owner = item->GetOwner();
  if (!owner || !FBarManager) return;
  item->SetName(GenerateUniqueComponentName(owner, FBarManager, item, "Td"));
}

// ==== Categories, image options and backgrounds ===============================================

TPersistent* TdxBarPersistent::GetOwner() { return FBarManager; }

TdxBarManagerCategories::TdxBarManagerCategories(TdxBarManager* barManager) : FBarManager(barManager) {
  if (!barManager->IsLoading()) EnsureDefault();
}

TdxBarManagerCategories::~TdxBarManagerCategories() {
  for (Integer i = 0; i < GetCount(); ++i) orv::Free(GetObject(i));
}

void TdxBarManagerCategories::EnsureDefault() {
  if (GetCount() == 0) Add(GetLocalizedResourceString(&dxSBAR_DEFAULTCATEGORYNAME));
}

TdxBarCategoryData* TdxBarManagerCategories::FindData(Integer index) const {
  return index >= 0 && index < GetCount() ? static_cast<TdxBarCategoryData*>(GetObject(index)) : nullptr;
}

TdxBarCategoryData* TdxBarManagerCategories::GetData(Integer index) {
  if (index < 0 || index >= GetCount()) return nullptr;
  auto* data = static_cast<TdxBarCategoryData*>(GetObject(index));
  if (!data) {
    data = new TdxBarCategoryData;
    PutObject(index, data);
  }
  return data;
}

void TdxBarManagerCategories::RenumberItems(Integer from, Integer to) {
  for (Integer i = 0; i < FBarManager->GetItemCount(); ++i)
    if (TdxBarItem* item = FBarManager->GetItem(i); item->GetCategory() == from) item->StoreCategory(to);
}

void TdxBarManagerCategories::Clear() {
  for (Integer i = 0; i < GetCount(); ++i) orv::Free(GetObject(i));
  inherited::Clear();
}

void TdxBarManagerCategories::Delete(Integer index) {
  if (FMoving) {
    inherited::Delete(index);
    return;
  }
  if (index < 0 || index >= GetCount()) {
    inherited::Delete(index);  // the list reports the bad index
    return;
  }
  if (!FBarManager->InDestruction()) {
    for (Integer i = FBarManager->GetItemCount() - 1; i >= 0; --i)
      if (TdxBarItem* item = FBarManager->GetItem(i); item && item->GetCategory() == index) item->Free();
    for (Integer c = index + 1; c < GetCount(); ++c) RenumberItems(c, c - 1);
  }
  orv::Free(GetObject(index));
  PutObject(index, nullptr);
  inherited::Delete(index);
  if (!FBarManager->InDestruction()) EnsureDefault();
}

void TdxBarManagerCategories::Insert(Integer index, const AnsiString& s) {
  if (!FMoving && index >= 0 && index < GetCount())
    for (Integer c = GetCount() - 1; c >= index; --c) RenumberItems(c, c + 1);
  inherited::Insert(index, s);
}

void TdxBarManagerCategories::Exchange(Integer index1, Integer index2) {
  if (index1 < 0 || index2 < 0 || index1 >= GetCount() || index2 >= GetCount()) {
    inherited::Exchange(index1, index2);
    return;
  }
  std::vector<TdxBarItem*> first, second;
  for (Integer i = 0; i < FBarManager->GetItemCount(); ++i) {
    TdxBarItem* item = FBarManager->GetItem(i);
    if (item->GetCategory() == index1) first.push_back(item);
    if (item->GetCategory() == index2) second.push_back(item);
  }
  for (TdxBarItem* item : first) item->SetCategory(index2);
  for (TdxBarItem* item : second) item->SetCategory(index1);
  inherited::Exchange(index1, index2);
}

void TdxBarManagerCategories::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex || curIndex < 0 || newIndex < 0 || curIndex >= GetCount() || newIndex >= GetCount())
    return;
  constexpr Integer kParked = -1000;
  RenumberItems(curIndex, kParked);
  if (curIndex < newIndex)
    for (Integer c = curIndex + 1; c <= newIndex; ++c) RenumberItems(c, c - 1);
  else
    for (Integer c = curIndex - 1; c >= newIndex; --c) RenumberItems(c, c + 1);
  RenumberItems(kParked, newIndex);
  FMoving = true;
  try {
    inherited::Move(curIndex, newIndex);
  } catch (...) {
    FMoving = false;
    throw;
  }
  FMoving = false;
}

void TdxBarManagerCategories::Changed() {
  inherited::Changed();
  FBarManager->DesignerModified();
}

void TdxBarManagerCategories::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("ItemsVisibles", TReaderProc(this, &TdxBarManagerCategories::ReadItemsVisibles),
                        TWriterProc(this, &TdxBarManagerCategories::WriteItemsVisibles), true);
  filer->DefineProperty("Visibles", TReaderProc(this, &TdxBarManagerCategories::ReadVisibles),
                        TWriterProc(this, &TdxBarManagerCategories::WriteVisibles), true);
}

void TdxBarManagerCategories::ReadItemsVisibles(TReader* reader) {
  BeginUpdate();
  reader->ReadListBegin();
  for (Integer i = 0; !reader->EndOfList(); ++i) {
    const Integer value = reader->ReadInteger();
    if (i < GetCount() && value >= ivNever && value <= ivAlways)
      FBarManager->SetCategoryItemsVisible(i, TdxBarItemVisible(value));
  }
  reader->ReadListEnd();
  EndUpdate();
}

void TdxBarManagerCategories::WriteItemsVisibles(TWriter* writer) {
  writer->WriteListBegin();
  for (Integer i = 0; i < GetCount(); ++i) writer->WriteInteger(FBarManager->GetCategoryItemsVisible(i));
  writer->WriteListEnd();
}

void TdxBarManagerCategories::ReadVisibles(TReader* reader) {
  BeginUpdate();
  reader->ReadListBegin();
  for (Integer i = 0; !reader->EndOfList(); ++i) {
    const Boolean value = reader->ReadBoolean();
    if (i < GetCount()) FBarManager->SetCategoryVisible(i, value);
  }
  reader->ReadListEnd();
  EndUpdate();
}

void TdxBarManagerCategories::WriteVisibles(TWriter* writer) {
  writer->WriteListBegin();
  for (Integer i = 0; i < GetCount(); ++i) writer->WriteBoolean(FBarManager->GetCategoryVisible(i));
  writer->WriteListEnd();
}

TdxBarImageOptions::TdxBarImageOptions(TdxBarManager* barManager)
    : TdxBarPersistent(barManager), FFreeNotificator(new TcxFreeNotificator(nullptr)) {
  FFreeNotificator->SetOnFreeNotification(TcxFreeNotificationEvent(this, &TdxBarImageOptions::ImageListFreed));
  for (auto& link : FChangeLinks) link = new TChangeLink;
  UpdateGlyphSize();
}

TdxBarImageOptions::~TdxBarImageOptions() {
  for (Integer kind = 0; kind < kImageListCount; ++kind) {
    if (FImages[kind]) FImages[kind]->UnRegisterChanges(FChangeLinks[kind]);
    orv::Free(FChangeLinks[kind]);
  }
  orv::Free(FFreeNotificator);
}

void TdxBarImageOptions::SetImageListChangeHandler(Integer kind, const TNotifyEvent& handler) {
  FChangeLinks[kind]->SetOnChange(handler);
}

void TdxBarImageOptions::SetImageList(Integer kind, TCustomImageList* value) {
  if (FImages[kind] == value) return;
  if (FImages[kind]) {
    FImages[kind]->UnRegisterChanges(FChangeLinks[kind]);
    FFreeNotificator->RemoveSender(FImages[kind]);
  }
  FImages[kind] = value;
  if (value) {
    value->RegisterChanges(FChangeLinks[kind]);
    FFreeNotificator->AddSender(value);
  }
  if (const TNotifyEvent& handler = FChangeLinks[kind]->GetOnChange()) handler(this);
}

void TdxBarImageOptions::SetLargeImages(TCustomImageList* value) {
  if (FImages[kLarge] == value) return;
  SetImageList(kLarge, value);
  if (FLargeIcons && FUseLargeImagesForLargeIcons) GlyphSizeChanged();
}

void TdxBarImageOptions::ImageListFreed(TComponent* sender) {
  for (Integer kind = 0; kind < kImageListCount; ++kind)
    if (FImages[kind] == sender) {
      FImages[kind] = nullptr;
      if (const TNotifyEvent& handler = FChangeLinks[kind]->GetOnChange()) handler(this);
    }
}

void TdxBarImageOptions::GlyphOptionsChanged() {
  if (FOnGlyphOptionsChanged) FOnGlyphOptionsChanged(this);
}

void TdxBarImageOptions::GlyphSizeChanged() {
  if (FOnGlyphSizeChanged) FOnGlyphSizeChanged(this);
}

void TdxBarImageOptions::SetImageListBkColor(TColor value) {
  if (FImageListBkColor == value) return;
  FImageListBkColor = value;
  GlyphOptionsChanged();
}

void TdxBarImageOptions::SetLargeIcons(Boolean value) {
  if (FLargeIcons == value) return;
  FLargeIcons = value;
  GlyphSizeChanged();
}

void TdxBarImageOptions::SetMakeDisabledImagesFaded(Boolean value) {
  if (FMakeDisabledImagesFaded == value) return;
  FMakeDisabledImagesFaded = value;
  GlyphOptionsChanged();
}

void TdxBarImageOptions::SetUseLargeImagesForLargeIcons(Boolean value) {
  if (FUseLargeImagesForLargeIcons == value) return;
  FUseLargeImagesForLargeIcons = value;
  GlyphOptionsChanged();
}

void TdxBarImageOptions::SetUseLeftBottomPixelAsTransparent(Boolean value) {
  if (FUseLeftBottomPixelAsTransparent == value) return;
  FUseLeftBottomPixelAsTransparent = value;
  GlyphOptionsChanged();
}

Boolean TdxBarImageOptions::IsLoading() const {
  for (TCustomImageList* list : FImages)
    if (list && list->GetComponentState().Contains(csLoading)) return true;
  return false;
}

void TdxBarImageOptions::UpdateGlyphSize() {
  if (!FLargeIcons)
    FGlyphSize = 16;
  else
    FGlyphSize = UseLargeImages() ? GetLargeImages()->GetWidth() : 32;
}

void TdxBarImageOptions::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TdxBarImageOptions*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  SetDisabledImages(other->GetDisabledImages());
  SetDisabledLargeImages(other->GetDisabledLargeImages());
  SetHotImages(other->GetHotImages());
  SetImageListBkColor(other->GetImageListBkColor());
  SetImages(other->GetImages());
  SetLargeIcons(other->GetLargeIcons());
  SetLargeImages(other->GetLargeImages());
  SetMakeDisabledImagesFaded(other->GetMakeDisabledImagesFaded());
  FSmoothGlyphs = other->FSmoothGlyphs;
  FStretchGlyphs = other->FStretchGlyphs;
  SetUseLargeImagesForLargeIcons(other->GetUseLargeImagesForLargeIcons());
  SetUseLeftBottomPixelAsTransparent(other->GetUseLeftBottomPixelAsTransparent());
}

TdxBarBackgrounds::TdxBarBackgrounds(TdxBarManager* barManager)
    : TdxBarPersistent(barManager), FBar(new TBitmap), FSubMenu(new TBitmap) {
  FBar->SetOnChange(TNotifyEvent(this, &TdxBarBackgrounds::BarChanged));
}

TdxBarBackgrounds::~TdxBarBackgrounds() {
  orv::Free(FBar);
  orv::Free(FSubMenu);
}

void TdxBarBackgrounds::BarChanged(TObject* sender) {
  if (FBarManager && !FBarManager->InDestruction()) FBarManager->StyleChanged();
}

void TdxBarBackgrounds::SetBar(TBitmap* value) {
  const Boolean wasEmpty = FBar->GetEmpty();
  if (value) {
    FBar->Assign(value);
  } else {
    FBar->Assign(nullptr);
    if (!wasEmpty) BarChanged(FBar);
  }
}

void TdxBarBackgrounds::SetSubMenu(TBitmap* value) { FSubMenu->Assign(value); }

void TdxBarBackgrounds::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TdxBarBackgrounds*>(source)) {
    SetBar(other->GetBar());
    SetSubMenu(other->GetSubMenu());
  } else {
    inherited::Assign(source);
  }
}

// ==== The bar manager =========================================================================

TdxBarPainterClass dxBarSkinPainterClass = TdxBarStandardPainter::StaticClass();

// ---- The painter's metrics and style answers

Boolean TdxBarPainter::SupportsFading() { return Supports<IFadingPainter>(static_cast<TObject*>(this)) != nullptr; }

void TdxBarPainter::FillColorRect(TcxCanvas* canvas, const TRect& rect, TColor color) {
  canvas->FillRectWithColor(rect, color);
}

Integer TdxBarPainter::CalcTextHeight(TcxCanvas* canvas) { return canvas->TextHeight("Wg") + 6; }

Boolean TdxBarPainter::IsFlatOnNonWhiteFace() { return IsFlatStyle() && !IsWhiteButtonFace(); }

Integer TdxBarPainter::GetFloatingFrameWidth() { return GetSystemMetrics(SM_CXFRAME); }
Integer TdxBarPainter::GetFloatingFrameHeight() { return GetSystemMetrics(SM_CYFRAME); }

Integer TdxBarPainter::GetButtonArrowWidth(TdxBarManager* manager) {
  Integer width = manager->GetButtonArrowWidth();
  if (manager->GetLargeIcons()) width *= 2;
  // Always odd, so that the arrow has a middle column.
  return width % 2 == 0 ? width + 1 : width;
}

Integer TdxBarPainter::GetLargeButtonArrowWidth(TdxBarManager* manager) { return manager->GetLargeButtonArrowWidth(); }

void TdxBarPainter::GetDockedBorderMargins(TCustomdxBarControl* barControl, TRect& rect) {
  const Integer margin = GetDockedBorderMargin();
  rect = TRect{margin, margin, margin, margin};
}

Integer TdxBarPainter::GetSmallCaptionHeight() {
  NONCLIENTMETRICS metrics;
  return SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) ? metrics.iSmCaptionHeight : 0;
}

void TdxBarPainter::GetCaptionButtonSize(TSize& size) {
  const Integer side = GetSmallCaptionHeight();
  size = TSize{side, side};
}

void TdxBarPainter::GetSizeGripSize(TdxBarManager* manager, TSize& size) {
  // Native backgrounds would take the themed grip; visual styles are absent here.
  size = TSize{GetSystemMetrics(SM_CXHSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

void TdxBarPainter::GetMenuContentOffsets(TCustomdxBarControl* subMenu, TRect& rect) {
  const Integer border = GetMenuInnerBorderWidth();
  rect = TRect{border, border, border, border};
}

void TdxBarPainter::ApplyLookAndFeel(TdxBarManager* manager, TcxLookAndFeel* lookAndFeel) {
  if (manager && lookAndFeel) manager->SetLookAndFeel(lookAndFeel);
}

TColor TdxBarPainter::GetEditDefaultColor(TdxBarItemControl* control) { return TColor(GetSysColor(COLOR_WINDOW)); }
TColor TdxBarPainter::GetEditTextDefaultColor() { return TColor(GetSysColor(COLOR_WINDOWTEXT)); }
TColor TdxBarPainter::GetEditDisabledTextColor() { return TColor(GetSysColor(COLOR_GRAYTEXT)); }
TColor TdxBarPainter::GetProgressColor() { return TColor(GetSysColor(COLOR_HIGHLIGHT)); }
HBRUSH TdxBarPainter::GetArrowItemBrush() { return reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNSHADOW + 1)); }

namespace {
// The manager carries the skinning mark from the start.
[[maybe_unused]] const Boolean kBarManagerSkinnable = (RegisterSkinnableClass(TdxBarManager::StaticClass()), true);
}  // namespace

namespace {

// Runs before the component exists, so that a refused owner leaves nothing behind.
TComponent* CheckedManagerOwner(TComponent* owner) {
  if (!owner && Application) owner = Application->GetMainForm();
  if (!dynamic_cast<TWinControl*>(owner))
    throw EdxException(GetLocalizedResourceString(&dxSBAR_BARMANAGERBADOWNER));
  if (GetBarManagerOwnedBy(owner))
    throw EdxException(GetLocalizedResourceString(&dxSBAR_BARMANAGERMORETHANONE));
  return owner;
}

// Each channel c raised by (255 - c) * percent / 100, rounded as MulDiv rounds.
COLORREF LightenColor(COLORREF color, Integer percent) {
  auto channel = [&](Integer c) { return Byte(c + MulDiv(255 - c, percent, 100)); };
  return RGB(channel(GetRValue(color)), channel(GetGValue(color)), channel(GetBValue(color)));
}

COLORREF ScaleColor(COLORREF color, Integer numerator, Integer denominator) {
  auto channel = [&](Integer c) { return Byte(MulDiv(c, numerator, denominator)); };
  return RGB(channel(GetRValue(color)), channel(GetGValue(color)), channel(GetBValue(color)));
}

}  // namespace

TdxBarManager::TdxBarManager(TComponent* owner) : TComponent(CheckedManagerOwner(owner)) {
  RegisterBarManager(this);
  FBackgrounds = new TdxBarBackgrounds(this);
  FLookAndFeel = new TcxLookAndFeel(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TdxBarManager::LookAndFeelChanged));
  StyleChanged();  // Style starts as bmsEnhanced: builds the painter
  FInternalItems = new TdxObjectList;
  FItemList = new TdxBarComponentList;
  FCategories = new TdxBarManagerCategories(this);
  FBars = new TdxBars(this);
  FPopupMenuLinks = new TdxBarPopupMenuLinks(this);
  for (auto& handlers : FHandlers) handlers = new TcxEventHandlerCollection;
  FBarCaptionFont = new TFont;
  FEditFont = new TFont;
  FFont = new TFont;
  FFont->SetOnChange(TNotifyEvent(this, &TdxBarManager::FontChanged));
  FGroups = new TdxBarComponentList;
  FHelpButtonGlyph = new TBitmap;
  FHelpButtonGlyph->SetOnChange(TNotifyEvent(this, &TdxBarManager::HelpButtonGlyphChanged));
  FThemeNotificator = new TdxThemeChangedNotificator;
  FThemeNotificator->SetOnThemeChanged(TNotifyEvent(this, &TdxBarManager::ThemeChanged));
  RecalcRecentUseThreshold();
  SetUseSystemFont(true);
  CreateBrushes();
  AcquireOffice11Resources();
  FOffice11Acquired = true;
  FImageOptions = new TdxBarImageOptions(this);
  using Opt = TdxBarImageOptions;
  FImageOptions->SetImageListChangeHandler(Opt::kImages, TNotifyEvent(this, &TdxBarManager::ImagesChanged));
  FImageOptions->SetImageListChangeHandler(Opt::kDisabled, TNotifyEvent(this, &TdxBarManager::ImagesChanged));
  FImageOptions->SetImageListChangeHandler(Opt::kHot, TNotifyEvent(this, &TdxBarManager::HotImagesChanged));
  FImageOptions->SetImageListChangeHandler(Opt::kLarge, TNotifyEvent(this, &TdxBarManager::LargeImagesChanged));
  FImageOptions->SetImageListChangeHandler(Opt::kDisabledLarge,
                                           TNotifyEvent(this, &TdxBarManager::LargeImagesChanged));
  FImageOptions->SetOnGlyphOptionsChanged(TNotifyEvent(this, &TdxBarManager::GlyphOptionsChanged));
  FImageOptions->SetOnGlyphSizeChanged(TNotifyEvent(this, &TdxBarManager::GlyphSizeChanged));
  if (!IsDesigning()) FSnapshot = new TMemIniFile(AnsiString());
}

void TdxBarManager::BeforeDestruction() {
  Destroying();
  InvalidateObjectLinks(this);
  UnregisterBarManager(this);
  ForgetHintOf(this);
  SetCustomizingMode(false);
  orv::Free(FSnapshot);
  FSnapshot = nullptr;
  orv::Free(FImageOptions);
  FImageOptions = nullptr;
  orv::Free(FThemeNotificator);
  FThemeNotificator = nullptr;
  DestroyBrushes();
  if (FOffice11Acquired) ReleaseOffice11Resources();
  FOffice11Acquired = false;
  // The manager frees the bars, items and groups still listed, whoever owns them.
  while (!FPopupMenus.empty()) {
    TdxBarComponent* menu = FPopupMenus.back();
    FPopupMenus.pop_back();
    menu->Free();
  }
  while (FGroups->GetCount()) FGroups->Get(FGroups->GetCount() - 1)->Free();
  FBars->Clear();
  FMainMenuBar = nullptr;
  for (Integer i = FInternalItems->GetCount() - 1; i >= 0; --i) FInternalItems->Get(i)->Free();
  FInternalItems->Clear();
  while (FItemList->GetCount()) FItemList->Get(FItemList->GetCount() - 1)->Free();
  FDockControls.clear();
  inherited::BeforeDestruction();
}

TdxBarManager::~TdxBarManager() {
  orv::Free(FLookAndFeel);
  orv::Free(FHelpButtonGlyph);
  orv::Free(FGroups);
  orv::Free(FFont);
  orv::Free(FEditFont);
  orv::Free(FBarCaptionFont);
  orv::Free(FBars);
  orv::Free(FPopupMenuLinks);
  for (auto* handlers : FHandlers) orv::Free(handlers);
  orv::Free(FInternalItems);
  orv::Free(FItemList);
  orv::Free(FCategories);
  orv::Free(FRestoringList);
  orv::Free(FBackgrounds);
  orv::Free(FPainter);
}

// ---- Queries

TWinControl* TdxBarManager::GetOwnerControl() const {
  return dynamic_cast<TWinControl*>(const_cast<TdxBarManager*>(this)->GetOwner());
}

TCustomForm* TdxBarManager::GetMainForm() const { return FindBarManagerForm(const_cast<TdxBarManager*>(this), fsoMainOnly); }

TdxBar* TdxBarManager::GetMainMenuBar() const {
  TCustomdxBarControl* control = FMainMenuBar ? FMainMenuBar->GetControl() : nullptr;
  if (control && gServices.IsBarControlVisible && !gServices.IsBarControlVisible(control)) return nullptr;
  return FMainMenuBar;
}

TCustomdxBarControl* TdxBarManager::GetMainMenuControl() const {
  return FMainMenuBar ? FMainMenuBar->GetControl() : nullptr;
}

TdxBarManagerStyle TdxBarManager::GetEffectiveStyle() const {
  if (FStyle != bmsUseLookAndFeel) return FStyle;
  if (FLookAndFeel->GetNativeStyle() && FThemeAvailable) return bmsXP;
  switch (FLookAndFeel->GetKind()) {
    case lfFlat: return bmsEnhanced;
    case lfStandard: return bmsStandard;
    case lfUltraFlat: return bmsFlat;
    default: return bmsOffice11;
  }
}

TdxBarManagerStyle TdxBarManager::GetPainterStyle() const {
  const TdxBarManagerStyle style = GetEffectiveStyle();
  return style == bmsXP && !FThemeAvailable ? bmsEnhanced : style;
}

TdxBarPainterClass TdxBarManager::GetPainterClass() {
  if (FStyle == bmsUseLookAndFeel && FLookAndFeel->GetSkinPainter() && !FLookAndFeel->GetNativeStyle())
    return dxBarSkinPainterClass;
  switch (GetPainterStyle()) {
    case bmsEnhanced: return TdxBarEnhancedPainter::StaticClass();
    case bmsFlat: return TdxBarFlatPainter::StaticClass();
    case bmsXP: return TdxBarXPPainter::StaticClass();
    case bmsOffice11: return TdxBarOffice11Painter::StaticClass();
    default: return TdxBarStandardPainter::StaticClass();
  }
}

Boolean TdxBarManager::UseRecentItems() const {
  return FMenusShowRecentItemsFirst && SupportsRecentItems() && !IsDesigning();
}

TdxBarItem* TdxBarManager::GetItem(Integer index) const {
  return index >= 0 && index < GetItemCount() ? static_cast<TdxBarItem*>(FItemList->Get(index)) : nullptr;
}

Integer TdxBarManager::GetBarCount() const { return FBars ? FBars->GetCount() : 0; }

TdxBar* TdxBarManager::GetBar(Integer index) const {
  return index >= 0 && index < GetBarCount() ? FBars->GetItem(index) : nullptr;
}

TdxBarGroup* TdxBarManager::GetGroup(Integer index) const {
  return index >= 0 && index < GetGroupCount() ? static_cast<TdxBarGroup*>(FGroups->Get(index)) : nullptr;
}

TdxBarDockControl* TdxBarManager::GetDockControl(Integer index) const {
  return index >= 0 && index < GetDockControlCount() ? FDockControls[index] : nullptr;
}

HWND TdxBarManager::GetParentHandle() const {
  if (Application) {
    HWND appWindow = Application->GetHandle();
    if (appWindow && IsWindowVisible(appWindow)) return appWindow;
  }
  TWinControl* owner = GetOwnerControl();
  return owner ? owner->GetHandle() : nullptr;
}

Boolean TdxBarManager::IsAnotherManagerCustomizing() const {
  TdxBarManager* customizing = dxBarManagerList()->GetCustomizingManager();
  return customizing && customizing != this;
}

// ---- Lookups

TdxBarItem* TdxBarManager::GetItemByName(const AnsiString& name) const {
  // Items made at run time have no name; an empty name (a link stored without its item's name)
  // must not pick the first of them.
  if (name.empty()) return nullptr;
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (SameText(GetItem(i)->GetName(), name)) return GetItem(i);
  return nullptr;
}

TdxBar* TdxBarManager::GetBarByName(const AnsiString& name) const {
  for (Integer i = 0; i < GetBarCount(); ++i)
    if (GetBar(i)->GetName() == name) return GetBar(i);
  return nullptr;
}

TdxBar* TdxBarManager::GetBarByCaption(const AnsiString& caption) const {
  for (Integer i = 0; i < GetBarCount(); ++i)
    if (GetBar(i)->GetCaption() == caption) return GetBar(i);
  return nullptr;
}

void TdxBarManager::GetItemsByCategory(Integer category, TList* list) {
  list->Clear();
  for (Integer i = 0; i < GetItemCount(); ++i) {
    TdxBarItem* item = GetItem(i);
    if (item->GetCategory() != category) continue;
    if (IsDesigning()) {
      list->Add(item);
      continue;
    }
    if (item->IsHiddenFromCategory()) continue;
    const TdxBarItemVisible visible = item->GetVisible();
    if ((visible == ivAlways && (item->CanBeVisible() || FIsCustomizing)) ||
        (visible == ivInCustomizing && FIsCustomizing))
      list->Add(item);
  }
}

Integer TdxBarManager::GetRealCategoryIndex(Integer index) {
  if (IsDesigning()) return index;
  for (Integer i = 0; i < FCategories->GetCount(); ++i)
    if (GetCategoryVisible(i) && index-- == 0) return i;
  return -1;
}

// ---- Naming

AnsiString TdxBarManager::GetUniqueBarCaption(const AnsiString& prefix) const {
  for (Integer n = 1;; ++n) {
    const AnsiString caption = prefix + IntToStr(n);
    if (!GetBarByCaption(caption)) return caption;
  }
}

AnsiString TdxBarManager::GetUniqueBarName(const AnsiString& prefix) {
  AnsiString name;
  if (IsDesigning() && !IsLoading() && FDesigner && FDesigner->MakeUniqueName(prefix, name)) return name;
  TComponent* owner = GetOwner();
  for (Integer n = 1;; ++n) {
    name = prefix + IntToStr(n);
    if (!GetBarByName(name) && !(owner && owner->FindComponent(name))) return name;
  }
}

AnsiString TdxBarManager::GetUniqueItemName(TClass itemClass) {
  const AnsiString prefix = AnsiString(itemClass->ClassName()).substr(1);
  AnsiString name;
  if (IsDesigning() && FDesigner && FDesigner->MakeUniqueName(prefix, name)) return name;
  TComponent* owner = GetOwner();
  for (Integer n = 1;; ++n) {
    name = prefix + IntToStr(n);
    if (!GetItemByName(name) && !(owner && owner->FindComponent(name))) return name;
  }
}

// ---- Changes

void TdxBarManager::AddItem(TdxBarItem* item) {
  if (!item || FItemList->IndexOf(item) >= 0) return;
  if (TdxBarManager* previous = item->GetBarManager(); previous && previous != this) previous->FItemList->Remove(item);
  item->SetBarManager(this);
  FItemList->Add(item);
}

void TdxBarManager::AddGroupToList(TdxBarGroup* group) {
  if (!group || FGroups->IndexOf(group) >= 0) return;
  group->SetBarManager(this);
  FGroups->Add(group);
}

TdxBarGroup* TdxBarManager::AddGroup() {
  auto* group = new TdxBarGroup(GetOwner());
  AddGroupToList(group);
  return group;
}

TdxBar* TdxBarManager::AddToolbar(Boolean mainMenu) {
  const AnsiString caption = GetUniqueBarCaption(GetLocalizedResourceString(&dxSBAR_TOOLBARNEWNAME));
  TdxBar* bar = nullptr;
  BeginUpdate();
  try {
    FBars->BeginUpdate();
    bar = FBars->Add();
    bar->SetCaption(caption);
    if (TWinControl* owner = GetOwnerControl()) {
      const TRect area = GetWorkAreaAtPoint(TPoint{owner->GetLeft(), owner->GetTop()});
      Integer left = owner->GetLeft() - 50;
      if (left < area.Left) left = owner->GetLeft() + owner->GetWidth() + 10;
      bar->SetFloatLeft(left);
      bar->SetFloatTop(owner->GetTop() < area.Top ? area.Top + 10 : owner->GetTop());
    }
    bar->SetDockingStyle(dsTop);
    if (mainMenu) {
      bar->SetRow(0);
      bar->SetIsMainMenu(true);
      bar->SetVisible(true);
    } else {
      bar->SetOneOnRow(true);
      bar->SetVisible(true);
      bar->SetOneOnRow(false);
    }
    FBars->EndUpdate();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return bar;
}

void TdxBarManager::MoveItem(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex || curIndex < 0 || newIndex < 0 || curIndex >= GetItemCount() ||
      newIndex >= GetItemCount())
    return;
  FItemList->Move(curIndex, newIndex);
  DesignerModified();
}

void TdxBarManager::SetCustomizingMode(Boolean value) {
  if (FIsCustomizing == value) return;
  // One customization form in the process: another manager's stays open, this one stays out.
  if (value && GetActiveCustomizationForm()) return;
  // Open menus close first. Opening and closing the customization form and refreshing the bar
  // windows land with those units; the flag itself already stops shortcuts and hints.
  if (ActiveBarControl() && gServices.CloseActiveBarControls) gServices.CloseActiveBarControls();
  if (value) HideHint();
  FIsCustomizing = value;
  // Every shown list follows the customizing state (items visible only while customizing).
  for (Integer i = 0; i < GetBarCount(); ++i) GetBar(i)->GetLinks()->RefreshLists();
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (TdxBarItemLinks* links = GetItem(i)->GetItemLinks(); links && links->GetBarManager() == this)
      links->RefreshLists();
  // The user customizes the bars as designed: merges are taken apart meanwhile.
  if (value)
    UnmergeAll();
  else
    RemergeAll();
  ShowCustomizationForm(this, value);
}

void TdxBarManager::UnmergeAll() {
  // The bars of this manager merged into another bar of it come back into view afterwards.
  std::vector<TdxBar*> ownMerged;
  for (Integer i = 0; i < GetBarCount(); ++i)
    if (TdxBar* target = GetBar(i)->GetMergeTarget(); target && target->GetBarManager() == this)
      ownMerged.push_back(GetBar(i));
  for (Integer i = GetBarCount() - 1; i >= 0; --i) {
    if (i >= GetBarCount()) continue;
    TdxBar* bar = GetBar(i);
    bar->SaveMerges();
    bar->UnmergeAllOf(nullptr, false);
  }
  for (TdxBar* bar : ownMerged)
    if (FBars->IndexOf(bar) >= 0) bar->SetVisible(bar->GetVisibleBeforeMerge());
}

void TdxBarManager::RemergeAll() {
  for (Integer i = 0; i < GetBarCount(); ++i) GetBar(i)->RestoreMerges();
}

void TdxBarManager::SetSelectedItem(TdxBarItemControl* value) { StoreSelectedItem(value); }

void TdxBarManager::AddDockControl(TdxBarDockControl* dockControl) {
  if (!dockControl) return;
  // A dock site unregisters itself (RemoveDockControl) when it goes.
  FDockControls.push_back(dockControl);
}

void TdxBarManager::RemoveDockControl(TdxBarDockControl* dockControl) {
  FDockControls.erase(std::remove(FDockControls.begin(), FDockControls.end(), dockControl), FDockControls.end());
  for (TdxBarDockingStyle style : {dsLeft, dsTop, dsRight, dsBottom})
    if (FBars->GetDockControl(style) == dockControl) FBars->SetDockControl(style, nullptr);
}

TdxBarComponent* TdxBarManager::GetPopupMenu(Integer index) const {
  return index >= 0 && index < GetPopupMenuCount() ? FPopupMenus[index] : nullptr;
}

void TdxBarManager::AddPopupMenu(TdxBarComponent* popupMenu) {
  if (popupMenu && std::find(FPopupMenus.begin(), FPopupMenus.end(), popupMenu) == FPopupMenus.end()) {
    FPopupMenus.push_back(popupMenu);
    popupMenu->FreeNotification(this);
  }
}

void TdxBarManager::RemovePopupMenu(TdxBarComponent* popupMenu) {
  FPopupMenus.erase(std::remove(FPopupMenus.begin(), FPopupMenus.end(), popupMenu), FPopupMenus.end());
}

void TdxBarManager::AddRestoringBar(TdxBar* bar) {
  if (!FRestoringList) FRestoringList = new TdxObjectList;
  FRestoringList->AddUnique(bar);
}

Boolean TdxBarManager::IsBarRestoring(TdxBar* bar) const { return FRestoringList && FRestoringList->IndexOf(bar) >= 0; }

void TdxBarManager::ShowRestoredBars() {
  if (!FRestoringList) return;
  for (Integer i = FRestoringList->GetCount() - 1; i >= 0; --i) {
    auto* bar = static_cast<TdxBar*>(FRestoringList->Get(i));
    FRestoringList->Delete(i);
    bar->SetVisible(true);
  }
  if (!FRestoringList->GetCount()) {
    orv::Free(FRestoringList);
    FRestoringList = nullptr;
  }
}

// ---- Categories

TdxBarItemVisible TdxBarManager::GetCategoryItemsVisible(Integer index) {
  if (index < 0 || index >= FCategories->GetCount()) return ivNever;
  TdxBarCategoryData* data = FCategories->FindData(index);
  return data ? data->ItemsVisible : ivAlways;
}

void TdxBarManager::SetCategoryItemsVisible(Integer index, TdxBarItemVisible value) {
  if (index < 0 || index >= FCategories->GetCount()) return;
  const TdxBarItemVisible old = GetCategoryItemsVisible(index);
  TdxBarCategoryData* data = FCategories->GetData(index);
  if (IsLoading()) {
    data->LoadedItemsVisible = value;
    data->HasLoadedItemsVisible = true;
    return;
  }
  data->ItemsVisible = value;
  if (!IsDesigning()) {
    BeginUpdate();
    try {
      if (value == ivAlways) {
        for (Integer i = GetItemCount() - 1; i >= 0; --i)
          if (TdxBarItem* item = GetItem(i); item->GetCategory() == index && item->GetVisible() == old)
            item->SetVisible(value);
      } else {
        for (Integer i = 0; i < GetItemCount(); ++i)
          if (TdxBarItem* item = GetItem(i); item->GetCategory() == index && item->GetVisible() == old)
            item->SetVisible(value);
      }
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  }
  if (old != value) DesignerModified();
}

Boolean TdxBarManager::GetCategoryVisible(Integer index) {
  if (index < 0 || index >= FCategories->GetCount()) return false;
  TdxBarCategoryData* data = FCategories->FindData(index);
  return data ? data->Visible : true;
}

void TdxBarManager::SetCategoryVisible(Integer index, Boolean value) {
  if (index < 0 || index >= FCategories->GetCount() || GetCategoryVisible(index) == value) return;
  FCategories->GetData(index)->Visible = value;
  DesignerModified();
}

// ---- Update lock

void TdxBarManager::BeginUpdate() { ++FLockUpdate; }

void TdxBarManager::EndUpdate() {
  if (FLockUpdate <= 0) return;
  if (--FLockUpdate == 0 && !InDestruction()) UpdateBars();
}

void TdxBarManager::EndUpdateNoRealign() {
  if (FLockUpdate > 0) --FLockUpdate;
}

void TdxBarManager::UpdateBars(Boolean realignChanged) {
  if (realignChanged)
    for (Integer i = 0; i < GetBarCount(); ++i) GetBar(i)->SetChanged(false);
  ++FRealignCount;
  UpdateBarControls(this);
  if (gServices.RealignBars) gServices.RealignBars(this);
}

// ---- Design support

void TdxBarManager::DesignerModified() {
  if (IsLoading() || FApplyingLoadedValues || InDestruction()) return;
  if (FDesignerModifiedLock > 0) {
    FDesignerModifiedDue = true;
    return;
  }
  FModified = true;
  if (IsDesigning() && !GetComponentState().Contains(csUpdating) && !GetComponentState().Contains(csWriting) &&
      !FRestoringBars && !(FImageOptions && FImageOptions->IsLoading()))
    cxDesignController()->NotifyDesignerModified(FindBarManagerForm(this, fsoAnyForm));
}

void TdxBarManager::LockDesignerModified(Boolean lock, Boolean notify) {
  if (lock) {
    if (FDesignerModifiedLock++ == 0) FDesignerModifiedDue = false;
    return;
  }
  if (FDesignerModifiedLock > 0 && --FDesignerModifiedLock == 0 && notify && FDesignerModifiedDue) {
    FDesignerModifiedDue = false;
    DesignerModified();
  }
}

void TdxBarManager::GetSelectedComponents(TList* list) {
  list->Clear();
  if (!FDesigner) return;
  TList selection;
  FDesigner->FillSelection(&selection);
  for (Integer i = 0; i < selection.GetCount(); ++i) {
    auto* object = static_cast<TPersistent*>(selection.Get(i));
    if (FDesigner->GetSelectionState(object) == 1) list->Add(object);
  }
}

Boolean TdxBarManager::AllowsDeletion() { return FDesigner ? FDesigner->AllowsDeletion() : true; }
void TdxBarManager::FillSelection(TList* list) {
  if (FDesigner) FDesigner->FillSelection(list);
}
Integer TdxBarManager::GetSelectionState(TPersistent* object) {
  return FDesigner ? FDesigner->GetSelectionState(object) : 0;
}
Boolean TdxBarManager::IsSelectedObject(TPersistent* object) { return GetSelectionState(object) == 1; }
void TdxBarManager::ChangeSelection(TPersistent* object, Integer operation) {
  if (FDesigner) FDesigner->ChangeSelection(object, operation);
}
void TdxBarManager::ReplaceSelection(TList* list) {
  if (FDesigner) FDesigner->ReplaceSelection(list);
}
void TdxBarManager::EditItem(TdxBarItem* item) {
  if (FDesigner) FDesigner->EditItem(item);
}
Boolean TdxBarManager::MakeUniqueName(const AnsiString& prefix, AnsiString& name) {
  return FDesigner && FDesigner->MakeUniqueName(prefix, name);
}

// ---- Events

void TdxBarManager::DoClickItem(TdxBarItem* item) {
  if (FOnClickItem) FOnClickItem(this, item);
}

Boolean TdxBarManager::CanDock(TdxBar* bar, TdxBarDockingStyle style, TdxDockControl* dockControl) {
  Boolean result = !bar->GetNotDocking().Contains(style);
  if (result) {
    Boolean defaultSite = !dockControl;
    for (TdxBarDockingStyle s : {dsLeft, dsTop, dsRight, dsBottom})
      if (reinterpret_cast<void*>(FBars->GetDockControl(s)) == reinterpret_cast<void*>(dockControl))
        defaultSite = true;
    // A user-placed dock site answers for itself once dock sites exist.
    if (defaultSite) result = !FNotDocking.Contains(style);
  }
  if (FOnDocking) FOnDocking(bar, style, dockControl, result);
  return result;
}

void TdxBarManager::DoBarAfterReset(TdxBar* bar) {
  if (FOnBarAfterReset) FOnBarAfterReset(this, bar);
}
void TdxBarManager::DoBarBeforeReset(TdxBar* bar) {
  if (FOnBarBeforeReset) FOnBarBeforeReset(this, bar);
}
void TdxBarManager::DoBarClose(TdxBar* bar) {
  if (FOnBarClose) FOnBarClose(this, bar);
}
void TdxBarManager::DoBarAdd(TdxBar* bar) {
  if (FOnBarAdd) FOnBarAdd(this, bar);
}

void TdxBarManager::DoBarDelete(TdxBar* bar) {
  if (FOnBarDelete) FOnBarDelete(this, bar);
}

void TdxBarManager::DoBarVisibleChange(TdxBar* bar) {
  if (FOnBarVisibleChange) FOnBarVisibleChange(this, bar);
}

void TdxBarManager::RemoveRestoringBar(TdxBar* bar) {
  if (!FRestoringList) return;
  FRestoringList->Remove(bar);
  if (FRestoringList->GetCount() == 0) {
    orv::Free(FRestoringList);
    FRestoringList = nullptr;
  }
}

void TdxBarManager::DoBarDockingStyleChange(TdxBar* bar) {
  if (FApplyingLoadedValues) return;
  if (FOnBarDockingStyleChange) FOnBarDockingStyleChange(this, bar);
  bar->SetChanged(true);
}
void TdxBarManager::DoItemLinkChange(TdxBarItemLink* link) {
  if (!IsLoading() && FOnItemLinkChange) FOnItemLinkChange(this, link);
}
void TdxBarManager::DoCloseButtonClick() { ::FireNotifyEvent(this, FOnCloseButtonClick); }
void TdxBarManager::DoHelpButtonClick() { ::FireNotifyEvent(this, FOnHelpButtonClick); }
void TdxBarManager::DoMergeItemLink(TdxBarItemLinks* dst, TdxBarItemLinks* src, TdxBarItemLink* srcLink,
                                    TdxBarItemMergeKind kind, Integer& mergeIndex) {
  if (FOnMergeItemLink) FOnMergeItemLink(this, dst, src, srcLink, kind, mergeIndex);
}
void TdxBarManager::DoShowCustomizingPopup(TdxBarItemLinks* links) {
  if (FOnShowCustomizingPopup) FOnShowCustomizingPopup(this, links);
}
void TdxBarManager::DoShowToolbarsPopup(TdxBarItemLinks* links) {
  if (FOnShowToolbarsPopup) FOnShowToolbarsPopup(this, links);
}

// ---- Style, painter, brushes and fonts

void TdxBarManager::StyleChanged() {
  FChangingStyle = true;
  FThemeAvailable = IsVisualStyleActive(TdxThemedObjectKinds{totToolBar});
  TdxBarPainter* old = FPainter;
  FPainter = GetPainterClass().Create(FLookAndFeel->GetSkinPainter());
  FPainter->SetBarManager(this);
  orv::Free(old);
  FChangingStyle = false;
  // The bar windows measure, frame and paint themselves again with the new painter.
  UpdateBarControls(this);
}

void TdxBarManager::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed) {
  if (!InDestruction()) StyleChanged();
}

void TdxBarManager::ThemeChanged(TObject* sender) {
  if (!InDestruction()) StyleChanged();
}

void TdxBarManager::AssignLookAndFeelFromStyle(TcxLookAndFeel* lookAndFeel) {
  lookAndFeel->ResetAssignedValues();
  lookAndFeel->SetSkinName(AnsiString());
  if (FStyle == bmsUseLookAndFeel && FLookAndFeel->GetSkinPainter() && !FLookAndFeel->GetNativeStyle()) {
    lookAndFeel->Assign(FLookAndFeel);
    return;
  }
  switch (GetPainterStyle()) {
    case bmsFlat: lookAndFeel->AssignStyleId(2); break;
    case bmsXP: lookAndFeel->AssignStyleId(3); break;
    case bmsOffice11: lookAndFeel->AssignStyleId(4); break;
    default: lookAndFeel->AssignStyleId(0); break;
  }
}

void TdxBarManager::CreateBrushes() {
  // Our screens show every colour, so the nearest screen colour is the colour itself.
  FFlatBrushes[0] = CreateSolidBrush(ScaleColor(ColorToRGB(clBtnShadow), 8, 10));
  FFlatBrushes[1] = CreateSolidBrush(LightenColor(ColorToRGB(clBtnFace), 16));
  FFlatBrushes[2] = CreateSolidBrush(MixSystemColors(11, 9, 73));
  FFlatBrushes[3] = CreateSolidBrush(MixSystemColors(14, 44, 40));
  FFlatBrushes[4] = CreateSolidBrush(MixSystemColors(-2, 30, 72));
  if (FThemeAvailable) {
    // The theme's toolbar fill colour (property 3802).
    COLORREF color = 0;
    if (GetThemeColor(GetThemeHandle(totToolBar), 0, 0, 3802, color) == S_OK)
      FThemedToolbarBrush = CreateSolidBrush(color);
  }
}

void TdxBarManager::DestroyBrushes() {
  for (auto& brush : FFlatBrushes) {
    if (brush) DeleteObject(brush);
    brush = nullptr;
  }
  if (FThemedToolbarBrush) DeleteObject(FThemedToolbarBrush);
  FThemedToolbarBrush = nullptr;
}

void TdxBarManager::RecalcRecentUseThreshold() {
  if (FMostRecentItemsPercents >= 100) {
    FRecentUseThreshold = 0;
    return;
  }
  Integer n = 1;
  while (n * (100 - FMostRecentItemsPercents) / 100 <= 0) ++n;
  FRecentUseThreshold = n;
}

void TdxBarManager::ApplySystemFont() {
  NONCLIENTMETRICS metrics;
  if (!SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  const Boolean wasInternal = FInternalFontChange;
  FInternalFontChange = true;
  try {
    if (FUseSystemFont)
      FFont->SetHandle(CreateFontIndirect(&metrics.lfMenuFont));
    else if (FScaled)
      FFont->SetHeight(metrics.lfMenuFont.lfHeight);
  } catch (...) {
    FInternalFontChange = wasInternal;
    throw;
  }
  FInternalFontChange = wasInternal;
}

void TdxBarManager::FontChanged(TObject* sender) {
  if (!FInternalFontChange) {
    FUseSystemFont = false;
    if (FScaled) {
      NONCLIENTMETRICS metrics;
      if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        const TNotifyEvent handler = FFont->GetOnChange();
        FFont->SetOnChange(TNotifyEvent());
        FFont->SetHeight(metrics.lfMenuFont.lfHeight);
        FFont->SetOnChange(handler);
      }
    }
  }
  AssignBarFont(FFont, FEditFont, FScaled);
  if (HFONT caption = CreateSmallCaptionFont(FFont, FUseSystemFont)) FBarCaptionFont->SetHandle(caption);
  FHandlers[3]->InvokeAll(this, nullptr);
}

// ---- Shortcut search

Boolean TdxBarManager::ManagerExecuteShortCut(TShortCut shortCut) {
  if (TdxBar* mainMenu = GetMainMenuBar())
    if (mainMenu->IsShortCut(shortCut)) return true;
  for (Integer i = 0; i < GetBarCount(); ++i) {
    TdxBar* bar = GetBar(i);
    if (bar == FMainMenuBar) continue;
    // A bar takes part while it is shown in a window or waits for one.
    TCustomdxBarControl* control = bar->GetControl();
    const Boolean shown =
        (bar->GetVisible() && control &&
         (!gServices.BarControlAllowsShortCuts || gServices.BarControlAllowsShortCuts(control))) ||
        IsBarRestoring(bar);
    if (shown && bar->IsShortCut(shortCut)) return true;
  }
  for (TdxBarComponent* component : FPopupMenus)
    if (auto* menu = dynamic_cast<TdxBarCustomPopupMenu*>(component); menu && menu->IsShortCutKey(shortCut)) return true;
  return false;
}

Boolean TdxBarManager::ExecuteShortCut(TShortCut shortCut) {
  // The popup menu links of the focused control come first.
  if (FPopupMenuLinks && FPopupMenuLinks->ExecuteShortCut(FindControl(GetFocus()), shortCut)) return true;
  TWinControl* owner = GetOwnerControl();
  if (owner && owner->HandleAllocated()) {
    for (HWND window = owner->GetHandle(); window; window = GetParent(window)) {
      if (TdxBarManager* manager = FindBarManagerOfWindow(window))
        if (manager->ManagerExecuteShortCut(shortCut)) return true;
      if (!IsChildWindow(window)) break;
    }
  }
  TdxBarManagerList* list = dxBarManagerList();
  for (TdxBarManager* manager = list->GetNextManager(this); manager && manager != this;
       manager = list->GetNextManager(manager)) {
    if (manager->ManagerExecuteShortCut(shortCut)) return true;
  }
  return false;
}

namespace {

// The accelerator search within one manager: the main-menu bar, then the other shown bars.
TdxBarItemLink* ManagerFindAcceleratorLink(TdxBarManager* manager, Word key) {
  TdxBar* mainMenu = manager->GetMainMenuBar();
  if (mainMenu && mainMenu->GetControl())
    if (TdxBarItemLink* link = mainMenu->GetLinks()->FindAcceleratorLink(key)) return link;
  for (Integer i = 0; i < manager->GetBarCount(); ++i) {
    TdxBar* bar = manager->GetBar(i);
    if (bar == mainMenu || !bar->GetVisible() || !bar->GetControl()) continue;
    if (TdxBarItemLink* link = bar->GetLinks()->FindAcceleratorLink(key)) return link;
  }
  return nullptr;
}

}  // namespace

TdxBarItemLink* TdxBarManager::FindAcceleratorLink(Word key, TShiftState shift) {
  // Accelerators are letters alone: with Ctrl or Shift held, none answers.
  if (shift.Contains(ssCtrl) || shift.Contains(ssShift)) return nullptr;
  TWinControl* owner = GetOwnerControl();
  if (owner && owner->HandleAllocated()) {
    for (HWND window = owner->GetHandle(); window; window = GetParent(window)) {
      if (TdxBarManager* manager = FindBarManagerOfWindow(window))
        if (TdxBarItemLink* link = ManagerFindAcceleratorLink(manager, key)) return link;
      if (!IsChildWindow(window)) break;
    }
  }
  TdxBarManagerList* list = dxBarManagerList();
  for (TdxBarManager* manager = list->GetNextManager(this); manager && manager != this;
       manager = list->GetNextManager(manager))
    if (TdxBarItemLink* link = ManagerFindAcceleratorLink(manager, key)) return link;
  return nullptr;
}

// ---- Component overrides

void TdxBarManager::ReadState(TReader* reader) {
  ++FReadStateCount;
  inherited::ReadState(reader);
}

void TdxBarManager::Loaded() {
  inherited::Loaded();
  if (FLockUpdate > 0) return;
  FLoadingBars = true;
  {
    // Applying what was read is no change the designer has to hear of.
    orv::TFlagScope applying(FApplyingLoadedValues, true);
    for (Integer i = 0; i < GetItemCount(); ++i) GetItem(i)->ApplyLoadedVisible();
    for (Integer i = 0; i < GetItemCount(); ++i)
      if (TdxBarItemLinks* links = GetItem(i)->GetItemLinks(); links && links->GetBarManager() == this)
        links->ResolveLoadedItems();
    for (Integer i = 0; i < GetBarCount(); ++i) GetBar(i)->GetLinks()->ResolveLoadedItems();
    // The bars present now are the designed ones; they take their side and visibility.
    for (Integer i = 0; i < GetBarCount(); ++i) GetBar(i)->ApplyLoadedValues();
    // The designed layout is kept before a stored one replaces it.
    WriteSnapshot();
    if (!IsDesigning()) {
      if (FStoreInRegistry) LoadFromRegistry(FRegistryPath);
      if (FStoreInIniFile) LoadFromIniFile(FIniFileName);
    }
  }
  if (IsDesigning()) {
    // A stable sort of the items by category, one neighbour swap at a time.
    Boolean swapped = true;
    while (swapped) {
      swapped = false;
      for (Integer i = 0; i + 1 < GetItemCount(); ++i)
        if (GetItem(i)->GetCategory() > GetItem(i + 1)->GetCategory()) {
          MoveItem(i + 1, i);
          swapped = true;
        }
    }
  }
  BeginUpdate();
  try {
    for (Integer i = 0; i < FCategories->GetCount(); ++i)
      if (TdxBarCategoryData* data = FCategories->FindData(i); data && data->HasLoadedItemsVisible) {
        data->HasLoadedItemsVisible = false;
        SetCategoryItemsVisible(i, data->LoadedItemsVisible);
      }
  } catch (...) {
    EndUpdate();
    FLoadingBars = false;
    throw;
  }
  EndUpdate();
  FLoadingBars = false;
  if (IsDesigning()) CheckBrokenLinks();
}

void TdxBarManager::CheckBrokenLinks() {
  std::vector<TdxBarItemLink*> broken;
  auto collect = [&](TdxBarItemLinks* links) {
    for (Integer i = 0; i < links->GetCount(); ++i)
      if (!links->GetItem(i)->GetItemRaw()) broken.push_back(links->GetItem(i));
  };
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (TdxBarItemLinks* links = GetItem(i)->GetItemLinks(); links && links->GetBarManager() == this) collect(links);
  for (Integer i = 0; i < GetBarCount(); ++i) collect(GetBar(i)->GetLinks());
  if (broken.empty()) return;
  // The manager's dotted path: its owners' names, outermost first, and its own.
  AnsiString path = GetName();
  for (TComponent* owner = GetOwner(); owner; owner = owner->GetOwner())
    if (!owner->GetName().empty()) path = owner->GetName() + "." + path;
  const AnsiString text =
      path +
      " has broken bar item links. These links are not associated with any bar item, and may cause "
      "problems when creating a bar layout.\r\n\r\nDo you want to delete broken bar item links?";
  switch (::MessageBox(nullptr, text.c_str(), "Bar manager", MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
      for (TdxBarItemLink* link : broken) link->Free();
      DesignerModified();
      break;
    case IDCANCEL:
      throw EAbort("");
    default:
      break;
  }
}

void TdxBarManager::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  if (auto* group = dynamic_cast<TdxBarGroup*>(component)) FGroups->Remove(group);
  if (auto* menu = dynamic_cast<TdxBarComponent*>(component)) RemovePopupMenu(menu);
  if (FPopupMenuLinks)
    for (Integer i = 0; i < FPopupMenuLinks->GetCount(); ++i) FPopupMenuLinks->GetItem(i)->ComponentRemoved(component);
}

void TdxBarManager::SetName(const AnsiString& newName) {
  const AnsiString oldName = GetName();
  inherited::SetName(newName);
  if (!IsDesigning() || oldName == newName || oldName.empty() || !GetOwner()) return;
  TComponent* owner = GetOwner();
  for (Integer i = 0; i < owner->GetComponentCount(); ++i) {
    auto* item = dynamic_cast<TdxBarItem*>(owner->GetComponent(i));
    if (!item) continue;
    const AnsiString name = item->GetName();
    if (name.size() > oldName.size() && SameText(name.substr(0, oldName.size()), oldName)) {
      try {
        item->SetName(newName + name.substr(oldName.size()));
      } catch (EComponentError&) {
        // A name the owner refuses keeps the item's old name.
      }
    }
  }
}

void TdxBarManager::GetChildren(TGetChildProc proc, TComponent* root) {
  for (Integer i = 0; i < GetBarCount(); ++i)
    if (GetBar(i)->GetOwner() == root) proc(GetBar(i));
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (TdxBarItem* item = GetItem(i); item->GetOwner() == root && item->GetCategory() >= 0) proc(item);
  for (Integer i = 0; i < GetGroupCount(); ++i)
    if (GetGroup(i)->GetOwner() == root) proc(GetGroup(i));
}

void TdxBarManager::SetChildOrder(TComponent* child, Integer order) {
  inherited::SetChildOrder(child, order);
  if (auto* item = dynamic_cast<TdxBarItem*>(child)) {
    const Integer from = FItemList->IndexOf(item), to = order - GetBarCount();
    if (from >= 0 && to >= 0 && to < GetItemCount()) FItemList->Move(from, to);
  } else if (auto* group = dynamic_cast<TdxBarGroup*>(child)) {
    const Integer from = FGroups->IndexOf(group), to = order - GetBarCount() - GetItemCount();
    if (from >= 0 && to >= 0 && to < GetGroupCount()) FGroups->Move(from, to);
  }
}

void TdxBarManager::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  // Older descriptions held the bars as one list; they are read, never written.
  filer->DefineProperty("Bars", TReaderProc(this, &TdxBarManager::ReadBars), TWriterProc(), false);
  filer->DefineProperty("DockControlHeights", TReaderProc(this, &TdxBarManager::ReadDockControlHeights),
                        TWriterProc(this, &TdxBarManager::WriteDockControlHeights), true);
}

void TdxBarManager::ReadBars(TReader* reader) {
  orv::TFlagScope scope(FReadingOldBars, true);
  reader->ReadCollectionInto([this](Integer index) -> TPersistent* {
    return index < GetBarCount() ? GetBar(index) : FBars->Add();
  });
}

void TdxBarManager::ReadDockControlHeights(TReader* reader) {
  reader->ReadListBegin();
  for (Integer i = 0; !reader->EndOfList(); ++i) {
    const Integer value = reader->ReadInteger();
    if (i < 4) FDockControlHeights[i] = value;
  }
  reader->ReadListEnd();
}

void TdxBarManager::WriteDockControlHeights(TWriter* writer) {
  writer->WriteListBegin();
  for (Integer value : FDockControlHeights) writer->WriteInteger(value);
  writer->WriteListEnd();
}

// ---- Property setters

void TdxBarManager::SetAutoAlignBars(Boolean value) {
  if (FAutoAlignBars == value) return;
  FAutoAlignBars = value;
  UpdateBars(true);
}

void TdxBarManager::SetAutoDockColor(Boolean value) { FAutoDockColor = value; }

TColor TdxBarManager::GetDockColor() const {
  if (FAutoDockColor)
    if (TWinControl* owner = GetOwnerControl()) return owner->GetColor();
  return FDockColor;
}

void TdxBarManager::SetDockColor(TColor value) {
  FDockColor = value;
  FAutoDockColor = false;
}

void TdxBarManager::SetAutoHideEmptyBars(Boolean value) {
  if (FAutoHideEmptyBars == value) return;
  FAutoHideEmptyBars = value;
  if (!value)
    for (Integer i = 0; i < GetBarCount(); ++i) GetBar(i)->SetHiddenBecauseEmpty(false);
}

void TdxBarManager::SetScaled(Boolean value) {
  if (FScaled == value) return;
  FScaled = value;
  if (value && !FUseSystemFont) ApplySystemFont();
}

void TdxBarManager::SetButtonArrowWidth(Integer value) {
  if (value <= 1 || FButtonArrowWidth == value) return;
  FButtonArrowWidth = value;
  RepaintBars();
}

void TdxBarManager::SetCategories(TStrings* value) { FCategories->Assign(value); }

void TdxBarManager::SetFlatCloseButton(Boolean value) { FFlatCloseButton = value; }

void TdxBarManager::SetHideFloatingBarsWhenInactive(Boolean value) {
  if (FHideFloatingBarsWhenInactive == value) return;
  FHideFloatingBarsWhenInactive = value;
  UpdateFloatingBarsActivation(FOwnerFormActive || !value, true);
}

#define ORV_IMAGE_OPTION(Type, Name)                                                          \
  Type TdxBarManager::Get##Name() const { return FImageOptions->Get##Name(); }              \
  void TdxBarManager::Set##Name(Type value) { FImageOptions->Set##Name(value); }
ORV_IMAGE_OPTION(TCustomImageList*, DisabledImages)
ORV_IMAGE_OPTION(TCustomImageList*, DisabledLargeImages)
ORV_IMAGE_OPTION(TCustomImageList*, HotImages)
ORV_IMAGE_OPTION(TColor, ImageListBkColor)
ORV_IMAGE_OPTION(TCustomImageList*, Images)
ORV_IMAGE_OPTION(TCustomImageList*, LargeImages)
ORV_IMAGE_OPTION(Boolean, LargeIcons)
ORV_IMAGE_OPTION(Boolean, MakeDisabledImagesFaded)
ORV_IMAGE_OPTION(Boolean, StretchGlyphs)
ORV_IMAGE_OPTION(Boolean, UseLargeImagesForLargeIcons)
#undef ORV_IMAGE_OPTION

void TdxBarManager::SetLargeButtonArrowWidth(Integer value) {
  if (value < 2 || FLargeButtonArrowWidth == value) return;
  FLargeButtonArrowWidth = value;
}

void TdxBarManager::SetMenuAnimations(TdxBarMenuAnimations value) {
  if (FMenuAnimations == value) return;
  FMenuAnimations = value;
  DesignerModified();
  // An open customization form shows the change.
  RefreshCustomizationFormOptions();
}

void TdxBarManager::SetMenusShowRecentItemsFirst(Boolean value) {
  if (FMenusShowRecentItemsFirst == value) return;
  FMenusShowRecentItemsFirst = value;
  DesignerModified();
  // An open customization form shows the change.
  RefreshCustomizationFormOptions();
}

void TdxBarManager::SetMostRecentItemsPercents(Integer value) {
  value = std::clamp<Integer>(value, 0, 100);
  if (FMostRecentItemsPercents == value) return;
  FMostRecentItemsPercents = Byte(value);
  RecalcRecentUseThreshold();
}

void TdxBarManager::SetNotDocking(TdxBarDockingStyles value) {
  if (FNotDocking == value) return;
  FNotDocking = value;
  StyleChanged();
}

void TdxBarManager::SetRegistryPath(const AnsiString& value) {
  AnsiString path = value;
  if (!path.empty()) {
    if (path.front() != '\\') path.insert(path.begin(), '\\');
    if (path.back() != '\\') path.push_back('\\');
  }
  FRegistryPath = path;
}

void TdxBarManager::SetShowCloseButton(Boolean value) { FShowCloseButton = value; }

void TdxBarManager::SetShowFullMenusAfterDelay(Boolean value) {
  if (FShowFullMenusAfterDelay == value) return;
  FShowFullMenusAfterDelay = value;
  DesignerModified();
  // An open customization form shows the change.
  RefreshCustomizationFormOptions();
}

void TdxBarManager::SetShowHint(Boolean value) {
  if (FShowHint == value) return;
  FShowHint = value;
  DesignerModified();
  // An open customization form shows the change.
  RefreshCustomizationFormOptions();
}

void TdxBarManager::SetShowShortCutInHint(Boolean value) {
  if (FShowShortCutInHint == value) return;
  FShowShortCutInHint = value;
  DesignerModified();
  // An open customization form shows the change.
  RefreshCustomizationFormOptions();
}

void TdxBarManager::SetStyle(TdxBarManagerStyle value) {
  if (FStyle == value) return;
  FStyle = value;
  StyleChanged();
}

void TdxBarManager::SetSunkenBorder(Boolean value) { FSunkenBorder = value; }

void TdxBarManager::SetUseSystemFont(Boolean value) {
  if (FUseSystemFont == value) return;
  FUseSystemFont = value;
  if (value) ApplySystemFont();
}

void TdxBarManager::SetWaitForDockingTime(Integer value) {
  if (value >= 0) FWaitForDockingTime = value;
}

void TdxBarManager::ImagesChanged(TObject* sender) {
  if (IsLoading() || InDestruction()) return;
  BeginUpdate();
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (GetItem(i)->GetImageIndex() >= 0) GetItem(i)->GlyphChanged();
  EndUpdate();
}

void TdxBarManager::HotImagesChanged(TObject* sender) {
  if (IsLoading() || InDestruction()) return;
  BeginUpdate();
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (GetItem(i)->HasHotImage()) GetItem(i)->HotGlyphChanged();
  EndUpdate();
}

void TdxBarManager::LargeImagesChanged(TObject* sender) {
  if (IsLoading() || InDestruction()) return;
  BeginUpdate();
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (GetItem(i)->HasImage()) GetItem(i)->LargeGlyphChanged();
  EndUpdate();
}

void TdxBarManager::GlyphOptionsChanged(TObject* sender) { RepaintBars(); }

void TdxBarManager::GlyphSizeChanged(TObject* sender) {
  FImageOptions->UpdateGlyphSize();
  DesignerModified();
  RepaintBars();
}

// ==== The owner window ========================================================================

void TdxBarManager::OwnerWindowMessage(HWND window, UINT message, LPARAM lParam, WPARAM wParam) {
  TWinControl* owner = GetOwnerControl();
  if (owner && !owner->GetComponentState().Contains(csDestroying)) {
    if (!FBars) return;
    switch (message) {
      case WM_ACTIVATE:
      case WM_SYSCOLORCHANGE:
      case WM_SETTINGCHANGE:
      case WM_ACTIVATEAPP:
      case WM_CHILDACTIVATE:
      case WM_WINDOWPOSCHANGING:
      case WM_WINDOWPOSCHANGED:
      case WM_SYSCOMMAND:
      case WM_MDIACTIVATE:
        StateMessage(window, message, wParam, lParam);
        break;
      default:
        OtherMessage(window, message, wParam, lParam);
        break;
    }
  }
  else if (message == WM_DESTROY && !IsDesigning() && (FStoreInRegistry || FStoreInIniFile)) {
    // The window goes whatever happens to the files; a file that cannot be written keeps its
    // previous layout whole.
    try {
      if (FStoreInRegistry) SaveToRegistry(FRegistryPath);
      if (FStoreInIniFile) SaveToIniFile(FIniFileName);
    } catch (const Exception&) {
    }
  }
}

void TdxBarManager::StateMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      WMActivate(LOWORD(wParam), HIWORD(wParam) != 0, reinterpret_cast<HWND>(lParam), window);
      break;
    case WM_SYSCOLORCHANGE:
      DestroyBrushes();
      CreateBrushes();
      RefreshOffice11Colors();
      break;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETNONCLIENTMETRICS)
        ApplySystemFont();
      else if (wParam == SPI_SETWORKAREA)
        KeepFloatingBarsInWorkArea();
      break;
    case WM_ACTIVATEAPP:
      WMActivateApp(wParam != 0);
      break;
    case WM_CHILDACTIVATE:
      SetOwnerFormActive(true, false);
      break;
    case WM_WINDOWPOSCHANGING:
      if (auto* pos = reinterpret_cast<WINDOWPOS*>(lParam); pos && (pos->flags & SWP_HIDEWINDOW))
        SetOwnerFormActive(false, true);
      break;
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      TCustomForm* form = FindBarManagerForm(this, fsoMainOrChild);
      const Boolean inMDIChild = form && form->GetFormStyle() == fsMDIChild;
      if (pos && (pos->flags & SWP_SHOWWINDOW) && !inMDIChild) SetOwnerFormActive(true, true);
      break;
    }
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE && IsDesigning() && gServices.CloseActiveBarControls &&
          gServices.GetBarControlManager && ActiveBarControl() &&
          gServices.GetBarControlManager(ActiveBarControl()) == this)
        gServices.CloseActiveBarControls();
      break;
    case WM_MDIACTIVATE:
      SetOwnerFormActive(reinterpret_cast<HWND>(lParam) == window, false);
      break;
  }
}

void TdxBarManager::OtherMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (FRestoringList) {
        FRestoringBars = true;
        ShowRestoredBars();
        FRestoringBars = false;
      }
      break;
    case WM_CANCELMODE:
      if (!FProcessingCancelMode) {
        FProcessingCancelMode = true;
        TCustomdxBarControl* active = ActiveBarControl();
        if (active && gServices.GetBarControlManager && gServices.GetBarControlManager(active) == this &&
            gServices.CloseActiveBarControls)
          gServices.CloseActiveBarControls();
        FProcessingCancelMode = false;
      }
      break;
    case WM_DISPLAYCHANGE:
      KeepFloatingBarsInWorkArea();
      break;
    default:
      break;
  }
}

void TdxBarManager::WMActivate(Integer state, Boolean minimized, HWND other, HWND window) {
  if (FProcessingActivation) return;
  FProcessingActivation = true;
  try {
    TCustomForm* form = FindBarManagerForm(this, fsoMainOrChild);
    const Boolean otherMDIChild =
        form && form->GetFormStyle() == fsMDIChild && form->GetHandle() != GetActiveMDIChildWindow();
    if (!otherMDIChild) {
      // Losing the activation to a bar window of a manager of the same main form is no
      // deactivation: the form's own menus are open.
      TdxBarManager* otherManager = nullptr;
      if (state == WA_INACTIVE && other && gServices.GetActiveBarControl && gServices.GetBarControlManager)
        if (TCustomdxBarControl* active = ActiveBarControl())
          otherManager = gServices.GetBarControlManager(active);
      if (!(otherManager && otherManager->GetMainForm() == GetMainForm())) {
        TCustomForm* mainForm = GetMainForm();
        HWND mainWindow = mainForm && mainForm->HandleAllocated() ? mainForm->GetHandle() : nullptr;
        const Boolean active = state != WA_INACTIVE || (other && other == mainWindow) ||
                               (FOwnerFormActive && mainWindow && !IsWindowEnabled(mainWindow) && !IsDesigning());
        SetOwnerFormActive(active, false, other);
      }
    }
  } catch (...) {
    FProcessingActivation = false;
    throw;
  }
  FProcessingActivation = false;
}

void TdxBarManager::WMActivateApp(Boolean active) {
  if (FProcessingCancelMode) return;
  if (!active) {
    TCustomForm* mainForm = GetMainForm();
    if (FOwnerFormActive && mainForm && mainForm->HandleAllocated() && !IsWindowEnabled(mainForm->GetHandle()))
      FMainFormDisabled = true;
    SetOwnerFormActive(false, false);
    TCustomdxBarControl* activeBar = ActiveBarControl();
    if (activeBar && gServices.GetBarControlManager && gServices.GetBarControlManager(activeBar) == this &&
        gServices.CloseActiveBarControls)
      gServices.CloseActiveBarControls();
  } else if (FMainFormDisabled) {
    SetOwnerFormActive(true, false);
    FMainFormDisabled = false;
  }
}

void TdxBarManager::SetOwnerFormActive(Boolean active, Boolean force, HWND other) {
  if (!force && FOwnerFormActive == active) return;
  FOwnerFormActive = active;
  UpdateFloatingBarsActivation(active, force, other);
}

void TdxBarManager::UpdateFloatingBarsActivation(Boolean active, Boolean force, HWND other) {
  if (FUpdatingFloatingActivation) return;
  FUpdatingFloatingActivation = true;
  // Floating bar windows show and hide here once they exist; of the model only the closing of
  // open menus and the end of keyboard navigation remain.
  if (!active && !(FHideFloatingBarsWhenInactive == false && !force)) {
    TCustomForm* mainForm = GetMainForm();
    const Boolean intoMainForm =
        other && mainForm && mainForm->HandleAllocated() && GetParent(other) == mainForm->GetHandle();
    if (!intoMainForm) {
      TCustomdxBarControl* activeBar = ActiveBarControl();
      if (activeBar && gServices.CloseActiveBarControls) gServices.CloseActiveBarControls();
      if (gServices.EndKeyboardNavigation) gServices.EndKeyboardNavigation();
    }
  }
  FUpdatingFloatingActivation = false;
}

void TdxBarManager::KeepFloatingBarsInWorkArea() {
  TWinControl* owner = GetOwnerControl();
  if (!owner) return;
  const TRect area = GetWorkAreaAtPoint(
      TPoint{owner->GetLeft() + owner->GetWidth() / 2, owner->GetTop() + owner->GetHeight() / 2});
  for (Integer i = 0; i < GetBarCount(); ++i) {
    TdxBar* bar = GetBar(i);
    // A floating bar with a window is kept inside by its window; the model keeps the place of
    // the others (their frames are not counted before a window measures them).
    if (bar->GetDockingStyle() != dsNone || bar->GetControl()) continue;
    TRect r{bar->GetFloatLeft(), bar->GetFloatTop(), bar->GetFloatLeft() + bar->GetFloatClientWidth(),
            bar->GetFloatTop() + bar->GetFloatClientHeight()};
    auto shift = [&r](Integer dx, Integer dy) {
      r.Left += dx;
      r.Right += dx;
      r.Top += dy;
      r.Bottom += dy;
    };
    if (r.Bottom > area.Bottom) shift(0, area.Bottom - r.Bottom);
    if (r.Top < area.Top) shift(0, area.Top - r.Top);
    if (r.Right > area.Right) shift(area.Right - r.Right, 0);
    if (r.Left < area.Left) shift(area.Left - r.Left, 0);
    LockDesignerModified(true);
    bar->SetFloatLeft(r.Left);
    bar->SetFloatTop(r.Top);
    LockDesignerModified(false, false);
  }
}

void TdxBarManager::ActiveMDIChildChanged(HWND window) {
  // The platform has no MDI: no frame ever has an active child.
}

void TdxBarManager::MDIStateChanged(Integer state, HWND child) {
  if (!FMainMenuBar) return;
  struct {
    Integer State;
    HWND Child;
  } args{state, child};
  FHandlers[2]->InvokeAll(this, &args);
}

namespace {

// The one hint of the process: what was asked for, by which manager, and its two timers.
struct THintState {
  Boolean Requested = false;
  AnsiString Text;
  TObject* Object = nullptr;
  TdxBarManager* Manager = nullptr;
  Boolean Shown = false;
  UINT_PTR Timer = 0;
  Boolean TimerHides = false;
  UINT_PTR QuickTimer = 0;
  Boolean QuickReshow = false;
} gHint;

TdxBarHintServices gHintServices;

constexpr UINT kQuickReshowPeriod = 400;

Boolean HintWindowVisible() {
  return gHintServices.IsHintWindowVisible && gHintServices.IsHintWindowVisible();
}

void HideHintWindowNow() {
  if (HintWindowVisible() && gHintServices.HideHintWindow) gHintServices.HideHintWindow();
}

void StopHintTimer() {
  StopWindowTimer(nullptr, gHint.Timer);
}

Boolean IsManagerAlive(TdxBarManager* manager) {
  TdxBarManagerList* list = dxBarManagerList();
  return manager && list && list->IndexOf(manager) >= 0 && !manager->InDestruction();
}

void HintTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  StopHintTimer();
  if (!IsManagerAlive(gHint.Manager)) return;
  if (gHint.TimerHides)
    HideHintWindowNow();
  else
    gHint.Manager->ShowHintNow();
}

void QuickReshowTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  StopWindowTimer(nullptr, gHint.QuickTimer);
  gHint.QuickReshow = false;
}

void StartHintTimer(TdxBarManager* manager, Boolean hides, UINT fallbackDelay, UINT (*delay)()) {
  StopHintTimer();
  gHint.Manager = manager;
  gHint.TimerHides = hides;
  gHint.Timer = SetTimer(nullptr, 0, delay ? delay() : fallbackDelay, HintTimerProc);
}

// A manager that goes takes its pending or shown hint with it.
void ForgetHintOf(TdxBarManager* manager) {
  if (gHint.Manager == manager) {
    StopHintTimer();
    HideHintWindowNow();
    gHint.Manager = nullptr;
    gHint.Object = nullptr;
    gHint.Requested = false;
  }
  StopWindowTimer(nullptr, gHint.QuickTimer);
  gHint.QuickReshow = false;
  // The last manager takes the shared hint window with it.
  TdxBarManagerList* list = dxBarManagerList();
  if (!list || list->GetCount() == 0) FreeBarHintWindow();
}

}  // namespace

TdxBarHintServices& BarHintServices() { return gHintServices; }

void TdxBarManager::ActivateHint(Boolean show, const AnsiString& text, TObject* object) {
  if (InCustomizingMode() || !FShowHint) return;
  UpdateHint(show, text, object);
}

void TdxBarManager::UpdateHint(Boolean show, const AnsiString& text, TObject* object) {
  if (!show && !gHint.Requested) return;
  gHint.Requested = show;
  gHint.Text = text;
  gHint.Shown = false;
  // Moving over a bar whose menu is open asks for no hint unless a text or object is given.
  const Boolean wanted = show && (!text.empty() || object || !FSelectedItem);
  StopHintTimer();
  gHint.Object = object;
  if (wanted) {
    if (HintWindowVisible() || gHint.QuickReshow)
      ShowHintNow();
    else if (auto* source = dynamic_cast<IdxBarHintSource*>(object); source && source->HasScreenTip())
      StartHintTimer(this, false, 900, nullptr);  // the screen tip's own delay
    else
      StartHintTimer(this, false, 1000, gHintServices.GetShowPause);
    return;
  }
  if (HintWindowVisible()) {
    HideHintWindowNow();
    if (show) {
      // A request that found nothing to show: the next hint within the quick-reshow period
      // shows at once.
      StopWindowTimer(nullptr, gHint.QuickTimer);
      gHint.QuickReshow = true;
      gHint.QuickTimer = SetTimer(nullptr, 0, kQuickReshowPeriod, QuickReshowTimerProc);
    }
  }
}

void TdxBarManager::ShowHintNow() {
  if (!gHint.Text.empty()) {
    ShowHintWindow(gHint.Text, AnsiString());
    return;
  }
  AnsiString hint, shortCut;
  Boolean enabled = true;
  if (auto* source = dynamic_cast<IdxBarHintSource*>(gHint.Object)) source->GetHintInfo(hint, shortCut, enabled);
  if (!enabled && !FShowHintForDisabledItems) hint.clear();
  if (!FShowShortCutInHint) shortCut.clear();
  if (hint.empty())
    HideHintWindowNow();
  else
    ShowHintWindow(hint, shortCut);
}

void TdxBarManager::ShowHintWindow(const AnsiString& text, const AnsiString& shortCut) {
  if (gHintServices.ShowHintWindow && gHintServices.ShowHintWindow(this, text, shortCut)) {
    gHint.Shown = true;
    StartHintTimer(this, true, 10000, gHintServices.GetHidePause);
  }
}

// ==== The manager list, registries and lookups ================================================

TdxBarManagerList* dxBarManagerList() {
  if (!gManagerList && !gFinalizing) gManagerList = new TdxBarManagerList;
  return gManagerList;
}

TdxBarManager* TdxBarManagerList::GetManager(Integer index) const {
  return static_cast<TdxBarManager*>(ItemOrNil(index));
}

TdxBarManager* TdxBarManagerList::GetCustomizingManager() const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetManager(i)->IsCustomizing()) return GetManager(i);
  return nullptr;
}

Boolean TdxBarManagerList::IsManagerOfForm(TdxBarManager* manager, TCustomForm* form) const {
  if (!manager || !form || !form->HandleAllocated()) return false;
  if (!IsBarManagerOwnerWindow(manager, form->GetHandle())) {
    // The owner's window must be the form's window or lie inside it.
    TWinControl* owner = manager->GetOwnerControl();
    if (!owner || !owner->HandleAllocated()) return false;
    HWND window = owner->GetHandle();
    if (window != form->GetHandle() && !IsChild(form->GetHandle(), window)) return false;
  }
  TCustomForm* managerForm = FindBarManagerForm(manager, fsoMainOrChild);
  return !managerForm || managerForm->GetFormStyle() != fsMDIChild ||
         managerForm->GetHandle() == GetActiveMDIChildWindow();
}

TdxBarManager* TdxBarManagerList::GetNextManager(TdxBarManager* manager, Boolean forward) const {
  const Integer start = IndexOf(manager);
  if (start < 0 || GetCount() == 0) return manager;
  TCustomForm* form = manager->GetMainForm();
  Integer index = start;
  for (;;) {
    index = forward ? (index + 1) % GetCount() : (index + GetCount() - 1) % GetCount();
    if (index == start) return manager;
    if (IsManagerOfForm(GetManager(index), form)) return GetManager(index);
  }
}

TdxBarItemList::~TdxBarItemList() = default;

void TdxBarItemList::BeforeDestruction() {
  for (Integer i = GetCount() - 1; i >= 0; --i) DeleteRecord(i);
  inherited::BeforeDestruction();
}

Integer TdxBarItemList::GetVisibleItemCount() const {
  Integer count = 0;
  for (Integer i = 0; i < GetCount(); ++i) count += GetRecord(i)->Visible ? 1 : 0;
  return count;
}

TClass TdxBarItemList::GetVisibleItemClass(Integer index) const {
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetRecord(i)->Visible && index-- == 0) return GetRecord(i)->ItemClass;
  return nullptr;
}

void TdxBarItemList::DeleteRecord(Integer index) {
  TRegItemRecord* record = GetRecord(index);
  if (!gFinalizing) UnRegisterClass(record->ItemClass);
  Delete(index);
  orv::Free(record);
}

TClass TdxBarItemList::FindControlClass(TClass itemClass) const {
  for (TClass c = itemClass; c; c = c->ClassParent())
    for (Integer i = GetCount() - 1; i >= 0; --i)
      if (GetRecord(i)->ItemClass == c) return GetRecord(i)->ControlClass;
  return nullptr;
}

TdxBarItemList* GetBarItemClassList() {
  if (!gItemClassList && !gFinalizing) gItemClassList = new TdxBarItemList;
  return gItemClassList;
}

void RegisterBarItem(TClass itemClass, TClass controlClass, Boolean visible) {
  if (TdxBarItemList* list = GetBarItemClassList()) {
    list->Add(new TRegItemRecord(itemClass, controlClass, visible));
    RegisterClass(itemClass);
  }
}

namespace {
// The item kinds built here with the controls that show them, in the order lists of item kinds
// offer them; a label is no kind the user adds, nor is a pane of recent files.
[[maybe_unused]] const Boolean kItemKindsRegistered = [] {
  RegisterBarItem(TdxBarButton::StaticClass(), TdxBarButtonControl::StaticClass(), true);
  RegisterBarItem(TdxBarLargeButton::StaticClass(), TdxBarLargeButtonControl::StaticClass(), true);
  RegisterBarItem(TdxBarEdit::StaticClass(), TdxBarEditControl::StaticClass(), true);
  RegisterBarItem(TCustomdxBarCombo::StaticClass(), TCustomdxBarComboControl::StaticClass(), true);
  RegisterBarItem(TdxBarCombo::StaticClass(), TdxBarComboControl::StaticClass(), true);
  RegisterBarItem(TdxBarSubItem::StaticClass(), TdxBarSubItemControl::StaticClass(), true);
  RegisterBarItem(TdxBarListItem::StaticClass(), TdxBarContainerItemControl::StaticClass(), true);
  RegisterBarItem(TdxBarContainerItem::StaticClass(), TdxBarContainerItemControl::StaticClass(), true);
  RegisterBarItem(TdxBarExtraPaneListItem::StaticClass(), TdxBarContainerItemControl::StaticClass(), false);
  RegisterBarItem(TdxBarLabel::StaticClass(), TdxBarCustomStaticControl::StaticClass(), false);
  RegisterBarItem(TdxBarSeparator::StaticClass(), TdxBarSeparatorControl::StaticClass(), true);
  RegisterBarItem(TdxBarQuickCustExtButton::StaticClass(), TdxBarQuickCustExtButtonControl::StaticClass(), false);
  RegisterBarItem(TdxBarQuickCustItem::StaticClass(), TdxBarQuickCustItemControl::StaticClass(), false);
  RegisterBarItem(TdxBarQuickAccessItem::StaticClass(), TdxBarSubItemControl::StaticClass(), false);
  RegisterClass(TdxBarScreenTip::StaticClass());
  RegisterClass(TdxBarScreenTipRepository::StaticClass());
  return true;
}();
}  // namespace


void SetBarManagerRegistrationCallbacks(TdxBarManagerCallback registered, TdxBarManagerCallback unregistered) {
  gOnRegistered = registered;
  gOnUnregistered = unregistered;
}

// ---- Hooks

void RegisterBarManager(TdxBarManager* manager) {
  TdxBarManagerList* list = dxBarManagerList();
  if (list->IndexOf(manager) < 0) {
    if (list->GetCount() == 0) {
      InstallThreadHook(gKeyboardHook, WH_KEYBOARD, KeyboardHookProc);
      InstallThreadHook(gMouseHook, WH_MOUSE, MouseHookProc);
      InstallThreadHook(gCallWndHook, WH_CALLWNDPROC, CallWndProcHookProc);
    }
    list->Add(manager);
    if (gOnRegistered) gOnRegistered(manager);
  }
  // The shared hint window is created here outside design mode once it exists.
}

void UnregisterBarManager(TdxBarManager* manager) {
  TdxBarManagerList* list = dxBarManagerList();
  if (!list) return;
  list->Remove(manager);
  if (list->GetCount() == 0) {
    RemoveThreadHook(gCallWndHook);
    RemoveThreadHook(gMouseHook);
    RemoveThreadHook(gKeyboardHook);
    gKeyRemembered = false;
    gAltAlone = false;
  }
  if (gOnUnregistered) gOnUnregistered(manager);
}

Boolean BarHooksInstalled() { return gKeyboardHook && gMouseHook && gCallWndHook; }
void SetKeyboardHookDirectCall(Boolean value) { gDirectCall = value; }
void SetMDIButtonPressed(Boolean value) { gMDIButtonPressed = value; }
Boolean IsApplicationDeactivating() { return gAppDeactivating; }
Boolean IsApplicationActive() { return gAppActive; }
TdxBarHookServices& BarHookServices() { return gServices; }

TShiftState GetHookShiftState() {
  TShiftState shift;
  if (KeyIsDown(VK_SHIFT)) shift += TShiftState{ssShift};
  if (KeyIsDown(VK_MENU)) shift += TShiftState{ssAlt};
  if (KeyIsDown(VK_CONTROL)) shift += TShiftState{ssCtrl};
  return shift;
}

TShortCut KeyToShortCut(Word key, LPARAM keyData) {
  if (key == 0) return 0;
  Word result = key;
  if (KeyIsDown(VK_SHIFT)) result += scShift;
  if (KeyIsDown(VK_CONTROL)) result += scCtrl;
  if (DWORD(keyData) & (1u << 29)) result += scAlt;
  return TShortCut(result);
}

namespace {

// Walks from a window up through child windows to the first that owns a manager.
TdxBarManager* ManagerFromWindowUp(HWND window) {
  for (; window; window = GetParent(window)) {
    if (TdxBarManager* manager = FindBarManagerOfWindow(window)) return manager;
    if (!IsChildWindow(window)) break;
  }
  return nullptr;
}

TdxBarManager* FindKeyTargetManager(Boolean altOrF10) {
  TdxBarManager* manager = ManagerFromWindowUp(GetFocus());
  if (!manager)
    if (TCustomForm* form = FindActiveEnabledForm(); form && form->HandleAllocated())
      manager = ManagerFromWindowUp(form->GetHandle());
  if (!manager && Application)
    if (TForm* mainForm = Application->GetMainForm();
        mainForm && mainForm->HandleAllocated() && IsWindowEnabled(mainForm->GetHandle()))
      if (TdxBarManager* candidate = ManagerFromWindowUp(mainForm->GetHandle());
          candidate && candidate->GetAllowCallFromAnotherForm())
        manager = candidate;
  if (!manager && !altOrF10) {
    HWND activeWindow = GetActiveWindow();
    auto* form = dynamic_cast<TCustomForm*>(FindControl(activeWindow));
    if (form && IsWindowEnabled(activeWindow)) {
      TdxBarManagerList* list = dxBarManagerList();
      for (Integer i = 0; i < list->GetCount() && !manager; ++i)
        if (list->GetManager(i)->GetMainForm() == form) manager = list->GetManager(i);
    }
  }
  if (!manager || manager->InCustomizingMode()) return nullptr;
  if (gServices.HasFocusedBarControl) {
    if (gServices.HasFocusedBarControl(manager)) return nullptr;
    TdxBarManagerList* list = dxBarManagerList();
    for (TdxBarManager* other = list->GetNextManager(manager); other && other != manager;
         other = list->GetNextManager(other))
      if (gServices.HasFocusedBarControl(other)) return nullptr;
  }
  return manager;
}

void RememberKey(Word key) {
  gRememberedKey = key;
  gKeyRemembered = true;
}

// Whether the key is taken by the active bar window, the navigation controller or a
// remembered key-down.
Boolean ProcessActiveBarKey(WPARAM key, LPARAM data) {
  const Boolean keyDown = !IsKeyUpData(data);
  if (gKeyRemembered && gRememberedKey == key && !keyDown) {
    gKeyRemembered = false;
    return true;
  }
  const TShiftState shift = GetHookShiftState();
  if (gServices.NavigationWantsKey && gServices.NavigationWantsKey(key, shift)) {
    if (keyDown) {
      RememberKey(Word(key));
      gAltAlone = false;
      if (gServices.NavigationProcessKey) gServices.NavigationProcessKey(key, shift);
    }
    return true;
  }
  const Boolean takesKeys = gServices.ActiveBarControlTakesKeys && gServices.ActiveBarControlTakesKeys();
  if (!takesKeys) {
    // While bars are customized Delete deletes the selection (Ctrl: items too) and Escape
    // selects the parent of the selected object.
    TdxBarDesignController* controller = keyDown ? GetBarDesignController() : nullptr;
    // A drag takes its keys itself.
    if (!controller || controller->IsDragging() || (key != VK_DELETE && key != VK_ESCAPE)) return false;
    TdxBarManager* manager = controller->FindCustomizedManager();
    if (!manager || !manager->InCustomizingMode()) return false;
    return key == VK_DELETE ? controller->DeleteSelectedObjects(KeyIsDown(VK_CONTROL), true)
                            : controller->SelectParentOfSelection();
  }
  if (keyDown) RememberKey(Word(key));
  const Boolean stillActive =
      gServices.SendKeyToActiveBarControl &&
      gServices.SendKeyToActiveBarControl(keyDown ? WM_KEYDOWN : WM_KEYUP, key, data);
  if (!stillActive || !keyDown) gKeyRemembered = false;
  return true;
}

Boolean ProcessShortCutKey(TdxBarManager* manager, Word key, LPARAM data) {
  if (manager->ExecuteShortCut(KeyToShortCut(key, data))) return true;
  if (!KeyIsDown(VK_MENU)) return false;
  TShiftState shift = GetHookShiftState();
  shift -= TShiftState{ssAlt};
  TdxBarItemLink* link = manager->FindAcceleratorLink(key, shift);
  if (!link || !link->GetItem() || !link->GetItem()->GetEnabled()) return false;
  // Another link with the same letter makes the press select instead of click.
  TdxBarItemLink* next = link->GetOwnerLinks()->FindAcceleratorLink(key, link);
  if (gServices.AcceleratorLinkPressed) gServices.AcceleratorLinkPressed(link, next == link);
  return true;
}

// Alt, F10 and the shortcut dispatch; true when the key is consumed.
Boolean ProcessManagerKey(WPARAM key, LPARAM data) {
  const Boolean altOrF10 = key == VK_MENU || key == VK_F10;
  TdxBarManager* manager = FindKeyTargetManager(altOrF10);
  if (!manager) return false;
  const Boolean noModifiers = !KeyIsDown(VK_SHIFT) && !KeyIsDown(VK_MENU) && !KeyIsDown(VK_CONTROL);
  if (!IsKeyUpData(data)) {
    const Boolean bareAlt = key == VK_MENU && !KeyIsDown(VK_CONTROL);
    const Boolean bareF10 = key == VK_F10 && manager->GetUseF10ForMenu() && noModifiers;
    if ((bareAlt || bareF10) && !(gKeyRemembered && gRememberedKey == key)) {
      manager->HideHint();
      gAltAlone = true;
      if (gServices.MenuKey) gServices.MenuKey(manager, true);
      return false;  // the form still sees Alt
    }
    gAltAlone = false;
    if (gServices.MenuKey) gServices.MenuKey(manager, false);
    return ProcessShortCutKey(manager, Word(key), data);
  }
  const Boolean altUp = key == VK_MENU && gAltAlone;
  const Boolean f10Up = key == VK_F10 && manager->GetUseF10ForMenu() && noModifiers;
  if (altUp || f10Up) {
    gAltAlone = false;
    if (gServices.StartNavigation) gServices.StartNavigation(manager);
    return true;
  }
  return false;
}

}  // namespace

LRESULT KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  Boolean consumed = false;
  if (code != HC_NOREMOVE) {
    if (gMDIButtonPressed) {
      consumed = true;
    } else if (wParam != VK_PROCESSKEY && code >= 0) {
      try {
        consumed = ProcessActiveBarKey(wParam, lParam);
        if (!consumed && !GetCapture()) {
          consumed = ProcessManagerKey(wParam, lParam);
          // The key-up of a consumed key-down is consumed too.
          if (consumed && !IsKeyUpData(lParam)) RememberKey(Word(wParam));
        }
      } catch (...) {
        // A failure inside a handler run from the hook must not leave the hook: it is shown as
        // any handler's failure is, and the key counts as handled so that it does not run a
        // second time elsewhere.
        consumed = true;
        if (Application) Application->HandleException(nullptr);
      }
    }
  }
  if (gDirectCall) return consumed ? 1 : 0;
  const LRESULT next = CallNextHookEx(gKeyboardHook, code, wParam, lParam);
  return consumed ? 1 : next;
}

LRESULT MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  Boolean consumed = false;
  try {
    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    const UINT message = UINT(wParam);
    if (code == HC_ACTION && IsButtonDownMessage(message) && gServices.EndKeyboardNavigation)
      gServices.EndKeyboardNavigation();
    if (code >= 0 && message == WM_MOUSEWHEEL && gServices.ActiveBarControlTakesKeys &&
        gServices.ActiveBarControlTakesKeys())
      consumed = true;
    if (!consumed && code >= 0 && info && !gMouseGuard &&
        (GetCapture() != info->hwnd || message == WM_RBUTTONUP)) {
      // Outside clicks close the open menus innermost first.
      if (IsButtonDownMessage(message) && ActiveBarControl() && Integer(info->wHitTestCode) >= 0) {
        gMouseGuard = true;
        const Boolean inside = gServices.IsInActiveBarChain && gServices.IsInActiveBarChain(info->hwnd);
        if (!inside && gServices.CloseActiveBarControls) {
          gServices.CloseActiveBarControls();
          // The press reaches its window unless closing the menus took that window away.
          consumed = info->hwnd && !IsWindowVisible(info->hwnd);
        }
        gMouseGuard = false;
      }
      // A press elsewhere hides a "More Buttons" popup nobody is using.
      if (!consumed && IsButtonDownMessage(message)) TdxBarQuickControl::HandleMouseDownOutside(info->hwnd, message);
    }
  } catch (...) {
    gMouseGuard = false;
  }
  const LRESULT next = CallNextHookEx(gMouseHook, code, wParam, lParam);
  return consumed ? 1 : next;
}

namespace {

// Every listed manager whose owner window lies inside `window` (but is not it) hears a state
// message of the window too.
void BroadcastOwnerMessage(HWND window, UINT message, LPARAM lParam, WPARAM wParam) {
  switch (message) {
    case WM_ACTIVATE: case WM_SYSCOLORCHANGE: case WM_SETTINGCHANGE: case WM_ACTIVATEAPP:
    case WM_CHILDACTIVATE: case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED: case WM_SYSCOMMAND:
    case WM_MDIACTIVATE:
      break;
    default:
      return;
  }
  TdxBarManagerList* list = dxBarManagerList();
  for (Integer i = 0; i < list->GetCount(); ++i) {
    TdxBarManager* manager = list->GetManager(i);
    TWinControl* owner = manager->GetOwnerControl();
    if (!owner || !owner->HandleAllocated() || owner->GetHandle() == window) continue;
    if (IsBarManagerOwnerWindow(manager, window) && manager->GetMainForm())
      manager->OwnerWindowMessage(window, message, lParam, wParam);
  }
}

TdxBarManager* LookupManager(HWND window) {
  gLookupGuard = true;
  TdxBarManager* manager = nullptr;
  try {
    manager = FindBarManagerOfWindow(window);
  } catch (...) {
  }
  gLookupGuard = false;
  return manager;
}

void HandleHookedMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE) {
    HWND other = reinterpret_cast<HWND>(lParam);
    if (other && !IsOtherProcessWindow(other) && (GetParent(window) == other || GetParent(other) == window)) return;
  }
  TdxBarManager* manager = LookupManager(window);
  if (!manager && message == WM_ACTIVATE) {
    HWND parent = GetParent(window);
    if (parent && IsWindowVisible(parent)) manager = LookupManager(parent);
  }
  if (manager) manager->OwnerWindowMessage(window, message, lParam, wParam);
  BroadcastOwnerMessage(window, message, lParam, wParam);
}

}  // namespace

LRESULT CallWndProcHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code >= 0) {
    try {
      if (const auto* info = reinterpret_cast<const CWPSTRUCT*>(lParam)) {
        if (info->message == WM_ACTIVATE && LOWORD(info->wParam) == WA_INACTIVE &&
            IsOtherProcessWindow(reinterpret_cast<HWND>(info->lParam)) && info->lParam)
          gAppDeactivating = true;
        else if (info->message == WM_ACTIVATEAPP) {
          gAppDeactivating = false;
          gAppActive = info->wParam != 0;
        }
        if (!gLookupGuard) HandleHookedMessage(info->hwnd, info->message, info->wParam, info->lParam);
      }
    } catch (...) {
      // A failure of the bars' own processing leaves the message to its window.
    }
  }
  return CallNextHookEx(gCallWndHook, code, wParam, lParam);
}

// ---- Lookups

TdxBarManager* GetBarManagerOwnedBy(TObject* object) {
  if (!object) return nullptr;
  if (auto* manager = dynamic_cast<TdxBarManager*>(object)) return manager;
  TdxBarManagerList* list = dxBarManagerList();
  if (!list) return nullptr;
  for (Integer i = 0; i < list->GetCount(); ++i)
    if (list->GetManager(i)->GetOwner() == object) return list->GetManager(i);
  return nullptr;
}

TdxBarManager* FindBarManagerOfWindow(HWND window) {
  return window ? GetBarManagerOwnedBy(FindControl(window)) : nullptr;
}

TWinControl* FindWindowedOwner(TComponent* component) {
  for (; component; component = component->GetOwner())
    if (auto* control = dynamic_cast<TWinControl*>(component)) return control;
  return nullptr;
}

TdxBarManager* FindComponentBarManager(TComponent* component) {
  TWinControl* control = FindWindowedOwner(component);
  if (!control || !control->HandleAllocated()) return nullptr;
  for (HWND window = control->GetHandle(); window; window = GetParent(window)) {
    if (TdxBarManager* manager = FindBarManagerOfWindow(window)) return manager;
    if (!IsChildWindow(window)) break;
  }
  return nullptr;
}

TWinControl* FindControlOfChildWindow(HWND window) {
  while (window && IsChildWindow(window)) {
    window = GetParent(window);
    if (TWinControl* control = FindControl(window)) return control;
  }
  return nullptr;
}

TWinControl* FindVCLControlOfWindow(HWND window) {
  for (; window; window = GetParent(window))
    if (TWinControl* control = FindControl(window)) return control;
  return nullptr;
}

TCustomForm* FindControlForm(TControl* control, TdxBarFormSearchKind kind) {
  auto* windowed = dynamic_cast<TWinControl*>(control);
  if (!windowed && control) windowed = control->GetParent();
  if (!windowed || !windowed->HandleAllocated()) return dynamic_cast<TCustomForm*>(control);
  TCustomForm* result = nullptr;
  for (HWND window = windowed->GetHandle(); window; window = GetParent(window)) {
    if (auto* form = dynamic_cast<TCustomForm*>(FindControl(window))) {
      result = form;
      if (kind == fsoAnyForm || (kind == fsoMainOrChild && form->GetFormStyle() == fsMDIChild)) break;
    }
    if (!IsChildWindow(window)) break;
  }
  return result;
}

TCustomForm* FindBarManagerForm(TdxBarManager* manager, TdxBarFormSearchKind kind) {
  return manager ? FindControlForm(manager->GetOwnerControl(), kind) : nullptr;
}

TCustomForm* FormOfComponent(TComponent* component) { return FindControlForm(FindWindowedOwner(component), fsoAnyForm); }

Boolean IsBarManagerOwnerWindow(TdxBarManager* manager, HWND window) {
  TWinControl* owner = manager ? manager->GetOwnerControl() : nullptr;
  if (!owner || !owner->HandleAllocated() || !window) return false;
  for (HWND w = owner->GetHandle(); w; w = GetParent(w)) {
    if (w == window) return true;
    if (!IsChildWindow(w)) break;
  }
  return false;
}

Boolean IsWindowInControl(TControl* control, TControl* inner) {
  if (!control || !inner) return false;
  auto* windowed = dynamic_cast<TWinControl*>(control);
  auto* innerWindowed = dynamic_cast<TWinControl*>(inner);
  if (!innerWindowed) innerWindowed = inner->GetParent();
  if (windowed && innerWindowed && windowed->HandleAllocated() && innerWindowed->HandleAllocated())
    return windowed->GetHandle() == innerWindowed->GetHandle() || IsChild(windowed->GetHandle(), innerWindowed->GetHandle());
  for (TControl* c = inner; c; c = c->GetParent())
    if (c == control) return true;
  return false;
}

Boolean IsControlOfManagerOwner(TdxBarManager* manager, TControl* control) {
  return manager && IsWindowInControl(manager->GetOwnerControl(), control);
}

Boolean HasAsParent(HWND window, HWND parent) {
  for (HWND w = GetParent(window); w; w = GetParent(w))
    if (w == parent) return true;
  return false;
}

TCustomForm* FindActiveEnabledForm() {
  HWND active = GetActiveWindow();
  if (!active || !IsWindowEnabled(active)) return nullptr;
  return dynamic_cast<TCustomForm*>(FindControl(active));
}

HWND GetActiveMDIChildWindow() { return nullptr; }

Boolean IsOtherProcessWindow(HWND window) {
  if (!window) return true;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process != GetCurrentProcessId();
}

TdxBarItem* GetLinkItem(TdxBarItemLink* link) { return link ? link->GetItem() : nullptr; }

TdxBarItemLinks* GetOwnerItemLinks(TObject* object) {
  auto* owner = dynamic_cast<IdxBarLinksOwner*>(object);
  return owner ? owner->GetItemLinks() : nullptr;
}

Boolean IsCharacterKey(Word key) {
  const UINT c = MapVirtualKey(key, 2);
  return c < 65536 && c != ' ' && c >= 32;
}

AnsiString GetShortCutHintText(TShortCut shortCut) {
  const AnsiString text = ShortCutToText(shortCut);
  return text.empty() ? AnsiString() : " (" + text + ")";
}

AnsiString GetPlainCaption(const AnsiString& caption) { return StripHotkey(caption); }

Integer GetAcceleratorPosition(AnsiString& caption, Boolean remove) {
  Integer result = 0;
  if (remove) {
    AnsiString plain;
    for (size_t i = 0; i < caption.size(); ++i) {
      if (caption[i] == '&') {
        if (i + 1 < caption.size() && caption[i + 1] == '&') {
          plain.push_back('&');
          ++i;
        } else if (i + 1 < caption.size()) {
          result = Integer(plain.size()) + 1;
        }
        continue;
      }
      plain.push_back(caption[i]);
    }
    caption = plain;
    return result;
  }
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (i + 1 < caption.size() && caption[i + 1] == '&') {
      ++i;
      continue;
    }
    if (i + 1 < caption.size()) result = Integer(i) + 2;
  }
  return result;
}

AnsiString GetIniPathSeparator(Boolean registry) { return registry ? "\\" : "."; }

Boolean IsButtonDownMessage(UINT message) {
  switch (message) {
    case 161: case 163: case 164: case 166: case 167: case 169:
    case 513: case 515: case 516: case 518: case 519: case 521:
      return true;
    default:
      return false;
  }
}

void RemovePendingCharMessages(HWND window) {
  MSG msg;
  while (PeekMessage(&msg, window, WM_CHAR, WM_CHAR, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(Integer(msg.wParam));
      break;
    }
  }
}

Boolean IsAncestorBeingLoaded(TComponent* component) {
  const auto state = component->GetComponentState();
  return state.Contains(csLoading) && state.Contains(csInline) && !state.Contains(csReading);
}

void SetWindowZOrder(HWND window, HWND insertAfter, Boolean activate, UINT extraFlags) {
  SetWindowPos(window, insertAfter, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | (activate ? 0 : SWP_NOACTIVATE) | extraFlags);
}

void ActivateTopWindowOf(HWND window) {
  while (window && IsChildWindow(window)) window = GetParent(window);
  if (window) SetActiveWindow(window);
}

void DestroyWindowAndClear(HWND& window, Boolean destroy) {
  if (window && destroy) DestroyWindow(window);
  window = nullptr;
}

void StopWindowTimer(HWND window, UINT_PTR& id) {
  if (id) KillTimer(window, id);
  id = 0;
}


// ==== Form descriptions =======================================================================

const orv::EnumNames<TdxBarManagerStyle> kBarManagerStyleNames(
    "TdxBarManagerStyle", {"bmsStandard", "bmsEnhanced", "bmsFlat", "bmsXP", "bmsOffice11", "bmsUseLookAndFeel"});
const orv::EnumNames<TdxBarMenuAnimations> kMenuAnimationNames("TdxBarMenuAnimations",
                                                                {"maNone", "maRandom", "maUnfold", "maSlide", "maFade"});
const orv::EnumNames<TdxBarDockingStyle> kDockingStyleNames("TdxBarDockingStyle",
                                                             {"dsNone", "dsLeft", "dsTop", "dsRight", "dsBottom"});
const orv::EnumNames<TdxBarItemVisible> kItemVisibleNames("TdxBarItemVisible", {"ivNever", "ivInCustomizing", "ivAlways"});

ORV_PUBLISH(TdxBarManager) {
  using T = TdxBarManager;
  p.Property("AllowCallFromAnotherForm", &T::GetAllowCallFromAnotherForm, &T::SetAllowCallFromAnotherForm).Default(false);
  p.Property("AllowReset", &T::GetAllowReset, &T::SetAllowReset).Default(true);
  p.Property("AlwaysMerge", &T::GetAlwaysMerge, &T::SetAlwaysMerge).Default(false);
  p.Property("AlwaysSaveText", &T::GetAlwaysSaveText, &T::SetAlwaysSaveText).Default(false);
  p.Property("AutoAlignBars", &T::GetAutoAlignBars, &T::SetAutoAlignBars).Default(false);
  p.Property("AutoDockColor", &T::GetAutoDockColor, &T::SetAutoDockColor).Default(true);
  p.Property("AutoHideEmptyBars", &T::GetAutoHideEmptyBars, &T::SetAutoHideEmptyBars).Default(false);
  p.Property("Scaled", &T::GetScaled, &T::SetScaled).Default(true);
  p.Property("Font", &T::GetFont);
  p.Property("Backgrounds", &T::GetBackgrounds);
  p.Property("ButtonArrowWidth", &T::GetButtonArrowWidth, &T::SetButtonArrowWidth).Default(11);
  p.Property("CanCustomize", &T::GetCanCustomize, &T::SetCanCustomize).Default(true);
  p.Property("Categories", &T::GetCategories);
  p.Property("DockColor", &T::GetDockColor, &T::SetDockColor).Kind("TColor").Stored(&T::IsDockColorStored);
  p.Property("FlatCloseButton", &T::GetFlatCloseButton, &T::SetFlatCloseButton).Default(false);
  p.Property("HelpButtonGlyph", &T::GetHelpButtonGlyph);
  p.Property("HelpContext", &T::GetHelpContext, &T::SetHelpContext).Default(0);
  p.Property("HideFloatingBarsWhenInactive", &T::GetHideFloatingBarsWhenInactive,
             &T::SetHideFloatingBarsWhenInactive).Default(true);
  p.Property("ImageOptions", &T::GetImageOptions);
  p.Property("IniFileName", &T::GetIniFileName, &T::SetIniFileName);
  p.Property("LargeButtonArrowWidth", &T::GetLargeButtonArrowWidth, &T::SetLargeButtonArrowWidth).Default(13);
  p.Property("LookAndFeel", &T::GetLookAndFeel);
  p.Property("MenuAnimations", &T::GetMenuAnimations, &T::SetMenuAnimations).Default(maNone);
  p.Property("MenusShowRecentItemsFirst", &T::GetMenusShowRecentItemsFirst, &T::SetMenusShowRecentItemsFirst)
      .Default(true);
  p.Property("MostRecentItemsPercents", &T::GetMostRecentItemsPercents, &T::SetMostRecentItemsPercents)
      .Default(Byte(95));
  p.Property("NotDocking", &T::GetNotDocking, &T::SetNotDocking).Default(TdxBarDockingStyles{});
  p.Property("RegistryPath", &T::GetRegistryPath, &T::SetRegistryPath);
  p.Property("ShowCloseButton", &T::GetShowCloseButton, &T::SetShowCloseButton).Default(false);
  p.Property("ShowFullMenusAfterDelay", &T::GetShowFullMenusAfterDelay, &T::SetShowFullMenusAfterDelay).Default(true);
  p.Property("ShowHelpButton", &T::GetShowHelpButton, &T::SetShowHelpButton).Default(false);
  p.Property("ShowHint", &T::GetShowHint, &T::SetShowHint).Default(true);
  p.Property("ShowHintForDisabledItems", &T::GetShowHintForDisabledItems, &T::SetShowHintForDisabledItems)
      .Default(true);
  p.Property("ShowShortCutInHint", &T::GetShowShortCutInHint, &T::SetShowShortCutInHint).Default(false);
  p.Property("StoreInIniFile", &T::GetStoreInIniFile, &T::SetStoreInIniFile).Default(false);
  p.Property("StoreInRegistry", &T::GetStoreInRegistry, &T::SetStoreInRegistry).Default(false);
  p.Property("Style", &T::GetStyle, &T::SetStyle).Default(bmsEnhanced);
  p.Property("SunkenBorder", &T::GetSunkenBorder, &T::SetSunkenBorder).Default(false);
  p.Property("UseF10ForMenu", &T::GetUseF10ForMenu, &T::SetUseF10ForMenu).Default(true);
  p.Property("UseFullReset", &T::GetUseFullReset, &T::SetUseFullReset).Default(false);
  p.Property("UseSystemFont", &T::GetUseSystemFont, &T::SetUseSystemFont);
  p.Property("WaitForDockingTime", &T::GetWaitForDockingTime, &T::SetWaitForDockingTime).Default(21);
  p.Property("OnBarAdd", &T::GetOnBarAdd, &T::SetOnBarAdd);
  p.Property("OnBarAfterReset", &T::GetOnBarAfterReset, &T::SetOnBarAfterReset);
  p.Property("OnBarBeforeReset", &T::GetOnBarBeforeReset, &T::SetOnBarBeforeReset);
  p.Property("OnBarClose", &T::GetOnBarClose, &T::SetOnBarClose);
  p.Property("OnBarDelete", &T::GetOnBarDelete, &T::SetOnBarDelete);
  p.Property("OnBarDockingStyleChange", &T::GetOnBarDockingStyleChange, &T::SetOnBarDockingStyleChange);
  p.Property("OnBarVisibleChange", &T::GetOnBarVisibleChange, &T::SetOnBarVisibleChange);
  p.Property("OnItemLinkAdd", &T::GetOnItemLinkAdd, &T::SetOnItemLinkAdd);
  p.Property("OnItemLinkChange", &T::GetOnItemLinkChange, &T::SetOnItemLinkChange);
  p.Property("OnItemLinkDelete", &T::GetOnItemLinkDelete, &T::SetOnItemLinkDelete);
  p.Property("OnMergeItemLink", &T::GetOnMergeItemLink, &T::SetOnMergeItemLink);
  p.Property("OnCloseButtonClick", &T::GetOnCloseButtonClick, &T::SetOnCloseButtonClick);
  p.Property("OnHelpButtonClick", &T::GetOnHelpButtonClick, &T::SetOnHelpButtonClick);
  p.Property("OnHideCustomizingForm", &T::GetOnHideCustomizingForm, &T::SetOnHideCustomizingForm);
  p.Property("OnShowCustomizingForm", &T::GetOnShowCustomizingForm, &T::SetOnShowCustomizingForm);
  p.Property("OnDocking", &T::GetOnDocking, &T::SetOnDocking);
  p.Property("OnMenuMerge", &T::GetOnMenuMerge, &T::SetOnMenuMerge);
  p.Property("OnMerge", &T::GetOnMerge, &T::SetOnMerge);
  p.Property("OnShowCustomizingPopup", &T::GetOnShowCustomizingPopup, &T::SetOnShowCustomizingPopup);
  p.Property("OnShowToolbarsPopup", &T::GetOnShowToolbarsPopup, &T::SetOnShowToolbarsPopup);
  p.Property("OnClickItem", &T::GetOnClickItem, &T::SetOnClickItem);
}

ORV_PUBLISH(TdxBarImageOptions) {
  using T = TdxBarImageOptions;
  p.Property("CacheGlyphs", &T::GetCacheGlyphs, &T::SetCacheGlyphs).Default(true);
  p.Property("DisabledImages", &T::GetDisabledImages, &T::SetDisabledImages);
  p.Property("DisabledLargeImages", &T::GetDisabledLargeImages, &T::SetDisabledLargeImages);
  p.Property("HotImages", &T::GetHotImages, &T::SetHotImages);
  p.Property("ImageListBkColor", &T::GetImageListBkColor, &T::SetImageListBkColor).Kind("TColor").Default(clFuchsia);
  p.Property("Images", &T::GetImages, &T::SetImages);
  p.Property("LargeImages", &T::GetLargeImages, &T::SetLargeImages);
  p.Property("LargeIcons", &T::GetLargeIcons, &T::SetLargeIcons).Default(false);
  p.Property("MakeDisabledImagesFaded", &T::GetMakeDisabledImagesFaded, &T::SetMakeDisabledImagesFaded).Default(false);
  p.Property("SmoothGlyphs", &T::GetSmoothGlyphs, &T::SetSmoothGlyphs).Default(false);
  p.Property("StretchGlyphs", &T::GetStretchGlyphs, &T::SetStretchGlyphs).Default(true);
  p.Property("UseLargeImagesForLargeIcons", &T::GetUseLargeImagesForLargeIcons, &T::SetUseLargeImagesForLargeIcons)
      .Default(false);
  p.Property("UseLeftBottomPixelAsTransparent", &T::GetUseLeftBottomPixelAsTransparent,
             &T::SetUseLeftBottomPixelAsTransparent).Default(true);
}

ORV_PUBLISH(TdxBarBackgrounds) {
  using T = TdxBarBackgrounds;
  p.Property("Bar", &T::GetBar);
  p.Property("SubMenu", &T::GetSubMenu);
}

ORV_PUBLISH(TdxBarGroup) {
  using T = TdxBarGroup;
  p.Property("Enabled", &T::GetEnabledValue, &T::SetEnabled).Default(true);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(ivAlways);
}

const orv::EnumNames<TdxBarItemAlign> kItemAlignNames("TdxBarItemAlign", {"iaLeft", "iaCenter", "iaRight", "iaClient"});
const orv::EnumNames<TdxBarItemMergeKind> kMergeKindNames("TdxBarItemMergeKind", {"mkAdd", "mkMergeByCaption", "mkNone"});
const orv::EnumNames<TdxBarPaintStyle> kPaintStyleNames("TdxBarPaintStyle",
                                                         {"psStandard", "psCaption", "psCaptionInMenu", "psCaptionGlyph"});
const orv::EnumNames<TdxBarGlyphLayout> kGlyphLayoutNames("TdxBarGlyphLayout", {"glLeft", "glRight", "glTop", "glBottom"});
const orv::EnumNames<TdxBarButtonStyle> kButtonStyleNames("TdxBarButtonStyle",
                                                           {"bsDefault", "bsChecked", "bsDropDown", "bsCheckedDropDown"});
const orv::EnumNames<TdxBarUserDefine> kUserDefineNames("TdxBarUserDefine",
                                                         {"udCaption", "udGlyph", "udPaintStyle", "udWidth"});
const orv::EnumNames<TdxBarItemPosition> kItemPositionNames("TdxBarItemPosition",
                                                             {"ipBeginsNewRow", "ipBeginsNewColumn", "ipContinuesRow"});
const orv::EnumNames<TdxBarItemViewLevel> kViewLevelNames(
    "TdxBarItemViewLevel", {"ivlLargeIconWithText", "ivlSmallIconWithText", "ivlSmallIcon", "ivlControlOnly"});
const orv::EnumNames<TdxBarButtonGroupPosition> kButtonGroupNames("TdxBarButtonGroupPosition",
                                                                   {"bgpNone", "bgpStart", "bgpMember"});
const orv::EnumNames<TdxBarItemOption> kItemOptionNames("TdxBarItemOption",
                                                         {"ioShowDescriptions", "ioShowShortCuts", "ioSize"});
const orv::EnumNames<TdxBarMenuItemSize> kMenuItemSizeNames("TdxBarMenuItemSize", {"misNormal", "misLarge"});

ORV_PUBLISH(TdxBarItem) {
  using T = TdxBarItem;
  p.Property("Action", &T::GetAction, &T::SetAction);
  p.Property("Align", &T::GetAlign, &T::SetAlign).Default(iaLeft);
  p.Property("Caption", &T::GetCaption, &T::SetCaption).Stored(&T::IsCaptionStored);
  p.Property("Category", &T::GetCategory, &T::SetCategory);
  p.Property("Description", &T::GetDescription, &T::SetDescription);
  p.Property("Enabled", &T::GetEnabledValue, &T::SetEnabled).Default(true).Stored(&T::IsEnabledStored);
  p.Property("HelpContext", &T::GetHelpContext, &T::SetHelpContext).Default(0).Stored(&T::IsHelpContextStored);
  p.Property("Hint", &T::GetHint, &T::SetHint).Stored(&T::IsHintStored);
  p.Property("KeyTip", &T::GetKeyTip, &T::SetKeyTip);
  p.Property("MergeKind", &T::GetMergeKind, &T::SetMergeKind).Default(mkAdd);
  p.Property("MergeOrder", &T::GetMergeOrder, &T::SetMergeOrder).Default(0);
  p.Property("Style", &T::GetStyle, &T::SetStyle);
  p.Property("ScreenTip", &T::GetScreenTip, &T::SetScreenTip);
  p.Property("Visible", &T::GetVisibleValue, &T::SetVisible).Stored(&T::IsVisibleStored);
  p.Property("OnDestroy", &T::GetOnDestroy, &T::SetOnDestroy);
}

namespace {

// The glyph, image and click properties the button-like kinds publish.
template <class T>
void PublishBarItemImages(orv::Published<T>& p) {
  p.Property("Glyph", &T::GetGlyph, &T::SetGlyph);
  p.Property("ImageIndex", &T::GetImageIndex, &T::SetImageIndex).Default(-1).Stored(&T::IsImageIndexStored);
  p.Property("LargeGlyph", &T::GetLargeGlyph, &T::SetLargeGlyph);
  p.Property("LargeImageIndex", &T::GetLargeImageIndex, &T::SetLargeImageIndex).Default(-1);
}

Boolean ItemOptionsShowDescriptionsStored(TdxBarItemOptions* o) { return o->IsOptionStored(ioShowDescriptions); }
Boolean ItemOptionsShowShortCutsStored(TdxBarItemOptions* o) { return o->IsOptionStored(ioShowShortCuts); }
Boolean ItemOptionsSizeStored(TdxBarItemOptions* o) { return o->IsOptionStored(ioSize); }

}  // namespace

ORV_PUBLISH(TdxBarButton) {
  using T = TdxBarButton;
  p.Property("AllowAllUp", &T::GetAllowAllUp, &T::SetAllowAllUp).Default(false);
  p.Property("ButtonStyle", &T::GetButtonStyle, &T::SetButtonStyle).Default(bsDefault);
  p.Property("CloseSubMenuOnClick", &T::GetCloseSubMenuOnClick, &T::SetCloseSubMenuOnClick).Default(true);
  p.Property("DropDownEnabled", &T::GetDropDownEnabled, &T::SetDropDownEnabled).Default(true);
  p.Property("DropDownMenu", &T::GetDropDownMenu, &T::SetDropDownMenu);
  p.Property("GroupIndex", &T::GetGroupIndex, &T::SetGroupIndex).Default(0);
  p.Property("Down", &T::GetDown, &T::SetDown).Default(false).Stored(&T::IsDownStored);
  PublishBarItemImages(p);
  p.Property("Lowered", &T::GetLowered, &T::SetLowered).Default(false);
  p.Property("PaintStyle", &T::GetPaintStyle, &T::SetPaintStyle).Default(psStandard);
  p.Property("ShortCut", &T::GetShortCutValue, &T::SetShortCutValue).Default(0).Stored(&T::IsShortCutStored);
  p.Property("UnclickAfterDoing", &T::GetUnclickAfterDoing, &T::SetUnclickAfterDoing).Default(true);
  p.Property("OnClick", &T::GetOnClick, &T::SetOnClick).Stored(&T::IsOnClickStored);
}

ORV_PUBLISH(TdxBarLargeButton) {
  using T = TdxBarLargeButton;
  p.Property("AutoGrayScale", &T::GetAutoGrayScale, &T::SetAutoGrayScale).Default(true);
  p.Property("GlyphLayout", &T::GetGlyphLayout, &T::SetGlyphLayout).Default(glTop);
  p.Property("Height", &T::GetHeight, &T::SetHeight).Default(0);
  p.Property("HotGlyph", &T::GetHotGlyph, &T::SetHotGlyph);
  p.Property("HotImageIndex", &T::GetHotImageIndex, &T::SetHotImageIndex).Default(-1);
  p.Property("LargeImageIndex", &T::GetLargeImageIndex, &T::SetLargeImageIndex)
      .Default(-1)
      .Stored(&T::IsLargeImageIndexStored);
  p.Property("ShowCaption", &T::GetShowCaption, &T::SetShowCaption).Default(true);
  p.Property("Width", &T::GetWidth, &T::SetWidth).Default(0);
  // Written as a value of its own, and only while it does not mirror LargeImageIndex.
  p.Property("ImageIndex", &T::GetImageIndex, &T::SetImageIndex).Stored([](T*) { return false; });
  p.Property("SyncImageIndex", &T::GetSyncImageIndex, &T::SetSyncImageIndex).Default(true);
}

ORV_PUBLISH(TdxBarLabel) {}

ORV_PUBLISH(TdxBarSeparator) {
  using T = TdxBarSeparator;
  p.Property("ShowCaption", &T::GetShowCaption, &T::SetShowCaption).Default(true);
}

ORV_PUBLISH(TdxBarItemOptions) {
  using T = TdxBarItemOptions;
  p.Property("AssignedValues", &T::GetAssignedValues, &T::SetAssignedValues).Stored([](T*) { return false; });
  p.Property("ShowDescriptions", &T::GetShowDescriptions, &T::SetShowDescriptions).Stored(ItemOptionsShowDescriptionsStored);
  p.Property("ShowShortCuts", &T::GetShowShortCuts, &T::SetShowShortCuts).Stored(ItemOptionsShowShortCutsStored);
  p.Property("Size", &T::GetSize, &T::SetSize).Stored(ItemOptionsSizeStored);
}

ORV_PUBLISH(TdxBarSubItem) {
  using T = TdxBarSubItem;
  p.Property("BarSize", &T::GetBarSize, &T::SetBarSize).Default(0);
  p.Property("Detachable", &T::GetDetachable, &T::SetDetachable).Default(false);
  p.Property("DetachingBar", &T::GetDetachingBar, &T::SetDetachingBar).Default(-1);
  PublishBarItemImages(p);
  p.Property("ShowCaption", &T::GetShowCaption, &T::SetShowCaption).Default(true);
  p.Property("OnClick", &T::GetOnClick, &T::SetOnClick).Stored(&T::IsOnClickStored);
  p.Property("OnDetaching", &T::GetOnDetaching, &T::SetOnDetaching);
  p.Property("OnPaintBar", &T::GetOnPaintBar, &T::SetOnPaintBar);
  p.Property("AllowCustomizing", &T::GetAllowCustomizing, &T::SetAllowCustomizing).Default(true);
  p.Property("ItemLinks", &T::GetLinks);
  p.Property("ItemOptions", &T::GetItemOptions);
  p.Property("OnCloseUp", &T::GetOnCloseUp, &T::SetOnCloseUp);
  p.Property("OnPopup", &T::GetOnPopup, &T::SetOnPopup);
}

ORV_PUBLISH(TdxBarListItem) {
  using T = TdxBarListItem;
  p.Property("ItemIndex", &T::GetItemIndex, &T::SetItemIndex).Default(-1);
  p.Property("Items", &T::GetItems);
  p.Property("LargeGlyph", &T::GetLargeGlyph, &T::SetLargeGlyph);
  p.Property("LargeImageIndex", &T::GetLargeImageIndex, &T::SetLargeImageIndex).Default(-1);
  p.Property("ShowCheck", &T::GetShowCheck, &T::SetShowCheck).Default(false);
  p.Property("ShowNumbers", &T::GetShowNumbers, &T::SetShowNumbers).Default(true);
  p.Property("OnGetData", &T::GetOnGetData, &T::SetOnGetData);
  p.Property("OnClick", &T::GetOnClick, &T::SetOnClick).Stored(&T::IsOnClickStored);
}

// Its entries come from the program at run time: nothing of its own is published.
ORV_PUBLISH(TdxBarExtraPaneListItem) {}

ORV_PUBLISH(TdxBarContainerItem) {
  using T = TdxBarContainerItem;
  p.Property("ItemLinks", &T::GetLinks);
  p.Property("OnGetData", &T::GetOnGetData, &T::SetOnGetData);
}

ORV_PUBLISH(TdxBarItemLink) {
  using T = TdxBarItemLink;
  p.Property("BeginGroup", &T::GetBeginGroupValue, &T::SetBeginGroup).Default(false);
  p.Property("ButtonGroup", &T::GetButtonGroup, &T::SetButtonGroup).Default(bgpNone);
  p.Property("Distributed", &T::GetDistributed, &T::SetDistributed).Default(true);
  p.Property("MostRecentlyUsed", &T::GetMostRecentlyUsed, &T::SetMostRecentlyUsed).Default(true);
  p.Property("Position", &T::GetPosition, &T::SetPosition).Default(ipBeginsNewRow);
  p.Property("UserCaption", &T::GetUserCaption, &T::SetUserCaption);
  p.Property("UserDefine", &T::GetUserDefine, &T::SetUserDefine).Default(TdxBarUserDefines{});
  p.Property("UserGlyph", &T::GetUserGlyph, &T::SetUserGlyph);
  p.Property("UserPaintStyle", &T::GetUserPaintStyle, &T::SetUserPaintStyle).Default(psStandard);
  p.Property("UserWidth", &T::GetUserWidth, &T::SetUserWidth).Default(0);
  p.Property("ViewLevels", &T::GetViewLevels, &T::SetViewLevels)
      .Default(TdxBarItemViewLevels{ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon, ivlControlOnly});
  p.Property("Visible", &T::GetVisible, &T::SetVisible);
}

const orv::EnumNames<TdxBarBorderStyle> kBarBorderStyleNames("TdxBarBorderStyle", {"bbsNone", "bbsSingle"});

ORV_PUBLISH(TdxBar) {
  using T = TdxBar;
  // Only older descriptions, which held the bars as one list, name a bar among its values.
  p.Property("Name", [](T* self) { return self->GetName(); }, [](T* self, const AnsiString& value) { self->SetName(value); })
      .Stored(false);
  p.Property("AllowClose", &T::GetAllowClose, &T::SetAllowClose).Default(true);
  p.Property("AllowCustomizing", &T::GetAllowCustomizing, &T::SetAllowCustomizing).Default(true);
  p.Property("AllowQuickCustomizing", &T::GetAllowQuickCustomizing, &T::SetAllowQuickCustomizing).Default(true);
  p.Property("AllowReset", &T::GetAllowReset, &T::SetAllowReset).Default(true);
  p.Property("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle).Default(bbsSingle);
  p.Property("Caption", &T::GetCaption, &T::SetCaption);
  p.Property("CaptionButtons", &T::GetCaptionButtons, &T::SetCaptionButtons)
      .Stored([](T* self) { return self->GetCaptionButtons()->GetCount() > 0; });
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor").Default(clDefault);
  p.Property("DockControl", &T::GetDockControl, &T::SetDockControl);
  p.Property("DockedDockControl", &T::GetDockedDockControl, &T::SetDockedDockControl);
  p.Property("DockedDockingStyle", &T::GetDockedDockingStyle, &T::SetDockedDockingStyle);
  p.Property("DockedLeft", &T::GetDockedLeft, &T::SetDockedLeft);
  p.Property("DockedTop", &T::GetDockedTop, &T::SetDockedTop);
  p.Property("DockingStyle", &T::GetDockingStyle, &T::SetDockingStyle);
  p.Property("FloatLeft", &T::GetFloatLeft, &T::SetFloatLeft);
  p.Property("FloatTop", &T::GetFloatTop, &T::SetFloatTop);
  p.Property("FloatClientWidth", &T::GetFloatClientWidth, &T::SetFloatClientWidth);
  p.Property("FloatClientHeight", &T::GetFloatClientHeight, &T::SetFloatClientHeight);
  p.Property("Font", &T::GetFont, &T::SetFont).Stored(&T::IsFontStored);
  p.Property("Glyph", &T::GetGlyph, &T::SetGlyph);
  p.Property("Hidden", &T::GetHidden, &T::SetHidden).Default(false);
  p.Property("IsMainMenu", &T::GetIsMainMenu, &T::SetIsMainMenu).Default(false);
  p.Property("ItemLinks", &T::GetLinks);
  p.Property("KeyTip", &T::GetKeyTip, &T::SetKeyTip);
  p.Property("MultiLine", &T::GetMultiLine, &T::SetMultiLine).Default(false);
  p.Property("NotDocking", &T::GetNotDocking, &T::SetNotDocking).Default(TdxBarDockingStyles{});
  p.Property("OldName", &T::GetOldName, &T::SetOldName);
  p.Property("OneOnRow", &T::GetOneOnRow, &T::SetOneOnRow);
  p.Property("RotateWhenVertical", &T::GetRotateWhenVertical, &T::SetRotateWhenVertical).Default(true);
  p.Property("Row", &T::GetRow, &T::SetRow);
  p.Property("ShowMark", &T::GetShowMark, &T::SetShowMark).Default(true);
  p.Property("SizeGrip", &T::GetSizeGrip, &T::SetSizeGrip).Default(true);
  p.Property("UseOwnFont", &T::GetUseOwnFont, &T::SetUseOwnFont);
  p.Property("UseRecentItems", &T::GetUseRecentItems, &T::SetUseRecentItems).Default(true);
  p.Property("UseRestSpace", &T::GetUseRestSpace, &T::SetUseRestSpace).Default(false);
  p.Property("Visible", &T::GetVisible, &T::SetVisible);
  p.Property("WholeRow", &T::GetWholeRow, &T::SetWholeRow);
  p.Property("BackgroundBitmap", &T::GetBackgroundBitmap, &T::SetBackgroundBitmap);
  p.Property("AlphaBlendValue", &T::GetAlphaBlendValue, &T::SetAlphaBlendValue).Default(Byte(255));
}

// ==== Hint view infos

TdxBarHintViewInfo::TdxBarHintViewInfo(TdxBarManager* manager, const TPoint& position, const AnsiString& hint,
                                       const AnsiString& shortCut)
    : TdxBarCustomHintViewInfo(manager), FPosition(position) {
  // A shortcut alone is no hint.
  if (!hint.empty()) FText = hint + shortCut;
}

void TdxBarHintViewInfo::Calculate(TCanvas* canvas) {
  if (FText.empty()) {
    FBounds = TRect();
    return;
  }
  const TRect workArea = GetWorkAreaAtPoint(FPosition);
  TRect measured{0, 0, workArea.Right - workArea.Left, 0};
  ::DrawText(canvas->GetHandle(), FText.c_str(), int(FText.size()), &measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  TSize size{measured.Right - measured.Left, measured.Bottom - measured.Top};
  AdjustSize(size);
  FBounds = TRect{0, 0, size.cx, size.cy};
}

void TdxBarHintViewInfo::AdjustSize(TSize& size) {
  size.cx += 6;
  size.cy += 6;
}

TRect TdxBarHintViewInfo::GetTextRect() {
  return TRect{FBounds.Left + 3, FBounds.Top + 3, FBounds.Right - 1, FBounds.Bottom - 1};
}

void TdxBarHintViewInfo::Paint(TCanvas* canvas) {
  TRect edge = FBounds;
  DrawEdge(canvas->GetHandle(), &edge, BDR_RAISEDOUTER, BF_RECT);
  DrawText(canvas);
}

void TdxBarHintViewInfo::DrawText(TCanvas* canvas) {
  TRect text = GetTextRect();
  canvas->GetBrush()->SetStyle(bsClear);
  ::DrawText(canvas->GetHandle(), FText.c_str(), int(FText.size()), &text, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
}

void TdxBarCustomHintViewInfo::PrepareHintWindow(TdxBarHintWindow* window) {
  window->SetScreenTipKind(IsScreenTip());
  window->HandleNeeded();
}

void TdxBarHintViewInfo::PrepareHintWindow(TdxBarHintWindow* window) {
  inherited::PrepareHintWindow(window);
  window->SetCaption(FText);
  SetupFont(window);
  window->SetColor(Application->GetHintColor());
}

void TdxBarHintViewInfo::SetupFont(TdxBarHintWindow* window) {
  TFont* font = window->GetCanvas()->GetFont();
  if (!GetBarManager() || GetBarManager()->GetUseSystemFont()) {
    NONCLIENTMETRICS metrics;
    if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
      font->SetHandle(CreateFontIndirect(&metrics.lfStatusFont));
    else
      font->SetSize(8);
  } else {
    font->Assign(GetBarManager()->GetFont());
  }
  font->SetColor(Screen->GetHintFont()->GetColor());
}

// ---- Hint window

TdxBarHintWindow::TdxBarHintWindow(TComponent* owner) : TcxBaseHintWindow(owner) {
  SetColor(clInfoBk);
  SetNeedEraseBackground(true);
  SetAnimationStyle(cxhaNone);
  // The view info paints its own frame around the whole client area.
  SetHasBorder(false);
}

void TdxBarHintWindow::BeforeDestruction() {
  FreeViewInfo();
  inherited::BeforeDestruction();
}

void TdxBarHintWindow::FreeViewInfo() {
  TdxBarCustomHintViewInfo* info = FViewInfo;
  FViewInfo = nullptr;
  if (info) info->Free();
}

void TdxBarHintWindow::Dispatch(TMessage& message) {
  // A hidden hint has nothing left to show.
  if (message.Msg == WM_SHOWWINDOW && message.WParam == 0) FreeViewInfo();
  inherited::Dispatch(message);
}

void TdxBarHintWindow::SetScreenTipKind(Boolean value) {
  if (FIsScreenTip == value) return;
  if (HandleAllocated()) ShowWindow(GetHandle(), SW_HIDE);
  FIsScreenTip = value;
  RecreateForKind();
}

void TdxBarHintWindow::RecreateForKind() {
  if (HandleAllocated()) RecreateWnd();
}

Boolean TdxBarHintWindow::ShowHint(TdxBarManager* manager, const AnsiString& hint, const AnsiString& shortCut) {
  FreeViewInfo();
  POINT cursor{};
  GetCursorPos(&cursor);
  TdxBarCustomHintViewInfo* info = nullptr;
  if (auto* source = dynamic_cast<IdxBarHintSource*>(gHint.Manager == manager ? gHint.Object : nullptr))
    info = source->CreateHintViewInfo(hint, shortCut);
  if (!info) info = new TdxBarHintViewInfo(manager, TPoint{cursor.X, cursor.Y}, hint, shortCut);
  FViewInfo = info;
  info->PrepareHintWindow(this);
  info->Calculate(GetCanvas());
  const TRect bounds = info->GetBounds();
  if (bounds.Right <= bounds.Left || bounds.Bottom <= bounds.Top) return false;
  auto* plain = dynamic_cast<TdxBarHintViewInfo*>(info);
  ActivateHint(TRect{cursor.X, cursor.Y, cursor.X + bounds.Right - bounds.Left, cursor.Y + bounds.Bottom - bounds.Top},
               plain ? plain->GetText() : hint);
  return true;
}

void TdxBarHintWindow::Paint() {
  if (!FViewInfo) return;
  const TRect bounds = FViewInfo->GetBounds();
  SetClientWidth(bounds.Right - bounds.Left);
  SetClientHeight(bounds.Bottom - bounds.Top);
  FViewInfo->Paint(GetCanvas());
}
