#include "dbf/DsDbParser.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "dbf/tests/DsDbParserTestSupport.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

using namespace orv;
using orv::test::TFieldValue;
using orv::test::TTestRecord;

namespace {

// A record with a field of every kind the language reads, plus null and unreadable ones.
struct TRecordFixture {
  TTestRecord R;
  TRecordFixture() {
    R.Add("lat", ftFloat, TFieldValue::Float(-10));
    R.Add("lon", ftFloat, TFieldValue::Float(30.5));
    R.Add("ID", ftInteger, TFieldValue::Int(5));
    R.Add("small", ftSmallint, TFieldValue::Int(7));
    R.Add("name", ftString, TFieldValue::Text("AB"));
    R.Add("country", ftString, TFieldValue::Text("Российская Федерация"_a));
    R.Add("city", ftString, TFieldValue::Text("Москва"_a));
    R.Add("num", ftString, TFieldValue::Text("12.5"));
    R.Add("empty", ftString);  // all blanks: null
    R.Add("nolat", ftFloat);
    R.Add("flag", ftBoolean, TFieldValue::Bool(true));
    R.Add("d", ftDate, TFieldValue::Float(40000));
    R.Add("t", ftTime, TFieldValue::Float(0.25));
    R.Add("dt", ftDateTime, TFieldValue::Float(40000.5));
    R.Add("memo", ftMemo, TFieldValue::Int(1));
  }
};

std::string Number(double d) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, d);
  return std::string(buf, r.ptr);
}

// "None", "Null", "True", "False", "I:14", "F:3.5", "T:text", "D:", "t:", "S:" + number.
std::string Describe(const TDbValue& v) {
  switch (v.Kind) {
    case dkNone: return "None";
    case dkNull: return "Null";
    case dkBoolean: return v.AsBoolean ? "True" : "False";
    case dkInteger: return "I:" + std::to_string(v.AsInteger);
    case dkFloat: return "F:" + Number(v.AsFloat);
    case dkText: return "T:" + std::string(v.GetText());
    case dkDate: return "D:" + Number(v.AsFloat);
    case dkTime: return "t:" + Number(v.AsFloat);
    case dkDateTime: return "S:" + Number(v.AsFloat);
    default: return "kind " + std::to_string(int(v.Kind));
  }
}

std::string Eval(IDbFilterSource& source, std::string_view text, Byte options = 0) {
  TDsDbParser p(&source);
  p.SetText(AnsiString(text));
  p.SetOptions(options);
  if (!p.Tokenize()) return "Refused";
  return Describe(p.Evaluate());
}

struct TCase {
  std::string_view Text;
  std::string_view Expected;
};

void RunCases(IDbFilterSource& source, const TCase* begin, const TCase* end, Byte options = 0) {
  for (const TCase* c = begin; c != end; ++c)
    EXPECT_EQ(Eval(source, c->Text, options), c->Expected) << orv::AnsiToUtf8(c->Text);
}

template <std::size_t N>
void RunCases(IDbFilterSource& source, const TCase (&cases)[N], Byte options = 0) {
  RunCases(source, cases, cases + N, options);
}

TEST(DsDbParserTokens, FollowTheLexicalRules) {
  TRecordFixture f;
  struct {
    std::string_view Text;
    std::vector<TDbKind> Kinds;
  } const cases[] = {
      {"lat>=-5", {dkField, dkGreaterEqual, dkInteger, dkNone}},
      {"-5 < lat", {dkInteger, dkLess, dkField, dkNone}},
      {"country = 'A*'", {dkField, dkEqual, dkText, dkNone}},
      {"x != 3", {}},  // x names nothing
      {"ID != 3", {dkField, dkNotEqual, dkInteger, dkNone}},
      {"ID<>3", {dkField, dkNotEqual, dkInteger, dkNone}},
      {"ID<=3", {dkField, dkLessEqual, dkInteger, dkNone}},
      {"(a,b)", {}},
      {"( ) , + * / = < > - ", {dkOpen, dkClose, dkComma, dkPlus, dkMultiply, dkDivide, dkEqual,
                               dkLess, dkGreater, dkMinus, dkNone}},
      {"TRUE false Null and OR xor NOT",
       {dkBoolean, dkBoolean, dkNull, dkAnd, dkOr, dkXor, dkNot, dkNone}},
      {"trunc TRIM Field", {dkFunction, dkFunction, dkFunction, dkNone}},
      {"1.5 007 2147483647", {dkFloat, dkInteger, dkInteger, dkNone}},
      {"'abc", {dkText, dkNone}},
      {"\tID\r\n=\x01" "5", {dkField, dkEqual, dkInteger, dkNone}},
  };
  for (const auto& c : cases) {
    TDsDbParser p(&f.R);
    p.SetText(AnsiString(c.Text));
    p.Tokenize();
    if (c.Kinds.empty()) continue;
    EXPECT_EQ(p.GetTokenKinds(), c.Kinds) << c.Text;
  }
}

