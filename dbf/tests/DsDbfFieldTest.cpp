#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <utility>

#include "dbf/DsDbfApi.h"
#include "dbf/tests/DbfTestSupport.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/SysUtils.h"

namespace {

using dbftest::BuildDbf;
using dbftest::TMemoryFile;

// One table of one field, its record buffer and a handle that knows both.
class TOneField {
 public:
  TOneField(char letter, Integer length, Integer decimals = 0, Byte version = 0x03,
            CP_TYPE codePage = ascii_ANSI)
      : File(BuildDbf(version, 0, {{"F", letter, length, decimals}})) {
    auto header = std::make_unique<TDbfHeader>(&Handle, &File);
    EXPECT_EQ(header->Read(), dsErrNone);
    Handle.SetHeader(std::move(header));
    Handle.SetCodePage(codePage);
    Record.assign(std::size_t(length + 1), ' ');
    Handle.SetCurrentRecord(Record.data());
  }

  TDbfField& Field() const { return *static_cast<TDbfField*>(Handle.GetHeader()->GetField(0)); }
  void SetBytes(const std::string& bytes) {
    std::memset(&Record[1], ' ', Record.size() - 1);
    std::memcpy(&Record[1], bytes.data(), std::min(bytes.size(), Record.size() - 1));
  }
  std::string Bytes() const { return std::string(Record.begin() + 1, Record.end()); }

  // Decodes into a buffer with guard bytes after GetDataSize() and checks that they survive.
  template <typename T>
  bool Get(T& value) {
    std::vector<Byte> buffer(std::size_t(Field().GetDataSize()) + 16, 0xA5);
    bool isNull = true;
    Field().GetData(nullptr, buffer.data(), isNull);
    for (std::size_t i = std::size_t(Field().GetDataSize()); i < buffer.size(); ++i)
      EXPECT_EQ(buffer[i], 0xA5) << "written past the value at " << i;
    if (!isNull) std::memcpy(&value, buffer.data(), std::min(sizeof value, buffer.size()));
    return !isNull;
  }
  template <typename T>
  Byte Put(const T& value) { return Field().SetData(&value, nullptr); }

