#include "components/editors/cxDropDownEdit.h"

#include <algorithm>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPublished.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/ControlProperties.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

const bool kDropDownEditorsRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxComboBoxProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryComboBoxItem));
  GetEditPropertiesRegistry()->AddClass(TcxPopupEditProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryPopupItem));
  FilterEditsController()->AddHelperClass(TcxComboBoxProperties::StaticClass(),
                                          TcxFilterComboBoxHelper::StaticClass());
  return true;
}();

// Only one popup is resized at a time: the state of that resize.
struct TPopupResizeState {
  Boolean Resizing = false;
  Boolean CursorShown = false;
  Integer GrabX = 0, GrabY = 0;
  Integer SideX = 0, SideY = 0;
  TRect LastFrame{};
  TRect LastNonEmptyFrame{};
};
TPopupResizeState& ResizeState() {
  static TPopupResizeState state;
  return state;
}

constexpr Integer kShadowSize = 3;

Integer SystemPanelMetric() { return std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE)); }

TCursor CursorForSides(Integer horz, Integer vert) {
  if (horz != 0 && vert != 0) return horz == vert ? crSizeNWSE : crSizeNESW;
  if (horz != 0) return crSizeWE;
  if (vert != 0) return crSizeNS;
  return crDefault;
}

// Runs `body` with the flag set, restoring the previous value afterwards (also on an exception).
template <class F>
void WithFlag(Boolean& flag, Boolean value, F&& body) {
  const Boolean saved = flag;
  flag = value;
  try {
    body();
  } catch (...) {
    flag = saved;
    throw;
  }
  flag = saved;
}

}  // namespace

// ==== Drop-down editor properties =============================================================

TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties(TPersistent* owner)
    : TcxCustomMaskEditProperties(owner) {
  GetButtons()->Clear();
  auto* button = static_cast<TcxEditButton*>(GetButtons()->Add());
  button->SetKind(bkDown);
  FGlyphButtonIndex = GetDefaultGlyphButtonIndex();
}

void TcxCustomDropDownEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomDropDownEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetImmediateDropDown(s->FImmediateDropDown);
    SetImmediatePopup(s->FImmediatePopup);
    SetButtonHeldWhileOpen(s->FButtonHeldWhileOpen);
    SetPopupAutoSize(s->FPopupAutoSize);
    SetPopupClientEdge(s->FPopupClientEdge);
    SetPopupOrientation(s->FPopupOrientation);
    SetPopupMinHeight(s->FPopupMinHeight);
    SetPopupMinWidth(s->FPopupMinWidth);
    SetPopupHeight(s->FPopupHeight);
    SetPopupHorzPlacement(s->FPopupHorzPlacement);
    SetPopupSizeable(s->FPopupSizeable);
    SetPopupSysPanelStyle(s->FPopupSysPanelStyle);
    SetPopupVertPlacement(s->FPopupVertPlacement);
    SetPopupWidth(s->FPopupWidth);
    SetPostPopupValueOnTab(s->FPostPopupValueOnTab);
    SetOnPopupClosed(s->GetOnPopupClosed());
    FOnCloseQuery = s->FOnCloseQuery;
    FOnCloseUp = s->FOnCloseUp;
    FOnInitPopup = s->FOnInitPopup;
    FOnPopup = s->FOnPopup;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

orv::ClassOf<TcxCustomEditPopupWindow> TcxCustomDropDownEditProperties::GetPopupWindowClass() {
  return TcxCustomEditPopupWindow::StaticClass();
}

TcxCustomEditClass TcxCustomDropDownEditProperties::GetEditClass() { return TcxCustomDropDownEdit::StaticClass(); }

TcxCustomEditViewDataClass TcxCustomDropDownEditProperties::GetViewDataClass() {
  return TcxCustomDropDownEditViewData::StaticClass();
}

TBitmap* TcxCustomDropDownEditProperties::GetButtonGlyph() {
  if (FGlyphButtonIndex < 0 || FGlyphButtonIndex >= GetButtons()->GetCount()) return nullptr;
  return static_cast<TcxEditButton*>(GetButtons()->GetItem(FGlyphButtonIndex))->GetGlyph();
}

void TcxCustomDropDownEditProperties::SetButtonGlyph(TBitmap* value) {
  if (FGlyphButtonIndex < 0 || FGlyphButtonIndex >= GetButtons()->GetCount()) return;
  auto* button = static_cast<TcxEditButton*>(GetButtons()->GetItem(FGlyphButtonIndex));
  button->SetGlyph(value);
  const Boolean empty = !value || value->GetEmpty();
  if (!empty)
    button->SetKind(bkGlyph);
  else if (button->GetKind() == bkGlyph)
    button->SetKind(bkDown);
}

void TcxCustomDropDownEditProperties::SetGlyphButtonIndex(Integer value) {
  if (value == FGlyphButtonIndex) return;
  TBitmap* glyph = GetButtonGlyph();
  if (value >= 0 && value < GetButtons()->GetCount() && glyph && !glyph->GetEmpty()) {
    auto* button = static_cast<TcxEditButton*>(GetButtons()->GetItem(value));
    button->SetGlyph(glyph);
    button->SetKind(bkGlyph);
    static_cast<TcxEditButton*>(GetButtons()->GetItem(FGlyphButtonIndex))->SetGlyph(nullptr);
  }
  FGlyphButtonIndex = value;
}

void TcxCustomDropDownEditProperties::SetButtonHeldWhileOpen(Boolean value) {
  if (value == FButtonHeldWhileOpen) return;
  FButtonHeldWhileOpen = value;
  Changed();
}

TAlignment TcxCustomDropDownEditProperties::GetPopupAlignment() const {
  switch (FPopupHorzPlacement) {
    case pahCenter: return taCenter;
    case pahRight: return taRightJustify;
    default: return taLeftJustify;
  }
}

void TcxCustomDropDownEditProperties::SetPopupAlignment(TAlignment value) {
  const TcxPopupAlignHorz placement =
      value == taCenter ? pahCenter : (value == taRightJustify ? pahRight : pahLeft);
  if (placement == FPopupHorzPlacement) return;
  FPopupHorzPlacement = placement;
  Changed();
}

void TcxCustomDropDownEditProperties::SetPopupClientEdge(Boolean value) {
  if (value == FPopupClientEdge) return;
  FPopupClientEdge = value;
  Changed();
}

void TcxCustomDropDownEditProperties::SetPopupHeight(Integer value) {
  if (value < FPopupMinHeight) value = FPopupMinHeight;
  FPopupHeight = value;
}

void TcxCustomDropDownEditProperties::SetPopupMinHeight(Integer value) {
  FPopupMinHeight = std::max(value, 0);
  SetPopupHeight(FPopupHeight);
}

void TcxCustomDropDownEditProperties::SetPopupMinWidth(Integer value) {
  FPopupMinWidth = std::max(value, 0);
  SetPopupWidth(FPopupWidth);
}

void TcxCustomDropDownEditProperties::SetPopupWidth(Integer value) {
  if (value < 0) value = 0;
  if (value > 0 && value < FPopupMinWidth) value = FPopupMinWidth;
  FPopupWidth = value;
}

void TcxCustomDropDownEditProperties::SetPopupSizeable(Boolean value) {
  if (value == FPopupSizeable) return;
  FPopupSizeable = value;
  Changed();
}

void TcxCustomDropDownEditProperties::SetPopupSysPanelStyle(Boolean value) {
  if (value == FPopupSysPanelStyle) return;
  FPopupSysPanelStyle = value;
  Changed();
}

// ==== Popup look and feel, inner edit, view data ==============================================

TcxEditPopupControlLookAndFeel::TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* edit)
    : TcxLookAndFeel(edit), FEdit(edit) {
  FSyncedKind = GetEffectiveKind();
  FSyncedNativeStyle = GetEffectiveNativeStyle();
}

