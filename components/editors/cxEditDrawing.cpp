// The editors' layout (view data) and painting (view info).
#include <algorithm>
#include <memory>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

template <class T>
using Owned = std::unique_ptr<T, orv::FreeDeleter>;

TRect ShrinkBy(const TRect& r, const TRect& e) {
  return TRect{r.Left + e.Left, r.Top + e.Top, r.Right - e.Right, r.Bottom - e.Bottom};
}

Boolean HasEdge(TcxBorders edges, TcxBorder border) { return edges.Contains(border); }

}  // namespace

// ==== Button view info ========================================================================

void TcxEditButtonViewInfo::Assign(TPersistent* source) {
  if (auto* b = dynamic_cast<TcxEditButtonViewInfo*>(source)) {
    NativePart = b->NativePart;
    NativeState = b->NativeState;
    BackgroundColor = b->BackgroundColor;
    Bounds = b->Bounds;
    VisibleBounds = b->VisibleBounds;
    Style = b->Style;
    State = b->State;
    return;
  }
  inherited::Assign(source);
}

Boolean TcxEditButtonViewInfo::StateDiffers(const TcxEditButtonViewInfo* previous) const {
  return Style != previous->Style || State != previous->State || BackgroundColor != previous->BackgroundColor ||
         NativeState != previous->NativeState;
}

TcxRegion* TcxEditButtonViewInfo::CreateUpdateRegion(TcxEditButtonViewInfo* previous) {
  if (!StateDiffers(previous)) return new TcxRegion();
  return new TcxRegion(Bounds);
}

Boolean TcxEditButtonViewInfo::InvalidateIfChanged(TWinControl* control, TcxEditButtonViewInfo* previous,
                                                   const TPoint& origin) {
  if (!StateDiffers(previous)) return false;
  TRect r = Bounds;
  r = GetOffsetRect(r, origin.X, origin.Y);
  InvalidateControlRect(control, r, EraseOnInvalidate);
  return true;
}

// ==== View data ===============================================================================

TcxCustomEditViewData::TcxCustomEditViewData(TcxCustomEditProperties* properties, TcxCustomEditStyle* style,
                                             Boolean isInplace)
    : IsInplace(isInplace), Properties(properties), Style(style) {}

TcxCustomEditViewData* TcxCustomEditViewData::CreateFor(TcxCustomEditViewDataClass cls,
                                                        TcxCustomEditProperties* properties,
                                                        TcxCustomEditStyle* style, Boolean isInplace) {
  TcxCustomEditViewData* viewData = cls.Create(properties, style, isInplace);
  viewData->InitializeDefaults();
  viewData->ButtonTextColor = clDefault;
  viewData->ButtonColor = clDefault;
  viewData->InitializeFromProperties();
  return viewData;
}

void TcxCustomEditViewData::InitializeDefaults() {
  InplaceClientExtent = TRect{};
  IsEnabledView = true;
}

void TcxCustomEditViewData::InitializeFromProperties() {
  VisibleButtonCount = Properties->GetButtons()->GetVisibleCount();
  ExchangesAsText = Properties->GetValueExchangeMode(false) == 0;
  HorzAlignment = Properties->GetAlignment()->GetHorz();
  VertAlignment = Properties->GetAlignment()->GetVert();
  UsesNativeStyleFlag = Style && UsesNativeStyle(Style->GetLookAndFeel());
  GetEditMetrics(EditMetrics);
}

Boolean TcxCustomEditViewData::UsesNativeStyle(TcxLookAndFeel* lookAndFeel) {
  return lookAndFeel && IsNativeStyleUsable(lookAndFeel->GetNativeStyle(), totEdit);
}

TRect TcxCustomEditViewData::GetTextOffsets() { return IsInplace ? TRect{1, 1, 1, 1} : TRect{1, 1, 1, 3}; }

Integer TcxCustomEditViewData::GetEditMetrics(TcxEditMetrics& metrics) {
  metrics = TcxEditMetrics{};
  metrics.TextOffsets = GetTextOffsets();
  metrics.HorzRemainder = 3 - metrics.TextOffsets.Left - metrics.TextOffsets.Right;
  metrics.NativeHeightCorrection = UsesNativeStyleFlag ? GetInplaceNativeHeightCorrection(Properties, IsInplace) : 0;
  return 2;
}

Integer TcxCustomEditViewData::GetEditNativeState(TcxCustomEditViewInfo* viewInfo) {
  const TcxContainerState state = viewInfo->ContainerState;
  if (state.Contains(csDisabled)) return 4;
  if (Properties->GetReadOnly()) return 6;
  if (state.Contains(csActive)) return IsDesktopCompositionEnabled() ? 3 : 5;
  if (state.Contains(csHotTrack)) return 2;
  return 1;
}

Boolean TcxCustomEditViewData::UsesThickBorder() {
  if (!Edit) return Style->GetEditBorderStyle() == ebsThick;
  for (Integer state = 0; state < 4; ++state)
    if (static_cast<TcxCustomEditStyle*>(Edit->GetContainerStyles()->GetStyleByState(state))->GetEditBorderStyle() ==
        ebsThick)
      return true;
  return false;
}

TcxContainerState TcxCustomEditViewData::GetContainerState(const TPoint& mousePos, Integer button, TShiftState shift,
                                                           Boolean isMouseEvent) {
  if (!IsEnabledView) return TcxContainerState{csDisabled};
  if (IsDesignView) return TcxContainerState{csNormal};
  TcxContainerState state{IsFocusedView ? csActive : csNormal};
  const TRect hotArea = Edit ? Edit->GetHotTrackArea() : ShrinkBy(LastBounds, InplaceClientExtent);
  const Boolean captured = Edit && Edit->HandleAllocated() && GetCapture() == Edit->GetHandle();
  if (IsPointInRect(hotArea, mousePos) && (!isMouseEvent || button == 0 || captured || !Edit)) state.Include(csHotTrack);
  return state;
}

TcxEditBorderStyle TcxCustomEditViewData::GetBorderStyle() {
  if (IsInplace) return ebsNone;
  TcxEditBorderStyle style = Style->GetEditBorderStyle();
  if (style == ebsUltraFlat || style == ebsOffice11) style = ebsSingle;
  return style;
}

TRect TcxCustomEditViewData::GetBorderExtentByEdges(Integer width) {
  const TcxBorders edges = Style->GetEdges();
  return TRect{HasEdge(edges, bLeft) ? width : 0, HasEdge(edges, bTop) ? width : 0,
               HasEdge(edges, bRight) ? width : 0, HasEdge(edges, bBottom) ? width : 0};
}

TRect TcxCustomEditViewData::GetStyleBorderExtent() {
  if (!Style->IsBorderVisible() || (Style->GetEditBorderStyle() == ebsNone && !Style->GetTransparentBorder()))
    return TRect{};
  const TcxCustomLookAndFeelPainterClass skin = Style->GetLookAndFeel()->GetSkinPainter();
  TcxEditBorderStyle style = UsesThickBorder() ? ebsThick : Style->GetEditBorderStyle();
  return GetBorderExtentByEdges(GetEditBorderWidth(style, skin));
}

TRect TcxCustomEditViewData::GetBorderExtent() {
  if (IsInplace) return InplaceClientExtent;
  TRect e{};
  TcxCustomEditStyle* base = Style->GetBaseStyle();
  if (Style->GetLookAndFeel()->GetSkinPainter())
    e = GetStyleBorderExtent();
  else if (Style->GetTransparentBorder())
    e = TRect{2, 2, 2, 2};
  else if (!Style->IsBorderVisible() || (UsesNativeStyleFlag && base->GetEditBorderStyle() == ebsNone))
    e = TRect{};
  else if (UsesNativeStyleFlag)
    e = TRect{2, 2, 2, 2};
  else
    e = GetBorderExtentByEdges(GetContainerBorderWidth(TcxContainerBorderStyle(GetBorderStyle())));
  if (HasShadow()) {
    e.Right += 3;
    e.Bottom += 3;
  }
  return e;
}

Boolean TcxCustomEditViewData::HasShadow() {
  return Style->GetShadow() && !UsesNativeStyle(Style->GetLookAndFeel());
}

