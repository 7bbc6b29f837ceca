// Form streaming: reading a form description into components and writing components back as
// one. TFiler, TReader and TWriter are the classes TPersistent::DefineProperties and
// TComponent::ReadState/WriteState speak of.
//
// Reading a description into a root (ReadComponentFromText, InitInheritedComponent):
//   1. The root and every component read get csLoading and, while their own part is read,
//      csReading.
//   2. Each "object" creates its class (found by name: RegisterClass, or the class of the root's
//      published field of that name) with the child owner of the enclosing component
//      (GetChildOwner, the root when nullptr), names it, sets the root's field of that name,
//      gives it its parent (SetParentComponent(GetChildParent()) when it HasParent), the child
//      position "[n]" through the parent's SetChildOrder, and calls its ReadState, which reads
//      its properties in the order written and then its children. "inherited" reads into the
//      owner's existing component of that name.
//   3. A property name is looked up among the published properties (most derived class first),
//      then among the values the object defines itself (DefineProperties). Qualified names
//      ("Font.Name") go through nested objects.
//   4. References to components ("Database = DsDatabase", "DataSet = DM.tblOrvane") are
//      resolved once everything is read: a name within the root, or "Root.Name" within
//      another loaded root. Events are bound at once to the root's published method of that
//      name.
//   5. Loaded is called on every component read, in the order they were created (the root
//      first, a parent before its children), and csLoading is cleared.
// Every loaded root is known by name to later descriptions (FindGlobalComponent) until freed.
//
// An error names the form, the component, the property and the line: EClassNotFound for an
// unknown class, EReadError for an unknown property, an invalid value or an unknown
// reference or method, EParserError for text that is not well formed; an exception a setter
// raises keeps its class and gets the same prefix. A root that fails to load keeps the
// components read so far; its creator frees it.
//
// Writing stores the root and the children its GetChildren reports (recursively), each
// property whose stored rule allows it and whose value differs from its default, then the
// values DefineProperties writes. No ancestor is ever compared: GetAncestor is nullptr.
#pragma once

#include <functional>

#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/FormText.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Streams.h"

class TReader;
class TWriter;

enum TValueType {
  vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue,
  vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString,
  vaInt64, vaUTF8String
};

using TReaderProc = orv::Event<void(TReader* reader)>;
using TWriterProc = orv::Event<void(TWriter* writer)>;
using TStreamProc = orv::Event<void(TStream* stream)>;

class TFiler : public TObject {
  ORV_CLASS(TFiler, TObject)
 public:
  TFiler() = default;

  // A value the object stores itself: while reading, `readData` is called when the
  // description holds the property; while writing, `writeData` writes it when `hasData`.
  virtual void DefineProperty(const AnsiString& name, TReaderProc readData, TWriterProc writeData,
                              bool hasData) = 0;
  // The same for bytes, handed over as a stream.
  virtual void DefineBinaryProperty(const AnsiString& name, TStreamProc readData,
                                    TStreamProc writeData, bool hasData) = 0;

  TComponent* GetRoot() const { return FRoot; }
  // The root whose methods events are bound to and whose components names refer to.
  TComponent* GetLookupRoot() const { return FRoot; }
  // Form inheritance is not used: there is never an ancestor to compare with.
  TPersistent* GetAncestor() const { return nullptr; }

 protected:
  TComponent* FRoot = nullptr;
};

class TReader : public TFiler {
  ORV_CLASS(TReader, TFiler)
 public:
  // `formName` names the form in error messages (the description's class when empty).
  explicit TReader(const orv::FormObject& description, AnsiString formName = AnsiString());
  ~TReader() override;

  // Reads the description into `root` (or, when nullptr, into a new component of the
  // description's class with `owner`), resolves references and calls Loaded.
  TComponent* ReadRootComponent(TComponent* root, TComponent* owner = nullptr);

  // What TComponent::ReadState does: the properties and children of `instance`.
  void ReadData(TComponent* instance);
  // The owner and parent of the children being read.
  TComponent* GetOwner() const { return FOwner; }
  TComponent* GetParent() const { return FParent; }

  void DefineProperty(const AnsiString& name, TReaderProc readData, TWriterProc writeData,
                      bool hasData) override;
  void DefineBinaryProperty(const AnsiString& name, TStreamProc readData, TStreamProc writeData,
                            bool hasData) override;

  // Values of a property the object defines itself, read in order.
  TValueType NextValue() const;
  bool EndOfList() const;
  void ReadListBegin();
  void ReadListEnd();
  Integer ReadInteger();
  Int64 ReadInt64();
  bool ReadBoolean();
  double ReadFloat();
  AnsiString ReadString();
  AnsiString ReadIdent();
  Variant ReadVariant();
  // Replaces the items of `collection` by those of a collection value.
  void ReadCollection(TCollection* collection);
  // A collection value whose elements are read into objects the caller chooses: `target`
  // answers the object for element i (older descriptions kept some lists this way).
  void ReadCollectionInto(const std::function<TPersistent*(Integer index)>& target);

