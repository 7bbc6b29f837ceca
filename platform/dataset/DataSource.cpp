#include "platform/dataset/DataSource.h"

#include <algorithm>

#include "platform/dataset/DBConsts.h"
#include "platform/forms/Published.h"

using namespace orv::db;

// ---------------------------------------------------------------------------------------------
// TDataSource

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

void TDataSource::BeforeDestruction() {
  Destroying();
  while (!FDataLinks.empty()) FDataLinks.back()->SetDataSource(nullptr);
  SetDataSet(nullptr);
  inherited::BeforeDestruction();
}

void TDataSource::SetDataSet(TDataSet* value) {
  if (value == FDataSet) return;
  if (value && value->GetComponentState().Contains(csDestroying)) value = nullptr;
  // A link chain that leads back to this source would notify itself for ever.
  if (value && value->IsLinkedTo(this)) DatabaseError(SCircularDataLink, this);
  if (FDataSet) {
    FDataSet->RemoveFreeNotification(this);
    FDataSet->RemoveDataSource(this);
  }
  FDataSet = value;
  if (FDataSet) {
    FDataSet->FreeNotification(this);
    FDataSet->AddDataSource(this);
  }
  UpdateState();
}

void TDataSource::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  UpdateState();
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* dataSet) const {
  return FDataSet && dataSet == FDataSet;
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FDataSet) SetDataSet(nullptr);
}

void TDataSource::UpdateState() {
  const TDataSetState state =
      FEnabled && FDataSet ? FDataSet->GetState() : dsInactive;
  const TDataSetState effective = state == dsOpening ? dsInactive : state;
  if (effective == FState) return;
  FState = effective;
  NotifyDataLinks(deUpdateState, 0);
  if (FOnStateChange) FOnStateChange(this);
}

void TDataSource::DataEvent(TDataEvent event, NativeInt info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (FState == dsInactive) return;
  NotifyDataLinks(event, info);
  switch (event) {
    case deFieldChange:
      if (FOnDataChange) FOnDataChange(this, reinterpret_cast<TField*>(info));
      break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (FOnDataChange) FOnDataChange(this, nullptr);
      break;
    case deUpdateRecord:
      if (FOnUpdateData) FOnUpdateData(this);
      break;
    default:
      break;
  }
}

void TDataSource::NotifyDataLinks(TDataEvent event, NativeInt info) {
  // Non-visual links (master-detail, data controllers) first, then the controls. A link may
  // leave during its notice, so the list is indexed afresh each time.
  for (int pass = 0; pass < 2; ++pass) {
    const bool visual = pass == 1;
    for (std::size_t i = 0; i < FDataLinks.size(); ++i) {
      TDataLink* link = FDataLinks[i];
      if (link->FVisualControl == visual) link->DataEvent(event, info);
    }
  }
}

void TDataSource::AddDataLink(TDataLink* link) {
  FDataLinks.push_back(link);
  link->FDataSource = this;
  if (FDataSet) FDataSet->UpdateBufferCount();
  link->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* link) {
  auto it = std::find(FDataLinks.begin(), FDataLinks.end(), link);
  if (it != FDataLinks.end()) FDataLinks.erase(it);
  link->FDataSource = nullptr;
  link->UpdateState();
  if (FDataSet && !FDataSet->GetComponentState().Contains(csDestroying))
    FDataSet->UpdateBufferCount();
}

// ---------------------------------------------------------------------------------------------
// TDataLink

TDataLink::TDataLink() = default;

void TDataLink::BeforeDestruction() {
  if (FDataSource) FDataSource->RemoveDataLink(this);
  inherited::BeforeDestruction();
}

void TDataLink::SetDataSource(TDataSource* value) {
  if (value == FDataSource) return;
  if (FDataSourceFixed) DatabaseError(SDataSourceChange);
  if (FDataSource) FDataSource->RemoveDataLink(this);
  if (value) value->AddDataLink(this);
}

TDataSet* TDataLink::GetDataSet() const { return FDataSource ? FDataSource->GetDataSet() : nullptr; }

