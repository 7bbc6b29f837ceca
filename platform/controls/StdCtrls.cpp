#include "platform/controls/StdCtrls.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/controls/ControlProperties.h"
#include "platform/controls/EditLines.h"
#include "platform/controls/Forms.h"
#include "platform/controls/UserControls.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

TOwnerDrawState OwnerDrawStateOf(UINT state) {
  TOwnerDrawState s;
  if (state & ODS_SELECTED) s.Include(odSelected);
  if (state & ODS_GRAYED) s.Include(odGrayed);
  if (state & ODS_DISABLED) s.Include(odDisabled);
  if (state & ODS_CHECKED) s.Include(odChecked);
  if (state & ODS_FOCUS) s.Include(odFocused);
  if (state & ODS_DEFAULT) s.Include(odDefault);
  if (state & ODS_HOTLIGHT) s.Include(odHotLight);
  if (state & ODS_NOACCEL) s.Include(odNoAccel);
  if (state & ODS_NOFOCUSRECT) s.Include(odNoFocusRect);
  return s;
}

// The text lines of a multi-line edit as it shows them; the text itself while it has no window.
class TMemoStrings : public TStrings {
  ORV_CLASS(TMemoStrings, TStrings)
 public:
  explicit TMemoStrings(TCustomEdit* edit) : FMemo(edit) {}

  AnsiString Get(Integer index) const override {
    if (!FMemo->HandleAllocated()) return Hard().at(std::size_t(CheckedIndex(index, Hard().size())));
    HWND h = FMemo->GetHandle();
    CheckedIndex(index, std::size_t(GetCount()));
    const LRESULT start = SendMessage(h, EM_LINEINDEX, WPARAM(index), 0);
    const LRESULT length = SendMessage(h, EM_LINELENGTH, WPARAM(start), 0);
    std::vector<char> buffer(std::size_t(std::max<LRESULT>(length, 2)) + 1, 0);
    const WORD size = WORD(std::min<LRESULT>(length, 0xFFFF));
    std::memcpy(buffer.data(), &size, sizeof size);
    const LRESULT n = SendMessage(h, EM_GETLINE, WPARAM(index), reinterpret_cast<LPARAM>(buffer.data()));
    return AnsiString(buffer.data(), std::size_t(std::max<LRESULT>(0, n)));
  }
  Integer GetCount() const override {
    if (!FMemo->HandleAllocated()) return Integer(Hard().size());
    HWND h = FMemo->GetHandle();
    Integer n = Integer(SendMessage(h, EM_GETLINECOUNT, 0, 0));
    // The empty line after a final line break is no line of the list.
    if (n > 0 && SendMessage(h, EM_LINELENGTH, WPARAM(SendMessage(h, EM_LINEINDEX, WPARAM(n - 1), 0)), 0) == 0) --n;
    return n;
  }
  void Put(Integer index, const AnsiString& s) override {
    std::vector<AnsiString> lines = All();
    lines.at(std::size_t(CheckedIndex(index, lines.size()))) = s;
    SetAll(lines);
  }
  void Insert(Integer index, const AnsiString& s) override {
    std::vector<AnsiString> lines = All();
    if (index < 0 || index > Integer(lines.size())) throw EStringListError("List index out of bounds");
    lines.insert(lines.begin() + index, s);
    SetAll(lines);
  }
  void Delete(Integer index) override {
    std::vector<AnsiString> lines = All();
    lines.erase(lines.begin() + CheckedIndex(index, lines.size()));
    SetAll(lines);
  }
  void Clear() override { FMemo->SetText(AnsiString()); }
  AnsiString GetText() const override { return FMemo->GetText(); }
  void SetText(const AnsiString& text) override { FMemo->SetText(text); }

 private:
  static Integer CheckedIndex(Integer index, std::size_t size) {
    if (index < 0 || std::size_t(index) >= size) throw EStringListError("List index out of bounds");
    return index;
  }
  // The hard lines of the text (CR LF, CR or LF end a line).
  std::vector<AnsiString> Hard() const {
    std::vector<AnsiString> lines;
    const AnsiString text = FMemo->GetText();
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find_first_of("\r\n", start);
      if (end == AnsiString::npos) {
        lines.push_back(text.substr(start));
        break;
      }
      lines.push_back(text.substr(start, end - start));
      start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
  }
  std::vector<AnsiString> All() const {
    std::vector<AnsiString> lines;
    for (Integer i = 0; i < GetCount(); ++i) lines.push_back(Get(i));
    return lines;
  }
  void SetAll(const std::vector<AnsiString>& lines) {
    AnsiString text;
    for (const AnsiString& l : lines) text += l + "\r\n";
    FMemo->SetText(text);
  }
  TCustomEdit* FMemo;
};

}  // namespace

TStrings* NewEditLines(TCustomEdit* edit) { return new TMemoStrings(edit); }

// The items of a list box: its window's items, or a plain list while it has none.
class TListBoxStrings : public TStrings {
  ORV_CLASS(TListBoxStrings, TStrings)
 public:
  explicit TListBoxStrings(TCustomListBox* box) : FBox(box) {}

  AnsiString Get(Integer index) const override {
    if (FBox->IsVirtual()) return FBox->DoGetData(index);
    if (!Live()) return FBox->FSaveItems->Get(index);
    const LRESULT len = SendMessage(Handle(), LB_GETTEXTLEN, WPARAM(index), 0);
    if (len == LB_ERR) throw EStringListError("List index out of bounds");
    std::vector<char> buffer(std::size_t(len) + 1, 0);
    SendMessage(Handle(), LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer.data()));
    return AnsiString(buffer.data(), std::size_t(len));
  }
  Integer GetCount() const override {
    if (FBox->IsVirtual()) return FBox->FVirtualCount;
    return Live() ? Integer(SendMessage(Handle(), LB_GETCOUNT, 0, 0)) : FBox->FSaveItems->GetCount();
  }
  TObject* GetObject(Integer index) const override {
    if (FBox->IsVirtual()) return FBox->DoGetDataObject(index);
    if (!Live()) return FBox->FSaveItems->GetObject(index);
    const LRESULT data = SendMessage(Handle(), LB_GETITEMDATA, WPARAM(index), 0);
    if (data == LB_ERR && (index < 0 || index >= GetCount())) throw EStringListError("List index out of bounds");
    return reinterpret_cast<TObject*>(data);
  }
  void PutObject(Integer index, TObject* obj) override {
    if (!Live()) {
      FBox->FSaveItems->PutObject(index, obj);
      return;
    }
    SendMessage(Handle(), LB_SETITEMDATA, WPARAM(index), reinterpret_cast<LPARAM>(obj));
  }
  void Put(Integer index, const AnsiString& s) override {
    const Integer selected = FBox->GetItemIndex();
    TObject* obj = GetObject(index);
    Delete(index);
    InsertObject(index, s, obj);
    if (selected == index) FBox->SetItemIndex(index);
  }
  Integer Add(const AnsiString& s) override {
    NotVirtual();
    if (!Live()) {
      if (!FBox->FSorted) return FBox->FSaveItems->Add(s);
      Integer i = 0;
      while (i < FBox->FSaveItems->GetCount() && AnsiCompareText(FBox->FSaveItems->Get(i), s) <= 0) ++i;
      FBox->FSaveItems->Insert(i, s);
      return i;
    }
    const LRESULT r = SendMessage(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    if (r < 0) throw EOutOfMemory("Out of memory");
    return Integer(r);
  }
  void Insert(Integer index, const AnsiString& s) override {
    NotVirtual();
    if (!Live()) {
      FBox->FSaveItems->Insert(index, s);
      return;
    }
    if (SendMessage(Handle(), LB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(s.c_str())) < 0)
      throw EStringListError("List index out of bounds");
  }
  void Delete(Integer index) override {
    if (!Live()) {
      FBox->FSaveItems->Delete(index);
      return;
    }
    if (SendMessage(Handle(), LB_DELETESTRING, WPARAM(index), 0) == LB_ERR)
      throw EStringListError("List index out of bounds");
  }
  void Clear() override {
    if (!Live()) {
      FBox->FSaveItems->Clear();
      return;
    }
    SendMessage(Handle(), LB_RESETCONTENT, 0, 0);
  }
  Integer IndexOf(const AnsiString& s) const override {
    if (FBox->IsVirtual()) return FBox->DoFindData(s);
    if (!Live()) return FBox->FSaveItems->IndexOf(s);
    const LRESULT r = SendMessage(Handle(), LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(s.c_str()));
    return r == LB_ERR ? -1 : Integer(r);
  }

 protected:
  void SetUpdateState(bool updating) override {
    if (!Live()) return;
    SendMessage(Handle(), WM_SETREDRAW, updating ? 0 : 1, 0);
    if (!updating) InvalidateRect(Handle(), nullptr, TRUE);
  }

 private:
  void NotVirtual() const {
    if (FBox->IsVirtual()) throw EListError("Operation not supported on virtual list box");
  }
  bool Live() const { return FBox->HandleAllocated() || (FBox->GetParent() && !FBox->FSaveItems); }
  HWND Handle() const { return FBox->GetHandle(); }
  TCustomListBox* FBox;
};

