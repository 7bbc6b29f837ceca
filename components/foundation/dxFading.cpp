#include "components/foundation/dxFading.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

constexpr Integer kDefaultFadeInFrameCount = 4;
constexpr Integer kDefaultFadeInFrameDelay = 15;
constexpr Integer kDefaultFadeOutFrameCount = 12;
constexpr Integer kDefaultFadeOutFrameDelay = 20;
constexpr Integer kMaxFrameCount = 32;
constexpr Integer kMinFrameDelay = 10;
constexpr Integer kMaxFrameDelay = 300;
constexpr Cardinal kTimerInterval = 10;

Integer ValidFrameCount(Integer value, Integer defaultValue) {
  return value <= 0 ? defaultValue : std::min(value, kMaxFrameCount);
}

Integer ValidFrameDelay(Integer value, Integer defaultValue) {
  return value < kMinFrameDelay ? defaultValue : std::min(value, kMaxFrameDelay);
}

}  // namespace

// ---- TdxFadingElement ---------------------------------------------------------------------------

TdxFadingElement::TdxFadingElement(TdxFader* fader, TObject* object, Integer state,
                                   Integer fadeInFrameCount, Integer fadeInFrameDelay,
                                   Integer fadeOutFrameCount, Integer fadeOutFrameDelay,
                                   TBitmap* normal, TBitmap* hot)
    : FObject(object),
      FFadeInFrameCount(ValidFrameCount(fadeInFrameCount, kDefaultFadeInFrameCount)),
      FFadeInFrameDelay(ValidFrameDelay(fadeInFrameDelay, kDefaultFadeInFrameDelay)),
      FFadeOutFrameCount(ValidFrameCount(fadeOutFrameCount, kDefaultFadeOutFrameCount)),
      FFadeOutFrameDelay(ValidFrameDelay(fadeOutFrameDelay, kDefaultFadeOutFrameDelay)),
      FFader(fader),
      FState(state) {
  FFadingObject = Supports<IdxFadingObject>(object);
  FFadeInImage = BitmapToImage(hot);
  try {
    FFadeOutImage = BitmapToImage(normal);
  } catch (...) {
    orv::Free(FFadeInImage);
    throw;
  }
  ResetDelay();
  FFadingObject->SetFadingElementData(this);
  SetFrameImage((FState == dxFadingIn ? FFadeOutImage : FFadeInImage)->Clone());
}

TdxFadingElement::~TdxFadingElement() {
  orv::Free(FFrameImage);
  orv::Free(FFadeInImage);
  orv::Free(FFadeOutImage);
}

TdxGPImage* TdxFadingElement::BitmapToImage(TBitmap* bitmap) {
  TdxRGBColors colors;
  GetBitmapColors(bitmap, colors);
  for (Cardinal& pixel : colors)
    if ((pixel & 0x00FFFFFFu) != 0 && (pixel >> 24) == 0) pixel |= 0xFF000000u;
  return TdxGPImage::CreateFromBits(bitmap->GetWidth(), bitmap->GetHeight(), colors,
                                    bitmap->GetPixelFormat() == pf32bit, GetGPImageClass());
}

void TdxFadingElement::ResetDelay() {
  const Integer delay = FState == dxFadingIn ? FFadeInFrameDelay : FFadeOutFrameDelay;
  FDelayCount = std::max<Integer>(delay / 10, 1);
  FDelayIndex = 0;
}

void TdxFadingElement::SetFrameImage(TdxGPImage* image, Boolean redraw) {
  TdxGPImage* old = FFrameImage;
  FFrameImage = image;
  orv::Free(old);
  if (image && redraw && FFadingObject) FFadingObject->RedrawFadingFrame();
}

Boolean TdxFadingElement::DrawFrame(HDC dc, const TRect& rect) {
  if (!FFrameImage) return false;
  FFrameImage->DrawOnDC(dc, rect);
  return true;
}

Boolean TdxFadingElement::GetFrameImage(TdxGPImage*& image) {
  image = FFrameImage;
  return image != nullptr;
}

void TdxFadingElement::Step() {
  FDelayIndex = (FDelayIndex + 1) % FDelayCount;
  if (FDelayIndex != 0) return;
  const Integer count = FState == dxFadingIn ? FFadeInFrameCount : FFadeOutFrameCount;
  if (FStage >= count) {
    Finish();
    return;
  }
  ++FStage;
  const Integer alpha =
      FState == dxFadingIn ? std::min<Integer>(255, 256 / FFadeInFrameCount * FStage)
                           : std::max<Integer>(0, 255 - 256 / FFadeOutFrameCount * FStage);
  SetFrameImage(FFadeOutImage->MixWith(FFadeInImage, Byte(alpha)));
}

void TdxFadingElement::SetState(Integer value) {
  if (value == FState) return;
  const Integer current = FState == dxFadingIn ? FFadeInFrameCount : FFadeOutFrameCount;
  const Integer next = value == dxFadingIn ? FFadeInFrameCount : FFadeOutFrameCount;
  FStage = Integer(std::nearbyint((1 - double(FStage) / (current + 1)) * next));
  FState = value;
  ResetDelay();
}

