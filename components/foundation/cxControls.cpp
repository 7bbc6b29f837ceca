#include "components/foundation/cxControls.h"

#include <cstdio>
#include <memory>
#include <unordered_map>

#include "components/foundation/cxGeometry.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/Menus.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/Math.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/User.h"
#include "platform/windowing/UtilWindow.h"

// ==== Unit state ==============================================================================

namespace {

struct TControlsUnit {
  Boolean Started = false;
  Boolean Finalizing = false;
  HMODULE User32 = nullptr;
  UINT RegisteredMessages[2] = {0, 0};
  TcxSystemController* SystemController = nullptr;
  TcxSettingsController* SettingsController = nullptr;
  TcxTimerWindow* TimerWindow = nullptr;
  TcxMessageWindow* HiddenMessageWindow = nullptr;
  // Running timers by id.
  std::unordered_map<UINT_PTR, TcxTimer*> ActiveTimers;
  UINT_PTR LastTimerId = 0;
  std::vector<TMouseTrackingTimer*> MouseTrackers;
  Integer HourglassCount = 0;
  TCursor SavedCursor = crDefault;
};

TControlsUnit& Unit() {
  static TControlsUnit unit;
  return unit;
}

// Runs the unit's end at exit. Made at the end of the start-up, after the window system has
// made its own state, so that it ends before the window system does.
struct TControlsUnitGuard {
  ~TControlsUnitGuard() { orv::FinalizeControlsUnit(); }
};

// The system cursors that stand in for the library's cursor pictures.
struct TCursorResource {
  TCursor Id;
  const char* Name;
  const char* Shape;
};
const TCursorResource kCursors[] = {
    {crcxDragCopy, "CX_DRAGCOPYCURSOR", IDC_ARROW},
    {crcxFullScroll, "CX_FULLSCROLLCURSOR", IDC_SIZEALL},
    {crcxHorScroll, "CX_HORSCROLLCURSOR", IDC_SIZEWE},
    {crcxVerScroll, "CX_VERSCROLLCURSOR", IDC_SIZENS},
    {crcxUpScroll, "CX_UPSCROLLCURSOR", IDC_UPARROW},
    {crcxRightScroll, "CX_RIGHTSCROLLCURSOR", IDC_SIZEWE},
    {crcxDownScroll, "CX_DOWNSCROLLCURSOR", IDC_SIZENS},
    {crcxLeftScroll, "CX_LEFTSCROLLCURSOR", IDC_SIZEWE},
    {crcxRemove, "CX_REMOVECURSOR", IDC_NO},
    {crcxVertSize, "CX_VERTSIZECURSOR", IDC_SIZENS},
    {crcxHorzSize, "CX_HORZSIZECURSOR", IDC_SIZEWE},
    {crcxMultiDrag, "CX_MULTIDRAGCURSOR", IDC_ARROW},
    {crcxNoDrop, "CX_NODROPCURSOR", IDC_NO},
    {crcxDrag, "CX_DRAGCURSOR", IDC_ARROW},
    {crcxColorPicker, "CX_COLORPICKERCURSOR", IDC_CROSS},
    {crcxMultiDragCopy, "CX_MULTIDRAGCOPYCURSOR", IDC_ARROW},
};

// The program's cursor resource of that name; a system cursor of the same role stands in when
// the program registered none.
HCURSOR LoadLibraryCursor(const TCursorResource& c) {
  if (HCURSOR own = LoadCursor(GetModuleHandle(nullptr), c.Name)) return own;
  orv::RegisterCursorResource(c.Name, LoadCursor(nullptr, c.Shape));
  return LoadCursor(GetModuleHandle(nullptr), c.Name);
}

}  // namespace

IcxSpellCheckerHook* SpellCheckerHook = nullptr;

namespace orv {

void InitializeControlsUnit() {
  TControlsUnit& u = Unit();
  if (u.Started || u.Finalizing) return;
  u.Started = true;
  if (Screen) {
    for (const TCursorResource& c : kCursors) Screen->SetCursors(c.Id, LoadLibraryCursor(c));
    Screen->SetCursors(crcxHandPoint, LoadCursor(nullptr, IDC_HAND));
  }
  u.User32 = LoadLibrary("USER32");
  u.RegisteredMessages[0] = RegisterWindowMessage("{B2CE3777-44D8-4998-9701-47BBBC10B656}");
  u.RegisteredMessages[1] = RegisterWindowMessage("{B2CE3777-44D8-1321-4656-12C54AA613BB}");
  u.SystemController = new TcxSystemController;
  static TControlsUnitGuard guard;
}

void FinalizeControlsUnit() {
  TControlsUnit& u = Unit();
  if (u.Finalizing) return;
  u.Finalizing = true;
  FreeAndNil(u.SystemController);
  if (!u.MouseTrackers.empty()) {
    // A tracked object forgot to stop its tracking; the list cannot be left behind.
    std::fputs("cxControls: MouseTrackingTimerList.Count <> 0\n", stderr);
    while (!u.MouseTrackers.empty()) {
      TMouseTrackingTimer* t = u.MouseTrackers.back();
      u.MouseTrackers.pop_back();
      t->Free();
    }
  }
  if (u.User32) FreeLibrary(u.User32);
  u.User32 = nullptr;
  FreeAndNil(u.SettingsController);
  FreeAndNil(u.TimerWindow);
  u.ActiveTimers.clear();
  FreeAndNil(u.HiddenMessageWindow);
  SpellCheckerHook = nullptr;
}

Boolean IsControlsUnitFinalizing() { return Unit().Finalizing; }

UINT ControlsRegisteredMessage(Integer index) {
  InitializeControlsUnit();
  return index >= 0 && index < 2 ? Unit().RegisteredMessages[index] : 0;
}

}  // namespace orv

// ==== Timers ==================================================================================

ORV_PUBLISH(TcxTimer) {
  using T = TcxTimer;
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("Interval", &T::GetInterval, &T::SetInterval).Default(1000);
  p.Property("OnTimer", &T::GetOnTimer, &T::SetOnTimer);
}

TcxTimer::TcxTimer(TComponent* owner) : TComponent(owner), FTimerId(++Unit().LastTimerId) {
  orv::InitializeControlsUnit();
}

void TcxTimer::BeforeDestruction() {
  Destroying();
  StopTimer();
  inherited::BeforeDestruction();
}

void TcxTimer::SetEnabled(Boolean value) {
  if (FEnabled == value) return;
  FEnabled = value;
  Restart();
}

void TcxTimer::SetInterval(Cardinal value) {
  if (value == 0 || value == FInterval) return;
  FInterval = value;
  Restart();
}

void TcxTimer::SetOnTimer(const TNotifyEvent& value) {
  FOnTimer = value;
  Restart();
}

void TcxTimer::TimerExpired() {
  if (FOnTimer) FOnTimer(this);
}

void TcxTimer::Restart() {
  StopTimer();
  StartTimer();
}

void TcxTimer::StartTimer() {
  if (!FEnabled || FTimerOn || !FOnTimer) return;
  if (GetComponentState().Contains(csDestroying)) return;
  TcxTimerWindow* window = GetTimerWindow();
  if (!window) return;
  SetTimerOn(SetTimer(window->GetHandle(), FTimerId, FInterval, nullptr) != 0);
}

void TcxTimer::StopTimer() {
  if (!FTimerOn) return;
  if (TcxTimerWindow* window = Unit().TimerWindow) KillTimer(window->GetHandle(), FTimerId);
  SetTimerOn(false);
}

void TcxTimer::SetTimerOn(Boolean value) {
  if (FTimerOn == value) return;
  FTimerOn = value;
  if (value)
    Unit().ActiveTimers[FTimerId] = this;
  else
    Unit().ActiveTimers.erase(FTimerId);
}

TcxTimerWindow* GetTimerWindow() {
  TControlsUnit& u = Unit();
  if (u.Finalizing) return nullptr;
  orv::InitializeControlsUnit();
  if (u.TimerWindow && !IsWindow(u.TimerWindow->GetHandle())) {
    // The window was destroyed from outside, taking its timers along: they run no more.
    std::vector<TcxTimer*> orphans;
    for (const auto& entry : u.ActiveTimers) orphans.push_back(entry.second);
    for (TcxTimer* timer : orphans) timer->SetTimerOn(false);
    FreeAndNil(u.TimerWindow);
  }
  if (!u.TimerWindow) u.TimerWindow = new TcxTimerWindow;
  return u.TimerWindow;
}

Boolean IsActiveTimerId(UINT_PTR id) { return Unit().ActiveTimers.count(id) != 0; }

Integer GetActiveTimerCount() { return Integer(Unit().ActiveTimers.size()); }

// ==== Hidden message windows ==================================================================

TcxMessageWindow::TcxMessageWindow() {
  FHandle = AllocateHWnd(TWndMethod(this, &TcxMessageWindow::MainWndProc));
}

TcxMessageWindow::~TcxMessageWindow() {
  if (FHandle) DeallocateHWnd(FHandle);
}

void TcxMessageWindow::MainWndProc(TMessage& message) { WndProc(message); }

void TcxMessageWindow::WndProc(TMessage& message) {
  message.Result = DefWindowProc(FHandle, message.Msg, message.WParam, message.LParam);
}

void TcxTimerWindow::WndProc(TMessage& message) {
  if (message.Msg != WM_TIMER) {
    inherited::WndProc(message);
    return;
  }
  const auto& active = Unit().ActiveTimers;
  const auto it = active.find(UINT_PTR(message.WParam));
  if (it != active.end()) it->second->TimerExpired();
}

void TcxSystemController::WndProc(TMessage& message) {
  if (message.Msg == DXM_SYNCHRONIZE) return;  // no worker threads queue calls here
  inherited::WndProc(message);
}

TcxSettingsController::TcxSettingsController() : FNotificator(new TcxFreeNotificator(nullptr)) {
  FNotificator->SetOnFreeNotification(
      TcxFreeNotificationEvent(this, &TcxSettingsController::ControlFreed));
}

TcxSettingsController::~TcxSettingsController() {
  if (FWindow) DeallocateHWnd(FWindow);
  FNotificator->Free();
}

void TcxSettingsController::AddListener(TWinControl* control) {
  if (!control) return;
  for (TWinControl* c : FList)
    if (c == control) return;
  FList.push_back(control);
  FNotificator->AddSender(control);
  if (FList.size() == 1)
    FWindow = AllocateHWnd(TWndMethod(this, &TcxSettingsController::MainWndProc));
}

void TcxSettingsController::RemoveListener(TWinControl* control) {
  for (auto it = FList.begin(); it != FList.end(); ++it)
    if (*it == control) {
      FList.erase(it);
      FNotificator->RemoveSender(control);
      if (FList.empty() && FWindow) {
        DeallocateHWnd(FWindow);
        FWindow = nullptr;
      }
      return;
    }
}

void TcxSettingsController::ControlFreed(TComponent* sender) {
  if (auto* control = dynamic_cast<TWinControl*>(sender)) RemoveListener(control);
}

void TcxSettingsController::MainWndProc(TMessage& message) {
  try {
    WndProc(message);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TcxSettingsController::WndProc(TMessage& message) {
  if (message.Msg == WM_SETTINGCHANGE && message.WParam == SPI_SETNONCLIENTMETRICS) {
    // A copy: a receiver may leave the list while it is told.
    const std::vector<TWinControl*> listeners = FList;
    for (TWinControl* control : listeners) {
      bool listed = false;
      for (TWinControl* c : FList) listed = listed || c == control;
      if (listed && control->HandleAllocated())
        SendNotifyMessage(control->GetHandle(), DXM_NCSIZECHANGED, 0, 0);
    }
    message.Result = 0;
    return;
  }
  message.Result = DefWindowProc(FWindow, message.Msg, message.WParam, message.LParam);
}

TcxSettingsController* GetSettingsController() {
  TControlsUnit& u = Unit();
  if (!u.SettingsController && !u.Finalizing) {
    orv::InitializeControlsUnit();
    u.SettingsController = new TcxSettingsController;
  }
  return u.SettingsController;
}

Integer ShowMessageDialogCentered(const AnsiString& text, const AnsiString& caption, TMsgDlgType dialogType,
                                  TMsgDlgButtons buttons, LongInt helpContext) {
  std::unique_ptr<TForm, orv::FreeDeleter> dialog(CreateMessageDialog(text, dialogType, buttons));
  if (!caption.empty()) dialog->SetCaption(caption);
  dialog->SetHelpContext(helpContext);
  dialog->SetPosition(poScreenCenter);
  dialog->AfterConstruction();
  return dialog->ShowModal();
}

TcxMessageWindow* GetHiddenMessageWindow() {
  TControlsUnit& u = Unit();
  // A window destroyed from outside (the test desktop's reset) is made again.
  if (u.HiddenMessageWindow && !IsWindow(u.HiddenMessageWindow->GetHandle())) FreeAndNil(u.HiddenMessageWindow);
  if (!u.HiddenMessageWindow && !u.Finalizing) {
    orv::InitializeControlsUnit();
    u.HiddenMessageWindow = new TcxMessageWindow;
  }
  return u.HiddenMessageWindow;
}

// ==== Mouse tracking ==========================================================================

TMouseTrackingTimer::TMouseTrackingTimer(TComponent* owner) : TcxTimer(owner) {}

void TMouseTrackingTimer::BeforeDestruction() {
  Destroying();
  ReleaseObjectLink(FCallerLink);
  if (FControl) FControl->RemoveFreeNotification(this);
  FControl = nullptr;
  inherited::BeforeDestruction();
}

void TMouseTrackingTimer::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FControl) FControl = nullptr;
}

void TMouseTrackingTimer::Setup(TWinControl* control, const TRect& screenBounds,
                                IcxMouseTrackingCaller* caller) {
  FControl = control;
  if (control) control->FreeNotification(this);
  FBounds = screenBounds;
  FCaller = caller;
  if (auto* object = dynamic_cast<TObject*>(caller)) FCallerLink = CreateObjectLink(object);
  SetInterval(10);
  SetOnTimer(TNotifyEvent(this, &TMouseTrackingTimer::TimerHandler));
}

Boolean TMouseTrackingTimer::CallerAlive() const { return !FCallerLink || FCallerLink->Ref; }

namespace {

void RemoveTracker(TMouseTrackingTimer* tracker) {
  auto& list = Unit().MouseTrackers;
  for (auto it = list.begin(); it != list.end(); ++it)
    if (*it == tracker) {
      list.erase(it);
      return;
    }
}

}  // namespace

void TMouseTrackingTimer::TimerHandler(TObject* sender) {
  if (!CallerAlive()) {
    // The caller died without stopping: nothing is left to tell.
    RemoveTracker(this);
    Free();
    return;
  }
  const TPoint cursor = SafeGetCursorPos();
  const Boolean hasWindow = FControl && FControl->HandleAllocated();
  Boolean inside;
  if (auto* hitTest = dynamic_cast<IcxMouseTrackingHitTest*>(FCaller))
    inside = hasWindow && hitTest->PtInCaller(FControl->ScreenToClient(cursor));
  else
    inside = IsPointInRect(FBounds, cursor);
  const Boolean gone = !hasWindow || !IsWindowEnabledWithParents(FControl->GetHandle());
  if (inside && !gone) return;

  // Leave the list first: whatever the notices below do (stop the tracking themselves, start it
  // again, free the control or the caller), this tracker is no longer theirs.
  RemoveTracker(this);
  SetEnabled(false);
  if (hasWindow && FControl) {
    const HWND window = FControl->GetHandle();
    const TPoint client = FControl->ScreenToClient(cursor);
    if (gone || !IsPointInRect(FControl->GetClientRect(), client))
      SendMessage(window, CM_MOUSELEAVE, 0, LPARAM(FControl));
  }
  if (CallerAlive()) FCaller->MouseLeave();
  Free();
}

void StartMouseTracking(TWinControl* control, const TRect& bounds, IcxMouseTrackingCaller* caller) {
  if (!caller || orv::IsControlsUnitFinalizing() || FindMouseTrackingTimer(caller)) return;
  orv::InitializeControlsUnit();
  TRect screenBounds = bounds;
  if (control) {
    const TPoint topLeft = control->ClientToScreen(bounds.TopLeft());
    screenBounds = TRect{topLeft.X, topLeft.Y, topLeft.X + bounds.Width(), topLeft.Y + bounds.Height()};
  }
  auto* tracker = new TMouseTrackingTimer(nullptr);
  Unit().MouseTrackers.push_back(tracker);
  tracker->Setup(control, screenBounds, caller);
}

