// The mask regular-expression engine: what each mask accepts, the errors of malformed masks
// with their positions, forced characters, case handling and masks that would otherwise loop
// or exhaust memory.
#include "components/editors/cxRegExpr.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
// The standard matcher, the reference of one test, trips a false uninitialised-use warning of
// the compiler in sanitizer builds.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <regex>
#include <string>
#include <vector>

#include "components/editors/cxEditConsts.h"
#include "components/foundation/cxClasses.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Locale.h"

namespace {

// Tables are written in UTF-8; the engine works on Windows-1251.
AnsiString RegA(const std::string& utf8) { return orv::Utf8ToAnsi(utf8); }

using TRegExprPtr = std::unique_ptr<TcxRegExpr, orv::FreeDeleter>;

void CompileText(TcxRegExpr* expr, const AnsiString& mask) {
  TStringStream stream(mask);
  expr->Compile(&stream);
}

TRegExprPtr Compiled(const std::string& mask, bool caseInsensitive = false) {
  TRegExprPtr expr(new TcxRegExpr);
  expr->SetCaseInsensitive(caseInsensitive);
  CompileText(expr.get(), RegA(mask));
  return expr;
}

// The positioned messages of a failed compilation, one per line; empty when it compiles.
std::string CompileErrors(const std::string& mask) {
  TcxRegExpr expr;
  try {
    CompileText(&expr, RegA(mask));
  } catch (const EcxRegExprError& e) {
    EXPECT_EQ(e.GetErrors(), expr.GetErrors());
    EXPECT_TRUE(e.GetMessage().empty());
    EXPECT_FALSE(expr.IsCompiled());
    std::string result;
    for (Integer i = 0; i < e.GetErrors()->GetCount(); ++i) {
      if (i > 0) result += "\n";
      result += orv::AnsiToUtf8(e.GetErrors()->GetItem(i)->GetPositionedMessage());
    }
    return result;
  }
  EXPECT_TRUE(expr.IsCompiled());
  return std::string();
}

// How the expression takes a text: the characters accepted before the first refusal, and
// whether what was taken is complete.
struct TOutcome {
  size_t Taken;
  bool Complete;
  bool operator==(const TOutcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TOutcome& o) {
  return os << "{taken " << o.Taken << (o.Complete ? ", complete}" : ", incomplete}");
}

TOutcome Feed(TcxRegExpr* expr, const AnsiString& text) {
  expr->Restart();
  size_t taken = 0;
  for (char c : text) {
    if (!expr->Step(c)) break;
    ++taken;
  }
  return {taken, expr->IsAccepting()};
}

struct TMatchCase {
  std::string Mask;
  std::string Text;
  TOutcome Expected;
};

constexpr bool kComplete = true;
constexpr bool kIncomplete = false;

class RegExprMatch : public ::testing::Test {
 protected:
  orv::TLocaleScope FLocale{orv::TLocaleProfile::Russian};  // , decimal; . date; : time

