#include "components/editors-more/cxBlobEdit.h"

#include <algorithm>
#include <memory>

#include "components/editors/cxButtons.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditPublished.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/ControlProperties.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Math.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

const bool kBlobEditRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxBlobEditProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryBlobItem));
  return true;
}();

constexpr Integer kBlobGlyphWidth = 18;
constexpr Integer kBlobGlyphHeight = 16;

// The kind glyphs (index: 0 BLOB, 2 memo, 4 picture, 6 OLE; plus one when there is a value): a
// sheet with the kind's mark, grey without a value.
void DrawBlobKindGlyph(TcxCanvas* canvas, const TRect& r, Integer index, Boolean enabled) {
  const Boolean hasValue = index % 2 == 1;
  const TColor ink = !enabled || !hasValue ? clGrayText : clWindowText;
  const TRect sheet{r.Left + 3, r.Top + 1, r.Left + 15, r.Top + 15};
  canvas->FillRect(sheet, hasValue ? clWindow : clBtnFace);
  canvas->DrawBorderLines(sheet, ink, 1, cxBordersAll);
  switch (index / 2) {
    case 1:  // memo: lines of text
      for (Integer y = sheet.Top + 3; y < sheet.Bottom - 2; y += 3)
        canvas->FillRect(TRect{sheet.Left + 2, y, sheet.Right - 2, y + 1}, ink);
      break;
    case 2:  // picture: a hill under a sun
      canvas->FillRect(TRect{sheet.Left + 2, sheet.Bottom - 5, sheet.Right - 2, sheet.Bottom - 2}, ink);
      canvas->FillRect(TRect{sheet.Right - 5, sheet.Top + 2, sheet.Right - 3, sheet.Top + 4}, ink);
      break;
    case 3:  // OLE: a framed box
      canvas->DrawBorderLines(TRect{sheet.Left + 3, sheet.Top + 4, sheet.Right - 3, sheet.Bottom - 4}, ink, 1, cxBordersAll);
      break;
    default:  // raw data: dots
      for (Integer y = sheet.Top + 3; y < sheet.Bottom - 2; y += 3)
        for (Integer x = sheet.Left + 2; x < sheet.Right - 2; x += 3)
          canvas->FillRect(TRect{x, y, x + 1, y + 1}, ink);
      break;
  }
}

TcxCustomBlobEditProperties* AsBlobProperties(TcxCustomEditProperties* p) {
  return static_cast<TcxCustomBlobEditProperties*>(p);
}

}  // namespace

// ==== Properties ===============================================================================

TcxCustomBlobEditProperties::TcxCustomBlobEditProperties(TPersistent* owner) : TcxCustomPopupEditProperties(owner) {
  FPictureGraphicClass = DefaultPictureGraphicClass();
  SetImmediatePopup(true);
  SetPopupMinWidth(160);
  SetPopupMinHeight(140);
}

TcxCustomEditViewDataClass TcxCustomBlobEditProperties::GetViewDataClass() { return TcxBlobEditViewData::StaticClass(); }
TcxCustomEditViewInfoClass TcxCustomBlobEditProperties::GetViewInfoClass() { return TcxBlobEditViewInfo::StaticClass(); }
TcxCustomEditClass TcxCustomBlobEditProperties::GetEditClass() { return TcxBlobEdit::StaticClass(); }
orv::ClassOf<TcxCustomEditPopupWindow> TcxCustomBlobEditProperties::GetPopupWindowClass() {
  return TcxBlobEditPopupWindow::StaticClass();
}

void TcxCustomBlobEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomBlobEditProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    FAlwaysSaveData = s->FAlwaysSaveData;
    SetBlobEditKind(s->FBlobEditKind);
    SetBlobPaintStyle(s->FBlobPaintStyle);
    FMemoAutoReplace = s->FMemoAutoReplace;
    FMemoCharCase = s->FMemoCharCase;
    FMemoMaxLength = s->FMemoMaxLength;
    FMemoOEMConvert = s->FMemoOEMConvert;
    FMemoScrollBars = s->FMemoScrollBars;
    FMemoWantReturns = s->FMemoWantReturns;
    FMemoWantTabs = s->FMemoWantTabs;
    FMemoWordWrap = s->FMemoWordWrap;
    FPictureAutoSize = s->FPictureAutoSize;
    FPictureFilter = s->FPictureFilter;
    SetPictureGraphicClass(s->FPictureGraphicClass);
    FPictureTransparency = s->FPictureTransparency;
    FShowExPopupItems = s->FShowExPopupItems;
    FShowPicturePopup = s->FShowPicturePopup;
    FOnAssignPicture = s->FOnAssignPicture;
    FOnGetGraphicClass = s->FOnGetGraphicClass;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomBlobEditProperties::SetBlobEditKind(TcxBlobEditKind value) {
  if (FBlobEditKind == value) return;
  FBlobEditKind = value;
  if (GetButtons()->GetCount() > 0)
    GetButtons()->GetItem(0)->SetKind(value == bekMemo || value == bekPict ? bkDown : bkEllipsis);
  Changed();
}

