// Keyboard access to the bars by key tips: short letters shown over the elements of a bar window
// once Alt (or F10) is pressed, which the user types to run or open an element. A menu opened
// by its key tip shows the key tips of its own elements; Escape goes back a level.
//
// The bars show key tips only where the program hands them a key-tip windows manager (the
// object that makes and removes the little windows): SetBarKeyTipWindowsManagerProvider.
// TdxBarKeyTipWindowsManager is a ready one. Without it Alt and F10 only start the keyboard
// navigation of the main menu.
#pragma once

#include <vector>

#include "components/bars/dxBar.h"
#include "components/foundation/cxAccessibility.h"

class TdxBarKeyTipWindow;

// ==== The accessibility helper tree ==============================================================
//
// Every navigable object of the bars (dock site, toolbar, menu, item control) has a helper that
// gives it a place in one tree (parent, children), answers the platform's accessibility bridge
// (window, screen rectangle, visibility, selectability) and the key tips (their texts, which
// objects contain them). A helper is made on first use and freed once its owner is gone.

class TdxBarAccessibilityHelper : public TcxAccessibilityHelper {
  ORV_CLASS(TdxBarAccessibilityHelper, TcxAccessibilityHelper)
 public:
  explicit TdxBarAccessibilityHelper(TObject* owner) : TcxAccessibilityHelper(owner) {}
  ~TdxBarAccessibilityHelper() override;
  // The bar manager of the object; raises EdxException where a kind does not answer.
  virtual TdxBarManager* GetOwnerManager();
  // Whether the key may move the selection among this object's children.
  virtual Boolean AllowsChildNavigation(Word key) { return true; }
  // The key tip set on the element, and the one used when none is set.
  virtual AnsiString GetAssignedKeyTip() { return AnsiString(); }
  virtual AnsiString GetDefaultKeyTipText() { return AnsiString(); }
  // The assigned key tip, else the default; at most 3 characters.
  AnsiString GetKeyTipText();
  // The object whose key tips lead to this one's (its parent unless a kind says otherwise).
  virtual TdxBarAccessibilityHelper* GetKeyTipParent();
  virtual Boolean IsKeyTipContainer() { return CanBeSelected(); }
  // When visible: each selectable child adds itself, any other child collects its children's.
  virtual void CollectChildKeyTips(std::vector<TdxBarAccessibilityHelper*>& list);
  TdxBarAccessibilityHelper* GetNavigationChild(Integer index);
  Integer GetNavigationChildCount() { return GetChildHelperCount(); }
  Integer GetNavigationChildIndex(TdxBarAccessibilityHelper* child) { return GetChildHelperIndex(child); }
  TdxBarAccessibilityHelper* GetBarParent();
  // The next selectable object in tree order for Tab (Shift+Tab: `backward`), wrapping at the
  // root; nil when the tree has none.
  TdxBarAccessibilityHelper* FindNextForTab(Boolean backward);
  // The first selectable visible object of the subtree, depth first (itself when selectable).
  TdxBarAccessibilityHelper* FindFirstSelectable();
  // The top of this helper's tree.
  TdxBarAccessibilityHelper* GetRootHelper();
  // The object an arrow key moves to (direction 0 left, 1 up, 2 right, 3 down; the arrow key
  // minus VK_LEFT): the nearest selectable object of the whole tree in that direction, wrapping
  // to the far end of the row for left and right; nil when there is none.
  virtual TdxBarAccessibilityHelper* FindNextInDirection(Integer direction);
  // Becomes the controller's selected object (its parent the selected parent); `setFocus` when
  // the keyboard focus should follow (Tab).
  virtual void MakeSelected(Boolean setFocus);
  // Stops being the selected object; `next` is the object selected instead (nil when none).
  virtual void ClearSelected(TdxBarAccessibilityHelper* next);
  // Every visible selectable helper of this subtree except `exclude` that lies in the direction
  // from `source` and overlaps it across the direction.
  void CollectNavigationCandidates(TdxBarAccessibilityHelper* exclude, const TRect& source, Integer direction,
                                   std::vector<TdxBarAccessibilityHelper*>& list);

 protected:
  TdxBarAccessibilityHelper* FindNextSelectable(Integer index, Boolean backward);
  TdxBarAccessibilityHelper* FindSelectableInSubtree(Boolean backward);
};

