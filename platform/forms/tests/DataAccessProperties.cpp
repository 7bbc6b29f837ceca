// The published properties of the dataset framework, the table engine and the in-memory
// dataset, as those modules declare them for form descriptions. Each block belongs beside its
// class in the class's own unit; until the modules carry them, the data-module tests register
// them here.
#include "dbf/DsCP.h"
#include "dbf/DsDatabase.h"
#include "dbf/DsDbfTable.h"
#include "memdata/RxMemDS.h"
#include "platform/dataset/CustomConnection.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/FieldDefs.h"
#include "platform/forms/Published.h"

namespace {

// ---- platform/dataset ----

const orv::EnumNames<TFieldType> kFieldTypeNames(
    "TFieldType",
    {"ftUnknown", "ftString", "ftSmallint", "ftInteger", "ftWord", "ftBoolean", "ftFloat", "ftCurrency",
     "ftBCD", "ftDate", "ftTime", "ftDateTime", "ftBytes", "ftVarBytes", "ftAutoInc", "ftBlob", "ftMemo",
     "ftGraphic", "ftFmtMemo", "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor", "ftFixedChar",
     "ftWideString", "ftLargeint", "ftADT", "ftArray", "ftReference", "ftDataSet", "ftOraBlob", "ftOraClob",
     "ftVariant", "ftInterface", "ftIDispatch", "ftGuid", "ftTimeStamp", "ftFMTBcd"});
const orv::EnumNames<TFilterOption> kFilterOptionNames("TFilterOption", {"foCaseInsensitive", "foNoPartialCompare"});

// Field definitions are plain records kept by their list.
void PublishFieldDef(orv::Published<TFieldDef>& p) {
  using T = TFieldDef;
  p.Property("Name", &T::GetName, &T::SetName);
  p.Property("DataType", &T::GetDataType, &T::SetDataType).Default(ftUnknown);
  p.Property("Precision", &T::GetPrecision, &T::SetPrecision).Default(0);
  p.Property("Size", &T::GetSize, &T::SetSize).Default(0);
}
const orv::PlainProperties<TFieldDef> kFieldDefProperties(&PublishFieldDef);
const orv::ListAccess<TFieldDefs, TFieldDef> kFieldDefsAccess(
    kFieldDefProperties, [](TFieldDefs& defs) { return defs.GetCount(); },
    [](TFieldDefs& defs, Integer i) { return defs.GetItem(i); },
    [](TFieldDefs& defs) { return defs.AddFieldDef(); }, [](TFieldDefs& defs) { defs.Clear(); });

}  // namespace

ORV_PUBLISH(TDataSet) {
  using T = TDataSet;
  p.Property("Active", &T::GetActive, &T::SetActive).Default(false);
  p.Property("AutoCalcFields", &T::GetAutoCalcFields, &T::SetAutoCalcFields).Default(true);
  p.Collection("FieldDefs", &T::GetFieldDefs, kFieldDefsAccess);
  p.Property("Filter", &T::GetFilter, &T::SetFilter);
  p.Property("Filtered", &T::GetFiltered, &T::SetFiltered).Default(false);
  p.Property("FilterOptions", &T::GetFilterOptions, &T::SetFilterOptions).Default(TFilterOptions{});
  p.Property("BeforeOpen", &T::GetBeforeOpen, &T::SetBeforeOpen);
  p.Property("AfterOpen", &T::GetAfterOpen, &T::SetAfterOpen);
  p.Property("BeforeClose", &T::GetBeforeClose, &T::SetBeforeClose);
  p.Property("AfterClose", &T::GetAfterClose, &T::SetAfterClose);
  p.Property("BeforeScroll", &T::GetBeforeScroll, &T::SetBeforeScroll);
  p.Property("AfterScroll", &T::GetAfterScroll, &T::SetAfterScroll);
  p.Property("OnCalcFields", &T::GetOnCalcFields, &T::SetOnCalcFields);
  p.Property("OnFilterRecord", &T::GetOnFilterRecord, &T::SetOnFilterRecord);
  p.Property("OnNewRecord", &T::GetOnNewRecord, &T::SetOnNewRecord);
}

ORV_PUBLISH(TDataSource) {
  using T = TDataSource;
  p.Property("AutoEdit", &T::GetAutoEdit, &T::SetAutoEdit).Default(true);
  p.Property("DataSet", &T::GetDataSet, &T::SetDataSet);
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("OnStateChange", &T::GetOnStateChange, &T::SetOnStateChange);
  p.Property("OnDataChange", &T::GetOnDataChange, &T::SetOnDataChange);
  p.Property("OnUpdateData", &T::GetOnUpdateData, &T::SetOnUpdateData);
}

ORV_PUBLISH(TCustomConnection) {
  using T = TCustomConnection;
  p.Property("Connected", &T::GetConnected, &T::SetConnected).Default(false);
  p.Property("LoginPrompt", &T::GetLoginPrompt, &T::SetLoginPrompt).Default(false);
  p.Property("AfterConnect", &T::GetAfterConnect, &T::SetAfterConnect);
  p.Property("AfterDisconnect", &T::GetAfterDisconnect, &T::SetAfterDisconnect);
  p.Property("BeforeConnect", &T::GetBeforeConnect, &T::SetBeforeConnect);
  p.Property("BeforeDisconnect", &T::GetBeforeDisconnect, &T::SetBeforeDisconnect);
}

// ---- dbf ----

namespace {

std::vector<AnsiString> CodePageNames() {
  std::vector<AnsiString> names;
  for (Integer i = 0; i < CP_TYPE_COUNT; ++i) names.push_back(DsCodePageName(static_cast<CP_TYPE>(i)));
  return names;
}
const orv::EnumNames<CP_TYPE> kCodePageNames("CP_TYPE", CodePageNames());

}  // namespace

ORV_PUBLISH(TDsDatabase) {
  using T = TDsDatabase;
  p.Property("DatabaseName", &T::GetDatabaseName, &T::SetDatabaseName);
  p.Property("Exclusive", &T::GetExclusive, &T::SetExclusive).Default(false);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Default(false);
}

ORV_PUBLISH(TDsDbfTable) {
  using T = TDsDbfTable;
  p.Property("BufferRecords", &T::GetBufferRecords, &T::SetBufferRecords).Default(10);
  p.Property("CodePage", &T::GetCodePage, &T::SetCodePage).Default(ascii_ANSI);
  p.Property("Database", &T::GetDatabase, &T::SetDatabase);
  p.Property("Exclusive", &T::GetExclusive, &T::SetExclusive).Default(false);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Default(false);
  p.Property("ShowDeleted", &T::GetShowDeleted, &T::SetShowDeleted).Default(false);
  p.Property("TableName", &T::GetTableName, &T::SetTableName);
}

// ---- memdata ----

ORV_PUBLISH(TRxMemoryData) {}
