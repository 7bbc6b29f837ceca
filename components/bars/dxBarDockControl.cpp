// Dock sites: the windows along a form's edges (or placed by the user) that hold docked toolbars
// in rows, each row a list of bars and one column per docked toolbar window with the position
// the user asked for; inserting a toolbar at a point, laying a row out (shrinking and truncating
// what does not fit), the site's size and its background.

#include <algorithm>
#include <numeric>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarDesignController.h"
#include "components/bars/dxBarDrawing.h"
#include "components/foundation/cxGeometry.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

// The size of the zone beyond a site's edges where a dragged toolbar docks.
constexpr Integer kDockingZoneSize = 23;

std::vector<TdxDockControl*>& LiveDockControls() {
  static std::vector<TdxDockControl*> list;
  return list;
}

Boolean IsVerticalStyle(TdxBarDockingStyle style) { return style == dsLeft || style == dsRight; }
Boolean IsFarStyle(TdxBarDockingStyle style) { return style == dsRight || style == dsBottom; }

TRect BarBorders(TdxBarControl* toolbar, TdxBarDockingStyle style) {
  TRect borders;
  if (TdxBarPainter* painter = toolbar->GetPainter()) painter->CalcBarBorders(toolbar->GetBar(), style, borders, false);
  return borders;
}

}  // namespace

// ==== Columns and rows ========================================================================

void TdxDockCol::UpdateRequestedPos() {
  if (FBarControl) RequestedPos = TPoint{FBarControl->GetLeft(), FBarControl->GetTop()};
}

TdxDockRow::~TdxDockRow() {
  for (TdxDockCol* col : FCols) orv::Free(col);
  FCols.clear();
  // The bars forget the row. The list is taken out first: a bar leaving its row removes itself
  // from the list, which would otherwise change under the loop and skip the next bar, leaving it
  // pointing at the freed row.
  const std::vector<TdxBar*> bars = std::move(FBars);
  FBars.clear();
  for (TdxBar* bar : bars)
    if (bar->GetDockRow() == this) bar->SetDockRow(nullptr);
}

TdxDockCol* TdxDockRow::AddCol(TdxBarControl* barControl) {
  auto* col = new TdxDockCol(this, barControl);
  FCols.push_back(col);
  UpdateOneOnRow();
  return col;
}

void TdxDockRow::InsertCol(Integer index, TdxBarControl* barControl) {
  index = std::clamp(index, 0, GetColCount());
  FCols.insert(FCols.begin() + index, new TdxDockCol(this, barControl));
  UpdateOneOnRow();
}

Integer TdxDockRow::IndexOfCol(TdxBarControl* barControl) const {
  for (size_t i = 0; i < FCols.size(); ++i)
    if (FCols[i]->GetBarControl() == barControl) return Integer(i);
  return -1;
}

void TdxDockRow::RemoveCol(TdxBarControl* barControl) {
  const Integer index = IndexOfCol(barControl);
  if (index >= 0) DeleteCol(index);
}

void TdxDockRow::DeleteCol(Integer index) {
  if (index < 0 || index >= GetColCount()) return;
  TdxDockCol* col = FCols[size_t(index)];
  FCols.erase(FCols.begin() + index);
  orv::Free(col);
  UpdateOneOnRow();
}

void TdxDockRow::AddBar(TdxBar* bar) {
  if (!bar || HasBar(bar)) return;
  FBars.push_back(bar);
  auto* toolbar = dynamic_cast<TdxBarControl*>(bar->GetControl());
  if (toolbar && toolbar->GetDockControl() == FDockControl && GetColCount() < GetBarCount() &&
      !FDockControl->FindCol(toolbar)) {
    AddCol(toolbar)->RequestedPos = TPoint{bar->GetDockedLeft(), bar->GetDockedTop()};
  }
}

void TdxDockRow::RemoveBar(TdxBar* bar, Boolean deleteWhenEmpty) {
  auto it = std::find(FBars.begin(), FBars.end(), bar);
  if (it == FBars.end()) return;
  FBars.erase(it);
  if (bar->GetDockRow() == this) bar->SetDockRow(nullptr);
  for (Integer i = GetColCount() - 1; i >= 0; --i) {
    TdxBarControl* toolbar = FCols[size_t(i)]->GetBarControl();
    if (toolbar && toolbar->GetBar() == bar) DeleteCol(i);
  }
  if (deleteWhenEmpty && FBars.empty()) FDockControl->DeleteRow(this);
}

Boolean TdxDockRow::HasBar(TdxBar* bar) const { return std::find(FBars.begin(), FBars.end(), bar) != FBars.end(); }

Boolean TdxDockRow::HasDockedBars() const {
  for (TdxBar* bar : FBars) {
    auto* toolbar = dynamic_cast<TdxBarControl*>(bar->GetControl());
    if (toolbar && toolbar->GetDockControl() == FDockControl && FDockControl->FindCol(toolbar)) return true;
  }
  return false;
}

void TdxDockRow::UpdateOneOnRow() {
  if (FDockControl->IsDestroyingWindows()) return;
  for (TdxDockCol* col : FCols)
    if (TdxBarControl* toolbar = col->GetBarControl())
      if (TdxBar* bar = toolbar->GetBar()) bar->SetOneOnRow(FCols.size() == 1);
}

TdxBarDockControl* TdxBar::GetDockControl() const { return IsLoadingValues() ? FLoadedDockControl : FDockControl; }