  TMemoryFile File;
  TDsCustomHandle Handle;
  std::vector<Byte> Record;
};

Integer FieldDayOf(Word y, Word m, Word d) { return Integer(EncodeDate(y, m, d)) + DateDelta; }

TEST(DbfField, IntegersAreBigEndianWithTheSignBitInverted) {
  TOneField t('I', 4, 0, 0x04);
  const struct {
    std::string Bytes;
    bool Null;
    Integer Value;
  } cases[] = {{std::string("\x80\x00\x00\x05", 4), false, 5},
               {"\x7F\xFF\xFF\xFF", false, -1},
               {std::string("\x80\x00\x00\x00", 4), false, 0},
               {std::string("\x00\x00\x00\x00", 4), true, 0},
               {"    ", true, 0}};
  for (const auto& c : cases) {
    t.SetBytes(c.Bytes);
    Integer v = 12345;
    EXPECT_EQ(t.Get(v), !c.Null);
    if (!c.Null) {
      EXPECT_EQ(v, c.Value);
    }
  }
  // The lowest int32 would store as four zero bytes, the null form: it is not in the range.
  for (const Integer v : {0, 1, -1, 2147483647, -2147483647}) {
    ASSERT_EQ(t.Put(v), dsErrNone);
    Integer back = 0;
    ASSERT_TRUE(t.Get(back));
    EXPECT_EQ(back, v);
  }
  t.Field().SetData(nullptr, nullptr);
  EXPECT_EQ(t.Bytes(), std::string(4, '\0'));
  EXPECT_TRUE(t.Field().IsNull());
}

TEST(DbfField, FoxProIntegersAreLittleEndian) {
  TOneField t('I', 4, 0, 0x30);
  t.SetBytes("\xF9\xFF\xFF\xFF");
  Integer v = 0;
  ASSERT_TRUE(t.Get(v));
  EXPECT_EQ(v, -7);
  t.SetBytes(std::string(4, '\0'));
  ASSERT_TRUE(t.Get(v));
  EXPECT_EQ(v, 0);
  ASSERT_EQ(t.Put(Integer(2000000000)), dsErrNone);
  EXPECT_EQ(t.Bytes(), std::string("\x00\x94\x35\x77", 4));
}

TEST(DbfField, TextIsTranslatedAndLosesTrailingBlanks) {
  TOneField t('C', 10, 0, 0x03, dBASE_RUS_cp866);
  t.SetBytes("\x8C\xAE\xE1\xAA\xA2\xA0    ");  // Москва in cp866
  char text[11];
  ASSERT_TRUE(t.Get(text));
  EXPECT_EQ(AnsiString(text), "Москва"_a);
  EXPECT_EQ(t.Field().AsString(), "Москва"_a);
  AnsiString direct;
  bool isNull = true;
  t.Field().GetText(nullptr, direct, isNull);
  EXPECT_FALSE(isNull);
  EXPECT_EQ(direct, "Москва"_a);

  t.SetBytes("  ab  ");  // leading blanks stay
  ASSERT_TRUE(t.Get(text));
  EXPECT_STREQ(text, "  ab");
  t.SetBytes(std::string("ab\0cd", 5));  // text ends at a zero byte
  ASSERT_TRUE(t.Get(text));
  EXPECT_STREQ(text, "ab");

  t.SetBytes("");
  EXPECT_FALSE(t.Get(text));
  EXPECT_TRUE(t.Field().IsNull());
  EXPECT_EQ(t.Field().AsString(), "");

  const AnsiString town = "Тверь"_a;
  ASSERT_EQ(t.Field().SetData(town.c_str(), nullptr), dsErrNone);
  EXPECT_EQ(t.Bytes(), "\x92\xA2\xA5\xE0\xEC     ");
  // A text longer than the field keeps the field's length and nothing more.
  const AnsiString longText = "Санкт-Петербург"_a;
  ASSERT_EQ(t.Field().SetData(longText.c_str(), nullptr), dsErrNone);
  ASSERT_TRUE(t.Get(text));
  EXPECT_EQ(AnsiString(text), "Санкт-Пете"_a);
}

TEST(DbfField, TextOfAnyLengthEndsAtItsFirstZeroWithoutTrailingBlanks) {
  // Blanks, zeros and letters at every place of fields shorter and longer than a word, against
  // the rule read byte by byte.
  std::mt19937 random(11);
  const char alphabet[] = {' ', ' ', ' ', 'a', 'b', '\0', '\xE0'};
  for (const Integer length : {1, 7, 8, 9, 10, 15, 16, 17, 25, 31, 33, 40, 47, 63, 64, 65, 80}) {
    TOneField t('C', length);
    for (int i = 0; i < 3000; ++i) {
      std::string bytes(std::size_t(length), ' ');
      const std::size_t used = random() % (std::size_t(length) + 1);
      for (std::size_t k = 0; k < used; ++k) bytes[k] = alphabet[random() % sizeof alphabet];
      t.SetBytes(bytes);
      std::size_t end = bytes.size();
      while (end > 0 && bytes[end - 1] == ' ') --end;
      std::string expected = bytes.substr(0, std::min(end, bytes.find('\0')));
      while (!expected.empty() && expected.back() == ' ') expected.pop_back();
      char text[81];
      const bool hasValue = t.Get(text);
      ASSERT_EQ(hasValue, end > 0) << length << " '" << bytes << "'";
      if (hasValue) {
        ASSERT_EQ(std::string(text), expected) << length << " '" << bytes << "'";
      }
      // The read straight into a string gives the same.
      AnsiString direct = "stale";
      bool isNull = false;
      t.Field().GetText(nullptr, direct, isNull);
      ASSERT_EQ(isNull, !hasValue) << length << " '" << bytes << "'";
      ASSERT_EQ(direct, hasValue ? expected : std::string()) << length << " '" << bytes << "'";
    }
  }
}

TEST(DbfField, NumbersReadWithTheirBlanksAndRefuseWhatIsNoNumber) {
  TOneField t('N', 8, 2);
  const struct {
    const char* Bytes;
    bool Null;
    double Value;
  } cases[] = {
      {"   12.50", false, 12.5}, {"12.50   ", false, 12.5}, {"  -3.25 ", false, -3.25},
      {"       0", false, 0},    {"        ", true, 0},     {"  12,50 ", true, 0},
      {"********", true, 0},     {"  1 2   ", true, 0},     {"   .    ", true, 0},
  };
  for (const auto& c : cases) {
    t.SetBytes(c.Bytes);
    double v = 99;
    EXPECT_EQ(t.Get(v), !c.Null) << c.Bytes;
    if (!c.Null) {
      EXPECT_DOUBLE_EQ(v, c.Value) << c.Bytes;
    }
  }
  t.SetBytes("   12.50");
  EXPECT_DOUBLE_EQ(t.Field().AsFloat(), 12.5);
  EXPECT_EQ(t.Field().AsInteger(), 12);
  EXPECT_EQ(t.Field().AsString(), FloatToStr(12.5));  // the locale's decimal separator
}

TEST(DbfField, NumbersReadExactlyAsValReadsThem) {
  // The decoder's direct conversions of plain numbers must give Val's value, bit for bit: texts
  // of any form, and texts laid out as the descriptor says (the point before the last
  // `decimals` characters, the short ones read a word at a time) with their blanks, signs,
  // digits and stray characters anywhere.
  std::mt19937 random(7);
  const char alphabet[] = "   0123456789012345678901234567890123456789.-+e";
  for (const auto& [length, decimals] : {std::pair<Integer, Integer>{8, 7}, {8, 1}, {9, 2}, {10, 3}, {10, 4},
                                         {12, 3}, {16, 6}, {19, 3}, {20, 3}}) {
  TOneField t('N', length, decimals);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    if (i % 2 == 0) {
      text.assign(1 + random() % std::size_t(length), ' ');
      for (char& c : text) c = alphabet[random() % (sizeof alphabet - 1)];
    } else {
      text.assign(std::size_t(length), ' ');
      const std::size_t point = std::size_t(length - decimals - 1);
      text[point] = '.';
      for (std::size_t k = point + 1; k < text.size(); ++k) text[k] = char('0' + random() % 10);
      const std::size_t whole = random() % (point + 1);
      for (std::size_t k = point - whole; k < point; ++k) text[k] = char('0' + random() % 10);
      if (whole < point && random() % 3 == 0) text[point - whole - 1] = random() % 2 ? '-' : '+';
      if (random() % 4 == 0) text[random() % text.size()] = alphabet[random() % (sizeof alphabet - 1)];
    }
    t.SetBytes(text);
    std::string_view trimmed(text);
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
    double expected = 0;
    Integer code = 0;
    Val(trimmed, expected, code);
    double v = 0;
    const bool hasValue = t.Get(v);
    ASSERT_EQ(hasValue, code == 0 && !trimmed.empty()) << "'" << text << "'";
    if (hasValue) {
      ASSERT_EQ(std::memcmp(&v, &expected, sizeof v), 0) << "'" << text << "' " << v << " " << expected;
    }
  }
  }
}

