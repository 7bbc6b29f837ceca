#include "components/editors-more/cxCalendar.h"

#include "components/editors-more/cxDateEdit.h"

#include <algorithm>
#include <cmath>

#include "components/data/cxDateUtils.h"
#include "components/data/cxFormats.h"
#include "components/editors/cxButtons.h"
#include "components/editors/cxEditConsts.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/Forms.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Math.h"
#include "platform/windowing/User.h"

namespace {

Double SignOf(Double v) { return v < 0 ? -1 : 1; }

Boolean InRect(const TRect& r, const TPoint& p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

TRect Moved(const TRect& r, Integer dx, Integer dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

void HLine(TcxCanvas* c, Integer x1, Integer x2, Integer y, TColor color) {
  if (x2 >= x1) c->FillRect(TRect{x1, y, x2 + 1, y + 1}, color);
}

void VLine(TcxCanvas* c, Integer x, Integer y1, Integer y2, TColor color) {
  if (y2 >= y1) c->FillRect(TRect{x, y1, x + 1, y2 + 1}, color);
}

void FrameRect(TcxCanvas* c, const TRect& r, TColor color, Integer width = 1) {
  for (Integer i = 0; i < width; ++i) {
    HLine(c, r.Left + i, r.Right - 1 - i, r.Top + i, color);
    HLine(c, r.Left + i, r.Right - 1 - i, r.Bottom - 1 - i, color);
    VLine(c, r.Left + i, r.Top + i, r.Bottom - 1 - i, color);
    VLine(c, r.Right - 1 - i, r.Top + i, r.Bottom - 1 - i, color);
  }
}

TDateTime FirstOfMonth(TcxCustomCalendarTable* table, TDateTime date) {
  TcxCalendarDateParts parts = table->DateToParts(date);
  parts.Day = 1;
  parts.Hours = parts.Minutes = parts.Seconds = 0;
  parts.Milliseconds = 0;
  return GetDatePart(table->PartsToDate(parts));
}

}  // namespace

// ==== Clock ====================================================================================

TcxClock::TcxClock(TComponent* owner) : TcxControl(owner) {
  SetBounds(0, 0, 60, 60);
}

void TcxClock::SetMinuteDotColor(TColor value) {
  if (value == FMinuteDotColor) return;
  FMinuteDotColor = value;
  Invalidate();
}

void TcxClock::SetTime(TDateTime value) {
  value = std::fabs(value - std::trunc(value));
  if (value == FTime) return;
  FTime = value;
  Invalidate();
}

void TcxClock::Paint() {
  TcxCustomLookAndFeelPainterClass painter = GetPainter();
  TColor face = painter->DefaultEditorBackgroundColor(!GetEnabled());
  if (face == clDefault) face = GetColor();
  painter->DrawClockFace(GetCanvas(), GetClientRect(), face, FTime);
}

// ==== Month list ===============================================================================

TcxMonthListBox::TcxMonthListBox(TControl* ownerControl) : TcxCustomPopupWindow(ownerControl) {
  TControlStyle style = GetControlStyle();
  style.Include(csCaptureMouse);
  style.Include(csOpaque);
  style.Include(csClickEvents);
  SetControlStyle(style);
  FScrollTimer = new TcxTimer(this);
  FScrollTimer->SetEnabled(false);
  FScrollTimer->SetInterval(200);
  FScrollTimer->SetOnTimer(TNotifyEvent(this, &TcxMonthListBox::ScrollTimerFired));
  SetAdjustable(false);
  // A raised frame around the list's own black one.
  SetPopupBorderStyle(pbsRaised);
}

void TcxMonthListBox::BeforeDestruction() {
  if (FScrollTimer) FScrollTimer->SetEnabled(false);
  inherited::BeforeDestruction();
}

void TcxMonthListBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.WindowClass.style |= 0x800;  // CS_SAVEBITS
}

TcxCustomCalendar* TcxMonthListBox::Calendar() const { return static_cast<TcxCustomCalendar*>(GetOwnerControl()); }

Boolean TcxMonthListBox::IsYearsMode() {
  TcxCustomCalendar* c = Calendar();
  return !c->GetArrowsForYear() || c->GetYearsInMonthList();
}

void TcxMonthListBox::Popup(TWinControl* focusedControl) {
  TcxCustomCalendar* c = Calendar();
  TcxCustomCalendarTable* table = c->GetCalendarTable();
  FDateParts = table->DateToParts(c->GetDisplayMonth());
  const Boolean years = IsYearsMode();
  FItemCount = years ? 7 : table->MonthCount(FDateParts.Era, FDateParts.Year);
  GetFont()->Assign(c->GetFont());
  GetCanvas()->SetFont(GetFont());
  FItemHeight = c->GetHeaderHeight() - 2;
  SetWidth(c->GetColWidth() * 6 + 2 + GetFrameWidth());
  SetHeight(FItemCount * FItemHeight + 2 + GetFrameHeight());
  FTopIndex = years ? -3 : 1 - FDateParts.Month;
  // Never repeat the first supported month: shifts before it are clamped to it.
  const TDateTime first = table->ShiftPartsByMonths(FDateParts, FTopIndex);
  const Integer start = FTopIndex;
  for (Integer k = start + 1; k <= 0; ++k)
    if (table->ShiftPartsByMonths(FDateParts, k) == first) ++FTopIndex;
  const TRect& r = c->GetMonthTextRect();
  const TPoint p1 = c->ClientToScreen(TPoint{r.Left, r.Top});
  const TPoint p2 = c->ClientToScreen(TPoint{r.Right, r.Bottom});
  FPopupPosition.X = p1.X + (p2.X - p1.X - GetWidth()) / 2;
  FPopupPosition.Y = (p1.Y + p2.Y) / 2 - GetHeight() / 2;
  FItemIndex = -1;
  inherited::Popup(focusedControl);
}

void TcxMonthListBox::NotifyShown() {
  inherited::NotifyShown();
  SetCaptureControl(IsYearsMode() ? this : nullptr);
}

void TcxMonthListBox::Paint() {
  TcxCanvas* canvas = GetCanvas();
  TcxCustomCalendar* c = Calendar();
  TcxCustomCalendarTable* table = c->GetCalendarTable();
  const TRect list = GetContentBounds();
  FrameRect(canvas, list, clBlack);
  TRect r{list.Left + 1, list.Top + 1, list.Right - 1, list.Top + FItemHeight + 1};
  TcxCalendarDateParts parts = table->DateToParts(table->ShiftPartsByMonths(FDateParts, FTopIndex));
  canvas->SetFont(GetFont());
  const Boolean years = IsYearsMode();
  for (Integer i = 0; i < FItemCount; ++i) {
    const Boolean highlighted = i == FItemIndex;
    canvas->FillRect(r, highlighted ? clWindowText : c->GetColor());
    if (table->IsYearInRange(parts.Era, parts.Year)) {
      AnsiString text;
      if (years)
        GetMonthYearCaption(table, text, table->PartsToDate(parts));
      else
        GetLongMonthName(table, text, table->PartsToDate(parts));
      canvas->SetBrushClear(true);
      canvas->SetFontColor(highlighted ? c->GetColor() : clWindowText);
      canvas->DrawTextInRect(text, r, cxAlignHCenter | cxAlignVCenter | cxSingleLine);
    }
    parts = table->DateToParts(table->ShiftPartsByMonths(parts, 1));
    r = Moved(r, 0, FItemHeight);
  }
  DrawFrame();
}

void TcxMonthListBox::SetItemIndex(Integer value) {
  if (!HandleAllocated() || value == FItemIndex) return;
  const TRect list = GetContentBounds();
  auto row = [&](Integer k) {
    return TRect{list.Left + 1, list.Top + 1 + k * FItemHeight, list.Right - 1, list.Top + 1 + (k + 1) * FItemHeight};
  };
  auto invalidate = [&](Integer k) {
    if (k < 0) return;
    const TRect rowRect = row(k);
    ::InvalidateRect(GetHandle(), &rowRect, false);
  };
  invalidate(FItemIndex);
  FItemIndex = value;
  invalidate(FItemIndex);
}

void TcxMonthListBox::SetTopIndex(Integer value) {
  if (value == FTopIndex) return;
  FTopIndex = value;
  Invalidate();
}

void TcxMonthListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  // In the list's coordinates, inside the raised frame.
  const TRect list = GetContentBounds();
  x -= list.Left;
  y -= list.Top;
  const Integer height = list.Height();
  if (x >= 0 && x < list.Width() && y >= 0 && y < height) {
    FScrollTimer->SetEnabled(false);
    SetItemIndex(std::min(y / std::max(FItemHeight, 1), FItemCount - 1));
    return;
  }
  SetItemIndex(-1);
  if (y >= 0 && y < height) {
    FScrollTimer->SetEnabled(false);
    return;
  }
  const Integer distance = y < 0 ? y : y + 1 - height;
  FScrollDirection = distance < 0 ? -1 : 1;
  const Integer k = std::min(std::abs(distance) / std::max(FItemHeight, 1), 3);
  static constexpr Cardinal kIntervals[4] = {500, 250, 100, 50};
  if (FScrollTimer->GetEnabled() && FScrollTimer->GetInterval() == kIntervals[k]) return;
  FScrollTimer->SetInterval(kIntervals[k]);
  FScrollTimer->SetEnabled(true);
}

