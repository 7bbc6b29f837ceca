// A sizable form on the headless desktop with a status bar in the test font, and the helpers of
// the status-bar tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "components/bars/dxStatusBar.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace sb_test {

using orv::test::Owned;

class StatusBarTest : public orv::test::HeadlessFormTest {
 protected:
  // A sizable form with border and caption.
  StatusBarTest() : HeadlessFormTest({100, 100, 320, 120}, false) {}

  void SetUp() override {
    HeadlessFormTest::SetUp();
    Bar = new TdxStatusBar(Form.get());
    Bar->SetParent(Form.get());
    Bar->GetFont()->SetName(orv::kTestFontFace);
    Bar->GetFont()->SetHeight(-10);
    Bar->SetHeight(22);
  }

  // A panel of the style; a width of 0 leaves the panel's own.
  TdxStatusBarPanel* AddPanel(const char* styleClass, Integer width = 0, const AnsiString& text = AnsiString()) {
    TdxStatusBarPanel* panel = Bar->GetPanels()->Add();
    panel->SetPanelStyleClassName(styleClass);
    if (width) panel->SetWidth(width);
    panel->SetText(text);
    return panel;
  }
  // The client width of the status bar (the form's client width while it is aligned).
  Integer BarWidth() { return Bar->GetClientBounds().Width(); }
  orv::TSurface Capture() { return orv::headless::CaptureWindow(Bar->GetHandle()); }
  static COLORREF At(const orv::TSurface& s, int x, int y) { return orv::PixelToColor(s.Pixel(x, y)); }
  // The leftmost and rightmost columns inside `area` that hold a pixel of `color`; (-1, -1)
  // when none does.
  static std::pair<int, int> InkColumns(const orv::TSurface& s, const TRect& area, COLORREF color) {
    int first = -1, last = -1;
    for (int x = area.Left; x < area.Right; ++x)
      for (int y = area.Top; y < area.Bottom; ++y)
        if (At(s, x, y) == color) {
          if (first < 0) first = x;
          last = x;
          break;
        }
    return {first, last};
  }
  static int CountColor(const orv::TSurface& s, const TRect& area, COLORREF color) {
    int n = 0;
    for (int x = area.Left; x < area.Right; ++x)
      for (int y = area.Top; y < area.Bottom; ++y)
        if (At(s, x, y) == color) ++n;
    return n;
  }
  static ::testing::AssertionResult Golden(const orv::TSurface& surface, const std::string& name) {
    const orv::TImageCheck check = orv::MatchGoldenImage(
        surface, std::string(ORV_SOURCE_DIR) + "/components/bars/tests/golden/" + name);
    if (check) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << check.Message;
  }

  TdxStatusBar* Bar = nullptr;
};

}  // namespace sb_test