TcxLookAndFeelKind TcxEditPopupControlLookAndFeel::GetEffectiveKind() const {
  if (!FEdit) return lfStandard;
  if (FEdit->IsInplace()) return FEdit->GetStyle()->GetLookAndFeel()->GetKind();
  TcxCustomEditViewInfo* viewInfo = FEdit->GetEditViewInfo();
  if (!viewInfo || viewInfo->GetButtonCount() == 0) return lfStandard;
  switch (viewInfo->GetButton(0)->Style) {
    case btsFlat:
    case btsSimple:
    case btsHotFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

Boolean TcxEditPopupControlLookAndFeel::GetEffectiveNativeStyle() const {
  TcxCustomEditViewInfo* viewInfo = FEdit ? FEdit->GetEditViewInfo() : nullptr;
  return viewInfo && viewInfo->NativeStyle;
}

void TcxEditPopupControlLookAndFeel::SyncWithEditor() {
  TcxLookAndFeelValues changed;
  const TcxLookAndFeelKind kind = GetEffectiveKind();
  const Boolean native = GetEffectiveNativeStyle();
  if (kind != FSyncedKind) changed.Include(lfvKind);
  if (native != FSyncedNativeStyle) changed.Include(lfvNativeStyle);
  FSyncedKind = kind;
  FSyncedNativeStyle = native;
  if (!changed.Empty()) {
    RefreshCurrentState();
    Changed(changed);
  }
}

void TcxCustomDropDownInnerEdit::Dispatch(TMessage& message) {
  if (message.Msg == CM_HINTSHOW) {
    inherited::Dispatch(message);
    if (auto* edit = dynamic_cast<TcxCustomDropDownEdit*>(GetEdit()))
      if (edit->HasOpenPopup()) message.Result = 1;
    return;
  }
  inherited::Dispatch(message);
}

void TcxCustomDropDownEditViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds,
                                                      Boolean isMouseEvent, TcxCustomEditViewInfo* viewInfo,
                                                      TShiftState shift, Integer button, const TPoint& mousePos) {
  auto* properties = static_cast<TcxCustomDropDownEditProperties*>(Properties);
  ButtonHeldWhileOpen = properties->GetButtonHeldWhileOpen();
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  auto* textViewInfo = static_cast<TcxCustomTextEditViewInfo*>(viewInfo);
  textViewInfo->PopupIsOpen = PopupOpen;
  auto* edit = dynamic_cast<TcxCustomTextEdit*>(Edit);
  textViewInfo->SelectionBarShown = properties->GetEditingStyle() == 2 && !viewInfo->InplaceView &&
                                    viewInfo->IsFocused && !viewInfo->IsTransparentView && !PopupOpen &&
                                    !(edit && properties->GetKeepFixedListPrefix() && edit->GetIncrementalSearchShown());
}

Boolean TcxCustomDropDownEditViewData::CanPressButton(TcxCustomEditViewInfo* viewInfo, Integer index) {
  auto* properties = static_cast<TcxCustomDropDownEditProperties*>(Properties);
  return !(index == properties->GetDefaultGlyphButtonIndex() && HotWhileOpen);
}

Boolean TcxCustomDropDownEditViewData::IsButtonHeldDown(TcxCustomEditViewInfo* viewInfo, Integer index) {
  if (inherited::IsButtonHeldDown(viewInfo, index)) return true;
  if (!Edit || !(PopupOpen || HotWhileOpen)) return false;
  auto* properties = static_cast<TcxCustomDropDownEditProperties*>(Properties);
  return index == properties->GetDefaultGlyphButtonIndex() && ButtonHeldWhileOpen;
}

// ==== Drop-down editor ========================================================================

void TcxCustomDropDownEdit::Initialize() {
  inherited::Initialize();
  if (!GetComponentState().Contains(csDesigning)) CreatePopupWindow();
  FPopupLookAndFeel = new TcxEditPopupControlLookAndFeel(this);
  FPopupLookAndFeel->SetOnChanged(
      TcxLookAndFeelChangedEvent(this, &TcxCustomDropDownEdit::PopupLookAndFeelChanged));
}

void TcxCustomDropDownEdit::BeforeDestruction() {
  if (FPopupWindow) {
    CancelPendingShow();
    if (FPopupWindow->IsVisible()) {
      FPopupWindow->SetOnClosed({});
      FPopupWindow->CloseUp();
    }
  }
  inherited::BeforeDestruction();
}

TcxCustomDropDownEdit::~TcxCustomDropDownEdit() {
  FreeAndNil(FPopupWindow);
  FreeAndNil(FPopupLookAndFeel);
}

TcxCustomEditPropertiesClass TcxCustomDropDownEdit::GetPropertiesClass() {
  return TcxCustomDropDownEditProperties::StaticClass();
}

TClass TcxCustomDropDownEdit::GetInnerEditClass() { return TcxCustomDropDownInnerEdit::StaticClass(); }

TcxCustomEditDataClass TcxCustomDropDownEdit::GetEditDataClass() { return TcxCustomDropDownEditData::StaticClass(); }

void TcxCustomDropDownEdit::InitializeEditData() {
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(GetEditData());
  if (!data) return;
  data->PopupSizeChanged = false;
  data->PopupWidth = DropDownProperties()->GetPopupWidth();
  data->PopupHeight = DropDownProperties()->GetPopupHeight();
}

void TcxCustomDropDownEdit::CreatePopupWindow() {
  FPopupWindow = static_cast<TcxCustomEditPopupWindow*>(DropDownProperties()->GetPopupWindowClass().Create(this));
  FPopupWindow->SetCaptureFocus(DropDownProperties()->PopupTakesFocus());
  FPopupWindow->GetStyle()->GetLookAndFeel()->SetMaster(GetStyle()->GetLookAndFeel());
  FPopupWindow->SetOnClosed(TNotifyEvent(this, &TcxCustomDropDownEdit::PopupWindowClosed));
  FPopupWindow->SetOnCloseQuery(TCloseQueryEvent(this, &TcxCustomDropDownEdit::PopupWindowCloseQuery));
  FPopupWindow->SetOnClosing(TNotifyEvent(this, &TcxCustomDropDownEdit::PopupWindowClosing));
  FPopupWindow->SetOnShown(TNotifyEvent(this, &TcxCustomDropDownEdit::PopupWindowShowed));
  FPopupWindow->SetOnShowing(TNotifyEvent(this, &TcxCustomDropDownEdit::PopupWindowShowing));
}

Boolean TcxCustomDropDownEdit::HasOpenPopup() { return FPopupWindow && FPopupWindow->IsVisible(); }

bool TcxCustomDropDownEdit::Focused() { return inherited::Focused() || HasOpenPopup(); }

Boolean TcxCustomDropDownEdit::IsShowPending() {
  if (!FPopupWindow || !FPopupWindow->HandleAllocated()) return false;
  MSG msg;
  return PeekMessage(&msg, FPopupWindow->GetHandle(), CM_SHOWPOPUPWINDOW, CM_SHOWPOPUPWINDOW, PM_NOREMOVE);
}

void TcxCustomDropDownEdit::ChangeDropState(Boolean open) {
  if (open == HasOpenPopup()) return;
  if (!open) {
    CloseUp(dcrOther);
    return;
  }
  if (!IsShowPending()) DropDown();
}

void TcxCustomDropDownEdit::CancelPendingShow() {
  if (!FPopupWindow || !FPopupWindow->HandleAllocated()) return;
  MSG msg;
  if (PeekMessage(&msg, FPopupWindow->GetHandle(), CM_SHOWPOPUPWINDOW, CM_SHOWPOPUPWINDOW, PM_REMOVE))
    PopupWindowClosed(FPopupWindow);
}

TRect TcxCustomDropDownEdit::GetPopupOwnerBounds() {
  TRect r{0, 0, GetWidth(), GetHeight()};
  if (IsInplace()) {
    // The host's cell, when it gave one, is what the popup opens beside.
    const TRect cell = GetBoundsRect();
    r = TRect{0, 0, cell.Width(), cell.Height()};
  } else {
    r = GetHotTrackArea();
  }
  if (GetEditViewInfo()->Shadow) r.Right += kShadowSize;
  r.Left += GetLeft();
  r.Right += GetLeft();
  r.Top += GetTop();
  r.Bottom += GetTop();
  return r;
}

void TcxCustomDropDownEdit::DropDown() {
  if (!HandleAllocated() || !IsWindowVisible(GetHandle())) return;
  DoInitPopup();
  if (!CanDropDown()) {
    FinalizePopup();
    return;
  }
  SetupPopupWindow();
  FPopupWindow->HandleNeeded();
  // The focus target travels with the show message: the window opens with it.
  TWinControl* focusTarget = GetPopupFocusedControl();
  PostMessage(FPopupWindow->GetHandle(), CM_SHOWPOPUPWINDOW, 0, reinterpret_cast<LPARAM>(focusTarget));
}

void TcxCustomDropDownEdit::DoInitPopup() {
  if (FPopupInitialized) return;
  FPopupInitialized = true;
  try {
    TcxCustomDropDownEditProperties* own = static_cast<TcxCustomDropDownEditProperties*>(GetProperties());
    if (own->GetOnInitPopup()) own->GetOnInitPopup()(this);
    if (GetRepositoryItem() && DropDownProperties() != own && DropDownProperties()->GetOnInitPopup())
      DropDownProperties()->GetOnInitPopup()(this);
    if (TextProperties()->UseLookupData() && GetLookupDataInterface()) GetLookupDataInterface()->InitializePopup();
  } catch (...) {
    FPopupInitialized = false;
    throw;
  }
}

void TcxCustomDropDownEdit::PlaceLookupListInPopup() {
  if (!FPopupWindow || GetComponentState().Contains(csDesigning)) return;
  if (TextProperties()->UseLookupData() && GetLookupDataInterface() && TextProperties()->ShowsLookupListInPopup())
    GetLookupDataInterface()->PrepareList(FPopupWindow);
}

void TcxCustomDropDownEdit::ApplyPopupWindowProperties() {
  TcxCustomDropDownEditProperties* p = DropDownProperties();
  TcxCustomEditPopupWindow* w = FPopupWindow;
  w->SetOwnerParent(GetParent());
  w->SetDirection(p->GetPopupOrientation());
  w->SetAlignHorz(p->GetPopupHorzPlacement());
  w->SetAlignVert(p->GetPopupVertPlacement());
  w->SetHasClientEdge(p->GetPopupClientEdge());
  w->SetMinHeight(p->GetPopupMinHeight());
  w->SetMinWidth(p->GetPopupMinWidth());
  w->SetAutoSizeContent(p->GetPopupAutoSize());
  w->SetSizeable(p->GetPopupSizeable());
  w->SetHasSysPanel(p->GetPopupSysPanelStyle());
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(GetEditData());
  if (IsInplace() && p->GetPopupSizeable() && data) {
    w->SetRequestedWidth(data->PopupWidth);
    w->SetRequestedHeight(data->PopupHeight);
  } else {
    w->SetRequestedWidth(p->GetPopupWidth());
    w->SetRequestedHeight(p->GetPopupHeight());
  }
  w->SetShowsCloseButton(GetActiveEditStyle()->GetShowPopupCloseButton());
  w->SetFrameStyle(GetEditViewInfo()->PopupFrameStyle);
  w->SetNativeStyle(GetEditViewInfo()->NativeStyle);
  w->SetShowsShadow(GetEditViewInfo()->Shadow);
}

void TcxCustomDropDownEdit::SetupPopupWindow() {
  FPopupWindow->SetCaptureFocus(DropDownProperties()->PopupTakesFocus());
  PlaceLookupListInPopup();
  ApplyPopupWindowProperties();
  TPoint position;
  FPopupWindow->SetCalculating(true);
  try {
    FPopupWindow->CalculateSize();
    FPopupWindow->CalculatePosition(position);
    if (DropDownProperties()->PopupMustFitWorkArea()) FPopupWindow->FitToWorkArea(position);
  } catch (...) {
    FPopupWindow->SetCalculating(false);
    throw;
  }
  FPopupWindow->SetCalculating(false);
  FPopupWindow->SetBounds(position.X, position.Y, FPopupWindow->GetWidth(), FPopupWindow->GetHeight());
  FPopupWindow->CalculateViewInfo();
  PositionPopupContent(FPopupWindow->GetPopupViewInfo()->ClientRect);
}

TWinControl* TcxCustomDropDownEdit::GetPopupFocusedControl() {
  if (TextProperties()->UseLookupData() && GetLookupDataInterface() && TextProperties()->ShowsLookupListInPopup() &&
      DropDownProperties()->PopupTakesFocus())
    return GetLookupDataInterface()->GetListControl();
  return GetInnerEdit() ? GetInnerEdit()->GetControl() : nullptr;
}

void TcxCustomDropDownEdit::PositionPopupContent(const TRect& rect) {
  if (TextProperties()->UseLookupData() && GetLookupDataInterface()) GetLookupDataInterface()->SetListBounds(rect);
}

void TcxCustomDropDownEdit::PopupWindowShowed(TObject* sender) {
  RefreshStateAtCursor(false);
  FPopupWindow->CalculateViewInfo();
  PositionPopupContent(FPopupWindow->GetPopupViewInfo()->ClientRect);
  DoPopup();
  RefreshFocusDependentText();
  if (TextProperties()->UseLookupData() && GetLookupDataInterface() && GetIncrementalSearchShown() &&
      DropDownProperties()->GetImmediateDropDown() && DropDownProperties()->PopupTakesFocus()) {
    const Integer caret = GetInnerTextEdit() ? GetInnerTextEdit()->GetSelStart() : 0;
    GetLookupDataInterface()->SyncListWithText(GetText().substr(0, std::size_t(std::max(caret, 0))));
  }
  FPopupResizedWhileOpen = false;
}

void TcxCustomDropDownEdit::DoPopup() {
  FCloseReason = dcrOther;
  auto* own = static_cast<TcxCustomDropDownEditProperties*>(GetProperties());
  if (own->GetOnPopup()) own->GetOnPopup()(this);
  if (GetRepositoryItem() && DropDownProperties() != own && DropDownProperties()->GetOnPopup())
    DropDownProperties()->GetOnPopup()(this);
}

void TcxCustomDropDownEdit::CloseUp(TcxDropDownCloseReason reason) {
  if (!HasOpenPopup()) return;
  if (FCloseReason == dcrOther) FCloseReason = reason;
  orv::TObjectLinkGuard guard(this);
  LockChangeEvents(true);
  try {
    if (reason == dcrTab || reason == dcrToggle || reason == dcrAccept) {
      IcxTextEditLookupData* data = TextProperties()->UseLookupData() ? GetLookupDataInterface() : nullptr;
      Variant oldKey;
      if (data) oldKey = data->GetKey();
      auto compareKeys = [&] {
        if (data && GetModifiedAfterEnter() && !AreVariantsEqual(data->GetKey(), oldKey)) MarkModifiedAndClick();
      };
      if (data) {
        LockClick(true);
        try {
          data->ConfirmItem();
        } catch (...) {
          LockClick(false);
          compareKeys();
          throw;
        }
        LockClick(false);
        compareKeys();
      }
      if (!DropDownProperties()->DefersPostUntilClosed() && GetEffectiveProperties()->GetImmediatePost() &&
          CanPostEditValue())
        PostEditValue(true);
    }
  } catch (...) {
    if (guard.Alive()) LockChangeEvents(false, true);
    throw;
  }
  LockChangeEvents(false, true);
  if (guard.Alive() && FPopupWindow) FPopupWindow->CloseUp();
}

void TcxCustomDropDownEdit::PopupWindowClosed(TObject* sender) {
  TcxCustomDropDownEditProperties* p = DropDownProperties();
  if (p->GetPopupSizeable() && FPopupResizedWhileOpen) {
    auto* data = dynamic_cast<TcxCustomDropDownEditData*>(GetEditData());
    if (IsInplace() && data) {
      data->PopupSizeChanged = true;
      data->PopupWidth = FPopupWindow->GetWidth();
      data->PopupHeight = FPopupWindow->GetHeight();
    } else {
      p->SetPopupWidth(FPopupWindow->GetWidth());
      p->SetPopupHeight(FPopupWindow->GetHeight());
    }
  }
  orv::TObjectLinkGuard guard(this);
  FinalizePopup();
  if (!guard.Alive()) return;
  if (TextProperties()->GetEditingStyle() == 2) RefreshStateAtCursor(false);
  DoCloseUp();
  if (!guard.Alive()) return;
  LockChangeEvents(true);
  try {
    if (p->DefersPostUntilClosed() && GetEffectiveProperties()->GetImmediatePost() && CanPostEditValue() &&
        ValidateEditValue(true))
      PostEditValue(false);
  } catch (...) {
    if (guard.Alive()) LockChangeEvents(false, true);
    throw;
  }
  LockChangeEvents(false, true);
  if (!guard.Alive()) return;
  if (HandleAllocated())
    RefreshStateAtCursor(false);
  else
    FHotWhileOpen = false;
}

void TcxCustomDropDownEdit::FinalizePopup() {
  if (!FPopupInitialized) return;
  FPopupInitialized = false;
  if (TextProperties()->UseLookupData() && GetLookupDataInterface() && !GetComponentState().Contains(csLoading))
    GetLookupDataInterface()->ClosePopupList();
  auto* own = static_cast<TcxCustomDropDownEditProperties*>(GetProperties());
  if (own->GetOnFinalizePopup()) own->GetOnFinalizePopup()(this);
  if (GetRepositoryItem() && DropDownProperties() != own && DropDownProperties()->GetOnFinalizePopup())
    DropDownProperties()->GetOnFinalizePopup()(this);
}

void TcxCustomDropDownEdit::DoCloseUp() {
  orv::TObjectLinkGuard guard(this);
  FireOnCloseUp(Integer(FCloseReason));
  if (!guard.Alive()) return;
  auto* own = static_cast<TcxCustomDropDownEditProperties*>(GetProperties());
  if (own->GetOnCloseUp()) own->GetOnCloseUp()(this);
  if (!guard.Alive()) return;
  if (GetRepositoryItem() && DropDownProperties() != own && DropDownProperties()->GetOnCloseUp())
    DropDownProperties()->GetOnCloseUp()(this);
}

void TcxCustomDropDownEdit::PopupWindowCloseQuery(TObject* sender, bool& canClose) {
  auto* own = static_cast<TcxCustomDropDownEditProperties*>(GetProperties());
  if (own->GetOnCloseQuery()) own->GetOnCloseQuery()(this, canClose);
  if (GetRepositoryItem() && DropDownProperties() != own && DropDownProperties()->GetOnCloseQuery())
    DropDownProperties()->GetOnCloseQuery()(this, canClose);
}

void TcxCustomDropDownEdit::HandlePropertiesChange(TObject* sender) {
  if (!DropDownProperties()->GetPopupSizeable()) FPopupSizeChanged = false;
  if (HasOpenPopup()) SetupPopupWindow();
  inherited::HandlePropertiesChange(sender);
}

void TcxCustomDropDownEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  const Boolean alt = shift.Contains(ssAlt);
  if ((alt && (key == VK_UP || key == VK_DOWN)) || (key == VK_F4 && !alt)) {
    if (HasOpenPopup())
      CloseUp(dcrToggle);
    else
      ChangeDropState(true);
    key = 0;
    return;
  }
  if ((key == VK_RETURN || key == VK_ESCAPE) && !alt && HasOpenPopup()) {
    SetKeyClosedPopup(true);
    orv::TObjectLinkGuard guard(this);
    const Boolean wasUserChange = GetUserChangeInProgress();
    SetUserChangeInProgress(true);
    try {
      if (key == VK_RETURN && DoEditing())
        CloseUp(dcrAccept);
      else
        CloseUp(dcrCancel);
    } catch (...) {
      if (guard.Alive()) SetUserChangeInProgress(wasUserChange);
      throw;
    }
    if (!guard.Alive()) return;
    SetUserChangeInProgress(wasUserChange);
    if (!HasOpenPopup()) {
      if (key == VK_ESCAPE) SetCaptureControl(nullptr);
      key = 0;
    }
    return;
  }
  inherited::DoEditKeyDown(key, shift);
}

