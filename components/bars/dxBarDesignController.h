// The one object of the process that builds and shows the bars' customizing menus: their
// entries are temporary items it owns (kept out of every list of commands), made again each
// time a menu opens. The toolbars menu lists the toolbars a user may show or hide, and
// "&Customize..." where the manager allows customizing.
#pragma once

#include "components/bars/dxBar.h"

class TComponentList;

// A menu window that owns its links.
class TdxBarInternalSubMenuControl : public TdxBarSubMenuControl {
  ORV_CLASS(TdxBarInternalSubMenuControl, TdxBarSubMenuControl)
 public:
  explicit TdxBarInternalSubMenuControl(TComponent* owner);
  ~TdxBarInternalSubMenuControl() override;
  void BeforeDestruction() override;
  TdxBarItemLinks* GetOwnLinks() const { return FOwnLinks; }
  // Its entries run when clicked, customizing or not.
  Boolean InCustomizingMode() override { return false; }

 private:
  TdxBarItemLinks* FOwnLinks = nullptr;
};

// The toolbars menu of a dock site or a toolbar.
class TdxBarToolbarsPopup : public TdxBarInternalSubMenuControl {
  ORV_CLASS(TdxBarToolbarsPopup, TdxBarInternalSubMenuControl)
 public:
  using TdxBarInternalSubMenuControl::TdxBarInternalSubMenuControl;
};

// The menu of a link while bars are customized.
class TdxBarCustomizingPopup : public TdxBarInternalSubMenuControl {
  ORV_CLASS(TdxBarCustomizingPopup, TdxBarInternalSubMenuControl)
 public:
  using TdxBarInternalSubMenuControl::TdxBarInternalSubMenuControl;
};

// The commands of a link's customizing menu (bit n of a command set is command n).
enum : Integer {
  dxBarCmdReset = 0,
  dxBarCmdDeleteLink = 3,
  dxBarCmdName = 4,
  dxBarCmdPaintStyle = 5,
  dxBarCmdBeginGroup = 10
};

class TdxBarDesignController : public TObject {
  ORV_CLASS(TdxBarDesignController, TObject)
 public:
  TdxBarDesignController();
  ~TdxBarDesignController() override;

  // A temporary entry of a menu: an item of `itemClass` linked into `links`, owned here and
  // kept out of its manager's list of items.
  TdxBarItemLink* AddPopupMenuItem(TdxBarItemLinks* links, TClass itemClass, Boolean beginGroup, NativeInt tag,
                                   const TNotifyEvent& onClick, const AnsiString& caption);
  void AddInternalItem(TdxBarItem* item);
  // Frees the entries of the previous menu.
  void ClearInternalItems();
  Integer GetInternalItemCount() const;

  // Shows the toolbars menu of a manager at the mouse cursor (nothing when it would be empty).
  void ShowToolbarsMenu(TdxBarManager* barManager);
  void FillToolbarsMenu(TdxBarItemLinks* links, TdxBarManager* barManager);
  // The toolbars menu open now (nil when none).
  TdxBarSubMenuControl* GetToolbarsMenu() const;

  // While bars are customized at run time: the menu of a link of a bar window at the mouse
  // cursor (reset, delete, its name, its paint style on toolbars, begin a group).
  void ShowLinkMenu(TCustomdxBarControl* barControl, TdxBarItemLink* link);
  // The commands the link menu offers for a link shown in a window.
  static Word GetLinkMenuCommands(TCustomdxBarControl* barControl, TdxBarItemLink* link);
  // The link menu open now (nil when none) and the link it is about.
  TdxBarSubMenuControl* GetCustomizingMenu() const;
  TdxBarItemLink* GetCustomizingLink() const;

 private:
  void ToolbarClick(TObject* sender);
  void CustomizeClick(TObject* sender);
  void LinkCommandClick(TObject* sender);
  void NameChange(TObject* sender);
  void HideMenus();
  TComponentList* FInternalItems;
  TcxObjectLink* FToolbarsMenu = nullptr;
  TcxObjectLink* FCustomizingMenu = nullptr;
  // The window whose link the menu is about: the link is used only while that window lives
  // and still shows it.
  TcxObjectLink* FCustomizingBarControl = nullptr;
  TdxBarItemLink* FCustomizingLink = nullptr;
};

// Made on first use; nil once the bar unit is finalizing.
TdxBarDesignController* GetBarDesignController();
