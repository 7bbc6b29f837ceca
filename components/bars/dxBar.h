// The bar manager and its model side: the manager with its lists, style, fonts and events; the
// categories, image options and backgrounds it owns; the bar components and groups; the
// process-wide manager list, item-class registry and lookups; the keyboard, mouse and
// call-window hooks that route shortcuts, Alt and F10; and the manager's reaction to the
// messages of its owner window.
//
// Items, links, bars and the bar windows are completed by their own units of this library.
// What the manager needs of them is declared here in its smallest form (marked "core"), so that
// shortcuts, streaming and the manager's lists work before the windows exist; those classes
// grow in place.
#pragma once

#include <functional>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStyles.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/Menus.h"
#include "platform/runtime/Collection.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Sets.h"
#include "platform/windowing/WinTypes.h"

class TcxCanvas;
class TdxBarManager;
class TdxBarItem;
class TdxBarItemLink;
class TdxBarItemLinks;
class TdxBar;
class TdxBars;
class TdxBarGroup;
class TdxBarPainter;
class TdxBarDockControl;
class TdxBarPopupMenu;
class TdxBarPopupMenuLinks;
class TdxBarPopupMenuLink;
class TdxDockControl;
class TdxDockRow;
class TCustomdxBarControl;
class TdxBarControl;
class TdxBarControlMarkFadingHelper;
class TdxBarControlMDIButtonFadingHelper;
class TdxBarQuickControl;
class TdxBarSubMenuControl;
class TdxBarShadow;
class TdxBarItemControlDrawParams;
class TdxBarButtonLikeControlDrawParams;
class TdxBarEditLikeControlDrawParams;
class TdxBarStaticLikeControlDrawParams;
class TdxBarItemControl;
class TdxThemeChangedNotificator;
class TMemIniFile;
class TCustomIniFile;
class TStream;
class TdxBarHintWindow;
class TdxBarDragInfo;
class TdxBarImageOptions;
class TdxBarBackgrounds;
class TdxBarManagerCategories;
class TdxBarManagerList;
class TdxBarScreenTip;
class TdxBarCaptionButtons;
class TdxBarCustomHintViewInfo;

// ==== Types ===================================================================================

enum TdxBarManagerStyle { bmsStandard, bmsEnhanced, bmsFlat, bmsXP, bmsOffice11, bmsUseLookAndFeel };
enum TdxBarMenuAnimations { maNone, maRandom, maUnfold, maSlide, maFade };
enum TdxBarDockingStyle { dsNone, dsLeft, dsTop, dsRight, dsBottom };
using TdxBarDockingStyles = orv::Set<TdxBarDockingStyle>;
enum TdxBarItemVisible { ivNever, ivInCustomizing, ivAlways };
enum TdxBarItemMergeKind { mkAdd, mkMergeByCaption, mkNone };
// The form lookups: the top-level form, the form stopping at an MDI child, the nearest form.
enum TdxBarFormSearchKind { fsoMainOnly, fsoMainOrChild, fsoAnyForm };
// The stores of a bar layout: an ini file (and the manager's snapshot) or the settings tree,
// which separates its sections by a backslash and keeps binary values.
enum TdxBarLayoutStoreKind { lskIniFile, lskRegistry };
// What the manager's ini-read and ini-write handlers receive.
struct TdxBarIniFileEventData {
  TCustomIniFile* IniFile;
  Boolean IsRegistry;
  AnsiString Section;
  AnsiString Separator;
};

using TdxBarEvent = orv::Event<void(TdxBarManager* sender, TdxBar* bar)>;
using TdxBarVisibleChangeEvent = orv::Event<void(TdxBarManager* sender, TdxBar* bar)>;
using TdxBarItemLinkEvent = orv::Event<void(TdxBarManager* sender, TdxBarItemLink* itemLink)>;
using TdxBarMergeItemLinkEvent =
    orv::Event<void(TdxBarManager* sender, TdxBarItemLinks* dstItemLinks, TdxBarItemLinks* srcItemLinks,
                    TdxBarItemLink* srcItemLink, TdxBarItemMergeKind mergeKind, Integer& mergeIndex)>;
using TdxBarCanDockingEvent =
    orv::Event<void(TdxBar* sender, TdxBarDockingStyle style, TdxDockControl* dockControl, Boolean& canDocking)>;
using TdxBarMergeEvent = orv::Event<void(TdxBarManager* sender, TdxBarManager* childBarManager, Boolean addItems)>;
using TdxBarShowPopupEvent = orv::Event<void(TdxBarManager* sender, TdxBarItemLinks* popupItemLinks)>;
using TdxBarClickItemEvent = orv::Event<void(TdxBarManager* sender, TdxBarItem* clickedItem)>;


// The form designer at design time, the run-time selection controller while the customization
// form is open; the manager forwards to it and answers defaults without one.
class IdxBarDesigner : public virtual IInterface {
 public:
  virtual Boolean AllowsDeletion() = 0;
  virtual void FillSelection(TList* list) = 0;
  virtual Integer GetSelectionState(TPersistent* object) = 0;
  virtual Boolean IsSelectedObject(TPersistent* object) = 0;
  virtual void ChangeSelection(TPersistent* object, Integer operation) = 0;
  virtual void ReplaceSelection(TList* list) = 0;
  virtual void EditItem(TdxBarItem* item) = 0;
  virtual Boolean MakeUniqueName(const AnsiString& prefix, AnsiString& name) = 0;
};

// The owners of item links (bars, sub items, popup menus).
class IdxBarLinksOwner : public virtual IInterface {
 public:
  // Whether `item` may be linked here; otherwise `errorText` says why.
  virtual Boolean CanContainItem(TdxBarItem* item, AnsiString& errorText) = 0;
  // The owner component.
  virtual TComponent* GetInstance() = 0;
  virtual TdxBarItemLinks* GetItemLinks() = 0;
};

// Objects that have a hint (item controls, caption buttons): its text, the text of its
// shortcut, and whether the object is enabled.
class IdxBarHintSource : public virtual IInterface {
 public:
  virtual void GetHintInfo(AnsiString& hint, AnsiString& shortCut, Boolean& enabled) = 0;
  // A screen tip shows instead of the plain hint (after its own delay).
  virtual Boolean HasScreenTip() { return false; }
  virtual TdxBarCustomHintViewInfo* CreateHintViewInfo(const AnsiString& hint, const AnsiString& shortCut) {
    return nullptr;
  }
};

// ==== Lists ===================================================================================

// A list of objects it does not own.
class TdxObjectList : public TObjectList {
  ORV_CLASS(TdxObjectList, TObjectList)
 public:
  TdxObjectList() : TObjectList(false) {}

  // Adds a non-nil object not yet listed; answers its index (-1 for nil).
  Integer AddUnique(TObject* object);
  TObject* ItemOrNil(Integer index) const;
  TObject* Last() const { return GetCount() ? Get(GetCount() - 1) : nullptr; }
  void CopyTo(TList* target) const;
};

// The manager's item and group lists: each listed component knows the lists that hold it.
class TdxBarComponentList : public TcxComponentList {
  ORV_CLASS(TdxBarComponentList, TcxComponentList)
 public:
  TdxBarComponentList() = default;

  // A listed component (nil: the whole list) changed.
  void ComponentChanged(TComponent* component) { NotifyChanged(component, orv::ccaChanged); }

 protected:
  void HandleItemNotification(TComponent* component, TListNotification action) override;
  TClass GetAcceptedClass() override;
};

// Bars, bar components and item links as the customizing selection treats them alike.
class IdxBarSelectableItem : public virtual IInterface {
 public:
  // `withItems`: an item goes itself, not only its links.
  virtual Boolean IsDeletable(Boolean withItems = false) = 0;
  // Deletes the object; the caller's reference is cleared when the object itself went.
  virtual void DeleteSelectable(TObject*& selection, Boolean withItems = false) = 0;
  // A command of the link customizing menu.
  virtual void ApplyCommand(Integer command) = 0;
  virtual TdxBarManager* GetBarManager() const = 0;
  virtual TObject* GetObject() = 0;
  // Appends the objects this one belongs to.
  virtual void AddOwnerObjects(TdxObjectList* list) = 0;
  virtual TObject* GetNextSelectable() = 0;
  // The object to select instead of this one.
  virtual TObject* GetSelectableParent() = 0;
  // The designer's state of the object (1: selected).
  virtual Integer GetSelectionState() = 0;
  // The link-menu commands offered (bit n: command n).
  virtual Word GetCommands() = 0;
  virtual void InvalidateSelection() = 0;
  // An item with more than one link.
  virtual Boolean IsComplex() = 0;
  virtual Boolean IsInSelection() = 0;
  // 0 adds the object to the selection, 1 removes it, 2 makes it the only one.
  virtual void SelectObject(Integer operation) = 0;
  virtual Boolean SelectParent() = 0;
  virtual void SelectionChanged() = 0;
};

// ==== Bar components and groups ===============================================================

// The base of items, groups and popup menus.
class TdxBarComponent : public TComponent, public IdxBarSelectableItem {
  ORV_CLASS(TdxBarComponent, TComponent)
 public:
  explicit TdxBarComponent(TComponent* owner);
  ~TdxBarComponent() override;

  virtual void NotifyChanged(Boolean passNil = false);
  virtual Boolean GetEnabled() { return FEnabled; }
  virtual void SetEnabled(Boolean value) { FEnabled = value; }
  virtual void SetVisible(TdxBarItemVisible value) { FVisible = value; }
  TdxBarItemVisible GetVisible() const { return FVisible; }
  // The stored Enabled, for form descriptions.
  Boolean GetEnabledValue() const { return FEnabled; }
  // Selection in the designer (the design controller completes these).
  // Whether the designer lets the component go; `forced` deletes even what has other ways out
  // (an item with links loses only its links unless forced).
  Boolean IsDeletable(Boolean forced = false) override;
  // Deletes the selected object; `selection` (the caller's reference to it) is cleared when the
  // object itself was freed.
  void DeleteSelectable(TObject*& selection, Boolean forced = false) override;
  void ApplyCommand(Integer command) override {}
  TdxBarManager* GetBarManager() const override { return FBarManager; }
  virtual void AddSelectionOwner(TdxObjectList* list) { list->AddUnique(GetOwner()); }
  virtual TObject* GetNextSelectableItem() { return nullptr; }
  TObject* GetSelectableParent() override { return GetOwner(); }
  Integer GetSelectionState() override;
  virtual Integer GetCustomizationCommands() { return 2; }
  void InvalidateSelection() override {}
  virtual Boolean HasSeveralLinks() { return false; }
  Boolean IsInSelection() override;
  virtual void SelectInDesigner(Integer mode);
  virtual Boolean SelectLinkExclusively() { return false; }
  void SelectionChanged() override {}
  TObject* GetObject() override { return this; }
  // The selectable operations carried out by the ones above.
  void AddOwnerObjects(TdxObjectList* list) final { AddSelectionOwner(list); }
  TObject* GetNextSelectable() final { return GetNextSelectableItem(); }
  Word GetCommands() final { return Word(GetCustomizationCommands()); }
  Boolean IsComplex() final { return HasSeveralLinks(); }
  void SelectObject(Integer operation) final { SelectInDesigner(operation); }
  Boolean SelectParent() final { return SelectLinkExclusively(); }

  void AddChangeNotify(TdxBarComponentList* list);
  void RemoveChangeNotify(TdxBarComponentList* list);
  void SetBarManager(TdxBarManager* value) { FBarManager = value; }
  void BeforeDestruction() override;

 protected:
  TdxBarManager* FBarManager = nullptr;
  Boolean FEnabled = true;
  TdxBarItemVisible FVisible = ivAlways;

 private:
  std::vector<TdxBarComponentList*> FChangeNotifyList;
};

// Items and groups whose Enabled and Visible are set together.
class TdxBarGroup : public TdxBarComponent {
  ORV_CLASS(TdxBarGroup, TdxBarComponent)
 public:
  explicit TdxBarGroup(TComponent* owner);
  ~TdxBarGroup() override;

  void Add(TdxBarComponent* component);
  Integer IndexOf(TdxBarComponent* component) const;
  void Remove(TdxBarComponent* component);
  Integer GetCount() const;
  TdxBarComponent* GetItem(Integer index) const;
  // Whether `group` is this group or lies inside it at any depth.
  Boolean Contains(TdxBarGroup* group) const;

  Boolean GetEnabled() override { return FEnabled; }
  void SetEnabled(Boolean value) override;
  void SetVisible(TdxBarItemVisible value) override;

  // Streamed inside their manager.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void Loaded() override;
  void SetName(const AnsiString& newName) override;
  void DefineProperties(TFiler* filer) override;

 private:
  void ReadItems(TReader* reader);
  void WriteItems(TWriter* writer);
  void AddByName(const AnsiString& name);
  // Runs `apply` on every member inside the manager's update lock, unless loading or dying.
  void ApplyToMembers(const std::function<void(TdxBarComponent*)>& apply);
  TdxBarComponentList* FItems;
  std::vector<AnsiString> FLoadedNames;
  Boolean FHasLoadedNames = false;
};

// ==== Items, links and item kinds =============================================================

enum TdxBarItemAlign { iaLeft, iaCenter, iaRight, iaClient };
enum TdxBarPaintStyle { psStandard, psCaption, psCaptionInMenu, psCaptionGlyph };
enum TdxBarGlyphLayout { glLeft, glRight, glTop, glBottom };
enum TdxBarButtonStyle { bsDefault, bsChecked, bsDropDown, bsCheckedDropDown };
enum TdxBarUserDefine { udCaption, udGlyph, udPaintStyle, udWidth };
using TdxBarUserDefines = orv::Set<TdxBarUserDefine>;
enum TdxBarItemPosition { ipBeginsNewRow, ipBeginsNewColumn, ipContinuesRow };
// One byte wide, so that the bar windows' default level (4, outside the published names) is a value.
enum TdxBarItemViewLevel : Byte { ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon, ivlControlOnly };
using TdxBarItemViewLevels = orv::Set<TdxBarItemViewLevel>;
// The most compact view level of the set (ivlControlOnly first); 255 for an empty set.
Integer GetMostCompactViewLevel(TdxBarItemViewLevels levels);
enum TdxBarButtonGroupPosition { bgpNone, bgpStart, bgpMember };
enum TdxBarItemOption { ioShowDescriptions, ioShowShortCuts, ioSize };
using TdxBarItemOptionValues = orv::Set<TdxBarItemOption>;
enum TdxBarMenuItemSize { misNormal, misLarge };
// Bar-control kinds of RepaintBars: 0 toolbar, 1 quick control, 2 submenu.
enum TdxBarKind { bkBarControl, bkQuickControl, bkSubMenu };
using TdxBarKinds = orv::Set<TdxBarKind>;

class TdxBarItemActionLink;
class TdxBarItemStylesData;
class TdxBarItemOptions;

// A command of the bar library: shown through its links on bars and in menus.
class TdxBarItem : public TdxBarComponent {
  ORV_CLASS(TdxBarItem, TdxBarComponent)
 public:
  explicit TdxBarItem(TComponent* owner);
  ~TdxBarItem() override;
  void BeforeDestruction() override;

  // ---- Published
  TBasicAction* GetAction() const;
  void SetAction(TBasicAction* value);
  TdxBarItemAlign GetAlign() const { return FAlign; }
  void SetAlign(TdxBarItemAlign value);
  virtual const AnsiString& GetCaption() const { return FCaption; }
  virtual void SetCaption(const AnsiString& value);
  Boolean IsCaptionStored() const;
  Integer GetCategory() const { return FCategory; }
  void SetCategory(Integer value);
  // The categories renumber their items as they move, without the checks of SetCategory.
  void StoreCategory(Integer value) { FCategory = value; }
  const AnsiString& GetDescription() const { return FDescription; }
  void SetDescription(const AnsiString& value);
  Boolean GetEnabled() override;
  void SetEnabled(Boolean value) override;
  THelpContext GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(THelpContext value) { FHelpContext = value; }
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& value) { FHint = value; }
  const AnsiString& GetKeyTip() const { return FKeyTip; }
  void SetKeyTip(const AnsiString& value) { FKeyTip = value; }
  TdxBarItemMergeKind GetMergeKind() const { return FMergeKind; }
  void SetMergeKind(TdxBarItemMergeKind value) { FMergeKind = value; }
  Integer GetMergeOrder() const { return FMergeOrder; }
  void SetMergeOrder(Integer value) { FMergeOrder = value < 0 ? 0 : value; }
  TcxStyle* GetStyle() const;
  void SetStyle(TcxStyle* value);
  // The visibility the item has, or the loaded one while the item is being read.
  TdxBarItemVisible GetVisibleValue() const;
  void SetVisible(TdxBarItemVisible value) override;
  // The manager applies the Visible values read from a form description once loading ends.
  void ApplyLoadedVisible();
  const TNotifyEvent& GetOnDestroy() const { return FOnDestroy; }
  void SetOnDestroy(const TNotifyEvent& value) { FOnDestroy = value; }
  // The rich hint shown for the item (cleared when the tip goes).
  TdxBarScreenTip* GetScreenTip() const { return FScreenTip; }
  void SetScreenTip(TdxBarScreenTip* value);
  // Published by the kinds that use them.
  TBitmap* GetGlyph() const { return FGlyph; }
  void SetGlyph(TBitmap* value);
  TBitmap* GetLargeGlyph() const { return FLargeGlyph; }
  void SetLargeGlyph(TBitmap* value);
  Integer GetImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(Integer value);
  Integer GetLargeImageIndex() const { return FLargeImageIndex; }
  virtual void SetLargeImageIndex(Integer value);
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value);
  Integer GetShortCutValue() const { return FShortCut; }
  void SetShortCutValue(Integer value) { SetShortCut(TShortCut(value)); }
  TdxBarPaintStyle GetPaintStyle() const { return FPaintStyle; }
  void SetPaintStyle(TdxBarPaintStyle value);
  Boolean GetShowCaption() const { return FShowCaption; }
  void SetShowCaption(Boolean value);
  virtual Integer GetWidth() const { return FWidth; }
  virtual void SetWidth(Integer value);
  TdxBarGlyphLayout GetGlyphLayout() const { return FGlyphLayout; }
  void SetGlyphLayout(TdxBarGlyphLayout value);
  Boolean GetUnclickAfterDoing() const { return FUnclickAfterDoing; }
  void SetUnclickAfterDoing(Boolean value) { FUnclickAfterDoing = value; }
  const TNotifyEvent& GetOnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& value) { FOnClick = value; }
  Boolean GetAcceptsSelection() const { return FAcceptsSelection; }
  void SetAcceptsSelection(Boolean value) { FAcceptsSelection = value; }
  NativeInt GetUserData() const { return FUserData; }
  void SetUserData(NativeInt value) { FUserData = value; }
  const TNotifyEvent& GetOnLoaded() const { return FOnLoaded; }
  void SetOnLoaded(const TNotifyEvent& value) { FOnLoaded = value; }
  TdxBarItemActionLink* GetActionLink() const { return FActionLink; }
  // The caption and hint without the caption and hint rule (generated list entries).
  void SetCaptionField(const AnsiString& value) { FCaption = value; }
  void SetHintField(const AnsiString& value) { FHint = value; }

  // ---- Links
  Integer GetLinkCount() const { return Integer(FLinks.size()); }
  TdxBarItemLink* GetLink(Integer index) const;
  // The link whose click is running (the item control sets it around DirectClick).
  TdxBarItemLink* GetClickItemLink() const { return FClickItemLink; }
  void SetClickItemLink(TdxBarItemLink* value) { FClickItemLink = value; }
  void DeleteLinks();
  // Position in the manager's item list.
  Integer GetIndex() const;
  void SetIndex(Integer value);
  // Whether the item's links may show now.
  Boolean GetRealVisible();
  Boolean IsImageValid();

  // ---- Kinds answer these
  virtual void BarManagerChanged() {}
  virtual Boolean CanBePlacedOn(Integer barKind, TdxBar* bar, AnsiString& errorText) { return true; }
  virtual Boolean SupportsPaintStyle() { return false; }
  virtual Boolean CanClick() { return true; }
  virtual Integer GetActionImageIndex() { return FImageIndex; }
  virtual void SetActionImageIndex(Integer value) { SetImageIndex(value); }
  // The control class registered for exactly this item class.
  virtual TClass GetControlClass(Boolean textRotated);
  virtual Boolean IsHiddenFromCategory() { return false; }
  virtual TdxBarItemLinks* GetItemLinks() { return nullptr; }
  virtual Integer GetStyleCount() const { return 1; }
  virtual Boolean CanUseAccelerator(TdxBarItemLink* link) { return GetEnabled(); }
  virtual Boolean CanBeVisible() { return true; }
  virtual Boolean CanMergeWith(TdxBarItem* item) { return false; }
  // Runs the item when enabled, clickable and its ShortCut is `shortCut`; otherwise asks the
  // links it owns. True when something ran.
  virtual Boolean IsShortCut(TShortCut shortCut);
  virtual Boolean HasImage() { return FImageIndex >= 0 || FLargeImageIndex >= 0; }
  virtual Boolean HasHotImage() { return false; }
  virtual AnsiString GetDefaultCaption();
  virtual AnsiString GetDefaultKeyTip() { return AnsiString(); }
  virtual Boolean HasStyleColor() { return false; }
  // Whether the item wants to hear of its links that a bar window leaves out for lack of room.
  virtual Boolean WantsHiddenLinkNotify() { return false; }
  virtual void HandleHiddenLink(TdxBarItemLink* link) {}
  // The class of the action link the item makes for its Action (a TdxBarItemActionLink).
  virtual TClass GetActionLinkClass();
  TCustomImageList* GetImages() const;
  // Hands the item to the designer's item editor (a double click on it while designing).
  void ActivateInDesigner();

  // ---- Change fan-out
  virtual void CaptionChanged();
  virtual void EnabledChanged();
  virtual void GlyphChanged();
  virtual void HotGlyphChanged();
  virtual void LargeGlyphChanged();
  virtual void PaintStyleChanged() {}
  virtual void ShortCutChanged();
  virtual void VisibleChanged();
  virtual void WidthChanged();
  virtual void UpdateControlsLayout();
  virtual void InvalidateControls();
  virtual void RepaintBars(TdxBarKinds kinds = TdxBarKinds{bkBarControl, bkQuickControl, bkSubMenu});
  void StyleChanged(Integer changeKind);
  TcxViewParams GetStyleViewParams(TcxStyle* style) const;
  TcxViewParams GetViewParams() const;

  // ---- Click path
  // Runs DirectClick when the item can be clicked.
  virtual void DoClick();
  // The manager's OnClickItem, then Click; an exception goes to the application's handler.
  virtual void DirectClick();
  // OnClick, or the action when OnClick is the action's own handler.
  virtual void Click();

  // ---- Actions
  virtual void ActionChange(TObject* sender, Boolean checkDefaults);
  Boolean IsHintFromCaption() const;
  AnsiString GetCaptionForHint() const { return CaptionForHint(GetCaption()); }
  static AnsiString CaptionForHint(const AnsiString& caption);

  void Assign(TPersistent* source) override;
  void AssignTo(TPersistent* dest) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void ReadState(TReader* reader) override;
  void SetName(const AnsiString& newName) override;
  // ---- Layout: items that own links keep them in a section of their own (nothing here).
  virtual void LoadFromIniFile(TCustomIniFile* source, const AnsiString& baseSection, TdxBarLayoutStoreKind kind) {}
  virtual void SaveToIniFile(TCustomIniFile* destination, const AnsiString& baseSection, TdxBarLayoutStoreKind kind) {}
  virtual void RestoreMostRecentFromIniFile(TCustomIniFile* source, const AnsiString& baseSection) {}
  virtual void ResetFromIniFile(TCustomIniFile* source, const AnsiString& baseSection) {}
  // ---- Designer and customizing selection
  // With links and not forced the item is deletable (its links go); otherwise the designer
  // decides.
  Boolean IsDeletable(Boolean forced = false) override;
  // Frees the item when forced or without links; otherwise deletes only its links.
  void DeleteSelectable(TObject*& selection, Boolean forced = false) override;
  void AddSelectionOwner(TdxObjectList* list) override;
  Integer GetCustomizationCommands() override;
  Boolean HasSeveralLinks() override { return GetLinkCount() > 1; }
  void InvalidateSelection() override { InvalidateControls(); }
  // A command given to the selection reaches the item's one link unless that link was the one
  // customized.
  void ApplyCommand(Integer command) override;
  // From the link selected in its bar window: the item of the next link of another item, and
  // the object whose links that window shows.
  TObject* GetNextSelectableItem() override;
  TObject* GetSelectableParent() override;
  // The link whose control is the selected one of its bar window (nil when none).
  TdxBarItemLink* GetSelectedLink() const;

  // Items with a category are streamed inside their manager; the others beside it.
  bool HasParent() const override { return FCategory >= 0; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

  // Stored rules of the published values the action provides.
  Boolean IsEnabledStored() const;
  Boolean IsHelpContextStored() const;
  Boolean IsHintStored() const;
  Boolean IsImageIndexStored() const;
  Boolean IsShortCutStored() const;
  Boolean IsVisibleStored() const;
  Boolean IsOnClickStored() const;

 protected:
  friend class TdxBarItemLink;
  friend class TdxBarItemActionLink;
  Boolean IsLoadingNow() const { return GetComponentState().Contains(csLoading); }
  Boolean IsDesigningNow() const { return GetComponentState().Contains(csDesigning); }
  void AddLink(TdxBarItemLink* link) { FLinks.push_back(link); }
  void RemoveLink(TdxBarItemLink* link);
  // Every link of the item that has (or would have) a control; bar windows tell controls.
  void ForEachLink(const std::function<void(TdxBarItemLink*)>& action);

 private:
  void ActionLinkChanged(TObject* sender);
  void GlyphBitmapChanged(TObject* sender) { GlyphChanged(); }
  void LargeGlyphBitmapChanged(TObject* sender) { LargeGlyphChanged(); }
  AnsiString FCaption;
  TdxBarItemAlign FAlign = iaLeft;
  Integer FCategory = -1;
  AnsiString FDescription;
  THelpContext FHelpContext = 0;
  AnsiString FHint;
  AnsiString FKeyTip;
  TdxBarItemMergeKind FMergeKind = mkAdd;
  Integer FMergeOrder = 0;
  TdxBarItemVisible FLoadedVisible = ivAlways;
  TNotifyEvent FOnDestroy;
  TBitmap* FGlyph = nullptr;
  TBitmap* FLargeGlyph = nullptr;
  Integer FImageIndex = -1;
  Integer FLargeImageIndex = -1;
  TShortCut FShortCut = 0;
  TdxBarPaintStyle FPaintStyle = psStandard;
  Boolean FShowCaption = false;
  Integer FWidth = 0;
  TdxBarGlyphLayout FGlyphLayout = glTop;
  Boolean FUnclickAfterDoing = false;
  TNotifyEvent FOnClick;
  std::vector<TdxBarItemLink*> FLinks;
  TdxBarItemActionLink* FActionLink = nullptr;
  TdxBarItemStylesData* FStylesData = nullptr;
  Boolean FAcceptsSelection = true;
  NativeInt FUserData = 0;
  TNotifyEvent FOnLoaded;
  TdxBarItemLink* FClickItemLink = nullptr;
  Boolean FCheckDefaults = false;
  TdxBarScreenTip* FScreenTip = nullptr;
};

// Binds an item to an action: the action pushes its values into the item, and the item tells
// which of its values still follow the action (those are not written to form descriptions).
class TdxBarItemActionLink : public TActionLink {
  ORV_CLASS(TdxBarItemActionLink, TActionLink)
 public:
  explicit TdxBarItemActionLink(TObject* client);

  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsHelpContextLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const AnsiString& value) override;
  void SetChecked(bool value) override;
  void SetEnabled(bool value) override;
  void SetHelpContext(Integer value) override;
  void SetHint(const AnsiString& value) override;
  void SetImageIndex(Integer value) override;
  void SetShortCut(TShortCut value) override;
  void SetVisible(bool value) override;
  void SetOnExecute(TNotifyEvent value) override;

 protected:
  void AssignClient(TObject* client) override;

 private:
  TdxBarItem* FClient = nullptr;
};

// Connects an item to its style slots (Style, and StyleEdit of edits) and turns their changes
// into the item's repaint (kind 0) or re-layout (kind 1).
class TdxBarItemStylesData : public TcxIUnknownObject, public IcxStyleObserver {
  ORV_CLASS(TdxBarItemStylesData, TcxIUnknownObject)
 public:
  using TChangeEvent = orv::Event<void(Integer kind)>;
  TdxBarItemStylesData(Integer count, TChangeEvent onChange);
  ~TdxBarItemStylesData() override;

  Integer GetCount() const { return Integer(FSlots.size()); }
  TcxStyle* GetStyle(Integer index) const;
  void SetStyle(Integer index, TcxStyle* style);
  void StyleModified(TcxCustomStyle* style) override;
  void StyleDestroying(TcxCustomStyle* style) override;
  void Lock();
  void Unlock();

 private:
  struct TSnapshot {
    TcxStyleValues Assigned;
    TColor Color = clDefault;
    Integer FontHeight = 0;
    Integer FontPitch = 0;
    Integer FontStyle = 0;
    Integer FontCharset = 0;
    AnsiString FontName;
    TColor TextColor = clDefault;
  };
  struct TSlot {
    TcxStyle* Style = nullptr;
    TSnapshot Snapshot;
  };
  void Update(Integer index);
  void Notify(Integer kind);
  Integer HoldCount(TcxStyle* style) const;
  std::vector<TSlot> FSlots;
  TChangeEvent FOnChange;
  Integer FLockCount = 0;
  Integer FPending = 2;
  Boolean FDestroying = false;
};

// The menu display options of a links collection.
class TdxBarItemOptions : public TPersistent {
  ORV_CLASS(TdxBarItemOptions, TPersistent)
 public:
  explicit TdxBarItemOptions(TdxBarItemLinks* links);
  void Assign(TPersistent* source) override;

  TdxBarItemOptionValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TdxBarItemOptionValues value) { FAssignedValues = value; }
  Boolean GetShowDescriptions() const;
  void SetShowDescriptions(Boolean value);
  Boolean GetShowShortCuts() const;
  void SetShowShortCuts(Boolean value);
  TdxBarMenuItemSize GetSize() const;
  void SetSize(TdxBarMenuItemSize value);
  Boolean IsOptionStored(TdxBarItemOption option) const { return FAssignedValues.Contains(option); }
  // The own value when assigned, else the default, as an integer (Booleans 0 or 1).
  Integer GetValue(TdxBarItemOption option) const;

 private:
  TdxBarItemLinks* FLinks;
  TdxBarItemOptionValues FAssignedValues;
  Boolean FShowDescriptions = false;
  Boolean FShowShortCuts = true;
  TdxBarMenuItemSize FSize = misNormal;
};

// A button: a command that may also be a check button, a radio-group member or a drop-down.
class TdxBarButton : public TdxBarItem {
  ORV_CLASS(TdxBarButton, TdxBarItem)
 public:
  explicit TdxBarButton(TComponent* owner);

