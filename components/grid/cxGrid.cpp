#include "components/grid/cxGrid.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "components/data/cxCustomData.h"
#include "components/foundation/cxGraphics.h"
#include "components/grid/cxGridStrs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"
#include "platform/windowing/User.h"

// ==== Level tabs ================================================================================

TcxGridLevelTabs::TcxGridLevelTabs(TcxCustomGrid* grid) : FGrid(grid) {
  FImagesChangeLink = new TChangeLink;
  FImagesChangeLink->SetOnChange(TNotifyEvent(this, &TcxGridLevelTabs::ImagesChanged));
  FSlants = new TcxTabSlants(this);
  FSlants->SetOnChange(TNotifyEvent(this, &TcxGridLevelTabs::SlantsChanged));
}

TcxGridLevelTabs::~TcxGridLevelTabs() {
  if (FImages) FImages->UnRegisterChanges(FImagesChangeLink);
  orv::Free(FImagesChangeLink);
  orv::Free(FSlants);
}

TPersistent* TcxGridLevelTabs::GetOwner() { return FGrid; }

void TcxGridLevelTabs::Assign(TPersistent* source) {
  auto* tabs = dynamic_cast<TcxGridLevelTabs*>(source);
  if (!tabs) {
    inherited::Assign(source);
    return;
  }
  SetCaptionAlignment(tabs->GetCaptionAlignment());
  SetImageBorder(tabs->GetImageBorder());
  SetImages(tabs->GetImages());
  SetSlants(tabs->GetSlants());
  SetStyle(tabs->GetStyle());
}

void TcxGridLevelTabs::Changed() {
  if (FGrid) FGrid->SizeChanged();
}

void TcxGridLevelTabs::SetCaptionAlignment(TAlignment value) {
  if (FCaptionAlignment == value) return;
  FCaptionAlignment = value;
  Changed();
}

void TcxGridLevelTabs::SetImageBorder(Integer value) {
  if (value < 0) value = 0;
  if (FImageBorder == value) return;
  FImageBorder = value;
  Changed();
}

void TcxGridLevelTabs::SetImages(TCustomImageList* value) {
  if (FImages == value) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImagesChangeLink);
    if (FGrid) FImages->RemoveFreeNotification(FGrid);
  }
  FImages = value;
  if (FImages) {
    FImages->RegisterChanges(FImagesChangeLink);
    if (FGrid) FImages->FreeNotification(FGrid);
  }
  Changed();
}

void TcxGridLevelTabs::ImagesFreed() {
  FImages = nullptr;
  Changed();
}

void TcxGridLevelTabs::ImagesChanged(TObject* sender) { Changed(); }

void TcxGridLevelTabs::SlantsChanged(TObject* sender) { Changed(); }

void TcxGridLevelTabs::SetStyle(TcxPCStyleID value) {
  if (FStyle == value) return;
  FStyle = value;
  Changed();
}

// ==== Grid-level handlers =======================================================================

TcxCustomGridView* TcxCustomGridHandler::GetFocusedView() const { return FControl->GetFocusedView(); }

TcxCustomGridController* TcxCustomGridHandler::GetFocusedController() const {
  TcxCustomGridView* view = GetFocusedView();
  return view ? view->GetController() : nullptr;
}

TcxGridViewInfo* TcxCustomGridHandler::GetViewInfo() const { return FControl->GetViewInfo(); }

Boolean TcxGridDragOpenInfoTab::IsSameTarget(TcxCustomGridDragOpenInfo* info) {
  return inherited::IsSameTarget(info) && static_cast<TcxGridDragOpenInfoTab*>(info)->FLevel == FLevel;
}

void TcxGridDragOpenInfoTab::Open() { FLevel->SetActive(true); }

TcxGridController::~TcxGridController() { StopDragOpen(); }

void TcxGridController::StopDragOpen() {
  FreeAndNil(FDragOpenTimer);
  FreeAndNil(FDragOpenInfo);
}

TcxCustomGridDragOpenInfo* TcxGridController::GetDragOpenInfo(const TPoint& p) {
  // A level tab of the top details site; views offer their own targets.
  auto* hitTest = dynamic_cast<TcxGridDetailsSiteTabHitTest*>(GetViewInfo()->GetHitTest(p));
  return hitTest && hitTest->GetLevel() ? new TcxGridDragOpenInfoTab(hitTest->GetLevel()) : nullptr;
}

void TcxGridController::DragOver(TObject* source, const TPoint& p, Boolean leaving) {
  DragOpen((!leaving && GetControl()->GetDragOpening()) ? GetDragOpenInfo(p) : nullptr);
}

