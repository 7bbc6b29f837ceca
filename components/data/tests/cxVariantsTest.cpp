#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "components/data/cxVariants.h"
#include "components/foundation/dxCore.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

namespace {

using TStreamPtr = std::unique_ptr<TMemoryStream, orv::FreeDeleter>;

TStreamPtr NewStream(const std::vector<Byte>& bytes = {}) {
  TStreamPtr stream(new TMemoryStream);
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), Integer(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

std::vector<Byte> VariantBytes(TMemoryStream* stream) {
  const auto* p = static_cast<const Byte*>(stream->GetMemory());
  return std::vector<Byte>(p, p + stream->GetSize());
}

std::vector<Byte> Saved(const Variant& v) {
  auto stream = NewStream();
  SaveVariant(stream.get(), v);
  return VariantBytes(stream.get());
}

Variant Loaded(const std::vector<Byte>& bytes) {
  auto stream = NewStream(bytes);
  Variant v = LoadVariant(stream.get());
  EXPECT_EQ(stream->GetPosition(), stream->GetSize()) << "the whole value is read";
  return v;
}

Integer SignOf(Integer x) { return x < 0 ? -1 : x > 0 ? 1 : 0; }

// ---- Ordering -------------------------------------------------------------------------------

TEST(cxVariants, CompareVariantsOverEveryKindPairing) {
  orv::TLocaleScope locale(orv::TLocaleProfile::EnglishUS);
  const Variant empty, null = Null(), five(5), twoHalf(2.5), abc("abc"), textFive("5"), yes(true),
      date = Variant::FromDate(3.0), money(Currency{15000}), wide(u"abd"), pair = VarArrayOf({1, 2});
  struct Case {
    const char* name;
    Variant a, b;
    Integer expected;  // sign
  } cases[] = {
      {"Empty = Empty", empty, empty, 0},
      {"Empty < Null", empty, null, -1},
      {"Null > Empty", null, empty, 1},
      {"Empty < number", empty, five, -1},
      {"Empty < string", empty, abc, -1},
      {"Empty < array", empty, pair, -1},
      {"array > Empty", pair, empty, 1},
      {"Null = Null", null, null, 0},
      {"Null < number", null, five, -1},
      {"number > Null", five, null, 1},
      {"Null < False", null, Variant(false), -1},
      {"Null < string", null, abc, -1},
      {"integer > double", five, twoHalf, 1},
      {"double < integer", twoHalf, five, -1},
      {"integer = its text", five, textFive, 0},
      {"number beside unconvertible text", five, abc, -1},
      {"unconvertible text beside number", abc, five, -1},
      {"strings", abc, Variant("abd"), -1},
      {"string beside wide string", abc, wide, -1},
      {"True (-1) < 5", yes, five, -1},
      {"False < True", Variant(false), yes, -1},
      {"date beside integer", date, five, -1},
      {"currency beside double", money, twoHalf, -1},
      {"currency equals double", money, Variant(1.5), 0},
      {"64-bit integers", Variant(static_cast<long long>(1) << 40), Variant((static_cast<long long>(1) << 40) + 1), -1},
      {"Integer extremes", Variant(std::numeric_limits<int>::min()), Variant(std::numeric_limits<int>::max()), -1},
  };
  for (const auto& c : cases) EXPECT_EQ(SignOf(CompareVariants(c.a, c.b)), c.expected) << c.name;
}

TEST(cxVariants, ArraysCompareByHighBoundThenElementByElement) {
  const Variant a12 = VarArrayOf({1, 2}), a13 = VarArrayOf({1, 3}), a123 = VarArrayOf({1, 2, 3});
  EXPECT_EQ(CompareVariants(a12, Variant(7)), 1);
  EXPECT_EQ(CompareVariants(Variant(7), a12), -1);
  EXPECT_EQ(CompareVariants(a12, a123), -1);  // high bounds 1 and 2
  EXPECT_EQ(CompareVariants(VarArrayOf({1}), a123), -2);
  EXPECT_EQ(CompareVariants(a123, VarArrayOf({9})), 2);
  EXPECT_EQ(CompareVariants(a12, a13), -1);
  EXPECT_EQ(CompareVariants(a13, a12), 1);
  EXPECT_EQ(CompareVariants(a12, VarArrayOf({1, 2})), 0);
  EXPECT_EQ(CompareVariants(VarArrayCreate(0, -1, varVariant), VarArrayCreate(0, -1, varVariant)), 0);
  // Elements use the whole ordering: Empty < Null < values, nested arrays recursively.
  EXPECT_EQ(CompareVariants(VarArrayOf({Variant()}), VarArrayOf({Null()})), -1);
  EXPECT_EQ(CompareVariants(VarArrayOf({a12, 5}), VarArrayOf({a13, 0})), -1);
  // A failed element conversion is "less" from both sides.
  EXPECT_EQ(CompareVariants(VarArrayOf({"abc"}), VarArrayOf({5})), -1);
  EXPECT_EQ(CompareVariants(VarArrayOf({5}), VarArrayOf({"abc"})), -1);
  // Arrays whose low bound is above 0 compare from their first element, without raising.
  Variant fromOne = VarArrayCreate(1, 2, varVariant), alsoFromOne = VarArrayCreate(1, 2, varVariant);
  fromOne.PutElement(1, 1);
  fromOne.PutElement(2, 2);
  alsoFromOne.PutElement(1, 1);
  alsoFromOne.PutElement(2, 3);
  EXPECT_EQ(CompareVariants(fromOne, alsoFromOne), -1);
}

TEST(cxVariants, EqualityTests) {
  orv::TLocaleScope locale(orv::TLocaleProfile::EnglishUS);
  EXPECT_TRUE(SameVariants(Variant(2), Variant(2.0)));
  EXPECT_FALSE(SameVariants(Null(), Variant()));
  struct Case {
    const char* name;
    Variant a, b;
    bool equal;
  } cases[] = {
      {"Null and False", Null(), Variant(false), false},
      {"2 and 2.0", Variant(2), Variant(2.0), true},
      {"Null and Null", Null(), Null(), true},
      {"True and its text", Variant(true), Variant("True"), true},
      {"True and -1 compare as texts", Variant(true), Variant(-1), false},
      {"False and 0 compare as texts", Variant(false), Variant(0), false},
      {"True and True", Variant(true), Variant(true), true},
      {"Boolean beside an array", Variant(true), VarArrayOf({1}), false},
      {"strings", Variant("a"), Variant("a"), true},
  };
  for (const auto& c : cases) EXPECT_EQ(AreVariantsEqual(c.a, c.b), c.equal) << c.name;
  EXPECT_TRUE(VarEqualsExactly(Variant(2), Variant(2)));
  EXPECT_FALSE(VarEqualsExactly(Variant(2), Variant(2.0)));
  EXPECT_TRUE(VarEqualsExactly(Null(), Null()));
}

TEST(cxVariants, TypeTestsAndArrays) {
  EXPECT_TRUE(IsDateTimeVariant(Variant::FromDate(1)));
  EXPECT_FALSE(IsDateTimeVariant(Variant(1.0)));
  EXPECT_TRUE(IsDateTimeVarType(varDate));
  EXPECT_TRUE(IsNumericVariant(Variant(Currency{1})));
  EXPECT_FALSE(IsNumericVariant(Variant(true)));
  EXPECT_TRUE(IsCurrencyVarType(varCurrency));
  EXPECT_TRUE(IsNullOrEmptyString(Null()));
  EXPECT_TRUE(IsNullOrEmptyString(Variant("")));
  EXPECT_TRUE(IsNullOrEmptyString(Variant(u"")));
  EXPECT_FALSE(IsNullOrEmptyString(Variant(" ")));
  EXPECT_FALSE(IsNullOrEmptyString(Variant()));
  EXPECT_FALSE(IsNullOrEmptyString(Variant(0)));

  const Variant pair = MakeVariantPair(1, "b");
  EXPECT_EQ(pair.LowBound(), 0);
  EXPECT_EQ(pair.HighBound(), 1);
  EXPECT_EQ(pair.GetElement(1).AsString(), "b");
  Variant one = MakeVariantArrayOfOne(7);
  EXPECT_EQ(one.HighBound(), 0);
  AppendToVariantArray(one, "x");
  AppendToVariantArray(one, Null());
  ASSERT_EQ(one.HighBound(), 2);
  EXPECT_EQ(one.GetElement(0).AsInteger(), 7);
  EXPECT_EQ(one.GetElement(1).AsString(), "x");
  EXPECT_TRUE(one.GetElement(2).IsNull());
  Variant scalar(1);
  EXPECT_THROW(AppendToVariantArray(scalar, 2), EVariantError);
}

// ---- Variant stream ---------------------------------------------------------------------------

TEST(cxVariants, GoldenStreamBytes) {
  AnsiString long300(300, 'x'), short255(255, 'y');
  std::vector<Byte> long300Bytes = {0x0C, 0x2C, 0x01, 0x00, 0x00};
  long300Bytes.insert(long300Bytes.end(), 300, 'x');
  std::vector<Byte> short255Bytes = {0x06, 0xFF};
  short255Bytes.insert(short255Bytes.end(), 255, 'y');
  struct Case {
    const char* name;
    Variant value;
    std::vector<Byte> bytes;
  } cases[] = {
      {"Null", Null(), {0x00}},
      {"Empty", Variant(), {0x0D}},
      {"5", Variant(5), {0x02, 0x05}},
      {"-128", Variant(-128), {0x02, 0x80}},
      {"128", Variant(128), {0x03, 0x80, 0x00}},
      {"300", Variant(300), {0x03, 0x2C, 0x01}},
      {"-129", Variant(-129), {0x03, 0x7F, 0xFF}},
      {"70000", Variant(70000), {0x04, 0x70, 0x11, 0x01, 0x00}},
      {"2^33", Variant(static_cast<long long>(1) << 33), {0x13, 0, 0, 0, 0, 2, 0, 0, 0}},
      {"byte 255", Variant(static_cast<unsigned char>(255)), {0x03, 0xFF, 0x00}},
      {"unsigned 3e9", Variant(3000000000u), {0x13, 0x00, 0x5E, 0xD0, 0xB2, 0, 0, 0, 0}},
      {"True", Variant(true), {0x09}},
      {"False", Variant(false), {0x08}},
      {"abc", Variant("abc"), {0x06, 0x03, 0x61, 0x62, 0x63}},
      {"255 characters", Variant(short255), short255Bytes},
      {"300 characters", Variant(long300), long300Bytes},
      {"double 1.0", Variant(1.0), {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {"double -2.0", Variant(-2.0), {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
      {"single 1.5", Variant(1.5f), {0x0F, 0x00, 0x00, 0xC0, 0x3F}},
      {"currency 1.5", Variant(Currency{15000}), {0x10, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}},
      {"date 2.5", Variant::FromDate(2.5), {0x11, 0, 0, 0, 0, 0, 0, 0x04, 0x40}},
      {"wide string", Variant(u"Я"), {0x12, 0x01, 0x00, 0x00, 0x00, 0x2F, 0x04}},
      {"array", VarArrayOf({1, "a"}), {0x01, 0x02, 0x02, 0x02, 0x01, 0x06, 0x01, 0x61}},
      {"empty array", VarArrayCreate(0, -1, varVariant), {0x01, 0x02, 0x00}},
  };
  for (const auto& c : cases) EXPECT_EQ(Saved(c.value), c.bytes) << c.name;
}

TEST(cxVariants, ValuesReadBackWithTheirKinds) {
  struct Case {
    const char* name;
    Variant value;
    TVarType readType;
  } cases[] = {
      {"8-bit", Variant(-5), varShortInt},
      {"16-bit", Variant(short(-300)), varSmallint},
      {"32-bit", Variant(70000), varInteger},
      {"64-bit", Variant(-(static_cast<long long>(1) << 62)), varInt64},
      {"64-bit minimum", Variant(std::numeric_limits<long long>::min()), varInt64},
      {"unsigned above 2^31", Variant(3000000000u), varInt64},
      {"double", Variant(0.1), varDouble},
      {"single", Variant(0.25f), varSingle},
      {"currency", Variant(Currency{-123456789}), varCurrency},
      {"date", Variant::FromDate(-1.25), varDate},
      {"string", Variant("Москва"_a), varString},
      {"long string", Variant(AnsiString(100000, 'z')), varString},
      {"wide string", Variant(u"Ünïcode ✓"), varOleStr},
      {"Boolean", Variant(true), varBoolean},
      {"Null", Null(), varNull},
      {"Empty", Variant(), varEmpty},
  };
  for (const auto& c : cases) {
    const Variant back = Loaded(Saved(c.value));
    EXPECT_EQ(back.GetType(), c.readType) << c.name;
    EXPECT_EQ(CompareVariants(back, c.value), 0) << c.name;
  }
  const Variant nested = VarArrayOf({1, VarArrayOf({"a", Null(), VarArrayOf({2.5})}), Variant()});
  const Variant back = Loaded(Saved(nested));
  EXPECT_EQ(CompareVariants(back, nested), 0);
  EXPECT_EQ(back.GetType(), varArray | varVariant);
  EXPECT_EQ(back.GetElement(1).GetElement(2).GetElement(0).AsDouble(), 2.5);
}

TEST(cxVariants, ExtendedFloatsRoundTripEveryDouble) {
  const double values[] = {0.0, -0.0, 0.1, -0.1, 1.0 / 3, 1e300, -1e-300, DBL_MAX, -DBL_MAX, DBL_MIN,
                           std::numeric_limits<double>::denorm_min(), 4.9e-320, 123456789.0123456789,
                           std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (const double d : values) {
    const Variant back = Loaded(Saved(Variant(d)));
    ASSERT_EQ(back.GetType(), varDouble);
    const double got = back.AsDouble();
    EXPECT_EQ(std::signbit(got), std::signbit(d)) << d;
    EXPECT_TRUE(got == d) << d;
  }
  EXPECT_TRUE(std::isnan(Loaded(Saved(Variant(std::numeric_limits<double>::quiet_NaN()))).AsDouble()));
}

TEST(cxVariants, ExtendedBytesAgreeWithTheMachinesExtendedType) {
  if (LDBL_MANT_DIG != 64) GTEST_SKIP() << "long double is not the 80-bit extended type here";
  std::uint64_t state = 12345;
  auto next = [&] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return state;
  };
  for (int i = 0; i < 20000; ++i) {
    // Doubles from their bits: every encoding must be exactly the machine's.
    const std::uint64_t bits = next();
    double d;
    std::memcpy(&d, &bits, 8);
    if (std::isnan(d)) continue;
    Byte ours[10], machine[16] = {};
    orv::DoubleToExtendedBytes(d, ours);
    const long double ld = d;
    std::memcpy(machine, &ld, 10);
    ASSERT_EQ(std::memcmp(ours, machine, 10), 0) << d;
    // Extended values in the normal double range: decoding rounds like the machine.
    Byte extended[10];
    const std::uint64_t mantissa = next() | (std::uint64_t(1) << 63);
    const Word exponent = Word(16383 - 1000 + next() % 2000) | Word(next() & 0x8000);
    std::memcpy(extended, &mantissa, 8);
    std::memcpy(extended + 8, &exponent, 2);
    long double source = 0;
    std::memcpy(&source, extended, 10);
    ASSERT_EQ(orv::ExtendedBytesToDouble(extended), static_cast<double>(source));
  }
}

TEST(cxVariants, ReadersRefuseWhatTheStreamCannotHold) {
  struct Case {
    const char* name;
    std::vector<Byte> bytes;
  } cases[] = {
      {"type byte 7", {0x07}},
      {"type byte 14", {0x0E}},
      {"type byte 20", {0x14}},
      {"type byte 255", {0xFF}},
      {"negative long string length", {0x0C, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"long string longer than the stream", {0x0C, 0x00, 0x00, 0x00, 0x40, 'a', 'b'}},
      {"wide string longer than the stream", {0x12, 0x03, 0x00, 0x00, 0x00, 'a', 0, 'b', 0}},
      {"wide string count overflowing bytes", {0x12, 0xFF, 0xFF, 0xFF, 0x7F}},
      {"array count beyond the stream", {0x01, 0x13, 0, 0, 0, 0, 0, 1, 0, 0, 0x02, 0x01}},
      {"negative array count", {0x01, 0x02, 0xFF}},
      {"array count that is not an integer", {0x01, 0x06, 0x01, '1'}},
      {"truncated integer", {0x04, 0x01, 0x02}},
      {"truncated extended", {0x05, 0, 0, 0, 0}},
      {"short string cut short", {0x06, 0x05, 'a'}},
      {"array cut short", {0x01, 0x02, 0x03, 0x02, 0x01}},
  };
  for (const auto& c : cases) {
    auto stream = NewStream(c.bytes);
    EXPECT_THROW(LoadVariant(stream.get()), EReadError) << c.name;
  }
  auto stream = NewStream({0x07});
  try {
    LoadVariant(stream.get());
  } catch (const EReadError& e) {
    EXPECT_EQ(e.GetMessage(), "Stream read error");
  }
}

TEST(cxVariants, NestingIsBounded) {
  auto nestedBytes = [](int depth) {
    std::vector<Byte> bytes;
    for (int i = 0; i < depth; ++i) bytes.insert(bytes.end(), {0x01, 0x02, 0x01});
    bytes.push_back(0x00);
    return bytes;
  };
  Variant deepest = Loaded(nestedBytes(kMaxVariantNesting));
  for (int i = 0; i < kMaxVariantNesting; ++i) deepest = deepest.GetElement(0);
  EXPECT_TRUE(deepest.IsNull());
  auto tooDeep = NewStream(nestedBytes(kMaxVariantNesting + 1));
  EXPECT_THROW(LoadVariant(tooDeep.get()), EReadError);
  // A hostile stream of nothing but array headers ends in the same error, not in a crash.
  std::vector<Byte> hostile;
  for (int i = 0; i < 100000; ++i) hostile.insert(hostile.end(), {0x01, 0x02, 0x01});
  auto hostileStream = NewStream(hostile);
  EXPECT_THROW(LoadVariant(hostileStream.get()), EReadError);
}

TEST(cxVariants, TextFormsAndPrimitives) {
  auto stream = NewStream();
  SaveAnsiText(stream.get(), "ab");
  SaveUnicodeText(stream.get(), u"й");
  orv::WriteSmallInt(stream.get(), -2);
  orv::WriteWord(stream.get(), 0xBEEF);
  orv::WriteLargeInt(stream.get(), -3);
  orv::WriteBoolean(stream.get(), true);
  orv::WriteExtended(stream.get(), 0.5);
  EXPECT_EQ(VariantBytes(stream.get()),
            (std::vector<Byte>{2, 0, 0, 0, 'a', 'b', 1, 0, 0, 0, 0x39, 0x04, 0xFE, 0xFF, 0xEF, 0xBE, 0xFD, 0xFF,
                               0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}));
  stream->SetPosition(0);
  EXPECT_EQ(LoadAnsiText(stream.get()), "ab");
  EXPECT_EQ(LoadUnicodeText(stream.get()), u"й");
  EXPECT_EQ(orv::ReadSmallInt(stream.get()), -2);
  EXPECT_EQ(orv::ReadWord(stream.get()), 0xBEEF);
  EXPECT_EQ(orv::ReadLargeInt(stream.get()), -3);
  EXPECT_TRUE(orv::ReadBoolean(stream.get()));
  EXPECT_EQ(orv::ReadExtended(stream.get()), 0.5);
  EXPECT_THROW(orv::ReadByte(stream.get()), EReadError);
}

TEST(cxVariants, FilersConsumeTheSignature) {
  struct Case {
    const char* name;
    std::vector<Byte> bytes;
    bool unicode;
    Int64 position;
  } cases[] = {
      {"unicode signature", {'D', 'X', 'U', 'F', 'M', 'T', 7, 0, 0, 0}, true, 6},
      {"ansi signature", {'D', 'X', 'A', 'F', 'M', 'T', 7, 0, 0, 0}, false, 6},
      {"no signature", {7, 0, 0, 0}, false, 0},
  };
  for (const auto& c : cases) {
    auto stream = NewStream(c.bytes);
    std::unique_ptr<TcxReader, orv::FreeDeleter> reader(new TcxReader(stream.get()));
    EXPECT_EQ(reader->GetIsUnicode(), c.unicode) << c.name;
    EXPECT_EQ(stream->GetPosition(), c.position) << c.name;
    EXPECT_EQ(reader->LoadInt(), 7) << c.name;
  }
  auto stream = NewStream();
  std::unique_ptr<TcxWriter, orv::FreeDeleter> writer(new TcxWriter(stream.get()));
  writer->SaveText("hi");
  writer->SaveInt(-1);
  EXPECT_EQ(VariantBytes(stream.get()), (std::vector<Byte>{2, 0, 0, 0, 'h', 'i', 0xFF, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
