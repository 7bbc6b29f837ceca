// Showing, hiding and reordering a view's items without code: the popup list box of the grid's
// drop-downs, the quick customization popup (a check list of the items, opened from the table
// view's indicator header), and the customization form whose page lists the hidden items, from
// which they are dragged back into the view.
#pragma once

#include <vector>

#include "components/editors-more/cxListBox.h"
#include "components/grid/cxGridTableView.h"

class TcxCheckListBox;
class TcxTabSheet;

using TcxGridIndexes = std::vector<Integer>;
class TcxGridPopupListBox;
using TcxGridPopupListBoxActionEvent = orv::Event<void(TcxGridPopupListBox* sender, Integer itemIndex)>;

// ==== Popup list box =============================================================================

// The owner-drawn list inside a grid drop-down: optional check boxes, the selection following the
// pointer, and an action per item on a press and release over it.
class TcxGridPopupListBox : public TcxListBox {
  ORV_CLASS(TcxGridPopupListBox, TcxListBox)
 public:
  using TCreateSignature = void(TcxCustomGridPopup* popup);
  explicit TcxGridPopupListBox(TcxCustomGridPopup* popup);

  // ---- New virtual operations ----
  virtual Integer CalculateItemHeight();
  virtual void DoAction(Integer index);
  virtual void DrawCheck(TcxCanvas* canvas, Integer index, TOwnerDrawState state, const TRect& rect);
  virtual void DrawItemText(TcxCanvas* canvas, Integer index, TOwnerDrawState state, const TRect& rect);
  virtual Integer GetDropDownItemCount(TStrings* items);
  virtual void InitListBox();
  virtual Boolean GetShowChecks() const { return FShowChecks; }
  virtual void ToggleCheck(Integer index) { SetChecked(index, !IsChecked(index)); }
  virtual Boolean IsCheckable(Integer index) { return false; }
  // Whether the pointer and the arrow keys may select the entry (a separator may not).
  virtual Boolean IsItemSelectable(Integer index) { return true; }
  // Sizes the list to its items (nil: its own), never narrower than the cell that opened it.
  virtual void AdjustSize(TStrings* items);
  // The control's own size adjustment is another operation of the same name.
  using TcxListBox::AdjustSize;

  // ---- Non-virtual ----
  Boolean IsChecked(Integer index) const;
  void SetChecked(Integer index, Boolean value);
  void GetCheckedIndexes(TcxGridIndexes& indexes) const { indexes = FCheckedItems; }
  void SetCheckedIndexes(const TcxGridIndexes& indexes);
  Integer GetPressedIndex() const { return FPressedIndex; }
  void SetPressedIndex(Integer index);
  void SetShowChecks(Boolean value);
  Boolean HasCheck(Integer index) { return index != -1 && GetShowChecks() && IsCheckable(index); }
  Integer CheckAreaWidth();
  Integer CheckAreaHeight();
  void InvalidateItem(Integer index);
  TcxCustomGridPopup* GetPopup() const { return FPopup; }
  Integer GetMaxVisibleItemCount() const { return FMaxVisibleItemCount; }
  void SetMaxVisibleItemCount(Integer value) { FMaxVisibleItemCount = std::max(0, value); }
  Integer GetMaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(Integer value) { FMaxWidth = std::max(0, value); }
  Integer GetMinWidth() const { return FMinWidth; }
  const TcxGridPopupListBoxActionEvent& GetOnAction() const { return FOnAction; }
  void SetOnAction(const TcxGridPopupListBoxActionEvent& value) { FOnAction = value; }

  // What the inner list hands over (client coordinates of the inner list).
  virtual void InnerMouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y);
  void InnerMouseMove(TShiftState shift, Integer x, Integer y);
  void InnerMouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y);
  void InnerMouseLeave();
  virtual void InnerKeyDown(Word& key, TShiftState shift);
  Integer GetVertItemSpacing() const { return FVertItemSpacing; }
  void SetVertItemSpacing(Integer value) { FVertItemSpacing = std::max(0, value); }

  Boolean DoDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) override;
  TcxInnerListBoxClass GetInnerListBoxClass() override;

 private:
  // The item exactly under a point of the inner list, -1 for none.
  Integer ItemAt(Integer x, Integer y);
  TcxGridIndexes FCheckedItems;
  Integer FLeftTextIndent = 2;
  Integer FRightTextIndent = 2;
  Integer FVertItemSpacing = 0;
  Integer FMinWidth = 0;
  TcxCustomGridPopup* FPopup;
  Integer FPressedIndex = -1;
  Boolean FShowChecks = false;
  Integer FMaxVisibleItemCount = 0;
  Integer FMaxWidth = 0;
  TcxGridPopupListBoxActionEvent FOnAction;
};

// ==== Quick customization popup ==================================================================

