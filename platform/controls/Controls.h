// Controls of the class library: TControl (bounds, alignment, anchors, constraints, visibility,
// colour and font with their parent links, caption through the text messages, mouse handling
// and dragging hooks), TWinControl (the lazy window handle, focus, keys, tab order, children and
// their alignment, painting of graphic children), TGraphicControl and TCustomControl (a canvas
// and Paint).
//
// Messages: every control has a window procedure as a method (WindowProc, by default WndProc),
// which hands the message to Dispatch. Each class's Dispatch handles its own messages and passes
// everything else, and the "inherited" step of its handlers, to its parent class's Dispatch;
// what no class handles reaches DefaultHandler (for a windowed control the window's original
// procedure). Perform sends a message straight to WindowProc.
//
// The class library's own messages (CM_...) tell controls of changes (enabled, visible, font,
// colour, text, parent changes, mouse enter and leave, dialog keys and characters, showing); the
// control-notification messages (CN_... = CN_BASE + the message) are what a parent reflects to
// the child control a notification is about (WM_COMMAND, WM_DRAWITEM, WM_CTLCOLOR..., scroll
// messages) and what the application sends a focused control before a key message is
// translated (CN_KEYDOWN, CN_CHAR ...).
//
// Window handles are made when needed: a control whose top-level parent form is showing gets its
// window when it becomes showing (or when its Handle is asked for); a child without a parent
// window cannot have one (EInvalidOperation).
#pragma once

#include "platform/controls/ActnList.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/Menus.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/UtilWindow.h"

class TControl;
class TWinControl;
class TCustomForm;
class TDragObject;
class TDragImageList;

// ---- The class library's messages -------------------------------------------------------------

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSKEYUP = CN_BASE + WM_SYSKEYUP;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// ---- Types ------------------------------------------------------------------------------------

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using TAlignSet = orv::Set<TAlign>;
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = orv::Set<TAnchorKind>;

enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
  csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
  csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents,
  csNeedsBorderPaint, csParentBackground
};
using TControlStyle = orv::Set<TControlStyleItem>;

enum TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
  csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking, csAligning, csRecreating
};
using TControlState = orv::Set<TControlStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = orv::Set<TShiftStateItem>;

using TCursor = SmallInt;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;

enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragKind { dkDrag, dkDock };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
using TBorderWidth = Integer;
using TCaption = AnsiString;
using TTabOrder = SmallInt;
using THelpContext = Integer;

enum TLeftRight { lrLeft, lrRight };

using TModalResult = Integer;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

using TKeyEvent = orv::Event<void(TObject* sender, Word& key, TShiftState shift)>;
using TKeyPressEvent = orv::Event<void(TObject* sender, char& key)>;
using TMouseEvent =
    orv::Event<void(TObject* sender, TMouseButton button, TShiftState shift, Integer x, Integer y)>;
using TMouseMoveEvent = orv::Event<void(TObject* sender, TShiftState shift, Integer x, Integer y)>;
using TMouseWheelEvent = orv::Event<void(TObject* sender, TShiftState shift, Integer wheelDelta,
                                         TPoint mousePos, bool& handled)>;
using TMouseWheelUpDownEvent =
    orv::Event<void(TObject* sender, TShiftState shift, TPoint mousePos, bool& handled)>;
using TContextPopupEvent = orv::Event<void(TObject* sender, TPoint mousePos, bool& handled)>;
using TDragOverEvent = orv::Event<void(TObject* sender, TObject* source, Integer x, Integer y,
                                       TDragState state, bool& accept)>;
using TDragDropEvent = orv::Event<void(TObject* sender, TObject* source, Integer x, Integer y)>;
using TStartDragEvent = orv::Event<void(TObject* sender, TDragObject*& dragObject)>;
using TEndDragEvent = orv::Event<void(TObject* sender, TObject* target, Integer x, Integer y)>;
using TCanResizeEvent =
    orv::Event<void(TObject* sender, Integer& newWidth, Integer& newHeight, bool& resize)>;
using TConstrainedResizeEvent = orv::Event<void(TObject* sender, Integer& minWidth, Integer& minHeight,
                                                Integer& maxWidth, Integer& maxHeight)>;

// Modifier state from the MK_ flags of a mouse message, from the Alt bit of a key message's key
// data, and from the keyboard.
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState KeyboardStateToShiftState();

// ---- Dragging ---------------------------------------------------------------------------------

// What travels while a control is dragged: made by OnStartDrag (the maker owns it and usually
// frees it in Finished), or a TDragControlObject the drag makes and frees itself.
class TDragObject : public TObject {
  ORV_CLASS(TDragObject, TObject)
 public:
  TDragObject() = default;
  // The drag ended over `target` (nullptr: nowhere, or refused) at its client point.
  virtual void Finished(TObject* target, Integer x, Integer y, bool accepted) {}
  // The cursor while the drag is over a control that accepts it or not.
  virtual TCursor GetDragCursor(bool accepted, Integer x, Integer y);
  // The images that follow the mouse while dragging (nullptr: none). The drag shows them over
  // targets whose style has csDisplayDragImage, or everywhere with GetAlwaysShowDragImages.
  virtual TDragImageList* GetDragImages() { return nullptr; }
  virtual bool GetAlwaysShowDragImages() { return false; }
  // Hide and show the images around painting or scrolling under them.
  virtual void HideDragImage();
  virtual void ShowDragImage();
  TControl* GetDragTarget() const { return FDragTarget; }
  void SetDragTarget(TControl* value) { FDragTarget = value; }
  TPoint GetDragPos() const { return FDragPos; }
  void SetDragPos(TPoint value) { FDragPos = value; }
  bool GetCancelling() const { return FCancelling; }
  void SetCancelling(bool value) { FCancelling = value; }

