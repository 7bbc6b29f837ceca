#include "platform/forms/Filer.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "platform/runtime/Strings.h"
#include "platform/runtime/SysUtils.h"

using orv::BoundProperty;
using orv::CollectionRef;
using orv::FormItem;
using orv::FormObject;
using orv::FormProperty;
using orv::FormValue;
using orv::FormValueKind;
using orv::Instance;
using orv::PropKind;

namespace {

// ---- Values that runtime classes store themselves ----

// A component that is not a control keeps its position on the designer's surface in
// DesignInfo (Left in the low word, Top in the high word), stored as "Left" and "Top".
struct DesignInfoFiler {
  TComponent* Component;

  SmallInt Left() const { return static_cast<SmallInt>(Component->GetDesignInfo() & 0xFFFF); }
  SmallInt Top() const { return static_cast<SmallInt>((Component->GetDesignInfo() >> 16) & 0xFFFF); }
  void Set(SmallInt left, SmallInt top) {
    Component->SetDesignInfo(static_cast<LongInt>((static_cast<LongWord>(static_cast<Word>(top)) << 16) |
                                                  static_cast<Word>(left)));
  }
  void ReadLeft(TReader* reader) { Set(ToSmall(reader->ReadInteger()), Top()); }
  void ReadTop(TReader* reader) { Set(Left(), ToSmall(reader->ReadInteger())); }
  void WriteLeft(TWriter* writer) { writer->WriteInteger(Left()); }
  void WriteTop(TWriter* writer) { writer->WriteInteger(Top()); }
  static SmallInt ToSmall(Integer v) {
    if (v < -32768 || v > 32767) throw EConvertError("Invalid property value " + std::to_string(v));
    return static_cast<SmallInt>(v);
  }
};

void DefineDesignInfo(TPersistent* instance, TFiler* filer) {
  DesignInfoFiler f{static_cast<TComponent*>(instance)};
  filer->DefineProperty("Left", TReaderProc(&f, &DesignInfoFiler::ReadLeft),
                        TWriterProc(&f, &DesignInfoFiler::WriteLeft), f.Left() != 0);
  filer->DefineProperty("Top", TReaderProc(&f, &DesignInfoFiler::ReadTop),
                        TWriterProc(&f, &DesignInfoFiler::WriteTop), f.Top() != 0);
}

// A string list stores its lines as "Strings", a list of strings.
struct StringsFiler {
  TStrings* Strings;

  void Read(TReader* reader) {
    Strings->BeginUpdate();
    try {
      Strings->Clear();
      reader->ReadListBegin();
      while (!reader->EndOfList()) Strings->Add(reader->ReadString());
      reader->ReadListEnd();
    } catch (...) {
      Strings->EndUpdate();
      throw;
    }
    Strings->EndUpdate();
  }
  void Write(TWriter* writer) {
    writer->WriteListBegin();
    for (Integer i = 0; i < Strings->GetCount(); ++i) writer->WriteString(Strings->Get(i));
    writer->WriteListEnd();
  }
};

void DefineStrings(TPersistent* instance, TFiler* filer) {
  StringsFiler f{static_cast<TStrings*>(instance)};
  filer->DefineProperty("Strings", TReaderProc(&f, &StringsFiler::Read),
                        TWriterProc(&f, &StringsFiler::Write), f.Strings->GetCount() > 0);
}

void ReadComponentState(TReader* reader, TComponent* component) { reader->ReadData(component); }
void WriteComponentState(TWriter* writer, TComponent* component) { writer->WriteData(component); }

// Installs the streaming routines and the runtime classes' own values, once.
void EnsureStreaming() {
  static const bool installed = [] {
    orv::SetComponentStreaming(&ReadComponentState, &WriteComponentState);
    orv::RegisterDefineProperties(TComponent::StaticClass(), &DefineDesignInfo);
    orv::RegisterDefineProperties(TStrings::StaticClass(), &DefineStrings);
    return true;
  }();
  (void)installed;
}

// ---- Loaded roots by name ----

// Hears when a known root is freed, and forgets it.
class TGlobalRoots : public TComponent {
  ORV_CLASS(TGlobalRoots, TComponent)
 public:
  TGlobalRoots() : TComponent(nullptr) {}
  std::vector<TComponent*> Roots;

  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove) std::erase(Roots, component);
    inherited::Notification(component, operation);
  }
};

