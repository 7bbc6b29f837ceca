// Actions: named commands with a caption, hint, image, shortcut, enabled, checked and visible
// state that controls and menu items take over through action links, executed and updated
// through their action list (OnExecute / OnUpdate of the list first, then the action's own).
#pragma once

#include "platform/runtime/Component.h"

class TBasicAction;
class TCustomActionList;
class TCustomImageList;
class TChangeLink;

// A key with its modifiers: the virtual key in the low byte, scShift, scCtrl and scAlt above.
using TShortCut = Word;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scCommand = scShift | scCtrl | scAlt;

// Links one client (a control, a menu item) to an action: the action tells its links of every
// change, and the client executes the action through its link.
class TBasicActionLink : public TObject {
  ORV_CLASS(TBasicActionLink, TObject)
 public:
  using TCreateSignature = void(TObject* client);
  explicit TBasicActionLink(TObject* client) {}
  void BeforeDestruction() override;

  TBasicAction* GetAction() const { return FAction; }
  virtual void SetAction(TBasicAction* value);
  // Runs the action for `component` (the action's ActionComponent meanwhile).
  virtual bool Execute(TComponent* component = nullptr);
  virtual bool Update();
  virtual bool IsOnExecuteLinked() { return true; }
  virtual void SetOnExecute(TNotifyEvent value) {}
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }

 protected:
  friend class TBasicAction;
  friend class TCustomActionList;
  virtual void AssignClient(TObject* client) {}
  // The action changed (the base calls OnChange).
  virtual void Change();

  TBasicAction* FAction = nullptr;

 private:
  TNotifyEvent FOnChange;
};

using TBasicActionLinkClass = orv::ClassOf<TBasicActionLink>;

class TBasicAction : public TComponent {
  ORV_CLASS(TBasicAction, TComponent)
 public:
  explicit TBasicAction(TComponent* owner);
  ~TBasicAction() override;
  void BeforeDestruction() override;

  // OnExecute; true when it ran.
  virtual bool Execute();
  // OnUpdate; true when it ran.
  virtual bool Update();
  virtual bool HandlesTarget(TObject* target) { return false; }
  virtual void ExecuteTarget(TObject* target) {}
  virtual void UpdateTarget(TObject* target) {}

  TComponent* GetActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* value);
  TNotifyEvent GetOnExecute() const { return FOnExecute; }
  void SetOnExecute(TNotifyEvent value);
  TNotifyEvent GetOnUpdate() const { return FOnUpdate; }
  void SetOnUpdate(TNotifyEvent value) { FOnUpdate = value; }
  Integer GetClientCount() const;
  TBasicActionLink* GetClient(Integer index) const;

  void Notification(TComponent* component, TOperation operation) override;

 protected:
  friend class TBasicActionLink;
  // Tells every link.
  virtual void Change();
  void RegisterChanges(TBasicActionLink* value);
  void UnRegisterChanges(TBasicActionLink* value);

 private:
  TList* FClients;
  TComponent* FActionComponent = nullptr;
  TNotifyEvent FOnExecute;
  TNotifyEvent FOnUpdate;
  TNotifyEvent FOnChange;
};

using TBasicActionClass = orv::ClassOf<TBasicAction>;

// An action that belongs to an action list (its parent in form descriptions).
class TContainedAction : public TBasicAction {
  ORV_CLASS(TContainedAction, TBasicAction)
 public:
  explicit TContainedAction(TComponent* owner) : TBasicAction(owner) {}
  void BeforeDestruction() override;

  // The list's OnExecute first; the action's own OnExecute when the list left it unhandled.
  bool Execute() override;
  bool Update() override;

  TCustomActionList* GetActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* value);
  const AnsiString& GetCategory() const { return FCategory; }
  void SetCategory(const AnsiString& value);
  Integer GetIndex() const;
  void SetIndex(Integer value);

  // An action always belongs to an action list (the one a description names it inside).
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

 protected:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;

 private:
  AnsiString FCategory;
};

class TCustomAction : public TContainedAction {
  ORV_CLASS(TCustomAction, TContainedAction)
 public:
  explicit TCustomAction(TComponent* owner) : TContainedAction(owner) {}