TEST(DbfField, NumbersAreWrittenRightAlignedAndRefusedWhenTooWide) {
  TOneField t('N', 8, 2);
  ASSERT_EQ(t.Put(3.14159), dsErrNone);
  EXPECT_EQ(t.Bytes(), "    3.14");
  ASSERT_EQ(t.Put(-1234.567), dsErrNone);
  EXPECT_EQ(t.Bytes(), "-1234.57");
  ASSERT_EQ(t.Put(12345.67), dsErrNone);
  EXPECT_EQ(t.Bytes(), "12345.67");
  // One digit more than the field holds: refused, the field keeps its value.
  EXPECT_EQ(t.Put(123456.7), dsErrInvalidParameter);
  EXPECT_EQ(t.Bytes(), "12345.67");
  EXPECT_EQ(t.Put(std::nan("")), dsErrInvalidParameter);
  EXPECT_EQ(t.Put(HUGE_VAL), dsErrInvalidParameter);
  EXPECT_EQ(t.Bytes(), "12345.67");

  TOneField whole('N', 5, 0);
  ASSERT_EQ(whole.Put(-42.0), dsErrNone);
  EXPECT_EQ(whole.Bytes(), "  -42");
}

TEST(DbfField, DatesAreDigitsAndBadDigitsAreNull) {
  TOneField t('D', 8);
  const struct {
    const char* Bytes;
    bool Null;
    Integer Day;
  } cases[] = {
      {"20061223", false, FieldDayOf(2006, 12, 23)}, {"00010101", false, 1},
      {"99991231", false, FieldDayOf(9999, 12, 31)}, {"        ", true, 0},
      {"00000000", true, 0},                    {"20061323", true, 0},
      {"20060230", true, 0},                    {"2006ab23", true, 0},
      {"2006 223", true, 0},                    {"20O61223", true, 0},
  };
  for (const auto& c : cases) {
    t.SetBytes(c.Bytes);
    Integer day = -5;
    EXPECT_EQ(t.Get(day), !c.Null) << c.Bytes;
    if (!c.Null) {
      EXPECT_EQ(day, c.Day) << c.Bytes;
    }
  }
  t.SetBytes("20061223");
  EXPECT_DOUBLE_EQ(t.Field().AsDateTime(), EncodeDate(2006, 12, 23));

  ASSERT_EQ(t.Put(FieldDayOf(1147, 4, 4)), dsErrNone);
  EXPECT_EQ(t.Bytes(), "11470404");
  EXPECT_EQ(t.Put(Integer(0)), dsErrInvalidParameter);
  EXPECT_EQ(t.Put(FieldDayOf(9999, 12, 31) + 1), dsErrInvalidParameter);
  EXPECT_EQ(t.Bytes(), "11470404");
}

