// The root of the object model: TObject, class metadata and class references, the one Free path,
// comparable method pointers for events, and interfaces. docs/object-model.md shows how to
// declare a class.
//
// Class metadata. Every class names itself and its parent with one macro at the top of its body:
//
//   class TMyComponent : public TComponent {
//     ORV_CLASS(TMyComponent, TComponent)
//    public:
//     explicit TMyComponent(TComponent* owner);
//   };
//
// The macro gives `StaticClass()` (the class's TMetaClass), overrides `ClassType()`, and defines
// `inherited` (the parent) for calls such as `inherited::Loaded()`. The metaclass holds the name,
// the parent and, for a class that is not abstract and has a public constructor with the
// signature its family declares (`TCreateSignature`: `void()` for TObject, `void(TComponent*)`
// for TComponent ...), a factory: a class reference (`orv::ClassOf<T>`) creates an instance of
// the most derived class it holds (a virtual constructor).
//
// Destruction has two steps. `Free()` first calls the virtual `BeforeDestruction()` while the
// object is whole (virtual calls reach the most derived class), then the C++ destructors run.
// Teardown that calls virtual functions, or that other objects observe (notifications), belongs
// in `BeforeDestruction()`; destructors only release what the object holds. Objects are freed
// through `Free()`, `FreeAndNil()` or `orv::Free()`; `delete` on a TObject* does not compile.
#pragma once

#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/runtime/Types.h"

class TObject;
class TMetaClass;

// A class reference of any class ("class of TObject").
using TClass = const TMetaClass*;

namespace orv::detail {

// One distinct address per constructor signature, to check a factory before calling it.
template <class Sig>
inline constexpr char kSignatureTag = 0;

template <class T, class Sig>
struct Factory;

template <class T, class... A>
struct Factory<T, void(A...)> {
  static TObject* Create(A... args) { return new T(std::forward<A>(args)...); }
  static constexpr bool kAvailable = !std::is_abstract_v<T> && std::is_constructible_v<T, A...>;
};

using ErasedFactory = void (*)();

}  // namespace orv::detail

// Metadata of one class: its name, its parent and the factory of its virtual constructor.
class TMetaClass {
 public:
  constexpr TMetaClass(const char* name, TClass parent, orv::detail::ErasedFactory factory,
                       const void* signature)
      : FName(name), FParent(parent), FFactory(factory), FSignature(signature) {}
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;

  AnsiString ClassName() const { return FName; }
  const char* ClassNameData() const { return FName; }
  // Compares with the class name ignoring the case of ASCII letters.
  bool ClassNameIs(const AnsiString& name) const;
  TClass ClassParent() const { return FParent; }
  // True when this class is `other` or descends from it.
  bool InheritsFrom(TClass other) const;
  // No factory: the class is abstract or has no public constructor of its family's signature.
  bool IsAbstract() const { return FFactory == nullptr; }

  // Creates an instance through the factory; `Sig` must be the signature the class's family
  // declares. Raises EInvalidOperation for an abstract class or a different signature.
  template <class Sig, class... A>
  TObject* CreateInstance(A&&... args) const;

 private:
  [[noreturn]] void CannotCreate() const;

  const char* FName;
  TClass FParent;
  orv::detail::ErasedFactory FFactory;
  const void* FSignature;
};

namespace orv::detail {

template <class T>
constexpr ErasedFactory FactoryFor() {
  using F = Factory<T, typename T::TCreateSignature>;
  if constexpr (F::kAvailable)
    return reinterpret_cast<ErasedFactory>(&F::Create);
  else
    return nullptr;
}

template <class Sig>
struct Caller;

template <class... P>
struct Caller<void(P...)> {
  template <class... A>
  static TObject* Call(ErasedFactory f, A&&... args) {
    return reinterpret_cast<TObject* (*)(P...)>(f)(std::forward<A>(args)...);
  }
};

}  // namespace orv::detail

// Declares the class metadata of `Name`, whose parent is `Parent`; write it first in the body.
#define ORV_CLASS(Name, Parent)                                                                \
 public:                                                                                       \
  using inherited = Parent;                                                                    \
  static TClass StaticClass() {                                                                \
    static const TMetaClass meta(#Name, Parent::StaticClass(), orv::detail::FactoryFor<Name>(), \
                                 &orv::detail::kSignatureTag<typename Name::TCreateSignature>); \
    return &meta;                                                                              \
  }                                                                                            \
  TClass ClassType() const override { return StaticClass(); }                                  \
                                                                                               \
 private:

