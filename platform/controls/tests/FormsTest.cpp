// Forms (creation, showing, modal loops, closing), the application object (CreateForm, Run,
// exceptions), data modules, actions and their shortcuts, timers and the image control.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/AppEvnts.h"
#include "platform/runtime/AnsiString.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

std::vector<std::string>* gLog = nullptr;

// A form that logs its life.
class TLogForm : public TForm {
  ORV_CLASS(TLogForm, TForm)
 public:
  explicit TLogForm(TComponent* owner) : TForm(owner) {
    SetOnCreate(TNotifyEvent(this, &TLogForm::Created));
    SetOnShow(TNotifyEvent(this, &TLogForm::Shown));
    SetOnHide(TNotifyEvent(this, &TLogForm::Hidden));
    SetOnDestroy(TNotifyEvent(this, &TLogForm::Destroyed));
    SetOnClose(TCloseEvent(this, &TLogForm::Closing));
    SetOnCloseQuery(TCloseQueryEvent(this, &TLogForm::Query));
    SetBounds(0, 0, 120, 80);
    SetVisible(true);  // deferred until the form is built
  }
  TCloseAction Action = caHide;
  bool MayClose = true;
  std::string Last;

 private:
  static void Note(const char* what) {
    if (gLog) gLog->push_back(what);
  }
  void Created(TObject*) { Note("create"); }
  void Shown(TObject*) { Note("show"); }
  void Hidden(TObject*) { Note("hide"); }
  void Destroyed(TObject*) { Note("destroy"); }
  void Closing(TObject*, TCloseAction& action) {
    if (gLog) gLog->push_back("close");
    action = Action;
  }
  void Query(TObject*, bool& canClose) { canClose = MayClose; }
};

class TLogModule : public TDataModule {
  ORV_CLASS(TLogModule, TDataModule)
 public:
  explicit TLogModule(TComponent* owner) : TDataModule(owner) {
    SetOnCreate(TNotifyEvent(this, &TLogModule::Created));
    SetOnDestroy(TNotifyEvent(this, &TLogModule::Destroyed));
  }

 private:
  void Created(TObject*) {
    if (gLog) gLog->push_back("module create");
  }
  void Destroyed(TObject*) {
    if (gLog) gLog->push_back("module destroy");
  }
};

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::test::ResetHeadlessDesktop();
    gLog = &Log;
  }
  void TearDown() override {
    gLog = nullptr;
    orv::headless::SetIdleHandler(nullptr);
    orv::headless::Reset();
  }
  std::vector<std::string> Log;
};

TEST_F(FormsTest, CreationShowingAndClosingRunTheEventsInOrder) {
  Owned<TLogForm> form(new TLogForm(nullptr));
  EXPECT_FALSE(form->HandleAllocated());  // Visible waits for the end of the creation
  form->AfterConstruction();
  Application->ProcessMessages();
  EXPECT_TRUE(IsWindowVisible(form->GetHandle()));
  form->Close();  // caHide
  EXPECT_FALSE(form->GetVisible());
  form->MayClose = false;
  form->Show();
  form->Close();
  EXPECT_TRUE(form->GetVisible());
  form->MayClose = true;
  form->Action = caNone;
  form->Close();
  EXPECT_TRUE(form->GetVisible());
  form.reset();
  // Freeing a visible form hides it first.
  const std::vector<std::string> expected = {"create", "show", "close", "hide", "show",
                                             "close", "hide", "destroy"};
  EXPECT_EQ(Log, expected);
}

TEST_F(FormsTest, AFreshDesktopLeavesTheProgramActiveAfterADeactivation) {
  Application->GetHandle();
  orv::headless::SetAppActive(false);
  Application->ProcessMessages();
  ASSERT_FALSE(Application->GetActive());
  orv::headless::Reset();
  EXPECT_TRUE(Application->GetActive()) << "the program heard the fresh desktop's activation";
}

