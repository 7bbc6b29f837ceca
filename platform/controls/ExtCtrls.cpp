#include "platform/controls/ExtCtrls.h"

#include <algorithm>

#include "platform/controls/ControlProperties.h"
#include "platform/controls/Forms.h"
#include "platform/windowing/User.h"

// ---- TTimer -----------------------------------------------------------------------------------

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() = default;

void TTimer::BeforeDestruction() {
  Destroying();
  FEnabled = false;
  UpdateTimer();
  if (FWindowHandle && IsWindow(FWindowHandle)) DeallocateHWnd(FWindowHandle);
  FWindowHandle = nullptr;
  inherited::BeforeDestruction();
}

void TTimer::UpdateTimer() {
  if (FWindowHandle && IsWindow(FWindowHandle)) KillTimer(FWindowHandle, 1);
  if (FInterval == 0 || !FEnabled || !FOnTimer || GetComponentState().Contains(csDestroying)) return;
  if (!FWindowHandle || !IsWindow(FWindowHandle)) FWindowHandle = AllocateHWnd(TWndMethod(this, &TTimer::WndProc));
  if (!SetTimer(FWindowHandle, 1, FInterval, nullptr)) throw EOutOfMemory("Not enough timers available");
}

void TTimer::WndProc(TMessage& message) {
  if (message.Msg == WM_TIMER) {
    try {
      Timer();
    } catch (...) {
      Application->HandleException(this);
    }
    return;
  }
  message.Result = DefWindowProc(FWindowHandle, message.Msg, message.WParam, message.LParam);
}

void TTimer::Timer() {
  if (FOnTimer) FOnTimer(this);
}

void TTimer::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal value) {
  if (value == FInterval) return;
  FInterval = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent value) {
  FOnTimer = value;
  UpdateTimer();
}

// ---- TImage -----------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner), FPicture(new TPicture) {
  FControlStyle.Include(csReplicatable);
  FPicture->SetOnChange(TNotifyEvent(this, &TImage::PictureChanged));
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->Free(); }

TCanvas* TImage::GetCanvas() {
  if (!FPicture->GetGraphic()) {
    TBitmap* bitmap = FPicture->GetBitmap();
    bitmap->SetSize(GetWidth(), GetHeight());
  }
  auto* bitmap = dynamic_cast<TBitmap*>(FPicture->GetGraphic());
  if (!bitmap) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  return bitmap->GetCanvas();
}

TRect TImage::DestRect() {
  Integer w = FPicture->GetWidth(), h = FPicture->GetHeight();
  const Integer cw = GetWidth(), ch = GetHeight();
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      const double xyaspect = double(w) / h;
      if (w > h) {
        w = cw;
        h = Integer(cw / xyaspect);
        if (h > ch) {
          h = ch;
          w = Integer(ch * xyaspect);
        }
      } else {
        h = ch;
        w = Integer(ch * xyaspect);
        if (w > cw) {
          w = cw;
          h = Integer(cw / xyaspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (FCenter) {
    const Integer dx = (cw - w) / 2, dy = (ch - h) / 2;
    r = {dx, dy, dx + w, dy + h};
  }
  return r;
}

void TImage::Paint() {
  if (GetComponentState().Contains(csDesigning)) {
    TCanvas* c = TGraphicControl::GetCanvas();
    c->GetPen()->SetStyle(psDash);
    c->GetBrush()->SetStyle(bsClear);
    c->Rectangle(0, 0, GetWidth(), GetHeight());
  }
  FDrawing = true;
  try {
    if (TGraphic* g = FPicture->GetGraphic()) TGraphicControl::GetCanvas()->StretchDraw(DestRect(), g);
  } catch (...) {
    FDrawing = false;
    throw;
  }
  FDrawing = false;
}

void TImage::PictureChanged(TObject* sender) {
  if (TGraphic* g = FPicture->GetGraphic()) {
    if (!dynamic_cast<TBitmap*>(g) || !static_cast<TBitmap*>(g)->GetTransparent() || !FTransparent)
      g->SetTransparent(FTransparent);
    if (GetAutoSize() && g->GetWidth() > 0 && g->GetHeight() > 0) SetBounds(GetLeft(), GetTop(), g->GetWidth(), g->GetHeight());
  }
  if (FTransparent && !FPicture->GetGraphic())
    FControlStyle.Exclude(csOpaque);
  else if (!FTransparent && FPicture->GetGraphic() && DestRect() == GetClientRect())
    FControlStyle.Include(csOpaque);
  else
    FControlStyle.Exclude(csOpaque);
  if (!FDrawing) Invalidate();
}

bool TImage::CanAutoSize(Integer& newWidth, Integer& newHeight) {
  if (FPicture->GetWidth() > 0 && FPicture->GetHeight() > 0) {
    newWidth = FPicture->GetWidth();
    newHeight = FPicture->GetHeight();
  }
  return true;
}

void TImage::SetCenter(bool value) {
  if (value == FCenter) return;
  FCenter = value;
  PictureChanged(this);
}

void TImage::SetStretch(bool value) {
  if (value == FStretch) return;
  FStretch = value;
  PictureChanged(this);
}

void TImage::SetProportional(bool value) {
  if (value == FProportional) return;
  FProportional = value;
  PictureChanged(this);
}

void TImage::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  PictureChanged(this);
}

// ---- Form descriptions ------------------------------------------------------------------------

ORV_PUBLISH(TTimer) {
  using T = TTimer;
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("Interval", &T::GetInterval, &T::SetInterval).Default(Cardinal(1000));
  p.Property("OnTimer", &T::GetOnTimer, &T::SetOnTimer);
}

ORV_PUBLISH(TImage) {
  using T = TImage;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishDrag(p);
  p.Property("AutoSize", &T::GetAutoSize, &T::SetAutoSize).Default(false);
  p.Property("Center", &T::GetCenter, &T::SetCenter).Default(false);
  p.Property("Picture", &T::GetPicture);
  p.Property("Proportional", &T::GetProportional, &T::SetProportional).Default(false);
  p.Property("Stretch", &T::GetStretch, &T::SetStretch).Default(false);
  p.Property("Transparent", &T::GetTransparent, &T::SetTransparent).Default(false);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
}
