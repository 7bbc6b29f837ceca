#include "components/foundation/cxImageList.h"

#include <algorithm>
#include <memory>

#include "platform/drawing/Gdi.h"
#include "platform/drawing/Surface.h"
#include "platform/runtime/Streams.h"

namespace {

using BitmapPtr = std::unique_ptr<TcxBitmap, orv::FreeDeleter>;

// A copy of a part of a bitmap, in its pixel format.
BitmapPtr CopyCell(TcxBitmap* source, const TRect& cell) {
  BitmapPtr result(new TcxBitmap(cell.Width(), cell.Height(), source->GetPixelFormat()));
  TRGBColors all = ReadBitmapColors(source, true);
  TRGBColors part(std::size_t(cell.Width()) * std::size_t(cell.Height()));
  for (Integer y = 0; y < cell.Height(); ++y)
    for (Integer x = 0; x < cell.Width(); ++x)
      part[std::size_t(y * cell.Width() + x)] =
          all[std::size_t((cell.Top + y) * source->GetWidth() + cell.Left + x)];
  StoreBitmapColors(result.get(), part, true);
  return result;
}

}  // namespace

// ---- TcxImageInfo ----

TcxImageInfo::TcxImageInfo() : FImage(new TcxBitmap), FMask(new TcxBitmap(0, 0, pf1bit)) {}

TcxImageInfo::~TcxImageInfo() {
  orv::Free(FImage);
  orv::Free(FMask);
}

void TcxImageInfo::Assign(TPersistent* source) {
  if (auto* info = dynamic_cast<TcxImageInfo*>(source)) {
    SetImage(info->FImage);
    SetMask(info->FMask);
    FMaskColor = info->FMaskColor;
    return;
  }
  inherited::Assign(source);
}

void TcxImageInfo::SetImage(TcxBitmap* value) { FImage->Assign(value); }
void TcxImageInfo::SetMask(TcxBitmap* value) { FMask->Assign(value); }

// ---- Items and the collection ----

TcxImageInfoItem::TcxImageInfoItem(TCollection* collection)
    : TCollectionItem(collection), FImageInfo(new TcxImageInfo) {
  if (auto* owner = dynamic_cast<TcxImageInfoCollection*>(collection))
    SetCompressData(owner->GetCompressData());
}

TcxImageInfoItem::~TcxImageInfoItem() { orv::Free(FImageInfo); }

void TcxImageInfoItem::Assign(TPersistent* source) {
  if (auto* item = dynamic_cast<TcxImageInfoItem*>(source)) {
    FImageInfo->Assign(item->FImageInfo);
    return;
  }
  inherited::Assign(source);
}

Boolean TcxImageInfoItem::GetCompressData() const {
  return GetImage()->GetCompressData() && GetMask()->GetCompressData();
}

void TcxImageInfoItem::SetCompressData(Boolean value) {
  GetImage()->SetCompressData(value);
  GetMask()->SetCompressData(value);
}

TcxImageInfoCollection::TcxImageInfoCollection(TcxImageList* owner)
    : TOwnedCollection(owner, TcxImageInfoItem::StaticClass()) {}

void TcxImageInfoCollection::SetCompressData(Boolean value) {
  if (value == FCompressData) return;
  FCompressData = value;
  for (Integer i = 0; i < GetCount(); ++i) GetItem(i)->SetCompressData(value);
}

// ---- TcxImageList ----

TcxImageList::TcxImageList(TComponent* owner) : TComponent(owner), FImages(new TcxImageInfoCollection(this)) {}

TcxImageList::TcxImageList(TComponent* owner, Integer width, Integer height) : TcxImageList(owner) {
  FWidth = std::max(width, 1);
  FHeight = std::max(height, 1);
}

void TcxImageList::BeforeDestruction() {
  Destroying();
  orv::Free(FImages);
  FImages = nullptr;
  inherited::BeforeDestruction();
}

TcxImageList::~TcxImageList() { orv::Free(FImages); }

void TcxImageList::SetWidth(Integer value) {
  if (value == FWidth || value <= 0) return;
  FWidth = value;
  ClearImages();
}

void TcxImageList::SetHeight(Integer value) {
  if (value == FHeight || value <= 0) return;
  FHeight = value;
  ClearImages();
}

