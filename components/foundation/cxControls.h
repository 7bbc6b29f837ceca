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
// The platform drag object (or dragged control) over a library control now; nullptr when the
// drag left it or ended.
TObject* GetCurrentDragObject();

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

// ==== Spell checker =========================================================================

// An outside spell checker that may take part in editing and in the controls' context menus.
// Nothing in this program assigns one; every caller skips it while it is unset, and the unit
// lets go of it when it ends.
class IcxSpellCheckerHook : public virtual IInterface {
 public:
  // What the text editors tell it about their inner edit.
  virtual void FocusExit() = 0;
  virtual void FocusEnter(TWinControl* innerEdit) = 0;
  virtual void RedrawMisspellings(TWinControl* innerEdit) = 0;
  virtual Boolean IsOwnWindow(HWND window) = 0;
  virtual void Scrolled(TWinControl* innerEdit) = 0;
  virtual void SelectionChanged(TWinControl* innerEdit) = 0;
  virtual void TextChanged(TWinControl* innerEdit) = 0;
  virtual void Undo() = 0;
  // A character an editor took as typed (after its own key handling kept it).
  virtual void KeyPress(char key) {}
  // A control's context menu request (its popup menu, maybe none; the point on the screen):
  // true when the checker showed a menu of its own, so the control shows none.
  virtual Boolean ShowPopupMenu(TComponent* popupMenu, const TPoint& screenPoint) = 0;
};
extern IcxSpellCheckerHook* SpellCheckerHook;

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

// The design controller the components share.
TcxDesignController* cxDesignController();

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

// ==== The base control ========================================================================
//
// The base control of the composite controls (grid, tab and page controls, filter control,
// editors, status bar): a custom control that paints through its own component canvas and look
// and feel, owns two painter-drawn scroll bars and a size grip with a scrolling model (the
// control never scrolls by itself: descendants describe their extent in
// InitScrollBarsParameters and scroll in Scroll), a mouse pipeline with focus on click, an
// internal drag-and-drop engine, a popup menu that may be any component offering
// IcxPopupMenuSupport, wanted keys for dialog navigation and font listeners.
//
// Every message runs under an object link on the control: a handler that frees the control
// (a click that closes its form) stops the remaining steps instead of touching freed memory.
//
// The base control stands on the class library's controls, the library's scroll bar, look and
// feel and styles, which the sections above do not need.

#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxScrollBar.h"
#include "components/foundation/cxStyles.h"
#include "components/foundation/dxCore.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ImgList.h"

class TcxCanvas;
class TcxControl;
class TcxControlChildComponent;
class TcxRegion;
class TcxScreenCanvas;

enum TcxControlBorderStyle : Byte { cxcbsNone, cxcbsDefault };
enum TcxDirection { dirNone, dirLeft, dirRight, dirUp, dirDown };
// The keys a control claims in WM_GETDLGCODE.
enum TcxKey { kAll, kArrows, kChars, kTab };
using TcxKeys = orv::Set<TcxKey>;
// The internal drag and drop: none, waiting for the mouse to leave the drag threshold, running.
enum TcxDragAndDropState : Byte { ddsNone, ddsStarting, ddsInProcess };
// GetMouseWheelScrollingKind.
enum TcxMouseWheelScrollingKind { mwskNone, mwskHorizontal, mwskVertical };

// Told when it stops being the control's mouse capture object.
class IcxMouseCaptureOwner : public virtual IInterface {
 public:
  virtual void MouseCaptureChanged() = 0;
};

// The look and feel a control draws with (containers hand their inner controls theirs).
class IcxLookAndFeelHost : public virtual IInterface {
 public:
  virtual TcxLookAndFeel* GetLookAndFeelValue() = 0;
};

// ---- Internal drag and drop -------------------------------------------------------------------

// One drag-and-drop operation inside one control (the grid moves and sizes columns with it, the
// page control drags tabs). Descendants draw and erase their feedback in FeedbackStateChanged.
class TcxDragAndDropObject : public TObject {
  ORV_CLASS(TcxDragAndDropObject, TObject)
 public:
  using TCreateSignature = void(TcxControl* control);
  explicit TcxDragAndDropObject(TcxControl* control);

  TcxControl* GetControl() const { return FControl; }
  TcxCanvas* GetCanvas() const { return FCanvas; }
  Boolean GetFeedbackHidden() const { return FFeedbackHidden; }
  // Calls FeedbackStateChanged when the flag changes.
  void SetFeedbackHidden(Boolean value);
  // Client coordinates; (-1, -1) until the operation begins.
  TPoint GetCurMousePos() const { return FCurMousePos; }
  TPoint GetPrevMousePos() const { return FPrevMousePos; }

  virtual void FeedbackStateChanged() {}
  // crDrag when accepted, crNoDrop otherwise.
  virtual TCursor GetDragAndDropCursor(Boolean accepted);
  // True: the operation begins at the press, without waiting for the drag threshold.
  virtual Boolean GetImmediateStart() { return false; }
  virtual void AfterDragAndDrop(Boolean accepted) {}
  virtual void BeginDragAndDrop() { FeedbackStateChanged(); }
  // Shows the feedback and the cursor of the answer.
  virtual void DragAndDrop(const TPoint& point, Boolean& accepted);
  // Hides the feedback.
  virtual void EndDragAndDrop(Boolean accepted) { SetFeedbackHidden(true); }

 private:
  friend class TcxControl;
  TcxControl* FControl;
  TcxCanvas* FCanvas;
  Boolean FFeedbackHidden = false;
  TPoint FCurMousePos{-1, -1};
  TPoint FPrevMousePos{-1, -1};
};

