// The connection component of the table engine: it names the folder that holds the tables and
// closes every table of the connection when it disconnects.
#pragma once

#include <memory>

#include "dbf/DsDbApi.h"
#include "platform/dataset/CustomConnection.h"

class TDsDatabase : public TCustomConnection {
  ORV_CLASS(TDsDatabase, TCustomConnection)
 public:
  explicit TDsDatabase(TComponent* owner);
  ~TDsDatabase() override;

  // Connected exactly while the connection handle exists. Connecting does not look at the
  // folder: a missing folder or file shows when a table opens.
  bool GetConnected() const override { return FHandle != nullptr; }

  // The folder of the tables ("\" or "/" separated; a trailing separator is optional).
  const AnsiString& GetDatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const AnsiString& value);
  // Changing either disconnects first. When set, every table of the connection opens that way.
  bool GetExclusive() const { return FExclusive; }
  void SetExclusive(bool value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);

  // The connection handle while connected, else null.
  TDsDbHandle* GetHandle() const { return FHandle.get(); }

 protected:
  // Raises "Database name missing" for an empty DatabaseName.
  void DoConnect() override;
  // Closes every registered dataset, in registration order, then frees the handle.
  void DoDisconnect() override;

 private:
  std::unique_ptr<TDsDbHandle> FHandle;
  AnsiString FDatabaseName;
  bool FExclusive = false;
  bool FReadOnly = false;
};
