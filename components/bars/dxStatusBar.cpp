#include "components/bars/dxStatusBar.h"

#include <algorithm>
#include <memory>

#include "components/bars/dxBarDrawing.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/User.h"

namespace orv {
TdxStatusBarPainterClass dxStatusBarSkinPainterClass = nullptr;
}  // namespace orv

namespace {

// The visual-style parts of the "Status" class.
constexpr int SP_PANE = 1;
constexpr int SP_GRIPPER = 3;
constexpr int TS_TRUE = 1;

// Registers the status bar's texts with the string repository once.
void AddStatusBarResourceStrings(TdxProductResourceStrings* product) {
  product->AddResourceString("sdxTextPanel", &sdxTextPanel);
  product->AddResourceString("sdxContainerPanel", &sdxContainerPanel);
  product->AddResourceString("sdxKeyboardStatePanel", &sdxKeyboardStatePanel);
  product->AddResourceString("sdxStateIndicatorPanel", &sdxStateIndicatorPanel);
  product->AddResourceString("sdxCantDeleteAncestor", &sdxCantDeleteAncestor);
}

void StartStatusBarStrings() {
  static orv::TResourceStringsUnit unit("Status Bar", &AddStatusBarResourceStrings);
}

Boolean IsLoadingOrReading(TComponent* c) {
  const TComponentState s = c->GetComponentState();
  return s.Contains(csLoading) || s.Contains(csReading);
}

Boolean IsBusy(TComponent* c) {
  const TComponentState s = c->GetComponentState();
  return s.Contains(csLoading) || s.Contains(csReading) || s.Contains(csDestroying) ||
         s.Contains(csUpdating);
}

TRect Shrunk(const TRect& r, Integer left, Integer top, Integer right, Integer bottom) {
  return {r.Left + left, r.Top + top, r.Right - right, r.Bottom - bottom};
}

// The status bar's canvas for measuring (its window's, or a screen canvas before it has one).
TcxCanvas* MeasuringCanvas(TdxCustomStatusBar* statusBar) { return statusBar->GetCanvasOrScreenCanvas(); }

// The lamp bitmaps of the state indicators: 17 x 8 pixels, a dark rim, the lamp's colour and a
// lighter upper half.
void MakeIndicatorBitmap(TBitmap* bitmap, TdxStatusBarStateIndicatorType type) {
  static const TColor kColors[] = {clSilver, clYellow, clBlue, clLime, clRed, clTeal, clPurple};
  const TColor body = kColors[type];
  const TColor light = BlendColors(body, clWhite, 50);
  constexpr TColor rim = clGray;
  bitmap->SetSize(17, 8);
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->GetBrush()->SetColor(clBtnFace);
  canvas->FillRect(Rect(0, 0, 17, 8));
  for (Integer y = 0; y < 8; ++y) {
    for (Integer x = 1; x < 16; ++x) {
      const Boolean edge = y == 0 || y == 7 || x == 1 || x == 15;
      const Boolean corner = (y == 0 || y == 7) && (x == 1 || x == 15);
      if (corner) continue;
      canvas->SetPixels(x, y, edge ? rim : (y < 3 ? light : body));
    }
  }
}

}  // namespace

// ==== Painters =====================================================================================

namespace {
const TdxStatusBarPainter kBasePainter;
const TdxStatusBarStandardPainter kStandardPainter;
const TdxStatusBarFlatPainter kFlatPainter;
const TdxStatusBarOffice11Painter kOffice11Painter;
const TdxStatusBarXPPainter kXPPainter;
}  // namespace

TdxStatusBarPainterClass TdxStatusBarPainter::Class() { return &kBasePainter; }
TdxStatusBarPainterClass TdxStatusBarStandardPainter::Class() { return &kStandardPainter; }
TdxStatusBarPainterClass TdxStatusBarFlatPainter::Class() { return &kFlatPainter; }
TdxStatusBarPainterClass TdxStatusBarOffice11Painter::Class() { return &kOffice11Painter; }
TdxStatusBarPainterClass TdxStatusBarXPPainter::Class() { return &kXPPainter; }

void TdxStatusBarPainter::DrawContainerControl(TdxStatusBarContainerPanelStyle* style) const {
  TdxStatusBarContainerControl* container = style->GetContainer();
  TdxCustomStatusBar* statusBar = style->GetStatusBar();
  if (!container || !statusBar) return;
  TcxCanvas* canvas = container->GetCanvas();
  TRect r = statusBar->GetClientBounds();
  r = {r.Left - container->GetLeft(), r.Top - container->GetTop(), r.Right - container->GetLeft(),
       r.Bottom - container->GetTop()};
  DrawBorder(statusBar, canvas, r);
  DrawPanelBackground(statusBar, style->GetPanel(), canvas, container->GetClientRect());
}

TRect TdxStatusBarPainter::GetBorderWidths(TdxCustomStatusBar* statusBar) const {
  const Integer w = statusBar->GetBorderWidth();
  return {w, w + GetTopBorderHeight(), w, w};
}

void TdxStatusBarPainter::DrawBorder(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, TRect& rect) const {
  FillTopBorder(statusBar, canvas, {rect.Left, rect.Top, rect.Right, rect.Top + GetTopBorderHeight()});
  rect.Top += GetTopBorderHeight();
  const Integer w = statusBar->GetBorderWidth();
  if (w <= 0) return;
  const TColor color = statusBar->GetColor();
  canvas->FillRectWithColor({rect.Left, rect.Top, rect.Right, rect.Top + w}, color);
  rect.Top += w;
  canvas->FillRectWithColor({rect.Left, rect.Bottom - w, rect.Right, rect.Bottom}, color);
  rect.Bottom -= w;
  canvas->FillRectWithColor({rect.Left, rect.Top, rect.Left + w, rect.Bottom}, color);
  rect.Left += w;
  canvas->FillRectWithColor({rect.Right - w, rect.Top, rect.Right, rect.Bottom}, color);
  rect.Right -= w;
}

void TdxStatusBarPainter::DrawEmptyPanel(TdxCustomStatusBar* statusBar, TcxCanvas* canvas,
                                         const TRect& rect) const {
  TRect r = rect;
  DrawPanelBorder(statusBar, dxpbLowered, canvas, r);
  DrawPanelBackground(statusBar, nullptr, canvas, r);
}

void TdxStatusBarPainter::DrawPanel(TdxCustomStatusBar* statusBar, TdxStatusBarPanel* panel,
                                    TcxCanvas* canvas, const TRect& rect) const {
  if (!panel) {
    DrawEmptyPanel(statusBar, canvas, rect);
    return;
  }
  TRect r = rect;
  DrawPanelBorder(statusBar, GetPanelBevel(panel), canvas, r);
  bool done = false;
  if (panel->GetOnDrawPanel()) panel->GetOnDrawPanel()(panel, canvas, r, done);
  if (done) return;
  if (TdxStatusBarPanelStyle* style = panel->GetPanelStyle())
    style->DrawContent(canvas, r, this);
  else
    DrawPanelBackground(statusBar, panel, canvas, r);
}

void TdxStatusBarPainter::DrawSizeGrip(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, Boolean overlapped,
                                       const TRect& rect) const {
  const TRect r = Shrunk(rect, 1, 1, 1, 1);
  const TSize s = GetSizeGripSize();
  const TRect g{r.Right - s.cx, r.Bottom - s.cy, r.Right, r.Bottom};
  TRect f = g;
  if (overlapped) ++f.Right;
  const TColor color = statusBar->GetColor();
  canvas->FillRectWithColor(f, color);
  DrawTransparentSizeGrip(canvas->GetHandle(), g);
  const TSize c = GetSizeGripCornerSize();
  const TRect row{r.Right - c.cx, r.Bottom, r.Right + 1, r.Bottom + 1};
  const TRect column{r.Right, r.Bottom - c.cy, r.Right + 1, r.Bottom};
  canvas->FillRectWithColor(row, color);
  canvas->FillRectWithColor(column, color);
  canvas->ExcludeFromClip(f);
  canvas->ExcludeFromClip(row);
  canvas->ExcludeFromClip(column);
}

void TdxStatusBarPainter::FillTopBorder(TdxCustomStatusBar* statusBar, TcxCanvas* canvas,
                                        const TRect& rect) const {
  canvas->FillRectWithColor(rect, statusBar->GetColor());
}

TdxStatusBarPanelBevel TdxStatusBarPainter::GetPanelBevel(TdxStatusBarPanel* panel) const {
  if (!panel) return dxpbLowered;
  if (panel->GetPanelStyle() && panel->GetPanelStyle()->DrawsOwnBevels()) return dxpbNone;
  return panel->GetBevel();
}

TColor TdxStatusBarPainter::GetPanelColor(TdxCustomStatusBar* statusBar, TdxStatusBarPanel* panel) const {
  if (panel && panel->GetPanelStyle()) return panel->GetPanelStyle()->GetColor();
  return statusBar->GetColor();
}

void TdxStatusBarStandardPainter::DrawPanelBorder(TdxCustomStatusBar* statusBar, TdxStatusBarPanelBevel bevel,
                                                  TcxCanvas* canvas, TRect& rect) const {
  static const UINT kEdges[] = {0, BDR_SUNKENOUTER, BDR_RAISEDINNER};
  if (kEdges[bevel] == 0) return;
  DrawEdge(canvas->GetHandle(), &rect, kEdges[bevel], BF_RECT | BF_ADJUST);
}

