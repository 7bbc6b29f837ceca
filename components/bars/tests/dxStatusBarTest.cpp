// The status bar on the headless desktop: panel layout, the size grip and its hit test, texts,
// the container panel, keyboard-state and state-indicator panels, the mouse, hints and form
// descriptions.
#include <gtest/gtest.h>

#include <vector>

#include "components/bars/dxBarDrawing.h"
#include "components/bars/tests/StatusBarFixture.h"
#include "components/foundation/tests/PaintFixture.h"
#include "platform/controls/ActnList.h"
#include "platform/forms/Filer.h"

using namespace sb_test;

namespace {

constexpr const char* kText = "TdxStatusBarTextPanelStyle";
constexpr const char* kContainer = "TdxStatusBarContainerPanelStyle";
constexpr const char* kKeyboard = "TdxStatusBarKeyboardStatePanelStyle";
constexpr const char* kIndicators = "TdxStatusBarStateIndicatorPanelStyle";

std::vector<Integer> Widths(TdxStatusBar* bar) {
  std::vector<Integer> widths;
  for (Integer i = 0; i < bar->GetViewInfo()->GetWidthCount(); ++i) widths.push_back(bar->GetViewInfo()->GetWidth(i));
  return widths;
}

class TLog : public TObject {
  ORV_CLASS(TLog, TObject)
 public:
  TLog() = default;
  void Click(TObject* sender) { Clicks.push_back(sender); }
  void DblClick(TObject* sender) { DblClicks.push_back(sender); }
  void Hint(TObject* sender) { ++Hints; }
  std::vector<TObject*> Clicks;
  std::vector<TObject*> DblClicks;
  int Hints = 0;
};

// The platform's hint action, as the application would send it.
class THintAction : public TCustomAction {
  ORV_CLASS(THintAction, TCustomAction)
 public:
  explicit THintAction(TComponent* owner) : TCustomAction(owner) {}
};

}  // namespace

TEST_F(StatusBarTest, NewBarAndPanelDefaults) {
  EXPECT_EQ(Bar->GetAlign(), alBottom);
  EXPECT_EQ(Bar->GetHeight(), 22);
  EXPECT_EQ(Bar->GetColor(), clBtnFace);
  EXPECT_FALSE(Bar->GetTabStop());
  EXPECT_EQ(Bar->GetPainterClassValue(), TdxStatusBarStandardPainter::Class());
  TdxStatusBarPanel* panel = Bar->GetPanels()->Add();
  EXPECT_EQ(panel->GetPanelStyleClassName(), "TdxStatusBarTextPanelStyle");
  EXPECT_EQ(panel->GetWidth(), 50);
  EXPECT_EQ(panel->GetMinWidth(), 20);
  EXPECT_TRUE(panel->GetFixed());
  EXPECT_EQ(panel->GetBevel(), dxpbLowered);
  // Widths below the minimum, minimums above the width, negative values.
  panel->SetWidth(10);
  EXPECT_EQ(panel->GetWidth(), 20);
  panel->SetMinWidth(80);
  EXPECT_EQ(panel->GetWidth(), 80);
  panel->SetMinWidth(-5);
  EXPECT_EQ(panel->GetMinWidth(), 0);
  Bar->SetBorderWidth(-3);
  EXPECT_EQ(Bar->GetBorderWidth(), 0);
  // An unknown style leaves the panel without one: background and bevel, default widths.
  TdxStatusBarPanel* bare = Bar->GetPanels()->Add();
  bare->SetPanelStyleClassName("TNoSuchStyle");
  EXPECT_EQ(bare->GetPanelStyle(), nullptr);
  EXPECT_EQ(bare->GetWidth(), 50);
  EXPECT_EQ(bare->GetLayoutWidth(), 50);
  EXPECT_EQ(GetStatusBarPanelStyleRegistry()->GetCount(), 4);
}