  Boolean GetAllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(Boolean value);
  TdxBarButtonStyle GetButtonStyle() const { return TdxBarButtonStyle(FStyleBits); }
  void SetButtonStyle(TdxBarButtonStyle value);
  Boolean GetCloseSubMenuOnClick() const { return FCloseSubMenuOnClick; }
  void SetCloseSubMenuOnClick(Boolean value) { FCloseSubMenuOnClick = value; }
  Boolean GetDropDownEnabled() const { return FDropDownEnabled; }
  void SetDropDownEnabled(Boolean value);
  Integer GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer value);
  Boolean GetDown() const { return FDown; }
  void SetDown(Boolean value);
  Boolean IsDownStored() const;
  Boolean GetLowered() const { return FLowered; }
  void SetLowered(Boolean value);
  Boolean IsCheckable() const { return (FStyleBits & 1) != 0; }
  TdxBarPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
  // Raises EdxException for a menu that holds this button, itself or through its sub menus.
  void SetDropDownMenu(TdxBarPopupMenu* value);
  // Shows the drop-down menu for one of the button's controls at a screen point.
  virtual void DropDown(TdxBarItemControl* control, Integer x, Integer y, Boolean byMouse);
  // The links of the drop-down menu (nil without one): its shortcuts work while it is closed.
  TdxBarItemLinks* GetItemLinks() override;

  // Another button of the group is down.
  Boolean IsGroupDownButton();
  // The first down button of the group in the manager's item order (nil when none).
  TdxBarButton* FindDownGroupButton();

  Boolean SupportsPaintStyle() override { return true; }
  Boolean CanUseAccelerator(TdxBarItemLink* link) override;
  void PaintStyleChanged() override;
  AnsiString GetDefaultCaption() override;
  void DoClick() override;
  Integer GetCustomizationCommands() override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TdxBarPopupMenu* FDropDownMenu = nullptr;
  Boolean FAllowAllUp = false;
  Integer FStyleBits = 0;
  Boolean FCloseSubMenuOnClick = true;
  Boolean FDropDownEnabled = true;
  Integer FGroupIndex = 0;
  Boolean FDown = false;
  Boolean FLowered = false;
};

// A button drawn with a large image and its caption below or beside it, with a hot image and
// a size of its own. Its small ImageIndex follows LargeImageIndex while SyncImageIndex is set.
class TdxBarLargeButton : public TdxBarButton {
  ORV_CLASS(TdxBarLargeButton, TdxBarButton)
 public:
  explicit TdxBarLargeButton(TComponent* owner);
  ~TdxBarLargeButton() override;

  Boolean GetAutoGrayScale() const { return FAutoGrayScale; }
  void SetAutoGrayScale(Boolean value);
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer value);
  TBitmap* GetHotGlyph() const { return FHotGlyph; }
  void SetHotGlyph(TBitmap* value);
  Integer GetHotImageIndex() const { return FHotImageIndex; }
  void SetHotImageIndex(Integer value);
  Boolean GetSyncImageIndex() const { return FSyncImageIndex; }
  void SetSyncImageIndex(Boolean value);
  Boolean IsLargeImageIndexStored() const { return IsImageIndexStored(); }
  // The indexes address images of the manager's hot and large image lists.
  Boolean IsHotImageValid();
  Boolean IsLargeImageValid();

  void SetImageIndex(Integer value) override;
  void SetLargeImageIndex(Integer value) override;
  Integer GetActionImageIndex() override { return GetLargeImageIndex(); }
  void SetActionImageIndex(Integer value) override { SetLargeImageIndex(value); }
  Boolean CanUseAccelerator(TdxBarItemLink* link) override;
  Boolean HasHotImage() override { return FHotImageIndex >= 0; }
  Boolean HasImage() override { return GetLargeImageIndex() >= 0; }
  void LargeGlyphChanged() override;
  void WidthChanged() override { RepaintBars(); }
  Integer GetCustomizationCommands() override;
  void DefineProperties(TFiler* filer) override;
  void Loaded() override;

 private:
  void HotGlyphBitmapChanged(TObject* sender) { HotGlyphChanged(); }
  void ReadImageIndex(TReader* reader);
  void WriteImageIndex(TWriter* writer);
  Boolean FAutoGrayScale = true;
  Integer FHeight = 0;
  TBitmap* FHotGlyph;
  Integer FHotImageIndex = -1;
  Boolean FSyncImageIndex = true;
  // Which of the three values the description set while loading, and whether a synchronising
  // assignment runs.
  Boolean FSetImageIndex = false;
  Boolean FSetLargeImageIndex = false;
  Boolean FSetSyncImageIndex = false;
  Boolean FInSync = false;
};

// A label only shows its caption; a separator is a titled line in menus.
class TdxBarLabel : public TdxBarItem {
  ORV_CLASS(TdxBarLabel, TdxBarItem)
 public:
  explicit TdxBarLabel(TComponent* owner);
};

class TdxBarSeparator : public TdxBarLabel {
  ORV_CLASS(TdxBarSeparator, TdxBarLabel)
 public:
  explicit TdxBarSeparator(TComponent* owner) : TdxBarLabel(owner) {}
  // Menus only.
  Boolean CanBePlacedOn(Integer barKind, TdxBar* bar, AnsiString& errorText) override;
  AnsiString GetDefaultCaption() override;
  Integer GetCustomizationCommands() override { return inherited::GetCustomizationCommands() & ~0x1000; }
};

// One placement of an item on a bar or in a menu.
class TdxBarItemLink : public TCollectionItem, public IdxBarSelectableItem {
  ORV_CLASS(TdxBarItemLink, TCollectionItem)
 public:
  explicit TdxBarItemLink(TCollection* collection);
  ~TdxBarItemLink() override;
  void BeforeDestruction() override;

  // The item; nil frees the link. Raises EdxException when the owner refuses the item.
  TdxBarItem* GetItem() const;
  void SetItem(TdxBarItem* value);
  TdxBarItem* GetItemRaw() const { return FItem; }
  TdxBarItemLinks* GetOwnerLinks() const;
  TdxBarManager* GetBarManager() const override;

  // ---- The link as a selectable object: always deletable (only the link goes), its owners the
  // object whose links its bar window shows and its item, selected through its item.
  Boolean IsDeletable(Boolean withItems = false) override { return true; }
  void DeleteSelectable(TObject*& selection, Boolean withItems = false) override;
  void ApplyCommand(Integer command) override { ApplyCustomizingLinkProperty(command); }
  TObject* GetObject() override { return this; }
  void AddOwnerObjects(TdxObjectList* list) override;
  TObject* GetNextSelectable() override { return GetNextLink(); }
  TObject* GetSelectableParent() override;
  Integer GetSelectionState() override;
  Word GetCommands() override;
  void InvalidateSelection() override;
  Boolean IsComplex() override { return false; }
  Boolean IsInSelection() override;
  void SelectObject(Integer operation) override;
  Boolean SelectParent() override;
  void SelectionChanged() override;
  // The next shown link of its bar window (round at the end; nil when it is the only one).
  TdxBarItemLink* GetNextLink();
  // The object whose links the link's bar window shows (a bar, a sub item; nil without window).
  TObject* GetLinksOwnerObject() const;
  // Copies one setting of the link being customized (a command of its menu) to this link.
  void ApplyCustomizingLinkProperty(Integer command);
  const AnsiString& GetLoadedItemName() const { return FLoadedItemName; }
  // The item of the loaded name among the manager's items; the loaded name is cleared.
  void ResolveLoadedItemName(TdxBarManager* manager);

  // ---- Published
  Boolean GetBeginGroup() const;
  Boolean GetBeginGroupValue() const { return FBeginGroup; }
  void SetBeginGroup(Boolean value);
  TdxBarButtonGroupPosition GetButtonGroup() const { return FButtonGroup; }
  void SetButtonGroup(TdxBarButtonGroupPosition value);
  Boolean GetDistributed() const { return FDistributed; }
  void SetDistributed(Boolean value);
  Boolean GetMostRecentlyUsed() const { return FMostRecentlyUsed; }
  void SetMostRecentlyUsed(Boolean value);
  TdxBarItemPosition GetPosition() const { return FPosition; }
  void SetPosition(TdxBarItemPosition value);
  const AnsiString& GetUserCaption() const { return FUserCaption; }
  void SetUserCaption(const AnsiString& value);
  TdxBarUserDefines GetUserDefine() const { return FUserDefine; }
  void SetUserDefine(TdxBarUserDefines value);
  TBitmap* GetUserGlyph() const { return FUserGlyph; }
  void SetUserGlyph(TBitmap* value);
  TdxBarPaintStyle GetUserPaintStyle() const { return FUserPaintStyle; }
  void SetUserPaintStyle(TdxBarPaintStyle value);
  Integer GetUserWidth() const { return FUserWidth; }
  void SetUserWidth(Integer value);
  TdxBarItemViewLevels GetViewLevels() const { return FViewLevels; }
  void SetViewLevels(TdxBarItemViewLevels value);
  Boolean GetVisible() const { return FVisible; }
  void SetVisible(Boolean value);
  Boolean GetLoadedVisible() const { return FLoadedVisible; }
  void ApplyLoadedVisible();

  // ---- Effective values
  AnsiString GetCaption() const;
  TBitmap* GetGlyph() const;
  TdxBarPaintStyle GetPaintStyle() const;
  Integer GetWidth() const;
  Boolean CanBeShown() const;
  Integer GetVisibleIndex() const;
  Integer GetCanVisibleIndex() const;
  Boolean IsAccelerator(Word key, TShiftState shift) const;
  // The link that a generated copy stands for (the link itself here).
  TdxBarItemLink* GetSourceLink() { return this; }
  NativeInt GetData() const { return FData; }

  // ---- Its control in the bar window that shows the links
  TdxBarItemControl* GetControl() const { return FControl; }
  // The bar window of the owner links (nil while none shows them).
  TCustomdxBarControl* GetBarControl() const;
  // Makes the control of the item's control class; nothing without item, without bar window or
  // when the control exists.
  void CreateControl();
  void DestroyControl();
  // A control that goes by itself is forgotten without being freed again.
  void ForgetControl(TdxBarItemControl* control) {
    if (FControl == control) FControl = nullptr;
  }
  // Where the bar window laid the link out (client coordinates; empty: not shown).
  const TRect& GetItemRect() const { return FItemRect; }
  void SetItemRect(const TRect& value);
  // The thickness of the row the link stands in.
  Integer GetRowThickness() const { return FRowThickness; }
  void SetRowThickness(Integer value) { FRowThickness = value; }
  void SetData(NativeInt value) { FData = value; }
  TdxBar* GetMergeSourceBar() const { return FMergeSourceBar; }

  // ---- Recent use
  Integer GetUseCount() const { return FUseCount; }
  void SetUseCount(Integer value) { FUseCount = value; }
  Integer GetRecentIndex() const;
  void SetRecentIndex(Integer index);
  void MarkUsed(Boolean count = true);
  void SendToBottom();
  void ResetUseCount();
  void CopyRecentData(TdxBarItemLink* source);
  void RecalcVisible();
  void UpdateItemAction();

  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler* filer) override;

  // ---- Layout: the link's values in section `section` + separator + "ItemLink" + number.
  // Reading a link whose item name names no item frees the link (False).
  Boolean ReadLayout(TCustomIniFile* source, const AnsiString& section, TdxBarLayoutStoreKind kind, Integer number);
  void WriteLayout(TCustomIniFile* destination, const AnsiString& section, TdxBarLayoutStoreKind kind, Integer number);
  void ReadUsageData(TCustomIniFile* source, const AnsiString& section, Integer number);
  // The recent-use values read from a layout, applied with the collection's loaded recent data.
  Integer GetLoadedRecentIndex() const { return FLoadedRecentIndex; }
  Integer GetLoadedUseCount() const { return FLoadedUseCount; }

 private:
  friend class TdxBarItemLinks;
  friend class TdxBarItem;
  Integer FLoadedRecentIndex = -1;
  Integer FLoadedUseCount = 0;
  void ReadItemName(TReader* reader);
  void WriteItemName(TWriter* writer);
  void UserGlyphChanged(TObject* sender);
  void LinkChanged(Boolean structural);
  TdxBarItem* FItem = nullptr;
  AnsiString FLoadedItemName;
  Boolean FBeginGroup = false;
  TdxBarButtonGroupPosition FButtonGroup = bgpNone;
  Boolean FDistributed = true;
  Boolean FMostRecentlyUsed = true;
  TdxBarItemPosition FPosition = ipBeginsNewRow;
  AnsiString FUserCaption;
  TdxBarUserDefines FUserDefine;
  TBitmap* FUserGlyph = nullptr;
  TdxBarPaintStyle FUserPaintStyle = psStandard;
  Integer FUserWidth = 0;
  TdxBarItemViewLevels FViewLevels{ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon, ivlControlOnly};
  Boolean FVisible = true;
  Boolean FLoadedVisible = true;
  Integer FUseCount = 0;
  Integer FDetachedRecentIndex = -1;
  NativeInt FData = 0;
  TdxBar* FMergeSourceBar = nullptr;
  TdxBarItemControl* FControl = nullptr;
  TRect FItemRect;
  Integer FRowThickness = 0;
};

// The ordered links of a bar, a sub item or a popup menu, with the lists of links shown now.
class TdxBarItemLinks : public TOwnedCollection {
  ORV_CLASS(TdxBarItemLinks, TOwnedCollection)
 public:
  TdxBarItemLinks(TdxBarManager* barManager, TPersistent* owner);
  ~TdxBarItemLinks() override;

  TdxBarManager* GetBarManager() const;
  void SetBarManager(TdxBarManager* value) { FBarManager = value; }
  TdxBarItemLink* Add() { return static_cast<TdxBarItemLink*>(TCollection::Add()); }
  TdxBarItemLink* Insert(Integer index) { return static_cast<TdxBarItemLink*>(TCollection::Insert(index)); }
  TdxBarItemLink* AddItem(TdxBarItem* item);
  TdxBarItemLink* GetItem(Integer index) const { return static_cast<TdxBarItemLink*>(TCollection::GetItem(index)); }
  TComponent* GetOwnerComponent() const;
  Integer IndexOfLink(TdxBarItemLink* link) const;
  Integer IndexOfItemName(const AnsiString& name) const;
  void Move(Integer from, Integer to);
  Boolean CanContainItem(TdxBarItem* item, AnsiString& errorText);
  // True when the owner is not a bar (menus show all their links).
  Boolean CanShowAllLinks() const;

  // ---- Lists of the links shown now
  void RefreshLists();
  Integer GetAvailableItemCount() const { return Integer(FAvailable.size()); }
  TdxBarItemLink* GetAvailableItem(Integer index) const { return FAvailable.at(size_t(index)); }
  Integer GetCanVisibleItemCount() const { return Integer(FCanVisible.size()); }
  TdxBarItemLink* GetCanVisibleItem(Integer index) const { return FCanVisible.at(size_t(index)); }
  Integer GetVisibleItemCount() const { return Integer(FVisibleList.size()); }
  TdxBarItemLink* GetVisibleItem(Integer index) const { return FVisibleList.at(size_t(index)); }
  Integer GetRecentItemCount() const { return FRecentItemCount; }
  void SetRecentItemCount(Integer count);
  void RestoreRecentItemCount();
  Integer CalcRecentItemCount();
  Boolean UsesRecentItems() const;
  Boolean GetUseRecentItems() const { return FUseRecentItems; }
  void SetUseRecentItems(Boolean value) { FUseRecentItems = value; }
  Integer RecentIndexOf(const TdxBarItemLink* link) const;

  // ---- Shortcuts and accelerators
  // The items of the available links in order, after their actions updated.
  Boolean IsShortCut(TShortCut shortCut);
  void UpdateActions();
  // The next link after `after` (from the first when nil), going round, whose caption has the
  // key's character as its accelerator; nil when none.
  TdxBarItemLink* FindAcceleratorLink(Word key, TdxBarItemLink* after = nullptr);

  // ---- Item options
  TdxBarItemOptions* GetItemOptions() const { return FItemOptions; }
  void SetItemOptions(TdxBarItemOptions* value) { FItemOptions->Assign(value); }
  Integer GetDefaultItemOptionValue(TdxBarItemOption option) const;
  Integer GetItemOptionValue(TdxBarItemOption option) const;
  TdxBarItemLinks* GetParentLinks() const { return FParentLinks; }
  void SetParentLinks(TdxBarItemLinks* value) { FParentLinks = value; }
  Boolean GetShowDescriptions() const { return GetItemOptionValue(ioShowDescriptions) != 0; }
  Boolean GetShowShortCuts() const { return GetItemOptionValue(ioShowShortCuts) != 0; }
  TdxBarMenuItemSize GetItemSize() const { return TdxBarMenuItemSize(GetItemOptionValue(ioSize)); }

  // Merges the links of another bar or menu into these: by caption into sub items of the same
  // kind, otherwise added by merge order (the manager's OnMergeItemLink may move them).
  void Merge(TdxBarItemLinks* source);
  // Frees the links a merge of `bar` added (of every bar when nil), at any depth.
  void Unmerge(TdxBar* bar);
  // Whether `owner`'s links are these or lie inside them at any depth.
  Boolean HasLinksOwner(IdxBarLinksOwner* owner);
  // Resolves the loaded item names and applies the loaded visibility.
  void ResolveLoadedItems();
  // ---- Layout
  void ReadLayout(TCustomIniFile* source, const AnsiString& section, TdxBarLayoutStoreKind kind);
  void WriteLayout(TCustomIniFile* destination, const AnsiString& section, TdxBarLayoutStoreKind kind);
  void ReadUsageData(TCustomIniFile* source, const AnsiString& section);
  // Every link's use count reset, then (when asked) its loaded visibility applied, then the
  // loaded recent indexes and use counts applied in recent order.
  void ApplyLoadedRecentData(Boolean applyVisible);
  // Shown links move up the recent list before hidden ones, keeping their order.
  void CompactRecentList();
  void ResetItemsFromIniFile(TCustomIniFile* source, const AnsiString& baseSection);
  // Drops the links of an item that is being destroyed.
  void RemoveItem(TdxBarItem* item);
  Boolean GetInternal() const { return FInternal; }
  void SetInternal(Boolean value) { FInternal = value; }
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }
  Boolean IsAssigning() const { return FAssigning; }
  // The window that shows these links (set by the window while it does).
  TCustomdxBarControl* GetBarControl() const { return FBarControl; }
  void SetBarControl(TCustomdxBarControl* value) { FBarControl = value; }

  void Assign(TPersistent* source) override;

 protected:
  void Update(TCollectionItem* item) override;

 private:
  friend class TdxBarItemLink;
  Boolean IsManagerDesigning() const;
  TdxBarManager* FBarManager;
  IdxBarLinksOwner* FLinksOwner = nullptr;
  std::vector<TdxBarItemLink*> FAvailable;
  std::vector<TdxBarItemLink*> FCanVisible;
  std::vector<TdxBarItemLink*> FVisibleList;
  std::vector<TdxBarItemLink*> FRecent;
  Integer FRecentItemCount = -1;
  Integer FPrevRecentItemCount = -1;
  Boolean FUseRecentItems = true;
  TdxBarItemOptions* FItemOptions = nullptr;
  TdxBarItemLinks* FParentLinks = nullptr;
  Boolean FInternal = false;
  Boolean FAssigning = false;
  TNotifyEvent FOnChange;
  TCustomdxBarControl* FBarControl = nullptr;
};

using TdxBarPaintSubMenuBarEvent = orv::Event<void(TObject* sender, TCanvas* canvas, const TRect& rect)>;

// An item that owns links of its own: it opens a submenu of them.
class TCustomdxBarSubItem : public TdxBarItem, public IdxBarLinksOwner {
  ORV_CLASS(TCustomdxBarSubItem, TdxBarItem)
 public:
  explicit TCustomdxBarSubItem(TComponent* owner);
  ~TCustomdxBarSubItem() override;

  Integer GetBarSize() const { return FBarSize; }
  void SetBarSize(Integer value) { FBarSize = value < 0 ? 0 : value; }
  Boolean GetDetachable() const { return FDetachable; }
  void SetDetachable(Boolean value) { FDetachable = value; }
  Integer GetDetachingBar() const;
  void SetDetachingBar(Integer value);
  TdxBar* GetDetachingBarObject() const { return FDetachingBar; }
  TdxBarItemLinks* GetLinks() const { return FItemLinks; }
  void SetItemLinks(TdxBarItemLinks* value) { FItemLinks->Assign(value); }
  TdxBarItemOptions* GetItemOptions() const { return FItemLinks->GetItemOptions(); }
  void SetItemOptions(TdxBarItemOptions* value) { FItemLinks->SetItemOptions(value); }
  const TNotifyEvent& GetOnCloseUp() const { return FOnCloseUp; }
  void SetOnCloseUp(const TNotifyEvent& value) { FOnCloseUp = value; }
  const TNotifyEvent& GetOnPopup() const { return FOnPopup; }
  void SetOnPopup(const TNotifyEvent& value) { FOnPopup = value; }
  const TNotifyEvent& GetOnDetaching() const { return FOnDetaching; }
  void SetOnDetaching(const TNotifyEvent& value) { FOnDetaching = value; }
  void SetInternal(Boolean value);
  void DoPopup() { FireNotifyEvent(this, FOnPopup); }
  void DoCloseUp() { FireNotifyEvent(this, FOnCloseUp); }
  void DoDetaching() { FireNotifyEvent(this, FOnDetaching); }
  // Paints the band beside the submenu (BarSize wide) through OnPaintBar.
  const TdxBarPaintSubMenuBarEvent& GetOnPaintBar() const { return FOnPaintBar; }
  void SetOnPaintBar(const TdxBarPaintSubMenuBarEvent& value) { FOnPaintBar = value; }
  virtual void DoPaintBar(TCanvas* canvas, const TRect& rect) {
    if (FOnPaintBar) FOnPaintBar(this, canvas, rect);
  }
  // A bar of the manager is going: the detaching bar forgets it.
  void BarRemoved(TdxBar* bar);

  TdxBarItemLinks* GetItemLinks() override { return FItemLinks; }
  Boolean CanClick() override { return false; }
  Integer GetCustomizationCommands() override;
  void BarManagerChanged() override;
  Boolean CanContainItem(TdxBarItem* item, AnsiString& errorText) override;
  TComponent* GetInstance() override { return this; }
  // Layout: the links in section base + "SubItem_" + Name (nothing without a name).
  void LoadFromIniFile(TCustomIniFile* source, const AnsiString& baseSection, TdxBarLayoutStoreKind kind) override;
  void SaveToIniFile(TCustomIniFile* destination, const AnsiString& baseSection, TdxBarLayoutStoreKind kind) override;
  void RestoreMostRecentFromIniFile(TCustomIniFile* source, const AnsiString& baseSection) override;
  void ResetFromIniFile(TCustomIniFile* source, const AnsiString& baseSection) override;

 private:
  TdxBarItemLinks* FItemLinks;
  Integer FBarSize = 0;
  Boolean FDetachable = false;
  TdxBar* FDetachingBar = nullptr;
  TNotifyEvent FOnCloseUp, FOnPopup, FOnDetaching;
  TdxBarPaintSubMenuBarEvent FOnPaintBar;
};

class TdxBarSubItem : public TCustomdxBarSubItem {
  ORV_CLASS(TdxBarSubItem, TCustomdxBarSubItem)
 public:
  explicit TdxBarSubItem(TComponent* owner) : TCustomdxBarSubItem(owner) {}
  Boolean GetAllowCustomizing() const { return FAllowCustomizing; }
  void SetAllowCustomizing(Boolean value) { FAllowCustomizing = value; }
  AnsiString GetDefaultCaption() override;
  Boolean CanMergeWith(TdxBarItem* item) override { return dynamic_cast<TdxBarSubItem*>(item) != nullptr; }

 private:
  Boolean FAllowCustomizing = true;
};

// A sub item whose entries are generated when its menu opens.
class TCustomdxBarContainerItem : public TCustomdxBarSubItem {
  ORV_CLASS(TCustomdxBarContainerItem, TCustomdxBarSubItem)
 public:
  explicit TCustomdxBarContainerItem(TComponent* owner) : TCustomdxBarSubItem(owner) {}
  const TNotifyEvent& GetOnGetData() const { return FOnGetData; }
  void SetOnGetData(const TNotifyEvent& value) { FOnGetData = value; }
  // Adds the generated links to `links` at `index` (the menu window calls it).
  virtual void AddListItems(TdxBarItemLinks* links, Integer index, TdxBarItemLink* sourceLink, Boolean firstTime);
  virtual void DeleteListItems(TdxBarItemLinks* links, Integer index) {}
  virtual void ClearItemList() { FNeedClear = false; }
  virtual Boolean HidesOwnLink() { return true; }
  void MarkForClear() { FNeedClear = true; }
  void ItemsChanged(TObject* sender);
  Boolean CanBeVisible() override { return bool(FOnGetData); }

 protected:
  Boolean FInGetData = false;

 private:
  Boolean FNeedClear = false;
  TNotifyEvent FOnGetData;
};

// A list of strings shown as numbered commands.
class TdxBarListItem : public TCustomdxBarContainerItem {
  ORV_CLASS(TdxBarListItem, TCustomdxBarContainerItem)
 public:
  explicit TdxBarListItem(TComponent* owner);
  ~TdxBarListItem() override;

  Integer GetDataIndex() const;
  void SetDataIndex(Integer value);
  Integer GetItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer value) { FItemIndex = value; }
  TStrings* GetItems() const { return FItems; }
  void SetItems(TStrings* value);
  Boolean GetShowCheck() const { return FShowCheck; }
  void SetShowCheck(Boolean value) { FShowCheck = value; }
  Boolean GetShowNumbers() const { return FShowNumbers; }
  void SetShowNumbers(Boolean value) { FShowNumbers = value; }
  // The generated buttons.
  Integer GetGeneratedCount() const { return Integer(FItemList.size()); }
  TdxBarButton* GetGenerated(Integer index) const { return FItemList.at(size_t(index)); }

  virtual AnsiString GetItemHint(const AnsiString& text) { return AnsiString(); }
  virtual AnsiString FormatItemText(const AnsiString& text) { return text; }
  virtual AnsiString GetItemDisplayText(Integer index) { return FormatItemText(FItems->Get(index)); }

  void AddListItems(TdxBarItemLinks* links, Integer index, TdxBarItemLink* sourceLink, Boolean firstTime) override;
  void DeleteListItems(TdxBarItemLinks* links, Integer index) override;
  void ClearItemList() override;
  void DirectClick() override;
  Boolean CanBeVisible() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void EntryClick(TObject* sender);
  void FreeGenerated();
  TStringList* FItems;
  Integer FItemIndex = -1;
  Boolean FShowCheck = false;
  Boolean FShowNumbers = true;
  std::vector<TdxBarButton*> FItemList;
};

namespace orv {
// What an entry of an extra-pane list shows (a recently used file): the object of its line.
class TBarExtraPaneEntry : public TObject {
  ORV_CLASS(TBarExtraPaneEntry, TObject)
 public:
  TBarExtraPaneEntry() = default;
  AnsiString DisplayName;
  AnsiString FileName;
  Integer ImageIndex = -1;
};
}  // namespace orv

using TdxBarExtraPaneGetDisplayTextEvent = orv::Event<void(TObject* sender, Integer index, AnsiString& text)>;

// The recently used files of an application menu: one entry per line of Items, whose object
// (an orv::TBarExtraPaneEntry) gives its name, file and image, under a title with the caption.
class TdxBarExtraPaneListItem : public TdxBarListItem {
  ORV_CLASS(TdxBarExtraPaneListItem, TdxBarListItem)
 public:
  explicit TdxBarExtraPaneListItem(TComponent* owner) : TdxBarListItem(owner) {}
  void BeforeDestruction() override;

  const TdxBarExtraPaneGetDisplayTextEvent& GetOnGetDisplayText() const { return FOnGetDisplayText; }
  void SetOnGetDisplayText(const TdxBarExtraPaneGetDisplayTextEvent& value) { FOnGetDisplayText = value; }
  TdxBarLabel* GetTitle() const { return FTitle; }

  AnsiString GetItemHint(const AnsiString& text) override { return text; }
  // The entry's display name (OnGetDisplayText may change it), else its file name without folder
  // and extension.
  AnsiString GetItemDisplayText(Integer index) override;
  void AddListItems(TdxBarItemLinks* links, Integer index, TdxBarItemLink* sourceLink, Boolean firstTime) override;
  void DeleteListItems(TdxBarItemLinks* links, Integer index) override;
  void ClearItemList() override;
  Boolean CanBeVisible() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  orv::TBarExtraPaneEntry* Entry(Integer index) const;
  TdxBarLabel* FTitle = nullptr;
  TdxBarExtraPaneGetDisplayTextEvent FOnGetDisplayText;
};

// Inserts the links of its own collection into the menu that shows it.
class TdxBarContainerItem : public TCustomdxBarContainerItem {
  ORV_CLASS(TdxBarContainerItem, TCustomdxBarContainerItem)
 public:
  explicit TdxBarContainerItem(TComponent* owner);
  Boolean HasVisibleLinks();
  void AddListItems(TdxBarItemLinks* links, Integer index, TdxBarItemLink* sourceLink, Boolean firstTime) override;
  void DeleteListItems(TdxBarItemLinks* links, Integer index) override;
  Boolean CanBeVisible() override;
  Boolean CanMergeWith(TdxBarItem* item) override { return dynamic_cast<TdxBarContainerItem*>(item) != nullptr; }
};

enum TdxBarBorderStyle { bbsNone, bbsSingle };

// A toolbar or the main-menu bar of a manager: a caption, the links it shows, its dock state
// (floating, or docked at a side of the form), its row and floating bounds and its display
// options. Its window exists while it is visible.
class TdxBar : public TcxComponentCollectionItem, public IdxBarLinksOwner, public IdxBarSelectableItem {
  ORV_CLASS(TdxBar, TcxComponentCollectionItem)
 public:
  explicit TdxBar(TComponent* owner);
  ~TdxBar() override;
  // The buttons on the bar's caption (made on first use).
  TdxBarCaptionButtons* GetCaptionButtons();
  void SetCaptionButtons(TdxBarCaptionButtons* value);

  TdxBarManager* GetBarManager() const override;

  // ---- The bar as a selectable object: deletable while designing, or a bar the user made that
  // may close, as far as the designer agrees; the bars follow each other round.
  Boolean IsDeletable(Boolean withItems = false) override;
  void DeleteSelectable(TObject*& selection, Boolean withItems = false) override;
  void ApplyCommand(Integer command) override {}
  TObject* GetObject() override { return this; }
  void AddOwnerObjects(TdxObjectList* list) override;
  TObject* GetNextSelectable() override;
  TObject* GetSelectableParent() override;
  Integer GetSelectionState() override;
  Word GetCommands() override { return 0; }
  void InvalidateSelection() override;
  Boolean IsComplex() override { return false; }
  Boolean IsInSelection() override { return GetSelectionState() == 1; }
  void SelectObject(Integer operation) override;
  Boolean SelectParent() override { return false; }
  void SelectionChanged() override { InvalidateSelection(); }

