#include "components/bars/dxBarDesignController.h"

#include "components/bars/dxBarCustomCustomizationForm.h"
#include "components/bars/dxBarEdit.h"
#include "components/bars/dxBarStrs.h"
#include "platform/controls/Menus.h"
#include "components/foundation/cxClasses.h"
#include "platform/controls/Forms.h"
#include "platform/runtime/Component.h"
#include "platform/windowing/User.h"

namespace {
TdxBarDesignController* gDesignController = nullptr;
Boolean gDesignControllerFinalized = false;

struct TDesignControllerFinalization {
  ~TDesignControllerFinalization() {
    gDesignControllerFinalized = true;
    orv::Free(gDesignController);
    gDesignController = nullptr;
  }
} gDesignControllerFinalization;
}  // namespace

TdxBarDesignController* GetBarDesignController() {
  if (!gDesignController && !gDesignControllerFinalized) gDesignController = new TdxBarDesignController;
  return gDesignController;
}

// ---- Internal menus ---------------------------------------------------------------------------

TdxBarInternalSubMenuControl::TdxBarInternalSubMenuControl(TComponent* owner) : TdxBarSubMenuControl(owner) {
  FOwnLinks = new TdxBarItemLinks(dynamic_cast<TdxBarManager*>(owner), this);
  FOwnLinks->SetInternal(true);
  SetItemLinks(FOwnLinks);
}

void TdxBarInternalSubMenuControl::BeforeDestruction() {
  inherited::BeforeDestruction();
  SetItemLinks(nullptr);
}

TdxBarInternalSubMenuControl::~TdxBarInternalSubMenuControl() { orv::Free(FOwnLinks); }

// ---- The controller ---------------------------------------------------------------------------

TdxBarDesignController::TdxBarDesignController()
    : FInternalItems(new TComponentList(true)), FDesignHelpers(new TcxRegisteredClassList) {
  RegisterBarControlDesignHelper(TdxBarControl::StaticClass(), TdxBarControlDesignHelper::StaticClass());
  RegisterBarControlDesignHelper(TdxBarSubMenuControl::StaticClass(), TdxBarSubMenuControlDesignHelper::StaticClass());
}

TdxBarDesignController::~TdxBarDesignController() {
  ReleaseObjectLink(FToolbarsMenu);
  ReleaseObjectLink(FCustomizingMenu);
  ReleaseObjectLink(FCustomizingBarControl);
  ReleaseObjectLink(FLastSelectedObject);
  orv::Free(FDesignHelpers);
  orv::Free(FInternalItems);
}

// ---- Design helpers and registries ------------------------------------------------------------

void TCustomdxBarControlDesignHelper::GetEditors(TList* list) {
  TdxBarDesignController* controller = GetBarDesignController();
  for (Integer i = 0; controller && i < controller->GetBarControlEditorCount(); ++i)
    list->Add(const_cast<TMetaClass*>(controller->GetBarControlEditor(i)));
}

void TdxBarSubMenuControlDesignHelper::GetEditors(TList* list) { inherited::GetEditors(list); }

void TdxBarDesignController::RegisterBarControlDesignHelper(TClass barControlClass, TClass helperClass) {
  FDesignHelpers->AddRegistration(barControlClass, helperClass);
}

void TdxBarDesignController::RegisterBarControlEditor(TClass editorClass) { FEditors.push_back(editorClass); }

TClass TdxBarDesignController::GetDesignHelperClass(TClass barControlClass) const {
  return barControlClass ? FDesignHelpers->FindRegisteredClass(barControlClass) : nullptr;
}

// ---- Selection ----------------------------------------------------------------------------------

IdxBarSelectableItem* QuerySelectableItem(TObject* object) { return Supports<IdxBarSelectableItem>(object); }

void RemoveUnselectableItems(TList* list) {
  for (Integer i = list->GetCount() - 1; i >= 0; --i)
    if (!QuerySelectableItem(static_cast<TObject*>(list->Get(i)))) list->Delete(i);
}

