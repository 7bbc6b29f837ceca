#include "components/editors-more/cxCheckBox.h"

#include <algorithm>
#include <limits>

#include "components/data/cxVariants.h"
#include "components/editors-more/cxExtEditUtils.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditPublished.h"
#include "components/editors/cxFilterControlUtils.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/Menus.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"

namespace {

// The filter row enters a check-box condition with a fixed-list combo box of two items: the
// display texts of the checked and of the unchecked value. Conditions keep the display text.
class TcxFilterCheckBoxHelper : public TcxFilterComboBoxHelper {
  ORV_CLASS(TcxFilterCheckBoxHelper, TcxFilterComboBoxHelper)
 public:
  TcxFilterCheckBoxHelper() = default;

  void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                             TcxFilterControlOperators& operators, Boolean extended) const override {
    operators = TcxFilterControlOperators{1, 2, 9, 10};
  }

  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override {
    auto* combo = dynamic_cast<TcxCustomComboBoxProperties*>(properties);
    auto* check = dynamic_cast<TcxCustomCheckBoxProperties*>(sourceProperties);
    if (!combo || !check) return;
    combo->SetDropDownListStyle(lsFixedList);
    TStrings* items = combo->GetItems();
    items->Clear();
    AnsiString text;
    check->EditValueToDisplayText(check->GetValueChecked(), text);
    items->Add(text);
    check->EditValueToDisplayText(check->GetValueUnchecked(), text);
    items->Add(text);
    combo->SetDefaultValuesProvider(nullptr);
    ClearEventHandlers(combo);
  }

  void GetEditValueAndText(TcxCustomEdit* edit, TcxCustomEditProperties* properties, AnsiString& text,
                           Variant& value) const override {
    auto* combo = dynamic_cast<TcxCustomTextEdit*>(edit);
    auto* check = dynamic_cast<TcxCustomCheckBoxProperties*>(properties);
    const Integer index = combo ? combo->GetItemIndex() : -1;
    if (!check || index < 0 || index > 1) {
      value = Null();
      text.clear();
      return;
    }
    value = index == 0 ? check->GetValueChecked() : check->GetValueUnchecked();
    check->EditValueToDisplayText(value, text);
  }

  void SetEditValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, const Variant& value) const override {
    auto* combo = dynamic_cast<TcxCustomTextEdit*>(edit);
    auto* check = dynamic_cast<TcxCustomCheckBoxProperties*>(properties);
    if (!combo || !check) return;
    switch (check->GetStateOf(value)) {
      case cbsUnchecked: combo->SetItemIndex(1); break;
      case cbsChecked: combo->SetItemIndex(0); break;
      default: combo->SetItemIndex(-1); break;
    }
  }

  Boolean UsesDisplayText() const override { return true; }
};

const bool kCheckBoxRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxCheckBoxProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryCheckBoxItem));
  FilterEditsController()->AddHelperClass(TcxCheckBoxProperties::StaticClass(),
                                          TcxFilterCheckBoxHelper::StaticClass());
  return true;
}();

TcxButtonState CheckPainterState(TcxEditCheckState state) {
  switch (state) {
    case ecsHot: return cxbsHot;
    case ecsPressed: return cxbsPressed;
    case ecsDisabled: return cxbsDisabled;
    default: return cxbsNormal;
  }
}

TRect CheckDeflate(const TRect& r, Integer d) { return TRect{r.Left + d, r.Top + d, r.Right - d, r.Bottom - d}; }

Boolean CheckGlyphUsable(TBitmap* glyph, Integer count) { return glyph && count > 0 && !glyph->GetEmpty(); }

}  // namespace

// ==== Check drawing ============================================================================

Integer GetEditCheckBorderOffset(TcxEditBorderStyle borderStyle, Boolean nativeStyle, Boolean hasGlyph,
                                 TcxCustomLookAndFeelPainterClass skinPainter) {
  if (nativeStyle || hasGlyph || skinPainter) return 0;
  return 2 - GetContainerBorderWidth(TcxContainerBorderStyle(borderStyle));
}

Integer GetEditCheckBorderOffset(TcxLookAndFeelKind kind, Boolean nativeStyle, Boolean hasGlyph,
                                 TcxCustomLookAndFeelPainterClass skinPainter) {
  if (nativeStyle || hasGlyph || skinPainter) return 0;
  return 2 - ((kind == lfFlat || kind == lfStandard) ? 2 : 1);
}

Integer GetEditCheckGlyphIndex(TcxCheckBoxState state, TcxEditCheckState checkState, Boolean threeState,
                               Integer glyphCount) {
  const Integer c = (threeState || glyphCount % 3 == 0 || glyphCount % 2 == 1) ? 3 : 2;
  Integer index = Integer(state);
  if (checkState == ecsPressed) index += c;
  if (!(index < glyphCount) && !(index < c)) index %= c;
  if (index >= glyphCount) index %= c;
  return index;
}

TSize GetEditCheckSize(TcxCanvas* canvas, Boolean nativeStyle, TBitmap* glyph, Integer glyphCount,
                       TcxCustomLookAndFeelPainterClass skinPainter) {
  if (CheckGlyphUsable(glyph, glyphCount)) return TSize{glyph->GetWidth() / glyphCount, glyph->GetHeight()};
  if (skinPainter) return skinPainter->CheckBoxSize();
  if (IsNativeStyleUsable(nativeStyle, totButton))
    return TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass())->CheckBoxSize();
  return TcxCustomLookAndFeelPainterClass(TcxCustomLookAndFeelPainter::StaticClass())->CheckBoxSize();
}