void TdxBar::SetDockControl(TdxBarDockControl* value) {
  TdxBarManager* manager = GetBarManager();
  if (value && value->GetBarManager() != manager) return;
  if (IsLoadingValues()) {
    FLoadedDockControl = value;
    return;
  }
  if (FDockControl == value) return;
  FDockControl = value;
  FItemLinks->SetRecentItemCount(-1);
  if (value) {
    orv::TFlagScope changing(FChangingDockingStyle, true);
    SetDockingStyle(value->GetDockingStyle());
  }
  if (manager && !FChangingDockingStyle) manager->DoBarDockingStyleChange(this);
  ReportChange();
  // The window moves into the new site (or back to the form edge of its side).
  if (manager) UpdateBarControls(manager);
}

void TdxBar::SetDockedDockControl(TdxBarDockControl* value) {
  if (value && value->GetBarManager() != GetBarManager()) return;
  if (FDockedDockControl == value) return;
  FDockedDockControl = value;
  ReportChange();
}

TdxDockControl* TdxBar::GetRealDockControl() const {
  if (FDockControl) return FDockControl;
  return GetFormDockControl(GetBarManager(), FDockingStyle);
}

void TdxBar::DockControlRemoved(TdxBarDockControl* site) {
  if (FLoadedDockControl == site) FLoadedDockControl = nullptr;
  if (FDockedDockControl == site) FDockedDockControl = nullptr;
  if (FDockControl != site) return;
  FDockingStyle = site->GetDockingStyle();
  FDockControl = nullptr;
  TdxBarManager* manager = GetBarManager();
  if (manager && !manager->InDestruction()) UpdateBarControls(manager);
}

Integer TdxBar::GetRow() const {
  if (FDockRow)
    if (TdxDockControl* dock = FDockRow->GetDockControl())
      if (const Integer index = dock->IndexOfRow(FDockRow); index >= 0) return index;
  return FRow;
}

void TdxBar::SetDockRow(TdxDockRow* value) {
  if (FDockRow == value) return;
  // A bar on its way out joins no row: the rows rearranged while it goes (its merged bars
  // coming back) would otherwise take it in again and keep it after it is freed.
  if (value && GetComponentState().Contains(csDestroying)) return;
  TdxDockRow* old = FDockRow;
  FDockRow = nullptr;
  if (old) old->RemoveBar(this, true);
  FDockRow = value;
  if (value) value->AddBar(this);
}

void TdxBar::MoveToRow(Integer index) {
  TdxDockControl* dock = FDockRow ? FDockRow->GetDockControl() : nullptr;
  if (!dock) return;
  // Beyond the last row: one new row, or (while the manager is locked or loading, when rows
  // come one by one) as many as the index needs.
  TdxBarManager* manager = GetBarManager();
  const Boolean many = manager && (manager->IsUpdateLocked() || manager->IsLoading());
  if (index >= dock->GetRowCount()) {
    if (many)
      while (dock->GetRowCount() <= index) dock->InsertRow(dock->GetRowCount());
    else
      dock->InsertRow(dock->GetRowCount());
  }
  index = std::min(index, dock->GetRowCount() - 1);
  SetDockRow(dock->GetRow(index));
  dock->Realign();
}

// ==== Dock site ===============================================================================

TdxDockControl::TdxDockControl(TComponent* owner) : TCustomControl(owner) {
  FBackgroundBitmap = new TBitmap();
  FBackgroundBitmap->SetOnChange(TNotifyEvent(this, &TdxDockControl::BitmapChanged));
  SetParentColor(true);
  LiveDockControls().push_back(this);
}

TdxDockControl* TdxDockControl::CreateForStyle(TComponent* owner, TdxBarDockingStyle style, TdxBarManager* manager) {
  auto* site = new TdxDockControl(owner);
  static const TAlign aligns[] = {alTop, alLeft, alTop, alRight, alBottom};
  site->SetAlign(aligns[style]);
  site->SetControlStyle(site->GetControlStyle() + TControlStyle{csDoubleClicks});
  site->FFixedStyle = style;
  site->SetBarManager(manager);
  return site;
}

void TdxDockControl::BeforeDestruction() {
  // Bars in a user site (or going back to it) forget it; those in it go to the form edge.
  if (auto* user = dynamic_cast<TdxBarDockControl*>(this); user && FBarManager)
    for (Integer i = 0; i < FBarManager->GetBarCount(); ++i) FBarManager->GetBar(i)->DockControlRemoved(user);
  FDestroyingWindows = true;
  auto& live = LiveDockControls();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  while (!FRows.empty()) {
    TdxDockRow* row = FRows.back();
    FRows.pop_back();
    orv::Free(row);
  }
  SetBarManager(nullptr);
  ResetBackgroundCache();
  inherited::BeforeDestruction();
}

TdxDockControl::~TdxDockControl() { orv::Free(FBackgroundBitmap); }

void TdxDockControl::SetBarManager(TdxBarManager* value) {
  if (FBarManager == value) return;
  if (FBarManager) {
    FBarManager->RemoveFreeNotification(this);
    if (auto* user = dynamic_cast<TdxBarDockControl*>(this)) FBarManager->RemoveDockControl(user);
    if (FFixedStyle != dsNone && FBarManager->GetBars()->GetDockControl(FFixedStyle) == this)
      FBarManager->GetBars()->SetDockControl(FFixedStyle, nullptr);
  }
  FBarManager = value;
  if (FBarManager) {
    FBarManager->FreeNotification(this);
    if (auto* user = dynamic_cast<TdxBarDockControl*>(this)) FBarManager->AddDockControl(user);
    if (FFixedStyle != dsNone) FBarManager->GetBars()->SetDockControl(FFixedStyle, this);
  }
  if (!FDestroyingWindows) BackgroundChanged();
}