void StopMouseTracking(IcxMouseTrackingCaller* caller) {
  TMouseTrackingTimer* tracker = FindMouseTrackingTimer(caller);
  if (!tracker) return;
  RemoveTracker(tracker);
  tracker->Free();
}

TMouseTrackingTimer* FindMouseTrackingTimer(IcxMouseTrackingCaller* caller) {
  if (!caller || orv::IsControlsUnitFinalizing()) return nullptr;
  for (TMouseTrackingTimer* t : Unit().MouseTrackers)
    if (t->GetCaller() == caller && t->CallerAlive()) return t;
  return nullptr;
}

Boolean IsMouseTrackingActive(IcxMouseTrackingCaller* caller) {
  return FindMouseTrackingTimer(caller) != nullptr;
}

Integer GetMouseTrackingCount() { return Integer(Unit().MouseTrackers.size()); }

// ==== Hourglass ===============================================================================

void ShowHourglassCursor() {
  TControlsUnit& u = Unit();
  if (u.HourglassCount == 0 && Screen) {
    u.SavedCursor = Screen->GetCursor();
    Screen->SetCursor(crHourGlass);
  }
  ++u.HourglassCount;
}

void HideHourglassCursor() {
  TControlsUnit& u = Unit();
  if (u.HourglassCount == 0) return;
  if (--u.HourglassCount == 0 && Screen) Screen->SetCursor(u.SavedCursor);
}

// ==== Design-time notifications ===============================================================

void TcxDesignController::NotifyDesignerModified(TCustomForm* form) {
  if (FLockCount > 0 || FNotifying) return;
  if (!form || !form->GetDesigner()) return;
  FNotifying = true;
  try {
    form->GetDesigner()->Modified();
  } catch (...) {
    FNotifying = false;
    throw;
  }
  FNotifying = false;
}

TcxDesignController* cxDesignController() {
  static TcxDesignController controller;
  return &controller;
}

void NotifyRootDesignerModified(TControl* control) {}

// ==== Drop-position arrow =====================================================================

TRect GetDragAndDropArrowBounds(const TRect& targetRect, const TRect& boundingRect, TcxArrowPlace place) {
  TRect t = targetRect;
  if (!RectIsEmpty(boundingRect)) {
    auto clamp = [](Integer v, Integer lo, Integer hi) { return v < lo ? lo : v > hi ? hi : v; };
    t.Left = clamp(t.Left, boundingRect.Left, boundingRect.Right - 1);
    t.Right = clamp(t.Right, boundingRect.Left, boundingRect.Right - 1);
    t.Top = clamp(t.Top, boundingRect.Top, boundingRect.Bottom - 1);
    t.Bottom = clamp(t.Bottom, boundingRect.Top, boundingRect.Bottom - 1);
  }
  TRect r;
  if (place == apLeft || place == apRight) {
    r.Top = t.Top - 5;
    r.Bottom = t.Top + 6;
    if (place == apLeft) {
      r.Right = t.Left;
      r.Left = r.Right - 9;
    } else {
      r.Left = t.Right;
      r.Right = r.Left + 9;
    }
  } else {
    r.Left = t.Left - 5;
    r.Right = t.Left + 6;
    if (place == apTop) {
      r.Bottom = t.Top;
      r.Top = r.Bottom - 9;
    } else {
      r.Top = t.Bottom;
      r.Bottom = r.Top + 9;
    }
  }
  return r;
}

void GetDragAndDropArrowPoints(const TRect& rect, TcxArrowPlace place, TcxArrowPoints& p, Integer d) {
  const Integer L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
  switch (place) {
    case apLeft:
      p = {TPoint{L + 3, T - d}, {L + 3, T + 3}, {L, T + 3}, {L, B + d - 4}, {L + 3, B + d - 4},
           {L + 3, B + d - 1}, {R + d - 1, T + 5}};
      break;
    case apTop:
      p = {TPoint{L + 3, T}, {R + d - 4, T}, {R + d - 4, T + 3}, {R + d - 1, T + 3},
           {L + 5, B + d - 1}, {L, T + 3}, {L + 3, T + 3}};
      break;
    case apRight:
      p = {TPoint{R + d - 4, T - d}, {R + d - 4, T + 3}, {R + d - 1, T + 3}, {R + d - 1, B + d - 4},
           {R + d - 4, B + d - 4}, {R + d - 4, B + d - 1}, {L, T + 5}};
      break;
    default:
      p = {TPoint{L + 3, B + d - 1}, {R + d - 4, B + d - 1}, {R + d - 4, B + d - 4},
           {R + d - 1, B + d - 4}, {L + 5, T - d}, {L - d, B + d - 4}, {L + 3, B - 4}};
      break;
  }
}

// ==== Popup menus =============================================================================

Boolean IsPopupMenuShortCut(TComponent* popupMenu, TMessage& message) {
  if (!popupMenu) return false;
  if (auto* support = dynamic_cast<IcxPopupMenuSupport*>(popupMenu))
    return support->IsShortCutKey(message);
  if (auto* menu = dynamic_cast<TPopupMenu*>(popupMenu))
    return menu->IsShortCut(ShortCutFromMessage(message.WParam));
  return false;
}

Boolean ShowPopupMenu(TControl* control, TComponent* popupMenu, Integer x, Integer y) {
  if (!popupMenu) return false;
  if (auto* support = dynamic_cast<IcxPopupMenuSupport*>(popupMenu)) {
    support->Popup(x, y);
    return true;
  }
  if (auto* menu = dynamic_cast<TPopupMenu*>(popupMenu)) {
    if (!menu->GetAutoPopup()) return false;
    menu->SetPopupComponent(control);
    menu->Popup(x, y);
    return true;
  }
  return false;
}

Integer GetPopupMenuHeight(TComponent* popupMenu) {
  auto* menu = dynamic_cast<TMenu*>(popupMenu);
  if (!menu || !Screen) return 0;
  HDC dc = orv::CreateScreenDC();
  HGDIOBJ old = SelectObject(dc, Screen->GetMenuFont()->GetHandle());
  SIZE size{};
  GetTextExtentPoint32(dc, "Qg", 2, &size);
  SelectObject(dc, old);
  DeleteDC(dc);
  Integer height = 4;
  TMenuItem* items = menu->GetItems();
  for (Integer i = 0; i < items->GetCount(); ++i)
    if (items->GetItem(i)->GetVisible()) height += size.cy + 4;
  return height;
}

// ==== Window, geometry and keyboard routines ==================================================

Boolean CanAllocateHandle(TWinControl* control) {
  if (!control) return false;
  if (control->HandleAllocated()) return true;
  if (control->GetComponentState().Contains(csDestroying)) return false;
  if (control->GetParentWindow()) return true;
  if (control->GetParent()) return CanAllocateHandle(control->GetParent());
  if (dynamic_cast<TCustomForm*>(control)) return Application && Application->GetHandle() != nullptr;
  return false;
}

char VirtualKeyToChar(Word key) {
  BYTE state[256];
  if (!GetKeyboardState(state)) return 0;
  WORD chars[2] = {0, 0};
  const UINT scan = MapVirtualKey(key, 0);
  return ToAscii(key, scan, state, chars, 0) == 1 ? char(chars[0]) : 0;
}

UINT QueryDoubleClickTime() { return GetDoubleClickTime(); }

TRect GetWorkAreaAtPoint(const TPoint& point) {
  orv::InitializeControlsUnit();
  TRect result;
  if (HMODULE user32 = Unit().User32) {
    using TMonitorFromPoint = HMONITOR (*)(POINT, DWORD);
    using TGetMonitorInfo = BOOL (*)(HMONITOR, MONITORINFO*);
    auto fromPoint = reinterpret_cast<TMonitorFromPoint>(GetProcAddress(user32, "MonitorFromPoint"));
    auto getInfo = reinterpret_cast<TGetMonitorInfo>(GetProcAddress(user32, "GetMonitorInfoA"));
    if (fromPoint && getInfo)
      if (HMONITOR monitor = fromPoint(point, MONITOR_DEFAULTTONEAREST)) {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (getInfo(monitor, &info)) return info.rcWork;
      }
  }
  SystemParametersInfo(SPI_GETWORKAREA, 0, &result, 0);
  return result;
}

TPoint SafeGetCursorPos() {
  POINT p;
  if (!GetCursorPos(&p)) return {-1, -1};
  return p;
}

Boolean HasChildStyle(HWND window) { return (GetWindowLong(window, GWL_STYLE) & WS_CHILD) != 0; }

Boolean IsSelfOrChildWindow(HWND parent, HWND window) {
  return parent && (parent == window || IsChild(parent, window));
}

Boolean IsMDIChildForm(TCustomForm* form) {
  return form && !form->GetComponentState().Contains(csDesigning) && form->GetFormStyle() == fsMDIChild;
}

Boolean IsMDIParentForm(TCustomForm* form) {
  return form && !form->GetComponentState().Contains(csDesigning) && form->GetFormStyle() == fsMDIForm;
}

Boolean IsEditingChar(char ch) {
  const Byte c = Byte(ch);
  return c >= 32 || c == 8 || c == 22 || c == 24;
}

Boolean IsPrintableOrBackspace(char ch) { return Byte(ch) >= 32 || ch == 8; }

Boolean IsPrintableChar(char ch) { return Byte(ch) >= 32; }

Boolean IsWindowAncestor(HWND ancestor, HWND window) {
  if (!ancestor) return false;
  for (HWND w = window ? GetParent(window) : nullptr; w; w = GetParent(w))
    if (w == ancestor) return true;
  return false;
}

Boolean IsWindowEnabledWithParents(HWND window) {
  if (!IsWindowEnabled(window)) return false;
  while (HasChildStyle(window)) {
    window = GetParent(window);
    if (!window) break;
    if (!IsWindowEnabled(window)) return false;
  }
  return true;
}

Boolean IsWithinDragThresholdOf(const TPoint& point, Integer x, Integer y) {
  const Integer threshold = Mouse ? Mouse->GetDragThreshold() : 5;
  return std::abs(x - point.X) < threshold && std::abs(y - point.Y) < threshold;
}

Boolean CharIsValidInNumber(char ch, Integer kind) {
  if (ch == '+' || ch == '-' || (ch >= '0' && ch <= '9')) return true;
  if (kind == 1 || kind == 2)
    if (ch == FormatSettings.DecimalSeparator) return true;
  return kind == 2 && (ch == 'e' || ch == 'E');
}

Boolean IsSpecialKey(Word key) {
  if (key > 255) return false;
  return key == 3 || key == 8 || key == 9 || key == 12 || key == 13 || (key >= 16 && key <= 20) ||
         key == 27 || (key >= 33 && key <= 47) || (key >= 91 && key <= 145) ||
         (key >= 160 && key <= 165) || key == 229 || (key >= 246 && key <= 254);
}

void FitRectIntoWorkArea(TRect& rect, const TPoint& point) {
  const TRect area = GetWorkAreaAtPoint(point);
  const Integer width = rect.Width(), height = rect.Height();
  if (rect.Right > area.Right) rect.Left = area.Right - width;
  if (rect.Bottom > area.Bottom) rect.Top = area.Bottom - height;
  if (rect.Left < area.Left) rect.Left = area.Left;
  if (rect.Top < area.Top) rect.Top = area.Top;
  rect.Right = rect.Left + width;
  rect.Bottom = rect.Top + height;
}

void MapPointBetweenWindows(HWND from, HWND to, TPoint& point) {
  POINT p = point;
  MapWindowPoints(from, to, &p, 1);
  point = p;
}

void MapRectBetweenWindows(HWND from, HWND to, TRect& rect) {
  RECT r = rect;
  MapWindowPoints(from, to, &r, 1);
  rect = r;
}

TRect SafeGetClientRect(HWND window) {
  RECT r{};
  if (!GetClientRect(window, &r)) return {};
  return r;
}

TRect SafeGetWindowRect(HWND window) {
  RECT r{};
  if (!GetWindowRect(window, &r)) return {};
  return r;
}

TRect GetControlWindowRect(TWinControl* control) {
  if (!control || !control->HandleAllocated()) return {};
  return SafeGetWindowRect(control->GetHandle());
}

HWND FindDeepestWindowAtPoint(const TPoint& point) {
  HWND window = WindowFromPoint(point);
  while (window) {
    POINT client = point;
    ScreenToClient(window, &client);
    HWND child = ChildWindowFromPointEx(window, client, CWP_SKIPINVISIBLE);
    if (!child || child == window) break;
    window = child;
  }
  return window;
}

namespace {

template <class S>
S StripAccel(const S& text, Boolean underscoreTrailing) {
  S result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      result.push_back(text[i]);
      continue;
    }
    if (i + 1 < text.size()) {
      // "&&" gives "&"; a single "&" goes, the character after it stays.
      result.push_back(text[++i]);
    } else if (underscoreTrailing) {
      result.push_back('_');
    }
  }
  return result;
}

}  // namespace

AnsiString StripAccelChars(const AnsiString& text, Boolean underscoreTrailing) {
  return StripAccel(text, underscoreTrailing);
}

WideString StripAccelCharsW(const WideString& text, Boolean underscoreTrailing) {
  return StripAccel(text, underscoreTrailing);
}

AnsiString GetComponentNamePath(TComponent* component) {
  AnsiString path;
  for (TComponent* c = component; c; c = c->GetOwner())
    path = path.empty() ? c->GetName() : c->GetName() + "." + path;
  return path;
}

template <>
WPARAM ShiftStateToMouseKeys<TShiftStateItem>(TShiftState shift) {
  WPARAM keys = 0;
  if (shift.Contains(ssShift)) keys |= MK_SHIFT;
  if (shift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (shift.Contains(ssLeft)) keys |= MK_LBUTTON;
  if (shift.Contains(ssRight)) keys |= MK_RBUTTON;
  if (shift.Contains(ssMiddle)) keys |= MK_MBUTTON;
  return keys;
}

void ApplyFontToForm(TCustomForm* form, TFont* font) {
  if (!form || !font) return;
  TCanvas* canvas = form->GetCanvas();
  const Integer oldHeight = canvas->TextHeight("Qq");
  form->GetFont()->Assign(font);
  canvas->GetFont()->Assign(font);
  const Integer newHeight = canvas->TextHeight("Qq");
  if (oldHeight <= 0 || newHeight == oldHeight) return;
  const Integer clientWidth = form->GetClientWidth(), clientHeight = form->GetClientHeight();
  form->ScaleBy(newHeight, oldHeight);
  form->SetClientWidth(MulDiv(clientWidth, newHeight, oldHeight));
  form->SetClientHeight(MulDiv(clientHeight, newHeight, oldHeight));
}

// ==== The base control ========================================================================

#include <algorithm>
#include <cstdlib>
#include "components/foundation/cxGraphics.h"
#include "platform/drawing/Gdi.h"

namespace {

constexpr UINT_PTR kMiddleButtonTimerInterval = 20;
// The message coordinates are 16-bit: larger controls read the point from the cursor.
constexpr Integer kMaxMessageCoordinate = 32768;

using TLinkGuard = orv::TObjectLinkGuard;

TPoint MessagePoint(TControl* control, const TMessage& message) {
  if (control->GetWidth() > kMaxMessageCoordinate || control->GetHeight() > kMaxMessageCoordinate)
    return control->ScreenToClient(SafeGetCursorPos());
  return {GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
}

Boolean IsKeyDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

}  // namespace

// ---- Internal drag and drop -------------------------------------------------------------------

TcxDragAndDropObject::TcxDragAndDropObject(TcxControl* control)
    : FControl(control), FCanvas(control->GetCanvas()) {}

void TcxDragAndDropObject::SetFeedbackHidden(Boolean value) {
  if (FFeedbackHidden == value) return;
  FFeedbackHidden = value;
  FeedbackStateChanged();
}

TCursor TcxDragAndDropObject::GetDragAndDropCursor(Boolean accepted) { return accepted ? crDrag : crNoDrop; }

void TcxDragAndDropObject::DragAndDrop(const TPoint& point, Boolean& accepted) {
  SetFeedbackHidden(false);
  Screen->SetCursor(GetDragAndDropCursor(accepted));
}

// ---- Platform drag ----------------------------------------------------------------------------

TCursor TcxDragControlObject::GetDragCursor(bool accepted, Integer x, Integer y) {
  auto* control = dynamic_cast<TcxControl*>(GetControl());
  if (accepted && control && control->IsCopyDragDrop()) return crcxDragCopy;
  return inherited::GetDragCursor(accepted, x, y);
}

void TcxDragControlObject::Finished(TObject* target, Integer x, Integer y, bool accepted) {
  inherited::Finished(target, x, y, accepted);
  Free();
}

Integer WaitForDragStart(HWND window) {
  Integer result = 2;
  TPoint start = SafeGetCursorPos();
  const Integer threshold = Mouse->GetDragThreshold();
  const TRect dragRect = Rect(start.X - threshold, start.Y - threshold, start.X + threshold, start.Y + threshold);
  SetCapture(window);
  while (GetCapture() == window) {
    MSG msg;
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    Boolean done = false;
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_ESCAPE) done = true;
        break;
      case WM_MOUSEMOVE:
        if (msg.hwnd == window) {
          POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
          ::ClientToScreen(window, &p);
          if (!IsPointInRect(dragRect, p)) {
            result = 1;
            done = true;
          }
        }
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        result = 0;
        done = true;
        break;
      default: break;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    if (done) break;
  }
  if (GetCapture() == window) ReleaseCapture();
  return result;
}

// ---- Scroll bars of the control ---------------------------------------------------------------

TcxControlScrollBar::TcxControlScrollBar(TComponent* owner) : TcxScrollBar(owner) {
  SetColor(clBtnFace);
  TControlStyle style = GetControlStyle();
  style.Exclude(csFramed);
  style.Include(csNoDesignVisible);
  SetControlStyle(style);
  SetTabStop(false);
  SetVisible(false);
}

TcxControlScrollBar::~TcxControlScrollBar() { InvalidateObjectLinks(this); }

void TcxControlScrollBar::ApplyParameters() {
  Boolean enabled = FData.Enabled;
  if (FData.Visible) {
    // The bar refuses a page above its Max, which a range below zero can ask for: the page is
    // kept within Max, and a range wholly below zero cannot be shown and leaves the bar
    // inactive instead of raising in the middle of an update.
    if (FData.Max >= 0) {
      SetScrollParameters(FData.Min, FData.Max, FData.Position, std::min(FData.PageSize, FData.Max), true);
      SetSmallChange(FData.SmallChange);
      SetLargeChange(FData.LargeChange);
    } else {
      enabled = false;
    }
  }
  SetEnabled(enabled);
  if (GetVisible() != FData.Visible) SetVisible(FData.Visible);
}

void TcxControlScrollBar::FocusParentOnClick() {
  TWinControl* parent = GetParent();
  if (!parent) return;
  if (auto* control = dynamic_cast<TcxControl*>(parent)) {
    if (control->FocusWhenChildIsClicked(this)) control->SetFocus();
  } else if (parent->CanFocus()) {
    parent->SetFocus();
  }
}

void TcxControlScrollBar::WndProc(TMessage& message) {
  if (message.Msg == WM_LBUTTONDOWN) {
    TLinkGuard guard(this);
    FocusParentOnClick();
    if (!guard.Alive()) return;
  }
  inherited::WndProc(message);
}

TcxSizeGrip::TcxSizeGrip(TComponent* owner) : TCustomControl(owner) {
  SetColor(clBtnFace);
  TControlStyle style = GetControlStyle();
  style.Include(csNoDesignVisible);
  SetControlStyle(style);
  FLookAndFeel = new TcxLookAndFeel(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxSizeGrip::LookAndFeelChanged));
}