void DrawEditCheck(TcxCanvas* canvas, const TRect& checkRect, TcxCheckBoxState state, TcxEditCheckState checkState,
                   TBitmap* glyph, Integer glyphCount, TcxEditBorderStyle borderStyle, Boolean nativeStyle,
                   TColor borderColor, TColor backgroundColor, Boolean fill, Boolean designing, Boolean focused,
                   Boolean threeStateGlyph, TcxCustomLookAndFeelPainterClass skinPainter,
                   TcxCheckBoxNullValueShowingStyle nullStyle) {
  if (!fill) backgroundColor = clNone;
  if (state == cbsGrayed && nullStyle == nssUnchecked) state = cbsUnchecked;
  if (CheckGlyphUsable(glyph, glyphCount)) {
    const Integer index = GetEditCheckGlyphIndex(state, checkState, threeStateGlyph, glyphCount);
    const Integer w = glyph->GetWidth() / glyphCount;
    std::unique_ptr<TBitmap, orv::FreeDeleter> work(new TBitmap);
    work->SetWidth(checkRect.Width());
    work->SetHeight(checkRect.Height());
    const Integer top = (glyph->GetHeight() - checkRect.Height()) / 2;
    BitBlt(work->GetCanvas()->GetHandle(), 0, 0, checkRect.Width(), checkRect.Height(),
           glyph->GetCanvas()->GetHandle(), index * w, top, SRCCOPY);
    DrawTransparentGlyph(canvas, checkRect.Left, checkRect.Top, work.get(), ColorToRGB(backgroundColor),
                         checkState != ecsDisabled);
    return;
  }
  if (skinPainter) {
    if (fill) canvas->FillRectWithColor(checkRect, backgroundColor);
    skinPainter->DrawCheckBoxWithState(canvas, checkRect, CheckPainterState(checkState), state);
    return;
  }
  const Boolean native = IsNativeStyleUsable(nativeStyle, totButton);
  TRect r = checkRect;
  if (native) {
    TcxCustomLookAndFeelPainterClass(TcxWinXPLookAndFeelPainter::StaticClass())
        ->DrawCheckBoxWithState(canvas, r, CheckPainterState(checkState), state);
    return;
  }
  const Integer w = GetEditCheckBorderOffset(borderStyle, false, false, skinPainter);
  if (fill && w > 0) canvas->DrawBorderLines(r, backgroundColor, w, cxBordersAll);
  r = CheckDeflate(r, w);
  switch (borderStyle) {
    case ebsSingle: canvas->DrawBorderLines(r, borderColor, 1, cxBordersAll); break;
    case ebsThick: canvas->DrawBorderLines(r, borderColor, 2, cxBordersAll); break;
    case ebsFlat:
      canvas->Draw3DEdge(r, true, true);
      canvas->DrawBorderLines(CheckDeflate(r, 1), clBtnFace, 1, cxBordersAll);
      break;
    case ebs3D:
      canvas->Draw3DEdge(r, true, true);
      canvas->DrawTwoColorFrame(CheckDeflate(r, 1), cl3DDkShadow, cl3DLight, cxBordersAll, 1);
      break;
    case ebsUltraFlat:
    case ebsOffice11: {
      TColor color;
      if (borderStyle == ebsOffice11 && checkState == ecsNormal && !designing && !focused)
        color = clBtnText;
      else if (checkState == ecsHot || checkState == ecsPressed || (designing && checkState != ecsDisabled) ||
               (checkState == ecsNormal && focused))
        color = GetHotBorderColor(borderStyle == ebsOffice11);
      else
        color = clBtnShadow;
      canvas->DrawBorderLines(r, color, 1, cxBordersAll);
      break;
    }
    default: break;
  }
  // The mark.
  const TRect mark = CheckDeflate(checkRect, 2);
  if (borderStyle == ebsUltraFlat || borderStyle == ebsOffice11) {
    TColor face;
    switch (checkState) {
      case ecsHot:
      case ecsPressed: face = GetUltraFlatButtonColor(checkState == ecsPressed, borderStyle == ebsOffice11); break;
      case ecsDisabled: face = clBtnFace; break;
      default: face = (state == cbsGrayed && nullStyle == nssInactive) ? clBtnFace : clWindow; break;
    }
    canvas->FillRectWithColor(mark, face);
    if (state == cbsChecked || (state == cbsGrayed && nullStyle == nssGrayedChecked)) {
      const TColor markColor = (state == cbsChecked && checkState != ecsDisabled) ? clBtnText : clBtnShadow;
      canvas->SaveDC();
      canvas->IntersectClip(mark);
      TcxCustomLookAndFeelPainterClass(TcxUltraFlatLookAndFeelPainter::StaticClass())
          ->DrawCheckMark(canvas, CheckDeflate(mark, -2), CheckPainterState(checkState), true, markColor);
      canvas->RestoreDC();
    }
    return;
  }
  UINT flags = DFCS_BUTTONCHECK;
  if (state == cbsChecked) flags |= DFCS_CHECKED;
  if (state == cbsGrayed) {
    flags |= DFCS_BUTTON3STATE;
    if (nullStyle == nssInactive) flags |= DFCS_INACTIVE;
    if (nullStyle == nssGrayedChecked) flags |= DFCS_CHECKED;
  }
  if (checkState == ecsPressed) flags |= DFCS_PUSHED;
  if (checkState == ecsDisabled) {
    const Boolean shownChecked = state == cbsChecked || (state == cbsGrayed && nullStyle == nssGrayedChecked);
    flags |= shownChecked ? (DFCS_CHECKED | DFCS_PUSHED | DFCS_BUTTON3STATE)
                          : (DFCS_INACTIVE | DFCS_PUSHED | DFCS_BUTTON3STATE);
  }
  if (borderStyle != ebs3D) flags |= DFCS_FLAT;
  canvas->SaveDC();
  canvas->IntersectClip(mark);
  RECT frame = CheckDeflate(mark, -2);
  DrawFrameControl(canvas->GetDCHandle(), &frame, DFC_BUTTON, flags);
  canvas->RestoreDC();
}

// ==== Caption items ============================================================================

void TcxCaptionItem::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCaptionItem*>(source)) {
    SetCaption(s->FCaption);
    FTag = s->FTag;
    return;
  }
  inherited::Assign(source);
}

void TcxCaptionItem::SetCaption(const AnsiString& value) {
  if (value == FCaption) return;
  FCaption = value;
  auto* items = dynamic_cast<TcxCaptionItems*>(GetCollection());
  if (items && items->GetSorted())
    items->ResortAfterCaptionChange();
  else
    Changed(false);
}