  // ---- Published
  Boolean GetAllowClose() const { return FAllowClose; }
  void SetAllowClose(Boolean value);
  Boolean GetAllowCustomizing() const { return FAllowCustomizing; }
  void SetAllowCustomizing(Boolean value);
  Boolean GetAllowQuickCustomizing() const { return FAllowQuickCustomizing; }
  void SetAllowQuickCustomizing(Boolean value) { FAllowQuickCustomizing = value; }
  Boolean GetAllowReset() const { return FAllowReset; }
  void SetAllowReset(Boolean value);
  TdxBarBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TdxBarBorderStyle value);
  const AnsiString& GetCaption() const { return FCaption; }
  // Ignored when another bar of the manager has the caption already.
  void SetCaption(const AnsiString& value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  // The user dock site holding the bar (nil: at a form edge or floating); the bar then takes
  // the site's side as its DockingStyle. Sites of another manager are ignored.
  TdxBarDockControl* GetDockControl() const;
  void SetDockControl(TdxBarDockControl* value);
  // The user dock site the bar goes back to when docked again.
  TdxBarDockControl* GetDockedDockControl() const { return FDockedDockControl; }
  void SetDockedDockControl(TdxBarDockControl* value);
  // Where the bar docks: its user site, else the form-edge site of its style.
  TdxDockControl* GetRealDockControl() const;
  // A user dock site goes: the bar forgets it (and leaves it for the form edge of its side).
  void DockControlRemoved(TdxBarDockControl* site);
  TdxBarDockingStyle GetDockedDockingStyle() const { return FDockedDockingStyle; }
  void SetDockedDockingStyle(TdxBarDockingStyle value);
  Integer GetDockedLeft() const { return FDockedLeft; }
  void SetDockedLeft(Integer value);
  Integer GetDockedTop() const { return FDockedTop; }
  void SetDockedTop(Integer value);
  // The side the bar is docked at; dsNone floats. While the manager loads, the value read is
  // kept aside and applied when loading ends.
  TdxBarDockingStyle GetDockingStyle() const;
  void SetDockingStyle(TdxBarDockingStyle value);
  // Where the bar floats (screen coordinates) and the size of its client area there.
  Integer GetFloatLeft() const { return FFloatLeft; }
  void SetFloatLeft(Integer value);
  Integer GetFloatTop() const { return FFloatTop; }
  void SetFloatTop(Integer value);
  Integer GetFloatClientWidth() const { return FFloatClientWidth; }
  void SetFloatClientWidth(Integer value);
  Integer GetFloatClientHeight() const { return FFloatClientHeight; }
  void SetFloatClientHeight(Integer value);
  TFont* GetFont() const { return FFont; }
  void SetFont(TFont* value) { FFont->Assign(value); }
  Boolean IsFontStored() const { return FUseOwnFont; }
  TBitmap* GetGlyph() const { return FGlyph; }
  void SetGlyph(TBitmap* value) { FGlyph->Assign(value); }
  Boolean GetHidden() const { return FHidden; }
  void SetHidden(Boolean value) { FHidden = value; }
  Boolean GetIsMainMenu() const { return FIsMainMenu; }
  void SetIsMainMenu(Boolean value);
  TdxBarItemLinks* GetItemLinks() override { return FItemLinks; }
  TdxBarItemLinks* GetLinks() const { return FItemLinks; }
  void SetItemLinks(TdxBarItemLinks* value);
  const AnsiString& GetKeyTip() const { return FKeyTip; }
  void SetKeyTip(const AnsiString& value) { FKeyTip = value; }
  // A main-menu bar is always multi-line.
  Boolean GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(Boolean value);
  TdxBarDockingStyles GetNotDocking() const { return FNotDocking; }
  void SetNotDocking(TdxBarDockingStyles value) { FNotDocking = value; }
  // The name an older description gave the bar.
  const AnsiString& GetOldName() const { return FOldName; }
  void SetOldName(const AnsiString& value) { FOldName = value; }
  Boolean GetOneOnRow() const { return FOneOnRow; }
  void SetOneOnRow(Boolean value);
  Boolean GetRotateWhenVertical() const { return FRotateWhenVertical; }
  void SetRotateWhenVertical(Boolean value);
  // The index of the dock row the bar is in, while it is in one; else the value set.
  Integer GetRow() const;
  void SetRow(Integer value);
  Boolean GetShowMark() const { return FShowMark; }
  void SetShowMark(Boolean value) { FShowMark = value; }
  Boolean GetSizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(Boolean value) { FSizeGrip = value; }
  // The bar draws with Font instead of the manager's font; an outside change of Font sets it.
  Boolean GetUseOwnFont() const { return FUseOwnFont; }
  void SetUseOwnFont(Boolean value);
  // The font the bar's items are drawn with while UseOwnFont holds: a copy of Font.
  TFont* GetItemFont() const { return FItemFont; }
  // Held by the links.
  Boolean GetUseRecentItems() const;
  void SetUseRecentItems(Boolean value);
  Boolean GetUseRestSpace() const { return FUseRestSpace; }
  void SetUseRestSpace(Boolean value) { FUseRestSpace = value; }
  // While the manager loads, the value read is kept aside and applied when loading ends.
  Boolean GetVisible() const;
  void SetVisible(Boolean value);
  // A main-menu bar always takes a whole row.
  Boolean GetWholeRow() const { return FWholeRow; }
  void SetWholeRow(Boolean value);
  TBitmap* GetBackgroundBitmap() const { return FBackgroundBitmap; }
  void SetBackgroundBitmap(TBitmap* value) { FBackgroundBitmap->Assign(value); }
  Byte GetAlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte value) { FAlphaBlendValue = value; }

  // ---- Queries
  // The floating caption may show a close button: AllowClose, and not the main menu.
  Boolean CanClose() const { return FAllowClose && !FIsMainMenu; }
  // False when the bar's or the manager's NotDocking holds all five styles.
  Boolean CanMove() const;
  // Predefined (present when loading ended) and AllowReset.
  Boolean CanReset() const { return FPredefined && FAllowReset; }
  Boolean IsFloating() const { return FControl && GetDockingStyle() == dsNone; }
  // Only a borderless whole-row bar at the bottom can have a size grip.
  Boolean CanHaveSizeGrip() const { return FBorderStyle == bbsNone && GetDockingStyle() == dsBottom && FWholeRow; }
  Boolean GetPredefined() const { return FPredefined; }
  // Docks the bar at `style` (dsNone floats it).
  void DockTo(TdxBarDockingStyle style);
  // The manager applies the values read while it loaded and marks the bar predefined.
  void ApplyLoadedValues();
  // ---- Layout: section base + "Bar" + index.
  void ReadLayout(TCustomIniFile* source, const AnsiString& baseSection, TdxBarLayoutStoreKind kind, Integer index);
  void WriteLayout(TCustomIniFile* destination, const AnsiString& baseSection, TdxBarLayoutStoreKind kind, Integer index);
  void ReadUsageData(TCustomIniFile* source, const AnsiString& baseSection, Integer index);

  // ---- Merging: the links of a merged bar show among this bar's, and the merged bar hides.
  // Merges `bar` into this bar, remembering its visibility to give back when unmerged.
  void Merge(TdxBar* bar) { MergeWith(bar, true); }
  // Unmerges `bar` (every merged bar when nil), giving back its visibility.
  void UnMerge(TdxBar* bar) { UnmergeFrom(bar, true); }
  // Raises EdxException when this bar is merged itself, `bar` is nil or this bar, already
  // merged here, or has merged bars; a bar merged elsewhere moves here.
  void MergeWith(TdxBar* bar, Boolean keepVisibility);
  void UnmergeFrom(TdxBar* bar, Boolean restoreVisibility);
  // Unmerges, last first, the merged bars of `manager` (all when nil).
  void UnmergeAllOf(TdxBarManager* manager, Boolean restoreVisibility);
  // Keeps the merged bars aside (customizing takes merges apart) and merges them again.
  void SaveMerges();
  void RestoreMerges();
  TdxBar* GetMergeTarget() const { return FMergeTarget; }
  Integer GetMergedBarCount() const { return Integer(FMergedBars.size()); }
  TdxBar* GetMergedBar(Integer index) const { return FMergedBars.at(size_t(index)); }
  Boolean GetVisibleBeforeMerge() const { return FVisibleBeforeMerge; }

  // Sub items whose detaching bar this is (a sub item may stand more than once); each hears
  // of the bar's removal.
  void AddFreeNotification(TCustomdxBarSubItem* subItem) { FSubItems.push_back(subItem); }
  void RemoveFreeNotification(TCustomdxBarSubItem* subItem);

  // The bar's window (the bar windows set it while they live).
  TCustomdxBarControl* GetControl() const { return FControl; }
  void SetControl(TCustomdxBarControl* value) { FControl = value; }
  // The row of a dock site the bar belongs to (nil when none).
  TdxDockRow* GetDockRow() const { return FDockRow; }
  void SetDockRow(TdxDockRow* value);
  // Moves a bar in a dock row to the row at the index of its site (appending rows beyond the last).
  void MoveToRow(Integer index);
  // The shortcut search of a bar: the items of its links.
  Boolean IsShortCut(TShortCut shortCut);
  Boolean CanContainItem(TdxBarItem* item, AnsiString& errorText) override;
  TComponent* GetInstance() override { return this; }
  Boolean GetHiddenBecauseEmpty() const { return FHiddenBecauseEmpty; }
  void SetHiddenBecauseEmpty(Boolean value) { FHiddenBecauseEmpty = value; }
  // A rebuild is pending for the end of the manager's update lock.
  Boolean GetChanged() const { return FChanged; }
  void SetChanged(Boolean value) { FChanged = value; }
  void MarkChanged();

  void Assign(TPersistent* source) override;
  // Streamed inside their manager.
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* value) override;
  void BeforeDestruction() override;
  void SetName(const AnsiString& newName) override;

 protected:
  TcxComponentCollection* GetParentCollection(TComponent* parent) override;

 private:
  Boolean IsLoadingValues() const;
  void FontChanged(TObject* sender);
  void ApplyOwnFont();
  AnsiString FCaption;
  void FreeCaptionButtons();
  TdxBarCaptionButtons* FCaptionButtons = nullptr;
  Boolean FAllowClose = true;
  Boolean FAllowCustomizing = true;
  Boolean FAllowQuickCustomizing = true;
  Boolean FAllowReset = true;
  TdxBarBorderStyle FBorderStyle = bbsSingle;
  TColor FColor = clDefault;
  TdxBarDockingStyle FDockedDockingStyle = dsTop;
  Integer FDockedLeft = 0;
  Integer FDockedTop = 0;
  TdxBarDockingStyle FDockingStyle = dsNone;
  TdxBarDockingStyle FLoadedDockingStyle = dsNone;
  TdxBarDockControl* FDockControl = nullptr;
  TdxBarDockControl* FLoadedDockControl = nullptr;
  TdxBarDockControl* FDockedDockControl = nullptr;
  TFont* FFont;
  TFont* FItemFont;
  TBitmap* FGlyph;
  TBitmap* FBackgroundBitmap;
  Boolean FHidden = false;
  Boolean FVisible = false;
  Boolean FLoadedVisible = false;
  Boolean FIsMainMenu = false;
  AnsiString FKeyTip;
  Boolean FMultiLine = false;
  TdxBarDockingStyles FNotDocking;
  Integer FRow = 0;
  Boolean FOneOnRow = false;
  Boolean FRotateWhenVertical = true;
  Boolean FShowMark = true;
  Boolean FSizeGrip = true;
  Boolean FUseOwnFont = false;
  Boolean FUseRestSpace = false;
  Boolean FWholeRow = false;
  Byte FAlphaBlendValue = 255;
  Integer FFloatLeft = 0;
  Integer FFloatTop = 0;
  Integer FFloatClientWidth = 0;
  Integer FFloatClientHeight = 0;
  Boolean FHiddenBecauseEmpty = false;
  Boolean FChanged = false;
  Boolean FPredefined = false;
  Boolean FChangingDockingStyle = false;
  Boolean FInternalFontChange = false;
  Boolean FApplyingLoadedValues = false;
  std::vector<TCustomdxBarSubItem*> FSubItems;
  // Merge bookkeeping.
  TdxBar* FMergeTarget = nullptr;
  std::vector<TdxBar*> FMergedBars;
  std::vector<TdxBar*> FSavedMerges;
  // The bars that keep this one among their saved merges.
  std::vector<TdxBar*> FSavingTargets;
  Boolean FVisibleBeforeMerge = false;
  TdxBarItemLinks* FItemLinks;
  TCustomdxBarControl* FControl = nullptr;
  AnsiString FOldName;
  TdxDockRow* FDockRow = nullptr;
};

class TdxBars : public TcxComponentCollection {
  ORV_CLASS(TdxBars, TcxComponentCollection)
 public:
  explicit TdxBars(TdxBarManager* barManager);

  TdxBarManager* GetBarManager() const { return FBarManager; }
  TdxBar* GetItem(Integer index) const { return static_cast<TdxBar*>(GetItemAt(index)); }
  TdxBar* Add() { return static_cast<TdxBar*>(AddItem()); }
  Integer GetCount() const { return GetItemCount(); }
  // The default dock site of the owner form for a docking style (nil until dock sites exist).
  TdxDockControl* GetDockControl(TdxBarDockingStyle style) const;
  void SetDockControl(TdxBarDockingStyle style, TdxDockControl* value);
  // The interactive move of a toolbar window by its grip or caption: a modal loop while the
  // left button stays down, docking where the pointer comes near a dock site and floating
  // elsewhere (or while Ctrl is held); Escape ends it where the toolbar stands.
  void MoveBarControl(TdxBarControl* barControl);
  // The toolbar window being moved (nil when none), and what the move adds to the pointer to
  // keep a grabbed toolbar in its row.
  TdxBarControl* GetMovingBarControl() const;
  TPoint GetMoveDragOffset() const;

 protected:
  void NameNewItem(TcxComponentCollectionItem* item) override;
  // A changed bar is a change of the layout the designer keeps.
  void CollectionChanged(TcxComponentCollectionItem* item, orv::TComponentCollectionAction action) override;

 private:
  TdxBarManager* FBarManager;
  TdxDockControl* FDockControls[5] = {};
};

// The painter every bar window draws with; the style painters derive from it. The manager
// creates one from GetPainterClass with the look and feel's skin painter.
//
// A painter holds no state of its own: every answer depends on the arguments and the system's
// colours and metrics, read at each call, so one instance serves every bar window of its manager
// at once. The operations keep one fixed order; the style painters override what differs. Below
// are the metric and style answers of the plain, system-coloured look every style falls back to;
// the drawing operations join with the bar windows and item controls they draw.
class TdxBarPainter : public TcxIUnknownObject {
  ORV_CLASS(TdxBarPainter, TcxIUnknownObject)
 public:
  using TCreateSignature = void(TcxCustomLookAndFeelPainterClass skinPainter);
  explicit TdxBarPainter(TcxCustomLookAndFeelPainterClass skinPainter) : FSkinPainter(skinPainter) {}
  TcxCustomLookAndFeelPainterClass GetSkinPainter() const { return FSkinPainter; }

  // ---- Selection frames, checked brush, caption buttons and the backgrounds under toolbars
  // The manager that owns the painter (its flat brushes and dock sites); set by the manager.
  TdxBarManager* GetBarManager() const { return FBarManager; }
  void SetBarManager(TdxBarManager* value) { FBarManager = value; }
  // The checkered pattern brush of checked items.
  virtual HBRUSH GetCheckedBrush();
  virtual void DrawSelectionFrame(HDC dc, const TRect& rect) {}
  // A one-pixel frame of the brush, or of the parent window's own background (only the ring
  // changes).
  virtual void FrameItemBackground(TdxBarItemControl* control, HDC dc, Boolean useBrush, HBRUSH brush,
                                   const TRect& rect);
  virtual TColor GetCaptionButtonGlyphColor(TCustomdxBarControl* barControl, Integer state);
  // State 0 normal, 1 hot, 2 pressed.
  virtual void DrawCaptionButtonBackground(TCustomdxBarControl* barControl, HDC dc, Integer state, const TRect& rect);
  // The background of a toolbar: its picture, its colour, the dock site under it or the bars'
  // picture. `origin` is where the toolbar's client area lies in the DC's coordinates.
  virtual void DrawToolbarBackground(TdxBarControl* toolbar, HDC dc, TColor color, HBRUSH brush, const TRect& origin,
                                     const TRect& rect);
  // What a dock site shows: `whole` is its client rectangle, `origin` where that lies in the DC.
  virtual void DrawDockBackground(TdxDockControl* dockControl, HDC dc, TColor color, HBRUSH brush, const TRect& whole,
                                  const TRect& origin, const TRect& rect);
  virtual void DrawDockBackgroundUnderBar(TdxBarControl* toolbar, HDC dc, TColor color, HBRUSH brush,
                                          const TRect& origin, const TRect& rect);
  virtual void DrawBarBackgroundBitmap(TCustomdxBarControl* barControl, HDC dc, TColor color, HBRUSH brush,
                                       const TRect& origin, const TRect& rect);
  // Whether dock sites show a background of this painter's own (they then paint double-buffered).
  virtual Boolean DrawsOwnDockBackground() { return false; }
  // The gap between two rows of a dock site.
  virtual Integer GetDockRowSpacing() { return GetDockOffset(); }

 private:
  TdxBarManager* FBarManager = nullptr;

 public:

  // ---- Style questions and metrics, in the painters' order of operations
  virtual Boolean DrawsWholeBar() { return false; }
  virtual Boolean NeedsDoubleBuffering() { return false; }
  virtual Boolean SupportsLargeIcons() { return true; }
  virtual Boolean IsStandardLook() { return false; }
  virtual Boolean HandlesNonRecentItems() { return false; }
  // Whether this painter can fade parts of bars (implements IFadingPainter).
  virtual Boolean SupportsFading();
  virtual Boolean DrawsAsMenuBarItem(TdxBarItemControl* control) { return false; }
  virtual Boolean AllowsItemColors() { return false; }
  // Compact items leave out their vertical padding.
  virtual Boolean IsCompactHeight(TCustomdxBarControl* barControl, const TRect& rect) { return rect.Height() < 17; }
  // A system colour index.
  virtual Integer GetMarkGlyphColor(TCustomdxBarControl* toolbar) { return COLOR_BTNTEXT; }
  virtual void GetTextIndentRect(TRect& rect) { rect = TRect{4, 0, 0, 0}; }
  virtual Integer GetScaledMetric(Integer value) { return value; }
  virtual void FillColorRect(TcxCanvas* canvas, const TRect& rect, TColor color);
  virtual Boolean HasScrollButtonAreas() { return false; }
  virtual Integer GetToolbarsAutoAlignOffset() { return 0; }
  virtual Integer GetBarBorderOffset() { return 0; }
  // The height of "Wg" on the canvas plus 6: the text height of bar windows.
  virtual Integer CalcTextHeight(TcxCanvas* canvas);
  virtual Integer GetPopupBorderWidth() { return 2; }
  virtual void GetEditContentOffsets(TRect& rect) { rect = TRect{2, 2, 2, 3}; }
  virtual Integer GetCheckedGlyphShift(TdxBarItemControl* control) { return 0; }
  virtual Integer GetPressedGlyphShift(TdxBarItemControl* control, Boolean checked) { return 0; }
  virtual Boolean UsesGlyphShadow() { return false; }
  virtual Boolean IsFlatStyle() { return false; }
  // A flat style on a button face that is not pure white.
  virtual Boolean IsFlatOnNonWhiteFace();
  virtual Boolean ShiftsPressedButton() { return false; }
  virtual Boolean DrawsGlyphShadowOffset() { return false; }
  virtual Boolean ShowsPressedState() { return true; }
  virtual Integer GetButtonExtraSpace() { return 0; }
  virtual Integer GetGripIndent() { return 0; }
  virtual Integer GetFloatingFrameWidth();
  virtual Integer GetFloatingFrameHeight();
  virtual Integer GetNoGripSize() { return 0; }
  virtual Integer GetGripAreaSize(TCustomdxBarControl* barControl) { return 0; }
  virtual Integer GetGripWidth() { return 3; }
  // The manager's ButtonArrowWidth (doubled for large icons), made odd.
  virtual Integer GetButtonArrowWidth(TdxBarManager* manager);
  virtual Integer GetLargeButtonArrowWidth(TdxBarManager* manager);
  virtual Integer GetMenuSeparatorIndent() { return 0; }
  virtual Boolean UsesNativeBackground() { return false; }
  virtual Boolean HasFlatLook() { return false; }
  virtual Integer GetDockOffset() { return 0; }
  virtual Integer CalcComboArrowWidth(TCustomdxBarControl* barControl, Integer zeroWidth) { return zeroWidth * 2 - 1; }
  virtual void GetEditFrameSizes(Integer& top, Integer& bottom) { top = bottom = 2; }
  virtual void AdjustPopupWindow(HWND window, TRect& rect, Boolean flag) {}
  virtual Boolean SupportsHotTracking() { return true; }
  virtual Boolean AllowsQuickCustomizing() { return true; }
  // Where the etched line stands in a toolbar separator's gap.
  virtual Integer GetSeparatorOffset() { return (GetToolbarSeparatorSize() - 2) / 2; }
  virtual Integer GetToolbarSeparatorSize() { return 6; }
  virtual void GetDockedBorderMargins(TCustomdxBarControl* barControl, TRect& rect);
  virtual Integer GetDockedBorderMargin() { return 1; }
  virtual void GetDockedBorderSizes(TdxBar* bar, TdxBarDockingStyle style, TRect& rect) { rect = TRect{2, 2, 2, 2}; }
  virtual Integer GetFloatingCaptionHeight(TCustomdxBarControl* barControl) { return GetSmallCaptionHeight() + 1; }
  // The system's small caption height, read at each call.
  virtual Integer GetSmallCaptionHeight();
  virtual Boolean DrawsThemedCaption() { return false; }
  virtual void GetCaptionButtonSize(TSize& size);
  virtual Integer GetFloatingSideBorder() { return 0; }
  virtual Integer GetFloatingTopBorder() { return 0; }
  virtual Integer GetFloatingBottomBorder() { return 0; }
  virtual Boolean UsesSizingBorderHitTest() { return false; }
  virtual Boolean IsClassicFrame() { return false; }
  virtual Integer GetMarkSize(TCustomdxBarControl* toolbar) { return 11; }
  virtual void GetSizeGripBarOffsets(TRect& rect) { rect = TRect{0, 0, 0, 0}; }
  virtual Integer GetSizeGripBarBandHeight(TCustomdxBarControl* barControl) { return 2; }
  // The size grip of a status-bar-like toolbar: the scroll-bar arrow metrics.
  virtual void GetSizeGripSize(TdxBarManager* manager, TSize& size);
  virtual Boolean DrawsQuickControlFrame() { return false; }
  virtual void GetItemContentMargins(TRect& rect) { rect = TRect{3, 0, 3, 0}; }
  virtual Boolean AllowsShadows() { return IsFlatStyle(); }
  virtual Boolean UsesFlatDropDown() { return IsFlatStyle(); }
  // The room computed sizes of items get around their content.
  virtual Integer GetExtraHeight() { return 6; }
  virtual Integer GetExtraWidth() { return 7; }
  virtual Integer AddExtraHeight(Integer value) { return value + GetExtraHeight(); }
  virtual Integer AddExtraWidth(Integer value) { return value + GetExtraWidth(); }
  virtual void CalcExtendedSize(Integer width, Integer height, TSize& size) {
    size = TSize{AddExtraWidth(width), AddExtraHeight(height)};
  }
  virtual void GetSmallArrowSize(TSize& size) { size = TSize{5, 3}; }
  virtual void AdjustIconAreaSize(Integer& size) {}
  virtual void AdjustMenuItemWidth(Integer& width) {}
  virtual Integer GetSplitLineWidth() { return 1; }
  virtual void GetComboButtonOffsets(Integer paintType, TRect& rect) { GetEditButtonOffsets(paintType, rect); }
  virtual Integer GetDropDownListBorderSize() { return 2; }
  virtual Boolean HasMenuBand() { return false; }
  virtual Boolean OffsetsRecentGroups() { return false; }
  virtual Integer GetMenuArrowOffset() { return 2; }
  virtual Integer CalcMenuArrowWidth(Integer textHeight) { return textHeight / 4 * 3 + 1; }
  virtual Integer GetMenuSeparatorSize() { return 10; }
  virtual Integer GetMenuBorderOffset(TCustomdxBarControl* subMenu) { return GetMenuBorderWidth() + GetMenuInnerBorderWidth(); }
  virtual Integer GetMenuBorderWidth() { return 1; }
  virtual Integer GetMenuInnerBorderWidth() { return 1; }
  virtual void GetMenuContentOffsets(TCustomdxBarControl* subMenu, TRect& rect);
  virtual Integer GetMenuTextOffset() { return 0; }
  virtual Integer GetMenuExtraIndent() { return 0; }
  virtual Integer CalcDetachGripOffset(Integer size) { return (size - 6) / 2; }
  virtual Integer GetDefaultItemHeight() { return 19; }
  virtual Integer CalcMenuTextHeight(TCustomdxBarControl* barControl, TcxCanvas* canvas) { return CalcTextHeight(canvas); }
  virtual void DrawApplicationMenuButtonExtra() {}
  virtual void GetExtraPaneOffsets(TRect& rect) { rect = TRect{0, 0, 0, 0}; }
  // The application menu's frame, and `rect` of it painted where `excluded` leaves it free.
  virtual void DrawApplicationMenuFrame(TdxBarSubMenuControl* menu, HDC dc, const TRect& rect);
  virtual void DrawApplicationMenuBackground(TdxBarSubMenuControl* menu, TcxCanvas* canvas, const TRect& excluded,
                                             const TRect& rect);
  // The background and the group separators of an application menu's extra pane.
  virtual void DrawExtraPaneBackground(TdxBarControl* pane, HDC dc, TColor color, HBRUSH brush, const TRect& rect);
  virtual void DrawExtraPaneSeparator(TdxBarControl* pane, HDC dc, Boolean horizontal, HBRUSH brush,
                                      const TRect& rect);
  // Hands the look and feel to the manager, which takes it as its own.
  virtual void ApplyLookAndFeel(TdxBarManager* manager, TcxLookAndFeel* lookAndFeel);
  virtual TColor GetEditDefaultColor(TdxBarItemControl* control);
  virtual TColor GetEditTextDefaultColor();
  virtual TColor GetEditDisabledTextColor();
  virtual Boolean IsEditFramedAlways() { return true; }
  virtual Integer GetEditExtraSpace() { return 0; }
  virtual Integer GetEditStateIndex() { return 0; }
  virtual Integer SplitEditState(Integer state) { return 0; }
  virtual void AfterEditDrawn() {}
  virtual void PrepareEditDraw(Integer value1, Integer value2) {}
  virtual void GetEditButtonOffsets(Integer paintType, TRect& rect) { rect = TRect{2, 2, 2, 2}; }
  virtual Boolean IsEditCaptionOutside() { return false; }
  virtual Integer GetEditCaptionIndentInMenu() { return 2; }
  virtual Integer GetEditCaptionIndent() { return 2; }
  virtual Integer GetEditCaptionGap() { return 4; }
  virtual Boolean IsEditCaptionHot(TdxBarItemControl* control) { return false; }
  virtual Boolean IsEditHotInMenu(Integer paintType, Boolean flag) { return false; }
  virtual Boolean HasEditImage() { return false; }
  virtual void GetEditImageOffsets(Integer paintType, TRect& rect) { rect = TRect{1, 2, 1, 2}; }
  virtual Boolean IsCalendarFlat() { return false; }
  virtual TColor GetCalendarHeaderColor() { return clBtnFace; }
  virtual void GetSpinButtonOffsets(Integer paintType, TRect& rect) { rect = TRect{1, 0, 1, 0}; }
  virtual TColor GetProgressColor();
  virtual Integer GetProgressBorder() { return 0; }
  virtual Integer GetProgressChunkSize() { return 12; }
  virtual Boolean IsProgressSolid() { return false; }
  virtual Integer GetArrowItemIndent() { return 0; }
  virtual HBRUSH GetArrowItemBrush();
  virtual Integer GetArrowItemTextIndent() { return 5; }
  virtual void GetSeparatorItemOffsets(TRect& rect) { rect = TRect{6, 0, 0, 0}; }
  virtual Integer GetSeparatorLineHeight() { return 2; }
  virtual TColor GetStaticTextColor() { return clDefault; }
  virtual TColor GetStaticBackgroundColor() { return clDefault; }
  virtual Integer GetStaticCaptionGap() { return 3; }
  virtual void BeforeStaticDrawn() {}
  virtual void AfterStaticDrawn() {}

  // ---- Colours and brushes of items and toolbars
  virtual TColor GetItemTextColor(TdxBarItemControl* control, Boolean selected, Boolean flat);
  virtual void GetDisabledTextColorPair(TdxBarItemControl* control, Boolean selected, TColor& text, TColor& shadow,
                                        Boolean flat);
  virtual void GetItemColors(TdxBarItemControl* control, Boolean enabled, TColor& text, TColor& shadow, Boolean flat,
                             Boolean selected);
  virtual HBRUSH GetToolbarBrush();
  virtual HBRUSH GetToolbarBrushForBar(TCustomdxBarControl* barControl) { return GetToolbarBrush(); }
  // The background of a toolbar's "More Buttons" popup.
  virtual HBRUSH GetQuickControlBrush(TCustomdxBarControl* barControl) { return GetToolbarBrushForBar(barControl); }
  virtual HBRUSH GetFaceBrush();
  virtual HBRUSH GetSelectionBrush();
  virtual HBRUSH GetItemBackgroundBrush(TdxBarItemControlDrawParams* params);
  virtual Boolean IsItemFramed(TdxBarItemControlDrawParams* params);

  // ---- Glyphs, text and buttons
  // Fills with the brush, or lets the parent window paint its background there.
  virtual void FillItemBackground(TdxBarItemControl* control, HDC dc, Boolean useBrush, HBRUSH brush,
                                  const TRect& rect);
  // A classic menu row: the icon cell in the brush of its state, the line right of it and the cell's
  // column above and below (and left of it, when asked) in the column's brush, the text area in the
  // selection or the background brush.
  void FillClassicMenuItem(TdxBarItemControlDrawParams* params, const TRect& rect, HBRUSH background,
                           Boolean nonRecent, Boolean fillLeftOfIcon);
  virtual void DrawLoweredEdge(HDC dc, TRect& rect);
  // The frame around an item's glyph cell (or, without glyph, around its content): each style
  // draws its own.
  virtual void DrawGlyphFrame(TdxBarButtonLikeControlDrawParams* params, HDC dc, const TRect& rect) {}
  virtual void DrawItemGlyph(TdxBarItemControlDrawParams* params, HDC dc, const TRect& area, TRect& glyphRect);
  // The control's image in the look its states choose, over what the DC shows (from the control's
  // glyph cache when the manager caches glyphs).
  void DrawGlyphImage(TdxBarItemControlDrawParams* params, HDC dc, const TRect& glyphRect, Integer index,
                      TCustomImageList* images, TBitmap* glyph);
  virtual void DrawItemText(TdxBarItemControl* control, HDC dc, UINT format, Boolean flat, Boolean clip,
                            Boolean rotated, Boolean selected, Boolean enabled, Integer alignment, const TRect& rect,
                            const AnsiString& text);
  virtual void CalcCaptionRect(TdxBarItemControlDrawParams* params, TRect& rect);
  virtual void CalcGlyphAndTextLayout(TdxBarItemControlDrawParams* params, TRect& textRect, Integer& alignment,
                                      const TRect& glyphRect);
  virtual void OffsetPressedContent(Boolean down, Boolean pressed, TRect& rect);
  virtual void DrawButtonContent(TdxBarItemControlDrawParams* params, const TRect& rect);
  virtual void DrawButtonFrame(TdxBarItemControlDrawParams* params, const TRect& rect, HBRUSH brush);
  virtual void DrawButtonDropDownPart(TdxBarItemControlDrawParams* params, const TRect& rect);
  virtual void CalcButtonParts(TdxBarItemControlDrawParams* params, std::vector<TRect>& parts, const TRect& rect);
  virtual void AdjustButtonWidth(TdxBarItemControlDrawParams* params, Integer& width);