TcxSizeGrip::~TcxSizeGrip() { orv::Free(FLookAndFeel); }

void TcxSizeGrip::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues values) { Invalidate(); }

void TcxSizeGrip::Dispatch(TMessage& message) {
  if (message.Msg == WM_ERASEBKGND) {
    message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}

void TcxSizeGrip::Paint() {
  TcxCanvas canvas(TCustomControl::GetCanvas());
  canvas.FillRect(Rect(0, 0, GetWidth(), GetHeight()),
                  FLookAndFeel->CurrentPainter()->DefaultSizeGripAreaColor());
}

// ---- The base control -------------------------------------------------------------------------

TcxControl::TcxControl(TComponent* owner) : TCustomControl(owner) {
  // The component canvas draws through the control's own canvas, which holds the paint DC while
  // the control paints and makes a window DC on demand otherwise.
  FCanvas = new TcxCanvas(TCustomControl::GetCanvas());
  FDefaultCursor = GetCursor();
  FLookAndFeel = new TcxLookAndFeel(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxControl::LookAndFeelChangeHandler));
  CreateScrollBars();
  // A descendant that may not take the focus (the grid, the status bar) clears its TabStop.
  SetTabStop(MayFocus());
  TControlStyle style = GetControlStyle();
  style.Include(csParentBackground);
  SetControlStyle(style);
  GetResourceStringsRepository()->AddListener(this);
}

void TcxControl::BeforeDestruction() {
  Destroying();
  GetResourceStringsRepository()->RemoveListener(this);
  EndDrag(false);
  FinishDragAndDrop(false);
  DestroyScrollBars();
  FFontListeners.clear();
  inherited::BeforeDestruction();
}

TcxControl::~TcxControl() {
  orv::Free(FDragAndDropObject);
  orv::Free(FDragImages);
  orv::Free(FMeasuringCanvas);
  orv::Free(FCanvas);
  orv::Free(FLookAndFeel);
  InvalidateObjectLinks(this);
}

// ---- Canvas, look and feel ----

TcxCanvas* TcxControl::GetCanvas() { return FCanvas; }

TcxCanvas* TcxControl::GetCanvasOrScreenCanvas() {
  if (HandleAllocated()) {
    FreeAndNil(FMeasuringCanvas);
    return GetCanvas();
  }
  if (!FMeasuringCanvas) FMeasuringCanvas = new TcxScreenCanvas;
  return FMeasuringCanvas;
}

void TcxControl::SetLookAndFeel(TcxLookAndFeel* value) { FLookAndFeel->Assign(value); }

TcxCustomLookAndFeelPainterClass TcxControl::GetPainter() { return FLookAndFeel->CurrentPainter(); }

void TcxControl::LookAndFeelChangeHandler(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {
  if ((Application && Application->GetComponentState().Contains(csDestroying)) || IsDestroying()) return;
  LookAndFeelChanged(sender, changedValues);
}

void TcxControl::PrepareCanvas() {
  FCanvas->SetFont(GetFont());
}

// ---- Bounds and painting ----

void TcxControl::SetBorderStyle(TcxControlBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  BoundsChanged();
  Invalidate();
}

Integer TcxControl::GetBorderSize() {
  return FBorderStyle == cxcbsNone ? 0 : GetPainter()->ControlBorderWidth();
}

TRect TcxControl::GetBounds() {
  if (!RectIsEmpty(FBounds)) return FBounds;
  if (HandleAllocated()) return GetClientRect();
  return Rect(0, 0, GetWidth(), GetHeight());
}

TRect TcxControl::GetClientBounds() {
  TRect r = GetBounds();
  const Integer border = GetBorderSize();
  r = Rect(r.Left + border, r.Top + border, r.Right - border, r.Bottom - border);
  if (IsHScrollBarVisible()) r.Bottom -= FHScrollBar->GetHeight();
  if (IsVScrollBarVisible()) r.Right -= FVScrollBar->GetWidth();
  return r;
}

void TcxControl::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
}

void TcxControl::CreateWnd() {
  FCreatingWindow = true;
  try {
    if (HasDragImages()) {
      TControlStyle style = GetControlStyle();
      style.Include(csDisplayDragImage);
      SetControlStyle(style);
    }
    inherited::CreateWnd();
    UpdateScrollBarsPresence();
    SetInternalControlsParent();
  } catch (...) {
    FCreatingWindow = false;
    throw;
  }
  FCreatingWindow = false;
}

void TcxControl::DestroyWindowHandle() {
  inherited::DestroyWindowHandle();
  TControlState state = GetControlState();
  state.Exclude(csClicked);
  SetControlState(state);
}

void TcxControl::Paint() {
  PrepareCanvas();
  if (FBorderStyle == cxcbsDefault) {
    GetPainter()->DrawControlBorder(FCanvas, GetBounds());
    FCanvas->IntersectClip(GetClientBounds());
  }
  inherited::Paint();
  UpdateScrollBarControlsState();
}

void TcxControl::Resize() {
  inherited::Resize();
  BoundsChanged();
}

void TcxControl::BoundsChanged() {
  UpdateScrollBars();
  if (NeedsRedrawOnResize()) Invalidate();
}

// ---- Invalidation ----

void TcxControl::InvalidateArea(const TRect& rect, Boolean erase) {
  if (HandleAllocated()) ::InvalidateRect(GetHandle(), &rect, erase);
}

void TcxControl::InvalidateRegion(TcxRegion* region, Boolean erase) {
  if (HandleAllocated() && region && !region->IsEmpty())
    InvalidateRgn(GetHandle(), region->GetHandle(), erase);
}

void TcxControl::RedrawAll() {
  if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN);
}

void RedrawControlNow(TWinControl* control) {
  if (control->HandleAllocated())
    RedrawWindow(control->GetHandle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void InvalidateControlAndChildren(TWinControl* control, Boolean invalidateSelf, Boolean includeChildren) {
  if (!control->HandleAllocated()) return;
  if (control->GetParent()) control->GetParent()->Perform(CM_INVALIDATE, 1, 0);
  if (invalidateSelf)
    ::InvalidateRect(control->GetHandle(), nullptr, !control->GetControlStyle().Contains(csOpaque));
  if (!includeChildren) return;
  for (Integer i = 0; i < control->GetControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(control->GetControl(i));
    if (!child) continue;
    const TControlStyle style = child->GetControlStyle();
    if (!style.Contains(csOpaque) || style.Contains(csParentBackground)) child->Invalidate();
  }
}

void TcxControl::RecheckMousePosition() {
  if (!HandleAllocated()) return;
  const TPoint p = ScreenToClient(SafeGetCursorPos());
  PostMessage(GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.X, p.Y));
}

// ---- Focus ----

Boolean TcxControl::CanFocusOnClick() {
  return !IsDesigning() && FFocusOnClick && MayFocus() && CanFocus();
}

Boolean TcxControl::CanFocusWithParentForm() {
  if (!CanFocus()) return false;
  TCustomForm* form = GetParentForm(this);
  return !form || (form->CanFocus() && form->GetEnabled() && form->GetVisible());
}

void TcxControl::FocusChanged() {
  if (FOnFocusChanged) FOnFocusChanged(this);
}

void TcxControl::FontChanged() {
  TCustomControl::GetCanvas()->SetFont(GetFont());
  // A listener may remove itself while it hears of the change.
  const std::vector<IcxControlFontListener*> listeners = FFontListeners;
  for (IcxControlFontListener* listener : listeners) listener->ControlFontChanged(this, GetFont());
  Invalidate();
}

void TcxControl::RemoveFontListener(IcxControlFontListener* listener) {
  auto it = std::find(FFontListeners.begin(), FFontListeners.end(), listener);
  if (it != FFontListeners.end()) FFontListeners.erase(it);
}

// The platform fires the events itself when the mouse enters or leaves the control; the
// control adds them for its children (the scroll bars), so that the pointer moving onto a bar
// counts for the control too.
void TcxControl::MouseEnter(TControl* control) {
  if (control != this && GetOnMouseEnter()) GetOnMouseEnter()(this);
}

void TcxControl::MouseLeave(TControl* control) {
  if (control != this && GetOnMouseLeave()) GetOnMouseLeave()(this);
}

Boolean TcxControl::IsInternalControl(TControl* control) {
  return control && (control == FHScrollBar || control == FVScrollBar || control == FSizeGrip);
}

void TcxControl::NotifyDesignerModified() {
  for (TControl* c = this; c; c = c->GetParent()) {
    const TComponentState state = c->GetComponentState();
    if (state.Contains(csLoading) || state.Contains(csWriting) || state.Contains(csDestroying)) return;
  }
  NotifyRootDesignerModified(this);
}

Boolean TcxControl::GetDesignHitTest(Integer x, Integer y, TShiftState shift) {
  return FDragAndDropState != ddsNone || FMouseButtonPressed;
}

// ---- Popup menu ----

void TcxControl::SetPopupMenu(TComponent* value) {
  if (value && !dynamic_cast<TPopupMenu*>(value) && !Supports<IcxPopupMenuSupport>(value)) value = nullptr;
  if (FPopupMenu == value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

TPopupMenu* TcxControl::GetPopupMenu() { return dynamic_cast<TPopupMenu*>(FPopupMenu); }

Boolean TcxControl::DoShowPopupMenu(TComponent* menu, Integer x, Integer y) {
  return ShowPopupMenu(this, menu, x, y);
}

void TcxControl::DoContextPopup(TPoint mousePos, bool& handled) {
  inherited::DoContextPopup(mousePos, handled);
  if (handled) return;
  const TPoint client = mousePos.X == -1 && mousePos.Y == -1 ? TPoint{0, 0} : mousePos;
  const TPoint screen = ClientToScreen(client);
  if (SpellCheckerHook && SpellCheckerHook->ShowPopupMenu(FPopupMenu, screen)) {
    handled = true;
    return;
  }
  handled = DoShowPopupMenu(FPopupMenu, screen.X, screen.Y);
}

Boolean TcxControl::HandlePopupMenuShortCut(TMessage& message) {
  if (IsDesigning()) return false;
  for (TWinControl* c = this; c; c = c->GetParent()) {
    auto* control = dynamic_cast<TcxControl*>(c);
    if (control && control->FPopupMenu && IsPopupMenuShortCut(control->FPopupMenu, message)) return true;
  }
  return false;
}

void TcxControl::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

// ---- Mouse capture ----

void TcxControl::SetMouseCaptureObject(TObject* value) {
  if (FMouseCaptureObject == value) return;
  const Boolean releasingWhileStarting = !value && GetMouseCapture() && FDragAndDropState == ddsStarting;
  TcxObjectLink* link = CreateObjectLink(this);
  if (auto* owner = dynamic_cast<IcxMouseCaptureOwner*>(FMouseCaptureObject)) owner->MouseCaptureChanged();
  const Boolean alive = link->Ref != nullptr;
  ReleaseObjectLink(link);
  if (!alive) return;
  FMouseCaptureObject = value;
  SetMouseCapture(value != nullptr);
  if (releasingWhileStarting) Perform(WM_CANCELMODE);
}

void TcxControl::CancelMouseOperation() {
  FMouseButtonPressed = false;
  SetMouseCaptureObject(nullptr);
}

void TcxControl::EndMouseOperation() {
  FinishDragAndDrop(true);
  SetMouseCaptureObject(nullptr);
}

// ---- Mouse ----

void TcxControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  FMouseDownPos = Point(x, y);
  if (CanFocusOnClickAt(x, y) && !shift.Contains(ssDouble)) {
    const TRect before = GetBoundsRect();
    SetFocus();
    if (!guard.Alive()) return;
    TCustomForm* form = GetParentForm(this);
    if (form && form->GetActiveControl() == this && !IsFocused() && HandleAllocated()) ::SetFocus(GetHandle());
    if (!guard.Alive()) return;
    if (!IsFocused() && !AllowMouseDownWithoutFocus()) {
      SetMouseCapture(false);
      return;
    }
    if (CorrectMouseDownPosOnFocus()) {
      x += before.Left - GetLeft();
      y += before.Top - GetTop();
      FMouseDownPos = Point(x, y);
    }
  }
  if (button == mbLeft && !shift.Contains(ssDouble) && StartDragAndDrop(Point(x, y))) {
    if (!guard.Alive()) return;
    if (GetDragAndDropObject()->GetImmediateStart())
      BeginDragAndDrop();
    else
      SetDragAndDropState(ddsStarting);
  } else {
    if (!guard.Alive()) return;
    FinishDragAndDrop(false);
  }
  if (!guard.Alive()) return;
  BeforeMouseDown(button, shift, x, y);
  if (!guard.Alive()) return;
  inherited::MouseDown(button, shift, x, y);
  if (guard.Alive() && GetMouseCapture()) FMouseButtonPressed = true;
}

void TcxControl::MouseMove(TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  // The cursor of the point is shown without becoming the default cursor.
  const TCursor defaultCursor = FDefaultCursor;
  SetCursor(GetCurrentCursor(x, y));
  FDefaultCursor = defaultCursor;
  inherited::MouseMove(shift, x, y);
  if (!guard.Alive()) return;
  if (FDragAndDropState == ddsStarting && !IsInDragDetectArea(x, y)) BeginDragAndDrop();
  if (!guard.Alive()) return;
  if (FDragAndDropState == ddsInProcess) {
    Boolean accepted = false;
    DragAndDrop(Point(x, y), accepted);
  }
}

void TcxControl::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TLinkGuard guard(this);
  FMouseButtonPressed = false;
  EndMouseOperation();
  if (!guard.Alive()) return;
  inherited::MouseUp(button, shift, x, y);
}

void TcxControl::AfterMouseDown(TMouseButton button, Integer x, Integer y) {
  if (button == mbLeft) {
    if (GetDragMode() == dmAutomatic && GetMouseCapture() &&
        (!IsDesigning() || CanAutoDragAtDesignTime(x, y, {})) && AllowAutoDragAt(x, y)) {
      TLinkGuard guard(this);
      const Integer started = WaitForDragStart(GetHandle());
      if (guard.Alive() && started == 1) BeginDrag(true, -1);
    }
  } else if (button == mbMiddle) {
    RunMiddleButtonScrolling();
  }
}

Boolean TcxControl::IsInDragDetectArea(Integer x, Integer y) {
  const Integer threshold = Mouse->GetDragThreshold();
  return std::abs(x - FMouseDownPos.X) < threshold && std::abs(y - FMouseDownPos.Y) < threshold;
}

Boolean TcxControl::IsWithinDragThreshold(Integer x, Integer y) {
  return GetDragMode() == dmManual || IsInDragDetectArea(x, y);
}

// ---- Internal drag and drop ----

TcxDragAndDropObjectClass TcxControl::GetDragAndDropObjectClass() {
  return FDragAndDropObjectClass ? FDragAndDropObjectClass : TcxDragAndDropObjectClass(TcxDragAndDropObject::StaticClass());
}

TcxDragAndDropObject* TcxControl::GetDragAndDropObject() {
  if (!FDragAndDropObject) FDragAndDropObject = GetDragAndDropObjectClass().Create(this);
  return FDragAndDropObject;
}

void TcxControl::SetDragAndDropState(TcxDragAndDropState value) {
  if (FDragAndDropState == value) return;
  FDragAndDropState = value;
  if (value == ddsNone && !FFinishingDragAndDrop) CancelMouseOperation();
}

void TcxControl::BeginDragAndDrop() {
  TcxDragAndDropObject* object = GetDragAndDropObject();
  const TPoint p = HandleAllocated() ? ScreenToClient(SafeGetCursorPos()) : FMouseDownPos;
  object->FCurMousePos = p;
  object->FPrevMousePos = p;
  object->BeginDragAndDrop();
  SetMouseCapture(true);
  FDragAndDropPrevCursor = Screen->GetCursor();
  SetDragAndDropState(ddsInProcess);
}

void TcxControl::DragAndDrop(const TPoint& point, Boolean& accepted) {
  TcxDragAndDropObject* object = GetDragAndDropObject();
  object->FPrevMousePos = object->FCurMousePos;
  object->FCurMousePos = point;
  object->DragAndDrop(point, accepted);
}

void TcxControl::EndDragAndDrop(Boolean accepted) {
  SetDragAndDropState(ddsNone);
  Screen->SetCursor(FDragAndDropPrevCursor);
  SetMouseCapture(false);
  SetMouseCaptureObject(nullptr);
  TcxDragAndDropObject* object = GetDragAndDropObject();
  object->EndDragAndDrop(accepted);
  object->AfterDragAndDrop(accepted);
}

void TcxControl::FinishDragAndDrop(Boolean accepted) {
  if (FFinishingDragAndDrop) return;
  FFinishingDragAndDrop = true;
  try {
    if (FDragAndDropState == ddsInProcess)
      EndDragAndDrop(accepted);
    else
      SetDragAndDropState(ddsNone);
  } catch (...) {
    FFinishingDragAndDrop = false;
    FreeAndNil(FDragAndDropObject);
    throw;
  }
  FFinishingDragAndDrop = false;
  FreeAndNil(FDragAndDropObject);
}

// ---- Platform drag ----

Boolean TcxControl::IsCopyDragDrop() { return IsKeyDown(VK_CONTROL); }

void TcxControl::DoStartDrag(TDragObject*& dragObject) {
  Update();
  inherited::DoStartDrag(dragObject);
  if (!dragObject && GetDragObjectClass()) dragObject = GetDragObjectClass().Create(this);
  if (dragObject && !CanBeginDrag(dragObject)) {
    FreeAndNil(dragObject);
    CancelDrag();
  }
}

namespace {
// The drag object that is over a control now (WM_PAINT and window scrolling would hide its image).
TObject* gCurrentDragObject = nullptr;
}  // namespace

TObject* GetCurrentDragObject() { return gCurrentDragObject; }

void TcxControl::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  if (dynamic_cast<TDragObject*>(source) || dynamic_cast<TControl*>(source))
    gCurrentDragObject = state == dsDragLeave ? nullptr : source;
  inherited::DragOver(source, x, y, state, accept);
}

