#include "components/filtercontrol/cxFilterDialog.h"

#include <memory>
#include <set>

#include "components/data/cxFilter.h"
#include "components/data/cxFilterConsts.h"
#include "components/editors-more/cxRadioGroup.h"
#include "components/editors/cxButtons.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxEdit.h"
#include "components/editors/cxTextEdit.h"
#include "components/filtercontrol/cxFilterControlStrs.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"

namespace {

const char* const kFilterDialogFormText =
    "object cxFilterDialog: TcxFilterDialog\n"
    "  Left = 300\n"
    "  Top = 200\n"
    "  ActiveControl = cbOperator1\n"
    "  BorderIcons = [biSystemMenu]\n"
    "  BorderStyle = bsDialog\n"
    "  Caption = 'Custom Filter'\n"
    "  ClientHeight = 206\n"
    "  ClientWidth = 414\n"
    "  Color = clBtnFace\n"
    "  Font.Charset = DEFAULT_CHARSET\n"
    "  Font.Color = clWindowText\n"
    "  Font.Height = -11\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  Font.Style = []\n"
    "  Position = poScreenCenter\n"
    "  OnCloseQuery = FormCloseQuery\n"
    "  PixelsPerInch = 96\n"
    "  object lblTitle: TLabel\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 86\n"
    "    Height = 13\n"
    "    Caption = 'Show rows where:'\n"
    "    Transparent = True\n"
    "  end\n"
    "  object bvlLine: TBevel\n"
    "    Left = 8\n"
    "    Top = 34\n"
    "    Width = 396\n"
    "    Height = 4\n"
    "    Shape = bsTopLine\n"
    "  end\n"
    "  object lblColumnCaption: TLabel\n"
    "    Left = 8\n"
    "    Top = 27\n"
    "    Width = 70\n"
    "    Height = 13\n"
    "    Caption = 'ColumnCaption'\n"
    "    Transparent = True\n"
    "  end\n"
    "  object lblEdit1PlaceHolder: TLabel\n"
    "    Left = 208\n"
    "    Top = 46\n"
    "    Width = 193\n"
    "    Height = 21\n"
    "    AutoSize = False\n"
    "    Visible = False\n"
    "  end\n"
    "  object lblEdit2PlaceHolder: TLabel\n"
    "    Left = 208\n"
    "    Top = 96\n"
    "    Width = 193\n"
    "    Height = 21\n"
    "    AutoSize = False\n"
    "    Visible = False\n"
    "  end\n"
    "  object lblSingle: TLabel\n"
    "    Left = 8\n"
    "    Top = 134\n"
    "    Width = 200\n"
    "    Height = 13\n"
    "    Caption = 'Use ? to represent any single character'\n"
    "  end\n"
    "  object lblSeries: TLabel\n"
    "    Left = 8\n"
    "    Top = 153\n"
    "    Width = 200\n"
    "    Height = 13\n"
    "    Caption = 'Use * to represent any series of characters'\n"
    "  end\n"
    "  object cbOperator1: TcxComboBox\n"
    "    Left = 8\n"
    "    Top = 46\n"
    "    Properties.DropDownListStyle = lsFixedList\n"
    "    TabOrder = 0\n"
    "    Width = 193\n"
    "  end\n"
    "  object rbAnd: TcxRadioButton\n"
    "    Left = 56\n"
    "    Top = 74\n"
    "    Width = 60\n"
    "    Height = 17\n"
    "    Caption = '&And'\n"
    "    Checked = True\n"
    "    TabOrder = 1\n"
    "    TabStop = True\n"
    "    Tag = 1\n"
    "  end\n"
    "  object rbOr: TcxRadioButton\n"
    "    Left = 120\n"
    "    Top = 74\n"
    "    Width = 65\n"
    "    Height = 17\n"
    "    Caption = '&Or'\n"
    "    TabOrder = 2\n"
    "    Tag = 1\n"
    "  end\n"
    "  object cbOperator2: TcxComboBox\n"
    "    Left = 8\n"
    "    Top = 96\n"
    "    Properties.DropDownListStyle = lsFixedList\n"
    "    Properties.OnChange = cbOperator2PropertiesChange\n"
    "    TabOrder = 3\n"
    "    Width = 193\n"
    "  end\n"
    "  object btnOK: TcxButton\n"
    "    Left = 248\n"
    "    Top = 176\n"
    "    Width = 75\n"
    "    Height = 23\n"
    "    Caption = 'OK'\n"
    "    Default = True\n"
    "    ModalResult = 1\n"
    "    TabOrder = 4\n"
    "  end\n"
    "  object btnCancel: TcxButton\n"
    "    Left = 330\n"
    "    Top = 176\n"
    "    Width = 75\n"
    "    Height = 23\n"
    "    Cancel = True\n"
    "    Caption = 'Cancel'\n"
    "    ModalResult = 2\n"
    "    TabOrder = 5\n"
    "  end\n"
    "end\n";

struct TFilterDialogDescription {
  TFilterDialogDescription() { orv::RegisterFormDescription("TcxFilterDialog", kFilterDialogFormText); }
};
const TFilterDialogDescription kFilterDialogDescription;

Boolean IsSimpleCondition(TcxCustomFilterCriteriaItem* item) {
  if (item->IsGroup()) return false;
  return static_cast<TcxFilterCriteriaItem*>(item)->GetOperatorCode() <= focNotLike;
}

TObject* LinkOf(TcxCustomFilterCriteriaItem* item) { return static_cast<TcxFilterCriteriaItem*>(item)->GetLinkedItem(); }

TcxFilterCriteriaItem* FindConditionFor(TcxFilterCriteriaItemList* group, TObject* item) {
  for (Integer i = 0; i < group->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = group->GetItem(i);
    if (child->IsGroup()) {
      if (TcxFilterCriteriaItem* found = FindConditionFor(static_cast<TcxFilterCriteriaItemList*>(child), item))
        return found;
    } else if (LinkOf(child) == item) {
      return static_cast<TcxFilterCriteriaItem*>(child);
    }
  }
  return nullptr;
}

TObject* OperatorObject(Integer op) { return reinterpret_cast<TObject*>(static_cast<intptr_t>(op)); }

}  // namespace

