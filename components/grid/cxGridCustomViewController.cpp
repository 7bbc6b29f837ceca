// The view framework's input side: the controller base with its hints and customization form,
// the design controllers, the internal drag-and-drop base and the cells' drop-down window.
#include <algorithm>
#include <memory>

#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomView.h"
#include "components/grid/cxGridLevel.h"
#include "platform/controls/Forms.h"
#include "platform/windowing/User.h"

// ==== Design controllers ========================================================================

// The design environment's companion object does not exist here: nothing is ever selected.
Boolean TcxCustomGridDesignController::IsObjectSelected(TObject* object) { return false; }
void TcxCustomGridDesignController::SelectObject(TObject* object, Boolean clearSelection) {}
void TcxCustomGridDesignController::SelectObjects(TList* objects) {}
void TcxCustomGridDesignController::UnselectObject(TObject* object) {}

TcxCustomGrid* TcxGridViewDesignController::GetControl() { return FController->GetControl(); }

TObject* TcxGridViewDesignController::GetDesignObject(TObject* object) {
  if (FController->GetGridView()->IsPattern()) return object;
  return FController->GetDesignObject(object);
}

// ==== Controller ================================================================================

void TcxCustomGridController::BeforeDestruction() {
  HideHint();
  inherited::BeforeDestruction();
}

TcxCustomGridController::~TcxCustomGridController() {
  orv::Free(FHintWindow);
  orv::Free(FDesignController);
  orv::Free(FHintCheckTimer);
  if (FCustomizationForm) {
    TCustomForm* form = FCustomizationForm;
    FCustomizationForm = nullptr;
    form->Free();
  }
}

Boolean TcxCustomGridController::PtInCaller(const TPoint& point) {
  if (auto* cell = dynamic_cast<TcxCustomGridViewCellViewInfo*>(FHintCellViewInfo)) return cell->IsPointInHintArea(point);
  TRect bounds = FHintAreaBounds;
  if (RectIsEmpty(bounds) && GetSite()) bounds = GetSite()->GetBounds();
  return IsPointInRect(bounds, point);
}

void TcxCustomGridController::AfterPaint() {
  if (IsDragAndDropRunning())
    if (TcxCustomGridDragAndDropObject* object = DragAndDropObject()) object->AfterPaint();
}

void TcxCustomGridController::BeforePaint() {
  if (IsDragAndDropRunning())
    if (TcxCustomGridDragAndDropObject* object = DragAndDropObject()) object->BeforePaint();
}

Boolean TcxCustomGridController::CanHandleHitTest(TcxCustomGridHitTest* hitTest) {
  auto* viewHitTest = dynamic_cast<TcxCustomGridViewHitTest*>(hitTest);
  return !viewHitTest || viewHitTest->GetGridView() == GetGridView();
}

void TcxCustomGridController::DoFocusedChanged(Boolean value) {
  FIsFocusing = true;
  try {
    FocusedChanged(value);
  } catch (...) {
    FIsFocusing = false;
    throw;
  }
  FIsFocusing = false;
}

TcxGridViewDesignControllerClass TcxCustomGridController::GetDesignControllerClass() {
  return TcxGridViewDesignController::StaticClass();
}

Boolean TcxCustomGridController::IsDesignHitTest(TcxCustomGridHitTest* hitTest) {
  return hitTest && (hitTest->DragAndDropObjectClass() || hitTest->GetHitTestCode() == htDesignSelector);
}

TObject* TcxCustomGridController::GetDesignObject(TObject* object) {
  if (auto* view = dynamic_cast<TcxCustomGridView*>(object)) return view->PatternGridView();
  if (auto* item = dynamic_cast<TcxDataSummaryItem*>(object)) {
    TcxCustomGridView* pattern = GetGridView()->PatternGridView();
    if (pattern == GetGridView() || !item->GetCollection()) return object;
    // The item at the same index of the pattern's corresponding summary collection.
    TcxDataSummary* own = GetDataController()->GetSummary();
    TcxDataSummary* theirs = pattern->GetDataController()->GetSummary();
    if (item->GetCollection() == own->GetFooterSummaryItems())
      return theirs->GetFooterSummaryItems()->GetItem(item->GetIndex());
    if (item->GetCollection() == own->GetDefaultGroupSummaryItems())
      return theirs->GetDefaultGroupSummaryItems()->GetItem(item->GetIndex());
    return object;
  }
  return object;
}

