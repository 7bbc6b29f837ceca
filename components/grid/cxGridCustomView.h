// The view framework of the grid: the deferred changes a view hands to its grid, the view base
// with its handlers (controller, painter, view data, view info and cache), the hit tests, the
// cell view infos and their painters, the view's window (the grid site), the options and styles
// bases, the internal drag-and-drop base and the drop-down window base of the cells.
//
// A view does no drawing, hit testing or input handling itself: it owns one handler of each
// kind, made from the classes its factories answer, so that a descendant view changes one class
// at a time. Layout (view infos) and painting (painters, made for one paint) are separate steps;
// controllers and hit tests read the same view infos.
//
// Everything runs on the UI thread.
#pragma once

#include <unordered_map>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/data/cxCustomData.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxStyles.h"
#include "components/grid/cxGridCommon.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"

class TcxCustomGrid;
class TcxCustomGridView;
class TcxCustomGridController;
class TcxCustomGridPainter;
class TcxCustomGridViewData;
class TcxCustomGridViewInfo;
class TcxCustomGridViewInfoCache;
class TcxCustomGridCellViewInfo;
class TcxCustomGridHitTest;
class TcxCustomGridOptions;
class TcxCustomGridBackgroundBitmaps;
class TcxCustomGridOptionsBehavior;
class TcxCustomGridOptionsData;
class TcxCustomGridOptionsSelection;
class TcxCustomGridOptionsView;
class TcxCustomGridStyles;
class TcxCustomGridPopup;
class TcxCustomGridTableItem;
class TcxCustomGridCustomizationForm;
class TcxCustomGridRecord;
class TcxGridSite;
class TcxGridListenerLink;
class TStrings;
class TCustomForm;

// ==== Layout storage interfaces ===============================================================

// The stored-object side of layout storage: a name and a list of named values.
class IcxStoredObject : public virtual IInterface {
 public:
  virtual AnsiString GetObjectName() = 0;
  virtual Boolean GetProperties(TStrings* properties) = 0;
  virtual void GetPropertyValue(const AnsiString& name, Variant& value) = 0;
  virtual void SetPropertyValue(const AnsiString& name, const Variant& value) = 0;
};

// The stored-parent side: children made, deleted and listed by the storage.
class IcxStoredParent : public virtual IInterface {
 public:
  virtual TObject* CreateChild(const AnsiString& objectName, const AnsiString& className) = 0;
  virtual void DeleteChild(const AnsiString& objectName, TObject* object) = 0;
  virtual void GetChildren(TStringList* children) = 0;
};

// Layout editing of a view through a copy of it.
class IcxGridViewLayoutEditorSupport : public virtual IInterface {
 public:
  virtual void PrepareLayoutView(TcxCustomGridView* layoutView) = 0;
  virtual void AssignLayoutInUpdate(TcxCustomGridView* layoutView) = 0;
  virtual AnsiString GetLayoutCustomizationCaption() = 0;
  virtual Boolean HasLayoutCustomization() = 0;
  virtual Boolean CanChangeLayout() = 0;
  virtual void RunLayoutCustomization() = 0;
};

// ==== Deferred changes ========================================================================

// A change the grid runs now, or later when it is locked (see TcxCustomGrid::AddChange).
class TcxCustomGridChange : public TObject {
  ORV_CLASS(TcxCustomGridChange, TObject)
 public:
  TcxCustomGridChange() = default;

  // The grid that runs the change; set immediately before Run.
  TcxCustomGrid* GetControl() const { return FControl; }
  void SetControl(TcxCustomGrid* value) { FControl = value; }

  // Whether the change may run inside the batch lock of the queue's processing.
  virtual Boolean RunsInsideLock() { return true; }
  virtual void Run() = 0;
  // Whether `other`, queued in the same batch, makes this change redundant.
  virtual Boolean IsCoveredBy(TcxCustomGridChange* other) { return false; }
  // Whether this change is dropped when an equal one is already in the batch.
  virtual Boolean DropsDuplicates() { return true; }
  // The same class.
  virtual Boolean IsSameAs(TcxCustomGridChange* other);
  // Whether the change may wait in the queue of a locked grid.
  virtual Boolean CanBeQueued() { return true; }

 private:
  TcxCustomGrid* FControl = nullptr;
};

// A change of one view, or of the whole grid (nil view).
class TcxCustomGridViewChange : public TcxCustomGridChange {
  ORV_CLASS(TcxCustomGridViewChange, TcxCustomGridChange)
 public:
  using TCreateSignature = void(TcxCustomGridView* gridView);
  explicit TcxCustomGridViewChange(TcxCustomGridView* gridView) : FGridView(gridView) {}

  TcxCustomGridView* GetGridView() const { return FGridView; }
  // Also the same view.
  Boolean IsSameAs(TcxCustomGridChange* other) override;

 private:
  TcxCustomGridView* FGridView;
};

using TcxCustomGridViewChangeClass = orv::ClassOf<TcxCustomGridViewChange>;

// Recalculates a view's layout (or the grid's with nil view) and repaints it.
class TcxGridLayoutChange : public TcxCustomGridViewChange {
  ORV_CLASS(TcxGridLayoutChange, TcxCustomGridViewChange)
 public:
  explicit TcxGridLayoutChange(TcxCustomGridView* gridView) : TcxCustomGridViewChange(gridView) {}
  void Run() override;
  Boolean IsCoveredBy(TcxCustomGridChange* other) override;
};

// The sizes of a view (or, with nil view, of the active view) must be computed again.
class TcxGridSizeChange : public TcxCustomGridViewChange {
  ORV_CLASS(TcxGridSizeChange, TcxCustomGridViewChange)
 public:
  explicit TcxGridSizeChange(TcxCustomGridView* gridView) : TcxGridSizeChange(gridView, false, false) {}
  TcxGridSizeChange(TcxCustomGridView* gridView, Boolean viewOnly, Boolean partialReset)
      : TcxCustomGridViewChange(gridView), FPartialReset(partialReset), FViewOnly(viewOnly) {}
  void Run() override;
  Boolean IsCoveredBy(TcxCustomGridChange* other) override;
  // Also both flags equal.
  Boolean IsSameAs(TcxCustomGridChange* other) override;

  Boolean GetPartialReset() const { return FPartialReset; }
  Boolean GetViewOnly() const { return FViewOnly; }

 private:
  Boolean FPartialReset;
  Boolean FViewOnly;
};

// Repaints a rectangle, a region or the whole of a view.
class TcxGridViewChange : public TcxCustomGridViewChange {
  ORV_CLASS(TcxGridViewChange, TcxCustomGridViewChange)
 public:
  explicit TcxGridViewChange(TcxCustomGridView* gridView) : TcxCustomGridViewChange(gridView) {}
  TcxGridViewChange(TcxCustomGridView* gridView, const TRect& updateBounds)
      : TcxCustomGridViewChange(gridView), FUpdateBounds(updateBounds) {}
  // The region is copied.
  TcxGridViewChange(TcxCustomGridView* gridView, TcxRegion* updateRegion);
  ~TcxGridViewChange() override;
  void Run() override;
  Boolean IsCoveredBy(TcxCustomGridChange* other) override;
  Boolean IsSameAs(TcxCustomGridChange* other) override;

  const TRect& GetUpdateBounds() const { return FUpdateBounds; }
  TcxRegion* GetUpdateRegion() const { return FUpdateRegion; }

 private:
  TRect FUpdateBounds;
  TcxRegion* FUpdateRegion = nullptr;
};

// Tells the view's controller that the grid's focus changed.
class TcxGridControlFocusChange : public TcxCustomGridViewChange {
  ORV_CLASS(TcxGridControlFocusChange, TcxCustomGridViewChange)
 public:
  explicit TcxGridControlFocusChange(TcxCustomGridView* gridView) : TcxCustomGridViewChange(gridView) {}
  void Run() override;
};

// ==== Handlers ================================================================================

// The base of every handler of a view; reaches the view's other handlers through it.
class TcxGridViewHandler : public TcxInterfacedPersistent {
  ORV_CLASS(TcxGridViewHandler, TcxInterfacedPersistent)
 public:
  using TCreateSignature = void(TcxCustomGridView* gridView);
  explicit TcxGridViewHandler(TcxCustomGridView* gridView);

  TcxCustomGridView* GetGridView() const { return FGridView; }
  TcxCustomLookAndFeelPainterClass LookAndFeelPainter() const;
  TcxCustomGrid* GetControl() const;
  TcxCustomGridController* GetController() const;
  TcxCustomDataController* GetDataController() const;
  TcxCustomGridPainter* GetPainter() const;
  TcxGridSite* GetSite() const;
  TcxCustomGridViewData* GetViewData() const;
  TcxCustomGridViewInfo* GetViewInfo() const;
  void BeginUpdate();
  void EndUpdate();

 private:
  TcxCustomGridView* FGridView;
};

// A guard on a view for code that may destroy it: the view reads nil once it is gone.
class TcxGridListenerLink : public TObject {
  ORV_CLASS(TcxGridListenerLink, TObject)
 public:
  explicit TcxGridListenerLink(TcxCustomGridView* gridView) : FGridView(gridView) {}
  // Leaves its view's list.
  ~TcxGridListenerLink() override;

  TcxCustomGridView* GetGridView() const { return FGridView; }
  void Clear() { FGridView = nullptr; }

 private:
  TcxCustomGridView* FGridView;
};

// ==== Hit tests ===============================================================================

// The answer to "what lies under this point": one shared instance per class, valid until the
// next query that answers the same class.
class TcxCustomGridHitTest : public TObject {
  ORV_CLASS(TcxCustomGridHitTest, TObject)
 public:
  TcxCustomGridHitTest() = default;
  // Unlinks its cell.
  ~TcxCustomGridHitTest() override;

  // The shared instance of the class with Pos set to the point; nothing else is reset.
  static TcxCustomGridHitTest* Instance(TClass hitTestClass, const TPoint& point);
  template <class T>
  static T* InstanceOf(const TPoint& point) {
    return static_cast<T*>(Instance(T::StaticClass(), point));
  }

  virtual Integer GetHitTestCode() const { return -1; }
  virtual TCursor Cursor() { return crDefault; }
  // The class of the internal drag-and-drop object a press here starts; nil for none.
  virtual TcxDragAndDropObjectClass DragAndDropObjectClass() { return nullptr; }

