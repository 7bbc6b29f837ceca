// The drop-down editors: the masked text editor with a popup window that opens below or above it
// (the drop-down editor), the window itself with its size rules, system panel, close button and
// sizing grip (the editor popup window), the combo box whose popup lists its lookup items, and the
// popup editor that shows any control in its popup.
//
// One opening: DropDown -> DoInitPopup -> SetupPopupWindow (content placed, size and position)
// -> a posted show message -> the window's Popup -> PopupWindowShowed ... CloseUp (reason) -> the
// window's CloseUp -> PopupWindowClosed (FinalizePopup, the close events). The show is posted so
// that the key press or click that asked for it completes first.
#pragma once

#include "components/editors/cxMaskEdit.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"

class TcxCustomDropDownEdit;
class TcxCustomEditPopupWindow;
class TcxCustomComboBox;
class TcxComboBoxLookupData;

// Why a popup closed. Tab, toggle and accept take the popup's value; the others leave it.
enum TcxDropDownCloseReason : Byte { dcrOther, dcrTab, dcrToggle, dcrCancel, dcrAccept };
enum TcxEditDropDownListStyle { lsEditFixedList, lsEditList, lsFixedList };

// Posted to a popup window: type the character in wParam into its focused control.
constexpr UINT DXM_POPUPSENDCHAR = 0x8096;
// Posted to a drop-down editor: bring its lookup list in step with the edited text.
constexpr UINT DXM_SYNCLOOKUPWITHTEXT = 0x8097;

// ==== Drop-down editor ========================================================================

class TcxCustomDropDownEditProperties : public TcxCustomMaskEditProperties {
  ORV_CLASS(TcxCustomDropDownEditProperties, TcxCustomMaskEditProperties)
 public:
  explicit TcxCustomDropDownEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  // ---- New virtual operations ----
  virtual Integer GetDefaultGlyphButtonIndex() { return 0; }
  // A left click into the text area opens the popup.
  virtual Boolean IsDropDownOnClick() { return false; }
  // The accepted value is posted once the popup has closed rather than in CloseUp.
  virtual Boolean DefersPostUntilClosed() { return false; }
  virtual orv::ClassOf<TcxCustomEditPopupWindow> GetPopupWindowClass();
  virtual Boolean PopupMustFitWorkArea() { return true; }
  virtual Boolean PopupTakesFocus() { return false; }

  // ---- Overrides ----
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  Boolean ShowsLookupListInPopup() override { return true; }

  // ---- Properties ----
  TBitmap* GetButtonGlyph();
  void SetButtonGlyph(TBitmap* value);
  Integer GetGlyphButtonIndex() const { return FGlyphButtonIndex; }
  void SetGlyphButtonIndex(Integer value);
  Boolean GetImmediateDropDown() const { return FImmediateDropDown; }
  void SetImmediateDropDown(Boolean value) { FImmediateDropDown = value; }
  Boolean GetImmediatePopup() const { return FImmediatePopup; }
  void SetImmediatePopup(Boolean value) { FImmediatePopup = value; }
  Boolean GetButtonHeldWhileOpen() const { return FButtonHeldWhileOpen; }
  void SetButtonHeldWhileOpen(Boolean value);
  TAlignment GetPopupAlignment() const;
  void SetPopupAlignment(TAlignment value);
  Boolean GetPopupAutoSize() const { return FPopupAutoSize; }
  void SetPopupAutoSize(Boolean value) { FPopupAutoSize = value; }
  Boolean GetPopupClientEdge() const { return FPopupClientEdge; }
  void SetPopupClientEdge(Boolean value);
  TcxPopupDirection GetPopupOrientation() const { return FPopupOrientation; }
  void SetPopupOrientation(TcxPopupDirection value) { FPopupOrientation = value; }
  TcxPopupAlignHorz GetPopupHorzPlacement() const { return FPopupHorzPlacement; }
  void SetPopupHorzPlacement(TcxPopupAlignHorz value) { FPopupHorzPlacement = value; }
  TcxPopupAlignVert GetPopupVertPlacement() const { return FPopupVertPlacement; }
  void SetPopupVertPlacement(TcxPopupAlignVert value) { FPopupVertPlacement = value; }
  // The size setters keep the sizes at or above the minimums and do not notify.
  Integer GetPopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(Integer value);
  Integer GetPopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(Integer value);
  Integer GetPopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(Integer value);
  Integer GetPopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(Integer value);
  Boolean GetPopupSizeable() const { return FPopupSizeable; }
  void SetPopupSizeable(Boolean value);
  Boolean GetPopupSysPanelStyle() const { return FPopupSysPanelStyle; }
  void SetPopupSysPanelStyle(Boolean value);
  Boolean GetPostPopupValueOnTab() const { return FPostPopupValueOnTab; }
  void SetPostPopupValueOnTab(Boolean value) { FPostPopupValueOnTab = value; }

