// The calendar: the day grid of a month, keys and mouse moving the selection and the month, the
// arrow timer, the wheel over the captions, the buttons, the month list's years mode, the clock,
// the look of both kinds, and the header drawn by a skin.
#include <gtest/gtest.h>

#include <vector>

#include "components/data/cxDateUtils.h"
#include "components/editors-more/cxCalendar.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/editors/cxButtons.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/runtime/DateTime.h"

using namespace edmore_test;

namespace {

// Wednesday 14 February 2024, 10:30.
TDateTime FixedNow() { return EncodeDate(2024, 2, 14) + 10.5 / 24; }

class TCalendarEvents : public TObject {
 public:
  void Chosen(TObject* sender) { ++Chosen_; }
  void Hide(TObject* sender, Integer reason) { Reasons.push_back(reason); }
  int Chosen_ = 0;
  std::vector<Integer> Reasons;
};

class CalendarTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    FSavedNow = orv::SetNowFunction(&FixedNow);
  }
  void TearDown() override {
    orv::SetNowFunction(FSavedNow);
    FormTest::TearDown();
  }
  template <class T = TcxCustomCalendar>
  T* AddCalendar(Integer x = 4, Integer y = 4) {
    auto* c = new T(Form.get());
    c->SetLeft(x);
    c->SetTop(y);
    c->SetParent(Form.get());
    c->SetOnDateTimeChosen(TNotifyEvent(&Events, &TCalendarEvents::Chosen));
    return c;
  }
  static TPoint ScreenPoint(TcxCustomCalendar* c, const TPoint& p) { return c->ClientToScreen(p); }
  static TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  static void ClickAt(TcxCustomCalendar* c, const TPoint& client) {
    const TPoint s = ScreenPoint(c, client);
    orv::headless::Click(s.X, s.Y);
    Run();
  }
  static void Press(int key, bool shift = false, bool ctrl = false, bool alt = false) {
    orv::headless::PressKey(key, shift, ctrl, alt);
    Run();
  }
  static AnsiString Ymd(TDateTime d) { return FormatDateTime("yyyy-mm-dd", d); }
  TCalendarEvents Events;
  orv::TNowFunction FSavedNow = nullptr;
};

}  // namespace

TEST_F(CalendarTest, GridStartsOnTheWeekOfTheFirstDay) {
  TcxCustomCalendar* c = AddCalendar();
  Show();
  // The locale's week starts on Monday. February 2024 begins on a Thursday.
  c->SetDisplayMonth(EncodeDate(2024, 2, 20));
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2024-02-01");
  EXPECT_EQ(Ymd(c->GetCellDate(0, 0)), "2024-01-29");
  EXPECT_EQ(Ymd(c->GetCellDate(6, 5)), "2024-03-10");
  EXPECT_EQ(Ymd(c->GetLastDayOfMonth()), "2024-02-29");
  // April 2024 begins on a Monday: a whole week of March stands above it.
  c->SetDisplayMonth(EncodeDate(2024, 4, 1));
  EXPECT_EQ(Ymd(c->GetCellDate(0, 0)), "2024-03-25");
  EXPECT_EQ(Ymd(c->GetCellDate(0, 1)), "2024-04-01");
  // Invalid dates change nothing.
  c->SetDisplayMonth(NullDate);
  c->SetSelectedDate(EncodeDate(2024, 4, 3));
  c->SetSelectedDate(MaxEditDateTime + 40);
  EXPECT_EQ(Ymd(c->GetSelectedDate()), "2024-04-03");
  // The day under a point.
  const TRect cell = c->GetCellRect(2, 1);
  EXPECT_EQ(Ymd(c->GetDateAtPoint(Centre(cell))), "2024-04-03");
  EXPECT_EQ(c->GetDateAtPoint(Centre(c->GetMonthTextRect())), NullDate);
}

