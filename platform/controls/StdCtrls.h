// The standard controls of the class library over the standard windows of UserControls.h:
// labels, buttons, check boxes, radio buttons, single-line edits and memos, list boxes, scroll
// bars and group boxes, in the classic look.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/runtime/Strings.h"

class TCustomListBox;

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
enum TOwnerDrawStateItem {
  odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive,
  odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = orv::Set<TOwnerDrawStateItem>;

using TDrawItemEvent =
    orv::Event<void(TWinControl* control, Integer index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = orv::Event<void(TWinControl* control, Integer index, Integer& height)>;
using TScrollEvent = orv::Event<void(TObject* sender, TScrollCode scrollCode, Integer& scrollPos)>;
// The items of a virtual list box come from its owner.
using TLBGetDataEvent = orv::Event<void(TWinControl* control, Integer index, AnsiString& data)>;
using TLBGetDataObjectEvent = orv::Event<void(TWinControl* control, Integer index, TObject*& dataObject)>;
using TLBFindDataEvent = orv::Event<Integer(TWinControl* control, const AnsiString& findString)>;

// ---- Label ------------------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
  ORV_CLASS(TCustomLabel, TGraphicControl)
 public:
  explicit TCustomLabel(TComponent* owner);
  void Dispatch(TMessage& message) override;

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TTextLayout GetLayout() const { return FLayout; }
  void SetLayout(TTextLayout value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  bool GetShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  bool GetTransparent() const { return !FControlStyle.Contains(csOpaque); }
  void SetTransparent(bool value);
  // The control that gets the focus when the caption's accelerator is typed.
  TWinControl* GetFocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* value);
  void SetAutoSize(bool value) override;
  TCanvas* GetCanvas() const { return TGraphicControl::GetCanvas(); }

  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

 protected:
  void Paint() override;
  // Resizes to the text (AutoSize), keeping the side the alignment anchors.
  virtual void AdjustBounds();
  // Draws (or, with DT_CALCRECT, measures) the caption.
  virtual void DoDrawText(TRect& rect, UINT flags);

 private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  ORV_CLASS(TLabel, TCustomLabel)
 public:
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// ---- Buttons ----------------------------------------------------------------------------------

class TButtonControl : public TWinControl {
  ORV_CLASS(TButtonControl, TWinControl)
 public:
  explicit TButtonControl(TComponent* owner) : TWinControl(owner) {}
  virtual bool GetChecked() const { return false; }
  virtual void SetChecked(bool value) {}
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);

 protected:
  // While set, a change of Checked does not run Click.
  bool FClicksDisabled = false;
  bool FWordWrap = false;
  void CreateParams(TCreateParams& params) override;
  void ActionChange(TObject* sender, bool checkDefaults) override;
  TControlActionLinkClass GetActionLinkClass() override;
};

class TButtonActionLink : public TControlActionLink {
  ORV_CLASS(TButtonActionLink, TControlActionLink)
 public:
  explicit TButtonActionLink(TObject* client) : TControlActionLink(client) {}
  bool IsCheckedLinked() override;
  void SetChecked(bool value) override;
};

class TButton : public TButtonControl {
  ORV_CLASS(TButton, TButtonControl)
 public:
  explicit TButton(TComponent* owner);
  void Dispatch(TMessage& message) override;
  // Runs OnClick (or the action) and gives the parent form the button's ModalResult.
  void Click() override;

  // Enter presses the default button (the focused button takes the part meanwhile).
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool value);
  // Escape presses the cancel button.
  bool GetCancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  TModalResult GetModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // The window's style: BS_DEFPUSHBUTTON while the button answers Enter.
  virtual void SetButtonStyle(bool isDefault);

 private:
  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;
  TModalResult FModalResult = mrNone;
};

class TCustomCheckBox : public TButtonControl {
  ORV_CLASS(TCustomCheckBox, TButtonControl)
 public:
  explicit TCustomCheckBox(TComponent* owner);
  void Dispatch(TMessage& message) override;