void TcxCustomDropDownEdit::DoEditKeyPress(char& key) {
  TcxCustomDropDownEditProperties* p = DropDownProperties();
  if (Byte(key) >= 32 && p->GetImmediateDropDown() && !HasOpenPopup()) {
    orv::TObjectLinkGuard guard(this);
    ChangeDropState(true);
    if (!guard.Alive()) return;
    if (p->PopupTakesFocus() && key != '\r' && CanDropDown() && GetPopupFocusedControl() && FPopupWindow &&
        FPopupWindow->HandleAllocated()) {
      PostMessage(FPopupWindow->GetHandle(), DXM_POPUPSENDCHAR, WPARAM(Byte(key)), 0);
      key = 0;
      return;
    }
  }
  inherited::DoEditKeyPress(key);
}

void TcxCustomDropDownEdit::HandleTabKey(TShiftState shift) {
  if (HasOpenPopup() && DropDownProperties()->GetPostPopupValueOnTab()) CloseUp(dcrTab);
  inherited::HandleTabKey(shift);
}

Boolean TcxCustomDropDownEdit::WantsTabKey() {
  return inherited::WantsTabKey() || (HasOpenPopup() && DropDownProperties()->GetPostPopupValueOnTab());
}

Boolean TcxCustomDropDownEdit::IsClickKey(Word key, TShiftState shift) {
  if (inherited::IsClickKey(key, shift)) return true;
  return IsInplace() && HasOpenPopup() && (shift.Contains(ssAlt) || shift.Contains(ssCtrl) || IsSpecialKey(key));
}

Boolean TcxCustomDropDownEdit::IsLookupNavigationAllowed(Boolean forWheel) {
  if (IsInnerEditPending()) return false;
  if (IsInplace() && IsActivated() && !HasOpenPopup() && !forWheel) return false;
  return true;
}

void TcxCustomDropDownEdit::DoButtonDown(Integer index) {
  inherited::DoButtonDown(index);
  if (index == DropDownProperties()->GetDefaultGlyphButtonIndex()) ChangeDropState(true);
}

void TcxCustomDropDownEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  inherited::MouseDown(button, shift, x, y);
  if (!guard.Alive() || button != mbLeft) return;
  if (DropDownProperties()->IsDropDownOnClick() && !HasOpenPopup() && !FHotWhileOpen && CanFocus() &&
      !FActivatingByMouse && IsPointInRect(GetEditViewInfo()->ClientRect, TPoint{x, y}))
    ChangeDropState(true);
}

Boolean TcxCustomDropDownEdit::RefreshViewState(const TPoint& point, Integer button, Boolean isMouseEvent,
                                                TShiftState shift) {
  orv::TObjectLinkGuard guard(this);
  const Boolean result = inherited::RefreshViewState(point, button, isMouseEvent, shift);
  if (!guard.Alive()) return false;
  TcxCustomEditViewInfo* viewInfo = GetEditViewInfo();
  // Only a press (the button down): the release of the click that opened it comes here too when
  // the editor draws its value itself and the text area is the editor's own.
  if (HasOpenPopup() && viewInfo->ContainerState.Contains(csActive) && isMouseEvent && button == 1 &&
      shift.Contains(ssLeft) && viewInfo->PressedButtonIndex < 0 && IsPointInRect(viewInfo->ClientRect, point) &&
      DropDownProperties()->IsDropDownOnClick()) {
    // A press into the text area of a list that opened by a click closes it again.
    CloseUp(dcrOther);
    if (!guard.Alive()) return false;
  }
  // Not while the left button is held down: a click that closed the popup (through the outside
  // click) must not press the drop-down button and open it again.
  if (isMouseEvent && !(button == 1 && shift.Contains(ssLeft)))
    FHotWhileOpen = HasOpenPopup() && viewInfo->ContainerState.Contains(csHotTrack);
  if (FPopupLookAndFeel) FPopupLookAndFeel->SyncWithEditor();
  return result;
}

bool TcxCustomDropDownEdit::DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) {
  orv::TObjectLinkGuard guard(this);
  if (inherited::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  if (!guard.Alive()) return true;
  IcxTextEditLookupData* data = GetLookupDataInterface();
  if (!IsLookupNavigationAllowed(true) || !HasOpenPopup() || !TextProperties()->UseLookupData() || !data ||
      data->IsListEmpty())
    return false;
  if (TWinControl* list = data->GetListControl())
    if (list->HandleAllocated())
      SendMessage(list->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, Word(SmallInt(wheelDelta))),
                  MAKELPARAM(Word(SmallInt(mousePos.X)), Word(SmallInt(mousePos.Y))));
  return true;
}

void TcxCustomDropDownEdit::FocusChanged() {
  orv::TObjectLinkGuard guard(this);
  inherited::FocusChanged();
  if (!guard.Alive() || !FPopupWindow || DropDownProperties()->PopupTakesFocus()) return;
  IcxCustomInnerEdit* inner = GetInnerEdit();
  const Boolean innerFocused = inner && inner->GetControl()->HandleAllocated() &&
                               GetFocus() == inner->GetControl()->GetHandle();
  if (!innerFocused && !(HandleAllocated() && GetFocus() == GetHandle())) CloseUp(dcrOther);
}

void TcxCustomDropDownEdit::DoExit() {
  orv::TObjectLinkGuard guard(this);
  CloseUp(dcrOther);
  if (guard.Alive()) inherited::DoExit();
}

void TcxCustomDropDownEdit::DestroyWnd() {
  if (FPopupWindow) {
    CloseUp(dcrOther);
    CancelPendingShow();
    FinalizePopup();
    if (FPopupWindow->HandleAllocated()) FPopupWindow->DestroyPopupHandle();
  }
  inherited::DestroyWnd();
}

void TcxCustomDropDownEdit::CreateHandle() {
  inherited::CreateHandle();
  PlaceLookupListInPopup();
}

void TcxCustomDropDownEdit::PasteFromClipboard() {
  if (!Focused()) {
    inherited::PasteFromClipboard();
    return;
  }
  const Boolean wasUserChange = GetUserChangeInProgress();
  SetUserChangeInProgress(true);
  const AnsiString before = GetText();
  orv::TObjectLinkGuard guard(this);
  try {
    inherited::PasteFromClipboard();
  } catch (...) {
    if (guard.Alive()) SetUserChangeInProgress(wasUserChange);
    throw;
  }
  if (!guard.Alive()) return;
  SetUserChangeInProgress(wasUserChange);
  if (GetText() != before && DropDownProperties()->GetImmediateDropDown() && !HasOpenPopup()) {
    DropDown();
    if (guard.Alive() && TextProperties()->UseLookupData() && HandleAllocated())
      PostMessage(GetHandle(), DXM_SYNCLOOKUPWITHTEXT, 0, 0);
  }
}

void TcxCustomDropDownEdit::SyncLookupWithText() {
  if (!HasOpenPopup()) return;
  IcxTextEditLookupData* data = GetLookupDataInterface();
  if (!data) return;
  const Variant oldKey = data->GetKey();
  LockClick(true);
  try {
    data->SyncWithEditText();
  } catch (...) {
    LockClick(false);
    throw;
  }
  LockClick(false);
  if (!AreVariantsEqual(data->GetKey(), oldKey)) MarkModifiedAndClick();
  const Integer style = TextProperties()->GetEditingStyle();
  if (style == 0) {
    const Integer caret = GetInnerTextEdit() ? GetInnerTextEdit()->GetSelStart() : 0;
    SetIncrementalSearchShown(Integer(GetText().size()) == caret && data->ContainsText(GetText()));
  } else if (style == 2) {
    SetIncrementalSearchShown(true);
  }
}

void TcxCustomDropDownEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case DXM_SYNCLOOKUPWITHTEXT: SyncLookupWithText(); return;
    case CM_HINTSHOW:
      inherited::Dispatch(message);
      if (HasOpenPopup()) message.Result = 1;
      return;
    default: break;
  }
  inherited::Dispatch(message);
}

void TcxCustomDropDownEdit::Activate(TcxCustomEditData*& editData) {
  inherited::Activate(editData);
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(editData);
  FPopupSizeChanged = data && data->PopupSizeChanged && DropDownProperties()->GetPopupSizeable();
  if (DropDownProperties()->GetImmediatePopup()) DropDown();
}

Boolean TcxCustomDropDownEdit::PassesActivationKey(char key) {
  if (!DropDownProperties()->GetImmediateDropDown()) return true;
  return !(DropDownProperties()->PopupTakesFocus() && key != '\r');
}

void TcxCustomDropDownEdit::ActivateByKey(char key, TcxCustomEditData*& editData) {
  orv::TObjectLinkGuard guard(this);
  inherited::ActivateByKey(key, editData);
  if (!guard.Alive()) return;
  TcxCustomDropDownEditProperties* p = DropDownProperties();
  if (Byte(key) >= 32 && p->GetImmediateDropDown() && !p->GetImmediatePopup() && !PassesActivationKey(key))
    DropDown();
  if (guard.Alive() && !PassesActivationKey(key) && CanDropDown() && GetPopupFocusedControl() &&
      FPopupWindow->HandleAllocated())
    PostMessage(FPopupWindow->GetHandle(), DXM_POPUPSENDCHAR, WPARAM(Byte(key)), 0);
}

void TcxCustomDropDownEdit::ActivateByMouse(TShiftState shift, Integer x, Integer y,
                                            TcxCustomEditData*& editData) {
  WithFlag(FActivatingByMouse, true, [&] { inherited::ActivateByMouse(shift, x, y, editData); });
}

