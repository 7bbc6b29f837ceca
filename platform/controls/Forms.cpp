#include "platform/controls/Forms.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "platform/controls/AppEvnts.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Filer.h"
#include "platform/runtime/FileSystem.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

namespace {

constexpr UINT_PTR kHintTimer = 1;
Integer gFocusCount = 0;

bool RouteAction(TBasicAction* action, bool execute) {
  if (!Application) return false;
  return execute ? Application->ExecuteAction(action) : Application->UpdateAction(action);
}

const bool kRouterInstalled = (orv::SetApplicationActionRouter(RouteAction), true);

// Sends a focus message; false when the focus moved elsewhere meanwhile.
bool SendFocusMessage(HWND window, UINT msg) {
  const Integer count = gFocusCount;
  SendMessage(window, msg, 0, 0);
  return gFocusCount == count;
}

int ShowCommand(TWindowState state) {
  switch (state) {
    case wsMinimized: return SW_SHOWMINNOACTIVE;
    case wsMaximized: return SW_SHOWMAXIMIZED;
    default: return SW_SHOWNORMAL;
  }
}

}  // namespace

std::vector<HWND> orv::DisableTaskWindows(HWND except) {
  struct TCollect {
    HWND Except;
    std::vector<HWND> Windows;
  } collect{except, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<TCollect*>(param);
        if (window != c->Except && IsWindowVisible(window) && IsWindowEnabled(window)) c->Windows.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&collect));
  for (HWND w : collect.Windows) EnableWindow(w, FALSE);
  return collect.Windows;
}

void orv::EnableTaskWindows(const std::vector<HWND>& windows) {
  for (HWND w : windows)
    if (IsWindow(w)) EnableWindow(w, TRUE);
}

// ---- TScrollingWinControl ---------------------------------------------------------------------

TScrollingWinControl::TScrollingWinControl(TComponent* owner) : TWinControl(owner) {}

// ---- TCustomForm ------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner), FCanvas(new TControlCanvas) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FFormState.Include(fsCreating);
  TControl::SetVisible(false);
  SetParentColor(false);
  SetParentFont(false);
  SetColor(clBtnFace);
  FCanvas->SetControl(this);
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
  FCanvas->Free();
}

void TCustomForm::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  orv::InitInheritedComponent(this, InheritsFrom(TForm::StaticClass()) ? TForm::StaticClass()
                                                                        : TCustomForm::StaticClass());
  FFormState.Exclude(fsCreating);
  if (!FOldCreateOrder) DoCreate();
  if (FFormState.Contains(fsActivated)) {
    FFormState.Exclude(fsActivated);
    Activate();
  }
  if (FFormState.Contains(fsVisible)) {
    FFormState.Exclude(fsVisible);
    SetVisible(true);
  }
}

void TCustomForm::BeforeDestruction() {
  Destroying();
  if (Screen) {
    Screen->GetSaveFocusedList()->Remove(this);
    if (Screen->GetFocusedForm() == this) Screen->SetFocusedForm(nullptr);
  }
  if (FFormStyle != fsMDIChild && FHandle && GetVisible()) {
    try {
      Hide();
    } catch (...) {
      // Teardown goes on; the error was the form's own hide handler's.
    }
  }
  if (FCreated && !FOldCreateOrder) DoDestroy();
  inherited::BeforeDestruction();
}

