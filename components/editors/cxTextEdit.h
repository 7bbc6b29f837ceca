// The text editor family: the settings every text-like editor shares (case, password echo,
// length, display and edit formats, lookup items), the native single-line edit window an editor
// hosts as its inner control, the view data and view info that lay out and draw a text without
// a window (grid cells), the list model behind incremental search and lookup navigation, and the
// text editor control itself.
//
// Keys: the inner edit hands every key to the editor first; a key the editor consumed never
// reaches the edit window. Typed text changes the window's text, whose change notice becomes the
// editor's OnChange; the edit value follows the shown text while the editor is focused.
#pragma once

#include <bitset>
#include <memory>

#include "components/data/cxFormats.h"
#include "components/editors/cxEdit.h"
#include "components/editors/cxFilterControlUtils.h"
#include "components/foundation/cxDrawTextUtils.h"
#include "platform/controls/StdCtrls.h"
#include "platform/runtime/Strings.h"

class TcxCustomTextEdit;
class TcxCustomTextEditProperties;
class TcxCustomTextEditLookupData;
class TcxCustomTextEditViewInfo;

enum TcxEditEchoMode { eemNormal, eemPassword };
enum TcxTextEditViewStyle { vsNormal, vsHideCursor, vsButtonsOnly, vsButtonsAutoWidth };

using TcxNewLookupDisplayTextEvent = orv::Event<void(TObject* sender, const AnsiString& text)>;
// The characters accepted whatever the data's character check says.
using TcxCharSet = std::bitset<256>;

// Directions of lookup navigation.
inline constexpr Integer cxLookupFirst = 0;
inline constexpr Integer cxLookupLast = 1;
inline constexpr Integer cxLookupNext = 2;
inline constexpr Integer cxLookupPrev = 3;
inline constexpr Integer cxLookupPageUp = 4;
inline constexpr Integer cxLookupPageDown = 5;

// ==== Interfaces ==============================================================================

// How a text editor drives its inner edit window.
class IcxInnerTextEdit : public IcxCustomInnerEdit {
 public:
  virtual void ClearSelection() = 0;
  virtual void CopyToClipboard() = 0;
  virtual TAlignment GetAlignment() = 0;
  virtual Boolean GetAutoSelect() = 0;
  virtual TEditCharCase GetCharCase() = 0;
  virtual TcxEditEchoMode GetEchoMode() = 0;
  virtual Integer GetFirstVisibleCharIndex() = 0;
  virtual Boolean GetHideSelection() = 0;
  // The lead byte of a pending double-byte input; always #0 in the single-byte code page.
  virtual char GetImeLastChar() = 0;
  virtual Boolean GetKeyHandled() = 0;
  virtual Integer GetMaxLength() = 0;
  virtual Boolean GetMultiLine() = 0;
  virtual Boolean GetOEMConvert() = 0;
  virtual TNotifyEvent GetOnSelChange() = 0;
  virtual char GetPasswordChar() = 0;
  virtual Integer GetSelLength() = 0;
  virtual Integer GetSelStart() = 0;
  virtual AnsiString GetSelText() = 0;
  virtual void SelectAll() = 0;
  virtual void SetAlignment(TAlignment value) = 0;
  virtual void SetAutoSelect(Boolean value) = 0;
  virtual void SetCharCase(TEditCharCase value) = 0;
  virtual void SetEchoMode(TcxEditEchoMode value) = 0;
  virtual void SetHideSelection(Boolean value) = 0;
  virtual void SetKeyHandled(Boolean value) = 0;
  virtual void SetMaxLength(Integer value) = 0;
  virtual void SetOEMConvert(Boolean value) = 0;
  virtual void SetOnSelChange(const TNotifyEvent& value) = 0;
  virtual void SetPasswordChar(char value) = 0;
  virtual void SetSelLength(Integer value) = 0;
  virtual void SetSelStart(Integer value) = 0;
  virtual void SetSelText(const AnsiString& value) = 0;
};

// The list behind a text editor: the current item (the lookup key), search and navigation, and
// the list a drop-down editor shows in its popup.
class IcxTextEditLookupData : public virtual IInterface {
 public:
  // Fits the popup list's size into the limits; False refuses the size.
  virtual Boolean AdjustListSize(TSize& size, Integer maxHeight, Integer maxWidth) = 0;
  // The popup closed: the list's selection goes back to the current item.
  virtual void ClosePopupList() = 0;
  virtual void ReleaseList() = 0;
  virtual void InitializePopup() = 0;
  // The text before the caret when a popup opens during a search.
  virtual void SyncListWithText(const AnsiString& text) = 0;
  virtual Boolean ContainsText(const AnsiString& text) = 0;
  // nil before the list was prepared.
  virtual TWinControl* GetListControl() = 0;
  virtual Variant GetKey() = 0;
  virtual AnsiString GetKeyDisplayText(const Variant& key) = 0;
  virtual TSize GetListPreferredSize() = 0;
  virtual void MoveListFocus(Integer direction, Boolean cycle) = 0;
  // Makes (once) the popup list inside `parent` and fills it.
  virtual void PrepareList(TWinControl* parent) = 0;
  virtual Boolean IsListEmpty() = 0;
  // Whether a screen point lies in the list.
  virtual Boolean IsRowAtPoint(const TPoint& screenPoint) = 0;
  virtual Boolean LocateText(AnsiString& text, AnsiString& tail, Boolean exact) = 0;
  virtual void SetListBounds(const TRect& rect) = 0;
  virtual void ItemsChanged() = 0;
  // The user picked the list's item.
  virtual void ConfirmItem() = 0;
  virtual void SetKey(const Variant& key) = 0;
  virtual void SyncWithEditText() = 0;
  virtual TNotifyEvent GetOnKeyChanged() = 0;
  virtual void SetOnKeyChanged(const TNotifyEvent& value) = 0;
  virtual TNotifyEvent GetOnSelectItem() = 0;
  virtual void SetOnSelectItem(const TNotifyEvent& value) = 0;
};

