#include "components/editors-more/cxDBEdit.h"

#include "components/data/cxDBData.h"
#include "components/foundation/cxClasses.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Fields.h"
#include "platform/runtime/SysUtils.h"

TcxCustomDBEditDefaultValuesProvider::TcxCustomDBEditDefaultValuesProvider(TPersistent* owner)
    : TcxCustomEditDefaultValuesProvider(owner), FFreeNotifier(new TcxFreeNotificator(nullptr)) {
  FFreeNotifier->SetOnFreeNotification(
      TcxFreeNotificationEvent(this, &TcxCustomDBEditDefaultValuesProvider::ComponentFreed));
}

void TcxCustomDBEditDefaultValuesProvider::BeforeDestruction() {
  if (FFreeNotifier) FFreeNotifier->SetOnFreeNotification({});
  inherited::BeforeDestruction();
}

TcxCustomDBEditDefaultValuesProvider::~TcxCustomDBEditDefaultValuesProvider() { orv::Free(FFreeNotifier); }

void TcxCustomDBEditDefaultValuesProvider::ComponentFreed(TComponent* sender) {
  if (sender == FDataSource)
    FDataSource = nullptr;
  else
    FField = nullptr;
}

void TcxCustomDBEditDefaultValuesProvider::SetDataSource(TDataSource* value) {
  if (value == FDataSource) return;
  if (FDataSource) FFreeNotifier->RemoveSender(FDataSource);
  FDataSource = value;
  if (FDataSource) FFreeNotifier->AddSender(FDataSource);
}

void TcxCustomDBEditDefaultValuesProvider::SetField(TField* value) {
  if (value == FField) return;
  if (FField) FFreeNotifier->RemoveSender(FField);
  FField = value;
  if (FField) FFreeNotifier->AddSender(FField);
}

Boolean TcxCustomDBEditDefaultValuesProvider::HasActiveData() {
  return FField && FField->GetDataSet() && FField->GetDataSet()->GetState() != dsInactive;
}

Boolean TcxCustomDBEditDefaultValuesProvider::CanEnterEditMode() {
  if (!FDataSource) return false;
  const TDataSetState state = FDataSource->GetState();
  return FDataSource->GetAutoEdit() || state == dsEdit || state == dsInsert;
}

TAlignment TcxCustomDBEditDefaultValuesProvider::DefaultAlignment() {
  return HasActiveData() ? FField->GetAlignment() : inherited::DefaultAlignment();
}

Integer TcxCustomDBEditDefaultValuesProvider::DefaultBlobKind() {
  if (!HasActiveData()) return 0;
  switch (FField->GetDataType()) {
    case ftMemo:
    case ftFmtMemo: return 3;
    case ftGraphic: return 2;
    case ftParadoxOle:
    case ftDBaseOle: return 4;
    default: return 0;
  }
}

Boolean TcxCustomDBEditDefaultValuesProvider::IsModifiable() {
  return !DefaultReadOnly() && HasActiveData() && (FField->GetCanModify() || CanModifyLookupField(FField));
}

AnsiString TcxCustomDBEditDefaultValuesProvider::DefaultDisplayFormat() {
  if (!HasActiveData()) return {};
  if (auto* numeric = dynamic_cast<TNumericField*>(FField)) return numeric->GetDisplayFormat();
  return {};
}

AnsiString TcxCustomDBEditDefaultValuesProvider::DefaultEditFormat() {
  if (!HasActiveData()) return {};
  if (auto* numeric = dynamic_cast<TNumericField*>(FField)) return numeric->GetEditFormat();
  return {};
}

AnsiString TcxCustomDBEditDefaultValuesProvider::DefaultEditMask() {
  return HasActiveData() ? FField->GetEditMask() : AnsiString();
}

Boolean TcxCustomDBEditDefaultValuesProvider::IsFloatValue() {
  if (!HasActiveData()) return false;
  const TFieldType type = FField->GetDataType();
  return type == ftFloat || type == ftCurrency || type == ftBCD;
}