void TcxMonthListBox::ScrollTimerFired(TObject* sender) { SetTopIndex(FTopIndex + FScrollDirection); }

TDateTime TcxMonthListBox::GetSelectedDate() {
  if (FItemIndex == -1) return NullDate;
  TcxCustomCalendarTable* table = Calendar()->GetCalendarTable();
  TcxCalendarDateParts parts = table->DateToParts(table->ShiftPartsByMonths(FDateParts, FTopIndex + FItemIndex));
  parts.Day = 1;
  return table->PartsToDate(parts);
}

void TcxMonthListBox::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseUp(button, shift, x, y);
  if (IsYearsMode()) CloseUp();
}

void TcxMonthListBox::CloseUp() {
  if (GetCaptureControl() == this) SetCaptureControl(nullptr);
  if (!IsVisible()) return;
  inherited::CloseUp();
  FScrollTimer->SetEnabled(false);
  if (IsYearsMode()) {
    const TDateTime d = GetSelectedDate();
    if (d != NullDate) Calendar()->SetDisplayMonth(d);
  }
}

void TcxMonthListBox::Click() {
  inherited::Click();
  if (IsYearsMode()) return;
  CloseUp();
  if (FItemIndex == -1) return;
  TcxCustomCalendarTable* table = Calendar()->GetCalendarTable();
  TcxCalendarDateParts parts = table->DateToParts(table->ShiftPartsByMonths(FDateParts, 1 - FDateParts.Month));
  parts.Day = 1;
  Calendar()->SetDisplayMonth(table->ShiftDateByMonths(table->PartsToDate(parts), FItemIndex));
}

// ==== Calendar: construction ===================================================================

TcxCustomCalendar::TcxCustomCalendar(TComponent* owner) : TcxControl(owner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
  FSelectedDate = Date();
  FCalendarTable = CreateLocaleCalendarTable();
  FDisplayMonth = FirstOfMonth(FCalendarTable, Date());
  SetBounds(GetLeft(), GetTop(), 20, 20);
  FArrowTimer = new TcxTimer(this);
  FArrowTimer->SetEnabled(false);
  FArrowTimer->SetInterval(200);
  FArrowTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomCalendar::ArrowTimerFired));
  FMonthListBox = new TcxMonthListBox(this);
  FMonthListBox->SetCaptureFocus(false);
  FMonthListBox->SetTopmostWithParent(true);
  FMonthListBox->SetOwnerParent(this);
  SetKeys(TcxKeys{kAll, kArrows, kChars, kTab});
  CreateButtons();
  FKind = ckDate;
  SetDateButtons(TDateButtons{btnClear, btnToday});
  FFlat = true;
  FYearsInMonthList = true;
}

void TcxCustomCalendar::BeforeDestruction() {
  if (FArrowTimer) FArrowTimer->SetEnabled(false);
  if (FMonthListBox) {
    FMonthListBox->Free();
    FMonthListBox = nullptr;
  }
  inherited::BeforeDestruction();
}

TcxCustomCalendar::~TcxCustomCalendar() { delete FCalendarTable; }

void TcxCustomCalendar::CreateButtons() {
  auto make = [&](Integer tabOrder, TCalendarButton tag) {
    auto* b = new TcxButton(this);
    b->SetTag(tag);
    b->SetUseSystemPaint(false);
    b->SetOnClick(TNotifyEvent(this, &TcxCustomCalendar::ButtonClick));
    b->GetLookAndFeel()->SetMaster(GetLookAndFeel());
    b->SetParent(this);
    b->SetTabOrder(tabOrder);
    return b;
  };
  FTodayButton = make(1, btnToday);
  FNowButton = make(2, btnNow);
  FClearButton = make(3, btnClear);
  FOKButton = make(4, btnOk);
  FOKButton->SetDefault(true);
  SetButtonCaptions();
  FTimeEdit = new TcxTimeEdit(this);
  FTimeEdit->GetProperties()->SetCircular(true);
  FTimeEdit->GetProperties()->SetOnChange(TNotifyEvent(this, &TcxCustomCalendar::TimeEditChanged));
  FTimeEdit->GetStyle()->GetLookAndFeel()->SetMaster(GetLookAndFeel());
  FTimeEdit->SetParent(this);
  FTimeEdit->SetTabOrder(0);
  FTimeEdit->SetVisible(false);
  FClock = new TcxClock(this);
  FClock->SetTabStop(false);
  FClock->GetLookAndFeel()->SetMaster(GetLookAndFeel());
  FClock->SetParent(this);
  FClock->SetVisible(false);
  FNowButton->SetVisible(false);
  FOKButton->SetVisible(false);
}

