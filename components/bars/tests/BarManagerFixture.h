// What every headless bar test starts and ends with: bar hooks and hints that know no window of
// an earlier test, and a bar manager in the tests' font.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/bars/dxBar.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

inline void ResetBarServices() {
  BarHookServices() = TdxBarHookServices();
  BarHintServices() = TdxBarHintServices();
}

// Fresh bar services, then a manager owned by the form, in the tests' font at 11 pixels.
inline TdxBarManager* NewTestBarManager(TComponent* form) {
  ResetBarServices();
  auto* manager = new TdxBarManager(form);
  manager->GetFont()->SetName(orv::kTestFontFace);
  manager->GetFont()->SetHeight(-11);
  return manager;
}

// A headless form with a fresh bar manager on it; the form goes first on tear down, then the bar
// services it left behind.
class BarFormTest : public orv::test::HeadlessFormTest {
 protected:
  using HeadlessFormTest::HeadlessFormTest;

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Manager = NewTestBarManager(Form.get());
  }
  void TearDown() override {
    Form.reset();
    ResetBarServices();
    HeadlessFormTest::TearDown();
  }

  TdxBarManager* Manager = nullptr;
};

// A button of the manager, owned by `owner`, that runs `onClick` when one is given.
// Records the captions of the items clicked, in order (an item's OnClick handler).
struct TClickLog {
  std::vector<std::string> Clicks;
  void Click(TObject* sender) { Clicks.push_back(static_cast<TdxBarItem*>(sender)->GetCaption()); }
};

inline TdxBarButton* NewTestButton(TdxBarManager* manager, TComponent* owner, const AnsiString& caption,
                                   TNotifyEvent onClick = {}) {
  auto* button = new TdxBarButton(owner);
  button->SetParentComponent(manager);
  button->SetCaption(caption);
  if (onClick) button->SetOnClick(onClick);
  return button;
}

// A toolbar alone on its row at a side, holding `count` buttons owned by `owner` and captioned
// `caption` followed by 1, 2, ...; each button runs `onClick` when one is given. Made under the
// update lock, so no window is made before the bar has its place.
inline TdxBar* AddTestToolbar(TdxBarManager* manager, TComponent* owner, const AnsiString& caption,
                              TdxBarDockingStyle style, Integer count, TNotifyEvent onClick = {}) {
  manager->BeginUpdate();
  TdxBar* bar = manager->AddToolbar(false);
  bar->SetCaption(caption);
  for (Integer i = 0; i < count; ++i) {
    bar->GetLinks()->AddItem(NewTestButton(manager, owner, caption + AnsiString(std::to_string(i + 1)), onClick));
  }
  bar->SetOneOnRow(true);
  bar->SetDockingStyle(style);
  manager->EndUpdate();
  return bar;
}

// A bar window's picture against its golden image in the bars' golden folder.
inline ::testing::AssertionResult MatchBarGolden(const orv::TSurface& surface, const std::string& name) {
  const orv::TImageCheck check =
      orv::MatchGoldenImage(surface, std::string(ORV_SOURCE_DIR) + "/components/bars/tests/golden/" + name);
  if (check) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << check.Message;
}
