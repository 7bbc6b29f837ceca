// The record navigator of the table-like views: the view as the navigated data control (its
// buttons act on the focused record of the data controller), the table view info as the
// navigator's host with the site it lays the button row out in, the site's painting, and the
// table controller's data operations the buttons and the Insert and Delete keys share.
#include <memory>

#include "components/data/cxCustomData.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomTableView.h"
#include "components/grid/cxGridStrs.h"
#include "platform/controls/Dialogs.h"
#include "platform/windowing/User.h"

namespace {

Boolean NavAskDeleteConfirmation(const AnsiString& caption, const AnsiString& text) {
  return MessageDlg(text, mtConfirmation, TMsgDlgButtons{mbOK, mbCancel}) == mrOk;
}

}  // namespace

// ==== Data operations of the table controller ===================================================

Boolean (*TcxCustomGridTableController::DeleteConfirmationQuestion)(const AnsiString& caption,
                                                                   const AnsiString& text) = NavAskDeleteConfirmation;

Boolean TcxCustomGridTableController::CanAppend(Boolean checkOptions) {
  TcxCustomDataController* data = GetDataController();
  return FAllowAppend && data && (data->GetAllowedOperations() & TcxCustomDataController::dcoAppend) != 0 &&
         (!checkOptions || GetTableView()->GetTableOptionsData()->GetAppending());
}

Boolean TcxCustomGridTableController::CanDelete(Boolean checkOptions) {
  TcxCustomDataController* data = GetDataController();
  return data && (data->GetAllowedOperations() & TcxCustomDataController::dcoDelete) != 0 &&
         (!checkOptions || GetTableView()->GetTableOptionsData()->GetDeleting());
}

Boolean TcxCustomGridTableController::CanEdit() {
  TcxCustomDataController* data = GetDataController();
  if (!data || !FFocusedItem || !GetTableView()->GetTableOptionsData()->GetEditing()) return false;
  const Integer operations = data->GetAllowedOperations();
  return (operations & TcxCustomDataController::dcoEdit) != 0 && (operations & TcxCustomDataController::dcoSync) != 0;
}

Boolean TcxCustomGridTableController::CanInsert(Boolean checkOptions) {
  TcxCustomDataController* data = GetDataController();
  return data && (data->GetAllowedOperations() & TcxCustomDataController::dcoInsert) != 0 &&
         (!checkOptions || GetTableView()->GetTableOptionsData()->GetInserting());
}

Boolean TcxCustomGridTableController::CanHScrollBarHide() {
  TcxCustomGridTableViewInfo* viewInfo = GetTableView()->GetTableViewInfo();
  return !(viewInfo && viewInfo->IsNavigatorVisible());
}

void TcxCustomGridTableController::CreateNewRecord(Boolean append) {
  TcxCustomGridTableView* view = GetTableView();
  std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter> link(view->AddListenerLink());
  view->SetFocused(true);
  if (!link->GetGridView()) return;
  const Boolean wasEditing = IsEditing();
  TcxCustomDataController* data = GetDataController();
  if (append) {
    if (!CanAppend(false)) return;
    data->Append();
  } else {
    if (!CanInsert(false)) return;
    data->Insert();
    if (link->GetGridView() && view->GetTableOptionsSelection()->GetMultiSelect() && GetFocusedRecordIndex() != -1)
      data->ChangeRowSelection(GetFocusedRecordIndex(), true);
  }
  if (!link->GetGridView() || (data->GetEditState() & TcxCustomDataController::dceInsert) == 0) return;
  if (view->GetTableOptionsBehavior()->GetFocusFirstCellOnNewRecord()) {
    FocusFirstAvailableItem();
    if (link->GetGridView() && wasEditing && FFocusedItem) GetEditingController()->ShowEdit(FFocusedItem);
  }
}

void TcxCustomGridTableController::DeleteSelection() {
  if (!CanDelete(false)) return;
  TcxCustomGridTableView* view = GetTableView();
  TcxCustomDataController* data = GetDataController();
  const Integer focused = GetFocusedRecordIndex();
  const Integer selected = data->GetSelectedCount();
  const Boolean several = view->GetTableOptionsSelection()->GetMultiSelect() &&
                          (selected > 1 || (selected == 1 && !data->IsRowSelected(focused)));
  if (!several && focused == -1) return;
  if (view->GetTableOptionsData()->GetDeletingConfirmation() &&
      !DeleteConfirmationQuestion(GetLocalizedResourceString(&scxGridDeletingConfirmationCaption),
                                  GetLocalizedResourceString(several ? &scxGridDeletingSelectedConfirmationText
                                                                     : &scxGridDeletingFocusedConfirmationText)))
    return;
  if (TcxGridEditingController* editing = FindEditingController()) editing->HideEdit(false);
  if (several)
    data->DeleteSelection();
  else
    data->DeleteFocused();
}