TRect TcxCustomEditViewData::GetClientExtent(TcxCanvas* canvas) {
  if (IsInplace) return InplaceClientExtent;
  if (!UsesNativeStyleFlag) return GetBorderExtent();
  TcxCustomEditStyle* base = Style->GetBaseStyle();
  if (!Style->GetTransparentBorder() && !Style->IsBorderVisible()) return TRect{};
  if (base->GetEditBorderStyle() != ebsNone) {
    if (const TdxTheme theme = GetThemeHandle(totEdit)) {
      const TRect box{0, 0, 100, 100};
      TRect content = box;
      GetThemeBackgroundContentRect(theme, canvas ? canvas->GetDCHandle() : nullptr, 1, 1, box, content);
      return TRect{content.Left, content.Top, 100 - content.Right, 100 - content.Bottom};
    }
  }
  return TRect{2, 2, 2, 2};
}

TRect TcxCustomEditViewData::GetContentExtent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo) {
  TRect e = GetBorderExtent();
  if (Properties->GetButtonsViewStyle() != 0 && viewInfo->GetButtonCount() > 0) {
    const TRect c = GetClientExtent(canvas);
    e.Left = c.Left;
    e.Right = c.Right;
  }
  if (HScrollBarRef && HScrollBarRef->GetVisible()) e.Bottom += HScrollBarRef->GetHeight();
  if (VScrollBarRef && VScrollBarRef->GetVisible()) e.Right += VScrollBarRef->GetWidth();
  const TRect b = viewInfo->Bounds;
  for (TcxEditButtonViewInfo* button : viewInfo->ButtonsInfo) {
    if (orv::IsEmptyRect(button->Bounds) && button->Bounds.Width() == 0) continue;
    if (button->LeftAlignment)
      e.Left = std::max(e.Left, button->Bounds.Right - b.Left);
    else
      e.Right = std::max(e.Right, b.Right - button->Bounds.Left);
  }
  return e;
}

TColor TcxCustomEditViewData::GetBorderColor() {
  const TcxContainerState state = ContainerStateFlags;
  const Boolean highlighted = state.Contains(csActive) || (state.Contains(csHotTrack) && Style->GetHotTrack()) ||
                              (IsDesignView && IsEnabledView);
  if (const TcxCustomLookAndFeelPainterClass skin = Style->GetLookAndFeel()->GetSkinPainter())
    return skin->DefaultEditorBorderColor(highlighted);
  const TcxEditBorderStyle style = Style->GetEditBorderStyle();
  if (style != ebsUltraFlat && style != ebsOffice11) return Style->GetBorderColor();
  if (!highlighted) return clBtnShadow;
  return GetHotBorderColor(style == ebsOffice11);
}

TcxEditButtonStyle TcxCustomEditViewData::GetEffectiveButtonStyle() {
  const TcxEditButtonStyle style = Style->GetButtonStyle();
  if (style != btsDefault) return style;
  if (!IsInplace && (Style->GetEditBorderStyle() != ebsNone || Style->GetHotTrack())) {
    static constexpr TcxEditButtonStyle kByBorder[] = {btsSimple, btsHotFlat, bts3D, btsFlat,
                                                       bts3D, btsUltraFlat, btsOffice11};
    return kByBorder[Style->GetEditBorderStyle()];
  }
  static constexpr TcxEditButtonStyle kByKind[] = {btsFlat, bts3D, btsUltraFlat, btsOffice11};
  return kByKind[Style->GetLookAndFeel()->GetKind()];
}

Integer TcxCustomEditViewData::GetCapturedButtonIndex() { return Edit ? Edit->GetCapturedButtonIndex() : -1; }

void TcxCustomEditViewData::GetTextForValue(const Variant& value, AnsiString& text) {
  EditValueToDrawText(value, text);
  if (OnGetDisplayText) OnGetDisplayText(this, text);
}

void TcxCustomEditViewData::CalculateButtonNativeInfo(TcxEditButtonViewInfo* button) {
  const TdxThemedObjectKind kind = button->IsComboButton ? totComboBox : totButton;
  const TdxTheme theme = UsesNativeStyleFlag ? GetThemeHandle(kind) : TdxTheme{};
  if (!theme) {
    button->NativePart = 0;
    button->NativeState = 0;
    return;
  }
  button->NativePart = 1;
  if (button->IsComboButton && !IsInplace && IsDesktopCompositionEnabled())
    button->NativePart = button->LeftAlignment ? 7 : 6;
  static constexpr Integer kStates[] = {4, 1, 3, 2};
  button->NativeState = kStates[button->State];
  button->NativeBackgroundPartial =
      IsThemeBackgroundPartiallyTransparent(theme, button->NativePart, button->NativeState) != 0;
}

void TcxCustomEditViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                              TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                              const TPoint& mousePos) {
  LastBounds = bounds;
  if (Edit) Style = static_cast<TcxCustomEditStyle*>(Edit->GetActiveStyle());
  auto calculateState = [&] {
    const TcxContainerState state = GetContainerState(mousePos, button, shift, isMouseEvent);
    viewInfo->ContainerState = state;
    if (Edit) Style = static_cast<TcxCustomEditStyle*>(Edit->GetActiveStyle());
    SelectedOrHot = state.Contains(csActive) || state.Contains(csHotTrack);
    viewInfo->HotTrackState =
        (IsDesignView || !Style->GetHotTrack() || IsInplace) ? 0 : (SelectedOrHot ? 2 : 1);
    viewInfo->EditBorderStyle = (IsInplace || !UsesNativeStyleFlag) ? GetBorderStyle()
                                                                    : Style->GetBaseStyle()->GetEditBorderStyle();
  };
  const Integer previousWidth = GetContainerBorderWidth(TcxContainerBorderStyle(viewInfo->EditBorderStyle));
  calculateState();
  if (!IsInplace && !UsesNativeStyleFlag &&
      GetContainerBorderWidth(TcxContainerBorderStyle(viewInfo->EditBorderStyle)) < previousWidth)
    calculateState();
  viewInfo->BorderStyle = TcxContainerBorderStyle(viewInfo->EditBorderStyle);
  ContainerStateFlags = viewInfo->ContainerState;
  viewInfo->Properties = Properties;
  ButtonsStretched = IsInplace ? (bounds.Right != orv::kMaxInt && Properties->GetButtonsViewStyle() != 0)
                               : Properties->GetButtonsViewStyle() == 1;
  viewInfo->Bounds = bounds;
  viewInfo->Painter = Style->GetLookAndFeel()->GetSkinPainter();
  viewInfo->IsEnabled = IsEnabledView;
  viewInfo->IsFocused = IsFocusedView;
  viewInfo->Edit = Edit;
  viewInfo->EraseOnInvalidate = false;
  viewInfo->InnerControlVisible = InnerEditRef && InnerEditRef->GetControl()->GetVisible();
  viewInfo->IsPaintingCopy = Edit && Edit->IsPaintCopy();
  viewInfo->IsInnerControlOfContainer = InnerEditRef != nullptr;
  viewInfo->IsDesignTime = IsDesignView;
  viewInfo->InplaceView = IsInplace;
  viewInfo->SelectedView = IsSelectedView;
  viewInfo->PaintOptionsSet = PaintFlags | (orv::IsEmptyRect(EditMetrics.ClientLeftBoundCorrection) ? 0 : 4) |
                              ((EditMetrics.Flags & 1) ? 16 : 0);
  viewInfo->MetricsFlags = EditMetrics.Flags;
  viewInfo->Edges = Style->GetEdges();
  viewInfo->TextFont = Style->GetDirectAccessMode() ? Style->GetFont() : Style->GetVisibleFont();
  viewInfo->Shadow = !IsInplace && HasShadow();
  viewInfo->WindowHandle = WindowHandle;
  // Border.
  viewInfo->NativeStyle = UsesNativeStyleFlag;
  viewInfo->NativeState = UsesNativeStyleFlag ? GetEditNativeState(viewInfo) : 0;
  viewInfo->BorderWidths = GetBorderExtent();
  viewInfo->BorderRect = ShrinkBy(bounds, viewInfo->BorderWidths);
  viewInfo->InnerBorderRect = viewInfo->BorderRect;
  viewInfo->BorderWidth = GetEditBorderWidth(viewInfo->EditBorderStyle, viewInfo->Painter);
  viewInfo->HasInplaceClientExtent = !orv::IsEmptyRect(InplaceClientExtent) || InplaceClientExtent.Left != 0 ||
                                     InplaceClientExtent.Top != 0;
  if (!IsInplace) viewInfo->BorderColor = GetBorderColor();
  TColor background = clDefault;
  TColor textColor = clDefault;
  viewInfo->GetPainterColors(background, textColor);
  if (textColor == clDefault) textColor = Style->GetTextColor();
  viewInfo->DefaultTextColor = textColor;
  if ((Edit && Edit->UsesParentColorByDefault()) || background == clDefault) background = Style->GetVisibleColor();
  viewInfo->AssignBackgroundColor(background);
  // Buttons, client area, popup frame.
  CalculateButtonsViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  viewInfo->ClientRect = ShrinkBy(bounds, GetContentExtent(canvas, viewInfo));
  viewInfo->InnerControlRect = InnerEditRef ? InnerEditRef->GetControl()->GetBoundsRect() : viewInfo->ClientRect;
  viewInfo->PopupFrameStyle = Style->GetPopupBorderStyle();
  if (viewInfo->PopupFrameStyle == epbsDefault && Edit) {
    static constexpr TcxEditPopupBorderStyle kByKind[] = {epbsFlat, epbsFrame3D, epbsSingle, epbsSingle};
    static constexpr TcxEditPopupBorderStyle kByBorder[] = {epbsFlat, epbsSingle, epbsSingle, epbsFlat,
                                                            epbsSingle, epbsSingle, epbsSingle};
    if (IsInplace)
      viewInfo->PopupFrameStyle = kByKind[Style->GetLookAndFeel()->GetKind()];
    else if (Style->GetEditBorderStyle() != ebsNone || viewInfo->GetButtonCount() == 0)
      viewInfo->PopupFrameStyle = kByBorder[Style->GetEditBorderStyle()];
    else
      viewInfo->PopupFrameStyle = kByKind[GetEditLookAndFeelKind(Edit)];
  }
}

