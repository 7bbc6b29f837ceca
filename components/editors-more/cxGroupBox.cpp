#include "components/editors-more/cxGroupBox.h"

#include <algorithm>

#include "components/editors-more/cxExtEditUtils.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditPublished.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/Menus.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"

namespace {

Boolean GroupBoxIsLeftCaption(TcxCaptionAlignment a) { return a == alLeftTop || a == alLeftCenter || a == alLeftBottom; }
Boolean GroupBoxIsRightCaption(TcxCaptionAlignment a) {
  return a == alRightTop || a == alRightCenter || a == alRightBottom;
}

// The height of "Wg" in a font.
Integer GroupBoxTextHeight(TFont* font) {
  TcxScreenCanvas* canvas = GetScreenCanvas();
  canvas->SetFont(font);
  return canvas->TextHeightOf("Wg");
}

// Horizontal and vertical panel text flags of an alignment (canvas flags).
Integer GroupBoxPanelFlags(TcxCaptionAlignment a) {
  static const Integer horz[] = {cxAlignLeft, cxAlignHCenter, cxAlignRight, cxAlignLeft, cxAlignHCenter, cxAlignRight,
                                 cxAlignLeft, cxAlignLeft, cxAlignLeft, cxAlignRight, cxAlignRight, cxAlignRight,
                                 cxAlignHCenter};
  static const Integer vert[] = {cxAlignTop, cxAlignTop, cxAlignTop, cxAlignBottom, cxAlignBottom, cxAlignBottom,
                                 cxAlignTop, cxAlignVCenter, cxAlignBottom, cxAlignTop, cxAlignVCenter, cxAlignBottom,
                                 cxAlignVCenter};
  return horz[a] | vert[a];
}

}  // namespace

TcxCaptionPosition GetCaptionPosition(TcxCaptionAlignment alignment) {
  switch (alignment) {
    case alTopLeft:
    case alTopCenter:
    case alTopRight: return cpTop;
    case alBottomLeft:
    case alBottomCenter:
    case alBottomRight: return cpBottom;
    case alLeftTop:
    case alLeftCenter:
    case alLeftBottom: return cpLeft;
    case alRightTop:
    case alRightCenter:
    case alRightBottom: return cpRight;
    default: return cpNone;
  }
}

// ==== Panel style ==============================================================================

TPersistent* TcxPanelStyle::GetOwner() { return FOwner; }

void TcxPanelStyle::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxPanelStyle*>(source)) {
    SetActive(s->FActive);
    SetCaptionIndent(s->FCaptionIndent);
    SetWordWrap(s->FWordWrap);
    SetOfficeBackgroundKind(s->FOfficeBackgroundKind);
    return;
  }
  inherited::Assign(source);
}

void TcxPanelStyle::LayoutChanged() {
  if (FOwner) FOwner->CaptionLayoutChanged();
}

void TcxPanelStyle::SetActive(Boolean value) {
  if (value == FActive) return;
  FActive = value;
  LayoutChanged();
}

void TcxPanelStyle::SetBorderWidth(Integer value) {
  if (value == FBorderWidth) return;
  FBorderWidth = value;
  if (FActive) LayoutChanged();
}

void TcxPanelStyle::SetCaptionIndent(Integer value) {
  value = std::max(2, value);
  if (value == FCaptionIndent) return;
  FCaptionIndent = value;
  if (FActive) LayoutChanged();
}

void TcxPanelStyle::SetOfficeBackgroundKind(TcxPanelOffice11BackgroundKind value) {
  if (value == FOfficeBackgroundKind) return;
  FOfficeBackgroundKind = value;
  if (FActive && FOwner && FOwner->GetStyle()->GetLookAndFeel()->GetKind() == lfOffice11) LayoutChanged();
}

void TcxPanelStyle::SetWordWrap(Boolean value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  if (FActive) LayoutChanged();
}

// ==== Properties ===============================================================================

TcxCustomEditClass TcxCustomGroupBoxProperties::GetEditClass() { return TcxCustomGroupBox::StaticClass(); }
TcxCustomEditViewDataClass TcxCustomGroupBoxProperties::GetViewDataClass() {
  return TcxGroupBoxViewData::StaticClass();
}
TcxCustomEditViewInfoClass TcxCustomGroupBoxProperties::GetViewInfoClass() {
  return TcxGroupBoxViewInfo::StaticClass();
}

// ==== View data ================================================================================

TcxCustomGroupBox* TcxGroupBoxViewData::GroupBox() const { return dynamic_cast<TcxCustomGroupBox*>(Edit); }

TcxContainerState TcxGroupBoxViewData::GetContainerState(const TPoint&, Integer, TShiftState, Boolean) {
  return IsEnabledView ? TcxContainerState{csNormal} : TcxContainerState{csDisabled};
}

Boolean TcxGroupBoxViewData::HasShadow() {
  TcxCustomGroupBox* box = GroupBox();
  if (!inherited::HasShadow() || UsesNativeStyleFlag) return false;
  if (box && !box->GetPanelStyle()->GetActive()) {
    const TcxCaptionPosition position = box->GetCaptionPosition();
    return position == cpTop || position == cpLeft;
  }
  return true;
}

TColor TcxGroupBoxViewData::GetBorderColor() {
  const TcxEditBorderStyle style = Style->GetEditBorderStyle();
  if (style != ebsUltraFlat && style != ebsOffice11) return Style->GetBorderColor();
  return IsEnabledView ? GetHotBorderColor(style == ebsOffice11) : clBtnShadow;
}