  const TCloseQueryEvent& GetOnCloseQuery() const { return FOnCloseQuery; }
  void SetOnCloseQuery(const TCloseQueryEvent& value) { FOnCloseQuery = value; }
  const TNotifyEvent& GetOnCloseUp() const { return FOnCloseUp; }
  void SetOnCloseUp(const TNotifyEvent& value) { FOnCloseUp = value; }
  const TNotifyEvent& GetOnInitPopup() const { return FOnInitPopup; }
  void SetOnInitPopup(const TNotifyEvent& value) { FOnInitPopup = value; }
  const TNotifyEvent& GetOnPopup() const { return FOnPopup; }
  void SetOnPopup(const TNotifyEvent& value) { FOnPopup = value; }
  // Fired once an opening is finalized (not published, not copied).
  const TNotifyEvent& GetOnFinalizePopup() const { return FOnFinalizePopup; }
  void SetOnFinalizePopup(const TNotifyEvent& value) { FOnFinalizePopup = value; }

 private:
  Integer FGlyphButtonIndex = 0;
  Boolean FImmediateDropDown = true;
  Boolean FImmediatePopup = false;
  Boolean FButtonHeldWhileOpen = false;
  Boolean FPopupAutoSize = true;
  Boolean FPopupClientEdge = false;
  TcxPopupDirection FPopupOrientation = pdVertical;
  Integer FPopupHeight = 0;
  TcxPopupAlignHorz FPopupHorzPlacement = pahLeft;
  Integer FPopupMinHeight = 0;
  Integer FPopupMinWidth = 0;
  Boolean FPopupSizeable = false;
  Boolean FPopupSysPanelStyle = false;
  TcxPopupAlignVert FPopupVertPlacement = pavBottom;
  Integer FPopupWidth = 0;
  Boolean FPostPopupValueOnTab = false;
  TCloseQueryEvent FOnCloseQuery;
  TNotifyEvent FOnCloseUp;
  TNotifyEvent FOnFinalizePopup;
  TNotifyEvent FOnInitPopup;
  TNotifyEvent FOnPopup;
};

// What an in-place host keeps for the editor between activations: the user's popup size.
class TcxCustomDropDownEditData : public TcxCustomEditData {
  ORV_CLASS(TcxCustomDropDownEditData, TcxCustomEditData)
 public:
  explicit TcxCustomDropDownEditData(TcxCustomEdit* edit) : TcxCustomEditData(edit) {}
  Boolean PopupSizeChanged = false;
  Integer PopupWidth = 0;
  Integer PopupHeight = 0;
};

// The look and feel of the controls inside the popup, derived from the editor's buttons.
class TcxEditPopupControlLookAndFeel : public TcxLookAndFeel {
  ORV_CLASS(TcxEditPopupControlLookAndFeel, TcxLookAndFeel)
 public:
  explicit TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* edit);
  // Hands the values that differ from the last synchronised ones to the change handlers.
  void SyncWithEditor();

 protected:
  TcxLookAndFeelKind GetEffectiveKind() const override;
  Boolean GetEffectiveNativeStyle() const override;

 private:
  TcxCustomDropDownEdit* FEdit;
  TcxLookAndFeelKind FSyncedKind;
  Boolean FSyncedNativeStyle;
};

class TcxCustomDropDownInnerEdit : public TcxCustomInnerTextEdit {
  ORV_CLASS(TcxCustomDropDownInnerEdit, TcxCustomInnerTextEdit)
 public:
  explicit TcxCustomDropDownInnerEdit(TComponent* owner) : TcxCustomInnerTextEdit(owner) {}
  void Dispatch(TMessage& message) override;
};

