// The dxBar unit, continued: window items (an edit, or a combo with a drop-down list) and the
// item controls that host their in-place window inside a bar window. The item keeps the value
// and the events; the control makes the in-place "EDIT" window, shows it while the user types
// and draws the value itself otherwise.

#pragma once

#include "components/bars/dxBar.h"
#include "platform/controls/StdCtrls.h"

class TcxStyle;
class TdxBarDropDownListBox;
class TdxBarWinControl;
class TdxBarCustomEditControl;
class TdxBarComboControl;

using TdxBarCheckKeyForDropDownWindowEvent =
    orv::Event<void(TObject* sender, Word key, TShiftState shift, Boolean& acceptKey)>;
using TdxBarGetDropDownWindowEvent = orv::Event<void(TObject* sender, HWND& window)>;
using TdxBarDrawItemEvent =
    orv::Event<void(TObject* sender, Integer index, const TRect& rect, TOwnerDrawState state)>;
using TdxBarMeasureItemEvent = orv::Event<void(TObject* sender, Integer index, Integer& height)>;

// ==== Items ===================================================================================

// An item whose control hosts an in-place window: the value (Text) and the events of typing.
class TdxBarWindowItem : public TdxBarItem {
  ORV_CLASS(TdxBarWindowItem, TdxBarItem)
 public:
  explicit TdxBarWindowItem(TComponent* owner) : TdxBarItem(owner) {}

  const AnsiString& GetText() const { return FText; }
  virtual void SetText(const AnsiString& value);
  // The text being typed when the active link's control has its window, else Text.
  AnsiString GetCurText();
  // The link whose control is the selected control of its bar window (nil when none).
  TdxBarItemLink* GetActiveLink();
  // The active link when its control's in-place window has the focus.
  TdxBarItemLink* GetFocusedLink();
  // Moves the keyboard into the first link shown (only in visible bar windows when asked).
  void SetFocus(Boolean onlyVisible = true);

  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }
  const TNotifyEvent& GetOnCurChange() const { return FOnCurChange; }
  void SetOnCurChange(const TNotifyEvent& value) { FOnCurChange = value; }
  const TNotifyEvent& GetOnEnter() const { return FOnEnter; }
  void SetOnEnter(const TNotifyEvent& value) { FOnEnter = value; }
  const TNotifyEvent& GetOnExit() const { return FOnExit; }
  void SetOnExit(const TNotifyEvent& value) { FOnExit = value; }
  const TKeyEvent& GetOnKeyDown() const { return FOnKeyDown; }
  void SetOnKeyDown(const TKeyEvent& value) { FOnKeyDown = value; }
  const TKeyPressEvent& GetOnKeyPress() const { return FOnKeyPress; }
  void SetOnKeyPress(const TKeyPressEvent& value) { FOnKeyPress = value; }
  const TKeyEvent& GetOnKeyUp() const { return FOnKeyUp; }
  void SetOnKeyUp(const TKeyEvent& value) { FOnKeyUp = value; }

  // Fired by the controls.
  virtual void Change();
  virtual void CurChange();
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(Word& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void KeyUp(Word& key, TShiftState shift);

  Boolean CanClick() override { return false; }
  // On a bar with rotated text a window item shows as a button.
  TClass GetControlClass(Boolean textRotated) override;

 protected:
  // Stores the text and reports the change (no comparison).
  void ApplyText(const AnsiString& value);

 private:
  AnsiString FText;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnCurChange;
  TNotifyEvent FOnEnter;
  TNotifyEvent FOnExit;
  TKeyEvent FOnKeyDown;
  TKeyPressEvent FOnKeyPress;
  TKeyEvent FOnKeyUp;
};

class TdxCustomBarEdit : public TdxBarWindowItem {
  ORV_CLASS(TdxCustomBarEdit, TdxBarWindowItem)
 public:
  explicit TdxCustomBarEdit(TComponent* owner);
  // Values of 0 or less are ignored.
  void SetWidth(Integer value) override;
  Integer GetStyleCount() const override { return 2; }
  Boolean CanUseAccelerator(TdxBarItemLink* link) override;
};

