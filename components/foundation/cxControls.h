// The control unit: component timers on one shared hidden window, the unit's start-up (the
// library's cursors and registered messages), hidden message windows with the settings and
// system controllers, mouse-leave tracking, the hourglass counter, the drop-position arrow,
// the design-time notification controller and small window, keyboard and menu routines.
//
// Everything runs on the UI thread.
#pragma once

#include <array>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "platform/runtime/Sets.h"
#include "platform/runtime/Component.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/WinTypes.h"

class TcxCanvas;
class TControl;
class TCustomForm;
class TFont;
class TWinControl;
class TcxObjectLink;
class TcxTimerWindow;

// ==== The library's cursors and private messages =============================================

// Loaded into the screen's cursor table when the unit starts.
constexpr SmallInt crcxDragCopy = 2100;
constexpr SmallInt crcxFullScroll = 2101;
constexpr SmallInt crcxHorScroll = 2102;
constexpr SmallInt crcxVerScroll = 2103;
constexpr SmallInt crcxUpScroll = 2104;
constexpr SmallInt crcxRightScroll = 2105;
constexpr SmallInt crcxDownScroll = 2106;
constexpr SmallInt crcxLeftScroll = 2107;
constexpr SmallInt crcxRemove = 2108;
constexpr SmallInt crcxVertSize = 2109;
constexpr SmallInt crcxHorzSize = 2110;
constexpr SmallInt crcxMultiDrag = 2111;
constexpr SmallInt crcxNoDrop = 2112;
constexpr SmallInt crcxDrag = 2113;
constexpr SmallInt crcxHandPoint = -2099;  // the system hand cursor
constexpr SmallInt crcxColorPicker = 2114;
constexpr SmallInt crcxMultiDragCopy = 2115;

// The system scroll-bar metrics may have changed (sent by the settings controller, posted by a
// control to itself after WM_NCCALCSIZE).
constexpr UINT DXM_NCSIZECHANGED = 0x8065;
// Run the calls other threads queued for the UI thread.
constexpr UINT DXM_SYNCHRONIZE = 0x8066;

// ==== Timers ==================================================================================

// The timer component of the library. All timers share one hidden window; a WM_TIMER for an id
// that is not running any more (a stopped or freed timer) is dropped. Ids are serial numbers,
// never reused, so a late message of a freed timer can never reach a newer one.
class TcxTimer : public TComponent {
  ORV_CLASS(TcxTimer, TComponent)
 public:
  explicit TcxTimer(TComponent* owner);
  void BeforeDestruction() override;

  Boolean GetEnabled() const { return FEnabled; }
  // Stores the value and starts or stops the timer; setting it again restarts nothing.
  void SetEnabled(Boolean value);
  // Milliseconds (default 1000).
  Cardinal GetInterval() const { return FInterval; }
  // 0 and the current value are ignored; otherwise stores it and restarts the interval.
  void SetInterval(Cardinal value);
  const TNotifyEvent& GetOnTimer() const { return FOnTimer; }
  // A timer without a handler never runs.
  void SetOnTimer(const TNotifyEvent& value);

  // Whether the window timer runs now.
  Boolean IsRunning() const { return FTimerOn; }
  UINT_PTR GetTimerId() const { return FTimerId; }

 protected:
  // Fires OnTimer.
  virtual void TimerExpired();

 private:
  friend class TcxTimerWindow;
  friend TcxTimerWindow* GetTimerWindow();
  void Restart();
  void StartTimer();
  void StopTimer();
  void SetTimerOn(Boolean value);

  Boolean FEnabled = true;
  UINT_PTR FTimerId;
  Cardinal FInterval = 1000;
  Boolean FTimerOn = false;
  TNotifyEvent FOnTimer;
};

// ==== Hidden message windows ==================================================================

// A hidden utility window whose messages go to the virtual WndProc. Being a hidden top-level
// window it receives the desktop's broadcasts (settings, system colours, theme, time).
class TcxMessageWindow : public TObject {
  ORV_CLASS(TcxMessageWindow, TObject)
 public:
  TcxMessageWindow();
  ~TcxMessageWindow() override;