void TcxCustomEditViewData::CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                                     TcxCustomEditViewInfo* viewInfo, TShiftState shift,
                                                     Integer button, const TPoint& mousePos) {
  const TcxEditButtonTransparency transparency = Style->GetButtonTransparency();
  const Boolean focused = ContainerStateFlags.Contains(csActive);
  const Boolean hot = ContainerStateFlags.Contains(csHotTrack);
  Integer count = VisibleButtonCount;
  if ((transparency == ebtHideInactive && !focused) || (transparency == ebtHideUnselected && !focused && !hot))
    count = 0;
  viewInfo->SetButtonCount(count);
  viewInfo->ButtonPressedByUser = false;
  const Integer previousPressed = isMouseEvent ? viewInfo->PressedButtonIndex : -1;
  viewInfo->PressedButtonIndex = -1;
  viewInfo->HotButtonIndex = -1;
  LeftButtonsFirstIndex = LeftButtonsLastIndex = RightButtonsFirstIndex = RightButtonsLastIndex = -1;
  if (count == 0) return;
  // Placement: from the last visible button to the first.
  TRect rest = ShrinkBy(bounds, GetClientExtent(canvas));
  TcxEditButtons* buttons = Properties->GetButtons();
  Boolean fontPrepared = false;
  Integer infoIndex = count - 1;
  for (Integer i = buttons->GetCount() - 1; i >= 0 && infoIndex >= 0; --i) {
    TcxEditButton* b = buttons->GetItem(i);
    if (!b->GetVisible()) continue;
    if (b->GetKind() == bkText && !fontPrepared && canvas) {
      canvas->SetFont(Style->GetVisibleFont());
      viewInfo->PrepareCanvasFont(canvas);
      fontPrepared = true;
    }
    TcxEditButtonViewInfo* info = viewInfo->GetButton(infoIndex);
    info->ButtonIndex = i;
    CalculateButtonViewInfo(canvas, viewInfo, rest, infoIndex);
    CalculateButtonBounds(canvas, viewInfo, rest, infoIndex);
    --infoIndex;
  }
  // Stretching.
  if (ButtonsStretched) {
    Integer total = 0;
    for (TcxEditButtonViewInfo* info : viewInfo->ButtonsInfo) total += info->Bounds.Width();
    StretchButtons(viewInfo, total + rest.Width(), rest.Width());
  }
  // States.
  const Boolean leftDown = shift.Contains(ssLeft);
  const Boolean anyDown = leftDown || shift.Contains(ssRight) || shift.Contains(ssMiddle);
  const Boolean leftMouseDown = isMouseEvent && button == 1 && leftDown;
  const Integer captured = GetCapturedButtonIndex();
  for (Integer k = 0; k < count; ++k) {
    TcxEditButtonViewInfo* info = viewInfo->GetButton(k);
    const Boolean wasPressed = info->State == ebsPressed;
    const Boolean wasNormal = info->State == ebsNormal;
    const Boolean held = IsButtonHeldDown(viewInfo, k);
    TcxEditButtonState state = ebsNormal;
    if (!IsEnabledView || !buttons->GetItem(info->ButtonIndex)->GetEnabled()) {
      state = ebsDisabled;
    } else if (held || (!IsDesignView && IsPointInRect(info->VisibleBounds, mousePos))) {
      if (held || leftMouseDown || (wasPressed && leftDown) || (captured == k && wasNormal && leftDown && !isMouseEvent))
        viewInfo->ButtonPressedByUser = true;
      if (held || (anyDown && ((captured == k && CanPressButton(viewInfo, k)) ||
                               (leftMouseDown && CanPressButton(viewInfo, k)) || previousPressed == k ||
                               (wasPressed && leftDown)))) {
        state = ebsPressed;
        viewInfo->PressedButtonIndex = k;
      } else if (!anyDown) {
        state = ebsSelected;
        viewInfo->HotButtonIndex = k;
      }
    }
    if (viewInfo->ButtonStateHandler) viewInfo->ButtonStateHandler(info, state);
    info->State = state;
    CalculateButtonNativeInfo(info);
  }
  // Group edges.
  const Boolean leftSide = LeftButtonsFirstIndex >= 0;
  const Boolean rightSide = RightButtonsFirstIndex >= 0;
  if (leftSide) {
    viewInfo->GetButton(LeftButtonsFirstIndex)->IsFirstInGroup = true;
    if (!(ButtonsStretched && rightSide)) viewInfo->GetButton(LeftButtonsLastIndex)->IsLastInGroup = true;
  }
  if (rightSide) {
    if (!(ButtonsStretched && leftSide)) viewInfo->GetButton(RightButtonsFirstIndex)->IsFirstInGroup = true;
    viewInfo->GetButton(RightButtonsLastIndex)->IsLastInGroup = true;
  }
  if (ButtonsStretched)
    for (TcxEditButtonViewInfo* info : viewInfo->ButtonsInfo) info->LeftAlignment = false;
}

void TcxCustomEditViewData::CalculateButtonViewInfo(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, TRect& rect,
                                                    Integer index) {
  TcxEditButtonViewInfo* info = viewInfo->GetButton(index);
  TcxEditButton* b = Properties->GetButtons()->GetItem(info->ButtonIndex);
  info->IsComboButton = VisibleButtonCount == 1 && b->GetKind() == bkDown;
  info->Kind = b->GetKind();
  if (info->Kind == bkText) {
    info->Caption = b->GetCaption();
    info->TextColor = ButtonTextColor != clDefault ? ButtonTextColor : b->GetTextColor();
    info->VisibleCaption = b->GetVisibleCaption();
  }
  info->ContentAlignment = b->GetContentAlignment();
  info->Default = b->GetDefault();
  info->Glyph = b->HasGlyph() ? b->GetGlyph() : nullptr;
  info->EraseOnInvalidate = viewInfo->EraseOnInvalidate;
  info->GradientButtonsValue = Style->GetGradientButtons();
  info->InplaceButton = IsInplace;
  info->LeftAlignment = b->GetLeftAlignment();
  info->IsFirstInGroup = false;
  info->IsLastInGroup = false;
  info->NativeStyle = viewInfo->NativeStyle;
  info->Stretchable = b->GetStretchable();
  Integer width = b->GetWidth();
  if (width == 0 && OnGetDefaultButtonWidth) OnGetDefaultButtonWidth(this, info->ButtonIndex, width);
  info->RequestedWidth = width;
  const TcxEditButtonTransparency transparency = Style->GetButtonTransparency();
  info->Transparent = transparency == ebtAlways || (transparency == ebtInactive && !SelectedOrHot);
  info->BackgroundColor = viewInfo->BackgroundColor;
  info->Style = GetEffectiveButtonStyle();
}