void TcxControl::DoEndDrag(TObject* target, Integer x, Integer y) {
  inherited::DoEndDrag(target, x, y);
  gCurrentDragObject = nullptr;
  FreeAndNil(FDragImages);
}

TDragImageList* TcxControl::GetDragImages() {
  if (!HasDragImages()) return nullptr;
  if (!FDragImages) {
    FDragImages = GetDragImagesClass().Create(nullptr);
    InitDragImages(FDragImages);
  }
  return FDragImages->GetCount() > 0 ? FDragImages : nullptr;
}

void TcxControl::InitDragImages(TDragImageList* dragImages) {
  const TSize size = GetDragImagesSize();
  // No image (an empty size, which an image list refuses): the list stays empty.
  if (size.cx <= 0 || size.cy <= 0) return;
  dragImages->SetWidth(size.cx);
  dragImages->SetHeight(size.cy);
  std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
  bitmap->SetSize(size.cx, size.cy);
  TcxCanvas canvas(bitmap->GetCanvas());
  DrawDragImage(&canvas, Rect(0, 0, size.cx, size.cy));
  dragImages->AddMasked(bitmap.get(), bitmap->GetTransparentColor());
}

// ---- Child components ----

void TcxControl::AddChildComponent(TcxControlChildComponent* component) { component->SetControl(this); }

void TcxControl::RemoveChildComponent(TcxControlChildComponent* component) { component->SetControl(nullptr); }

// ---- Scroll bars ----

void TcxControl::CreateScrollBars() {
  if (FSizeGrip) return;
  FHScrollBar = new TcxControlScrollBar(nullptr);
  FHScrollBar->SetKind(sbHorizontal);
  FHScrollBar->SetOnScroll(TScrollEvent(this, &TcxControl::ScrollBarScroll));
  FVScrollBar = new TcxControlScrollBar(nullptr);
  FVScrollBar->SetKind(sbVertical);
  FVScrollBar->SetOnScroll(TScrollEvent(this, &TcxControl::ScrollBarScroll));
  FSizeGrip = new TcxSizeGrip(nullptr);
  FSizeGrip->SetVisible(false);
  FSizeGrip->GetLookAndFeel()->SetMaster(FLookAndFeel);
  for (TControl* c : {static_cast<TControl*>(FHScrollBar), static_cast<TControl*>(FVScrollBar),
                      static_cast<TControl*>(FSizeGrip)}) {
    TControlStyle style = c->GetControlStyle();
    style.Include(csReplicatable);
    c->SetControlStyle(style);
  }
  FHScrollBar->GetLookAndFeel()->SetMaster(FLookAndFeel);
  FVScrollBar->GetLookAndFeel()->SetMaster(FLookAndFeel);
  // After the unit is finalized (a control made or freed by a static's destructor at exit) there
  // is no controller left to tell.
  if (TcxSettingsController* settings = GetSettingsController()) settings->AddListener(this);
}

void TcxControl::DestroyScrollBars() {
  if (!FSizeGrip) return;
  if (TcxSettingsController* settings = GetSettingsController()) settings->RemoveListener(this);
  if (!(IsDestroying() && FSizeGrip->GetParent() == this)) {
    FSizeGrip->Free();
    FVScrollBar->Free();
    FHScrollBar->Free();
  }
  // Otherwise the window frees its children itself.
  FSizeGrip = nullptr;
  FVScrollBar = nullptr;
  FHScrollBar = nullptr;
}

void TcxControl::UpdateScrollBarsPresence() {
  if (NeedsScrollBars()) {
    CreateScrollBars();
    if (HandleAllocated()) SetInternalControlsParent();
  } else {
    DestroyScrollBars();
  }
}

void TcxControl::SetInternalControlsParent() {
  if (!NeedsScrollBars() || !FSizeGrip) return;
  FHScrollBar->SetParent(this);
  FVScrollBar->SetParent(this);
  FSizeGrip->SetParent(this);
}

void TcxControl::ScrollBarScroll(TObject* sender, TScrollCode code, Integer& position) {
  Scroll(static_cast<TcxScrollBar*>(sender)->GetKind(), code, position);
}

void TcxControl::SetScrollBars(TScrollStyle value) {
  if (FScrollBars == value) return;
  FScrollBars = value;
  BoundsChanged();
}

Boolean TcxControl::IsHScrollBarVisible() {
  if (!NeedsScrollBars() || !FHScrollBar) return false;
  return FCalculatingScrollBarsParams ? FHScrollBar->GetData().Visible : FHScrollBar->GetVisible();
}

Boolean TcxControl::IsVScrollBarVisible() {
  if (!NeedsScrollBars() || !FVScrollBar) return false;
  return FCalculatingScrollBarsParams ? FVScrollBar->GetData().Visible : FVScrollBar->GetVisible();
}

TRect TcxControl::GetHScrollBarBounds() {
  TRect r = GetClientBounds();
  r.Top = r.Bottom;
  r.Bottom = r.Top + FHScrollBar->GetHeight();
  return r;
}

TRect TcxControl::GetVScrollBarBounds() {
  TRect r = GetClientBounds();
  r.Left = r.Right;
  r.Right = r.Left + FVScrollBar->GetWidth();
  return r;
}

TRect TcxControl::GetSizeGripBounds() {
  const TRect h = GetHScrollBarBounds();
  const TRect v = GetVScrollBarBounds();
  return Rect(v.Left, h.Top, v.Right, h.Bottom);
}

void TcxControl::SetScrollBarsBounds() {
  if (FHScrollBar->GetVisible()) FHScrollBar->SetBoundsRect(GetHScrollBarBounds());
  if (FVScrollBar->GetVisible()) FVScrollBar->SetBoundsRect(GetVScrollBarBounds());
  if (FSizeGrip->GetVisible()) FSizeGrip->SetBoundsRect(GetSizeGripBounds());
}

void TcxControl::BringScrollBarsToFront() {
  FHScrollBar->BringToFront();
  FVScrollBar->BringToFront();
  FSizeGrip->BringToFront();
}

void TcxControl::UpdateScrollBarControlsState() {
  if (!NeedsScrollBars() || !FSizeGrip) return;
  if (FHScrollBar->GetVisible()) FHScrollBar->UpdateControlState();
  if (FVScrollBar->GetVisible()) FVScrollBar->UpdateControlState();
  if (FSizeGrip->GetVisible()) FSizeGrip->UpdateControlState();
}

void TcxControl::SetScrollBarParams(TScrollBarKind kind, Integer min, Integer max, Integer smallChange,
                                    Integer pageSize, Integer position, Boolean allowShow, Boolean allowHide) {
  TcxControlScrollBar* bar = kind == sbHorizontal ? FHScrollBar : FVScrollBar;
  if (!bar) return;
  TcxControlScrollBar::TData& data = bar->GetData();
  const Boolean permitted = kind == sbHorizontal ? (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
                                                 : (FScrollBars == ssVertical || FScrollBars == ssBoth);
  data.AllowShow = allowShow && permitted;
  data.AllowHide = allowHide;
  if (!data.AllowShow) {
    data.Visible = false;
    return;
  }
  if (min > max || Int64(pageSize) >= Int64(max) - min + 1 || min > position) {
    if (allowHide) {
      data.Visible = false;
    } else {
      data.Enabled = false;
      data.Visible = true;
    }
    return;
  }
  data.Min = min;
  data.Max = max;
  // A position past the range is kept in it: the bar would clamp it anyway.
  data.Position = std::min(position, max);
  data.PageSize = pageSize;
  data.SmallChange = SmallInt(std::clamp(smallChange, -32768, 32767));
  data.LargeChange = SmallInt(std::clamp(pageSize, -32768, 32767));
  data.Enabled = true;
  data.Visible = true;
}

void TcxControl::CalculateScrollBarParameters() {
  if (FCalculatingScrollBarsParams) return;
  FCalculatingScrollBarsParams = true;
  try {
    FHScrollBar->GetData().Visible = false;
    FVScrollBar->GetData().Visible = false;
    // A descendant may make its page depend on whether the other bar shows: run until the
    // visibilities settle (they can only flip a bounded number of times for a sane layout; a
    // layout that keeps flipping is caught by UpdateScrollBars' freeze).
    for (Integer pass = 0; pass < 8; ++pass) {
      const Boolean h = FHScrollBar->GetData().Visible;
      const Boolean v = FVScrollBar->GetData().Visible;
      InitScrollBarsParameters();
      if (h == FHScrollBar->GetData().Visible && v == FVScrollBar->GetData().Visible) break;
    }
    TcxControlScrollBar::TData& hd = FHScrollBar->GetData();
    TcxControlScrollBar::TData& vd = FVScrollBar->GetData();
    if (hd.Visible && hd.Enabled && hd.AllowHide && vd.Visible && vd.Enabled && vd.AllowHide) {
      const Boolean hMarked = IsPixelScrollBar(sbHorizontal) &&
                              Int64(FVScrollBar->GetWidth()) + hd.PageSize >= Int64(hd.Max) - hd.Min + 1;
      const Boolean vMarked = IsPixelScrollBar(sbVertical) &&
                              Int64(FHScrollBar->GetHeight()) + vd.PageSize >= Int64(vd.Max) - vd.Min + 1;
      if (hMarked && vMarked) {
        const TcxControlScrollBar::TData h = hd;
        const TcxControlScrollBar::TData v = vd;
        SetScrollBarParams(sbHorizontal, h.Min, h.Max, h.SmallChange, h.PageSize + FVScrollBar->GetWidth(),
                           h.Position, h.AllowShow, h.AllowHide);
        SetScrollBarParams(sbVertical, v.Min, v.Max, v.SmallChange, v.PageSize + FHScrollBar->GetHeight(),
                           v.Position, v.AllowShow, v.AllowHide);
      }
    }
  } catch (...) {
    FCalculatingScrollBarsParams = false;
    throw;
  }
  FCalculatingScrollBarsParams = false;
}

void TcxControl::LockScrollBars() {
  if (FScrollBarsLockCount++ == 0) FScrollBarsUpdateNeeded = false;
}

void TcxControl::UnlockScrollBars() {
  if (FScrollBarsLockCount == 0) return;
  if (--FScrollBarsLockCount == 0 && FScrollBarsUpdateNeeded) {
    FScrollBarsUpdateNeeded = false;
    UpdateScrollBars();
  }
}

void TcxControl::UpdateScrollBars() {
  if (!NeedsScrollBars() || !FSizeGrip || IsDestroying()) return;
  if (FScrollBarsLockCount > 0) {
    FScrollBarsUpdateNeeded = true;
    return;
  }
  const Boolean outermost = !FUpdatingScrollBars;
  if (outermost) {
    FInitialHScrollBarVisible = FHScrollBar->GetVisible();
    FInitialVScrollBarVisible = FVScrollBar->GetVisible();
  }
  FUpdatingScrollBars = true;
  try {
    const Boolean hVisible = FHScrollBar->GetVisible();
    const Boolean vVisible = FVScrollBar->GetVisible();
    if (!FScrollBarsParametersFrozen) {
      CalculateScrollBarParameters();
      if (!outermost && FHScrollBar->GetData().Visible == FInitialHScrollBarVisible &&
          FVScrollBar->GetData().Visible == FInitialVScrollBarVisible) {
        // The bars flip back and forth: keep them, the one that flipped shown but inactive.
        FScrollBarsParametersFrozen = true;
        for (TcxControlScrollBar* bar : {FHScrollBar, FVScrollBar}) {
          const Boolean initial = bar == FHScrollBar ? FInitialHScrollBarVisible : FInitialVScrollBarVisible;
          if (bar->GetVisible() != initial) {
            bar->GetData().Enabled = false;
            bar->GetData().Visible = true;
            bar->ApplyParameters();
          }
        }
      } else {
        FHScrollBar->ApplyParameters();
        FVScrollBar->ApplyParameters();
      }
    }
    if (FHScrollBar->GetVisible() != hVisible || FVScrollBar->GetVisible() != vVisible) {
      BoundsChanged();
    } else {
      FSizeGrip->SetVisible(FHScrollBar->GetVisible() && FVScrollBar->GetVisible());
      SetScrollBarsBounds();
      if (NeedsBringScrollBarsToFront()) BringScrollBarsToFront();
    }
  } catch (...) {
    if (outermost) {
      FUpdatingScrollBars = false;
      FScrollBarsParametersFrozen = false;
    }
    throw;
  }
  if (outermost) {
    FUpdatingScrollBars = false;
    FScrollBarsParametersFrozen = false;
  }
}

void TcxControl::UpdateScrollBarsMetrics() {
  if (!NeedsScrollBars() || !FSizeGrip) return;
  const Integer h = GetSystemMetrics(SM_CYHSCROLL);
  const Integer w = GetSystemMetrics(SM_CXVSCROLL);
  if (h == FHScrollBar->GetHeight() && w == FVScrollBar->GetWidth()) return;
  FHScrollBar->SetHeight(h);
  FVScrollBar->SetWidth(w);
  BoundsChanged();
}

TcxMouseWheelScrollingKind TcxControl::GetMouseWheelScrollingKind() {
  return IsVScrollBarVisible() ? mwskVertical : mwskNone;
}

void TcxControl::ScrollInDirection(TcxDirection direction) {
  if (direction == dirNone) return;
  const Boolean ownBars = NeedsScrollBars() && FSizeGrip;
  if (!ownBars && !CanScrollWithoutScrollBars(direction)) return;
  const TScrollBarKind kind = direction == dirLeft || direction == dirRight ? sbHorizontal : sbVertical;
  const TScrollCode code = direction == dirLeft || direction == dirUp ? scLineUp : scLineDown;
  Integer position = 0;
  if (ownBars) position = (kind == sbHorizontal ? FHScrollBar : FVScrollBar)->GetPosition();
  Scroll(kind, code, position);
  Update();
}

bool TcxControl::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  TLinkGuard guard(this);
  if (inherited::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  if (!guard.Alive()) return true;
  const TcxMouseWheelScrollingKind kind = GetMouseWheelScrollingKind();
  if (kind == mwskNone) return false;
  TcxDirection direction;
  if (kind == mwskHorizontal)
    direction = wheelDelta > 0 ? dirLeft : dirRight;
  else
    direction = wheelDelta > 0 ? dirUp : dirDown;
  for (Integer i = Mouse->GetWheelScrollLines(); i > 0 && guard.Alive(); --i) ScrollInDirection(direction);
  return true;
}

void TcxControl::ScrollWindowArea(Integer dx, Integer dy, const TRect& rect) {
  if (!HandleAllocated()) return;
  LockScrollBars();
  ScrollWindowEx(GetHandle(), dx, dy, &rect, &rect, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  UnlockScrollBars();
}

// ---- Middle-button scrolling ----

namespace {

// The anchor's picture: a ring with arrow marks for the directions that scroll.
HBITMAP CreateAnchorBitmap(Boolean horizontal, Boolean vertical) {
  constexpr int kSize = 28;
  HDC screen = orv::CreateScreenDC();
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kSize, kSize);
  HDC dc = CreateCompatibleDC(screen);
  DeleteDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, kSize, kSize};
  FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_WINDOWTEXT));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  const int c = kSize / 2;
  auto arrow = [&](int dx, int dy) {
    // A small triangle pointing (dx, dy) from the centre.
    POINT p[3];
    const int tip = 11, base = 6, half = 3;
    p[0] = {c + dx * tip, c + dy * tip};
    p[1] = {c + dx * base + dy * half, c + dy * base + dx * half};
    p[2] = {c + dx * base - dy * half, c + dy * base - dx * half};
    Polygon(dc, p, 3);
  };
  if (vertical) {
    arrow(0, -1);
    arrow(0, 1);
  }
  if (horizontal) {
    arrow(-1, 0);
    arrow(1, 0);
  }
  Ellipse(dc, c - 2, c - 2, c + 3, c + 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

TCursor MiddleScrollCursor(TcxDirection direction, Boolean horizontal, Boolean vertical) {
  switch (direction) {
    case dirUp: return crcxUpScroll;
    case dirRight: return crcxRightScroll;
    case dirDown: return crcxDownScroll;
    case dirLeft: return crcxLeftScroll;
    default: break;
  }
  if (horizontal && vertical) return crcxFullScroll;
  return horizontal ? crcxHorScroll : crcxVerScroll;
}

}  // namespace