 private:
  TControl* FDragTarget = nullptr;
  TPoint FDragPos;
  bool FCancelling = false;
};

// A drag object that carries a control; its Finished ends the control's drag (OnEndDrag).
class TBaseDragControlObject : public TDragObject {
  ORV_CLASS(TBaseDragControlObject, TDragObject)
 public:
  using TCreateSignature = void(TControl* control);
  explicit TBaseDragControlObject(TControl* control) : FControl(control) {}
  TControl* GetControl() const { return FControl; }
  void Finished(TObject* target, Integer x, Integer y, bool accepted) override;
  // The control's drag images.
  TDragImageList* GetDragImages() override;

 protected:
  virtual void EndDrag(TObject* target, Integer x, Integer y);

 private:
  TControl* FControl;
};

class TDragControlObject : public TBaseDragControlObject {
  ORV_CLASS(TDragControlObject, TBaseDragControlObject)
 public:
  explicit TDragControlObject(TControl* control) : TBaseDragControlObject(control) {}
  // The control's DragCursor when accepted, crNoDrop otherwise.
  TCursor GetDragCursor(bool accepted, Integer x, Integer y) override;
};

// A drag that docks its control (a control whose DragKind is dkDock): the rectangle, in screen
// coordinates, the control would take where it is dropped (the dock site under the mouse sets it
// in DockOver; away from every site it is the control's own bounds moved with the mouse).
class TDragDockObject : public TBaseDragControlObject {
  ORV_CLASS(TDragDockObject, TBaseDragControlObject)
 public:
  explicit TDragDockObject(TControl* control) : TBaseDragControlObject(control) {}
  TRect GetDockRect() const { return FDockRect; }
  void SetDockRect(TRect value) { FDockRect = value; }
  // Dropped away from every dock site: the control floats.
  bool GetFloating() const { return FFloating; }
  void SetFloating(bool value) { FFloating = value; }
  TCursor GetDragCursor(bool accepted, Integer x, Integer y) override { return crDefault; }

 protected:
  // A dock drag ends the control's docking (OnEndDock), not a plain drag.
  void EndDrag(TObject* target, Integer x, Integer y) override;

 private:
  TRect FDockRect;
  bool FFloating = false;
};

// What a docked client reports to its dock site (CM_DOCKNOTIFICATION: WParam the client, LParam
// this record): the message the client has just handled.
struct TDockNotifyRec {
  UINT ClientMsg = 0;
  WPARAM MsgWParam = 0;
  LPARAM MsgLParam = 0;
};

using TDockOverEvent = orv::Event<void(TObject* sender, TDragDockObject* source, Integer x, Integer y,
                                       TDragState state, bool& accept)>;
using TDockDropEvent = orv::Event<void(TObject* sender, TDragDockObject* source, Integer x, Integer y)>;
using TUnDockEvent = orv::Event<void(TObject* sender, TControl* client, TWinControl* newTarget, bool& allow)>;
using TGetSiteInfoEvent = orv::Event<void(TObject* sender, TControl* dockClient, TRect& influenceRect,
                                          TPoint mousePos, bool& canDock)>;
// A dock drag starts: the handler may supply the drag object (it keeps it), else the drag makes one.
using TStartDockEvent = orv::Event<void(TObject* sender, TDragDockObject*& dragObject)>;
// A dock drag ends: the site docked into (nullptr when cancelled or floated), the drop point in
// the site's client coordinates.
using TEndDockEvent = orv::Event<void(TObject* sender, TObject* target, Integer x, Integer y)>;

// ---- Window creation parameters ---------------------------------------------------------------

struct TCreateParams {
  AnsiString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  Integer X = 0;
  Integer Y = 0;
  Integer Width = 0;
  Integer Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASS WindowClass;
  AnsiString WinClassName;
};

// ---- Size constraints -------------------------------------------------------------------------

using TConstraintSize = Integer;

class TSizeConstraints : public TPersistent {
  ORV_CLASS(TSizeConstraints, TPersistent)
 public:
  using TCreateSignature = void(TControl* control);
  explicit TSizeConstraints(TControl* control) : FControl(control) {}

  void Assign(TPersistent* source) override;
  TConstraintSize GetMaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(TConstraintSize value);
  TConstraintSize GetMaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(TConstraintSize value);
  TConstraintSize GetMinHeight() const { return FMinHeight; }
  void SetMinHeight(TConstraintSize value);
  TConstraintSize GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(TConstraintSize value);
  TControl* GetControl() const { return FControl; }
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }

 protected:
  virtual void Change();

 private:
  TControl* FControl;
  TConstraintSize FMaxHeight = 0;
  TConstraintSize FMaxWidth = 0;
  TConstraintSize FMinHeight = 0;
  TConstraintSize FMinWidth = 0;
  TNotifyEvent FOnChange;
};

