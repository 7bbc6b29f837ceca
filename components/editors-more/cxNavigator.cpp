#include "components/editors-more/cxNavigator.h"

#include "components/editors/cxEditConsts.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/drawing/Gdi.h"
#include "platform/forms/Published.h"
#include "platform/windowing/User.h"

namespace {

const TResStringRec* const kNavigatorHints[NavigatorButtonCount] = {
    &cxNavigatorHint_First,   &cxNavigatorHint_PriorPage,    &cxNavigatorHint_Prior,        &cxNavigatorHint_Next,
    &cxNavigatorHint_NextPage, &cxNavigatorHint_Last,        &cxNavigatorHint_Insert,       &cxNavigatorHint_Append,
    &cxNavigatorHint_Delete,  &cxNavigatorHint_Edit,         &cxNavigatorHint_Post,         &cxNavigatorHint_Cancel,
    &cxNavigatorHint_Refresh, &cxNavigatorHint_SaveBookmark, &cxNavigatorHint_GotoBookmark, &cxNavigatorHint_Filter};

Boolean NavigatorAskDelete(const AnsiString& text) {
  return MessageDlg(text, mtConfirmation, TMsgDlgButtons{mbOK, mbCancel}) == mrOk;
}

}  // namespace

Boolean (*TcxNavigatorControlButtons::ConfirmDeleteQuestion)(const AnsiString& text) = NavigatorAskDelete;

AnsiString GetNavigatorButtonDefaultHint(Integer index) {
  if (index < 0 || index >= NavigatorButtonCount) return {};
  return GetLocalizedResourceString(kNavigatorHints[index]);
}

namespace {

constexpr Integer kNavGlyphWidth = 12;
constexpr Integer kNavGlyphHeight = 11;
constexpr Integer kNavGlyphCount = 22;
// The transparent colour of the strip.
constexpr TColor kNavGlyphMask = TColor(0x008080);

void NavTriangle(TCanvas* c, Integer x, Integer left, Boolean pointsLeft) {
  // Five columns wide, nine rows tall, centred on row 5.
  if (pointsLeft)
    c->Polygon({TPoint{x + left, 5}, TPoint{x + left + 4, 1}, TPoint{x + left + 4, 9}});
  else
    c->Polygon({TPoint{x + left, 1}, TPoint{x + left, 9}, TPoint{x + left + 4, 5}});
}

void NavBar(TCanvas* c, Integer x, Integer left) { c->FillRect(TRect{x + left, 1, x + left + 2, 10}); }

void NavBookmark(TCanvas* c, Integer x, Boolean filled) {
  const std::vector<TPoint> shape{TPoint{x + 3, 1}, TPoint{x + 8, 1}, TPoint{x + 8, 9}, TPoint{x + 5, 6},
                                  TPoint{x + 3, 9}, TPoint{x + 3, 1}};
  if (filled)
    c->Polygon(shape);
  else
    c->Polyline(shape);
}

// Glyph i of the strip at x = 12 * i.
void NavDrawGlyph(TCanvas* c, Integer index) {
  const Integer x = index * kNavGlyphWidth;
  c->GetPen()->SetWidth(1);
  switch (index) {
    case NBDI_FIRST: NavBar(c, x, 2); NavTriangle(c, x, 5, true); break;
    case NBDI_PRIORPAGE: NavTriangle(c, x, 1, true); NavTriangle(c, x, 6, true); break;
    case NBDI_PRIOR: NavTriangle(c, x, 4, true); break;
    case NBDI_NEXT: NavTriangle(c, x, 4, false); break;
    case NBDI_NEXTPAGE: NavTriangle(c, x, 1, false); NavTriangle(c, x, 6, false); break;
    case NBDI_LAST: NavTriangle(c, x, 3, false); NavBar(c, x, 8); break;
    case NBDI_INSERT:
      c->FillRect(TRect{x + 2, 4, x + 10, 6});
      c->FillRect(TRect{x + 5, 1, x + 7, 9});
      break;
    case NBDI_APPEND:
      c->FillRect(TRect{x + 3, 3, x + 9, 5});
      c->FillRect(TRect{x + 5, 1, x + 7, 7});
      c->FillRect(TRect{x + 1, 8, x + 11, 10});
      break;
    case NBDI_DELETE: c->FillRect(TRect{x + 2, 4, x + 10, 6}); break;
    case NBDI_EDIT: c->Polygon({TPoint{x + 2, 7}, TPoint{x + 10, 7}, TPoint{x + 6, 3}}); break;
    case NBDI_POST:
      c->GetPen()->SetWidth(2);
      c->Polyline({TPoint{x + 2, 5}, TPoint{x + 5, 8}, TPoint{x + 10, 2}});
      break;
    case NBDI_CANCEL:
      c->GetPen()->SetWidth(2);
      c->Polyline({TPoint{x + 3, 2}, TPoint{x + 9, 8}});
      c->Polyline({TPoint{x + 9, 2}, TPoint{x + 3, 8}});
      break;
    case NBDI_REFRESH:
      // An open ring with its arrow head at the top right.
      c->Polyline({TPoint{x + 8, 2}, TPoint{x + 6, 1}, TPoint{x + 4, 1}, TPoint{x + 2, 3}, TPoint{x + 1, 5},
                   TPoint{x + 2, 7}, TPoint{x + 4, 9}, TPoint{x + 7, 9}, TPoint{x + 9, 7}, TPoint{x + 10, 5}});
      c->Polygon({TPoint{x + 7, 0}, TPoint{x + 10, 3}, TPoint{x + 7, 4}});
      break;
    case NBDI_SAVEBOOKMARK: NavBookmark(c, x, true); break;
    case NBDI_GOTOBOOKMARK:
      NavBookmark(c, x, false);
      NavTriangle(c, x, 6, false);
      break;
    case NBDI_FILTER:
      c->Polygon({TPoint{x + 1, 1}, TPoint{x + 10, 1}, TPoint{x + 7, 5}, TPoint{x + 7, 9}, TPoint{x + 5, 10},
                  TPoint{x + 5, 5}});
      break;
    default: break;
  }
}

TCustomImageList* MakeNavigatorDefaultImages() {
  auto* images = new TCustomImageList(nullptr);
  images->SetWidth(kNavGlyphWidth);
  images->SetHeight(kNavGlyphHeight);
  std::unique_ptr<TBitmap, orv::FreeDeleter> strip(new TBitmap);
  strip->SetSize(kNavGlyphWidth * kNavGlyphCount, kNavGlyphHeight);
  TCanvas* c = strip->GetCanvas();
  c->GetBrush()->SetColor(kNavGlyphMask);
  c->FillRect(TRect{0, 0, strip->GetWidth(), strip->GetHeight()});
  c->GetBrush()->SetColor(clBlack);
  c->GetPen()->SetColor(clBlack);
  for (Integer i = 0; i < kNavGlyphCount; ++i) NavDrawGlyph(c, i);
  images->AddMasked(strip.get(), kNavGlyphMask);
  return images;
}

}  // namespace