void TcxControl::RunMiddleButtonScrolling() {
  const Boolean horizontal = IsHScrollBarVisible();
  const Boolean vertical = IsVScrollBarVisible();
  if (!horizontal && !vertical) return;
  TLinkGuard guard(this);
  FScrollingContent = true;
  const TPoint start = SafeGetCursorPos();
  HBITMAP bitmap = CreateAnchorBitmap(horizontal, vertical);
  BITMAP info{};
  GetObject(bitmap, sizeof info, &info);
  const Integer width = info.bmWidth;
  const Integer height = info.bmHeight;
  HWND anchor = CreateWindowEx(WS_EX_TOPMOST, "STATIC", "", WS_POPUP, start.X - width / 2, start.Y - height / 2,
                               width, height, GetHandle(), nullptr, nullptr, nullptr);
  if (anchor) {
    SetWindowRgn(anchor, CreateEllipticRgn(0, 0, width + 1, height + 1), FALSE);
    SetWindowPos(anchor, nullptr, 0, 0, 0, 0, 0x57);  // show, no activation, no move, no size, no z-order
    HDC dc = GetWindowDC(anchor);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    HRGN frame = CreateEllipticRgn(0, 0, width + 1, height + 1);
    FrameRgn(dc, frame, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
    DeleteObject(frame);
    ReleaseDC(anchor, dc);
  }
  TcxDirection direction = dirNone;
  Integer speed = 1;
  Integer counter = 0;
  Boolean pointerMoved = false;
  TPoint last = start;
  const TCursor previousCursor = Screen->GetCursor();
  Screen->SetCursor(MiddleScrollCursor(direction, horizontal, vertical));
  const UINT_PTR timer = SetTimer(nullptr, 0, kMiddleButtonTimerInterval, nullptr);
  HWND window = GetHandle();
  SetCapture(window);
  // The neutral zone: the anchor's width around the start, the whole screen width (height)
  // when no horizontal (vertical) bar could scroll.
  const Integer half = width / 2;
  auto computeDirection = [&](const TPoint& p) {
    const Integer dx = p.X - start.X;
    const Integer dy = p.Y - start.Y;
    const Boolean insideX = !horizontal || std::abs(dx) <= half;
    const Boolean insideY = !vertical || std::abs(dy) <= half;
    if (insideX && insideY) {
      direction = dirNone;
      speed = 0;
      return;
    }
    pointerMoved = true;
    Integer distance;
    if (!horizontal || (vertical && std::abs(dy) >= std::abs(dx))) {
      direction = dy < 0 ? dirUp : dirDown;
      distance = std::abs(dy);
    } else {
      direction = dx < 0 ? dirLeft : dirRight;
      distance = std::abs(dx);
    }
    speed = std::min((distance - half) / 5 + 1, 12);
    if (speed < 1) speed = 1;
  };
  while (guard.Alive() && GetCapture() == window) {
    MSG msg;
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (anchor && msg.message == WM_PAINT && msg.hwnd == anchor) {
      ValidateRect(anchor, nullptr);
      continue;
    }
    const UINT m = msg.message;
    if ((m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK && m != WM_MBUTTONUP) || m == WM_MOUSEWHEEL)
      break;  // ends the mode; the press is not passed on
    Boolean done = false;
    if ((m == WM_KEYDOWN || m == WM_KEYUP) && msg.wParam == VK_ESCAPE) {
      done = true;
    } else if (m == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer) {
      ++counter;
      if (speed > 0 && counter % (13 - speed) == 0) ScrollInDirection(direction);
      continue;
    } else if (m == WM_MOUSEMOVE) {
      POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      ::ClientToScreen(msg.hwnd, &p);
      if (!(p == last)) {
        computeDirection(p);
        Screen->SetCursor(MiddleScrollCursor(direction, horizontal, vertical));
        last = p;
      }
    } else if (m == WM_MBUTTONUP) {
      done = pointerMoved;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    if (done) break;
  }
  if (GetCapture() == window) ReleaseCapture();
  KillTimer(nullptr, timer);
  if (anchor) DestroyWindow(anchor);
  DeleteObject(bitmap);
  Screen->SetCursor(previousCursor);
  if (guard.Alive()) FScrollingContent = false;
}

// ---- Messages ----

void TcxControl::WndProc(TMessage& message) {
  TLinkGuard guard(this);
  const UINT msg = message.Msg;
  TPoint point{};
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN)
    point = MessagePoint(this, message);
  Boolean shortPath = false;
  if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && !GetDragObject())
    shortPath = IsDesigning() ? GetDesignHitTest(point.X, point.Y, TShiftState{ssLeft})
                              : GetDragMode() == dmAutomatic;
  if (shortPath) {
    // The press goes to the handlers directly, past the platform's automatic drag start: the
    // control decides itself whether a drag begins (AfterMouseDown).
    if (!IsControlMouseMsg(message)) {
      TControlState state = GetControlState();
      state.Include(csLButtonDown);
      SetControlState(state);
      Dispatch(message);
      if (guard.Alive()) {
        state = GetControlState();
        state.Exclude(csLButtonDown);
        SetControlState(state);
      }
    }
  } else {
    if (msg == WM_RBUTTONUP) FMouseRightButtonReleased = true;
    inherited::WndProc(message);
  }
  if (!guard.Alive() || IsDestroying()) return;
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: FocusChanged(); break;
    case WM_PAINT:
      if (GetParentBackground() != FLastParentBackground) {
        FLastParentBackground = GetParentBackground();
        ParentBackgroundChanged();
      }
      break;
    case WM_RBUTTONUP: FMouseRightButtonReleased = false; break;
    case WM_LBUTTONDOWN: AfterMouseDown(mbLeft, point.X, point.Y); break;
    case WM_RBUTTONDOWN: AfterMouseDown(mbRight, point.X, point.Y); break;
    case WM_MBUTTONDOWN: AfterMouseDown(mbMiddle, point.X, point.Y); break;
    default: break;
  }
}

void TcxControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CANCELMODE: {
      TLinkGuard guard(this);
      inherited::Dispatch(message);
      if (!guard.Alive()) return;
      FinishDragAndDrop(false);
      CancelMouseOperation();
      return;
    }
    case WM_LBUTTONUP: {
      // The click comes first and the release is still handed to MouseUp afterwards (unless
      // the click freed the control): the mouse operation and the drag and drop end there.
      TLinkGuard guard(this);
      DefaultHandler(message);
      if (GetControlStyle().Contains(csCaptureMouse)) SetMouseCapture(false);
      TControlState state = GetControlState();
      if (state.Contains(csClicked)) {
        state.Exclude(csClicked);
        SetControlState(state);
        const TPoint p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        if (p.X >= 0 && p.Y >= 0 && p.X < GetWidth() && p.Y < GetHeight()) Click();
      }
      if (guard.Alive()) DoMouseUp(message, mbLeft);
      return;
    }
    case WM_ERASEBKGND:
      if (NeedsEraseBackground())
        inherited::Dispatch(message);
      else
        message.Result = 0;
      return;
    case WM_GETDLGCODE: {
      LRESULT result = 0;
      if (FKeys.Contains(kAll)) result += DLGC_WANTALLKEYS;
      if (FKeys.Contains(kArrows)) result += DLGC_WANTARROWS;
      if (FKeys.Contains(kChars)) result += DLGC_WANTCHARS;
      if (FKeys.Contains(kTab) && !IsKeyDown(VK_CONTROL)) result += DLGC_WANTTAB;
      message.Result = result;
      return;
    }
    case WM_NCCALCSIZE:
      inherited::Dispatch(message);
      if (HandleAllocated()) PostMessage(GetHandle(), DXM_NCSIZECHANGED, 0, 0);
      return;
    case DXM_NCSIZECHANGED: UpdateScrollBarsMetrics(); return;
    case WM_SETCURSOR:
      if (IsDesigning() && FDragAndDropState == ddsNone) {
        const TPoint p = ScreenToClient(SafeGetCursorPos());
        if (GetDesignHitTest(p.X, p.Y, TShiftState{ssLeft})) {
          Screen->SetCursor(GetCurrentCursor(p.X, p.Y));
          message.Result = 1;
          return;
        }
      }
      inherited::Dispatch(message);
      return;
    case CM_COLORCHANGED:
      ControlColorChanged();
      inherited::Dispatch(message);
      return;
    case CM_CURSORCHANGED:
      CursorChanged();
      inherited::Dispatch(message);
      return;
    case CM_DESIGNHITTEST: {
      inherited::Dispatch(message);
      if (message.Result == 0) {
        const TPoint p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        message.Result = GetDesignHitTest(p.X, p.Y, KeysToShiftState(message.WParam));
      }
      return;
    }
    case CM_FONTCHANGED:
      inherited::Dispatch(message);
      FontChanged();
      return;
    case CM_INVALIDATE:
      // WParam 1: a child reports its own invalidation; its siblings need nothing (and a child
      // that reports again would make the two go round for ever).
      if (HandleAllocated() && !IsDestroying())
        InvalidateControlAndChildren(this, message.WParam == 0, message.WParam == 0 && NeedsRedrawOnResize());
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TLinkGuard guard(this);
      inherited::Dispatch(message);
      if (!guard.Alive()) return;
      TControl* control = message.LParam ? reinterpret_cast<TControl*>(message.LParam) : this;
      if (message.Msg == CM_MOUSEENTER)
        MouseEnter(control);
      else
        MouseLeave(control);
      return;
    }
    case CM_TEXTCHANGED:
      DefaultHandler(message);
      TextChanged();
      return;
    case CM_VISIBLECHANGED:
      inherited::Dispatch(message);
      VisibleChanged();
      return;
    case CN_KEYDOWN:
      if (HandlePopupMenuShortCut(message)) {
        message.Result = 1;
        return;
      }
      if (FDragAndDropState != ddsNone) {
        FinishDragAndDrop(false);
        message.Result = 1;
        return;
      }
      inherited::Dispatch(message);
      return;
    case CN_SYSKEYDOWN:
      if (HandlePopupMenuShortCut(message)) {
        message.Result = 1;
        return;
      }
      inherited::Dispatch(message);
      return;
    default: inherited::Dispatch(message); return;
  }
}

// ---- Child components -------------------------------------------------------------------------

TcxControlChildComponent* TcxControlChildComponent::CreateForControl(
    orv::ClassOf<TcxControlChildComponent> cls, TcxControl* control, Boolean takeOwner) {
  TcxControlChildComponent* component = cls.Create(takeOwner && control ? control->GetOwner() : nullptr);
  component->InitializeOnce();
  component->SetControl(control);
  return component;
}

void TcxControlChildComponent::InitializeOnce() {
  if (FInitialized) return;
  FInitialized = true;
  Initialize();
}

void TcxControlChildComponent::BeforeDestruction() {
  Destroying();
  if (FControl) FControl->RemoveChildComponent(this);
  inherited::BeforeDestruction();
}

TComponent* TcxControlChildComponent::GetParentComponent() const { return FControl; }

void TcxControlChildComponent::SetParentComponent(TComponent* value) {
  inherited::SetParentComponent(value);
  InitializeOnce();
  if (auto* control = dynamic_cast<TcxControl*>(value)) control->AddChildComponent(this);
}

// ==== Popup windows, drag images, size frame, drop arrow, hint window =========================

#include "components/foundation/cxContainer.h"
#include "components/foundation/dxCore.h"

namespace {

struct TPopupUnit {
  // In opening order; the last one is the top popup.
  std::vector<TcxCustomPopupWindow*> OpenPopups;
  // Raised while a popup closes.
  Integer ActivationLock = 0;
  // Set while a popup is being shown and while the mouse hook closes a popup.
  Boolean PopupOperation = false;
  HHOOK CallWndProcHook = nullptr;
  HHOOK GetMessageHook = nullptr;
  HHOOK MouseHook = nullptr;
  // Windows whose next message is swallowed, with the procedure they get back.
  std::vector<std::pair<HWND, WNDPROC>> Swallowing;
};

TPopupUnit& Popups() {
  static TPopupUnit unit;
  return unit;
}

// Raises a counter for the length of a scope.
class TCounterScope {
 public:
  explicit TCounterScope(Integer& counter) : FCounter(counter) { ++FCounter; }
  ~TCounterScope() { --FCounter; }
  TCounterScope(const TCounterScope&) = delete;
  TCounterScope& operator=(const TCounterScope&) = delete;

