// Controls and forms on the headless window system: bounds and alignment, lazy windows, text,
// parent colour and font, mouse and keyboard input through the application's message loop,
// focus and tab order, painting of windowed and graphic controls, dragging.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Forms.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/runtime/AnsiString.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

// A windowed control that records the class library's notices and paints itself in its colour.
class TProbe : public TCustomControl {
  ORV_CLASS(TProbe, TCustomControl)
 public:
  explicit TProbe(TComponent* owner) : TCustomControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 20, 20);
  }
  std::vector<UINT> Notices;
  std::vector<std::string> Log;
  void Dispatch(TMessage& m) override {
    if (m.Msg >= CM_BASE && m.Msg < CM_BASE + 100) Notices.push_back(m.Msg);
    inherited::Dispatch(m);
  }
  int Count(UINT msg) const { return int(std::count(Notices.begin(), Notices.end(), msg)); }
  bool WantArrows = false;

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(GetColor());
    GetCanvas()->FillRect(GetClientRect());
  }
  void KeyDown(Word& key, TShiftState shift) override {
    Log.push_back("down " + std::to_string(key));
    inherited::KeyDown(key, shift);
  }
  void KeyPress(char& key) override {
    Log.push_back(std::string("char ") + key);
    inherited::KeyPress(key);
  }
};

// A graphic control that paints a solid box.
class TBox : public TGraphicControl {
  ORV_CLASS(TBox, TGraphicControl)
 public:
  explicit TBox(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 10, 10); }

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(GetColor());
    GetCanvas()->FillRect(Rect(0, 0, GetWidth(), GetHeight()));
  }
};

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::test::ResetHeadlessDesktop();
    orv::SetMessageBoxHandler([this](HWND, const AnsiString& text, const AnsiString&, UINT) {
      Boxes.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    Form.reset();
    orv::SetMessageBoxHandler(nullptr);
    orv::headless::SetIdleHandler(nullptr);
    Application->SetOnException(nullptr);
    orv::headless::Reset();
  }
  // A borderless form at (100, 100), 200 x 150 client pixels, shown.
  TForm* MakeForm(bool show = true) {
    Form = orv::test::MakeHeadlessForm({100, 100, 200, 150});
    if (show) Form->Show();
    Application->ProcessMessages();
    return Form.get();
  }
  template <class T>
  T* Add(Integer x, Integer y, Integer w, Integer h, TWinControl* parent = nullptr) {
    T* c = new T(Form.get());
    c->SetParent(parent ? parent : Form.get());
    c->SetBounds(x, y, w, h);
    return c;
  }
  void Run() { Application->ProcessMessages(); }

  Owned<TForm> Form;
  std::vector<AnsiString> Boxes;
};

TEST_F(ControlsTest, WindowsAreMadeWhenTheFormShows) {
  TForm* form = MakeForm(false);
  TProbe* probe = Add<TProbe>(10, 10, 30, 20);
  EXPECT_FALSE(probe->HandleAllocated());
  probe->SetCaption("Hello");
  EXPECT_EQ(probe->GetCaption(), "Hello");
  form->Show();
  Run();
  ASSERT_TRUE(probe->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(probe->GetHandle()));
  char text[16] = {};
  GetWindowText(probe->GetHandle(), text, sizeof text);
  EXPECT_STREQ(text, "Hello");
  // The text keeps through a new window, and a change is announced.
  probe->RecreateWnd();
  EXPECT_EQ(probe->GetCaption(), "Hello");
  const int before = probe->Count(CM_TEXTCHANGED);
  probe->SetCaption("World");
  probe->SetCaption("World");
  EXPECT_EQ(probe->Count(CM_TEXTCHANGED), before + 1);
  // Hiding hides the window; a hidden child of a showing form has a window it does not show.
  probe->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(probe->GetHandle()));
  // A control without a parent has no window to make.
  Owned<TProbe> orphan(new TProbe(nullptr));
  EXPECT_THROW(orphan->GetHandle(), EInvalidOperation);
}