// A dock site: the bar windows of all its rows, row by row.
class TdxDockControlAccessibilityHelper : public TdxBarAccessibilityHelper {
  ORV_CLASS(TdxDockControlAccessibilityHelper, TdxBarAccessibilityHelper)
 public:
  explicit TdxDockControlAccessibilityHelper(TObject* owner) : TdxBarAccessibilityHelper(owner) {}
  TdxDockControl* GetDockControl() const;
  TdxBarManager* GetOwnerManager() override;
  TcxAccessibilityHelper* ChildHelperAt(Integer index) override;
  Integer ChildCount() override;
  Integer IndexOfChild(TcxAccessibilityHelper* child) override;
  HWND OwnerWindow() override;
  void QueryScreenRect(Integer index, TRect& rect) override;
  Integer QueryState(Integer index) override;
};

// A bar window: the item controls it shows, in view order.
class TCustomdxBarControlAccessibilityHelper : public TdxBarAccessibilityHelper {
  ORV_CLASS(TCustomdxBarControlAccessibilityHelper, TdxBarAccessibilityHelper)
 public:
  explicit TCustomdxBarControlAccessibilityHelper(TObject* owner) : TdxBarAccessibilityHelper(owner) {}
  TCustomdxBarControl* GetBarWindow() const;
  TdxBarManager* GetOwnerManager() override;
  // False while the selected item is an edit holding the keyboard focus (it keeps its keys).
  Boolean AllowsChildNavigation(Word key) override;
  TcxAccessibilityHelper* ChildHelperAt(Integer index) override;
  Integer ChildCount() override;
  Integer IndexOfChild(TcxAccessibilityHelper* child) override;
  HWND OwnerWindow() override;
  void QueryScreenRect(Integer index, TRect& rect) override;
  Integer QueryState(Integer index) override;
  virtual Boolean HidesItems() { return false; }
  // The object an arrow key moves to from one of this window's items: the nearest selectable
  // object of this window in the direction, without wrapping.
  virtual TdxBarAccessibilityHelper* FindNextItemInDirection(TdxBarAccessibilityHelper* item, Integer direction);
  // The window's item selection ends (another window's object was selected): an active window
  // is left, any other selects no item.
  virtual void DropItemSelection();
};

// A toolbar: under its dock site's helper while docked.
class TdxBarControlAccessibilityHelper : public TCustomdxBarControlAccessibilityHelper {
  ORV_CLASS(TdxBarControlAccessibilityHelper, TCustomdxBarControlAccessibilityHelper)
 public:
  explicit TdxBarControlAccessibilityHelper(TObject* owner) : TCustomdxBarControlAccessibilityHelper(owner) {}
  TcxAccessibilityHelper* GetParentHelper() override;
  // Left and right step to the previous and next enabled item (round at the ends; on a vertical
  // toolbar too, where the items stand one under the other); up and down reach the nearest
  // object of the whole tree, which may lie on another toolbar.
  TdxBarAccessibilityHelper* FindNextItemInDirection(TdxBarAccessibilityHelper* item, Integer direction) override;
  // Selecting the toolbar itself activates its window on its first item; clearing it closes it.
  void MakeSelected(Boolean setFocus) override;
  void ClearSelected(TdxBarAccessibilityHelper* next) override;
};

// A menu: a tree of its own, whose key tips lead from the item that opened it.
class TdxBarSubMenuControlAccessibilityHelper : public TCustomdxBarControlAccessibilityHelper {
  ORV_CLASS(TdxBarSubMenuControlAccessibilityHelper, TCustomdxBarControlAccessibilityHelper)
 public:
  explicit TdxBarSubMenuControlAccessibilityHelper(TObject* owner)
      : TCustomdxBarControlAccessibilityHelper(owner) {}
  TdxBarAccessibilityHelper* GetKeyTipParent() override;
  Boolean IsKeyTipContainer() override { return true; }
  // Up or Down (Tab counts as Down, Shift+Tab as Up): the selection steps from the selected
  // item to the next shown one in that direction that takes it, round at the ends; with none
  // selected, to the first.
  void MoveVertically(Boolean up, Boolean byTab);
  // The item next to `control` (the first without one) in the direction, that can be selected.
  TdxBarItemControl* GetNextItem(TdxBarItemControl* control, Boolean forward);
};