using TcxDragAndDropObjectClass = orv::ClassOf<TcxDragAndDropObject>;

// ---- Platform drag ----------------------------------------------------------------------------

// The drag object a control makes for the platform's drag between controls: it ends the
// control's drag and frees itself when the drag is finished.
class TcxDragControlObject : public TDragControlObject {
  ORV_CLASS(TcxDragControlObject, TDragControlObject)
 public:
  explicit TcxDragControlObject(TControl* control) : TDragControlObject(control) {}
  void Finished(TObject* target, Integer x, Integer y, bool accepted) override;
  // Accepted copy drags (the source answers IsCopyDragDrop) show the copy cursor.
  TCursor GetDragCursor(bool accepted, Integer x, Integer y) override;
};

using TcxDragControlObjectClass = orv::ClassOf<TcxDragControlObject>;

// The drag image list of the controls.
class TcxDragImageList : public TDragImageList {
  ORV_CLASS(TcxDragImageList, TDragImageList)
 public:
  using TDragImageList::TDragImageList;
};

using TcxDragImageListClass = orv::ClassOf<TcxDragImageList>;

// 0 the button was released, 1 the mouse left the drag rectangle (2 x the drag threshold around
// the cursor), 2 cancelled (Esc, capture lost, the loop ended). Pumps the messages itself.
Integer WaitForDragStart(HWND window);

// ---- Scroll bars of the control ---------------------------------------------------------------

// A scroll bar of a control. Its parameters are written to a pending record by
// TcxControl::SetScrollBarParams and applied at the end of the control's scroll-bar update.
class TcxControlScrollBar : public TcxScrollBar {
  ORV_CLASS(TcxControlScrollBar, TcxScrollBar)
 public:
  struct TData {
    Integer Min = 0;
    Integer Max = 100;
    Integer Position = 0;
    Integer PageSize = 0;
    SmallInt SmallChange = 1;
    SmallInt LargeChange = 1;
    Boolean Enabled = true;
    Boolean Visible = false;
    Boolean AllowShow = true;
    Boolean AllowHide = true;
  };

  explicit TcxControlScrollBar(TComponent* owner);
  ~TcxControlScrollBar() override;
  void WndProc(TMessage& message) override;

  // Applies the pending record to the bar.
  void ApplyParameters();
  TData& GetData() { return FData; }
  // The bar window's actual visibility (the pending one is GetData().Visible).
  Boolean GetVisible() const { return TControl::GetVisible(); }

 protected:
  // A click into the bar focuses the parent (a control decides through
  // FocusWhenChildIsClicked; another parent when it can take the focus).
  virtual void FocusParentOnClick();

 private:
  TData FData;
};

// The corner between the two bars, in the painter's size-grip colour.
class TcxSizeGrip : public TCustomControl {
  ORV_CLASS(TcxSizeGrip, TCustomControl)
 public:
  explicit TcxSizeGrip(TComponent* owner);
  ~TcxSizeGrip() override;
  void Dispatch(TMessage& message) override;
  TcxLookAndFeel* GetLookAndFeel() const { return FLookAndFeel; }

 protected:
  void Paint() override;

 private:
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues values);
  TcxLookAndFeel* FLookAndFeel;
};

// ---- The base control -------------------------------------------------------------------------

