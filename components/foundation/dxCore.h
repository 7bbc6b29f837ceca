// The component library's first unit: the repository of localizable strings, the stream
// wrapper with its format signatures, the operating-system flags and the basic conversions.
#pragma once

#include <memory>
#include <vector>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Types.h"

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