TEST_F(CalendarTest, KeysMoveTheSelection) {
  TcxCustomCalendar* c = AddCalendar();
  Show();
  c->SetFocus();
  Run();
  struct Case {
    Word y, m, d;
    int key;
    bool ctrl;
    const char* to;
  };
  const Case cases[] = {
      {2024, 2, 10, VK_END, true, "2024-02-29"},    // Ctrl+End in a leap February
      {2023, 2, 10, VK_END, true, "2023-02-28"},
      {2024, 2, 10, VK_HOME, true, "2024-02-01"},
      {2024, 1, 31, VK_NEXT, false, "2024-02-29"},  // a month on, clamped to its last day
      {2024, 3, 31, VK_PRIOR, false, "2024-02-29"},
      {2024, 2, 14, VK_HOME, false, "2024-02-12"},  // the week's Monday
      {2024, 2, 14, VK_END, false, "2024-02-18"},   // and its Sunday
      {2024, 2, 28, VK_RIGHT, false, "2024-02-29"},
      {2024, 3, 1, VK_LEFT, false, "2024-02-29"},
      {2024, 2, 29, VK_DOWN, false, "2024-03-07"},
      {2024, 3, 7, VK_UP, false, "2024-02-29"},
  };
  for (const Case& k : cases) {
    c->SetSelectedDate(EncodeDate(k.y, k.m, k.d));
    Press(k.key, false, k.ctrl);
    EXPECT_EQ(Ymd(c->GetSelectedDate()), AnsiString(k.to)) << k.y << "-" << k.m << "-" << k.d << " key " << k.key;
    EXPECT_EQ(c->GetDisplayMonth(), GetFirstDayOfMonth(c->GetSelectedDate())) << "the month follows the selection";
  }
}

TEST_F(CalendarTest, ClickingADayChoosesIt) {
  TcxCustomCalendar* c = AddCalendar();
  Show();
  c->SetSelectedDate(EncodeDate(2024, 2, 14));
  ClickAt(c, Centre(c->GetCellRect(4, 3)));
  EXPECT_EQ(Ymd(c->GetSelectedDate()), "2024-02-23");
  EXPECT_EQ(Events.Chosen_, 1);
  // A day of the next month in the grid is chosen without moving the month.
  ClickAt(c, Centre(c->GetCellRect(6, 5)));
  EXPECT_EQ(Ymd(c->GetSelectedDate()), "2024-03-10");
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2024-02-01");
}

TEST_F(CalendarTest, HeldArrowRepeatsWhileTheCursorStaysOnIt) {
  TcxCustomCalendar* c = AddCalendar();
  Show();
  c->SetSelectedDate(EncodeDate(2024, 2, 14));
  const TPoint next = ScreenPoint(c, Centre(c->GetArrowRect(1)));
  orv::headless::MouseMove(next.X, next.Y);
  orv::headless::MouseDown();
  Run();
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2024-03-01") << "once at once";
  orv::headless::AdvanceTime(200);
  Run();
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2024-04-01");
  orv::headless::AdvanceTime(200);
  Run();
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2024-05-01");
  // Away from the arrow the timer runs on but scrolls nothing.
  const TPoint away = ScreenPoint(c, Centre(c->GetCellRect(3, 3)));
  orv::headless::MouseMove(away.X, away.Y);
  orv::headless::AdvanceTime(400);
  Run();
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2024-05-01");
  orv::headless::MouseMove(next.X, next.Y);
  orv::headless::AdvanceTime(200);
  Run();
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2024-06-01");
  orv::headless::MouseUp();
  Run();
  orv::headless::AdvanceTime(1000);
  Run();
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2024-06-01") << "released: no more scrolling";
  EXPECT_FALSE(c->GetArrowTimer()->GetEnabled());
  EXPECT_EQ(Events.Chosen_, 0);
  // The year arrows.
  ClickAt(c, Centre(c->GetArrowRect(3)));
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2025-06-01");
  ClickAt(c, Centre(c->GetArrowRect(2)));
  ClickAt(c, Centre(c->GetArrowRect(2)));
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2023-06-01");
}

TEST_F(CalendarTest, WheelOverTheCaptionsScrollsMonthsOrYears) {
  TcxCustomCalendar* c = AddCalendar();
  Show();
  c->SetDisplayMonth(EncodeDate(2024, 6, 1));
  struct Case {
    TRect over;
    int delta;
    const char* month;
  };
  const Case cases[] = {
      {c->GetMonthTextRect(), WHEEL_DELTA, "2024-05-01"},  // up is back
      {c->GetMonthTextRect(), -WHEEL_DELTA, "2024-06-01"},
      {c->GetYearTextRect(), -WHEEL_DELTA, "2025-06-01"},
      {c->GetYearTextRect(), WHEEL_DELTA, "2024-06-01"},
      {c->GetCellRect(3, 3), WHEEL_DELTA, "2024-06-01"},   // nothing over the days
  };
  for (const Case& k : cases) {
    const TPoint p = ScreenPoint(c, Centre(k.over));
    orv::headless::MouseMove(p.X, p.Y);
    orv::headless::Wheel(k.delta);
    Run();
    EXPECT_EQ(Ymd(c->GetDisplayMonth()), AnsiString(k.month));
  }
  // Without year arrows there is no year caption to hover or scroll.
  c->SetArrowsForYear(false);
  EXPECT_EQ(c->GetYearTextRect().Width(), 0);
  const TPoint p = ScreenPoint(c, TPoint{c->GetWidth() - c->GetColWidth() - 4, Centre(c->GetMonthTextRect()).Y});
  orv::headless::MouseMove(p.X, p.Y);
  Run();
  EXPECT_NE(c->GetHotPart(), 2);
}