// A drop-down check list of the items that may be customized: checking shows or hides an item,
// dragging entries inside the list reorders the items.
class TcxCustomGridCustomizationPopup : public TcxCustomGridPopup {
  ORV_CLASS(TcxCustomGridCustomizationPopup, TcxCustomGridPopup)
 public:
  explicit TcxCustomGridCustomizationPopup(TcxCustomGridView* gridView);

  virtual void FillItems() = 0;
  virtual void AdjustSize(Boolean keepHeight);
  using TcxCustomGridPopup::AdjustSize;
  virtual void ItemCheckChanged(Integer index, Boolean checked);
  virtual void CreateControls();
  virtual Integer ItemWidth();
  virtual Integer DropDownCount() = 0;
  virtual Boolean AllowsReordering() = 0;
  virtual void SetItemChecked(TObject* item, Boolean checked) = 0;
  virtual Integer GetItemIndex(TObject* item) = 0;
  virtual void MoveItem(TObject* item, Integer index) = 0;

  void Popup() override;
  using TcxCustomGridPopup::Popup;
  void CloseUp() override;
  // A list taller than the work area below (or above) the popup's place switches to as many
  // columns as make it fit, and no more columns than fit the area's width.
  void FitToWorkArea(TPoint& position) override;

  TcxCheckListBox* GetCheckListBox() const { return FCheckListBox; }
  // The two arrows at the ends of the line above the drop target entry (inner list coordinates).
  void GetDropArrowRects(Integer target, TRect& left, TRect& right);
  Integer GetColumnCount() const;
  // The insertion position for a point of the inner list: the entry under it (plus 1 in its lower
  // half), the entry count below the last entry, -1 elsewhere.
  Integer DropTargetAt(const TPoint& point);
  Integer GetDropTargetIndex() const { return FDropTargetIndex; }
  // Moves the objects of the selected entries (in list order) before the target entry.
  void DropSelectedAt(Integer target);
  // While an entry is dragged over a list of several columns: 0 none, 1 back, 2 forward.
  Integer GetAutoScrollDirection() const { return FAutoScrollDirection; }

 private:
  void CheckClick(TObject* sender, Integer index, TcxCheckBoxState prevState, TcxCheckBoxState newState);
  void ListDragOver(TObject* sender, TObject* source, Integer x, Integer y, TDragState state, bool& accept);
  void ListDragDrop(TObject* sender, TObject* source, Integer x, Integer y);
  void ListStartDrag(TObject* sender, TDragObject*& dragObject);
  void ListEndDrag(TObject* sender, TObject* target, Integer x, Integer y);
  void ListKeyDown(TObject* sender, Word& key, TShiftState shift);
  void SetDropTargetIndex(Integer value);
  void SetAutoScrollDirection(Integer value);
  void AutoScrollTimerHandler(TObject* sender);
  TcxCheckListBox* FCheckListBox = nullptr;
  Integer FDropTargetIndex = -1;
  Integer FAutoScrollDirection = 0;
  TcxTimer* FAutoScrollTimer = nullptr;
  Boolean FFilling = false;
};

// The popup for the items of a table view.
class TcxCustomGridItemsCustomizationPopup : public TcxCustomGridCustomizationPopup {
  ORV_CLASS(TcxCustomGridItemsCustomizationPopup, TcxCustomGridCustomizationPopup)
 public:
  explicit TcxCustomGridItemsCustomizationPopup(TcxCustomGridView* gridView)
      : TcxCustomGridCustomizationPopup(gridView) {}
  TcxCustomGridTableView* TableView() const;

  void FillItems() override;
  Integer DropDownCount() override;
  Boolean AllowsReordering() override;
  void SetItemChecked(TObject* item, Boolean checked) override;
  Integer GetItemIndex(TObject* item) override;
  void MoveItem(TObject* item, Integer index) override;
};

// The columns of the grid table view, opened from its indicator header.
class TcxGridColumnsCustomizationPopup : public TcxCustomGridItemsCustomizationPopup {
  ORV_CLASS(TcxGridColumnsCustomizationPopup, TcxCustomGridItemsCustomizationPopup)
 public:
  explicit TcxGridColumnsCustomizationPopup(TcxCustomGridView* gridView)
      : TcxCustomGridItemsCustomizationPopup(gridView) {}
  void SetItemChecked(TObject* item, Boolean checked) override;
  void MoveItem(TObject* item, Integer index) override;
};

// ==== Customization form item lists ==============================================================

// The inner list of an item list box: remembers the item pressed for a drag into the view.
class TcxCustomGridItemsInnerListBox : public TcxInnerListBox {
  ORV_CLASS(TcxCustomGridItemsInnerListBox, TcxInnerListBox)
 public:
  explicit TcxCustomGridItemsInnerListBox(TComponent* owner);
  Integer GetDragStartItemIndex() const { return FDragStartItemIndex; }
  void Dispatch(TMessage& message) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void KeyDown(Word& key, TShiftState shift) override;