void TdxDockControl::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FBarManager) SetBarManager(nullptr);
}

void TdxDockControl::SetBackgroundBitmap(TBitmap* value) { FBackgroundBitmap->Assign(value); }

void TdxDockControl::BitmapChanged(TObject* sender) {
  BackgroundChanged();
  Invalidate();
  UpdateDoubleBuffered();
  RepaintBarControls();
}

TdxBarDockingStyle TdxDockControl::GetDockingStyle() const {
  switch (GetAlign()) {
    case alLeft: return dsLeft;
    case alRight: return dsRight;
    case alBottom: return dsBottom;
    default: return dsTop;
  }
}

Boolean TdxDockControl::IsVertical() const { return IsVerticalStyle(GetDockingStyle()); }

Integer TdxDockControl::ClientExtent() { return IsVertical() ? GetClientWidth() : GetClientHeight(); }
Integer TdxDockControl::ClientLength() { return IsVertical() ? GetClientHeight() : GetClientWidth(); }

// ---- Rows

Integer TdxDockControl::IndexOfRow(TdxDockRow* row) const {
  auto it = std::find(FRows.begin(), FRows.end(), row);
  return it == FRows.end() ? -1 : Integer(it - FRows.begin());
}

TdxDockRow* TdxDockControl::InsertRow(Integer index) {
  index = std::clamp(index, 0, GetRowCount());
  auto* row = new TdxDockRow(this);
  FRows.insert(FRows.begin() + index, row);
  return row;
}

void TdxDockControl::DeleteRow(TdxDockRow* row) {
  auto it = std::find(FRows.begin(), FRows.end(), row);
  if (it == FRows.end()) return;
  FRows.erase(it);
  orv::Free(row);
}

Integer TdxDockControl::FindCol(TdxBarControl* barControl, TdxDockRow*& row) const {
  for (TdxDockRow* r : FRows) {
    const Integer index = r->IndexOfCol(barControl);
    if (index >= 0) {
      row = r;
      return index;
    }
  }
  row = nullptr;
  return -1;
}

TdxDockCol* TdxDockControl::FindCol(TdxBarControl* barControl) const {
  TdxDockRow* row;
  const Integer index = FindCol(barControl, row);
  return index >= 0 ? row->GetCol(index) : nullptr;
}

Integer TdxDockControl::GetRowThickness(Integer index) {
  if (index < 0 || index >= GetRowCount()) return 0;
  TdxDockRow* row = FRows[size_t(index)];
  Integer thickness = 0;
  for (Integer i = 0; i < row->GetColCount(); ++i) {
    TdxBarControl* toolbar = row->GetCol(i)->GetBarControl();
    if (!toolbar || !toolbar->GetVisible()) continue;
    thickness = std::max(thickness, IsVertical() ? toolbar->GetWidth() : toolbar->GetHeight());
  }
  if (thickness > 0 && index < GetRowCount() - 1)
    if (TdxBarPainter* painter = GetPainter()) thickness += painter->GetDockRowSpacing();
  return thickness;
}

void TdxDockControl::GetRowRect(Integer index, TRect& rect) {
  rect = TRect();
  if (index < 0 || index >= GetRowCount()) return;
  Integer start = 0;
  for (Integer i = 0; i < index; ++i) start += GetRowThickness(i);
  const Integer thickness = GetRowThickness(index);
  if (IsVertical())
    rect = TRect{start, 0, start + thickness, GetClientHeight()};
  else
    rect = TRect{0, start, GetClientWidth(), start + thickness};
}

Integer TdxDockControl::GetContentSize() {
  Integer size = 0;
  for (Integer i = 0; i < GetRowCount(); ++i) size += GetRowThickness(i);
  return size;
}

Boolean TdxDockControl::GetSunkenBorder() { return FBarManager && FBarManager->GetSunkenBorder(); }

Integer TdxDockControl::GetTotalSize() {
  const Integer size = GetContentSize();
  return size > 0 && GetSunkenBorder() ? size + 2 : size;
}

// ---- Row zones

Integer TdxDockControl::GetRowAtPoint(const TPoint& point, Boolean& oneOnRow) {
  oneOnRow = true;
  if (FRows.empty()) return 0;
  POINT p{point.X, point.Y};
  ::ScreenToClient(GetHandle(), &p);
  const Integer depth = IsVertical() ? p.X : p.Y;
  const Boolean far = IsFarStyle(GetDockingStyle());
  const Integer content = GetContentSize();
  const Integer extent = ClientExtent();
  const Integer z = kDockingZoneSize;
  Integer result = -2;
  for (Integer b = -1; b < GetRowCount() && result == -2; ++b) {
    Integer s, e;
    if (b == -1) {
      s = far ? extent - content - z : -z;
      e = far ? extent - content : 0;
    } else {
      TRect r;
      GetRowRect(b, r);
      s = IsVertical() ? r.Left : r.Top;
      e = IsVertical() ? r.Right : r.Bottom;
    }
    const Integer m = far ? e - (z - 5) / 2 - 5 : s + (z - 5) / 2;
    if (depth >= s && depth < m) {
      result = b;
      oneOnRow = false;
    } else if (depth >= m && depth < m + 5) {
      result = b + 1;
      oneOnRow = true;
    } else if (depth >= m + 5 && depth < e) {
      result = b + 1;
      oneOnRow = false;
    }
  }
  if (result == -2) {
    oneOnRow = true;
    result = depth < content ? 0 : GetRowCount();
  }
  if (result >= GetRowCount()) oneOnRow = true;
  return result;
}

