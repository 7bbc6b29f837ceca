// Forms, data modules, the application object and the screen.
//
// A form is a top-level window. AfterConstruction (TApplication::CreateForm calls it; code that
// creates a form with new calls it once the form is built) reads the form descriptions of its
// classes and then runs OnCreate; OnDestroy runs in BeforeDestruction. Data modules do the same. Show, Hide and ShowModal follow the platform: a modal form runs the
// application's message loop until its ModalResult is set, Close asks CloseQuery and OnClose
// (hide, free, nothing), and closing the main form ends the application.
//
// The application object runs the message loop: before a key message is translated it offers
// the key to the focused control as CN_KEYDOWN / CN_CHAR ... (shortcuts, dialog keys such as
// Tab, Enter and Escape), tracks the control under the mouse (CM_MOUSEENTER / CM_MOUSELEAVE),
// updates actions when idle, and shows every exception a handler lets out through
// HandleException (OnException, or a message box).
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/runtime/Strings.h"

class TCustomForm;
class TForm;
class TDataModule;
class TCustomApplicationEvents;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = orv::Set<TBorderIcon>;
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = orv::Set<TFormStateItem>;

using TCloseEvent = orv::Event<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = orv::Event<void(TObject* sender, bool& canClose)>;
// A key message (WM_KEYDOWN form) offered to the form before its controls see it.
using TShortCutEvent = orv::Event<void(TMessage& message, bool& handled)>;
using TExceptionEvent = orv::Event<void(TObject* sender, Exception& e)>;
using TIdleEvent = orv::Event<void(TObject* sender, bool& done)>;
using TMessageEvent = orv::Event<void(MSG& msg, bool& handled)>;
using TShowHintEvent = orv::Event<void(AnsiString& hintStr, bool& canShow, THintInfo& hintInfo)>;

// The designer of a form at design time: told when the form's components change.
class IDesignerNotify {
 public:
  virtual ~IDesignerNotify() = default;
  virtual void Modified() = 0;
};

// A windowed control that may scroll its children (the base of forms).
class TScrollingWinControl : public TWinControl {
  ORV_CLASS(TScrollingWinControl, TWinControl)
 public:
  explicit TScrollingWinControl(TComponent* owner);
  // Scrolls so that `control` is visible (nothing to do without scroll bars).
  void ScrollInView(TControl* control) {}
};

class TCustomForm : public TScrollingWinControl {
  ORV_CLASS(TCustomForm, TScrollingWinControl)
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  void BeforeDestruction() override;
  // Reads the form descriptions of the form's classes (below TForm, or TCustomForm for other
  // forms), then runs OnCreate; the creator calls it once the form is built. A constructor
  // cannot read them: while it runs the form is not yet of its most derived class.
  virtual void AfterConstruction();

  void Dispatch(TMessage& message) override;
  // A form placed into a control (docked, say) or taken out of one makes its window again: a
  // child window inside its parent, or a top-level window of its own.
  void SetParent(TWinControl* value) override;

  // The form's designer (none at run time); not owned.
  IDesignerNotify* GetDesigner() const { return FDesigner; }
  void SetDesigner(IDesignerNotify* value) { FDesigner = value; }

  // ---- Showing and closing ----
  void Show();
  void Hide() { SetVisible(false); }
  // Hides TControl::SetVisible: while the form is created, Visible only takes effect at the end.
  void SetVisible(bool value);
  bool GetVisible() const { return TControl::GetVisible(); }
  // Runs the message loop until ModalResult is set; answers it.
  virtual Integer ShowModal();
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the messages already queued for it have been handled.
  void Release();
  TModalResult GetModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  TFormState GetFormState() const { return FFormState; }

  // ---- Focus ----
  void SetFocus() override;
  bool CanFocus() override;
  void FocusControl(TWinControl* control);
  // Called when `control`'s window gets the focus: runs CM_EXIT / CM_ENTER down the chain.
  bool SetFocusedControl(TWinControl* control);
  void DefocusControl(TWinControl* control, bool removing);
  TWinControl* GetActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  bool GetActive() const { return FActive; }