  // Updates first; runs only while enabled (AutoCheck toggles Checked before).
  bool Execute() override;

  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  bool GetChecked() const { return FChecked; }
  // With a GroupIndex, checking unchecks the other actions of the group in the same list.
  void SetChecked(bool value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool value);
  Integer GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer value);
  Integer GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(Integer value);
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer value);
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  bool GetAutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool value);
  bool GetDisableIfNoHandler() const { return FDisableIfNoHandler; }
  void SetDisableIfNoHandler(bool value) { FDisableIfNoHandler = value; }
  // The list's images (nullptr without a list).
  TCustomImageList* GetImages() const;

 private:
  AnsiString FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  Integer FGroupIndex = 0;
  Integer FHelpContext = 0;
  AnsiString FHint;
  Integer FImageIndex = -1;
  TShortCut FShortCut = scNone;
  bool FVisible = true;
  bool FAutoCheck = false;
  bool FDisableIfNoHandler = true;
  bool FChecking = false;
};

class TAction : public TCustomAction {
  ORV_CLASS(TAction, TCustomAction)
 public:
  explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

// The link of a control or menu item to a TCustomAction: the client overrides the setters it
// shows and the Is...Linked tests say which of the client's properties follow the action.
class TActionLink : public TBasicActionLink {
  ORV_CLASS(TActionLink, TBasicActionLink)
 public:
  explicit TActionLink(TObject* client) : TBasicActionLink(client) {}

  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsGroupIndexLinked();
  virtual bool IsHelpContextLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsShortCutLinked();
  virtual bool IsVisibleLinked();
  virtual void SetAutoCheck(bool value) {}
  virtual void SetCaption(const AnsiString& value) {}
  virtual void SetChecked(bool value) {}
  virtual void SetEnabled(bool value) {}
  virtual void SetGroupIndex(Integer value) {}
  virtual void SetHelpContext(Integer value) {}
  virtual void SetHint(const AnsiString& value) {}
  virtual void SetImageIndex(Integer value) {}
  virtual void SetShortCut(TShortCut value) {}
  virtual void SetVisible(bool value) {}

 protected:
  TCustomAction* CustomAction() const;
};

using TActionEvent = orv::Event<void(TBasicAction* action, bool& handled)>;

enum TActionListState { asNormal, asSuspended, asSuspendedEnabled };

class TCustomActionList : public TComponent {
  ORV_CLASS(TCustomActionList, TComponent)
 public:
  explicit TCustomActionList(TComponent* owner);
  ~TCustomActionList() override;
  void BeforeDestruction() override;

  Integer GetActionCount() const;
  TContainedAction* GetAction(Integer index) const;
  // OnExecute of the list; true when it handled the action.
  virtual bool ExecuteAction(TBasicAction* action);
  virtual bool UpdateAction(TBasicAction* action);
  // Runs the enabled, visible action whose shortcut is `shortCut`; true when one ran.
  bool IsShortCut(TShortCut shortCut);

  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TActionListState GetState() const { return FState; }
  void SetState(TActionListState value);
  TActionEvent GetOnExecute() const { return FOnExecute; }
  void SetOnExecute(TActionEvent value) { FOnExecute = value; }
  TActionEvent GetOnUpdate() const { return FOnUpdate; }
  void SetOnUpdate(TActionEvent value) { FOnUpdate = value; }
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }

  void GetChildren(TGetChildProc proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, Integer order) override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  friend class TContainedAction;
  void AddAction(TContainedAction* action);
  void RemoveAction(TContainedAction* action);
  virtual void Change();

 private:
  void ImageListChange(TObject* sender);

  TList* FActions;
  TCustomImageList* FImages = nullptr;
  TChangeLink* FImageChangeLink;
  TActionListState FState = asNormal;
  TActionEvent FOnExecute;
  TActionEvent FOnUpdate;
  TNotifyEvent FOnChange;
};

class TActionList : public TCustomActionList {
  ORV_CLASS(TActionList, TCustomActionList)
 public:
  explicit TActionList(TComponent* owner) : TCustomActionList(owner) {}
};

namespace orv {

// The application's share in running and updating actions (OnActionExecute / OnActionUpdate of
// the application events); the forms unit installs it.
using ActionRouter = bool (*)(TBasicAction* action, bool execute);
void SetApplicationActionRouter(ActionRouter router);

}  // namespace orv