TGlobalRoots& GlobalRoots() {
  // Never freed: roots may outlive static destruction order.
  static TGlobalRoots* roots = new TGlobalRoots;
  return *roots;
}

std::map<AnsiString, std::string>& Descriptions() {
  static std::map<AnsiString, std::string> descriptions;
  return descriptions;
}


}  // namespace

// The platform's component publishes its Tag; its Name is the description's object name.
ORV_PUBLISH(TComponent) { p.Property("Tag", &TComponent::GetTag, &TComponent::SetTag).Default(0); }

// ==== TReader ===================================================================================

struct TReader::Fixup {
  TComponent* Holder;
  std::vector<void*> Lists;  // the collections whose items hold the property, outermost first
  BoundProperty Property;
  AnsiString Name;
  AnsiString ComponentName;
  AnsiString PropertyPath;
  Integer Line;
};

TReader::TReader(const FormObject& description, AnsiString formName)
    : FDescription(description), FFormName(std::move(formName)) {
  EnsureStreaming();
  if (FFormName.empty()) FFormName = description.ClassName;
}

TReader::~TReader() = default;

void TReader::Annotate(Exception& e) {
  if (FAnnotated) return;
  FAnnotated = true;
  AnsiString where = "Error reading form " + FFormName;
  if (!FComponentName.empty()) where += ", component " + FComponentName;
  if (!FPropertyPath.empty()) where += ", property " + FPropertyPath;
  if (FLine > 0) where += " (line " + std::to_string(FLine) + ")";
  e.SetMessage(where + ": " + e.GetMessage());
}

void TReader::Fail(bool classError, const AnsiString& message) {
  if (classError) {
    EClassNotFound e(message);
    Annotate(e);
    throw e;
  }
  EReadError e(message);
  Annotate(e);
  throw e;
}

TComponent* TReader::ReadRootComponent(TComponent* root, TComponent* owner) {
  FAnnotated = false;
  FComponentName = FDescription.Name;
  FLine = FDescription.Line;
  bool created = false;
  if (!root) {
    TClass cls = GetClass(FDescription.ClassName);
    if (!cls) Fail(true, "Class " + FDescription.ClassName + " not found");
    if (!cls->InheritsFrom(TComponent::StaticClass()) || cls->IsAbstract())
      Fail(true, "Cannot create a component of class " + FDescription.ClassName);
    root = TComponentClass(cls).Create(owner);
    created = true;
  }
  FRoot = root;
  try {
    IncludeComponentState(root, TComponentState{csLoading, csReading});
    FLoaded.push_back(root);
    if (!FDescription.Name.empty() && root->GetName().empty()) {
      // A second instance of a form gets a name of its own: Name_1, Name_2 ...
      AnsiString name = FDescription.Name;
      for (int i = 1; orv::FindGlobalComponent(name); ++i) name = FDescription.Name + "_" + std::to_string(i);
      root->SetName(name);
    }
    FOwner = root;
    FParent = root;
    FNode = &FDescription;
    root->ReadState(this);
    ExcludeComponentState(root, TComponentState{csReading});
    ResolveFixups();
    for (std::size_t i = 0; i < FLoaded.size(); ++i) {
      TComponent* c = FLoaded[i];
      FComponentName = c->GetName();
      FPropertyPath.clear();
      FLine = 0;
      c->Loaded();
      ExcludeComponentState(c, TComponentState{csLoading});
    }
  } catch (Exception& e) {
    for (TComponent* c : FLoaded) ExcludeComponentState(c, TComponentState{csLoading, csReading, csFixups});
    Annotate(e);
    FLoaded.clear();
    if (created) root->Free();
    throw;
  } catch (...) {
    for (TComponent* c : FLoaded) ExcludeComponentState(c, TComponentState{csLoading, csReading, csFixups});
    FLoaded.clear();
    if (created) root->Free();
    throw;
  }
  FLoaded.clear();
  if (!root->GetName().empty()) orv::AddGlobalRoot(root);
  return root;
}