void TdxDockControl::GetRowInsertPoint(Integer rowIndex, Boolean oneOnRow, TPoint& point) {
  const Boolean far = IsFarStyle(GetDockingStyle());
  const Integer z = kDockingZoneSize;
  const Integer content = GetContentSize();
  const Integer extent = ClientExtent();
  auto band = [&](Integer b, Integer& s, Integer& e) {
    if (b < 0) {
      s = far ? extent - content - z : -z;
      e = far ? extent - content : 0;
    } else if (b >= GetRowCount()) {
      s = far ? extent : content;
      e = s + z;
    } else {
      TRect r;
      GetRowRect(b, r);
      s = IsVertical() ? r.Left : r.Top;
      e = IsVertical() ? r.Right : r.Bottom;
    }
  };
  auto middle = [&](Integer s, Integer e) { return far ? e - (z - 5) / 2 - 5 : s + (z - 5) / 2; };
  Integer depth;
  Integer s, e;
  if (oneOnRow && rowIndex < GetRowCount()) {
    band(rowIndex - 1, s, e);
    depth = middle(s, e) + 2;
  } else {
    band(rowIndex - 1, s, e);
    Integer from = middle(s, e) + 5, to = e;
    Integer s2, e2;
    band(rowIndex, s2, e2);
    const Integer to2 = middle(s2, e2);
    const Integer second = to2 - s2;
    if (to - from > second) from = to - second;
    depth = (from + to2) / 2;
  }
  POINT p{0, depth};
  if (IsVertical()) p = POINT{depth, 0};
  ::ClientToScreen(GetHandle(), &p);
  if (IsVertical())
    point.X = p.X;
  else
    point.Y = p.Y;
}

Integer TdxDockControl::GetColAtPoint(Integer rowIndex, const TPoint& point) {
  if (rowIndex < 0 || rowIndex >= GetRowCount()) return 0;
  TdxDockRow* row = FRows[size_t(rowIndex)];
  if (row->GetColCount() == 0) return 0;
  POINT p{point.X, point.Y};
  ::ScreenToClient(GetHandle(), &p);
  Integer along = IsVertical() ? p.Y : p.X;
  if (FBarManager && FBarManager->GetBars())
    if (TdxBarControl* moving = FBarManager->GetBars()->GetMovingBarControl()) {
      const TPoint grab = moving->GetSizeForDockingStyle(GetDockingStyle());
      along -= IsVertical() ? grab.Y : grab.X;
    }
  for (Integer i = 0; i < row->GetColCount(); ++i) {
    TdxBarControl* toolbar = row->GetCol(i)->GetBarControl();
    TdxBar* bar = toolbar ? toolbar->GetBar() : nullptr;
    if (!bar) continue;
    if ((IsVertical() ? bar->GetDockedTop() : bar->GetDockedLeft()) >= along) return i;
  }
  return row->GetColCount();
}

// ---- Inserting, removing and moving

void TdxDockControl::InsertBarControl(TdxBarControl* barControl, const TPoint& point, Boolean realign) {
  if (!FBarManager || !barControl) return;
  TdxBar* bar = barControl->GetBar();
  const Boolean fromState = barControl->IsPlacingFromState();
  // Rows a bar read from a description asks for are kept even when they stay empty.
  const Boolean restoring = FBarManager->IsLoading() || FBarManager->IsLoadingBars();
  Integer index;
  Boolean oneOnRow;
  if (fromState) {
    index = UseBarRowIndex() && bar ? bar->GetRow() : 0;
    oneOnRow = bar && bar->GetOneOnRow();
  } else {
    index = GetRowAtPoint(point, oneOnRow);
  }
  if (bar && bar->GetWholeRow()) oneOnRow = true;
  if (fromState && restoring && index >= GetRowCount()) {
    while (GetRowCount() <= index) InsertRow(GetRowCount());
  } else {
    index = std::min(index, oneOnRow ? GetRowCount() : GetRowCount() - 1);
    index = std::max(index, 0);
  }
  if (index >= GetRowCount()) oneOnRow = true;
  if (!oneOnRow) {
    TdxDockRow* row = FRows[size_t(index)];
    for (Integer i = 0; i < row->GetBarCount(); ++i)
      if (row->GetBar(i) != bar && row->GetBar(i)->GetWholeRow()) oneOnRow = true;
  }
  TdxDockRow* row;
  TdxDockCol* col;
  if (oneOnRow) {
    row = fromState && restoring && index < GetRowCount() ? FRows[size_t(index)] : InsertRow(index);
    col = row->AddCol(barControl);
  } else {
    row = FRows[size_t(index)];
    const Integer at = GetColAtPoint(index, point);
    row->InsertCol(at, barControl);
    col = row->GetCol(at);
  }
  row->UpdateOneOnRow();
  // The bar joins the row (a bar in another row leaves it first; its column here stays).
  if (bar && bar->GetDockRow() != row) {
    if (TdxDockRow* old = bar->GetDockRow()) {
      old->RemoveBar(bar, false);
      if (old->GetBarCount() == 0 && old != row) DeleteRow(old);
    }
    bar->SetDockRow(row);
  }
  // Where it was asked to stand, in the site's client coordinates; a toolbar the user drags
  // stands where the pointer holds it.
  POINT p{point.X, point.Y};
  if (!fromState && FBarManager->GetBars() && FBarManager->GetBars()->GetMovingBarControl() == barControl) {
    const TPoint offset = FBarManager->GetBars()->GetMoveDragOffset();
    const TPoint grab = barControl->GetSizeForDockingStyle(GetDockingStyle());
    p.X -= offset.X + grab.X;
    p.Y -= offset.Y + grab.Y;
  }
  if (HandleAllocated()) ::ScreenToClient(GetHandle(), &p);
  if (fromState && bar) p = POINT{bar->GetDockedLeft(), bar->GetDockedTop()};
  if (IsVertical())
    p.Y = std::max<Integer>(p.Y, 0);
  else
    p.X = std::max<Integer>(p.X, 0);
  col->RequestedPos = TPoint{p.X, p.Y};
  if (realign) {
    barControl->SetBounds(p.X, p.Y, barControl->GetWidth(), barControl->GetHeight());
    Realign();
    if (!restoring) col->UpdateRequestedPos();
  }
}

