// The calendar: one month as six weeks under a header with scroll arrows and the month and year
// captions, optional week numbers, a row of buttons (Today, Clear; Now and OK in date-and-time
// mode) and, in date-and-time mode, a clock and a time editor beside the grid. The month list
// drops over the month caption; the clock shows the time of the time editor. The date editor
// hosts the popup variant in its drop-down window.
#pragma once

#include "components/data/cxDateUtils.h"
#include "components/editors-more/cxTimeEdit.h"
#include "components/foundation/cxControls.h"

class TcxButton;
class TcxCustomCalendar;
class TcxCustomCalendarTable;
class TcxCustomDateEdit;
class TcxTimer;

enum TcxCalendarKind { ckDate, ckDateTime };
enum TCalendarButton { btnClear, btnNow, btnToday, btnOk };
using TDateButton = TCalendarButton;  // btnClear, btnNow and btnToday are the optional ones
using TDateButtons = orv::Set<TCalendarButton>;

// Why the calendar asks to close: a key (Alt+Up, Alt+Down, F4), Esc, a value was chosen.
inline constexpr Integer cxCalendarCloseByKey = 2;
inline constexpr Integer cxCalendarCloseCancel = 3;
inline constexpr Integer cxCalendarCloseChosen = 4;

using TcxCalendarHidePopupEvent = orv::Event<void(TObject* sender, Integer reason)>;

// ==== Clock ====================================================================================

class TcxClock : public TcxControl {
  ORV_CLASS(TcxClock, TcxControl)
 public:
  explicit TcxClock(TComponent* owner);
  TColor GetMinuteDotColor() const { return FMinuteDotColor; }
  void SetMinuteDotColor(TColor value);
  TDateTime GetTime() const { return FTime; }
  // Keeps the time of day alone.
  void SetTime(TDateTime value);

 protected:
  void Paint() override;

 private:
  TColor FMinuteDotColor = clWindow;
  TDateTime FTime = 0;
};

// ==== Month list ===============================================================================

// Years mode (seven months around the displayed one, a press-drag-release gesture that scrolls
// while the mouse is held above or below) or month mode (the months of the year, a click list).
class TcxMonthListBox : public TcxCustomPopupWindow {
  ORV_CLASS(TcxMonthListBox, TcxCustomPopupWindow)
 public:
  explicit TcxMonthListBox(TControl* ownerControl);
  void BeforeDestruction() override;

  void CalculatePosition(TPoint& position) override { position = FPopupPosition; }
  void CloseUp() override;
  void NotifyShown() override;
  void Popup(TWinControl* focusedControl) override;

  Boolean IsYearsMode();
  // The first day of the highlighted month, NullDate when none is.
  TDateTime GetSelectedDate();
  Integer GetItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer value);
  Integer GetTopIndex() const { return FTopIndex; }
  void SetTopIndex(Integer value);
  Integer GetItemCount() const { return FItemCount; }
  Integer GetItemHeight() const { return FItemHeight; }
  TcxTimer* GetScrollTimer() const { return FScrollTimer; }
  Integer GetScrollDirection() const { return FScrollDirection; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void Click() override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void Paint() override;

 private:
  TcxCustomCalendar* Calendar() const;
  void ScrollTimerFired(TObject* sender);
  TcxCalendarDateParts FDateParts;
  TPoint FPopupPosition;
  Integer FTopIndex = 0;
  Integer FItemHeight = 0;
  Integer FItemIndex = -1;
  Integer FItemCount = 0;
  TcxTimer* FScrollTimer = nullptr;
  Integer FScrollDirection = 1;
};

// ==== Calendar =================================================================================