  // ---- Toolbars, captions and borders
  virtual void DrawBarControlBackground(TCustomdxBarControl* barControl);
  virtual void DrawToolbarSeparator(TCustomdxBarControl* barControl, HDC dc, Boolean horizontal, HBRUSH brush,
                                    const TRect& rect);
  // The non-client border of a toolbar on each side for a docking style.
  virtual void CalcBarBorders(TdxBar* bar, TdxBarDockingStyle style, TRect& rect, Boolean withSizeGrip);
  virtual void DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect);
  virtual void DrawFloatingBorder(TdxBarControl* toolbar, HDC dc, const TRect& rect) {}
  virtual void CalcFloatingCaptionRect(const TRect& windowRect, TRect& rect);
  virtual void DrawFloatingCaption(TdxBarControl* toolbar, HDC dc, HBRUSH brush, const TRect& captionRect,
                                   TRect textRect);
  virtual TColor GetFloatingCaptionColor(TCustomdxBarControl* barControl, Boolean active);
  virtual TColor GetFloatingCaptionTextColor();
  virtual void DrawCloseButton(TdxBarControl* toolbar, HDC dc, const TRect& rect) {}

  // ---- Menus: metrics, frames, the side band, separators, items, scroll and expand buttons,
  // shadows. The base look is plain and system-coloured; the styles override what they change.
  // The glyph column of a submenu: the text height, or 40 scaled for large menu items.
  virtual Integer GetIconAreaSize(TCustomdxBarControl* barControl);
  virtual void CalcMenuMetrics(TcxCanvas* canvas, Integer textHeight, Integer& markSize, Integer& arrowWidth);
  virtual Integer GetDetachCaptionHeight(TdxBarSubMenuControl* subMenu);
  virtual Integer GetMenuGlyphColumnWidth(TdxBarSubMenuControl* subMenu);
  virtual Integer CalcMenuIconColumnWidth(TdxBarSubMenuControl* subMenu);
  virtual Integer GetMenuTextIndent(TdxBarItemControlDrawParams* params);
  virtual void CalcMenuIconRect(const TRect& itemRect, Integer iconAreaSize, TRect& rect);
  virtual void CalcMenuTextRect(TdxBarItemControlDrawParams* params, const TRect& itemRect, TRect& rect);
  virtual Integer GetMenuTextSpacing(TdxBarItemControl* control);
  virtual Integer GetScrollButtonHeight(TdxBarSubMenuControl* subMenu);
  virtual void GetScrollButtonRect(TdxBarSubMenuControl* subMenu, Boolean bottom, TRect& rect);
  virtual Boolean TryGetMenuBrush(TCustomdxBarControl* barControl, HBRUSH& brush);
  virtual HBRUSH GetMenuBrush(TCustomdxBarControl* barControl);
  virtual void DeflateDetachCaptionRect(TdxBarSubMenuControl* subMenu, TRect& rect);
  // The begin-group gap above an item of a submenu.
  virtual void CalcMenuGroupSeparatorRect(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control, TRect& rect,
                                          const TRect& itemRect);
  // The row's background: the selection, or the window's (the flat looks draw their own).
  virtual void DrawMenuItemBackground(TdxBarItemControlDrawParams* params, const TRect& rect);
  virtual void DrawMenuItemFrame(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control, Integer visibleIndex,
                                 const TRect& rect, HDC dc) {}
  virtual void DrawMenuGroupSeparator(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control, const TRect& rect,
                                      TcxCanvas* canvas);
  virtual void DrawMenuSeparatorLine(TcxCanvas* canvas, const TRect& rect);
  // The non-client frame of a submenu (window coordinates) and the frame inside its client area.
  virtual void DrawMenuFrame(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect);
  virtual void DrawMenuClientFrame(TdxBarSubMenuControl* subMenu, HDC dc, HBRUSH brush, const TRect& rect);
  virtual void FillMenuArea(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect);
  virtual void DrawMenuBand(TdxBarSubMenuControl* subMenu, TcxCanvas* canvas, TColor color, HBRUSH brush,
                            const TRect& rect);
  // The menu path of a button-like item: background, glyph in the icon column, caption (with a
  // description below it when shown) and the shortcut text right-aligned before the arrow column.
  virtual void DrawMenuItemContent(TdxBarItemControlDrawParams* params, const TRect& rect);
  // The arrow of a sub item: down on a toolbar, right in a menu.
  virtual void DrawSubItemArrow(TdxBarItemControlDrawParams* params, const TRect& rect);
  virtual void DrawScrollButton(TdxBarSubMenuControl* subMenu, TcxCanvas* canvas, Boolean bottom);
  // Direction: 0 left, 1 up, 2 right, 3 down.
  virtual void DrawScrollArrow(TdxBarSubMenuControl* subMenu, TcxCanvas* canvas, Integer direction, TColor color,
                               const TRect& rect);
  virtual void AfterScrollButtonDrawn(TdxBarSubMenuControl* subMenu, TcxCanvas* canvas, Boolean bottom) {}
  virtual void DrawDetachCaption(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect);
  virtual void DrawDetachCaptionGrip(TdxBarSubMenuControl* subMenu, HDC dc, Boolean hot, const TRect& rect);
  virtual void DrawExpandButton(TdxBarSubMenuControl* subMenu, const TRect& rect, Boolean hot);
  // Whether the window casts a shadow, and whether it joins the shadow of the element it
  // was opened from.
  virtual Boolean HasShadow(TCustomdxBarControl* barControl);
  virtual Boolean ShadowTouchesOwner(TCustomdxBarControl* barControl);
  // The check mark of a checked item without a glyph in a submenu: 9 x 7 pixels (18 x 14 for
  // menu fonts of 16 points and more) centred in the rectangle, drawn by DrawCheckGlyph, which
  // each style implements (nothing in the base).
  virtual void DrawCheckMarkCentered(TdxBarItemControl* control, HDC dc, Boolean checked, Integer paintType,
                                     const TRect& rect);
  virtual void DrawCheckGlyph(TdxBarItemControl* control, HDC dc, Integer scale, Integer top, Integer left) {}
  // The joint where a popup touches what opened it: the brush, and the popup's one-pixel line
  // there filled with it (window coordinates of the popup).
  virtual HBRUSH GetOwnerLinkBrush(TdxBarManager* manager);
  virtual void FillOwnerLinkArea(TCustomdxBarControl* barControl, HDC dc);

  // ---- Marks, shadows and the maximized child's buttons of main menus
  // The "More Buttons" mark of a toolbar: its background in a state (0 normal, 1 hot, 2
  // pressed) and the chevrons at position `a` (x on horizontal toolbars, y on vertical ones).
  virtual void DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state, const TRect& rect);
  virtual void DrawMarkChevrons(TdxBarControl* toolbar, HDC dc, Integer a, const TRect& rect);
  // The mark's customize arrow (when quick customizing is offered) and its chevrons (when links
  // are hidden).
  virtual void DrawMarkGlyphs(TdxBarControl* toolbar, HDC dc, const TRect& rect);
  // The mark's rectangle in client coordinates, given the docked one.
  virtual void CalcMarkRect(TdxBarControl* toolbar, TRect& rect) {}
  // The shadow colour of disabled glyphs and dots.
  virtual void FillShadowRect(HDC dc, const TRect& rect);
  // Kind 0 minimize, 1 restore, 2 close; state 0 normal, 1 disabled, 2 hot, 3 pressed with the
  // pointer off, 4 pressed.
  virtual void DrawMDIChildButton(TdxBarControl* toolbar, Integer kind, const TRect& rect, HDC dc, Integer state);
  // The brush behind a button's glyph for its states (checkMark: the glyph is a check mark in a
  // menu).
  virtual HBRUSH GetEditBackgroundBrush(TdxBarButtonLikeControlDrawParams* params, Boolean checkMark);

  // ---- Edits, combos, statics and separators
  // Edit and combo controls keep their parts: 0 the edit area (where the in-place window lies),
  // 1 the glyph area, 2 the caption area, 3 the drop-down button, 4 an ellipsis button. The
  // control hands CalcEditParts part 1 at its left with the glyph width, part 2 with the caption
  // width and part 0 as its edit frame rectangle; the painter lays them out.
  virtual TColor GetBarBackgroundColor(TdxBarItemControl* control);
  virtual TColor GetEditColor(TdxBarItemControlDrawParams* params);
  virtual TColor GetEditTextColor(TdxBarItemControlDrawParams* params);
  virtual void GetEditColors(TdxBarItemControlDrawParams* params, TColor& textColor, TColor& color);
  virtual Boolean IsEditHighlighted(TdxBarItemControlDrawParams* params);
  virtual Boolean IsEditSelectedInMenu(TdxBarItemControlDrawParams* params);
  virtual HBRUSH GetEditBrush(TdxBarItemControl* control);
  virtual Boolean HasEditImageRect(TdxBarItemControlDrawParams* params);
  virtual void CalcEditImageWidth(TdxBarItemControlDrawParams* params, TSize& size);
  // Tells the edit window's owner that its text changed (when asked), then selects all of it.
  virtual void SelectEditText(TdxBarItemControl* control, HWND editWindow, Boolean notify);
  virtual Integer GetSeparatorItemSize(TdxBarItemControlDrawParams* params);
  virtual Boolean HasStaticOwnBrush(TdxBarItemControlDrawParams* params);
  virtual void GetEditCaptionMargins(TRect& rect) { rect = TRect{2, 0, 0, 0}; }
  virtual void CalcEditParts(TdxBarItemControlDrawParams* params, std::vector<TRect>& parts);
  virtual void CalcComboParts(TdxBarItemControlDrawParams* params, std::vector<TRect>& parts, const TRect& itemRect,
                              Integer lastIndex);
  // The edit height for a text height: text height + 9 with the base offsets.
  virtual Integer CalcEditHeight(TdxBarItemControl* control, Integer textHeight);
  // The formatting rectangle of an in-place edit window inside `rect`.
  virtual void CalcEditTextRect(TdxBarItemControl* control, TRect& rect);
  // The entry point of edit and combo controls: caption area, selection, the edit frame around
  // part 0 (and part 3), glyph, caption, and a combo's drop-down button; the control then
  // writes its text inside the frame (DrawEditText, DrawWindowItemText).
  virtual void DrawEdit(TdxBarItemControlDrawParams* params, const TRect& rect);
  virtual void FillEditCaptionArea(TdxBarItemControlDrawParams* params);
  virtual void DrawEditCaptionBackground(TdxBarItemControlDrawParams* params, const TRect& rect) {}
  virtual void DrawEditSelection(TdxBarItemControlDrawParams* params, const TRect& rect);
  // The frame around the edit area; `rect` ends as the area inside it.
  virtual void DrawEditFrame(TdxBarItemControlDrawParams* params, TRect& rect);
  virtual void DrawEditGlyph(TdxBarItemControlDrawParams* params, const TRect& rect);
  virtual void DrawEditCaptionText(TdxBarItemControlDrawParams* params, const TRect& rect);
  // Fills the rectangle with the canvas brush and writes the text 2 pixels in at its top.
  virtual void DrawEditText(TcxCanvas* canvas, const TRect& rect, const AnsiString& text);
  // An edit item's value drawn without its in-place window.
  virtual void DrawWindowItemText(TdxBarItemControl* control, TcxCanvas* canvas, const TRect& rect,
                                  const AnsiString& text);
  // Kind 1: caption width and gap; otherwise the glyph's margins.
  virtual void CalcEditCaptionRect(TdxBarItemControlDrawParams* params, Integer kind, TRect& rect);
  virtual Integer GetEditCaptionWidth(TdxBarItemControlDrawParams* params);
  virtual void EraseItemFrame(TdxBarItemControlDrawParams* params, const TRect& rect);
  virtual void DrawEditButtonFrame(TdxBarItemControlDrawParams* params, HDC dc, Boolean pressed, Boolean hot,
                                   Boolean enabled, const TRect& rect) {}
  virtual void DrawComboDropDownButton(TdxBarItemControlDrawParams* params, const TRect& rect);
  virtual void DrawComboButton(TdxBarItemControlDrawParams* params, TRect& rect, HBRUSH brush) {}
  virtual void DrawComboArrow(TdxBarItemControlDrawParams* params, const TRect& rect, TColor color, Integer size);
  virtual HBRUSH GetDropDownPartBrush(TdxBarItemControlDrawParams* params);
  // The border of a combo's drop-down list: a shadow frame with a frame of the colour inside.
  virtual void DrawDropDownListBorder(HDC dc, TColor color, const TRect& rect);
  // Drop-down windows with a sizing panel (see dxBarCommon): the window's rectangle without its
  // border and panel, and the corner the grip goes to; the panel itself.
  virtual void AdjustDropDownWindowRect(TRect& rect, TdxBarItemControl* control, Boolean calcCorner, Integer& corner);
  virtual void DrawDropDownPanel(HWND window, Boolean hasPanel, Integer corner, TRect& gripRect, TRect& closeRect,
                                 Boolean hot, Boolean down);
  virtual Integer GetDropDownPanelHeight();
  // Labels: border, background, glyph and caption.
  virtual void DrawStatic(TdxBarItemControlDrawParams* params, const TRect& rect);
  virtual void DrawStaticBackground(TdxBarItemControlDrawParams* params, TRect& rect);
  virtual void DrawStaticBorder(TdxBarItemControlDrawParams* params, TRect& rect);
  virtual void GetStaticBorderOffsets(Integer borderStyle, TRect& rect);
  // Separators: a captioned one as a label between lines; otherwise a menu group line or a
  // toolbar separator.
  virtual void DrawSeparatorItem(TdxBarItemControlDrawParams* params, const TRect& rect);
  virtual void DrawSeparatorCaption(TdxBarItemControlDrawParams* params, const TRect& rect) { DrawStatic(params, rect); }

 private:
  TcxCustomLookAndFeelPainterClass FSkinPainter;
};
using TdxBarPainterClass = orv::ClassOf<TdxBarPainter>;
// The painter of a skinned look and feel under bmsUseLookAndFeel; a skin unit replaces it.
extern TdxBarPainterClass dxBarSkinPainterClass;

// The classic three-dimensional look: raised and sunken one-pixel edges on button faces.
class TdxBarStandardPainter : public TdxBarPainter {
  ORV_CLASS(TdxBarStandardPainter, TdxBarPainter)
 public:
  using TdxBarPainter::TdxBarPainter;
  Boolean IsStandardLook() override { return true; }
  Boolean IsCompactHeight(TCustomdxBarControl* barControl, const TRect& rect) override { return false; }
  Integer GetBarBorderOffset() override { return 2; }
  Integer GetCheckedGlyphShift(TdxBarItemControl* control) override { return 1; }
  Integer GetPressedGlyphShift(TdxBarItemControl* control, Boolean checked) override { return 1; }
  Integer GetButtonExtraSpace() override { return 1; }
  Integer GetGripIndent() override { return 2; }
  Integer GetGripAreaSize(TCustomdxBarControl* barControl) override { return 2 * GetGripWidth() + GetGripIndent() + 1; }
  Boolean SupportsHotTracking() override { return false; }
  Boolean AllowsQuickCustomizing() override { return false; }
  Integer GetFloatingSideBorder() override { return 4; }
  Integer GetFloatingTopBorder() override { return 2; }
  Integer GetFloatingBottomBorder() override { return 1; }
  Boolean UsesSizingBorderHitTest() override { return true; }
  Boolean IsClassicFrame() override { return true; }
  Integer GetMenuSeparatorIndent() override { return 2; }
  void GetEditContentOffsets(TRect& rect) override { rect = TRect{2, 1, 2, 1}; }
  Boolean OffsetsRecentGroups() override { return true; }
  Integer GetMenuInnerBorderWidth() override { return 2; }
  Integer GetProgressBorder() override { return 1; }
  void GetMenuContentOffsets(TCustomdxBarControl* subMenu, TRect& rect) override;
  void DrawGlyphFrame(TdxBarButtonLikeControlDrawParams* params, HDC dc, const TRect& rect) override;
  void DrawButtonFrame(TdxBarItemControlDrawParams* params, const TRect& rect, HBRUSH brush) override;
  void DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) override;
  void DrawFloatingBorder(TdxBarControl* toolbar, HDC dc, const TRect& rect) override;
  void DrawCloseButton(TdxBarControl* toolbar, HDC dc, const TRect& rect) override;
  void DrawCheckGlyph(TdxBarItemControl* control, HDC dc, Integer scale, Integer top, Integer left) override;
  void DrawMarkChevrons(TdxBarControl* toolbar, HDC dc, Integer a, const TRect& rect) override;
  void DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state, const TRect& rect) override;
  void CalcMarkRect(TdxBarControl* toolbar, TRect& rect) override;
  void FillShadowRect(HDC dc, const TRect& rect) override;
  void DrawMDIChildButton(TdxBarControl* toolbar, Integer kind, const TRect& rect, HDC dc, Integer state) override;
  HBRUSH GetEditBackgroundBrush(TdxBarButtonLikeControlDrawParams* params, Boolean checkMark) override;
  void DrawMenuItemBackground(TdxBarItemControlDrawParams* params, const TRect& rect) override;
  void DrawMenuItemFrame(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control, Integer visibleIndex,
                         const TRect& rect, HDC dc) override;
  void DrawEditButtonFrame(TdxBarItemControlDrawParams* params, HDC dc, Boolean pressed, Boolean hot, Boolean enabled,
                           const TRect& rect) override;
  void DrawComboButton(TdxBarItemControlDrawParams* params, TRect& rect, HBRUSH brush) override;
  void DrawDropDownListBorder(HDC dc, TColor color, const TRect& rect) override;
};
class TdxBarEnhancedPainter : public TdxBarStandardPainter {
  ORV_CLASS(TdxBarEnhancedPainter, TdxBarStandardPainter)
 public:
  using TdxBarStandardPainter::TdxBarStandardPainter;
  Integer GetGripIndent() override { return 1; }
  Integer GetGripAreaSize(TCustomdxBarControl* barControl) override { return GetGripWidth() + GetGripIndent() + 2; }
  Integer GetMenuSeparatorIndent() override { return 12; }
  Boolean SupportsHotTracking() override { return true; }
  Boolean AllowsQuickCustomizing() override { return true; }
  void DrawMarkChevrons(TdxBarControl* toolbar, HDC dc, Integer a, const TRect& rect) override;
  void DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state, const TRect& rect) override;
  void DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) override;
};
// The flat look: one-pixel frames, highlights filled with the manager's flat brushes, white
// menus with a button-face icon column, flat separators. The Office 2003 painter derives from it.
class TdxBarFlatPainter : public TdxBarPainter {
  ORV_CLASS(TdxBarFlatPainter, TdxBarPainter)
 public:
  using TdxBarPainter::TdxBarPainter;
  // ---- Replaced operations (toolbars and items)
  Integer GetBarBorderOffset() override { return 1; }
  Boolean UsesGlyphShadow() override { return true; }
  Boolean IsFlatStyle() override { return true; }
  Boolean DrawsGlyphShadowOffset() override { return true; }
  Boolean HasFlatLook() override { return true; }
  Boolean DrawsQuickControlFrame() override { return true; }
  Integer GetProgressBorder() override { return 1; }
  Boolean IsCalendarFlat() override { return true; }
  Integer GetButtonExtraSpace() override { return 1; }
  Integer GetGripIndent() override { return 1; }
  Integer GetGripAreaSize(TCustomdxBarControl* barControl) override { return GetGripWidth() + GetGripIndent() + 2; }
  Integer GetButtonArrowWidth(TdxBarManager* manager) override;
  Integer GetLargeButtonArrowWidth(TdxBarManager* manager) override;
  Integer GetMenuSeparatorIndent() override { return 8; }
  Integer GetSeparatorOffset() override { return (GetToolbarSeparatorSize() - 1) / 2; }
  Integer GetToolbarSeparatorSize() override { return 5; }
  void AdjustIconAreaSize(Integer& size) override { size += 2; }
  void AdjustMenuItemWidth(Integer& width) override { width += 9; }
  Integer GetMenuArrowOffset() override { return 1; }
  Integer GetMenuSeparatorSize() override { return 5; }
  Integer CalcDetachGripOffset(Integer size) override;
  Integer GetDefaultItemHeight() override { return 20; }
  Integer CalcMenuTextHeight(TCustomdxBarControl* barControl, TcxCanvas* canvas) override {
    return TdxBarPainter::CalcMenuTextHeight(barControl, canvas) + 1;
  }
  void GetEditButtonOffsets(Integer paintType, TRect& rect) override { rect = TRect{1, 1, 1, 1}; }
  Integer GetEditCaptionIndent() override { return 6; }
  Integer GetEditCaptionGap() override { return 5; }
  Integer GetArrowItemIndent() override { return 9; }
  HBRUSH GetToolbarBrush() override;
  HBRUSH GetToolbarBrushForBar(TCustomdxBarControl* barControl) override;
  HBRUSH GetQuickControlBrush(TCustomdxBarControl* barControl) override;
  HBRUSH GetCheckedBrush() override;
  HBRUSH GetFaceBrush() override;
  HBRUSH GetSelectionBrush() override;
  HBRUSH GetItemBackgroundBrush(TdxBarItemControlDrawParams* params) override;
  TColor GetFloatingCaptionColor(TCustomdxBarControl* barControl, Boolean active) override;
  TColor GetCaptionButtonGlyphColor(TCustomdxBarControl* barControl, Integer state) override;
  void DrawSelectionFrame(HDC dc, const TRect& rect) override;
  void DrawLoweredEdge(HDC dc, TRect& rect) override;
  void DrawGlyphFrame(TdxBarButtonLikeControlDrawParams* params, HDC dc, const TRect& rect) override;
  // Toolbar items: the whole face is the glyph frame's, drawn before the glyph and caption
  // (flat: its fill first, its frame last); menu items take the menu path.
  void DrawButtonContent(TdxBarItemControlDrawParams* params, const TRect& rect) override;
  void DrawButtonFrame(TdxBarItemControlDrawParams* params, const TRect& rect, HBRUSH brush) override;
  void DrawToolbarSeparator(TCustomdxBarControl* barControl, HDC dc, Boolean horizontal, HBRUSH brush,
                            const TRect& rect) override;
  void DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) override;
  void DrawFloatingBorder(TdxBarControl* toolbar, HDC dc, const TRect& rect) override;
  void DrawCloseButton(TdxBarControl* toolbar, HDC dc, const TRect& rect) override;

  // ---- Operations of the flat look
  virtual void DrawButtonEdge(TdxBarItemControl* control, HDC dc, Boolean down, Boolean selected, Integer paintType,
                              HBRUSH brush, const TRect& rect);
  virtual HBRUSH GetFlatToolbarBrush(TdxBarItemControl* control);
  virtual HBRUSH GetShadowBrush();
  virtual TColor GetShadowColor();
  // The fill of a toolbar item's face: hot, pressed, checked or idle.
  virtual HBRUSH GetButtonFaceBrush(TdxBarButtonLikeControlDrawParams* params);
  // The frame a popup draws around itself where it meets its owner.
  virtual void DrawOwnerFrame(TCustomdxBarControl* barControl, HDC dc, const TRect& rect);
  // The owner's side of the joint with its open popup: the joint line filled (DrawOwnerJoint),
  // the rest of `rect` framed (DrawOwnerFrame). `rect` is in the DC's coordinates, which are
  // the owner window's client coordinates.
  virtual void DrawOwnerJointAndFrame(TCustomdxBarControl* popup, HDC dc, TCustomdxBarControl* ownerWindow,
                                      TdxBarItemControl* control, const TRect& rect);
  virtual void DrawOwnerJoint(TCustomdxBarControl* popup, HDC dc, TdxBarItemControl* control, const TRect& joint,
                              const TRect& popupRect);
  // DrawOwnerJointAndFrame, then the inside filled with the owner link brush.
  virtual void FillOwnerJoint(TCustomdxBarControl* popup, HDC dc, TCustomdxBarControl* ownerWindow,
                              const TRect& rect);
  // The mark framed like a button (selection frame and brush when hot, the owner colour while
  // its popup is open).
  void DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state, const TRect& rect) override;
  Integer GetMarkGlyphColor(TCustomdxBarControl* toolbar) override;

  // ---- Menus: white with a button-face icon column, one-pixel frames and shadow-line separators
  Integer GetMenuTextSpacing(TdxBarItemControl* control) override;
  void CalcMenuMetrics(TcxCanvas* canvas, Integer textHeight, Integer& markSize, Integer& arrowWidth) override;
  Integer GetDetachCaptionHeight(TdxBarSubMenuControl* subMenu) override;
  void CalcMenuIconRect(const TRect& itemRect, Integer iconAreaSize, TRect& rect) override;
  void CalcMenuTextRect(TdxBarItemControlDrawParams* params, const TRect& itemRect, TRect& rect) override;
  Integer GetMenuTextIndent(TdxBarItemControlDrawParams* params) override;
  HBRUSH GetMenuBrush(TCustomdxBarControl* barControl) override;
  void DeflateDetachCaptionRect(TdxBarSubMenuControl* subMenu, TRect& rect) override;
  void CalcMenuGroupSeparatorRect(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control, TRect& rect,
                                  const TRect& itemRect) override;
  void DrawMenuItemBackground(TdxBarItemControlDrawParams* params, const TRect& rect) override;
  void DrawMenuGroupSeparator(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control, const TRect& rect,
                              TcxCanvas* canvas) override;
  void DrawMenuSeparatorLine(TcxCanvas* canvas, const TRect& rect) override;
  void DrawMenuFrame(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) override;
  void DrawMenuClientFrame(TdxBarSubMenuControl* subMenu, HDC dc, HBRUSH brush, const TRect& rect) override;
  void FillMenuArea(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) override;
  void DrawDetachCaption(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) override;
  void DrawCheckGlyph(TdxBarItemControl* control, HDC dc, Integer scale, Integer top, Integer left) override;

  // ---- Edits, combos and drop-downs: one-pixel frames, the selection frame while hot
  void GetEditCaptionMargins(TRect& rect) override { rect = TRect{7, 0, 0, 0}; }
  Boolean IsEditSelectedInMenu(TdxBarItemControlDrawParams* params) override;
  HBRUSH GetEditBrush(TdxBarItemControl* control) override;
  void DrawEditFrame(TdxBarItemControlDrawParams* params, TRect& rect) override;
  void DrawEditSelection(TdxBarItemControlDrawParams* params, const TRect& rect) override;
  void DrawEditButtonFrame(TdxBarItemControlDrawParams* params, HDC dc, Boolean pressed, Boolean hot, Boolean enabled,
                           const TRect& rect) override;
  void DrawComboButton(TdxBarItemControlDrawParams* params, TRect& rect, HBRUSH brush) override;
  void DrawDropDownPanel(HWND window, Boolean hasPanel, Integer corner, TRect& gripRect, TRect& closeRect,
                         Boolean hot, Boolean down) override;
};
// The look of the platform's visual styles: toolbar buttons, grips, edits, combo buttons and
// separators drawn by the theme. The manager creates it only while visual styles are active
// (never on this platform, where the XP style paints with the enhanced painter); theme drawing
// that cannot run draws nothing. Its metrics are measured from the theme at each creation.
class TdxBarXPPainter : public TdxBarPainter {
  ORV_CLASS(TdxBarXPPainter, TdxBarPainter)
 public:
  explicit TdxBarXPPainter(TcxCustomLookAndFeelPainterClass skinPainter);
  // Measures the theme metrics again (every XP painter shares them).
  static void MeasureThemeMetrics();
  Boolean DrawsAsMenuBarItem(TdxBarItemControl* control) override;
  Integer GetScaledMetric(Integer value) override { return value * 2; }
  Integer GetCheckedGlyphShift(TdxBarItemControl* control) override { return 1; }
  Integer GetPressedGlyphShift(TdxBarItemControl* control, Boolean checked) override { return checked ? 0 : 1; }
  Boolean UsesGlyphShadow() override { return true; }
  Integer GetGripAreaSize(TCustomdxBarControl* barControl) override { return GetGripWidth() + GetGripIndent() + 2; }
  Integer GetGripWidth() override;
  Integer GetButtonArrowWidth(TdxBarManager* manager) override;
  Integer GetLargeButtonArrowWidth(TdxBarManager* manager) override;
  Boolean UsesNativeBackground() override { return true; }
  Integer CalcComboArrowWidth(TCustomdxBarControl* barControl, Integer zeroWidth) override;
  Integer GetSeparatorOffset() override { return (GetToolbarSeparatorSize() - 1) / 2; }
  Integer GetToolbarSeparatorSize() override;
  Integer GetDockedBorderMargin() override { return 0; }
  Boolean DrawsThemedCaption() override { return true; }
  void GetCaptionButtonSize(TSize& size) override;
  Boolean DrawsQuickControlFrame() override { return true; }
  Boolean AllowsShadows() override { return true; }
  Integer GetExtraHeight() override;
  Integer GetExtraWidth() override { return GetExtraHeight(); }
  void AdjustIconAreaSize(Integer& size) override { size += 1; }
  Integer GetSplitLineWidth() override { return 0; }
  Integer GetMenuArrowOffset() override { return 1; }
  Integer GetMenuSeparatorSize() override;
  Integer GetSeparatorLineHeight() override { return GetMenuSeparatorSize(); }
  void GetEditButtonOffsets(Integer paintType, TRect& rect) override;
  Integer GetEditCaptionIndent() override { return 6; }
  Integer GetEditCaptionGap() override { return 5; }
  void GetEditCaptionMargins(TRect& rect) override { rect = TRect{5, 0, 0, 0}; }
  void GetEditImageOffsets(Integer paintType, TRect& rect) override { rect = TRect{1, 1, 1, 1}; }
  Boolean IsCalendarFlat() override { return true; }
  void GetSpinButtonOffsets(Integer paintType, TRect& rect) override { rect = TRect{0, 0, 0, 0}; }
  TColor GetProgressColor() override;
  Integer GetProgressChunkSize() override;
  TColor GetEditDefaultColor(TdxBarItemControl* control) override;
  TColor GetEditTextDefaultColor() override;
  TColor GetEditDisabledTextColor() override;
  TColor GetBarBackgroundColor(TdxBarItemControl* control) override;
  HBRUSH GetToolbarBrushForBar(TCustomdxBarControl* barControl) override;
  HBRUSH GetMenuBrush(TCustomdxBarControl* barControl) override;
  void DrawGlyphFrame(TdxBarButtonLikeControlDrawParams* params, HDC dc, const TRect& rect) override;
  void DrawButtonFrame(TdxBarItemControlDrawParams* params, const TRect& rect, HBRUSH brush) override;
  void DrawCheckGlyph(TdxBarItemControl* control, HDC dc, Integer scale, Integer top, Integer left) override;
  void DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state, const TRect& rect) override;
  void DrawMenuItemBackground(TdxBarItemControlDrawParams* params, const TRect& rect) override;
  HBRUSH GetEditBackgroundBrush(TdxBarButtonLikeControlDrawParams* params, Boolean checkMark) override;
  void DrawDockBackground(TdxDockControl* dockControl, HDC dc, TColor color, HBRUSH brush, const TRect& whole,
                          const TRect& origin, const TRect& rect) override;
  Boolean DrawsOwnDockBackground() override { return true; }
  void DrawToolbarSeparator(TCustomdxBarControl* barControl, HDC dc, Boolean horizontal, HBRUSH brush,
                            const TRect& rect) override;
  void DrawCloseButton(TdxBarControl* toolbar, HDC dc, const TRect& rect) override;
  void DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) override;
  void DrawFloatingBorder(TdxBarControl* toolbar, HDC dc, const TRect& rect) override;
  TColor GetFloatingCaptionColor(TCustomdxBarControl* barControl, Boolean active) override;
  void DrawMDIChildButton(TdxBarControl* toolbar, Integer kind, const TRect& rect, HDC dc, Integer state) override;
  Integer GetDetachCaptionHeight(TdxBarSubMenuControl* subMenu) override;
  void CalcMenuGroupSeparatorRect(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control, TRect& rect,
                                  const TRect& itemRect) override;
  void DeflateDetachCaptionRect(TdxBarSubMenuControl* subMenu, TRect& rect) override;
  void DrawMenuFrame(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) override;
  void DrawMenuClientFrame(TdxBarSubMenuControl* subMenu, HDC dc, HBRUSH brush, const TRect& rect) override;
  void DrawMenuGroupSeparator(TdxBarSubMenuControl* subMenu, TdxBarItemControl* control, const TRect& rect,
                              TcxCanvas* canvas) override;
  void DrawMenuSeparatorLine(TcxCanvas* canvas, const TRect& rect) override;
  Boolean IsEditSelectedInMenu(TdxBarItemControlDrawParams* params) override;
  HBRUSH GetEditBrush(TdxBarItemControl* control) override;
  void DrawEditFrame(TdxBarItemControlDrawParams* params, TRect& rect) override;
  void DrawComboDropDownButton(TdxBarItemControlDrawParams* params, const TRect& rect) override;
  void EraseItemFrame(TdxBarItemControlDrawParams* params, const TRect& rect) override;
  void DrawDropDownPanel(HWND window, Boolean hasPanel, Integer corner, TRect& gripRect, TRect& closeRect,
                         Boolean hot, Boolean down) override;
  Integer GetDropDownPanelHeight() override;
};
// The Office 2003 look: vertical gradients on toolbars, rounded docked toolbars, gradient-filled
// hot and pressed items inside a selection frame, docks shaded left to right; every colour comes
// from the foundation's Office 2003 palette.
class TdxBarOffice11Painter : public TdxBarFlatPainter {
  ORV_CLASS(TdxBarOffice11Painter, TdxBarFlatPainter)
 public:
  using TdxBarFlatPainter::TdxBarFlatPainter;
  Boolean HandlesNonRecentItems() override { return true; }
  Boolean UsesGlyphShadow() override { return false; }
  Boolean DrawsGlyphShadowOffset() override { return false; }
  Boolean ShowsPressedState() override;
  Integer GetGripIndent() override { return 1 + GetGripDotSpacing(); }
  Integer GetFloatingFrameWidth() override { return 3; }
  Integer GetFloatingFrameHeight() override { return 3; }
  Integer GetNoGripSize() override { return 2; }
  Boolean UsesNativeBackground() override { return true; }
  Integer CalcComboArrowWidth(TCustomdxBarControl* barControl, Integer zeroWidth) override { return 13; }
  Boolean HasMenuBand() override { return true; }
  void GetEditButtonOffsets(Integer paintType, TRect& rect) override { rect = TRect{1, 1, 1, 1}; }
  Boolean IsEditCaptionOutside() override { return true; }
  TColor GetEditDisabledTextColor() override;
  Integer SplitEditState(Integer state) override { return state == 0 || state == 3 ? 1 : 0; }
  TColor GetCalendarHeaderColor() override;
  HBRUSH GetArrowItemBrush() override;
  TColor GetItemTextColor(TdxBarItemControl* control, Boolean selected, Boolean flat) override;
  void GetDisabledTextColorPair(TdxBarItemControl* control, Boolean selected, TColor& text, TColor& shadow,
                                Boolean flat) override;
  TColor GetFloatingCaptionColor(TCustomdxBarControl* barControl, Boolean active) override;
  TColor GetFloatingCaptionTextColor() override;
  TColor GetCaptionButtonGlyphColor(TCustomdxBarControl* barControl, Integer state) override;
  HBRUSH GetToolbarBrush() override;
  HBRUSH GetToolbarBrushForBar(TCustomdxBarControl* barControl) override;
  HBRUSH GetQuickControlBrush(TCustomdxBarControl* barControl) override;
  HBRUSH GetCheckedBrush() override;
  HBRUSH GetFaceBrush() override;
  HBRUSH GetSelectionBrush() override;
  HBRUSH GetItemBackgroundBrush(TdxBarItemControlDrawParams* params) override;
  void GetDockedBorderMargins(TCustomdxBarControl* barControl, TRect& rect) override;
  void GetDockedBorderSizes(TdxBar* bar, TdxBarDockingStyle style, TRect& rect) override;
  void DrawSelectionFrame(HDC dc, const TRect& rect) override;
  void DrawGlyphFrame(TdxBarButtonLikeControlDrawParams* params, HDC dc, const TRect& rect) override;
  void DrawToolbarSeparator(TCustomdxBarControl* barControl, HDC dc, Boolean horizontal, HBRUSH brush,
                            const TRect& rect) override;
  void DrawCaptionButtonBackground(TCustomdxBarControl* barControl, HDC dc, Integer state, const TRect& rect) override;
  void DrawDockedBorder(TdxBarControl* toolbar, HDC dc, HBRUSH brush, TRect& rect) override;
  void DrawFloatingBorder(TdxBarControl* toolbar, HDC dc, const TRect& rect) override;
  void DrawFloatingCaption(TdxBarControl* toolbar, HDC dc, HBRUSH brush, const TRect& captionRect,
                           TRect textRect) override;
  void DrawDockBackground(TdxDockControl* dockControl, HDC dc, TColor color, HBRUSH brush, const TRect& whole,
                          const TRect& origin, const TRect& rect) override;
  void DrawDockBackgroundUnderBar(TdxBarControl* toolbar, HDC dc, TColor color, HBRUSH brush, const TRect& origin,
                                  const TRect& rect) override;
  void DrawBarBackgroundBitmap(TCustomdxBarControl* barControl, HDC dc, TColor color, HBRUSH brush,
                               const TRect& origin, const TRect& rect) override;
  Boolean DrawsOwnDockBackground() override { return true; }
  void DrawButtonEdge(TdxBarItemControl* control, HDC dc, Boolean down, Boolean selected, Integer paintType,
                      HBRUSH brush, const TRect& rect) override;
  HBRUSH GetFlatToolbarBrush(TdxBarItemControl* control) override;
  HBRUSH GetShadowBrush() override;
  TColor GetShadowColor() override;
  void DrawOwnerFrame(TCustomdxBarControl* barControl, HDC dc, const TRect& rect) override;

