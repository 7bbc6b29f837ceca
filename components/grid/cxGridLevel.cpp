#include "components/grid/cxGridLevel.h"

#include <algorithm>

#include "components/foundation/cxControls.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomView.h"
#include "platform/forms/Published.h"

// ==== Options ===================================================================================

TcxGridLevelOptions::TcxGridLevelOptions(TcxGridLevel* level) : FLevel(level) {}

TPersistent* TcxGridLevelOptions::GetOwner() { return FLevel; }

void TcxGridLevelOptions::Assign(TPersistent* source) {
  auto* options = dynamic_cast<TcxGridLevelOptions*>(source);
  if (!options) {
    inherited::Assign(source);
    return;
  }
  SetDetailFrameColor(options->GetDetailFrameColor());
  SetDetailFrameWidth(options->GetDetailFrameWidth());
  SetDetailTabsPosition(options->GetDetailTabsPosition());
  SetTabsForEmptyDetails(options->GetTabsForEmptyDetails());
}

void TcxGridLevelOptions::Changed(Boolean sizeChanged) {
  if (FLevel) FLevel->Changed(sizeChanged);
}

void TcxGridLevelOptions::SetDetailFrameColor(TColor value) {
  if (FDetailFrameColor == value) return;
  FDetailFrameColor = value;
  Changed(false);
}

void TcxGridLevelOptions::SetDetailFrameWidth(Integer value) {
  if (value < 0) value = 0;
  if (FDetailFrameWidth == value) return;
  FDetailFrameWidth = value;
  Changed(true);
}

void TcxGridLevelOptions::SetDetailTabsPosition(TcxGridDetailTabsPosition value) {
  if (FDetailTabsPosition == value) return;
  FDetailTabsPosition = value;
  Changed(true);
}

void TcxGridLevelOptions::SetTabsForEmptyDetails(Boolean value) {
  if (FTabsForEmptyDetails == value) return;
  FTabsForEmptyDetails = value;
  Changed(true);
}

TColor TcxGridLevelOptions::GetDetailFrameColorValue() const {
  if (FDetailFrameColor != clDefault) return FDetailFrameColor;
  TcxCustomGrid* grid = FLevel ? FLevel->GetControl() : nullptr;
  const TcxCustomLookAndFeelPainterClass painter =
      grid ? grid->GetPainter() : TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass());
  return painter->DefaultDetailFrameColor();
}

// ==== Styles ====================================================================================

TcxGridLevel* TcxGridLevelStyles::GetLevel() const {
  return dynamic_cast<TcxGridLevel*>(const_cast<TcxGridLevelStyles*>(this)->GetOwner());
}

void TcxGridLevelStyles::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* styles = dynamic_cast<TcxGridLevelStyles*>(source)) {
    SetTab(styles->GetTab());
    SetTabsBackground(styles->GetTabsBackground());
    SetOnGetOwnTabStyle(styles->GetOnGetOwnTabStyle());
    SetOnGetTabStyle(styles->GetOnGetTabStyle());
  }
}

void TcxGridLevelStyles::SetOnGetOwnTabStyle(const TcxGridLevelGetOwnTabStyleEvent& value) {
  if (FOnGetOwnTabStyle == value) return;
  FOnGetOwnTabStyle = value;
  if (TcxGridLevel* level = GetLevel()) level->Changed(true);
}

void TcxGridLevelStyles::SetOnGetTabStyle(const TcxGridLevelGetTabStyleEvent& value) {
  if (FOnGetTabStyle == value) return;
  FOnGetTabStyle = value;
  if (TcxGridLevel* level = GetLevel()) level->Changed(true);
}

void TcxGridLevelStyles::GetDefaultStyleParams(Integer index, TObject* data, TcxViewParams& params) {
  inherited::GetDefaultStyleParams(index, data, params);
  TcxGridLevel* level = GetLevel();
  TcxCustomGrid* grid = level ? level->GetControl() : nullptr;
  if (grid) params.Font = grid->GetFont();
  const TcxCustomLookAndFeelPainterClass painter =
      grid ? grid->GetPainter() : TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass());
  if (index == lsTab) {
    params.Color = painter->DefaultTabColor();
    params.TextColor = painter->DefaultTabTextColor();
  } else if (index == lsTabsBackground) {
    params.Color = clDefault;
  }
}

