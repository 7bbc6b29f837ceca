#include "components/editors-more/cxCalc.h"

#include <cmath>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPublished.h"
#include "platform/controls/ControlProperties.h"
#include "components/foundation/cxGeometry.h"
#include "platform/runtime/Math.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

const char* const kCalcCaptions[27] = {"Back", "CE", "C",  "MC", "MR", "MS", "M+", "0",    "1", "2",   "3", "4", "5", "6",
                                       "7",    "8",  "9",  "+/-", ",",  "/",  "*",  "-",    "+", "sqrt", "%", "1/x", "="};

Boolean CalcIsOperator(TcxCalcButtonKind code) {
  return code == cbDiv || code == cbMul || code == cbSub || code == cbAdd || code == cbPercent || code == cbEqual;
}

}  // namespace

TcxCustomCalculator::TcxCustomCalculator(TComponent* owner) : TcxControl(owner) {
  SetBounds(GetLeft(), GetTop(), 198, 131);
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
  SetColor(clBtnFace);
  SetParentColor(false);
  SetTabStop(true);
  SetWantedKeys(TcxKeys{kAll, kArrows, kTab});
  LayoutButtons();
}

TcxCustomLookAndFeelPainterClass TcxCustomCalculator::GetButtonPainter() {
  return TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass());
}

void TcxCustomCalculator::FireCloseRequest(TObject* sender, Integer reason) {
  if (FOnCloseRequest) FOnCloseRequest(sender, reason);
}

void TcxCustomCalculator::Beep() {
  if (FBeepOnError) MessageBeep(0);
}

void TcxCustomCalculator::SetAutoFontSize(Boolean value) {
  if (value == FAutoFontSize) return;
  FAutoFontSize = value;
  Resize();
}

void TcxCustomCalculator::ResetState() {
  FPendingOperator = cbEqual;
  FEntryState = csFirst;
  FMemory = 0;
}

void TcxCustomCalculator::LayoutButtons() {
  const Integer w = FButtonWidth, h = FButtonHeight, b = FWideButtonWidth, gx = FHorzGap, gy = FVertGap;
  for (Integer i = 0; i < 27; ++i) {
    FButtons[i].Code = TcxCalcButtonKind(i);
    FButtons[i].Caption = kCalcCaptions[i];
    FButtons[i].Down = false;
    FButtons[i].Disabled = false;
  }
  FButtons[cbDecimal].Caption = AnsiString(1, FormatSettings.DecimalSeparator);
  auto rowTop = [&](Integer r) { return r * (h + gy) + gy; };
  auto rowBottom = [&](Integer r) { return (r + 1) * (h + gy); };
  const Integer x0 = w + 2 * gx + 4;
  auto colLeft = [&](Integer c) { return x0 + gx + c * (w + gx); };
  auto colRight = [&](Integer c) { return x0 + (c + 1) * (w + gx); };
  // Top row: three wide buttons ending at column 4's right edge.
  Integer right = colRight(4);
  for (Integer i = 2; i >= 0; --i) {
    FButtons[i].Bounds = TRect{right - b, gy, right, gy + h};
    right -= b + gy;
  }
  for (Integer r = 1; r <= 4; ++r) FButtons[cbMC + r - 1].Bounds = TRect{gx, rowTop(r), gx + w, rowBottom(r)};
  auto place = [&](TcxCalcButtonKind code, Integer r, Integer c) {
    FButtons[code].Bounds = TRect{colLeft(c), rowTop(r), colRight(c), rowBottom(r)};
  };
  place(cbNum0, 4, 0);
  for (Integer digit = 1; digit <= 9; ++digit) place(TcxCalcButtonKind(cbNum0 + digit), 3 - (digit - 1) / 3, (digit - 1) % 3);
  place(cbSign, 4, 1);
  place(cbDecimal, 4, 2);
  place(cbDiv, 1, 3);
  place(cbMul, 2, 3);
  place(cbSub, 3, 3);
  place(cbAdd, 4, 3);
  place(cbSqrt, 1, 4);
  place(cbPercent, 2, 4);
  place(cbRev, 3, 4);
  place(cbEqual, 4, 4);
  ResetState();
  UpdateMemoryButtons();
}

void TcxCustomCalculator::ScaleLayout(Integer width, Integer height) {
  Integer h = 22;
  if (FAutoFontSize) {
    const Integer usable = std::min(height, Integer(Int64(width) * 131 / 198));
    auto distance = [&](Integer x) { return std::abs(5 * x + 6 * MulDiv(x, 3, 22) - usable); };
    while (distance(h + 1) < distance(h)) ++h;
  } else {
    TcxScreenCanvas* canvas = GetScreenCanvas();
    canvas->SetFont(GetFont());
    h = 2 * canvas->TextHeightOf("Wg");
  }
  FButtonHeight = h;
  FButtonWidth = MulDiv(h, 28, 22);
  FHorzGap = FVertGap = MulDiv(h, 3, 22);
  FWideButtonWidth = MulDiv(FButtonWidth, 17, 10);
  FButtonFontSize = MulDiv(h, 8, 22);
  FPanelHeight = 5 * h + 6 * FVertGap;
  FPanelWidth = 6 * FButtonWidth + 8 * FHorzGap + 4;
  const Double memory = FMemory;
  LayoutButtons();
  FMemory = memory;
  UpdateMemoryButtons();
}