  const TPoint& GetPos() const { return FPos; }
  void SetPos(const TPoint& value) { FPos = value; }
  TcxCustomGridCellViewInfo* GetViewInfo() const { return FViewInfo; }
  // Two-way: the previous cell's back link is cleared and the new one's set.
  void SetViewInfo(TcxCustomGridCellViewInfo* value);

 private:
  friend class TcxCustomGridCellViewInfo;
  TPoint FPos;
  TcxCustomGridCellViewInfo* FViewInfo = nullptr;
};

using TcxCustomGridHitTestClass = orv::ClassOf<TcxCustomGridHitTest>;

// The program's instances of the hit-test classes, at most one per class.
class TGridHitTests : public TObject {
  ORV_CLASS(TGridHitTests, TObject)
 public:
  TGridHitTests() = default;
  ~TGridHitTests() override;
  // The instance of exactly that class, made on first use.
  TcxCustomGridHitTest* Instance(TClass hitTestClass);
  Integer GetCount() const { return Integer(FItems.size()); }

 private:
  std::vector<TcxCustomGridHitTest*> FItems;
};

// The program's list (made on first use, freed at exit).
TGridHitTests* GridHitTests();

// Nothing (grid level).
class TcxGridNoneHitTest : public TcxCustomGridHitTest {
  ORV_CLASS(TcxGridNoneHitTest, TcxCustomGridHitTest)
 public:
  TcxGridNoneHitTest() = default;
  Integer GetHitTestCode() const override { return 0; }
};

// A hit test produced by a view.
class TcxCustomGridViewHitTest : public TcxCustomGridHitTest {
  ORV_CLASS(TcxCustomGridViewHitTest, TcxCustomGridHitTest)
 public:
  TcxCustomGridViewHitTest() = default;
  TcxCustomGridView* GetGridView() const { return FGridView; }
  void SetGridView(TcxCustomGridView* value) { FGridView = value; }

 private:
  TcxCustomGridView* FGridView = nullptr;
};

// An empty area of a view.
class TcxGridViewNoneHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridViewNoneHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridViewNoneHitTest() = default;
  Integer GetHitTestCode() const override { return 0; }
};

// The record navigator.
class TcxGridNavigatorHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridNavigatorHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridNavigatorHitTest() = default;
  Integer GetHitTestCode() const override { return 1; }
};

// The view's open customization form.
class TcxGridCustomizationFormHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridCustomizationFormHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridCustomizationFormHitTest() = default;
  Integer GetHitTestCode() const override { return 2; }
};

// The design selector.
class TcxGridDesignSelectorHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TcxGridDesignSelectorHitTest, TcxCustomGridViewHitTest)
 public:
  TcxGridDesignSelectorHitTest() = default;
  Integer GetHitTestCode() const override { return 3; }
  TCursor Cursor() override { return crcxHandPoint; }
};

// The hit-test codes of the whole grid.
inline constexpr Integer htNone = 0;
inline constexpr Integer htNavigator = 1;
inline constexpr Integer htCustomizationForm = 2;
inline constexpr Integer htDesignSelector = 3;
inline constexpr Integer htTab = 50;
inline constexpr Integer htFilter = 101;
inline constexpr Integer htFilterActivateButton = 102;
inline constexpr Integer htFilterCloseButton = 103;
inline constexpr Integer htFilterDropDownButton = 104;
inline constexpr Integer htFilterCustomizeButton = 105;
inline constexpr Integer htRecord = 106;
inline constexpr Integer htCell = 107;
inline constexpr Integer htExpandButton = 108;
inline constexpr Integer htGroupByBox = 201;
inline constexpr Integer htColumnHeader = 202;
inline constexpr Integer htColumnHeaderHorzSizingEdge = 203;
inline constexpr Integer htColumnHeaderFilterButton = 204;
inline constexpr Integer htFooter = 205;
inline constexpr Integer htFooterCell = 206;
inline constexpr Integer htGroupFooter = 207;
inline constexpr Integer htGroupFooterCell = 208;
inline constexpr Integer htRowIndicator = 209;
inline constexpr Integer htRowSizingEdge = 210;
inline constexpr Integer htIndicator = 211;
inline constexpr Integer htIndicatorHeader = 212;
inline constexpr Integer htRowLevelIndent = 213;
inline constexpr Integer htHeader = 214;
inline constexpr Integer htGroupSummary = 215;
inline constexpr Integer htPreview = 231;

// ==== Cell view infos =========================================================================

// A cell that can own a drop-down window of the grid.
class IcxCustomGridPopupOwner : public virtual IInterface {
 public:
  virtual Boolean ClosePopupOnDestruction() = 0;
  virtual void GetPopupOwnerBounds(TRect& bounds) = 0;
  virtual void PopupClosed() = 0;
};

// The cell that opens an item's filter drop-down tells which item it filters.
class IcxGridFilterPopupOwner : public virtual IInterface {
 public:
  virtual TcxCustomGridTableItem* GetItem() = 0;
};

class TcxCustomGridCellPainter;
using TcxCustomGridCellPainterClass = orv::ClassOf<TcxCustomGridCellPainter>;

// One rectangle of a view's layout: geometry, text, alignment and style parameters computed
// lazily, a hit test for its area, a mouse state (none, hot, pressed) with hot tracking, mouse
// capture, drop-down popups and hints, and a painter made for each paint.
class TcxCustomGridCellViewInfo : public TcxIUnknownObject,
                                  public IcxCustomGridPopupOwner,
                                  public IcxMouseTrackingHitTest,
                                  public IcxMouseCaptureOwner {
  ORV_CLASS(TcxCustomGridCellViewInfo, TcxIUnknownObject)
 public:
  TcxCustomGridCellViewInfo();
  // Called by whoever makes the cell once it is whole: a popup that outlived a recalculation is
  // taken over by the new cell.
  virtual void AfterConstruction();
  void BeforeDestruction() override;
  ~TcxCustomGridCellViewInfo() override;

  // ---- Interfaces ----
  void MouseCaptureChanged() override { MouseCaptureLost(); }
  virtual void MouseCaptureLost();
  void MouseLeave() override;
  Boolean PtInCaller(const TPoint& point) override { return HasPoint(point); }
  Boolean ClosePopupOnDestruction() override { return true; }
  void GetPopupOwnerBounds(TRect& bounds) override { bounds = FBounds; }
  void PopupClosed() override;

  // ---- Calculation ----
  virtual void AfterCalculateBounds(TRect& bounds);
  virtual void BeforeRecalculation();
  virtual void AfterRecalculation() {}
  // -1 width or height: CalculateWidth / CalculateHeight.
  virtual void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1);
  void Calculate(const TRect& bounds);
  virtual Integer CalculateHeight() { return FBounds.Height(); }
  virtual Integer CalculateWidth() { return FBounds.Width(); }
  virtual Integer CalculateDefaultHeight(TcxCustomGridViewInfo* viewInfo, Integer extra);
  virtual void CalculateParams();
  void CheckCalculateParams();
  void ResetParamsCalculated() { FParamsCalculated = false; }
  void Recalculate();
  void RecalculateAndInvalidate();
  void ClearCachedBounds();
  void OffsetCell(Integer dx, Integer dy);
  virtual void Offset(Integer dx, Integer dy);

  // ---- Geometry ----
  const TRect& GetBounds() const { return FBounds; }
  void SetBounds(const TRect& value) { FBounds = value; }
  Boolean GetCalculated() const { return FCalculated; }
  const TRect& ClientBounds();
  const TRect& CachedContentRect();
  virtual void GetClientBounds(TRect& rect);
  virtual void GetContentBounds(TRect& rect);
  virtual void GetTextAreaBounds(TRect& rect);
  virtual void GetBorderBounds(TcxBorder side, TRect& rect);
  virtual void GetFocusRectBounds(TRect& rect);
  virtual void GetPaintBounds(TRect& rect) { rect = FBounds; }
  virtual void GetClipArea(TRect& rect) { rect = TRect(); }
  void GetTextBounds(Boolean horizontal, Boolean vertical, TRect& rect);
  virtual Integer Height() { return FBounds.Height(); }
  virtual Integer Width() { return FBounds.Width(); }
  virtual void SetHeight(Integer value) { FBounds.Bottom = FBounds.Top + value; }
  virtual void SetWidth(Integer value) { FBounds.Right = FBounds.Left + value; }
  virtual Integer ContentHeight() { return CachedContentRect().Height(); }
  virtual Integer ContentWidth() { return CachedContentRect().Width(); }
  virtual Integer GetCellHeight(Integer textHeight, Integer extra) { return textHeight + 4; }
  virtual Integer GetBestFitWidth();
  virtual Integer GetFocusRectWidth() { return 2; }
  Integer BorderWidth(TcxBorder side);

  // ---- Appearance ----
  virtual TAlignment GetAlignmentHorz() { return taLeftJustify; }
  virtual TcxAlignmentVert GetAlignmentVert() { return vaTop; }
  virtual TcxBorders GetBorders() { return TcxBorders(); }
  virtual TColor GetBorderColor(TcxBorder side) { return clDefault; }
  virtual Integer GetBorderWidth(TcxBorder side) { return 0; }
  virtual void GetViewParams(TcxViewParams& params) { params = TcxViewParams(); }
  virtual void GetText(AnsiString& text) { text.clear(); }
  virtual void GetTextForPainting(AnsiString& text) { text = FText; }
  virtual Boolean GetMultiLine() { return false; }
  virtual Boolean GetPaintsMultiLine() { return FMultiLine; }
  virtual Boolean GetShowEndEllipsis() { return false; }
  virtual Integer GetTextAttributes(Boolean forPainting);
  virtual TBitmap* GetBackgroundBitmap() { return FParams.Bitmap; }
  virtual Boolean HasBackgroundBitmap() { return GetBackgroundBitmap() != nullptr; }
  virtual Boolean HasBackground() { return true; }
  virtual Boolean HasFocusRect() { return false; }
  virtual Boolean GetVisible() { return FVisible; }
  virtual Boolean GetVisibleForHitTest() { return GetVisible(); }
  virtual Boolean CanDraw() { return GetVisible(); }
  virtual TcxCanvas* GetCanvas() = 0;
  virtual TcxControl* GetControl() { return nullptr; }
  virtual TcxCustomGridCellPainterClass GetPainterClass();
  virtual void ReadCanvasParams(TcxCanvas* canvas);
  virtual void ApplyParamsToCanvas(TcxCanvas* canvas);
  virtual void SaveParams(TcxViewParams& saved) { saved = FParams; }
  virtual void RestoreParams(const TcxViewParams& saved) { FParams = saved; }
  Integer TextWidth(Integer angle = 0);
  Integer TextHeight(Boolean forPainting = true, Integer angle = 0);
  Integer TextWidthWithOffset() { return TextWidth() + 4; }
  Integer TextHeightWithOffset() { return TextHeight() + 4; }

  TAlignment AlignmentHorz() const { return FAlignmentHorz; }
  TcxAlignmentVert AlignmentVert() const { return FAlignmentVert; }
  TcxBorders Borders() const { return FBorders; }
  const AnsiString& Text() const { return FText; }
  Boolean MultiLine() const { return FMultiLine; }
  Boolean PaintsMultiLine() const { return FPaintsMultiLine; }
  // The parameters, computed on first use.
  const TcxViewParams& Params();
  TcxViewParams& ParamsRef() { return FParams; }
  Boolean IsParamsCalculated() const { return FParamsCalculated; }
  Boolean GetVisibleField() const { return FVisible; }
  void SetVisible(Boolean value) { FVisible = value; }

  // ---- Custom drawing ----
  virtual Boolean CustomDraw(TcxCanvas* canvas) { return false; }
  virtual Boolean CustomDrawBackground(TcxCanvas* canvas) { return false; }
  virtual Boolean HasCustomDraw() { return false; }
  virtual Boolean HasCustomDrawBackground() { return false; }
  virtual Boolean DoCustomDraw(TcxCanvas* canvas);
  virtual Boolean DoCustomDrawBackground(TcxCanvas* canvas);

  // ---- Hit tests and mouse ----
  virtual TClass GetHitTestClass() = 0;
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& point);
  virtual Boolean HasPoint(const TPoint& point);
  virtual Boolean HasHitTestPoint(const TPoint& point) { return HasPoint(point); }
  virtual Boolean IsHitTestMine(TcxCustomGridHitTest* hitTest);
  virtual void InitHitTest(TcxCustomGridHitTest* hitTest);
  TcxCustomGridHitTest* GetLinkedHitTest() const { return FLinkedHitTest; }
  void SetLinkedHitTest(TcxCustomGridHitTest* value);
  virtual Boolean HotTrackable() { return HasPopup(); }
  virtual Boolean CaptureMouseOnPress() { return false; }
  virtual Boolean HasMouseCapture();
  virtual void SetMouseCapture(Boolean value);
  virtual void Click() {}
  virtual Boolean MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift);
  virtual Boolean MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift);
  virtual Boolean MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift);

  // ---- State ----
  TcxGridCellState GetState() const { return FState; }
  void SetState(TcxGridCellState value);
  virtual TcxGridCellState GetActualState() { return FState; }
  TcxButtonState ButtonState() { return GridCellStateToButtonState(GetActualState()); }
  virtual void BeforeStateChange() {}
  virtual void StateChanged(TcxGridCellState prevState);
  virtual Boolean InvalidateOnStateChange() { return true; }
  virtual void DoInvalidate();
  virtual void Invalidate() { DoInvalidate(); }
  Boolean IsDestroying() const { return FDestroying; }

  // ---- Popups ----
  virtual TcxCustomGridPopup* GetPopup() { return nullptr; }
  virtual Boolean HasPopup() { return GetPopup() != nullptr; }
  virtual Boolean UsesPopup() { return false; }
  virtual Boolean IsPopupUnowned();
  virtual void ShowPopup();

  // ---- Painting ----
  virtual void Paint(TcxCanvas* canvas = nullptr);

 private:
  Boolean FCalculated = false;
  Boolean FCalculatingParams = false;
  TAlignment FAlignmentHorz = taLeftJustify;
  TcxAlignmentVert FAlignmentVert = vaTop;
  TcxBorders FBorders;
  Boolean FDestroying = false;
  friend class TcxCustomGridHitTest;
  TcxCustomGridHitTest* FLinkedHitTest = nullptr;
  Boolean FParamsCalculated = false;
  TcxGridCellState FState = gcsNone;
  AnsiString FText;
  Boolean FVisible = true;
  TRect FClientBounds;
  TRect FContentBounds;
  TRect FBounds;
  Boolean FMultiLine = false;
  Boolean FPaintsMultiLine = false;
  TcxViewParams FParams;
};