// ==== The view as the navigated control ========================================================

Boolean TcxCustomGridTableView::CanAppend() {
  TcxCustomGridTableController* controller = GetTableController();
  return controller && controller->CanAppend(true);
}

Boolean TcxCustomGridTableView::CanDelete() {
  TcxCustomGridTableController* controller = GetTableController();
  return controller && controller->GetFocusedRecordIndex() != -1 && controller->CanDelete(true);
}

Boolean TcxCustomGridTableView::CanEdit() {
  TcxCustomGridTableController* controller = GetTableController();
  return controller && controller->GetFocusedRecordIndex() != -1 && controller->CanEdit();
}

Boolean TcxCustomGridTableView::CanInsert() {
  TcxCustomGridTableController* controller = GetTableController();
  return controller && controller->CanInsert(true);
}

Boolean TcxCustomGridTableView::IsActive() {
  // Records kept by the data controller itself are always there; a provider's data may be shut.
  TcxCustomDataController* data = GetDataController();
  return data && (data->IsUnboundMode() || data->GetProvider()->IsActive());
}

Boolean TcxCustomGridTableView::IsBof() {
  TcxCustomGridTableController* controller = GetTableController();
  return !controller || controller->IsStart();
}

Boolean TcxCustomGridTableView::IsEof() {
  TcxCustomGridTableController* controller = GetTableController();
  return !controller || controller->IsFinish();
}

Boolean TcxCustomGridTableView::IsBookmarkAvailable() {
  TcxCustomDataController* data = GetDataController();
  return data && data->HasBookmark();
}

Boolean TcxCustomGridTableView::IsEditing() {
  TcxCustomDataController* data = GetDataController();
  return data && data->IsEditing();
}

void TcxCustomGridTableView::ClearBookmark() {
  if (TcxCustomDataController* data = GetDataController()) data->ResetBookmark();
}

void TcxCustomGridTableView::DoAction(Integer buttonIndex) {
  TcxCustomGridTableController* controller = GetTableController();
  TcxCustomDataController* data = GetDataController();
  if (!controller || !data) return;
  std::unique_ptr<TcxGridListenerLink, orv::FreeDeleter> link(AddListenerLink());
  switch (buttonIndex) {
    case NBDI_FIRST: controller->GoToFirst(); break;
    case NBDI_PRIORPAGE: controller->ShowPrevPage(true); break;
    case NBDI_PRIOR: controller->GoToPrev(); break;
    case NBDI_NEXT: controller->GoToNext(); break;
    case NBDI_NEXTPAGE: controller->ShowNextPage(true); break;
    case NBDI_LAST: controller->GoToLast(); break;
    case NBDI_INSERT: controller->CreateNewRecord(false); break;
    case NBDI_APPEND: controller->CreateNewRecord(true); break;
    case NBDI_DELETE: controller->DeleteSelection(); break;
    case NBDI_EDIT:
      // Editing starts in the focused cell, as a typed key would start it.
      if (controller->GetFocusedItem()) {
        controller->GetEditingController()->ShowEdit(controller->GetFocusedItem());
        if (link->GetGridView() && !controller->IsEditing()) data->Edit();
      } else {
        data->Edit();
      }
      break;
    case NBDI_POST:
      // The open editor's value goes into the record first.
      if (TcxGridEditingController* editing = controller->FindEditingController())
        if (editing->IsEditing()) editing->HideEdit(true);
      if (link->GetGridView()) data->Post();
      break;
    case NBDI_CANCEL:
      if (TcxGridEditingController* editing = controller->FindEditingController())
        if (editing->IsEditing()) editing->HideEdit(false);
      if (link->GetGridView()) data->Cancel();
      break;
    case NBDI_REFRESH:
      if (TcxGridEditingController* editing = controller->FindEditingController())
        if (editing->IsEditing()) editing->HideEdit(true);
      if (link->GetGridView()) {
        data->PostEditing();
        data->Refresh();
      }
      break;
    case NBDI_SAVEBOOKMARK: data->SaveBookmark(); break;
    case NBDI_GOTOBOOKMARK: data->GotoBookmark(); break;
    // The filter dialog of the whole filter.
    case NBDI_FILTER:
      if (TcxCustomGridTableFiltering* filtering = GetFiltering()) filtering->Customize(nullptr);
      break;
    default: break;
  }
  if (link->GetGridView()) RefreshNavigators();
}