void TcxCustomCalculator::Resize() {
  inherited::Resize();
  // Setting the client size below resizes again: that inner round keeps the layout.
  if (FScaling) return;
  orv::TFlagScope scaling(FScaling, true);
  if (!GetParent() || !GetParent()->HandleAllocated()) {
    // Without a window yet the control's size stands for its client size.
    ScaleLayout(GetWidth(), GetHeight());
    return;
  }
  ScaleLayout(GetClientWidth(), GetClientHeight());
  if (GetClientWidth() != FPanelWidth || GetClientHeight() != FPanelHeight) SetClientSize(TPoint{FPanelWidth, FPanelHeight});
  Invalidate();
}

TcxCalcButtonKind TcxCustomCalculator::ButtonAt(Integer x, Integer y) {
  for (Integer i = 0; i < 27; ++i) {
    const TRect& r = FButtons[i].Bounds;
    if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return TcxCalcButtonKind(i);
  }
  return cbNone;
}

Double TcxCustomCalculator::GetCalcValue() {
  if (FEntryState == csError) return 0;
  AnsiString text = Trim(GetDisplayText());
  if (text.empty()) text = "0";
  AnsiString plain;
  for (char c : text)
    if (c != FormatSettings.ThousandSeparator || c == FormatSettings.DecimalSeparator) plain += c;
  double value = 0;
  return TryStrToFloat(plain, value) ? value : 0;
}

void TcxCustomCalculator::SetCalcValue(Double value) {
  const AnsiString text = FloatToStrF(value, ffGeneral, std::max(2, FPrecision), 0);
  if (text == GetDisplayText()) return;
  SetCalcText(text);
  if (FOnDisplayValueChange) FOnDisplayValueChange(this);
}

void TcxCustomCalculator::ShowError() {
  FEntryState = csError;
  SetCalcText(GetLocalizedResourceString(&scxSCalcError));
  Beep();
}

void TcxCustomCalculator::ClearAll() {
  FEntryState = csFirst;
  SetCalcValue(0);
  SetCalcText("0");
  FPendingOperator = cbEqual;
}

void TcxCustomCalculator::BeginEntry() {
  if (FEntryState != csFirst) return;
  FEntryState = csValid;
  SetCalcText("0");
}

void TcxCustomCalculator::UpdateMemoryButtons() {
  const Boolean empty = FMemory == 0;
  FButtons[cbMC].Disabled = empty;
  FButtons[cbMR].Disabled = empty;
  InvalidateButton(cbMC);
  InvalidateButton(cbMR);
}

void TcxCustomCalculator::InvalidateButton(TcxCalcButtonKind code) {
  if (code == cbNone || !HandleAllocated()) return;
  const TRect r = FButtons[code].Bounds;
  ::InvalidateRect(GetHandle(), &r, FALSE);
}