class TcxCustomCalendar : public TcxControl {
  ORV_CLASS(TcxCustomCalendar, TcxControl)
 public:
  explicit TcxCustomCalendar(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomCalendar() override;

  // ---- New virtual operations ----
  virtual void LayoutChanged();
  virtual void UpdateHotPart();
  virtual Integer GetBottomIndent() { return GetFont()->GetSize() / 2; }
  virtual TDateTime GetLastDayOfMonth();
  virtual TPoint GetContentIndent();
  virtual TSize CalculateSize();
  virtual void RequestClose(TObject* sender, Integer reason);
  virtual TDateTime GetDateAtPoint(const TPoint& point);
  virtual void SetDisplayMonth(TDateTime value);
  virtual void SetSelectedDate(TDateTime value) { InternalSetSelectedDate(true, value); }
  virtual TDateTime GetFirstVisibleDate();
  virtual TDateTime GetLastVisibleDate();

  // ---- Settings ----
  Boolean GetArrowsForYear() const { return FArrowsForYear; }
  void SetArrowsForYear(Boolean value);
  TDateButtons GetDateButtons() const { return FDateButtons; }
  void SetDateButtons(TDateButtons value);
  Boolean GetFlat() const { return FFlat; }
  void SetFlat(Boolean value);
  TcxCalendarKind GetKind() const { return FKind; }
  void SetKind(TcxCalendarKind value);
  void SetTimeFormat(TcxTimeEditTimeFormat value);
  void SetUse24HourFormat(Boolean value);
  Boolean GetWeekNumbers() const { return FWeekNumbers; }
  void SetWeekNumbers(Boolean value);
  Boolean GetYearsInMonthList() const { return FYearsInMonthList; }
  void SetYearsInMonthList(Boolean value) { FYearsInMonthList = value; }
  const TNotifyEvent& GetOnDateTimeChosen() const { return FOnDateTimeChosen; }
  void SetOnDateTimeChosen(const TNotifyEvent& value) { FOnDateTimeChosen = value; }

  TDateTime GetDisplayMonth() const { return FDisplayMonth; }
  TDateTime GetSelectedDate() const { return FSelectedDate; }
  TcxCustomCalendarTable* GetCalendarTable() const { return FCalendarTable; }
  TcxMonthListBox* GetMonthListBox() const { return FMonthListBox; }
  TcxTimeEdit* GetTimeEdit() const { return FTimeEdit; }
  TcxClock* GetClock() const { return FClock; }
  TcxButton* GetButton(TCalendarButton button) const;
  TcxTimer* GetArrowTimer() const { return FArrowTimer; }
  Byte GetHotPart() const { return FHotPart; }
  Integer GetHeaderHeight() const { return FHeaderHeight; }
  Integer GetColWidth() const { return FColWidth; }
  Integer GetRowHeight() const { return FRowHeight; }
  Integer GetContentOffsetX() const { return FContentOffsetX; }
  Integer GetButtonWidth() const { return FButtonWidth; }
  const TRect& GetMonthTextRect() const { return FMonthTextRect; }
  const TRect& GetYearTextRect() const { return FYearTextRect; }
  const TRect& GetArrowRect(Integer index) const { return FArrowRects[index]; }
  const TRect& GetDaysAreaRect() const { return FDaysAreaRect; }
  // The client rectangle of the day cell (col 0..6, row 0..5).
  TRect GetCellRect(Integer col, Integer row);
  TDateTime GetCellDate(Integer col, Integer row);

  void ApplySize();
  void DoDateTimeChosen() {
    if (FOnDateTimeChosen) FOnDateTimeChosen(this);
  }
  void ScrollByArrow(Integer index);
  void InternalSetSelectedDate(Boolean reposition, TDateTime value);

 protected:
  bool CanResize(Integer& newWidth, Integer& newHeight) override;
  void Paint() override;
  void TranslationChanged() override;
  void SetInternalControlsParent() override;
  void FontChanged() override;
  using TcxControl::FontChanged;
  void CreateWnd() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;
  void MouseLeave(TControl* control) override;
  void PlaceControls();
  void SetHotPart(Byte value);
  TColor GetBackgroundColor();

 private:
  void CreateButtons();
  void SetButtonCaptions();
  Integer VisibleButtonCount();
  Boolean HasButtonsArea();
  Integer GetWeekNumbersWidth() { return FWeekNumbers ? FWeekNumberWidth + 5 : 0; }
  Integer GetArrowInset() { return (FKind == ckDateTime || !FFlat) ? 1 : 0; }
  Boolean IsOffice11Painter();
  void CalculateRects();
  TRect CaptionRect(const TRect& r);
  void PaintHeader(TcxCanvas* canvas);
  void PaintDays(TcxCanvas* canvas);
  void ButtonClick(TObject* sender);
  void TimeEditChanged(TObject* sender);
  void ArrowTimerFired(TObject* sender);
  Integer TimeEditWidth();

  Boolean FArrowsForYear = true;
  Integer FButtonHeight = 0;
  Integer FButtonsTopOffset = 0;
  Integer FButtonsAreaHeight = 0;
  Integer FButtonWidth = 0;
  TDateButtons FDateButtons;
  TcxCustomCalendarTable* FCalendarTable = nullptr;
  TcxButton* FClearButton = nullptr;
  TcxClock* FClock = nullptr;
  Integer FClockSize = 0;
  Integer FColWidth = 0;
  Integer FCalendarWidth = 0;
  Integer FDaysOfWeekHeight = 0;
  TDateTime FDisplayMonth = 0;
  Boolean FFlat = true;
  Integer FHeaderHeight = 0;
  Byte FHotPart = 0;
  TcxCalendarKind FKind = ckDate;
  TcxMonthListBox* FMonthListBox = nullptr;
  TcxButton* FNowButton = nullptr;
  TcxButton* FOKButton = nullptr;
  TCursor FSavedCursor = 0;
  Integer FRowHeight = 0;
  TDateTime FSelectedDate = 0;
  Integer FSideWidth = 0;
  Integer FContentOffsetX = 0;
  TcxTimeEdit* FTimeEdit = nullptr;
  TcxTimer* FArrowTimer = nullptr;
  TcxButton* FTodayButton = nullptr;
  TRect FArrowRects[4];
  TRect FDaysAreaRect;
  TRect FDateTimeHeaderRect;
  TRect FHeaderRect;
  Byte FLastArrowIndex = 3;
  TRect FMonthTextRect;
  TRect FYearTextRect;
  Boolean FWeekNumbers = false;
  Integer FWeekNumberWidth = 0;
  Integer FTimeEditWidth = 0;
  Boolean FYearsInMonthList = true;
  TNotifyEvent FOnDateTimeChosen;
};

// The calendar of the date editor's drop-down: closing keys and choices reach the editor.
class TcxPopupCalendar : public TcxCustomCalendar {
  ORV_CLASS(TcxPopupCalendar, TcxCustomCalendar)
 public:
  explicit TcxPopupCalendar(TComponent* owner) : TcxCustomCalendar(owner) {}
  void UpdateHotPart() override;
  void RequestClose(TObject* sender, Integer reason) override;
  TcxCustomDateEdit* GetEdit() const { return FEdit; }
  void SetEdit(TcxCustomDateEdit* value) { FEdit = value; }
  const TcxCalendarHidePopupEvent& GetOnHidePopup() const { return FOnHidePopup; }
  void SetOnHidePopup(const TcxCalendarHidePopupEvent& value) { FOnHidePopup = value; }
  // The popup window hands the calendar its keys.
  void CalendarKeyDown(Word& key, TShiftState shift) { KeyDown(key, shift); }

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;

 private:
  TcxCustomDateEdit* FEdit = nullptr;
  TcxCalendarHidePopupEvent FOnHidePopup;
};