TEST_F(StatusBarTest, PanelLayoutFixedStretchingInvisibleAndTheGripAllowance) {
  TdxStatusBarPanel* p0 = AddPanel(kText, 100);
  TdxStatusBarPanel* p1 = AddPanel(kText, 50);
  Show();
  ASSERT_TRUE(Bar->IsSizeGripVisible());
  const Integer w = BarWidth();
  // All fixed: the last panel takes the rest; it carries the 2-pixel bevel allowance and the
  // grip's 16 pixels.
  EXPECT_EQ(Widths(Bar), (std::vector<Integer>{102, 2, w - 104}));
  EXPECT_EQ(p1->GetLayoutWidth(), 68);
  // A stretching panel takes the rest and the last keeps its width.
  p0->SetFixed(false);
  EXPECT_EQ(Widths(Bar), (std::vector<Integer>{w - 70, 2, 68}));
  // An invisible panel takes no room and no separator; being the last item it still keeps the
  // grip allowance from the visible one.
  p1->SetVisible(false);
  EXPECT_EQ(Widths(Bar), (std::vector<Integer>{w}));
  EXPECT_EQ(p0->GetLayoutWidth(), 102);
  p1->SetVisible(true);
  Bar->SetSizeGrip(false);
  EXPECT_EQ(p1->GetLayoutWidth(), 52);
  // The layout follows the form's size.
  Form->SetBounds(100, 100, 420, 120);
  Run();
  EXPECT_EQ(Widths(Bar), (std::vector<Integer>{BarWidth() - 54, 2, 52}));
}

TEST_F(StatusBarTest, BorderInsetsAndPanelHitTest) {
  EXPECT_EQ(Bar->GetPanelAt(5, 10), nullptr);
  TdxStatusBarPanel* p0 = AddPanel(kText, 100);
  TdxStatusBarPanel* p1 = AddPanel(kText, 50);
  Bar->SetBorderWidth(3);
  Show();
  const TRect client = Bar->GetClientBounds();
  // The standard painter: the border width on every side plus the 2-pixel top border.
  EXPECT_EQ(Bar->GetPanelsBounds(), Rect(client.Left + 3, client.Top + 5, client.Right - 3, client.Bottom - 3));
  EXPECT_EQ(Bar->GetPanelAt(3, 5), p0);
  EXPECT_EQ(Bar->GetPanelAt(2, 10), nullptr);
  EXPECT_EQ(Bar->GetPanelAt(3, 4), nullptr);
  EXPECT_EQ(Bar->GetPanelAt(3 + 101, 10), p0);
  EXPECT_EQ(Bar->GetPanelAt(3 + 102, 10), nullptr);  // the separator
  EXPECT_EQ(Bar->GetPanelAt(3 + 104, 10), p1);
  // The Office 11 painter keeps one pixel on every side, whatever the border width.
  Bar->SetPaintStyle(stpsOffice11);
  EXPECT_EQ(Bar->GetPainterClassValue(), TdxStatusBarOffice11Painter::Class());
  EXPECT_EQ(Bar->GetPanelsBounds(), Rect(client.Left + 1, client.Top + 1, client.Right - 1, client.Bottom - 1));
  EXPECT_EQ(Bar->GetPanelAt(1, 1), p0);
}

