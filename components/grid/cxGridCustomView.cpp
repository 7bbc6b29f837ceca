#include "components/grid/cxGridCustomView.h"

#include <algorithm>
#include <memory>

#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableView.h"
#include "components/grid/cxGridLevel.h"
#include "platform/controls/Forms.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"

// ==== Changes ===================================================================================

namespace {

// Whether `view` is a detail, at any depth, of `master`.
Boolean IsDetailOf(TcxCustomGridView* view, TcxCustomGridView* master) {
  return view && master && view->HasAsMaster(master);
}

}  // namespace

Boolean TcxCustomGridChange::IsSameAs(TcxCustomGridChange* other) { return other->ClassType() == ClassType(); }

Boolean TcxCustomGridViewChange::IsSameAs(TcxCustomGridChange* other) {
  return inherited::IsSameAs(other) && static_cast<TcxCustomGridViewChange*>(other)->GetGridView() == GetGridView();
}

void TcxGridLayoutChange::Run() {
  TcxCustomGridView* view = GetGridView();
  TcxCustomGrid* grid = GetControl();
  if (!view) {
    if (grid && grid->GetViewInfo()) {
      TcxGridViewInfo* viewInfo = grid->GetViewInfo();
      const Boolean saved = viewInfo->IsCalculating();
      viewInfo->SetIsCalculating(true);
      try {
        viewInfo->Calculate();
      } catch (...) {
        viewInfo->SetIsCalculating(saved);
        throw;
      }
      viewInfo->SetIsCalculating(saved);
      grid->GetPainterObject()->InvalidateWindows();
    }
  } else if (view->CanCalculate() && view->GetSite()) {
    const TRect bounds = view->GetSite()->GetBoundsRect();
    if (!RectIsEmpty(bounds)) {
      view->GetViewInfo()->Calculate(bounds);
      view->GetPainter()->Invalidate();
    }
  }
  if (grid) grid->DoLayoutChanged(view);
}

Boolean TcxGridLayoutChange::IsCoveredBy(TcxCustomGridChange* other) {
  auto* viewChange = dynamic_cast<TcxCustomGridViewChange*>(other);
  if (!viewChange) return false;
  TcxCustomGridView* otherView = viewChange->GetGridView();
  if (other->InheritsFrom(TcxGridLayoutChange::StaticClass()))
    return !otherView || IsDetailOf(GetGridView(), otherView);
  if (other->InheritsFrom(TcxGridSizeChange::StaticClass()))
    return !otherView || (GetGridView() && (GetGridView() == otherView || IsDetailOf(GetGridView(), otherView)));
  return false;
}

void TcxGridSizeChange::Run() {
  TcxCustomGridView* view = GetGridView();
  TcxCustomGrid* grid = GetControl();
  if (!view) {
    if (!grid) return;
    if (TcxCustomGridView* active = grid->ActiveView())
      active->SizeChanged(false, FPartialReset);
    else
      grid->LayoutChanged();
    return;
  }
  if (!view->CanCalculate()) return;
  if (TcxCustomGridViewInfoCache* cache = view->GetViewInfoCache()) cache->UnassignValues(FPartialReset);
  if (FViewOnly && FPartialReset) {
    view->LayoutChanged(true);
    return;
  }
  if (TcxCustomGridView* master = view->MasterGridView()) {
    if (view->IsPattern()) return;
    if (!master->AddChange(new TcxGridSizeChange(master, false, FPartialReset))) view->LayoutChanged(true);
    return;
  }
  if (view->IsPattern())
    view->LayoutChanged(true);
  else if (grid)
    grid->LayoutChanged();
  else
    view->LayoutChanged(true);
}

Boolean TcxGridSizeChange::IsCoveredBy(TcxCustomGridChange* other) {
  auto* viewChange = dynamic_cast<TcxCustomGridViewChange*>(other);
  if (!viewChange || viewChange->GetGridView() != GetGridView()) return false;
  if (auto* size = dynamic_cast<TcxGridSizeChange*>(other))
    return size->FPartialReset == FPartialReset && FViewOnly;
  return other->InheritsFrom(TcxGridDataChange::StaticClass());
}

Boolean TcxGridSizeChange::IsSameAs(TcxCustomGridChange* other) {
  if (!inherited::IsSameAs(other)) return false;
  auto* size = static_cast<TcxGridSizeChange*>(other);
  return size->FPartialReset == FPartialReset && size->FViewOnly == FViewOnly;
}

TcxGridViewChange::TcxGridViewChange(TcxCustomGridView* gridView, TcxRegion* updateRegion)
    : TcxCustomGridViewChange(gridView) {
  if (updateRegion) {
    FUpdateRegion = new TcxRegion();
    FUpdateRegion->CombineWith(updateRegion, roSet, false);
  }
}

TcxGridViewChange::~TcxGridViewChange() { orv::Free(FUpdateRegion); }

void TcxGridViewChange::Run() {
  TcxCustomGridView* view = GetGridView();
  if (!view || !view->GetPainter()) return;
  if (RectIsEmpty(FUpdateBounds)) {
    if (FUpdateRegion)
      view->GetPainter()->Invalidate(FUpdateRegion);
    else
      view->GetPainter()->Invalidate();
  } else {
    view->GetPainter()->Invalidate(FUpdateBounds);
  }
}

Boolean TcxGridViewChange::IsCoveredBy(TcxCustomGridChange* other) {
  auto* viewChange = dynamic_cast<TcxCustomGridViewChange*>(other);
  if (!viewChange || viewChange->GetGridView() != GetGridView()) return false;
  return other->InheritsFrom(TcxGridLayoutChange::StaticClass()) || other->InheritsFrom(TcxGridSizeChange::StaticClass());
}

Boolean TcxGridViewChange::IsSameAs(TcxCustomGridChange* other) {
  if (!inherited::IsSameAs(other)) return false;
  auto* change = static_cast<TcxGridViewChange*>(other);
  if (!FUpdateRegion && !change->FUpdateRegion) return FUpdateBounds == change->FUpdateBounds;
  if (FUpdateRegion && change->FUpdateRegion) return FUpdateRegion->IsEqual(change->FUpdateRegion);
  return false;
}

