#include "platform/controls/Controls.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/controls/ControlProperties.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/UserControls.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

TMouse* Mouse = new TMouse;

namespace {

constexpr const char* kControlProp = "TControl";

TWinControl* gCreationControl = nullptr;
TControl* gCaptureControl = nullptr;
std::vector<TControlCanvas*> gCanvasList;

// The drag in progress (BeginDrag): pending until the mouse moves the threshold, then active.
struct TDragProgress {
  TControl* Control = nullptr;
  TDragObject* Object = nullptr;
  bool OwnObject = false;  // the drag made the object and frees it
  TPoint Start;
  Integer Threshold = 0;
  bool Active = false;
  bool Accepted = false;
  TDragImageList* Images = nullptr;  // the drag object's images while they follow the mouse
};
TDragProgress gDrag;

// Shows the drag images over targets that display them, hides them elsewhere.
void UpdateDragImages(TControl* target) {
  if (!gDrag.Images) return;
  const bool show = gDrag.Object && (gDrag.Object->GetAlwaysShowDragImages() ||
                                     (target && target->GetControlStyle().Contains(csDisplayDragImage)));
  if (show)
    gDrag.Images->ShowDragImage();
  else
    gDrag.Images->HideDragImage();
}

bool HasMouseMessageCoordinates(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL && msg != WM_MOUSEHWHEEL; }

TPoint MessagePos(const TMessage& m) { return {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}; }

// The mouse point of a message, or the cursor's point for controls too large for the message's
// 16-bit coordinates.
TPoint MousePoint(TControl* control, const TMessage& m) {
  if (control->GetWidth() > 32768 || control->GetHeight() > 32768) {
    POINT p;
    GetCursorPos(&p);
    return control->ScreenToClient(p);
  }
  return MessagePos(m);
}

void MoveWindowOrg(HDC dc, Integer dx, Integer dy) {
  POINT p;
  GetWindowOrgEx(dc, &p);
  SetWindowOrgEx(dc, p.X - dx, p.Y - dy, nullptr);
}

void ListAdd(TList*& list, void* item) {
  if (!list) list = new TList;
  list->Add(item);
}

void ListRemove(TList*& list, void* item) {
  if (!list) return;
  list->Remove(item);
  if (list->GetCount() == 0) FreeAndNil(list);
}

bool InsertBefore(TControl* c1, TControl* c2, TAlign align) {
  switch (align) {
    case alTop: return c1->GetTop() < c2->GetTop();
    case alBottom: return c1->GetTop() + c1->GetHeight() >= c2->GetTop() + c2->GetHeight();
    case alLeft: return c1->GetLeft() < c2->GetLeft();
    case alRight: return c1->GetLeft() + c1->GetWidth() >= c2->GetLeft() + c2->GetWidth();
    default: return false;
  }
}

}  // namespace

// ---- Free routines ----------------------------------------------------------------------------

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (keyData & KF_ALTDOWN_BIT) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
  if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
  return s;
}

TWinControl* FindControl(HWND handle) {
  if (!handle || !IsWindow(handle)) return nullptr;
  return static_cast<TWinControl*>(GetProp(handle, kControlProp));
}

TControl* FindDragTarget(TPoint pos, bool allowDisabled) {
  HWND window = WindowFromPoint(pos);
  TWinControl* control = nullptr;
  while (window && !(control = FindControl(window))) window = GetParent(window);
  if (!control) return nullptr;
  TControl* result = control;
  TControl* child = control->ControlAtPos(control->ScreenToClient(pos), allowDisabled);
  if (child) result = child;
  return result;
}

TCustomForm* GetParentForm(TControl* control) {
  while (control && control->GetParent()) control = control->GetParent();
  return dynamic_cast<TCustomForm*>(control);
}

TCustomForm* ValidParentForm(TControl* control) {
  TCustomForm* form = GetParentForm(control);
  if (!form)
    throw EInvalidOperation(Format("Control '%s' has no parent window", {control ? control->GetName() : AnsiString()}));
  return form;
}

TControl* GetCaptureControl() {
  HWND capture = GetCapture();
  if (!capture) {
    gCaptureControl = nullptr;
    return nullptr;
  }
  if (gCaptureControl && gCaptureControl->GetParent() && gCaptureControl->GetParent()->HandleAllocated() &&
      gCaptureControl->GetParent()->GetHandle() == capture)
    return gCaptureControl;
  return FindControl(capture);
}

void SetCaptureControl(TControl* control) {
  ReleaseCapture();
  gCaptureControl = nullptr;
  if (!control) return;
  auto* win = dynamic_cast<TWinControl*>(control);
  if (!win) {
    if (!control->GetParent()) return;
    gCaptureControl = control;
    win = control->GetParent();
  }
  SetCapture(win->GetHandle());
}

void FreeDeviceContexts() {
  for (std::size_t i = gCanvasList.size(); i-- > 0;)
    if (i < gCanvasList.size()) gCanvasList[i]->FreeHandle();
}

TDragObject* GetDragObject() { return gDrag.Active ? gDrag.Object : nullptr; }

namespace {

TRect ControlScreenRect(TControl* control) {
  const TRect b = control->GetBoundsRect();
  const TPoint origin = control->GetParent() ? control->GetParent()->ClientToScreen(TPoint{b.Left, b.Top})
                                             : TPoint{b.Left, b.Top};
  return TRect{origin.X, origin.Y, origin.X + b.Width(), origin.Y + b.Height()};
}

// The dock site under the screen point that takes the client: the innermost window control with
// DockSite whose influence rectangle holds the point; never the client or one of its children.
TWinControl* FindDockSite(TControl* client, TPoint p) {
  HWND window = WindowFromPoint(p);
  TWinControl* control = nullptr;
  while (window && !(control = FindControl(window))) window = GetParent(window);
  for (; control; control = control->GetParent()) {
    if (!control->GetDockSite() || control == client) continue;
    auto* clientWin = dynamic_cast<TWinControl*>(client);
    if (clientWin && clientWin->ContainsControl(control)) continue;
    TRect influence = ControlScreenRect(control);
    influence = TRect{influence.Left - 10, influence.Top - 10, influence.Right + 10, influence.Bottom + 10};
    bool canDock = true;
    control->GetSiteInfo(client, influence, p, canDock);
    if (canDock && p.X >= influence.Left && p.X < influence.Right && p.Y >= influence.Top && p.Y < influence.Bottom)
      return control;
  }
  return nullptr;
}

void DockDragTo(TDragDockObject* dock, TPoint p) {
  TControl* client = dock->GetControl();
  auto* target = FindDockSite(client, p);
  auto* old = static_cast<TWinControl*>(dock->GetDragTarget());
  if (old && old != target) {
    bool accept = false;
    const TPoint op = old->ScreenToClient(p);
    old->DockOver(dock, op.X, op.Y, dsDragLeave, accept);
    if (!gDrag.Object) return;
  }
  // Away from every site the control would float where the mouse has taken it.
  const TRect own = ControlScreenRect(client);
  const TRect floating = Bounds(own.Left + p.X - gDrag.Start.X, own.Top + p.Y - gDrag.Start.Y, own.Width(), own.Height());
  dock->SetDockRect(floating);
  gDrag.Accepted = false;
  if (target) {
    const TPoint tp = target->ScreenToClient(p);
    gDrag.Accepted = true;
    target->DockOver(dock, tp.X, tp.Y, old != target ? dsDragEnter : dsDragMove, gDrag.Accepted);
    if (!gDrag.Object) return;
    if (!gDrag.Accepted) {
      dock->SetDockRect(floating);
      target = nullptr;
    }
  }
  dock->SetDragTarget(target);
  Screen->SetCursor(dock->GetDragCursor(gDrag.Accepted, p.X, p.Y));
}

}  // namespace

void DragTo(TPoint p) {
  if (!gDrag.Control || !gDrag.Active || !gDrag.Object) return;
  gDrag.Object->SetDragPos(p);
  if (gDrag.Images) gDrag.Images->DragMove(p.X, p.Y);
  if (auto* dock = dynamic_cast<TDragDockObject*>(gDrag.Object)) {
    DockDragTo(dock, p);
    return;
  }
  TControl* target = FindDragTarget(p, false);
  TControl* old = gDrag.Object->GetDragTarget();
  // Targets see the dragged control for a drag object the drag made, else the object.
  TObject* source = gDrag.OwnObject ? static_cast<TObject*>(gDrag.Control) : gDrag.Object;
  if (old && old != target) {
    bool accept = false;
    const TPoint op = old->ScreenToClient(p);
    old->DragOver(source, op.X, op.Y, dsDragLeave, accept);
    if (!gDrag.Object) return;  // the drag ended in the handler
  }
  gDrag.Accepted = false;
  if (target) {
    const TPoint tp = target->ScreenToClient(p);
    target->DragOver(source, tp.X, tp.Y, old != target ? dsDragEnter : dsDragMove, gDrag.Accepted);
    if (!gDrag.Object) return;
  }
  gDrag.Object->SetDragTarget(target);
  UpdateDragImages(target);
  const TPoint tp = target ? target->ScreenToClient(p) : p;
  Screen->SetCursor(gDrag.Object->GetDragCursor(gDrag.Accepted, tp.X, tp.Y));
}

void CancelDrag() {
  if (gDrag.Control) gDrag.Control->EndDrag(false);
}

// The one window procedure of every control's window class.
LRESULT ControlWndProcImpl(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = static_cast<TWinControl*>(GetProp(window, kControlProp));
  if (!control) {
    control = gCreationControl;
    if (!control) return DefWindowProc(window, msg, wParam, lParam);
    gCreationControl = nullptr;
    control->FHandle = window;
    SetProp(window, kControlProp, control);
  }
  TMessage m;
  m.Msg = msg;
  m.WParam = wParam;
  m.LParam = lParam;
  control->MainWndProc(m);
  if (msg == WM_NCDESTROY) RemoveProp(window, kControlProp);
  return m.Result;
}

// ---- TSizeConstraints -------------------------------------------------------------------------

void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* c = dynamic_cast<TSizeConstraints*>(source)) {
    FMinHeight = c->FMinHeight;
    FMaxHeight = c->FMaxHeight;
    FMinWidth = c->FMinWidth;
    FMaxWidth = c->FMaxWidth;
    Change();
    return;
  }
  inherited::Assign(source);
}

void TSizeConstraints::Change() {
  if (FOnChange) FOnChange(this);
}

void TSizeConstraints::SetMaxHeight(TConstraintSize value) {
  if (value == FMaxHeight) return;
  FMaxHeight = value;
  if (value > 0 && value < FMinHeight) FMinHeight = value;
  Change();
}

void TSizeConstraints::SetMaxWidth(TConstraintSize value) {
  if (value == FMaxWidth) return;
  FMaxWidth = value;
  if (value > 0 && value < FMinWidth) FMinWidth = value;
  Change();
}

void TSizeConstraints::SetMinHeight(TConstraintSize value) {
  if (value == FMinHeight) return;
  FMinHeight = value;
  if (FMaxHeight > 0 && value > FMaxHeight) FMaxHeight = value;
  Change();
}

void TSizeConstraints::SetMinWidth(TConstraintSize value) {
  if (value == FMinWidth) return;
  FMinWidth = value;
  if (FMaxWidth > 0 && value > FMaxWidth) FMaxWidth = value;
  Change();
}

// ---- TControlActionLink -----------------------------------------------------------------------

TControlActionLink::TControlActionLink(TObject* client) : TActionLink(client) { AssignClient(client); }

void TControlActionLink::AssignClient(TObject* client) { FClient = dynamic_cast<TControl*>(client); }

