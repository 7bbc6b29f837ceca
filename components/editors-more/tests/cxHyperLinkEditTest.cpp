// The hyperlink editor: links started by key, double click and single click through an injected
// opener (nothing is launched), the prefix rules and a handler that takes over.
#include <gtest/gtest.h>

#include <vector>

#include "components/editors-more/cxHyperLinkEdit.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "platform/controls/StdCtrls.h"
#include "platform/windowing/ShellApi.h"

using namespace edmore_test;

namespace {

struct TOpened {
  AnsiString Verb, File;
  int Show;
};

class TStartHandler : public TObject {
 public:
  void Start(TObject* sender) { ++Starts; }
  int Starts = 0;
};

class HyperLinkEditTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    Previous = orv::SetShellOpener([this](const AnsiString& verb, const AnsiString& file, int show) {
      Opened.push_back({verb, file, show});
      return true;
    });
  }
  void TearDown() override {
    orv::SetShellOpener(Previous);
    FormTest::TearDown();
  }
  TcxHyperLinkEdit* AddEdit(const char* text) {
    auto* e = new TcxHyperLinkEdit(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(10, 10, 160, 21);
    e->SetText(text);
    return e;
  }
  static TPoint Centre(TcxHyperLinkEdit* e) { return e->ClientToScreen(TPoint{40, 10}); }
  std::vector<TOpened> Opened;
  orv::TShellOpener Previous;
};

}  // namespace

TEST_F(HyperLinkEditTest, StartKeyOpensThePrefixedLink) {
  TcxHyperLinkEdit* e = AddEdit("  example.org/a ");
  Show();
  e->SetFocus();
  Run();
  orv::headless::PressKey(VK_RETURN, false, true);
  Run();
  ASSERT_EQ(Opened.size(), 1u);
  EXPECT_EQ(Opened[0].Verb, "OPEN");
  EXPECT_EQ(Opened[0].File, "http://example.org/a");
  EXPECT_EQ(Opened[0].Show, SW_SHOWMAXIMIZED);

  // A start key of 0 disables the key.
  e->GetProperties()->SetStartKey(0);
  orv::headless::PressKey(VK_RETURN, false, true);
  Run();
  EXPECT_EQ(Opened.size(), 1u);
}

TEST_F(HyperLinkEditTest, PrefixRules) {
  TcxHyperLinkEditProperties* p = AddEdit("")->GetProperties();
  struct Case {
    const char* text;
    const char* result;
  };
  const Case cases[] = {{"site.ru", "http://site.ru"}, {" http://site.ru ", "http://site.ru"}, {"   ", ""}};
  for (const Case& c : cases) {
    AnsiString r;
    p->AddPrefix(c.text, r);
    EXPECT_EQ(r, c.result) << c.text;
  }
}

TEST_F(HyperLinkEditTest, DoubleClickOrSingleClickStartsAndEmptyTextStartsNothing) {
  TcxHyperLinkEdit* e = AddEdit("site.ru");
  Show();
  const TPoint p = Centre(e);
  orv::headless::Click(p.X, p.Y);
  Run();
  EXPECT_TRUE(Opened.empty()) << "a single click does not start the link by default";
  orv::headless::AdvanceTime(1000);
  orv::headless::DoubleClick(p.X, p.Y);
  Run();
  ASSERT_EQ(Opened.size(), 1u);
  EXPECT_EQ(Opened[0].File, "http://site.ru");

  e->GetProperties()->SetSingleClick(true);
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(p.X, p.Y);
  Run();
  EXPECT_EQ(Opened.size(), 2u);

  e->SetText("");
  orv::headless::AdvanceTime(1000);
  orv::headless::Click(p.X, p.Y);
  Run();
  EXPECT_EQ(Opened.size(), 2u) << "an empty link starts nothing";
}

TEST_F(HyperLinkEditTest, PrefixIsStoredOnlyWithUpAlwaysAndAHandlerReplacesTheOpener) {
  TcxHyperLinkEdit* e = AddEdit("");
  auto* other = new TEdit(Form.get());
  other->SetParent(Form.get());
  other->SetBounds(10, 60, 50, 21);
  Show();
  for (TcxHyperLinkEditUsePrefix use : {upAlways, upOnlyOnExecute}) {
    e->GetProperties()->SetUsePrefix(use);
    e->SetFocus();
    Run();
    e->SetSelection(0, 100);
    orv::headless::TypeText("site.ru");
    Run();
    other->SetFocus();
    Run();
    EXPECT_EQ(VarToStr(e->GetEditValueProperty()), use == upAlways ? "http://site.ru" : "site.ru");
  }
  e->StartLink();
  ASSERT_EQ(Opened.size(), 1u);
  EXPECT_EQ(Opened.back().File, "http://site.ru") << "the started link has the prefix";

  TStartHandler handler;
  e->GetProperties()->SetOnStartClick(TNotifyEvent(&handler, &TStartHandler::Start));
  e->StartLink();
  EXPECT_EQ(handler.Starts, 1);
  EXPECT_EQ(Opened.size(), 1u) << "the handler takes over";
}
