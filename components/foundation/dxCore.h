// The component library's first unit: the repository of localizable strings, the stream
// wrapper with its format signatures, the operating-system flags and the basic conversions.
#pragma once

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Types.h"
#include "platform/runtime/Variants.h"

// ==== Resource strings =======================================================================
//
// A resource string is a record in static storage that holds the text compiled into the
// program; its address identifies it. Units declare theirs as inline constants so that every
// translation unit sees one address:
//
//   inline constexpr TResStringRec scxSDataReadError{"Stream read error"_a};
//
// Components never read `DefaultText` directly: they ask GetLocalizedResourceString (cxClasses),
// which prefers a replacement set by the application.
struct TResStringRec {
  orv::AnsiLiteral DefaultText;
};
using PResStringRec = const TResStringRec*;

// The compiled text of a resource string.
inline AnsiString LoadResString(PResStringRec rec) { return rec ? AnsiString(rec->DefaultText) : AnsiString(); }

namespace orv {

// Implemented by objects that refresh their texts when the translation changes (the base
// control, the format controller). Registered with TdxResourceStringsRepository::AddListener.
class ITranslationListener {
 public:
  virtual void TranslationChanged() = 0;

 protected:
  ~ITranslationListener() = default;
};

}  // namespace orv

class TdxProductResourceStrings;
// Fills a product's identifier list; called once, when the product is created.
using TdxAddResourceStringsProcedure = void (*)(TdxProductResourceStrings* product);

// One product group: its name and its resource-string identifiers, sorted case-insensitively.
class TdxProductResourceStrings {
 public:
  TdxProductResourceStrings(AnsiString name, TdxAddResourceStringsProcedure addProc);
  TdxProductResourceStrings(const TdxProductResourceStrings&) = delete;
  TdxProductResourceStrings& operator=(const TdxProductResourceStrings&) = delete;

  // Adds an identifier with its record; an identifier already present (in any letter case)
  // is ignored.
  void AddResourceString(const AnsiString& name, PResStringRec rec);

  const AnsiString& GetName() const { return FName; }
  Integer GetResourceStringCount() const { return Integer(FResourceStringNames.size()); }
  const AnsiString& GetResourceStringName(Integer index) const;
  PResStringRec GetResourceStringRec(Integer index) const;
  // The position of an identifier (any letter case), -1 when absent.
  Integer IndexOfResourceString(const AnsiString& name) const;

 private:
  struct TEntry {
    AnsiString Name;
    PResStringRec Rec;
  };
  AnsiString FName;
  std::vector<TEntry> FResourceStringNames;
};

// The registry of every product group of the library and of the translation listeners.
class TdxResourceStringsRepository {
 public:
  TdxResourceStringsRepository() = default;
  TdxResourceStringsRepository(const TdxResourceStringsRepository&) = delete;
  TdxResourceStringsRepository& operator=(const TdxResourceStringsRepository&) = delete;

  // Creates the product (which fills its list at once) and appends it; a name already
  // registered is registered again.
  void RegisterProduct(const AnsiString& productName, TdxAddResourceStringsProcedure addProc);
  // Removes and frees the first product of exactly that name; nothing when none matches.
  void UnregisterProduct(const AnsiString& productName);

  Integer GetProductCount() const { return Integer(FProducts.size()); }
  TdxProductResourceStrings* GetProduct(Integer index) const;
  // Exact comparison; -1 when absent.
  Integer GetProductIndexByName(const AnsiString& name) const;

  void AddListener(orv::ITranslationListener* listener);
  void RemoveListener(orv::ITranslationListener* listener);
  Integer GetListenerCount() const { return Integer(FListeners.size()); }
  orv::ITranslationListener* GetListener(Integer index) const;

 private:
  std::vector<orv::ITranslationListener*> FListeners;
  std::vector<std::unique_ptr<TdxProductResourceStrings>> FProducts;
};

// The one repository, created on the first call and freed at program exit, after every unit
// that registered in it.
TdxResourceStringsRepository* GetResourceStringsRepository();

