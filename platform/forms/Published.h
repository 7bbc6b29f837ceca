// Published properties: what a class lets form descriptions set and store, declared in a few
// lines beside the class, and read by the form reader and writer (Filer.h).
//
//   ORV_PUBLISH(TDsDbfTable) {
//     using T = TDsDbfTable;
//     p.Property("Database", &T::GetDatabase, &T::SetDatabase);          // a component reference
//     p.Property("TableName", &T::GetTableName, &T::SetTableName);       // a string
//     p.Property("BufferRecords", &T::GetBufferRecords, &T::SetBufferRecords).Default(10);
//     p.Property("CodePage", &T::GetCodePage, &T::SetCodePage).Default(ascii_ANSI);  // by name
//   }
//
// The block sits in the class's own .cpp (so that it is linked wherever the class is), runs on
// the first use of the class's properties, and registers a component class for creation by name
// (RegisterClass). The kind of a property follows from its getter's type:
//
//   bool, integers, floating point, AnsiString, Variant    scalar values
//   an enumeration E / orv::Set<E>                         by name, once EnumNames<E> names them
//   a type registered with RegisterValueKind<V>            through its own converter (this
//                                                          comes first for any type)
//   U* with a setter, U a TComponent                       a reference, resolved after loading
//   U* or U& of a TCollection                              a collection: < item ... end >
//   U* or U& of another TPersistent (or a read-only        a nested object: Font.Name = ...
//     TComponent: a subcomponent)
//   orv::Event<Sig>                                        an event, bound to a method of the root
//
// `.Kind("TColor")` writes an integer through a named integer kind (RegisterIntegerIdents):
// colours, cursors and charsets are integers that forms write by identifier where one exists.
// Kinds are open: a module registers its own named kinds and value kinds.
//
// The writer stores a property when its stored rule allows and its value differs from its
// default: `.Default(v)` names the default; without one, strings are stored when not empty,
// floats when not 0, variants when not empty, other scalars always, objects when something
// inside is stored, references and events when assigned, collections when not empty.
//
// A form class also publishes its handlers (`p.Method("FormCreate", &TFMain::FormCreate)`),
// which events of its components are bound to by name, and its component fields
// (`p.Field("tblOrvane", &TDM::tblOrvane)`), which the reader sets to the components it creates.
// Types that are not TObjects (a list of plain records) publish through PlainProperties<T> and
// are stored in collections through a ListAccess.
#pragma once

#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "platform/forms/FormText.h"
#include "platform/runtime/Collection.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Sets.h"
#include "platform/runtime/Variants.h"

class TFiler;

namespace orv {

// ---- Enumerations by name --------------------------------------------------------------------

// The names of an enumeration's values, ordinal 0 first.
class EnumInfo {
 public:
  EnumInfo(AnsiString typeName, std::vector<AnsiString> names)
      : FTypeName(std::move(typeName)), FNames(std::move(names)) {}
  const AnsiString& GetTypeName() const { return FTypeName; }
  // nullptr for an ordinal outside the enumeration.
  const AnsiString* NameOf(Int64 ordinal) const;
  // False when no value has that name (ASCII case ignored).
  bool OrdinalOf(const AnsiString& name, Int64& ordinal) const;

 private:
  AnsiString FTypeName;
  std::vector<AnsiString> FNames;
};

void RegisterEnumInfo(std::type_index type, const EnumInfo* info);
void UnregisterEnumInfo(std::type_index type, const EnumInfo* info);
const EnumInfo* FindEnumInfo(std::type_index type);

// Names an enumeration for form descriptions; a static object beside the enumeration's unit:
//   const orv::EnumNames<TFieldType> kFieldTypeNames("TFieldType", {"ftUnknown", "ftString"});
template <class E>
class EnumNames {
 public:
  EnumNames(const char* typeName, std::initializer_list<const char*> names)
      : FInfo(typeName, std::vector<AnsiString>(names.begin(), names.end())) {
    RegisterEnumInfo(typeid(E), &FInfo);
  }
  EnumNames(const char* typeName, std::vector<AnsiString> names) : FInfo(typeName, std::move(names)) {
    RegisterEnumInfo(typeid(E), &FInfo);
  }
  ~EnumNames() { UnregisterEnumInfo(typeid(E), &FInfo); }
  EnumNames(const EnumNames&) = delete;
  EnumNames& operator=(const EnumNames&) = delete;