TRect TcxGroupBoxViewData::GetBorderExtent() {
  TRect e = inherited::GetBorderExtent();
  TcxCustomGroupBox* box = GroupBox();
  if (IsInplace || !box || box->GetPanelStyle()->GetActive() || box->GetAlignment() == alCenterCenter) return e;
  const Integer h = GroupBoxTextHeight(box->GetCaptionFont()) / 2;
  switch (box->GetCaptionPosition()) {
    case cpTop: e.Top = h + 1; break;
    case cpBottom: e.Bottom = h + 1; break;
    case cpLeft: e.Left = h; break;
    case cpRight: e.Right = h; break;
    default: break;
  }
  return e;
}

TRect TcxGroupBoxViewData::GetContentExtent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo) {
  TcxCustomGroupBox* box = GroupBox();
  if (IsInplace || !box || box->GetPanelStyle()->GetActive() || box->GetAlignment() == alCenterCenter)
    return inherited::GetContentExtent(canvas, viewInfo);
  TRect e = inherited::GetBorderExtent();
  const Integer band = GroupBoxTextHeight(box->GetCaptionFont()) + e.Top + 3;
  switch (box->GetCaptionPosition()) {
    case cpTop: e.Top = band; break;
    case cpBottom: e.Bottom = band; break;
    case cpLeft: e.Left = band; break;
    case cpRight: e.Right = band; break;
    default: break;
  }
  return e;
}

void TcxGroupBoxViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                            TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                            const TPoint& mousePos) {
  auto* info = static_cast<TcxGroupBoxViewInfo*>(viewInfo);
  info->IsDesigning = IsDesignView;
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  TcxCustomGroupBox* box = GroupBox();
  if (IsInplace || !box) return;
  box->UpdateCaptionFont();
  box->UpdateCaptionText();
  const TcxCaptionAlignment a = box->GetAlignment();
  const AnsiString& text = box->GetCaptionText();
  const Integer w = bounds.Right - bounds.Left;
  const Integer h = bounds.Bottom - bounds.Top;
  const Integer s = info->Shadow ? 3 : 0;
  {
    // The frame lies on the border rectangle widened by the border's own width.
    const Integer bw = info->BorderWidth;
    const TcxBorders edges = info->Edges;
    info->FrameRect = info->BorderRect;
    if (edges.Contains(bLeft)) info->FrameRect.Left -= bw;
    if (edges.Contains(bTop)) info->FrameRect.Top -= bw;
    if (edges.Contains(bRight)) info->FrameRect.Right += bw;
    if (edges.Contains(bBottom)) info->FrameRect.Bottom += bw;
  }
  if (box->GetPanelStyle()->GetActive()) {
    TcxPanelStyle* panel = box->GetPanelStyle();
    info->PanelRect = bounds;
    if (info->Shadow && !info->NativeStyle) {
      info->PanelRect.Right -= 3;
      info->PanelRect.Bottom -= 3;
    }
    info->FrameRect = info->PanelRect;
    const Integer bw = GetContainerBorderWidth(info->BorderStyle);
    TRect content{info->PanelRect.Left + bw, info->PanelRect.Top + bw, info->PanelRect.Right - bw,
                  info->PanelRect.Bottom - bw};
    const Integer indent = panel->GetCaptionIndent();
    if (a == alTopLeft || a == alBottomLeft || GroupBoxIsLeftCaption(a)) content.Left += indent;
    if (a == alTopRight || a == alBottomRight || GroupBoxIsRightCaption(a)) content.Right -= indent;
    if (GetCaptionPosition(a) == cpTop || a == alLeftTop || a == alRightTop) content.Top += indent;
    if (GetCaptionPosition(a) == cpBottom || a == alLeftBottom || a == alRightBottom) content.Bottom -= indent;
    info->PanelTextFlags = GroupBoxPanelFlags(a) | (panel->GetWordWrap() ? cxWordBreak : cxSingleLine) | cxShowPrefix;
    TRect t = content;
    if (!text.empty()) {
      canvas->PushState();
      box->PrepareCaptionCanvas(canvas);
      canvas->MeasureTextRect(text, t, cxAlignLeft | cxAlignTop | (panel->GetWordWrap() ? cxWordBreak : cxSingleLine));
      canvas->PopState();
      const Integer tw = t.Right - t.Left, th = t.Bottom - t.Top;
      t = TRect{content.Left, content.Top, content.Left + tw, content.Top + th};
      const Integer flags = GroupBoxPanelFlags(a);
      if (flags & cxAlignHCenter) t.Left = (content.Right - tw) / 2;
      if (flags & cxAlignRight) t.Left = content.Right - tw;
      if (flags & cxAlignBottom) t.Top = content.Bottom - th;
      if (flags & cxAlignVCenter) t.Top = (content.Bottom - th) / 2;
      t.Right = t.Left + tw;
      t.Bottom = t.Top + th;
    } else {
      t = TRect{};
    }
    info->TextRect = t;
    info->CaptionRect = TRect{std::max(t.Left, content.Left), std::max(t.Top, content.Top),
                              std::min(t.Right, content.Right), std::min(t.Bottom, content.Bottom)};
    return;
  }
  if (text.empty()) {
    info->CaptionRect = info->TextRect = TRect{};
    return;
  }
  canvas->PushState();
  box->PrepareCaptionCanvas(canvas);
  TSize size = canvas->GetTextSize(text);
  canvas->PopState();
  if (box->IsVerticalCaption()) std::swap(size.cx, size.cy);
  // Vertical captions are measured turned: their extent along the side is the text width.
  const Integer tw = box->IsVerticalCaption() ? size.cy : size.cx;
  const Integer th = box->IsVerticalCaption() ? size.cx : size.cy;
  TRect r{8, 0, 8 + tw, th};
  switch (a) {
    case alTopCenter:
    case alBottomCenter:
    case alCenterCenter: r.Left = (w - s - tw) / 2; break;
    case alTopRight:
    case alBottomRight: r.Left = w - s - tw - 8; break;
    default: break;
  }
  if (!box->IsVerticalCaption()) {
    r.Right = r.Left + tw;
    if (a == alBottomLeft || a == alBottomCenter || a == alBottomRight) {
      r.Top = h - th;
      r.Bottom = h;
    } else if (a == alCenterCenter) {
      r.Top = (h - s - th) / 2;
      r.Bottom = r.Top + th;
    }
  } else {
    switch (a) {
      case alLeftTop: r = TRect{0, 8, th, 8 + tw + 1}; break;
      case alLeftCenter: {
        const Integer d = h - s - (h - s - tw) / 2;
        r = TRect{0, d - tw - 1, th, d};
        break;
      }
      case alLeftBottom: r = TRect{0, h - s - 8 - tw - 1, th, h - s - 8}; break;
      case alRightTop: r = TRect{w - th, 8, w, 8 + tw}; break;
      case alRightCenter: r = TRect{w - th, (h - tw) / 2, w, (h - tw) / 2 + tw}; break;
      case alRightBottom: r = TRect{w - th, h - 8 - tw, w, h - 8}; break;
      default: break;
    }
  }
  r = GetOffsetRect(r, bounds.Left, bounds.Top);
  info->CaptionRect = r;
  info->TextRect = r;
}

