// The filter control: edits the filter criteria of a linked component (IcxFilterControl) as a
// tree of one-line rows. A group row shows its boolean operator and a caption, a condition row
// its item, its operator and its values; every row is led by a small button (its menu adds
// conditions and groups or removes rows) and an add-condition button follows the last row. Item,
// operator and boolean operator are picked from a drop-down chooser laid over the part; values
// are typed into an in-place editor of the item's kind. The control keeps its own copy of the
// criteria; ApplyFilter hands it to the link, and filter files ("*.flt") hold exactly the
// criteria stream.
#pragma once

#include <vector>

#include "components/data/cxFilter.h"
#include "components/filtercontrol/cxFilterControlIntf.h"
#include "components/filtercontrol/cxFilterControlUtils.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeelPainters.h"

class TcxCustomFilterControl;
class TcxGroupViewInfo;
class TcxConditionViewInfo;
class TcxComboBox;
class TcxCustomEdit;
class TcxCustomEditData;
class TcxCustomEditStyle;
class TcxCustomEditViewInfo;
class TcxInplaceEditList;
class TcxTextEditProperties;
class TPopupMenu;
class TMenuItem;
class TBitmap;
class TFont;

enum TcxFilterControlHitTest : Byte {
  fhtNone, fhtButton, fhtBoolOperator, fhtItem, fhtOperator, fhtValue, fhtAddCondition, fhtAddValue
};

struct TcxFilterControlHitData {
  TcxFilterControlHitTest HitTest = fhtNone;
  TPoint Pos{0, 0};
  TShiftState Shift;
  class TcxCustomRowViewInfo* Row = nullptr;
  Integer ValueIndex = -1;
};

// ==== Criteria =================================================================================

// The control's private copy of a filter; its conditions name the link's items.
class TcxFilterControlCriteria : public TcxFilterCriteria {
  ORV_CLASS(TcxFilterControlCriteria, TcxFilterCriteria)
 public:
  using TCreateSignature = void(TcxCustomFilterControl* control);
  explicit TcxFilterControlCriteria(TcxCustomFilterControl* control);
  Integer GetIDByItemLink(TObject* itemLink) override;
  AnsiString GetNameByItemLink(TObject* itemLink) override;
  TObject* GetItemLinkByID(Integer id) override;
  TObject* GetItemLinkByName(const AnsiString& name) override;
  TcxFilterCriteriaItemClass GetItemClass() override;
  void CopyEvents(TcxFilterCriteria* source) override {}
  TcxCustomFilterControl* GetControl() const { return FControl; }

 private:
  Integer IndexOfLink(TObject* itemLink);
  TcxCustomFilterControl* FControl;
};

class TcxFilterControlCriteriaItem : public TcxFilterCriteriaItem {
  ORV_CLASS(TcxFilterControlCriteriaItem, TcxFilterCriteriaItem)
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  void GetDataValue(Integer recordIndex, Variant& value) override { value = Null(); }
  AnsiString GetFieldCaption() override;
  AnsiString GetFieldName() override;
  // The position of the linked item among the link's items, -1 when absent.
  Integer GetItemIndex();

 private:
  IcxFilterControl* Link();
};

// ==== Rows =====================================================================================

class TcxCustomRowViewInfo : public TObject {
  ORV_CLASS(TcxCustomRowViewInfo, TObject)
 public:
  using TCreateSignature = void(TcxCustomFilterControl* control, TcxCustomFilterCriteriaItem* criteriaItem,
                                TcxGroupViewInfo* parent);
  TcxCustomRowViewInfo(TcxCustomFilterControl* control, TcxCustomFilterCriteriaItem* criteriaItem,
                       TcxGroupViewInfo* parent);
  void BeforeDestruction() override;

  virtual Integer GetWidth();
  virtual void Calculate(const TRect& rowRect);
  virtual void GetHitTestInfo(const TPoint& point, TcxFilterControlHitData& hitInfo);
  virtual Boolean Ready() { return true; }