// An item control: selectable while shown and accepting the selection.
class TdxBarItemControlAccessibilityHelper : public TdxBarAccessibilityHelper {
  ORV_CLASS(TdxBarItemControlAccessibilityHelper, TdxBarAccessibilityHelper)
 public:
  explicit TdxBarItemControlAccessibilityHelper(TObject* owner) : TdxBarAccessibilityHelper(owner) {}
  TdxBarItemControl* GetItemControl() const;
  TdxBarManager* GetOwnerManager() override;
  TcxAccessibilityHelper* GetParentHelper() override;
  HWND OwnerWindow() override;
  void QueryScreenRect(Integer index, TRect& rect) override;
  Integer QueryState(Integer index) override;
  Boolean QuerySelectable() override;
  // The item's KeyTip.
  AnsiString GetAssignedKeyTip() override;
  // The letter of a Ctrl+letter shortcut, else the caption's accelerator in upper case, else "Y".
  AnsiString GetDefaultKeyTipText() override;
  // Asks the bar window (its helper's FindNextItemInDirection).
  TdxBarAccessibilityHelper* FindNextInDirection(Integer direction) override;
  // Selects the item in its window, activating the window when it is not active; an edit or
  // combo takes the keyboard focus when `setFocus`.
  void MakeSelected(Boolean setFocus) override;
  // The window drops its selection unless `next` is another item of the same window.
  void ClearSelected(TdxBarAccessibilityHelper* next) override;
};

// The helper of a bar object (dock site, bar window, item control), made on first use; nil for
// other objects. Helpers of objects that are gone are freed on the way.
TdxBarAccessibilityHelper* GetBarAccessibilityHelper(TObject* owner);

// Makes, places and removes key-tip windows. Alignments: 0 the point is the window's left
// (top) edge, 1 its right (bottom) edge, 2 its centre.
class IdxBarKeyTipWindowsManager {
 public:
  virtual ~IdxBarKeyTipWindowsManager() = default;
  virtual TdxBarKeyTipWindow* Add(const AnsiString& caption, const TPoint& basePoint, Integer horzAlign,
                                  Integer vertAlign, Boolean enabled) = 0;
  virtual void Delete(TdxBarKeyTipWindow* window) = 0;
  // Every window of one showing has been added or shown.
  virtual void UpdateComplete() {}
};

// The little window of one key tip: its text framed on the hint colours, never activated.
class TdxBarKeyTipWindow : public TCustomControl {
  ORV_CLASS(TdxBarKeyTipWindow, TCustomControl)
 public:
  explicit TdxBarKeyTipWindow(TComponent* owner);
  const AnsiString& GetText() const { return FText; }
  Boolean GetEnabled() const { return FTipEnabled; }
  // Places the window for its text at the point with the alignments and shows it.
  void ShowAt(const AnsiString& text, const TPoint& basePoint, Integer horzAlign, Integer vertAlign, Boolean enabled);

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;

 private:
  AnsiString FText;
  Boolean FTipEnabled = true;
};

// The ready key-tip windows manager: one window per key tip, freed when deleted.
class TdxBarKeyTipWindowsManager : public IdxBarKeyTipWindowsManager {
 public:
  ~TdxBarKeyTipWindowsManager() override;
  TdxBarKeyTipWindow* Add(const AnsiString& caption, const TPoint& basePoint, Integer horzAlign, Integer vertAlign,
                          Boolean enabled) override;
  void Delete(TdxBarKeyTipWindow* window) override;
  Integer GetWindowCount() const { return Integer(FWindows.size()); }
  TdxBarKeyTipWindow* GetWindow(Integer index) const { return FWindows.at(size_t(index)); }

 private:
  std::vector<TdxBarKeyTipWindow*> FWindows;
};

// The manager whose key tips a program shows, asked for the manager of the focused form (nil:
// no key tips).
using TdxBarKeyTipWindowsManagerProvider = IdxBarKeyTipWindowsManager* (*)(TdxBarManager* manager);
void SetBarKeyTipWindowsManagerProvider(TdxBarKeyTipWindowsManagerProvider provider);

// One key tip of a showing: its text, where it stands and the element it runs.
class TdxBarKeyTipData : public TObject {
  ORV_CLASS(TdxBarKeyTipData, TObject)
 public:
  TdxBarKeyTipData(TdxBarItemControl* control, const AnsiString& keyTip);
  ~TdxBarKeyTipData() override;
  AnsiString KeyTip;
  TPoint BasePoint{};
  Integer HorzAlign = 2;
  Integer VertAlign = 2;
  Boolean Visible = true;
  Boolean Enabled = true;
  TdxBarKeyTipWindow* Window = nullptr;
  // The element, nil once it is gone.
  TdxBarItemControl* GetControl() const;

 private:
  TcxObjectLink* FControlLink;
};