void TcxGridController::DragOpen(TcxCustomGridDragOpenInfo* info) {
  if (!info) {
    StopDragOpen();
    return;
  }
  if (FDragOpenInfo && FDragOpenInfo->IsSameTarget(info)) {
    info->Free();
    return;
  }
  orv::Free(FDragOpenInfo);
  FDragOpenInfo = info;
  if (FDragOpenTimer) {
    FDragOpenTimer->SetEnabled(false);
    FDragOpenTimer->SetEnabled(true);
  } else {
    FDragOpenTimer = new TcxTimer(nullptr);
    FDragOpenTimer->SetInterval(Cardinal(std::max(1, GetControl()->GetDragOpeningWaitTime())));
    FDragOpenTimer->SetOnTimer(TNotifyEvent(this, &TcxGridController::DragOpenTimerHandler));
  }
}

void TcxGridController::EndDrag() { StopDragOpen(); }

void TcxGridController::DragOpenTimerHandler(TObject* sender) {
  FDragOpenTimer->SetEnabled(false);
  try {
    if (FDragOpenInfo) FDragOpenInfo->Open();
  } catch (...) {
    StopDragOpen();
    throw;
  }
  StopDragOpen();
}

void TcxGridController::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(TPoint{x, y});
  if (hitTest && hitTest->GetViewInfo()) hitTest->GetViewInfo()->MouseDown(hitTest, button, shift);
}

void TcxGridController::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(TPoint{x, y});
  if (hitTest && hitTest->GetViewInfo()) hitTest->GetViewInfo()->MouseMove(hitTest, shift);
}

void TcxGridController::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(TPoint{x, y});
  if (hitTest && hitTest->GetViewInfo()) hitTest->GetViewInfo()->MouseUp(hitTest, button, shift);
}

void TcxGridPainter::Paint() {
  // The active view paints itself in its own site window; the grid draws the frame and tabs.
  TcxGridTopDetailsSiteViewInfo* site = GetViewInfo()->GetDetailsSiteViewInfo();
  if (site && site->GetVisible()) site->Paint(GetControl()->GetCanvas());
}

void TcxGridPainter::Invalidate(Boolean invalidateDetails) {
  TcxCustomGrid* grid = GetControl();
  if (invalidateDetails)
    grid->LayoutChanged();
  else
    grid->InvalidateArea(grid->GetBounds(), false);
  std::vector<TcxGridLevel*> levels{grid->GetRootLevel()};
  while (!levels.empty()) {
    TcxGridLevel* level = levels.back();
    levels.pop_back();
    if (level->GetGridView()) level->GetGridView()->RefreshAll(false);
    for (Integer i = 0; i < level->GetCount(); ++i) levels.push_back(level->GetItem(i));
  }
  if (invalidateDetails)
    for (Integer i = 0; i < grid->GetControlCount(); ++i)
      if (auto* site = dynamic_cast<TcxGridSite*>(grid->GetControl(i))) site->Invalidate();
}

void TcxGridPainter::InvalidateWindows() {
  TcxCustomGrid* grid = GetControl();
  grid->Invalidate();
  for (Integer i = 0; i < grid->GetControlCount(); ++i)
    if (auto* site = dynamic_cast<TcxGridSite*>(grid->GetControl(i))) site->Invalidate();
}

void TcxGridPainter::Invalidate(const TRect& rect) { GetControl()->InvalidateArea(rect, false); }

TcxGridTopDetailsSiteViewInfo::TcxGridTopDetailsSiteViewInfo(TcxCustomGrid* control)
    : TcxCustomGridDetailsSiteViewInfo(control->GetRootLevel()), FControl(control) {}

Integer TcxGridTopDetailsSiteViewInfo::CalculateHeight() {
  FFullyVisible = true;
  FNormalHeight = GetMaxHeight();
  return FNormalHeight;
}

Integer TcxGridTopDetailsSiteViewInfo::CalculateWidth() { return GetMaxWidth(); }

TcxCanvas* TcxGridTopDetailsSiteViewInfo::GetCanvas() { return FControl->GetCanvas(); }

TcxControl* TcxGridTopDetailsSiteViewInfo::GetContainer() { return FControl; }

Integer TcxGridTopDetailsSiteViewInfo::GetMaxHeight() { return FControl->GetViewInfo()->GetClientBounds().Height(); }

Integer TcxGridTopDetailsSiteViewInfo::GetMaxWidth() { return FControl->GetViewInfo()->GetClientBounds().Width(); }

TcxCustomGridView* TcxGridTopDetailsSiteViewInfo::FindActiveGridView() {
  TcxCustomGridView* view = FControl->ActiveView();
  return view && view->GetViewInfo() && view->CanCalculate() ? view : nullptr;
}

