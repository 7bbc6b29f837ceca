// Key tips on the headless desktop: shown over the main menu once Alt comes up (or while it is
// held half a second), typed to open a menu whose own key tips follow and to run a command,
// Escape stepping back a level; their numbering when texts repeat; none without a key-tip
// windows manager.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarAccessibility.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class TKeyTipClicks : public TObject {
  ORV_CLASS(TKeyTipClicks, TObject)
 public:
  TKeyTipClicks() = default;
  void Click(TObject* sender) { Log.push_back(static_cast<TdxBarItem*>(sender)->GetCaption()); }
  std::vector<AnsiString> Log;
};

TdxBarKeyTipWindowsManager* gKeyTipWindows = nullptr;
IdxBarKeyTipWindowsManager* KeyTipWindowsOf(TdxBarManager*) { return gKeyTipWindows; }

class KeyTipsTest : public orv::test::HeadlessFormTest {
 protected:
  KeyTipsTest() : HeadlessFormTest({100, 100, 400, 200}) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    BarHookServices() = TdxBarHookServices();
    gKeyTipWindows = new TdxBarKeyTipWindowsManager();
    SetBarKeyTipWindowsManagerProvider(KeyTipWindowsOf);
    Manager = new TdxBarManager(Form.get());
    Manager->SetStyle(bmsOffice11);
    Manager->GetFont()->SetName(orv::kTestFontFace);
    TdxBar* menu = Manager->AddToolbar(true);
    FileItem = AddSubItem(menu->GetLinks(), "&File");
    for (const char* caption : {"&Open", "&Save", "E&xit"}) AddButton(FileItem->GetItemLinks(), caption);
    // "Exit" has the shortcut Ctrl+E, whose letter is its key tip before the accelerator's.
    FileItem->GetItemLinks()->GetItem(2)->GetItem()->SetShortCut(TShortCut(0x4045));
    TdxBarSubItem* help = AddSubItem(menu->GetLinks(), "&Help");
    AddButton(help->GetItemLinks(), "About")->SetKeyTip("AB");
    MenuWindow = menu->GetControl();
  }
  void TearDown() override {
    GetBarNavigationController()->HideKeyTips();
    Form.reset();
    SetBarKeyTipWindowsManagerProvider(nullptr);
    delete gKeyTipWindows;
    gKeyTipWindows = nullptr;
    BarHookServices() = TdxBarHookServices();
    HeadlessFormTest::TearDown();
  }

  TdxBarSubItem* AddSubItem(TdxBarItemLinks* links, const AnsiString& caption) {
    auto* item = new TdxBarSubItem(Form.get());
    item->SetParentComponent(Manager);
    item->SetCaption(caption);
    links->AddItem(item);
    return item;
  }
  TdxBarButton* AddButton(TdxBarItemLinks* links, const AnsiString& caption) {
    auto* button = new TdxBarButton(Form.get());
    button->SetParentComponent(Manager);
    button->SetCaption(caption);
    button->SetOnClick(TNotifyEvent(&Clicks, &TKeyTipClicks::Click));
    links->AddItem(button);
    return button;
  }
  static void Type(Word key) {
    orv::headless::PressKey(key);
    orv::headless::ProcessMessages();
  }
  static void AltAlone() {
    orv::headless::KeyDown(VK_MENU);
    orv::headless::KeyUp(VK_MENU);
    orv::headless::ProcessMessages();
  }
  // The texts of the key-tip windows shown, in order.
  static std::vector<AnsiString> ShownTips() {
    std::vector<AnsiString> texts;
    for (Integer i = 0; i < gKeyTipWindows->GetWindowCount(); ++i)
      if (IsWindowVisible(gKeyTipWindows->GetWindow(i)->GetHandle()))
        texts.push_back(gKeyTipWindows->GetWindow(i)->GetText());
    return texts;
  }

  TdxBarManager* Manager = nullptr;
  TdxBarSubItem* FileItem = nullptr;
  TCustomdxBarControl* MenuWindow = nullptr;
  TKeyTipClicks Clicks;
};

}  // namespace