// A cell of a view's layout.
class TcxCustomGridViewCellViewInfo : public TcxCustomGridCellViewInfo {
  ORV_CLASS(TcxCustomGridViewCellViewInfo, TcxCustomGridCellViewInfo)
 public:
  using TCreateSignature = void(TcxCustomGridViewInfo* gridViewInfo);
  explicit TcxCustomGridViewCellViewInfo(TcxCustomGridViewInfo* gridViewInfo);
  void BeforeDestruction() override;

  TcxCustomGridViewInfo* GetGridViewInfo() const { return FGridViewInfo; }
  TcxCustomGridView* GetGridView() const;
  TcxCustomGridController* GetController() const;

  void AfterCalculateBounds(TRect& bounds) override;
  void DoInvalidate() override;
  TcxCanvas* GetCanvas() override;
  TcxControl* GetControl() override;
  Boolean IsHitTestMine(TcxCustomGridHitTest* hitTest) override;
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  void BeforeRecalculation() override;
  void Invalidate() override;
  Boolean MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) override;

  // ---- New virtual operations ----
  virtual Boolean HotTrackAfterCalculate() { return false; }
  virtual Boolean HasHint() { return false; }
  virtual void GetHintClipArea(TRect& rect) { GetClipArea(rect); }
  virtual void GetHintAreaBounds(TRect& rect) { GetTextAreaBounds(rect); }
  virtual void GetHintText(AnsiString& text) { text = Text(); }
  virtual void GetHintTextRect(const TPoint& mousePos, TRect& rect) { GetTextAreaBounds(rect); }
  virtual Boolean IsPointInHintArea(const TPoint& p);
  virtual void GetHintInfo(const TPoint& mousePos, AnsiString& hintText, TRect& hintTextRect,
                           Boolean& isHintMultiLine);
  virtual Boolean HintOnlyWhenTruncated() { return true; }
  virtual Boolean IsHintMultiLine() { return PaintsMultiLine(); }
  virtual Boolean NeedsHint(const TPoint& mousePos, AnsiString& hintText, TRect& hintTextRect,
                            Boolean& isHintMultiLine);
  // Shows or hides the controller's hint for the hit test's point.
  void CheckHint(TcxCustomGridHitTest* hitTest);

 private:
  TcxCustomGridViewInfo* FGridViewInfo;
};

using TcxCustomGridViewCellViewInfoClass = orv::ClassOf<TcxCustomGridViewCellViewInfo>;

// The small triangle in a designed view's corner.
class TcxGridDesignSelectorViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TcxGridDesignSelectorViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  explicit TcxGridDesignSelectorViewInfo(TcxCustomGridViewInfo* gridViewInfo);
  ~TcxGridDesignSelectorViewInfo() override;

  void Calculate(Integer leftBound, Integer topBound, Integer width = -1, Integer height = -1) override;
  using TcxCustomGridViewCellViewInfo::Calculate;
  Integer CalculateHeight() override { return 20; }
  Integer CalculateWidth() override { return 20; }
  Boolean HasPoint(const TPoint& point) override;
  TClass GetHitTestClass() override { return TcxGridDesignSelectorHitTest::StaticClass(); }
  Boolean HotTrackable() override { return true; }
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void GetViewParams(TcxViewParams& params) override;
  Boolean MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  // Whether the design environment selects the view (never here).
  Boolean IsSelected();
  TcxRegion* GetRegion() const { return FRegion; }

 private:
  TcxRegion* FRegion = nullptr;
};

using TcxGridDesignSelectorViewInfoClass = orv::ClassOf<TcxGridDesignSelectorViewInfo>;

// ==== View info ===============================================================================

// The layout of one view: its window (the site), its cells and its hit testing.
class TcxCustomGridViewInfo : public TcxGridViewHandler {
  ORV_CLASS(TcxCustomGridViewInfo, TcxGridViewHandler)
 public:
  explicit TcxCustomGridViewInfo(TcxCustomGridView* gridView);
  // Called by the view once the object is whole: makes the site and the cells.
  virtual void AfterConstruction();
  void BeforeDestruction() override;
  ~TcxCustomGridViewInfo() override;

