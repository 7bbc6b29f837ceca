#include "components/editors-more/cxMemo.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPublished.h"
#include "components/foundation/cxDrawTextUtils.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/EditLines.h"
#include "platform/controls/UserControls.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"
#include "platform/windowing/User.h"

namespace {

const bool kMemoRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxMemoProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryMemoItem));
  FilterEditsController()->AddHelperClass(TcxMemoProperties::StaticClass(), TcxFilterMemoHelper::StaticClass());
  return true;
}();

constexpr std::size_t kOneLineLimit = 250;

// Pasted text: a line feed directly followed by a carriage return starts two lines.
AnsiString NormalizeBreaks(const AnsiString& text) {
  AnsiString r;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\r') {
      r += "\r\n\r\n";
      ++i;
      continue;
    }
    r += text[i];
  }
  return r;
}

}  // namespace

// ==== Properties ===============================================================================

TcxCustomMemoProperties::TcxCustomMemoProperties(TPersistent* owner) : TcxCustomTextEditProperties(owner) {
  GetAlignment()->SetVert(taTopJustify);
  SetAutoSelect(false);
}

TcxCustomEditClass TcxCustomMemoProperties::GetEditClass() { return TcxMemo::StaticClass(); }

TcxCustomEditViewDataClass TcxCustomMemoProperties::GetViewDataClass() {
  return TcxCustomMemoViewData::StaticClass();
}

void TcxCustomMemoProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomMemoProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetScrollBars(s->FScrollBars);
    SetVisibleLineCount(s->FVisibleLineCount);
    SetWantReturns(s->FWantReturns);
    SetWantTabs(s->FWantTabs);
    SetWordWrap(s->FWordWrap);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomMemoProperties::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  Changed();
}

void TcxCustomMemoProperties::SetVisibleLineCount(Integer value) {
  value = std::max(value, 0);
  if (value == FVisibleLineCount) return;
  FVisibleLineCount = value;
  Changed();
}

void TcxCustomMemoProperties::SetWantReturns(Boolean value) {
  if (value == FWantReturns) return;
  FWantReturns = value;
  Changed();
}

void TcxCustomMemoProperties::SetWantTabs(Boolean value) {
  if (value == FWantTabs) return;
  FWantTabs = value;
  Changed();
}

void TcxCustomMemoProperties::SetWordWrap(Boolean value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  Changed();
}

void TcxCustomMemoProperties::EditValueToDisplayText(const Variant& value, AnsiString& text) {
  inherited::EditValueToDisplayText(value, text);
  const std::size_t head = std::min(text.size(), kOneLineLimit);
  const std::size_t brk = text.substr(0, head).find_first_of("\r\n");
  text = text.substr(0, brk == AnsiString::npos ? head : brk);
}

Integer TcxCustomMemoProperties::GetValueExchangeMode(Boolean focused) {
  IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return provider && provider->IsBlobValue() ? 0 : 1;
}

// ==== View data ================================================================================

Cardinal TcxCustomMemoViewData::GetDrawTextFlags() {
  auto* p = static_cast<TcxCustomMemoProperties*>(Properties);
  static constexpr Cardinal kHorz[] = {TextFlagLeft, TextFlagRight, TextFlagCenterHorz};
  Cardinal flags = TextFlagEditControl | TextFlagClampLeft | TextFlagExpandTabs | kHorz[HorzAlignment];
  if (p->GetWordWrap() && p->GetScrollBars() != ssHorizontal && p->GetScrollBars() != ssBoth)
    flags |= TextFlagWordBreak | TextFlagCharBreak;
  return flags;
}

TRect TcxCustomMemoViewData::GetTextAreaMargins() {
  return IsInplace ? TRect{1, 1, 1, 1} : TRect{1, 1, 1, 3};
}