void TcxCustomEditViewData::CalculateButtonBounds(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, TRect& rect,
                                                  Integer index) {
  TcxEditButtonViewInfo* info = viewInfo->GetButton(index);
  if (orv::IsEmptyRect(rect)) {
    info->Bounds = TRect{rect.Left, rect.Top, rect.Left, rect.Top};
    info->VisibleBounds = TRect{};
  } else {
    const Integer width = std::min(GetEditButtonWidth(canvas, info), rect.Width());
    if (info->LeftAlignment) {
      info->Bounds = TRect{rect.Left, rect.Top, rect.Left + width, rect.Bottom};
      rect.Left += width;
    } else {
      info->Bounds = TRect{rect.Right - width, rect.Top, rect.Right, rect.Bottom};
      rect.Right -= width;
    }
    info->VisibleBounds = info->Bounds;
  }
  // Placement runs from the last button to the first.
  if (info->LeftAlignment) {
    if (LeftButtonsLastIndex < 0) LeftButtonsLastIndex = index;
    LeftButtonsFirstIndex = index;
  } else {
    if (RightButtonsLastIndex < 0) RightButtonsLastIndex = index;
    RightButtonsFirstIndex = index;
  }
}

void TcxCustomEditViewData::StretchButtons(TcxCustomEditViewInfo* viewInfo, Integer totalWidth, Integer extraWidth) {
  if (!ButtonsStretched || extraWidth <= 0) return;
  const Integer count = viewInfo->GetButtonCount();
  std::vector<Boolean> takesPart(std::size_t(count), false);
  Integer combined = 0;
  for (Integer i = 0; i < count; ++i) {
    TcxEditButtonViewInfo* info = viewInfo->GetButton(i);
    takesPart[std::size_t(i)] = info->Stretchable && !IsButtonWidthFixed(info->ButtonIndex);
    if (takesPart[std::size_t(i)]) combined += info->Bounds.Width();
  }
  if (combined == 0) {
    std::fill(takesPart.begin(), takesPart.end(), true);
    combined = totalWidth - extraWidth;
  }
  if (combined <= 0) return;
  Integer lastReached = -1;
  for (Integer i = 0; i < count; ++i)
    if (takesPart[std::size_t(i)]) lastReached = i;  // walking down from the last, the first is reached last
  for (Integer i = 0; i < count; ++i)
    if (takesPart[std::size_t(i)]) {
      lastReached = i;
      break;
    }
  Integer remaining = extraWidth;
  for (Integer i = count - 1; i >= 0; --i) {
    if (!takesPart[std::size_t(i)]) continue;
    TcxEditButtonViewInfo* info = viewInfo->GetButton(i);
    const Integer grow = i == lastReached ? remaining : Integer(Int64(extraWidth) * info->Bounds.Width() / combined);
    remaining -= grow;
    if (grow == 0) continue;
    if (info->LeftAlignment) {
      info->Bounds.Right += grow;
      // Left buttons to its right move right.
      for (Integer j = i + 1; j < count; ++j) {
        TcxEditButtonViewInfo* other = viewInfo->GetButton(j);
        if (other->LeftAlignment) other->Bounds = GetOffsetRect(other->Bounds, grow, 0);
      }
    } else {
      info->Bounds.Left -= grow;
      for (Integer j = 0; j < i; ++j) {
        TcxEditButtonViewInfo* other = viewInfo->GetButton(j);
        if (!other->LeftAlignment) other->Bounds = GetOffsetRect(other->Bounds, -grow, 0);
      }
    }
  }
  for (TcxEditButtonViewInfo* info : viewInfo->ButtonsInfo) info->VisibleBounds = info->Bounds;
}

void TcxCustomEditViewData::CalculateEditorSize(TcxCanvas* canvas, const Variant& value, TSize& size,
                                                TcxCustomEditViewInfo* viewInfo,
                                                const TcxEditSizeProperties& sizeLimits) {
  TSize frame{0, 0};
  TSize minContent{0, 0};
  CalculateSizeWithViewInfo(canvas, value, viewInfo, frame, minContent, sizeLimits);
  TcxEditSizeProperties contentLimits = sizeLimits;
  Boolean overflow = false;
  if (sizeLimits.Width >= 0 && sizeLimits.Width != orv::kMaxInt) {
    contentLimits.Width = sizeLimits.Width - frame.cx;
    if (contentLimits.Width < 0) {
      contentLimits.Width = 0;
      overflow = true;
    }
  }
  TSize content = GetContentSize(canvas, value, contentLimits);
  content.cx = std::max(content.cx, minContent.cx);
  content.cy = std::max(content.cy, minContent.cy);
  size.cx = overflow ? sizeLimits.Width : frame.cx + content.cx;
  size.cy = frame.cy + content.cy;
  if (Edit && !IsInplace) {
    TSizeConstraints* c = Edit->GetConstraints();
    if (c->GetMaxHeight() > 0) size.cy = std::min(size.cy, Integer(c->GetMaxHeight()));
    if (c->GetMinHeight() > 0) size.cy = std::max(size.cy, Integer(c->GetMinHeight()));
    if (c->GetMaxWidth() > 0) size.cx = std::min(size.cx, Integer(c->GetMaxWidth()));
    if (c->GetMinWidth() > 0) size.cx = std::max(size.cx, Integer(c->GetMinWidth()));
  }
}

void TcxCustomEditViewData::CalculateSizeWithViewInfo(TcxCanvas* canvas, const Variant& value,
                                                      TcxCustomEditViewInfo* viewInfo, TSize& frameSize,
                                                      TSize& minContentSize, const TcxEditSizeProperties& sizeLimits) {
  Owned<TcxCustomEditViewInfo> temp;
  if (!viewInfo) {
    temp.reset(Properties->GetViewInfoClass().Create());
    viewInfo = temp.get();
    SetViewInfoValue(canvas, value, viewInfo);
    CalculateViewInfo(canvas, TRect{0, 0, orv::kMaxInt, orv::kMaxInt}, false, viewInfo, {}, 0, TPoint{-1, -1});
  }
  CalculateEditSize(canvas, IsInplace, value, viewInfo, frameSize, minContentSize, sizeLimits);
}

void TcxCustomEditViewData::CalculateEditSize(TcxCanvas* canvas, Boolean isInplace, const Variant& value,
                                              TcxCustomEditViewInfo* viewInfo, TSize& frameSize,
                                              TSize& minContentSize, const TcxEditSizeProperties& sizeLimits) {
  const TRect b = viewInfo->Bounds;
  const TRect c = viewInfo->ClientRect;
  frameSize = TSize{Integer(Int64(c.Left) - b.Left + Int64(b.Right) - c.Right),
                    Integer(Int64(c.Top) - b.Top + Int64(b.Bottom) - c.Bottom)};
  minContentSize = TSize{0, 0};
  Integer highest = 0;
  Boolean fontPrepared = false;
  for (TcxEditButtonViewInfo* info : viewInfo->ButtonsInfo) {
    if (info->Kind == bkGlyph && IsGlyphAssigned(info->Glyph)) highest = std::max(highest, info->Glyph->GetHeight());
    if (isInplace && info->Kind == bkText && canvas) {
      if (!fontPrepared) {
        canvas->SetFont(Style->GetVisibleFont());
        viewInfo->PrepareCanvasFont(canvas);
        fontPrepared = true;
      }
      highest = std::max(highest, canvas->TextHeightOf(info->VisibleCaption));
    }
  }
  if (highest > 0) {
    if (!viewInfo->Painter) {
      const TRect e = GetClientExtent(canvas);
      highest += e.Top + e.Bottom;
    }
    highest += GetButtonVerticalInsets(canvas, GetEffectiveButtonStyle(), viewInfo->NativeStyle);
    minContentSize.cy = std::max(0, highest - frameSize.cy);
  }
}