TEST_F(FormsTest, CloseWithFreeReleasesTheForm) {
  auto* form = new TLogForm(nullptr);
  form->AfterConstruction();
  form->Action = caFree;
  form->Close();
  Application->ProcessMessages();  // the release message frees it
  EXPECT_EQ(Log.back(), "destroy");
  EXPECT_EQ(Screen->GetCustomFormCount(), 0);
}

TEST_F(FormsTest, ScreenCentredPositionAndMinimumSize) {
  Owned<TForm> form(new TForm(nullptr));
  form->SetBounds(0, 0, 200, 100);
  form->SetPosition(poScreenCenter);
  form->GetConstraints()->SetMinWidth(150);
  form->AfterConstruction();
  form->Show();
  EXPECT_EQ(form->GetLeft(), (Screen->GetWidth() - 200) / 2);
  EXPECT_EQ(form->GetTop(), (Screen->GetHeight() - 100) / 2);
  EXPECT_EQ(form->GetPosition(), poDesigned);
  form->SetWidth(100);
  EXPECT_EQ(form->GetWidth(), 150);
  // The client size of a captioned form leaves room for the frame.
  form->SetBorderStyle(bsSingle);
  form->SetClientWidth(300);
  form->SetClientHeight(200);
  EXPECT_EQ(form->GetClientRect(), Rect(0, 0, 300, 200));
  EXPECT_GT(form->GetHeight(), 200);
}

