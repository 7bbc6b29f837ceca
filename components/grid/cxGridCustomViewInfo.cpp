// The view framework's layout, painting and window: cell view infos, the view info and its
// cache, the cell and view painters, the view data and the grid site.
#include <algorithm>
#include <memory>

#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomView.h"
#include "components/grid/cxGridLevel.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

// ==== Cell view infos ===========================================================================

TcxCustomGridCellViewInfo::TcxCustomGridCellViewInfo() = default;

void TcxCustomGridCellViewInfo::AfterConstruction() {
  if (ClosePopupOnDestruction() || !UsesPopup()) return;
  TcxCustomGridPopup* popup = GetPopup();
  if (popup && popup->IsVisible() && IsPopupUnowned()) {
    popup->SetPopupOwner(this);
    FState = gcsPressed;
  }
}

void TcxCustomGridCellViewInfo::BeforeDestruction() {
  FDestroying = true;
  SetLinkedHitTest(nullptr);
  if (UsesPopup()) {
    TcxCustomGridPopup* popup = GetPopup();
    if (popup && popup->GetPopupOwner() == static_cast<IcxCustomGridPopupOwner*>(this)) popup->SetPopupOwner(nullptr);
  }
  SetMouseCapture(false);
  SetState(gcsNone);
  inherited::BeforeDestruction();
}

TcxCustomGridCellViewInfo::~TcxCustomGridCellViewInfo() {
  if (FLinkedHitTest) FLinkedHitTest->FViewInfo = nullptr;
}

void TcxCustomGridCellViewInfo::MouseCaptureLost() { SetState(gcsNone); }

void TcxCustomGridCellViewInfo::MouseLeave() {
  if (HasMouseCapture()) return;
  if (FState == gcsSelected) SetState(gcsNone);
  if (FState == gcsPressed && !HasPopup()) SetState(gcsNone);
}

void TcxCustomGridCellViewInfo::PopupClosed() { SetState(gcsNone); }

void TcxCustomGridCellViewInfo::AfterCalculateBounds(TRect& bounds) { ClearCachedBounds(); }

void TcxCustomGridCellViewInfo::ClearCachedBounds() {
  FClientBounds = TRect();
  FContentBounds = TRect();
}

void TcxCustomGridCellViewInfo::BeforeRecalculation() { FParamsCalculated = false; }

void TcxCustomGridCellViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  CheckCalculateParams();
  if (width == -1) width = CalculateWidth();
  if (height == -1) height = CalculateHeight();
  FBounds = TRect{leftBound, topBound, leftBound + width, topBound + height};
  AfterCalculateBounds(FBounds);
  FCalculated = true;
}

void TcxCustomGridCellViewInfo::Calculate(const TRect& bounds) {
  Calculate(bounds.Left, bounds.Top, std::max(0, bounds.Width()), std::max(0, bounds.Height()));
}

Integer TcxCustomGridCellViewInfo::CalculateDefaultHeight(TcxCustomGridViewInfo* viewInfo, Integer extra) {
  CheckCalculateParams();
  const Integer textHeight = FMultiLine ? TextHeight() : viewInfo->GetFontHeight(FParams.Font);
  return GetCellHeight(textHeight, extra);
}

void TcxCustomGridCellViewInfo::CalculateParams() {
  FAlignmentHorz = GetAlignmentHorz();
  FAlignmentVert = GetAlignmentVert();
  GetViewParams(FParams);
  FBorders = GetBorders();
  GetText(FText);
  FMultiLine = GetMultiLine();
  FPaintsMultiLine = GetPaintsMultiLine();
  SetWidth(CalculateWidth());
}

void TcxCustomGridCellViewInfo::CheckCalculateParams() {
  if (FParamsCalculated || FCalculatingParams) return;
  FCalculatingParams = true;
  try {
    CalculateParams();
  } catch (...) {
    FCalculatingParams = false;
    FParamsCalculated = true;
    throw;
  }
  FCalculatingParams = false;
  FParamsCalculated = true;
}

const TcxViewParams& TcxCustomGridCellViewInfo::Params() {
  CheckCalculateParams();
  return FParams;
}

void TcxCustomGridCellViewInfo::Recalculate() {
  BeforeRecalculation();
  Calculate(FBounds);
}

void TcxCustomGridCellViewInfo::RecalculateAndInvalidate() {
  Recalculate();
  Invalidate();
}

void TcxCustomGridCellViewInfo::OffsetCell(Integer dx, Integer dy) {
  if (!FCalculated) return;
  Offset(dx, dy);
  SetState(gcsNone);
  MouseLeave();
}

void TcxCustomGridCellViewInfo::Offset(Integer dx, Integer dy) {
  FBounds = GetOffsetRect(FBounds, dx, dy);
  if (!RectIsEmpty(FClientBounds)) FClientBounds = GetOffsetRect(FClientBounds, dx, dy);
  if (!RectIsEmpty(FContentBounds)) FContentBounds = GetOffsetRect(FContentBounds, dx, dy);
}

const TRect& TcxCustomGridCellViewInfo::ClientBounds() {
  if (RectIsEmpty(FClientBounds)) GetClientBounds(FClientBounds);
  return FClientBounds;
}

const TRect& TcxCustomGridCellViewInfo::CachedContentRect() {
  if (RectIsEmpty(FContentBounds)) GetContentBounds(FContentBounds);
  return FContentBounds;
}

void TcxCustomGridCellViewInfo::GetClientBounds(TRect& rect) {
  rect = FBounds;
  rect.Left += BorderWidth(bLeft);
  rect.Top += BorderWidth(bTop);
  rect.Right -= BorderWidth(bRight);
  rect.Bottom -= BorderWidth(bBottom);
}

void TcxCustomGridCellViewInfo::GetContentBounds(TRect& rect) { rect = ClientBounds(); }

void TcxCustomGridCellViewInfo::GetTextAreaBounds(TRect& rect) {
  rect = CachedContentRect();
  rect = GetInflatedRect(rect, -2, -2);
}

Integer TcxCustomGridCellViewInfo::BorderWidth(TcxBorder side) {
  return FBorders.Contains(side) ? GetBorderWidth(side) : 0;
}

void TcxCustomGridCellViewInfo::GetBorderBounds(TcxBorder side, TRect& rect) {
  rect = ClientBounds();
  switch (side) {
    case bLeft:
      rect.Right = rect.Left;
      rect.Left -= GetBorderWidth(bLeft);
      break;
    case bTop:
      rect.Bottom = rect.Top;
      rect.Top -= GetBorderWidth(bTop);
      break;
    case bRight:
      rect.Left = rect.Right;
      rect.Right += GetBorderWidth(bRight);
      break;
    case bBottom:
      rect.Top = rect.Bottom;
      rect.Bottom += GetBorderWidth(bBottom);
      break;
  }
  if (side == bLeft || side == bRight) {
    if (FBorders.Contains(bTop)) rect.Top -= GetBorderWidth(bTop);
    if (FBorders.Contains(bBottom)) rect.Bottom += GetBorderWidth(bBottom);
  }
}

void TcxCustomGridCellViewInfo::GetFocusRectBounds(TRect& rect) {
  rect = FBounds;
  rect = GetInflatedRect(rect, -1, -1);
}