TSize TcxCustomEditViewData::GetContentSize(TcxCanvas* canvas, const Variant& value,
                                            const TcxEditSizeProperties& sizeLimits) {
  if (Properties->GetButtonsViewStyle() != 0) {
    canvas->SetFont(Style->GetVisibleFont());
    return TSize{0, GetContentExtents().cy + canvas->TextHeightOf("Zg")};
  }
  TSize size{0, 0};
  CalculateContentSize(canvas, value, size, sizeLimits);
  return size;
}

TSize TcxCustomEditViewData::GetContentExtents() {
  const TRect t = EditMetrics.TextOffsets;
  return TSize{t.Left + t.Right + EditMetrics.HorzRemainder, t.Top + t.Bottom + EditMetrics.NativeHeightCorrection};
}

// ==== View info ===============================================================================

void TcxCustomEditViewInfo::BeforeDestruction() {
  SetButtonCount(0);
  inherited::BeforeDestruction();
}

void TcxCustomEditViewInfo::SetButtonCount(Integer count) {
  while (Integer(ButtonsInfo.size()) > count) {
    orv::Free(ButtonsInfo.back());
    ButtonsInfo.pop_back();
  }
  while (Integer(ButtonsInfo.size()) < count) ButtonsInfo.push_back(GetButtonViewInfoClass().Create());
}

void TcxCustomEditViewInfo::Assign(TObject* source) {
  inherited::Assign(source);
  auto* s = dynamic_cast<TcxCustomEditViewInfo*>(source);
  if (!s) return;
  BackgroundColor = s->BackgroundColor;
  BorderColor = s->BorderColor;
  BorderStyle = s->BorderStyle;
  EditBorderStyle = s->EditBorderStyle;
  ContainerState = s->ContainerState;
  NativeState = s->NativeState;
  Bounds = s->Bounds;
  BorderRect = s->BorderRect;
  SetButtonCount(s->GetButtonCount());
  for (Integer i = 0; i < GetButtonCount(); ++i) GetButton(i)->Assign(s->GetButton(i));
  PressedButtonIndex = s->PressedButtonIndex;
  HotButtonIndex = s->HotButtonIndex;
}

void TcxCustomEditViewInfo::OffsetRects(Integer dx, Integer dy) {
  inherited::OffsetRects(dx, dy);
  InnerControlRect = GetOffsetRect(InnerControlRect, dx, dy);
  InnerBorderRect = GetOffsetRect(InnerBorderRect, dx, dy);
  for (TcxEditButtonViewInfo* b : ButtonsInfo) {
    b->Bounds = GetOffsetRect(b->Bounds, dx, dy);
    b->VisibleBounds = GetOffsetRect(b->VisibleBounds, dx, dy);
  }
}

TcxRegion* TcxCustomEditViewInfo::CreateUpdateRegion(TcxContainerViewInfo* oldViewInfo) {
  TcxRegion* region = inherited::CreateUpdateRegion(oldViewInfo);
  auto* previous = dynamic_cast<TcxCustomEditViewInfo*>(oldViewInfo);
  if (previous && (previous->BorderColor == BorderColor || EditBorderStyle == ebsNone) &&
      previous->EditBorderStyle == EditBorderStyle && previous->GetButtonCount() == GetButtonCount() &&
      previous->NativeState == NativeState) {
    for (Integer i = 0; i < GetButtonCount(); ++i)
      region->CombineWith(GetButton(i)->CreateUpdateRegion(previous->GetButton(i)), roAdd);
  } else {
    region->CombineWith(new TcxRegion(Bounds), roAdd);
  }
  return region;
}

void TcxCustomEditViewInfo::GetPainterColors(TColor& backgroundColor, TColor& textColor) {
  backgroundColor = clDefault;
  textColor = clDefault;
  if (Edit && !InplaceView) Edit->GetPainterColors(backgroundColor, textColor);
}

Integer TcxCustomEditViewInfo::GetPartIndexAt(const TPoint& point) {
  if (HotButtonIndex >= 0) return GetButton(HotButtonIndex)->ButtonIndex;
  return IsPointInRect(BorderRect, point) ? -1 : -2;
}

TRect TcxCustomEditViewInfo::GetPartRect(Integer index) {
  if (index == -1) {
    TRect r = BorderRect;
    if (GetButtonCount() > 0) r.Right = GetButton(0)->Bounds.Left;
    return r;
  }
  for (TcxEditButtonViewInfo* b : ButtonsInfo)
    if (b->ButtonIndex == index) return b->Bounds;
  return TRect{};
}

Boolean TcxCustomEditViewInfo::HasHotPart() {
  for (TcxEditButtonViewInfo* b : ButtonsInfo)
    if (b->State == ebsSelected) return true;
  return false;
}

Boolean TcxCustomEditViewInfo::IsHotAtPoint(const TPoint& point) {
  const TPoint p{point.X - OriginX, point.Y - OriginY};
  for (TcxEditButtonViewInfo* b : ButtonsInfo)
    if (IsPointInRect(b->Bounds, p)) return true;
  return false;
}

Boolean TcxCustomEditViewInfo::GetHint(TcxCanvas* canvas, const TPoint& point, TRect& textRect, Boolean& isMultiLine,
                                       AnsiString& text, TRect& hintWindowRect) {
  isMultiLine = false;
  text.clear();
  const TPoint p{point.X - OriginX, point.Y - OriginY};
  for (TcxEditButtonViewInfo* b : ButtonsInfo) {
    if (!IsPointInRect(b->Bounds, p) || !Properties) continue;
    const AnsiString hint = Properties->GetButtons()->GetItem(b->ButtonIndex)->GetHint();
    text = hint.substr(0, hint.find('|'));
    textRect = b->Bounds;
    if (canvas && !text.empty()) {
      const TSize size = canvas->GetTextSize(text);
      hintWindowRect = TRect{point.X, point.Y + 20, point.X + size.cx + 6, point.Y + 20 + size.cy + 4};
    }
    return !text.empty();
  }
  return false;
}

Boolean TcxCustomEditViewInfo::NeedsHint(TcxCanvas* canvas, const TPoint& point, TRect& textRect,
                                         Boolean& isMultiLine, AnsiString& text) {
  TRect unused{};
  return GetHint(canvas, point, textRect, isMultiLine, text, unused);
}

void TcxCustomEditViewInfo::InvalidateWhole(TWinControl* control) {
  TRect r = Bounds;
  r = GetOffsetRect(r, OriginX, OriginY);
  InvalidateControlRect(control, r, EraseOnInvalidate);
}

Boolean TcxCustomEditViewInfo::InvalidateChanges(TWinControl* control, TcxCustomEditViewInfo* previous) {
  if (!control->HandleAllocated()) return false;
  TRect area = Bounds;
  area = GetOffsetRect(area, OriginX, OriginY);
  const HWND window = control->GetHandle();
  TRect inner = InnerControlRect;
  inner = GetOffsetRect(inner, OriginX, OriginY);
  if (!previous) {
    InvalidateRectExcept(window, area, InnerControlVisible ? inner : TRect{}, EraseOnInvalidate);
    return true;
  }
  Boolean result = false;
  if (previous->NativeState != NativeState || previous->BackgroundColor != BackgroundColor ||
      (previous->ContainerState != ContainerState && NeedsRepaintOnStateChange()) ||
      previous->GetButtonCount() != GetButtonCount()) {
    InvalidateRectExcept(window, area, InnerControlVisible ? inner : TRect{}, EraseOnInvalidate);
    result = true;
  } else if ((EditBorderStyle != ebsNone && previous->BorderColor != BorderColor) ||
             previous->EditBorderStyle != EditBorderStyle) {
    TRect border = BorderRect;
    border = GetOffsetRect(border, OriginX, OriginY);
    InvalidateRectExcept(window, area, border, EraseOnInvalidate);
    result = true;
  }
  if (previous->GetButtonCount() == GetButtonCount())
    for (Integer i = 0; i < GetButtonCount(); ++i)
      if (GetButton(i)->InvalidateIfChanged(control, previous->GetButton(i), TPoint{OriginX, OriginY})) result = true;
  return result;
}