TEST_F(ControlsTest, AlignmentFillsTheClientAreaInOrder) {
  TForm* form = MakeForm();
  TProbe* top = Add<TProbe>(0, 0, 50, 20);
  TProbe* bottom = Add<TProbe>(0, 0, 50, 30);
  TProbe* left = Add<TProbe>(0, 0, 40, 10);
  TProbe* client = Add<TProbe>(0, 0, 10, 10);
  top->SetAlign(alTop);
  bottom->SetAlign(alBottom);
  left->SetAlign(alLeft);
  client->SetAlign(alClient);
  EXPECT_EQ(top->GetBoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(bottom->GetBoundsRect(), Rect(0, 120, 200, 150));
  EXPECT_EQ(left->GetBoundsRect(), Rect(0, 20, 40, 120));
  EXPECT_EQ(client->GetBoundsRect(), Rect(40, 20, 200, 120));
  // A border width insets every aligned child; resizing the form re-aligns.
  form->SetBorderWidth(5);
  form->SetBounds(100, 100, 300, 200);
  EXPECT_EQ(top->GetBoundsRect(), Rect(5, 5, 295, 25));
  EXPECT_EQ(client->GetBoundsRect(), Rect(45, 25, 295, 165));
  // A hidden control gives its place up.
  top->SetVisible(false);
  EXPECT_EQ(left->GetBoundsRect(), Rect(5, 5, 45, 165));
}

TEST_F(ControlsTest, AnchorsFollowTheParentsSize) {
  TForm* form = MakeForm();
  TProbe* right = Add<TProbe>(150, 10, 40, 20);
  right->SetAnchors({akTop, akRight});
  TProbe* stretch = Add<TProbe>(10, 40, 180, 20);
  stretch->SetAnchors({akLeft, akTop, akRight});
  TProbe* bottomRight = Add<TProbe>(150, 120, 40, 20);
  bottomRight->SetAnchors({akRight, akBottom});
  form->SetBounds(100, 100, 300, 200);
  EXPECT_EQ(right->GetBoundsRect(), Rect(250, 10, 290, 30));
  EXPECT_EQ(stretch->GetBoundsRect(), Rect(10, 40, 290, 60));
  EXPECT_EQ(bottomRight->GetBoundsRect(), Rect(250, 170, 290, 190));
}

TEST_F(ControlsTest, ConstraintsAndCanResizeLimitTheSize) {
  MakeForm();
  TProbe* p = Add<TProbe>(0, 0, 50, 50);
  p->GetConstraints()->SetMinWidth(30);
  p->GetConstraints()->SetMaxHeight(40);
  p->SetBounds(0, 0, 10, 100);
  EXPECT_EQ(p->GetWidth(), 30);
  EXPECT_EQ(p->GetHeight(), 40);
  bool allow = false;
  auto canResize = [&](TObject*, Integer& w, Integer& h, bool& resize) { resize = allow; };
  p->SetOnCanResize(TCanResizeEvent::Callable(canResize));
  p->SetBounds(0, 0, 60, 30);
  EXPECT_EQ(p->GetWidth(), 30);
  allow = true;
  p->SetBounds(0, 0, 60, 30);
  EXPECT_EQ(p->GetWidth(), 60);
  // Scaling by 3/2 scales position and size.
  p->SetBounds(10, 20, 40, 30);
  p->ScaleBy(3, 2);
  EXPECT_EQ(p->GetBoundsRect(), Rect(15, 30, 75, 70));
}

TEST_F(ControlsTest, ParentColourAndFontFollowUntilSetOwn) {
  TForm* form = MakeForm();
  TProbe* p = Add<TProbe>(0, 0, 20, 20);
  EXPECT_EQ(p->GetColor(), clBtnFace);
  form->SetColor(clRed);
  EXPECT_EQ(p->GetColor(), clRed);
  EXPECT_TRUE(p->GetParentColor());
  p->SetColor(clBlue);
  EXPECT_FALSE(p->GetParentColor());
  form->SetColor(clLime);
  EXPECT_EQ(p->GetColor(), clBlue);
  p->SetParentColor(true);
  EXPECT_EQ(p->GetColor(), clLime);
  const int fontNotices = p->Count(CM_FONTCHANGED);
  form->GetFont()->SetName("Arial");
  EXPECT_EQ(p->GetFont()->GetName(), "Arial");
  EXPECT_GT(p->Count(CM_FONTCHANGED), fontNotices);
  p->GetFont()->SetSize(12);
  EXPECT_FALSE(p->GetParentFont());
  form->GetFont()->SetName("Tahoma");
  EXPECT_EQ(p->GetFont()->GetName(), "Arial");
}

TEST_F(ControlsTest, PaintingDrawsWindowedAndGraphicChildren) {
  TForm* form = MakeForm();
  form->SetColor(clWhite);
  TProbe* p = Add<TProbe>(10, 10, 30, 20);
  p->SetColor(clRed);
  TBox* box = Add<TBox>(60, 10, 10, 10);
  box->SetColor(clBlue);
  Run();
  orv::TSurface pixels = orv::headless::CaptureClient(form->GetHandle());
  EXPECT_EQ(orv::PixelToColor(pixels.Pixel(15, 15)), 0x0000FFu);
  EXPECT_EQ(orv::PixelToColor(pixels.Pixel(65, 15)), 0xFF0000u);
  EXPECT_EQ(orv::PixelToColor(pixels.Pixel(100, 100)), 0xFFFFFFu);
  box->SetVisible(false);
  Run();
  pixels = orv::headless::CaptureClient(form->GetHandle());
  EXPECT_EQ(orv::PixelToColor(pixels.Pixel(65, 15)), 0xFFFFFFu);
  // Double buffering paints the same picture through a bitmap.
  form->SetDoubleBuffered(true);
  box->SetVisible(true);
  p->SetColor(clLime);
  form->Invalidate();
  Run();
  pixels = orv::headless::CaptureClient(form->GetHandle());
  EXPECT_EQ(orv::PixelToColor(pixels.Pixel(15, 15)), 0x00FF00u);
  EXPECT_EQ(orv::PixelToColor(pixels.Pixel(65, 15)), 0xFF0000u);
  EXPECT_EQ(orv::PixelToColor(pixels.Pixel(100, 100)), 0xFFFFFFu);
  // PaintTo draws the control and its children into any DC.
  Owned<TBitmap> copy(new TBitmap);
  copy->SetSize(200, 150);
  form->PaintTo(copy->GetCanvas()->GetHandle(), 0, 0);
  EXPECT_EQ(copy->GetCanvas()->GetPixels(15, 15), clLime);
  EXPECT_EQ(copy->GetCanvas()->GetPixels(65, 15), clBlue);
}

TEST_F(ControlsTest, MouseEventsReachWindowedAndGraphicControls) {
  MakeForm();
  TProbe* p = Add<TProbe>(10, 10, 30, 20);
  TBox* box = Add<TBox>(60, 10, 10, 10);
  Run();
  std::vector<std::string> log;
  auto down = [&](TObject* s, TMouseButton b, TShiftState, Integer x, Integer y) {
    log.push_back((s == p ? "p down " : "box down ") + std::to_string(x) + "," + std::to_string(y));
  };
  auto click = [&](TObject* s) { log.push_back(s == p ? "p click" : "box click"); };
  auto dbl = [&](TObject* s) { log.push_back("dbl"); };
  auto wheel = [&](TObject*, TShiftState, Integer delta, TPoint, bool& handled) {
    log.push_back("wheel " + std::to_string(delta));
    handled = true;
  };
  p->SetOnMouseDown(TMouseEvent::Callable(down));
  p->SetOnClick(TNotifyEvent::Callable(click));
  p->SetOnDblClick(TNotifyEvent::Callable(dbl));
  p->SetOnMouseWheel(TMouseWheelEvent::Callable(wheel));
  box->SetOnMouseDown(TMouseEvent::Callable(down));
  box->SetOnClick(TNotifyEvent::Callable(click));
  orv::headless::Click(115, 115);
  Run();
  orv::headless::Click(165, 112);
  Run();
  // The wheel turns for the focused control.
  p->SetFocus();
  orv::headless::MouseMove(115, 115);
  orv::headless::Wheel(-120);
  Run();
  const std::vector<std::string> expected = {"p down 5,5", "p click", "box down 5,2", "box click", "wheel -120"};
  EXPECT_EQ(log, expected);
  log.clear();
  orv::headless::DoubleClick(115, 115);
  Run();
  EXPECT_NE(std::find(log.begin(), log.end(), "dbl"), log.end());
  // A press outside the client rectangle and a release inside it is no click.
  log.clear();
  orv::headless::MouseMove(150, 150);
  orv::headless::MouseDown();
  orv::headless::MouseMove(115, 115);
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(std::count(log.begin(), log.end(), "p click"), 0);
}

TEST_F(ControlsTest, MouseEnterAndLeaveFollowThePointer) {
  MakeForm();
  TProbe* a = Add<TProbe>(10, 10, 30, 20);
  TProbe* b = Add<TProbe>(60, 10, 30, 20);
  Run();
  std::vector<std::string> log;
  auto enter = [&](TObject* s) { log.push_back(s == a ? "enter a" : "enter b"); };
  auto leave = [&](TObject* s) { log.push_back(s == a ? "leave a" : "leave b"); };
  for (TProbe* p : {a, b}) {
    p->SetOnMouseEnter(TNotifyEvent::Callable(enter));
    p->SetOnMouseLeave(TNotifyEvent::Callable(leave));
  }
  orv::headless::MouseMove(115, 115);
  Run();
  orv::headless::MouseMove(165, 115);
  Run();
  const std::vector<std::string> expected = {"enter a", "leave a", "enter b"};
  EXPECT_EQ(log, expected);
}

TEST_F(ControlsTest, TabOrderAndDialogKeysMoveTheFocus) {
  TForm* form = MakeForm(false);
  TProbe* first = Add<TProbe>(10, 10, 20, 20);
  TProbe* second = Add<TProbe>(40, 10, 20, 20);
  TProbe* third = Add<TProbe>(70, 10, 20, 20);
  TProbe* noStop = Add<TProbe>(100, 10, 20, 20);
  noStop->SetTabStop(false);
  third->SetTabOrder(0);  // third, first, second
  std::vector<std::string> log;
  auto enter = [&](TObject* s) { log.push_back("enter " + static_cast<TComponent*>(s)->GetName()); };
  auto exit = [&](TObject* s) { log.push_back("exit " + static_cast<TComponent*>(s)->GetName()); };
  first->SetName("first");
  second->SetName("second");
  third->SetName("third");
  for (TProbe* p : {first, second, third}) {
    p->SetOnEnter(TNotifyEvent::Callable(enter));
    p->SetOnExit(TNotifyEvent::Callable(exit));
  }
  form->Show();
  Run();
  EXPECT_EQ(form->GetActiveControl(), third);
  EXPECT_TRUE(third->Focused());
  orv::headless::PressKey(VK_TAB);
  Run();
  EXPECT_TRUE(first->Focused());
  orv::headless::PressKey(VK_TAB, true);
  Run();
  EXPECT_TRUE(third->Focused());
  const std::vector<std::string> expected = {"enter third", "exit third", "enter first", "exit first", "enter third"};
  EXPECT_EQ(log, expected);
  // A disabled control is skipped; SetFocus goes straight to a control.
  first->SetEnabled(false);
  orv::headless::PressKey(VK_TAB);
  Run();
  EXPECT_TRUE(second->Focused());
  third->SetFocus();
  EXPECT_TRUE(third->Focused());
  EXPECT_EQ(Screen->GetActiveControl(), third);
  EXPECT_FALSE(noStop->CanFocus() && false);
}

TEST_F(ControlsTest, KeysReachTheFocusedControlAndThePreviewingForm) {
  TForm* form = MakeForm(false);
  TProbe* p = Add<TProbe>(10, 10, 20, 20);
  form->Show();
  Run();
  orv::headless::TypeText("ab");
  Run();
  const std::vector<std::string> expected = {"down 65", "char a", "down 66", "char b"};
  EXPECT_EQ(p->Log, expected);
  // With KeyPreview the form sees the key first and may swallow it.
  form->SetKeyPreview(true);
  auto swallow = [&](TObject*, Word& key, TShiftState) {
    if (key == 'C') key = 0;
  };
  form->SetOnKeyDown(TKeyEvent::Callable(swallow));
  p->Log.clear();
  orv::headless::PressKey('C');
  orv::headless::PressKey('D');
  Run();
  EXPECT_EQ(std::count(p->Log.begin(), p->Log.end(), "down 67"), 0);
  EXPECT_EQ(std::count(p->Log.begin(), p->Log.end(), "down 68"), 1);
}

TEST_F(ControlsTest, ExceptionsInHandlersReachTheApplication) {
  MakeForm();
  TProbe* p = Add<TProbe>(10, 10, 30, 20);
  Run();
  auto boom = [&](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
  p->SetOnClick(TNotifyEvent::Callable(boom));
  orv::headless::Click(115, 115);
  Run();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "'x' is not a valid integer value.");
  AnsiString seen;
  auto handler = [&](TObject*, Exception& e) { seen = e.GetMessage(); };
  Application->SetOnException(TExceptionEvent::Callable(handler));
  // Far enough apart not to make a double click (which runs OnDblClick, not OnClick).
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(115, 115);
  Run();
  EXPECT_EQ(seen, "'x' is not a valid integer value");
  EXPECT_EQ(Boxes.size(), 1u);
  // EAbort is silent.
  auto abort = [&](TObject*) { throw EAbort("quiet"); };
  p->SetOnClick(TNotifyEvent::Callable(abort));
  seen.clear();
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(115, 115);
  Run();
  EXPECT_TRUE(seen.empty());
}

TEST_F(ControlsTest, ContextMenuPopsUpAndRunsTheChosenItem) {
  MakeForm();
  TProbe* p = Add<TProbe>(10, 10, 30, 20);
  auto* menu = new TPopupMenu(Form.get());
  auto* one = new TMenuItem(Form.get());
  one->SetCaption("&One");
  auto* two = new TMenuItem(Form.get());
  two->SetCaption("&Two");
  menu->GetItems()->Add(one);
  menu->GetItems()->Add(two);
  p->SetPopupMenu(menu);
  Run();
  std::vector<std::string> log;
  auto clicked = [&](TObject* s) { log.push_back(s == one ? "one" : "two"); };
  one->SetOnClick(TNotifyEvent::Callable(clicked));
  two->SetOnClick(TNotifyEvent::Callable(clicked));
  int step = 0;
  orv::headless::SetIdleHandler([&] {
    // The menu waits for input: the accelerator of the second item.
    if (step++ > 0) return false;
    EXPECT_NE(FindWindow(kPopupMenuClassName, nullptr), nullptr);
    orv::headless::PressKey('T');
    return true;
  });
  orv::headless::Click(115, 115, 1);
  Run();
  EXPECT_EQ(log, std::vector<std::string>{"two"});
  EXPECT_EQ(menu->GetPopupComponent(), p);
  EXPECT_EQ(FindWindow(kPopupMenuClassName, nullptr), nullptr);
  // Escape closes the menu without choosing.
  step = 0;
  orv::headless::SetIdleHandler([&] {
    if (step++ > 0) return false;
    orv::headless::PressKey(VK_ESCAPE);
    return true;
  });
  log.clear();
  orv::headless::Click(115, 115, 1);
  Run();
  EXPECT_TRUE(log.empty());
}

TEST_F(ControlsTest, HintsShowAfterThePauseAndGoWithTheMouse) {
  MakeForm();
  TProbe* a = Add<TProbe>(10, 10, 30, 20);
  TProbe* b = Add<TProbe>(60, 10, 30, 20);
  a->SetHint("Поиск|Найти города по координатам"_a);
  a->SetShowHint(true);
  Run();
  orv::headless::MouseMove(115, 115);
  Run();
  EXPECT_EQ(Application->GetHint(), "Найти города по координатам"_a);
  EXPECT_EQ(Application->GetHintWindow(), nullptr);
  orv::headless::AdvanceTime(Application->GetHintPause() + 10);
  Run();
  THintWindow* hint = Application->GetHintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(IsWindowVisible(hint->GetHandle()));
  EXPECT_EQ(hint->GetCaption(), "Поиск"_a);
  // Moving to a control without a hint takes the hint away; a key press does too.
  orv::headless::MouseMove(165, 115);
  Run();
  EXPECT_FALSE(IsWindowVisible(hint->GetHandle()));
  EXPECT_TRUE(Application->GetHint().empty());
  orv::headless::MouseMove(115, 115);
  Run();
  orv::headless::AdvanceTime(Application->GetHintPause() + 10);
  EXPECT_TRUE(IsWindowVisible(hint->GetHandle()));
  orv::headless::PressKey('A');
  Run();
  EXPECT_FALSE(IsWindowVisible(hint->GetHandle()));
  EXPECT_EQ(GetShortHint("a|b"), "a");
  EXPECT_EQ(GetLongHint("plain"), "plain");
  EXPECT_TRUE(b->GetHint().empty());
}

TEST_F(ControlsTest, ADockDragTellsItsControlWhenItStartsAndEnds) {
  MakeForm();
  TProbe* client = Add<TProbe>(10, 10, 30, 20);
  TProbe* site = Add<TProbe>(100, 10, 80, 60);
  site->SetDockSite(true);
  client->SetDragKind(dkDock);
  client->SetDragMode(dmAutomatic);
  Run();
  std::vector<std::string> log;
  TDragDockObject* started = nullptr;
  TDragDockObject* supplied = nullptr;
  TDragDockObject* seen = nullptr;
  auto startDock = [&](TObject* sender, TDragDockObject*& object) {
    log.push_back(sender == client && !object ? "start" : "start?");
    if (supplied) object = supplied;
  };
  auto endDock = [&](TObject* sender, TObject* target, Integer x, Integer y) {
    log.push_back(target == site ? "end on site " + std::to_string(x) + "," + std::to_string(y)
                                 : target ? "end?" : "end");
  };
  auto endDrag = [&](TObject*, TObject*, Integer, Integer) { log.push_back("end drag"); };
  auto over = [&](TObject*, TDragDockObject* source, Integer, Integer, TDragState state, bool& accept) {
    seen = source;
    if (state == dsDragEnter) log.push_back("over");
  };
  auto drop = [&](TObject*, TDragDockObject* source, Integer, Integer) { started = source; };
  client->SetOnStartDock(TStartDockEvent::Callable(startDock));
  client->SetOnEndDock(TEndDockEvent::Callable(endDock));
  client->SetOnEndDrag(TEndDragEvent::Callable(endDrag));
  site->SetOnDockOver(TDockOverEvent::Callable(over));
  site->SetOnDockDrop(TDockDropEvent::Callable(drop));
  auto drag = [&](TPoint from, TPoint to, bool cancel) {
    orv::headless::AdvanceTime(1000);
    orv::headless::MouseMove(from.X, from.Y);
    orv::headless::MouseDown();
    Run();
    for (int i = 1; i <= 3; ++i) {
      orv::headless::MouseMove(from.X + (to.X - from.X) * i / 3, from.Y + (to.Y - from.Y) * i / 3);
      Run();
    }
    if (cancel) {
      orv::headless::PressKey(VK_ESCAPE);
      Run();
    }
    orv::headless::MouseUp();
    Run();
  };

  // Nothing starts below the drag threshold.
  drag(TPoint{115, 115}, TPoint{116, 115}, false);
  EXPECT_TRUE(log.empty());

  // Dropped on the site: the start comes before the site sees the drag, the end after the drop,
  // with the site and the drop point in its client coordinates.
  drag(TPoint{115, 115}, TPoint{230, 140}, false);
  EXPECT_EQ(log, (std::vector<std::string>{"start", "over", "end on site 30,30"}));
  EXPECT_EQ(client->GetHostDockSite(), site);
  EXPECT_NE(started, nullptr);

  // A drag object the handler supplies is the one the site sees; Escape cancels: the end has no
  // target, and the control stays where it was.
  std::unique_ptr<TDragDockObject, orv::FreeDeleter> own(new TDragDockObject(client));
  supplied = own.get();
  log.clear();
  const TPoint inSite = client->ClientToScreen(TPoint{5, 5});
  drag(inSite, TPoint{inSite.X + 200, inSite.Y + 150}, true);
  EXPECT_EQ(seen, own.get());
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "start");
  EXPECT_EQ(log.back(), "end");
  EXPECT_EQ(std::count(log.begin(), log.end(), "end drag"), 0);
  EXPECT_EQ(client->GetHostDockSite(), site);
}