void TcxCustomMemoViewData::CalculateEditSize(TcxCanvas* canvas, Boolean isInplace, const Variant& value,
                                              TcxCustomEditViewInfo* viewInfo, TSize& frameSize,
                                              TSize& minContentSize, const TcxEditSizeProperties& sizeLimits) {
  inherited::CalculateEditSize(canvas, isInplace, value, viewInfo, frameSize, minContentSize, sizeLimits);
  auto* p = static_cast<TcxCustomMemoProperties*>(Properties);
  Integer height = minContentSize.cy;
  if (p->GetVisibleLineCount() > 0 && canvas) {
    canvas->SetFont(Style->GetVisibleFont());
    const TRect margins = GetTextAreaMargins();
    height = std::max(height, Integer(margins.Top + margins.Bottom + p->GetVisibleLineCount() * canvas->TextHeight("Zg")));
  }
  if (!isInplace && (p->GetScrollBars() == ssHorizontal || p->GetScrollBars() == ssBoth))
    height += GetSystemMetrics(SM_CYHSCROLL);
  minContentSize.cy = height;
}

Integer TcxCustomMemoViewData::GetLineCountLimit() {
  auto* p = static_cast<TcxCustomMemoProperties*>(Properties);
  return p->GetVisibleLineCount() > 0 ? p->GetVisibleLineCount() : inherited::GetLineCountLimit();
}

// ==== Inner memo ===============================================================================

TcxCustomInnerMemo::TcxCustomInnerMemo(TComponent* owner)
    : TcxCustomInnerTextEdit(owner), FLines(NewEditLines(this)) {}

TcxCustomInnerMemo::~TcxCustomInnerMemo() { FLines->Free(); }

TcxCustomMemo* TcxCustomInnerMemo::Memo() const { return dynamic_cast<TcxCustomMemo*>(GetEdit()); }

void TcxCustomInnerMemo::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  static constexpr DWORD kScrollBars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
  params.Style |= ES_MULTILINE | kScrollBars[FScrollBars];
  if (FWordWrap && FScrollBars != ssHorizontal && FScrollBars != ssBoth) params.Style &= ~ES_AUTOHSCROLL;
}

void TcxCustomInnerMemo::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomInnerMemo::SetWordWrap(Boolean value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  if (!HandleAllocated()) return;
  // The edit window lays its lines out from its style each time, so switching the automatic
  // horizontal scroll is enough: the window, its text, caret, selection, undo and focus stay.
  const HWND handle = GetHandle();
  const LONG_PTR style = GetWindowLongPtr(handle, GWL_STYLE);
  const Boolean wraps = FWordWrap && FScrollBars != ssHorizontal && FScrollBars != ssBoth;
  const LONG_PTR wanted = wraps ? (style & ~LONG_PTR(ES_AUTOHSCROLL)) : (style | LONG_PTR(ES_AUTOHSCROLL));
  if (wanted == style) return;
  SetWindowLongPtr(handle, GWL_STYLE, wanted);
  // Wrapped text has no horizontal offset; the caret's line stays in view.
  SendMessage(handle, EM_SCROLLCARET, 0, 0);
  Invalidate();
  if (TcxCustomMemo* memo = Memo()) memo->UpdateInnerScrollBars();
}

TPoint TcxCustomInnerMemo::GetCaretPos() {
  DWORD start = 0;
  SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  const LRESULT line = SendMessage(GetHandle(), EM_LINEFROMCHAR, start, 0);
  const LRESULT index = SendMessage(GetHandle(), EM_LINEINDEX, WPARAM(line), 0);
  return TPoint{Integer(start - DWORD(index)), Integer(line)};
}

void TcxCustomInnerMemo::SetCaretPos(TPoint value) {
  const LRESULT index = SendMessage(GetHandle(), EM_LINEINDEX, WPARAM(value.Y), 0);
  SendMessage(GetHandle(), EM_SETSEL, WPARAM(index + value.X), index + value.X);
}

