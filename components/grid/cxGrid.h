// The grid control: its level tree and views, the update lock and the queue of deferred changes,
// the focused view and the active level, notification listeners, drag opening of level tabs, and
// the grid-level controller, painter and view info.
//
// Changes that need a relayout or a repaint are small objects handed to AddChange: they run at
// once while the grid is unlocked; between BeginUpdate and the last EndUpdate they wait in a
// queue that the last EndUpdate compacts (duplicates and covered changes dropped) and runs in
// order.
#pragma once

#include <vector>

#include "components/editors-more/cxNavigator.h"
#include "components/foundation/cxControls.h"
#include "components/grid/cxGridCommon.h"
#include "components/grid/cxGridCustomView.h"
#include "components/grid/cxGridDetailsSite.h"
#include "components/grid/cxGridLevel.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/controls/ImgList.h"

class TcxCustomGrid;
class TcxGridController;
class TcxGridPainter;
class TcxGridViewInfo;

using TcxGridActiveTabChangedEvent = orv::Event<void(TcxCustomGrid* sender, TcxGridLevel* level)>;
using TcxGridFocusedViewChangedEvent =
    orv::Event<void(TcxCustomGrid* sender, TcxCustomGridView* prevFocusedView, TcxCustomGridView* focusedView)>;
using TcxGridLayoutChangedEvent = orv::Event<void(TcxCustomGrid* sender, TcxCustomGridView* gridView)>;

// Notification kinds of the grid's listeners. The data of gnkContextMenu is 1 (as a pointer) when
// the menu was called from the keyboard, else nil; the data of gnkKeyDown is the TMessage of the
// key (a listener that sets handled, or the message's Result, consumes it).
enum TcxGridNotificationKind : Integer {
  gnkFocusedViewChanged = 0,
  gnkFocusedRecordChanged = 1,
  gnkRecordCountChanged = 2,
  gnkContextMenu = 3,
  gnkCustomization = 4,
  gnkKeyDown = 5,
  gnkReserved6 = 6,
  gnkReserved7 = 7,
};
using TcxGridNotificationKinds = orv::Set<TcxGridNotificationKind>;

// A listener of the grid's notifications.
class IcxGridNotificationHandler : public virtual IInterface {
 public:
  virtual TcxGridNotificationKinds NotificationKinds() = 0;
  virtual void Notify(TcxGridNotificationKind kind, TObject* data, Boolean& handled) = 0;
};

// The tab control settings of the details sites.
class TcxGridLevelTabs : public TPersistent {
  ORV_CLASS(TcxGridLevelTabs, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomGrid* grid);
  explicit TcxGridLevelTabs(TcxCustomGrid* grid);
  ~TcxGridLevelTabs() override;
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  TcxCustomGrid* GetGrid() const { return FGrid; }
  TAlignment GetCaptionAlignment() const { return FCaptionAlignment; }
  void SetCaptionAlignment(TAlignment value);
  Integer GetImageBorder() const { return FImageBorder; }
  void SetImageBorder(Integer value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TcxTabSlants* GetSlants() const { return FSlants; }
  void SetSlants(TcxTabSlants* value) { FSlants->Assign(value); }
  TcxPCStyleID GetStyle() const { return FStyle; }
  void SetStyle(TcxPCStyleID value);
  // The images list went away.
  void ImagesFreed();

 private:
  void Changed();
  void ImagesChanged(TObject* sender);
  void SlantsChanged(TObject* sender);

  TcxCustomGrid* FGrid;
  TAlignment FCaptionAlignment = taCenter;
  Integer FImageBorder = 0;
  TCustomImageList* FImages = nullptr;
  TChangeLink* FImagesChangeLink;
  TcxTabSlants* FSlants;
  TcxPCStyleID FStyle = 0;
};

using TcxGridLevelTabsClass = orv::ClassOf<TcxGridLevelTabs>;

// ---- Grid-level handlers ------------------------------------------------------------------------

class TcxCustomGridHandler : public TObject {
  ORV_CLASS(TcxCustomGridHandler, TObject)
 public:
  using TCreateSignature = void(TcxCustomGrid* control);
  explicit TcxCustomGridHandler(TcxCustomGrid* control) : FControl(control) {}
  TcxCustomGrid* GetControl() const { return FControl; }
  TcxCustomGridView* GetFocusedView() const;
  TcxCustomGridController* GetFocusedController() const;
  TcxGridViewInfo* GetViewInfo() const;