  Boolean IsGroup() const;
  Boolean IsLast();
  const AnsiString& GetButtonText() const { return FButtonText; }
  const TRect& GetButtonRect() const { return FButtonRect; }
  TcxButtonState GetButtonState() const { return FButtonState; }
  TcxCustomFilterControl* GetControl() const { return FControl; }
  TcxCustomFilterCriteriaItem* GetCriteriaItem() const { return FCriteriaItem; }
  Integer GetLevel() const { return FLevel; }
  Integer GetIndent() const { return FIndent; }
  TcxGroupViewInfo* GetParent() const { return FParent; }
  const TRect& GetRowRect() const { return FRowRect; }

 protected:
  // Centres a rectangle of the size vertically in the row, from `left`.
  TRect CenteredRect(Integer left, Integer width, Integer height) const;
  TcxButtonState PartButtonState(TcxFilterControlHitTest part);

  AnsiString FButtonText;
  TRect FButtonRect{};
  TcxButtonState FButtonState = cxbsNormal;
  TcxCustomFilterControl* FControl;
  TcxCustomFilterCriteriaItem* FCriteriaItem;
  Integer FLevel = 0;
  Integer FIndent = 0;
  TcxGroupViewInfo* FParent;
  TRect FRowRect{};
};

class TcxGroupViewInfo : public TcxCustomRowViewInfo {
  ORV_CLASS(TcxGroupViewInfo, TcxCustomRowViewInfo)
 public:
  TcxGroupViewInfo(TcxCustomFilterControl* control, TcxCustomFilterCriteriaItem* criteriaItem,
                   TcxGroupViewInfo* parent);
  void BeforeDestruction() override;

  Integer GetWidth() override;
  void Calculate(const TRect& rowRect) override;
  void GetHitTestInfo(const TPoint& point, TcxFilterControlHitData& hitInfo) override;

  TcxFilterBoolCode GetBoolOperator() const { return FBoolOperator; }
  void SetBoolOperator(TcxFilterBoolCode value) { FBoolOperator = value; }
  AnsiString GetBoolOperatorText() const;
  const TRect& GetBoolOperatorRect() const { return FBoolOperatorRect; }
  const AnsiString& GetCaption() const { return FCaption; }
  void SetCaption(const AnsiString& value) { FCaption = value; }
  const TRect& GetCaptionRect() const { return FCaptionRect; }
  Integer GetRowCount() const { return Integer(FRows.size()); }
  TcxCustomRowViewInfo* GetRow(Integer index) const { return FRows[std::size_t(index)]; }
  Integer IndexOf(const TcxCustomRowViewInfo* row) const;

 private:
  friend class TcxCustomRowViewInfo;
  TcxFilterBoolCode FBoolOperator = fbcAnd;
  TRect FBoolOperatorRect{};
  AnsiString FCaption;
  TRect FCaptionRect{};
  std::vector<TcxCustomRowViewInfo*> FRows;
};

class TcxValuesViewInfo;

class TcxConditionViewInfo : public TcxCustomRowViewInfo {
  ORV_CLASS(TcxConditionViewInfo, TcxCustomRowViewInfo)
 public:
  TcxConditionViewInfo(TcxCustomFilterControl* control, TcxCustomFilterCriteriaItem* criteriaItem,
                       TcxGroupViewInfo* parent);
  void BeforeDestruction() override;

  Integer GetWidth() override;
  void Calculate(const TRect& rowRect) override;
  void GetHitTestInfo(const TPoint& point, TcxFilterControlHitData& hitInfo) override;
  Boolean Ready() override { return !FItemText.empty() && !FOperatorText.empty(); }
  virtual Boolean HasValues();
  virtual void PrepareEditor();

  // Takes the link's item at the index (-1: the first, or the alphabetically first with
  // SortItems), prepares the editor, picks the operator and resets the values.
  void SetItem(Integer index);
  // The operator, with the values reset (keeping what fits when asked).
  void SetOperator(TcxFilterControlOperator value, Boolean keepValues = true);
  void ResetValues(Boolean keep);
  // The item's editor properties from the link, else the control's default text properties.
  TcxCustomEditProperties* GetItemProperties();