namespace {
// The selected objects of a manager that are selectable.
void GetCleanSelection(TdxBarManager* manager, TList* list) {
  list->Clear();
  if (!manager) return;
  TList selection;
  manager->GetSelectedComponents(&selection);
  for (Integer i = 0; i < selection.GetCount(); ++i)
    list->Add(static_cast<TObject*>(static_cast<TPersistent*>(selection.Get(i))));
  RemoveUnselectableItems(list);
}

IdxBarSelectableItem* SelectableAt(TList* list, Integer index) {
  return QuerySelectableItem(static_cast<TObject*>(list->Get(index)));
}

// The manager's form, or a window inside it, has the keyboard focus.
Boolean IsUsableManager(TdxBarManager* manager, Boolean requireFocus) {
  if (!manager) return false;
  if (!requireFocus) return true;
  TWinControl* owner = manager->GetOwnerControl();
  if (!owner || !owner->HandleAllocated()) return false;
  for (HWND window = GetFocus(); window; window = GetParent(window))
    if (window == owner->GetHandle()) return true;
  return false;
}

// Whether the object may be deleted with the others of the list: not when one of its owners,
// or of theirs, goes with the list already (the last owner's answer stands).
Boolean PassesOwnerTest(TObject* object, TList* deletion, Integer depth = 0) {
  IdxBarSelectableItem* item = QuerySelectableItem(object);
  if (!item || depth > 32) return true;
  TdxObjectList owners;
  item->AddOwnerObjects(&owners);
  Boolean result = true;
  for (Integer i = 0; i < owners.GetCount(); ++i) {
    TObject* owner = owners.Get(i);
    result = deletion->IndexOf(owner) < 0 && PassesOwnerTest(owner, deletion, depth + 1);
  }
  return result;
}

Boolean IsFitToSelectAfter(TObject* object, TList* deletion) {
  return object && deletion->IndexOf(object) < 0 && PassesOwnerTest(object, deletion);
}

// What is selected once the list is deleted: the first object after the last one of the list
// that stays, else that object's parent.
TObject* FindObjectToSelect(TList* deletion) {
  if (deletion->GetCount() == 0) return nullptr;
  auto* start = static_cast<TObject*>(deletion->Get(deletion->GetCount() - 1));
  IdxBarSelectableItem* item = QuerySelectableItem(start);
  if (!item) return nullptr;
  // Bounded: a walk that never comes back to its start ends too.
  TObject* next = item->GetNextSelectable();
  for (Integer steps = 0; next && next != start && steps < 10000; ++steps) {
    if (IsFitToSelectAfter(next, deletion)) return next;
    IdxBarSelectableItem* nextItem = QuerySelectableItem(next);
    next = nextItem ? nextItem->GetNextSelectable() : nullptr;
  }
  TObject* parent = item->GetSelectableParent();
  return IsFitToSelectAfter(parent, deletion) ? parent : nullptr;
}
}  // namespace

IdxBarSelectableItem* TdxBarDesignController::GetLastSelectedItem() const {
  return FLastSelectedObject && FLastSelectedObject->Ref ? FLastSelected : nullptr;
}

Boolean TdxBarDesignController::IsLastSelected(IdxBarSelectableItem* item) const {
  return item && item == GetLastSelectedItem();
}

void TdxBarDesignController::AssignLastSelected(IdxBarSelectableItem* item) {
  IdxBarSelectableItem* old = GetLastSelectedItem();
  if (old == item) return;
  FLastSelected = nullptr;
  ReleaseObjectLink(FLastSelectedObject);
  if (old) old->InvalidateSelection();
  if (!item) return;
  FLastSelected = item;
  // The reference reads nil once the object is freed.
  FLastSelectedObject = CreateObjectLink(item->GetObject());
  item->InvalidateSelection();
}

void TdxBarDesignController::ForgetSelectable(IdxBarSelectableItem* item) {
  if (item && item == FLastSelected) {
    FLastSelected = nullptr;
    ReleaseObjectLink(FLastSelectedObject);
  }
}

void TdxBarDesignController::SelectSelectableItem(IdxBarSelectableItem* item, Integer operation) {
  if (!item) return;
  orv::TObjectLinkGuard alive(item->GetObject());
  item->SelectObject(operation);
  if (operation == 1)
    SyncLastSelectedItem();
  else if ((operation == 0 || operation == 2) && alive.Alive())
    AssignLastSelected(item);
}

void TdxBarDesignController::SelectPersistent(TObject* object, Integer operation) {
  if (IdxBarSelectableItem* item = QuerySelectableItem(object)) {
    SelectSelectableItem(item, operation);
    return;
  }
  auto* persistent = dynamic_cast<TPersistent*>(object);
  if (TdxBarManager* manager = persistent ? FindCustomizedManager() : nullptr)
    manager->ChangeSelection(persistent, operation);
}

