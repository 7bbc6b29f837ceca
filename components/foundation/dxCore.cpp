#include "components/foundation/dxCore.h"

#include <algorithm>

#include "platform/runtime/Exceptions.h"

namespace {

// Identifiers are ASCII; letters compare without regard to case, other bytes as they are.
int CompareIdentifiers(const AnsiString& a, const AnsiString& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto ca = static_cast<unsigned char>(a[i]);
    auto cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'a' && ca <= 'z') ca = static_cast<unsigned char>(ca - 'a' + 'A');
    if (cb >= 'a' && cb <= 'z') cb = static_cast<unsigned char>(cb - 'a' + 'A');
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

[[noreturn]] void ListIndexError(Integer index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

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
  if (index < 0 || index >= GetResourceStringCount()) ListIndexError(index);
  return FResourceStringNames[std::size_t(index)].Name;
}

PResStringRec TdxProductResourceStrings::GetResourceStringRec(Integer index) const {
  if (index < 0 || index >= GetResourceStringCount()) ListIndexError(index);
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
  if (index < 0 || index >= GetProductCount()) ListIndexError(index);
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
  if (index < 0 || index >= GetListenerCount()) ListIndexError(index);
  return FListeners[std::size_t(index)];
}

TdxResourceStringsRepository* GetResourceStringsRepository() {
  // A function-local object: it is destroyed after every static object that registered in it
  // during its own construction, so their unregistration at exit finds it alive.
  static TdxResourceStringsRepository repository;
  return &repository;
}