void TcxCustomBlobEditProperties::SetBlobPaintStyle(TcxBlobPaintStyle value) {
  if (FBlobPaintStyle == value) return;
  FBlobPaintStyle = value;
  Changed();
}

void TcxCustomBlobEditProperties::SetPictureGraphicClass(TGraphicClass value) {
  if (FPictureGraphicClass == value) return;
  FPictureGraphicClass = value;
  Changed();
}

AnsiString TcxCustomBlobEditProperties::GetPictureGraphicClassName() const {
  return FPictureGraphicClass ? AnsiString(FPictureGraphicClass->ClassName()) : AnsiString();
}

void TcxCustomBlobEditProperties::SetPictureGraphicClassName(const AnsiString& value) {
  if (value.empty()) {
    SetPictureGraphicClass(TGraphicClass());
    return;
  }
  if (TGraphicClass c = FindKnownGraphicClass(value)) SetPictureGraphicClass(c);
}

TGraphicClass TcxCustomBlobEditProperties::ResolveGraphicClass(TObject* item, Integer recordIndex,
                                                               Boolean pastingFromClipboard) {
  if (FPictureGraphicClass) return FPictureGraphicClass;
  TGraphicClass result = pastingFromClipboard ? TGraphicClass(TBitmap::StaticClass()) : TGraphicClass();
  if (FOnGetGraphicClass) FOnGetGraphicClass(item, recordIndex, pastingFromClipboard, result);
  return result;
}

void TcxCustomBlobEditProperties::AutoDetectBlobKind() {
  if (FBlobEditKind != bekAuto) return;
  IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  if (provider && !provider->HasActiveData()) return;
  SetChangeLock(true);
  try {
    if (!provider) {
      SetBlobEditKind(bekBlob);
    } else {
      static const TcxBlobEditKind kinds[] = {bekBlob, bekBlob, bekPict, bekMemo, bekOle};
      const Integer k = provider->DefaultBlobKind();
      SetBlobEditKind(k >= 0 && k <= 4 ? kinds[k] : bekBlob);
    }
  } catch (...) {
    SetChangeLock(false);
    throw;
  }
  SetChangeLock(false);
}

AnsiString TcxCustomBlobEditProperties::BlobDisplayText(const Variant& value, Boolean full) {
  if (full && FBlobEditKind == bekMemo && VarIsStr(value)) return VarToStr(value);
  switch (FBlobPaintStyle) {
    case bpsDefault:
      if (FBlobEditKind == bekMemo)
        return GetLocalizedResourceString(VarIsNull(value) ? &cxSBlobMemoEmpty : &cxSBlobMemo);
      if (FBlobEditKind == bekPict)
        return GetLocalizedResourceString(VarIsNull(value) ? &cxSBlobPictureEmpty : &cxSBlobPicture);
      return {};
    case bpsText:
      if (FBlobEditKind == bekMemo && (VarIsStr(value) || VarIsArray(value))) {
        const AnsiString text = VarToStr(value);
        return text.substr(0, text.find_first_of("\r\n"));
      }
      return {};
    default: return {};
  }
}

Boolean TcxCustomBlobEditProperties::AreDisplayValuesEqual(const Variant& v1, const Variant& v2) {
  AutoDetectBlobKind();
  return FBlobPaintStyle == bpsText && FBlobEditKind == bekMemo && VarIsStr(v1) && VarIsStr(v2) &&
         VarToStr(v1) == VarToStr(v2);
}

void TcxCustomBlobEditProperties::EditValueToDisplayText(const Variant& value, AnsiString& text) {
  if (VarIsNull(value)) {
    text.clear();
    return;
  }
  switch (FBlobEditKind) {
    case bekMemo: text = BlobDisplayText(value, false); break;
    case bekPict: text = GetLocalizedResourceString(&cxSBlobPicture); break;
    case bekOle: text = "OLE"; break;
    case bekBlob: text = "BLOB"; break;
    default: text.clear(); break;
  }
}

Integer TcxCustomBlobEditProperties::GetEditorTraits() {
  return inherited::GetEditorTraits() | (FBlobEditKind == bekPict ? 1 : 0);
}

Word TcxCustomBlobEditProperties::GetCapabilities() { return GetButtons()->GetCount() > 0 ? 36 : 4; }