void TcxGridLevelStyles::StyleChanged(Integer index) {
  inherited::StyleChanged(index);
  if (TcxGridLevel* level = GetLevel()) level->Changed(true);
}

void TcxGridLevelStyles::GetTabParams(TcxCustomGridRecord* masterRecord, TcxGridLevel* tabLevel, TcxViewParams& params) {
  TcxStyle* style = nullptr;
  if (FOnGetTabStyle) FOnGetTabStyle(GetLevel(), tabLevel, style);
  if (tabLevel) {
    const TcxGridLevelGetOwnTabStyleEvent& own = tabLevel->GetStyles()->GetOnGetOwnTabStyle();
    if (own) own(tabLevel, masterRecord, style);
  }
  ResolveStyleParams(lsTab, nullptr, style, params);
}

// ==== Level =====================================================================================

TcxGridLevel::TcxGridLevel(TComponent* owner) : TcxComponent(owner) {}

TcxGridLevelOptions* TcxGridLevel::GetOptions() const {
  if (!FOptions) FOptions = const_cast<TcxGridLevel*>(this)->GetOptionsClass().Create(const_cast<TcxGridLevel*>(this));
  return FOptions;
}

TcxGridLevelStyles* TcxGridLevel::GetStyles() const {
  if (!FStyles) FStyles = const_cast<TcxGridLevel*>(this)->GetStylesClass().Create(const_cast<TcxGridLevel*>(this));
  return FStyles;
}

void TcxGridLevel::BeforeDestruction() {
  Destroying();
  for (std::size_t i = FItems.size(); i > 0; i = std::min(i - 1, FItems.size())) {
    TcxGridLevel* child = FItems[i - 1];
    DetachChild(child);
    child->Free();
  }
  SetGridView(nullptr);
  if (FParent) FParent->DetachChild(this);
  inherited::BeforeDestruction();
}

TcxGridLevel::~TcxGridLevel() {
  orv::Free(FStyles);
  orv::Free(FOptions);
}

void TcxGridLevel::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FGridView) FGridView = nullptr;
}

Integer TcxGridLevel::GetIndex() const {
  if (!FParent) return -1;
  auto it = std::find(FParent->FItems.begin(), FParent->FItems.end(), this);
  return it == FParent->FItems.end() ? -1 : Integer(it - FParent->FItems.begin());
}

void TcxGridLevel::SetIndex(Integer value) {
  if (FParent) FParent->SetChildIndex(this, value);
}

Boolean TcxGridLevel::IsRoot() const {
  return FControl && static_cast<const TcxGridLevel*>(FControl->GetRootLevel()) == this;
}

Boolean TcxGridLevel::IsTop() const { return FParent && FParent->IsRoot(); }

Boolean TcxGridLevel::IsActive() const { return FControl && FControl->GetActiveLevel() == this; }

Boolean TcxGridLevel::IsShown() const {
  if (IsRoot()) return true;
  if (!FVisible || !FParent) return false;
  if (IsTop() && !IsActive()) return false;
  return FParent->IsShown();
}

Boolean TcxGridLevel::AreParentsVisible() const { return FVisible && (!FParent || FParent->AreParentsVisible()); }

TcxGridLevel* TcxGridLevel::Add() {
  // The root level has no owner: its children belong to the grid's owner, like the views.
  TComponent* owner = GetOwner() ? GetOwner() : (FControl ? FControl->GetOwner() : nullptr);
  TcxGridLevel* child = GetChildLevelClass().Create(owner);
  AttachChild(child);
  return child;
}

void TcxGridLevel::SetControl(TcxCustomGrid* value) {
  FControl = value;
  for (TcxGridLevel* child : FItems) child->SetControl(value);
}

void TcxGridLevel::RefreshVisibleItems() {
  FVisibleItems.clear();
  for (TcxGridLevel* child : FItems)
    if (child->FVisible) FVisibleItems.push_back(child);
}

