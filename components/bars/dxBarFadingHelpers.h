// Fading of a toolbar's "More Buttons" mark and of the buttons of a maximized child window on a
// main menu: the objects the global fader animates between the normal and the hot look. A toolbar
// window owns them; they fade only while its painter can draw fading parts (the fading-painter
// interface) and a fader exists. None of the built-in looks offers that interface, so the mark
// fades only under a look that does; the platform has no child windows of that kind, so the
// buttons of a maximized child never show and never fade.
#pragma once

#include "components/foundation/dxFading.h"

class TdxBarControl;

class TdxBarControlMarkFadingHelper : public TdxFadingObjectHelper {
  ORV_CLASS(TdxBarControlMarkFadingHelper, TdxFadingObjectHelper)
 public:
  using TCreateSignature = void(TdxBarControl* toolbar);
  explicit TdxBarControlMarkFadingHelper(TdxBarControl* toolbar) : FToolbar(toolbar) {}
  // A running fade of the mark is ended at its end picture first.
  ~TdxBarControlMarkFadingHelper() override;
  TdxBarControl* GetToolbar() const { return FToolbar; }
  // Start, or turn round, the fade towards the hot or the normal look (when the mark can fade).
  void FadeIn();
  void FadeOut();
  // The painter fades, a fader exists, the mark is shown and its popup is not open.
  Boolean CanFade() override;
  void RedrawFadingFrame() override;
  // The mark drawn normal and hot into two 32-bit bitmaps of the mark's size.
  void GetFadingBitmaps(TBitmap*& normal, TBitmap*& hot, Integer& fadeInFrameCount, Integer& fadeInFrameDelay,
                        Integer& fadeOutFrameCount, Integer& fadeOutFrameDelay) override;

 private:
  TdxBarControl* FToolbar;
};

// Kind 0 minimize, 1 restore, 2 close.
class TdxBarControlMDIButtonFadingHelper : public TdxFadingObjectHelper {
  ORV_CLASS(TdxBarControlMDIButtonFadingHelper, TdxFadingObjectHelper)
 public:
  using TCreateSignature = void(TdxBarControl* toolbar, Integer kind);
  TdxBarControlMDIButtonFadingHelper(TdxBarControl* toolbar, Integer kind) : FToolbar(toolbar), FKind(kind) {}
  ~TdxBarControlMDIButtonFadingHelper() override;
  TdxBarControl* GetToolbar() const { return FToolbar; }
  Integer GetKind() const { return FKind; }
  void FadeIn();
  void FadeOut();
  // The painter fades and the toolbar shows the buttons of a maximized child, which needs
  // child windows this platform does not have: False.
  Boolean CanFade() override;
  void RedrawFadingFrame() override {}

 private:
  TdxBarControl* FToolbar;
  Integer FKind;
};