TEST_F(StatusBarTest, SizeGripOnlyAtTheCornerOfASizableRestoredForm) {
  AddPanel(kText, 100);
  Show();
  const TRect c = Bar->GetClientBounds();
  auto hitTest = [&](int x, int y) {
    const TPoint p = Bar->ClientToScreen(Point(x, y));
    return SendMessage(Bar->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
  };
  ASSERT_TRUE(Bar->IsSizeGripVisible());
  // The 18 x 18 square at the bottom-right corner sizes the form.
  EXPECT_EQ(hitTest(c.Right - 1, c.Bottom - 1), HTBOTTOMRIGHT);
  EXPECT_EQ(hitTest(c.Right - 18, c.Bottom - 18), HTBOTTOMRIGHT);
  EXPECT_NE(hitTest(c.Right - 19, c.Bottom - 1), HTBOTTOMRIGHT);
  EXPECT_NE(hitTest(c.Right - 1, c.Bottom - 19), HTBOTTOMRIGHT);

  Bar->SetSizeGrip(false);
  EXPECT_FALSE(Bar->IsSizeGripVisible());
  Bar->SetSizeGrip(true);
  // Not at the form's bottom-right corner.
  Bar->SetAlign(alNone);
  Bar->SetTop(Bar->GetTop() - 10);
  EXPECT_FALSE(Bar->IsSizeGripVisible());
  Bar->SetAlign(alBottom);
  EXPECT_TRUE(Bar->IsSizeGripVisible());
  // A maximized form or one of fixed size has none, and the hit test keeps its answer.
  Form->SetWindowState(wsMaximized);
  Run();
  EXPECT_FALSE(Bar->IsSizeGripVisible());
  Form->SetWindowState(wsNormal);
  Run();
  EXPECT_TRUE(Bar->IsSizeGripVisible());
  Form->SetBorderStyle(bsSingle);
  Run();
  EXPECT_FALSE(Bar->IsSizeGripVisible());
  const TRect c2 = Bar->GetClientBounds();
  EXPECT_EQ(hitTest(c2.Right - 1, c2.Bottom - 1), HTCLIENT);
}

TEST_F(StatusBarTest, TextAlignmentFollowsTheStyle) {
  TdxStatusBarPanel* panel = AddPanel(kText, 150, "ABC");
  AddPanel(kText, 50);
  Show();
  auto* style = static_cast<TdxStatusBarTextPanelStyle*>(panel->GetPanelStyle());
  // The lowered bevel takes one pixel, the text keeps two more from either side.
  const TRect cell = Bar->GetPanelRect(0);
  const TRect textRect{cell.Left + 3, cell.Top + 1, cell.Right - 3, cell.Bottom - 1};
  TcxCanvas* canvas = Bar->GetCanvasOrScreenCanvas();
  canvas->SetFont(Bar->GetFont());
  const Integer textWidth = canvas->TextWidth("ABC");
  const Integer room = textRect.Width() - textWidth;
  ASSERT_GT(room, 0);
  const int left = InkColumns(Capture(), textRect, 0x000000).first;
  ASSERT_GE(left, textRect.Left);
  style->SetAlignment(taRightJustify);
  Run();
  EXPECT_EQ(InkColumns(Capture(), textRect, 0x000000).first, left + room);
  style->SetAlignment(taCenter);
  Run();
  EXPECT_EQ(InkColumns(Capture(), textRect, 0x000000).first, left + room / 2);
  // Ink never leaves the text rectangle, with or without an ellipsis.
  panel->SetText("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
  style->SetAlignment(taLeftJustify);
  Run();
  const orv::TSurface clipped = Capture();
  EXPECT_EQ(CountColor(clipped, Rect(textRect.Right, textRect.Top, cell.Right, textRect.Bottom), 0x000000), 0);
  style->SetEllipsisType(dxetTruncate);
  Run();
  const orv::TSurface ellipsis = Capture();
  EXPECT_EQ(CountColor(ellipsis, Rect(textRect.Right, textRect.Top, cell.Right, textRect.Bottom), 0x000000), 0);
  EXPECT_NE(CountColor(clipped, textRect, 0x000000), CountColor(ellipsis, textRect, 0x000000));
}

TEST_F(StatusBarTest, SameTextCausesNoRepaintAndNewTextDoes) {
  TdxStatusBarPanel* panel = AddPanel(kText, 200, "Всего найдено записей: 5"_a);
  Show();
  RECT update{};
  panel->SetText("Всего найдено записей: 5"_a);
  EXPECT_FALSE(GetUpdateRect(Bar->GetHandle(), &update, FALSE));
  panel->SetText("Всего найдено записей: 6"_a);
  EXPECT_TRUE(GetUpdateRect(Bar->GetHandle(), &update, FALSE));
  EXPECT_EQ(Bar->GetPanels()->GetItem(0)->GetText(), "Всего найдено записей: 6"_a);
}

TEST_F(StatusBarTest, ContainerPanelKeepsItsControlInsideThePanelAcrossResizes) {
  AddPanel(kText, 100);
  TdxStatusBarPanel* panel = AddPanel(kContainer, 100);
  auto* style = static_cast<TdxStatusBarContainerPanelStyle*>(panel->GetPanelStyle());
  TdxStatusBarContainerControl* container = style->GetContainer();
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(container->GetParent(), Bar);
  EXPECT_EQ(container->GetOwner(), Form.get());
  EXPECT_EQ(container->GetPanelStyle(), style);
  auto* child = new TCustomControl(Form.get());
  child->SetParent(container);
  auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    // The panel's content (inside its bevel) up to where the size grip begins.
    const TRect cell = Bar->GetPanelRect(1);
    TRect expected{cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1};
    if (Bar->IsSizeGripVisible()) expected.Right -= 16;
    EXPECT_EQ(container->GetBoundsRect(), expected);
    EXPECT_EQ(child->GetBoundsRect(), Rect(0, 0, expected.Width(), expected.Height()));
  };
  Show();
  check("shown");
  Form->SetBounds(100, 100, 480, 140);
  Run();
  check("wider");
  Form->SetBounds(100, 100, 260, 100);
  Run();
  check("narrower");
  // The desktop maximizes the window to the screen (the headless one keeps its size).
  Form->SetWindowState(wsMaximized);
  Form->SetBounds(0, 0, 1024, 768);
  Run();
  EXPECT_FALSE(Bar->IsSizeGripVisible());
  check("maximized");
  // The container follows the panel's visibility; freeing it takes the panel's style.
  panel->SetVisible(false);
  EXPECT_FALSE(container->GetVisible());
  panel->SetVisible(true);
  EXPECT_TRUE(container->GetVisible());
  container->Free();
  EXPECT_EQ(panel->GetPanelStyle(), nullptr);
  EXPECT_EQ(panel->GetPanelStyleClassName(), "");
}

TEST_F(StatusBarTest, ContainerGoesWithItsStyleAndSurvivesTheBar) {
  TdxStatusBarPanel* panel = AddPanel(kContainer, 100);
  TdxStatusBarContainerControl* container =
      static_cast<TdxStatusBarContainerPanelStyle*>(panel->GetPanelStyle())->GetContainer();
  ASSERT_NE(container, nullptr);
  const Integer components = Form->GetComponentCount();
  // Changing the style frees the container with the old style.
  panel->SetPanelStyleClassName(kText);
  EXPECT_EQ(Form->GetComponentCount(), components - 1);
  panel->SetPanelStyleClassName(kContainer);
  EXPECT_EQ(Form->GetComponentCount(), components);
  // The bar goes first: its window frees the container with its other children.
  Show();
  Bar->Free();
  Bar = nullptr;
  EXPECT_EQ(Form->GetComponentCount(), components - 2);
}

TEST_F(StatusBarTest, KeyboardStatePanelFollowsKeyToggles) {
  TdxStatusBarPanel* panel = AddPanel(kKeyboard);
  auto* style = static_cast<TdxStatusBarKeyboardStatePanelStyle*>(panel->GetPanelStyle());
  AddPanel(kText, 50);
  style->SetKeyboardStates({dxksInsert});
  Show();
  TcxCanvas* canvas = Bar->GetCanvasOrScreenCanvas();
  canvas->SetFont(style->GetFont());
  const Integer cellWidth = std::max(canvas->TextWidth("OVR"), canvas->TextWidth("INS")) + 4;
  // As wide as its content, always fixed; the key cells draw their own bevels.
  EXPECT_EQ(panel->GetWidth(), cellWidth + 2);
  EXPECT_TRUE(panel->GetFixed());
  EXPECT_EQ(panel->GetLayoutWidth(), cellWidth + 2);
  const TRect cell = Bar->GetPanelRect(0);
  const TRect inside{cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2};
  const COLORREF shadow = ColorToRGB(clBtnShadow);
  orv::TSurface off = Capture();
  EXPECT_GT(CountColor(off, inside, shadow), 0);
  EXPECT_EQ(CountColor(off, inside, 0x000000), 0);
  // Insert toggled on: the status bar repaints within 100 ms with "OVR" in the active colour.
  orv::headless::PressKey(VK_INSERT);
  Run();
  ASSERT_EQ(GetKeyState(VK_INSERT) & 1, 1);
  orv::headless::AdvanceTime(100);
  Run();
  orv::TSurface on = Capture();
  EXPECT_GT(CountColor(on, inside, 0x000000), 0);
  EXPECT_EQ(CountColor(on, inside, shadow), 0);
  EXPECT_EQ(panel->GetWidth(), cellWidth + 2);
  orv::headless::PressKey(VK_INSERT);
  orv::headless::AdvanceTime(100);
  Run();
  EXPECT_EQ(CountColor(Capture(), inside, 0x000000), 0);
  // No keys: 50 pixels of background and bevel.
  style->SetKeyboardStates({});
  EXPECT_EQ(panel->GetWidth(), 50);
  // With FullRect the panel's own bevel returns and the cells lose theirs.
  style->SetFullRect(true);
  EXPECT_EQ(Bar->GetPainterClassValue()->GetPanelBevel(panel), dxpbLowered);
  style->SetFullRect(false);
  EXPECT_EQ(Bar->GetPainterClassValue()->GetPanelBevel(panel), dxpbNone);
}

TEST_F(StatusBarTest, StateIndicatorWidths) {
  TdxStatusBarPanel* panel = AddPanel(kIndicators);
  auto* style = static_cast<TdxStatusBarStateIndicatorPanelStyle*>(panel->GetPanelStyle());
  EXPECT_EQ(panel->GetWidth(), 20);
  TdxStatusBarStateIndicatorItem* green = style->GetIndicators()->Add();
  green->SetIndicatorType(sitGreen);
  TdxStatusBarStateIndicatorItem* red = style->GetIndicators()->Add();
  red->SetIndicatorType(sitRed);
  EXPECT_EQ(green->GetIndicatorBitmap()->GetWidth(), 17);
  EXPECT_EQ(green->GetIndicatorBitmap()->GetHeight(), 8);
  EXPECT_EQ(panel->GetWidth(), 4 + 2 * (17 + 4));
  style->SetSpacing(6);
  EXPECT_EQ(panel->GetWidth(), 6 + 2 * (17 + 6));
  green->SetVisible(false);
  red->SetVisible(false);
  EXPECT_EQ(panel->GetWidth(), 6);
}

TEST_F(StatusBarTest, ClicksReachThePanelUnderTheMouse) {
  TLog log;
  TdxStatusBarPanel* p0 = AddPanel(kText, 100);
  TdxStatusBarPanel* p1 = AddPanel(kText, 50);
  p0->SetOnClick(TNotifyEvent(&log, &TLog::Click));
  p1->SetOnClick(TNotifyEvent(&log, &TLog::Click));
  p0->SetOnDblClick(TNotifyEvent(&log, &TLog::DblClick));
  Show();
  const TPoint inP0 = Bar->ClientToScreen(Point(40, 10));
  const TPoint onSeparator = Bar->ClientToScreen(Point(Bar->GetPanelRect(0).Right, 10));
  const TPoint inP1 = Bar->ClientToScreen(Point(Bar->GetPanelRect(1).Left + 5, 10));
  orv::headless::Click(inP0.X, inP0.Y);
  Run();
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(onSeparator.X, onSeparator.Y);
  Run();
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(inP1.X, inP1.Y);
  Run();
  EXPECT_EQ(log.Clicks, (std::vector<TObject*>{p0, p1}));
  orv::headless::AdvanceTime(1000);
  orv::headless::DoubleClick(inP0.X, inP0.Y);
  Run();
  EXPECT_EQ(log.DblClicks, (std::vector<TObject*>{p0}));
}

TEST_F(StatusBarTest, AutoHintPanelTakesHintActions) {
  TdxStatusBarPanel* p0 = AddPanel(kText);
  TdxStatusBarPanel* p1 = AddPanel(kText);
  auto* s0 = static_cast<TdxStatusBarTextPanelStyle*>(p0->GetPanelStyle());
  auto* s1 = static_cast<TdxStatusBarTextPanelStyle*>(p1->GetPanelStyle());
  s0->SetAutoHint(true);
  s1->SetAutoHint(true);
  EXPECT_FALSE(s0->GetAutoHint());
  EXPECT_TRUE(s1->GetAutoHint());
  Owned<THintAction> action(new THintAction(nullptr));
  action->SetHint("Подсказка"_a);
  EXPECT_TRUE(Bar->ExecuteAction(action.get()));
  EXPECT_EQ(p1->GetText(), "Подсказка"_a);
  // OnHint handles it instead.
  TLog log;
  Bar->SetOnHint(TNotifyEvent(&log, &TLog::Hint));
  action->SetHint("Другая"_a);
  EXPECT_FALSE(Bar->ExecuteAction(action.get()));
  EXPECT_EQ(log.Hints, 1);
  EXPECT_EQ(p1->GetText(), "Подсказка"_a);
}

TEST_F(StatusBarTest, PanelsAndStylesInAFormDescription) {
  Bar->SetName("Bar1");
  Bar->SetPaintStyle(stpsOffice11);
  Bar->SetBorderWidth(2);
  TdxStatusBarPanel* p0 = AddPanel(kText, 120, "Всего найдено"_a);
  auto* text = static_cast<TdxStatusBarTextPanelStyle*>(p0->GetPanelStyle());
  text->SetAlignment(taCenter);
  text->SetEllipsisType(dxetTruncate);
  p0->SetBevel(dxpbRaised);
  p0->SetFixed(false);
  TdxStatusBarPanel* p1 = AddPanel(kKeyboard);
  auto* keys = static_cast<TdxStatusBarKeyboardStatePanelStyle*>(p1->GetPanelStyle());
  keys->SetKeyboardStates({dxksCapsLock, dxksInsert});
  keys->SetFullRect(true);
  keys->GetInsertKeyAppearance()->SetActiveCaption("ЗАМ"_a);
  TdxStatusBarPanel* p2 = AddPanel(kIndicators);
  auto* lamps = static_cast<TdxStatusBarStateIndicatorPanelStyle*>(p2->GetPanelStyle());
  lamps->SetSpacing(6);
  lamps->GetIndicators()->Add()->SetIndicatorType(sitGreen);
  TdxStatusBarStateIndicatorItem* red = lamps->GetIndicators()->Add();
  red->SetIndicatorType(sitRed);
  red->SetVisible(false);
  const AnsiString written = orv::WriteComponentToText(Bar);

  Owned<TForm> other(new TForm(nullptr));
  auto* bar = new TdxStatusBar(other.get());
  orv::ReadComponentFromText(bar, written);
  EXPECT_EQ(bar->GetPaintStyle(), stpsOffice11);
  EXPECT_EQ(bar->GetBorderWidth(), 2);
  ASSERT_EQ(bar->GetPanels()->GetCount(), 3);
  TdxStatusBarPanel* q0 = bar->GetPanels()->GetItem(0);
  auto* text2 = dynamic_cast<TdxStatusBarTextPanelStyle*>(q0->GetPanelStyle());
  ASSERT_NE(text2, nullptr);
  EXPECT_EQ(q0->GetText(), "Всего найдено"_a);
  EXPECT_EQ(q0->GetWidth(), 120);
  EXPECT_EQ(q0->GetBevel(), dxpbRaised);
  EXPECT_FALSE(q0->GetFixed());
  EXPECT_EQ(text2->GetAlignment(), taCenter);
  EXPECT_EQ(text2->GetEllipsisType(), dxetTruncate);
  auto* keys2 = dynamic_cast<TdxStatusBarKeyboardStatePanelStyle*>(bar->GetPanels()->GetItem(1)->GetPanelStyle());
  ASSERT_NE(keys2, nullptr);
  EXPECT_EQ(keys2->GetKeyboardStates(), (TdxStatusBarKeyboardStates{dxksCapsLock, dxksInsert}));
  EXPECT_TRUE(keys2->GetFullRect());
  EXPECT_EQ(keys2->GetInsertKeyAppearance()->GetActiveCaption(), "ЗАМ"_a);
  EXPECT_EQ(keys2->GetInsertKeyAppearance()->GetInactiveCaption(), "INS");
  auto* lamps2 = dynamic_cast<TdxStatusBarStateIndicatorPanelStyle*>(bar->GetPanels()->GetItem(2)->GetPanelStyle());
  ASSERT_NE(lamps2, nullptr);
  EXPECT_EQ(lamps2->GetSpacing(), 6);
  ASSERT_EQ(lamps2->GetIndicators()->GetCount(), 2);
  EXPECT_EQ(lamps2->GetIndicators()->GetItem(0)->GetIndicatorType(), sitGreen);
  EXPECT_EQ(lamps2->GetIndicators()->GetItem(1)->GetIndicatorType(), sitRed);
  EXPECT_FALSE(lamps2->GetIndicators()->GetItem(1)->GetVisible());
  // Written again, the description is the same.
  EXPECT_EQ(orv::WriteComponentToText(bar), written);
}

TEST_F(StatusBarTest, PanelAssignCopiesStyleAndValues) {
  TdxStatusBarPanel* source = AddPanel(kKeyboard);
  static_cast<TdxStatusBarKeyboardStatePanelStyle*>(source->GetPanelStyle())->SetKeyboardStates({dxksNumLock});
  source->SetBevel(dxpbNone);
  TdxStatusBarPanel* target = AddPanel(kText, 80, "x");
  target->Assign(source);
  auto* keys = dynamic_cast<TdxStatusBarKeyboardStatePanelStyle*>(target->GetPanelStyle());
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys->GetKeyboardStates(), TdxStatusBarKeyboardStates{dxksNumLock});
  EXPECT_EQ(target->GetBevel(), dxpbNone);
  EXPECT_EQ(target->GetText(), "");
}