// ==== View info ================================================================================

TcxCustomGroupBox* TcxGroupBoxViewInfo::GetGroupBox() const { return dynamic_cast<TcxCustomGroupBox*>(Edit); }

void TcxGroupBoxViewInfo::OffsetRects(Integer dx, Integer dy) {
  inherited::OffsetRects(dx, dy);
  CaptionRect = GetOffsetRect(CaptionRect, dx, dy);
  TextRect = GetOffsetRect(TextRect, dx, dy);
  PanelRect = GetOffsetRect(PanelRect, dx, dy);
  FrameRect = GetOffsetRect(FrameRect, dx, dy);
}

void TcxGroupBoxViewInfo::DrawGroupBoxBackground(TcxCanvas* canvas) {
  TcxCustomGroupBox* box = GetGroupBox();
  const Boolean panel = box && box->GetPanelStyle()->GetActive();
  const TcxCustomLookAndFeelPainterClass kindPainter =
      box ? box->GetStyle()->GetLookAndFeel()->CurrentPainter() : TcxCustomLookAndFeelPainterClass();
  if (panel && box->GetStyle()->GetLookAndFeel()->GetKind() == lfOffice11 && !box->GetTransparent()) {
    TRect r = PanelRect;
    if (BorderStyle != cbsNone) {
      const Integer bw = kindPainter->ControlBorderWidth();
      r = TRect{r.Left + bw, r.Top + bw, r.Right - bw, r.Bottom - bw};
    }
    canvas->FillRectWithColor(Bounds, BackgroundColor);
    const TColor c1 = dxOffice11BackgroundColor1, c2 = dxOffice11BackgroundColor2;
    switch (box->GetPanelStyle()->GetOfficeBackgroundKind()) {
      case pobkGradient: kindPainter->DrawGroupBoxBackground(canvas, box, r, c1, c2); break;
      case pobkOffice11Color: kindPainter->DrawGroupBoxBackground(canvas, box, r, BlendColors(c1, c2, 50), clDefault); break;
      case pobkStyleColor: kindPainter->DrawGroupBoxBackground(canvas, box, r, BackgroundColor, clDefault); break;
    }
    return;
  }
  if (Shadow) DrawDropShadow(canvas, FrameRect);
  if (IsTransparentView) return;
  const TRect whole{Bounds.Left, Bounds.Top, Bounds.Right, Bounds.Bottom};
  if (box && box->GetTransparent()) {
    DrawTransparentBackground(box, canvas, whole);
    return;
  }
  canvas->FillRectWithColor(whole, BackgroundColor);
}

void TcxGroupBoxViewInfo::DrawCaption(TcxCanvas* canvas) {
  TcxCustomGroupBox* box = GetGroupBox();
  if (!box || box->GetCaptionText().empty() || orv::IsEmptyRect(CaptionRect)) return;
  canvas->SaveDC();
  try {
    canvas->IntersectClip(CaptionRect);
    if (!box->DoCustomDrawCaption(canvas, CaptionRect, Painter)) {
      box->PrepareCaptionCanvas(canvas);
      canvas->SetBrushClear(true);
      const AnsiString& text = box->GetCaptionText();
      const HDC dc = canvas->GetDCHandle();
      if (box->IsVerticalCaption()) {
        const TcxCaptionAlignment a = box->GetAlignment();
        const TPoint at = GroupBoxIsLeftCaption(a) ? TPoint{TextRect.Left, TextRect.Bottom - 1}
                                                    : TPoint{TextRect.Right, TextRect.Top + 1};
        ExtTextOutString(dc, text, at, &TextRect, ETO_CLIPPED);
      } else {
        TRect r = TextRect;
        const UINT flags = box->GetPanelStyle()->GetActive()
                               ? cxFlagsToDTFlags(PanelTextFlags)
                               : (DT_SINGLELINE | DT_LEFT | DT_TOP);
        DrawTextString(dc, text, r, flags);
      }
      canvas->SetBrushClear(false);
    }
  } catch (...) {
    canvas->RestoreDC();
    throw;
  }
  canvas->RestoreDC();
}

void TcxGroupBoxViewInfo::DrawFrame(TcxCanvas* canvas) {
  const TRect r = FrameRect;
  const TcxBorders edges = Edges;
  switch (EditBorderStyle) {
    case ebsSingle:
    case ebsUltraFlat:
    case ebsOffice11: canvas->DrawBorderLines(r, BorderColor, 1, edges); break;
    case ebsThick: canvas->DrawBorderLines(r, BorderColor, 2, edges); break;
    case ebsFlat:
      TcxCustomLookAndFeelPainterClass(TcxFlatLookAndFeelPainter::StaticClass())
          ->DrawGroupBoxOutline(canvas, r, IsEnabled, cpNone, edges);
      break;
    case ebs3D:
      // Controls here are always three-dimensional (the platform has no flat Ctl3D switch).
      TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass())
          ->DrawGroupBoxOutline(canvas, r, IsEnabled, cpNone, edges);
      break;
    default: break;
  }
}