// ==== Properties ==============================================================================

class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
  ORV_CLASS(TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues)
 public:
  explicit TcxTextEditPropertiesValues(TPersistent* owner) : TcxCustomEditPropertiesValues(owner) {}
  void Assign(TPersistent* source) override;
  void ResetToDefaults() override;

  Boolean GetDisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(Boolean value);
  Boolean GetEditFormat() const { return FEditFormat; }
  void SetEditFormat(Boolean value);
  Boolean GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(Boolean value);
  Boolean IsDisplayFormatStored();
  Boolean IsEditFormatStored();

 private:
  Boolean FDisplayFormat = false;
  Boolean FEditFormat = false;
  Boolean FMaxLength = false;
};

class TcxCustomTextEditProperties : public TcxCustomEditProperties, public IcxLocaleFormatListener {
  ORV_CLASS(TcxCustomTextEditProperties, TcxCustomEditProperties)
 public:
  explicit TcxCustomTextEditProperties(TPersistent* owner);
  void BeforeDestruction() override;
  ~TcxCustomTextEditProperties() override;

  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler* filer) override;

  // ---- Values ----
  TcxTextEditPropertiesValues* GetTextAssignedValues() {
    return static_cast<TcxTextEditPropertiesValues*>(GetAssignedValues());
  }
  TEditCharCase GetCharCase() const { return FCharCase; }
  AnsiString GetDisplayFormat();
  void SetDisplayFormat(const AnsiString& value);
  Boolean IsDisplayFormatStored() { return GetTextAssignedValues()->GetDisplayFormat(); }
  TcxEditEchoMode GetEchoMode() const { return FEchoMode; }
  void SetEchoMode(TcxEditEchoMode value);
  AnsiString GetEditFormat();
  void SetEditFormat(const AnsiString& value);
  Boolean IsEditFormatStored() { return GetTextAssignedValues()->GetEditFormat(); }
  Boolean GetHideCursor() const { return FHideCursor; }
  void SetHideCursor(Boolean value);
  Boolean GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(Boolean value);
  Boolean GetImmediateUpdateText() const { return FImmediateUpdateText; }
  void SetImmediateUpdateText(Boolean value) { FImmediateUpdateText = value; }
  Boolean GetIncrementalSearch() const { return FIncrementalSearch; }
  void SetIncrementalSearch(Boolean value);
  Boolean GetInFormatChange() const { return FInFormatChange; }
  Boolean GetKeepFixedListPrefix() const { return FKeepFixedListPrefix; }
  void SetKeepFixedListPrefix(Boolean value);
  TStringList* GetLookupItems() const { return FLookupItems; }
  void SetLookupItems(TStrings* value) { FLookupItems->Assign(value); }
  Boolean GetLookupItemsSorted() const { return FLookupItems->GetSorted(); }
  void SetLookupItemsSorted(Boolean value) { FLookupItems->SetSorted(value); }
  // The assigned value, else GetDefaultMaxLength.
  Integer GetMaxLength();
  // Negative values become 0.
  void SetMaxLength(Integer value);
  Boolean IsMaxLengthStored() { return GetTextAssignedValues()->GetMaxLength(); }
  Boolean GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(Boolean value);
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char value);
  Boolean GetRecentItemsMode() const { return FRecentItemsMode; }
  void SetRecentItemsMode(Boolean value);
  Boolean GetUseDisplayFormatWhenEditing() const { return FUseDisplayFormatWhenEditing; }
  void SetUseDisplayFormatWhenEditing(Boolean value);
  const TcxCharSet& GetExtraValidChars() const { return FExtraValidChars; }
  void SetExtraValidChars(const TcxCharSet& value) { FExtraValidChars = value; }
  TcxTextEditViewStyle GetViewStyle();
  void SetViewStyle(TcxTextEditViewStyle value);
  const TcxNewLookupDisplayTextEvent& GetOnNewLookupDisplayText() const { return FOnNewLookupDisplayText; }
  void SetOnNewLookupDisplayText(const TcxNewLookupDisplayTextEvent& value) { FOnNewLookupDisplayText = value; }

  // IcxLocaleFormatListener.
  void FormatChanged() override;

  // ---- New virtual operations ----
  virtual void ValidateValueBounds(Variant& displayValue, AnsiString& errorText, TcxCustomEdit* editor,
                                   Boolean& error);
  virtual void GetDefaultDisplayValue(Variant& value) { value = Variant(AnsiString()); }
  virtual Boolean IsLookupText(const AnsiString& text);
  virtual AnsiString GetDefaultDisplayFormat() { return {}; }
  virtual Integer GetDefaultMaxLength();
  virtual Integer GetDropDownRowCount() { return 8; }
  // 0 free text, 1 typing limited to the items, 2 list only, 3 no editing.
  virtual Integer GetEditingStyle() { return FHideCursor ? 3 : 0; }
  virtual TClass GetLookupDataClass();
  virtual Boolean NeedRemoveThousandSeparators(Boolean synchronizing) { return false; }
  virtual void GetEditingFormat(Boolean& isCurrency, Boolean& useFieldText, AnsiString& format,
                                TcxCustomEdit* editor);
  virtual Boolean IsEditValueNumeric() { return false; }
  virtual Boolean ShowsLookupListInPopup() { return false; }
  virtual Boolean IsMultiLine() { return false; }
  virtual Boolean IsLookupNavigationKey(Word key, TShiftState shift) { return false; }
  // 0 the minimum, 1 the maximum.
  virtual Boolean IsValueBoundDefined(Integer bound);
  virtual Boolean IsValueBoundsDefined() { return IsValueBoundDefined(0) || IsValueBoundDefined(1); }
  virtual void CallChanged() { Changed(); }
  virtual void MaxLengthChanged() { Changed(); }
  virtual void SetCharCase(TEditCharCase value);
  virtual Boolean UseLookupData() { return GetLookupDataClass() != nullptr; }
  virtual void ApplyEchoModeAndCharCase(AnsiString& text);
  virtual Boolean IsDisplayValueValid(Variant& displayValue, Boolean focused);

  // ---- Overrides ----
  void AlignmentChanged(TObject* sender) override;
  Boolean SupportsValidation() override { return true; }
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() override {
    return TcxTextEditPropertiesValues::StaticClass();
  }
  Integer GetDisplayFormatOptions() override { return dfoSupports; }
  TcxCustomEditViewDataClass GetViewDataClass() override;
  Boolean HasSeparateChangeEvents() override { return true; }
  Boolean IsEditValueComparable() override { return true; }
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  Boolean AreDisplayValuesEqual(const Variant& v1, const Variant& v2) override;
  void EditValueToDisplayText(const Variant& value, AnsiString& text) override;
  Word GetCapabilities() override;
  Boolean AcceptsEditValue(const Variant& value) override;
  Boolean IsValueRevertible() override { return GetEditingStyle() != 3; }
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  void CheckDisplayValue(Variant& displayValue, AnsiString& errorText, TcxCustomEdit* editor,
                         Boolean& error) override;
  Integer GetValueExchangeMode(Boolean focused) override { return 1; }

  // The text of a value as EditValueToDisplayText makes it, for a given focus.
  void EditValueToDisplayTextFocused(const Variant& value, AnsiString& text, Boolean focused);
  // With `focused`, AcceptsEditValue asks for the focused form.
  Boolean AcceptsEditValueFocused(const Variant& value, Boolean focused);
  // The numeric formatting of a value for display (not focused) or editing (focused).
  AnsiString FormatNumericValue(const Variant& value, Boolean focused);
  void DoNewLookupDisplayText(TObject* sender, const AnsiString& text);

 private:
  void LookupItemsChanged(TObject* sender) { Changed(); }
  void ReadIsDisplayFormatAssigned(TReader* reader);

  TEditCharCase FCharCase = ecNormal;
  AnsiString FDisplayFormat;
  TcxEditEchoMode FEchoMode = eemNormal;
  AnsiString FEditFormat;
  Boolean FKeepFixedListPrefix = true;
  Boolean FInFormatChange = false;
  Boolean FHideCursor = false;
  Boolean FHideSelection = true;
  Boolean FImmediateUpdateText = false;
  Boolean FIncrementalSearch = true;
  TStringList* FLookupItems = nullptr;
  Integer FMaxLength = 0;
  Boolean FRecentItemsMode = false;
  Boolean FOEMConvert = false;
  char FPasswordChar = 0;
  Boolean FUseDisplayFormatWhenEditing = false;
  TcxCharSet FExtraValidChars;
  TcxNewLookupDisplayTextEvent FOnNewLookupDisplayText;
};
using TcxCustomTextEditPropertiesClass = orv::ClassOf<TcxCustomTextEditProperties>;

