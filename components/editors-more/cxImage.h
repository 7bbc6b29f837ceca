// The image editor: shows a picture and lets the user replace it through clipboard keys, a
// context menu, a file or by assigning the edit value. The edit value is the picture's stream
// bytes in a string (Null or empty: no picture); the grid draws such values in place through
// the properties, view data and view info.
#pragma once

#include "components/editors/cxEdit.h"
#include "platform/controls/Graphics.h"

class TPopupMenu;
class TMenuItem;

enum TcxImageTransparency { gtDefault, gtOpaque, gtTransparent };
enum TcxPopupMenuItem { pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom };
using TcxPopupMenuItems = orv::Set<TcxPopupMenuItem>;

using TcxImageAssignPictureEvent = orv::Event<void(TObject* sender, TPicture* picture)>;
using TcxImageGraphicClassEvent = orv::Event<void(TObject* item, Integer recordIndex, Boolean pastingFromClipboard,
                                                  TGraphicClass& graphicClass)>;
using TcxImageEditGraphicClassEvent =
    orv::Event<void(TObject* sender, Boolean pastingFromClipboard, TGraphicClass& graphicClass)>;

// ---- Known graphic classes and value conversion ----

// Bitmap, icon, PNG (when registered by name), JPEG: the classes a picture value may hold.
std::vector<TGraphicClass>& KnownGraphicClasses();
// The known class of that name (case ignored), else nil.
TGraphicClass FindKnownGraphicClass(const AnsiString& name);
// The first known class (the bitmap).
TGraphicClass DefaultGraphicClass();

// A string or an array.
Boolean IsPictureValue(const Variant& value);
// Loads the bytes of a picture value (an 8-byte field header 1, 256, length is skipped) into
// the picture with the class, or by the data's first bytes without one. A value no class can
// read leaves the picture empty; nothing is reported.
void LoadPictureFromValue(TPicture* picture, TGraphicClass graphicClass, const Variant& value);
// The graphic's stream bytes; empty for nil or an empty picture.
void SavePictureToValue(TPicture* picture, AnsiString& bytes);
// The largest rectangle of the proportions width : height at rect's top-left inside rect.
TRect FitRectProportionally(const TRect& rect, Integer width, Integer height);

// Loads a picture file (its class by the extension) into `picture`, refusing data that is
// damaged or cut short: EInvalidGraphic, and the picture keeps what it held.
void LoadPictureFromFileChecked(TPicture* picture, const AnsiString& fileName);

// ---- Properties ----

class TcxCustomImage;

class TcxPopupMenuLayout : public TPersistent {
  ORV_CLASS(TcxPopupMenuLayout, TPersistent)
 public:
  explicit TcxPopupMenuLayout(TcxCustomImage* image) : FImage(image) {}
  ~TcxPopupMenuLayout() override;
  void Assign(TPersistent* source) override;

  const AnsiString& GetCustomMenuItemCaption() const { return FCustomMenuItemCaption; }
  void SetCustomMenuItemCaption(const AnsiString& value) { FCustomMenuItemCaption = value; }
  // Never nil: made empty on first read.
  virtual TBitmap* GetCustomMenuItemGlyph();
  void SetCustomMenuItemGlyph(TBitmap* value);
  TcxPopupMenuItems GetMenuItems() const { return FMenuItems; }
  void SetMenuItems(TcxPopupMenuItems value) { FMenuItems = value; }
  TcxCustomImage* GetImage() const { return FImage; }

 private:
  AnsiString FCustomMenuItemCaption;
  TBitmap* FCustomMenuItemGlyph = nullptr;
  TcxCustomImage* FImage;
  TcxPopupMenuItems FMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave};
};

class TcxCustomImageProperties : public TcxCustomEditProperties {
  ORV_CLASS(TcxCustomImageProperties, TcxCustomEditProperties)
 public:
  explicit TcxCustomImageProperties(TPersistent* owner);
  ~TcxCustomImageProperties() override;
  void Assign(TPersistent* source) override;

  // ---- New virtual operations ----
  virtual TGraphicClass GetDefaultGraphicClass() { return DefaultGraphicClass(); }
  virtual TGraphicClass ResolveGraphicClass(TObject* item, Integer recordIndex, Boolean pastingFromClipboard);