void TcxCustomCalculator::ExecuteButton(TcxCalcButtonKind code) {
  if (FOnCalcButtonClick) FOnCalcButtonClick(this, code);
  if (code == cbNone) return;
  if (FEntryState == csError && code != cbCancel && code != cbClear) {
    ShowError();
    return;
  }
  const AnsiString before = GetDisplayText();
  LockDisplayChanges(true, true);
  try {
    switch (code) {
      case cbBack: {
        BeginEntry();
        AnsiString text = GetDisplayText();
        if (text.size() <= 1 || (text.size() == 2 && text[0] == '-'))
          text = "0";
        else
          text.pop_back();
        SetCalcText(text);
        break;
      }
      case cbCancel:
      case cbClear: ClearAll(); break;
      case cbMC:
        FMemory = 0;
        UpdateMemoryButtons();
        break;
      case cbMR:
        FEntryState = csFirst;
        BeginEntry();
        SetCalcValue(FMemory);
        break;
      case cbMS:
        FEntryState = csFirst;
        FMemory = GetCalcValue();
        UpdateMemoryButtons();
        break;
      case cbMP:
        FEntryState = csFirst;
        FMemory += GetCalcValue();
        UpdateMemoryButtons();
        break;
      case cbSign: SetCalcValue(-GetCalcValue()); break;
      case cbDecimal: {
        BeginEntry();
        const AnsiString text = GetDisplayText();
        if (text.find(FormatSettings.DecimalSeparator) == AnsiString::npos)
          SetCalcText(text + FormatSettings.DecimalSeparator);
        break;
      }
      case cbSqrt:
      case cbRev: {
        FEntryState = (FPendingOperator != cbEqual && FPendingOperator != cbPercent) ? csValid : csFirst;
        const Double v = GetCalcValue();
        if ((code == cbSqrt && v < 0) || (code == cbRev && v == 0))
          ShowError();
        else
          SetCalcValue(code == cbSqrt ? std::sqrt(v) : 1 / v);
        break;
      }
      default:
        if (code >= cbNum0 && code <= cbNum9) {
          BeginEntry();
          AnsiString text = GetDisplayText();
          if (text == "0") text.clear();
          const std::size_t limit = std::size_t(std::max(2, FPrecision)) + (!text.empty() && text[0] == '-' ? 1 : 0);
          if (text.size() < limit)
            SetCalcText(text + char('0' + (code - cbNum0)));
          else {
            if (text.empty()) SetCalcText("0");
            Beep();
          }
        } else if (CalcIsOperator(code)) {
          if (FEntryState == csValid) {
            FEntryState = csFirst;
            Double v = GetCalcValue();
            if (code == cbPercent) {
              if (FPendingOperator == cbDiv || FPendingOperator == cbMul)
                v = v / 100;
              else if (FPendingOperator == cbSub || FPendingOperator == cbAdd)
                v = FOperand * v / 100;
            }
            switch (FPendingOperator) {
              case cbDiv:
                if (v == 0) {
                  ShowError();
                  break;
                }
                SetCalcValue(FOperand / v);
                break;
              case cbMul: SetCalcValue(FOperand * v); break;
              case cbSub: SetCalcValue(FOperand - v); break;
              case cbAdd: SetCalcValue(FOperand + v); break;
              default:
                if (code == cbPercent) SetCalcValue(v);
                break;
            }
          }
          if (FEntryState != csError) {
            FPendingOperator = code;
            FOperand = GetCalcValue();
            if ((code == cbEqual || code == cbPercent) && FOnCalcResult) FOnCalcResult(this);
          }
        }
        break;
    }
  } catch (...) {
    LockDisplayChanges(false, GetDisplayText() != before);
    throw;
  }
  LockDisplayChanges(false, GetDisplayText() != before);
}

void TcxCustomCalculator::CopyDisplay() { Clipboard()->SetAsText(GetDisplayText()); }

void TcxCustomCalculator::PasteDisplay() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  AnsiString text = Clipboard()->GetAsText();
  const AnsiString currency = FormatSettings.CurrencyString;
  if (!currency.empty())
    for (std::size_t at; (at = text.find(currency)) != AnsiString::npos;) text.erase(at, currency.size());
  double value = 0;
  if (!TryStrToFloat(Trim(text), value)) value = 0;
  SetCalcValue(value);
  SetCalcText(FloatToStrF(value, ffGeneral, std::max(2, FPrecision), 0));
  FEntryState = csValid;
}

void TcxCustomCalculator::Paint() {
  TcxCanvas* canvas = GetCanvas();
  TcxCustomLookAndFeelPainterClass painter = GetButtonPainter();
  canvas->FillRectWithColor(TRect{0, 0, GetWidth(), GetHeight()}, GetColor());
  canvas->SetFont(GetFont());
  if (FAutoFontSize) {
    LOGFONT lf = canvas->GetFontInfo();
    canvas->GetFont()->SetSize(FButtonFontSize);
    if (FButtonFontSize > 9) canvas->GetFont()->SetStyle(TFontStyles{fsBold});
    (void)lf;
  }
  const Boolean focused = Focused();
  for (Integer i = 0; i < 27; ++i) {
    const TcxCalcButton& b = FButtons[i];
    if (!canvas->IsRectVisible(b.Bounds)) continue;
    TcxButtonState state = cxbsNormal;
    if (b.Disabled || !GetEnabled())
      state = cxbsDisabled;
    else if (b.Down)
      state = cxbsPressed;
    else if (i == FHotButton && i != FMouseButton)
      state = cxbsHot;
    else if (i == cbEqual && focused)
      state = cxbsDefault;
    painter->DrawPushButton(canvas, b.Bounds, "", state, true, clDefault, clDefault);
    TRect text = b.Bounds;
    if (state == cxbsPressed) text = GetOffsetRect(text, painter->ButtonPressedTextShift(), painter->ButtonPressedTextShift());
    canvas->SetBrushClear(true);
    canvas->SetFontColor(painter->CalculatorButtonTextColor(i));
    canvas->DrawTextInRect(b.Caption, text, cxAlignHCenter | cxAlignVCenter | cxSingleLine, state != cxbsDisabled);
    canvas->SetBrushClear(false);
    if (i == cbEqual && focused && FDrawsFocusRect) {
      const TRect f{b.Bounds.Left + 3, b.Bounds.Top + 3, b.Bounds.Right - 3, b.Bounds.Bottom - 3};
      canvas->DrawFocusFrame(f);
    }
  }
}

void TcxCustomCalculator::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  if (!InPopup && !IsDesigning() && CanFocus()) SetFocus();
  inherited::MouseDown(button, shift, x, y);
  const TcxCalcButtonKind code = ButtonAt(x, y);
  if (button == mbLeft && code != cbNone && !FButtons[code].Disabled) {
    SetCapture(GetHandle());
    FTracking = true;
    FMouseButton = code;
    FButtons[code].Down = true;
    InvalidateButton(code);
  }
}