class TcxControl : public TCustomControl,
                   public IcxLookAndFeelHost,
                   public orv::ITranslationListener {
  ORV_CLASS(TcxControl, TCustomControl)
  friend class TcxCustomPopupWindow;

 public:
  explicit TcxControl(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxControl() override;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

  // ---- Canvas, look and feel ----
  // The control's canvas on its window's DC (the DC is taken again on every call; without a
  // window the canvas has none: measure with GetCanvasOrScreenCanvas).
  TcxCanvas* GetCanvas();
  // The control's canvas once the window exists (a measuring canvas made before is freed),
  // else a screen canvas made once.
  TcxCanvas* GetCanvasOrScreenCanvas();
  TcxLookAndFeel* GetLookAndFeel() const { return FLookAndFeel; }
  // Assigns the values into the control's own look and feel.
  void SetLookAndFeel(TcxLookAndFeel* value);
  virtual TcxCustomLookAndFeelPainterClass GetPainter();
  TcxLookAndFeel* GetLookAndFeelValue() override { return FLookAndFeel; }

  // ---- Appearance and bounds ----
  TcxControlBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TcxControlBorderStyle value);
  virtual Integer GetBorderSize();
  // Explicit bounds when set, else the client rectangle (the window exists) or the size.
  virtual TRect GetBounds();
  // GetBounds less the border and the visible scroll bars.
  virtual TRect GetClientBounds();
  const TRect& GetExplicitBounds() const { return FBounds; }
  void SetExplicitBounds(const TRect& value) { FBounds = value; }

  // ---- Focus, keys, cursor ----
  Boolean GetFocusOnClick() const { return FFocusOnClick; }
  void SetFocusOnClick(Boolean value) { FFocusOnClick = value; }
  TcxKeys GetKeys() const { return FKeys; }
  void SetWantedKeys(TcxKeys value) { FKeys = value; }
  void SetKeys(TcxKeys value) { SetWantedKeys(value); }
  TCursor GetDefaultCursor() const { return FDefaultCursor; }
  virtual Boolean IsFocused() { return Focused(); }
  virtual Boolean IsDesigning() const { return GetComponentState().Contains(csDesigning); }
  Boolean IsLoading() const { return GetComponentState().Contains(csLoading); }
  Boolean IsDestroying() const { return GetComponentState().Contains(csDestroying); }
  virtual Boolean CanFocusOnClick();
  virtual Boolean CanFocusOnClickAt(Integer x, Integer y) { return CanFocusOnClick(); }
  // The tab control's and filter control's name: CanFocusOnClick at a point.
  Boolean CanFocusOnClick(Integer x, Integer y) { return CanFocusOnClickAt(x, y); }
  virtual Boolean CanFocusWithParentForm();
  virtual Boolean MayFocus() { return true; }

  // ---- Popup menu ----
  // A platform TPopupMenu or a component offering IcxPopupMenuSupport; anything else is nil.
  TComponent* GetPopupMenuValue() const { return FPopupMenu; }
  void SetPopupMenu(TComponent* value);
  // The popup menu when it is a platform one.
  TPopupMenu* GetPopupMenu() override;

  // ---- Mouse capture object ----
  TObject* GetMouseCaptureObject() const { return FMouseCaptureObject; }
  // The previous object hears that it lost the capture; the control holds the mouse exactly
  // while an object is set.
  void SetMouseCaptureObject(TObject* value);
  Boolean GetMouseButtonPressed() const { return FMouseButtonPressed; }
  TPoint GetMouseDownPos() const { return FMouseDownPos; }

  // ---- Font listeners ----
  // Appends (duplicates are not checked).
  void AddFontListener(IcxControlFontListener* listener) { FFontListeners.push_back(listener); }
  // Removes the first occurrence.
  void RemoveFontListener(IcxControlFontListener* listener);
  Integer GetFontListenerCount() const { return Integer(FFontListeners.size()); }

  // ---- Invalidation (nothing while the window does not exist) ----
  void InvalidateArea(const TRect& rect, Boolean erase);
  // The editors' name for InvalidateArea.
  void InvalidateRect(const TRect& rect, Boolean erase) { InvalidateArea(rect, erase); }
  void InvalidateRegion(TcxRegion* region, Boolean erase);
  void RedrawAll();
  // Posts a mouse move at the cursor so that hot tracking is computed again.
  void RecheckMousePosition();

  // ---- Scroll bars ----
  TcxControlScrollBar* GetHScrollBar() const { return FHScrollBar; }
  TcxControlScrollBar* GetVScrollBar() const { return FVScrollBar; }
  TcxSizeGrip* GetSizeGrip() const { return FSizeGrip; }
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  Boolean IsHScrollBarVisible();
  Boolean IsVScrollBarVisible();
  // Stores the pending parameters of one bar (called from InitScrollBarsParameters): a range
  // that cannot be scrolled (min > max, page >= max - min + 1, position < min) hides the bar
  // with allowHide and disables it otherwise.
  void SetScrollBarParams(TScrollBarKind kind, Integer min, Integer max, Integer smallChange,
                          Integer pageSize, Integer position, Boolean allowShow, Boolean allowHide);
  virtual void UpdateScrollBars();
  void LockScrollBars();
  void UnlockScrollBars();
  // One line step in a direction through Scroll, then the pending paint.
  void ScrollInDirection(TcxDirection direction);
  // Moves the window's pixels inside the rectangle (the uncovered part is invalidated and
  // erased).
  void ScrollWindowArea(Integer dx, Integer dy, const TRect& rect);
  Boolean GetScrollingContent() const { return FScrollingContent; }

  // ---- Internal drag and drop ----
  TcxDragAndDropObject* GetDragAndDropObject();
  TcxDragAndDropObjectClass GetDragAndDropObjectClassValue() const { return FDragAndDropObjectClass; }
  void SetDragAndDropObjectClass(TcxDragAndDropObjectClass value) { FDragAndDropObjectClass = value; }
  TcxDragAndDropState GetDragAndDropState() const { return FDragAndDropState; }
  void SetDragAndDropState(TcxDragAndDropState value);
  virtual void BeginDragAndDrop();
  virtual void DragAndDrop(const TPoint& point, Boolean& accepted);
  virtual void EndDragAndDrop(Boolean accepted);
  // Ends a running operation once (not re-entered) and frees the object.
  void FinishDragAndDrop(Boolean accepted);
  Boolean IsInDragDetectArea(Integer x, Integer y);
  virtual Boolean IsWithinDragThreshold(Integer x, Integer y);

  // ---- Platform drag ----
  // The drag image list (made once, filled by InitDragImages), nil unless the control has drag
  // images and the list holds one.
  TDragImageList* GetDragImages() override;
  virtual Boolean IsCopyDragDrop();

  // ---- Child components ----
  virtual void AddChildComponent(TcxControlChildComponent* component);
  virtual void RemoveChildComponent(TcxControlChildComponent* component);

  // ---- Events ----
  const TNotifyEvent& GetOnFocusChanged() const { return FOnFocusChanged; }
  void SetOnFocusChanged(const TNotifyEvent& value) { FOnFocusChanged = value; }

  void TranslationChanged() override {}

  // Design time only; nothing without a form designer.
  virtual void NotifyDesignerModified();
  virtual Boolean IsInternalControl(TControl* control);
  // Whether a click into an internal child (a scroll bar) focuses the control.
  virtual Boolean FocusWhenChildIsClicked(TControl* child) { return CanFocusOnClick(); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  void Paint() override;
  void Resize() override;
  void DoContextPopup(TPoint mousePos, bool& handled) override;
  bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void DoStartDrag(TDragObject*& dragObject) override;
  void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) override;
  void DoEndDrag(TObject* target, Integer x, Integer y) override;

  // ---- New virtual operations ----
  virtual Boolean DoShowPopupMenu(TComponent* menu, Integer x, Integer y);
  virtual void AfterMouseDown(TMouseButton button, Integer x, Integer y);
  virtual void BeforeMouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {}
  virtual void BringScrollBarsToFront();
  virtual void EndMouseOperation();
  virtual TCursor GetCurrentCursor(Integer x, Integer y) { return FDefaultCursor; }
  virtual TcxMouseWheelScrollingKind GetMouseWheelScrollingKind();
  virtual void SetInternalControlsParent();
  virtual Boolean NeedsEraseBackground() { return false; }
  virtual Boolean NeedsRedrawOnResize() { return false; }
  virtual Boolean CorrectMouseDownPosOnFocus() { return true; }
  virtual void ParentBackgroundChanged() {}
  virtual void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {}
  virtual Boolean CanScrollWithoutScrollBars(TcxDirection direction) { return false; }
  virtual TRect GetHScrollBarBounds();
  virtual TRect GetSizeGripBounds();
  virtual TRect GetVScrollBarBounds();
  virtual void InitScrollBarsParameters() {}
  virtual Boolean IsPixelScrollBar(TScrollBarKind kind) { return false; }
  virtual Boolean NeedsScrollBars() { return true; }
  virtual Boolean NeedsBringScrollBarsToFront() { return true; }
  virtual void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) {}
  virtual void SetScrollBarsBounds();
  virtual void UpdateScrollBarControlsState();
  virtual Boolean CanAutoDragAtDesignTime(Integer x, Integer y, TShiftState shift) { return true; }
  virtual TcxDragAndDropObjectClass GetDragAndDropObjectClass();
  virtual void DrawDragImage(TcxCanvas* canvas, const TRect& rect) {}
  virtual TcxDragImageListClass GetDragImagesClass() { return TcxDragImageList::StaticClass(); }
  virtual TSize GetDragImagesSize() { return {0, 0}; }
  virtual Boolean HasDragImages() { return false; }
  virtual void InitDragImages(TDragImageList* dragImages);

  // ---- Notification hooks ----
  virtual void ControlColorChanged() {}
  virtual void VisibleChanged() {}
  virtual void TextChanged() {}
  virtual void BoundsChanged();
  // The current Cursor becomes the default cursor.
  virtual void CursorChanged() { FDefaultCursor = GetCursor(); }
  virtual void FocusChanged();
  // The font listeners hear of the control's font, then the control is invalidated.
  virtual void FontChanged();
  using TControl::FontChanged;  // the font's change handler stays reachable beside it
  virtual void MouseEnter(TControl* control);
  virtual void MouseLeave(TControl* control);
  virtual Boolean AllowMouseDownWithoutFocus() { return false; }
  virtual Boolean AllowAutoDragAt(Integer x, Integer y) { return FDragAndDropState == ddsNone; }
  // Pressed flag off, no capture object.
  virtual void CancelMouseOperation();
  virtual Boolean GetDesignHitTest(Integer x, Integer y, TShiftState shift);
  virtual TcxDragControlObjectClass GetDragObjectClass() { return TcxDragControlObject::StaticClass(); }
  // Whether an internal drag and drop may start at the mouse-down point.
  virtual Boolean StartDragAndDrop(const TPoint& p) { return false; }
  virtual Boolean CanBeginDrag(TDragObject* dragObject) { return true; }

  // Middle-button scrolling: a modal loop until a click, a press-drag-release or Esc.
  void RunMiddleButtonScrolling();
  void CreateScrollBars();
  void DestroyScrollBars();
  void UpdateScrollBarsPresence();
  void CalculateScrollBarParameters();

 private:
  void LookAndFeelChangeHandler(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues);
  void ScrollBarScroll(TObject* sender, TScrollCode code, Integer& position);
  void PrepareCanvas();
  Boolean HandlePopupMenuShortCut(TMessage& message);
  void UpdateScrollBarsMetrics();
  Boolean ControlFreed(TcxObjectLink* link) const;

  TcxScreenCanvas* FMeasuringCanvas = nullptr;
  TcxControlBorderStyle FBorderStyle = cxcbsNone;
  Boolean FCalculatingScrollBarsParams = false;
  TcxCanvas* FCanvas = nullptr;
  Boolean FCreatingWindow = false;
  TCursor FDefaultCursor = crDefault;
  TcxDragAndDropObject* FDragAndDropObject = nullptr;
  TcxDragAndDropObjectClass FDragAndDropObjectClass;
  TCursor FDragAndDropPrevCursor = crDefault;
  TcxDragAndDropState FDragAndDropState = ddsNone;
  TDragImageList* FDragImages = nullptr;
  Boolean FFinishingDragAndDrop = false;
  Boolean FFocusOnClick = true;
  std::vector<IcxControlFontListener*> FFontListeners;
  TcxControlScrollBar* FHScrollBar = nullptr;
  Boolean FInitialHScrollBarVisible = false;
  Boolean FInitialVScrollBarVisible = false;
  Boolean FScrollBarsParametersFrozen = false;
  TcxKeys FKeys;
  TcxLookAndFeel* FLookAndFeel = nullptr;
  Boolean FMouseButtonPressed = false;
  TObject* FMouseCaptureObject = nullptr;
  TPoint FMouseDownPos{-1, -1};
  Boolean FMouseRightButtonReleased = false;
  TComponent* FPopupMenu = nullptr;
  TScrollStyle FScrollBars = ssBoth;
  Integer FScrollBarsLockCount = 0;
  Boolean FScrollBarsUpdateNeeded = false;
  TcxSizeGrip* FSizeGrip = nullptr;
  Boolean FUpdatingScrollBars = false;
  TcxControlScrollBar* FVScrollBar = nullptr;
  Boolean FScrollingContent = false;
  Boolean FLastParentBackground = true;
  TNotifyEvent FOnFocusChanged;
  TRect FBounds;
};