 private:
  EnumInfo FInfo;
};

// ---- Open kinds ---------------------------------------------------------------------------------

// How an integer of a named kind is written and read (colours, cursors, charsets). Read raises
// EConvertError for a value it does not accept.
struct IntegerKind {
  std::function<FormValue(Int64)> Write;
  std::function<Int64(const FormValue&)> Read;
};
void RegisterIntegerKind(const AnsiString& name, IntegerKind kind);
void UnregisterIntegerKind(const AnsiString& name);
const IntegerKind* FindIntegerKind(const AnsiString& name);

struct IdentMapEntry {
  Int64 Value;
  const char* Name;
};
// A named integer kind written as the identifier of its value where the table has one, else as
// a number; read from an identifier of the table or a number.
void RegisterIntegerIdents(const AnsiString& name, std::vector<IdentMapEntry> table);
bool IdentToInt(const AnsiString& kind, const AnsiString& ident, Int64& value);
bool IntToIdent(const AnsiString& kind, Int64 value, AnsiString& ident);

namespace detail {
struct ValueKindBase {
  virtual ~ValueKindBase() = default;
};
template <class V>
struct ValueKind : ValueKindBase {
  std::function<FormValue(const V&)> Write;
  std::function<V(const FormValue&)> Read;
};
void RegisterValueKind(std::type_index type, std::unique_ptr<ValueKindBase> kind);
const ValueKindBase* FindValueKind(std::type_index type);
}  // namespace detail

// Gives a C++ type of property values its own converter (Read raises EConvertError).
template <class V>
void RegisterValueKind(std::function<FormValue(const V&)> write,
                       std::function<V(const FormValue&)> read) {
  auto kind = std::make_unique<detail::ValueKind<V>>();
  kind->Write = std::move(write);
  kind->Read = std::move(read);
  detail::RegisterValueKind(typeid(V), std::move(kind));
}

// ---- Property descriptions -----------------------------------------------------------------------

class PropertyList;
class CollectionAccess;

// An object whose properties a reader or writer visits: a TObject (its class chain publishes)
// or a plain record with its own property list.
struct Instance {
  TObject* Object = nullptr;
  void* Plain = nullptr;
  const PropertyList* PlainProperties = nullptr;

  static Instance Of(TObject* object) { return {object, nullptr, nullptr}; }
  explicit operator bool() const { return Object || Plain; }
};

// A method a form publishes as an event handler.
class MethodInfo {
 public:
  explicit MethodInfo(AnsiString name) : FName(std::move(name)) {}
  virtual ~MethodInfo() = default;
  const AnsiString& GetName() const { return FName; }

 private:
  AnsiString FName;
};

template <class Sig>
class TypedMethod : public MethodInfo {
 public:
  using MethodInfo::MethodInfo;
  // The event that calls this method of `root` (an instance of the publishing class).
  virtual Event<Sig> Bind(TObject* root) const = 0;
};

// A component field of a form, set to the component of that name when the form is read.
struct FieldInfo {
  AnsiString Name;
  TClass FieldClass = nullptr;
  std::function<void(TObject* root, TComponent* component)> Assign;
};

enum class PropKind { Scalar, Object, Component, Collection, Event };

struct CollectionRef {
  void* List = nullptr;
  const CollectionAccess* Access = nullptr;
};

// One published property. `self` is the instance as the publishing class (see Instance).
class PropInfo {
 public:
  PropInfo(AnsiString name, PropKind kind) : FName(std::move(name)), FKind(kind) {}
  virtual ~PropInfo() = default;
  const AnsiString& GetName() const { return FName; }
  PropKind GetKind() const { return FKind; }