namespace orv {
// A strings unit's registration: registers its product when made and unregisters it when the
// unit ends. Each strings unit keeps one as a function-local static in its start routine; the
// repository is created during the registration, so it outlives the registration.
class TResourceStringsUnit {
 public:
  TResourceStringsUnit(AnsiString productName, TdxAddResourceStringsProcedure addProc)
      : FProductName(std::move(productName)) {
    GetResourceStringsRepository()->RegisterProduct(FProductName, addProc);
  }
  ~TResourceStringsUnit() { GetResourceStringsRepository()->UnregisterProduct(FProductName); }
  TResourceStringsUnit(const TResourceStringsUnit&) = delete;
  TResourceStringsUnit& operator=(const TResourceStringsUnit&) = delete;

 private:
  AnsiString FProductName;
};
}  // namespace orv

// ==== Stream wrapper and format signatures ===================================================
//
// Stream writers put a 6-byte signature in front of their content: "DXAFMT" for 8-bit strings.
// Readers accept "DXAFMT", "DXUFMT" (16-bit UTF-16 strings) or none (an older stream, 8-bit).

// Reads a signature at the stream's position: true for "DXUFMT", false for "DXAFMT" (both
// consumed) and false, with the position unchanged, for anything else. A stream with 6 bytes or
// fewer left holds no content after a signature and is not read at all.
Boolean ReadStreamFormatSignature(TStream* stream);
// Writes "DXAFMT" at the current position.
void WriteAnsiFormatSignature(TStream* stream);

// A stream that forwards reads, writes, seeks and size queries to a stream it does not own and
// tells, from the signature at its start, whether stored strings are 16-bit.
class TdxStream : public TStream {
  ORV_CLASS(TdxStream, TStream)
 public:
  using TCreateSignature = void(TStream* stream);
  // Reads the signature at the stream's position (ReadStreamFormatSignature).
  explicit TdxStream(TStream* stream);

  Boolean GetIsUnicode() const { return FIsUnicode; }
  void SetIsUnicode(Boolean value) { FIsUnicode = value; }
  TStream* GetStream() const { return FStream; }

  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 GetSize() override;

 private:
  TStream* FStream;
  Boolean FIsUnicode = false;
};

using TdxStreamClass = orv::ClassOf<TdxStream>;

// The bytes from the stream's position to its end (the whole stream when it is at its start).
AnsiString ReadStringFromStream(TMemoryStream* stream);
// The string's bytes, without a length prefix.
void WriteStringToStream(TStream* stream, const AnsiString& value);

// ==== Operating-system flags =================================================================
//
// Computed once from the platform's reported platform id and version, before any other unit of
// the library starts. Our platform layer reports the NT family, version 5.1, not under WOW64:
// the classic look without visual styles or desktop composition.

extern const Boolean OsWin9x;
extern const Boolean OsWin95;
extern const Boolean OsWin98;
extern const Boolean OsWinMe;
extern const Boolean OsWinNT;
extern const Boolean OsWin2000;
extern const Boolean OsWin2000OrLater;
extern const Boolean OsWinXP;
extern const Boolean OsWinXPOrLater;
extern const Boolean OsWin2000OrXP;
extern const Boolean OsWinVista;
extern const Boolean OsWinVistaOrLater;
extern const Boolean OsWow64;

namespace orv {

// The flags for one reported platform (1 the Windows 95 family, 2 the NT family) and version.
struct TOsFlags {
  Boolean Win9x, Win95, Win98, WinMe, WinNT, Win2000, Win2000OrLater, WinXP, WinXPOrLater,
      Win2000OrXP, WinVista, WinVistaOrLater;
};
constexpr TOsFlags ComputeOsFlags(Integer platformId, Integer major, Integer minor) {
  TOsFlags f{};
  f.Win9x = platformId == 1;
  f.Win95 = f.Win9x && minor == 0;
  f.Win98 = f.Win9x && minor == 10;
  f.WinMe = f.Win9x && minor == 90;
  f.WinNT = platformId == 2;
  f.Win2000 = f.WinNT && major == 5 && minor == 0;
  f.Win2000OrLater = f.WinNT && major >= 5;
  f.WinXP = f.WinNT && major == 5 && minor > 0;
  f.WinXPOrLater = f.WinNT && major >= 5 && !f.Win2000;
  f.Win2000OrXP = f.Win2000 || f.WinXP;
  f.WinVista = f.WinNT && major == 6;
  f.WinVistaOrLater = f.WinNT && major >= 6;
  return f;
}

// What our platform layer reports.
inline constexpr Integer kPlatformId = 2;
inline constexpr Integer kPlatformMajorVersion = 5;
inline constexpr Integer kPlatformMinorVersion = 1;

}  // namespace orv

