// The image combo box: a fixed-list combo box whose items are (value, description, image)
// triples. Its edit value is the chosen item's value; it shows the item's image and, optionally,
// its description, in the editor and in the drop-down list.
#pragma once

#include "components/editors/cxDropDownEdit.h"
#include "platform/runtime/Collection.h"

class TCustomImageList;
class TChangeLink;
class TcxCustomImageComboBoxProperties;

enum TcxImageAlign { iaLeft, iaRight };

class TcxImageComboBoxItem : public TCollectionItem {
  ORV_CLASS(TcxImageComboBoxItem, TCollectionItem)
 public:
  explicit TcxImageComboBoxItem(TCollection* collection);
  void Assign(TPersistent* source) override;

  const AnsiString& GetDescription() const { return FDescription; }
  void SetDescription(const AnsiString& value);
  Integer GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer value);
  Integer GetTag() const { return FTag; }
  void SetTag(Integer value) { FTag = value; }
  const Variant& GetValue() const { return FValue; }
  void SetValue(const Variant& value);

 private:
  AnsiString FDescription;
  Integer FImageIndex = -1;
  Integer FTag = 0;
  Variant FValue = Null();
};

class TcxImageComboBoxItems : public TOwnedCollection {
  ORV_CLASS(TcxImageComboBoxItems, TOwnedCollection)
 public:
  explicit TcxImageComboBoxItems(TcxCustomImageComboBoxProperties* owner);
  TcxImageComboBoxItem* GetItem(Integer index) const { return static_cast<TcxImageComboBoxItem*>(TCollection::GetItem(index)); }
  TcxImageComboBoxItem* Add() { return static_cast<TcxImageComboBoxItem*>(TCollection::Add()); }
  TcxCustomImageComboBoxProperties* GetProperties() const { return FProperties; }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TcxCustomImageComboBoxProperties* FProperties;
};

class TcxCustomImageComboBoxProperties : public TcxCustomComboBoxProperties {
  ORV_CLASS(TcxCustomImageComboBoxProperties, TcxCustomComboBoxProperties)
 public:
  explicit TcxCustomImageComboBoxProperties(TPersistent* owner);
  void BeforeDestruction() override;
  ~TcxCustomImageComboBoxProperties() override;
  void Assign(TPersistent* source) override;

  // The first item of that value (compared exactly), else nil.
  TcxImageComboBoxItem* FindItemByValue(const Variant& value);
  // The first item of that description (case ignored), else nil.
  TcxImageComboBoxItem* FindItemByDescription(const AnsiString& text);
  Integer IndexOfValue(const Variant& value);

  // ---- New virtual operation ----
  virtual void GetItemDescriptionAndImage(TcxImageComboBoxItem* item, AnsiString& text, Boolean forceDescription,
                                          Integer& imageIndex);

  // ---- Overrides ----
  TcxCustomEditClass GetEditClass() override;
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TcxCustomEditViewInfoClass GetViewInfoClass() override;
  TClass GetLookupDataClass() override;
  void EditValueToDisplayValue(const Variant& value, Variant& displayValue, Boolean focused) override;
  void EditValueToDisplayText(const Variant& value, AnsiString& text) override;
  Boolean AreDisplayValuesEqual(const Variant& v1, const Variant& v2) override;
  Boolean IsLookupText(const AnsiString& text) override { return FindItemByDescription(text) != nullptr; }
  Boolean AcceptsEditValue(const Variant& value) override { return true; }
  Word GetCapabilities() override;
  Integer GetValueExchangeMode(Boolean focused) override { return 0; }
  Integer GetDisplayFormatOptions() override { return 0; }
  Boolean HasSeparateChangeEvents() override { return false; }
  void ComponentFreed(TComponent* component) override;

  // ---- Properties ----
  const AnsiString& GetDefaultDescription() const { return FDefaultDescription; }
  void SetDefaultDescription(const AnsiString& value);
  Integer GetDefaultImageIndex() const { return FDefaultImageIndex; }
  void SetDefaultImageIndex(Integer value);
  TcxImageAlign GetImageAlign() const { return FImageAlign; }
  void SetImageAlign(TcxImageAlign value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TcxImageComboBoxItems* GetItems() const { return FItems; }
  void SetItems(TcxImageComboBoxItems* value);
  TCustomImageList* GetLargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* value);
  Boolean GetMultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(Boolean value);
  Boolean GetShowDescriptions() const { return FShowDescriptions; }
  void SetShowDescriptions(Boolean value);

 private:
  void ImageListChanged(TObject* sender) { Changed(); }
  void SetImageList(TCustomImageList*& field, TChangeLink* link, TCustomImageList* value);
  void ImageListFreed(TComponent* sender) { ComponentFreed(sender); }
  AnsiString FDefaultDescription;
  Integer FDefaultImageIndex = -1;
  TcxImageAlign FImageAlign = iaLeft;
  TCustomImageList* FImages = nullptr;
  TChangeLink* FImagesChangeLink = nullptr;
  TcxImageComboBoxItems* FItems = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  TChangeLink* FLargeImagesChangeLink = nullptr;
  Boolean FMultiLineText = false;
  Boolean FShowDescriptions = true;
  TcxFreeNotificator* FImagesNotificator = nullptr;
};