void TcxCustomCalendar::SetButtonCaptions() {
  FTodayButton->SetCaption(GetLocalizedResourceString(&cxSDatePopupToday));
  FNowButton->SetCaption(GetLocalizedResourceString(&cxSDatePopupNow));
  FClearButton->SetCaption(GetLocalizedResourceString(&cxSDatePopupClear));
  FOKButton->SetCaption(GetLocalizedResourceString(&cxSDatePopupOK));
}

void TcxCustomCalendar::TranslationChanged() {
  SetButtonCaptions();
  LayoutChanged();
}

void TcxCustomCalendar::SetInternalControlsParent() {
  for (TControl* c : {static_cast<TControl*>(FTodayButton), static_cast<TControl*>(FNowButton),
                      static_cast<TControl*>(FClearButton), static_cast<TControl*>(FOKButton),
                      static_cast<TControl*>(FClock), static_cast<TControl*>(FTimeEdit)})
    if (c) c->SetParent(this);
}

void TcxCustomCalendar::CreateWnd() {
  inherited::CreateWnd();
  LayoutChanged();
}

void TcxCustomCalendar::FontChanged() {
  inherited::FontChanged();
  LayoutChanged();
}

TcxButton* TcxCustomCalendar::GetButton(TCalendarButton button) const {
  switch (button) {
    case btnClear: return FClearButton;
    case btnNow: return FNowButton;
    case btnToday: return FTodayButton;
    default: return FOKButton;
  }
}

// ==== Settings =================================================================================

void TcxCustomCalendar::SetArrowsForYear(Boolean value) {
  if (value == FArrowsForYear) return;
  FArrowsForYear = value;
  LayoutChanged();
}

void TcxCustomCalendar::SetDateButtons(TDateButtons value) {
  if (value == FDateButtons) return;
  FDateButtons = value;
  FClearButton->SetVisible(value.Contains(btnClear));
  FNowButton->SetVisible(FKind == ckDateTime && value.Contains(btnNow));
  FTodayButton->SetVisible(value.Contains(btnToday));
  LayoutChanged();
}

void TcxCustomCalendar::SetFlat(Boolean value) {
  if (value == FFlat) return;
  FFlat = value;
  LayoutChanged();
}

void TcxCustomCalendar::SetKind(TcxCalendarKind value) {
  if (value == FKind) return;
  FKind = value;
  TControlStyle style = GetControlStyle();
  if (value == ckDateTime) {
    style.Include(csClickEvents);
    style.Include(csDoubleClicks);
  } else {
    style.Exclude(csClickEvents);
    style.Exclude(csDoubleClicks);
  }
  SetControlStyle(style);
  LayoutChanged();
}

void TcxCustomCalendar::SetTimeFormat(TcxTimeEditTimeFormat value) {
  FTimeEdit->GetProperties()->SetTimeFormat(value);
  LayoutChanged();
}

void TcxCustomCalendar::SetUse24HourFormat(Boolean value) {
  FTimeEdit->GetProperties()->SetUse24HourFormat(value);
  LayoutChanged();
}

void TcxCustomCalendar::SetWeekNumbers(Boolean value) {
  if (value == FWeekNumbers) return;
  FWeekNumbers = value;
  LayoutChanged();
}

// ==== Layout ===================================================================================

Boolean TcxCustomCalendar::IsOffice11Painter() {
  return GetPainter() == TcxCustomLookAndFeelPainterClass(TcxOffice11LookAndFeelPainter::StaticClass());
}

Integer TcxCustomCalendar::VisibleButtonCount() {
  Integer n = 0;
  if (FDateButtons.Contains(btnToday)) ++n;
  if (FKind == ckDateTime && FDateButtons.Contains(btnNow)) ++n;
  if (FDateButtons.Contains(btnClear)) ++n;
  if (FKind == ckDateTime) ++n;
  return n;
}

Boolean TcxCustomCalendar::HasButtonsArea() {
  return FKind == ckDateTime || FDateButtons.Contains(btnToday) || FDateButtons.Contains(btnClear);
}

TPoint TcxCustomCalendar::GetContentIndent() {
  const Integer i = MulDiv(GetFont()->GetSize(), 3, 4);
  return TPoint{i, i};
}

Integer TcxCustomCalendar::TimeEditWidth() {
  // The size the time editor's properties give for midnight in its style (its text, spin
  // buttons and borders), and room for one more digit.
  TcxCanvas* canvas = GetCanvasOrScreenCanvas();
  TcxEditSizeProperties sizeLimits;
  const TSize size =
      FTimeEdit->GetProperties()->CalculateEditSize(canvas, FTimeEdit->GetEditStyle(), false, Variant(0.0), sizeLimits);
  canvas->SetFont(GetFont());
  return size.cx + canvas->TextWidth("0");
}

void TcxCustomCalendar::LayoutChanged() {
  if (!HandleAllocated()) return;
  const Boolean dateTime = FKind == ckDateTime;
  for (TWinControl* c : {static_cast<TWinControl*>(FTodayButton), static_cast<TWinControl*>(FNowButton),
                         static_cast<TWinControl*>(FClearButton), static_cast<TWinControl*>(FOKButton),
                         static_cast<TWinControl*>(FTimeEdit)})
    c->SetTabStop(dateTime);
  TcxKeys keys{kAll, kArrows, kChars};
  if (!dateTime) keys.Include(kTab);
  SetKeys(keys);
  TcxCanvas* canvas = GetCanvasOrScreenCanvas();
  TFont* font = GetFont();
  canvas->SetFont(font);
  canvas->GetFont()->SetSize(MulDiv(font->GetSize(), 2, 3));
  FWeekNumberWidth = canvas->TextWidth("99");
  canvas->SetFont(font);
  FColWidth = 3 * canvas->TextWidth("0");
  FSideWidth = 2 * canvas->TextWidth("0");
  FRowHeight = canvas->TextHeight("0") + 2;
  FHeaderHeight = FRowHeight + 3 - (!dateTime && IsOffice11Painter() ? 1 : 0);
  FDaysOfWeekHeight = FRowHeight + 1;
  Integer widest = 0;
  for (TCalendarButton b : {btnToday, btnNow, btnClear, btnOk}) {
    const Boolean visible = b == btnOk ? dateTime : b == btnNow ? dateTime && FDateButtons.Contains(b) : FDateButtons.Contains(b);
    if (visible) widest = std::max(widest, canvas->TextWidth(GetButton(b)->GetCaption()));
  }
  FButtonWidth = widest + FColWidth;
  FButtonsTopOffset = font->GetSize() / 2;
  const Integer wg = canvas->TextHeight("Wg");
  FButtonHeight = MulDiv(wg, 20, 13) + 1;
  if (dateTime) {
    Integer b = MulDiv(font->GetSize(), 5, 4) + 1;
    if (b % 2 == 0) ++b;
    FButtonsAreaHeight = b + FButtonHeight;
  } else {
    FButtonsAreaHeight = MulDiv(font->GetSize(), 3, 4) + MulDiv(wg, 20, 13) + FButtonsTopOffset;
  }
  ApplySize();
  CalculateRects();
  Invalidate();
}