AnsiString TcxCaptionItems::GetCaption(Integer index) { return GetItem(index)->GetCaption(); }

Integer TcxCaptionItems::CompareItemOrder(TCollectionItem* item1, TCollectionItem* item2) {
  return AnsiCompareText(static_cast<TcxCaptionItem*>(item1)->GetCaption(),
                         static_cast<TcxCaptionItem*>(item2)->GetCaption());
}

// ==== Value formats ============================================================================

Variant CheckStatesToValue(const TcxCheckStates& states, IcxCaptionItems* items, TcxCheckStatesValueFormatEx format) {
  const Integer count = Integer(states.size());
  switch (format) {
    case cvfCaptions: {
      AnsiString grayed, checked;
      for (Integer i = 0; i < count; ++i) {
        if (states[i] == cbsUnchecked) continue;
        const AnsiString caption = items->GetCaption(i);
        const AnsiString entry = IntToStr(Integer(caption.size())) + ":" + caption;
        (states[i] == cbsGrayed ? grayed : checked) += entry;
      }
      return Variant(checked.empty() ? grayed : grayed + ";" + checked);
    }
    case cvfIndices: {
      AnsiString grayed, checked;
      for (Integer i = 0; i < count; ++i) {
        if (states[i] == cbsGrayed) grayed += (grayed.empty() ? "" : ",") + IntToStr(i);
        if (states[i] == cbsChecked) checked += (checked.empty() ? "" : ",") + IntToStr(i);
      }
      return Variant(checked.empty() ? grayed : grayed + ";" + checked);
    }
    case cvfInteger: {
      Int64 bits = 0;
      for (Integer i = 0; i < std::min(count, 64); ++i)
        if (states[i] == cbsChecked) bits |= Int64(1) << i;
      return Variant(bits);
    }
    case cvfStatesString: {
      AnsiString s;
      for (TcxCheckBoxState state : states) s += char('0' + Integer(state));
      return Variant(s);
    }
    default: return Null();
  }
}

namespace {

Boolean CheckValueIsText(const Variant& value, AnsiString& text) {
  if (VarIsNull(value)) {
    text.clear();
    return true;
  }
  if (VarType(value) != varString) return false;
  text = VarToStr(value);
  return true;
}

Boolean ParseCaptionsValue(const AnsiString& text, IcxCaptionItems* items, TcxCheckStates& states) {
  const Integer count = Integer(states.size());
  if (text.empty()) return true;
  std::vector<std::pair<AnsiString, Boolean>> listed;  // caption, checked
  Boolean checkedList = false;
  std::size_t i = 0;
  while (true) {
    if (i < text.size() && text[i] == ';') {
      if (checkedList) return false;
      checkedList = true;
      ++i;
    }
    Int64 length = 0;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      length = length * 10 + (text[i] - '0');
      if (length > std::numeric_limits<Integer>::max()) return false;
      ++i;
      ++digits;
    }
    if (digits == 0 || i >= text.size() || text[i] != ':') return false;
    ++i;
    if (Int64(text.size() - i) < length) return false;
    listed.emplace_back(text.substr(i, std::size_t(length)), checkedList);
    i += std::size_t(length);
    if (i == text.size()) break;
  }
  std::vector<bool> used(listed.size(), false);
  for (Integer item = 0; item < count; ++item) {
    const AnsiString caption = items->GetCaption(item);
    for (std::size_t k = 0; k < listed.size(); ++k)
      if (!used[k] && AnsiSameText(listed[k].first, caption)) {
        used[k] = true;
        states[item] = listed[k].second ? cbsChecked : cbsGrayed;
        break;
      }
  }
  return std::all_of(used.begin(), used.end(), [](bool u) { return u; });
}

Boolean ParseIndicesValue(const AnsiString& text, TcxCheckStates& states) {
  const Integer count = Integer(states.size());
  if (text.empty()) return true;
  Boolean checkedList = false;
  std::size_t i = 0;
  while (true) {
    if (i < text.size() && text[i] == ';') {
      if (checkedList) return false;
      checkedList = true;
      ++i;
    }
    Int64 index = 0;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      index = index * 10 + (text[i] - '0');
      if (index >= count) return false;
      ++i;
      ++digits;
    }
    if (digits == 0) return false;
    states[std::size_t(index)] = checkedList ? cbsChecked : cbsGrayed;
    if (i == text.size()) return true;
    if (text[i] == ',') ++i;
  }
}

}  // namespace

Boolean CheckStatesFromValue(const Variant& value, IcxCaptionItems* items, TcxCheckStatesValueFormatEx format,
                             TcxCheckStates& states) {
  const Integer count = items->GetCount();
  states.assign(std::size_t(std::max(count, 0)), cbsUnchecked);
  Boolean ok = false;
  AnsiString text;
  switch (format) {
    case cvfCaptions: ok = CheckValueIsText(value, text) && ParseCaptionsValue(text, items, states); break;
    case cvfIndices: ok = CheckValueIsText(value, text) && ParseIndicesValue(text, states); break;
    case cvfInteger: {
      Int64 bits = 0;
      ok = true;
      if (VarIsNull(value)) {
        bits = 0;
      } else if (VarType(value) == varString) {
        ok = TryStrToInt64(VarToStr(value), bits);
      } else if (IsNumericVariant(value) || VarType(value) == varDate) {
        const double d = value.AsDouble();
        ok = d >= -9.2e18 && d <= 9.2e18;
        if (ok) bits = VarType(value) == varInt64 ? value.AsInt64() : Int64(d);
      } else {
        ok = false;
      }
      if (ok)
        for (Integer i = 0; i < std::min(count, 64); ++i) states[i] = (bits >> i) & 1 ? cbsChecked : cbsUnchecked;
      break;
    }
    case cvfStatesString: {
      ok = CheckValueIsText(value, text);
      for (Integer i = 0; ok && i < std::min(count, Integer(text.size())); ++i) {
        if (text[i] < '0' || text[i] > '2')
          ok = false;
        else
          states[i] = TcxCheckBoxState(text[i] - '0');
      }
      break;
    }
    default: ok = false; break;
  }
  if (!ok) std::fill(states.begin(), states.end(), cbsUnchecked);
  return ok;
}