  HWND GetHandle() const { return FHandle; }

 protected:
  // The default procedure.
  virtual void WndProc(TMessage& message);

 private:
  void MainWndProc(TMessage& message);
  HWND FHandle = nullptr;
};

// The window behind every TcxTimer.
class TcxTimerWindow : public TcxMessageWindow {
  ORV_CLASS(TcxTimerWindow, TcxMessageWindow)
 public:
  TcxTimerWindow() = default;

 protected:
  // WM_TIMER of a running timer calls its TimerExpired; WM_TIMER of any other id is dropped.
  void WndProc(TMessage& message) override;
};

// The previous wake-up handler of the main thread.
using TcxWakeMainThreadEvent = orv::Event<void(TObject* sender)>;

// Lets worker threads of a program that is a library reach the UI thread through its hidden
// window. A program here is never a library and has no worker threads of this system: nothing
// is hooked, and DXM_SYNCHRONIZE is merely accepted.
class TcxSystemController : public TcxMessageWindow {
  ORV_CLASS(TcxSystemController, TcxMessageWindow)
 public:
  TcxSystemController() = default;

 protected:
  void WndProc(TMessage& message) override;

 private:
  TcxWakeMainThreadEvent FPrevWakeMainThread;
};

// Forwards the system's non-client metric changes to the controls that listen: DXM_NCSIZECHANGED
// is sent to each of them that has a window. The hidden window exists only while some control
// listens. A listening control that is freed leaves the list by itself.
class TcxSettingsController : public TObject {
  ORV_CLASS(TcxSettingsController, TObject)
 public:
  TcxSettingsController();
  ~TcxSettingsController() override;

  // Adds a control once; the first one allocates the window.
  void AddListener(TWinControl* control);
  // The last one deallocates the window.
  void RemoveListener(TWinControl* control);
  Integer GetListenerCount() const { return Integer(FList.size()); }
  HWND GetHandle() const { return FWindow; }

 protected:
  virtual void WndProc(TMessage& message);

 private:
  void MainWndProc(TMessage& message);
  void ControlFreed(TComponent* sender);
  std::vector<TWinControl*> FList;
  HWND FWindow = nullptr;
  TcxFreeNotificator* FNotificator;
};

// The shared timer window, made on first use (not once the unit is ending). A window destroyed
// from outside (the test desktop's reset) is made again.
TcxTimerWindow* GetTimerWindow();
// Whether the id belongs to a running timer.
Boolean IsActiveTimerId(UINT_PTR id);
Integer GetActiveTimerCount();
TcxSettingsController* GetSettingsController();
// Made on first use (not once the unit is ending); the editors' popups take its handle as their
// owner window.
TcxMessageWindow* GetHiddenMessageWindow();

namespace orv {

// Starts the control unit once: the cursors, the "USER32" module, the registered messages and the
// system controller. Every service of the unit starts it on first use; a program calls it at
// start-up so that the cursors are in place before the first control shows.
void InitializeControlsUnit();
// Ends the unit once (also at exit): nothing of it is made again afterwards. Trackers still
// running are a programming error: they are reported on the standard error stream and freed.
void FinalizeControlsUnit();
Boolean IsControlsUnitFinalizing();
// The two registered window messages of the unit (nothing sends them; other libraries may).
UINT ControlsRegisteredMessage(Integer index);

}  // namespace orv

// ==== Mouse tracking ==========================================================================

// Told when the mouse has left the tracked bounds.
class IcxMouseTrackingCaller : public virtual IInterface {
 public:
  virtual void MouseLeave() = 0;
};

// A caller that decides itself whether a point (client coordinates of the tracked control)
// lies in it.
class IcxMouseTrackingHitTest : public IcxMouseTrackingCaller {
 public:
  virtual Boolean PtInCaller(const TPoint& point) = 0;
};

