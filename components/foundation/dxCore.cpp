#include "components/foundation/dxCore.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <iconv.h>

#include "platform/runtime/CodePages.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Lists.h"
#include "platform/runtime/SysUtils.h"

namespace {

// Identifiers are ASCII: letters compare without regard to case.
int CompareIdentifiers(const AnsiString& a, const AnsiString& b) { return CompareText(a, b); }

[[noreturn]] void RaiseListIndexError(Integer index) { orv::ListError("List index out of bounds", index); }

}  // namespace

// ==== Resource strings =======================================================================

TdxProductResourceStrings::TdxProductResourceStrings(AnsiString name,
                                                     TdxAddResourceStringsProcedure addProc)
    : FName(std::move(name)) {
  if (addProc) addProc(this);
}

void TdxProductResourceStrings::AddResourceString(const AnsiString& name, PResStringRec rec) {
  auto pos = std::lower_bound(
      FResourceStringNames.begin(), FResourceStringNames.end(), name,
      [](const TEntry& e, const AnsiString& key) { return CompareIdentifiers(e.Name, key) < 0; });
  if (pos != FResourceStringNames.end() && CompareIdentifiers(pos->Name, name) == 0) return;
  FResourceStringNames.insert(pos, TEntry{name, rec});
}

const AnsiString& TdxProductResourceStrings::GetResourceStringName(Integer index) const {
  if (index < 0 || index >= GetResourceStringCount()) RaiseListIndexError(index);
  return FResourceStringNames[std::size_t(index)].Name;
}

PResStringRec TdxProductResourceStrings::GetResourceStringRec(Integer index) const {
  if (index < 0 || index >= GetResourceStringCount()) RaiseListIndexError(index);
  return FResourceStringNames[std::size_t(index)].Rec;
}

Integer TdxProductResourceStrings::IndexOfResourceString(const AnsiString& name) const {
  auto pos = std::lower_bound(
      FResourceStringNames.begin(), FResourceStringNames.end(), name,
      [](const TEntry& e, const AnsiString& key) { return CompareIdentifiers(e.Name, key) < 0; });
  if (pos == FResourceStringNames.end() || CompareIdentifiers(pos->Name, name) != 0) return -1;
  return Integer(pos - FResourceStringNames.begin());
}

void TdxResourceStringsRepository::RegisterProduct(const AnsiString& productName,
                                                   TdxAddResourceStringsProcedure addProc) {
  // Created before it joins the list: the callback sees a complete product.
  auto product = std::make_unique<TdxProductResourceStrings>(productName, addProc);
  FProducts.push_back(std::move(product));
}

void TdxResourceStringsRepository::UnregisterProduct(const AnsiString& productName) {
  const Integer index = GetProductIndexByName(productName);
  if (index >= 0) FProducts.erase(FProducts.begin() + index);
}

TdxProductResourceStrings* TdxResourceStringsRepository::GetProduct(Integer index) const {
  if (index < 0 || index >= GetProductCount()) RaiseListIndexError(index);
  return FProducts[std::size_t(index)].get();
}

Integer TdxResourceStringsRepository::GetProductIndexByName(const AnsiString& name) const {
  for (std::size_t i = 0; i < FProducts.size(); ++i)
    if (FProducts[i]->GetName() == name) return Integer(i);
  return -1;
}

void TdxResourceStringsRepository::AddListener(orv::ITranslationListener* listener) {
  if (listener && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end())
    FListeners.push_back(listener);
}

void TdxResourceStringsRepository::RemoveListener(orv::ITranslationListener* listener) {
  auto pos = std::find(FListeners.begin(), FListeners.end(), listener);
  if (pos != FListeners.end()) FListeners.erase(pos);
}

orv::ITranslationListener* TdxResourceStringsRepository::GetListener(Integer index) const {
  if (index < 0 || index >= GetListenerCount()) RaiseListIndexError(index);
  return FListeners[std::size_t(index)];
}

TdxResourceStringsRepository* GetResourceStringsRepository() {
  // A function-local object: it is destroyed after every static object that registered in it
  // during its own construction, so their unregistration at exit finds it alive.
  static TdxResourceStringsRepository repository;
  return &repository;
}