void TcxCustomCalculator::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  const TcxCalcButtonKind code = ButtonAt(x, y);
  if (FTracking) {
    const Boolean down = code == FMouseButton;
    if (FButtons[FMouseButton].Down != down) {
      FButtons[FMouseButton].Down = down;
      InvalidateButton(FMouseButton);
    }
    return;
  }
  if (GetButtonPainter()->SupportsButtonHotTrack() && GetEnabled() && code != FHotButton) {
    const TcxCalcButtonKind old = FHotButton;
    FHotButton = code;
    InvalidateButton(old);
    InvalidateButton(code);
  }
}

void TcxCustomCalculator::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseUp(button, shift, x, y);
  if (!FTracking) return;
  FTracking = false;
  ReleaseCapture();
  const TcxCalcButtonKind code = FMouseButton;
  FMouseButton = cbNone;
  const Boolean wasDown = FButtons[code].Down;
  FButtons[code].Down = false;
  InvalidateButton(code);
  if (wasDown && button == mbLeft) ExecuteButton(code);
}

void TcxCustomCalculator::PressKeyButton(TcxCalcButtonKind code) {
  if (code == cbNone) return;
  if (code != FKeyButton) {
    if (FKeyButton != cbNone) {
      FButtons[FKeyButton].Down = false;
      InvalidateButton(FKeyButton);
    }
    FKeyButton = code;
    FButtons[code].Down = true;
    InvalidateButton(code);
    if (HandleAllocated()) UpdateWindow(GetHandle());
    if (code != cbBack) ExecuteButton(code);
  }
  if (code == cbBack) ExecuteButton(code);
}

void TcxCustomCalculator::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  const Boolean ctrl = shift.Contains(ssCtrl);
  TcxCalcButtonKind code = cbNone;
  switch (key) {
    case VK_RETURN: code = cbEqual; break;
    case VK_ESCAPE: code = cbClear; break;
    case VK_DELETE: code = cbCancel; break;
    case VK_F9: code = cbSign; break;
    case 'C': if (!ctrl) code = cbClear; break;
    case 'L': if (ctrl) code = cbMC; break;
    case 'R': code = ctrl ? cbMR : cbRev; break;
    case 'M': if (ctrl) code = cbMS; break;
    case 'P': if (ctrl) code = cbMP; break;
    default: break;
  }
  PressKeyButton(code);
}

void TcxCustomCalculator::KeyPress(char& key) {
  inherited::KeyPress(key);
  TcxCalcButtonKind code = cbNone;
  switch (key) {
    case 8: code = cbBack; break;
    case '+': code = cbAdd; break;
    case '-': code = cbSub; break;
    case '*': code = cbMul; break;
    case '/': code = cbDiv; break;
    case '%': code = cbPercent; break;
    case '=': code = cbEqual; break;
    case '@': code = cbSqrt; break;
    case '.':
    case ',': code = cbDecimal; break;
    case 22: PasteDisplay(); return;
    case 3: CopyDisplay(); return;
    default:
      if (key >= '0' && key <= '9') code = TcxCalcButtonKind(cbNum0 + (key - '0'));
      break;
  }
  PressKeyButton(code);
}

void TcxCustomCalculator::KeyUp(Word& key, TShiftState shift) {
  inherited::KeyUp(key, shift);
  if (FKeyButton != cbNone) {
    FButtons[FKeyButton].Down = false;
    InvalidateButton(FKeyButton);
    FKeyButton = cbNone;
  }
}

void TcxCustomCalculator::FocusChanged() {
  inherited::FocusChanged();
  InvalidateButton(cbEqual);
}

ORV_PUBLISH(TcxCalculator) {}

// ==== Popup calculator =========================================================================

namespace {

const bool kCalcEditRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxCalcEditProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryCalcItem));
  FilterEditsController()->AddHelperClass(TcxCalcEditProperties::StaticClass(),
                                          TcxFilterCalcEditHelper::StaticClass());
  return true;
}();

// Thousand separators every three digits left of the decimal separator.
AnsiString CalcGroupThousands(const AnsiString& text) {
  const char separator = FormatSettings.DecimalSeparator;
  std::size_t start = (!text.empty() && text[0] == '-') ? 1 : 0;
  std::size_t end = text.find(separator);
  if (end == AnsiString::npos) end = text.find_first_of("eE");
  if (end == AnsiString::npos) end = text.size();
  AnsiString result = text.substr(0, start);
  for (std::size_t i = start; i < end; ++i) {
    result += text[i];
    const std::size_t left = end - i - 1;
    if (left > 0 && left % 3 == 0) result += FormatSettings.ThousandSeparator;
  }
  return result + text.substr(end);
}

}  // namespace

TcxPopupCalculator::TcxPopupCalculator(TComponent* owner) : TcxCustomCalculator(owner) {
  InPopup = true;
  SetAutoFontSize(false);
}

