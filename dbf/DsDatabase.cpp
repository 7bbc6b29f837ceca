#include "dbf/DsDatabase.h"

#include "platform/dataset/DataSet.h"
#include "platform/forms/Published.h"

TDsDatabase::TDsDatabase(TComponent* owner) : TCustomConnection(owner) {}

// TCustomConnection::BeforeDestruction disconnected while the component was whole.
TDsDatabase::~TDsDatabase() = default;

void TDsDatabase::SetDatabaseName(const AnsiString& value) {
  if (value == FDatabaseName) return;
  FDatabaseName = value;
  if (FHandle) FHandle->SetDatabaseName(value);
}

void TDsDatabase::SetExclusive(bool value) {
  if (value == FExclusive) return;
  SetConnected(false);
  FExclusive = value;
}

void TDsDatabase::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  SetConnected(false);
  FReadOnly = value;
}

void TDsDatabase::DoConnect() {
  if (FHandle) return;
  if (FDatabaseName.empty()) DatabaseError(SDatabaseNameMissing, this);
  FHandle = std::make_unique<TDsDbHandle>(FDatabaseName);
}

void TDsDatabase::DoDisconnect() {
  if (!FHandle) return;
  // A dataset may leave the list while it closes; count again each time.
  for (Integer i = 0; i < GetDataSetCount(); ++i)
    if (TDataSet* dataSet = GetDataSet(i)) dataSet->Close();
  FHandle.reset();
}

// Published properties, read and written by form descriptions.
ORV_PUBLISH(TDsDatabase) {
  using T = TDsDatabase;
  p.Property("DatabaseName", &T::GetDatabaseName, &T::SetDatabaseName);
  p.Property("Exclusive", &T::GetExclusive, &T::SetExclusive).Default(false);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Default(false);
}