void TcxGroupBoxViewInfo::DoPaint(TcxCanvas* canvas) {
  TcxCustomGroupBox* box = GetGroupBox();
  if (InplaceView || !box) {
    Boolean handled = false;
    if (BackgroundDrawHandler) BackgroundDrawHandler(this, canvas, handled);
    if (!handled) canvas->FillRectWithColor(Bounds, BackgroundColor);
    return;
  }
  DrawGroupBoxBackground(canvas);
  DrawCaption(canvas);
  canvas->SaveDC();
  try {
    if (!box->GetPanelStyle()->GetActive()) canvas->ExcludeFromClip(CaptionRect);
    DrawFrame(canvas);
  } catch (...) {
    canvas->RestoreDC();
    throw;
  }
  canvas->RestoreDC();
}

// ==== The control ==============================================================================

TcxCustomGroupBox::TcxCustomGroupBox(TComponent* owner) : TcxCustomEdit(owner) {
  FCaptionFont = new TFont;
  SetBounds(GetLeft(), GetTop(), 185, 105);
}

void TcxCustomGroupBox::BeforeDestruction() { inherited::BeforeDestruction(); }

TcxCustomGroupBox::~TcxCustomGroupBox() {
  orv::Free(FCaptionFont);
  orv::Free(FPanelStyle);
}

TcxCustomEditPropertiesClass TcxCustomGroupBox::GetPropertiesClass() {
  return TcxCustomGroupBoxProperties::StaticClass();
}

void TcxCustomGroupBox::Initialize() {
  inherited::Initialize();
  TControlStyle style = GetControlStyle();
  style.Include(csAcceptsControls);
  style.Include(csCaptureMouse);
  style.Include(csClickEvents);
  SetControlStyle(style);
  SetTabStop(false);
  if (!FPanelStyle) FPanelStyle = CreatePanelStyle();
  UpdateCaptionFont();
}

TcxPanelStyle* TcxCustomGroupBox::GetPanelStyle() {
  if (!FPanelStyle) {
    EnsureInitialized();
    if (!FPanelStyle) FPanelStyle = CreatePanelStyle();
  }
  return FPanelStyle;
}

void TcxCustomGroupBox::SetPanelStyle(TcxPanelStyle* value) {
  GetPanelStyle()->Assign(value);
  CaptionLayoutChanged();
}

void TcxCustomGroupBox::SetAlignment(TcxCaptionAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  CaptionLayoutChanged();
}

TcxCaptionPosition TcxCustomGroupBox::GetCaptionPosition() { return ::GetCaptionPosition(FAlignment); }

Boolean TcxCustomGroupBox::IsVerticalCaption() {
  return (GroupBoxIsLeftCaption(FAlignment) || GroupBoxIsRightCaption(FAlignment)) && !GetPanelStyle()->GetActive();
}

void TcxCustomGroupBox::CaptionLayoutChanged() {
  if (GetComponentState().Contains(csDestroying)) return;
  UpdateCaptionFont();
  UpdateCaptionText();
  if (HandleAllocated()) {
    RefreshStateAtCursor(false);
    Realign();
    Invalidate();
  }
}

void TcxCustomGroupBox::UpdateCaptionFont() {
  if (IsInplace() || !FCaptionFont) return;
  FCaptionFont->Assign(GetActiveFont());
  if (!IsVerticalCaption()) return;
  TcxScreenCanvas* canvas = GetScreenCanvas();
  canvas->SetFont(FCaptionFont);
  TEXTMETRIC metrics{};
  GetTextMetrics(canvas->GetDCHandle(), &metrics);
  if ((metrics.tmPitchAndFamily & TMPF_TRUETYPE) == 0) FCaptionFont->SetName("Arial");
  LOGFONT lf{};
  GetObject(FCaptionFont->GetHandle(), sizeof(lf), &lf);
  const LONG wanted = GroupBoxIsLeftCaption(FAlignment) ? 900 : 2700;
  if (lf.lfEscapement == wanted) return;
  lf.lfEscapement = wanted;
  lf.lfOrientation = wanted;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  FCaptionFont->SetHandle(CreateFontIndirect(&lf));
}

void TcxCustomGroupBox::UpdateCaptionText() {
  const AnsiString caption = GetCaption();
  // A turned caption is drawn without accelerator processing: "&&" shows as one "&" and a lone
  // "&" disappears.
  if (IsVerticalCaption()) {
    AnsiString text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
      if (caption[i] != '&') {
        text += caption[i];
      } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
        text += '&';
        ++i;
      }
    }
    FCaptionText = text;
  } else {
    FCaptionText = caption;
  }
}

void TcxCustomGroupBox::PrepareCaptionCanvas(TcxCanvas* canvas) {
  canvas->SetFont(FCaptionFont);
  TColor color = clDefault;
  if (const TcxCustomLookAndFeelPainterClass skin = GetStyle()->GetLookAndFeel()->GetSkinPainter())
    color = skin->GroupBoxCaptionTextColor(GetEnabled(), GetCaptionPosition());
  if (color != clDefault) canvas->SetFontColor(color);
}

TcxContainerStyle* TcxCustomGroupBox::GetStyleForState(TcxContainerState state) {
  return state.Contains(csDisabled) ? GetStyleDisabled() : GetStyle();
}

TcxContainerStyleValues TcxCustomGroupBox::GetUnstoredStyleValues() {
  TcxContainerStyleValues values = inherited::GetUnstoredStyleValues();
  values.Include(csvHotTrack);
  return values;
}