bool TControlActionLink::IsCaptionLinked() {
  return inherited::IsCaptionLinked() && FClient->GetCaption() == CustomAction()->GetCaption();
}
bool TControlActionLink::IsEnabledLinked() {
  return inherited::IsEnabledLinked() && FClient->GetEnabled() == CustomAction()->GetEnabled();
}
bool TControlActionLink::IsHintLinked() {
  return inherited::IsHintLinked() && FClient->GetHint() == CustomAction()->GetHint();
}
bool TControlActionLink::IsVisibleLinked() {
  return inherited::IsVisibleLinked() && FClient->GetVisible() == CustomAction()->GetVisible();
}
bool TControlActionLink::IsHelpContextLinked() {
  return inherited::IsHelpContextLinked() && FClient->GetHelpContext() == CustomAction()->GetHelpContext();
}
bool TControlActionLink::IsOnExecuteLinked() {
  return FAction && FClient->GetOnClick() == FAction->GetOnExecute();
}
void TControlActionLink::SetCaption(const AnsiString& value) {
  if (IsCaptionLinked()) FClient->SetCaption(value);
}
void TControlActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked()) FClient->SetEnabled(value);
}
void TControlActionLink::SetHint(const AnsiString& value) {
  if (IsHintLinked()) FClient->SetHint(value);
}
void TControlActionLink::SetVisible(bool value) {
  if (IsVisibleLinked()) FClient->SetVisible(value);
}
void TControlActionLink::SetHelpContext(Integer value) {
  if (IsHelpContextLinked()) FClient->SetHelpContext(value);
}
void TControlActionLink::SetOnExecute(TNotifyEvent value) {
  if (IsOnExecuteLinked()) FClient->SetOnClick(value);
}

// ---- TControl ---------------------------------------------------------------------------------

TControl::TControl(TComponent* owner)
    : TComponent(owner), FFont(new TFont), FConstraints(new TSizeConstraints(this)) {
  FWindowProc = TWndMethod(this, &TControl::WndProc);
  FFont->SetOnChange(TNotifyEvent(this, &TControl::FontChanged));
  FFontHeight = FFont->GetHeight();
  FConstraints->SetOnChange(TNotifyEvent(this, &TControl::ConstraintsChanged));
}

TControl::~TControl() {
  orv::Free(FActionLink);
  FConstraints->Free();
  FFont->Free();
}

void TControl::BeforeDestruction() {
  Destroying();
  if (Application) Application->ControlDestroyed(this);
  if (gCaptureControl == this) SetCaptureControl(nullptr);
  if (gDrag.Control == this) {
    if (gDrag.Images) gDrag.Images->EndDrag();
    if (gDrag.OwnObject) orv::Free(gDrag.Object);
    gDrag = TDragProgress{};
  }
  if (TWinControl* host = FHostDockSite) {
    FHostDockSite = nullptr;
    host->FDockClients->Remove(this);
    host->DoRemoveDockClient(this);
  }
  SetParent(nullptr);
  FreeAndNil(FActionLink);
  inherited::BeforeDestruction();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m;
  m.Msg = msg;
  m.WParam = wParam;
  m.LParam = lParam;
  if (!FWindowProc) return m.Result;
  EnterDispatch();
  try {
    FWindowProc(m);
  } catch (...) {
    LeaveDispatch();
    throw;
  }
  LeaveDispatch();
  return m.Result;
}

bool TControl::DeferFree() {
  // A second Free while the first one tears the control down changes nothing.
  if (FFreeing) return true;
  if (FDispatchDepth == 0) {
    FFreeing = true;
    return false;
  }
  if (FFreeDeferred) return true;
  FFreeDeferred = true;
  // Gone for everyone else now: no owner frees it again, no parent lists or paints it, and it
  // reads as destroying to the code still running on it.
  Destroying();
  if (GetOwner()) GetOwner()->RemoveComponent(this);
  SetParent(nullptr);
  return true;
}

void TControl::LeaveDispatch() {
  if (--FDispatchDepth == 0 && FFreeDeferred && !FFreeing) Free();
}

void TControl::WndProc(TMessage& message) {
  if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST) {
    if (!FControlStyle.Contains(csDoubleClicks)) {
      switch (message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN; break;
        default: break;
      }
    }
    switch (message.Msg) {
      case WM_MOUSEMOVE:
        if (Application) Application->HintMouseMessage(this, message);
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (FDragMode == dmAutomatic && !GetComponentState().Contains(csDesigning)) {
          BeginDrag(false);
          return;
        }
        FControlState.Include(csLButtonDown);
        break;
      case WM_LBUTTONUP: FControlState.Exclude(csLButtonDown); break;
      default: break;
    }
    // A drag started by this control follows the mouse.
    if (gDrag.Control == this || (gDrag.Control && GetCaptureControl() == this)) {
      POINT p = ClientToScreen(MessagePos(message));
      if (message.Msg == WM_MOUSEMOVE) {
        if (!gDrag.Active && (std::abs(p.X - gDrag.Start.X) >= gDrag.Threshold ||
                              std::abs(p.Y - gDrag.Start.Y) >= gDrag.Threshold)) {
          gDrag.Active = true;
          TDragObject* object = nullptr;
          if (gDrag.Control->GetDragKind() == dkDock) {
            // A dock drag carries the control itself, first at its own place.
            TDragDockObject* dock = nullptr;
            gDrag.Control->DoStartDock(dock);
            if (!gDrag.Control) return;  // the start was cancelled
            if (!dock) {
              dock = new TDragDockObject(gDrag.Control);
              gDrag.OwnObject = true;
            }
            dock->SetDockRect(ControlScreenRect(gDrag.Control));
            object = dock;
          } else {
            gDrag.Control->DoStartDrag(object);
            if (!gDrag.Control) return;  // the start was cancelled
          }
          if (!object) {
            object = new TDragControlObject(gDrag.Control);
            gDrag.OwnObject = true;
          }
          gDrag.Object = object;
          if (TDragImageList* images = object->GetDragImages())
            if (images->GetCount() > 0 && images->BeginDrag(nullptr, p.X, p.Y)) {
              gDrag.Images = images;
              images->HideDragImage();
            }
        }
        if (gDrag.Active) DragTo(p);
        return;
      }
      if (message.Msg == WM_LBUTTONUP) {
        // A dock drag let go away from every site floats its control.
        const bool floats = gDrag.Active && gDrag.Object && gDrag.Object->InheritsFrom(TDragDockObject::StaticClass()) &&
                            !gDrag.Object->GetDragTarget();
        gDrag.Control->EndDrag(gDrag.Active && (gDrag.Accepted || floats));
        return;
      }
    }
  }
  // A docked client tells its site of a new caption or visibility (the site is read first: other
  // messages may free the control, closing a form for one).
  TWinControl* host = message.Msg == WM_SETTEXT || message.Msg == CM_VISIBLECHANGED ? FHostDockSite : nullptr;
  Dispatch(message);
  if (host) {
    TDockNotifyRec rec{message.Msg, message.WParam, message.LParam};
    host->Perform(CM_DOCKNOTIFICATION, WPARAM(this), reinterpret_cast<LPARAM>(&rec));
  }
}

void TControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(message); return;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(message); return;
    case WM_LBUTTONUP: WMLButtonUp(message); return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: WMRButtonDown(message); return;
    case WM_RBUTTONUP: WMRButtonUp(message); return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: WMMButtonDown(message); return;
    case WM_MBUTTONUP: WMMButtonUp(message); return;
    case WM_MOUSEMOVE: WMMouseMove(message); return;
    case WM_MOUSEWHEEL: WMMouseWheel(message); return;
    case WM_CONTEXTMENU: WMContextMenu(message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(message); return;
    case WM_CANCELMODE:
      if (GetCaptureControl() == this) SetCaptureControl(nullptr);
      if (gDrag.Control == this) EndDrag(false);
      DefaultHandler(message);
      return;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED: Invalidate(); return;
    case CM_VISIBLECHANGED: InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque)); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(message); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(message); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(message); return;
    case CM_HITTEST: message.Result = HTCLIENT; return;
    case CM_MOUSEENTER: CMMouseEnter(message); return;
    case CM_MOUSELEAVE: CMMouseLeave(message); return;
    default: DefaultHandler(message); return;
  }
}

void TControl::DefaultHandler(TMessage& message) {
  switch (message.Msg) {
    case WM_GETTEXT: {
      char* out = reinterpret_cast<char*>(message.LParam);
      const Integer max = Integer(message.WParam);
      if (!out || max <= 0) {
        message.Result = 0;
        return;
      }
      const Integer n = std::min<Integer>(Integer(FText.size()), max - 1);
      std::memcpy(out, FText.data(), std::size_t(n));
      out[n] = 0;
      message.Result = n;
      return;
    }
    case WM_GETTEXTLENGTH: message.Result = LRESULT(FText.size()); return;
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(message.LParam);
      FText = text ? text : "";
      message.Result = 1;
      return;
    }
    default: return;
  }
}

void TControl::SetParent(TWinControl* value) {
  if (value == FParent) return;
  if (value == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (value) {
    value->InsertControl(this);
    UpdateAnchorRules();
  }
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* value) {
  if (auto* win = dynamic_cast<TWinControl*>(value)) SetParent(win);
}

void TControl::SetName(const AnsiString& newName) {
  const AnsiString old = GetName();
  const bool follow = FControlStyle.Contains(csSetCaption) && !GetComponentState().Contains(csLoading) &&
                      old == GetText() && (!GetOwner() || !GetOwner()->GetComponentState().Contains(csLoading));
  inherited::SetName(newName);
  if (follow) SetText(newName);
}

void TControl::Loaded() {
  inherited::Loaded();
  if (FActionLink) ActionChange(FActionLink->GetAction(), true);
  UpdateAnchorRules();
}

void TControl::ReadState(TReader* reader) {
  FControlState.Include(csReadingState);
  try {
    inherited::ReadState(reader);
  } catch (...) {
    FControlState.Exclude(csReadingState);
    throw;
  }
  FControlState.Exclude(csReadingState);
  if (FParent) {
    Perform(CM_PARENTCOLORCHANGED, 0, 0);
    Perform(CM_PARENTFONTCHANGED, 0, 0);
    Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (auto* win = dynamic_cast<TWinControl*>(this)) win->UpdateControlState();
  }
}

void TControl::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FPopupMenu) FPopupMenu = nullptr;
  if (FActionLink && component == FActionLink->GetAction()) SetAction(nullptr);
}

bool TControl::CheckNewSize(Integer& newWidth, Integer& newHeight) {
  Integer w = newWidth, h = newHeight;
  if (!CanResize(w, h)) return false;
  Integer minW = FConstraints->GetMinWidth(), minH = FConstraints->GetMinHeight();
  Integer maxW = FConstraints->GetMaxWidth(), maxH = FConstraints->GetMaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && w > maxW) w = maxW;
  if (minW > 0 && w < minW) w = minW;
  if (maxH > 0 && h > maxH) h = maxH;
  if (minH > 0 && h < minH) h = minH;
  if (FAutoSize && !GetComponentState().Contains(csLoading)) {
    Integer aw = w, ah = h;
    if (CanAutoSize(aw, ah)) {
      w = aw;
      h = ah;
    }
  }
  newWidth = w;
  newHeight = h;
  return true;
}

bool TControl::CanResize(Integer& newWidth, Integer& newHeight) {
  bool result = true;
  if (FOnCanResize) FOnCanResize(this, newWidth, newHeight, result);
  return result;
}

void TControl::ConstrainedResize(Integer& minWidth, Integer& minHeight, Integer& maxWidth,
                                 Integer& maxHeight) {
  if (FOnConstrainedResize) FOnConstrainedResize(this, minWidth, minHeight, maxWidth, maxHeight);
}

void TControl::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  if (!CheckNewSize(width, height)) return;
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  InvalidateControl(FVisible, false);
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (!GetComponentState().Contains(csLoading)) Resize();
}

TRect TControl::GetClientRect() { return {0, 0, FWidth, FHeight}; }

void TControl::SetClientWidth(Integer value) { SetClientSize({value, GetClientHeight()}); }

void TControl::SetClientHeight(Integer value) { SetClientSize({GetClientWidth(), value}); }