  // ---- Properties ----
  TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons GetBorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons value);
  TPosition GetPosition() const { return FPosition; }
  void SetPosition(TPosition value) { FPosition = value; }
  TWindowState GetWindowState() const { return FWindowState; }
  void SetWindowState(TWindowState value);
  TFormStyle GetFormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle value);
  bool GetKeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool value) { FKeyPreview = value; }
  bool GetOldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool value) { FOldCreateOrder = value; }
  Integer GetPixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer value) { FPixelsPerInch = value; }
  bool GetScaled() const { return FScaled; }
  void SetScaled(bool value) { FScaled = value; }
  TCanvas* GetCanvas() const { return FCanvas; }
  // The client size the form was designed with (set while it is read).
  TPoint GetDesignSize() const { return FDesignSize; }
  void SetDesignSize(TPoint value) { FDesignSize = value; }
  void SetClientWidth(Integer value);
  void SetClientHeight(Integer value);

  // A key that may be a shortcut of the form (OnShortCut, then the form's action lists).
  virtual bool IsShortCut(TMessage& message);
  // Updates the actions of the form's visible action clients.
  void UpdateActions();

  // ---- Events ----
  TNotifyEvent GetOnCreate() const { return FOnCreate; }
  void SetOnCreate(TNotifyEvent value) { FOnCreate = value; }
  TNotifyEvent GetOnDestroy() const { return FOnDestroy; }
  void SetOnDestroy(TNotifyEvent value) { FOnDestroy = value; }
  TNotifyEvent GetOnShow() const { return FOnShow; }
  void SetOnShow(TNotifyEvent value) { FOnShow = value; }
  TNotifyEvent GetOnHide() const { return FOnHide; }
  void SetOnHide(TNotifyEvent value) { FOnHide = value; }
  TCloseEvent GetOnClose() const { return FOnClose; }
  void SetOnClose(TCloseEvent value) { FOnClose = value; }
  TCloseQueryEvent GetOnCloseQuery() const { return FOnCloseQuery; }
  void SetOnCloseQuery(TCloseQueryEvent value) { FOnCloseQuery = value; }
  TNotifyEvent GetOnActivate() const { return FOnActivate; }
  void SetOnActivate(TNotifyEvent value) { FOnActivate = value; }
  TNotifyEvent GetOnDeactivate() const { return FOnDeactivate; }
  void SetOnDeactivate(TNotifyEvent value) { FOnDeactivate = value; }
  TNotifyEvent GetOnPaint() const { return FOnPaint; }
  void SetOnPaint(TNotifyEvent value) { FOnPaint = value; }
  TShortCutEvent GetOnShortCut() const { return FOnShortCut; }
  void SetOnShortCut(TShortCutEvent value) { FOnShortCut = value; }

  void Loaded() override;
  // Alignment waits for the end of the description; the client size it names (kept meanwhile
  // as the design size) is applied then.
  void ReadState(TReader* reader) override;
  // The form's controls, then (for the form as root) the components it owns that have no
  // parent.
  void GetChildren(TGetChildProc proc, TComponent* root) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void PaintWindow(HDC dc) override;
  // Descriptions may carry the designer's "TextHeight" (the font's text height when the form was
  // designed); it is read and not written, as forms are not rescaled by it here.
  void DefineProperties(TFiler* filer) override;
  void ChangeScale(Integer m, Integer d) override;
  void ConstraintsChanged(TObject* sender) override;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();

  void WMClose(TMessage& message);
  void WMActivate(TMessage& message);
  void WMGetMinMaxInfo(TMessage& message);
  void WMPaintForm(TMessage& message);
  void CMActivate(TMessage& message);
  void CMDeactivate(TMessage& message);
  void CMShowingChangedForm(TMessage& message);
  void CMDialogKeyForm(TMessage& message);
  void CMRelease(TMessage& message);

 private:
  friend class TApplication;
  IDesignerNotify* FDesigner = nullptr;
  void SetActive(bool value);
  void SetWindowFocus();
  void ReadTextHeight(TReader* reader);
  void CloseModal();

  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  bool FActive = false;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TFormStyle FFormStyle = fsNormal;
  bool FKeyPreview = false;
  bool FOldCreateOrder = false;
  bool FScaled = true;
  bool FCreated = false;
  Integer FPixelsPerInch = 96;
  TModalResult FModalResult = mrNone;
  TFormState FFormState;
  TControlCanvas* FCanvas;
  TPoint FDesignSize;
  TNotifyEvent FOnCreate;
  TNotifyEvent FOnDestroy;
  TNotifyEvent FOnShow;
  TNotifyEvent FOnHide;
  TCloseEvent FOnClose;
  TCloseQueryEvent FOnCloseQuery;
  TNotifyEvent FOnActivate;
  TNotifyEvent FOnDeactivate;
  TNotifyEvent FOnPaint;
  TShortCutEvent FOnShortCut;
};

using TCustomFormClass = orv::ClassOf<TCustomForm>;

class TForm : public TCustomForm {
  ORV_CLASS(TForm, TCustomForm)
 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

using TFormClass = orv::ClassOf<TForm>;

// A non-visual container of components (a form without a window).
class TDataModule : public TComponent {
  ORV_CLASS(TDataModule, TComponent)
 public:
  explicit TDataModule(TComponent* owner);
  void BeforeDestruction() override;
  // Reads the form descriptions of the module's classes below TDataModule, then runs OnCreate.
  virtual void AfterConstruction();
  // The components the module owns that have no parent.
  void GetChildren(TGetChildProc proc, TComponent* root) override;