TEST(DsDbParserTokens, NumbersAndTextsCarryTheirValues) {
  TRecordFixture f;
  const TCase cases[] = {
      {"lat>=-5", "False"},
      {"-5", "I:-5"},
      {"-2147483648", "I:-2147483648"},
      {"2147483647", "I:2147483647"},
      {"007", "I:7"},
      {"1.", "F:1"},
      {"-0.25", "F:-0.25"},
      {"12.50", "F:12.5"},
      {"'abc", "T:abc"},
      {"'it''s'", "Refused"},  // no escapes: two texts side by side
      {"''", "T:"},
  };
  RunCases(f.R, cases);
  // Texts are cut to 255 characters.
  const std::string longText(300, 'x');
  EXPECT_EQ(Eval(f.R, "'" + longText + "'"), "T:" + longText.substr(0, 255));
}

// A text that breaks the grammar or the lexical rules is refused with the table's message.
TEST(DsDbParserCheck, RefusesInvalidTexts) {
  TRecordFixture f;
  const std::string_view refused[] = {
      "",
      "   ",
      "lat >= -5",        // "-" after a blank is subtraction, and a factor cannot start with it
      "lat >=- 5",        // a sign must directly precede its number
      "lat >= -lon",      // a sign before something that is not a number
      "-(lat)",
      "--5",
      "lat > -",
      "lat ! 5",          // "!" alone means nothing
      "lat !5",
      "lat !< 5",
      "ID = 1 b",         // a word that names nothing
      "b",
      "ID = 1.2.3",       // a malformed number
      "ID = 2147483648",  // beyond 32 bits
      "-2147483649",
      "ID = 1 1",
      "ID (1)",
      "(ID = 1",
      "ID = 1)x",
      "(ID = 1)) AND (lat = 1)",
      "ID = 1, lat = 2",
      "ID = 1,",
      "NOT (ID = 1)",     // NOT yields no value
      "ID = 1 NOT ID",
      "NOT",
      "ID >= 1 AND lat <= 2",  // ((ID >= 1) AND lat) <= 2 never combines
      "5 = 2 + 3",             // (5 = 2) + 3
      "TRUE + 1",
      "'a' AND 'b'",
      "NULL + 1",
      "ID # 1",                // a character outside the language
      "ID = 1;",
      "город = 'x'"_a,
      "TRUNC",
      "TRUNC 5",
      "TRUNC(5",
      "TRUNC()",
      "TRUNC(5, 6)",
      "TRUNC(, 5)",
      "POS('a')",
      "POS('a' 'b')",
      "COPY('abc', 1)",
      "TRUNC('x')",            // an argument of a kind the function never takes
      "UPPER(5)",
      "INTTOSTR(1.5)",
      "FIELD('nosuch')",
      "FIELD('memo')",         // a field type the language cannot read
      "memo = 1",
      "lat = 1 ()",
  };
  for (std::string_view text : refused) {
    TDsDbParser p(&f.R);
    p.SetText(AnsiString(text));
    EXPECT_FALSE(p.Tokenize()) << orv::AnsiToUtf8(text);
    EXPECT_EQ(p.Evaluate().Kind, dkNone) << orv::AnsiToUtf8(text);
    try {
      p.Check();
      ADD_FAILURE() << "accepted: " << orv::AnsiToUtf8(text);
    } catch (const Exception& e) {
      EXPECT_EQ(e.GetMessage(), "Invalid filter expression.");
    }
  }
}