// ---- Action link of a control -----------------------------------------------------------------

class TControlActionLink : public TActionLink {
  ORV_CLASS(TControlActionLink, TActionLink)
 public:
  explicit TControlActionLink(TObject* client);

  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  bool IsHelpContextLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const AnsiString& value) override;
  void SetEnabled(bool value) override;
  void SetHint(const AnsiString& value) override;
  void SetVisible(bool value) override;
  void SetHelpContext(Integer value) override;
  void SetOnExecute(TNotifyEvent value) override;

 protected:
  void AssignClient(TObject* client) override;
  TControl* FClient = nullptr;
};

using TControlActionLinkClass = orv::ClassOf<TControlActionLink>;

// ---- TControl ---------------------------------------------------------------------------------

class TControl : public TComponent {
  ORV_CLASS(TControl, TComponent)
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  // ---- Messages ----
  // Sends a message straight to WindowProc; answers its Result.
  //
  // A control freed while it handles one of its own messages (a click whose handler makes the
  // owner rebuild its controls) cannot go at once: its handler still runs on it. It leaves its
  // owner and parent (its window goes) at once, and is destroyed when the outermost of its own
  // messages returns; until then it counts as destroying.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Whether a Free waits for the control's own message handling to return.
  bool IsFreeDeferred() const { return FFreeDeferred; }
  virtual void WndProc(TMessage& message);
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);
  TWndMethod GetWindowProc() const { return FWindowProc; }
  void SetWindowProc(TWndMethod value) { FWindowProc = value; }

  // ---- Parent and position ----
  TWinControl* GetParent() const { return FParent; }
  virtual void SetParent(TWinControl* value);
  Integer GetLeft() const { return FLeft; }
  void SetLeft(Integer value) { SetBounds(value, FTop, FWidth, FHeight); }
  Integer GetTop() const { return FTop; }
  void SetTop(Integer value) { SetBounds(FLeft, value, FWidth, FHeight); }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer value) { SetBounds(FLeft, FTop, value, FHeight); }
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer value) { SetBounds(FLeft, FTop, FWidth, value); }
  // Changes all four at once; constraints, CanResize and AutoSize may change the size asked for.
  virtual void SetBounds(Integer left, Integer top, Integer width, Integer height);
  TRect GetBoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect GetClientRect();
  Integer GetClientWidth() { return GetClientRect().Right; }
  void SetClientWidth(Integer value);
  Integer GetClientHeight() { return GetClientRect().Bottom; }
  void SetClientHeight(Integer value);
  void SetClientSize(TPoint value);
  // The screen point of the client area's top-left corner.
  virtual TPoint GetClientOrigin();
  TPoint ClientToScreen(TPoint point);
  TPoint ScreenToClient(TPoint point);
  TPoint ClientToParent(TPoint point, TWinControl* parent = nullptr);

  TAlign GetAlign() const { return FAlign; }
  virtual void SetAlign(TAlign value);
  TAnchors GetAnchors() const { return FAnchors; }
  void SetAnchors(TAnchors value);
  TSizeConstraints* GetConstraints() const { return FConstraints; }
  void SetConstraints(TSizeConstraints* value) { FConstraints->Assign(value); }
  bool GetAutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool value);

  // ---- Appearance ----
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  void Show();
  void Hide() { SetVisible(false); }
  bool GetEnabled() const { return FEnabled; }
  virtual void SetEnabled(bool value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  bool GetParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  TFont* GetFont() const { return FFont; }
  void SetFont(TFont* value) { FFont->Assign(value); }
  bool GetParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor value);
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& value) { FHint = value; }
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  bool GetParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool value);
  // The control's own popup menu (nullptr: none).
  virtual TPopupMenu* GetPopupMenu();
  void SetPopupMenu(TPopupMenu* value);
  THelpContext GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(THelpContext value) { FHelpContext = value; }

  // ---- Text (through WM_GETTEXT / WM_SETTEXT; a change sends CM_TEXTCHANGED) ----
  AnsiString GetText();
  void SetText(const AnsiString& value);
  AnsiString GetCaption() { return GetText(); }
  void SetCaption(const AnsiString& value) { SetText(value); }
  Integer GetTextLen();
  Integer GetTextBuf(char* buffer, Integer bufSize);
  void SetTextBuf(const char* buffer);

  // ---- Style and state ----
  TControlStyle GetControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle value) { FControlStyle = value; }
  TControlState GetControlState() const { return FControlState; }
  void SetControlState(TControlState value) { FControlState = value; }
  bool GetMouseCapture();
  void SetMouseCapture(bool value);

  // ---- Painting ----
  virtual void Invalidate();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  virtual void Update();
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  // A DC on the control's client area (graphic controls: the parent's DC moved and clipped).
  virtual HDC GetDeviceContext(HWND& windowHandle);

  // ---- Actions ----
  TBasicAction* GetAction() const;
  void SetAction(TBasicAction* value);
  TControlActionLink* GetActionLink() const { return FActionLink; }
  // Updates the action (the application does it for visible action clients when idle).
  virtual void InitiateAction();

  // ---- Dragging ----
  TDragMode GetDragMode() const { return FDragMode; }
  virtual void SetDragMode(TDragMode value) { FDragMode = value; }
  TCursor GetDragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor value) { FDragCursor = value; }
  TDragKind GetDragKind() const { return FDragKind; }
  void SetDragKind(TDragKind value) { FDragKind = value; }
  // ---- Docking ----
  // The dock site the control is docked into (nullptr: not docked).
  TWinControl* GetHostDockSite() const { return FHostDockSite; }
  // Docks the control into `newDockSite` as if dropped there (nullptr: it floats, leaving its
  // site); false when the current site refuses to let it go.
  bool ManualDock(TWinControl* newDockSite, TControl* dropControl = nullptr, TAlign controlSide = alNone);
  // Moves the control into `newDockSite` (nullptr: floats) at `dockRect` (screen coordinates);
  // the old site, if another, loses it as a client.
  virtual void Dock(TWinControl* newDockSite, const TRect& dockRect);
  // Starts dragging now, or once the mouse has moved `threshold` pixels (-1: the system's).
  void BeginDrag(bool immediate, Integer threshold = -1);
  void EndDrag(bool drop);
  bool Dragging() const;
  // The images a drag of this control shows (nullptr: none).
  virtual TDragImageList* GetDragImages() { return nullptr; }
  virtual void DragDrop(TObject* source, Integer x, Integer y);

  // ---- Scaling ----
  void ScaleBy(Integer m, Integer d) { ChangeScale(m, d); }

  // ---- Streaming protocol ----
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void SetName(const AnsiString& newName) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  // While a form description sets the control's properties (csReadingState), its parent links
  // wait; afterwards the parent's colour, font and hint flags reach it.
  void ReadState(TReader* reader) override;

  // ---- Events ----
  TNotifyEvent GetOnClick() const { return FOnClick; }
  void SetOnClick(TNotifyEvent value) { FOnClick = value; }
  TNotifyEvent GetOnDblClick() const { return FOnDblClick; }
  void SetOnDblClick(TNotifyEvent value) { FOnDblClick = value; }
  TMouseEvent GetOnMouseDown() const { return FOnMouseDown; }
  void SetOnMouseDown(TMouseEvent value) { FOnMouseDown = value; }
  TMouseMoveEvent GetOnMouseMove() const { return FOnMouseMove; }
  void SetOnMouseMove(TMouseMoveEvent value) { FOnMouseMove = value; }
  TMouseEvent GetOnMouseUp() const { return FOnMouseUp; }
  void SetOnMouseUp(TMouseEvent value) { FOnMouseUp = value; }
  TMouseWheelEvent GetOnMouseWheel() const { return FOnMouseWheel; }
  void SetOnMouseWheel(TMouseWheelEvent value) { FOnMouseWheel = value; }
  TMouseWheelUpDownEvent GetOnMouseWheelDown() const { return FOnMouseWheelDown; }
  void SetOnMouseWheelDown(TMouseWheelUpDownEvent value) { FOnMouseWheelDown = value; }
  TMouseWheelUpDownEvent GetOnMouseWheelUp() const { return FOnMouseWheelUp; }
  void SetOnMouseWheelUp(TMouseWheelUpDownEvent value) { FOnMouseWheelUp = value; }
  TNotifyEvent GetOnMouseEnter() const { return FOnMouseEnter; }
  void SetOnMouseEnter(TNotifyEvent value) { FOnMouseEnter = value; }
  TNotifyEvent GetOnMouseLeave() const { return FOnMouseLeave; }
  void SetOnMouseLeave(TNotifyEvent value) { FOnMouseLeave = value; }
  TNotifyEvent GetOnResize() const { return FOnResize; }
  void SetOnResize(TNotifyEvent value) { FOnResize = value; }
  TCanResizeEvent GetOnCanResize() const { return FOnCanResize; }
  void SetOnCanResize(TCanResizeEvent value) { FOnCanResize = value; }
  TConstrainedResizeEvent GetOnConstrainedResize() const { return FOnConstrainedResize; }
  void SetOnConstrainedResize(TConstrainedResizeEvent value) { FOnConstrainedResize = value; }
  TContextPopupEvent GetOnContextPopup() const { return FOnContextPopup; }
  void SetOnContextPopup(TContextPopupEvent value) { FOnContextPopup = value; }
  TDragOverEvent GetOnDragOver() const { return FOnDragOver; }
  void SetOnDragOver(TDragOverEvent value) { FOnDragOver = value; }
  TDragDropEvent GetOnDragDrop() const { return FOnDragDrop; }
  void SetOnDragDrop(TDragDropEvent value) { FOnDragDrop = value; }
  TStartDragEvent GetOnStartDrag() const { return FOnStartDrag; }
  void SetOnStartDrag(TStartDragEvent value) { FOnStartDrag = value; }
  TEndDragEvent GetOnEndDrag() const { return FOnEndDrag; }
  void SetOnEndDrag(TEndDragEvent value) { FOnEndDrag = value; }
  TStartDockEvent GetOnStartDock() const { return FOnStartDock; }
  void SetOnStartDock(TStartDockEvent value) { FOnStartDock = value; }
  TEndDockEvent GetOnEndDock() const { return FOnEndDock; }
  void SetOnEndDock(TEndDockEvent value) { FOnEndDock = value; }

  // For the parent's alignment and painting.
  void UpdateAnchorRules();
  void InvalidateControl(bool isVisible, bool isOpaque);

 protected:
  // ---- Overridable behaviour ----
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y);
  virtual void MouseMove(TShiftState shift, Integer x, Integer y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y);
  virtual bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos);
  virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
  virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
  virtual void DoContextPopup(TPoint mousePos, bool& handled);
  virtual void Resize();
  virtual bool CanResize(Integer& newWidth, Integer& newHeight);
  virtual bool CanAutoSize(Integer& newWidth, Integer& newHeight) { return true; }
  virtual void ConstrainedResize(Integer& minWidth, Integer& minHeight, Integer& maxWidth,
                                 Integer& maxHeight);
  virtual void AdjustSize();
  virtual void RequestAlign();
  virtual void ChangeScale(Integer m, Integer d);
  virtual void Changed();
  virtual void VisibleChanging() {}
  virtual void SetZOrder(bool topMost);
  virtual void DoStartDrag(TDragObject*& dragObject);
  virtual void DoEndDrag(TObject* target, Integer x, Integer y);
  virtual void DoStartDock(TDragDockObject*& dragObject);
  virtual void DoEndDock(TObject* target, Integer x, Integer y);
  friend class TBaseDragControlObject;
  friend class TDragDockObject;
  friend void DragTo(TPoint pos);
  virtual void DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept);
  virtual void ActionChange(TObject* sender, bool checkDefaults);
  virtual TControlActionLinkClass GetActionLinkClass();
  virtual void ConstraintsChanged(TObject* sender) { AdjustSize(); }
  virtual void FontChanged(TObject* sender);
  virtual TPopupMenu* GetPopupMenuComponent() const { return FPopupMenu; }

  bool DeferFree() override;
  // Every message the control handles runs between these two; the last leave frees a control
  // whose Free was deferred.
  void EnterDispatch() { ++FDispatchDepth; }
  void LeaveDispatch();
  bool CheckNewSize(Integer& newWidth, Integer& newHeight);
  void SendCancelMode(TControl* sender);
  void DoActionChange(TObject* sender);
  bool IsVisibleInParents() const;
  void DoMouseDown(TMessage& message, TMouseButton button, TShiftState shift);
  void DoMouseUp(TMessage& message, TMouseButton button);

  // ---- Message handlers ----
  void WMLButtonDown(TMessage& message);
  void WMLButtonDblClk(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMRButtonDown(TMessage& message);
  void WMRButtonUp(TMessage& message);
  void WMMButtonDown(TMessage& message);
  void WMMButtonUp(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMMouseWheel(TMessage& message);
  void WMContextMenu(TMessage& message);
  void WMWindowPosChanged(TMessage& message);
  void CMParentColorChanged(TMessage& message);
  void CMParentFontChanged(TMessage& message);
  void CMParentShowHintChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);

  TWinControl* FParent = nullptr;
  Integer FLeft = 0;
  Integer FTop = 0;
  Integer FWidth = 0;
  Integer FHeight = 0;
  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState FControlState;
  TColor FColor = clWindow;
  TFont* FFont;
  AnsiString FText;
  TPoint FAnchorRules;
  TPoint FOriginalParentSize;
  bool FAnchorMove = false;

 private:
  friend class TWinControl;
  friend class TControlActionLink;

  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TSizeConstraints* FConstraints;
  bool FAutoSize = false;
  bool FVisible = true;
  bool FEnabled = true;
  bool FParentColor = true;
  bool FParentFont = true;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TCursor FCursor = crDefault;
  AnsiString FHint;
  THelpContext FHelpContext = 0;
  TPopupMenu* FPopupMenu = nullptr;
  TDragMode FDragMode = dmManual;
  TCursor FDragCursor = crDrag;
  TDragKind FDragKind = dkDrag;
  TWinControl* FHostDockSite = nullptr;
  TControlActionLink* FActionLink = nullptr;
  TWndMethod FWindowProc;
  Integer FFontHeight = 0;
  Integer FDispatchDepth = 0;
  bool FFreeDeferred = false;
  bool FFreeing = false;

  TNotifyEvent FOnClick;
  TNotifyEvent FOnDblClick;
  TMouseEvent FOnMouseDown;
  TMouseMoveEvent FOnMouseMove;
  TMouseEvent FOnMouseUp;
  TMouseWheelEvent FOnMouseWheel;
  TMouseWheelUpDownEvent FOnMouseWheelDown;
  TMouseWheelUpDownEvent FOnMouseWheelUp;
  TNotifyEvent FOnMouseEnter;
  TNotifyEvent FOnMouseLeave;
  TNotifyEvent FOnResize;
  TCanResizeEvent FOnCanResize;
  TConstrainedResizeEvent FOnConstrainedResize;
  TContextPopupEvent FOnContextPopup;
  TDragOverEvent FOnDragOver;
  TDragDropEvent FOnDragDrop;
  TStartDragEvent FOnStartDrag;
  TEndDragEvent FOnEndDrag;
  TStartDockEvent FOnStartDock;
  TEndDockEvent FOnEndDock;
};

