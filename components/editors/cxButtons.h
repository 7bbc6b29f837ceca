// The look-and-feel button: the platform's push button (Default, Cancel, ModalResult, Action,
// Caption keep their meaning) drawn by the look-and-feel painters, with per-state colours, a
// glyph laid out beside the caption, speed-button behaviour (not focusable, staying down, alone
// or in a group), hot tracking, a drop-down menu (the whole button or a split arrow part) and an
// event that lets the application change the colour and font of each paint.
//
// Glyphs: a bitmap strip of up to four equal images (normal, disabled, pressed, spare) or an
// image of the action's image list. The images built for the states live in image lists that
// every glyph of the process shares, one list per image size.
#pragma once

#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxImageList.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/runtime/Bits.h"

class TcxCustomButton;
class TControlCanvas;

// The painter's TcxButtonKind names the look of a push button; the button's own kinds are these.
enum TcxButtonMenuKind { cxbkStandard, cxbkDropDown, cxbkDropDownButton };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

enum TcxButtonAssignedColor {
  cxbcDefault, cxbcDefaultText, cxbcDisabled, cxbcDisabledText, cxbcHot, cxbcHotText,
  cxbcNormal, cxbcNormalText, cxbcPressed, cxbcPressedText
};
using TcxButtonAssignedColors = orv::Set<TcxButtonAssignedColor>;

using TcxButtonDropDownMenuPopupEvent = orv::Event<void(TObject* sender, TPopupMenu*& popupMenu, Boolean& handled)>;
using TcxButtonGetDrawParamsEvent =
    orv::Event<void(TcxCustomButton* sender, TcxButtonState state, TColor& color, TFont* font)>;

// Private messages of the button: open the drop-down menu (posted), the menu has closed.
constexpr UINT CM_DROPDOWNPOPUPMENU = 0x8065;
constexpr UINT CM_CLOSEUPPOPUPMENU = 0x8066;

// ==== Glyph ===================================================================================

// An image list whose slots glyph objects take and give back; a freed slot is overwritten later.
class TcxGlyphList : public TcxImageList {
  ORV_CLASS(TcxGlyphList, TcxImageList)
 public:
  TcxGlyphList(Integer width, Integer height);
  ~TcxGlyphList() override;
  Integer StoreImage(TcxBitmap* image, TcxBitmap* mask);
  void FreeSlot(Integer index);
  Integer GetUsedCount() const { return FUsedCount; }

 private:
  Integer TakeSlot(TcxBitmap* image);
  TBits* FUsedSlots;
  Integer FUsedCount = 0;
};

// The lists of every glyph of the process, one per image size.
class TcxGlyphCache : public TObject {
  ORV_CLASS(TcxGlyphCache, TObject)
 public:
  TcxGlyphCache();
  ~TcxGlyphCache() override;
  TcxGlyphList* ListForSize(Integer width, Integer height);
  void ReleaseUnusedList(TcxGlyphList* list);
  Boolean HasNoLists() const { return FLists->GetCount() == 0; }
  Integer GetListCount() const { return FLists->GetCount(); }

 private:
  TList* FLists;
};

// The shared cache (nil while no glyph object exists).
TcxGlyphCache* GetGlyphCache();

// The picture of a glyph: a bitmap strip, or an image of an image list.
class TcxButtonImageInfo : public TObject {
  ORV_CLASS(TcxButtonImageInfo, TObject)
 public:
  TcxButtonImageInfo();
  ~TcxButtonImageInfo() override;
  TBitmap* GetGlyph() const { return FGlyph; }
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer value);
  Boolean HasImage();
  TSize ImageSize();
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value);

 private:
  TBitmap* FGlyph;
  TCustomImageList* FImages = nullptr;
  Integer FImageIndex = -1;
  TNotifyEvent FOnChange;
};

class TcxButtonGlyph : public TObject {
  ORV_CLASS(TcxButtonGlyph, TObject)
 public:
  TcxButtonGlyph();
  ~TcxButtonGlyph() override;