TSize TcxCustomCalendar::CalculateSize() {
  const Boolean dateTime = FKind == ckDateTime;
  Integer height = FDaysOfWeekHeight + 6 * FRowHeight + FHeaderHeight + 1;
  if (HasButtonsArea()) height += FButtonsAreaHeight;
  if (dateTime)
    height += FHeaderHeight + GetContentIndent().Y + GetBottomIndent();
  else
    height += 1;
  if (!dateTime && IsOffice11Painter()) height += 2;
  FCalendarWidth = GetWeekNumbersWidth() + 2 * FSideWidth + 7 * FColWidth;
  Integer width = FCalendarWidth;
  if (dateTime) {
    const Integer m = (FButtonsAreaHeight - 1 - FButtonHeight) / 2;
    // The clock follows the height before this layout; the next layout uses the new height.
    FClockSize = std::max(0, GetHeight() - FHeaderHeight - GetContentIndent().Y - FButtonsAreaHeight -
                                 FTimeEdit->GetHeight() - 3 * m);
    FTimeEditWidth = TimeEditWidth();
    width = 2 * GetContentIndent().X + width + FColWidth + 2 * m + std::max(FClockSize, FTimeEditWidth);
  }
  const Integer buttonsWidth = FColWidth + (FButtonWidth + FColWidth) * VisibleButtonCount();
  if (buttonsWidth > width) {
    FContentOffsetX = (buttonsWidth - width) / 2;
    if (dateTime) FContentOffsetX /= 2;
    width = buttonsWidth;
  } else {
    FContentOffsetX = 0;
  }
  return TSize{width, height};
}

bool TcxCustomCalendar::CanResize(Integer& newWidth, Integer& newHeight) {
  if (HandleAllocated() && FColWidth > 0) {
    const TSize size = CalculateSize();
    newWidth = size.cx;
    newHeight = size.cy;
  }
  return inherited::CanResize(newWidth, newHeight);
}

void TcxCustomCalendar::ApplySize() {
  const TSize size = CalculateSize();
  SetBounds(GetLeft(), GetTop(), size.cx, size.cy);
  PlaceControls();
}

void TcxCustomCalendar::PlaceControls() {
  if (!HandleAllocated()) return;
  const Boolean dateTime = FKind == ckDateTime;
  FClearButton->SetVisible(FDateButtons.Contains(btnClear));
  FNowButton->SetVisible(dateTime && FDateButtons.Contains(btnNow));
  FOKButton->SetVisible(dateTime);
  FTodayButton->SetVisible(FDateButtons.Contains(btnToday));
  FClock->SetVisible(FOKButton->GetVisible());
  FTimeEdit->SetVisible(FOKButton->GetVisible());
  const Integer width = GetWidth();
  const Integer height = GetHeight();
  if (!dateTime) {
    const Boolean today = FTodayButton->GetVisible();
    const Boolean clear = FClearButton->GetVisible();
    const Integer top = GetClientHeight() - FButtonsAreaHeight + FButtonsTopOffset;
    const Integer todayLeft = (width - FButtonWidth - (clear ? FButtonWidth : 0)) / (clear ? 3 : 2);
    const Integer clearLeft = width - FButtonWidth - (width - FButtonWidth - (today ? FButtonWidth : 0)) / (today ? 3 : 2);
    FTodayButton->SetBounds(todayLeft, top, FButtonWidth + 1, FButtonHeight);
    FClearButton->SetBounds(clearLeft, top, FButtonWidth + 1, FButtonHeight);
    return;
  }
  const Integer gap = MulDiv(GetFont()->GetSize(), 5, 4);
  const Integer top = height + (FButtonsAreaHeight - FButtonHeight - 1) / 2 - FButtonsAreaHeight + 1;
  std::vector<TcxButton*> visible;
  for (TcxButton* b : {FTodayButton, FNowButton, FClearButton, FOKButton})
    if (b->GetVisible()) visible.push_back(b);
  const Integer lastLeft = width - gap - FButtonWidth - 1;
  for (std::size_t i = 0; i < visible.size(); ++i) {
    Integer left = lastLeft;
    if (i + 1 < visible.size()) {
      if (visible.size() == 2)
        left = lastLeft - gap - FButtonWidth - 1;
      else
        left = gap + Integer(i) * (gap + FButtonWidth + 1);
    }
    visible[i]->SetBounds(left, top, FButtonWidth, FButtonHeight);
  }
  const Integer m = (FButtonsAreaHeight - 1 - FButtonHeight) / 2;
  const TPoint indent = GetContentIndent();
  const Integer timeTop = height - FButtonsAreaHeight - FTimeEdit->GetHeight() - m;
  const Integer timeLeft =
      width - (indent.X + FClockSize + 2 * m) / 2 - FTimeEditWidth / 2 - FContentOffsetX;
  FTimeEdit->SetBounds(timeLeft, timeTop, FTimeEditWidth, FTimeEdit->GetHeight());
  FClock->SetBounds(width - indent.X - m - FClockSize - FContentOffsetX, indent.Y + FHeaderHeight + m, FClockSize,
                    FClockSize);
}