// The program's one keyboard-navigation controller for key tips: the wait after Alt, the key
// tips shown for a bar window, the text typed so far, and running the element typed.
class TdxBarNavigationController : public TObject {
  ORV_CLASS(TdxBarNavigationController, TObject)
 public:
  TdxBarNavigationController() = default;
  ~TdxBarNavigationController() override;

  // Alt (or F10) went down: key tips follow after 500 ms while it is held, or at once when it
  // comes up alone. Raises EdxException for a second root while a wait runs.
  void BeginKeyTipsWait(TdxBarManager* root);
  // Ends the wait; shows the root's key tips when asked.
  void EndKeyTipsWait(Boolean show);
  Boolean IsWaitingForKeyTips() const { return FWaitingRoot != nullptr; }
  Boolean IsShowingKeyTips() const { return FContainer != nullptr; }
  // Shows the key tips of a bar window's elements whose text starts with `typed` (nil hides).
  void ShowKeyTips(TCustomdxBarControl* container, const AnsiString& typed = AnsiString());
  void HideKeyTips();
  TCustomdxBarControl* GetKeyTipsContainer() const { return FContainer; }
  const AnsiString& GetTypedKeyTip() const { return FTyped; }
  Integer GetKeyTipCount() const { return Integer(FKeyTips.size()); }
  TdxBarKeyTipData* GetKeyTip(Integer index) const { return FKeyTips.at(size_t(index)); }
  // Whether the key goes to the key tips (it types one, or Escape steps back).
  Boolean WantsKey(Word key, TShiftState shift);
  void ProcessKey(Word key, TShiftState shift);
  // A bar window goes: its key tips go with it.
  void ForgetObject(TCustomdxBarControl* control);
  // A helper goes: it no longer stays the selected object or parent.
  void ForgetHelper(TdxBarAccessibilityHelper* helper);

  // Keyboard navigation through the helper tree. The selected object and its parent as the
  // helpers last made them (MakeSelected / ClearSelected).
  TdxBarAccessibilityHelper* GetSelectedObject() const { return FSelected; }
  TdxBarAccessibilityHelper* GetSelectedParent() const { return FSelectedParent; }
  void SetSelection(TdxBarAccessibilityHelper* object, TdxBarAccessibilityHelper* parent);
  // An arrow key or Tab from `object` (nil: nothing selected) among the objects of `parent`'s
  // tree: without object the first selectable object of the parent's tree, Tab and Shift+Tab
  // the next in tree order, arrows the next in their direction. Answers whether the key was an
  // arrow or Tab (it is then used even when nothing lies that way).
  Boolean NavigateByKey(Word key, TShiftState shift, TdxBarAccessibilityHelper* object,
                        TdxBarAccessibilityHelper* parent);
  // The old object (default: the selected one) is cleared for the new one, which is then
  // selected; nothing happens without a new object.
  void MoveSelection(Boolean setFocus, TdxBarAccessibilityHelper* newObject, TdxBarAccessibilityHelper* oldObject);

  // Gives repeated texts numbers (F1, F2, ...; A01 .. A12 for twelve) and a text that starts
  // another its own "1", until no text can be mistaken for another.
  static void MakeKeyTipsUnique(std::vector<AnsiString>& texts);
  // The text of an element as its accessibility helper gives it, in upper case.
  static AnsiString GetKeyTipText(TdxBarItemControl* control);

 private:
  void CollectKeyTips(TCustomdxBarControl* container);
  void RefreshKeyTipWindows();
  void ClearKeyTips();
  // The key tip the typed text plus the key's character selects: `matched` when some text
  // starts with it, the data when one equals it and is enabled.
  TdxBarKeyTipData* MatchKeyTipKey(Word key, Boolean& matched, AnsiString& typed);
  void ExecuteKeyTip(TdxBarKeyTipData* data);
  void WaitTimer(TObject* sender);
  IdxBarKeyTipWindowsManager* WindowsManager() const;

  TdxBarManager* FWaitingRoot = nullptr;
  TcxTimer* FWaitTimer = nullptr;
  TCustomdxBarControl* FContainer = nullptr;
  TcxObjectLink* FContainerLink = nullptr;
  TdxBarManager* FContainerManager = nullptr;
  AnsiString FTyped;
  std::vector<TdxBarKeyTipData*> FKeyTips;
  TdxBarAccessibilityHelper* FSelected = nullptr;
  TdxBarAccessibilityHelper* FSelectedParent = nullptr;
};

TdxBarNavigationController* GetBarNavigationController();
// Hooks the controller into the bars' keyboard services (once; the bar windows call it).
void InstallBarKeyTipServices();