void TcxCustomGridController::RefreshCustomizationForm() {
  // The table views' customization forms refresh their item lists here.
}

void TcxCustomGridController::FocusedChanged(Boolean value) {
  GetGridView()->SetSiteTabStop(true);
  GetViewInfo()->UpdateVisibility(true);
  TcxCustomGrid* grid = GetControl();
  TcxGridSite* site = GetSite();
  if (grid && site && grid->IsFocused() && site->CanFocusWithParentForm()) site->SetFocus();
  if (value && GetGridView()->IsDetail())
    if (TcxCustomGridView* master = GetGridView()->MasterGridView()) master->GetController()->DetailFocused(GetGridView());
}

void TcxCustomGridController::FocusLost() {
  BeforeKillFocus();
  GetGridView()->SetSiteTabStop(false);
  if (!GetGridView()->IsVisible() && GetSite()) GetSite()->SetParent(nullptr);
}

void TcxCustomGridController::LevelChanged(Boolean attached) {
  if (!attached) SetCustomization(false);
}

void TcxCustomGridController::SetCustomization(Boolean value) {
  if (value && (GetGridView()->IsPattern() || !GetSite() || !GetSite()->HandleAllocated())) return;
  if (FCustomization == value) return;
  FCustomization = value;
  CustomizationChanged();
}

void TcxCustomGridController::CustomizationChanged() {
  if (FCustomization) {
    FCustomizationForm = CreateCustomizationForm();
    if (FCustomizationForm) {
      TRect bounds;
      GetCustomizationFormBounds(bounds);
      FCustomizationForm->SetBoundsRect(bounds);
      FCustomizationForm->Show();
    }
  } else if (FCustomizationForm) {
    TCustomForm* form = FCustomizationForm;
    FCustomizationForm = nullptr;
    if (!form->GetComponentState().Contains(csDestroying)) form->Free();
  }
  if (TcxCustomGrid* grid = GetControl()) grid->NotifyListeners(gnkCustomization, GetGridView());
  GetGridView()->DoCustomization();
}

void TcxCustomGridController::CustomizationFormDestroying() {
  FCustomizationForm = nullptr;
  SetCustomization(false);
}

Boolean TcxCustomGridController::IsPointInCustomizationForm(const TPoint& screenPoint) {
  return FCustomizationForm && FCustomizationForm->HandleAllocated() &&
         IsPointInRect(SafeGetWindowRect(FCustomizationForm->GetHandle()), screenPoint);
}

void TcxCustomGridController::GetCustomizationFormBounds(TRect& rect) {
  TcxGridSite* site = GetSite();
  TPoint corner;
  if (site) {
    const TRect client = site->GetClientRect();
    corner = site->ClientToScreen(TPoint{client.Right, client.Bottom});
  }
  rect = TRect{corner.X - GetCustomizationFormDefaultWidth(), corner.Y - GetCustomizationFormDefaultHeight(),
               corner.X, corner.Y};
  CheckCustomizationFormBounds(rect);
}

void TcxCustomGridController::ControlFocusChanged() { GetViewInfo()->ControlFocusChanged(); }

TCursor TcxCustomGridController::GetCursor(Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(x, y);
  if (hitTest && CanHandleHitTest(hitTest)) return hitTest->Cursor();
  return crDefault;
}

Boolean TcxCustomGridController::StartDragAndDrop(const TPoint& point) {
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(point);
  if (!hitTest || !CanHandleHitTest(hitTest)) return false;
  TcxDragAndDropObjectClass objectClass = hitTest->DragAndDropObjectClass();
  if (!objectClass) return false;
  HideHint();
  SetDragAndDropObjectClass(objectClass);
  if (TcxCustomGridDragAndDropObject* object = DragAndDropObject()) object->Init(point, hitTest);
  return true;
}