void TcxGridControlFocusChange::Run() {
  if (GetGridView() && GetGridView()->CanCalculate()) GetGridView()->GetController()->ControlFocusChanged();
}

// ==== Handlers ==================================================================================

TcxGridViewHandler::TcxGridViewHandler(TcxCustomGridView* gridView)
    : TcxInterfacedPersistent(gridView), FGridView(gridView) {}

TcxCustomLookAndFeelPainterClass TcxGridViewHandler::LookAndFeelPainter() const { return FGridView->LookAndFeelPainter(); }
TcxCustomGrid* TcxGridViewHandler::GetControl() const { return FGridView->GetControlGrid(); }
TcxCustomGridController* TcxGridViewHandler::GetController() const { return FGridView->GetController(); }
TcxCustomDataController* TcxGridViewHandler::GetDataController() const { return FGridView->GetDataController(); }
TcxCustomGridPainter* TcxGridViewHandler::GetPainter() const { return FGridView->GetPainter(); }
TcxGridSite* TcxGridViewHandler::GetSite() const { return FGridView->GetSite(); }
TcxCustomGridViewData* TcxGridViewHandler::GetViewData() const { return FGridView->GetViewData(); }
TcxCustomGridViewInfo* TcxGridViewHandler::GetViewInfo() const { return FGridView->GetViewInfo(); }
void TcxGridViewHandler::BeginUpdate() { FGridView->BeginUpdate(); }
void TcxGridViewHandler::EndUpdate() { FGridView->EndUpdate(); }

TcxGridListenerLink::~TcxGridListenerLink() {
  if (FGridView) {
    auto& links = FGridView->FListenerLinks;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
  }
}

// ==== Hit tests =================================================================================

namespace {

struct THitTestsHolder {
  TGridHitTests* Value = nullptr;
  ~THitTestsHolder() { FreeAndNil(Value); }
};

THitTestsHolder& HitTestsHolder() {
  static THitTestsHolder holder;
  return holder;
}

}  // namespace

TGridHitTests* GridHitTests() {
  THitTestsHolder& holder = HitTestsHolder();
  if (!holder.Value) holder.Value = new TGridHitTests;
  return holder.Value;
}

TGridHitTests::~TGridHitTests() {
  for (TcxCustomGridHitTest* item : FItems) item->Free();
}

TcxCustomGridHitTest* TGridHitTests::Instance(TClass hitTestClass) {
  for (TcxCustomGridHitTest* item : FItems)
    if (item->ClassType() == hitTestClass) return item;
  TcxCustomGridHitTest* item = orv::ClassOf<TcxCustomGridHitTest>(hitTestClass).Create();
  FItems.push_back(item);
  return item;
}

TcxCustomGridHitTest::~TcxCustomGridHitTest() { SetViewInfo(nullptr); }

TcxCustomGridHitTest* TcxCustomGridHitTest::Instance(TClass hitTestClass, const TPoint& point) {
  TcxCustomGridHitTest* hitTest = GridHitTests()->Instance(hitTestClass);
  hitTest->FPos = point;
  return hitTest;
}

void TcxCustomGridHitTest::SetViewInfo(TcxCustomGridCellViewInfo* value) {
  if (FViewInfo == value) return;
  if (FViewInfo) FViewInfo->FLinkedHitTest = nullptr;
  FViewInfo = value;
  if (FViewInfo) {
    if (FViewInfo->FLinkedHitTest && FViewInfo->FLinkedHitTest != this) FViewInfo->FLinkedHitTest->FViewInfo = nullptr;
    FViewInfo->FLinkedHitTest = this;
  }
}

// ==== Options ===================================================================================

TcxCustomGridOptions::TcxCustomGridOptions(TcxCustomGridView* gridView)
    : TcxInterfacedPersistent(gridView), FGridView(gridView) {
  if (FGridView) FGridView->AddOptions(this);
}

TcxCustomGridOptions::~TcxCustomGridOptions() {
  if (FGridView) FGridView->RemoveOptions(this);
}

void TcxCustomGridOptions::Assign(TPersistent* source) {
  if (dynamic_cast<TcxCustomGridOptions*>(source)) return;
  inherited::Assign(source);
}

void TcxCustomGridOptions::Changed(TcxGridViewChangeKind changeKind) {
  if (FGridView) FGridView->Changed(changeKind);
}

TcxCustomLookAndFeelPainterClass TcxCustomGridOptions::LookAndFeelPainter() const {
  return FGridView ? FGridView->LookAndFeelPainter() : TcxCustomLookAndFeelPainterClass();
}

TcxCustomGridBackgroundBitmaps::~TcxCustomGridBackgroundBitmaps() {
  for (TBitmap* bitmap : FBitmaps) orv::Free(bitmap);
}

void TcxCustomGridBackgroundBitmaps::Assign(TPersistent* source) {
  if (auto* bitmaps = dynamic_cast<TcxCustomGridBackgroundBitmaps*>(source)) SetBackground(bitmaps->GetBackground());
  inherited::Assign(source);
}

TBitmap* TcxCustomGridBackgroundBitmaps::GetValue(Integer index) {
  if (index < 0) return nullptr;
  if (std::size_t(index) >= FBitmaps.size()) FBitmaps.resize(std::size_t(index) + 1, nullptr);
  TBitmap*& bitmap = FBitmaps[std::size_t(index)];
  if (!bitmap) {
    bitmap = new TBitmap;
    bitmap->SetOnChange(TNotifyEvent(this, &TcxCustomGridBackgroundBitmaps::BitmapChanged));
  }
  return bitmap;
}

void TcxCustomGridBackgroundBitmaps::SetValue(Integer index, TBitmap* value) { GetValue(index)->Assign(value); }

void TcxCustomGridBackgroundBitmaps::BitmapChanged(TObject* sender) { Changed(vcLayout); }

TBitmap* TcxCustomGridBackgroundBitmaps::GetStyleBitmap(Integer index) {
  const Integer styleIndex = GetBitmapStyleIndex(index);
  if (styleIndex == -1 || !GetGridView()) return nullptr;
  TcxStyle* style = GetGridView()->GetStyles()->GetStyleValue(styleIndex);
  return style ? style->GetBitmap() : nullptr;
}