void TdxDockControl::RemoveBarControl(TdxBarControl* barControl, Boolean realign) {
  TdxDockRow* row;
  const Integer index = FindCol(barControl, row);
  if (index < 0) return;
  row->DeleteCol(index);
  if (realign) Realign();
}

void TdxDockControl::MoveBarControl(TdxBarControl* barControl, const TPoint& point) {
  TdxDockRow* row;
  const Integer index = FindCol(barControl, row);
  if (index >= 0) row->DeleteCol(index);
  // A row left without columns goes once none of its bars stays in it.
  if (row && row->GetColCount() == 0 && barControl->GetBar() && row->HasBar(barControl->GetBar()) &&
      row->GetBarCount() == 1) {
    row->RemoveBar(barControl->GetBar(), true);
  }
  InsertBarControl(barControl, point, true);
  if (NeedDoubleBuffering()) {
    ResetBackgroundCache();
    RepaintBarControls();
  }
}

void TdxDockControl::UpdateColumnPositions() {
  for (TdxDockRow* row : FRows)
    for (Integer i = 0; i < row->GetColCount(); ++i) row->GetCol(i)->UpdateRequestedPos();
}

void TdxDockControl::GetDockingZone(TRect& rect) {
  RECT r{};
  if (HandleAllocated()) GetWindowRect(GetHandle(), &r);
  rect = TRect{r.Left - kDockingZoneSize, r.Top, r.Right + kDockingZoneSize, r.Bottom};
  if (!IsVertical()) {
    rect.Top -= kDockingZoneSize;
    rect.Bottom += kDockingZoneSize;
  }
}

// ---- Layout

void TdxDockControl::Realign() {
  if (!FBarManager || FBarManager->IsUpdateLocked() || FBarManager->InDestruction() || FDestroyingWindows ||
      GetComponentState().Contains(csDestroying))
    return;
  ArrangeAll();
  UpdateSize();
}

void TdxDockControl::ArrangeAll() {
  if (FRows.empty() || !FBarManager || FBarManager->IsLoading() || FBarManager->InDestruction()) return;
  if (FArranging) return;
  FArranging = true;
  try {
    ArrangeRows();
  } catch (...) {
    FArranging = false;
    throw;
  }
  FArranging = false;
  if (HandleAllocated()) Invalidate();
}

void TdxDockControl::ArrangeRows() {
  const Integer length = ClientLength();
  for (Integer i = 0; i < GetRowCount(); ++i)
    if (FRows[size_t(i)]->HasDockedBars()) ArrangeRow(i, length);
}

