#include "components/editors-more/cxRadioGroup.h"

#include <algorithm>

#include "components/data/cxVariants.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditPublished.h"
#include "components/editors/cxFilterControlUtils.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Menus.h"
#include "platform/controls/UserControls.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/windowing/User.h"

namespace {

TcxButtonState RadioButtonPainterState(TcxRadioButtonState state) {
  switch (state) {
    case rbsDisabled: return cxbsDisabled;
    case rbsHot: return cxbsHot;
    case rbsPressed: return cxbsPressed;
    default: return cxbsNormal;
  }
}

TShiftState RadioButtonKeyboardShift() {
  TShiftState shift;
  if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  if (GetKeyState(VK_LBUTTON) < 0) shift.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) shift.Include(ssRight);
  return shift;
}

}  // namespace

// ==== TcxRadioButton ===========================================================================

TcxRadioButton::TcxRadioButton(TComponent* owner) : TRadioButton(owner) {
  TControlStyle style = GetControlStyle();
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  FControlCanvas = new TControlCanvas;
  FControlCanvas->SetControl(this);
  FCanvas = new TcxCanvas(FControlCanvas);
  FLookAndFeel = new TcxLookAndFeel(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxRadioButton::LookAndFeelChanged));
  SetParentBackground(true);
  GetRadioButtonImageList();
}

void TcxRadioButton::BeforeDestruction() {
  StopMouseTracking(this);
  inherited::BeforeDestruction();
}

TcxRadioButton::~TcxRadioButton() {
  orv::Free(FLookAndFeel);
  orv::Free(FCanvas);
  orv::Free(FControlCanvas);
}

void TcxRadioButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = (params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TcxRadioButton::CreateHandle() {
  inherited::CreateHandle();
  UpdateStateAtCursor();
}

void TcxRadioButton::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

bool TcxRadioButton::Focused() {
  if (GetComponentState().Contains(csDesigning)) return false;
  return HandleAllocated() && GetFocus() == GetHandle();
}

void TcxRadioButton::Invalidate() {
  if (HandleAllocated()) InvalidateControlRect(this, TRect{0, 0, GetWidth(), GetHeight()}, false);
}

void TcxRadioButton::SetPopupMenu(TComponent* value) {
  if (value && !dynamic_cast<TPopupMenu*>(value)) value = nullptr;
  if (value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TcxRadioButton::SetTransparent(Boolean value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TcxRadioButton::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Invalidate(); }

Boolean TcxRadioButton::IsNativeStyle() { return IsNativeStyleUsable(FLookAndFeel->GetNativeStyle(), totButton); }

Boolean TcxRadioButton::IsNativeBackground() {
  return IsNativeStyle() && GetParentBackground() && !IsInplace() && !FTransparent;
}

void TcxRadioButton::AdjustTextRect(TRect& rect, Boolean nativeStyle) {
  TRect m{};
  if (IsInplace()) {
    m = nativeStyle ? TRect{3, 0, 0, 0} : TRect{5, 0, 1, 0};
  } else {
    const Boolean left = GetAlignment() == taLeftJustify;
    if (!GetWordWrap())
      m = left ? (nativeStyle ? TRect{0, -1, 1, 0} : TRect{2, -1, 1, 0})
               : (nativeStyle ? TRect{3, -1, 0, 0} : TRect{5, -1, 0, 0});
    else
      m = left ? (nativeStyle ? TRect{0, -1, 3, 0} : TRect{2, -1, 6, 0})
               : (nativeStyle ? TRect{3, -1, 0, 0} : TRect{5, -1, 2, 0});
  }
  rect.Left += m.Left;
  rect.Top += m.Top;
  rect.Right -= m.Right;
  rect.Bottom -= m.Bottom;
}

Boolean TcxRadioButton::DoShowPopupMenu(TComponent* menu, Integer x, Integer y) {
  return ShowPopupMenu(this, menu, x, y);
}

void TcxRadioButton::DrawBackground() {
  if (!IsTransparentBackground()) FCanvas->FillRectWithColor(TRect{0, 0, GetWidth(), GetHeight()}, GetColor());
}

void TcxRadioButton::DrawCaption(TcxCanvas* canvas, Boolean nativeStyle) {
  TcxCustomLookAndFeelPainterClass painter = FLookAndFeel->CurrentPainter();
  canvas->SetFont(GetFont());
  const Boolean enabled = GetEnabled();
  TColor color = GetFont()->GetColor();
  TColor painterColor = clDefault;
  if (color == clWindowText) painterColor = painter->DefaultEditorTextColor(!enabled);
  if (painterColor != clDefault)
    color = painterColor;
  else
    color = enabled ? GetFont()->GetColor() : clBtnShadow;
  canvas->SetFontColor(color);
  TRect r{0, 0, GetWidth(), GetHeight()};
  if (GetAlignment() == taRightJustify)
    r.Left = FButtonRect.Right;
  else
    r.Right = FButtonRect.Left;
  canvas->SetBrushClear(true);
  AdjustTextRect(r, nativeStyle);
  const Integer flags = GetWordWrap() ? 1697 : 609;
  const Boolean embossed = !enabled && painter->DefaultEditorTextColor(true) == clDefault && !IsInplace() && !nativeStyle;
  canvas->DrawTextInRect(GetCaption(), r, flags, !embossed);
  canvas->SetBrushClear(false);
  if (Focused() && !GetCaption().empty()) {
    TRect f = r;
    canvas->MeasureTextRect(GetCaption(), f, flags);
    f = TRect{f.Left - 1, f.Top - 1, f.Right + 1, f.Bottom + 2};
    if (IsInplace()) {
      f.Top = std::max(f.Top, 1);
      f.Bottom = std::min(f.Bottom, GetHeight() - 1);
      f.Right = std::min(f.Right, GetWidth());
    }
    canvas->SetBrushColor(GetColor());
    canvas->SetFontColor(GetFont()->GetColor());
    canvas->DrawFocusFrame(f);
  }
}

void TcxRadioButton::DrawButton(Boolean focusOnly) {
  const TRect whole{0, 0, GetWidth(), GetHeight()};
  if (!focusOnly) {
    if (IsTransparent())
      DrawTransparentBackground(this, FCanvas, whole);
    else if (IsNativeBackground())
      DrawTransparentBackground(this, FCanvas, whole);
    if (IsNativeStyle()) DrawBackground();
  }
  const TcxCustomLookAndFeelPainterClass painter = FLookAndFeel->GetPainterForThemeTypes({});
  const TSize size = painter->RadioButtonGlyphSize();
  FButtonRect.Top = (GetHeight() - size.cy) / 2;
  FButtonRect.Bottom = FButtonRect.Top + size.cy;
  if (GetAlignment() == taRightJustify) {
    FButtonRect.Left = (!IsNativeStyle() && !IsInplace()) ? 1 : 0;
    FButtonRect.Right = FButtonRect.Left + size.cx;
  } else {
    FButtonRect.Right = GetWidth();
    FButtonRect.Left = GetWidth() - size.cx;
  }
  TColor background = GetColor();
  if (IsTransparentBackground()) background = FLookAndFeel->GetSkinPainter() ? clNone : clDefault;
  painter->DrawRadioButton(FCanvas, FButtonRect.Left, FButtonRect.Top, RadioButtonPainterState(FState), GetChecked(),
                           Focused(), background, GetComponentState().Contains(csDesigning));
  FCanvas->ExcludeFromClip(FButtonRect);
  if (!focusOnly && !IsNativeStyle()) DrawBackground();
  DrawCaption(FCanvas, IsNativeStyle());
}

void TcxRadioButton::CalculateState(Integer button, TShiftState shift, const TPoint& point) {
  TcxRadioButtonState state;
  const Boolean inside = point.X >= 0 && point.Y >= 0 && point.X < GetWidth() && point.Y < GetHeight();
  if (!GetEnabled())
    state = rbsDisabled;
  else if (GetComponentState().Contains(csDesigning))
    state = rbsNormal;
  else if (HandleAllocated() && GetCapture() == GetHandle())
    state = inside ? rbsPressed : rbsHot;
  else
    state = inside && shift.Empty() ? rbsHot : rbsNormal;
  if (state == FState) return;
  FState = state;
  if (HandleAllocated()) {
    const TRect r{FButtonRect.Left - 1, FButtonRect.Top - 1, FButtonRect.Right + 1, FButtonRect.Bottom + 1};
    InvalidateControlRect(this, r, false);
  }
}

void TcxRadioButton::UpdateStateAtCursor() {
  if (!HandleAllocated()) return;
  POINT p{};
  GetCursorPos(&p);
  const TPoint client = ScreenToClient(TPoint{p.X, p.Y});
  CalculateState(0, RadioButtonKeyboardShift(), client);
}

void TcxRadioButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  CalculateState(TranslateMouseButton(button), shift, TPoint{x, y});
}

void TcxRadioButton::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  CalculateState(0, shift, TPoint{x, y});
  StartMouseTracking(this, TRect{0, 0, GetWidth(), GetHeight()}, this);
}

void TcxRadioButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseUp(button, shift, x, y);
  CalculateState(TranslateMouseButton(button), shift, TPoint{x, y});
}

void TcxRadioButton::MouseEntered() {
  UpdateStateAtCursor();
  StartMouseTracking(this, TRect{0, 0, GetWidth(), GetHeight()}, this);
}

void TcxRadioButton::MouseLeave() {
  CalculateState(0, {}, TPoint{-1, -1});
  StopMouseTracking(this);
}