Boolean IsFilterTooComplexForDialog(TcxFilterCriteria* criteria) {
  TcxFilterCriteriaItemList* root = criteria->GetRoot();
  if (root->GetCount() == 0) return false;
  if (root->GetBoolOperator() != fbcAnd) return true;
  std::set<TObject*> seen;
  for (Integer i = 0; i < root->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = root->GetItem(i);
    TObject* item = nullptr;
    if (IsSimpleCondition(child)) {
      item = LinkOf(child);
    } else if (child->IsGroup()) {
      auto* group = static_cast<TcxFilterCriteriaItemList*>(child);
      if (group->GetCount() != 2 || (group->GetBoolOperator() != fbcAnd && group->GetBoolOperator() != fbcOr))
        return true;
      if (!IsSimpleCondition(group->GetItem(0)) || !IsSimpleCondition(group->GetItem(1))) return true;
      item = LinkOf(group->GetItem(0));
      if (LinkOf(group->GetItem(1)) != item) return true;
    } else {
      return true;
    }
    if (!seen.insert(item).second) return true;
  }
  return false;
}

TcxFilterDialog* TcxFilterDialog::Create(TcxFilterCriteria* criteria, TFont* font, TcxLookAndFeel* lookAndFeel,
                                         TcxValueTypeClass valueTypeClass, const AnsiString& itemCaption,
                                         TcxCustomEditProperties* properties, TObject* item) {
  std::unique_ptr<TcxFilterDialog, orv::FreeDeleter> dialog(new TcxFilterDialog(Application));
  dialog->AfterConstruction();
  dialog->FCriteria = criteria;
  dialog->FItem = item;
  dialog->FProperties = properties;
  dialog->FValueTypeClass = valueTypeClass;
  dialog->FHelper = FilterEditsController()->FindFilterEditHelper(properties->ClassType());
  if (!dialog->FHelper) dialog->FHelper = FilterTextEditHelper();
  dialog->SetCaption(GetLocalizedResourceString(&cxSFilterDialogCaption));
  dialog->Initialize(itemCaption);
  if (lookAndFeel) dialog->SetLookAndFeel(lookAndFeel);
  if (font) ApplyFontToForm(dialog.get(), font);
  dialog->LoadFromCriteria();
  return dialog.release();
}

void TcxFilterDialog::BeforeDestruction() {
  FreeAndNil(FValueEdit1);
  FreeAndNil(FValueEdit2);
  inherited::BeforeDestruction();
}