TEST_F(FormsTest, ShowModalRunsUntilTheResultIsSetAndDisablesTheOthers) {
  Owned<TForm> owner(new TForm(nullptr));
  owner->SetBounds(0, 0, 100, 100);
  owner->AfterConstruction();
  owner->Show();
  Owned<TLogForm> dialog(new TLogForm(nullptr));
  dialog->AfterConstruction();
  dialog->Hide();
  Log.clear();
  int idle = 0;
  bool ownerDisabled = false;
  orv::headless::SetIdleHandler([&] {
    ++idle;
    ownerDisabled = !IsWindowEnabled(owner->GetHandle());
    if (idle == 1) {
      dialog->MayClose = false;  // the first result is refused by CloseQuery
      dialog->SetModalResult(mrOk);
    } else if (idle == 2) {
      dialog->MayClose = true;
      dialog->SetModalResult(mrYes);
    }
    return idle < 5;
  });
  EXPECT_EQ(dialog->ShowModal(), mrYes);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner->GetHandle()));
  EXPECT_FALSE(dialog->GetVisible());
  const std::vector<std::string> expected = {"show", "close", "hide"};
  EXPECT_EQ(Log, expected);
  // Close inside a modal loop is a cancel.
  orv::headless::SetIdleHandler([&] {
    dialog->Close();
    return true;
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

TEST_F(FormsTest, ApplicationMakesTheFirstFormMainAndRunsUntilItCloses) {
  TLogModule* module = nullptr;
  TLogForm* main = nullptr;
  TLogForm* second = nullptr;
  Application->CreateForm(module);
  Application->CreateForm(main);
  Application->CreateForm(second);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Application->GetMainForm(), main);
  orv::headless::SetIdleHandler([&] {
    main->Close();
    return true;
  });
  Application->SetTitle("Орване"_a);
  Application->Run();
  EXPECT_TRUE(Application->GetTerminated());
  EXPECT_EQ(Application->GetTitle(), "Орване"_a);
  second->Free();
  main->Free();
  module->Free();
  EXPECT_EQ(Application->GetMainForm(), nullptr);
  // Forms visible from their creation show at once; the main form's close ends the run.
  const std::vector<std::string> expected = {"module create", "create", "show", "create", "show", "close",
                                             "hide", "destroy", "hide", "destroy", "module destroy"};
  EXPECT_EQ(Log, expected);
}

TEST_F(FormsTest, ApplicationEventsHearExceptionsBeforeTheMessageBox) {
  std::vector<AnsiString> boxes;
  orv::SetMessageBoxHandler([&](HWND, const AnsiString& text, const AnsiString&, UINT type) {
    boxes.push_back(text);
    EXPECT_EQ(type & MB_ICONMASK, MB_ICONSTOP);
    return IDOK;
  });
  auto raise = [] {
    try {
      throw EInvalidOperation("Bad thing");
    } catch (...) {
      Application->HandleException(nullptr);
    }
  };
  raise();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Bad thing.");
  Owned<TApplicationEvents> events(new TApplicationEvents(nullptr));
  AnsiString seen;
  auto onException = [&](TObject*, Exception& e) { seen = e.GetMessage(); };
  events->SetOnException(TExceptionEvent::Callable(onException));
  raise();
  EXPECT_EQ(seen, "Bad thing");
  EXPECT_EQ(boxes.size(), 1u);
  events.reset();
  raise();
  EXPECT_EQ(boxes.size(), 2u);
  orv::SetMessageBoxHandler(nullptr);
}

TEST_F(FormsTest, ActionsDriveTheirClientsAndAnswerShortcuts) {
  Owned<TForm> form(new TForm(nullptr));
  form->SetBounds(0, 0, 200, 100);
  auto* list = new TActionList(form.get());
  auto* copy = new TAction(form.get());
  copy->SetActionList(list);
  copy->SetCaption("Копировать в буфер"_a);
  copy->SetShortCut(TextToShortCut("Ctrl+C"));
  int executed = 0, updated = 0;
  auto execute = [&](TObject*) { ++executed; };
  auto update = [&](TObject*) { ++updated; };
  copy->SetOnExecute(TNotifyEvent::Callable(execute));
  copy->SetOnUpdate(TNotifyEvent::Callable(update));
  auto* client = new TCustomControl(form.get());
  client->SetParent(form.get());
  client->SetAction(copy);
  EXPECT_EQ(client->GetCaption(), "Копировать в буфер"_a);
  copy->SetEnabled(false);
  EXPECT_FALSE(client->GetEnabled());
  copy->SetEnabled(true);
  form->AfterConstruction();
  form->Show();
  Application->ProcessMessages();
  orv::headless::PressKey('C', false, true);
  Application->ProcessMessages();
  EXPECT_EQ(executed, 1);
  // A disabled action eats its shortcut without running.
  copy->SetEnabled(false);
  orv::headless::SetIdleHandler([] { return false; });
  orv::headless::PressKey('C', false, true);
  Application->ProcessMessages();
  EXPECT_EQ(executed, 1);
  // The list's OnExecute may handle the action first.
  copy->SetEnabled(true);
  auto listExecute = [&](TBasicAction*, bool& handled) { handled = true; };
  list->SetOnExecute(TActionEvent::Callable(listExecute));
  copy->Execute();
  EXPECT_EQ(executed, 1);
  list->SetOnExecute(nullptr);
  copy->Execute();
  EXPECT_EQ(executed, 2);
  // Idle time updates the actions of visible clients.
  updated = 0;
  int idles = 0;
  orv::headless::SetIdleHandler([&] { return ++idles < 2; });
  try {
    Application->HandleMessage();
  } catch (const EInvalidOperation&) {
  }
  EXPECT_GE(updated, 1);
  // A freed action leaves its client.
  copy->Free();
  EXPECT_EQ(client->GetAction(), nullptr);
}

TEST_F(FormsTest, ReadingADescriptionDefersTheClientSizeToItsEnd) {
  // A stand-in for the form-description reader: it sets the client size and adds a child.
  static TControlState seenState;
  static TPoint sizeWhileReading;
  orv::SetComponentStreaming(
      [](TReader*, TComponent* component) {
        auto* form = static_cast<TForm*>(component);
        seenState = form->GetControlState();
        form->SetClientWidth(300);
        form->SetClientHeight(200);
        sizeWhileReading = {form->GetWidth(), form->GetHeight()};
        auto* child = new TCustomControl(form);
        child->SetParentComponent(form);
        child->SetAlign(alBottom);
        child->SetHeight(30);
      },
      nullptr);
  Owned<TForm> form(new TForm(nullptr));
  form->SetBorderStyle(bsSingle);
  form->SetBounds(0, 0, 100, 100);
  form->ReadState(nullptr);
  orv::SetComponentStreaming(nullptr, nullptr);
  EXPECT_TRUE(seenState.Contains(csReadingState));
  EXPECT_EQ(sizeWhileReading, Point(100, 100));
  EXPECT_EQ(form->GetDesignSize(), Point(300, 200));
  EXPECT_EQ(form->GetClientRect(), Rect(0, 0, 300, 200));
  EXPECT_FALSE(form->GetControlState().Contains(csReadingState));
  EXPECT_EQ(form->GetControl(0)->GetBoundsRect(), Rect(0, 170, 300, 200));
}

TEST(ShortCutTest, TextsAndKeys) {
  struct Case {
    TShortCut Key;
    const char* Text;
  };
  const Case cases[] = {
      {VK_F1, "F1"},
      {VK_F2, "F2"},
      {VK_F10, "F10"},
      {TShortCut('C' | scCtrl), "Ctrl+C"},
      {TShortCut(VK_DELETE | scShift | scCtrl), "Shift+Ctrl+Del"},
      {TShortCut(VK_RETURN | scAlt), "Alt+Enter"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.Key), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Key) << c.Text;
  }
  EXPECT_EQ(TextToShortCut("ctrl+c"), TShortCut('C' | scCtrl));
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut("Nothing"), scNone);
  EXPECT_EQ(ShortCutToText(scNone), "");
  EXPECT_EQ(ShortCut('X', true, false, true), TShortCut('X' | scShift | scAlt));
  EXPECT_EQ(StripHotkey("&File && more"), "File & more");
  EXPECT_EQ(GetHotkey(AnsiString("П&оиск"_a)), AnsiString("О"_a)[0]);
  EXPECT_TRUE(IsAccel('T', "&Two"));
}