void TReader::ReadData(TComponent* instance) {
  const FormObject* node = FNode;
  if (!node) throw EReadError("No form description is being read");
  TComponent* oldCurrent = FCurrent;
  FCurrent = instance;
  for (const FormProperty& p : node->Properties)
    ReadProperty(Instance::Of(instance), p, p.Name);
  FCurrent = oldCurrent;
  TComponent* oldOwner = FOwner;
  TComponent* oldParent = FParent;
  FOwner = instance->GetChildOwner();
  if (!FOwner) FOwner = FRoot;
  FParent = instance->GetChildParent();
  for (const FormObject& child : node->Children) ReadComponent(child);
  FOwner = oldOwner;
  FParent = oldParent;
  FNode = node;
}

TClass TReader::FindComponentClass(const AnsiString& className) const {
  if (TClass c = GetClass(className)) return c;
  // The classes of the root's component fields need no registration.
  for (TClass c = FRoot->ClassType(); c; c = c->ClassParent())
    if (const orv::PropertyList* list = orv::FindPublished(c))
      for (const orv::FieldInfo& f : list->GetFields())
        if (f.FieldClass->ClassNameIs(className)) return f.FieldClass;
  return nullptr;
}

void TReader::ReadComponent(const FormObject& node) {
  const AnsiString oldName = FComponentName;
  const FormObject* oldNode = FNode;
  FComponentName = node.Name;
  FPropertyPath.clear();
  FLine = node.Line;
  try {
    TComponent* component = nullptr;
    if (node.Kind == orv::FormObjectKind::Inherited) {
      component = FOwner->FindComponent(node.Name);
      if (!component) Fail(false, "Component " + node.Name + " not found");
    } else {
      TClass cls = FindComponentClass(node.ClassName);
      if (!cls) Fail(true, "Class " + node.ClassName + " not found");
      if (!cls->InheritsFrom(TComponent::StaticClass()) || cls->IsAbstract())
        Fail(true, "Cannot create a component of class " + node.ClassName);
      component = TComponentClass(cls).Create(FOwner);
    }
    IncludeComponentState(component, TComponentState{csLoading, csReading});
    FLoaded.push_back(component);
    if (node.Kind != orv::FormObjectKind::Inherited) component->SetName(node.Name);
    if (!node.Name.empty() && component->GetOwner() == FRoot) {
      if (const orv::FieldInfo* field = orv::FindPublishedField(FRoot, node.Name)) {
        if (!component->InheritsFrom(field->FieldClass))
          Fail(false, "Component " + node.Name + " of class " + component->ClassName() +
                          " does not fit the field of class " + field->FieldClass->ClassName());
        field->Assign(FRoot, component);
      }
    }
    if (component->HasParent()) component->SetParentComponent(FParent);
    if (node.ChildPos >= 0 && FParent) FParent->SetChildOrder(component, node.ChildPos);
    FNode = &node;
    component->ReadState(this);
    ExcludeComponentState(component, TComponentState{csReading});
  } catch (Exception& e) {
    Annotate(e);
    throw;
  }
  FNode = oldNode;
  FComponentName = oldName;
  FPropertyPath.clear();
}

void TReader::ReadProperty(const Instance& instance, const FormProperty& property,
                           const AnsiString& path) {
  const AnsiString oldPath = FPropertyPath;
  const Integer oldLine = FLine;
  FPropertyPath = path;
  FLine = property.Line;
  try {
    ReadValue(instance, property.Name, property.Value, path);
  } catch (Exception& e) {
    Annotate(e);
    throw;
  }
  FPropertyPath = oldPath;
  FLine = oldLine;
}