TCustomImageList* GetNavigatorDefaultImages() {
  // Made whole before the holder is: the platform's image lists it uses are then still there
  // when the holder frees it at exit.
  static std::unique_ptr<TCustomImageList, orv::FreeDeleter> images(MakeNavigatorDefaultImages());
  return images.get();
}

// ==== Button ===================================================================================

TPersistent* TcxNavigatorButton::GetOwner() { return FButtons; }

void TcxNavigatorButton::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxNavigatorButton*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  SetEnabled(s->FEnabled);
  SetHint(s->FHint);
  SetImageIndex(s->FImageIndex);
  SetVisible(s->FVisible);
  FIsVisibleAssigned = s->FIsVisibleAssigned;
  SetOnClick(s->FOnClick);
}

Boolean TcxNavigatorButton::HasCustomImage() { return FButtons->GetImages() && FImageIndex >= 0; }

TCustomImageList* TcxNavigatorButton::GetImageList() {
  return FButtons->GetImages() ? FButtons->GetImages() : GetNavigatorDefaultImages();
}

Integer TcxNavigatorButton::GetEffectiveImageIndex() { return HasCustomImage() ? FImageIndex : FButtonIndex; }

TSize TcxNavigatorButton::GetGlyphSize() {
  TcxLookAndFeel* lookAndFeel = FButtons->GetNavigator() ? FButtons->GetNavigator()->GetNavigatorLookAndFeel() : nullptr;
  if (lookAndFeel && lookAndFeel->GetSkinPainter() && !HasCustomImage())
    return lookAndFeel->GetSkinPainter()->NavigatorButtonGlyphSize();
  return TSize{GetImageList()->GetWidth(), GetImageList()->GetHeight()};
}