TEST(DbfField, LogicalsReadTheirLettersAndAnythingElseAsNull) {
  TOneField t('L', 1);
  const struct {
    char Letter;
    bool Null;
    bool Value;
  } cases[] = {{'T', false, true},  {'t', false, true},  {'Y', false, true}, {'y', false, true},
               {'F', false, false}, {'f', false, false}, {'N', false, false}, {'n', false, false},
               {' ', true, false},  {'?', true, false},  {'X', true, false}, {'\0', true, false}};
  for (const auto& c : cases) {
    t.SetBytes(std::string(1, c.Letter));
    SmallInt v = 77;
    EXPECT_EQ(t.Get(v), !c.Null) << c.Letter;
    if (!c.Null) {
      EXPECT_EQ(v, c.Value ? -1 : 0) << c.Letter;
      EXPECT_EQ(t.Field().AsBoolean(), c.Value);
      EXPECT_EQ(t.Field().AsInteger(), c.Value ? -1 : 0);
      EXPECT_EQ(t.Field().AsString(), c.Value ? "True" : "False");
    }
  }
  ASSERT_EQ(t.Put(SmallInt(-1)), dsErrNone);
  EXPECT_EQ(t.Bytes(), "T");
  ASSERT_EQ(t.Put(SmallInt(0)), dsErrNone);
  EXPECT_EQ(t.Bytes(), "F");
  t.Field().SetData(nullptr, nullptr);
  EXPECT_TRUE(t.Field().IsNull());
}

TEST(DbfField, DateTimesAreTimeStampMilliseconds) {
  TOneField t('@', 8, 0, 0x04);
  const double mSecs = TimeStampToMSecs(DateTimeToTimeStamp(EncodeDate(2006, 12, 23) + EncodeTime(10, 20, 30, 400)));
  ASSERT_EQ(t.Put(mSecs), dsErrNone);
  UInt64 bits;
  std::memcpy(&bits, &mSecs, 8);
  EXPECT_EQ(Byte(t.Bytes()[0]), Byte(bits >> 56));  // big-endian
  double back = 0;
  ASSERT_TRUE(t.Get(back));
  EXPECT_EQ(back, mSecs);
  EXPECT_NEAR(t.Field().AsDateTime(), EncodeDate(2006, 12, 23) + EncodeTime(10, 20, 30, 400), 1e-9);

  t.Field().SetData(nullptr, nullptr);
  EXPECT_EQ(t.Bytes(), std::string(8, '\0'));
  EXPECT_TRUE(t.Field().IsNull());
  // Bytes that are no moment of years 1 to 9999 are no value.
  for (const double bad : {-1.0, 0.0, 1e300, std::nan("")}) {
    if (bad == 0.0) continue;
    ASSERT_EQ(t.Put(bad), dsErrNone);
    EXPECT_TRUE(t.Field().IsNull()) << bad;
    EXPECT_EQ(t.Field().AsDateTime(), 0);
  }
}