void TControl::SetClientSize(TPoint value) {
  // A window smaller than its frame has an empty client area, which hides the frame's size:
  // measure again once the window is large enough.
  for (int pass = 0; pass < 2; ++pass) {
    const TRect client = GetClientRect();
    if (client.Right == value.X && client.Bottom == value.Y) return;
    SetBounds(FLeft, FTop, FWidth - client.Right + value.X, FHeight - client.Bottom + value.Y);
  }
}

TPoint TControl::GetClientOrigin() {
  if (!FParent) throw EInvalidOperation(Format("Control '%s' has no parent window", {GetName()}));
  const TPoint p = FParent->GetClientOrigin();
  return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint point) {
  const TPoint o = GetClientOrigin();
  return {point.X + o.X, point.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint point) {
  const TPoint o = GetClientOrigin();
  return {point.X - o.X, point.Y - o.Y};
}

TPoint TControl::ClientToParent(TPoint point, TWinControl* parent) {
  if (!parent) parent = FParent;
  TControl* c = this;
  TPoint p = point;
  while (c && c != parent) {
    p.X += c->FLeft;
    p.Y += c->FTop;
    c = c->FParent;
  }
  if (c != parent) throw EInvalidOperation("The control is not a child of that parent");
  return p;
}

void TControl::SetAlign(TAlign value) {
  if (value != FAlign) {
    const TAlign old = FAlign;
    FAlign = value;
    // Anchors follow the alignment.
    static const TAnchors kAnchorAlign[] = {
        {akLeft, akTop},           {akLeft, akTop, akRight},   {akLeft, akRight, akBottom},
        {akLeft, akTop, akBottom}, {akRight, akTop, akBottom}, {akLeft, akTop, akRight, akBottom},
        {akLeft, akTop}};
    SetAnchors(kAnchorAlign[value]);
    if (!GetComponentState().Contains(csLoading) && value != alCustom && old != alCustom) {
      // Turning from a top or bottom band to a side (or back) exchanges width and height.
      const bool wasBand = old == alTop || old == alBottom, toSide = value == alLeft || value == alRight;
      if (wasBand == toSide && old != alNone && old != alClient && value != alNone && value != alClient)
        SetBounds(FLeft, FTop, FHeight, FWidth);
      else
        AdjustSize();
    }
  }
  RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
  if (value == FAnchors) return;
  FAnchors = value;
  if (!GetComponentState().Contains(csLoading)) UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (FAnchorMove || GetComponentState().Contains(csLoading)) return;
  if (FAnchors == TAnchors{akLeft, akTop}) {
    FOriginalParentSize = {};
    return;
  }
  if (FAnchors.Contains(akRight))
    FAnchorRules.X = FAnchors.Contains(akLeft) ? FWidth : FLeft;
  else
    FAnchorRules.X = FLeft + FWidth / 2;
  if (FAnchors.Contains(akBottom))
    FAnchorRules.Y = FAnchors.Contains(akTop) ? FHeight : FTop;
  else
    FAnchorRules.Y = FTop + FHeight / 2;
  if (!FParent) return;
  if (FParent->GetComponentState().Contains(csReading)) {
    if (auto* form = dynamic_cast<TCustomForm*>(FParent)) FOriginalParentSize = form->GetDesignSize();
  } else if (FParent->HandleAllocated()) {
    FOriginalParentSize = FParent->GetClientRect().BottomRight();
  } else {
    FOriginalParentSize = {FParent->FWidth, FParent->FHeight};
  }
}

void TControl::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  if (value) AdjustSize();
}