// A text edit: the value drawn by the painter, typed into an in-place window.
class TdxBarEdit : public TdxCustomBarEdit {
  ORV_CLASS(TdxBarEdit, TdxCustomBarEdit)
 public:
  explicit TdxBarEdit(TComponent* owner) : TdxCustomBarEdit(owner) {}
  void BeforeDestruction() override;

  Integer GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(Integer value);
  Boolean GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(Boolean value);
  // The style of the edit area (slot 1): its font, colour and text colour.
  TcxStyle* GetStyleEdit() const { return FStyleEdit; }
  void SetStyleEdit(TcxStyle* value);
  void Notification(TComponent* component, TOperation operation) override;

  // Draws the value without the in-place window.
  virtual void DrawInterior(TdxBarItemControl* control, TcxCanvas* canvas, const TRect& rect);

 private:
  Integer FMaxLength = 0;
  Boolean FReadOnly = false;
  TcxStyle* FStyleEdit = nullptr;
};

// An edit with a drop-down window (the item supplies it).
class TCustomdxBarCombo : public TdxBarEdit {
  ORV_CLASS(TCustomdxBarCombo, TdxBarEdit)
 public:
  explicit TCustomdxBarCombo(TComponent* owner) : TdxBarEdit(owner) {}

  Boolean GetShowEditor() const { return !FEmptyWindow; }
  void SetShowEditor(Boolean value);
  const TdxBarCheckKeyForDropDownWindowEvent& GetOnCheckKeyForDropDownWindow() const {
    return FOnCheckKeyForDropDownWindow;
  }
  void SetOnCheckKeyForDropDownWindow(const TdxBarCheckKeyForDropDownWindowEvent& value) {
    FOnCheckKeyForDropDownWindow = value;
  }
  const TNotifyEvent& GetOnCloseUp() const { return FOnCloseUp; }
  void SetOnCloseUp(const TNotifyEvent& value) { FOnCloseUp = value; }
  const TNotifyEvent& GetOnDropDown() const { return FOnDropDown; }
  void SetOnDropDown(const TNotifyEvent& value) { FOnDropDown = value; }
  const TdxBarGetDropDownWindowEvent& GetOnGetDropDownWindow() const { return FOnGetDropDownWindow; }
  void SetOnGetDropDownWindow(const TdxBarGetDropDownWindowEvent& value) { FOnGetDropDownWindow = value; }

  // Whether the dropped-down window takes the key.
  virtual Boolean CheckKeyForDropDownWindow(Word key, TShiftState shift);
  virtual HWND GetDropDownWindow();
  virtual void InitDropDownWindow() {}
  virtual void AfterDropDown() {}
  virtual void CloseUp();
  // Shows the drop-down window at a screen point (moved to stay inside the work area).
  virtual void DropDown(Integer x, Integer y);
  void CalcDropDownPosition(Integer& x, Integer& y);
  // The list's font and colours from the active link's edit control.
  void ApplyListColors(TCustomListBox* listBox);

 private:
  Boolean FEmptyWindow = false;
  TdxBarCheckKeyForDropDownWindowEvent FOnCheckKeyForDropDownWindow;
  TNotifyEvent FOnCloseUp;
  TNotifyEvent FOnDropDown;
  TdxBarGetDropDownWindowEvent FOnGetDropDownWindow;
};

// A combo over a list of strings: the list box drops down, the entries are browsed by keys.
class TdxBarCustomCombo : public TCustomdxBarCombo {
  ORV_CLASS(TdxBarCustomCombo, TCustomdxBarCombo)
 public:
  explicit TdxBarCustomCombo(TComponent* owner);
  ~TdxBarCustomCombo() override;
  void BeforeDestruction() override;

