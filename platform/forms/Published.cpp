#include "platform/forms/Published.h"

#include <algorithm>
#include <map>

#include "platform/runtime/Persistent.h"
#include "platform/runtime/SysUtils.h"

namespace orv {

namespace {

std::map<std::type_index, const EnumInfo*>& Enums() {
  static std::map<std::type_index, const EnumInfo*> enums;
  return enums;
}

struct NamedKind {
  IntegerKind Kind;
  std::vector<IdentMapEntry> Idents;
};

std::map<AnsiString, NamedKind>& IntegerKinds() {
  static std::map<AnsiString, NamedKind> kinds;
  return kinds;
}

std::map<std::type_index, std::unique_ptr<detail::ValueKindBase>>& ValueKinds() {
  static std::map<std::type_index, std::unique_ptr<detail::ValueKindBase>> kinds;
  return kinds;
}

struct ClassEntry {
  CastFunction Cast = nullptr;
  PublishFunction Publish;
  std::unique_ptr<PropertyList> List;
  DefinePropertiesHook Hook = nullptr;
};

std::map<TClass, ClassEntry>& Classes() {
  static std::map<TClass, ClassEntry> classes;
  return classes;
}

ClassEntry* FindEntry(TClass c) {
  auto it = Classes().find(c);
  return it == Classes().end() ? nullptr : &it->second;
}

const PropertyList* ListOf(ClassEntry& entry) {
  if (!entry.Publish) return nullptr;
  if (!entry.List) {
    auto list = std::make_unique<PropertyList>();
    entry.Publish(*list);
    entry.List = std::move(list);
  }
  return entry.List.get();
}

}  // namespace

// ---- Enumerations ---------------------------------------------------------------------------------

const AnsiString* EnumInfo::NameOf(Int64 ordinal) const {
  if (ordinal < 0 || ordinal >= static_cast<Int64>(FNames.size())) return nullptr;
  return &FNames[static_cast<std::size_t>(ordinal)];
}

bool EnumInfo::OrdinalOf(const AnsiString& name, Int64& ordinal) const {
  for (std::size_t i = 0; i < FNames.size(); ++i) {
    if (SameText(FNames[i], name)) {
      ordinal = static_cast<Int64>(i);
      return true;
    }
  }
  return false;
}

void RegisterEnumInfo(std::type_index type, const EnumInfo* info) { Enums()[type] = info; }

void UnregisterEnumInfo(std::type_index type, const EnumInfo* info) {
  auto it = Enums().find(type);
  if (it != Enums().end() && it->second == info) Enums().erase(it);
}

const EnumInfo* FindEnumInfo(std::type_index type) {
  auto it = Enums().find(type);
  return it == Enums().end() ? nullptr : it->second;
}

// ---- Kinds --------------------------------------------------------------------------------------

void RegisterIntegerKind(const AnsiString& name, IntegerKind kind) {
  IntegerKinds()[UpperCase(name)] = NamedKind{std::move(kind), {}};
}

void UnregisterIntegerKind(const AnsiString& name) { IntegerKinds().erase(UpperCase(name)); }

const IntegerKind* FindIntegerKind(const AnsiString& name) {
  auto it = IntegerKinds().find(UpperCase(name));
  return it == IntegerKinds().end() ? nullptr : &it->second.Kind;
}

bool IdentToInt(const AnsiString& kind, const AnsiString& ident, Int64& value) {
  auto it = IntegerKinds().find(UpperCase(kind));
  if (it == IntegerKinds().end()) return false;
  for (const IdentMapEntry& e : it->second.Idents) {
    if (SameText(e.Name, ident)) {
      value = e.Value;
      return true;
    }
  }
  return false;
}

bool IntToIdent(const AnsiString& kind, Int64 value, AnsiString& ident) {
  auto it = IntegerKinds().find(UpperCase(kind));
  if (it == IntegerKinds().end()) return false;
  for (const IdentMapEntry& e : it->second.Idents) {
    if (e.Value == value) {
      ident = e.Name;
      return true;
    }
  }
  return false;
}

void RegisterIntegerIdents(const AnsiString& name, std::vector<IdentMapEntry> table) {
  IntegerKind kind;
  kind.Write = [name](Int64 value) {
    AnsiString ident;
    return IntToIdent(name, value, ident) ? FormValue::Ident(ident) : FormValue::Int(value);
  };
  kind.Read = [name](const FormValue& value) -> Int64 {
    Int64 n = 0;
    if (value.Kind == FormValueKind::Integer) return value.IntValue;
    if (value.Kind == FormValueKind::Ident && IdentToInt(name, value.Text, n)) return n;
    detail::BadValue(value);
  };
  IntegerKinds()[UpperCase(name)] = NamedKind{std::move(kind), std::move(table)};
}

namespace detail {

void RegisterValueKind(std::type_index type, std::unique_ptr<ValueKindBase> kind) {
  ValueKinds()[type] = std::move(kind);
}

const ValueKindBase* FindValueKind(std::type_index type) {
  auto it = ValueKinds().find(type);
  return it == ValueKinds().end() ? nullptr : it->second.get();
}

const IntegerKind* ResolveIntegerKind(const AnsiString& name) { return FindIntegerKind(name); }

void NoKind(const char* typeName) {
  throw EPropertyError(AnsiString("No form-description kind is registered for the type ") + typeName);
}

void BadValue(const FormValue& value) {
  throw EConvertError("Invalid property value " + value.Describe());
}

Int64 ReadInteger(const FormValue& value, Int64 min, Int64 max) {
  if (value.Kind != FormValueKind::Integer || value.IntValue < min || value.IntValue > max)
    BadValue(value);
  return value.IntValue;
}

UInt64 ReadUnsigned(const FormValue& value, UInt64 max) {
  if (value.Kind != FormValueKind::Integer || value.IntValue < 0 ||
      static_cast<UInt64>(value.IntValue) > max)
    BadValue(value);
  return static_cast<UInt64>(value.IntValue);
}

double ReadFloat(const FormValue& value) {
  if (value.Kind == FormValueKind::Float) return value.FloatValue;
  if (value.Kind == FormValueKind::Integer) return static_cast<double>(value.IntValue);
  BadValue(value);
}

bool ReadBoolean(const FormValue& value) {
  if (value.IsIdent("True")) return true;
  if (value.IsIdent("False")) return false;
  BadValue(value);
}

AnsiString ReadString(const FormValue& value) {
  if (value.Kind != FormValueKind::String) BadValue(value);
  return value.Text;
}

FormValue WriteEnum(const EnumInfo* info, Int64 ordinal) {
  if (info)
    if (const AnsiString* name = info->NameOf(ordinal)) return FormValue::Ident(*name);
  return FormValue::Int(ordinal);
}

Int64 ReadEnum(const EnumInfo* info, const FormValue& value, Int64 min, Int64 max) {
  Int64 ordinal = 0;
  if (value.Kind == FormValueKind::Ident && info && info->OrdinalOf(value.Text, ordinal))
    return ordinal;
  // A number must name a member too: any other value of the underlying type is no value of
  // the enumeration, and code that switches over its members would meet it unprepared.
  const Int64 number = ReadInteger(value, min, max);
  if (info && !info->NameOf(number)) BadValue(value);
  return number;
}

FormValue WriteSet(const EnumInfo* info, UInt64 bits) {
  std::vector<AnsiString> names;
  for (int i = 0; i < 64; ++i) {
    if (!(bits & (UInt64{1} << i))) continue;
    const AnsiString* name = info ? info->NameOf(i) : nullptr;
    if (!name) throw EWriteError("Set element " + std::to_string(i) + " has no name");
    names.push_back(*name);
  }
  return FormValue::SetOf(std::move(names));
}

UInt64 ReadSet(const EnumInfo* info, const FormValue& value) {
  if (value.Kind != FormValueKind::Set) BadValue(value);
  UInt64 bits = 0;
  for (const AnsiString& name : value.Names) {
    Int64 ordinal = 0;
    if (!info || !info->OrdinalOf(name, ordinal) || ordinal >= 64) BadValue(FormValue::Ident(name));
    bits |= UInt64{1} << ordinal;
  }
  return bits;
}

FormValue WriteVariant(const Variant& value) {
  switch (value.GetType()) {
    case varNull: return FormValue::Ident("Null");
    case varBoolean: return FormValue::Bool(value.AsBoolean());
    case varShortInt: case varByte: case varSmallint: case varWord: case varInteger:
    case varLongWord: case varInt64:
      return FormValue::Int(value.AsInt64());
    case varString: return FormValue::Str(value.AsString());
    default:
      if (VarIsStr(value)) return FormValue::Str(value.AsString());
      return FormValue::Float(value.AsDouble());
  }
}

Variant ReadVariant(const FormValue& value) {
  switch (value.Kind) {
    case FormValueKind::Integer:
      if (value.IntValue >= -2147483647 - 1 && value.IntValue <= 2147483647)
        return Variant(static_cast<int>(value.IntValue));
      return Variant(static_cast<long long>(value.IntValue));
    case FormValueKind::Float: return Variant(value.FloatValue);
    case FormValueKind::String: return Variant(value.Text);
    case FormValueKind::Ident:
      if (value.IsIdent("Null")) return Null();
      return Variant(ReadBoolean(value));
    default: BadValue(value);
  }
}

}  // namespace detail

// ---- Property descriptions ----------------------------------------------------------------------

FormValue PropInfo::GetValue(void* self) const { return FormValue(); }

void PropInfo::SetValue(void* self, const FormValue& value) const { detail::BadValue(value); }

PropertyList::PropertyList() = default;
PropertyList::~PropertyList() = default;

const PropInfo* PropertyList::FindProperty(const AnsiString& name) const {
  for (const auto& p : FProperties)
    if (SameText(p->GetName(), name)) return p.get();
  return nullptr;
}

const MethodInfo* PropertyList::FindMethod(const AnsiString& name) const {
  for (const auto& m : FMethods)
    if (SameText(m->GetName(), name)) return m.get();
  return nullptr;
}

const FieldInfo* PropertyList::FindField(const AnsiString& name) const {
  for (const FieldInfo& f : FFields)
    if (SameText(f.Name, name)) return &f;
  return nullptr;
}

PropInfo* PropertyList::AddProperty(std::unique_ptr<PropInfo> info) {
  PropInfo* raw = info.get();
  for (auto& p : FProperties) {
    if (SameText(p->GetName(), raw->GetName())) {
      p = std::move(info);
      return raw;
    }
  }
  FProperties.push_back(std::move(info));
  return raw;
}

void PropertyList::AddMethod(std::unique_ptr<MethodInfo> info) {
  for (auto& m : FMethods) {
    if (SameText(m->GetName(), info->GetName())) {
      m = std::move(info);
      return;
    }
  }
  FMethods.push_back(std::move(info));
}

void PropertyList::AddField(FieldInfo info) {
  for (FieldInfo& f : FFields) {
    if (SameText(f.Name, info.Name)) {
      f = std::move(info);
      return;
    }
  }
  FFields.push_back(std::move(info));
}

namespace {

class TCollectionAccess : public CollectionAccess {
 public:
  Integer Count(void* list) const override { return Coll(list)->GetCount(); }
  Instance Item(void* list, Integer index) const override {
    return Instance::Of(Coll(list)->GetItem(index));
  }
  Instance Add(void* list) const override { return Instance::Of(Coll(list)->Add()); }
  void Clear(void* list) const override { Coll(list)->Clear(); }
  void BeginUpdate(void* list) const override { Coll(list)->BeginUpdate(); }
  void EndUpdate(void* list) const override { Coll(list)->EndUpdate(); }

