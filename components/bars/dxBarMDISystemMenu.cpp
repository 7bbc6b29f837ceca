// The dxBar unit, continued: the system-menu item of a maximized MDI child and its icon control.

#include "components/bars/dxBarMDISystemMenu.h"

#include "components/foundation/cxGraphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

// The platform keeps no system menus: every window answers that it has none, so there is no
// menu to list and no default command to run.
HMENU ChildSystemMenu(HWND window) { return nullptr; }

}  // namespace

// ==== The item ================================================================================

void TSystemMenuSubItem::BeforeDestruction() {
  Destroying();
  if (GetLinks()) GetLinks()->Clear();
  FreeGenerated();
  inherited::BeforeDestruction();
}

void TSystemMenuSubItem::FreeGenerated() {
  std::vector<TComponent*> generated;
  generated.swap(FGenerated);
  for (TComponent* item : generated) item->Free();
}

void TSystemMenuSubItem::RebuildFromSystemMenu() {
  if (GetLinks()) GetLinks()->Clear();
  FreeGenerated();
  // The entries would come from the child's system menu; the platform's windows have none, so
  // the item lists nothing.
}

void TSystemMenuSubItem::DirectClick() {
  RebuildFromSystemMenu();
  inherited::DirectClick();
}

void TSystemMenuSubItem::ExecuteCommand(TObject* sender) {
  auto* entry = dynamic_cast<TComponent*>(sender);
  if (!entry || !FWindow || !IsWindow(FWindow)) return;
  SendMessage(FWindow, WM_SYSCOMMAND, WPARAM(entry->GetTag()), 0);
}

TClass TSystemMenuSubItem::GetControlClass(Boolean textRotated) { return TSystemMenuSubItemControl::StaticClass(); }

HICON GetMDIChildSmallIcon(TSystemMenuSubItem* item) {
  // The platform keeps no window icons: a child has none to copy.
  return nullptr;
}

TSystemMenuSubItem* AddSystemMenuItem(TdxBarManager* manager, HWND child) {
  TdxBar* bar = manager ? manager->GetMainMenuBarRaw() : nullptr;
  if (!bar || !ChildSystemMenu(child)) return nullptr;
  auto* item = new TSystemMenuSubItem(manager->GetOwner());
  item->SetParentComponent(manager);
  item->SetWindow(child);
  TdxBarItemLink* link = bar->GetItemLinks()->AddItem(item);
  link->SetIndex(0);
  return item;
}

// ==== The icon control =========================================================================

TSystemMenuSubItem* TSystemMenuSubItemControl::GetSystemMenuItem() const {
  return dynamic_cast<TSystemMenuSubItem*>(GetItem());
}

Boolean TSystemMenuSubItemControl::AcceptsSelection() {
  TCustomdxBarControl* parent = GetParent();
  return !(parent && parent->InCustomizingMode()) && inherited::AcceptsSelection();
}

Boolean TSystemMenuSubItemControl::CanDropDown() {
  TdxBarManager* manager = GetBarManager();
  return inherited::CanDropDown() && !(manager && manager->IsDragging());
}

void TSystemMenuSubItemControl::ControlActivate(Boolean immediate, Boolean byMouse) {
  // The menu opens with the child's system menu as it is now.
  orv::TObjectLinkGuard self(this);
  if (TSystemMenuSubItem* item = GetSystemMenuItem()) item->RebuildFromSystemMenu();
  if (self.Alive()) inherited::ControlActivate(immediate, byMouse);
}

void TSystemMenuSubItemControl::DoubleClick() {
  if (TCustomdxBarControl* parent = GetParent()) parent->Close();
  // The child would now get the default command of its system menu (normally Close); without a
  // system menu there is none to send.
}

Integer TSystemMenuSubItemControl::GetWidth() { return GetSystemMetrics(SM_CXSMICON); }
Integer TSystemMenuSubItemControl::GetHeight() { return GetSystemMetrics(SM_CYSMICON); }

void TSystemMenuSubItemControl::Draw(const TRect& rect, Integer hostKind) {
  TCustomdxBarControl* parent = GetParent();
  TcxCanvas* canvas = GetCanvas();
  if (!parent || !canvas) return;
  parent->DrawBackground(canvas->GetHandle(), rect, parent->GetBackgroundBrush(), clNone);
  // The child's small icon would be drawn stretched over the background; the platform keeps no
  // window icons (GetMDIChildSmallIcon), so the background is all there is.
}