  // ---- Overrides ----
  Boolean SupportsValidation() override { return true; }
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  TcxCustomEditClass GetEditClass() override;
  void EditValueToDisplayText(const Variant& value, AnsiString& text) override;
  Integer GetValueExchangeMode(Boolean focused) override { return 0; }
  Integer GetEditorTraits() override { return inherited::GetEditorTraits() | 1; }
  Word GetCapabilities() override { return Word(inherited::GetCapabilities() | 6); }
  Boolean IsValueRevertible() override { return true; }
  void CheckDisplayValue(Variant& displayValue, AnsiString& errorText, TcxCustomEdit* editor,
                         Boolean& error) override;

  // ---- Properties ----
  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  Boolean GetCenter() const { return FCenter; }
  void SetCenter(Boolean value);
  const AnsiString& GetCustomFilter() const { return FCustomFilter; }
  void SetCustomFilter(const AnsiString& value) { FCustomFilter = value; }
  Integer GetEmptyValueHeight() const { return FEmptyValueHeight; }
  TGraphicClass GetGraphicClass() const { return FGraphicClass; }
  void SetGraphicClass(TGraphicClass value);
  // The class's name (empty for nil); an empty name sets nil, an unknown name changes nothing.
  AnsiString GetGraphicClassName() const;
  void SetGraphicClassName(const AnsiString& value);
  TcxImageTransparency GetGraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TcxImageTransparency value);
  TcxPopupMenuLayout* GetPopupMenuLayout() const { return FPopupMenuLayout; }
  void SetPopupMenuLayout(TcxPopupMenuLayout* value) { FPopupMenuLayout->Assign(value); }
  Boolean GetProportional() const { return FProportional; }
  void SetProportional(Boolean value);
  Boolean GetShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(Boolean value);
  Boolean GetStretch() const { return FStretch; }
  void SetStretch(Boolean value);
  const TcxImageAssignPictureEvent& GetOnAssignPicture() const { return FOnAssignPicture; }
  void SetOnAssignPicture(const TcxImageAssignPictureEvent& value) { FOnAssignPicture = value; }
  const TNotifyEvent& GetOnCustomClick() const { return FOnCustomClick; }
  void SetOnCustomClick(const TNotifyEvent& value) { FOnCustomClick = value; }
  const TcxImageGraphicClassEvent& GetOnGetGraphicClass() const { return FOnGetGraphicClass; }
  void SetOnGetGraphicClass(const TcxImageGraphicClassEvent& value) { FOnGetGraphicClass = value; }

 private:
  AnsiString FCaption;
  Boolean FCenter = true;
  AnsiString FCustomFilter;
  Integer FEmptyValueHeight = 15;
  TGraphicClass FGraphicClass;
  TcxImageTransparency FGraphicTransparency = gtDefault;
  TcxPopupMenuLayout* FPopupMenuLayout;
  Boolean FProportional = true;
  Boolean FShowFocusRect = true;
  Boolean FStretch = false;
  TcxImageAssignPictureEvent FOnAssignPicture;
  TNotifyEvent FOnCustomClick;
  TcxImageGraphicClassEvent FOnGetGraphicClass;
};

class TcxImageProperties : public TcxCustomImageProperties {
  ORV_CLASS(TcxImageProperties, TcxCustomImageProperties)
 public:
  explicit TcxImageProperties(TPersistent* owner) : TcxCustomImageProperties(owner) {}
};

// ---- View info and view data ----

// Stretched when Stretch, or Proportional and the area is smaller than the picture.
Boolean UsesStretchedDrawing(TcxCustomImageProperties* properties, const TSize& pictureSize, const TSize& areaSize);

class TcxImageViewInfo : public TcxCustomEditViewInfo {
  ORV_CLASS(TcxImageViewInfo, TcxCustomEditViewInfo)
 public:
  TcxImageViewInfo() = default;
  ~TcxImageViewInfo() override;
  void DoPaint(TcxCanvas* canvas) override;
  Boolean NeedsRepaintOnStateChange() override;
  // The rectangle the picture is drawn into (valid with a picture).
  TRect GetPictureRect();