TEST_F(CalendarTest, ButtonsChooseAndAskToClose) {
  auto* c = AddCalendar<TcxPopupCalendar>();
  c->SetOnHidePopup(TcxCalendarHidePopupEvent(&Events, &TCalendarEvents::Hide));
  Show();
  c->SetSelectedDate(EncodeDate(2024, 3, 5));
  // Two date buttons stand at a third and two thirds of the width with equal gaps.
  TcxButton* today = c->GetButton(btnToday);
  TcxButton* clear = c->GetButton(btnClear);
  ASSERT_TRUE(today->GetVisible());
  ASSERT_TRUE(clear->GetVisible());
  const Integer leftGap = today->GetLeft();
  const Integer middleGap = clear->GetLeft() - (today->GetLeft() + c->GetButtonWidth());
  const Integer rightGap = c->GetWidth() - (clear->GetLeft() + c->GetButtonWidth());
  EXPECT_LE(std::abs(leftGap - middleGap), 1);
  EXPECT_LE(std::abs(rightGap - middleGap), 1);

  ClickAt(c, Centre(clear->GetBoundsRect()));
  EXPECT_EQ(c->GetSelectedDate(), NullDate);
  EXPECT_EQ(Events.Chosen_, 1);
  EXPECT_EQ(Events.Reasons, std::vector<Integer>{cxCalendarCloseChosen});
  ClickAt(c, Centre(today->GetBoundsRect()));
  EXPECT_EQ(Ymd(c->GetSelectedDate()), "2024-02-14");

  // One button alone is centred.
  c->SetDateButtons(TDateButtons{btnToday});
  EXPECT_FALSE(clear->GetVisible());
  EXPECT_LE(std::abs(today->GetLeft() - (c->GetWidth() - (today->GetLeft() + c->GetButtonWidth()))), 1);

  // Closing keys of the popup calendar.
  c->SetFocus();
  Run();
  Events.Reasons.clear();
  Press(VK_ESCAPE);
  Press(VK_F4);
  Press(VK_DOWN, false, false, true);
  Press(VK_RETURN);
  EXPECT_EQ(Events.Reasons, (std::vector<Integer>{cxCalendarCloseCancel, cxCalendarCloseByKey, cxCalendarCloseByKey,
                                                  cxCalendarCloseChosen}));
}