void TReader::ReadValue(const Instance& instance, const AnsiString& name, const FormValue& value,
                        const AnsiString& path) {
  const std::size_t dot = name.find('.');
  if (dot != AnsiString::npos) {
    const AnsiString head = name.substr(0, dot);
    BoundProperty bp;
    if (!orv::FindProperty(instance, head, bp)) Fail(false, "Property " + head + " does not exist");
    TPersistent* object = nullptr;
    if (bp.Info->GetKind() == PropKind::Object) {
      object = bp.Info->GetObject(bp.Self);
    } else if (bp.Info->GetKind() == PropKind::Component) {
      TComponent* c = bp.Info->GetComponent(bp.Self);
      if (c && c->GetComponentStyle().Contains(csSubComponent)) object = c;
    }
    if (!object) Fail(false, "Property " + head + " holds no object");
    ReadValue(Instance::Of(object), name.substr(dot + 1), value, path);
    return;
  }
  BoundProperty bp;
  if (orv::FindProperty(instance, name, bp)) {
    const orv::PropInfo& info = *bp.Info;
    switch (info.GetKind()) {
      case PropKind::Scalar:
        try {
          info.SetValue(bp.Self, value);
        } catch (EConvertError& e) {
          Fail(false, e.GetMessage());
        }
        return;
      case PropKind::Component:
        if (value.IsIdent("nil")) {
          info.SetComponent(bp.Self, nullptr);
        } else if (value.Kind == FormValueKind::Ident) {
          TComponent* holder = FCurrent ? FCurrent : FRoot;
          IncludeComponentState(holder, TComponentState{csFixups});
          FFixups.push_back(Fixup{holder, FLists, bp, value.Text, FComponentName, FPropertyPath, FLine});
        } else {
          Fail(false, "Invalid property value " + value.Describe());
        }
        return;
      case PropKind::Event: {
        if (value.IsIdent("nil")) {
          info.SetEvent(bp.Self, nullptr, FRoot);
          return;
        }
        if (value.Kind != FormValueKind::Ident) Fail(false, "Invalid property value " + value.Describe());
        const orv::MethodInfo* method = orv::FindPublishedMethod(FRoot, value.Text);
        if (!method) Fail(false, "Method " + value.Text + " not found in " + FRoot->ClassName());
        if (!info.SetEvent(bp.Self, method, FRoot))
          Fail(false, "Method " + value.Text + " does not fit the event " + info.GetName());
        return;
      }
      case PropKind::Collection:
        if (value.Kind != FormValueKind::Collection) Fail(false, "Invalid property value " + value.Describe());
        ReadItems(info.GetCollection(bp.Self), value, path);
        return;
      case PropKind::Object:
        Fail(false, "Invalid property value " + value.Describe());
    }
  }
  if (auto* persistent = dynamic_cast<TPersistent*>(instance.Object))
    if (ReadDefined(persistent, name, value)) return;
  Fail(false, "Property " + name + " does not exist");
}

void TReader::ReadItems(const CollectionRef& collection, const FormValue& value,
                        const AnsiString& path) {
  if (!collection.List || !collection.Access) Fail(false, "Property holds no collection");
  const orv::CollectionAccess& access = *collection.Access;
  // References read into the items about to be freed (the collection given twice) go with them.
  std::erase_if(FFixups, [&](const Fixup& f) {
    return std::find(f.Lists.begin(), f.Lists.end(), collection.List) != f.Lists.end();
  });
  FLists.push_back(collection.List);
  access.BeginUpdate(collection.List);
  try {
    access.Clear(collection.List);
    for (std::size_t i = 0; i < value.Items.size(); ++i) {
      const FormItem& item = value.Items[i];
      const Instance target = access.Add(collection.List);
      const AnsiString itemPath = path + "[" + std::to_string(i) + "]";
      for (const FormProperty& p : item.Properties) ReadProperty(target, p, itemPath + "." + p.Name);
    }
  } catch (...) {
    FLists.pop_back();
    access.EndUpdate(collection.List);
    throw;
  }
  FLists.pop_back();
  access.EndUpdate(collection.List);
}

bool TReader::ReadDefined(TPersistent* instance, const AnsiString& name, const FormValue& value) {
  const AnsiString* oldName = FDefinedName;
  const FormValue* oldValue = FDefinedValue;
  const bool oldFound = FDefinedFound;
  FDefinedName = &name;
  FDefinedValue = &value;
  FDefinedFound = false;
  try {
    orv::CallDefineProperties(instance, this);
  } catch (...) {
    FDefinedName = oldName;
    FDefinedValue = oldValue;
    FDefinedFound = oldFound;
    throw;
  }
  const bool found = FDefinedFound;
  FDefinedName = oldName;
  FDefinedValue = oldValue;
  FDefinedFound = oldFound;
  return found;
}