class TcxCustomDropDownEditViewData : public TcxCustomTextEditViewData {
  ORV_CLASS(TcxCustomDropDownEditViewData, TcxCustomTextEditViewData)
 public:
  TcxCustomDropDownEditViewData(TcxCustomEditProperties* properties, TcxCustomEditStyle* style, Boolean isInplace)
      : TcxCustomTextEditViewData(properties, style, isInplace) {}
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  Boolean CanPressButton(TcxCustomEditViewInfo* viewInfo, Integer index) override;
  Boolean IsButtonHeldDown(TcxCustomEditViewInfo* viewInfo, Integer index) override;

  Boolean PopupOpen = false;
  Boolean HotWhileOpen = false;
  Boolean ButtonHeldWhileOpen = false;
};

class TcxCustomDropDownEdit : public TcxCustomMaskEdit {
  ORV_CLASS(TcxCustomDropDownEdit, TcxCustomMaskEdit)
 public:
  explicit TcxCustomDropDownEdit(TComponent* owner) : TcxCustomMaskEdit(owner) {}
  void BeforeDestruction() override;
  ~TcxCustomDropDownEdit() override;
  void Dispatch(TMessage& message) override;

  TcxCustomDropDownEditProperties* DropDownProperties() {
    return static_cast<TcxCustomDropDownEditProperties*>(GetEffectiveProperties());
  }
  TcxCustomEditPopupWindow* GetPopupWindow() const { return FPopupWindow; }
  TcxEditPopupControlLookAndFeel* GetPopupLookAndFeel() const { return FPopupLookAndFeel; }
  TcxDropDownCloseReason GetCloseReason() const { return FCloseReason; }
  void SetCloseReason(TcxDropDownCloseReason value) { FCloseReason = value; }
  Boolean GetHotWhileOpen() const { return FHotWhileOpen; }
  Boolean GetPopupSizeChanged() const { return FPopupSizeChanged; }
  void SetPopupSizeChanged(Boolean value) { FPopupSizeChanged = value; }
  void SetPopupResizedWhileOpen(Boolean value) { FPopupResizedWhileOpen = value; }
  Boolean GetSkipNextListMouseMove() const { return FSkipNextListMouseMove; }
  void SetSkipNextListMouseMove(Boolean value) { FSkipNextListMouseMove = value; }

  // The popup window exists and is open.
  Boolean HasOpenPopup() override;
  // Opens (through DropDown) or closes (dcrOther) unless the popup is already in that state.
  void ChangeDropState(Boolean open);
  bool Focused() override;
  // The rectangle the popup opens beside, in the coordinates of the editor's parent.
  TRect GetPopupOwnerBounds();

  // ---- New virtual operations ----
  virtual Boolean CanDropDown() { return false; }
  virtual void CloseUp(TcxDropDownCloseReason reason);
  virtual void CreatePopupWindow();
  virtual void DoCloseUp();
  virtual void FinalizePopup();
  virtual void DoInitPopup();
  virtual void DoPopup();
  virtual void DropDown();
  virtual TWinControl* GetPopupFocusedControl();
  virtual void GetPopupContentSize(TSize& size) { size = TSize{0, 0}; }
  virtual void PlaceLookupListInPopup();
  virtual void ApplyPopupWindowProperties();
  virtual void PopupLookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {}
  virtual void PositionPopupContent(const TRect& rect);
  virtual void SetupPopupWindow();
  // Handlers of the popup window's events.
  virtual void PopupWindowClosed(TObject* sender);
  virtual void PopupWindowCloseQuery(TObject* sender, bool& canClose);
  virtual void PopupWindowClosing(TObject* sender) {}
  virtual void PopupWindowShowing(TObject* sender) {}
  virtual void PopupWindowShowed(TObject* sender);