void TControl::AdjustSize() {
  if (!GetComponentState().Contains(csLoading)) SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TControl::SetVisible(bool value) {
  if (value == FVisible) return;
  VisibleChanging();
  FVisible = value;
  Perform(CM_VISIBLECHANGED, WPARAM(value), 0);
  RequestAlign();
}

void TControl::Show() {
  if (FParent) FParent->ShowControl(this);
  if (!GetComponentState().Contains(csDesigning) || FControlStyle.Contains(csNoDesignVisible)) SetVisible(true);
}

void TControl::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor value) {
  if (value == FColor) {
    FParentColor = false;
    return;
  }
  FColor = value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (FParent && !GetComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::CMParentColorChanged(TMessage& message) {
  if (!FParentColor) return;
  if (message.WParam)
    SetColor(TColor(message.LParam));
  else if (FParent)
    SetColor(FParent->FColor);
  FParentColor = true;
}

void TControl::FontChanged(TObject* sender) {
  FParentFont = false;
  if (FFont->GetHeight() != FFontHeight) FFontHeight = FFont->GetHeight();
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont) return;
  FParentFont = value;
  if (FParent && !GetComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::CMParentFontChanged(TMessage& message) {
  if (!FParentFont) return;
  if (message.WParam)
    SetFont(reinterpret_cast<TFont*>(message.LParam));
  else if (FParent)
    SetFont(FParent->FFont);
  FParentFont = true;
}

void TControl::SetShowHint(bool value) {
  if (value == FShowHint && !FParentShowHint) return;
  FShowHint = value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool value) {
  if (value == FParentShowHint) return;
  FParentShowHint = value;
  if (FParent && !GetComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::CMParentShowHintChanged(TMessage& message) {
  if (!FParentShowHint || !FParent) return;
  FShowHint = FParent->FShowHint;
  FParentShowHint = true;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor value) {
  if (value == FCursor) return;
  FCursor = value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

TPopupMenu* TControl::GetPopupMenu() { return FPopupMenu; }

void TControl::SetPopupMenu(TPopupMenu* value) {
  if (value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = value;
  if (value) value->FreeNotification(this);
}

Integer TControl::GetTextLen() { return Integer(Perform(WM_GETTEXTLENGTH, 0, 0)); }

Integer TControl::GetTextBuf(char* buffer, Integer bufSize) {
  return Integer(Perform(WM_GETTEXT, WPARAM(bufSize), reinterpret_cast<LPARAM>(buffer)));
}

void TControl::SetTextBuf(const char* buffer) {
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(buffer));
  Perform(CM_TEXTCHANGED, 0, 0);
}

AnsiString TControl::GetText() {
  const Integer len = GetTextLen();
  if (len <= 0) return AnsiString();
  std::vector<char> buffer(std::size_t(len) + 1, 0);
  const Integer n = GetTextBuf(buffer.data(), len + 1);
  return AnsiString(buffer.data(), std::size_t(std::max(0, n)));
}

void TControl::SetText(const AnsiString& value) {
  if (GetText() != value) SetTextBuf(value.c_str());
}

bool TControl::GetMouseCapture() { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool value) {
  if (GetMouseCapture() == value) return;
  SetCaptureControl(value ? this : nullptr);
}

bool TControl::IsVisibleInParents() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible) return false;
  return true;
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || !FParent || !FParent->HandleAllocated()) return;
  const RECT r = GetBoundsRect();
  InvalidateRect(FParent->GetHandle(), &r, !(isOpaque || FParent->FControlStyle.Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  if (FControlStyle.Contains(csOpaque)) {
    HWND parent = FParent->GetHandle();
    HDC dc = GetDC(parent);
    IntersectClipRect(dc, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
    FParent->PaintControls(dc, this);
    ReleaseDC(parent, dc);
  } else {
    Invalidate();
    Update();
  }
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

HDC TControl::GetDeviceContext(HWND& windowHandle) {
  if (!FParent) throw EInvalidOperation(Format("Control '%s' has no parent window", {GetName()}));
  HDC dc = FParent->GetDeviceContext(windowHandle);
  SetViewportOrgEx(dc, FLeft, FTop, nullptr);
  IntersectClipRect(dc, 0, 0, FWidth, FHeight);
  return dc;
}

void TControl::SetZOrder(bool topMost) {
  if (!FParent || !FParent->FControls) return;
  TList* list = FParent->FControls;
  const Integer i = list->IndexOf(this);
  if (i < 0) return;
  const Integer target = topMost ? list->GetCount() - 1 : 0;
  if (i == target) return;
  list->Delete(i);
  list->Insert(target, this);
  InvalidateControl(FVisible, true);
  FParent->Realign();
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

void TControl::Resize() {
  if (FOnResize) FOnResize(this);
}

void TControl::ChangeScale(Integer m, Integer d) {
  if (m == d || d == 0) return;
  const Integer x = MulDiv(FLeft, m, d), y = MulDiv(FTop, m, d);
  const Integer w = FControlStyle.Contains(csFixedWidth) ? FWidth : MulDiv(FLeft + FWidth, m, d) - x;
  const Integer h = FControlStyle.Contains(csFixedHeight) ? FHeight : MulDiv(FTop + FHeight, m, d) - y;
  SetBounds(x, y, w, h);
  if (!FParentFont) FFont->SetHeight(MulDiv(FFont->GetHeight(), m, d));
}

// ---- Mouse -----

void TControl::SendCancelMode(TControl* sender) {
  for (TControl* c = this; c; c = c->FParent)
    if (auto* form = dynamic_cast<TCustomForm*>(c)) {
      if (form->GetActiveControl() && form->GetActiveControl() != sender)
        form->GetActiveControl()->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
      return;
    }
}

void TControl::DoMouseDown(TMessage& message, TMouseButton button, TShiftState shift) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  const TPoint p = MousePoint(this, message);
  MouseDown(button, KeysToShiftState(message.WParam) + shift, p.X, p.Y);
}

void TControl::DoMouseUp(TMessage& message, TMouseButton button) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  const TPoint p = MousePoint(this, message);
  MouseUp(button, KeysToShiftState(message.WParam), p.X, p.Y);
}

void TControl::WMLButtonDown(TMessage& message) {
  SendCancelMode(this);
  DefaultHandler(message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
  DoMouseDown(message, mbLeft, {});
}

void TControl::WMLButtonDblClk(TMessage& message) {
  SendCancelMode(this);
  DefaultHandler(message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) DblClick();
  DoMouseDown(message, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& message) {
  DefaultHandler(message);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (FControlState.Contains(csClicked)) {
    FControlState.Exclude(csClicked);
    const TPoint p = MessagePos(message);
    const TRect r = GetClientRect();
    if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) {
      // The click may free the control: nothing of it is touched afterwards.
      Click();
      return;
    }
  }
  DoMouseUp(message, mbLeft);
}

void TControl::WMRButtonDown(TMessage& message) {
  SendCancelMode(this);
  DefaultHandler(message);
  DoMouseDown(message, mbRight, message.Msg == WM_RBUTTONDBLCLK ? TShiftState{ssDouble} : TShiftState{});
}

void TControl::WMRButtonUp(TMessage& message) {
  DefaultHandler(message);
  DoMouseUp(message, mbRight);
  // A graphic control has no window whose default procedure would ask for its context menu.
  if (!dynamic_cast<TWinControl*>(this) && message.Result == 0) {
    const TPoint p = ClientToScreen(MessagePos(message));
    Perform(WM_CONTEXTMENU, 0, MAKELPARAM(p.X, p.Y));
  }
}

void TControl::WMMButtonDown(TMessage& message) {
  SendCancelMode(this);
  DefaultHandler(message);
  DoMouseDown(message, mbMiddle, message.Msg == WM_MBUTTONDBLCLK ? TShiftState{ssDouble} : TShiftState{});
}

void TControl::WMMButtonUp(TMessage& message) {
  DefaultHandler(message);
  DoMouseUp(message, mbMiddle);
}

void TControl::WMMouseMove(TMessage& message) {
  DefaultHandler(message);
  if (FControlStyle.Contains(csNoStdEvents)) return;
  const TPoint p = MousePoint(this, message);
  MouseMove(KeysToShiftState(message.WParam), p.X, p.Y);
}

void TControl::WMMouseWheel(TMessage& message) {
  const TPoint pos{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  if (DoMouseWheel(KeysToShiftState(GET_KEYSTATE_WPARAM(message.WParam)), GET_WHEEL_DELTA_WPARAM(message.WParam), pos))
    message.Result = 1;
  else
    DefaultHandler(message);
}

void TControl::WMContextMenu(TMessage& message) {
  if (message.Result != 0) return;
  if (GetComponentState().Contains(csDesigning)) {
    DefaultHandler(message);
    return;
  }
  TPoint pt{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  const bool keyboard = pt.X == -1 && pt.Y == -1;
  TPoint local = pt;
  if (!keyboard) {
    local = ScreenToClient(pt);
    const TRect r = GetClientRect();
    if (local.X < r.Left || local.X >= r.Right || local.Y < r.Top || local.Y >= r.Bottom) {
      DefaultHandler(message);
      return;
    }
  }
  bool handled = false;
  DoContextPopup(local, handled);
  message.Result = handled ? 1 : 0;
  if (handled) return;
  TPopupMenu* menu = GetPopupMenu();
  if (menu && menu->GetAutoPopup()) {
    SendCancelMode(nullptr);
    menu->SetPopupComponent(this);
    if (keyboard) pt = ClientToScreen({0, 0});
    message.Result = 1;
    menu->Popup(pt.X, pt.Y);
    return;
  }
  if (message.Result == 0) DefaultHandler(message);
}

void TControl::WMWindowPosChanged(TMessage& message) { DefaultHandler(message); }

void TControl::CMMouseEnter(TMessage& message) {
  if (FParent) FParent->Perform(CM_MOUSEENTER, 0, message.LParam ? message.LParam : reinterpret_cast<LPARAM>(this));
  if (message.LParam == 0 && FOnMouseEnter) FOnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& message) {
  if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, message.LParam ? message.LParam : reinterpret_cast<LPARAM>(this));
  if (message.LParam == 0 && FOnMouseLeave) FOnMouseLeave(this);
}

void TControl::Click() {
  // OnClick that differs from the action's handler wins over the action.
  if (FOnClick && FActionLink && FActionLink->GetAction() && !(FOnClick == FActionLink->GetAction()->GetOnExecute()))
    FOnClick(this);
  else if (FActionLink && !GetComponentState().Contains(csDesigning))
    FActionLink->Execute(this);
  else if (FOnClick)
    FOnClick(this);
}

void TControl::DblClick() {
  if (FOnDblClick) FOnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  if (FOnMouseDown) FOnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, Integer x, Integer y) {
  if (FOnMouseMove) FOnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  if (FOnMouseUp) FOnMouseUp(this, button, shift, x, y);
}

bool TControl::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  bool handled = false;
  if (FOnMouseWheel) FOnMouseWheel(this, shift, wheelDelta, mousePos, handled);
  if (!handled) handled = wheelDelta < 0 ? DoMouseWheelDown(shift, mousePos) : DoMouseWheelUp(shift, mousePos);
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  if (FOnMouseWheelDown) FOnMouseWheelDown(this, shift, mousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  bool handled = false;
  if (FOnMouseWheelUp) FOnMouseWheelUp(this, shift, mousePos, handled);
  return handled;
}

void TControl::DoContextPopup(TPoint mousePos, bool& handled) {
  if (FOnContextPopup) FOnContextPopup(this, mousePos, handled);
}

// ---- Dragging -----

void TControl::BeginDrag(bool immediate, Integer threshold) {
  if (gDrag.Control) return;
  if (threshold < 0) threshold = Mouse->GetDragThreshold();
  POINT p;
  GetCursorPos(&p);
  gDrag = TDragProgress{};
  gDrag.Control = this;
  gDrag.Start = p;
  gDrag.Threshold = immediate ? 0 : threshold;
  SetMouseCapture(true);
  if (immediate) {
    TMessage move;
    move.Msg = WM_MOUSEMOVE;
    const TPoint local = ScreenToClient(p);
    move.LParam = MAKELPARAM(local.X, local.Y);
    gDrag.Threshold = 0;
    WndProc(move);
  }
}

bool TControl::Dragging() const { return gDrag.Control == this && gDrag.Active; }

void TControl::EndDrag(bool drop) {
  if (gDrag.Control != this) return;
  TDragProgress drag = gDrag;
  gDrag = TDragProgress{};
  if (drag.Images) drag.Images->EndDrag();
  if (GetMouseCapture()) SetMouseCapture(false);
  Screen->SetCursor(crDefault);
  if (drag.Active && drag.Object) {
    TControl* target = drag.Object->GetDragTarget();
    const TPoint pos = drag.Object->GetDragPos();
    TObject* source = drag.OwnObject ? static_cast<TObject*>(this) : drag.Object;
    drag.Object->SetCancelling(!drop);
    TPoint local;
    if (auto* dock = dynamic_cast<TDragDockObject*>(drag.Object)) {
      auto* site = static_cast<TWinControl*>(target);
      if (drop) {
        TWinControl* host = FHostDockSite;
        // The current site may keep the control.
        if (host && host != site && !host->DoUnDock(site, this)) drop = false;
      }
      if (site) local = site->ScreenToClient(pos);
      if (drop && site) {
        site->DockDrop(dock, local.X, local.Y);
      } else if (drop) {
        dock->SetFloating(true);
        Dock(nullptr, dock->GetDockRect());
      } else if (site) {
        bool accept = false;
        site->DockOver(dock, local.X, local.Y, dsDragLeave, accept);
      }
      drag.Object->Finished(drop ? site : nullptr, local.X, local.Y, drop);
      if (drag.OwnObject) orv::Free(drag.Object);
      return;
    }
    if (target) {
      local = target->ScreenToClient(pos);
      if (drop) {
        target->DragDrop(source, local.X, local.Y);
      } else {
        bool accept = false;
        target->DragOver(source, local.X, local.Y, dsDragLeave, accept);
      }
    }
    drag.Object->Finished(drop ? target : nullptr, local.X, local.Y, drop && target);
  }
  if (drag.OwnObject) orv::Free(drag.Object);
}

TCursor TDragObject::GetDragCursor(bool accepted, Integer x, Integer y) { return accepted ? crDrag : crNoDrop; }

// ---- Docking -----

bool TControl::ManualDock(TWinControl* newDockSite, TControl* dropControl, TAlign controlSide) {
  if (FHostDockSite && FHostDockSite != newDockSite && !FHostDockSite->DoUnDock(newDockSite, this)) return false;
  TDragDockObject dock(this);
  if (!newDockSite) {
    dock.SetDockRect(ControlScreenRect(this));
    dock.SetFloating(true);
    Dock(nullptr, dock.GetDockRect());
    return true;
  }
  const TRect client = newDockSite->GetClientRect();
  const TPoint origin = newDockSite->ClientToScreen(TPoint{0, 0});
  const TRect site = Bounds(origin.X, origin.Y, client.Width(), client.Height());
  dock.SetDockRect(site);
  dock.SetDragTarget(newDockSite);
  newDockSite->DockDrop(&dock, 0, 0);
  return true;
}

void TControl::Dock(TWinControl* newDockSite, const TRect& dockRect) {
  TWinControl* old = FHostDockSite;
  if (newDockSite) {
    newDockSite->DoAddDockClient(this, dockRect);
  } else {
    // Floating: a window of its own at the dock rect.
    SetParent(nullptr);
    SetBounds(dockRect.Left, dockRect.Top, dockRect.Width(), dockRect.Height());
  }
  if (old == newDockSite) return;
  FHostDockSite = newDockSite;
  if (newDockSite) {
    if (!newDockSite->FDockClients) newDockSite->FDockClients = new TList;
    newDockSite->FDockClients->Add(this);
  }
  if (old) {
    old->FDockClients->Remove(this);
    old->DoRemoveDockClient(this);
  }
}

Integer TWinControl::GetDockClientCount() const { return FDockClients ? FDockClients->GetCount() : 0; }

TControl* TWinControl::GetDockClients(Integer index) const {
  return static_cast<TControl*>(FDockClients->Get(index));
}

void TWinControl::DockOver(TDragDockObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  const TRect client = GetClientRect();
  const TPoint origin = ClientToScreen(TPoint{0, 0});
  const TRect site = Bounds(origin.X, origin.Y, client.Width(), client.Height());
  source->SetDockRect(site);
  if (FOnDockOver) FOnDockOver(this, source, x, y, state, accept);
}

void TWinControl::DockDrop(TDragDockObject* source, Integer x, Integer y) {
  source->GetControl()->Dock(this, source->GetDockRect());
  if (FOnDockDrop) FOnDockDrop(this, source, x, y);
}

void TWinControl::GetSiteInfo(TControl* client, TRect& influenceRect, TPoint mousePos, bool& canDock) {
  if (FOnGetSiteInfo) FOnGetSiteInfo(this, client, influenceRect, mousePos, canDock);
}

bool TWinControl::DoUnDock(TWinControl* newTarget, TControl* client) {
  bool allow = true;
  if (FOnUnDock) FOnUnDock(this, client, newTarget, allow);
  return allow;
}

void TWinControl::DoAddDockClient(TControl* client, const TRect& dockRect) {
  client->SetParent(this);
  const TPoint p = ScreenToClient(TPoint{dockRect.Left, dockRect.Top});
  client->SetBounds(p.X, p.Y, dockRect.Width(), dockRect.Height());
}

void TDragObject::HideDragImage() {
  if (TDragImageList* images = GetDragImages()) images->HideDragImage();
}

void TDragObject::ShowDragImage() {
  if (TDragImageList* images = GetDragImages()) images->ShowDragImage();
}

TDragImageList* TBaseDragControlObject::GetDragImages() { return FControl ? FControl->GetDragImages() : nullptr; }

void TBaseDragControlObject::Finished(TObject* target, Integer x, Integer y, bool accepted) {
  EndDrag(accepted ? target : nullptr, x, y);
}

void TBaseDragControlObject::EndDrag(TObject* target, Integer x, Integer y) {
  if (FControl) FControl->DoEndDrag(target, x, y);
}

TCursor TDragControlObject::GetDragCursor(bool accepted, Integer x, Integer y) {
  return accepted && GetControl() ? GetControl()->GetDragCursor() : crNoDrop;
}

void TControl::DoStartDrag(TDragObject*& dragObject) {
  if (FOnStartDrag) FOnStartDrag(this, dragObject);
}

void TControl::DoEndDrag(TObject* target, Integer x, Integer y) {
  if (FOnEndDrag) FOnEndDrag(this, target, x, y);
}

void TControl::DoStartDock(TDragDockObject*& dragObject) {
  if (FOnStartDock) FOnStartDock(this, dragObject);
}

void TControl::DoEndDock(TObject* target, Integer x, Integer y) {
  if (FOnEndDock) FOnEndDock(this, target, x, y);
}

void TDragDockObject::EndDrag(TObject* target, Integer x, Integer y) {
  if (TControl* control = GetControl()) control->DoEndDock(target, x, y);
}

void TControl::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  accept = false;
  if (FOnDragOver) {
    accept = true;
    FOnDragOver(this, source, x, y, state, accept);
  }
}

void TControl::DragDrop(TObject* source, Integer x, Integer y) {
  if (FOnDragDrop) FOnDragDrop(this, source, x, y);
}

// ---- Actions -----

TBasicAction* TControl::GetAction() const { return FActionLink ? FActionLink->GetAction() : nullptr; }

TControlActionLinkClass TControl::GetActionLinkClass() { return TControlActionLink::StaticClass(); }

void TControl::SetAction(TBasicAction* value) {
  if (!value) {
    FreeAndNil(FActionLink);
    FControlStyle.Exclude(csActionClient);
    return;
  }
  FControlStyle.Include(csActionClient);
  if (!FActionLink) {
    FActionLink = static_cast<TControlActionLink*>(
        GetActionLinkClass()->CreateInstance<TBasicActionLink::TCreateSignature>(static_cast<TObject*>(this)));
    FActionLink->SetOnChange(TNotifyEvent(this, &TControl::DoActionChange));
  }
  FActionLink->SetAction(value);
  ActionChange(value, GetComponentState().Contains(csLoading));
  value->FreeNotification(this);
}

void TControl::DoActionChange(TObject* sender) {
  if (FActionLink && FActionLink->GetAction()) ActionChange(FActionLink->GetAction(), false);
}

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(sender);
  if (!a) return;
  if (!checkDefaults || GetCaption().empty() || GetCaption() == GetName()) SetCaption(a->GetCaption());
  if (!checkDefaults || FEnabled) SetEnabled(a->GetEnabled());
  if (!checkDefaults || FHint.empty()) SetHint(a->GetHint());
  if (!checkDefaults || FVisible) SetVisible(a->GetVisible());
  if (!checkDefaults || !FOnClick) FOnClick = a->GetOnExecute();
  if (!checkDefaults || FHelpContext == 0) FHelpContext = a->GetHelpContext();
}

void TControl::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

// ---- TWinControl ------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner), FBrush(new TBrush) {
  FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
  orv::Free(FDockClients);
  FBrush->Free();
  orv::Free(FControls);
  orv::Free(FWinControls);
  orv::Free(FTabList);
}

void TWinControl::BeforeDestruction() {
  Destroying();
  // Docked clients stay where they are, no longer docked.
  if (FDockClients)
    for (Integer i = 0; i < FDockClients->GetCount(); ++i)
      static_cast<TControl*>(FDockClients->Get(i))->FHostDockSite = nullptr;
  if (FDockClients) FDockClients->Clear();
  if (FParent) RemoveFocus(true);
  if (FHandle) DestroyWindowHandle();
  // Children go with their parent, whoever owns them.
  for (Integer n = GetControlCount(); n > 0; n = GetControlCount()) {
    TControl* child = GetControl(n - 1);
    Remove(child);
    child->Free();
  }
  inherited::BeforeDestruction();
}

void TWinControl::MainWndProc(TMessage& message) {
  EnterDispatch();
  try {
    FWindowProc(message);
  } catch (...) {
    FreeDeviceContexts();
    if (Application)
      Application->HandleException(this);
    LeaveDispatch();
    return;
  }
  FreeDeviceContexts();
  LeaveDispatch();
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form && !form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (FControlState.Contains(csFocusing)) return;
      break;
    case WM_NCHITTEST: {
      inherited::WndProc(message);
      if (message.Result == HTTRANSPARENT &&
          ControlAtPos(ScreenToClient({GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)}), false))
        message.Result = HTCLIENT;
      return;
    }
    case WM_CANCELMODE:
      if (FHandle && GetCapture() == FHandle && gCaptureControl && gCaptureControl->GetParent() == this)
        gCaptureControl->Perform(WM_CANCELMODE, 0, 0);
      break;
    default:
      if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST && HasMouseMessageCoordinates(message.Msg) &&
          IsControlMouseMsg(message)) {
        if (message.Result == 0 && FHandle) DefWindowProc(FHandle, message.Msg, message.WParam, message.LParam);
        return;
      }
      if (message.Msg >= WM_KEYFIRST && message.Msg <= WM_KEYLAST && gDrag.Control && gDrag.Active) {
        // While dragging, Escape cancels the drag and Ctrl or Shift let the target answer again
        // (a copy cursor); no key reaches the focused control.
        if (message.Msg == WM_KEYDOWN || message.Msg == WM_KEYUP) {
          if (message.WParam == VK_ESCAPE && message.Msg == WM_KEYDOWN) {
            CancelDrag();
          } else if (message.WParam == VK_CONTROL || message.WParam == VK_SHIFT) {
            POINT p;
            GetCursorPos(&p);
            DragTo(p);
          }
        }
        return;
      }
      break;
  }
  inherited::WndProc(message);
}

void TWinControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT: WMPaint(message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(message); return;
    case WM_SIZE: WMSize(message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChangedWin(message); return;
    case WM_SETCURSOR: WMSetCursor(message); return;
    case WM_KEYDOWN: WMKeyDown(message); return;
    case WM_SYSKEYDOWN: WMSysKeyDown(message); return;
    case WM_KEYUP: WMKeyUp(message); return;
    case WM_SYSKEYUP: WMSysKeyUp(message); return;
    case WM_CHAR: WMChar(message); return;
    case WM_COMMAND: WMCommand(message); return;
    case WM_NOTIFY: WMNotify(message); return;
    case WM_DRAWITEM: WMDrawItem(message); return;
    case WM_MEASUREITEM: WMMeasureItem(message); return;
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL: WMScroll(message); return;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      if (TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam))) {
        message.Result = child->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
        return;
      }
      break;
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(message.WParam);
      SetTextColor(dc, ColorToRGB(FFont->GetColor()));
      SetBkColor(dc, ColorToRGB(FBrush->GetColor()));
      message.Result = reinterpret_cast<LRESULT>(FBrush->GetHandle());
      return;
    }
    case WM_NCDESTROY: WMNCDestroy(message); return;
    case WM_SETFOCUS: WMSetFocus(message); return;
    case WM_KILLFOCUS: WMKillFocus(message); return;
    case WM_MOUSEWHEEL: WMMouseWheelWin(message); return;
    case CN_KEYDOWN: CNKeyDown(message); return;
    case CN_KEYUP: CNKeyUp(message); return;
    case CN_CHAR: CNChar(message); return;
    case CN_SYSKEYDOWN: CNSysKeyDown(message); return;
    case CN_SYSCHAR: CNSysChar(message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(message); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(message); return;
    case CM_COLORCHANGED: CMColorChanged(message); return;
    case CM_FONTCHANGED: CMFontChanged(message); return;
    case CM_CURSORCHANGED: CMCursorChanged(message); return;
    case CM_ENTER: CMEnter(message); return;
    case CM_EXIT: CMExit(message); return;
    case CM_INVALIDATE: CMInvalidate(message); return;
    case CM_RECREATEWND: CMRecreateWnd(message); return;
    case CM_DIALOGKEY: CMDialogKey(message); return;
    case CM_DIALOGCHAR: CMDialogChar(message); return;
    case CM_SHOWHINTCHANGED: CMShowHintChanged(message); return;
    case CM_FOCUSCHANGED: Broadcast(message); return;
    default: break;
  }
  inherited::Dispatch(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (!FHandle) {
    inherited::DefaultHandler(message);
    return;
  }
  if (message.Msg == WM_CONTEXTMENU && FParent) {
    message.Result = FParent->Perform(message.Msg, message.WParam, message.LParam);
    if (message.Result) return;
  }
  message.Result = CallWindowProc(FDefWndProc ? FDefWndProc : DefWindowProc, FHandle, message.Msg,
                                  message.WParam, message.LParam);
}

// ---- Window handle -----

void TWinControl::CreateParams(TCreateParams& params) {
  params = TCreateParams{};
  params.Caption = FText;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) {
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!GetComponentState().Contains(csDesigning) && !GetEnabled()) params.Style |= WS_DISABLED;
  if (FTabStop) params.Style |= WS_TABSTOP;
  params.X = FLeft;
  params.Y = FTop;
  params.Width = FWidth;
  params.Height = FHeight;
  if (FParent)
    params.WndParent = FParent->GetHandle();
  else
    params.WndParent = FParentWindow;
  params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  params.WindowClass.lpfnWndProc = DefWindowProc;
  params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  params.WindowClass.hbrBackground = nullptr;
  params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& params, const char* controlClassName) {
  WNDCLASS info;
  if (!GetClassInfo(nullptr, controlClassName, &info))
    throw EInvalidOperation(Format("Window class %s is not registered", {AnsiString(controlClassName)}));
  const UINT keep = params.WindowClass.style & (CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
  params.WindowClass = info;
  params.WindowClass.style = (info.style & ~(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW)) | keep;
  params.WindowClass.lpszClassName = nullptr;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (!params.WndParent && (params.Style & WS_CHILD))
    throw EInvalidOperation(Format("Control '%s' has no parent window", {GetName()}));
  FDefWndProc = params.WindowClass.lpfnWndProc;
  WNDCLASS registered;
  const bool known = GetClassInfo(nullptr, params.WinClassName.c_str(), &registered);
  if (!known || registered.lpfnWndProc != ControlWndProcImpl) {
    if (known) UnregisterClass(params.WinClassName.c_str(), nullptr);
    WNDCLASS wc = params.WindowClass;
    wc.lpfnWndProc = ControlWndProcImpl;
    wc.lpszClassName = params.WinClassName.c_str();
    if (!RegisterClass(&wc)) throw EOSError("Cannot register the window class " + params.WinClassName);
  }
  gCreationControl = this;
  try {
    CreateWindowHandle(params);
  } catch (...) {
    gCreationControl = nullptr;
    throw;
  }
  gCreationControl = nullptr;
  if (!FHandle) throw EOSError("Error creating window");
  if ((GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD) && GetWindowLongPtr(FHandle, GWLP_ID) == 0)
    SetWindowLongPtr(FHandle, GWLP_ID, LONG_PTR(reinterpret_cast<std::intptr_t>(FHandle) & 0x7FFFFFFF));
  FText.clear();
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->GetHandle()), 1);
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
  HWND handle = CreateWindowEx(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(),
                               params.Style, params.X, params.Y, params.Width, params.Height,
                               params.WndParent, nullptr, nullptr, params.Param);
  if (handle) FHandle = handle;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  SetProp(FHandle, kControlProp, this);
  if (FParent) SetWindowPos(FHandle, FParent->PrecedingWindow(this), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (Integer i = 0; i < GetControlCount(); ++i) GetControl(i)->UpdateAnchorRules();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  if (FWinControls)
    for (Integer i = 0; i < FWinControls->GetCount(); ++i)
      static_cast<TWinControl*>(FWinControls->Get(i))->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  FText = GetText();
  FreeDeviceContexts();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState.Include(csDestroyingHandle);
  HWND handle = FHandle;
  DestroyWindow(handle);
  FControlState.Exclude(csDestroyingHandle);
  FHandle = nullptr;
  FShowing = false;
}