TEST_F(ControlsTest, AutomaticDraggingDropsOnAnAcceptingControl) {
  MakeForm();
  TProbe* source = Add<TProbe>(10, 10, 30, 20);
  TProbe* target = Add<TProbe>(100, 10, 30, 20);
  source->SetDragMode(dmAutomatic);
  Run();
  std::vector<std::string> log;
  auto over = [&](TObject*, TObject* src, Integer, Integer, TDragState state, bool& accept) {
    accept = src == source;
    if (state == dsDragEnter) log.push_back("enter");
  };
  auto drop = [&](TObject*, TObject* src, Integer x, Integer y) {
    log.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
  };
  auto endDrag = [&](TObject*, TObject* t, Integer, Integer) { log.push_back(t == target ? "end on target" : "end"); };
  target->SetOnDragOver(TDragOverEvent::Callable(over));
  target->SetOnDragDrop(TDragDropEvent::Callable(drop));
  source->SetOnEndDrag(TEndDragEvent::Callable(endDrag));
  orv::headless::MouseMove(115, 115);
  orv::headless::MouseDown();
  Run();
  orv::headless::MouseMove(150, 115);
  Run();
  orv::headless::MouseMove(210, 115);
  Run();
  EXPECT_TRUE(source->Dragging());
  orv::headless::MouseUp();
  Run();
  const std::vector<std::string> expected = {"enter", "drop 10,5", "end on target"};
  EXPECT_EQ(log, expected);
  EXPECT_FALSE(source->Dragging());

  // A drag object of the source's own reaches the target as the source; Escape cancels.
  std::unique_ptr<TDragControlObject, orv::FreeDeleter> own(new TDragControlObject(source));
  auto start = [&](TObject*, TDragObject*& object) { object = own.get(); };
  source->SetOnStartDrag(TStartDragEvent::Callable(start));
  TObject* seen = nullptr;
  auto overOwn = [&](TObject*, TObject* src, Integer, Integer, TDragState, bool& accept) {
    seen = src;
    accept = true;
  };
  target->SetOnDragOver(TDragOverEvent::Callable(overOwn));
  log.clear();
  orv::headless::AdvanceTime(1000);
  orv::headless::MouseMove(115, 115);
  orv::headless::MouseDown();
  Run();
  orv::headless::MouseMove(210, 115);
  Run();
  EXPECT_EQ(seen, own.get());
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(log, std::vector<std::string>{"end"});
  orv::headless::MouseUp();
  Run();
}

