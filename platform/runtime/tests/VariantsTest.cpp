#include "platform/runtime/Variants.h"

#include <gtest/gtest.h>

#include <limits>
#include <type_traits>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

namespace {

// Scalars live in the object itself.
static_assert(sizeof(Variant) <= 16);
static_assert(std::is_nothrow_move_constructible_v<Variant>);

TEST(Variant, KindsAndTypeCodes) {
  const struct {
    Variant Value;
    TVarType Type;
  } cases[] = {
      {Variant(), varEmpty},
      {Null(), varNull},
      {Variant(short(1)), varSmallint},
      {Variant(1), varInteger},
      {Variant(1.5f), varSingle},
      {Variant(1.5), varDouble},
      {Variant(Currency{15000}), varCurrency},
      {VarFromDateTime(39074.5), varDate},
      {Variant(u"wide"), varOleStr},
      {Variant(true), varBoolean},
      {Variant(static_cast<signed char>(-1)), varShortInt},
      {Variant(Byte(200)), varByte},
      {Variant(Word(60000)), varWord},
      {Variant(4000000000u), varLongWord},
      {Variant(Int64(1) << 40), varInt64},
      {Variant("Москва"_a), varString},
      {Variant(AnsiString("x")), varString},
      {Variant('x'), varString},
      {VarArrayOf({1, "a"}), varArray | varVariant},
      {VarArrayCreate(0, 3, varByte), varArray | varByte},
  };
  for (const auto& c : cases) EXPECT_EQ(VarType(c.Value), c.Type) << VarTypeAsText(c.Type);
  EXPECT_TRUE(VarIsNull(Null()));
  EXPECT_FALSE(VarIsNull(Variant()));
  EXPECT_TRUE(VarIsEmpty(Unassigned()));
  EXPECT_TRUE(VarIsArray(VarArrayOf({})));
  EXPECT_FALSE(VarIsArray(Variant(1)));
  EXPECT_TRUE(VarIsNumeric(Variant(Currency{1})));
  EXPECT_FALSE(VarIsNumeric(VarFromDateTime(1)));
  EXPECT_TRUE(VarIsStr(Variant(u"a")));
  EXPECT_EQ(VarTypeAsText(varArray | varByte), "Array Byte");
}

TEST(Variant, CopiesAndMovesOwnTheirText) {
  Variant a("Орване"_a);
  Variant b = a;
  a = Variant(7);
  EXPECT_EQ(b.AsString(), "Орване"_a);
  Variant c = std::move(b);
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(c.AsString(), "Орване"_a);
  Variant& self = c;  // self-assignment, without the compiler noticing
  c = self;
  EXPECT_EQ(c.AsString(), "Орване"_a);
  Variant arr = VarArrayOf({"x", 2});
  Variant copy = arr;
  copy.PutElement(0, "y");
  EXPECT_EQ(arr.GetElement(0).AsString(), "x");
}

TEST(Variant, CastsFollowThePlatformRules) {
  EXPECT_EQ(VarAsType(Variant("12"), varInteger).AsInteger(), 12);
  EXPECT_EQ(VarType(VarAsType(Variant("12"), varInteger)), varInteger);
  EXPECT_THROW(VarAsType(Variant("12a"), varInteger), EVariantError);
  EXPECT_EQ(VarAsType(Variant(2.5), varInteger).AsInteger(), 2);  // banker's rounding
  EXPECT_EQ(VarAsType(Variant(3.5), varInteger).AsInteger(), 4);
  EXPECT_THROW(VarAsType(Variant(300), varByte), EVariantError);
  EXPECT_THROW(VarAsType(Variant(-1), varWord), EVariantError);
  EXPECT_THROW(VarAsType(Variant(1e10), varInteger), EVariantError);
  EXPECT_EQ(VarAsType(Variant(true), varInteger).AsInteger(), -1);
  EXPECT_EQ(VarAsType(Variant(), varInteger).AsInteger(), 0);
  EXPECT_EQ(VarAsType(Variant("1,5"), varDouble).AsDouble(), 1.5);  // the locale's separator
  EXPECT_THROW(VarAsType(Variant("1.5"), varDouble), EVariantError);
  EXPECT_EQ(VarAsType(Variant(1.23456), varCurrency).AsCurrency().Scaled, 12346);
  EXPECT_EQ(VarAsType(Variant("true"), varBoolean).AsBoolean(), true);
  EXPECT_EQ(VarAsType(Variant(0.0), varBoolean).AsBoolean(), false);
  EXPECT_THROW(VarAsType(Variant("maybe"), varBoolean), EVariantError);
  EXPECT_EQ(VarAsType(Variant("03.12.2006"), varDate).AsDateTime(), EncodeDate(2006, 12, 3));
  EXPECT_THROW(VarAsType(Null(), varInteger), EVariantError);
  EXPECT_THROW(VarAsType(Null(), varString), EVariantError);
  EXPECT_TRUE(VarIsNull(VarAsType(Null(), varVariant)));
  EXPECT_THROW(VarAsType(VarArrayOf({1}), varInteger), EVariantError);
  EXPECT_EQ(VarAsType(Variant(u"Ёж"), varString).AsString(), "Ёж"_a);
  EXPECT_EQ(VarAsType(Variant("Ёж"_a), varOleStr).AsWideString(), u"Ёж");
  try {
    VarAsType(Variant("x"), varInteger);
    FAIL();
  } catch (const EVariantError& e) {
    EXPECT_EQ(e.GetMessage(), "Could not convert variant of type (String) into type (Int64)");
  }
}

TEST(Variant, TextOfEachKind) {
  const struct {
    Variant Value;
    AnsiString Text;
  } cases[] = {
      {Variant(), ""},
      {Null(), ""},
      {Variant(-5), "-5"},
      {Variant(55.75), "55,75"},
      {Variant(1.0f / 3), "0,3333333"},
      {Variant(Currency{123450}), "12,345"},
      {Variant(true), "True"},
      {Variant(false), "False"},
      {VarFromDateTime(EncodeDate(2006, 12, 3)), "03.12.2006"},
      {VarFromDateTime(EncodeDate(2006, 12, 3) + EncodeTime(19, 5, 0, 0)), "03.12.2006 19:05:00"},
      {VarFromDateTime(EncodeTime(19, 5, 0, 0)), "19:05:00"},
      {Variant(u"Ёж"), "Ёж"_a},
  };
  for (const auto& c : cases) EXPECT_EQ(VarToStr(c.Value), c.Text) << orv::AnsiToUtf8(c.Text);
  EXPECT_THROW(VarToStr(VarArrayOf({1})), EVariantError);
  EXPECT_THROW(Null().AsString(), EVariantError);
}

TEST(Variant, ComparisonAndEquality) {
  const struct {
    Variant A, B;
    int Expected;
  } cases[] = {
      {Variant(2), Variant(2.0), 0},
      {Variant(2), Variant(Int64(3)), -1},
      {Variant(-2147483647 - 1), Variant(2147483647), -1},
      {Variant(Currency{15000}), Variant(1.5), 0},
      {Variant(false), Variant(true), -1},
      {Variant(true), Variant(-1), 0},         // True is -1 as a number
      {Variant("5"), Variant(5), 0},           // a string beside a number reads as a number
      {Variant("10"), Variant(9), 1},
      {Variant("10"), Variant("9"), -1},       // two strings collate
      {Variant("Ёлкино"_a), Variant("Елец"_a), 1},
      {Variant("орел"_a), Variant("Орел"_a), -1},
      {Variant(u"Орел"), Variant("Орел"_a), 0},
      {Variant(), Variant(0), 0},
      {Variant(), Variant(""), 0},
      {Variant(), Variant(1), -1},
      {Null(), Null(), 0},
      {Null(), Variant(-5), -1},
      {Variant(""), Null(), 1},
      {VarFromDateTime(39074), Variant(39074), 0},
      {VarFromDateTime(EncodeDate(2006, 12, 3)), Variant("04.12.2006"), -1},
  };
  for (const auto& c : cases) {
    const std::string label = orv::AnsiToUtf8(VarToStr(c.A) + " | " + VarToStr(c.B));
    EXPECT_EQ(c.A == c.B, c.Expected == 0) << label;
    EXPECT_EQ(c.A < c.B, c.Expected < 0) << label;
    EXPECT_EQ(c.A > c.B, c.Expected > 0) << label;
    EXPECT_EQ(c.B < c.A, c.Expected > 0) << label;
  }
  EXPECT_THROW((void)(Variant("abc") == Variant(5)), EVariantError);
  EXPECT_THROW((void)(Variant(5) < Variant("abc")), EVariantError);
  EXPECT_THROW((void)(VarArrayOf({1}) == Variant(1)), EVariantError);
  EXPECT_EQ(VarCompareValue(Null(), Variant(1)), vrNotEqual);
  EXPECT_EQ(VarCompareValue(Null(), Null()), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(1), Variant(2)), vrLessThan);
}