  TcxFilterControlOperator GetOperator() const { return FOperator; }
  const TRect& GetOperatorRect() const { return FOperatorRect; }
  AnsiString GetOperatorText() const { return FOperatorText; }
  Integer GetItemIndex() const { return FItemIndex; }
  TObject* GetItemLink() const { return FItemLink; }
  const TRect& GetItemRect() const { return FItemRect; }
  const AnsiString& GetItemText() const { return FItemText; }
  TcxCustomFilterEditHelperClass GetFilterEditHelper() const { return FFilterEditHelper; }
  TcxCustomEditProperties* GetEditorProperties() const { return FEditorProperties; }
  const TcxFilterControlOperators& GetSupportedOperators() const { return FSupportedOperators; }
  TcxValueTypeClass GetValueType() const { return FValueType; }
  TcxValuesViewInfo* GetValues() const { return FValues; }
  TcxCustomEditData*& EditData() { return FEditData; }

 private:
  friend class TcxCustomFilterControl;
  void InitFromCriteria();

  TcxFilterControlOperator FOperator = fcopNone;
  TRect FOperatorRect{};
  AnsiString FOperatorText;
  Integer FItemIndex = -1;
  TObject* FItemLink = nullptr;
  TRect FItemRect{};
  AnsiString FItemText;
  TcxCustomFilterEditHelperClass FFilterEditHelper = nullptr;
  TcxCustomEditProperties* FEditorProperties = nullptr;
  TcxFilterControlOperators FSupportedOperators;
  TcxValueTypeClass FValueType;
  TcxValuesViewInfo* FValues = nullptr;
  TcxCustomEditData* FEditData = nullptr;
};

struct TcxValueInfo {
  TcxValueInfo() = default;
  ~TcxValueInfo();
  TcxValueInfo(const TcxValueInfo&) = delete;
  TcxValueInfo& operator=(const TcxValueInfo&) = delete;
  Variant Value = Null();
  AnsiString ValueText;
  TRect ValueRect{};
  // The value's editor drawing of it (made by the layout).
  TcxCustomEditViewInfo* ViewInfo = nullptr;
};

class TcxValuesViewInfo : public TObject {
  ORV_CLASS(TcxValuesViewInfo, TObject)
 public:
  explicit TcxValuesViewInfo(TcxConditionViewInfo* condition) : FCondition(condition) {}
  void BeforeDestruction() override;

  virtual void GetHitTestInfo(const TPoint& point, TcxFilterControlHitData& hitInfo);
  void Calculate();
  void AddValue();
  void RemoveValue(Integer index);
  // Lays out one value cell from the left edge and lets the editor's view info draw it.
  void CalculateValue(TcxValueInfo* info, Integer left, Boolean active);
  void Clear();

  Integer GetCount() const { return Integer(FValues.size()); }
  TcxValueInfo* GetValue(Integer index) const { return FValues[std::size_t(index)]; }
  const TRect& GetAddButtonRect() const { return FAddButtonRect; }
  TcxButtonState GetAddButtonState() const { return FAddButtonState; }
  const AnsiString& GetSeparator() const { return FSeparator; }
  // The values' extent to the right of the operator.
  Integer GetExtent() const;

 private:
  TcxConditionViewInfo* FCondition;
  std::vector<TcxValueInfo*> FValues;
  TRect FAddButtonRect{};
  TcxButtonState FAddButtonState = cxbsNormal;
  AnsiString FSeparator;
};

// ==== View info and painter ====================================================================

class TcxFilterControlPainter;

class TcxFilterControlViewInfo : public TObject {
  ORV_CLASS(TcxFilterControlViewInfo, TObject)
 public:
  using TCreateSignature = void(TcxCustomFilterControl* control);
  explicit TcxFilterControlViewInfo(TcxCustomFilterControl* control);
  ~TcxFilterControlViewInfo() override;