Boolean TcxCustomDropDownEdit::Deactivate() {
  orv::TObjectLinkGuard guard(this);
  CloseUp(dcrOther);
  if (!guard.Alive()) return true;
  if (auto* data = dynamic_cast<TcxCustomDropDownEditData*>(GetEditData())) data->PopupSizeChanged = FPopupSizeChanged;
  const Boolean result = inherited::Deactivate();
  if (guard.Alive()) CancelPendingShow();
  return result;
}

void TcxCustomDropDownEdit::InitializeViewData(TcxCustomEditViewData* viewData) {
  inherited::InitializeViewData(viewData);
  if (auto* data = dynamic_cast<TcxCustomDropDownEditViewData*>(viewData)) {
    data->PopupOpen = HasOpenPopup();
    data->HotWhileOpen = FHotWhileOpen;
  }
}

TcxContainerStyleValues TcxCustomDropDownEdit::GetUnstoredStyleValues() {
  TcxContainerStyleValues values = inherited::GetUnstoredStyleValues();
  for (int v = 10; v <= 13; ++v) values.Exclude(TcxContainerStyleValue(v));
  return values;
}

// ==== Editor popup window: view info ==========================================================

Integer TcxCustomEditPopupWindowViewInfo::OuterFrameWidth() {
  if (NativeStyle) return 1;
  static constexpr Integer widths[] = {0, 1, 4, 2};
  return widths[FrameStyle];
}

Integer TcxCustomEditPopupWindowViewInfo::ClientEdgeWidth() {
  if (NativeStyle) return 2;
  static constexpr Integer widths[] = {0, 2, 2, 1};
  return widths[FrameStyle];
}

Integer TcxCustomEditPopupWindowViewInfo::GetSysPanelHeight() {
  const Integer a = SystemPanelMetric();
  return MinSysPanelHeight > 0 && MinSysPanelHeight > a ? MinSysPanelHeight : a;
}

void TcxCustomEditPopupWindowViewInfo::GetBorderExtents(TRect& extents) {
  const Integer w = OuterFrameWidth() + (HasClientEdge ? ClientEdgeWidth() : 0);
  extents = TRect{w, w, w, w};
  if (ShowsShadow) {
    extents.Right += kShadowSize;
    extents.Bottom += kShadowSize;
  }
  if (HasSysPanel) {
    const Integer extra = GetSysPanelHeight() + (NativeStyle || FrameStyle == epbsSingle ? 1 : 0);
    if (GripCorner >= 2)
      extents.Bottom += extra;
    else
      extents.Top += extra;
  }
}

void TcxCustomEditPopupWindowViewInfo::CalculateLayout() {
  TRect e;
  GetBorderExtents(e);
  SysPanelHeight = HasSysPanel ? GetSysPanelHeight() : 0;
  SizingBorderWidth = SystemPanelMetric();
  const TRect b{0, 0, Bounds.Width(), Bounds.Height()};
  ClientRect = TRect{b.Left + e.Left, b.Top + e.Top, b.Right - e.Right, b.Bottom - e.Bottom};
  const Integer inset = OuterFrameWidth() + (HasSysPanel ? 0 : (HasClientEdge ? ClientEdgeWidth() : 0));
  PanelAreaRect = TRect{b.Left + inset, b.Top + inset, b.Right - inset, b.Bottom - inset};
  if (ShowsShadow) {
    PanelAreaRect.Right -= kShadowSize;
    PanelAreaRect.Bottom -= kShadowSize;
  }
  GripRect = GripHitRect = CloseButtonRect = TRect{};
  if (!HasSysPanel) return;
  const Integer a = SystemPanelMetric();
  const Integer s = a - 2;
  const Boolean left = GripCorner == 0 || GripCorner == 2;
  const Boolean top = GripCorner <= 1;
  if (Sizeable) {
    const TRect& p = PanelAreaRect;
    GripHitRect.Left = left ? p.Left : p.Right - s;
    GripHitRect.Right = GripHitRect.Left + s;
    GripHitRect.Top = top ? p.Top : p.Bottom - s;
    GripHitRect.Bottom = GripHitRect.Top + s;
    GripRect = GripHitRect;
    if (left)
      GripRect.Left += 2;
    else
      GripRect.Right -= 2;
    if (top)
      GripRect.Top += 2;
    else
      GripRect.Bottom -= 2;
  }
  if (ShowsCloseButton) {
    const Integer side = a - 4;
    const TRect& p = PanelAreaRect;
    // The close button sits at the end of the panel away from the grip.
    if (GripCorner == 1 || GripCorner == 3)
      CloseButtonRect.Left = p.Left + 1 + 2;
    else
      CloseButtonRect.Left = p.Right - 1 - 2 - side;
    CloseButtonRect.Right = CloseButtonRect.Left + side;
    CloseButtonRect.Top = top ? p.Top + 2 : p.Bottom - 2 - side;
    CloseButtonRect.Bottom = CloseButtonRect.Top + side;
  }
}

Boolean TcxCustomEditPopupWindowViewInfo::HitTestSizingArea(const TPoint& point, Integer& horz, Integer& vert) {
  horz = vert = 0;
  if (!Sizeable) return false;
  const TRect b{0, 0, Bounds.Width(), Bounds.Height()};
  if (!IsPointInRect(b, point)) return false;
  if (IsPointInRect(PanelAreaRect, point) && !IsPointInRect(GripHitRect, point)) return false;
  if (IsPointInRect(GripHitRect, point)) {
    horz = GripCorner == 0 || GripCorner == 2 ? -1 : 1;
    vert = GripCorner <= 1 ? -1 : 1;
    return true;
  }
  const Boolean gripLeft = GripCorner == 0 || GripCorner == 2;
  const Boolean gripTop = GripCorner <= 1;
  if (point.X < SizingBorderWidth && gripLeft) horz = -1;
  if (point.X >= b.Right - SizingBorderWidth && !gripLeft) horz = 1;
  if (point.Y < SizingBorderWidth && gripTop) vert = -1;
  if (point.Y >= b.Bottom - SizingBorderWidth && !gripTop) vert = 1;
  return true;
}

void TcxCustomEditPopupWindowViewInfo::DrawPopupBorder(TcxCanvas* canvas, TRect& rect) {
  if (NativeStyle || FrameStyle == epbsSingle) {
    canvas->DrawBorderLines(rect, clBtnText, 1, cxBordersAll);
    rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    return;
  }
  if (FrameStyle == epbsFrame3D || FrameStyle == epbsFlat) {
    canvas->Draw3DEdge(rect, false, true);
    rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    canvas->Draw3DEdge(rect, false, false);
    rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    if (FrameStyle == epbsFrame3D) {
      canvas->DrawBorderLines(rect, HasClientEdge ? clInactiveBorder : clBtnFace, 1, cxBordersAll);
      rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
      if (HasClientEdge)
        canvas->DrawBorderLines(rect, clBtnFace, 1, cxBordersAll);
      else
        canvas->Draw3DEdge(rect, true, false);
      rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    }
  }
}