Integer TcxCustomBlobEditProperties::GetValueExchangeMode(Boolean focused) {
  AutoDetectBlobKind();
  IcxEditDefaultValuesProvider* provider = GetDefaultValuesProvider();
  return FBlobEditKind == bekMemo && (!provider || !provider->IsBlobValue()) ? 1 : 0;
}

// ==== View info and view data ==================================================================

void TcxBlobEditViewInfo::OffsetRects(Integer dx, Integer dy) {
  inherited::OffsetRects(dx, dy);
  KindGlyphRect = TRect{KindGlyphRect.Left + dx, KindGlyphRect.Top + dy, KindGlyphRect.Right + dx,
                        KindGlyphRect.Bottom + dy};
}

void TcxBlobEditViewInfo::DoPaint(TcxCanvas* canvas) {
  if (KindGlyphIndex == -1) {
    inherited::DoPaint(canvas);
  } else {
    DrawEditBackgroundAndButtons(canvas, this, true, 0);
    canvas->PushClipRegion();
    try {
      TRect r{};
      if (IntersectRects(r, KindGlyphRect, ClientRect)) {
        canvas->IntersectClip(r);
        DrawBlobKindGlyph(canvas, KindGlyphRect, KindGlyphIndex, IsEnabled);
      }
    } catch (...) {
      canvas->PopClipRegion();
      throw;
    }
    canvas->PopClipRegion();
  }
  if (IsFocused && !InplaceView && !PopupOpen) {
    canvas->SetFontColor(0xFFFFFF);
    canvas->SetBrushColor(0);
    canvas->GetCanvas()->DrawFocusRect(TRect{ClientRect.Left + 1, ClientRect.Top + 1, ClientRect.Right - 1, ClientRect.Bottom - 1});
  }
}

void TcxBlobEditViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                            TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                            const TPoint& mousePos) {
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  auto* vi = static_cast<TcxBlobEditViewInfo*>(viewInfo);
  const TRect cr = vi->ClientRect;
  const Integer x = cr.Left + (cr.Right - cr.Left - kBlobGlyphWidth) / 2;
  const Integer y = cr.Top + (cr.Bottom - cr.Top - kBlobGlyphHeight) / 2;
  vi->KindGlyphRect = TRect{x, y, x + kBlobGlyphWidth, y + kBlobGlyphHeight};
  vi->PopupOpen = PopupOpen;
  if (auto* edit = dynamic_cast<TcxCustomBlobEdit*>(Edit)) {
    Variant value;
    edit->GetEditValue(value);
    SetViewInfoValue(canvas, value, viewInfo);
  }
}

void TcxBlobEditViewData::SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) {
  auto* p = AsBlobProperties(Properties);
  p->AutoDetectBlobKind();
  auto* vi = static_cast<TcxBlobEditViewInfo*>(viewInfo);
  if (p->GetBlobPaintStyle() == bpsIcon) {
    vi->ShownText.clear();
    Integer index = -1;
    switch (p->GetBlobEditKind()) {
      case bekMemo: index = 2; break;
      case bekPict: index = 4; break;
      case bekOle: index = 6; break;
      case bekBlob: index = 0; break;
      default: return;  // an undecided kind keeps what it showed
    }
    if (!VarIsNull(value) && !VarIsEmpty(value) && !(VarIsStr(value) && VarToStr(value).empty())) ++index;
    vi->KindGlyphIndex = index;
    return;
  }
  inherited::SetViewInfoValue(canvas, value, viewInfo);
  vi->KindGlyphIndex = -1;
}

void TcxBlobEditViewData::EditValueToDrawText(const Variant& value, AnsiString& text) {
  text = AsBlobProperties(Properties)->BlobDisplayText(value, false);
}

// ==== Popup content and window =================================================================

void TcxPopupMemo::SetEditValueExternally(const Variant& value) {
  if (OwnerBlobEdit) OwnerBlobEdit->SetEditValueExternally(value);
  else inherited::SetEditValueExternally(value);
}

void TcxPopupMemo::KeyDown(Word& key, TShiftState shift) {
  if (!OwnerBlobEdit) {
    inherited::KeyDown(key, shift);
    return;
  }
  TcxCustomBlobEditProperties* p = OwnerBlobEdit->BlobProperties();
  const TModalResult result = OwnerBlobEdit->HandlePopupKey(key, shift, !p->GetMemoWantReturns(), p->GetAlwaysSaveData());
  if (key != 0) inherited::KeyDown(key, shift);
  else if (HandleAllocated()) DiscardPendingMessages(GetHandle(), WM_CHAR, WM_CHAR);
  if (result != mrNone) OwnerBlobEdit->ClosePopupWithResult(result);
}