void TdxStatusBarStandardPainter::DrawPanelSeparator(TdxCustomStatusBar* statusBar, TcxCanvas* canvas,
                                                     const TRect& rect) const {
  canvas->FillRectWithColor(rect, statusBar->GetColor());
}

void TdxStatusBarStandardPainter::DrawPanelBackground(TdxCustomStatusBar* statusBar, TdxStatusBarPanel* panel,
                                                      TcxCanvas* canvas, const TRect& rect) const {
  canvas->FillRectWithColor(rect, GetPanelColor(statusBar, panel));
}

void TdxStatusBarFlatPainter::DrawPanelBorder(TdxCustomStatusBar* statusBar, TdxStatusBarPanelBevel bevel,
                                              TcxCanvas* canvas, TRect& rect) const {
  if (bevel == dxpbNone) return;
  canvas->DrawBorderLines(rect, clBtnShadow, 1, cxBordersAll);
  rect = Shrunk(rect, 1, 1, 1, 1);
}

void TdxStatusBarOffice11Painter::DrawBorder(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, TRect& rect) const {
  FillTwoStageGradient(canvas->GetHandle(), rect, Office11ToolbarGradientColor1, Office11ToolbarGradientColor2,
                       false);
  rect = Shrunk(rect, 1, 1, 1, 1);
}

void TdxStatusBarOffice11Painter::DrawPanelBorder(TdxCustomStatusBar* statusBar, TdxStatusBarPanelBevel bevel,
                                                  TcxCanvas* canvas, TRect& rect) const {
  if (bevel == dxpbNone) return;
  canvas->DrawBorderLines(rect, BlendColors(Office11ToolbarGradientColor2, clBlack, 90), 1, cxBordersAll);
  rect = Shrunk(rect, 1, 1, 1, 1);
}

void TdxStatusBarOffice11Painter::DrawSizeGrip(TdxCustomStatusBar* statusBar, TcxCanvas* canvas,
                                               Boolean overlapped, const TRect& rect) const {
  const TRect r = Shrunk(rect, 0, 1, 0, 1);
  const TSize s = GetSizeGripSize();
  const TRect g{r.Right - s.cx, r.Bottom - s.cy, r.Right, r.Bottom};
  TRect f = g;
  if (!overlapped) --f.Right;
  DrawDiagonalSizeGrip(canvas->GetHandle(), g);
  canvas->ExcludeFromClip(f);
}

TSize TdxStatusBarXPPainter::GetSizeGripSize() const {
  SIZE size{};
  const TdxTheme theme = GetThemeHandle(totStatus);
  HDC dc = GetDC(nullptr);
  const HRESULT result = theme ? GetThemePartSizeWithoutRect(theme, dc, SP_GRIPPER, 0, TS_TRUE, size) : E_FAIL;
  ReleaseDC(nullptr, dc);
  if (result != S_OK) return TdxStatusBarPainter::GetSizeGripSize();
  return {size.cx, size.cy};
}

Integer TdxStatusBarXPPainter::GetSeparatorWidth() const {
  SIZE size{};
  const TdxTheme theme = GetThemeHandle(totStatus);
  if (!theme) return TdxStatusBarPainter::GetSeparatorWidth();
  HDC dc = GetDC(nullptr);
  const HRESULT result = GetThemePartSizeWithoutRect(theme, dc, SP_PANE, 0, TS_TRUE, size);
  ReleaseDC(nullptr, dc);
  return result == S_OK ? size.cx : TdxStatusBarPainter::GetSeparatorWidth();
}

void TdxStatusBarXPPainter::DrawBorder(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, TRect& rect) const {
  DrawThemeBackgroundRect(GetThemeHandle(totStatus), canvas->GetHandle(), 0, 0, rect);
  rect.Top += GetTopBorderHeight();
}

void TdxStatusBarXPPainter::DrawPanelSeparator(TdxCustomStatusBar* statusBar, TcxCanvas* canvas,
                                               const TRect& rect) const {
  DrawThemeBackgroundRect(GetThemeHandle(totStatus), canvas->GetHandle(), SP_PANE, 0, rect);
}

void TdxStatusBarXPPainter::DrawSizeGrip(TdxCustomStatusBar* statusBar, TcxCanvas* canvas, Boolean overlapped,
                                         const TRect& rect) const {
  const TRect r = Shrunk(rect, 1, 0, 1, 0);
  const TSize s = GetSizeGripSize();
  const TRect g{r.Right - s.cx, r.Bottom - s.cy, r.Right, r.Bottom};
  TRect f = g;
  if (overlapped) ++f.Right;
  DrawThemeBackgroundRect(GetThemeHandle(totStatus), canvas->GetHandle(), SP_GRIPPER, 0, g);
  canvas->ExcludeFromClip(f);
}

// ==== Panel styles =================================================================================

namespace {
const orv::EnumNames<TdxStatusBarPaintStyle> kStatusBarPaintStyleNames(
    "TdxStatusBarPaintStyle", {"stpsStandard", "stpsFlat", "stpsXP", "stpsOffice11", "stpsUseLookAndFeel"});
const orv::EnumNames<TdxStatusBarPanelBevel> kBevelNames("TdxStatusBarPanelBevel",
                                                         {"dxpbNone", "dxpbLowered", "dxpbRaised"});
const orv::EnumNames<TdxStatusBarEllipsisType> kEllipsisNames("TdxStatusBarEllipsisType",
                                                              {"dxetNone", "dxetTruncate", "dxetSmartPath"});
const orv::EnumNames<TdxStatusBarKeyboardState> kKeyboardStateNames(
    "TdxStatusBarKeyboardState", {"dxksCapsLock", "dxksNumLock", "dxksScrollLock", "dxksInsert"});
const orv::EnumNames<TdxStatusBarStateIndicatorType> kIndicatorTypeNames(
    "TdxStatusBarStateIndicatorType", {"sitOff", "sitYellow", "sitBlue", "sitGreen", "sitRed", "sitTeal", "sitPurple"});
}  // namespace

ORV_PUBLISH(TdxStatusBarPanelStyle) {}

TdxStatusBarPanelStyle::TdxStatusBarPanelStyle(TdxStatusBarPanel* owner) : FOwner(owner), FFont(new TFont) {
  if (TdxCustomStatusBar* statusBar = GetStatusBar()) FFont->Assign(statusBar->GetFont());
  FFont->SetOnChange(TNotifyEvent(this, &TdxStatusBarPanelStyle::FontChanged));
}

void TdxStatusBarPanelStyle::BeforeDestruction() {
  FFont->SetOnChange({});
  inherited::BeforeDestruction();
}

TdxStatusBarPanelStyle::~TdxStatusBarPanelStyle() {
  orv::Free(FFont);
  FOwner = nullptr;
}

TPersistent* TdxStatusBarPanelStyle::GetOwner() { return FOwner; }

TdxCustomStatusBar* TdxStatusBarPanelStyle::GetStatusBar() const { return FOwner ? FOwner->GetStatusBar() : nullptr; }

void TdxStatusBarPanelStyle::PanelChanged() {
  if (FOwner) FOwner->Changed(false);
}

void TdxStatusBarPanelStyle::FontChanged(TObject* sender) {
  if (FInternalFontChange) return;
  FParentFont = false;
  PanelChanged();
}

void TdxStatusBarPanelStyle::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  PanelChanged();
}

TColor TdxStatusBarPanelStyle::GetColor() const { return FColorAssigned ? FColor : GetDefaultColor(); }

void TdxStatusBarPanelStyle::SetColor(TColor value) {
  if (FColorAssigned && FColor == value) return;
  FColor = value;
  FColorAssigned = true;
  PanelChanged();
}

void TdxStatusBarPanelStyle::SetFont(TFont* value) { FFont->Assign(value); }

void TdxStatusBarPanelStyle::SetParentFont(Boolean value) {
  if (FParentFont == value) return;
  FParentFont = value;
  ParentFontChanged();
}

void TdxStatusBarPanelStyle::Assign(TPersistent* source) {
  auto* style = dynamic_cast<TdxStatusBarPanelStyle*>(source);
  if (!style) {
    inherited::Assign(source);
    return;
  }
  TdxStatusBarPanels* panels = FOwner ? FOwner->GetPanels() : nullptr;
  if (panels) panels->BeginUpdate();
  try {
    DoAssign(style);
  } catch (...) {
    if (panels) panels->EndUpdate();
    throw;
  }
  if (panels) panels->EndUpdate();
}

void TdxStatusBarPanelStyle::AdjustTextColor(TColor& color, Boolean active) {
  if (color == clDefault)
    if (TdxCustomStatusBar* statusBar = GetStatusBar()) statusBar->DoAdjustTextColor(color, active);
}

void TdxStatusBarPanelStyle::NotifyChange() {
  if (FOwner) FOwner->StyleChanged();
}

void TdxStatusBarPanelStyle::ExcludeSizeGrip(TRect& rect) {
  TdxCustomStatusBar* statusBar = GetStatusBar();
  if (!statusBar || !FOwner) return;
  TdxStatusBarPanels* panels = statusBar->GetPanels();
  if (panels->GetCount() > 0 && panels->GetItem(panels->GetCount() - 1) == FOwner && statusBar->IsSizeGripVisible())
    rect.Right -= statusBar->GetPainterClassValue()->GetSizeGripSize().cx;
}