 private:
  TcxCustomGrid* FControl;
};

// Something a drag over the grid opens after a wait (a level tab).
class TcxCustomGridDragOpenInfo : public TObject {
  ORV_CLASS(TcxCustomGridDragOpenInfo, TObject)
 public:
  TcxCustomGridDragOpenInfo() = default;
  virtual Boolean IsSameTarget(TcxCustomGridDragOpenInfo* info) { return info->ClassType() == ClassType(); }
  virtual void Open() = 0;
};

class TcxGridDragOpenInfoTab : public TcxCustomGridDragOpenInfo {
  ORV_CLASS(TcxGridDragOpenInfoTab, TcxCustomGridDragOpenInfo)
 public:
  explicit TcxGridDragOpenInfoTab(TcxGridLevel* level) : FLevel(level) {}
  Boolean IsSameTarget(TcxCustomGridDragOpenInfo* info) override;
  void Open() override;
  TcxGridLevel* GetLevel() const { return FLevel; }

 private:
  TcxGridLevel* FLevel;
};

// A level tab of a details site; Owner is the details site's view info that made it.
class TcxGridDetailsSiteTabHitTest : public TcxCustomGridHitTest {
  ORV_CLASS(TcxGridDetailsSiteTabHitTest, TcxCustomGridHitTest)
 public:
  TcxGridDetailsSiteTabHitTest() = default;
  Integer GetHitTestCode() const override { return htTab; }
  TcxGridLevel* GetLevel() const { return FLevel; }
  void SetLevel(TcxGridLevel* value) { FLevel = value; }
  TObject* GetOwner() const { return FOwner; }
  void SetOwner(TObject* value) { FOwner = value; }

 private:
  TcxGridLevel* FLevel = nullptr;
  TObject* FOwner = nullptr;
};

class TcxGridController : public TcxCustomGridHandler {
  ORV_CLASS(TcxGridController, TcxCustomGridHandler)
 public:
  explicit TcxGridController(TcxCustomGrid* control) : TcxCustomGridHandler(control) {}
  ~TcxGridController() override;

  // A drag over the grid at the client point (`leaving` for the leave notification).
  void DragOver(TObject* source, const TPoint& p, Boolean leaving);
  // Opens `info` (taken over; nil stops) once a drag has rested on it for DragOpeningWaitTime;
  // the same target again keeps the wait running. Views hand their targets in here.
  void DragOpen(TcxCustomGridDragOpenInfo* info);
  void EndDrag();
  // The target under the point that a drag opens, or nil (owned by the caller).
  virtual TcxCustomGridDragOpenInfo* GetDragOpenInfo(const TPoint& p);
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y);
  void MouseMove(TShiftState shift, Integer x, Integer y);
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y);
  TcxCustomGridDragOpenInfo* GetDragOpenInfoValue() const { return FDragOpenInfo; }
  TcxTimer* GetDragOpenTimer() const { return FDragOpenTimer; }
  void StopDragOpen();

 private:
  void DragOpenTimerHandler(TObject* sender);
  TcxCustomGridDragOpenInfo* FDragOpenInfo = nullptr;
  TcxTimer* FDragOpenTimer = nullptr;
};

using TcxGridControllerClass = orv::ClassOf<TcxGridController>;

