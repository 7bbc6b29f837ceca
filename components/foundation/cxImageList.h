// The image list of the components: a platform image list (32-bit colour with masks) that also
// keeps every image as a bitmap pair (image and mask) with its mask colour, streams the images
// in that form (optionally in the compressed bitmap stream) instead of the platform's bitmap
// strip, and draws with alpha blending, disabled looks and stretching through DrawGlyphOrImage.
//
// The platform list and the entries always hold the same number of images in the same order:
// every operation changes both, and a bitmap that holds several images adds as many to each.
#pragma once

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/ImgList.h"
#include "platform/runtime/Collection.h"
#include "platform/runtime/Component.h"

class TReader;
class TWriter;

// An image, its mask (white where transparent) and its mask colour (clNone: none).
class TcxImageInfo : public TPersistent {
  ORV_CLASS(TcxImageInfo, TPersistent)
 public:
  TcxImageInfo();
  ~TcxImageInfo() override;
  void Assign(TPersistent* source) override;

  TcxBitmap* GetImage() const { return FImage; }
  // Each copies the bitmap into the stored one.
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
  // New entries take the flag; changing it changes every entry.
  Boolean GetCompressData() const { return FCompressData; }
  void SetCompressData(Boolean value);

 private:
  Boolean FCompressData = false;
};

class TcxImageList : public TDragImageList {
  ORV_CLASS(TcxImageList, TDragImageList)
 public:
  explicit TcxImageList(TComponent* owner);
  // The size of every image (at least 1 x 1).
  TcxImageList(TComponent* owner, Integer width, Integer height);
  ~TcxImageList() override;

  // Changing the size removes every image (entries too).
  void SetSize(Integer width, Integer height) override;
  Boolean GetCompressData() const { return FImages->GetCompressData(); }
  void SetCompressData(Boolean value) { FImages->SetCompressData(value); }
  Boolean GetAlphaBlending() const { return FAlphaBlending; }
  void SetAlphaBlending(Boolean value) { FAlphaBlending = value; }
  TcxImageInfoCollection* GetImages() const { return FImages; }

  // Adds the images the bitmap holds (cut into cells row by row when its size is a whole
  // multiple of the list's image size, else one image) with its mask (white where
  // transparent); the index of the first, -1 when nothing was added (no image, or a mask whose
  // size differs from the image's).
  Integer AddImage(TcxBitmap* image, TcxBitmap* mask);
  // The pixels of `maskColor` are transparent (clNone: none; clDefault: the top-left pixel's
  // colour).
  Integer AddMaskedImage(TcxBitmap* image, TColor maskColor);
  // With a mask: AddImage; otherwise AddMaskedImage with the entry's mask colour.
  Integer AddImageInfo(TcxImageInfo* imageInfo);
  // The image travels one position at a time; nothing for an index out of range.
  void MoveImage(Integer fromIndex, Integer toIndex);
  // -1 deletes every image; nothing for another index out of range.
  void DeleteImage(Integer index);
  void ClearImages() { DeleteImage(-1); }
  // Ignored for an index outside 0 .. count; the images the bitmap holds go there in order.
  void InsertImage(Integer index, TcxBitmap* image, TcxBitmap* mask);
  // Delete, then insert at the same index; nothing for an index out of range.
  void ReplaceImage(Integer index, TcxBitmap* image, TcxBitmap* mask);
  // Holds the change notification back (the platform's own update lock is separate).
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate(Boolean notify = true);
  // The platform's change notification (links and OnChange), only when not locked.
  void Change() override;

  // The image and its mask (white where transparent), each sized to the image; nothing for an
  // index out of range. A 32-bit image comes from the entry itself (its alpha kept), any other
  // from the platform list.
  void GetImage(Integer index, TcxBitmap* image, TcxBitmap* mask);
  // The entry's image, mask and mask colour; for an invalid index both cleared and no colour.
  void GetImageInfo(Integer index, TcxImageInfo* imageInfo);
  // Image `index` of a platform list (-1: the whole strips) into a 32-bit image and a 1-bit mask
  // (either may be nullptr); false, and nothing copied, when the list has no such image.
  static Boolean GetPlatformImageInfo(HIMAGELIST handle, Integer index, TBitmap* mask, TBitmap* image);
  // Bits per pixel of the list's image strip; 0 when the list has none.
  static Integer GetPlatformPixelFormat(HIMAGELIST handle);

