// The application events component: a form drops one in to take part in the application's
// events (exceptions, idle time, messages, activation, hints, shortcuts, actions). Several may
// exist; the one created last hears each event first.
#pragma once

#include "platform/controls/Forms.h"

using TActionEventHandler = orv::Event<void(TBasicAction* action, bool& handled)>;

class TCustomApplicationEvents : public TComponent {
  ORV_CLASS(TCustomApplicationEvents, TComponent)
 public:
  explicit TCustomApplicationEvents(TComponent* owner);
  void BeforeDestruction() override;

  // Moves this component to the front (it hears the next events first).
  void Activate();
  // Stops the current event from reaching the components behind this one.
  void CancelDispatch() { FCancelled = true; }

  TExceptionEvent GetOnException() const { return FOnException; }
  void SetOnException(TExceptionEvent value) { FOnException = value; }
  TIdleEvent GetOnIdle() const { return FOnIdle; }
  void SetOnIdle(TIdleEvent value) { FOnIdle = value; }
  TMessageEvent GetOnMessage() const { return FOnMessage; }
  void SetOnMessage(TMessageEvent value) { FOnMessage = value; }
  TNotifyEvent GetOnActivate() const { return FOnActivate; }
  void SetOnActivate(TNotifyEvent value) { FOnActivate = value; }
  TNotifyEvent GetOnDeactivate() const { return FOnDeactivate; }
  void SetOnDeactivate(TNotifyEvent value) { FOnDeactivate = value; }
  TNotifyEvent GetOnHint() const { return FOnHint; }
  void SetOnHint(TNotifyEvent value) { FOnHint = value; }
  TShortCutEvent GetOnShortCut() const { return FOnShortCut; }
  void SetOnShortCut(TShortCutEvent value) { FOnShortCut = value; }
  TActionEventHandler GetOnActionExecute() const { return FOnActionExecute; }
  void SetOnActionExecute(TActionEventHandler value) { FOnActionExecute = value; }
  TActionEventHandler GetOnActionUpdate() const { return FOnActionUpdate; }
  void SetOnActionUpdate(TActionEventHandler value) { FOnActionUpdate = value; }

  // Called by the application (true from DoException when this component handled it).
  bool DoException(TObject* sender, Exception& e);
  void DoIdle(TObject* sender, bool& done);
  void DoMessage(MSG& msg, bool& handled);
  void DoActivate(TObject* sender);
  void DoDeactivate(TObject* sender);
  void DoHint(TObject* sender);
  void DoShortCut(TMessage& message, bool& handled);
  void DoActionExecute(TBasicAction* action, bool& handled);
  void DoActionUpdate(TBasicAction* action, bool& handled);

 private:
  bool FCancelled = false;
  TExceptionEvent FOnException;
  TIdleEvent FOnIdle;
  TMessageEvent FOnMessage;
  TNotifyEvent FOnActivate;
  TNotifyEvent FOnDeactivate;
  TNotifyEvent FOnHint;
  TShortCutEvent FOnShortCut;
  TActionEventHandler FOnActionExecute;
  TActionEventHandler FOnActionUpdate;
};

class TApplicationEvents : public TCustomApplicationEvents {
  ORV_CLASS(TApplicationEvents, TCustomApplicationEvents)
 public:
  explicit TApplicationEvents(TComponent* owner) : TCustomApplicationEvents(owner) {}
};