Integer TcxCustomGridCellViewInfo::GetBestFitWidth() {
  return BorderWidth(bLeft) + TextWidth() + 4 + BorderWidth(bRight);
}

Integer TcxCustomGridCellViewInfo::GetTextAttributes(Boolean forPainting) {
  Integer flags = 0;
  switch (FAlignmentHorz) {
    case taLeftJustify: flags |= cxAlignLeft; break;
    case taRightJustify: flags |= cxAlignRight; break;
    case taCenter: flags |= cxAlignHCenter; break;
  }
  switch (FAlignmentVert) {
    case vaTop: flags |= cxAlignTop; break;
    case vaBottom: flags |= cxAlignBottom; break;
    case vaCenter: flags |= cxAlignVCenter; break;
  }
  const Boolean wordBreak = forPainting ? FPaintsMultiLine : FMultiLine;
  flags |= wordBreak ? cxWordBreak : cxSingleLine;
  if (GetShowEndEllipsis()) flags |= cxShowEndEllipsis;
  return flags;
}

Integer TcxCustomGridCellViewInfo::TextWidth(Integer angle) {
  CheckCalculateParams();
  TcxCanvas* canvas = GetCanvas();
  if (!canvas) return 0;
  TRect rect{0, 0, 0x3FFFFFFF, 0x3FFFFFFF};
  if (FParams.Font) canvas->SetFont(FParams.Font);
  if (angle != 0) canvas->SetFontAngle(angle);
  const Integer flags = (GetTextAttributes(false) & ~(cxAlignRight | cxAlignHCenter | cxAlignVCenter)) | cxAlignLeft;
  canvas->MeasureTextRect(FText, rect, flags);
  if (angle != 0) canvas->SetFontAngle(0);
  return rect.Width();
}

Integer TcxCustomGridCellViewInfo::TextHeight(Boolean forPainting, Integer angle) {
  CheckCalculateParams();
  TcxCanvas* canvas = GetCanvas();
  if (!canvas) return 0;
  TRect rect;
  GetTextAreaBounds(rect);
  if (FParams.Font) canvas->SetFont(FParams.Font);
  if (angle != 0) canvas->SetFontAngle(angle);
  const Integer flags = (GetTextAttributes(forPainting) & ~(cxAlignBottom | cxAlignVCenter)) | cxAlignTop;
  canvas->MeasureTextRect(FText, rect, flags);
  if (angle != 0) canvas->SetFontAngle(0);
  return rect.Height();
}

void TcxCustomGridCellViewInfo::GetTextBounds(Boolean horizontal, Boolean vertical, TRect& rect) {
  GetTextAreaBounds(rect);
  if (horizontal) {
    const Integer width = TextWidth();
    if (FPaintsMultiLine && width > rect.Width()) return;
    switch (FAlignmentHorz) {
      case taLeftJustify: rect.Right = rect.Left + width; break;
      case taRightJustify: rect.Left = rect.Right - width; break;
      case taCenter:
        rect.Left = (rect.Left + rect.Right - width) / 2;
        rect.Right = rect.Left + width;
        break;
    }
  }
  if (vertical) {
    const Integer height = TextHeight();
    switch (FAlignmentVert) {
      case vaTop: rect.Bottom = rect.Top + height; break;
      case vaBottom: rect.Top = rect.Bottom - height; break;
      case vaCenter:
        rect.Top = (rect.Top + rect.Bottom - height) / 2;
        rect.Bottom = rect.Top + height;
        break;
    }
  }
}

TcxCustomGridCellPainterClass TcxCustomGridCellViewInfo::GetPainterClass() {
  return TcxCustomGridCellPainter::StaticClass();
}

void TcxCustomGridCellViewInfo::ReadCanvasParams(TcxCanvas* canvas) {
  FParams.Color = canvas->GetBrushColor();
  FParams.Font = canvas->GetFont();
  FParams.TextColor = canvas->GetFontColor();
}

void TcxCustomGridCellViewInfo::ApplyParamsToCanvas(TcxCanvas* canvas) { canvas->ApplyStyleParams(FParams); }

Boolean TcxCustomGridCellViewInfo::DoCustomDraw(TcxCanvas* canvas) {
  if (!HasCustomDraw()) return false;
  ApplyParamsToCanvas(canvas);
  const Boolean done = CustomDraw(canvas);
  if (!done) ReadCanvasParams(canvas);
  return done;
}

Boolean TcxCustomGridCellViewInfo::DoCustomDrawBackground(TcxCanvas* canvas) {
  if (!HasCustomDrawBackground()) return false;
  ApplyParamsToCanvas(canvas);
  const Boolean done = CustomDrawBackground(canvas);
  if (!done) ReadCanvasParams(canvas);
  return done;
}

TcxCustomGridHitTest* TcxCustomGridCellViewInfo::GetHitTest(const TPoint& point) {
  if (!GetVisibleForHitTest() || !HasHitTestPoint(point)) return nullptr;
  TClass hitTestClass = GetHitTestClass();
  if (!hitTestClass) return nullptr;
  TcxCustomGridHitTest* hitTest = TcxCustomGridHitTest::Instance(hitTestClass, point);
  InitHitTest(hitTest);
  return hitTest;
}

Boolean TcxCustomGridCellViewInfo::HasPoint(const TPoint& point) {
  TRect area = FBounds;
  TRect clip;
  GetClipArea(clip);
  if (!RectIsEmpty(clip)) area = orv::RectIntersection(area, clip);
  return IsPointInRect(area, point);
}

Boolean TcxCustomGridCellViewInfo::IsHitTestMine(TcxCustomGridHitTest* hitTest) {
  return hitTest && GetHitTestClass() && hitTest->ClassType() == GetHitTestClass();
}

void TcxCustomGridCellViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) { hitTest->SetViewInfo(this); }

void TcxCustomGridCellViewInfo::SetLinkedHitTest(TcxCustomGridHitTest* value) {
  if (FLinkedHitTest == value) return;
  if (value)
    value->SetViewInfo(this);
  else if (FLinkedHitTest)
    FLinkedHitTest->SetViewInfo(nullptr);
}

Boolean TcxCustomGridCellViewInfo::HasMouseCapture() {
  TcxControl* control = GetControl();
  return control && control->GetMouseCaptureObject() == static_cast<TObject*>(this);
}

void TcxCustomGridCellViewInfo::SetMouseCapture(Boolean value) {
  TcxControl* control = GetControl();
  if (!control || value == HasMouseCapture()) return;
  control->SetMouseCaptureObject(value ? static_cast<TObject*>(this) : nullptr);
}

Boolean TcxCustomGridCellViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  if (button != mbLeft || !HotTrackable() || !IsHitTestMine(hitTest)) return false;
  if (HasPopup()) {
    if (FState == gcsPressed)
      SetState(gcsSelected);
    else if (FState == gcsSelected)
      SetState(gcsPressed);
  } else {
    SetState(gcsPressed);
  }
  return true;
}

Boolean TcxCustomGridCellViewInfo::MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  if (!HotTrackable()) return false;
  const Boolean mine = IsHitTestMine(hitTest);
  if (HasPopup()) {
    if (FState == gcsPressed) return false;
    SetState(mine ? gcsSelected : gcsNone);
  } else if (mine) {
    SetState(HasMouseCapture() ? gcsPressed : gcsSelected);
  } else {
    SetState(HasMouseCapture() ? gcsSelected : gcsNone);
  }
  return true;
}

