#include "components/editors-more/cxMRUEdit.h"

#include "components/editors/cxEditConsts.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"

namespace {

const bool kMRUEditRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxMRUEditProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryMRUItem));
  FilterEditsController()->AddHelperClass(TcxMRUEditProperties::StaticClass(), TcxFilterTextEditHelper::StaticClass());
  return true;
}();

}  // namespace

TcxCustomMRUEditProperties::TcxCustomMRUEditProperties(TPersistent* owner) : TcxCustomComboBoxProperties(owner) {
  TcxEditButton* ellipsis = GetButtons()->Add();
  SetGlyphButtonIndex(1);
  ellipsis->SetKind(bkEllipsis);
  ellipsis->SetDefault(true);
  SetDropDownListStyle(lsEditList);
  SetRecentItemsMode(true);
}

TcxCustomEditClass TcxCustomMRUEditProperties::GetEditClass() { return TcxMRUEdit::StaticClass(); }

void TcxCustomMRUEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomMRUEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetMaxItemCount(s->FMaxItemCount);
    SetShowEllipsis(s->FShowEllipsis);
    FOnButtonClick = s->FOnButtonClick;
    FOnDeleteLookupItem = s->FOnDeleteLookupItem;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomMRUEditProperties::TrimToMaxItemCount() {
  if (FMaxItemCount <= 0) return;
  TStrings* items = GetLookupItems();
  while (items->GetCount() > FMaxItemCount) {
    const Integer last = items->GetCount() - 1;
    if (FOnDeleteLookupItem) FOnDeleteLookupItem(this, last);
    items->Delete(last);
  }
}

void TcxCustomMRUEditProperties::SetMaxItemCount(Integer value) {
  if (value < 0) value = 0;
  if (value == FMaxItemCount) return;
  FMaxItemCount = value;
  TrimToMaxItemCount();
  Changed();
}

void TcxCustomMRUEditProperties::SetShowEllipsis(Boolean value) {
  if (value == FShowEllipsis) return;
  BeginUpdate();
  FShowEllipsis = value;
  if (GetButtons()->GetCount() > 1) GetButtons()->GetItem(1)->SetVisible(value);
  SetGlyphButtonIndex(value ? 1 : 0);
  EndUpdate();
}

void TcxCustomMRUEditProperties::AddRecentItem(const AnsiString& text, Boolean fire) {
  if (text.empty()) return;
  TStrings* items = GetLookupItems();
  const Integer index = items->IndexOf(text);
  if (index == 0) return;
  if (index < 0) {
    if (fire) FireNewLookupDisplayText(text);
    items->Insert(0, text);
    TrimToMaxItemCount();
  } else {
    items->Move(index, 0);
  }
}

// ==== Editor ===================================================================================

TcxCustomEditPropertiesClass TcxCustomMRUEdit::GetPropertiesClass() {
  return TcxCustomMRUEditProperties::StaticClass();
}

TcxCustomEditPropertiesClass TcxMRUEdit::GetPropertiesClass() { return TcxMRUEditProperties::StaticClass(); }

void TcxCustomMRUEdit::AddText(const AnsiString& text) {
  if (text.empty()) return;
  if (MRUProperties()->GetLookupItems()->IndexOf(text) < 0) DoNewLookupDisplayText(text);
  // A changed item list is a properties change, which shows the edit value again. A text confirmed
  // by Enter has not reached the edit value yet: without care the old value came back into the
  // editor and the lookup list, synced with it, handed its row to the drop-down's Enter handling.
  // So the typed text, its selection and the modified flags stay, and the list follows that text.
  const AnsiString shown = GetText();
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  const Integer selStart = inner ? inner->GetSelStart() : 0;
  const Integer selLength = inner ? inner->GetSelLength() : 0;
  const Boolean wasSuppressed = GetLookupSyncSuppressed();
  orv::TObjectLinkGuard guard(this);
  SaveModifiedFlags();
  SetLookupSyncSuppressed(true);
  try {
    MRUProperties()->AddRecentItem(text, false);
  } catch (...) {
    if (guard.Alive()) {
      SetLookupSyncSuppressed(wasSuppressed);
      RestoreModifiedFlags();
    }
    throw;
  }
  if (!guard.Alive()) return;
  if (GetText() != shown && inner) {
    SetInnerDisplayValue(Variant(shown));
    inner->SetSelStart(selStart);
    inner->SetSelLength(selLength);
  }
  SetLookupSyncSuppressed(wasSuppressed);
  RestoreModifiedFlags();
  if (IcxTextEditLookupData* data = GetLookupDataInterface()) data->SyncWithEditText();
}

void TcxCustomMRUEdit::DoButtonClick(Integer index) {
  if (index != 1) return;
  auto* own = static_cast<TcxCustomMRUEditProperties*>(GetProperties());
  if (own->GetOnButtonClick()) own->GetOnButtonClick()(this);
  TcxCustomMRUEditProperties* effective = MRUProperties();
  if (GetRepositoryItem() && effective != own && effective->GetOnButtonClick()) effective->GetOnButtonClick()(this);
}

void TcxCustomMRUEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  if (key == VK_RETURN && !shift.Contains(ssAlt) && !(HasOpenPopup() && GetLookupData() && GetLookupData()->GetCurrentItem() >= 0))
    AddText(GetText());
  inherited::DoEditKeyDown(key, shift);
}

void TcxCustomMRUEdit::ApplyValidatedDisplayValue(const Variant& value) {
  AddText(VarToStr(value));
  inherited::ApplyValidatedDisplayValue(value);
}

void TcxCustomMRUEdit::LookupDataSelectItem(TObject* sender) {
  inherited::LookupDataSelectItem(sender);
  if (CanModify() && !GetNavigatingLookupItems()) AddText(GetText());
}

// ==== Published ================================================================================

ORV_PUBLISH(TcxMRUEditProperties) {
  using T = TcxMRUEditProperties;
  p.Property("ClickKey", &T::GetClickKey, &T::SetClickKey).Default(TShortCut(16397));
  p.Property("LookupItems", &T::GetLookupItems, &T::SetLookupItems);
  p.Property("MaxItemCount", &T::GetMaxItemCount, &T::SetMaxItemCount).Default(0);
  p.Property("ShowEllipsis", &T::GetShowEllipsis, &T::SetShowEllipsis).Default(true);
  p.Property("OnButtonClick", &T::GetOnButtonClick, &T::SetOnButtonClick);
  p.Property("OnDeleteLookupItem", &T::GetOnDeleteLookupItem, &T::SetOnDeleteLookupItem);
}

ORV_PUBLISH(TcxMRUEdit) {
  using T = TcxMRUEdit;
  p.Property("Properties", [](T* x) { return x->GetProperties(); },
             [](T* x, TcxMRUEditProperties* v) { x->SetProperties(v); });
  p.Property("Text", [](T* x) { return x->GetTextProperty(); }, [](T* x, AnsiString v) { x->SetTextProperty(v); });
}