TEST(BarDrawing, TransparentSizeGripLeavesTheBackground) {
  paint_test::TPaintDC dc(20, 20, 0x0000FF);
  DrawTransparentSizeGrip(dc.Dc, Rect(2, 2, 18, 18));
  int red = 0, other = 0, face = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const COLORREF c = dc.At(x, y);
      if (c == 0x0000FF) ++red;
      else if (c == ColorToRGB(clBtnFace)) ++face;
      else ++other;
    }
  EXPECT_GT(other, 10);
  EXPECT_GT(red, 200);
  EXPECT_EQ(face, 0);
}

TEST_F(StatusBarTest, AnInheritedContainerRefusesToLoseItsStyle) {
  TdxStatusBarPanel* panel = AddPanel(kContainer);
  auto* style = static_cast<TdxStatusBarContainerPanelStyle*>(panel->GetPanelStyle());
  IncludeComponentState(style->GetContainer(), TComponentState{csAncestor});
  EXPECT_FALSE(style->IsDeletable());
  EXPECT_THROW(panel->SetPanelStyleClassName(kText), EdxException);
  EXPECT_EQ(panel->GetPanelStyle(), style);
  EXPECT_EQ(panel->GetPanelStyleClassName(), kContainer);
}

TEST_F(StatusBarTest, StylesFollowTheBarsFontUntilTheyHaveTheirOwn) {
  TdxStatusBarPanel* p0 = AddPanel(kText);
  TdxStatusBarPanel* p1 = AddPanel(kText);
  auto* own = static_cast<TdxStatusBarTextPanelStyle*>(p1->GetPanelStyle());
  EXPECT_EQ(p0->GetPanelStyle()->GetFont()->GetHeight(), -10);
  own->GetFont()->SetHeight(-14);
  EXPECT_FALSE(own->GetParentFont());
  Bar->GetFont()->SetHeight(-12);
  EXPECT_EQ(p0->GetPanelStyle()->GetFont()->GetHeight(), -12);
  EXPECT_TRUE(p0->GetPanelStyle()->GetParentFont());
  EXPECT_EQ(own->GetFont()->GetHeight(), -14);
  own->SetParentFont(true);
  EXPECT_EQ(own->GetFont()->GetHeight(), -12);
  // An unassigned colour reads the bar's.
  Bar->SetColor(clAqua);
  EXPECT_EQ(own->GetColor(), clAqua);
  EXPECT_FALSE(own->IsColorStored());
}

