#include "components/editors-more/cxImageComboBox.h"

#include <algorithm>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxFilterControlUtils.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/ImgList.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

const bool kImageComboBoxRegistered = [] {
  GetEditPropertiesRegistry()->AddClass(TcxImageComboBoxProperties::StaticClass(),
                                        GetLocalizedResourceString(&scxSEditRepositoryImageComboBoxItem));
  FilterEditsController()->AddHelperClass(TcxImageComboBoxProperties::StaticClass(),
                                          TcxFilterImageComboBoxHelper::StaticClass());
  return true;
}();

TcxCustomImageComboBoxProperties* AsImageComboProperties(TcxCustomEditProperties* p) {
  return static_cast<TcxCustomImageComboBoxProperties*>(p);
}

}  // namespace

// ==== Items ====================================================================================

TcxImageComboBoxItem::TcxImageComboBoxItem(TCollection* collection) : TCollectionItem(collection) {
  auto* items = dynamic_cast<TcxImageComboBoxItems*>(collection);
  TCustomImageList* images = items ? items->GetProperties()->GetImages() : nullptr;
  if (images && images->GetCount() >= collection->GetCount()) FImageIndex = collection->GetCount() - 1;
}

void TcxImageComboBoxItem::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxImageComboBoxItem*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  FDescription = s->FDescription;
  FImageIndex = s->FImageIndex;
  FTag = s->FTag;
  FValue = s->FValue;
  Changed(false);
}

void TcxImageComboBoxItem::SetDescription(const AnsiString& value) {
  if (FDescription == value) return;
  FDescription = value;
  Changed(false);
}

void TcxImageComboBoxItem::SetImageIndex(Integer value) {
  if (FImageIndex == value) return;
  FImageIndex = value;
  Changed(false);
}

void TcxImageComboBoxItem::SetValue(const Variant& value) {
  if (VarEqualsExactly(FValue, value)) return;
  FValue = value;
  Changed(false);
}

TcxImageComboBoxItems::TcxImageComboBoxItems(TcxCustomImageComboBoxProperties* owner)
    : TOwnedCollection(owner, TcxImageComboBoxItem::StaticClass()), FProperties(owner) {}

void TcxImageComboBoxItems::Update(TCollectionItem* item) {
  // The text editor's own list follows the descriptions, so that everything it does with its
  // items (searching, measuring, showing the chosen text) sees the same list.
  TStringList* lookup = FProperties->GetLookupItems();
  lookup->BeginUpdate();
  lookup->Clear();
  for (Integer i = 0; i < GetCount(); ++i) lookup->Add(GetItem(i)->GetDescription());
  lookup->EndUpdate();
  FProperties->Changed();
}

// ==== Properties ===============================================================================

TcxCustomImageComboBoxProperties::TcxCustomImageComboBoxProperties(TPersistent* owner)
    : TcxCustomComboBoxProperties(owner) {
  FItems = new TcxImageComboBoxItems(this);
  SetDropDownListStyle(lsFixedList);
  FImagesChangeLink = new TChangeLink;
  FImagesChangeLink->SetOnChange(TNotifyEvent(this, &TcxCustomImageComboBoxProperties::ImageListChanged));
  FLargeImagesChangeLink = new TChangeLink;
  FLargeImagesChangeLink->SetOnChange(TNotifyEvent(this, &TcxCustomImageComboBoxProperties::ImageListChanged));
  FImagesNotificator = new TcxFreeNotificator(nullptr);
  FImagesNotificator->SetOnFreeNotification(
      TcxFreeNotificationEvent(this, &TcxCustomImageComboBoxProperties::ImageListFreed));
}

void TcxCustomImageComboBoxProperties::BeforeDestruction() {
  if (FImages) FImages->UnRegisterChanges(FImagesChangeLink);
  if (FLargeImages) FLargeImages->UnRegisterChanges(FLargeImagesChangeLink);
  inherited::BeforeDestruction();
}

TcxCustomImageComboBoxProperties::~TcxCustomImageComboBoxProperties() {
  FImagesNotificator->Free();
  FImagesChangeLink->Free();
  FLargeImagesChangeLink->Free();
  FItems->Free();
}

void TcxCustomImageComboBoxProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomImageComboBoxProperties*>(source);
  if (!s) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(source);
    SetDefaultDescription(s->FDefaultDescription);
    SetDefaultImageIndex(s->FDefaultImageIndex);
    SetImageAlign(s->FImageAlign);
    SetImages(s->FImages);
    SetItems(s->FItems);
    SetLargeImages(s->FLargeImages);
    SetMultiLineText(s->FMultiLineText);
    SetShowDescriptions(s->FShowDescriptions);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TcxCustomEditClass TcxCustomImageComboBoxProperties::GetEditClass() { return TcxImageComboBox::StaticClass(); }
TcxCustomEditViewDataClass TcxCustomImageComboBoxProperties::GetViewDataClass() {
  return TcxImageComboBoxViewData::StaticClass();
}
TcxCustomEditViewInfoClass TcxCustomImageComboBoxProperties::GetViewInfoClass() {
  return TcxImageComboBoxViewInfo::StaticClass();
}
TClass TcxCustomImageComboBoxProperties::GetLookupDataClass() { return TcxImageComboBoxLookupData::StaticClass(); }

TcxImageComboBoxItem* TcxCustomImageComboBoxProperties::FindItemByValue(const Variant& value) {
  const Integer i = IndexOfValue(value);
  return i == -1 ? nullptr : FItems->GetItem(i);
}

Integer TcxCustomImageComboBoxProperties::IndexOfValue(const Variant& value) {
  // Values are matched by what they are, not by how they are held: a filter value read back from
  // a stream comes as the narrowest integer that holds it (7 as a one-byte integer), and an edit
  // value from a field may be any integer width, yet both stand for the item valued 7.
  for (Integer i = 0; i < FItems->GetCount(); ++i)
    if (AreVariantsEqual(FItems->GetItem(i)->GetValue(), value)) return i;
  return -1;
}

TcxImageComboBoxItem* TcxCustomImageComboBoxProperties::FindItemByDescription(const AnsiString& text) {
  // Without descriptions there is no text to match.
  if (!FShowDescriptions) return nullptr;
  for (Integer i = 0; i < FItems->GetCount(); ++i)
    if (AnsiSameText(FItems->GetItem(i)->GetDescription(), text)) return FItems->GetItem(i);
  return nullptr;
}

void TcxCustomImageComboBoxProperties::GetItemDescriptionAndImage(TcxImageComboBoxItem* item, AnsiString& text,
                                                                  Boolean forceDescription, Integer& imageIndex) {
  text = forceDescription || FShowDescriptions ? (item ? item->GetDescription() : FDefaultDescription) : AnsiString();
  imageIndex = item ? item->GetImageIndex() : FDefaultImageIndex;
}

void TcxCustomImageComboBoxProperties::EditValueToDisplayValue(const Variant& value, Variant& displayValue,
                                                               Boolean focused) {
  AnsiString text;
  Integer image = -1;
  GetItemDescriptionAndImage(FindItemByValue(value), text, true, image);
  displayValue = Variant(text);
}

void TcxCustomImageComboBoxProperties::EditValueToDisplayText(const Variant& value, AnsiString& text) {
  Variant display;
  EditValueToDisplayValue(value, display, false);
  text = VarToStr(display);
}

Boolean TcxCustomImageComboBoxProperties::AreDisplayValuesEqual(const Variant& v1, const Variant& v2) {
  AnsiString t1, t2;
  Integer i1 = -1, i2 = -1;
  GetItemDescriptionAndImage(FindItemByValue(v1), t1, false, i1);
  GetItemDescriptionAndImage(FindItemByValue(v2), t2, false, i2);
  return t1 == t2 && (!FImages || i1 == i2);
}

Word TcxCustomImageComboBoxProperties::GetCapabilities() {
  return Word((GetButtons()->GetCount() > 0 ? 828 : 796) + (FShowDescriptions ? 64 : 0));
}

void TcxCustomImageComboBoxProperties::ComponentFreed(TComponent* component) {
  inherited::ComponentFreed(component);
  if (component == FImages) {
    FImages = nullptr;
    Changed();
  }
  if (component == FLargeImages) {
    FLargeImages = nullptr;
    Changed();
  }
}

void TcxCustomImageComboBoxProperties::SetImageList(TCustomImageList*& field, TChangeLink* link,
                                                    TCustomImageList* value) {
  if (field == value) return;
  if (field) {
    field->UnRegisterChanges(link);
    if (field != FImages || field != FLargeImages) FImagesNotificator->RemoveSender(field);
  }
  field = value;
  if (field) {
    field->RegisterChanges(link);
    FImagesNotificator->AddSender(field);
  }
  Changed();
}

