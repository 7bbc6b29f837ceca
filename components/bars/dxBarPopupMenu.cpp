// The dxBar unit, continued: popup menus (bar item links shown as a menu window at a screen
// point) and the manager's popup menu links, which show a control's menu on its context-menu
// message and let the menu's items take shortcuts while the control has the focus.

#include <algorithm>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarStrs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

TdxBarManager* PopupMenuManagerFor(TComponent* owner) {
  if (auto* manager = dynamic_cast<TdxBarManager*>(owner)) return manager;
  if (TdxBarManager* manager = GetBarManagerOwnedBy(owner)) return manager;
  TdxBarManagerList* list = dxBarManagerList();
  return list && list->GetCount() > 0 ? list->GetManager(0) : nullptr;
}

// Whether `links` hold `target` at any depth.
Boolean LinksContain(TdxBarItemLinks* links, TdxBarItemLinks* target, Integer depth = 0) {
  if (!links || depth > 64) return false;
  if (links == target) return true;
  for (Integer i = 0; i < links->GetCount(); ++i) {
    TdxBarItem* item = links->GetItem(i)->GetItem();
    if (item && LinksContain(item->GetItemLinks(), target, depth + 1)) return true;
  }
  return false;
}

}  // namespace

// ==== Popup menu ==============================================================================

TdxBarCustomPopupMenu::TdxBarCustomPopupMenu(TComponent* owner) : TdxBarComponent(owner) {
  TdxBarManager* manager = PopupMenuManagerFor(owner);
  if (!manager) throw EdxException(LoadResString(&dxSBAR_NOBARMANAGERS));
  FBackgroundBitmap = new TBitmap();
  FFont = new TFont();
  FFont->Assign(manager->GetFont());
  FFont->SetOnChange(TNotifyEvent(this, &TdxBarCustomPopupMenu::FontChanged));
  FItemLinks = new TdxBarItemLinks(manager, this);
  FItemLinks->SetUseRecentItems(false);
  SetBarManager(manager);
}

TdxBarCustomPopupMenu::~TdxBarCustomPopupMenu() {
  orv::Free(FItemLinks);
  orv::Free(FFont);
  orv::Free(FBackgroundBitmap);
}

void TdxBarCustomPopupMenu::BeforeDestruction() {
  if (TdxBarSubMenuControl* menu = GetSubMenuControl()) menu->Free();
  if (FBarManager) FBarManager->RemovePopupMenu(this);
  inherited::BeforeDestruction();
}

void TdxBarCustomPopupMenu::SetBarManager(TdxBarManager* value) {
  if (!value || value == FBarManager) return;
  if (FBarManager) FBarManager->RemovePopupMenu(this);
  TdxBarComponent::SetBarManager(value);
  FItemLinks->SetBarManager(value);
  value->AddPopupMenu(this);
}

void TdxBarCustomPopupMenu::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FOwnerControl) FOwnerControl = nullptr;
}

void TdxBarCustomPopupMenu::SetBackgroundBitmap(TBitmap* value) { FBackgroundBitmap->Assign(value); }

void TdxBarCustomPopupMenu::SetFont(TFont* value) { FFont->Assign(value); }

void TdxBarCustomPopupMenu::FontChanged(TObject* sender) {
  if (FFontChanging) return;
  FUseOwnFont = true;
}

void TdxBarCustomPopupMenu::SetUseOwnFont(Boolean value) {
  if (FUseOwnFont == value) return;
  FUseOwnFont = value;
  if (!value && FBarManager) {
    FFontChanging = true;
    FFont->Assign(FBarManager->GetFont());
    FFontChanging = false;
  }
}

Boolean TdxBarCustomPopupMenu::CanContainItem(TdxBarItem* item, AnsiString& errorText) {
  if (!item) return false;
  if (TdxBarItemLinks* links = item->GetItemLinks(); links && LinksContain(links, FItemLinks)) {
    errorText = LoadResString(&dxSBAR_RECURSIVEMENUS);
    return false;
  }
  return true;
}

TdxBarSubMenuControl* TdxBarCustomPopupMenu::GetSubMenuControl() const {
  return dynamic_cast<TdxBarSubMenuControl*>(FItemLinks->GetBarControl());
}

Boolean TdxBarCustomPopupMenu::IsShortCutKey(TShortCut shortCut) { return shortCut && FItemLinks->IsShortCut(shortCut); }