  void DrawOwnerJoint(TCustomdxBarControl* popup, HDC dc, TdxBarItemControl* control, const TRect& joint,
                      const TRect& popupRect) override;
  HBRUSH GetOwnerLinkBrush(TdxBarManager* manager) override;
  void FillOwnerLinkArea(TCustomdxBarControl* barControl, HDC dc) override;
  Boolean HasShadow(TCustomdxBarControl* barControl) override;

  // ---- Menus: the gradient icon band, the border of the palette, the joint with the opener
  void CalcMenuMetrics(TcxCanvas* canvas, Integer textHeight, Integer& markSize, Integer& arrowWidth) override;
  Integer GetDetachCaptionHeight(TdxBarSubMenuControl* subMenu) override;
  void DeflateDetachCaptionRect(TdxBarSubMenuControl* subMenu, TRect& rect) override;
  HBRUSH GetMenuBrush(TCustomdxBarControl* barControl) override;
  void DrawMenuItemBackground(TdxBarItemControlDrawParams* params, const TRect& rect) override;
  void DrawMenuBand(TdxBarSubMenuControl* subMenu, TcxCanvas* canvas, TColor color, HBRUSH brush,
                    const TRect& rect) override;
  void DrawMenuFrame(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) override;
  void DrawMenuClientFrame(TdxBarSubMenuControl* subMenu, HDC dc, HBRUSH brush, const TRect& rect) override;
  void FillMenuArea(TdxBarSubMenuControl* subMenu, HDC dc, const TRect& rect) override;

  // ---- Edits and combos in the Office 2003 palette
  Boolean IsEditHighlighted(TdxBarItemControlDrawParams* params) override;
  Boolean IsEditSelectedInMenu(TdxBarItemControlDrawParams* params) override;
  void DrawEditFrame(TdxBarItemControlDrawParams* params, TRect& rect) override;
  void DrawEditButtonFrame(TdxBarItemControlDrawParams* params, HDC dc, Boolean pressed, Boolean hot, Boolean enabled,
                           const TRect& rect) override;
  void DrawComboButton(TdxBarItemControlDrawParams* params, TRect& rect, HBRUSH brush) override;
  void DrawDropDownListBorder(HDC dc, TColor color, const TRect& rect) override;

  // ---- The mark: a gradient tab reaching into the rounded frame, its glyphs with a shadow
  void CalcMarkRect(TdxBarControl* toolbar, TRect& rect) override;
  void DrawMarkBackground(TdxBarControl* toolbar, HDC dc, HBRUSH brush, Integer state, const TRect& rect) override;
  void DrawMarkGlyphs(TdxBarControl* toolbar, HDC dc, const TRect& rect) override;

  // ---- Operations of the Office 2003 look
  virtual void DrawGripDots(TCustomdxBarControl* barControl, HDC dc, Boolean horizontal, const TRect& rect);
  virtual Integer GetGripDotSpacing() { return 2; }
};

// ==== Dock sites ==============================================================================

class TdxDockRow;

// One toolbar window in a row of a dock site, with the place the user asked for it (its
// top-left corner in the site's client coordinates).
class TdxDockCol : public TObject {
  ORV_CLASS(TdxDockCol, TObject)
 public:
  TdxDockCol(TdxDockRow* row, TdxBarControl* barControl) : FRow(row), FBarControl(barControl) {}
  TdxDockRow* GetRow() const { return FRow; }
  TdxBarControl* GetBarControl() const { return FBarControl; }
  // RequestedPos := the window's current left and top.
  void UpdateRequestedPos();
  TPoint RequestedPos{};

 private:
  friend class TdxDockRow;
  TdxDockRow* FRow;
  TdxBarControl* FBarControl;
};

// A row of a dock site: the bars that belong to it (shown or not) and one column per toolbar
// window docked in it.
class TdxDockRow : public TObject {
  ORV_CLASS(TdxDockRow, TObject)
 public:
  explicit TdxDockRow(TdxDockControl* dockControl) : FDockControl(dockControl) {}
  // Frees the columns and takes every bar out of the row.
  ~TdxDockRow() override;
  TdxDockControl* GetDockControl() const { return FDockControl; }
  TdxDockCol* AddCol(TdxBarControl* barControl);
  void InsertCol(Integer index, TdxBarControl* barControl);
  void RemoveCol(TdxBarControl* barControl);
  void DeleteCol(Integer index);
  Integer IndexOfCol(TdxBarControl* barControl) const;
  TdxDockCol* GetCol(Integer index) const { return FCols.at(size_t(index)); }
  Integer GetColCount() const { return Integer(FCols.size()); }
  // A bar joins the row; a window of it already docked in this site gets a column at the end.
  void AddBar(TdxBar* bar);
  // The bar and its window's column leave; an emptied row leaves its site when asked.
  void RemoveBar(TdxBar* bar, Boolean deleteWhenEmpty);
  Integer GetBarCount() const { return Integer(FBars.size()); }
  TdxBar* GetBar(Integer index) const { return FBars.at(size_t(index)); }
  Boolean HasBar(TdxBar* bar) const;
  Boolean HasDockedBars() const;
  // Each column's bar is OneOnRow exactly when the row has one column.
  void UpdateOneOnRow();

 private:
  TdxDockControl* FDockControl;
  std::vector<TdxBar*> FBars;
  std::vector<TdxDockCol*> FCols;
};

// A window that holds docked toolbars in rows: one at each edge of a manager's form, or one a
// user places (TdxBarDockControl). Its side comes from its Align.
class TdxDockControl : public TCustomControl {
  ORV_CLASS(TdxDockControl, TCustomControl)
 public:
  explicit TdxDockControl(TComponent* owner);
  // A form-edge site of a manager for a docking style.
  static TdxDockControl* CreateForStyle(TComponent* owner, TdxBarDockingStyle style, TdxBarManager* manager);
  ~TdxDockControl() override;
  void BeforeDestruction() override;

  TdxBarManager* GetBarManager() const { return FBarManager; }
  virtual void SetBarManager(TdxBarManager* value);
  Boolean GetAllowDocking() const { return FAllowDocking; }
  void SetAllowDocking(Boolean value) { FAllowDocking = value; }
  TBitmap* GetBackgroundBitmap() const { return FBackgroundBitmap; }
  void SetBackgroundBitmap(TBitmap* value);
  // The side: alLeft, alRight, alBottom give theirs, every other alignment the top.
  TdxBarDockingStyle GetDockingStyle() const;
  // The fixed style of a form-edge site (dsNone for user sites).
  TdxBarDockingStyle GetFixedStyle() const { return FFixedStyle; }
  Boolean IsVertical() const;
  Boolean IsDestroyingWindows() const { return FDestroyingWindows; }

  // ---- Rows
  Integer GetRowCount() const { return Integer(FRows.size()); }
  TdxDockRow* GetRow(Integer index) const { return FRows.at(size_t(index)); }
  Integer IndexOfRow(TdxDockRow* row) const;
  // A new empty row at the index (clamped to 0 .. row count).
  TdxDockRow* InsertRow(Integer index);
  // The row leaves the site and is freed.
  void DeleteRow(TdxDockRow* row);
  void GetRowRect(Integer index, TRect& rect);
  Integer GetRowThickness(Integer index);
  // The content size plus 2 when it is positive and the sunken border is on.
  Integer GetTotalSize();
  TdxDockCol* FindCol(TdxBarControl* barControl) const;

  // ---- Inserting, removing and moving toolbars (screen points)
  void InsertBarControl(TdxBarControl* barControl, const TPoint& point, Boolean realign);
  void RemoveBarControl(TdxBarControl* barControl, Boolean realign);
  void MoveBarControl(TdxBarControl* barControl, const TPoint& point);
  Integer GetRowAtPoint(const TPoint& point, Boolean& oneOnRow);
  Integer GetColAtPoint(Integer rowIndex, const TPoint& point);
  void GetRowInsertPoint(Integer rowIndex, Boolean oneOnRow, TPoint& point);
  void UpdateColumnPositions();
  void GetDockingZone(TRect& rect);
  void Realign();
  void RefreshFrames();
  // The background painted from, kept while the site's size and colours stay (painters that
  // shade the whole site fill it once).
  HBITMAP GetBackgroundCache(Boolean& empty);
  void SetBackgroundCache(HBITMAP bitmap);

  // ---- Operations the sites may replace
  virtual void BackgroundChanged();
  virtual void ArrangeRows();
  virtual void ArrangeRow(Integer rowIndex, Integer length);
  virtual Boolean CanDockBar(TdxBar* bar);
  virtual void ColorChanged();
  virtual Integer GetContentSize();
  virtual Boolean GetSunkenBorder();
  virtual Boolean UseBarRowIndex() { return true; }
  virtual void UpdateSize();
  virtual TdxBarPainter* GetPainter();
  virtual void DrawBackground(HDC dc, const TRect& rect, TColor color, HBRUSH brush, const TRect& origin);
  virtual Boolean HasBackgroundBitmap();
  virtual Boolean NeedDoubleBuffering();
  virtual void RepaintBarControls();
  virtual void ResetBackgroundCache();
  virtual void UpdateDoubleBuffered();

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Notification(TComponent* component, TOperation operation) override;
  Integer ClientExtent();
  Integer ClientLength();

 private:
  void BitmapChanged(TObject* sender);
  void ArrangeAll();
  Integer FindCol(TdxBarControl* barControl, TdxDockRow*& row) const;
  TdxBarManager* FBarManager = nullptr;
  TdxBarDockingStyle FFixedStyle = dsNone;
  Boolean FAllowDocking = true;
  Boolean FDestroyingWindows = false;
  Boolean FArranging = false;
  TBitmap* FBackgroundBitmap;
  HBITMAP FBackgroundCache = nullptr;
  std::vector<TdxDockRow*> FRows;
};

enum TdxBarDockAlign { dalNone, dalTop, dalBottom, dalLeft, dalRight };

// A dock site the user places on a form.
class TdxBarDockControl : public TdxDockControl {
  ORV_CLASS(TdxBarDockControl, TdxDockControl)
 public:
  explicit TdxBarDockControl(TComponent* owner);
  TdxBarDockAlign GetDockAlign() const { return FDockAlign; }
  // Every docked toolbar takes the side's docking style.
  void SetDockAlign(TdxBarDockAlign value);
  Boolean GetAllowZeroSizeInDesignTime() const { return FAllowZeroSizeInDesignTime; }
  void SetAllowZeroSizeInDesignTime(Boolean value) { FAllowZeroSizeInDesignTime = value; }
  Boolean GetUseOwnColor() const { return FUseOwnColor; }
  void SetUseOwnColor(Boolean value);
  Boolean GetUseOwnSunkenBorder() const { return FUseOwnSunkenBorder; }
  void SetUseOwnSunkenBorder(Boolean value);
  Boolean GetOwnSunkenBorder() const { return FSunkenBorder; }
  void SetOwnSunkenBorder(Boolean value);
  void SetBarManager(TdxBarManager* value) override;
  Boolean CanDockBar(TdxBar* bar) override;
  void ColorChanged() override;
  Integer GetContentSize() override;
  Boolean GetSunkenBorder() override;
  void BackgroundChanged() override;
  // When a loaded layout names no site for a bar in this one, the bar leaves it.
  virtual Boolean CanUndockOnLoad() { return true; }

 private:
  TdxBarDockAlign FDockAlign = dalTop;
  Boolean FAllowZeroSizeInDesignTime = false;
  Boolean FUseOwnColor = false;
  Boolean FUseOwnSunkenBorder = false;
  Boolean FSunkenBorder = false;
  Boolean FSettingColor = false;

 protected:
  void WndProc(TMessage& message) override;
};

// The form-edge dock site of a manager for a docking style, made when first needed (nil without
// a form or for dsNone).
TdxDockControl* GetFormDockControl(TdxBarManager* manager, TdxBarDockingStyle style);
// A toolbar window going away leaves the column it had in a dock site.
void ForgetDockedBarControl(TdxBarControl* barControl);

// ==== Item controls ===========================================================================

// The view level a new control starts with: the bar window decides (not a member of the
// published sets of view levels).
constexpr TdxBarItemViewLevel ivlDefault = TdxBarItemViewLevel(4);

// Size modes, host kinds and content kinds of an item control's computed look.
enum TdxBarItemControlSizeMode : Byte { smSmall, smLargeIcons, smLarge };
enum TdxBarItemControlHostKind : Byte { hkToolbar, hkMenu, hkRotatedToolbar };
enum TdxBarItemControlContentKind : Byte { ceIcon = 1, ceText = 2 };

class TdxBarItemControlViewInfo;
class TdxCachedImageOptions;

// What the painter draws an item control from; the control fills it before each drawing.
class TdxBarItemControlDrawParams : public TObject {
  ORV_CLASS(TdxBarItemControlDrawParams, TObject)
 public:
  using TCreateSignature = void(TdxBarItemControl* owner);
  explicit TdxBarItemControlDrawParams(TdxBarItemControl* owner) : Owner(owner) {}
  Byte SizeMode = smSmall;
  TdxBarItemControl* Owner;
  TcxCanvas* Canvas = nullptr;
  AnsiString Caption;
  AnsiString Description;
  AnsiString ShortCutText;
  Byte HostKind = hkToolbar;
  Byte Content = 0;
  Boolean Enabled = false;
  Boolean Selectable = false;
  Boolean Selected = false;
  Boolean MenuOpen = false;
  Boolean HasDropDown = false;
  Integer HotPart = -1;
  Boolean Customizing = false;
  Boolean Pressed = false;
  Boolean KeyboardSelected = false;
  TSize GlyphCellSize{};
};
using TdxBarItemControlDrawParamsClass = orv::ClassOf<TdxBarItemControlDrawParams>;

class TdxBarButtonLikeControlDrawParams : public TdxBarItemControlDrawParams {
  ORV_CLASS(TdxBarButtonLikeControlDrawParams, TdxBarItemControlDrawParams)
 public:
  using TdxBarItemControlDrawParams::TdxBarItemControlDrawParams;
  Boolean Down = false;
  Boolean Sunken = false;
  Boolean FlatMenuOpen = false;
  Boolean IsButton = false;
  Boolean DropDownEnabled = false;
  Boolean CaptionSelected = false;
  Boolean CaptionFlat = false;
  Boolean GrayScaleGlyph = false;
  Boolean Lowered = false;
  Boolean InMainMenu = false;
  TSize ArrowSize{};
  TdxBarButtonGroupPosition ButtonGroupPosition = bgpNone;
};

// Edit and combo items: whether the in-place window has the focus and whether the control only
// shows its value; the control also hands the painter its item's edit colours (StyleEdit's
// colour and text colour, clDefault when not set).
class TdxBarEditLikeControlDrawParams : public TdxBarItemControlDrawParams {
  ORV_CLASS(TdxBarEditLikeControlDrawParams, TdxBarItemControlDrawParams)
 public:
  using TdxBarItemControlDrawParams::TdxBarItemControlDrawParams;
  Boolean HasFocus = false;
  Boolean ReadOnlyDisplay = false;
  TColor EditColor = clDefault;
  TColor EditTextColor = clDefault;
};
// Labels: the border style (0 none, 1 sunken outer, 2 raised inner, 3 etched, 4 raised inner
// around sunken outer), the label's alignment (taLeftJustify, taRightJustify, taCenter) and
// whether a centred label without caption shows its glyph over the whole rectangle.
class TdxBarStaticLikeControlDrawParams : public TdxBarItemControlDrawParams {
  ORV_CLASS(TdxBarStaticLikeControlDrawParams, TdxBarItemControlDrawParams)
 public:
  using TdxBarItemControlDrawParams::TdxBarItemControlDrawParams;
  Integer BorderStyle = 0;
  Integer Alignment = 0;
  Boolean CenteredGlyph = false;
};
// A separator knows whether its link is the first shown one (no line above its caption then).
class TdxBarSeparatorControlDrawParams : public TdxBarStaticLikeControlDrawParams {
  ORV_CLASS(TdxBarSeparatorControlDrawParams, TdxBarStaticLikeControlDrawParams)
 public:
  using TdxBarStaticLikeControlDrawParams::TdxBarStaticLikeControlDrawParams;
  Boolean FirstShown = false;
};

// The object that shows one link inside one bar window: not a window itself; the bar window
// sizes, lays out, paints and routes input to it. Each item class has its control class in the
// item-class registry; the bar windows make one per shown link.
class TdxBarItemControl : public TcxIUnknownObject, public IdxBarHintSource {
  ORV_CLASS(TdxBarItemControl, TcxIUnknownObject)
 public:
  using TCreateSignature = void(TdxBarItemLink* link);
  explicit TdxBarItemControl(TdxBarItemLink* link);
  ~TdxBarItemControl() override;
  void BeforeDestruction() override;
  // The second step of construction, where the kind's own answers count: draw parameters,
  // view info, style and the starting view level.
  void Initialize();

  TdxBarItemLink* GetItemLink() const { return FItemLink; }
  TdxBarItem* GetItem() const;
  TCustomdxBarControl* GetParent() const { return FParent; }
  TdxBarManager* GetBarManager() const;
  TdxBarPainter* GetPainter() const;
  TcxCanvas* GetCanvas() const;
  TdxBarItemControlDrawParams* GetDrawParams() const { return FDrawParams; }
  TdxBarItemControlViewInfo* GetViewInfo() const { return FViewInfo; }
  // -1: the mouse is not over the control; 100: over it but over no part; else the part.
  Integer GetHotPartIndex() const { return FHotPartIndex; }
  Boolean GetPressed() const { return FPressed; }
  void SetPressed(Boolean value);
  Boolean GetSelectedByMouse() const { return FSelectedByMouse; }
  void SetSelectedByMouse(Boolean value) { FSelectedByMouse = value; }
  Boolean IsActive() const { return FActive; }
  Integer GetPartCount() const { return Integer(FParts.size()); }
  const TRect& GetPartRect(Integer index) const { return FParts.at(size_t(index)); }
  // The link's rectangle in its bar window.
  TRect GetItemRect() const;
  TdxBarItemAlign GetAlign();
  Integer GetTextSize() const;

  // ---- Hint source
  void GetHintInfo(AnsiString& hint, AnsiString& shortCut, Boolean& enabled) override;
  Boolean HasScreenTip() override;
  TdxBarCustomHintViewInfo* CreateHintViewInfo(const AnsiString& hint, const AnsiString& shortCut) override;

  // ---- Notifications from the item
  virtual void CaptionChanged();
  virtual void EnabledChanged();
  virtual void GlyphChanged();
  virtual void LayoutChanged();
  virtual void VisibleChanged();
  virtual void ParentVisibilityChanged(Boolean shown) {}
  virtual void ParentChanged() {}

  // ---- Questions
  virtual Boolean IsEnabled();
  virtual Boolean IsClickable() { return true; }
  virtual Boolean CanDeactivate() { return true; }
  virtual Boolean AcceptsSelection();
  virtual Boolean CanSelectByMouse() { return AcceptsSelection(); }
  virtual Boolean CanPress() { return AcceptsSelection() || IsClickable(); }
  virtual Boolean CanCloseMenusOnClick() { return true; }
  virtual Boolean HasDropDown() { return false; }
  virtual Boolean IsDroppedDown() { return false; }
  // A menu opened from the control keeps clear of it (and joins it) where its window's look is flat.
  virtual Boolean NeedDropDownExcludeRect();
  virtual Boolean IsInSelection();
  virtual Boolean IsExpandKey(Word key) { return false; }
  virtual Boolean WantsDoubleClick() { return false; }
  // Whether a double click on the selected control goes to the window's double-click handling
  // (while designing, or when the control wants it); otherwise it counts as a second press.
  virtual Boolean CanDoubleClick();
  // The control's own answer to a double click that it does not want for expanding a menu.
  virtual void DoubleClick() {}
  virtual Boolean IsInMainMenu() { return false; }
  Boolean IsTextRotated();

  // ---- Actions
  virtual void UpdateHotPart(const TPoint& point);
  // A click: runs ControlClick, then ExecuteClick while the window still holds the control.
  void Click(Boolean byMouse);
  virtual void ControlActivate(Boolean immediate, Boolean byMouse) { FActive = true; }
  virtual void ControlInactivate(Boolean immediate) { FActive = false; }
  virtual void ControlClick(Boolean byMouse) {}
  virtual void ExecuteClick(Boolean byMouse);
  virtual void KeyDown(Word& key, TShiftState shift) {}
  virtual void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {}
  virtual void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {}
  virtual void MouseEnter(Integer x, Integer y) { UpdateHotPart(TPoint{x, y}); }
  virtual void MouseLeave() { UpdateHotPart(TPoint{-1, -1}); }
  virtual void MouseMove(Integer x, Integer y) { UpdateHotPart(TPoint{x, y}); }
  void Invalidate();

  // ---- Sizes and drawing
  Integer CalcWidth();
  Integer CalcHeight();
  Integer GetPartAtPos(const TPoint& point) const;
  virtual void CalculateParts();
  virtual void CalcDrawParams(Boolean full = true);
  // Draws into `canvas` (the window's canvas, or another one) within `rect`.
  void Paint(TcxCanvas* canvas, const TRect& rect, Integer hostKind);
  virtual Integer GetMinWidth() { return 1; }
  virtual Integer GetMinHeight() { return 1; }
  // The view levels the control can show and those its link allows.
  virtual TdxBarItemViewLevels CalcPossibleViewLevels();
  TdxBarItemViewLevels GetPossibleViewLevels();
  TdxBarItemViewLevels GetAllowedViewLevels();
  virtual Byte GetContentKinds();
  virtual Byte GetDefaultContentKinds() { return 0; }
  virtual Byte GetDefaultSizeMode();
  Byte GetSizeMode();
  Byte GetHostKind();
  virtual AnsiString GetCaption();
  virtual AnsiString GetHint();
  virtual TShortCut GetShortCut();
  virtual Integer GetImageIndex();
  virtual TCustomImageList* GetImages();
  virtual TBitmap* GetGlyph();
  // The image of a size mode: the glyph or the image list with its index; false for none.
  virtual Boolean GetImageSource(Byte sizeMode, Integer& index, TCustomImageList*& images, TBitmap*& glyph);
  Boolean HasImageForSize(Byte sizeMode);
  TSize GetGlyphSize(Byte sizeMode);
  Boolean IsGlyphShown();
  Integer GetCaptionWidth();
  Integer GetCaptionOffset();
  HBRUSH GetBkBrush() const;
  Boolean HasOwnBkBrush() const { return FBkBrush != nullptr; }
  // Also empties the glyph cache.
  void ResetCachedValues();
  // The last glyph drawn (filled and used by the painters when the manager caches glyphs).
  TdxCachedImageOptions* GetCachedImageOptions() const { return FCachedImageOptions; }

 protected:
  virtual TdxBarItemControlDrawParamsClass GetDrawParamsClass();
  virtual void Draw(const TRect& rect, Integer hostKind) {}
  virtual Integer GetWidth();
  virtual Integer GetHeight();
  virtual Integer GetSmallWidth();
  virtual Integer GetSmallHeight();
  virtual Integer GetLargeWidth();
  virtual Integer GetLargeHeight();
  virtual Integer GetWidthForSizeMode();
  virtual Integer GetHeightForSizeMode();
  virtual Integer GetGlyphAreaWidth();
  virtual Integer GetCaptionAreaWidth();
  virtual void DoCalcStyleParams();
  void CalcStyleParams();
  void SetParts(const std::vector<TRect>& parts) { FParts = parts; }

