// Cross-fading of user-interface elements between their normal and their hot picture.
//
// One fader serves the program. An element that can fade implements IdxFadingObject (as a rule
// through a TdxFadingObjectHelper descendant) and asks the fader to fade in when it becomes hot
// and out when it stops being hot; the fader takes two snapshots of it, and on every step of its
// 10 ms timer blends them into the current frame and asks the element to redraw, which then
// paints the frame (DrawFadingFrame) instead of its own picture until the fade ends.
//
// Fading runs only when the system's menu animation is on, the images can be made and the
// screen has more than 16 bits per pixel; otherwise every request is ignored and the element
// simply changes its look at once.
#pragma once

#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/dxGDIPlusClasses.h"
#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Types.h"

class TBitmap;
class TcxTimer;
class TdxFader;

// The data of a running fade, kept by the faded object between frames.
class IdxFadingElementData : public virtual IInterface {
 public:
  // Draws the current frame scaled into the rect; false, drawing nothing, without a frame.
  virtual Boolean DrawFrame(HDC dc, const TRect& rect) = 0;
  // The current frame (not a copy); false without one.
  virtual Boolean GetFrameImage(TdxGPImage*& image) = 0;
};

// A painter that can fade parts of bars draws the toolbar's mark through this; the fader
// decides whether fading runs at all.
class IFadingPainter : public virtual IInterface {
 public:
  virtual void DrawMark(TObject* toolbar, HDC dc, Boolean hot, const TRect& rect) = 0;
  // Whether fade images must be made opaque before they are drawn.
  virtual Boolean NeedOpaqueFadeImages() = 0;
};

// An object that can fade.
class IdxFadingObject : public virtual IInterface {
 public:
  virtual Boolean CanFade() = 0;
  // Invalidates the object's area so that its next paint shows the current frame.
  virtual void RedrawFadingFrame() = 0;
  virtual void SetFadingElementData(IdxFadingElementData* data) = 0;
  virtual void ClearFadingElementData() = 0;
  // Paints the object in its normal and its hot state into two new bitmaps (the fader frees
  // them); the four settings arrive holding the defaults and may be changed.
  virtual void GetFadingBitmaps(TBitmap*& normal, TBitmap*& hot, Integer& fadeInFrameCount,
                                Integer& fadeInFrameDelay, Integer& fadeOutFrameCount,
                                Integer& fadeOutFrameDelay) = 0;
};

// Fade states.
inline constexpr Integer dxFadingIn = 0;
inline constexpr Integer dxFadingOut = 1;

// One running fade.
class TdxFadingElement : public TcxIUnknownObject, public IdxFadingElementData {
  ORV_CLASS(TdxFadingElement, TcxIUnknownObject)
 public:
  // Takes the pictures of the two bitmaps (not the bitmaps), brings the settings within their
  // bounds and starts: the object gets the element's data and the first frame is the picture
  // the fade starts from.
  TdxFadingElement(TdxFader* fader, TObject* object, Integer state, Integer fadeInFrameCount,
                   Integer fadeInFrameDelay, Integer fadeOutFrameCount, Integer fadeOutFrameDelay,
                   TBitmap* normal, TBitmap* hot);
  ~TdxFadingElement() override;

  Boolean DrawFrame(HDC dc, const TRect& rect) override;
  Boolean GetFrameImage(TdxGPImage*& image) override;

  // One timer tick: every delay-count ticks the next frame, or the end after the last one.
  void Step();
  // Turns the fade round, continuing about as far from its end as it had come.
  void SetState(Integer value);
  // The end of the fade: shows the end picture, leaves the fader's list, tells the object and
  // frees the element.
  void Finish();

  // The picture of a bitmap: coloured pixels of alpha 0 become opaque.
  static TdxGPImage* BitmapToImage(TBitmap* bitmap);

  TObject* GetFadingObject() const { return FObject; }
  Integer GetState() const { return FState; }
  Integer GetStage() const { return FStage; }
  Integer GetFadeInFrameCount() const { return FFadeInFrameCount; }
  Integer GetFadeInFrameDelay() const { return FFadeInFrameDelay; }
  Integer GetFadeOutFrameCount() const { return FFadeOutFrameCount; }
  Integer GetFadeOutFrameDelay() const { return FFadeOutFrameDelay; }
  Integer GetDelayCount() const { return FDelayCount; }

 private:
  void ResetDelay();
  void SetFrameImage(TdxGPImage* image, Boolean redraw = true);