Boolean TcxCustomGridController::CanShowHint() {
  TcxGridSite* site = GetSite();
  if (!site) return false;
  TCustomForm* form = GetParentForm(site);
  if (form && !(Application->GetActive() && (form->GetActive() || form->GetFormStyle() == fsMDIForm))) return false;
  if (!site->HandleAllocated() || !IsWindowVisible(site->GetHandle())) return false;
  return WindowFromPoint(SafeGetCursorPos()) == site->GetHandle();
}

THintWindowClass TcxCustomGridController::GetHintWindowClass() { return HintWindowClass; }

void TcxCustomGridController::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  FIsDoubleClick = shift.Contains(ssDouble);
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(x, y);
  if (hitTest && hitTest->GetViewInfo()) hitTest->GetViewInfo()->MouseDown(hitTest, button, shift);
}

void TcxCustomGridController::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(x, y);
  if (TcxCustomGridCellViewInfo* capture = MouseCaptureCell())
    capture->MouseMove(hitTest, shift);
  else if (hitTest && hitTest->GetViewInfo())
    hitTest->GetViewInfo()->MouseMove(hitTest, shift);
}

void TcxCustomGridController::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = GetViewInfo()->GetHitTest(x, y);
  if (TcxCustomGridCellViewInfo* capture = MouseCaptureCell())
    capture->MouseUp(hitTest, button, shift);
  else if (hitTest && hitTest->GetViewInfo())
    hitTest->GetViewInfo()->MouseUp(hitTest, button, shift);
}

Boolean TcxCustomGridController::IsDialogCharForMaster(char ch) {
  if (!GetGridView()->IsDetail()) return false;
  TcxCustomGridView* master = GetGridView()->MasterGridView();
  return master && master->GetController()->ProcessDetailDialogChar(GetGridView(), ch);
}

void TcxCustomGridController::WndProc(TMessage& message) {
  if (message.Msg == CN_SYSCHAR && IsDialogCharForMaster(char(message.WParam))) message.Msg = 0;
}

TcxCustomGridDesignController* TcxCustomGridController::DesignController() {
  if (!FDesignController && GetGridView()->IsDesignTime())
    FDesignController = GetDesignControllerClass().Create(this);
  return FDesignController;
}

TcxCustomGridDragAndDropObject* TcxCustomGridController::DragAndDropObject() {
  TcxGridSite* site = GetSite();
  return site ? dynamic_cast<TcxCustomGridDragAndDropObject*>(site->GetDragAndDropObject()) : nullptr;
}

Boolean TcxCustomGridController::IsDragAndDropRunning() {
  return GetSite() && GetSite()->GetDragAndDropState() == ddsInProcess;
}

TcxCustomGridCellViewInfo* TcxCustomGridController::MouseCaptureCell() {
  TcxGridSite* site = GetSite();
  return site ? dynamic_cast<TcxCustomGridCellViewInfo*>(site->GetMouseCaptureObject()) : nullptr;
}

void TcxCustomGridController::SetDragAndDropObjectClass(TcxDragAndDropObjectClass value) {
  if (TcxGridSite* site = GetSite()) site->SetDragAndDropObjectClass(value);
}

void TcxCustomGridController::DesignerModified() {
  if (TcxGridSite* site = GetSite()) site->NotifyDesignerModified();
}

void TcxCustomGridController::CheckCoordinatesGuarded() {
  const Boolean saved = FIsCheckingCoordinates;
  FIsCheckingCoordinates = true;
  try {
    CheckCoordinates();
  } catch (...) {
    FIsCheckingCoordinates = saved;
    throw;
  }
  FIsCheckingCoordinates = saved;
}

void TcxCustomGridController::SubmitControlFocusChange() {
  GetGridView()->AddChange(new TcxGridControlFocusChange(GetGridView()));
}