 private:
  friend class TdxBarItemControlViewInfo;
  TdxBarItemLink* FItemLink;
  TCustomdxBarControl* FParent = nullptr;
  TcxCanvas* FActiveCanvas = nullptr;
  HBRUSH FBkBrush = nullptr;
  Boolean FActive = false;
  Boolean FPressed = false;
  Boolean FSelectedByMouse = false;
  Integer FTextSize = 0;
  TdxBarItemControlDrawParams* FDrawParams = nullptr;
  Integer FHotPartIndex = -1;
  std::vector<TRect> FParts;
  TdxBarItemControlViewInfo* FViewInfo = nullptr;
  TdxCachedImageOptions* FCachedImageOptions = nullptr;
};
using TdxBarItemControlClass = orv::ClassOf<TdxBarItemControl>;

// The control's place in its bar window and the widths it has per view level.
class TdxBarItemControlViewInfo : public TObject {
  ORV_CLASS(TdxBarItemControlViewInfo, TObject)
 public:
  explicit TdxBarItemControlViewInfo(TdxBarItemControl* control);
  TdxBarItemControl* GetControl() const { return FControl; }
  const TRect& GetBounds() const { return FBounds; }
  void SetBounds(const TRect& value) { FBounds = value; }
  TdxBarItemViewLevel GetViewLevel() const { return FViewLevel; }
  void SetViewLevel(TdxBarItemViewLevel value) { FViewLevel = value; }
  TdxBarItemViewLevels GetAllowedViewLevels() const { return FAllowedViewLevels; }
  // The width at a view level (cached); raises EdxException for a level that is not allowed.
  Integer GetWidth(TdxBarItemViewLevel level);
  void ResetCachedValues();

 private:
  TdxBarItemControl* FControl;
  TRect FBounds;
  TdxBarItemViewLevel FViewLevel = ivlDefault;
  TdxBarItemViewLevels FAllowedViewLevels;
  Integer FWidths[4] = {};
  Boolean FWidthValid[4] = {};
};

// Labels (selectable only while customizing) and the titled separators of menus.
class TdxBarCustomStaticControl : public TdxBarItemControl {
  ORV_CLASS(TdxBarCustomStaticControl, TdxBarItemControl)
 public:
  using TdxBarItemControl::TdxBarItemControl;
  Boolean IsClickable() override { return false; }
  Boolean AcceptsSelection() override;
  Byte GetDefaultContentKinds() override;

 protected:
  TdxBarItemControlDrawParamsClass GetDrawParamsClass() override;
  void Draw(const TRect& rect, Integer hostKind) override;
};
// A separator: a begin-group gap on toolbars; in menus a line, or its bold caption between lines.
class TdxBarSeparatorControl : public TdxBarCustomStaticControl {
  ORV_CLASS(TdxBarSeparatorControl, TdxBarCustomStaticControl)
 public:
  using TdxBarCustomStaticControl::TdxBarCustomStaticControl;
  void CalcDrawParams(Boolean full = true) override;
  Byte GetDefaultContentKinds() override;
  Integer GetMinWidth() override;

 protected:
  TdxBarItemControlDrawParamsClass GetDrawParamsClass() override;
  void Draw(const TRect& rect, Integer hostKind) override;
  Integer GetGlyphAreaWidth() override { return 0; }
  Integer GetWidth() override;
  Integer GetHeight() override;
};
// Controls that press like buttons: buttons, large buttons and sub items.
class TdxBarButtonLikeControl : public TdxBarItemControl {
  ORV_CLASS(TdxBarButtonLikeControl, TdxBarItemControl)
 public:
  using TdxBarItemControl::TdxBarItemControl;
  TdxBarButtonLikeControlDrawParams* GetButtonDrawParams() const {
    return static_cast<TdxBarButtonLikeControlDrawParams*>(GetDrawParams());
  }
  virtual Integer GetArrowWidth();
  virtual Boolean IsCaptionFlat();
  virtual Boolean IsCaptionSelected();
  void CalcDrawParams(Boolean full = true) override;
  Boolean GetShowAnimation() const { return FShowAnimation; }
  void SetShowAnimation(Boolean value) { FShowAnimation = value; }
  // The hover delay of menus: one pending open and one pending close (400 ms each) shared by all
  // button-like controls. Scheduling an open drops a pending close of the same control; a close
  // is scheduled only for a dropped-down control. The pending close can be run at once.
  static void ScheduleHoverOpen(TdxBarButtonLikeControl* control);
  static void ScheduleHoverClose(TdxBarButtonLikeControl* control);
  static void CloseHoverPendingNow();
  static void KillHoverTimersOf(TdxBarButtonLikeControl* control);

 protected:
  TdxBarItemControlDrawParamsClass GetDrawParamsClass() override;
  void Draw(const TRect& rect, Integer hostKind) override;

 private:
  Boolean FShowAnimation = false;
};
class TdxBarButtonControl : public TdxBarButtonLikeControl {
  ORV_CLASS(TdxBarButtonControl, TdxBarButtonLikeControl)
 public:
  using TdxBarButtonLikeControl::TdxBarButtonLikeControl;
  TdxBarButton* GetButton() const;
  Boolean HasDropDown() override;
  Boolean IsInSelection() override;
  Boolean IsCaptionSelected() override;
  Boolean CanCloseMenusOnClick() override;
  void CalcDrawParams(Boolean full = true) override;
  void CalculateParts() override;
  void ControlClick(Boolean byMouse) override;
  void ExecuteClick(Boolean byMouse) override;
  Byte GetDefaultContentKinds() override;
  Byte GetContentKinds() override;
  // The link's paint style; on a toolbar a standard style without image shows the caption.
  TdxBarPaintStyle GetEffectivePaintStyle();
  // Whether the button looks pressed now (the mouse holds it, or it is being clicked).
  Boolean IsPressedLook();
  void BeforeDestruction() override;
  // The drop-down menu: open while the flag is set and its window is there.
  Boolean IsDroppedDown() override;
  TCustomdxBarControl* GetDropDownBarControl();
  Boolean IsExpandKey(Word key) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void ControlActivate(Boolean immediate, Boolean byMouse) override;
  void ControlInactivate(Boolean immediate) override;
  // Puts the bar's menus into their open state and opens the drop-down menu.
  void DropDown(Boolean byMouse);
  void OpenDropDown(Boolean byMouse);
  // The menu closed (`hide`: closes its window too).
  void CloseDropDown(Boolean hide);

 protected:
  Integer GetWidth() override;
  Integer GetHeight() override;
  Integer GetSmallHeight() override;

 private:
  Boolean FDroppedDown = false;
  Boolean FOpeningDropDown = false;
};
// A large button's control: on toolbars the large image with the caption beside or below it (as
// the glyph layout says), its hot image while selected, its own width and height when set.
class TdxBarLargeButtonControl : public TdxBarButtonControl {
  ORV_CLASS(TdxBarLargeButtonControl, TdxBarButtonControl)
 public:
  using TdxBarButtonControl::TdxBarButtonControl;
  Integer GetArrowWidth() override;
  Byte GetDefaultSizeMode() override;
  Byte GetDefaultContentKinds() override;
  TdxBarItemViewLevels CalcPossibleViewLevels() override;
  Boolean GetImageSource(Byte sizeMode, Integer& index, TCustomImageList*& images, TBitmap*& glyph) override;
  void CalcDrawParams(Boolean full = true) override;

 protected:
  Integer GetWidthForSizeMode() override;
  Integer GetHeightForSizeMode() override;
};
// A sub item's control: opens the submenu of the item's links on a click, on an expand key or,
// in menus, after the hover delay; beside itself in a menu, below itself on a toolbar.
class TdxBarSubItemControl : public TdxBarButtonLikeControl {
  ORV_CLASS(TdxBarSubItemControl, TdxBarButtonLikeControl)
 public:
  using TdxBarButtonLikeControl::TdxBarButtonLikeControl;
  void BeforeDestruction() override;
  Boolean HasDropDown() override { return true; }
  Boolean IsInMainMenu() override;
  Byte GetDefaultContentKinds() override;
  Boolean IsClickable() override { return false; }
  Boolean CanCloseMenusOnClick() override { return false; }
  Boolean IsDroppedDown() override;
  Boolean IsExpandKey(Word key) override;
  Boolean WantsDoubleClick() override { return true; }
  Boolean IsCaptionSelected() override;
  void CalcDrawParams(Boolean full = true) override;
  void ControlActivate(Boolean immediate, Boolean byMouse) override;
  void ControlInactivate(Boolean immediate) override;
  void ControlClick(Boolean byMouse) override;
  void ExecuteClick(Boolean byMouse) override {}
  void KeyDown(Word& key, TShiftState shift) override;
  // The submenu window while it exists (made on opening, freed on closing).
  TdxBarSubMenuControl* GetSubMenuControl() const;
  virtual Boolean AllowsActivation() { return true; }
  virtual Boolean CanDropDown();
  virtual void CreateSubMenu();
  virtual void ShowSubMenu();
  // Where the submenu opens (screen coordinates) and the size of this control across the
  // direction of opening.
  virtual void GetSubMenuPosition(TPoint& point, Integer& ownerWidth, Integer& ownerHeight);
  void OpenDropDown(Boolean byMouse);
  void CloseDropDown(Boolean hide);
  void DropDown(Boolean byMouse);

 protected:
  void Draw(const TRect& rect, Integer hostKind) override;
};
// Container and list items: their entries stand in the menu in place of their own link. On a
// toolbar the control's menu lists the links the item generates each time it opens (none while
// customizing), and they go again when the menu closes.
class TdxBarContainerItemControl : public TdxBarSubItemControl {
  ORV_CLASS(TdxBarContainerItemControl, TdxBarSubItemControl)
 public:
  using TdxBarSubItemControl::TdxBarSubItemControl;
  void CreateSubMenu() override;
};

// ==== Categories, image options and backgrounds ===============================================

class TdxBarPersistent : public TPersistent {
  ORV_CLASS(TdxBarPersistent, TPersistent)
 public:
  explicit TdxBarPersistent(TdxBarManager* barManager) : FBarManager(barManager) {}
  TdxBarManager* GetBarManager() const { return FBarManager; }
  TPersistent* GetOwner() override;

 protected:
  TdxBarManager* FBarManager;
};

class TdxBarCategoryData : public TObject {
  ORV_CLASS(TdxBarCategoryData, TObject)
 public:
  TdxBarCategoryData() = default;
  TdxBarItemVisible ItemsVisible = ivAlways;
  TdxBarItemVisible LoadedItemsVisible = ivAlways;
  Boolean HasLoadedItemsVisible = false;
  Boolean Visible = true;
};

// The category names; each item refers to its category by index.
class TdxBarManagerCategories : public TStringList {
  ORV_CLASS(TdxBarManagerCategories, TStringList)
 public:
  explicit TdxBarManagerCategories(TdxBarManager* barManager);
  ~TdxBarManagerCategories() override;

  TdxBarManager* GetBarManager() const { return FBarManager; }
  // The data object of a category, created on first use.
  TdxBarCategoryData* GetData(Integer index);
  TdxBarCategoryData* FindData(Integer index) const;

  void Clear() override;
  void Delete(Integer index) override;
  void Insert(Integer index, const AnsiString& s) override;
  void Exchange(Integer index1, Integer index2) override;
  void Move(Integer curIndex, Integer newIndex) override;
  void DefineProperties(TFiler* filer) override;

 protected:
  void Changed() override;

 private:
  void ReadItemsVisibles(TReader* reader);
  void WriteItemsVisibles(TWriter* writer);
  void ReadVisibles(TReader* reader);
  void WriteVisibles(TWriter* writer);
  void RenumberItems(Integer from, Integer to);
  void EnsureDefault();
  TdxBarManager* FBarManager;
  Boolean FMoving = false;
};

class TdxBarImageOptions : public TdxBarPersistent {
  ORV_CLASS(TdxBarImageOptions, TdxBarPersistent)
 public:
  explicit TdxBarImageOptions(TdxBarManager* barManager);
  ~TdxBarImageOptions() override;

  void Assign(TPersistent* source) override;

  Boolean GetCacheGlyphs() const { return FCacheGlyphs; }
  void SetCacheGlyphs(Boolean value) { FCacheGlyphs = value; }
  TCustomImageList* GetDisabledImages() const { return FImages[kDisabled]; }
  void SetDisabledImages(TCustomImageList* value) { SetImageList(kDisabled, value); }
  TCustomImageList* GetDisabledLargeImages() const { return FImages[kDisabledLarge]; }
  void SetDisabledLargeImages(TCustomImageList* value) { SetImageList(kDisabledLarge, value); }
  TCustomImageList* GetHotImages() const { return FImages[kHot]; }
  void SetHotImages(TCustomImageList* value) { SetImageList(kHot, value); }
  TCustomImageList* GetImages() const { return FImages[kImages]; }
  void SetImages(TCustomImageList* value) { SetImageList(kImages, value); }
  TCustomImageList* GetLargeImages() const { return FImages[kLarge]; }
  void SetLargeImages(TCustomImageList* value);
  TColor GetImageListBkColor() const { return FImageListBkColor; }
  void SetImageListBkColor(TColor value);
  Boolean GetLargeIcons() const { return FLargeIcons; }
  void SetLargeIcons(Boolean value);
  Boolean GetMakeDisabledImagesFaded() const { return FMakeDisabledImagesFaded; }
  void SetMakeDisabledImagesFaded(Boolean value);
  Boolean GetSmoothGlyphs() const { return FSmoothGlyphs; }
  void SetSmoothGlyphs(Boolean value) { FSmoothGlyphs = value; }
  Boolean GetStretchGlyphs() const { return FStretchGlyphs; }
  void SetStretchGlyphs(Boolean value) { FStretchGlyphs = value; }
  Boolean GetUseLargeImagesForLargeIcons() const { return FUseLargeImagesForLargeIcons; }
  void SetUseLargeImagesForLargeIcons(Boolean value);
  Boolean GetUseLeftBottomPixelAsTransparent() const { return FUseLeftBottomPixelAsTransparent; }
  void SetUseLeftBottomPixelAsTransparent(Boolean value);

  Boolean IsLoading() const;
  Boolean UseLargeImages() const { return FUseLargeImagesForLargeIcons && GetLargeImages(); }
  void UpdateGlyphSize();
  Integer GetGlyphSize() const { return FGlyphSize; }

  // The manager's handlers.
  const TNotifyEvent& GetOnGlyphOptionsChanged() const { return FOnGlyphOptionsChanged; }
  void SetOnGlyphOptionsChanged(const TNotifyEvent& value) { FOnGlyphOptionsChanged = value; }
  const TNotifyEvent& GetOnGlyphSizeChanged() const { return FOnGlyphSizeChanged; }
  void SetOnGlyphSizeChanged(const TNotifyEvent& value) { FOnGlyphSizeChanged = value; }
  // The change handler of each image list (the manager tells its items).
  void SetImageListChangeHandler(Integer kind, const TNotifyEvent& handler);

  enum : Integer { kImages, kDisabled, kHot, kLarge, kDisabledLarge, kImageListCount };

 private:
  void SetImageList(Integer kind, TCustomImageList* value);
  void ImageListFreed(TComponent* sender);
  void GlyphOptionsChanged();
  void GlyphSizeChanged();
  TCustomImageList* FImages[kImageListCount] = {};
  TChangeLink* FChangeLinks[kImageListCount] = {};
  TcxFreeNotificator* FFreeNotificator;
  Boolean FCacheGlyphs = true;
  TColor FImageListBkColor = clFuchsia;
  Boolean FLargeIcons = false;
  Boolean FMakeDisabledImagesFaded = false;
  Boolean FSmoothGlyphs = false;
  Boolean FStretchGlyphs = true;
  Boolean FUseLargeImagesForLargeIcons = false;
  Boolean FUseLeftBottomPixelAsTransparent = true;
  Integer FGlyphSize = 16;
  TNotifyEvent FOnGlyphOptionsChanged;
  TNotifyEvent FOnGlyphSizeChanged;
};

class TdxBarBackgrounds : public TdxBarPersistent {
  ORV_CLASS(TdxBarBackgrounds, TdxBarPersistent)
 public:
  explicit TdxBarBackgrounds(TdxBarManager* barManager);
  ~TdxBarBackgrounds() override;

  void Assign(TPersistent* source) override;
  TBitmap* GetBar() const { return FBar; }
  void SetBar(TBitmap* value);
  TBitmap* GetSubMenu() const { return FSubMenu; }
  void SetSubMenu(TBitmap* value);

 private:
  void BarChanged(TObject* sender);
  TBitmap* FBar;
  TBitmap* FSubMenu;
};

// ==== The bar manager =========================================================================

class TdxBarManager : public TComponent, public IdxBarDesigner, public IdxSkinSupport {
  ORV_CLASS(TdxBarManager, TComponent)
 public:
  // A nil owner means the application's main form. Raises EdxException when the owner is not
  // a windowed control or already holds a manager.
  explicit TdxBarManager(TComponent* owner);
  ~TdxBarManager() override;
  void BeforeDestruction() override;

  // ---- Queries
  Boolean IsDesigning() const { return GetComponentState().Contains(csDesigning); }
  Boolean InDestruction() const { return GetComponentState().Contains(csDestroying); }
  Boolean IsLoading() const { return GetComponentState().Contains(csLoading); }
  // Inside Loaded, while the bars take the values read for them.
  Boolean IsLoadingBars() const { return FLoadingBars; }
  Boolean InCustomizingMode() const { return FIsCustomizing || IsDesigning(); }
  Boolean IsCustomizing() const { return FIsCustomizing; }
  Boolean IsUpdateLocked() const { return FLockUpdate > 0; }
  // How often the bars were re-laid out (each last unlock lays them out once).
  Integer GetRealignCount() const { return FRealignCount; }
  // While the older list of bars of a description is read.
  Boolean IsReadingOldBars() const { return FReadingOldBars; }
  Boolean IsDragging() const { return FDragging; }
  TWinControl* GetOwnerControl() const;
  TCustomForm* GetMainForm() const;
  // The main-menu bar when it has no window or its window is visible.
  TdxBar* GetMainMenuBar() const;
  // The main-menu bar whatever its window shows.
  TdxBar* GetMainMenuBarRaw() const { return FMainMenuBar; }
  void SetMainMenuBar(TdxBar* bar) { FMainMenuBar = bar; }
  TCustomdxBarControl* GetMainMenuControl() const;
  TdxBarManagerStyle GetEffectiveStyle() const;
  TdxBarManagerStyle GetPainterStyle() const;
  Boolean UseRecentItems() const;
  Boolean SupportsRecentItems() const { return GetEffectiveStyle() != bmsStandard; }
  Boolean IsResetAllowed() const { return FReadStateCount > 0 && FAllowReset; }
  Integer GetItemCount() const { return FItemList->GetCount(); }
  TdxBarItem* GetItem(Integer index) const;
  Integer GetBarCount() const;
  TdxBar* GetBar(Integer index) const;
  Integer GetGroupCount() const { return FGroups->GetCount(); }
  TdxBarGroup* GetGroup(Integer index) const;
  Integer GetDockControlCount() const { return Integer(FDockControls.size()); }
  TdxBarDockControl* GetDockControl(Integer index) const;
  HWND GetParentHandle() const;
  Integer GetRecentUseThreshold() const { return FRecentUseThreshold; }
  Boolean IsOwnerFormActive() const { return FOwnerFormActive; }
  TdxBarPainter* GetPainter() const { return FPainter; }
  TdxBarPainterClass GetPainterClass();
  TdxBars* GetBars() const { return FBars; }
  TdxBarComponentList* GetItemList() const { return FItemList; }
  TdxObjectList* GetInternalItems() const { return FInternalItems; }
  TdxBarComponentList* GetGroupList() const { return FGroups; }
  TFont* GetEditFont() const { return FEditFont; }
  TFont* GetBarCaptionFont() const { return FBarCaptionFont; }
  HBRUSH GetFlatToolbarBrush() const { return FFlatBrushes[1]; }
  HBRUSH GetFlatBrush(Integer index) const { return FFlatBrushes[index]; }
  TcxEventHandlerCollection* GetIniFileReadHandlers() const { return FHandlers[0]; }
  TcxEventHandlerCollection* GetIniFileWriteHandlers() const { return FHandlers[1]; }
  TcxEventHandlerCollection* GetMDIStateChangedHandlers() const { return FHandlers[2]; }
  TcxEventHandlerCollection* GetSystemFontChangedHandlers() const { return FHandlers[3]; }
  IdxBarDesigner* GetDesigner() const { return FDesigner; }
  void SetDesigner(IdxBarDesigner* value) { FDesigner = value; }
  Boolean IsAnotherManagerCustomizing() const;
  Boolean GetModified() const { return FModified; }
  TdxBarItemControl* GetSelectedItem() const { return FSelectedItem; }
  TCustomdxBarControl* GetFocusedBarControl() const { return FFocusedBarControl; }
  void SetFocusedBarControl(TCustomdxBarControl* value) { FFocusedBarControl = value; }

  // ---- Lookups
  TdxBarItem* GetItemByName(const AnsiString& name) const;
  TdxBar* GetBarByName(const AnsiString& name) const;
  TdxBar* GetBarByCaption(const AnsiString& caption) const;
  void GetItemsByCategory(Integer category, TList* list);
  Integer GetRealCategoryIndex(Integer index);

  // ---- Naming
  AnsiString GetUniqueBarCaption(const AnsiString& prefix) const;
  AnsiString GetUniqueBarName(const AnsiString& prefix);
  AnsiString GetUniqueItemName(TClass itemClass);

  // ---- Changes
  TdxBarGroup* AddGroup();
  TdxBar* AddToolbar(Boolean mainMenu = false);
  void MoveItem(Integer curIndex, Integer newIndex);
  void SetCustomizingMode(Boolean value);
  // Takes apart the merges of every bar (kept to be made again) while customizing; bars of this
  // manager merged into one of its own bars show again meanwhile.
  void UnmergeAll();
  void RemergeAll();
  void SetSelectedItem(TdxBarItemControl* value);
  void StoreSelectedItem(TdxBarItemControl* value) { FSelectedItem = value; }
  void AddDockControl(TdxBarDockControl* dockControl);
  void RemoveDockControl(TdxBarDockControl* dockControl);
  // The registered popup menus (TdxBarPopupMenu, a bar component); the manager frees those
  // still registered when it goes.
  void AddPopupMenu(TdxBarComponent* popupMenu);
  void RemovePopupMenu(TdxBarComponent* popupMenu);
  Integer GetPopupMenuCount() const { return Integer(FPopupMenus.size()); }
  TdxBarComponent* GetPopupMenu(Integer index) const;
  void AddRestoringBar(TdxBar* bar);
  Boolean IsBarRestoring(TdxBar* bar) const;
  void RemoveRestoringBar(TdxBar* bar);
  void ShowRestoredBars();

  // ---- Categories
  TdxBarItemVisible GetCategoryItemsVisible(Integer index);
  void SetCategoryItemsVisible(Integer index, TdxBarItemVisible value);
  Boolean GetCategoryVisible(Integer index);
  void SetCategoryVisible(Integer index, Boolean value);

  // ---- Layout persistence
  // The settings tree under a key path, an ini file, or the ini text in a stream. An empty path
  // or name does nothing. Loading answers whether the stored layout was read: a store whose
  // layout is incomplete or damaged is not applied, and the designed layout is restored instead.
  Boolean LoadFromRegistry(const AnsiString& registryPath);
  void SaveToRegistry(const AnsiString& registryPath);
  Boolean LoadFromIniFile(const AnsiString& fileName);
  void SaveToIniFile(const AnsiString& fileName);
  Boolean LoadFromStream(TStream* stream);
  // Writes the ini text at the stream's position.
  void SaveToStream(TStream* stream);
  // The designed layout, written after loading (nil at design time).
  TMemIniFile* GetSnapshot() const { return FSnapshot; }
  Boolean IsWritingSnapshot() const { return FWritingSnapshot; }
  void WriteSnapshot();
  // The section base of ini files and of the snapshot: the owners' names and the manager's,
  // each followed by ".".
  AnsiString GetIniSectionBase() const;
  Boolean ReadLayout(TCustomIniFile* source, const AnsiString& baseSection, TdxBarLayoutStoreKind kind);
  void WriteLayout(TCustomIniFile* destination, const AnsiString& baseSection, TdxBarLayoutStoreKind kind);
  // Whether the store holds a whole layout under the base that this manager can read.
  Boolean IsLayoutComplete(TCustomIniFile* source, const AnsiString& baseSection, TdxBarLayoutStoreKind kind);
  Integer FindBarIndexInSnapshot(const AnsiString& caption);
  // While a layout is read: whether the stored layout did not know the item.
  Boolean IsNewItem(TdxBarItem* item) const;
  Boolean HasNewItems() const { return FNewItems != nullptr && !FNewItems->empty(); }
  // Recent use of every link back to the designed state.
  void ResetUsageData();
  void ResetUsageDataWithConfirmation();

  // ---- Update lock
  void BeginUpdate();
  void EndUpdate();
  void EndUpdateNoRealign();
  void UpdateBars(Boolean realignChanged = true);

  // ---- Design support
  void DesignerModified();
  void LockDesignerModified(Boolean lock, Boolean notify = true);
  void GetSelectedComponents(TList* list);
  Boolean AllowsDeletion() override;
  void FillSelection(TList* list) override;
  Integer GetSelectionState(TPersistent* object) override;
  Boolean IsSelectedObject(TPersistent* object) override;
  void ChangeSelection(TPersistent* object, Integer operation) override;
  void ReplaceSelection(TList* list) override;
  void EditItem(TdxBarItem* item) override;
  Boolean MakeUniqueName(const AnsiString& prefix, AnsiString& name) override;

  // ---- Events fired here
  virtual void DoClickItem(TdxBarItem* item);
  virtual Boolean CanDock(TdxBar* bar, TdxBarDockingStyle style, TdxDockControl* dockControl);
  void DoBarAfterReset(TdxBar* bar);
  void DoBarBeforeReset(TdxBar* bar);
  void DoBarClose(TdxBar* bar);
  void DoBarAdd(TdxBar* bar);
  void DoBarDelete(TdxBar* bar);
  void DoBarVisibleChange(TdxBar* bar);
  void DoBarDockingStyleChange(TdxBar* bar);
  void DoItemLinkChange(TdxBarItemLink* link);
  void DoCloseButtonClick();
  void DoHelpButtonClick();
  void DoMergeItemLink(TdxBarItemLinks* dst, TdxBarItemLinks* src, TdxBarItemLink* srcLink,
                       TdxBarItemMergeKind kind, Integer& mergeIndex);
  void DoShowCustomizingPopup(TdxBarItemLinks* links);
  void DoShowToolbarsPopup(TdxBarItemLinks* links);

  // ---- Style, painter and fonts
  void StyleChanged();
  void ApplySystemFont();
  void AssignLookAndFeelFromStyle(TcxLookAndFeel* lookAndFeel);

  // ---- Shortcut search
  // The whole search: popup menu links, the owner windows' managers, the other managers of
  // the form. True when some item ran.
  Boolean ExecuteShortCut(TShortCut shortCut);
  // The search within this manager: main menu, other bars, popup menus.
  Boolean ManagerExecuteShortCut(TShortCut shortCut);
  // The link whose caption accelerator is the key (nil until the bar windows provide links'
  // accelerators).
  TdxBarItemLink* FindAcceleratorLink(Word key, TShiftState shift);

  // ---- The owner window
  void OwnerWindowMessage(HWND window, UINT message, LPARAM lParam, WPARAM wParam);
  void SetOwnerFormActive(Boolean active, Boolean force, HWND other = nullptr);
  void UpdateFloatingBarsActivation(Boolean active, Boolean force, HWND other = nullptr);
  void KeepFloatingBarsInWorkArea();
  void ActiveMDIChildChanged(HWND window);
  void MDIStateChanged(Integer state, HWND child);
  void ActivateHint(Boolean show, const AnsiString& text, TObject* object);
  void HideHint() { ActivateHint(false, AnsiString(), nullptr); }
  void UpdateHint(Boolean show, const AnsiString& text, TObject* object);
  void ShowHintNow();
  void ShowHintWindow(const AnsiString& text, const AnsiString& shortCut);

  // ---- Component overrides
  void DefineProperties(TFiler* filer) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void ReadState(TReader* reader) override;
  void SetName(const AnsiString& newName) override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  TComponent* GetChildOwner() override { return GetOwner(); }
  void SetChildOrder(TComponent* child, Integer order) override;