void TdxBarDesignController::SyncLastSelectedItem() {
  IdxBarSelectableItem* item = GetLastSelectedItem();
  if (!item) return;
  if (!item->IsInSelection() || !Application || !Application->GetActive()) AssignLastSelected(nullptr);
}

Boolean TdxBarDesignController::HasSingleSelection(TdxBarManager* barManager) {
  TList selection;
  GetCleanSelection(barManager, &selection);
  return selection.GetCount() == 1;
}

Boolean TdxBarDesignController::HasComplexSelection(TdxBarManager* barManager) {
  TList selection;
  GetCleanSelection(barManager, &selection);
  for (Integer i = 0; i < selection.GetCount(); ++i)
    if (SelectableAt(&selection, i)->IsComplex()) return true;
  return false;
}

Boolean TdxBarDesignController::IsLinkOfOpenMenu(IdxBarSelectableItem* item) {
  return item && GetCustomizingMenu() && item->GetObject() == GetCustomizingLink();
}

Boolean TdxBarDesignController::HasCustomizingLink() { return GetCustomizingMenu() && GetCustomizingLink(); }

Boolean TdxBarDesignController::ShouldSelectDefault(IdxBarSelectableItem* item) {
  TdxBarManager* manager = item ? item->GetBarManager() : nullptr;
  if (manager && !manager->IsDesigning() && IsLastSelected(item)) return true;
  if (!HasSingleSelection(manager)) return false;
  return !HasComplexSelection(manager) || IsLinkOfOpenMenu(item);
}

TdxBarManager* TdxBarDesignController::FindCustomizedManager() {
  if (IdxBarSelectableItem* item = GetLastSelectedItem()) return item->GetBarManager();
  TdxBarManagerList* managers = dxBarManagerList();
  for (Integer i = 0; i < managers->GetCount(); ++i) {
    TList selection;
    GetCleanSelection(managers->GetManager(i), &selection);
    if (selection.GetCount() > 0) return managers->GetManager(i);
  }
  return nullptr;
}

Boolean TdxBarDesignController::HasDeletableSelection() {
  TList selection;
  GetCleanSelection(FindCustomizedManager(), &selection);
  for (Integer i = 0; i < selection.GetCount(); ++i)
    if (SelectableAt(&selection, i)->IsDeletable(false)) return true;
  return false;
}

Boolean TdxBarDesignController::DeleteSelectedObjects(Boolean withItems, Boolean requireFocus) {
  TdxBarManager* manager = FindCustomizedManager();
  if (!IsUsableManager(manager, requireFocus)) return false;
  if (!manager->IsDesigning()) {
    // At run time only the last selected link goes, and only one of this manager.
    IdxBarSelectableItem* item = GetLastSelectedItem();
    if (auto* link = item ? dynamic_cast<TdxBarItemLink*>(item->GetObject()) : nullptr)
      if (link->GetBarManager() == manager) link->Free();
    return false;
  }
  TList deletion;
  GetCleanSelection(manager, &deletion);
  for (Integer i = deletion.GetCount() - 1; i >= 0; --i)
    if (!SelectableAt(&deletion, i)->IsDeletable(withItems)) deletion.Delete(i);
  if (withItems)
    for (Integer i = deletion.GetCount() - 1; i >= 0; --i)
      if (!PassesOwnerTest(static_cast<TObject*>(deletion.Get(i)), &deletion)) deletion.Delete(i);
  if (deletion.GetCount() == 0) return false;
  if (!withItems) {
    Boolean complex = false;
    for (Integer i = 0; i < deletion.GetCount() && !complex; ++i) complex = SelectableAt(&deletion, i)->IsComplex();
    if (complex && Application->MessageBox(GetLocalizedResourceString(&dxSBAR_WANTTODELETECOMPLEXITEM),
                                           Application->GetTitle(), MB_YESNO | MB_ICONQUESTION) != IDYES)
      return true;
  }
  orv::TObjectLinkGuard managerAlive(manager);
  manager->BeginUpdate();
  try {
    TObject* next = FindObjectToSelect(&deletion);
    TcxObjectLink* nextLink = CreateObjectLink(next);
    // Each object only while it lives: one going may take another with it.
    std::vector<TcxObjectLink*> objects;
    for (Integer i = 0; i < deletion.GetCount(); ++i) objects.push_back(CreateObjectLink(static_cast<TObject*>(deletion.Get(i))));
    for (Integer i = Integer(objects.size()) - 1; i >= 0; --i) {
      TcxObjectLink* object = objects[size_t(i)];
      if (IdxBarSelectableItem* item = object && object->Ref ? QuerySelectableItem(object->Ref) : nullptr) {
        TObject* reference = item->GetObject();
        item->DeleteSelectable(reference, withItems);
      }
      ReleaseObjectLink(objects[size_t(i)]);
    }
    if (nextLink && nextLink->Ref) SelectPersistent(nextLink->Ref, 2);
    ReleaseObjectLink(nextLink);
  } catch (...) {
    if (managerAlive.Alive()) manager->EndUpdate();
    throw;
  }
  if (managerAlive.Alive()) manager->EndUpdate();
  NotifyModified();
  return true;
}