using TControlClass = orv::ClassOf<TControl>;

// ---- TWinControl ------------------------------------------------------------------------------

class TWinControl : public TControl {
  ORV_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void WndProc(TMessage& message) override;

  // ---- Docking ----
  // A dock site takes controls dragged with DragKind dkDock (or docked by ManualDock).
  bool GetDockSite() const { return FDockSite; }
  void SetDockSite(bool value) { FDockSite = value; }
  Integer GetDockClientCount() const;
  TControl* GetDockClients(Integer index) const;
  // A dock drag over the site: the dock rect defaults to the site's client area; OnDockOver may
  // refuse.
  virtual void DockOver(TDragDockObject* source, Integer x, Integer y, TDragState state, bool& accept);
  // A dock drag dropped here: the control docks into the dock rect, then OnDockDrop.
  virtual void DockDrop(TDragDockObject* source, Integer x, Integer y);
  // Where a client may dock: the site's screen rectangle widened by a few pixels, and whether it
  // may at all (OnGetSiteInfo decides last).
  virtual void GetSiteInfo(TControl* client, TRect& influenceRect, TPoint mousePos, bool& canDock);
  // A client is leaving for `newTarget` (nullptr: floating): OnUnDock may keep it.
  virtual bool DoUnDock(TWinControl* newTarget, TControl* client);
  // Makes the client a child placed at `dockRect` (screen coordinates).
  virtual void DoAddDockClient(TControl* client, const TRect& dockRect);
  // The client has left (or is being destroyed).
  virtual void DoRemoveDockClient(TControl* client) {}
  TDockOverEvent GetOnDockOver() const { return FOnDockOver; }
  void SetOnDockOver(TDockOverEvent value) { FOnDockOver = value; }
  TDockDropEvent GetOnDockDrop() const { return FOnDockDrop; }
  void SetOnDockDrop(TDockDropEvent value) { FOnDockDrop = value; }
  TUnDockEvent GetOnUnDock() const { return FOnUnDock; }
  void SetOnUnDock(TUnDockEvent value) { FOnUnDock = value; }
  TGetSiteInfoEvent GetOnGetSiteInfo() const { return FOnGetSiteInfo; }
  void SetOnGetSiteInfo(TGetSiteInfoEvent value) { FOnGetSiteInfo = value; }