TEST_F(StatusBarTest, TextPanelImageFromTheBarsImages) {
  auto* images = new TCustomImageList(Form.get(), 8, 8);
  Owned<TBitmap> picture(new TBitmap);
  picture->SetSize(8, 8);
  picture->GetCanvas()->GetBrush()->SetColor(clRed);
  picture->GetCanvas()->FillRect(Rect(0, 0, 8, 8));
  images->AddMasked(picture.get(), clNone);
  TdxStatusBarPanel* panel = AddPanel(kText, 100, "A");
  auto* style = static_cast<TdxStatusBarTextPanelStyle*>(panel->GetPanelStyle());
  AddPanel(kText);
  Bar->SetImages(images);
  style->SetImageIndex(0);
  Show();
  const TRect cell = Bar->GetPanelRect(0);
  const TRect inner{cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1};
  const int middle = (inner.Top + inner.Bottom) / 2;
  orv::TSurface s = Capture();
  // The image one pixel from the left, centred; the text starts after it.
  EXPECT_EQ(At(s, inner.Left + 1, middle), ColorToRGB(clRed));
  EXPECT_EQ(At(s, inner.Left, middle), ColorToRGB(clBtnFace));
  EXPECT_GE(InkColumns(s, inner, 0x000000).first, inner.Left + 1 + 8 + 1 + 2);
  // An index outside the list draws no image.
  style->SetImageIndex(3);
  Run();
  EXPECT_EQ(CountColor(Capture(), inner, ColorToRGB(clRed)), 0);
  // The list going away leaves the bar without images.
  images->Free();
  EXPECT_EQ(Bar->GetImages(), nullptr);
}