class TcxTextEditProperties : public TcxCustomTextEditProperties {
  ORV_CLASS(TcxTextEditProperties, TcxCustomTextEditProperties)
 public:
  explicit TcxTextEditProperties(TPersistent* owner) : TcxCustomTextEditProperties(owner) {}
};

// ==== Inner edit window =======================================================================

class TcxCustomInnerTextEdit : public TCustomEdit, public IcxInnerTextEdit {
  ORV_CLASS(TcxCustomInnerTextEdit, TCustomEdit)
 public:
  explicit TcxCustomInnerTextEdit(TComponent* owner);
  void BeforeDestruction() override;

  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
  bool CanFocus() override;
  void DefaultHandler(TMessage& message) override;
  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

  TcxCustomTextEdit* GetEdit() const;

  // ---- IcxContainerInnerControl / IcxCustomInnerEdit ----
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override;
  LRESULT CallDefWndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  Boolean RejectsClipboardMessages() override { return false; }
  void GetEditValue(Variant& value) override { value = Variant(GetText()); }
  TNotifyEvent GetOnChange() override { return TCustomEdit::GetOnChange(); }
  Boolean GetReadOnly() override { return TCustomEdit::GetReadOnly(); }
  void LockBounds(Boolean lock) override;
  void SafelySetFocus() override;
  void SetEditValue(const Variant& value) override;
  void SetParent(TWinControl* value) override { TCustomEdit::SetParent(value); }
  void SetOnChange(const TNotifyEvent& value) override { TCustomEdit::SetOnChange(value); }
  void SetReadOnly(Boolean value) override { TCustomEdit::SetReadOnly(value); }