// ---- TCustomLabel -----------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  FControlStyle += TControlStyle{csOpaque, csReplicatable};
  SetBounds(0, 0, 65, 17);
  TControl::SetAutoSize(true);
}

void TCustomLabel::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustBounds();
      return;
    case CM_FONTCHANGED:
      inherited::Dispatch(message);
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (FFocusControl && GetEnabled() && FShowAccelChar && IsAccel(Word(message.WParam), GetCaption()) &&
          FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        message.Result = 1;
        return;
      }
      break;
    case CM_HITTEST:
      message.Result = HTCLIENT;
      return;
    default: break;
  }
  inherited::Dispatch(message);
}

void TCustomLabel::DoDrawText(TRect& rect, UINT flags) {
  AnsiString text = GetCaption();
  if ((flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text.size() == 1 && text[0] == '&'))) text += ' ';
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  HDC dc = canvas->GetHandle();
  RECT r = rect;
  if (!GetEnabled()) {
    // The disabled look: highlight one pixel down and right, grey text above.
    RECT shadow{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawText(dc, text.c_str(), int(text.size()), &shadow, flags);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  }
  DrawText(dc, text.c_str(), int(text.size()), &r, flags);
  rect = r;
}

void TCustomLabel::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect rect = GetClientRect();
  if (!GetTransparent()) {
    canvas->GetBrush()->SetColor(GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(rect);
  }
  canvas->GetBrush()->SetStyle(bsClear);
  static constexpr UINT kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | kAlignments[FAlignment];
  if (FLayout != tlTop) {
    TRect calc = rect;
    DoDrawText(calc, flags | DT_CALCRECT);
    const Integer h = calc.Height();
    const Integer offset = FLayout == tlBottom ? rect.Height() - h : (rect.Height() - h) / 2;
    rect.Top += offset;
  }
  DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
  if (GetComponentState().Contains(csLoading) || !GetAutoSize() || !GetParent()) return;
  TRect rect = GetClientRect();
  // Measured on a screen DC: the parent may have no window yet.
  HDC screen = GetDC(nullptr);
  TCanvas* canvas = GetCanvas();
  const bool had = canvas->HandleAllocated();
  if (!had) canvas->SetHandle(screen);
  static constexpr UINT kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0) | kAlignments[FAlignment]);
  if (!had) canvas->SetHandle(nullptr);
  ReleaseDC(nullptr, screen);
  Integer x = GetLeft();
  if (FAlignment == taRightJustify) x += GetWidth() - rect.Width();
  if (FAlignment == taCenter) x += (GetWidth() - rect.Width()) / 2;
  SetBounds(x, GetTop(), rect.Width(), rect.Height());
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == GetAutoSize()) return;
  TControl::SetAutoSize(value);
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == GetTransparent()) return;
  if (value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
  if (value == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = value;
  if (value) value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  inherited::Loaded();
  AdjustBounds();
}

// ---- TButtonControl ---------------------------------------------------------------------------

void TButtonControl::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (FWordWrap) params.Style |= BS_MULTILINE;
}

void TButtonControl::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  RecreateWnd();
}

bool TButtonActionLink::IsCheckedLinked() {
  auto* button = dynamic_cast<TButtonControl*>(FClient);
  return inherited::IsCheckedLinked() && button && button->GetChecked() == CustomAction()->GetChecked();
}

void TButtonActionLink::SetChecked(bool value) {
  if (!IsCheckedLinked()) return;
  auto* button = static_cast<TButtonControl*>(FClient);
  button->SetChecked(value);
}

TControlActionLinkClass TButtonControl::GetActionLinkClass() { return TButtonActionLink::StaticClass(); }

void TButtonControl::ActionChange(TObject* sender, bool checkDefaults) {
  inherited::ActionChange(sender, checkDefaults);
  if (auto* a = dynamic_cast<TCustomAction*>(sender))
    if (!checkDefaults || !GetChecked()) {
      FClicksDisabled = true;
      SetChecked(a->GetChecked());
      FClicksDisabled = false;
    }
}

// ---- TButton ----------------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  orv::RegisterStandardControls();
  CreateSubClass(params, "BUTTON");
  params.Style |= (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TButton::CreateWnd() {
  inherited::CreateWnd();
  FActive = FDefault;
}

void TButton::SetButtonStyle(bool isDefault) {
  if (!HandleAllocated()) return;
  const DWORD style = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  const DWORD current = DWORD(GetWindowLongPtr(FHandle, GWL_STYLE)) & BS_TYPEMASK;
  if (current != style && current != BS_OWNERDRAW) SendMessage(FHandle, BM_SETSTYLE, style, 1);
}

void TButton::SetDefault(bool value) {
  FDefault = value;
  if (HandleAllocated()) {
    TCustomForm* form = GetParentForm(this);
    if (form && form->GetActiveControl()) Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->GetActiveControl()));
  }
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this))
    if (FModalResult != mrNone) form->SetModalResult(FModalResult);
  inherited::Click();
}

void TButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY:
      if (((message.WParam == WPARAM(VK_RETURN) && FActive) || (message.WParam == WPARAM(VK_ESCAPE) && FCancel)) &&
          KeyDataToShiftState(message.LParam).Empty() && CanFocus()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    case CM_DIALOGCHAR:
      if (IsAccel(Word(message.WParam), GetCaption()) && CanFocus()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    case CM_FOCUSCHANGED: {
      auto* sender = reinterpret_cast<TWinControl*>(message.LParam);
      FActive = dynamic_cast<TButton*>(sender) ? sender == this : FDefault;
      SetButtonStyle(FActive);
      break;
    }
    default: break;
  }
  inherited::Dispatch(message);
}