void TdxDockControl::ArrangeRow(Integer rowIndex, Integer length) {
  TdxDockRow* row = FRows.at(size_t(rowIndex));
  const Integer count = row->GetColCount();
  if (count == 0) return;
  const TdxBarDockingStyle style = GetDockingStyle();
  const Boolean vertical = IsVertical();
  TRect rowRect;
  GetRowRect(rowIndex, rowRect);
  const Integer rowOrigin = vertical ? rowRect.Left : rowRect.Top;
  struct TColInfo {
    TdxBarControl* Toolbar;
    TdxDockCol* Col;
    Integer MinSize, MaxSize, BorderAlong, BorderAcross, Start, Length, Across;
    Boolean Truncated;
  };
  std::vector<TColInfo> cols;
  Integer total = 0;
  for (Integer i = 0; i < count; ++i) {
    TdxDockCol* col = row->GetCol(i);
    TdxBarControl* toolbar = col->GetBarControl();
    const TRect borders = BarBorders(toolbar, style);
    TColInfo info{toolbar, col, 0, 0, 0, 0, 0, 0, 0, false};
    info.BorderAlong = vertical ? borders.Top + borders.Bottom : borders.Left + borders.Right;
    info.BorderAcross = vertical ? borders.Left + borders.Right : borders.Top + borders.Bottom;
    info.MinSize = (vertical ? toolbar->GetMinHeight(style) : toolbar->GetMinWidth(style)) + info.BorderAlong;
    info.MaxSize = (vertical ? toolbar->CalcHeightForStyle(style) : toolbar->CalcWidthForStyle(style)) + info.BorderAlong;
    info.MaxSize = std::max(info.MaxSize, info.MinSize);
    total += info.MaxSize;
    cols.push_back(info);
  }
  auto acrossFor = [&](TColInfo& c, Integer len) {
    const TSize size = c.Toolbar->CalcDockedSize(style, len);
    return vertical ? size.cx : size.cy;
  };
  auto sumBefore = [&](Integer k, Boolean max) {
    Integer sum = 0;
    for (Integer j = 0; j < k; ++j) sum += max ? cols[size_t(j)].MaxSize : cols[size_t(j)].MinSize;
    return sum;
  };
  TdxBar* firstBar = cols[0].Toolbar->GetBar();
  if (firstBar && firstBar->GetWholeRow()) {
    TColInfo& c = cols[0];
    c.Start = 0;
    c.Length = std::max(length, c.MinSize);
    c.Across = acrossFor(c, c.Length);
    c.Truncated = !c.Toolbar->IsMultiLine() && c.Length < c.MaxSize;
  } else if (length >= total) {
    Integer limit = length;
    for (Integer k = count - 1; k >= 0; --k) {
      TColInfo& c = cols[size_t(k)];
      c.Length = c.MaxSize;
      c.Across = acrossFor(c, c.Length);
      Integer start = vertical ? c.Col->RequestedPos.Y : c.Col->RequestedPos.X;
      if (start + c.Length > limit) start = limit - c.Length;
      start = std::max(start, sumBefore(k, true));
      c.Start = start;
      limit = start;
    }
  } else {
    Integer limit = length;
    for (Integer k = count - 1; k >= 0; --k) {
      TColInfo& c = cols[size_t(k)];
      Integer start = vertical ? c.Col->RequestedPos.Y : c.Col->RequestedPos.X;
      start = std::clamp(start, sumBefore(k, false), std::max(sumBefore(k, false), sumBefore(k, true)));
      if (limit - start < c.MaxSize) {
        const Boolean canTruncate = !c.Toolbar->IsMultiLine() && c.MinSize != c.MaxSize;
        c.Length = std::max(limit - start, c.MinSize);
        if (canTruncate) c.Truncated = c.Length < c.MaxSize;
      } else {
        c.Length = c.MaxSize;
      }
      if (k == 0) c.Length = std::max(c.Length, limit);
      c.Across = acrossFor(c, c.Length);
      start = limit - c.Length;
      start = std::clamp(start, sumBefore(k, false), std::max(sumBefore(k, false), sumBefore(k, true)));
      if (k == 0) start = 0;
      c.Start = start;
      limit = start;
    }
  }
  // Rest space: packed bars start where the previous one ends; a rest-space bar stretches.
  Integer position = 0;
  for (Integer k = 0; k < count; ++k) {
    TColInfo& c = cols[size_t(k)];
    TdxBar* bar = c.Toolbar->GetBar();
    const Boolean rest = bar && bar->GetUseRestSpace();
    if (rest || FBarManager->GetAutoAlignBars()) c.Start = position;
    if (rest) {
      const Integer next = k + 1 < count ? cols[size_t(k + 1)].Start : length;
      c.Length = std::max(next - c.Start, c.MinSize);
      c.Across = acrossFor(c, c.Length);
    }
    position = c.Start + c.Length;
  }
  TColInfo& last = cols.back();
  if (last.Truncated) {
    last.Length = std::max(length - last.Start, last.MinSize);
    last.Across = acrossFor(last, last.Length);
  }
  Integer across = 0;
  for (const TColInfo& c : cols) across = std::max(across, c.Across);
  for (TColInfo& c : cols) {
    TRect bounds = vertical ? TRect{rowOrigin, c.Start, rowOrigin + across, c.Start + c.Length}
                            : TRect{c.Start, rowOrigin, c.Start + c.Length, rowOrigin + across};
    if (c.Toolbar->GetLeft() != bounds.Left || c.Toolbar->GetTop() != bounds.Top ||
        c.Toolbar->GetWidth() != bounds.Width() || c.Toolbar->GetHeight() != bounds.Height())
      c.Toolbar->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
  }
}

void TdxDockControl::UpdateSize() {
  const Integer size = GetTotalSize();
  const Boolean vertical = IsVertical();
  const Integer old = vertical ? GetWidth() : GetHeight();
  if (size == old) return;
  TWinControl* parent = GetParent();
  if (parent) parent->DisableAlign();
  try {
    const TdxBarDockingStyle style = GetDockingStyle();
    if (style == dsRight)
      SetBounds(GetLeft() + GetWidth() - size, GetTop(), size, GetHeight());
    else if (style == dsBottom)
      SetBounds(GetLeft(), GetTop() + GetHeight() - size, GetWidth(), size);
    else if (vertical)
      SetWidth(size);
    else
      SetHeight(size);
  } catch (...) {
    if (parent) parent->EnableAlign();
    throw;
  }
  if (parent) {
    parent->EnableAlign();
    // The other controls of the form take the room that is left.
    parent->Realign();
  }
}

void TdxDockControl::AlignControls(TControl* control, TRect& rect) {
  // The toolbars are placed by the rows, not by their alignment.
  if (FBarManager && !FBarManager->IsLoading()) Realign();
}

Boolean TdxDockControl::CanDockBar(TdxBar* bar) { return FAllowDocking; }

void TdxDockControl::ColorChanged() {
  if (!FBarManager || FBarManager->GetAutoDockColor())
    SetParentColor(true);
  else
    SetColor(FBarManager->GetDockColor());
}

// ---- Painting

TdxBarPainter* TdxDockControl::GetPainter() { return FBarManager ? FBarManager->GetPainter() : nullptr; }

Boolean TdxDockControl::HasBackgroundBitmap() { return !FBackgroundBitmap->GetEmpty(); }

Boolean TdxDockControl::NeedDoubleBuffering() {
  if (HasBackgroundBitmap()) return true;
  if (!FBarManager) return false;
  TdxBarPainter* painter = GetPainter();
  return (painter && painter->DrawsOwnDockBackground()) || !FBarManager->GetBackgrounds()->GetBar()->GetEmpty();
}