class TObject {
 public:
  // The signature of the virtual constructor of this family (see TMetaClass).
  using TCreateSignature = void();

  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  AnsiString ClassName() const { return ClassType()->ClassName(); }
  bool ClassNameIs(const AnsiString& name) const { return ClassType()->ClassNameIs(name); }
  TClass ClassParent() const { return ClassType()->ClassParent(); }
  bool InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }

  // The one way to destroy an object: BeforeDestruction while whole, then the destructors,
  // unless the object asks to go later (DeferFree).
  void Free();

  // Runs first in Free(), while the object is whole. Overrides call inherited.
  virtual void BeforeDestruction() {}

 protected:
  virtual ~TObject() = default;
  // Asked first by Free(): true when the object cannot go now (a control handling one of its own
  // messages) and has taken over calling Free() again once it can; false frees it at once.
  virtual bool DeferFree() { return false; }
};

// Destroys `obj` through its Free path; nothing for nullptr.
template <class T>
void FreeAndNil(T*& obj) {
  static_assert(std::is_base_of_v<TObject, T>);
  TObject* o = obj;
  obj = nullptr;
  if (o) o->Free();
}

namespace orv {

// Free for a pointer that may be nullptr.
inline void Free(TObject* obj) {
  if (obj) obj->Free();
}

// Lets std::unique_ptr own a TObject: std::unique_ptr<TStringList, orv::FreeDeleter>.
struct FreeDeleter {
  void operator()(TObject* obj) const { Free(obj); }
};

// A class reference restricted to T and its descendants ("class of T"); creates instances of the
// most derived class it holds.
template <class T>
class ClassOf {
 public:
  ClassOf() = default;
  ClassOf(std::nullptr_t) {}
  // Checks that `c` is T or descends from it (a programming error otherwise).
  ClassOf(TClass c);
  template <class U>
    requires std::is_base_of_v<T, U>
  ClassOf(ClassOf<U> other) : FClass(other.Get()) {}

  TClass Get() const { return FClass; }
  operator TClass() const { return FClass; }
  const TMetaClass* operator->() const { return FClass; }
  explicit operator bool() const { return FClass != nullptr; }

  // The virtual constructor: an instance of the held class, built with T's family signature.
  template <class... A>
  T* Create(A&&... args) const {
    return static_cast<T*>(FClass->CreateInstance<typename T::TCreateSignature>(std::forward<A>(args)...));
  }

 private:
  TClass FClass = nullptr;
};

void CheckClassReference(TClass c, TClass base);

template <class T>
ClassOf<T>::ClassOf(TClass c) : FClass(c) {
  CheckClassReference(c, T::StaticClass());
}

}  // namespace orv

template <class Sig, class... A>
TObject* TMetaClass::CreateInstance(A&&... args) const {
  if (!FFactory || FSignature != &orv::detail::kSignatureTag<Sig>) CannotCreate();
  return orv::detail::Caller<Sig>::Call(FFactory, std::forward<A>(args)...);
}

// ---- Class registry: classes found by name (form streaming creates components this way). ----

// Registers `c` under its class name; registering it again does nothing. Another class of the
// same name raises EFilerError.
void RegisterClass(TClass c);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass c);
// The registered class of that name (case-insensitive), or nullptr.
TClass GetClass(const AnsiString& name);
// As GetClass, but raises EClassNotFound when none is registered.
TClass FindClass(const AnsiString& name);

// ---- Events: comparable method pointers. ----

namespace orv {

// An event: an object and one of its member functions. Two events are equal when they hold the
// same object and the same member function, so a setter can skip an unchanged handler and a
// listener list can remove a handler by object and method. Unlike std::function it is
// comparable and never allocates.
//
//   using TNotifyEvent = orv::Event<void(TObject* sender)>;
//   TNotifyEvent e(this, &TFMain::Button1Click);
//   if (e) e(sender);
template <class Sig>
class Event;

template <class R, class... A>
class Event<R(A...)> {
 public:
  Event() = default;
  Event(std::nullptr_t) {}

  template <class C, class M>
    requires std::is_base_of_v<M, C>
  Event(C* object, R (M::*method)(A...)) {
    Bind(static_cast<M*>(object), method);
  }
  template <class C, class M>
    requires std::is_base_of_v<M, C>
  Event(C* object, R (M::*method)(A...) const) {
    Bind(static_cast<const M*>(object), method);
  }