void TcxCustomGridTableView::RefreshNavigators() {
  if (IsDestroying()) return;
  if (FNavigatorNotifier) FNavigatorNotifier->NotifyNavigators();
  TcxCustomGrid* grid = GetControlGrid();
  if (grid && grid->GetFocusedView() == this && grid->GetNavigatorNotifier())
    grid->GetNavigatorNotifier()->NotifyNavigators();
}

// ==== The navigator's host =====================================================================

Boolean TcxCustomGridTableViewInfo::IsNavigatorVisible() {
  return GetTableView()->GetTableOptionsView()->GetNavigator();
}

Integer TcxCustomGridTableViewInfo::NavigatorOffset() { return GetTableView()->GetTableOptionsView()->GetNavigatorOffset(); }

Integer TcxCustomGridTableViewInfo::NavigatorSiteHeight() {
  TcxGridSite* site = GetSiteValue();
  return site ? site->GetHScrollBar()->GetHeight() : GetSystemMetrics(SM_CYHSCROLL);
}

void TcxCustomGridTableViewInfo::GetNavigatorSiteBounds(TRect& rect) {
  TcxGridSite* site = GetSiteValue();
  const TRect bounds = GetBounds();
  rect = TRect{bounds.Left, bounds.Bottom, bounds.Right, bounds.Bottom + NavigatorSiteHeight()};
  if (site && site->IsHScrollBarVisible()) {
    // In the scroll bar's row, where the bar began before it made room.
    rect.Top = bounds.Bottom;
    rect.Bottom = rect.Top + site->GetHScrollBar()->GetHeight();
  } else if (site && site->IsVScrollBarVisible()) {
    rect.Right += site->GetVScrollBar()->GetWidth();
  }
  rect.Right = rect.Left + NavigatorSiteWidth();
}

TRect TcxCustomGridTableViewInfo::GetNavigatorBounds() {
  TRect rect;
  GetNavigatorSiteBounds(rect);
  rect.Right = rect.Left + FNavigatorSize.cx;
  return rect;
}

void TcxCustomGridTableViewInfo::AdjustClientBounds(TRect& rect) {
  inherited::AdjustClientBounds(rect);
  TcxGridSite* site = GetSiteValue();
  if (FCalculateDown && IsNavigatorVisible() && !(site && site->IsHScrollBarVisible()))
    rect.Bottom -= NavigatorSiteHeight();
}

void TcxCustomGridTableViewInfo::AdjustHScrollBarBounds(TRect& rect) {
  inherited::AdjustHScrollBarBounds(rect);
  if (IsNavigatorVisible()) rect.Left += NavigatorSiteWidth();
}

void TcxCustomGridTableViewInfo::CalculateHeight(const TPoint& maxSize, Integer& height, Boolean& fullyVisible) {
  TcxGridSite* site = GetSiteValue();
  if (IsNavigatorVisible() && !(site && site->IsHScrollBarVisible())) height += NavigatorSiteHeight();
  inherited::CalculateHeight(maxSize, height, fullyVisible);
}

void TcxCustomGridTableViewInfo::CalculateNavigator() {
  if (!FNavigatorSiteViewInfo || !FNavigatorViewInfo) return;
  if (!IsNavigatorVisible()) {
    FNavigatorSiteViewInfo->SetVisible(false);
    return;
  }
  FNavigatorSiteViewInfo->SetVisible(true);
  TRect site;
  GetNavigatorSiteBounds(site);
  Integer width = 0;
  Integer height = site.Height();
  FNavigatorViewInfo->CalculateBounds(width, height);
  FNavigatorSize = TSize{width, height};
  // The site's width follows the navigator's.
  GetNavigatorSiteBounds(site);
  FNavigatorSiteViewInfo->Calculate(site);
  FNavigatorViewInfo->Calculate();
}