class TcxGridPainter : public TcxCustomGridHandler {
  ORV_CLASS(TcxGridPainter, TcxCustomGridHandler)
 public:
  explicit TcxGridPainter(TcxCustomGrid* control) : TcxCustomGridHandler(control) {}
  virtual void Paint();
  // Full: the layout is computed again and every site window is invalidated too.
  void Invalidate(Boolean invalidateDetails);
  void Invalidate(const TRect& rect);
  // The grid window and every site window among its children, without a relayout.
  void InvalidateWindows();
};

using TcxGridPainterClass = orv::ClassOf<TcxGridPainter>;

// The details site of the root level: the top levels' tabs and the frame around the active view.
// It always takes the grid's whole client area.
class TcxGridTopDetailsSiteViewInfo : public TcxCustomGridDetailsSiteViewInfo {
  ORV_CLASS(TcxGridTopDetailsSiteViewInfo, TcxCustomGridDetailsSiteViewInfo)
 public:
  using TCreateSignature = void(TcxCustomGrid* control);
  explicit TcxGridTopDetailsSiteViewInfo(TcxCustomGrid* control);
  TcxCustomGrid* GetControl() const { return FControl; }

  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  TcxCanvas* GetCanvas() override;
  TcxControl* GetContainer() override;
  TcxCustomGridDesignController* GetDesignController() override { return nullptr; }
  TcxCustomGridRecord* GetMasterRecord() override { return nullptr; }
  Integer GetMaxHeight() override;
  Integer GetMaxWidth() override;
  TcxCustomGridView* FindActiveGridView() override;
  TcxGridLevel* GetActiveLevel() override;
  void InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) override;
  void ActiveLevelChanged(TcxGridLevel* level, Boolean focusView) override;
  Boolean HasData(TcxGridLevel* level) override;
  Boolean SupportsTabAccelerators() override { return true; }

 private:
  TcxCustomGrid* FControl;
};

using TcxGridTopDetailsSiteViewInfoClass = orv::ClassOf<TcxGridTopDetailsSiteViewInfo>;

class TcxGridViewInfo : public TcxCustomGridHandler {
  ORV_CLASS(TcxGridViewInfo, TcxCustomGridHandler)
 public:
  explicit TcxGridViewInfo(TcxCustomGrid* control) : TcxCustomGridHandler(control) {}
  void BeforeDestruction() override;
  // Makes the top details site again (restoring its kept state) and places it in the client area.
  virtual void Calculate();
  virtual TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  virtual TcxGridTopDetailsSiteViewInfoClass GetDetailsSiteViewInfoClass();
  Boolean IsCalculating() const { return FIsCalculating; }
  void SetIsCalculating(Boolean value) { FIsCalculating = value; }
  TRect GetClientBounds();
  TcxGridTopDetailsSiteViewInfo* GetDetailsSiteViewInfo() const { return FDetailsSiteViewInfo; }

 private:
  void DestroyDetailsSiteViewInfo();

  Boolean FIsCalculating = false;
  TcxGridTopDetailsSiteViewInfo* FDetailsSiteViewInfo = nullptr;
  TcxCustomGridDetailsSiteViewInfoCachedInfo* FDetailsSiteCachedInfo = nullptr;
};

using TcxGridViewInfoClass = orv::ClassOf<TcxGridViewInfo>;

// ---- The grid -----------------------------------------------------------------------------------

class TcxCustomGrid : public TcxControl, public IcxNavigator {
  ORV_CLASS(TcxCustomGrid, TcxControl)
 public:
  // The handlers, level tabs and root level come from the factories of this class (a descendant
  // answering other classes makes them again in its own constructor).
  explicit TcxCustomGrid(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomGrid() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  void SetName(const AnsiString& newName) override;
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, Integer order) override;
  void Dispatch(TMessage& message) override;