void TcxRadioButton::DoEnter() {
  inherited::DoEnter();
  // Reaching an unchecked button by the keyboard checks it and clicks once.
  if (!GetChecked() && !FClicksDisabled) {
    FClicksDisabled = true;
    SetChecked(true);
    FClicksDisabled = false;
    if (!GetComponentState().Contains(csLoading)) Click();
  }
}

void TcxRadioButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND: message.Result = 1; return;
    case WM_WINDOWPOSCHANGED:
      inherited::Dispatch(message);
      if (!GetComponentState().Contains(csDestroying) && IsTransparentBackground()) Invalidate();
      return;
    case BM_SETCHECK:
      inherited::Dispatch(message);
      if (HandleAllocated()) InvalidateControlRect(this, FButtonRect, false);
      return;
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(message);
      UpdateStateAtCursor();
      Invalidate();
      return;
    case CM_MOUSEENTER:
      inherited::Dispatch(message);
      MouseEntered();
      return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(message);
      MouseLeave();
      return;
    case CM_SYSCOLORCHANGE:
      inherited::Dispatch(message);
      Invalidate();
      return;
    case CN_DRAWITEM: {
      if (GetComponentState().Contains(csDestroying)) return;
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
      FCanvas->SetDCHandle(item->hDC);
      try {
        DrawButton(item->itemAction == ODA_FOCUS);
      } catch (...) {
        FCanvas->SetDCHandle(nullptr);
        throw;
      }
      FCanvas->SetDCHandle(nullptr);
      message.Result = 1;
      return;
    }
    case WM_CONTEXTMENU: {
      if (message.Result != 0 || GetComponentState().Contains(csDesigning)) break;
      TPoint p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
      const Boolean keyboard = p.X == -1 && p.Y == -1;
      if (!keyboard) {
        p = ScreenToClient(p);
        if (p.X < 0 || p.Y < 0 || p.X >= GetWidth() || p.Y >= GetHeight()) break;
      } else {
        p = TPoint{0, 0};
      }
      bool handled = false;
      DoContextPopup(p, handled);
      if (!handled) {
        const TPoint screen = ClientToScreen(p);
        handled = DoShowPopupMenu(FPopupMenu, screen.X, screen.Y);
      }
      message.Result = handled ? 1 : 0;
      if (handled) return;
      break;
    }
    default: break;
  }
  inherited::Dispatch(message);
}

// ==== Radio group items and properties ========================================================

namespace {

// The filter row enters a radio-group condition with a fixed-list combo box of the item captions;
// its item index stands for the item, -1 for the default value. Conditions keep the display text.
class TcxFilterRadioGroupHelper : public TcxFilterComboBoxHelper {
  ORV_CLASS(TcxFilterRadioGroupHelper, TcxFilterComboBoxHelper)
 public:
  TcxFilterRadioGroupHelper() = default;

  void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                             TcxFilterControlOperators& operators, Boolean extended) const override {
    operators = TcxFilterControlOperators{1, 2, 9, 10};
    if (extended) {
      operators.Include(13);
      operators.Include(14);
    }
  }

  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override {
    auto* combo = dynamic_cast<TcxCustomComboBoxProperties*>(properties);
    auto* radio = dynamic_cast<TcxCustomRadioGroupProperties*>(sourceProperties);
    if (!combo || !radio) return;
    TStrings* items = combo->GetItems();
    items->Clear();
    TcxRadioGroupItems* source = radio->GetRadioItems();
    for (Integer i = 0; i < source->GetCount(); ++i) items->Add(source->GetItem(i)->GetCaption());
    combo->SetDropDownListStyle(lsFixedList);
    combo->SetDefaultValuesProvider(nullptr);
    ClearEventHandlers(combo);
  }

  void GetEditValueAndText(TcxCustomEdit* edit, TcxCustomEditProperties* properties, AnsiString& text,
                           Variant& value) const override {
    auto* combo = dynamic_cast<TcxCustomTextEdit*>(edit);
    auto* radio = dynamic_cast<TcxCustomRadioGroupProperties*>(properties);
    if (!radio) {
      value = Null();
      text.clear();
      return;
    }
    const Integer index = combo ? combo->GetItemIndex() : -1;
    TcxRadioGroupItems* items = radio->GetRadioItems();
    if (index < 0 || index >= items->GetCount()) {
      value = radio->GetDefaultValue();
      text = radio->GetDefaultCaption();
      return;
    }
    auto* item = static_cast<TcxRadioGroupItem*>(items->GetItem(index));
    value = item->GetValue();
    text = item->GetCaption();
  }

  void SetEditValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, const Variant& value) const override {
    auto* combo = dynamic_cast<TcxCustomTextEdit*>(edit);
    auto* radio = dynamic_cast<TcxCustomRadioGroupProperties*>(properties);
    if (!combo || !radio) return;
    Variant index;
    radio->EditValueToDisplayValue(value, index, edit->Focused());
    combo->SetItemIndex(VarIsNull(index) || VarIsEmpty(index) ? -1 : index.AsInteger());
  }

  Boolean UsesDisplayText() const override { return true; }
};