Boolean TcxCustomGridCellViewInfo::MouseUp(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  if (button != mbLeft || HasPopup()) return false;
  const TcxGridCellState prev = FState;
  SetState(gcsNone);
  if (prev == gcsPressed) Click();
  return prev == gcsPressed;
}

void TcxCustomGridCellViewInfo::SetState(TcxGridCellState value) {
  if (FState == value) return;
  BeforeStateChange();
  const TcxGridCellState prev = FState;
  FState = value;
  StateChanged(prev);
}

void TcxCustomGridCellViewInfo::StateChanged(TcxGridCellState prevState) {
  if (InvalidateOnStateChange()) Invalidate();
  switch (FState) {
    case gcsNone: StopMouseTracking(this); break;
    case gcsSelected:
      if (TcxControl* control = GetControl()) StartMouseTracking(control, FBounds, this);
      break;
    case gcsPressed:
      if (CaptureMouseOnPress()) SetMouseCapture(true);
      if (HasPopup()) ShowPopup();
      break;
  }
}

void TcxCustomGridCellViewInfo::DoInvalidate() {
  if (TcxControl* control = GetControl()) control->InvalidateArea(FBounds, false);
}

Boolean TcxCustomGridCellViewInfo::IsPopupUnowned() {
  TcxCustomGridPopup* popup = GetPopup();
  return popup && !popup->GetPopupOwner();
}

void TcxCustomGridCellViewInfo::ShowPopup() {
  TcxCustomGridPopup* popup = GetPopup();
  if (!popup || popup->IsVisible()) return;
  popup->SetPopupOwner(this);
  popup->Popup();
}

void TcxCustomGridCellViewInfo::Paint(TcxCanvas* canvas) {
  if (!CanDraw()) return;
  TcxCustomGridCellPainterClass painterClass = GetPainterClass();
  if (!painterClass) return;
  std::unique_ptr<TcxCustomGridCellPainter, orv::FreeDeleter> painter(
      painterClass.Create(canvas ? canvas : GetCanvas(), this));
  painter->MainPaint();
}

// ---- View cells ----

TcxCustomGridViewCellViewInfo::TcxCustomGridViewCellViewInfo(TcxCustomGridViewInfo* gridViewInfo)
    : FGridViewInfo(gridViewInfo) {}

void TcxCustomGridViewCellViewInfo::BeforeDestruction() {
  if (FGridViewInfo) {
    FGridViewInfo->RemoveActiveCell(this);
    TcxCustomGridController* controller = GetController();
    if (controller && controller->GetHintCell() == this) controller->HideHint();
  }
  inherited::BeforeDestruction();
}

TcxCustomGridView* TcxCustomGridViewCellViewInfo::GetGridView() const { return FGridViewInfo->GetGridView(); }

TcxCustomGridController* TcxCustomGridViewCellViewInfo::GetController() const {
  return FGridViewInfo->GetGridView()->GetController();
}

void TcxCustomGridViewCellViewInfo::AfterCalculateBounds(TRect& bounds) {
  inherited::AfterCalculateBounds(bounds);
  if (!HotTrackAfterCalculate() || !HotTrackable()) return;
  TcxGridSite* site = FGridViewInfo->GetSiteValue();
  if (!site || !site->HandleAllocated() || !FGridViewInfo->CanRefresh()) return;
  const TPoint mousePos = FGridViewInfo->GetMousePos();
  if (!IsPointInRect(GetBounds(), mousePos)) return;
  TcxCustomGridHitTest* hitTest = TcxCustomGridHitTest::Instance(GetHitTestClass(), mousePos);
  InitHitTest(hitTest);
  MouseMove(hitTest, TShiftState());
}

void TcxCustomGridViewCellViewInfo::DoInvalidate() { GetGridView()->ViewChanged(GetBounds()); }

TcxCanvas* TcxCustomGridViewCellViewInfo::GetCanvas() { return FGridViewInfo->Canvas(); }

TcxControl* TcxCustomGridViewCellViewInfo::GetControl() { return FGridViewInfo->GetSiteValue(); }

Boolean TcxCustomGridViewCellViewInfo::IsHitTestMine(TcxCustomGridHitTest* hitTest) {
  if (!inherited::IsHitTestMine(hitTest)) return false;
  auto* viewHitTest = dynamic_cast<TcxCustomGridViewHitTest*>(hitTest);
  return !viewHitTest || viewHitTest->GetGridView() == GetGridView();
}

void TcxCustomGridViewCellViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  inherited::InitHitTest(hitTest);
  FGridViewInfo->InitHitTest(hitTest);
}

void TcxCustomGridViewCellViewInfo::BeforeRecalculation() {
  FGridViewInfo->UpdateMousePos();
  inherited::BeforeRecalculation();
}

void TcxCustomGridViewCellViewInfo::Invalidate() {
  if (IsDestroying()) return;
  CheckCalculateParams();
  inherited::Invalidate();
}

Boolean TcxCustomGridViewCellViewInfo::MouseMove(TcxCustomGridHitTest* hitTest, TShiftState shift) {
  const Boolean result = inherited::MouseMove(hitTest, shift);
  if (GetVisible() && HasHint()) CheckHint(hitTest);
  return result;
}

Boolean TcxCustomGridViewCellViewInfo::IsPointInHintArea(const TPoint& p) {
  TRect area;
  GetHintAreaBounds(area);
  TRect clip;
  GetHintClipArea(clip);
  if (!RectIsEmpty(clip)) area = orv::RectIntersection(area, clip);
  return IsPointInRect(area, p);
}

void TcxCustomGridViewCellViewInfo::GetHintInfo(const TPoint& mousePos, AnsiString& hintText, TRect& hintTextRect,
                                                Boolean& isHintMultiLine) {
  GetHintText(hintText);
  GetHintTextRect(mousePos, hintTextRect);
  isHintMultiLine = IsHintMultiLine();
}

Boolean TcxCustomGridViewCellViewInfo::NeedsHint(const TPoint& mousePos, AnsiString& hintText, TRect& hintTextRect,
                                                 Boolean& isHintMultiLine) {
  AnsiString text;
  GetHintText(text);
  if (text.empty() || !IsPointInHintArea(mousePos)) return false;
  if (HintOnlyWhenTruncated()) {
    TRect textArea;
    GetTextAreaBounds(textArea);
    Boolean truncated;
    if (textArea.Height() < TextHeight(true))
      truncated = true;
    else if (!PaintsMultiLine())
      truncated = textArea.Width() < TextWidth();
    else {
      TRect textBounds;
      GetTextBounds(true, true, textBounds);
      TRect area;
      GetHintAreaBounds(area);
      TRect clip;
      GetHintClipArea(clip);
      if (!RectIsEmpty(clip)) area = orv::RectIntersection(area, clip);
      truncated = orv::RectIntersection(textBounds, area) != textBounds;
    }
    if (!truncated) return false;
  }
  GetHintInfo(mousePos, hintText, hintTextRect, isHintMultiLine);
  return true;
}