Boolean TcxCustomGroupBox::PaintsOwnFrame() {
  return GetActiveStyle()->GetTransparentBorder() && !GetPanelStyle()->GetActive() && inherited::PaintsOwnFrame();
}

Boolean TcxCustomGroupBox::IsNativeBackground() {
  return IsNativeStyleAvailable() && GetParentBackground() && !IsInplace() && !GetTransparent();
}

Boolean TcxCustomGroupBox::HasShadow() {
  if (!inherited::HasShadow() || IsNativeStyleAvailable()) return false;
  if (GetPanelStyle()->GetActive()) return true;
  const TcxCaptionPosition position = GetCaptionPosition();
  return position == cpTop || position == cpLeft;
}

Boolean TcxCustomGroupBox::RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent,
                                            TShiftState shift) {
  const TRect before = GetViewInfo()->ClientRect;
  const Boolean alive = inherited::RefreshViewState(point, button, isMouseEvent, shift);
  // The client area follows the caption's side and height: the children move with it.
  if (alive && HandleAllocated() && !(GetViewInfo()->ClientRect == before)) Realign();
  return alive;
}

TRect TcxCustomGroupBox::GetOuterRect() {
  TRect r = GetPanelStyle()->GetActive() ? static_cast<TcxGroupBoxViewInfo*>(GetEditViewInfo())->PanelRect
                                         : inherited::GetOuterRect();
  // The caption reaches past the frame to the control's edge.
  switch (GetCaptionPosition()) {
    case cpTop: r.Top = 0; break;
    case cpBottom: r.Bottom = GetHeight(); break;
    case cpLeft: r.Left = 0; break;
    case cpRight: r.Right = GetWidth(); break;
    default: break;
  }
  return r;
}

Boolean TcxCustomGroupBox::NeedsRedrawOnResize() { return FRedrawOnResize && IsNativeStyleAvailable(); }

void TcxCustomGroupBox::ContainerStyleChanged(TObject* sender) {
  UpdateCaptionFont();
  inherited::ContainerStyleChanged(sender);
}

void TcxCustomGroupBox::TextChanged() {
  inherited::TextChanged();
  UpdateCaptionText();
  if (HandleAllocated()) RefreshStateAtCursor(false);
  Invalidate();
}

void TcxCustomGroupBox::FontChanged() {
  inherited::FontChanged();
  UpdateCaptionFont();
  if (HandleAllocated()) Realign();
}

void TcxCustomGroupBox::Paint() {
  Boolean done = false;
  if (FOnCustomDraw) FOnCustomDraw(this, done);
  if (!done) inherited::Paint();
}

Boolean TcxCustomGroupBox::DoCustomDrawCaption(TcxCanvas* canvas, const TRect& bounds,
                                               TcxCustomLookAndFeelPainterClass painter) {
  Boolean done = false;
  if (FOnCustomDrawCaption) FOnCustomDrawCaption(this, canvas->GetCanvas(), bounds, painter, done);
  return done;
}

Boolean TcxCustomGroupBox::DoCustomDrawContentBackground(TcxCanvas* canvas, const TRect& bounds,
                                                         TcxCustomLookAndFeelPainterClass painter) {
  Boolean done = false;
  if (FOnCustomDrawContentBackground) FOnCustomDrawContentBackground(this, canvas->GetCanvas(), bounds, painter, done);
  return done;
}

Boolean TcxCustomGroupBox::IsCaptionInNonClientArea() {
  return !GetPanelStyle()->GetActive() && SupportsNonClientArea() && GetStyle()->GetLookAndFeel()->GetSkinPainter() &&
         !FCaptionText.empty() && FAlignment != alCenterCenter;
}

Boolean TcxCustomGroupBox::SupportsNonClientArea() { return true; }

void TcxCustomGroupBox::Dispatch(TMessage& message) {
  if (message.Msg == CM_DIALOGCHAR && IsAccel(Word(message.WParam), GetCaption()) && CanFocus()) {
    FSelectingFirstChild = true;
    SelectFirst();
    FSelectingFirstChild = false;
    message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}

// ==== Published ================================================================================

const orv::EnumNames<TcxCaptionAlignment> kCaptionAlignmentNames(
    "TcxCaptionAlignment", {"alTopLeft", "alTopCenter", "alTopRight", "alBottomLeft", "alBottomCenter",
                            "alBottomRight", "alLeftTop", "alLeftCenter", "alLeftBottom", "alRightTop",
                            "alRightCenter", "alRightBottom", "alCenterCenter"});
const orv::EnumNames<TcxPanelOffice11BackgroundKind> kPanelKindNames(
    "TcxPanelOffice11BackgroundKind", {"pobkGradient", "pobkOffice11Color", "pobkStyleColor"});

ORV_PUBLISH(TcxPanelStyle) {
  using T = TcxPanelStyle;
  p.Property("Active", &T::GetActive, &T::SetActive).Default(false);
  p.Property("BorderWidth", &T::GetBorderWidth, &T::SetBorderWidth).Default(0);
  p.Property("CaptionIndent", &T::GetCaptionIndent, &T::SetCaptionIndent).Default(2);
  p.Property("OfficeBackgroundKind", &T::GetOfficeBackgroundKind, &T::SetOfficeBackgroundKind)
      .Default(pobkOffice11Color);
  p.Property("WordWrap", &T::GetWordWrap, &T::SetWordWrap).Default(false);
}

ORV_PUBLISH(TcxGroupBox) {
  using T = TcxGroupBox;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishCaption(p);
  orv::PublishDrag(p);
  p.Property("Alignment", &T::GetAlignment, &T::SetAlignment).Default(alTopLeft);
  p.Property("CaptionBkColor", &T::GetCaptionBkColor, &T::SetCaptionBkColor).Kind("TColor").Stored([](T*) { return false; });
  p.Property("LookAndFeel", [](T* x) { return x->GetStyle()->GetLookAndFeel(); });
  p.Property("PanelStyle", &T::GetPanelStyle, &T::SetPanelStyle);
  p.Property("ParentBackground", &TWinControl::GetParentBackground, &TWinControl::SetParentBackground).Default(true);
  p.Property("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor).Default(true);
  p.Property("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont).Default(true);
  p.Property("RedrawOnResize", &T::GetRedrawOnResize, &T::SetRedrawOnResize).Default(true);
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, false);
  p.Property("Transparent", [](T* x) { return x->GetTransparent(); }, [](T* x, bool v) { x->SetTransparent(v); }).Default(false);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("OnCustomDraw", &T::GetOnCustomDraw, &T::SetOnCustomDraw);
  p.Property("OnCustomDrawCaption", &T::GetOnCustomDrawCaption, &T::SetOnCustomDrawCaption);
  p.Property("OnCustomDrawContentBackground", &T::GetOnCustomDrawContentBackground,
             &T::SetOnCustomDrawContentBackground);
  p.Property("OnMeasureCaptionHeight", &T::GetOnMeasureCaptionHeight, &T::SetOnMeasureCaptionHeight);
}

// ==== Button group items =======================================================================

TcxButtonGroupItem::TcxButtonGroupItem(TCollection* collection) : TcxCaptionItem(collection) {}

void TcxButtonGroupItem::BeforeDestruction() {
  if (auto* items = dynamic_cast<TcxButtonGroupItems*>(GetCollection())) {
    const Integer index = items->IsDestroying() ? -1 : GetIndex();
    items->ItemChanged(nullptr, index, bgicDeleted);
  }
  inherited::BeforeDestruction();
}

void TcxButtonGroupItem::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxButtonGroupItem*>(source)) SetEnabled(s->FEnabled);
  inherited::Assign(source);
}