TcxGridLevel* TcxGridTopDetailsSiteViewInfo::GetActiveLevel() { return FControl->GetActiveLevel(); }

void TcxGridTopDetailsSiteViewInfo::InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) { hitTest->SetOwner(FControl); }

void TcxGridTopDetailsSiteViewInfo::ActiveLevelChanged(TcxGridLevel* level, Boolean focusView) {
  FControl->SetActiveLevel(level);
}

Boolean TcxGridTopDetailsSiteViewInfo::HasData(TcxGridLevel* level) {
  TcxCustomGridView* view = level->GetGridView();
  return view && view->GetDataController() && view->GetDataController()->GetRecordCount() > 0;
}

void TcxGridViewInfo::BeforeDestruction() {
  DestroyDetailsSiteViewInfo();
  FreeAndNil(FDetailsSiteCachedInfo);
  inherited::BeforeDestruction();
}

void TcxGridViewInfo::DestroyDetailsSiteViewInfo() {
  if (!FDetailsSiteViewInfo) return;
  FreeAndNil(FDetailsSiteCachedInfo);
  FDetailsSiteViewInfo->GetCachedInfo(FDetailsSiteCachedInfo);
  FreeAndNil(FDetailsSiteViewInfo);
}

TcxGridTopDetailsSiteViewInfoClass TcxGridViewInfo::GetDetailsSiteViewInfoClass() {
  return TcxGridTopDetailsSiteViewInfo::StaticClass();
}

TRect TcxGridViewInfo::GetClientBounds() { return GetControl()->GetClientBounds(); }

void TcxGridViewInfo::Calculate() {
  DestroyDetailsSiteViewInfo();
  FDetailsSiteViewInfo = GetDetailsSiteViewInfoClass().Create(GetControl());
  FDetailsSiteViewInfo->CreateTabs();
  FDetailsSiteViewInfo->SetCachedInfo(FDetailsSiteCachedInfo);
  const TRect client = GetClientBounds();
  if (FDetailsSiteViewInfo->GetVisible()) FDetailsSiteViewInfo->Calculate(client.Left, client.Top);
}

TcxCustomGridHitTest* TcxGridViewInfo::GetHitTest(const TPoint& p) {
  if (FDetailsSiteViewInfo)
    if (TcxCustomGridHitTest* hitTest = FDetailsSiteViewInfo->GetHitTest(p)) return hitTest;
  TcxCustomGridHitTest* hitTest = TcxCustomGridHitTest::Instance(TcxGridNoneHitTest::StaticClass(), p);
  hitTest->SetViewInfo(nullptr);
  return hitTest;
}

// ==== The grid ==================================================================================

TcxCustomGrid::TcxCustomGrid(TComponent* owner) : TcxControl(owner) {
  orv::InitializeGridCommonUnit();
  SetBorderStyle(cxcbsDefault);
  FLevelTabs = GetLevelTabsClass().Create(this);
  FRootLevel = static_cast<TcxGridRootLevel*>(GetRootLevelClass().Create(nullptr));
  FRootLevel->SetControl(this);
  CreateHandlers();
  SetBounds(GetLeft(), GetTop(), 250, 200);
}

void TcxCustomGrid::BeforeDestruction() {
  Destroying();
  for (Integer i = 0; i < FRootLevel->GetCount(); ++i)
    if (TcxCustomGridView* view = FRootLevel->GetItem(i)->GetGridView())
      if (view->GetViewInfo()) view->GetViewInfo()->SetAllowHideSite(true);
  DestroyHandlers();
  FreeAndNil(FRootLevel);
  FActiveLevel = nullptr;
  FFocusedView = nullptr;
  while (!FViews.empty()) FViews.back()->Free();
  for (TcxCustomGridChange* change : FChanges) change->Free();
  FChanges.clear();
  FListeners.clear();
  inherited::BeforeDestruction();
}

TcxCustomGrid::~TcxCustomGrid() {
  orv::Free(FLevelTabs);
  for (TcxCustomGridChange* change : FChanges) change->Free();
}

void TcxCustomGrid::CreateHandlers() {
  FController = GetControllerClass().Create(this);
  FPainter = GetPainterClass().Create(this);
  FViewInfo = GetViewInfoClass().Create(this);
  FNavigatorNotifier = new TcxNavigatorControlNotifier;
}

void TcxCustomGrid::DestroyHandlers() {
  FreeAndNil(FNavigatorNotifier);
  FreeAndNil(FViewInfo);
  FreeAndNil(FPainter);
  FreeAndNil(FController);
}