const bool kRadioGroupRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxRadioGroupProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryRadioGroupItem));
  FilterEditsController()->AddHelperClass(TcxRadioGroupProperties::StaticClass(),
                                          TcxFilterRadioGroupHelper::StaticClass());
  return true;
}();

TcxLookAndFeelKind RadioGroupKindOfButtonStyle(TcxEditButtonStyle style) {
  switch (style) {
    case btsFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

}  // namespace

void TcxRadioGroupItem::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxRadioGroupItem*>(source)) FValue = s->FValue;
  inherited::Assign(source);
}

void TcxRadioGroupItem::SetValue(const Variant& value) {
  if (VarEqualsExactly(value, FValue)) return;
  FValue = value;
  if (auto* items = dynamic_cast<TcxButtonGroupItems*>(GetCollection())) items->ItemChanged(this, -1, bgicChanged);
}

TcxCustomRadioGroupProperties::TcxCustomRadioGroupProperties(TPersistent* owner)
    : TcxCustomButtonGroupProperties(owner), FDefaultValue(Null()) {}

void TcxCustomRadioGroupProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomRadioGroupProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    FDefaultCaption = s->FDefaultCaption;
    SetDefaultValue(s->FDefaultValue);
    SetWordWrap(s->GetWordWrap());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TcxButtonGroupItems* TcxCustomRadioGroupProperties::CreateItems() {
  return new TcxRadioGroupItems(this, TcxRadioGroupItem::StaticClass());
}

Integer TcxCustomRadioGroupProperties::GetColumnCount() {
  const Integer c = std::min(GetColumns(), GetItems()->GetCount());
  return c == 0 ? 1 : c;
}

TcxCustomEditClass TcxCustomRadioGroupProperties::GetEditClass() { return TcxRadioGroup::StaticClass(); }
TcxCustomEditViewDataClass TcxCustomRadioGroupProperties::GetViewDataClass() {
  return TcxCustomRadioGroupViewData::StaticClass();
}
TcxCustomEditViewInfoClass TcxCustomRadioGroupProperties::GetViewInfoClass() {
  return TcxCustomRadioGroupViewInfo::StaticClass();
}

void TcxCustomRadioGroupProperties::SetDefaultValue(const Variant& value) {
  if (VarEqualsExactly(value, FDefaultValue)) return;
  FDefaultValue = value;
  Changed();
}

Integer TcxCustomRadioGroupProperties::GetItemIndexByValue(const Variant& value) {
  TcxRadioGroupItems* items = GetRadioItems();
  for (Integer i = 0; i < items->GetCount(); ++i) {
    TcxRadioGroupItem* item = items->GetItem(i);
    if (VarIsNull(item->GetValue())) {
      if (!VarIsNull(value) && !VarIsEmpty(value) && item->GetCaption() == VarToStr(value)) return i;
    } else if (AreVariantsEqual(value, item->GetValue())) {
      return i;
    }
  }
  return -1;
}

Variant TcxCustomRadioGroupProperties::GetEditValueOfIndex(Integer index) {
  if (index < 0 || index >= GetItems()->GetCount()) return FDefaultValue;
  TcxRadioGroupItem* item = GetRadioItems()->GetItem(index);
  return VarIsNull(item->GetValue()) ? Variant(item->GetCaption()) : item->GetValue();
}

void TcxCustomRadioGroupProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean) {
  displayValue = Variant(GetItemIndexByValue(value));
}

Boolean TcxCustomRadioGroupProperties::AreDisplayValuesEqual(const Variant& v1, const Variant& v2) {
  return GetItemIndexByValue(v1) == GetItemIndexByValue(v2);
}

void TcxCustomRadioGroupProperties::EditValueToDisplayText(const Variant& value, AnsiString& text) {
  const Integer index = GetItemIndexByValue(value);
  text = index < 0 ? FDefaultCaption : GetItems()->GetItem(index)->GetCaption();
}

// ==== Radio group view data and view info =====================================================

TRect TcxRadioGroupButtonViewInfo::GlyphBounds(const TSize& glyphSize, Boolean isPaintCopy, Integer glyphAlignment) {
  TRect r = inherited::GlyphBounds(glyphSize, isPaintCopy, glyphAlignment);
  if (isPaintCopy && !NativeStyle) r = TRect{r.Left + 1, r.Top, r.Right + 1, r.Bottom};
  return r;
}

TcxCustomRadioGroupViewInfo::TcxCustomRadioGroupViewInfo() { GetRadioButtonImageList(); }

Boolean TcxCustomRadioGroupViewInfo::IsButtonGlyphTransparent(TcxGroupBoxButtonViewInfo* button) {
  return IsBackgroundTransparent();
}

