// The custom filter dialog: the filter of one item as one condition, or two joined by AND or OR,
// with the item's own kind of editor for the values. ShowFilterDialog opens it modally and, on
// OK, replaces the item's conditions in the criteria; IsFilterTooComplexForDialog tells whether
// the criteria can be shown in it at all (else the filter builder serves).
#pragma once

#include "components/data/cxDataStorage.h"
#include "components/filtercontrol/cxFilterControlUtils.h"
#include "platform/controls/Forms.h"

class TcxButton;
class TcxComboBox;
class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxFilterCriteria;
class TcxFilterCriteriaItemList;
class TcxLookAndFeel;
class TcxRadioButton;
class TBevel;
class TFont;
class TLabel;

class TcxFilterDialog : public TForm {
  ORV_CLASS(TcxFilterDialog, TForm)
 public:
  // The components come from the form description "TcxFilterDialog" (read in AfterConstruction).
  explicit TcxFilterDialog(TComponent* owner) : TForm(owner) {}
  void BeforeDestruction() override;

  // The dialog for the item (the form's own part of construction; EcxFilterControlError-free).
  static TcxFilterDialog* Create(TcxFilterCriteria* criteria, TFont* font, TcxLookAndFeel* lookAndFeel,
                                 TcxValueTypeClass valueTypeClass, const AnsiString& itemCaption,
                                 TcxCustomEditProperties* properties, TObject* item);

  // ---- new virtual operations ----
  virtual TcxComboBox* GetOperatorComboBox(TcxCustomEdit* edit);
  virtual void GetSupportedOperators(TcxFilterControlOperators& operators);
  virtual void Initialize(const AnsiString& itemCaption);
  virtual void LoadFromCriteria();
  virtual void SetLookAndFeel(TcxLookAndFeel* value);
  virtual void ApplyChanges();

  // The selected operator of a combo box: fcopNone for nothing or the empty entry.
  TcxFilterControlOperator OperatorOf(TcxComboBox* comboBox);
  TcxCustomEdit* GetValueEdit1() const { return FValueEdit1; }
  TcxCustomEdit* GetValueEdit2() const { return FValueEdit2; }

  // ---- handlers ----
  void cbOperator1Click(TObject* sender);
  void cbOperator2PropertiesChange(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);

  TLabel* lblTitle = nullptr;
  TBevel* bvlLine = nullptr;
  TLabel* lblColumnCaption = nullptr;
  TcxComboBox* cbOperator1 = nullptr;
  TLabel* lblEdit1PlaceHolder = nullptr;
  TcxRadioButton* rbAnd = nullptr;
  TcxRadioButton* rbOr = nullptr;
  TcxComboBox* cbOperator2 = nullptr;
  TLabel* lblEdit2PlaceHolder = nullptr;
  TLabel* lblSingle = nullptr;
  TLabel* lblSeries = nullptr;
  TcxButton* btnOK = nullptr;
  TcxButton* btnCancel = nullptr;

 private:
  void FillOperators(TcxComboBox* comboBox, const TcxFilterControlOperators& operators, Boolean withEmpty);
  void SelectOperator(TcxComboBox* comboBox, Integer op);
  void UpdateWildcards(TcxCustomEdit* edit);
  void UpdateHints();
  void AddCondition(TcxFilterCriteriaItemList* group, TcxFilterControlOperator op, const Variant& value,
                    const AnsiString& text);

  TcxFilterCriteria* FCriteria = nullptr;
  TcxCustomEdit* FValueEdit1 = nullptr;
  TcxCustomEdit* FValueEdit2 = nullptr;
  TObject* FItem = nullptr;
  TcxCustomEditProperties* FProperties = nullptr;
  TcxCustomFilterEditHelperClass FHelper = nullptr;
  Variant FValue1;
  Variant FValue2;
  AnsiString FText1;
  AnsiString FText2;
  TcxValueTypeClass FValueTypeClass;
};

// False at once when no filter helper serves the properties; otherwise shows the dialog and
// answers whether it closed with OK (the criteria then hold the item's new conditions).
Boolean ShowFilterDialog(TcxFilterCriteria* criteria, TObject* item, TcxCustomEditProperties* properties,
                         TFont* font, TcxLookAndFeel* lookAndFeel, TcxValueTypeClass valueTypeClass,
                         const AnsiString& itemCaption);
// Whether the dialog cannot show the criteria (an empty filter it can).
Boolean IsFilterTooComplexForDialog(TcxFilterCriteria* criteria);