TcxCustomLookAndFeelPainterClass TcxPopupCalculator::GetButtonPainter() {
  if (FOwnerEdit) return FOwnerEdit->GetStyle()->GetLookAndFeel()->CurrentPainter();
  return inherited::GetButtonPainter();
}

void TcxPopupCalculator::GetCalcText(AnsiString& text) {
  if (FOwnerEdit)
    text = FOwnerEdit->GetText();
  else
    inherited::GetCalcText(text);
}

void TcxPopupCalculator::SetCalcText(const AnsiString& text) {
  if (FOwnerEdit)
    FOwnerEdit->SetCalculatorText(text);
  else
    inherited::SetCalcText(text);
}

void TcxPopupCalculator::LockDisplayChanges(Boolean lock, Boolean fire) {
  if (FOwnerEdit) FOwnerEdit->LockChangeEvents(lock, fire);
}

void TcxPopupCalculator::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  if (!FOwnerEdit) return;
  const Boolean alt = shift.Contains(ssAlt);
  if (key == VK_TAB)
    FOwnerEdit->DoEditKeyDown(key, shift);  // the focus moves on from the editor
  else if (key == VK_INSERT && shift.Contains(ssShift))
    PasteDisplay();
  else if (key == VK_INSERT && shift.Contains(ssCtrl))
    CopyDisplay();
  else if (key == VK_RETURN)
    FireCloseRequest(this, Integer(dcrAccept));
  else if (key == VK_ESCAPE)
    FireCloseRequest(this, Integer(dcrCancel));
  else if ((alt && (key == VK_UP || key == VK_DOWN)) || (key == VK_F4 && !alt))
    FireCloseRequest(this, Integer(dcrToggle));
}

void TcxPopupCalculator::KeyPress(char& key) {
  const Boolean equal = key == '=';
  inherited::KeyPress(key);
  if (equal && FOwnerEdit && FOwnerEdit->CalcProperties()->GetQuickClose()) FireCloseRequest(this, Integer(dcrAccept));
}

// ==== Calculator editor properties =============================================================

void TcxCalcEditPropertiesValues::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCalcEditPropertiesValues*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  Properties()->BeginUpdate();
  try {
    inherited::Assign(source);
    SetPrecision(s->FPrecision);
  } catch (...) {
    Properties()->EndUpdate();
    throw;
  }
  Properties()->EndUpdate();
}

void TcxCalcEditPropertiesValues::ResetToDefaults() {
  Properties()->BeginUpdate();
  try {
    inherited::ResetToDefaults();
    SetPrecision(false);
  } catch (...) {
    Properties()->EndUpdate();
    throw;
  }
  Properties()->EndUpdate();
}

void TcxCalcEditPropertiesValues::SetPrecision(Boolean value) {
  if (value == FPrecision) return;
  FPrecision = value;
  Changed();
}

TcxCustomCalcEditProperties::TcxCustomCalcEditProperties(TPersistent* owner) : TcxCustomPopupEditProperties(owner) {
  SetPopupSizeable(false);
  SetImmediateDropDown(false);
}

TcxCustomEditClass TcxCustomCalcEditProperties::GetEditClass() { return TcxCalcEdit::StaticClass(); }

void TcxCustomCalcEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomCalcEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetCalcBeepOnError(s->FBeepOnError);
    GetCalcAssignedValues()->SetPrecision(false);
    if (s->IsPrecisionAssigned()) SetPrecision(s->GetPrecision());
    SetQuickClose(s->FQuickClose);
    SetScientificFormat(s->FScientificFormat);
    SetUseThousandSeparator(s->FUseThousandSeparator);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

Integer TcxCustomCalcEditProperties::GetPrecision() {
  Integer result = 15;
  if (IsPrecisionAssigned())
    result = FPrecision;
  else if (IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider())
    result = provider->DefaultPrecision();
  return result >= 16 ? 15 : result;
}

void TcxCustomCalcEditProperties::SetPrecision(Integer value) {
  if (IsPrecisionAssigned() && value == FPrecision) return;
  BeginUpdate();
  try {
    GetCalcAssignedValues()->SetPrecision(true);
    FPrecision = value;
    Changed();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomCalcEditProperties::SetCalcBeepOnError(Boolean value) {
  if (value == FBeepOnError) return;
  FBeepOnError = value;
  Changed();
}

void TcxCustomCalcEditProperties::SetQuickClose(Boolean value) {
  if (value == FQuickClose) return;
  FQuickClose = value;
  Changed();
}

void TcxCustomCalcEditProperties::SetScientificFormat(Boolean value) {
  if (value == FScientificFormat) return;
  FScientificFormat = value;
  Changed();
}

void TcxCustomCalcEditProperties::SetUseThousandSeparator(Boolean value) {
  if (value == FUseThousandSeparator) return;
  FUseThousandSeparator = value;
  Changed();
}

Boolean TcxCustomCalcEditProperties::TextToValue(const AnsiString& text, Variant& value) {
  AnsiString plain = Trim(text);
  if (FUseThousandSeparator && !FScientificFormat) {
    AnsiString stripped;
    for (char c : plain)
      if (c != FormatSettings.ThousandSeparator) stripped += c;
    plain = stripped;
  }
  if (plain.empty()) {
    value = Null();
    return true;
  }
  double d = 0;
  if (TextToFloat(plain, d)) {
    value = Variant(d);
    return true;
  }
  value = Null();
  return false;
}

Boolean TcxCustomCalcEditProperties::AcceptsEditValue(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value) || IsNumericVariant(value)) return true;
  if (VarIsStr(value)) {
    if (VarToStr(value).empty()) return true;
    double d = 0;
    return TextToFloat(VarToStr(value), d);
  }
  return false;
}