  // ---- New virtual operations ----
  virtual void CreateViewInfos();
  virtual void DestroyViewInfos(Boolean full);
  virtual void RecreateViewInfos();
  virtual TcxGridDesignSelectorViewInfoClass GetDesignSelectorViewInfoClass();
  virtual Boolean CanHideSite();
  virtual orv::ClassOf<TcxGridSite> GetSiteClass();
  virtual void AdjustClientBounds(TRect& rect) {}
  virtual void AfterCalculating();
  virtual void BeforeCalculating();
  virtual void Calculate();
  virtual void GetClientBounds(TRect& rect) { rect = FBounds; }
  virtual void CalculateHeight(const TPoint& maxSize, Integer& height, Boolean& fullyVisible);
  virtual void CalculateWidth(const TPoint& maxSize, Integer& width);
  virtual Boolean CanCheckCoordinates();
  virtual void ControlFocusChanged() {}
  virtual TcxCustomGridHitTest* GetContentHitTest(const TPoint& point);
  virtual Boolean CanHandleBoundsChange();
  virtual TBitmap* GetBackgroundBitmap();
  virtual TColor GetBackgroundColor();
  virtual void GetDesignSelectorPosition(TPoint& position) { position = FBounds.TopLeft(); }
  virtual void AdjustHScrollBarBounds(TRect& rect) {}
  virtual Boolean IsInternalUse() { return FIsInternalUse; }
  virtual Boolean CanRefresh();
  virtual void InitHitTest(TcxCustomGridHitTest* hitTest);
  virtual void VisibilityChanged(Boolean visible);
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& point);
  TcxCustomGridHitTest* GetHitTest(Integer x, Integer y) { return GetHitTest(TPoint{x, y}); }

  // ---- Non-virtual ----
  Boolean IsCalculated() const { return !RectIsEmpty(FBounds); }
  Boolean GetIsCalculating() const { return FIsCalculating; }
  void SetIsInternalUse(Boolean value) { FIsInternalUse = value; }
  TcxCanvas* Canvas();
  const TRect& GetBounds() const { return FBounds; }
  TRect ClientBounds();
  Integer ClientHeight() { return ClientBounds().Height(); }
  Integer ClientWidth() { return ClientBounds().Width(); }
  void SetClientBounds(const TRect& rect);
  Boolean IsInternalUseAny();
  // For a detail view the master view's site, else the grid.
  TWinControl* SiteParent();
  void AddActiveCell(TcxCustomGridCellViewInfo* cell) { FActiveCells.push_back(cell); }
  Boolean IsActiveCell(TcxCustomGridCellViewInfo* cell) const;
  void RemoveActiveCell(TcxCustomGridCellViewInfo* cell);
  void UpdateMousePos();
  const TPoint& GetMousePos() const { return FMousePos; }
  void UpdateVisibility(Boolean checkVisible = true);
  Integer GetFontHeight(TFont* font);
  Integer GetHeight(const TPoint& maxSize, Integer& height, Boolean& fullyVisible);
  Integer GetWidth(const TPoint& maxSize, Integer& width);
  void Calculate(const TRect& rect);
  void Recalculate();
  TcxGridSite* GetSiteValue() const { return FSite; }
  TcxGridDesignSelectorViewInfo* GetDesignSelector() const { return FDesignSelector; }
  Boolean GetAllowCheckCoordinates() const { return FAllowCheckCoordinates; }
  void SetAllowCheckCoordinates(Boolean value) { FAllowCheckCoordinates = value; }
  Boolean GetAllowHideSite() const { return FAllowHideSite; }
  void SetAllowHideSite(Boolean value) { FAllowHideSite = value; }
  Boolean IsVisibilityChanging() const { return FVisibilityChanging; }
  Boolean IsSizeCalculating() const { return FSizeCalculating; }

 private:
  std::vector<TcxCustomGridCellViewInfo*> FActiveCells;
  Boolean FAllowCheckCoordinates = true;
  Boolean FAllowHideSite = true;
  TRect FBounds;
  TRect FClientBounds;
  Boolean FClientBoundsAssigned = false;
  TcxGridDesignSelectorViewInfo* FDesignSelector = nullptr;
  Boolean FIsCalculating = false;
  Boolean FIsInternalUse = false;
  TPoint FMousePos{orv::kGridMaxInt, orv::kGridMaxInt};
  TcxGridSite* FSite = nullptr;
  Boolean FSizeCalculating = false;
  Boolean FVisibilityChanging = false;
};

using TcxCustomGridViewInfoClass = orv::ClassOf<TcxCustomGridViewInfo>;

class TcxCustomGridViewInfoCache;

// What a cache keeps of one entry (a record) across recalculations.
class TcxCustomGridViewInfoCacheItem : public TObject {
  ORV_CLASS(TcxCustomGridViewInfoCacheItem, TObject)
 public:
  using TCreateSignature = void(TcxCustomGridViewInfoCache* owner, Integer index);
  TcxCustomGridViewInfoCacheItem(TcxCustomGridViewInfoCache* owner, Integer index)
      : FIndex(index), FOwner(owner) {}

  Integer GetIndex() const { return FIndex; }
  TcxCustomGridViewInfoCache* GetOwner() const { return FOwner; }
  virtual void UnassignValues(Boolean keepMaster) {}

 private:
  Integer FIndex;
  TcxCustomGridViewInfoCache* FOwner;
};

using TcxCustomGridViewInfoCacheItemClass = orv::ClassOf<TcxCustomGridViewInfoCacheItem>;

class TcxCustomGridViewInfoCache : public TcxGridViewHandler {
  ORV_CLASS(TcxCustomGridViewInfoCache, TcxGridViewHandler)
 public:
  explicit TcxCustomGridViewInfoCache(TcxCustomGridView* gridView) : TcxGridViewHandler(gridView) {}
  ~TcxCustomGridViewInfoCache() override;

  Integer GetCount() const { return FCount; }
  // nil for an entry not made yet.
  TcxCustomGridViewInfoCacheItem* GetItems(Integer index) const;
  // The entry, made on demand.
  TcxCustomGridViewInfoCacheItem* GetItem(Integer index);
  void SetCount(Integer value);
  void Clear();
  virtual void UnassignValues(Boolean keepMaster);

 protected:
  virtual TcxCustomGridViewInfoCacheItemClass GetItemClass(Integer index) = 0;

 private:
  // Only the entries asked for exist, so that a new count costs nothing per row.
  std::unordered_map<Integer, TcxCustomGridViewInfoCacheItem*> FItems;
  Integer FCount = 0;
  Boolean FUnassigningValues = false;
};

using TcxCustomGridViewInfoCacheClass = orv::ClassOf<TcxCustomGridViewInfoCache>;

// ==== Painters ================================================================================

// Draws one cell in a fixed order; lives for one MainPaint.
class TcxCustomGridCellPainter : public TObject {
  ORV_CLASS(TcxCustomGridCellPainter, TObject)
 public:
  using TCreateSignature = void(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo);
  TcxCustomGridCellPainter(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo)
      : FCanvas(canvas), FViewInfo(viewInfo) {}

  TcxCanvas* GetCanvas() const { return FCanvas; }
  TcxCustomGridCellViewInfo* GetViewInfo() const { return FViewInfo; }

  virtual void AfterPaint();
  virtual void BeforePaint() {}
  virtual Boolean CanDrawFocusRect() { return true; }
  virtual void ExcludeFromClipping();
  virtual void DrawBackground();
  virtual void DrawBackground(const TRect& rect);
  virtual Boolean DrawBackgroundBitmap(TcxCanvas* canvas, const TRect& rect);
  virtual void DrawBorder(TcxBorder side);
  virtual void DrawBorders();
  virtual void DrawContent();
  virtual void DrawText();
  virtual Boolean ExcludeFromClipRect() { return false; }
  virtual Boolean CanPaint();
  virtual void Paint();
  virtual void PrepareCanvasForDrawText() {}
  virtual void UnprepareCanvasForDrawText() {}
  virtual void MainPaint();
  // The nested focus frames around the cell's focus rectangle.
  static void DoDrawFocusRect(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo);
  // Only for a cell with a focus rectangle painted on its own canvas.
  static void DrawFocusRect(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo);

 private:
  TcxCanvas* FCanvas;
  TcxCustomGridCellViewInfo* FViewInfo;
};

class TcxGridDesignSelectorPainter : public TcxCustomGridCellPainter {
  ORV_CLASS(TcxGridDesignSelectorPainter, TcxCustomGridCellPainter)
 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void ExcludeFromClipping() override;
  Boolean ExcludeFromClipRect() override { return true; }
  void Paint() override;
  virtual void DrawHatch(TColor color);
};

// Paints a view: keeps what no cell covered as the background region and fills it last.
class TcxCustomGridPainter : public TcxGridViewHandler {
  ORV_CLASS(TcxCustomGridPainter, TcxGridViewHandler)
 public:
  explicit TcxCustomGridPainter(TcxCustomGridView* gridView) : TcxGridViewHandler(gridView) {}
  ~TcxCustomGridPainter() override;

  virtual void DrawBackground();
  virtual void AfterPaint();
  virtual void BeforePaint();
  virtual void PaintContent() {}
  virtual void DrawFocusRect(const TRect& rect, Boolean hideFocusRect);

  // nil canvas and view info mean the view info's canvas and the view's view info.
  void Paint(TcxCanvas* canvas = nullptr, TcxCustomGridViewInfo* viewInfo = nullptr);
  TcxCanvas* Canvas();
  TcxCustomGridViewInfo* ViewInfo();
  void ExcludeFromBackground(const TRect& rect);
  void Invalidate();
  void Invalidate(const TRect& rect);
  void Invalidate(TcxRegion* region);
  TcxRegion* GetBackgroundRegion() const { return FBackgroundRegion; }

 private:
  TcxRegion* FBackgroundRegion = nullptr;
  TcxRegion* FSavedClipRegion = nullptr;
  TcxCanvas* FCanvas = nullptr;
  TcxCustomGridViewInfo* FViewInfo = nullptr;
};

using TcxCustomGridPainterClass = orv::ClassOf<TcxCustomGridPainter>;

// ==== View data ===============================================================================

class TcxCustomGridViewData : public TcxGridViewHandler {
  ORV_CLASS(TcxCustomGridViewData, TcxGridViewHandler)
 public:
  explicit TcxCustomGridViewData(TcxCustomGridView* gridView) : TcxGridViewHandler(gridView) {}

  // The engine that sorts groups by a summary; none until the table views bring theirs.
  virtual TClass GetSortingBySummaryEngineClass() { return nullptr; }
  virtual Boolean IsEmpty();
  virtual TcxCustomGridView* GetDetailView(TComponent* level) { return nullptr; }
};

using TcxCustomGridViewDataClass = orv::ClassOf<TcxCustomGridViewData>;

// ==== The site: the view's window =============================================================

class TcxGridSite : public TcxControl {
  ORV_CLASS(TcxGridSite, TcxControl)
 public:
  using TCreateSignature = void(TcxCustomGridViewInfo* viewInfo);
  explicit TcxGridSite(TcxCustomGridViewInfo* viewInfo);
  ~TcxGridSite() override;
  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

