// A borderless form on the headless window system for the editor collection's tests, with
// pixel and golden-image helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace edmore_test {

using orv::test::Owned;

class FormTest : public orv::test::HeadlessFormTest {
 protected:
  FormTest() : HeadlessFormTest({100, 100, 320, 240}) {}
  static COLORREF Pixel(TWinControl* c, int x, int y) {
    const orv::TSurface s = orv::headless::CaptureWindow(c->GetHandle());
    const std::uint32_t p = s.Pixel(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Pixels of the colour inside the control.
  static int CountColor(TWinControl* c, COLORREF color) {
    const orv::TSurface s = orv::headless::CaptureWindow(c->GetHandle());
    int n = 0;
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x) {
        const std::uint32_t p = s.Pixel(x, y);
        if (RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) == color) ++n;
      }
    return n;
  }
  static void ExpectGolden(TWinControl* c, const std::string& name) {
    const orv::TImageCheck check = orv::MatchGoldenImage(
        orv::headless::CaptureWindow(c->GetHandle()),
        std::string(ORV_SOURCE_DIR) + "/components/editors-more/tests/golden/" + name + ".png");
    EXPECT_TRUE(check) << check.Message;
  }
};

}  // namespace edmore_test