TcxComboBox* TcxFilterDialog::GetOperatorComboBox(TcxCustomEdit* edit) {
  return edit == FValueEdit1 ? cbOperator1 : cbOperator2;
}

void TcxFilterDialog::GetSupportedOperators(TcxFilterControlOperators& operators) {
  FHelper->GetSupportedOperators(FProperties, FValueTypeClass, operators, false);
  if (!FCriteria->GetSupportedLike()) {
    operators.Exclude(fcopLike);
    operators.Exclude(fcopNotLike);
  }
}

void TcxFilterDialog::FillOperators(TcxComboBox* comboBox, const TcxFilterControlOperators& operators,
                                    Boolean withEmpty) {
  TStrings* items = comboBox->GetProperties()->GetItems();
  items->Clear();
  if (withEmpty) items->AddObject("", nullptr);
  for (Integer op = 1; op < kFilterControlOperatorCount; ++op)
    if (operators.Contains(op)) items->AddObject(GetFilterControlOperatorText(op), OperatorObject(op));
  comboBox->GetProperties()->SetDropDownRows(items->GetCount());
}

void TcxFilterDialog::Initialize(const AnsiString& itemCaption) {
  lblTitle->SetCaption(GetLocalizedResourceString(&cxSFilterDialogRows));
  lblColumnCaption->SetCaption(itemCaption + " ");
  const Integer right = bvlLine->GetLeft() + bvlLine->GetWidth();
  const Integer left = lblColumnCaption->GetLeft() + lblColumnCaption->GetWidth();
  bvlLine->SetBounds(left, bvlLine->GetTop(), std::max<Integer>(right - left, 0), bvlLine->GetHeight());
  rbAnd->SetCaption(GetLocalizedResourceString(&cxSFilterDialogOperationAnd));
  rbOr->SetCaption(GetLocalizedResourceString(&cxSFilterDialogOperationOr));
  const AnsiString use = GetLocalizedResourceString(&cxSFilterDialogUse);
  lblSingle->SetCaption(use + " " + FCriteria->GetUnderscoreWildcard() + " " +
                        GetLocalizedResourceString(&cxSFilterDialogSingleCharacter));
  lblSeries->SetCaption(use + " " + FCriteria->GetPercentWildcard() + " " +
                        GetLocalizedResourceString(&cxSFilterDialogCharactersSeries));
  btnOK->SetCaption(GetLocalizedResourceString(&cxSFilterControlDialogActionOkCaption));
  btnCancel->SetCaption(GetLocalizedResourceString(&cxSFilterControlDialogActionCancelCaption));

  TcxFilterControlOperators operators;
  GetSupportedOperators(operators);
  FillOperators(cbOperator1, operators, false);
  FillOperators(cbOperator2, operators, true);
  cbOperator1->SetOnClick(TNotifyEvent(this, &TcxFilterDialog::cbOperator1Click));
  cbOperator1->GetProperties()->SetOnChange(TNotifyEvent(this, &TcxFilterDialog::cbOperator1Click));
  cbOperator2->GetProperties()->SetOnChange(TNotifyEvent(this, &TcxFilterDialog::cbOperator2PropertiesChange));

  auto place = [&](TLabel* holder, TcxComboBox* comboBox) {
    TcxCustomEdit* edit = GetFilterEdit(FHelper, FProperties, nullptr);
    edit->SetBounds(holder->GetLeft(), holder->GetTop(), holder->GetWidth(), holder->GetHeight());
    edit->SetParent(this);
    edit->SetTabOrder(comboBox->GetTabOrder() + 1);
    return edit;
  };
  FValueEdit1 = place(lblEdit1PlaceHolder, cbOperator1);
  rbAnd->SetTabOrder(FValueEdit1->GetTabOrder() + 1);
  FValueEdit2 = place(lblEdit2PlaceHolder, cbOperator2);
}

void TcxFilterDialog::SetLookAndFeel(TcxLookAndFeel* value) {
  cbOperator1->GetStyle()->GetLookAndFeel()->Assign(value);
  cbOperator2->GetStyle()->GetLookAndFeel()->Assign(value);
  rbAnd->SetLookAndFeel(value);
  rbOr->SetLookAndFeel(value);
  btnOK->SetLookAndFeel(value);
  btnCancel->SetLookAndFeel(value);
  if (FValueEdit1) FValueEdit1->GetStyle()->GetLookAndFeel()->Assign(value);
  if (FValueEdit2) FValueEdit2->GetStyle()->GetLookAndFeel()->Assign(value);
}