// ==== Basic conversions ======================================================================

// The code page of a font character set; 0 (the system default) for any set without one.
Integer CharsetToCodePage(Byte charset);

// 8-bit text in a code page to UTF-16; `byteCount` -1 takes the whole text. Code page 65001 is
// UTF-8, 0 the system default (Windows-1251). The other Windows code pages a font's character
// set names (1250, 1252 ... 1258, 874, 932, 936, 949, 950) and 866 are converted by their own
// tables; a byte sequence the code page does not define becomes U+FFFD. Under a code page this
// platform has no table for, only ASCII is kept and every other byte becomes U+FFFD.
WideString AnsiToWideWithCodePage(const AnsiString& text, Cardinal codePage, Integer byteCount = -1);
WideString AnsiToWide(const AnsiString& text, Cardinal codePage);
// UTF-16 to 8-bit text in a code page; `charCount` -1 takes the whole text. Characters the code
// page lacks become "?" (every non-ASCII character under a code page without a table).
AnsiString WideToAnsiWithCodePage(const WideString& text, Cardinal codePage, Integer charCount = -1);
AnsiString WideToAnsi(const WideString& text, Cardinal codePage);
// Strings are 8-bit throughout: both return the text unchanged.
inline AnsiString ConvertFromAnsiString(const AnsiString& text, Cardinal codePage) { return text; }
inline AnsiString ConvertToAnsiString(const AnsiString& text, Cardinal codePage) { return text; }

// A 32-bit pixel (blue in bits 0-7, green 8-15, red 16-23, alpha 24-31) of a colour, system
// colours resolved to their current values.
Cardinal ColorToRGBA(TColor color, Byte alpha = 255);

// The text of a variant: a one-dimensional array byte for byte (a byte array's bytes; the
// elements of any other array each taken as one byte), a string unchanged, anything else as the
// platform converts it.
AnsiString VariantToAnsiString(const Variant& value);
inline AnsiString VariantToString(const Variant& value) { return VariantToAnsiString(value); }
// A string variant's text (a wide string without loss), anything else VariantToAnsiString,
// widened from the system code page.
WideString VariantToWideString(const Variant& value);
// A string or a one-dimensional array.
Boolean IsTextOrByteArrayVariant(const Variant& value);

// Two upper-case hexadecimal digits per byte.
AnsiString StringToHex(const AnsiString& bytes);
// Half as many bytes as digits (an odd last digit is dropped); a character that is not a
// hexadecimal digit raises EConvertError.
AnsiString HexToString(const AnsiString& hex);

namespace orv {
// A length-prefixed string of at most 255 bytes: byte 0 holds the length.
using ShortString = std::array<Byte, 256>;
}  // namespace orv
AnsiString ShortStringToString(const orv::ShortString& value);
// The text cut at 255 bytes.
orv::ShortString StringToShortString(const AnsiString& value);

// A 256-bit set of bytes, 32 bits per word.
using TdxByteSet = std::array<Cardinal, 8>;
constexpr Boolean IsByteInSet(Byte value, const TdxByteSet& set) {
  return (set[value / 32] >> (value % 32)) & 1u;
}
void ZeroBytes(void* dest, Integer count);
// Copies `count` bytes from `source` to `dest` (the blocks may overlap).
void CopyBytes(const void* source, void* dest, Integer count);
inline void SwapIntegers(Integer& a, Integer& b) {
  const Integer t = a;
  a = b;
  b = t;
}