Boolean TcxNavigatorButton::GetEffectiveEnabled() { return FEnabled && FButtons->IsButtonEnabled(FButtonIndex); }

AnsiString TcxNavigatorButton::GetEffectiveHint() {
  if (!FHint.empty()) return FHint;
  AnsiString text;
  FButtons->GetButtonHint(FButtonIndex, text);
  return text;
}

void TcxNavigatorButton::Click() {
  if (FOnClick) {
    FOnClick(this);
    return;
  }
  Boolean done = false;
  if (FButtons->GetOnButtonClick()) FButtons->GetOnButtonClick()(FButtons, FButtonIndex, done);
  if (!done) FButtons->DoButtonClick(FButtonIndex);
}

void TcxNavigatorButton::SetEnabled(Boolean value) {
  if (value == FEnabled) return;
  FEnabled = value;
  if (FVisible) FButtons->NotifyStateChanged();
  FButtons->NotifyChanged(2);
}

void TcxNavigatorButton::SetImageIndex(TImageIndex value) {
  if (value == FImageIndex) return;
  FImageIndex = value;
  if (FVisible) FButtons->NotifyStateChanged();
  FButtons->NotifyChanged(2);
}

void TcxNavigatorButton::SetVisible(Boolean value) {
  FIsVisibleAssigned = true;
  if (value == FVisible) return;
  FVisible = value;
  FButtons->NotifyStateChanged();
  FButtons->NotifyChanged(1);
}

void TcxNavigatorButton::SetHint(const AnsiString& value) {
  if (value == FHint) return;
  FHint = value;
  FButtons->NotifyChanged(0);
}

void TcxNavigatorButton::SetOnClick(const TNotifyEvent& value) {
  FOnClick = value;
  FButtons->NotifyChanged(0);
}

// ==== Button sets ==============================================================================

TcxCustomNavigatorButtons::TcxCustomNavigatorButtons(IcxNavigatorOwner* navigator) : FNavigator(navigator) {
  FImageChangeLink = new TChangeLink;
  FImageChangeLink->SetOnChange(TNotifyEvent(this, &TcxCustomNavigatorButtons::ImageListChanged));
  CreateButtons();
}

void TcxCustomNavigatorButtons::BeforeDestruction() {
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink);
  FImages = nullptr;
  inherited::BeforeDestruction();
}

TcxCustomNavigatorButtons::~TcxCustomNavigatorButtons() {
  orv::Free(FImageChangeLink);
  DestroyButtons();
}

TPersistent* TcxCustomNavigatorButtons::GetOwner() {
  return FNavigator ? FNavigator->GetNavigatorOwner() : nullptr;
}

void TcxCustomNavigatorButtons::CreateButtons() {
  for (Integer i = 0; i < NavigatorButtonCount; ++i) {
    auto* button = new TcxNavigatorButton(this);
    button->SetButtonIndex(i);
    button->SetVisibleQuietly(i != NBDI_APPEND);
    FButtons.push_back(button);
  }
}

void TcxCustomNavigatorButtons::DestroyButtons() {
  for (TcxNavigatorButton* b : FButtons) orv::Free(b);
  FButtons.clear();
}

Boolean TcxCustomNavigatorButtons::IsButtonEnabled(Integer index) {
  TWinControl* control = FNavigator ? FNavigator->GetNavigatorControl() : nullptr;
  return !control || control->GetEnabled();
}

void TcxCustomNavigatorButtons::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomNavigatorButtons*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  for (Integer i = 0; i < std::min(GetButtonCount(), s->GetButtonCount()); ++i) GetButton(i)->Assign(s->GetButton(i));
  SetConfirmDelete(s->FConfirmDelete);
  SetImages(s->FImages);
  SetOnButtonClick(s->FOnButtonClick);
}

void TcxCustomNavigatorButtons::NotifyChanged(Integer changeType) {
  if (FNavigator) FNavigator->NavigatorChanged(changeType);
}

void TcxCustomNavigatorButtons::NotifyStateChanged() {
  if (FNavigator) FNavigator->NavigatorStateChanged();
}

void TcxCustomNavigatorButtons::SetConfirmDelete(Boolean value) {
  if (value == FConfirmDelete) return;
  FConfirmDelete = value;
  NotifyChanged(0);
}