void TcxCustomGridViewCellViewInfo::CheckHint(TcxCustomGridHitTest* hitTest) {
  AnsiString text;
  TRect textRect;
  Boolean multiLine = false;
  TcxCustomGridController* controller = GetController();
  if (!NeedsHint(hitTest->GetPos(), text, textRect, multiLine)) {
    controller->HideHint();
    return;
  }
  TRect clip;
  GetHintClipArea(clip);
  if (!RectIsEmpty(clip)) {
    const TRect r = orv::RectIntersection(textRect, clip);
    if (!RectIsEmpty(r)) textRect = r;
  }
  TRect area;
  GetHintAreaBounds(area);
  if (!RectIsEmpty(clip)) area = orv::RectIntersection(area, clip);
  controller->ShowHint(area, textRect, this, Params().Font, multiLine, text);
}

// ---- Design selector ----

TcxGridDesignSelectorViewInfo::TcxGridDesignSelectorViewInfo(TcxCustomGridViewInfo* gridViewInfo)
    : TcxCustomGridViewCellViewInfo(gridViewInfo) {}

TcxGridDesignSelectorViewInfo::~TcxGridDesignSelectorViewInfo() { orv::Free(FRegion); }

void TcxGridDesignSelectorViewInfo::Calculate(Integer leftBound, Integer topBound, Integer width, Integer height) {
  inherited::Calculate(leftBound, topBound, width, height);
  orv::Free(FRegion);
  const TRect& b = GetBounds();
  const TPoint points[3] = {TPoint{b.Left, b.Top}, TPoint{b.Left + b.Width(), b.Top},
                            TPoint{b.Left, b.Top + b.Height()}};
  FRegion = new TcxRegion(CreatePolygonRgn(points, 3, WINDING));
}

Boolean TcxGridDesignSelectorViewInfo::HasPoint(const TPoint& point) { return FRegion && FRegion->PtInRegion(point); }

TcxCustomGridCellPainterClass TcxGridDesignSelectorViewInfo::GetPainterClass() {
  return TcxGridDesignSelectorPainter::StaticClass();
}

Boolean TcxGridDesignSelectorViewInfo::IsSelected() {
  TcxCustomGridDesignController* design = GetController()->DesignController();
  return design && design->IsObjectSelected(GetGridView());
}

void TcxGridDesignSelectorViewInfo::GetViewParams(TcxViewParams& params) {
  params = TcxViewParams();
  const Boolean selected = IsSelected();
  const Boolean hot = GetState() == gcsSelected;
  TColor color, textColor;
  if (!selected) {
    color = hot ? TColor(0x0068B7F9) : TColor(0x008DD5FF);
    textColor = TColor(0x003695F2);
  } else {
    color = hot ? TColor(0x00D69E67) : TColor(0x00E4C19D);
    textColor = hot ? TColor(0x00808080) : TColor(0x00AF8C68);
  }
  params.Color = orv::GridNearestScreenColor(color);
  params.TextColor = orv::GridNearestScreenColor(textColor);
}

Boolean TcxGridDesignSelectorViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button,
                                                 TShiftState shift) {
  if (button != mbLeft) return inherited::MouseDown(hitTest, button, shift);
  if (TcxCustomGridDesignController* design = GetController()->DesignController())
    design->SelectObject(GetGridView(), !shift.Contains(ssShift));
  return true;
}

// ==== View info =================================================================================

TcxCustomGridViewInfo::TcxCustomGridViewInfo(TcxCustomGridView* gridView) : TcxGridViewHandler(gridView) {}

void TcxCustomGridViewInfo::AfterConstruction() {
  FSite = GetSiteClass().Create(this);
  CreateViewInfos();
}

void TcxCustomGridViewInfo::BeforeDestruction() {
  DestroyViewInfos(false);
  inherited::BeforeDestruction();
}

TcxCustomGridViewInfo::~TcxCustomGridViewInfo() { orv::Free(FSite); }

void TcxCustomGridViewInfo::CreateViewInfos() {
  if (GetGridView()->IsDesignTime()) FDesignSelector = GetDesignSelectorViewInfoClass().Create(this);
}

void TcxCustomGridViewInfo::DestroyViewInfos(Boolean full) { FreeAndNil(FDesignSelector); }

void TcxCustomGridViewInfo::RecreateViewInfos() {
  FClientBoundsAssigned = false;
  DestroyViewInfos(true);
  CreateViewInfos();
}

TcxGridDesignSelectorViewInfoClass TcxCustomGridViewInfo::GetDesignSelectorViewInfoClass() {
  return TcxGridDesignSelectorViewInfo::StaticClass();
}

orv::ClassOf<TcxGridSite> TcxCustomGridViewInfo::GetSiteClass() { return TcxGridSite::StaticClass(); }

Boolean TcxCustomGridViewInfo::CanHideSite() {
  TcxCustomGrid* grid = GetControl();
  if (!grid || GetGridView()->IsDestroying()) return true;
  if (!FAllowHideSite || (FSite && FSite->IsFocused())) return false;
  TcxCustomGridView* focused = grid->GetFocusedView();
  if (!focused || !focused->GetSite()) return true;
  for (TWinControl* p = focused->GetSite(); p; p = p->GetParent())
    if (p == FSite) return false;
  return true;
}

void TcxCustomGridViewInfo::AfterCalculating() {
  if (!IsInternalUseAny()) GetController()->UpdateScrollBars(true);
  if (CanCheckCoordinates()) GetController()->CheckCoordinatesGuarded();
}

void TcxCustomGridViewInfo::BeforeCalculating() { UpdateMousePos(); }

void TcxCustomGridViewInfo::Calculate() {
  if (FDesignSelector) {
    TPoint p;
    GetDesignSelectorPosition(p);
    FDesignSelector->Calculate(p.X, p.Y);
  }
}

void TcxCustomGridViewInfo::CalculateHeight(const TPoint& maxSize, Integer& height, Boolean& fullyVisible) {
  if (FSite && FSite->IsHScrollBarVisible()) height += FSite->GetHScrollBar()->GetHeight();
}

void TcxCustomGridViewInfo::CalculateWidth(const TPoint& maxSize, Integer& width) {
  if (FSite && FSite->IsVScrollBarVisible()) width += FSite->GetVScrollBar()->GetWidth();
  width = std::min(width, maxSize.X);
}

Boolean TcxCustomGridViewInfo::CanCheckCoordinates() { return !IsInternalUseAny() && FAllowCheckCoordinates; }

TcxCustomGridHitTest* TcxCustomGridViewInfo::GetContentHitTest(const TPoint& point) {
  TcxCustomGridHitTest* hitTest = TcxCustomGridHitTest::Instance(TcxGridViewNoneHitTest::StaticClass(), point);
  hitTest->SetViewInfo(nullptr);
  InitHitTest(hitTest);
  return hitTest;
}

Boolean TcxCustomGridViewInfo::CanHandleBoundsChange() { return !FIsCalculating && !FVisibilityChanging; }

TBitmap* TcxCustomGridViewInfo::GetBackgroundBitmap() { return GetGridView()->GetBackgroundBitmaps()->GetBitmap(0); }