  // ---- IcxInnerTextEdit ----
  void ClearSelection() override { TCustomEdit::ClearSelection(); }
  void CopyToClipboard() override { TCustomEdit::CopyToClipboard(); }
  TAlignment GetAlignment() override { return FShownAlignment; }
  Boolean GetAutoSelect() override { return TCustomEdit::GetAutoSelect(); }
  TEditCharCase GetCharCase() override { return TCustomEdit::GetCharCase(); }
  TcxEditEchoMode GetEchoMode() override { return FEchoMode; }
  Integer GetFirstVisibleCharIndex() override;
  Boolean GetHideSelection() override { return TCustomEdit::GetHideSelection(); }
  char GetImeLastChar() override { return 0; }
  Boolean GetKeyHandled() override { return FKeyHandled; }
  Integer GetMaxLength() override { return TCustomEdit::GetMaxLength(); }
  Boolean GetMultiLine() override { return false; }
  Boolean GetOEMConvert() override { return TCustomEdit::GetOEMConvert(); }
  TNotifyEvent GetOnSelChange() override { return FOnSelChange; }
  char GetPasswordChar() override { return FPasswordValue; }
  Integer GetSelLength() override { return TCustomEdit::GetSelLength(); }
  Integer GetSelStart() override { return TCustomEdit::GetSelStart(); }
  AnsiString GetSelText() override { return TCustomEdit::GetSelText(); }
  void SelectAll() override;
  void SetAlignment(TAlignment value) override;
  void SetAutoSelect(Boolean value) override { TCustomEdit::SetAutoSelect(value); }
  void SetCharCase(TEditCharCase value) override { TCustomEdit::SetCharCase(value); }
  void SetEchoMode(TcxEditEchoMode value) override;
  void SetHideSelection(Boolean value) override { TCustomEdit::SetHideSelection(value); }
  void SetKeyHandled(Boolean value) override { FKeyHandled = value; }
  void SetMaxLength(Integer value) override { TCustomEdit::SetMaxLength(value); }
  void SetOEMConvert(Boolean value) override { TCustomEdit::SetOEMConvert(value); }
  void SetOnSelChange(const TNotifyEvent& value) override { FOnSelChange = value; }
  void SetPasswordChar(char value) override;
  void SetSelLength(Integer value) override;
  void SetSelStart(Integer value) override;
  void SetSelText(const AnsiString& value) override { TCustomEdit::SetSelText(value); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Click() override;
  void DblClick() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override { return false; }
  // Whether a key that changed neither the text nor the selection goes on to the in-place
  // host (Left at the start of the text moves the grid's focus); a multi-line edit keeps Up and
  // Down.
  virtual Boolean PassesUnchangedKeyToOwner(Word key) { return true; }

 private:
  void ApplyPasswordChar();
  void DoubleClickTimerHandler(TObject* sender);
  Boolean LeftAlignmentOnEditingApplies();
  void ApplyAlignmentForFocus(Boolean focused);

  TAlignment FShownAlignment = taLeftJustify;
  TcxEditEchoMode FEchoMode = eemNormal;
  Boolean FClickSelectPending = false;
  TcxTimer* FDoubleClickTimer = nullptr;
  Boolean FKeyHandled = false;
  Boolean FCreatingInner = true;
  Integer FBoundsLock = 0;
  char FPasswordValue = 0;
  Boolean FAlignmentLock = false;
  TNotifyEvent FOnSelChange;
};

// ==== Popup list box ==========================================================================

// The list box of editor popups: owner drawn, with hot tracking; its items are placeholders made
// by count, whose texts come from GetItemText (a combo's list asks its lookup data).
class TcxCustomEditListBox : public TcxCustomInnerListBox {
  ORV_CLASS(TcxCustomEditListBox, TcxCustomInnerListBox)
 public:
  explicit TcxCustomEditListBox(TComponent* owner);
  void BeforeDestruction() override;