 private:
  Integer& FCounter;
};

void InstallPopupHooks();
void RemovePopupHooksWhenIdle();

Boolean LayeredWindowsAvailable() {
  orv::InitializeControlsUnit();
  HMODULE user32 = Unit().User32;
  return user32 && GetProcAddress(user32, "SetLayeredWindowAttributes") != nullptr;
}

Boolean AnimateWindowAvailable() {
  orv::InitializeControlsUnit();
  HMODULE user32 = Unit().User32;
  return user32 && GetProcAddress(user32, "AnimateWindow") != nullptr;
}

}  // namespace

// ---- Popup window -----------------------------------------------------------------------------

TcxPopupWindow::TcxPopupWindow() : TForm(nullptr), FCanvas(new TcxCanvas(TCustomForm::GetCanvas())) {
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
}

TcxPopupWindow::~TcxPopupWindow() { orv::Free(FCanvas); }

void TcxPopupWindow::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ACTIVATE:
      inherited::Dispatch(message);
      if (LOWORD(message.WParam) != WA_INACTIVE) {
        // The window losing the activation keeps its caption drawn active while the popup is up.
        FPrevActiveWindow = reinterpret_cast<HWND>(message.LParam);
        if (FPrevActiveWindow) SendMessage(FPrevActiveWindow, WM_NCACTIVATE, 1, 0);
      }
      return;
    case WM_ACTIVATEAPP:
      inherited::Dispatch(message);
      if (!message.WParam) {
        if (FPrevActiveWindow && IsWindow(FPrevActiveWindow)) SendMessage(FPrevActiveWindow, WM_NCACTIVATE, 0, 0);
        CloseUp();
      }
      return;
    case CM_VISIBLECHANGED:
      inherited::Dispatch(message);
      VisibleChanged();
      return;
    default: break;
  }
  inherited::Dispatch(message);
}

void TcxPopupWindow::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FOwnerParent) FOwnerParent = nullptr;
}

void TcxPopupWindow::SetOwnerParent(TControl* value) {
  if (value == FOwnerParent) return;
  if (FOwnerParent) FOwnerParent->RemoveFreeNotification(this);
  FOwnerParent = value;
  if (FOwnerParent) FOwnerParent->FreeNotification(this);
}

void TcxPopupWindow::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (FAlphaBlend || FTransparentColor) params.ExStyle |= WS_EX_LAYERED;
}

void TcxPopupWindow::CreateWnd() {
  inherited::CreateWnd();
  UpdateLayeredAttributes();
}

void TcxPopupWindow::UpdateLayeredAttributes() {
  if (!HandleAllocated()) return;
  const Boolean layered = (FAlphaBlend || FTransparentColor) && LayeredWindowsAvailable();
  const LONG exStyle = GetWindowLong(FHandle, GWL_EXSTYLE);
  if (!layered) {
    if (exStyle & WS_EX_LAYERED) SetWindowLong(FHandle, GWL_EXSTYLE, exStyle & ~LONG(WS_EX_LAYERED));
    return;
  }
  if (!(exStyle & WS_EX_LAYERED)) SetWindowLong(FHandle, GWL_EXSTYLE, exStyle | LONG(WS_EX_LAYERED));
  DWORD flags = 0;
  if (FAlphaBlend) flags |= LWA_ALPHA;
  if (FTransparentColor) flags |= LWA_COLORKEY;
  SetLayeredWindowAttributes(FHandle, ColorToRGB(FTransparentColorValue), FAlphaBlendValue, flags);
}

void TcxPopupWindow::SetAlphaBlend(Boolean value) {
  if (value == FAlphaBlend) return;
  FAlphaBlend = value;
  UpdateLayeredAttributes();
}

void TcxPopupWindow::SetAlphaBlendValue(Byte value) {
  if (value == FAlphaBlendValue) return;
  FAlphaBlendValue = value;
  UpdateLayeredAttributes();
}

void TcxPopupWindow::SetTransparentColor(Boolean value) {
  if (value == FTransparentColor) return;
  FTransparentColor = value;
  UpdateLayeredAttributes();
}

void TcxPopupWindow::SetTransparentColorValue(TColor value) {
  if (value == FTransparentColorValue) return;
  FTransparentColorValue = value;
  UpdateLayeredAttributes();
}

TcxCanvas* TcxPopupWindow::GetCanvas() { return FCanvas; }

void TcxPopupWindow::Deactivate() {
  inherited::Deactivate();
  CloseUp();
}

void TcxPopupWindow::Paint() {
  inherited::Paint();
  DrawFrame();
}

void TcxPopupWindow::CalculateSize() {
  if (!FAdjustable) return;
  // Extents in content coordinates (without the offset the children were given before).
  const TPoint offset{GetNonClientSize(0), GetNonClientSize(1)};
  Integer right = 0, bottom = 0;
  const Integer count = GetControlCount();
  for (Integer i = 0; i < count; ++i) {
    TControl* child = GetControl(i);
    const TRect r = child->GetBoundsRect();
    right = std::max(right, r.Right - FChildrenOffset.X);
    bottom = std::max(bottom, r.Bottom - FChildrenOffset.Y);
  }
  for (Integer i = 0; i < count; ++i) {
    TControl* child = GetControl(i);
    child->SetBounds(child->GetLeft() - FChildrenOffset.X + offset.X, child->GetTop() - FChildrenOffset.Y + offset.Y,
                     child->GetWidth(), child->GetHeight());
  }
  FChildrenOffset = offset;
  if (right != 0 || count > 0) SetWidth(GetNonClientSize(0) + right + GetNonClientSize(2));
  if (bottom != 0 || count > 0) SetHeight(GetNonClientSize(1) + bottom + GetNonClientSize(3));
}

void TcxPopupWindow::ShiftChildrenByFrame() {
  for (Integer i = 0; i < GetControlCount(); ++i) {
    TControl* child = GetControl(i);
    child->SetBounds(child->GetLeft() - FChildrenOffset.X, child->GetTop() - FChildrenOffset.Y, child->GetWidth(),
                     child->GetHeight());
  }
  FChildrenOffset = {0, 0};
}

void TcxPopupWindow::SetPopupBorderStyle(TcxPopupBorderStyle value) {
  if (value == FPopupBorderStyle) return;
  ShiftChildrenByFrame();
  FPopupBorderStyle = value;
}

Integer TcxPopupWindow::GetBorderStyleWidth() {
  switch (FPopupBorderStyle) {
    case pbsSingle:
    case pbsRaised: return 1;
    case pbsDouble: return 2;
    default: return 0;
  }
}

Integer TcxPopupWindow::GetNonClientSize(Integer side) { return GetBorderStyleWidth() + FBorderSpace; }

TRect TcxPopupWindow::GetContentBounds() {
  TRect r = GetClientRect();
  r.Left += GetNonClientSize(0);
  r.Top += GetNonClientSize(1);
  r.Right -= GetNonClientSize(2);
  r.Bottom -= GetNonClientSize(3);
  return r;
}

TRect TcxPopupWindow::GetOwnerScreenBounds() {
  if (!FOwnerParent) return FOwnerBounds;
  const TPoint topLeft = FOwnerParent->ClientToScreen(TPoint{FOwnerBounds.Left, FOwnerBounds.Top});
  const TPoint bottomRight = FOwnerParent->ClientToScreen(TPoint{FOwnerBounds.Right, FOwnerBounds.Bottom});
  return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

void TcxPopupWindow::InitPopupFont() {
  if (FOwnerParent) GetFont()->Assign(FOwnerParent->GetFont());
}

void TcxPopupWindow::DrawFrame() {
  if (FPopupBorderStyle == pbsNone) return;
  TcxCanvas* canvas = GetCanvas();
  TRect r{0, 0, GetWidth(), GetHeight()};
  switch (FPopupBorderStyle) {
    case pbsSingle: canvas->DrawBorderLines(r, FFrameColor, 1, cxBordersAll); break;
    case pbsRaised: canvas->Draw3DEdge(r, false, false); break;
    case pbsDouble:
      canvas->Draw3DEdge(r, false, true);
      r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
      canvas->Draw3DEdge(r, false, false);
      break;
    default: break;
  }
}

void TcxPopupWindow::CalculatePosition(TPoint& position) {
  // Local copies: a flip does not change the stored alignments.
  TcxPopupAlignHorz horz = FAlignHorz;
  TcxPopupAlignVert vert = FAlignVert;
  const TRect owner = GetOwnerScreenBounds();
  const Integer width = GetWidth(), height = GetHeight();
  auto place = [&] {
    if (horz == pahCenter) position.X = (owner.Left + owner.Right - width) / 2;
    if (vert == pavCenter) position.Y = (owner.Top + owner.Bottom - height) / 2;
    if (FDirection == pdVertical) {
      if (horz == pahLeft) position.X = owner.Left;
      if (horz == pahRight) position.X = owner.Right - width;
      if (vert == pavTop) position.Y = owner.Top - height;
      if (vert == pavBottom) position.Y = owner.Bottom;
    } else {
      if (horz == pahLeft) position.X = owner.Left - width;
      if (horz == pahRight) position.X = owner.Right;
      if (vert == pavTop) position.Y = owner.Top;
      if (vert == pavBottom) position.Y = owner.Bottom - height;
    }
  };
  place();
  TPoint reference = position;
  if (horz == pahLeft) reference.X = owner.Left;
  if (horz == pahRight) reference.X = owner.Right;
  if (vert == pavTop) reference.Y = owner.Top;
  if (vert == pavBottom) reference.Y = owner.Bottom;
  const TRect area = GetWorkAreaAtPoint(reference);
  if (FDirection == pdVertical) {
    const Boolean moreRoomAbove = owner.Top - area.Top > area.Bottom - owner.Bottom;
    if (vert == pavBottom && position.Y + height > area.Bottom && moreRoomAbove) {
      vert = pavTop;
      place();
    } else if (vert == pavTop && position.Y < area.Top && !moreRoomAbove) {
      vert = pavBottom;
      place();
    }
  } else {
    const Boolean moreRoomLeft = owner.Left - area.Left > area.Right - owner.Right;
    if (horz == pahRight && position.X + width > area.Right && moreRoomLeft) {
      horz = pahLeft;
      place();
    } else if (horz == pahLeft && position.X < area.Left && !moreRoomLeft) {
      horz = pahRight;
      place();
    }
  }
  // Whatever side it opens on, the popup ends inside the work area (the left and top edges win
  // for a popup larger than the area).
  if (position.X + width > area.Right) position.X = area.Right - width;
  if (position.X < area.Left) position.X = area.Left;
  if (position.Y + height > area.Bottom) position.Y = area.Bottom - height;
  if (position.Y < area.Top) position.Y = area.Top;
}

void TcxPopupWindow::ShowPopup() {
  InitPopupFont();
  CalculateSize();
  TPoint position;
  CalculatePosition(position);
  SetBounds(position.X, position.Y, GetWidth(), GetHeight());
  Show();
}

void TcxPopupWindow::CloseUp() { Hide(); }

// ---- Popup hooks ------------------------------------------------------------------------------

namespace {

Boolean IsBeingDestroyed(TComponent* component) {
  return component && component->GetComponentState().Contains(csDestroying);
}

TcxCustomPopupWindow* OpenPopupAt(std::size_t index) {
  const auto& list = Popups().OpenPopups;
  return index < list.size() ? list[index] : nullptr;
}

HWND ControlWindow(TControl* control) {
  auto* w = dynamic_cast<TWinControl*>(control);
  return w && w->HandleAllocated() ? w->GetHandle() : nullptr;
}

HWND PopupWindowHandle(TcxCustomPopupWindow* popup) {
  return popup->HandleAllocated() ? popup->GetHandle() : nullptr;
}

TCustomForm* OwnerFormOf(TcxCustomPopupWindow* popup) {
  return popup->GetOwnerControl() ? GetParentForm(popup->GetOwnerControl()) : nullptr;
}

// The procedure a swallowing window has for one message: the old one comes back, the message is
// answered 1 without being handled.
LRESULT SwallowingWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto& swallowing = Popups().Swallowing;
  for (auto it = swallowing.begin(); it != swallowing.end(); ++it)
    if (it->first == window) {
      SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second));
      swallowing.erase(it);
      return 1;
    }
  return DefWindowProc(window, message, wParam, lParam);
}

// The message being sent to the window reaches nothing but the swallowing procedure.
void SwallowMessage(HWND window) {
  auto& swallowing = Popups().Swallowing;
  for (const auto& entry : swallowing)
    if (entry.first == window) return;
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtr(window, GWLP_WNDPROC));
  if (!previous || previous == SwallowingWndProc) return;
  swallowing.emplace_back(window, previous);
  SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SwallowingWndProc));
}

// The first window up the parent chain that is no child window.
HWND TopLevelWindowOf(HWND window) {
  while (window && HasChildStyle(window)) window = GetParent(window);
  return window;
}

void CloseOnDestroy(HWND window) {
  for (std::size_t i = 0; TcxCustomPopupWindow* popup = OpenPopupAt(i); ++i) {
    if (IsBeingDestroyed(popup) || PopupWindowHandle(popup) != window) continue;
    TLinkGuard alive(popup);
    popup->Close();
    if (alive.Alive()) popup->CloseUp();
    return;
  }
}

void CloseOnClose(HWND window) {
  for (std::size_t i = 0; TcxCustomPopupWindow* popup = OpenPopupAt(i); ++i) {
    if (IsBeingDestroyed(popup)) continue;
    TControl* owner = popup->GetOwnerControl();
    if (PopupWindowHandle(popup) == window) {
      TLinkGuard alive(popup);
      if (popup->CloseQuery() && alive.Alive()) popup->CloseUp();
      if (alive.Alive() && !popup->IsVisible() && popup->GetCaptureFocus() && owner && !IsBeingDestroyed(owner))
        if (HWND top = TopLevelWindowOf(ControlWindow(owner))) SendMessage(top, WM_CLOSE, 0, 0);
      return;
    }
    if (!popup->GetCaptureFocus() && !IsBeingDestroyed(owner)) {
      TCustomForm* form = OwnerFormOf(popup);
      if (!form || !form->HandleAllocated() || form->GetHandle() == window) popup->CloseUp();
      return;
    }
  }
}

void CloseOnOwnerHidden(HWND window) {
  auto& list = Popups().OpenPopups;
  for (std::size_t i = list.size(); i-- > 0;) {
    TcxCustomPopupWindow* popup = list[i];
    TControl* owner = popup->GetOwnerControl();
    if (IsBeingDestroyed(popup) || !owner || IsBeingDestroyed(owner) || ControlWindow(owner) != window) continue;
    // That popup and every popup opened after it, the last first.
    while (list.size() > i) {
      TcxCustomPopupWindow* last = list.back();
      last->CloseUp();
      if (!list.empty() && list.back() == last) break;
    }
    return;
  }
}

void CloseOnAppDeactivation() {
  auto& list = Popups().OpenPopups;
  for (std::size_t i = 0; i < list.size();) {
    TcxCustomPopupWindow* popup = list[i];
    if (TCustomForm* form = OwnerFormOf(popup))
      if (form->HandleAllocated()) PostMessage(form->GetHandle(), WM_NCACTIVATE, 0, 0);
    const HWND handle = PopupWindowHandle(popup);
    // The window system tells the windows of their deactivation before the program's: the form
    // the program had active when it lost the activation is the screen's active form.
    const Boolean active = popup->GetActive() || (Screen && Screen->GetActiveCustomForm() == popup);
    const Boolean stays = (popup->GetCaptureFocus() && active) || (handle && !IsWindowEnabled(handle));
    if (stays) {
      ++i;
      continue;
    }
    TLinkGuard alive(popup);
    popup->CloseUp();
    if (alive.Alive()) popup->NotifyOwnerFocusChanged();
    if (alive.Alive() && popup->IsVisible()) {
      ++i;  // a popup that opened again under its handlers stays
      continue;
    }
    i = 0;
  }
}

void CloseOnOwnerMoved(HWND window) {
  auto& list = Popups().OpenPopups;
  for (std::size_t i = 0; i < list.size();) {
    TcxCustomPopupWindow* popup = list[i];
    TControl* owner = popup->GetOwnerControl();
    const HWND ownerWindow = ControlWindow(owner);
    if (!IsBeingDestroyed(popup) && popup->HandleAllocated() && owner && !IsBeingDestroyed(owner) && ownerWindow &&
        ownerWindow == window && !IsWindowVisible(ownerWindow)) {
      popup->CloseUp();
      if (!popup->IsVisible()) {
        i = 0;
        continue;
      }
    }
    ++i;
  }
}