  // ---- Overrides ----
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TClass GetInnerEditClass() override;
  TcxCustomEditDataClass GetEditDataClass() override;
  void InitializeEditData() override;
  void Initialize() override;
  void HandlePropertiesChange(TObject* sender) override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void DoEditKeyPress(char& key) override;
  void HandleTabKey(TShiftState shift) override;
  Boolean WantsTabKey() override;
  Boolean IsClickKey(Word key, TShiftState shift) override;
  Boolean IsLookupNavigationAllowed(Boolean forWheel) override;
  void DoButtonDown(Integer index) override;
  Boolean RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent, TShiftState shift) override;
  void PasteFromClipboard() override;
  void Activate(TcxCustomEditData*& editData) override;
  void ActivateByKey(char key, TcxCustomEditData*& editData) override;
  void ActivateByMouse(TShiftState shift, Integer x, Integer y, TcxCustomEditData*& editData) override;
  Boolean Deactivate() override;
  Boolean PassesActivationKey(char key) override;
  void InitializeViewData(TcxCustomEditViewData* viewData) override;
  TcxContainerStyleValues GetUnstoredStyleValues() override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;
  void DoExit() override;
  void FocusChanged() override;
  void DestroyWnd() override;
  void CreateHandle() override;
  // Removes a still queued show message and finalizes the half-opened popup.
  void CancelPendingShow();
  Boolean IsShowPending();
  void SyncLookupWithText();
  Boolean FPopupInitialized = false;

 private:
  Boolean FActivatingByMouse = false;
  Boolean FHotWhileOpen = false;
  TcxEditPopupControlLookAndFeel* FPopupLookAndFeel = nullptr;
  Boolean FSkipNextListMouseMove = false;
  Boolean FPopupSizeChanged = false;
  Boolean FPopupResizedWhileOpen = false;
  TcxDropDownCloseReason FCloseReason = dcrOther;
  TcxCustomEditPopupWindow* FPopupWindow = nullptr;
};

// ==== Editor popup window =====================================================================

class TcxCustomEditPopupWindowViewInfo : public TcxContainerViewInfo {
  ORV_CLASS(TcxCustomEditPopupWindowViewInfo, TcxContainerViewInfo)
 public:
  TcxCustomEditPopupWindowViewInfo() = default;
  void DoPaint(TcxCanvas* canvas) override;

  // ---- New virtual operations ----
  virtual void CalculateLayout();
  virtual void DrawPopupBorder(TcxCanvas* canvas, TRect& rect);
  // The widths of the frame (and system panel) on each side.
  virtual void GetBorderExtents(TRect& extents);
  TRect GetPopupClientExtent() {
    TRect r;
    GetBorderExtents(r);
    return r;
  }
  virtual Integer GetSysPanelHeight();
  // Whether the point lies on an edge or grip that resizes; the sides go to `horz` and `vert`
  // (-1 left or top, 1 right or bottom, 0 none).
  virtual Boolean HitTestSizingArea(const TPoint& point, Integer& horz, Integer& vert);

  Integer OuterFrameWidth();
  Integer ClientEdgeWidth();
  // The size grip, mirrored into the grip corner.
  void DrawGrip(TcxCanvas* canvas);

  TcxEditPopupBorderStyle FrameStyle = epbsDefault;
  Boolean HasClientEdge = false;
  Boolean ShowsCloseButton = false;
  TRect CloseButtonRect{};
  TcxLookAndFeelKind LookAndFeelKind = lfStandard;
  TcxButtonState CloseButtonState = cxbsNormal;
  Integer MinSysPanelHeight = 0;
  Boolean ShowsShadow = false;
  Boolean Sizeable = false;
  // 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right: the corner away from the editor.
  Integer GripCorner = 3;
  TRect GripRect{};
  TRect GripHitRect{};
  TRect PanelAreaRect{};
  Integer SizingBorderWidth = 0;
  Integer SysPanelHeight = 0;
  Boolean HasSysPanel = false;
};

class TcxCustomEditPopupWindow : public TcxCustomPopupWindow {
  ORV_CLASS(TcxCustomEditPopupWindow, TcxCustomPopupWindow)
 public:
  using TCreateSignature = void(TControl* ownerControl);
  explicit TcxCustomEditPopupWindow(TControl* ownerControl);
  void BeforeDestruction() override;
  void Dispatch(TMessage& message) override;

  TcxCustomDropDownEdit* OwnerEditor() const { return static_cast<TcxCustomDropDownEdit*>(GetOwnerControl()); }
  TcxCustomEditPopupWindowViewInfo* GetPopupViewInfo() {
    return static_cast<TcxCustomEditPopupWindowViewInfo*>(GetViewInfo());
  }
  // Takes the owner bounds again, recalculates and repaints the content.
  void RefreshContent();
  // The user's size: marks the editor's size as changed, sets the bounds, refreshes.
  void ApplyUserSize(Integer left, Integer top, Integer width, Integer height);
  // The largest content the work area leaves beside the editor.
  TSize GetMaxVisualAreaSize();
  Boolean IsResizing() const;
  void DestroyPopupHandle() { DestroyHandle(); }