void TcxCustomImageComboBoxProperties::SetImages(TCustomImageList* value) {
  SetImageList(FImages, FImagesChangeLink, value);
}

void TcxCustomImageComboBoxProperties::SetLargeImages(TCustomImageList* value) {
  SetImageList(FLargeImages, FLargeImagesChangeLink, value);
}

void TcxCustomImageComboBoxProperties::SetItems(TcxImageComboBoxItems* value) {
  FItems->Assign(value);
  Changed();
}

void TcxCustomImageComboBoxProperties::SetDefaultDescription(const AnsiString& value) {
  if (FDefaultDescription == value) return;
  FDefaultDescription = value;
  Changed();
}

void TcxCustomImageComboBoxProperties::SetDefaultImageIndex(Integer value) {
  if (FDefaultImageIndex == value) return;
  FDefaultImageIndex = value;
  Changed();
}

void TcxCustomImageComboBoxProperties::SetImageAlign(TcxImageAlign value) {
  if (FImageAlign == value) return;
  FImageAlign = value;
  Changed();
}

void TcxCustomImageComboBoxProperties::SetMultiLineText(Boolean value) {
  if (FMultiLineText == value) return;
  FMultiLineText = value;
  Changed();
}

void TcxCustomImageComboBoxProperties::SetShowDescriptions(Boolean value) {
  if (FShowDescriptions == value) return;
  FShowDescriptions = value;
  Changed();
}

// ==== List, lookup data ========================================================================

TcxCustomImageComboBoxProperties* TcxImageComboBoxListBox::ImageProperties() {
  TcxCustomComboBox* combo = ComboBox();
  return combo ? dynamic_cast<TcxCustomImageComboBoxProperties*>(combo->GetEffectiveProperties()) : nullptr;
}