 private:
  struct Fixup;
  struct Cursor {
    const std::vector<orv::FormValue>* Values;
    std::size_t Index;
  };

  void ReadComponent(const orv::FormObject& node);
  void ReadProperty(const orv::Instance& instance, const orv::FormProperty& property,
                    const AnsiString& path);
  void ReadValue(const orv::Instance& instance, const AnsiString& name,
                 const orv::FormValue& value, const AnsiString& path);
  void ReadItems(const orv::CollectionRef& collection, const orv::FormValue& value,
                 const AnsiString& path);
  bool ReadDefined(TPersistent* instance, const AnsiString& name, const orv::FormValue& value);
  const orv::FormValue& Take();
  const orv::FormValue& Peek() const;
  void ResolveFixups();
  TComponent* FindReference(const AnsiString& name) const;
  TClass FindComponentClass(const AnsiString& className) const;
  [[noreturn]] void Fail(bool classError, const AnsiString& message);
  void Annotate(Exception& e);

  const orv::FormObject& FDescription;
  AnsiString FFormName;
  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  const orv::FormObject* FNode = nullptr;  // the description of the component being read
  TComponent* FCurrent = nullptr;           // the component whose properties are being read
  std::vector<TComponent*> FLoaded;
  std::vector<Fixup> FFixups;
  std::vector<void*> FLists;  // the collections whose items are being read, outermost first
  // Error context: the component and property being read, and the line.
  AnsiString FComponentName;
  AnsiString FPropertyPath;
  Integer FLine = 0;
  bool FAnnotated = false;
  // A property the object defines itself, while DefineProperties is asked for it.
  const AnsiString* FDefinedName = nullptr;
  const orv::FormValue* FDefinedValue = nullptr;
  bool FDefinedFound = false;
  std::vector<orv::FormValue> FTopValue;
  std::vector<Cursor> FCursors;
};

class TWriter : public TFiler {
  ORV_CLASS(TWriter, TFiler)
 public:
  TWriter();
  ~TWriter() override;

  // The description of `root` and the children it reports.
  orv::FormObject WriteRootComponent(TComponent* root);
  // What TComponent::WriteState does: the properties and children of `instance`.
  void WriteData(TComponent* instance);

  void DefineProperty(const AnsiString& name, TReaderProc readData, TWriterProc writeData,
                      bool hasData) override;
  void DefineBinaryProperty(const AnsiString& name, TStreamProc readData, TStreamProc writeData,
                            bool hasData) override;

  // Values of a property the object defines itself.
  void WriteListBegin();
  void WriteListEnd();
  void WriteInteger(Int64 value);
  void WriteBoolean(bool value);
  void WriteFloat(double value);
  void WriteString(const AnsiString& value);
  void WriteIdent(const AnsiString& value);
  void WriteVariant(const Variant& value);
  void WriteCollection(TCollection* collection);

 private:
  void WriteComponent(TComponent* component, orv::FormObject& node);
  void WriteProperties(const orv::Instance& instance, const AnsiString& prefix,
                       std::vector<orv::FormProperty>& out);
  orv::FormValue WriteItems(const orv::CollectionRef& collection);
  bool ReferenceName(TComponent* component, AnsiString& name) const;
  void Put(orv::FormValue value);

  orv::FormObject* FNode = nullptr;
  // Defined properties being written: where their values go.
  std::vector<orv::FormProperty>* FDefinedOut = nullptr;
  AnsiString FDefinedPrefix;
  std::vector<std::vector<orv::FormValue>> FLists;  // open lists, innermost last
};

namespace orv {

// Reads a description into `root` (see TReader). `formName` names the form in errors.
void ReadComponentFromText(TComponent* root, std::string_view text,
                           const AnsiString& formName = AnsiString());
// Creates the description's root class with `owner` and reads the description into it.
TComponent* CreateComponentFromText(std::string_view text, TComponent* owner = nullptr);
// The description of `root` as text.
std::string WriteComponentToText(TComponent* root);

// Descriptions by the class name of their root, for components that read their own when
// created (InitInheritedComponent). Registering a name again replaces the text.
void RegisterFormDescription(const AnsiString& className, std::string text);
void UnregisterFormDescription(const AnsiString& className);
const std::string* FindFormDescription(const AnsiString& className);
// Reads into `instance` the descriptions of its classes, from the one below `rootAncestor`
// down to its own class; false when none of them has a description.
bool InitInheritedComponent(TComponent* instance, TClass rootAncestor);

// A loaded root by name (ASCII case ignored); nullptr when none.
TComponent* FindGlobalComponent(const AnsiString& name);
// Makes a root known by name to the descriptions read later, until it is freed or removed.
void AddGlobalRoot(TComponent* root);
void RemoveGlobalRoot(TComponent* root);

}  // namespace orv