void TcxCustomCalendar::CalculateRects() {
  const Boolean dateTime = FKind == ckDateTime;
  const Integer i = GetArrowInset();
  const Boolean office11 = IsOffice11Painter();
  const Integer insetLeft = !dateTime && office11 ? 2 : 0;
  const Integer insetRight = insetLeft;
  const Integer t = insetLeft;
  Integer w = GetWidth();
  if (dateTime) {
    FDateTimeHeaderRect = TRect{0, 0, GetWidth(), FHeaderHeight};
    if (office11) FDateTimeHeaderRect = TRect{2, 2, GetWidth() - 2, FHeaderHeight};
    w = FCalendarWidth;
  }
  FArrowRects[0] = TRect{insetLeft + i, t + i, insetLeft + i + FColWidth - 2, t + FHeaderHeight - 1};
  if (!FArrowsForYear) {
    FLastArrowIndex = 1;
    FArrowRects[1] = TRect{FCalendarWidth - FColWidth - i - insetRight + 2, t + i, FCalendarWidth - i - insetRight,
                           t + FHeaderHeight - 1};
    FMonthTextRect = TRect{FArrowRects[0].Right, t, FArrowRects[1].Left, t + FHeaderHeight};
    FYearTextRect = TRect{};
  } else {
    FLastArrowIndex = 3;
    TcxCanvas* canvas = GetCanvasOrScreenCanvas();
    canvas->SetFont(GetFont());
    Integer widestMonth = 0;
    Integer widestYear = 0;
    const TcxCalendarDateParts parts = FCalendarTable->DateToParts(FDisplayMonth);
    const Integer months = FCalendarTable->MonthCount(parts.Era, parts.Year);
    for (Integer k = 1; k <= months; ++k) {
      AnsiString text;
      GetLongMonthName(FCalendarTable, text, FCalendarTable->ShiftDateByMonths(FDisplayMonth, k));
      widestMonth = std::max(widestMonth, canvas->TextWidth(text));
      GetYearText(FCalendarTable, text, FCalendarTable->ShiftDateByYears(FDisplayMonth, k));
      widestYear = std::max(widestYear, canvas->TextWidth(text));
    }
    FArrowRects[3] = TRect{FCalendarWidth - FColWidth - i - insetRight + 2, t + i, FCalendarWidth - i - insetRight,
                           t + FHeaderHeight - 1};
    // The spare width is shared between the captions in proportion to their widest texts.
    const Integer free = FCalendarWidth - 2 * i - insetLeft - insetRight - widestMonth - widestYear - 4 * FColWidth + 8;
    const Integer x = free * widestMonth / std::max(widestMonth + widestYear, 1) + widestMonth + FArrowRects[0].Right;
    FArrowRects[1] = TRect{x, FArrowRects[0].Top, x + FColWidth - 2, FArrowRects[0].Bottom};
    FArrowRects[2] = Moved(FArrowRects[1], FColWidth - 2, 0);
    FMonthTextRect = TRect{FArrowRects[0].Right, t, FArrowRects[1].Left, t + FHeaderHeight};
    FYearTextRect = TRect{FArrowRects[2].Right, t, FArrowRects[3].Left, t + FHeaderHeight};
  }
  FHeaderRect = TRect{0, FMonthTextRect.Top, w, FMonthTextRect.Bottom};
  FDaysAreaRect = TRect{0, FMonthTextRect.Bottom + 1, FCalendarWidth,
                        FMonthTextRect.Bottom + 1 + FDaysOfWeekHeight + 6 * FRowHeight + 1};
  const Integer dx = dateTime ? FContentOffsetX + GetContentIndent().X : FContentOffsetX;
  const Integer dy = dateTime ? GetContentIndent().Y + FDateTimeHeaderRect.Bottom : 0;
  for (Integer k = 0; k <= FLastArrowIndex; ++k) FArrowRects[k] = Moved(FArrowRects[k], dx, dy);
  FDaysAreaRect = Moved(FDaysAreaRect, dx, dy);
  FMonthTextRect = Moved(FMonthTextRect, dx, dy);
  if (FArrowsForYear) FYearTextRect = Moved(FYearTextRect, dx, dy);
  if (dateTime) FHeaderRect = Moved(FHeaderRect, dx, dy);
}

TDateTime TcxCustomCalendar::GetLastDayOfMonth() {
  TcxCalendarDateParts parts = FCalendarTable->DateToParts(FDisplayMonth);
  parts.Day = FCalendarTable->GetDaysInMonth(parts.Era, parts.Year, parts.Month);
  return GetDatePart(FCalendarTable->PartsToDate(parts));
}

TDateTime TcxCustomCalendar::GetFirstVisibleDate() {
  const Integer index = GetWeekdayIndex(FDisplayMonth);
  return FDisplayMonth - (index == 0 ? 7 : index);
}

TDateTime TcxCustomCalendar::GetLastVisibleDate() {
  const TDateTime last = GetLastDayOfMonth();
  Word year, month, day;
  DecodeDate(last, year, month, day);
  const Integer b = GetWeekdayIndex(EncodeDate(year, month, 1));
  const Integer c = DaysInAMonth(year, month);
  return last + 42 - c - b - (b == 0 ? 7 : 0);
}

TDateTime TcxCustomCalendar::GetCellDate(Integer col, Integer row) {
  const Integer index = GetWeekdayIndex(FDisplayMonth);
  TDateTime d = FDisplayMonth - index + 7 * row + col;
  // A month that begins on the first weekday shows a whole week of the previous month above it.
  if (index == 0 && GetMinSupportedDate() < FDisplayMonth) d -= 7;
  return d;
}

TRect TcxCustomCalendar::GetCellRect(Integer col, Integer row) {
  const Integer left = FDaysAreaRect.Left + GetWeekNumbersWidth() + FSideWidth + FColWidth * col;
  const Integer top = FDaysAreaRect.Top + FDaysOfWeekHeight + FRowHeight * row;
  return TRect{left, top, left + FColWidth, top + FRowHeight};
}

TDateTime TcxCustomCalendar::GetDateAtPoint(const TPoint& point) {
  if (FColWidth <= 0 || FRowHeight <= 0 || !InRect(GetClientRect(), point)) return NullDate;
  const Integer left = FDaysAreaRect.Left + GetWeekNumbersWidth() + FSideWidth;
  const Integer top = FDaysAreaRect.Top + FDaysOfWeekHeight;
  const TRect grid{left, top, FDaysAreaRect.Right - FSideWidth, top + 6 * FRowHeight};
  if (!InRect(grid, point)) return NullDate;
  return GetCellDate((point.X - left) / FColWidth, (point.Y - top) / FRowHeight);
}

// ==== Selection and scrolling ==================================================================

void TcxCustomCalendar::SetDisplayMonth(TDateTime value) {
  if (!IsValidDate(value)) return;
  const TDateTime month = FirstOfMonth(FCalendarTable, value);
  if (month == FDisplayMonth) return;
  FDisplayMonth = month;
  // The captions share the header by the widest names of the displayed year.
  if (HandleAllocated() && FColWidth > 0) CalculateRects();
  Invalidate();
}

void TcxCustomCalendar::InternalSetSelectedDate(Boolean reposition, TDateTime value) {
  if (value == FSelectedDate || (value != NullDate && !IsValidDate(value))) return;
  FSelectedDate = value;
  if (reposition && value != NullDate) SetDisplayMonth(GetDatePart(value));
  if (reposition || FKind == ckDateTime) {
    Invalidate();
  } else if (HandleAllocated()) {
    TRect rows = FDaysAreaRect;
    rows.Top += FDaysOfWeekHeight;
    InvalidateRect(rows, false);
  }
}

void TcxCustomCalendar::ScrollByArrow(Integer index) {
  switch (index) {
    case 0: SetDisplayMonth(FCalendarTable->ShiftDateByMonths(FDisplayMonth, -1)); break;
    case 1: SetDisplayMonth(FCalendarTable->ShiftDateByMonths(FDisplayMonth, 1)); break;
    case 2: SetDisplayMonth(FCalendarTable->ShiftDateByYears(FDisplayMonth, -1)); break;
    default: SetDisplayMonth(FCalendarTable->ShiftDateByYears(FDisplayMonth, 1)); break;
  }
}

void TcxCustomCalendar::ArrowTimerFired(TObject* sender) {
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  for (Integer k = 0; k <= FLastArrowIndex; ++k)
    if (InRect(FArrowRects[k], p)) ScrollByArrow(k);
}

void TcxCustomCalendar::RequestClose(TObject* sender, Integer reason) {
  FArrowTimer->SetEnabled(false);
  if (FMonthListBox) {
    FMonthListBox->GetScrollTimer()->SetEnabled(false);
    if (FMonthListBox->IsVisible()) FMonthListBox->CloseUp();
  }
}