  virtual void CalculateFocusRect();
  virtual orv::ClassOf<TcxFilterControlPainter> GetPainterClass();
  virtual void GetHitTestInfo(TShiftState shift, const TPoint& point, TcxFilterControlHitData& hitInfo);
  void Calculate();
  void Paint(TcxCanvas* target);
  // Recalculates one row and the add-condition button.
  void InvalidateRow(TcxCustomRowViewInfo* row);

  TcxCustomFilterControl* GetControl() const { return FControl; }
  const TRect& GetAddConditionRect() const { return FAddConditionRect; }
  const AnsiString& GetAddConditionCaption() const { return FAddConditionCaption; }
  void SetAddConditionCaption(const AnsiString& value) { FAddConditionCaption = value; }
  TcxButtonState GetAddConditionButtonState() const { return FAddConditionButtonState; }
  const TRect& GetFocusRect() const { return FFocusRect; }
  Integer GetMaxRowWidth() const { return FMaxRowWidth; }
  TcxFilterControlPainter* GetPainter() const { return FPainter; }
  Integer GetRowHeight() const { return FRowHeight; }
  Integer GetMinValueWidth() const { return FMinValueWidth; }
  Boolean GetEnabled() const { return FEnabled; }
  TcxCanvas* GetCanvas() const { return FCanvas; }

 private:
  TcxCustomFilterControl* FControl;
  TRect FAddConditionRect{};
  AnsiString FAddConditionCaption;
  TBitmap* FBitmap = nullptr;
  TcxCanvas* FCanvas = nullptr;
  TcxButtonState FAddConditionButtonState = cxbsNormal;
  TRect FFocusRect{};
  Integer FMaxRowWidth = 0;
  TcxFilterControlPainter* FPainter = nullptr;
  Integer FRowHeight = 0;
  Integer FMinValueWidth = 0;
  Boolean FEnabled = false;
};

class TcxFilterControlPainter : public TObject {
  ORV_CLASS(TcxFilterControlPainter, TObject)
 public:
  using TCreateSignature = void(TcxCustomFilterControl* control);
  explicit TcxFilterControlPainter(TcxCustomFilterControl* control) : FControl(control) {}
  virtual TColor GetBackgroundColor();
  virtual void DrawRow(TcxCanvas* canvas, TcxCustomRowViewInfo* row);

 protected:
  void DrawText(TcxCanvas* canvas, const AnsiString& text, Integer x, Integer y, TFont* font, Boolean enabled);
  void DrawLevelLines(TcxCanvas* canvas, TcxCustomRowViewInfo* row);
  void DrawValues(TcxCanvas* canvas, TcxConditionViewInfo* row);

 private:
  TcxCustomFilterControl* FControl;
};

// ==== The control ==============================================================================

class TcxCustomFilterControl : public TcxControl {
  ORV_CLASS(TcxCustomFilterControl, TcxControl)
 public:
  explicit TcxCustomFilterControl(TComponent* owner);
  void BeforeDestruction() override;
  ~TcxCustomFilterControl() override;

  // ---- new virtual operations ----
  virtual void UpdateChooserColor();
  virtual void LayoutChanged();
  virtual void BuildFromCriteria();
  virtual void CreateInternalControls();
  virtual void DestroyInternalControls();
  virtual void ApplyFilter();
  virtual TcxCustomEditProperties* GetDefaultProperties();
  virtual orv::ClassOf<TcxFilterControlCriteria> GetCriteriaClass();
  virtual orv::ClassOf<TcxFilterControlViewInfo> GetViewInfoClass();
  virtual void FillItems(TStrings* items);
  virtual void FillOperators(TStrings* items);
  virtual void AdjustSupportedOperators(TcxConditionViewInfo* row);
  virtual void AdjustOperatorClass(TcxFilterOperatorClass& operatorClass) {}
  virtual AnsiString GetFilterCaption();
  virtual IcxFilterControl* GetFilterLink() { return nullptr; }
  virtual AnsiString GetFilterText();
  virtual void ShowRowMenu();
  virtual void SelectBoolOperator();
  virtual void SelectOperator();
  virtual void SelectItem();
  // 0 plain, 1 by key (with the character), 2 by mouse.
  virtual void ShowValueEditor(Integer activation = 0, char key = 0);
  virtual void Clear();
  virtual Boolean IsValid();