TEST(DbfField, DBaseVIIDoublesSortAsTheirBytes) {
  TOneField t('O', 8, 0, 0x04);
  ASSERT_EQ(t.Put(1.0), dsErrNone);
  EXPECT_EQ(t.Bytes(), std::string("\xBF\xF0\x00\x00\x00\x00\x00\x00", 8));
  ASSERT_EQ(t.Put(-1.0), dsErrNone);
  EXPECT_EQ(t.Bytes(), std::string("\x40\x0F\xFF\xFF\xFF\xFF\xFF\xFF", 8));
  std::string previous;
  for (const double v : {-1e10, -2.5, -0.0, 0.0, 1e-300, 3.75, 1e10}) {
    ASSERT_EQ(t.Put(v), dsErrNone);
    EXPECT_LE(previous, t.Bytes()) << v;
    previous = t.Bytes();
    double back = 99;
    ASSERT_TRUE(t.Get(back));
    EXPECT_EQ(back, v);
  }
}

TEST(DbfField, FoxProCurrencyIsAScaledInteger) {
  TOneField money('Y', 8, 4, 0x30);
  money.SetBytes(std::string("\x40\xE2\x01\x00\x00\x00\x00\x00", 8));  // 123456 / 10000
  double v = 0;
  ASSERT_TRUE(money.Get(v));
  EXPECT_DOUBLE_EQ(v, 12.3456);
  ASSERT_EQ(money.Put(-0.5), dsErrNone);
  ASSERT_TRUE(money.Get(v));
  EXPECT_DOUBLE_EQ(v, -0.5);
  EXPECT_EQ(money.Field().AsString(), CurrToStr(Currency{-5000}));
  EXPECT_EQ(money.Put(1e30), dsErrInvalidParameter);

}

TEST(DbfField, FoxProCurrencyReadsAsTextAtTheEndsOfItsRange) {
  // The amounts times 10 000 fill an int64; a double cannot carry the ends of that range.
  const struct {
    std::string Bytes;
    Int64 Scaled;
  } cases[] = {
      {std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 8), std::numeric_limits<Int64>::max()},
      {std::string("\x00\x00\x00\x00\x00\x00\x00\x80", 8), std::numeric_limits<Int64>::min()},
      {std::string("\x01\x00\x00\x00\x00\x00\x00\x00", 8), 1},
  };
  for (const auto& c : cases) {
    TOneField money('Y', 8, 4, 0x30);
    money.SetBytes(c.Bytes);
    EXPECT_EQ(money.Field().AsString(), CurrToStr(Currency{c.Scaled}));
    EXPECT_DOUBLE_EQ(money.Field().AsFloat(), double(c.Scaled) / 10000);
  }
  // Every digit of the largest amount is there.
  TOneField money('Y', 8, 4, 0x30);
  money.SetBytes(cases[0].Bytes);
  AnsiString digits;
  for (const char c : money.Field().AsString())
    if (c >= '0' && c <= '9') digits += c;
  EXPECT_EQ(digits, "9223372036854775807");
}

TEST(DbfField, FoxProDateTimesKeepTheirDay) {
  TOneField stamp('T', 8, 0, 0x30);
  EXPECT_EQ(stamp.Field().GetFieldType(), ftDateTime);
  stamp.SetBytes(std::string("\x4D\x72\x25\x00\xB0\x15\x38\x02", 8));  // 2006-12-23 10:20:30
  const TDateTime expected = EncodeDate(2006, 12, 23) + EncodeTime(10, 20, 30, 0);
  EXPECT_NEAR(stamp.Field().AsDateTime(), expected, 1e-9);
  double mSecs = 0;
  ASSERT_TRUE(stamp.Get(mSecs));
  EXPECT_EQ(mSecs, TimeStampToMSecs(DateTimeToTimeStamp(expected)));
  // Written back as the day and the milliseconds of the day.
  const double moment = TimeStampToMSecs(DateTimeToTimeStamp(EncodeDate(1999, 1, 2) + EncodeTime(0, 0, 1, 0)));
  ASSERT_EQ(stamp.Put(moment), dsErrNone);
  EXPECT_EQ(stamp.Bytes(), std::string("\xED\x66\x25\x00\xE8\x03\x00\x00", 8));
  EXPECT_NEAR(stamp.Field().AsDateTime(), EncodeDate(1999, 1, 2) + EncodeTime(0, 0, 1, 0), 1e-9);
  EXPECT_EQ(stamp.Put(0.0), dsErrInvalidParameter);
  // Day 0, a time past midnight or a day past year 9999 is no value.
  for (const std::string& bytes :
       {std::string(8, '\0'), std::string("\x00\x00\x00\x00\x02\x00\x00\x00", 8),
        std::string("\x4D\x72\x25\x00\x00\x5C\x26\x05", 8), std::string("\xFF\xFF\xFF\x7F\x00\x00\x00\x00", 8)}) {
    stamp.SetBytes(bytes);
    EXPECT_TRUE(stamp.Field().IsNull());
  }
}