void TReader::DefineProperty(const AnsiString& name, TReaderProc readData, TWriterProc writeData,
                             bool hasData) {
  if (!FDefinedName || FDefinedFound || !SameText(name, *FDefinedName)) return;
  FDefinedFound = true;
  if (!readData) return;
  std::vector<Cursor> saved;
  saved.swap(FCursors);
  FTopValue.assign(1, *FDefinedValue);
  FCursors.push_back(Cursor{&FTopValue, 0});
  try {
    readData(this);
    if (FCursors.size() != 1 || FCursors[0].Index != 1)
      Fail(false, "The value of " + name + " was not read completely");
  } catch (EConvertError& e) {
    FCursors.swap(saved);
    Fail(false, e.GetMessage());
  } catch (...) {
    FCursors.swap(saved);
    throw;
  }
  FCursors.swap(saved);
}

void TReader::DefineBinaryProperty(const AnsiString& name, TStreamProc readData,
                                   TStreamProc writeData, bool hasData) {
  if (!FDefinedName || FDefinedFound || !SameText(name, *FDefinedName)) return;
  FDefinedFound = true;
  if (!readData) return;
  if (FDefinedValue->Kind != FormValueKind::Binary) Fail(false, "Binary data expected");
  TMemoryStream stream;
  const AnsiString& bytes = FDefinedValue->Text;
  if (bytes.size() > 0x7FFFFFFF) Fail(false, "Binary data too large");
  stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  stream.SetPosition(0);
  readData(&stream);
}

const FormValue& TReader::Peek() const {
  if (FCursors.empty()) throw EReadError("No property value is being read");
  const Cursor& c = FCursors.back();
  if (c.Index >= c.Values->size()) throw EReadError("Read past the end of a list");
  return (*c.Values)[c.Index];
}

const FormValue& TReader::Take() {
  const FormValue& v = Peek();
  ++FCursors.back().Index;
  return v;
}

TValueType TReader::NextValue() const {
  if (FCursors.empty() || EndOfList()) return vaNull;
  const FormValue& v = Peek();
  switch (v.Kind) {
    case FormValueKind::Integer:
      if (v.IntValue >= -128 && v.IntValue <= 127) return vaInt8;
      if (v.IntValue >= -32768 && v.IntValue <= 32767) return vaInt16;
      if (v.IntValue >= -2147483647 - 1 && v.IntValue <= 2147483647) return vaInt32;
      return vaInt64;
    case FormValueKind::Float: return vaExtended;
    case FormValueKind::String: return vaString;
    case FormValueKind::Ident:
      if (v.IsIdent("True")) return vaTrue;
      if (v.IsIdent("False")) return vaFalse;
      if (v.IsIdent("nil")) return vaNil;
      return vaIdent;
    case FormValueKind::Set: return vaSet;
    case FormValueKind::List: return vaList;
    case FormValueKind::Binary: return vaBinary;
    case FormValueKind::Collection: return vaCollection;
  }
  return vaNull;
}

bool TReader::EndOfList() const {
  if (FCursors.empty()) return true;
  const Cursor& c = FCursors.back();
  return c.Index >= c.Values->size();
}

void TReader::ReadListBegin() {
  const FormValue& v = Take();
  if (v.Kind != FormValueKind::List) orv::detail::BadValue(v);
  FCursors.push_back(Cursor{&v.Values, 0});
}

void TReader::ReadListEnd() {
  if (FCursors.size() < 2) throw EReadError("No list is being read");
  if (!EndOfList()) throw EReadError("The list holds more values");
  FCursors.pop_back();
}

Integer TReader::ReadInteger() {
  return static_cast<Integer>(orv::detail::ReadInteger(Take(), -2147483647 - 1, 2147483647));
}

Int64 TReader::ReadInt64() {
  return orv::detail::ReadInteger(Take(), INT64_MIN, INT64_MAX);
}

bool TReader::ReadBoolean() { return orv::detail::ReadBoolean(Take()); }
double TReader::ReadFloat() { return orv::detail::ReadFloat(Take()); }
AnsiString TReader::ReadString() { return orv::detail::ReadString(Take()); }

AnsiString TReader::ReadIdent() {
  const FormValue& v = Take();
  if (v.Kind != FormValueKind::Ident) orv::detail::BadValue(v);
  return v.Text;
}

