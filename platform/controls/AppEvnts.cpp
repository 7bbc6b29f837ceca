#include "platform/controls/AppEvnts.h"
#include "platform/forms/Published.h"

TCustomApplicationEvents::TCustomApplicationEvents(TComponent* owner) : TComponent(owner) {
  if (Application) Application->AddEvents(this);
}

void TCustomApplicationEvents::BeforeDestruction() {
  Destroying();
  if (Application) Application->RemoveEvents(this);
  inherited::BeforeDestruction();
}

void TCustomApplicationEvents::Activate() {
  if (!Application) return;
  Application->RemoveEvents(this);
  Application->AddEvents(this);
}

bool TCustomApplicationEvents::DoException(TObject* sender, Exception& e) {
  if (!FOnException) return false;
  FOnException(sender, e);
  return true;
}

void TCustomApplicationEvents::DoIdle(TObject* sender, bool& done) {
  if (FOnIdle) FOnIdle(sender, done);
}

void TCustomApplicationEvents::DoMessage(MSG& msg, bool& handled) {
  if (FOnMessage) FOnMessage(msg, handled);
}

void TCustomApplicationEvents::DoActivate(TObject* sender) {
  if (FOnActivate) FOnActivate(sender);
}

void TCustomApplicationEvents::DoDeactivate(TObject* sender) {
  if (FOnDeactivate) FOnDeactivate(sender);
}

void TCustomApplicationEvents::DoHint(TObject* sender) {
  if (FOnHint) FOnHint(sender);
}

void TCustomApplicationEvents::DoShortCut(TMessage& message, bool& handled) {
  if (FOnShortCut) FOnShortCut(message, handled);
}

void TCustomApplicationEvents::DoActionExecute(TBasicAction* action, bool& handled) {
  if (FOnActionExecute) FOnActionExecute(action, handled);
}

void TCustomApplicationEvents::DoActionUpdate(TBasicAction* action, bool& handled) {
  if (FOnActionUpdate) FOnActionUpdate(action, handled);
}

// ---- Form descriptions ------------------------------------------------------------------------

ORV_PUBLISH(TCustomApplicationEvents) {}

ORV_PUBLISH(TApplicationEvents) {
  using T = TApplicationEvents;
  p.Property("OnActionExecute", &T::GetOnActionExecute, &T::SetOnActionExecute);
  p.Property("OnActionUpdate", &T::GetOnActionUpdate, &T::SetOnActionUpdate);
  p.Property("OnActivate", &T::GetOnActivate, &T::SetOnActivate);
  p.Property("OnDeactivate", &T::GetOnDeactivate, &T::SetOnDeactivate);
  p.Property("OnException", &T::GetOnException, &T::SetOnException);
  p.Property("OnHint", &T::GetOnHint, &T::SetOnHint);
  p.Property("OnIdle", &T::GetOnIdle, &T::SetOnIdle);
  p.Property("OnMessage", &T::GetOnMessage, &T::SetOnMessage);
  p.Property("OnShortCut", &T::GetOnShortCut, &T::SetOnShortCut);
}