  TcxCustomGridViewInfo* GetViewInfo() const { return FViewInfo; }
  TcxCustomGridView* GetGridView() const;
  TcxCustomGridController* GetController() const;
  TcxCustomGrid* GetContainer() const;
  Boolean GetForceScrollBarsUpdate() const { return FForceScrollBarsUpdate; }
  void SetForceScrollBarsUpdate(Boolean value) { FForceScrollBarsUpdate = value; }
  // Parked by the view info (left 30000): does not paint.
  Boolean IsParked() const { return GetLeft() == 30000; }

  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
  void SetParent(TWinControl* value) override;
  void SetFocus() override;
  Boolean IsFocused() override;
  Boolean MayFocus() override;
  Boolean IsDesigning() const override;
  Boolean CanFocusOnClickAt(Integer x, Integer y) override;
  Boolean FocusWhenChildIsClicked(TControl* child) override;
  TRect GetClientBounds() override;
  void UpdateScrollBars() override;
  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& point, Boolean& accepted) override;
  void EndDragAndDrop(Boolean accepted) override;
  // The grid-site focus bookkeeping asks this after an internal focus change.
  void SetTabStopValue(Boolean value) { SetTabStop(value); }

  // Public so that the controller and tests reach them.
  using TcxControl::MouseDown;
  using TcxControl::MouseMove;
  using TcxControl::MouseUp;

 protected:
  void Paint() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseLeave(TControl* control) override;
  void CancelMouseOperation() override;
  Boolean AllowMouseDownWithoutFocus() override;
  void DoEnter() override;
  void DoExit() override;
  void FocusChanged() override;
  TCursor GetCurrentCursor(Integer x, Integer y) override;
  Boolean GetDesignHitTest(Integer x, Integer y, TShiftState shift) override;
  Boolean CanAutoDragAtDesignTime(Integer x, Integer y, TShiftState shift) override { return false; }
  Boolean AllowAutoDragAt(Integer x, Integer y) override;
  Boolean CorrectMouseDownPosOnFocus() override { return false; }
  void DoContextPopup(TPoint mousePos, bool& handled) override;
  void BoundsChanged() override;
  TRect GetHScrollBarBounds() override;
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() override;
  Boolean IsPixelScrollBar(TScrollBarKind kind) override;
  Boolean StartDragAndDrop(const TPoint& p) override;
  void DoStartDrag(TDragObject*& dragObject) override;
  void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  void DragDrop(TObject* source, Integer x, Integer y) override;
  void DoEndDrag(TObject* target, Integer x, Integer y) override;
  void DrawDragImage(TcxCanvas* canvas, const TRect& rect) override;
  TSize GetDragImagesSize() override;
  Boolean HasDragImages() override;
  void RequestAlign() override {}

 private:
  void BoundsChangeTimerHandler(TObject* sender);

  TcxTimer* FBoundsChangeTimer = nullptr;
  Boolean FForceScrollBarsUpdate = false;
  Integer FLastClientWidth = 0;
  Integer FLastClientHeight = 0;
  TcxCustomGridViewInfo* FViewInfo;
};

using TcxGridSiteClass = orv::ClassOf<TcxGridSite>;

// ==== Controller ==============================================================================

class TcxCustomGridDragAndDropObject;

// Maps objects for the design environment's selection (there is none here: the operations do
// nothing and nothing counts as selected).
class TcxCustomGridDesignController : public TObject {
  ORV_CLASS(TcxCustomGridDesignController, TObject)
 public:
  TcxCustomGridDesignController() = default;
  virtual TcxCustomGrid* GetControl() = 0;
  virtual TObject* GetDesignObject(TObject* object) { return object; }
  Boolean IsObjectSelected(TObject* object);
  void SelectObject(TObject* object, Boolean clearSelection);
  void SelectObjects(TList* objects);
  void UnselectObject(TObject* object);
};

class TcxGridViewDesignController : public TcxCustomGridDesignController {
  ORV_CLASS(TcxGridViewDesignController, TcxCustomGridDesignController)
 public:
  using TCreateSignature = void(TcxCustomGridController* controller);
  explicit TcxGridViewDesignController(TcxCustomGridController* controller) : FController(controller) {}
  TcxCustomGrid* GetControl() override;
  TObject* GetDesignObject(TObject* object) override;
  TcxCustomGridController* GetController() const { return FController; }

 private:
  TcxCustomGridController* FController;
};

using TcxGridViewDesignControllerClass = orv::ClassOf<TcxGridViewDesignController>;

// The input handler of one view: routes the site's mouse events to the cell under the pointer,
// shows cell hints, opens the customization form and starts internal drag and drop.
class TcxCustomGridController : public TcxGridViewHandler, public IcxMouseTrackingHitTest {
  ORV_CLASS(TcxCustomGridController, TcxGridViewHandler)
 public:
  explicit TcxCustomGridController(TcxCustomGridView* gridView) : TcxGridViewHandler(gridView) {}
  void BeforeDestruction() override;
  ~TcxCustomGridController() override;

  // ---- Virtual operations ----
  void MouseLeave() override { HideHint(); }
  Boolean PtInCaller(const TPoint& point) override;
  virtual void AfterPaint();
  virtual void BeforeKillFocus() {}
  virtual void BeforePaint();
  virtual Boolean CanFocusOnClick(Integer x, Integer y) { return true; }
  virtual Boolean CanHandleHitTest(TcxCustomGridHitTest* hitTest);
  virtual void CheckCoordinates() {}
  virtual void DetailFocused(TcxCustomGridView* detail) {}
  virtual void DoEnter() {}
  virtual void DoExit() {}
  virtual void DoFocusedChanged(Boolean value);
  virtual TcxGridViewDesignControllerClass GetDesignControllerClass();
  virtual Boolean IsDesignHitTest(TcxCustomGridHitTest* hitTest);
  virtual TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() { return mwskNone; }
  virtual TObject* GetDesignObject(TObject* object);
  virtual void RefreshCustomizationForm();
  virtual Boolean IsPixelScrollBar(TScrollBarKind kind) { return false; }
  virtual Boolean MayFocus() { return true; }
  virtual void FocusLost();
  virtual void FocusedChanged(Boolean value);
  virtual void LevelChanged(Boolean attached);
  virtual void CheckCustomizationFormBounds(TRect& rect) {}
  virtual void CustomizationChanged();
  virtual TClass GetCustomizationFormClass();
  // Makes the customization form of GetCustomizationFormClass for this controller.
  virtual TCustomForm* CreateCustomizationForm();
  virtual Integer GetCustomizationFormDefaultWidth() { return 180; }
  virtual Integer GetCustomizationFormDefaultHeight() { return 300; }
  virtual void ControlFocusChanged();
  virtual void CancelMouseOperation() {}
  virtual TCursor GetCursor(Integer x, Integer y);
  virtual Boolean HasFocusedControl() { return false; }
  virtual void InitScrollBarsParameters() {}
  virtual Boolean IsDataFullyVisible(TcxDirection direction) { return true; }
  virtual void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) {}
  virtual void BeginDragAndDrop() {}
  virtual void DragAndDrop(const TPoint& point, Boolean& accepted) {}
  virtual void EndDragAndDrop(Boolean accepted) {}
  virtual Boolean StartDragAndDrop(const TPoint& point);
  virtual void BeforeStartDrag() {}
  virtual Boolean AllowAutoDrag(Integer x, Integer y) { return true; }
  virtual void DragDrop(TObject* source, Integer x, Integer y) {}
  virtual void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {}
  virtual void DrawDragImage(TcxCanvas* canvas, const TRect& rect) {}
  virtual void EndDrag(TObject* target, Integer x, Integer y) {}
  virtual void GetDragImagesSize(TSize& size) { size = TSize{0, 0}; }
  virtual Boolean HasDragImages() { return false; }
  virtual void StartDrag(TDragObject*& dragObject) {}
  virtual Boolean CanShowHint();
  virtual THintWindowClass GetHintWindowClass();
  virtual void KeyDown(Word& key, TShiftState shift) { DoKeyDown(key, shift); }
  virtual void DoKeyDown(Word& key, TShiftState shift) {}
  virtual void KeyPress(char& key) {}
  virtual void KeyUp(Word& key, TShiftState shift) {}
  virtual void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y);
  virtual void MouseMove(TShiftState shift, Integer x, Integer y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y);
  virtual Boolean ProcessDetailDialogChar(TcxCustomGridView* detail, char ch) { return false; }
  virtual Boolean IsDialogCharForMaster(char ch);
  virtual void WndProc(TMessage& message);

  // ---- Non-virtual ----
  TcxCustomGridDesignController* DesignController();
  TcxCustomGridDragAndDropObject* DragAndDropObject();
  Boolean IsDragAndDropRunning();
  TcxCustomGridCellViewInfo* MouseCaptureCell();
  Boolean GetCustomization() const { return FCustomization; }
  void SetCustomization(Boolean value);
  // The open customization form (a TcxCustomGridCustomizationForm of the table views), or nil.
  TCustomForm* GetCustomizationForm() const { return FCustomizationForm; }
  void SetDragAndDropObjectClass(TcxDragAndDropObjectClass value);
  void GetCustomizationFormBounds(TRect& rect);
  void DesignerModified();
  void CheckCoordinatesGuarded();
  void SubmitControlFocusChange();
  void SetScrollBarInfo(TScrollBarKind kind, Integer min, Integer max, Integer step, Integer page,
                        Integer pos, Boolean allowShow, Boolean allowHide);
  void UpdateScrollBars(Boolean force);
  void HideHint();
  void ShowHint(const TRect& hintAreaBounds, const TRect& textRect, TcxCustomGridViewCellViewInfo* cell,
                TFont* font, Boolean isHintMultiLine, const AnsiString& text);
  TcxCustomGridCellViewInfo* GetHintCell() const { return FHintCellViewInfo; }
  THintWindow* GetHintWindow() const { return FHintWindow; }
  Boolean IsDoubleClick() const { return FIsDoubleClick; }
  Boolean IsFocusing() const { return FIsFocusing; }
  Boolean IsCheckingCoordinates() const { return FIsCheckingCoordinates; }
  // Called by a customization form that frees itself.
  void CustomizationFormDestroying();
  // Whether the open customization form covers the screen point.
  Boolean IsPointInCustomizationForm(const TPoint& screenPoint);

 private:
  void HintCheckTimerHandler(TObject* sender);

  Boolean FCustomization = false;
  TCustomForm* FCustomizationForm = nullptr;
  TRect FCustomizationFormBounds;
  TcxCustomGridDesignController* FDesignController = nullptr;
  TRect FHintAreaBounds;
  TcxCustomGridCellViewInfo* FHintCellViewInfo = nullptr;
  TcxTimer* FHintCheckTimer = nullptr;
  TRect FHintTextRect;
  THintWindow* FHintWindow = nullptr;
  Boolean FIsCheckingCoordinates = false;
  Boolean FIsDoubleClick = false;
  Boolean FIsFocusing = false;
};