Integer TcxCustomCalcEditProperties::GetValueExchangeMode(Boolean focused) {
  if (focused || GetTextAssignedValues()->GetDisplayFormat()) return 0;
  IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return provider && provider->HasDefaultDisplayFormat(true) ? 1 : 0;
}

void TcxCustomCalcEditProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue,
                                                          Boolean focused) {
  if (VarIsNull(value) || VarIsEmpty(value) || (VarIsStr(value) && VarToStr(value).empty())) {
    displayValue = Variant(AnsiString());
    return;
  }
  double d = 0;
  if (IsNumericVariant(value))
    d = value.AsDouble();
  else if (!TextToFloat(VarToStr(value), d)) {
    displayValue = Variant(VarToStr(value));
    return;
  }
  const Integer precision = GetPrecision() == 0 ? 15 : GetPrecision();
  if (!focused && GetTextAssignedValues()->GetDisplayFormat()) {
    displayValue = Variant(FormatFloat(GetDisplayFormat(), d));
    return;
  }
  AnsiString text = FloatToStrF(d, FScientificFormat ? ffExponent : ffGeneral, precision, 0);
  if (FScientificFormat) {
    const std::size_t e = text.find_first_of("eE");
    if (e != AnsiString::npos) {
      AnsiString mantissa = text.substr(0, e);
      if (mantissa.find(FormatSettings.DecimalSeparator) != AnsiString::npos) {
        while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
        if (!mantissa.empty() && mantissa.back() == FormatSettings.DecimalSeparator) mantissa.pop_back();
      }
      text = mantissa + text.substr(e);
    }
  } else if (FUseThousandSeparator) {
    text = CalcGroupThousands(text);
  }
  displayValue = Variant(text);
}

// ==== Calculator editor ========================================================================

TcxCustomEditPropertiesClass TcxCustomCalcEdit::GetPropertiesClass() {
  return TcxCustomCalcEditProperties::StaticClass();
}
TcxCustomEditPropertiesClass TcxCalcEdit::GetPropertiesClass() { return TcxCalcEditProperties::StaticClass(); }

void TcxCustomCalcEdit::Initialize() {
  inherited::Initialize();
  LockChangeEvents(true, false);
  ChangeEditValue(Variant(0.0));
  LockChangeEvents(false, false);
  // Not owned: it must go before the popup window it sits in, which the inherited destructor frees.
  FCalculator = new TcxPopupCalculator(nullptr);
  FCalculator->SetParent(GetPopupWindow());
  FCalculator->SetOwnerEdit(this);
  FCalculator->SetAutoFontSize(false);
  FCalculator->SetOnCloseRequest(TcxCalcCloseRequestEvent(this, &TcxCustomCalcEdit::CalculatorCloseRequest));
  FCalculator->SetBeepOnError(CalcProperties()->GetCalcBeepOnError());
  FCalculator->SetPrecision(CalcProperties()->GetPrecision());
  CalcProperties()->SetPopupControl(FCalculator);
}

TcxCustomCalcEdit::~TcxCustomCalcEdit() {
  if (FCalculator) FCalculator->SetOwnerEdit(nullptr);
  FreeAndNil(FCalculator);
}

void TcxCustomCalcEdit::CalculatorCloseRequest(TObject* sender, Integer reason) {
  ClosePopup(TcxDropDownCloseReason(reason));
}

void TcxCustomCalcEdit::CreatePopupWindow() {
  inherited::CreatePopupWindow();
  // The calculator's keys arrive through the normal message flow.
  GetPopupWindow()->SetOwnLoop(false);
}

Boolean TcxCustomCalcEdit::CanDropDown() {
  if (CalcProperties()->GetReadOnly()) return false;
  return !GetDataBinding() || GetDataBinding()->HasActiveData();
}

void TcxCustomCalcEdit::DoInitPopup() {
  inherited::DoInitPopup();
  // A handler cannot put another control into the popup.
  CalcProperties()->SetPopupControl(FCalculator);
}

void TcxCustomCalcEdit::ApplyPopupWindowProperties() {
  inherited::ApplyPopupWindowProperties();
  // The buttons follow the editor's font: the calculator takes the size they need before the
  // popup window measures its content.
  GetPopupWindow()->HandleNeeded();
  FCalculator->HandleNeeded();
  FCalculator->GetFont()->Assign(GetStyle()->GetVisibleFont());
  FCalculator->FitToFont();
}