TColor TdxStatusBarPanelStyle::GetDefaultColor() const {
  TdxCustomStatusBar* statusBar = GetStatusBar();
  return statusBar ? statusBar->GetColor() : clBtnFace;
}

void TdxStatusBarPanelStyle::DoAssign(TdxStatusBarPanelStyle* style) {
  RestoreDefaults();
  SetAlignment(style->GetAlignment());
  if (style->FColorAssigned) SetColor(style->FColor);
  if (!style->GetParentFont())
    SetFont(style->GetFont());
  else
    ParentFontChanged();
}

void TdxStatusBarPanelStyle::DrawContent(TcxCanvas* canvas, const TRect& rect, TdxStatusBarPainterClass painter) {
  painter->DrawPanelBackground(GetStatusBar(), FOwner, canvas, rect);
}

void TdxStatusBarPanelStyle::ParentFontChanged() {
  if (!FParentFont) return;
  TdxCustomStatusBar* statusBar = GetStatusBar();
  if (!statusBar) return;
  FInternalFontChange = true;
  FFont->Assign(statusBar->GetFont());
  FInternalFontChange = false;
  PanelChanged();
}

void TdxStatusBarPanelStyle::RestoreDefaults() {
  FAlignment = taLeftJustify;
  FColorAssigned = false;
  FParentFont = true;
  ParentFontChanged();
  PanelChanged();
}

// ---- Text ----------------------------------------------------------------------------------------

ORV_PUBLISH(TdxStatusBarTextPanelStyle) {
  using T = TdxStatusBarTextPanelStyle;
  p.Property("Alignment", &T::GetAlignment, &T::SetAlignment).Default(taLeftJustify);
  p.Property("AutoHint", &T::GetAutoHint, &T::SetAutoHint).Default(false);
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor").Stored(&T::IsColorStored);
  p.Property("ImageIndex", &T::GetImageIndex, &T::SetImageIndex).Default(-1);
  p.Property("EllipsisType", &T::GetEllipsisType, &T::SetEllipsisType).Default(dxetNone);
  p.Property("Font", &T::GetFont).Stored(&T::IsFontStored);
  p.Property("ParentFont", &T::GetParentFont, &T::SetParentFont).Default(true);
  p.Property("OnGetText", &T::GetOnGetText, &T::SetOnGetText);
}

TdxStatusBarTextPanelStyle::TdxStatusBarTextPanelStyle(TdxStatusBarPanel* owner) : TdxStatusBarPanelStyle(owner) {}

void TdxStatusBarTextPanelStyle::SetAutoHint(Boolean value) {
  if (FAutoHint == value) return;
  if (TdxCustomStatusBar* statusBar = GetStatusBar()) {
    TdxStatusBarPanels* panels = statusBar->GetPanels();
    for (Integer i = 0; i < panels->GetCount(); ++i)
      if (auto* text = dynamic_cast<TdxStatusBarTextPanelStyle*>(panels->GetItem(i)->GetPanelStyle()))
        text->FAutoHint = false;
  }
  FAutoHint = value;
}

void TdxStatusBarTextPanelStyle::SetEllipsisType(TdxStatusBarEllipsisType value) {
  if (FEllipsisType == value) return;
  FEllipsisType = value;
  PanelChanged();
}

void TdxStatusBarTextPanelStyle::SetImageIndex(Integer value) {
  if (FImageIndex == value) return;
  FImageIndex = value;
  PanelChanged();
}

void TdxStatusBarTextPanelStyle::DoAssign(TdxStatusBarPanelStyle* style) {
  inherited::DoAssign(style);
  if (auto* text = dynamic_cast<TdxStatusBarTextPanelStyle*>(style)) {
    SetAutoHint(text->GetAutoHint());
    SetImageIndex(text->GetImageIndex());
    SetEllipsisType(text->GetEllipsisType());
  }
}

void TdxStatusBarTextPanelStyle::RestoreDefaults() {
  FAutoHint = false;
  FImageIndex = -1;
  FEllipsisType = dxetNone;
  inherited::RestoreDefaults();
}

void TdxStatusBarTextPanelStyle::DrawContent(TcxCanvas* canvas, const TRect& rect, TdxStatusBarPainterClass painter) {
  inherited::DrawContent(canvas, rect, painter);
  TdxCustomStatusBar* statusBar = GetStatusBar();
  if (!statusBar) return;
  TRect r = rect;
  TCustomImageList* images = statusBar->GetImages();
  if (images && FImageIndex >= 0 && FImageIndex < images->GetCount()) {
    const Integer x = r.Left + 1;
    const Integer y = (r.Top + r.Bottom) / 2 - images->GetHeight() / 2;
    images->Draw(canvas->GetCanvas(), x, y, FImageIndex, statusBar->GetEnabled());
    r.Left = x + images->GetWidth() + 1;
  }
  canvas->SetBrushClear(true);
  TColor color = GetFont()->GetColor();
  painter->AdjustTextColor(statusBar, color, true);
  AdjustTextColor(color, true);
  canvas->SetFont(GetFont());
  canvas->SetFontColor(color);
  r = Shrunk(r, 2, 0, 2, 0);
  AnsiString text = GetPanel()->GetText();
  r = painter->AdjustTextRect(statusBar, GetPanel(), r);
  if (FOnGetText) FOnGetText(this, r, text);
  static const Integer kAlignments[] = {cxAlignLeft, cxAlignRight, cxAlignHCenter};
  Integer flags = kAlignments[GetAlignment()] | cxAlignVCenter | cxSingleLine;
  if (FEllipsisType == dxetTruncate) flags |= cxShowEndEllipsis;
  if (FEllipsisType == dxetSmartPath) flags |= cxShowPathEllipsis;
  canvas->DrawTextInRect(text, r, flags, statusBar->GetEnabled());
  canvas->SetBrushClear(false);
}

// ---- Container -------------------------------------------------------------------------------------

ORV_PUBLISH(TdxStatusBarContainerControl) {}

TdxStatusBarContainerControl::TdxStatusBarContainerControl(TComponent* owner) : TcxControl(owner) {
  TControlStyle style = GetControlStyle();
  style.Include(csAcceptsControls);
  style.Include(csNoDesignVisible);
  SetControlStyle(style);
  SetTabStop(false);
  UpdateScrollBarsPresence();
}

void TdxStatusBarContainerControl::BeforeDestruction() {
  Destroying();
  if (TdxStatusBarContainerPanelStyle* style = FPanelStyle) {
    FPanelStyle = nullptr;
    style->FContainer = nullptr;
    // The panel loses its style with its container.
    if (TdxStatusBarPanel* panel = style->GetPanel()) panel->SetPanelStyleClass(nullptr);
  }
  inherited::BeforeDestruction();
}

void TdxStatusBarContainerControl::Paint() {
  inherited::Paint();
  TcxCanvas* canvas = GetCanvas();
  const TRect client = GetClientRect();
  TdxCustomStatusBar* statusBar = FPanelStyle ? FPanelStyle->GetStatusBar() : nullptr;
  if (statusBar)
    statusBar->GetPainterClassValue()->DrawContainerControl(FPanelStyle);
  else
    canvas->FillRectWithColor(client, clBtnFace);
  if (IsDesigning()) {
    canvas->SetBrushColor(clBtnShadow);
    canvas->DrawBorderLines(client, clBtnShadow, 1, cxBordersAll);
    HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, ColorToRGB(clBtnShadow));
    const int oldMode = SetBkMode(canvas->GetHandle(), TRANSPARENT);
    FillRect(canvas->GetHandle(), &client, hatch);
    SetBkMode(canvas->GetHandle(), oldMode);
    DeleteObject(hatch);
  }
}

ORV_PUBLISH(TdxStatusBarContainerPanelStyle) {
  using T = TdxStatusBarContainerPanelStyle;
  p.Property("AlignControl", &T::GetAlignControl, &T::SetAlignControl).Default(true);
  p.Property("Container", &T::GetContainer, &T::SetContainer);
}

TdxStatusBarContainerPanelStyle::TdxStatusBarContainerPanelStyle(TdxStatusBarPanel* owner)
    : TdxStatusBarPanelStyle(owner) {
  // While a form loads, the streamed Container property binds the streamed control instead.
  TdxCustomStatusBar* statusBar = GetStatusBar();
  if (statusBar && !IsLoadingOrReading(statusBar) && !statusBar->GetComponentState().Contains(csUpdating))
    CreateContainer();
}

void TdxStatusBarContainerPanelStyle::CreateContainer() {
  TdxCustomStatusBar* statusBar = GetStatusBar();
  auto* container = new TdxStatusBarContainerControl(statusBar->GetOwner());
  FContainer = container;
  container->FPanelStyle = this;
  if (statusBar->IsDesigning() && statusBar->GetOwner()) {
    for (Integer n = GetPanel()->GetID();; ++n) {
      try {
        container->SetName(statusBar->GetName() + "Container" + IntToStr(n));
        break;
      } catch (const EComponentError&) {
      }
    }
  }
  container->SetParent(statusBar);
}

void TdxStatusBarContainerPanelStyle::BeforeDestruction() {
  SetContainer(nullptr);
  inherited::BeforeDestruction();
}