void TcxButtonGroupItem::SetEnabled(Boolean value) {
  if (value == FEnabled) return;
  FEnabled = value;
  if (auto* items = dynamic_cast<TcxButtonGroupItems*>(GetCollection())) items->ItemChanged(this, -1, bgicChanged);
}

TcxCustomEditProperties* TcxButtonGroupItems::OwnerProperties() {
  return dynamic_cast<TcxCustomEditProperties*>(GetOwner());
}

void TcxButtonGroupItems::ItemChanged(TCollectionItem* item, Integer index, TcxButtonGroupItemChange operation) {
  TcxCustomEditProperties* properties = OwnerProperties();
  if (IsDestroying() || !properties || properties->IsChangeLocked()) return;
  LastChangeIndex = item ? item->GetIndex() : index;
  LastChangeOperation = operation;
  NotifyingItemChange = true;
  try {
    properties->Changed();
  } catch (...) {
    NotifyingItemChange = false;
    throw;
  }
  NotifyingItemChange = false;
}

void TcxButtonGroupItems::Update(TCollectionItem* item) {
  if (IsDestroying()) return;
  TcxCustomEditProperties* properties = OwnerProperties();
  if (properties && !properties->IsChangeLocked()) {
    if (item) {
      LastChangeIndex = item->GetIndex();
      LastChangeOperation = bgicChanged;
    }
    inherited::Update(item);
  }
  if (properties) properties->Changed();
}

// ==== Button group properties ==================================================================

void TcxCustomButtonGroupProperties::BeforeDestruction() {
  if (FItems) {
    FItems->BeginUpdate();
    FreeAndNil(FItems);
  }
  inherited::BeforeDestruction();
}

TcxCustomButtonGroupProperties::~TcxCustomButtonGroupProperties() { orv::Free(FItems); }

TcxButtonGroupItems* TcxCustomButtonGroupProperties::CreateItems() {
  return new TcxButtonGroupItems(this, TcxButtonGroupItem::StaticClass());
}

TcxButtonGroupItems* TcxCustomButtonGroupProperties::GetItems() {
  if (!FItems) FItems = CreateItems();
  return FItems;
}

void TcxCustomButtonGroupProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomButtonGroupProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetColumns(s->FColumns);
    GetItems()->Assign(s->GetItems());
    SetWordWrap(s->FWordWrap);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TcxCustomEditProperties* TcxCustomButtonGroupProperties::CreateEmptyCopy() {
  auto* copy = static_cast<TcxCustomButtonGroupProperties*>(inherited::CreateEmptyCopy());
  for (const char* caption : {"A", "B", "C"}) copy->GetItems()->Add()->SetCaption(caption);
  copy->SetColumns(3);
  return copy;
}

TcxCustomEditClass TcxCustomButtonGroupProperties::GetEditClass() { return TcxCustomButtonGroup::StaticClass(); }
TcxCustomEditViewDataClass TcxCustomButtonGroupProperties::GetViewDataClass() {
  return TcxButtonGroupViewData::StaticClass();
}
TcxCustomEditViewInfoClass TcxCustomButtonGroupProperties::GetViewInfoClass() {
  return TcxButtonGroupViewInfo::StaticClass();
}

void TcxCustomButtonGroupProperties::SetColumns(Integer value) {
  value = std::max(1, value);
  if (value == FColumns) return;
  FColumns = value;
  Changed();
}

void TcxCustomButtonGroupProperties::SetWordWrap(Boolean value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  Changed();
}

Integer TcxCustomButtonGroupProperties::GetColumnCount() {
  const Integer count = GetItems()->GetCount();
  Integer c = std::min(FColumns, count);
  if (count == 0) return c;
  c = std::max(c, 1);
  const Integer rows = (count + c - 1) / c;
  return (count + rows - 1) / rows;
}

Integer TcxCustomButtonGroupProperties::GetRowCount() {
  const Integer columns = std::max(1, GetColumnCount());
  return (GetItems()->GetCount() + columns - 1) / columns;
}

// ==== Button group view info ===================================================================