  Integer GetDropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(Integer value) { FDropDownCount = value; }
  Integer GetDropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(Integer value) { FDropDownWidth = value; }
  const TdxBarDrawItemEvent& GetOnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(const TdxBarDrawItemEvent& value) { FOnDrawItem = value; }
  const TdxBarMeasureItemEvent& GetOnMeasureItem() const { return FOnMeasureItem; }
  void SetOnMeasureItem(const TdxBarMeasureItemEvent& value) { FOnMeasureItem = value; }
  TStringList* GetItems() const { return FItems; }
  void SetItems(TStrings* value);
  Integer GetItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer value);
  Integer GetItemHeight() const { return FItemHeight; }
  void SetItemHeight(Integer value) { FItemHeight = value; }
  Boolean GetSorted() const { return FSorted; }
  void SetSorted(Boolean value);
  TdxBarDropDownListBox* GetListBox() const { return FListBox; }

  void SetText(const AnsiString& value) override;
  void CurChange() override;
  Boolean CheckKeyForDropDownWindow(Word key, TShiftState shift) override;
  HWND GetDropDownWindow() override;
  void InitDropDownWindow() override;
  void AfterDropDown() override;
  void CloseUp() override;
  void DropDown(Integer x, Integer y) override;
  void DrawInterior(TdxBarItemControl* control, TcxCanvas* canvas, const TRect& rect) override;

  // Draws one entry (index -1: the text) through OnDrawItem or the painter.
  virtual void DrawItem(TdxBarPainter* painter, Integer index, TOwnerDrawState state, const TRect& rect);
  virtual TCanvas* GetCanvas();
  // The drop-down list's width: DropDownWidth, else the edit area's or the widest entry's.
  virtual Integer CalcDropDownWidth();
  virtual void MeasureItem(Integer index, Integer& height);
  virtual void MeasureItemWidth(Integer index, Integer& width);
  // The first entry that starts with the text, else the first with the longest common prefix.
  Integer FindItem(const AnsiString& text);
  // Brings the browsed entry and the open list in step with the typed text.
  void SyncListBox();

 private:
  void ItemsChanged(TObject* sender);
  Integer FDropDownCount = 8;
  Integer FDropDownWidth = 0;
  TdxBarDrawItemEvent FOnDrawItem;
  TdxBarMeasureItemEvent FOnMeasureItem;
  TStringList* FItems = nullptr;
  Integer FItemIndex = -1;
  Integer FItemHeight = 0;
  Boolean FSorted = false;
  TdxBarDropDownListBox* FListBox = nullptr;
  TcxCanvas* FDrawCanvas = nullptr;
  Boolean FDrawingInterior = false;
};

class TdxBarCombo : public TdxBarCustomCombo {
  ORV_CLASS(TdxBarCombo, TdxBarCustomCombo)
 public:
  explicit TdxBarCombo(TComponent* owner) : TdxBarCustomCombo(owner) {}
};

// The list a string combo drops down: a top-level, borderless owner-drawn list that draws as
// focused without taking the focus and tracks the mouse.
class TdxBarDropDownListBox : public TCustomListBox {
  ORV_CLASS(TdxBarDropDownListBox, TCustomListBox)
 public:
  TdxBarDropDownListBox(TComponent* owner, TdxBarCustomCombo* combo);
  TdxBarCustomCombo* GetCombo() const { return FCombo; }
  Boolean GetCapturedFromPress() const { return FCapturedFromPress; }
  void SetCapturedFromPress(Boolean value) { FCapturedFromPress = value; }
  // The bar window it shows for (its colours and painter), set while dropped down.
  TCustomdxBarControl* GetBarControl() const { return FBarControl; }
  void SetBarControl(TCustomdxBarControl* value) { FBarControl = value; }
  // Chooses the entry under a client point as the combo's value and closes the bars.
  void ChooseAt(const TPoint& point);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void WndProc(TMessage& message) override;
  void DrawItem(Integer index, TRect rect, TOwnerDrawState state) override;
  void MeasureItem(Integer index, Integer& height) override;

 private:
  TdxBarCustomCombo* FCombo;
  TCustomdxBarControl* FBarControl = nullptr;
  Boolean FCapturedFromPress = false;
};