using TcxCustomGridControllerClass = orv::ClassOf<TcxCustomGridController>;

// ==== Internal drag and drop base =============================================================

// An internal drag-and-drop operation of a grid site (column moving and sizing).
class TcxCustomGridDragAndDropObject : public TcxDragAndDropObject {
  ORV_CLASS(TcxCustomGridDragAndDropObject, TcxDragAndDropObject)
 public:
  explicit TcxCustomGridDragAndDropObject(TcxControl* control) : TcxDragAndDropObject(control) {}

  void AfterDragAndDrop(Boolean accepted) override;
  virtual void AfterPaint() { DrawFeedbackAfterPaint(); }
  virtual void BeforePaint() { HideFeedbackBeforePaint(); }
  virtual void FeedbackRestored() {}
  virtual void DrawFeedbackAfterPaint() {}
  virtual void HideFeedbackBeforePaint() {}
  virtual void Init(const TPoint& p, TcxCustomGridHitTest* hitTest) { FDragStartPoint = p; }

  const TPoint& GetDragStartPoint() const { return FDragStartPoint; }
  TcxGridSite* GetSite() const;
  TcxCustomGridController* Controller() const;
  TcxCustomGridView* GridView() const;
  TcxCustomGridViewInfo* ViewInfo() const;
  TCustomForm* CustomizationForm() const;

 private:
  TPoint FDragStartPoint;
};

// Moves an item (a column header) inside a view: a drag image of the item follows the mouse and
// two arrows mark the drop position.
class TcxCustomGridMovingObject : public TcxCustomGridDragAndDropObject {
  ORV_CLASS(TcxCustomGridMovingObject, TcxCustomGridDragAndDropObject)
 public:
  explicit TcxCustomGridMovingObject(TcxControl* control) : TcxCustomGridDragAndDropObject(control) {}
  ~TcxCustomGridMovingObject() override;

  void BeginDragAndDrop() override;
  void DragAndDrop(const TPoint& point, Boolean& accepted) override;
  void EndDragAndDrop(Boolean accepted) override;
  void FeedbackStateChanged() override;
  void FeedbackRestored() override;
  // crArrow when accepted; otherwise the remove cursor when the item may be removed, else the
  // no-drop cursor.
  TCursor GetDragAndDropCursor(Boolean accepted) override;

  virtual Boolean ArrowsAtTopAndBottom() { return true; }
  virtual Boolean CanRemove() = 0;
  virtual void GetArrowsClientRect(TcxArrowPlace place, TRect& rect) = 0;
  virtual TcxDragAndDropArrowClass GetArrowClass();
  virtual void GetArrowAreaBounds(TRect& rect);
  // The customization list box the item was dragged from (a TcxCustomGridItemsListBox), or nil.
  virtual TWinControl* GetSourceListBox() = 0;
  virtual TcxDragImageClass GetDragImageClass();
  virtual void GetSourceItemBounds(TRect& rect);
  virtual TcxCustomGridCellViewInfo* GetSourceItemViewInfo() { return nullptr; }
  virtual void InitDragImage();
  // The source list box paints the item; the table views' list boxes do it.
  virtual void PaintSourceItemFromListBox(TcxCanvas* canvas, const TRect& rect, TObject* item) {}
  virtual Boolean IsSourceCustomizationForm() = 0;
  virtual Boolean AreArrowsVisible() = 0;

  // Place 1 and 3 (above and below) with ArrowsAtTopAndBottom, else 0 and 2.
  TcxArrowPlace ArrowPlace(Integer arrow);
  void ShowArrows(Boolean visible);
  TObject* GetSourceItem() const { return FSourceItem; }
  void SetSourceItem(TObject* value) { FSourceItem = value; }
  TcxDragImage* GetDragImage() const { return FDragImage; }
  TcxDragAndDropArrow* GetArrow(Integer index) const { return FArrows[index]; }

 private:
  void FreeFeedback();
  TcxDragImage* FDragImage = nullptr;
  TObject* FSourceItem = nullptr;
  TcxDragAndDropArrow* FArrows[2] = {nullptr, nullptr};
};

class TcxPageControl;
class TcxTabSheet;

// The view's customization form: a tool window above the grid's form with a page control whose
// pages hold the item lists of the table views.
class TcxCustomGridCustomizationForm : public TForm {
  ORV_CLASS(TcxCustomGridCustomizationForm, TForm)
 public:
  using TCreateSignature = void(TcxCustomGridController* controller);
  explicit TcxCustomGridCustomizationForm(TcxCustomGridController* controller);
  void BeforeDestruction() override;

  virtual void CalculateConsts();
  virtual void CreateControls();
  virtual void RefreshData() {}
  virtual void GetContentBounds(TRect& rect);
  virtual void GetPageControlBounds(TRect& rect) { GetContentBounds(rect); }
  virtual void InitPageControl() {}
  virtual void RefreshItemLists() {}

  TcxCustomGridController* GetController() const { return FController; }
  TcxCustomGridView* GridView() const;
  TcxPageControl* GetPageControl() const { return FPageControl; }
  Integer GetMargin() const { return FMargin; }
  TcxTimer* GetHookTimer() const { return FHookTimer; }
  TcxTabSheet* CreatePage(const AnsiString& caption, Boolean tabVisible);
  void ActivatePage(TcxTabSheet* page);

 protected:
  void CreateParams(TCreateParams& params) override;
  void DoShow() override;
  void DoClose(TCloseAction& action) override;

 private:
  void HookTimerHandler(TObject* sender);
  TcxCustomGridController* FController;
  TcxTimer* FHookTimer = nullptr;
  Integer FMargin = 0;
  TcxPageControl* FPageControl = nullptr;
};

using TcxCustomGridCustomizationFormClass = orv::ClassOf<TcxCustomGridCustomizationForm>;

// ==== Options and styles ======================================================================

// A group of view settings; each change goes to the view with its kind.
class TcxCustomGridOptions : public TcxInterfacedPersistent {
  ORV_CLASS(TcxCustomGridOptions, TcxInterfacedPersistent)
 public:
  using TCreateSignature = void(TcxCustomGridView* gridView);
  explicit TcxCustomGridOptions(TcxCustomGridView* gridView);
  ~TcxCustomGridOptions() override;
  void Assign(TPersistent* source) override;

  virtual void Changed(TcxGridViewChangeKind changeKind);
  virtual TcxCustomGridView* GetGridView() const { return FGridView; }
  virtual void Notification(TComponent* component, TOperation operation) {}
  TcxCustomLookAndFeelPainterClass LookAndFeelPainter() const;

 private:
  TcxCustomGridView* FGridView;
};

using TcxCustomGridOptionsClass = orv::ClassOf<TcxCustomGridOptions>;

// The view's own background bitmaps by index; an empty one falls back to its style's bitmap.
class TcxCustomGridBackgroundBitmaps : public TcxCustomGridOptions {
  ORV_CLASS(TcxCustomGridBackgroundBitmaps, TcxCustomGridOptions)
 public:
  explicit TcxCustomGridBackgroundBitmaps(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}
  ~TcxCustomGridBackgroundBitmaps() override;
  void Assign(TPersistent* source) override;

  virtual Integer GetBitmapStyleIndex(Integer index) { return index == 0 ? 0 : -1; }
  virtual TBitmap* GetStyleBitmap(Integer index);
  virtual TBitmap* GetBitmap(Integer index);
  // The own bitmap of the index, made on first use.
  TBitmap* GetValue(Integer index);
  void SetValue(Integer index, TBitmap* value);
  TBitmap* GetBackground() { return GetValue(0); }
  void SetBackground(TBitmap* value) { SetValue(0, value); }

 private:
  void BitmapChanged(TObject* sender);
  std::vector<TBitmap*> FBitmaps;
};

using TcxCustomGridBackgroundBitmapsClass = orv::ClassOf<TcxCustomGridBackgroundBitmaps>;

class TcxCustomGridOptionsBehavior : public TcxCustomGridOptions {
  ORV_CLASS(TcxCustomGridOptionsBehavior, TcxCustomGridOptions)
 public:
  explicit TcxCustomGridOptionsBehavior(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}
  void Assign(TPersistent* source) override;
  // A clone reads its pattern's value.
  Boolean GetPostponedSynchronization() const;
  // Stores without notifying.
  void SetPostponedSynchronization(Boolean value) { FPostponedSynchronization = value; }

 private:
  Boolean FPostponedSynchronization = true;
};

using TcxCustomGridOptionsBehaviorClass = orv::ClassOf<TcxCustomGridOptionsBehavior>;

class TcxCustomGridOptionsData : public TcxCustomGridOptions {
  ORV_CLASS(TcxCustomGridOptionsData, TcxCustomGridOptions)
 public:
  explicit TcxCustomGridOptionsData(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}
};

using TcxCustomGridOptionsDataClass = orv::ClassOf<TcxCustomGridOptionsData>;

class TcxCustomGridOptionsSelection : public TcxCustomGridOptions {
  ORV_CLASS(TcxCustomGridOptionsSelection, TcxCustomGridOptions)
 public:
  explicit TcxCustomGridOptionsSelection(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}
};

using TcxCustomGridOptionsSelectionClass = orv::ClassOf<TcxCustomGridOptionsSelection>;

class TcxCustomGridOptionsView : public TcxCustomGridOptions {
  ORV_CLASS(TcxCustomGridOptionsView, TcxCustomGridOptions)
 public:
  explicit TcxCustomGridOptionsView(TcxCustomGridView* gridView) : TcxCustomGridOptions(gridView) {}
  void Assign(TPersistent* source) override;
  // Kept on the view's site.
  TScrollStyle GetScrollBars() const;
  void SetScrollBars(TScrollStyle value);
};

using TcxCustomGridOptionsViewClass = orv::ClassOf<TcxCustomGridOptionsView>;

// The view's styles: default parameters start from the grid's font.
class TcxCustomGridStyles : public TcxStyles {
  ORV_CLASS(TcxCustomGridStyles, TcxStyles)
 public:
  explicit TcxCustomGridStyles(TPersistent* owner) : TcxStyles(owner) {}