TBitmap* TcxCustomGridBackgroundBitmaps::GetBitmap(Integer index) {
  if (index >= 0 && std::size_t(index) < FBitmaps.size()) {
    TBitmap* own = FBitmaps[std::size_t(index)];
    if (own && !orv::IsBitmapEmpty(own)) return own;
  }
  TBitmap* styleBitmap = GetStyleBitmap(index);
  return styleBitmap && !orv::IsBitmapEmpty(styleBitmap) ? styleBitmap : nullptr;
}

void TcxCustomGridOptionsBehavior::Assign(TPersistent* source) {
  if (auto* options = dynamic_cast<TcxCustomGridOptionsBehavior*>(source))
    SetPostponedSynchronization(options->GetPostponedSynchronization());
  inherited::Assign(source);
}

Boolean TcxCustomGridOptionsBehavior::GetPostponedSynchronization() const {
  TcxCustomGridView* view = GetGridView();
  if (view && view->GetPattern() && view->GetPattern() != view)
    return view->GetPattern()->GetOptionsBehavior()->FPostponedSynchronization;
  return FPostponedSynchronization;
}

void TcxCustomGridOptionsView::Assign(TPersistent* source) {
  if (auto* options = dynamic_cast<TcxCustomGridOptionsView*>(source)) SetScrollBars(options->GetScrollBars());
  inherited::Assign(source);
}

TScrollStyle TcxCustomGridOptionsView::GetScrollBars() const {
  TcxGridSite* site = GetGridView() ? GetGridView()->GetSite() : nullptr;
  return site ? site->GetScrollBars() : ssBoth;
}

void TcxCustomGridOptionsView::SetScrollBars(TScrollStyle value) {
  TcxGridSite* site = GetGridView() ? GetGridView()->GetSite() : nullptr;
  if (!site || site->GetScrollBars() == value) return;
  site->SetScrollBars(value);
  Changed(vcLayout);
}

TcxCustomLookAndFeelPainterClass TcxCustomGridStyles::LookAndFeelPainter() const {
  TcxCustomGridView* view = GetGridView();
  return view ? view->LookAndFeelPainter() : TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass());
}

void TcxCustomGridStyles::StyleChanged(Integer index) {
  inherited::StyleChanged(index);
  if (TcxCustomGridView* view = GetGridView()) view->Changed(vcSize);
}

void TcxCustomGridStyles::GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) {
  inherited::GetDefaultStyleParams(index, data, params);
  TcxCustomGridView* view = GetGridView();
  if (view && view->GetControlGrid())
    params.Font = view->GetControlGrid()->GetFont();
  else if (view && view->GetViewInfo() && view->GetViewInfo()->Canvas())
    params.Font = view->GetViewInfo()->Canvas()->GetFont();
}

void TcxCustomGridStyles::GetFakeComponentLinks(TList* list) {
  TcxCustomGridView* view = GetGridView();
  for (Integer i = 0; i < ItemCount(); ++i) {
    TcxCustomStyle* style = ItemAt(i)->Style;
    TComponent* owner = style ? style->GetOwner() : nullptr;
    if (owner && (!view || owner != view->GetOwner()) && list->IndexOf(owner) == -1) list->Add(owner);
  }
}

TcxCustomGridView* TcxCustomGridViewStyles::GetGridView() const {
  return dynamic_cast<TcxCustomGridView*>(const_cast<TcxCustomGridViewStyles*>(this)->GetOwner());
}

void TcxCustomGridViewStyles::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* styles = dynamic_cast<TcxCustomGridViewStyles*>(source)) SetBackground(styles->GetBackground());
}

void TcxCustomGridViewStyles::GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) {
  inherited::GetDefaultStyleParams(index, data, params);
  if (index == vsBackground) {
    params.Color = LookAndFeelPainter()->DefaultContentColor();
    params.TextColor = clGrayText;
  }
}

// ==== The view ==================================================================================

TcxCustomGridView::TcxCustomGridView(TComponent* owner) : TcxControlChildComponent(owner) {}

void TcxCustomGridView::Initialize() {
  inherited::Initialize();
  FSynchronization = true;
  CreateOptions();
  CreateHandlers();
}

void TcxCustomGridView::BeforeDestruction() {
  Destroying();
  SetFocused(false);
  if (FPatternGridView && FPatternGridView != this) FPatternGridView->RemoveClone(this);
  if (auto* level = dynamic_cast<TcxGridLevel*>(FLevel))
    if (level->GetGridView() == this) level->SetGridView(nullptr);
  for (std::size_t i = FClones.size(); i > 0; --i) FClones[i - 1]->FPatternGridView = nullptr;
  FClones.clear();
  if (GetControl()) GetControl()->RemoveChildComponent(this);
  DestroyHandlers();
  DestroyOptions();
  for (std::size_t i = FListenerLinks.size(); i > 0; --i) FListenerLinks[i - 1]->Clear();
  FListenerLinks.clear();
  inherited::BeforeDestruction();
}

TcxCustomGridView::~TcxCustomGridView() = default;

TcxCustomGrid* TcxCustomGridView::GetControlGrid() const { return dynamic_cast<TcxCustomGrid*>(GetControl()); }

void TcxCustomGridView::CreateOptions() {
  FBackgroundBitmaps = GetBackgroundBitmapsClass().Create(this);
  FOptionsBehavior = GetOptionsBehaviorClass().Create(this);
  FOptionsData = GetOptionsDataClass().Create(this);
  FOptionsSelection = GetOptionsSelectionClass().Create(this);
  FOptionsView = GetOptionsViewClass().Create(this);
  FStyles = GetStylesClass().Create(this);
}

void TcxCustomGridView::DestroyOptions() {
  if (GetControl() && FStyles) GetControl()->RemoveFontListener(FStyles);
  FreeAndNil(FStyles);
  FreeAndNil(FOptionsView);
  FreeAndNil(FOptionsSelection);
  FreeAndNil(FOptionsData);
  FreeAndNil(FOptionsBehavior);
  FreeAndNil(FBackgroundBitmaps);
  FOptionsList.clear();
}