Variant TReader::ReadVariant() { return orv::detail::ReadVariant(Take()); }

void TReader::ReadCollection(TCollection* collection) {
  const FormValue& v = Take();
  if (v.Kind != FormValueKind::Collection) orv::detail::BadValue(v);
  ReadItems(CollectionRef{collection, &orv::CollectionItemsAccess()}, v, FPropertyPath);
}

void TReader::ReadCollectionInto(const std::function<TPersistent*(Integer index)>& target) {
  const FormValue& v = Take();
  if (v.Kind != FormValueKind::Collection) orv::detail::BadValue(v);
  const AnsiString path = FPropertyPath;
  for (std::size_t i = 0; i < v.Items.size(); ++i) {
    TPersistent* object = target(Integer(i));
    if (!object) continue;
    const AnsiString itemPath = path + "[" + std::to_string(i) + "]";
    for (const FormProperty& p : v.Items[i].Properties) ReadProperty(Instance::Of(object), p, itemPath + "." + p.Name);
  }
}

void TReader::ResolveFixups() {
  for (const Fixup& f : FFixups) {
    FComponentName = f.ComponentName;
    FPropertyPath = f.PropertyPath;
    FLine = f.Line;
    TComponent* target = FindReference(f.Name);
    if (!target) Fail(false, "Component " + f.Name + " not found");
    TClass expected = f.Property.Info->GetComponentClass();
    if (!target->InheritsFrom(expected))
      Fail(false, "Invalid property value " + f.Name + ": " + target->ClassName() + " is not a " +
                      expected->ClassName());
    try {
      f.Property.Info->SetComponent(f.Property.Self, target);
    } catch (Exception& e) {
      Annotate(e);
      throw;
    }
  }
  for (const Fixup& f : FFixups) ExcludeComponentState(f.Holder, TComponentState{csFixups});
  FFixups.clear();
}

TComponent* TReader::FindReference(const AnsiString& name) const {
  std::size_t dot = name.find('.');
  const AnsiString head = name.substr(0, dot);
  TComponent* c = nullptr;
  if (SameText(head, FRoot->GetName())) c = FRoot;
  if (!c) c = FRoot->FindComponent(head);
  if (!c) c = orv::FindGlobalComponent(head);
  while (c && dot != AnsiString::npos) {
    const std::size_t next = name.find('.', dot + 1);
    c = c->FindComponent(name.substr(dot + 1, next == AnsiString::npos ? AnsiString::npos : next - dot - 1));
    dot = next;
  }
  return c;
}

// ==== TWriter ===================================================================================

TWriter::TWriter() { EnsureStreaming(); }
TWriter::~TWriter() = default;

FormObject TWriter::WriteRootComponent(TComponent* root) {
  FRoot = root;
  FormObject node;
  WriteComponent(root, node);
  return node;
}

void TWriter::WriteComponent(TComponent* component, FormObject& node) {
  node.Kind = orv::FormObjectKind::Object;
  node.Name = component->GetName();
  node.ClassName = component->ClassName();
  orv::FormObject* oldNode = FNode;
  FNode = &node;
  IncludeComponentState(component, TComponentState{csWriting});
  try {
    component->WriteState(this);
  } catch (...) {
    ExcludeComponentState(component, TComponentState{csWriting});
    FNode = oldNode;
    throw;
  }
  ExcludeComponentState(component, TComponentState{csWriting});
  FNode = oldNode;
}

void TWriter::WriteData(TComponent* instance) {
  if (!FNode) throw EWriteError("No form description is being written");
  FormObject& node = *FNode;
  WriteProperties(Instance::Of(instance), AnsiString(), node.Properties);
  auto add = [&](TComponent* child) {
    node.Children.emplace_back();
    WriteComponent(child, node.Children.back());
  };
  instance->GetChildren(TGetChildProc::Callable(add), FRoot);
}