void TdxBarCustomPopupMenu::Loaded() {
  inherited::Loaded();
  FItemLinks->ResolveLoadedItems();
}

void TdxBarCustomPopupMenu::MenuPopup(TObject* sender) {
  FShown = true;
  FireNotifyEvent(this, FOnPopup);
}

void TdxBarCustomPopupMenu::MenuCloseUp(TObject* sender) {
  FShown = false;
  if (TdxBarButtonControl* control = FDropDownControl) {
    FDropDownControl = nullptr;
    control->CloseDropDown(false);
  }
  FireNotifyEvent(this, FOnCloseUp);
}

void TdxBarCustomPopupMenu::Popup(Integer x, Integer y) {
  if (GetSubMenuControl() || !FBarManager) return;
  orv::TObjectLinkGuard self(this);
  // Opened from inside an open menu (a drop-down button there), the menu is that chain's next
  // level: cancelling the form's modes would close the chain under it.
  auto* ownerBar = dynamic_cast<TCustomdxBarControl*>(FOwnerControl);
  const Boolean nextLevel = ownerBar && ownerBar->GetKind() == 2 && ownerBar->IsInActiveChain();
  if (TCustomForm* form = Screen ? Screen->GetActiveForm() : nullptr; form && form->HandleAllocated() && !nextLevel)
    SendMessage(form->GetHandle(), WM_CANCELMODE, 0, 0);
  if (!self.Alive()) return;
  if (!FBarManager->IsCustomizing())
    if (HWND capture = GetCapture()) {
      SendMessage(capture, 45060, 0, 0);
      ReleaseCapture();
    }
  TdxBarHookServices& hooks = BarHookServices();
  if (!FOwnerControl && hooks.GetActiveBarControl)
    if (TCustomdxBarControl* active = hooks.GetActiveBarControl()) active->Close();
  if (!self.Alive()) return;

  TdxBarSubMenuControl* menu = CreateBarControl();
  menu->SetItemLinks(FItemLinks);
  menu->SetBounds(x, y, menu->GetWidth(), menu->GetHeight());
  menu->SetOwnerWidth(FOwnerWidth);
  menu->SetOwnerHeight(FOwnerHeight);
  if (FHasOwnerBounds) menu->SetOwnerBounds(FOwnerBounds);
  if (auto* ownerWindow = dynamic_cast<TWinControl*>(GetOwner()); ownerWindow && ownerWindow->HandleAllocated())
    menu->SetFocusWindow(ownerWindow->GetHandle());
  // Bar windows never keep the focus (they hand it on to their form): the focus goes back to the
  // form instead of to the bar window the menu dropped down from.
  if (FOwnerControl && FOwnerControl->HandleAllocated() && !ownerBar) menu->SetFocusWindow(FOwnerControl->GetHandle());
  menu->SetOnCloseUp(TNotifyEvent(this, &TdxBarCustomPopupMenu::MenuCloseUp));
  menu->SetOnPopup(TNotifyEvent(this, &TdxBarCustomPopupMenu::MenuPopup));
  menu->SetShowAnimation(FAnimate);
  orv::TObjectLinkGuard menuAlive(menu);
  try {
    menu->PopupSubMenuControl();
  } catch (...) {
    if (menuAlive.Alive()) menu->HideControl();
    throw;
  }
  if (!FOwnMessageLoop) return;
  // The menu's own loop: it returns once the menu has closed, handing the message that closed
  // it back to its window.
  MSG msg{};
  while (self.Alive() && FShown) {
    const int result = GetMessage(&msg, nullptr, 0, 0);
    if (result == -1) break;
    if (result == 0 || msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (!self.Alive() || !FShown) {
      PostMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
      break;
    }
    if (msg.message == WM_COMMAND) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

TdxBarSubMenuControl* TdxBarCustomPopupMenu::CreateBarControl() { return new TdxBarSubMenuControl(FBarManager); }

void TdxBarCustomPopupMenu::PopupEx(Integer x, Integer y, Integer ownerWidth, Integer ownerHeight, Boolean animate,
                                    const TRect* ownerBounds, Boolean ownMessageLoop, TWinControl* ownerControl) {
  FOwnerWidth = ownerWidth;
  FOwnerHeight = ownerHeight;
  FAnimate = animate;
  FHasOwnerBounds = ownerBounds != nullptr;
  if (ownerBounds) FOwnerBounds = *ownerBounds;
  FOwnMessageLoop = ownMessageLoop;
  FOwnerControl = ownerControl;
  if (ownerControl) ownerControl->FreeNotification(this);
  struct TRestore {
    TdxBarCustomPopupMenu* Menu;
    orv::TObjectLinkGuard Alive;
    ~TRestore() {
      if (!Alive.Alive()) return;
      Menu->FOwnMessageLoop = true;
      Menu->FOwnerControl = nullptr;
      Menu->FOwnerWidth = Menu->FOwnerHeight = 0;
      Menu->FAnimate = true;
      Menu->FHasOwnerBounds = false;
    }
  } restore{this, orv::TObjectLinkGuard(this)};
  Popup(x, y);
}

void TdxBarCustomPopupMenu::PopupFromCursorPos() {
  POINT cursor{};
  GetCursorPos(&cursor);
  Popup(cursor.X, cursor.Y);
}

ORV_PUBLISH(TdxBarPopupMenu) {
  using T = TdxBarPopupMenu;
  p.Property("BackgroundBitmap", &T::GetBackgroundBitmap, &T::SetBackgroundBitmap);
  p.Property("BarManager", &T::GetBarManager, &T::SetBarManager);
  p.Property("BarSize", &T::GetBarSize, &T::SetBarSize).Default(0);
  p.Property("Font", &T::GetFont, &T::SetFont).Stored(&T::GetUseOwnFont);
  p.Property("ItemLinks", &T::GetLinks);
  p.Property("ItemOptions", &T::GetItemOptions);
  p.Property("UseOwnFont", &T::GetUseOwnFont, &T::SetUseOwnFont).Default(false);
  p.Property("UseRecentItems", &T::GetUseRecentItems, &T::SetUseRecentItems).Default(false);
  p.Property("OnCloseUp", &T::GetOnCloseUp, &T::SetOnCloseUp);
  p.Property("OnPaintBar", &T::GetOnPaintBar, &T::SetOnPaintBar);
  p.Property("OnPopup", &T::GetOnPopup, &T::SetOnPopup);
}

// ==== Popup menu links ========================================================================

TdxBarPopupMenuLink::TdxBarPopupMenuLink(TCollection* collection) : TCollectionItem(collection) {}

TdxBarPopupMenuLink::~TdxBarPopupMenuLink() { SetControl(nullptr); }

TdxBarManager* TdxBarPopupMenuLink::GetBarManager() const {
  auto* links = dynamic_cast<TdxBarPopupMenuLinks*>(GetCollection());
  return links ? links->GetBarManager() : nullptr;
}

void TdxBarPopupMenuLink::SetControl(TControl* value) {
  TdxBarManager* manager = GetBarManager();
  if (value && manager) {
    // Only controls of the manager's own window can have its menus.
    TWinControl* owner = manager->GetOwnerControl();
    if (!owner || (value != owner && !IsWindowInControl(owner, value))) value = nullptr;
  }
  if (value == FControl) return;
  if (auto* old = dynamic_cast<TWinControl*>(FControl)) {
    if (old->GetWindowProc() == TWndMethod(this, &TdxBarPopupMenuLink::LinkWndProc)) old->SetWindowProc(FPreviousWndProc);
  } else if (FControl) {
    if (FControl->GetWindowProc() == TWndMethod(this, &TdxBarPopupMenuLink::LinkWndProc))
      FControl->SetWindowProc(FPreviousWndProc);
  }
  FControl = value;
  if (FControl) {
    FPreviousWndProc = FControl->GetWindowProc();
    FControl->SetWindowProc(TWndMethod(this, &TdxBarPopupMenuLink::LinkWndProc));
    if (manager) FControl->FreeNotification(manager);
  }
}

void TdxBarPopupMenuLink::SetPopupMenu(TdxBarPopupMenu* value) {
  if (value == FPopupMenu) return;
  FPopupMenu = value;
  if (value && GetBarManager()) value->FreeNotification(GetBarManager());
}

void TdxBarPopupMenuLink::ComponentRemoved(TComponent* component) {
  if (component == FControl) {
    FControl = nullptr;
    FPreviousWndProc = TWndMethod();
  }
  if (component == FPopupMenu) FPopupMenu = nullptr;
}

void TdxBarPopupMenuLink::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TdxBarPopupMenuLink*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxBarManager* manager = GetBarManager();
  TComponent* owner = manager ? manager->GetOwner() : nullptr;
  SetControl(owner && other->FControl ? dynamic_cast<TControl*>(owner->FindComponent(other->FControl->GetName()))
                                      : nullptr);
  SetPopupMenu(owner && other->FPopupMenu
                   ? dynamic_cast<TdxBarPopupMenu*>(owner->FindComponent(other->FPopupMenu->GetName()))
                   : nullptr);
  FProcessChildren = other->FProcessChildren;
}

void TdxBarPopupMenuLink::LinkWndProc(TMessage& message) {
  TControl* control = FControl;
  TdxBarManager* manager = GetBarManager();
  const Boolean designing = manager && manager->GetComponentState().Contains(csDesigning);
  const TContextPopupEvent own(this, &TdxBarPopupMenuLink::ContextPopup);
  if (message.Msg == WM_CONTEXTMENU && control && !designing && !(control->GetOnContextPopup() == own)) {
    FPreviousContextPopup = control->GetOnContextPopup();
    control->SetOnContextPopup(own);
    orv::TObjectLinkGuard alive(control);
    TWndMethod previous = FPreviousWndProc;
    struct TRestore {
      TdxBarPopupMenuLink* Link;
      TControl* Control;
      const orv::TObjectLinkGuard& Alive;
      ~TRestore() {
        if (Alive.Alive()) Control->SetOnContextPopup(Link->FPreviousContextPopup);
      }
    } restore{this, control, alive};
    previous(message);
    return;
  }
  if (FPreviousWndProc) FPreviousWndProc(message);
}

void TdxBarPopupMenuLink::ContextPopup(TObject* sender, TPoint mousePos, Boolean& handled) {
  if (FPreviousContextPopup) FPreviousContextPopup(sender, mousePos, handled);
  if (handled || !FControl) return;
  if (!FProcessChildren)
    if (auto* windowed = dynamic_cast<TWinControl*>(FControl); windowed && windowed->ControlAtPos(mousePos, false))
      return;
  Boolean allowPopup = FPopupMenu != nullptr;
  const Boolean byMouse = !(mousePos.X == -1 && mousePos.Y == -1);
  orv::TObjectLinkGuard self(FControl);
  if (FOnAction) FOnAction(this, mousePos.X, mousePos.Y, byMouse, allowPopup);
  if (!self.Alive()) return;
  if (allowPopup && FPopupMenu) {
    TPoint point = mousePos;
    if (!byMouse) point = TPoint{0, 0};
    const TPoint screen = FControl->ClientToScreen(point);
    FPopupMenu->Popup(screen.X, screen.Y);
  }
  handled = allowPopup;
}

Boolean TdxBarPopupMenuLink::ExecuteShortCut(TShortCut shortCut) {
  Boolean allowPopup = FPopupMenu != nullptr;
  if (FOnAction) FOnAction(this, -1, -1, false, allowPopup);
  return allowPopup && FPopupMenu && FPopupMenu->GetLinks()->IsShortCut(shortCut);
}

TdxBarPopupMenuLinks::TdxBarPopupMenuLinks(TdxBarManager* owner)
    : TCollection(TdxBarPopupMenuLink::StaticClass()), FBarManager(owner) {}

TPersistent* TdxBarPopupMenuLinks::GetOwner() { return FBarManager; }

Boolean TdxBarPopupMenuLinks::ExecuteShortCut(TControl* focused, TShortCut shortCut) {
  if (!focused) return false;
  for (Integer i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetControl() == focused && GetItem(i)->ExecuteShortCut(shortCut)) return true;
  for (Integer i = 0; i < GetCount(); ++i) {
    TdxBarPopupMenuLink* link = GetItem(i);
    auto* windowed = dynamic_cast<TWinControl*>(link->GetControl());
    if (link->GetProcessChildren() && windowed && windowed != focused && IsWindowInControl(windowed, focused) &&
        link->ExecuteShortCut(shortCut))
      return true;
  }
  return false;
}

ORV_PUBLISH(TdxBarPopupMenuLink) {
  using T = TdxBarPopupMenuLink;
  p.Property("Control", &T::GetControl, &T::SetControl);
  p.Property("PopupMenu", &T::GetPopupMenu, &T::SetPopupMenu);
  p.Property("ProcessChildren", &T::GetProcessChildren, &T::SetProcessChildren).Default(true);
  p.Property("OnAction", &T::GetOnAction, &T::SetOnAction);
}