  bool GetChecked() const override { return FState == cbChecked; }
  void SetChecked(bool value) override { SetState(value ? cbChecked : cbUnchecked); }
  TCheckBoxState GetState() const { return FState; }
  void SetState(TCheckBoxState value);
  bool GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  // taRightJustify (the default) puts the text right of the box.
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Toggle();

 private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  ORV_CLASS(TCheckBox, TCustomCheckBox)
 public:
  explicit TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}
};

class TRadioButton : public TButtonControl {
  ORV_CLASS(TRadioButton, TButtonControl)
 public:
  explicit TRadioButton(TComponent* owner);
  void Dispatch(TMessage& message) override;

  bool GetChecked() const override { return FChecked; }
  // Checking unchecks the other radio buttons of the same parent.
  void SetChecked(bool value) override;
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  void TurnSiblingsOff();
  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
};

// ---- Edits ------------------------------------------------------------------------------------

class TCustomEdit : public TWinControl {
  ORV_CLASS(TCustomEdit, TWinControl)
 public:
  explicit TCustomEdit(TComponent* owner);
  void Dispatch(TMessage& message) override;

  void Clear() { SetText(AnsiString()); }
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  void ClearUndo();
  bool GetCanUndo();
  void SelectAll();
  Integer GetSelStart();
  void SetSelStart(Integer value);
  Integer GetSelLength();
  void SetSelLength(Integer value);
  AnsiString GetSelText();
  void SetSelText(const AnsiString& value);
  bool GetModified();
  void SetModified(bool value);

  bool GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  // 0: no limit.
  Integer GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer value);
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value);
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  void SetAutoSize(bool value) override;
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void DoEnter() override;
  virtual void Change();
  void AdjustHeight();
  bool FCreating = false;

 private:
  bool FAutoSelect = true;
  TBorderStyle FBorderStyle = bsSingle;
  TEditCharCase FCharCase = ecNormal;
  bool FHideSelection = true;
  Integer FMaxLength = 0;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  bool FReadOnly = false;
  bool FModified = false;
  TAlignment FAlignment = taLeftJustify;
  TNotifyEvent FOnChange;
};

class TEdit : public TCustomEdit {
  ORV_CLASS(TEdit, TCustomEdit)
 public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

class TCustomMemo : public TCustomEdit {
  ORV_CLASS(TCustomMemo, TCustomEdit)
 public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;
  void Dispatch(TMessage& message) override;

  // The lines as the memo shows them (a wrapped line is several lines).
  TStrings* GetLines() const { return FLines; }
  void SetLines(TStrings* value) { FLines->Assign(value); }
  // Column and line of the caret.
  TPoint GetCaretPos();
  void SetCaretPos(TPoint value);
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  bool GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { FWantReturns = value; }
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { FWantTabs = value; }
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void KeyPress(char& key) override;

 private:
  TStrings* FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
  ORV_CLASS(TMemo, TCustomMemo)
 public:
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

// ---- List box ---------------------------------------------------------------------------------

class TCustomListBox : public TWinControl {
  ORV_CLASS(TCustomListBox, TWinControl)
 public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;
  void Dispatch(TMessage& message) override;

  TStrings* GetItems() const { return FItems; }
  void SetItems(TStrings* value) { FItems->Assign(value); }
  Integer GetCount() const;
  // The number of items of a virtual list (lbVirtual, lbVirtualOwnerDraw).
  void SetCount(Integer value);
  void AddItem(const AnsiString& item, TObject* object) { FItems->AddObject(item, object); }
  void Clear() { FItems->Clear(); }
  void ClearSelection();
  void SelectAll();
  void DeleteSelected();
  // -1 when nothing is selected.
  Integer GetItemIndex();
  void SetItemIndex(Integer value);
  Integer GetTopIndex();
  void SetTopIndex(Integer value);
  bool GetSelected(Integer index);
  void SetSelected(Integer index, bool value);
  Integer GetSelCount();
  // The item at a client point; -1 when `existing` and the point is below the last item.
  Integer ItemAtPos(TPoint pos, bool existing);
  TRect ItemRect(Integer index);