// A probe whose drags carry a 12 x 8 image with its hot spot at (2, 3).
class TImageProbe : public TProbe {
  ORV_CLASS(TImageProbe, TProbe)
 public:
  explicit TImageProbe(TComponent* owner) : TProbe(owner), Images(new TDragImageList(nullptr, 12, 8)) {
    std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
    bitmap->SetSize(12, 8);
    bitmap->GetCanvas()->GetBrush()->SetColor(clRed);
    bitmap->GetCanvas()->FillRect(TRect{0, 0, 12, 8});
    Images->Add(bitmap.get(), nullptr);
    Images->SetDragImage(0, 2, 3);
  }
  ~TImageProbe() override { Images->Free(); }
  TDragImageList* GetDragImages() override { return Images; }
  TDragImageList* Images;
};

TEST_F(ControlsTest, TheDragImageFollowsTheMouseOverTargetsThatDisplayIt) {
  MakeForm();
  auto* source = Add<TImageProbe>(10, 10, 30, 20);
  TProbe* shows = Add<TProbe>(100, 10, 30, 20);
  TProbe* plain = Add<TProbe>(100, 60, 30, 20);
  TControlStyle style = shows->GetControlStyle();
  style.Include(csDisplayDragImage);
  shows->SetControlStyle(style);
  source->SetDragMode(dmAutomatic);
  Run();
  orv::headless::MouseMove(115, 115);
  orv::headless::MouseDown();
  Run();
  orv::headless::MouseMove(150, 115);
  Run();
  ASSERT_TRUE(source->Dragging());
  HWND image = source->Images->GetDragImageWindow();
  ASSERT_NE(image, nullptr);
  EXPECT_FALSE(IsWindowVisible(image)) << "the source does not display drag images";
  // Over a target that displays them: shown with the hot spot at the mouse, red pixels.
  const TPoint over = shows->ClientToScreen(TPoint{10, 10});
  orv::headless::MouseMove(over.X, over.Y);
  Run();
  EXPECT_TRUE(IsWindowVisible(image));
  RECT r;
  GetWindowRect(image, &r);
  EXPECT_EQ(r, (TRect{over.X - 2, over.Y - 3, over.X + 10, over.Y + 5}));
  const orv::TSurface pixels = orv::headless::CaptureWindow(image);
  EXPECT_EQ(pixels.Pixel(5, 5) & 0xFFFFFFu, orv::MakePixel(255, 0, 0) & 0xFFFFFFu) << "the list's image, red";
  // The image never takes the mouse: the target under it still gets the drag.
  EXPECT_EQ(FindDragTarget(over, false), shows);
  // Over a control that does not display them: hidden; back: shown again.
  const TPoint away = plain->ClientToScreen(TPoint{10, 10});
  orv::headless::MouseMove(away.X, away.Y);
  Run();
  EXPECT_FALSE(IsWindowVisible(image));
  orv::headless::MouseMove(over.X + 4, over.Y);
  Run();
  EXPECT_TRUE(IsWindowVisible(image));
  // Escape cancels the drag and takes the image away.
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_FALSE(source->Dragging());
  EXPECT_FALSE(IsWindow(image));
  EXPECT_FALSE(source->Images->GetDragging());
  orv::headless::MouseUp();
  Run();
}