TColor TcxCustomGridViewInfo::GetBackgroundColor() {
  TcxViewParams params;
  GetGridView()->GetStyles()->ResolveStyleParams(vsBackground, nullptr, nullptr, params);
  return params.Color;
}

Boolean TcxCustomGridViewInfo::CanRefresh() {
  return !IsInternalUseAny() && !FSizeCalculating && !(GetDataController() && GetDataController()->IsDataStructureChanging());
}

void TcxCustomGridViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  if (auto* viewHitTest = dynamic_cast<TcxCustomGridViewHitTest*>(hitTest)) viewHitTest->SetGridView(GetGridView());
}

void TcxCustomGridViewInfo::VisibilityChanged(Boolean visible) {
  UpdateMousePos();
  if (!FSite) return;
  if (visible)
    FSite->SetParent(SiteParent());
  else if (CanHideSite())
    FSite->SetParent(nullptr);
  else
    FSite->SetLeft(30000);
}

TcxCustomGridHitTest* TcxCustomGridViewInfo::GetHitTest(const TPoint& point) {
  if (FSite && FSite->HandleAllocated() &&
      GetController()->IsPointInCustomizationForm(FSite->ClientToScreen(point))) {
    TcxCustomGridHitTest* hitTest = TcxCustomGridHitTest::Instance(TcxGridCustomizationFormHitTest::StaticClass(), point);
    hitTest->SetViewInfo(nullptr);
    InitHitTest(hitTest);
    return hitTest;
  }
  if (FDesignSelector)
    if (TcxCustomGridHitTest* hitTest = FDesignSelector->GetHitTest(point)) return hitTest;
  return GetContentHitTest(point);
}

TcxCanvas* TcxCustomGridViewInfo::Canvas() { return FSite ? FSite->GetCanvasOrScreenCanvas() : nullptr; }

TRect TcxCustomGridViewInfo::ClientBounds() {
  if (FClientBoundsAssigned) return FClientBounds;
  TRect rect;
  GetClientBounds(rect);
  return rect;
}

void TcxCustomGridViewInfo::SetClientBounds(const TRect& rect) {
  FClientBounds = rect;
  FClientBoundsAssigned = true;
}

Boolean TcxCustomGridViewInfo::IsInternalUseAny() {
  if (IsInternalUse()) return true;
  TcxCustomGridView* master = GetGridView()->MasterGridView();
  return master && master->GetViewInfo() && master->GetViewInfo()->IsInternalUseAny();
}

TWinControl* TcxCustomGridViewInfo::SiteParent() {
  if (TcxCustomGridView* master = GetGridView()->MasterGridView()) return master->GetSite();
  return GetControl();
}

Boolean TcxCustomGridViewInfo::IsActiveCell(TcxCustomGridCellViewInfo* cell) const {
  return std::find(FActiveCells.begin(), FActiveCells.end(), cell) != FActiveCells.end();
}

void TcxCustomGridViewInfo::RemoveActiveCell(TcxCustomGridCellViewInfo* cell) {
  FActiveCells.erase(std::remove(FActiveCells.begin(), FActiveCells.end(), cell), FActiveCells.end());
}

void TcxCustomGridViewInfo::UpdateMousePos() {
  if (FSite && FSite->IsParked()) return;
  if (FSite && FSite->HandleAllocated() && !FSite->IsDesigning()) {
    TPoint p = SafeGetCursorPos();
    FMousePos = FSite->ScreenToClient(p);
  } else {
    FMousePos = TPoint{orv::kGridMaxInt, orv::kGridMaxInt};
  }
}

void TcxCustomGridViewInfo::UpdateVisibility(Boolean checkVisible) {
  if (!CanRefresh()) return;
  FVisibilityChanging = true;
  try {
    VisibilityChanged(checkVisible && GetGridView()->IsVisible());
  } catch (...) {
    FVisibilityChanging = false;
    throw;
  }
  FVisibilityChanging = false;
}

Integer TcxCustomGridViewInfo::GetFontHeight(TFont* font) {
  TcxCanvas* canvas = Canvas();
  if (!canvas) return 0;
  return canvas->FontHeight(font);
}

Integer TcxCustomGridViewInfo::GetHeight(const TPoint& maxSize, Integer& height, Boolean& fullyVisible) {
  FSizeCalculating = true;
  try {
    CalculateHeight(maxSize, height, fullyVisible);
  } catch (...) {
    FSizeCalculating = false;
    throw;
  }
  FSizeCalculating = false;
  return height;
}

Integer TcxCustomGridViewInfo::GetWidth(const TPoint& maxSize, Integer& width) {
  FSizeCalculating = true;
  try {
    CalculateWidth(maxSize, width);
  } catch (...) {
    FSizeCalculating = false;
    throw;
  }
  FSizeCalculating = false;
  return width;
}

void TcxCustomGridViewInfo::Calculate(const TRect& rect) {
  if (FIsCalculating) return;
  BeforeCalculating();
  FIsCalculating = true;
  try {
    FSite->SetBoundsRect(rect);
    FBounds = FSite->GetClientBounds();
    Calculate();
  } catch (...) {
    FIsCalculating = false;
    AfterCalculating();
    UpdateVisibility(true);
    throw;
  }
  FIsCalculating = false;
  AfterCalculating();
  UpdateVisibility(true);
}

void TcxCustomGridViewInfo::Recalculate() { Calculate(FSite->GetBoundsRect()); }

// ---- Cache ----

TcxCustomGridViewInfoCache::~TcxCustomGridViewInfoCache() { Clear(); }

TcxCustomGridViewInfoCacheItem* TcxCustomGridViewInfoCache::GetItems(Integer index) const {
  const auto found = FItems.find(index);
  return found == FItems.end() ? nullptr : found->second;
}

TcxCustomGridViewInfoCacheItem* TcxCustomGridViewInfoCache::GetItem(Integer index) {
  if (index < 0) return nullptr;
  if (index >= FCount) FCount = index + 1;
  TcxCustomGridViewInfoCacheItem*& item = FItems[index];
  if (!item) item = GetItemClass(index).Create(this, index);
  return item;
}

void TcxCustomGridViewInfoCache::SetCount(Integer value) {
  Clear();
  FCount = std::max(0, value);
}

void TcxCustomGridViewInfoCache::Clear() {
  for (auto& entry : FItems) orv::Free(entry.second);
  FItems.clear();
  FCount = 0;
}

void TcxCustomGridViewInfoCache::UnassignValues(Boolean keepMaster) {
  if (FUnassigningValues) return;
  FUnassigningValues = true;
  try {
    for (auto& entry : FItems)
      if (entry.second) entry.second->UnassignValues(keepMaster);
    if (!keepMaster) {
      TcxCustomGridView* view = GetGridView();
      for (TcxCustomGridView* master = view->MasterGridView(); master; master = master->MasterGridView()) {
        const Integer index = view->MasterGridRecordIndex();
        if (master->GetViewInfoCache() && index != -1) master->GetViewInfoCache()->GetItem(index)->UnassignValues(false);
        view = master;
      }
    }
  } catch (...) {
    FUnassigningValues = false;
    throw;
  }
  FUnassigningValues = false;
}

// ==== Painters ==================================================================================

void TcxCustomGridCellPainter::AfterPaint() {
  if (CanDrawFocusRect()) DrawFocusRect(FCanvas, FViewInfo);
}

