// The dxBar unit, continued: the application menu window. It is a menu with a row of buttons
// along its bottom edge and an extra pane on its right side that lists further entries (recently
// used documents). Each entry of the button row mirrors an ordinary button chosen by the user
// (caption, image, enabled and visible state, hint, screen tip) into a hidden internal item whose
// links stand in the row.

#pragma once

#include "components/bars/dxBar.h"
#include "components/foundation/cxClasses.h"
#include "platform/runtime/Collection.h"

#include <vector>

class TdxBarApplicationMenuButtons;

// The hidden item behind one entry of the row.
class TdxBarApplicationMenuButtonItem : public TdxBarItem {
  ORV_CLASS(TdxBarApplicationMenuButtonItem, TdxBarItem)
 public:
  explicit TdxBarApplicationMenuButtonItem(TComponent* owner) : TdxBarItem(owner) {}
  TClass GetControlClass(Boolean textRotated) override;
};

// The control of a row entry: a button as wide as its item's Width when that is set.
class TdxBarApplicationMenuButtonControl : public TdxBarButtonLikeControl {
  ORV_CLASS(TdxBarApplicationMenuButtonControl, TdxBarButtonLikeControl)
 public:
  using TdxBarButtonLikeControl::TdxBarButtonLikeControl;

 protected:
  Integer GetWidth() override;
};

class TdxBarApplicationMenuButton : public TCollectionItem {
  ORV_CLASS(TdxBarApplicationMenuButton, TCollectionItem)
 public:
  explicit TdxBarApplicationMenuButton(TCollection* collection);
  ~TdxBarApplicationMenuButton() override;
  void BeforeDestruction() override;

  // The mirrored button (nil: the entry is invisible).
  TdxBarButton* GetItem() const { return FItem; }
  void SetItem(TdxBarButton* value);
  // The internal item's Width (values below 0 are ignored).
  Integer GetWidth() const;
  void SetWidth(Integer value);
  TdxBarApplicationMenuButtonItem* GetInternalItem() const { return FInternalItem; }
  void Assign(TPersistent* source) override;
  // Copies the mirrored button's values into the internal item.
  void SyncInternalItem();

 private:
  void ListChanged(TcxComponentList* sender, TComponent* component, orv::TComponentCollectionAction action);
  void ListNotify(TcxComponentList* sender, TComponent* component, TListNotification action);
  // The internal item's click: the mirrored button's OnClick.
  void MirrorClick(TObject* sender);
  TdxBarButton* FItem = nullptr;
  TdxBarApplicationMenuButtonItem* FInternalItem = nullptr;
  // The internal item belongs to the manager, which may go first.
  TcxObjectLink* FInternalItemLink = nullptr;
  TdxBarComponentList* FNotifyList = nullptr;
};

// The entries of one application menu; `owner` is the menu component, `manager` the bar
// manager that owns the internal items.
class TdxBarApplicationMenuButtons : public TOwnedCollection {
  ORV_CLASS(TdxBarApplicationMenuButtons, TOwnedCollection)
 public:
  TdxBarApplicationMenuButtons(TPersistent* owner, TdxBarManager* manager);
  TdxBarManager* GetBarManager() const { return FBarManager; }
  TdxBarApplicationMenuButton* GetButton(Integer index) const {
    return static_cast<TdxBarApplicationMenuButton*>(GetItem(index));
  }
  TdxBarApplicationMenuButton* Add() { return static_cast<TdxBarApplicationMenuButton*>(inherited::Add()); }
  // Adds each entry's internal item to `links`, in order (each brought in step with its button).
  void PopulateLinks(TdxBarItemLinks* links);

 private:
  TdxBarManager* FBarManager;
};

// The row's placement: entries left to right, 6 pixels apart, as long as they fit (the first
// that does not fit ends the row), then all moved right so that the last ends at the right edge.
// `widths` are the entries' widths; the result holds one rectangle per entry, empty for those
// not shown.
std::vector<TRect> CalcApplicationMenuButtonsLayout(const std::vector<Integer>& widths, const TRect& rect);
// Lays the links of a row out in `rect` of their bar window (their controls made as needed).
void CalcApplicationMenuButtonLinksLayout(TdxBarItemLinks* links, const TRect& rect);

// The extra pane's width: a fixed width (0: by the ratio) scaled by the menu's text size over
// the base item height, else the ratio of the menu width, rounded.
Integer CalcApplicationMenuExtraPaneWidth(Integer fixedWidth, double ratio, Integer menuWidth, Integer textSize,
                                          Integer baseItemHeight);

// ==== The application menu window =============================================================

class TdxBarApplicationMenuControl;

// What the component behind an application menu supplies: the window shows that component's
// links and asks it for the rest.
class IdxBarApplicationMenuOwner {
 public:
  virtual ~IdxBarApplicationMenuOwner() = default;
  // The button row's entries (nil: none).
  virtual TdxBarApplicationMenuButtons* GetApplicationMenuButtons() = 0;
  // The item the extra pane shows (nil: the pane stays empty) and the entries it lists.
  virtual TdxBarExtraPaneListItem* GetExtraPaneListItem() = 0;
  virtual Integer GetExtraPaneItemCount() = 0;
  virtual orv::TBarExtraPaneEntry* GetExtraPaneItem(Integer index) = 0;
  // The pane's width: fixed in base-size pixels (0: by the ratio), or a share of the menu width.
  virtual Integer GetApplicationMenuExtraPaneWidth() = 0;
  virtual double GetApplicationMenuExtraPaneWidthRatio() = 0;
};