  // Scalars. SetValue raises EConvertError for a value of the wrong form.
  virtual FormValue GetValue(void* self) const;
  virtual void SetValue(void* self, const FormValue& value) const;
  // The stored rule allows storing, and (IsDefault) the value equals the default.
  virtual bool IsStored(void* self) const { return true; }
  virtual bool IsDefault(void* self) const { return false; }
  // Nested objects: the object (nullptr when there is none).
  virtual TPersistent* GetObject(void* self) const { return nullptr; }
  // Component references.
  virtual TClass GetComponentClass() const { return nullptr; }
  virtual TComponent* GetComponent(void* self) const { return nullptr; }
  virtual void SetComponent(void* self, TComponent* value) const {}
  // Collections.
  virtual CollectionRef GetCollection(void* self) const { return {}; }
  // Events: SetEvent answers false when the method's signature differs from the event's.
  virtual bool IsEventAssigned(void* self) const { return false; }
  virtual bool SetEvent(void* self, const MethodInfo* method, TObject* root) const { return false; }
  virtual bool EventIs(void* self, const MethodInfo* method, TObject* root) const { return false; }

 private:
  AnsiString FName;
  PropKind FKind;
};

// The properties, handlers and fields one class publishes itself.
class PropertyList {
 public:
  PropertyList();
  ~PropertyList();
  PropertyList(const PropertyList&) = delete;
  PropertyList& operator=(const PropertyList&) = delete;

  const std::vector<std::unique_ptr<PropInfo>>& GetProperties() const { return FProperties; }
  const std::vector<std::unique_ptr<MethodInfo>>& GetMethods() const { return FMethods; }
  const std::vector<FieldInfo>& GetFields() const { return FFields; }
  // By name, ASCII case ignored; nullptr when absent.
  const PropInfo* FindProperty(const AnsiString& name) const;
  const MethodInfo* FindMethod(const AnsiString& name) const;
  const FieldInfo* FindField(const AnsiString& name) const;

  // Adding a name twice replaces the earlier entry.
  PropInfo* AddProperty(std::unique_ptr<PropInfo> info);
  void AddMethod(std::unique_ptr<MethodInfo> info);
  void AddField(FieldInfo info);

 private:
  std::vector<std::unique_ptr<PropInfo>> FProperties;
  std::vector<std::unique_ptr<MethodInfo>> FMethods;
  std::vector<FieldInfo> FFields;
};

// The elements of a collection property.
class CollectionAccess {
 public:
  virtual ~CollectionAccess() = default;
  virtual Integer Count(void* list) const = 0;
  virtual Instance Item(void* list, Integer index) const = 0;
  virtual Instance Add(void* list) const = 0;
  virtual void Clear(void* list) const = 0;
  virtual void BeginUpdate(void* list) const {}
  virtual void EndUpdate(void* list) const {}
};

// The access of TCollection: items made by Add through the item class.
const CollectionAccess& CollectionItemsAccess();

// ---- The registry ------------------------------------------------------------------------------

using PublishFunction = std::function<void(PropertyList&)>;
using CastFunction = void* (*)(TObject*);
// TPersistent::DefineProperties for classes whose unit cannot define it (they lie below the
// form-description module): called before the object's own DefineProperties.
using DefinePropertiesHook = void (*)(TPersistent* instance, TFiler* filer);

void RegisterPublished(TClass c, CastFunction cast, PublishFunction publish);
void UnregisterPublished(TClass c);
void RegisterDefineProperties(TClass c, DefinePropertiesHook hook);
void UnregisterDefineProperties(TClass c);

// The properties the class publishes itself; nullptr for none. Built on first use.
const PropertyList* FindPublished(TClass c);

struct BoundProperty {
  const PropInfo* Info = nullptr;
  void* Self = nullptr;
};
// The property of that name, the most derived publisher first; false when none.
bool FindProperty(const Instance& instance, const AnsiString& name, BoundProperty& result);
// Every published property, the base classes' first, in the order they were published.
std::vector<BoundProperty> GetPublishedProperties(const Instance& instance);
// A handler or component field of the root's class chain; nullptr when none.
const MethodInfo* FindPublishedMethod(TObject* root, const AnsiString& name);
const FieldInfo* FindPublishedField(TObject* root, const AnsiString& name);
// Calls the define-properties hooks of the class chain (base first), then the object's own.
void CallDefineProperties(TPersistent* instance, TFiler* filer);

// ---- Scalar conversions ------------------------------------------------------------------------

namespace detail {

[[noreturn]] void BadValue(const FormValue& value);
Int64 ReadInteger(const FormValue& value, Int64 min, Int64 max);
UInt64 ReadUnsigned(const FormValue& value, UInt64 max);
double ReadFloat(const FormValue& value);
bool ReadBoolean(const FormValue& value);
AnsiString ReadString(const FormValue& value);
FormValue WriteEnum(const EnumInfo* info, Int64 ordinal);
Int64 ReadEnum(const EnumInfo* info, const FormValue& value, Int64 min, Int64 max);
FormValue WriteSet(const EnumInfo* info, UInt64 bits);
UInt64 ReadSet(const EnumInfo* info, const FormValue& value);
FormValue WriteVariant(const Variant& value);
Variant ReadVariant(const FormValue& value);
const IntegerKind* ResolveIntegerKind(const AnsiString& name);
[[noreturn]] void NoKind(const char* typeName);

template <class V>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<Set<E>> : std::true_type {
  using Element = E;
};
template <class V>
struct IsEvent : std::false_type {};
template <class Sig>
struct IsEvent<Event<Sig>> : std::true_type {};

// V <-> FormValue for a scalar property; `kind` is the named integer kind, if any.
template <class V>
struct Scalar {
  static const ValueKind<V>* Custom() {
    return dynamic_cast<const ValueKind<V>*>(FindValueKind(typeid(V)));
  }