TEST(DsDbParserCheck, TokensAreRebuiltOnlyWhenTheTextChanges) {
  TRecordFixture f;
  TDsDbParser p(&f.R);
  p.SetText("ID = 5");
  p.Check();
  EXPECT_TRUE(p.Accept());
  p.SetText("ID = 5");  // the same text keeps the tokens
  EXPECT_TRUE(p.Accept());
  p.SetText("ID = 6");
  EXPECT_FALSE(p.Accept());
  f.R.Value("ID") = TFieldValue::Int(6);
  EXPECT_TRUE(p.Accept());  // the expression reads the current record each time
  p.SetText("ID = x");
  EXPECT_FALSE(p.Accept());
  EXPECT_THROW(p.Check(), Exception);
  // Without a source no field resolves.
  TDsDbParser bare;
  bare.SetText("1 + 1 = 2");
  EXPECT_TRUE(bare.Accept());
  bare.SetText("ID = 1");
  EXPECT_FALSE(bare.Tokenize());
}

// One level for comparisons, AND, OR, XOR, "+" and "-"; "*" and "/" bind tighter; both levels
// associate to the left.
TEST(DsDbParserGrammar, PrecedenceAndAssociativity) {
  TRecordFixture f;
  const TCase cases[] = {
      {"2 + 3 * 4", "I:14"},
      {"2 * 3 + 4", "I:10"},
      {"10 - 2 - 3", "I:5"},
      {"10 - (2 - 3)", "I:11"},
      {"8 / 2 / 2", "F:2"},
      {"2 * 3 / 4", "F:1.5"},
      {"2 + 3 = 5", "True"},
      {"1 = 1 = TRUE", "True"},
      {"5 - 2 > 2", "True"},
      {"lat + 5 >= 0", "False"},
      {"lat + 10 >= 0", "True"},
      {"(ID >= 1) AND (lat <= 2)", "True"},
      {"(ID >= 1) AND (lat > 2)", "False"},
      {"(ID = 5) OR (lat = 0)", "True"},
      {"(ID = 5) XOR (lat=-10) OR FALSE", "False"},
      {"TRUE XOR TRUE", "False"},
      {"TRUE AND FALSE OR TRUE", "True"},
      {"TRUE OR FALSE AND FALSE", "False"},  // (TRUE OR FALSE) AND FALSE
      {"(ID = 5))", "True"},                 // surplus ")" at the end
      {"((ID = 5)))) ", "True"},
      {"((((((1))))))", "I:1"},
      {"ID * 2 = 10", "True"},
      {"id * 2 = 10", "True"},               // field names ignore case
      {"ID / 2 = 2.5", "True"},
  };
  RunCases(f.R, cases);
}

TEST(DsDbParserGrammar, SignsBelongToNumbersAtTheStartOrAfterAComparison) {
  TRecordFixture f;
  const TCase cases[] = {
      {"lat>=-10", "True"},
      {"lat>-10", "False"},
      {"lat<-9.5", "True"},
      {"lat=-10", "True"},
      {"lat<>-10", "False"},
      {"lat!=-10", "False"},
      {"lat<=-10.0", "True"},
      {"-10 = lat", "True"},
      {"-10.5 < lat", "True"},
      {"lat - -10", "Refused"},
      {"lat--10", "Refused"},
      {"lat-10 = -20", "Refused"},   // "-20" after a blank
      {"lat-10=-20", "True"},
      {"ID-5=0", "True"},
  };
  RunCases(f.R, cases);
}

TEST(DsDbParserValues, IntegersWrapAndDivisionByZeroGivesNoValue) {
  TRecordFixture f;
  const TCase cases[] = {
      {"2147483647 + 1", "I:-2147483648"},
      {"-2147483648 - 1", "I:2147483647"},
      {"65536 * 65536", "I:0"},
      {"65537 * 65537", "I:131073"},
      {"-2147483648 * 2147483647", "I:-2147483648"},
      {"-2147483648 / 2", "F:-1073741824"},
      {"ID / 0", "None"},
      {"ID / (ID - 5)", "None"},
      {"lat / 0", "None"},
      {"1 / 0.0", "None"},
      {"0 / 0", "None"},
      {"(ID / 0 = 1) OR TRUE", "None"},  // no short-circuit: the error decides
      {"small + 1", "I:8"},
      {"1e5", "Refused"},
  };
  RunCases(f.R, cases);
}

