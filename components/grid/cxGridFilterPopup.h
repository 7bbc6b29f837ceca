// The filter drop-downs of a table view: a column's filter button opens a list of the column's
// distinct values with the special entries ("(All)", "(Custom...)", blanks, non-blanks, recently
// used values, date entries), filtering by one value on a click or by several checked ones; the
// filter box's drop-down lists the recently used filters and applies the one clicked.
#pragma once

#include "components/grid/cxGridCustomization.h"

class TcxButton;
class TStringList;
class TcxCustomGridTableItem;
class TcxGridFilterValueList;
class TcxGridFilterPopup;

// The list of the filter drop-down: separators are drawn as lines and cannot be selected; the
// entries that can be checked have check boxes. With check boxes, a click on the box toggles it
// and a click on the text filters by that entry alone.
class TcxGridFilterPopupListBox : public TcxGridPopupListBox {
  ORV_CLASS(TcxGridFilterPopupListBox, TcxGridPopupListBox)
 public:
  explicit TcxGridFilterPopupListBox(TcxGridFilterPopup* popup);

  Boolean IsCheckable(Integer index) override;
  Boolean IsItemSelectable(Integer index) override;
  void DoAction(Integer index) override;
  Boolean DoDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) override;
  void InnerMouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void InnerKeyDown(Word& key, TShiftState shift) override;

  TcxGridFilterPopup* FilterPopup() const;
  // Whether the last action toggled a check box (not a choice of the entry alone).
  Boolean WasCheckAction() const { return FCheckAction; }

 private:
  Boolean FPressOnCheck = false;
  Boolean FCheckAction = false;
};

// The drop-down of one item's filter button.
class TcxGridFilterPopup : public TcxCustomGridPopup {
  ORV_CLASS(TcxGridFilterPopup, TcxCustomGridPopup)
 public:
  explicit TcxGridFilterPopup(TcxCustomGridView* gridView);
  void BeforeDestruction() override;

  // ---- New virtual operations ----
  virtual void FillValues();
  virtual void SetupListBox();
  virtual void ApplyCheckedValues(const TcxGridIndexes& indexes);
  virtual void ApplyValue(Integer index);
  virtual Boolean AppliesImmediately();
  virtual void GetCheckedIndexes(TcxGridIndexes& indexes);
  virtual Integer GetSelectedIndex();
  virtual void AdjustLayout();
  virtual void InitContents();
  virtual Boolean ShowsApplyButton();
  virtual Boolean CanBeChecked(Integer index);
  virtual Boolean IsMultiSelect();
  virtual void UpdateApplyButton();

  void Popup() override;
  using TcxCustomGridPopup::Popup;
  void CloseUp() override;

  TcxCustomGridTableView* TableView() const;
  TcxCustomGridTableItem* GetItem() const { return FItem; }
  TcxGridFilterPopupListBox* GetListBox() const { return FListBox; }
  TcxButton* GetApplyButton() const { return FApplyButton; }
  TcxGridFilterValueList* GetValueList() const { return FValueList; }
  TStringList* GetValues() const { return FValues; }
  Boolean GetChangesPending() const { return FChangesPending; }
  // The value list entry kind of a list entry (-1 outside the list).
  Integer EntryKind(Integer index) const;

 private:
  void ListBoxAction(TcxGridPopupListBox* sender, Integer index);
  void ApplyButtonClick(TObject* sender);
  void SetChangesPending(Boolean value);

  TcxButton* FApplyButton = nullptr;
  TcxCustomGridTableItem* FItem = nullptr;
  TcxGridFilterPopupListBox* FListBox = nullptr;
  Boolean FChangesPending = false;
  TStringList* FValues = nullptr;
  TcxGridFilterValueList* FValueList = nullptr;
};

// The filter box's drop-down of the recently used filters.
class TcxGridFilterMRUItemsPopup : public TcxCustomGridPopup {
  ORV_CLASS(TcxGridFilterMRUItemsPopup, TcxCustomGridPopup)
 public:
  explicit TcxGridFilterMRUItemsPopup(TcxCustomGridView* gridView);

  // ---- New virtual operations ----
  virtual void FillItems(TStrings* strings);
  virtual void ApplyItem(Integer index);
  virtual Integer SelectedIndex();

  void Popup() override;
  using TcxCustomGridPopup::Popup;

  TcxCustomGridTableView* TableView() const;
  TcxGridPopupListBox* GetListBox() const { return FListBox; }

 private:
  void ListBoxAction(TcxGridPopupListBox* sender, Integer index);
  TcxGridPopupListBox* FListBox = nullptr;
};