  // ---- operations ----
  Boolean HasItems();
  void BuildCriteria();
  void Changed() override;
  void RefreshTexts();
  void LoadFromFile(const AnsiString& fileName);
  void LoadFromStream(TStream* stream);
  void SaveToFile(const AnsiString& fileName);
  void SaveToStream(TStream* stream);
  // Row operations of the menus and keys.
  void AddCondition(TcxCustomRowViewInfo* row = nullptr);
  void AddGroup();
  void AddValue();
  void Remove();
  // Closes the value editor accepting (may raise) or discarding its text.
  void CloseValueEditor(Boolean accept);
  // Focuses a part (with a value index for values) and scrolls it into view.
  void SetFocusedPart(TcxFilterControlHitTest part, TcxCustomRowViewInfo* row = nullptr, Integer valueIndex = -1);
  void MakeFocusedVisible();
  // The part moves of the keyboard.
  void MoveLeft(Boolean wrap);
  void MoveRight(Boolean wrap);
  void MoveUp(Boolean wrap);
  void MoveDown(Boolean wrap);
  Boolean HotTrackApplies();

  // ---- state ----
  TcxFilterControlCriteria* GetCriteria() const { return FCriteria; }
  TcxGroupViewInfo* GetRoot() const { return FRoot; }
  Integer GetRowCount() const { return Integer(FRows.size()); }
  TcxCustomRowViewInfo* GetRow(Integer index) const { return FRows[std::size_t(index)]; }
  Integer IndexOfRow(const TcxCustomRowViewInfo* row) const;
  TcxFilterControlHitTest GetFocusedPart() const { return FFocusedPart; }
  TcxCustomRowViewInfo* GetFocusedRow() const { return FFocusedRow; }
  Integer GetFocusedValueIndex() const { return FFocusedValueIndex; }
  const TcxFilterControlHitData& GetHotData() const { return FHotData; }
  Integer GetChooserMode() const { return FChooserMode; }
  TcxComboBox* GetChooser() const { return FChooser; }
  TPopupMenu* GetRowMenu() const { return FRowMenu; }
  TcxCustomEdit* GetValueEditor() const { return FValueEditor; }
  TcxInplaceEditList* GetEditList() const { return FEditList; }
  // The look of the value cells and editors: FontValue, the control's look and feel.
  TcxCustomEditStyle* GetEditStyle() const { return FEditStyle; }
  TcxFilterControlViewInfo* GetViewInfo() const { return FViewInfo; }
  Integer GetTopVisibleRow() const { return FTopVisibleRow; }
  Integer GetLeftOffset() const { return FLeftOffset; }

  // ---- properties ----
  TFont* GetFontBoolOperator() const { return FFonts[0]; }
  void SetFontBoolOperator(TFont* value);
  TFont* GetFontItem() const { return FFonts[1]; }
  void SetFontItem(TFont* value);
  TFont* GetFontCondition() const { return FFonts[2]; }
  void SetFontCondition(TFont* value);
  TFont* GetFontValue() const { return FFonts[3]; }
  void SetFontValue(TFont* value);
  Boolean GetHotTrackOnUnfocused() const { return FHotTrackOnUnfocused; }
  void SetHotTrackOnUnfocused(Boolean value);
  const AnsiString& GetNullString() const { return FNullString; }
  void SetNullString(const AnsiString& value);
  Boolean GetShowLevelLines() const { return FShowLevelLines; }
  void SetShowLevelLines(Boolean value);
  Boolean GetSortItems() const { return FSortItems; }
  void SetSortItems(Boolean value) { FSortItems = value; }
  Boolean GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(Boolean value);
  const TNotifyEvent& GetOnApplyFilter() const { return FOnApplyFilter; }
  void SetOnApplyFilter(const TNotifyEvent& value) { FOnApplyFilter = value; }