void TWriter::WriteProperties(const Instance& instance, const AnsiString& prefix,
                              std::vector<FormProperty>& out) {
  for (const BoundProperty& bp : orv::GetPublishedProperties(instance)) {
    const orv::PropInfo& info = *bp.Info;
    if (!info.IsStored(bp.Self)) continue;
    const AnsiString name = prefix + info.GetName();
    switch (info.GetKind()) {
      case PropKind::Scalar:
        if (!info.IsDefault(bp.Self)) out.push_back(FormProperty{name, info.GetValue(bp.Self), 0});
        break;
      case PropKind::Object:
        if (TPersistent* object = info.GetObject(bp.Self))
          WriteProperties(Instance::Of(object), name + ".", out);
        break;
      case PropKind::Component:
        if (TComponent* c = info.GetComponent(bp.Self)) {
          AnsiString ref;
          if (c->GetComponentStyle().Contains(csSubComponent))
            WriteProperties(Instance::Of(c), name + ".", out);
          else if (ReferenceName(c, ref))
            out.push_back(FormProperty{name, FormValue::Ident(ref), 0});
        }
        break;
      case PropKind::Collection: {
        const CollectionRef ref = info.GetCollection(bp.Self);
        if (ref.List && ref.Access->Count(ref.List) > 0)
          out.push_back(FormProperty{name, WriteItems(ref), 0});
        break;
      }
      case PropKind::Event:
        if (!info.IsEventAssigned(bp.Self)) break;
        for (TClass c = FRoot->ClassType(); c; c = c->ClassParent()) {
          const orv::PropertyList* list = orv::FindPublished(c);
          if (!list) continue;
          const orv::MethodInfo* found = nullptr;
          for (const auto& m : list->GetMethods())
            if (info.EventIs(bp.Self, m.get(), FRoot)) {
              found = m.get();
              break;
            }
          if (found) {
            out.push_back(FormProperty{name, FormValue::Ident(found->GetName()), 0});
            break;
          }
        }
        break;
    }
  }
  if (auto* persistent = dynamic_cast<TPersistent*>(instance.Object)) {
    std::vector<FormProperty>* oldOut = FDefinedOut;
    const AnsiString oldPrefix = FDefinedPrefix;
    FDefinedOut = &out;
    FDefinedPrefix = prefix;
    try {
      orv::CallDefineProperties(persistent, this);
    } catch (...) {
      FDefinedOut = oldOut;
      FDefinedPrefix = oldPrefix;
      throw;
    }
    FDefinedOut = oldOut;
    FDefinedPrefix = oldPrefix;
  }
}

FormValue TWriter::WriteItems(const CollectionRef& collection) {
  std::vector<FormItem> items;
  const Integer count = collection.Access->Count(collection.List);
  for (Integer i = 0; i < count; ++i) {
    FormItem item;
    WriteProperties(collection.Access->Item(collection.List, i), AnsiString(), item.Properties);
    items.push_back(std::move(item));
  }
  return FormValue::CollectionOf(std::move(items));
}

bool TWriter::ReferenceName(TComponent* component, AnsiString& name) const {
  if (component->GetName().empty()) return false;
  if (component == FRoot || component->GetOwner() == FRoot) {
    name = component->GetName();
    return true;
  }
  TComponent* owner = component->GetOwner();
  if (!owner || owner->GetName().empty()) return false;
  name = owner->GetName() + "." + component->GetName();
  return true;
}

void TWriter::DefineProperty(const AnsiString& name, TReaderProc readData, TWriterProc writeData,
                             bool hasData) {
  if (!FDefinedOut || !hasData || !writeData) return;
  std::vector<std::vector<FormValue>> saved;
  saved.swap(FLists);
  FLists.emplace_back();
  try {
    writeData(this);
  } catch (...) {
    FLists.swap(saved);
    throw;
  }
  if (FLists.size() != 1 || FLists[0].size() != 1) {
    FLists.swap(saved);
    throw EWriteError("Property " + name + " wrote " + (FLists.size() != 1 ? "an open list" : "no single value"));
  }
  FormValue value = std::move(FLists[0][0]);
  FLists.swap(saved);
  FDefinedOut->push_back(FormProperty{FDefinedPrefix + name, std::move(value), 0});
}

void TWriter::DefineBinaryProperty(const AnsiString& name, TStreamProc readData,
                                   TStreamProc writeData, bool hasData) {
  if (!FDefinedOut || !hasData || !writeData) return;
  TMemoryStream stream;
  writeData(&stream);
  AnsiString bytes(static_cast<const char*>(stream.GetMemory()), static_cast<std::size_t>(stream.GetSize()));
  FDefinedOut->push_back(FormProperty{FDefinedPrefix + name, FormValue::Bytes(std::move(bytes)), 0});
}