void TcxCustomRadioGroupViewInfo::DrawButtonGlyph(TcxCanvas* canvas, TcxGroupBoxButtonViewInfo* button,
                                                  const TRect& glyphRect) {
  canvas->SaveDC();
  try {
    canvas->IntersectClip(button->Bounds);
    const TColor background = IsBackgroundTransparent() ? clDefault : BackgroundColor;
    TcxCustomLookAndFeelPainterClass painter =
        Painter ? Painter : GetEditPainterClass(false, RadioGroupKindOfButtonStyle(button->ButtonStyleUsed));
    TcxButtonState state = cxbsNormal;
    switch (button->State) {
      case ebsDisabled: state = cxbsDisabled; break;
      case ebsPressed: state = cxbsPressed; break;
      case ebsSelected: state = cxbsHot; break;
      default: break;
    }
    painter->DrawRadioButton(canvas, glyphRect.Left, glyphRect.Top, state, ItemIndex == button->ButtonIndex, false,
                             background, IsDesigning);
  } catch (...) {
    canvas->RestoreDC();
    throw;
  }
  canvas->RestoreDC();
}

void TcxCustomRadioGroupViewInfo::DrawButtonCaption(TcxCanvas* canvas, TcxGroupBoxButtonViewInfo* button,
                                                    const TRect& glyphRect) {
  canvas->SetFont(TextFont);
  canvas->SetFontColor(DefaultTextColor);
  PrepareCanvasFont(canvas);
  TRect r = button->Bounds;
  if (GlyphAlignment == 1)
    r.Left = glyphRect.Right;
  else
    r.Right = glyphRect.Left;
  canvas->SetBrushClear(true);
  const TRect m = button->NativeStyle ? TRect{3, -1, 0, -1} : TRect{5, 0, 1, 0};
  r = TRect{r.Left + m.Left, r.Top + m.Top, r.Right - m.Right, r.Bottom - m.Bottom};
  if (IsPaintingCopy) r = GetOffsetRect(r, 0, -1);
  canvas->DrawTextInRect(button->ItemCaption, r, CaptionTextFlags, true);
  canvas->SetBrushClear(false);
}

void TcxCustomRadioGroupViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                                    TcxCustomEditViewInfo* viewInfo, TShiftState shift,
                                                    Integer button, const TPoint& mousePos) {
  auto* info = static_cast<TcxCustomRadioGroupViewInfo*>(viewInfo);
  info->GlyphAlignment = 1;
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  info->GlyphSize = Style->GetLookAndFeel()->GetPainterForThemeTypes({})->RadioButtonGlyphSize();
  info->AssignBackgroundColor(Style->GetColor());
}

void TcxCustomRadioGroupViewData::SetViewInfoValue(TcxCanvas* canvas, const Variant& value,
                                                   TcxCustomEditViewInfo* viewInfo) {
  auto* info = static_cast<TcxCustomRadioGroupViewInfo*>(viewInfo);
  info->ItemIndex = PreviewMode ? 0 : static_cast<TcxCustomRadioGroupProperties*>(Properties)->GetItemIndexByValue(value);
  if (PaintFlags & cxEditPaintOptionMultiLine) info->PaintOptionsSet |= cxEditPaintOptionMultiLine;
}

void TcxCustomRadioGroupViewData::GetButtonMetrics(Boolean widthLimited, TcxCanvas* canvas,
                                                   TcxButtonGroupMetrics& metrics) {
  const Boolean native = IsButtonNativeStyle(Style->GetLookAndFeel());
  metrics.LimitedWidthCorrection = IsInplace ? -5 : -6;
  metrics.AutoWidthExtra = IsInplace ? 1 : 6;
  metrics.FirstColumnOffset = IsInplace ? 1 : 6;
  metrics.ButtonWidthCorrection = IsInplace ? -2 : -6;
  metrics.ColumnSpacing = 0;
  if (!canvas) return;
  metrics.CaptionIndent = native ? 1 : 3;
  metrics.CaptionExtraWidth = native ? 5 : 7;
  const TSize glyph = Style->GetLookAndFeel()->GetPainterForThemeTypes({})->RadioButtonGlyphSize();
  metrics.GlyphWidth = glyph.cx;
  metrics.GlyphHeight = glyph.cy;
}

// ==== Radio group buttons =====================================================================

TcxCustomRadioGroupButton::TcxCustomRadioGroupButton(TComponent* owner)
    : TcxRadioButton(owner), FGroup(static_cast<TcxCustomRadioGroup*>(owner)) {
  GetLookAndFeel()->SetMaster(FGroup->GetStyle()->GetLookAndFeel());
}

TcxContainer* TcxCustomRadioGroupButton::GetControlContainer() { return FGroup; }

Boolean TcxCustomRadioGroupButton::IsInplace() { return FGroup->IsInplace(); }
Boolean TcxCustomRadioGroupButton::IsTransparent() { return FGroup->IsTransparent(); }
Boolean TcxCustomRadioGroupButton::IsNativeStyle() {
  return TcxButtonGroupViewData::IsButtonNativeStyle(FGroup->GetStyle()->GetLookAndFeel());
}
bool TcxCustomRadioGroupButton::CanFocus() { return FGroup->CanFocus(); }