  virtual void GetFakeComponentLinks(TList* list);
  virtual TcxCustomGridView* GetGridView() const = 0;
  TcxCustomLookAndFeelPainterClass LookAndFeelPainter() const;
  void GetDefaultViewParams(Integer index, TObject* data, TcxViewParams& params) {
    GetDefaultStyleParams(index, data, params);
  }

 protected:
  void StyleChanged(Integer index) override;
  void GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) override;
};

// Style indexes of the view styles.
inline constexpr Integer vsBackground = 0;

class TcxCustomGridViewStyles : public TcxCustomGridStyles {
  ORV_CLASS(TcxCustomGridViewStyles, TcxCustomGridStyles)
 public:
  explicit TcxCustomGridViewStyles(TPersistent* owner) : TcxCustomGridStyles(owner) {}
  void Assign(TPersistent* source) override;
  TcxCustomGridView* GetGridView() const override;
  TcxStyle* GetBackground() const { return GetStyleValue(vsBackground); }
  void SetBackground(TcxStyle* value) { SetStyleValue(vsBackground, value); }

 protected:
  void GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) override;
};

using TcxCustomGridViewStylesClass = orv::ClassOf<TcxCustomGridViewStyles>;

// ==== The view ================================================================================

using TcxGridViewGetStoredPropertiesEvent = orv::Event<void(TcxCustomGridView* sender, TStrings* properties)>;
using TcxGridViewGetStoredPropertyValueEvent =
    orv::Event<void(TcxCustomGridView* sender, const AnsiString& name, Variant& value)>;
using TcxGridViewSetStoredPropertyValueEvent =
    orv::Event<void(TcxCustomGridView* sender, const AnsiString& name, const Variant& value)>;
using TcxGridInitStoredObjectEvent = orv::Event<void(TcxCustomGridView* sender, TObject* object)>;

using TcxCustomDataControllerClass = orv::ClassOf<TcxCustomDataController>;