TEST_F(KeyTipsTest, AltShowsTheMainMenusKeyTipsWhichOpenAMenuAndRunACommand) {
  Show();
  AltAlone();
  TdxBarNavigationController* controller = GetBarNavigationController();
  ASSERT_TRUE(controller->IsShowingKeyTips());
  EXPECT_EQ(controller->GetKeyTipsContainer(), MenuWindow);
  // The accelerators of "&File" and "&Help"; each over the middle of its item.
  EXPECT_EQ(ShownTips(), (std::vector<AnsiString>{"F", "H"}));
  RECT tip{};
  GetWindowRect(gKeyTipWindows->GetWindow(0)->GetHandle(), &tip);
  TRect item;
  MenuWindow->GetItemControlRect(MenuWindow->GetViewInfoControl(0), item);
  POINT centre{(item.Left + item.Right) / 2, (item.Top + item.Bottom) / 2};
  ClientToScreen(MenuWindow->GetHandle(), &centre);
  EXPECT_TRUE(centre.X >= tip.Left && centre.X < tip.Right && centre.Y >= tip.Top && centre.Y < tip.Bottom);

  // F opens the File menu, whose items show their key tips in turn; S runs Save.
  Type('F');
  auto* menu = dynamic_cast<TdxBarSubMenuControl*>(MenuWindow->GetChildBarControl());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(controller->GetKeyTipsContainer(), menu);
  EXPECT_EQ(ShownTips(), (std::vector<AnsiString>{"O", "S", "E"}));
  Type('S');
  EXPECT_EQ(Clicks.Log, (std::vector<AnsiString>{"&Save"}));
  EXPECT_FALSE(controller->IsShowingKeyTips());
  EXPECT_TRUE(ShownTips().empty());
  EXPECT_EQ(MenuWindow->GetChildBarControl(), nullptr);
}

TEST_F(KeyTipsTest, TypedLettersNarrowTheTipsAndEscapeStepsBackALevel) {
  Show();
  AltAlone();
  TdxBarNavigationController* controller = GetBarNavigationController();
  Type('H');
  ASSERT_NE(MenuWindow->GetChildBarControl(), nullptr);
  EXPECT_EQ(ShownTips(), (std::vector<AnsiString>{"AB"}));
  // The first letter of a two-letter tip only narrows; a letter of no tip changes nothing.
  Type('A');
  EXPECT_EQ(controller->GetTypedKeyTip(), "A");
  EXPECT_TRUE(Clicks.Log.empty());
  Type('Q');
  EXPECT_EQ(controller->GetTypedKeyTip(), "A");
  // Escape closes the menu and shows the main menu's key tips again; once more ends them.
  Type(VK_ESCAPE);
  EXPECT_EQ(MenuWindow->GetChildBarControl(), nullptr);
  EXPECT_EQ(controller->GetKeyTipsContainer(), MenuWindow);
  EXPECT_EQ(ShownTips(), (std::vector<AnsiString>{"F", "H"}));
  Type(VK_ESCAPE);
  EXPECT_FALSE(controller->IsShowingKeyTips());
  EXPECT_TRUE(ShownTips().empty());
  EXPECT_TRUE(Clicks.Log.empty());
}

TEST_F(KeyTipsTest, HoldingAltHalfASecondShowsTheKeyTipsAndAnotherKeyCancelsTheWait) {
  Show();
  TdxBarNavigationController* controller = GetBarNavigationController();
  orv::headless::KeyDown(VK_MENU);
  orv::headless::ProcessMessages();
  EXPECT_TRUE(controller->IsWaitingForKeyTips());
  orv::headless::AdvanceTime(499);
  EXPECT_FALSE(controller->IsShowingKeyTips());
  orv::headless::AdvanceTime(1);
  EXPECT_TRUE(controller->IsShowingKeyTips());
  orv::headless::KeyUp(VK_MENU);
  orv::headless::ProcessMessages();
  Type(VK_ESCAPE);
  EXPECT_FALSE(controller->IsShowingKeyTips());

  // Alt and a letter together are the item's accelerator: the wait ends without key tips.
  orv::headless::KeyDown(VK_MENU);
  orv::headless::ProcessMessages();
  orv::headless::PressKey('X');
  orv::headless::KeyUp(VK_MENU);
  orv::headless::AdvanceTime(600);
  EXPECT_FALSE(controller->IsWaitingForKeyTips());
  EXPECT_FALSE(controller->IsShowingKeyTips());
}

TEST_F(KeyTipsTest, NoKeyTipsWithoutAKeyTipWindowsManager) {
  SetBarKeyTipWindowsManagerProvider(nullptr);
  Show();
  AltAlone();
  EXPECT_FALSE(GetBarNavigationController()->IsShowingKeyTips());
  EXPECT_TRUE(ShownTips().empty());
  // The keyboard navigation of the main menu still starts.
  EXPECT_TRUE(MenuWindow->IsActive());
  Type(VK_ESCAPE);
}

TEST(KeyTipTextsTest, RepeatedTextsAreNumberedAndPrefixesGetAOne) {
  const struct {
    std::vector<AnsiString> In, Out;
  } cases[] = {
      {{"F", "F", "F"}, {"F1", "F2", "F3"}},
      {std::vector<AnsiString>(12, "A"),
       {"A01", "A02", "A03", "A04", "A05", "A06", "A07", "A08", "A09", "A10", "A11", "A12"}},
      {{"S", "SA"}, {"S1", "SA"}},
      {{"O", "S", "E"}, {"O", "S", "E"}},
  };
  for (const auto& c : cases) {
    std::vector<AnsiString> texts = c.In;
    TdxBarNavigationController::MakeKeyTipsUnique(texts);
    EXPECT_EQ(texts, c.Out);
  }
}