TcxGridControllerClass TcxCustomGrid::GetControllerClass() { return TcxGridController::StaticClass(); }
TcxGridRootLevelClass TcxCustomGrid::GetRootLevelClass() { return TcxGridRootLevel::StaticClass(); }
TcxGridLevelTabsClass TcxCustomGrid::GetLevelTabsClass() { return TcxGridLevelTabs::StaticClass(); }
TcxGridPainterClass TcxCustomGrid::GetPainterClass() { return TcxGridPainter::StaticClass(); }
TcxGridViewInfoClass TcxCustomGrid::GetViewInfoClass() { return TcxGridViewInfo::StaticClass(); }

void TcxCustomGrid::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && FLevelTabs && component == FLevelTabs->GetImages()) FLevelTabs->ImagesFreed();
}

// ---- Update lock and queue ----

namespace {

// While the grid is locked its views' data controllers hold back the dataset's refreshes: a
// search under the lock that changes the dataset step by step reloads the views once, at the
// last unlock. Ending makes the held reloads (a controller that joined meanwhile has none).
void DeferViewsDataSetRefreshes(TcxCustomGrid* grid, bool defer) {
  // Every controller ends its deferral even when an earlier one's reload raises.
  std::exception_ptr failure;
  for (Integer i = 0; i < grid->GetViewCount(); ++i)
    if (TcxCustomDataController* controller = grid->GetView(i)->GetDataController()) {
      if (defer) {
        controller->BeginDeferDataSetRefresh();
        continue;
      }
      try {
        controller->EndDeferDataSetRefresh();
      } catch (...) {
        if (!failure) failure = std::current_exception();
      }
    }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

void TcxCustomGrid::BeginUpdate() {
  if (FUpdateLockCount++ == 0) DeferViewsDataSetRefreshes(this, true);
}

void TcxCustomGrid::EndUpdate() {
  if (FUpdateLockCount <= 0) return;
  if (FUpdateLockCount == 1) {
    // The held reloads run while the grid is still locked, so their changes join the queue.
    try {
      DeferViewsDataSetRefreshes(this, false);
    } catch (...) {
      if (--FUpdateLockCount == 0) ProcessChanges();
      throw;
    }
  }
  if (--FUpdateLockCount == 0) ProcessChanges();
}

void TcxCustomGrid::CancelUpdate() {
  if (FUpdateLockCount <= 0) return;
  if (--FUpdateLockCount == 0) {
    std::vector<TcxCustomGridChange*> dropped;
    dropped.swap(FChanges);
    for (TcxCustomGridChange* change : dropped) change->Free();
    // After the queue is dropped: a held reload is real data and its changes must run.
    DeferViewsDataSetRefreshes(this, false);
  }
}

void TcxCustomGrid::AddChange(TcxCustomGridChange* change) {
  if (change->CanBeQueued() && FUpdateLockCount != 0)
    FChanges.push_back(change);
  else
    RunChange(change);
}

void TcxCustomGrid::RunChange(TcxCustomGridChange* change) {
  std::unique_ptr<TcxCustomGridChange, orv::FreeDeleter> holder(change);
  if (IsDestroying()) return;
  change->SetControl(this);
  change->Run();
}

void TcxCustomGrid::ProcessChanges() {
  using TOwnedChange = std::unique_ptr<TcxCustomGridChange, orv::FreeDeleter>;
  std::vector<TOwnedChange> list;
  {
    std::vector<TcxCustomGridChange*> queued;
    queued.swap(FChanges);
    for (TcxCustomGridChange* change : queued) {
      TOwnedChange owned(change);
      Boolean duplicate = false;
      if (change->DropsDuplicates())
        for (const TOwnedChange& existing : list)
          if (existing->IsSameAs(change)) {
            duplicate = true;
            break;
          }
      if (!duplicate) list.push_back(std::move(owned));
    }
  }
  // Forward pass: a change covered by a later one goes.
  for (std::size_t i = 0; i < list.size();) {
    Boolean covered = false;
    for (std::size_t j = i + 1; j < list.size(); ++j)
      if (list[i]->IsCoveredBy(list[j].get())) {
        covered = true;
        break;
      }
    if (covered)
      list.erase(list.begin() + std::ptrdiff_t(i));
    else
      ++i;
  }
  // Backward pass: a change covered by an earlier one goes.
  for (std::size_t j = list.size(); j > 0; --j) {
    const std::size_t index = j - 1;
    if (index >= list.size()) continue;
    for (std::size_t i = index; i > 0; --i)
      if (list[index]->IsCoveredBy(list[i - 1].get())) {
        list.erase(list.begin() + std::ptrdiff_t(index));
        break;
      }
  }
  if (list.empty()) return;
  if (list.size() == 1) {
    RunChange(list.front().release());
    return;
  }
  BeginUpdate();
  try {
    for (TOwnedChange& change : list) {
      if (!change->RunsInsideLock()) EndUpdate();
      RunChange(change.release());
      if (FUpdateLockCount == 0) BeginUpdate();
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomGrid::LayoutChanged() {
  if (IsLoading()) return;
  AddChange(new TcxGridLayoutChange(nullptr));
}

void TcxCustomGrid::SizeChanged() {
  if (IsLoading()) return;
  AddChange(new TcxGridSizeChange(nullptr, false, false));
}

void TcxCustomGrid::ViewDataChanged(TcxCustomGridView* view) {
  if (TabsDependOnData()) LayoutChanged();
}

Boolean TcxCustomGrid::TabsDependOnData() {
  TcxGridLevelOptions* options = FRootLevel->GetOptions();
  return options->GetDetailTabsPosition() != dtpNone && !options->GetTabsForEmptyDetails();
}

void TcxCustomGrid::DoLayoutChanged(TcxCustomGridView* gridView) {
  if (FOnLayoutChanged) FOnLayoutChanged(this, gridView);
}

// ---- Views and levels ----

TcxCustomGridView* TcxCustomGrid::ActiveView() const { return FActiveLevel ? FActiveLevel->GetGridView() : nullptr; }

TcxCustomGridView* TcxCustomGrid::CreateView(TcxCustomGridViewClass viewClass) {
  return static_cast<TcxCustomGridView*>(TcxControlChildComponent::CreateForControl(viewClass, this, true));
}

void TcxCustomGrid::RegisterView(TcxCustomGridView* view) {
  if (std::find(FViews.begin(), FViews.end(), view) != FViews.end()) return;
  FViews.push_back(view);
  // A view is a detail template without relation until a level attaches it.
  if (view->GetDataController()) view->GetDataController()->AttachAsDetailTemplate(nullptr, true);
}

void TcxCustomGrid::UnregisterView(TcxCustomGridView* view) {
  FViews.erase(std::remove(FViews.begin(), FViews.end(), view), FViews.end());
  for (auto it = FChanges.begin(); it != FChanges.end();) {
    auto* change = dynamic_cast<TcxCustomGridViewChange*>(*it);
    if (change && change->GetGridView() == view) {
      change->Free();
      it = FChanges.erase(it);
    } else {
      ++it;
    }
  }
  if (FFocusedView == view) FFocusedView = nullptr;
}

void TcxCustomGrid::RemoveChildComponent(TcxControlChildComponent* component) { inherited::RemoveChildComponent(component); }

void TcxCustomGrid::SetActiveLevel(TcxGridLevel* value) {
  if (value && value == FActiveLevel) return;
  if (!value) {
    if (!IsDestroying() && FRootLevel)
      for (Integer i = 0; i < FRootLevel->GetCount() && !value; ++i)
        if (FRootLevel->GetItem(i)->GetVisible()) value = FRootLevel->GetItem(i);
    if (value == FActiveLevel) return;
  } else if (!value->GetVisible() || !value->IsTop()) {
    return;
  }
  FActiveLevel = value;
  SizeChanged();
  ActiveTabChanged(value);
  SetFocusedView(value ? value->GetGridView() : nullptr);
}

void TcxCustomGrid::ActiveTabChanged(TcxGridLevel* level) {
  if (IsLoading() || !level) return;
  if (FOnActiveTabChanged) FOnActiveTabChanged(this, level);
}

TcxCustomGridView* TcxCustomGrid::ChooseSubstituteView(TcxCustomGridView* previous) {
  for (TcxCustomGridView* view = previous; view; view = view->MasterGridView())
    if (!view->IsDestroying()) return view;
  for (Integer i = 0; i < FRootLevel->GetCount(); ++i)
    if (TcxCustomGridView* view = FRootLevel->GetItem(i)->GetGridView())
      if (!view->IsDestroying()) return view;
  return nullptr;
}

void TcxCustomGrid::SetFocusedView(TcxCustomGridView* value) {
  if (value && !value->CanFocus()) return;
  if (value == FFocusedView) return;
  TcxCustomGridView* previous = FFocusedView;
  if (!IsDestroying() && !IsDesigning()) {
    const Boolean needSubstitute = (!value && ActiveView()) || (value && value->IsDestroying());
    if (needSubstitute) {
      value = ChooseSubstituteView(previous);
      if (value == FFocusedView) return;
    }
  }
  FFocusedView = value;
  if (previous && !previous->IsDestroying()) {
    const Boolean wasFocused = IsFocused();
    try {
      previous->FocusedChanged(false);
    } catch (...) {
      FFocusedView = nullptr;
      SetFocusedView(previous);
      throw;
    }
    if (wasFocused && !IsFocused() && CanFocus()) SetFocus();
  }
  if (FFocusedView) {
    FFocusedView->FocusedChanged(true);
    if (auto* level = dynamic_cast<TcxGridLevel*>(FFocusedView->GetLevel())) level->SetActive(true);
  } else if (IsFocused() && CanFocusWithParentForm()) {
    SetFocus();
  }
  FocusedViewChanged(previous, FFocusedView);
}

void TcxCustomGrid::FocusedViewChanged(TcxCustomGridView* prevFocusedView, TcxCustomGridView* focusedView) {
  if (IsDestroying()) return;
  if (FNavigatorNotifier) FNavigatorNotifier->NotifyNavigators();
  NotifyListeners(gnkFocusedViewChanged, nullptr);
  if (FOnFocusedViewChanged) FOnFocusedViewChanged(this, prevFocusedView, focusedView);
}

// ---- The navigator interface ----

namespace {

IcxNavigator* GridNavigatedView(const TcxCustomGrid* grid) { return Supports<IcxNavigator>(grid->GetFocusedView()); }

}  // namespace

Boolean TcxCustomGrid::CanAppend() {
  IcxNavigator* view = GridNavigatedView(this);
  return view && view->CanAppend();
}

Boolean TcxCustomGrid::CanDelete() {
  IcxNavigator* view = GridNavigatedView(this);
  return view && view->CanDelete();
}

Boolean TcxCustomGrid::CanEdit() {
  IcxNavigator* view = GridNavigatedView(this);
  return view && view->CanEdit();
}

Boolean TcxCustomGrid::CanInsert() {
  IcxNavigator* view = GridNavigatedView(this);
  return view && view->CanInsert();
}

Boolean TcxCustomGrid::IsActive() {
  IcxNavigator* view = GridNavigatedView(this);
  return view && view->IsActive();
}

Boolean TcxCustomGrid::IsBof() {
  IcxNavigator* view = GridNavigatedView(this);
  return view && view->IsBof();
}

Boolean TcxCustomGrid::IsBookmarkAvailable() {
  IcxNavigator* view = GridNavigatedView(this);
  return view && view->IsBookmarkAvailable();
}

Boolean TcxCustomGrid::IsEditing() {
  IcxNavigator* view = GridNavigatedView(this);
  return view && view->IsEditing();
}

Boolean TcxCustomGrid::IsEof() {
  IcxNavigator* view = GridNavigatedView(this);
  return view && view->IsEof();
}

void TcxCustomGrid::ClearBookmark() {
  if (IcxNavigator* view = GridNavigatedView(this)) view->ClearBookmark();
}

void TcxCustomGrid::DoAction(Integer buttonIndex) {
  if (IcxNavigator* view = GridNavigatedView(this)) view->DoAction(buttonIndex);
}

void TcxCustomGrid::CheckFocusedView() {
  if (!FFocusedView || FFocusedView->CanFocus()) return;
  TcxCustomGridView* active = ActiveView();
  if (active && active->CanFocus())
    SetFocusedView(active);
  else
    SetFocusedView(nullptr);
}

// ---- Published ----

void TcxCustomGrid::SetDragOpeningWaitTime(Integer value) { FDragOpeningWaitTime = std::max(0, value); }

void TcxCustomGrid::SetTabStopValue(Boolean value) {
  if (FTabStop == value) return;
  FTabStop = value;
  for (TcxCustomGridView* view : FViews) view->SetSiteTabStop(view->GetSite() && view->GetSite()->GetTabStop());
}

// ---- Listeners ----

void TcxCustomGrid::AddListener(IcxGridNotificationHandler* listener) {
  if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) FListeners.push_back(listener);
}

void TcxCustomGrid::RemoveListener(IcxGridNotificationHandler* listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), listener), FListeners.end());
}

Boolean TcxCustomGrid::NotifyListeners(TcxGridNotificationKind kind, TObject* data) {
  if (kind == gnkContextMenu && IsDesigning()) return false;
  Boolean handled = false;
  for (IcxGridNotificationHandler* listener : std::vector<IcxGridNotificationHandler*>(FListeners)) {
    if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) continue;
    if (!listener->NotificationKinds().Contains(kind)) continue;
    listener->Notify(kind, data, handled);
    if (handled) break;
  }
  return handled;
}

