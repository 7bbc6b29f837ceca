// Menus of the class library: shortcut texts, menu items with their action links, and popup
// menus shown in a classic-look popup window with their own modal loop (mouse and keyboard,
// submenus, accelerators); the chosen item's Click runs after the menu has closed.
#pragma once

#include "platform/controls/ActnList.h"
#include "platform/controls/Graphics.h"
#include "platform/windowing/WinTypes.h"

class TMenu;
class TMenuItem;
class TCustomImageList;
class TChangeLink;

// ---- Shortcuts --------------------------------------------------------------------------------

TShortCut ShortCut(Word key, bool shift, bool ctrl, bool alt);
// "F1", "Ctrl+C", "Shift+Ctrl+Del"; "" for none.
AnsiString ShortCutToText(TShortCut shortCut);
// The inverse; scNone for a text that names no key.
TShortCut TextToShortCut(const AnsiString& text);
void ShortCutToKey(TShortCut shortCut, Word& key, bool& shift, bool& ctrl, bool& alt);
// The shortcut of a key message's key with the keyboard's modifier state.
TShortCut ShortCutFromMessage(WPARAM key);

// The text without its "&" accelerator marks ("&&" stays one "&").
AnsiString StripHotkey(const AnsiString& text);
// The accelerator character of a caption (upper case), 0 for none.
char GetHotkey(const AnsiString& text);
// Whether `key` is the accelerator of `text` (ignoring case).
bool IsAccel(Word key, const AnsiString& text);

// ---- Items ------------------------------------------------------------------------------------

class TMenuActionLink : public TActionLink {
  ORV_CLASS(TMenuActionLink, TActionLink)
 public:
  explicit TMenuActionLink(TObject* client);

  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;
  void SetCaption(const AnsiString& value) override;
  void SetChecked(bool value) override;
  void SetEnabled(bool value) override;
  void SetHint(const AnsiString& value) override;
  void SetImageIndex(Integer value) override;
  void SetShortCut(TShortCut value) override;
  void SetVisible(bool value) override;

 protected:
  void AssignClient(TObject* client) override;

 private:
  TMenuItem* FClient = nullptr;
};

class TMenuItem : public TComponent {
  ORV_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  void BeforeDestruction() override;

  // ---- The tree ----
  Integer GetCount() const;
  TMenuItem* GetItem(Integer index) const;
  TMenuItem* GetParent() const { return FParent; }
  Integer GetMenuIndex() const;
  void SetMenuIndex(Integer value);
  void Add(TMenuItem* item);
  void Insert(Integer index, TMenuItem* item);
  void Delete(Integer index);
  void Remove(TMenuItem* item);
  void Clear();
  Integer IndexOf(TMenuItem* item) const;
  // The item of that caption (ignoring "&" and case), nullptr for none.
  TMenuItem* Find(const AnsiString& caption) const;
  // A separator: the caption "-".
  bool IsLine() const { return FCaption == "-"; }

  // Runs OnClick, or the action when the item has one (AutoCheck toggles Checked first).
  virtual void Click();
  // Updates the action (before the menu shows the item).
  void InitiateAction();

  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  bool GetChecked() const { return FChecked; }
  // A checked radio item unchecks the other radio items of its group.
  void SetChecked(bool value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool value);
  bool GetRadioItem() const { return FRadioItem; }
  void SetRadioItem(bool value);
  Byte GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Byte value);
  bool GetAutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool value) { FAutoCheck = value; }
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer value);
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value);
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& value) { FHint = value; }
  TBasicAction* GetAction() const;
  void SetAction(TBasicAction* value);
  TNotifyEvent GetOnClick() const { return FOnClick; }
  void SetOnClick(TNotifyEvent value) { FOnClick = value; }

  // The menu this item belongs to (through its parents), nullptr for a free item.
  TMenu* GetMenu() const;

  // An item always belongs to a menu or another item (the one a description names it inside).
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, Integer order) override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  friend class TMenu;
  friend class TMenuActionLink;
  void ActionChange(TObject* sender, bool checkDefaults);
  void DoActionChange(TObject* sender);
  TMenuActionLink* GetActionLink() const { return FActionLink; }

 private:
  TMenu* FMenu = nullptr;  // set on the root item of a menu
  TMenuItem* FParent = nullptr;
  TList* FItems = nullptr;
  AnsiString FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  bool FRadioItem = false;
  bool FAutoCheck = false;
  Byte FGroupIndex = 0;
  Integer FImageIndex = -1;
  TShortCut FShortCut = scNone;
  AnsiString FHint;
  TMenuActionLink* FActionLink = nullptr;
  TNotifyEvent FOnClick;
};

enum TPopupAlignment { paLeft, paRight, paCenter };
enum TTrackButton { tbRightButton, tbLeftButton };

class TMenu : public TComponent {
  ORV_CLASS(TMenu, TComponent)
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  void BeforeDestruction() override;

  TMenuItem* GetItems() const { return FItems; }
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  // Clicks the enabled, visible item (at any depth) whose shortcut this is; true when one did.
  bool IsShortCut(TShortCut shortCut);
  // The item whose shortcut this is, nullptr for none.
  TMenuItem* FindItemByShortCut(TShortCut shortCut) const;

  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
};

class TPopupMenu : public TMenu {
  ORV_CLASS(TPopupMenu, TMenu)
 public:
  explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}

  // Shows the menu at the screen point and runs its loop until an item is chosen or the menu
  // is dismissed; the chosen item's Click runs after the menu has closed.
  virtual void Popup(Integer x, Integer y);
  // The item the last Popup chose (nullptr when dismissed).
  TMenuItem* GetChosenItem() const { return FChosen; }

  TComponent* GetPopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* value) { FPopupComponent = value; }
  TPopupAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment value) { FAlignment = value; }
  bool GetAutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool value) { FAutoPopup = value; }
  TTrackButton GetTrackButton() const { return FTrackButton; }
  void SetTrackButton(TTrackButton value) { FTrackButton = value; }
  TPoint GetPopupPoint() const { return FPopupPoint; }
  TNotifyEvent GetOnPopup() const { return FOnPopup; }
  void SetOnPopup(TNotifyEvent value) { FOnPopup = value; }

  void Notification(TComponent* component, TOperation operation) override;

 protected:
  virtual void DoPopup(TObject* sender);

 private:
  TComponent* FPopupComponent = nullptr;
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  TTrackButton FTrackButton = tbRightButton;
  TPoint FPopupPoint;
  TMenuItem* FChosen = nullptr;
  TNotifyEvent FOnPopup;
};

// The popup menu window class's name ("#32768" on the platform); test code finds open menus by it.
inline constexpr const char* kPopupMenuClassName = "TPopupMenuWindow";