void TcxCustomEditPopupWindowViewInfo::DrawGrip(TcxCanvas* canvas) {
  // The system draws the grip for the bottom-right corner; it is mirrored into the grip corner.
  const Integer w = GripRect.Width(), h = GripRect.Height();
  HDC dc = canvas->GetHandle();
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  {
    TcxCanvas grip(memory);
    grip.FillRect(TRect{0, 0, w, h}, clBtnFace);
  }
  RECT r{0, 0, w, h};
  DrawFrameControl(memory, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  const Boolean flipX = GripCorner == 0 || GripCorner == 2, flipY = GripCorner <= 1;
  StretchBlt(dc, flipX ? GripRect.Right : GripRect.Left, flipY ? GripRect.Bottom : GripRect.Top,
             flipX ? -w : w, flipY ? -h : h, memory, 0, 0, w, h, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

void TcxCustomEditPopupWindowViewInfo::DoPaint(TcxCanvas* canvas) {
  TRect r{0, 0, Bounds.Width(), Bounds.Height()};
  if (ShowsShadow) {
    const TRect shadowRight{r.Right - kShadowSize, r.Top + kShadowSize, r.Right, r.Bottom};
    const TRect shadowBottom{r.Left + kShadowSize, r.Bottom - kShadowSize, r.Right, r.Bottom};
    canvas->FillRect(shadowRight, clBtnShadow);
    canvas->FillRect(shadowBottom, clBtnShadow);
    r.Right -= kShadowSize;
    r.Bottom -= kShadowSize;
  }
  DrawPopupBorder(canvas, r);
  if (HasSysPanel) {
    // The panel: the part of the frame's inside that the client area leaves.
    TRect panel = PanelAreaRect;
    if (GripCorner >= 2)
      panel.Top = ClientRect.Bottom + (HasClientEdge ? ClientEdgeWidth() : 0);
    else
      panel.Bottom = ClientRect.Top - (HasClientEdge ? ClientEdgeWidth() : 0);
    canvas->FillRect(panel, clBtnFace);
    if (FrameStyle == epbsSingle) {
      const Integer y = GripCorner >= 2 ? panel.Top : panel.Bottom - 1;
      canvas->FillRect(TRect{panel.Left, y, panel.Right, y + 1}, clBtnText);
    }
    if (!RectIsEmpty(GripRect)) DrawGrip(canvas);
    if (!RectIsEmpty(CloseButtonRect)) {
      if (Painter) Painter->DrawFilterBoxCloseButton(canvas, CloseButtonRect, CloseButtonState);
    }
  }
  if (HasClientEdge) {
    const Integer w = ClientEdgeWidth();
    TRect edge{ClientRect.Left - w, ClientRect.Top - w, ClientRect.Right + w, ClientRect.Bottom + w};
    canvas->Draw3DEdge(edge, true, true);
    if (w > 1) {
      edge = TRect{edge.Left + 1, edge.Top + 1, edge.Right - 1, edge.Bottom - 1};
      canvas->Draw3DEdge(edge, true, false);
    }
  }
  canvas->FillRect(ClientRect, clBtnFace);
}

// ==== Editor popup window =====================================================================

TcxCustomEditPopupWindow::TcxCustomEditPopupWindow(TControl* ownerControl) : TcxCustomPopupWindow(ownerControl) {
  SetPopupBorderStyle(pbsNone);
  // The window's releases are its close button's and grip's: a release that made a click would
  // not reach MouseUp.
  TControlStyle style = GetControlStyle();
  style.Exclude(csClickEvents);
  SetControlStyle(style);
}

void TcxCustomEditPopupWindow::BeforeDestruction() {
  if (ResizeState().Resizing && GetCapture() && HandleAllocated() && GetCapture() == GetHandle()) {
    ResizeState().Resizing = false;
    ReleaseCapture();
  }
  FreeAndNil(FSizeFrame);
  inherited::BeforeDestruction();
}

orv::ClassOf<TcxContainerViewInfo> TcxCustomEditPopupWindow::GetViewInfoClass() {
  return TcxCustomEditPopupWindowViewInfo::StaticClass();
}

void TcxCustomEditPopupWindow::SetFrameStyle(TcxEditPopupBorderStyle value) {
  FFrameStyle = value;
  GetPopupViewInfo()->FrameStyle = value;
}

void TcxCustomEditPopupWindow::SetHasClientEdge(Boolean value) {
  FHasClientEdge = value;
  GetPopupViewInfo()->HasClientEdge = value;
}

void TcxCustomEditPopupWindow::SetShowsCloseButton(Boolean value) {
  FShowsCloseButton = value;
  GetPopupViewInfo()->ShowsCloseButton = value;
}

void TcxCustomEditPopupWindow::SetNativeStyle(Boolean value) {
  FNativeStyle = value;
  GetPopupViewInfo()->NativeStyle = value;
}

void TcxCustomEditPopupWindow::SetShowsShadow(Boolean value) {
  FShowsShadow = value;
  GetPopupViewInfo()->ShowsShadow = value;
}

void TcxCustomEditPopupWindow::SetSizeable(Boolean value) {
  FSizeable = value;
  GetPopupViewInfo()->Sizeable = value;
}

void TcxCustomEditPopupWindow::SetHasSysPanel(Boolean value) {
  FHasSysPanel = value;
  GetPopupViewInfo()->HasSysPanel = value;
}

void TcxCustomEditPopupWindow::SetMinSysPanelHeight(Integer value) { GetPopupViewInfo()->MinSysPanelHeight = value; }

Boolean TcxCustomEditPopupWindow::IsResizing() const { return ResizeState().Resizing; }

Boolean TcxCustomEditPopupWindow::MustFitWorkArea() {
  TcxCustomDropDownEdit* edit = OwnerEditor();
  return edit && edit->DropDownProperties()->PopupMustFitWorkArea();
}

void TcxCustomEditPopupWindow::GetMinimalSize(TSize& size) {
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  const TRect e = vi->GetPopupClientExtent();
  size = TSize{e.Left + e.Right, e.Top + e.Bottom};
  if (FSizeable && FHasSysPanel) size.cx += (SystemPanelMetric() - 4) + (SystemPanelMetric() - 2) + 10;
}

void TcxCustomEditPopupWindow::CalculateSize() {
  TcxCustomDropDownEdit* edit = OwnerEditor();
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  vi->GripCorner = 3;
  const TRect owner = edit->GetPopupOwnerBounds();
  SetOwnerBounds(owner);
  const TRect e = vi->GetPopupClientExtent();
  TSize m;
  GetMinimalSize(m);
  TSize c;
  edit->GetPopupContentSize(c);
  Integer w = FAutoSizeContent ? e.Left + e.Right + c.cx : (FRequestedWidth != 0 ? FRequestedWidth : owner.Width());
  if (FSizeable && FMinWidth > 0) w = std::max(w, FMinWidth);
  w = std::max<Integer>(w, m.cx);
  Integer h;
  if (FAutoSizeContent)
    h = e.Top + e.Bottom + c.cy;
  else
    h = FRequestedHeight > 0 ? FRequestedHeight : std::max<Integer>(m.cy, FMinHeight);
  if (FSizeable && FMinHeight > 0) h = std::max(h, FMinHeight);
  h = std::max<Integer>(h, m.cy);
  SetWidth(w);
  SetHeight(h);
}

void TcxCustomEditPopupWindow::CalculatePosition(TPoint& position) {
  TcxCustomDropDownEdit* edit = OwnerEditor();
  SetOwnerBounds(edit->GetPopupOwnerBounds());
  inherited::CalculatePosition(position);
  const TRect o = GetOwnerScreenBounds();
  const Integer w = GetWidth(), h = GetHeight();
  const TRect a = GetWorkAreaAtPoint(position);
  const Integer x = position.X, y = position.Y;
  const Boolean leftwards = (GetAlignHorz() == pahRight && x + w == o.Right && a.Left < x) || x + w == o.Left ||
                            (x + w == a.Right && x < o.Right);
  const Boolean upwards = (GetAlignVert() == pavBottom && y + h == o.Bottom && a.Top < y) || y + h == o.Top ||
                          (y + h == a.Bottom && y < o.Bottom);
  Integer corner = 3;
  if (leftwards && upwards)
    corner = 0;
  else if (upwards)
    corner = 1;
  else if (leftwards)
    corner = 2;
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  vi->GripCorner = corner;
  if (FShowsShadow && upwards) position.Y += kShadowSize;
}

void TcxCustomEditPopupWindow::CalculateViewInfo() {
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  vi->Bounds = TRect{0, 0, GetWidth(), GetHeight()};
  vi->CalculateLayout();
  if (TcxCustomDropDownEdit* edit = OwnerEditor())
    if (edit->GetPopupLookAndFeel()) {
      vi->LookAndFeelKind = edit->GetPopupLookAndFeel()->GetKind();
      vi->Painter = edit->GetPopupLookAndFeel()->CurrentPainter();
    }
}

void TcxCustomEditPopupWindow::RefreshContent() {
  TcxCustomDropDownEdit* edit = OwnerEditor();
  SetOwnerBounds(edit->GetPopupOwnerBounds());
  CalculateViewInfo();
  edit->PositionPopupContent(GetPopupViewInfo()->ClientRect);
  Invalidate();
  Update();
}

void TcxCustomEditPopupWindow::ApplyUserSize(Integer left, Integer top, Integer width, Integer height) {
  TcxCustomDropDownEdit* edit = OwnerEditor();
  edit->SetPopupSizeChanged(true);
  edit->SetPopupResizedWhileOpen(true);
  SetBounds(left, top, width, height);
  RefreshContent();
}

TSize TcxCustomEditPopupWindow::GetMaxVisualAreaSize() {
  TcxCustomDropDownEdit* edit = OwnerEditor();
  SetOwnerBounds(edit->GetPopupOwnerBounds());
  const TRect o = GetOwnerScreenBounds();
  const TRect a = GetWorkAreaAtPoint(TPoint{o.Left, o.Top});
  const TRect e = GetPopupViewInfo()->GetPopupClientExtent();
  const Integer shadow = FShowsShadow ? kShadowSize : 0;
  TSize s;
  if (GetDirection() == pdVertical) {
    s.cx = a.Width();
    s.cy = std::max(a.Bottom - o.Bottom, o.Top - a.Top) + shadow;
  } else {
    s.cx = std::max(a.Right - o.Right, o.Left - a.Left) + shadow + 1;
    s.cy = a.Height();
  }
  s.cx -= e.Left + e.Right;
  s.cy -= e.Top + e.Bottom;
  return s;
}

bool TcxCustomEditPopupWindow::CanResize(Integer& newWidth, Integer& newHeight) {
  if (FCalculating || !FSizeable || (newWidth == GetWidth() && newHeight == GetHeight())) return true;
  TSize m;
  GetMinimalSize(m);
  newWidth = std::max<Integer>(newWidth, std::max<Integer>(m.cx, FMinWidth));
  newHeight = std::max<Integer>(newHeight, std::max<Integer>(m.cy, FMinHeight));
  if (newWidth == GetWidth() && newHeight == GetHeight()) return true;
  TcxCustomDropDownEdit* edit = OwnerEditor();
  IcxTextEditLookupData* data = edit ? edit->GetLookupDataInterface() : nullptr;
  if (!data || !edit->TextProperties()->UseLookupData() || !edit->TextProperties()->ShowsLookupListInPopup())
    return true;
  const TRect e = GetPopupViewInfo()->GetPopupClientExtent();
  TSize content{newWidth - e.Left - e.Right, newHeight - e.Top - e.Bottom};
  const TSize max = GetMaxVisualAreaSize();
  if (data->AdjustListSize(content, max.cy, max.cx)) {
    newWidth = std::max<Integer>(content.cx + e.Left + e.Right, m.cx);
    newHeight = std::max<Integer>(content.cy + e.Top + e.Bottom, m.cy);
  } else {
    newWidth = GetWidth();
    newHeight = GetHeight();
  }
  return true;
}

void TcxCustomEditPopupWindow::NotifyClosed() {
  ResizeState().Resizing = false;
  ResizeState().CursorShown = false;
  inherited::NotifyClosed();
}

void TcxCustomEditPopupWindow::NotifyClosing() {
  inherited::NotifyClosing();
  ShowSizeFrame(TRect{});
}

void TcxCustomEditPopupWindow::CloseOnModalResult() {
  TcxCustomDropDownEdit* edit = OwnerEditor();
  if (!edit) {
    CloseUp();
    return;
  }
  switch (GetModalResult()) {
    case mrOk: edit->CloseUp(dcrAccept); break;
    case mrCancel: edit->CloseUp(dcrCancel); break;
    default: edit->CloseUp(dcrOther); break;
  }
}

void TcxCustomEditPopupWindow::Popup(TWinControl* focusedControl) {
  // An owner that went out of sight while the show was queued: the opening ends unshown.
  if (!IsOwnerControlVisible())
    if (TcxCustomDropDownEdit* edit = OwnerEditor()) edit->FinalizePopup();
  inherited::Popup(focusedControl);
}

void TcxCustomEditPopupWindow::SendCharToFocusedControl(char c) {
  HWND focus = GetFocus();
  if (focus) SendMessage(focus, WM_CHAR, WPARAM(Byte(c)), 0);
}

void TcxCustomEditPopupWindow::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_SHOWPOPUPWINDOW:
      // The editor names the focus target in lParam.
      Popup(message.LParam ? reinterpret_cast<TWinControl*>(message.LParam) : GetFocusedControl());
      return;
    case DXM_POPUPSENDCHAR:
      if (GetVisible()) SendCharToFocusedControl(char(message.WParam));
      return;
    case WM_MOUSEACTIVATE:
      // A popup that leaves the focus in its editor is not activated by a click either.
      if (!GetCaptureFocus()) {
        message.Result = MA_NOACTIVATE;
        return;
      }
      break;
    default: break;
  }
  inherited::Dispatch(message);
}

void TcxCustomEditPopupWindow::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (FNativeStyle && IsDesktopCompositionEnabled()) params.WindowClass.style |= 0x20000;
}

void TcxCustomEditPopupWindow::Resize() {
  inherited::Resize();
  if (!HandleAllocated() || FNativeStyle) return;
  TRect outer{0, 0, GetWidth(), GetHeight()};
  TRect excluded{};
  if (FShowsShadow) {
    outer.Right -= kShadowSize;
    outer.Bottom -= kShadowSize;
    if (GetPopupViewInfo()->GripCorner <= 1 && OwnerEditor()) {
      const TRect o = GetOwnerScreenBounds();
      const TPoint tl = ScreenToClient(TPoint{o.Left, o.Top});
      excluded = TRect{tl.X, GetHeight() - kShadowSize, tl.X + o.Width() - kShadowSize, GetHeight()};
    }
  }
  ApplyWindowRegion(GetHandle(), outer, TRect{}, false, FShowsShadow, excluded);
}

void TcxCustomEditPopupWindow::Paint() {
  CalculateViewInfo();
  TcxCanvas* canvas = GetCanvas();
  GetPopupViewInfo()->DoPaint(canvas);
}

void TcxCustomEditPopupWindow::SetResizeCursor(Integer horz, Integer vert) {
  const TCursor cursor = CursorForSides(horz, vert);
  if (cursor != crDefault) {
    SetCursor(cursor);
    ResizeState().CursorShown = true;
  } else if (ResizeState().CursorShown) {
    SetCursor(crDefault);
    ResizeState().CursorShown = false;
  }
}

void TcxCustomEditPopupWindow::ShowSizeFrame(const TRect& rect) {
  TPopupResizeState& state = ResizeState();
  state.LastFrame = rect;
  if (!RectIsEmpty(rect)) state.LastNonEmptyFrame = rect;
  if (RectIsEmpty(rect)) {
    if (FSizeFrame) FSizeFrame->SetShowing(false);
    return;
  }
  if (!FSizeFrame) FSizeFrame = new TcxSizeFrame(2);
  FSizeFrame->SetFrameRect(rect);
  FSizeFrame->SetShowing(true);
}

void TcxCustomEditPopupWindow::RepaintCloseButton() {
  if (HandleAllocated()) {
    const TRect r = GetPopupViewInfo()->CloseButtonRect;
    RECT rr = r;
    InvalidateRect(GetHandle(), &rr, FALSE);
  }
}

void TcxCustomEditPopupWindow::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  const TPoint p{x, y};
  if (IsPointInRect(vi->CloseButtonRect, p)) {
    // The release comes back here wherever it happens: only a release on the button closes.
    if (HandleAllocated()) SetCapture(GetHandle());
    if (vi->CloseButtonState != cxbsPressed) {
      vi->CloseButtonState = cxbsPressed;
      RepaintCloseButton();
    }
    return;
  }
  Integer horz = 0, vert = 0;
  if (!vi->HitTestSizingArea(p, horz, vert) || (horz == 0 && vert == 0)) return;
  TPopupResizeState& state = ResizeState();
  state.SideX = horz;
  state.SideY = vert;
  state.GrabX = horz < 0 ? x : GetWidth() - x;
  state.GrabY = vert < 0 ? y : GetHeight() - y;
  state.Resizing = true;
  SetCapture(GetHandle());
  SetResizeCursor(horz, vert);
  ShowSizeFrame(GetBoundsRect());
}