// ==== Properties ===============================================================================

TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner), FValueChecked(true), FValueGrayed(Null()), FValueUnchecked(false) {
  FDisplayChecked = GetLocalizedResourceString(&cxSEditCheckBoxChecked);
  FDisplayUnchecked = GetLocalizedResourceString(&cxSEditCheckBoxUnchecked);
  FDisplayGrayed = GetLocalizedResourceString(&cxSEditCheckBoxGrayed);
}

TcxCustomCheckBoxProperties::~TcxCustomCheckBoxProperties() { orv::Free(FGlyph); }

TcxCustomEditClass TcxCustomCheckBoxProperties::GetEditClass() { return TcxCheckBox::StaticClass(); }
TcxCustomEditStyleClass TcxCustomCheckBoxProperties::GetStyleClass() { return TcxCheckBoxStyle::StaticClass(); }
TcxCustomEditViewDataClass TcxCustomCheckBoxProperties::GetViewDataClass() {
  return TcxCustomCheckBoxViewData::StaticClass();
}
TcxCustomEditViewInfoClass TcxCustomCheckBoxProperties::GetViewInfoClass() {
  return TcxCustomCheckBoxViewInfo::StaticClass();
}

void TcxCustomCheckBoxProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomCheckBoxProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    FAllowGrayed = s->FAllowGrayed;
    FDisplayChecked = s->FDisplayChecked;
    FDisplayGrayed = s->FDisplayGrayed;
    FDisplayUnchecked = s->FDisplayUnchecked;
    SetFullFocusRect(s->FFullFocusRect);
    SetGlyph(s->FGlyph);
    SetGlyphCount(s->FGlyphCount);
    SetMultiLine(s->FMultiLine);
    SetNullStyle(s->FNullStyle);
    SetUseAlignmentWhenInplace(s->FUseAlignmentWhenInplace);
    const Boolean distinct = !VarEqualsExactly(s->FValueChecked, s->FValueGrayed) &&
                             !VarEqualsExactly(s->FValueChecked, s->FValueUnchecked) &&
                             !VarEqualsExactly(s->FValueGrayed, s->FValueUnchecked);
    if (distinct && !VarIsNull(s->FValueChecked) && !VarIsNull(s->FValueUnchecked)) {
      FValueChecked = s->FValueChecked;
      FValueGrayed = s->FValueGrayed;
      FValueUnchecked = s->FValueUnchecked;
      Changed();
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TBitmap* TcxCustomCheckBoxProperties::GetGlyph() {
  if (!FGlyph) {
    FGlyph = new TBitmap;
    FGlyph->SetOnChange(TNotifyEvent(this, &TcxCustomCheckBoxProperties::GlyphChanged));
  }
  return FGlyph;
}

void TcxCustomCheckBoxProperties::SetGlyph(TBitmap* value) {
  if (!value)
    FreeAndNil(FGlyph);
  else
    GetGlyph()->Assign(value);
  Changed();
}

void TcxCustomCheckBoxProperties::SetGlyphCount(Integer value) {
  if (value == FGlyphCount) return;
  FGlyphCount = value;
  if (FGlyph) Changed();
}

void TcxCustomCheckBoxProperties::SetCaption(const AnsiString& value) {
  FIsCaptionAssigned = true;
  if (value == FCaption) return;
  FCaption = value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetFullFocusRect(Boolean value) {
  if (value == FFullFocusRect) return;
  FFullFocusRect = value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetMultiLine(Boolean value) {
  if (value == FMultiLine) return;
  FMultiLine = value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetNullStyle(TcxCheckBoxNullValueShowingStyle value) {
  if (value == FNullStyle) return;
  FNullStyle = value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetUseAlignmentWhenInplace(Boolean value) {
  if (value == FUseAlignmentWhenInplace) return;
  FUseAlignmentWhenInplace = value;
  Changed();
}

Boolean TcxCustomCheckBoxProperties::AcceptsNewValue(const Variant& value, Boolean allowNull) {
  if (IsOwnerLoading()) return true;
  if (VarIsNull(value) && !allowNull) return false;
  return !VarEqualsExactly(value, FValueChecked) && !VarEqualsExactly(value, FValueGrayed) &&
         !VarEqualsExactly(value, FValueUnchecked);
}

void TcxCustomCheckBoxProperties::SetValueChecked(const Variant& value) {
  if (!AcceptsNewValue(value, false)) return;
  FValueChecked = value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetValueGrayed(const Variant& value) {
  if (!AcceptsNewValue(value, true)) return;
  FValueGrayed = value;
  Changed();
}

void TcxCustomCheckBoxProperties::SetValueUnchecked(const Variant& value) {
  if (!AcceptsNewValue(value, false)) return;
  FValueUnchecked = value;
  Changed();
}

TcxCheckBoxState TcxCustomCheckBoxProperties::GetStateOf(const Variant& value) {
  if (AreVariantsEqual(value, FValueChecked)) return cbsChecked;
  if (AreVariantsEqual(value, FValueUnchecked)) return cbsUnchecked;
  return cbsGrayed;
}

Variant TcxCustomCheckBoxProperties::GetValueOf(TcxCheckBoxState state) {
  switch (state) {
    case cbsChecked: return FValueChecked;
    case cbsUnchecked: return FValueUnchecked;
    default: return FValueGrayed;
  }
}

Boolean TcxCustomCheckBoxProperties::AcceptsEditValue(const Variant& value) {
  return inherited::AcceptsEditValue(value) &&
         (VarEqualsExactly(value, FValueChecked) || VarEqualsExactly(value, FValueGrayed) ||
          VarEqualsExactly(value, FValueUnchecked));
}

void TcxCustomCheckBoxProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean) {
  displayValue = Variant(Integer(GetStateOf(value)));
}

Boolean TcxCustomCheckBoxProperties::AreDisplayValuesEqual(const Variant& v1, const Variant& v2) {
  return GetStateOf(v1) == GetStateOf(v2);
}

void TcxCustomCheckBoxProperties::EditValueToDisplayText(const Variant& value, AnsiString& text) {
  switch (GetStateOf(value)) {
    case cbsChecked: text = FDisplayChecked; break;
    case cbsUnchecked: text = FDisplayUnchecked; break;
    default: text = FDisplayGrayed; break;
  }
}

// ==== View info ================================================================================

void TcxCustomCheckBoxViewInfo::Assign(TObject* source) {
  inherited::Assign(source);
  if (auto* s = dynamic_cast<TcxCustomCheckBoxViewInfo*>(source)) {
    CheckBoxState = s->CheckBoxState;
    State = s->State;
    CheckBoxRect = s->CheckBoxRect;
  }
}

void TcxCustomCheckBoxViewInfo::OffsetRects(Integer dx, Integer dy) {
  inherited::OffsetRects(dx, dy);
  CheckBoxRect = GetOffsetRect(CheckBoxRect, dx, dy);
  TextRect = GetOffsetRect(TextRect, dx, dy);
  if (!orv::IsEmptyRect(FocusRect)) FocusRect = GetOffsetRect(FocusRect, dx, dy);
}

Boolean TcxCustomCheckBoxViewInfo::InvalidateChanges(TWinControl* control, TcxCustomEditViewInfo* previous) {
  auto* old = dynamic_cast<TcxCustomCheckBoxViewInfo*>(previous);
  Boolean changed = inherited::InvalidateChanges(control, previous);
  if (old && (old->CheckBoxState != CheckBoxState || old->State != State)) {
    changed = true;
    if (control->HandleAllocated())
      InvalidateControlRect(control, GetOffsetRect(CheckBoxRect, OriginX, OriginY), false);
  }
  return changed;
}

void TcxCustomCheckBoxViewInfo::DoPaint(TcxCanvas* canvas) {
  const Boolean transparent = IsBackgroundTransparent();
  const Boolean underCheck = (!transparent && Painter) || HasGlyph;
  DrawBackgroundByMode(canvas, Bounds, true, underCheck ? TRect{} : CheckDeflate(CheckBoxRect, CheckBorderOffset));
  DrawEditCheck(canvas, CheckBoxRect, State, CheckBoxState, CheckBoxGlyph, CheckBoxGlyphCount, CheckBoxBorderStyle,
                NativeStyle, BorderColor, BackgroundColor, !transparent, IsDesignTime, IsFocused, true, Painter,
                NullValueShowingStyle);
  if (Alignment != taCenter && !Text.empty()) {
    canvas->SetFont(TextFont);
    canvas->SetFontColor(DefaultTextColor);
    canvas->SetBrushClear(true);
    const Boolean embossed = !IsEnabled && !IsInnerControlOfContainer && !IsTextColorAssigned && !NativeStyle;
    canvas->DrawTextInRect(Text, TextRect, TextFlags, !embossed);
    canvas->SetBrushClear(false);
  }
  if (!orv::IsEmptyRect(FocusRect)) {
    canvas->SetBrushColor(clWhite);
    canvas->SetFontColor(clBlack);
    canvas->DrawFocusFrame(FocusRect);
  }
}

// ==== View data ================================================================================

Integer TcxCustomCheckBoxViewData::GetDrawTextFlags() {
  TcxCustomCheckBoxProperties* p = CheckProperties();
  Integer flags = p->GetCheckAlignment() == taCenter ? cxAlignHCenter : cxAlignLeft;
  flags |= cxShowPrefix;
  flags |= p->GetMultiLine() ? (cxWordBreak | cxDontClip) : cxSingleLine;
  flags |= (IsInplace || !p->GetMultiLine()) ? cxAlignVCenter : cxAlignTop;
  return flags;
}

void TcxCustomCheckBoxViewData::CalculateFocusRect(TcxCanvas* canvas, TcxCustomCheckBoxViewInfo* info) {
  info->FocusRect = TRect{};
  if (!IsFocusedView || IsInplace || info->Alignment == taCenter) return;
  if (info->Text.empty()) return;
  TRect r = info->TextRect;
  if (!CheckProperties()->GetFullFocusRect() && canvas) {
    canvas->PushState();
    canvas->SetFont(info->TextFont);
    canvas->MeasureTextRect(info->Text, r, info->TextFlags);
    canvas->PopState();
  }
  info->FocusRect = TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 2};
}

void TcxCustomCheckBoxViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                                  TcxCustomEditViewInfo* viewInfo, TShiftState shift,
                                                  Integer button, const TPoint& mousePos) {
  auto* info = static_cast<TcxCustomCheckBoxViewInfo*>(viewInfo);
  const TcxEditCheckState previous = info->CheckBoxState;
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  TcxCustomCheckBoxProperties* p = CheckProperties();
  auto* box = dynamic_cast<TcxCustomCheckBox*>(Edit);
  info->TextFlags = GetDrawTextFlags();
  if (box) info->Text = box->GetCaption();
  const Boolean showsCaption = !IsInplace || p->GetUseAlignmentWhenInplace() || !info->Text.empty();
  info->Alignment = showsCaption ? p->GetCheckAlignment() : taCenter;
  info->CheckBoxBorderStyle = Style->GetEditBorderStyle();
  info->CheckBoxGlyph = p->HasGlyph() ? p->GetGlyph() : nullptr;
  info->CheckBoxGlyphCount = p->GetGlyphCount();
  info->NullValueShowingStyle = p->GetNullStyle();
  info->HasGlyph = CheckGlyphUsable(info->CheckBoxGlyph, info->CheckBoxGlyphCount);
  info->CheckBorderOffset =
      GetEditCheckBorderOffset(info->CheckBoxBorderStyle, info->NativeStyle, info->HasGlyph, info->Painter);
  info->IsTextColorAssigned = Style->IsValueAssigned(csvTextColor);
  const TSize check = GetEditCheckSize(canvas, info->NativeStyle, info->CheckBoxGlyph, info->CheckBoxGlyphCount,
                                       info->Painter);
  TRect r = info->ClientRect;
  if (IsInplace) {
    if (info->Alignment == taLeftJustify) r.Left += 2;
    if (info->Alignment == taRightJustify) r.Right -= 2;
  } else {
    r = CheckDeflate(r, 2);
  }
  const Integer cw = std::min(check.cx, GetClampedRectWidth(r));
  TRect c{r.Left + (GetClampedRectWidth(r) - cw) / 2, r.Top + (GetClampedRectHeight(r) - check.cy) / 2, 0, 0};
  c.Right = c.Left + cw;
  c.Bottom = c.Top + check.cy;
  if (cw < GetClampedRectWidth(r)) {
    if (info->Alignment == taLeftJustify) c = GetOffsetRect(c, r.Left - c.Left, 0);
    if (info->Alignment == taRightJustify) c = GetOffsetRect(c, r.Right - c.Right, 0);
  }
  info->CheckBoxRect = c;
  TRect t = info->ClientRect;
  if (IsInplace) {
    if (info->Alignment == taLeftJustify) t.Right -= 2;
    if (info->Alignment == taRightJustify) t.Left += 2;
  } else {
    t = CheckDeflate(t, 2);
    t.Top -= 1;
  }
  if (check.cx >= bounds.Right - bounds.Left) {
    t.Right = t.Left;
  } else if (info->Alignment == taLeftJustify) {
    t.Left = c.Right + 3;
  } else if (info->Alignment == taRightJustify) {
    t.Right = c.Left - 3;
  }
  info->TextRect = t;
  // Mouse state.
  const Boolean spaceHeld = box && box->IsSpacePressed();
  if (!IsEnabledView) {
    info->CheckBoxState = ecsDisabled;
  } else if (!spaceHeld && !IsDesignView && mousePos.X >= info->BorderRect.Left && mousePos.X < info->BorderRect.Right &&
             mousePos.Y >= info->BorderRect.Top && mousePos.Y < info->BorderRect.Bottom) {
    const Boolean anyButton = shift.Contains(ssLeft) || shift.Contains(ssRight) || shift.Contains(ssMiddle);
    if (!anyButton)
      info->CheckBoxState = ecsHot;
    else if (shift.Contains(ssLeft) && ((isMouseEvent && button == 1) || previous == ecsPressed))
      info->CheckBoxState = ecsPressed;
    else
      info->CheckBoxState = ecsNormal;
  } else {
    info->CheckBoxState = spaceHeld ? ecsPressed : ecsNormal;
  }
  CalculateFocusRect(canvas, info);
  if (IsInplace && info->CheckBoxBorderStyle == ebsSingle)
    info->BorderColor = (info->CheckBoxState == ecsHot || (IsDesignView && IsEnabledView)) ? clHighlight : clBtnShadow;
}

void TcxCustomCheckBoxViewData::SetViewInfoValue(TcxCanvas* canvas, const Variant& value,
                                                 TcxCustomEditViewInfo* viewInfo) {
  auto* info = static_cast<TcxCustomCheckBoxViewInfo*>(viewInfo);
  info->State = PreviewMode ? cbsChecked : CheckProperties()->GetStateOf(value);
  if (IsInplace) info->Text.clear();
  info->BackgroundColor = Style->GetColor();
  CalculateFocusRect(canvas, info);
}

TSize TcxCustomCheckBoxViewData::GetContentSize(TcxCanvas* canvas, const Variant& value,
                                                const TcxEditSizeProperties& sizeLimits) {
  TcxCustomCheckBoxProperties* p = CheckProperties();
  auto* box = dynamic_cast<TcxCustomCheckBox*>(Edit);
  const TSize check = GetEditCheckSize(canvas, UsesNativeStyleFlag, p->HasGlyph() ? p->GetGlyph() : nullptr,
                                       p->GetGlyphCount(), Style->GetLookAndFeel()->GetSkinPainter());
  AnsiString caption = box ? box->GetCaption() : AnsiString();
  canvas->SetFont(Style->GetVisibleFont());
  TSize size{check.cx + 4, check.cy + 4};
  if (!IsInplace && !caption.empty() && p->GetCheckAlignment() != taCenter) {
    TRect r{0, 0, sizeLimits.Width >= 0 && sizeLimits.Width != orv::kMaxInt ? sizeLimits.Width : 0x7FFFF, 0};
    canvas->MeasureTextRect(caption, r, (GetDrawTextFlags() & ~cxAlignVCenter) | cxAlignTop);
    size.cx += 3 + r.Width() + 2;
    size.cy = std::max(size.cy, r.Height() + 4);
  }
  return size;
}

// ==== The control ==============================================================================

TcxCustomCheckBox::TcxCustomCheckBox(TComponent* owner) : TcxCustomEdit(owner) {
  SetBounds(GetLeft(), GetTop(), 121, 21);
}

TcxCustomEditPropertiesClass TcxCustomCheckBox::GetPropertiesClass() {
  return TcxCustomCheckBoxProperties::StaticClass();
}
TcxCustomEditPropertiesClass TcxCheckBox::GetPropertiesClass() { return TcxCheckBoxProperties::StaticClass(); }

void TcxCustomCheckBox::Initialize() {
  inherited::Initialize();
  TControlStyle style = GetControlStyle();
  style.Exclude(csDoubleClicks);
  SetControlStyle(style);
  Variant value;
  DisplayValueToEditValue(Variant(Integer(cbsUnchecked)), value, false);
  LockChangeEvents(true, false);
  inherited::AssignEditValue(value, false);
  LockChangeEvents(false, false);
  GetCheckViewInfo()->State = cbsUnchecked;
}

void TcxCustomCheckBox::Loaded() {
  FIsLoadingState = true;
  LockChangeEvents(true);
  LockClick(true);
  try {
    inherited::Loaded();
  } catch (...) {
    LockClick(false);
    LockChangeEvents(false);
    FIsLoadingState = false;
    throw;
  }
  LockClick(false);
  LockChangeEvents(false);
  FIsLoadingState = false;
  if (FHasStreamedState) {
    FHasStreamedState = false;
    SetState(FStreamedState);
  }
}

TcxContainerStyleValues TcxCustomCheckBox::GetUnstoredStyleValues() {
  TcxContainerStyleValues values = inherited::GetUnstoredStyleValues();
  values.Include(csvEdges);
  return values;
}

void TcxCustomCheckBox::DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean) {
  if (!IsNumericVariant(displayValue)) return;
  const Integer state = Integer(displayValue.AsDouble());
  if (state < 0 || state > 2) return;
  editValue = GetActiveCheckProperties()->GetValueOf(TcxCheckBoxState(state));
}

TcxCheckBoxState TcxCustomCheckBox::GetState() {
  return GetActiveCheckProperties()->GetStateOf(GetEditValueProperty());
}

void TcxCustomCheckBox::SetState(TcxCheckBoxState value) {
  if (GetComponentState().Contains(csLoading)) {
    FStreamedState = value;
    FHasStreamedState = true;
    return;
  }
  if (value == GetState() && !VarIsEmpty(GetEditValueProperty())) return;
  Variant editValue;
  DisplayValueToEditValue(Variant(Integer(value)), editValue, false);
  ChangeEditValue(editValue);
}

void TcxCustomCheckBox::SetCheckedSilently(Boolean value) {
  LockClick(true);
  LockChangeEvents(true);
  try {
    SetChecked(value);
  } catch (...) {
    LockChangeEvents(false, false);
    LockClick(false);
    throw;
  }
  LockChangeEvents(false, false);
  LockClick(false);
}

TControlActionLinkClass TcxCustomCheckBox::GetActionLinkClass() { return TcxCheckBoxActionLink::StaticClass(); }

void TcxCustomCheckBox::ActionChange(TObject* sender, bool checkDefaults) {
  inherited::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  // A state read from the form description wins over the action's while loading.
  if (GetComponentState().Contains(csLoading) && FHasStreamedState) return;
  if (!checkDefaults || !GetChecked()) SetCheckedSilently(action->GetChecked());
}

bool TcxCheckBoxActionLink::IsCheckedLinked() {
  auto* box = dynamic_cast<TcxCustomCheckBox*>(FClient);
  return inherited::IsCheckedLinked() && box && box->GetState() != cbsGrayed &&
         bool(box->GetChecked()) == CustomAction()->GetChecked();
}

void TcxCheckBoxActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) static_cast<TcxCustomCheckBox*>(FClient)->SetCheckedSilently(value);
}

