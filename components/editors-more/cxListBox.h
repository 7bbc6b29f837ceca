// The library's list box: a container that hosts a native list box window and gives it the
// container's frame, styles, look and feel and scroll bars, owner drawing through a component
// canvas, an integral-height rule and a data binding through which a data-aware descendant shows
// and stores the selected item. The grid's customization lists derive from it.
#pragma once

#include "components/editors/cxEdit.h"
#include "components/foundation/cxContainer.h"
#include "platform/controls/StdCtrls.h"

class TcxListBox;

using TcxListBoxDrawItemEvent =
    orv::Event<void(TcxListBox* control, TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state)>;
using TcxListBoxMeasureItemEvent = orv::Event<void(TcxListBox* control, Integer index, Integer& height)>;

// The native list inside a TcxListBox; its container is the list box that owns it.
class TcxInnerListBox : public TcxCustomInnerListBox {
  ORV_CLASS(TcxInnerListBox, TcxCustomInnerListBox)
 public:
  using TCreateSignature = void(TComponent* owner);
  explicit TcxInnerListBox(TComponent* owner) : TcxCustomInnerListBox(owner) {}

  TcxListBox* OwnerListBox() const;
  bool CanFocus() override;
  void Dispatch(TMessage& message) override;

 protected:
  void Click() override;
  void CreateWnd() override;
  void DrawItem(Integer index, TRect rect, TOwnerDrawState state) override;
  void MeasureItem(Integer index, Integer& height) override;
};
using TcxInnerListBoxClass = orv::ClassOf<TcxInnerListBox>;

class TcxListBox : public TcxContainer {
  ORV_CLASS(TcxListBox, TcxContainer)
 public:
  explicit TcxListBox(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxListBox() override;
  void Dispatch(TMessage& message) override;

  TcxInnerListBox* GetInnerListBox() const { return Inner(); }
  TcxDataBinding* GetDataBinding() const;

  // ---- The list (the inner list box's own) ----
  TStrings* GetItems() const;
  // Assigns the strings, then the selection follows the bound data.
  void SetItems(TStrings* value);
  Integer GetCount() const { return GetItems()->GetCount(); }
  Integer GetItemIndex();
  void SetItemIndex(Integer value);
  Integer GetTopIndex();
  void SetTopIndex(Integer value);
  Integer GetItemHeight();
  void SetItemHeight(Integer value);
  TListBoxStyle GetListStyle() const;
  void SetListStyle(TListBoxStyle value);
  Boolean GetMultiSelect() const;
  void SetMultiSelect(Boolean value);
  Boolean GetSorted() const;
  void SetSorted(Boolean value);
  Integer GetColumns() const;
  void SetColumns(Integer value);
  Integer GetScrollWidth();
  void SetScrollWidth(Integer value);
  Boolean GetAutoComplete() const;
  void SetAutoComplete(Boolean value);
  void Clear();
  // A point in the list box's coordinates; -1 for no item (with `existing`, below the last one).
  Integer ItemAtPos(const TPoint& point, Boolean existing);
  // In the list box's coordinates.
  TRect ItemRect(Integer index);

  Boolean GetIntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(Boolean value);
  // The data binding's read-only flag: keys, typing and clicks do not change the selection.
  Boolean GetReadOnly();
  void SetReadOnly(Boolean value);

  const TcxListBoxDrawItemEvent& GetOnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(const TcxListBoxDrawItemEvent& value) { FOnDrawItem = value; }
  const TcxListBoxMeasureItemEvent& GetOnMeasureItem() const { return FOnMeasureItem; }
  void SetOnMeasureItem(const TcxListBoxMeasureItemEvent& value) { FOnMeasureItem = value; }

  // ---- New virtual operations ----
  // Fires OnDrawItem; whether a handler drew.
  virtual Boolean DoDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state);
  virtual orv::ClassOf<TcxDataBinding> GetDataBindingClass();
  virtual TcxInnerListBoxClass GetInnerListBoxClass();

  // ---- Overrides ----
  void RefreshFromData() override;
  void StoreToData() override;
  Boolean IsReadOnly() override { return GetDataBinding() && GetDataBinding()->IsControlReadOnly(); }
  void AlignInnerControl() override;

  // The inner list asks: whether the binding lets the user change the selection.
  Boolean StartModify() { return !GetDataBinding() || GetDataBinding()->StartModify(); }
  // The height the integral-height rule makes of a requested height.
  Integer AdjustedHeight(Integer height);

 protected:
  void CreateHandle() override;
  void DoExit() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  bool CanResize(Integer& newWidth, Integer& newHeight) override;

 private:
  TcxInnerListBox* Inner() const;
  Boolean IntegralHeightApplies();
  Integer RowHeight(Integer index);

  TcxInnerListBox* FInnerListBox = nullptr;
  Boolean FIntegralHeight = false;
  TcxListBoxDrawItemEvent FOnDrawItem;
  TcxListBoxMeasureItemEvent FOnMeasureItem;
  TcxDataBinding* FDataBinding = nullptr;
  Boolean FIsExitProcessing = false;
};
