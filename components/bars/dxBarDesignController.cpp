#include "components/bars/dxBarDesignController.h"

#include "components/bars/dxBarCustomCustomizationForm.h"
#include "components/bars/dxBarEdit.h"
#include "components/bars/dxBarStrs.h"
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

TdxBarDesignController::TdxBarDesignController() : FInternalItems(new TComponentList(true)) {}

TdxBarDesignController::~TdxBarDesignController() {
  ReleaseObjectLink(FToolbarsMenu);
  ReleaseObjectLink(FCustomizingMenu);
  ReleaseObjectLink(FCustomizingBarControl);
  orv::Free(FInternalItems);
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
  TdxBarItem* item = link ? link->GetItem() : nullptr;
  if (!item) return 0;
  // At run time every item offers reset, delete, its name and begin a group; buttons (not large
  // ones) their paint style too.
  Word commands = 0x0419;
  if (dynamic_cast<TdxBarButton*>(item) && !dynamic_cast<TdxBarLargeButton*>(item)) commands |= 0x0020;
  // Toolbars keep the paint styles; menus do not offer them.
  commands &= Word(~(barControl && barControl->GetKind() == 2 ? 0x03E0 : 0x13C0));
  return commands;
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
  const Word commands = GetLinkMenuCommands(barControl, link);
  const auto has = [&](Integer command) { return (commands & (1 << command)) != 0; };
  const TNotifyEvent click(this, &TdxBarDesignController::LinkCommandClick);
  if (has(dxBarCmdReset))
    AddPopupMenuItem(links, TdxBarButton::StaticClass(), true, CommandTag(dxBarCmdReset, 0), click,
                     GetLocalizedResourceString(&dxSBAR_CP_RESET));
  if (has(dxBarCmdDeleteLink))
    AddPopupMenuItem(links, TdxBarButton::StaticClass(), false, CommandTag(dxBarCmdDeleteLink, 0), click,
                     GetLocalizedResourceString(&dxSBAR_CP_DELETE));
  if (has(dxBarCmdName)) {
    TdxBarItemLink* entry = AddPopupMenuItem(links, TdxBarEdit::StaticClass(), true, CommandTag(dxBarCmdName, 0),
                                             TNotifyEvent(), GetLocalizedResourceString(&dxSBAR_CP_NAME));
    auto* edit = static_cast<TdxBarEdit*>(entry->GetItem());
    edit->SetText(link->GetCaption());
    edit->SetOnChange(TNotifyEvent(this, &TdxBarDesignController::NameChange));
  }
  if (has(dxBarCmdPaintStyle))
    for (Integer style = 0; style < 4; ++style) {
      TdxBarItemLink* entry = AddPopupMenuItem(links, TdxBarButton::StaticClass(), style == 0,
                                               CommandTag(dxBarCmdPaintStyle, style), click,
                                               GetLocalizedResourceString(kPaintStyleCaptions[style]));
      auto* button = static_cast<TdxBarButton*>(entry->GetItem());
      button->SetButtonStyle(bsChecked);
      button->SetGroupIndex(-1000);
      button->SetEnabled(link->GetItem()->SupportsPaintStyle());
      button->SetDown(Integer(link->GetPaintStyle()) == style);
    }
  if (has(dxBarCmdBeginGroup)) {
    TdxBarItemLink* entry = AddPopupMenuItem(links, TdxBarButton::StaticClass(), true, CommandTag(dxBarCmdBeginGroup, 0),
                                             click, GetLocalizedResourceString(&dxSBAR_CP_BEGINAGROUP));
    auto* button = static_cast<TdxBarButton*>(entry->GetItem());
    button->SetButtonStyle(bsChecked);
    button->SetDown(link->GetBeginGroup());
    button->SetEnabled(link->GetIndex() > 0);
  }
  if (links->GetCount() == 0) {
    menu->Free();
    return;
  }
  manager->DoShowCustomizingPopup(links);
  if (!menuAlive.Alive()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  menu->SetBounds(cursor.X, cursor.Y, menu->GetWidth(), menu->GetHeight());
  FCustomizingMenu = CreateObjectLink(menu);
  menu->PopupSubMenuControl();
}

void TdxBarDesignController::LinkCommandClick(TObject* sender) {
  TdxBarItemLink* link = GetCustomizingLink();
  if (!link) return;
  const NativeInt tag = static_cast<TdxBarItem*>(sender)->GetTag();
  const Integer command = Integer((tag >> 16) & 0xFF);
  const Integer value = Integer(tag & 0xFF);
  switch (command) {
    case dxBarCmdReset: link->SetUserDefine(TdxBarUserDefines()); break;
    case dxBarCmdDeleteLink: {
      FCustomizingLink = nullptr;
      link->Free();
      break;
    }
    case dxBarCmdPaintStyle: link->SetUserPaintStyle(TdxBarPaintStyle(value)); break;
    case dxBarCmdBeginGroup: link->SetBeginGroup(!link->GetBeginGroup()); break;
    default: break;
  }
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
  // At run time only the link's own caption changes, never its item's.
  link->SetUserCaption(text);
}
