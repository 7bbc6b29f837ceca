// The check list box: a list of captioned items, each with a check (unchecked, checked or
// grayed), an optional image and an enabled flag, whose check states together form one edit
// value in one of the check-state value formats. A container around an owner-drawn native list
// box that draws every item itself.
#pragma once

#include "components/data/cxDataUtils.h"
#include "components/editors-more/cxCheckBox.h"
#include "components/foundation/cxContainer.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/StdCtrls.h"

class TcxCustomCheckListBox;
class TcxCustomInnerCheckListBox;
using TcxClickCheckEvent =
    orv::Event<void(TObject* sender, Integer index, TcxCheckBoxState prevState, TcxCheckBoxState newState)>;
using TcxCheckStatesToEditValueEvent =
    orv::Event<void(TObject* sender, const TcxCheckStates& checkStates, Variant& editValue)>;
using TcxEditValueToCheckStatesEvent =
    orv::Event<void(TObject* sender, const Variant& editValue, TcxCheckStates& checkStates)>;

enum TcxCheckListBoxImageLayout { ilBeforeChecks, ilAfterChecks };

struct TcxCheckListBoxMetrics {
  Integer CheckMargin;
  Integer AreaIndent;
  Integer ImageMargin;
  Integer AreaSpacing;
  Integer TextIndent;
  Integer WidthReserve;
};

// ==== Items ====================================================================================

class TcxCheckListBoxItem : public TcxCaptionItem {
  ORV_CLASS(TcxCheckListBoxItem, TcxCaptionItem)
 public:
  explicit TcxCheckListBoxItem(TCollection* collection) : TcxCaptionItem(collection) {}
  void Assign(TPersistent* source) override;
  AnsiString GetDisplayName() const override;

  Boolean GetEnabled() const { return FEnabled; }
  void SetEnabled(Boolean value);
  TImageIndex GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(TImageIndex value);
  TcxCheckBoxState GetState() const { return FState; }
  void SetState(TcxCheckBoxState value);
  const AnsiString& GetText() const { return GetCaption(); }
  void SetText(const AnsiString& value) { SetCaption(value); }
  // Owned elsewhere.
  TObject* GetItemObject() const { return FItemObject; }
  void SetItemObject(TObject* value) { FItemObject = value; }

 private:
  TcxCustomInnerCheckListBox* GetCheckListBox() const;
  Boolean FEnabled = true;
  TImageIndex FImageIndex = -1;
  TcxCheckBoxState FState = cbsUnchecked;
  TObject* FItemObject = nullptr;
};

class TcxCheckListBoxItems : public TcxCaptionItems {
  ORV_CLASS(TcxCheckListBoxItems, TcxCaptionItems)
 public:
  explicit TcxCheckListBoxItems(TcxCustomInnerCheckListBox* owner);
  void BeforeDestruction() override;

  TcxCheckListBoxItem* GetItem(Integer index) const {
    return static_cast<TcxCheckListBoxItem*>(TCollection::GetItem(index));
  }
  TObject* GetItemObject(Integer index) const { return GetItem(index)->GetItemObject(); }
  TcxCheckListBoxItem* Add() { return static_cast<TcxCheckListBoxItem*>(TCollection::Add()); }
  // Without regard to case; -1 when absent.
  Integer IndexOf(const AnsiString& text) const;
  Integer IndexOfItemObject(TObject* object) const;
  // While locked, item state changes do not rebuild the edit value.
  void LockChanged(Boolean lock, Boolean notify = false);
  Boolean IsChangedLocked() const { return FChangedLockCount > 0; }
  TcxCustomInnerCheckListBox* GetCheckListBox() const { return FCheckListBox; }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TcxCustomInnerCheckListBox* FCheckListBox;
  Integer FChangedLockCount = 0;
};

// ==== Inner check list box =====================================================================