void TcxCustomGridController::SetScrollBarInfo(TScrollBarKind kind, Integer min, Integer max, Integer step,
                                               Integer page, Integer pos, Boolean allowShow, Boolean allowHide) {
  if (TcxGridSite* site = GetSite()) site->SetScrollBarParams(kind, min, max, step, page, pos, allowShow, allowHide);
}

void TcxCustomGridController::UpdateScrollBars(Boolean force) {
  TcxGridSite* site = GetSite();
  if (!site) return;
  const Boolean saved = site->GetForceScrollBarsUpdate();
  site->SetForceScrollBarsUpdate(force);
  try {
    site->UpdateScrollBars();
  } catch (...) {
    site->SetForceScrollBarsUpdate(saved);
    throw;
  }
  site->SetForceScrollBarsUpdate(saved);
}

void TcxCustomGridController::HideHint() {
  FreeAndNil(FHintCheckTimer);
  StopMouseTracking(this);
  FHintCellViewInfo = nullptr;
  FHintAreaBounds = TRect();
  if (FHintWindow && FHintWindow->HandleAllocated()) ShowWindow(FHintWindow->GetHandle(), SW_HIDE);
}

void TcxCustomGridController::ShowHint(const TRect& hintAreaBounds, const TRect& textRect,
                                       TcxCustomGridViewCellViewInfo* cell, TFont* font, Boolean isHintMultiLine,
                                       const AnsiString& text) {
  if (!CanShowHint()) return;
  const THintWindowClass hintClass = GetHintWindowClass();
  if (FHintWindow && FHintWindow->ClassType() == static_cast<TClass>(hintClass)) {
    const Boolean visible = FHintWindow->HandleAllocated() && IsWindowVisible(FHintWindow->GetHandle());
    if (visible && FHintWindow->GetCaption() == text && FHintTextRect == textRect) return;
    if (visible) StopMouseTracking(this);
  } else {
    FreeAndNil(FHintWindow);
    FHintWindow = hintClass.Create(nullptr);
    FHintWindow->SetColor(Application->GetHintColor());
  }
  FHintTextRect = textRect;
  if (font) FHintWindow->GetCanvas()->SetFont(font);
  const Integer maxWidth = isHintMultiLine ? textRect.Width() : 107374182;
  TRect rect = FHintWindow->CalcHintRect(maxWidth, text, nullptr);
  rect.Right -= 6;
  rect.Bottom -= 2;
  const TPoint origin = GetSite()->ClientToScreen(textRect.TopLeft());
  rect = GetOffsetRect(rect, origin.X - rect.Left, origin.Y - rect.Top);
  TPoint border{2, 2};
  if (FHintWindow->HandleAllocated()) {
    const TPoint clientOrigin = FHintWindow->ClientToScreen(TPoint{0, 0});
    const TRect windowRect = SafeGetWindowRect(FHintWindow->GetHandle());
    border.X += clientOrigin.X - windowRect.Left;
    border.Y += clientOrigin.Y - windowRect.Top;
  }
  rect = GetInflatedRect(rect, border.X, border.Y);
  FitRectIntoWorkArea(rect, rect.TopLeft());
  rect.Bottom -= 4;
  ShowHintWindow(FHintWindow, rect, text);
  FHintAreaBounds = hintAreaBounds;
  FHintCellViewInfo = cell;
  StartMouseTracking(GetSite(), FHintAreaBounds, this);
  if (!FHintCheckTimer) {
    FHintCheckTimer = new TcxTimer(nullptr);
    FHintCheckTimer->SetInterval(100);
    FHintCheckTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomGridController::HintCheckTimerHandler));
  }
}

void TcxCustomGridController::HintCheckTimerHandler(TObject* sender) {
  if (!CanShowHint()) HideHint();
}

// ==== Internal drag and drop base ===============================================================

void TcxCustomGridDragAndDropObject::AfterDragAndDrop(Boolean accepted) {
  inherited::AfterDragAndDrop(accepted);
  if (accepted) Controller()->DesignerModified();
}