void TcxGridLevel::AttachChild(TcxGridLevel* child) {
  if (!child || child->FParent == this) return;
  if (child->FParent) child->FParent->DetachChild(child);
  if (FControl) FControl->BeginUpdate();
  try {
    FItems.push_back(child);
    child->SetControl(FControl);
    child->FParent = this;
    RefreshVisibleItems();
    CreateChildRelation(child);
    if (IsRoot() && FControl && !FControl->GetActiveLevel()) FControl->SetActiveLevel(nullptr);
    Changed(true);
  } catch (...) {
    if (FControl) FControl->EndUpdate();
    throw;
  }
  if (FControl) FControl->EndUpdate();
}

void TcxGridLevel::DetachChild(TcxGridLevel* child) {
  auto it = std::find(FItems.begin(), FItems.end(), child);
  if (it == FItems.end()) return;
  TcxCustomGrid* grid = FControl;
  if (grid) grid->BeginUpdate();
  try {
    FItems.erase(it);
    RefreshVisibleItems();
    child->FParent = nullptr;
    DestroyChildRelation(child);
    if (grid && grid->GetActiveLevel() == child) grid->SetActiveLevel(nullptr);
    child->SetControl(nullptr);
    Changed(true);
  } catch (...) {
    if (grid) grid->EndUpdate();
    throw;
  }
  if (grid) grid->EndUpdate();
}

void TcxGridLevel::SetChildIndex(TcxGridLevel* child, Integer index) {
  auto it = std::find(FItems.begin(), FItems.end(), child);
  if (it == FItems.end()) return;
  index = std::clamp(index, 0, GetCount() - 1);
  const Integer old = Integer(it - FItems.begin());
  if (old == index) return;
  FItems.erase(it);
  FItems.insert(FItems.begin() + index, child);
  RefreshVisibleItems();
  if (FGridView && child->FDataRelation && FGridView->GetDataController())
    FGridView->GetDataController()->GetRelationList()->Move(child->FDataRelation->GetIndex(), index);
  Changed(true);
}

void TcxGridLevel::SetActive(Boolean value) {
  if (IsActive() == value || !FControl) return;
  if (value) {
    if (IsTop()) FControl->SetActiveLevel(this);
  } else {
    FControl->SetActiveLevel(nullptr);
  }
}

AnsiString TcxGridLevel::GetDisplayCaption() {
  AnsiString text;
  GetDisplayCaption(text);
  return text;
}

void TcxGridLevel::GetDisplayCaption(AnsiString& text) { text = StripAccelChars(FCaption); }

void TcxGridLevel::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  FCaption = value;
  Changed(true);
}

void TcxGridLevel::SetImageIndex(Integer value) {
  if (value < -1) value = -1;
  if (FImageIndex == value) return;
  FImageIndex = value;
  Changed(true);
}

void TcxGridLevel::SetMaxDetailHeight(Integer value) {
  if (value < 0) value = 0;
  if (FMaxDetailHeight == value) return;
  FMaxDetailHeight = value;
  Changed(true);
}

void TcxGridLevel::SetGridView(TcxCustomGridView* value) {
  if (FGridView == value) return;
  if (value)
    if (auto* other = dynamic_cast<TcxGridLevel*>(value->GetLevel()); other && other != this) other->SetGridView(nullptr);
  TcxCustomGridView* old = FGridView;
  Boolean oldFocused = false;
  if (old) {
    oldFocused = old->GetIsFocused();
    old->BeginUpdate();
    try {
      for (TcxGridLevel* child : FItems) DestroyChildRelation(child);
    } catch (...) {
      old->CancelUpdate();
      throw;
    }
    old->CancelUpdate();
    old->RemoveFreeNotification(this);
    old->SetLevel(nullptr);
  }
  TcxCustomGrid* grid = FControl;
  const Boolean gridHadFocusedView = grid && grid->GetFocusedView();
  FGridView = value;
  if (FGridView) {
    FGridView->FreeNotification(this);
    if (grid && FGridView->GetControl() != grid) FGridView->SetControl(grid);
  }
  if (FParent) FParent->RefreshVisibleItems();
  if (FGridView) {
    FGridView->BeginUpdate();
    try {
      if (old && old->GetDataController()) old->GetDataController()->AttachAsDetailTemplate(nullptr, true);
      FGridView->SetLevel(this);
      UpdateViewRelation(FVisible, !IsTop());
      for (TcxGridLevel* child : FItems) CreateChildRelation(child);
      Changed(false);
    } catch (...) {
      FGridView->EndUpdate();
      throw;
    }
    FGridView->EndUpdate();
    if ((!gridHadFocusedView && !old) || oldFocused) FGridView->SetFocused(true);
  } else if (old && !old->IsDestroying()) {
    if (old->GetDataController()) old->GetDataController()->AttachAsDetailTemplate(nullptr, true);
    old->SetFocused(false);
  }
  if (old && !old->IsDestroying() && old->GetStorageControl() && old->GetControl() != old->GetStorageControl())
    old->SetControl(old->GetStorageControl());
}