Boolean SwallowsNCDeactivation(HWND window) {
  if (Popups().PopupOperation) return true;
  for (std::size_t i = 0; TcxCustomPopupWindow* popup = OpenPopupAt(i); ++i) {
    TCustomForm* form = OwnerFormOf(popup);
    if (form && form->HandleAllocated() && form->GetHandle() == window) return true;
  }
  return false;
}

LRESULT PopupCallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
  TPopupUnit& unit = Popups();
  const LRESULT result = CallNextHookEx(unit.CallWndProcHook, code, wParam, lParam);
  if (code != HC_ACTION) return result;
  const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
  if ((m.message == CM_ACTIVATE || m.message == CM_DEACTIVATE) && unit.ActivationLock > 0) {
    SwallowMessage(m.hwnd);
    return result;
  }
  if (unit.OpenPopups.empty()) return result;
  try {
    switch (m.message) {
      case WM_DESTROY: CloseOnDestroy(m.hwnd); break;
      case WM_CLOSE: CloseOnClose(m.hwnd); break;
      case WM_SHOWWINDOW:
        if (!m.wParam) CloseOnOwnerHidden(m.hwnd);
        break;
      case WM_ACTIVATEAPP:
        if (!m.wParam) CloseOnAppDeactivation();
        break;
      case WM_WINDOWPOSCHANGED: CloseOnOwnerMoved(m.hwnd); break;
      case WM_NCACTIVATE:
        if (!m.wParam && SwallowsNCDeactivation(m.hwnd)) SwallowMessage(m.hwnd);
        break;
      default: break;
    }
  } catch (...) {
    // A hook must not let an exception into the window system's sending.
    if (Application) Application->HandleException(nullptr);
  }
  return result;
}

LRESULT PopupGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  TPopupUnit& unit = Popups();
  if (code == HC_ACTION && wParam == PM_REMOVE && !unit.OpenPopups.empty()) {
    MSG& msg = *reinterpret_cast<MSG*>(lParam);
    TcxCustomPopupWindow* top = unit.OpenPopups.back();
    if (msg.message == WM_SYSKEYDOWN && !(top->GetCaptureFocus() && top->GetOwnLoop()) &&
        !top->AllowsSysKey(Word(msg.wParam)))
      msg.message = 0;
  }
  return CallNextHookEx(unit.GetMessageHook, code, wParam, lParam);
}

// The owner's form holds the window, or the form's window sits inside another window chain whose
// top-level window holds it.
Boolean IsWindowInOwnerForm(TcxCustomPopupWindow* popup, HWND window) {
  TCustomForm* form = OwnerFormOf(popup);
  if (!form || !form->HandleAllocated()) return false;
  if (IsSelfOrChildWindow(form->GetHandle(), window)) return true;
  if (!form->GetParent() && HasChildStyle(form->GetHandle())) {
    const HWND top = TopLevelWindowOf(form->GetHandle());
    return IsSelfOrChildWindow(top, window);
  }
  return false;
}

// Whether the click may go on to its window; closes the popups it concerns.
Boolean ProcessOutsideClick(HWND window, UINT message, const TPoint& point) {
  TPopupUnit& unit = Popups();
  Boolean pass = true;
  Boolean ownerArea = false;
  const TShiftState shift = KeyboardStateToShiftState();
  for (std::size_t i = 0; i < unit.OpenPopups.size();) {
    TcxCustomPopupWindow* popup = unit.OpenPopups[i];
    const HWND handle = PopupWindowHandle(popup);
    if ((popup->GetCaptureFocus() && !popup->GetActive()) || (handle && IsSelfOrChildWindow(handle, window))) {
      ++i;
      continue;
    }
    auto* ownerForm = dynamic_cast<TcxCustomPopupWindow*>(OwnerFormOf(popup));
    if (!IsWindowInOwnerForm(popup, window) && !(ownerForm && !ownerForm->IsVisible())) {
      ++i;
      continue;
    }
    TControl* owner = popup->GetOwnerControl();
    Boolean consumedByOwner = false;
    const HWND ownerWindow = ControlWindow(owner);
    if (ownerWindow && IsSelfOrChildWindow(ownerWindow, window) &&
        (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) &&
        IsPointInRect(popup->GetOwnerScreenBounds(), point)) {
      ownerArea = true;
      if (popup->ConsumesOutsideClick(window, message, point, shift)) popup->SetClosedByOwnerClick(true);
      consumedByOwner = true;
    }
    TLinkGuard alive(popup);
    const Boolean savedOperation = unit.PopupOperation;
    unit.PopupOperation = true;
    popup->LockClosing(true);
    try {
      if (!consumedByOwner) pass = pass && !popup->ConsumesOutsideClick(window, message, point, shift);
      popup->CloseUp();
      if (ownerArea && (!owner || IsBeingDestroyed(owner) || !ControlWindow(owner) || !IsWindowVisible(ControlWindow(owner))))
        pass = false;
    } catch (...) {
      if (alive.Alive()) popup->LockClosing(false);
      unit.PopupOperation = savedOperation;
      throw;
    }
    if (alive.Alive()) popup->LockClosing(false);
    unit.PopupOperation = savedOperation;
    // A popup that stayed open (its handlers opened it again) is passed over.
    i = alive.Alive() && popup->IsVisible() ? i + 1 : 0;
  }
  return pass;
}

LRESULT PopupMouseHook(int code, WPARAM wParam, LPARAM lParam) {
  TPopupUnit& unit = Popups();
  if (code == HC_ACTION && !unit.OpenPopups.empty()) {
    switch (wParam) {
      case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK:
      case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: {
        const auto& info = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        Boolean pass = true;
        try {
          pass = ProcessOutsideClick(info.hwnd, UINT(wParam), TPoint(info.pt));
        } catch (...) {
          if (Application) Application->HandleException(nullptr);
        }
        if (!pass) return 1;
        break;
      }
      default: break;
    }
  }
  return CallNextHookEx(unit.MouseHook, code, wParam, lParam);
}

void InstallPopupHooks() {
  TPopupUnit& unit = Popups();
  // Hooks the desktop removed from outside (the test desktop's reset) leave stale handles.
  RemoveThreadHook(unit.MouseHook);
  RemoveThreadHook(unit.GetMessageHook);
  RemoveThreadHook(unit.CallWndProcHook);
  InstallThreadHook(unit.CallWndProcHook, WH_CALLWNDPROC, &PopupCallWndProcHook);
  InstallThreadHook(unit.GetMessageHook, WH_GETMESSAGE, &PopupGetMessageHook);
  InstallThreadHook(unit.MouseHook, WH_MOUSE, &PopupMouseHook);
}

void RemovePopupHooksWhenIdle() {
  TPopupUnit& unit = Popups();
  if (!unit.OpenPopups.empty() || unit.ActivationLock > 0) return;
  RemoveThreadHook(unit.MouseHook);
  RemoveThreadHook(unit.GetMessageHook);
  RemoveThreadHook(unit.CallWndProcHook);
}

}  // namespace

// ---- The drop-down window of the editors ------------------------------------------------------

Boolean IsInOpenPopupList(TControl* control) {
  const auto& list = Popups().OpenPopups;
  return control && std::find(list.begin(), list.end(), control) != list.end();
}

void AddToOpenPopupList(TcxCustomPopupWindow* popup) {
  auto& list = Popups().OpenPopups;
  if (!popup || std::find(list.begin(), list.end(), popup) != list.end()) throw EAssertionFailed("Assertion failure");
  list.push_back(popup);
  if (list.size() == 1) InstallPopupHooks();
}

void RemoveFromOpenPopupList(TcxCustomPopupWindow* popup) {
  auto& list = Popups().OpenPopups;
  auto it = std::find(list.begin(), list.end(), popup);
  if (it == list.end()) throw EAssertionFailed("Assertion failure");
  list.erase(it);
  RemovePopupHooksWhenIdle();
}

Boolean ArePopupHooksInstalled() { return Popups().MouseHook != nullptr; }

Integer GetOpenPopupCount() { return Integer(Popups().OpenPopups.size()); }

TcxCustomPopupWindow* GetOpenPopup(Integer index) {
  const auto& list = Popups().OpenPopups;
  return index >= 0 && index < Integer(list.size()) ? list[std::size_t(index)] : nullptr;
}

Boolean IsPopupClosing() { return Popups().ActivationLock > 0; }

TcxCustomPopupWindow::TcxCustomPopupWindow(TControl* ownerControl) : FOwnerControl(ownerControl) {
  SetFormStyle(fsNormal);
  SetKeyPreview(true);
  if (FOwnerControl) FOwnerControl->FreeNotification(this);
}

TcxContainerStyle* TcxCustomPopupWindow::GetStyle() {
  if (!FStyle && !GetComponentState().Contains(csDestroying)) {
    FStyle = GetStyleClass().Create(this, false, nullptr, csNormalStyle);
    FStyle->SetOnChanged(TcxContainerStyleChangedEvent(this, &TcxCustomPopupWindow::PopupStyleChanged));
  }
  return FStyle;
}

TcxContainerViewInfo* TcxCustomPopupWindow::GetViewInfo() {
  if (!FViewInfo && !GetComponentState().Contains(csDestroying)) FViewInfo = GetViewInfoClass().Create();
  return FViewInfo;
}

void TcxCustomPopupWindow::BeforeDestruction() {
  Destroying();
  InvalidateObjectLinks(this);
  if (IsInOpenPopupList(this)) RemoveFromOpenPopupList(this);
  FreeAndNil(FViewInfo);
  if (FStyle) {
    FStyle->SetOnChanged({});
    FreeAndNil(FStyle);
  }
  inherited::BeforeDestruction();
}

TcxCustomPopupWindow::~TcxCustomPopupWindow() {
  // Nothing may stay listed once the object is gone (a popup freed without its teardown).
  auto& list = Popups().OpenPopups;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  InvalidateObjectLinks(this);
}

orv::ClassOf<TcxContainerStyle> TcxCustomPopupWindow::GetStyleClass() { return TcxContainerStyle::StaticClass(); }

orv::ClassOf<TcxContainerViewInfo> TcxCustomPopupWindow::GetViewInfoClass() {
  return TcxContainerViewInfo::StaticClass();
}

void TcxCustomPopupWindow::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FOwnerControl) FOwnerControl = nullptr;
  if (component == FFocusedControl) FFocusedControl = nullptr;
}

TCustomForm* TcxCustomPopupWindow::OwnerParentForm() const {
  return FOwnerControl ? GetParentForm(FOwnerControl) : nullptr;
}

Boolean TcxCustomPopupWindow::IsVisible() const { return IsInOpenPopupList(const_cast<TcxCustomPopupWindow*>(this)); }

Boolean TcxCustomPopupWindow::IsOwnerControlVisible() {
  auto* owner = dynamic_cast<TWinControl*>(FOwnerControl);
  return owner && owner->HandleAllocated() && IsWindowVisible(owner->GetHandle());
}

void TcxCustomPopupWindow::NotifyOwnerFocusChanged() {
  if (auto* control = dynamic_cast<TcxControl*>(FOwnerControl)) control->FocusChanged();
}

void TcxCustomPopupWindow::LockClosing(Boolean lock) {
  if (lock)
    ++FLockCount;
  else if (FLockCount > 0)
    --FLockCount;
}

void TcxCustomPopupWindow::NotifyClosed() {
  if (FOnClosed) FOnClosed(this);
}

void TcxCustomPopupWindow::NotifyClosing() {
  if (FOnClosing) FOnClosing(this);
}

void TcxCustomPopupWindow::NotifyShown() {
  if (FOnShown) FOnShown(this);
}

void TcxCustomPopupWindow::NotifyShowing() {
  if (FOnShowing) FOnShowing(this);
}

Boolean TcxCustomPopupWindow::AllowsSysKey(Word key) { return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_F4; }

void TcxCustomPopupWindow::FitToWorkArea(TPoint& position) {
  if (!MustFitWorkArea()) return;
  Integer width = GetWidth(), height = GetHeight();
  const TRect area = GetWorkAreaAtPoint(position);
  if (position.X < area.Left) {
    width -= area.Left - position.X;
    position.X = area.Left;
  }
  if (position.Y < area.Top) {
    height -= area.Top - position.Y;
    position.Y = area.Top;
  }
  height = std::min(height, area.Bottom - position.Y);
  SetWidth(std::min(width, area.Right - position.X));
  SetHeight(height);
  // A popup that keeps a larger height than asked for stays with its bottom where it was meant.
  if (GetHeight() != height && position.Y == area.Top) position.Y += height - GetHeight();
}