Integer TcxImageComboBoxListBox::GetItemHeight(Integer index) {
  Integer h = inherited::GetItemHeight(index);
  TcxCustomImageComboBoxProperties* p = ImageProperties();
  if (!p) return h;
  TCustomImageList* images = p->GetLargeImages() ? p->GetLargeImages() : p->GetImages();
  const Integer imagePart = images ? images->GetHeight() + 2 : 0;
  h = std::max(h, imagePart);
  // A multi-line description wraps in the width the list measures with (beside the image).
  const Integer available = FMeasuringWidth - 2 - (images ? images->GetWidth() + 4 : 0);
  if (p->GetMultiLineText() && index >= 0 && index < p->GetItems()->GetCount() && available > 0) {
    TcxScreenCanvas* canvas = GetScreenCanvas();
    canvas->SetCanvasFont(GetFont());
    TRect r{0, 0, available, 0};
    const AnsiString& text = p->GetItems()->GetItem(index)->GetDescription();
    DrawText(canvas->GetDCHandle(), text.data(), int(text.size()), &r,
             DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    h = std::max(imagePart, Integer(r.Bottom - r.Top) + 2);
    TcxCustomComboBox* combo = ComboBox();
    if (combo->HasCustomMeasureItem()) combo->FireMeasureItem(index, GetCanvas(), h);
  }
  return h;
}

void TcxImageComboBoxListBox::MeasureItem(Integer index, Integer& height) {
  TcxCustomImageComboBoxProperties* p = ImageProperties();
  if (p && p->GetMultiLineText())
    height = GetItemHeight(index);
  else
    inherited::MeasureItem(index, height);
}

Integer TcxImageComboBoxListBox::GetRowsHeight(Integer count) {
  TcxCustomImageComboBoxProperties* p = ImageProperties();
  TcxCustomComboBox* combo = ComboBox();
  if (!p || !p->GetMultiLineText() || !combo) {
    FMeasuringWidth = 0;
    return inherited::GetRowsHeight(count);
  }
  // Rows wrap in the popup's width: the editor's (or the drop-down width), less the popup frame
  // and, when not every item fits, the scroll bar.
  Integer width = p->GetDropDownWidth() >= 1 ? p->GetDropDownWidth() : combo->GetWidth();
  if (TcxCustomEditPopupWindow* popup = combo->GetPopupWindow()) {
    const TRect e = popup->GetPopupViewInfo()->GetPopupClientExtent();
    width -= e.Left + e.Right;
  }
  auto measure = [&] {
    Integer h = 0;
    for (Integer i = 0; i < count; ++i) h += GetItemHeight(i);
    return h;
  };
  FMeasuringWidth = width;
  FHasScrollBar = count < p->GetItems()->GetCount();
  if (FHasScrollBar) FMeasuringWidth -= GetSystemMetrics(SM_CXVSCROLL);
  return measure();
}

Integer TcxImageComboBoxListBox::GetItemWidth(Integer index) {
  TcxCustomImageComboBoxProperties* p = ImageProperties();
  return p && p->GetMultiLineText() ? 0 : inherited::GetItemWidth(index);
}

void TcxImageComboBoxListBox::RecalculateItems() {
  inherited::RecalculateItems();
  TcxCustomImageComboBoxProperties* p = ImageProperties();
  if (!p || !p->GetMultiLineText()) return;
  // Rows of their own heights: the list measures each item again.
  const Integer count = GetCount();
  SetStyle(lbOwnerDrawVariable);
  SetItemCount(count);
}

Boolean TcxImageComboBoxListBox::DoDrawItem(Integer index, const TRect& rect, TOwnerDrawState state) {
  if (inherited::DoDrawItem(index, rect, state)) return true;
  TcxCustomComboBox* combo = ComboBox();
  auto* p = combo ? dynamic_cast<TcxCustomImageComboBoxProperties*>(combo->GetEffectiveProperties()) : nullptr;
  if (!p || index < 0 || index >= p->GetItems()->GetCount()) return false;
  TcxCanvas* canvas = GetCanvas();
  const Boolean selected = state.Contains(odSelected);
  canvas->FillRect(rect, selected ? clHighlight : GetColor());
  TcxImageComboBoxItem* item = p->GetItems()->GetItem(index);
  TCustomImageList* images = p->GetLargeImages() ? p->GetLargeImages() : p->GetImages();
  TRect text{rect.Left + 2, rect.Top, rect.Right - 2, rect.Bottom};
  if (images) {
    const Integer areaWidth = images->GetWidth() + 4;
    const Integer areaLeft = p->GetImageAlign() == iaRight ? rect.Right - areaWidth : rect.Left;
    if (IsImageIndexValid(images, item->GetImageIndex()))
      images->Draw(canvas->GetCanvas(), areaLeft + 1, rect.Top + (rect.Bottom - rect.Top - images->GetHeight()) / 2,
                   item->GetImageIndex(), GetEnabled());
    if (p->GetImageAlign() == iaRight)
      text.Right = areaLeft;
    else
      text.Left = areaLeft + areaWidth;
  }
  canvas->SetBrushClear(true);
  canvas->SetFontColor(selected ? clHighlightText : clWindowText);
  canvas->DrawTextInRect(item->GetDescription(), text,
                         p->GetMultiLineText() ? DT_WORDBREAK | DT_NOPREFIX
                                               : DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  canvas->SetBrushClear(false);
  return true;
}

AnsiString TcxImageComboBoxLookupData::GetItem(Integer index) {
  auto* p = AsImageComboProperties(TextProperties());
  if (!p || index < 0 || index >= p->GetItems()->GetCount()) return {};
  return p->GetItems()->GetItem(index)->GetDescription();
}

Integer TcxImageComboBoxLookupData::GetItemCount() {
  auto* p = AsImageComboProperties(TextProperties());
  return p ? p->GetItems()->GetCount() : 0;
}

void TcxImageComboBoxLookupData::SyncWithEditText() {
  TcxCustomTextEdit* edit = OwnerEditor();
  if (!edit) return;
  Variant value;
  edit->GetEditValue(value);
  SetCurrentItem(AsImageComboProperties(TextProperties())->IndexOfValue(value));
}

// ==== View info and view data ==================================================================

void TcxImageComboBoxViewInfo::OffsetRects(Integer dx, Integer dy) {
  inherited::OffsetRects(dx, dy);
  ImageRect = TRect{ImageRect.Left + dx, ImageRect.Top + dy, ImageRect.Right + dx, ImageRect.Bottom + dy};
}

void TcxImageComboBoxViewInfo::DoPaint(TcxCanvas* canvas) {
  inherited::DoPaint(canvas);
  if (!IsImageIndexValid(Images, ImageIndex)) return;
  canvas->PushClipRegion();
  try {
    TRect r{};
    if (IntersectRects(r, ImageRect, BorderRect)) {
      canvas->IntersectClip(r);
      Images->Draw(canvas->GetCanvas(), ImageRect.Left, ImageRect.Top, ImageIndex, IsEnabled);
    }
  } catch (...) {
    canvas->PopClipRegion();
    throw;
  }
  canvas->PopClipRegion();
}

void TcxImageComboBoxViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                                                 TcxCustomEditViewInfo* viewInfo, TShiftState shift, Integer button,
                                                 const TPoint& mousePos) {
  inherited::CalculateViewInfo(canvas, bounds, isMouseEvent, viewInfo, shift, button, mousePos);
  auto* vi = static_cast<TcxImageComboBoxViewInfo*>(viewInfo);
  auto* p = AsImageComboProperties(Properties);
  vi->ImageAlign = p->GetImageAlign();
  vi->Images = p->GetImages();
  vi->ShowDescriptions = p->GetShowDescriptions();
  TRect text = IsInplace ? vi->TextArea : vi->ClientRect;
  if (TCustomImageList* images = p->GetImages()) {
    const TRect cr = vi->ClientRect;
    TRect area{cr.Left + 2, cr.Top, cr.Right - 2, cr.Bottom};
    const Integer gap = IsInplace ? 4 : 2;
    const Integer w = images->GetWidth();
    const Integer h = images->GetHeight();
    if (w >= area.Right - area.Left) {
      text.Right = text.Left;
      vi->ImageRect = TRect{area.Left, area.Top, area.Left + w, area.Top + h};
    } else if (!p->GetShowDescriptions()) {
      const Integer x = area.Left + (area.Right - area.Left - w) / 2;
      vi->ImageRect = TRect{x, area.Top, x + w, area.Top + h};
    } else if (p->GetImageAlign() == iaRight) {
      vi->ImageRect = TRect{area.Right - w, area.Top, area.Right, area.Top + h};
      text.Right = vi->ImageRect.Left - gap;
    } else {
      vi->ImageRect = TRect{area.Left, area.Top, area.Left + w, area.Top + h};
      text.Left = vi->ImageRect.Right + gap;
    }
    if (h < area.Bottom - area.Top) {
      const Integer dy = (area.Bottom - area.Top - h) / 2;
      vi->ImageRect.Top += dy;
      vi->ImageRect.Bottom += dy;
    }
  }
  if (!IsInplace) vi->TextArea = TRect{text.Left + 2, text.Top + 1, text.Right - 2, text.Bottom - 1};
  else vi->TextArea = text;
  if (!p->GetShowDescriptions()) vi->ShownText.clear();
}

void TcxImageComboBoxViewData::SetViewInfoValue(TcxCanvas* canvas, const Variant& value,
                                                TcxCustomEditViewInfo* viewInfo) {
  auto* p = AsImageComboProperties(Properties);
  auto* vi = static_cast<TcxImageComboBoxViewInfo*>(viewInfo);
  AnsiString text;
  Integer image = -1;
  TcxImageComboBoxItem* item = nullptr;
  auto* edit = dynamic_cast<TcxCustomImageComboBox*>(Edit);
  if (edit && edit->GetLookupData() && edit->GetItemIndex() >= 0 && edit->GetItemIndex() < p->GetItems()->GetCount())
    item = p->GetItems()->GetItem(edit->GetItemIndex());
  else
    item = p->FindItemByValue(edit ? edit->GetEditValueProperty() : value);
  if (!edit) item = p->FindItemByValue(value);
  p->GetItemDescriptionAndImage(item, text, false, image);
  // The text edit's part turns a value into its draw text (EditValueToDrawText gives the item's
  // description), so it gets the item's value: given the description it looked that up as a value
  // and drew nothing wherever no editor supplied the text (grid and lookup grid cells).
  inherited::SetViewInfoValue(canvas, item ? item->GetValue() : value, viewInfo);
  vi->ImageIndex = image;
}

void TcxImageComboBoxViewData::EditValueToDrawText(const Variant& value, AnsiString& text) {
  Integer image = -1;
  auto* p = AsImageComboProperties(Properties);
  p->GetItemDescriptionAndImage(p->FindItemByValue(value), text, false, image);
}

void TcxImageComboBoxViewData::CalculateEditSize(TcxCanvas* canvas, Boolean isInplace, const Variant& value,
                                                 TcxCustomEditViewInfo* viewInfo, TSize& frameSize,
                                                 TSize& minContentSize, const TcxEditSizeProperties& sizeLimits) {
  inherited::CalculateEditSize(canvas, isInplace, value, viewInfo, frameSize, minContentSize, sizeLimits);
  if (TCustomImageList* images = AsImageComboProperties(Properties)->GetImages()) {
    minContentSize.cy = std::max(minContentSize.cy, images->GetHeight());
    frameSize.cx += images->GetWidth() + 5;
  } else {
    frameSize.cx += 1;
  }
}

// ==== The editor ===============================================================================

TcxCustomEditPropertiesClass TcxCustomImageComboBox::GetPropertiesClass() {
  return TcxCustomImageComboBoxProperties::StaticClass();
}
TcxCustomEditPropertiesClass TcxImageComboBox::GetPropertiesClass() { return TcxImageComboBoxProperties::StaticClass(); }

void TcxCustomImageComboBox::DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) {
  editValue = LookupKeyToEditValue(GetLookupData() ? GetLookupData()->GetKey() : Variant(-1));
}