  // ---- Overrides ----
  bool CanResize(Integer& newWidth, Integer& newHeight) override;
  void CalculatePosition(TPoint& position) override;
  void CalculateSize() override;
  Boolean MustFitWorkArea() override;
  void NotifyClosed() override;
  void NotifyClosing() override;
  void CloseOnModalResult() override;
  orv::ClassOf<TcxContainerViewInfo> GetViewInfoClass() override;
  void Popup(TWinControl* focusedControl) override;

  // ---- New virtual operations ----
  virtual void CalculateViewInfo();
  virtual void SendCharToFocusedControl(char c);
  virtual void GetMinimalSize(TSize& size);

  // ---- Properties ----
  Boolean GetCalculating() const { return FCalculating; }
  void SetCalculating(Boolean value) { FCalculating = value; }
  Boolean GetAutoSizeContent() const { return FAutoSizeContent; }
  void SetAutoSizeContent(Boolean value) { FAutoSizeContent = value; }
  TcxEditPopupBorderStyle GetFrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TcxEditPopupBorderStyle value);
  Boolean GetHasClientEdge() const { return FHasClientEdge; }
  void SetHasClientEdge(Boolean value);
  Boolean GetShowsCloseButton() const { return FShowsCloseButton; }
  void SetShowsCloseButton(Boolean value);
  Integer GetMinHeight() const { return FMinHeight; }
  void SetMinHeight(Integer value) { FMinHeight = value; }
  Integer GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer value) { FMinWidth = value; }
  Boolean GetNativeStyle() const { return FNativeStyle; }
  void SetNativeStyle(Boolean value);
  Integer GetRequestedHeight() const { return FRequestedHeight; }
  void SetRequestedHeight(Integer value) { FRequestedHeight = value; }
  Integer GetRequestedWidth() const { return FRequestedWidth; }
  void SetRequestedWidth(Integer value) { FRequestedWidth = value; }
  Boolean GetShowsShadow() const { return FShowsShadow; }
  void SetShowsShadow(Boolean value);
  Boolean GetSizeable() const { return FSizeable; }
  void SetSizeable(Boolean value);
  Boolean GetHasSysPanel() const { return FHasSysPanel; }
  void SetHasSysPanel(Boolean value);
  void SetMinSysPanelHeight(Integer value);

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseLeave(TControl* control) override;
  void Resize() override;
  void CreateParams(TCreateParams& params) override;
  void Paint() override;

 private:
  void SetResizeCursor(Integer horz, Integer vert);
  void ShowSizeFrame(const TRect& rect);
  void RepaintCloseButton();

  Boolean FCalculating = false;
  Boolean FAutoSizeContent = true;
  TcxEditPopupBorderStyle FFrameStyle = epbsDefault;
  Boolean FHasClientEdge = false;
  Boolean FShowsCloseButton = false;
  Integer FMinHeight = 0;
  Integer FMinWidth = 0;
  Boolean FNativeStyle = false;
  Integer FRequestedHeight = 0;
  Integer FRequestedWidth = 0;
  Boolean FShowsShadow = false;
  Boolean FSizeable = false;
  Boolean FHasSysPanel = false;
  TcxSizeFrame* FSizeFrame = nullptr;
};

// ==== Combo box ===============================================================================

using TcxEditDrawItemEvent = orv::Event<void(TcxCustomComboBox* control, TcxCanvas* canvas, Integer index,
                                             const TRect& rect, TOwnerDrawState state)>;
using TcxComboBoxMeasureItemEvent =
    orv::Event<void(TcxCustomComboBox* control, Integer index, TcxCanvas* canvas, Integer& height)>;

class TcxCustomComboBoxListBox : public TcxCustomEditListBox {
  ORV_CLASS(TcxCustomComboBoxListBox, TcxCustomEditListBox)
 public:
  explicit TcxCustomComboBoxListBox(TComponent* owner);
  TcxCustomComboBox* ComboBox() const;
  void Dispatch(TMessage& message) override;
  Boolean DoDrawItem(Integer index, const TRect& rect, TOwnerDrawState state) override;
  AnsiString GetItemText(Integer index) override;
  void RecalculateItems() override;
  Integer GetRowsHeight(Integer count) override;
  Integer GetItemHeight(Integer index) override;