// ---- Focus ----

Boolean TcxCustomGrid::IsFocused() {
  if (Focused()) return true;
  TCustomForm* form = GetParentForm(this);
  TWinControl* active = form ? form->GetActiveControl() : nullptr;
  if (!active || active == this) return false;
  Boolean inside = false;
  for (TWinControl* p = active->GetParent(); p; p = p->GetParent())
    if (p == this) inside = true;
  if (!inside || !active->Focused()) return false;
  if (auto* control = dynamic_cast<TcxControl*>(active)) {
    if (auto* site = dynamic_cast<TcxGridSite*>(control)) return site->Focused();
    return control->IsFocused();
  }
  return true;
}

void TcxCustomGrid::SiteFocusChanged(Boolean focused) {
  if (IsDestroying()) return;
  if ((focused && !FSiteFocused) || (!focused && !IsFocused())) {
    FSiteFocused = focused;
    if (TcxCustomGridController* controller = FController->GetFocusedController()) controller->SubmitControlFocusChange();
  }
}

void TcxCustomGrid::FocusNextControl(Boolean goForward) {
  if (!IsFocused()) return;
  if (TCustomForm* form = GetParentForm(this))
    if (form->HandleAllocated()) PostMessage(form->GetHandle(), WM_NEXTDLGCTL, goForward ? 0 : 1, 0);
}