TEST(DsDbParserValues, NullHandling) {
  TRecordFixture f;
  const TCase cases[] = {
      {"nolat = NULL", "True"},
      {"nolat <> NULL", "False"},
      {"nolat >= 350", "None"},
      {"nolat + 5 >= 0", "None"},
      {"nolat", "Null"},
      {"lat = NULL", "None"},
      {"lat <> NULL", "True"},
      {"flag <> NULL", "True"},
      {"empty = NULL", "True"},  // an all-blank text field is null
      {"name = NULL", "False"},
      {"name <> NULL", "True"},
      {"NULL = NULL", "True"},
      {"NULL <> 1", "True"},
      {"NULL = 'x'", "False"},
      {"NULL > 1", "Refused"},
      {"'' = NULL", "True"},
      {"'' <> NULL", "False"},
      {"'a' = NULL", "False"},
      {"1 = NULL", "Refused"},
      {"1 <> NULL", "True"},
  };
  RunCases(f.R, cases);
}

TEST(DsDbParserValues, TextsAgainstNumbersAreReadAsNumbers) {
  TRecordFixture f;
  const TCase cases[] = {
      {"num + 1 = 13.5", "True"},
      {"num > 12", "True"},
      {"12 < num", "True"},
      {"num * 2", "F:25"},
      {"'3' - 1", "F:2"},
      {"'7' / '2'", "Refused"},  // two texts only compare and concatenate
      {"name + 1", "None"},      // AB is no number
      {"name = 1", "None"},
      {"'1,5' = 1.5", "None"},   // the decimal point is "."
      {"' 2' = 2", "True"},      // leading blanks are skipped
      {"'1e3' = 1000", "True"},
      {"'2 ' = 2", "None"},      // trailing ones are not
      {"name + 'C'", "T:ABC"},
      {"name + name + name = 'ABABAB'", "True"},
  };
  RunCases(f.R, cases);
  const std::string half(200, 'y');
  EXPECT_EQ(Eval(f.R, "'" + half + "' + '" + half + "'"), "T:" + std::string(255, 'y'));
}

// The matrix of operand kinds: what each operator yields for each pair (operands that convert).
TEST(DsDbParserValues, OperatorMatrix) {
  const TLocaleScope russian(TLocaleProfile::Russian);
  TTestRecord r;
  r.Add("vText", ftString, TFieldValue::Text("12"));
  r.Add("vTextDate", ftString, TFieldValue::Text("06.07.2009"));
  r.Add("vTextTime", ftString, TFieldValue::Text("6:00"));
  r.Add("vTextStamp", ftString, TFieldValue::Text("06.07.2009 12:00"));
  r.Add("vBool", ftBoolean, TFieldValue::Bool(true));
  r.Add("vInt", ftInteger, TFieldValue::Int(3));
  r.Add("vFloat", ftFloat, TFieldValue::Float(2.5));
  r.Add("vDate", ftDate, TFieldValue::Float(40000));
  r.Add("vTime", ftTime, TFieldValue::Float(0.5));
  r.Add("vStamp", ftDateTime, TFieldValue::Float(40000.5));
  const char* const kinds = "TBIFDtSN";
  const std::string_view ops[] = {"=", "<>", ">", "<", ">=", "<=", "AND", "OR", "XOR", "NOT",
                                  "+", "-", "*", "/"};
  // Rows: left kind; columns: right kind in the order of `kinds`; each cell lists the result of
  // the fourteen operators in the order of `ops` (B Boolean, T text, I integer, F float,
  // D date, t time, S date and time, . no value).
  const char* const matrix[8][8] = {
      // T                B                 I                 F                 D                 t                 S                 N
      {"BBBBBB....T...", "..............", "BBBBBB....FFFF", "BBBBBB....FFFF", "BBBBBB....DD..", "BBBBBB....tt..", "BBBBBB....SS..", "BB............"},  // T
      {"..............", "BBBBBBBBB.....", "..............", "..............", "..............", "..............", "..............", ".B............"},  // B
      {"BBBBBB....FFFF", "..............", "BBBBBB....IIIF", "BBBBBB....FFFF", "..............", "..............", "..............", ".B............"},  // I
      {"BBBBBB....FFFF", "..............", "BBBBBB....FFFF", "BBBBBB....FFFF", "..............", "..............", "..............", ".B............"},  // F
      {"BBBBBB....DD..", "..............", "..............", "..............", "BBBBBB....DD..", "..............", "BBBBBB....SS..", ".B............"},  // D
      {"BBBBBB....tt..", "..............", "..............", "..............", "..............", "BBBBBB....tt..", "..............", ".B............"},  // t
      {"BBBBBB....SS..", "..............", "..............", "..............", "BBBBBB....SS..", "..............", "BBBBBB....SS..", ".B............"},  // S
      {"BB............", "BB............", "BB............", "BB............", "BB............", "BB............", "BB............", "BB............"},  // N
  };
  auto kindOf = [](char c) {
    switch (c) {
      case 'B': return dkBoolean;
      case 'T': return dkText;
      case 'I': return dkInteger;
      case 'F': return dkFloat;
      case 'D': return dkDate;
      case 't': return dkTime;
      case 'S': return dkDateTime;
      default: return dkNone;
    }
  };
  // A text operand is written so that it converts to the other operand's kind.
  // A text operand is written so that it converts to the other operand's kind.
  auto operand = [](char kind, char other) -> std::string {
    switch (kind) {
      case 'T':
        return other == 'D' ? "vTextDate" : other == 't' ? "vTextTime" : other == 'S' ? "vTextStamp" : "vText";
      case 'B': return "vBool";
      case 'I': return "vInt";
      case 'F': return "vFloat";
      case 'D': return "vDate";
      case 't': return "vTime";
      case 'S': return "vStamp";
      default: return "NULL";
    }
  };
  for (int l = 0; l < 8; ++l)
    for (int rr = 0; rr < 8; ++rr)
      for (int o = 0; o < 14; ++o) {
        const char lk = kinds[l], rk = kinds[rr];
        const std::string text =
            operand(lk, rk) + " " + std::string(ops[o]) + " " + operand(rk, lk);
        const TDbKind expected = kindOf(matrix[l][rr][o]);
        TDsDbParser p(&r);
        p.SetText(text);
        const TDbKind got = p.Evaluate().Kind;
        EXPECT_EQ(int(got), int(expected)) << text;
      }
}