void TWriter::Put(FormValue value) {
  if (FLists.empty()) throw EWriteError("No property value is being written");
  FLists.back().push_back(std::move(value));
}

void TWriter::WriteListBegin() {
  if (FLists.empty()) throw EWriteError("No property value is being written");
  FLists.emplace_back();
}

void TWriter::WriteListEnd() {
  if (FLists.size() < 2) throw EWriteError("No list is being written");
  std::vector<FormValue> values = std::move(FLists.back());
  FLists.pop_back();
  Put(FormValue::ListOf(std::move(values)));
}

void TWriter::WriteInteger(Int64 value) { Put(FormValue::Int(value)); }
void TWriter::WriteBoolean(bool value) { Put(FormValue::Bool(value)); }
void TWriter::WriteFloat(double value) { Put(FormValue::Float(value)); }
void TWriter::WriteString(const AnsiString& value) { Put(FormValue::Str(value)); }
void TWriter::WriteIdent(const AnsiString& value) { Put(FormValue::Ident(value)); }
void TWriter::WriteVariant(const Variant& value) { Put(orv::detail::WriteVariant(value)); }

void TWriter::WriteCollection(TCollection* collection) {
  Put(WriteItems(CollectionRef{collection, &orv::CollectionItemsAccess()}));
}

// ==== Entry points ==============================================================================

namespace orv {

namespace {

FormObject Parse(std::string_view text, const AnsiString& formName) {
  try {
    return ParseFormText(text);
  } catch (EParserError& e) {
    e.SetMessage("Error reading form" + (formName.empty() ? AnsiString() : " " + formName) + ": " +
                 e.GetMessage());
    throw;
  }
}

}  // namespace

void ReadComponentFromText(TComponent* root, std::string_view text, const AnsiString& formName) {
  const FormObject description = Parse(text, formName);
  TReader reader(description, formName);
  reader.ReadRootComponent(root);
}

TComponent* CreateComponentFromText(std::string_view text, TComponent* owner) {
  const FormObject description = Parse(text, AnsiString());
  TReader reader(description);
  return reader.ReadRootComponent(nullptr, owner);
}

std::string WriteComponentToText(TComponent* root) {
  TWriter writer;
  return PrintFormText(writer.WriteRootComponent(root));
}

void RegisterFormDescription(const AnsiString& className, std::string text) {
  Descriptions()[UpperCase(className)] = std::move(text);
}

void UnregisterFormDescription(const AnsiString& className) {
  Descriptions().erase(UpperCase(className));
}

const std::string* FindFormDescription(const AnsiString& className) {
  auto it = Descriptions().find(UpperCase(className));
  return it == Descriptions().end() ? nullptr : &it->second;
}

bool InitInheritedComponent(TComponent* instance, TClass rootAncestor) {
  std::vector<TClass> chain;
  for (TClass c = instance->ClassType(); c && c != rootAncestor; c = c->ClassParent()) chain.push_back(c);
  bool found = false;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (const std::string* text = FindFormDescription((*it)->ClassName())) {
      ReadComponentFromText(instance, *text, (*it)->ClassName());
      found = true;
    }
  }
  return found;
}

TComponent* FindGlobalComponent(const AnsiString& name) {
  if (name.empty()) return nullptr;
  const auto& roots = GlobalRoots().Roots;
  for (auto it = roots.rbegin(); it != roots.rend(); ++it)
    if (SameText((*it)->GetName(), name)) return *it;
  return nullptr;
}

void AddGlobalRoot(TComponent* root) {
  TGlobalRoots& roots = GlobalRoots();
  if (std::find(roots.Roots.begin(), roots.Roots.end(), root) != roots.Roots.end()) return;
  roots.Roots.push_back(root);
  root->FreeNotification(&roots);
}

void RemoveGlobalRoot(TComponent* root) {
  TGlobalRoots& roots = GlobalRoots();
  std::erase(roots.Roots, root);
  root->RemoveFreeNotification(&roots);
}

}  // namespace orv