void TcxFilterDialog::SelectOperator(TcxComboBox* comboBox, Integer op) {
  TStrings* items = comboBox->GetProperties()->GetItems();
  for (Integer i = 0; i < items->GetCount(); ++i)
    if (items->GetObject(i) == OperatorObject(op)) {
      comboBox->SetItemIndexProperty(i);
      return;
    }
}

TcxFilterControlOperator TcxFilterDialog::OperatorOf(TcxComboBox* comboBox) {
  const Integer index = comboBox->GetItemIndexProperty();
  TStrings* items = comboBox->GetProperties()->GetItems();
  if (index < 0 || index >= items->GetCount()) return fcopNone;
  return TcxFilterControlOperator(reinterpret_cast<intptr_t>(items->GetObject(index)));
}

void TcxFilterDialog::LoadFromCriteria() {
  TcxFilterControlOperators operators;
  GetSupportedOperators(operators);
  const Boolean isString = FValueTypeClass.Get() && FValueTypeClass->IsString();
  if (operators.Contains(fcopLike) && isString)
    SelectOperator(cbOperator1, fcopLike);
  else if (operators.Contains(fcopEqual))
    SelectOperator(cbOperator1, fcopEqual);
  else
    cbOperator1->SetItemIndexProperty(0);
  cbOperator2->SetItemIndexProperty(0);
  if (TcxFilterCriteriaItem* condition = FindConditionFor(FCriteria->GetRoot(), FItem)) {
    auto load = [&](TcxFilterCriteriaItem* c, TcxComboBox* comboBox, TcxCustomEdit* edit) {
      const Boolean isNull = VarIsNull(c->GetValue()) || VarIsEmpty(c->GetValue());
      SelectOperator(comboBox, OperatorKindToFilterControlOperator(c->GetOperatorCode(), isNull));
      FHelper->SetEditValue(edit, edit->GetEffectiveProperties(), c->GetValue());
    };
    load(condition, cbOperator1, FValueEdit1);
    TcxFilterCriteriaItemList* group = condition->GetParent();
    if (group && group != FCriteria->GetRoot() && group->GetCount() > 1) {
      rbAnd->SetChecked(group->GetBoolOperator() == fbcAnd);
      rbOr->SetChecked(group->GetBoolOperator() != fbcAnd);
      TcxCustomFilterCriteriaItem* second = group->GetItem(1);
      if (second == condition) second = group->GetItem(0);
      if (!second->IsGroup()) load(static_cast<TcxFilterCriteriaItem*>(second), cbOperator2, FValueEdit2);
    }
  }
  UpdateWildcards(FValueEdit1);
  UpdateWildcards(FValueEdit2);
  UpdateHints();
}

void TcxFilterDialog::UpdateWildcards(TcxCustomEdit* edit) {
  auto* properties = edit ? dynamic_cast<TcxCustomTextEditProperties*>(edit->GetEffectiveProperties()) : nullptr;
  if (!properties) return;
  const TcxFilterControlOperator op = OperatorOf(GetOperatorComboBox(edit));
  TcxCharSet chars = properties->GetExtraValidChars();
  const auto percent = static_cast<unsigned char>(FCriteria->GetPercentWildcard());
  const auto underscore = static_cast<unsigned char>(FCriteria->GetUnderscoreWildcard());
  const Boolean like = op == fcopLike || op == fcopNotLike;
  chars.set(percent, like);
  chars.set(underscore, like);
  properties->SetExtraValidChars(chars);
}

void TcxFilterDialog::UpdateHints() {
  const TcxFilterControlOperator op1 = OperatorOf(cbOperator1);
  const TcxFilterControlOperator op2 = OperatorOf(cbOperator2);
  const Boolean like = op1 == fcopLike || op1 == fcopNotLike || op2 == fcopLike || op2 == fcopNotLike;
  lblSingle->SetVisible(like);
  lblSeries->SetVisible(like);
}

void TcxFilterDialog::cbOperator1Click(TObject* sender) {
  UpdateWildcards(FValueEdit1);
  UpdateHints();
}

void TcxFilterDialog::cbOperator2PropertiesChange(TObject* sender) {
  UpdateWildcards(FValueEdit2);
  UpdateHints();
}