void TcxCustomNavigatorButtons::SetImages(TCustomImageList* value) {
  if (value == FImages) return;
  TComponent* owner = FNavigator ? FNavigator->GetNavigatorOwner() : nullptr;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink);
    if (owner) FImages->RemoveFreeNotification(owner);
  }
  FImages = value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink);
    if (owner) FImages->FreeNotification(owner);
  }
  NotifyStateChanged();
  NotifyChanged(2);
}

void TcxCustomNavigatorButtons::SetOnButtonClick(const TcxNavigatorButtonClickEvent& value) {
  FOnButtonClick = value;
  NotifyChanged(0);
}

IcxNavigator* TcxNavigatorControlButtons::GetNavigatedControl() { return FOnGetControl ? FOnGetControl(this) : nullptr; }

Boolean TcxNavigatorControlButtons::IsButtonEnabled(Integer index) {
  IcxNavigator* control = GetNavigatedControl();
  if (!control || !inherited::IsButtonEnabled(index)) return false;
  if (!control->IsActive() && index != NBDI_FILTER) return false;
  switch (index) {
    case NBDI_FIRST:
    case NBDI_PRIORPAGE:
    case NBDI_PRIOR: return !control->IsBof();
    case NBDI_NEXT:
    case NBDI_NEXTPAGE:
    case NBDI_LAST: return !control->IsEof();
    case NBDI_INSERT: return control->CanInsert();
    case NBDI_APPEND: return control->CanAppend();
    case NBDI_DELETE: return control->CanDelete();
    case NBDI_EDIT: return control->CanEdit() && !control->IsEditing();
    case NBDI_POST:
    case NBDI_CANCEL: return control->IsEditing();
    case NBDI_GOTOBOOKMARK: return control->IsBookmarkAvailable();
    default: return true;
  }
}

void TcxNavigatorControlButtons::DoButtonClick(Integer index) {
  if (IcxNavigator* control = GetNavigatedControl()) {
    const Boolean confirmed = index != NBDI_DELETE || !GetConfirmDelete() ||
                              ConfirmDeleteQuestion(GetLocalizedResourceString(&cxNavigator_DeleteRecordQuestion));
    if (confirmed) control->DoAction(index);
  }
  if (GetNavigator()) GetNavigator()->RefreshNavigator();
}

void TcxNavigatorControlButtons::ReleaseBookmark() {
  IcxNavigator* control = GetNavigatedControl();
  if (control && control->IsBookmarkAvailable()) control->ClearBookmark();
}

// ==== View info ================================================================================

TcxNavigatorViewInfo::TcxNavigatorViewInfo(IcxNavigatorOwner* navigator, Boolean isInplace)
    : FNavigator(navigator), FIsInplace(isInplace) {
  FButtonPressTimer = new TcxTimer(nullptr);
  FButtonPressTimer->SetEnabled(false);
  FButtonPressTimer->SetOnTimer(TNotifyEvent(this, &TcxNavigatorViewInfo::ButtonPressTimerTick));
  FHintTimer = new TcxTimer(nullptr);
  FHintTimer->SetEnabled(false);
  FHintTimer->SetInterval(500);
  FHintTimer->SetOnTimer(TNotifyEvent(this, &TcxNavigatorViewInfo::HintTimerTick));
}

void TcxNavigatorViewInfo::BeforeDestruction() {
  FreeAndNil(FHintWindow);
  FreeAndNil(FButtonPressTimer);
  FreeAndNil(FHintTimer);
  inherited::BeforeDestruction();
}

TcxNavigatorViewInfo::~TcxNavigatorViewInfo() = default;

TcxCustomLookAndFeelPainterClass TcxNavigatorViewInfo::Painter() {
  TcxLookAndFeel* lookAndFeel = FNavigator->GetNavigatorLookAndFeel();
  if (lookAndFeel) return lookAndFeel->GetPainterForThemeTypes({});
  return TcxCustomLookAndFeelPainterClass(TcxStandardLookAndFeelPainter::StaticClass());
}

