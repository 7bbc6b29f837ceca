// The dxBar unit, continued: the "More Buttons" popup of a toolbar's mark. It is a toolbar
// window of its own in popup style (no caption, never moved or sized), attached to the mark,
// whose links stand on a hidden temporary bar: the links the toolbar has no room for and the
// quick-customization entry. It closes itself a short while after the selection moved to
// another bar window. Looks that shadow popups give it a shadow, joined to the mark's.

#pragma once

#include "components/bars/dxBar.h"

class TcxTimer;

class TdxBarQuickControl : public TdxBarControl {
  ORV_CLASS(TdxBarQuickControl, TdxBarControl)
 public:
  // A popup for the toolbar window `parent`: a hidden bar of the toolbar's manager holds its
  // links (filled by the opener), its owner bounds are the toolbar's mark.
  explicit TdxBarQuickControl(TdxBarControl* parent);
  ~TdxBarQuickControl() override;
  void BeforeDestruction() override;

  // The toolbar whose mark opened the popup (nil once it went).
  TdxBarControl* GetParentToolbar() const { return FParentToolbar; }
  // The toolbar's bar the popup shows links of.
  TdxBar* GetPopupSourceBar() const { return FPopupSourceBar; }
  // The mark's screen rectangle the popup is attached to.
  const TRect& GetOwnerBounds() const { return FOwnerBounds; }

  Boolean IsPopup() override { return true; }
  Boolean IsPopupStyle() override { return true; }
  Integer GetKind() override { return 1; }
  HBRUSH GetBackgroundBrush() override;
  void DrawBackground(HDC dc, const TRect& rect, HBRUSH brush, TColor color) override;
  Boolean HasFloatingCaption() override { return false; }

  // The window's whole size: the links wrapped as a floating toolbar of the least width, plus
  // the frame.
  TSize GetPopupSize();
  // Places the popup under (or beside a vertical toolbar: next to) the rectangle inside the
  // work area and shows it without activation. Left-aligned with the rectangle only below a
  // floating toolbar in a look that frames the popup; otherwise right edges aligned.
  void PopupAt(const TRect& ownerRect);

  // The popup's shadow: shown while the popup is and the painter wants one, joined to the mark
  // when the popup touches it.
  TdxBarShadow* GetShadow() const { return FShadow; }
  void UpdateShadow();

  // Another bar window took the selection: the popup looks again in a moment.
  void StartHidingTimer();
  Boolean IsHidingTimerRunning() const;
  // The popup open now (nil when none).
  static TdxBarQuickControl* GetOpenQuickControl();
  // A button pressed on `window` while the popup is open and not active: outside the popup (and,
  // unless it is the right button, outside its toolbar) it hides the popup.
  static void HandleMouseDownOutside(HWND window, UINT message);

 protected:
  void WndProc(TMessage& message) override;
  void DoClose() override;

 private:
  friend class TdxBarControl;
  static TdxBar* MakePopupBar(TdxBarControl* parent);
  void HidingCheck(TObject* sender);
  TdxBarControl* FParentToolbar;
  TdxBar* FPopupSourceBar = nullptr;
  TRect FOwnerBounds;
  TcxTimer* FHidingTimer = nullptr;
  TdxBarShadow* FShadow = nullptr;
};
