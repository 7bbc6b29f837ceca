// The dxBar unit, continued: the row of buttons along the bottom of an application menu. Each
// entry mirrors an ordinary button chosen by the user (caption, image, enabled and visible state,
// hint, screen tip) into a hidden internal item whose links stand in the row.

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