void TcxCustomCalendar::ButtonClick(TObject* sender) {
  TDateTime d = NullDate;
  switch (static_cast<TComponent*>(sender)->GetTag()) {
    case btnClear: d = NullDate; break;
    case btnNow: d = Now(); break;
    case btnToday: d = Date() + SignOf(Date()) * FTimeEdit->GetTime(); break;
    default: d = FSelectedDate + SignOf(FSelectedDate) * FTimeEdit->GetTime(); break;
  }
  FClock->SetTime(d - std::trunc(d));
  FTimeEdit->SetTime(FClock->GetTime());
  SetSelectedDate(d);
  DoDateTimeChosen();
  RequestClose(this, cxCalendarCloseChosen);
}

void TcxCustomCalendar::TimeEditChanged(TObject* sender) {
  FClock->SetTime(FTimeEdit->GetTime());
  if (!HandleAllocated()) return;
  TRect r{0, 0, GetWidth(), FHeaderHeight - 1};
  if (!FFlat) r = TRect{1, 1, GetWidth() - 1, FHeaderHeight - 2};
  InvalidateRect(r, false);
}

// ==== Painting =================================================================================

TColor TcxCustomCalendar::GetBackgroundColor() {
  const TColor content = GetPainter()->DefaultCalendarContentColor();
  if (GetColor() != clWindow || content == clDefault) return GetColor();
  return content;
}

TRect TcxCustomCalendar::CaptionRect(const TRect& r) {
  TRect result = r;
  result.Top += FKind == ckDateTime ? 1 : (FFlat ? 0 : 1);
  result.Bottom -= 1;
  return result;
}

void TcxCustomCalendar::PaintHeader(TcxCanvas* canvas) {
  TcxCustomLookAndFeelPainterClass painter = GetPainter();
  const TColor headerColor = painter->DefaultCalendarHeaderColor();
  const Boolean dateTime = FKind == ckDateTime;
  const Boolean office11 = IsOffice11Painter();
  // A skin or the themed look draws the header as a header cell (bordered below in date kind,
  // all round in date-and-time kind); arrows and captions then lie on it unfilled.
  const TcxCustomLookAndFeelPainterClass skin = GetLookAndFeel()->GetSkinPainter();
  const Boolean winXP = painter == TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass());
  const Boolean themed = bool(skin) || winXP;
  if (themed) {
    const TcxBorders borders = dateTime ? cxBordersAll : TcxBorders{bBottom};
    (skin ? skin : painter)
        ->DrawHeaderCell(canvas, FHeaderRect, FHeaderRect, {}, borders, cxbsNormal, 0, vaCenter, false, false,
                         AnsiString(), nullptr, clNone, headerColor);
  } else {
    canvas->FillRect(FHeaderRect, headerColor);
  }
  for (Integer k = 0; k <= FLastArrowIndex; ++k) {
    TRect r = FArrowRects[k];
    if (!themed) {
      if (!dateTime && FFlat) HLine(canvas, r.Left, r.Right - 1, r.Top, headerColor);
      HLine(canvas, r.Left, r.Right - 1, r.Bottom - 1, headerColor);
      if (!dateTime && FFlat && !office11) ++r.Top;
      --r.Bottom;
      canvas->FillRect(r, headerColor);
    }
    TPoint points[3];
    TcxUltraFlatLookAndFeelPainter::ComputeArrowTriangle(r, (k == 0 || k == 2) ? adLeft : adRight, false, 0, points);
    const TColor arrowColor = painter->DefaultCalendarHeaderTextColor(false);
    canvas->SetBrushColor(arrowColor);
    canvas->SetPenColor(arrowColor);
    canvas->DrawPolygon(points, 3);
    canvas->ExcludeFromClip(FArrowRects[k]);
  }
  canvas->SetFont(GetFont());
  auto caption = [&](const TRect& rect, const AnsiString& text, Boolean hot) {
    const TRect r = CaptionRect(rect);
    if (!themed) canvas->FillRect(r, headerColor);
    canvas->SetBrushClear(true);
    canvas->SetFontColor(painter->DefaultCalendarHeaderTextColor(hot));
    canvas->DrawTextInRect(text, r, cxAlignHCenter | cxAlignVCenter | cxSingleLine);
  };
  AnsiString text;
  if (FArrowsForYear) {
    GetLongMonthName(FCalendarTable, text, FDisplayMonth);
    caption(FMonthTextRect, text, FHotPart == 1);
    GetYearText(FCalendarTable, text, FDisplayMonth);
    caption(FYearTextRect, text, FHotPart == 2);
  } else {
    GetMonthYearCaption(FCalendarTable, text, FDisplayMonth);
    caption(FMonthTextRect, text, FHotPart == 1);
  }
  if (themed) {
    // The header cell has its borders.
  } else if (!FFlat) {
    canvas->Draw3DEdge(FHeaderRect, false, true);
  } else if (dateTime) {
    FrameRect(canvas, FHeaderRect, office11 ? GetColor() : clBtnShadow);
  } else if (office11) {
    FrameRect(canvas, TRect{FHeaderRect.Left, FHeaderRect.Top - 2, FHeaderRect.Right, FHeaderRect.Bottom + 1},
              GetBackgroundColor(), 2);
  } else {
    HLine(canvas, FHeaderRect.Left, FHeaderRect.Right - 1, FHeaderRect.Bottom - 1, clBtnText);
  }
  canvas->ExcludeFromClip(FHeaderRect);
}