void TcxCustomEditPopupWindow::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  TPopupResizeState& state = ResizeState();
  const TPoint p{x, y};
  if (!state.Resizing) {
    const Boolean over = IsPointInRect(vi->CloseButtonRect, p);
    if (!over && vi->CloseButtonState != cxbsNormal) {
      vi->CloseButtonState = cxbsNormal;
      RepaintCloseButton();
    } else if (over && vi->CloseButtonState == cxbsNormal && !shift.Contains(ssLeft) && !shift.Contains(ssShift)) {
      vi->CloseButtonState = cxbsHot;
      RepaintCloseButton();
    }
    Integer horz = 0, vert = 0;
    vi->HitTestSizingArea(p, horz, vert);
    SetResizeCursor(horz, vert);
    return;
  }
  // Edges move by the mouse less the grab offset; the edges next to the editor stay.
  Integer dx = 0, dy = 0;
  if (state.SideX < 0) dx = x - state.GrabX;
  if (state.SideX > 0) dx = x - (GetWidth() - state.GrabX);
  if (state.SideY < 0) dy = y - state.GrabY;
  if (state.SideY > 0) dy = y - (GetHeight() - state.GrabY);
  const Boolean onGrip = IsPointInRect(vi->GripHitRect, p);
  if (x < GetWidth() && state.SideX > 0 && dx > 0 && !onGrip) dx = 0;
  if (y < GetHeight() && state.SideY > 0 && dy > 0 && !onGrip) dy = 0;
  TRect r = GetBoundsRect();
  if (state.SideX < 0) r.Left += dx;
  if (state.SideX > 0) r.Right += dx;
  if (state.SideY < 0) r.Top += dy;
  if (state.SideY > 0) r.Bottom += dy;
  Integer w = r.Width(), h = r.Height();
  if (!CanResize(w, h) || (w == GetWidth() && h == GetHeight())) return;
  const TRect b = GetBoundsRect();
  r = TRect{state.SideX < 0 ? b.Right - w : b.Left, state.SideY < 0 ? b.Bottom - h : b.Top, 0, 0};
  r.Right = r.Left + w;
  r.Bottom = r.Top + h;
  const TRect o = GetOwnerScreenBounds();
  if (r.Left > o.Right - 1) r.Left = o.Right - 1;
  if (r.Right < o.Left + 1) r.Right = o.Left + 1;
  TPoint screen = ClientToScreen(p);
  const TRect a = GetWorkAreaAtPoint(screen);
  r.Left = std::max(r.Left, a.Left);
  r.Top = std::max(r.Top, a.Top);
  r.Right = std::min(r.Right, a.Right);
  r.Bottom = std::min(r.Bottom, a.Bottom);
  if (r != state.LastFrame) ShowSizeFrame(r);
}

void TcxCustomEditPopupWindow::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseUp(button, shift, x, y);
  if (button != mbLeft) return;
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  TPopupResizeState& state = ResizeState();
  if (state.Resizing) {
    ReleaseCapture();
    state.Resizing = false;
    const TRect r = state.LastNonEmptyFrame;
    ShowSizeFrame(TRect{});
    if (!RectIsEmpty(r)) ApplyUserSize(r.Left, r.Top, r.Width(), r.Height());
    Integer horz = 0, vert = 0;
    vi->HitTestSizingArea(TPoint{x, y}, horz, vert);
    SetResizeCursor(horz, vert);
    return;
  }
  if (vi->CloseButtonState == cxbsPressed) {
    if (HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
    if (IsPointInRect(vi->CloseButtonRect, TPoint{x, y})) {
      orv::TObjectLinkGuard self(this);
      if (CloseQuery() && OwnerEditor()) OwnerEditor()->CloseUp(dcrOther);
      if (!self.Alive()) return;
      vi->CloseButtonState = IsVisible() ? cxbsHot : cxbsNormal;
    } else {
      vi->CloseButtonState = cxbsNormal;
    }
    RepaintCloseButton();
  }
}

void TcxCustomEditPopupWindow::MouseLeave(TControl* control) {
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  if (vi->CloseButtonState != cxbsNormal) {
    vi->CloseButtonState = cxbsNormal;
    RepaintCloseButton();
  }
  SetCursor(crDefault);
  ResizeState().CursorShown = false;
}

// ==== Combo box ===============================================================================

TcxCustomComboBoxListBox::TcxCustomComboBoxListBox(TComponent* owner) : TcxCustomEditListBox(owner) {
  SetStyle(lbOwnerDrawVariable);
}

void TcxCustomComboBoxListBox::Dispatch(TMessage& message) {
  TcxCustomComboBox* combo = ComboBox();
  switch (message.Msg) {
    case WM_MOUSEACTIVATE:
      message.Result = MA_NOACTIVATE;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The editor keeps the keyboard focus: the press only tracks and selects.
      if (combo && !combo->DropDownProperties()->PopupTakesFocus() && HandleAllocated()) {
        SetCapture(GetHandle());
        const Integer item = ItemAtPos(TPoint{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)}, true);
        if (item >= 0 && item != GetItemIndex()) SetItemIndex(item);
        message.Result = 0;
        return;
      }
      break;
    case WM_MOUSEMOVE:
      if (combo && HandleAllocated() && GetCapture() == GetHandle() && (message.WParam & MK_LBUTTON)) {
        // Dragging with the button held selects the row under the mouse.
        const Integer item = ItemAtPos(TPoint{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)}, true);
        if (item >= 0 && item != GetItemIndex()) SetItemIndex(item);
      }
      break;
    default: break;
  }
  inherited::Dispatch(message);
}

TcxCustomComboBox* TcxCustomComboBoxListBox::ComboBox() const { return dynamic_cast<TcxCustomComboBox*>(GetEdit()); }

Boolean TcxCustomComboBoxListBox::DoDrawItem(Integer index, const TRect& rect, TOwnerDrawState state) {
  TcxCustomComboBox* combo = ComboBox();
  if (!combo || !combo->HasCustomDrawItem()) return false;
  combo->FireDrawItem(GetCanvas(), index, rect, state);
  return true;
}

AnsiString TcxCustomComboBoxListBox::GetItemText(Integer index) {
  TcxCustomComboBox* combo = ComboBox();
  return combo && combo->GetLookupData() ? combo->GetLookupData()->GetItem(index) : inherited::GetItemText(index);
}

Integer TcxCustomComboBoxListBox::GetItemHeight(Integer index) {
  TcxCustomComboBox* combo = ComboBox();
  Integer h = combo && combo->ComboProperties()->GetItemHeight() > 0 ? combo->ComboProperties()->GetItemHeight()
                                                                    : inherited::GetItemHeight(index);
  if (combo && index >= 0 && combo->HasCustomMeasureItem()) combo->FireMeasureItem(index, GetCanvas(), h);
  return h;
}

Integer TcxCustomComboBoxListBox::GetRowsHeight(Integer count) {
  TcxCustomComboBox* combo = ComboBox();
  if (!combo || !combo->HasCustomMeasureItem()) return count * GetItemHeight(-1);
  Integer h = 0;
  for (Integer i = 0; i < count; ++i) h += GetItemHeight(i);
  return h;
}

void TcxCustomComboBoxListBox::RecalculateItems() {
  TcxCustomComboBox* combo = ComboBox();
  SetItemHeight(GetItemHeight(-1));
  // A change between measured and fixed rows changes how the native list holds them (items or
  // only a count): the row count carries over.
  const Integer count = GetCount();
  SetStyle(combo && combo->HasCustomMeasureItem() ? lbOwnerDrawVariable : lbOwnerDrawFixed);
  SetItemCount(count);
}

void TcxCustomComboBoxListBox::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxCustomComboBox* combo = ComboBox();
  if (combo && combo->GetSkipNextListMouseMove()) {
    combo->SetSkipNextListMouseMove(false);
    return;
  }
  inherited::MouseMove(shift, x, y);
}

void TcxCustomComboBoxListBox::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  orv::TObjectLinkGuard guard(this);
  inherited::MouseUp(button, shift, x, y);
  if (!guard.Alive() || button != mbLeft) return;
  if (HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
  const Integer item = ItemAtPos(TPoint{x, y}, true);
  if (item < 0) return;
  SetCaptureControl(nullptr);
  SetItemIndex(item);
  if (TcxCustomComboBox* combo = ComboBox()) combo->CloseUp(dcrAccept);
}

TcxCustomEditListBoxClass TcxComboBoxLookupData::GetListBoxClass() { return TcxComboBoxListBox::StaticClass(); }

void TcxComboBoxLookupData::DoPrepareList(TWinControl* parent) {
  inherited::DoPrepareList(parent);
  auto* edit = dynamic_cast<TcxCustomDropDownEdit*>(OwnerEditor());
  if (TcxCustomEditListBox* list = GetListBox())
    if (edit && edit->GetPopupLookAndFeel()) list->GetLookAndFeel()->SetMaster(edit->GetPopupLookAndFeel());
}

Integer TcxComboBoxLookupData::GetWidestItemWidth(TcxCustomEditListBox* list) {
  TFont* font = list->GetFont();
  const Integer n = GetItemCount();
  const AnsiString fontKey = font->GetName() + "/" + IntToStr(font->GetHeight()) + "/" +
                             IntToStr(Integer(font->GetStyle().Bits()));
  if (FWidestItemWidth >= 0 && FWidestItemCount == n && FWidestItemFont == fontKey) return FWidestItemWidth;
  // The font is chosen once for all items: choosing it per item costs more than measuring.
  TcxScreenCanvas* canvas = GetScreenCanvas();
  canvas->SetCanvasFont(font);
  Integer width = 0;
  for (Integer i = 0; i < n; ++i) width = std::max(width, canvas->TextWidthOf(list->GetItemText(i)));
  FWidestItemWidth = width;
  FWidestItemCount = n;
  FWidestItemFont = fontKey;
  return width;
}

void TcxComboBoxLookupData::UpdateListItemCount() {
  FWidestItemWidth = -1;
  inherited::UpdateListItemCount();
}

TSize TcxComboBoxLookupData::GetListPreferredSizeFor(Integer maxHeight, Integer maxWidth) {
  TcxCustomEditListBox* list = GetListBox();
  if (!list) return TSize{0, 0};
  const Integer n = GetItemCount();
  const Integer rows = std::min(TextProperties()->GetDropDownRowCount(), n);
  TSize size{0, list->GetRowsHeight(rows)};
  size.cx = GetWidestItemWidth(list) + 4;
  list->SetScrollWidth(size.cx);
  if (TextProperties()->GetDropDownRowCount() < n || (maxHeight > 0 && maxHeight < size.cy))
    size.cx += GetSystemMetrics(SM_CXVSCROLL);
  if (maxWidth > 0 && maxWidth < size.cx) size.cy += GetSystemMetrics(SM_CYHSCROLL);
  return size;
}

Boolean TcxComboBoxLookupData::DoAdjustListSize(TSize& size, Integer maxHeight, Integer maxWidth) {
  TcxCustomEditListBox* list = GetListBox();
  if (!list) return true;
  if (size.cx == list->GetWidth() && size.cy == list->GetHeight()) return true;
  const Integer n = GetItemCount();
  const Integer vbar = GetSystemMetrics(SM_CXVSCROLL), hbar = GetSystemMetrics(SM_CYHSCROLL);
  const Integer scrollWidth = list->GetScrollWidth();
  auto candidate = [&](Integer sum, Boolean moreRows) {
    const Integer textWidth = size.cx - (moreRows ? vbar : 0);
    return sum + ((scrollWidth > textWidth || (maxWidth > 0 && size.cx > maxWidth)) ? hbar : 0);
  };
  Integer sum = 0, h = 0, shown = 0;
  for (Integer i = 0; i < n; ++i) {
    const Integer next = sum + list->GetItemHeight(i);
    const Integer c = candidate(next, i + 1 < n);
    if (c == size.cy && (maxHeight == 0 || c <= maxHeight)) {
      h = c;
      shown = i + 1;
      break;
    }
    if (c > size.cy || (maxHeight > 0 && c > maxHeight)) {
      if ((maxHeight > 0 && c > maxHeight) || size.cy >= list->GetHeight()) {
        h = i > 0 ? candidate(sum, true) : c;
        shown = i > 0 ? i : 1;
      } else {
        h = c;
        shown = i + 1;
      }
      break;
    }
    sum = next;
    h = c;
    shown = i + 1;
  }
  size.cy = n == 0 ? 0 : h;
  if (shown < n) {
    size.cx = std::max(size.cx, vbar);
    if (scrollWidth > size.cx - vbar) size.cx += 0;
  }
  return true;
}

TcxCustomComboBoxProperties::TcxCustomComboBoxProperties(TPersistent* owner)
    : TcxCustomDropDownEditProperties(owner) {}

void TcxCustomComboBoxProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomComboBoxProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetDropDownListStyle(s->FDropDownListStyle);
    SetDropDownRows(s->FDropDownRows);
    SetItemHeight(s->FItemHeight);
    FRevertable = s->FRevertable;
    FOnDrawItem = s->FOnDrawItem;
    FOnMeasureItem = s->FOnMeasureItem;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomComboBoxProperties::SetDropDownListStyle(TcxEditDropDownListStyle value) {
  if (value == FDropDownListStyle) return;
  FDropDownListStyle = value;
  Changed();
}