void TdxStatusBarContainerPanelStyle::SetContainer(TdxStatusBarContainerControl* value) {
  if (FContainer == value) return;
  if (value) {
    if (value->FPanelStyle && value->FPanelStyle != this) value->FPanelStyle->FContainer = nullptr;
    if (FContainer) FContainer->FPanelStyle = nullptr;
    FContainer = value;
    value->FPanelStyle = this;
  } else {
    TdxStatusBarContainerControl* old = FContainer;
    FContainer = nullptr;
    old->FPanelStyle = nullptr;
    TdxCustomStatusBar* statusBar = GetStatusBar();
    if (!statusBar || !IsBusy(statusBar)) old->Free();
  }
  PanelVisibleChanged();
}

Boolean TdxStatusBarContainerPanelStyle::IsDeletable() {
  return !FContainer || !FContainer->GetComponentState().Contains(csAncestor);
}

void TdxStatusBarContainerPanelStyle::DoAssign(TdxStatusBarPanelStyle* style) {
  inherited::DoAssign(style);
  auto* source = dynamic_cast<TdxStatusBarContainerPanelStyle*>(style);
  if (!source) return;
  SetAlignControl(source->GetAlignControl());
  if (!source->GetContainer()) return;
  TdxStatusBarContainerControl* found = nullptr;
  if (TdxCustomStatusBar* statusBar = GetStatusBar()) {
    for (Integer i = 0; i < statusBar->GetControlCount() && !found; ++i) {
      auto* c = dynamic_cast<TdxStatusBarContainerControl*>(statusBar->GetControl(i));
      if (c && SameText(c->GetName(), source->GetContainer()->GetName())) found = c;
    }
  }
  SetContainer(found);
}

void TdxStatusBarContainerPanelStyle::RestoreDefaults() {
  FAlignControl = true;
  inherited::RestoreDefaults();
}

void TdxStatusBarContainerPanelStyle::PlaceContainer(const TRect& contentRect, TdxStatusBarPainterClass painter) {
  if (!FContainer) return;
  TdxCustomStatusBar* statusBar = GetStatusBar();
  TRect r = contentRect;
  if (painter->ExcludesSizeGripFromContent(statusBar)) ExcludeSizeGrip(r);
  if (FContainer->GetBoundsRect() != r)
    FContainer->SetBoundsRect(r);
  else
    FContainer->Invalidate();  // it shows the status bar's background, which may have changed
  if (FAlignControl && !statusBar->IsDesigning()) {
    for (Integer i = 0; i < FContainer->GetControlCount(); ++i)
      FContainer->GetControl(i)->SetBounds(0, 0, FContainer->GetWidth(), FContainer->GetHeight());
  }
}

void TdxStatusBarContainerPanelStyle::PanelVisibleChanged() {
  if (FContainer && GetPanel()) FContainer->SetVisible(GetPanel()->GetVisible());
}

// ---- Keyboard state --------------------------------------------------------------------------------

ORV_PUBLISH(TdxStatusBarKeyStateAppearance) {
  using T = TdxStatusBarKeyStateAppearance;
  p.Property("ActiveFontColor", &T::GetActiveFontColor, &T::SetActiveFontColor).Kind("TColor").Default(clWindowText);
  p.Property("InactiveFontColor", &T::GetInactiveFontColor, &T::SetInactiveFontColor)
      .Kind("TColor")
      .Default(clBtnShadow);
  p.Property("ActiveCaption", &T::GetActiveCaption, &T::SetActiveCaption);
  p.Property("InactiveCaption", &T::GetInactiveCaption, &T::SetInactiveCaption);
}

TdxStatusBarKeyStateAppearance::TdxStatusBarKeyStateAppearance(TdxStatusBarKeyboardState key, Integer code,
                                                               const AnsiString& activeCaption,
                                                               TColor activeFontColor,
                                                               const AnsiString& inactiveCaption,
                                                               TColor inactiveFontColor, TNotifyEvent onChange)
    : FId(key),
      FCode(code),
      FActiveFontColor(activeFontColor),
      FInactiveFontColor(inactiveFontColor),
      FActiveCaption(activeCaption),
      FInactiveCaption(inactiveCaption),
      FOnChange(onChange) {}

void TdxStatusBarKeyStateAppearance::Assign(TPersistent* source) {
  auto* a = dynamic_cast<TdxStatusBarKeyStateAppearance*>(source);
  if (!a) {
    inherited::Assign(source);
    return;
  }
  FId = a->FId;
  FCode = a->FCode;
  FActiveFontColor = a->FActiveFontColor;
  FInactiveFontColor = a->FInactiveFontColor;
  FActiveCaption = a->FActiveCaption;
  FInactiveCaption = a->FInactiveCaption;
  NotifyChange();
}

Integer TdxStatusBarKeyStateAppearance::GetCellWidth(TcxCanvas* canvas) {
  return std::max(canvas->TextWidth(FActiveCaption), canvas->TextWidth(FInactiveCaption)) + 4;
}

void TdxStatusBarKeyStateAppearance::SetActiveFontColor(TColor value) {
  FActiveFontColor = value;
  NotifyChange();
}
void TdxStatusBarKeyStateAppearance::SetInactiveFontColor(TColor value) {
  FInactiveFontColor = value;
  NotifyChange();
}
void TdxStatusBarKeyStateAppearance::SetActiveCaption(const AnsiString& value) {
  FActiveCaption = value;
  NotifyChange();
}
void TdxStatusBarKeyStateAppearance::SetInactiveCaption(const AnsiString& value) {
  FInactiveCaption = value;
  NotifyChange();
}

void TdxStatusBarKeyStateAppearance::NotifyChange() {
  if (FOnChange) FOnChange(this);
}

TdxStatusBarKeyboardStateWatchedKey::TdxStatusBarKeyboardStateWatchedKey(Integer code)
    : FCode(code), FKeyState(::GetKeyState(code) & 0xFF) {}

TdxStatusBarKeyboardStateNotifier::TdxStatusBarKeyboardStateNotifier(TdxCustomStatusBar* statusBar)
    : FStatusBar(statusBar), FTimer(new TTimer(nullptr)) {
  FTimer->SetInterval(100);
  FTimer->SetOnTimer(TNotifyEvent(this, &TdxStatusBarKeyboardStateNotifier::TimerHandler));
}

TdxStatusBarKeyboardStateNotifier::~TdxStatusBarKeyboardStateNotifier() {
  orv::Free(FTimer);
  for (TdxStatusBarKeyboardStateWatchedKey* key : FKeys) key->Free();
}

void TdxStatusBarKeyboardStateNotifier::AddKey(Integer code) {
  RemoveKey(code);
  FKeys.push_back(new TdxStatusBarKeyboardStateWatchedKey(code));
}

void TdxStatusBarKeyboardStateNotifier::RemoveKey(Integer code) {
  for (auto it = FKeys.begin(); it != FKeys.end(); ++it) {
    if ((*it)->GetCode() == code) {
      (*it)->Free();
      FKeys.erase(it);
      return;
    }
  }
}

void TdxStatusBarKeyboardStateNotifier::TimerHandler(TObject* sender) {
  Boolean changed = false;
  for (TdxStatusBarKeyboardStateWatchedKey* key : FKeys) {
    const Integer state = ::GetKeyState(key->GetCode()) & 0xFF;
    if (state != key->GetKeyState()) {
      key->SetKeyState(state);
      changed = true;
    }
  }
  if (changed && FStatusBar) FStatusBar->LayoutChanged();
}

namespace {
struct TKeyInfo {
  Integer Code;
  const char* ActiveCaption;
  const char* InactiveCaption;
};
const TKeyInfo kKeys[4] = {
    {VK_CAPITAL, "CAPS", "CAPS"}, {VK_NUMLOCK, "NUM", "NUM"}, {VK_SCROLL, "SCRL", "SCRL"}, {VK_INSERT, "OVR", "INS"}};
}  // namespace

ORV_PUBLISH(TdxStatusBarKeyboardStatePanelStyle) {
  using T = TdxStatusBarKeyboardStatePanelStyle;
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor").Stored(&T::IsColorStored);
  p.Property("Font", &T::GetFont).Stored(&T::IsFontStored);
  p.Property("KeyboardStates", &T::GetKeyboardStates, &T::SetKeyboardStates).Default(dxStatusBarAllKeyboardStates);
  p.Property("FullRect", &T::GetFullRect, &T::SetFullRect).Default(false);
  p.Property("CapsLockKeyAppearance", &T::GetCapsLockKeyAppearance);
  p.Property("NumLockKeyAppearance", &T::GetNumLockKeyAppearance);
  p.Property("ScrollLockKeyAppearance", &T::GetScrollLockKeyAppearance);
  p.Property("InsertKeyAppearance", &T::GetInsertKeyAppearance);
  p.Property("ParentFont", &T::GetParentFont, &T::SetParentFont).Default(true);
}

TdxStatusBarKeyboardStatePanelStyle::TdxStatusBarKeyboardStatePanelStyle(TdxStatusBarPanel* owner)
    : TdxStatusBarPanelStyle(owner) {
  const TNotifyEvent changed(this, &TdxStatusBarKeyboardStatePanelStyle::AppearanceChanged);
  for (Integer i = 0; i < 4; ++i)
    FAppearances[i] = new TdxStatusBarKeyStateAppearance(TdxStatusBarKeyboardState(i), kKeys[i].Code,
                                                         kKeys[i].ActiveCaption, GetFont()->GetColor(),
                                                         kKeys[i].InactiveCaption, clBtnShadow, changed);
  FNotifier = new TdxStatusBarKeyboardStateNotifier(GetStatusBar());
  for (const TKeyInfo& key : kKeys) FNotifier->AddKey(key.Code);
}