void TdxDockControl::UpdateDoubleBuffered() { SetDoubleBuffered(NeedDoubleBuffering()); }

void TdxDockControl::BackgroundChanged() { ResetBackgroundCache(); }

void TdxDockControl::ResetBackgroundCache() {
  if (FBackgroundCache) DeleteObject(FBackgroundCache);
  FBackgroundCache = nullptr;
}

HBITMAP TdxDockControl::GetBackgroundCache(Boolean& empty) {
  empty = FBackgroundCache == nullptr;
  return FBackgroundCache;
}

void TdxDockControl::SetBackgroundCache(HBITMAP bitmap) {
  if (FBackgroundCache && FBackgroundCache != bitmap) DeleteObject(FBackgroundCache);
  FBackgroundCache = bitmap;
}

void TdxDockControl::RepaintBarControls() {
  for (TdxDockRow* row : FRows)
    for (Integer i = 0; i < row->GetColCount(); ++i)
      if (TdxBarControl* toolbar = row->GetCol(i)->GetBarControl(); toolbar && toolbar->HandleAllocated())
        RedrawWindow(toolbar->GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

void TdxDockControl::DrawBackground(HDC dc, const TRect& rect, TColor color, HBRUSH brush, const TRect& origin) {
  if (FBackgroundBitmap->GetEmpty() && FBarManager) {
    TBitmap* bars = FBarManager->GetBackgrounds()->GetBar();
    if (bars->GetEmpty()) {
      if (TdxBarPainter* painter = GetPainter()) {
        const TRect whole{0, 0, GetClientWidth(), GetClientHeight()};
        if (!RectIsEmpty(rect)) painter->DrawDockBackground(this, dc, color, brush, whole, origin, rect);
        return;
      }
    }
    FillRectOrTile(dc, rect, origin, bars, color, brush);
    return;
  }
  FillRectOrTile(dc, rect, origin, FBackgroundBitmap, color, brush);
}

void TdxDockControl::Paint() {}

void TdxDockControl::RefreshFrames() {
  if (!HandleAllocated()) return;
  SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (TdxDockRow* row : FRows)
    for (Integer i = 0; i < row->GetColCount(); ++i)
      if (TdxBarControl* toolbar = row->GetCol(i)->GetBarControl(); toolbar && toolbar->HandleAllocated())
        SetWindowPos(toolbar->GetHandle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Realign();
}

void TdxDockControl::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  params.ExStyle = 0;
  params.WindowClass.style = CS_DBLCLKS;
}

void TdxDockControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND: {
      const TRect client{0, 0, GetClientWidth(), GetClientHeight()};
      DrawBackground(reinterpret_cast<HDC>(message.WParam), client, TColor(ColorToRGB(GetColor())), nullptr, client);
      message.Result = 1;
      return;
    }
    case WM_NCCALCSIZE:
      if (GetSunkenBorder()) {
        auto* rect = reinterpret_cast<RECT*>(message.LParam);
        if (message.WParam) rect = &reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0];
        rect->Left += 1;
        rect->Top += 1;
        rect->Right = std::max(rect->Left, rect->Right - 1);
        rect->Bottom = std::max(rect->Top, rect->Bottom - 1);
        message.Result = 0;
        return;
      }
      break;
    case WM_NCPAINT:
      if (GetSunkenBorder()) {
        HDC dc = GetWindowDC(GetHandle());
        RECT r{0, 0, GetWidth(), GetHeight()};
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        ReleaseDC(GetHandle(), dc);
        message.Result = 0;
        return;
      }
      break;
    case WM_SIZE:
      ResetBackgroundCache();
      break;
    case WM_MOUSEACTIVATE:
      if (FBarManager && !FBarManager->IsDesigning()) {
        message.Result = MA_NOACTIVATE;
        return;
      }
      break;
    case WM_RBUTTONDOWN:
      inherited::WndProc(message);
      // Outside customizing the free room of a site offers the toolbars menu.
      if (FBarManager && !FBarManager->IsCustomizing() && !FBarManager->IsDesigning())
        GetBarDesignController()->ShowToolbarsMenu(FBarManager);
      return;
    case WM_LBUTTONDBLCLK:
      // A double click on the free room of a dock site starts customizing the bars.
      if (FBarManager && FBarManager->GetCanCustomize()) FBarManager->SetCustomizingMode(true);
      message.Result = 0;
      return;
    default:
      break;
  }
  inherited::WndProc(message);
}

// ==== User dock site ==========================================================================

TdxBarDockControl::TdxBarDockControl(TComponent* owner) : TdxDockControl(owner) {
  SetColor(clWindow);
  SetParentColor(true);
  SetAlign(alTop);
}

void TdxBarDockControl::SetDockAlign(TdxBarDockAlign value) {
  if (FDockAlign == value) return;
  FDockAlign = value;
  static const TAlign aligns[] = {alNone, alTop, alBottom, alLeft, alRight};
  static const TdxBarDockingStyle styles[] = {dsTop, dsTop, dsBottom, dsLeft, dsRight};
  TdxBarManager* manager = GetBarManager();
  if (manager) manager->BeginUpdate();
  SetAlign(aligns[value]);
  for (Integer r = 0; r < GetRowCount(); ++r)
    for (Integer i = 0; i < GetRow(r)->GetColCount(); ++i)
      if (TdxBarControl* toolbar = GetRow(r)->GetCol(i)->GetBarControl()) toolbar->SetDockedStyleInSite(styles[value]);
  if (manager) manager->EndUpdate();
  Realign();
  RepaintBarControls();
  if (GetParent()) GetParent()->Invalidate();
}