Integer TcxCustomDBEditDefaultValuesProvider::DefaultMaxLength() {
  if (!HasActiveData()) return 0;
  const TFieldType type = FField->GetDataType();
  return (type == ftString || type == ftWideString) ? FField->GetSize() : 0;
}

namespace {

// A float limit as the field shows it: the general format at the field's precision, read back.
Double DBEditFloatLimit(Double value, Integer precision) {
  const Integer digits = std::max(1, std::min(precision, 18));
  return StrToFloatDef(FloatToStrF(value, ffGeneral, digits, digits), value);
}

}  // namespace

Double TcxCustomDBEditDefaultValuesProvider::DefaultMaxValue() {
  Double result = inherited::DefaultMaxValue();
  if (!HasActiveData()) return result;
  if (auto* integer = dynamic_cast<TIntegerField*>(FField)) return integer->GetMaxValue();
  if (auto* bcd = dynamic_cast<TBCDField*>(FField)) return bcd->GetMaxValue();
  if (auto* real = dynamic_cast<TFloatField*>(FField)) return DBEditFloatLimit(real->GetMaxValue(), real->GetPrecision());
  return 0;
}

Double TcxCustomDBEditDefaultValuesProvider::DefaultMinValue() {
  Double result = inherited::DefaultMinValue();
  if (!HasActiveData()) return result;
  if (auto* integer = dynamic_cast<TIntegerField*>(FField)) return integer->GetMinValue();
  if (auto* bcd = dynamic_cast<TBCDField*>(FField)) return bcd->GetMinValue();
  if (auto* real = dynamic_cast<TFloatField*>(FField)) return DBEditFloatLimit(real->GetMinValue(), real->GetPrecision());
  return 0;
}

Integer TcxCustomDBEditDefaultValuesProvider::DefaultPrecision() {
  if (auto* real = dynamic_cast<orv::TRealField*>(FField)) return real->GetPrecision();
  return inherited::DefaultPrecision();
}

Boolean TcxCustomDBEditDefaultValuesProvider::DefaultReadOnly() { return HasActiveData() && FField->GetReadOnly(); }

Boolean TcxCustomDBEditDefaultValuesProvider::DefaultRequired() { return HasActiveData() && FField->GetRequired(); }

Boolean TcxCustomDBEditDefaultValuesProvider::IsBlobValue() { return HasActiveData() && FField->IsBlob(); }

Boolean TcxCustomDBEditDefaultValuesProvider::IsCurrency() {
  if (!HasActiveData()) return false;
  if (auto* real = dynamic_cast<orv::TRealField*>(FField)) return real->GetCurrency();
  return false;
}

Boolean TcxCustomDBEditDefaultValuesProvider::HasDefaultDisplayFormat(Boolean formatsItself) {
  if (!HasActiveData()) return false;
  if (FField->GetOnGetText()) return true;
  Boolean result = false;
  if (auto* real = dynamic_cast<orv::TRealField*>(FField)) result = result || (formatsItself && real->GetCurrency());
  if (auto* date = dynamic_cast<TDateTimeField*>(FField)) result = result || !date->GetDisplayFormat().empty();
  if (auto* numeric = dynamic_cast<TNumericField*>(FField)) result = result || !numeric->GetDisplayFormat().empty();
  return result;
}

Boolean TcxCustomDBEditDefaultValuesProvider::UsesFieldDisplayText() {
  return HasDefaultDisplayFormat(false) && DefaultDisplayFormat().empty();
}

Boolean TcxCustomDBEditDefaultValuesProvider::HasSetTextHandler() {
  return HasActiveData() && bool(FField->GetOnSetText());
}

Boolean TcxCustomDBEditDefaultValuesProvider::IsValidCharacter(char c) {
  return !HasActiveData() || FField->GetValidChars().test(static_cast<unsigned char>(c));
}