void TdxStatusBarKeyboardStatePanelStyle::BeforeDestruction() {
  for (Integer i = 3; i >= 0; --i) FNotifier->RemoveKey(kKeys[i].Code);
  inherited::BeforeDestruction();
}

TdxStatusBarKeyboardStatePanelStyle::~TdxStatusBarKeyboardStatePanelStyle() {
  orv::Free(FNotifier);
  for (TdxStatusBarKeyStateAppearance*& a : FAppearances) FreeAndNil(a);
}

void TdxStatusBarKeyboardStatePanelStyle::AppearanceChanged(TObject* sender) { PanelChanged(); }

void TdxStatusBarKeyboardStatePanelStyle::SetKeyboardStates(TdxStatusBarKeyboardStates value) {
  if (FKeyboardStates == value) return;
  FKeyboardStates = value;
  PanelChanged();
}

void TdxStatusBarKeyboardStatePanelStyle::SetFullRect(Boolean value) {
  if (FFullRect == value) return;
  FFullRect = value;
  if (GetPanel()) GetPanel()->Changed(true);
}

void TdxStatusBarKeyboardStatePanelStyle::DoAssign(TdxStatusBarPanelStyle* style) {
  inherited::DoAssign(style);
  auto* source = dynamic_cast<TdxStatusBarKeyboardStatePanelStyle*>(style);
  if (!source) return;
  SetKeyboardStates(source->GetKeyboardStates());
  SetFullRect(source->GetFullRect());
  for (Integer i = 0; i < 4; ++i) FAppearances[i]->Assign(source->FAppearances[i]);
}

void TdxStatusBarKeyboardStatePanelStyle::RestoreDefaults() {
  FKeyboardStates = dxStatusBarAllKeyboardStates;
  inherited::RestoreDefaults();
}

Integer TdxStatusBarKeyboardStatePanelStyle::GetMinWidth() {
  TdxCustomStatusBar* statusBar = GetStatusBar();
  if (FKeyboardStates.Empty() || !statusBar) return 50;
  TcxCanvas* canvas = MeasuringCanvas(statusBar);
  canvas->SetFont(GetFont());
  const Integer separator = statusBar->GetPainterClassValue()->GetSeparatorSize(statusBar);
  Integer width = 0;
  Boolean first = true;
  for (Integer i = 0; i < 4; ++i) {
    if (!FKeyboardStates.Contains(TdxStatusBarKeyboardState(i))) continue;
    if (!first) width += separator;
    first = false;
    width += FAppearances[i]->GetCellWidth(canvas) + (FFullRect ? 0 : 2);
  }
  return width;
}

void TdxStatusBarKeyboardStatePanelStyle::DrawContent(TcxCanvas* canvas, const TRect& rect,
                                                      TdxStatusBarPainterClass painter) {
  inherited::DrawContent(canvas, rect, painter);
  TdxCustomStatusBar* statusBar = GetStatusBar();
  if (!statusBar) return;
  canvas->SetFont(GetFont());
  const Integer separator = painter->GetSeparatorSize(statusBar);
  Integer left = rect.Left;
  for (Integer i = 0; i < 4; ++i) {
    if (!FKeyboardStates.Contains(TdxStatusBarKeyboardState(i))) continue;
    TdxStatusBarKeyStateAppearance* a = FAppearances[i];
    const Boolean active = !statusBar->IsDesigning() && (::GetKeyState(a->GetCode()) & 0xFF) == 1;
    const AnsiString& text = active ? a->GetActiveCaption() : a->GetInactiveCaption();
    TColor color = active ? a->GetActiveFontColor() : a->GetInactiveFontColor();
    painter->AdjustTextColor(statusBar, color, active);
    AdjustTextColor(color, active);
    TRect cell{left, rect.Top, left + a->GetCellWidth(canvas) + (FFullRect ? 0 : 2), rect.Bottom};
    const Integer right = cell.Right;
    if (!FFullRect) painter->DrawPanelBorder(statusBar, GetPanel()->GetBevel(), canvas, cell);
    canvas->SetBrushClear(true);
    canvas->SetFontColor(color);
    canvas->DrawTextInRect(text, cell, cxAlignHCenter | cxAlignVCenter | cxSingleLine, statusBar->GetEnabled());
    canvas->SetBrushClear(false);
    left = right + separator;
  }
}

// ---- State indicators --------------------------------------------------------------------------------

ORV_PUBLISH(TdxStatusBarStateIndicatorItem) {
  using T = TdxStatusBarStateIndicatorItem;
  p.Property("IndicatorType", &T::GetIndicatorType, &T::SetIndicatorType).Default(sitOff);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(true);
}

TdxStatusBarStateIndicatorItem::TdxStatusBarStateIndicatorItem(TCollection* collection)
    : TCollectionItem(collection), FIndicatorBitmap(new TBitmap) {
  MakeIndicatorBitmap(FIndicatorBitmap, FIndicatorType);
}

TdxStatusBarStateIndicatorItem::~TdxStatusBarStateIndicatorItem() { orv::Free(FIndicatorBitmap); }

void TdxStatusBarStateIndicatorItem::Assign(TPersistent* source) {
  auto* item = dynamic_cast<TdxStatusBarStateIndicatorItem*>(source);
  if (!item) {
    inherited::Assign(source);
    return;
  }
  SetIndicatorType(item->GetIndicatorType());
  SetVisible(item->GetVisible());
}

void TdxStatusBarStateIndicatorItem::SetIndicatorType(TdxStatusBarStateIndicatorType value) {
  if (FIndicatorType == value) return;
  FIndicatorType = value;
  MakeIndicatorBitmap(FIndicatorBitmap, value);
  Changed(false);
}

void TdxStatusBarStateIndicatorItem::SetVisible(Boolean value) {
  if (FVisible == value) return;
  FVisible = value;
  Changed(false);
}

TdxStatusBarStateIndicators::TdxStatusBarStateIndicators()
    : TCollection(TdxStatusBarStateIndicatorItem::StaticClass()) {}

void TdxStatusBarStateIndicators::Update(TCollectionItem* item) {
  if (FOnChange) FOnChange(this);
}

ORV_PUBLISH(TdxStatusBarStateIndicatorPanelStyle) {
  using T = TdxStatusBarStateIndicatorPanelStyle;
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor").Stored(&T::IsColorStored);
  p.Property("Indicators", &T::GetIndicators);
  p.Property("Spacing", &T::GetSpacing, &T::SetSpacing).Default(4);
}

TdxStatusBarStateIndicatorPanelStyle::TdxStatusBarStateIndicatorPanelStyle(TdxStatusBarPanel* owner)
    : TdxStatusBarPanelStyle(owner), FIndicators(new TdxStatusBarStateIndicators) {
  FIndicators->SetOnChange(TNotifyEvent(this, &TdxStatusBarStateIndicatorPanelStyle::IndicatorsChanged));
}

TdxStatusBarStateIndicatorPanelStyle::~TdxStatusBarStateIndicatorPanelStyle() {
  FIndicators->SetOnChange({});
  orv::Free(FIndicators);
}

void TdxStatusBarStateIndicatorPanelStyle::IndicatorsChanged(TObject* sender) { PanelChanged(); }

void TdxStatusBarStateIndicatorPanelStyle::SetSpacing(Integer value) {
  if (FSpacing == value) return;
  FSpacing = value;
  PanelChanged();
}

void TdxStatusBarStateIndicatorPanelStyle::DoAssign(TdxStatusBarPanelStyle* style) {
  inherited::DoAssign(style);
  auto* source = dynamic_cast<TdxStatusBarStateIndicatorPanelStyle*>(style);
  if (!source) return;
  SetSpacing(source->GetSpacing());
  SetIndicators(source->GetIndicators());
}

void TdxStatusBarStateIndicatorPanelStyle::RestoreDefaults() {
  FSpacing = 4;
  inherited::RestoreDefaults();
}

Integer TdxStatusBarStateIndicatorPanelStyle::GetMinWidth() {
  if (FIndicators->GetCount() == 0) return 20;
  Integer width = FSpacing;
  for (Integer i = 0; i < FIndicators->GetCount(); ++i) {
    TdxStatusBarStateIndicatorItem* item = FIndicators->GetItem(i);
    if (item->GetVisible() && !item->GetIndicatorBitmap()->GetEmpty())
      width += item->GetIndicatorBitmap()->GetWidth() + FSpacing;
  }
  return width;
}

void TdxStatusBarStateIndicatorPanelStyle::DrawContent(TcxCanvas* canvas, const TRect& rect,
                                                       TdxStatusBarPainterClass painter) {
  inherited::DrawContent(canvas, rect, painter);
  Integer x = rect.Left + FSpacing;
  for (Integer i = 0; i < FIndicators->GetCount(); ++i) {
    TdxStatusBarStateIndicatorItem* item = FIndicators->GetItem(i);
    TBitmap* bitmap = item->GetIndicatorBitmap();
    if (!item->GetVisible() || bitmap->GetEmpty()) continue;
    canvas->DrawGraphic(x, (rect.Top + rect.Bottom) / 2 - bitmap->GetHeight() / 2, bitmap);
    x += bitmap->GetWidth() + FSpacing;
  }
}

// ---- Registry ------------------------------------------------------------------------------------------