  bool GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool value);
  bool GetExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool value);
  bool GetSorted() const { return FSorted; }
  void SetSorted(bool value);
  TListBoxStyle GetStyle() const { return FStyle; }
  void SetStyle(TListBoxStyle value);
  Integer GetItemHeight();
  void SetItemHeight(Integer value);
  bool GetIntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  Integer GetScrollWidth();
  void SetScrollWidth(Integer value);
  // Columns side by side (0: one column, scrolled vertically).
  Integer GetColumns() const { return FColumns; }
  void SetColumns(Integer value);
  // Tab stops every TabWidth dialog units (0: none).
  Integer GetTabWidth() const { return FTabWidth; }
  void SetTabWidth(Integer value);
  // Typed characters find the first item starting with them (typing pauses of AutoCompleteDelay
  // milliseconds start a new search).
  bool GetAutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool value) { FAutoComplete = value; }
  Cardinal GetAutoCompleteDelay() const { return FAutoCompleteDelay; }
  void SetAutoCompleteDelay(Cardinal value) { FAutoCompleteDelay = value; }
  TLBGetDataEvent GetOnData() const { return FOnData; }
  void SetOnData(TLBGetDataEvent value) { FOnData = value; }
  TLBGetDataObjectEvent GetOnDataObject() const { return FOnDataObject; }
  void SetOnDataObject(TLBGetDataObjectEvent value) { FOnDataObject = value; }
  TLBFindDataEvent GetOnDataFind() const { return FOnDataFind; }
  void SetOnDataFind(TLBFindDataEvent value) { FOnDataFind = value; }
  TCanvas* GetCanvas() const { return FCanvas; }
  TDrawItemEvent GetOnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(TDrawItemEvent value) { FOnDrawItem = value; }
  TMeasureItemEvent GetOnMeasureItem() const { return FOnMeasureItem; }
  void SetOnMeasureItem(TMeasureItemEvent value) { FOnMeasureItem = value; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void DrawItem(Integer index, TRect rect, TOwnerDrawState state);
  virtual void MeasureItem(Integer index, Integer& height);
  void KeyPress(char& key) override;
  virtual AnsiString DoGetData(Integer index);
  virtual TObject* DoGetDataObject(Integer index);
  virtual Integer DoFindData(const AnsiString& data);
  // A fixed-height owner-drawn list whose rows carry no data (the native list's no-data style):
  // a row count set in one message (SetCount) instead of one item per row, the row texts coming
  // from DoGetData. For lists of many rows drawn from elsewhere; lbOwnerDrawVariable keeps items.
  void SetOwnerDrawNoData(bool value);
  bool IsVirtual() const {
    return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw || (FOwnerDrawNoData && FStyle == lbOwnerDrawFixed);
  }

 private:
  friend class TListBoxStrings;
  void SetColumnWidth();
  TStrings* FItems;
  TStringList* FSaveItems = nullptr;  // the items while there is no window
  Integer FSaveItemIndex = -1;
  Integer FSaveTopIndex = 0;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  bool FSorted = false;
  bool FIntegralHeight = false;
  TListBoxStyle FStyle = lbStandard;
  Integer FItemHeight = 16;
  Integer FScrollWidth = 0;
  Integer FColumns = 0;
  Integer FTabWidth = 0;
  Integer FVirtualCount = 0;
  bool FOwnerDrawNoData = false;
  bool FAutoComplete = true;
  Cardinal FAutoCompleteDelay = 500;
  AnsiString FFilter;
  DWORD FLastTime = 0;
  TLBGetDataEvent FOnData;
  TLBGetDataObjectEvent FOnDataObject;
  TLBFindDataEvent FOnDataFind;
  TBorderStyle FBorderStyle = bsSingle;
  TCanvas* FCanvas;
  TDrawItemEvent FOnDrawItem;
  TMeasureItemEvent FOnMeasureItem;
};

