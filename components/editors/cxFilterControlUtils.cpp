#include "components/editors/cxFilterControlUtils.h"

#include <map>
#include <memory>

#include "platform/runtime/Exceptions.h"

namespace {

TcxFilterEditsController* gFilterEditsController = nullptr;

// The helpers' single instances, by class.
std::map<TClass, std::unique_ptr<TcxCustomFilterEditHelper, orv::FreeDeleter>>& FilterHelperInstances() {
  static std::map<TClass, std::unique_ptr<TcxCustomFilterEditHelper, orv::FreeDeleter>> instances;
  return instances;
}

}  // namespace

const TcxCustomFilterEditHelper* TcxCustomFilterEditHelper::Of(TClass helperClass) {
  if (!helperClass) return nullptr;
  auto& instances = FilterHelperInstances();
  auto it = instances.find(helperClass);
  if (it != instances.end()) return it->second.get();
  auto* helper = orv::ClassOf<TcxCustomFilterEditHelper>(helperClass).Create();
  instances[helperClass].reset(helper);
  return helper;
}

void TcxCustomFilterEditHelper::ClearEventHandlers(TcxCustomEditProperties* properties) const {
  if (!properties) return;
  properties->SetOnButtonClick(TcxEditButtonClickEvent());
  properties->SetOnChange(TNotifyEvent());
  properties->SetOnEditValueChanged(TNotifyEvent());
  properties->SetOnValidate(TcxEditValidateEvent());
}

void TcxCustomFilterEditHelper::InitializeEdit(TcxCustomEdit* edit, TcxCustomEditProperties* sourceProperties) const {
  InitFilterProperties(edit->GetEffectiveProperties(), sourceProperties, KeepsEditButtons());
}

void TcxCustomFilterEditHelper::GetEditValueAndText(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                                    AnsiString& text, Variant& value) const {
  edit->GetEditingValue(value);
  properties->EditValueToDisplayText(value, text);
}

void TcxCustomFilterEditHelper::GetSupportedOperators(TcxCustomEditProperties* properties,
                                                      TcxValueTypeClass valueTypeClass,
                                                      TcxFilterControlOperators& operators, Boolean extended) const {
  operators = {};
  const Integer last = extended ? 14 : 10;
  const Boolean isString = valueTypeClass.Get() != nullptr && valueTypeClass->IsString();
  for (Integer i = 1; i <= last; ++i)
    if ((i != 7 && i != 8) || isString) operators.Include(i);
}

void TcxCustomFilterEditHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                     TcxCustomEditProperties* sourceProperties,
                                                     Boolean keepButtons) const {
  properties->Assign(sourceProperties);
  properties->GetAlignment()->SetHorz(taLeftJustify);
  properties->GetAlignment()->SetVert(taTopJustify);
  properties->SetBeepOnError(false);
  if (!keepButtons) properties->GetButtons()->Clear();
  properties->SetReadOnly(false);
  properties->SetValidateOnEnter(true);
  if (!KeepsDefaultValuesProvider(sourceProperties)) properties->SetDefaultValuesProvider(nullptr);
  ClearEventHandlers(properties);
}

Boolean TcxCustomFilterEditHelper::IsValueConvertible(TcxValueTypeClass valueTypeClass, const Variant& value) const {
  if (valueTypeClass.Get() == nullptr) return false;
  Variant v = value;
  return valueTypeClass->IsValueValid(v);
}

// ==== Registry ================================================================================

TcxFilterEditsController::TcxFilterEditsController() : FList(new TcxRegisteredClassList) {}

TcxFilterEditsController::~TcxFilterEditsController() { orv::Free(FList); }

void TcxFilterEditsController::AddHelperClass(TClass propertiesClass, TClass helperClass) {
  FList->AddRegistration(propertiesClass->ClassParent(), helperClass);
}

void TcxFilterEditsController::RemoveHelperClass(TClass propertiesClass, TClass helperClass) {
  FList->RemoveRegistration(propertiesClass->ClassParent(), helperClass);
  if (FList->GetRegistrationCount() == 0 && gFilterEditsController == this) {
    gFilterEditsController = nullptr;
    Free();
  }
}

TcxCustomFilterEditHelperClass TcxFilterEditsController::FindFilterEditHelper(TClass propertiesClass) {
  if (!propertiesClass) return nullptr;
  return TcxCustomFilterEditHelper::Of(FList->FindRegisteredClass(propertiesClass->ClassParent()));
}

TcxFilterEditsController* FilterEditsController() {
  if (!gFilterEditsController) gFilterEditsController = new TcxFilterEditsController;
  return gFilterEditsController;
}

Boolean HasFilterEditsController() { return gFilterEditsController != nullptr; }