void TdxFadingElement::Finish() {
  // The end picture first, so that the object's last redraw shows where the fade ends.
  SetFrameImage((FState == dxFadingIn ? FFadeInImage : FFadeOutImage)->Clone());
  FFader->FList->Remove(this);
  FFader->CheckLimit();
  if (FFadingObject) FFadingObject->ClearFadingElementData();
  FreeAndNil(FFadeOutImage);
  FreeAndNil(FFadeInImage);
  SetFrameImage(nullptr, false);
  FFadingObject = nullptr;
  Free();
}

// ---- TdxFadingList ------------------------------------------------------------------------------

void TdxFadingList::Clear() {
  while (!FItems.empty()) FItems.front()->Finish();
}

void TdxFadingList::Remove(TdxFadingElement* element) {
  const auto it = std::find(FItems.begin(), FItems.end(), element);
  if (it != FItems.end()) FItems.erase(it);
}

// ---- TdxFader -----------------------------------------------------------------------------------

TdxFader::TdxFader() : FList(new TdxFadingList), FTimer(new TcxTimer(nullptr)) {
  FTimer->SetEnabled(false);
  FTimer->SetInterval(kTimerInterval);
  FTimer->SetOnTimer(TNotifyEvent(this, &TdxFader::TimerHandler));
}

void TdxFader::BeforeDestruction() {
  // Every running fade ends and shows its end picture.
  FList->Clear();
  inherited::BeforeDestruction();
}

TdxFader::~TdxFader() {
  orv::Free(FTimer);
  orv::Free(FList);
}

Boolean TdxFader::CanAnimate() const {
  Boolean allowed = false;
  if (FMode == 0) {
    BOOL animation = FALSE;
    allowed = SystemParametersInfo(SPI_GETMENUANIMATION, 0, &animation, 0) && animation;
  } else {
    allowed = FMode == 1;
  }
  // The images are the platform's own here, so they can be made whenever an image class that
  // makes them is in use.
  if (!allowed || GetGPImageClass()->InheritsFrom(TdxGPNullImage::StaticClass())) return false;
  TcxScreenCanvas* screen = GetScreenCanvas();
  return screen && GetDeviceCaps(screen->GetHandle(), BITSPIXEL) > 16;
}

TdxFadingElement* TdxFader::FindElement(TObject* object) const {
  for (Integer i = 0; i < FList->GetCount(); ++i)
    if (FList->GetItem(i)->GetFadingObject() == object) return FList->GetItem(i);
  return nullptr;
}

void TdxFader::Fade(TObject* object, Integer state) {
  if (!CanAnimate()) return;
  IdxFadingObject* fadingObject = Supports<IdxFadingObject>(object);
  if (!fadingObject || !fadingObject->CanFade()) return;
  if (TdxFadingElement* element = FindElement(object))
    element->SetState(state);
  else
    StartFading(object, state);
}

void TdxFader::StartFading(TObject* object, Integer state) {
  Integer fadeInCount = kDefaultFadeInFrameCount, fadeInDelay = kDefaultFadeInFrameDelay;
  Integer fadeOutCount = kDefaultFadeOutFrameCount, fadeOutDelay = kDefaultFadeOutFrameDelay;
  TBitmap* normal = nullptr;
  TBitmap* hot = nullptr;
  Supports<IdxFadingObject>(object)->GetFadingBitmaps(normal, hot, fadeInCount, fadeInDelay,
                                                      fadeOutCount, fadeOutDelay);
  std::unique_ptr<TBitmap, orv::FreeDeleter> normalHolder(normal), hotHolder(hot);
  if (!normal || !hot || normal->GetEmpty() || hot->GetEmpty()) return;
  auto* element = new TdxFadingElement(this, object, state, fadeInCount, fadeInDelay,
                                       fadeOutCount, fadeOutDelay, normal, hot);
  FList->Add(element);
  CheckLimit();
}

void TdxFader::StopFading(TObject* object, Boolean finish) {
  if (TdxFadingElement* element = FindElement(object)) element->Finish();
}

void TdxFader::CheckLimit() {
  while (FList->GetCount() > FMaxFadingCount) FList->GetItem(0)->Finish();
  FTimer->SetEnabled(FList->GetCount() > 0);
}

void TdxFader::TimerHandler(TObject* sender) {
  // A step may end its element and so shorten the list.
  for (Integer i = FList->GetCount() - 1; i >= 0; --i)
    if (i < FList->GetCount()) FList->GetItem(i)->Step();
}

namespace {
TdxFader* gFader = nullptr;
}  // namespace

TdxFader* GetGlobalFader() {
  if (!gFader) {
    gFader = new TdxFader;
    // Freed before the window system its timer runs on.
    static struct THolder {
      ~THolder() { FreeAndNil(gFader); }
    } holder;
  }
  return gFader;
}

// ---- TdxFadingObjectHelper ----------------------------------------------------------------------

void TdxFadingObjectHelper::DrawFadingFrame(HDC dc, const TRect& rect) {
  if (FFadingElementData) FFadingElementData->DrawFrame(dc, rect);
}
