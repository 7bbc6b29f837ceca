// A borderless form on the headless desktop with tab and page controls in the test font, and
// the input helpers of the page-control tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "components/pagecontrol/cxPC.h"
#include "components/pagecontrol/cxPCPainters.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace pc_test {

using orv::test::Owned;

class PCTest : public orv::test::HeadlessFormTest {
 protected:
  PCTest() : HeadlessFormTest({100, 100, 400, 300}) {}

  template <class T = TcxTabControl>
  T* Add(Integer x, Integer y, Integer w, Integer h) {
    auto* c = new T(Form.get());
    c->SetParent(Form.get());
    c->SetBounds(x, y, w, h);
    c->GetFont()->SetName(orv::kTestFontFace);
    c->GetFont()->SetHeight(-10);
    return c;
  }
  static void AddTabs(TcxCustomTabControl* c, std::initializer_list<const char*> captions) {
    for (const char* caption : captions) c->GetTabs()->Add(caption);
  }
  static TPoint At(TControl* c, int x, int y) { return c->ClientToScreen(Point(x, y)); }
  static void Move(TControl* c, int x, int y) {
    const TPoint p = At(c, x, y);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  static void Press(TControl* c, int x, int y) {
    orv::headless::AdvanceTime(1000);
    Move(c, x, y);
    orv::headless::MouseDown(0);
    Run();
  }
  static void Release() {
    orv::headless::MouseUp(0);
    Run();
  }
  static void Click(TControl* c, int x, int y) {
    Press(c, x, y);
    Release();
  }
  static TRect TabRect(TcxCustomTabControl* c, Integer tabIndex) { return c->GetTabs()->GetTab(tabIndex)->GetFullRect(); }
  static TPoint Center(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  static ::testing::AssertionResult Golden(TWinControl* c, const std::string& name) {
    const orv::TImageCheck check =
        orv::MatchGoldenImage(orv::headless::CaptureWindow(c->GetHandle()),
                              std::string(ORV_SOURCE_DIR) + "/components/pagecontrol/tests/golden/" + name);
    if (check) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << check.Message;
  }
};

// Records the control's events.
class TEventLog : public TObject {
  ORV_CLASS(TEventLog, TObject)
 public:
  TEventLog() = default;
  void Changing(TObject* sender, bool& allow) {
    ++Changings;
    allow = Allow;
  }
  void Change(TObject* sender) { ++Changes; }
  void PageChanging(TObject* sender, TcxTabSheet* page, bool& allow) {
    ++PageChangings;
    LastPage = page;
    allow = Allow;
  }
  void CanClose(TObject* sender, bool& canClose) {
    ++CanCloses;
    canClose = Allow;
  }
  int Changings = 0;
  int Changes = 0;
  int PageChangings = 0;
  int CanCloses = 0;
  TcxTabSheet* LastPage = nullptr;
  bool Allow = true;
};

}  // namespace pc_test
