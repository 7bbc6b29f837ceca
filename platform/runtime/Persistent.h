// TPersistent: an object that can copy itself from another (Assign) and takes part in form
// streaming through DefineProperties; TInterfacedPersistent adds interface support without
// reference counting.
#pragma once

#include "platform/runtime/Object.h"

// Form streaming (reader, writer and their common base) lives with the form-description module;
// here it is only named, for the DefineProperties hook.
class TFiler;

class TPersistent : public TObject {
  ORV_CLASS(TPersistent, TObject)
 public:
  TPersistent() = default;

  // Copies `source` into this object. The base asks the source to assign itself to this object
  // (AssignTo); when neither side knows the other, raises EConvertError
  // "Cannot assign a <source class> to a <this class>" ("nil" for a missing source).
  virtual void Assign(TPersistent* source);
  // The object that owns this one for naming and streaming; nullptr here.
  virtual TPersistent* GetOwner() { return nullptr; }
  // The name under which the object is known (for messages and designers); the class name here.
  virtual AnsiString GetNamePath();

  // Form streaming asks each object for the values it stores itself besides its published
  // properties; overrides call inherited, then `filer->DefineProperty(...)`.
  virtual void DefineProperties(TFiler* filer) {}

 protected:
  // Copies this object into `dest`; the base raises the "cannot assign" error.
  virtual void AssignTo(TPersistent* dest);
  // Raises EConvertError naming `source` (or "nil") and this class.
  [[noreturn]] void AssignError(TPersistent* source);
};

using TPersistentClass = orv::ClassOf<TPersistent>;

// A persistent object with interfaces. Interfaces carry no reference count; its owner frees it.
class TInterfacedPersistent : public TPersistent, public virtual IInterface {
  ORV_CLASS(TInterfacedPersistent, TPersistent)
 public:
  TInterfacedPersistent() = default;
};
