#include "components/editors-more/cxLookupEdit.h"

#include <algorithm>

#include "components/data/cxCustomData.h"
#include "components/data/cxVariants.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

// Raises the properties' list lock for a scope: changes the lookup data makes to the list do
// not come back to it as the list's data changes.
class TLookupListLock {
 public:
  explicit TLookupListLock(TcxCustomLookupEditProperties* properties) : FProperties(properties) {
    FProperties->LockList();
  }
  ~TLookupListLock() { FProperties->UnlockList(); }
  TLookupListLock(const TLookupListLock&) = delete;
  TLookupListLock& operator=(const TLookupListLock&) = delete;

 private:
  TcxCustomLookupEditProperties* FProperties;
};

}  // namespace

// ==== Properties ===============================================================================

TcxCustomLookupEditProperties::TcxCustomLookupEditProperties(TPersistent* owner)
    : TcxCustomComboBoxProperties(owner) {
  SetPopupHeight(0);
  SetPopupWidth(0);
  SetDropDownListStyle(lsEditFixedList);
  SetPopupAutoSize(false);
  SetPopupSizeable(false);
}

void TcxCustomLookupEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomLookupEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    if (!HasLookupFieldDefinition()) SetListFieldIndexValue(s->GetListFieldIndexValue());
    FIncrementalFiltering = s->FIncrementalFiltering;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TcxCustomEditClass TcxCustomLookupEditProperties::GetEditClass() { return TcxCustomLookupEdit::StaticClass(); }
TClass TcxCustomLookupEditProperties::GetLookupDataClass() { return TcxCustomLookupEditLookupData::StaticClass(); }

Word TcxCustomLookupEditProperties::GetCapabilities() {
  Word result = inherited::GetCapabilities();
  if (GetValueExchangeMode(false) == 0) result = Word(result | 512);
  return result;
}

void TcxCustomLookupEditProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue,
                                                            Boolean focused) {
  if (EditsKeyAsText() || (IsLookupFieldBound() && !focused)) {
    inherited::EditValueToDisplayValue(value, displayValue, focused);
    return;
  }
  displayValue = Variant(GetKeyDisplayText(value));
}

Boolean TcxCustomLookupEditProperties::IsLookupText(const AnsiString& text) {
  return GetEffectiveListFieldIndex() != -1 && GetListDataController() &&
         FindRecordIndexByText(GetEffectiveListFieldIndex(), text, false) != -1;
}

Boolean TcxCustomLookupEditProperties::IsLookupNavigationKey(Word key, TShiftState shift) {
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: return !shift.Contains(ssAlt);
    case VK_END:
    case VK_HOME: return shift.Contains(ssCtrl);
    default: return false;
  }
}

void TcxCustomLookupEditProperties::RemoveDataChangedHandler() {
  if (TcxCustomDataController* dc = GetListDataController())
    dc->RemoveDataChangedListener(this, TNotifyEvent(this, &TcxCustomLookupEditProperties::ListDataChanged));
}

void TcxCustomLookupEditProperties::AddDataChangedHandler() {
  if (TcxCustomDataController* dc = GetListDataController())
    dc->AddDataChangedListener(this, TNotifyEvent(this, &TcxCustomLookupEditProperties::ListDataChanged));
}

Integer TcxCustomLookupEditProperties::FindRecordIndexByText(Integer listFieldIndex, const AnsiString& text,
                                                             Boolean partial) {
  TcxCustomDataController* dc = GetListDataController();
  if (!dc || listFieldIndex < 0) return -1;
  return dc->FindRecordByText(0, listFieldIndex, text, partial, false, true);
}

Integer TcxCustomLookupEditProperties::GetEffectiveListFieldIndex() {
  const Integer index = GetListFieldIndexValue();
  return index < GetListColumnCount() ? index : GetListColumnCount() - 1;
}

void TcxCustomLookupEditProperties::ListDataChanged(TObject* sender) {
  if (FInDataChange || IsListLocked() || IsListDataChangeLocked()) return;
  FInDataChange = true;
  try {
    Changed();
  } catch (...) {
    FInDataChange = false;
    throw;
  }
  FInDataChange = false;
}