void TcxPopupImage::KeyDown(Word& key, TShiftState shift) {
  if (!OwnerBlobEdit) {
    inherited::KeyDown(key, shift);
    return;
  }
  const TModalResult result =
      OwnerBlobEdit->HandlePopupKey(key, shift, true, OwnerBlobEdit->BlobProperties()->GetAlwaysSaveData());
  inherited::KeyDown(key, shift);
  if (result != mrNone) OwnerBlobEdit->ClosePopupWithResult(result);
}

void TcxBlobEditPopupWindow::SendCharToFocusedControl(char c) {
  auto* edit = dynamic_cast<TcxCustomBlobEdit*>(OwnerEditor());
  auto* memo = edit ? dynamic_cast<TcxPopupMemo*>(edit->GetPopupContent()) : nullptr;
  if (!memo || memo->GetProperties()->GetReadOnly()) return;
  if (edit->BlobProperties()->GetMemoAutoReplace()) {
    memo->SetText(AnsiString(1, c));
    memo->SetSelectionStart(1);
    memo->SetModifiedAfterEnter(true);
    return;
  }
  inherited::SendCharToFocusedControl(c);
}

// ==== The editor ===============================================================================

TcxCustomEditPropertiesClass TcxCustomBlobEdit::GetPropertiesClass() { return TcxCustomBlobEditProperties::StaticClass(); }
TcxCustomEditPropertiesClass TcxBlobEdit::GetPropertiesClass() { return TcxBlobEditProperties::StaticClass(); }

void TcxCustomBlobEdit::Initialize() {
  inherited::Initialize();
  SetControlStyle(GetControlStyle() - TControlStyle{csSetCaption});
  SetTabStop(true);
}

void TcxCustomBlobEdit::BeforeDestruction() {
  DestroyPopupContent();
  inherited::BeforeDestruction();
}

void TcxCustomBlobEdit::GetDisplayText(AnsiString& text) {
  auto* memo = dynamic_cast<TcxPopupMemo*>(FPopupContent);
  if (BlobProperties()->GetBlobEditKind() == bekMemo && memo) {
    text = memo->GetText();
    return;
  }
  inherited::GetDisplayText(text);
}

void TcxCustomBlobEdit::GetEditingValue(Variant& value) {
  const TcxBlobEditKind kind = BlobProperties()->GetBlobEditKind();
  if (HasOpenPopup() && FPopupContent && (kind == bekMemo || kind == bekPict)) {
    if (auto* memo = dynamic_cast<TcxPopupMemo*>(FPopupContent)) value = Variant(memo->GetText());
    else FPopupContent->GetEditValue(value);
    return;
  }
  GetEditValue(value);
}

void TcxCustomBlobEdit::UpdateDisplayValue() { RefreshStateAtCursor(false); }

void TcxCustomBlobEdit::UpdateEditValue() {
  if (BlobProperties()->GetBlobEditKind() == bekMemo && FPopupContent) inherited::UpdateEditValue();
}

void TcxCustomBlobEdit::HandlePropertiesChange(TObject* sender) {
  if (GetComponentState().Contains(csDestroying)) return;
  inherited::HandlePropertiesChange(sender);
  RefreshStateAtCursor(false);
  if (auto* image = dynamic_cast<TcxPopupImage*>(FPopupContent))
    image->GetProperties()->SetGraphicClass(BlobProperties()->GetPictureGraphicClass());
}

void TcxCustomBlobEdit::CreatePopupWindow() {
  inherited::CreatePopupWindow();
  // The keys and buttons close the popup themselves: no modal loop of its own.
  GetPopupWindow()->SetOwnLoop(false);
}

void TcxCustomBlobEdit::DoInitPopup() {
  // The content is made first: the popup editor places the popup control it finds.
  CreatePopupContent();
  inherited::DoInitPopup();
}

Boolean TcxCustomBlobEdit::CanDropDown() {
  BlobProperties()->AutoDetectBlobKind();
  const TcxBlobEditKind kind = BlobProperties()->GetBlobEditKind();
  return kind == bekMemo || kind == bekPict;
}

TWinControl* TcxCustomBlobEdit::GetPopupFocusedControl() {
  return FPopupContent ? FPopupContent : inherited::GetPopupFocusedControl();
}

void TcxCustomBlobEdit::GetPopupContentSize(TSize& size) {
  auto* image = dynamic_cast<TcxPopupImage*>(FPopupContent);
  if (BlobProperties()->GetBlobEditKind() == bekPict && BlobProperties()->GetPictureAutoSize() && image) {
    size = TSize{image->GetPicture()->GetWidth() + 4, image->GetPicture()->GetHeight() + 4};
    return;
  }
  inherited::GetPopupContentSize(size);
}