// The editors' and grid's free function over any component's state.
inline Boolean IsLoading(TComponent* component) { return component->GetComponentState().Contains(csLoading); }
// Paints the pending areas of the control and its children now.
void RedrawControlNow(TWinControl* control);
// Tells the parent to invalidate itself only, then invalidates the control (erasing unless
// opaque) and, when asked, the children that are not opaque or take their parent's background.
void InvalidateControlAndChildren(TWinControl* control, Boolean invalidateSelf = true,
                                  Boolean includeChildren = true);

// ---- Child components -------------------------------------------------------------------------

// A component that belongs to a control without being a window (grid views derive from it);
// the form streams it as a child of its control.
// Initialize runs once the object is whole: after CreateForControl's construction, or when
// form streaming gives the component its control.
class TcxControlChildComponent : public TcxComponent {
  ORV_CLASS(TcxControlChildComponent, TcxComponent)
 public:
  explicit TcxControlChildComponent(TComponent* owner) : TcxComponent(owner) {}
  // With the control's owner as owner when asked, then initialized and attached to the control.
  static TcxControlChildComponent* CreateForControl(orv::ClassOf<TcxControlChildComponent> cls,
                                                    TcxControl* control, Boolean takeOwner = true);
  void BeforeDestruction() override;

  TcxControl* GetControl() const { return FControl; }
  virtual Boolean IsDestroying() const { return GetComponentState().Contains(csDestroying); }
  Boolean IsLoading() const { return GetComponentState().Contains(csLoading); }
  // Stores the control (descendants move their data).
  virtual void SetControl(TcxControl* value) { FControl = value; }