void TcxCustomCalendar::PaintDays(TcxCanvas* canvas) {
  TcxCustomLookAndFeelPainterClass painter = GetPainter();
  const TColor bg = GetBackgroundColor();
  const TColor separator = painter->DefaultCalendarSeparatorColor();
  TColor weekColor = painter->DefaultCalendarWeekNumbersColor();
  if (weekColor == clNone || weekColor == clDefault) weekColor = bg;
  const Integer wn = GetWeekNumbersWidth();
  const TRect r{FDaysAreaRect.Left + wn + FSideWidth, FDaysAreaRect.Top, FDaysAreaRect.Right - FSideWidth,
                FDaysAreaRect.Top + FDaysOfWeekHeight - 2};
  const Boolean buttonsLine = FKind == ckDate && HasButtonsArea();
  const Integer buttonsLineY = GetClientHeight() - FButtonsAreaHeight - 1;
  canvas->FillRect(FDaysAreaRect, bg);
  HLine(canvas, r.Left, r.Right - 1, r.Bottom, separator);
  HLine(canvas, r.Left, r.Right - 1, r.Bottom + 1, weekColor);
  if (buttonsLine) HLine(canvas, r.Left, r.Right - 1, buttonsLineY, clBtnShadow);
  if (FWeekNumbers) {
    const Integer x = FDaysAreaRect.Left + FSideWidth + FWeekNumberWidth + 3;
    if (FKind == ckDateTime || !HasButtonsArea()) {
      VLine(canvas, x, r.Bottom, FDaysAreaRect.Bottom - 3, separator);
    } else {
      VLine(canvas, x, r.Bottom, buttonsLineY, clBtnShadow);
      canvas->SetPixelColor(x + 1, buttonsLineY, clBtnShadow);
    }
    canvas->SetPixelColor(x + 1, r.Bottom, separator);
    canvas->SetPixelColor(x + 1, r.Bottom + 1, weekColor);
  }
  // Weekday names.
  TFont* font = GetFont();
  canvas->SetFont(font);
  canvas->SetBrushClear(true);
  canvas->SetFontColor(painter->DefaultCalendarTextColor());
  const Integer firstWeekday = GetFormatController()->GetFirstWeekday();
  for (Integer c = 0; c < 7; ++c) {
    const Integer weekday = (firstWeekday + c) % 7;
    const TRect cell{r.Left + c * FColWidth, r.Top, r.Left + (c + 1) * FColWidth - 3, r.Bottom};
    canvas->DrawTextInRect(GetWeekdayShortName(weekday == 0 ? 7 : weekday, font->GetCharset()), cell,
                           cxAlignRight | cxAlignVCenter | cxSingleLine);
  }
  // Day cells.
  const TDateTime today = Date();
  const TDateTime last = GetLastDayOfMonth();
  for (Integer row = 0; row < 6; ++row)
    for (Integer col = 0; col < 7; ++col) {
      const TDateTime d = GetCellDate(col, row);
      const Boolean selected = d == FSelectedDate || (FSelectedDate == NullDate && d == today);
      TRect cell = GetCellRect(col, row);
      if (d == today) {
        FrameRect(canvas, cell, painter->DefaultCalendarTodayFrameColor());
        cell = TRect{cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1};
      }
      canvas->FillRect(cell, selected ? painter->DefaultCalendarSelectionColor() : bg);
      TColor textColor = painter->DefaultCalendarTextColor();
      if (selected)
        textColor = painter->DefaultCalendarSelectionTextColor();
      else if (d < FDisplayMonth || d > last)
        textColor = painter->DefaultCalendarInactiveTextColor();
      else if (d == today)
        textColor = painter->DefaultCalendarTodayTextColor();
      if (!FCalendarTable->IsValidCalendarDate(d)) continue;
      canvas->SetBrushClear(true);
      canvas->SetFontColor(textColor);
      TRect text = cell;
      text.Right -= 3;
      canvas->DrawTextInRect(GetDayText(d), text, cxAlignRight | cxAlignVCenter | cxSingleLine);
    }
  if (FWeekNumbers) {
    canvas->GetFont()->SetSize(MulDiv(font->GetSize(), 2, 3));
    canvas->SetFontColor(painter->DefaultCalendarTextColor());
    TcxFormatController* formats = GetFormatController();
    for (Integer row = 0; row < 6; ++row) {
      const TDateTime first = GetCellDate(0, row);
      if (!IsValidDate(first)) continue;
      const TRect cell = GetCellRect(0, row);
      const TRect box{FDaysAreaRect.Left + FSideWidth, cell.Top, FDaysAreaRect.Left + FSideWidth + FWeekNumberWidth,
                      cell.Bottom};
      const Integer week =
          FCalendarTable->GetWeekNumber(formats->GetFirstWeekday(), formats->GetWeekNumberRule(), first);
      canvas->DrawTextInRect(IntToStr(week), box, cxAlignRight | cxAlignVCenter | cxSingleLine);
    }
    canvas->SetFont(font);
  }
  canvas->ExcludeFromClip(
      TRect{FDaysAreaRect.Left + FSideWidth, FDaysAreaRect.Top, FDaysAreaRect.Right - FSideWidth, FDaysAreaRect.Bottom - 1});
}

void TcxCustomCalendar::Paint() {
  TcxCanvas* canvas = GetCanvas();
  TcxCustomLookAndFeelPainterClass painter = GetPainter();
  const TColor bg = GetBackgroundColor();
  const Boolean dateTime = FKind == ckDateTime;
  const TRect client = GetClientRect();
  // The background first: a fill of the whole client through the clip left by the excluded
  // parts missed the band of the buttons.
  canvas->FillRect(client, bg);
  canvas->PushClipRegion();
  if (dateTime) {
    TRect r = FDateTimeHeaderRect;
    painter->DrawCalendarDateTimePanel(canvas, r);
    const TDateTime shown = FSelectedDate + SignOf(FSelectedDate) * FTimeEdit->GetTime();
    canvas->SetFont(GetFont());
    canvas->SetFontColor(painter->DefaultCalendarHeaderTextColor(false));
    canvas->SetBrushClear(true);
    canvas->DrawTextInRect(DateTimeToDisplayText(shown), r, cxAlignHCenter | cxAlignVCenter | cxSingleLine);
    canvas->ExcludeFromClip(FDateTimeHeaderRect);
  }
  PaintHeader(canvas);
  PaintDays(canvas);
  if (!dateTime && HasButtonsArea()) {
    const Integer left = FSideWidth + FContentOffsetX;
    const Integer y = GetClientHeight() - FButtonsAreaHeight - 1;
    canvas->ExcludeFromClip(TRect{left, y, left + FCalendarWidth - 2 * FSideWidth, y + 1});
  }
  if (dateTime) {
    TRect band{0, GetHeight() - FButtonsAreaHeight, GetWidth(), GetHeight()};
    TColor line = painter->DefaultEditorBorderColor(false);
    if (line == clDefault) line = clBtnText;
    HLine(canvas, band.Left, band.Right - 1, band.Top, line);
    TRect rest{band.Left, band.Top + 1, band.Right, band.Bottom};
    if (!FFlat) {
      canvas->Draw3DEdge(rest, false, true);
      rest = TRect{rest.Left + 1, rest.Top + 1, rest.Right - 1, rest.Bottom - 1};
    }
    canvas->FillRect(rest, bg);
    canvas->ExcludeFromClip(band);
  }
  canvas->FillRect(client, bg);
  if (dateTime) {
    const Integer x = FDaysAreaRect.Right + FColWidth / 2 + FContentOffsetX;
    VLine(canvas, x, FDaysAreaRect.Top, FTimeEdit->GetTop() + FTimeEdit->GetHeight() - 1,
          painter->DefaultCalendarSeparatorColor());
  }
  canvas->PopClipRegion();
}

// ==== Hot part, mouse and keys =================================================================

void TcxCustomCalendar::SetHotPart(Byte value) {
  if (value == FHotPart) return;
  auto invalidate = [&](Byte part) {
    if (!HandleAllocated() || part == 0) return;
    const TRect r = part == 1 ? FMonthTextRect : FYearTextRect;
    InvalidateRect(r, false);
  };
  invalidate(FHotPart);
  FHotPart = value;
  invalidate(FHotPart);
  if (value != 0)
    FSavedCursor = Screen->GetCursor();
  else
    Screen->SetCursor(FSavedCursor);
}

void TcxCustomCalendar::UpdateHotPart() {
  if ((FMonthListBox && FMonthListBox->IsVisible()) || GetCaptureControl() != nullptr || !HandleAllocated()) {
    SetHotPart(0);
    return;
  }
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  if (InRect(FMonthTextRect, p))
    SetHotPart(1);
  else if (FArrowsForYear && InRect(FYearTextRect, p))
    SetHotPart(2);
  else
    SetHotPart(0);
}