TEST_F(CalendarTest, MonthListInYearsModeScrollsWhileHeldAndTakesTheMonthOnRelease) {
  TcxCustomCalendar* c = AddCalendar();
  Show();
  c->SetDisplayMonth(EncodeDate(2024, 6, 1));
  TcxMonthListBox* list = c->GetMonthListBox();
  const TPoint caption = ScreenPoint(c, Centre(c->GetMonthTextRect()));
  orv::headless::MouseMove(caption.X, caption.Y);
  orv::headless::MouseDown();
  Run();
  ASSERT_TRUE(list->IsVisible());
  EXPECT_TRUE(list->IsYearsMode());
  EXPECT_EQ(list->GetItemCount(), 7);
  EXPECT_EQ(list->GetTopIndex(), -3) << "March to September with June in the middle";
  // Holding the mouse above the list scrolls it: 500 ms just above, 250 ms one item up, 50 ms
  // three or more items up.
  const TPoint top = list->ClientToScreen(TPoint{10, 0});
  struct Case {
    Integer above;
    Cardinal interval;
  };
  const Case cases[] = {{1, 500}, {list->GetItemHeight(), 250}, {2 * list->GetItemHeight(), 100},
                        {5 * list->GetItemHeight(), 50}};
  for (const Case& k : cases) {
    orv::headless::MouseMove(top.X, top.Y - k.above);
    Run();
    EXPECT_TRUE(list->GetScrollTimer()->GetEnabled());
    EXPECT_EQ(list->GetScrollTimer()->GetInterval(), k.interval) << k.above;
    EXPECT_EQ(list->GetScrollDirection(), -1);
  }
  orv::headless::AdvanceTime(100);
  Run();
  EXPECT_EQ(list->GetTopIndex(), -5);
  // A raised frame around the list's black one; the items lie inside both.
  EXPECT_EQ(list->GetWidth(), c->GetColWidth() * 6 + 2 + 2);
  EXPECT_EQ(list->GetHeight(), 7 * list->GetItemHeight() + 2 + 2);
  EXPECT_EQ(Pixel(list, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(Pixel(list, list->GetWidth() - 1, list->GetHeight() - 1), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(Pixel(list, 1, 1), RGB(0, 0, 0));
  EXPECT_EQ(Pixel(list, list->GetWidth() - 2, list->GetHeight() - 2), RGB(0, 0, 0));
  // Back over the list: scrolling stops and the item under the mouse is highlighted.
  const TPoint second = list->ClientToScreen(TPoint{10, 2 + list->GetItemHeight()});
  orv::headless::MouseMove(second.X, second.Y);
  Run();
  EXPECT_FALSE(list->GetScrollTimer()->GetEnabled());
  EXPECT_EQ(list->GetItemIndex(), 1);
  orv::headless::MouseUp();
  Run();
  EXPECT_FALSE(list->IsVisible());
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2024-02-01") << "five months up the top item is January, the second February";
}

TEST_F(CalendarTest, MonthListReleasedOverTheCaptionKeepsTheMonth) {
  TcxCustomCalendar* c = AddCalendar();
  Show();
  c->SetDisplayMonth(EncodeDate(2024, 6, 1));
  const TPoint caption = ScreenPoint(c, Centre(c->GetMonthTextRect()));
  orv::headless::MouseMove(caption.X, caption.Y);
  orv::headless::MouseDown();
  Run();
  TcxMonthListBox* list = c->GetMonthListBox();
  // Released beside the list (outside it, not above or below): nothing is highlighted.
  const TPoint beside = list->ClientToScreen(TPoint{list->GetWidth() + 5, 5});
  orv::headless::MouseMove(beside.X, beside.Y);
  orv::headless::MouseUp();
  Run();
  EXPECT_FALSE(list->IsVisible());
  EXPECT_EQ(Ymd(c->GetDisplayMonth()), "2024-06-01");
  // At the first supported month the list starts there instead of repeating it.
  c->SetDisplayMonth(EncodeDate(100, 1, 1));
  orv::headless::MouseMove(caption.X, caption.Y);
  orv::headless::MouseDown();
  Run();
  EXPECT_EQ(list->GetTopIndex(), 0);
  orv::headless::MouseUp();
  Run();
  // Without year arrows the list is in years mode even when YearsInMonthList is off.
  c->SetYearsInMonthList(false);
  EXPECT_FALSE(list->IsYearsMode());
  c->SetArrowsForYear(false);
  EXPECT_TRUE(list->IsYearsMode());
}

TEST_F(CalendarTest, ClockKeepsTheTimeOfDayAndFollowsTheTimeEditor) {
  TcxCustomCalendar* c = AddCalendar();
  c->SetKind(ckDateTime);
  Show();
  c->GetClock()->SetTime(EncodeDate(2020, 1, 1) + 0.25);
  EXPECT_DOUBLE_EQ(c->GetClock()->GetTime(), 0.25);
  c->GetTimeEdit()->SetTime(0.75);
  EXPECT_DOUBLE_EQ(c->GetClock()->GetTime(), 0.75);
  EXPECT_TRUE(c->GetTimeEdit()->GetVisible());
  EXPECT_TRUE(c->GetButton(btnOk)->GetVisible());
}

TEST_F(CalendarTest, GoldenDateKind) {
  TcxCustomCalendar* c = AddCalendar();
  c->SetWeekNumbers(true);
  Show();
  c->SetSelectedDate(EncodeDate(2024, 2, 21));
  Form->SetBounds(100, 100, c->GetWidth() + 8, c->GetHeight() + 8);
  Run();
  ExpectGolden(Form.get(), "calendar-date");
}

TEST_F(CalendarTest, GoldenDateTimeKind) {
  Form->SetBounds(100, 100, 400, 300);
  TcxCustomCalendar* c = AddCalendar();
  c->SetKind(ckDateTime);
  c->SetDateButtons(TDateButtons{btnClear, btnNow});
  Show();
  c->LayoutChanged();  // the clock takes the height of the first layout
  c->SetSelectedDate(EncodeDate(2024, 2, 21));
  c->GetTimeEdit()->SetTime(EncodeTime(15, 40, 0, 0));
  Form->SetBounds(100, 100, c->GetWidth() + 8, c->GetHeight() + 8);
  Run();
  ExpectGolden(Form.get(), "calendar-datetime");
}

TEST_F(CalendarTest, LeavingTheCalendarClearsTheHotCaptionAndItsCursor) {
  TcxCustomCalendar* c = AddCalendar();
  Show();
  const TCursor before = Screen->GetCursor();
  struct Case {
    TRect over;
    Byte hot;
  };
  const Case cases[] = {{c->GetMonthTextRect(), 1}, {c->GetYearTextRect(), 2}};
  for (const Case& k : cases) {
    const TPoint over = ScreenPoint(c, Centre(k.over));
    orv::headless::MouseMove(over.X, over.Y);
    Run();
    EXPECT_EQ(c->GetHotPart(), k.hot);
    // Straight from the caption to the form, without crossing the day grid.
    const TPoint outside = ScreenPoint(c, TPoint{c->GetWidth() + 20, Centre(k.over).Y});
    orv::headless::MouseMove(outside.X, outside.Y);
    Run();
    EXPECT_EQ(c->GetHotPart(), 0) << "hot part " << int(k.hot) << " after leaving";
    EXPECT_EQ(Screen->GetCursor(), before);
  }
}

namespace {

// A skin whose header cells are one plain colour, recording the borders asked for.
class TCalendarTestSkinPainter : public TcxUltraFlatLookAndFeelPainter {
  ORV_CLASS(TCalendarTestSkinPainter, TcxUltraFlatLookAndFeelPainter)
 public:
  void DrawHeaderCell(TcxCanvas* canvas, const TRect& bounds, const TRect& textRect, TcxNeighbors neighbors,
                      TcxBorders borders, TcxButtonState state, TcxAlignmentHorz alignmentHorz,
                      TcxAlignmentVert alignmentVert, Boolean multiLine, Boolean showEndEllipsis,
                      const AnsiString& text, TFont* font, TColor textColor, TColor backgroundColor,
                      TcxDrawBackgroundEvent onDrawBackground, Boolean isLast, Boolean isGroup) const override {
    canvas->FillRect(bounds, kCell);
    Borders.push_back(borders);
  }
  static constexpr TColor kCell = TColor(0x00FF00);
  mutable std::vector<TcxBorders> Borders;
};

const TCalendarTestSkinPainter& CalendarTestSkin() {
  static const TCalendarTestSkinPainter painter;
  return painter;
}

// The skin registered under a name for the test's length.
class TCalendarSkinScope {
 public:
  TCalendarSkinScope() {
    RegisterLookAndFeelPainter(&CalendarTestSkin());
    GetExtendedStylePainters()->Register("CalendarTestSkin", &CalendarTestSkin());
  }
  ~TCalendarSkinScope() { GetExtendedStylePainters()->Unregister("CalendarTestSkin"); }
};

}  // namespace

TEST_F(CalendarTest, ASkinDrawsTheHeaderAsAHeaderCell) {
  TCalendarSkinScope scope;
  TcxCustomCalendar* c = AddCalendar();
  Show();
  c->SetDisplayMonth(EncodeDate(2024, 6, 1));
  const TRect arrow = c->GetArrowRect(1);
  const COLORREF plain = Pixel(c, arrow.Left + 1, arrow.Bottom - 1);
  EXPECT_NE(plain, RGB(0, 0xFF, 0));
  c->GetLookAndFeel()->SetSkinName("CalendarTestSkin");
  CalendarTestSkin().Borders.clear();
  c->Repaint();
  Run();
  ASSERT_FALSE(CalendarTestSkin().Borders.empty());
  EXPECT_EQ(CalendarTestSkin().Borders.back(), TcxBorders{bBottom}) << "date kind: the bottom border";
  // The arrows and captions lie on the cell unfilled: its colour shows beside the triangles and
  // the text, where the plain header filled with its own colour.
  EXPECT_EQ(Pixel(c, arrow.Left + 1, arrow.Bottom - 1), RGB(0, 0xFF, 0));
  const TRect caption = c->GetMonthTextRect();
  EXPECT_EQ(Pixel(c, caption.Left + 1, (caption.Top + caption.Bottom) / 2), RGB(0, 0xFF, 0));
  c->SetKind(ckDateTime);
  CalendarTestSkin().Borders.clear();
  c->Repaint();
  Run();
  ASSERT_FALSE(CalendarTestSkin().Borders.empty());
  EXPECT_EQ(CalendarTestSkin().Borders.back(), cxBordersAll) << "date-and-time kind: every border";
  c->GetLookAndFeel()->SetSkinName("");
}
