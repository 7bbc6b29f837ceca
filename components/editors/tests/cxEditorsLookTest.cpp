// Golden images of a text editor, a masked editor and a button in each look-and-feel kind, each
// normal, focused, hot and disabled.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "components/editors/cxButtons.h"
#include "components/editors/cxMaskEdit.h"
#include "components/editors/cxTextEdit.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

constexpr Integer kCellWidth = 110;
constexpr Integer kCellHeight = 30;

void Paste(orv::TSurface& target, const orv::TSurface& source, Integer left, Integer top) {
  for (int y = 0; y < source.Height() && top + y < target.Height(); ++y)
    for (int x = 0; x < source.Width() && left + x < target.Width(); ++x)
      target.SetPixel(left + x, top + y, source.Pixel(x, y));
}

class EditorsLookTest : public orv::test::HeadlessFormTest, public ::testing::WithParamInterface<TcxLookAndFeelKind> {
 protected:
  EditorsLookTest() : HeadlessFormTest({50, 50, 400, 200}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Form->SetColor(clBtnFace);
    Form->GetFont()->SetName(orv::kTestFontFace);
    Form->GetFont()->SetHeight(-10);
  }
};

TEST_P(EditorsLookTest, EditMaskedEditAndButtonInEveryState) {
  const TcxLookAndFeelKind kind = GetParam();
  auto* edit = new TcxTextEdit(Form.get());
  edit->SetParent(Form.get());
  edit->SetBounds(10, 10, 100, 21);
  edit->SetTextProperty("Москва"_a);
  auto* mask = new TcxMaskEdit(Form.get());
  mask->SetParent(Form.get());
  mask->SetBounds(10, 40, 100, 21);
  mask->GetProperties()->SetEditMask("99.99.9999");
  mask->SetTextProperty("12032024");
  auto* button = new TcxButton(Form.get());
  button->SetParent(Form.get());
  button->SetBounds(10, 70, 90, 25);
  button->SetCaption("Найти"_a);
  // Where the focus rests while another control is shown unfocused.
  auto* rest = new TcxButton(Form.get());
  rest->SetParent(Form.get());
  rest->SetBounds(200, 150, 20, 20);
  for (TcxCustomEdit* e : std::initializer_list<TcxCustomEdit*>{edit, mask}) {
    e->GetStyle()->GetLookAndFeel()->SetKind(kind);
    e->GetStyle()->GetLookAndFeel()->SetNativeStyle(false);
  }
  button->GetLookAndFeel()->SetKind(kind);
  button->GetLookAndFeel()->SetNativeStyle(false);
  Form->Show();
  Run();

  orv::TSurface sheet(4 * kCellWidth, 3 * kCellHeight);
  for (int y = 0; y < sheet.Height(); ++y)
    for (int x = 0; x < sheet.Width(); ++x) sheet.SetPixel(x, y, 0xFFFFFFFF);
  TWinControl* controls[] = {edit, mask, button};
  for (int row = 0; row < 3; ++row) {
    TWinControl* c = controls[row];
    for (int column = 0; column < 4; ++column) {
      rest->SetFocus();
      orv::headless::MouseMove(5, 5);
      Run();
      if (column == 1) c->SetFocus();
      if (column == 2) {
        const TPoint p = c->ClientToScreen(TPoint{c->GetWidth() / 2, c->GetHeight() / 2});
        orv::headless::MouseMove(p.X, p.Y);
      }
      if (column == 3) c->SetEnabled(false);
      Run();
      Paste(sheet, orv::headless::CaptureWindow(c->GetHandle()), column * kCellWidth + 5, row * kCellHeight + 3);
      c->SetEnabled(true);
    }
  }
  static const char* const kNames[] = {"flat", "standard", "ultraflat", "office11"};
  const orv::TImageCheck check = orv::MatchGoldenImage(
      sheet, std::string(ORV_SOURCE_DIR) + "/components/editors/tests/golden/editors-" + kNames[kind] + ".png");
  EXPECT_TRUE(check) << check.Message;
}

INSTANTIATE_TEST_SUITE_P(Kinds, EditorsLookTest, ::testing::Values(lfFlat, lfStandard, lfUltraFlat, lfOffice11));

}  // namespace