  static FormValue Write(const V& v, const IntegerKind* kind) {
    if (const ValueKind<V>* custom = Custom()) return custom->Write(v);
    if constexpr (std::is_same_v<V, bool>) {
      return FormValue::Bool(v);
    } else if constexpr (std::is_enum_v<V>) {
      return WriteEnum(FindEnumInfo(typeid(V)), static_cast<Int64>(v));
    } else if constexpr (std::is_integral_v<V>) {
      if (kind) return kind->Write(static_cast<Int64>(v));
      if constexpr (std::is_unsigned_v<V> && sizeof(V) == 8)
        if (v > static_cast<UInt64>(std::numeric_limits<Int64>::max())) BadValue(FormValue::Int(-1));
      return FormValue::Int(static_cast<Int64>(v));
    } else if constexpr (std::is_floating_point_v<V>) {
      return FormValue::Float(static_cast<double>(v));
    } else if constexpr (std::is_same_v<V, AnsiString>) {
      return FormValue::Str(v);
    } else if constexpr (std::is_same_v<V, Variant>) {
      return WriteVariant(v);
    } else if constexpr (IsSet<V>::value) {
      return WriteSet(FindEnumInfo(typeid(typename IsSet<V>::Element)), v.Bits());
    } else {
      NoKind(typeid(V).name());
    }
  }