void TCustomForm::DoCreate() {
  if (!FOnCreate) return;
  try {
    FOnCreate(this);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TCustomForm::DoDestroy() {
  if (!FOnDestroy) return;
  try {
    FOnDestroy(this);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TCustomForm::DoShow() {
  if (FOnShow) FOnShow(this);
}

void TCustomForm::DoHide() {
  if (FOnHide) FOnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (FOnClose) FOnClose(this, action);
}

void TCustomForm::Activate() {
  if (FOnActivate) FOnActivate(this);
}

void TCustomForm::Deactivate() {
  if (FOnDeactivate) FOnDeactivate(this);
}

void TCustomForm::Paint() {
  if (FOnPaint) FOnPaint(this);
}

void TCustomForm::Loaded() {
  inherited::Loaded();
  if (FActiveControl && !FActiveControl->CanFocus()) FActiveControl = nullptr;
}

void TCustomForm::ReadState(TReader* reader) {
  DisableAlign();
  FDesignSize = {};
  try {
    inherited::ReadState(reader);
  } catch (...) {
    EnableAlign();
    throw;
  }
  if (FDesignSize.X > 0) TControl::SetClientWidth(FDesignSize.X);
  if (FDesignSize.Y > 0) TControl::SetClientHeight(FDesignSize.Y);
  EnableAlign();
}

void TCustomForm::GetChildren(TGetChildProc proc, TComponent* root) {
  inherited::GetChildren(proc, root);
  if (root != this) return;
  for (Integer i = 0; i < GetComponentCount(); ++i)
    if (!GetComponent(i)->HasParent()) proc(GetComponent(i));
}

void TCustomForm::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("TextHeight", TReaderProc(this, &TCustomForm::ReadTextHeight), TWriterProc(), false);
}

void TCustomForm::ReadTextHeight(TReader* reader) { reader->ReadInteger(); }

void TCustomForm::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (!FParent && !GetParentWindow()) {
    params.WndParent = Application ? Application->GetHandle() : nullptr;
    params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  }
  params.WindowClass.style = CS_DBLCLKS;
  switch (FBorderStyle) {
    case bsNone:
      if (!FParent && !GetParentWindow()) params.Style |= WS_POPUP;
      break;
    case bsSingle:
    case bsToolWindow: params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      params.Style |= WS_POPUP | WS_CAPTION;
      params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      params.WindowClass.style |= CS_SAVEBITS;
      break;
  }
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) params.ExStyle |= WS_EX_TOOLWINDOW;
  if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable || FBorderStyle == bsNone) {
    if (FBorderIcons.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
    if (FBorderIcons.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
    if (FWindowState == wsMinimized) params.Style |= WS_MINIMIZE;
    if (FWindowState == wsMaximized) params.Style |= WS_MAXIMIZE;
  } else {
    FWindowState = wsNormal;
  }
  if (FBorderIcons.Contains(biSystemMenu) && FBorderStyle != bsNone) params.Style |= WS_SYSMENU;
  if (FFormStyle == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
}

void TCustomForm::CreateWnd() {
  inherited::CreateWnd();
  if (FActiveControl && !FActiveControl->CanFocus()) FActiveControl = nullptr;
}

void TCustomForm::SetParent(TWinControl* value) {
  if (value == GetParent()) return;
  // A top-level window does not become a child by itself (leaving a parent frees the window).
  if (!GetParent() && HandleAllocated()) DestroyHandle();
  inherited::SetParent(value);
  if (!value && !GetComponentState().Contains(csDestroying)) UpdateControlState();
}

void TCustomForm::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CLOSE: WMClose(message); return;
    case WM_ACTIVATE: WMActivate(message); return;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(message); return;
    case WM_PAINT: WMPaintForm(message); return;
    case CM_ACTIVATE: CMActivate(message); return;
    case CM_DEACTIVATE: CMDeactivate(message); return;
    case CM_SHOWINGCHANGED: CMShowingChangedForm(message); return;
    case CM_DIALOGKEY: CMDialogKeyForm(message); return;
    case CM_RELEASE: CMRelease(message); return;
    case WM_NEXTDLGCTL:
      // The dialog step a control asks for: with LParam set WParam is the window to focus, else
      // 0 goes to the next control in the tab order and anything else to the previous one.
      if (message.LParam) {
        TWinControl* control = FindControl(reinterpret_cast<HWND>(message.WParam));
        if (control && control->CanFocus()) control->SetFocus();
      } else {
        SelectNext(GetActiveControl(), message.WParam == 0, true);
      }
      message.Result = 0;
      return;
    default: break;
  }
  inherited::Dispatch(message);
}

void TCustomForm::WMPaintForm(TMessage& message) {
  if (FHandle && IsIconic(FHandle)) {
    inherited::Dispatch(message);
    return;
  }
  FControlState.Include(csCustomPaint);
  try {
    inherited::Dispatch(message);
  } catch (...) {
    FControlState.Exclude(csCustomPaint);
    throw;
  }
  FControlState.Exclude(csCustomPaint);
}

void TCustomForm::PaintWindow(HDC dc) {
  orv::TCanvasPaintScope scope(FCanvas, dc);
  Paint();
}

void TCustomForm::WMClose(TMessage& message) { Close(); }

void TCustomForm::WMActivate(TMessage& message) { SetActive(LOWORD(message.WParam) != WA_INACTIVE); }

void TCustomForm::WMGetMinMaxInfo(TMessage& message) {
  auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
  DefaultHandler(message);
  if (!info) return;
  if (GetConstraints()->GetMinWidth() > 0) info->ptMinTrackSize.X = GetConstraints()->GetMinWidth();
  if (GetConstraints()->GetMinHeight() > 0) info->ptMinTrackSize.Y = GetConstraints()->GetMinHeight();
  if (GetConstraints()->GetMaxWidth() > 0) info->ptMaxTrackSize.X = GetConstraints()->GetMaxWidth();
  if (GetConstraints()->GetMaxHeight() > 0) info->ptMaxTrackSize.Y = GetConstraints()->GetMaxHeight();
}

void TCustomForm::ConstraintsChanged(TObject* sender) {
  inherited::ConstraintsChanged(sender);
  // The window's tracking size follows through WM_GETMINMAXINFO; the current size is checked.
  SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TCustomForm::CMActivate(TMessage& message) {
  if (GetComponentState().Contains(csReading))
    FFormState.Include(fsActivated);
  else
    Activate();
}

void TCustomForm::CMDeactivate(TMessage& message) {
  if (!GetComponentState().Contains(csReading)) Deactivate();
}

void TCustomForm::CMRelease(TMessage& message) { Free(); }

void TCustomForm::CMShowingChangedForm(TMessage& message) {
  if (FFormState.Contains(fsShowing)) throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
  FFormState.Include(fsShowing);
  try {
    if (FShowing) {
      try {
        DoShow();
      } catch (...) {
        Application->HandleException(this);
      }
      if (FPosition == poScreenCenter || FPosition == poDesktopCenter || FPosition == poMainFormCenter ||
          FPosition == poOwnerFormCenter) {
        TRect around = Screen->GetDesktopRect();
        if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
          TCustomForm* center = Application->GetMainForm();
          if (FPosition == poOwnerFormCenter) center = dynamic_cast<TCustomForm*>(GetOwner());
          if (center && center != this && center->HandleAllocated()) around = center->GetBoundsRect();
        }
        Integer x = around.Left + (around.Width() - FWidth) / 2;
        Integer y = around.Top + (around.Height() - FHeight) / 2;
        const TRect work = Screen->GetWorkAreaRect();
        x = std::max(work.Left, std::min(x, work.Right - FWidth));
        y = std::max(work.Top, std::min(y, work.Bottom - FHeight));
        SetBounds(x, y, FWidth, FHeight);
      }
      FPosition = poDesigned;
      ShowWindow(FHandle, ShowCommand(FWindowState));
      if (FFormStyle == fsStayOnTop) SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    } else {
      try {
        DoHide();
      } catch (...) {
        Application->HandleException(this);
      }
      const bool wasActive = GetActiveWindow() == FHandle;
      SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      // The next visible form of the program takes the activation.
      if (wasActive) {
        for (Integer i = 0; i < Screen->GetCustomFormCount(); ++i) {
          TCustomForm* f = Screen->GetCustomForm(i);
          if (f != this && f->HandleAllocated() && IsWindowVisible(f->FHandle) && IsWindowEnabled(f->FHandle)) {
            SetActiveWindow(f->FHandle);
            break;
          }
        }
      }
    }
  } catch (...) {
    FFormState.Exclude(fsShowing);
    throw;
  }
  FFormState.Exclude(fsShowing);
}

void TCustomForm::SetVisible(bool value) {
  if (FFormState.Contains(fsCreating)) {
    if (value)
      FFormState.Include(fsVisible);
    else
      FFormState.Exclude(fsVisible);
    return;
  }
  TControl::SetVisible(value);
}

void TCustomForm::Show() {
  AfterConstruction();
  SetVisible(true);
  BringToFront();
}

Integer TCustomForm::ShowModal() {
  AfterConstruction();
  CancelDrag();
  if (GetVisible() || !GetEnabled() || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState.Include(fsModal);
  HWND activeWindow = GetActiveWindow();
  Screen->GetSaveFocusedList()->Insert(0, Screen->GetFocusedForm());
  Screen->SetFocusedForm(this);
  const TCursor saveCursor = Screen->GetCursor();
  Screen->SetCursor(crDefault);
  std::vector<HWND> disabled = orv::DisableTaskWindows(nullptr);
  Integer result = mrNone;
  auto restore = [&] {
    orv::EnableTaskWindows(disabled);
    TList* saved = Screen->GetSaveFocusedList();
    if (saved->GetCount() > 0) {
      Screen->SetFocusedForm(static_cast<TCustomForm*>(saved->First()));
      saved->Delete(0);
    } else {
      Screen->SetFocusedForm(nullptr);
    }
    if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
    Screen->SetCursor(saveCursor);
    FFormState.Exclude(fsModal);
  };
  try {
    Show();
    try {
      SendMessage(FHandle, CM_ACTIVATE, 0, 0);
      FModalResult = mrNone;
      do {
        Application->HandleMessage();
        if (Application->GetTerminated())
          FModalResult = mrCancel;
        else if (FModalResult != mrNone)
          CloseModal();
      } while (FModalResult == mrNone);
      result = FModalResult;
      if (FHandle) SendMessage(FHandle, CM_DEACTIVATE, 0, 0);
      if (GetActiveWindow() != FHandle) activeWindow = nullptr;
    } catch (...) {
      Hide();
      throw;
    }
    Hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction action = caNone;
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
    switch (action) {
      case caNone: FModalResult = mrNone; break;
      case caFree: Release(); break;
      default: break;
    }
  } catch (...) {
    FModalResult = mrNone;
    Application->HandleException(this);
  }
}

bool TCustomForm::CloseQuery() {
  bool result = true;
  if (FOnCloseQuery) FOnCloseQuery(this, result);
  return result;
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = FFormStyle == fsMDIChild ? caMinimize : caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application->GetMainForm() == this)
    Application->Terminate();
  else if (action == caHide)
    Hide();
  else if (action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Release();
}

void TCustomForm::Release() {
  if (FHandle)
    PostMessage(FHandle, CM_RELEASE, 0, 0);
  else
    Free();
}

// ---- Focus -----

bool TCustomForm::CanFocus() { return GetVisible() && GetEnabled(); }

void TCustomForm::SetFocus() {
  if (FActive) return;
  if (!(GetVisible() && GetEnabled())) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  HWND focus = FActiveControl ? FActiveControl->GetHandle() : GetHandle();
  if (focus) ::SetFocus(focus);
}

void TCustomForm::FocusControl(TWinControl* control) {
  const bool wasActive = FActive;
  SetActiveControl(control);
  if (!wasActive) SetFocus();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == FActiveControl) return;
  if (!(control == nullptr ||
        (control != this && GetParentForm(control) == this &&
         (GetComponentState().Contains(csLoading) || control->CanFocus()))))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  FActiveControl = control;
  if (!GetComponentState().Contains(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::SetActive(bool value) {
  FActive = value;
  if (!value) return;
  if (!FActiveControl && !GetComponentState().Contains(csDesigning))
    FActiveControl = FindNextControl(nullptr, true, true, false);
  SetWindowFocus();
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  ++gFocusCount;
  if (control != this)
    FActiveControl = control;
  else
    FActiveControl = nullptr;
  Screen->SetActive(this, control);
  if (control->FControlState.Contains(csFocusing)) return false;
  control->FControlState.Include(csFocusing);
  bool result = false;
  auto finish = [&] {
    control->FControlState.Exclude(csFocusing);
  };
  try {
    do {
      if (Screen->GetFocusedForm() != this) {
        if (TCustomForm* old = Screen->GetFocusedForm()) {
          HWND h = old->FHandle;
          Screen->SetFocusedForm(nullptr);
          if (h && !SendFocusMessage(h, CM_DEACTIVATE)) break;
        }
        Screen->SetFocusedForm(this);
        if (!SendFocusMessage(FHandle, CM_ACTIVATE)) break;
      }
      if (!FFocusedControl) FFocusedControl = this;
      if (FFocusedControl != control) {
        bool aborted = false;
        while (FFocusedControl && !FFocusedControl->ContainsControl(control)) {
          HWND h = FFocusedControl->FHandle;
          FFocusedControl = FFocusedControl->GetParent();
          if (h && !SendFocusMessage(h, CM_EXIT)) {
            aborted = true;
            break;
          }
        }
        if (aborted) break;
        while (FFocusedControl != control) {
          TWinControl* temp = control;
          while (temp->GetParent() != FFocusedControl) temp = temp->GetParent();
          FFocusedControl = temp;
          if (!SendFocusMessage(temp->GetHandle(), CM_ENTER)) {
            aborted = true;
            break;
          }
        }
        if (aborted) break;
        Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
      }
      result = true;
    } while (false);
  } catch (...) {
    finish();
    throw;
  }
  finish();
  if (result) Screen->UpdateLastActive();
  return result;
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
  if (removing && FFocusedControl && control->ContainsControl(FFocusedControl)) FFocusedControl = control->GetParent();
  if (FActiveControl && control->ContainsControl(FActiveControl)) SetActiveControl(nullptr);
}

// ---- Keys -----

void TCustomForm::CMDialogKeyForm(TMessage& message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (message.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
          message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (FActiveControl && FActiveControl->GetParent()) {
          FActiveControl->GetParent()->SelectNext(
              FActiveControl, message.WParam == WPARAM(VK_RIGHT) || message.WParam == WPARAM(VK_DOWN), false);
          message.Result = 1;
        }
        return;
      default: break;
    }
  }
  inherited::Dispatch(message);
}

bool TCustomForm::IsShortCut(TMessage& message) {
  bool handled = false;
  if (FOnShortCut) FOnShortCut(message, handled);
  if (handled) return true;
  const TShortCut shortCut = ShortCutFromMessage(message.WParam);
  for (Integer i = 0; i < GetComponentCount(); ++i)
    if (auto* list = dynamic_cast<TCustomActionList*>(GetComponent(i)))
      if (list->IsShortCut(shortCut)) return true;
  return false;
}

void TCustomForm::UpdateActions() {
  if (GetComponentState().Contains(csDesigning) || !FShowing) return;
  InitiateAction();
  std::function<void(TWinControl*)> traverse = [&](TWinControl* container) {
    if (!container->GetShowing()) return;
    for (Integer i = 0; i < container->GetControlCount(); ++i) {
      TControl* c = container->GetControl(i);
      if (c->GetControlStyle().Contains(csActionClient) && c->GetVisible()) c->InitiateAction();
      if (auto* w = dynamic_cast<TWinControl*>(c); w && w->GetControlCount() > 0) traverse(w);
    }
  };
  traverse(this);
}

// ---- Properties -----

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (value == FBorderIcons) return;
  FBorderIcons = value;
  RecreateWnd();
}

void TCustomForm::SetWindowState(TWindowState value) {
  if (value == FWindowState) return;
  FWindowState = value;
  if (FShowing) ShowWindow(FHandle, ShowCommand(value));
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (value == FFormStyle) return;
  FFormStyle = value;
  if (FHandle)
    SetWindowPos(FHandle, value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetClientWidth(Integer value) {
  if (FControlState.Contains(csReadingState)) {
    FDesignSize.X = value;
    return;
  }
  TControl::SetClientWidth(value);
}

void TCustomForm::SetClientHeight(Integer value) {
  if (FControlState.Contains(csReadingState)) {
    FDesignSize.Y = value;
    return;
  }
  TControl::SetClientHeight(value);
}

void TCustomForm::ChangeScale(Integer m, Integer d) {
  inherited::ChangeScale(m, d);
  FPixelsPerInch = MulDiv(FPixelsPerInch, m, d);
}

// ---- TDataModule ------------------------------------------------------------------------------

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) {
  if (Screen) Screen->AddDataModule(this);
}

void TDataModule::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  orv::InitInheritedComponent(this, TDataModule::StaticClass());
  if (!FOldCreateOrder) DoCreate();
}

void TDataModule::BeforeDestruction() {
  Destroying();
  if (FCreated && !FOldCreateOrder) DoDestroy();
  if (Screen) Screen->RemoveDataModule(this);
  inherited::BeforeDestruction();
}

void TDataModule::GetChildren(TGetChildProc proc, TComponent* root) {
  for (Integer i = 0; i < GetComponentCount(); ++i)
    if (!GetComponent(i)->HasParent()) proc(GetComponent(i));
}

void TDataModule::DefineProperties(TFiler* filer) {
  inherited::DefineProperties(filer);
  filer->DefineProperty("Height", TReaderProc(this, &TDataModule::ReadHeight),
                        TWriterProc(this, &TDataModule::WriteHeight), true);
  filer->DefineProperty("Width", TReaderProc(this, &TDataModule::ReadWidth),
                        TWriterProc(this, &TDataModule::WriteWidth), true);
}

void TDataModule::ReadHeight(TReader* reader) { FDesignSize.Y = reader->ReadInteger(); }
void TDataModule::WriteHeight(TWriter* writer) { writer->WriteInteger(FDesignSize.Y); }
void TDataModule::ReadWidth(TReader* reader) { FDesignSize.X = reader->ReadInteger(); }
void TDataModule::WriteWidth(TWriter* writer) { writer->WriteInteger(FDesignSize.X); }

void TDataModule::DoCreate() {
  if (!FOnCreate) return;
  try {
    FOnCreate(this);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TDataModule::DoDestroy() {
  if (!FOnDestroy) return;
  try {
    FOnDestroy(this);
  } catch (...) {
    Application->HandleException(this);
  }
}

// ---- TApplication -----------------------------------------------------------------------------

TApplication::TApplication(TComponent* owner) : TComponent(owner), FEvents(new TList) {
  const AnsiString exe = ExtractFileName(orv::ExecutableFileName());
  FTitle = ChangeFileExt(exe, "");
}

TApplication::~TApplication() {
  if (FHandle && IsWindow(FHandle)) DeallocateHWnd(FHandle);
  FEvents->Free();
}

HWND TApplication::GetHandle() {
  if (!FHandle || !IsWindow(FHandle)) {
    FHandle = AllocateHWnd(TWndMethod(this, &TApplication::WndProc));
    SetWindowText(FHandle, FTitle.c_str());
  }
  return FHandle;
}

void TApplication::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_APPKEYDOWN: {
      TMessage key;
      key.Msg = WM_KEYDOWN;
      key.WParam = message.WParam;
      key.LParam = message.LParam;
      message.Result = IsShortCut(key) ? 1 : 0;
      return;
    }
    case WM_ACTIVATEAPP:
      FActive = message.WParam != 0;
      if (FActive) {
        if (FOnActivate) FOnActivate(this);
        for (Integer i = FEvents->GetCount() - 1; i >= 0; --i)
          static_cast<TCustomApplicationEvents*>(FEvents->Get(i))->DoActivate(this);
      } else {
        if (FOnDeactivate) FOnDeactivate(this);
        for (Integer i = FEvents->GetCount() - 1; i >= 0; --i)
          static_cast<TCustomApplicationEvents*>(FEvents->Get(i))->DoDeactivate(this);
      }
      return;
    case WM_TIMER:
      if (message.WParam == kHintTimer) {
        StopHintTimer();
        if (FHintTimerShows) {
          POINT p;
          GetCursorPos(&p);
          ActivateHint(p);
        } else {
          // The hide delay passed: the hint goes until the mouse moves to another control.
          HideHint();
          FHintActive = false;
        }
      }
      return;
    default:
      message.Result = DefWindowProc(FHandle, message.Msg, message.WParam, message.LParam);
      return;
  }
}

void TApplication::SetTitle(const AnsiString& value) {
  if (value == FTitle) return;
  FTitle = value;
  if (FHandle && IsWindow(FHandle)) SetWindowText(FHandle, value.c_str());
}

AnsiString TApplication::GetExeName() const { return orv::ExecutableFileName(); }

void TApplication::CreateForm(TComponentClass instanceClass, const std::function<void(TComponent*)>& store) {
  TComponent* instance = instanceClass.Create(this);
  if (store) store(instance);
  try {
    if (auto* form = dynamic_cast<TCustomForm*>(instance))
      form->AfterConstruction();
    else if (auto* module = dynamic_cast<TDataModule*>(instance))
      module->AfterConstruction();
  } catch (...) {
    if (store) store(nullptr);
    instance->Free();
    throw;
  }
  if (!FMainForm)
    if (auto* form = dynamic_cast<TForm*>(instance)) {
      form->HandleNeeded();
      FMainForm = form;
    }
}

void TApplication::Run() {
  if (!FMainForm) return;
  if (FShowMainForm) FMainForm->SetVisible(true);
  do {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  } while (!FTerminate);
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminate = true;
    return true;
  }
  if (FHintWindow && FHintWindow->IsHintMsg(msg)) CancelHint();
  bool handled = false;
  if (FOnMessage) FOnMessage(msg, handled);
  for (Integer i = FEvents->GetCount() - 1; i >= 0 && !handled; --i)
    static_cast<TCustomApplicationEvents*>(FEvents->Get(i))->DoMessage(msg, handled);
  if (!handled && !IsKeyMsg(msg)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  if (msg.message == WM_MOUSEMOVE) DoMouseIdle();
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle(msg);
}

void TApplication::Idle(const MSG& msg) {
  DoMouseIdle();
  bool done = true;
  try {
    if (FOnIdle) FOnIdle(this, done);
    for (Integer i = FEvents->GetCount() - 1; i >= 0; --i)
      static_cast<TCustomApplicationEvents*>(FEvents->Get(i))->DoIdle(this, done);
    if (done) DoActionIdle();
  } catch (...) {
    HandleException(this);
  }
  if (done) WaitMessage();
}

void TApplication::DoActionIdle() {
  for (Integer i = 0; i < Screen->GetCustomFormCount(); ++i) {
    TCustomForm* form = Screen->GetCustomForm(i);
    if (form->HandleAllocated() && IsWindowVisible(form->GetHandle()) && IsWindowEnabled(form->GetHandle()))
      form->UpdateActions();
  }
}

void TApplication::DoMouseIdle() {
  POINT p;
  GetCursorPos(&p);
  TControl* control = FindDragTarget(p, true);
  if (control != FMouseControl) {
    TControl* old = FMouseControl;
    FMouseControl = control;
    if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
    if (FMouseControl && FMouseControl == control) FMouseControl->Perform(CM_MOUSEENTER, 0, 0);
  }
  // The hint of the control under the mouse (its own, or the first parent's that has one).
  AnsiString hint;
  for (TControl* c = control; c && hint.empty(); c = c->GetParent()) hint = c->GetHint();
  const std::size_t bar = hint.find('|');
  SetHint(bar == AnsiString::npos ? hint : hint.substr(bar + 1));
}

void TApplication::ControlDestroyed(TControl* control) {
  if (FMainForm == control) FMainForm = nullptr;
  if (FHintControl == control) {
    FHintControl = nullptr;
    HideHint();
    StopHintTimer();
  }
  if (FHintWindow == control) FHintWindow = nullptr;
  if (FMouseControl == control) FMouseControl = nullptr;
  if (Screen) {
    if (Screen->GetActiveControl() == control || Screen->GetActiveCustomForm() == control)
      Screen->SetActive(Screen->GetActiveCustomForm() == control ? nullptr : Screen->GetActiveCustomForm(), nullptr);
    if (Screen->GetFocusedForm() == control) Screen->SetFocusedForm(nullptr);
    Screen->UpdateLastActive();
  }
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  // Escape ends a drag without a drop; other keys wait until it is over.
  if (GetDragObject()) {
    if (msg.message == WM_KEYDOWN && msg.wParam == WPARAM(VK_ESCAPE)) CancelDrag();
    return true;
  }
  HWND window = GetCapture();
  if (!window) {
    window = msg.hwnd;
    while (window && !FindControl(window)) window = GetParent(window);
    if (!window) window = msg.hwnd;
  } else if (!FindControl(window)) {
    return false;
  }
  return window && SendMessage(window, CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::IsShortCut(TMessage& message) {
  bool handled = false;
  if (FOnShortCut) FOnShortCut(message, handled);
  for (Integer i = FEvents->GetCount() - 1; i >= 0 && !handled; --i)
    static_cast<TCustomApplicationEvents*>(FEvents->Get(i))->DoShortCut(message, handled);
  if (handled) return true;
  return FMainForm && FMainForm->HandleAllocated() && IsWindowEnabled(FMainForm->GetHandle()) &&
         FMainForm->IsShortCut(message);
}

void TApplication::Terminate() { PostQuitMessage(0); }

Integer TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) {
  HWND active = GetActiveWindow();
  std::vector<HWND> disabled = orv::DisableTaskWindows(nullptr);
  Integer result;
  try {
    result = ::MessageBox(active, text.c_str(), caption.c_str(), flags);
  } catch (...) {
    orv::EnableTaskWindows(disabled);
    throw;
  }
  orv::EnableTaskWindows(disabled);
  if (active && IsWindow(active)) SetActiveWindow(active);
  return result;
}

void TApplication::HandleException(TObject* sender) {
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (EAbort&) {
    // Silent by design.
  } catch (Exception& e) {
    bool routed = false;
    for (Integer i = FEvents->GetCount() - 1; i >= 0; --i) routed |= static_cast<TCustomApplicationEvents*>(FEvents->Get(i))->DoException(sender, e);
    if (FOnException) {
      FOnException(sender, e);
      routed = true;
    }
    if (!routed) ShowException(e);
  } catch (std::exception& e) {
    Exception wrapped(e.what());
    ShowException(wrapped);
  } catch (...) {
    Exception wrapped("Unknown exception");
    ShowException(wrapped);
  }
}

void TApplication::ShowException(Exception& e) {
  AnsiString text = e.GetMessage();
  if (!text.empty() && Byte(text.back()) > Byte('.')) text += '.';
  MessageBox(text, FTitle, MB_OK | MB_ICONSTOP);
}

void TApplication::SetHint(const AnsiString& value) {
  if (value == FHint) return;
  FHint = value;
  if (FOnHint) FOnHint(this);
  for (Integer i = FEvents->GetCount() - 1; i >= 0; --i)
    static_cast<TCustomApplicationEvents*>(FEvents->Get(i))->DoHint(this);
}

namespace {

// The control whose hint shows over `control`: the first one up the parents with ShowHint.
TControl* HintControlOf(TControl* control) {
  while (control && !control->GetShowHint()) control = control->GetParent();
  if (control && control->GetComponentState().Contains(csDesigning)) return nullptr;
  return control;
}

AnsiString HintOf(TControl* control) {
  for (; control; control = control->GetParent())
    if (!control->GetHint().empty()) return control->GetHint();
  return AnsiString();
}

}  // namespace

void TApplication::StartHintTimer(Integer delay, bool show) {
  StopHintTimer();
  FHintTimerShows = show;
  FHintTimerRunning = SetTimer(GetHandle(), kHintTimer, UINT(std::max(1, delay)), nullptr) != 0;
}

void TApplication::StopHintTimer() {
  if (!FHintTimerRunning) return;
  FHintTimerRunning = false;
  if (FHandle && IsWindow(FHandle)) KillTimer(FHandle, kHintTimer);
}

void TApplication::HideHint() {
  if (FHintWindow && FHintWindow->HandleAllocated() && IsWindowVisible(FHintWindow->GetHandle()))
    ShowWindow(FHintWindow->GetHandle(), SW_HIDE);
}

void TApplication::CancelHint() {
  if (!FHintControl) return;
  HideHint();
  FHintControl = nullptr;
  FHintActive = false;
  StopHintTimer();
}

void TApplication::HintMouseMessage(TControl* control, TMessage& message) {
  const TPoint screen = control->ClientToScreen({GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
  TControl* hintControl = HintControlOf(FindDragTarget(screen, true));
  if (!hintControl || !FShowHint) {
    CancelHint();
    return;
  }
  const TRect& r = FHintCursorRect;
  const bool inRect = screen.X >= r.Left && screen.X < r.Right && screen.Y >= r.Top && screen.Y < r.Bottom;
  if (hintControl != FHintControl || !inRect) {
    const bool wasActive = FHintActive;
    CancelHint();
    FHintControl = hintControl;
    FHintCursorRect = {};
    StartHintTimer(wasActive ? FHintShortPause : FHintPause, true);
  }
}

void TApplication::ActivateHint(TPoint cursorPos) {
  FHintActive = false;
  if (!FShowHint || !FHintControl || FHintControl != HintControlOf(FindDragTarget(cursorPos, true))) {
    CancelHint();
    return;
  }
  THintInfo info;
  info.HintControl = FHintControl;
  info.HintPos = {cursorPos.X, cursorPos.Y + GetSystemMetrics(SM_CYCURSOR)};
  info.HintMaxWidth = Screen->GetWidth();
  info.HintColor = FHintColor;
  const TPoint origin = FHintControl->ClientToScreen({0, 0});
  info.CursorRect = Bounds(origin.X, origin.Y, FHintControl->GetWidth(), FHintControl->GetHeight());
  info.CursorPos = FHintControl->ScreenToClient(cursorPos);
  info.HintStr = GetShortHint(HintOf(FHintControl));
  info.HideTimeout = FHintHidePause;
  info.HintWindowClass = HintWindowClass;
  bool canShow = FHintControl->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow && FOnShowHint) FOnShowHint(info.HintStr, canShow, info);
  FHintActive = canShow && FHintControl;
  if (!FHintActive || info.HintStr.empty()) {
    if (info.ReshowTimeout > 0)
      StartHintTimer(info.ReshowTimeout, true);
    else
      CancelHint();
    return;
  }
  if (!FHintWindow || FHintWindow->ClassType() != info.HintWindowClass.Get()) {
    orv::Free(FHintWindow);
    FHintWindow = info.HintWindowClass ? info.HintWindowClass.Create(this) : new THintWindow(this);
  }
  FHintWindow->SetColor(info.HintColor);
  TRect rect = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  rect = {rect.Left + info.HintPos.X, rect.Top + info.HintPos.Y, rect.Right + info.HintPos.X, rect.Bottom + info.HintPos.Y};
  FHintWindow->ActivateHintData(rect, info.HintStr, info.HintData);
  FHintCursorRect = info.CursorRect;
  StartHintTimer(info.HideTimeout, false);
}

void TApplication::AddEvents(TCustomApplicationEvents* events) {
  if (FEvents->IndexOf(events) < 0) FEvents->Add(events);
}

void TApplication::RemoveEvents(TCustomApplicationEvents* events) { FEvents->Remove(events); }

bool TApplication::ExecuteAction(TBasicAction* action) {
  bool handled = false;
  for (Integer i = FEvents->GetCount() - 1; i >= 0 && !handled; --i)
    static_cast<TCustomApplicationEvents*>(FEvents->Get(i))->DoActionExecute(action, handled);
  return handled;
}

bool TApplication::UpdateAction(TBasicAction* action) {
  bool handled = false;
  for (Integer i = FEvents->GetCount() - 1; i >= 0 && !handled; --i)
    static_cast<TCustomApplicationEvents*>(FEvents->Get(i))->DoActionUpdate(action, handled);
  return handled;
}

// ---- TScreen ----------------------------------------------------------------------------------

TScreen::TScreen(TComponent* owner)
    : TComponent(owner),
      FCustomForms(new TList),
      FDataModules(new TList),
      FSaveFocusedList(new TList),
      FHintFont(new TFont),
      FIconFont(new TFont),
      FMenuFont(new TFont) {
  FHintFont->SetColor(clInfoText);
}

TScreen::~TScreen() {
  FCustomForms->Free();
  FDataModules->Free();
  FSaveFocusedList->Free();
  orv::Free(FFonts);
  FHintFont->Free();
  FIconFont->Free();
  FMenuFont->Free();
}

Integer TScreen::GetCustomFormCount() const { return FCustomForms->GetCount(); }
TCustomForm* TScreen::GetCustomForm(Integer index) const {
  return static_cast<TCustomForm*>(FCustomForms->Get(index));
}

Integer TScreen::GetFormCount() const {
  Integer n = 0;
  for (Integer i = 0; i < FCustomForms->GetCount(); ++i)
    if (dynamic_cast<TForm*>(GetCustomForm(i))) ++n;
  return n;
}

TForm* TScreen::GetForm(Integer index) const {
  for (Integer i = 0; i < FCustomForms->GetCount(); ++i)
    if (auto* f = dynamic_cast<TForm*>(GetCustomForm(i)))
      if (index-- == 0) return f;
  throw EListError("List index out of bounds");
}

Integer TScreen::GetDataModuleCount() const { return FDataModules->GetCount(); }
TDataModule* TScreen::GetDataModule(Integer index) const {
  return static_cast<TDataModule*>(FDataModules->Get(index));
}

void TScreen::AddForm(TCustomForm* form) { FCustomForms->Add(form); }

void TScreen::RemoveForm(TCustomForm* form) {
  FCustomForms->Remove(form);
  FSaveFocusedList->Remove(form);
  if (FFocusedForm == form) FFocusedForm = nullptr;
  if (FActiveCustomForm == form) SetActive(nullptr, nullptr);
}

void TScreen::AddDataModule(TDataModule* module) { FDataModules->Add(module); }
void TScreen::RemoveDataModule(TDataModule* module) { FDataModules->Remove(module); }

void TScreen::SetActive(TCustomForm* form, TWinControl* control) {
  FActiveCustomForm = form;
  FActiveControl = control;
  FActiveForm = dynamic_cast<TForm*>(form);
  if (form) {
    FCustomForms->Remove(form);
    FCustomForms->Insert(0, form);
  }
}

void TScreen::UpdateLastActive() {
  static TCustomForm* lastForm = nullptr;
  static TWinControl* lastControl = nullptr;
  if (lastForm != FActiveCustomForm) {
    lastForm = FActiveCustomForm;
    if (FOnActiveFormChange) FOnActiveFormChange(this);
  }
  if (lastControl != FActiveControl) {
    lastControl = FActiveControl;
    if (FOnActiveControlChange) FOnActiveControlChange(this);
  }
}

void TScreen::SetCursor(TCursor value) {
  if (value == FCursor) return;
  FCursor = value;
  if (value == crDefault) {
    // Back to each control's own cursor: ask the window under the mouse.
    POINT p;
    GetCursorPos(&p);
    if (HWND window = WindowFromPoint(p)) {
      const LRESULT code = SendMessage(window, WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
      SendMessage(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(int(code), WM_MOUSEMOVE));
      return;
    }
  }
  ::SetCursor(GetCursors(value));
}

HCURSOR TScreen::GetCursors(Integer index) {
  for (const auto& entry : FCursorTable)
    if (entry.first == index) return entry.second;
  const char* name = nullptr;
  switch (index) {
    case crNone: return nullptr;
    case crCross: name = IDC_CROSS; break;
    case crIBeam: name = IDC_IBEAM; break;
    case crSizeNESW: name = IDC_SIZENESW; break;
    case crSizeNS:
    case crVSplit: name = IDC_SIZENS; break;
    case crSizeNWSE: name = IDC_SIZENWSE; break;
    case crSizeWE:
    case crHSplit: name = IDC_SIZEWE; break;
    case crUpArrow: name = IDC_UPARROW; break;
    case crHourGlass:
    case crSQLWait: name = IDC_WAIT; break;
    case crNoDrop:
    case crNo: name = IDC_NO; break;
    case crAppStart: name = IDC_APPSTARTING; break;
    case crHelp: name = IDC_HELP; break;
    case crHandPoint: name = IDC_HAND; break;
    case crSizeAll: name = IDC_SIZEALL; break;
    default: name = IDC_ARROW; break;
  }
  return LoadCursor(nullptr, name);
}

void TScreen::SetCursors(Integer index, HCURSOR handle) {
  for (auto& entry : FCursorTable)
    if (entry.first == index) {
      entry.second = handle;
      return;
    }
  FCursorTable.emplace_back(index, handle);
}

TStrings* TScreen::GetFonts() {
  if (!FFonts) {
    auto* list = new TStringList;
    for (const char* face : {"Arial", "Courier New", "MS Sans Serif", "Segoe UI", "Symbol", "System",
                             "Tahoma", "Times New Roman", orv::kTestFontFace})
      list->Add(face);
    list->Sort();
    FFonts = list;
  }
  return FFonts;
}

Integer TScreen::GetWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
Integer TScreen::GetHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::GetWorkAreaRect() const {
  RECT r;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

// ---- Form descriptions ------------------------------------------------------------------------

namespace {

const orv::EnumNames<TFormStyle> kFormStyleNames("TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
const orv::EnumNames<TPosition> kPositionNames("TPosition",
                                               {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                                "poScreenCenter", "poDesktopCenter", "poMainFormCenter",
                                                "poOwnerFormCenter"});
const orv::EnumNames<TWindowState> kWindowStateNames("TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"});
const orv::EnumNames<TBorderIcon> kBorderIconNames("TBorderIcon",
                                                   {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});

}  // namespace

ORV_PUBLISH(TScrollingWinControl) {}
ORV_PUBLISH(TCustomForm) {}

// A form stores its client size, not its outer size.
ORV_PUBLISH(TForm) {
  using T = TForm;
  p.Property("Width", &T::GetWidth, &T::SetWidth).Stored(false);
  p.Property("Height", &T::GetHeight, &T::SetHeight).Stored(false);
  p.Property("ActiveControl", &T::GetActiveControl, &T::SetActiveControl);
  orv::PublishLayout(p);
  p.Property("AutoSize", &T::GetAutoSize, &T::SetAutoSize).Default(false);
  p.Property("BorderIcons", &T::GetBorderIcons, &T::SetBorderIcons)
      .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
  p.Property("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle).Default(bsSizeable);
  p.Property("BorderWidth", &T::GetBorderWidth, &T::SetBorderWidth).Default(0);
  orv::PublishCaption(p);
  p.Property("ClientHeight", [](T* f) { return f->GetClientHeight(); },
             [](T* f, Integer value) { f->SetClientHeight(value); });
  p.Property("ClientWidth", [](T* f) { return f->GetClientWidth(); },
             [](T* f, Integer value) { f->SetClientWidth(value); });
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor").Default(clBtnFace);
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  orv::PublishFont(p, false);
  p.Property("FormStyle", &T::GetFormStyle, &T::SetFormStyle).Default(fsNormal);
  p.Property("KeyPreview", &T::GetKeyPreview, &T::SetKeyPreview).Default(false);
  p.Property("OldCreateOrder", &T::GetOldCreateOrder, &T::SetOldCreateOrder);
  p.Property("ParentShowHint", &T::GetParentShowHint, &T::SetParentShowHint).Default(true);
  p.Property("PopupMenu", [](T* f) { return f->GetPopupMenu(); },
             [](T* f, TPopupMenu* value) { f->SetPopupMenu(value); });
  p.Property("Position", &T::GetPosition, &T::SetPosition).Default(poDesigned);
  p.Property("Scaled", &T::GetScaled, &T::SetScaled).Default(true);
  p.Property("ShowHint", &T::GetShowHint, &T::SetShowHint).Stored([](T* f) { return !f->GetParentShowHint(); });
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(false);
  p.Property("WindowState", &T::GetWindowState, &T::SetWindowState).Default(wsNormal);
  p.Property("OnActivate", &T::GetOnActivate, &T::SetOnActivate);
  orv::PublishClickEvents(p);
  p.Property("OnClose", &T::GetOnClose, &T::SetOnClose);
  p.Property("OnCloseQuery", &T::GetOnCloseQuery, &T::SetOnCloseQuery);
  p.Property("OnCreate", &T::GetOnCreate, &T::SetOnCreate);
  p.Property("OnDeactivate", &T::GetOnDeactivate, &T::SetOnDeactivate);
  p.Property("OnDestroy", &T::GetOnDestroy, &T::SetOnDestroy);
  p.Property("OnHide", &T::GetOnHide, &T::SetOnHide);
  p.Property("OnKeyDown", &T::GetOnKeyDown, &T::SetOnKeyDown);
  p.Property("OnKeyPress", &T::GetOnKeyPress, &T::SetOnKeyPress);
  p.Property("OnKeyUp", &T::GetOnKeyUp, &T::SetOnKeyUp);
  orv::PublishMouseEvents(p);
  p.Property("OnMouseWheel", &T::GetOnMouseWheel, &T::SetOnMouseWheel);
  p.Property("OnMouseWheelDown", &T::GetOnMouseWheelDown, &T::SetOnMouseWheelDown);
  p.Property("OnMouseWheelUp", &T::GetOnMouseWheelUp, &T::SetOnMouseWheelUp);
  p.Property("OnPaint", &T::GetOnPaint, &T::SetOnPaint);
  p.Property("OnResize", &T::GetOnResize, &T::SetOnResize);
  p.Property("OnShortCut", &T::GetOnShortCut, &T::SetOnShortCut);
  p.Property("OnShow", &T::GetOnShow, &T::SetOnShow);
  p.Property("PixelsPerInch", &T::GetPixelsPerInch, &T::SetPixelsPerInch);
}

// Left and Top (the designer position) and the design size are the module's own values.
ORV_PUBLISH(TDataModule) {
  using T = TDataModule;
  p.Property("OldCreateOrder", &T::GetOldCreateOrder, &T::SetOldCreateOrder);
  p.Property("OnCreate", &T::GetOnCreate, &T::SetOnCreate);
  p.Property("OnDestroy", &T::GetOnDestroy, &T::SetOnDestroy);
}
