// The dxBar unit, continued: the quick-customization menu of a toolbar ("Add or Remove
// Buttons"): the sub item that opens it, one check entry per link of the toolbar that shows or
// hides that link, and plain button entries of the same menu.

#pragma once

#include "components/bars/dxBar.h"

class TdxBarQuickCustItem;

// Opens the toolbar's quick-customization menu; its links are made each time it opens.
class TdxBarQuickAccessItem : public TdxBarSubItem {
  ORV_CLASS(TdxBarQuickAccessItem, TdxBarSubItem)
 public:
  explicit TdxBarQuickAccessItem(TComponent* owner);
  void BeforeDestruction() override;
  // The toolbar whose links the menu shows.
  TdxBar* GetToolbar() const { return FToolbar; }
  // The item forgets a toolbar that goes before it.
  void SetToolbar(TdxBar* value);
  // Fills links with one check entry per link of the toolbar (visible or not).
  void FillQuickCustomizationMenu(TdxBarItemLinks* links);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Prepare(TObject* sender);
  TdxBar* FToolbar = nullptr;
  TdxBarQuickCustItem* FEntryItem = nullptr;
};

// One item whose links are the check entries: each link carries the toolbar link it stands for
// (its Data); a click toggles that link's Visible and leaves the menu open.
class TdxBarQuickCustItem : public TdxBarButton {
  ORV_CLASS(TdxBarQuickCustItem, TdxBarButton)
 public:
  explicit TdxBarQuickCustItem(TComponent* owner) : TdxBarButton(owner) {}
  static TdxBarItemLink* TargetLink(TdxBarItemLink* entry);
  void Click() override;
};

// A plain button entry of the menu (such as the reset entry).
class TdxBarQuickCustExtButton : public TdxBarButton {
  ORV_CLASS(TdxBarQuickCustExtButton, TdxBarButton)
 public:
  explicit TdxBarQuickCustExtButton(TComponent* owner) : TdxBarButton(owner) {}
};

// Entries with a square check area at their left, as wide as the entry is high.
class TdxCustomQuickCustItemControl : public TdxBarButtonControl {
  ORV_CLASS(TdxCustomQuickCustItemControl, TdxBarButtonControl)
 public:
  using TdxBarButtonControl::TdxBarButtonControl;
  virtual Boolean IsChecked() = 0;

 protected:
  void Draw(const TRect& rect, Integer hostKind) override;
  Integer GetWidth() override;
};

class TdxBarQuickCustItemControl : public TdxCustomQuickCustItemControl {
  ORV_CLASS(TdxBarQuickCustItemControl, TdxCustomQuickCustItemControl)
 public:
  using TdxCustomQuickCustItemControl::TdxCustomQuickCustItemControl;
  TdxBarItemLink* GetTargetLink() const;
  Boolean IsChecked() override;
  AnsiString GetCaption() override;
  TBitmap* GetGlyph() override;
  Integer GetImageIndex() override;
  AnsiString GetHint() override;
  TShortCut GetShortCut() override;
  Boolean CanCloseMenusOnClick() override { return false; }
  void ExecuteClick(Boolean byMouse) override;
};

class TdxBarQuickCustExtButtonControl : public TdxCustomQuickCustItemControl {
  ORV_CLASS(TdxBarQuickCustExtButtonControl, TdxCustomQuickCustItemControl)
 public:
  using TdxCustomQuickCustItemControl::TdxCustomQuickCustItemControl;
  Boolean IsChecked() override { return false; }
};

// Adds the "Add or Remove Buttons" entry for a toolbar to a links collection (a group of its
// own); nil when the toolbar does not allow quick customizing.
TdxBarQuickAccessItem* AddQuickCustomizationItem(TdxBar* toolbar, TdxBarItemLinks* links);