void TcxCustomImageComboBox::GetDisplayValue(Variant& value) { DisplayValueToEditValue(Null(), value, Focused()); }

Variant TcxCustomImageComboBox::LookupKeyToEditValue(const Variant& key) {
  const Integer index = LookupKeyToItemIndex(key);
  TcxCustomImageComboBoxProperties* p = ImageComboProperties();
  if (index < 0 || index >= p->GetItems()->GetCount()) return Null();
  return p->GetItems()->GetItem(index)->GetValue();
}

void TcxCustomImageComboBox::UpdateDisplayValue() {
  SaveModifiedFlags();
  try {
    const Variant before = GetLookupData() ? GetLookupData()->GetKey() : Variant();
    LockClick(true);
    try {
      if (GetLookupData()) GetLookupData()->SyncWithEditText();
    } catch (...) {
      LockClick(false);
      throw;
    }
    LockClick(false);
    if (GetLookupData() && !AreVariantsEqual(before, GetLookupData()->GetKey())) MarkModifiedAndClick();
  } catch (...) {
    RestoreModifiedFlags();
    throw;
  }
  RestoreModifiedFlags();
  // The value is no text of the list: the item's description is shown for it.
  Variant value;
  GetEditValue(value);
  Variant display;
  EditValueToDisplayValue(value, display, IsFocusedForDisplay());
  SaveModifiedFlags();
  try {
    GetDataBinding()->ShowDisplayValue(display);
  } catch (...) {
    RestoreModifiedFlags();
    throw;
  }
  RestoreModifiedFlags();
  ResetIncrementalSearch();
  RefreshFocusDependentText();
}

