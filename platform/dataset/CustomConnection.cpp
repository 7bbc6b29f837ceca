#include "platform/dataset/CustomConnection.h"

#include <algorithm>

#include "platform/dataset/DataSet.h"
#include "platform/forms/Published.h"

TCustomConnection::TCustomConnection(TComponent* owner) : TComponent(owner) {}

void TCustomConnection::BeforeDestruction() {
  Destroying();
  try {
    SetConnected(false);
  } catch (...) {
    // Teardown never throws: a connection that fails to close is abandoned.
  }
  FClients.clear();
  inherited::BeforeDestruction();
}

void TCustomConnection::SetConnected(bool value) {
  const TComponentState state = GetComponentState();
  if (state.Contains(csReading) || state.Contains(csLoading)) {
    FStreamedConnected = value;
    return;
  }
  if (value == GetConnected()) return;
  if (value) {
    if (FBeforeConnect) FBeforeConnect(this);
    DoConnect();
    SendConnectEvent(true);
    if (FAfterConnect) FAfterConnect(this);
  } else {
    const bool destroying = state.Contains(csDestroying);
    if (!destroying && FBeforeDisconnect) FBeforeDisconnect(this);
    SendConnectEvent(false);
    DoDisconnect();
    if (!destroying && FAfterDisconnect) FAfterDisconnect(this);
  }
}

void TCustomConnection::Loaded() {
  inherited::Loaded();
  if (FStreamedConnected) SetConnected(true);
}

Integer TCustomConnection::GetDataSetCount() const {
  return static_cast<Integer>(std::count_if(FClients.begin(), FClients.end(), [](const auto& c) {
    return dynamic_cast<TDataSet*>(c.first) != nullptr;
  }));
}

TDataSet* TCustomConnection::GetDataSet(Integer index) const {
  for (const auto& client : FClients) {
    if (auto* dataSet = dynamic_cast<TDataSet*>(client.first)) {
      if (index == 0) return dataSet;
      --index;
    }
  }
  return nullptr;
}

void TCustomConnection::RegisterClient(TObject* client, TConnectChangeEvent event) {
  for (auto& c : FClients) {
    if (c.first == client) {
      c.second = event;
      return;
    }
  }
  FClients.emplace_back(client, event);
}

void TCustomConnection::UnRegisterClient(TObject* client) {
  auto it = std::find_if(FClients.begin(), FClients.end(),
                         [client](const auto& c) { return c.first == client; });
  if (it != FClients.end()) FClients.erase(it);
}

void TCustomConnection::SendConnectEvent(bool connecting) {
  // A client may unregister while it is told (a dataset that closes and leaves).
  for (std::size_t i = 0; i < FClients.size(); ++i) {
    const auto client = FClients[i];
    if (client.second) client.second(this, connecting);
    if (auto* dataSet = dynamic_cast<TDataSet*>(client.first))
      dataSet->DataEvent(deConnectChange, connecting ? 1 : 0);
  }
}

// Published properties, read and written by form descriptions.
ORV_PUBLISH(TCustomConnection) {
  using T = TCustomConnection;
  p.Property("Connected", &T::GetConnected, &T::SetConnected).Default(false);
  p.Property("LoginPrompt", &T::GetLoginPrompt, &T::SetLoginPrompt).Default(false);
  p.Property("AfterConnect", &T::GetAfterConnect, &T::SetAfterConnect);
  p.Property("AfterDisconnect", &T::GetAfterDisconnect, &T::SetAfterDisconnect);
  p.Property("BeforeConnect", &T::GetBeforeConnect, &T::SetBeforeConnect);
  p.Property("BeforeDisconnect", &T::GetBeforeDisconnect, &T::SetBeforeDisconnect);
}