Boolean TcxCustomLookupEditProperties::IsListDataChangeLocked() {
  TcxCustomDataController* dc = GetListDataController();
  return dc && dc->IsDataChangeLocked();
}

void TcxCustomLookupEditProperties::LockListDataChanged() {
  if (TcxCustomDataController* dc = GetListDataController()) dc->LockDataChangedNotify();
}

void TcxCustomLookupEditProperties::UnlockListDataChanged() {
  if (TcxCustomDataController* dc = GetListDataController()) dc->UnlockDataChangedNotify();
}

void TcxCustomLookupEditProperties::SetListFieldIndexValue(Integer index) {
  index = std::max(0, std::min(index, GetListColumnCount() - 1));
  if (index == FListFieldIndex) return;
  FListFieldIndex = index;
  Changed();
}

void TcxCustomLookupEditProperties::ReleaseList() {
  if (TWinControl* grid = GetLookupGrid()) grid->SetParent(nullptr);
}

// ==== Lookup data ==============================================================================

TcxCustomLookupEdit* TcxCustomLookupEditLookupData::Edit() {
  return dynamic_cast<TcxCustomLookupEdit*>(OwnerEditor());
}

TcxCustomLookupEditProperties* TcxCustomLookupEditLookupData::LookupProperties() {
  return static_cast<TcxCustomLookupEditProperties*>(Edit()->GetEffectiveProperties());
}

TcxCustomDataController* TcxCustomLookupEditLookupData::DataController() {
  return LookupProperties()->GetListDataController();
}

Boolean TcxCustomLookupEditLookupData::AdjustListSize(TSize& size, Integer maxHeight, Integer maxWidth) {
  if (maxHeight > 0 && maxHeight < size.cy) size.cy = maxHeight;
  if (LookupProperties()->SnapsListHeight()) size.cy = LookupProperties()->SnapListHeight(size.cy);
  return true;
}

void TcxCustomLookupEditLookupData::ClosePopupList() {
  TcxCustomLookupEditProperties* p = LookupProperties();
  TLookupListLock lock(p);
  ResetIncrementalFilter();
  FListVisible = false;
  p->HookListEvents(TNotifyEvent(), TNotifyEvent(), orv::Event<void(TObject*, Boolean)>());
  p->ListHiding();
  p->ListClosed();
  p->UnlockListDataChanged();
}

void TcxCustomLookupEditLookupData::ReleaseList() { LookupProperties()->ReleaseList(); }

void TcxCustomLookupEditLookupData::InitializePopup() {
  TcxCustomLookupEditProperties* p = LookupProperties();
  TLookupListLock lock(p);
  p->LockListDataChanged();
  p->BeforeListInitialize();
  p->HookListEvents(TNotifyEvent(this, &TcxCustomLookupEditLookupData::ListConfirmHandler),
                    TNotifyEvent(this, &TcxCustomLookupEditLookupData::ListFocusedRowHandler),
                    orv::Event<void(TObject*, Boolean)>(this, &TcxCustomLookupEditLookupData::ListCloseUpHandler));
  TcxCustomLookupEdit* edit = Edit();
  p->ApplyListAppearance(edit->GetPopupLookAndFeel(), edit->GetBackgroundColor(), edit->GetActiveFont());
  p->ListShowing();
  FListVisible = true;
  SyncListToKey();
  UpdateFromEditText();
}

void TcxCustomLookupEditLookupData::SyncListWithText(const AnsiString& text) { LookupProperties()->SyncListWithText(text); }

Boolean TcxCustomLookupEditLookupData::ContainsText(const AnsiString& text) { return LookupProperties()->IsLookupText(text); }

TWinControl* TcxCustomLookupEditLookupData::GetListControl() { return LookupProperties()->GetListActiveControl(); }

AnsiString TcxCustomLookupEditLookupData::GetKeyDisplayText(const Variant& key) {
  return LookupProperties()->GetKeyDisplayText(key);
}