void TcxCustomGridCellPainter::ExcludeFromClipping() { FCanvas->ExcludeFromClip(FViewInfo->GetBounds()); }

void TcxCustomGridCellPainter::DrawBackground() { DrawBackground(FViewInfo->ClientBounds()); }

void TcxCustomGridCellPainter::DrawBackground(const TRect& rect) {
  if (FViewInfo->HasBackgroundBitmap()) {
    DrawBackgroundBitmap(FCanvas, rect);
  } else {
    FCanvas->SetBrushColor(FViewInfo->Params().Color);
    FCanvas->FillRectOrTile(rect, nullptr, false);
  }
}

Boolean TcxCustomGridCellPainter::DrawBackgroundBitmap(TcxCanvas* canvas, const TRect& rect) {
  TBitmap* bitmap = FViewInfo->GetBackgroundBitmap();
  if (!bitmap) return false;
  canvas->FillRectOrTile(rect, bitmap, false);
  return true;
}

void TcxCustomGridCellPainter::DrawBorder(TcxBorder side) {
  const TColor color = FViewInfo->GetBorderColor(side);
  if (FCanvas->GetBrushColor() != color) FCanvas->SetBrushColor(color);
  TRect rect;
  FViewInfo->GetBorderBounds(side, rect);
  FCanvas->FillRectOrTile(rect, nullptr, false);
}

void TcxCustomGridCellPainter::DrawBorders() {
  const TcxBorders borders = FViewInfo->Borders();
  for (TcxBorder side : {bLeft, bTop, bRight, bBottom})
    if (borders.Contains(side)) DrawBorder(side);
}

void TcxCustomGridCellPainter::DrawContent() {
  if (FViewInfo->HasBackground() && !FViewInfo->DoCustomDrawBackground(FCanvas)) DrawBackground();
  DrawText();
}

void TcxCustomGridCellPainter::DrawText() {
  AnsiString text;
  FViewInfo->GetTextForPainting(text);
  if (text.empty()) return;
  TRect rect;
  FViewInfo->GetTextAreaBounds(rect);
  if (FViewInfo->Params().Font) FCanvas->SetFont(FViewInfo->Params().Font);
  FCanvas->SetFontColor(FViewInfo->Params().TextColor);
  FCanvas->SetBrushClear(true);
  PrepareCanvasForDrawText();
  FCanvas->DrawTextInRect(text, rect, FViewInfo->GetTextAttributes(true), true);
  UnprepareCanvasForDrawText();
  FCanvas->SetBrushClear(false);
}

Boolean TcxCustomGridCellPainter::CanPaint() {
  if (!FViewInfo->GetCalculated()) return false;
  TRect bounds;
  FViewInfo->GetPaintBounds(bounds);
  return FCanvas->IsRectVisible(bounds);
}

void TcxCustomGridCellPainter::Paint() {
  TcxViewParams saved;
  FViewInfo->SaveParams(saved);
  try {
    if (!FViewInfo->DoCustomDraw(FCanvas)) DrawContent();
  } catch (...) {
    FViewInfo->RestoreParams(saved);
    throw;
  }
  FViewInfo->RestoreParams(saved);
  DrawBorders();
}

void TcxCustomGridCellPainter::MainPaint() {
  if (!CanPaint()) return;
  BeforePaint();
  Paint();
  AfterPaint();
  if (ExcludeFromClipRect()) ExcludeFromClipping();
}

void TcxCustomGridCellPainter::DoDrawFocusRect(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo) {
  TRect rect;
  viewInfo->GetFocusRectBounds(rect);
  canvas->DrawFocusFrames(rect, viewInfo->GetFocusRectWidth());
}

void TcxCustomGridCellPainter::DrawFocusRect(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo) {
  if (viewInfo->HasFocusRect() && canvas == viewInfo->GetCanvas()) DoDrawFocusRect(canvas, viewInfo);
}

void TcxGridDesignSelectorPainter::ExcludeFromClipping() {
  auto* selector = static_cast<TcxGridDesignSelectorViewInfo*>(GetViewInfo());
  if (!selector->GetRegion()) return;
  auto* region = new TcxRegion();
  region->CombineWith(selector->GetRegion(), roSet, false);
  GetCanvas()->SetClipRegion(region, roSubtract);
}

void TcxGridDesignSelectorPainter::Paint() {
  auto* selector = static_cast<TcxGridDesignSelectorViewInfo*>(GetViewInfo());
  if (selector->GetRegion())
    GetCanvas()->FillAndFrameRegion(selector->GetRegion(), selector->Params().Color, selector->Params().TextColor);
  DrawHatch(selector->Params().TextColor);
}

void TcxGridDesignSelectorPainter::DrawHatch(TColor color) {
  TRect r = GetViewInfo()->GetBounds();
  r.Left += 3;
  r.Top += 3;
  r.Right -= 8;
  r.Bottom -= 8;
  GetCanvas()->FillRectWithColor(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, color);
  Integer right = r.Right;
  for (Integer i = 0; i < r.Height() / 2; ++i) {
    const Integer y = r.Top + i * 2;
    if (right > r.Left + 1) GetCanvas()->FillRectWithColor(TRect{r.Left + 1, y, right, y + 1}, color);
    right -= 2;
  }
}

TcxCustomGridPainter::~TcxCustomGridPainter() {
  orv::Free(FBackgroundRegion);
  orv::Free(FSavedClipRegion);
}

TcxCanvas* TcxCustomGridPainter::Canvas() { return FCanvas ? FCanvas : ViewInfo()->Canvas(); }

TcxCustomGridViewInfo* TcxCustomGridPainter::ViewInfo() { return FViewInfo ? FViewInfo : GetGridView()->GetViewInfo(); }

void TcxCustomGridPainter::Paint(TcxCanvas* canvas, TcxCustomGridViewInfo* viewInfo) {
  FCanvas = canvas;
  FViewInfo = viewInfo;
  try {
    GetController()->BeforePaint();
    BeforePaint();
    PaintContent();
    AfterPaint();
    GetController()->AfterPaint();
  } catch (...) {
    FreeAndNil(FBackgroundRegion);
    FreeAndNil(FSavedClipRegion);
    FCanvas = nullptr;
    FViewInfo = nullptr;
    throw;
  }
  FCanvas = nullptr;
  FViewInfo = nullptr;
}

void TcxCustomGridPainter::BeforePaint() {
  FreeAndNil(FSavedClipRegion);
  FSavedClipRegion = Canvas()->CreateClipRegion();
  FreeAndNil(FBackgroundRegion);
  FBackgroundRegion = new TcxRegion(ViewInfo()->GetBounds());
  if (TcxGridDesignSelectorViewInfo* selector = ViewInfo()->GetDesignSelector()) selector->Paint(Canvas());
}

void TcxCustomGridPainter::AfterPaint() {
  DrawBackground();
  FreeAndNil(FBackgroundRegion);
  if (FSavedClipRegion) {
    Canvas()->SetClipRegion(FSavedClipRegion, roSet, true);
    FSavedClipRegion = nullptr;
  }
}