// ---- TCustomCheckBox --------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  orv::RegisterStandardControls();
  CreateSubClass(params, "BUTTON");
  params.Style |= BS_3STATE;
  if (FAlignment == taLeftJustify) params.Style |= BS_LEFTTEXT;
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomCheckBox::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(FHandle, BM_SETCHECK, WPARAM(FState), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
  if (value == FState) return;
  FState = value;
  if (HandleAllocated()) SendMessage(FHandle, BM_SETCHECK, WPARAM(value), 0);
  if (!FClicksDisabled) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  RecreateWnd();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED) Toggle();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Word(message.WParam), GetCaption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  inherited::Dispatch(message);
}

// ---- TRadioButton -----------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  orv::RegisterStandardControls();
  CreateSubClass(params, "BUTTON");
  params.Style |= BS_RADIOBUTTON;
  if (FAlignment == taLeftJustify) params.Style |= BS_LEFTTEXT;
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TRadioButton::CreateWnd() {
  inherited::CreateWnd();
  SendMessage(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::TurnSiblingsOff() {
  if (!GetParent()) return;
  for (Integer i = 0; i < GetParent()->GetControlCount(); ++i)
    if (auto* sibling = dynamic_cast<TRadioButton*>(GetParent()->GetControl(i)))
      if (sibling != this) {
        const bool clicks = sibling->FClicksDisabled;
        sibling->FClicksDisabled = true;
        sibling->SetChecked(false);
        sibling->FClicksDisabled = clicks;
      }
}

void TRadioButton::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  SetTabStop(value);
  if (HandleAllocated()) SendMessage(FHandle, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (value) {
    TurnSiblingsOff();
    Changed();
    if (!FClicksDisabled) Click();
  }
}

void TRadioButton::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  RecreateWnd();
}

void TRadioButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      switch (HIWORD(message.WParam)) {
        case BN_CLICKED: SetChecked(true); break;
        case BN_DOUBLECLICKED: DblClick(); break;
        default: break;
      }
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Word(message.WParam), GetCaption()) && CanFocus()) {
        SetFocus();
        message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  inherited::Dispatch(message);
}