void TcxCustomInnerMemo::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE: {
      inherited::Dispatch(message);
      TcxCustomMemo* memo = Memo();
      if (memo && memo->WantsTabKey() && GetKeyState(VK_CONTROL) >= 0)
        message.Result |= DLGC_WANTTAB;
      else
        message.Result &= ~DLGC_WANTTAB;
      // Enter is input: the form's default button does not take it. Esc is not: it reaches the
      // form (its cancel button).
      if (FEscapePressed)
        message.Result &= ~DLGC_WANTALLKEYS;
      else
        message.Result |= DLGC_WANTALLKEYS;
      return;
    }
    case CN_KEYDOWN:
      if (message.WParam == VK_ESCAPE) {
        orv::TObjectLinkGuard guard(this);
        FEscapePressed = true;
        try {
          inherited::Dispatch(message);
        } catch (...) {
          if (guard.Alive()) FEscapePressed = false;
          throw;
        }
        if (guard.Alive()) FEscapePressed = false;
        return;
      }
      break;
    case WM_IME_COMPOSITION:
      // Composed text is typing: only where the editor allows editing.
      if (TcxCustomMemo* memo = Memo(); memo && !memo->DoEditing()) return;
      break;
    case WM_NCPAINT:
      PaintNonClient(message);
      return;
    default: break;
  }
  inherited::Dispatch(message);
  // New text, keys, the wheel and new bounds can scroll the memo: the editor's own bars follow.
  switch (message.Msg) {
    case CN_COMMAND:
      // The edit window tells of its own scrolling (a scroll message, columns or lines).
      if (HIWORD(message.WParam) == EN_HSCROLL || HIWORD(message.WParam) == EN_VSCROLL)
        if (TcxCustomMemo* memo = Memo()) memo->UpdateInnerScrollBars();
      break;
    case WM_SETTEXT:
    case WM_CHAR:
    case EM_REPLACESEL:
    case WM_KEYDOWN:
    case WM_MOUSEWHEEL:
    case WM_WINDOWPOSCHANGED:
      if (TcxCustomMemo* memo = Memo()) memo->UpdateInnerScrollBars();
      break;
    default: break;
  }
}

void TcxCustomInnerMemo::PaintNonClient(TMessage& message) {
  TcxCustomMemo* memo = Memo();
  if (!memo || !UseOwnScrollBars() || !memo->HasOwnScrollBars()) {
    inherited::Dispatch(message);
    return;
  }
  // The native bars lie under the editor's own: the frame is painted without them, so they
  // never show through, and the corner between two bars takes the size-grip colour.
  const HWND handle = GetHandle();
  const LONG_PTR style = GetWindowLongPtr(handle, GWL_STYLE);
  const LONG_PTR bars = LONG_PTR(WS_HSCROLL | WS_VSCROLL);
  SetWindowLongPtr(handle, GWL_STYLE, style & ~bars);
  inherited::Dispatch(message);
  SetWindowLongPtr(handle, GWL_STYLE, style);
  if (FScrollBars != ssBoth) return;
  SCROLLBARINFO h{};
  SCROLLBARINFO v{};
  h.cbSize = v.cbSize = sizeof(SCROLLBARINFO);
  RECT window{};
  if (!GetScrollBarInfo(handle, OBJID_HSCROLL, &h) || !GetScrollBarInfo(handle, OBJID_VSCROLL, &v) ||
      !GetWindowRect(handle, &window))
    return;
  const TRect corner{v.rcScrollBar.Left - window.Left, h.rcScrollBar.Top - window.Top,
                     v.rcScrollBar.Right - window.Left, h.rcScrollBar.Bottom - window.Top};
  if (corner.Right > corner.Left && corner.Bottom > corner.Top) FillInnerSizeGripArea(memo, corner);
}

void TcxCustomInnerMemo::KeyDown(Word& key, TShiftState shift) {
  // The character of the key arrives later; whether Ctrl was held is kept for it.
  FCtrlHeld = shift.Contains(ssCtrl);
  inherited::KeyDown(key, shift);
}

void TcxCustomInnerMemo::KeyPress(char& key) {
  // Ctrl+Enter types a line feed: it breaks the line like Enter.
  if (key == '\n' && FCtrlHeld) key = '\r';
  if (key == '\t') {
    // The single-line edit drops Tab; the memo types it when it wants tabs and Ctrl is not held.
    if (!FWantTabs || FCtrlHeld) {
      key = 0;
      return;
    }
    orv::TObjectLinkGuard guard(this);
    if (TcxCustomTextEdit* edit = GetEdit()) edit->InnerKeyPress(key);
    if (guard.Alive() && key != 0) TCustomEdit::KeyPress(key);
    return;
  }
  inherited::KeyPress(key);
  if (key == '\r' && !FWantReturns && !FCtrlHeld) key = 0;
}