TDataSet* TDataLink::ActiveDataSet() const {
  if (!FActive || !FDataSource) return nullptr;
  TDataSet* dataSet = FDataSource->GetDataSet();
  return dataSet && !dataSet->FBuffers.empty() ? dataSet : nullptr;
}

void TDataLink::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  UpdateState();
}

void TDataLink::SetBufferCount(Integer value) {
  if (value < 1) value = 1;
  if (value == FBufferCount) return;
  FBufferCount = value;
  if (FActive && FDataSource && FDataSource->GetDataSet()) {
    FDataSource->GetDataSet()->UpdateBufferCount();
    UpdateRange();
  }
}

Integer TDataLink::GetRecordCount() const {
  TDataSet* dataSet = ActiveDataSet();
  if (!dataSet) return 0;
  const Integer first = std::min(FFirstRecord, std::max(dataSet->FRecordCount - 1, 0));
  return std::clamp(dataSet->FRecordCount - first, 0, FBufferCount);
}

Integer TDataLink::GetActiveRecord() const {
  TDataSet* dataSet = ActiveDataSet();
  if (!dataSet) return 0;
  return std::clamp(dataSet->FActiveRecord - FFirstRecord, 0, FBufferCount - 1);
}

void TDataLink::SetActiveRecord(Integer value) {
  TDataSet* dataSet = ActiveDataSet();
  if (dataSet) dataSet->SetActiveRecord(value + FFirstRecord);
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  if (FUpdating) return;
  FUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TDataLink::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  if (value)
    UpdateRange();
  else
    FFirstRecord = 0;
  ActiveChanged();
}

void TDataLink::SetEditing(bool value) {
  if (value == FEditing) return;
  FEditing = value;
  EditingChanged();
}

void TDataLink::UpdateState() {
  const TDataSetState state = FDataSource ? FDataSource->GetState() : dsInactive;
  SetActive(state != dsInactive);
  SetEditing(!FReadOnly && (state == dsEdit || state == dsInsert || state == dsSetKey));
}

void TDataLink::UpdateRange() {
  TDataSet* dataSet = ActiveDataSet();
  if (!dataSet) {
    FFirstRecord = 0;
    return;
  }
  const Integer active = dataSet->FActiveRecord;
  const Integer low = std::max(active - FBufferCount + 1, 0);
  const Integer high = std::min(active, std::max(dataSet->FBufferCount - FBufferCount, 0));
  FFirstRecord = std::clamp(FFirstRecord, low, std::max(low, high));
}

void TDataLink::DataEvent(TDataEvent event, NativeInt info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!FActive) return;
  switch (event) {
    case deFieldChange:
    case deRecordChange:
      if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(info));
      break;
    case deDataSetScroll: {
      // The ring moved `info` places; keep the link's rows on the same records where the
      // active record allows, and report how far the rows moved.
      const Integer oldFirst = FFirstRecord - static_cast<Integer>(info);
      FFirstRecord = oldFirst;
      UpdateRange();
      DataSetScrolled(FFirstRecord - oldFirst);
      break;
    }
    case deDataSetChange:
      UpdateRange();
      DataSetChanged();
      break;
    case deLayoutChange:
      UpdateRange();
      LayoutChanged();
      break;
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    case deFocusControl: {
      // Once a link took the focus it cleared the reference: the others are not asked.
      TField*& field = *reinterpret_cast<TField**>(info);
      if (field) FocusControl(field);
      break;
    }
    default:
      break;
  }
}

// Published properties, read and written by form descriptions.
ORV_PUBLISH(TDataSource) {
  using T = TDataSource;
  p.Property("AutoEdit", &T::GetAutoEdit, &T::SetAutoEdit).Default(true);
  p.Property("DataSet", &T::GetDataSet, &T::SetDataSet);
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("OnStateChange", &T::GetOnStateChange, &T::SetOnStateChange);
  p.Property("OnDataChange", &T::GetOnDataChange, &T::SetOnDataChange);
  p.Property("OnUpdateData", &T::GetOnUpdateData, &T::SetOnUpdateData);
}