TcxRegisteredClasses* GetStatusBarPanelStyleRegistry() {
  static std::unique_ptr<TcxRegisteredClasses, orv::FreeDeleter> registry = [] {
    StartStatusBarStrings();
    std::unique_ptr<TcxRegisteredClasses, orv::FreeDeleter> r(new TcxRegisteredClasses(false));
    r->AddClass(TdxStatusBarTextPanelStyle::StaticClass(), GetLocalizedResourceString(&sdxTextPanel));
    r->AddClass(TdxStatusBarContainerPanelStyle::StaticClass(), GetLocalizedResourceString(&sdxContainerPanel));
    r->AddClass(TdxStatusBarKeyboardStatePanelStyle::StaticClass(),
                GetLocalizedResourceString(&sdxKeyboardStatePanel));
    r->AddClass(TdxStatusBarStateIndicatorPanelStyle::StaticClass(),
                GetLocalizedResourceString(&sdxStateIndicatorPanel));
    return r;
  }();
  return registry.get();
}

// ==== Panels =======================================================================================

ORV_PUBLISH(TdxStatusBarPanel) {
  using T = TdxStatusBarPanel;
  p.Property("PanelStyleClassName", &T::GetPanelStyleClassName, &T::SetPanelStyleClassName);
  p.Property("PanelStyle", &T::GetPanelStyle);
  p.Property("PanelStyleEvents", &T::GetPanelStyleEvents, &T::SetPanelStyleEvents);
  p.Property("Bevel", &T::GetBevel, &T::SetBevel).Default(dxpbLowered);
  p.Property("Fixed", &T::GetFixed, &T::SetFixed).Default(true);
  p.Property("MinWidth", &T::GetMinWidth, &T::SetMinWidth).Stored(&T::IsMinWidthStored);
  p.Property("Text", &T::GetText, &T::SetText);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(true);
  p.Property("Width", &T::GetWidth, &T::SetWidth).Stored(&T::IsWidthStored);
  p.Property("OnClick", &T::GetOnClick, &T::SetOnClick);
  p.Property("OnDblClick", &T::GetOnDblClick, &T::SetOnDblClick);
  p.Property("OnDrawPanel", &T::GetOnDrawPanel, &T::SetOnDrawPanel);
}

TdxStatusBarPanel::TdxStatusBarPanel(TCollection* collection) : TCollectionItem(collection) {
  TdxCustomStatusBar* statusBar = GetStatusBar();
  if (statusBar && !IsLoadingOrReading(statusBar)) SetPanelStyleClass(statusBar->GetDefaultPanelStyleClass());
}

void TdxStatusBarPanel::BeforeDestruction() {
  // A style that refuses deletion is still freed here: teardown cannot be refused.
  FreePanelStyle();
  inherited::BeforeDestruction();
}

TdxStatusBarPanels* TdxStatusBarPanel::GetPanels() const { return dynamic_cast<TdxStatusBarPanels*>(GetCollection()); }

TdxCustomStatusBar* TdxStatusBarPanel::GetStatusBar() const {
  TdxStatusBarPanels* panels = GetPanels();
  return panels ? panels->GetStatusBar() : nullptr;
}

AnsiString TdxStatusBarPanel::GetDisplayName() const { return FText.empty() ? inherited::GetDisplayName() : FText; }

AnsiString TdxStatusBarPanel::GetPanelStyleClassName() const {
  return FPanelStyleClass ? AnsiString(TClass(FPanelStyleClass)->ClassName()) : AnsiString();
}

void TdxStatusBarPanel::SetPanelStyleClassName(const AnsiString& value) {
  SetPanelStyleClass(TdxStatusBarPanelStyleClass(GetStatusBarPanelStyleRegistry()->FindByClassName(value)));
}

void TdxStatusBarPanel::SetPanelStyleClass(TdxStatusBarPanelStyleClass value) {
  if (TClass(value) == TClass(FPanelStyleClass)) return;
  TdxCustomStatusBar* statusBar = GetStatusBar();
  if (statusBar && !statusBar->CanAcceptPanelStyle(value)) return;
  DestroyPanelStyle();
  FPanelStyleClass = value;
  CreatePanelStyle();
}

void TdxStatusBarPanel::SetPanelStyle(TdxStatusBarPanelStyle* value) {
  if (FPanelStyle && value) FPanelStyle->Assign(value);
}

void TdxStatusBarPanel::CreatePanelStyle() {
  if (FPanelStyleClass) FPanelStyle = FPanelStyleClass.Create(this);
  // The new style decides widths and content: lay out again, not only repaint.
  if (TdxCustomStatusBar* statusBar = GetStatusBar()) statusBar->LayoutChanged();
}

void TdxStatusBarPanel::DestroyPanelStyle() {
  if (!FPanelStyle) return;
  TdxCustomStatusBar* statusBar = GetStatusBar();
  if ((!statusBar || !IsBusy(statusBar)) && !FPanelStyle->IsDeletable())
    throw EdxException(GetLocalizedResourceString(&sdxCantDeleteAncestor));
  FreePanelStyle();
}

void TdxStatusBarPanel::FreePanelStyle() {
  TdxStatusBarPanelStyle* style = FPanelStyle;
  FPanelStyle = nullptr;
  orv::Free(style);
}

void TdxStatusBarPanel::SetBevel(TdxStatusBarPanelBevel value) {
  if (FBevel == value) return;
  FBevel = value;
  Changed(false);
}

Boolean TdxStatusBarPanel::GetFixed() const { return StyleCanSizing() ? FFixed : true; }

void TdxStatusBarPanel::SetFixed(Boolean value) {
  if (FFixed == value) return;
  FFixed = value;
  Changed(false);
}

Integer TdxStatusBarPanel::GetMinWidth() const {
  return FIsMinWidthAssigned && StyleCanSizing() ? FMinWidth : GetDefaultMinWidth();
}

void TdxStatusBarPanel::SetMinWidth(Integer value) {
  FMinWidth = std::max<Integer>(value, 0);
  FIsMinWidthAssigned = true;
  if (GetWidth() < FMinWidth) {
    FWidth = FMinWidth;
    FIsWidthAssigned = true;
  }
  Changed(false);
}

void TdxStatusBarPanel::SetText(const AnsiString& value) {
  if (FText == value) return;
  FText = value;
  Changed(false);
}

void TdxStatusBarPanel::SetVisible(Boolean value) {
  if (FVisible == value) return;
  FVisible = value;
  if (FPanelStyle) FPanelStyle->PanelVisibleChanged();
  Changed(false);
}

Integer TdxStatusBarPanel::GetWidth() const {
  return FIsWidthAssigned && StyleCanSizing() ? FWidth : GetDefaultWidth();
}

void TdxStatusBarPanel::SetWidth(Integer value) {
  FWidth = std::max(value, FMinWidth);
  FIsWidthAssigned = true;
  Changed(false);
}

void TdxStatusBarPanel::Click() { FireNotifyEvent(this, FOnClick); }
void TdxStatusBarPanel::DblClick() { FireNotifyEvent(this, FOnDblClick); }

Integer TdxStatusBarPanel::GetDefaultMinWidth() const { return FPanelStyle ? FPanelStyle->GetMinWidth() : 20; }

Integer TdxStatusBarPanel::GetDefaultWidth() const { return StyleCanSizing() ? 50 : GetDefaultMinWidth(); }

Integer TdxStatusBarPanel::GetLayoutMinWidth() const {
  Integer width = GetMinWidth();
  AdjustLayoutWidth(width);
  return width;
}

Integer TdxStatusBarPanel::GetLayoutWidth() const {
  Integer width = GetWidth();
  AdjustLayoutWidth(width);
  return width;
}

void TdxStatusBarPanel::AdjustLayoutWidth(Integer& width) const {
  if (!FPanelStyle) return;
  if (!FPanelStyle->DrawsOwnBevels()) width += 2;
  TdxCustomStatusBar* statusBar = GetStatusBar();
  TdxStatusBarPanels* panels = GetPanels();
  if (statusBar && panels && panels->GetItem(panels->GetCount() - 1) == this && statusBar->IsSizeGripVisible())
    width += statusBar->GetPainterClassValue()->GetSizeGripSize().cx;
}

void TdxStatusBarPanel::RestoreDefaults() {
  FVisible = true;
  FMinWidth = 20;
  FWidth = 50;
  FFixed = true;
  FBevel = dxpbLowered;
  FIsMinWidthAssigned = false;
  FIsWidthAssigned = false;
  Changed(true);
}

void TdxStatusBarPanel::Assign(TPersistent* source) {
  auto* panel = dynamic_cast<TdxStatusBarPanel*>(source);
  if (!panel) {
    inherited::Assign(source);
    return;
  }
  TCollection* collection = GetCollection();
  if (collection) collection->BeginUpdate();
  try {
    RestoreDefaults();
    SetPanelStyleClassName(panel->GetPanelStyleClassName());
    SetPanelStyle(panel->GetPanelStyle());
    SetVisible(panel->GetVisible());
    SetBevel(panel->GetBevel());
    SetFixed(panel->GetFixed());
    if (panel->IsMinWidthStored()) SetMinWidth(panel->GetMinWidth());
    SetText(panel->GetText());
    if (panel->IsWidthStored()) SetWidth(panel->GetWidth());
    SetOnClick(panel->GetOnClick());
    SetOnDblClick(panel->GetOnDblClick());
    SetOnDrawPanel(panel->GetOnDrawPanel());
  } catch (...) {
    if (collection) collection->EndUpdate();
    throw;
  }
  if (collection) collection->EndUpdate();
}