// ==== Editor ===================================================================================

TcxCustomEditPropertiesClass TcxCustomMemo::GetPropertiesClass() { return TcxCustomMemoProperties::StaticClass(); }

TcxCustomEditPropertiesClass TcxMemo::GetPropertiesClass() { return TcxMemoProperties::StaticClass(); }

TClass TcxCustomMemo::GetInnerEditClass() { return TcxCustomInnerMemo::StaticClass(); }

void TcxCustomMemo::Initialize() {
  inherited::Initialize();
  SetBounds(GetLeft(), GetTop(), 185, 89);
}

TStrings* TcxCustomMemo::GetLines() {
  TcxCustomInnerMemo* inner = GetInnerMemo();
  return inner->GetLines();
}

Boolean TcxCustomMemo::CanAutoSize() { return !IsInplace() && MemoProperties()->GetVisibleLineCount() >= 1; }

Boolean TcxCustomMemo::IsMemoInputKey(Word key, TShiftState shift, Boolean tabAllowed) {
  TcxCustomMemoProperties* p = MemoProperties();
  if (key == VK_RETURN) return p->GetWantReturns() || shift.Contains(ssCtrl);
  if (key == VK_TAB) return tabAllowed || p->GetWantTabs();
  return false;
}

Boolean TcxCustomMemo::IsValueChangingKey(Word key, TShiftState shift) {
  return inherited::IsValueChangingKey(key, shift) || IsMemoInputKey(key, shift, false);
}

void TcxCustomMemo::AdjustInnerEditPosition() {
  // The multi-line edit fills the text area rather than one line of it.
  IcxCustomInnerEdit* inner = GetInnerEdit();
  if (!inner || FPlacingInner) return;
  FPlacingInner = true;
  const TRect c = GetViewInfo()->ClientRect;
  const TRect offsets = GetEditMetricsRecord().TextOffsets;
  const Integer left = c.Left + offsets.Left;
  const Integer top = c.Top + offsets.Top;
  const Integer width = c.Right - c.Left + 1 - offsets.Left - offsets.Right;
  const Integer height = std::max(0, Integer(c.Bottom - offsets.Bottom - top));
  TWinControl* control = inner->GetControl();
  const TRect wanted{left, top, left + width, top + height};
  if (control->GetBoundsRect() != wanted) control->SetBounds(left, top, width, height);
  if (control->HandleAllocated()) AlignControl(control);
  FPlacingInner = false;
}

void TcxCustomMemo::ReadState(TReader* reader) {
  inherited::ReadState(reader);
  // The lines of the description are the text; the value follows them.
  if (GetInnerMemo() && GetLines()->GetCount() > 0) {
    Variant value;
    DisplayValueToEditValue(Variant(GetText()), value, false);
    SetEditValue(value);
  }
}

Boolean TcxCustomMemo::NeedsScrollBars() {
  return FScrollBarsApplied && MemoProperties()->GetScrollBars() != ssNone;
}

void TcxCustomMemo::HandleInnerEditChange(TObject* sender) {
  inherited::HandleInnerEditChange(sender);
  PostUpdateInnerScrollBars();
}

void TcxCustomMemo::Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  TcxCustomInnerMemo* inner = GetInnerMemo();
  if (!inner || !inner->HandleAllocated()) return;
  const HWND handle = inner->GetHandle();
  const Boolean vertical = kind == sbVertical;
  static constexpr int kCodes[] = {SB_LINEUP,     SB_LINEDOWN,   SB_PAGEUP, SB_PAGEDOWN, SB_THUMBPOSITION,
                                   SB_THUMBTRACK, SB_TOP,        SB_BOTTOM, SB_ENDSCROLL};
  if (vertical && (code == scLineUp || code == scLineDown))
    SendMessage(handle, EM_LINESCROLL, 0, code == scLineUp ? -1 : 1);
  else
    SendMessage(handle, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(kCodes[code], position), 0);
  position = GetScrollPos(handle, vertical ? SB_VERT : SB_HORZ);
  if (code == scTrack && position != FLastScrollPos) {
    InnerEditScrolled();
    inner->Invalidate();
  }
  FLastScrollPos = position;
  UpdateInnerScrollBars();
}