  static V Read(const FormValue& value, const IntegerKind* kind) {
    if (const ValueKind<V>* custom = Custom()) return custom->Read(value);
    if constexpr (std::is_same_v<V, bool>) {
      return ReadBoolean(value);
    } else if constexpr (std::is_enum_v<V>) {
      using U = std::underlying_type_t<V>;
      return static_cast<V>(ReadEnum(FindEnumInfo(typeid(V)), value,
                                     static_cast<Int64>(std::numeric_limits<U>::min()),
                                     static_cast<Int64>(std::numeric_limits<U>::max())));
    } else if constexpr (std::is_integral_v<V>) {
      if (kind) {
        const Int64 n = kind->Read(value);
        if constexpr (sizeof(V) < 8 || std::is_signed_v<V>)
          if (n < static_cast<Int64>(std::numeric_limits<V>::min()) ||
              n > static_cast<Int64>(std::numeric_limits<V>::max()))
            BadValue(value);
        return static_cast<V>(n);
      }
      if constexpr (std::is_unsigned_v<V> && sizeof(V) == 8)
        return static_cast<V>(ReadUnsigned(value, std::numeric_limits<V>::max()));
      else
        return static_cast<V>(ReadInteger(value, static_cast<Int64>(std::numeric_limits<V>::min()),
                                          static_cast<Int64>(std::numeric_limits<V>::max())));
    } else if constexpr (std::is_floating_point_v<V>) {
      return static_cast<V>(ReadFloat(value));
    } else if constexpr (std::is_same_v<V, AnsiString>) {
      return ReadString(value);
    } else if constexpr (std::is_same_v<V, Variant>) {
      return ReadVariant(value);
    } else if constexpr (IsSet<V>::value) {
      return V::FromBits(ReadSet(FindEnumInfo(typeid(typename IsSet<V>::Element)), value));
    } else {
      NoKind(typeid(V).name());
    }
  }

  // The default of a property declared without one.
  static bool IsImplicitDefault(const V& v) {
    if constexpr (std::is_same_v<V, AnsiString>) return v.empty();
    else if constexpr (std::is_floating_point_v<V>) return v == 0;
    else if constexpr (std::is_same_v<V, Variant>) return v.IsEmpty();
    else return false;
  }
};

template <class T>
T* SelfOf(void* self) {
  return static_cast<T*>(self);
}

template <class T, class V>
class ScalarProp : public PropInfo {
 public:
  ScalarProp(AnsiString name, std::function<V(T*)> get, std::function<void(T*, V)> set)
      : PropInfo(std::move(name), PropKind::Scalar), FGet(std::move(get)), FSet(std::move(set)) {}

  FormValue GetValue(void* self) const override {
    return Scalar<V>::Write(FGet(SelfOf<T>(self)), Kind());
  }
  void SetValue(void* self, const FormValue& value) const override {
    if (!FSet) BadValue(value);
    FSet(SelfOf<T>(self), Scalar<V>::Read(value, Kind()));
  }
  bool IsStored(void* self) const override { return !FStored || FStored(SelfOf<T>(self)); }
  bool IsDefault(void* self) const override {
    if (!FSet) return true;  // a read-only scalar is never stored
    const V v = FGet(SelfOf<T>(self));
    return FDefault ? v == *FDefault : Scalar<V>::IsImplicitDefault(v);
  }

  std::optional<V> FDefault;
  std::function<bool(T*)> FStored;
  AnsiString FKindName;

 private:
  const IntegerKind* Kind() const {
    if constexpr (std::is_integral_v<V> && !std::is_same_v<V, bool>)
      if (!FKindName.empty()) return ResolveIntegerKind(FKindName);
    return nullptr;
  }
  std::function<V(T*)> FGet;
  std::function<void(T*, V)> FSet;
};

template <class T, class U>
class ObjectProp : public PropInfo {
 public:
  ObjectProp(AnsiString name, std::function<U*(T*)> get)
      : PropInfo(std::move(name), PropKind::Object), FGet(std::move(get)) {}
  TPersistent* GetObject(void* self) const override { return FGet(SelfOf<T>(self)); }
  bool IsStored(void* self) const override { return !FStored || FStored(SelfOf<T>(self)); }
  std::function<bool(T*)> FStored;

 private:
  std::function<U*(T*)> FGet;
};

template <class T, class U>
class ComponentProp : public PropInfo {
 public:
  ComponentProp(AnsiString name, std::function<U*(T*)> get, std::function<void(T*, U*)> set)
      : PropInfo(std::move(name), PropKind::Component), FGet(std::move(get)), FSet(std::move(set)) {}
  TClass GetComponentClass() const override { return U::StaticClass(); }
  TComponent* GetComponent(void* self) const override { return FGet(SelfOf<T>(self)); }
  void SetComponent(void* self, TComponent* value) const override {
    FSet(SelfOf<T>(self), static_cast<U*>(value));
  }
  bool IsStored(void* self) const override { return !FStored || FStored(SelfOf<T>(self)); }
  std::function<bool(T*)> FStored;