void TWinControl::WMNCDestroy(TMessage& message) {
  DefaultHandler(message);
  FHandle = nullptr;
  FShowing = false;
}

HWND TWinControl::GetHandle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::RecreateWnd() {
  if (FHandle) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage& message) {
  const bool wasFocused = Focused();
  FControlState.Include(csRecreating);
  try {
    DestroyHandle();
    UpdateControlState();
  } catch (...) {
    FControlState.Exclude(csRecreating);
    throw;
  }
  FControlState.Exclude(csRecreating);
  if (FHandle && wasFocused) ::SetFocus(FHandle);
}

void TWinControl::SetParentWindow(HWND value) {
  if (FParent || value == FParentWindow) return;
  if (FHandle && FParentWindow && value) {
    FParentWindow = value;
    ::SetParent(FHandle, value);
  } else {
    DestroyHandle();
    FParentWindow = value;
  }
  UpdateControlState();
}

HWND TWinControl::PrecedingWindow(TWinControl* control) const {
  if (FWinControls) {
    for (Integer i = FWinControls->IndexOf(control) + 1; i < FWinControls->GetCount(); ++i) {
      auto* c = static_cast<TWinControl*>(FWinControls->Get(i));
      if (c->FHandle) return c->FHandle;
    }
  }
  return HWND_BOTTOM;
}

void TWinControl::UpdateControlState() {
  TWinControl* control = this;
  while (control->FParent) {
    control = control->FParent;
    if (!control->FShowing) return;
  }
  if (dynamic_cast<TCustomForm*>(control) || control->FParentWindow) UpdateShowing();
}

void TWinControl::UpdateShowing() {
  const bool show = (GetVisible() || (GetComponentState().Contains(csDesigning) && !FControlStyle.Contains(csNoDesignVisible))) &&
                    !FControlState.Contains(csReadingState);
  if (show) {
    if (!FHandle) CreateHandle();
    if (FWinControls)
      for (Integer i = 0; i < FWinControls->GetCount(); ++i)
        static_cast<TWinControl*>(FWinControls->Get(i))->UpdateShowing();
  }
  if (FHandle && FShowing != show) {
    FShowing = show;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      FShowing = !show;
      throw;
    }
  }
}

void TWinControl::CMShowingChanged(TMessage& message) {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& message) {
  if (!GetVisible() && FParent) RemoveFocus(false);
  if (!GetComponentState().Contains(csDesigning) || FControlStyle.Contains(csNoDesignVisible)) UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage& message) {
  if (!GetEnabled() && FParent) RemoveFocus(false);
  if (FHandle && !GetComponentState().Contains(csDesigning)) EnableWindow(FHandle, GetEnabled());
  Invalidate();
}

