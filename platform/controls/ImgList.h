// Image lists of the class library: a component over the platform's HIMAGELIST (CommCtrl.h)
// with its size, colours and drawing style, change links that tell their users of every change,
// enabled and disabled (embossed) drawing, and streaming of the images.
#pragma once

#include "platform/controls/CommCtrl.h"
#include "platform/controls/Graphics.h"
#include "platform/runtime/Component.h"

class TCustomImageList;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };
enum TColorDepth { cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit };
using TImageIndex = Integer;

// Told of every change of the image list it is registered with.
class TChangeLink : public TObject {
  ORV_CLASS(TChangeLink, TObject)
 public:
  TChangeLink() = default;

  TCustomImageList* GetSender() const { return FSender; }
  void SetSender(TCustomImageList* value) { FSender = value; }
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }
  virtual void Change();

  // Leaves the sender's list of links.
  void BeforeDestruction() override;

 private:
  TCustomImageList* FSender = nullptr;
  TNotifyEvent FOnChange;
};

class TCustomImageList : public TComponent {
  ORV_CLASS(TCustomImageList, TComponent)
 public:
  explicit TCustomImageList(TComponent* owner);
  // A list of images of `width` x `height`.
  TCustomImageList(TComponent* owner, Integer width, Integer height);
  ~TCustomImageList() override;
  void BeforeDestruction() override;

  void Assign(TPersistent* source) override;

  // ---- Images ----
  // The index of the (first) image added, -1 when nothing was added. A bitmap wider than the
  // image size adds one image per image width.
  Integer Add(TBitmap* image, TBitmap* mask);
  Integer AddIcon(TIcon* image);
  void AddImages(TCustomImageList* value);
  // Masked by a colour (clNone: no mask; clDefault: the top-left pixel's colour).
  Integer AddMasked(TBitmap* image, TColor maskColor);
  void Clear();
  // EInvalidOperation "Invalid image list index" for an index out of range.
  void Delete(Integer index);
  void Insert(Integer index, TBitmap* image, TBitmap* mask);
  void InsertIcon(Integer index, TIcon* image);
  void InsertMasked(Integer index, TBitmap* image, TColor maskColor);
  void Move(Integer curIndex, Integer newIndex);
  void Replace(Integer index, TBitmap* image, TBitmap* mask);
  void ReplaceMasked(Integer index, TBitmap* newImage, TColor maskColor);
  // Draws image `index` over a bitmap of the image size (its size is set); false for a bad index.
  bool GetBitmap(Integer index, TBitmap* image);
  // The list's image and mask strips (owned by the list).
  HBITMAP GetImageBitmap();
  HBITMAP GetMaskBitmap();
  Integer GetCount();

  // ---- Drawing ----
  void Draw(TCanvas* canvas, Integer x, Integer y, Integer index, bool enabled = true);
  void Draw(TCanvas* canvas, Integer x, Integer y, Integer index, TDrawingStyle drawingStyle,
            TImageType imageType, bool enabled = true);

  // ---- Changes ----
  void RegisterChanges(TChangeLink* value);
  void UnRegisterChanges(TChangeLink* value);
  // Changes are told once, at the last EndUpdate, when something changed meanwhile.
  void BeginUpdate();
  void EndUpdate();

  // ---- Handle ----
  HIMAGELIST GetHandle();
  // Takes the list (the image list owns it unless ShareImages).
  void SetHandle(HIMAGELIST value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  // ---- Properties ----
  Integer GetAllocBy() const { return FAllocBy; }
  void SetAllocBy(Integer value) { FAllocBy = value; }
  TColor GetBkColor() const { return FBkColor; }
  void SetBkColor(TColor value);
  TColor GetBlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor value);
  TColorDepth GetColorDepth() const { return FColorDepth; }
  void SetColorDepth(TColorDepth value);
  TDrawingStyle GetDrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle value);
  Integer GetHeight() const { return FHeight; }
  // Changing the size removes every image.
  void SetHeight(Integer value) { SetSize(FWidth, value); }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer value) { SetSize(value, FHeight); }
  virtual void SetSize(Integer width, Integer height);
  TImageType GetImageType() const { return FImageType; }
  void SetImageType(TImageType value);
  bool GetMasked() const { return FMasked; }
  void SetMasked(bool value);
  bool GetShareImages() const { return FShareImages; }
  void SetShareImages(bool value) { FShareImages = value; }
  TNotifyEvent GetOnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent value) { FOnChange = value; }

  // The form-description "Bitmap" of a list: the platform's list stream (ImageList_Write).
  void DefineProperties(TFiler* filer) override;
  virtual void ReadData(TStream* stream);
  virtual void WriteData(TStream* stream);
  // Whether the lists hold the same images (their streams are equal).
  bool Equal(TCustomImageList* other);

 protected:
  virtual void Change();
  // Draws image `index` with ILD_ flags; disabled: embossed in clBtnHighlight and clBtnShadow.
  virtual void DoDraw(Integer index, TCanvas* canvas, Integer x, Integer y, UINT style,
                      bool enabled = true);
  // Called by the constructors after the fields are set.
  virtual void Initialize() {}
  UINT GetCreationFlags() const;
  void CheckImage(TGraphic* image);
  // Rebuilds the platform list with the current flags, keeping the images.
  void RecreateHandle();

 private:
  void HandleNeeded();
  void FreeHandle();
  bool ValidIndex(Integer index);

  HIMAGELIST FHandle = nullptr;
  Integer FWidth = 16;
  Integer FHeight = 16;
  Integer FAllocBy = 4;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TColorDepth FColorDepth = cdDeviceDependent;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  bool FMasked = true;
  bool FShareImages = false;
  Integer FUpdateCount = 0;
  bool FChanged = false;
  TList* FClients;
  TNotifyEvent FOnChange;
  TBitmap* FMonoBitmap = nullptr;
};

// An image list that can also show one of its images following the mouse while dragging: the
// image lies in a topmost window of its own that never takes the mouse or the activation, placed
// so that the hot spot lies at the drag position.
class TDragImageList : public TCustomImageList {
  ORV_CLASS(TDragImageList, TCustomImageList)
 public:
  using TCustomImageList::TCustomImageList;
  void BeforeDestruction() override;

  // (x, y) in the client coordinates of `window` (nullptr or the desktop: the screen). The image
  // starts shown.
  bool BeginDrag(HWND window, Integer x, Integer y);
  bool DragLock(HWND window, Integer x, Integer y) { return BeginDrag(window, x, y); }
  bool DragMove(Integer x, Integer y);
  void DragUnlock() {}
  bool EndDrag();
  void HideDragImage();
  void ShowDragImage();
  bool GetDragImageShown() const { return FShown; }
  // The window that shows the image while dragging (nullptr otherwise).
  HWND GetDragImageWindow() const { return FImageWindow; }
  bool SetDragImage(Integer index, Integer hotSpotX, Integer hotSpotY);
  TPoint GetHotSpot() const { return FHotSpot; }
  bool GetDragging() const { return FDragging; }
  Integer GetDragIndex() const { return FDragIndex; }
  TPoint GetDragPos() const { return FDragPos; }

 private:
  bool FDragging = false;
  bool FShown = false;
  Integer FDragIndex = 0;
  TPoint FHotSpot;
  TPoint FDragPos;
  HWND FDragWindow = nullptr;
  HWND FImageWindow = nullptr;
  // Places the image window at the drag position, shown or hidden as FShown says.
  void UpdateImageWindow();
};

class TImageList : public TDragImageList {
  ORV_CLASS(TImageList, TDragImageList)
 public:
  using TDragImageList::TDragImageList;
};