// ==== Stream wrapper and format signatures ===================================================

namespace {

constexpr char kAnsiFormatSignature[] = {'D', 'X', 'A', 'F', 'M', 'T'};
constexpr char kUnicodeFormatSignature[] = {'D', 'X', 'U', 'F', 'M', 'T'};
constexpr Integer kSignatureSize = sizeof kAnsiFormatSignature;

}  // namespace

Boolean ReadStreamFormatSignature(TStream* stream) {
  const Int64 remaining = stream->GetSize() - stream->GetPosition();
  if (remaining <= kSignatureSize) return false;
  char signature[kSignatureSize];
  const Integer read = stream->Read(signature, kSignatureSize);
  if (read == kSignatureSize) {
    if (std::memcmp(signature, kUnicodeFormatSignature, kSignatureSize) == 0) return true;
    if (std::memcmp(signature, kAnsiFormatSignature, kSignatureSize) == 0) return false;
  }
  stream->Seek(-Int64(read), soCurrent);
  return false;
}

void WriteAnsiFormatSignature(TStream* stream) {
  stream->WriteBuffer(kAnsiFormatSignature, kSignatureSize);
}

TdxStream::TdxStream(TStream* stream) : FStream(stream) {
  FIsUnicode = ReadStreamFormatSignature(stream);
}

Integer TdxStream::Read(void* buffer, Integer count) { return FStream->Read(buffer, count); }
Integer TdxStream::Write(const void* buffer, Integer count) { return FStream->Write(buffer, count); }
Int64 TdxStream::Seek(Int64 offset, TSeekOrigin origin) { return FStream->Seek(offset, origin); }
Int64 TdxStream::GetSize() { return FStream->GetSize(); }

AnsiString ReadStringFromStream(TMemoryStream* stream) {
  const Int64 remaining = std::max<Int64>(stream->GetSize() - stream->GetPosition(), 0);
  AnsiString result(std::size_t(remaining), '\0');
  if (remaining > 0) stream->ReadBuffer(result.data(), Integer(remaining));
  return result;
}

void WriteStringToStream(TStream* stream, const AnsiString& value) {
  if (!value.empty()) stream->WriteBuffer(value.data(), Integer(value.size()));
}

// ==== Operating-system flags =================================================================

namespace {
constexpr orv::TOsFlags kOsFlags = orv::ComputeOsFlags(
    orv::kPlatformId, orv::kPlatformMajorVersion, orv::kPlatformMinorVersion);
}  // namespace

const Boolean OsWin9x = kOsFlags.Win9x;
const Boolean OsWin95 = kOsFlags.Win95;
const Boolean OsWin98 = kOsFlags.Win98;
const Boolean OsWinMe = kOsFlags.WinMe;
const Boolean OsWinNT = kOsFlags.WinNT;
const Boolean OsWin2000 = kOsFlags.Win2000;
const Boolean OsWin2000OrLater = kOsFlags.Win2000OrLater;
const Boolean OsWinXP = kOsFlags.WinXP;
const Boolean OsWinXPOrLater = kOsFlags.WinXPOrLater;
const Boolean OsWin2000OrXP = kOsFlags.Win2000OrXP;
const Boolean OsWinVista = kOsFlags.WinVista;
const Boolean OsWinVistaOrLater = kOsFlags.WinVistaOrLater;
// No 32-bit process runs on a 64-bit system here.
const Boolean OsWow64 = false;

// ==== Basic conversions ======================================================================

Integer CharsetToCodePage(Byte charset) {
  switch (charset) {
    case 128: return 932;   // Shift-JIS
    case 129: return 949;   // Hangul
    case 130: return 949;   // Johab
    case 134: return 936;   // GB2312
    case 136: return 950;   // Big5
    case 161: return 1253;  // Greek
    case 162: return 1254;  // Turkish
    case 177: return 1255;  // Hebrew
    case 178: return 1256;  // Arabic
    case 186: return 1257;  // Baltic
    case 204: return 1251;  // Russian
    case 222: return 874;   // Thai
    case 238: return 1250;  // Eastern European
    default: return 0;
  }
}