void TWinControl::CMColorChanged(TMessage& message) {
  Invalidate();
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& message) {
  Invalidate();
  if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->GetHandle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage& message) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

void TWinControl::CMCursorChanged(TMessage& message) {
  if (!FHandle) return;
  POINT p;
  GetCursorPos(&p);
  if (FindDragTarget(p, false) == this) Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(FHandle), HTCLIENT);
}

void TWinControl::CMInvalidate(TMessage& message) {
  if (!FHandle) return;
  if (FParent) FParent->Perform(CM_INVALIDATE, 1, 0);
  if (message.WParam == 0) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

// ---- Bounds and alignment -----

TRect TWinControl::GetClientRect() {
  RECT r;
  ::GetClientRect(GetHandle(), &r);
  return r;
}

TPoint TWinControl::GetClientOrigin() {
  POINT p{0, 0};
  ::ClientToScreen(GetHandle(), &p);
  return p;
}

void TWinControl::SetBounds(Integer left, Integer top, Integer width, Integer height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  if (!CheckNewSize(width, height)) return;
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  if (FHandle && !IsIconic(FHandle)) {
    SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    UpdateAnchorRules();
    RequestAlign();
  }
}

void TWinControl::UpdateBounds() {
  RECT r;
  GetWindowRect(FHandle, &r);
  if (GetWindowLongPtr(FHandle, GWL_STYLE) & WS_CHILD) {
    if (HWND parent = ::GetParent(FHandle)) MapWindowPoints(nullptr, parent, &r, 1);
  }
  FLeft = r.Left;
  FTop = r.Top;
  FWidth = r.Width();
  FHeight = r.Height();
  UpdateAnchorRules();
}

void TWinControl::WMWindowPosChangedWin(TMessage& message) {
  if (!FControlState.Contains(csDestroyingHandle) && FHandle) UpdateBounds();
  DefaultHandler(message);
}

void TWinControl::WMSize(TMessage& message) {
  if (FHandle) UpdateBounds();
  DefaultHandler(message);
  Realign();
  if (!GetComponentState().Contains(csLoading)) Resize();
}

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* control) {
  if (!FHandle || GetComponentState().Contains(csDestroying)) return;
  if (FAlignLevel != 0) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  try {
    TRect r = GetClientRect();
    AlignControls(control, r);
  } catch (...) {
    FControlState.Exclude(csAlignmentNeeded);
    EnableAlign();
    throw;
  }
  FControlState.Exclude(csAlignmentNeeded);
  EnableAlign();
}

void TWinControl::AdjustClientRect(TRect& rect) {
  rect.Left += FBorderWidth;
  rect.Top += FBorderWidth;
  rect.Right -= FBorderWidth;
  rect.Bottom -= FBorderWidth;
}

void TWinControl::AlignControls(TControl* control, TRect& rect) {
  bool work = false;
  for (Integer i = 0; i < GetControlCount() && !work; ++i) {
    TControl* c = GetControl(i);
    work = c->FAlign != alNone || !(c->FAnchors == TAnchors{akLeft, akTop});
  }
  if (work) {
    AdjustClientRect(rect);
    std::vector<TControl*> list;
    auto position = [&](TControl* c, TAlign align) {
      if (align == alNone) {
        if (c->FOriginalParentSize.X == 0 || c->FOriginalParentSize.Y == 0) return;
        Integer left = c->FLeft, top = c->FTop, width = c->FWidth, height = c->FHeight;
        const TPoint parentSize = FHandle ? GetClientRect().BottomRight() : TPoint{FWidth, FHeight};
        const TAnchors a = c->FAnchors;
        if (a.Contains(akRight)) {
          if (a.Contains(akLeft))
            width = parentSize.X - (c->FOriginalParentSize.X - c->FAnchorRules.X);
          else
            left = parentSize.X - (c->FOriginalParentSize.X - c->FAnchorRules.X);
        } else if (!a.Contains(akLeft)) {
          left = MulDiv(c->FAnchorRules.X, parentSize.X, c->FOriginalParentSize.X) - width / 2;
        }
        if (a.Contains(akBottom)) {
          if (a.Contains(akTop))
            height = parentSize.Y - (c->FOriginalParentSize.Y - c->FAnchorRules.Y);
          else
            top = parentSize.Y - (c->FOriginalParentSize.Y - c->FAnchorRules.Y);
        } else if (!a.Contains(akTop)) {
          top = MulDiv(c->FAnchorRules.Y, parentSize.Y, c->FOriginalParentSize.Y) - height / 2;
        }
        c->FControlState.Include(csAligning);
        c->FAnchorMove = true;
        c->SetBounds(left, top, width, height);
        c->FAnchorMove = false;
        c->FControlState.Exclude(csAligning);
        return;
      }
      Integer width = rect.Width();
      if (width < 0 || align == alLeft || align == alRight || align == alCustom) width = c->FWidth;
      Integer height = rect.Height();
      if (height < 0 || align == alTop || align == alBottom || align == alCustom) height = c->FHeight;
      Integer left = rect.Left, top = rect.Top;
      switch (align) {
        case alTop: rect.Top += height; break;
        case alBottom:
          rect.Bottom -= height;
          top = rect.Bottom;
          break;
        case alLeft: rect.Left += width; break;
        case alRight:
          rect.Right -= width;
          left = rect.Right;
          break;
        case alCustom:
          left = c->FLeft;
          top = c->FTop;
          break;
        default: break;
      }
      c->FAnchorMove = true;
      c->SetBounds(left, top, width, height);
      c->FAnchorMove = false;
      // A control that did not take the size asked for leaves the rest to the others.
      switch (align) {
        case alTop: rect.Top -= height - c->FHeight; break;
        case alBottom: rect.Bottom += height - c->FHeight; break;
        case alLeft: rect.Left -= width - c->FWidth; break;
        case alRight: rect.Right += width - c->FWidth; break;
        case alClient:
          rect.Right += width - c->FWidth;
          rect.Bottom += height - c->FHeight;
          break;
        default: break;
      }
    };
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone}) {
      list.clear();
      if (control && control->FAlign == align && (align == alNone || control->FVisible)) list.push_back(control);
      for (Integer i = 0; i < GetControlCount(); ++i) {
        TControl* c = GetControl(i);
        if (c == control || c->FAlign != align) continue;
        if (align != alNone && !c->FVisible) continue;
        std::size_t j = 0;
        while (j < list.size() && !InsertBefore(c, list[j], align)) ++j;
        list.insert(list.begin() + std::ptrdiff_t(j), c);
      }
      for (TControl* c : list) position(c, align);
    }
  }
  if (FShowing) AdjustSize();
}

void TWinControl::AdjustSize() {
  if (!GetComponentState().Contains(csLoading) && FHandle) {
    SetWindowPos(FHandle, nullptr, 0, 0, FWidth, FHeight, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOZORDER);
    RequestAlign();
  }
}

bool TWinControl::CanAutoSize(Integer& newWidth, Integer& newHeight) {
  // The children's extent, as far as they are not aligned to a side that follows this size.
  if (GetControlCount() == 0) return true;
  Integer right = 0, bottom = 0;
  for (Integer i = 0; i < GetControlCount(); ++i) {
    TControl* c = GetControl(i);
    if (!c->FVisible || c->FAlign == alClient) continue;
    right = std::max(right, c->FLeft + c->FWidth);
    bottom = std::max(bottom, c->FTop + c->FHeight);
  }
  TRect client = FHandle ? GetClientRect() : TRect{0, 0, FWidth, FHeight};
  newWidth = FWidth - client.Width() + right + FBorderWidth;
  newHeight = FHeight - client.Height() + bottom + FBorderWidth;
  return true;
}

void TWinControl::ChangeScale(Integer m, Integer d) {
  DisableAlign();
  for (Integer i = 0; i < GetControlCount(); ++i) GetControl(i)->ChangeScale(m, d);
  inherited::ChangeScale(m, d);
  EnableAlign();
}

void TWinControl::SetZOrder(bool topMost) {
  if (!FParent || !FParent->FWinControls) return;
  TList* list = FParent->FWinControls;
  const Integer i = list->IndexOf(this);
  if (i < 0) return;
  list->Delete(i);
  list->Insert(topMost ? list->GetCount() : 0, this);
  if (FHandle) SetWindowPos(FHandle, topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TWinControl::SetBorderWidth(TBorderWidth value) {
  if (value == FBorderWidth) return;
  FBorderWidth = value;
  Realign();
  Invalidate();
}

void TWinControl::SetParentBackground(bool value) {
  if (value == GetParentBackground()) return;
  SetParentBackgroundFlag(value);
  Invalidate();
}

void TWinControl::SetParentBackgroundFlag(bool value) {
  if (value)
    FControlStyle.Include(csParentBackground);
  else
    FControlStyle.Exclude(csParentBackground);
}

// ---- Children -----

Integer TWinControl::GetControlCount() const {
  return (FControls ? FControls->GetCount() : 0) + (FWinControls ? FWinControls->GetCount() : 0);
}

TControl* TWinControl::GetControl(Integer index) const {
  const Integer n = FControls ? FControls->GetCount() : 0;
  if (index < n) return static_cast<TControl*>(FControls->Get(index));
  if (!FWinControls) throw EListError("List index out of bounds");
  return static_cast<TControl*>(FWinControls->Get(index - n));
}

void TWinControl::Insert(TControl* control) {
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    ListAdd(FWinControls, win);
    ListAdd(FTabList, win);
  } else {
    ListAdd(FControls, control);
  }
  control->FParent = this;
}

void TWinControl::Remove(TControl* control) {
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    ListRemove(FTabList, win);
    ListRemove(FWinControls, win);
  } else {
    ListRemove(FControls, control);
  }
  control->FParent = nullptr;
}

void TWinControl::InsertControl(TControl* control) {
  if (!control) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
  Insert(control);
  if (!control->GetComponentState().Contains(csReading)) {
    control->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    control->Perform(CM_PARENTFONTCHANGED, 0, 0);
    control->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (auto* win = dynamic_cast<TWinControl*>(control))
      win->UpdateControlState();
    else if (FHandle)
      control->Invalidate();
    AlignControl(control);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control), 0);
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    win->RemoveFocus(true);
    win->DestroyHandle();
  } else if (FHandle) {
    control->InvalidateControl(control->FVisible, false);
  }
  Remove(control);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
  Realign();
}

bool TWinControl::ContainsControl(TControl* control) const {
  while (control && control != this) control = control->FParent;
  return control == this;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) {
  auto hit = [&](TControl* c) {
    if (!(c->FVisible || (c->GetComponentState().Contains(csDesigning) && !c->FControlStyle.Contains(csNoDesignVisible))))
      return false;
    if (!(c->FEnabled || allowDisabled)) return false;
    const TPoint p{pos.X - c->FLeft, pos.Y - c->FTop};
    if (p.X < 0 || p.Y < 0 || p.X >= c->FWidth || p.Y >= c->FHeight) return false;
    return c->Perform(CM_HITTEST, 0, MAKELPARAM(p.X, p.Y)) != 0;
  };
  if (allowWinControls && FWinControls)
    for (Integer i = FWinControls->GetCount() - 1; i >= 0; --i) {
      auto* c = static_cast<TControl*>(FWinControls->Get(i));
      if (hit(c)) return c;
    }
  if (FControls)
    for (Integer i = FControls->GetCount() - 1; i >= 0; --i) {
      auto* c = static_cast<TControl*>(FControls->Get(i));
      if (hit(c)) return c;
    }
  return nullptr;
}