TcxGridSite* TcxCustomGridDragAndDropObject::GetSite() const { return static_cast<TcxGridSite*>(GetControl()); }
TcxCustomGridView* TcxCustomGridDragAndDropObject::GridView() const { return GetSite()->GetGridView(); }
TcxCustomGridController* TcxCustomGridDragAndDropObject::Controller() const { return GridView()->GetController(); }
TcxCustomGridViewInfo* TcxCustomGridDragAndDropObject::ViewInfo() const { return GridView()->GetViewInfo(); }
TCustomForm* TcxCustomGridDragAndDropObject::CustomizationForm() const { return Controller()->GetCustomizationForm(); }

// ==== Drop-down window of the cells =============================================================

TcxCustomGridPopup::TcxCustomGridPopup(TcxCustomGridView* gridView)
    : TcxCustomPopupWindow(gridView->GetSite()), FGridView(gridView) {
  SetColor(clWindow);
  SetTopmostWithParent(true);
  SetOwnerParent(gridView->GetSite());
}

void TcxCustomGridPopup::GetOwnerBounds(TRect& rect) {
  if (FOwner)
    FOwner->GetPopupOwnerBounds(rect);
  else
    rect = TRect();
}

Integer TcxCustomGridPopup::GetMinWidth() {
  TRect rect;
  GetOwnerBounds(rect);
  return rect.Width() - GetFrameWidth();
}

void TcxCustomGridPopup::Popup(TWinControl* focusedControl) { inherited::Popup(focusedControl); }

void TcxCustomGridPopup::Popup() {
  SetCaptureControl(nullptr);
  TWinControl* focus = nullptr;
  for (Integer i = 0; i < GetControlCount() && !focus; ++i)
    if (auto* control = dynamic_cast<TWinControl*>(GetControl(i)))
      if (control->CanFocus()) focus = control;
  inherited::Popup(focus);
}

void TcxCustomGridPopup::InitPopupFont() {
  SetPopupBorderStyle(TcxPopupBorderStyle(FGridView->LookAndFeelPainter()->PopupFrameStyle()));
  if (FGridView->GetControlGrid()) GetFont()->Assign(FGridView->GetControlGrid()->GetFont());
  TRect bounds;
  GetOwnerBounds(bounds);
  SetOwnerBounds(bounds);
}

void TcxCustomGridPopup::SetPopupOwner(IcxCustomGridPopupOwner* value) {
  if (FOwner == value) return;
  if (!value && IsVisible() && FOwner && FOwner->ClosePopupOnDestruction()) CloseUp();
  FOwner = value;
}

void TcxCustomGridPopup::Paint() {
  DrawFrame();
  GetCanvas()->FillRectWithColor(GetContentBounds(), GetColor());
}

void TcxCustomGridPopup::VisibleChanged() {
  inherited::VisibleChanged();
  if (!GetVisible() && FOwner) FOwner->PopupClosed();
}

// ==== Moving objects ============================================================================

TcxCustomGridMovingObject::~TcxCustomGridMovingObject() { FreeFeedback(); }

void TcxCustomGridMovingObject::FreeFeedback() {
  FreeAndNil(FArrows[0]);
  FreeAndNil(FArrows[1]);
  FreeAndNil(FDragImage);
}

TcxDragAndDropArrowClass TcxCustomGridMovingObject::GetArrowClass() { return TcxDragAndDropArrow::StaticClass(); }

TcxDragImageClass TcxCustomGridMovingObject::GetDragImageClass() { return TcxDragImage::StaticClass(); }

void TcxCustomGridMovingObject::GetArrowAreaBounds(TRect& rect) { rect = ViewInfo()->GetBounds(); }

TcxArrowPlace TcxCustomGridMovingObject::ArrowPlace(Integer arrow) {
  if (ArrowsAtTopAndBottom()) return arrow == 0 ? apTop : apBottom;
  return arrow == 0 ? apLeft : apRight;
}