  void Check(const std::vector<TMatchCase>& cases, bool caseInsensitive = false) {
    for (const TMatchCase& c : cases) {
      TRegExprPtr expr = Compiled(c.Mask, caseInsensitive);
      EXPECT_EQ(Feed(expr.get(), RegA(c.Text)), c.Expected) << "mask " << c.Mask << ", text \"" << c.Text << "\"";
    }
  }
};

TEST_F(RegExprMatch, LiteralsQuotesAndWhiteSpace) {
  Check({
      {"ab", "ab", {2, kComplete}},
      {"ab", "a", {1, kIncomplete}},
      {"ab", "ac", {1, kIncomplete}},
      {"a b", "ab", {2, kComplete}},  // white space outside quotes is skipped
      {"a b", "a b", {1, kIncomplete}},
      {"a\r\n\tb", "ab", {2, kComplete}},
      {"a' 'b", "a b", {3, kComplete}},  // a quoted space matches one space
      {"'it''s'", "it's", {4, kComplete}},  // a doubled quote is one quote
      {"''''", "'", {1, kComplete}},
      {"]}^-,", "]}^-,", {5, kComplete}},  // outside their constructs these are literals
      {"\\(\\)\\*\\.", "()*.", {4, kComplete}},
      {"\\0", "0", {1, kComplete}},
      {"a\\", "a", {1, kComplete}},  // a trailing backslash is dropped
  });
}

TEST_F(RegExprMatch, EscapesClassesAndSeparators) {
  Check({
      {"\\x41\\x6a", "Aj", {2, kComplete}},
      {"\\t\\n\\r\\f\\a\\e", "\t\n\r\f\a\x1B", {6, kComplete}},
      {"\\d\\p\\d", "1,5", {3, kComplete}},   // the locale's decimal separator
      {"\\d\\p\\d", "1.5", {1, kIncomplete}},
      {"\\d+", "2026", {4, kComplete}},
      {"\\d+", "12a", {2, kComplete}},
      {"\\D", "7", {0, kIncomplete}},
      {"\\D", "x", {1, kComplete}},
      {"\\w+", "abc_09", {6, kComplete}},
      {"\\w+", "Ёлки_Палки", {10, kComplete}},  // letters of the locale are identifier letters
      {"\\w", "-", {0, kIncomplete}},
      {"\\W", "-", {1, kComplete}},
      {"\\W", "ж", {0, kIncomplete}},
      {"\\s", " ", {1, kComplete}},
      {"\\s", "\v", {0, kIncomplete}},        // the vertical tab is no space
      {"\\S", "\v", {1, kComplete}},
      {".", "ф", {1, kComplete}},
      {"\\d\\d/\\d\\d", "12.05", {5, kComplete}},  // the slash is the date separator
      {"\\d\\d/\\d\\d", "12/05", {2, kIncomplete}},
      {"\\d\\d\\/\\d\\d", "12/05", {5, kComplete}},  // an escaped slash is a slash
      {"\\d\\d:\\d\\d", "12:05", {5, kComplete}},
  });
}

TEST_F(RegExprMatch, SetsAndRanges) {
  Check({
      {"[abc]+", "cab", {3, kComplete}},
      {"[abc]+", "cad", {2, kComplete}},
      {"[a-]", "-", {1, kComplete}},
      {"[a-]", "a", {1, kComplete}},
      {"[-a]", "-", {1, kComplete}},
      {"[-a]", "b", {0, kIncomplete}},
      {"[^0-9]", "x", {1, kComplete}},
      {"[^0-9]", "5", {0, kIncomplete}},
      {"[a^]", "^", {1, kComplete}},          // a caret that is not first is a character
      {"[.]", ".", {1, kComplete}},
      {"[.]", "x", {0, kIncomplete}},
      {"[ a b ]", " ", {0, kIncomplete}},     // white space inside brackets is skipped too
      {"[' ']", " ", {1, kComplete}},
      {"[\\d_]+", "1_2", {3, kComplete}},
      {"[a-c x-z]+", "abyz", {4, kComplete}},
      {"[а-яё]+", "ёжик", {4, kComplete}},
      {"[А-Я][а-я]+", "Москва", {6, kComplete}},
      {"[А-Я][а-я]+", "москва", {0, kIncomplete}},
      {"[/:]", ".", {1, kComplete}},
      {"[/:]", ":", {1, kComplete}},
      {"[\\x30-\\x32]", "2", {1, kComplete}},
      {"[\\x30-\\x32]", "3", {0, kIncomplete}},
  });
}

TEST_F(RegExprMatch, AlternativesGroupsAndQuantifiers) {
  Check({
      {"ab|cd", "cd", {2, kComplete}},
      {"ab|ac", "ac", {2, kComplete}},
      {"(ab|c)d", "abd", {3, kComplete}},
      {"(ab|c)d", "cd", {2, kComplete}},
      {"ab?c", "ac", {2, kComplete}},
      {"ab?c", "abc", {3, kComplete}},
      {"ab*c", "abbbc", {5, kComplete}},
      {"ab+c", "ac", {1, kIncomplete}},
      {"(ab)+", "ababa", {5, kIncomplete}},
      {"(ab)*", "", {0, kComplete}},
      {"a?", "", {0, kComplete}},
      {"a+*", "aaa", {3, kComplete}},         // (a+)*
      {"a??", "a", {1, kComplete}},           // (a?)?
      {"x(a?)", "x", {1, kComplete}},  // a group whose content may be empty may be left out
      {"x(a?|b)", "x", {1, kComplete}},
      {"x(a|b)", "x", {1, kIncomplete}},
      {"(a*)", "", {0, kComplete}},
      {"x(a?)(b*)y", "xy", {2, kComplete}},
      {"x(a?)", "xa", {2, kComplete}},
      {"x(a?)?", "x", {1, kComplete}},
      {"xa?", "x", {1, kComplete}},
      {"a{3}", "aaa", {3, kComplete}},
      {"a{3}", "aaaa", {3, kComplete}},
      {"a{3}", "aa", {2, kIncomplete}},
      {"a{2,}", "a", {1, kIncomplete}},
      {"a{2,}", "aaaaa", {5, kComplete}},
      {"a{2,4}", "aa", {2, kComplete}},
      {"a{2,4}", "aaaa", {4, kComplete}},
      {"a{2,4}", "aaaaa", {4, kComplete}},
      {"a{ 2 , 4 }", "aaa", {3, kComplete}},
      {"a{0}b", "b", {1, kComplete}},
      {"a{0}b", "a", {0, kIncomplete}},
      {"(ab){2}", "abab", {4, kComplete}},
      {"a+{2}", "aaa", {3, kComplete}},       // (a+)(a+)
      {"(ab)\\1", "abab", {4, kComplete}},    // the pattern again
      {"(a|b)\\1", "ab", {2, kComplete}},     // not the same text
      {"(a(b)\\2)", "abb", {3, kComplete}},
      {"(ab){2}\\1", "ababab", {6, kComplete}},  // a counted group can still be referred to
      {"((a)b){0}\\2\\1c", "aabc", {4, kComplete}},
      {"\\d{2}-\\d{2}", "12-34", {5, kComplete}},
      {"(\\+7)?\\d{3}", "+7123", {5, kComplete}},
      {"(\\+7)?\\d{3}", "123", {3, kComplete}},
  });
}

TEST_F(RegExprMatch, CaseInsensitiveLettersOfTheLocale) {
  Check(
      {
          {"Москва", "МОСКВА", {6, kComplete}},
          {"Москва", "москва", {6, kComplete}},
          {"ёж", "ЁЖ", {2, kComplete}},
          {"[abc]+", "ABC", {3, kComplete}},
          {"[a-c]+", "A", {0, kIncomplete}},  // ranges compare bytes, whatever the case flag
          {"[а-я]", "Я", {0, kIncomplete}},
      },
      true);
  Check({
      {"Москва", "москва", {0, kIncomplete}},
      {"[abc]+", "A", {0, kIncomplete}},
  });
}

TEST(RegExprCase, SymbolHandsBackItsOwnCase) {
  TRegExprPtr expr = Compiled("A+[abc]Ж", true);
  char c = 'a';
  EXPECT_TRUE(expr->Step(c));
  EXPECT_EQ(c, 'A');
  c = 'B';
  EXPECT_TRUE(expr->Step(c));
  EXPECT_EQ(c, 'b');
  c = RegA("ж")[0];
  EXPECT_TRUE(expr->Step(c));
  EXPECT_EQ(c, RegA("Ж")[0]);

  // StepText keeps the characters as they stand in the text.
  AnsiString accepted;
  expr->Restart();
  expr->StepText("aaBq", accepted);
  EXPECT_EQ(accepted, "aaB");
}

TEST(RegExprClasses, SeparatorsFollowTheLocaleAtTheTimeOfTheTest) {
  orv::TLocaleScope locale(orv::TLocaleProfile::Russian);
  TcxRegExprTimeSeparator time;
  TcxRegExprDateSeparator date;
  char c = ':';
  EXPECT_TRUE(time.Matches(c, false));
  FormatSettings.TimeSeparator = '-';
  EXPECT_FALSE(time.Matches(c, false));
  c = '-';
  EXPECT_TRUE(time.Matches(c, false));
  c = '.';
  EXPECT_TRUE(date.Matches(c, false));

  TcxRegExprSpace space(false);
  c = '\0';
  EXPECT_TRUE(space.Matches(c, false));
  c = '\v';
  EXPECT_FALSE(space.Matches(c, false));
}

// ---- Malformed masks ------------------------------------------------------------------------

struct TErrorCase {
  std::string Mask;
  std::string Errors;
};

TEST(RegExprErrors, MessagesAndPositions) {
  const std::vector<TErrorCase> cases = {
      {"", "The source stream is empty"},
      {" \t\r\n", "The source stream is empty"},
      {"(ab", "Missing ')'"},  // no position: no "Line" prefix
      {"ab)", "Unnecessary ')'"},
      {")(", "Line1, Char1: Illegal ')'\nThe alternative should not be empty"},
      {"[ab", "Line1, Char4: Missing ']'"},
      {"[a-", "Line1, Char4: Missing ']'"},
      {"a{2", "Line1, Char4: Missing '}'"},
      {"'ab", "Line1, Char4: Missing ' ' '"},
      {"a{x}", "Line1, Char3: Illegal 'x'"},
      {"a{'}", "Line1, Char3: Illegal ' ' '"},
      {"a\\ b", "Line1, Char3: The space character is not allowed after '\\'"},
      {"\\x4", "Line1, Char4: Hexadecimal number expected"},
      {"\\x4g", "Line1, Char4: Hexadecimal number expected but 'g' found"},
      {"a||b", "Line1, Char3: The alternative should not be empty"},
      {"a|", "The alternative should not be empty"},
      {"|a", "Line1, Char1: The alternative should not be empty"},
      {"''", "The alternative should not be empty"},
      {"()", "Line1, Char2: The block should not be empty"},
      {"(a|)", "Line1, Char4: The block should not be empty"},
      {"*a", "Line1, Char1: Illegal quantifier '*'"},
      {"(+)", "Line1, Char2: Illegal quantifier '+'"},
      {"a**", "Line1, Char3: The '*' quantifier cannot be applied here"},
      {"a?+", "Line1, Char3: The '+' quantifier cannot be applied here"},
      {"(a?)*", "Line1, Char5: The '*' quantifier cannot be applied here"},
      {"a*{2}", "Line1, Char5: The parameter quantifier cannot be applied here"},
      {"a{3,2}", "Line1, Char5: Incorrect parameter quantifier\nLine1, Char6: Illegal '}'"},
      {"{2}", "Line1, Char1: Incorrect parameter quantifier\nLine1, Char2: Illegal integer value\n"
              "Line1, Char3: Illegal '}'"},
      {"a{,2}", "Line1, Char3: Incorrect parameter quantifier\nLine1, Char4: Illegal integer value\n"
                "Line1, Char5: Illegal '}'"},
      {"\\2(a)", "Line1, Char1: Too big reference number"},
      {"(a)\\2", "Line1, Char4: Too big reference number"},
      {"[]", "Line1, Char2: Can't create empty enumeration"},
      {"[^]", "Line1, Char3: Can't create empty enumeration"},
      {"[a-a]", "Line1, Char4: The starting character of the subrange must be less than the finishing one"},
      {"[z-a]", "Line1, Char4: The starting character of the subrange must be less than the finishing one"},
      {"[a-c-e]", "Line1, Char5: Illegal '-'"},
      {"ab\r\nc[", "Line2, Char3: Missing ']'"},
      // Several errors of one phase come together.
      {"*a|+", "Line1, Char1: Illegal quantifier '*'\nLine1, Char4: Illegal quantifier '+'"},
  };
  for (const TErrorCase& c : cases) EXPECT_EQ(CompileErrors(c.Mask), c.Errors) << "mask " << c.Mask;
}

TEST(RegExprErrors, MessagesComeFromTheEditorTexts) {
  cxSetResourceString(&scxRegExprLine, "Строка"_a);
  cxSetResourceString(&scxRegExprMissing, "Нет '%s'"_a);
  EXPECT_EQ(CompileErrors("[ab"), "Строка1, Char4: Нет ']'");
  cxSetResourceString(&scxRegExprLine, AnsiString(scxRegExprLine.DefaultText));
  cxSetResourceString(&scxRegExprMissing, AnsiString(scxRegExprMissing.DefaultText));
}

TEST(RegExprErrors, NoStreamAndRecompilation) {
  TcxRegExpr expr;
  char never = 'a';
  EXPECT_THROW(expr.Step(never), EcxEditError);
  try {
    expr.Compile(nullptr);
    FAIL();
  } catch (const EcxRegExprError& e) {
    ASSERT_EQ(e.GetErrors()->GetCount(), 1);
    EXPECT_EQ(e.GetErrors()->GetItem(0)->GetMessage(), "The source stream is not assigned");
  }

  CompileText(&expr, "ab");
  ASSERT_TRUE(expr.IsCompiled());
  ASSERT_NE(expr.GetSource(), nullptr);
  EXPECT_EQ(expr.GetSource()->GetSize(), 2);
  EXPECT_EQ(expr.GetErrors()->GetCount(), 0);

  // A wrong second mask leaves the object uncompiled, with that attempt's errors only.
  EXPECT_THROW(CompileText(&expr, "a**"), EcxRegExprError);
  EXPECT_FALSE(expr.IsCompiled());
  EXPECT_EQ(expr.GetSource(), nullptr);
  EXPECT_EQ(expr.GetErrors()->GetCount(), 1);
  char c = 'a';
  try {
    expr.Step(c);
    FAIL();
  } catch (const EcxEditError& e) {
    EXPECT_EQ(e.GetMessage(), "Regular expression is not compiled");
  }
  EXPECT_THROW(expr.StepBack(), EcxEditError);
  EXPECT_THROW(expr.Restart(), EcxEditError);
  EXPECT_THROW(expr.IsAccepting(), EcxEditError);

  CompileText(&expr, "b");
  EXPECT_EQ(Feed(&expr, "b"), (TOutcome{1, true}));
  EXPECT_EQ(expr.GetErrors()->GetCount(), 0);
}

TEST(RegExprErrors, HostileMasksAreRefusedOrBounded) {
  // Counts that would unfold into millions of positions are refused, not built.
  EXPECT_EQ(CompileErrors("a{5000}"), "Line1, Char7: Incorrect parameter quantifier");
  EXPECT_EQ(CompileErrors("a{99999999999999999999}"), "Line1, Char23: Incorrect parameter quantifier");
  EXPECT_EQ(CompileErrors("(a{70}){70}"), "Line1, Char11: Incorrect parameter quantifier");
  EXPECT_EQ(CompileErrors("(a{30})\\1\\1\\1"), "");
  EXPECT_FALSE(CompileErrors("(x{2000})\\1\\1").empty());
  // Deep nesting is refused before it can exhaust the stack.
  std::string deep = std::string(1100, '(') + "a" + std::string(1100, ')');
  EXPECT_NE(CompileErrors(deep).find("Illegal '('"), std::string::npos);
  std::string fine = std::string(500, '(') + "a" + std::string(500, ')');
  EXPECT_EQ(CompileErrors(fine), "");
  // Quantifiers on quantified items nest groups as deeply.
  EXPECT_NE(CompileErrors("a+" + std::string(2000, '?')).find("Illegal quantifier '?'"), std::string::npos);
  std::string counted = "a";
  for (int i = 0; i < 2000; ++i) counted += "{1}";
  EXPECT_NE(CompileErrors(counted).find("Incorrect parameter quantifier"), std::string::npos);
  EXPECT_NE(CompileErrors("(a{0,1020})((((\\1))))").find("Too big reference number"), std::string::npos);

  // Empty-matching content repeated without end forms cycles of junctions; stepping ends.
  for (const char* mask : {"(a?){2,}", "(a*){1,}b", "(a?b?){3,}", "((a?)?){2,}"}) {
    TRegExprPtr expr = Compiled(mask);
    TOutcome outcome = Feed(expr.get(), "aaaa");
    EXPECT_EQ(outcome.Taken, 4u) << mask;
  }
  TRegExprPtr expr = Compiled("(a*){1,}b");
  EXPECT_EQ(Feed(expr.get(), "aab"), (TOutcome{3, true}));
  EXPECT_EQ(Feed(expr.get(), "b"), (TOutcome{1, true}));

  // Paths that multiply (each group doubles them) keep the sets small.
  expr = Compiled("(a|a){200}");
  EXPECT_EQ(Feed(expr.get(), AnsiString(200, 'a')), (TOutcome{200, true}));
  EXPECT_LE(expr->GetAutomat()->GetCurrent()->GetCount(), 2);
  expr = Compiled("a{0,1000}");
  EXPECT_EQ(Feed(expr.get(), AnsiString(1000, 'a')), (TOutcome{1000, true}));
}

TEST(RegExprErrors, CopiesOfGroupsWithoutPositionsAreBoundedToo) {
  // A group with no position of its own still costs a node per copy: counted repetitions of
  // such groups, or of large sets, are refused at the count's closing brace.
  std::string bigSet = "[";
  for (int i = 0; i < 500; ++i) bigSet += "a-b";
  bigSet += "]";
  const std::pair<std::string, std::string> refused[] = {
      {"((a{0}){1000}){1000}", "Line1, Char20: Incorrect parameter quantifier"},
      {"(){1000000}", "Line1, Char2: The block should not be empty\nLine1, Char11: Incorrect parameter quantifier"},
      {"((){100000}){100000}",
       "Line1, Char3: The block should not be empty\nLine1, Char11: Incorrect parameter quantifier\n"
       "Line1, Char20: Incorrect parameter quantifier"},
      {"(a{0}){99999}", "Line1, Char13: Incorrect parameter quantifier"},
      {bigSet + "{1000}", "Line1, Char" + std::to_string(bigSet.size() + 6) + ": Incorrect parameter quantifier"},
      {"((a{4000}){0}){1}((a{4000}){0}){1}((a{4000}){0}){1}((a{4000}){0}){1}((a{4000}){0}){1}",
       "Line1, Char77: Incorrect parameter quantifier"},
  };
  for (const auto& [mask, errors] : refused) EXPECT_EQ(CompileErrors(mask), errors) << mask;
  // Repetitions of that kind within the bound compile.
  for (const char* mask : {"((a{0}){10}){10}b", "[0-9a-f]{64}", "(a|b|c){1,300}", "(\\d\\d)\\1\\1\\1"})
    EXPECT_EQ(CompileErrors(mask), "") << mask;
}

// ---- Lexemes ---------------------------------------------------------------------------------

TEST(RegExprLexer, KindsAndPositions) {
  TRegExprPtr expr = Compiled("a\\d{1,3}\r\n[^x-z]./:(b)\\1");
  struct TExpected {
    Integer Code, Line, Column;
    const char* Value;
  };
  const std::vector<TExpected> expected = {
      {lkSymbol, 1, 1, "a"},   {lkDigit, 1, 2, "d"},        {lkOperator, 1, 4, "{"},
      {lkInteger, 1, 5, "1"},  {lkOperator, 1, 6, ","},     {lkInteger, 1, 7, "3"},
      {lkOperator, 1, 8, "}"}, {lkOperator, 2, 1, "["},     {lkOperator, 2, 2, "^"},
      {lkSymbol, 2, 3, "x"},   {lkOperator, 2, 4, "-"},     {lkSymbol, 2, 5, "z"},
      {lkOperator, 2, 6, "]"}, {lkAll, 2, 7, "."},          {lkDateSeparator, 2, 8, "/"},
      {lkTimeSeparator, 2, 9, ":"}, {lkOperator, 2, 10, "("}, {lkSymbol, 2, 11, "b"},
      {lkOperator, 2, 12, ")"}, {lkReference, 2, 13, "1"},
  };
  TcxLexems* lexems = expr->GetLexems();
  ASSERT_EQ(lexems->GetCount(), static_cast<Integer>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    TcxLexem l = lexems->GetLexem(static_cast<Integer>(i));
    EXPECT_EQ(l.Code, expected[i].Code) << i;
    EXPECT_EQ(l.Line, expected[i].Line) << i;
    EXPECT_EQ(l.Column, expected[i].Column) << i;
    EXPECT_EQ(l.Value, expected[i].Value) << i;
  }
}

}  // namespace

namespace {

// ---- Forced characters -----------------------------------------------------------------------

// Records the forced-character notices of an expression.
class TForcedLog : public TObject {
 public:
  void Added(char ch) { Text += "+" + AnsiString(1, ch); }
  void Removed() { Text += "-"; }
  void Attach(TcxRegExpr* expr) {
    expr->SetOnForcedCharAdded(TcxRegExprForcedCharAddedEvent(this, &TForcedLog::Added));
    expr->SetOnForcedCharRemoved(TcxRegExprForcedCharRemovedEvent(this, &TForcedLog::Removed));
  }
  std::string Take() {
    std::string result = Text;
    Text.clear();
    return result;
  }
  AnsiString Text;
};

TEST(RegExprForced, HyphenFollowsTheDigitsAndGoesBackWithThem) {
  TcxRegExpr expr;
  TForcedLog log;
  log.Attach(&expr);
  expr.SetInsertForcedChars(true);
  CompileText(&expr, "\\d\\d-\\d\\d");
  EXPECT_EQ(log.Take(), "");
  char c = '1';
  ASSERT_TRUE(expr.Step(c));
  EXPECT_EQ(log.Take(), "");
  c = '2';
  ASSERT_TRUE(expr.Step(c));
  EXPECT_EQ(log.Take(), "+-");
  EXPECT_FALSE(expr.IsAccepting());
  c = '-';
  EXPECT_FALSE(expr.Step(c));  // already there

  // One step back removes the hyphen and the 2 together.
  EXPECT_TRUE(expr.StepBack());
  EXPECT_EQ(log.Take(), "-");
  c = '3';
  ASSERT_TRUE(expr.Step(c));
  EXPECT_EQ(log.Take(), "+-");
  for (char d : {'4', '5'}) ASSERT_TRUE(expr.Step(d));
  EXPECT_TRUE(expr.IsAccepting());
  EXPECT_EQ(log.Take(), "");

  // Without forced characters the hyphen is typed like any other.
  expr.SetInsertForcedChars(false);
  expr.Restart();
  AnsiString accepted;
  expr.StepText("12-34", accepted);
  EXPECT_EQ(accepted, "12-34");
  EXPECT_TRUE(expr.IsAccepting());
  EXPECT_EQ(log.Take(), "");
}

TEST(RegExprForced, ForcedPrefixIsConsumedAtCompileAndCannotBeSteppedOver) {
  TcxRegExpr expr;
  TForcedLog log;
  log.Attach(&expr);
  expr.SetInsertForcedChars(true);
  CompileText(&expr, "'('\\d\\d')'");
  EXPECT_EQ(log.Take(), "+(");
  EXPECT_FALSE(expr.IsAtStart());
  char c = '4';
  ASSERT_TRUE(expr.Step(c));
  c = '2';
  ASSERT_TRUE(expr.Step(c));
  EXPECT_EQ(log.Take(), "+)");
  EXPECT_TRUE(expr.IsAccepting());

  expr.Restart();
  EXPECT_TRUE(expr.IsAtStart());
  EXPECT_EQ(log.Take(), "");  // a restart forces nothing by itself...
  expr.SetInsertForcedChars(true);
  EXPECT_EQ(log.Take(), "+(");  // ...switching forced characters on again does
  EXPECT_FALSE(expr.StepBack());
  EXPECT_EQ(log.Take(), "-");
  EXPECT_TRUE(expr.IsAtStart());
}

TEST(RegExprForced, StopsAtChoicesClassesAndCompleteTexts) {
  TcxRegExpr expr;
  TForcedLog log;
  log.Attach(&expr);
  CompileText(&expr, "ab|ac");
  TcxRegExprAutomat* automat = expr.GetAutomat();
  TcxRegExprStates* next = automat->GetNextEntryStates();
  char c = 0;
  EXPECT_TRUE(next->GetSingleChar(c));  // the same symbol in two states
  EXPECT_EQ(c, 'a');
  next->Free();
  expr.SetInsertForcedChars(true);
  EXPECT_EQ(log.Take(), "+a");
  next = automat->GetNextEntryStates();
  EXPECT_FALSE(next->GetSingleChar(c));  // b or c
  next->Free();

  // An expression whose start is already complete forces nothing.
  CompileText(&expr, "(ab)?");
  EXPECT_TRUE(expr.IsAccepting());
  EXPECT_EQ(log.Take(), "");
  // A fixed date separator is forced as the locale's character.
  orv::TLocaleScope locale(orv::TLocaleProfile::Russian);
  CompileText(&expr, "\\d/\\d");
  c = '1';
  ASSERT_TRUE(expr.Step(c));
  EXPECT_EQ(log.Take(), "+.");
  // A whole fixed text is forced at once and steps back to the start.
  CompileText(&expr, "ab");
  EXPECT_EQ(log.Take(), "+a+b");
  EXPECT_TRUE(expr.IsAccepting());
  EXPECT_FALSE(expr.StepBack());
  EXPECT_EQ(log.Take(), "--");
}

TEST(RegExprAutomat, StartHistoryAndSteps) {
  TRegExprPtr expr = Compiled("a(b|c)*d");
  EXPECT_TRUE(expr->IsAtStart());
  EXPECT_FALSE(expr->StepBack());
  char c = 'a';
  ASSERT_TRUE(expr->Step(c));
  EXPECT_FALSE(expr->IsAtStart());
  c = 'x';
  EXPECT_FALSE(expr->Step(c));  // a refused character changes nothing
  for (char d : {'b', 'c', 'b'}) ASSERT_TRUE(expr->Step(d));
  EXPECT_FALSE(expr->IsAccepting());
  c = 'd';
  ASSERT_TRUE(expr->Step(c));
  EXPECT_TRUE(expr->IsAccepting());
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(expr->StepBack());
  EXPECT_TRUE(expr->IsAtStart());
  EXPECT_FALSE(expr->StepBack());
  expr->Restart();
  EXPECT_FALSE(expr->StepBack());
}

TEST(RegExprParser, GroupDumpAndCopy) {
  // The diagnostic dump of a group and of its deep copy.
  TcxRegExprParserBlockItem block;
  TcxRegExprParserAlt* alt = block.GetAlts()->Add();
  alt->Add(new TcxRegExprParserSimpleItem(new TcxRegExprSymbol('a')));
  alt->Add(new TcxRegExprParserSimpleItem(new TcxRegExprDigit(false), new TcxRegExprPlusQuantifier));
  block.ReplaceQuantifier(new TcxRegExprQuestionQuantifier);
  AnsiString dump;
  block.Describe(dump);
  EXPECT_EQ(dump,
            "<Start_Block>\r\n<Start_Alt>\r\nitem --> \r\nitem --> +\r\n<Finish_Alt>\r\n<Finish_Block> --> ?\r\n");
  EXPECT_TRUE(block.MayMatchEmpty());
  EXPECT_EQ(block.GetStateCount(), 2);
  TcxRegExprParserItem* copy = block.Duplicate();
  AnsiString copyDump;
  copy->Describe(copyDump);
  EXPECT_EQ(copyDump, dump);
  copy->Free();
}

}  // namespace

namespace {

TEST(RegExprStates, JunctionsPassOnAndCyclesEnd) {
  TcxRegExprSimpleState start;
  TcxRegExprSimpleState a(new TcxRegExprSymbol('a'));
  TcxRegExprSimpleState b(new TcxRegExprSymbol('b'));
  TcxRegExprBlockState j1, j2;
  start.AddNext(&j1);
  j1.AddNext(&j2);
  j2.AddNext(&j1);  // a cycle that consumes nothing
  j2.AddNext(&a);
  j1.AddNext(&b);
  j1.AddNext(&a);  // listed once

  TcxRegExprStates* entry = start.GetNextEntryStates();
  ASSERT_EQ(entry->GetCount(), 2);
  EXPECT_EQ(entry->GetState(0), &a);  // in successor order: j1, j2, a; then b
  EXPECT_EQ(entry->GetState(1), &b);
  char single = 0;
  EXPECT_FALSE(entry->GetSingleChar(single));
  entry->Free();

  char c = 'b';
  TcxRegExprStates* next = start.Step(c, false);
  ASSERT_EQ(next->GetCount(), 1);
  EXPECT_EQ(next->GetState(0), &b);
  EXPECT_FALSE(next->ContainsFinal());
  b.SetFinal(true);
  EXPECT_TRUE(next->ContainsFinal());
  next->Free();

  TcxRegExprStates* accepted = j1.Accept(c, false);
  EXPECT_EQ(accepted->GetCount(), 1);
  accepted->Free();
  TcxRegExprState* copy = a.Duplicate();
  EXPECT_EQ(copy->ClassType(), TcxRegExprSimpleState::StaticClass());
  EXPECT_EQ(copy->GetNext().GetCount(), 0);
  c = 'a';
  TcxRegExprStates* self = copy->Accept(c, false);
  EXPECT_EQ(self->GetCount(), 1);
  self->Free();
  copy->Free();
}

}  // namespace

namespace {

// Random masks over the part of the dialect that reads as in the standard library's
// ECMAScript grammar (no quantifier right after another, which means laziness there, and no
// caret outside brackets, which is an anchor there) take the same texts as its matcher.
TEST(RegExprReference, RandomMasksAgreeWithTheStandardMatcher) {
  const std::vector<std::string> tokens = {"a", "b", "(", ")", "|", "*",  "+",     "?",    "[",   "]",
                                           "-", "{2}", "{1,3}", "{0,}", "{0}", "\\d", ".", "1", "[^a]"};
  std::mt19937 random(20261210);
  int compared = 0;
  for (int iteration = 0; iteration < 4000; ++iteration) {
    std::string mask;
    bool previousQuantifier = false, doubled = false;
    for (int i = 1 + static_cast<int>(random() % 7); i > 0; --i) {
      const std::string& token = tokens[random() % tokens.size()];
      const bool quantifier = token == "*" || token == "+" || token == "?" || token[0] == '{';
      doubled = doubled || (quantifier && previousQuantifier);
      previousQuantifier = quantifier;
      mask += token;
    }
    if (doubled) continue;
    TcxRegExpr expr;
    std::regex reference;
    try {
      CompileText(&expr, mask);
      reference = std::regex(mask, std::regex::ECMAScript);
    } catch (const EcxRegExprError&) {
      continue;
    } catch (const std::regex_error&) {
      continue;
    }
    for (int k = 0; k < 8; ++k) {
      std::string text;
      for (int i = static_cast<int>(random() % 6); i > 0; --i) text += "ab-1"[random() % 4];
      TOutcome outcome = Feed(&expr, text);
      const bool ours = outcome.Taken == text.size() && outcome.Complete;
      EXPECT_EQ(ours, std::regex_match(text, reference)) << "mask " << mask << ", text \"" << text << "\"";
      ++compared;
    }
  }
  EXPECT_GT(compared, 5000);
}

}  // namespace