template <class T>
T* TcxCustomBlobEdit::EnsurePopupContent() {
  if (FPopupContent && !dynamic_cast<T*>(FPopupContent)) DestroyPopupContent();
  if (!FPopupContent) {
    T* content = new T(nullptr);
    content->SetOnEditing(TcxEditEditingEvent(this, &TcxCustomBlobEdit::PopupContentEditing));
    content->GetEditStyle()->SetEditBorderStyle(ebsNone);
    content->GetProperties()->SetOnChange(TNotifyEvent(this, &TcxCustomBlobEdit::PopupContentChanged));
    FPopupContent = content;
  }
  FPopupContent->GetProperties()->SetReadOnly(!CanModify());
  BlobProperties()->SetPopupControl(FPopupContent);
  BlobProperties()->SetPopupSysPanelStyle(true);
  if (GetPopupWindow()) FPopupContent->SetParent(GetPopupWindow());
  return static_cast<T*>(FPopupContent);
}

void TcxCustomBlobEdit::CreatePopupContent() {
  TcxCustomBlobEditProperties* p = BlobProperties();
  p->AutoDetectBlobKind();
  FPopupModalResult = mrNone;
  if (p->GetBlobEditKind() == bekMemo) {
    auto* memo = EnsurePopupContent<TcxPopupMemo>();
    memo->OwnerBlobEdit = this;
    TcxMemoProperties* mp = memo->GetProperties();
    mp->SetCharCase(p->GetMemoCharCase());
    mp->SetMaxLength(p->GetMemoMaxLength());
    mp->SetOEMConvert(p->GetMemoOEMConvert());
    mp->SetScrollBars(p->GetMemoScrollBars());
    mp->SetWantReturns(p->GetMemoWantReturns());
    mp->SetWantTabs(p->GetMemoWantTabs());
    mp->SetWordWrap(p->GetMemoWordWrap());
    p->SetPopupAutoSize(false);
    memo->SetEditValueProperty(GetEditValueProperty());
    memo->GetEditStyle()->GetLookAndFeel()->SetMaster(GetPopupLookAndFeel());
    memo->GetEditStyle()->GetFont()->Assign(GetActiveFont());
    memo->GetEditStyle()->SetColor(GetBackgroundColor());
    CreatePopupButtons();
  } else if (p->GetBlobEditKind() == bekPict) {
    auto* image = EnsurePopupContent<TcxPopupImage>();
    image->OwnerBlobEdit = this;
    TcxImageProperties* ip = image->GetProperties();
    ip->SetShowFocusRect(false);
    ip->SetStretch(true);
    ip->SetCustomFilter(p->GetPictureFilter());
    ip->SetGraphicTransparency(p->GetPictureTransparency());
    TcxPopupMenuItems items = ip->GetPopupMenuLayout()->GetMenuItems();
    if (!p->GetShowPicturePopup()) {
      items = TcxPopupMenuItems{};
    } else if (!p->GetShowExPopupItems()) {
      items.Exclude(pmiLoad);
      items.Exclude(pmiSave);
    }
    ip->GetPopupMenuLayout()->SetMenuItems(items);
    ip->SetGraphicClass(p->GetPictureGraphicClass());
    image->SetOnGetGraphicClass(TcxImageEditGraphicClassEvent(this, &TcxCustomBlobEdit::PopupImageGraphicClass));
    ip->SetOnPopupClosed(TcxEditClosePopupEvent(this, &TcxCustomBlobEdit::PopupImageClosed));
    ip->SetOnGetGraphicClass(
        TcxImageGraphicClassEvent(this, &TcxCustomBlobEdit::PopupImagePropertiesGraphicClass));
    LoadPictureFromValue(image->GetPicture(), ResolveGraphicClass(false), GetEditValueProperty());
    image->SetModified(false);
    image->GetEditStyle()->GetLookAndFeel()->SetMaster(GetPopupLookAndFeel());
    p->SetPopupAutoSize(p->GetPictureAutoSize());
    CreatePopupButtons();
  }
}

void TcxCustomBlobEdit::DestroyPopupContent() {
  if (FPopupContent && BlobProperties()->GetPopupControl() == FPopupContent) BlobProperties()->SetPopupControl(nullptr);
  FreeAndNil(FOKButton);
  FreeAndNil(FCancelButton);
  if (FPopupContent) {
    TcxCustomEdit* content = FPopupContent;
    FPopupContent = nullptr;
    content->Free();
  }
}

void TcxCustomBlobEdit::PopupContentEditing(TObject* sender, Boolean& canEdit) { canEdit = CanModify(); }

