#include "components/foundation/cxControlsBase.h"

#include <algorithm>
#include <cstdlib>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

constexpr UINT_PTR kMiddleButtonTimerInterval = 20;
// The message coordinates are 16-bit: larger controls read the point from the cursor.
constexpr Integer kMaxMessageCoordinate = 32768;

// Keeps a link on an object for the length of a scope.
class TLinkGuard {
 public:
  explicit TLinkGuard(TObject* object) : FLink(CreateObjectLink(object)) {}
  ~TLinkGuard() { ReleaseObjectLink(FLink); }
  TLinkGuard(const TLinkGuard&) = delete;
  TLinkGuard& operator=(const TLinkGuard&) = delete;
  Boolean Alive() const { return FLink && FLink->Ref; }

 private:
  TcxObjectLink* FLink;
};

TPoint MessagePoint(TControl* control, const TMessage& message) {
  if (control->GetWidth() > kMaxMessageCoordinate || control->GetHeight() > kMaxMessageCoordinate)
    return control->ScreenToClient(SafeGetCursorPos());
  return {GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
}

Boolean IsKeyDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

}  // namespace

// ==== Internal drag and drop ==================================================================

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

// ==== Platform drag ===========================================================================

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

// ==== Scroll bars of the control ==============================================================

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
  TcxCanvas canvas(TCustomControl::GetCanvas()->GetHandle());
  canvas.FillRect(Rect(0, 0, GetWidth(), GetHeight()),
                  FLookAndFeel->CurrentPainter()->DefaultSizeGripAreaColor());
}

// ==== The base control ========================================================================

TcxControl::TcxControl(TComponent* owner) : TCustomControl(owner) {
  FCanvas = new TcxCanvas(nullptr);
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

TcxCanvas* TcxControl::GetCanvas() {
  if (HandleAllocated()) FCanvas->SetDCHandle(TCustomControl::GetCanvas()->GetHandle());
  return FCanvas;
}

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
  FCanvas->SetFontHandle(GetFont()->GetHandle());
  FCanvas->SetFontColor(GetFont()->GetColor());
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
  FCanvas->SetDCHandle(TCustomControl::GetCanvas()->GetHandle());
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
  dragImages->SetWidth(size.cx);
  dragImages->SetHeight(size.cy);
  if (size.cx == 0 || size.cy == 0) return;
  std::unique_ptr<TBitmap, orv::FreeDeleter> bitmap(new TBitmap);
  bitmap->SetSize(size.cx, size.cy);
  TcxCanvas canvas(bitmap->GetCanvas()->GetHandle());
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
  GetSettingsController()->AddListener(this);
}

void TcxControl::DestroyScrollBars() {
  if (!FSizeGrip) return;
  GetSettingsController()->RemoveListener(this);
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
      if (HandleAllocated() && !IsDestroying())
        InvalidateControlAndChildren(this, message.WParam == 0, NeedsRedrawOnResize());
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

// ==== Child components ========================================================================

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