// ==== Filter helper ============================================================================

TcxCustomEditClass TcxFilterImageComboBoxHelper::GetFilterEditorClass() const { return TcxImageComboBox::StaticClass(); }

void TcxFilterImageComboBoxHelper::GetSupportedOperators(TcxCustomEditProperties* properties,
                                                         TcxValueTypeClass valueTypeClass,
                                                         TcxFilterControlOperators& operators, Boolean extended) const {
  operators = TcxFilterControlOperators{1, 2, 9, 10};
  if (extended) {
    operators.Include(13);
    operators.Include(14);
  }
}

void TcxFilterImageComboBoxHelper::InitFilterProperties(TcxCustomEditProperties* properties,
                                                        TcxCustomEditProperties* sourceProperties,
                                                        Boolean keepButtons) const {
  inherited::InitFilterProperties(properties, sourceProperties, keepButtons);
  auto* p = static_cast<TcxCustomImageComboBoxProperties*>(properties);
  p->SetDropDownListStyle(lsFixedList);
  p->SetImmediateDropDown(true);
  p->SetShowDescriptions(true);
}

void TcxCustomImageComboBox::GetPopupContentSize(TSize& size) {
  inherited::GetPopupContentSize(size);
  TcxCustomImageComboBoxProperties* p = ImageComboProperties();
  if (!p->GetMultiLineText()) return;
  size.cx = 0;
  if (TcxCustomTextEditLookupData* data = GetLookupData())
    if (auto* list = dynamic_cast<TcxImageComboBoxListBox*>(data->GetListControl())) list->RecalculateItems();
}