void TcxNavigatorViewInfo::CalculateBounds(Integer& width, Integer& height, Boolean neededHeight) {
  const TRect bounds = FNavigator->GetNavigatorBounds();
  FIsDirty = true;
  TcxNavigatorButton* hot = FHotTrack ? FHotTrack->Button : nullptr;
  TcxNavigatorButton* pressed = FPressed ? FPressed->Button : nullptr;
  FHotTrack = FPressed = nullptr;
  TcxCustomNavigatorButtons* buttons = FNavigator->GetNavigatorButtons();
  FButtons.clear();
  for (Integer i = 0; i < buttons->GetButtonCount(); ++i)
    if (buttons->GetButton(i)->GetVisible()) {
      TcxNavigatorButtonViewInfo info;
      info.Button = buttons->GetButton(i);
      FButtons.push_back(info);
    }
  const TRect border = Painter()->GroupButtonBorderWidths(3, 1);
  Int64 sum = 0;
  Integer highest = 0;
  std::vector<Integer> widths;
  for (TcxNavigatorButtonViewInfo& info : FButtons) {
    const TSize glyph = info.Button->GetGlyphSize();
    const Integer w = glyph.cx + border.Left + border.Right + 1;
    const Integer h = border.Top + border.Bottom + 1 + (neededHeight ? glyph.cy : 0);
    widths.push_back(w);
    sum += w;
    highest = std::max(highest, h);
  }
  height = std::max(height, highest);
  const Integer n = Integer(FButtons.size());
  Integer spare = 0;
  if (width < sum) {
    width = Integer(sum);
  } else if (n > 0) {
    spare = Integer((width - sum) / n);
    width = Integer(Int64(spare) * n + sum);
  }
  Integer left = bounds.Left;
  for (Integer i = 0; i < n; ++i) {
    TcxNavigatorButtonViewInfo& info = FButtons[std::size_t(i)];
    info.Bounds = TRect{left, bounds.Top, left + widths[std::size_t(i)] + spare, bounds.Top + height};
    left = info.Bounds.Right;
    if (info.Button == hot) FHotTrack = &info;
    if (info.Button == pressed) FPressed = &info;
  }
  CheckFocusedButton();
}

void TcxNavigatorViewInfo::Calculate() {
  const TRect bounds = FNavigator->GetNavigatorBounds();
  Integer width = bounds.Width();
  Integer height = bounds.Height();
  CalculateBounds(width, height, false);
  for (TcxNavigatorButtonViewInfo& info : FButtons) {
    info.Enabled = info.Button->GetEffectiveEnabled();
    info.Hint = info.Button->GetEffectiveHint();
  }
  FIsDirty = false;
}

void TcxNavigatorViewInfo::CheckFocusedButton() {
  if (FFocusedButton && !FFocusedButton->GetVisible()) FFocusedButton = nullptr;
  if (!FFocusedButton && !FButtons.empty()) FFocusedButton = FButtons.front().Button;
}

void TcxNavigatorViewInfo::UpdateButtonsEnabled() {
  for (TcxNavigatorButtonViewInfo& info : FButtons) {
    const Boolean enabled = info.Button->GetEffectiveEnabled();
    if (enabled != info.Enabled) {
      info.Enabled = enabled;
      InvalidateButton(&info);
    }
  }
}

TcxNavigatorButtonViewInfo* TcxNavigatorViewInfo::GetButtonViewInfoAt(const TPoint& point) {
  for (TcxNavigatorButtonViewInfo& info : FButtons)
    if (point.X >= info.Bounds.Left && point.X < info.Bounds.Right && point.Y >= info.Bounds.Top &&
        point.Y < info.Bounds.Bottom)
      return &info;
  return nullptr;
}

TcxNavigatorButtonViewInfo* TcxNavigatorViewInfo::FindButtonViewInfo(TcxNavigatorButton* button) {
  for (TcxNavigatorButtonViewInfo& info : FButtons)
    if (info.Button == button) return &info;
  return nullptr;
}

void TcxNavigatorViewInfo::InvalidateButton(TcxNavigatorButtonViewInfo* viewInfo) {
  TWinControl* control = FNavigator->GetNavigatorControl();
  if (!viewInfo || !control || !control->HandleAllocated()) return;
  ::InvalidateRect(control->GetHandle(), &viewInfo->Bounds, FALSE);
}

TcxButtonState TcxNavigatorViewInfo::GetButtonState(TcxNavigatorButtonViewInfo* viewInfo) {
  if (!viewInfo->Enabled) return cxbsDisabled;
  if (viewInfo == FPressed && viewInfo == FHotTrack) return cxbsPressed;
  if (viewInfo == FHotTrack) return cxbsHot;
  return cxbsNormal;
}