// ==== Item controls ===========================================================================

// An item control that owns an in-place child window of its bar window: it subclasses the
// window, routes its keys and mouse, moves the focus into it and back, and copies the text
// between the window and the item.
class TdxBarWinControl : public TdxBarItemControl {
  ORV_CLASS(TdxBarWinControl, TdxBarItemControl)
 public:
  using TdxBarItemControl::TdxBarItemControl;
  void BeforeDestruction() override;

  TdxBarWindowItem* GetWindowItem() const;
  Boolean GetFocused() const { return FFocused; }
  Boolean IsFocusing() const { return FFocusing; }
  // Whether a window is the in-place window or inside it (combos: also their open list).
  virtual Boolean IsOwnWindow(HWND window);
  virtual HWND GetWindowHandle() = 0;
  virtual void GetWindowText(AnsiString& text);
  virtual void SetWindowText(const AnsiString& text);
  virtual void LoadText();
  virtual void StoreText();
  virtual void SetFocused(Boolean value);
  // The window rectangle in the parent's client coordinates (empty while disabled).
  TRect GetWindowRect();
  void SetWindowRect(const TRect& value);

  Boolean IsClickable() override;
  Boolean AcceptsSelection() override;
  Boolean CanCloseMenusOnClick() override { return false; }
  void ControlInactivate(Boolean immediate) override;
  void ControlClick(Boolean byMouse) override;
  void EnabledChanged() override;

 protected:
  virtual void HookWindowProc();
  virtual void UnhookWindowProc();
  virtual void CheckMouseOutside(Boolean byMouse);
  virtual void HideWindow(Boolean store) = 0;
  virtual Boolean IsMenuKey(Word key, TShiftState shift);
  virtual Boolean IsAltKey(Word key, TShiftState shift);
  virtual void UpdateEditRect() {}
  virtual void ShowInPlaceWindow() {}
  virtual void HandleKeyDown(Word& key, TShiftState shift);
  virtual void HandleKeyUp(Word& key);
  virtual void HandleWindowMessage(TMessage& message);
  // Passes a message to the window's own procedure.
  void CallPreviousProc(TMessage& message);
  void WindowKeyDown(Word& key, TShiftState shift);
  void WindowKeyUp(Word& key, TShiftState shift);
  void WindowKeyPress(char& key);
  Boolean FEscaping = false;
  // Set while the control itself loads text or moves the focus: no change is reported.
  Boolean FFocusing = false;
  // Keys pressed inside the window since Alt went down (Alt alone starts menu mode).
  Integer FKeysPressed = 0;

 private:
  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC FPrevWindowProc = nullptr;
  HWND FHookedWindow = nullptr;
  Boolean FFocused = false;
  TRect FWindowRect;
  HWND FPrevFocus = nullptr;
};

// The edit layout (glyph, caption and edit parts), the edit drawing and brush.
class TdxBarCustomEditControl : public TdxBarWinControl {
  ORV_CLASS(TdxBarCustomEditControl, TdxBarWinControl)
 public:
  using TdxBarWinControl::TdxBarWinControl;
  ~TdxBarCustomEditControl() override;

  TdxBarEdit* GetEdit() const;
  TdxBarEditLikeControlDrawParams* GetEditDrawParams() const {
    return static_cast<TdxBarEditLikeControlDrawParams*>(GetDrawParams());
  }
  // The painter calls these from DrawEdit: the edit frame ring is left out of the clip region,
  // and the value (combos: the drop-down button first) is drawn inside the frame.
  virtual void AdjustEditFrameRect(TRect& rect) {}
  void ExcludeEditFrame();
  virtual void DrawEditContent() = 0;
  virtual void GetEditRect(TRect& rect);
  virtual Integer GetMinEditWidth() = 0;
  virtual Boolean IsCaptionShown();
  virtual HBRUSH PrepareEditBrush();
  Integer GetEditWidth();
  Boolean IsReadOnlyDisplay();

