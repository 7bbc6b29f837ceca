// TCustomConnection: the base of connection components (a database folder, a server ...).
// Datasets register with their connection as clients; connecting and disconnecting tell each
// client, and descendants close their datasets in DoDisconnect.
#pragma once

#include <utility>
#include <vector>

#include "platform/runtime/Component.h"

class TDataSet;

using TConnectChangeEvent = orv::Event<void(TObject* sender, bool connecting)>;
using TLoginEvent =
    orv::Event<void(TObject* sender, const AnsiString& userName, const AnsiString& password)>;

class TCustomConnection : public TComponent {
  ORV_CLASS(TCustomConnection, TComponent)
 public:
  explicit TCustomConnection(TComponent* owner);
  // Disconnects while the descendant is whole.
  void BeforeDestruction() override;

  void Open() { SetConnected(true); }
  void Close() { SetConnected(false); }
  virtual bool GetConnected() const { return false; }
  // BeforeConnect, DoConnect, the clients told, AfterConnect (and the mirror image when
  // disconnecting). While the component is being loaded the value is kept for Loaded.
  virtual void SetConnected(bool value);
  bool GetLoginPrompt() const { return FLoginPrompt; }
  void SetLoginPrompt(bool value) { FLoginPrompt = value; }

  // The registered clients that are datasets, in registration order.
  virtual Integer GetDataSetCount() const;
  virtual TDataSet* GetDataSet(Integer index) const;
  // A client hears of connecting and disconnecting: datasets through a deConnectChange data
  // event, any client through `event` when given. Registering twice keeps one entry.
  virtual void RegisterClient(TObject* client, TConnectChangeEvent event = nullptr);
  virtual void UnRegisterClient(TObject* client);

  TNotifyEvent GetBeforeConnect() const { return FBeforeConnect; }
  void SetBeforeConnect(TNotifyEvent value) { FBeforeConnect = value; }
  TNotifyEvent GetAfterConnect() const { return FAfterConnect; }
  void SetAfterConnect(TNotifyEvent value) { FAfterConnect = value; }
  TNotifyEvent GetBeforeDisconnect() const { return FBeforeDisconnect; }
  void SetBeforeDisconnect(TNotifyEvent value) { FBeforeDisconnect = value; }
  TNotifyEvent GetAfterDisconnect() const { return FAfterDisconnect; }
  void SetAfterDisconnect(TNotifyEvent value) { FAfterDisconnect = value; }
  TLoginEvent GetOnLogin() const { return FOnLogin; }
  void SetOnLogin(TLoginEvent value) { FOnLogin = value; }

 protected:
  virtual void DoConnect() {}
  virtual void DoDisconnect() {}
  void SendConnectEvent(bool connecting);
  void Loaded() override;

 private:
  std::vector<std::pair<TObject*, TConnectChangeEvent>> FClients;
  bool FLoginPrompt = false;
  bool FStreamedConnected = false;
  TNotifyEvent FBeforeConnect, FAfterConnect, FBeforeDisconnect, FAfterDisconnect;
  TLoginEvent FOnLogin;
};