  void Dispatch(TMessage& message) override;

  // The editor whose list this is (its editing style decides the focus rectangle).
  TcxCustomTextEdit* GetEdit() const { return FEdit; }
  void SetEdit(TcxCustomTextEdit* value) { FEdit = value; }
  Boolean GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(Boolean value) { FHotTrack = value; }
  const TNotifyEvent& GetOnSelectionChanged() const { return FOnSelectionChanged; }
  void SetOnSelectionChanged(const TNotifyEvent& value) { FOnSelectionChanged = value; }

  // Adds empty items or deletes from the end until the list holds `count` items (a fixed-height
  // list, holding no data, takes the count at once).
  void SetItemCount(Integer count);
  // The platform's setter, then the bars follow and the selection-changed handler runs.
  void SetItemIndex(Integer value);
  using TcxCustomInnerListBox::GetItemIndex;

  // ---- New virtual operations ----
  // False: not drawn by the override (the built-in drawing runs).
  virtual Boolean DoDrawItem(Integer index, const TRect& rect, TOwnerDrawState state) { return false; }
  virtual AnsiString GetItemText(Integer index);
  virtual void RecalculateItems() {}
  virtual Integer GetRowsHeight(Integer count) { return count * GetItemHeight(-1); }
  // The height of "Wg" in the list's font.
  virtual Integer GetItemHeight(Integer index);
  using TcxCustomInnerListBox::GetItemHeight;
  virtual Integer GetItemWidth(Integer index);

  Boolean DrawsItemsByDefault() override;

 protected:
  void DrawItem(Integer index, TRect rect, TOwnerDrawState state) override;
  void MeasureItem(Integer index, Integer& height) override;
  void Click() override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;

 private:
  void SelectionChanged();

  TcxCustomTextEdit* FEdit = nullptr;
  Boolean FHotTrack = true;
  TNotifyEvent FOnSelectionChanged;
};
using TcxCustomEditListBoxClass = orv::ClassOf<TcxCustomEditListBox>;

// ==== Lookup data =============================================================================

class TcxCustomTextEditLookupData : public TcxInterfacedPersistent, public IcxTextEditLookupData {
  ORV_CLASS(TcxCustomTextEditLookupData, TcxInterfacedPersistent)
 public:
  explicit TcxCustomTextEditLookupData(TPersistent* owner) : TcxInterfacedPersistent(owner) {}
  ~TcxCustomTextEditLookupData() override;

  TcxCustomTextEdit* OwnerEditor();
  TcxCustomTextEditProperties* TextProperties();
  Integer GetCurrentItem() const { return FCurrentItem; }
  Integer GetListIndex() const { return FListIndex; }
  Integer FindItem(const AnsiString& text);
  void SetCurrentItem(Integer index);
  void SetListIndex(Integer index);
  void SelectKey(const Variant& key);
  void SelectListItem();
  AnsiString GetKeyText(Integer key);
  // The popup list; nil before PrepareList and after the list was freed with its parent.
  TcxCustomEditListBox* GetListBox();

  // ---- New virtual operations ----
  virtual AnsiString GetItem(Integer index);
  virtual Integer GetItemCount();
  // nil: no popup list (a plain text editor).
  virtual TcxCustomEditListBoxClass GetListBoxClass() { return nullptr; }
  virtual void ListSelectionChanged(TObject* sender);
  virtual Boolean LocateTextEx(AnsiString& text, AnsiString& tail, Boolean fromCurrent, Boolean exact);
  virtual void UpdateListItemCount();
  virtual Boolean DoAdjustListSize(TSize& size, Integer maxHeight, Integer maxWidth) { return true; }
  void InitializePopup() override {}
  void SyncListWithText(const AnsiString& text) override {}
  virtual TSize DoGetListPreferredSize() { return TSize{0, 0}; }
  virtual void DoPrepareList(TWinControl* parent);
  virtual void DoSetListBounds(const TRect& rect);
  virtual void MoveCurrent(Integer direction, Boolean cycle);

  // ---- IcxTextEditLookupData ----
  Boolean AdjustListSize(TSize& size, Integer maxHeight, Integer maxWidth) override {
    return DoAdjustListSize(size, maxHeight, maxWidth);
  }
  void ClosePopupList() override;
  void ReleaseList() override {}
  Boolean ContainsText(const AnsiString& text) override { return FindItem(text) != -1; }
  TWinControl* GetListControl() override { return GetListBox() ? GetListBox() : FListControl; }
  Variant GetKey() override { return Variant(FCurrentItem); }
  AnsiString GetKeyDisplayText(const Variant& key) override;
  TSize GetListPreferredSize() override { return DoGetListPreferredSize(); }
  void MoveListFocus(Integer direction, Boolean cycle) override { MoveCurrent(direction, cycle); }
  void PrepareList(TWinControl* parent) override { DoPrepareList(parent); }
  Boolean IsListEmpty() override { return GetItemCount() == 0; }
  Boolean IsRowAtPoint(const TPoint& screenPoint) override;
  Boolean LocateText(AnsiString& text, AnsiString& tail, Boolean exact) override {
    return LocateTextEx(text, tail, false, exact);
  }
  void SetListBounds(const TRect& rect) override { DoSetListBounds(rect); }
  void ItemsChanged() override { UpdateListItemCount(); }
  void ConfirmItem() override { SelectListItem(); }
  void SetKey(const Variant& key) override { SelectKey(key); }
  void SyncWithEditText() override;
  TNotifyEvent GetOnKeyChanged() override { return FOnKeyChanged; }
  void SetOnKeyChanged(const TNotifyEvent& value) override { FOnKeyChanged = value; }
  TNotifyEvent GetOnSelectItem() override { return FOnSelectItem; }
  void SetOnSelectItem(const TNotifyEvent& value) override { FOnSelectItem = value; }