  TBitmap* GetGlyph() const { return FImageInfo->GetGlyph(); }
  void SetGlyph(TBitmap* value);
  Integer GetNumGlyphs() const { return FNumGlyphs; }
  // Clamped to 1..4.
  void SetNumGlyphs(Integer value);
  TCustomImageList* GetImages() const { return FImageInfo->GetImages(); }
  void SetImages(TCustomImageList* value) { FImageInfo->SetImages(value); }
  Integer GetImageIndex() const { return FImageInfo->GetImageIndex(); }
  void SetImageIndex(Integer value) { FImageInfo->SetImageIndex(value); }
  Boolean HasImage() { return FImageInfo->HasImage(); }
  TSize GlyphImageSize();
  // The index in the shared list of the image of a button state, built when missing; -1 without
  // a picture.
  Integer StateImageIndex(TcxButtonState state);
  void ReleaseImages();
  TcxGlyphList* GetGlyphList() const { return FGlyphList; }
  const TNotifyEvent& GetOnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& value) { FOnChange = value; }

  // The glyph and caption positions in a client rectangle.
  void LayoutGlyph(TcxCanvas* canvas, const TRect& client, const TPoint& offset, const AnsiString& caption,
                   TButtonLayout layout, Integer margin, Integer spacing, UINT textFlags, Boolean wordWrap,
                   TPoint& glyphPos, TRect& textRect);

  // ---- Virtual operations ----
  virtual TRect GlyphCaptionMargins(TButtonLayout layout);
  virtual void PaintGlyphImage(TcxCanvas* canvas, const TPoint& position, TcxButtonState state);
  virtual void PaintGlyphCaption(TcxCanvas* canvas, const AnsiString& caption, Boolean skin, Boolean wordWrap,
                                 UINT textFlags, TcxButtonState state, const TRect& textRect);
  virtual void PaintGlyph(TcxCanvas* canvas, const TRect& client, const TPoint& offset, const AnsiString& caption,
                          TButtonLayout layout, Integer margin, Integer spacing, TcxButtonState state,
                          UINT textFlags, Boolean wordWrap, Boolean skin);

 private:
  void PictureChanged(TObject* sender);
  void MeasureGlyphCaption(TcxCanvas* canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout,
                           Integer spacing, UINT textFlags, Boolean wordWrap, TRect& textRect, TSize& extent);

  TcxGlyphList* FGlyphList = nullptr;
  Integer FCachedIndexes[4] = {-1, -1, -1, -1};
  Integer FNumGlyphs = 1;
  TNotifyEvent FOnChange;
  TcxButtonImageInfo* FImageInfo;
};
using TcxButtonGlyphClass = orv::ClassOf<TcxButtonGlyph>;

// ==== Colours and speed-button options ========================================================

class TcxButtonColors : public TPersistent {
  ORV_CLASS(TcxButtonColors, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomButton* owner);
  explicit TcxButtonColors(TcxCustomButton* owner) : FButton(owner) {}
  void Assign(TPersistent* source) override;

  TcxButtonAssignedColors GetAssignedColors() const { return FAssignedColors; }
  void SetAssignedColors(TcxButtonAssignedColors value);
  TColor GetColor(TcxButtonAssignedColor index) const { return FColors[index]; }
  // clNone and clDefault unassign.
  void SetColor(TcxButtonAssignedColor index, TColor value);
  Boolean IsColorStored(TcxButtonAssignedColor index) const { return FAssignedColors.Contains(index); }
  Boolean AnyAssigned() const { return !FAssignedColors.Empty(); }
  // The colours a paint uses for a button state (clDefault: the painter's).
  TColor GetBackgroundColor(TcxButtonState state) const;
  TColor GetTextColor(TcxButtonState state) const;

 private:
  TcxCustomButton* FButton;
  TcxButtonAssignedColors FAssignedColors;
  TColor FColors[10] = {clDefault, clDefault, clDefault, clDefault, clDefault,
                        clDefault, clDefault, clDefault, clDefault, clDefault};
};

class TcxSpeedButtonOptions : public TPersistent {
  ORV_CLASS(TcxSpeedButtonOptions, TPersistent)
 public:
  using TCreateSignature = void(TcxCustomButton* owner);
  explicit TcxSpeedButtonOptions(TcxCustomButton* owner) : FButton(owner) {}
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  Integer GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer value);
  Boolean GetCanBeFocused() const { return FCanBeFocused; }
  void SetCanBeFocused(Boolean value);
  Boolean GetAllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(Boolean value);
  Boolean GetDown() const;
  void SetDown(Boolean value);
  Boolean GetFlat() const { return FFlat; }
  void SetFlat(Boolean value);
  Boolean GetTransparent() const { return FTransparent; }
  void SetTransparent(Boolean value);

 private:
  // A group's other buttons go up when one goes down.
  void UpdateGroup();
  TcxCustomButton* FButton;
  Integer FGroupIndex = 0;
  Boolean FCanBeFocused = true;
  Boolean FAllowAllUp = false;
  Boolean FFlat = false;
  Boolean FTransparent = false;
  Integer FLockCount = 0;
};