// Where both operands are constants the check knows every kind, so a pair that never combines
// is refused before any record is read.
TEST(DsDbParserCheck, RefusesConstantPairsThatNeverCombine) {
  const char* const constants[] = {"'12'", "TRUE", "3", "2.5", "NULL"};
  const std::string_view ops[] = {"=", "<>", ">", "<", ">=", "<=", "AND", "OR", "XOR", "NOT",
                                  "+", "-", "*", "/"};
  for (const char* l : constants)
    for (const char* r : constants)
      for (std::string_view op : ops) {
        const std::string text = std::string(l) + " " + std::string(op) + " " + r;
        TDsDbParser p;
        p.SetText(text);
        const bool accepted = p.Tokenize();
        EXPECT_EQ(accepted, p.Evaluate().Kind != dkNone) << text;
      }
}

TEST(DsDbParserValues, BooleansOrderFalseBelowTrue) {
  TRecordFixture f;
  const TCase cases[] = {
      {"FALSE < TRUE", "True"},   {"TRUE >= FALSE", "True"}, {"flag = TRUE", "True"},
      {"flag > FALSE", "True"},   {"flag <= FALSE", "False"}, {"flag XOR flag", "False"},
      {"flag AND TRUE", "True"},  {"flag OR FALSE", "True"},
  };
  RunCases(f.R, cases);
}

TEST(DsDbParserValues, DatesAndTimesCompareAndAddAsNumbers) {
  const TLocaleScope russian(TLocaleProfile::Russian);
  TRecordFixture f;  // d is 6 July 2009, t 6:00, dt 6 July 2009 12:00
  const TCase cases[] = {
      {"d = '06.07.2009'", "True"},
      {"'6.7.2009' = d", "True"},
      {"d < '07.07.2009'", "True"},
      {"d - '05.07.2009'", "D:1"},
      {"d = '06.07.2009 12:00'", "None"},  // no date
      {"d = 'junk'", "None"},
      {"dt = '06.07.2009 12:00'", "True"},
      {"dt > '06.07.2009'", "True"},
      {"t = '6:00'", "True"},
      {"t < '06:00:01'", "True"},
      {"'12:00' - t", "t:0.25"},
      {"d = d", "True"},       {"d < dt", "True"},       {"dt > d", "True"},
      {"d + d", "D:80000"},    {"dt - d", "S:0.5"},      {"d + dt", "S:80000.5"},
      {"t + t", "t:0.5"},      {"t < t", "False"},       {"d = 40000", "None"},
      {"d + t", "Refused"},       {"t = dt", "None"},       {"d <> NULL", "True"},
  };
  RunCases(f.R, cases);
}