void TcxNavigatorViewInfo::MouseDown(Integer x, Integer y) {
  CheckHint(false);
  TcxNavigatorButtonViewInfo* info = GetButtonViewInfoAt(TPoint{x, y});
  if (info && info->Enabled) {
    FButtonPressTimer->SetInterval(400);
    FButtonPressTimer->SetEnabled(true);
    FPressed = info;
    TcxNavigatorButtonViewInfo* previous = FindButtonViewInfo(FFocusedButton);
    FFocusedButton = info->Button;
    InvalidateButton(previous);
    InvalidateButton(info);
  }
  UpdateSelection();
}

void TcxNavigatorViewInfo::ButtonPressTimerTick(TObject*) {
  if (GetAsyncKeyState(VK_LBUTTON) >= 0) {
    FButtonPressTimer->SetEnabled(false);
    MouseUp(-1, -1);
    return;
  }
  FButtonPressTimer->SetInterval(100);
  if (FHotTrack && FHotTrack == FPressed && FPressed->Enabled) {
    const Integer index = FPressed->Button->GetButtonIndex();
    if (index == NBDI_PRIOR || index == NBDI_NEXT) {
      try {
        FPressed->Button->Click();
      } catch (...) {
        FButtonPressTimer->SetEnabled(false);
        throw;
      }
    }
  }
}

void TcxNavigatorViewInfo::TrackMouse(Integer x, Integer y) {
  TcxNavigatorButtonViewInfo* info = GetButtonViewInfoAt(TPoint{x, y});
  if (info != FHotTrack) {
    if (FHotTrack && FHotTrack->Enabled) InvalidateButton(FHotTrack);
    FHotTrack = info;
    if (info && info->Enabled) InvalidateButton(info);
    if (FHintWindowShowing)
      CheckHint(true);
    else
      FHintTimer->SetEnabled(true);
  }
  if (!FHotTrack) CheckHint(false);
  UpdateSelection();
}

void TcxNavigatorViewInfo::MouseUp(Integer x, Integer y) {
  FButtonPressTimer->SetEnabled(false);
  TcxNavigatorButtonViewInfo* pressed = FPressed;
  FPressed = nullptr;
  InvalidateButton(pressed);
  FHintTimer->SetEnabled(true);
  UpdateSelection();
  if (pressed && pressed->Enabled && x >= pressed->Bounds.Left && x < pressed->Bounds.Right &&
      y >= pressed->Bounds.Top && y < pressed->Bounds.Bottom)
    pressed->Button->Click();
}

void TcxNavigatorViewInfo::CheckHint(Boolean show) {
  if (FHintWindow) {
    if (FHintWindow->HandleAllocated() && IsWindowVisible(FHintWindow->GetHandle()))
      ShowWindow(FHintWindow->GetHandle(), SW_HIDE);
    FreeAndNil(FHintWindow);
  }
  FHintTimer->SetEnabled(false);
  FHintWindowShowing = false;
  if (!show || !FHotTrack || !FNavigator->GetNavigatorShowHint()) return;
  const AnsiString hint = FHotTrack->Hint;
  const AnsiString text = hint.substr(0, hint.find('|'));
  if (text.empty() || !IsControlHotTrackable(FNavigator->GetNavigatorControl())) return;
  FHintWindow = HintWindowClass.Create(nullptr);
  FHintWindow->SetColor(Application->GetHintColor());
  TRect rect = FHintWindow->CalcHintRect(Screen->GetWidth(), text, nullptr);
  TPoint cursor = QueryCursorPos();
  cursor.Y += GetCurrentCursorSize().cy;
  rect = GetOffsetRect(rect, cursor.X, cursor.Y);
  ShowHintWindow(FHintWindow, rect, text);
  FHintWindowShowing = true;
}

void TcxNavigatorViewInfo::UpdateSelection() {
  if (!Painter()->SupportsButtonHotTrack()) return;
  const Boolean selected = FHotTrack || FPressed || FNavigator->GetNavigatorFocused();
  TWinControl* control = FNavigator->GetNavigatorControl();
  if (selected == FIsSelected || !control || !control->HandleAllocated()) return;
  FIsSelected = selected;
  const TRect r = FNavigator->GetNavigatorBounds();
  ::InvalidateRect(control->GetHandle(), &r, FALSE);
}

