// The mask modes as a properties object uses them without an editor: compiling, the empty text,
// the text shown for a value, the value of a shown text, and the check of a text, for the
// classic mask and both regular-expression masks.
#include "components/editors/cxMaskEdit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Locale.h"

namespace {

AnsiString A(const std::string& utf8) { return orv::Utf8ToAnsi(utf8); }
std::string U(const AnsiString& ansi) { return orv::AnsiToUtf8(ansi); }

class TTestProperties : public orv::IMaskModeProperties {
 public:
  bool CaseInsensitive = true;
  bool IgnoreMaskBlank = false;
  bool GetCaseInsensitive() override { return CaseInsensitive; }
  bool GetIgnoreMaskBlank() override { return IgnoreMaskBlank; }
};

using TModePtr = std::unique_ptr<TcxMaskEditCustomMode, orv::FreeDeleter>;

TModePtr CreateMode(TcxEditMaskKind kind, TTestProperties& properties, const std::string& mask) {
  TcxMaskEditCustomModeClass cls = kind == emkStandard   ? TcxMaskEditStandardMode::StaticClass()
                                   : kind == emkRegExpr ? TcxMaskEditRegExprMode::StaticClass()
                                                        : TcxMaskEditRegExprExMode::StaticClass();
  TModePtr mode(cls.Create(nullptr, &properties));
  EXPECT_EQ(mode->GetKind(), kind);
  mode->Compile(A(mask));
  EXPECT_EQ(mode->GetEditMask(), A(mask));
  return mode;
}

std::string Formatted(TcxMaskEditCustomMode* mode, const std::string& text, bool keep = false) {
  AnsiString result;
  mode->GetFormattedText(A(text), keep, result);
  return U(result);
}

std::string Stripped(TcxMaskEditCustomMode* mode, const std::string& text) {
  AnsiString result;
  mode->GetStrippedText(A(text), false, result);
  return U(result);
}

std::string Empty(TcxMaskEditCustomMode* mode) {
  AnsiString result;
  mode->GetEmptyText(result);
  return U(result);
}

TEST(MaskEditMode, EmptyMasks) {
  for (const AnsiString& mask : {AnsiString(), AnsiString(" "), AnsiString("\t\r\n\f"), AnsiString("\0 ", 2)})
    EXPECT_TRUE(IsEmptyMask(mask));
  EXPECT_FALSE(IsEmptyMask(" 0 "));
  EXPECT_FALSE(IsEmptyMask("\v"));

  // A blank mask compiles nothing: the mode has no positions and keeps texts as they are.
  TTestProperties properties;
  TModePtr mode = CreateMode(emkStandard, properties, "   ");
  EXPECT_FALSE(mode->GetNeedUpdateEditValue());
  EXPECT_EQ(Stripped(mode.get(), "abc"), "abc");
  mode = CreateMode(emkRegExpr, properties, "  ");
  EXPECT_EQ(Formatted(mode.get(), "abc"), "");  // nothing compiled: nothing shown
  EXPECT_TRUE(mode->IsTextValid(""));
  EXPECT_FALSE(mode->IsTextValid("abc"));
}

TEST(MaskEditMode, StandardMaskShowsStripsAndChecks) {
  orv::TLocaleScope locale(orv::TLocaleProfile::Russian);
  TTestProperties properties;
  TModePtr mode = CreateMode(emkStandard, properties, "(999)000-00-00");
  EXPECT_TRUE(mode->GetNeedUpdateEditValue());  // compiled without an inner edit
  EXPECT_EQ(Empty(mode.get()), "(   )   -  -  ");
  EXPECT_EQ(Formatted(mode.get(), "9161234567"), "(916)123-45-67");
  EXPECT_EQ(Formatted(mode.get(), ""), "(___)___-__-__");
  EXPECT_EQ(Stripped(mode.get(), "(916)123-45-67"), "(916)123-45-67");
  EXPECT_EQ(Stripped(mode.get(), "(916)123-4_-__"), "(916)123-4 -  ");
  EXPECT_TRUE(mode->IsTextValid("(916)123-45-67"));
  EXPECT_TRUE(mode->IsTextValid("(   )123-45-67"));  // the area code is optional
  EXPECT_FALSE(mode->IsTextValid("(916)123-45-6_"));
  EXPECT_FALSE(mode->IsTextValid("(___)___-__-__"));
  properties.IgnoreMaskBlank = true;
  EXPECT_TRUE(mode->IsTextValid("(___)___-__-__"));   // nothing filled in
  EXPECT_FALSE(mode->IsTextValid("(916)___-__-__"));  // partly filled: the whole mask applies

  mode = CreateMode(emkStandard, properties, "(999)000-00-00;0");
  EXPECT_EQ(Stripped(mode.get(), "(916)123-45-67"), "9161234567");
  EXPECT_EQ(Formatted(mode.get(), "9161234567"), "(916)123-45-67");
  EXPECT_EQ(Empty(mode.get()), "          ");

  // Case rules convert the stripped value only while the editor's own case is normal.
  mode = CreateMode(emkStandard, properties, ">LL-LL");
  EXPECT_EQ(Stripped(mode.get(), "ab-вг"), "AB-ВГ");
  EXPECT_EQ(Formatted(mode.get(), "abвг"), "AB-ВГ");
  mode->SetCharCase(ecLowerCase);
  EXPECT_EQ(Stripped(mode.get(), "ab-вг"), "ab-вг");
}

struct TRegExprCase {
  std::string Mask;
  bool CaseInsensitive;
  std::string Text;
  bool Valid;
  std::string Shown;  // GetFormattedText
};

TEST(MaskEditMode, RegularExpressionMaskShowsAndChecks) {
  orv::TLocaleScope locale(orv::TLocaleProfile::Russian);
  const std::vector<TRegExprCase> cases = {
      {"\\d+", true, "123", true, "123"},
      {"\\d+", true, "12a", false, "12"},
      {"\\d+", true, "1a2", false, "12"},
      {"\\d+", true, "", true, ""},
      {"[abc]+", false, "aBc", false, "ac"},
      {"[abc]+", true, "aBc", true, "abc"},  // a set member hands back its own case
      {"A+", true, "aa", true, "AA"},
      {"[a-c]+", true, "A", false, ""},      // ranges ignore the case flag
      {"\\d\\d-\\d\\d", true, "12-3", false, "12-3"},
      {"[А-Я][а-я]+(-[А-Я][а-я]+)?", true, "Ростов-на-Дону", false, "Ростов-Дону"},
      {"[А-Я][а-я]+(-[А-Я][а-я]+)?", true, "Улан-Удэ", true, "Улан-Удэ"},
      {"\\d+(\\p\\d\\d?)?", true, "12,5", true, "12,5"},
      {"\\d+(\\p\\d\\d?)?", true, "12.5", false, "125"},
  };
  for (const TRegExprCase& c : cases) {
    TTestProperties properties;
    properties.CaseInsensitive = c.CaseInsensitive;
    TModePtr mode = CreateMode(emkRegExpr, properties, c.Mask);
    EXPECT_EQ(mode->IsTextValid(A(c.Text)), c.Valid) << c.Mask << " " << c.Text;
    EXPECT_EQ(Formatted(mode.get(), c.Text), c.Shown) << c.Mask << " " << c.Text;
    EXPECT_EQ(Stripped(mode.get(), c.Text), c.Text);
    EXPECT_EQ(Empty(mode.get()), "");
  }

  // With IgnoreMaskBlank an incomplete text passes, a wrong one does not.
  TTestProperties properties;
  properties.IgnoreMaskBlank = true;
  TModePtr mode = CreateMode(emkRegExpr, properties, "\\d\\d-\\d\\d");
  EXPECT_TRUE(mode->IsTextValid("12-3"));
  EXPECT_FALSE(mode->IsTextValid("12+3"));

  // The case flag follows the properties when they change.
  properties.CaseInsensitive = false;
  mode = CreateMode(emkRegExpr, properties, "A+");
  EXPECT_EQ(Formatted(mode.get(), "aA"), "A");
  properties.CaseInsensitive = true;
  static_cast<TcxMaskEditRegExprMode*>(mode.get())->ApplyCaseInsensitive();
  EXPECT_EQ(Formatted(mode.get(), "aA"), "AA");
}

TEST(MaskEditMode, WrongRegularExpressionMaskListsItsErrors) {
  TTestProperties properties;
  for (TcxEditMaskKind kind : {emkRegExpr, emkRegExprEx}) {
    try {
      CreateMode(kind, properties, "a**|(b");
      FAIL();
    } catch (const EcxMaskEditError& e) {
      EXPECT_EQ(e.GetMessage(), "Regular expression errors:\r\nMissing ')'");
    }
    TModePtr mode = CreateMode(kind, properties, "\\d");
    try {
      mode->Compile("ab\r\n|*c**");
      FAIL();
    } catch (const EcxMaskEditError& e) {
      EXPECT_EQ(e.GetMessage(),
                "Regular expression errors:\r\nLine2, Char2: Illegal quantifier '*'\r\n"
                "Line2, Char5: The '*' quantifier cannot be applied here");
    }
    // The mode stays usable and checks against nothing compiled.
    EXPECT_TRUE(mode->IsTextValid(""));
    EXPECT_FALSE(mode->IsTextValid("1"));
    EXPECT_EQ(Formatted(mode.get(), "1"), "");
    EXPECT_EQ(Empty(mode.get()), "");
  }
}

TEST(MaskEditMode, ExtendedMaskShowsForcedCharacters) {
  orv::TLocaleScope locale(orv::TLocaleProfile::Russian);
  TTestProperties properties;
  TModePtr mode = CreateMode(emkRegExprEx, properties, "'('\\d\\d')'");
  EXPECT_TRUE(mode->GetNeedUpdateEditValue());
  EXPECT_EQ(Empty(mode.get()), "(");
  EXPECT_TRUE(mode->IsTextValid("("));
  EXPECT_FALSE(mode->IsTextValid("(4"));
  EXPECT_TRUE(mode->IsTextValid("(42)"));
  EXPECT_TRUE(mode->IsTextValid(""));
  EXPECT_EQ(Formatted(mode.get(), ""), "(");
  EXPECT_EQ(Formatted(mode.get(), "(42"), "(42)");

  struct TCase {
    std::string Mask, Text, Shown, Empty;
  };
  for (const TCase& c : std::vector<TCase>{
           {"\\d\\d-\\d\\d", "12", "12-", ""},
           {"\\d\\d-\\d\\d", "12-34", "12-34", ""},
           {"\\d\\d-\\d\\d", "1", "1", ""},
           {"\\d\\d/\\d\\d/\\d{4}", "1205", "12.", ""},  // forced separators are the locale's
           {"\\d\\d/\\d\\d/\\d{4}", "12.05", "12.05.", ""},
           {"'+7 ('\\d{3}') '\\d{3}-\\d\\d-\\d\\d", "+7 (916", "+7 (916) ", "+7 ("},
           {"г\\.\\s?[А-Я][а-я]+", "", "г.", "г."},
           {"ab|ac", "", "a", "a"},  // forced up to the choice
           {"(ab)?", "", "", ""},    // already complete: nothing forced
       }) {
    mode = CreateMode(emkRegExprEx, properties, c.Mask);
    EXPECT_EQ(Formatted(mode.get(), c.Text), c.Shown) << c.Mask << " " << c.Text;
    EXPECT_EQ(Empty(mode.get()), c.Empty) << c.Mask;
  }
}

}  // namespace