// ---- Window behaviour ----

void TcxCustomGrid::Paint() {
  inherited::Paint();
  FPainter->Paint();
}

void TcxCustomGrid::BoundsChanged() {
  if (!FViewInfo || !FViewInfo->IsCalculating()) SizeChanged();
  inherited::BoundsChanged();
}

void TcxCustomGrid::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {
  inherited::LookAndFeelChanged(sender, changedValues);
  if (IsDestroying()) return;
  for (TcxCustomGridView* view : std::vector<TcxCustomGridView*>(FViews)) view->LookAndFeelChanged();
  SizeChanged();
}

void TcxCustomGrid::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  inherited::MouseDown(button, shift, x, y);
  if (guard.Alive()) FController->MouseDown(button, shift, x, y);
}

void TcxCustomGrid::MouseMove(TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  inherited::MouseMove(shift, x, y);
  if (guard.Alive()) FController->MouseMove(shift, x, y);
}

void TcxCustomGrid::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  inherited::MouseUp(button, shift, x, y);
  if (guard.Alive()) FController->MouseUp(button, shift, x, y);
}

void TcxCustomGrid::CancelMouseOperation() {
  inherited::CancelMouseOperation();
  if (TcxCustomGridController* controller = FController->GetFocusedController()) controller->CancelMouseOperation();
}