 private:
  static TCollection* Coll(void* list) { return static_cast<TCollection*>(list); }
};

}  // namespace

const CollectionAccess& CollectionItemsAccess() {
  static const TCollectionAccess access;
  return access;
}

// ---- Registry -----------------------------------------------------------------------------------

void RegisterPublished(TClass c, CastFunction cast, PublishFunction publish) {
  ClassEntry& entry = Classes()[c];
  entry.Cast = cast;
  entry.Publish = std::move(publish);
  entry.List.reset();
}

void UnregisterPublished(TClass c) {
  ClassEntry* entry = FindEntry(c);
  if (!entry) return;
  entry->Publish = nullptr;
  entry->List.reset();
  if (!entry->Hook) Classes().erase(c);
}

void RegisterDefineProperties(TClass c, DefinePropertiesHook hook) { Classes()[c].Hook = hook; }

void UnregisterDefineProperties(TClass c) {
  ClassEntry* entry = FindEntry(c);
  if (!entry) return;
  entry->Hook = nullptr;
  if (!entry->Publish) Classes().erase(c);
}

const PropertyList* FindPublished(TClass c) {
  ClassEntry* entry = FindEntry(c);
  return entry ? ListOf(*entry) : nullptr;
}

bool FindProperty(const Instance& instance, const AnsiString& name, BoundProperty& result) {
  if (instance.Plain) {
    const PropInfo* p = instance.PlainProperties ? instance.PlainProperties->FindProperty(name) : nullptr;
    if (!p) return false;
    result = {p, instance.Plain};
    return true;
  }
  if (!instance.Object) return false;
  for (TClass c = instance.Object->ClassType(); c; c = c->ClassParent()) {
    ClassEntry* entry = FindEntry(c);
    if (!entry) continue;
    const PropertyList* list = ListOf(*entry);
    if (!list) continue;
    if (const PropInfo* p = list->FindProperty(name)) {
      result = {p, entry->Cast(instance.Object)};
      return true;
    }
  }
  return false;
}

std::vector<BoundProperty> GetPublishedProperties(const Instance& instance) {
  std::vector<BoundProperty> props;
  if (instance.Plain) {
    if (instance.PlainProperties)
      for (const auto& p : instance.PlainProperties->GetProperties()) props.push_back({p.get(), instance.Plain});
    return props;
  }
  if (!instance.Object) return props;
  std::vector<TClass> chain;
  for (TClass c = instance.Object->ClassType(); c; c = c->ClassParent()) chain.push_back(c);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    ClassEntry* entry = FindEntry(*it);
    if (!entry) continue;
    const PropertyList* list = ListOf(*entry);
    if (!list) continue;
    void* self = entry->Cast(instance.Object);
    for (const auto& p : list->GetProperties()) {
      // A descendant that publishes a name again takes the place of its ancestor's property.
      auto same = std::find_if(props.begin(), props.end(), [&](const BoundProperty& b) {
        return SameText(b.Info->GetName(), p->GetName());
      });
      if (same != props.end()) *same = {p.get(), self};
      else props.push_back({p.get(), self});
    }
  }
  return props;
}

const MethodInfo* FindPublishedMethod(TObject* root, const AnsiString& name) {
  if (!root) return nullptr;
  for (TClass c = root->ClassType(); c; c = c->ClassParent())
    if (const PropertyList* list = FindPublished(c))
      if (const MethodInfo* m = list->FindMethod(name)) return m;
  return nullptr;
}

const FieldInfo* FindPublishedField(TObject* root, const AnsiString& name) {
  if (!root) return nullptr;
  for (TClass c = root->ClassType(); c; c = c->ClassParent())
    if (const PropertyList* list = FindPublished(c))
      if (const FieldInfo* f = list->FindField(name)) return f;
  return nullptr;
}

void CallDefineProperties(TPersistent* instance, TFiler* filer) {
  std::vector<DefinePropertiesHook> hooks;
  for (TClass c = instance->ClassType(); c; c = c->ClassParent())
    if (ClassEntry* entry = FindEntry(c))
      if (entry->Hook) hooks.push_back(entry->Hook);
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) (*it)(instance, filer);
  instance->DefineProperties(filer);
}

}  // namespace orv