Boolean TdxBarDesignController::SelectParentOfSelection() {
  TdxBarManager* manager = FindCustomizedManager();
  if (!IsUsableManager(manager, true)) return false;
  TList selection;
  GetCleanSelection(manager, &selection);
  return selection.GetCount() > 0 && SelectableAt(&selection, 0)->SelectParent();
}

void TdxBarDesignController::NotifyModified() {
  if (TdxBarManager* manager = FindCustomizedManager()) manager->DesignerModified();
}

void TdxBarDesignController::ApplyCommandToSelection(Integer command) {
  TList selection;
  GetCleanSelection(FindCustomizedManager(), &selection);
  std::vector<TcxObjectLink*> objects;
  for (Integer i = 0; i < selection.GetCount(); ++i) objects.push_back(CreateObjectLink(static_cast<TObject*>(selection.Get(i))));
  for (TcxObjectLink*& object : objects) {
    if (IdxBarSelectableItem* item = object && object->Ref ? QuerySelectableItem(object->Ref) : nullptr)
      item->ApplyCommand(command);
    ReleaseObjectLink(object);
  }
}

void TdxBarDesignController::AddInternalItem(TdxBarItem* item) {
  FInternalItems->Add(item);
  // Never one of the manager's commands.
  if (TdxBarManager* manager = item->GetBarManager()) manager->GetItemList()->Remove(item);
}

void TdxBarDesignController::ClearInternalItems() {
  while (FInternalItems->GetCount() > 0) FInternalItems->Delete(FInternalItems->GetCount() - 1);
}

Integer TdxBarDesignController::GetInternalItemCount() const { return FInternalItems->GetCount(); }

TdxBarItemLink* TdxBarDesignController::AddPopupMenuItem(TdxBarItemLinks* links, TClass itemClass,
                                                         Boolean beginGroup, NativeInt tag,
                                                         const TNotifyEvent& onClick, const AnsiString& caption) {
  TdxBarManager* manager = links->GetBarManager();
  TdxBarItem* item = orv::ClassOf<TdxBarItem>(itemClass).Create(manager ? manager->GetOwner() : nullptr);
  if (manager && item->GetBarManager() != manager) item->SetParentComponent(manager);
  TdxBarItemLink* link = links->AddItem(item);
  AddInternalItem(item);
  item->SetCaption(caption);
  item->SetOnClick(onClick);
  item->SetTag(tag);
  link->SetBeginGroup(beginGroup);
  return link;
}

TdxBarSubMenuControl* TdxBarDesignController::GetToolbarsMenu() const {
  return FToolbarsMenu ? static_cast<TdxBarSubMenuControl*>(FToolbarsMenu->Ref) : nullptr;
}

void TdxBarDesignController::FillToolbarsMenu(TdxBarItemLinks* links, TdxBarManager* barManager) {
  for (Integer i = 0; i < barManager->GetBarCount(); ++i) {
    TdxBar* bar = barManager->GetBar(i);
    if (!bar->CanClose() || bar->GetHidden() || bar->GetMergeTarget()) continue;
    TdxBarItemLink* link = AddPopupMenuItem(links, TdxBarButton::StaticClass(), false, reinterpret_cast<NativeInt>(bar),
                                            TNotifyEvent(this, &TdxBarDesignController::ToolbarClick), bar->GetCaption());
    auto* button = static_cast<TdxBarButton*>(link->GetItem());
    button->SetButtonStyle(bsChecked);
    button->SetDown(bar->GetVisible());
  }
  if (barManager->GetCanCustomize()) {
    TdxBarItemLink* link =
        AddPopupMenuItem(links, TdxBarButton::StaticClass(), true, 0,
                         TNotifyEvent(this, &TdxBarDesignController::CustomizeClick),
                         GetLocalizedResourceString(&dxSBAR_CUSTOMIZE));
    link->GetItem()->SetEnabled(GetActiveCustomizationForm() == nullptr);
  }
}