void TcxCustomCheckBox::AssignEditValue(const Variant& value, Boolean isUserAction) {
  TcxCustomCheckBoxViewInfo* info = GetCheckViewInfo();
  const TcxCheckBoxState before = info->State;
  inherited::AssignEditValue(value, isUserAction);
  const TcxCheckBoxState after = GetActiveCheckProperties()->GetStateOf(value);
  if (after != before) {
    info->State = after;
    if (GetClickLockCount() == 0) Click();
    DoChange();
  }
  RefreshStateAtCursor(false);
}

void TcxCustomCheckBox::Toggle() {
  TcxCustomCheckBoxProperties* p = GetActiveCheckProperties();
  LockChangeEvents(true);
  SetUserChangeInProgress(true);
  try {
    switch (GetState()) {
      case cbsUnchecked: SetState(p->GetAllowGrayed() ? cbsGrayed : cbsChecked); break;
      case cbsChecked: SetState(cbsUnchecked); break;
      case cbsGrayed: SetState(cbsChecked); break;
    }
  } catch (...) {
    SetUserChangeInProgress(false);
    LockChangeEvents(false);
    throw;
  }
  SetUserChangeInProgress(false);
  LockChangeEvents(false);
  if (p->GetImmediatePost() && CanPostEditValue() && ValidateEditValue(true)) PostEditValue(false);
}