TSize TcxCustomLookupEditLookupData::GetListPreferredSize() {
  TcxCustomLookupEditProperties* p = LookupProperties();
  Integer rows = p->GetDropDownRows();
  if (TcxCustomDataController* dc = DataController()) rows = std::min(rows, dc->GetRowCount());
  rows = std::max(rows, 1);
  return TSize{p->GetListWidth(), p->GetListHeightForRows(rows)};
}

void TcxCustomLookupEditLookupData::MoveListFocus(Integer direction, Boolean cycle) {
  TcxCustomDataController* dc = DataController();
  if (!dc || dc->GetRecordCount() == 0) return;
  TcxCustomLookupEditProperties* p = LookupProperties();
  {
    TLookupListLock lock(p);
    ResetIncrementalFilter();
    UpdateDropDownHeight();
    p->LockListDataChanged();
    try {
      switch (direction) {
        case cxLookupFirst: dc->GotoFirst(); break;
        case cxLookupLast: dc->GotoLast(); break;
        default: {
          SyncListToKey();
          const Integer rows = p->GetDropDownRows();
          const Boolean hasFocus = dc->GetFocusedRowIndex() != -1;
          if (direction == cxLookupNext || direction == cxLookupPageDown) {
            if (!hasFocus) dc->GotoFirst();
            else if (cycle && dc->IsEOF()) dc->GotoFirst();
            else if (direction == cxLookupNext) dc->GotoNext();
            else dc->MoveBy(rows);
          } else {
            if (!hasFocus) dc->GotoLast();
            else if (cycle && dc->IsBOF()) dc->GotoLast();
            else if (direction == cxLookupPrev) dc->GotoPrev();
            else dc->MoveBy(-rows);
          }
          break;
        }
      }
    } catch (...) {
      p->UnlockListDataChanged();
      throw;
    }
    p->UnlockListDataChanged();
  }
  SetKeyFromRecord(dc->GetFocusedRecordIndex());
  if (dc->GetFocusedRecordIndex() != -1) MarkFocusedRowSelected(true);
  DoItemSelected();
}

void TcxCustomLookupEditLookupData::PrepareList(TWinControl* parent) {
  if (TWinControl* list = GetListControl()) list->SetParent(parent);
}

Boolean TcxCustomLookupEditLookupData::IsListEmpty() {
  TcxCustomDataController* dc = DataController();
  return !(LookupProperties()->GetEffectiveListFieldIndex() != -1 && dc && dc->GetRecordCount() > 0);
}

Boolean TcxCustomLookupEditLookupData::IsRowAtPoint(const TPoint& screenPoint) {
  TWinControl* list = GetListControl();
  if (!list) return false;
  return LookupProperties()->IsRowAtPoint(list->ScreenToClient(screenPoint));
}

Boolean TcxCustomLookupEditLookupData::LocateText(AnsiString& text, AnsiString& tail, Boolean exact) {
  tail.clear();
  TcxCustomLookupEditProperties* p = LookupProperties();
  TLookupListLock lock(p);
  const Integer i = p->GetEffectiveListFieldIndex();
  TcxCustomDataController* dc = DataController();
  if (i == -1 || !dc) return false;
  Integer record;
  if (FListVisible && p->GetIncrementalFiltering()) {
    if (!text.empty()) {
      const AnsiString previous = dc->GetIncrementalFilterText();
      record = dc->SetIncrementalFilter(i, text);
      if (dc->GetRowCount() == 0) {
        if (p->GetDropDownListStyle() != lsEditList && !previous.empty()) dc->SetIncrementalFilter(i, previous);
        else if (p->GetDropDownListStyle() != lsEditList) dc->ResetIncrementalFilter();
        record = -1;
      }
    } else {
      dc->ResetIncrementalFilter();
      record = p->FindRecordIndexByText(i, text, true);
    }
    UpdateDropDownHeight();
  } else {
    record = p->FindRecordIndexByText(i, text, true);
  }
  if (record == -1) {
    MarkFocusedRowSelected(false);
    return false;
  }
  dc->ChangeFocusedRecordIndex(record);
  SetKeyFromRecord(record);
  const AnsiString display = dc->GetDisplayText(record, i);
  const std::size_t n = std::min(text.size(), display.size());
  text = display.substr(0, n);
  tail = display.substr(n);
  MarkFocusedRowSelected(true);
  return true;
}