void TcxCustomRadioGroupButton::SetChecked(bool value) {
  if (value == GetChecked()) return;
  const bool clicks = FClicksDisabled;
  FClicksDisabled = true;
  try {
    inherited::SetChecked(value);
  } catch (...) {
    FClicksDisabled = clicks;
    throw;
  }
  FClicksDisabled = clicks;
  if (value && !FInternalChecking) FGroup->ButtonChecked(this);
}

void TcxCustomRadioGroupButton::SetCheckedInternally(Boolean value) {
  if (FInternalChecking) return;
  FInternalChecking = true;
  try {
    SetChecked(value);
  } catch (...) {
    FInternalChecking = false;
    throw;
  }
  FInternalChecking = false;
}

void TcxCustomRadioGroupButton::Click() {
  inherited::Click();
  if (!FGroup->GetComponentState().Contains(csLoading)) FGroup->Click();
}

void TcxCustomRadioGroupButton::DoEnter() {
  FGroup->RefreshStateAtCursor(false);
  if (!GetChecked() && !FGroup->IsInplace() && !FLeftButtonDown && FGroup->DoEditing()) SetChecked(true);
}

void TcxCustomRadioGroupButton::KeyDown(Word& key, TShiftState shift) {
  // The group handles the keys of its buttons (arrows move between them).
  FGroup->HandleButtonKeyDown(key, shift);
  if (key != 0) inherited::KeyDown(key, shift);
}

void TcxCustomRadioGroupButton::KeyPress(char& key) {
  inherited::KeyPress(key);
  if ((key == 8 || key == ' ') && !FGroup->CanModify()) key = 0;
}

void TcxCustomRadioGroupButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND: {
      const WORD code = HIWORD(message.WParam);
      if ((code != BN_CLICKED && code != BN_DOUBLECLICKED) || FInCommand) return;
      FInCommand = true;
      try {
        if (GetChecked() || (FGroup->CanModify() && FGroup->DoEditing())) inherited::Dispatch(message);
      } catch (Exception& e) {
        Application->ShowException(e);
      }
      FInCommand = false;
      return;
    }
    case WM_GETDLGCODE:
      inherited::Dispatch(message);
      // The group moves between its buttons by the column layout, stand-alone too; the form's
      // dialog keys would only cycle through the siblings.
      message.Result |= DLGC_WANTARROWS;
      return;
    case WM_LBUTTONDOWN: {
      FLeftButtonDown = true;
      try {
        inherited::Dispatch(message);
      } catch (...) {
        FLeftButtonDown = false;
        throw;
      }
      FLeftButtonDown = false;
      return;
    }
    default: break;
  }
  inherited::Dispatch(message);
}

// ==== Radio group ==============================================================================

TcxCustomRadioGroup::TcxCustomRadioGroup(TComponent* owner) : TcxCustomButtonGroup(owner) {}

TcxCustomEditPropertiesClass TcxCustomRadioGroup::GetPropertiesClass() {
  return TcxCustomRadioGroupProperties::StaticClass();
}
TcxCustomEditPropertiesClass TcxRadioGroup::GetPropertiesClass() { return TcxRadioGroupProperties::StaticClass(); }

void TcxCustomRadioGroup::Initialize() {
  inherited::Initialize();
  const Boolean parentBackground = GetControlStyle().Contains(csParentBackground);
  TControlStyle style{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable};
  if (parentBackground) style.Include(csParentBackground);
  SetControlStyle(style);
  FStoredItemIndex = -1;
}

TWinControl* TcxCustomRadioGroup::CreateButton() { return new TcxCustomRadioGroupButton(this); }

Boolean TcxCustomRadioGroup::IsLoadingOrDesigning() {
  const TComponentState state = GetComponentState();
  return state.Contains(csLoading) || state.Contains(csReading) || state.Contains(csUpdating) ||
         state.Contains(csDesigning);
}

Integer TcxCustomRadioGroup::GetCheckedButtonIndex() {
  for (Integer i = 0; i < GetButtonCount(); ++i)
    if (GetRadioButton(i)->GetChecked()) return i;
  return -1;
}

Integer TcxCustomRadioGroup::GetItemIndex() {
  if (IsLoadingOrDesigning()) return FStoredItemIndex;
  return GetCheckedButtonIndex();
}

void TcxCustomRadioGroup::SetItemIndex(Integer value) {
  const TComponentState state = GetComponentState();
  const Boolean loading = state.Contains(csLoading) || state.Contains(csReading);
  Integer index = value;
  if (!loading) {
    index = std::max(-1, std::min(index, GetButtonCount() - 1));
    AssignEditValueAndSelect(GetRadioProperties()->GetEditValueOfIndex(index), true, false);
  }
  if (loading || state.Contains(csDesigning)) FStoredItemIndex = index;
}