void TcxCustomBlobEdit::PopupContentChanged(TObject* sender) {
  if (!FOKButton) return;
  FOKButton->SetEnabled(true);
  FOKButton->SetDefault(true);
}

void TcxCustomBlobEdit::PopupImageGraphicClass(TObject* sender, Boolean pasting, TGraphicClass& graphicClass) {
  graphicClass = ResolveGraphicClass(pasting);
}

void TcxCustomBlobEdit::PopupImagePropertiesGraphicClass(TObject* item, Integer recordIndex, Boolean pasting,
                                                         TGraphicClass& graphicClass) {
  graphicClass = ResolveGraphicClass(pasting);
}

TGraphicClass TcxCustomBlobEdit::ResolveGraphicClass(Boolean pastingFromClipboard) {
  if (IsInplace()) return BlobProperties()->ResolveGraphicClass(GetInplaceItem(), GetInplaceRecordIndex(), pastingFromClipboard);
  if (TGraphicClass c = BlobProperties()->GetPictureGraphicClass()) return c;
  TGraphicClass result = pastingFromClipboard ? TGraphicClass(TBitmap::StaticClass()) : TGraphicClass();
  if (FOnGetGraphicClass) FOnGetGraphicClass(this, pastingFromClipboard, result);
  return result;
}

void TcxCustomBlobEdit::EnsurePopupButton(TcxButton*& button, const AnsiString& caption, Integer height, Integer width) {
  if (!button) {
    button = new TcxButton(nullptr);
    button->SetUseSystemPaint(false);
    button->SetOnClick(TNotifyEvent(this, &TcxCustomBlobEdit::PopupButtonClick));
  }
  button->SetCaption(caption);
  button->GetFont()->Assign(GetActiveFont());
  button->GetLookAndFeel()->SetMaster(GetPopupLookAndFeel());
  button->SetHeight(height);
  button->SetWidth(width);
  if (GetPopupWindow()) button->SetParent(GetPopupWindow());
}

void TcxCustomBlobEdit::CreatePopupButtons() {
  const Boolean closeOnly = BlobProperties()->GetReadOnly() || !GetDataBinding()->HasActiveData();
  const AnsiString cancel = GetLocalizedResourceString(closeOnly ? &cxSBlobButtonClose : &cxSBlobButtonCancel);
  const AnsiString ok = GetLocalizedResourceString(&cxSBlobButtonOK);
  TcxCanvas* canvas = GetCanvasOrScreenCanvas();
  canvas->SetFont(GetActiveFont());
  FButtonWidth = std::max(canvas->TextWidthOf(ok + "00"), canvas->TextWidthOf(cancel + "00"));
  const Integer h = MulDiv(canvas->TextHeightOf("Wg"), 20, 13);
  EnsurePopupButton(FCancelButton, cancel, h, FButtonWidth);
  FCancelButton->SetCancel(true);
  FCancelButton->SetModalResult(mrCancel);
  if (closeOnly) {
    FreeAndNil(FOKButton);
  } else {
    EnsurePopupButton(FOKButton, ok, h, FButtonWidth);
    FOKButton->SetEnabled(FPopupContent && FPopupContent->GetModified());
    FOKButton->SetModalResult(mrOk);
  }
  if (GetPopupWindow()) GetPopupWindow()->SetMinSysPanelHeight(h + h / 3);
  const Integer buttons = (h / 3 + FButtonWidth) * (FOKButton ? 2 : 1);
  BlobProperties()->SetPopupMinWidth(GetSystemMetrics(SM_CXVSCROLL) + buttons + h / 2);
}

void TcxCustomBlobEdit::SetupPopupWindow() {
  if (!FCancelButton) {
    inherited::SetupPopupWindow();
    return;
  }
  GetActiveEditStyle()->SetShowPopupCloseButton(false);
  inherited::SetupPopupWindow();
  TcxCustomEditPopupWindow* window = GetPopupWindow();
  TcxCustomEditPopupWindowViewInfo* vi = window->GetPopupViewInfo();
  const Integer h = FCancelButton->GetHeight();
  const Integer w = FButtonWidth;
  const TRect g = vi->GripRect;
  const Integer p = vi->MinSysPanelHeight;
  const Integer corner = vi->GripCorner;
  const Integer r = corner == 1 || corner == 3 ? w + h / 6 + (window->GetWidth() - g.Left)
                                               : w + std::max(2 * (h / 6), g.Left);
  Integer top;
  TAnchors anchors;
  if (corner == 0 || corner == 1) {
    top = g.Top + (p - h) / 2 - 2;
    anchors = TAnchors{akTop, akRight};
  } else {
    top = g.Bottom - h - (p - h) / 2 + 2;
    anchors = TAnchors{akRight, akBottom};
  }
  FCancelButton->SetBounds(window->GetWidth() - r, top, w, h);
  FCancelButton->SetAnchors(anchors);
  if (FOKButton) {
    FOKButton->SetBounds(FCancelButton->GetLeft() - (h / 3 + w), FCancelButton->GetTop(), w, h);
    FOKButton->SetAnchors(anchors);
  }
}