void TcxCustomGridMovingObject::BeginDragAndDrop() {
  FDragImage = GetDragImageClass().Create();
  InitDragImage();
  for (TcxDragAndDropArrow*& arrow : FArrows) arrow = GetArrowClass().Create(FDragImage->GetTransparentColorEnabled());
  RedrawControlNow(GridView()->GetControlGrid());
  inherited::BeginDragAndDrop();
}

void TcxCustomGridMovingObject::ShowArrows(Boolean visible) {
  if (!AreArrowsVisible()) visible = false;
  for (Integer i = 0; i < 2; ++i) {
    TcxDragAndDropArrow* arrow = FArrows[i];
    if (!arrow) continue;
    if (visible) {
      TRect area;
      GetArrowAreaBounds(area);
      TRect rect;
      GetArrowsClientRect(ArrowPlace(i), rect);
      arrow->ShowAt(GetSite(), rect, ArrowPlace(i), area);
    }
    arrow->SetShowing(visible);
  }
}

void TcxCustomGridMovingObject::FeedbackStateChanged() {
  inherited::FeedbackStateChanged();
  ShowArrows(!GetFeedbackHidden());
  if (FDragImage) FDragImage->SetShowing(!GetFeedbackHidden());
}

void TcxCustomGridMovingObject::FeedbackRestored() {
  ShowArrows(true);
  inherited::FeedbackRestored();
}

void TcxCustomGridMovingObject::DragAndDrop(const TPoint& point, Boolean& accepted) {
  inherited::DragAndDrop(point, accepted);
  if (!FDragImage) return;
  FDragImage->MoveTo(GetSite()->ClientToScreen(GetCurMousePos()));
  FDragImage->SetShowing(true);
}

void TcxCustomGridMovingObject::EndDragAndDrop(Boolean accepted) {
  inherited::EndDragAndDrop(accepted);
  FreeFeedback();
}

TCursor TcxCustomGridMovingObject::GetDragAndDropCursor(Boolean accepted) {
  if (accepted) return crArrow;
  return CanRemove() ? crcxGridRemove : crcxGridNoDrop;
}

void TcxCustomGridMovingObject::GetSourceItemBounds(TRect& rect) {
  if (TcxCustomGridCellViewInfo* cell = GetSourceItemViewInfo()) {
    rect = cell->GetBounds();
    return;
  }
  // An item dragged from a customization list box: the list boxes of the table views give its
  // rectangle; without one the drag image is empty.
  rect = TRect();
}

void TcxCustomGridMovingObject::InitDragImage() {
  TRect bounds;
  GetSourceItemBounds(bounds);
  FDragImage->InitBounds(bounds, GetDragStartPoint());
  if (TcxCustomGridCellViewInfo* cell = GetSourceItemViewInfo()) {
    TcxCanvas* canvas = FDragImage->GetCanvas();
    const TPoint origin = canvas->GetWindowOrigin();
    canvas->SetWindowOrigin(TPoint{origin.X + bounds.Left, origin.Y + bounds.Top});
    cell->Paint(canvas);
    canvas->SetWindowOrigin(origin);
  } else if (IsSourceCustomizationForm()) {
    PaintSourceItemFromListBox(FDragImage->GetCanvas(), GetOffsetRect(bounds, -bounds.Left, -bounds.Top), FSourceItem);
  }
}

// ==== Customization form ========================================================================

#include "components/grid/cxGridStrs.h"
#include "components/pagecontrol/cxPC.h"

TClass TcxCustomGridController::GetCustomizationFormClass() { return TcxCustomGridCustomizationForm::StaticClass(); }

TCustomForm* TcxCustomGridController::CreateCustomizationForm() {
  TClass cls = GetCustomizationFormClass();
  if (!cls) return nullptr;
  return TcxCustomGridCustomizationFormClass(cls).Create(this);
}