  bool HasParent() const override { return FControl != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;

 protected:
  virtual void Initialize() {}

 private:
  void InitializeOnce();
  TcxControl* FControl = nullptr;
  Boolean FInitialized = false;
};

using TcxControlChildComponentClass = orv::ClassOf<TcxControlChildComponent>;

// ==== Popup windows, drag images, size frame, drop arrow, hint window =========================
//
// Small top-level windows shown beside or above other windows: the popup placed against an
// owner rectangle (the base of every drop-down window), the drop-down window of the editors with
// the global list of open popups, semi-transparent drag images, the hatched sizing frame, the
// drop-position arrow and the hint window base.

#include "platform/controls/Forms.h"

class TcxContainerStyle;
class TcxContainerViewInfo;
class TcxBitmap;

enum TcxPopupAlignHorz : Byte { pahLeft, pahCenter, pahRight };
// Top: above the owner (vertical direction) or top edges aligned (horizontal direction); bottom:
// below the owner or bottom edges aligned.
enum TcxPopupAlignVert : Byte { pavTop, pavCenter, pavBottom };
// Horizontal: the popup opens beside the owner; vertical: above or below it.
enum TcxPopupDirection : Byte { pdHorizontal, pdVertical };
// The frame the popup draws itself: none, one line in the frame colour, one raised ring, two
// rings (a raised outer ring around the raised ring).
enum TcxPopupBorderStyle : Byte { pbsNone, pbsSingle, pbsRaised, pbsDouble };

// A borderless stay-on-top form placed beside an owner rectangle, flipped and clamped so that it
// stays inside the work area, with an optional frame. Made without owner; whoever makes it frees
// it. ShowPopup places and shows it, CloseUp hides it.
class TcxPopupWindow : public TForm {
  ORV_CLASS(TcxPopupWindow, TForm)
 public:
  using TCreateSignature = void();
  TcxPopupWindow();
  ~TcxPopupWindow() override;
  void Dispatch(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

  // ---- New virtual operations ----
  // The screen position of the popup's top-left corner for its current size.
  virtual void CalculatePosition(TPoint& position);
  // With Adjustable: the children move inside the frame and the popup fits them.
  virtual void CalculateSize();
  // Frame plus border space on a side (0 left, 1 top, 2 right, 3 bottom).
  virtual Integer GetNonClientSize(Integer side);
  // The client rectangle less the non-client size of every side.
  virtual TRect GetContentBounds();
  // 1 for a single or raised frame, 2 for a double one, 0 without.
  virtual Integer GetBorderStyleWidth();
  // The owner bounds on the screen.
  virtual TRect GetOwnerScreenBounds();
  // Takes the owner parent's font.
  virtual void InitPopupFont();
  virtual void DrawFrame();
  virtual void CloseUp();
  virtual void ShowPopup();

  Integer GetFrameWidth() { return GetNonClientSize(0) + GetNonClientSize(2); }
  Integer GetFrameHeight() { return GetNonClientSize(1) + GetNonClientSize(3); }

  // ---- Properties ----
  Boolean GetAdjustable() const { return FAdjustable; }
  void SetAdjustable(Boolean value) { FAdjustable = value; }
  TcxPopupAlignHorz GetAlignHorz() const { return FAlignHorz; }
  void SetAlignHorz(TcxPopupAlignHorz value) { FAlignHorz = value; }
  TcxPopupAlignVert GetAlignVert() const { return FAlignVert; }
  void SetAlignVert(TcxPopupAlignVert value) { FAlignVert = value; }
  Integer GetBorderSpace() const { return FBorderSpace; }
  void SetBorderSpace(Integer value) { FBorderSpace = value; }
  TcxPopupBorderStyle GetPopupBorderStyle() const { return FPopupBorderStyle; }
  // The children lose the old frame's offset (CalculateSize gives them the new one).
  void SetPopupBorderStyle(TcxPopupBorderStyle value);
  // The component canvas over the form's canvas.
  TcxCanvas* GetCanvas();
  TcxPopupDirection GetDirection() const { return FDirection; }
  void SetDirection(TcxPopupDirection value) { FDirection = value; }
  TColor GetFrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor value) { FFrameColor = value; }
  // In the owner parent's client coordinates (screen coordinates without an owner parent).
  const TRect& GetOwnerBounds() const { return FOwnerBounds; }
  void SetOwnerBounds(const TRect& value) { FOwnerBounds = value; }
  TControl* GetOwnerParent() const { return FOwnerParent; }
  void SetOwnerParent(TControl* value);
  // The window that was active when the popup activated.
  HWND GetPrevActiveWindow() const { return FPrevActiveWindow; }