  // ---- Window handle ----
  // The window, made (with the parents' windows) when it does not exist yet.
  HWND GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // Destroys the window and makes a new one with the current parameters (if it had one).
  void RecreateWnd();
  HWND GetParentWindow() const { return FParentWindow; }
  // A window that is no control of ours becomes the parent of this control's window.
  void SetParentWindow(HWND value);
  // The procedure the window had before the control took it over.
  WNDPROC GetDefWndProc() const { return FDefWndProc; }
  bool GetShowing() const { return FShowing; }

  // ---- Children ----
  Integer GetControlCount() const;
  // Graphic controls first, then windowed ones, each in z-order from the bottom.
  TControl* GetControl(Integer index) const;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(TControl* control) const;
  // The visible child at a client point (topmost first); windowed children only when asked.
  TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false);
  TControl* FindChildControl(const AnsiString& controlName) const;
  // Sends the message to every child until one answers non-zero.
  void Broadcast(TMessage& message);
  void NotifyControls(UINT msg);
  // Makes `control` (a child) visible among its siblings; a page control turns to its page.
  virtual void ShowControl(TControl* control);
  void DisableAlign();
  void EnableAlign();
  void Realign();

  // ---- Focus and tab order ----
  virtual bool CanFocus();
  virtual bool Focused();
  virtual void SetFocus();
  TTabOrder GetTabOrder() const;
  void SetTabOrder(TTabOrder value);
  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool value);
  // Every windowed descendant in tab order (depth first).
  virtual void GetTabOrderList(TList* list);
  TWinControl* FindNextControl(TWinControl* curControl, bool goForward, bool checkTabStop,
                               bool checkParent);
  void SelectNext(TWinControl* curControl, bool goForward, bool checkTabStop);
  void SelectFirst();

  // ---- Appearance ----
  TBrush* GetBrush() const { return FBrush; }
  bool GetDoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }
  bool GetParentBackground() const { return FControlStyle.Contains(csParentBackground); }
  virtual void SetParentBackground(bool value);
  TBorderWidth GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(TBorderWidth value);
  void Invalidate() override;
  void Repaint() override;
  void Update() override;
  TRect GetClientRect() override;
  TPoint GetClientOrigin() override;
  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
  HDC GetDeviceContext(HWND& windowHandle) override;
  // Paints the control and its children into a DC at (x, y).
  void PaintTo(HDC dc, Integer x, Integer y);

  // ---- Streaming protocol ----
  // The child controls that `root` owns, in the order of GetControl.
  void GetChildren(TGetChildProc proc, TComponent* root) override;

  // ---- Events ----
  TNotifyEvent GetOnEnter() const { return FOnEnter; }
  void SetOnEnter(TNotifyEvent value) { FOnEnter = value; }
  TNotifyEvent GetOnExit() const { return FOnExit; }
  void SetOnExit(TNotifyEvent value) { FOnExit = value; }
  TKeyEvent GetOnKeyDown() const { return FOnKeyDown; }
  void SetOnKeyDown(TKeyEvent value) { FOnKeyDown = value; }
  TKeyPressEvent GetOnKeyPress() const { return FOnKeyPress; }
  void SetOnKeyPress(TKeyPressEvent value) { FOnKeyPress = value; }
  TKeyEvent GetOnKeyUp() const { return FOnKeyUp; }
  void SetOnKeyUp(TKeyEvent value) { FOnKeyUp = value; }

  // The window procedure of the whole class library: catches what a handler raises and hands it
  // to the application.
  void MainWndProc(TMessage& message);
  // The showing state follows the parents' (creating the window when it becomes showing).
  void UpdateControlState();
  void PaintControls(HDC dc, TControl* first);

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void CreateHandle();
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void DestroyHandle();
  // Makes the window of a class that already exists (a standard control) ours: the class's
  // procedure becomes the default handler.
  void CreateSubClass(TCreateParams& params, const char* controlClassName);
  virtual void AlignControls(TControl* control, TRect& rect);
  virtual void AdjustClientRect(TRect& rect);
  void AlignControl(TControl* control);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(Word& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void KeyUp(Word& key, TShiftState shift);
  bool DoKeyDown(TMessage& message);
  bool DoKeyPress(TMessage& message);
  bool DoKeyUp(TMessage& message);
  bool IsMenuKey(TMessage& message);
  // Key down or up through the previewing form, then KeyDown / KeyUp; true when swallowed.
  bool DoKey(TMessage& message, bool down);
  virtual void PaintWindow(HDC dc);
  void PaintHandler(TMessage& message);
  bool IsControlMouseMsg(TMessage& message);
  void UpdateBounds();
  void UpdateShowing();
  void SetZOrder(bool topMost) override;
  void ChangeScale(Integer m, Integer d) override;
  void AdjustSize() override;
  bool CanAutoSize(Integer& newWidth, Integer& newHeight) override;
  void RemoveFocus(bool removing);
  virtual void SetParentBackgroundFlag(bool value);

  // ---- Message handlers ----
  void WMPaint(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMSize(TMessage& message);
  void WMWindowPosChangedWin(TMessage& message);
  void WMSetCursor(TMessage& message);
  void WMKeyDown(TMessage& message);
  void WMSysKeyDown(TMessage& message);
  void WMKeyUp(TMessage& message);
  void WMSysKeyUp(TMessage& message);
  void WMChar(TMessage& message);
  void WMCommand(TMessage& message);
  void WMNotify(TMessage& message);
  void WMDrawItem(TMessage& message);
  void WMMeasureItem(TMessage& message);
  void WMScroll(TMessage& message);
  void WMNCDestroy(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMMouseWheelWin(TMessage& message);
  void CNKeyDown(TMessage& message);
  void CNKeyUp(TMessage& message);
  void CNChar(TMessage& message);
  void CNSysKeyDown(TMessage& message);
  void CNSysChar(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMVisibleChanged(TMessage& message);
  void CMShowingChanged(TMessage& message);
  void CMColorChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMCursorChanged(TMessage& message);
  void CMEnter(TMessage& message);
  void CMExit(TMessage& message);
  void CMInvalidate(TMessage& message);
  void CMRecreateWnd(TMessage& message);
  void CMDialogKey(TMessage& message);
  void CMDialogChar(TMessage& message);
  void CMShowHintChanged(TMessage& message);

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  TBrush* FBrush;
  bool FShowing = false;

 private:
  friend LRESULT ControlWndProcImpl(HWND, UINT, WPARAM, LPARAM);
  friend class TCustomForm;
  friend class TControl;

  void Insert(TControl* control);
  void Remove(TControl* control);
  HWND PrecedingWindow(TWinControl* control) const;

  HWND FParentWindow = nullptr;
  TList* FControls = nullptr;     // graphic children
  TList* FWinControls = nullptr;  // windowed children
  TList* FTabList = nullptr;
  TList* FDockClients = nullptr;
  bool FDockSite = false;
  TDockOverEvent FOnDockOver;
  TDockDropEvent FOnDockDrop;
  TUnDockEvent FOnUnDock;
  TGetSiteInfoEvent FOnGetSiteInfo;
  bool FTabStop = false;
  Integer FAlignLevel = 0;
  bool FDoubleBuffered = false;
  TBorderWidth FBorderWidth = 0;

  TNotifyEvent FOnEnter;
  TNotifyEvent FOnExit;
  TKeyEvent FOnKeyDown;
  TKeyPressEvent FOnKeyPress;
  TKeyEvent FOnKeyUp;
};

// ---- Canvases of controls ---------------------------------------------------------------------

// A canvas on a control: the DC comes from the control when a drawing needs one and is released
// when the window message that drew ends (or FreeHandle).
class TControlCanvas : public TCanvas {
  ORV_CLASS(TControlCanvas, TCanvas)
 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* GetControl() const { return FControl; }
  void SetControl(TControl* value);
  void FreeHandle();
  // Text drawing follows the control's reading order (left to right here).
  void UpdateTextFlags() {}

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

namespace orv {

// Lends a DC to a canvas for a paint: locks the canvas and gives it the DC; takes the DC back
// and unlocks when the scope ends (also when the painting raises).
class TCanvasPaintScope {
 public:
  TCanvasPaintScope(TCanvas* canvas, HDC dc) : FCanvas(canvas) {
    canvas->Lock();
    canvas->SetHandle(dc);
  }
  ~TCanvasPaintScope() {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
  }
  TCanvasPaintScope(const TCanvasPaintScope&) = delete;
  TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;

 private:
  TCanvas* FCanvas;
};

}  // namespace orv

// A control without a window of its own, painted on its parent's.
class TGraphicControl : public TControl {
  ORV_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  void Dispatch(TMessage& message) override;

 protected:
  TCanvas* GetCanvas() const { return FCanvas; }
  virtual void Paint() {}

 private:
  TCanvas* FCanvas;
};

// A windowed control that paints itself on its canvas.
class TCustomControl : public TWinControl {
  ORV_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  void Dispatch(TMessage& message) override;
  TCanvas* GetCanvas() const { return FCanvas; }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  TCanvas* FCanvas;
};

// ---- Hints ------------------------------------------------------------------------------------

class THintWindow;
using THintWindowClass = orv::ClassOf<THintWindow>;

// What the application is about to show as a hint; a control may change it (CM_HINTSHOW, whose
// LParam points here; a non-zero answer cancels the hint).
struct THintInfo {
  TControl* HintControl = nullptr;
  THintWindowClass HintWindowClass;
  TPoint HintPos;       // screen point of the hint's top-left corner
  Integer HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;     // while the mouse stays here, the hint stays
  TPoint CursorPos;     // client point of the mouse in HintControl
  Integer ReshowTimeout = 0;
  Integer HideTimeout = 0;
  AnsiString HintStr;
  void* HintData = nullptr;
};

// The part of a hint before "|" (shown in the hint window) and the part after it (the
// application's Hint, for a status line); a hint without "|" is both.
AnsiString GetShortHint(const AnsiString& hint);
AnsiString GetLongHint(const AnsiString& hint);

// The small window that shows hints: a bordered popup with the text in clInfoText on clInfoBk.
class THintWindow : public TCustomControl {
  ORV_CLASS(THintWindow, TCustomControl)
 public:
  explicit THintWindow(TComponent* owner);
  void Dispatch(TMessage& message) override;

  // Shows `hint` in the screen rectangle (kept on the screen), topmost and without activation.
  virtual void ActivateHint(TRect rect, const AnsiString& hint);
  virtual void ActivateHintData(TRect rect, const AnsiString& hint, void* data) { ActivateHint(rect, hint); }
  // The size the hint needs at most `maxWidth` wide (origin 0, 0).
  virtual TRect CalcHintRect(Integer maxWidth, const AnsiString& hint, void* data);
  // Whether a message should take the hint away (keys, clicks, activation).
  virtual bool IsHintMsg(const MSG& msg);
  void ReleaseHandle() { DestroyHandle(); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

// The class of the hint windows the application makes.
extern THintWindowClass HintWindowClass;

// ---- The mouse --------------------------------------------------------------------------------

class TMouse : public TObject {
  ORV_CLASS(TMouse, TObject)
 public:
  TMouse() = default;
  HWND GetCapture() const;
  void SetCapture(HWND value);
  TPoint GetCursorPos() const;
  void SetCursorPos(TPoint value);
  bool GetDragImmediate() const { return FDragImmediate; }
  void SetDragImmediate(bool value) { FDragImmediate = value; }
  Integer GetDragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(Integer value) { FDragThreshold = value; }
  bool GetMousePresent() const { return true; }
  bool GetWheelPresent() const { return true; }
  Integer GetWheelScrollLines() const;

 private:
  bool FDragImmediate = true;
  Integer FDragThreshold = 5;
};

extern TMouse* Mouse;

// ---- Routines ---------------------------------------------------------------------------------

// The control that owns a window (nullptr for windows that are no control of ours).
TWinControl* FindControl(HWND handle);
// The control under a screen point (graphic controls included), nullptr for none.
TControl* FindDragTarget(TPoint pos, bool allowDisabled);
// The form a control sits on (nullptr when it is on none).
TCustomForm* GetParentForm(TControl* control);
// The same, raising EInvalidOperation "Control '<name>' has no parent window" for none.
TCustomForm* ValidParentForm(TControl* control);
// The control that holds the mouse (a graphic control whose parent's window has the capture).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// Releases the device contexts of control canvases (after each message).
void FreeDeviceContexts();
// Whether a drag started by BeginDrag is in progress.
TDragObject* GetDragObject();
void CancelDrag();
// Runs the drag-over step of the drag in progress at a screen point once more (the target under
// it, its DragOver, the cursor and the drag images), as a mouse move there would.
void DragTo(TPoint pos);