  // ---- Update lock and queue ----
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  Integer GetUpdateLockCount() const { return FUpdateLockCount; }
  Boolean IsUpdateLocked() const { return FUpdateLockCount > 0; }
  // Takes ownership.
  void AddChange(TcxCustomGridChange* change);
  Integer GetChangeCount() const { return Integer(FChanges.size()); }
  TcxCustomGridChange* GetChange(Integer index) const { return FChanges[std::size_t(index)]; }

  // ---- Views and levels ----
  TcxGridRootLevel* GetRootLevel() const { return FRootLevel; }
  TcxGridLevel* GetActiveLevel() const { return FActiveLevel; }
  void SetActiveLevel(TcxGridLevel* value);
  TcxCustomGridView* ActiveView() const;
  TcxCustomGridView* GetFocusedView() const { return FFocusedView; }
  // The navigators that show the grid: refreshed whenever the focused view changes.
  TcxNavigatorControlNotifier* GetNavigatorNotifier() const { return FNavigatorNotifier; }
  // IcxNavigator: forwarded to the focused view when it is navigable; without one queries answer
  // False and commands do nothing.
  Boolean CanAppend() override;
  Boolean CanDelete() override;
  Boolean CanEdit() override;
  Boolean CanInsert() override;
  Boolean IsActive() override;
  Boolean IsBof() override;
  Boolean IsBookmarkAvailable() override;
  Boolean IsEditing() override;
  Boolean IsEof() override;
  void ClearBookmark() override;
  void DoAction(Integer buttonIndex) override;
  void SetFocusedView(TcxCustomGridView* value);
  void CheckFocusedView();
  Integer GetViewCount() const { return Integer(FViews.size()); }
  TcxCustomGridView* GetView(Integer index) const { return FViews[std::size_t(index)]; }
  // A new view of the class, owned by the grid's owner.
  TcxCustomGridView* CreateView(TcxCustomGridViewClass viewClass);
  // A new top level (owned by the grid's owner).
  TcxGridLevel* AddLevel() { return FRootLevel->Add(); }
  void RegisterView(TcxCustomGridView* view);
  void UnregisterView(TcxCustomGridView* view);
  void RemoveChildComponent(TcxControlChildComponent* component) override;

  // ---- Published ----
  Boolean GetDragOpening() const { return FDragOpening; }
  void SetDragOpening(Boolean value) { FDragOpening = value; }
  Integer GetDragOpeningWaitTime() const { return FDragOpeningWaitTime; }
  // A negative value is stored as 0.
  void SetDragOpeningWaitTime(Integer value);
  TcxGridLevelTabs* GetLevelTabs() const { return FLevelTabs; }
  void SetLevelTabs(TcxGridLevelTabs* value) { FLevelTabs->Assign(value); }
  Boolean GetTabStopValue() const { return FTabStop; }
  void SetTabStopValue(Boolean value);
  TcxGridLevelOptions* GetRootLevelOptions() const { return FRootLevel->GetOptions(); }
  // Assigning does nothing: the streamed sub-properties go into the root level's object.
  void SetRootLevelOptions(TcxGridLevelOptions* value) {}
  TcxGridLevelStyles* GetRootLevelStyles() const { return FRootLevel->GetStyles(); }
  void SetRootLevelStyles(TcxGridLevelStyles* value) {}
  const TNotifyEvent& GetRootLevelStylesEvents() const { return FRootLevelStylesEvents; }
  void SetRootLevelStylesEvents(const TNotifyEvent& value) { FRootLevelStylesEvents = value; }
  const TcxGridActiveTabChangedEvent& GetOnActiveTabChanged() const { return FOnActiveTabChanged; }
  void SetOnActiveTabChanged(const TcxGridActiveTabChangedEvent& value) { FOnActiveTabChanged = value; }
  const TcxGridFocusedViewChangedEvent& GetOnFocusedViewChanged() const { return FOnFocusedViewChanged; }
  void SetOnFocusedViewChanged(const TcxGridFocusedViewChangedEvent& value) { FOnFocusedViewChanged = value; }
  const TcxGridLayoutChangedEvent& GetOnLayoutChanged() const { return FOnLayoutChanged; }
  void SetOnLayoutChanged(const TcxGridLayoutChangedEvent& value) { FOnLayoutChanged = value; }