  // The link's item count (0 without a link).
  Integer LinkCount();
  // The position of the item among the link's items, -1 when absent.
  Integer IndexOfLinkItem(TObject* item);

 protected:
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseLeave(TControl* control) override;
  void FocusChanged() override;
  void FontChanged() override;
  using TcxControl::FontChanged;
  Integer GetBorderSize() override;
  void SetInternalControlsParent() override;
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  TCursor GetCurrentCursor(Integer x, Integer y) override;
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override;
  void TranslationChanged() override { RefreshTexts(); }

 private:
  friend class TcxConditionViewInfo;
  void ActivatePart(Boolean byMouse);
  void RebuildRowList();
  void AddRowsOf(TcxGroupViewInfo* group);
  void BuildGroup(TcxGroupViewInfo* row, TcxFilterCriteriaItemList* group);
  void WriteGroup(TcxGroupViewInfo* row, TcxFilterCriteriaItemList* group);
  void WriteCondition(TcxConditionViewInfo* row, TcxFilterCriteriaItemList* group);
  void RemoveAllRows();
  TcxGroupViewInfo* GroupOf(TcxCustomRowViewInfo* row);
  void ShowChooser(Integer mode, TFont* font, const TRect& rect, const AnsiString& text);
  void ChooserCloseUp(TObject* sender);
  void ChooserExit(TObject* sender);
  void ChooserKeyPress(TObject* sender, char& key);
  void MenuItemClick(TObject* sender);
  void EditorKeyDown(TObject* sender, Word& key, TShiftState shift);
  void EditorExit(TObject* sender);
  void FontChangedHandler(TObject* sender);
  TRect FocusedPartRect();

  TPopupMenu* FRowMenu = nullptr;
  TcxComboBox* FChooser = nullptr;
  TcxFilterControlCriteria* FCriteria = nullptr;
  TcxFilterControlHitTest FFocusedPart = fhtNone;
  TPoint FMouseDownPos{0, 0};
  TShiftState FMouseDownShift;
  TcxCustomRowViewInfo* FFocusedRow = nullptr;
  Integer FFocusedValueIndex = -1;
  TFont* FFonts[4] = {};
  TcxFilterControlHitData FHotData;
  TcxInplaceEditList* FEditList = nullptr;
  Integer FLeftOffset = 0;
  Integer FLockCount = 0;
  TcxGroupViewInfo* FRoot = nullptr;
  std::vector<TcxCustomRowViewInfo*> FRows;
  Boolean FSortItems = false;
  Integer FChooserMode = 0;
  TcxTextEditProperties* FDefaultProperties = nullptr;
  TcxCustomEditStyle* FEditStyle = nullptr;
  Integer FTopVisibleRow = 0;
  TcxCustomEdit* FValueEditor = nullptr;
  TcxFilterControlViewInfo* FViewInfo = nullptr;
  Boolean FHotTrackOnUnfocused = true;
  AnsiString FNullString;
  Boolean FShowLevelLines = true;
  Boolean FWantTabs = false;
  Boolean FValueRejected = false;
  TNotifyEvent FOnApplyFilter;
};

class TcxFilterControl : public TcxCustomFilterControl, public IcxFilterControlDialog {
  ORV_CLASS(TcxFilterControl, TcxCustomFilterControl)
 public:
  explicit TcxFilterControl(TComponent* owner) : TcxCustomFilterControl(owner) {}
  void Notification(TComponent* component, TOperation operation) override;
  IcxFilterControl* GetFilterLink() override;

  TComponent* GetLinkComponent() const { return FLinkComponent; }
  // A component without IcxFilterControl counts as none.
  void SetLinkComponent(TComponent* value);
  void SetDialogLinkComponent(TComponent* component) override { SetLinkComponent(component); }
  // Copies the link's criteria and builds the rows (Clear without them).
  void LinkChanged();

 private:
  TComponent* FLinkComponent = nullptr;
};
