// The dxBar unit, continued: the buttons a bar can carry on its caption, with their glyph, hint,
// screen tip and click event. The toolbar window hit-tests them, tracks presses and clicks them;
// their rectangles are given by the toolbar window's caption layout.

#pragma once

#include "components/bars/dxBar.h"
#include "components/foundation/cxClasses.h"

class TBitmap;
class TdxBarCaptionButtons;

class TdxBarCaptionButton : public TcxInterfacedCollectionItem, public IdxBarHintSource {
  ORV_CLASS(TdxBarCaptionButton, TcxInterfacedCollectionItem)
 public:
  explicit TdxBarCaptionButton(TCollection* collection);
  ~TdxBarCaptionButton() override;

  // 0 normal, 1 disabled, 2 hot, 4 pressed.
  enum { bsNormal = 0, bsDisabled = 1, bsHot = 2, bsPressed = 4 };

  Boolean GetEnabled() const { return FEnabled; }
  void SetEnabled(Boolean value);
  TBitmap* GetGlyph() const { return FGlyph; }
  void SetGlyph(TBitmap* value);
  const AnsiString& GetHint() const { return FHint; }
  void SetHint(const AnsiString& value) { FHint = value; }
  const AnsiString& GetKeyTip() const { return FKeyTip; }
  void SetKeyTip(const AnsiString& value) { FKeyTip = value; }
  TdxBarScreenTip* GetScreenTip() const { return FScreenTip; }
  void SetScreenTip(TdxBarScreenTip* value);
  const TNotifyEvent& GetOnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& value);
  // In window coordinates of the toolbar window (empty: neither drawn nor hit).
  const TRect& GetRect() const { return FRect; }
  void SetRect(const TRect& value) { FRect = value; }
  Integer GetState() const { return FState; }
  void SetState(Integer value);
  // Set while keyboard navigation has the button selected (it stays hot then).
  Boolean GetKeyboardSelected() const { return FKeyboardSelected; }
  void SetKeyboardSelected(Boolean value) { FKeyboardSelected = value; }
  TdxBarCaptionButtons* GetCaptionButtons() const;

  virtual void Click();
  void Assign(TPersistent* source) override;
  // The hint shows only while the button is hot.
  void GetHintInfo(AnsiString& hint, AnsiString& shortCut, Boolean& enabled) override;
  Boolean HasScreenTip() override { return FScreenTip != nullptr; }
  TdxBarCustomHintViewInfo* CreateHintViewInfo(const AnsiString& hint, const AnsiString& shortCut) override;

 private:
  // Hears of the screen tip's destruction for the button (collection items get no notices).
  class TTipWatcher : public TComponent {
    ORV_CLASS(TTipWatcher, TComponent)
   public:
    explicit TTipWatcher(TdxBarCaptionButton* button) : TComponent(nullptr), FButton(button) {}
    void Notification(TComponent* component, TOperation operation) override;

   private:
    TdxBarCaptionButton* FButton;
  };
  void GlyphChanged(TObject* sender) { Changed(false); }
  Boolean FEnabled = true;
  TBitmap* FGlyph;
  AnsiString FHint;
  AnsiString FKeyTip;
  TdxBarScreenTip* FScreenTip = nullptr;
  TNotifyEvent FOnClick;
  TRect FRect;
  Integer FState = bsNormal;
  Boolean FKeyboardSelected = false;
  TTipWatcher* FWatcher;
};

class TdxBarCaptionButtons : public TcxOwnedInterfacedCollection {
  ORV_CLASS(TdxBarCaptionButtons, TcxOwnedInterfacedCollection)
 public:
  explicit TdxBarCaptionButtons(TdxBar* bar);
  TdxBar* GetBar() const { return FBar; }
  TdxBarCaptionButton* GetButton(Integer index) const { return static_cast<TdxBarCaptionButton*>(GetItem(index)); }
  TdxBarCaptionButton* Add() { return static_cast<TdxBarCaptionButton*>(inherited::Add()); }
  // The first enabled button whose rectangle holds the point (window coordinates); -1 for none.
  Integer ButtonAtPoint(const TPoint& point) const;
  // Hot or pressed (while pressing) under the point, normal elsewhere; disabled ones stay.
  void UpdateButtonStates(const TPoint& point, Boolean pressing);
  // The union of the buttons' rectangles (empty when none has one).
  TRect GetBounds() const;

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TdxBar* FBar;
};