 protected:
  // A popup list of another kind than TcxCustomEditListBox (set by the lookup data that makes it).
  TWinControl* FListControl = nullptr;
  // Whether the popup list shows now.
  virtual Boolean IsListVisible();
  virtual void SetListControlIndex(Integer index);

 private:
  Integer FCurrentItem = -1;
  Integer FListIndex = -1;
  // The list box belongs to the parent it was made in; the link reads nil once it is freed.
  TcxObjectLink* FListBoxLink = nullptr;
  TNotifyEvent FOnKeyChanged;
  TNotifyEvent FOnSelectItem;
};

// ==== View data and view info =================================================================

class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
  ORV_CLASS(TcxCustomTextEditViewInfo, TcxCustomEditViewInfo)
 public:
  TcxCustomTextEditViewInfo() = default;
  void Assign(TObject* source) override;
  void DoPaint(TcxCanvas* canvas) override;
  void OffsetRects(Integer dx, Integer dy) override;
  Boolean GetHint(TcxCanvas* canvas, const TPoint& point, TRect& textRect, Boolean& isMultiLine,
                  AnsiString& text, TRect& hintWindowRect) override;

  virtual void PaintText(TcxCanvas* canvas);
  // Prepares the rows of ShownText in TextArea for the canvas's font (kept until the text or
  // the area changes).
  void PrepareTextLayout(TcxCanvas* canvas);
  Boolean IsTextTruncated() const { return FTruncated; }

  using TCustomTextPainter = orv::Event<void(TcxCanvas* canvas, const TRect& rect)>;

  Boolean IsComboLike = false;
  TCustomTextPainter CustomTextPainter;
  Boolean SelectionBarShown = false;
  Cardinal TextFlags = 0;
  Integer TextEditingStyle = 0;
  Boolean PopupIsOpen = false;
  Boolean InnerEditShowsText = false;
  Boolean UsesCustomTextPainter = false;
  Integer RowLimit = 0;
  Integer MarkStart = 0;
  Integer MarkLength = 0;
  TColor MarkTextColor = clHighlightText;
  TColor MarkBackColor = clHighlight;
  AnsiString ShownText;
  TRect TextArea{};

  // Drops the prepared rows (the text, area or flags changed).
  void InvalidateTextLayout() { FLayoutPrepared = false; }

 private:
  Boolean FLayoutPrepared = false;
  Boolean FTruncated = false;
  Integer FRowCount = 0;
  TRect FLayoutRect{};
  TextLayoutParams FParams;
  // Shared so that a view info stays copyable by Assign; the rows point into their own text.
  std::shared_ptr<TcxTextRows> FRows;
};

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
  ORV_CLASS(TcxCustomTextEditViewData, TcxCustomEditViewData)
 public:
  TcxCustomTextEditViewData(TcxCustomEditProperties* properties, TcxCustomEditStyle* style, Boolean isInplace)
      : TcxCustomEditViewData(properties, style, isInplace) {}

  TcxCustomTextEditProperties* TextProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(Properties);
  }

  // ---- New virtual operations ----
  virtual Boolean InnerEditDisplaysText();
  virtual Integer GetLineCountLimit() { return LineCountLimit; }
  virtual Boolean IsComboBoxStyle() { return false; }
  virtual void CalculateTextLayout(TcxCanvas* canvas, TcxCustomTextEditViewInfo* viewInfo);
  virtual void DisplayValueToDrawValue(const Variant& displayValue, TcxCustomTextEditViewInfo* viewInfo);
  virtual Cardinal GetDrawTextFlags();
  virtual TRect GetTextAreaMargins();

  // ---- Overrides ----
  void InitializeFromProperties() override;
  void EditValueToDrawText(const Variant& value, AnsiString& text) override;
  void CalculateContentSize(TcxCanvas* canvas, const Variant& value, TSize& size,
                            const TcxEditSizeProperties& sizeLimits) override;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  void SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) override;

  // The size of a text for the content of an editor (auto-size, grid rows).
  void CalculateTextContentSize(TcxCanvas* canvas, const AnsiString& text, TSize& size, Boolean addExtents,
                                Integer rowCount, const TcxEditSizeProperties& sizeLimits, Cardinal flags);

  // ---- Fields ----
  Boolean UsesDataDisplayText = false;
  Integer LineCountLimit = 0;
  // What a host marks in the drawn text (a grid's selected cell text, the focused search).
  Integer SelStart = 0;
  Integer SelLength = 0;
  TColor SelTextColor = clDefault;
  TColor SelBackgroundColor = clDefault;
  // No value: the drawn text is empty.
  Boolean NoValue = false;
};