void TcxCustomGridPainter::DrawBackground() {
  if (!FBackgroundRegion) return;
  TcxCanvas* canvas = Canvas();
  if (TBitmap* bitmap = ViewInfo()->GetBackgroundBitmap()) {
    TcxRegion* saved = canvas->CreateClipRegion();
    auto* region = new TcxRegion();
    region->CombineWith(FBackgroundRegion, roSet, false);
    canvas->SetClipRegion(region, roIntersect);
    canvas->FillRectOrTile(ViewInfo()->GetBounds(), bitmap, false);
    canvas->SetClipRegion(saved, roSet);
  } else {
    canvas->SetBrushColor(ViewInfo()->GetBackgroundColor());
    FillRgn(canvas->GetDCHandle(), FBackgroundRegion->GetHandle(), canvas->GetBrushHandle());
  }
}

void TcxCustomGridPainter::ExcludeFromBackground(const TRect& rect) {
  if (!FBackgroundRegion) return;
  FBackgroundRegion->CombineWith(new TcxRegion(rect), roSubtract, true);
}

void TcxCustomGridPainter::DrawFocusRect(const TRect& rect, Boolean hideFocusRect) {
  TcxCanvas* canvas = Canvas();
  if (GetGridView()->IsControlFocused()) {
    canvas->DrawFocusFrame(rect);
  } else if (!hideFocusRect) {
    canvas->InvertArea(TRect{rect.Left, rect.Top, rect.Right, rect.Top + 1});
    canvas->InvertArea(TRect{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom});
    canvas->InvertArea(TRect{rect.Left, rect.Top + 1, rect.Left + 1, rect.Bottom - 1});
    canvas->InvertArea(TRect{rect.Right - 1, rect.Top + 1, rect.Right, rect.Bottom - 1});
  }
}

void TcxCustomGridPainter::Invalidate() {
  if (TcxGridSite* site = GetSite()) site->Invalidate();
}

void TcxCustomGridPainter::Invalidate(const TRect& rect) {
  if (TcxGridSite* site = GetSite()) site->InvalidateArea(rect, false);
}

void TcxCustomGridPainter::Invalidate(TcxRegion* region) {
  if (TcxGridSite* site = GetSite()) site->InvalidateRegion(region, false);
}

Boolean TcxCustomGridViewData::IsEmpty() { return !GetDataController() || GetDataController()->GetRowCount() == 0; }

// ==== The site ==================================================================================

TcxGridSite::TcxGridSite(TcxCustomGridViewInfo* viewInfo) : TcxControl(nullptr), FViewInfo(viewInfo) {
  SetWantedKeys(TcxKeys{kArrows, kChars});
  SetParentColor(false);
}

TcxGridSite::~TcxGridSite() { orv::Free(FBoundsChangeTimer); }

TcxCustomGridView* TcxGridSite::GetGridView() const { return FViewInfo->GetGridView(); }
TcxCustomGridController* TcxGridSite::GetController() const { return GetGridView()->GetController(); }
TcxCustomGrid* TcxGridSite::GetContainer() const { return GetGridView()->GetControlGrid(); }

void TcxGridSite::WndProc(TMessage& message) {
  if (TcxCustomGridController* controller = GetController()) {
    controller->WndProc(message);
    if (message.Msg == 0) return;
  }
  inherited::WndProc(message);
}

void TcxGridSite::Dispatch(TMessage& message) {
  if ((message.Msg == CN_KEYDOWN || message.Msg == CN_SYSKEYDOWN) && GetContainer()) {
    message.Result = 0;
    TMessage copy = message;
    if (GetContainer()->NotifyListeners(gnkKeyDown, reinterpret_cast<TObject*>(&copy)) || copy.Result != 0) {
      message.Result = copy.Result ? copy.Result : 1;
      return;
    }
  }
  inherited::Dispatch(message);
}

void TcxGridSite::Paint() {
  if (FViewInfo->GetIsCalculating() || IsParked()) return;
  inherited::Paint();
  GetGridView()->GetPainter()->Paint(nullptr, nullptr);
}

void TcxGridSite::KeyDown(Word& key, TShiftState shift) {
  orv::TObjectLinkGuard guard(this);
  inherited::KeyDown(key, shift);
  if (guard.Alive() && key != 0) GetController()->KeyDown(key, shift);
}

void TcxGridSite::KeyPress(char& key) {
  orv::TObjectLinkGuard guard(this);
  inherited::KeyPress(key);
  if (guard.Alive() && key != 0) GetController()->KeyPress(key);
}

void TcxGridSite::KeyUp(Word& key, TShiftState shift) {
  orv::TObjectLinkGuard guard(this);
  inherited::KeyUp(key, shift);
  if (guard.Alive() && key != 0) GetController()->KeyUp(key, shift);
}

void TcxGridSite::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  inherited::MouseDown(button, shift, x, y);
  if (guard.Alive() && HandleAllocated()) GetController()->MouseDown(button, shift, x, y);
}

void TcxGridSite::MouseMove(TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  inherited::MouseMove(shift, x, y);
  if (guard.Alive() && GetDragAndDropState() != ddsInProcess) GetController()->MouseMove(shift, x, y);
}

void TcxGridSite::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  if (GetDragAndDropState() == ddsInProcess) {
    inherited::MouseUp(button, shift, x, y);
    if (guard.Alive()) GetController()->MouseUp(button, shift, x, y);
  } else {
    GetController()->MouseUp(button, shift, x, y);
    if (guard.Alive()) inherited::MouseUp(button, shift, x, y);
  }
}

void TcxGridSite::MouseLeave(TControl* control) {
  inherited::MouseLeave(control);
  GetController()->MouseLeave();
}

void TcxGridSite::CancelMouseOperation() {
  inherited::CancelMouseOperation();
  GetController()->CancelMouseOperation();
}

Boolean TcxGridSite::AllowMouseDownWithoutFocus() {
  return (GetContainer() && GetContainer()->GetSiteFocused()) || inherited::AllowMouseDownWithoutFocus();
}

Boolean TcxGridSite::CanFocusOnClickAt(Integer x, Integer y) {
  return inherited::CanFocusOnClickAt(x, y) && GetController()->CanFocusOnClick(x, y);
}

Boolean TcxGridSite::FocusWhenChildIsClicked(TControl* child) {
  return inherited::FocusWhenChildIsClicked(child) && !(GetContainer() && GetContainer()->IsFocused());
}

Boolean TcxGridSite::MayFocus() {
  return inherited::MayFocus() && (!GetParent() || GetController()->MayFocus());
}

Boolean TcxGridSite::IsFocused() {
  return (GetContainer() && GetContainer()->GetSiteFocused()) || inherited::IsFocused() ||
         GetController()->HasFocusedControl();
}

void TcxGridSite::DoEnter() {
  inherited::DoEnter();
  GetController()->DoEnter();
}

void TcxGridSite::DoExit() {
  inherited::DoExit();
  if (!GetGridView()->IsDestroying()) GetController()->DoExit();
}

void TcxGridSite::FocusChanged() {
  orv::TObjectLinkGuard guard(this);
  inherited::FocusChanged();
  if (!guard.Alive()) return;
  if (Focused()) GetGridView()->SetFocused(true);
  if (guard.Alive() && GetContainer()) GetContainer()->SiteFocusChanged(GetGridView()->IsControlFocused());
}