  // ---- Handlers ----
  TcxGridController* GetController() const { return FController; }
  TcxGridPainter* GetPainterObject() const { return FPainter; }
  TcxGridViewInfo* GetViewInfo() const { return FViewInfo; }

  // ---- Listeners ----
  void AddListener(IcxGridNotificationHandler* listener);
  void RemoveListener(IcxGridNotificationHandler* listener);
  Boolean NotifyListeners(TcxGridNotificationKind kind, TObject* data);

  // ---- Focus ----
  Boolean IsFocused() override;
  Boolean MayFocus() override { return false; }
  void SiteFocusChanged(Boolean focused);
  Boolean GetSiteFocused() const { return FSiteFocused; }
  void FocusNextControl(Boolean goForward);

  // ---- New virtual operations ----
  virtual void CreateHandlers();
  virtual void DestroyHandlers();
  virtual void ActiveTabChanged(TcxGridLevel* level);
  virtual void DoLayoutChanged(TcxCustomGridView* gridView);
  virtual void FocusedViewChanged(TcxCustomGridView* prevFocusedView, TcxCustomGridView* focusedView);
  virtual TcxGridControllerClass GetControllerClass();
  virtual TcxGridRootLevelClass GetRootLevelClass();
  virtual TcxGridLevelTabsClass GetLevelTabsClass();
  virtual TcxGridPainterClass GetPainterClass();
  virtual TcxGridViewInfoClass GetViewInfoClass();
  virtual Boolean TabsDependOnData();
  virtual void LayoutChanged();
  virtual void SizeChanged();
  virtual void ViewDataChanged(TcxCustomGridView* view);

  void TranslationChanged() override { SizeChanged(); }

 protected:
  void Paint() override;
  void BoundsChanged() override;
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void CancelMouseOperation() override;
  void DoContextPopup(TPoint mousePos, bool& handled) override;
  void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  void DoEndDrag(TObject* target, Integer x, Integer y) override;
  Boolean GetDesignHitTest(Integer x, Integer y, TShiftState shift) override;

  void ProcessChanges();
  void RunChange(TcxCustomGridChange* change);

 private:
  TcxCustomGridView* ChooseSubstituteView(TcxCustomGridView* previous);

  TcxGridLevel* FActiveLevel = nullptr;
  std::vector<TcxCustomGridChange*> FChanges;
  TcxGridController* FController = nullptr;
  Boolean FDragOpening = true;
  Integer FDragOpeningWaitTime = 800;
  TcxCustomGridView* FFocusedView = nullptr;
  TcxNavigatorControlNotifier* FNavigatorNotifier = nullptr;
  TcxGridRootLevel* FRootLevel = nullptr;
  TcxGridLevelTabs* FLevelTabs = nullptr;
  std::vector<IcxGridNotificationHandler*> FListeners;
  TcxGridPainter* FPainter = nullptr;
  Boolean FTabStop = true;
  Integer FUpdateLockCount = 0;
  TcxGridViewInfo* FViewInfo = nullptr;
  std::vector<TcxCustomGridView*> FViews;
  Boolean FSiteFocused = false;
  Boolean FProcessingChanges = false;
  TNotifyEvent FRootLevelStylesEvents;
  TcxGridActiveTabChangedEvent FOnActiveTabChanged;
  TcxGridFocusedViewChangedEvent FOnFocusedViewChanged;
  TcxGridLayoutChangedEvent FOnLayoutChanged;
};

// The grid as forms publish it.
class TcxGrid : public TcxCustomGrid {
  ORV_CLASS(TcxGrid, TcxCustomGrid)
 public:
  explicit TcxGrid(TComponent* owner) : TcxCustomGrid(owner) {}
};