void TcxCustomGridTableViewInfo::NavigatorChanged(Integer changeType) {
  TcxCustomGridTableView* view = GetTableView();
  if (view->IsDestroying() || !view->GetControlGrid()) return;
  view->Changed(changeType == 0 ? vcProperty : vcLayout);
}

TcxCustomNavigatorButtons* TcxCustomGridTableViewInfo::GetNavigatorButtons() {
  return GetTableView()->GetNavigatorButtons();
}

TCanvas* TcxCustomGridTableViewInfo::GetNavigatorCanvas() {
  TcxCanvas* canvas = FNavigatorPaintCanvas ? FNavigatorPaintCanvas : Canvas();
  return canvas ? canvas->GetCanvas() : nullptr;
}

TWinControl* TcxCustomGridTableViewInfo::GetNavigatorControl() { return GetSiteValue(); }

TcxLookAndFeel* TcxCustomGridTableViewInfo::GetNavigatorLookAndFeel() { return GetGridView()->LookAndFeel(); }

TComponent* TcxCustomGridTableViewInfo::GetNavigatorOwner() { return GetGridView(); }

Boolean TcxCustomGridTableViewInfo::GetNavigatorShowHint() {
  return GetTableView()->GetTableOptionsBehavior()->GetNavigatorHints();
}

void TcxCustomGridTableViewInfo::RefreshNavigator() {
  if (FNavigatorViewInfo && IsNavigatorVisible()) FNavigatorViewInfo->UpdateButtonsEnabled();
}

void TcxCustomGridTableViewInfo::NavigatorStateChanged() {
  TcxCustomGridTableView* view = GetTableView();
  if (!FNavigatorViewInfo || view->IsDestroying() || view->IsPattern() || !view->GetControlGrid()) return;
  FNavigatorViewInfo->MakeDirty();
  if (!IsNavigatorVisible()) return;
  Integer width = 0;
  Integer height = FNavigatorSize.cy;
  FNavigatorViewInfo->CalculateBounds(width, height);
  if (width == FNavigatorSize.cx && height == FNavigatorSize.cy) {
    view->ViewChanged();
  } else {
    FNavigatorSize = TSize{width, height};
    view->Changed(vcLayout);
  }
}

// ==== The navigator site =======================================================================

TcxCustomGridTableViewInfo* TcxNavigatorSiteViewInfo::GetTableViewInfo() const {
  return static_cast<TcxCustomGridTableViewInfo*>(GetGridViewInfo());
}

TcxNavigatorViewInfo* TcxNavigatorSiteViewInfo::GetNavigatorViewInfo() const {
  return GetTableViewInfo()->GetNavigatorViewInfo();
}

Integer TcxNavigatorSiteViewInfo::CalculateHeight() { return GetTableViewInfo()->NavigatorSiteHeight(); }

Integer TcxNavigatorSiteViewInfo::CalculateWidth() { return GetTableViewInfo()->NavigatorSiteWidth(); }

TClass TcxNavigatorSiteViewInfo::GetHitTestClass() { return TcxGridNavigatorHitTest::StaticClass(); }

TcxCustomGridCellPainterClass TcxNavigatorSiteViewInfo::GetPainterClass() {
  return TcxNavigatorSitePainter::StaticClass();
}

void TcxNavigatorSiteViewInfo::GetViewParams(TcxViewParams& params) {
  params = TcxViewParams();
  params.Color = GetGridView()->LookAndFeelPainter()->DefaultGridDetailsSiteColor();
}

void TcxNavigatorSiteViewInfo::StateChanged(TcxGridCellState prevState) {
  inherited::StateChanged(prevState);
  // The mouse left the site: no button stays hot.
  if (GetState() == gcsNone) GetNavigatorViewInfo()->TrackMouse(-1, -1);
}

Boolean TcxNavigatorSiteViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  if (button != mbLeft || !hitTest) return false;
  SetState(gcsPressed);
  GetNavigatorViewInfo()->MouseDown(hitTest->GetPos().X, hitTest->GetPos().Y);
  return true;
}

Boolean TcxNavigatorSiteViewInfo::MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  const Boolean result = inherited::MouseMove(hitTest, shift);
  if (hitTest && GetState() != gcsNone) GetNavigatorViewInfo()->TrackMouse(hitTest->GetPos().X, hitTest->GetPos().Y);
  return result;
}