 private:
  std::function<U*(T*)> FGet;
  std::function<void(T*, U*)> FSet;
};

template <class T>
class CollectionProp : public PropInfo {
 public:
  CollectionProp(AnsiString name, std::function<void*(T*)> get, const CollectionAccess* access)
      : PropInfo(std::move(name), PropKind::Collection), FGet(std::move(get)), FAccess(access) {}
  CollectionRef GetCollection(void* self) const override {
    return {FGet(SelfOf<T>(self)), FAccess};
  }
  bool IsStored(void* self) const override { return !FStored || FStored(SelfOf<T>(self)); }
  std::function<bool(T*)> FStored;

 private:
  std::function<void*(T*)> FGet;
  const CollectionAccess* FAccess;
};

template <class T, class Sig>
class EventProp : public PropInfo {
 public:
  EventProp(AnsiString name, std::function<Event<Sig>(T*)> get,
            std::function<void(T*, Event<Sig>)> set)
      : PropInfo(std::move(name), PropKind::Event), FGet(std::move(get)), FSet(std::move(set)) {}
  bool IsEventAssigned(void* self) const override { return FGet(SelfOf<T>(self)).Assigned(); }
  bool SetEvent(void* self, const MethodInfo* method, TObject* root) const override {
    if (!method) {
      FSet(SelfOf<T>(self), Event<Sig>());
      return true;
    }
    const auto* typed = dynamic_cast<const TypedMethod<Sig>*>(method);
    if (!typed) return false;
    FSet(SelfOf<T>(self), typed->Bind(root));
    return true;
  }
  bool EventIs(void* self, const MethodInfo* method, TObject* root) const override {
    const auto* typed = dynamic_cast<const TypedMethod<Sig>*>(method);
    return typed && FGet(SelfOf<T>(self)) == typed->Bind(root);
  }
  bool IsStored(void* self) const override { return !FStored || FStored(SelfOf<T>(self)); }

  std::function<bool(T*)> FStored;

 private:
  std::function<Event<Sig>(T*)> FGet;
  std::function<void(T*, Event<Sig>)> FSet;
};

template <class T, class C, class Sig>
class MemberMethod;
template <class T, class C, class R, class... A>
class MemberMethod<T, C, R(A...)> : public TypedMethod<R(A...)> {
 public:
  MemberMethod(AnsiString name, R (C::*method)(A...))
      : TypedMethod<R(A...)>(std::move(name)), FMethod(method) {}
  Event<R(A...)> Bind(TObject* root) const override {
    return Event<R(A...)>(static_cast<T*>(root), FMethod);
  }

 private:
  R (C::*FMethod)(A...);
};

// The getter's value as a pointer: U* stays, U& becomes &u.
template <class R>
auto AsPointer(R&& r) {
  if constexpr (std::is_pointer_v<std::remove_cvref_t<R>>) return r;
  else return &r;
}

template <class G, class T>
using GetterPointee = std::remove_cv_t<std::remove_pointer_t<
    std::remove_cvref_t<decltype(AsPointer(std::invoke(std::declval<G>(), std::declval<T*>())))>>>;

}  // namespace detail

// What `.Default`, `.Stored` and `.Kind` apply to.
template <class T, class P>
class PropertyOptions {
 public:
  explicit PropertyOptions(P* prop) : FProp(prop) {}
  // The value the writer leaves out (scalars only).
  template <class D>
  PropertyOptions& Default(const D& value) {
    if constexpr (requires { FProp->FDefault; }) FProp->FDefault = value;
    else static_assert(sizeof(D) == 0, "only scalar properties have defaults");
    return *this;
  }
  PropertyOptions& Stored(bool value) {
    FProp->FStored = [value](T*) { return value; };
    return *this;
  }
  template <class F>
    requires std::is_invocable_r_v<bool, F, T*>
  PropertyOptions& Stored(F rule) {
    FProp->FStored = [rule](T* self) { return std::invoke(rule, self); };
    return *this;
  }
  // Writes the integer through a named integer kind ("TColor").
  PropertyOptions& Kind(const char* name) {
    if constexpr (requires { FProp->FKindName; }) FProp->FKindName = name;
    else static_assert(sizeof(P) == 0, "only integer properties have named kinds");
    return *this;
  }