void TcxGridLevel::SetVisible(Boolean value) {
  if (FVisible == value) return;
  FVisible = value;
  if (value && FGridView) UpdateViewRelation(true, !IsTop());
  if (FParent) FParent->VisibleChildChanged(this);
  if (!value)
    SetActive(false);
  else if (FControl && !FControl->GetActiveLevel())
    SetActive(true);
  Changed(true);
  if (FControl) FControl->CheckFocusedView();
  if (!value && FGridView) UpdateViewRelation(false, !IsTop());
}

void TcxGridLevel::VisibleChildChanged(TcxGridLevel* child) {
  const Integer oldCount = GetVisibleCount();
  RefreshVisibleItems();
  if (FGridView) FGridView->DataControllerNotification(child, oldCount, GetVisibleCount());
}

void TcxGridLevel::Changed(Boolean sizeChanged) {
  if (!FControl) return;
  if (sizeChanged)
    FControl->SizeChanged();
  else
    FControl->LayoutChanged();
}

void TcxGridLevel::CheckHeight(Integer& height) {
  if (height < 0) height = 0;
  if (FMaxDetailHeight != 0 && FMaxDetailHeight < height) height = FMaxDetailHeight;
}

orv::ClassOf<TcxGridLevel> TcxGridLevel::GetChildLevelClass() { return TcxGridLevel::StaticClass(); }
TcxGridLevelOptionsClass TcxGridLevel::GetOptionsClass() { return TcxGridLevelOptions::StaticClass(); }
TcxGridLevelStylesClass TcxGridLevel::GetStylesClass() { return TcxGridLevelStyles::StaticClass(); }

// A child level's views are attached through a relation of this level's view's data controller.
void TcxGridLevel::CreateChildRelation(TcxGridLevel* child) {
  if (!FGridView || !FGridView->GetDataController()) return;
  FreeAndNil(child->FDataRelation);
  child->FDataRelation = FGridView->GetDataController()->GetRelationList()->Add(child);
  if (TcxCustomGridView* view = child->FGridView)
    if (TcxCustomDataController* controller = view->GetDataController())
      controller->AttachAsDetailTemplate(child->FDataRelation, controller->IsDetailTemplate());
}

void TcxGridLevel::DestroyChildRelation(TcxGridLevel* child) { FreeAndNil(child->FDataRelation); }

void TcxGridLevel::UpdateViewRelation(Boolean visible, Boolean isTemplate) {
  TcxCustomDataController* controller = FGridView ? FGridView->GetDataController() : nullptr;
  if (!controller) return;
  if (visible)
    controller->AttachAsDetailTemplate(FDataRelation, isTemplate);
  else
    controller->AttachAsDetailTemplate(nullptr, true);
}

TcxCustomGridRecord* TcxGridLevel::GetMasterRecord(TcxCustomGridView* masterView, Integer masterRecordIndex) {
  // Records are the table views'; the base has none to hand out.
  return nullptr;
}

TcxCustomGridView* TcxGridLevel::CreateDetailView(TcxCustomDataRelation* relation, Integer masterRecordIndex) {
  TcxCustomGridView* pattern = FGridView;
  if (FOnGetGridView) {
    TcxCustomGridView* master = FParent ? FParent->GetGridView() : nullptr;
    FOnGetGridView(this, GetMasterRecord(master, masterRecordIndex), pattern);
  }
  if (!pattern || !FVisible || !FControl) return nullptr;
  TcxCustomGridView* clone = TcxCustomGridView::CreateTransient(pattern->ClassType(), FControl);
  clone->BeginUpdate();
  try {
    clone->AssignPattern(pattern);
    TcxCustomDataRelationList* relations = clone->GetDataController()->GetRelationList();
    relations->BeginUpdate();
    try {
      relations->Assign(pattern->GetDataController()->GetRelationList());
    } catch (...) {
      relations->EndUpdate();
      throw;
    }
    relations->EndUpdate();
    // The clone shows real data of one master record: it stops being the template it was made as.
    clone->GetDataController()->AttachAsDetailTemplate(nullptr, false);
    clone->GetDataController()->SetMasterRelation(relation, masterRecordIndex);
    clone->SetLevel(this);
  } catch (...) {
    clone->CancelUpdate();
    clone->Free();
    throw;
  }
  clone->CancelUpdate();
  pattern->AddClone(clone);
  return clone;
}