  // ---- Layered window (the form's alpha blending and colour key) ----
  Boolean GetAlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(Boolean value);
  Byte GetAlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte value);
  Boolean GetTransparentColorEnabled() const { return FTransparentColor; }
  void SetTransparentColor(Boolean value);
  TColor GetTransparentColorValue() const { return FTransparentColorValue; }
  void SetTransparentColorValue(TColor value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Deactivate() override;
  void Paint() override;
  // CM_VISIBLECHANGED.
  virtual void VisibleChanged() {}
  // Moves every child by minus the current frame offset.
  void ShiftChildrenByFrame();

 private:
  void UpdateLayeredAttributes();

  Boolean FAdjustable = true;
  TcxPopupAlignHorz FAlignHorz = pahLeft;
  TcxPopupAlignVert FAlignVert = pavBottom;
  Integer FBorderSpace = 0;
  TcxPopupBorderStyle FPopupBorderStyle = pbsNone;
  TcxCanvas* FCanvas;
  TcxPopupDirection FDirection = pdVertical;
  TColor FFrameColor = clWindowText;
  TRect FOwnerBounds;
  TControl* FOwnerParent = nullptr;
  HWND FPrevActiveWindow = nullptr;
  // The offset CalculateSize gave the children (taken back by ShiftChildrenByFrame), so that
  // showing the popup again does not move them further.
  TPoint FChildrenOffset;
  Boolean FAlphaBlend = false;
  Byte FAlphaBlendValue = 255;
  Boolean FTransparentColor = false;
  TColor FTransparentColorValue = clBlack;
};

using TcxPopupWindowClass = orv::ClassOf<TcxPopupWindow>;

// ---- The drop-down window of the editors ------------------------------------------------------

// Private messages: close the popup (posted by PostCloseUp), open it again with its focus target.
constexpr UINT CM_CLOSEUPPOPUPWINDOW = 0x807D;
constexpr UINT CM_SHOWPOPUPWINDOW = 0x807E;

// A popup that belongs to an owner control (an editor), has a container style and view info of
// its own, may take the keyboard focus (then Popup runs a message loop of its own while it is
// open) and joins the global list of open popups while it is open.
class TcxCustomPopupWindow : public TcxPopupWindow {
  ORV_CLASS(TcxCustomPopupWindow, TcxPopupWindow)
 public:
  using TCreateSignature = void(TControl* ownerControl);
  explicit TcxCustomPopupWindow(TControl* ownerControl);
  void BeforeDestruction() override;
  ~TcxCustomPopupWindow() override;
  void Dispatch(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

  // ---- Opening and closing ----
  // Nothing when already open or the owner's window is not visible. With CaptureFocus and the
  // own-loop flag it returns only once the popup has closed.
  virtual void Popup(TWinControl* focusedControl);
  // Only for an open popup: leaves the list, notifies, hides, releases a capture held inside.
  void CloseUp() override;
  // Closes later (CM_CLOSEUPPOPUPWINDOW), then gives the owner its focus back.
  void PostCloseUp();
  // Whether the popup is in the open-popup list.
  Boolean IsVisible() const;
  // The owner has a window and it is visible.
  Boolean IsOwnerControlVisible();
  // A library control owning the popup hears that its focus state changed (the popup closed
  // under it when the program lost the activation).
  void NotifyOwnerFocusChanged();
  // While raised, losing the activation does not close the popup.
  void LockClosing(Boolean lock);

  // ---- Properties ----
  TControl* GetOwnerControl() const { return FOwnerControl; }
  Boolean GetCaptureFocus() const { return FCaptureFocus; }
  // On a change: the window is made again and an open popup is closed and opened again.
  void SetCaptureFocus(Boolean value);
  Boolean GetTopmostWithParent() const { return FTopmostWithParent; }
  void SetTopmostWithParent(Boolean value);
  Boolean GetOwnLoop() const { return FOwnLoop; }
  void SetOwnLoop(Boolean value) { FOwnLoop = value; }
  // Set when a click on the owner's area closed the popup and the popup consumed that click.
  Boolean GetClosedByOwnerClick() const { return FClosedByOwnerClick; }
  void SetClosedByOwnerClick(Boolean value) { FClosedByOwnerClick = value; }
  Integer GetLockCount() const { return FLockCount; }
  TWinControl* GetFocusedControl() const { return FFocusedControl; }
  // Made on first use from GetStyleClass and GetViewInfoClass (a descendant's classes are known
  // only once the object is whole).
  TcxContainerStyle* GetStyle();
  TcxContainerViewInfo* GetViewInfo();

  // ---- Events ----
  const TNotifyEvent& GetOnClosed() const { return FOnClosed; }
  void SetOnClosed(const TNotifyEvent& value) { FOnClosed = value; }
  const TNotifyEvent& GetOnClosing() const { return FOnClosing; }
  void SetOnClosing(const TNotifyEvent& value) { FOnClosing = value; }
  const TNotifyEvent& GetOnShown() const { return FOnShown; }
  void SetOnShown(const TNotifyEvent& value) { FOnShown = value; }
  const TNotifyEvent& GetOnShowing() const { return FOnShowing; }
  void SetOnShowing(const TNotifyEvent& value) { FOnShowing = value; }

  // ---- Virtual operations ----
  virtual Boolean MustFitWorkArea() { return false; }
  virtual void NotifyClosed();
  virtual void NotifyClosing();
  virtual void NotifyShown();
  virtual void NotifyShowing();
  // False: WM_ERASEBKGND is answered without erasing.
  virtual Boolean ErasesBackground() { return false; }
  // The paging, Home, End and arrow keys, and F4.
  virtual Boolean AllowsSysKey(Word key);
  virtual void CloseOnModalResult() { CloseUp(); }
  // Whether a click outside the popup that closes it is eaten instead of reaching its window.
  virtual Boolean ConsumesOutsideClick(HWND window, UINT message, const TPoint& screenPoint, TShiftState shift) {
    return false;
  }
  virtual void PopupStyleChanged(TObject* sender) {}
  // With MustFitWorkArea: the popup shrinks and moves to fit the work area at the position.
  virtual void FitToWorkArea(TPoint& position);
  virtual orv::ClassOf<TcxContainerStyle> GetStyleClass();
  virtual orv::ClassOf<TcxContainerViewInfo> GetViewInfoClass();
  // The owner rectangle is converted to the screen only when the owner is a child window.
  TRect GetOwnerScreenBounds() override;
  // The popup keeps its own font.
  void InitPopupFont() override {}
  bool Focused() override;
  bool CanFocus() override { return GetVisible(); }
  bool IsShortCut(TMessage& message) override;

 protected:
  void AdjustClientRect(TRect& rect) override;
  void CreateHandle() override;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Deactivate() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void Paint() override;
  void VisibleChanged() override;
  // CM_MOUSEENTER / CM_MOUSELEAVE with the control the mouse entered or left (the popup itself
  // when the message names none).
  virtual void MouseEnter(TControl* control) {}
  virtual void MouseLeave(TControl* control) {}

 private:
  TWinControl* ChooseFocusTarget(TWinControl* control);
  Boolean IsTopmost();
  void ShowWindowOnly();
  void RunOwnLoop();
  void Reopen();
  TCustomForm* OwnerParentForm() const;

  TControl* FOwnerControl;
  Boolean FCaptureFocus = true;
  Boolean FOwnLoop = true;
  Boolean FTopmostWithParent = false;
  Boolean FClosedByOwnerClick = false;
  Integer FLockCount = 0;
  TWinControl* FFocusedControl = nullptr;
  TcxContainerStyle* FStyle = nullptr;
  TcxContainerViewInfo* FViewInfo = nullptr;
  TNotifyEvent FOnClosed;
  TNotifyEvent FOnClosing;
  TNotifyEvent FOnShown;
  TNotifyEvent FOnShowing;
};

using TcxCustomPopupWindowClass = orv::ClassOf<TcxCustomPopupWindow>;

// Whether the control is an open popup.
Boolean IsInOpenPopupList(TControl* control);
// Used by the popup itself: adding a listed popup or removing an unlisted one is a programming
// error (EAssertionFailed).
void AddToOpenPopupList(TcxCustomPopupWindow* popup);
void RemoveFromOpenPopupList(TcxCustomPopupWindow* popup);
Integer GetOpenPopupCount();
// In opening order; the last is the top popup.
TcxCustomPopupWindow* GetOpenPopup(Integer index);
// A popup is closing (or changing its focused control).
Boolean IsPopupClosing();
// A switch nothing here turns on.
inline Boolean GetPopupHookFlag() { return false; }

// While popups are open three thread hooks watch them: a call-window hook closes a popup whose
// window is destroyed or closed, whose owner's window is hidden or moved out of sight, or that
// the program's deactivation leaves behind, and keeps the owner form's caption active; a
// get-message hook takes system keys from the top popup that does not handle them; a mouse hook
// closes the popups a click outside them concerns. They are installed with the first open popup
// and removed with the last.
Boolean ArePopupHooksInstalled();

// ---- Drag images --------------------------------------------------------------------------------

// A semi-transparent window that follows the mouse during a drag. It never takes the mouse: the
// window under it gets the clicks.
class TcxCustomDragImage : public TcxPopupWindow {
  ORV_CLASS(TcxCustomDragImage, TcxPopupWindow)
 public:
  TcxCustomDragImage();
  void Dispatch(TMessage& message) override;