TcxCustomGridCustomizationForm::TcxCustomGridCustomizationForm(TcxCustomGridController* controller)
    : TForm(nullptr), FController(controller) {
  SetCaption(GetLocalizedResourceString(&scxGridCustomizationFormCaption));
  SetBorderStyle(bsSizeToolWin);
  if (TcxCustomGrid* grid = controller->GetControl()) GetFont()->Assign(grid->GetFont());
  // A new form has no size here, and the page control's anchors only follow a parent that had
  // one when they were set: laid out in an empty client area, the pages stayed empty wherever the
  // form was placed, and the form itself took every press meant for the list.
  SetBounds(GetLeft(), GetTop(), controller->GetCustomizationFormDefaultWidth(),
            controller->GetCustomizationFormDefaultHeight());
  CalculateConsts();
  CreateControls();
}

void TcxCustomGridCustomizationForm::BeforeDestruction() {
  FreeAndNil(FHookTimer);
  TcxCustomGridController* controller = FController;
  FController = nullptr;
  if (controller && controller->GetCustomizationForm() == this) controller->CustomizationFormDestroying();
  inherited::BeforeDestruction();
}

TcxCustomGridView* TcxCustomGridCustomizationForm::GridView() const { return FController ? FController->GetGridView() : nullptr; }

void TcxCustomGridCustomizationForm::CalculateConsts() {
  TcxCanvas canvas(GetCanvas());
  FMargin = canvas.TextHeightOf("Qq") / 6;
}

void TcxCustomGridCustomizationForm::GetContentBounds(TRect& rect) {
  rect = GetInflatedRect(GetClientRect(), -FMargin, -FMargin);
}

void TcxCustomGridCustomizationForm::CreateControls() {
  FPageControl = new TcxPageControl(this);
  FPageControl->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
  TRect bounds;
  GetPageControlBounds(bounds);
  FPageControl->SetBoundsRect(bounds);
  FPageControl->SetFocusable(false);
  FPageControl->SetHotTrack(true);
  if (GridView() && GridView()->LookAndFeel()) FPageControl->GetLookAndFeel()->SetMaster(GridView()->LookAndFeel());
  FPageControl->SetParent(this);
  InitPageControl();
}

TcxTabSheet* TcxCustomGridCustomizationForm::CreatePage(const AnsiString& caption, Boolean tabVisible) {
  auto* page = new TcxTabSheet(FPageControl);
  page->SetCaption(caption);
  page->SetTabVisible(tabVisible);
  page->SetPageControl(FPageControl);
  return page;
}

void TcxCustomGridCustomizationForm::ActivatePage(TcxTabSheet* page) {
  if (page && page->GetTabVisible()) FPageControl->SetActivePage(page);
}

void TcxCustomGridCustomizationForm::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style |= WS_POPUP;
  if (FController && FController->GetSite() && FController->GetSite()->HandleAllocated())
    params.WndParent = FController->GetSite()->GetHandle();
}

void TcxCustomGridCustomizationForm::DoShow() {
  inherited::DoShow();
  if (FHookTimer) return;
  FHookTimer = new TcxTimer(nullptr);
  FHookTimer->SetInterval(100);
  FHookTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomGridCustomizationForm::HookTimerHandler));
}

void TcxCustomGridCustomizationForm::HookTimerHandler(TObject* sender) {
  if (!FController) return;
  if (Application->GetMainForm() && Application->GetMainForm()->GetWindowState() == wsMinimized) {
    if (HandleAllocated()) ShowWindow(GetHandle(), SW_HIDE);
    return;
  }
  TcxGridSite* site = FController->GetSite();
  if (!GridView()->IsVisible() || !site || !site->HandleAllocated() || !IsWindowVisible(site->GetHandle())) {
    FController->SetCustomization(false);  // frees this form
    return;
  }
  if (HandleAllocated() && !IsWindowVisible(GetHandle())) ShowWindow(GetHandle(), SW_SHOWNOACTIVATE);
}

void TcxCustomGridCustomizationForm::DoClose(TCloseAction& action) {
  inherited::DoClose(action);
  FreeAndNil(FHookTimer);
  action = caFree;
}