TRect TcxCustomPopupWindow::GetOwnerScreenBounds() {
  TRect r = GetOwnerBounds();
  auto* owner = dynamic_cast<TWinControl*>(FOwnerControl);
  TControl* parent = GetOwnerParent();
  if (parent && owner && owner->HandleAllocated() && HasChildStyle(owner->GetHandle())) {
    const TPoint topLeft = parent->ClientToScreen(TPoint{r.Left, r.Top});
    const TPoint bottomRight = parent->ClientToScreen(TPoint{r.Right, r.Bottom});
    r = {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
  }
  return r;
}

TWinControl* TcxCustomPopupWindow::ChooseFocusTarget(TWinControl* control) {
  if (!control) return this;
  if (control->CanFocus() && control->GetTabStop()) return control;
  TList list;
  GetTabOrderList(&list);
  for (Integer i = 0; i < list.GetCount(); ++i) {
    auto* c = static_cast<TWinControl*>(list.Get(i));
    if (c->CanFocus() && c->GetTabStop()) return c;
  }
  return this;
}

Boolean TcxCustomPopupWindow::IsTopmost() {
  if (!FCaptureFocus) return true;
  TCustomForm* form = OwnerParentForm();
  return !form || (form->HandleAllocated() && (GetWindowLong(form->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST));
}

void TcxCustomPopupWindow::Popup(TWinControl* focusedControl) {
  if (IsVisible() || !IsOwnerControlVisible()) return;
  InitPopupFont();
  CalculateSize();
  TPoint position;
  CalculatePosition(position);
  FitToWorkArea(position);
  TLinkGuard self(this);
  TPopupUnit& unit = Popups();
  unit.PopupOperation = true;
  try {
    AddToOpenPopupList(this);
    NotifyShowing();
    SetBounds(position.X, position.Y, GetWidth(), GetHeight());
    Show();
    FFocusedControl = FCaptureFocus ? ChooseFocusTarget(focusedControl) : focusedControl;
    if (FFocusedControl && FFocusedControl != this) FFocusedControl->FreeNotification(this);
    TWinControl* target = FFocusedControl ? FFocusedControl : this;
    if (target->CanFocus()) target->SetFocus();
    SetWindowPos(GetHandle(), IsTopmost() ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  } catch (...) {
    unit.PopupOperation = false;
    throw;
  }
  unit.PopupOperation = false;
  if (!self.Alive()) return;
  SetModalResult(mrNone);
  NotifyShown();
  if (self.Alive() && FCaptureFocus && FOwnLoop) RunOwnLoop();
}

void TcxCustomPopupWindow::RunOwnLoop() {
  TLinkGuard self(this);
  while (self.Alive() && GetVisible() && !Application->GetTerminated()) {
    MSG msg;
    if (PeekMessage(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
        (msg.wParam == VK_RETURN || msg.wParam == VK_MENU || msg.wParam == VK_SPACE))
      PeekMessage(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (GetModalResult() != mrNone) {
      if (CloseQuery())
        CloseOnModalResult();
      else
        SetModalResult(mrNone);
      // Waiting for one more message would hang a popup that has closed.
      if (!self.Alive() || !GetVisible()) break;
    }
    Application->HandleMessage();
  }
}

void TcxCustomPopupWindow::CloseUp() {
  if (!IsVisible()) return;
  TLinkGuard self(this);
  TPopupUnit& unit = Popups();
  {
    TCounterScope lock(unit.ActivationLock);
    RemoveFromOpenPopupList(this);
    NotifyClosing();
    if (!self.Alive()) return;
    if (HandleAllocated()) ShowWindow(FHandle, SW_HIDE);
    Hide();
    NotifyClosed();
    if (!self.Alive()) return;
    HWND capture = GetCapture();
    if (capture && HandleAllocated() && IsSelfOrChildWindow(FHandle, capture)) ReleaseCapture();
  }
  RemovePopupHooksWhenIdle();
  // The owner's form shows its caption inactive once no popup keeps it drawn active.
  TCustomForm* form = OwnerParentForm();
  if (unit.OpenPopups.empty() && form && form->HandleAllocated() && form->GetFormStyle() != fsMDIForm &&
      GetActiveWindow() != form->GetHandle())
    SendMessage(form->GetHandle(), WM_NCACTIVATE, 0, 0);
}

void TcxCustomPopupWindow::PostCloseUp() {
  if (HandleAllocated()) PostMessage(FHandle, CM_CLOSEUPPOPUPWINDOW, 0, 0);
}

void TcxCustomPopupWindow::Reopen() {
  const Boolean wasOpen = IsVisible();
  TWinControl* target = FFocusedControl;
  TLinkGuard self(this);
  if (wasOpen) CloseUp();
  if (!self.Alive()) return;
  if (HandleAllocated()) RecreateWnd();
  if (wasOpen) Popup(target);
}

void TcxCustomPopupWindow::SetCaptureFocus(Boolean value) {
  if (value == FCaptureFocus) return;
  FCaptureFocus = value;
  Reopen();
}

void TcxCustomPopupWindow::SetTopmostWithParent(Boolean value) {
  if (value == FTopmostWithParent) return;
  FTopmostWithParent = value;
  Reopen();
}

void TcxCustomPopupWindow::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_CLOSEUPPOPUPWINDOW: {
      TLinkGuard self(this);
      {
        TCounterScope lock(Popups().ActivationLock);
        CloseUp();
      }
      if (!self.Alive()) return;
      if (auto* owner = dynamic_cast<TWinControl*>(FOwnerControl))
        if (owner->HandleAllocated()) SendMessage(owner->GetHandle(), WM_SETFOCUS, 0, 0);
      return;
    }
    case CM_SHOWPOPUPWINDOW: Popup(FFocusedControl); return;
    case WM_ACTIVATEAPP: return;
    case WM_ERASEBKGND:
      if (!ErasesBackground()) {
        message.Result = 1;
        return;
      }
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      inherited::Dispatch(message);
      TControl* control = reinterpret_cast<TControl*>(message.LParam);
      if (!control) control = this;
      if (message.Msg == CM_MOUSEENTER)
        MouseEnter(control);
      else
        MouseLeave(control);
      return;
    }
    default: break;
  }
  inherited::Dispatch(message);
}

void TcxCustomPopupWindow::AdjustClientRect(TRect& rect) {
  inherited::AdjustClientRect(rect);
  // A view info that was never calculated leaves the whole client area to the children.
  if (TcxContainerViewInfo* viewInfo = GetViewInfo())
    if (!RectIsEmpty(viewInfo->ClientRect)) rect = viewInfo->ClientRect;
}

void TcxCustomPopupWindow::CreateHandle() {
  // The hooks treat the messages of a window being made as a popup's.
  const Boolean listed = IsVisible();
  if (!listed) AddToOpenPopupList(this);
  try {
    inherited::CreateHandle();
  } catch (...) {
    if (!listed && IsVisible()) RemoveFromOpenPopupList(this);
    throw;
  }
  if (!listed && IsVisible()) RemoveFromOpenPopupList(this);
}

void TcxCustomPopupWindow::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (FCaptureFocus) {
    params.Style = (params.Style & ~DWORD(WS_CHILD)) | WS_POPUP;
    TCustomForm* form = OwnerParentForm();
    if (form && form->HandleAllocated()) params.WndParent = form->GetHandle();
    if (FTopmostWithParent &&
        (!form || (form->HandleAllocated() && (GetWindowLong(form->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST))))
      params.ExStyle |= WS_EX_TOPMOST;
  } else {
    params.Style = WS_CHILD;
    params.ExStyle |= WS_EX_TOOLWINDOW;
    if (TcxMessageWindow* window = GetHiddenMessageWindow()) params.WndParent = window->GetHandle();
  }
  params.Style |= WS_CLIPCHILDREN;
}

void TcxCustomPopupWindow::CreateWnd() {
  inherited::CreateWnd();
  // Shown on the desktop without ever taking the activation.
  if (!FCaptureFocus) ::SetParent(FHandle, nullptr);
}

void TcxCustomPopupWindow::Deactivate() {
  if (FLockCount > 0) return;
  TLinkGuard self(this);
  TCustomForm::Deactivate();
  if (!self.Alive()) return;
  auto& list = Popups().OpenPopups;
  for (Integer i = Integer(list.size()) - 1; i >= 0; --i) {
    if (i >= Integer(list.size())) continue;
    TcxCustomPopupWindow* popup = list[std::size_t(i)];
    if (popup->HandleAllocated() && GetActiveWindow() == popup->GetHandle()) break;
    if ((!popup->HandleAllocated() || IsWindowEnabled(popup->GetHandle())) && popup->FLockCount == 0)
      popup->CloseUp();
    if (!self.Alive()) return;
  }
  if (!list.empty()) CloseUp();
}

void TcxCustomPopupWindow::KeyDown(Word& key, TShiftState shift) {
  if (key == VK_ESCAPE && IsVisible() && HandleAllocated()) {
    HWND capture = GetCapture();
    if (capture && IsSelfOrChildWindow(FHandle, capture)) {
      ReleaseCapture();
      key = 0;
      return;
    }
  }
  inherited::KeyDown(key, shift);
}

bool TcxCustomPopupWindow::IsShortCut(TMessage& message) {
  if (inherited::IsShortCut(message)) return true;
  TCustomForm* form = OwnerParentForm();
  return form && form != this && form->IsShortCut(message);
}

bool TcxCustomPopupWindow::Focused() {
  return IsVisible() && FCaptureFocus && HandleAllocated() && IsSelfOrChildWindow(FHandle, GetFocus());
}

void TcxCustomPopupWindow::Paint() {
  TcxContainerViewInfo* viewInfo = GetViewInfo();
  if (!viewInfo) return;
  TcxCanvas* canvas = GetCanvas();
  canvas->SetFontHandle(GetFont()->GetHandle());
  canvas->SetFontColor(GetFont()->GetColor());
  viewInfo->PaintOn(canvas);
}

void TcxCustomPopupWindow::VisibleChanged() {
  if (!FCaptureFocus || !FOwnerControl || GetVisible()) return;
  TCustomForm* form = OwnerParentForm();
  auto* owner = dynamic_cast<TWinControl*>(FOwnerControl);
  if (form && owner && form->HandleAllocated() && GetFocus() == form->GetHandle() && owner->CanFocus() &&
      !form->GetComponentState().Contains(csDesigning))
    owner->SetFocus();
}

// ---- Drag images --------------------------------------------------------------------------------

TcxCustomDragImage::TcxCustomDragImage() {
  SetBounds(0, 0, 0, 0);
  SetAlphaBlend(true);
  SetAlphaBlendValue(180);
}

void TcxCustomDragImage::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  TCustomForm* parent = FPopupParent ? FPopupParent : (Screen ? Screen->GetActiveForm() : nullptr);
  if (parent && parent != this) params.WndParent = parent->GetHandle();
  params.WindowClass.style |= CS_SAVEBITS;
}

void TcxCustomDragImage::SetPopupParent(TCustomForm* value) {
  if (value == FPopupParent) return;
  if (FPopupParent) FPopupParent->RemoveFreeNotification(this);
  FPopupParent = value;
  if (FPopupParent) FPopupParent->FreeNotification(this);
}

void TcxCustomDragImage::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = 1; return;
    // The image never catches the mouse: the window underneath gets it.
    case WM_NCHITTEST: message.Result = HTTRANSPARENT; return;
    default: break;
  }
  inherited::Dispatch(message);
}

void TcxCustomDragImage::InitBounds(const TRect& rect, const TPoint& hotSpot) {
  SetBounds(GetLeft(), GetTop(), rect.Width(), rect.Height());
  FHotSpot = {hotSpot.X - rect.Left, hotSpot.Y - rect.Top};
}

void TcxCustomDragImage::MoveTo(const TPoint& position) {
  HandleNeeded();
  SetBounds(position.X - FHotSpot.X, position.Y - FHotSpot.Y, GetWidth(), GetHeight());
}

Boolean TcxCustomDragImage::GetShowing() { return HandleAllocated() && IsWindowVisible(FHandle); }

void TcxCustomDragImage::SetShowing(Boolean value) {
  if (value == GetShowing()) return;
  if (value) {
    ShowWindow(GetHandle(), SW_SHOWNOACTIVATE);
    Update();
  } else if (HandleAllocated()) {
    ShowWindow(FHandle, SW_HIDE);
  }
}

Boolean TcxCustomDragImage::CanUseAlphaBlend() { return GetAlphaBlend() && LayeredWindowsAvailable(); }

TcxDragImage::TcxDragImage() : FImage(new TcxBitmap(0, 0, pf32bit)) {}

TcxDragImage::~TcxDragImage() { orv::Free(FImage); }

void TcxDragImage::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  inherited::SetBounds(left, top, width, height);
  // Constructing forms set their bounds before the image exists.
  if (FImage) FImage->SetSize(GetWidth(), GetHeight());
}

TcxCanvas* TcxDragImage::GetImageCanvas() { return FImage->GetCanvas(); }

void TcxDragImage::Paint() {
  inherited::Paint();
  if (FImage->GetWidth() > 0 && FImage->GetHeight() > 0)
    BitBlt(TCustomForm::GetCanvas()->GetHandle(), 0, 0, FImage->GetWidth(), FImage->GetHeight(),
           FImage->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
}

// ---- Size frame -------------------------------------------------------------------------------

TcxSizeFrame::TcxSizeFrame(Integer frameWidth) : FFrameWidth(frameWidth), FRegion(new TcxRegion) {
  SetAlphaBlend(false);
  // An 8 x 8 checker of black and white.
  static const WORD kChecker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  FPatternBitmap = CreateBitmap(8, 8, 1, 1, kChecker);
  FPatternBrush = CreatePatternBrush(FPatternBitmap);
}

TcxSizeFrame::~TcxSizeFrame() {
  orv::Free(FRegion);
  if (FPatternBrush) DeleteObject(FPatternBrush);
  if (FPatternBitmap) DeleteObject(FPatternBitmap);
}

void TcxSizeFrame::SetFrameRect(const TRect& rect) {
  HandleNeeded();
  FRegion->CombineWith(new TcxRegion(0, 0, rect.Width(), rect.Height()), roSet);
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
}

void TcxSizeFrame::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  inherited::SetBounds(left, top, width, height);
  // A rectangle too small for two frame widths keeps the window region it had.
  if (FRegion && HandleAllocated() && 2 * FFrameWidth < GetWidth() && 2 * FFrameWidth < GetHeight())
    UpdateWindowRegion();
}

void TcxSizeFrame::UpdateWindowRegion() {
  if (!FFillSelection) {
    // The inner part: the region intersected with itself moved by the frame width each way.
    auto* inner = new TcxRegion;
    inner->CombineWith(FRegion, roSet, false);
    const Integer w = FFrameWidth;
    const TPoint shifts[4] = {{w, 0}, {0, w}, {-w, 0}, {0, -w}};
    for (const TPoint& shift : shifts) {
      auto* moved = new TcxRegion;
      moved->CombineWith(FRegion, roSet, false);
      moved->Offset(shift);
      inner->CombineWith(moved, roIntersect);
    }
    FRegion->CombineWith(inner, roSubtract);
  }
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const Boolean hasRegion = GetWindowRgn(FHandle, current) != ERROR;
  const Boolean same = hasRegion && FRegion->IsEqualHandle(current);
  DeleteObject(current);
  if (same) return;
  // The window takes ownership of the copy.
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(copy, FRegion->GetHandle(), nullptr, RGN_COPY);
  SetWindowRgn(FHandle, copy, TRUE);
}

void TcxSizeFrame::Paint() {
  HDC dc = TCustomForm::GetCanvas()->GetHandle();
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  const RECT r = GetClientRect();
  FillRect(dc, &r, FPatternBrush);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

// ---- Drop arrow -------------------------------------------------------------------------------

TcxDragAndDropArrow::TcxDragAndDropArrow(Boolean transparent) : FTransparent(transparent) {
  SetAlphaBlend(false);
  if (FTransparent && LayeredWindowsAvailable()) {
    SetTransparentColorValue(GetTransparentColor());
    SetTransparentColor(true);
  }
}

Boolean TcxDragAndDropArrow::UsesColorKey() { return FTransparent && LayeredWindowsAvailable(); }

void TcxDragAndDropArrow::ShowAt(TControl* site, const TRect& targetRect, TcxArrowPlace place,
                                 const TRect& boundingRect) {
  TRect r = GetDragAndDropArrowBounds(targetRect, boundingRect, place);
  if (site) {
    const TPoint topLeft = site->ClientToScreen(TPoint{r.Left, r.Top});
    r = {topLeft.X, topLeft.Y, topLeft.X + r.Width(), topLeft.Y + r.Height()};
  }
  HandleNeeded();
  SetBoundsRect(r);
  const TRect local{0, 0, r.Width(), r.Height()};
  TcxCanvas* canvas = GetImageCanvas();
  canvas->FillRect(local, GetTransparentColor());
  DrawDragAndDropArrow(canvas, local, place);
  if (!UsesColorKey()) {
    TcxArrowPoints points;
    GetDragAndDropArrowPoints(local, place, points, 1);
    HRGN region = CreatePolygonRgn(points.data(), Integer(points.size()), WINDING);
    SetWindowRgn(FHandle, region, TRUE);
  }
  Invalidate();
}

// ---- Hint window ------------------------------------------------------------------------------

void ShowHintWindow(THintWindow* window, const TRect& rect, const AnsiString& text) {
  if (!window) return;
  if (!MonitorFromPoint(POINT{rect.Left, rect.Top}, MONITOR_DEFAULTTONEAREST)) return;
  window->ActivateHint(rect, text);
}

TcxBaseHintWindow::TcxBaseHintWindow(TComponent* owner) : THintWindow(owner) {}

void TcxBaseHintWindow::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (FStandardHint) return;
  if (!FBorder) params.Style &= ~DWORD(WS_BORDER);
  params.ExStyle |= WS_EX_TOPMOST;
}

void TcxBaseHintWindow::Dispatch(TMessage& message) {
  if (message.Msg == WM_ERASEBKGND && !FNeedEraseBackground) {
    message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}

void TcxBaseHintWindow::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  const TRect area = GetWorkAreaAtPoint(TPoint{left, top});
  left = std::max(std::min(left, area.Right - width), area.Left);
  top = std::max(std::min(top, area.Bottom - height), area.Top);
  inherited::SetBounds(left, top, width, height);
}

void TcxBaseHintWindow::ResetWindowRegion() {
  if (HandleAllocated()) SetWindowRgn(FHandle, nullptr, TRUE);
}

void TcxBaseHintWindow::ShowNoActivate() { ShowWindow(GetHandle(), SW_SHOWNOACTIVATE); }

TcxHintAnimate TcxBaseHintWindow::GetEffectiveAnimationStyle() {
  if (FAnimationStyle == cxhaNone) return cxhaNone;
  BOOL animation = FALSE;
  if (!SystemParametersInfo(SPI_GETTOOLTIPANIMATION, 0, &animation, 0) || !animation) return cxhaNone;
  if (FAnimationStyle != cxhaAuto) return FAnimationStyle;
  BOOL fade = FALSE;
  SystemParametersInfo(SPI_GETTOOLTIPFADE, 0, &fade, 0);
  return fade ? cxhaFadeIn : cxhaSlideDownward;
}

void TcxBaseHintWindow::ActivateHint(TRect rect, const AnsiString& hint) {
  if (!MonitorFromPoint(POINT{rect.Left, rect.Top}, MONITOR_DEFAULTTONEAREST)) return;
  if (FStandardHint) {
    inherited::ActivateHint(rect, hint);
    return;
  }
  SetCaption(hint);
  SetBoundsRect(rect);
  SetWindowPos(GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (OsWinXP) PrepareShow();
  if (hint.size() < 100 && AnimateWindowAvailable()) {
    static const DWORD kFlags[] = {AW_HOR_POSITIVE, AW_HOR_NEGATIVE, AW_VER_POSITIVE, AW_VER_NEGATIVE, AW_CENTER,
                                   AW_HIDE,         AW_ACTIVATE,     AW_BLEND};
    const TcxHintAnimate style = GetEffectiveAnimationStyle();
    if (style < cxhaAuto) {
      if (!OsWinXP) ResetWindowRegion();
      AnimateWindow(FHandle, FAnimationDelay, kFlags[style] | AW_SLIDE);
    }
  }
  if (!OsWinXP) PrepareShow();
  ShowNoActivate();
  Invalidate();
}