TdxStatusBarPanels::TdxStatusBarPanels(TdxCustomStatusBar* owner)
    : TCollection(owner->GetPanelClass()), FStatusBar(owner) {}

TPersistent* TdxStatusBarPanels::GetOwner() { return FStatusBar; }

void TdxStatusBarPanels::Update(TCollectionItem* item) {
  if (FStatusBar) FStatusBar->LayoutChanged();
}

// ==== View info ====================================================================================

void TdxStatusBarViewInfo::Calculate(const TRect& bounds) {
  FPanels.clear();
  FWidths.clear();
  FPanelsFillWidth = false;
  TdxStatusBarPanels* panels = FStatusBar->GetPanels();
  for (Integer i = 0; i < panels->GetCount(); ++i)
    if (panels->GetItem(i)->GetVisible()) FPanels.push_back(panels->GetItem(i));
  const Integer n = Integer(FPanels.size());
  if (n == 0) return;
  TcxAutoWidthObject widths(2 * n - 1);
  const Integer separator = FStatusBar->GetPainterClassValue()->GetSeparatorSize(FStatusBar);
  Boolean stretchingSeen = false;
  for (Integer i = 0; i < n; ++i) {
    TdxStatusBarPanel* panel = FPanels[std::size_t(i)];
    TcxAutoWidthItem* item = widths.NewItem();
    item->MinWidth = panel->GetLayoutMinWidth();
    item->Width = panel->GetLayoutWidth();
    if (!panel->GetFixed()) {
      item->Fixed = false;
      stretchingSeen = true;
    } else {
      // The last panel takes the rest when every panel is fixed.
      item->Fixed = !(i == n - 1 && !stretchingSeen);
    }
    if (i < n - 1) {
      TcxAutoWidthItem* gap = widths.NewItem();
      gap->Width = separator;
      gap->MinWidth = separator;
      gap->Fixed = true;
    }
  }
  widths.SetFreeWidth(bounds.Right - bounds.Left);
  widths.DistributeWidth();
  FPanelsFillWidth = widths.GetTotalWidth() >= widths.GetFreeWidth();
  for (Integer i = 0; i < widths.GetItemCount(); ++i) FWidths.push_back(widths.GetItemAt(i)->AutoWidth);
}

// ==== The status bar ===============================================================================

ORV_PUBLISH(TdxStatusBar) {
  using T = TdxStatusBar;
  p.Property("Images", &T::GetImages, &T::SetImages);
  p.Property("Panels", &T::GetPanels);
  p.Property("PaintStyle", &T::GetPaintStyle, &T::SetPaintStyle).Default(stpsStandard);
  p.Property("SizeGrip", &T::GetSizeGrip, &T::SetSizeGrip).Default(true);
  p.Property("LookAndFeel", &T::GetLookAndFeel);
  p.Property("OnHint", &T::GetOnHint, &T::SetOnHint);
  p.Property("BorderWidth", &T::GetBorderWidth, &T::SetBorderWidth).Default(0);
  p.Property("Anchors", &T::GetAnchors, &T::SetAnchors).Default(TAnchors{akLeft, akTop});
  p.Property("DragCursor", &T::GetDragCursor, &T::SetDragCursor).Default(crDrag);
  p.Property("DragKind", &T::GetDragKind, &T::SetDragKind).Default(dkDrag);
  p.Property("DragMode", &T::GetDragMode, &T::SetDragMode).Default(dmManual);
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("Font", &T::GetFont);
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor").Default(clBtnFace);
  p.Property("Constraints", &T::GetConstraints);
  p.Property("ShowHint", &T::GetShowHint, &T::SetShowHint).Default(false);
  p.Property("ParentFont", &T::GetParentFont, &T::SetParentFont).Default(false);
  p.Property("ParentShowHint", &T::GetParentShowHint, &T::SetParentShowHint).Default(true);
  p.Property("PopupMenu", &T::GetPopupMenuValue, &T::SetPopupMenu);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(true);
  p.Property("OnContextPopup", &T::GetOnContextPopup, &T::SetOnContextPopup);
  p.Property("OnClick", &T::GetOnClick, &T::SetOnClick);
  p.Property("OnDblClick", &T::GetOnDblClick, &T::SetOnDblClick);
  p.Property("OnDragDrop", &T::GetOnDragDrop, &T::SetOnDragDrop);
  p.Property("OnDragOver", &T::GetOnDragOver, &T::SetOnDragOver);
  p.Property("OnEndDrag", &T::GetOnEndDrag, &T::SetOnEndDrag);
  p.Property("OnMouseDown", &T::GetOnMouseDown, &T::SetOnMouseDown);
  p.Property("OnMouseMove", &T::GetOnMouseMove, &T::SetOnMouseMove);
  p.Property("OnMouseUp", &T::GetOnMouseUp, &T::SetOnMouseUp);
  p.Property("OnResize", &T::GetOnResize, &T::SetOnResize);
  p.Property("OnStartDrag", &T::GetOnStartDrag, &T::SetOnStartDrag);
  p.Property("OnEndDock", &T::GetOnEndDock, &T::SetOnEndDock);
  p.Property("OnStartDock", &T::GetOnStartDock, &T::SetOnStartDock);
}

TdxCustomStatusBar::TdxCustomStatusBar(TComponent* owner) : TcxControl(owner) {
  FViewInfo = CreateViewInfo();
  TControlStyle style = GetControlStyle();
  style.Exclude(csSetCaption);
  style.Include(csCaptureMouse);
  style.Include(csClickEvents);
  style.Include(csOpaque);
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetTabStop(false);
  UpdateScrollBarsPresence();
  SetDoubleBuffered(true);
  SetColor(clBtnFace);
  SetHeight(20);
  SetAlign(alBottom);
  SetParentFont(false);
  FPanels = CreatePanels();
  FImageChangeLink = new TChangeLink;
  FImageChangeLink->SetOnChange(TNotifyEvent(this, &TdxCustomStatusBar::ImageListChanged));
  FThemeChangedNotificator = new TdxThemeChangedNotificator;
  FThemeChangedNotificator->SetOnThemeChanged(TNotifyEvent(this, &TdxCustomStatusBar::ThemeChangedHandler));
  PaintStyleChanged();
  AcquireOffice11Resources();
}

void TdxCustomStatusBar::BeforeDestruction() {
  Destroying();
  ReleaseOffice11Resources();
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink);
  FreeAndNil(FThemeChangedNotificator);
  FreeAndNil(FImageChangeLink);
  // Panels go before the children: container styles only drop their controls while the status
  // bar is destroying, and the window frees them with the other children.
  FreeAndNil(FPanels);
  inherited::BeforeDestruction();
}

TdxCustomStatusBar::~TdxCustomStatusBar() { orv::Free(FViewInfo); }

TdxStatusBarViewInfo* TdxCustomStatusBar::CreateViewInfo() { return new TdxStatusBarViewInfo(this); }

void TdxCustomStatusBar::CalculateLayout() {
  FViewInfo->Calculate(GetClientBounds());
  PlaceContainers();
}

void TdxCustomStatusBar::PlaceContainers() {
  // Container panels place their windows with the layout, not while the status bar paints:
  // moving a child window changes what the paint may still draw on. The content rectangle is
  // the panel's less the bevel its painter draws, measured on a scratch DC.
  HDC scratch = nullptr;
  TcxCanvas* canvas = nullptr;
  for (Integer i = 0; i < FViewInfo->GetPanelCount(); ++i) {
    TdxStatusBarPanel* panel = FViewInfo->GetPanel(i);
    auto* style = dynamic_cast<TdxStatusBarContainerPanelStyle*>(panel->GetPanelStyle());
    if (!style || !style->GetContainer()) continue;
    if (!canvas) {
      scratch = CreateCompatibleDC(nullptr);
      canvas = new TcxCanvas(scratch);
    }
    TRect r = GetPanelRect(i);
    FPainter->DrawPanelBorder(this, FPainter->GetPanelBevel(panel), canvas, r);
    style->PlaceContainer(r, FPainter);
  }
  if (canvas) {
    canvas->Free();
    DeleteDC(scratch);
  }
}

TdxStatusBarPanel* TdxCustomStatusBar::CreatePanel() { return FPanels->Add(); }

TdxStatusBarPanels* TdxCustomStatusBar::CreatePanels() { return new TdxStatusBarPanels(this); }

Boolean TdxCustomStatusBar::DoHint() {
  if (!FOnHint) return false;
  FOnHint(this);
  return true;
}

TdxStatusBarPanelStyleClass TdxCustomStatusBar::GetDefaultPanelStyleClass() {
  return TdxStatusBarTextPanelStyle::StaticClass();
}

TdxStatusBarPaintStyle TdxCustomStatusBar::GetEffectivePaintStyle() {
  if (FPaintStyle != stpsUseLookAndFeel) return FPaintStyle;
  TcxLookAndFeel* lookAndFeel = GetLookAndFeel();
  if (lookAndFeel->GetNativeStyle() && FThemeAvailable) return stpsXP;
  switch (lookAndFeel->GetKind()) {
    case lfUltraFlat: return stpsFlat;
    case lfOffice11: return stpsOffice11;
    default: return stpsStandard;
  }
}