 protected:
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
};

class TcxComboBoxListBox : public TcxCustomComboBoxListBox {
  ORV_CLASS(TcxComboBoxListBox, TcxCustomComboBoxListBox)
 public:
  explicit TcxComboBoxListBox(TComponent* owner) : TcxCustomComboBoxListBox(owner) {}
};

// The lookup data of the combo box: its list lives in the popup window, sized by rows.
class TcxComboBoxLookupData : public TcxCustomTextEditLookupData {
  ORV_CLASS(TcxComboBoxLookupData, TcxCustomTextEditLookupData)
 public:
  explicit TcxComboBoxLookupData(TPersistent* owner) : TcxCustomTextEditLookupData(owner) {}

  TcxCustomEditListBoxClass GetListBoxClass() override;
  void DoPrepareList(TWinControl* parent) override;
  // Snaps a size the user drags to whole rows (a maximum of 0 is no limit).
  Boolean DoAdjustListSize(TSize& size, Integer maxHeight, Integer maxWidth) override;
  // The size of min(DropDownRows, count) rows and the widest item (+ 4), with the scroll bars the
  // limits call for (a limit of 0 is none).
  TSize GetListPreferredSizeFor(Integer maxHeight, Integer maxWidth);
  // The items changed: the widest item is measured again.
  void UpdateListItemCount() override;

 private:
  // The widest item in the list's font, kept until the items or the font change.
  Integer GetWidestItemWidth(TcxCustomEditListBox* list);
  Integer FWidestItemWidth = -1;
  Integer FWidestItemCount = -1;
  AnsiString FWidestItemFont;
};

class TcxCustomComboBoxProperties : public TcxCustomDropDownEditProperties {
  ORV_CLASS(TcxCustomComboBoxProperties, TcxCustomDropDownEditProperties)
 public:
  explicit TcxCustomComboBoxProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  TcxEditDropDownListStyle GetDropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(TcxEditDropDownListStyle value);
  Integer GetDropDownRows() const { return FDropDownRows; }
  // Values below 1 are ignored.
  void SetDropDownRows(Integer value);
  Integer GetItemHeight() const { return FItemHeight; }
  void SetItemHeight(Integer value);
  Boolean GetRevertable() const { return FRevertable; }
  void SetRevertable(Boolean value) { FRevertable = value; }
  Boolean GetDropDownAutoWidth() const { return GetPopupAutoSize(); }
  void SetDropDownAutoWidth(Boolean value) { SetPopupAutoSize(value); }
  Boolean GetDropDownSizeable() const { return GetPopupSizeable(); }
  void SetDropDownSizeable(Boolean value) { SetPopupSizeable(value); }
  Integer GetDropDownWidth() const { return GetPopupWidth(); }
  void SetDropDownWidth(Integer value) { SetPopupWidth(value); }
  TStrings* GetItems() const { return GetLookupItems(); }
  void SetItems(TStrings* value) { SetLookupItems(value); }
  Boolean GetSorted() const { return GetLookupItemsSorted(); }
  void SetSorted(Boolean value) { SetLookupItemsSorted(value); }
  const TcxEditDrawItemEvent& GetOnDrawItem() const { return FOnDrawItem; }
  void SetOnDrawItem(const TcxEditDrawItemEvent& value) { FOnDrawItem = value; }
  const TcxComboBoxMeasureItemEvent& GetOnMeasureItem() const { return FOnMeasureItem; }
  void SetOnMeasureItem(const TcxComboBoxMeasureItemEvent& value) { FOnMeasureItem = value; }

  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  TClass GetLookupDataClass() override;
  orv::ClassOf<TcxCustomEditPopupWindow> GetPopupWindowClass() override;
  Boolean UseLookupData() override { return true; }
  Boolean IsDropDownOnClick() override { return FDropDownListStyle == lsFixedList; }
  Integer GetDropDownRowCount() override { return FDropDownRows; }
  Integer GetEditingStyle() override;

 private:
  TcxEditDropDownListStyle FDropDownListStyle = lsEditList;
  Integer FDropDownRows = 8;
  Integer FItemHeight = 0;
  Boolean FRevertable = false;
  TcxEditDrawItemEvent FOnDrawItem;
  TcxComboBoxMeasureItemEvent FOnMeasureItem;
};