  // ---- Published properties
  Boolean GetAllowCallFromAnotherForm() const { return FAllowCallFromAnotherForm; }
  void SetAllowCallFromAnotherForm(Boolean value) { FAllowCallFromAnotherForm = value; }
  Boolean GetAllowReset() const { return FAllowReset; }
  void SetAllowReset(Boolean value) { FAllowReset = value; }
  Boolean GetAlwaysMerge() const { return FAlwaysMerge; }
  void SetAlwaysMerge(Boolean value) { FAlwaysMerge = value; }
  Boolean GetAlwaysSaveText() const { return FAlwaysSaveText; }
  void SetAlwaysSaveText(Boolean value) { FAlwaysSaveText = value; }
  Boolean GetAutoAlignBars() const { return FAutoAlignBars; }
  void SetAutoAlignBars(Boolean value);
  Boolean GetAutoDockColor() const { return FAutoDockColor; }
  void SetAutoDockColor(Boolean value);
  Boolean GetAutoHideEmptyBars() const { return FAutoHideEmptyBars; }
  void SetAutoHideEmptyBars(Boolean value);
  Boolean GetScaled() const { return FScaled; }
  void SetScaled(Boolean value);
  TFont* GetFont() const { return FFont; }
  void SetFont(TFont* value) { FFont->Assign(value); }
  TdxBarBackgrounds* GetBackgrounds() const { return FBackgrounds; }
  void SetBackgrounds(TdxBarBackgrounds* value) { FBackgrounds->Assign(value); }
  Integer GetButtonArrowWidth() const { return FButtonArrowWidth; }
  void SetButtonArrowWidth(Integer value);
  Boolean GetCanCustomize() const { return FCanCustomize; }
  void SetCanCustomize(Boolean value) { FCanCustomize = value; }
  TdxBarManagerCategories* GetCategories() const { return FCategories; }
  void SetCategories(TStrings* value);
  TColor GetDockColor() const;
  void SetDockColor(TColor value);
  Boolean IsDockColorStored() const { return !FAutoDockColor; }
  Boolean GetFlatCloseButton() const { return FFlatCloseButton; }
  void SetFlatCloseButton(Boolean value);
  TBitmap* GetHelpButtonGlyph() const { return FHelpButtonGlyph; }
  void SetHelpButtonGlyph(TBitmap* value) { FHelpButtonGlyph->Assign(value); }
  THelpContext GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(THelpContext value) { FHelpContext = value; }
  Boolean GetHideFloatingBarsWhenInactive() const { return FHideFloatingBarsWhenInactive; }
  void SetHideFloatingBarsWhenInactive(Boolean value);
  TdxBarImageOptions* GetImageOptions() const { return FImageOptions; }
  void SetImageOptions(TdxBarImageOptions* value) { FImageOptions->Assign(value); }
  TCustomImageList* GetDisabledImages() const;
  void SetDisabledImages(TCustomImageList* value);
  TCustomImageList* GetDisabledLargeImages() const;
  void SetDisabledLargeImages(TCustomImageList* value);
  TCustomImageList* GetHotImages() const;
  void SetHotImages(TCustomImageList* value);
  TColor GetImageListBkColor() const;
  void SetImageListBkColor(TColor value);
  TCustomImageList* GetImages() const;
  void SetImages(TCustomImageList* value);
  TCustomImageList* GetLargeImages() const;
  void SetLargeImages(TCustomImageList* value);
  Boolean GetLargeIcons() const;
  void SetLargeIcons(Boolean value);
  Boolean GetMakeDisabledImagesFaded() const;
  void SetMakeDisabledImagesFaded(Boolean value);
  Boolean GetStretchGlyphs() const;
  void SetStretchGlyphs(Boolean value);
  Boolean GetUseLargeImagesForLargeIcons() const;
  void SetUseLargeImagesForLargeIcons(Boolean value);
  const AnsiString& GetIniFileName() const { return FIniFileName; }
  void SetIniFileName(const AnsiString& value) { FIniFileName = value; }
  Integer GetLargeButtonArrowWidth() const { return FLargeButtonArrowWidth; }
  void SetLargeButtonArrowWidth(Integer value);
  TcxLookAndFeel* GetLookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TcxLookAndFeel* value) { FLookAndFeel->Assign(value); }
  TdxBarMenuAnimations GetMenuAnimations() const { return FMenuAnimations; }
  void SetMenuAnimations(TdxBarMenuAnimations value);
  Boolean GetMenusShowRecentItemsFirst() const { return FMenusShowRecentItemsFirst; }
  void SetMenusShowRecentItemsFirst(Boolean value);
  Byte GetMostRecentItemsPercents() const { return FMostRecentItemsPercents; }
  void SetMostRecentItemsPercents(Integer value);
  TdxBarDockingStyles GetNotDocking() const { return FNotDocking; }
  void SetNotDocking(TdxBarDockingStyles value);
  TdxBarPopupMenuLinks* GetPopupMenuLinks() const { return FPopupMenuLinks; }
  const AnsiString& GetRegistryPath() const { return FRegistryPath; }
  void SetRegistryPath(const AnsiString& value);
  Boolean GetShowCloseButton() const { return FShowCloseButton; }
  void SetShowCloseButton(Boolean value);
  Boolean GetShowFullMenusAfterDelay() const { return FShowFullMenusAfterDelay; }
  void SetShowFullMenusAfterDelay(Boolean value);
  Boolean GetShowHelpButton() const { return FShowHelpButton; }
  void SetShowHelpButton(Boolean value) { FShowHelpButton = value; }
  Boolean GetShowHint() const { return FShowHint; }
  void SetShowHint(Boolean value);
  Boolean GetShowHintForDisabledItems() const { return FShowHintForDisabledItems; }
  void SetShowHintForDisabledItems(Boolean value) { FShowHintForDisabledItems = value; }
  Boolean GetShowShortCutInHint() const { return FShowShortCutInHint; }
  void SetShowShortCutInHint(Boolean value);
  Boolean GetStoreInIniFile() const { return FStoreInIniFile; }
  void SetStoreInIniFile(Boolean value) { FStoreInIniFile = value; }
  Boolean GetStoreInRegistry() const { return FStoreInRegistry; }
  void SetStoreInRegistry(Boolean value) { FStoreInRegistry = value; }
  TdxBarManagerStyle GetStyle() const { return FStyle; }
  void SetStyle(TdxBarManagerStyle value);
  Boolean GetSunkenBorder() const { return FSunkenBorder; }
  void SetSunkenBorder(Boolean value);
  Boolean GetUseF10ForMenu() const { return FUseF10ForMenu; }
  void SetUseF10ForMenu(Boolean value) { FUseF10ForMenu = value; }
  Boolean GetUseFullReset() const { return FUseFullReset; }
  void SetUseFullReset(Boolean value) { FUseFullReset = value; }
  Boolean GetUseSystemFont() const { return FUseSystemFont; }
  void SetUseSystemFont(Boolean value);
  Integer GetWaitForDockingTime() const { return FWaitForDockingTime; }
  void SetWaitForDockingTime(Integer value);

  // ---- Published events
#define ORV_BAR_EVENT(Type, Name) \
  const Type& Get##Name() const { return F##Name; } \
  void Set##Name(const Type& value) { F##Name = value; }
  ORV_BAR_EVENT(TdxBarEvent, OnBarAdd)
  ORV_BAR_EVENT(TdxBarEvent, OnBarAfterReset)
  ORV_BAR_EVENT(TdxBarEvent, OnBarBeforeReset)
  ORV_BAR_EVENT(TdxBarEvent, OnBarClose)
  ORV_BAR_EVENT(TdxBarEvent, OnBarDelete)
  ORV_BAR_EVENT(TdxBarEvent, OnBarDockingStyleChange)
  ORV_BAR_EVENT(TdxBarVisibleChangeEvent, OnBarVisibleChange)
  ORV_BAR_EVENT(TdxBarItemLinkEvent, OnItemLinkAdd)
  ORV_BAR_EVENT(TdxBarItemLinkEvent, OnItemLinkChange)
  ORV_BAR_EVENT(TdxBarItemLinkEvent, OnItemLinkDelete)
  ORV_BAR_EVENT(TdxBarMergeItemLinkEvent, OnMergeItemLink)
  ORV_BAR_EVENT(TNotifyEvent, OnCloseButtonClick)
  ORV_BAR_EVENT(TNotifyEvent, OnHelpButtonClick)
  ORV_BAR_EVENT(TNotifyEvent, OnHideCustomizingForm)
  ORV_BAR_EVENT(TNotifyEvent, OnShowCustomizingForm)
  ORV_BAR_EVENT(TdxBarCanDockingEvent, OnDocking)
  ORV_BAR_EVENT(TdxBarMergeEvent, OnMenuMerge)
  ORV_BAR_EVENT(TdxBarMergeEvent, OnMerge)
  ORV_BAR_EVENT(TdxBarShowPopupEvent, OnShowCustomizingPopup)
  ORV_BAR_EVENT(TdxBarShowPopupEvent, OnShowToolbarsPopup)
  ORV_BAR_EVENT(TdxBarClickItemEvent, OnClickItem)
#undef ORV_BAR_EVENT

  // Registration of an item with its manager (SetParentComponent of items).
  void AddItem(TdxBarItem* item);
  void AddGroupToList(TdxBarGroup* group);

 private:
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed);
  void ThemeChanged(TObject* sender);
  void FontChanged(TObject* sender);
  void HelpButtonGlyphChanged(TObject* sender) {}
  void ImagesChanged(TObject* sender);
  void HotImagesChanged(TObject* sender);
  void LargeImagesChanged(TObject* sender);
  void GlyphOptionsChanged(TObject* sender);
  void GlyphSizeChanged(TObject* sender);
  void CreateBrushes();
  void DestroyBrushes();
  void RecalcRecentUseThreshold();
  void RepaintBars() {}
  void ReadBars(TReader* reader);
  // Design mode, after loading: offers to delete the links whose item was not found.
  void CheckBrokenLinks();
  void ReadDockControlHeights(TReader* reader);
  void WriteDockControlHeights(TWriter* writer);
  void WMActivate(Integer state, Boolean minimized, HWND other, HWND window);
  void WMActivateApp(Boolean active);
  void StateMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OtherMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  [[maybe_unused]] Boolean FConstructorFailed = false;
  // Lists.
  TdxBars* FBars = nullptr;
  TdxBarComponentList* FItemList = nullptr;
  TdxObjectList* FInternalItems = nullptr;
  TdxBarComponentList* FGroups = nullptr;
  TdxBarManagerCategories* FCategories = nullptr;
  std::vector<TdxBarDockControl*> FDockControls;
  std::vector<TdxBarComponent*> FPopupMenus;
  TdxBarPopupMenuLinks* FPopupMenuLinks = nullptr;
  TdxObjectList* FRestoringList = nullptr;
  TdxBar* FMainMenuBar = nullptr;
  // Left and right widths, top and bottom heights of the default dock sites, as streamed.
  Integer FDockControlHeights[4] = {};
  // Painting.
  TdxBarPainter* FPainter = nullptr;
  Boolean FThemeAvailable = false;
  HBRUSH FFlatBrushes[5] = {};
  HBRUSH FThemedToolbarBrush = nullptr;
  TFont* FFont = nullptr;
  TFont* FEditFont = nullptr;
  TFont* FBarCaptionFont = nullptr;
  Boolean FOffice11Acquired = false;
  // Interaction.
  TdxBarItemControl* FSelectedItem = nullptr;
  TCustomdxBarControl* FFocusedBarControl = nullptr;
  Boolean FIsCustomizing = false;
  Boolean FOwnerFormActive = false;
  [[maybe_unused]] Boolean FMaximizedMDIChild = false;
  [[maybe_unused]] HWND FPrevActiveMDIChild = nullptr;
  Boolean FDragging = false;
  // Counters and flags.
  Integer FLockUpdate = 0;
  Integer FRealignCount = 0;
  Boolean FReadingOldBars = false;
  Integer FDesignerModifiedLock = 0;
  Integer FReadStateCount = 0;
  Boolean FModified = false;
  Boolean FDesignerModifiedDue = false;
  Boolean FChangingStyle = false;
  Boolean FInternalFontChange = false;
  Boolean FLoadingBars = false;          // inside Loaded
  Boolean FApplyingLoadedValues = false;
  Boolean FRestoringBars = false;
  Boolean FProcessingCancelMode = false;
  Boolean FProcessingActivation = false;
  Boolean FUpdatingFloatingActivation = false;
  Boolean FMainFormDisabled = false;
  Integer FRecentUseThreshold = 0;
  // Layout persistence.
  TMemIniFile* FSnapshot = nullptr;
  Boolean FWritingSnapshot = false;
  std::vector<TdxBarItem*>* FNewItems = nullptr;
  TcxEventHandlerCollection* FHandlers[4] = {};
  IdxBarDesigner* FDesigner = nullptr;
  TdxThemeChangedNotificator* FThemeNotificator = nullptr;
  // Published values.
  Boolean FAllowCallFromAnotherForm = false;
  Boolean FAllowReset = true;
  Boolean FAlwaysMerge = false;
  Boolean FAlwaysSaveText = false;
  Boolean FAutoAlignBars = false;
  Boolean FAutoDockColor = true;
  Boolean FAutoHideEmptyBars = false;
  Boolean FScaled = true;
  TdxBarBackgrounds* FBackgrounds = nullptr;
  Integer FButtonArrowWidth = 11;
  Boolean FCanCustomize = true;
  TColor FDockColor = clBtnFace;
  Boolean FFlatCloseButton = false;
  TBitmap* FHelpButtonGlyph = nullptr;
  THelpContext FHelpContext = 0;
  Boolean FHideFloatingBarsWhenInactive = true;
  TdxBarImageOptions* FImageOptions = nullptr;
  AnsiString FIniFileName;
  Integer FLargeButtonArrowWidth = 13;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  TdxBarMenuAnimations FMenuAnimations = maNone;
  Boolean FMenusShowRecentItemsFirst = true;
  Byte FMostRecentItemsPercents = 95;
  TdxBarDockingStyles FNotDocking;
  AnsiString FRegistryPath;
  Boolean FShowCloseButton = false;
  Boolean FShowFullMenusAfterDelay = true;
  Boolean FShowHelpButton = false;
  Boolean FShowHint = true;
  Boolean FShowHintForDisabledItems = true;
  Boolean FShowShortCutInHint = false;
  Boolean FStoreInIniFile = false;
  Boolean FStoreInRegistry = false;
  TdxBarManagerStyle FStyle = bmsEnhanced;
  Boolean FSunkenBorder = false;
  Boolean FUseF10ForMenu = true;
  Boolean FUseFullReset = false;
  Boolean FUseSystemFont = false;
  Integer FWaitForDockingTime = 21;
  // Events.
  TdxBarEvent FOnBarAdd, FOnBarAfterReset, FOnBarBeforeReset, FOnBarClose, FOnBarDelete,
      FOnBarDockingStyleChange;
  TdxBarVisibleChangeEvent FOnBarVisibleChange;
  TdxBarItemLinkEvent FOnItemLinkAdd, FOnItemLinkChange, FOnItemLinkDelete;
  TdxBarMergeItemLinkEvent FOnMergeItemLink;
  TNotifyEvent FOnCloseButtonClick, FOnHelpButtonClick, FOnHideCustomizingForm, FOnShowCustomizingForm;
  TdxBarCanDockingEvent FOnDocking;
  TdxBarMergeEvent FOnMenuMerge, FOnMerge;
  TdxBarShowPopupEvent FOnShowCustomizingPopup, FOnShowToolbarsPopup;
  TdxBarClickItemEvent FOnClickItem;
};

// ==== The manager list, registries and lookups ================================================

class TdxBarManagerList : public TdxObjectList {
  ORV_CLASS(TdxBarManagerList, TdxObjectList)
 public:
  TdxBarManagerList() = default;

  TdxBarManager* GetManager(Integer index) const;
  Integer GetCount() const { return TdxObjectList::GetCount(); }
  TdxBarManager* GetCustomizingManager() const;
  Boolean IsManagerOfForm(TdxBarManager* manager, TCustomForm* form) const;
  TdxBarManager* GetNextManager(TdxBarManager* manager, Boolean forward = true) const;
};

// Every living manager, in creation order.
TdxBarManagerList* dxBarManagerList();

// One entry of the item-class registry.
class TRegItemRecord : public TObject {
  ORV_CLASS(TRegItemRecord, TObject)
 public:
  TRegItemRecord(TClass itemClass, TClass controlClass, Boolean visible)
      : ItemClass(itemClass), ControlClass(controlClass), Visible(visible) {}
  TClass ItemClass;
  TClass ControlClass;
  Boolean Visible;
};

// Maps item classes to the item-control classes that show them.
class TdxBarItemList : public TList {
  ORV_CLASS(TdxBarItemList, TList)
 public:
  TdxBarItemList() = default;
  ~TdxBarItemList() override;
  // The records go before the list empties itself.
  void BeforeDestruction() override;

  TRegItemRecord* GetRecord(Integer index) const { return static_cast<TRegItemRecord*>(Get(index)); }
  TClass GetItemClass(Integer index) const { return GetRecord(index)->ItemClass; }
  Integer GetVisibleItemCount() const;
  TClass GetVisibleItemClass(Integer index) const;
  void DeleteRecord(Integer index);
  // The control class registered for the class or its nearest registered ancestor.
  TClass FindControlClass(TClass itemClass) const;
};

// Nil once the unit is finalizing.
TdxBarItemList* GetBarItemClassList();
// Registers an item class (also for creation by name from form descriptions) with the
// item-control class that shows it; `visible` offers it in lists of item kinds. The item units
// register their classes in the order their design lists them.
void RegisterBarItem(TClass itemClass, TClass controlClass, Boolean visible);

// Called with each manager registered and unregistered, when set (design-time services).
using TdxBarManagerCallback = void (*)(TdxBarManager* manager);
void SetBarManagerRegistrationCallbacks(TdxBarManagerCallback registered, TdxBarManagerCallback unregistered);

// ---- Hooks
void RegisterBarManager(TdxBarManager* manager);
void UnregisterBarManager(TdxBarManager* manager);
LRESULT KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT MouseHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CallWndProcHookProc(int code, WPARAM wParam, LPARAM lParam);
// Whether the three hooks are installed.
Boolean BarHooksInstalled();
// Set while a windowed item control calls KeyboardHookProc itself: the next hook is not called.
void SetKeyboardHookDirectCall(Boolean value);
// Set by the main-menu toolbar while the mouse holds one of its MDI buttons down.
void SetMDIButtonPressed(Boolean value);
Boolean IsApplicationDeactivating();
Boolean IsApplicationActive();

// The bar windows and the navigation and design controllers plug into the hooks here; each
// pointer left unset means that part does not exist yet (no bar window is active, nothing
// navigates, nothing is being designed).
struct TdxBarHookServices {
  // The head of the chain of active bar windows.
  TCustomdxBarControl* (*GetActiveBarControl)() = nullptr;
  // The active bar window's manager.
  TdxBarManager* (*GetBarControlManager)(TCustomdxBarControl* control) = nullptr;
  // Whether the active bar window has a handle, is enabled and is not customizing.
  Boolean (*ActiveBarControlTakesKeys)() = nullptr;
  // Hands a key to the active bar window (WM_KEYDOWN or WM_KEYUP); true when it still exists
  // and is active afterwards.
  Boolean (*SendKeyToActiveBarControl)(UINT message, WPARAM key, LPARAM data) = nullptr;
  // Whether a bar window is visible, and whether it takes part in the shortcut search.
  Boolean (*IsBarControlVisible)(TCustomdxBarControl* control) = nullptr;
  Boolean (*BarControlAllowsShortCuts)(TCustomdxBarControl* control) = nullptr;
  // Whether the focused bar window of a manager exists.
  Boolean (*HasFocusedBarControl)(TdxBarManager* manager) = nullptr;
  // The navigation controller: whether it wants the key, and processing it.
  Boolean (*NavigationWantsKey)(WPARAM key, TShiftState shift) = nullptr;
  void (*NavigationProcessKey)(WPARAM key, TShiftState shift) = nullptr;
  // Selects the first item of the manager's main menu for keyboard navigation (Alt, F10).
  void (*StartNavigation)(TdxBarManager* manager) = nullptr;
  void (*EndKeyboardNavigation)() = nullptr;
  // Alt or F10 went down alone (`menuKeyDown`), or another key went down: the key tips' wait.
  void (*MenuKey)(TdxBarManager* manager, Boolean menuKeyDown) = nullptr;
  // An Alt+letter accelerator found a link: its bar window selects it (several links share
  // the letter) or clicks it (`unique`).
  void (*AcceleratorLinkPressed)(TdxBarItemLink* link, Boolean unique) = nullptr;
  // Closes the chain of active bar windows, innermost first.
  void (*CloseActiveBarControls)() = nullptr;
  // Whether a window is one of the chain of active bar windows (or inside one): a button press
  // there is that window's own, not an outside click.
  Boolean (*IsInActiveBarChain)(HWND window) = nullptr;
  // Re-lays out the manager's bar windows and dock sites.
  void (*RealignBars)(TdxBarManager* manager) = nullptr;
};
TdxBarHookServices& BarHookServices();

// The shared hint window plugs in here (unset: no hint is ever shown).
struct TdxBarHintServices {
  // Shows the texts for the manager; true when something was shown.
  Boolean (*ShowHintWindow)(TdxBarManager* manager, const AnsiString& text, const AnsiString& shortCut) = nullptr;
  void (*HideHintWindow)() = nullptr;
  Boolean (*IsHintWindowVisible)() = nullptr;
  // The delays before showing and before hiding, in ms.
  UINT (*GetShowPause)() = nullptr;
  UINT (*GetHidePause)() = nullptr;
};
TdxBarHintServices& BarHintServices();

// ---- Lookups
TdxBarManager* GetBarManagerOwnedBy(TObject* object);
TdxBarManager* FindBarManagerOfWindow(HWND window);
TWinControl* FindWindowedOwner(TComponent* component);
TdxBarManager* FindComponentBarManager(TComponent* component);
TWinControl* FindControlOfChildWindow(HWND window);
TWinControl* FindVCLControlOfWindow(HWND window);
TCustomForm* FindControlForm(TControl* control, TdxBarFormSearchKind kind);
TCustomForm* FindBarManagerForm(TdxBarManager* manager, TdxBarFormSearchKind kind);
TCustomForm* FormOfComponent(TComponent* component);
Boolean IsBarManagerOwnerWindow(TdxBarManager* manager, HWND window);
Boolean IsWindowInControl(TControl* control, TControl* inner);
Boolean IsControlOfManagerOwner(TdxBarManager* manager, TControl* control);
Boolean HasAsParent(HWND window, HWND parent);
TCustomForm* FindActiveEnabledForm();
HWND GetActiveMDIChildWindow();
Boolean IsOtherProcessWindow(HWND window);
TdxBarItem* GetLinkItem(TdxBarItemLink* link);
TdxBarItemLinks* GetOwnerItemLinks(TObject* object);

// ---- Key and text operations
TShortCut KeyToShortCut(Word key, LPARAM keyData);
Boolean IsCharacterKey(Word key);
AnsiString GetShortCutHintText(TShortCut shortCut);
AnsiString GetPlainCaption(const AnsiString& caption);
// The 1-based position of the accelerator character after the last single "&" (0 for none);
// with `remove` every "&" is deleted from the caption.
Integer GetAcceleratorPosition(AnsiString& caption, Boolean remove);
AnsiString GetIniPathSeparator(Boolean registry);
Boolean IsButtonDownMessage(UINT message);
void RemovePendingCharMessages(HWND window);
Boolean IsAncestorBeingLoaded(TComponent* component);
inline TdxBarItemVisible BooleanToBarItemVisible(Boolean value) { return value ? ivAlways : ivNever; }
TShiftState GetHookShiftState();

// ---- Window operations
void SetWindowZOrder(HWND window, HWND insertAfter, Boolean activate, UINT extraFlags = 0);
void ActivateTopWindowOf(HWND window);
void DestroyWindowAndClear(HWND& window, Boolean destroy = true);
void StopWindowTimer(HWND window, UINT_PTR& id);

// ==== Hint view infos ========================================================================

class TCanvas;

// What a hint window shows: its bounds in the window's client coordinates (empty: nothing to
// show) and how it paints there.
class TdxBarCustomHintViewInfo : public TObject {
  ORV_CLASS(TdxBarCustomHintViewInfo, TObject)
 public:
  explicit TdxBarCustomHintViewInfo(TdxBarManager* manager) : FBarManager(manager) {}
  TdxBarManager* GetBarManager() const { return FBarManager; }
  const TRect& GetBounds() const { return FBounds; }
  virtual void Calculate(TCanvas* canvas) {}
  virtual Boolean IsScreenTip() { return false; }
  virtual void Paint(TCanvas* canvas) {}
  // Gives the window the kind of this view info and makes sure it has its handle.
  virtual void PrepareHintWindow(TdxBarHintWindow* window);

 protected:
  TRect FBounds;

 private:
  TdxBarManager* FBarManager;
};

// A plain hint: a framed, word-wrapped text, the shortcut text following the hint text.
class TdxBarHintViewInfo : public TdxBarCustomHintViewInfo {
  ORV_CLASS(TdxBarHintViewInfo, TdxBarCustomHintViewInfo)
 public:
  TdxBarHintViewInfo(TdxBarManager* manager, const TPoint& position, const AnsiString& hint,
                     const AnsiString& shortCut);
  const AnsiString& GetText() const { return FText; }
  const TPoint& GetPosition() const { return FPosition; }
  // Measured word-wrapped within the width of the work area of the monitor at the position.
  void Calculate(TCanvas* canvas) override;
  void Paint(TCanvas* canvas) override;
  void PrepareHintWindow(TdxBarHintWindow* window) override;
  virtual void AdjustSize(TSize& size);
  virtual TRect GetTextRect();
  virtual void DrawText(TCanvas* canvas);
  // The system's status font (without manager or with its system font), else the manager's.
  virtual void SetupFont(TdxBarHintWindow* window);

 private:
  AnsiString FText;
  TPoint FPosition;
};

// The one hint window of the bars: it shows a view info at the cursor.
class TdxBarHintWindow : public TcxBaseHintWindow {
  ORV_CLASS(TdxBarHintWindow, TcxBaseHintWindow)
 public:
  explicit TdxBarHintWindow(TComponent* owner);
  void BeforeDestruction() override;
  void Dispatch(TMessage& message) override;
  TdxBarCustomHintViewInfo* GetViewInfo() const { return FViewInfo; }
  Boolean GetIsScreenTip() const { return FIsScreenTip; }
  // A view info of the other kind makes the window again for it.
  void SetScreenTipKind(Boolean value);
  // Milliseconds after which the manager hides the hint, and before it shows one.
  virtual Cardinal GetHidePause() { return FIsScreenTip ? 200000 : 10000; }
  virtual Cardinal GetShowPause() { return FIsScreenTip ? 900 : 1000; }
  virtual void RecreateForKind();
  // False when there is nothing to show (no hint text).
  virtual Boolean ShowHint(TdxBarManager* manager, const AnsiString& hint, const AnsiString& shortCut);

 protected:
  void Paint() override;

 private:
  void FreeViewInfo();
  TdxBarCustomHintViewInfo* FViewInfo = nullptr;
  Boolean FIsScreenTip = false;
};

// ==== Bar windows =============================================================================

// The window that shows one links collection as item controls: it makes a control per shown
// link, lays them out, paints them through the painter, keeps the selected and hot controls,
// turns presses into clicks and shows the selected item's hint. The toolbar window derives from
// it; so will the submenus.
class TCustomdxBarControl : public TCustomControl {
  ORV_CLASS(TCustomdxBarControl, TCustomControl)
 public:
  explicit TCustomdxBarControl(TComponent* owner);
  ~TCustomdxBarControl() override;
  void BeforeDestruction() override;

  TdxBarManager* GetOwnerBarManager() const;
  TdxBarItemLinks* GetItemLinks() const { return FItemLinks; }
  virtual void SetItemLinks(TdxBarItemLinks* value);
  TcxCanvas* GetBarControlCanvas();
  virtual TdxBarPainter* GetPainter();
  // The painter's flat look (menus answer False).
  virtual Boolean UsesFlatLook();
  // A control's rectangle in screen coordinates (empty for none).
  TRect GetItemControlScreenRect(TdxBarItemControl* control);
  TCustomdxBarControl* GetParentBarControl() const { return FParentBarControl; }
  // The window this one opened (a submenu of a toolbar, a deeper submenu); setting either side
  // sets the other. A child goes with its parent.
  TCustomdxBarControl* GetChildBarControl() const { return FChildBarControl; }
  void SetChildBarControl(TCustomdxBarControl* value);
  void SetParentBarControl(TCustomdxBarControl* value);

  // ---- Item controls and their layout
  void CreateItemControls();
  void DestroyItemControls();
  // Both of the above, keeping the links container items put in (they are not asked again).
  void RecreateItemControls();
  // Recreates the item controls and lays them out again (`recreate`), or repaints only.
  void Refresh(Boolean recreate);
  void Repaint() override { Refresh(true); }
  virtual void UpdateLayout();
  virtual void CalcMetrics();
  // Whether the control is one this window shows (a window with parts of its own finds theirs).
  virtual Boolean HasItemControl(TdxBarItemControl* control) const;
  // The controls laid out, in paint order.
  Integer GetViewInfoCount() const { return Integer(FViewInfos.size()); }
  TdxBarItemControl* GetViewInfoControl(Integer index) const { return FViewInfos.at(size_t(index)); }
  virtual TdxBarItemControl* GetItemControlAtPos(const TPoint& point);
  void GetItemControlRect(TdxBarItemControl* control, TRect& rect);
  virtual void RepaintItemControl(TdxBarItemControl* control);

  // ---- Metrics
  Integer GetTextSize() const { return FTextSize; }
  Integer GetMenuArrowHeight() const { return FMenuArrowHeight; }
  virtual Integer GetItemTextSize(TdxBarItemControl* control);
  virtual Integer GetBeginGroupSize() { return 0; }
  Integer GetBeginGroupOffset(TdxBarItemLink* link);
  virtual Integer GetBehaviorFlags();
  virtual Integer GetItemPaintKind() { return IsTextRotated() ? 2 : 0; }
  virtual Boolean IsVertical() { return false; }
  virtual Boolean IsTextRotated() { return false; }
  virtual Boolean IsMainMenu() { return false; }
  virtual Boolean UsesRestSpace(TdxBarItemLink* link) { return false; }
  virtual Integer GetMarkAreaSize() { return 0; }
  virtual TdxBarItemViewLevel GetLayoutKind(TdxBarItemControl* control) { return ivlDefault; }
  virtual Integer GetKind() = 0;
  virtual HBRUSH GetBackgroundBrush();
  HBRUSH GetCurrentBackgroundBrush() const { return FCurrentBackgroundBrush; }
  virtual void DrawBackground(HDC dc, const TRect& rect, HBRUSH brush, TColor color);

  // ---- Selection, activation and closing
  TdxBarItemLink* GetSelectedLink() const { return FSelectedLink; }
  TdxBarItemControl* GetSelectedItemControl() const;
  void SetSelectedItemControl(TdxBarItemControl* control);
  void SelectItemControlByMouse(TdxBarItemControl* control);
  void ChangeSelection(TdxBarItemControl* control);
  void ClearSelectedLink() { FSelectedLink = nullptr; }
  virtual void ClickItemControl(TdxBarItemControl* control);
  // Selects the control and, unless told to select only, clicks it as Enter does.
  virtual void SelectAndClick(TdxBarItemControl* control, Boolean selectOnly);
  // A double click on the selected control that takes it: the designer's item editor while
  // designing, the control's own handling when it does not want the click, else the expansion
  // of the menu that shows its item's links and hides rarely used ones.
  void DoubleClickItemControl(TdxBarItemControl* control);
  // The next link from `start` whose caption's accelerator is the key (nil when none or its item
  // is disabled); `several` when another link shares the letter.
  virtual TdxBarItemLink* FindLinkByKey(Word key, Boolean& several, TdxBarItemLink* start);
  // The screen rectangle a menu opened from this window takes as its own (False: none).
  virtual Boolean GetExtraPaneScreenRect(TRect& rect) { return false; }
  Boolean IsActive() const { return FActive; }
  void SetActiveState(Boolean value);
  virtual Boolean CanActivate();
  virtual void ActivateWithItem(TdxBarItemControl* control);
  virtual void Deactivate();
  Boolean IsInactive() { return !FActive; }
  // Menus of their own (the customizing menus) never are.
  virtual Boolean InCustomizingMode();
  Boolean GetPressedDownMode() const { return FPressedDownMode; }
  void SetPressedDownMode(Boolean value) { FPressedDownMode = value; }
  void Close();
  void CloseByEscape();
  virtual Boolean IsPopup() { return false; }
  virtual Boolean IsPopupStyle() { return false; }
  // The distance from the window's edge to its items (menus: frame and inner border).
  virtual Integer GetBorderOffset() { return 0; }
  // Hides the window for good: a menu frees itself.
  virtual void HideControl() {}
  virtual Boolean IsInActiveChain();
  Boolean IsDestroying() const { return (FState & 0x8) != 0; }
  // Whether the mouse is not over the window (or, with the flag, has not moved since).
  virtual Boolean IsMouseOutside(Boolean checkLastPosition);
  void DoMouseLeave();
  // Where a hint of the given height appears for a point under the cursor.
  virtual void AdjustHintPosition(TPoint& point, Integer hintHeight);

