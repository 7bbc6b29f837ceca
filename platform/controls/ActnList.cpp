#include "platform/controls/ActnList.h"

#include "platform/controls/ImgList.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"

namespace {

orv::ActionRouter gRouter = nullptr;

}  // namespace

void orv::SetApplicationActionRouter(ActionRouter router) { gRouter = router; }

// ---- TBasicActionLink -------------------------------------------------------------------------

void TBasicActionLink::BeforeDestruction() {
  if (FAction) FAction->UnRegisterChanges(this);
  inherited::BeforeDestruction();
}

void TBasicActionLink::Change() {
  if (FOnChange) FOnChange(this);
}

void TBasicActionLink::SetAction(TBasicAction* value) {
  if (value == FAction) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = value;
  if (value) value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* component) {
  if (!FAction) return false;
  FAction->SetActionComponent(component);
  bool result = false;
  try {
    result = FAction->Execute();
  } catch (...) {
    if (FAction) FAction->SetActionComponent(nullptr);
    throw;
  }
  if (FAction) FAction->SetActionComponent(nullptr);
  return result;
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

// ---- TBasicAction -----------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner), FClients(new TList) {}

TBasicAction::~TBasicAction() { FClients->Free(); }

void TBasicAction::BeforeDestruction() {
  Destroying();
  // The links stay with their clients, which simply lose the action.
  while (FClients->GetCount() > 0) {
    auto* link = static_cast<TBasicActionLink*>(FClients->Last());
    FClients->Delete(FClients->GetCount() - 1);
    link->FAction = nullptr;
    link->Change();
  }
  inherited::BeforeDestruction();
}

bool TBasicAction::Execute() {
  if (!FOnExecute) return false;
  FOnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!FOnUpdate) return false;
  FOnUpdate(this);
  return true;
}

void TBasicAction::SetActionComponent(TComponent* value) {
  if (value == FActionComponent) return;
  if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
  FActionComponent = value;
  if (value) value->FreeNotification(this);
}

void TBasicAction::SetOnExecute(TNotifyEvent value) {
  if (value == FOnExecute) return;
  for (Integer i = 0; i < FClients->GetCount(); ++i)
    static_cast<TBasicActionLink*>(FClients->Get(i))->SetOnExecute(value);
  FOnExecute = value;
  Change();
}

Integer TBasicAction::GetClientCount() const { return FClients->GetCount(); }

TBasicActionLink* TBasicAction::GetClient(Integer index) const {
  return static_cast<TBasicActionLink*>(FClients->Get(index));
}

void TBasicAction::Change() {
  if (FOnChange) FOnChange(this);
  for (Integer i = 0; i < FClients->GetCount(); ++i) static_cast<TBasicActionLink*>(FClients->Get(i))->Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* value) {
  if (FClients->IndexOf(value) < 0) FClients->Add(value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* value) {
  if (FClients->Remove(value) >= 0) value->FAction = nullptr;
}

void TBasicAction::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FActionComponent) FActionComponent = nullptr;
}

// ---- TContainedAction -------------------------------------------------------------------------

void TContainedAction::BeforeDestruction() {
  Destroying();
  if (FActionList) FActionList->RemoveAction(this);
  inherited::BeforeDestruction();
}

bool TContainedAction::Execute() {
  if (FActionList && FActionList->ExecuteAction(this)) return true;
  if (gRouter && gRouter(this, true)) return true;
  return inherited::Execute();
}

bool TContainedAction::Update() {
  if (FActionList && FActionList->UpdateAction(this)) return true;
  if (gRouter && gRouter(this, false)) return true;
  return inherited::Update();
}

void TContainedAction::SetActionList(TCustomActionList* value) {
  if (value == FActionList) return;
  if (FActionList) FActionList->RemoveAction(this);
  if (value) value->AddAction(this);
}

void TContainedAction::SetCategory(const AnsiString& value) {
  if (value == FCategory) return;
  FCategory = value;
  if (FActionList) FActionList->Change();
}

Integer TContainedAction::GetIndex() const { return FActionList ? FActionList->FActions->IndexOf(const_cast<TContainedAction*>(this)) : -1; }

void TContainedAction::SetIndex(Integer value) {
  const Integer cur = GetIndex();
  if (cur < 0 || value == cur) return;
  const Integer count = FActionList->GetActionCount();
  if (value < 0) value = 0;
  if (value >= count) value = count - 1;
  FActionList->FActions->Move(cur, value);
  FActionList->Change();
}

TComponent* TContainedAction::GetParentComponent() const { return FActionList; }

void TContainedAction::SetParentComponent(TComponent* value) {
  if (auto* list = dynamic_cast<TCustomActionList*>(value)) SetActionList(list);
}

// ---- TCustomAction ----------------------------------------------------------------------------