// A windowed control that tells a shared log when its handling of a click ends and when it is
// destroyed; the click's end writes the control's own fields after the handler ran, as a control
// whose handler made its owner rebuild it does.
class TSelfFreeing : public TCustomControl {
  ORV_CLASS(TSelfFreeing, TCustomControl)
 public:
  TSelfFreeing(TComponent* owner, std::vector<std::string>* log) : TCustomControl(owner), FLog(log) {}
  ~TSelfFreeing() override { FLog->push_back("destroyed"); }
  int Clicks = 0;

 protected:
  void Click() override {
    inherited::Click();
    ++Clicks;
    FLog->push_back("click handled " + std::to_string(Clicks));
  }

 private:
  std::vector<std::string>* FLog;
};

TEST_F(ControlsTest, AControlFreedByItsOwnClickHandlerGoesWhenTheClickReturns) {
  MakeForm();
  std::vector<std::string> log;
  auto* c = new TSelfFreeing(Form.get(), &log);
  c->SetParent(Form.get());
  c->SetBounds(10, 10, 30, 20);
  Run();
  const Integer components = Form->GetComponentCount();
  const Integer controls = Form->GetControlCount();
  HWND window = c->GetHandle();
  auto freeIt = [&](TObject* sender) {
    sender->Free();
    sender->Free();  // a second Free changes nothing
    // Gone for everyone at once: off the form, out of its owner, its window destroyed.
    log.push_back("freed: components " + std::to_string(Form->GetComponentCount() - components) + ", controls " +
                  std::to_string(Form->GetControlCount() - controls) + ", window " +
                  std::to_string(IsWindow(window) ? 1 : 0) + ", destroying " +
                  std::to_string(c->GetComponentState().Contains(csDestroying) ? 1 : 0));
  };
  c->SetOnClick(TNotifyEvent::Callable(freeIt));
  orv::headless::Click(115, 115);
  Run();
  const std::vector<std::string> expected = {"freed: components -1, controls -1, window 0, destroying 1",
                                             "click handled 1", "destroyed"};
  EXPECT_EQ(log, expected);
}

