// The calculator: results of key sequences, the error state, memory keys, the button layout and
// its scaling, and typing on the headless window system.
#include <gtest/gtest.h>

#include "components/editors-more/cxCalc.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "platform/runtime/Locale.h"

using namespace edmore_test;

namespace {

class CalcTest : public FormTest {
 protected:
  TcxCalculator* Add() {
    auto* c = new TcxCalculator(Form.get());
    c->SetParent(Form.get());
    c->SetLeft(4);
    c->SetTop(4);
    return c;
  }
  static void Press(TcxCustomCalculator* c, const char* keys) {
    for (const char* k = keys; *k; ++k) {
      TcxCalcButtonKind code = cbNone;
      switch (*k) {
        case '+': code = cbAdd; break;
        case '-': code = cbSub; break;
        case '*': code = cbMul; break;
        case '/': code = cbDiv; break;
        case '%': code = cbPercent; break;
        case '=': code = cbEqual; break;
        case '.': code = cbDecimal; break;
        case 'q': code = cbSqrt; break;
        case 'r': code = cbRev; break;
        case 'n': code = cbSign; break;
        case 'b': code = cbBack; break;
        case 'c': code = cbClear; break;
        default: code = TcxCalcButtonKind(cbNum0 + (*k - '0')); break;
      }
      c->ExecuteButton(code);
    }
  }
};

}  // namespace

TEST_F(CalcTest, ResultsOfKeySequences) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  struct Case {
    const char* keys;
    const char* display;
  };
  const Case cases[] = {
      {"1+2=", "3"},        {"1+2==", "3"},       {"12.5*3=", "37.5"},  {"50+10%", "55"},   {"200*5%", "10"},
      {"9q", "3"},          {"4r", "0.25"},       {"7n", "-7"},         {"123b", "12"},     {"5bb", "0"},
      {"2-5=", "-3"},       {"1/3=", "0.333333333333333"}, {"1.2.3", "1.23"}, {"6/2*3=", "9"},
  };
  for (const Case& c : cases) {
    TcxCalculator* calc = Add();
    Press(calc, c.keys);
    EXPECT_EQ(calc->GetDisplayText(), c.display) << c.keys;
    calc->Free();
  }
}

TEST_F(CalcTest, DivisionByZeroShowsTheErrorUntilCleared) {
  TcxCalculator* calc = Add();
  calc->SetBeepOnError(false);
  Press(calc, "5/0=");
  EXPECT_EQ(calc->GetEntryState(), csError);
  EXPECT_EQ(calc->GetDisplayText(), "Error");
  Press(calc, "7+");
  EXPECT_EQ(calc->GetDisplayText(), "Error") << "every button but the clear ones repeats the error";
  EXPECT_EQ(calc->GetCalcValue(), 0);
  calc->ExecuteButton(cbCancel);
  EXPECT_EQ(calc->GetEntryState(), csFirst);
  EXPECT_EQ(calc->GetDisplayText(), "0");
  Press(calc, "0r");
  EXPECT_EQ(calc->GetEntryState(), csError);
  calc->ExecuteButton(cbClear);
  Press(calc, "4nq");
  EXPECT_EQ(calc->GetEntryState(), csError) << "no root of a negative number";
}

TEST_F(CalcTest, MemoryKeys) {
  TcxCalculator* calc = Add();
  calc->ExecuteButton(cbMS);
  EXPECT_TRUE(calc->GetButton(cbMC).Disabled);
  EXPECT_TRUE(calc->GetButton(cbMR).Disabled);
  Press(calc, "4");
  calc->ExecuteButton(cbMP);
  EXPECT_EQ(calc->GetMemory(), 4);
  EXPECT_FALSE(calc->GetButton(cbMR).Disabled);
  Press(calc, "6");
  calc->ExecuteButton(cbMP);
  EXPECT_EQ(calc->GetMemory(), 10);
  Press(calc, "c");
  calc->ExecuteButton(cbMR);
  EXPECT_EQ(calc->GetDisplayText(), "10") << "the memory survives clearing";
  Press(calc, "+1=");
  EXPECT_EQ(calc->GetDisplayText(), "11");
  calc->ExecuteButton(cbMC);
  EXPECT_EQ(calc->GetMemory(), 0);
  EXPECT_TRUE(calc->GetButton(cbMC).Disabled);
}

TEST_F(CalcTest, PrecisionLimitsTheDigits) {
  TcxCalculator* calc = Add();
  calc->SetBeepOnError(false);
  Press(calc, "12345678901234567");
  EXPECT_EQ(calc->GetDisplayText().size(), 15u);
  calc->SetPrecision(4);
  Press(calc, "c12345");
  EXPECT_EQ(calc->GetDisplayText(), "1234");
}

TEST_F(CalcTest, LayoutAndScaling) {
  TcxCalculator* calc = Add();
  EXPECT_EQ(calc->GetButton(cbBack).Bounds, (TRect{46, 3, 93, 25}));
  EXPECT_EQ(calc->GetButton(cbClear).Bounds, (TRect{146, 3, 193, 25}));
  EXPECT_EQ(calc->GetButton(cbMC).Bounds, (TRect{3, 28, 31, 50}));
  EXPECT_EQ(calc->GetButton(cbNum7).Bounds.Left, 41);
  EXPECT_EQ(calc->GetButton(cbEqual).Bounds, (TRect{165, 103, 193, 125}));
  Show();
  // Shown at 198 x 131, the auto-sized buttons settle one pixel higher.
  EXPECT_EQ(calc->GetButtonHeight(), 23);
  EXPECT_EQ(calc->GetPanelWidth(), 202);
  EXPECT_EQ(calc->GetPanelHeight(), 133);
  calc->SetBounds(4, 4, 396, 262);
  Run();
  EXPECT_EQ(calc->GetButtonHeight(), 45);
  EXPECT_EQ(calc->GetButtonWidth(), 57);
  EXPECT_EQ(calc->GetHorzGap(), 6);
  EXPECT_EQ(calc->GetWideButtonWidth(), 97);
  EXPECT_EQ(calc->GetPanelWidth(), 394);
  EXPECT_EQ(calc->GetPanelHeight(), 261);
}

TEST_F(CalcTest, TypedKeysAndClicksAct) {
  TcxCalculator* calc = Add();
  Show();
  calc->SetFocus();
  Run();
  orv::headless::TypeText("12");
  orv::headless::TypeText("*");
  orv::headless::TypeText("3");
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_EQ(calc->GetDisplayText(), "36");
  const TRect r = calc->GetButton(cbSign).Bounds;
  const TPoint p = calc->ClientToScreen(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  orv::headless::MouseMove(p.X, p.Y);
  orv::headless::MouseDown();
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(calc->GetDisplayText(), "-36");
  ExpectGolden(calc, "calculator-standard");
}