  // The size of the rectangle; the hot spot keeps its place relative to the rectangle.
  void InitBounds(const TRect& rect, const TPoint& hotSpot);
  // Moves the window so that the hot spot lies at the screen point.
  void MoveTo(const TPoint& position);
  // Shown (without activation) or hidden.
  Boolean GetShowing();
  void SetShowing(Boolean value);
  // AlphaBlend set and layered windows available.
  Boolean CanUseAlphaBlend();
  TCustomForm* GetPopupParent() const { return FPopupParent; }
  void SetPopupParent(TCustomForm* value);
  TPoint GetHotSpot() const { return FHotSpot; }

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TCustomForm* FPopupParent = nullptr;
  TPoint FHotSpot;
};

// A drag image that shows a bitmap kept at the window's size; users draw into its image canvas.
class TcxDragImage : public TcxCustomDragImage {
  ORV_CLASS(TcxDragImage, TcxCustomDragImage)
 public:
  TcxDragImage();
  ~TcxDragImage() override;
  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;

  TcxBitmap* GetImage() const { return FImage; }
  // The image's canvas.
  TcxCanvas* GetImageCanvas();
  // The grid's name for the image canvas (the form's own canvas stays TCustomForm::GetCanvas).
  TcxCanvas* GetCanvas() { return GetImageCanvas(); }