// ==== The text editor =========================================================================

class TcxCustomTextEdit : public TcxCustomEdit, public IcxLocaleFormatListener {
  ORV_CLASS(TcxCustomTextEdit, TcxCustomEdit)
 public:
  explicit TcxCustomTextEdit(TComponent* owner) : TcxCustomEdit(owner) {}
  void BeforeDestruction() override;
  ~TcxCustomTextEdit() override;

  void Loaded() override;
  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

  // ---- Parts ----
  TcxCustomTextEditProperties* TextProperties() {
    return static_cast<TcxCustomTextEditProperties*>(GetEffectiveProperties());
  }
  TcxCustomTextEditProperties* GetTextProperties() {
    return static_cast<TcxCustomTextEditProperties*>(GetProperties());
  }
  IcxInnerTextEdit* GetInnerTextEdit() { return dynamic_cast<IcxInnerTextEdit*>(GetInnerEdit()); }
  IcxTextEditLookupData* GetLookupDataInterface() { return FLookupData; }
  TcxCustomTextEditLookupData* GetLookupData() const { return FLookupData; }
  TcxCustomTextEditViewInfo* GetTextViewInfo() { return static_cast<TcxCustomTextEditViewInfo*>(GetViewInfo()); }

  // ---- Text and selection ----
  AnsiString GetEditingText() { return GetText(); }
  Integer GetSelectionStart();
  void SetSelectionStart(Integer value);
  Integer GetSelectionLength();
  void SetSelectionLength(Integer value);
  void SetSelection(Integer start, Integer length);
  AnsiString GetSelectedText();
  Boolean GetBeepOnEnter() const { return FBeepOnEnter; }
  void SetBeepOnEnter(Boolean value) { FBeepOnEnter = value; }
  Boolean GetIncrementalSearchShown() const { return FIncrementalSearchShown; }
  void SetIncrementalSearchShown(Boolean value);
  Boolean GetKeyClosedPopup() const { return FKeyClosedPopup; }
  void SetKeyClosedPopup(Boolean value) { FKeyClosedPopup = value; }
  Boolean GetLookupSyncSuppressed() const { return FLookupSyncSuppressed; }
  void SetLookupSyncSuppressed(Boolean value) { FLookupSyncSuppressed = value; }
  Boolean GetNavigatingLookupItems() const { return FNavigatingLookupItems; }
  Integer GetItemIndexProperty() { return GetItemIndex(); }
  void SetItemIndexProperty(Integer value) { SetItemIndex(value); }
  // The text a text editor shows, through WM_GETTEXT.
  AnsiString GetTextProperty() { return GetText(); }
  void SetTextProperty(const AnsiString& value) { SetText(value); }

  // IcxLocaleFormatListener.
  void FormatChanged() override;

  // ---- New virtual operations ----
  virtual Boolean CanEditPlainText();
  virtual void RedrawMisspellings();
  virtual void InnerEditScrolled();
  virtual void InnerEditSelectionChanged();
  virtual void InnerEditTextChanged();
  virtual void ProcessInnerEditMessage(TMessage& message);
  virtual void UpdateInnerEditStyle();
  virtual Boolean CanReplaceSelection(const AnsiString& text, AnsiString& newText, Integer& newCaret);
  virtual void CheckValueBounds();
  virtual void ClampValueToBounds() {}
  virtual void DoNewLookupDisplayText(const AnsiString& text);
  virtual Integer GetInnerEditTextHeight();
  virtual Integer GetItemIndex();
  virtual TObject* GetItemObject();
  virtual Boolean IsLookupNavigationAllowed(Boolean forWheel) { return false; }
  virtual void LookupDataSelectItem(TObject* sender);
  virtual void DoGetText(AnsiString& text) { GetDisplayText(text); }
  virtual Boolean DoSetText(const AnsiString& text) { return TrySetDisplayText(text); }
  virtual Variant ItemIndexToLookupKey(Integer index) { return Variant(index); }
  virtual Variant LookupKeyToEditValue(const Variant& key);
  virtual Integer LookupKeyToItemIndex(const Variant& key);
  virtual Boolean NeedValidateListText();
  virtual void ResetIncrementalSearch();
  virtual void InnerEditChanged(TObject* sender) {}
  virtual void SetTextIfEditable(const AnsiString& text);
  virtual void SetItemIndex(Integer value);
  virtual void SetSelectedText(const AnsiString& text);
  virtual void UndoPerformed() {}
  virtual void RefreshDisplayValue();
  virtual void ClearSelection();
  virtual void RequestRevertValue();