Boolean TcxNavigatorSiteViewInfo::MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  if (button != mbLeft) return false;
  const TPoint point = hitTest ? hitTest->GetPos() : TPoint{-1, -1};
  TcxNavigatorViewInfo* navigator = GetNavigatorViewInfo();
  SetMouseCapture(false);
  SetState(IsHitTestMine(hitTest) ? gcsSelected : gcsNone);
  // Last: the click may change the view's layout and with it this cell.
  navigator->MouseUp(point.X, point.Y);
  return true;
}

void TcxNavigatorSitePainter::DrawContent() {
  DrawBackground();
  auto* site = static_cast<TcxNavigatorSiteViewInfo*>(GetViewInfo());
  TcxCustomGridTableViewInfo* viewInfo = site->GetTableViewInfo();
  viewInfo->SetNavigatorPaintCanvas(GetCanvas());
  try {
    // Options and edit states change without telling the navigator: the buttons are laid out
    // and their states read again for every paint.
    site->GetNavigatorViewInfo()->MakeDirty();
    site->GetNavigatorViewInfo()->Paint();
  } catch (...) {
    viewInfo->SetNavigatorPaintCanvas(nullptr);
    throw;
  }
  viewInfo->SetNavigatorPaintCanvas(nullptr);
}

void TcxCustomGridTablePainter::DrawNavigator() {
  TcxNavigatorSiteViewInfo* site = TableViewInfo()->GetNavigatorSiteViewInfo();
  if (!site || !site->GetVisible() || !TableViewInfo()->IsNavigatorVisible()) return;
  site->Paint(Canvas());
  // Without a scroll bar beside it, the rest of the strip takes the site's colour.
  TcxGridSite* control = GetSite();
  if (control && !control->IsHScrollBarVisible()) {
    const TRect bounds = site->GetBounds();
    const TRect rest{bounds.Right, bounds.Top, control->GetClientRect().Right, bounds.Bottom};
    if (rest.Right > rest.Left) {
      Canvas()->SetBrushColor(site->Params().Color);
      Canvas()->FillRectOrTile(rest, nullptr, false);
    }
  }
}

void TcxCustomGridTableOptionsData::Changed(TcxGridViewChangeKind changeKind) {
  inherited::Changed(changeKind);
  if (auto* view = dynamic_cast<TcxCustomGridTableView*>(GetGridView())) view->RefreshNavigators();
}

// ==== Scroll bars of the table controller ======================================================

Integer TcxCustomGridTableController::GetScrollBarOffsetBegin() {
  TcxCustomDataController* data = GetDataController();
  return data && data->IsGridMode() && !data->IsBOF() ? 1 : 0;
}

Integer TcxCustomGridTableController::GetScrollBarOffsetEnd() {
  TcxCustomDataController* data = GetDataController();
  return data && data->IsGridMode() && !data->IsEOF() ? 1 : 0;
}

Integer TcxCustomGridTableController::GetScrollBarPos() { return GetScrollBarOffsetBegin() + GetTopRecordIndex(); }

Integer TcxCustomGridTableController::GetScrollBarRecordCount() {
  TcxCustomGridTableViewData* data = GetTableViewData();
  return GetScrollBarOffsetBegin() + (data ? data->GetRecordCount() : 0) + GetScrollBarOffsetEnd();
}

void TcxCustomGridTableController::SetScrollBarPos(Integer value) {
  TcxCustomDataController* data = GetDataController();
  if (data && data->IsGridMode())
    SetTopRecordIndex(value - GetScrollBarOffsetBegin());
  else
    SetTopRecordIndexValue(value);
}

void TcxCustomGridTableController::InitScrollBarsParameters() {
  SetScrollBarInfo(sbVertical, 0, GetScrollBarRecordCount() - 1, 1, GetVisibleRecordCount(), GetScrollBarPos(), true,
                   true);
  SetScrollBarInfo(sbHorizontal, 0, -1, 1, 0, 0, true, CanHScrollBarHide());
}

void TcxCustomGridTableController::Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (kind != sbVertical) return;
  switch (code) {
    case scLineUp: ScrollRecords(false, 1); break;
    case scLineDown: ScrollRecords(true, 1); break;
    case scPageUp: ScrollPageUp(); break;
    case scPageDown: ScrollPageDown(); break;
    case scTop: SetTopRecordIndex(0); break;
    case scBottom: SetTopRecordIndex(GetMaxTopRecordIndex()); break;
    case scTrack:
    case scPosition: SetScrollBarPos(position); break;
    default: break;
  }
  position = GetScrollBarPos();
}