 protected:
  void Paint() override;

 private:
  TcxBitmap* FImage;
};

using TcxDragImageClass = orv::ClassOf<TcxDragImage>;

// A hatched frame-shaped window that shows a sizing rectangle.
class TcxSizeFrame : public TcxCustomDragImage {
  ORV_CLASS(TcxSizeFrame, TcxCustomDragImage)
 public:
  using TCreateSignature = void(Integer frameWidth);
  explicit TcxSizeFrame(Integer frameWidth);
  ~TcxSizeFrame() override;
  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;

  // The window takes the screen rectangle's bounds; the frame follows.
  void SetFrameRect(const TRect& rect);
  Integer GetFrameWidth() const { return FFrameWidth; }
  // Set: the whole rectangle shows, not only its frame.
  Boolean GetFillSelection() const { return FFillSelection; }
  void SetFillSelection(Boolean value) { FFillSelection = value; }
  TcxRegion* GetRegion() const { return FRegion; }

 protected:
  void Paint() override;

 private:
  void UpdateWindowRegion();

  Boolean FFillSelection = false;
  Integer FFrameWidth;
  TcxRegion* FRegion;
  HBITMAP FPatternBitmap = nullptr;
  HBRUSH FPatternBrush = nullptr;
};

// The small arrow window that marks a drop position.
class TcxDragAndDropArrow : public TcxDragImage {
  ORV_CLASS(TcxDragAndDropArrow, TcxDragImage)
 public:
  using TCreateSignature = void(Boolean transparent);
  explicit TcxDragAndDropArrow(Boolean transparent);

  // The colour key of a transparent arrow.
  virtual TColor GetTransparentColor() { return TColor(0xFF00FF); }
  // Places and paints the arrow beside the target rectangle (in the site's client coordinates,
  // or the screen's without a site); the caller shows it with SetShowing.
  void ShowAt(TControl* site, const TRect& targetRect, TcxArrowPlace place, const TRect& boundingRect);
  Boolean GetTransparent() const { return FTransparent; }

 private:
  Boolean UsesColorKey();
  Boolean FTransparent;
};

using TcxDragAndDropArrowClass = orv::ClassOf<TcxDragAndDropArrow>;

// ---- Hint window ------------------------------------------------------------------------------

// The animation of a hint as it shows.
enum TcxHintAnimate : Byte {
  cxhaSlideFromLeft, cxhaSlideFromRight, cxhaSlideDownward, cxhaSlideUpward, cxhaSlideFromCenter,
  cxhaHide, cxhaActivate, cxhaFadeIn, cxhaAuto, cxhaNone
};

// Shows the hint in the window only when a monitor exists for the rectangle's top-left point.
void ShowHintWindow(THintWindow* window, const TRect& rect, const AnsiString& text);

// The hint window base: animated showing, kept inside the work area, topmost without activation.
class TcxBaseHintWindow : public THintWindow {
  ORV_CLASS(TcxBaseHintWindow, THintWindow)
 public:
  explicit TcxBaseHintWindow(TComponent* owner);
  void Dispatch(TMessage& message) override;
  // Keeps the window inside the work area at its top-left corner.
  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
  void ActivateHint(TRect rect, const AnsiString& hint) override;

  TcxHintAnimate GetAnimationStyle() const { return FAnimationStyle; }
  void SetAnimationStyle(TcxHintAnimate value) { FAnimationStyle = value; }
  // Milliseconds.
  Cardinal GetAnimationDelay() const { return FAnimationDelay; }
  void SetAnimationDelay(Cardinal value) { FAnimationDelay = value; }
  // Off: no border (unless in standard-hint mode). Takes effect with the next window.
  Boolean GetHasBorder() const { return FBorder; }
  void SetHasBorder(Boolean value) { FBorder = value; }
  Boolean GetNeedEraseBackground() const { return FNeedEraseBackground; }
  void SetNeedEraseBackground(Boolean value) { FNeedEraseBackground = value; }
  // The platform's hint window does all (window parameters, placement, showing).
  Boolean GetStandardHint() const { return FStandardHint; }
  void SetStandardHint(Boolean value) { FStandardHint = value; }
  // The style the next showing uses: none, or the fade or slide the system settings choose.
  TcxHintAnimate GetEffectiveAnimationStyle();

  // ---- New virtual operations ----
  virtual void ResetWindowRegion();
  virtual void PrepareShow() {}
  virtual void ShowNoActivate();

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TcxHintAnimate FAnimationStyle = cxhaAuto;
  Cardinal FAnimationDelay = 100;
  Boolean FBorder = true;
  Boolean FNeedEraseBackground = false;
  Boolean FStandardHint = false;
};

// ==== Message dialog ============================================================================

#include "platform/controls/Dialogs.h"

// The platform's message dialog in the middle of the screen, with the caption when one is given
// (else the dialog type's own) and the help context; shown modally and freed. Gives the modal
// result.
Integer ShowMessageDialogCentered(const AnsiString& text, const AnsiString& caption, TMsgDlgType dialogType,
                                  TMsgDlgButtons buttons, LongInt helpContext);