TEST(DbfField, FoxProEightByteBinaryFieldsAreDoubles) {
  TOneField number('B', 8, 2, 0x30);
  EXPECT_EQ(number.Field().GetFieldType(), ftFloat);
  EXPECT_EQ(number.Field().GetDataSize(), 8);
  number.SetBytes(std::string("\x00\x00\x00\x00\x00\x80\x29\x40", 8));  // 12.75
  double v = 0;
  ASSERT_TRUE(number.Get(v));
  EXPECT_EQ(v, 12.75);
  EXPECT_EQ(number.Field().AsFloat(), 12.75);
  ASSERT_EQ(number.Put(-0.5), dsErrNone);
  EXPECT_EQ(number.Bytes(), std::string("\x00\x00\x00\x00\x00\x00\xE0\xBF", 8));
  // A dBASE "B" is a binary memo.
  TOneField memo('B', 10, 0, 0x8B);
  EXPECT_EQ(memo.Field().GetFieldType(), ftTypedBinary);
}

TEST(DbfField, MemoKindsGiveTheirBlockNumber) {
  for (const char letter : {'M', 'B', 'P', 'G'}) {
    TOneField t(letter, 10);
    t.SetBytes("         5");
    Integer block = 0;
    ASSERT_TRUE(t.Get(block)) << letter;
    EXPECT_EQ(block, 5);
    t.SetBytes("        x5");
    ASSERT_TRUE(t.Get(block));
    EXPECT_EQ(block, 0);
    t.SetBytes("");
    EXPECT_FALSE(t.Get(block));
    ASSERT_EQ(t.Put(Integer(42)), dsErrNone);
    EXPECT_EQ(t.Bytes(), "        42");
  }
  TOneField binary('M', 4, 0, 0x30);
  binary.SetBytes(std::string("\x07\x00\x00\x00", 4));
  Integer block = 0;
  ASSERT_TRUE(binary.Get(block));
  EXPECT_EQ(block, 7);
}

TEST(DbfField, EveryLetterDecodesWithinItsDataSize) {
  // Fields of every letter and odd lengths, filled with every kind of byte: no decoded value
  // may pass the size that the field announces (TOneField::Get checks the guard bytes).
  const char letters[] = {'C', 'N', 'F', 'O', 'D', 'L', 'I', '+', '@', 'T', 'Y', 'M', 'B', 'G', 'P', 'X', '0'};
  for (const char letter : letters)
    for (const Integer length : {1, 4, 8, 10, 40, 255})
      for (const Byte version : {Byte(0x03), Byte(0x04), Byte(0x30)}) {
        TOneField t(letter, length, 2, version, dBASE_RUS_cp866);
        for (const Byte fill : {Byte(0x00), Byte('1'), Byte('T'), Byte(0xFF), Byte(0x80)}) {
          t.SetBytes(std::string(std::size_t(length), char(fill)));
          Byte value[300];
          t.Get(value);
          (void)t.Field().AsString();
          (void)t.Field().AsDateTime();
          (void)t.Field().AsInteger();
        }
      }
}

TEST(DbfField, UnknownLettersCopyTheirBytes) {
  TOneField t('X', 3);
  EXPECT_EQ(t.Field().GetFieldType(), ftUnknown);
  EXPECT_EQ(t.Field().GetDataSize(), 3);
  t.SetBytes("abc");
  char v[3];
  ASSERT_TRUE(t.Get(v));
  EXPECT_EQ(std::string(v, 3), "abc");
  ASSERT_EQ(t.Field().SetData("xyz", nullptr), dsErrNone);
  EXPECT_EQ(t.Bytes(), "xyz");
}

TEST(DbfField, WithoutARecordTheFieldIsNull) {
  TOneField t('C', 5);
  t.SetBytes("abc");
  t.Handle.SetCurrentRecord(nullptr);
  EXPECT_TRUE(t.Field().IsNull());
  EXPECT_EQ(t.Field().AsString(), "");
  // An explicit record wins over the handle's.
  EXPECT_EQ(t.Field().AsString(t.Record.data()), "abc");
  EXPECT_EQ(t.Field().SetData("x", nullptr), dsErrInvalidParameter);
}

}  // namespace
