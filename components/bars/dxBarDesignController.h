// The one object of the process that builds and shows the bars' customizing menus: their
// entries are temporary items it owns (kept out of every list of commands), made again each
// time a menu opens. The toolbars menu lists the toolbars a user may show or hide, and
// "&Customize..." where the manager allows customizing.
#pragma once

#include <vector>

#include "components/bars/dxBar.h"

class TComponentList;
class TcxRegisteredClassList;

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
  dxBarCmdDelete = 1,
  dxBarCmdDeleteItem = 2,
  dxBarCmdDeleteLink = 3,
  dxBarCmdName = 4,
  dxBarCmdPaintStyle = 5,
  dxBarCmdPosition = 6,
  dxBarCmdViewLevels = 7,
  dxBarCmdButtonGroup = 8,
  dxBarCmdDistributed = 9,
  dxBarCmdBeginGroup = 10,
  dxBarCmdVisible = 11,
  dxBarCmdMostRecentlyUsed = 12
};

// What a kind of bar window offers in the link menu: the commands it cannot carry out are
// removed, and the design editors it lists add entries while the manager is designed.
class TCustomdxBarControlDesignHelper : public TObject {
  ORV_CLASS(TCustomdxBarControlDesignHelper, TObject)
 public:
  TCustomdxBarControlDesignHelper() = default;
  virtual void FilterCommands(Word& commands) { commands &= Word(~GetUnsupportedCommands()); }
  // Appends the registered editor classes.
  virtual void GetEditors(TList* list);
  virtual Word GetUnsupportedCommands() { return 0x13E0; }
};

// Toolbars keep the paint styles.
class TdxBarControlDesignHelper : public TCustomdxBarControlDesignHelper {
  ORV_CLASS(TdxBarControlDesignHelper, TCustomdxBarControlDesignHelper)
 public:
  TdxBarControlDesignHelper() = default;
  Word GetUnsupportedCommands() override { return 0x13C0; }
};

// Menus keep "most recently used" and add separators.
class TdxBarSubMenuControlDesignHelper : public TCustomdxBarControlDesignHelper {
  ORV_CLASS(TdxBarSubMenuControlDesignHelper, TCustomdxBarControlDesignHelper)
 public:
  TdxBarSubMenuControlDesignHelper() = default;
  void GetEditors(TList* list) override;
  Word GetUnsupportedCommands() override { return 0x03E0; }
};

class TdxBarDesignController : public TObject {
  ORV_CLASS(TdxBarDesignController, TObject)
 public:
  TdxBarDesignController();
  ~TdxBarDesignController() override;

  // ---- Registries: the design helper of each kind of bar window, the design editors.
  void RegisterBarControlDesignHelper(TClass barControlClass, TClass helperClass);
  void RegisterBarControlEditor(TClass editorClass);
  // The helper class of a bar window's class (the nearest registered ancestor; nil for none).
  TClass GetDesignHelperClass(TClass barControlClass) const;
  Integer GetBarControlEditorCount() const { return Integer(FEditors.size()); }
  TClass GetBarControlEditor(Integer index) const { return FEditors.at(size_t(index)); }

  // ---- Selection of bars, items and links while customizing
  // Selects the item (0 adds, 1 removes, 2 makes it the only one) and follows it as the last
  // selected item.
  void SelectSelectableItem(IdxBarSelectableItem* item, Integer operation);
  // A selectable object as above; any other object is handed to the customized manager's
  // designer.
  void SelectPersistent(TObject* object, Integer operation);
  // Forgets the last selected item once it is no longer selected or the application is not
  // active.
  void SyncLastSelectedItem();
  void AssignLastSelected(IdxBarSelectableItem* item);
  IdxBarSelectableItem* GetLastSelectedItem() const;
  void ForgetSelectable(IdxBarSelectableItem* item);
  Boolean IsLastSelected(IdxBarSelectableItem* item) const;
  // The manager's selection of selectable objects has exactly one object; has an item with
  // several links.
  Boolean HasSingleSelection(TdxBarManager* barManager);
  Boolean HasComplexSelection(TdxBarManager* barManager);
  // Whether the link's selection frame is the solid one.
  Boolean ShouldSelectDefault(IdxBarSelectableItem* item);
  Boolean IsLinkOfOpenMenu(IdxBarSelectableItem* item);
  Boolean HasCustomizingLink();
  // Deletes what is selected in the customized manager (`withItems`: items go, not only their
  // links; `requireFocus`: only while the manager's form has the keyboard focus). True when a
  // selection was taken for deletion at design time.
  Boolean DeleteSelectedObjects(Boolean withItems, Boolean requireFocus);
  Boolean HasDeletableSelection();
  // The first selected object of the customized manager selects its parent instead.
  Boolean SelectParentOfSelection();
  void NotifyModified();
  // Applies a command of the link menu to every selected object.
  void ApplyCommandToSelection(Integer command);
  Boolean IsCustomizingMenuShown() const { return GetCustomizingMenu() != nullptr; }
  // Set while an item is dragged.
  Boolean IsDragging() const { return FDragging; }
  void SetDragging(Boolean value) { FDragging = value; }
  // The manager being customized (nil when none): the one of the last selected item, else the
  // first with a selection.
  TdxBarManager* FindCustomizedManager();

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
  // The commands the link menu offers for a link shown in a window: the last selected item's
  // (while designing, those every selected object offers), less what the window's design helper
  // cannot carry out.
  static Word GetLinkMenuCommands(TCustomdxBarControl* barControl, TdxBarItemLink* link);
  // The entries of the link menu, command by command.
  void BuildLinkMenu(TdxBarItemLinks* links, TCustomdxBarControl* barControl, TdxBarItemLink* link);
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
  TcxRegisteredClassList* FDesignHelpers;
  std::vector<TClass> FEditors;
  // The last selected item and a link to its object (nil once that object is freed).
  IdxBarSelectableItem* FLastSelected = nullptr;
  TcxObjectLink* FLastSelectedObject = nullptr;
  Boolean FDragging = false;
};

// The objects of a list that are selectable, in order (the others are dropped).
void RemoveUnselectableItems(TList* list);
IdxBarSelectableItem* QuerySelectableItem(TObject* object);

// Made on first use; nil once the bar unit is finalizing.
TdxBarDesignController* GetBarDesignController();