  Boolean OwnsPicture = false;
  TBitmap* BufferBitmap = nullptr;
  Boolean ShowFocusRect = false;
  TPoint ScrollOffset{0, 0};
  AnsiString Caption;
  Boolean Center = true;
  TPicture* Picture = nullptr;
  Boolean Proportional = true;
  Boolean Stretch = false;
};

class TcxImageViewData : public TcxCustomEditViewData {
  ORV_CLASS(TcxImageViewData, TcxCustomEditViewData)
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  void SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) override;
  TSize GetContentSize(TcxCanvas* canvas, const Variant& value, const TcxEditSizeProperties& sizeLimits) override;
};

// ---- The editor ----

class TcxCustomImage : public TcxCustomEdit {
  ORV_CLASS(TcxCustomImage, TcxCustomEdit)
 public:
  explicit TcxCustomImage(TComponent* owner) : TcxCustomEdit(owner) {}
  void BeforeDestruction() override;
  ~TcxCustomImage() override;

  TcxCustomImageProperties* ImageProperties() {
    return static_cast<TcxCustomImageProperties*>(GetEffectiveProperties());
  }
  TPicture* GetPicture();
  void SetPicture(TPicture* value) { GetPicture()->Assign(value); }
  Boolean GetTransparentImage() const { return FTransparent; }
  void SetTransparentImage(Boolean value);
  const TcxImageEditGraphicClassEvent& GetOnGetGraphicClass() const { return FOnGetGraphicClass; }
  void SetOnGetGraphicClass(const TcxImageEditGraphicClassEvent& value) { FOnGetGraphicClass = value; }
  Boolean IsDialogOpen() const { return FDialogOpen; }

  // ---- Commands (the context menu's and the keys') ----
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void DeletePicture();
  // Asks for a file and loads it; a file that holds no readable picture raises EInvalidGraphic
  // and the picture stays as it was.
  void LoadPictureFromFile();
  void SavePictureToFile();
  void ExecuteMenuItem(Integer tag);
  // Sets the menu items' captions, visibility and enabled states (made on first use).
  void PrepareContextMenu();
  TPopupMenu* GetContextMenu();

  // ---- New virtual operations ----
  virtual Boolean ClipboardHasPicture();
  virtual void FireCustomClick();
  virtual TGraphicClass ResolveGraphicClass(Boolean pastingFromClipboard);

  // ---- Overrides ----
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  void GetEditValue(Variant& value) override;
  void AssignEditValue(const Variant& value, Boolean isUserAction) override;
  Boolean CanAutoSize() override;
  Boolean CanAutoWidth() override { return true; }
  Boolean IsKeyPassedToOwner(Word key, TShiftState shift) override;
  void HandlePropertiesChange(TObject* sender) override;
  bool Focused() override;
  // Where a picture larger than the editor is scrolled to (stand-alone, neither centred nor
  // stretched).
  TPoint GetScrollOffset() const { return FScrollOffset; }
  // The editor's own bars (not the container's mirror of an inner control's).
  void UpdateScrollBars() override;

 protected:
  Boolean NeedsScrollBars() override { return !IsInplace(); }
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void DoContextPopup(TPoint mousePos, bool& handled) override;
  virtual void HandlePictureChange(TObject* sender);

 private:
  void MenuItemClick(TObject* sender);
  // The offset from the visible bars (0 for a hidden one), shown at once.
  void UpdateScrollPositions();
  void ResetScrollPositions();
  TPoint FScrollOffset{0, 0};
  Word FPictureClipboardFormat = 0;
  TPopupMenu* FContextMenu = nullptr;
  Boolean FAssigningValue = false;
  Boolean FDialogOpen = false;
  TPicture* FPicture = nullptr;
  Boolean FTransparent = false;
  TcxImageEditGraphicClassEvent FOnGetGraphicClass;
};

class TcxImage : public TcxCustomImage {
  ORV_CLASS(TcxImage, TcxCustomImage)
 public:
  using TcxCustomImage::TcxCustomImage;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxImageProperties* GetProperties() { return static_cast<TcxImageProperties*>(TcxCustomImage::GetProperties()); }
  void SetProperties(TcxImageProperties* value) { GetProperties()->Assign(value); }
};