  TObject* FObject;
  Integer FFadeInFrameCount;
  Integer FFadeInFrameDelay;
  TdxGPImage* FFadeInImage = nullptr;
  Integer FFadeOutFrameCount;
  Integer FFadeOutFrameDelay;
  TdxGPImage* FFadeOutImage = nullptr;
  Integer FDelayCount = 1;
  Integer FDelayIndex = 0;
  IdxFadingObject* FFadingObject = nullptr;
  TdxGPImage* FFrameImage = nullptr;
  TdxFader* FFader;
  Integer FStage = 0;
  Integer FState;
};

// The running fades, oldest first.
class TdxFadingList : public TObject {
  ORV_CLASS(TdxFadingList, TObject)
 public:
  TdxFadingList() = default;
  // Finishes the first element again and again (each one leaves the list itself).
  void Clear();
  Integer GetCount() const { return Integer(FItems.size()); }
  TdxFadingElement* GetItem(Integer index) const { return FItems[std::size_t(index)]; }
  void Add(TdxFadingElement* element) { FItems.push_back(element); }
  void Remove(TdxFadingElement* element);

 private:
  std::vector<TdxFadingElement*> FItems;
};

class TdxFader : public TObject {
  ORV_CLASS(TdxFader, TObject)
 public:
  TdxFader();
  void BeforeDestruction() override;
  ~TdxFader() override;

  // Fades the object towards its hot picture, or turns its running fade round.
  void FadeIn(TObject* object) { Fade(object, dxFadingIn); }
  // Fades the object towards its normal picture, or turns its running fade round.
  void FadeOut(TObject* object) { Fade(object, dxFadingOut); }
  // Ends the object's running fade (it shows its end picture); nothing without one.
  void StopFading(TObject* object, Boolean finish = true);
  // Menu animation on (or the mode says always), images available, more than 16 bits per pixel.
  Boolean CanAnimate() const;

  // The object's running fade, or nullptr.
  TdxFadingElement* FindElement(TObject* object) const;
  TdxFadingList* GetList() const { return FList; }
  Integer GetMaxFadingCount() const { return FMaxFadingCount; }
  // 0 follows the system's menu animation, 1 always fades, anything else never.
  Byte GetMode() const { return FMode; }
  TcxTimer* GetTimer() const { return FTimer; }

 private:
  friend class TdxFadingElement;
  void Fade(TObject* object, Integer state);
  void StartFading(TObject* object, Integer state);
  // While more than the maximum run, the oldest ends; the timer runs exactly while fades run.
  void CheckLimit();
  void TimerHandler(TObject* sender);

  TdxFadingList* FList;
  Integer FMaxFadingCount = 10;
  Byte FMode = 0;
  TcxTimer* FTimer;
};

// The program's fader, made on first use and freed at exit.
TdxFader* GetGlobalFader();

// The base of the fading objects of the bars: keeps the running fade's data.
class TdxFadingObjectHelper : public TcxIUnknownObject, public IdxFadingObject {
  ORV_CLASS(TdxFadingObjectHelper, TcxIUnknownObject)
 public:
  TdxFadingObjectHelper() = default;

  // Descendants override these three: no fading, no redraw, no pictures here.
  Boolean CanFade() override { return false; }
  void RedrawFadingFrame() override {}
  void GetFadingBitmaps(TBitmap*& normal, TBitmap*& hot, Integer& fadeInFrameCount,
                        Integer& fadeInFrameDelay, Integer& fadeOutFrameCount,
                        Integer& fadeOutFrameDelay) override {}

  void SetFadingElementData(IdxFadingElementData* data) final { FFadingElementData = data; }
  void ClearFadingElementData() final { FFadingElementData = nullptr; }

  // No fade of the object runs.
  Boolean IsIdle() const { return FFadingElementData == nullptr; }
  // The current frame of a running fade into the rect; nothing otherwise.
  void DrawFadingFrame(HDC dc, const TRect& rect);

  // ---- Names the bars use ----
  // The bars name the redraw and the snapshots so (descendants override the operations above).
  void RefreshFadingPart() { RedrawFadingFrame(); }
  void PrepareFadingImages(TBitmap*& fadeOut, TBitmap*& fadeIn) {
    Integer inCount = 4, inDelay = 15, outCount = 12, outDelay = 20;
    fadeOut = fadeIn = nullptr;
    GetFadingBitmaps(fadeOut, fadeIn, inCount, inDelay, outCount, outDelay);
  }

 private:
  IdxFadingElementData* FFadingElementData = nullptr;
};