bool TCustomAction::Execute() {
  if (FActionList && FActionList->GetState() != asNormal) return false;
  Update();
  if (!FEnabled) return false;
  if (FAutoCheck && !(FChecked && FGroupIndex > 0)) SetChecked(!FChecked);
  return inherited::Execute();
}

#define ORV_FOR_EACH_LINK(call)                                            \
  for (Integer i = 0; i < GetClientCount(); ++i)                            \
    if (auto* link = dynamic_cast<TActionLink*>(GetClient(i))) link->call;

void TCustomAction::SetCaption(const AnsiString& value) {
  if (value == FCaption) return;
  ORV_FOR_EACH_LINK(SetCaption(value));
  FCaption = value;
  Change();
}

void TCustomAction::SetChecked(bool value) {
  if (FChecking || value == FChecked) return;
  FChecking = true;
  try {
    ORV_FOR_EACH_LINK(SetChecked(value));
    FChecked = value;
    if (value && FGroupIndex > 0 && FActionList) {
      for (Integer i = 0; i < FActionList->GetActionCount(); ++i) {
        auto* other = dynamic_cast<TCustomAction*>(FActionList->GetAction(i));
        if (other && other != this && other->FGroupIndex == FGroupIndex) other->SetChecked(false);
      }
    }
    Change();
  } catch (...) {
    FChecking = false;
    throw;
  }
  FChecking = false;
}

void TCustomAction::SetEnabled(bool value) {
  if (value == FEnabled) return;
  if (FActionList && FActionList->GetState() == asSuspended) {
    FEnabled = value;
    return;
  }
  ORV_FOR_EACH_LINK(SetEnabled(value));
  FEnabled = value;
  Change();
}

void TCustomAction::SetGroupIndex(Integer value) {
  if (value == FGroupIndex) return;
  FGroupIndex = value;
  ORV_FOR_EACH_LINK(SetGroupIndex(value));
  Change();
}

void TCustomAction::SetHelpContext(Integer value) {
  if (value == FHelpContext) return;
  ORV_FOR_EACH_LINK(SetHelpContext(value));
  FHelpContext = value;
  Change();
}

void TCustomAction::SetHint(const AnsiString& value) {
  if (value == FHint) return;
  ORV_FOR_EACH_LINK(SetHint(value));
  FHint = value;
  Change();
}

void TCustomAction::SetImageIndex(Integer value) {
  if (value == FImageIndex) return;
  ORV_FOR_EACH_LINK(SetImageIndex(value));
  FImageIndex = value;
  Change();
}

void TCustomAction::SetShortCut(TShortCut value) {
  if (value == FShortCut) return;
  ORV_FOR_EACH_LINK(SetShortCut(value));
  FShortCut = value;
  Change();
}

void TCustomAction::SetVisible(bool value) {
  if (value == FVisible) return;
  ORV_FOR_EACH_LINK(SetVisible(value));
  FVisible = value;
  Change();
}

void TCustomAction::SetAutoCheck(bool value) {
  if (value == FAutoCheck) return;
  ORV_FOR_EACH_LINK(SetAutoCheck(value));
  FAutoCheck = value;
  Change();
}

#undef ORV_FOR_EACH_LINK

TCustomImageList* TCustomAction::GetImages() const { return FActionList ? FActionList->GetImages() : nullptr; }

// ---- TActionLink ------------------------------------------------------------------------------

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(FAction); }

bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsGroupIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHelpContextLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsShortCutLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }

// ---- TCustomActionList ------------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* owner)
    : TComponent(owner), FActions(new TList), FImageChangeLink(new TChangeLink) {
  FImageChangeLink->SetOnChange(TNotifyEvent(this, &TCustomActionList::ImageListChange));
}

TCustomActionList::~TCustomActionList() {
  FImageChangeLink->Free();
  FActions->Free();
}

void TCustomActionList::BeforeDestruction() {
  Destroying();
  // Actions are owned by the form; they only leave the list.
  while (FActions->GetCount() > 0) RemoveAction(static_cast<TContainedAction*>(FActions->Last()));
  SetImages(nullptr);
  inherited::BeforeDestruction();
}

Integer TCustomActionList::GetActionCount() const { return FActions->GetCount(); }

TContainedAction* TCustomActionList::GetAction(Integer index) const {
  return static_cast<TContainedAction*>(FActions->Get(index));
}

void TCustomActionList::AddAction(TContainedAction* action) {
  if (!action || FActions->IndexOf(action) >= 0) return;
  FActions->Add(action);
  action->FActionList = this;
  action->FreeNotification(this);
  Change();
}

void TCustomActionList::RemoveAction(TContainedAction* action) {
  if (FActions->Remove(action) < 0) return;
  action->FActionList = nullptr;
  if (!GetComponentState().Contains(csDestroying)) Change();
}