// ==== The button ==============================================================================

// The link of a button to its action: the action's image index reaches the button's glyph, and
// a link that goes away takes the action's image off the glyph.
class TcxButtonActionLink : public TButtonActionLink {
  ORV_CLASS(TcxButtonActionLink, TButtonActionLink)
 public:
  explicit TcxButtonActionLink(TObject* client) : TButtonActionLink(client) {}
  void BeforeDestruction() override;
  void SetImageIndex(Integer value) override;

 private:
  TcxButtonGlyph* ClientGlyph() const;
};

class TcxCustomButton : public TButton, public IcxLookAndFeelHost, public IcxMouseTrackingCaller {
  ORV_CLASS(TcxCustomButton, TButton)
 public:
  explicit TcxCustomButton(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomButton() override;

  void Notification(TComponent* component, TOperation operation) override;
  void Dispatch(TMessage& message) override;
  void WndProc(TMessage& message) override;
  bool CanFocus() override;
  void Click() override;
  bool GetChecked() const override { return GetDown(); }
  void SetChecked(bool value) override { SetDown(value); }

  // IcxLookAndFeelHost / IcxMouseTrackingCaller.
  TcxLookAndFeel* GetLookAndFeelValue() override { return FLookAndFeel; }
  void MouseLeave() override;

  TcxButtonColors* GetColors() const { return FColors; }
  void SetColors(TcxButtonColors* value) { FColors->Assign(value); }
  TPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* value);
  TBitmap* GetGlyph() const { return FGlyph->GetGlyph(); }
  void SetGlyph(TBitmap* value) { FGlyph->SetGlyph(value); }
  TcxButtonGlyph* GetGlyphObject() const { return FGlyph; }
  TcxButtonMenuKind GetKind() const { return FKind; }
  void SetKind(TcxButtonMenuKind value);
  TButtonLayout GetLayout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  TcxLookAndFeel* GetLookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TcxLookAndFeel* value) { FLookAndFeel->Assign(value); }
  Integer GetMargin() const { return FMargin; }
  // Values below -1 are ignored.
  void SetMargin(Integer value);
  Integer GetNumGlyphs() const { return FGlyph->GetNumGlyphs(); }
  void SetNumGlyphs(Integer value) { FGlyph->SetNumGlyphs(value); }
  TPopupAlignment GetPopupAlignment() const { return FPopupAlignment; }
  void SetPopupAlignment(TPopupAlignment value) { FPopupAlignment = value; }
  // The context menu: a popup menu component (the platform control's own menu stays unused).
  TComponent* GetButtonPopupMenu() const { return FPopupMenu; }
  void SetButtonPopupMenu(TComponent* value);
  Integer GetSpacing() const { return FSpacing; }
  void SetSpacing(Integer value);
  TcxSpeedButtonOptions* GetSpeedButtonOptions() const { return FSpeedButtonOptions; }
  void SetSpeedButtonOptions(TcxSpeedButtonOptions* value) { FSpeedButtonOptions->Assign(value); }
  Boolean GetUseSystemPaint() const { return FUseSystemPaint; }
  void SetUseSystemPaint(Boolean value);
  // The speed-button options' values, published on the button too.
  Boolean GetCanBeFocused() const { return FSpeedButtonOptions->GetCanBeFocused(); }
  void SetCanBeFocused(Boolean value) { FSpeedButtonOptions->SetCanBeFocused(value); }
  Integer GetGroupIndex() const { return FSpeedButtonOptions->GetGroupIndex(); }
  void SetGroupIndex(Integer value) { FSpeedButtonOptions->SetGroupIndex(value); }
  Boolean GetDown() const { return (FMouseFlags & kDownFlag) != 0; }
  void SetDown(Boolean value) { FSpeedButtonOptions->SetDown(value); }
  Boolean GetAllowAllUp() const { return FSpeedButtonOptions->GetAllowAllUp(); }
  void SetAllowAllUp(Boolean value) { FSpeedButtonOptions->SetAllowAllUp(value); }
  Boolean IsHot() const { return (FMouseFlags & kHotFlag) != 0; }
  Boolean IsDropDownMenuShown() const { return (FMouseFlags & kMenuShownFlag) != 0; }
  // Cannot take the focus, or belongs to a group.
  Boolean IsSpeedButton() const { return !GetCanBeFocused() || GetGroupIndex() != 0; }
  // The state the last paint used.
  TcxButtonState GetPaintState() const { return FPaintState; }

  const TcxButtonDropDownMenuPopupEvent& GetOnDropDownMenuPopup() const { return FOnDropDownMenuPopup; }
  void SetOnDropDownMenuPopup(const TcxButtonDropDownMenuPopupEvent& value) { FOnDropDownMenuPopup = value; }
  const TcxButtonGetDrawParamsEvent& GetOnGetDrawParams() const { return FOnGetDrawParams; }
  void SetOnGetDrawParams(const TcxButtonGetDrawParamsEvent& value) { FOnGetDrawParams = value; }
  const TNotifyEvent& GetOnMouseEnter() const { return FOnMouseEnter; }
  void SetOnMouseEnter(const TNotifyEvent& value) { FOnMouseEnter = value; }
  const TNotifyEvent& GetOnMouseLeave() const { return FOnMouseLeave; }
  void SetOnMouseLeave(const TNotifyEvent& value) { FOnMouseLeave = value; }

  // ---- New virtual operations ----
  virtual Boolean DoDropDownMenuPopup(TPopupMenu*& menu);
  virtual Boolean ShowPopupMenu(TComponent* menu, Integer x, Integer y);
  virtual TcxButtonGlyphClass GetGlyphClass() { return TcxButtonGlyph::StaticClass(); }
  virtual TcxCustomLookAndFeelPainterClass GetPainter();
  virtual Boolean UsesSystemPainting() { return FUseSystemPaint; }
  virtual void DoMouseEnter() { FireNotifyEvent(this, FOnMouseEnter); }
  virtual void DoMouseLeave() { FireNotifyEvent(this, FOnMouseLeave); }
  virtual void CalculateCaptionSize(TSize& size);

  // Paints the button on a DC as an owner-draw request would.
  void PaintOn(HDC dc, Boolean selected, Boolean focused);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void SetButtonStyle(bool isDefault) override;
  void ActionChange(TObject* sender, bool checkDefaults) override;
  TControlActionLinkClass GetActionLinkClass() override { return TcxButtonActionLink::StaticClass(); }
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void KeyDown(Word& key, TShiftState shift) override;

 private:
  friend class TcxSpeedButtonOptions;
  static constexpr Integer kDownFlag = 1;
  static constexpr Integer kHotFlag = 2;
  static constexpr Integer kMainPressedFlag = 4;
  static constexpr Integer kDropDownPressedFlag = 8;
  static constexpr Integer kMenuShownFlag = 16;
  static constexpr Integer kAccelFlag = 32;
  static constexpr Integer kArrowWidth = 15;

  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues);
  void GlyphChanged(TObject* sender) { Invalidate(); }
  void MouseEntered();
  void MouseLeft();
  Boolean IsInDropDownPart(const TPoint& p);
  void ShowDropDownMenu();
  void DrawBackground(TcxCanvas* canvas, TcxCustomLookAndFeelPainterClass painter, TRect r, TcxButtonState state,
                      TColor color, TColor textColor);
  void SetDownFlag(Boolean value);
  // The glyph takes the image list and image index of the action (none without an action list).
  void UpdateImageInfo();

  Integer FMouseFlags = 0;
  TControlCanvas* FControlCanvas;
  TcxCanvas* FPaintCanvas;
  TcxButtonColors* FColors;
  TPopupMenu* FDropDownMenu = nullptr;
  Boolean FIsDefaultLook = false;
  TcxButtonMenuKind FKind = cxbkStandard;
  TcxLookAndFeel* FLookAndFeel;
  Boolean FMenuClosedOverArrow = false;
  Boolean FPaintAsDefault = false;
  Boolean FPaintAsPressed = false;
  TPopupAlignment FPopupAlignment = paLeft;
  TComponent* FPopupMenu = nullptr;
  TcxSpeedButtonOptions* FSpeedButtonOptions;
  Boolean FUseSystemPaint = false;
  TcxButtonGlyph* FGlyph;
  TButtonLayout FLayout = blGlyphLeft;
  Integer FMargin = -1;
  Integer FSpacing = 4;
  TcxButtonState FPaintState = cxbsNormal;
  TcxButtonDropDownMenuPopupEvent FOnDropDownMenuPopup;
  TcxButtonGetDrawParamsEvent FOnGetDrawParams;
  TNotifyEvent FOnMouseEnter;
  TNotifyEvent FOnMouseLeave;
};

class TcxButton : public TcxCustomButton {
  ORV_CLASS(TcxButton, TcxCustomButton)
 public:
  explicit TcxButton(TComponent* owner) : TcxCustomButton(owner) {}
};