  // The global list of live bar windows.
  static Boolean IsAlive(TCustomdxBarControl* control);

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void PressCustomizedItemControl(TdxBarItemControl* control, TMouseButton button, TShiftState shift,
                                  const TPoint& point);
  void Resize() override;
  virtual void SetActive(Boolean value);
  virtual void DoClose();
  virtual void ArrangeItemRows() {}
  virtual void ArrangeItemLinks();
  virtual void RecalcViewInfo();
  virtual void DrawItemControls();
  void DrawItemControl(TdxBarItemControl* control);
  virtual void DoKeyDown(Word key, TShiftState shift);
  // The focus goes back to the form: bar windows never keep it.
  virtual void RestoreFocus();
  virtual void DoMouseEnter(const TPoint& point, TdxBarItemControl* control);
  virtual void DoMouseMove(TShiftState shift, const TPoint& point, TdxBarItemControl* control);
  virtual void UpdateFont() {}
  virtual Integer GetTextHeight();
  virtual Boolean IsUpdateLocked();
  void SelectNextLink(Boolean forward);
  void SelectEdgeLink(Boolean last);
  void HandleKeyDown(TMessage& message);

  TdxBarItemLinks* FItemLinks = nullptr;
  TCustomdxBarControl* FParentBarControl = nullptr;
  TCustomdxBarControl* FChildBarControl = nullptr;
  std::vector<TdxBarItemControl*> FViewInfos;
  TdxBarItemLink* FSelectedLink = nullptr;
  TdxBarItemControl* FClickedItemControl = nullptr;
  TdxBarItemLink* FTrackedLink = nullptr;
  TCustomdxBarControl* FPreviousActive = nullptr;
  TdxBarDockingStyle FDockingStyle = dsNone;
  Boolean FActive = false;
  Boolean FClosedByEscape = false;
  Boolean FPressedDownMode = false;
  TPoint FLastMousePos{-1, -1};
  Integer FTextSize = 0;
  Integer FMenuArrowHeight = 4;
  HBRUSH FCurrentBackgroundBrush = nullptr;
  Word FState = 0;

 private:
  TcxCanvas* FCanvas = nullptr;
  TcxCanvas* FScreenCanvas = nullptr;
  HDC FScreenDC = nullptr;
  void FreeScreenCanvas();
  // A menu shows the links a container item makes in place of the item's own link, which
  // leaves the collection meanwhile; undone, from the last, when the controls go.
  struct TExpandedLink {
    TdxBarItemLink* Link;
    TcxObjectLink* Item;
    Integer Index;
    Boolean Hidden;
  };
  std::vector<TExpandedLink> FExpandedLinks;
  Boolean FKeepExpanded = false;
  void ExpandContainerItems();
  void CollapseContainerItems();
};

// The window of a bar: docked at a side of its form as a child window (its links in one row,
// or wrapped into rows when the bar is multi-line), or floating as a top-level window with a
// frame, a caption and a close button.
class TdxBarControl : public TCustomdxBarControl {
  ORV_CLASS(TdxBarControl, TCustomdxBarControl)
 public:
  TdxBarControl(TComponent* owner, TdxBar* bar);
  ~TdxBarControl() override;

  TdxBar* GetBar() const { return FBar; }
  // The bar going away while this window is still handling one of its messages (a click handler
  // that frees the bar) leaves the window to be freed after that message; it must not read the bar.
  void ForgetBar() { FBar = nullptr; }
  TdxBarDockingStyle GetDockingStyle() const { return FDockingStyle; }
  // Moves the window to a side of its form, or out of it (dsNone), remaking its window.
  void SetDockingStyle(TdxBarDockingStyle value);
  Integer GetKind() override { return 0; }
  Boolean IsMainMenu() override;
  Boolean IsVertical() override { return FDockingStyle == dsLeft || FDockingStyle == dsRight; }
  Boolean IsTextRotated() override;
  Boolean IsMultiLine();
  Boolean IsTruncated() const { return FTruncated; }
  Boolean UsesRestSpace(TdxBarItemLink* link) override;
  Integer GetBeginGroupSize() override;
  HBRUSH GetBackgroundBrush() override;
  virtual AnsiString GetCaption();
  virtual Boolean HasCloseButton();
  // Whether a floating window shows its caption (the mark's popup does not).
  virtual Boolean HasFloatingCaption() { return true; }
  Boolean CanMove();
  // 0 normal, 1 hot, 2 pressed.
  Integer GetCloseButtonState() const { return FCloseButtonState; }
  // The window's size docked at a style with `length` along the bar, frame included (a
  // multi-line bar wraps its links into that length).
  TSize CalcDockedSize(TdxBarDockingStyle style, Integer length);
  // Set while the window is placed from its bar's stored row and position.
  Boolean IsPlacingFromState() const { return FPlacingFromState; }
  // A user site turned to another side: the window takes its docking style in place.
  void SetDockedStyleInSite(TdxBarDockingStyle style);
  // The dock site the window is docked in (nil while floating or not yet docked).
  TdxDockControl* GetDockControl();
  // The toolbar's background through the painter (its picture, colour or the dock under it).
  void DrawBackground(HDC dc, const TRect& rect, HBRUSH brush, TColor color) override;

  // ---- Sizes (client sizes, without the frame)
  Integer GetMinWidth(TdxBarDockingStyle style);
  Integer GetMinHeight(TdxBarDockingStyle style);
  Integer CalcWidthForStyle(TdxBarDockingStyle style);
  Integer CalcHeightForStyle(TdxBarDockingStyle style);
  // The whole window size for a docking style, frame included.
  void CalcBarControlSize(TdxBarDockingStyle style, TSize& size);
  // Places the window for its bar: docked windows along their side of the form, floating ones
  // at the bar's float position.
  void UpdatePlacement();

  // ---- Frame and caption, window coordinates
  void GetBorders(TRect& borders);
  TRect GetCaptionRect();
  TRect GetCloseButtonRect();
  void DrawNonClient(HDC dc);

  // ---- Moving and sizing by the user
  // The code of the last hit test: HTCAPTION where a press drags the toolbar (its grip, its
  // empty room, a floating caption), HTCLIENT over items and the mark.
  Integer GetLastHitCode() const { return FLastHitCode; }
  // Docked with a border: the area before the client area (the grip); empty otherwise.
  TRect GetDragAreaRect();
  Boolean IsMoving() const { return FMoving; }
  void SetMoving(Boolean value);
  // Where the pointer holds the window when it takes a docking style during a move.
  TPoint GetSizeForDockingStyle(TdxBarDockingStyle style);
  // The client size of the floating window for a wanted width (rows wrapped into it) and for a
  // wanted height (the narrowest width whose rows stay within it).
  TSize CalcFloatingSize(Integer wantedWidth);
  TSize CalcVerticalSize(Integer wantedHeight);
  // Moves the window into a dock site at a screen point (dsNone: floating, its top-left corner
  // at the point) and stores its new place into the bar.
  void MoveToDock(TdxBarDockingStyle style, const TPoint& point);
  // Docked: floats; floating: docks where it was docked last (a new last row at the top when it
  // never was).
  void ToggleDocking();
  // Writes the window's place into its bar: side, row, one-on-row and position when docked,
  // screen position and client size when floating.
  void StorePosition();
  // The floating part of it: the window's screen position and its client size.
  void StoreFloatingPosition();

  // ---- The "More Buttons" mark
  // Shown when the bar shows its mark and links did not fit, or the painter and the bar offer
  // quick customizing.
  Boolean IsMarkVisible();
  Integer GetMarkAreaSize() override;
  // Client coordinates (docked: the band at the end of the row; floating: the caption's button).
  TRect GetMarkRect();
  TRect GetMarkScreenRect();
  // 0 normal, 1 hot, 2 pressed (its popup is open).
  Integer GetMarkState() const { return FMarkState; }
  void SetMarkState(Integer value);
  // Copies into `links` every link the toolbar has no room to show.
  void FillMarkPopup(TdxBarItemLinks* links);
  // The popup of the pressed mark (nil while the mark is not pressed).
  TdxBarQuickControl* GetQuickControl() const { return FMarkState == 2 ? FQuickControl : nullptr; }
  // The painter draws fading parts and the program's fader is there.
  Boolean CanFadeMark();
  // Docked: the mark's rectangle is painted again (not erased); floating: the caption's button.
  void InvalidateMark();
  // The objects that fade the mark and the three buttons of a maximized child (0 minimize,
  // 1 restore, 2 close) between their normal and hot looks; the window owns them.
  TdxBarControlMarkFadingHelper* GetMarkFadingHelper() const { return FMarkFadingHelper; }
  TdxBarControlMDIButtonFadingHelper* GetMDIButtonFadingHelper(Integer kind) const { return FMDIButtonFadingHelpers[kind]; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void ArrangeItemRows() override;
  void SetActive(Boolean value) override;
  void DoClose() override;
  void DoKeyDown(Word key, TShiftState shift) override;
  void Resize() override;
  void UpdateFont() override;
  Boolean IsUpdateLocked() override;

 private:
  Integer MeasureLine(Integer& across, Boolean vertical);
  void BarFontChanged();
  Boolean FUpdatingFont = false;
  Integer CalcMultiLineAcross(Integer length);
  void DrawSeparators();
  TdxBar* FBar;
  Boolean FTruncated = false;
  Integer FCloseButtonState = 0;
  Boolean FPlacingFromState = false;
  // Moving, sizing and the mark.
  Integer HitTest(const TPoint& screenPoint, Integer systemCode);
  void ArrangeItemRowsOnce();
  void SizeLoop(Integer hitCode);
  void DrawMark(HDC dc);
  Integer FLastHitCode = 1;  // HTCLIENT
  Boolean FMoving = false;
  Boolean FInsertAtPoint = false;
  TPoint FInsertPoint{};
  Integer FMarkState = 0;
  Boolean FIgnoreMarkClick = false;
  TdxBarQuickControl* FQuickControl = nullptr;
  TdxBarControlMarkFadingHelper* FMarkFadingHelper = nullptr;
  TdxBarControlMDIButtonFadingHelper* FMDIButtonFadingHelpers[3] = {};
  friend class TdxBarQuickControl;
};

// ==== Submenu windows ==========================================================================

class TdxBarShadowPart;
class TdxBarAnimationThread;

// The shadow of a popup bar window: up to five strips along the right and bottom edges of the
// window and of the element it was opened from (so that both cast one joined shadow), each a
// small popup window that clicks pass through. Alpha-blended 4-pixel gradients where layered
// windows exist on a screen of more than 8 bits per pixel, else solid 2-pixel strips.
class TdxBarShadow : public TObject {
  ORV_CLASS(TdxBarShadow, TObject)
 public:
  explicit TdxBarShadow(TCustomdxBarControl* owner);
  ~TdxBarShadow() override;
  TCustomdxBarControl* GetOwnerWindow() const { return FOwner; }
  // Screen rectangles: the opening element (empty when the shadow does not join it) and the
  // window. Makes the parts again.
  void SetRects(const TRect& ownerRect, const TRect& windowRect);
  Boolean GetVisible() const { return FVisible; }
  void SetShown(Boolean value);
  static Integer GetStripWidth();
  static Boolean UsesLayeredStrips();
  Integer GetPartCount() const;
  // The parts made by the last SetRects, in the order made.
  TdxBarShadowPart* GetPart(Integer index) const;

 private:
  void FreeParts();
  void AddPart(Byte corners, Byte kind, const TRect& rect);
  TCustomdxBarControl* FOwner;
  TRect FFirst, FSecond;
  Boolean FHorizontal = true;
  Boolean FVisible = false;
  TdxBarShadowPart* FParts[5] = {};
};

// One strip of a shadow. Corners: 0x1 the first end and 0x2 the last end of a horizontal strip
// fade out, 0x4 the top end of a vertical strip. Kind: 0 along a bottom edge, 1 along a right
// edge.
class TdxBarShadowPart : public TCustomControl {
  ORV_CLASS(TdxBarShadowPart, TCustomControl)
 public:
  TdxBarShadowPart(TdxBarShadow* shadow, Byte corners, Byte kind);
  ~TdxBarShadowPart() override;
  Byte GetCorners() const { return FCorners; }
  Byte GetKind() const { return FKind; }
  const TRect& GetPartBounds() const { return FPartBounds; }
  void SetPartBounds(const TRect& rect);
  // Big enough for its corner fades.
  Boolean IsValid() const;
  // The alpha of a pixel of the strip's image (0 when the part is not layered).
  Byte GetAlpha(Integer x, Integer y) const;
  void ShowPart();
  void HidePart();

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint() override;

 private:
  void BuildImage();
  TdxBarShadow* FShadow;
  Byte FCorners;
  Byte FKind;
  TRect FPartBounds;
  std::vector<Byte> FAlpha;
};

// The window of a menu: the links of a sub item opened from a toolbar or another menu, or of a
// popup menu opened at a point. Placed beside or below what opened it inside the work area
// (flipping to the other side when there is more room there), sized to its items, scrolled by
// arrows when they do not fit; rarely used items wait behind an expand button when the manager
// hides them. Escape and Left close one level.
class TdxBarSubMenuControl : public TCustomdxBarControl {
  ORV_CLASS(TdxBarSubMenuControl, TCustomdxBarControl)
 public:
  explicit TdxBarSubMenuControl(TComponent* owner);
  ~TdxBarSubMenuControl() override;
  void BeforeDestruction() override;

  // Shows the prepared window: Left and Top, the owner sizes and bounds, the parent and the
  // show-animation flag are set by the opener first.
  void PopupSubMenuControl();
  Boolean UsesFlatLook() override { return false; }
  void HideControl() override;
  Integer GetKind() override { return 2; }
  Boolean IsPopup() override { return true; }
  Boolean IsPopupStyle() override { return true; }
  Boolean CanActivate() override { return true; }
  Integer GetItemPaintKind() override { return 1; }
  Integer GetBeginGroupSize() override;
  Integer GetBorderOffset() override;
  Integer GetItemTextSize(TdxBarItemControl* control) override;
  HBRUSH GetBackgroundBrush() override;
  void DrawBackground(HDC dc, const TRect& rect, HBRUSH brush, TColor color) override;
  TdxBarItemControl* GetItemControlAtPos(const TPoint& point) override;
  void CalcMetrics() override;
  void UpdateLayout() override;

  // ---- What the opener sets
  Integer GetOwnerWidth() const { return FOwnerWidth; }
  Integer GetOwnerHeight() const { return FOwnerHeight; }
  void SetOwnerWidth(Integer value) { FOwnerWidth = value; }
  void SetOwnerHeight(Integer value) { FOwnerHeight = value; }
  // The opening element's screen rectangle (empty: opened at a point).
  const TRect& GetOwnerBounds() const { return FOwnerBounds; }
  void SetOwnerBounds(const TRect& value) { FOwnerBounds = value; }
  TdxBarSubItemControl* GetSubItemControl() const { return FSubItemControl; }
  void SetSubItemControl(TdxBarSubItemControl* value) { FSubItemControl = value; }
  Boolean GetShowAnimation() const { return FShowAnimation; }
  void SetShowAnimation(Boolean value) { FShowAnimation = value; }
  // Popup menus: fired when the window shows and when it goes.
  const TNotifyEvent& GetOnPopup() const { return FOnPopup; }
  void SetOnPopup(const TNotifyEvent& value) { FOnPopup = value; }
  const TNotifyEvent& GetOnCloseUp() const { return FOnCloseUp; }
  void SetOnCloseUp(const TNotifyEvent& value) { FOnCloseUp = value; }
  // The window the focus goes back to (popup menus: their owner's).
  HWND GetFocusWindow() const { return FFocusWindow; }
  void SetFocusWindow(HWND value) { FFocusWindow = value; }
  // The platform parent of the popup window (default: the manager's owner form).
  void SetParentWindow(HWND value) { FParentWindow = value; }

  // ---- Layout and scrolling
  Integer GetTopIndex() const { return FTopIndex; }
  void SetTopIndex(Integer value);
  Boolean IsUpArrowVisible() const { return FUpArrowVisible; }
  Boolean IsDownArrowVisible() const { return FDownArrowVisible; }
  Boolean IsScrolling() const { return FScrollTimerID != 0; }
  // The indices (in the shown links) of the first and last links fully in view.
  Integer GetFirstVisibleIndex() const { return FFirstVisibleIndex; }
  Integer GetLastVisibleIndex() const { return FLastVisibleIndex; }
  // The client area less the content offsets and the expand button.
  virtual TRect GetItemsRect();
  // Whether the menu flipped to the left of or above where it was asked to open.
  Boolean IsFlippedHorizontally() const { return FFlippedHorizontally; }
  Boolean IsFlippedVertically() const { return FFlippedVertically; }
  // The natural size of the window (frame included).
  virtual TSize CalcNaturalSize();
  // Places the window for the size ((0, 0): the natural size) inside the work area.
  void CalcPosition(TSize size, Boolean& flippedHorizontally, Boolean& flippedVertically);
  void MakeItemVisible(TdxBarItemControl* control);
  virtual Boolean SelectsFirstItem() { return true; }
  virtual Integer GetScrollInterval();

  // ---- Metrics and parts the painters read
  // The width of the owner's band beside the items (a sub item's or popup menu's BarSize).
  Integer GetBandSize();
  Integer GetIconAreaSize();
  Integer GetMarkSize() const { return FMarkSize; }
  Integer GetMenuArrowWidth() const { return FMenuArrowWidth; }
  void GetBorderSizes(Boolean withCaption, TRect& rect);
  virtual void GetContentOffsets(TRect& rect);
  HBRUSH GetLightBrush() const { return FLightBrush; }
  // The tear-off caption along the top of the menu of a Detachable sub item.
  Boolean IsDetachCaptionVisible();
  Boolean IsDetachCaptionSelected() const { return FDetachCaptionSelected; }
  // The caption in client coordinates (it lies above the client area).
  TRect GetDetachCaptionRect();
  // Under the mouse: drawn hot with the move cursor (not while customizing or capturing).
  void SetDetachCaptionSelected(Boolean value);
  // The expand button of a menu that hides rarely used items: 0 normal, 1 hot, 2 expanded.
  Boolean IsMarkVisible();
  TRect GetMarkRect();
  Integer GetMarkState() const { return FMarkState; }
  void SetMarkState(Integer value);
  // Shows every item of the menus of the chain (the hidden ones on the light background).
  void Expand();
  // Whether the item is one of the rarely used items shown after expanding.
  Boolean IsNonRecent(TdxBarItemControl* control);
  Boolean StartsRecentGroup(TdxBarItemControl* control);
  TdxBarShadow* GetShadow() const { return FShadow; }
  Boolean IsShadowVisible();
  void UpdateShadow();
  // The running unfold or slide animation (nil when none).
  TdxBarAnimationThread* GetAnimationThread() const { return FAnimationThread; }
  void StopAnimation();
  Boolean IsAnimating() const { return FAnimationThread != nullptr; }
  // Paints the frame and the whole client area into a DC (window coordinates when `frame`).
  void PaintTo(HDC dc, Boolean frame);
  // The global flag that every menu of the active chain shows all items.
  static Boolean GetShowFullMenus();
  static void SetShowFullMenus(Boolean value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void ArrangeItemLinks() override;
  void RecalcViewInfo() override;
  void DrawItemControls() override;
  void DoKeyDown(Word key, TShiftState shift) override;
  void DoClose() override;
  void SetActive(Boolean value) override;
  void RestoreFocus() override;
  void DoMouseMove(TShiftState shift, const TPoint& point, TdxBarItemControl* control) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void UpdateFont() override;
  Integer GetTextHeight() override;
  virtual void DrawFrame(HDC dc, const TRect& rect);
  virtual void PaintMenu();
  virtual void ShowAnimated();

 private:
  friend class TdxBarAnimationThread;
  void ArrangeFromTopIndex();
  void DrawArrowsAndMark();
  void DrawBand();
  void DrawNonClient(HDC dc);
  void ScrollTimer();
  void StopScrolling();
  void StopExpandTimer();
  void StartExpandTimer(UINT_PTR id, UINT delay);
  void ExpandTimer(UINT_PTR id);
  void AnimationEnded();
  Integer ShownLinkCount() const;
  TdxBarItemLink* ShownLink(Integer index) const;
  Integer IndexOfShownLink(TdxBarItemLink* link) const;
  TdxBarMenuAnimations ChooseAnimation();
  // A press on the caption: dragging it out of the menu makes the detaching bar float there.
  void DetachLoop();

  Boolean FDetachCaptionSelected = false;
  Integer FOwnerWidth = 0;
  Integer FOwnerHeight = 0;
  TRect FOwnerBounds;
  TPoint FOnShowPos;
  Integer FTopIndex = 0;
  Integer FFirstVisibleIndex = 0;
  Integer FLastVisibleIndex = -1;
  Integer FPlacedCount = 0;
  Boolean FUpArrowVisible = false;
  Boolean FDownArrowVisible = false;
  UINT_PTR FScrollTimerID = 0;
  UINT_PTR FExpandTimerID = 0;
  TPoint FLastScrollMousePos{-1, -1};
  Boolean FShowAnimation = true;
  Boolean FExpanding = false;
  Boolean FPlacing = false;
  Boolean FFlippedHorizontally = false;
  Boolean FFlippedVertically = false;
  TdxBarMenuAnimations FAnimation = maNone;
  TdxBarAnimationThread* FAnimationThread = nullptr;
  HBRUSH FLightBrush = nullptr;
  Integer FMarkSize = 0;
  Integer FMenuArrowWidth = 0;
  Integer FMarkState = 0;
  TdxBarSubItemControl* FSubItemControl = nullptr;
  TNotifyEvent FOnPopup, FOnCloseUp;
  HWND FFocusWindow = nullptr;
  HWND FParentWindow = nullptr;
  TdxBarShadow* FShadow = nullptr;
};

// Shows a menu unfolding or sliding open: the window grows frame by frame from its final corner
// while the matching part of a picture of the finished menu is copied into it. Driven by a timer
// of the interface thread, one frame per tick; the last frame puts the window at its exact
// bounds.
class TdxBarAnimationThread : public TObject {
  ORV_CLASS(TdxBarAnimationThread, TObject)
 public:
  TdxBarAnimationThread(TdxBarSubMenuControl* menu, TdxBarMenuAnimations kind, Boolean leftward, Boolean upward);
  ~TdxBarAnimationThread() override;
  void Start();
  // Ends at once with the last frame (the finished menu at its bounds).
  void Stop();
  Integer GetFrameCount() const { return FFrameCount; }
  Integer GetFramesDrawn() const { return FFrame; }
  TdxBarMenuAnimations GetKind() const { return FKind; }
  // The client size of frame i (1-based).
  TSize GetFrameSize(Integer frame) const;

 private:
 public:
  // One frame; the timer of the animation calls it.
  static void Tick(UINT_PTR id);

 private:
  void DrawFrame(Integer frame);
  void Finish();
  TdxBarSubMenuControl* FMenu;
  TdxBarMenuAnimations FKind;
  Boolean FLeftward, FUpward;
  TRect FFinal;  // window bounds
  TSize FClient;
  TSize FBorder;
  Integer FStartOffset = 0;
  Integer FTravel = 0;
  Integer FStep = 1;
  Integer FFrameCount = 0;
  Integer FFrame = 0;
  UINT_PTR FTimerID = 0;
  HDC FMemoryDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FPreviousBitmap = nullptr;
};

// ==== Popup menus ==============================================================================

// A context menu of bar item links shown as a submenu window at a screen point: by code, by a
// control's PopupMenu, or by the manager's PopupMenuLinks for a control.
class TdxBarCustomPopupMenu : public TdxBarComponent, public IdxBarLinksOwner {
  ORV_CLASS(TdxBarCustomPopupMenu, TdxBarComponent)
 public:
  explicit TdxBarCustomPopupMenu(TComponent* owner);
  ~TdxBarCustomPopupMenu() override;
  void BeforeDestruction() override;

  void SetBarManager(TdxBarManager* value);
  TdxBarItemLinks* GetItemLinks() override { return FItemLinks; }
  TdxBarItemLinks* GetLinks() const { return FItemLinks; }
  void SetItemLinks(TdxBarItemLinks* value) { FItemLinks->Assign(value); }
  TdxBarItemOptions* GetItemOptions() const { return FItemLinks->GetItemOptions(); }
  void SetItemOptions(TdxBarItemOptions* value) { FItemLinks->SetItemOptions(value); }
  Boolean CanContainItem(TdxBarItem* item, AnsiString& errorText) override;
  TComponent* GetInstance() override { return this; }
  Boolean GetEnabled() override { return true; }
  void SetEnabled(Boolean value) override {}
  void SetVisible(TdxBarItemVisible value) override {}

  TBitmap* GetBackgroundBitmap() const { return FBackgroundBitmap; }
  void SetBackgroundBitmap(TBitmap* value);
  Integer GetBarSize() const { return FBarSize; }
  void SetBarSize(Integer value) { FBarSize = value < 0 ? 0 : value; }
  TFont* GetFont() const { return FFont; }
  void SetFont(TFont* value);
  Boolean GetUseOwnFont() const { return FUseOwnFont; }
  void SetUseOwnFont(Boolean value);
  Boolean GetUseRecentItems() const { return FItemLinks->GetUseRecentItems(); }
  void SetUseRecentItems(Boolean value) { FItemLinks->SetUseRecentItems(value); }
  const TNotifyEvent& GetOnCloseUp() const { return FOnCloseUp; }
  void SetOnCloseUp(const TNotifyEvent& value) { FOnCloseUp = value; }
  const TNotifyEvent& GetOnPopup() const { return FOnPopup; }
  void SetOnPopup(const TNotifyEvent& value) { FOnPopup = value; }
  const TdxBarPaintSubMenuBarEvent& GetOnPaintBar() const { return FOnPaintBar; }
  void SetOnPaintBar(const TdxBarPaintSubMenuBarEvent& value) { FOnPaintBar = value; }
  virtual void DoPaintBar(TCanvas* canvas, const TRect& rect) {
    if (FOnPaintBar) FOnPaintBar(this, canvas, rect);
  }

  // Shows the menu at a screen point; with its own message loop (the default) the call returns
  // when the menu has closed.
  void Popup(Integer x, Integer y);
  // The window that shows the links (owners of larger menus make windows of their own).
  virtual TdxBarSubMenuControl* CreateBarControl();
  void PopupEx(Integer x, Integer y, Integer ownerWidth, Integer ownerHeight, Boolean animate, const TRect* ownerBounds,
               Boolean ownMessageLoop, TWinControl* ownerControl);
  void PopupFromCursorPos();
  Boolean IsShown() const { return FShown; }
  // The window while the menu is shown.
  TdxBarSubMenuControl* GetSubMenuControl() const;
  Boolean IsShortCutKey(TShortCut shortCut);
  void Loaded() override;
  // The button control whose drop-down the menu is while shown; it learns when the menu closes.
  TdxBarButtonControl* GetDropDownControl() const { return FDropDownControl; }
  void SetDropDownControl(TdxBarButtonControl* value) { FDropDownControl = value; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TdxBarButtonControl* FDropDownControl = nullptr;
  void MenuPopup(TObject* sender);
  void MenuCloseUp(TObject* sender);
  void FontChanged(TObject* sender);
  TdxBarItemLinks* FItemLinks = nullptr;
  TBitmap* FBackgroundBitmap = nullptr;
  Integer FBarSize = 0;
  TFont* FFont = nullptr;
  Boolean FUseOwnFont = false;
  Boolean FFontChanging = false;
  Boolean FShown = false;
  TNotifyEvent FOnCloseUp, FOnPopup;
  TdxBarPaintSubMenuBarEvent FOnPaintBar;
  // The parameters of one extended show.
  TWinControl* FOwnerControl = nullptr;
  TRect FOwnerBounds;
  Boolean FHasOwnerBounds = false;
  Integer FOwnerWidth = 0;
  Integer FOwnerHeight = 0;
  Boolean FAnimate = true;
  Boolean FOwnMessageLoop = true;
};

class TdxBarPopupMenu : public TdxBarCustomPopupMenu {
  ORV_CLASS(TdxBarPopupMenu, TdxBarCustomPopupMenu)
 public:
  explicit TdxBarPopupMenu(TComponent* owner) : TdxBarCustomPopupMenu(owner) {}
};

using TdxBarPopupMenuLinkActionEvent = orv::Event<void(TdxBarPopupMenuLink* sender, Integer x, Integer y,
                                                       Boolean clickedByMouse, Boolean& allowPopup)>;

// Shows a popup menu for a control on its context-menu message, and lets the menu's items
// handle shortcuts while the control has the focus.
class TdxBarPopupMenuLink : public TCollectionItem {
  ORV_CLASS(TdxBarPopupMenuLink, TCollectionItem)
 public:
  explicit TdxBarPopupMenuLink(TCollection* collection);
  ~TdxBarPopupMenuLink() override;
  TControl* GetControl() const { return FControl; }
  void SetControl(TControl* value);
  TdxBarPopupMenu* GetPopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TdxBarPopupMenu* value);
  Boolean GetProcessChildren() const { return FProcessChildren; }
  void SetProcessChildren(Boolean value) { FProcessChildren = value; }
  const TdxBarPopupMenuLinkActionEvent& GetOnAction() const { return FOnAction; }
  void SetOnAction(const TdxBarPopupMenuLinkActionEvent& value) { FOnAction = value; }
  TdxBarManager* GetBarManager() const;
  Boolean ExecuteShortCut(TShortCut shortCut);
  void Assign(TPersistent* source) override;
  // The control or its menu is going.
  void ComponentRemoved(TComponent* component);

 private:
  void LinkWndProc(TMessage& message);
  void ContextPopup(TObject* sender, TPoint mousePos, Boolean& handled);
  TControl* FControl = nullptr;
  TdxBarPopupMenu* FPopupMenu = nullptr;
  Boolean FProcessChildren = true;
  TdxBarPopupMenuLinkActionEvent FOnAction;
  TWndMethod FPreviousWndProc;
  TContextPopupEvent FPreviousContextPopup;
};

class TdxBarPopupMenuLinks : public TCollection {
  ORV_CLASS(TdxBarPopupMenuLinks, TCollection)
 public:
  explicit TdxBarPopupMenuLinks(TdxBarManager* owner);
  TdxBarPopupMenuLink* Add() { return static_cast<TdxBarPopupMenuLink*>(TCollection::Add()); }
  TdxBarPopupMenuLink* GetItem(Integer index) const {
    return static_cast<TdxBarPopupMenuLink*>(TCollection::GetItem(index));
  }
  TdxBarManager* GetBarManager() const { return FBarManager; }
  TPersistent* GetOwner() override;
  // The links of the focused control first, then those whose control holds it; then the
  // manager of the owner's parent window.
  Boolean ExecuteShortCut(TControl* focused, TShortCut shortCut);

 private:
  TdxBarManager* FBarManager;
};

// ==== Keyboard navigation ======================================================================

// Alt or F10 (with UseF10ForMenu) selects the first item of the manager's main menu in keyboard
// mode; the arrows, Tab, Enter and Escape then work in the active bar windows; a mouse click or
// Escape on the bar ends it.
void StartBarNavigation(TdxBarManager* manager);
void EndBarNavigation();
Boolean IsBarNavigationActive();

// Shows, places and frees the windows of a manager's bars by their visibility and side.
void UpdateBarControls(TdxBarManager* manager);
