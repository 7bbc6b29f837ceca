// Golden image of open combo boxes in the Office 2003 look: a list below its editor with the
// second row selected and a scroll bar, and a sizeable list opened above its editor with the
// system panel and its sizing grip at the top.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "components/editors/cxDropDownEdit.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

void Paste(orv::TSurface& target, const orv::TSurface& source, const TRect& from, Integer left, Integer top) {
  for (int y = from.Top; y < from.Bottom; ++y)
    for (int x = from.Left; x < from.Right; ++x) {
      const int tx = left + x - from.Left, ty = top + y - from.Top;
      if (tx >= 0 && ty >= 0 && tx < target.Width() && ty < target.Height()) target.SetPixel(tx, ty, source.Pixel(x, y));
    }
}

class DropDownEditLookTest : public orv::test::HeadlessFormTest {
 protected:
  DropDownEditLookTest() : HeadlessFormTest({0, 0, 1024, 768}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Form->SetColor(clBtnFace);
    Form->GetFont()->SetName(orv::kTestFontFace);
    Form->GetFont()->SetHeight(-10);
  }
  TcxComboBox* Add(Integer left, Integer top) {
    auto* c = new TcxComboBox(Form.get());
    c->SetParent(Form.get());
    c->SetBounds(left, top, 140, 21);
    c->GetStyle()->GetLookAndFeel()->SetKind(lfOffice11);
    c->GetStyle()->GetLookAndFeel()->SetNativeStyle(false);
    for (const char* name : {"Москва", "Мурманск", "Новосибирск", "Омск", "Санкт-Петербург", "Самара", "Сочи",
                             "Тверь", "Ярославль"})
      c->GetProperties()->GetItems()->Add(orv::Utf8ToAnsi(name));
    c->GetProperties()->SetDropDownRows(6);
    return c;
  }
};

TEST_F(DropDownEditLookTest, OpenComboBoxesInTheOffice2003Look) {
  TcxComboBox* below = Add(10, 10);
  TcxComboBox* above = Add(10, 700);
  above->GetProperties()->SetDropDownSizeable(true);
  Form->Show();
  Run();

  orv::TSurface sheet(2 * 170, 150);
  for (int y = 0; y < sheet.Height(); ++y)
    for (int x = 0; x < sheet.Width(); ++x) sheet.SetPixel(x, y, 0xFFFFFFFF);

  below->SetFocus();
  Run();
  orv::headless::PressKey(VK_F4);
  Run();
  orv::headless::PressKey(VK_DOWN);
  orv::headless::PressKey(VK_DOWN);
  Run();
  ASSERT_TRUE(below->HasOpenPopup());
  orv::headless::MouseMove(600, 400);
  Run();
  Paste(sheet, orv::headless::CaptureScreen(), TRect{5, 5, 165, 145}, 5, 5);
  orv::headless::PressKey(VK_ESCAPE);
  Run();

  above->SetFocus();
  Run();
  orv::headless::PressKey(VK_F4);
  Run();
  ASSERT_TRUE(above->HasOpenPopup());
  orv::headless::MouseMove(600, 400);
  Run();
  Paste(sheet, orv::headless::CaptureScreen(), TRect{5, 581, 165, 721}, 175, 5);

  const orv::TImageCheck check =
      orv::MatchGoldenImage(sheet, std::string(ORV_SOURCE_DIR) + "/components/editors/tests/golden/combobox-office11.png");
  EXPECT_TRUE(check) << check.Message;
}

}  // namespace