void TcxCustomComboBoxProperties::SetDropDownRows(Integer value) {
  if (value < 1 || value == FDropDownRows) return;
  FDropDownRows = value;
  Changed();
}

void TcxCustomComboBoxProperties::SetItemHeight(Integer value) {
  if (value == FItemHeight) return;
  FItemHeight = value;
  Changed();
}

TcxCustomEditClass TcxCustomComboBoxProperties::GetEditClass() { return TcxComboBox::StaticClass(); }

TcxCustomEditViewDataClass TcxCustomComboBoxProperties::GetViewDataClass() {
  return TcxCustomComboBoxViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomComboBoxProperties::GetViewInfoClass() {
  return TcxCustomComboBoxViewInfo::StaticClass();
}

void TcxCustomComboBoxViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                                  TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                                  const TPoint& mousePos) {
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  auto* info = dynamic_cast<TcxCustomComboBoxViewInfo*>(viewInfo);
  if (!info) return;
  auto* properties = static_cast<TcxCustomComboBoxProperties*>(Properties);
  auto* combo = dynamic_cast<TcxCustomComboBox*>(Edit);
  if (combo) {
    info->DrawItemIndex = properties->GetDropDownListStyle() == lsFixedList && combo->HasCustomDrawItem()
                              ? combo->GetItemIndexProperty()
                              : -1;
  }
  info->CustomDrawsText = info->DrawItemIndex != -1;
  info->UsesCustomTextPainter = info->CustomDrawsText;
}

void TcxCustomComboBoxViewData::SetViewInfoValue(TcxCanvas* canvas, const Variant& value,
                                                 TcxCustomEditViewInfo* viewInfo) {
  inherited::SetViewInfoValue(canvas, value, viewInfo);
  auto* info = dynamic_cast<TcxCustomComboBoxViewInfo*>(viewInfo);
  if (!info || Edit) return;
  // A grid cell without an editor: the item is found by its text.
  auto* properties = static_cast<TcxCustomComboBoxProperties*>(Properties);
  const AnsiString text = VarIsNull(value) || VarIsEmpty(value) ? AnsiString() : VarToStr(value);
  info->DrawItemIndex = properties->GetDropDownListStyle() == lsFixedList && properties->GetOnDrawItem()
                            ? properties->GetItems()->IndexOf(text)
                            : -1;
  info->CustomDrawsText = info->DrawItemIndex != -1;
  info->UsesCustomTextPainter = info->CustomDrawsText;
}

TcxCustomComboBoxViewInfo::TcxCustomComboBoxViewInfo() {
  CustomTextPainter = TCustomTextPainter(this, &TcxCustomComboBoxViewInfo::DrawComboItemText);
}

void TcxCustomComboBoxViewInfo::Assign(TObject* source) {
  inherited::Assign(source);
  if (auto* s = dynamic_cast<TcxCustomComboBoxViewInfo*>(source)) {
    DrawItemIndex = s->DrawItemIndex;
    CustomDrawsText = s->CustomDrawsText;
  }
  // The painter is this view info's own, whatever the source's was.
  CustomTextPainter = TCustomTextPainter(this, &TcxCustomComboBoxViewInfo::DrawComboItemText);
}

void TcxCustomComboBoxViewInfo::DrawComboItemText(TcxCanvas* canvas, const TRect& rect) {
  canvas->SetBrushColor(SelectionBarShown ? clHighlight : BackgroundColor);
  if (TextFont) canvas->SetFont(TextFont);
  canvas->SetFontColor(SelectionBarShown ? clHighlightText : DefaultTextColor);
  PrepareCanvasFont(canvas);
  TOwnerDrawState state{odComboBoxEdit};
  if (IsFocused) {
    state.Include(odSelected);
    state.Include(odFocused);
  }
  if (auto* combo = dynamic_cast<TcxCustomComboBox*>(Edit)) {
    combo->FireDrawItem(canvas, DrawItemIndex, rect, state);
  } else if (auto* properties = dynamic_cast<TcxCustomComboBoxProperties*>(Properties)) {
    if (properties->GetOnDrawItem()) properties->GetOnDrawItem()(nullptr, canvas, DrawItemIndex, rect, state);
  }
}

TClass TcxCustomComboBoxProperties::GetLookupDataClass() { return TcxComboBoxLookupData::StaticClass(); }

orv::ClassOf<TcxCustomEditPopupWindow> TcxCustomComboBoxProperties::GetPopupWindowClass() {
  return TcxComboBoxPopupWindow::StaticClass();
}

Integer TcxCustomComboBoxProperties::GetEditingStyle() {
  switch (FDropDownListStyle) {
    case lsEditFixedList: return 1;
    case lsFixedList: return 2;
    default: return 0;
  }
}

void TcxComboBoxPopupWindow::CalculateSize() {
  TcxCustomDropDownEdit* edit = OwnerEditor();
  TcxCustomEditPopupWindowViewInfo* vi = GetPopupViewInfo();
  vi->GripCorner = 3;
  const TRect owner = edit->GetPopupOwnerBounds();
  SetOwnerBounds(owner);
  const TRect e = vi->GetPopupClientExtent();
  TSize m;
  GetMinimalSize(m);
  TSize c;
  edit->GetPopupContentSize(c);
  const Boolean userSized = edit->GetPopupSizeChanged() && GetSizeable();
  Integer w;
  if (userSized || (!GetAutoSizeContent() && GetRequestedWidth() > 0))
    w = GetRequestedWidth();
  else if (GetAutoSizeContent())
    w = std::max<Integer>(c.cx + e.Left + e.Right, owner.Width());
  else
    w = owner.Width();
  Integer h;
  if (userSized || (GetRequestedHeight() != 0 && (GetSizeable() || !GetAutoSizeContent())))
    h = GetRequestedHeight();
  else
    h = c.cy + e.Top + e.Bottom;
  if (GetSizeable()) {
    w = std::max(w, GetMinWidth());
    h = std::max(h, GetMinHeight());
  }
  SetWidth(std::max<Integer>(w, m.cx));
  SetHeight(std::max<Integer>(h, m.cy));
}

TcxCustomEditPropertiesClass TcxCustomComboBox::GetPropertiesClass() {
  return TcxCustomComboBoxProperties::StaticClass();
}

void TcxCustomComboBox::Initialize() {
  inherited::Initialize();
  TControlStyle style = GetControlStyle();
  style.Exclude(csClickEvents);
  SetControlStyle(style);
}

Boolean TcxCustomComboBox::HasCustomDrawItem() {
  auto* own = static_cast<TcxCustomComboBoxProperties*>(GetProperties());
  return own->GetOnDrawItem() || ComboProperties()->GetOnDrawItem();
}

Boolean TcxCustomComboBox::HasCustomMeasureItem() {
  auto* own = static_cast<TcxCustomComboBoxProperties*>(GetProperties());
  return own->GetOnMeasureItem() || ComboProperties()->GetOnMeasureItem();
}

void TcxCustomComboBox::FireDrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
  auto* own = static_cast<TcxCustomComboBoxProperties*>(GetProperties());
  if (own->GetOnDrawItem()) own->GetOnDrawItem()(this, canvas, index, rect, state);
  if (GetRepositoryItem() && ComboProperties() != own && ComboProperties()->GetOnDrawItem())
    ComboProperties()->GetOnDrawItem()(this, canvas, index, rect, state);
}

void TcxCustomComboBox::FireMeasureItem(Integer index, TcxCanvas* canvas, Integer& height) {
  auto* own = static_cast<TcxCustomComboBoxProperties*>(GetProperties());
  if (own->GetOnMeasureItem()) own->GetOnMeasureItem()(this, index, canvas, height);
  if (GetRepositoryItem() && ComboProperties() != own && ComboProperties()->GetOnMeasureItem())
    ComboProperties()->GetOnMeasureItem()(this, index, canvas, height);
}

void TcxCustomComboBox::ResetPopupHeight() {
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(GetEditData());
  if (IsInplace() && ComboProperties()->GetPopupSizeable() && data)
    data->PopupSizeChanged = false;
  else
    ComboProperties()->SetPopupHeight(0);
}

Boolean TcxCustomComboBox::CanDropDown() {
  IcxTextEditLookupData* data = GetLookupDataInterface();
  return !data || !data->IsListEmpty();
}

void TcxCustomComboBox::GetPopupContentSize(TSize& size) {
  TcxComboBoxLookupData* data = ComboLookupData();
  if (!data || !GetPopupWindow()) {
    size = TSize{0, 0};
    return;
  }
  const TSize m = GetPopupWindow()->GetMaxVisualAreaSize();
  Integer widthLimit = m.cx;
  if (!ComboProperties()->GetDropDownSizeable() && !ComboProperties()->GetDropDownAutoWidth()) {
    const TRect e = GetPopupWindow()->GetPopupViewInfo()->GetPopupClientExtent();
    const Integer requested = ComboProperties()->GetDropDownWidth() >= 1 ? ComboProperties()->GetDropDownWidth()
                                                                         : GetWidth();
    widthLimit = std::min<Integer>(m.cx, requested - e.Left - e.Right);
  }
  size = data->GetListPreferredSizeFor(m.cy, widthLimit);
}

void TcxCustomComboBox::ApplyPopupWindowProperties() {
  inherited::ApplyPopupWindowProperties();
  // A sizeable list carries its grip in the system panel.
  GetPopupWindow()->SetHasSysPanel(ComboProperties()->GetDropDownSizeable());
}

void TcxCustomComboBox::SetupPopupWindow() {
  inherited::SetupPopupWindow();
  if (TWinControl* list = GetLookupDataInterface() ? GetLookupDataInterface()->GetListControl() : nullptr)
    list->Invalidate();
}

Boolean TcxCustomComboBox::NeedsLookupSync() {
  if (GetLookupSyncSuppressed()) return false;
  if (HasOpenPopup()) return true;
  const Integer style = ComboProperties()->GetEditingStyle();
  if (IsShowPending() && !((style == 0 && ComboProperties()->GetIncrementalSearch()) || style == 1 || style == 2))
    return true;
  if (style >= 1 && style <= 3) return true;
  if (!Focused()) return false;
  IcxTextEditLookupData* data = GetLookupDataInterface();
  return data && AnsiUpperCase(data->GetKeyDisplayText(data->GetKey())) != AnsiUpperCase(GetText());
}