// The abstract base of every grid view.
class TcxCustomGridView : public TcxControlChildComponent,
                          public IcxStoredObject,
                          public IcxStoredParent,
                          public IcxGridViewLayoutEditorSupport {
  ORV_CLASS(TcxCustomGridView, TcxControlChildComponent)
 public:
  explicit TcxCustomGridView(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomGridView() override;

  void Assign(TPersistent* source) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override;
  void SetParentComponent(TComponent* value) override;
  void Updating() override;
  void Updated() override;
  Boolean IsDestroying() const override;
  void SetControl(TcxControl* value) override;

  // ---- Handlers and options ----
  TcxCustomGrid* GetControlGrid() const;
  TcxCustomGridController* GetController() const { return FController; }
  TcxCustomDataController* GetDataController() const { return FDataController; }
  TcxCustomGridPainter* GetPainter() const { return FPainter; }
  TcxCustomGridViewData* GetViewData() const { return FViewData; }
  TcxCustomGridViewInfo* GetViewInfo() const { return FViewInfo; }
  TcxCustomGridViewInfoCache* GetViewInfoCache() const { return FViewInfoCache; }
  TcxCustomGridBackgroundBitmaps* GetBackgroundBitmaps() const { return FBackgroundBitmaps; }
  void SetBackgroundBitmaps(TcxCustomGridBackgroundBitmaps* value) { FBackgroundBitmaps->Assign(value); }
  TcxCustomGridOptionsBehavior* GetOptionsBehavior() const { return FOptionsBehavior; }
  void SetOptionsBehavior(TcxCustomGridOptionsBehavior* value) { FOptionsBehavior->Assign(value); }
  TcxCustomGridOptionsData* GetOptionsData() const { return FOptionsData; }
  void SetOptionsData(TcxCustomGridOptionsData* value) { FOptionsData->Assign(value); }
  TcxCustomGridOptionsSelection* GetOptionsSelection() const { return FOptionsSelection; }
  void SetOptionsSelection(TcxCustomGridOptionsSelection* value) { FOptionsSelection->Assign(value); }
  TcxCustomGridOptionsView* GetOptionsView() const { return FOptionsView; }
  void SetOptionsView(TcxCustomGridOptionsView* value) { FOptionsView->Assign(value); }
  TcxCustomGridStyles* GetStyles() const { return FStyles; }
  void SetStyles(TcxCustomGridStyles* value) { FStyles->Assign(value); }
  Integer GetOptionsCount() const { return Integer(FOptionsList.size()); }
  TcxCustomGridOptions* GetOptions(Integer index) const { return FOptionsList[std::size_t(index)]; }
  TcxGridSite* GetSite() const;
  TcxLookAndFeel* LookAndFeel() const;
  TcxCustomLookAndFeelPainterClass LookAndFeelPainter() const;
  TComponent* GetLevel() const { return FLevel; }
  TComponent* GetRepository() const { return FRepository; }
  TcxControl* GetStorageControl() const { return FStorageControl; }

  // ---- Published values ----
  TDragMode GetDragMode() const;
  void SetDragMode(TDragMode value);
  TComponent* GetPopupMenu() const;
  void SetPopupMenu(TComponent* value);
  Boolean GetSynchronization() const;
  void SetSynchronization(Boolean value);
  const TNotifyEvent& GetDataControllerEvents() const { return FSubClassEvents; }
  void SetDataControllerEvents(const TNotifyEvent& value) { FSubClassEvents = value; }
  const TNotifyEvent& GetStylesEvents() const { return FSubClassEvents; }
  void SetStylesEvents(const TNotifyEvent& value) { FSubClassEvents = value; }
  const TNotifyEvent& GetOnCustomization() const { return FOnCustomization; }
  void SetOnCustomization(const TNotifyEvent& value);
  const TcxGridViewGetStoredPropertiesEvent& GetOnGetStoredProperties() const { return FOnGetStoredProperties; }
  void SetOnGetStoredProperties(const TcxGridViewGetStoredPropertiesEvent& value);
  const TcxGridViewGetStoredPropertyValueEvent& GetOnGetStoredPropertyValue() const { return FOnGetStoredPropertyValue; }
  void SetOnGetStoredPropertyValue(const TcxGridViewGetStoredPropertyValueEvent& value);
  const TcxGridInitStoredObjectEvent& GetOnInitStoredObject() const { return FOnInitStoredObject; }
  void SetOnInitStoredObject(const TcxGridInitStoredObjectEvent& value);
  const TcxGridViewSetStoredPropertyValueEvent& GetOnSetStoredPropertyValue() const { return FOnSetStoredPropertyValue; }
  void SetOnSetStoredPropertyValue(const TcxGridViewSetStoredPropertyValueEvent& value);
  // The site's events.
  TNotifyEvent GetOnDblClick() const;
  void SetOnDblClick(const TNotifyEvent& value);
  TDragDropEvent GetOnDragDrop() const;
  void SetOnDragDrop(const TDragDropEvent& value);
  TDragOverEvent GetOnDragOver() const;
  void SetOnDragOver(const TDragOverEvent& value);
  TEndDragEvent GetOnEndDrag() const;
  void SetOnEndDrag(const TEndDragEvent& value);
  TKeyEvent GetOnKeyDown() const;
  void SetOnKeyDown(const TKeyEvent& value);
  TKeyPressEvent GetOnKeyPress() const;
  void SetOnKeyPress(const TKeyPressEvent& value);
  TKeyEvent GetOnKeyUp() const;
  void SetOnKeyUp(const TKeyEvent& value);
  TMouseEvent GetOnMouseDown() const;
  void SetOnMouseDown(const TMouseEvent& value);
  TNotifyEvent GetOnMouseEnter() const;
  void SetOnMouseEnter(const TNotifyEvent& value);
  TNotifyEvent GetOnMouseLeave() const;
  void SetOnMouseLeave(const TNotifyEvent& value);
  TMouseMoveEvent GetOnMouseMove() const;
  void SetOnMouseMove(const TMouseMoveEvent& value);
  TMouseEvent GetOnMouseUp() const;
  void SetOnMouseUp(const TMouseEvent& value);
  TMouseWheelEvent GetOnMouseWheel() const;
  void SetOnMouseWheel(const TMouseWheelEvent& value);
  TMouseWheelUpDownEvent GetOnMouseWheelDown() const;
  void SetOnMouseWheelDown(const TMouseWheelUpDownEvent& value);
  TMouseWheelUpDownEvent GetOnMouseWheelUp() const;
  void SetOnMouseWheelUp(const TMouseWheelUpDownEvent& value);
  TStartDragEvent GetOnStartDrag() const;
  void SetOnStartDrag(const TStartDragEvent& value);

  // ---- Update lock and changes ----
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  Boolean IsUpdateLocked() const { return FUpdateLockCount > 0; }
  Integer GetUpdateLockCount() const { return FUpdateLockCount; }
  void Changed(TcxGridViewChangeKind changeKind);
  // Takes ownership; false when the view could not take the change (it is then freed).
  Boolean AddChange(TcxCustomGridViewChange* change);
  void LayoutChanged(Boolean viewOnly = true);
  void SizeChanged(Boolean viewOnly = false, Boolean partialReset = false);
  void ViewChanged();
  void ViewChanged(const TRect& rect);
  void ViewChanged(TcxRegion* region);
  void RefreshAll(Boolean layout);
  void RefreshCustomization();
  void RefreshCustomizationForm();

  // ---- Master and detail ----
  Boolean IsPattern();
  Boolean IsDetail();
  TcxCustomGridView* MasterGridView();
  Integer MasterRecordIndex();
  Integer MasterGridRecordIndex();
  Boolean HasAsMaster(TcxCustomGridView* view);
  TcxCustomGridView* PatternGridView();
  TcxCustomGridView* GetPattern() const { return FPatternGridView; }
  void AddClone(TcxCustomGridView* view);
  void RemoveClone(TcxCustomGridView* view);
  Integer CloneCount() const { return Integer(FClones.size()); }
  TcxCustomGridView* GetClone(Integer index) const { return FClones[std::size_t(index)]; }
  Boolean IsSynchronizationActive();
  void SynchronizeClones(Boolean postpone);
  void SynchronizeWith(TcxCustomGridView* source);
  void CheckSynchronizationAssignNeeded();
  Boolean IsSynchronizationAssignNeeded() const { return FSynchronizationAssignNeeded; }
  Boolean IsAssigningPattern() const { return FAssigningPattern; }

  // ---- Focus ----
  Boolean GetIsFocused();
  void SetFocused(Boolean value);
  Boolean IsControlFocused();

  // ---- Guards ----
  TcxGridListenerLink* AddListenerLink();
  void RemoveListenerLink(TcxGridListenerLink* link);

  // ---- Layout storage (interfaces) ----
  AnsiString GetObjectName() override;
  Boolean GetProperties(TStrings* properties) override { return GetStoredProperties(properties); }
  void GetPropertyValue(const AnsiString& name, Variant& value) override { GetStoredPropertyValue(name, value); }
  void SetPropertyValue(const AnsiString& name, const Variant& value) override { SetStoredPropertyValue(name, value); }
  TObject* CreateChild(const AnsiString& objectName, const AnsiString& className) override {
    return CreateStoredChild(objectName, className);
  }
  void DeleteChild(const AnsiString& objectName, TObject* object) override { DeleteStoredObject(object); }
  void GetChildren(TStringList* children) override { GetStoredChildren(children); }
  using TcxControlChildComponent::GetChildren;
  TObject* CreateStoredChild(const AnsiString& objectName, const AnsiString& className);
  void AssignLayoutInUpdate(TcxCustomGridView* layoutView) override;
  Integer GetStoredVersion() const { return FStoredVersion; }
  const AnsiString& GetStoringName() const { return FStoringName; }
  void SetStoringName(const AnsiString& value) { FStoringName = value; }

  // ---- New virtual operations ----
  virtual void GetStoredObjectName(AnsiString& name);
  virtual Boolean GetStoredProperties(TStrings* properties);
  virtual void GetStoredPropertyValue(const AnsiString& name, Variant& value);
  virtual void SetStoredPropertyValue(const AnsiString& name, const Variant& value);
  virtual TObject* CreateStoredObject(const AnsiString& objectName, const AnsiString& className) { return nullptr; }
  virtual void DeleteStoredObject(TObject* object);
  virtual void GetStoredChildren(TStringList* children) {}
  virtual void AssignLayout(TcxCustomGridView* layoutView) {}
  void PrepareLayoutView(TcxCustomGridView* layoutView) override {}
  AnsiString GetLayoutCustomizationCaption() override { return AnsiString(); }
  Boolean HasLayoutCustomization() override { return false; }
  Boolean CanChangeLayout() override { return true; }
  void RunLayoutCustomization() override;
  virtual void CreateHandlers();
  virtual void DestroyHandlers();
  virtual void InitDataController();
  virtual void CreateOptions();
  virtual void DestroyOptions();
  virtual void BeforeAssign(TcxCustomGridView* source);
  virtual void DoAssign(TcxCustomGridView* source);
  virtual void AssignPattern(TcxCustomGridView* source) { Assign(source); }
  virtual void AfterAssign(TcxCustomGridView* source);
  virtual void BeforeRestoring() {}
  virtual void AfterRestoring() { RestoringFinished(); }
  virtual Boolean CanFocus() { return IsVisibleAtLevel(true); }
  virtual Boolean CanBeTabStop();
  virtual void DetailDataChanged(TcxCustomGridView* detail) {}
  virtual void DataControllerNotification(TComponent* childLevel, Integer oldVisibleCount, Integer newVisibleCount) {}
  virtual void DoChanged(TcxGridViewChangeKind changeKind) { RefreshCustomization(); }
  virtual Boolean CanCalculate();
  virtual Boolean IsVisibleAtLevel(Boolean levelVisible);
  virtual Boolean HasFocusedControls();
  virtual Boolean SizeDependsOnWidth() { return false; }
  virtual Boolean IsVisible();
  virtual void AfterAssignOrLoad() {}
  virtual Boolean IsDetailVisible(TcxCustomGridView* detail) { return false; }
  virtual void FocusedChanged(Boolean focused);
  virtual void BeforeLoaded() { SizeChanged(false, false); }
  virtual void LookAndFeelChanged();
  virtual void RestoringFinished() {}
  virtual void SetLevel(TComponent* value);
  virtual void SetSiteTabStop(Boolean value);
  virtual void UpdateControl(TcxUpdateControlInfo* info);
  virtual void RunPostponedWork();
  virtual TcxCustomGridControllerClass GetControllerClass() = 0;
  virtual TcxCustomDataControllerClass GetDataControllerClass() = 0;
  virtual TcxCustomGridPainterClass GetPainterClass() = 0;
  virtual TcxCustomGridViewDataClass GetViewDataClass() = 0;
  virtual TcxCustomGridViewInfoCacheClass GetViewInfoCacheClass() { return nullptr; }
  virtual TcxCustomGridViewInfoClass GetViewInfoClass() = 0;
  virtual TcxCustomGridBackgroundBitmapsClass GetBackgroundBitmapsClass();
  virtual TcxCustomGridOptionsBehaviorClass GetOptionsBehaviorClass();
  virtual TcxCustomGridOptionsDataClass GetOptionsDataClass();
  virtual TcxCustomGridOptionsSelectionClass GetOptionsSelectionClass();
  virtual TcxCustomGridOptionsViewClass GetOptionsViewClass();
  virtual TcxCustomGridViewStylesClass GetStylesClass();
  virtual void DoCustomization();
  virtual void DoInitStoredObject(TObject* object);
  virtual void ResetItemsFromStorage() {}
  virtual void BoundsChanged(Boolean viewOnly, Boolean partialReset);

  // The constructor of clones: owned by the grid's owner, attached to the grid, never written
  // to a form.
  static TcxCustomGridView* CreateTransient(orv::ClassOf<TcxCustomGridView> viewClass, TcxCustomGrid* grid);
  Boolean IsTransient() const { return FTransient; }

 protected:
  void Initialize() override;
  // The grid and the options list reach these.
  friend class TcxCustomGridOptions;
  friend class TcxGridListenerLink;
  void AddOptions(TcxCustomGridOptions* options) { FOptionsList.push_back(options); }
  void RemoveOptions(TcxCustomGridOptions* options);

 private:
  template <class TEvent, class TGetter, class TSetter>
  void SetSiteEvent(const TEvent& value, TGetter getter, TSetter setter);

  Boolean FAssigningPattern = false;
  TcxCustomGridBackgroundBitmaps* FBackgroundBitmaps = nullptr;
  std::vector<TcxCustomGridView*> FClones;
  TcxCustomGridController* FController = nullptr;
  Boolean FCustomizationRefreshPending = false;
  Boolean FCustomizationFormRefreshPending = false;
  Boolean FIsSynchronizing = false;
  TComponent* FLevel = nullptr;
  std::vector<TcxGridListenerLink*> FListenerLinks;
  std::vector<TcxCustomGridOptions*> FOptionsList;
  TcxCustomGridOptionsBehavior* FOptionsBehavior = nullptr;
  TcxCustomGridOptionsData* FOptionsData = nullptr;
  TcxCustomGridOptionsSelection* FOptionsSelection = nullptr;
  TcxCustomGridOptionsView* FOptionsView = nullptr;
  TcxCustomGridPainter* FPainter = nullptr;
  TcxCustomGridView* FPatternGridView = nullptr;
  TComponent* FRepository = nullptr;
  TcxControl* FStorageControl = nullptr;
  Byte FStorageOptions = 0;
  Integer FStoredVersion = 0;
  AnsiString FStoringName;
  TcxCustomGridStyles* FStyles = nullptr;
  Boolean FSynchronization = true;
  Boolean FSynchronizationAssignNeeded = false;
  Boolean FSynchronizationNeeded = false;
  Integer FUpdateLockCount = 0;
  TcxCustomGridViewData* FViewData = nullptr;
  TcxCustomGridViewInfo* FViewInfo = nullptr;
  TcxCustomGridViewInfoCache* FViewInfoCache = nullptr;
  TNotifyEvent FOnCustomization;
  TcxGridViewGetStoredPropertiesEvent FOnGetStoredProperties;
  TcxGridViewGetStoredPropertyValueEvent FOnGetStoredPropertyValue;
  TcxGridInitStoredObjectEvent FOnInitStoredObject;
  TcxGridViewSetStoredPropertyValueEvent FOnSetStoredPropertyValue;
  TcxCustomDataController* FDataController = nullptr;
  TNotifyEvent FSubClassEvents;
  Boolean FTransient = false;
};

using TcxCustomGridViewClass = orv::ClassOf<TcxCustomGridView>;

// ==== The registry of view kinds ==============================================================

// Views whose description begins with "DB" come after the others.
class TcxGridRegisteredViews : public TcxRegisteredClasses {
  ORV_CLASS(TcxGridRegisteredViews, TcxRegisteredClasses)
 public:
  explicit TcxGridRegisteredViews(Boolean registerClasses = false) : TcxRegisteredClasses(registerClasses) {}

 protected:
  Integer CompareDescriptions(Integer index1, Integer index2) const override;
};

// The program's registry (registered for streaming, sorted).
TcxGridRegisteredViews* cxGridRegisteredViews();

// ==== Drop-down window of the cells ===========================================================

// The drop-down window a cell opens (filter button, recently used filters, quick customization).
class TcxCustomGridPopup : public TcxCustomPopupWindow {
  ORV_CLASS(TcxCustomGridPopup, TcxCustomPopupWindow)
 public:
  using TCreateSignature = void(TcxCustomGridView* gridView);
  explicit TcxCustomGridPopup(TcxCustomGridView* gridView);

  virtual void GetOwnerBounds(TRect& rect);
  virtual Integer GetMinWidth();
  void Popup(TWinControl* focusedControl) override;
  // Opens with the first focusable child as the control to focus.
  virtual void Popup();
  void InitPopupFont() override;

  TcxCustomGridView* GetGridView() const { return FGridView; }
  IcxCustomGridPopupOwner* GetPopupOwner() const { return FOwner; }
  // On a change: a visible popup whose old owner closes popups on destruction closes when the
  // new owner is nil.
  void SetPopupOwner(IcxCustomGridPopupOwner* value);

 protected:
  void Paint() override;
  void VisibleChanged() override;

 private:
  TcxCustomGridView* FGridView;
  IcxCustomGridPopupOwner* FOwner = nullptr;
};

using TcxCustomGridPopupClass = orv::ClassOf<TcxCustomGridPopup>;