TdxStatusBarPainterClass TdxCustomStatusBar::GetPainterClass() {
  if (FPaintStyle == stpsUseLookAndFeel && orv::dxStatusBarSkinPainterClass && GetLookAndFeel()->GetSkinPainter())
    return orv::dxStatusBarSkinPainterClass;
  switch (GetEffectivePaintStyle()) {
    case stpsFlat: return TdxStatusBarFlatPainter::Class();
    case stpsXP: return FThemeAvailable ? TdxStatusBarXPPainter::Class() : TdxStatusBarStandardPainter::Class();
    case stpsOffice11: return TdxStatusBarOffice11Painter::Class();
    default: return TdxStatusBarStandardPainter::Class();
  }
}

TdxStatusBarPanelClass TdxCustomStatusBar::GetPanelClass() { return TdxStatusBarPanel::StaticClass(); }

void TdxCustomStatusBar::UpdatePainter() {
  FThemeAvailable = IsVisualStyleActive(TdxThemedObjectKinds{totStatus});
  FPainter = GetPainterClass();
}

void TdxCustomStatusBar::PaintStyleChanged() {
  UpdatePainter();
  LayoutChanged();
}

Boolean TdxCustomStatusBar::IsSizeGripVisible() {
  if (!FSizeGrip) return false;
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  if (form->GetBorderStyle() != bsSizeable && form->GetBorderStyle() != bsSizeToolWin) return false;
  if (form->GetWindowState() != wsNormal) return false;
  if (form->HandleAllocated() && (IsZoomed(form->GetHandle()) || IsIconic(form->GetHandle()))) return false;
  TPoint corner{GetLeft() + GetWidth(), GetTop() + GetHeight()};
  for (TWinControl* parent = GetParent(); parent && parent != form; parent = parent->GetParent()) {
    if (!parent->GetParent()) continue;
    corner.X += parent->GetLeft();
    corner.Y += parent->GetTop();
  }
  return corner.X == form->GetClientWidth() && corner.Y >= form->GetClientHeight();
}

void TdxCustomStatusBar::ThemeChanged() { PaintStyleChanged(); }

void TdxCustomStatusBar::ThemeChangedHandler(TObject* sender) { ThemeChanged(); }

void TdxCustomStatusBar::LayoutChanged() {
  if (IsDestroying() || !FPanels) return;
  CalculateLayout();
  Invalidate();
}

Boolean TdxCustomStatusBar::CanAcceptPanelStyle(TdxStatusBarPanelStyleClass value) {
  // Every style of the library is supported (IsUnsupportedStyle answers false for all of them).
  return true;
}

TRect TdxCustomStatusBar::GetPanelsBounds() {
  const TRect widths = FPainter->GetBorderWidths(this);
  return Shrunk(GetClientBounds(), widths.Left, widths.Top, widths.Right, widths.Bottom);
}

TRect TdxCustomStatusBar::GetPanelRect(Integer visibleIndex) {
  const TRect bounds = GetPanelsBounds();
  Integer x = bounds.Left;
  for (Integer i = 0; i < FViewInfo->GetWidthCount(); ++i) {
    const Integer w = FViewInfo->GetWidth(i);
    if (i == 2 * visibleIndex) return {x, bounds.Top, x + w, bounds.Bottom};
    x += w;
  }
  return {};
}

TdxStatusBarPanel* TdxCustomStatusBar::GetPanelAt(Integer x, Integer y) {
  const TRect bounds = GetPanelsBounds();
  Integer left = bounds.Left;
  for (Integer i = 0; i < FViewInfo->GetWidthCount(); ++i) {
    const Integer w = FViewInfo->GetWidth(i);
    if (i % 2 == 0 && x >= left && x < left + w && y >= bounds.Top && y < bounds.Bottom)
      return FViewInfo->GetPanel(i / 2);
    left += w;
  }
  return nullptr;
}

Boolean TdxCustomStatusBar::ExecuteAction(TBasicAction* action) {
  TdxStatusBarPanel* hintPanel = nullptr;
  for (Integer i = 0; i < FPanels->GetCount(); ++i) {
    auto* text = dynamic_cast<TdxStatusBarTextPanelStyle*>(FPanels->GetItem(i)->GetPanelStyle());
    if (text && text->GetAutoHint()) hintPanel = FPanels->GetItem(i);
  }
  auto* hintAction = dynamic_cast<TCustomAction*>(action);
  if (!IsDesigning() && hintPanel && hintAction && hintAction->ClassNameIs("THintAction") && !DoHint()) {
    hintPanel->SetText(hintAction->GetHint());
    return true;
  }
  return false;
}

void TdxCustomStatusBar::SetImages(TCustomImageList* value) {
  if (FImages == value) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink);
    FImages->RemoveFreeNotification(this);
  }
  FImages = value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink);
    FImages->FreeNotification(this);
  }
  LayoutChanged();
}

void TdxCustomStatusBar::ImageListChanged(TObject* sender) { LayoutChanged(); }

void TdxCustomStatusBar::SetPaintStyle(TdxStatusBarPaintStyle value) {
  if (FPaintStyle == value) return;
  FPaintStyle = value;
  PaintStyleChanged();
}

void TdxCustomStatusBar::SetSizeGrip(Boolean value) {
  if (FSizeGrip == value) return;
  FSizeGrip = value;
  LayoutChanged();
}

void TdxCustomStatusBar::SetLookAndFeelValue(TcxLookAndFeel* value) {
  SetLookAndFeel(value);
  LayoutChanged();
}

void TdxCustomStatusBar::SetBorderWidth(Integer value) {
  value = std::max<Integer>(value, 0);
  if (FBorderWidth == value) return;
  FBorderWidth = value;
  LayoutChanged();
}

void TdxCustomStatusBar::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FImages) {
    FImages = nullptr;
    LayoutChanged();
  }
}

void TdxCustomStatusBar::Loaded() {
  inherited::Loaded();
  for (Integer i = 0; i < FPanels->GetCount(); ++i)
    if (TdxStatusBarPanelStyle* style = FPanels->GetItem(i)->GetPanelStyle()) style->Loaded();
  LayoutChanged();
}

void TdxCustomStatusBar::Resize() {
  inherited::Resize();
  if (FPanels) CalculateLayout();
  Invalidate();
}

void TdxCustomStatusBar::FontChanged() {
  inherited::FontChanged();
  if (!FPanels) return;
  for (Integer i = 0; i < FPanels->GetCount(); ++i)
    if (TdxStatusBarPanelStyle* style = FPanels->GetItem(i)->GetPanelStyle()) style->ParentFontChanged();
}

void TdxCustomStatusBar::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {
  PaintStyleChanged();
}

void TdxCustomStatusBar::Paint() {
  inherited::Paint();
  TcxCanvas* canvas = GetCanvas();
  TRect r = GetClientBounds();
  FPainter->DrawBorder(this, canvas, r);
  canvas->IntersectClip(r);
  const Boolean overlapped = FViewInfo->GetPanelCount() > 0 && FViewInfo->GetPanelsFillWidth();
  const Boolean gripVisible = IsSizeGripVisible();
  if (FPainter->DrawSizeGripFirst() && gripVisible) FPainter->DrawSizeGrip(this, canvas, overlapped, r);
  if (FViewInfo->GetPanelCount() == 0) {
    FPainter->DrawEmptyPanel(this, canvas, r);
  } else {
    Integer x = r.Left;
    for (Integer i = 0; i < FViewInfo->GetWidthCount(); ++i) {
      const Integer w = FViewInfo->GetWidth(i);
      const TRect part{x, r.Top, x + w, r.Bottom};
      if (i % 2 == 0)
        FPainter->DrawPanel(this, FViewInfo->GetPanel(i / 2), canvas, part);
      else
        FPainter->DrawPanelSeparator(this, canvas, part);
      x += w;
    }
  }
  if (!FPainter->DrawSizeGripFirst() && gripVisible) FPainter->DrawSizeGrip(this, canvas, overlapped, r);
}

void TdxCustomStatusBar::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  inherited::MouseDown(button, shift, x, y);
  if (!guard.Alive()) return;
  if (button == mbLeft && shift.Contains(ssDouble))
    if (TdxStatusBarPanel* panel = GetPanelAt(x, y)) panel->DblClick();
}

void TdxCustomStatusBar::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  inherited::MouseUp(button, shift, x, y);
  if (!guard.Alive()) return;
  if (button == mbLeft)
    if (TdxStatusBarPanel* panel = GetPanelAt(x, y)) panel->Click();
}

void TdxCustomStatusBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST: {
      inherited::Dispatch(message);
      if (IsDesigning() || !IsSizeGripVisible()) return;
      const TPoint p = ScreenToClient({GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
      const TRect c = GetClientBounds();
      const TSize s = FPainter->GetSizeGripSize();
      if (p.X >= c.Right - s.cx - 2 && p.X < c.Right && p.Y >= c.Bottom - s.cy - 2 && p.Y < c.Bottom)
        message.Result = HTBOTTOMRIGHT;
      return;
    }
    case CM_COLORCHANGED:
    case CM_PARENTFONTCHANGED:
    case CM_WININICHANGE:
      inherited::Dispatch(message);
      LayoutChanged();
      return;
    case CM_SYSCOLORCHANGE:
      inherited::Dispatch(message);
      RefreshOffice11Colors();
      LayoutChanged();
      return;
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(message);
      Invalidate();
      return;
    default: inherited::Dispatch(message);
  }
}