// One tracked caller: a 10 ms timer that watches the cursor.
class TMouseTrackingTimer : public TcxTimer {
  ORV_CLASS(TMouseTrackingTimer, TcxTimer)
 public:
  explicit TMouseTrackingTimer(TComponent* owner);
  void BeforeDestruction() override;
  void Notification(TComponent* component, TOperation operation) override;

  IcxMouseTrackingCaller* GetCaller() const { return FCaller; }
  TWinControl* GetControl() const { return FControl; }
  const TRect& GetBounds() const { return FBounds; }
  // False once the caller's object has died (for callers that empty their object links).
  Boolean CallerAlive() const;

 private:
  friend void StartMouseTracking(TWinControl*, const TRect&, IcxMouseTrackingCaller*);
  void Setup(TWinControl* control, const TRect& screenBounds, IcxMouseTrackingCaller* caller);
  void TimerHandler(TObject* sender);

  IcxMouseTrackingCaller* FCaller = nullptr;
  TcxObjectLink* FCallerLink = nullptr;
  TWinControl* FControl = nullptr;
  TRect FBounds;
};

// Starts tracking the caller (nothing when it is already tracked or the unit is ending). The
// bounds are in the control's client coordinates, or in screen coordinates without a control.
// A caller whose object empties its object links when freed (every TcxComponent) is dropped
// silently when it dies while tracked; a freed control counts as gone.
void StartMouseTracking(TWinControl* control, const TRect& bounds, IcxMouseTrackingCaller* caller);
// Stops and frees the caller's tracker; an untracked caller is ignored.
void StopMouseTracking(IcxMouseTrackingCaller* caller);
Boolean IsMouseTrackingActive(IcxMouseTrackingCaller* caller);
TMouseTrackingTimer* FindMouseTrackingTimer(IcxMouseTrackingCaller* caller);
Integer GetMouseTrackingCount();

// ==== Hourglass ===============================================================================

// Counted: the first show saves the screen cursor and shows the hourglass, the last hide puts
// the saved cursor back; a hide without a show does nothing.
void ShowHourglassCursor();
void HideHourglassCursor();

// ==== Design-time notifications ===============================================================

class TcxDesignController : public TObject {
  ORV_CLASS(TcxDesignController, TObject)
 public:
  TcxDesignController() = default;

  // Tells the form's designer that the form changed, unless locked or already telling.
  void NotifyDesignerModified(TCustomForm* form);
  void LockDesignerModified() { ++FLockCount; }
  // Never below 0.
  void UnlockDesignerModified() {
    if (FLockCount > 0) --FLockCount;
  }
  Integer GetLockCount() const { return FLockCount; }

 private:
  Integer FLockCount = 0;
  Boolean FNotifying = false;
};

// ==== Drop-position arrow =====================================================================

// Places: 0 left of the target, 1 above, 2 right, 3 below.
using TcxArrowPlace = Integer;
constexpr TcxArrowPlace apLeft = 0;
constexpr TcxArrowPlace apTop = 1;
constexpr TcxArrowPlace apRight = 2;
constexpr TcxArrowPlace apBottom = 3;

using TcxArrowPoints = std::array<TPoint, 7>;

// The arrow's rectangle beside the target, the target first clamped into the bounding
// rectangle (unless that is empty).
TRect GetDragAndDropArrowBounds(const TRect& targetRect, const TRect& boundingRect, TcxArrowPlace place);
// The seven-point polygon; `enlarge` 0 for drawing, 1 for the arrow window's region.
void GetDragAndDropArrowPoints(const TRect& rect, TcxArrowPlace place, TcxArrowPoints& points, Integer enlarge);
// Filled lime, outlined black.
void DrawDragAndDropArrow(TcxCanvas* canvas, const TRect& rect, TcxArrowPlace place);

// ==== Popup menus =============================================================================

// What a popup menu that is not the platform's own offers the controls.
class IcxPopupMenuSupport : public virtual IInterface {
 public:
  virtual Boolean IsShortCutKey(TMessage& message) = 0;
  virtual void Popup(Integer x, Integer y) = 0;
};
// The bars' name for the same interface.
using IPopupMenuService = IcxPopupMenuSupport;