void TdxBarDesignController::HideMenus() {
  if (TdxBarSubMenuControl* previous = GetToolbarsMenu()) previous->HideControl();
  ReleaseObjectLink(FToolbarsMenu);
  if (TdxBarSubMenuControl* previous = GetCustomizingMenu()) previous->HideControl();
  ReleaseObjectLink(FCustomizingMenu);
  ReleaseObjectLink(FCustomizingBarControl);
  FCustomizingLink = nullptr;
}

void TdxBarDesignController::ShowToolbarsMenu(TdxBarManager* barManager) {
  if (!barManager) return;
  HideMenus();
  ClearInternalItems();
  auto* menu = new TdxBarToolbarsPopup(barManager);
  orv::TObjectLinkGuard menuAlive(menu);
  TdxBarItemLinks* links = menu->GetOwnLinks();
  FillToolbarsMenu(links, barManager);
  barManager->DoShowToolbarsPopup(links);
  if (!menuAlive.Alive()) return;
  if (links->GetCount() == 0) {
    menu->Free();
    return;
  }
  TdxBarHookServices& hooks = BarHookServices();
  if (hooks.CloseActiveBarControls) hooks.CloseActiveBarControls();
  if (!menuAlive.Alive()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  menu->SetBounds(cursor.X, cursor.Y, menu->GetWidth(), menu->GetHeight());
  FToolbarsMenu = CreateObjectLink(menu);
  menu->PopupSubMenuControl();
}

void TdxBarDesignController::ToolbarClick(TObject* sender) {
  auto* item = static_cast<TdxBarItem*>(sender);
  auto* bar = reinterpret_cast<TdxBar*>(item->GetTag());
  TdxBarManager* manager = item->GetBarManager();
  // The toolbar may have gone while its menu was open.
  if (manager && bar)
    for (Integer i = 0; i < manager->GetBarCount(); ++i)
      if (manager->GetBar(i) == bar) {
        bar->SetVisible(!bar->GetVisible());
        return;
      }
}

void TdxBarDesignController::CustomizeClick(TObject* sender) {
  if (TdxBarManager* manager = static_cast<TdxBarItem*>(sender)->GetBarManager()) manager->SetCustomizingMode(true);
}

// ---- The link menu ----------------------------------------------------------------------------

namespace {
NativeInt CommandTag(Integer command, Integer value) { return NativeInt((command << 16) | (value & 0xFFFF)); }

const TResStringRec* const kPaintStyleCaptions[] = {&dxSBAR_CP_DEFAULTSTYLE, &dxSBAR_CP_TEXTONLYALWAYS,
                                                    &dxSBAR_CP_TEXTONLYINMENUS, &dxSBAR_CP_IMAGEANDTEXT};
}  // namespace

TdxBarSubMenuControl* TdxBarDesignController::GetCustomizingMenu() const {
  return FCustomizingMenu ? static_cast<TdxBarSubMenuControl*>(FCustomizingMenu->Ref) : nullptr;
}

TdxBarItemLink* TdxBarDesignController::GetCustomizingLink() const {
  auto* window = FCustomizingBarControl ? static_cast<TCustomdxBarControl*>(FCustomizingBarControl->Ref) : nullptr;
  TdxBarItemLinks* links = window ? window->GetItemLinks() : nullptr;
  return links && FCustomizingLink && links->IndexOfLink(FCustomizingLink) >= 0 ? FCustomizingLink : nullptr;
}

Word TdxBarDesignController::GetLinkMenuCommands(TCustomdxBarControl* barControl, TdxBarItemLink* link) {
  if (!link || !link->GetItem()) return 0;
  TdxBarDesignController* controller = GetBarDesignController();
  IdxBarSelectableItem* source = controller ? controller->GetLastSelectedItem() : nullptr;
  if (!source) source = link;
  Word commands = source->GetCommands();
  TdxBarManager* manager = link->GetBarManager();
  if (controller && manager && manager->IsDesigning()) {
    TList selection;
    GetCleanSelection(manager, &selection);
    for (Integer i = 0; i < selection.GetCount(); ++i) commands &= SelectableAt(&selection, i)->GetCommands();
  }
  // The kind of window decides what it cannot carry out (any other window as the base helper).
  TClass helperClass = controller && barControl ? controller->GetDesignHelperClass(barControl->ClassType()) : nullptr;
  if (!helperClass) helperClass = TCustomdxBarControlDesignHelper::StaticClass();
  TCustomdxBarControlDesignHelper* helper = orv::ClassOf<TCustomdxBarControlDesignHelper>(helperClass).Create();
  helper->FilterCommands(commands);
  helper->Free();
  return commands;
}

namespace {
const char* const kPositionNames[] = {"ipBeginsNewRow", "ipBeginsNewColumn", "ipContinuesRow"};
const char* const kViewLevelNames[] = {"ivlLargeIconWithText", "ivlSmallIconWithText", "ivlSmallIcon",
                                       "ivlControlOnly"};
const char* const kButtonGroupNames[] = {"bgpNone", "bgpStart", "bgpMember"};

TdxBarButton* EntryButton(TdxBarItemLink* entry) { return static_cast<TdxBarButton*>(entry->GetItem()); }

void MakeCheckEntry(TdxBarItemLink* entry, Boolean down) {
  EntryButton(entry)->SetButtonStyle(bsChecked);
  EntryButton(entry)->SetDown(down);
}
}  // namespace

void TdxBarDesignController::BuildLinkMenu(TdxBarItemLinks* links, TCustomdxBarControl* barControl,
                                           TdxBarItemLink* link) {
  TdxBarManager* manager = link->GetBarManager();
  const Boolean designing = manager && manager->IsDesigning();
  const Word commands = GetLinkMenuCommands(barControl, link);
  const auto has = [&](Integer command) { return (commands & (1 << command)) != 0; };
  const TNotifyEvent click(this, &TdxBarDesignController::LinkCommandClick);
  const TClass button = TdxBarButton::StaticClass();
  if (has(dxBarCmdReset))
    AddPopupMenuItem(links, button, true, CommandTag(dxBarCmdReset, 0), click, GetLocalizedResourceString(&dxSBAR_CP_RESET));
  if (has(dxBarCmdDelete)) {
    TdxBarItemLink* entry = AddPopupMenuItem(links, button, true, CommandTag(dxBarCmdDelete, 0), click,
                                             GetLocalizedResourceString(&dxSBAR_CP_DELETE));
    entry->GetItem()->SetShortCut(TShortCut(VK_DELETE));
    entry->GetItem()->SetEnabled(HasDeletableSelection());
  }
  if (has(dxBarCmdDeleteItem)) {
    TdxBarItemLink* entry = AddPopupMenuItem(links, button, false, CommandTag(dxBarCmdDeleteItem, 0), click,
                                             GetLocalizedResourceString(&dxSBAR_CP_DELETEITEM));
    entry->GetItem()->SetShortCut(ShortCut(VK_DELETE, false, true, false));
    entry->GetItem()->SetEnabled(link->GetItem()->IsDeletable(true));
  }
  if (has(dxBarCmdDeleteLink))
    AddPopupMenuItem(links, button, false, CommandTag(dxBarCmdDeleteLink, 0), click,
                     GetLocalizedResourceString(designing ? &dxSBAR_CP_DELETELINK : &dxSBAR_CP_DELETE));
  if (has(dxBarCmdName)) {
    TdxBarItemLink* entry = AddPopupMenuItem(links, TdxBarEdit::StaticClass(), true, CommandTag(dxBarCmdName, 0),
                                             TNotifyEvent(),
                                             GetLocalizedResourceString(designing ? &dxSBAR_CP_CAPTION : &dxSBAR_CP_NAME));
    auto* edit = static_cast<TdxBarEdit*>(entry->GetItem());
    edit->SetText(link->GetCaption());
    edit->SetOnChange(TNotifyEvent(this, &TdxBarDesignController::NameChange));
  }
  if (has(dxBarCmdPaintStyle))
    for (Integer style = 0; style < 4; ++style) {
      TdxBarItemLink* entry = AddPopupMenuItem(links, button, style == 0, CommandTag(dxBarCmdPaintStyle, style), click,
                                               GetLocalizedResourceString(kPaintStyleCaptions[style]));
      MakeCheckEntry(entry, Integer(link->GetPaintStyle()) == style);
      EntryButton(entry)->SetGroupIndex(-1000);
      EntryButton(entry)->SetEnabled(link->GetItem()->SupportsPaintStyle());
    }
  const auto addSubItem = [&](const TResStringRec* caption, Boolean beginGroup) {
    TdxBarItemLink* entry = AddPopupMenuItem(links, TdxBarSubItem::StaticClass(), beginGroup, 0, TNotifyEvent(),
                                             GetLocalizedResourceString(caption));
    return static_cast<TdxBarSubItem*>(entry->GetItem())->GetItemLinks();
  };
  if (has(dxBarCmdPosition)) {
    TdxBarItemLinks* sub = addSubItem(&dxSBAR_CP_POSITIONMENU, true);
    for (Integer i = 0; i < 3; ++i)
      MakeCheckEntry(AddPopupMenuItem(sub, button, false, CommandTag(dxBarCmdPosition, i), click, kPositionNames[i]),
                     Integer(link->GetPosition()) == i);
  }
  if (has(dxBarCmdViewLevels)) {
    TdxBarItemLinks* sub = addSubItem(&dxSBAR_CP_VIEWLEVELSMENU, false);
    for (Integer i = 0; i < 9; ++i) {
      AnsiString caption;
      if (i < 4)
        caption = kViewLevelNames[i];
      else if (i == 4)
        caption = GetLocalizedResourceString(&dxSBAR_CP_ALLVIEWLEVELS);
      else
        caption = AnsiString(kViewLevelNames[i - 5]) + GetLocalizedResourceString(&dxSBAR_CP_SINGLEVIEWLEVELITEMSUFFIX);
      TdxBarItemLink* entry = AddPopupMenuItem(sub, button, i == 4 || i == 5, CommandTag(dxBarCmdViewLevels, i), click, caption);
      if (i < 4) MakeCheckEntry(entry, link->GetViewLevels().Contains(TdxBarItemViewLevel(i)));
    }
  }
  if (has(dxBarCmdButtonGroup)) {
    TdxBarItemLinks* sub = addSubItem(&dxSBAR_CP_BUTTONGROUPMENU, false);
    for (Integer i = 0; i < 5; ++i) {
      const AnsiString caption = i < 3 ? AnsiString(kButtonGroupNames[i])
                                       : GetLocalizedResourceString(i == 3 ? &dxSBAR_CP_BUTTONGROUP : &dxSBAR_CP_BUTTONUNGROUP);
      TdxBarItemLink* entry = AddPopupMenuItem(sub, button, i == 3, CommandTag(dxBarCmdButtonGroup, i), click, caption);
      if (i < 3) MakeCheckEntry(entry, Integer(link->GetButtonGroup()) == i);
    }
  }
  if (has(dxBarCmdDistributed))
    MakeCheckEntry(AddPopupMenuItem(links, button, false, CommandTag(dxBarCmdDistributed, 0), click,
                                    GetLocalizedResourceString(&dxSBAR_CP_DISTRIBUTED)),
                   link->GetDistributed());
  if (has(dxBarCmdBeginGroup)) {
    TdxBarItemLink* entry = AddPopupMenuItem(links, button, true, CommandTag(dxBarCmdBeginGroup, 0), click,
                                             GetLocalizedResourceString(&dxSBAR_CP_BEGINAGROUP));
    MakeCheckEntry(entry, link->GetBeginGroup());
    EntryButton(entry)->SetEnabled(link->GetIndex() > 0);
  }
  if (has(dxBarCmdVisible))
    MakeCheckEntry(AddPopupMenuItem(links, button, !has(dxBarCmdBeginGroup), CommandTag(dxBarCmdVisible, 0), click,
                                    GetLocalizedResourceString(&dxSBAR_CP_VISIBLE)),
                   link->GetVisible());
  if (has(dxBarCmdMostRecentlyUsed))
    MakeCheckEntry(AddPopupMenuItem(links, button, false, CommandTag(dxBarCmdMostRecentlyUsed, 0), click,
                                    GetLocalizedResourceString(&dxSBAR_CP_MOSTRECENTLYUSED)),
                   link->GetMostRecentlyUsed());
}

void TdxBarDesignController::ShowLinkMenu(TCustomdxBarControl* barControl, TdxBarItemLink* link) {
  TdxBarManager* manager = barControl ? barControl->GetOwnerBarManager() : nullptr;
  if (!manager || !link || !link->GetItem()) return;
  HideMenus();
  ClearInternalItems();
  FCustomizingBarControl = CreateObjectLink(barControl);
  FCustomizingLink = link;
  auto* menu = new TdxBarCustomizingPopup(manager);
  orv::TObjectLinkGuard menuAlive(menu);
  TdxBarItemLinks* links = menu->GetOwnLinks();
  // The design-time command set depends on this link being the one customized.
  FCustomizingMenu = CreateObjectLink(menu);
  BuildLinkMenu(links, barControl, link);
  if (links->GetCount() == 0) {
    ReleaseObjectLink(FCustomizingMenu);
    menu->Free();
    return;
  }
  manager->DoShowCustomizingPopup(links);
  if (!menuAlive.Alive()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  menu->SetBounds(cursor.X, cursor.Y, menu->GetWidth(), menu->GetHeight());
  menu->PopupSubMenuControl();
}

void TdxBarDesignController::LinkCommandClick(TObject* sender) {
  TdxBarItemLink* link = GetCustomizingLink();
  if (!link) return;
  const NativeInt tag = static_cast<TdxBarItem*>(sender)->GetTag();
  const Integer command = Integer((tag >> 16) & 0xFF);
  const Integer value = Integer(tag & 0xFF);
  Boolean toSelection = true;
  switch (command) {
    case dxBarCmdReset: link->SetUserDefine(TdxBarUserDefines()); break;
    case dxBarCmdDelete: DeleteSelectedObjects(false, false); return;
    case dxBarCmdDeleteItem: DeleteSelectedObjects(true, false); return;
    case dxBarCmdDeleteLink:
      FCustomizingLink = nullptr;
      link->Free();
      return;
    case dxBarCmdPaintStyle: link->SetUserPaintStyle(TdxBarPaintStyle(value)); break;
    case dxBarCmdPosition: link->SetPosition(TdxBarItemPosition(value)); break;
    case dxBarCmdViewLevels: {
      TdxBarItemViewLevels levels = link->GetViewLevels();
      if (value < 4) {
        const auto level = TdxBarItemViewLevel(value);
        if (levels.Contains(level))
          levels -= TdxBarItemViewLevels{level};
        else
          levels += TdxBarItemViewLevels{level};
      } else if (value == 4) {
        levels = TdxBarItemViewLevels{ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon, ivlControlOnly};
      } else if (value <= 8) {
        levels = TdxBarItemViewLevels{TdxBarItemViewLevel(value - 5)};
      }
      link->SetViewLevels(levels);
      break;
    }
    case dxBarCmdButtonGroup:
      if (value < 3) {
        link->SetButtonGroup(TdxBarButtonGroupPosition(value));
        break;
      }
      toSelection = false;
      // Group: the selected links of the menu's links become one group; Ungroup: none.
      if (TdxBarItemLinks* owner = link->GetOwnerLinks()) {
        Boolean first = true;
        for (Integer i = 0; i < owner->GetCount(); ++i) {
          TdxBarItemLink* each = owner->GetItem(i);
          if (!each->IsInSelection()) continue;
          each->SetButtonGroup(value == 4 ? bgpNone : first ? bgpStart : bgpMember);
          first = false;
        }
      }
      break;
    case dxBarCmdDistributed: link->SetDistributed(!link->GetDistributed()); break;
    case dxBarCmdBeginGroup: link->SetBeginGroup(!link->GetBeginGroup()); break;
    case dxBarCmdVisible: link->SetVisible(!link->GetVisible()); break;
    case dxBarCmdMostRecentlyUsed: link->SetMostRecentlyUsed(!link->GetMostRecentlyUsed()); break;
    default: return;
  }
  // The selected links take the same setting.
  if (toSelection) ApplyCommandToSelection(command);
}

void TdxBarDesignController::NameChange(TObject* sender) {
  TdxBarItemLink* link = GetCustomizingLink();
  if (!link) return;
  const AnsiString text = static_cast<TdxBarEdit*>(sender)->GetText();
  if (text.empty()) {
    // The name stays as it was.
    if (TdxBarSubMenuControl* menu = GetCustomizingMenu()) menu->HideControl();
    Application->MessageBox(GetLocalizedResourceString(&dxSBAR_COMMANDNAMECANNOTBEBLANK), Application->GetTitle(),
                            MB_ICONERROR);
    return;
  }
  TdxBarManager* manager = link->GetBarManager();
  if (manager && manager->IsDesigning()) {
    if (link->GetItem()) link->GetItem()->SetCaption(text);
    ApplyCommandToSelection(dxBarCmdName);
    manager->DesignerModified();
    return;
  }
  // At run time only the link's own caption changes, never its item's.
  link->SetUserCaption(text);
}
