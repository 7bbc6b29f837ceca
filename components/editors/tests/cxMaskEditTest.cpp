// The mask editor on the headless window system: a classic mask filled character by character
// with literals skipped and wrong characters refused, caret keys, Delete and Backspace writing
// blanks, validation; regular-expression masks typed character by character, with forced
// characters appearing by themselves in the extended mode.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/editors/cxMaskEdit.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

class TMaskEditLog : public TObject {
 public:
  void OwnerKey(TObject*, Word& key, TShiftState) { Keys.push_back(key); }
  std::vector<Word> Keys;
};

class MaskEditTest : public orv::test::HeadlessFormTest {
 protected:
  MaskEditTest() : HeadlessFormTest({100, 100, 300, 200}) {}
  TcxMaskEdit* Add(TcxEditMaskKind kind, const AnsiString& mask) {
    auto* e = new TcxMaskEdit(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(10, 10, 150, 21);
    e->GetProperties()->SetMaskKind(kind);
    e->GetProperties()->SetEditMask(mask);
    e->SetOnOwnerKeyDown(TKeyEvent(&Log, &TMaskEditLog::OwnerKey));
    Form->Show();
    Run();
    e->SetFocus();
    Run();
    return e;
  }
  static void Type(const AnsiString& text) {
    orv::headless::TypeText(text);
    Run();
  }
  static void Press(int vk, bool shift = false) {
    orv::headless::PressKey(vk, shift);
    Run();
  }
  static AnsiString Shown(TcxMaskEdit* e) { return e->GetInnerText(); }

  TMaskEditLog Log;
};

TEST_F(MaskEditTest, ADateMaskFillsPositionByPositionAndRefusesWhatDoesNotFit) {
  TcxMaskEdit* e = Add(emkStandard, "99.99.9999");
  EXPECT_EQ(Shown(e), "__.__.____");
  Press(VK_HOME);
  struct Step {
    const char* typed;
    const char* shown;
  };
  for (const Step& s : {Step{"1", "1_.__.____"}, Step{"2", "12.__.____"}, Step{"x", "12.__.____"},
                        Step{"0", "12.0_.____"}, Step{"3", "12.03.____"}, Step{"2024", "12.03.2024"},
                        Step{"5", "12.03.2024"}}) {
    Type(s.typed);
    EXPECT_EQ(Shown(e), s.shown) << "after " << s.typed;
  }
  EXPECT_EQ(e->GetText(), "12.03.2024");
  EXPECT_TRUE(e->ValidateEditValue(false));
  e->PostEditValue();
  EXPECT_EQ(VarToStr(e->GetEditValueProperty()), "12.03.2024");
}

TEST_F(MaskEditTest, CaretKeysSkipLiteralsAndDeleteWritesBlanks) {
  TcxMaskEdit* e = Add(emkStandard, "99.99.9999");
  Press(VK_HOME);
  Type("12032024");
  Press(VK_HOME);
  EXPECT_EQ(e->GetInnerSelStart(), 0);
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  // The dot is skipped.
  EXPECT_EQ(e->GetInnerSelStart(), 3);
  Press(VK_DELETE);
  EXPECT_EQ(Shown(e), "12._3.2024");
  EXPECT_EQ(e->GetInnerSelStart(), 3);
  Press(VK_BACK);
  EXPECT_EQ(Shown(e), "1_._3.2024");
  // Nines are optional digits; zeros are required ones.
  EXPECT_TRUE(e->ValidateEditValue(false));
  e->GetProperties()->SetEditMask("00.00.0000");
  EXPECT_FALSE(e->GetMode()->IsTextValid("1_._3.2024"));
  EXPECT_TRUE(e->GetMode()->IsTextValid("12.03.2024"));
  // Up and Down go to the owner; Left at the first position too.
  Log.Keys.clear();
  Press(VK_UP);
  Press(VK_HOME);
  Press(VK_LEFT);
  EXPECT_EQ(Log.Keys, (std::vector<Word>{VK_UP, VK_LEFT}));
}

TEST_F(MaskEditTest, ARegularExpressionMaskTakesOnlyWhatTheExpressionCanContinueWith) {
  TcxMaskEdit* e = Add(emkRegExpr, "\\d+");
  Type("12a3");
  EXPECT_EQ(Shown(e), "123");
  Press(VK_BACK);
  EXPECT_EQ(Shown(e), "12");
  EXPECT_TRUE(e->GetMode()->IsTextValid("12"));
  EXPECT_FALSE(e->GetMode()->IsTextValid("12a"));
  EXPECT_TRUE(e->GetMode()->IsTextValid(""));
}

TEST_F(MaskEditTest, TheExtendedModeShowsForcedCharactersByThemselves) {
  TcxMaskEdit* e = Add(emkRegExprEx, "\\d\\d-\\d\\d");
  Type("1");
  EXPECT_EQ(Shown(e), "1");
  Type("2");
  EXPECT_EQ(Shown(e), "12-");
  EXPECT_EQ(e->GetInnerSelStart(), 3);
  Type("x");
  EXPECT_EQ(Shown(e), "12-");
  Type("34");
  EXPECT_EQ(Shown(e), "12-34");
  EXPECT_TRUE(e->ValidateEditValue(false));
}

TEST_F(MaskEditTest, AForcedPrefixStandsInTheEmptyTextAndClosesByItself) {
  TcxMaskEdit* e = Add(emkRegExprEx, "'('\\d\\d')'");
  AnsiString empty;
  e->GetMode()->GetEmptyText(empty);
  EXPECT_EQ(empty, "(");
  EXPECT_TRUE(e->GetMode()->IsTextValid("("));
  e->SetTextProperty("");
  Press(VK_END);
  Type("42");
  EXPECT_EQ(Shown(e), "(42)");
}

TEST(cxMaskEditProperties, AMaskLeavesNoLengthAndSpacesAreNoMask) {
  Owned<TcxMaskEditProperties> p(new TcxMaskEditProperties(nullptr));
  p->SetEditMask("   ");
  EXPECT_FALSE(p->IsMasked());
  p->SetEditMask("999");
  EXPECT_TRUE(p->IsMasked());
  p->SetMaxLength(7);
  EXPECT_EQ(p->GetMaxLength(), 0);
  p->SetCharCase(ecUpperCase);
  p->SetCaseInsensitive(false);
  EXPECT_TRUE(p->GetCaseInsensitive());
  p->SetMaskKind(emkRegExpr);
  EXPECT_THROW(p->SetEditMask("(\\d"), EcxMaskEditError);
  EXPECT_EQ(p->GetOwnEditMask(), "999");
  Variant shown;
  p->SetMaskKind(emkStandard);
  p->SetEditMask("99.99");
  p->EditValueToDisplayValue(Variant(AnsiString("1234")), shown, true);
  EXPECT_EQ(VarToStr(shown), "12.34");
}

}  // namespace
