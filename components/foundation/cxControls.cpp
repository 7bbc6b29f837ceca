#include "components/foundation/cxControls.h"

#include <cstdio>
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

TcxMessageWindow* GetHiddenMessageWindow() {
  TControlsUnit& u = Unit();
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

namespace {
Boolean InRect(const TRect& r, const TPoint& p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
}  // namespace

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
    inside = InRect(FBounds, cursor);
  const Boolean gone = !hasWindow || !IsWindowEnabledWithParents(FControl->GetHandle());
  if (inside && !gone) return;

  // Leave the list first: whatever the notices below do (stop the tracking themselves, start it
  // again, free the control or the caller), this tracker is no longer theirs.
  RemoveTracker(this);
  SetEnabled(false);
  if (hasWindow && FControl) {
    const HWND window = FControl->GetHandle();
    const TPoint client = FControl->ScreenToClient(cursor);
    if (gone || !InRect(FControl->GetClientRect(), client))
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
    screenBounds = TRect(topLeft.X, topLeft.Y, topLeft.X + bounds.Width(), topLeft.Y + bounds.Height());
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
  FNotifying = true;
  // No form designer exists in this system: there is nobody to tell.
  FNotifying = false;
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