// The links of the button row: a link that does not fit is not shown.
class TdxBarApplicationMenuButtonItemLinks : public TdxBarItemLinks {
  ORV_CLASS(TdxBarApplicationMenuButtonItemLinks, TdxBarItemLinks)
 public:
  TdxBarApplicationMenuButtonItemLinks(TdxBarManager* manager, TPersistent* owner) : TdxBarItemLinks(manager, owner) {}
  void CalcLayout(const TRect& rect) { CalcApplicationMenuButtonLinksLayout(this, rect); }
};

// The extra pane: a toolbar window inside the application menu that shows its links in one
// column, expands the list item into its entries, has no frame, never moves and acts as a part of
// the menu (its painter, keys, closing).
class TdxBarExtraPaneControl : public TdxBarControl {
  ORV_CLASS(TdxBarExtraPaneControl, TdxBarControl)
 public:
  TdxBarExtraPaneControl(TdxBarApplicationMenuControl* menu, TdxBar* bar);
  ~TdxBarExtraPaneControl() override;
  void BeforeDestruction() override;

  TdxBarApplicationMenuControl* GetApplicationMenu() const { return FApplicationMenu; }
  TdxBarPainter* GetPainter() override;
  Integer GetBehaviorFlags() override;
  Boolean IsInActiveChain() override;
  TdxBarItemLink* FindLinkByKey(Word key, Boolean& several, TdxBarItemLink* start) override;
  void SelectAndClick(TdxBarItemControl* control, Boolean selectOnly) override;
  void UpdateLayout() override;
  void DrawBackground(HDC dc, const TRect& rect, HBRUSH brush, TColor color) override;
  // The links' rectangle: the client area, its left edge 2 pixels in.
  TRect GetItemsRect();
  // The list items of the links put their entries in after them, and take them out again.
  void ExpandContainerItems();
  void CollapseContainerItems();
  // Whether a link stands for entries the pane lists in its place.
  static Boolean IsExpandedLink(TdxBarItemLink* link);

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void ArrangeItemRows() override;
  void DoClose() override;
  void DoKeyDown(Word key, TShiftState shift) override;
  void DoMouseMove(TShiftState shift, const TPoint& point, TdxBarItemControl* control) override;

 private:
  friend class TdxBarApplicationMenuControl;
  TdxBarApplicationMenuControl* FApplicationMenu;
  Boolean FExpanded = false;
};

// The window of an application menu.
class TdxBarApplicationMenuControl : public TdxBarSubMenuControl {
  ORV_CLASS(TdxBarApplicationMenuControl, TdxBarSubMenuControl)
 public:
  explicit TdxBarApplicationMenuControl(TComponent* owner);
  ~TdxBarApplicationMenuControl() override;
  void BeforeDestruction() override;

  IdxBarApplicationMenuOwner* GetApplicationMenuOwner() const;
  // Nil while customizing.
  TdxBar* GetExtraPaneBar() const;
  TdxBarExtraPaneControl* GetExtraPane() const { return FExtraPane; }
  TdxBarApplicationMenuButtonItemLinks* GetButtonLinks() const { return FButtonLinks; }
  // Client coordinates, as the last layout left them.
  const TRect& GetButtonsRect() const { return FButtonsRect; }
  const TRect& GetExtraPaneRect() const { return FExtraPaneRect; }
  Integer GetExtraPaneWidth() const { return FExtraPaneWidth; }

  Integer GetBehaviorFlags() override { return 158; }
  TRect GetItemsRect() override;
  TSize CalcNaturalSize() override;
  void GetContentOffsets(TRect& rect) override;
  Boolean GetExtraPaneScreenRect(TRect& rect) override;
  Boolean HasItemControl(TdxBarItemControl* control) const override;
  TdxBarItemControl* GetItemControlAtPos(const TPoint& point) override;
  // Accelerators are looked up in the menu's links, then the extra pane's, then the buttons'.
  TdxBarItemLink* FindLinkByKey(Word key, Boolean& several, TdxBarItemLink* start) override;
  // Selects the control in the window that shows it (the menu or its extra pane) and clicks it.
  void SelectAndClick(TdxBarItemControl* control, Boolean selectOnly) override;

 protected:
  void ShowAnimated() override;
  void ArrangeItemLinks() override;
  void DrawFrame(HDC dc, const TRect& rect) override;
  void Paint() override;
  void PaintMenu() override;
  void WndProc(TMessage& message) override;
  void DoKeyDown(Word key, TShiftState shift) override;
  void DoMouseMove(TShiftState shift, const TPoint& point, TdxBarItemControl* control) override;

 private:
  Boolean IsCustomizing() const;
  // Up, Down and Tab go through the menu's items, then the pane's entries (when it lists more
  // than one), then the buttons, and round.
  void SelectNextInGroups(Boolean forward);
  void FillButtonLinks();
  void FillExtraPane();
  void ShowExtraPane();
  // The size ratio of the menu's text to the base item height.
  double GetSizeRatio();
  TcxObjectLink* FExtraPaneBarLink = nullptr;
  TdxBar* FExtraPaneBar = nullptr;
  TdxBarExtraPaneControl* FExtraPane = nullptr;
  TdxBarApplicationMenuButtonItemLinks* FButtonLinks = nullptr;
  TRect FButtonsRect;
  TRect FExtraPaneRect;
  Integer FExtraPaneWidth = 0;
};