class TcxComboBoxProperties : public TcxCustomComboBoxProperties {
  ORV_CLASS(TcxComboBoxProperties, TcxCustomComboBoxProperties)
 public:
  explicit TcxComboBoxProperties(TPersistent* owner) : TcxCustomComboBoxProperties(owner) {}
};

class TcxCustomComboBoxViewData : public TcxCustomDropDownEditViewData {
  ORV_CLASS(TcxCustomComboBoxViewData, TcxCustomDropDownEditViewData)
 public:
  TcxCustomComboBoxViewData(TcxCustomEditProperties* properties, TcxCustomEditStyle* style, Boolean isInplace)
      : TcxCustomDropDownEditViewData(properties, style, isInplace) {}
  Boolean IsComboBoxStyle() override { return true; }
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  void SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) override;
};

// A fixed-list combo box with custom drawing draws its item in the edit area through OnDrawItem.
class TcxCustomComboBoxViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxCustomComboBoxViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxCustomComboBoxViewInfo();
  void Assign(TObject* source) override;
  virtual void DrawComboItemText(TcxCanvas* canvas, const TRect& rect);

  Integer DrawItemIndex = -1;
  Boolean CustomDrawsText = false;
};

class TcxComboBoxPopupWindow : public TcxCustomEditPopupWindow {
  ORV_CLASS(TcxComboBoxPopupWindow, TcxCustomEditPopupWindow)
 public:
  explicit TcxComboBoxPopupWindow(TControl* ownerControl) : TcxCustomEditPopupWindow(ownerControl) {}
  void CalculateSize() override;
};

class TcxCustomComboBox : public TcxCustomDropDownEdit {
  ORV_CLASS(TcxCustomComboBox, TcxCustomDropDownEdit)
 public:
  explicit TcxCustomComboBox(TComponent* owner) : TcxCustomDropDownEdit(owner) {}

  TcxCustomComboBoxProperties* ComboProperties() {
    return static_cast<TcxCustomComboBoxProperties*>(GetEffectiveProperties());
  }
  TcxComboBoxLookupData* ComboLookupData() { return static_cast<TcxComboBoxLookupData*>(GetLookupData()); }
  Integer GetItemIndexProperty() { return GetItemIndex(); }
  void SetItemIndexProperty(Integer value) { SetItemIndex(value); }

  Boolean HasCustomDrawItem();
  Boolean HasCustomMeasureItem();
  void FireDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state);
  void FireMeasureItem(Integer index, TcxCanvas* canvas, Integer& height);
  // Lets the next opening take the content height again.
  void ResetPopupHeight();

  // ---- Overrides ----
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  Boolean CanDropDown() override;
  void GetPopupContentSize(TSize& size) override;
  void ApplyPopupWindowProperties() override;
  void SetupPopupWindow() override;
  void HandleInnerEditChange(TObject* sender) override;
  Boolean CanEditPlainText() override;
  void Activate(TcxCustomEditData*& editData) override;
  void DblClick() override;
  void Initialize() override;
  void Dispatch(TMessage& message) override;

 private:
  Boolean NeedsLookupSync();
};

class TcxComboBox : public TcxCustomComboBox {
  ORV_CLASS(TcxComboBox, TcxCustomComboBox)
 public:
  explicit TcxComboBox(TComponent* owner) : TcxCustomComboBox(owner) {}
  TcxComboBoxProperties* GetProperties() { return static_cast<TcxComboBoxProperties*>(TcxCustomEdit::GetProperties()); }
  void SetProperties(TcxComboBoxProperties* value) { GetProperties()->Assign(value); }
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TcxComboBoxProperties::StaticClass(); }
  Boolean HasEditableText() override { return CanEditPlainText(); }
};

// ==== Filter helpers ==========================================================================

// Filter-row editors of the drop-down kinds keep their drop-down button.
class TcxFilterDropDownEditHelper : public TcxFilterMaskEditHelper {
  ORV_CLASS(TcxFilterDropDownEditHelper, TcxFilterMaskEditHelper)
 public:
  TcxFilterDropDownEditHelper() = default;
  Boolean KeepsEditButtons() const override { return true; }
};

// The filter control enters values for combo box items with a free-text combo box.
class TcxFilterComboBoxHelper : public TcxFilterDropDownEditHelper {
  ORV_CLASS(TcxFilterComboBoxHelper, TcxFilterDropDownEditHelper)
 public:
  TcxFilterComboBoxHelper() = default;
  TcxCustomEditClass GetFilterEditorClass() const override;
  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override;
};

