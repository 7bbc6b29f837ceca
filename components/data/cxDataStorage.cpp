#include "components/data/cxDataStorage.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <sys/mman.h>
#include <string_view>
#include <unordered_map>

#include "components/foundation/dxCore.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"

// Where a value's bytes lay in a record before a change of the definitions (complete before the
// first function that destroys a vector of them).
struct TcxDataStorage::TSlotLayout {
  TcxValueDef* Def;
  Integer Offset;
  Integer BufferSize;
  Boolean TextStored;
};

namespace {

constexpr Integer kPointerSize = Integer(sizeof(void*));
constexpr Integer kRecordIDSize = 4;

// ---- Raw access to unaligned buffer bytes -----------------------------------------------------

template <class T>
T Load(const void* p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

template <class T>
void Store(void* p, T value) {
  std::memcpy(p, &value, sizeof value);
}

void* LoadPointer(const void* slot) { return Load<void*>(slot); }
void StorePointer(void* slot, void* value) { Store(slot, value); }

template <class T>
Integer Sign(T a, T b) {
  return a < b ? -1 : b < a ? 1 : 0;
}

Boolean IsUnicodeStream(TStream* stream) {
  auto* dxStream = dynamic_cast<TdxStream*>(stream);
  return dxStream && dxStream->GetIsUnicode();
}

// ---- Text cells: one heap block holding the length (int32) and the characters ----------------

template <class Char>
void* NewTextCell(std::basic_string_view<Char> text) {
  const Integer length = Integer(text.size());
  void* cell = std::malloc(sizeof(Integer) + text.size() * sizeof(Char));
  if (!cell) throw std::bad_alloc();
  std::memcpy(cell, &length, sizeof length);
  if (length) std::memcpy(static_cast<Byte*>(cell) + sizeof(Integer), text.data(), text.size() * sizeof(Char));
  return cell;
}

// A cell made in the storage's loading arena stores its length as -(length + 1): the arena owns
// its memory, so the cell is dropped rather than freed.
bool IsArenaTextCell(const void* cell) { return Load<Integer>(cell) < 0; }

void FreeCellMemory(void* cell) {
  if (cell && !IsArenaTextCell(cell)) std::free(cell);
}

template <class Char>
std::basic_string_view<Char> TextCellView(const void* cell) {
  Integer length = Load<Integer>(cell);
  if (length < 0) length = -(length + 1);
  return {reinterpret_cast<const Char*>(static_cast<const Byte*>(cell) + sizeof(Integer)), std::size_t(length)};
}

// ---- Text slots --------------------------------------------------------------------------------
// A slot is pointer-sized. Nil: no text. An 8-bit text of up to seven bytes (most codes,
// coordinates and short names) lives in the slot itself, with no cell to make, share or free:
// the slot's first byte holds length * 2 + 1, the next seven the characters (unused ones zero).
// That first byte is the low byte of a pointer on the little-endian machines we build for, and
// it is odd, which no cell pointer is (heap cells are 16-aligned, arena cells 2-aligned). Longer
// texts, and every UTF-16 text, are cells the slot points to.

static_assert(std::endian::native == std::endian::little, "inline text slots tag a pointer's low byte");
constexpr std::size_t kInlineTextMax = sizeof(void*) - 1;

bool IsInlineText(const void* slot) { return (*static_cast<const Byte*>(slot) & 1) != 0; }

// The slot's cell, or nil for none and for an inline text.
void* SlotCell(const void* slot) { return IsInlineText(slot) ? nullptr : LoadPointer(slot); }

void StoreInlineText(void* slot, std::string_view text) {
  // Put together in a register: bytes laid out on the stack and read back as one word wait for
  // their stores to drain, which a load of many short texts feels.
  std::uintptr_t word = Byte(text.size() * 2 + 1);
  for (std::size_t i = 0; i < text.size(); ++i) word |= std::uintptr_t(Byte(text[i])) << (8 * (i + 1));
  std::memcpy(slot, &word, sizeof word);
}

// The 8-bit text of a slot that holds one (inline or in a cell).
std::string_view AnsiSlotView(const void* slot) {
  const auto* bytes = static_cast<const Byte*>(slot);
  if (bytes[0] & 1) return {reinterpret_cast<const char*>(bytes + 1), std::size_t(bytes[0] >> 1)};
  return TextCellView<char>(LoadPointer(slot));
}

// Frees what the slot owns and clears it.
void FreeTextCell(void* slot) {
  void* cell = SlotCell(slot);
  StorePointer(slot, nullptr);
  FreeCellMemory(cell);
}

// Replaces the slot's text by `text`.
void AssignAnsiText(void* slot, std::string_view text) {
  if (text.size() <= kInlineTextMax) {
    FreeTextCell(slot);
    StoreInlineText(slot, text);
    return;
  }
  void* cell = NewTextCell(text);
  void* old = SlotCell(slot);
  StorePointer(slot, cell);
  FreeCellMemory(old);
}

void AssignWideText(void* slot, std::u16string_view text) {
  void* cell = NewTextCell(text);
  void* old = SlotCell(slot);
  StorePointer(slot, cell);
  FreeCellMemory(old);
}

AnsiString AnsiSlotText(const void* slot) {
  return LoadPointer(slot) ? AnsiString(AnsiSlotView(slot)) : AnsiString();
}

// Text in the stream's form: UTF-16 when its Unicode flag is set, else ANSI.
AnsiString LoadStreamText(TStream* stream) {
  return IsUnicodeStream(stream) ? orv::WideToAnsi(LoadUnicodeText(stream)) : LoadAnsiText(stream);
}

void SaveStreamText(TStream* stream, std::string_view text) {
  if (IsUnicodeStream(stream))
    SaveUnicodeText(stream, orv::AnsiToWide(text));
  else
    SaveAnsiText(stream, AnsiString(text));
}

// ---- Class objects of the value types --------------------------------------------------------

// One shared object per value type class, made through the class's virtual constructor on
// first use and freed at exit.
class TValueTypeObjects {
 public:
  ~TValueTypeObjects() {
    for (auto& entry : FObjects) entry.second->Free();
  }
  const TcxValueType* Get(TClass c) {
    auto it = FObjects.find(c);
    if (it != FObjects.end()) return it->second;
    orv::CheckClassReference(c, TcxValueType::StaticClass());
    auto* object = static_cast<TcxValueType*>(c->CreateInstance<TcxValueType::TCreateSignature>());
    FObjects.emplace(c, object);
    return object;
  }

 private:
  std::unordered_map<TClass, TcxValueType*> FObjects;
};

TValueTypeObjects& ValueTypeObjects() {
  static TValueTypeObjects objects;
  return objects;
}

// ---- Decimal numbers of the FMTBcd type -------------------------------------------------------

constexpr Integer kMaxBcdDigits = 64;

// A decimal number as digit characters: no leading zeros in the integer part, no trailing zeros
// in the fraction; zero has both empty.
struct TDecimal {
  bool Negative = false;
  std::string Whole;
  std::string Fraction;

  bool IsZero() const { return Whole.empty() && Fraction.empty(); }
  void Normalize() {
    const std::size_t first = Whole.find_first_not_of('0');
    Whole.erase(0, first == std::string::npos ? Whole.size() : first);
    const std::size_t last = Fraction.find_last_not_of('0');
    Fraction.erase(last == std::string::npos ? 0 : last + 1);
    if (IsZero()) Negative = false;
  }
};

[[noreturn]] void BcdConversionError(const Variant& value) {
  throw EVariantError("Could not convert variant of type (" + VarTypeAsText(value.GetType()) + ") into type (FMTBcd)");
}

TDecimal ReadBcd(const Byte* bcd) {
  const Integer precision = std::min<Integer>(bcd[0], kMaxBcdDigits);
  const Integer places = std::min<Integer>(bcd[1] & 0x3F, precision);
  std::string digits;
  digits.reserve(std::size_t(precision));
  for (Integer i = 0; i < precision; ++i) {
    const Byte pair = bcd[2 + i / 2];
    const Integer digit = i % 2 == 0 ? pair >> 4 : pair & 0x0F;
    digits += char('0' + std::min(digit, 9));
  }
  TDecimal d;
  d.Negative = (bcd[1] & 0x80) != 0;
  d.Whole = digits.substr(0, std::size_t(precision - places));
  d.Fraction = digits.substr(std::size_t(precision - places));
  d.Normalize();
  return d;
}

// Fraction digits beyond the 64 that fit are cut; an integer part that does not fit overflows.
void WriteBcd(Byte* bcd, TDecimal d, const Variant& source) {
  d.Normalize();
  if (Integer(d.Whole.size()) > kMaxBcdDigits) BcdConversionError(source);
  d.Fraction.resize(std::min(d.Fraction.size(), std::size_t(kMaxBcdDigits) - d.Whole.size()));
  d.Normalize();
  std::string digits = d.Whole + d.Fraction;
  if (digits.empty()) digits = "0";
  std::memset(bcd, 0, 34);
  bcd[0] = Byte(digits.size());
  bcd[1] = Byte(d.Fraction.size() | (d.Negative ? 0x80 : 0));
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const Byte digit = Byte(digits[i] - '0');
    bcd[2 + i / 2] |= i % 2 == 0 ? Byte(digit << 4) : digit;
  }
}

// Digits with an optional sign, one decimal separator ('.' or the locale's) and an exponent.
bool ParseDecimal(std::string_view text, TDecimal& d) {
  const std::string trimmed = Trim(AnsiString(text));
  std::size_t i = 0;
  d = TDecimal();
  if (i < trimmed.size() && (trimmed[i] == '-' || trimmed[i] == '+')) d.Negative = trimmed[i++] == '-';
  std::string digits;
  Integer point = -1;
  for (; i < trimmed.size(); ++i) {
    const char c = trimmed[i];
    if (c >= '0' && c <= '9') {
      digits += c;
    } else if ((c == '.' || c == FormatSettings.DecimalSeparator) && point < 0) {
      point = Integer(digits.size());
    } else {
      break;
    }
  }
  if (digits.empty()) return false;
  if (point < 0) point = Integer(digits.size());
  if (i < trimmed.size() && (trimmed[i] == 'E' || trimmed[i] == 'e')) {
    Integer exponent = 0;
    if (!TryStrToInt(trimmed.substr(i + 1), exponent) || exponent > 1000 || exponent < -1000) return false;
    point += exponent;
    i = trimmed.size();
  }
  if (i != trimmed.size()) return false;
  if (point < 0) {
    digits.insert(0, std::size_t(-point), '0');
    point = 0;
  }
  if (point > Integer(digits.size())) digits.append(std::size_t(point) - digits.size(), '0');
  d.Whole = digits.substr(0, std::size_t(point));
  d.Fraction = digits.substr(std::size_t(point));
  d.Normalize();
  return true;
}

AnsiString DecimalText(const TDecimal& d, char separator) {
  AnsiString text = d.Negative ? "-" : "";
  text += d.Whole.empty() ? "0" : d.Whole;
  if (!d.Fraction.empty()) text += separator + d.Fraction;
  return text;
}

Integer CompareMagnitude(const TDecimal& a, const TDecimal& b) {
  if (a.Whole.size() != b.Whole.size()) return a.Whole.size() < b.Whole.size() ? -1 : 1;
  if (const int r = a.Whole.compare(b.Whole)) return r < 0 ? -1 : 1;
  const int r = a.Fraction.compare(b.Fraction);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

Integer CompareDecimals(const TDecimal& a, const TDecimal& b) {
  if (a.Negative != b.Negative) return a.Negative ? -1 : 1;
  const Integer r = CompareMagnitude(a, b);
  return a.Negative ? -r : r;
}

TDecimal VariantToDecimal(const Variant& value) {
  TDecimal d;
  const TVarType type = value.GetType();
  if (type == varString || type == varOleStr) {
    if (!ParseDecimal(value.AsString(), d)) BcdConversionError(value);
  } else if (type == varCurrency) {
    const Int64 scaled = value.AsCurrency().Scaled;
    const UInt64 magnitude = scaled < 0 ? UInt64(0) - UInt64(scaled) : UInt64(scaled);
    d.Negative = scaled < 0;
    d.Whole = std::to_string(magnitude / 10000);
    const std::string fraction = std::to_string(magnitude % 10000);
    d.Fraction = std::string(4 - fraction.size(), '0') + fraction;
    d.Normalize();
  } else if (type == varDouble || type == varSingle || type == varDate) {
    if (!ParseDecimal(FloatToStrF(value.AsDouble(), ffGeneral, 15, 0), d)) BcdConversionError(value);
  } else {
    ParseDecimal(IntToStr(value.AsInt64()), d);
  }
  return d;
}

// ---- SQL time stamps ---------------------------------------------------------------------------

struct TSQLTimeStamp {
  SmallInt Year;
  Word Month, Day, Hour, Minute, Second;
  LongWord Fractions;  // milliseconds
};
static_assert(sizeof(TSQLTimeStamp) == 16);

}  // namespace

// ==== Class references =======================================================================

TcxValueTypeClass::TcxValueTypeClass(TClass c) : FType(c ? ValueTypeObjects().Get(c) : nullptr) {}

TClass TcxValueTypeClass::Get() const { return FType ? FType->ClassType() : nullptr; }

// ==== TcxValueType ===========================================================================

Integer TcxValueType::CompareBuffers(const void* buffer1, const void* buffer2) const { return CompareData(buffer1, buffer2); }

void TcxValueType::ReleaseTextBuffer(void* textSlot) const { FreeTextCell(textSlot); }

AnsiString TcxValueType::BufferDisplayText(const void* buffer) const {
  try {
    return VarToStr(BufferToVariant(buffer));
  } catch (const EVariantError&) {
    return AnsiString();
  }
}

AnsiString TcxValueType::TextBufferToString(const void* textSlot) const { return AnsiSlotText(textSlot); }

void TcxValueType::StreamInValue(void* buffer, TStream* stream) const { VariantToBuffer(buffer, LoadVariant(stream)); }

void TcxValueType::StreamInText(void* textSlot, TStream* stream) const {
  StringToTextBuffer(textSlot, LoadStreamText(stream));
}

void TcxValueType::StringToTextBuffer(void* textSlot, const AnsiString& text) const {
  AssignAnsiText(textSlot, text);
}

void TcxValueType::StreamOutValue(const void* buffer, TStream* stream) const { SaveVariant(stream, BufferToVariant(buffer)); }

void TcxValueType::StreamOutText(const void* textSlot, TStream* stream) const {
  SaveStreamText(stream, TextBufferToString(textSlot));
}

AnsiString TcxValueType::TypeCaption() const {
  AnsiString caption = ClassName();
  if (caption.compare(0, 3, "Tcx") == 0) caption.erase(0, 3);
  const std::size_t at = caption.find("ValueType");
  if (at != AnsiString::npos) caption.erase(at, 9);
  return caption;
}

Integer TcxValueType::CompareData(const void* data1, const void* data2) const {
  return CompareVariants(BufferToVariant(data1), BufferToVariant(data2));
}

Boolean TcxValueType::CoerceVariant(Variant& value) const {
  const TVarType code = VariantTypeCode();
  if (value.IsNull() || code == varVariant) return true;
  try {
    value = VarAsType(value, code);
    return true;
  } catch (const EVariantError&) {
    return false;
  }
}

// ==== Strings ================================================================================

Integer TcxStringValueType::CompareBuffers(const void* buffer1, const void* buffer2) const {
  return CompareData(ResolveBuffer(buffer1), ResolveBuffer(buffer2));
}

void TcxStringValueType::ReleaseBuffer(void* buffer) const { FreeTextCell(buffer); }

Integer TcxStringValueType::BufferSize() const { return kPointerSize; }

Variant TcxStringValueType::BufferToVariant(const void* buffer) const {
  return LoadPointer(buffer) ? Variant(AnsiSlotView(buffer)) : Null();
}

void TcxStringValueType::StreamInValue(void* buffer, TStream* stream) const {
  AssignAnsiText(buffer, LoadStreamText(stream));
}

void TcxStringValueType::VariantToBuffer(void* buffer, const Variant& value) const {
  if (value.GetType() == varString) {
    // The common case without a copy of the text.
    AssignAnsiText(buffer, value.AsString());
  } else {
    StringToTextBuffer(buffer, value.AsString());
  }
}

void TcxStringValueType::StreamOutValue(const void* buffer, TStream* stream) const {
  SaveStreamText(stream, LoadPointer(buffer) ? AnsiSlotView(buffer) : std::string_view());
}

// Resolved pointers of texts are their slots (nil for none): an inline text has no cell.
Integer TcxStringValueType::CompareData(const void* data1, const void* data2) const {
  if (!data1 || !data2) return data1 == data2 ? 0 : data1 ? 1 : -1;
  const int r = AnsiSlotView(data1).compare(AnsiSlotView(data2));
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

Variant TcxStringValueType::ResolvedToVariant(const void* data) const { return data ? BufferToVariant(data) : Null(); }

const void* TcxStringValueType::ResolveBuffer(const void* buffer) const { return LoadPointer(buffer) ? buffer : nullptr; }

Variant TcxWideStringValueType::BufferToVariant(const void* buffer) const {
  const void* cell = SlotCell(buffer);
  return cell ? Variant(WideString(TextCellView<char16_t>(cell))) : Null();
}

void TcxWideStringValueType::StreamInValue(void* buffer, TStream* stream) const {
  AssignWideText(buffer, LoadUnicodeText(stream));
}

void TcxWideStringValueType::VariantToBuffer(void* buffer, const Variant& value) const {
  AssignWideText(buffer, value.AsWideString());
}

// The UTF-16 text as it is: a trip through the 8-bit code page would lose what it lacks.
void TcxWideStringValueType::StreamOutValue(const void* buffer, TStream* stream) const {
  const void* cell = SlotCell(buffer);
  SaveUnicodeText(stream, cell ? WideString(TextCellView<char16_t>(cell)) : WideString());
}

Integer TcxWideStringValueType::CompareData(const void* data1, const void* data2) const {
  if (!data1 || !data2) return data1 == data2 ? 0 : data1 ? 1 : -1;
  const int r = TextCellView<char16_t>(SlotCell(data1)).compare(TextCellView<char16_t>(SlotCell(data2)));
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

// ==== Numbers, Booleans and dates ============================================================

Variant TcxSmallintValueType::BufferToVariant(const void* buffer) const { return Variant(short(Load<SmallInt>(buffer))); }
void TcxSmallintValueType::StreamInValue(void* buffer, TStream* stream) const { Store(buffer, orv::ReadSmallInt(stream)); }
void TcxSmallintValueType::VariantToBuffer(void* buffer, const Variant& value) const {
  Store(buffer, SmallInt(value.AsInteger()));
}
void TcxSmallintValueType::StreamOutValue(const void* buffer, TStream* stream) const {
  orv::WriteSmallInt(stream, Load<SmallInt>(buffer));
}
Integer TcxSmallintValueType::CompareData(const void* data1, const void* data2) const {
  return Sign(Load<SmallInt>(data1), Load<SmallInt>(data2));
}

Variant TcxIntegerValueType::BufferToVariant(const void* buffer) const { return Variant(int(Load<Integer>(buffer))); }
void TcxIntegerValueType::StreamInValue(void* buffer, TStream* stream) const { Store(buffer, orv::ReadInteger(stream)); }
void TcxIntegerValueType::VariantToBuffer(void* buffer, const Variant& value) const { Store(buffer, value.AsInteger()); }
void TcxIntegerValueType::StreamOutValue(const void* buffer, TStream* stream) const {
  orv::WriteInteger(stream, Load<Integer>(buffer));
}
Integer TcxIntegerValueType::CompareData(const void* data1, const void* data2) const {
  return Sign(Load<Integer>(data1), Load<Integer>(data2));
}

Variant TcxWordValueType::BufferToVariant(const void* buffer) const { return Variant((unsigned short)Load<Word>(buffer)); }
void TcxWordValueType::StreamInValue(void* buffer, TStream* stream) const { Store(buffer, orv::ReadWord(stream)); }
void TcxWordValueType::VariantToBuffer(void* buffer, const Variant& value) const { Store(buffer, Word(value.AsInteger())); }
void TcxWordValueType::StreamOutValue(const void* buffer, TStream* stream) const { orv::WriteWord(stream, Load<Word>(buffer)); }
Integer TcxWordValueType::CompareData(const void* data1, const void* data2) const {
  return Sign(Load<Word>(data1), Load<Word>(data2));
}

Variant TcxBooleanValueType::BufferToVariant(const void* buffer) const { return Variant(Load<Byte>(buffer) != 0); }
AnsiString TcxBooleanValueType::BufferDisplayText(const void* buffer) const { return BoolToStr(Load<Byte>(buffer) != 0, true); }
void TcxBooleanValueType::StreamInValue(void* buffer, TStream* stream) const { Store(buffer, orv::ReadByte(stream)); }
void TcxBooleanValueType::VariantToBuffer(void* buffer, const Variant& value) const {
  Store(buffer, Byte(value.AsBoolean() ? 1 : 0));
}
void TcxBooleanValueType::StreamOutValue(const void* buffer, TStream* stream) const { orv::WriteByte(stream, Load<Byte>(buffer)); }
Integer TcxBooleanValueType::CompareData(const void* data1, const void* data2) const {
  return Integer(Load<Byte>(data1)) - Integer(Load<Byte>(data2));
}

Variant TcxFloatValueType::BufferToVariant(const void* buffer) const { return Variant(Load<double>(buffer)); }
void TcxFloatValueType::StreamInValue(void* buffer, TStream* stream) const { Store(buffer, orv::ReadExtended(stream)); }
void TcxFloatValueType::VariantToBuffer(void* buffer, const Variant& value) const { Store(buffer, value.AsDouble()); }
void TcxFloatValueType::StreamOutValue(const void* buffer, TStream* stream) const {
  orv::WriteExtended(stream, Load<double>(buffer));
}
Integer TcxFloatValueType::CompareData(const void* data1, const void* data2) const {
  return Sign(Load<double>(data1), Load<double>(data2));
}

Variant TcxCurrencyValueType::BufferToVariant(const void* buffer) const { return Variant(Currency{Load<Int64>(buffer)}); }
void TcxCurrencyValueType::StreamInValue(void* buffer, TStream* stream) const { Store(buffer, orv::ReadLargeInt(stream)); }
void TcxCurrencyValueType::VariantToBuffer(void* buffer, const Variant& value) const {
  Store(buffer, value.AsCurrency().Scaled);
}
void TcxCurrencyValueType::StreamOutValue(const void* buffer, TStream* stream) const {
  orv::WriteLargeInt(stream, Load<Int64>(buffer));
}
Integer TcxCurrencyValueType::CompareData(const void* data1, const void* data2) const {
  return Sign(Load<Int64>(data1), Load<Int64>(data2));
}

Variant TcxDateTimeValueType::BufferToVariant(const void* buffer) const { return Variant::FromDate(Load<double>(buffer)); }
AnsiString TcxDateTimeValueType::BufferDisplayText(const void* buffer) const {
  try {
    return VarToStr(BufferToVariant(buffer));
  } catch (const EVariantError&) {
    return DateTimeToStr(Load<double>(buffer));
  }
}
void TcxDateTimeValueType::StreamInValue(void* buffer, TStream* stream) const { Store(buffer, orv::ReadDateTime(stream)); }
void TcxDateTimeValueType::VariantToBuffer(void* buffer, const Variant& value) const { Store(buffer, value.AsDateTime()); }
void TcxDateTimeValueType::StreamOutValue(const void* buffer, TStream* stream) const {
  orv::WriteDateTime(stream, Load<double>(buffer));
}
Integer TcxDateTimeValueType::CompareData(const void* data1, const void* data2) const {
  return Sign(Load<double>(data1), Load<double>(data2));
}

Variant TcxLargeIntValueType::BufferToVariant(const void* buffer) const { return Variant((long long)Load<Int64>(buffer)); }
void TcxLargeIntValueType::StreamInValue(void* buffer, TStream* stream) const { Store(buffer, orv::ReadLargeInt(stream)); }
void TcxLargeIntValueType::VariantToBuffer(void* buffer, const Variant& value) const { Store(buffer, value.AsInt64()); }
void TcxLargeIntValueType::StreamOutValue(const void* buffer, TStream* stream) const {
  orv::WriteLargeInt(stream, Load<Int64>(buffer));
}
Integer TcxLargeIntValueType::CompareData(const void* data1, const void* data2) const {
  return Sign(Load<Int64>(data1), Load<Int64>(data2));
}

// ==== Decimals and time stamps ===============================================================

Variant TcxFMTBcdValueType::BufferToVariant(const void* buffer) const {
  double value = 0;
  if (!TextToFloat(DecimalText(ReadBcd(static_cast<const Byte*>(buffer)), FormatSettings.DecimalSeparator), value))
    return Variant(0.0);
  return Variant(value);
}

AnsiString TcxFMTBcdValueType::BufferDisplayText(const void* buffer) const {
  return DecimalText(ReadBcd(static_cast<const Byte*>(buffer)), FormatSettings.DecimalSeparator);
}

void TcxFMTBcdValueType::VariantToBuffer(void* buffer, const Variant& value) const {
  WriteBcd(static_cast<Byte*>(buffer), VariantToDecimal(value), value);
}

Integer TcxFMTBcdValueType::CompareData(const void* data1, const void* data2) const {
  return CompareDecimals(ReadBcd(static_cast<const Byte*>(data1)), ReadBcd(static_cast<const Byte*>(data2)));
}

Variant TcxSQLTimeStampValueType::BufferToVariant(const void* buffer) const {
  const auto stamp = Load<TSQLTimeStamp>(buffer);
  TDateTime date = 0, time = 0;
  if (stamp.Year <= 0 || !TryEncodeDate(Word(stamp.Year), stamp.Month, stamp.Day, date) ||
      !TryEncodeTime(stamp.Hour, stamp.Minute, stamp.Second, Word(std::min<LongWord>(stamp.Fractions, 999)), time)) {
    return Variant::FromDate(0);
  }
  // Before 30 December 1899 the day is negative while the time still runs forward.
  return Variant::FromDate(date < 0 ? date - time : date + time);
}

void TcxSQLTimeStampValueType::VariantToBuffer(void* buffer, const Variant& value) const {
  const TDateTime dateTime = value.AsDateTime();
  Word year, month, day, hour, minute, second, msec;
  DecodeDate(dateTime, year, month, day);
  DecodeTime(dateTime, hour, minute, second, msec);
  Store(buffer, TSQLTimeStamp{SmallInt(year), month, day, hour, minute, second, msec});
}

Integer TcxSQLTimeStampValueType::CompareData(const void* data1, const void* data2) const {
  const auto a = Load<TSQLTimeStamp>(data1), b = Load<TSQLTimeStamp>(data2);
  if (a.Year != b.Year) return Sign(a.Year, b.Year);
  if (a.Month != b.Month) return Sign(a.Month, b.Month);
  if (a.Day != b.Day) return Sign(a.Day, b.Day);
  if (a.Hour != b.Hour) return Sign(a.Hour, b.Hour);
  if (a.Minute != b.Minute) return Sign(a.Minute, b.Minute);
  if (a.Second != b.Second) return Sign(a.Second, b.Second);
  return Sign(a.Fractions, b.Fractions);
}

// ==== Variants and objects ===================================================================

Integer TcxVariantValueType::CompareBuffers(const void* buffer1, const void* buffer2) const {
  return CompareData(LoadPointer(buffer1), LoadPointer(buffer2));
}

void TcxVariantValueType::ReleaseBuffer(void* buffer) const {
  auto* cell = static_cast<Variant*>(LoadPointer(buffer));
  StorePointer(buffer, nullptr);
  delete cell;
}

Integer TcxVariantValueType::BufferSize() const { return kPointerSize; }

Variant TcxVariantValueType::BufferToVariant(const void* buffer) const {
  const auto* cell = static_cast<const Variant*>(LoadPointer(buffer));
  return cell ? *cell : Null();
}

void TcxVariantValueType::VariantToBuffer(void* buffer, const Variant& value) const {
  if (auto* cell = static_cast<Variant*>(LoadPointer(buffer)))
    *cell = value;
  else
    StorePointer(buffer, new Variant(value));
}

Integer TcxVariantValueType::CompareData(const void* data1, const void* data2) const {
  if (!data1 || !data2) return data1 == data2 ? 0 : data1 ? 1 : -1;
  return CompareVariants(*static_cast<const Variant*>(data1), *static_cast<const Variant*>(data2));
}

Variant TcxVariantValueType::ResolvedToVariant(const void* data) const {
  const void* cell = data;
  return BufferToVariant(&cell);
}

const void* TcxVariantValueType::ResolveBuffer(const void* buffer) const { return LoadPointer(buffer); }

void TcxObjectValueType::ReleaseBuffer(void* buffer) const {
  auto* object = static_cast<TObject*>(LoadPointer(buffer));
  StorePointer(buffer, nullptr);
  orv::Free(object);
}

Integer TcxObjectValueType::BufferSize() const { return kPointerSize; }

Variant TcxObjectValueType::BufferToVariant(const void* buffer) const {
  return Variant(static_cast<long long>(reinterpret_cast<NativeInt>(LoadPointer(buffer))));
}

void TcxObjectValueType::VariantToBuffer(void* buffer, const Variant& value) const {
  StorePointer(buffer, reinterpret_cast<void*>(static_cast<NativeInt>(value.AsInt64())));
}

Integer TcxObjectValueType::CompareData(const void* data1, const void* data2) const {
  return Sign(reinterpret_cast<NativeUInt>(LoadPointer(data1)), reinterpret_cast<NativeUInt>(LoadPointer(data2)));
}

Boolean IsDateTimeValueType(TcxValueTypeClass valueTypeClass) {
  const TClass c = valueTypeClass;
  return c && (c == TcxDateTimeValueType::StaticClass() || c == TcxSQLTimeStampValueType::StaticClass());
}

// ==== Registry ===============================================================================

void TcxValueTypeClassList::RegisterType(TcxValueTypeClass valueTypeClass) {
  if (!valueTypeClass.Get()) return;
  for (const TcxValueTypeClass& c : FItems)
    if (c == valueTypeClass) return;
  FItems.push_back(valueTypeClass);
}

void TcxValueTypeClassList::UnregisterType(TcxValueTypeClass valueTypeClass) {
  std::erase_if(FItems, [&](const TcxValueTypeClass& c) { return c == valueTypeClass; });
}

TcxValueTypeClass TcxValueTypeClassList::FindByCaption(const AnsiString& caption) const {
  for (const TcxValueTypeClass& c : FItems)
    if (c->TypeCaption() == caption) return c;
  return nullptr;
}

TcxValueTypeClass TcxValueTypeClassList::GetItem(Integer index) const {
  if (index < 0 || index >= GetCount()) orv::ListError("List index out of bounds", index);
  return FItems[std::size_t(index)];
}

TcxValueTypeClassList* ValueTypeRegistry() {
  static const std::unique_ptr<TcxValueTypeClassList, orv::FreeDeleter> registry = [] {
    std::unique_ptr<TcxValueTypeClassList, orv::FreeDeleter> list(new TcxValueTypeClassList);
    for (TClass c : {TcxStringValueType::StaticClass(), TcxWideStringValueType::StaticClass(),
                     TcxSmallintValueType::StaticClass(), TcxIntegerValueType::StaticClass(),
                     TcxWordValueType::StaticClass(), TcxBooleanValueType::StaticClass(),
                     TcxFloatValueType::StaticClass(), TcxCurrencyValueType::StaticClass(),
                     TcxDateTimeValueType::StaticClass(), TcxLargeIntValueType::StaticClass(),
                     TcxFMTBcdValueType::StaticClass(), TcxSQLTimeStampValueType::StaticClass(),
                     TcxVariantValueType::StaticClass(), TcxObjectValueType::StaticClass()}) {
      list->RegisterType(c);
    }
    return list;
  }();
  return registry.get();
}

// ==== Value definitions ======================================================================

TcxValueDef::TcxValueDef(TcxValueDefs* valueDefs, TcxValueTypeClass valueTypeClass)
    : FValueDefs(valueDefs), FValueTypeClass(valueTypeClass) {}

Boolean TcxValueDef::OccupiesBuffer() {
  return FInBuffer || !FValueDefs->GetStorage()->GetKeepOnlyStoredValues();
}

void TcxValueDef::CopySettings(TcxValueDef* source) {
  SetInBuffer(source->GetInBuffer());
  SetKeepsText(source->GetKeepsText());
}

void TcxValueDef::SetInBuffer(Boolean value) { ChangeSetting(FInBuffer, value, false); }

void TcxValueDef::SetKeepsText(Boolean value) {
  if (value == FKeepsText) return;
  ChangeSetting(FKeepsText, value, true);
  // The mirror keeps texts exactly when this definition does.
  TcxDataStorage* storage = FValueDefs->GetStorage();
  if (FValueDefs == storage->GetValueDefs())
    if (TcxValueDef* mirror = storage->GetInternalValueDefs()->FindByLink(this)) mirror->SetKeepsText(value);
}

void TcxValueDef::ChangeSetting(Boolean& setting, Boolean value, Boolean resyncNeeded) {
  if (setting == value) return;
  TcxDataStorage* storage = FValueDefs->GetStorage();
  const auto oldLayout = storage->SnapshotLayout(FValueDefs);
  const Integer oldRecordOffset = FValueDefs->GetRecordOffset();
  setting = value;
  storage->LayOutDefs(FValueDefs);
  storage->ConvertBuffers(FValueDefs, oldLayout, oldRecordOffset, nullptr);
  FValueDefs->DefsChanged(this, resyncNeeded);
}

void TcxValueDef::BeforeDestruction() {
  if (FValueDefs) FValueDefs->RemoveDef(this);
  inherited::BeforeDestruction();
}

TObject* TcxInternalValueDef::GetLinkedObject() {
  auto* mirrored = static_cast<TcxValueDef*>(GetLinkObject());
  return mirrored ? mirrored->GetLinkedObject() : nullptr;
}

TcxValueDefs::TcxValueDefs(TcxDataStorage* storage) : FStorage(storage) { FStorage->LayOutDefs(this); }

void TcxValueDefs::DefsChanged(TcxValueDef* def, Boolean resyncNeeded) { FStorage->DefsChanged(def, resyncNeeded); }

void TcxValueDefs::LayOut(Integer startOffset) {
  Integer offset = startOffset;
  for (TcxValueDef* def : FItems) {
    def->FDataSize = def->FValueTypeClass->BufferSize();
    def->FOffset = offset;
    if (def->OccupiesBuffer()) {
      def->FTextStored = def->FKeepsText;
      def->FBufferSize = 1 + def->FDataSize + (def->FTextStored ? kPointerSize : 0);
    } else {
      def->FTextStored = false;
      def->FBufferSize = 0;
    }
    offset += def->FBufferSize;
  }
  FRecordOffset = startOffset;
  FRecordSize = offset;
}

TcxValueDef* TcxValueDefs::AddValueDef(TcxValueTypeClass valueTypeClass, Boolean stored, Boolean textStored,
                                       TObject* linkObject) {
  TcxValueDef* def = DefClass().Create(this, valueTypeClass);
  def->FLinkObject = linkObject;
  def->FInBuffer = stored;
  def->FKeepsText = textStored;
  if (this == FStorage->GetValueDefs()) FStorage->GetInternalValueDefs()->AddValueDef(valueTypeClass, true, textStored, def);
  const auto oldLayout = FStorage->SnapshotLayout(this);
  const Integer oldRecordOffset = FRecordOffset;
  FItems.push_back(def);
  FStorage->LayOutDefs(this);
  FStorage->ConvertBuffers(this, oldLayout, oldRecordOffset, nullptr);
  return def;
}

void TcxValueDefs::RemoveDef(TcxValueDef* def) {
  if (this == FStorage->GetValueDefs()) FStorage->GetInternalValueDefs()->RemoveByLink(def);
  const auto it = std::find(FItems.begin(), FItems.end(), def);
  if (it == FItems.end()) return;
  const auto oldLayout = FStorage->SnapshotLayout(this);
  const Integer oldRecordOffset = FRecordOffset;
  FItems.erase(it);
  std::erase(FStorage->FStreamingOrder, def);
  FStorage->LayOutDefs(this);
  FStorage->ConvertBuffers(this, oldLayout, oldRecordOffset, def);
  def->FValueDefs = nullptr;
}

void TcxValueDefs::RemoveAll() {
  while (!FItems.empty()) FItems.back()->Free();
}

TcxValueDef* TcxValueDefs::GetItem(Integer index) const {
  const bool streaming = FStorage->IsStreaming() && this == FStorage->GetValueDefs();
  const auto& items = streaming ? FStorage->FStreamingOrder : FItems;
  if (index < 0 || index >= Integer(items.size())) orv::ListError("List index out of bounds", index);
  return items[std::size_t(index)];
}

Integer TcxValueDefs::IndexOf(TcxValueDef* def) const {
  const auto it = std::find(FItems.begin(), FItems.end(), def);
  return it == FItems.end() ? -1 : Integer(it - FItems.begin());
}

Integer TcxValueDefs::BufferedCount() const {
  return Integer(std::count_if(FItems.begin(), FItems.end(), [](TcxValueDef* d) { return d->FBufferSize > 0; }));
}

void TcxValueDefs::BeforeDestruction() {
  RemoveAll();
  inherited::BeforeDestruction();
}

TcxValueDef* TcxInternalValueDefs::FindByLink(TObject* linkObject) const {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
    if ((*it)->GetLinkObject() == linkObject) return *it;
  return nullptr;
}

void TcxInternalValueDefs::RemoveByLink(TObject* linkObject) {
  if (TcxValueDef* def = FindByLink(linkObject)) def->Free();
}

// ==== Data storage: records ==================================================================

namespace orv {

void* AllocateRecordList(std::size_t bytes) {
  constexpr std::size_t kLargePage = std::size_t(2) << 20;
  void* p;
  if (bytes >= kLargePage) {
    p = std::aligned_alloc(kLargePage, (bytes + kLargePage - 1) & ~(kLargePage - 1));
    if (p) madvise(p, bytes, MADV_HUGEPAGE);
  } else {
    p = std::malloc(bytes ? bytes : 1);
  }
  if (!p) throw std::bad_alloc();
  return p;
}

void FreeRecordList(void* p) noexcept { std::free(p); }

}  // namespace orv

// What a load keeps: the blocks its record buffers and texts live in, and how each definition
// is filled.
struct TcxDataStorage::TLoad {
  // Large blocks, aligned so that the system may back them with large pages: a million records
  // then fault in a few hundred pages, not tens of thousands.
  static constexpr std::size_t kBlockSize = std::size_t(4) << 20;
  static constexpr std::size_t kBlockAlign = std::size_t(2) << 20;

  enum class TStep : Byte { Variant, Text, Float };
  struct TFill {
    TcxValueDef* Def;
    TcxValueDef* SlotDef;
    TStep Step;
    // Text definitions: the index of their cell cache in Caches, or -1.
    int Cache = -1;
  };

  // The texts of a column repeat (countries, coordinates in a region): a load keeps, per text
  // definition, the cells it made last under each of a few thousand hashes, and a text equal to
  // one of them shares that cell instead of taking memory of its own. Cells of the loading
  // blocks are never changed or freed one by one, so sharing them is safe. A column whose texts
  // rarely repeat stops looking after a trial.
  struct TCellCache {
    // Few slots, tagged with the hash: the cells a lookup reaches stay in the processor's cache,
    // and a cell is read only when its tag matches.
    static constexpr std::size_t kSlots = std::size_t(1) << 10;
    static constexpr unsigned kTrial = 1u << 13;
    // A small load does not look: the cache is made at its kStart-th text.
    static constexpr unsigned kStart = 256;
    struct TEntry {
      std::uint64_t Tag;
      Byte* Cell;
    };
    std::vector<TEntry> Cells;
    unsigned Tries = 0;
    unsigned Hits = 0;
    bool Active = true;
  };
  std::vector<TCellCache> Caches;

  // A cell of the loading blocks holding `text`: a cached equal one or a new one.
  Byte* TextCell(const AnsiString& text, int cacheIndex) {
    const Integer mark = -Integer(text.size()) - 1;
    TCellCache::TEntry* entry = nullptr;
    std::uint64_t h = 1469598103934665603ull;
    if (cacheIndex >= 0) {
      TCellCache& cache = Caches[std::size_t(cacheIndex)];
      if (cache.Active && ++cache.Tries >= TCellCache::kStart) {
        if (cache.Cells.empty()) cache.Cells.assign(TCellCache::kSlots, TCellCache::TEntry{0, nullptr});
        for (const char c : text) h = (h ^ Byte(c)) * 1099511628211ull;
        entry = &cache.Cells[(h ^ (h >> 29)) & (TCellCache::kSlots - 1)];
        if (Byte* cached = entry->Tag == h ? entry->Cell : nullptr) {
          Integer cachedMark;
          std::memcpy(&cachedMark, cached, sizeof cachedMark);
          if (cachedMark == mark && std::memcmp(cached + sizeof(Integer), text.data(), text.size()) == 0) {
            ++cache.Hits;
            return cached;
          }
        }
        if (cache.Tries == TCellCache::kTrial && cache.Hits < (TCellCache::kTrial - TCellCache::kStart) / 4) {
          cache.Active = false;
          std::vector<TCellCache::TEntry>().swap(cache.Cells);
          entry = nullptr;
        }
      }
    }
    // 2-aligned: a slot tells a cell pointer from an inline text by its low bit.
    Byte* cell = Allocate(sizeof(Integer) + text.size(), 2);
    std::memcpy(cell, &mark, sizeof mark);
    if (!text.empty()) std::memcpy(cell + sizeof(Integer), text.data(), text.size());
    if (entry) *entry = {h, cell};
    return cell;
  }

  ~TLoad() {
    Release();
    DropSpare();
  }

  // Memory that lives until Release, aligned to `align` (1: packed).
  Byte* Allocate(std::size_t size, std::size_t align = 8) {
    Next = Next + ((align - reinterpret_cast<std::uintptr_t>(Next) % align) % align);
    if (!Next || Next > End || size > std::size_t(End - Next)) NewBlock(size);
    Byte* result = Next;
    Next += size;
    return result;
  }

  bool Owns(const void* p) const {
    if (Blocks.empty()) return false;
    const auto* b = static_cast<const Byte*>(p);
    auto it = std::upper_bound(Blocks.begin(), Blocks.end(), b,
                               [](const Byte* a, const TBlock& block) { return a < block.Start; });
    if (it == Blocks.begin()) return false;
    --it;
    return b < it->Start + it->Size;
  }

  // Every block is free for reuse; the next load takes them before asking for new ones.
  void Release() {
    for (const TBlock& block : Blocks) {
      if (block.Size == kBlockSize)
        Spare.push_back(block.Start);
      else
        std::free(block.Start);
    }
    Blocks.clear();
    Next = End = nullptr;
  }

  // Frees the blocks a load did not need.
  void DropSpare() {
    for (Byte* block : Spare) std::free(block);
    Spare.clear();
  }

  struct TBlock {
    Byte* Start;
    std::size_t Size;
  };

  void NewBlock(std::size_t size) {
    TBlock block{nullptr, size > kBlockSize ? size : kBlockSize};
    if (block.Size == kBlockSize && !Spare.empty()) {
      block.Start = Spare.back();
      Spare.pop_back();
    } else {
      block.Start = static_cast<Byte*>(block.Size == kBlockSize ? std::aligned_alloc(kBlockAlign, block.Size)
                                                                 : std::malloc(block.Size));
      if (!block.Start) throw std::bad_alloc();
      if (block.Size == kBlockSize) madvise(block.Start, block.Size, MADV_HUGEPAGE);
    }
    Blocks.insert(std::upper_bound(Blocks.begin(), Blocks.end(), block.Start,
                                   [](const Byte* a, const TBlock& b) { return a < b.Start; }),
                  block);
    Next = block.Start;
    End = block.Start + block.Size;
  }

  // In use, sorted by address (for Owns).
  std::vector<TBlock> Blocks;
  std::vector<Byte*> Spare;
  Byte* Next = nullptr;
  Byte* End = nullptr;
  Boolean Loading = false;
  // The fill of the records of this load, made for this reader on its first record.
  TcxValueDefReader* PlanReader = nullptr;
  std::vector<TFill> Plan;
};

TcxDataStorage::TcxDataStorage() : FLoad(std::make_unique<TLoad>()) {
  FInternalValueDefs = new TcxInternalValueDefs(this);
  FValueDefs = new TcxValueDefs(this);
}

TcxDataStorage::~TcxDataStorage() = default;

void TcxDataStorage::BeforeDestruction() {
  FDestroying = true;
  FStreaming = false;
  FStreamingOrder.clear();
  FreeRecordBuffers();
  FRecords.clear();
  for (Byte*& buffer : FInternalRecords) FreeBuffer(buffer, FInternalValueDefs);
  FInternalRecords.clear();
  // The definitions go while the internal list still exists: each takes its mirror with it.
  FValueDefs->Free();
  FValueDefs = nullptr;
  FInternalValueDefs->Free();
  FInternalValueDefs = nullptr;
  inherited::BeforeDestruction();
}

void TcxDataStorage::LayOutDefs(TcxValueDefs* valueDefs) {
  // Slots move: a load resolves its fill again.
  if (FLoad) FLoad->PlanReader = nullptr;
  valueDefs->LayOut(FKeepRecordIDs ? 1 + kRecordIDSize : 1);
}

TcxValueDefs* TcxDataStorage::DefsForRecord(Integer recordIndex) {
  return recordIndex < 0 ? FInternalValueDefs : FValueDefs;
}

TcxDataStorage::TBufferList& TcxDataStorage::BuffersOf(TcxValueDefs* defs) {
  return defs == FInternalValueDefs ? FInternalRecords : FRecords;
}

Byte*& TcxDataStorage::BufferRef(Integer recordIndex) {
  if (recordIndex >= 0) {
    if (recordIndex >= Integer(FRecords.size())) orv::ListError("List index out of bounds", recordIndex);
    return FRecords[std::size_t(recordIndex)];
  }
  const Int64 internalIndex = -Int64(recordIndex) - 1;
  if (internalIndex >= Int64(FInternalRecords.size())) orv::ListError("List index out of bounds", recordIndex);
  return FInternalRecords[std::size_t(internalIndex)];
}

Byte* TcxDataStorage::BufferOf(Integer recordIndex) const {
  return const_cast<TcxDataStorage*>(this)->BufferRef(recordIndex);
}

Boolean TcxDataStorage::HasBuffer(Integer recordIndex) const { return BufferOf(recordIndex) != nullptr; }

Byte* TcxDataStorage::NewBuffer(TcxValueDefs* defs) const {
  auto* buffer = static_cast<Byte*>(std::calloc(std::size_t(defs->GetRecordSize()), 1));
  if (!buffer) throw std::bad_alloc();
  return buffer;
}

Byte* TcxDataStorage::EnsureBuffer(Integer recordIndex) {
  Byte*& buffer = BufferRef(recordIndex);
  if (!buffer)
    buffer = recordIndex >= 0 && FLoad->Loading ? NewLoadBuffer()
                                                : NewBuffer(recordIndex < 0 ? FInternalValueDefs : FValueDefs);
  return buffer;
}

Byte* TcxDataStorage::NewLoadBuffer() {
  const std::size_t size = std::size_t(FValueDefs->GetRecordSize());
  // Packed: slots are read and written byte-wise at odd offsets anyway.
  Byte* buffer = FLoad->Allocate(size, 1);
  std::memset(buffer, 0, size);
  return buffer;
}

void TcxDataStorage::FreeBufferMemory(Byte* buffer) {
  if (!FLoad->Owns(buffer)) std::free(buffer);
}

void TcxDataStorage::FreeBuffer(Byte*& buffer, TcxValueDefs* defs) {
  if (!buffer) return;
  for (TcxValueDef* def : defs->FItems) {
    if (def->FBufferSize == 0) continue;
    Byte* slot = buffer + def->FOffset;
    const TcxValueType* type = def->FValueTypeClass.operator->();
    if (slot[0]) type->ReleaseBuffer(slot + 1);
    if (def->FTextStored) type->ReleaseTextBuffer(slot + 1 + def->FDataSize);
  }
  FreeBufferMemory(buffer);
  buffer = nullptr;
}

void TcxDataStorage::FreeRecordBuffers() {
  for (Byte*& buffer : FRecords) FreeBuffer(buffer, FValueDefs);
  // Only records' buffers and texts live in the loading blocks, and none is left.
  if (!FLoad->Loading) FLoad->Release();
}

TcxValueDef* TcxDataStorage::SlotDef(Integer recordIndex, TcxValueDef* def) const {
  if (!def) return nullptr;
  TcxValueDef* slotDef = nullptr;
  const TcxValueDefs* list = recordIndex < 0 ? static_cast<TcxValueDefs*>(FInternalValueDefs) : FValueDefs;
  if (def->FValueDefs == list)
    slotDef = def;
  else if (recordIndex < 0 && def->FValueDefs == FValueDefs)
    slotDef = FInternalValueDefs->FindByLink(def);
  else if (recordIndex >= 0 && def->FValueDefs == FInternalValueDefs)
    slotDef = static_cast<TcxValueDef*>(def->GetLinkObject());
  return slotDef && slotDef->FBufferSize > 0 ? slotDef : nullptr;
}

void TcxDataStorage::GiveRecordID(Byte* buffer) {
  Store(buffer + 1, FRecordIDCounter);
  // A stream may have carried the largest ID: the counter stops there rather than overflow.
  if (FRecordIDCounter < std::numeric_limits<Integer>::max()) ++FRecordIDCounter;
}

void TcxDataStorage::GiveMissingRecordIDs() {
  for (Byte*& buffer : FRecords) {
    if (!buffer) buffer = NewBuffer(FValueDefs);
    if (Load<Integer>(buffer + 1) == 0) GiveRecordID(buffer);
  }
}

void TcxDataStorage::ResetRecordIDCounterWhenEmpty() {
  if (FRecords.empty()) FRecordIDCounter = 1;
}

Integer TcxDataStorage::AddRecord() {
  FRecords.push_back(nullptr);
  if (FKeepRecordIDs) {
    FRecords.back() = FLoad->Loading ? NewLoadBuffer() : NewBuffer(FValueDefs);
    GiveRecordID(FRecords.back());
  }
  return Integer(FRecords.size()) - 1;
}

void TcxDataStorage::InsertRecordAt(Integer index) {
  if (index < 0 || index > Integer(FRecords.size())) orv::ListError("List index out of bounds", index);
  Byte* buffer = nullptr;
  if (FKeepRecordIDs) {
    buffer = NewBuffer(FValueDefs);
    GiveRecordID(buffer);
  }
  FRecords.insert(FRecords.begin() + index, buffer);
}

void TcxDataStorage::RemoveRecord(Integer index) {
  if (index < 0) {
    FreeBuffer(BufferRef(index), FInternalValueDefs);
    return;
  }
  FreeBuffer(BufferRef(index), FValueDefs);
  FRecords.erase(FRecords.begin() + index);
  ResetRecordIDCounterWhenEmpty();
}

Integer TcxDataStorage::AppendInternalRecord() {
  std::size_t i = 0;
  while (i < FInternalRecords.size() && FInternalRecords[i] && (FInternalRecords[i][0] & 1)) ++i;
  if (i == FInternalRecords.size()) FInternalRecords.push_back(nullptr);
  // A buffer left behind without the in-use mark may hold stale values: start afresh.
  FreeBuffer(FInternalRecords[i], FInternalValueDefs);
  FInternalRecords[i] = NewBuffer(FInternalValueDefs);
  FInternalRecords[i][0] |= 1;
  return -Integer(i) - 1;
}

void TcxDataStorage::SetStoredRecordCount(Integer value) {
  value = std::max(value, 0);
  if (value > GetStoredRecordCount()) FRecords.reserve(std::size_t(value));
  while (GetStoredRecordCount() < value) AddRecord();
  while (GetStoredRecordCount() > value) RemoveRecord(GetStoredRecordCount() - 1);
}

void TcxDataStorage::ClearAll(Boolean keepInternal) {
  if (!keepInternal) DropInternalRecords();
  DropRecords(true);
}

void TcxDataStorage::DropInternalRecords() {
  for (Byte*& buffer : FInternalRecords) FreeBuffer(buffer, FInternalValueDefs);
  FInternalRecords.clear();
  if (FOnClearInternalRecords) FOnClearInternalRecords(this);
}

void TcxDataStorage::DropRecords(Boolean emptyList) {
  FreeRecordBuffers();
  if (emptyList) FRecords.clear();
  ResetRecordIDCounterWhenEmpty();
  if (FKeepRecordIDs) GiveMissingRecordIDs();
}

void TcxDataStorage::SetKeepOnlyStoredValues(Boolean value) {
  if (value == FKeepOnlyStoredValues) return;
  FreeRecordBuffers();
  FKeepOnlyStoredValues = value;
  LayOutDefs(FValueDefs);
  if (FKeepRecordIDs) GiveMissingRecordIDs();
}

void TcxDataStorage::SetKeepRecordIDs(Boolean value) {
  if (value == FKeepRecordIDs) return;
  FreeRecordBuffers();
  const auto oldInternalLayout = SnapshotLayout(FInternalValueDefs);
  const Integer oldInternalOffset = FInternalValueDefs->GetRecordOffset();
  FKeepRecordIDs = value;
  LayOutDefs(FValueDefs);
  // Internal records keep their values; only their header changes.
  LayOutDefs(FInternalValueDefs);
  ConvertBuffers(FInternalValueDefs, oldInternalLayout, oldInternalOffset, nullptr);
}

std::vector<TcxDataStorage::TSlotLayout> TcxDataStorage::SnapshotLayout(TcxValueDefs* defs) const {
  std::vector<TSlotLayout> layout;
  layout.reserve(defs->FItems.size());
  for (TcxValueDef* def : defs->FItems) layout.push_back({def, def->FOffset, def->FBufferSize, def->FTextStored});
  return layout;
}

void TcxDataStorage::ConvertBuffers(TcxValueDefs* defs, const std::vector<TSlotLayout>& oldLayout,
                                    Integer oldRecordOffset, TcxValueDef* removed) {
  FLoad->PlanReader = nullptr;
  TBufferList& buffers = BuffersOf(defs);
  const Integer newSize = defs->GetRecordSize(), newRecordOffset = defs->GetRecordOffset();
  Integer oldSize = oldRecordOffset, oldBuffered = 0;
  bool unmoved = !removed && oldRecordOffset == newRecordOffset;
  for (const TSlotLayout& s : oldLayout) {
    oldSize = std::max(oldSize, s.Offset + s.BufferSize);
    if (s.BufferSize > 0) ++oldBuffered;
    if (s.Def->FOffset != s.Offset || s.Def->FBufferSize != s.BufferSize || s.Def->FTextStored != s.TextStored)
      unmoved = false;
  }
  if (unmoved) {
    // Every slot stays where it was: only new slots at the end, which read null.
    if (newSize == oldSize) return;
    for (Byte*& buffer : buffers) {
      if (!buffer) continue;
      Byte* grown;
      if (FLoad->Owns(buffer)) {
        // A loaded buffer cannot grow in place: it moves to memory of its own.
        grown = static_cast<Byte*>(std::malloc(std::size_t(newSize)));
        if (!grown) throw std::bad_alloc();
        std::memcpy(grown, buffer, std::size_t(std::min(oldSize, newSize)));
      } else {
        grown = static_cast<Byte*>(std::realloc(buffer, std::size_t(newSize)));
      }
      if (!grown) throw std::bad_alloc();
      if (newSize > oldSize) std::memset(grown + oldSize, 0, std::size_t(newSize - oldSize));
      buffer = grown;
    }
    return;
  }
  const TSlotLayout* removedSlot = nullptr;
  for (const TSlotLayout& s : oldLayout)
    if (s.Def == removed) removedSlot = &s;
  // Removing the only definition that takes bytes leaves records bufferless, unless the buffer
  // still carries a record ID or an internal record's in-use mark.
  const bool freeWhole = removedSlot && removedSlot->BufferSize > 0 && oldBuffered <= 1 && defs == FValueDefs &&
                         oldRecordOffset == 1;
  for (Byte*& buffer : buffers) {
    if (!buffer) continue;
    Byte* converted = freeWhole ? nullptr : NewBuffer(defs);
    if (converted) {
      converted[0] = buffer[0];
      if (oldRecordOffset > 1 && newRecordOffset > 1) std::memcpy(converted + 1, buffer + 1, kRecordIDSize);
    }
    for (const TSlotLayout& s : oldLayout) {
      if (s.BufferSize == 0) continue;
      Byte* oldSlot = buffer + s.Offset;
      const TcxValueType* type = s.Def->FValueTypeClass.operator->();
      const Integer dataSize = s.Def->FDataSize;
      if (!converted || s.Def == removed || s.Def->FBufferSize == 0) {
        if (oldSlot[0]) type->ReleaseBuffer(oldSlot + 1);
        if (s.TextStored) type->ReleaseTextBuffer(oldSlot + 1 + dataSize);
        continue;
      }
      Byte* newSlot = converted + s.Def->FOffset;
      std::memcpy(newSlot, oldSlot, std::size_t(1 + dataSize));
      if (s.TextStored) {
        if (s.Def->FTextStored)
          std::memcpy(newSlot + 1 + dataSize, oldSlot + 1 + dataSize, kPointerSize);
        else
          type->ReleaseTextBuffer(oldSlot + 1 + dataSize);
      }
    }
    FreeBufferMemory(buffer);
    buffer = converted;
  }
}

// ==== Data storage: values ===================================================================

namespace {

void StoreSlotValue(Byte* buffer, TcxValueDef* def, const Variant& value) {
  Byte* slot = buffer + def->GetOffset();
  const TcxValueType* type = def->GetValueTypeClass().operator->();
  if (value.IsNull()) {
    if (slot[0]) type->ReleaseBuffer(slot + 1);
    slot[0] = 0;
    std::memset(slot + 1, 0, std::size_t(def->GetDataSize()));
    return;
  }
  // Converted first: a value the type refuses leaves the slot as it was.
  type->VariantToBuffer(slot + 1, value);
  slot[0] = 1;
}

}  // namespace

Variant TcxDataStorage::FetchValue(Integer recordIndex, TcxValueDef* def) {
  const Byte* buffer = BufferOf(recordIndex);
  TcxValueDef* slotDef = SlotDef(recordIndex, def);
  if (!buffer || !slotDef) return Null();
  const Byte* slot = buffer + slotDef->FOffset;
  return slot[0] ? slotDef->FValueTypeClass->BufferToVariant(slot + 1) : Null();
}

void TcxDataStorage::StoreValue(Integer recordIndex, TcxValueDef* def, const Variant& value) {
  BufferRef(recordIndex);
  TcxValueDef* slotDef = SlotDef(recordIndex, def);
  if (!slotDef) return;
  StoreSlotValue(EnsureBuffer(recordIndex), slotDef, value);
}

AnsiString TcxDataStorage::FetchDisplayText(Integer recordIndex, TcxValueDef* def) {
  const Byte* buffer = BufferOf(recordIndex);
  TcxValueDef* slotDef = SlotDef(recordIndex, def);
  if (!buffer || !slotDef) return AnsiString();
  const Byte* slot = buffer + slotDef->FOffset;
  const TcxValueType* type = slotDef->FValueTypeClass.operator->();
  if (slotDef->FTextStored) return type->TextBufferToString(slot + 1 + slotDef->FDataSize);
  return slot[0] ? type->BufferDisplayText(slot + 1) : AnsiString();
}

void TcxDataStorage::StoreDisplayText(Integer recordIndex, TcxValueDef* def, const AnsiString& text) {
  Byte* buffer = EnsureBuffer(recordIndex);
  TcxValueDef* slotDef = SlotDef(recordIndex, def);
  if (!slotDef || !slotDef->FTextStored) return;
  slotDef->FValueTypeClass->StringToTextBuffer(buffer + slotDef->FOffset + 1 + slotDef->FDataSize, text);
}

void TcxDataStorage::StartLoading() {
  FLoad->Loading = true;
  FLoad->PlanReader = nullptr;
  FLoad->Plan.clear();
  FLoad->Caches.clear();
}

void TcxDataStorage::FinishLoading() {
  FLoad->Loading = false;
  FLoad->DropSpare();
  FLoad->PlanReader = nullptr;
  FLoad->Plan.clear();
  FLoad->Caches.clear();
}

void TcxDataStorage::FillLoadedRecord(Byte* buffer, TcxValueDefReader* reader) {
  using TStep = TLoad::TStep;
  if (FLoad->PlanReader != reader) {
    // Resolved once per load: which definitions take a value, into which slot, and how.
    FLoad->Plan.clear();
    FLoad->Caches.clear();
    for (TcxValueDef* def : FValueDefs->FItems) {
      if (reader->SkipsValueDef(def)) continue;
      TcxValueDef* slotDef = SlotDef(0, def);
      if (!slotDef) continue;
      TStep step = TStep::Variant;
      const TClass type = slotDef->FValueTypeClass;
      if (!slotDef->FTextStored) {
        if (type == TcxStringValueType::StaticClass() && reader->ProvidesTextValue(def))
          step = TStep::Text;
        else if (type == TcxFloatValueType::StaticClass() && reader->ProvidesFloatValue(def))
          step = TStep::Float;
      }
      FLoad->Plan.push_back({def, slotDef, step});
      if (step == TStep::Text) {
        FLoad->Plan.back().Cache = int(FLoad->Caches.size());
        FLoad->Caches.emplace_back();
      }
    }
    FLoad->PlanReader = reader;
  }
  reader->StartRecord();
  AnsiString text;
  for (const TLoad::TFill& fill : FLoad->Plan) {
    TcxValueDef* slotDef = fill.SlotDef;
    Byte* slot = buffer + slotDef->FOffset;
    switch (fill.Step) {
      case TStep::Text: {
        const Boolean assigned = reader->ProvideTextValue(fill.Def, text);
        if (slot[0]) slotDef->FValueTypeClass->ReleaseBuffer(slot + 1);
        if (!assigned) {
          slot[0] = 0;
          StorePointer(slot + 1, nullptr);
          break;
        }
        if (text.size() <= kInlineTextMax)
          StoreInlineText(slot + 1, text);
        else
          StorePointer(slot + 1, FLoad->TextCell(text, fill.Cache));
        slot[0] = 1;
        break;
      }
      case TStep::Float: {
        double value;
        if (reader->ProvideFloatValue(fill.Def, value)) {
          Store(slot + 1, value);
          slot[0] = 1;
        } else {
          slot[0] = 0;
          std::memset(slot + 1, 0, sizeof value);
        }
        break;
      }
      case TStep::Variant:
        StoreSlotValue(buffer, slotDef, reader->ProvideValue(fill.Def));
        if (slotDef->FTextStored)
          slotDef->FValueTypeClass->StringToTextBuffer(slot + 1 + slotDef->FDataSize,
                                                       reader->ProvideDisplayText(fill.Def));
        break;
    }
  }
}

void TcxDataStorage::FillRecord(Integer recordIndex, TcxValueDefReader* reader) {
  Byte* buffer = EnsureBuffer(recordIndex);
  if (recordIndex >= 0 && FLoad->Loading) {
    FillLoadedRecord(buffer, reader);
    return;
  }
  TcxValueDefs* defs = DefsForRecord(recordIndex);
  for (Integer i = 0; i < defs->GetCount(); ++i) {
    TcxValueDef* def = defs->FItems[std::size_t(i)];
    if (reader->SkipsValueDef(def)) continue;
    TcxValueDef* slotDef = SlotDef(recordIndex, def);
    const Variant value = reader->ProvideValue(def);
    if (!slotDef) continue;
    StoreSlotValue(buffer, slotDef, value);
    if (slotDef->FTextStored)
      slotDef->FValueTypeClass->StringToTextBuffer(buffer + slotDef->FOffset + 1 + slotDef->FDataSize,
                                                   reader->ProvideDisplayText(def));
  }
}

void TcxDataStorage::ForEachValueDef(Integer recordIndex, Pointer argument, TcxValueDefReader* reader,
                                     TcxValueDefProc proc) {
  TcxValueDefs* defs = DefsForRecord(recordIndex);
  for (Integer i = 0; i < defs->GetCount(); ++i) proc(defs->FItems[std::size_t(i)], recordIndex, argument, reader);
}

Integer TcxDataStorage::CompareRecordValues(Integer recordIndex1, Integer recordIndex2, TcxValueDef* def) {
  const Byte* buffer1 = BufferOf(recordIndex1);
  const Byte* buffer2 = BufferOf(recordIndex2);
  TcxValueDef* def1 = SlotDef(recordIndex1, def);
  TcxValueDef* def2 = SlotDef(recordIndex2, def);
  const Byte* slot1 = buffer1 && def1 && buffer1[def1->FOffset] ? buffer1 + def1->FOffset : nullptr;
  const Byte* slot2 = buffer2 && def2 && buffer2[def2->FOffset] ? buffer2 + def2->FOffset : nullptr;
  if (!slot1 || !slot2) return slot1 == slot2 ? 0 : slot1 ? 1 : -1;
  return def1->FValueTypeClass->CompareBuffers(slot1 + 1, slot2 + 1);
}

Boolean TcxDataStorage::PrepareCompare(Integer recordIndex, TcxValueDef* def, const void*& data) {
  const Byte* buffer = BufferOf(recordIndex);
  TcxValueDef* slotDef = SlotDef(recordIndex, def);
  data = nullptr;
  if (!buffer || !slotDef || !buffer[slotDef->FOffset]) return true;
  data = slotDef->FValueTypeClass->ResolveBuffer(buffer + slotDef->FOffset + 1);
  return false;
}

Integer TcxDataStorage::RecordIDOf(Integer recordIndex) {
  const Byte* buffer = BufferOf(recordIndex);
  return FKeepRecordIDs && buffer ? Load<Integer>(buffer + 1) : 0;
}

void TcxDataStorage::AssignRecordID(Integer recordIndex, Integer id) {
  BufferRef(recordIndex);
  if (FKeepRecordIDs) Store(EnsureBuffer(recordIndex) + 1, id);
}

// ==== Data storage: record stream ============================================================

void TcxDataStorage::StartStreaming(TcxValueDefCompare compare) {
  FStreamingOrder = FValueDefs->FItems;
  std::stable_sort(FStreamingOrder.begin(), FStreamingOrder.end(),
                   [compare](TcxValueDef* a, TcxValueDef* b) { return compare(a, b) < 0; });
  FStreaming = true;
}

void TcxDataStorage::FinishStreaming() {
  FStreaming = false;
  FStreamingOrder.clear();
}

void TcxDataStorage::SaveRecord(Integer recordIndex, TStream* stream) {
  const Byte* buffer = BufferOf(recordIndex);
  TcxValueDefs* defs = DefsForRecord(recordIndex);
  const Int64 position = stream->GetPosition();
  WriteAnsiFormatSignature(stream);
  stream->SetPosition(position);
  TdxStream dxStream(stream);
  if (!buffer) {
    orv::WriteByte(&dxStream, 1);
    return;
  }
  orv::WriteByte(&dxStream, 0);
  if (FKeepRecordIDs) orv::WriteInteger(&dxStream, Load<Integer>(buffer + 1));
  for (Integer i = 0; i < defs->GetCount(); ++i) {
    TcxValueDef* def = defs->GetItem(i);
    if (!def->FStreamed) continue;
    if (def->FBufferSize == 0) {
      // No slot, no value: written as null so that the record keeps one entry per definition.
      orv::WriteByte(&dxStream, 1);
      continue;
    }
    const Byte* slot = buffer + def->FOffset;
    const TcxValueType* type = def->FValueTypeClass.operator->();
    orv::WriteByte(&dxStream, slot[0] ? 0 : 1);
    if (slot[0]) type->StreamOutValue(slot + 1, &dxStream);
    if (def->FTextStored) type->StreamOutText(slot + 1 + def->FDataSize, &dxStream);
  }
}

void TcxDataStorage::LoadRecord(Integer recordIndex, TStream* stream) {
  TcxValueDefs* defs = DefsForRecord(recordIndex);
  Byte*& bufferRef = BufferRef(recordIndex);
  TdxStream dxStream(stream);
  if (orv::ReadByte(&dxStream) != 0) {
    FreeBuffer(bufferRef, defs);
    return;
  }
  Byte* buffer = EnsureBuffer(recordIndex);
  if (FKeepRecordIDs) {
    const Integer id = orv::ReadInteger(&dxStream);
    Store(buffer + 1, id);
    if (id >= FRecordIDCounter) FRecordIDCounter = id < std::numeric_limits<Integer>::max() ? id + 1 : id;
  }
  for (Integer i = 0; i < defs->GetCount(); ++i) {
    TcxValueDef* def = defs->GetItem(i);
    if (!def->FStreamed) continue;
    const bool isNull = orv::ReadByte(&dxStream) != 0;
    const TcxValueType* type = def->FValueTypeClass.operator->();
    if (def->FBufferSize == 0) {
      // A value for a definition without a slot is read past and dropped.
      if (!isNull) {
        std::vector<Byte> scratch(std::size_t(std::max(def->FDataSize, kPointerSize)), 0);
        type->StreamInValue(scratch.data(), &dxStream);
        type->ReleaseBuffer(scratch.data());
      }
      continue;
    }
    Byte* slot = buffer + def->FOffset;
    if (isNull) {
      StoreSlotValue(buffer, def, Null());
    } else {
      slot[0] = 1;
      type->StreamInValue(slot + 1, &dxStream);
    }
    if (def->FTextStored) type->StreamInText(slot + 1 + def->FDataSize, &dxStream);
  }
}

// ==== Lookup list ============================================================================

Boolean TcxLookupList::Locate(const Variant& value, Integer& index) const {
  Integer low = 0, high = GetCount() - 1;
  while (low <= high) {
    const Integer middle = (low + high) / 2;
    const Integer r = CompareVariants(FItems[std::size_t(middle)].Value, value);
    if (r < 0) {
      low = middle + 1;
    } else if (r > 0) {
      high = middle - 1;
    } else {
      index = middle;
      return true;
    }
  }
  index = low;
  return false;
}

void TcxLookupList::InsertAt(Integer index, const Variant& value, const AnsiString& displayText) {
  if (index < 0 || index > GetCount()) orv::ListError("List index out of bounds", index);
  FItems.insert(FItems.begin() + index, TcxLookupListItem{value, displayText});
}

PcxLookupListItem TcxLookupList::EntryAt(Integer index) {
  if (index < 0 || index >= GetCount()) orv::ListError("List index out of bounds", index);
  return &FItems[std::size_t(index)];
}
