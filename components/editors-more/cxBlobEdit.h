// The BLOB editor: large field values (memo text, pictures, OLE objects, raw binary data) shown
// closed as a kind glyph or a short text, and edited in a popup that holds a memo editor or an
// image editor with OK and Cancel (or only Close for read-only data). Closing takes the content
// as the new value when the user accepted it, or always with AlwaysSaveData.
#pragma once

#include "components/editors-more/cxImage.h"
#include "components/editors-more/cxMemo.h"
#include "components/editors/cxDropDownEdit.h"

class TcxButton;
class TcxCustomBlobEdit;

enum TcxBlobEditKind { bekAuto, bekMemo, bekPict, bekOle, bekBlob };
enum TcxBlobPaintStyle { bpsDefault, bpsIcon, bpsText };

class TcxCustomBlobEditProperties : public TcxCustomPopupEditProperties {
  ORV_CLASS(TcxCustomBlobEditProperties, TcxCustomPopupEditProperties)
 public:
  explicit TcxCustomBlobEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  // Decides an automatic kind from the data field (once; the kind then stays).
  void AutoDetectBlobKind();
  // The closed editor's text: the whole memo with `full`, else by the paint style.
  AnsiString BlobDisplayText(const Variant& value, Boolean full);
  TGraphicClass ResolveGraphicClass(TObject* item, Integer recordIndex, Boolean pastingFromClipboard);

  // ---- New virtual operation ----
  virtual TGraphicClass DefaultPictureGraphicClass() { return DefaultGraphicClass(); }

  // ---- Overrides ----
  Boolean SupportsValidation() override { return FBlobEditKind == bekMemo; }
  Integer GetDisplayFormatOptions() override { return 0; }
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  TcxCustomEditClass GetEditClass() override;
  Boolean HasSeparateChangeEvents() override { return false; }
  Boolean AreDisplayValuesEqual(const Variant& v1, const Variant& v2) override;
  void EditValueToDisplayText(const Variant& value, AnsiString& text) override;
  Integer GetEditorTraits() override;
  Word GetCapabilities() override;
  Boolean AcceptsEditValue(const Variant& value) override { return true; }
  Integer GetValueExchangeMode(Boolean focused) override;
  Boolean IsDropDownOnClick() override { return true; }
  orv::ClassOf<TcxCustomEditPopupWindow> GetPopupWindowClass() override;

  // ---- Properties ----
  Boolean GetAlwaysSaveData() const { return FAlwaysSaveData; }
  void SetAlwaysSaveData(Boolean value) { FAlwaysSaveData = value; }
  TcxBlobEditKind GetBlobEditKind() const { return FBlobEditKind; }
  void SetBlobEditKind(TcxBlobEditKind value);
  TcxBlobPaintStyle GetBlobPaintStyle() const { return FBlobPaintStyle; }
  void SetBlobPaintStyle(TcxBlobPaintStyle value);
  Boolean GetMemoAutoReplace() const { return FMemoAutoReplace; }
  void SetMemoAutoReplace(Boolean value) { FMemoAutoReplace = value; }
  Boolean GetMemoWantReturns() const { return FMemoWantReturns; }
  void SetMemoWantReturns(Boolean value) { FMemoWantReturns = value; }
  Boolean GetMemoWantTabs() const { return FMemoWantTabs; }
  void SetMemoWantTabs(Boolean value) { FMemoWantTabs = value; }
  Boolean GetMemoOEMConvert() const { return FMemoOEMConvert; }
  void SetMemoOEMConvert(Boolean value) { FMemoOEMConvert = value; }
  Boolean GetMemoWordWrap() const { return FMemoWordWrap; }
  void SetMemoWordWrap(Boolean value) { FMemoWordWrap = value; }
  Integer GetMemoMaxLength() const { return FMemoMaxLength; }
  void SetMemoMaxLength(Integer value) { FMemoMaxLength = value; }
  TEditCharCase GetMemoCharCase() const { return FMemoCharCase; }
  void SetMemoCharCase(TEditCharCase value) { FMemoCharCase = value; }
  TScrollStyle GetMemoScrollBars() const { return FMemoScrollBars; }
  void SetMemoScrollBars(TScrollStyle value) { FMemoScrollBars = value; }
  Boolean GetPictureAutoSize() const { return FPictureAutoSize; }
  void SetPictureAutoSize(Boolean value) { FPictureAutoSize = value; }
  const AnsiString& GetPictureFilter() const { return FPictureFilter; }
  void SetPictureFilter(const AnsiString& value) { FPictureFilter = value; }
  TGraphicClass GetPictureGraphicClass() const { return FPictureGraphicClass; }
  void SetPictureGraphicClass(TGraphicClass value);
  AnsiString GetPictureGraphicClassName() const;
  void SetPictureGraphicClassName(const AnsiString& value);
  TcxImageTransparency GetPictureTransparency() const { return FPictureTransparency; }
  void SetPictureTransparency(TcxImageTransparency value) { FPictureTransparency = value; }
  Boolean GetShowExPopupItems() const { return FShowExPopupItems; }
  void SetShowExPopupItems(Boolean value) { FShowExPopupItems = value; }
  Boolean GetShowPicturePopup() const { return FShowPicturePopup; }
  void SetShowPicturePopup(Boolean value) { FShowPicturePopup = value; }
  const TcxImageAssignPictureEvent& GetOnAssignPicture() const { return FOnAssignPicture; }
  void SetOnAssignPicture(const TcxImageAssignPictureEvent& value) { FOnAssignPicture = value; }
  const TcxImageGraphicClassEvent& GetOnGetGraphicClass() const { return FOnGetGraphicClass; }
  void SetOnGetGraphicClass(const TcxImageGraphicClassEvent& value) { FOnGetGraphicClass = value; }