void TcxCustomRadioGroup::DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean) {
  const Integer index = IsNumericVariant(displayValue) ? Integer(displayValue.AsDouble()) : -1;
  editValue = GetRadioProperties()->GetEditValueOfIndex(index);
}

void TcxCustomRadioGroup::AssignEditValue(const Variant& value, Boolean isUserAction) {
  AssignEditValueAndSelect(value, isUserAction, false);
}

void TcxCustomRadioGroup::AssignEditValueAndSelect(const Variant& value, Boolean isUserAction, Boolean fromButton) {
  LockChangeEvents(true);
  try {
    TcxCustomEdit::AssignEditValue(value, isUserAction);
    const Integer n = GetRadioProperties()->GetItemIndexByValue(value);
    if (fromButton || n != GetCheckedButtonIndex()) {
      SelectButton(n, fromButton);
      MarkModifiedAndClick();
      DoChange();
    }
    if (!GetUserChangeInProgress()) SetModified(false);
  } catch (...) {
    LockChangeEvents(false, true);
    throw;
  }
  LockChangeEvents(false, true);
  RefreshStateAtCursor(false);
}

void TcxCustomRadioGroup::SelectButton(Integer index, Boolean fromButton) {
  if (fromButton) {
    FocusButton(index);
  } else if (index < 0) {
    const Integer current = GetCheckedButtonIndex();
    if (current >= 0) GetRadioButton(current)->SetCheckedInternally(false);
  } else if (index < GetButtonCount()) {
    GetRadioButton(index)->SetCheckedInternally(true);
    FocusButton(index);
  }
  if (IsLoadingOrDesigning()) FStoredItemIndex = index;
}

void TcxCustomRadioGroup::FocusButton(Integer index) {
  if (index < 0 || index >= GetButtonCount()) return;
  if (Focused() && (!HandleAllocated() || GetFocus() != GetHandle())) {
    TcxCustomRadioGroupButton* button = GetRadioButton(index);
    if (!button->Focused() && button->CanFocus()) button->SetFocus();
  }
}

void TcxCustomRadioGroup::ButtonChecked(TcxCustomRadioGroupButton* button) {
  LockChangeEvents(true);
  try {
    SetUserChangeInProgress(Focused());
    try {
      if (!GetComponentState().Contains(csLoading)) {
        const Integer index = Integer(std::find(FButtons.begin(), FButtons.end(), button) - FButtons.begin());
        AssignEditValueAndSelect(GetRadioProperties()->GetEditValueOfIndex(index), true, true);
      }
    } catch (...) {
      SetUserChangeInProgress(false);
      throw;
    }
    SetUserChangeInProgress(false);
    if (Focused() && GetRadioProperties()->GetImmediatePost() && CanPostEditValue() && ValidateEditValue(true))
      PostEditValue(false);
  } catch (...) {
    LockChangeEvents(false, true);
    throw;
  }
  LockChangeEvents(false, true);
}

void TcxCustomRadioGroup::DoEditKeyDown(Word& key, TShiftState shift) {
  const Integer f = GetFocusedButtonIndex();
  if (f < 0) return;
  const Integer count = GetButtonCount();
  const Integer r = std::max(1, GetRadioProperties()->GetRowCount());
  const Integer c = f / r;
  const Integer w = f % r;
  const Integer rows = (f + r - w - 1 >= count) ? count - (f - w) : r;
  Integer target = -1;
  switch (key) {
    case VK_LEFT: if (c > 0) target = f - r; break;
    case VK_UP: if (w > 0) target = f - 1; break;
    case VK_RIGHT: if (f + r < count) target = f + r; break;
    case VK_DOWN: if (w < rows - 1) target = f + 1; break;
    default: break;
  }
  if (target >= 0) {
    GetRadioButton(target)->SetFocus();
    key = 0;
  }
  inherited::DoEditKeyDown(key, shift);
}

void TcxCustomRadioGroup::GetTabOrderList(TList* list) {
  inherited::GetTabOrderList(list);
  list->Remove(this);
  if ((GetTabStop() || Focused()) && GetItemIndex() != -1)
    for (Integer i = 0; i < GetButtonCount(); ++i)
      if (GetButton(i)->GetEnabled()) list->Add(GetButton(i));
}

Boolean TcxCustomRadioGroup::IsFocusWithin() {
  if (GetFocusedButtonIndex() >= 0) return false;
  return Focused();
}

void TcxCustomRadioGroup::UpdateButtonStyles() {
  inherited::UpdateButtonStyles();
  TcxButtonGroupViewInfo* info = GetGroupViewInfo();
  if (info->GetButtonCount() == 0) return;
  const TcxLookAndFeelKind kind = RadioGroupKindOfButtonStyle(info->GetItemButton(0)->ButtonStyleUsed);
  for (Integer i = 0; i < GetButtonCount(); ++i) {
    GetRadioButton(i)->GetLookAndFeel()->SetKind(kind);
    GetRadioButton(i)->SetTransparent(GetTransparent());
  }
}

