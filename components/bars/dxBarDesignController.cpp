#include "components/bars/dxBarDesignController.h"

#include "components/bars/dxBarCustomCustomizationForm.h"
#include "components/bars/dxBarStrs.h"
#include "components/foundation/cxClasses.h"
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

void TdxBarDesignController::ShowToolbarsMenu(TdxBarManager* barManager) {
  if (!barManager) return;
  ClearInternalItems();
  if (TdxBarSubMenuControl* previous = GetToolbarsMenu()) previous->HideControl();
  ReleaseObjectLink(FToolbarsMenu);
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