  bool GetOldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool value) { FOldCreateOrder = value; }
  TPoint GetDesignSize() const { return FDesignSize; }
  void SetDesignSize(TPoint value) { FDesignSize = value; }
  TNotifyEvent GetOnCreate() const { return FOnCreate; }
  void SetOnCreate(TNotifyEvent value) { FOnCreate = value; }
  TNotifyEvent GetOnDestroy() const { return FOnDestroy; }
  void SetOnDestroy(TNotifyEvent value) { FOnDestroy = value; }

 protected:
  virtual void DoCreate();
  virtual void DoDestroy();
  // The design size is stored as "Height" and "Width".
  void DefineProperties(TFiler* filer) override;

 private:
  void ReadHeight(TReader* reader);
  void WriteHeight(TWriter* writer);
  void ReadWidth(TReader* reader);
  void WriteWidth(TWriter* writer);

  bool FOldCreateOrder = false;
  bool FCreated = false;
  TPoint FDesignSize;
  TNotifyEvent FOnCreate;
  TNotifyEvent FOnDestroy;
};

// ---- Application ------------------------------------------------------------------------------

class TApplication : public TComponent {
  ORV_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  void Initialize() {}
  // Creates a form or data module of `instanceClass` owned by the application, stores it
  // (`store`, before OnCreate runs) and runs its AfterConstruction; the first form becomes the
  // main form.
  void CreateForm(TComponentClass instanceClass, const std::function<void(TComponent*)>& store);
  template <class T>
  void CreateForm(T*& reference) {
    CreateForm(T::StaticClass(), [&reference](TComponent* c) { reference = static_cast<T*>(c); });
  }
  // Shows the main form and handles messages until the application terminates.
  void Run();
  // Handles every message that waits, then returns.
  void ProcessMessages();
  // Handles one message, or idles (waiting for one) when none waits.
  void HandleMessage();
  // Ends Run (and any modal loop) after the current message.
  void Terminate();
  bool GetTerminated() const { return FTerminate; }
  // For tests: lets Run start again after a Terminate.
  void ResetTerminated() { FTerminate = false; }

  TForm* GetMainForm() const { return FMainForm; }
  const AnsiString& GetTitle() const { return FTitle; }
  void SetTitle(const AnsiString& value);
  AnsiString GetExeName() const;
  bool GetShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool value) { FShowMainForm = value; }
  bool GetActive() const { return FActive; }
  // The application's hidden window (made on first use).
  HWND GetHandle();

  Integer MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags = MB_OK);
  // Shows the exception being handled (call it inside a catch block): OnException, else a
  // message box with its message; EAbort is silent.
  void HandleException(TObject* sender);
  void ShowException(Exception& e);

  // ---- Hints ----
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& value);
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool value) { FShowHint = value; }
  TColor GetHintColor() const { return FHintColor; }
  void SetHintColor(TColor value) { FHintColor = value; }
  Integer GetHintPause() const { return FHintPause; }
  void SetHintPause(Integer value) { FHintPause = value; }
  Integer GetHintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(Integer value) { FHintShortPause = value; }
  Integer GetHintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(Integer value) { FHintHidePause = value; }
  // Takes the hint away and forgets its control.
  void CancelHint();
  // Hides the hint window (the hint comes back when the mouse moves to another control).
  void HideHint();
  // Shows the hint of the control under `cursorPos` now.
  void ActivateHint(TPoint cursorPos);
  // The mouse moved over `control` (from TControl's window procedure): starts the hint delay.
  void HintMouseMessage(TControl* control, TMessage& message);
  THintWindow* GetHintWindow() const { return FHintWindow; }
  TShowHintEvent GetOnShowHint() const { return FOnShowHint; }
  void SetOnShowHint(TShowHintEvent value) { FOnShowHint = value; }

  // ---- Events ----
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

  // The application events components take part in the application's events (last created
  // first).
  void AddEvents(TCustomApplicationEvents* events);
  void RemoveEvents(TCustomApplicationEvents* events);
  bool ExecuteAction(TBasicAction* action);
  bool UpdateAction(TBasicAction* action);

  // ---- Internal steps, public for the controls layer ----
  bool ProcessMessage(MSG& msg);
  void Idle(const MSG& msg);
  // Tracks the control under the mouse (CM_MOUSEENTER / CM_MOUSELEAVE).
  void DoMouseIdle();
  // Forgets a control that is going away.
  void ControlDestroyed(TControl* control);
  // Offers a key message to the focused control's CN_ form; true when it was handled.
  bool IsKeyMsg(MSG& msg);
  // A key down that no control took: the main form's shortcuts and the application's.
  bool IsShortCut(TMessage& message);

 private:
  void WndProc(TMessage& message);
  void DoActionIdle();
  void StartHintTimer(Integer delay, bool show);
  void StopHintTimer();

  HWND FHandle = nullptr;
  TForm* FMainForm = nullptr;
  AnsiString FTitle;
  bool FTerminate = false;
  bool FShowMainForm = true;
  bool FActive = true;
  bool FHandleCreated = false;
  AnsiString FHint;
  bool FShowHint = true;
  TColor FHintColor = clInfoBk;
  Integer FHintPause = 500;
  Integer FHintShortPause = 50;
  Integer FHintHidePause = 2500;
  TControl* FMouseControl = nullptr;
  TControl* FHintControl = nullptr;
  THintWindow* FHintWindow = nullptr;
  bool FHintActive = false;
  bool FHintTimerShows = false;
  bool FHintTimerRunning = false;
  TRect FHintCursorRect;
  TShowHintEvent FOnShowHint;
  TList* FEvents;
  TExceptionEvent FOnException;
  TIdleEvent FOnIdle;
  TMessageEvent FOnMessage;
  TNotifyEvent FOnActivate;
  TNotifyEvent FOnDeactivate;
  TNotifyEvent FOnHint;
  TShortCutEvent FOnShortCut;
};