Boolean TcxCustomEditViewInfo::HasCustomBackground() {
  Boolean handled = false;
  if (BackgroundDrawHandler) BackgroundDrawHandler(this, nullptr, handled);
  return handled;
}

Boolean TcxCustomEditViewInfo::HasCustomDrawnButton(Integer index) {
  Boolean handled = false;
  if (ButtonDrawHandler) ButtonDrawHandler(this, nullptr, index, handled);
  return handled;
}

Integer TcxCustomEditViewInfo::GetBackgroundMode() {
  if (InplaceView) {
    if (HasCustomBackground()) return 0;
    return IsTransparentView ? 2 : 3;
  }
  if (IsTransparentView || (Edit && Edit->IsTransparent())) return 4;
  if (Edit && Edit->IsNativeBackground()) return 5;
  return NativeStyle ? 3 : 1;
}

Boolean TcxCustomEditViewInfo::IsBackgroundTransparent() {
  const Integer mode = GetBackgroundMode();
  return mode != 1 && mode != 3;
}

void TcxCustomEditViewInfo::DrawBackgroundByMode(TcxCanvas* canvas, const TRect& rect, Boolean clipToRect,
                                                 const TRect& excludeRect) {
  canvas->SaveDC();
  try {
    if (clipToRect && !orv::IsEmptyRect(excludeRect)) canvas->ExcludeFromClip(excludeRect);
    switch (GetBackgroundMode()) {
      case 0: {
        canvas->IntersectClip(rect);
        Boolean handled = false;
        BackgroundDrawHandler(this, canvas, handled);
        break;
      }
      case 1: DrawEditBackgroundAndButtons(canvas, this, true, 0); break;
      case 3: canvas->FillRectWithColor(rect, BackgroundColor); break;
      case 4:
        if (Edit) DrawTransparentBackground(Edit, canvas, rect);
        break;
      case 5:
        if (Edit) DrawParentBackground(Edit, canvas, rect);
        break;
      default: break;
    }
  } catch (...) {
    canvas->RestoreDC();
    throw;
  }
  canvas->RestoreDC();
}

void TcxCustomEditViewInfo::DoPaint(TcxCanvas* canvas) { DrawEditBackgroundAndButtons(canvas, this, true, 0); }

void TcxCustomEditViewInfo::Paint(TcxCanvas* canvas) {
  if (PaintHandler) PaintHandler(this, canvas);
  DoPaint(canvas);
}

// ---- Background and frame ---------------------------------------------------------------------

void DrawEditBackgroundAndButtons(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, Boolean eraseBackground,
                                  Integer comboState) {
  const Boolean excludeButtons =
      viewInfo->GetButtonCount() > 0 &&
      !(viewInfo->GetButton(0)->NativePart != 0 && viewInfo->GetButton(0)->NativeBackgroundPartial);
  if (excludeButtons) {
    canvas->SaveDC();
    for (TcxEditButtonViewInfo* b : viewInfo->ButtonsInfo) canvas->ExcludeFromClip(b->VisibleBounds);
  }
  const HBRUSH brush = GetCachedSolidBrush(viewInfo->BackgroundColor);
  try {
    Boolean handled = false;
    if (viewInfo->InplaceView && viewInfo->BackgroundDrawHandler)
      viewInfo->BackgroundDrawHandler(viewInfo, canvas, handled);
    if (!handled) {
      if (viewInfo->NativeStyle) {
        viewInfo->DrawNativeEditBackground(canvas, eraseBackground, brush, comboState);
      } else {
        TRect r = viewInfo->BorderRect;
        const Integer w = GetEditBorderWidth(viewInfo->EditBorderStyle, viewInfo->Painter);
        const TcxBorders edges = viewInfo->Edges;
        r.Left -= w;
        r.Top -= w;
        if (HasEdge(edges, bRight)) r.Right += w;
        if (HasEdge(edges, bBottom)) r.Bottom += w;
        if (viewInfo->Shadow) {
          DrawDropShadow(canvas, r);
          if (!HasEdge(edges, bRight)) r.Right += w;
          if (!HasEdge(edges, bBottom)) r.Bottom += w;
        }
        if (viewInfo->Painter) {
          if (viewInfo->EditBorderStyle != ebsNone) canvas->DrawBorderLines(r, viewInfo->BorderColor, w, cxBordersAll);
        } else {
          switch (viewInfo->EditBorderStyle) {
            case ebsSingle:
            case ebsThick: canvas->DrawBorderLines(r, viewInfo->BorderColor, w, cxBordersAll); break;
            case ebsFlat:
              canvas->Draw3DEdge(r, true, true, edges);
              r = GetInflatedRect(r, -1, -1);
              canvas->DrawBorderLines(r, clBtnFace, 1, cxBordersAll);
              break;
            case ebs3D:
              canvas->Draw3DEdge(r, true, true, edges);
              r = GetInflatedRect(r, -1, -1);
              canvas->DrawTwoColorFrame(r, cl3DDkShadow, cl3DLight, edges);
              break;
            default: break;
          }
        }
        if (!viewInfo->IsTransparentView) {
          if (viewInfo->InplaceView) {
            if (eraseBackground)
              FillRectWithBrush(canvas->GetDCHandle(), viewInfo->Bounds, brush);
            else if (viewInfo->HasInplaceClientExtent)
              FillRectExcept(canvas, viewInfo->Bounds, viewInfo->BorderRect, brush);
          } else if (eraseBackground) {
            FillRectWithBrush(canvas->GetDCHandle(), viewInfo->BorderRect, brush);
          }
        }
      }
    }
  } catch (...) {
    if (excludeButtons) canvas->RestoreDC();
    throw;
  }
  if (excludeButtons) canvas->RestoreDC();
  if (viewInfo->PaintingButtons || (viewInfo->Edit && viewInfo->Edit->IsChildItemDC(canvas->GetDCHandle()))) return;
  viewInfo->PaintingButtons = true;
  try {
    for (Integer i = 0; i < viewInfo->GetButtonCount(); ++i) viewInfo->PaintButton(canvas, i);
  } catch (...) {
    viewInfo->PaintingButtons = false;
    throw;
  }
  viewInfo->PaintingButtons = false;
}

void TcxCustomEditViewInfo::DrawNativeEditBackground(TcxCanvas* canvas, Boolean eraseBackground, HBRUSH brush,
                                                     Integer comboState) {
  TRect content = Bounds;
  const Boolean themed = !InplaceView && EditBorderStyle != ebsNone;
  if (themed) {
    const Boolean composition = IsDesktopCompositionEnabled();
    TdxThemedObjectKind kind = totEdit;
    Integer part = 1;
    TRect drawRect = Bounds;
    if (composition) {
      if (comboState == 2) {
        kind = totButton;
        drawRect = GetInflatedRect(Bounds, 1, 1);
      } else {
        part = 6;
      }
    }
    const TdxTheme theme = GetThemeHandle(kind);
    if (comboState == 0) {
      if (composition) {
        content = GetInflatedRect(drawRect, -2, -2);
      } else if (theme) {
        GetThemeBackgroundContentRect(theme, canvas->GetDCHandle(), part, NativeState, drawRect, content);
      }
    } else if (comboState == 1) {
      content = GetInflatedRect(drawRect, -3, -3);
      --content.Right;
    } else {
      content = composition ? TRect{} : ClientRect;
    }
    if (theme) {
      canvas->PushClipRegion();
      if (!orv::IsEmptyRect(content)) canvas->ExcludeFromClip(content);
      if (IsThemeBackgroundPartiallyTransparent(theme, part, NativeState) && Edit)
        DrawParentBackground(Edit, canvas, drawRect);
      DrawThemeBackground(theme, canvas->GetDCHandle(), part, NativeState, drawRect, nullptr);
      canvas->PopClipRegion();
    }
  }
  if (IsTransparentView) return;
  if (!eraseBackground && themed) {
    if (comboState != 2) FillRectExcept(canvas, content, BorderRect, brush);
  } else {
    FillRectWithBrush(canvas->GetDCHandle(), content, brush);
  }
}

// ---- Buttons ------------------------------------------------------------------------------------