 private:
  Boolean FAlwaysSaveData = true;
  TcxBlobEditKind FBlobEditKind = bekAuto;
  TcxBlobPaintStyle FBlobPaintStyle = bpsIcon;
  Boolean FMemoAutoReplace = false;
  Boolean FMemoWantReturns = true;
  Boolean FMemoWantTabs = true;
  Boolean FMemoOEMConvert = false;
  Boolean FMemoWordWrap = true;
  Integer FMemoMaxLength = 0;
  TEditCharCase FMemoCharCase = ecNormal;
  TScrollStyle FMemoScrollBars = ssNone;
  Boolean FPictureAutoSize = true;
  AnsiString FPictureFilter;
  TGraphicClass FPictureGraphicClass;
  TcxImageTransparency FPictureTransparency = gtDefault;
  Boolean FShowExPopupItems = true;
  Boolean FShowPicturePopup = true;
  TcxImageAssignPictureEvent FOnAssignPicture;
  TcxImageGraphicClassEvent FOnGetGraphicClass;
};

class TcxBlobEditProperties : public TcxCustomBlobEditProperties {
  ORV_CLASS(TcxBlobEditProperties, TcxCustomBlobEditProperties)
 public:
  explicit TcxBlobEditProperties(TPersistent* owner) : TcxCustomBlobEditProperties(owner) {}
};

class TcxBlobEditViewInfo : public TcxCustomTextEditViewInfo {
  ORV_CLASS(TcxBlobEditViewInfo, TcxCustomTextEditViewInfo)
 public:
  TcxBlobEditViewInfo() = default;
  void OffsetRects(Integer dx, Integer dy) override;
  Boolean NeedsHint(TcxCanvas* canvas, const TPoint& point, TRect& textRect, Boolean& isMultiLine,
                    AnsiString& text) override {
    return false;
  }
  void DoPaint(TcxCanvas* canvas) override;

  TRect KindGlyphRect{};
  // -1: the text is painted instead of a glyph.
  Integer KindGlyphIndex = -1;
  Boolean PopupOpen = false;
};

class TcxBlobEditViewData : public TcxCustomDropDownEditViewData {
  ORV_CLASS(TcxBlobEditViewData, TcxCustomDropDownEditViewData)
 public:
  using TcxCustomDropDownEditViewData::TcxCustomDropDownEditViewData;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  void SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) override;
  void EditValueToDrawText(const Variant& value, AnsiString& text) override;
};

// The memo and the image shown in the popup: their keys may close it.
class TcxPopupMemo : public TcxMemo {
  ORV_CLASS(TcxPopupMemo, TcxMemo)
 public:
  using TcxMemo::TcxMemo;
  TcxCustomBlobEdit* OwnerBlobEdit = nullptr;
  void SetEditValueExternally(const Variant& value) override;

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
};

