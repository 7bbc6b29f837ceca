#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "components/data/cxDataStorage.h"
#include "components/foundation/dxCore.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

// A value type of another module: the caption rule applies to any class name.
class TMoneyValueType : public TcxCurrencyValueType {
  ORV_CLASS(TMoneyValueType, TcxCurrencyValueType)
};

class TcxLaterDateTimeValueType : public TcxDateTimeValueType {
  ORV_CLASS(TcxLaterDateTimeValueType, TcxDateTimeValueType)
};

namespace {

using TStreamPtr = std::unique_ptr<TMemoryStream, orv::FreeDeleter>;

// A zero-filled value buffer of one type that releases what it holds.
class TBuffer {
 public:
  explicit TBuffer(TcxValueTypeClass type) : FType(type), FBytes(std::size_t(type->BufferSize()) + 8, 0) {}
  ~TBuffer() { FType->ReleaseBuffer(Data()); }
  void* Data() { return FBytes.data(); }
  void Set(const Variant& v) { FType->VariantToBuffer(Data(), v); }
  Variant Get() { return FType->BufferToVariant(Data()); }

 private:
  TcxValueTypeClass FType;
  std::vector<Byte> FBytes;
};

std::vector<Byte> StreamBytes(TMemoryStream* stream) {
  const auto* p = static_cast<const Byte*>(stream->GetMemory());
  return std::vector<Byte>(p, p + stream->GetSize());
}

TEST(cxValueTypes, RegistryByCaption) {
  const struct {
    const char* caption;
    TClass type;
  } expected[] = {
      {"String", TcxStringValueType::StaticClass()},     {"WideString", TcxWideStringValueType::StaticClass()},
      {"Smallint", TcxSmallintValueType::StaticClass()}, {"Integer", TcxIntegerValueType::StaticClass()},
      {"Word", TcxWordValueType::StaticClass()},         {"Boolean", TcxBooleanValueType::StaticClass()},
      {"Float", TcxFloatValueType::StaticClass()},       {"Currency", TcxCurrencyValueType::StaticClass()},
      {"DateTime", TcxDateTimeValueType::StaticClass()}, {"LargeInt", TcxLargeIntValueType::StaticClass()},
      {"FMTBcd", TcxFMTBcdValueType::StaticClass()},     {"SQLTimeStamp", TcxSQLTimeStampValueType::StaticClass()},
      {"Variant", TcxVariantValueType::StaticClass()},   {"Object", TcxObjectValueType::StaticClass()},
  };
  TcxValueTypeClassList* registry = ValueTypeRegistry();
  ASSERT_EQ(registry->GetCount(), 14);
  for (Integer i = 0; i < 14; ++i) {
    EXPECT_EQ(registry->GetItem(i), expected[i].type) << expected[i].caption;
    EXPECT_EQ(registry->FindByCaption(expected[i].caption), expected[i].type) << expected[i].caption;
  }
  EXPECT_EQ(registry->FindByCaption("string"), nullptr);
  EXPECT_EQ(registry->FindByCaption(""), nullptr);
  EXPECT_EQ(registry, ValueTypeRegistry());

  registry->RegisterType(TcxStringValueType::StaticClass());
  EXPECT_EQ(registry->GetCount(), 14);
  registry->RegisterType(TMoneyValueType::StaticClass());
  EXPECT_EQ(registry->FindByCaption("TMoney"), TMoneyValueType::StaticClass());
  registry->UnregisterType(TMoneyValueType::StaticClass());
  EXPECT_EQ(registry->FindByCaption("TMoney"), nullptr);
  EXPECT_EQ(registry->GetCount(), 14);
}

TEST(cxValueTypes, CaptionsAndClassReferences) {
  EXPECT_EQ(TcxValueTypeClass(TcxValueType::StaticClass())->TypeCaption(), "");
  EXPECT_EQ(TcxValueTypeClass(TcxLaterDateTimeValueType::StaticClass())->TypeCaption(), "LaterDateTime");
  // One shared object per class.
  const TcxValueTypeClass a = TcxStringValueType::StaticClass(), b = TcxStringValueType::StaticClass();
  EXPECT_EQ(a.operator->(), b.operator->());
  EXPECT_EQ(a, b);
  EXPECT_NE(a, TcxWideStringValueType::StaticClass());
  EXPECT_THROW((void)TcxValueTypeClass(TObject::StaticClass()), EInvalidOperation);
  EXPECT_TRUE(IsDateTimeValueType(TcxDateTimeValueType::StaticClass()));
  EXPECT_TRUE(IsDateTimeValueType(TcxSQLTimeStampValueType::StaticClass()));
  EXPECT_FALSE(IsDateTimeValueType(TcxLaterDateTimeValueType::StaticClass()));
  EXPECT_FALSE(IsDateTimeValueType(TcxFloatValueType::StaticClass()));
  EXPECT_FALSE(IsDateTimeValueType(nullptr));
  EXPECT_TRUE(TcxValueTypeClass(TcxWideStringValueType::StaticClass())->IsString());
  EXPECT_FALSE(TcxValueTypeClass(TcxVariantValueType::StaticClass())->IsString());
}

TEST(cxValueTypes, BuffersHoldTheirKindOfValue) {
  orv::TLocaleScope locale(orv::TLocaleProfile::EnglishUS);
  struct Case {
    TClass type;
    Integer size;
    Variant in;
    TVarType outType;
    Variant out;
  } cases[] = {
      {TcxStringValueType::StaticClass(), Integer(sizeof(void*)), Variant(42), varString, Variant("42")},
      {TcxWideStringValueType::StaticClass(), Integer(sizeof(void*)), Variant("Юг"_a), varOleStr, Variant(u"Юг")},
      {TcxWideStringValueType::StaticClass(), Integer(sizeof(void*)), Variant(u"Ω"), varOleStr, Variant(u"Ω")},
      {TcxSmallintValueType::StaticClass(), 2, Variant(70000), varSmallint, Variant(70000 - 65536)},
      {TcxIntegerValueType::StaticClass(), 4, Variant("-7"), varInteger, Variant(-7)},
      {TcxWordValueType::StaticClass(), 2, Variant(-1), varWord, Variant(65535)},
      {TcxBooleanValueType::StaticClass(), 1, Variant("True"), varBoolean, Variant(true)},
      {TcxFloatValueType::StaticClass(), 8, Variant(Currency{12345}), varDouble, Variant(1.2345)},
      {TcxCurrencyValueType::StaticClass(), 8, Variant(2.5), varCurrency, Variant(Currency{25000})},
      {TcxDateTimeValueType::StaticClass(), 8, Variant(40000.5), varDate, Variant::FromDate(40000.5)},
      {TcxLargeIntValueType::StaticClass(), 8, Variant("9000000000"), varInt64,
       Variant(static_cast<long long>(9000000000))},
      {TcxFMTBcdValueType::StaticClass(), 34, Variant("-12.50"), varDouble, Variant(-12.5)},
      {TcxSQLTimeStampValueType::StaticClass(), 16, Variant::FromDate(43890.25), varDate, Variant::FromDate(43890.25)},
      {TcxVariantValueType::StaticClass(), Integer(sizeof(void*)), VarArrayOf({1, "a"}), varArray | varVariant,
       VarArrayOf({1, "a"})},
  };
  for (const auto& c : cases) {
    const TcxValueTypeClass type = c.type;
    SCOPED_TRACE(type->TypeCaption());
    EXPECT_EQ(type->BufferSize(), c.size);
    TBuffer buffer(type);
    buffer.Set(c.in);
    const Variant out = buffer.Get();
    EXPECT_EQ(out.GetType(), c.outType);
    EXPECT_EQ(CompareVariants(out, c.out), 0);
    // Storing again replaces the value (cells are reused or renewed without leaks).
    buffer.Set(c.in);
    EXPECT_EQ(CompareVariants(buffer.Get(), c.out), 0);
  }
}

TEST(cxValueTypes, ConversionsTheTypeRefuses) {
  TBuffer integer(TcxIntegerValueType::StaticClass());
  integer.Set(5);
  EXPECT_THROW(integer.Set("12a"), EVariantError);
  EXPECT_EQ(integer.Get().AsInteger(), 5);
  TBuffer text(TcxStringValueType::StaticClass());
  text.Set("kept");
  EXPECT_THROW(text.Set(VarArrayOf({1})), EVariantError);
  EXPECT_EQ(text.Get().AsString(), "kept");
  TBuffer bcd(TcxFMTBcdValueType::StaticClass());
  EXPECT_THROW(bcd.Set("1.2.3"), EVariantError);
  EXPECT_THROW(bcd.Set(AnsiString(70, '9')), EVariantError);
}

TEST(cxValueTypes, CoerceVariant) {
  const TcxValueTypeClass integer = TcxIntegerValueType::StaticClass();
  Variant text("12a");
  EXPECT_FALSE(integer->CoerceVariant(text));
  EXPECT_EQ(text.GetType(), varString);
  EXPECT_EQ(text.AsString(), "12a");
  Variant twelve("12");
  EXPECT_TRUE(integer->IsValueValid(twelve));
  EXPECT_EQ(twelve.GetType(), varInteger);
  EXPECT_EQ(twelve.AsInteger(), 12);
  Variant null = Null();
  EXPECT_TRUE(integer->CoerceVariant(null));
  EXPECT_TRUE(null.IsNull());
  Variant anything = VarArrayOf({1});
  EXPECT_TRUE(TcxValueTypeClass(TcxVariantValueType::StaticClass())->CoerceVariant(anything));
  EXPECT_TRUE(anything.IsArray());
  Variant big(static_cast<long long>(1) << 40);
  EXPECT_FALSE(integer->CoerceVariant(big));
}

TEST(cxValueTypes, CompareData) {
  const TcxValueTypeClass string = TcxStringValueType::StaticClass();
  TBuffer none(string), none2(string), empty(string), a(string), b(string);
  empty.Set("");
  a.Set("a");
  b.Set("\xE0");  // above 0x7F: ordinal bytes, unsigned
  EXPECT_EQ(string->CompareBuffers(none.Data(), empty.Data()), -1);
  EXPECT_EQ(string->CompareBuffers(empty.Data(), none.Data()), 1);
  EXPECT_EQ(string->CompareBuffers(none.Data(), none2.Data()), 0);
  EXPECT_EQ(string->CompareBuffers(a.Data(), b.Data()), -1);
  EXPECT_EQ(string->CompareData(string->ResolveBuffer(a.Data()), string->ResolveBuffer(a.Data())), 0);
  EXPECT_EQ(string->ResolvedToVariant(string->ResolveBuffer(a.Data())).AsString(), "a");
  EXPECT_TRUE(string->ResolvedToVariant(string->ResolveBuffer(none.Data())).IsNull());

  struct Case {
    TClass type;
    Variant low, high;
  } cases[] = {
      {TcxIntegerValueType::StaticClass(), Variant(std::numeric_limits<int>::min()), Variant(std::numeric_limits<int>::max())},
      {TcxSmallintValueType::StaticClass(), Variant(-1), Variant(1)},
      {TcxWordValueType::StaticClass(), Variant(1), Variant(65535)},
      {TcxBooleanValueType::StaticClass(), Variant(false), Variant(true)},
      {TcxFloatValueType::StaticClass(), Variant(-0.5), Variant(0.25)},
      {TcxCurrencyValueType::StaticClass(), Variant(-922337203685476.0), Variant(1.0)},
      {TcxDateTimeValueType::StaticClass(), Variant::FromDate(-600000), Variant::FromDate(2)},
      {TcxLargeIntValueType::StaticClass(), Variant(std::numeric_limits<long long>::min()), Variant(-1)},
      {TcxFMTBcdValueType::StaticClass(), Variant("-1.5"), Variant("0.25")},
      {TcxFMTBcdValueType::StaticClass(), Variant("99.999"), Variant("100")},
      {TcxSQLTimeStampValueType::StaticClass(), Variant::FromDate(43890.25), Variant::FromDate(43890.2500001)},
      {TcxWideStringValueType::StaticClass(), Variant(u"A"), Variant(u"a")},
      {TcxVariantValueType::StaticClass(), Null(), Variant(1)},
  };
  for (const auto& c : cases) {
    const TcxValueTypeClass type = c.type;
    SCOPED_TRACE(type->TypeCaption());
    TBuffer low(type), high(type), high2(type);
    low.Set(c.low);
    high.Set(c.high);
    high2.Set(c.high);
    EXPECT_LT(type->CompareBuffers(low.Data(), high.Data()), 0);
    EXPECT_GT(type->CompareBuffers(high.Data(), low.Data()), 0);
    EXPECT_EQ(type->CompareBuffers(high.Data(), high2.Data()), 0);
  }
  TBuffer tenth(TcxFMTBcdValueType::StaticClass()), tenth2(TcxFMTBcdValueType::StaticClass());
  tenth.Set("0.1");
  tenth2.Set(Variant(0.1));
  EXPECT_EQ(TcxValueTypeClass(TcxFMTBcdValueType::StaticClass())->CompareBuffers(tenth.Data(), tenth2.Data()), 0);
}

TEST(cxValueTypes, DisplayTexts) {
  orv::TLocaleScope locale(orv::TLocaleProfile::EnglishUS);
  TBuffer yes(TcxBooleanValueType::StaticClass()), date(TcxDateTimeValueType::StaticClass()),
      bcd(TcxFMTBcdValueType::StaticClass()), integer(TcxIntegerValueType::StaticClass());
  yes.Set(true);
  date.Set(Variant::FromDate(EncodeDate(2021, 3, 4)));
  bcd.Set("-0012.5000");
  integer.Set(-3);
  EXPECT_EQ(TcxValueTypeClass(TcxBooleanValueType::StaticClass())->BufferDisplayText(yes.Data()), "True");
  EXPECT_EQ(TcxValueTypeClass(TcxDateTimeValueType::StaticClass())->BufferDisplayText(date.Data()),
            DateToStr(EncodeDate(2021, 3, 4)));
  EXPECT_EQ(TcxValueTypeClass(TcxFMTBcdValueType::StaticClass())->BufferDisplayText(bcd.Data()), "-12.5");
  EXPECT_EQ(TcxValueTypeClass(TcxIntegerValueType::StaticClass())->BufferDisplayText(integer.Data()), "-3");
  // The decimal layout: precision, sign and places, then digits two per byte.
  const auto* raw = static_cast<const Byte*>(bcd.Data());
  EXPECT_EQ(raw[0], 3);
  EXPECT_EQ(raw[1], 0x81);
  EXPECT_EQ(raw[2], 0x12);
  EXPECT_EQ(raw[3], 0x50);
  orv::TLocaleScope russian(orv::TLocaleProfile::Russian);
  EXPECT_EQ(TcxValueTypeClass(TcxFMTBcdValueType::StaticClass())->BufferDisplayText(bcd.Data()), "-12,5");
  TBuffer many(TcxFMTBcdValueType::StaticClass());
  const AnsiString digits = "1234567890123456789012345678901234567890," + AnsiString(24, '7');
  many.Set(digits);
  EXPECT_EQ(TcxValueTypeClass(TcxFMTBcdValueType::StaticClass())->BufferDisplayText(many.Data()), digits);
}

TEST(cxValueTypes, StreamForms) {
  struct Case {
    TClass type;
    Variant value;
    std::vector<Byte> bytes;
  } cases[] = {
      {TcxIntegerValueType::StaticClass(), Variant(-2), {0xFE, 0xFF, 0xFF, 0xFF}},
      {TcxSmallintValueType::StaticClass(), Variant(258), {0x02, 0x01}},
      {TcxWordValueType::StaticClass(), Variant(65534), {0xFE, 0xFF}},
      {TcxBooleanValueType::StaticClass(), Variant(true), {0x01}},
      {TcxFloatValueType::StaticClass(), Variant(1.0), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {TcxCurrencyValueType::StaticClass(), Variant(Currency{1}), {1, 0, 0, 0, 0, 0, 0, 0}},
      {TcxDateTimeValueType::StaticClass(), Variant::FromDate(2.0), {0, 0, 0, 0, 0, 0, 0, 0x40}},
      {TcxLargeIntValueType::StaticClass(), Variant(-1), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {TcxStringValueType::StaticClass(), Variant("ab"), {2, 0, 0, 0, 'a', 'b'}},
      {TcxWideStringValueType::StaticClass(), Variant(u"Ω"), {1, 0, 0, 0, 0xA9, 0x03}},
      {TcxVariantValueType::StaticClass(), Variant(300), {0x03, 0x2C, 0x01}},
      {TcxSQLTimeStampValueType::StaticClass(), Variant::FromDate(2.0), {0x11, 0, 0, 0, 0, 0, 0, 0, 0x40}},
      {TcxObjectValueType::StaticClass(), Variant(0), {}},
  };
  for (const auto& c : cases) {
    const TcxValueTypeClass type = c.type;
    SCOPED_TRACE(type->TypeCaption());
    TBuffer in(type), out(type);
    in.Set(c.value);
    TStreamPtr stream(new TMemoryStream);
    type->StreamOutValue(in.Data(), stream.get());
    EXPECT_EQ(StreamBytes(stream.get()), c.bytes);
    stream->SetPosition(0);
    type->StreamInValue(out.Data(), stream.get());
    EXPECT_EQ(stream->GetPosition(), stream->GetSize());
    EXPECT_EQ(type->CompareBuffers(in.Data(), out.Data()), 0);
  }
  // 0.1 comes back as the same double through the wider form.
  TBuffer tenth(TcxFloatValueType::StaticClass()), back(TcxFloatValueType::StaticClass());
  tenth.Set(0.1);
  TStreamPtr stream(new TMemoryStream);
  TcxValueTypeClass(TcxFloatValueType::StaticClass())->StreamOutValue(tenth.Data(), stream.get());
  stream->SetPosition(0);
  TcxValueTypeClass(TcxFloatValueType::StaticClass())->StreamInValue(back.Data(), stream.get());
  EXPECT_EQ(back.Get().AsDouble(), 0.1);
}

TEST(cxValueTypes, StringsFollowTheStreamsUnicodeFlag) {
  const TcxValueTypeClass string = TcxStringValueType::StaticClass();
  TStreamPtr stream(new TMemoryStream);
  stream->WriteBuffer("DXUFMT", 6);
  stream->WriteBuffer("\0\0\0\0\0\0\0\0\0\0", 10);
  stream->SetPosition(0);
  std::unique_ptr<TdxStream, orv::FreeDeleter> unicode(new TdxStream(stream.get()));
  ASSERT_TRUE(unicode->GetIsUnicode());
  TBuffer value(string);
  value.Set("Юг"_a);
  string->StreamOutValue(value.Data(), unicode.get());
  const std::vector<Byte> written = StreamBytes(stream.get());
  EXPECT_EQ(std::vector<Byte>(written.begin() + 6, written.begin() + 14),
            (std::vector<Byte>{2, 0, 0, 0, 0x2E, 0x04, 0x33, 0x04}));
  unicode->SetPosition(6);
  TBuffer back(string);
  string->StreamInValue(back.Data(), unicode.get());
  EXPECT_EQ(back.Get().AsString(), "Юг"_a);
}

class TTracked : public TObject {
  ORV_CLASS(TTracked, TObject)
 public:
  explicit TTracked(int* freed = nullptr) : FFreed(freed) {}
  ~TTracked() override {
    if (FFreed) ++*FFreed;
  }

 private:
  int* FFreed;
};

TEST(cxValueTypes, ObjectReferencesArePointerSizedAndOwned) {
  const TcxValueTypeClass object = TcxObjectValueType::StaticClass();
  ASSERT_EQ(object->BufferSize(), Integer(sizeof(void*)));
  int freed = 0;
  auto* tracked = new TTracked(&freed);
  {
    TBuffer buffer(object);
    buffer.Set(Variant(static_cast<long long>(reinterpret_cast<NativeInt>(tracked))));
    const Variant v = buffer.Get();
    EXPECT_EQ(v.GetType(), varInt64);
    EXPECT_EQ(reinterpret_cast<TTracked*>(static_cast<NativeInt>(v.AsInt64())), tracked);
    EXPECT_EQ(freed, 0);
  }
  EXPECT_EQ(freed, 1);
}

}  // namespace