  // Draws the image centred in the rectangle, or stretched to it (smoothly when asked); with
  // alpha blending off the platform draws it.
  void Draw(TcxCanvas* canvas, const TRect& rect, Integer index, Boolean stretch = false,
            Boolean smooth = false, Boolean enabled = true);
  void Draw(TcxCanvas* canvas, Integer x, Integer y, Integer index, Boolean enabled = true) {
    Draw(canvas, MakeRectBounds(x, y, GetWidth(), GetHeight()), index, false, false, enabled);
  }
  using TCustomImageList::Draw;
  // From a TcxImageList through its entries, from any other platform list through its
  // platform images and masks.
  void Assign(TPersistent* source) override;

  // ---- Streaming ----
  // "FormatVersion" (always 1 when written), "DesignInfo" and "ImageInfo" (the entries) are
  // written; when reading, the platform's own "Bitmap" strip of older streams is read as well
  // and the entries rebuilt from it.
  static constexpr Integer WrittenFormatVersion = 1;
  void DefineProperties(TFiler* filer) override;
  Integer GetFormatVersion() const { return FFormatVersion; }
  // Against the ancestor in the form's inheritance (nullptr: none).
  Boolean IsDesignInfoStored(TPersistent* ancestor) const;
  Boolean IsImageInfoStored(TPersistent* ancestor);
  // Reading "ImageInfo": the entries are cleared, then read, then the platform list is rebuilt
  // from them with one change notification.
  void BeginReadImageInfo();
  void EndReadImageInfo();
  // The platform's stream ("Bitmap"): the entries are rebuilt from the list read.
  void ReadData(TStream* stream) override;

 protected:
  void DoDraw(Integer index, TCanvas* canvas, Integer x, Integer y, UINT style,
              bool enabled = true) override;
  // The entry collection and the platform list of 32-bit colour with masks; the constructors
  // call it (the platform list's constructor cannot reach an override).
  void Initialize() override;

 private:
  void DrawImage(Integer index, TcxCanvas* canvas, const TRect& rect, UINT style, Boolean stretch,
                 Boolean smooth, Boolean enabled);
  // Adds the images to the platform list alone; the index of the first or -1. `single` adds
  // exactly one image (the top-left cell).
  Integer AddToPlatform(TcxBitmap* image, TcxBitmap* mask, Boolean masked, COLORREF maskColor,
                        Boolean single);
  void AddToImageInfo(TcxBitmap* image, TcxBitmap* mask, TColor maskColor);
  void SynchronizeImageInfo();
  // Rebuilds the platform list from the entries.
  void RebuildFromImageInfo();
  void ReadFormatVersion(TReader* reader);
  void WriteFormatVersion(TWriter* writer);
  void ReadDesignInfo(TReader* reader);
  void WriteDesignInfo(TWriter* writer);
  void ReadImageInfo(TReader* reader);
  void WriteImageInfo(TWriter* writer);

  Boolean FAlphaBlending = true;
  Integer FFormatVersion = 0;
  Integer FLockCount = 0;
  Boolean FSynchronizing = false;
  TcxImageInfoCollection* FImages = nullptr;
};

// Draws the source into the destination's bounds and signals a change.
void CopyBitmapInto(TcxBitmap* dest, TcxBitmap* source);
// A new platform bitmap assigned from `bitmap` (the caller frees it).
TBitmap* CloneBitmap(TBitmap* bitmap);
// A copy of the bitmap handle (the caller deletes it); nullptr for a handle that is no bitmap.
HBITMAP CopyImageHandle(HBITMAP bitmap);
// Same count and equal platform images and masks.
Boolean IsImageListsEqual(TCustomImageList* list1, TCustomImageList* list2);
// 1 when the bitmap's size is not a multiple of the image size, else columns x rows.
Integer GetImageCount(TBitmap* bitmap, Integer width, Integer height);

// Points `field` at `newList` when it differs: the old list forgets the owner's free
// notification and the change link, the new one gets both, then the change link fires.
void AssignImageListField(TCustomImageList* newList, TCustomImageList*& field,
                          TChangeLink* changeLink, TComponent* owner);