  // ---- Overrides of the editor base ----
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TClass GetInnerEditClass() override;
  void GetDisplayText(AnsiString& text) override;
  void GetDisplayValue(Variant& value) override { value = Variant(GetText()); }
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override {
    editValue = displayValue;
  }
  void StoreDisplayValue(const Variant& value) override;
  Boolean TrySetDisplayText(const AnsiString& text) override;
  void SetInnerDisplayValue(const Variant& value) override;
  void UpdateDisplayValue() override;
  void UpdateEditValue() override;
  void ApplyValidatedDisplayValue(const Variant& value) override;
  void HandleInnerEditChange(TObject* sender) override;
  void DoEditValueChanged() override;
  Boolean CanEditValue() override { return TextProperties()->GetEditingStyle() != 3; }
  Boolean IsValidChar(char c) override;
  Boolean IsValueChangingChar(char c) override;
  Boolean IsValueChangingKey(Word key, TShiftState shift) override;
  Boolean HandlesNavigationKeys() override { return true; }
  Boolean InnerEditDisplaysText() override;
  void GetAutoSizeLimits(TcxEditSizeProperties& limits) override;
  void AdjustInnerEditPosition() override;
  void Activate(TcxCustomEditData*& editData) override;
  void SelectAll() override;
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  Boolean HandleInnerControlMessage(TMessage& message) override;
  Boolean IsOwnWindow(HWND window) override;
  Boolean RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent, TShiftState shift) override;
  void RefreshFocusDependentText() override;
  void InnerEditWndProc(TMessage& message) override;
  void UnhookInnerEdit() override;
  void Initialize() override;
  void HandlePropertiesChange(TObject* sender) override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void DoEditKeyPress(char& key) override;
  void CalculateChildClipRect(const TRect& containerRect, TControl* child,
                              TcxContainerInnerControlClipState& clipState) override;
  void UpdateInnerScrollBars(Boolean skipPlacing = false) override;

  // What the inner edit forwards (its own events reach the editor through these).
  void InnerKeyDown(Word& key, TShiftState shift) { KeyDown(key, shift); }
  void InnerKeyPress(char& key) { KeyPress(key); }
  void InnerKeyUp(Word& key, TShiftState shift) { KeyUp(key, shift); }
  void InnerMouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
    MouseDown(button, shift, x, y);
  }
  void InnerMouseMove(TShiftState shift, Integer x, Integer y) { MouseMove(shift, x, y); }
  void InnerMouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) { MouseUp(button, shift, x, y); }
  void InnerClick() { Click(); }
  void InnerDblClick() { DblClick(); }
  // The inner edit's focus arrived or left.
  void InnerFocusChanged() { HandleFocusChanged(); }

 protected:
  void KeyPress(char& key) override;
  void DoExit() override;
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;

 private:
  Boolean SearchStep(AnsiString text, Integer editingStyle);
  void RegroupThousandSeparators();
  void CheckSelectionChange();
  void MoveLookup(Integer direction);

  Boolean FBeepOnEnter = true;
  Boolean FIncrementalSearchShown = false;
  Boolean FInSetTextMessage = false;
  Boolean FWritingDisplayValue = false;
  Integer FKnownFirstVisibleChar = 0;
  Integer FKnownSelLength = 0;
  Integer FKnownSelStart = 0;
  Boolean FNavigatingLookupItems = false;
  AnsiString FTextAtDestruction;
  Boolean FDestructionStarted = false;
  Boolean FPlacingInnerEdit = false;
  Boolean FKeyClosedPopup = false;
  TcxCustomTextEditLookupData* FLookupData = nullptr;
  Boolean FLookupSyncSuppressed = false;
  Boolean FInExternalText = false;
  Boolean FFormatListening = false;
};

class TcxTextEdit : public TcxCustomTextEdit {
  ORV_CLASS(TcxTextEdit, TcxCustomTextEdit)
 public:
  explicit TcxTextEdit(TComponent* owner) : TcxCustomTextEdit(owner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TcxTextEditProperties::StaticClass(); }
  TcxTextEditProperties* GetProperties() { return static_cast<TcxTextEditProperties*>(TcxCustomEdit::GetProperties()); }
  void SetProperties(TcxTextEditProperties* value) { GetProperties()->Assign(value); }
  TcxTextEditProperties* GetActiveProperties() {
    return static_cast<TcxTextEditProperties*>(GetEffectiveProperties());
  }
  Boolean HasEditableText() override { return CanEditPlainText(); }
};

// Prepares text editors for entering the values of filter conditions.
class TcxFilterTextEditHelper : public TcxCustomFilterEditHelper {
  ORV_CLASS(TcxFilterTextEditHelper, TcxCustomFilterEditHelper)
 public:
  TcxFilterTextEditHelper() = default;
  TcxCustomEditClass GetFilterEditorClass() const override;
  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override;
  void SetEditValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, const Variant& value) const override {
    edit->SetEditValue(value);
  }
};

// The registered window messages of the text editors.
UINT GetRedrawMisspellingsMessage();
UINT GetSpellCheckerAutoCorrectMessage();