void TcxCustomEditViewInfo::PaintButton(TcxCanvas* canvas, Integer index) {
  TcxEditButtonViewInfo* button = GetButton(index);
  button->BackgroundColor = BackgroundColor;
  if (orv::IsEmptyRect(button->VisibleBounds)) return;
  const Boolean clip = button->Bounds.Left < BorderRect.Left || button->Bounds.Right > BorderRect.Right ||
                       button->Bounds.Top < BorderRect.Top || button->Bounds.Bottom > BorderRect.Bottom;
  if (clip) {
    canvas->SaveDC();
    canvas->IntersectClip(button->VisibleBounds);
  }
  try {
    Boolean handled = false;
    if (ButtonDrawHandler) ButtonDrawHandler(this, canvas, index, handled);
    if (!handled) DrawButton(canvas, index);
  } catch (...) {
    if (clip) canvas->RestoreDC();
    throw;
  }
  if (clip) canvas->RestoreDC();
}

void TcxCustomEditViewInfo::DrawButton(TcxCanvas* canvas, Integer index) {
  TcxEditButtonViewInfo* button = GetButton(index);
  TColor faceColor = clBtnFace;
  TColor textColor = clBtnText;
  TRect backgroundRect = button->Bounds;
  TRect contentRect = button->Bounds;
  DrawButtonBorder(canvas, button, backgroundRect, contentRect, faceColor, textColor);
  if (!orv::IsEmptyRect(backgroundRect)) {
    Boolean handled = false;
    if (ButtonBackgroundDrawHandler) ButtonBackgroundDrawHandler(this, canvas, backgroundRect, index, handled);
    if (!handled) {
      if (button->NativePart != 0)
        DrawNativeButtonBackground(canvas, button, backgroundRect);
      else
        DrawButtonBackground(canvas, button, backgroundRect, faceColor);
    }
  }
  if (!orv::IsEmptyRect(contentRect)) {
    const Boolean pressedOffset = button->State == ebsPressed && (!Edit || (MetricsFlags & 2));
    DrawButtonContent(canvas, button, pressedOffset, faceColor, textColor, contentRect);
  }
}

void TcxCustomEditViewInfo::DrawButtonBorder(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& backgroundRect,
                                             TRect& contentRect, TColor& faceColor, TColor& textColor) {
  Boolean handled = false;
  if (ButtonBorderDrawHandler)
    ButtonBorderDrawHandler(this, canvas, button->ButtonIndex, backgroundRect, contentRect, handled);
  if (handled) return;
  if (button->NativePart != 0) {
    DrawButtonBorderNative(canvas, button, backgroundRect, contentRect);
    return;
  }
  if (Painter) {
    backgroundRect = contentRect = button->Bounds;
    TColor background = clDefault;
    TColor text = clDefault;
    GetPainterColors(background, text);
    faceColor = background != clDefault ? background : (Edit ? BackgroundColor : (IsEnabled ? clWindow : clBtnFace));
    textColor = text != clDefault ? text : clBtnText;
    return;
  }
  TRect r = button->Bounds;
  TcxEditButtonStyle style = button->Style;
  if (style == btsSimple && (button->State == ebsPressed || button->State == ebsSelected)) style = btsFlat;
  switch (style) {
    case bts3D: DrawButtonBorder3D(canvas, button, r, faceColor, textColor); break;
    case btsFlat: DrawButtonBorderFlat(canvas, button, r, faceColor, textColor); break;
    case btsSimple: DrawButtonBorderSimple(canvas, button, r, faceColor, textColor); break;
    case btsHotFlat: DrawButtonBorderHotFlat(canvas, button, r, faceColor, textColor); break;
    case btsUltraFlat:
    case btsOffice11: DrawButtonBorderUltraFlat(canvas, button, backgroundRect, contentRect, faceColor, textColor); return;
    default: break;
  }
  backgroundRect = contentRect = r;
}

namespace {
TColor FaceColorOf(TcxEditButtonViewInfo* button) { return button->Transparent ? button->BackgroundColor : clBtnFace; }
}  // namespace

void TcxCustomEditViewInfo::DrawButtonBorder3D(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& rect,
                                               TColor& faceColor, TColor& textColor) {
  faceColor = FaceColorOf(button);
  textColor = clBtnText;
  if (button->State == ebsPressed) {
    DrawRectSidesAndShrink(canvas, rect, cxEditSidesAll, clBtnShadow);
    DrawRectSidesAndShrink(canvas, rect, cxEditSidesAll, faceColor);
  } else {
    canvas->DrawTwoColorFrame(rect, cl3DLight, cl3DDkShadow, cxBordersAll);
    rect = GetInflatedRect(rect, -1, -1);
    canvas->DrawTwoColorFrame(rect, clBtnHighlight, clBtnShadow, cxBordersAll);
    rect = GetInflatedRect(rect, -1, -1);
  }
}

void TcxCustomEditViewInfo::DrawButtonBorderFlat(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& rect,
                                                 TColor& faceColor, TColor& textColor) {
  faceColor = FaceColorOf(button);
  textColor = clBtnText;
  DrawRectSidesAndShrink(canvas, rect, cxEditSideLeft, faceColor);
  const Boolean pressed = button->State == ebsPressed;
  canvas->DrawTwoColorFrame(rect, pressed ? clBtnShadow : clBtnHighlight, pressed ? clBtnHighlight : clBtnShadow,
                            cxBordersAll);
  rect = GetInflatedRect(rect, -1, -1);
  DrawRectSidesAndShrink(canvas, rect, cxEditSideRight, faceColor);
}

void TcxCustomEditViewInfo::DrawButtonBorderSimple(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& rect,
                                                   TColor& faceColor, TColor& textColor) {
  faceColor = FaceColorOf(button);
  textColor = clBtnText;
  if (!IsTransparentView)
    DrawRectSidesAndShrink(canvas, rect, cxEditSidesAll, button->BackgroundColor);
  else
    rect = GetInflatedRect(rect, -1, -1);
  DrawRectSidesAndShrink(canvas, rect, cxEditSideLeft | cxEditSideRight, faceColor);
}

void TcxCustomEditViewInfo::DrawButtonBorderHotFlat(TcxCanvas* canvas, TcxEditButtonViewInfo* button, TRect& rect,
                                                    TColor& faceColor, TColor& textColor) {
  const Boolean pressed = button->State == ebsPressed;
  const Boolean hot = button->State == ebsSelected;
  if (button->Transparent)
    faceColor = button->BackgroundColor;
  else
    faceColor = pressed ? clBtnText : hot ? clBtnShadow : clBtnFace;
  if ((button->LeftAlignment && button->IsLastInGroup) || (!button->LeftAlignment && button->IsFirstInGroup)) {
    DrawRectSidesAndShrink(canvas, rect, cxEditSidesAll, clBtnShadow);
  } else {
    const Integer outer = button->LeftAlignment ? cxEditSideLeft : cxEditSideRight;
    const Integer inner = button->LeftAlignment ? cxEditSideRight : cxEditSideLeft;
    DrawRectSidesAndShrink(canvas, rect, cxEditSideTop | cxEditSideBottom | outer, clBtnShadow);
    DrawRectSidesAndShrink(canvas, rect, inner, faceColor);
  }
  textColor = !(pressed || hot) ? clBtnText : (button->Transparent && hot ? clBtnShadow : clWindow);
  DrawRectSidesAndShrink(canvas, rect, cxEditSideLeft | cxEditSideRight, faceColor);
}

