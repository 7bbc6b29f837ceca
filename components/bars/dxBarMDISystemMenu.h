// The dxBar unit, continued: the system-menu item of a maximized MDI child. Where a frame has a
// maximized child, the main-menu bar shows the child's icon first; opening it lists the child's
// system menu as bar items and a double click runs the menu's default command.
//
// The platform has no MDI, no window icons and no system menus: no window answers with a system
// menu, so the manager never adds the item (AddSystemMenuItem), an item placed by code lists
// nothing, paints only its bar's background and a double click sends no command.

#pragma once

#include <vector>

#include "components/bars/dxBar.h"

// The child's system menu as a sub item; its entries are made again each time it opens and
// freed with the next rebuild or with the item.
class TSystemMenuSubItem : public TCustomdxBarSubItem {
  ORV_CLASS(TSystemMenuSubItem, TCustomdxBarSubItem)
 public:
  explicit TSystemMenuSubItem(TComponent* owner) : TCustomdxBarSubItem(owner) {}
  void BeforeDestruction() override;

  // The MDI child whose system menu the item shows.
  HWND GetWindow() const { return FWindow; }
  void SetWindow(HWND value) { FWindow = value; }
  // Frees the entries of the last rebuild and lists the child's current system menu.
  void RebuildFromSystemMenu();
  void DirectClick() override;
  // The click of an entry: the child gets WM_SYSCOMMAND with the entry's Tag (its command).
  void ExecuteCommand(TObject* sender);
  TClass GetControlClass(Boolean textRotated) override;
  Integer GetGeneratedCount() const { return Integer(FGenerated.size()); }

 private:
  void FreeGenerated();
  HWND FWindow = nullptr;
  std::vector<TComponent*> FGenerated;
};

// The icon on the bar: a small system icon in size, never customized, not selected while the
// bars are customized.
class TSystemMenuSubItemControl : public TdxBarSubItemControl {
  ORV_CLASS(TSystemMenuSubItemControl, TdxBarSubItemControl)
 public:
  using TdxBarSubItemControl::TdxBarSubItemControl;
  TSystemMenuSubItem* GetSystemMenuItem() const;
  Boolean IsCustomizable() { return false; }
  Boolean AcceptsSelection() override;
  Boolean WantsDoubleClick() override { return false; }
  Boolean CanDoubleClick() override { return true; }
  // Closes the bar window and sends the child the default command of its system menu.
  void DoubleClick() override;
  Boolean CanDropDown() override;
  void ControlActivate(Boolean immediate, Boolean byMouse) override;

 protected:
  Integer GetWidth() override;
  Integer GetHeight() override;
  void Draw(const TRect& rect, Integer hostKind) override;
};

// The child's small icon copied for the caller (nil: the child has none), who destroys it.
HICON GetMDIChildSmallIcon(TSystemMenuSubItem* item);
// Puts the system-menu item of a maximized child first on the main-menu bar; nil, and nothing
// added, when there is no main-menu bar or the child has no system menu.
TSystemMenuSubItem* AddSystemMenuItem(TdxBarManager* manager, HWND child);