 private:
  P* FProp;
};

// The builder an ORV_PUBLISH block (or PlainProperties) fills; `p` in the block.
template <class T>
class Published {
 public:
  explicit Published(PropertyList& list) : FList(list) {}

  // A property with a getter and a setter (member functions, possibly of a base class, or
  // callables taking T*).
  template <class G, class S>
  auto Property(const char* name, G getter, S setter) {
    using R = std::invoke_result_t<G, T*>;
    using V = std::remove_cvref_t<R>;
    if constexpr (detail::IsEvent<V>::value) {
      return Add<detail::EventProp<T, typename EventSig<V>::Type>>(
          name, [getter](T* self) { return V(std::invoke(getter, self)); },
          [setter](T* self, V value) { std::invoke(setter, self, value); });
    } else if constexpr (std::is_pointer_v<V> &&
                         std::is_base_of_v<TComponent, std::remove_cv_t<std::remove_pointer_t<V>>>) {
      using U = std::remove_cv_t<std::remove_pointer_t<V>>;
      return Add<detail::ComponentProp<T, U>>(
          name, [getter](T* self) -> U* { return std::invoke(getter, self); },
          [setter](T* self, U* value) { std::invoke(setter, self, value); });
    } else if constexpr (IsObjectResult<R>()) {
      return Property(name, getter);  // nested objects are changed in place
    } else {
      return Add<detail::ScalarProp<T, V>>(
          name, [getter](T* self) -> V { return std::invoke(getter, self); },
          [setter](T* self, V value) { std::invoke(setter, self, std::move(value)); });
    }
  }

  // A property without a setter: a nested object, a subcomponent or a collection (read in
  // place), or a scalar that is never stored.
  template <class G>
  auto Property(const char* name, G getter) {
    using R = std::invoke_result_t<G, T*>;
    if constexpr (IsObjectResult<R>()) {
      using U = detail::GetterPointee<G, T>;
      if constexpr (std::is_base_of_v<TCollection, U>) {
        return Add<detail::CollectionProp<T>>(
            name,
            [getter](T* self) -> void* {
              return static_cast<TCollection*>(detail::AsPointer(std::invoke(getter, self)));
            },
            &CollectionItemsAccess());
      } else {
        return Add<detail::ObjectProp<T, U>>(name, [getter](T* self) -> U* {
          return detail::AsPointer(std::invoke(getter, self));
        });
      }
    } else {
      using V = std::remove_cvref_t<R>;
      return Add<detail::ScalarProp<T, V>>(
          name, [getter](T* self) -> V { return std::invoke(getter, self); }, nullptr);
    }
  }

  // A collection of items that are not TCollectionItems, through its own access.
  template <class G>
  auto Collection(const char* name, G getter, const CollectionAccess& access) {
    return Add<detail::CollectionProp<T>>(
        name,
        [getter](T* self) -> void* {
          return const_cast<void*>(static_cast<const void*>(detail::AsPointer(std::invoke(getter, self))));
        },
        &access);
  }

  // A handler that events of the form's components are bound to by name.
  template <class C, class R, class... A>
  void Method(const char* name, R (C::*method)(A...)) {
    static_assert(std::is_base_of_v<C, T>);
    FList.AddMethod(std::make_unique<detail::MemberMethod<T, C, R(A...)>>(name, method));
  }

  // A component field of the form, set to the component of that name when it is read.
  template <class U, class C>
  void Field(const char* name, U* C::*field) {
    static_assert(std::is_base_of_v<TComponent, U> && std::is_base_of_v<C, T>);
    FList.AddField(FieldInfo{name, U::StaticClass(), [field](TObject* root, TComponent* c) {
                               static_cast<T*>(root)->*field = static_cast<U*>(c);
                             }});
  }