void TcxCustomBlobEdit::PopupButtonClick(TObject* sender) {
  ClosePopupWithResult(static_cast<TcxButton*>(sender)->GetModalResult());
}

TModalResult TcxCustomBlobEdit::HandlePopupKey(Word& key, TShiftState shift, Boolean enterCloses, Boolean alwaysSave) {
  TModalResult result = mrNone;
  if ((key == VK_F4 && !shift.Contains(ssAlt)) || key == VK_ESCAPE ||
      ((key == VK_UP || key == VK_DOWN) && shift.Contains(ssAlt)))
    result = alwaysSave && key != VK_ESCAPE ? mrOk : mrCancel;
  else if (key == VK_RETURN && (enterCloses || shift.Contains(ssCtrl)))
    result = mrOk;
  if (result != mrNone) key = 0;
  return result;
}

void TcxCustomBlobEdit::ClosePopupWithResult(TModalResult result) {
  FPopupModalResult = result;
  if (HasOpenPopup()) CloseUp(result == mrOk ? dcrAccept : dcrCancel);
}

Boolean TcxCustomBlobEdit::ShouldSaveValue() {
  if (!FPopupContent || !FPopupContent->GetModified()) return false;
  const Boolean accepted = FPopupModalResult == mrOk ||
                           (FPopupModalResult != mrCancel && BlobProperties()->GetAlwaysSaveData());
  return accepted && DoEditing();
}

void TcxCustomBlobEdit::PopupImageClosed(TObject* sender, Integer reason) {
  if (HasOpenPopup()) return;
  if (reason == Integer(dcrAccept)) SaveValueFromPopup();
  FireOnCloseUp(reason);
}

void TcxCustomBlobEdit::SaveValueFromPopup() {
  if (!ShouldSaveValue()) return;
  auto* image = dynamic_cast<TcxPopupImage*>(FPopupContent);
  if (auto* memo = dynamic_cast<TcxPopupMemo*>(FPopupContent)) {
    ChangeEditValue(Variant(memo->GetText()));
  } else if (image) {
    ChangeEditValue(image->GetEditValueProperty());
  }
  SetModifiedAfterEnter(true);
  if (image) {
    LockEditValueChanging(true);
    try {
      if (const auto& e = BlobProperties()->GetOnAssignPicture()) e(this, image->GetPicture());
      if (TcxEditRepositoryItem* item = GetRepositoryItem())
        if (auto* p = dynamic_cast<TcxCustomBlobEditProperties*>(item->GetProperties());
            p && p != GetProperties() && p->GetOnAssignPicture())
          p->GetOnAssignPicture()(this, image->GetPicture());
      SaveModifiedFlags();
      SetModified(false);
      DoEditing();
      RestoreModifiedFlags();
    } catch (...) {
      LockEditValueChanging(false);
      throw;
    }
    LockEditValueChanging(false);
  }
  if (BlobProperties()->GetImmediatePost() && CanPostEditValue() && ValidateEditValue(true)) PostEditValue(false);
}