void TcxImageList::AddToImageInfo(TcxBitmap* image, TcxBitmap* mask, TColor maskColor) {
  const Integer w = image->GetWidth(), h = image->GetHeight();
  auto add = [&](TcxBitmap* cellImage, TcxBitmap* cellMask) {
    auto* item = static_cast<TcxImageInfoItem*>(FImages->Add());
    item->SetImage(cellImage);
    if (cellMask) item->SetMask(cellMask);
    item->SetMaskColor(maskColor);
  };
  if (w % FWidth == 0 && h % FHeight == 0 && (w != FWidth || h != FHeight)) {
    for (Integer top = 0; top < h; top += FHeight)
      for (Integer left = 0; left < w; left += FWidth) {
        const TRect cell = MakeRectBounds(left, top, FWidth, FHeight);
        BitmapPtr cellImage = CopyCell(image, cell);
        BitmapPtr cellMask = mask && HasGlyph(mask) ? CopyCell(mask, cell) : nullptr;
        add(cellImage.get(), cellMask.get());
      }
  } else {
    add(image, mask && HasGlyph(mask) ? mask : nullptr);
  }
}

Integer TcxImageList::AddImage(TcxBitmap* image, TcxBitmap* mask) {
  if (!HasGlyph(image)) return -1;
  // Mixing an image with a mask of another size would read one of them out of bounds.
  if (HasGlyph(mask) && (mask->GetWidth() != image->GetWidth() || mask->GetHeight() != image->GetHeight()))
    return -1;
  const Integer index = GetCount();
  AddToImageInfo(image, mask, clNone);
  Change();
  return index;
}

Integer TcxImageList::AddMaskedImage(TcxBitmap* image, TColor maskColor) {
  if (maskColor == clNone) return AddImage(image, nullptr);
  if (!HasGlyph(image)) return -1;
  BeginUpdate();
  const Integer index = GetCount();
  AddToImageInfo(image, nullptr, TColor(ColorToRGB(maskColor)));
  EndUpdate();
  return index;
}

Integer TcxImageList::AddImageInfo(TcxImageInfo* imageInfo) {
  if (HasGlyph(imageInfo->GetMask())) return AddImage(imageInfo->GetImage(), imageInfo->GetMask());
  return AddMaskedImage(imageInfo->GetImage(), imageInfo->GetMaskColor());
}

void TcxImageList::MoveImage(Integer fromIndex, Integer toIndex) {
  if (fromIndex == toIndex || fromIndex < 0 || toIndex < 0 || fromIndex >= GetCount() ||
      toIndex >= GetCount())
    return;
  BeginUpdate();
  FImages->GetItem(fromIndex)->SetIndex(toIndex);
  Change();
  EndUpdate();
}

void TcxImageList::DeleteImage(Integer index) {
  BeginUpdate();
  if (index == -1) FImages->Clear();
  else if (index >= 0 && index < GetCount()) FImages->Delete(index);
  Change();
  EndUpdate();
}

void TcxImageList::InsertImage(Integer index, TcxBitmap* image, TcxBitmap* mask) {
  if (index < 0 || index > GetCount()) return;
  BeginUpdate();
  const Integer first = GetCount();
  if (AddImage(image, mask) >= 0)
    for (Integer k = 0; first + k < GetCount(); ++k) MoveImage(first + k, index + k);
  EndUpdate();
}

void TcxImageList::ReplaceImage(Integer index, TcxBitmap* image, TcxBitmap* mask) {
  if (index < 0 || index >= GetCount()) return;
  BeginUpdate();
  DeleteImage(index);
  InsertImage(index, image, mask);
  EndUpdate();
}

void TcxImageList::EndUpdate(Boolean notify) {
  if (FLockCount <= 0) return;
  --FLockCount;
  if (notify) Change();
}

void TcxImageList::Change() {
  if (FLockCount == 0 && FOnChange) FOnChange(this);
}

void TcxImageList::GetImage(Integer index, TcxBitmap* image, TcxBitmap* mask) {
  if (index < 0 || index >= GetCount()) return;
  TcxImageInfoItem* item = FImages->GetItem(index);
  TcxBitmap* stored = item->GetImage();
  if (image) image->Assign(stored);
  if (!mask) return;
  if (HasGlyph(item->GetMask())) {
    mask->Assign(item->GetMask());
    return;
  }
  // No stored mask: white where the mask colour is, black elsewhere.
  mask->SetPixelFormat(pf1bit);
  mask->SetSize(stored->GetWidth(), stored->GetHeight());
  TRGBColors pixels = ReadBitmapColors(stored, true);
  const Cardinal key = orv::ColorToPixel(ColorToRGB(item->GetMaskColor()));
  const Boolean keyed = item->GetMaskColor() != clNone;
  for (Cardinal& p : pixels) p = keyed && (p & 0xFFFFFF) == key ? 0x00FFFFFFu : 0;
  StoreBitmapColors(mask, pixels, true);
}