void TcxNavigatorViewInfo::Paint() {
  TCanvas* target = FNavigator->GetNavigatorCanvas();
  if (!target) return;
  if (FIsDirty) Calculate();
  std::unique_ptr<TcxCanvas, orv::FreeDeleter> canvas(new TcxCanvas(target));
  TcxCustomLookAndFeelPainterClass painter = Painter();
  TWinControl* control = FNavigator->GetNavigatorControl();
  const Integer count = Integer(FButtons.size());
  for (Integer i = 0; i < count; ++i) {
    TcxNavigatorButtonViewInfo& info = FButtons[std::size_t(i)];
    if (!canvas->IsRectVisible(info.Bounds)) continue;
    const TcxButtonState state = GetButtonState(&info);
    const TRect r = painter->AdjustGroupButtonRect(info.Bounds, count, i);
    const TRect w = painter->GroupButtonBorderWidths(count, i);
    const TSize glyph = info.Button->GetGlyphSize();
    const TRect inner{r.Left + w.Left, r.Top + w.Top, r.Right - w.Right, r.Bottom - w.Bottom};
    TRect g{inner.Left + (inner.Width() - glyph.cx) / 2, inner.Top + (inner.Height() - glyph.cy) / 2, 0, 0};
    g.Right = g.Left + glyph.cx;
    g.Bottom = g.Top + glyph.cy;
    if (state == cxbsPressed) g = GetOffsetRect(g, 1, 1);
    painter->DrawGroupButton(canvas.get(), r, state, count, i, clWindow);
    TCustomImageList* images = info.Button->GetImageList();
    if (images->GetCount() > info.Button->GetEffectiveImageIndex())
      painter->DrawNavigatorButtonGlyph(canvas.get(), images, info.Button->GetEffectiveImageIndex(), i, g,
                                        state != cxbsDisabled, info.Button->HasCustomImage());
    if (FNavigator->GetNavigatorTabStop() && FNavigator->GetNavigatorFocused() && info.Button == FFocusedButton)
      canvas->DrawFocusFrame(g);
  }
  const Boolean designing = control && control->GetComponentState().Contains(csDesigning) && control->GetEnabled();
  painter->DrawGroupButtonFocusFrame(canvas.get(), FNavigator->GetNavigatorBounds(), FIsInplace && control && control->GetEnabled(),
                                     FIsSelected || (!FIsInplace && designing));
}

// ==== Notifier =================================================================================

void TcxNavigatorControlNotifier::AddNavigator(IcxNavigatorOwner* navigator) {
  if (std::find(FList.begin(), FList.end(), navigator) == FList.end()) FList.push_back(navigator);
}

void TcxNavigatorControlNotifier::RemoveNavigator(IcxNavigatorOwner* navigator) {
  FList.erase(std::remove(FList.begin(), FList.end(), navigator), FList.end());
}

void TcxNavigatorControlNotifier::NotifyNavigators() {
  // A navigator may leave the list while it refreshes.
  const std::vector<IcxNavigatorOwner*> list = FList;
  for (IcxNavigatorOwner* navigator : list) navigator->RefreshNavigator();
}

// ==== Published ================================================================================

ORV_PUBLISH(TcxNavigatorButton) {
  using T = TcxNavigatorButton;
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("Hint", &T::GetHint, &T::SetHint);
  p.Property("ImageIndex", &T::GetImageIndex, &T::SetImageIndex).Default(-1);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Stored([](T* x) { return x->IsVisibleAssigned(); });
}

ORV_PUBLISH(TcxNavigatorControlButtons) {
  using T = TcxNavigatorControlButtons;
  static const char* const names[NavigatorButtonCount] = {
      "First", "PriorPage", "Prior", "Next", "NextPage", "Last", "Insert", "Append",
      "Delete", "Edit", "Post", "Cancel", "Refresh", "SaveBookmark", "GotoBookmark", "Filter"};
  p.Property("ConfirmDelete", &T::GetConfirmDelete, &T::SetConfirmDelete).Default(true);
  p.Property("Images", &T::GetImages, &T::SetImages);
  for (Integer i = 0; i < NavigatorButtonCount; ++i)
    p.Property(names[i], [i](T* x) { return x->GetButton(i); }, [i](T* x, TcxNavigatorButton* v) { x->GetButton(i)->Assign(v); });
  p.Property("OnButtonClick", &T::GetOnButtonClick, &T::SetOnButtonClick);
}