void TcxCustomCheckBox::DoEditKeyDown(Word& key, TShiftState shift) {
  if (key == VK_SPACE && !IsInplace()) {
    const TcxEditCheckState state = GetCheckViewInfo()->CheckBoxState;
    if (state == ecsNormal || state == ecsHot) {
      FIsSpacePressed = true;
      GetCheckViewInfo()->CheckBoxState = ecsPressed;
      RefreshStateAtCursor(false);
    }
    key = 0;
    return;
  }
  inherited::DoEditKeyDown(key, shift);
}

void TcxCustomCheckBox::DoEditKeyPress(char& key) {
  if (key == ' ') {
    if (IsInplace()) {
      const TcxEditCheckState state = GetCheckViewInfo()->CheckBoxState;
      if (state == ecsNormal || state == ecsHot) Toggle();
    }
    key = 0;
    return;
  }
  inherited::DoEditKeyPress(key);
}

void TcxCustomCheckBox::DoEditKeyUp(Word& key, TShiftState shift) {
  if (key == VK_SPACE && FIsSpacePressed) {
    FIsSpacePressed = false;
    GetCheckViewInfo()->CheckBoxState = ecsNormal;
    if (HandleAllocated()) InvalidateControlRect(this, GetCheckViewInfo()->CheckBoxRect, false);
    Toggle();
    key = 0;
    return;
  }
  inherited::DoEditKeyUp(key, shift);
}

