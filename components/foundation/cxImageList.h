// The image list of the components: every image kept as a bitmap pair (image and mask) with its
// mask colour, streamed in that form (optionally in the compressed bitmap stream) and drawn with
// alpha blending, disabled looks and stretching through DrawGlyphOrImage.
//
// The platform's image-list class belongs to the controls layer, which does not exist yet: the
// list stands on its entries alone, which hold everything the platform list would.
#pragma once

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/runtime/Collection.h"
#include "platform/runtime/Component.h"

// An image, its mask (white where transparent) and its mask colour (clNone: none).
class TcxImageInfo : public TPersistent {
  ORV_CLASS(TcxImageInfo, TPersistent)
 public:
  TcxImageInfo();
  ~TcxImageInfo() override;
  void Assign(TPersistent* source) override;

  TcxBitmap* GetImage() const { return FImage; }
  virtual void SetImage(TcxBitmap* value);
  TcxBitmap* GetMask() const { return FMask; }
  virtual void SetMask(TcxBitmap* value);
  TColor GetMaskColor() const { return FMaskColor; }
  void SetMaskColor(TColor value) { FMaskColor = value; }

 private:
  TcxBitmap* FImage;
  TcxBitmap* FMask;
  TColor FMaskColor = clNone;
};

class TcxImageInfoCollection;

// One entry of the list, published for streaming as Image, Mask and MaskColor.
class TcxImageInfoItem : public TCollectionItem {
  ORV_CLASS(TcxImageInfoItem, TCollectionItem)
 public:
  explicit TcxImageInfoItem(TCollection* collection);
  ~TcxImageInfoItem() override;
  void Assign(TPersistent* source) override;

  TcxImageInfo* GetImageInfo() const { return FImageInfo; }
  TcxBitmap* GetImage() const { return FImageInfo->GetImage(); }
  void SetImage(TcxBitmap* value) { FImageInfo->SetImage(value); }
  TcxBitmap* GetMask() const { return FImageInfo->GetMask(); }
  void SetMask(TcxBitmap* value) { FImageInfo->SetMask(value); }
  TColor GetMaskColor() const { return FImageInfo->GetMaskColor(); }
  void SetMaskColor(TColor value) { FImageInfo->SetMaskColor(value); }
  // True only when both bitmaps stream compressed; setting it sets both.
  Boolean GetCompressData() const;
  void SetCompressData(Boolean value);

 private:
  TcxImageInfo* FImageInfo;
};

class TcxImageList;

class TcxImageInfoCollection : public TOwnedCollection {
  ORV_CLASS(TcxImageInfoCollection, TOwnedCollection)
 public:
  explicit TcxImageInfoCollection(TcxImageList* owner);
  TcxImageInfoItem* GetItem(Integer index) const {
    return static_cast<TcxImageInfoItem*>(TCollection::GetItem(index));
  }
  Boolean GetCompressData() const { return FCompressData; }
  void SetCompressData(Boolean value);

 private:
  Boolean FCompressData = false;
};

class TcxImageList : public TComponent {
  ORV_CLASS(TcxImageList, TComponent)
 public:
  explicit TcxImageList(TComponent* owner);
  // The size of every image.
  TcxImageList(TComponent* owner, Integer width, Integer height);
  void BeforeDestruction() override;
  ~TcxImageList() override;