void TcxCustomGridView::RemoveOptions(TcxCustomGridOptions* options) {
  FOptionsList.erase(std::remove(FOptionsList.begin(), FOptionsList.end(), options), FOptionsList.end());
}

void TcxCustomGridView::CreateHandlers() {
  FController = GetControllerClass().Create(this);
  FDataController = GetDataControllerClass().Create(this);
  InitDataController();
  FPainter = GetPainterClass().Create(this);
  FViewData = GetViewDataClass().Create(this);
  FViewInfo = GetViewInfoClass().Create(this);
  FViewInfo->AfterConstruction();
  if (TcxCustomGridViewInfoCacheClass cacheClass = GetViewInfoCacheClass()) FViewInfoCache = cacheClass.Create(this);
}

void TcxCustomGridView::DestroyHandlers() {
  FreeAndNil(FDataController);
  FreeAndNil(FViewInfo);
  FreeAndNil(FViewInfoCache);
  FreeAndNil(FViewData);
  FreeAndNil(FPainter);
  FreeAndNil(FController);
}

void TcxCustomGridView::InitDataController() {
  FDataController->SetOnUpdateControl(TcxUpdateControlEvent(this, &TcxCustomGridView::UpdateControl));
}

TcxCustomGridBackgroundBitmapsClass TcxCustomGridView::GetBackgroundBitmapsClass() {
  return TcxCustomGridBackgroundBitmaps::StaticClass();
}
TcxCustomGridOptionsBehaviorClass TcxCustomGridView::GetOptionsBehaviorClass() {
  return TcxCustomGridOptionsBehavior::StaticClass();
}
TcxCustomGridOptionsDataClass TcxCustomGridView::GetOptionsDataClass() { return TcxCustomGridOptionsData::StaticClass(); }
TcxCustomGridOptionsSelectionClass TcxCustomGridView::GetOptionsSelectionClass() {
  return TcxCustomGridOptionsSelection::StaticClass();
}
TcxCustomGridOptionsViewClass TcxCustomGridView::GetOptionsViewClass() { return TcxCustomGridOptionsView::StaticClass(); }
TcxCustomGridViewStylesClass TcxCustomGridView::GetStylesClass() { return TcxCustomGridViewStyles::StaticClass(); }

TcxGridSite* TcxCustomGridView::GetSite() const { return FViewInfo ? FViewInfo->GetSiteValue() : nullptr; }

TcxLookAndFeel* TcxCustomGridView::LookAndFeel() const {
  return GetControl() ? GetControl()->GetLookAndFeel() : nullptr;
}

TcxCustomLookAndFeelPainterClass TcxCustomGridView::LookAndFeelPainter() const {
  if (GetControl()) return GetControl()->GetPainter();
  return TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass());
}

void TcxCustomGridView::SetControl(TcxControl* value) {
  if (GetControl() == value) return;
  if (TcxControl* old = GetControl()) {
    if (FStyles) old->RemoveFontListener(FStyles);
    inherited::SetControl(nullptr);
    if (auto* grid = dynamic_cast<TcxCustomGrid*>(old)) grid->UnregisterView(this);
  }
  inherited::SetControl(value);
  if (value) {
    if (auto* grid = dynamic_cast<TcxCustomGrid*>(value)) grid->RegisterView(this);
    if (!FStorageControl && !FRepository) FStorageControl = value;
    if (FStyles) value->AddFontListener(FStyles);
  }
}

Boolean TcxCustomGridView::IsDestroying() const {
  if (inherited::IsDestroying()) return true;
  auto* self = const_cast<TcxCustomGridView*>(this);
  TcxCustomGridView* master = self->FDataController ? self->MasterGridView() : nullptr;
  return master && master->IsDestroying();
}

TComponent* TcxCustomGridView::GetParentComponent() const {
  return FStorageControl ? static_cast<TComponent*>(FStorageControl) : FRepository;
}

// While a form description is read the view has no storage control yet; it asks for its parent so
// that the reader attaches it to the grid it is written in.
bool TcxCustomGridView::HasParent() const {
  return FStorageControl || FRepository || GetComponentState().Contains(csReading);
}

void TcxCustomGridView::SetParentComponent(TComponent* value) {
  inherited::SetParentComponent(value);
  if (auto* control = dynamic_cast<TcxControl*>(value))
    if (!FStorageControl && !FRepository) FStorageControl = control;
}

void TcxCustomGridView::Updating() {
  BeginUpdate();
  inherited::Updating();
}

void TcxCustomGridView::Updated() {
  inherited::Updated();
  EndUpdate();
}

void TcxCustomGridView::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  for (TcxCustomGridOptions* options : std::vector<TcxCustomGridOptions*>(FOptionsList))
    options->Notification(component, operation);
}

void TcxCustomGridView::Loaded() {
  inherited::Loaded();
  BeforeLoaded();
  if (FDataController) FDataController->Loaded();
  AfterAssignOrLoad();
}

TDragMode TcxCustomGridView::GetDragMode() const { return GetSite() ? GetSite()->GetDragMode() : dmManual; }

void TcxCustomGridView::SetDragMode(TDragMode value) {
  if (!GetSite() || GetDragMode() == value) return;
  GetSite()->SetDragMode(value);
  Changed(vcProperty);
}

TComponent* TcxCustomGridView::GetPopupMenu() const { return GetSite() ? GetSite()->GetPopupMenuValue() : nullptr; }

void TcxCustomGridView::SetPopupMenu(TComponent* value) {
  if (!GetSite() || GetPopupMenu() == value) return;
  GetSite()->SetPopupMenu(value);
  Changed(vcProperty);
}

Boolean TcxCustomGridView::GetSynchronization() const {
  if (FPatternGridView && FPatternGridView != this) return FPatternGridView->FSynchronization;
  return FSynchronization;
}

void TcxCustomGridView::SetSynchronization(Boolean value) {
  if (FPatternGridView || FSynchronization == value) return;
  FSynchronization = value;
  if (value)
    SynchronizeClones(true);
  else
    FSynchronizationNeeded = false;
}