// Whether the key message is a shortcut of the menu (a platform menu answers only once it has
// a window).
Boolean IsPopupMenuShortCut(TComponent* popupMenu, TMessage& message);
// Pops the menu up at the screen point; true when a menu showed.
Boolean ShowPopupMenu(TControl* control, TComponent* popupMenu, Integer x, Integer y);

// ==== Window, geometry and keyboard routines ==================================================

// True when the handle exists or can be made: not while destroying; when a parent window is set
// or a parent can make one; a form only while the application has its window.
Boolean CanAllocateHandle(TWinControl* control);
// The character the key gives under the current keyboard state; 0 when none (or several).
char VirtualKeyToChar(Word key);
UINT QueryDoubleClickTime();
// The work area of the monitor nearest to the point.
TRect GetWorkAreaAtPoint(const TPoint& point);
// The cursor position; (-1, -1) when it cannot be read.
TPoint SafeGetCursorPos();
Boolean HasChildStyle(HWND window);
Boolean IsSelfOrChildWindow(HWND parent, HWND window);
Boolean IsMDIChildForm(TCustomForm* form);
Boolean IsMDIParentForm(TCustomForm* form);
// Code 32 or above, Backspace, Ctrl+V and Ctrl+X.
Boolean IsEditingChar(char ch);
Boolean IsPrintableOrBackspace(char ch);
Boolean IsPrintableChar(char ch);
Boolean IsWindowAncestor(HWND ancestor, HWND window);
// Enabled and, for a child window, every parent enabled.
Boolean IsWindowEnabledWithParents(HWND window);
// Both distances below the mouse's drag threshold.
Boolean IsWithinDragThresholdOf(const TPoint& point, Integer x, Integer y);
// Kind 0 integer ('+', '-', digits), 1 adds the locale's decimal separator, 2 also 'e'/'E';
// other kinds as 0.
Boolean CharIsValidInNumber(char ch, Integer kind);
// Keys that produce no text (3, 8, 9, 12, 13, 16-20, 27, 33-47, 91-145, 160-165, 229,
// 246-254); nothing above 255.
Boolean IsSpecialKey(Word key);
// Moves the rectangle into the work area at the point: right and bottom first, then left and
// top (which win when the rectangle is larger than the area).
void FitRectIntoWorkArea(TRect& rect, const TPoint& point);
void MapPointBetweenWindows(HWND from, HWND to, TPoint& point);
void MapRectBetweenWindows(HWND from, HWND to, TRect& rect);
// Empty when the call fails.
TRect SafeGetClientRect(HWND window);
TRect SafeGetWindowRect(HWND window);
TRect GetControlWindowRect(TWinControl* control);
// The deepest visible window under the screen point.
HWND FindDeepestWindowAtPoint(const TPoint& point);
// "&&" gives "&", a single "&" is dropped; a lone trailing "&" becomes "_" with
// `underscoreTrailing`, else it is dropped.
AnsiString StripAccelChars(const AnsiString& text, Boolean underscoreTrailing = false);
WideString StripAccelCharsW(const WideString& text, Boolean underscoreTrailing = false);
// Owner names and the component's name joined with ".", outermost first.
AnsiString GetComponentNamePath(TComponent* component);
// MK_ flags of a shift state (TShiftState of the controls layer).
template <class TShiftStateItem>
WPARAM ShiftStateToMouseKeys(orv::Set<TShiftStateItem> shift);
inline Word NormalizeKeyCode(Word key) { return key; }
// Scales the form's controls and client size by the ratio of the heights of "Qq" in the new and
// the old font.
void ApplyFontToForm(TCustomForm* form, TFont* font);
// At design time: the root designer hears that the form changed. There is no form designer
// here, so this does nothing.
void NotifyRootDesignerModified(TControl* control);
// The menu's height as it opens: each visible top-level item TextHeight("Qg") + 4 in the menu
// font, plus 4.
Integer GetPopupMenuHeight(TComponent* popupMenu);