void TcxImageList::GetImageInfo(Integer index, TcxImageInfo* imageInfo) {
  if (index >= 0 && index < GetCount()) {
    imageInfo->Assign(FImages->GetItem(index)->GetImageInfo());
    return;
  }
  imageInfo->GetImage()->SetSize(0, 0);
  imageInfo->GetMask()->SetSize(0, 0);
  imageInfo->SetMaskColor(clNone);
}

void TcxImageList::Draw(TcxCanvas* canvas, const TRect& rect, Integer index, Boolean stretch,
                        Boolean smooth, Boolean enabled) {
  const Boolean stretching = stretch && (rect.Width() != FWidth || rect.Height() != FHeight);
  const TRect dest = stretching ? rect : GetCenteredRect(rect, FWidth, FHeight);
  DrawGlyphOrImage(canvas->GetDCHandle(), dest, rect, nullptr, this, index,
                   enabled ? idmNormal : idmDisabled, smooth, nullptr, clNone, true);
}

void TcxImageList::Assign(TPersistent* source) {
  auto* list = dynamic_cast<TcxImageList*>(source);
  if (!list) {
    inherited::Assign(source);
    return;
  }
  if (list == this) return;
  BeginUpdate();
  FWidth = list->FWidth;
  FHeight = list->FHeight;
  FAllocBy = list->FAllocBy;
  FBkColor = list->FBkColor;
  FBlendColor = list->FBlendColor;
  FDrawingStyle = list->FDrawingStyle;
  FImageType = list->FImageType;
  FShareImages = list->FShareImages;
  FImages->Clear();
  SetCompressData(list->GetCompressData());
  for (Integer i = 0; i < list->GetCount(); ++i) AddImageInfo(list->FImages->GetItem(i)->GetImageInfo());
  EndUpdate();
}

Boolean TcxImageList::IsDesignInfoStored(TComponent* ancestor) const {
  auto* list = dynamic_cast<TcxImageList*>(ancestor);
  return !list || list->FDesignInfo != FDesignInfo;
}

Boolean TcxImageList::IsImageInfoStored(TComponent* ancestor) const {
  if (auto* list = dynamic_cast<TcxImageList*>(ancestor))
    return !IsImageListsEqual(const_cast<TcxImageList*>(this), list);
  return GetCount() > 0;
}

void TcxImageList::BeginReadImageInfo() {
  BeginUpdate();
  FImages->Clear();
}

void TcxImageList::EndReadImageInfo() {
  // The entries are the list itself: once they are read there is nothing to rebuild.
  EndUpdate(true);
}

// ---- Utilities ----

Boolean IsImageIndexValid(TcxImageList* imageList, Integer index) {
  return imageList && index >= 0 && index < imageList->GetCount();
}

void CopyBitmapInto(TcxBitmap* dest, TcxBitmap* source) {
  StretchBlt(dest->GetCanvas()->GetDCHandle(), 0, 0, dest->GetWidth(), dest->GetHeight(),
             source->GetCanvas()->GetDCHandle(), 0, 0, source->GetWidth(), source->GetHeight(), SRCCOPY);
  dest->Changed();
}

Boolean IsImageListsEqual(TcxImageList* list1, TcxImageList* list2) {
  if (!list1 || !list2) return list1 == list2;
  if (list1->GetCount() != list2->GetCount()) return false;
  auto data = [](TcxImageList* list) {
    TStringStream s;
    for (Integer i = 0; i < list->GetCount(); ++i) {
      TcxImageInfoItem* item = list->GetImages()->GetItem(i);
      item->GetImage()->WriteData(&s);
      item->GetMask()->WriteData(&s);
      const TColor color = item->GetMaskColor();
      s.WriteBuffer(&color, sizeof color);
    }
    return s.GetDataString();
  };
  return data(list1) == data(list2);
}

Integer GetImageCount(TcxBitmap* bitmap, Integer width, Integer height) {
  if (width <= 0 || height <= 0) return 1;
  const Integer w = bitmap->GetWidth(), h = bitmap->GetHeight();
  if (w % width != 0 || h % height != 0) return 1;
  return (w / width) * (h / height);
}