void TcxCustomCalcEdit::HandlePropertiesChange(TObject* sender) {
  // A locale change reaches the text through FormatChanged; the calculator's settings stay.
  if (CalcProperties()->GetInFormatChange()) return;
  inherited::HandlePropertiesChange(sender);
  if (!FCalculator || IsInnerEditPending()) return;
  FCalculator->SetBeepOnError(CalcProperties()->GetCalcBeepOnError());
  FCalculator->SetPrecision(CalcProperties()->GetPrecision());
  CalcProperties()->SetPopupControl(FCalculator);
}

void TcxCustomCalcEdit::PopupWindowShowed(TObject* sender) {
  inherited::PopupWindowShowed(sender);
  FCalculator->ResetKeyButton();
}

void TcxCustomCalcEdit::PopupWindowClosed(TObject* sender) {
  const AnsiString text = GetText();
  Variant value;
  if (text == GetLocalizedResourceString(&scxSCalcError)) {
    ChangeEditValue(Variant(0.0));
  } else if ((GetCloseReason() == dcrAccept || GetCloseReason() == dcrToggle) &&
             CalcProperties()->TextToValue(text, value)) {
    // An accepted result is the value at once, not only once the editor is left.
    SetUserChangeInProgress(true);
    try {
      ChangeEditValue(value);
    } catch (...) {
      SetUserChangeInProgress(false);
      throw;
    }
    SetUserChangeInProgress(false);
  }
  if (CalcProperties()->GetAutoSelect())
    SelectAll();
  else
    SetSelection(Integer(GetText().size()), 0);
  inherited::PopupWindowClosed(sender);
}

void TcxCustomCalcEdit::DoEnter() {
  // The focused text is the full-precision number, whatever the display format showed.
  UpdateDisplayValue();
  inherited::DoEnter();
}

void TcxCustomCalcEdit::DoExit() {
  orv::TObjectLinkGuard guard(this);
  inherited::DoExit();
  if (guard.Alive() && !GetComponentState().Contains(csDestroying)) GetDataBinding()->UpdateDisplayValue();
}

void TcxCustomCalcEdit::FormatChanged() {
  // The new decimal and thousand separators: the text is rebuilt from the value.
  GetDataBinding()->UpdateDisplayValue();
}

void TcxCustomCalcEdit::PasteFromClipboard() {
  if (DoEditing()) FCalculator->PasteDisplay();
}

Double TcxCustomCalcEdit::GetValue() {
  const Variant v = GetEditValueProperty();
  if (VarIsNull(v) || VarIsEmpty(v) || (VarIsStr(v) && VarToStr(v).empty())) return 0;
  if (IsNumericVariant(v)) return v.AsDouble();
  double d = 0;
  return TextToFloat(VarToStr(v), d) ? d : 0;
}

void TcxCustomCalcEdit::SetValue(Double value) { ChangeEditValue(Variant(value)); }

void TcxCustomCalcEdit::DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) {
  CalcProperties()->TextToValue(VarToStr(displayValue), editValue);
}

void TcxCustomCalcEdit::SetCalculatorText(const AnsiString& text) {
  if (!DoEditing()) return;
  SetUserChangeInProgress(true);
  try {
    SetInnerDisplayValue(Variant(text));
  } catch (...) {
    SetUserChangeInProgress(false);
    throw;
  }
  SetUserChangeInProgress(false);
  SetModifiedAfterEnter(true);
}

void TcxCustomCalcEdit::DoEditKeyPress(char& key) {
  if (key == '.' || key == ',') key = FormatSettings.DecimalSeparator;
  if (key >= 32 && !IsValidChar(key)) {
    if (CalcProperties()->GetCalcBeepOnError()) MessageBeep(0);
    key = 0;
    return;
  }
  inherited::DoEditKeyPress(key);
}

Boolean TcxCustomCalcEdit::IsValidChar(char c) {
  if (c < 32) return true;
  const char separator = FormatSettings.DecimalSeparator;
  if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == separator || c == 'e' || c == 'E')) return false;
  AnsiString text = GetText();
  const Integer start = GetSelectionStart();
  const Integer length = GetSelectionLength();
  if (start >= 0 && start <= Integer(text.size()))
    text = text.substr(0, std::size_t(start)) + c + text.substr(std::min(text.size(), std::size_t(start + length)));
  else
    text += c;
  if (text == "-") return true;
  AnsiString plain;
  for (char ch : text)
    if (ch != FormatSettings.ThousandSeparator) plain += ch;
  double d = 0;
  // A number still being typed ("1e", "2.") is checked as the prefix of a number.
  if (!TextToFloat(plain, d)) {
    const char last = plain.empty() ? 0 : plain.back();
    if (last == 'e' || last == 'E' || last == '-' || last == '+' || last == separator) {
      AnsiString head = plain.substr(0, plain.size() - 1);
      if (head.empty() || head == "-") return true;
      if (!TextToFloat(head, d)) return false;
    } else {
      return false;
    }
  }
  const double magnitude = std::fabs(d);
  return magnitude == 0 || (magnitude >= 5.0E-324 && magnitude <= 1.7E308);
}