void TcxCustomCalendar::MouseLeave(TControl* control) {
  inherited::MouseLeave(control);
  UpdateHotPart();
}

void TcxCustomCalendar::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  UpdateHotPart();
  if (button != mbLeft) return;
  const TPoint p{x, y};
  const TDateTime d = GetDateAtPoint(p);
  if (d != NullDate) {
    InternalSetSelectedDate(false, d);
    return;
  }
  for (Integer k = 0; k <= FLastArrowIndex; ++k)
    if (InRect(FArrowRects[k], p)) {
      ScrollByArrow(k);
      FArrowTimer->SetEnabled(true);
      return;
    }
  if (InRect(CaptionRect(FMonthTextRect), p)) FMonthListBox->Popup(this);
}

void TcxCustomCalendar::MouseMove(TShiftState shift, Integer x, Integer y) {
  UpdateHotPart();
  if (FArrowTimer->GetEnabled()) return;
  if (!shift.Contains(ssLeft)) {
    inherited::MouseMove(shift, x, y);
    return;
  }
  // Dragging over the days moves the selection along.
  const TDateTime d = GetDateAtPoint(TPoint{x, y});
  inherited::MouseMove(shift, x, y);
  if (d != NullDate) InternalSetSelectedDate(false, d);
}

void TcxCustomCalendar::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseUp(button, shift, x, y);
  UpdateHotPart();
  if (FArrowTimer->GetEnabled()) {
    FArrowTimer->SetEnabled(false);
    return;
  }
  const TPoint p{x, y};
  if (FKind == ckDate) {
    if (InRect(GetClientRect(), p) && !InRect(CaptionRect(FMonthTextRect), p) &&
        !(FArrowsForYear && InRect(CaptionRect(FYearTextRect), p))) {
      if (GetDateAtPoint(p) != NullDate) DoDateTimeChosen();
      RequestClose(this, cxCalendarCloseChosen);
    }
  } else if (FSelectedDate != NullDate) {
    SetDisplayMonth(GetDatePart(FSelectedDate));
  }
}

void TcxCustomCalendar::DblClick() {
  inherited::DblClick();
  if (FKind != ckDateTime) return;
  TPoint p;
  GetCursorPos(&p);
  const TDateTime d = GetDateAtPoint(ScreenToClient(p));
  if (d == NullDate) return;
  SetSelectedDate(d);
  DoDateTimeChosen();
  RequestClose(this, cxCalendarCloseChosen);
}

bool TcxCustomCalendar::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  const bool handled = inherited::DoMouseWheel(shift, wheelDelta, mousePos);
  if (handled || FMonthListBox->IsVisible()) return handled;
  const TPoint p = ScreenToClient(mousePos);
  const Boolean back = wheelDelta >= 0;
  if (InRect(FMonthTextRect, p)) {
    ScrollByArrow(back ? 0 : 1);
    return true;
  }
  if (FArrowsForYear && InRect(FYearTextRect, p)) {
    ScrollByArrow(back ? 2 : 3);
    return true;
  }
  return handled;
}

void TcxCustomCalendar::KeyDown(Word& key, TShiftState shift) {
  const Boolean exactlyCtrl = shift == TShiftState{ssCtrl};
  const Boolean exactlyAlt = shift == TShiftState{ssAlt};
  const TDateTime d = FSelectedDate;
  switch (key) {
    case VK_PRIOR: SetSelectedDate(FCalendarTable->ShiftDateByMonths(d, -1)); break;
    case VK_NEXT: SetSelectedDate(FCalendarTable->ShiftDateByMonths(d, 1)); break;
    case VK_END:
      if (exactlyCtrl) {
        TcxCalendarDateParts parts = FCalendarTable->DateToParts(d);
        parts.Day = FCalendarTable->GetDaysInMonth(parts.Era, parts.Year, parts.Month);
        SetSelectedDate(FCalendarTable->PartsToDate(parts));
      } else {
        SetSelectedDate(d + 6 - GetWeekdayIndex(d));
      }
      break;
    case VK_HOME:
      if (exactlyCtrl) {
        TcxCalendarDateParts parts = FCalendarTable->DateToParts(d);
        parts.Day = 1;
        SetSelectedDate(FCalendarTable->PartsToDate(parts));
      } else {
        SetSelectedDate(d - GetWeekdayIndex(d));
      }
      break;
    case VK_LEFT: SetSelectedDate(d - 1); break;
    case VK_RIGHT: SetSelectedDate(d + 1); break;
    case VK_UP:
      if (!exactlyAlt) SetSelectedDate(d - 7);
      break;
    case VK_DOWN:
      if (!exactlyAlt) SetSelectedDate(d + 7);
      break;
    default: break;
  }
  inherited::KeyDown(key, shift);
}

// ==== Popup calendar ===========================================================================

void TcxPopupCalendar::UpdateHotPart() {
  // Hot tracking only while the editor's drop-down is open.
  if (FEdit && !FEdit->HasOpenPopup()) {
    SetHotPart(0);
    return;
  }
  inherited::UpdateHotPart();
}

void TcxPopupCalendar::RequestClose(TObject* sender, Integer reason) {
  inherited::RequestClose(sender, reason);
  if (FOnHidePopup) FOnHidePopup(this, reason);
}

void TcxPopupCalendar::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  const Boolean alt = shift.Contains(ssAlt);
  switch (key) {
    case VK_TAB:
      if (GetKind() == ckDateTime || !FEdit) break;
      if (FEdit->DateProperties()->GetPostPopupValueOnTab()) DoDateTimeChosen();
      FEdit->DoEditKeyDown(key, shift);
      break;
    case VK_RETURN:
      if (GetMonthListBox()->IsVisible()) break;
      DoDateTimeChosen();
      RequestClose(this, cxCalendarCloseChosen);
      break;
    case VK_ESCAPE:
      if (GetMonthListBox()->IsYearsMode() || !GetMonthListBox()->IsVisible())
        RequestClose(this, cxCalendarCloseCancel);
      else
        GetMonthListBox()->CloseUp();
      break;
    case VK_UP:
    case VK_DOWN:
      if (shift == TShiftState{ssAlt}) RequestClose(this, cxCalendarCloseByKey);
      break;
    case VK_F4:
      if (!alt) RequestClose(this, cxCalendarCloseByKey);
      break;
    default: break;
  }
}

void TcxPopupCalendar::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  // A drag that leaves the calendar gives the selection back to the editor's date.
  if (!FEdit || !shift.Contains(ssLeft) || GetArrowTimer()->GetEnabled()) return;
  if (x >= 0 && y >= 0 && x < GetClientWidth() && y < GetClientHeight()) return;
  const TDateTime date = FEdit->GetDate();
  if (date == GetSelectedDate()) return;
  InternalSetSelectedDate(false, date == NullDate ? NullDate : GetDatePart(date));
}