TEST_F(FormsTest, TimersFireOnTheWindowSystemsClock) {
  Owned<TTimer> timer(new TTimer(nullptr));
  int ticks = 0;
  auto tick = [&](TObject*) { ++ticks; };
  timer->SetInterval(100);
  timer->SetOnTimer(TNotifyEvent::Callable(tick));
  orv::headless::AdvanceTime(350);
  EXPECT_EQ(ticks, 3);
  timer->SetEnabled(false);
  orv::headless::AdvanceTime(300);
  EXPECT_EQ(ticks, 3);
}

TEST_F(FormsTest, ImagesDrawTheirPictureWhereAsked) {
  Owned<TForm> form(new TForm(nullptr));
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 60, 40);
  form->SetColor(clWhite);
  auto* image = new TImage(form.get());
  image->SetParent(form.get());
  image->SetBounds(10, 10, 20, 20);
  TBitmap* bitmap = image->GetPicture()->GetBitmap();
  bitmap->SetSize(10, 10);
  bitmap->GetCanvas()->GetBrush()->SetColor(clRed);
  bitmap->GetCanvas()->FillRect(Rect(0, 0, 10, 10));
  form->AfterConstruction();
  form->Show();
  Application->ProcessMessages();
  orv::TSurface s = orv::headless::CaptureClient(form->GetHandle());
  EXPECT_EQ(orv::PixelToColor(s.Pixel(12, 12)), 0x0000FFu);
  EXPECT_EQ(orv::PixelToColor(s.Pixel(25, 25)), 0xFFFFFFu);
  image->SetStretch(true);
  Application->ProcessMessages();
  s = orv::headless::CaptureClient(form->GetHandle());
  EXPECT_EQ(orv::PixelToColor(s.Pixel(25, 25)), 0x0000FFu);
  image->SetStretch(false);
  image->SetCenter(true);
  EXPECT_EQ(image->DestRect(), Rect(5, 5, 15, 15));
  image->SetAutoSize(true);
  EXPECT_EQ(image->GetWidth(), 10);
}

}  // namespace