void TcxCustomGrid::DoContextPopup(TPoint mousePos, bool& handled) {
  inherited::DoContextPopup(mousePos, handled);
  if (!handled)
    handled = NotifyListeners(gnkContextMenu, reinterpret_cast<TObject*>(mousePos.X == -1 && mousePos.Y == -1 ? 1 : 0));
}

void TcxCustomGrid::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  inherited::DragOver(source, x, y, state, accept);
  FController->DragOver(source, TPoint{x, y}, state == dsDragLeave);
}

void TcxCustomGrid::DoEndDrag(TObject* target, Integer x, Integer y) {
  FController->EndDrag();
  inherited::DoEndDrag(target, x, y);
}

Boolean TcxCustomGrid::GetDesignHitTest(Integer x, Integer y, TShiftState shift) {
  if (inherited::GetDesignHitTest(x, y, shift)) return true;
  if (!shift.Contains(ssLeft)) return false;
  TcxCustomGridHitTest* hitTest = FViewInfo->GetHitTest(TPoint{x, y});
  return hitTest && hitTest->GetHitTestCode() == htTab;
}

void TcxCustomGrid::Dispatch(TMessage& message) {
  if (message.Msg == CM_DIALOGCHAR && FViewInfo && FViewInfo->GetDetailsSiteViewInfo() &&
      FViewInfo->GetDetailsSiteViewInfo()->ProcessDialogChar(char(message.WParam))) {
    message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}

// ---- Streaming and names ----

void TcxCustomGrid::GetChildren(TGetChildProc proc, TComponent* root) {
  inherited::GetChildren(proc, root);  // the controls the root owns
  for (TcxCustomGridView* view : std::vector<TcxCustomGridView*>(FViews))
    if (view->GetOwner() == root && !view->IsTransient()) proc(view);
  for (Integer i = 0; i < FRootLevel->GetCount(); ++i)
    if (FRootLevel->GetItem(i)->GetOwner() == root) proc(FRootLevel->GetItem(i));
}

void TcxCustomGrid::SetChildOrder(TComponent* child, Integer order) {
  if (auto* level = dynamic_cast<TcxGridLevel*>(child)) {
    if (level->GetParent() == FRootLevel) level->SetIndex(order - GetViewCount());
    return;
  }
  inherited::SetChildOrder(child, order);
}

namespace {

TComponent* GridChildAt(TComponent* caller, Integer index) {
  auto* grid = static_cast<TcxCustomGrid*>(caller);
  if (index < grid->GetViewCount()) return grid->GetView(index);
  index -= grid->GetViewCount();
  std::vector<TcxGridLevel*> levels;
  std::vector<TcxGridLevel*> stack{grid->GetRootLevel()};
  while (!stack.empty()) {
    TcxGridLevel* level = stack.back();
    stack.pop_back();
    for (Integer i = level->GetCount(); i > 0; --i) stack.push_back(level->GetItem(i - 1));
    if (level != grid->GetRootLevel()) levels.push_back(level);
  }
  return index < Integer(levels.size()) ? levels[std::size_t(index)] : nullptr;
}

Integer GridChildCount(TcxCustomGrid* grid) {
  Integer count = grid->GetViewCount();
  std::vector<TcxGridLevel*> stack{grid->GetRootLevel()};
  while (!stack.empty()) {
    TcxGridLevel* level = stack.back();
    stack.pop_back();
    count += level->GetCount();
    for (Integer i = 0; i < level->GetCount(); ++i) stack.push_back(level->GetItem(i));
  }
  return count;
}

}  // namespace

void TcxCustomGrid::SetName(const AnsiString& newName) {
  const AnsiString oldName = GetName();
  inherited::SetName(newName);
  if (!oldName.empty() && oldName != newName && GetOwner())
    RenameChildComponents(this, GetOwner(), newName, oldName, GridChildCount(this), &GridChildAt);
}

void TcxCustomGrid::Loaded() {
  inherited::Loaded();
  BeginUpdate();
  try {
    LayoutChanged();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// ==== Published properties ======================================================================

namespace {

const orv::EnumNames<TcxControlBorderStyle> kBorderStyleNames("TcxControlBorderStyle", {"cxcbsNone", "cxcbsDefault"});

}  // namespace

ORV_PUBLISH(TcxGridLevelTabs) {
  using T = TcxGridLevelTabs;
  p.Property("CaptionAlignment", &T::GetCaptionAlignment, &T::SetCaptionAlignment).Default(taCenter);
  p.Property("ImageBorder", &T::GetImageBorder, &T::SetImageBorder).Default(0);
  p.Property("Images", &T::GetImages, &T::SetImages);
  p.Property("Slants", &T::GetSlants, &T::SetSlants);
  p.Property("Style", &T::GetStyle, &T::SetStyle).Default(0);
}

ORV_PUBLISH(TcxCustomGrid) {
  using T = TcxCustomGrid;
  p.Property("RootLevelStylesEvents", &T::GetRootLevelStylesEvents, &T::SetRootLevelStylesEvents);
}

ORV_PUBLISH(TcxGrid) {
  using T = TcxGrid;
  p.Property("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle).Default(cxcbsDefault);
  p.Property("TabStop", &T::GetTabStopValue, &T::SetTabStopValue).Default(true);
  p.Property("DragOpening", &T::GetDragOpening, &T::SetDragOpening).Default(true);
  p.Property("DragOpeningWaitTime", &T::GetDragOpeningWaitTime, &T::SetDragOpeningWaitTime).Default(800);
  p.Property("LevelTabs", &T::GetLevelTabs, &T::SetLevelTabs);
  p.Property("LookAndFeel", &T::GetLookAndFeel, &T::SetLookAndFeel);
  p.Property("RootLevelOptions", &T::GetRootLevelOptions, &T::SetRootLevelOptions);
  p.Property("RootLevelStyles", &T::GetRootLevelStyles, &T::SetRootLevelStyles);
  p.Property("OnActiveTabChanged", &T::GetOnActiveTabChanged, &T::SetOnActiveTabChanged);
  p.Property("OnFocusedViewChanged", &T::GetOnFocusedViewChanged, &T::SetOnFocusedViewChanged);
  p.Property("OnLayoutChanged", &T::GetOnLayoutChanged, &T::SetOnLayoutChanged);
  p.Property("OnMouseEnter", &T::GetOnMouseEnter, &T::SetOnMouseEnter);
  p.Property("OnMouseLeave", &T::GetOnMouseLeave, &T::SetOnMouseLeave);
  // The platform's control properties and events (the grid keeps TabStop in its own field).
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishFont(p);
  orv::PublishDrag(p);
  p.Property("TabOrder", &TWinControl::GetTabOrder, &TWinControl::SetTabOrder).Default(TTabOrder(-1));
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("OnResize", &TControl::GetOnResize, &TControl::SetOnResize);
}