void TcxFilterDialog::FormCloseQuery(TObject* sender, bool& canClose) {
  if (GetModalResult() != mrOk) return;
  canClose = false;
  FValueEdit1->ValidateEditValue(true);
  FValueEdit2->ValidateEditValue(true);
  if (btnOK->CanFocus()) btnOK->SetFocus();
  auto read = [&](TcxCustomEdit* edit, TcxComboBox* comboBox, Variant& value, AnsiString& text) {
    value = Null();
    text.clear();
    if (comboBox->GetItemIndexProperty() < 0) return;
    FHelper->GetEditValueAndText(edit, edit->GetEffectiveProperties(), text, value);
    ValidateFilterValue(edit, value, OperatorOf(comboBox), FValueTypeClass, FHelper);
  };
  read(FValueEdit1, cbOperator1, FValue1, FText1);
  read(FValueEdit2, cbOperator2, FValue2, FText2);
  canClose = true;
}

void TcxFilterDialog::AddCondition(TcxFilterCriteriaItemList* group, TcxFilterControlOperator op,
                                   const Variant& value, const AnsiString& text) {
  if (op == fcopNone) return;
  Variant v = value;
  if (op == fcopBlanks || op == fcopNonBlanks) v = Null();
  const TcxFilterOperatorCode kind = FilterControlOperatorToOperatorKind(op);
  const Boolean blank = VarIsNull(v) || VarIsEmpty(v) || (VarIsStr(v) && VarToStr(v).empty());
  const AnsiString displayText = blank ? FilterCaptionText(&cxSFilterBlankCaption) : text;
  FCriteria->AddItem(group, FItem, kind, v, displayText);
}

void TcxFilterDialog::ApplyChanges() {
  FCriteria->LockChanges();
  try {
    FCriteria->GetRoot()->SetBoolOperator(fbcAnd);
    FCriteria->RemoveItemsByLink(FItem);
    const TcxFilterControlOperator op2 = OperatorOf(cbOperator2);
    if (cbOperator2->GetItemIndexProperty() > 0 && op2 != fcopNone) {
      TcxFilterCriteriaItemList* group = FCriteria->GetRoot()->AddGroup(rbOr->GetChecked() ? fbcOr : fbcAnd);
      AddCondition(group, OperatorOf(cbOperator1), FValue1, FText1);
      AddCondition(group, op2, FValue2, FText2);
    } else {
      AddCondition(FCriteria->GetRoot(), OperatorOf(cbOperator1), FValue1, FText1);
    }
  } catch (...) {
    FCriteria->UnlockChanges();
    throw;
  }
  FCriteria->UnlockChanges();
}

Boolean ShowFilterDialog(TcxFilterCriteria* criteria, TObject* item, TcxCustomEditProperties* properties,
                         TFont* font, TcxLookAndFeel* lookAndFeel, TcxValueTypeClass valueTypeClass,
                         const AnsiString& itemCaption) {
  if (!properties || !FilterEditsController()->FindFilterEditHelper(properties->ClassType())) return false;
  std::unique_ptr<TcxFilterDialog, orv::FreeDeleter> dialog(
      TcxFilterDialog::Create(criteria, font, lookAndFeel, valueTypeClass, itemCaption, properties, item));
  const Boolean ok = dialog->ShowModal() == mrOk;
  if (ok) dialog->ApplyChanges();
  return ok;
}

ORV_PUBLISH(TcxFilterDialog) {
  using T = TcxFilterDialog;
  p.Method("cbOperator1Click", &T::cbOperator1Click);
  p.Method("cbOperator2PropertiesChange", &T::cbOperator2PropertiesChange);
  p.Method("FormCloseQuery", &T::FormCloseQuery);
  p.Field("lblTitle", &T::lblTitle);
  p.Field("bvlLine", &T::bvlLine);
  p.Field("lblColumnCaption", &T::lblColumnCaption);
  p.Field("cbOperator1", &T::cbOperator1);
  p.Field("lblEdit1PlaceHolder", &T::lblEdit1PlaceHolder);
  p.Field("rbAnd", &T::rbAnd);
  p.Field("rbOr", &T::rbOr);
  p.Field("cbOperator2", &T::cbOperator2);
  p.Field("lblEdit2PlaceHolder", &T::lblEdit2PlaceHolder);
  p.Field("lblSingle", &T::lblSingle);
  p.Field("lblSeries", &T::lblSeries);
  p.Field("btnOK", &T::btnOK);
  p.Field("btnCancel", &T::btnCancel);
}