void TcxCustomBlobEdit::PopupWindowClosed(TObject* sender) {
  if (FPopupModalResult == mrNone) {
    const TcxDropDownCloseReason reason = GetCloseReason();
    FPopupModalResult = reason == dcrAccept || reason == dcrTab || reason == dcrToggle ? mrOk
                        : reason == dcrCancel                                         ? mrCancel
                                                                                      : mrNone;
  }
  LockChangeEvents(true);
  try {
    SaveValueFromPopup();
    inherited::PopupWindowClosed(sender);
    RefreshStateAtCursor(false);
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
  FPopupModalResult = mrNone;
}

// ==== Published ================================================================================

const orv::EnumNames<TcxBlobEditKind> kBlobEditKindNames("TcxBlobEditKind",
                                                         {"bekAuto", "bekMemo", "bekPict", "bekOle", "bekBlob"});
const orv::EnumNames<TcxBlobPaintStyle> kBlobPaintStyleNames("TcxBlobPaintStyle", {"bpsDefault", "bpsIcon", "bpsText"});

ORV_PUBLISH(TcxBlobEditProperties) {
  using T = TcxBlobEditProperties;
  p.Property("AlwaysSaveData", &T::GetAlwaysSaveData, &T::SetAlwaysSaveData).Default(true);
  p.Property("BlobEditKind", &T::GetBlobEditKind, &T::SetBlobEditKind).Default(bekAuto);
  p.Property("BlobPaintStyle", &T::GetBlobPaintStyle, &T::SetBlobPaintStyle).Default(bpsIcon);
  p.Property("ClearKey", &T::GetClearKey, &T::SetClearKey).Default(TShortCut(0));
  p.Property("ImmediatePopup", &T::GetImmediatePopup, &T::SetImmediatePopup).Default(true);
  p.Property("ImmediatePost", &T::GetImmediatePost, &T::SetImmediatePost).Default(false);
  p.Property("MemoAutoReplace", &T::GetMemoAutoReplace, &T::SetMemoAutoReplace).Default(false);
  p.Property("MemoCharCase", &T::GetMemoCharCase, &T::SetMemoCharCase).Default(ecNormal);
  p.Property("MemoMaxLength", &T::GetMemoMaxLength, &T::SetMemoMaxLength).Default(0);
  p.Property("MemoOEMConvert", &T::GetMemoOEMConvert, &T::SetMemoOEMConvert).Default(false);
  p.Property("MemoScrollBars", &T::GetMemoScrollBars, &T::SetMemoScrollBars).Default(ssNone);
  p.Property("MemoWantReturns", &T::GetMemoWantReturns, &T::SetMemoWantReturns).Default(true);
  p.Property("MemoWantTabs", &T::GetMemoWantTabs, &T::SetMemoWantTabs).Default(true);
  p.Property("MemoWordWrap", &T::GetMemoWordWrap, &T::SetMemoWordWrap).Default(true);
  p.Property("PictureAutoSize", &T::GetPictureAutoSize, &T::SetPictureAutoSize).Default(true);
  p.Property("PictureFilter", &T::GetPictureFilter, &T::SetPictureFilter)
      .Stored([](T* x) { return !x->GetPictureFilter().empty(); });
  p.Property("PictureGraphicClassName", &T::GetPictureGraphicClassName, &T::SetPictureGraphicClassName)
      .Stored([](T* x) { return x->GetPictureGraphicClass() != x->DefaultPictureGraphicClass(); });
  p.Property("PictureTransparency", &T::GetPictureTransparency, &T::SetPictureTransparency).Default(gtDefault);
  p.Property("PopupHeight", &T::GetPopupHeight, &T::SetPopupHeight).Default(200);
  p.Property("PopupWidth", &T::GetPopupWidth, &T::SetPopupWidth).Default(250);
  p.Property("ReadOnly", &T::GetReadOnly, &T::SetReadOnly).Stored([](T* x) { return x->IsReadOnlyStored(); });
  p.Property("ShowExPopupItems", &T::GetShowExPopupItems, &T::SetShowExPopupItems).Default(true);
  p.Property("ShowPicturePopup", &T::GetShowPicturePopup, &T::SetShowPicturePopup).Default(true);
  p.Property("OnAssignPicture", &T::GetOnAssignPicture, &T::SetOnAssignPicture);
  p.Property("OnButtonClick", &T::GetOnButtonClick, &T::SetOnButtonClick);
  p.Property("OnChange", &T::GetOnChange, &T::SetOnChange);
  p.Property("OnCloseQuery", &T::GetOnCloseQuery, &T::SetOnCloseQuery);
  p.Property("OnCloseUp", &T::GetOnCloseUp, &T::SetOnCloseUp);
  p.Property("OnEditValueChanged", &T::GetOnEditValueChanged, &T::SetOnEditValueChanged);
  p.Property("OnGetGraphicClass", &T::GetOnGetGraphicClass, &T::SetOnGetGraphicClass);
  p.Property("OnInitPopup", &T::GetOnInitPopup, &T::SetOnInitPopup);
  p.Property("OnPopup", &T::GetOnPopup, &T::SetOnPopup);
  p.Property("OnValidate", &T::GetOnValidate, &T::SetOnValidate);
}

ORV_PUBLISH(TcxBlobEdit) {
  using T = TcxBlobEdit;
  orv::PublishLayout(p);
  p.Property("AutoSize", [](T* x) { return x->GetAutoSize(); }, [](T* x, bool v) { x->SetAutoSize(v); }).Default(true);
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
  p.Property("Properties", [](T* x) { return x->GetProperties(); }, [](T* x, TcxBlobEditProperties* v) { x->SetProperties(v); });
  p.Property("EditValue", [](T* x) { return x->GetEditValueProperty(); }, [](T* x, Variant v) { x->SetEditValue(v); });
}