  Boolean IsInSelection() override;
  void CalcDrawParams(Boolean full = true) override;
  void CalculateParts() override;
  Byte GetDefaultContentKinds() override;
  TdxBarItemViewLevels CalcPossibleViewLevels() override;
  Integer GetMinWidth() override;
  Boolean CanPress() override;

 protected:
  TdxBarItemControlDrawParamsClass GetDrawParamsClass() override;
  void Draw(const TRect& rect, Integer hostKind) override;
  void DoCalcStyleParams() override;
  Integer GetCaptionAreaWidth() override;
  Integer GetGlyphAreaWidth() override;
  Integer GetHeight() override;
  Integer GetWidth() override;
  Integer FEditTextSize = 0;

 private:
  HBRUSH FEditBrush = nullptr;
};

// The edit control proper: its window is a platform "EDIT" child of the bar window.
class TdxBarEditControl : public TdxBarCustomEditControl {
  ORV_CLASS(TdxBarEditControl, TdxBarCustomEditControl)
 public:
  explicit TdxBarEditControl(TdxBarItemLink* link);
  HWND GetWindowHandle() override { return FEditWindow; }
  void SetWindowText(const AnsiString& text) override;
  void ControlClick(Boolean byMouse) override;
  void DrawEditContent() override;
  Integer GetMinEditWidth() override { return 20; }
  virtual Boolean DrawsTextItself();
  void GetEditBounds(TRect& rect);

 protected:
  void HookWindowProc() override;
  void UnhookWindowProc() override;
  void HideWindow(Boolean store) override;
  void UpdateEditRect() override;
  void ShowInPlaceWindow() override;
  void HandleWindowMessage(TMessage& message) override;
  virtual void CreateEditWindow();
  virtual void DestroyEditWindow(Boolean destroyWindow);
  virtual DWORD GetEditStyle() { return 0x40000084; }

 private:
  HWND FEditWindow = nullptr;
};

// The drop-down button, the dropped-down state and its keys and mouse gestures.
class TCustomdxBarComboControl : public TdxBarEditControl {
  ORV_CLASS(TCustomdxBarComboControl, TdxBarEditControl)
 public:
  using TdxBarEditControl::TdxBarEditControl;
  void BeforeDestruction() override;
  TCustomdxBarCombo* GetCombo() const;
  virtual void GetDropDownPosition(TPoint& point);
  virtual void SetDroppedDown(Boolean value);

  Boolean IsDroppedDown() override { return FDroppedDown; }
  Boolean IsOwnWindow(HWND window) override;
  void CalcDrawParams(Boolean full = true) override;
  void CalculateParts() override;
  Boolean DrawsTextItself() override;
  void ControlInactivate(Boolean immediate) override;
  void EnabledChanged() override;
  void AdjustEditFrameRect(TRect& rect) override;
  void DrawEditContent() override;

 protected:
  Boolean IsMenuKey(Word key, TShiftState shift) override;
  Boolean IsAltKey(Word key, TShiftState shift) override;
  void HandleKeyDown(Word& key, TShiftState shift) override;
  void HandleKeyUp(Word& key) override;
  void HandleWindowMessage(TMessage& message) override;

 private:
  Boolean FDroppedDownAtPress = false;
  Boolean FDroppedDown = false;
};

// The string combo's control: the arrows and the wheel browse the entries in the edit window
// (the local item index) without changing the item until Enter, Tab or a click in the list.
class TdxBarComboControl : public TCustomdxBarComboControl {
  ORV_CLASS(TdxBarComboControl, TCustomdxBarComboControl)
 public:
  using TCustomdxBarComboControl::TCustomdxBarComboControl;
  TdxBarCustomCombo* GetStringCombo() const;
  Integer GetLocalItemIndex() const { return FLocalItemIndex; }
  void SetLocalItemIndex(Integer value);
  void StoreLocalItemIndex(Integer value) { FLocalItemIndex = value; }
  void LoadText() override;
  void SetFocused(Boolean value) override;

 protected:
  void HandleWindowMessage(TMessage& message) override;

 private:
  Integer FLocalItemIndex = -1;
};