TControl* TWinControl::FindChildControl(const AnsiString& controlName) const {
  for (Integer i = 0; i < GetControlCount(); ++i)
    if (SameText(GetControl(i)->GetName(), controlName)) return GetControl(i);
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  for (Integer i = 0; i < GetControlCount(); ++i) {
    TControl* c = GetControl(i);
    if (!c->FWindowProc) continue;
    c->EnterDispatch();
    try {
      c->FWindowProc(message);
    } catch (...) {
      c->LeaveDispatch();
      throw;
    }
    c->LeaveDispatch();
    if (message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  TMessage m;
  m.Msg = msg;
  Broadcast(m);
}

void TWinControl::ShowControl(TControl* control) {
  if (FParent) FParent->ShowControl(this);
}

// ---- Focus and tab order -----

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (TControl* c = this; c != form; c = c->FParent)
    if (!c || !c->FVisible || !c->FEnabled) return false;
  return true;
}

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this))
    form->FocusControl(this);
  else if (FParentWindow)
    ::SetFocus(GetHandle());
  else
    ValidParentForm(this);
}

void TWinControl::RemoveFocus(bool removing) {
  if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, removing);
}

TTabOrder TWinControl::GetTabOrder() const {
  return FParent && FParent->FTabList ? TTabOrder(FParent->FTabList->IndexOf(const_cast<TWinControl*>(this))) : TTabOrder(-1);
}

void TWinControl::SetTabOrder(TTabOrder value) {
  if (!FParent || !FParent->FTabList) return;
  TList* list = FParent->FTabList;
  const Integer cur = list->IndexOf(this);
  if (cur < 0) return;
  Integer target = value;
  if (target < 0 || target >= list->GetCount()) target = list->GetCount() - 1;
  if (target != cur) list->Move(cur, target);
}

void TWinControl::SetTabStop(bool value) {
  if (value == FTabStop) return;
  FTabStop = value;
  if (FHandle) {
    LONG_PTR style = GetWindowLongPtr(FHandle, GWL_STYLE);
    SetWindowLongPtr(FHandle, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(TList* list) {
  if (!FTabList) return;
  for (Integer i = 0; i < FTabList->GetCount(); ++i) {
    auto* c = static_cast<TWinControl*>(FTabList->Get(i));
    list->Add(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* curControl, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  TWinControl* result = nullptr;
  std::unique_ptr<TList, orv::FreeDeleter> list(new TList);
  GetTabOrderList(list.get());
  const Integer count = list->GetCount();
  if (count == 0) return nullptr;
  Integer start = list->IndexOf(curControl);
  if (start < 0) start = goForward ? count - 1 : 0;
  Integer i = start;
  do {
    if (goForward) {
      if (++i == count) i = 0;
    } else {
      if (i == 0) i = count;
      --i;
    }
    auto* c = static_cast<TWinControl*>(list->Get(i));
    if (c->CanFocus() && (!checkTabStop || c->FTabStop) && (!checkParent || c->FParent == this)) result = c;
  } while (!result && i != start);
  return result;
}

void TWinControl::SelectNext(TWinControl* curControl, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(curControl, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::SelectFirst() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return;
  TWinControl* c = FindNextControl(nullptr, true, true, false);
  if (!c) c = FindNextControl(nullptr, true, false, false);
  if (c) c->SetFocus();
}

void TWinControl::WMSetFocus(TMessage& message) { DefaultHandler(message); }

void TWinControl::WMKillFocus(TMessage& message) { DefaultHandler(message); }

void TWinControl::CMEnter(TMessage& message) { DoEnter(); }

void TWinControl::CMExit(TMessage& message) { DoExit(); }

void TWinControl::DoEnter() {
  if (FOnEnter) FOnEnter(this);
}

void TWinControl::DoExit() {
  if (FOnExit) FOnExit(this);
}

// ---- Keys -----

void TWinControl::KeyDown(Word& key, TShiftState shift) {
  if (FOnKeyDown) FOnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (FOnKeyPress) FOnKeyPress(this, key);
}

void TWinControl::KeyUp(Word& key, TShiftState shift) {
  if (FOnKeyUp) FOnKeyUp(this, key, shift);
}

bool TWinControl::DoKey(TMessage& message, bool down) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->GetKeyPreview() && form->DoKey(message, down)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    Word key = Word(message.WParam);
    if (down)
      KeyDown(key, KeyDataToShiftState(message.LParam));
    else
      KeyUp(key, KeyDataToShiftState(message.LParam));
    message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyDown(TMessage& message) { return DoKey(message, true); }

bool TWinControl::DoKeyPress(TMessage& message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->GetKeyPreview() && form->DoKeyPress(message)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    char ch = char(message.WParam);
    KeyPress(ch);
    message.WParam = WPARAM(Byte(ch));
    if (ch == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& message) { return DoKey(message, false); }

void TWinControl::WMKeyDown(TMessage& message) {
  if (!DoKeyDown(message)) DefaultHandler(message);
}

void TWinControl::WMSysKeyDown(TMessage& message) {
  if (!DoKeyDown(message)) DefaultHandler(message);
}

void TWinControl::WMKeyUp(TMessage& message) {
  if (!DoKeyUp(message)) DefaultHandler(message);
}

void TWinControl::WMSysKeyUp(TMessage& message) {
  if (!DoKeyUp(message)) DefaultHandler(message);
}

void TWinControl::WMChar(TMessage& message) {
  if (!DoKeyPress(message)) DefaultHandler(message);
}

bool TWinControl::IsMenuKey(TMessage& message) {
  if (!GetComponentState().Contains(csDesigning)) {
    const TShortCut shortCut = ShortCutFromMessage(message.WParam);
    for (TControl* c = this; c; c = c->FParent)
      if (TPopupMenu* menu = c->GetPopupMenuComponent())
        if (menu->IsShortCut(shortCut)) return true;
    TCustomForm* form = GetParentForm(this);
    if (form && form->IsShortCut(message)) return true;
  }
  return Application && Application->IsShortCut(message);
}

void TWinControl::CNKeyDown(TMessage& message) {
  message.Result = 1;
  if (IsMenuKey(message)) return;
  if (!GetComponentState().Contains(csDesigning)) {
    if (Perform(CM_CHILDKEY, message.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
    LRESULT mask = 0;
    switch (message.WParam) {
      case VK_TAB: mask = DLGC_WANTTAB; break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN: mask = DLGC_WANTARROWS; break;
      case VK_RETURN:
      case VK_EXECUTE:
      case VK_ESCAPE:
      case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
      default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, message.WParam, 0) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
      TCustomForm* form = GetParentForm(this);
      if (form && form->Perform(CM_DIALOGKEY, message.WParam, message.LParam) != 0) return;
    }
  }
  message.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& message) {
  if (GetComponentState().Contains(csDesigning)) return;
  switch (message.WParam) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: message.Result = Perform(CM_WANTSPECIALKEY, message.WParam, 0); break;
    default: break;
  }
}

void TWinControl::CNChar(TMessage& message) {
  if (GetComponentState().Contains(csDesigning)) return;
  message.Result = 1;
  TCustomForm* form = GetParentForm(this);
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && form &&
      form->Perform(CM_DIALOGCHAR, message.WParam, message.LParam) != 0)
    return;
  message.Result = 0;
}

void TWinControl::CNSysKeyDown(TMessage& message) {
  message.Result = 1;
  if (IsMenuKey(message)) return;
  if (!GetComponentState().Contains(csDesigning)) {
    if (Perform(CM_CHILDKEY, message.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
    TCustomForm* form = GetParentForm(this);
    if (form && form->Perform(CM_DIALOGKEY, message.WParam, message.LParam) != 0) return;
  }
  message.Result = 0;
}

void TWinControl::CNSysChar(TMessage& message) {
  if (GetComponentState().Contains(csDesigning) || message.WParam == WPARAM(VK_SPACE)) return;
  if (TCustomForm* form = GetParentForm(this))
    message.Result = form->Perform(CM_DIALOGCHAR, message.WParam, message.LParam);
}

void TWinControl::CMDialogKey(TMessage& message) { Broadcast(message); }

void TWinControl::CMDialogChar(TMessage& message) { Broadcast(message); }

// ---- Reflected notifications -----

void TWinControl::WMCommand(TMessage& message) {
  if (TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam))) {
    message.Result = child->Perform(CN_COMMAND, message.WParam, message.LParam);
    return;
  }
  DefaultHandler(message);
}

void TWinControl::WMNotify(TMessage& message) { DefaultHandler(message); }

void TWinControl::WMDrawItem(TMessage& message) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
  if (item) {
    if (TWinControl* child = FindControl(item->hwndItem)) {
      message.Result = child->Perform(CN_DRAWITEM, message.WParam, message.LParam);
      return;
    }
  }
  DefaultHandler(message);
}

void TWinControl::WMMeasureItem(TMessage& message) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
  if (item && item->CtlType != ODT_MENU) {
    // The item's window is the child whose identifier is the control identifier.
    for (Integer i = 0; i < GetControlCount(); ++i) {
      auto* c = dynamic_cast<TWinControl*>(GetControl(i));
      if (c && c->FHandle && UINT(GetWindowLongPtr(c->FHandle, GWLP_ID)) == item->CtlID) {
        message.Result = c->Perform(CN_MEASUREITEM, message.WParam, message.LParam);
        return;
      }
    }
  }
  DefaultHandler(message);
}

void TWinControl::WMScroll(TMessage& message) {
  if (message.LParam) {
    if (TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam))) {
      message.Result = child->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
      return;
    }
  }
  DefaultHandler(message);
}

void TWinControl::WMMouseWheelWin(TMessage& message) {
  inherited::Dispatch(message);
}

// ---- Cursor -----

void TWinControl::WMSetCursor(TMessage& message) {
  if (reinterpret_cast<HWND>(message.WParam) == FHandle && SHORT(LOWORD(std::uintptr_t(message.LParam))) == HTCLIENT) {
    TCursor cursor = Screen ? Screen->GetCursor() : crDefault;
    if (cursor == crDefault) {
      POINT p;
      GetCursorPos(&p);
      TControl* control = ControlAtPos(ScreenToClient(p), false);
      if (control) cursor = control->GetCursor();
      if (cursor == crDefault) cursor = GetCursor();
    }
    if (cursor != crDefault && Screen) {
      ::SetCursor(Screen->GetCursors(cursor));
      message.Result = 1;
      return;
    }
  }
  DefaultHandler(message);
}

// ---- Painting -----

void TWinControl::WMEraseBkgnd(TMessage& message) {
  if (!FDoubleBuffered || message.WParam == WPARAM(message.LParam)) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    const RECT r = GetClientRect();
    FillRect(dc, &r, FBrush->GetHandle());
  }
  message.Result = 1;
}

bool TWinControl::IsControlMouseMsg(TMessage& message) {
  TControl* control = nullptr;
  if (FHandle && GetCapture() == FHandle) {
    if (gCaptureControl && gCaptureControl->FParent == this) control = gCaptureControl;
  } else {
    control = ControlAtPos(MessagePos(message), false);
  }
  if (!control) return false;
  const TPoint p = MessagePos(message);
  message.Result = control->Perform(message.Msg, message.WParam, MAKELPARAM(p.X - control->FLeft, p.Y - control->FTop));
  return true;
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage m;
  m.Msg = WM_PAINT;
  m.WParam = reinterpret_cast<WPARAM>(dc);
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  if (!FControls) return;
  Integer i = 0;
  if (first) {
    i = FControls->IndexOf(first);
    if (i < 0) i = 0;
  }
  for (; i < (FControls ? FControls->GetCount() : 0); ++i) {
    auto* c = static_cast<TControl*>(FControls->Get(i));
    if (!c->FVisible) continue;
    const RECT r = c->GetBoundsRect();
    if (!RectVisible(dc, &r)) continue;
    if (FControlState.Contains(csPaintCopy)) c->FControlState.Include(csPaintCopy);
    const int saved = SaveDC(dc);
    MoveWindowOrg(dc, c->FLeft, c->FTop);
    IntersectClipRect(dc, 0, 0, c->FWidth, c->FHeight);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
    c->FControlState.Exclude(csPaintCopy);
  }
}

void TWinControl::PaintHandler(TMessage& message) {
  PAINTSTRUCT ps;
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(FHandle, &ps);
  if (!FControls) {
    PaintWindow(dc);
  } else {
    const int saved = SaveDC(dc);
    int clip = SIMPLEREGION;
    for (Integer i = 0; i < FControls->GetCount(); ++i) {
      auto* c = static_cast<TControl*>(FControls->Get(i));
      if (c->FVisible && c->FControlStyle.Contains(csOpaque)) {
        clip = ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
        if (clip == NULLREGION) break;
      }
    }
    if (clip != NULLREGION) PaintWindow(dc);
    RestoreDC(dc, saved);
  }
  PaintControls(dc, nullptr);
  if (own) EndPaint(FHandle, &ps);
}

void TWinControl::WMPaint(TMessage& message) {
  if (!FDoubleBuffered || message.WParam != 0) {
    if (!FControlState.Contains(csCustomPaint) && GetControlCount() == 0)
      DefaultHandler(message);
    else
      PaintHandler(message);
    return;
  }
  // Double buffered: the whole client area is painted into a bitmap first.
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  const RECT client = GetClientRect();
  HDC memDC = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(1, client.Right), std::max(1, client.Bottom));
  HGDIOBJ old = SelectObject(memDC, bitmap);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), reinterpret_cast<LPARAM>(memDC));
  TMessage paint;
  paint.Msg = WM_PAINT;
  paint.WParam = reinterpret_cast<WPARAM>(memDC);
  WMPaint(paint);
  BitBlt(dc, 0, 0, client.Right, client.Bottom, memDC, 0, 0, SRCCOPY);
  SelectObject(memDC, old);
  DeleteObject(bitmap);
  DeleteDC(memDC);
  EndPaint(FHandle, &ps);
}