void TcxCustomCheckBox::ProcessButtonStateChange(TcxCustomEditViewInfo* previous) {
  auto* old = dynamic_cast<TcxCustomCheckBoxViewInfo*>(previous);
  // Released over the editor: the pressed check turns hot.
  if (old && old->CheckBoxState == ecsPressed && GetCheckViewInfo()->CheckBoxState == ecsHot) {
    Toggle();
    return;
  }
  inherited::ProcessButtonStateChange(previous);
}

void TcxCustomCheckBox::HandlePropertiesChange(TObject* sender) {
  TcxCustomCheckBoxProperties* p = GetActiveCheckProperties();
  if (p->IsCaptionAssigned()) {
    p->ClearCaptionAssigned();
    SetCaption(p->GetCaption());
  }
  TcxCustomCheckBoxViewInfo* info = GetCheckViewInfo();
  const TcxCheckBoxState state = p->GetStateOf(GetEditValueProperty());
  if (state != info->State && !IsLoadingOrDestroying()) {
    info->State = state;
    if (HandleAllocated()) InvalidateControlRect(this, info->CheckBoxRect, false);
    if (!GetChangeEventsCatcher()->IsLocked()) {
      Click();
      DoChange();
    }
  }
  inherited::HandlePropertiesChange(sender);
}

