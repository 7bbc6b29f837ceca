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

// ---- TBevel -----------------------------------------------------------------------------------

namespace {

// Two one-pixel lines of a bevel edge, the first in `first`, the second beside it in `second`.
void BevelLine(TCanvas* canvas, TColor color, Integer x1, Integer y1, Integer x2, Integer y2) {
  canvas->GetPen()->SetColor(color);
  canvas->MoveTo(x1, y1);
  canvas->LineTo(x2, y2);
}

void BevelFrame(TCanvas* canvas, TRect r, TColor topLeft, TColor bottomRight) {
  BevelLine(canvas, topLeft, r.Left, r.Bottom - 1, r.Left, r.Top);
  BevelLine(canvas, topLeft, r.Left, r.Top, r.Right - 1, r.Top);
  BevelLine(canvas, bottomRight, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
  BevelLine(canvas, bottomRight, r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1);
}

}  // namespace

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) { SetBounds(GetLeft(), GetTop(), 50, 50); }

void TBevel::SetShape(TBevelShape value) {
  if (FShape == value) return;
  FShape = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  if (FStyle == value) return;
  FStyle = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = TGraphicControl::GetCanvas();
  const TColor first = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  const Integer w = GetWidth();
  const Integer h = GetHeight();
  canvas->GetPen()->SetWidth(1);
  switch (FShape) {
    case bsBox:
      BevelFrame(canvas, TRect{0, 0, w, h}, first, second);
      break;
    case bsFrame:
      BevelFrame(canvas, TRect{1, 1, w, h}, second, second);
      BevelFrame(canvas, TRect{0, 0, w - 1, h - 1}, first, first);
      break;
    case bsTopLine:
      BevelLine(canvas, first, 0, 0, w, 0);
      BevelLine(canvas, second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      BevelLine(canvas, first, 0, h - 2, w, h - 2);
      BevelLine(canvas, second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      BevelLine(canvas, first, 0, 0, 0, h);
      BevelLine(canvas, second, 1, 0, 1, h);
      break;
    case bsRightLine:
      BevelLine(canvas, first, w - 2, 0, w - 2, h);
      BevelLine(canvas, second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}

// ---- TPanel -----------------------------------------------------------------------------------

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(GetControlStyle() + TControlStyle{csAcceptsControls, csSetCaption});
  SetBounds(GetLeft(), GetTop(), 185, 41);
  SetColor(clBtnFace);
}

void TPanel::SetBevelInner(TPanelBevel value) {
  if (FBevelInner == value) return;
  FBevelInner = value;
  Realign();
  Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel value) {
  if (FBevelOuter == value) return;
  FBevelOuter = value;
  Realign();
  Invalidate();
}

void TPanel::SetBevelWidth(Integer value) {
  value = std::max<Integer>(value, 1);
  if (FBevelWidth == value) return;
  FBevelWidth = value;
  Realign();
  Invalidate();
}

Integer TPanel::BorderWidthOf() const {
  return (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
}

TRect TPanel::GetClientRect() {
  TRect r = TCustomControl::GetClientRect();
  const Integer b = BorderWidthOf();
  return TRect{r.Left + b, r.Top + b, r.Right - b, r.Bottom - b};
}

void TPanel::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect r{0, 0, GetWidth(), GetHeight()};
  canvas->GetBrush()->SetColor(GetColor());
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(r);
  auto bevel = [&](TPanelBevel kind) {
    if (kind == bvNone) return;
    for (Integer i = 0; i < FBevelWidth; ++i) {
      if (kind == bvLowered) BevelFrame(canvas, r, clBtnShadow, clBtnHighlight);
      if (kind == bvRaised) BevelFrame(canvas, r, clBtnHighlight, clBtnShadow);
      r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
  };
  bevel(FBevelOuter);
  bevel(FBevelInner);
  const AnsiString caption = GetCaption();
  if (!caption.empty()) {
    canvas->SetFont(GetFont());
    canvas->GetBrush()->SetStyle(bsClear);
    const Integer tw = canvas->TextWidth(caption);
    const Integer th = canvas->TextHeight(caption);
    canvas->TextOut((GetWidth() - tw) / 2, (GetHeight() - th) / 2, caption);
  }
}

namespace {
const orv::EnumNames<TBevelShape> kBevelShapeNames("TBevelShape", {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine",
                                                                   "bsLeftLine", "bsRightLine", "bsSpacer"});
const orv::EnumNames<TBevelStyle> kBevelStyleNames("TBevelStyle", {"bsLowered", "bsRaised"});
const orv::EnumNames<TPanelBevel> kPanelBevelNames("TPanelBevel", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
}  // namespace

ORV_PUBLISH(TBevel) {
  using T = TBevel;
  orv::PublishLayout(p);
  p.Property("Shape", &T::GetShape, &T::SetShape).Default(bsBox);
  p.Property("Style", &T::GetStyle, &T::SetStyle).Default(bsLowered);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(true);
}

ORV_PUBLISH(TPanel) {
  using T = TPanel;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishFont(p);
  orv::PublishTabs(p, false);
  p.Property("BevelInner", &T::GetBevelInner, &T::SetBevelInner).Default(bvNone);
  p.Property("BevelOuter", &T::GetBevelOuter, &T::SetBevelOuter).Default(bvRaised);
  p.Property("BevelWidth", &T::GetBevelWidth, &T::SetBevelWidth).Default(1);
  p.Property("Caption", &T::GetCaption, &T::SetCaption);
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor").Default(clBtnFace);
}