// "=" between texts: a wildcard match unless no partial compare is asked for; case follows
// the case-insensitive option.
TEST(DsDbParserText, WildcardEquality) {
  TTestRecord r;
  const Integer field = r.Add("v", ftString);
  struct {
    std::string_view Value;
    std::string_view Pattern;
    bool CaseSensitive;
    bool CaseInsensitive;
  } const cases[] = {
      {"Россия"_a, "Россия*"_a, true, true},
      // "Росси" + "й" does not begin with "Россия": the pattern must match the start.
      {"Российская Федерация"_a, "Россия*"_a, false, false},
      {"Российская Федерация"_a, "Росси*"_a, true, true},
      {"россия"_a, "Россия*"_a, false, true},
      {"ёлка"_a, "Ё*"_a, false, true},
      {"Москва"_a, "М?сква"_a, true, true},
      {"Мосссква"_a, "М?сква"_a, false, false},
      {"Москва"_a, "Москва"_a, true, true},
      {"Москва"_a, "Моск"_a, false, false},
      {"Москва"_a, "*ск*"_a, true, true},
      {"Москва"_a, "*ва"_a, true, true},
      {"Москва"_a, "*ск"_a, false, false},
      {"Омск"_a, "*ск"_a, true, true},
      {"Омск"_a, "*СК"_a, false, true},
      {"abc", "", false, false},
      {"abc", "*", true, true},
      {"abc", "**", true, true},
      {"abc", "a**c", true, true},
      {"abc", "a*b*c", true, true},
      {"abc", "a*c*c", false, false},
      {"aXbXc", "a*X*c", true, true},
      {"ab", "a*b*", true, true},
      {"ab", "ab?", false, false},
      {"abc", "???", true, true},
      {"abc", "??", false, false},
      {"abcabc", "*bc", true, true},
      {"abcab", "a*?b", true, true},
      {"ab", "a*?b", false, false},
      {"aaab", "*aab", true, true},
      {"ABC", "a?c", false, true},
      {"a*c", "a?c", true, true},
  };
  for (const auto& c : cases) {
    r.Value(field) = TFieldValue::Text(c.Value);
    const std::string text = "v = '" + std::string(c.Pattern) + "'";
    EXPECT_EQ(Eval(r, text), c.CaseSensitive ? "True" : "False") << orv::AnsiToUtf8(text);
    EXPECT_EQ(Eval(r, text, dpoCaseInsensitive), c.CaseInsensitive ? "True" : "False")
        << orv::AnsiToUtf8(text);
  }
  EXPECT_EQ(Eval(r, "'' = '*'"), "True");
  EXPECT_EQ(Eval(r, "'' = ''"), "False");  // an empty pattern matches nothing
}

TEST(DsDbParserText, ExactComparisonsWithoutPartialCompare) {
  TRecordFixture f;
  const TCase exact[] = {
      {"city = 'Москва'"_a, "True"},  {"city = 'Моск*'"_a, "False"},
      {"city = 'москва'"_a, "False"}, {"name = 'A?'", "False"},
  };
  RunCases(f.R, exact, dpoNoPartialCompare);
  const TCase exactNoCase[] = {
      {"city = 'москва'"_a, "True"}, {"city = 'МОСКВА'"_a, "True"}, {"city = 'Моск*'"_a, "False"},
  };
  RunCases(f.R, exactNoCase, dpoNoPartialCompare | dpoCaseInsensitive);
}

TEST(DsDbParserText, OrderingComparisonsNeverUseWildcards) {
  TRecordFixture f;
  const TCase cases[] = {
      {"name <> 'A*'", "True"},  {"name <> 'AB'", "False"}, {"name > 'AA'", "True"},
      {"name < 'AC'", "True"},   {"name >= 'AB'", "True"},  {"name <= 'A'", "False"},
      {"name > 'ab'", "True"},  // the locale puts lower case first  {"'b' > name", "True"},
      {"country = ''", "False"},
  };
  RunCases(f.R, cases);
  const TCase noCase[] = {{"name <> 'ab'", "False"}, {"name >= 'ab'", "True"}, {"name < 'ac'", "True"}};
  RunCases(f.R, noCase, dpoCaseInsensitive);
}