// ==== Popup editor ============================================================================

class TcxCustomPopupEditProperties : public TcxCustomDropDownEditProperties {
  ORV_CLASS(TcxCustomPopupEditProperties, TcxCustomDropDownEditProperties)
 public:
  explicit TcxCustomPopupEditProperties(TPersistent* owner);
  void BeforeDestruction() override;
  void Assign(TPersistent* source) override;
  void ComponentFreed(TComponent* component) override;

  TControl* GetPopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* value);

  TcxCustomEditClass GetEditClass() override;
  orv::ClassOf<TcxCustomEditPopupWindow> GetPopupWindowClass() override;
  Boolean ShowsLookupListInPopup() override { return false; }
  Boolean PopupTakesFocus() override { return true; }

 private:
  void PopupControlFreed(TComponent* sender) { ComponentFreed(sender); }
  TControl* FPopupControl = nullptr;
  TcxFreeNotificator* FPopupControlNotificator = nullptr;
};

class TcxPopupEditProperties : public TcxCustomPopupEditProperties {
  ORV_CLASS(TcxPopupEditProperties, TcxCustomPopupEditProperties)
 public:
  explicit TcxPopupEditProperties(TPersistent* owner);
};

class TcxPopupEditPopupWindowViewInfo : public TcxCustomEditPopupWindowViewInfo {
  ORV_CLASS(TcxPopupEditPopupWindowViewInfo, TcxCustomEditPopupWindowViewInfo)
 public:
  TcxPopupEditPopupWindowViewInfo() = default;
  void DrawPopupBorder(TcxCanvas* canvas, TRect& rect) override;
};

class TcxPopupEditPopupWindow : public TcxCustomEditPopupWindow {
  ORV_CLASS(TcxPopupEditPopupWindow, TcxCustomEditPopupWindow)
 public:
  explicit TcxPopupEditPopupWindow(TControl* ownerControl) : TcxCustomEditPopupWindow(ownerControl) {}
  orv::ClassOf<TcxContainerViewInfo> GetViewInfoClass() override;
};

class TcxCustomPopupEdit : public TcxCustomDropDownEdit {
  ORV_CLASS(TcxCustomPopupEdit, TcxCustomDropDownEdit)
 public:
  explicit TcxCustomPopupEdit(TComponent* owner) : TcxCustomDropDownEdit(owner) {}
  void BeforeDestruction() override;

  TcxCustomPopupEditProperties* PopupProperties() {
    return static_cast<TcxCustomPopupEditProperties*>(GetEffectiveProperties());
  }

  // ---- New virtual operations ----
  // Closes through the window's posted close (without the accept step of CloseUp).
  virtual void ClosePopup(TcxDropDownCloseReason reason);
  virtual void RestorePopupControlData();
  virtual void SavePopupControlData();

  // ---- Overrides ----
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  Boolean CanDropDown() override;
  void DoInitPopup() override;
  void SetupPopupWindow() override;
  TWinControl* GetPopupFocusedControl() override;
  void GetPopupContentSize(TSize& size) override;
  void PositionPopupContent(const TRect& rect) override;
  void PopupWindowClosed(TObject* sender) override;

 private:
  TAlign FSavedAlign = alNone;
  TRect FSavedBounds{};
  TWinControl* FSavedParent = nullptr;
  Boolean FSavedVisible = false;
  TFormBorderStyle FSavedBorderStyle = bsNone;
  Boolean FControlInPopup = false;
};

class TcxPopupEdit : public TcxCustomPopupEdit {
  ORV_CLASS(TcxPopupEdit, TcxCustomPopupEdit)
 public:
  explicit TcxPopupEdit(TComponent* owner) : TcxCustomPopupEdit(owner) {}
  TcxPopupEditProperties* GetProperties() { return static_cast<TcxPopupEditProperties*>(TcxCustomEdit::GetProperties()); }
  void SetProperties(TcxPopupEditProperties* value) { GetProperties()->Assign(value); }
  TcxCustomEditPropertiesClass GetPropertiesClass() override { return TcxPopupEditProperties::StaticClass(); }
  Boolean HasEditableText() override { return CanEditPlainText(); }
};
