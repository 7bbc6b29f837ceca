// The fading objects of a toolbar's mark and of a maximized child's buttons.

#include "components/bars/dxBarFadingHelpers.h"

#include "components/bars/dxBar.h"
#include "components/foundation/cxGraphics.h"
#include "platform/windowing/User.h"

namespace {

IFadingPainter* FhFadingPainter(TdxBarControl* toolbar) {
  TdxBarPainter* painter = toolbar ? toolbar->GetPainter() : nullptr;
  return painter ? Supports<IFadingPainter>(static_cast<TObject*>(painter)) : nullptr;
}

}  // namespace

// ==== The mark ==================================================================================

TdxBarControlMarkFadingHelper::~TdxBarControlMarkFadingHelper() {
  if (TdxFader* fader = GetGlobalFader()) fader->StopFading(this);
}

void TdxBarControlMarkFadingHelper::FadeIn() {
  if (CanFade()) GetGlobalFader()->FadeIn(this);
}

void TdxBarControlMarkFadingHelper::FadeOut() {
  if (CanFade()) GetGlobalFader()->FadeOut(this);
}

Boolean TdxBarControlMarkFadingHelper::CanFade() {
  // A dropped mark (its popup open) never fades.
  return FToolbar && FToolbar->CanFadeMark() && FToolbar->IsMarkVisible() && FToolbar->GetMarkState() != 2;
}

void TdxBarControlMarkFadingHelper::RedrawFadingFrame() {
  // The toolbar ends the mark's fade while it is being freed: nothing is left to paint.
  if (FToolbar && !FToolbar->IsDestroying()) FToolbar->InvalidateMark();
}

void TdxBarControlMarkFadingHelper::GetFadingBitmaps(TBitmap*& normal, TBitmap*& hot, Integer& fadeInFrameCount,
                                                     Integer& fadeInFrameDelay, Integer& fadeOutFrameCount,
                                                     Integer& fadeOutFrameDelay) {
  normal = hot = nullptr;
  IFadingPainter* painter = FhFadingPainter(FToolbar);
  if (!painter) return;
  const TRect mark = FToolbar->GetMarkRect();
  const TRect r{0, 0, mark.Width(), mark.Height()};
  auto* out = new TcxBitmap32(r.Width(), r.Height());
  auto* in = new TcxBitmap32(r.Width(), r.Height());
  painter->DrawMark(FToolbar, out->GetCanvas()->GetHandle(), false, r);
  painter->DrawMark(FToolbar, in->GetCanvas()->GetHandle(), true, r);
  if (painter->NeedOpaqueFadeImages()) {
    out->SetOpaque();
    in->SetOpaque();
  }
  normal = out;
  hot = in;
}

// ==== The buttons of a maximized child ==========================================================

TdxBarControlMDIButtonFadingHelper::~TdxBarControlMDIButtonFadingHelper() {
  if (TdxFader* fader = GetGlobalFader()) fader->StopFading(this);
}

void TdxBarControlMDIButtonFadingHelper::FadeIn() {
  if (CanFade()) GetGlobalFader()->FadeIn(this);
}

void TdxBarControlMDIButtonFadingHelper::FadeOut() {
  if (CanFade()) GetGlobalFader()->FadeOut(this);
}

Boolean TdxBarControlMDIButtonFadingHelper::CanFade() {
  // The buttons show only on the main menu of a form with a maximized child window; this
  // platform has no such windows, so they never show.
  return false;
}