TEST(DsDbParserFunctions, BuiltIns) {
  const TLocaleScope russian(TLocaleProfile::Russian);
  TRecordFixture f;
  const TCase cases[] = {
      {"TRUNC(lat + 0.7)", "F:-9"},
      {"TRUNC(55.7) = 55", "True"},
      {"TRUNC(ID)", "F:5"},
      {"ROUND(2.5) = 2", "True"},
      {"ROUND(3.5)", "F:4"},
      {"ROUND(2.6)", "F:3"},
      {"ROUND(lat + 7.5)", "F:-2"},
      {"ROUND(lat + 6.5)", "F:-4"},
      {"ROUND(ID)", "F:5"},
      {"FRAC(2.75)", "F:0.75"},
      {"FRAC(lat + 0.25)", "F:-0.75"},
      {"FRAC(ID)", "F:0"},
      {"STRTOINT('42') = 42", "True"},
      {"STRTOINT('4x')", "None"},
      {"STRTOINT(name)", "None"},
      {"STRTOINT('$1F')", "I:31"},
      {"STRTOINT(' 7')", "I:7"},
      {"STRTOINT('2147483648')", "None"},
      {"STRTOFLOAT('2,5')", "F:2.5"},   // the locale's decimal separator
      {"STRTOFLOAT('2.5')", "None"},
      {"FLOATTOSTR(2.5)", "T:2,5"},
      {"FLOATTOSTR(lat / 3)", "T:-3,33333333333333"},
      {"INTTOSTR(ID) + '!'", "T:5!"},
      {"INTTOSTR(0 - 2147483647 - 1)", "T:-2147483648"},
      {"UPPER(city)", "T:МОСКВА"_a},
      {"LOWER(country)", "T:российская федерация"_a},
      {"UPPER('ёж')"_a, "T:ЁЖ"_a},
      {"POS('ск', city) > 0"_a, "True"},
      {"POS('ск', city)"_a, "I:3"},
      {"POSSTR('Мос', city)"_a, "I:1"},
      {"POS('x', city)", "I:0"},
      {"POS('', city)", "I:0"},
      {"POS('Москва!', city)"_a, "I:0"},
      {"POS('СК', city)"_a, "I:0"},
      {"POSTEXT('СК', city)"_a, "I:3"},
      {"COPY(city, 2, 3)", "T:оск"_a},
      {"COPY(city, 0, 2)", "T:Мо"_a},
      {"COPY(city, 0 - 5, 2)", "T:Мо"_a},
      {"COPY(city, 5, 100)", "T:ва"_a},
      {"COPY(city, 7, 1)", "T:"},
      {"COPY(city, 2, 0)", "T:"},
      {"COPY(city, 2, 0 - 1)", "T:"},
      {"COPY(city, 2147483647, 2147483647)", "T:"},
      {"TRIM('  ab \t')", "T:ab"},
      {"TRIM('   ')", "T:"},
      {"FIELD('ID') = 5", "True"},
      {"FIELD('id') * 2", "I:10"},
      {"FIELD('nolat') = 0", "True"},   // never NULL
      {"FIELD('empty') + 'x'", "T:x"},
      {"FIELD('flag')", "True"},
      {"FIELD('d')", "D:40000"},
      {"FIELD(name)", "None"},          // there is no field AB
      {"FIELD('NA' + 'ME')", "T:AB"},
      {"TRUNC(nolat)", "None"},         // NULL is no number
      {"UPPER(empty)", "None"},
      {"trunc(2.5)", "F:2"},            // function names ignore case
      {"POS(UPPER('а'), UPPER(TRIM(' мАма ')))"_a, "I:2"},
  };
  RunCases(f.R, cases);
}

TEST(DsDbParserFunctions, RegisteredFunctionsJoinTheLanguage) {
  TRecordFixture f;
  TDsDbParser p(&f.R);
  p.RegisterFunction("TWICE", 1, [](const TDbFunctionCall& call, TDbValue& result) {
    if (call.Arg(0).Kind != dkInteger) return;
    result.Kind = dkInteger;
    result.AsInteger = call.Arg(0).AsInteger * 2;
  });
  p.RegisterFunction("SAY", 0, [](const TDbFunctionCall& call, TDbValue& result) {
    call.SetTextResult(result, "hi");
  });
  p.SetText("TWICE(ID) = 10");
  EXPECT_TRUE(p.Accept());
  p.SetText("SAY() + SAY()");
  EXPECT_EQ(Describe(p.Evaluate()), "T:hihi");
  p.SetText("TWICE('a')");
  EXPECT_EQ(p.Evaluate().Kind, dkNone);
  EXPECT_GE(p.FindFunction("twice"), 0);
  EXPECT_EQ(p.FindFunction("thrice"), -1);
}

}  // namespace