// ---- Streaming ----

TComponent* TcxGridLevel::GetParentComponent() const {
  if (!FParent) return nullptr;
  if (FParent->IsRoot()) return FControl;
  return FParent;
}

void TcxGridLevel::SetParentComponent(TComponent* value) {
  if (auto* grid = dynamic_cast<TcxCustomGrid*>(value))
    grid->GetRootLevel()->AttachChild(this);
  else if (auto* level = dynamic_cast<TcxGridLevel*>(value))
    level->AttachChild(this);
}

void TcxGridLevel::GetChildren(TGetChildProc proc, TComponent* root) {
  inherited::GetChildren(proc, root);
  for (TcxGridLevel* child : std::vector<TcxGridLevel*>(FItems))
    if (child->GetOwner() == root) proc(child);
}

void TcxGridLevel::SetChildOrder(TComponent* child, Integer order) {
  if (auto* level = dynamic_cast<TcxGridLevel*>(child)) SetChildIndex(level, order);
}

// ==== Published properties ======================================================================

namespace {

const orv::EnumNames<TcxGridDetailTabsPosition> kDetailTabsPositionNames("TcxGridDetailTabsPosition",
                                                                         {"dtpNone", "dtpLeft", "dtpTop"});

}  // namespace

ORV_PUBLISH(TcxGridLevelOptions) {
  using T = TcxGridLevelOptions;
  p.Property("DetailFrameColor", &T::GetDetailFrameColor, &T::SetDetailFrameColor).Default(clDefault).Kind("TColor");
  p.Property("DetailFrameWidth", &T::GetDetailFrameWidth, &T::SetDetailFrameWidth).Default(1);
  p.Property("DetailTabsPosition", &T::GetDetailTabsPosition, &T::SetDetailTabsPosition).Default(dtpNone);
  p.Property("TabsForEmptyDetails", &T::GetTabsForEmptyDetails, &T::SetTabsForEmptyDetails).Default(true);
}

ORV_PUBLISH(TcxGridRootLevelOptions) {
  using T = TcxGridRootLevelOptions;
  p.Property("DetailFrameWidth", &T::GetDetailFrameWidth, &T::SetDetailFrameWidth).Default(0);
}

ORV_PUBLISH(TcxGridLevelStyles) {
  using T = TcxGridLevelStyles;
  p.Property("Tab", &T::GetTab, &T::SetTab);
  p.Property("TabsBackground", &T::GetTabsBackground, &T::SetTabsBackground);
  p.Property("OnGetOwnTabStyle", &T::GetOnGetOwnTabStyle, &T::SetOnGetOwnTabStyle);
  p.Property("OnGetTabStyle", &T::GetOnGetTabStyle, &T::SetOnGetTabStyle);
}

ORV_PUBLISH(TcxGridLevel) {
  using T = TcxGridLevel;
  p.Property("Caption", &T::GetCaption, &T::SetCaption);
  p.Property("GridView", &T::GetGridView, &T::SetGridView);
  p.Property("ImageIndex", &T::GetImageIndex, &T::SetImageIndex).Default(-1);
  p.Property("MaxDetailHeight", &T::GetMaxDetailHeight, &T::SetMaxDetailHeight).Default(0);
  p.Property("Options", &T::GetOptions);
  p.Property("Styles", &T::GetStyles, &T::SetStyles);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(true);
  p.Property("StylesEvents", &T::GetStylesEvents, &T::SetStylesEvents);
  p.Property("OnGetGridView", &T::GetOnGetGridView, &T::SetOnGetGridView);
}