class TcxCustomInnerCheckListBox : public TcxCustomInnerListBox, public IcxMouseTrackingCaller {
  ORV_CLASS(TcxCustomInnerCheckListBox, TcxCustomInnerListBox)
 public:
  using TCreateSignature = void(TComponent* owner);
  explicit TcxCustomInnerCheckListBox(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomInnerCheckListBox() override;
  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

  // IcxMouseTrackingCaller.
  void MouseLeave() override;

  TcxCustomCheckListBox* GetCheckListBox() const;
  TcxCheckListBoxItems* GetCheckItems() const { return FItems; }
  void SetCheckItems(TcxCheckListBoxItems* value);
  Boolean GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(Boolean value) { FAllowGrayed = value; }
  Boolean GetAllowDblClickToggle() const { return FAllowDblClickToggle; }
  void SetAllowDblClickToggle(Boolean value) { FAllowDblClickToggle = value; }
  // Created empty on first read.
  TBitmap* GetGlyph();
  void SetGlyph(TBitmap* value);
  Boolean HasGlyph() const { return FGlyph != nullptr; }
  Integer GetGlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(Integer value);
  const TcxCheckListBoxMetrics& GetMetricsValue() const { return FMetrics; }
  const TcxClickCheckEvent& GetOnClickCheck() const { return FOnClickCheck; }
  void SetOnClickCheck(const TcxClickCheckEvent& value) { FOnClickCheck = value; }

  Integer GetHotCheckIndex() const { return FHotCheckIndex; }
  Integer GetPressedCheckIndex() const { return FPressedCheckIndex; }
  Integer GetCapturedCheckIndex() const { return FCapturedCheckIndex; }

  // The check rectangle of an item row (empty without checks); `withBorder` inflates it by the
  // border width, as it is drawn.
  TRect GetCheckRect(const TRect& itemRect, Boolean withBorder);
  TRect GetImageRect(const TRect& itemRect);
  // The item whose (inner) check rectangle holds the point; -1 otherwise.
  Integer GetCheckAt(Integer x, Integer y);
  // The check's inner size and its border width.
  void GetCheckMetrics(TSize& size, Integer& borderWidth);
  void ToggleItem(Integer index);
  void ItemStatesToEditValue();
  void EditValueToItemStates();
  void ItemMetricsChanged();
  void InvalidateCheck(Integer index);

  // ---- New virtual operations ----
  virtual Integer GetCheckAreaWidth();
  virtual TcxCheckListBoxMetrics GetMetrics();
  virtual Integer GetItemHeight();
  virtual void FullRepaint();
  virtual void InvalidateItem(Integer index);
  virtual void DoClickCheck(Integer index, TcxCheckBoxState prevState, TcxCheckBoxState newState);

 protected:
  void CreateParams(TCreateParams& params) override;
  void Click() override;
  void DblClick() override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;

 private:
  void SetCheckStates(Integer hot, Integer pressed);
  void UpdateCheckStates(TShiftState shift, Integer x, Integer y);
  void UpdateCheckStatesAtCursor();
  void GlyphChanged(TObject*) { ItemMetricsChanged(); }
  Boolean StartModifyAllowed();

  Boolean FAllowGrayed = false;
  Boolean FAllowDblClickToggle = true;
  Integer FCapturedCheckIndex = -1;
  TcxCheckListBoxItems* FItems = nullptr;
  TBitmap* FGlyph = nullptr;
  Integer FGlyphCount = 6;
  Integer FHotCheckIndex = -1;
  TcxCheckListBoxMetrics FMetrics{};
  Integer FMouseDownCheckIndex = -1;
  Boolean FItemWasFullyVisible = false;
  Integer FPressedCheckIndex = -1;
  TcxClickCheckEvent FOnClickCheck;
};

using TcxCustomInnerCheckListBoxClass = orv::ClassOf<TcxCustomInnerCheckListBox>;

// ==== The control ==============================================================================

class TcxCustomCheckListBox : public TcxContainer {
  ORV_CLASS(TcxCustomCheckListBox, TcxContainer)
 public:
  explicit TcxCustomCheckListBox(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomCheckListBox() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Dispatch(TMessage& message) override;
  Boolean IsInternalControl(TControl* control) override;
  Boolean IsReadOnly() override;
  void AlignInnerControl() override;
  void RefreshFromData() override;
  void StoreToData() override;

  TcxCustomInnerCheckListBox* GetInnerCheckListBox() const { return FInnerCheckListBox; }
  TcxCustomDataBinding* GetDataBinding() const { return FDataBinding; }
  TcxCheckListBoxItems* GetItems() const { return FInnerCheckListBox->GetCheckItems(); }
  void SetItems(TcxCheckListBoxItems* value);
  void ClearItems();
  // The platform list's string count.
  Integer GetItemCount() const;
  Integer ItemAtPos(const TPoint& pos, Boolean existing);
  TRect ItemRect(Integer index);
  Integer CalcFullWidth();
  Integer GetItemIndex();
  void SetItemIndex(Integer value);
  Integer GetTopIndex();
  void SetTopIndex(Integer value);
  Boolean GetSelected(Integer index);
  void SetSelected(Integer index, Boolean value);

  const Variant& GetEditValue() const { return FEditValue; }
  TcxCheckStatesValueFormat GetEditValueFormat() const { return FEditValueFormat; }
  void SetEditValueFormat(TcxCheckStatesValueFormat value);
  // cvfCustom when both conversion events are assigned.
  TcxCheckStatesValueFormat GetEffectiveValueFormat() const;
  Boolean GetEditValueFromStates() const { return FEditValueFromStates; }
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TcxCheckListBoxImageLayout GetImageLayout() const { return FImageLayout; }
  void SetImageLayout(TcxCheckListBoxImageLayout value);
  Boolean GetIntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(Boolean value);
  Boolean GetShowChecks() const { return FShowChecks; }
  void SetShowChecks(Boolean value);
  Boolean GetReadOnly() const;
  void SetReadOnly(Boolean value);
  Boolean GetSorted() const;
  void SetSorted(Boolean value);
  Boolean GetNativeCheckStyle() const { return FNativeCheckStyle; }
  TcxEditBorderStyle GetCheckBorderStyle() const { return FCheckBorderStyle; }

  Boolean GetAllowGrayed() const { return FInnerCheckListBox->GetAllowGrayed(); }
  void SetAllowGrayed(Boolean value) { FInnerCheckListBox->SetAllowGrayed(value); }
  Boolean GetAllowDblClickToggle() const { return FInnerCheckListBox->GetAllowDblClickToggle(); }
  void SetAllowDblClickToggle(Boolean value) { FInnerCheckListBox->SetAllowDblClickToggle(value); }
  TBitmap* GetGlyph() { return FInnerCheckListBox->GetGlyph(); }
  void SetGlyph(TBitmap* value) { FInnerCheckListBox->SetGlyph(value); }
  Integer GetGlyphCount() const { return FInnerCheckListBox->GetGlyphCount(); }
  void SetGlyphCount(Integer value) { FInnerCheckListBox->SetGlyphCount(value); }
  Integer GetColumns() const { return FInnerCheckListBox->GetColumns(); }
  void SetColumns(Integer value) { FInnerCheckListBox->SetColumns(value); }
  Integer GetScrollWidth() { return FInnerCheckListBox->GetScrollWidth(); }
  void SetScrollWidth(Integer value) { FInnerCheckListBox->SetScrollWidth(value); }
  Integer GetTabWidth() const { return FInnerCheckListBox->GetTabWidth(); }
  void SetTabWidth(Integer value) { FInnerCheckListBox->SetTabWidth(value); }
  Boolean GetAutoComplete() const { return FInnerCheckListBox->GetAutoComplete(); }
  void SetAutoComplete(Boolean value) { FInnerCheckListBox->SetAutoComplete(value); }

  const TcxClickCheckEvent& GetOnClickCheck() const { return FInnerCheckListBox->GetOnClickCheck(); }
  void SetOnClickCheck(const TcxClickCheckEvent& value) { FInnerCheckListBox->SetOnClickCheck(value); }
  const TcxCheckStatesToEditValueEvent& GetOnCheckStatesToEditValue() const { return FOnCheckStatesToEditValue; }
  void SetOnCheckStatesToEditValue(const TcxCheckStatesToEditValueEvent& value);
  const TcxEditValueToCheckStatesEvent& GetOnEditValueToCheckStates() const { return FOnEditValueToCheckStates; }
  void SetOnEditValueToCheckStates(const TcxEditValueToCheckStatesEvent& value);
  TDrawItemEvent GetOnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(TDrawItemEvent value) { FOnDrawItem = value; }
  TNotifyEvent GetOnEditValueChanged() const { return FOnEditValueChanged; }
  void SetOnEditValueChanged(TNotifyEvent value) { FOnEditValueChanged = value; }
  // Kept and published; every item has the computed height, so it never fires.
  TMeasureItemEvent GetOnMeasureItem() const { return FOnMeasureItem; }
  void SetOnMeasureItem(TMeasureItemEvent value) { FOnMeasureItem = value; }

  // ---- New virtual operations ----
  virtual TcxCustomDataBindingClass GetDataBindingClass();
  virtual void DoEditValueChanged();
  virtual TcxCustomInnerCheckListBoxClass GetInnerCheckListBoxClass();
  virtual void SetEditValue(const Variant& value);
  virtual Boolean IsEditValueValid(const Variant& value, Boolean allowEmpty);
  virtual Integer GetHeightForItemCount(Integer count);
  virtual Integer GetItemWidth(Integer index);

  // Raises when the integer format would have to hold more than 64 items.
  void CheckItemCount();
  // The native check style and the check border style from the look and feel.
  void UpdateCheckStyle();

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void DoExit() override;
  bool CanResize(Integer& newWidth, Integer& newHeight) override;
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override;
  using TcxContainer::FontChanged;
  void FontChanged() override;

 private:
  friend class TcxCustomInnerCheckListBox;
  void DrawItem(TWinControl* control, Integer index, TRect rect, TOwnerDrawState state);
  void ItemsChanged(TObject* sender, TCollectionItem* item) { CheckItemCount(); }
  void ImagesChanged(TObject*) { FInnerCheckListBox->ItemMetricsChanged(); }
  void SetEditValueField(const Variant& value, Boolean fromStates, Boolean& changed);
  Integer AdjustedHeight(Integer requested);

  TcxEditBorderStyle FCheckBorderStyle = ebs3D;
  Variant FEditValue;
  TcxCheckStatesValueFormat FEditValueFormat = cvfInteger;
  TCustomImageList* FImages = nullptr;
  TChangeLink* FImagesChangeLink = nullptr;
  TcxCheckListBoxImageLayout FImageLayout = ilBeforeChecks;
  TcxCustomInnerCheckListBox* FInnerCheckListBox = nullptr;
  Boolean FIntegralHeight = false;
  Boolean FIsExitProcessing = false;
  Boolean FEditValueFromStates = false;
  Boolean FStreamedSorted = false;
  Boolean FNativeCheckStyle = false;
  Boolean FShowChecks = true;
  TcxCheckStatesToEditValueEvent FOnCheckStatesToEditValue;
  TDrawItemEvent FOnDrawItem;
  TNotifyEvent FOnEditValueChanged;
  TcxEditValueToCheckStatesEvent FOnEditValueToCheckStates;
  TMeasureItemEvent FOnMeasureItem;
  TcxCustomDataBinding* FDataBinding = nullptr;
};

class TcxCheckListBox : public TcxCustomCheckListBox {
  ORV_CLASS(TcxCheckListBox, TcxCustomCheckListBox)
 public:
  using TcxCustomCheckListBox::TcxCustomCheckListBox;
};