 private:
  template <class V>
  struct EventSig;
  template <class Sig>
  struct EventSig<Event<Sig>> {
    using Type = Sig;
  };

  template <class R>
  static constexpr bool IsObjectResult() {
    using V = std::remove_cvref_t<R>;
    if constexpr (std::is_pointer_v<V>)
      return std::is_base_of_v<TPersistent, std::remove_cv_t<std::remove_pointer_t<V>>>;
    else
      return std::is_lvalue_reference_v<R> && std::is_base_of_v<TPersistent, V>;
  }

  template <class P, class... A>
  PropertyOptions<T, P> Add(const char* name, A&&... args) {
    auto prop = std::make_unique<P>(name, std::forward<A>(args)...);
    P* raw = prop.get();
    FList.AddProperty(std::move(prop));
    return PropertyOptions<T, P>(raw);
  }

  PropertyList& FList;
};

// Registers a class's published properties; made by ORV_PUBLISH.
template <class T>
class PublishedRegistration {
 public:
  explicit PublishedRegistration(void (*publish)(Published<T>&)) {
    RegisterPublished(
        T::StaticClass(), [](TObject* o) -> void* { return static_cast<T*>(o); },
        [publish](PropertyList& list) {
          Published<T> p(list);
          publish(p);
        });
    if constexpr (std::is_base_of_v<TComponent, T>)
      if (!T::StaticClass()->IsAbstract()) RegisterClass(T::StaticClass());
  }
  ~PublishedRegistration() {
    UnregisterPublished(T::StaticClass());
    if constexpr (std::is_base_of_v<TComponent, T>) UnRegisterClass(T::StaticClass());
  }
  PublishedRegistration(const PublishedRegistration&) = delete;
  PublishedRegistration& operator=(const PublishedRegistration&) = delete;
};

// The published properties of a type that is not a TObject (the items of a ListAccess).
template <class T>
class PlainProperties {
 public:
  explicit PlainProperties(void (*publish)(Published<T>&)) : FPublish(publish) {}
  const PropertyList& Get() const {
    std::call_once(FBuilt, [this] {
      Published<T> p(FList);
      FPublish(p);
    });
    return FList;
  }

 private:
  void (*FPublish)(Published<T>&);
  mutable PropertyList FList;
  mutable std::once_flag FBuilt;
};

// The access of a list L of plain records I (a list of field definitions, say).
template <class L, class I>
class ListAccess : public CollectionAccess {
 public:
  ListAccess(const PlainProperties<I>& items, std::function<Integer(L&)> count,
             std::function<I*(L&, Integer)> item, std::function<I*(L&)> add,
             std::function<void(L&)> clear)
      : FItems(items), FCount(std::move(count)), FItem(std::move(item)), FAdd(std::move(add)),
        FClear(std::move(clear)) {}
  Integer Count(void* list) const override { return FCount(*static_cast<L*>(list)); }
  Instance Item(void* list, Integer index) const override {
    return Wrap(FItem(*static_cast<L*>(list), index));
  }
  Instance Add(void* list) const override { return Wrap(FAdd(*static_cast<L*>(list))); }
  void Clear(void* list) const override { FClear(*static_cast<L*>(list)); }

 private:
  Instance Wrap(I* item) const { return {nullptr, item, &FItems.Get()}; }
  const PlainProperties<I>& FItems;
  std::function<Integer(L&)> FCount;
  std::function<I*(L&, Integer)> FItem;
  std::function<I*(L&)> FAdd;
  std::function<void(L&)> FClear;
};

}  // namespace orv

// Declares the published properties of `Class` in its .cpp; the block receives `p`, an
// orv::Published<Class>.
#define ORV_PUBLISH(Class)                                                                     \
  static void OrvPublish_##Class(orv::Published<Class>& p);                                    \
  static const orv::PublishedRegistration<Class> kOrvPublished_##Class(&OrvPublish_##Class);   \
  static void OrvPublish_##Class(orv::Published<Class>& p)
