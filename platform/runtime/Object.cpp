#include "platform/runtime/Object.h"

#include <map>

#include "platform/runtime/Exceptions.h"

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

AnsiString UpperAscii(const char* s) {
  AnsiString r(s);
  for (char& c : r) c = UpperAscii(c);
  return r;
}

bool SameAsciiText(const char* a, const AnsiString& b) {
  const std::size_t n = std::strlen(a);
  if (n != b.size()) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

// Registered classes by upper-cased name.
std::map<AnsiString, TClass>& Registry() {
  static std::map<AnsiString, TClass> registry;
  return registry;
}

}  // namespace

bool TMetaClass::ClassNameIs(const AnsiString& name) const { return SameAsciiText(FName, name); }

bool TMetaClass::InheritsFrom(TClass other) const {
  for (TClass c = this; c; c = c->FParent)
    if (c == other) return true;
  return false;
}

void TMetaClass::CannotCreate() const {
  throw EInvalidOperation(AnsiString("Cannot create an instance of ") + FName);
}

TClass TObject::StaticClass() {
  static const TMetaClass meta("TObject", nullptr, orv::detail::FactoryFor<TObject>(),
                               &orv::detail::kSignatureTag<TCreateSignature>);
  return &meta;
}

void TObject::Free() {
  if (DeferFree()) return;
  BeforeDestruction();
  delete this;
}

void orv::CheckClassReference(TClass c, TClass base) {
  if (c && !c->InheritsFrom(base))
    throw EInvalidOperation(c->ClassName() + " is not a descendant of " + base->ClassName());
}

void RegisterClass(TClass c) {
  if (!c) return;
  auto [it, added] = Registry().emplace(UpperAscii(c->ClassNameData()), c);
  if (!added && it->second != c)
    throw EFilerError("A class named " + c->ClassName() + " already exists");
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass c) {
  if (!c) return;
  auto it = Registry().find(UpperAscii(c->ClassNameData()));
  if (it != Registry().end() && it->second == c) Registry().erase(it);
}

TClass GetClass(const AnsiString& name) {
  auto it = Registry().find(UpperAscii(name.c_str()));
  return it == Registry().end() ? nullptr : it->second;
}

TClass FindClass(const AnsiString& name) {
  TClass c = GetClass(name);
  if (!c) throw EClassNotFound("Class " + name + " not found");
  return c;
}