// ---- TCustomEdit ------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
  SetBounds(0, 0, 121, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  TControl::SetAutoSize(true);
  AdjustHeight();
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  orv::RegisterStandardControls();
  CreateSubClass(params, "EDIT");
  static constexpr DWORD kAlignments[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  static constexpr DWORD kCases[] = {0, ES_UPPERCASE, ES_LOWERCASE};
  params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | kAlignments[FAlignment] | kCases[FCharCase];
  if (FPasswordChar) params.Style |= ES_PASSWORD;
  if (FReadOnly) params.Style |= ES_READONLY;
  if (!FHideSelection) params.Style |= ES_NOHIDESEL;
  if (FOEMConvert) params.Style |= ES_OEMCONVERT;
  if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomEdit::CreateWnd() {
  FCreating = true;
  try {
    inherited::CreateWnd();
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  SendMessage(FHandle, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
  SendMessage(FHandle, EM_SETMODIFY, FModified ? 1 : 0, 0);
  if (FPasswordChar) SendMessage(FHandle, EM_SETPASSWORDCHAR, Byte(FPasswordChar), 0);
  AdjustHeight();
}

void TCustomEdit::DestroyWnd() {
  FModified = GetModified();
  inherited::DestroyWnd();
}

void TCustomEdit::AdjustHeight() {
  if (!GetAutoSize() || FBorderStyle != bsSingle) {
    FControlStyle.Exclude(csFixedHeight);
    return;
  }
  FControlStyle.Include(csFixedHeight);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  SetHeight(tm.tmHeight + GetSystemMetrics(SM_CYBORDER) * 8);
}

void TCustomEdit::SetAutoSize(bool value) {
  if (value == GetAutoSize()) return;
  TControl::SetAutoSize(value);
  AdjustHeight();
}

void TCustomEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == EN_CHANGE && !FCreating) Change();
      return;
    case CM_FONTCHANGED:
      inherited::Dispatch(message);
      AdjustHeight();
      return;
    default: break;
  }
  inherited::Dispatch(message);
}

void TCustomEdit::DoEnter() {
  if (FAutoSelect && !FControlState.Contains(csLButtonDown) && HandleAllocated() &&
      !(GetWindowLongPtr(FHandle, GWL_STYLE) & ES_MULTILINE))
    SelectAll();
  inherited::DoEnter();
}

void TCustomEdit::Change() {
  inherited::Changed();
  if (FOnChange) FOnChange(this);
}

void TCustomEdit::ClearSelection() { SendMessage(GetHandle(), WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { SendMessage(GetHandle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessage(GetHandle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessage(GetHandle(), WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { SendMessage(GetHandle(), WM_UNDO, 0, 0); }
void TCustomEdit::ClearUndo() { SendMessage(GetHandle(), EM_EMPTYUNDOBUFFER, 0, 0); }
bool TCustomEdit::GetCanUndo() { return HandleAllocated() && SendMessage(FHandle, EM_CANUNDO, 0, 0) != 0; }
void TCustomEdit::SelectAll() { SendMessage(GetHandle(), EM_SETSEL, 0, -1); }

Integer TCustomEdit::GetSelStart() {
  DWORD start = 0;
  SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return Integer(start);
}

void TCustomEdit::SetSelStart(Integer value) { SendMessage(GetHandle(), EM_SETSEL, WPARAM(value), value); }

Integer TCustomEdit::GetSelLength() {
  DWORD start = 0, end = 0;
  SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return Integer(end - start);
}

void TCustomEdit::SetSelLength(Integer value) {
  DWORD start = 0;
  SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  SendMessage(FHandle, EM_SETSEL, start, LPARAM(start) + value);
  SendMessage(FHandle, EM_SCROLLCARET, 0, 0);
}

AnsiString TCustomEdit::GetSelText() {
  const Integer start = GetSelStart(), length = GetSelLength();
  return GetText().substr(std::size_t(start), std::size_t(length));
}

void TCustomEdit::SetSelText(const AnsiString& value) {
  SendMessage(GetHandle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

bool TCustomEdit::GetModified() {
  if (!HandleAllocated()) return FModified;
  return SendMessage(FHandle, EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool value) {
  if (HandleAllocated())
    SendMessage(FHandle, EM_SETMODIFY, value ? 1 : 0, 0);
  else
    FModified = value;
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  AdjustHeight();
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == FCharCase) return;
  FCharCase = value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == FHideSelection) return;
  FHideSelection = value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(Integer value) {
  if (value == FMaxLength) return;
  FMaxLength = value;
  if (HandleAllocated()) SendMessage(FHandle, EM_LIMITTEXT, WPARAM(value), 0);
}

void TCustomEdit::SetOEMConvert(bool value) {
  if (value == FOEMConvert) return;
  FOEMConvert = value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char value) {
  if (value == FPasswordChar) return;
  FPasswordChar = value;
  if (HandleAllocated()) {
    SendMessage(FHandle, EM_SETPASSWORDCHAR, Byte(value), 0);
    SetTextBuf(GetText().c_str());
  }
}

void TCustomEdit::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  if (HandleAllocated()) SendMessage(FHandle, EM_SETREADONLY, value ? 1 : 0, 0);
}

void TCustomEdit::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  RecreateWnd();
}

// ---- TCustomMemo ------------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), FLines(new TMemoStrings(this)) {
  SetBounds(0, 0, 185, 89);
  TControl::SetAutoSize(false);
  FControlStyle.Exclude(csFixedHeight);
}

TCustomMemo::~TCustomMemo() { FLines->Free(); }

void TCustomMemo::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  static constexpr DWORD kScrollBars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
  params.Style |= ES_MULTILINE | kScrollBars[FScrollBars];
  if (FWordWrap) params.Style &= ~ES_AUTOHSCROLL;
}

void TCustomMemo::Dispatch(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    inherited::Dispatch(message);
    if (FWantTabs)
      message.Result |= DLGC_WANTTAB;
    else
      message.Result &= ~DLGC_WANTTAB;
    if (!FWantReturns) message.Result &= ~DLGC_WANTALLKEYS;
    return;
  }
  inherited::Dispatch(message);
}

void TCustomMemo::KeyPress(char& key) {
  inherited::KeyPress(key);
  if (key == '\r' && !FWantReturns) key = 0;
  if (key == '\t' && !FWantTabs) key = 0;
}

TPoint TCustomMemo::GetCaretPos() {
  DWORD start = 0;
  SendMessage(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  const LRESULT line = SendMessage(FHandle, EM_LINEFROMCHAR, start, 0);
  const LRESULT index = SendMessage(FHandle, EM_LINEINDEX, WPARAM(line), 0);
  return {Integer(start - DWORD(index)), Integer(line)};
}

void TCustomMemo::SetCaretPos(TPoint value) {
  const LRESULT index = SendMessage(GetHandle(), EM_LINEINDEX, WPARAM(value.Y), 0);
  SendMessage(FHandle, EM_SETSEL, WPARAM(index + value.X), index + value.X);
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  RecreateWnd();
}

// ---- TCustomListBox ---------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), FItems(new TListBoxStrings(this)), FCanvas(new TControlCanvas) {
  FControlStyle = {csDoubleClicks};
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  static_cast<TControlCanvas*>(FCanvas)->SetControl(this);
  FSaveItems = new TStringList;
}

TCustomListBox::~TCustomListBox() {
  FCanvas->Free();
  orv::Free(FSaveItems);
  FItems->Free();
}

void TCustomListBox::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  orv::RegisterStandardControls();
  CreateSubClass(params, "LISTBOX");
  params.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
  if (FSorted) params.Style |= LBS_SORT;
  if (FMultiSelect) params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (!FIntegralHeight) params.Style |= LBS_NOINTEGRALHEIGHT;
  if (FStyle == lbOwnerDrawFixed) params.Style |= LBS_OWNERDRAWFIXED;
  if (FStyle == lbOwnerDrawVariable) params.Style |= LBS_OWNERDRAWVARIABLE;
  if (IsVirtual()) params.Style = (params.Style & ~LBS_HASSTRINGS) | LBS_NODATA | LBS_OWNERDRAWFIXED;
  if (FColumns > 0) params.Style |= LBS_MULTICOLUMN | WS_HSCROLL;
  if (FTabWidth > 0) params.Style |= LBS_USETABSTOPS;
  if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListBox::CreateWnd() {
  TStringList* saved = FSaveItems;
  FSaveItems = nullptr;
  inherited::CreateWnd();
  if (FStyle != lbStandard || FItemHeight != 16)
    SendMessage(FHandle, LB_SETITEMHEIGHT, 0, FItemHeight);
  if (saved) {
    // A no-data list has only its count: items kept from a window with data are dropped.
    for (Integer i = 0; !IsVirtual() && i < saved->GetCount(); ++i) {
      const LRESULT at = SendMessage(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(saved->Get(i).c_str()));
      SendMessage(FHandle, LB_SETITEMDATA, WPARAM(at), reinterpret_cast<LPARAM>(saved->GetObject(i)));
    }
    saved->Free();
  }
  if (FScrollWidth) SendMessage(FHandle, LB_SETHORIZONTALEXTENT, WPARAM(FScrollWidth), 0);
  if (FTabWidth > 0) SendMessage(FHandle, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&FTabWidth));
  if (IsVirtual()) SendMessage(FHandle, LB_SETCOUNT, WPARAM(FVirtualCount), 0);
  SetColumnWidth();
  if (FSaveItemIndex >= 0) SetItemIndex(FSaveItemIndex);
  if (FSaveTopIndex > 0) SendMessage(FHandle, LB_SETTOPINDEX, WPARAM(FSaveTopIndex), 0);
}

void TCustomListBox::DestroyWnd() {
  auto* saved = new TStringList;
  // The window's own style says whether it holds items: the list's style may already have changed
  // to or from a no-data one (whose rows, only a count, stay in FVirtualCount).
  if (!IsVirtual() && !(GetWindowLongPtr(FHandle, GWL_STYLE) & LBS_NODATA))
    for (Integer i = 0; i < FItems->GetCount(); ++i) saved->AddObject(FItems->Get(i), FItems->GetObject(i));
  FSaveItemIndex = GetItemIndex();
  FSaveTopIndex = GetTopIndex();
  inherited::DestroyWnd();
  FSaveItems = saved;
}

Integer TCustomListBox::GetCount() const { return FItems->GetCount(); }

Integer TCustomListBox::GetItemIndex() {
  if (!HandleAllocated()) return FSaveItems ? FSaveItemIndex : -1;
  if (FMultiSelect) return Integer(SendMessage(FHandle, LB_GETCARETINDEX, 0, 0));
  return Integer(SendMessage(FHandle, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(Integer value) {
  if (!HandleAllocated() && FSaveItems) {
    FSaveItemIndex = value;
    return;
  }
  if (GetItemIndex() == value && !FMultiSelect) return;
  if (FMultiSelect)
    SendMessage(GetHandle(), LB_SETCARETINDEX, WPARAM(value), 0);
  else
    SendMessage(GetHandle(), LB_SETCURSEL, WPARAM(value), 0);
}

Integer TCustomListBox::GetTopIndex() {
  if (!HandleAllocated()) return FSaveTopIndex;
  return Integer(SendMessage(FHandle, LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(Integer value) {
  if (!HandleAllocated() && FSaveItems) {
    FSaveTopIndex = value;
    return;
  }
  SendMessage(GetHandle(), LB_SETTOPINDEX, WPARAM(value), 0);
}

bool TCustomListBox::GetSelected(Integer index) {
  const LRESULT r = SendMessage(GetHandle(), LB_GETSEL, WPARAM(index), 0);
  if (r == LB_ERR) throw EListError("List index out of bounds");
  return r != 0;
}

void TCustomListBox::SetSelected(Integer index, bool value) {
  if (FMultiSelect) {
    if (SendMessage(GetHandle(), LB_SETSEL, value ? 1 : 0, index) == LB_ERR) throw EListError("List index out of bounds");
  } else if (value) {
    SetItemIndex(index);
  } else if (GetItemIndex() == index) {
    SetItemIndex(-1);
  }
}

Integer TCustomListBox::GetSelCount() {
  if (!FMultiSelect) return GetItemIndex() >= 0 ? 1 : 0;
  return Integer(SendMessage(GetHandle(), LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::ClearSelection() {
  if (FMultiSelect)
    SendMessage(GetHandle(), LB_SETSEL, 0, -1);
  else
    SetItemIndex(-1);
}

void TCustomListBox::SelectAll() {
  if (FMultiSelect) SendMessage(GetHandle(), LB_SETSEL, 1, -1);
}

void TCustomListBox::DeleteSelected() {
  if (FMultiSelect) {
    for (Integer i = GetCount() - 1; i >= 0; --i)
      if (GetSelected(i)) FItems->Delete(i);
  } else if (GetItemIndex() >= 0) {
    FItems->Delete(GetItemIndex());
  }
}

Integer TCustomListBox::ItemAtPos(TPoint pos, bool existing) {
  const LRESULT r = SendMessage(GetHandle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(pos.X, pos.Y));
  const Integer index = LOWORD(std::uintptr_t(r));
  if (GetCount() == 0) return existing ? -1 : 0;
  if (HIWORD(std::uintptr_t(r)) != 0) {
    // Outside the items: below the last one counts as "after the end".
    if (existing) return -1;
    const TRect last = ItemRect(GetCount() - 1);
    return pos.Y >= last.Bottom ? GetCount() : index;
  }
  return index;
}

TRect TCustomListBox::ItemRect(Integer index) {
  RECT r{};
  SendMessage(GetHandle(), LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

Integer TCustomListBox::GetItemHeight() {
  if (HandleAllocated() && FStyle == lbStandard) return Integer(SendMessage(FHandle, LB_GETITEMHEIGHT, 0, 0));
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(Integer value) {
  if (value <= 0 || value == FItemHeight) return;
  FItemHeight = value;
  RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (value == FMultiSelect) return;
  FMultiSelect = value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool value) {
  if (value == FExtendedSelect) return;
  FExtendedSelect = value;
  RecreateWnd();
}

void TCustomListBox::SetSorted(bool value) {
  if (value == FSorted) return;
  FSorted = value;
  RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  RecreateWnd();
}

void TCustomListBox::SetOwnerDrawNoData(bool value) {
  if (value == FOwnerDrawNoData) return;
  const bool wasVirtual = IsVirtual();
  FOwnerDrawNoData = value;
  if (IsVirtual() != wasVirtual) RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool value) {
  if (value == FIntegralHeight) return;
  FIntegralHeight = value;
  RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  RecreateWnd();
}

Integer TCustomListBox::GetScrollWidth() {
  if (!HandleAllocated()) return FScrollWidth;
  return Integer(SendMessage(FHandle, LB_GETHORIZONTALEXTENT, 0, 0));
}

void TCustomListBox::SetScrollWidth(Integer value) {
  FScrollWidth = value;
  if (HandleAllocated()) SendMessage(FHandle, LB_SETHORIZONTALEXTENT, WPARAM(value), 0);
}

void TCustomListBox::SetCount(Integer value) {
  if (!IsVirtual()) throw EListError("Operation only allowed on virtual list box");
  FVirtualCount = std::max(0, value);
  if (HandleAllocated()) SendMessage(FHandle, LB_SETCOUNT, WPARAM(FVirtualCount), 0);
}

void TCustomListBox::SetColumns(Integer value) {
  if (value == FColumns) return;
  if ((FColumns == 0) != (value == 0)) {
    FColumns = value;
    RecreateWnd();
  } else {
    FColumns = value;
    SetColumnWidth();
  }
}

void TCustomListBox::SetColumnWidth() {
  if (FColumns > 0 && HandleAllocated())
    SendMessage(FHandle, LB_SETCOLUMNWIDTH, WPARAM((GetWidth() + FColumns - 3) / FColumns), 0);
}

void TCustomListBox::SetTabWidth(Integer value) {
  if (value < 0 || value == FTabWidth) return;
  FTabWidth = value;
  RecreateWnd();
}

AnsiString TCustomListBox::DoGetData(Integer index) {
  AnsiString data;
  if (FOnData) FOnData(this, index, data);
  return data;
}

TObject* TCustomListBox::DoGetDataObject(Integer index) {
  TObject* object = nullptr;
  if (FOnDataObject) FOnDataObject(this, index, object);
  return object;
}

Integer TCustomListBox::DoFindData(const AnsiString& data) {
  return FOnDataFind ? FOnDataFind(this, data) : -1;
}

void TCustomListBox::KeyPress(char& key) {
  inherited::KeyPress(key);
  if (!FAutoComplete || key == 0) return;
  const DWORD now = GetTickCount();
  if (now - FLastTime >= FAutoCompleteDelay) FFilter.clear();
  FLastTime = now;
  if (key == '\b') {
    if (!FFilter.empty()) FFilter.pop_back();
  } else if (Byte(key) >= 0x20) {
    FFilter += key;
  } else {
    return;
  }
  if (!FFilter.empty()) {
    const Integer found = IsVirtual() ? DoFindData(FFilter)
                                      : Integer(SendMessage(GetHandle(), LB_FINDSTRING, WPARAM(-1),
                                                            reinterpret_cast<LPARAM>(FFilter.c_str())));
    if (found >= 0) {
      if (FMultiSelect) {
        ClearSelection();
        SendMessage(GetHandle(), LB_SELITEMRANGE, 1, MAKELPARAM(found, found));
      }
      SetItemIndex(found);
      Click();
    }
  } else {
    SetItemIndex(0);
    Click();
  }
  // The window's own one-letter search stays out of it.
  key = 0;
}

void TCustomListBox::DrawItem(Integer index, TRect rect, TOwnerDrawState state) {
  if (FOnDrawItem) {
    FOnDrawItem(this, index, rect, state);
    return;
  }
  FCanvas->FillRect(rect);
  if (index < GetCount()) {
    rect.Left += 2;
    const AnsiString text = FItems->Get(index);
    RECT r = rect;
    DrawText(FCanvas->GetHandle(), text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
}

void TCustomListBox::MeasureItem(Integer index, Integer& height) {
  if (FOnMeasureItem) FOnMeasureItem(this, index, height);
}

void TCustomListBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      inherited::Dispatch(message);
      SetColumnWidth();
      return;
    case CN_COMMAND:
      switch (HIWORD(message.WParam)) {
        case LBN_SELCHANGE:
          Changed();
          Click();
          break;
        case LBN_DBLCLK: DblClick(); break;
        default: break;
      }
      return;
    case CN_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
      const TOwnerDrawState state = OwnerDrawStateOf(di->itemState);
      const int saved = SaveDC(di->hDC);
      FCanvas->SetHandle(di->hDC);
      FCanvas->SetFont(GetFont());
      FCanvas->SetBrush(GetBrush());
      if (int(di->itemID) >= 0 && state.Contains(odSelected)) {
        FCanvas->GetBrush()->SetColor(clHighlight);
        FCanvas->GetFont()->SetColor(clHighlightText);
      }
      if (int(di->itemID) >= 0)
        DrawItem(Integer(di->itemID), di->rcItem, state);
      else
        FCanvas->FillRect(di->rcItem);
      if (state.Contains(odFocused)) DrawFocusRect(di->hDC, &di->rcItem);
      FCanvas->SetHandle(nullptr);
      RestoreDC(di->hDC, saved);
      message.Result = 1;
      return;
    }
    case CN_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
      Integer height = FItemHeight;
      if (FStyle == lbOwnerDrawVariable) MeasureItem(Integer(mi->itemID), height);
      mi->itemHeight = UINT(std::max(1, height));
      message.Result = 1;
      return;
    }
    default: break;
  }
  inherited::Dispatch(message);
}

// ---- TCustomComboBox --------------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* owner) : TCustomControl(owner), FItems(new TStringList) {
  FItems->SetOnChange(TNotifyEvent(this, &TCustomComboBox::ItemsChanged));
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() {
  SetDroppedDown(false);
  delete FItems;
}

void TCustomComboBox::SetItemIndex(Integer value) {
  if (value < -1 || value >= FItems->GetCount()) value = -1;
  if (value == FItemIndex) return;
  FItemIndex = value;
  Invalidate();
}

AnsiString TCustomComboBox::GetText() const {
  return FItemIndex >= 0 && FItemIndex < FItems->GetCount() ? FItems->Get(FItemIndex) : AnsiString();
}

void TCustomComboBox::ItemsChanged(TObject* sender) {
  if (FItemIndex >= FItems->GetCount()) FItemIndex = -1;
  Invalidate();
}

void TCustomComboBox::Select() {
  Click();
  Change();
}

void TCustomComboBox::Change() {
  if (FOnChange) FOnChange(this);
}

void TCustomComboBox::Choose(Integer index) {
  if (index < 0 || index >= FItems->GetCount() || index == FItemIndex) return;
  SetItemIndex(index);
  Select();
}

void TCustomComboBox::Paint() {
  TCanvas* canvas = GetCanvas();
  RECT r = GetClientRect();
  DrawEdge(canvas->GetHandle(), &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(r);
  RECT button = r;
  button.Left = std::max(r.Left, r.Right - GetSystemMetrics(SM_CXVSCROLL));
  DrawFrameControl(canvas->GetHandle(), &button, DFC_SCROLL,
                   DFCS_SCROLLCOMBOBOX | (GetDroppedDown() ? DFCS_PUSHED : 0) | (GetEnabled() ? 0 : DFCS_INACTIVE));
  TRect text{r.Left + 1, r.Top + 1, button.Left - 1, r.Bottom - 1};
  canvas->SetFont(GetFont());
  const bool focused = Focused() && !GetDroppedDown();
  if (focused) {
    canvas->GetBrush()->SetColor(clHighlight);
    canvas->FillRect(text);
    canvas->GetFont()->SetColor(clHighlightText);
  } else if (!GetEnabled()) {
    canvas->GetFont()->SetColor(clGrayText);
  }
  const AnsiString caption = GetText();
  RECT textRect{text.Left + 2, text.Top, text.Right, text.Bottom};
  SetBkMode(canvas->GetHandle(), TRANSPARENT);
  SetTextColor(canvas->GetHandle(), ColorToRGB(canvas->GetFont()->GetColor()));
  DrawText(canvas->GetHandle(), caption.c_str(), int(caption.size()), &textRect,
           DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (focused) DrawFocusRect(canvas->GetHandle(), &text);
}

void TCustomComboBox::Dispatch(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    message.Result = DLGC_WANTARROWS;
    return;
  }
  inherited::Dispatch(message);
}

void TCustomComboBox::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  if (GetDroppedDown()) {
    DropDownKeyDown(this, key, shift);
    return;
  }
  if (key == VK_F4 || (key == VK_DOWN && shift.Contains(ssAlt))) {
    SetDroppedDown(true);
    key = 0;
    return;
  }
  const Integer count = FItems->GetCount();
  if (count == 0) return;
  switch (key) {
    case VK_UP: case VK_LEFT: Choose(std::max(0, FItemIndex - 1)); break;
    case VK_DOWN: case VK_RIGHT: Choose(std::min(count - 1, FItemIndex + 1)); break;
    case VK_HOME: Choose(0); break;
    case VK_END: Choose(count - 1); break;
    default: return;
  }
  key = 0;
}

bool TCustomComboBox::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  if (inherited::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  if (GetDroppedDown() || FItems->GetCount() == 0) return false;
  Choose(wheelDelta > 0 ? std::max(0, FItemIndex - 1) : std::min(FItems->GetCount() - 1, FItemIndex + 1));
  return true;
}

void TCustomComboBox::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  if (CanFocus() && !Focused()) SetFocus();
  SetDroppedDown(!GetDroppedDown());
}

void TCustomComboBox::DoEnter() {
  inherited::DoEnter();
  Invalidate();
}

void TCustomComboBox::DoExit() {
  inherited::DoExit();
  Invalidate();
}

void TCustomComboBox::SetDroppedDown(bool value) {
  if (value == GetDroppedDown()) return;
  if (!value) {
    TForm* dropDown = FDropDown;
    FDropDown = nullptr;
    FDropDownList = nullptr;
    dropDown->Free();
    if (HandleAllocated()) Invalidate();
    return;
  }
  if (!HandleAllocated() || FItems->GetCount() == 0) return;
  auto* dropDown = new TForm(nullptr);
  dropDown->AfterConstruction();
  dropDown->SetBorderStyle(bsNone);
  dropDown->SetFormStyle(fsStayOnTop);
  auto* list = new TListBox(dropDown);
  list->SetParent(dropDown);
  list->SetAlign(alClient);
  list->SetFont(GetFont());
  list->GetItems()->Assign(FItems);
  list->SetItemIndex(FItemIndex);
  list->SetOnMouseUp(TMouseEvent(this, &TCustomComboBox::DropDownMouseUp));
  list->SetOnKeyDown(TKeyEvent(this, &TCustomComboBox::DropDownKeyDown));
  const Integer rows = std::max(1, std::min(FDropDownCount, FItems->GetCount()));
  const TPoint corner = ClientToScreen(TPoint{0, GetHeight()});
  dropDown->SetBounds(corner.X, corner.Y, GetWidth(), rows * list->GetItemHeight() + 4);
  dropDown->SetOnDeactivate(TNotifyEvent(this, &TCustomComboBox::DropDownDeactivate));
  FDropDown = dropDown;
  FDropDownList = list;
  dropDown->Show();
  Invalidate();
}

void TCustomComboBox::DropDownMouseUp(TObject* sender, TMouseButton button, TShiftState shift, Integer x, Integer y) {
  if (button != mbLeft || !FDropDownList) return;
  const Integer row = FDropDownList->ItemAtPos(TPoint{x, y}, true);
  SetDroppedDown(false);
  Choose(row);
}

// The open list has the keyboard: Enter chooses its row, Escape and F4 close it.
void TCustomComboBox::DropDownKeyDown(TObject* sender, Word& key, TShiftState shift) {
  if (!FDropDownList) return;
  if (key == VK_RETURN) {
    const Integer row = FDropDownList->GetItemIndex();
    key = 0;
    SetDroppedDown(false);
    Choose(row);
  } else if (key == VK_ESCAPE || key == VK_F4) {
    key = 0;
    SetDroppedDown(false);
  }
}

void TCustomComboBox::DropDownDeactivate(TObject* sender) { SetDroppedDown(false); }

// ---- TScrollBar -------------------------------------------------------------------------------

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
  FControlStyle = {csFramed, csDoubleClicks, csOpaque};
}

void TScrollBar::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  orv::RegisterStandardControls();
  CreateSubClass(params, "SCROLLBAR");
  params.Style |= FKind == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWnd() {
  inherited::CreateWnd();
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMin = FMin;
  si.nMax = FMax;
  si.nPage = UINT(FPageSize);
  si.nPos = FPosition;
  SendMessage(FHandle, SBM_SETSCROLLINFO, 1, reinterpret_cast<LPARAM>(&si));
}

void TScrollBar::SetKind(TScrollBarKind value) {
  if (value == FKind) return;
  FKind = value;
  if (!GetComponentState().Contains(csLoading)) SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
  RecreateWnd();
}

void TScrollBar::SetParams(Integer position, Integer min, Integer max) {
  if (max < min || max < FPageSize) throw EInvalidOperation("Scroll bar property out of range");
  position = std::clamp(position, min, max);
  if (position == FPosition && min == FMin && max == FMax) return;
  const bool moved = position != FPosition;
  FMin = min;
  FMax = max;
  FPosition = position;
  if (HandleAllocated()) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_POS;
    si.nMin = min;
    si.nMax = max;
    si.nPos = position;
    SendMessage(FHandle, SBM_SETSCROLLINFO, 1, reinterpret_cast<LPARAM>(&si));
  }
  if (moved) Change();
}

void TScrollBar::SetPageSize(Integer value) {
  if (value == FPageSize || value > FMax - FMin + 1) return;
  FPageSize = value;
  if (HandleAllocated()) {
    SCROLLINFO si;
    si.fMask = SIF_PAGE;
    si.nPage = UINT(value);
    SendMessage(FHandle, SBM_SETSCROLLINFO, 1, reinterpret_cast<LPARAM>(&si));
  }
}

void TScrollBar::Change() {
  inherited::Changed();
  if (FOnChange) FOnChange(this);
}

void TScrollBar::Scroll(TScrollCode scrollCode, Integer& scrollPos) {
  if (FOnScroll) FOnScroll(this, scrollCode, scrollPos);
}

void TScrollBar::DoScroll(TMessage& message) {
  static constexpr TScrollCode kCodes[] = {scLineUp, scLineDown, scPageUp, scPageDown, scPosition,
                                           scTrack, scTop, scBottom, scEndScroll};
  const WORD code = LOWORD(message.WParam);
  if (code > SB_ENDSCROLL) return;
  Integer pos = FPosition;
  const Integer maxPos = FPageSize > 0 ? FMax - FPageSize + 1 : FMax;
  switch (code) {
    case SB_LINEUP: pos -= FSmallChange; break;
    case SB_LINEDOWN: pos += FSmallChange; break;
    case SB_PAGEUP: pos -= FLargeChange; break;
    case SB_PAGEDOWN: pos += FLargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = SHORT(HIWORD(message.WParam)); break;
    case SB_TOP: pos = FMin; break;
    case SB_BOTTOM: pos = maxPos; break;
    default: break;
  }
  pos = std::clamp(pos, FMin, std::max(FMin, maxPos));
  Scroll(kCodes[code], pos);
  SetPosition(pos);
}

void TScrollBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL: DoScroll(message); return;
    default: break;
  }
  inherited::Dispatch(message);
}

// ---- TCustomGroupBox --------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                   csReplicatable, csParentBackground};
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) {
  inherited::AdjustClientRect(rect);
  GetCanvas()->SetFont(GetFont());
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  rect.Top += tm.tmHeight;
  rect.Left += 1;
  rect.Right -= 1;
  rect.Bottom -= 1;
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(GetFont());
  const Integer th = canvas->TextHeight("0");
  RECT frame{0, th / 2, GetWidth(), GetHeight()};
  canvas->GetBrush()->SetColor(GetColor());
  canvas->FillRect(GetClientRect());
  DrawEdge(canvas->GetHandle(), &frame, EDGE_ETCHED, BF_RECT);
  const AnsiString text = GetText();
  if (text.empty()) return;
  RECT r{8, 0, 0, th};
  DrawText(canvas->GetHandle(), text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
  canvas->GetBrush()->SetColor(GetColor());
  RECT back{r.Left - 2, r.Top, r.Right + 2, r.Bottom};
  FillRect(canvas->GetHandle(), &back, canvas->GetBrush()->GetHandle());
  SetBkMode(canvas->GetHandle(), TRANSPARENT);
  if (!GetEnabled()) SetTextColor(canvas->GetHandle(), ColorToRGB(clGrayText));
  DrawText(canvas->GetHandle(), text.c_str(), int(text.size()), &r, DT_SINGLELINE);
}

void TCustomGroupBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      inherited::Dispatch(message);
      Realign();
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Word(message.WParam), GetCaption()) && CanFocus()) {
        SelectFirst();
        message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  inherited::Dispatch(message);
}

// ---- Form descriptions ------------------------------------------------------------------------

namespace {

const orv::EnumNames<TTextLayout> kTextLayoutNames("TTextLayout", {"tlTop", "tlCenter", "tlBottom"});
const orv::EnumNames<TEditCharCase> kCharCaseNames("TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"});
const orv::EnumNames<TCheckBoxState> kCheckBoxStateNames("TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"});
const orv::EnumNames<TListBoxStyle> kListBoxStyleNames(
    "TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual", "lbVirtualOwnerDraw"});
const orv::EnumNames<TScrollBarKind> kScrollBarKindNames("TScrollBarKind", {"sbHorizontal", "sbVertical"});
const orv::EnumNames<TScrollCode> kScrollCodeNames("TScrollCode", {"scLineUp", "scLineDown", "scPageUp",
                                                                   "scPageDown", "scPosition", "scTrack", "scTop",
                                                                   "scBottom", "scEndScroll"});

// The common set of a windowed standard control.
template <class T>
void PublishWindowed(orv::Published<T>& p, TColor color, bool tabStop, bool parentColor = true) {
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishColor(p, color, parentColor);
  orv::PublishFont(p);
  orv::PublishDrag(p);
  orv::PublishTabs(p, tabStop);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishKeyEvents(p);
}

}  // namespace

ORV_PUBLISH(TCustomLabel) {}

ORV_PUBLISH(TLabel) {
  using T = TLabel;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishCaption(p);
  orv::PublishColor(p, clBtnFace);
  orv::PublishFont(p);
  orv::PublishDrag(p);
  p.Property("Alignment", &T::GetAlignment, &T::SetAlignment).Default(taLeftJustify);
  p.Property("AutoSize", &T::GetAutoSize, &T::SetAutoSize).Default(true);
  p.Property("FocusControl", &T::GetFocusControl, &T::SetFocusControl);
  p.Property("Layout", &T::GetLayout, &T::SetLayout).Default(tlTop);
  p.Property("ShowAccelChar", &T::GetShowAccelChar, &T::SetShowAccelChar).Default(true);
  p.Property("Transparent", &T::GetTransparent, &T::SetTransparent).Default(false);
  p.Property("WordWrap", &T::GetWordWrap, &T::SetWordWrap).Default(false);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  p.Property("OnMouseEnter", &T::GetOnMouseEnter, &T::SetOnMouseEnter);
  p.Property("OnMouseLeave", &T::GetOnMouseLeave, &T::SetOnMouseLeave);
}

ORV_PUBLISH(TButtonControl) {}

ORV_PUBLISH(TButton) {
  using T = TButton;
  PublishWindowed(p, clBtnFace, true, false);
  orv::PublishCaption(p);
  p.Property("Cancel", &T::GetCancel, &T::SetCancel).Default(false);
  p.Property("Default", &T::GetDefault, &T::SetDefault).Default(false);
  p.Property("ModalResult", &T::GetModalResult, &T::SetModalResult).Default(mrNone);
  p.Property("WordWrap", &T::GetWordWrap, &T::SetWordWrap).Default(false);
}

ORV_PUBLISH(TCustomCheckBox) {}

ORV_PUBLISH(TCheckBox) {
  using T = TCheckBox;
  PublishWindowed(p, clBtnFace, true);
  orv::PublishCaption(p);
  p.Property("Alignment", &T::GetAlignment, &T::SetAlignment).Default(taRightJustify);
  p.Property("AllowGrayed", &T::GetAllowGrayed, &T::SetAllowGrayed).Default(false);
  p.Property("Checked", &T::GetChecked, &T::SetChecked).Default(false);
  p.Property("State", &T::GetState, &T::SetState).Default(cbUnchecked);
  p.Property("WordWrap", &T::GetWordWrap, &T::SetWordWrap).Default(false);
}

ORV_PUBLISH(TRadioButton) {
  using T = TRadioButton;
  PublishWindowed(p, clBtnFace, false);
  orv::PublishCaption(p);
  p.Property("Alignment", &T::GetAlignment, &T::SetAlignment).Default(taRightJustify);
  p.Property("Checked", &T::GetChecked, &T::SetChecked).Default(false);
  p.Property("WordWrap", &T::GetWordWrap, &T::SetWordWrap).Default(false);
}

ORV_PUBLISH(TCustomEdit) {}

namespace {

// The edits' common set; the password character is written as a one-character string.
template <class T>
void PublishEdit(orv::Published<T>& p) {
  PublishWindowed(p, clWindow, true, false);
  p.Property("Alignment", &T::GetAlignment, &T::SetAlignment).Default(taLeftJustify);
  p.Property("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle).Default(bsSingle);
  p.Property("CharCase", &T::GetCharCase, &T::SetCharCase).Default(ecNormal);
  p.Property("HideSelection", &T::GetHideSelection, &T::SetHideSelection).Default(true);
  p.Property("MaxLength", &T::GetMaxLength, &T::SetMaxLength).Default(0);
  p.Property("OEMConvert", &T::GetOEMConvert, &T::SetOEMConvert).Default(false);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Default(false);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
}

}  // namespace

ORV_PUBLISH(TEdit) {
  using T = TEdit;
  PublishEdit(p);
  p.Property("AutoSelect", &T::GetAutoSelect, &T::SetAutoSelect).Default(true);
  p.Property("AutoSize", &T::GetAutoSize, &T::SetAutoSize).Default(true);
  p.Property(
      "PasswordChar", [](T* e) { return e->GetPasswordChar() ? AnsiString(1, e->GetPasswordChar()) : AnsiString(); },
      [](T* e, AnsiString value) {
        if (value.size() > 1) throw EConvertError("Invalid property value '" + value + "'");
        e->SetPasswordChar(value.empty() ? char(0) : value[0]);
      });
  p.Property("Text", [](T* e) { return e->GetText(); }, [](T* e, AnsiString value) { e->SetText(value); });
}

ORV_PUBLISH(TCustomMemo) {}

ORV_PUBLISH(TMemo) {
  using T = TMemo;
  PublishEdit(p);
  p.Property("Lines", &T::GetLines);
  p.Property("ScrollBars", &T::GetScrollBars, &T::SetScrollBars).Default(ssNone);
  p.Property("WantReturns", &T::GetWantReturns, &T::SetWantReturns).Default(true);
  p.Property("WantTabs", &T::GetWantTabs, &T::SetWantTabs).Default(false);
  p.Property("WordWrap", &T::GetWordWrap, &T::SetWordWrap).Default(true);
}

ORV_PUBLISH(TCustomListBox) {}

ORV_PUBLISH(TListBox) {
  using T = TListBox;
  PublishWindowed(p, clWindow, true, false);
  p.Property("AutoComplete", &T::GetAutoComplete, &T::SetAutoComplete).Default(true);
  p.Property("BorderStyle", &T::GetBorderStyle, &T::SetBorderStyle).Default(bsSingle);
  p.Property("Columns", &T::GetColumns, &T::SetColumns).Default(0);
  p.Property("ExtendedSelect", &T::GetExtendedSelect, &T::SetExtendedSelect).Default(true);
  p.Property("IntegralHeight", &T::GetIntegralHeight, &T::SetIntegralHeight).Default(false);
  p.Property("ItemHeight", [](T* l) { return l->GetItemHeight(); },
             [](T* l, Integer value) { l->SetItemHeight(value); })
      .Stored([](T* l) { return l->GetStyle() != lbStandard; });
  p.Property("Items", &T::GetItems);
  p.Property("MultiSelect", &T::GetMultiSelect, &T::SetMultiSelect).Default(false);
  p.Property("Sorted", &T::GetSorted, &T::SetSorted).Default(false);
  p.Property("Style", &T::GetStyle, &T::SetStyle).Default(lbStandard);
  p.Property("TabWidth", &T::GetTabWidth, &T::SetTabWidth).Default(0);
  p.Property("OnData", &T::GetOnData, &T::SetOnData);
  p.Property("OnDataFind", &T::GetOnDataFind, &T::SetOnDataFind);
  p.Property("OnDataObject", &T::GetOnDataObject, &T::SetOnDataObject);
  p.Property("OnDrawItem", &T::GetOnDrawItem, &T::SetOnDrawItem);
  p.Property("OnMeasureItem", &T::GetOnMeasureItem, &T::SetOnMeasureItem);
}

ORV_PUBLISH(TScrollBar) {
  using T = TScrollBar;
  PublishWindowed(p, clBtnFace, true);
  p.Property("Kind", &T::GetKind, &T::SetKind).Default(sbHorizontal);
  p.Property("LargeChange", &T::GetLargeChange, &T::SetLargeChange).Default(1);
  p.Property("Max", &T::GetMax, &T::SetMax).Default(100);
  p.Property("Min", &T::GetMin, &T::SetMin).Default(0);
  p.Property("PageSize", &T::GetPageSize, &T::SetPageSize).Default(0);
  p.Property("Position", &T::GetPosition, &T::SetPosition).Default(0);
  p.Property("SmallChange", &T::GetSmallChange, &T::SetSmallChange).Default(1);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnScroll", &T::GetOnScroll, &T::SetOnScroll);
}

ORV_PUBLISH(TCustomGroupBox) {}

ORV_PUBLISH(TGroupBox) {
  PublishWindowed(p, clBtnFace, false);
  orv::PublishCaption(p);
}
