// The filter control's registry of value editors, reachable from the editors: each editor kind
// contributes a filter edit helper that prepares an editor of its kind for entering the value
// of a filter condition (a plain copy of the column's properties without its events, buttons and
// data defaults) and names the filter operators that make sense for its values.
//
// Helpers have no state: each helper class has one instance, made on first use, whose virtual
// const operations are the class's operations (as the painters).
#pragma once

#include "components/data/cxDataStorage.h"
#include "components/editors/cxEdit.h"
#include "platform/runtime/Sets.h"

// Filter-control operators by ordinal (1 equals .. 36 is future); an operator set holds them.
using TcxFilterControlOperators = orv::Set<Integer>;

class TcxCustomFilterEditHelper : public TObject {
  ORV_CLASS(TcxCustomFilterEditHelper, TObject)
 public:
  TcxCustomFilterEditHelper() = default;

  virtual void ClearEventHandlers(TcxCustomEditProperties* properties) const;
  virtual void InitializeEdit(TcxCustomEdit* edit, TcxCustomEditProperties* sourceProperties) const;
  virtual Boolean KeepsDefaultValuesProvider(TcxCustomEditProperties* sourceProperties) const { return true; }
  virtual Boolean KeepsEditButtons() const { return false; }
  virtual TcxCustomEditClass GetFilterEditorClass() const { return nullptr; }
  virtual void GetEditValueAndText(TcxCustomEdit* edit, TcxCustomEditProperties* properties, AnsiString& text,
                                   Variant& value) const;
  virtual void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                                     TcxFilterControlOperators& operators, Boolean extended) const;
  virtual void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                                    Boolean keepButtons) const;
  virtual Boolean IsValueConvertible(TcxValueTypeClass valueTypeClass, const Variant& value) const;
  virtual void SetEditValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, const Variant& value) const {}
  virtual Boolean UsesDisplayText() const { return false; }

  // The one instance of a helper class (nullptr for nil; EInvalidOperation for another class).
  static const TcxCustomFilterEditHelper* Of(TClass helperClass);
};
using TcxCustomFilterEditHelperClass = const TcxCustomFilterEditHelper*;

// The registry: helper classes by the parent class of the properties class each was given.
class TcxFilterEditsController : public TObject {
  ORV_CLASS(TcxFilterEditsController, TObject)
 public:
  TcxFilterEditsController();
  ~TcxFilterEditsController() override;
  void AddHelperClass(TClass propertiesClass, TClass helperClass);
  // Frees the controller when its list has become empty.
  void RemoveHelperClass(TClass propertiesClass, TClass helperClass);
  // The helper of the most derived registration the properties class descends from, or nullptr.
  TcxCustomFilterEditHelperClass FindFilterEditHelper(TClass propertiesClass);
  Integer GetRegistrationCount() const { return FList->GetRegistrationCount(); }

 private:
  TcxRegisteredClassList* FList;
};

// The single controller, made on the first call.
TcxFilterEditsController* FilterEditsController();
// Whether the controller exists now.
Boolean HasFilterEditsController();