TEST_F(ControlsTest, AControlFreedOutsideItsMessagesGoesAtOnce) {
  MakeForm();
  std::vector<std::string> log;
  auto* c = new TSelfFreeing(Form.get(), &log);
  c->SetParent(Form.get());
  Run();
  EXPECT_FALSE(c->IsFreeDeferred());
  c->Free();
  EXPECT_EQ(log, std::vector<std::string>{"destroyed"});
}

TEST_F(ControlsTest, AParentFreedByItsChildsClickHandlerTakesTheChildWhenTheClickReturns) {
  MakeForm();
  std::vector<std::string> log;
  auto* panel = new TProbe(Form.get());
  panel->SetParent(Form.get());
  panel->SetBounds(0, 0, 100, 100);
  auto* c = new TSelfFreeing(Form.get(), &log);
  c->SetParent(panel);
  c->SetBounds(10, 10, 30, 20);
  Run();
  auto freePanel = [&](TObject*) {
    panel->Free();
    log.push_back("panel freed");
  };
  c->SetOnClick(TNotifyEvent::Callable(freePanel));
  orv::headless::Click(115, 115);
  Run();
  const std::vector<std::string> expected = {"panel freed", "click handled 1", "destroyed"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(Form->GetControlCount(), 0);
}

}  // namespace