 private:
  Integer FDragStartItemIndex = -1;
  TPoint FDragStartPoint{};
};

// An owner-drawn list of a customization form's page, whose items are dragged into the view.
class TcxCustomGridItemsListBox : public TcxListBox {
  ORV_CLASS(TcxCustomGridItemsListBox, TcxListBox)
 public:
  using TCreateSignature = void(TComponent* owner);
  explicit TcxCustomGridItemsListBox(TComponent* owner);

  virtual Integer CalculateItemHeight() = 0;
  virtual void RefreshItems() = 0;
  // The hit test whose drag-and-drop class starts moving the item at the index.
  virtual TcxCustomGridHitTest* GetDragAndDropHitTest(Integer index) = 0;
  virtual void PaintItem(TcxCanvas* canvas, const TRect& rect, Boolean focused, Integer index) = 0;

  // Refills the list keeping its top and item index.
  void Refresh();
  Integer IndexOfItemObject(TObject* item) const;
  TcxCustomGridCustomizationForm* CustomizationForm() const;
  // Starts moving the item at the index into the view (the point in the list's coordinates).
  void BeginItemDrag(Integer index, const TPoint& point);

  Boolean DoDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) override;
  TcxInnerListBoxClass GetInnerListBoxClass() override;

 protected:
  void CreateHandle() override;
};

// The list of the hidden items of a table view.
class TcxCustomGridTableItemsListBox : public TcxCustomGridItemsListBox {
  ORV_CLASS(TcxCustomGridTableItemsListBox, TcxCustomGridItemsListBox)
 public:
  explicit TcxCustomGridTableItemsListBox(TComponent* owner) : TcxCustomGridItemsListBox(owner) {}
  TcxCustomGridTableView* GridView() const;
  // The items that can move, are visible for customization and hidden, by their captions.
  void RefreshTableItems();
};

// Items drawn like column headers.
class TcxGridTableItemsListBox : public TcxCustomGridTableItemsListBox {
  ORV_CLASS(TcxGridTableItemsListBox, TcxCustomGridTableItemsListBox)
 public:
  explicit TcxGridTableItemsListBox(TComponent* owner);
  Integer CalculateItemHeight() override;
  void RefreshItems() override { RefreshTableItems(); }
  void PaintItem(TcxCanvas* canvas, const TRect& rect, Boolean focused, Integer index) override;
  TcxCustomGridHitTest* GetDragAndDropHitTest(Integer index) override;
};

class TcxGridTableColumnsListBox : public TcxGridTableItemsListBox {
  ORV_CLASS(TcxGridTableColumnsListBox, TcxGridTableItemsListBox)
 public:
  using TcxGridTableItemsListBox::TcxGridTableItemsListBox;
};

using TcxCustomGridTableItemsListBoxClass = orv::ClassOf<TcxCustomGridTableItemsListBox>;

// ==== Customization forms ========================================================================

class TcxCustomGridTableCustomizationForm : public TcxCustomGridCustomizationForm {
  ORV_CLASS(TcxCustomGridTableCustomizationForm, TcxCustomGridCustomizationForm)
 public:
  explicit TcxCustomGridTableCustomizationForm(TcxCustomGridController* controller);

  virtual TcxCustomGridTableItemsListBoxClass ItemsListBoxClass() {
    return TcxCustomGridTableItemsListBoxClass();
  }
  virtual void GetItemsPageCaption(AnsiString& text) = 0;
  virtual Boolean ItemsPageVisible();

  // The items page and its list (virtual calls do not reach a descendant from the constructor:
  // the controller calls this once the form is made).
  void CreateItemsPage();
  void RefreshData() override;
  void RefreshItemLists() override { RefreshData(); }

  TcxCustomGridTableItemsListBox* GetItemsListBox() const { return FItemsListBox; }
  TcxTabSheet* GetItemsPage() const { return FItemsPage; }

 private:
  TcxCustomGridTableItemsListBox* FItemsListBox = nullptr;
  TcxTabSheet* FItemsPage = nullptr;
};

class TcxGridTableCustomizationForm : public TcxCustomGridTableCustomizationForm {
  ORV_CLASS(TcxGridTableCustomizationForm, TcxCustomGridTableCustomizationForm)
 public:
  using TcxCustomGridTableCustomizationForm::TcxCustomGridTableCustomizationForm;
  TcxCustomGridTableItemsListBoxClass ItemsListBoxClass() override {
    return TcxGridTableColumnsListBox::StaticClass();
  }
  void GetItemsPageCaption(AnsiString& text) override;
};