  // An event that calls `callable` (held by reference: it must outlive the event). Meant for
  // callbacks made during one call, such as the child enumeration of form streaming.
  template <class F>
  static Event Callable(F& callable) {
    Event e;
    e.FData = const_cast<void*>(static_cast<const void*>(&callable));
    e.FInvoke = &CallCallable<F>;
    return e;
  }

  bool Assigned() const { return FInvoke != nullptr; }
  explicit operator bool() const { return FInvoke != nullptr; }
  // The object the event calls (the "data" half of the method pointer).
  const void* GetData() const { return FData; }

  // Calls the handler; the event must be assigned.
  R operator()(A... args) const { return FInvoke(*this, std::forward<A>(args)...); }

  friend bool operator==(const Event& a, const Event& b) {
    return a.FData == b.FData && a.FInvoke == b.FInvoke &&
           std::memcmp(a.FCode, b.FCode, sizeof a.FCode) == 0;
  }

 private:
  using Invoker = R (*)(const Event&, A...);

  template <class P, class Method>
  void Bind(P* object, Method method) {
    static_assert(sizeof(Method) <= sizeof(FCode), "member function pointer too large");
    FData = const_cast<void*>(static_cast<const void*>(object));
    std::memcpy(FCode, &method, sizeof method);
    FInvoke = &CallMethod<P, Method>;
  }
  template <class P, class Method>
  static R CallMethod(const Event& e, A... args) {
    Method method;
    std::memcpy(&method, e.FCode, sizeof method);
    return (static_cast<P*>(e.FData)->*method)(std::forward<A>(args)...);
  }
  template <class F>
  static R CallCallable(const Event& e, A... args) {
    return (*static_cast<F*>(e.FData))(std::forward<A>(args)...);
  }

  void* FData = nullptr;
  Invoker FInvoke = nullptr;
  alignas(void*) unsigned char FCode[2 * sizeof(void*)] = {};
};

// A listener list of events: each handler once, removed by its object and method, called in
// the order added. Handlers may add or remove listeners while the list is being called: a
// removed one is not called any more, an added one only from the next call.
template <class Sig>
class EventList;

template <class... A>
class EventList<void(A...)> {
 public:
  using TEvent = Event<void(A...)>;

  void Add(const TEvent& e) {
    if (e && IndexOf(e) < 0) FItems.push_back(e);
  }
  void Remove(const TEvent& e) {
    const int i = IndexOf(e);
    if (i < 0) return;
    FItems.erase(FItems.begin() + i);
    // Keep every call in progress on the handler after the removed one.
    for (Call* c = FCalls; c; c = c->Outer) {
      if (i < c->End) --c->End;
      if (i <= c->Index) --c->Index;
    }
  }
  int IndexOf(const TEvent& e) const {
    for (std::size_t i = 0; i < FItems.size(); ++i)
      if (FItems[i] == e) return static_cast<int>(i);
    return -1;
  }
  int Count() const { return static_cast<int>(FItems.size()); }
  void Clear() { FItems.clear(); }

  // Calls every handler; a handler may call the list again.
  void operator()(A... args) {
    Call call{0, Count(), FCalls};
    FCalls = &call;
    struct Restore {
      EventList* List;
      ~Restore() { List->FCalls = List->FCalls->Outer; }
    } restore{this};
    for (; call.Index < call.End; ++call.Index) FItems[call.Index](args...);
  }

 private:
  struct Call {
    int Index;   // the handler being called
    int End;     // the handlers present when the call began end here
    Call* Outer;
  };
  std::vector<TEvent> FItems;
  Call* FCalls = nullptr;  // calls in progress, innermost first
};

}  // namespace orv

// The platform's plain notification: the sender only.
using TNotifyEvent = orv::Event<void(TObject* sender)>;

// ---- Interfaces ----

// The root of the interfaces: an abstract class that an object implements by deriving from it.
// Interfaces derive from it virtually (`class IFoo : public virtual IInterface`), so one object
// has one IInterface whichever interface it is reached through. Interfaces carry no reference
// count: whoever owns the object frees it.
class IInterface {
 public:
  virtual ~IInterface() = default;
};

// Asks an object (or another interface of it) for an interface; nullptr when it has none.
template <class I, class From>
I* Supports(From* obj) {
  return obj ? dynamic_cast<I*>(obj) : nullptr;
}
template <class I, class From>
bool Supports(From* obj, I*& intf) {
  intf = Supports<I>(obj);
  return intf != nullptr;
}