void TcxCustomLookupEditLookupData::SetListBounds(const TRect& rect) {
  TWinControl* list = GetListControl();
  if (!list) return;
  list->SetBounds(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
  list->HandleNeeded();
  LookupProperties()->MakeFocusedRowVisible();
}

void TcxCustomLookupEditLookupData::ConfirmItem() {
  if (!IsFocusedRowSelected()) return;
  SetKeyFromRecord(DataController()->GetFocusedRecordIndex());
  DoItemSelected();
}

void TcxCustomLookupEditLookupData::SetKey(const Variant& key) {
  FCurrentKey = key;
  SyncListToKey();
}

void TcxCustomLookupEditLookupData::SyncWithEditText() {
  TLookupListLock lock(LookupProperties());
  UpdateFromEditText();
}

void TcxCustomLookupEditLookupData::DoKeyChanged() {
  if (TNotifyEvent e = GetOnKeyChanged()) e(this);
}

void TcxCustomLookupEditLookupData::DoItemSelected() {
  if (TNotifyEvent e = GetOnSelectItem()) e(this);
}

void TcxCustomLookupEditLookupData::SetKeyFromRecord(Integer recordIndex) {
  FCurrentKey = recordIndex < 0 ? Null() : Variant(recordIndex);
}

void TcxCustomLookupEditLookupData::FocusRecordOfKey() {
  TcxCustomDataController* dc = DataController();
  if (!dc) return;
  const Integer record = VarIsNull(FCurrentKey) || VarIsEmpty(FCurrentKey) ? -1 : FCurrentKey.AsInteger();
  dc->ChangeFocusedRecordIndex(record);
}

void TcxCustomLookupEditLookupData::ListCloseUpHandler(TObject* sender, Boolean accept) {
  Edit()->CloseUp(accept ? dcrAccept : dcrCancel);
}

Boolean TcxCustomLookupEditLookupData::IsFocusedRowSelected() {
  TcxCustomDataController* dc = DataController();
  return dc && dc->GetSelectedCount() == 1 && dc->GetSelectedRowIndex(0) == dc->GetFocusedRowIndex();
}

void TcxCustomLookupEditLookupData::MarkFocusedRowSelected(Boolean selected) {
  if (TcxCustomDataController* dc = DataController()) dc->SetFocusedSelected(selected);
}

Boolean TcxCustomLookupEditLookupData::LocateDisplayText(const AnsiString& text) {
  TcxCustomLookupEditProperties* p = LookupProperties();
  const Integer i = p->GetEffectiveListFieldIndex();
  TcxCustomDataController* dc = DataController();
  if (i == -1 || !dc) return false;
  const Integer record = p->FindRecordIndexByText(i, text, false);
  if (record == -1) {
    MarkFocusedRowSelected(false);
    return false;
  }
  dc->ChangeFocusedRecordIndex(record);
  SetKeyFromRecord(record);
  MarkFocusedRowSelected(true);
  return true;
}

void TcxCustomLookupEditLookupData::ResetIncrementalFilter() {
  if (TcxCustomDataController* dc = DataController()) dc->ResetIncrementalFilter();
}

void TcxCustomLookupEditLookupData::SyncListToKey() {
  FocusRecordOfKey();
  LookupProperties()->MakeFocusedRowVisible();
}

void TcxCustomLookupEditLookupData::UpdateFromEditText() {
  TcxCustomLookupEditProperties* p = LookupProperties();
  if (p->IsInListDataChanged()) return;
  TcxCustomDataController* dc = DataController();
  const AnsiString text = Edit()->GetText();
  if (FListVisible && p->GetIncrementalFiltering() && dc && dc->HasIncrementalFilter() &&
      dc->GetIncrementalFilterText() != text) {
    const Integer item = dc->GetIncrementalFilterItemIndex();
    if (text.empty()) dc->ResetIncrementalFilter();
    else dc->SetIncrementalFilter(item, text);
    UpdateDropDownHeight();
  }
  Boolean found = false;
  const Integer i = p->GetEffectiveListFieldIndex();
  if (dc && i != -1) {
    const Integer focused = dc->GetFocusedRecordIndex();
    if (focused != -1) found = AnsiUpperCase(dc->GetDisplayText(focused, i)) == AnsiUpperCase(text);
    if (!found || !FListVisible) {
      const Integer record = p->FindRecordIndexByText(i, text, false);
      if (record != -1) {
        dc->ChangeFocusedRecordIndex(record);
        SetKeyFromRecord(record);
        found = true;
      }
    }
  }
  MarkFocusedRowSelected(found);
}

void TcxCustomLookupEditLookupData::UpdateDropDownHeight() {
  TcxCustomLookupEdit* edit = Edit();
  TcxCustomDataController* dc = DataController();
  if (!FListVisible || !edit->HasOpenPopup() || !dc) return;
  TcxCustomLookupEditProperties* p = LookupProperties();
  const Integer rows = std::max(1, std::min(dc->GetRowCount(), p->GetDropDownRows()));
  const Integer h = p->GetListHeightForRows(rows);
  TWinControl* list = GetListControl();
  if (list && h != list->GetClientHeight()) {
    p->SetPopupHeight(0);
    edit->SetupPopupWindow();
  }
}

// ==== The editor ===============================================================================

TcxCustomEditPropertiesClass TcxCustomLookupEdit::GetPropertiesClass() {
  return TcxCustomLookupEditProperties::StaticClass();
}

void TcxCustomLookupEdit::ReleaseOwnList() {
  if (!GetPopupWindow()) return;
  for (TcxCustomEditProperties* p : {GetProperties(), GetEffectiveProperties()}) {
    auto* lookup = dynamic_cast<TcxCustomLookupEditProperties*>(p);
    TWinControl* list = lookup ? lookup->GetLookupGrid() : nullptr;
    if (list && list->GetParent() == GetPopupWindow()) list->SetParent(nullptr);
  }
}

void TcxCustomLookupEdit::BeforeDestruction() {
  ReleaseOwnList();
  inherited::BeforeDestruction();
}

TcxCustomLookupEdit::~TcxCustomLookupEdit() = default;

void TcxCustomLookupEdit::Initialize() {
  inherited::Initialize();
  SetWidth(145);
}

void TcxCustomLookupEdit::DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) {
  TcxCustomLookupEditProperties* p = LookupProperties();
  if (p->EditsKeyAsText()) {
    editValue = displayValue;
    return;
  }
  TcxCustomLookupEditLookupData* data = LookupEditData();
  const Variant key = data->GetKey();
  const AnsiString keyText = data->GetKeyDisplayText(key);
  if (VarToStr(displayValue) == keyText) {
    editValue = key;
    return;
  }
  if (data->LocateDisplayText(VarToStr(displayValue)))
    editValue = data->GetKey();
  else
    editValue = p->GetEmptyKey();
}