void TcxCustomMemo::HandlePropertiesChange(TObject* sender) {
  TcxCustomMemoProperties* p = MemoProperties();
  if (TcxCustomInnerMemo* inner = GetInnerMemo()) {
    if (inner->GetScrollBars() != p->GetScrollBars()) {
      FScrollBarsApplied = true;
      inner->SetScrollBars(p->GetScrollBars());
      UpdateScrollBarsPresence();
      if (HandleAllocated()) RecreateWnd();
    }
    inner->SetWantReturns(p->GetWantReturns());
    inner->SetWantTabs(p->GetWantTabs());
    inner->SetWordWrap(p->GetWordWrap());
  }
  inherited::HandlePropertiesChange(sender);
}

void TcxCustomMemo::PasteFromClipboard() {
  if (!GetInnerTextEdit() || !Clipboard()->HasFormat(CF_TEXT)) return;
  // Through SetSelectedText, which normalises the line breaks and keeps MaxLength.
  SetSelectedText(Clipboard()->GetAsText());
}

void TcxCustomMemo::KeyDown(Word& key, TShiftState shift) {
  // In place, Enter that the memo takes must not reach the host.
  if (IsInplace() && key == VK_RETURN &&
      ((MemoProperties()->GetWantReturns() && !shift.Contains(ssCtrl)) ||
       (shift.Contains(ssCtrl) && !MemoProperties()->GetWantReturns()))) {
    DoEditKeyDown(key, shift);
    return;
  }
  inherited::KeyDown(key, shift);
}

void TcxCustomMemo::DoEditKeyDown(Word& key, TShiftState shift) {
  inherited::DoEditKeyDown(key, shift);
  if (key == 'A' && shift == TShiftState{ssCtrl} && !GetText().empty()) {
    if (GetInnerTextEdit()) GetInnerTextEdit()->SelectAll();
    NotifyKeyToOwner(key, shift);
    key = 0;
  }
}

void TcxCustomMemo::SetSelectedText(const AnsiString& text) {
  AnsiString inserted = NormalizeBreaks(text);
  const Integer maxLength = MemoProperties()->GetMaxLength();
  IcxInnerTextEdit* inner = GetInnerTextEdit();
  if (Focused() && maxLength > 0 && inner) {
    // What stands before the selection plus the inserted text stays within MaxLength.
    const Integer room = maxLength - inner->GetSelStart();
    if (room <= 0) return;
    if (Integer(inserted.size()) > room) inserted.resize(std::size_t(room));
  }
  inherited::SetSelectedText(inserted);
}

// ==== Filter helper ============================================================================

void TcxFilterMemoHelper::GetSupportedOperators(TcxCustomEditProperties* properties,
                                                TcxValueTypeClass valueTypeClass,
                                                TcxFilterControlOperators& operators, Boolean extended) const {
  operators = TcxFilterControlOperators{7, 8, 9, 10};
}

// ==== Published ================================================================================

ORV_PUBLISH(TcxMemoProperties) {
  using T = TcxMemoProperties;
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored([](T* x) { return x->IsReadOnlyStored(); });
  p.Property("ScrollBars", &T::GetScrollBars, &T::SetScrollBars).Default(ssNone);
  p.Property("VisibleLineCount", &T::GetVisibleLineCount, &T::SetVisibleLineCount).Default(0);
  p.Property("WantReturns", &T::GetWantReturns, &T::SetWantReturns).Default(true);
  p.Property("WantTabs", &T::GetWantTabs, &T::SetWantTabs).Default(false);
  p.Property("WordWrap", &T::GetWordWrap, &T::SetWordWrap).Default(true);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnValidate", &T::GetOnValidate, &T::SetOnValidate);
}

ORV_PUBLISH(TcxMemo) {
  using T = TcxMemo;
  orv::PublishLayout(p);
  orv::PublishDrag(p);
  orv::PublishState(p);
  orv::PublishColor(p, clWindow, false);
  orv::PublishFont(p);
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, true);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("Lines", [](T* x) { return x->GetLines(); }, [](T* x, TStrings* v) { x->SetLines(v); });
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxMemoProperties* v) { x->SetProperties(v); });
}