// ---- Screen -----------------------------------------------------------------------------------

class TScreen : public TComponent {
  ORV_CLASS(TScreen, TComponent)
 public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  TWinControl* GetActiveControl() const { return FActiveControl; }
  TCustomForm* GetActiveCustomForm() const { return FActiveCustomForm; }
  TForm* GetActiveForm() const { return FActiveForm; }
  Integer GetCustomFormCount() const;
  TCustomForm* GetCustomForm(Integer index) const;
  Integer GetFormCount() const;
  TForm* GetForm(Integer index) const;
  Integer GetDataModuleCount() const;
  TDataModule* GetDataModule(Integer index) const;

  // crDefault lets each control's own cursor show.
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor value);
  HCURSOR GetCursors(Integer index);
  void SetCursors(Integer index, HCURSOR handle);
  // The font faces that drawing offers.
  TStrings* GetFonts();
  Integer GetWidth() const;
  Integer GetHeight() const;
  Integer GetPixelsPerInch() const { return 96; }
  TRect GetWorkAreaRect() const;
  Integer GetWorkAreaLeft() const { return GetWorkAreaRect().Left; }
  Integer GetWorkAreaTop() const { return GetWorkAreaRect().Top; }
  Integer GetWorkAreaWidth() const { return GetWorkAreaRect().Width(); }
  Integer GetWorkAreaHeight() const { return GetWorkAreaRect().Height(); }
  TRect GetDesktopRect() const { return {0, 0, GetWidth(), GetHeight()}; }
  TFont* GetHintFont() const { return FHintFont; }
  TFont* GetIconFont() const { return FIconFont; }
  TFont* GetMenuFont() const { return FMenuFont; }
  TNotifyEvent GetOnActiveControlChange() const { return FOnActiveControlChange; }
  void SetOnActiveControlChange(TNotifyEvent value) { FOnActiveControlChange = value; }
  TNotifyEvent GetOnActiveFormChange() const { return FOnActiveFormChange; }
  void SetOnActiveFormChange(TNotifyEvent value) { FOnActiveFormChange = value; }

  // ---- For forms and data modules ----
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  void AddDataModule(TDataModule* module);
  void RemoveDataModule(TDataModule* module);
  TCustomForm* GetFocusedForm() const { return FFocusedForm; }
  void SetFocusedForm(TCustomForm* form) { FFocusedForm = form; }
  void SetActive(TCustomForm* form, TWinControl* control);
  void UpdateLastActive();
  TList* GetSaveFocusedList() const { return FSaveFocusedList; }

 private:
  TList* FCustomForms;
  TList* FDataModules;
  TList* FSaveFocusedList;
  TCustomForm* FFocusedForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCustomForm* FActiveCustomForm = nullptr;
  TForm* FActiveForm = nullptr;
  TCursor FCursor = crDefault;
  std::vector<std::pair<Integer, HCURSOR>> FCursorTable;
  TStrings* FFonts = nullptr;
  TFont* FHintFont;
  TFont* FIconFont;
  TFont* FMenuFont;
  TNotifyEvent FOnActiveControlChange;
  TNotifyEvent FOnActiveFormChange;
};

extern TApplication* Application;
extern TScreen* Screen;

namespace orv {

// Disables every visible, enabled top-level window of the program but `except` (a modal form's
// way of owning the input); EnableTaskWindows gives them back.
std::vector<HWND> DisableTaskWindows(HWND except);
void EnableTaskWindows(const std::vector<HWND>& windows);

}  // namespace orv