class TcxImageComboBoxProperties : public TcxCustomImageComboBoxProperties {
  ORV_CLASS(TcxImageComboBoxProperties, TcxCustomImageComboBoxProperties)
 public:
  explicit TcxImageComboBoxProperties(TPersistent* owner) : TcxCustomImageComboBoxProperties(owner) {}
};

class TcxImageComboBoxListBox : public TcxComboBoxListBox {
  ORV_CLASS(TcxImageComboBoxListBox, TcxComboBoxListBox)
 public:
  explicit TcxImageComboBoxListBox(TComponent* owner) : TcxComboBoxListBox(owner) {}
  Boolean DoDrawItem(Integer index, const TRect& rect, TOwnerDrawState state) override;
  Integer GetItemHeight(Integer index) override;
  Integer GetItemWidth(Integer index) override;
  // With MultiLineText the rows wrap in the popup's width, narrowed by a scroll bar when not
  // every item is among the rows.
  Integer GetRowsHeight(Integer count) override;
  void RecalculateItems() override;
  Integer GetMeasuringWidth() const { return FMeasuringWidth; }
  Boolean GetHasScrollBar() const { return FHasScrollBar; }

 protected:
  void MeasureItem(Integer index, Integer& height) override;

 private:
  TcxCustomImageComboBoxProperties* ImageProperties();
  Integer FMeasuringWidth = 0;
  Boolean FHasScrollBar = false;
};

class TcxImageComboBoxLookupData : public TcxComboBoxLookupData {
  ORV_CLASS(TcxImageComboBoxLookupData, TcxComboBoxLookupData)
 public:
  explicit TcxImageComboBoxLookupData(TPersistent* owner) : TcxComboBoxLookupData(owner) {}
  AnsiString GetItem(Integer index) override;
  Integer GetItemCount() override;
  TcxCustomEditListBoxClass GetListBoxClass() override { return TcxImageComboBoxListBox::StaticClass(); }
  void SyncWithEditText() override;
};

class TcxImageComboBoxViewInfo : public TcxCustomComboBoxViewInfo {
  ORV_CLASS(TcxImageComboBoxViewInfo, TcxCustomComboBoxViewInfo)
 public:
  TcxImageComboBoxViewInfo() = default;
  void OffsetRects(Integer dx, Integer dy) override;
  void DoPaint(TcxCanvas* canvas) override;

  TRect ImageRect{};
  TCustomImageList* Images = nullptr;
  Integer ImageIndex = -1;
  Boolean ShowDescriptions = true;
  TcxImageAlign ImageAlign = iaLeft;
};

class TcxImageComboBoxViewData : public TcxCustomComboBoxViewData {
  ORV_CLASS(TcxImageComboBoxViewData, TcxCustomComboBoxViewData)
 public:
  using TcxCustomComboBoxViewData::TcxCustomComboBoxViewData;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, Boolean isMouseEvent,
                         TcxCustomEditViewInfo* viewInfo, TShiftState shift = {}, Integer button = 0,
                         const TPoint& mousePos = TPoint{-1, -1}) override;
  void SetViewInfoValue(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) override;
  void EditValueToDrawText(const Variant& value, AnsiString& text) override;
  void CalculateEditSize(TcxCanvas* canvas, Boolean isInplace, const Variant& value, TcxCustomEditViewInfo* viewInfo,
                         TSize& frameSize, TSize& minContentSize, const TcxEditSizeProperties& sizeLimits) override;
};

class TcxCustomImageComboBox : public TcxCustomComboBox {
  ORV_CLASS(TcxCustomImageComboBox, TcxCustomComboBox)
 public:
  explicit TcxCustomImageComboBox(TComponent* owner) : TcxCustomComboBox(owner) {}
  TcxCustomImageComboBoxProperties* ImageComboProperties() {
    return static_cast<TcxCustomImageComboBoxProperties*>(GetEffectiveProperties());
  }
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  void DisplayValueToEditValue(const Variant& displayValue, Variant& editValue, Boolean focused) override;
  void GetDisplayValue(Variant& value) override;
  Variant LookupKeyToEditValue(const Variant& key) override;
  Boolean IsValidChar(char c) override { return Byte(c) >= 32; }
  void UpdateDisplayValue() override;
  // Multi-line lists keep the editor's width; their rows are measured in it.
  void GetPopupContentSize(TSize& size) override;
};

class TcxImageComboBox : public TcxCustomImageComboBox {
  ORV_CLASS(TcxImageComboBox, TcxCustomImageComboBox)
 public:
  using TcxCustomImageComboBox::TcxCustomImageComboBox;
  TcxCustomEditPropertiesClass GetPropertiesClass() override;
  TcxImageComboBoxProperties* GetProperties() {
    return static_cast<TcxImageComboBoxProperties*>(TcxCustomEdit::GetProperties());
  }
  void SetProperties(TcxImageComboBoxProperties* value) { GetProperties()->Assign(value); }
};

class TcxFilterImageComboBoxHelper : public TcxFilterComboBoxHelper {
  ORV_CLASS(TcxFilterImageComboBoxHelper, TcxFilterComboBoxHelper)
 public:
  TcxFilterImageComboBoxHelper() = default;
  TcxCustomEditClass GetFilterEditorClass() const override;
  void GetSupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass valueTypeClass,
                             TcxFilterControlOperators& operators, Boolean extended) const override;
  void InitFilterProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* sourceProperties,
                            Boolean keepButtons) const override;
};