void TcxGridSite::SetFocus() {
  orv::TObjectLinkGuard guard(this);
  TcxCustomGrid* grid = GetContainer();
  if (grid && !GetGridView()->GetIsFocused() && grid->GetFocusedView())
    grid->GetFocusedView()->GetController()->BeforeKillFocus();
  if (guard.Alive()) inherited::SetFocus();
}

TCursor TcxGridSite::GetCurrentCursor(Integer x, Integer y) {
  const TCursor cursor = GetController()->GetCursor(x, y);
  return cursor != crDefault ? cursor : inherited::GetCurrentCursor(x, y);
}

Boolean TcxGridSite::IsDesigning() const {
  if (TcxCustomGrid* grid = GetContainer()) return grid->IsDesigning();
  return GetGridView()->IsDesignTime();
}

Boolean TcxGridSite::GetDesignHitTest(Integer x, Integer y, TShiftState shift) {
  if (inherited::GetDesignHitTest(x, y, shift)) return true;
  if (shift.Contains(ssRight) || (GetContainer() && GetContainer()->IsUpdateLocked())) return false;
  return GetController()->IsDesignHitTest(FViewInfo->GetHitTest(TPoint{x, y}));
}

Boolean TcxGridSite::AllowAutoDragAt(Integer x, Integer y) {
  return inherited::AllowAutoDragAt(x, y) && GetController()->AllowAutoDrag(x, y);
}

void TcxGridSite::DoContextPopup(TPoint mousePos, bool& handled) {
  inherited::DoContextPopup(mousePos, handled);
  if (!handled && GetContainer())
    handled = GetContainer()->NotifyListeners(gnkContextMenu,
                                              reinterpret_cast<TObject*>(mousePos.X == -1 && mousePos.Y == -1 ? 1 : 0));
}

void TcxGridSite::SetParent(TWinControl* value) {
  TWinControl* old = GetParent();
  if (old != value) {
    if (value && GetGridView()->LookAndFeel()) GetLookAndFeel()->SetMaster(GetGridView()->LookAndFeel());
    auto* level = dynamic_cast<TcxGridLevel*>(GetGridView()->GetLevel());
    GetGridView()->SetSiteTabStop(level && level->IsTop());
    if (!value && old && GetGridView()->GetIsFocused()) {
      const Boolean oldDestroying = old->GetComponentState().Contains(csDestroying);
      if (!oldDestroying && Focused() && old->CanFocus()) old->SetFocus();
    }
  }
  inherited::SetParent(value);
}

void TcxGridSite::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  if (width != GetWidth() || height != GetHeight()) {
    FLastClientWidth = HandleAllocated() ? GetClientWidth() : GetWidth();
    FLastClientHeight = HandleAllocated() ? GetClientHeight() : GetHeight();
  }
  inherited::SetBounds(left, top, width, height);
}

void TcxGridSite::BoundsChanged() {
  const Integer prevWidth = FLastClientWidth;
  const Integer prevHeight = FLastClientHeight;
  FLastClientWidth = HandleAllocated() ? GetClientWidth() : GetWidth();
  FLastClientHeight = HandleAllocated() ? GetClientHeight() : GetHeight();
  if (FViewInfo->IsVisibilityChanging()) return;
  if ((prevWidth != 0 || prevHeight != 0) && (prevWidth != FLastClientWidth || prevHeight != FLastClientHeight)) {
    Boolean canHandle = FViewInfo->CanHandleBoundsChange();
    for (TcxCustomGridView* master = GetGridView()->MasterGridView(); canHandle && master; master = master->MasterGridView())
      canHandle = master->GetViewInfo()->CanHandleBoundsChange();
    if (canHandle) {
      GetGridView()->BoundsChanged(true, false);
    } else if (!FBoundsChangeTimer) {
      FBoundsChangeTimer = new TcxTimer(nullptr);
      FBoundsChangeTimer->SetInterval(1);
      FBoundsChangeTimer->SetOnTimer(TNotifyEvent(this, &TcxGridSite::BoundsChangeTimerHandler));
    }
  }
  inherited::BoundsChanged();
}

void TcxGridSite::BoundsChangeTimerHandler(TObject* sender) {
  FreeAndNil(FBoundsChangeTimer);
  GetGridView()->BoundsChanged(false, false);
}

TRect TcxGridSite::GetClientBounds() {
  TRect rect = inherited::GetClientBounds();
  FViewInfo->AdjustClientBounds(rect);
  return rect;
}

TRect TcxGridSite::GetHScrollBarBounds() {
  TRect rect = inherited::GetHScrollBarBounds();
  FViewInfo->AdjustHScrollBarBounds(rect);
  return rect;
}

void TcxGridSite::InitScrollBarsParameters() { GetController()->InitScrollBarsParameters(); }

void TcxGridSite::Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  GetController()->Scroll(kind, code, position);
}

TcxMouseWheelScrollingKind TcxGridSite::GetMouseWheelScrollingKind() {
  return GetController()->GetMouseWheelScrollingKind();
}

Boolean TcxGridSite::IsPixelScrollBar(TScrollBarKind kind) { return GetController()->IsPixelScrollBar(kind); }

void TcxGridSite::UpdateScrollBars() {
  if (FViewInfo->GetIsCalculating() || !GetGridView()->IsVisible()) return;
  if (!FForceScrollBarsUpdate && GetContainer() && GetContainer()->IsUpdateLocked()) return;
  inherited::UpdateScrollBars();
}

void TcxGridSite::DoStartDrag(TDragObject*& dragObject) {
  GetController()->BeforeStartDrag();
  inherited::DoStartDrag(dragObject);
  GetController()->StartDrag(dragObject);
}

void TcxGridSite::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  inherited::DragOver(source, x, y, state, accept);
  GetController()->DragOver(source, x, y, state, accept);
}

void TcxGridSite::DragDrop(TObject* source, Integer x, Integer y) {
  GetController()->DragDrop(source, x, y);
  inherited::DragDrop(source, x, y);
}

void TcxGridSite::DoEndDrag(TObject* target, Integer x, Integer y) {
  GetController()->EndDrag(target, x, y);
  inherited::DoEndDrag(target, x, y);
}

void TcxGridSite::BeginDragAndDrop() {
  GetController()->BeginDragAndDrop();
  inherited::BeginDragAndDrop();
}

void TcxGridSite::DragAndDrop(const TPoint& point, Boolean& accepted) {
  inherited::DragAndDrop(point, accepted);
  GetController()->DragAndDrop(point, accepted);
}

void TcxGridSite::EndDragAndDrop(Boolean accepted) {
  GetController()->EndDragAndDrop(accepted);
  inherited::EndDragAndDrop(accepted);
}

Boolean TcxGridSite::StartDragAndDrop(const TPoint& p) { return GetController()->StartDragAndDrop(p); }

void TcxGridSite::DrawDragImage(TcxCanvas* canvas, const TRect& rect) { GetController()->DrawDragImage(canvas, rect); }

TSize TcxGridSite::GetDragImagesSize() {
  TSize size{0, 0};
  GetController()->GetDragImagesSize(size);
  return size;
}

Boolean TcxGridSite::HasDragImages() { return GetController()->HasDragImages(); }