void TcxGroupBoxButtonViewInfo::Assign(TPersistent* source) {
  inherited::Assign(source);
  if (auto* s = dynamic_cast<TcxGroupBoxButtonViewInfo*>(source)) {
    ItemCaption = s->ItemCaption;
    Column = s->Column;
    Row = s->Row;
    ButtonStyleUsed = s->ButtonStyleUsed;
  }
}

TRect TcxGroupBoxButtonViewInfo::GlyphBounds(const TSize& glyphSize, Boolean isPaintCopy, Integer glyphAlignment) {
  TRect r;
  r.Top = Bounds.Top + (Bounds.Height() - glyphSize.cy) / 2;
  r.Bottom = r.Top + glyphSize.cy;
  if (glyphAlignment == 1) {
    r.Left = Bounds.Left;
    r.Right = r.Left + glyphSize.cx;
  } else {
    r.Right = Bounds.Right;
    r.Left = r.Right - glyphSize.cx;
  }
  return r;
}

void TcxButtonGroupViewInfo::DrawButton(TcxCanvas* canvas, Integer index) {
  TcxGroupBoxButtonViewInfo* button = GetItemButton(index);
  const TRect glyph = button->GlyphBounds(GetGlyphSize(), IsPaintingCopy, GlyphAlignment);
  if (!IsPaintingCopy)
    DrawBackgroundByMode(canvas, button->Bounds, true, IsButtonGlyphTransparent(button) ? TRect{} : glyph);
  DrawButtonGlyph(canvas, button, glyph);
  DrawButtonCaption(canvas, button, glyph);
}

void TcxButtonGroupViewInfo::DoPaint(TcxCanvas* canvas) {
  inherited::DoPaint(canvas);
  // Without child windows (grid cells, paint copies) the buttons are drawn here.
  if (InplaceView || IsPaintingCopy)
    for (Integer i = 0; i < GetButtonCount(); ++i) DrawButton(canvas, i);
}

// ==== Button group view data ===================================================================

Boolean TcxButtonGroupViewData::IsButtonNativeStyle(TcxLookAndFeel* lookAndFeel) {
  return lookAndFeel && IsNativeStyleUsable(lookAndFeel->GetNativeStyle(), totButton);
}

Integer TcxButtonGroupViewData::GetCaptionTextFlags() {
  if ((PaintFlags & cxEditPaintOptionMultiLine) && GroupProperties()->GetWordWrap()) return 1697;
  return 609;
}

void TcxButtonGroupViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                               TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                               const TPoint& mousePos) {
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  static_cast<TcxButtonGroupViewInfo*>(viewInfo)->CaptionTextFlags = GetCaptionTextFlags();
}

void TcxButtonGroupViewData::InitializeButtonInfos(TcxButtonGroupViewInfo* viewInfo) {
  TcxEditButtonStyle style;
  if (IsInplace) {
    static constexpr TcxEditButtonStyle kByKind[] = {btsFlat, bts3D, btsUltraFlat, btsOffice11};
    style = kByKind[Style->GetLookAndFeel()->GetKind()];
  } else if (Style->GetEditBorderStyle() == ebsUltraFlat) {
    style = btsUltraFlat;
  } else if (Style->GetEditBorderStyle() == ebsOffice11) {
    style = btsOffice11;
  } else {
    static constexpr TcxEditButtonStyle kByBorder[] = {bts3D, btsFlat, btsFlat, btsFlat, bts3D, btsUltraFlat, btsOffice11};
    style = kByBorder[viewInfo->EditBorderStyle];
  }
  const Integer rows = std::max(1, GroupProperties()->GetRowCount());
  for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i) {
    TcxGroupBoxButtonViewInfo* b = viewInfo->GetItemButton(i);
    b->EraseOnInvalidate = viewInfo->EraseOnInvalidate;
    b->ButtonStyleUsed = style;
    b->ItemCaption = GroupProperties()->GetItems()->GetItem(i)->GetCaption();
    b->Column = i / rows;
    b->Row = i % rows;
  }
}

void TcxButtonGroupViewData::CalculateButtonPositions(TcxCanvas* canvas, TcxButtonGroupViewInfo* viewInfo) {
  TcxButtonGroupMetrics m;
  GetButtonMetrics(false, nullptr, m);
  const TRect e = GetContentExtent(canvas, viewInfo);
  const Integer c = std::max(1, GroupProperties()->GetColumnCount());
  const Integer r = std::max(1, GroupProperties()->GetRowCount());
  const TRect b = viewInfo->Bounds;
  const Integer cw = (b.Width() + m.ButtonWidthCorrection - e.Left - e.Right - (c - 1) * m.ColumnSpacing) / c;
  const Integer h = b.Height() - e.Top - e.Bottom;
  const Integer rh = h / r;
  const Integer t0 = b.Top + e.Top + (h % r) / 2;
  for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i) {
    TcxGroupBoxButtonViewInfo* button = viewInfo->GetItemButton(i);
    const Integer left = b.Left + e.Left + (cw + m.ColumnSpacing) * button->Column + m.FirstColumnOffset;
    const Integer top = rh * button->Row + t0;
    button->Bounds = TRect{left, top, left + cw, top + rh};
    button->VisibleBounds = button->Bounds;
  }
}