void TcxCustomEditViewInfo::DrawButtonBorderUltraFlat(TcxCanvas* canvas, TcxEditButtonViewInfo* button,
                                                      TRect& backgroundRect, TRect& contentRect, TColor& faceColor,
                                                      TColor& textColor) {
  const Boolean office11 = button->Style == btsOffice11;
  const TcxEditButtonState state = button->State;
  if (button->Transparent)
    faceColor = button->BackgroundColor;
  else if (state == ebsDisabled)
    faceColor = clBtnFace;
  else if (state == ebsNormal)
    faceColor = office11 ? TcxCustomLookAndFeelPainterClass(TcxOffice11LookAndFeelPainter::StaticClass())
                               ->ButtonFaceColor(cxbsNormal)
                         : clBtnFace;
  else
    faceColor = GetUltraFlatButtonColor(state == ebsPressed, office11);
  textColor = clBtnText;
  const TColor highlight = GetHotBorderColor(office11);
  TRect r = button->Bounds;
  const Boolean framed = state == ebsDisabled || state == ebsNormal ||
                         (!InplaceView && EditBorderStyle == ebsNone) ||
                         (InplaceView && (PaintOptionsSet & cxEditPaintOptionNoExternalBorder) == 0);
  if (framed) {
    if (state == ebsPressed || state == ebsSelected)
      DrawRectSidesAndShrink(canvas, r, cxEditSidesAll, highlight);
    else if (!IsTransparentView)
      DrawRectSidesAndShrink(canvas, r, cxEditSidesAll, button->BackgroundColor);
    else
      r = GetInflatedRect(r, -1, -1);
    backgroundRect = r;
    contentRect = GetInflatedRect(r, -1, -1);
    return;
  }
  Integer sides = 0;
  if (button->LeftAlignment) {
    if (!button->IsFirstInGroup) sides |= cxEditSideLeft;
    if (button->Bounds.Right != BorderRect.Right) sides |= cxEditSideRight;
  } else {
    if (!button->IsLastInGroup) sides |= cxEditSideRight;
    if (button->Bounds.Left != BorderRect.Left) sides |= cxEditSideLeft;
  }
  DrawRectSidesAndShrink(canvas, r, sides, highlight);
  backgroundRect = r;
  contentRect = GetInflatedRect(r, -1, -1);
}

void TcxCustomEditViewInfo::DrawButtonBorderNative(TcxCanvas* canvas, TcxEditButtonViewInfo* button,
                                                   TRect& backgroundRect, TRect& contentRect) {
  backgroundRect = button->Bounds;
  if (HasCustomDrawnButton(0)) {
    contentRect = button->Bounds;
  } else if (button->IsComboButton) {
    contentRect = TRect{};
  } else {
    contentRect = button->Bounds;
    if (const TdxTheme theme = GetThemeHandle(totButton))
      GetThemeBackgroundContentRect(theme, canvas->GetDCHandle(), button->NativePart, button->NativeState,
                                    button->Bounds, contentRect);
  }
}

void TcxCustomEditViewInfo::DrawNativeButtonBackground(TcxCanvas* canvas, TcxEditButtonViewInfo* button,
                                                       const TRect& rect) {
  const TdxTheme theme = GetThemeHandle(button->IsComboButton ? totComboBox : totButton);
  if (theme) DrawThemeBackground(theme, canvas->GetDCHandle(), button->NativePart, button->NativeState, rect, nullptr);
}

void TcxCustomEditViewInfo::DrawButtonBackground(TcxCanvas* canvas, TcxEditButtonViewInfo* button, const TRect& rect,
                                                 TColor faceColor) {
  if (button->Style == btsOffice11 && button->GradientButtonsValue && !button->Transparent &&
      button->State != ebsDisabled && !Painter) {
    TRect gradient{rect.Left, BorderRect.Top, rect.Right, BorderRect.Bottom};
    if (button->State == ebsNormal) gradient = TRect{gradient.Left, gradient.Top + 1, gradient.Right, gradient.Bottom - 1};
    TColor c1 = Office11ToolbarGradientColor1;
    TColor c2 = Office11ToolbarGradientColor2;
    if (button->State == ebsPressed) {
      c1 = Office11PressedGradientColor1;
      c2 = Office11PressedGradientColor2;
    } else if (button->State == ebsSelected) {
      c1 = Office11HotGradientColor1;
      c2 = Office11HotGradientColor2;
    }
    canvas->SaveDC();
    canvas->IntersectClip(rect);
    DrawGradientRect(canvas->GetDCHandle(), gradient, c1, c2, false);
    canvas->RestoreDC();
    return;
  }
  FillRectWithColor(canvas, rect, faceColor);
}

void TcxCustomEditViewInfo::DrawButtonContent(TcxCanvas* canvas, TcxEditButtonViewInfo* button,
                                              Boolean pressedOffset, TColor faceColor, TColor textColor,
                                              const TRect& rect) {
  canvas->SaveDC();
  canvas->IntersectClip(rect);
  const Boolean disabled = button->State == ebsDisabled;
  try {
    if (Painter) {
      static constexpr TcxButtonState kStates[] = {cxbsDisabled, cxbsNormal, cxbsPressed, cxbsHot};
      Painter->DrawPushButton(canvas, button->Bounds, AnsiString(), kStates[button->State], true, faceColor, textColor);
    }
    switch (button->Kind) {
      case bkEllipsis: {
        const Integer dot = button->Bounds.Width() > 11 ? 2 : 1;
        const Integer width = 3 * dot + 4;
        Integer x = rect.Left + (rect.Width() - width) / 2;
        Integer y = rect.Top + (rect.Height() - dot) / 2;
        if (pressedOffset && rect.Width() > width) {
          ++x;
          ++y;
        }
        auto dots = [&](Integer dx, Integer dy, TColor color) {
          for (Integer k = 0; k < 3; ++k) {
            const Integer left = x + dx + k * (dot + 2);
            FillRectWithColor(canvas, TRect{left, y + dy, left + dot, y + dy + dot}, color);
          }
        };
        if (disabled) {
          dots(1, 1, clBtnHighlight);
          dots(0, 0, clBtnShadow);
        } else {
          dots(0, 0, textColor);
        }
        break;
      }
      case bkDown: {
        TRect r = rect;
        const Integer extra = button->Bounds.Width() - rect.Width();
        r.Left -= extra / 2;
        r.Right += extra - extra / 2;
        if (InplaceView) {
          const Integer h = r.Height();
          r.Top = button->Bounds.Top + (button->Bounds.Height() - h) / 2;
          r.Bottom = r.Top + h;
        }
        if (pressedOffset) r = GetOffsetRect(r, 1, 1);
        const TSize arrow = CalculateArrowSize(TSize{r.Width(), r.Height()}, cxEditArrowDown);
        if (disabled) {
          DrawEditArrow(canvas, arrow.cy, r, cxEditArrowDown, false, true, clBtnHighlight);
          DrawEditArrow(canvas, arrow.cy, r, cxEditArrowDown, false, false, clBtnShadow);
        } else {
          DrawEditArrow(canvas, arrow.cy, r, cxEditArrowDown, false, false, textColor);
        }
        break;
      }
      case bkGlyph:
        if (IsGlyphAssigned(button->Glyph)) {
          const Integer w = std::min(button->Glyph->GetWidth(), rect.Width());
          const Integer h = std::min(button->Glyph->GetHeight(), rect.Height());
          Integer x = rect.Left + (rect.Width() - w) / 2;
          Integer y = rect.Top + (rect.Height() - h) / 2;
          if (pressedOffset && rect.Width() > w) {
            ++x;
            ++y;
          }
          DrawTransparentGlyph(canvas, x, y, button->Glyph, clNone, !disabled);
        }
        break;
      case bkText: {
        canvas->SetBrushClear(true);
        if (TextFont) canvas->SetFont(TextFont);
        TRect r = GetInflatedRect(rect, -1, InplaceView ? 0 : -1);
        --r.Right;
        static constexpr Integer kAlign[] = {1, 2, 4};
        const Integer flags = 0xA60 | kAlign[button->ContentAlignment];
        if (disabled) {
          TRect shifted = r;
          shifted = GetOffsetRect(shifted, 1, 1);
          canvas->SetFontColor(clBtnHighlight);
          canvas->DrawTextInRect(button->VisibleCaption, shifted, flags);
          canvas->SetFontColor(clBtnShadow);
        } else {
          TColor color = button->TextColor == clDefault ? DefaultTextColor : button->TextColor;
          if (button->Style == btsHotFlat && (button->State == ebsPressed || button->State == ebsSelected))
            color = textColor;
          canvas->SetFontColor(color);
          if (pressedOffset) r = GetOffsetRect(r, 1, 1);
        }
        canvas->DrawTextInRect(button->VisibleCaption, r, flags);
        canvas->SetBrushClear(false);
        break;
      }
    }
  } catch (...) {
    canvas->RestoreDC();
    throw;
  }
  canvas->RestoreDC();
}