namespace {

template <class TEvent>
Boolean SameCode(const TEvent& a, const TEvent& b) {
  return a == b;
}

}  // namespace

#define ORV_VIEW_EVENT(Type, Name)                                        \
  Type TcxCustomGridView::Get##Name() const {                             \
    return GetSite() ? GetSite()->Get##Name() : Type();                   \
  }                                                                       \
  void TcxCustomGridView::Set##Name(const Type& value) {                  \
    if (!GetSite() || SameCode(GetSite()->Get##Name(), value)) return;    \
    GetSite()->Set##Name(value);                                          \
    Changed(vcProperty);                                                  \
  }

ORV_VIEW_EVENT(TNotifyEvent, OnDblClick)
ORV_VIEW_EVENT(TDragDropEvent, OnDragDrop)
ORV_VIEW_EVENT(TDragOverEvent, OnDragOver)
ORV_VIEW_EVENT(TEndDragEvent, OnEndDrag)
ORV_VIEW_EVENT(TKeyEvent, OnKeyDown)
ORV_VIEW_EVENT(TKeyPressEvent, OnKeyPress)
ORV_VIEW_EVENT(TKeyEvent, OnKeyUp)
ORV_VIEW_EVENT(TMouseEvent, OnMouseDown)
ORV_VIEW_EVENT(TNotifyEvent, OnMouseEnter)
ORV_VIEW_EVENT(TNotifyEvent, OnMouseLeave)
ORV_VIEW_EVENT(TMouseMoveEvent, OnMouseMove)
ORV_VIEW_EVENT(TMouseEvent, OnMouseUp)
ORV_VIEW_EVENT(TMouseWheelEvent, OnMouseWheel)
ORV_VIEW_EVENT(TMouseWheelUpDownEvent, OnMouseWheelDown)
ORV_VIEW_EVENT(TMouseWheelUpDownEvent, OnMouseWheelUp)
ORV_VIEW_EVENT(TStartDragEvent, OnStartDrag)

#undef ORV_VIEW_EVENT

#define ORV_OWN_EVENT(Type, Name)                              \
  void TcxCustomGridView::Set##Name(const Type& value) {       \
    if (F##Name == value) return;                              \
    F##Name = value;                                           \
    Changed(vcProperty);                                       \
  }

ORV_OWN_EVENT(TNotifyEvent, OnCustomization)
ORV_OWN_EVENT(TcxGridViewGetStoredPropertiesEvent, OnGetStoredProperties)
ORV_OWN_EVENT(TcxGridViewGetStoredPropertyValueEvent, OnGetStoredPropertyValue)
ORV_OWN_EVENT(TcxGridInitStoredObjectEvent, OnInitStoredObject)
ORV_OWN_EVENT(TcxGridViewSetStoredPropertyValueEvent, OnSetStoredPropertyValue)

#undef ORV_OWN_EVENT

// ---- Update lock and changes ----

void TcxCustomGridView::BeginUpdate() {
  if (TcxCustomGrid* grid = GetControlGrid()) grid->BeginUpdate();
  ++FUpdateLockCount;
  if (FDataController) FDataController->LockUpdate();
}

void TcxCustomGridView::EndUpdate() {
  try {
    if (FDataController) FDataController->UnlockUpdate();
    if (IsUpdateLocked()) {
      if (FUpdateLockCount == 1 && FSynchronizationNeeded) SynchronizeClones(false);
      --FUpdateLockCount;
    }
    if (!IsUpdateLocked()) RunPostponedWork();
  } catch (...) {
    if (TcxCustomGrid* grid = GetControlGrid()) grid->EndUpdate();
    throw;
  }
  if (TcxCustomGrid* grid = GetControlGrid()) grid->EndUpdate();
}

void TcxCustomGridView::CancelUpdate() {
  try {
    if (FDataController) FDataController->UnlockUpdate();
    if (IsUpdateLocked()) {
      --FUpdateLockCount;
      if (FUpdateLockCount == 0) FSynchronizationNeeded = false;
    }
  } catch (...) {
    if (TcxCustomGrid* grid = GetControlGrid()) grid->CancelUpdate();
    throw;
  }
  if (TcxCustomGrid* grid = GetControlGrid()) grid->CancelUpdate();
}

void TcxCustomGridView::Changed(TcxGridViewChangeKind changeKind) {
  if (FDataController && FDataController->IsProviderLocked()) return;
  BeginUpdate();
  try {
    if (changeKind == vcLayout) LayoutChanged(true);
    if (changeKind == vcSize) SizeChanged(false, false);
    SynchronizeClones(true);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  DoChanged(changeKind);
}

Boolean TcxCustomGridView::AddChange(TcxCustomGridViewChange* change) {
  if (IsLoading() || IsDestroying() || !FViewInfo || FViewInfo->GetIsCalculating()) {
    change->Free();
    return false;
  }
  if (TcxCustomGrid* grid = GetControlGrid()) {
    grid->AddChange(change);
  } else {
    std::unique_ptr<TcxCustomGridViewChange, orv::FreeDeleter> holder(change);
    change->SetControl(nullptr);
    change->Run();
  }
  return true;
}

void TcxCustomGridView::LayoutChanged(Boolean viewOnly) { AddChange(new TcxGridLayoutChange(viewOnly ? this : nullptr)); }

void TcxCustomGridView::SizeChanged(Boolean viewOnly, Boolean partialReset) {
  AddChange(new TcxGridSizeChange(this, viewOnly || !GetControlGrid(), partialReset));
}

void TcxCustomGridView::ViewChanged() { AddChange(new TcxGridViewChange(this)); }

void TcxCustomGridView::ViewChanged(const TRect& rect) {
  if (RectIsEmpty(rect)) return;
  AddChange(new TcxGridViewChange(this, rect));
}

void TcxCustomGridView::ViewChanged(TcxRegion* region) { AddChange(new TcxGridViewChange(this, region)); }

void TcxCustomGridView::RefreshAll(Boolean layout) {
  if (IsPattern()) {
    for (TcxCustomGridView* clone : std::vector<TcxCustomGridView*>(FClones)) clone->RefreshAll(layout);
    return;
  }
  if (layout)
    LayoutChanged(true);
  else
    ViewChanged();
}

void TcxCustomGridView::RefreshCustomization() {
  if (IsUpdateLocked()) {
    FCustomizationRefreshPending = true;
    return;
  }
  FCustomizationRefreshPending = false;
  if (FController) FController->RefreshCustomizationForm();
}

void TcxCustomGridView::RefreshCustomizationForm() {
  if (IsUpdateLocked()) {
    FCustomizationFormRefreshPending = true;
    return;
  }
  FCustomizationFormRefreshPending = false;
  if (FController) FController->RefreshCustomizationForm();
}

void TcxCustomGridView::RunPostponedWork() {
  if (FCustomizationRefreshPending) RefreshCustomization();
  if (FCustomizationFormRefreshPending) RefreshCustomizationForm();
}

// ---- Master and detail ----

Boolean TcxCustomGridView::IsPattern() { return FDataController && FDataController->IsDetailTemplate(); }

Boolean TcxCustomGridView::IsDetail() { return FDataController && FDataController->IsDetailMode(); }

TcxCustomGridView* TcxCustomGridView::MasterGridView() {
  if (!IsDetail()) return nullptr;
  TcxCustomDataController* master = FDataController->GetMasterDataController();
  return master ? dynamic_cast<TcxCustomGridView*>(master->GetOwnerComponent()) : nullptr;
}

Integer TcxCustomGridView::MasterRecordIndex() { return FDataController ? FDataController->GetMasterRecordIndex() : -1; }

Integer TcxCustomGridView::MasterGridRecordIndex() {
  const Integer recordIndex = MasterRecordIndex();
  TcxCustomGridView* master = MasterGridView();
  if (recordIndex == -1 || !master) return -1;
  return master->GetDataController()->GetRowIndexByRecordIndex(recordIndex, false);
}

Boolean TcxCustomGridView::HasAsMaster(TcxCustomGridView* view) {
  for (TcxCustomGridView* master = MasterGridView(); master; master = master->MasterGridView())
    if (master == view) return true;
  return false;
}

TcxCustomGridView* TcxCustomGridView::PatternGridView() { return FPatternGridView ? FPatternGridView : this; }

void TcxCustomGridView::AddClone(TcxCustomGridView* view) {
  view->FPatternGridView = this;
  FClones.push_back(view);
}

void TcxCustomGridView::RemoveClone(TcxCustomGridView* view) {
  FClones.erase(std::remove(FClones.begin(), FClones.end(), view), FClones.end());
  view->FPatternGridView = nullptr;
}

Boolean TcxCustomGridView::IsSynchronizationActive() { return PatternGridView()->FSynchronization || IsDesignTime(); }

void TcxCustomGridView::SynchronizeClones(Boolean postpone) {
  if (IsLoading() || IsDestroying() || !GetControlGrid() || !IsSynchronizationActive() || FAssigningPattern ||
      FSynchronizationAssignNeeded)
    return;
  if (postpone && IsUpdateLocked()) {
    FSynchronizationNeeded = true;
    return;
  }
  if (FIsSynchronizing) return;
  FIsSynchronizing = true;
  try {
    if (IsPattern()) {
      BeginUpdate();
      try {
        for (TcxCustomGridView* clone : std::vector<TcxCustomGridView*>(FClones)) clone->SynchronizeWith(this);
      } catch (...) {
        EndUpdate();
        throw;
      }
      EndUpdate();
    } else {
      PatternGridView()->SynchronizeWith(this);
    }
  } catch (...) {
    FIsSynchronizing = false;
    FSynchronizationNeeded = false;
    throw;
  }
  FIsSynchronizing = false;
  FSynchronizationNeeded = false;
}

void TcxCustomGridView::SynchronizeWith(TcxCustomGridView* source) {
  if (!IsSynchronizationActive() || FIsSynchronizing || FAssigningPattern) return;
  if (!FOptionsBehavior->GetPostponedSynchronization() || IsPattern() || IsVisible()) {
    BeginUpdate();
    try {
      FAssigningPattern = true;
      try {
        AssignPattern(source);
      } catch (...) {
        FAssigningPattern = false;
        throw;
      }
      FAssigningPattern = false;
      if (IsPattern()) SynchronizeClones(true);
    } catch (...) {
      EndUpdate();
      FSynchronizationAssignNeeded = false;
      throw;
    }
    EndUpdate();
    FSynchronizationAssignNeeded = false;
  } else {
    FSynchronizationAssignNeeded = true;
  }
}

void TcxCustomGridView::CheckSynchronizationAssignNeeded() {
  if (!FSynchronizationAssignNeeded) return;
  BeginUpdate();
  FSynchronizationAssignNeeded = false;
  try {
    SynchronizeWith(PatternGridView());
  } catch (...) {
    CancelUpdate();
    throw;
  }
  CancelUpdate();
}

void TcxCustomGridView::Assign(TPersistent* source) {
  auto* view = dynamic_cast<TcxCustomGridView*>(source);
  if (!view) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    BeforeAssign(view);
    DoAssign(view);
    AfterAssign(view);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomGridView::BeforeAssign(TcxCustomGridView* source) {
  if (FDataController && source->FDataController) FDataController->Assign(source->FDataController);
}

void TcxCustomGridView::AfterAssign(TcxCustomGridView* source) {
  if (FDataController && source->FDataController) FDataController->Assign(source->FDataController);
}

void TcxCustomGridView::DoAssign(TcxCustomGridView* source) {
  FBackgroundBitmaps->Assign(source->FBackgroundBitmaps);
  SetDragMode(source->GetDragMode());
  FOptionsBehavior->Assign(source->FOptionsBehavior);
  FOptionsData->Assign(source->FOptionsData);
  FOptionsSelection->Assign(source->FOptionsSelection);
  FOptionsView->Assign(source->FOptionsView);
  SetPopupMenu(source->GetPopupMenu());
  FStyles->Assign(source->FStyles);
  SetSynchronization(source->GetSynchronization());
  SetOnCustomization(source->GetOnCustomization());
  SetOnDblClick(source->GetOnDblClick());
  SetOnDragDrop(source->GetOnDragDrop());
  SetOnDragOver(source->GetOnDragOver());
  SetOnEndDrag(source->GetOnEndDrag());
  SetOnGetStoredProperties(source->GetOnGetStoredProperties());
  SetOnGetStoredPropertyValue(source->GetOnGetStoredPropertyValue());
  SetOnInitStoredObject(source->GetOnInitStoredObject());
  SetOnKeyDown(source->GetOnKeyDown());
  SetOnKeyPress(source->GetOnKeyPress());
  SetOnKeyUp(source->GetOnKeyUp());
  SetOnMouseDown(source->GetOnMouseDown());
  SetOnMouseEnter(source->GetOnMouseEnter());
  SetOnMouseLeave(source->GetOnMouseLeave());
  SetOnMouseMove(source->GetOnMouseMove());
  SetOnMouseUp(source->GetOnMouseUp());
  SetOnMouseWheel(source->GetOnMouseWheel());
  SetOnMouseWheelDown(source->GetOnMouseWheelDown());
  SetOnMouseWheelUp(source->GetOnMouseWheelUp());
  SetOnSetStoredPropertyValue(source->GetOnSetStoredPropertyValue());
  SetOnStartDrag(source->GetOnStartDrag());
  AfterAssignOrLoad();
}

// ---- Visibility and focus ----

Boolean TcxCustomGridView::CanBeTabStop() { return GetControlGrid() && GetControlGrid()->GetTabStopValue(); }

Boolean TcxCustomGridView::CanCalculate() { return (IsVisible() || IsPattern()) && GetControlGrid(); }

Boolean TcxCustomGridView::IsVisibleAtLevel(Boolean levelVisible) {
  if (!levelVisible || IsPattern()) return false;
  if (!IsDetail()) return true;
  TcxCustomGridView* master = MasterGridView();
  return master && master->IsVisible() && master->IsDetailVisible(this);
}

Boolean TcxCustomGridView::IsVisible() {
  if (inherited::IsDestroying()) return false;
  auto* level = dynamic_cast<TcxGridLevel*>(FLevel);
  return IsVisibleAtLevel(level && level->IsShown());
}

Boolean TcxCustomGridView::HasFocusedControls() { return GetControlGrid() && GetControlGrid()->IsFocused(); }

Boolean TcxCustomGridView::GetIsFocused() { return GetControlGrid() && GetControlGrid()->GetFocusedView() == this; }

void TcxCustomGridView::SetFocused(Boolean value) {
  TcxCustomGrid* grid = GetControlGrid();
  if (!grid || GetIsFocused() == value) return;
  grid->SetFocusedView(value ? this : nullptr);
}

Boolean TcxCustomGridView::IsControlFocused() {
  TcxCustomGrid* grid = GetControlGrid();
  if (IsDesignTime() || !grid) return false;
  TCustomForm* form = GetParentForm(grid);
  if (form && form->GetFormStyle() == fsMDIForm) return grid->IsFocused();
  return HasFocusedControls();
}

void TcxCustomGridView::FocusedChanged(Boolean focused) {
  if (focused) {
    if (TcxCustomDataController* dataController = GetDataController()) dataController->CheckDetailDataSetCurrent();
    FController->DoFocusedChanged(true);
  } else {
    FController->FocusLost();
  }
}

void TcxCustomGridView::LookAndFeelChanged() {
  for (TcxCustomGridView* clone : std::vector<TcxCustomGridView*>(FClones)) clone->LookAndFeelChanged();
}

void TcxCustomGridView::SetLevel(TComponent* value) {
  if (FLevel == value) return;
  if (FLevel && FController) FController->LevelChanged(false);
  FLevel = value;
  if (GetSite()) {
    auto* level = dynamic_cast<TcxGridLevel*>(FLevel);
    SetSiteTabStop(level && level->IsTop());
  }
}

void TcxCustomGridView::SetSiteTabStop(Boolean value) {
  if (TcxGridSite* site = GetSite()) site->SetTabStopValue(value && CanBeTabStop());
}

void TcxCustomGridView::UpdateControl(TcxUpdateControlInfo* info) {
  if (IsLoading() || IsDestroying() || IsPattern() || !dynamic_cast<TcxDataChangedInfo*>(info)) return;
  if (IsDetail()) {
    TcxCustomGridView* master = MasterGridView();
    if (!master || master->IsUpdateLocked() || master->GetDataController()->IsUpdateLocked()) return;
    if (FPatternGridView && FPatternGridView != this) master->DetailDataChanged(this);
    return;
  }
  if (TcxCustomGrid* grid = GetControlGrid()) grid->ViewDataChanged(this);
}

void TcxCustomGridView::BoundsChanged(Boolean viewOnly, Boolean partialReset) {
  if (SizeDependsOnWidth())
    SizeChanged(viewOnly, partialReset);
  else
    LayoutChanged(viewOnly);
}

void TcxCustomGridView::RunLayoutCustomization() { FController->SetCustomization(true); }

void TcxCustomGridView::DoCustomization() { FireNotifyEvent(this, FOnCustomization); }

void TcxCustomGridView::DoInitStoredObject(TObject* object) {
  if (object && FOnInitStoredObject) FOnInitStoredObject(this, object);
}

TcxCustomGridView* TcxCustomGridView::CreateTransient(orv::ClassOf<TcxCustomGridView> viewClass, TcxCustomGrid* grid) {
  auto* view = static_cast<TcxCustomGridView*>(TcxControlChildComponent::CreateForControl(viewClass, grid, true));
  view->FTransient = true;
  return view;
}

// ---- Guards ----

TcxGridListenerLink* TcxCustomGridView::AddListenerLink() {
  auto* link = new TcxGridListenerLink(this);
  FListenerLinks.push_back(link);
  return link;
}

void TcxCustomGridView::RemoveListenerLink(TcxGridListenerLink* link) {
  FListenerLinks.erase(std::remove(FListenerLinks.begin(), FListenerLinks.end(), link), FListenerLinks.end());
  link->Clear();
}

// ---- Layout storage ----

AnsiString TcxCustomGridView::GetObjectName() {
  AnsiString name;
  GetStoredObjectName(name);
  return name;
}

void TcxCustomGridView::GetStoredObjectName(AnsiString& name) { name = FStoringName.empty() ? GetName() : FStoringName; }

Boolean TcxCustomGridView::GetStoredProperties(TStrings* properties) {
  properties->Add("Version");
  if (FOnGetStoredProperties) FOnGetStoredProperties(this, properties);
  return true;
}

void TcxCustomGridView::GetStoredPropertyValue(const AnsiString& name, Variant& value) {
  if (name == "Version") value = Variant(Integer(1));
  if (FOnGetStoredPropertyValue) FOnGetStoredPropertyValue(this, name, value);
}

void TcxCustomGridView::SetStoredPropertyValue(const AnsiString& name, const Variant& value) {
  if (name == "Version") FStoredVersion = value.AsInteger();
  if (FOnSetStoredPropertyValue) FOnSetStoredPropertyValue(this, name, value);
}

void TcxCustomGridView::DeleteStoredObject(TObject* object) { orv::Free(object); }

TObject* TcxCustomGridView::CreateStoredChild(const AnsiString& objectName, const AnsiString& className) {
  TObject* result = CreateStoredObject(objectName, className);
  if (FStoringName.empty())
    if (auto* component = dynamic_cast<TComponent*>(result)) component->SetName(objectName);
  DoInitStoredObject(result);
  return result;
}

void TcxCustomGridView::AssignLayoutInUpdate(TcxCustomGridView* layoutView) {
  BeginUpdate();
  try {
    AssignLayout(layoutView);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

// ==== Registry of view kinds ====================================================================

Integer TcxGridRegisteredViews::CompareDescriptions(Integer index1, Integer index2) const {
  const Boolean db1 = GetItemDescription(index1).rfind("DB", 0) == 0;
  const Boolean db2 = GetItemDescription(index2).rfind("DB", 0) == 0;
  if (db1 != db2) return db1 ? 1 : -1;
  return inherited::CompareDescriptions(index1, index2);
}

namespace {

struct TRegisteredViewsHolder {
  TcxGridRegisteredViews* Value = nullptr;
  ~TRegisteredViewsHolder() { FreeAndNil(Value); }
};

}  // namespace

TcxGridRegisteredViews* cxGridRegisteredViews() {
  static TRegisteredViewsHolder holder;
  if (!holder.Value) {
    holder.Value = new TcxGridRegisteredViews(true);
    holder.Value->SetSortedState(true);
  }
  return holder.Value;
}

// ==== Published properties ======================================================================

ORV_PUBLISH(TcxCustomGridView) {
  using T = TcxCustomGridView;
  p.Property("DataControllerEvents", &T::GetDataControllerEvents, &T::SetDataControllerEvents);
  p.Property("DragMode", &T::GetDragMode, &T::SetDragMode).Default(dmManual);
  p.Property("PopupMenu", &T::GetPopupMenu, &T::SetPopupMenu);
  p.Property("StylesEvents", &T::GetStylesEvents, &T::SetStylesEvents);
  p.Property("Synchronization", &T::GetSynchronization, &T::SetSynchronization).Default(true);
  p.Property("OnDblClick", &T::GetOnDblClick, &T::SetOnDblClick);
  p.Property("OnDragDrop", &T::GetOnDragDrop, &T::SetOnDragDrop);
  p.Property("OnDragOver", &T::GetOnDragOver, &T::SetOnDragOver);
  p.Property("OnEndDrag", &T::GetOnEndDrag, &T::SetOnEndDrag);
  p.Property("OnKeyDown", &T::GetOnKeyDown, &T::SetOnKeyDown);
  p.Property("OnKeyPress", &T::GetOnKeyPress, &T::SetOnKeyPress);
  p.Property("OnKeyUp", &T::GetOnKeyUp, &T::SetOnKeyUp);
  p.Property("OnMouseDown", &T::GetOnMouseDown, &T::SetOnMouseDown);
  p.Property("OnMouseEnter", &T::GetOnMouseEnter, &T::SetOnMouseEnter);
  p.Property("OnMouseLeave", &T::GetOnMouseLeave, &T::SetOnMouseLeave);
  p.Property("OnMouseMove", &T::GetOnMouseMove, &T::SetOnMouseMove);
  p.Property("OnMouseUp", &T::GetOnMouseUp, &T::SetOnMouseUp);
  p.Property("OnMouseWheel", &T::GetOnMouseWheel, &T::SetOnMouseWheel);
  p.Property("OnMouseWheelDown", &T::GetOnMouseWheelDown, &T::SetOnMouseWheelDown);
  p.Property("OnMouseWheelUp", &T::GetOnMouseWheelUp, &T::SetOnMouseWheelUp);
  p.Property("OnStartDrag", &T::GetOnStartDrag, &T::SetOnStartDrag);
  p.Property("OnGetStoredProperties", &T::GetOnGetStoredProperties, &T::SetOnGetStoredProperties);
  p.Property("OnGetStoredPropertyValue", &T::GetOnGetStoredPropertyValue, &T::SetOnGetStoredPropertyValue);
  p.Property("OnSetStoredPropertyValue", &T::GetOnSetStoredPropertyValue, &T::SetOnSetStoredPropertyValue);
}

ORV_PUBLISH(TcxCustomGridBackgroundBitmaps) {
  using T = TcxCustomGridBackgroundBitmaps;
  p.Property("Background", &T::GetBackground, &T::SetBackground);
}

ORV_PUBLISH(TcxCustomGridOptionsBehavior) {
  using T = TcxCustomGridOptionsBehavior;
  p.Property("PostponedSynchronization", &T::GetPostponedSynchronization, &T::SetPostponedSynchronization).Default(true);
}

ORV_PUBLISH(TcxCustomGridViewStyles) {
  using T = TcxCustomGridViewStyles;
  p.Property("Background", &T::GetBackground, &T::SetBackground);
}