void TdxBarDockControl::SetBarManager(TdxBarManager* value) { inherited::SetBarManager(value); }

void TdxBarDockControl::SetUseOwnColor(Boolean value) {
  if (FUseOwnColor == value) return;
  FUseOwnColor = value;
  if (!value) ColorChanged();
}

void TdxBarDockControl::SetUseOwnSunkenBorder(Boolean value) {
  if (FUseOwnSunkenBorder == value) return;
  const Boolean before = GetSunkenBorder();
  if (value) FSunkenBorder = before;
  FUseOwnSunkenBorder = value;
  if (GetSunkenBorder() != before) RefreshFrames();
}

void TdxBarDockControl::SetOwnSunkenBorder(Boolean value) {
  FUseOwnSunkenBorder = true;
  if (FSunkenBorder == value) return;
  FSunkenBorder = value;
  RefreshFrames();
}

Boolean TdxBarDockControl::GetSunkenBorder() {
  return FUseOwnSunkenBorder ? FSunkenBorder : inherited::GetSunkenBorder();
}

Boolean TdxBarDockControl::CanDockBar(TdxBar* bar) {
  if (!inherited::CanDockBar(bar)) return false;
  // A toolbar cannot dock into a site inside itself.
  TCustomdxBarControl* window = bar ? bar->GetControl() : nullptr;
  for (TWinControl* p = GetParent(); p && window; p = p->GetParent())
    if (p == window) return false;
  return true;
}

void TdxBarDockControl::ColorChanged() {
  if (FUseOwnColor) return;
  FSettingColor = true;
  inherited::ColorChanged();
  FSettingColor = false;
  FUseOwnColor = false;
}

Integer TdxBarDockControl::GetContentSize() {
  TdxBarManager* manager = GetBarManager();
  if (GetComponentState().Contains(csLoading) || (manager && manager->IsLoading()))
    return IsVertical() ? GetClientWidth() : GetClientHeight();
  const Integer size = inherited::GetContentSize();
  if (size == 0 && GetComponentState().Contains(csDesigning)) return FAllowZeroSizeInDesignTime ? 0 : 3;
  return size;
}

void TdxBarDockControl::BackgroundChanged() {
  inherited::BackgroundChanged();
  if (!IsDestroyingWindows()) {
    ColorChanged();
    RefreshFrames();
  }
}

void TdxBarDockControl::WndProc(TMessage& message) {
  if ((message.Msg == CM_COLORCHANGED || message.Msg == CM_PARENTCOLORCHANGED) && !FSettingColor &&
      !GetComponentState().Contains(csLoading) && message.Msg == CM_COLORCHANGED)
    FUseOwnColor = true;
  inherited::WndProc(message);
}

// ==== Toolbars in dock sites ==================================================================

TdxDockControl* TdxBarControl::GetDockControl() {
  return FDockingStyle != dsNone ? dynamic_cast<TdxDockControl*>(GetParent()) : nullptr;
}

TSize TdxBarControl::CalcDockedSize(TdxBarDockingStyle style, Integer length) {
  const TRect borders = BarBorders(this, style);
  const Boolean vertical = IsVerticalStyle(style);
  const Integer horz = borders.Left + borders.Right;
  const Integer vert = borders.Top + borders.Bottom;
  Integer across = vertical ? CalcWidthForStyle(style) : CalcHeightForStyle(style);
  if (IsMultiLine() && !vertical) {
    const Integer inner = length - horz - GetMarkAreaSize();
    across = std::max(CalcMultiLineAcross(inner), GetMinHeight(style));
  }
  return vertical ? TSize{across + horz, length} : TSize{length, across + vert};
}

void TdxBarControl::DrawBackground(HDC dc, const TRect& rect, HBRUSH brush, TColor color) {
  TdxBarPainter* painter = GetPainter();
  if (!painter) {
    inherited::DrawBackground(dc, rect, brush, color);
    return;
  }
  const TRect client{0, 0, GetClientWidth(), GetClientHeight()};
  painter->DrawToolbarBackground(this, dc, color, brush ? brush : GetBackgroundBrush(), client, rect);
}

void ForgetDockedBarControl(TdxBarControl* barControl) {
  for (TdxDockControl* dock : LiveDockControls()) {
    if (!dock->FindCol(barControl)) continue;
    dock->RemoveBarControl(barControl, false);
    // A row whose windows are all gone takes no room.
    dock->Realign();
  }
}

TdxDockControl* GetFormDockControl(TdxBarManager* manager, TdxBarDockingStyle style) {
  if (!manager || style == dsNone || manager->InDestruction()) return nullptr;
  if (TdxDockControl* site = manager->GetBars()->GetDockControl(style)) return site;
  TWinControl* form = manager->GetOwnerControl();
  if (!form || form->GetComponentState().Contains(csDestroying)) return nullptr;
  TdxDockControl* site = TdxDockControl::CreateForStyle(manager, style, manager);
  // An empty site takes no room until a toolbar docks in it.
  if (IsVerticalStyle(style))
    site->SetWidth(0);
  else
    site->SetHeight(0);
  site->SetParent(form);
  return site;
}

void TdxBarControl::SetDockedStyleInSite(TdxBarDockingStyle style) {
  if (FDockingStyle == style || style == dsNone) return;
  FDockingStyle = style;
  if (FBar) FBar->SetDockedDockingStyle(style);
  if (HandleAllocated())
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Refresh(true);
}