void TWinControl::PaintTo(HDC dc, Integer x, Integer y) {
  const int saved = SaveDC(dc);
  SetViewportOrgEx(dc, x, y, nullptr);
  IntersectClipRect(dc, 0, 0, FWidth, FHeight);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  RestoreDC(dc, saved);
  if (FWinControls)
    for (Integer i = 0; i < FWinControls->GetCount(); ++i) {
      auto* c = static_cast<TWinControl*>(FWinControls->Get(i));
      if (c->FVisible) c->PaintTo(dc, x + c->FLeft, y + c->FTop);
    }
}

HDC TWinControl::GetDeviceContext(HWND& windowHandle) {
  windowHandle = GetHandle();
  return GetDC(windowHandle);
}

void TWinControl::GetChildren(TGetChildProc proc, TComponent* root) {
  for (Integer i = 0; i < GetControlCount(); ++i) {
    TControl* control = GetControl(i);
    if (control->GetOwner() == root) proc(control);
  }
}

// ---- TControlCanvas ---------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* value) {
  if (value == FControl) return;
  FreeHandle();
  FControl = value;
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  if (!FDeviceContext) {
    FDeviceContext = FControl->GetDeviceContext(FWindowHandle);
    gCanvasList.push_back(this);
  }
  SetHandle(FDeviceContext);
  UpdateTextFlags();
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  SetHandle(nullptr);
  ReleaseDC(FWindowHandle, FDeviceContext);
  FDeviceContext = nullptr;
  gCanvasList.erase(std::remove(gCanvasList.begin(), gCanvasList.end(), this), gCanvasList.end());
}

// ---- TGraphicControl --------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {
  auto* canvas = new TControlCanvas;
  canvas->SetControl(this);
  FCanvas = canvas;
}

TGraphicControl::~TGraphicControl() { FCanvas->Free(); }

void TGraphicControl::Dispatch(TMessage& message) {
  if (message.Msg == WM_PAINT) {
    if (message.WParam) {
      orv::TCanvasPaintScope scope(FCanvas, reinterpret_cast<HDC>(message.WParam));
      Paint();
    }
    return;
  }
  inherited::Dispatch(message);
}

// ---- TCustomControl ---------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {
  auto* canvas = new TControlCanvas;
  canvas->SetControl(this);
  FCanvas = canvas;
}

TCustomControl::~TCustomControl() { FCanvas->Free(); }

void TCustomControl::Dispatch(TMessage& message) {
  if (message.Msg == WM_PAINT) {
    FControlState.Include(csCustomPaint);
    try {
      inherited::Dispatch(message);
    } catch (...) {
      FControlState.Exclude(csCustomPaint);
      throw;
    }
    FControlState.Exclude(csCustomPaint);
    return;
  }
  inherited::Dispatch(message);
}

void TCustomControl::PaintWindow(HDC dc) {
  orv::TCanvasPaintScope scope(FCanvas, dc);
  Paint();
}

// ---- Hints ------------------------------------------------------------------------------------

THintWindowClass HintWindowClass = THintWindow::StaticClass();

AnsiString GetShortHint(const AnsiString& hint) {
  const std::size_t bar = hint.find('|');
  return bar == AnsiString::npos ? hint : hint.substr(0, bar);
}

AnsiString GetLongHint(const AnsiString& hint) {
  const std::size_t bar = hint.find('|');
  return bar == AnsiString::npos ? hint : hint.substr(bar + 1);
}

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetColor(clInfoBk);
  GetCanvas()->SetFont(Screen->GetHintFont());
  GetFont()->Assign(Screen->GetHintFont());
  TControl::SetVisible(false);
}

void THintWindow::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  params.WindowClass.style |= CS_SAVEBITS | CS_DROPSHADOW;
  params.WndParent = nullptr;
}

void THintWindow::Paint() {
  TCanvas* c = GetCanvas();
  c->SetFont(GetFont());
  c->GetFont()->SetColor(Screen->GetHintFont()->GetColor());
  RECT r = GetClientRect();
  c->GetBrush()->SetColor(GetColor());
  c->FillRect(r);
  r.Left += 2;
  r.Top += 2;
  SetBkMode(c->GetHandle(), TRANSPARENT);
  const AnsiString text = GetText();
  DrawText(c->GetHandle(), text.c_str(), -1, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

TRect THintWindow::CalcHintRect(Integer maxWidth, const AnsiString& hint, void* data) {
  RECT r{0, 0, maxWidth, 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
  DrawText(dc, hint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHint(TRect rect, const AnsiString& hint) {
  SetCaption(hint);
  rect.Bottom += 4;
  rect.Right += 2;
  const Integer w = rect.Width(), h = rect.Height();
  const TRect desk = Screen->GetDesktopRect();
  if (rect.Top + h > desk.Bottom) rect.Top = desk.Bottom - h;
  if (rect.Left + w > desk.Right) rect.Left = desk.Right - w;
  if (rect.Left < desk.Left) rect.Left = desk.Left;
  if (rect.Top < desk.Top) rect.Top = desk.Top;
  SetBounds(rect.Left, rect.Top, w, h);
  SetWindowPos(GetHandle(), HWND_TOPMOST, rect.Left, rect.Top, w, h, SWP_NOACTIVATE);
  ShowWindow(FHandle, SW_SHOWNOACTIVATE);
  Invalidate();
}

bool THintWindow::IsHintMsg(const MSG& msg) {
  const UINT m = msg.message;
  return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || m == CM_ACTIVATE || m == CM_DEACTIVATE ||
         m == CM_APPKEYDOWN || m == CM_APPSYSCOMMAND || m == WM_COMMAND ||
         (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) || m == WM_NCMOUSEMOVE;
}

void THintWindow::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST: message.Result = HTTRANSPARENT; return;
    case WM_NCPAINT: {
      HDC dc = GetWindowDC(FHandle);
      RECT r{0, 0, GetWidth(), GetHeight()};
      DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
      ReleaseDC(FHandle, dc);
      return;
    }
    default: break;
  }
  inherited::Dispatch(message);
}

// ---- TMouse -----------------------------------------------------------------------------------

HWND TMouse::GetCapture() const { return ::GetCapture(); }

void TMouse::SetCapture(HWND value) {
  if (value)
    ::SetCapture(value);
  else
    ReleaseCapture();
}

TPoint TMouse::GetCursorPos() const {
  POINT p;
  ::GetCursorPos(&p);
  return p;
}

void TMouse::SetCursorPos(TPoint value) { ::SetCursorPos(value.X, value.Y); }

Integer TMouse::GetWheelScrollLines() const {
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return Integer(lines);
}

// ---- Form descriptions ------------------------------------------------------------------------

namespace {

const orv::EnumNames<TAlign> kAlignNames("TAlign",
                                         {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
const orv::EnumNames<TAnchorKind> kAnchorKindNames("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"});
const orv::EnumNames<TShiftStateItem> kShiftStateNames("TShiftState", {"ssShift", "ssAlt", "ssCtrl", "ssLeft",
                                                                       "ssRight", "ssMiddle", "ssDouble"});
const orv::EnumNames<TMouseButton> kMouseButtonNames("TMouseButton", {"mbLeft", "mbRight", "mbMiddle"});
const orv::EnumNames<TDragMode> kDragModeNames("TDragMode", {"dmManual", "dmAutomatic"});
const orv::EnumNames<TDragKind> kDragKindNames("TDragKind", {"dkDrag", "dkDock"});
const orv::EnumNames<TScrollStyle> kScrollStyleNames("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
const orv::EnumNames<TFormBorderStyle> kBorderStyleNames(
    "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
const orv::EnumNames<TAlignment> kAlignmentNames("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});

// Cursors are written by name where the platform names them.
const bool kCursorIdents = (orv::RegisterIntegerIdents("TCursor", {{crDefault, "crDefault"},
                                                                   {crNone, "crNone"},
                                                                   {crArrow, "crArrow"},
                                                                   {crCross, "crCross"},
                                                                   {crIBeam, "crIBeam"},
                                                                   {crSizeNESW, "crSizeNESW"},
                                                                   {crSizeNS, "crSizeNS"},
                                                                   {crSizeNWSE, "crSizeNWSE"},
                                                                   {crSizeWE, "crSizeWE"},
                                                                   {crUpArrow, "crUpArrow"},
                                                                   {crHourGlass, "crHourGlass"},
                                                                   {crDrag, "crDrag"},
                                                                   {crNoDrop, "crNoDrop"},
                                                                   {crHSplit, "crHSplit"},
                                                                   {crVSplit, "crVSplit"},
                                                                   {crMultiDrag, "crMultiDrag"},
                                                                   {crSQLWait, "crSQLWait"},
                                                                   {crNo, "crNo"},
                                                                   {crAppStart, "crAppStart"},
                                                                   {crHelp, "crHelp"},
                                                                   {crHandPoint, "crHandPoint"},
                                                                   {crSizeAll, "crSizeAll"}}),
                            true);

}  // namespace

ORV_PUBLISH(TSizeConstraints) {
  using T = TSizeConstraints;
  p.Property("MaxHeight", &T::GetMaxHeight, &T::SetMaxHeight).Default(0);
  p.Property("MaxWidth", &T::GetMaxWidth, &T::SetMaxWidth).Default(0);
  p.Property("MinHeight", &T::GetMinHeight, &T::SetMinHeight).Default(0);
  p.Property("MinWidth", &T::GetMinWidth, &T::SetMinWidth).Default(0);
}

// The control publishes its bounds, cursor and hint; every other property is published by the
// concrete classes that show it (ControlProperties.h).
ORV_PUBLISH(TControl) {
  using T = TControl;
  p.Property("Left", &T::GetLeft, &T::SetLeft);
  p.Property("Top", &T::GetTop, &T::SetTop);
  p.Property("Width", &T::GetWidth, &T::SetWidth);
  p.Property("Height", &T::GetHeight, &T::SetHeight);
  p.Property("Cursor", &T::GetCursor, &T::SetCursor).Kind("TCursor").Default(crDefault);
  p.Property("Hint", &T::GetHint, &T::SetHint).Stored(&orv::IsControlHintStored);
  p.Property("HelpContext", &T::GetHelpContext, &T::SetHelpContext).Default(0);
}

ORV_PUBLISH(TWinControl) {}
ORV_PUBLISH(TGraphicControl) {}
ORV_PUBLISH(TCustomControl) {}
