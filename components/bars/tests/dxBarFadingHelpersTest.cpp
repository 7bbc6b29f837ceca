// The fading objects of a toolbar's mark and of a maximized child's buttons: with the painters of
// this system (none can draw fading parts) and without child windows nothing fades and no
// pictures are made.

#include <gtest/gtest.h>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarFadingHelpers.h"
#include "components/bars/tests/BarManagerFixture.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Headless.h"

namespace {

class FadingHelpersTest : public BarFormTest {
 protected:
  FadingHelpersTest() : BarFormTest({100, 100, 200, 120}) {}
};

TEST_F(FadingHelpersTest, NothingFadesWithoutAFadingPainter) {
  Manager->BeginUpdate();
  TdxBar* bar = Manager->AddToolbar(false);
  for (Integer i = 0; i < 12; ++i) {
    auto* button = new TdxBarButton(Form.get());
    button->SetParentComponent(Manager);
    button->SetCaption("Button" + AnsiString(1, char('A' + i)));
    bar->GetLinks()->AddItem(button);
  }
  bar->SetDockingStyle(dsTop);
  Manager->EndUpdate();
  Form->Show();
  Run();
  for (TdxBarManagerStyle style : {bmsStandard, bmsEnhanced, bmsFlat, bmsOffice11, bmsXP}) {
    SCOPED_TRACE(style);
    Manager->SetStyle(style);
    Run();
    auto* toolbar = dynamic_cast<TdxBarControl*>(bar->GetControl());
    ASSERT_NE(toolbar, nullptr);
    ASSERT_TRUE(toolbar->IsMarkVisible());
    EXPECT_FALSE(Manager->GetPainter()->SupportsFading());
    TdxBarControlMarkFadingHelper mark(toolbar);
    EXPECT_FALSE(mark.CanFade());
    mark.FadeIn();
    EXPECT_EQ(GetGlobalFader()->FindElement(&mark), nullptr);
    TBitmap* normal = nullptr;
    TBitmap* hot = nullptr;
    mark.PrepareFadingImages(normal, hot);
    EXPECT_EQ(normal, nullptr);
    EXPECT_EQ(hot, nullptr);
    for (Integer kind = 0; kind < 3; ++kind) {
      TdxBarControlMDIButtonFadingHelper button(toolbar, kind);
      EXPECT_FALSE(button.CanFade());
      button.FadeIn();
      EXPECT_EQ(GetGlobalFader()->FindElement(&button), nullptr);
    }
  }
}

}  // namespace