namespace {

constexpr Cardinal kCpUtf8 = 65001;
constexpr Cardinal kCpOem866 = 866;
constexpr Cardinal kCpSystem1251 = 1251;

// A converter between a Windows code page and UTF-16 through the C library's tables; closed when
// it goes out of scope. Invalid when the library has no table for the code page.
class TdxCodePageConverter {
 public:
  TdxCodePageConverter(Cardinal codePage, bool toWide) {
    const std::string name = "CP" + std::to_string(codePage);
    FHandle = toWide ? iconv_open("UTF-16LE", name.c_str()) : iconv_open(name.c_str(), "UTF-16LE");
  }
  ~TdxCodePageConverter() {
    if (IsValid()) iconv_close(FHandle);
  }
  TdxCodePageConverter(const TdxCodePageConverter&) = delete;
  TdxCodePageConverter& operator=(const TdxCodePageConverter&) = delete;
  bool IsValid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
  // Converts as much as it can; gives false at a sequence it cannot convert (or an incomplete one
  // at the end), with `in` left at it.
  bool Convert(const char*& in, std::size_t& inLeft, std::string& out) {
    char buffer[256];
    while (inLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      char* src = const_cast<char*>(in);
      const std::size_t rc = iconv(FHandle, &src, &inLeft, &dst, &dstLeft);
      in = src;
      out.append(buffer, std::size_t(dst - buffer));
      if (rc == std::size_t(-1) && errno != E2BIG) {
        iconv(FHandle, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        return false;
      }
    }
    return true;
  }

 private:
  iconv_t FHandle;
};

WideString DxCoreBytesToWide(std::string_view bytes, Cardinal codePage) {
  WideString result;
  TdxCodePageConverter converter(codePage, true);
  if (!converter.IsValid()) {
    for (char c : bytes) result.push_back(static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : char16_t(0xFFFD));
    return result;
  }
  std::string utf16;
  const char* in = bytes.data();
  std::size_t inLeft = bytes.size();
  while (!converter.Convert(in, inLeft, utf16)) {
    utf16.append("\xFD\xFF", 2);  // U+FFFD, little-endian
    ++in;
    --inLeft;
  }
  result.reserve(utf16.size() / 2);
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2)
    result.push_back(char16_t(static_cast<unsigned char>(utf16[i]) | (static_cast<unsigned char>(utf16[i + 1]) << 8)));
  return result;
}

AnsiString DxCoreWideToBytes(std::u16string_view chars, Cardinal codePage) {
  AnsiString result;
  TdxCodePageConverter converter(codePage, false);
  std::string utf16;
  utf16.reserve(chars.size() * 2);
  for (char16_t c : chars) {
    utf16.push_back(char(c & 0xFF));
    utf16.push_back(char(c >> 8));
  }
  const char* in = utf16.data();
  std::size_t inLeft = utf16.size();
  if (!converter.IsValid()) {
    for (std::size_t i = 0; i < chars.size(); ++i) {
      const char16_t c = chars[i];
      // A surrogate pair is one character: one replacement.
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < chars.size() && chars[i + 1] >= 0xDC00 && chars[i + 1] < 0xE000) ++i;
      result.push_back(c < 0x80 ? char(c) : '?');
    }
    return result;
  }
  while (!converter.Convert(in, inLeft, result)) {
    result.push_back('?');
    // Skip the character: two units for a surrogate pair.
    const std::size_t at = std::size_t(in - utf16.data()) / 2;
    std::size_t skip = 1;
    if (chars[at] >= 0xD800 && chars[at] < 0xDC00 && at + 1 < chars.size() && chars[at + 1] >= 0xDC00 &&
        chars[at + 1] < 0xE000)
      skip = 2;
    skip = std::min(skip * 2, inLeft);
    in += skip;
    inLeft -= skip;
  }
  return result;
}

}  // namespace

WideString AnsiToWideWithCodePage(const AnsiString& text, Cardinal codePage, Integer byteCount) {
  std::string_view bytes(text);
  if (byteCount >= 0 && std::size_t(byteCount) < bytes.size()) bytes = bytes.substr(0, std::size_t(byteCount));
  if (bytes.empty()) return {};
  if (codePage == kCpUtf8) return orv::Utf8ToWide(bytes);
  if (codePage == kCpOem866) return orv::AnsiToWide(orv::Cp866ToAnsi(bytes));
  if (codePage == 0 || codePage == kCpSystem1251) return orv::AnsiToWide(bytes);
  return DxCoreBytesToWide(bytes, codePage);
}