TEST(Variant, OneDimensionalArrays) {
  Variant a = VarArrayCreate(1, 3, varInteger);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a, 1), 1);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  EXPECT_EQ(a.GetElement(2).AsInteger(), 0);
  a.PutElement(2, "42");  // converted to the element kind
  EXPECT_EQ(VarType(a.GetElement(2)), varInteger);
  EXPECT_EQ(a.GetElement(2).AsInteger(), 42);
  EXPECT_THROW(a.GetElement(0), EVariantError);
  EXPECT_THROW(a.PutElement(4, 1), EVariantError);
  EXPECT_THROW(a.PutElement(1, "x"), EVariantError);
  EXPECT_THROW(VarArrayLowBound(a, 2), EVariantError);
  EXPECT_THROW(VarArrayHighBound(Variant(1), 1), EVariantError);

  Variant bytes = VarArrayCreate(0, 3, varByte);
  auto* p = static_cast<Byte*>(VarArrayLock(bytes));
  p[0] = 0xDE;
  p[3] = 0xAD;
  VarArrayUnlock(bytes);
  EXPECT_EQ(bytes.GetElement(0).AsInteger(), 0xDE);
  EXPECT_EQ(VarType(bytes.GetElement(3)), varByte);
  bytes.PutElement(1, 7);
  EXPECT_EQ(bytes.ByteData()[1], 7);
  EXPECT_THROW(bytes.PutElement(1, 256), EVariantError);
  EXPECT_THROW(VarArrayLock(a), EVariantError);
  VarArrayRedim(bytes, 5);
  EXPECT_EQ(VarArrayHighBound(bytes, 1), 5);
  EXPECT_EQ(bytes.ByteData()[3], 0xAD);
  EXPECT_EQ(bytes.ByteData()[5], 0);

  const Variant pair = VarArrayOf({"Россия"_a, Null()});
  EXPECT_EQ(VarArrayHighBound(pair, 1), 1);
  EXPECT_EQ(pair.GetElement(0).AsString(), "Россия"_a);
  EXPECT_TRUE(VarIsNull(pair.GetElement(1)));
  const Variant empty = VarArrayOf({});
  EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
  EXPECT_THROW(VarArrayCreate(5, 3, varInteger), EVariantError);
}

}  // namespace