class TcxPopupImage : public TcxImage {
  ORV_CLASS(TcxPopupImage, TcxImage)
 public:
  using TcxImage::TcxImage;
  TcxCustomBlobEdit* OwnerBlobEdit = nullptr;

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
};

class TcxBlobEditPopupWindow : public TcxPopupEditPopupWindow {
  ORV_CLASS(TcxBlobEditPopupWindow, TcxPopupEditPopupWindow)
 public:
  explicit TcxBlobEditPopupWindow(TControl* ownerControl) : TcxPopupEditPopupWindow(ownerControl) {}
  void SendCharToFocusedControl(char c) override;
};

class TcxCustomBlobEdit : public TcxCustomPopupEdit {
  ORV_CLASS(TcxCustomBlobEdit, TcxCustomPopupEdit)
 public:
  explicit TcxCustomBlobEdit(TComponent* owner) : TcxCustomPopupEdit(owner) {}
  void BeforeDestruction() override;

  TcxCustomBlobEditProperties* BlobProperties() {
    return static_cast<TcxCustomBlobEditProperties*>(GetEffectiveProperties());
  }
  TcxCustomEdit* GetPopupContent() const { return FPopupContent; }
  TcxButton* GetOKButton() const { return FOKButton; }
  TcxButton* GetCancelButton() const { return FCancelButton; }
  // The modal result the popup's keys and buttons gave (mrNone while open).
  TModalResult GetPopupModalResult() const { return FPopupModalResult; }
  // Closes the popup with a modal result (mrOk accepts, mrCancel cancels).
  void ClosePopupWithResult(TModalResult result);
  // A key inside the popup: the modal result it asks for (0 none); a closing key is consumed.
  TModalResult HandlePopupKey(Word& key, TShiftState shift, Boolean enterCloses, Boolean alwaysSave);
  TGraphicClass ResolveGraphicClass(Boolean pastingFromClipboard);

  // ---- New virtual operations ----
  virtual void CreatePopupContent();
  virtual void DestroyPopupContent();
  virtual void PopupContentEditing(TObject* sender, Boolean& canEdit);

  // ---- Overrides ----
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void Initialize() override;
  Boolean InnerEditDisplaysText() override { return false; }
  void GetDisplayText(AnsiString& text) override;
  void GetEditingValue(Variant& value) override;
  void UpdateDisplayValue() override;
  void UpdateEditValue() override;
  void HandlePropertiesChange(TObject* sender) override;
  void CreatePopupWindow() override;
  void DoInitPopup() override;
  Boolean CanDropDown() override;
  TWinControl* GetPopupFocusedControl() override;
  void GetPopupContentSize(TSize& size) override;
  void SetupPopupWindow() override;
  void PopupWindowClosed(TObject* sender) override;

 private:
  template <class T>
  T* EnsurePopupContent();
  void CreatePopupButtons();
  void EnsurePopupButton(TcxButton*& button, const AnsiString& caption, Integer height, Integer width);
  void PopupContentChanged(TObject* sender);
  void PopupButtonClick(TObject* sender);
  void PopupImageGraphicClass(TObject* sender, Boolean pasting, TGraphicClass& graphicClass);
  // The picture in the popup reports the end of its Load dialog (the popup may have closed
  // meanwhile, as the dialog took the focus).
  void PopupImageClosed(TObject* sender, Integer reason);
  void PopupImagePropertiesGraphicClass(TObject* item, Integer recordIndex, Boolean pasting,
                                        TGraphicClass& graphicClass);
  Boolean ShouldSaveValue();
  void SaveValueFromPopup();

  Integer FButtonWidth = 0;
  TcxButton* FCancelButton = nullptr;
  TcxButton* FOKButton = nullptr;
  TcxCustomEdit* FPopupContent = nullptr;
  TModalResult FPopupModalResult = mrNone;
  TcxImageEditGraphicClassEvent FOnGetGraphicClass;
};

class TcxBlobEdit : public TcxCustomBlobEdit {
  ORV_CLASS(TcxBlobEdit, TcxCustomBlobEdit)
 public:
  using TcxCustomBlobEdit::TcxCustomBlobEdit;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxBlobEditProperties* GetProperties() {
    return static_cast<TcxBlobEditProperties*>(TcxCustomEdit::GetProperties());
  }
  void SetProperties(TcxBlobEditProperties* value) { GetProperties()->Assign(value); }
};
