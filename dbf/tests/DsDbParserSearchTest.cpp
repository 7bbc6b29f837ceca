// The filters that the town search writes, evaluated against synthetic towns and compared with
// the same conditions written directly in C++; evaluation that allocates nothing; and random
// texts that must be refused or evaluated, never crash.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <random>
#include <string>

#include "dbf/DsDbParser.h"
#include "dbf/tests/DsDbParserTestSupport.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"

// Counts heap allocations while a test asks for it.
namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
}  // namespace

void orv::test::StartCountingAllocations() {
  gAllocations = 0;
  gCounting = true;
}

long orv::test::StopCountingAllocations() {
  gCounting = false;
  return gAllocations.load();
}

void* operator new(std::size_t size) {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return operator new(size, std::nothrow);
}
// The compiler cannot see that the replaced operator new above allocates with malloc.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

using namespace orv;
using orv::test::TFieldValue;
using orv::test::TTestRecord;
using orv::test::TQuery;
using orv::test::TLongitudeRange;

namespace {

// The town table as the filters see it.
struct TTown {
  TTestRecord R;
  Integer Lon, Lat, EclLon, EclLat, Country, City;
  TTown() {
    Country = R.Add("COUNTRY", ftString);
    City = R.Add("CITY", ftString);
    Lon = R.Add("LON", ftFloat);
    Lat = R.Add("LAT", ftFloat);
    EclLon = R.Add("ECLLON", ftFloat);
    EclLat = R.Add("ECLLAT", ftFloat);
  }
};

TEST(DsDbParserSearch, BuildsTheSearchTextsOfTheExamples) {
  EXPECT_EQ((TQuery{true, true, true, 30, 50, 5, 5}.Text()),
            "(lon >= 25) and (lon <= 35) and(lat >= 45) and (lat <= 55)");
  EXPECT_EQ((TQuery{true, true, true, 2, 3, 5, 5}.Text()),
            "(((lon >= 357) and (lon <= 360)) or ((lon <= 7) and (lon >= 0))) and(lat + 2 >= 0) "
            "and (lat <= 8)");
  EXPECT_EQ((TQuery{true, false, false, 30, 40, 5, 5}.Text()),
            "(lon >= 325) and (lon <= 335) and(lat + 45 >= 0) and (lat + 35 <= 0)");
  EXPECT_TRUE((TQuery{true, true, false, 0, 2, 1, 5}.Text())
                  .ends_with("and(lat + 7 >= 0) and (lat - 3 <= 0)"));
  EXPECT_TRUE((TQuery{true, true, true, 0, 2, 1, 5}.Text())
                  .ends_with("and(lat + 3 >= 0) and (lat <= 7)"));
  EXPECT_TRUE((TQuery{false, true, true, 10, -10, 5, 5}.Text())
                  .ends_with("and(EclLat + 15 >= 0) and (EclLat + 5 <= 0)"));
  EXPECT_TRUE((TQuery{true, true, true, 0, 0, 1, 1}.Text())
                  .starts_with("(((lon >= 359) and (lon <= 360)) or ((lon <= 1) and (lon >= 0)))"));
}

// A value near the query's bounds, on them, or anywhere in the range.
double PickCoordinate(std::mt19937& rng, double min, double max, const double* bounds, int nBounds) {
  std::uniform_int_distribution<int> how(0, 5);
  std::uniform_real_distribution<double> any(min, max);
  switch (how(rng)) {
    case 0: return std::round(any(rng));
    case 1:
    case 2: {
      const double b = bounds[std::uniform_int_distribution<int>(0, nBounds - 1)(rng)];
      const double offsets[] = {0, 0, 1e-9, -1e-9, 0.5, -0.5};
      return b + offsets[std::uniform_int_distribution<int>(0, 5)(rng)];
    }
    default: return any(rng);
  }
}

// The search filters select exactly the towns that the same numeric conditions written in
// C++ select: both longitude forms (a plain range and one across 0), both hemispheres,
// geographic and ecliptic coordinates, bounds hit exactly, and towns without coordinates.
TEST(DsDbParserSearch, CoordinateFiltersSelectWhatTheDirectPredicateSelects) {
  std::mt19937 rng(20240607);
  TTown town;
  TDsDbParser parser(&town.R);
  int checked = 0, selected = 0, wrapped = 0;
  for (int q = 0; q < 400; ++q) {
    TQuery query;
    query.Geographic = q % 2 == 0;
    query.EastOrPositive = rng() % 2;
    query.North = rng() % 2;
    if (query.Geographic) {
      query.L = std::uniform_int_distribution<Integer>(0, 180)(rng);
      query.B = std::uniform_int_distribution<Integer>(0, 90)(rng);
    } else {
      query.L = std::uniform_int_distribution<Integer>(-400, 400)(rng);
      query.B = std::uniform_int_distribution<Integer>(-90, 90)(rng);
    }
    query.T = std::uniform_int_distribution<Integer>(1, q % 7 == 0 ? 180 : 20)(rng);
    query.U = std::uniform_int_distribution<Integer>(1, q % 5 == 0 ? 90 : 20)(rng);
    const TLongitudeRange range = query.Longitude();
    wrapped += range.Lo >= range.Hi;
    parser.SetText(query.Text());
    ASSERT_NO_THROW(parser.Check()) << query.Text();

    const double lonBounds[] = {double(range.Lo), double(range.Hi), 0, 360};
    const double latBounds[] = {query.Lower(), query.Upper(), 0};
    const Integer lonField = query.Geographic ? town.Lon : town.EclLon;
    const Integer latField = query.Geographic ? town.Lat : town.EclLat;
    for (int k = 0; k < 150; ++k) {
      const bool lonNull = rng() % 50 == 0, latNull = rng() % 50 == 0;
      const double lon = PickCoordinate(rng, 0, 360, lonBounds, 4);
      const double lat = PickCoordinate(rng, -90, 90, latBounds, 3);
      town.R.Value(lonField) = lonNull ? TFieldValue{} : TFieldValue::Float(lon);
      town.R.Value(latField) = latNull ? TFieldValue{} : TFieldValue::Float(lat);
      // The other coordinate system holds values that must not matter.
      town.R.Value(query.Geographic ? town.EclLon : town.Lon) = TFieldValue::Float(lon + 1);
      town.R.Value(query.Geographic ? town.EclLat : town.Lat) = TFieldValue::Float(-lat);
      const bool expected = !lonNull && !latNull && range.Contains(lon) &&
                            lat >= query.Lower() && lat <= query.Upper();
      ASSERT_EQ(parser.Accept(), expected)
          << query.Text() << "\n lon " << lon << (lonNull ? " (null)" : "") << " lat " << lat
          << (latNull ? " (null)" : "");
      ++checked;
      selected += expected;
    }
  }
  // The mix covered both outcomes and both longitude forms.
  EXPECT_GT(selected, checked / 50);
  EXPECT_LT(selected, checked - checked / 10);
  EXPECT_GT(wrapped, 40);
}

TEST(DsDbParserSearch, NameFiltersSelectNamesThatBeginWithTheChoice) {
  const std::string_view names[] = {
      "Россия"_a, "Российская Федерация"_a, "россия"_a, "Рос"_a, "Москва"_a, "Московский"_a,
      "Мос"_a,    "Украина"_a,              "Эстония"_a, "Мо"_a, "Ёлкино"_a, "Россия и Москва"_a};
  std::mt19937 rng(7);
  TTown town;
  TDsDbParser parser(&town.R);
  int selected = 0;
  for (int q = 0; q < 200; ++q) {
    const std::string_view country = names[rng() % std::size(names)];
    const std::string_view city = names[rng() % std::size(names)];
    const int which = q % 3;  // country, city, both
    std::string text;
    if (which != 1) text += "(country = '" + std::string(country) + "*')";
    if (which == 2) text += " and ";
    if (which != 0) text += "(city = '" + std::string(city) + "*')";
    parser.SetText(text);
    ASSERT_NO_THROW(parser.Check()) << orv::AnsiToUtf8(text);
    for (int k = 0; k < 40; ++k) {
      const bool countryNull = rng() % 20 == 0, cityNull = rng() % 20 == 0;
      const std::string_view c = names[rng() % std::size(names)], t = names[rng() % std::size(names)];
      town.R.Value(town.Country) = countryNull ? TFieldValue{} : TFieldValue::Text(c);
      town.R.Value(town.City) = cityNull ? TFieldValue{} : TFieldValue::Text(t);
      const bool countryOk = which == 1 || (!countryNull && c.starts_with(country));
      const bool cityOk = which == 0 || (!cityNull && t.starts_with(city));
      ASSERT_EQ(parser.Accept(), countryOk && cityOk)
          << orv::AnsiToUtf8(text) << " / " << orv::AnsiToUtf8(c) << " / " << orv::AnsiToUtf8(t);
      selected += countryOk && cityOk;
    }
  }
  EXPECT_GT(selected, 100);
}

TEST(DsDbParserSearch, EvaluationAllocatesNothing) {
  TTown town;
  town.R.Value(town.Country) = TFieldValue::Text("Российская Федерация — длинное имя"_a);
  town.R.Value(town.City) = TFieldValue::Text("Москва"_a);
  town.R.Value(town.Lon) = TFieldValue::Float(37.6);
  town.R.Value(town.Lat) = TFieldValue::Float(55.7);
  town.R.Value(town.EclLon) = TFieldValue::Float(1);
  town.R.Value(town.EclLat) = TFieldValue::Float(2);
  const std::string texts[] = {
      TQuery{true, true, true, 30, 50, 5, 5}.Text(),
      TQuery{true, true, true, 2, 3, 5, 5}.Text(),
      TQuery{true, false, false, 30, 40, 5, 5}.Text(),
      TQuery{false, true, true, 0, -3, 5, 5}.Text(),
      "(country = 'Росси*')"_a + " and (city = 'Москва*')"_a,
      "country + city + 'x' = '*x'",
      "(TRIM(COPY(country, 1, 8)) + INTTOSTR(POS('ск', city))) = 'Росси*'"_a,
      "(lat / 2 > FRAC(lon)) XOR (ROUND(lon) <> TRUNC(lon))",
      "(FIELD('LAT') = lat) AND (FIELD('COUNTRY') = country)",
      "(UPPER(country) > LOWER(country)) OR (POSTEXT('федер', country) > 0)"_a,
      "(country >= city) AND (STRTOFLOAT('1,5') < lat) AND ('55.7' = lat)",
  };
  TDsDbParser parser(&town.R);
  for (const std::string& text : texts) {
    parser.SetText(text);
    ASSERT_NO_THROW(parser.Check()) << text;
    orv::test::StartCountingAllocations();
    for (int i = 0; i < 100; ++i) {
      town.R.Value(town.Lat).F = 50 + i % 10;
      parser.Accept();
    }
    EXPECT_EQ(orv::test::StopCountingAllocations(), 0) << orv::AnsiToUtf8(text);
  }
}

// Deep nesting is refused without exhausting the stack; long flat chains evaluate.
TEST(DsDbParserRobustness, NestingIsBoundedAndLongChainsWork) {
  TTown town;
  town.R.Value(town.Lat) = TFieldValue::Float(1);
  TDsDbParser parser(&town.R);
  const int deep = 100000;
  parser.SetText(std::string(deep, '(') + "1" + std::string(deep, ')'));
  EXPECT_FALSE(parser.Tokenize());
  parser.SetText(std::string(150, '(') + "lat" + std::string(150, ')') + " = 1");
  EXPECT_TRUE(parser.Accept());
  std::string calls;
  for (int i = 0; i < 5000; ++i) calls += "TRUNC(";
  parser.SetText(calls + "1" + std::string(5000, ')'));
  EXPECT_FALSE(parser.Tokenize());
  std::string chain = "1";
  for (int i = 0; i < 100000; ++i) chain += " + 1";
  parser.SetText(chain + " = 100001");
  EXPECT_TRUE(parser.Accept());
  std::string products = "lat";
  for (int i = 0; i < 50000; ++i) products += "*lat";
  parser.SetText(products);
  EXPECT_EQ(parser.Evaluate().Kind, dkFloat);
}

// Random mutations of valid texts: each is refused with the filter message or evaluates.
TEST(DsDbParserRobustness, FuzzedTextsAreRefusedOrEvaluated) {
  TTown town;
  town.R.Value(town.Country) = TFieldValue::Text("Россия"_a);
  town.R.Value(town.City) = TFieldValue::Text("Москва"_a);
  town.R.Value(town.Lon) = TFieldValue::Float(37.6);
  town.R.Value(town.Lat) = TFieldValue::Float(-55.7);
  town.R.Value(town.EclLon) = TFieldValue::Float(0);
  const std::string seeds[] = {
      TQuery{true, true, true, 2, 3, 5, 5}.Text(),
      TQuery{false, true, true, 350, -10, 20, 5}.Text(),
      "(country = 'Росси*') and (city = 'М?сква*')"_a,
      "COPY(TRIM(UPPER(city)), 2, 3) + INTTOSTR(STRTOINT('12') * 3) = 'ОСК36'"_a,
      "(ROUND(lat / 0) >= FRAC(lon)) XOR (POSTEXT('с', FIELD('CITY')) <> -1)"_a,
      "lat>=-5.5 OR NULL <> EclLat - 2147483647 * 3",
      "FLOATTOSTR(STRTOFLOAT('1,5')) + LOWER(country) = '*'",
  };
  const char alphabet[] = "()',+-*/=<>!?. 0123456789abAND OR XOR NOT NULL TRUE lat lon city";
  std::mt19937 rng(99);
  for (int iteration = 0; iteration < 12000; ++iteration) {
    std::string text = seeds[rng() % std::size(seeds)];
    const int edits = 1 + int(rng() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t at = rng() % (text.size() + 1);
      switch (rng() % 5) {
        case 0: text.insert(at, 1, alphabet[rng() % (sizeof alphabet - 1)]); break;
        case 1: if (at < text.size()) text.erase(at, 1 + rng() % 3); break;
        case 2: if (at < text.size()) text[at] = char(rng() % 256); break;
        case 3: text.insert(at, text.substr(rng() % text.size(), rng() % 12)); break;
        default: text.insert(at, std::string(rng() % 8, rng() % 2 ? '(' : ')')); break;
      }
    }
    TDsDbParser parser(&town.R);
    parser.SetText(text);
    parser.SetOptions(Byte(rng() % 4));
    try {
      parser.Check();
      const TDbValue& v = parser.Evaluate();
      if (v.Kind == dkText) {
        ASSERT_LE(v.TextLength, DbMaxText);
      }
    } catch (const Exception& e) {
      ASSERT_EQ(e.GetMessage(), "Invalid filter expression.") << text;
      ASSERT_EQ(parser.Evaluate().Kind, dkNone);
    }
  }
}

// Random expressions on random records with nulls: Accept, which stops at the first operand
// of the top-level AND chain that is not True, says what the whole evaluation says; and the
// evaluation, where fields compared with constants are single instructions, gives what the
// same text gives with every field written as a constant of its value (or NULL), which only
// the general operators evaluate.
TEST(DsDbParserRobustness, ShortCutsAndFieldComparisonsGiveTheFullEvaluation) {
  TTestRecord r;
  const Integer x = r.Add("X", ftFloat), n = r.Add("N", ftInteger), b = r.Add("B", ftBoolean),
                t = r.Add("T", ftString);
  std::mt19937 rng(5);
  auto chance = [&rng](int percent) { return int(rng() % 100) < percent; };
  const char* const texts[] = {"", "ab", "aB", "abc", "b", "a*", "12"};
  const char* const patterns[] = {"a*", "?b", "*", "a?c", "ab", "A*", "*c", "", "12", "b*", "?"};
  const char* const comparisons[] = {"=", "<>", ">", "<", ">=", "<="};
  const char* const logicals[] = {"and", "or", "xor"};
  auto numberConstant = [&]() -> std::string {
    const int v = int(rng() % 9) - 4;
    if (chance(50)) return v < 0 ? "(0 - " + std::to_string(-v) + ")" : std::to_string(v);
    return v < 0 ? "(0 - " + std::to_string(-v) + ".5)" : std::to_string(v) + ".5";
  };
  std::function<std::string(int)> number = [&](int depth) -> std::string {
    const int k = int(rng() % (depth > 0 ? 4 : 3));
    if (k == 0) return "{x}";
    if (k == 1) return "{n}";
    if (k == 2) return numberConstant();
    return "(" + number(depth - 1) + (chance(50) ? " + " : " * ") + number(depth - 1) + ")";
  };
  std::function<std::string(int)> boolean = [&](int depth) -> std::string {
    switch (rng() % (depth > 0 ? 6 : 4)) {
      case 0: return "(" + number(depth - 1) + " " + comparisons[rng() % 6] + " " + number(depth - 1) + ")";
      case 1: return std::string("({t} ") + (chance(80) ? "=" : comparisons[rng() % 6]) + " '" +
                     patterns[rng() % std::size(patterns)] + "')";
      case 2: return chance(50) ? "{b}" : chance(50) ? "TRUE" : "FALSE";
      case 3: return std::string("(") + (chance(50) ? "{x}" : "{t}") + (chance(50) ? " = " : " <> ") + "NULL)";
      default: return "(" + boolean(depth - 1) + " " + logicals[rng() % 3] + " " + boolean(depth - 1) + ")";
    }
  };
  // The record's values as constants of the language.
  auto literal = [&](Integer field) -> std::string {
    const TFieldValue& v = r.Value(field);
    if (v.Null) return "NULL";
    char buffer[32];
    if (field == x) {
      std::snprintf(buffer, sizeof buffer, "%.2f", std::fabs(v.F));
      return v.F < 0 ? "(0 - " + std::string(buffer) + ")" : buffer;
    }
    if (field == n) return v.I < 0 ? "(0 - " + std::to_string(-v.I) + ")" : std::to_string(v.I);
    if (field == b) return v.B ? "TRUE" : "FALSE";
    return "'" + v.S + "'";
  };
  // "{x}" and the like become the field's name or its value.
  auto substitute = [&](const std::string& text, bool values) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '{') {
        out += text[i];
        continue;
      }
      const char name = text[i + 1];
      i += 2;
      const Integer field = name == 'x' ? x : name == 'n' ? n : name == 'b' ? b : t;
      out += values ? literal(field) : std::string(1, name);
    }
    return out;
  };
  auto same = [](const TDbValue& a, const TDbValue& e) {
    if (a.Kind != e.Kind) return false;
    switch (a.Kind) {
      case dkBoolean: return a.AsBoolean == e.AsBoolean;
      case dkInteger: return a.AsInteger == e.AsInteger;
      case dkFloat: return a.AsFloat == e.AsFloat;
      case dkText: return a.GetText() == e.GetText();
      default: return true;
    }
  };
  TDsDbParser parser(&r), reference(&r);
  int checked = 0, accepted = 0;
  for (int iteration = 0; iteration < 3000; ++iteration) {
    // A chain at the top level, as the searches write it, mostly of ANDs.
    std::string pattern = boolean(2);
    for (int k = int(rng() % 4); k > 0; --k)
      pattern += std::string(" ") + (chance(75) ? "and" : logicals[rng() % 3]) + " " + boolean(2);
    const std::string text = substitute(pattern, false);
    parser.SetText(text);
    parser.SetOptions(Byte(rng() % 4));
    reference.SetOptions(parser.GetOptions());
    if (!parser.Tokenize()) continue;
    for (int record = 0; record < 8; ++record) {
      r.Value(x) = chance(20) ? TFieldValue{} : TFieldValue::Float((int(rng() % 37) - 18) / 4.0);
      r.Value(n) = chance(20) ? TFieldValue{} : TFieldValue::Int(int(rng() % 11) - 5);
      r.Value(b) = chance(20) ? TFieldValue{} : TFieldValue::Bool(chance(50));
      r.Value(t) = chance(20) ? TFieldValue{} : TFieldValue::Text(texts[rng() % std::size(texts)]);
      const TDbValue full = parser.Evaluate();
      const bool accepts = parser.Accept();
      ASSERT_EQ(accepts, full.Kind == dkBoolean && full.AsBoolean) << text;
      // A part that can never yield a value with the constants gives none at all.
      reference.SetText(substitute(pattern, true));
      const TDbValue expected = reference.Tokenize() ? reference.Evaluate() : TDbValue{};
      ASSERT_TRUE(same(full, expected)) << text << "\n" << reference.GetText() << "\n kinds "
                                        << int(full.Kind) << " " << int(expected.Kind);
      ++checked;
      accepted += accepts;
    }
  }
  EXPECT_GT(checked, 5000);
  EXPECT_GT(accepted, 100);
}

}  // namespace