WideString AnsiToWide(const AnsiString& text, Cardinal codePage) {
  return AnsiToWideWithCodePage(text, codePage, -1);
}

AnsiString WideToAnsiWithCodePage(const WideString& text, Cardinal codePage, Integer charCount) {
  std::u16string_view chars(text);
  if (charCount >= 0 && std::size_t(charCount) < chars.size()) chars = chars.substr(0, std::size_t(charCount));
  if (chars.empty()) return {};
  if (codePage == kCpUtf8) return orv::WideToUtf8(chars);
  if (codePage == kCpOem866) return orv::AnsiToCp866(orv::WideToAnsi(chars));
  if (codePage == 0 || codePage == kCpSystem1251) return orv::WideToAnsi(chars);
  return DxCoreWideToBytes(chars, codePage);
}

AnsiString WideToAnsi(const WideString& text, Cardinal codePage) {
  return WideToAnsiWithCodePage(text, codePage, -1);
}

Cardinal ColorToRGBA(TColor color, Byte alpha) {
  const COLORREF rgb = ColorToRGB(color);
  return (Cardinal(GetRValue(rgb)) << 16) | (Cardinal(GetGValue(rgb)) << 8) | GetBValue(rgb) |
         (Cardinal(alpha) << 24);
}

AnsiString VariantToAnsiString(const Variant& value) {
  if (value.IsArray()) {
    const Integer low = value.LowBound(), high = value.HighBound();
    const Int64 count = Int64(high) - low + 1;
    if (count <= 0) return {};
    if (const Byte* bytes = value.ByteData())
      return AnsiString(reinterpret_cast<const char*>(bytes), std::size_t(count));
    AnsiString result(std::size_t(count), '\0');
    for (Integer i = low; i <= high; ++i)
      result[std::size_t(Int64(i) - low)] = static_cast<char>(value.GetElement(i).AsInteger());
    return result;
  }
  if (VarIsStr(value)) return value.AsString();
  return VarToStr(value);
}

WideString VariantToWideString(const Variant& value) {
  if (value.GetType() == varOleStr) return value.AsWideString();
  if (VarIsStr(value)) return orv::AnsiToWide(VarToStr(value));
  return orv::AnsiToWide(VariantToAnsiString(value));
}

Boolean IsTextOrByteArrayVariant(const Variant& value) {
  return VarIsStr(value) || (value.IsArray() && VarArrayDimCount(value) == 1);
}

AnsiString StringToHex(const AnsiString& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  AnsiString hex(bytes.size() * 2, '0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    hex[2 * i] = kDigits[b >> 4];
    hex[2 * i + 1] = kDigits[b & 15];
  }
  return hex;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

AnsiString HexToString(const AnsiString& hex) {
  AnsiString bytes(hex.size() / 2, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int hi = HexDigit(hex[2 * i]), lo = HexDigit(hex[2 * i + 1]);
    if (hi < 0 || lo < 0)
      throw EConvertError("'" + hex.substr(2 * i, 2) + "' is not a valid hexadecimal value");
    bytes[i] = static_cast<char>(hi * 16 + lo);
  }
  return bytes;
}

AnsiString ShortStringToString(const orv::ShortString& value) {
  return AnsiString(reinterpret_cast<const char*>(value.data() + 1), value[0]);
}

orv::ShortString StringToShortString(const AnsiString& value) {
  orv::ShortString result{};
  const std::size_t n = std::min<std::size_t>(value.size(), 255);
  result[0] = static_cast<Byte>(n);
  std::memcpy(result.data() + 1, value.data(), n);
  return result;
}

void ZeroBytes(void* dest, Integer count) {
  if (count > 0) std::memset(dest, 0, std::size_t(count));
}

void CopyBytes(const void* source, void* dest, Integer count) {
  if (count > 0) std::memmove(dest, source, std::size_t(count));
}