  Integer GetCount() const { return FImages->GetCount(); }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer value);
  Integer GetHeight() const { return FHeight; }
  void SetHeight(Integer value);
  Integer GetAllocBy() const { return FAllocBy; }
  void SetAllocBy(Integer value) { FAllocBy = value; }
  TColor GetBkColor() const { return FBkColor; }
  void SetBkColor(TColor value) { FBkColor = value; }
  TColor GetBlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor value) { FBlendColor = value; }
  Integer GetDrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(Integer value) { FDrawingStyle = value; }
  Integer GetImageType() const { return FImageType; }
  void SetImageType(Integer value) { FImageType = value; }
  Boolean GetShareImages() const { return FShareImages; }
  void SetShareImages(Boolean value) { FShareImages = value; }
  Boolean GetCompressData() const { return FImages->GetCompressData(); }
  void SetCompressData(Boolean value) { FImages->SetCompressData(value); }
  Boolean GetAlphaBlending() const { return FAlphaBlending; }
  void SetAlphaBlending(Boolean value) { FAlphaBlending = value; }
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }
  TcxImageInfoCollection* GetImages() const { return FImages; }

  // Adds the image (cut into cells when it holds several images of the list's size) with its
  // mask; -1 when the mask's size differs from the image's.
  Integer AddImage(TcxBitmap* image, TcxBitmap* mask);
  // The pixels of `maskColor` (clNone: none) are transparent.
  Integer AddMaskedImage(TcxBitmap* image, TColor maskColor);
  Integer AddImageInfo(TcxImageInfo* imageInfo);
  void MoveImage(Integer fromIndex, Integer toIndex);
  // -1 deletes every image.
  void DeleteImage(Integer index);
  void ClearImages() { DeleteImage(-1); }
  // Ignored for an index outside 0 .. count; the images the bitmap holds go there in order.
  void InsertImage(Integer index, TcxBitmap* image, TcxBitmap* mask);
  void ReplaceImage(Integer index, TcxBitmap* image, TcxBitmap* mask);
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate(Boolean notify = true);
  // The change notification, held back while updating.
  virtual void Change();

  // The image and its mask (white where transparent), each sized to the image; nothing for an
  // index out of range.
  void GetImage(Integer index, TcxBitmap* image, TcxBitmap* mask);
  // The entry's image, mask and mask colour; for an invalid index both cleared and no colour.
  void GetImageInfo(Integer index, TcxImageInfo* imageInfo);
  // Draws the image centred in the rectangle, or stretched to it (smoothly when asked).
  void Draw(TcxCanvas* canvas, const TRect& rect, Integer index, Boolean stretch = false,
            Boolean smooth = false, Boolean enabled = true);
  void Draw(TcxCanvas* canvas, Integer x, Integer y, Integer index, Boolean enabled = true) {
    Draw(canvas, MakeRectBounds(x, y, FWidth, FHeight), index, false, false, enabled);
  }
  void Assign(TPersistent* source) override;

  // ---- Streaming ----
  // The stored properties "FormatVersion" (always 1 when written), "DesignInfo" and
  // "ImageInfo" (the entries); the form streaming layer reads and writes them through these.
  static constexpr Integer WrittenFormatVersion = 1;
  Integer GetFormatVersion() const { return FFormatVersion; }
  void ReadFormatVersion(Integer value) { FFormatVersion = value; }
  Integer GetDesignInfo() const { return FDesignInfo; }
  void SetDesignInfo(Integer value) { FDesignInfo = value; }
  // Against the ancestor in the form's inheritance (nullptr: none).
  Boolean IsDesignInfoStored(TComponent* ancestor) const;
  Boolean IsImageInfoStored(TComponent* ancestor) const;
  // Reading "ImageInfo": the entries are cleared, then read, then the list is rebuilt from them.
  void BeginReadImageInfo();
  void EndReadImageInfo();

 private:
  void AddToImageInfo(TcxBitmap* image, TcxBitmap* mask, TColor maskColor);
  Integer FWidth = 16;
  Integer FHeight = 16;
  Integer FAllocBy = 4;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  Integer FDrawingStyle = 0;
  Integer FImageType = 0;
  Boolean FShareImages = false;
  Boolean FAlphaBlending = true;
  Integer FFormatVersion = 0;
  Integer FDesignInfo = 0;
  Integer FLockCount = 0;
  TcxImageInfoCollection* FImages;
  TNotifyEvent FOnChange;
};

// Draws the source into the destination's bounds and signals a change.
void CopyBitmapInto(TcxBitmap* dest, TcxBitmap* source);
// Same count and byte-for-byte equal images.
Boolean IsImageListsEqual(TcxImageList* list1, TcxImageList* list2);
// 1 when the bitmap's size is not a multiple of the image size, else columns x rows.
Integer GetImageCount(TcxBitmap* bitmap, Integer width, Integer height);