void TcxCustomLookupEdit::GetDisplayValue(Variant& value) {
  DisplayValueToEditValue(Variant(GetText()), value, Focused());
}

void TcxCustomLookupEdit::BeginPost() {
  LookupProperties()->LockList();
  inherited::BeginPost();
}

void TcxCustomLookupEdit::EndPost() {
  inherited::EndPost();
  LookupProperties()->UnlockList();
}

void TcxCustomLookupEdit::EnterEdit() {
  inherited::EnterEdit();
  if (LookupEditData()) LookupEditData()->SyncWithEditText();
}

void TcxCustomLookupEdit::DropDown() {
  inherited::DropDown();
  Variant v;
  GetEditValue(v);
  if (LookupEditData()) LookupEditData()->SetKey(v);
}

void TcxCustomLookupEdit::UpdateDisplayValue() {
  inherited::UpdateDisplayValue();
  if (HasOpenPopup() && LookupEditData()) {
    Variant v;
    GetEditValue(v);
    LookupEditData()->SetKey(v);
  }
}

void TcxCustomLookupEdit::BeforeRepositoryItemChange() { LookupProperties()->ReleaseList(); }

void TcxCustomLookupEdit::GetPopupContentSize(TSize& size) {
  size = LookupEditData() ? LookupEditData()->GetListPreferredSize() : TSize{0, 0};
}