// ==== Filter helper ============================================================================

TcxCustomEditClass TcxFilterCalcEditHelper::GetFilterEditorClass() const { return TcxCalcEdit::StaticClass(); }

void TcxFilterCalcEditHelper::GetSupportedOperators(TcxCustomEditProperties* properties,
                                                    TcxValueTypeClass valueTypeClass,
                                                    TcxFilterControlOperators& operators, Boolean extended) const {
  operators = TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10};
  if (extended)
    for (Integer i = 11; i <= 14; ++i) operators.Include(i);
}

void TcxFilterCalcEditHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                   TcxCustomEditProperties* sourceProperties,
                                                   Boolean keepButtons) const {
  inherited::InitFilterProperties(properties, sourceProperties, keepButtons);
  if (auto* calc = dynamic_cast<TcxCustomCalcEditProperties*>(properties)) calc->SetQuickClose(true);
}

// ==== Published ================================================================================

ORV_PUBLISH(TcxCalcEditPropertiesValues) {
  using T = TcxCalcEditPropertiesValues;
  p.Property("Precision", &T::GetPrecision, &T::SetPrecision).Stored([](T*) { return false; });
}

ORV_PUBLISH(TcxCalcEditProperties) {
  using T = TcxCalcEditProperties;
  p.Property("Alignment", &T::GetAlignment).Stored([](T* x) { return x->IsAlignmentStored(); });
  p.Property("AssignedValues", [](T* x) { return x->GetCalcAssignedValues(); });
  p.Property("AutoSelect", &T::GetAutoSelect, &T::SetAutoSelect).Default(true);
  p.Property("BeepOnError", &T::GetCalcBeepOnError, &T::SetCalcBeepOnError).Default(true);
  p.Property("ButtonGlyph", &T::GetButtonGlyph, &T::SetButtonGlyph)
      .Stored([](T* x) { return !x->GetButtonGlyph()->GetEmpty(); });
  p.Property("ClearKey", &T::GetClearKey, &T::SetClearKey).Default(TShortCut(0));
  p.Property("DisplayFormat", &T::GetDisplayFormat, &T::SetDisplayFormat)
      .Stored([](T* x) { return x->IsDisplayFormatStored(); });
  p.Property("ImmediatePost", &T::GetImmediatePost, &T::SetImmediatePost).Default(false);
  p.Property("Precision", &T::GetPrecision, &T::SetPrecision).Stored([](T* x) { return x->IsPrecisionAssigned(); });
  p.Property("QuickClose", &T::GetQuickClose, &T::SetQuickClose).Default(false);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored([](T* x) { return x->IsReadOnlyStored(); });
  p.Property("ScientificFormat", &T::GetScientificFormat, &T::SetScientificFormat).Default(false);
  p.Property("UseLeftAlignmentOnEditing", &T::GetUseLeftAlignmentOnEditing, &T::SetUseLeftAlignmentOnEditing)
      .Stored([](T* x) { return x->IsUseLeftAlignmentOnEditingStored(); });
  p.Property("UseThousandSeparator", &T::GetUseThousandSeparator, &T::SetUseThousandSeparator).Default(false);
  p.Property("ValidateOnEnter", &T::GetValidateOnEnter, &T::SetValidateOnEnter).Default(true);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnCloseUp", &T::GetOnCloseUp, &T::SetOnCloseUp);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnInitPopup", &T::GetOnInitPopup, &T::SetOnInitPopup);
  p.Property("OnPopup", &T::GetOnPopup, &T::SetOnPopup);
  p.Property("OnValidate", &T::GetOnValidate, &T::SetOnValidate);
}

ORV_PUBLISH(TcxCalcEdit) {
  using T = TcxCalcEdit;
  orv::PublishLayout(p);
  p.Property("AutoSize", [](T* x) { return x->GetAutoSize(); }, [](T* x, bool v) { x->SetAutoSize(v); }).Default(true);
  p.Property("BeepOnEnter", &T::GetBeepOnEnter, &T::SetBeepOnEnter).Default(true);
  orv::PublishDrag(p);
  orv::PublishState(p);
  orv::PublishColor(p, clWindow, false);
  orv::PublishFont(p);
  p.Property("EditValue", [](T* x) { return x->GetEditValueProperty(); }, [](T* x, Variant v) { x->SetEditValueProperty(v); })
      .Stored([](T* x) { return !VarIsNull(x->GetEditValueProperty()); });
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxCalcEditProperties* v) { x->SetProperties(v); });
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, true);
  // The value travels as EditValue.
  p.Property("Value", &T::GetValue, &T::SetValue).Stored([](T*) { return false; });
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishKeyEvents(p);
}