void TcxCustomRadioGroup::UpdateButtons() {
  const Integer index = GetItemIndex();
  inherited::UpdateButtons();
  if (GetComponentState().Contains(csLoading) || !FButtonsReady) return;
  if (index != GetCheckedButtonIndex()) SetItemIndex(index);
  TcxButtonGroupItems* items = GetRadioProperties()->GetItems();
  for (Integer i = 0; i < GetButtonCount() && i < items->GetCount(); ++i) {
    GetRadioButton(i)->SetCaption(items->GetItem(i)->GetCaption());
    GetRadioButton(i)->SetWordWrap(GetRadioProperties()->GetWordWrap());
  }
}

void TcxCustomRadioGroup::ArrangeButtons() {
  inherited::ArrangeButtons();
  TcxButtonGroupViewInfo* info = GetGroupViewInfo();
  for (Integer i = 0; i < std::min(GetButtonCount(), info->GetButtonCount()); ++i) {
    GetRadioButton(i)->Column = info->GetItemButton(i)->Column;
    GetRadioButton(i)->Row = info->GetItemButton(i)->Row;
  }
}

void TcxCustomRadioGroup::ApplyStoredItemIndex() {
  LockChangeEvents(true);
  LockClick(true);
  try {
    LockEditValueChanging(false);
    TcxCustomEdit::AssignEditValue(GetRadioProperties()->GetDefaultValue(), false);
    SetItemIndex(FStoredItemIndex);
  } catch (...) {
    LockClick(false);
    LockChangeEvents(false, false);
    throw;
  }
  LockClick(false);
  LockChangeEvents(false, false);
  UpdateButtons();
}

void TcxCustomRadioGroup::Loaded() {
  inherited::Loaded();
  ApplyStoredItemIndex();
}

// ==== Published ================================================================================

ORV_PUBLISH(TcxRadioGroupItem) {
  using T = TcxRadioGroupItem;
  p.Property("Caption", &T::GetCaption, &T::SetCaption);
  p.Property("Value", [](T* x) { return x->GetValue(); }, [](T* x, Variant v) { x->SetValue(v); })
      .Stored([](T* x) { return !VarIsNull(x->GetValue()); });
  p.Property("Tag", &T::GetTag, &T::SetTag).Default(0);
}

ORV_PUBLISH(TcxRadioGroupProperties) {
  using T = TcxRadioGroupProperties;
  p.Property("ClearKey", &T::GetClearKey, &T::SetClearKey).Default(TShortCut(0));
  p.Property("Columns", &T::GetColumns, &T::SetColumns).Default(1);
  p.Property("DefaultCaption", &T::GetDefaultCaption, &T::SetDefaultCaption);
  p.Property("DefaultValue", [](T* x) { return x->GetDefaultValue(); }, [](T* x, Variant v) { x->SetDefaultValue(v); })
      .Stored([](T* x) { return !VarIsNull(x->GetDefaultValue()); });
  p.Property("ImmediatePost", &T::GetImmediatePost, &T::SetImmediatePost).Default(false);
  p.Property("Items", [](T* x) { return static_cast<TCollection*>(x->GetItems()); });
  p.Property("WordWrap", &T::GetWordWrap, &T::SetWordWrap).Default(false);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
}

ORV_PUBLISH(TcxRadioGroup) {
  using T = TcxRadioGroup;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishCaption(p);
  orv::PublishDrag(p);
  p.Property("Alignment", &T::GetAlignment, &T::SetAlignment).Default(alTopLeft);
  p.Property("ItemIndex", &T::GetItemIndex, &T::SetItemIndex).Default(-1);
  p.Property("ParentBackground", &TWinControl::GetParentBackground, &TWinControl::SetParentBackground).Default(true);
  p.Property("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor).Default(true);
  p.Property("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont).Default(true);
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxRadioGroupProperties* v) { x->SetProperties(v); });
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, true);
  p.Property("Transparent", [](T* x) { return x->GetTransparent(); }, [](T* x, bool v) { x->SetTransparent(v); }).Default(false);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
}

ORV_PUBLISH(TcxRadioButton) {
  using T = TcxRadioButton;
  p.Property("LookAndFeel", [](T* x) { return x->GetLookAndFeel(); }, [](T* x, TcxLookAndFeel* v) { x->SetLookAndFeel(v); });
  p.Property("PopupMenu", &T::GetPopupMenu, &T::SetPopupMenu);
  p.Property("ParentBackground", &TWinControl::GetParentBackground, &TWinControl::SetParentBackground).Default(true);
  p.Property("Transparent", &T::GetTransparent, &T::SetTransparent).Default(false);
}