bool TCustomActionList::ExecuteAction(TBasicAction* action) {
  bool handled = false;
  if (FOnExecute) FOnExecute(action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* action) {
  bool handled = false;
  if (FOnUpdate) FOnUpdate(action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TShortCut shortCut) {
  if (shortCut == scNone || FState != asNormal) return false;
  for (Integer i = 0; i < GetActionCount(); ++i) {
    auto* action = dynamic_cast<TCustomAction*>(GetAction(i));
    if (!action || action->GetShortCut() != shortCut) continue;
    // The shortcut belongs to the action even while it is disabled: it is eaten, not run.
    action->Update();
    if (action->GetEnabled() && action->GetVisible()) action->Execute();
    return true;
  }
  return false;
}

void TCustomActionList::SetImages(TCustomImageList* value) {
  if (value == FImages) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink);
    FImages->RemoveFreeNotification(this);
  }
  FImages = value;
  if (value) {
    value->RegisterChanges(FImageChangeLink);
    value->FreeNotification(this);
  }
  Change();
}

void TCustomActionList::SetState(TActionListState value) {
  if (value == FState) return;
  FState = value;
  if (value == asSuspendedEnabled)
    for (Integer i = 0; i < GetActionCount(); ++i)
      if (auto* a = dynamic_cast<TCustomAction*>(GetAction(i))) a->SetEnabled(true);
}

void TCustomActionList::ImageListChange(TObject* sender) {
  if (sender == FImages) Change();
}

void TCustomActionList::Change() {
  if (FOnChange) FOnChange(this);
  if (GetComponentState().Contains(csDestroying)) return;
  for (Integer i = 0; i < GetActionCount(); ++i) {
    TContainedAction* a = GetAction(i);
    for (Integer k = 0; k < a->GetClientCount(); ++k) a->GetClient(k)->Change();
  }
}

void TCustomActionList::GetChildren(TGetChildProc proc, TComponent* root) {
  for (Integer i = 0; i < GetActionCount(); ++i) {
    TContainedAction* a = GetAction(i);
    if (a->GetOwner() == root) proc(a);
  }
}

void TCustomActionList::SetChildOrder(TComponent* child, Integer order) {
  if (auto* a = dynamic_cast<TContainedAction*>(child))
    if (a->FActionList == this) a->SetIndex(order);
}

void TCustomActionList::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FImages) {
    FImages = nullptr;
    Change();
  } else if (auto* a = dynamic_cast<TContainedAction*>(component)) {
    RemoveAction(a);
  }
}

// ---- Form descriptions ------------------------------------------------------------------------
// An action list's actions are its children in a description.

namespace {

const orv::EnumNames<TActionListState> kActionListStateNames("TActionListState",
                                                             {"asNormal", "asSuspended", "asSuspendedEnabled"});

}  // namespace

ORV_PUBLISH(TBasicAction) {
  using T = TBasicAction;
  p.Property("OnExecute", &T::GetOnExecute, &T::SetOnExecute);
  p.Property("OnUpdate", &T::GetOnUpdate, &T::SetOnUpdate);
}

ORV_PUBLISH(TContainedAction) {
  using T = TContainedAction;
  p.Property("Category", &T::GetCategory, &T::SetCategory);
}

ORV_PUBLISH(TCustomAction) {}

ORV_PUBLISH(TAction) {
  using T = TAction;
  p.Property("AutoCheck", &T::GetAutoCheck, &T::SetAutoCheck).Default(false);
  p.Property("Caption", &T::GetCaption, &T::SetCaption);
  p.Property("Checked", &T::GetChecked, &T::SetChecked).Default(false);
  p.Property("DisableIfNoHandler", &T::GetDisableIfNoHandler, &T::SetDisableIfNoHandler).Default(true);
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("GroupIndex", &T::GetGroupIndex, &T::SetGroupIndex).Default(0);
  p.Property("HelpContext", &T::GetHelpContext, &T::SetHelpContext).Default(0);
  p.Property("Hint", &T::GetHint, &T::SetHint);
  p.Property("ImageIndex", &T::GetImageIndex, &T::SetImageIndex).Default(-1);
  p.Property("ShortCut", &T::GetShortCut, &T::SetShortCut).Default(TShortCut(scNone));
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(true);
}

ORV_PUBLISH(TCustomActionList) {}

ORV_PUBLISH(TActionList) {
  using T = TActionList;
  p.Property("Images", &T::GetImages, &T::SetImages);
  p.Property("State", &T::GetState, &T::SetState).Default(asNormal);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnExecute", &T::GetOnExecute, &T::SetOnExecute);
  p.Property("OnUpdate", &T::GetOnUpdate, &T::SetOnUpdate);
}
