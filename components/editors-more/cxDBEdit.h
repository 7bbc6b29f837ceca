// The dataset-bound editors' default values: a provider that answers the editor properties'
// questions (alignment, formats, mask, limits, read-only and required state) from a dataset
// field while the field's dataset is open.
#pragma once

#include "components/editors/cxEdit.h"

class TDataSource;
class TField;
class TcxFreeNotificator;

class TcxCustomDBEditDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
  ORV_CLASS(TcxCustomDBEditDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
 public:
  explicit TcxCustomDBEditDefaultValuesProvider(TPersistent* owner);
  void BeforeDestruction() override;
  ~TcxCustomDBEditDefaultValuesProvider() override;

  Boolean CanEnterEditMode() override;
  TAlignment DefaultAlignment() override;
  Integer DefaultBlobKind() override;
  Boolean IsModifiable() override;
  AnsiString DefaultDisplayFormat() override;
  AnsiString DefaultEditFormat() override;
  AnsiString DefaultEditMask() override;
  Boolean IsFloatValue() override;
  Integer DefaultMaxLength() override;
  Double DefaultMaxValue() override;
  Double DefaultMinValue() override;
  Integer DefaultPrecision() override;
  Boolean DefaultReadOnly() override;
  Boolean DefaultRequired() override;
  Boolean IsBlobValue() override;
  Boolean IsCurrency() override;
  Boolean HasActiveData() override;
  Boolean IsDataBound() override { return true; }
  Boolean HasDefaultDisplayFormat(Boolean formatsItself) override;
  Boolean UsesFieldDisplayText() override;
  Boolean HasSetTextHandler() override;
  Boolean IsValidCharacter(char c) override;

  TDataSource* GetDataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* value);
  TField* GetField() const { return FField; }
  void SetField(TField* value);

 private:
  void ComponentFreed(TComponent* sender);
  TDataSource* FDataSource = nullptr;
  TField* FField = nullptr;
  TcxFreeNotificator* FFreeNotifier = nullptr;
};