void TcxCustomCheckBox::TextChanged() {
  inherited::TextChanged();
  GetCheckViewInfo()->Text = GetCaption();
  if (HandleAllocated()) RefreshStateAtCursor(false);
  Invalidate();
}

void TcxCustomCheckBox::DoExit() {
  FIsSpacePressed = false;
  inherited::DoExit();
}

void TcxCustomCheckBox::Dispatch(TMessage& message) {
  if (message.Msg == WM_LBUTTONUP) {
    // The editor clicks through Toggle; the release itself clicks nothing.
    SetControlState(GetControlState() - TControlState{csClicked});
  } else if (message.Msg == CM_DIALOGCHAR && IsAccel(Word(message.WParam), GetCaption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}

// ==== Published ================================================================================

const orv::EnumNames<TcxCheckBoxNullValueShowingStyle> kNullStyleNames(
    "TcxCheckBoxNullValueShowingStyle", {"nssUnchecked", "nssInactive", "nssGrayedChecked"});
const orv::EnumNames<TcxCheckBoxState> kCheckBoxStateNames("TcxCheckBoxState",
                                                           {"cbsUnchecked", "cbsChecked", "cbsGrayed"});

ORV_PUBLISH(TcxCaptionItem) {
  using T = TcxCaptionItem;
  p.Property("Caption", &T::GetCaption, &T::SetCaption);
  p.Property("Tag", &T::GetTag, &T::SetTag).Default(0);
}

ORV_PUBLISH(TcxCheckBoxProperties) {
  using T = TcxCheckBoxProperties;
  p.Property("Alignment", &T::GetCheckAlignment, &T::SetCheckAlignment).Default(taLeftJustify);
  p.Property("AllowGrayed", &T::GetAllowGrayed, &T::SetAllowGrayed).Default(false);
  p.Property("Caption", &T::GetCaption, &T::SetCaption).Stored([](T*) { return false; });
  p.Property("DisplayChecked", &T::GetDisplayChecked, &T::SetDisplayChecked)
      .Stored([](T* x) { return x->GetDisplayChecked() != GetLocalizedResourceString(&cxSEditCheckBoxChecked); });
  p.Property("DisplayUnchecked", &T::GetDisplayUnchecked, &T::SetDisplayUnchecked)
      .Stored([](T* x) { return x->GetDisplayUnchecked() != GetLocalizedResourceString(&cxSEditCheckBoxUnchecked); });
  p.Property("DisplayGrayed", &T::GetDisplayGrayed, &T::SetDisplayGrayed)
      .Stored([](T* x) { return x->GetDisplayGrayed() != GetLocalizedResourceString(&cxSEditCheckBoxGrayed); });
  p.Property("FullFocusRect", &T::GetFullFocusRect, &T::SetFullFocusRect).Default(false);
  p.Property("GlyphCount", &T::GetGlyphCount, &T::SetGlyphCount).Default(6);
  p.Property("ImmediatePost", &T::GetImmediatePost, &T::SetImmediatePost).Default(false);
  p.Property("MultiLine", &T::GetMultiLine, &T::SetMultiLine).Default(false);
  p.Property("NullStyle", &T::GetNullStyle, &T::SetNullStyle).Default(nssGrayedChecked);
  p.Property("UseAlignmentWhenInplace", &T::GetUseAlignmentWhenInplace, &T::SetUseAlignmentWhenInplace).Default(false);
  p.Property("ValueChecked", [](T* x) { return x->GetValueChecked(); }, [](T* x, Variant v) { x->SetValueChecked(v); })
      .Stored([](T* x) { return !VarEqualsExactly(x->GetValueChecked(), Variant(true)); });
  p.Property("ValueGrayed", [](T* x) { return x->GetValueGrayed(); }, [](T* x, Variant v) { x->SetValueGrayed(v); })
      .Stored([](T* x) { return !VarIsNull(x->GetValueGrayed()); });
  p.Property("ValueUnchecked", [](T* x) { return x->GetValueUnchecked(); }, [](T* x, Variant v) { x->SetValueUnchecked(v); })
      .Stored([](T* x) { return !VarEqualsExactly(x->GetValueUnchecked(), Variant(false)); });
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnValidate", &T::GetOnValidate, &T::SetOnValidate);
}

ORV_PUBLISH(TcxCheckBoxStyle) {}

ORV_PUBLISH(TcxCheckBox) {
  using T = TcxCheckBox;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishCaption(p);
  orv::PublishDrag(p);
  p.Property("AutoSize", [](T* x) { return x->GetAutoSize(); }, [](T* x, bool v) { x->SetAutoSize(v); }).Default(true);
  p.Property("Checked", [](T* x) { return bool(x->GetChecked()); }, [](T* x, bool v) { x->SetChecked(v); })
      .Stored([](T*) { return false; });
  p.Property("ParentBackground", &TWinControl::GetParentBackground, &TWinControl::SetParentBackground).Default(true);
  p.Property("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor).Default(true);
  p.Property("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont).Default(true);
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxCheckBoxProperties* v) { x->SetProperties(v); });
  p.Property("State", [](T* x) { return x->GetState(); }, [](T* x, TcxCheckBoxState v) { x->SetState(v); }).Default(cbsUnchecked);
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, true);
  p.Property("Transparent", [](T* x) { return x->GetTransparent(); }, [](T* x, bool v) { x->SetTransparent(v); }).Default(false);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("OnEditing", [](T* x) { return x->GetOnEditing(); }, [](T* x, TcxEditEditingEvent v) { x->SetOnEditing(v); });
}