class TListBox : public TCustomListBox {
  ORV_CLASS(TListBox, TCustomListBox)
 public:
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

// ---- Combo box --------------------------------------------------------------------------------

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TForm;

// A drop-down list: the chosen item's text in a sunken field with a drop-down button. A click,
// F4 or Alt+Down drops the list of items below the field (at most DropDownCount rows), where a
// click chooses; Up, Down, Home and End and the wheel choose the previous, next, first or last
// item at once. A choice by the user fires OnClick, then OnChange; ItemIndex set by code fires
// nothing. Only the drop-down list style is built: no item can be typed.
class TCustomComboBox : public TCustomControl {
  ORV_CLASS(TCustomComboBox, TCustomControl)
 public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;
  void Dispatch(TMessage& message) override;

  TStrings* GetItems() const { return FItems; }
  void SetItems(TStrings* value) { FItems->Assign(value); }
  // -1 when nothing is chosen.
  Integer GetItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer value);
  AnsiString GetText() const;
  TComboBoxStyle GetStyle() const { return FStyle; }
  void SetStyle(TComboBoxStyle value) { FStyle = value; }
  Integer GetDropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(Integer value) { FDropDownCount = value; }
  bool GetDroppedDown() const { return FDropDown != nullptr; }
  void SetDroppedDown(bool value);
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }
  // The list window while dropped down (nil otherwise).
  TCustomListBox* GetDropDownList() const { return FDropDownList; }

 protected:
  void Paint() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;
  void DoEnter() override;
  void DoExit() override;
  // The user chose an item.
  virtual void Select();
  virtual void Change();

 private:
  void Choose(Integer index);
  void ItemsChanged(TObject* sender);
  void DropDownMouseUp(TObject* sender, TMouseButton button, TShiftState shift, Integer x, Integer y);
  void DropDownKeyDown(TObject* sender, Word& key, TShiftState shift);
  void DropDownDeactivate(TObject* sender);
  TStringList* FItems;
  Integer FItemIndex = -1;
  TComboBoxStyle FStyle = csDropDown;
  Integer FDropDownCount = 8;
  TForm* FDropDown = nullptr;
  TCustomListBox* FDropDownList = nullptr;
  TNotifyEvent FOnChange;
};

class TComboBox : public TCustomComboBox {
  ORV_CLASS(TComboBox, TCustomComboBox)
 public:
  explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

// ---- Scroll bar and group box -----------------------------------------------------------------

class TScrollBar : public TWinControl {
  ORV_CLASS(TScrollBar, TWinControl)
 public:
  explicit TScrollBar(TComponent* owner);
  void Dispatch(TMessage& message) override;

  void SetParams(Integer position, Integer min, Integer max);
  TScrollBarKind GetKind() const { return FKind; }
  void SetKind(TScrollBarKind value);
  Integer GetPosition() const { return FPosition; }
  void SetPosition(Integer value) { SetParams(value, FMin, FMax); }
  Integer GetMin() const { return FMin; }
  void SetMin(Integer value) { SetParams(FPosition, value, FMax); }
  Integer GetMax() const { return FMax; }
  void SetMax(Integer value) { SetParams(FPosition, FMin, value); }
  Integer GetPageSize() const { return FPageSize; }
  void SetPageSize(Integer value);
  Integer GetSmallChange() const { return FSmallChange; }
  void SetSmallChange(Integer value) { FSmallChange = value; }
  Integer GetLargeChange() const { return FLargeChange; }
  void SetLargeChange(Integer value) { FLargeChange = value; }
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }
  TScrollEvent GetOnScroll() const { return FOnScroll; }
  void SetOnScroll(TScrollEvent value) { FOnScroll = value; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  virtual void Change();
  virtual void Scroll(TScrollCode scrollCode, Integer& scrollPos);

 private:
  void DoScroll(TMessage& message);
  TScrollBarKind FKind = sbHorizontal;
  Integer FPosition = 0;
  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPageSize = 0;
  Integer FSmallChange = 1;
  Integer FLargeChange = 1;
  TNotifyEvent FOnChange;
  TScrollEvent FOnScroll;
};

// A frame with a caption around other controls.
class TCustomGroupBox : public TCustomControl {
  ORV_CLASS(TCustomGroupBox, TCustomControl)
 public:
  explicit TCustomGroupBox(TComponent* owner);
  void Dispatch(TMessage& message) override;

 protected:
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
  ORV_CLASS(TGroupBox, TCustomGroupBox)
 public:
  explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
};