void TcxCustomComboBox::HandleInnerEditChange(TObject* sender) {
  IcxTextEditLookupData* data = GetLookupDataInterface();
  const Variant oldKey = data ? data->GetKey() : Variant();
  orv::TObjectLinkGuard guard(this);
  LockChangeEvents(true);
  LockClick(true);
  auto finish = [&] {
    if (!guard.Alive()) return;
    LockClick(false);
    LockChangeEvents(false, true);
    if (guard.Alive() && data && !AreVariantsEqual(data->GetKey(), oldKey) && ComboProperties()->GetIncrementalSearch())
      MarkModifiedAndClick();
  };
  try {
    inherited::HandleInnerEditChange(sender);
    if (guard.Alive() && data && NeedsLookupSync()) data->SyncWithEditText();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

Boolean TcxCustomComboBox::CanEditPlainText() {
  return inherited::CanEditPlainText() && ComboProperties()->GetDropDownListStyle() == lsEditList;
}

void TcxCustomComboBox::Activate(TcxCustomEditData*& editData) {
  inherited::Activate(editData);
  if (IcxTextEditLookupData* data = GetLookupDataInterface()) data->SyncWithEditText();
}

void TcxCustomComboBox::DblClick() {
  inherited::DblClick();
  if (HasOpenPopup() || !ComboProperties()->GetRevertable() || !GetLookupData()) return;
  orv::TObjectLinkGuard guard(this);
  const Variant oldKey = GetLookupData()->GetKey();
  LockChangeEvents(true);
  try {
    GetLookupData()->MoveCurrent(cxLookupNext, true);
  } catch (...) {
    if (guard.Alive()) LockChangeEvents(false, true);
    throw;
  }
  LockChangeEvents(false, true);
  if (guard.Alive() && !AreVariantsEqual(GetLookupData()->GetKey(), oldKey) && CanPostEditValue() &&
      GetEffectiveProperties()->GetImmediatePost() && ValidateEditValue(true))
    PostEditValue(false);
}

void TcxCustomComboBox::Dispatch(TMessage& message) {
  if (message.Msg == WM_LBUTTONUP) {
    // A mouse release does not click a combo box.
    TControlState state = GetControlState();
    state.Exclude(csClicked);
    SetControlState(state);
  }
  inherited::Dispatch(message);
}

// ==== Filter helpers ==========================================================================

TcxCustomEditClass TcxFilterComboBoxHelper::GetFilterEditorClass() const { return TcxComboBox::StaticClass(); }

void TcxFilterComboBoxHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                   TcxCustomEditProperties* sourceProperties,
                                                   Boolean keepButtons) const {
  inherited::InitFilterProperties(properties, sourceProperties, keepButtons);
  auto* combo = dynamic_cast<TcxCustomComboBoxProperties*>(properties);
  if (!combo) return;
  combo->SetButtonGlyph(nullptr);
  combo->SetDropDownRows(8);
  combo->SetDropDownListStyle(lsEditList);
  combo->SetImmediateDropDown(false);
  combo->SetPopupAlignment(taLeftJustify);
  combo->SetRevertable(false);
}

// ==== Popup editor ============================================================================

TcxCustomPopupEditProperties::TcxCustomPopupEditProperties(TPersistent* owner)
    : TcxCustomDropDownEditProperties(owner) {
  SetPopupAutoSize(true);
  SetPopupMinHeight(100);
  SetPopupMinWidth(100);
  SetPopupHeight(200);
  SetPopupWidth(250);
  SetPopupSizeable(true);
}

void TcxCustomPopupEditProperties::BeforeDestruction() {
  FreeAndNil(FPopupControlNotificator);
  inherited::BeforeDestruction();
}

void TcxCustomPopupEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomPopupEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetPopupControl(s->FPopupControl);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomPopupEditProperties::ComponentFreed(TComponent* component) {
  inherited::ComponentFreed(component);
  if (component == FPopupControl) FPopupControl = nullptr;
}

void TcxCustomPopupEditProperties::SetPopupControl(TControl* value) {
  if (value == FPopupControl) return;
  if (FPopupControlNotificator && FPopupControl) FPopupControlNotificator->RemoveSender(FPopupControl);
  FPopupControl = value;
  if (FPopupControl) {
    if (!FPopupControlNotificator) {
      FPopupControlNotificator = new TcxFreeNotificator(nullptr);
      FPopupControlNotificator->SetOnFreeNotification(
          TcxFreeNotificationEvent(this, &TcxCustomPopupEditProperties::PopupControlFreed));
    }
    FPopupControlNotificator->AddSender(FPopupControl);
  }
}

TcxCustomEditClass TcxCustomPopupEditProperties::GetEditClass() { return TcxPopupEdit::StaticClass(); }

orv::ClassOf<TcxCustomEditPopupWindow> TcxCustomPopupEditProperties::GetPopupWindowClass() {
  return TcxPopupEditPopupWindow::StaticClass();
}

TcxPopupEditProperties::TcxPopupEditProperties(TPersistent* owner) : TcxCustomPopupEditProperties(owner) {
  SetImmediateDropDown(true);
  SetImmediatePopup(true);
}

void TcxPopupEditPopupWindowViewInfo::DrawPopupBorder(TcxCanvas* canvas, TRect& rect) {
  if (NativeStyle || FrameStyle != epbsFrame3D) {
    inherited::DrawPopupBorder(canvas, rect);
    return;
  }
  canvas->Draw3DEdge(rect, false, true);
  rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  canvas->Draw3DEdge(rect, false, false);
  rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  canvas->DrawBorderLines(rect, clInactiveBorder, 1, cxBordersAll);
  rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  canvas->DrawBorderLines(rect, clBtnFace, 1, cxBordersAll);
  rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
}

orv::ClassOf<TcxContainerViewInfo> TcxPopupEditPopupWindow::GetViewInfoClass() {
  return TcxPopupEditPopupWindowViewInfo::StaticClass();
}

TcxCustomEditPropertiesClass TcxCustomPopupEdit::GetPropertiesClass() {
  return TcxCustomPopupEditProperties::StaticClass();
}

void TcxCustomPopupEdit::BeforeDestruction() {
  if (HasOpenPopup() || FControlInPopup) RestorePopupControlData();
  inherited::BeforeDestruction();
}

Boolean TcxCustomPopupEdit::CanDropDown() { return PopupProperties()->GetPopupControl() != nullptr; }

void TcxCustomPopupEdit::DoInitPopup() {
  TControl* control = PopupProperties()->GetPopupControl();
  if (control) {
    Boolean circular = control == GetPopupWindow() || control == this;
    for (TWinControl* p = GetParent(); p && !circular; p = p->GetParent()) circular = control == p;
    if (circular) throw EcxEditError(GetLocalizedResourceString(&cxSEditPopupCircularReferencingError));
  }
  inherited::DoInitPopup();
}

void TcxCustomPopupEdit::SavePopupControlData() {
  TControl* control = PopupProperties()->GetPopupControl();
  if (!control) return;
  FSavedAlign = control->GetAlign();
  if (auto* form = dynamic_cast<TCustomForm*>(control)) {
    FSavedBorderStyle = form->GetBorderStyle();
    form->SetBorderStyle(bsNone);
  }
  FSavedBounds = control->GetBoundsRect();
  FSavedParent = control->GetParent();
  FSavedVisible = control->GetVisible();
  FControlInPopup = true;
}

void TcxCustomPopupEdit::RestorePopupControlData() {
  TControl* control = PopupProperties()->GetPopupControl();
  if (!control || !FControlInPopup) return;
  FControlInPopup = false;
  control->Hide();
  control->SetParent(FSavedParent);
  control->SetAlign(FSavedAlign);
  control->SetBoundsRect(FSavedBounds);
  if (auto* form = dynamic_cast<TCustomForm*>(control)) form->SetBorderStyle(FSavedBorderStyle);
  control->SetVisible(FSavedVisible);
}

void TcxCustomPopupEdit::SetupPopupWindow() {
  TControl* control = PopupProperties()->GetPopupControl();
  if (!FControlInPopup) SavePopupControlData();
  control->SetParent(GetPopupWindow());
  control->SetVisible(true);
  inherited::SetupPopupWindow();
  control->SetAlign(alClient);
}

TWinControl* TcxCustomPopupEdit::GetPopupFocusedControl() {
  return dynamic_cast<TWinControl*>(PopupProperties()->GetPopupControl());
}

void TcxCustomPopupEdit::GetPopupContentSize(TSize& size) {
  TControl* control = PopupProperties()->GetPopupControl();
  size = control ? TSize{control->GetWidth(), control->GetHeight()} : TSize{0, 0};
}

void TcxCustomPopupEdit::PositionPopupContent(const TRect& rect) {
  if (TControl* control = PopupProperties()->GetPopupControl())
    control->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
}

void TcxCustomPopupEdit::PopupWindowClosed(TObject* sender) {
  RestorePopupControlData();
  inherited::PopupWindowClosed(sender);
}

void TcxCustomPopupEdit::ClosePopup(TcxDropDownCloseReason reason) {
  SetCloseReason(reason);
  if (GetPopupWindow()) GetPopupWindow()->PostCloseUp();
}

// ==== Published properties ====================================================================

namespace {
const orv::EnumNames<TcxEditDropDownListStyle> kListStyleNames("TcxEditDropDownListStyle",
                                                               {"lsEditFixedList", "lsEditList", "lsFixedList"});
}  // namespace

ORV_PUBLISH(TcxComboBoxProperties) {
  using T = TcxComboBoxProperties;
  p.Property("DropDownAutoWidth", &T::GetDropDownAutoWidth, &T::SetDropDownAutoWidth).Default(true);
  p.Property("DropDownListStyle", &T::GetDropDownListStyle, &T::SetDropDownListStyle).Default(lsEditList);
  p.Property("DropDownRows", &T::GetDropDownRows, &T::SetDropDownRows).Default(8);
  p.Property("DropDownSizeable", &T::GetDropDownSizeable, &T::SetDropDownSizeable).Default(false);
  p.Property("DropDownWidth", &T::GetDropDownWidth, &T::SetDropDownWidth).Default(0);
  p.Property("ImmediateDropDown", &T::GetImmediateDropDown, &T::SetImmediateDropDown).Default(true);
  p.Property("ImmediatePost", &T::GetImmediatePost, &T::SetImmediatePost).Default(false);
  p.Property("IncrementalSearch", &T::GetIncrementalSearch, &T::SetIncrementalSearch).Default(true);
  p.Property("ItemHeight", &T::GetItemHeight, &T::SetItemHeight).Default(0);
  p.Property("Items", &T::GetItems, &T::SetItems);
  p.Property("PostPopupValueOnTab", &T::GetPostPopupValueOnTab, &T::SetPostPopupValueOnTab).Default(false);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored([](T* x) { return x->IsReadOnlyStored(); });
  p.Property("Revertable", &T::GetRevertable, &T::SetRevertable).Default(false);
  p.Property("Sorted", &T::GetSorted, &T::SetSorted).Default(false);
  p.Property("ValidateOnEnter", &T::GetValidateOnEnter, &T::SetValidateOnEnter).Default(true);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnCloseUp", &T::GetOnCloseUp, &T::SetOnCloseUp);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnInitPopup", &T::GetOnInitPopup, &T::SetOnInitPopup);
  p.Property("OnPopup", &T::GetOnPopup, &T::SetOnPopup);
  p.Property("OnValidate", &T::GetOnValidate, &T::SetOnValidate);
}

ORV_PUBLISH(TcxComboBox) {
  using T = TcxComboBox;
  orv::PublishLayout(p);
  p.Property("AutoSize", [](T* x) { return x->GetAutoSize(); }, [](T* x, bool v) { x->SetAutoSize(v); }).Default(true);
  orv::PublishDrag(p);
  orv::PublishState(p);
  orv::PublishFont(p);
  orv::PublishEditStyles(p);
  orv::PublishTabs(p, true);
  orv::PublishClickEvents(p);
  orv::PublishMouseEvents(p);
  orv::PublishDockEvents(p);
  orv::PublishKeyEvents(p);
  p.Property("Properties", [](T* x) { return x->GetProperties(); },
             [](T* x, TcxComboBoxProperties* v) { x->SetProperties(v); });
  p.Property("Text", [](T* x) { return x->GetTextProperty(); }, [](T* x, AnsiString v) { x->SetTextProperty(v); });
}

ORV_PUBLISH(TcxPopupEditProperties) {
  using T = TcxPopupEditProperties;
  p.Property("ImmediateDropDown", &T::GetImmediateDropDown, &T::SetImmediateDropDown).Default(true);
  p.Property("ImmediatePopup", &T::GetImmediatePopup, &T::SetImmediatePopup).Default(true);
  p.Property("PopupAutoSize", &T::GetPopupAutoSize, &T::SetPopupAutoSize).Default(true);
  p.Property("PopupClientEdge", &T::GetPopupClientEdge, &T::SetPopupClientEdge).Default(false);
  p.Property("PopupControl", &T::GetPopupControl, &T::SetPopupControl);
  p.Property("PopupHeight", &T::GetPopupHeight, &T::SetPopupHeight).Default(200);
  p.Property("PopupMinHeight", &T::GetPopupMinHeight, &T::SetPopupMinHeight).Default(100);
  p.Property("PopupMinWidth", &T::GetPopupMinWidth, &T::SetPopupMinWidth).Default(100);
  p.Property("PopupSizeable", &T::GetPopupSizeable, &T::SetPopupSizeable).Default(true);
  p.Property("PopupSysPanelStyle", &T::GetPopupSysPanelStyle, &T::SetPopupSysPanelStyle).Default(false);
  p.Property("PopupWidth", &T::GetPopupWidth, &T::SetPopupWidth).Default(250);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnCloseQuery", &T::GetOnCloseQuery, &T::SetOnCloseQuery);
  p.Property("OnCloseUp", &T::GetOnCloseUp, &T::SetOnCloseUp);
  p.Property("OnInitPopup", &T::GetOnInitPopup, &T::SetOnInitPopup);
  p.Property("OnPopup", &T::GetOnPopup, &T::SetOnPopup);
}

ORV_PUBLISH(TcxPopupEdit) {
  using T = TcxPopupEdit;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishTabs(p, true);
  p.Property("Properties", [](T* x) { return x->GetProperties(); },
             [](T* x, TcxPopupEditProperties* v) { x->SetProperties(v); });
  p.Property("Text", [](T* x) { return x->GetTextProperty(); }, [](T* x, AnsiString v) { x->SetTextProperty(v); });
  orv::PublishDockEvents(p);
}
