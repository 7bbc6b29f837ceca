// The data module: every data-access component of the program. At start-up it connects to the
// folder "DB" beside the program and opens the town table; the main window and its handlers
// reach the tables through the one global instance DM.
#pragma once

#include "platform/controls/Forms.h"

class TDsDatabase;
class TDsDbfTable;
class TRxMemoryData;

class TDM : public TDataModule {
  ORV_CLASS(TDM, TDataModule)
 public:
  // The components come from the form description "TDM", which AfterConstruction (called by
  // TApplication::CreateForm) reads before OnCreate runs.
  explicit TDM(TComponent* owner) : TDataModule(owner) {}

  // Components, set by the form description.
  TDsDatabase* DsDatabase = nullptr;
  TDsDbfTable* tblOrvane = nullptr;        // the town table the searches filter
  TDsDbfTable* tblCountry_City = nullptr;  // the same file, read once for the pick lists
  TRxMemoryData* mdCountry_City = nullptr;

  // False until DataModuleCreate has connected and opened the town table.
  bool DataReady = false;

  // OnCreate: connects to the data folder and opens the town table. An Exception on the way
  // shows the connection error box and leaves DataReady false; it never escapes.
  void DataModuleCreate(TObject* sender);
  // OnDestroy: disconnects (closing every table of the connection) when the data was ready.
  void DataModuleDestroy(TObject* sender);

 protected:
  // The folder of the tables: the program's folder and "DB\". Tests start the module on
  // folders of their own.
  virtual AnsiString DataFolder() const;
};

// The data module of the program, set by TApplication::CreateForm.
extern TDM* DM;

namespace orv {

// The text of the box that a failed connection shows (lines broken by LF CR).
AnsiString ConnectionErrorText();

}  // namespace orv