void TcxButtonGroupViewData::CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                                      TcxCustomEditViewInfo* viewInfo, TShiftState shift,
                                                      Integer button, const TPoint& mousePos) {
  auto* info = static_cast<TcxButtonGroupViewInfo*>(viewInfo);
  const Integer count = GroupProperties()->GetItems()->GetCount();
  info->SetButtonCount(count);
  info->PressedButtonIndex = -1;
  info->HotButtonIndex = -1;
  if (count == 0) return;
  InitializeButtonInfos(info);
  CalculateButtonPositions(canvas, info);
  const TcxEditButtonTransparency transparency = Style->GetButtonTransparency();
  const Boolean focusedOrHot = ContainerStateFlags.Contains(csActive) || ContainerStateFlags.Contains(csHotTrack);
  for (Integer i = 0; i < count; ++i) {
    TcxGroupBoxButtonViewInfo* b = info->GetItemButton(i);
    b->ButtonIndex = i;
    b->NativeStyle = IsButtonNativeStyle(Style->GetLookAndFeel());
    b->Transparent = transparency == ebtAlways || (transparency == ebtInactive && !focusedOrHot);
    b->BackgroundColor = info->BackgroundColor;
    if (!IsEnabledView)
      b->State = ebsDisabled;
    else if (IsPointInRect(b->Bounds, mousePos))
      b->State = (shift.Contains(ssLeft) && isMouseEvent) ? ebsPressed : ebsSelected;
    else
      b->State = ebsNormal;
    CalculateButtonNativeState(info, b);
  }
}

TSize TcxButtonGroupViewData::GetContentSize(TcxCanvas* canvas, const Variant& value,
                                             const TcxEditSizeProperties& sizeLimits) {
  TcxCustomButtonGroupProperties* p = GroupProperties();
  canvas->SetFont(Style->GetVisibleFont());
  const Integer c = std::max(1, p->GetColumnCount());
  const Integer r = std::max(1, p->GetRowCount());
  const Integer n = p->GetItems()->GetCount();
  TcxButtonGroupMetrics m;
  GetButtonMetrics(sizeLimits.Width >= 0, canvas, m);
  const Integer line = canvas->TextHeightOf("Zg") + GetContentExtents().cy;
  if (sizeLimits.Width < 0 || sizeLimits.Width == orv::kMaxInt) {
    if (n == 0) return TSize{0, line};
    Integer widest = 0;
    for (Integer i = 0; i < n; ++i) widest = std::max(widest, canvas->TextWidthOf(p->GetItems()->GetItem(i)->GetCaption()));
    return TSize{(widest + m.CaptionExtraWidth + m.GlyphWidth) * c + (c - 1) * m.ColumnSpacing + m.AutoWidthExtra,
                 std::max(m.GlyphHeight, line) * r};
  }
  if (n == 0) return TSize{sizeLimits.Width, line};
  return TSize{sizeLimits.Width, std::max(m.GlyphHeight, line) * r};
}

// ==== Button group control =====================================================================

TcxCustomEditPropertiesClass TcxCustomButtonGroup::GetPropertiesClass() {
  return TcxCustomButtonGroupProperties::StaticClass();
}

void TcxCustomButtonGroup::Initialize() {
  inherited::Initialize();
  SetAutoSize(false);
  SetTabStop(true);
  FButtonsReady = true;
}

void TcxCustomButtonGroup::BeforeDestruction() {
  FButtonsReady = false;
  SyncButtonCount(0);
  inherited::BeforeDestruction();
}

bool TcxCustomButtonGroup::Focused() {
  if (inherited::Focused()) return true;
  for (TWinControl* b : FButtons)
    if (b->Focused()) return true;
  return false;
}

Integer TcxCustomButtonGroup::GetFocusedButtonIndex() {
  for (Integer i = 0; i < GetButtonCount(); ++i)
    if (FButtons[std::size_t(i)]->Focused()) return i;
  return -1;
}

Boolean TcxCustomButtonGroup::RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent,
                                               TShiftState shift) {
  const Boolean alive = inherited::RefreshViewState(point, button, isMouseEvent, shift);
  if (alive) ArrangeButtons();
  return alive;
}

void TcxCustomButtonGroup::ArrangeButtons() {
  TcxButtonGroupViewInfo* info = GetGroupViewInfo();
  const Integer count = std::min(GetButtonCount(), info->GetButtonCount());
  for (Integer i = 0; i < count; ++i) {
    const TRect r = info->GetButton(i)->Bounds;
    FButtons[std::size_t(i)]->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  }
}

void TcxCustomButtonGroup::InitializeButton(TWinControl* button) {
  button->SetParentShowHint(false);
  button->SetParent(this);
}

void TcxCustomButtonGroup::SyncButtonCount(Integer count) {
  while (GetButtonCount() > count) {
    TWinControl* b = FButtons.back();
    FButtons.pop_back();
    b->Free();
  }
  while (GetButtonCount() < count) {
    TWinControl* b = CreateButton();
    FButtons.push_back(b);
    InitializeButton(b);
  }
}

void TcxCustomButtonGroup::UpdateButtonStyles() {
  for (TWinControl* b : FButtons) b->SetColor(GetBackgroundColor());
}

void TcxCustomButtonGroup::UpdateButtons() {
  if (!FButtonsReady) return;
  TcxButtonGroupItems* items = GetGroupProperties()->GetItems();
  SyncButtonCount(items->GetCount());
  RefreshStateAtCursor(false);
  for (Integer i = 0; i < GetButtonCount(); ++i)
    FButtons[std::size_t(i)]->SetEnabled(GetEnabled() && items->GetItem(i)->GetEnabled());
  UpdateButtonStyles();
  for (TWinControl* b : FButtons) b->SetCursor(GetCursor());
}

void TcxCustomButtonGroup::HandlePropertiesChange(TObject* sender) {
  if (!GetComponentState().Contains(csReading)) UpdateButtons();
  inherited::HandlePropertiesChange(sender);
}

void TcxCustomButtonGroup::ContainerStyleChanged(TObject* sender) {
  inherited::ContainerStyleChanged(sender);
  UpdateButtons();
}

void TcxCustomButtonGroup::CreateHandle() {
  inherited::CreateHandle();
  UpdateButtons();
  UpdateDisplayValue();
}

void TcxCustomButtonGroup::EnabledChanged() {
  inherited::EnabledChanged();
  UpdateButtons();
}

ORV_PUBLISH(TcxButtonGroupItem) {}