TEST_F(StatusBarTest, FormDescriptionBindsTheStreamedContainer) {
  Owned<TForm> form(new TForm(nullptr));
  orv::ReadComponentFromText(form.get(),
                             "object Form2: TForm\n"
                             "  object Bar: TdxStatusBar\n"
                             "    Panels = <\n"
                             "      item\n"
                             "        PanelStyleClassName = 'TdxStatusBarTextPanelStyle'\n"
                             "        Width = 120\n"
                             "      end\n"
                             "      item\n"
                             "        PanelStyleClassName = 'TdxStatusBarContainerPanelStyle'\n"
                             "        PanelStyle.Container = Cont1\n"
                             "      end>\n"
                             "    PaintStyle = stpsOffice11\n"
                             "    object Cont1: TdxStatusBarContainerControl\n"
                             "    end\n"
                             "  end\n"
                             "end\n");
  auto* bar = dynamic_cast<TdxStatusBar*>(form->FindComponent("Bar"));
  auto* container = dynamic_cast<TdxStatusBarContainerControl*>(form->FindComponent("Cont1"));
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(bar->GetPaintStyle(), stpsOffice11);
  ASSERT_EQ(bar->GetPanels()->GetCount(), 2);
  auto* style = dynamic_cast<TdxStatusBarContainerPanelStyle*>(bar->GetPanels()->GetItem(1)->GetPanelStyle());
  ASSERT_NE(style, nullptr);
  // Loading made no container of its own: the streamed one is bound in both directions.
  EXPECT_EQ(style->GetContainer(), container);
  EXPECT_EQ(container->GetPanelStyle(), style);
  EXPECT_EQ(container->GetParent(), bar);
  Integer containers = 0;
  for (Integer i = 0; i < form->GetComponentCount(); ++i)
    if (dynamic_cast<TdxStatusBarContainerControl*>(form->GetComponent(i))) ++containers;
  EXPECT_EQ(containers, 1);
  const AnsiString written = orv::WriteComponentToText(form.get());
  EXPECT_NE(written.find("PanelStyle.Container = Cont1"), AnsiString::npos) << written;
  EXPECT_NE(written.find("object Cont1: TdxStatusBarContainerControl"), AnsiString::npos) << written;
}
