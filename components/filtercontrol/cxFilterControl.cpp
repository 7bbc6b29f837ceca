#include "components/filtercontrol/cxFilterControl.h"

#include <algorithm>
#include <memory>

#include "components/data/cxFilterConsts.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxEdit.h"
#include "components/editors/cxTextEdit.h"
#include "components/filtercontrol/cxFilterControlStrs.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/Menus.h"
#include "platform/forms/Published.h"
#include "platform/runtime/Streams.h"
#include "platform/windowing/User.h"

namespace {

const TResStringRec* const kBoolOperatorTexts[4] = {&cxSFilterBoolOperatorAnd, &cxSFilterBoolOperatorOr,
                                                    &cxSFilterBoolOperatorNotAnd, &cxSFilterBoolOperatorNotOr};

// Raises a counter for the scope.
class TFilterControlLock {
 public:
  explicit TFilterControlLock(Integer& counter) : FCounter(counter) { ++FCounter; }
  ~TFilterControlLock() { --FCounter; }
  TFilterControlLock(const TFilterControlLock&) = delete;
  TFilterControlLock& operator=(const TFilterControlLock&) = delete;

 private:
  Integer& FCounter;
};

Boolean FilterValueIsBlank(const Variant& value) { return VarIsNull(value) || VarIsEmpty(value); }

AnsiString FilterValueDisplayText(const TcxValueInfo* info, Boolean emptyIsBlank) {
  if (FilterValueIsBlank(info->Value) || (emptyIsBlank && info->ValueText.empty()))
    return FilterCaptionText(&cxSFilterBlankCaption);
  return info->ValueText;
}

TRect SizedRect(Integer left, Integer top, Integer width, Integer height) {
  return TRect{left, top, left + width, top + height};
}

Boolean PointIn(const TRect& r, const TPoint& p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

}  // namespace

// ==== Criteria =================================================================================

TcxFilterControlCriteria::TcxFilterControlCriteria(TcxCustomFilterControl* control) : FControl(control) {
  SetStreamVersion(kDefaultFilterStreamVersion);
}

Integer TcxFilterControlCriteria::IndexOfLink(TObject* itemLink) {
  IcxFilterControl* link = FControl->GetFilterLink();
  if (!link || !itemLink) return -1;
  for (Integer i = 0; i < link->GetCount(); ++i)
    if (link->GetItemLink(i) == itemLink) return i;
  return -1;
}

Integer TcxFilterControlCriteria::GetIDByItemLink(TObject* itemLink) {
  const Integer index = IndexOfLink(itemLink);
  return index < 0 ? -1 : FControl->GetFilterLink()->GetItemLinkID(index);
}

AnsiString TcxFilterControlCriteria::GetNameByItemLink(TObject* itemLink) {
  const Integer index = IndexOfLink(itemLink);
  return index < 0 ? AnsiString() : FControl->GetFilterLink()->GetItemLinkName(index);
}

TObject* TcxFilterControlCriteria::GetItemLinkByID(Integer id) {
  IcxFilterControl* link = FControl->GetFilterLink();
  if (!link) return nullptr;
  for (Integer i = 0; i < link->GetCount(); ++i)
    if (link->GetItemLinkID(i) == id) return link->GetItemLink(i);
  return nullptr;
}

TObject* TcxFilterControlCriteria::GetItemLinkByName(const AnsiString& name) {
  IcxFilterControl* link = FControl->GetFilterLink();
  if (!link) return nullptr;
  for (Integer i = 0; i < link->GetCount(); ++i)
    if (SameText(link->GetItemLinkName(i), name)) return link->GetItemLink(i);
  return nullptr;
}

TcxFilterCriteriaItemClass TcxFilterControlCriteria::GetItemClass() {
  return TcxFilterControlCriteriaItem::StaticClass();
}

IcxFilterControl* TcxFilterControlCriteriaItem::Link() {
  auto* criteria = dynamic_cast<TcxFilterControlCriteria*>(OwnerCriteria());
  return criteria ? criteria->GetControl()->GetFilterLink() : nullptr;
}

Integer TcxFilterControlCriteriaItem::GetItemIndex() {
  IcxFilterControl* link = Link();
  if (!link) return -1;
  for (Integer i = 0; i < link->GetCount(); ++i)
    if (link->GetItemLink(i) == GetLinkedItem()) return i;
  return -1;
}

AnsiString TcxFilterControlCriteriaItem::GetFieldCaption() {
  const Integer index = GetItemIndex();
  return index < 0 ? AnsiString() : Link()->GetCaption(index);
}

AnsiString TcxFilterControlCriteriaItem::GetFieldName() {
  const Integer index = GetItemIndex();
  return index < 0 ? AnsiString() : Link()->GetFieldName(index);
}

// ==== Rows =====================================================================================

TcxCustomRowViewInfo::TcxCustomRowViewInfo(TcxCustomFilterControl* control, TcxCustomFilterCriteriaItem* criteriaItem,
                                           TcxGroupViewInfo* parent)
    : FControl(control), FCriteriaItem(criteriaItem), FParent(parent) {
  if (FParent) FParent->FRows.push_back(this);
}

void TcxCustomRowViewInfo::BeforeDestruction() {
  if (FParent) {
    auto& rows = FParent->FRows;
    rows.erase(std::remove(rows.begin(), rows.end(), this), rows.end());
  }
  inherited::BeforeDestruction();
}

Boolean TcxCustomRowViewInfo::IsGroup() const { return InheritsFrom(TcxGroupViewInfo::StaticClass()); }

Boolean TcxCustomRowViewInfo::IsLast() {
  return !FParent || FParent->GetRow(FParent->GetRowCount() - 1) == this;
}

Integer TcxCustomRowViewInfo::GetWidth() { return FButtonRect.Width() + FIndent + 5; }

TRect TcxCustomRowViewInfo::CenteredRect(Integer left, Integer width, Integer height) const {
  const Integer top = FRowRect.Top + (FRowRect.Height() - height) / 2;
  return SizedRect(left, top, width, height);
}

TcxButtonState TcxCustomRowViewInfo::PartButtonState(TcxFilterControlHitTest part) {
  TcxFilterControlViewInfo* viewInfo = FControl->GetViewInfo();
  if (!viewInfo->GetEnabled()) return cxbsDisabled;
  if (FControl->GetFocusedRow() == this && FControl->GetFocusedPart() == part) return cxbsDefault;
  const TcxFilterControlHitData& hot = FControl->GetHotData();
  if (FControl->HotTrackApplies() && hot.Row == this && hot.HitTest == part) return cxbsHot;
  return cxbsNormal;
}

void TcxCustomRowViewInfo::Calculate(const TRect& rowRect) {
  FRowRect = rowRect;
  TcxCanvas* canvas = FControl->GetViewInfo()->GetCanvas();
  canvas->SetFont(FControl->GetFont());
  if (FParent) {
    FButtonText = "...";
    FLevel = 0;
    for (TcxGroupViewInfo* p = FParent; p; p = p->GetParent()) ++FLevel;
  } else {
    FButtonText = GetLocalizedResourceString(&cxSFilterRootButtonCaption);
    FLevel = 0;
  }
  const Integer rowHeight = FControl->GetViewInfo()->GetRowHeight();
  FIndent = rowHeight * FLevel;
  const Integer buttonWidth = FParent ? 3 * canvas->TextWidth("0") : canvas->TextWidth(FButtonText + "00");
  FButtonRect = CenteredRect(FRowRect.Left + FIndent + 4, buttonWidth, rowHeight - 4);
  FButtonState = PartButtonState(fhtButton);
}

void TcxCustomRowViewInfo::GetHitTestInfo(const TPoint& point, TcxFilterControlHitData& hitInfo) {
  if (PointIn(FButtonRect, point)) hitInfo.HitTest = fhtButton;
}

TcxGroupViewInfo::TcxGroupViewInfo(TcxCustomFilterControl* control, TcxCustomFilterCriteriaItem* criteriaItem,
                                   TcxGroupViewInfo* parent)
    : TcxCustomRowViewInfo(control, criteriaItem, parent) {
  if (auto* group = dynamic_cast<TcxFilterCriteriaItemList*>(criteriaItem)) FBoolOperator = group->GetBoolOperator();
  FCaption = GetLocalizedResourceString(parent ? &cxSFilterGroupCaption : &cxSFilterRootGroupCaption);
}

void TcxGroupViewInfo::BeforeDestruction() {
  while (!FRows.empty()) FRows.back()->Free();
  inherited::BeforeDestruction();
}

AnsiString TcxGroupViewInfo::GetBoolOperatorText() const {
  return GetLocalizedResourceString(kBoolOperatorTexts[FBoolOperator & 3]);
}

Integer TcxGroupViewInfo::IndexOf(const TcxCustomRowViewInfo* row) const {
  auto it = std::find(FRows.begin(), FRows.end(), row);
  return it == FRows.end() ? -1 : Integer(it - FRows.begin());
}

Integer TcxGroupViewInfo::GetWidth() {
  return inherited::GetWidth() + FBoolOperatorRect.Width() + FCaptionRect.Width() + 16;
}

void TcxGroupViewInfo::Calculate(const TRect& rowRect) {
  inherited::Calculate(rowRect);
  TcxCanvas* canvas = FControl->GetViewInfo()->GetCanvas();
  canvas->SetFont(FControl->GetFontBoolOperator());
  TSize size = canvas->GetTextSize(GetBoolOperatorText());
  FBoolOperatorRect = CenteredRect(FButtonRect.Right + 8, size.cx + 2, size.cy + 2);
  canvas->SetFont(FControl->GetFont());
  size = canvas->GetTextSize(FCaption);
  FCaptionRect = CenteredRect(FBoolOperatorRect.Right + 8, size.cx + 2, size.cy + 2);
}

void TcxGroupViewInfo::GetHitTestInfo(const TPoint& point, TcxFilterControlHitData& hitInfo) {
  inherited::GetHitTestInfo(point, hitInfo);
  if (hitInfo.HitTest == fhtNone && PointIn(FBoolOperatorRect, point)) hitInfo.HitTest = fhtBoolOperator;
}

TcxConditionViewInfo::TcxConditionViewInfo(TcxCustomFilterControl* control, TcxCustomFilterCriteriaItem* criteriaItem,
                                           TcxGroupViewInfo* parent)
    : TcxCustomRowViewInfo(control, criteriaItem, parent) {
  FValues = new TcxValuesViewInfo(this);
  if (criteriaItem)
    InitFromCriteria();
  else
    SetItem(-1);
}

void TcxConditionViewInfo::BeforeDestruction() {
  if (FControl->GetEditList() && FEditorProperties) FControl->GetEditList()->RemoveByProperties(FEditorProperties);
  FreeAndNil(FValues);
  FreeAndNil(FEditData);
  FreeAndNil(FEditorProperties);
  inherited::BeforeDestruction();
}

Boolean TcxConditionViewInfo::HasValues() {
  return !(FOperator == fcopBlanks || FOperator == fcopNonBlanks || FOperator >= fcopYesterday ||
           FOperator == fcopNone);
}

TcxCustomEditProperties* TcxConditionViewInfo::GetItemProperties() {
  IcxFilterControl* link = FControl->GetFilterLink();
  TcxCustomEditProperties* properties = nullptr;
  if (link && FItemIndex >= 0 && FItemIndex < link->GetCount()) properties = link->GetProperties(FItemIndex);
  return properties ? properties : FControl->GetDefaultProperties();
}

void TcxConditionViewInfo::PrepareEditor() {
  FreeAndNil(FEditData);
  if (FEditorProperties && FControl->GetEditList()) FControl->GetEditList()->RemoveByProperties(FEditorProperties);
  FreeAndNil(FEditorProperties);
  TcxCustomEditProperties* itemProperties = GetItemProperties();
  FFilterEditHelper = FilterEditsController()->FindFilterEditHelper(itemProperties->ClassType());
  if (!FFilterEditHelper) FFilterEditHelper = FilterTextEditHelper();
  TcxCustomEditPropertiesClass propertiesClass = itemProperties->ClassType();
  if (TcxCustomEditClass editClass = FFilterEditHelper->GetFilterEditorClass()) {
    TcxCustomEdit* probe = GetFilterEdit(FFilterEditHelper, itemProperties, FControl->GetEditList());
    propertiesClass = probe->GetPropertiesClass();
  }
  FEditorProperties = propertiesClass.Create(nullptr);
  FFilterEditHelper->InitFilterProperties(FEditorProperties, itemProperties, true);
  IcxFilterControl* link = FControl->GetFilterLink();
  FValueType = link && FItemIndex >= 0 && FItemIndex < link->GetCount() ? link->GetValueType(FItemIndex)
                                                                        : TcxValueTypeClass();
  FFilterEditHelper->GetSupportedOperators(itemProperties, FValueType, FSupportedOperators, true);
  FControl->AdjustSupportedOperators(this);
}

void TcxConditionViewInfo::InitFromCriteria() {
  auto* condition = static_cast<TcxFilterCriteriaItem*>(FCriteriaItem);
  IcxFilterControl* link = FControl->GetFilterLink();
  FItemLink = condition->GetLinkedItem();
  FItemIndex = -1;
  if (link)
    for (Integer i = 0; i < link->GetCount(); ++i)
      if (link->GetItemLink(i) == FItemLink) FItemIndex = i;
  // The caller made sure the link has the item (a constructor must not raise: the row is already
  // in its parent's list).
  if (!link || FItemIndex < 0) return;
  FItemText = link->GetCaption(FItemIndex);
  const Variant& value = condition->GetValue();
  FOperator = OperatorKindToFilterControlOperator(condition->GetOperatorCode(), FilterValueIsBlank(value));
  FOperatorText = GetFilterControlOperatorText(FOperator);
  if (IsBetweenOperator(FOperator) || IsListOperator(FOperator)) {
    const AnsiString text = condition->GetDisplayValue();
    Integer position = 0;
    if (VarIsArray(value)) {
      for (Integer i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i) {
        FValues->AddValue();
        TcxValueInfo* info = FValues->GetValue(FValues->GetCount() - 1);
        info->Value = value.GetElement(i);
        info->ValueText = ExtractListPiece(text, position);
      }
    }
  } else {
    FValues->AddValue();
    FValues->GetValue(0)->Value = value;
    FValues->GetValue(0)->ValueText = condition->GetDisplayValue();
  }
  PrepareEditor();
}

void TcxConditionViewInfo::SetItem(Integer index) {
  IcxFilterControl* link = FControl->GetFilterLink();
  if (!link || link->GetCount() == 0) return;
  if (index < 0) {
    index = 0;
    if (FControl->GetSortItems()) {
      AnsiString best;
      for (Integer i = 0; i < link->GetCount(); ++i) {
        const AnsiString caption = link->GetCaption(i);
        if (i == 0 || AnsiCompareText(caption, best) < 0) {
          best = caption;
          index = i;
        }
      }
    }
  }
  if (index == FItemIndex) return;
  if (FControl->GetValueEditor() && FEditorProperties) FControl->GetEditList()->RemoveByProperties(FEditorProperties);
  FItemIndex = index;
  FItemLink = link->GetItemLink(index);
  FItemText = link->GetCaption(index);
  PrepareEditor();
  TcxFilterControlOperator op = fcopNone;
  if (FSupportedOperators.Contains(fcopLike)) {
    op = fcopLike;
  } else {
    for (Integer i = 1; i < kFilterControlOperatorCount && op == fcopNone; ++i)
      if (FSupportedOperators.Contains(i)) op = TcxFilterControlOperator(i);
  }
  FOperator = op;
  FOperatorText = GetFilterControlOperatorText(FOperator);
  ResetValues(false);
}

void TcxConditionViewInfo::SetOperator(TcxFilterControlOperator value, Boolean keepValues) {
  FOperator = value;
  FOperatorText = GetFilterControlOperatorText(value);
  ResetValues(keepValues);
}

void TcxConditionViewInfo::ResetValues(Boolean keep) {
  if (keep && FValues->GetCount() > 0 && HasValues()) {
    if (IsBetweenOperator(FOperator)) {
      while (FValues->GetCount() > 2) FValues->RemoveValue(FValues->GetCount() - 1);
      while (FValues->GetCount() < 2) FValues->AddValue();
    } else if (!IsListOperator(FOperator)) {
      while (FValues->GetCount() > 1) FValues->RemoveValue(FValues->GetCount() - 1);
    }
    return;
  }
  FValues->Clear();
  FValues->AddValue();
  if (IsBetweenOperator(FOperator)) FValues->AddValue();
}

Integer TcxConditionViewInfo::GetWidth() {
  return inherited::GetWidth() + FItemRect.Width() + FOperatorRect.Width() + FValues->GetExtent() + 16;
}

void TcxConditionViewInfo::Calculate(const TRect& rowRect) {
  inherited::Calculate(rowRect);
  TcxCanvas* canvas = FControl->GetViewInfo()->GetCanvas();
  canvas->SetFont(FControl->GetFontItem());
  TSize size = canvas->GetTextSize(FItemText);
  FItemRect = CenteredRect(FButtonRect.Right + 8, size.cx + 2, size.cy + 2);
  canvas->SetFont(FControl->GetFontCondition());
  size = canvas->GetTextSize(FOperatorText);
  FOperatorRect = CenteredRect(FItemRect.Right + 8, size.cx + 2, size.cy + 2);
  FValues->Calculate();
}

void TcxConditionViewInfo::GetHitTestInfo(const TPoint& point, TcxFilterControlHitData& hitInfo) {
  inherited::GetHitTestInfo(point, hitInfo);
  if (hitInfo.HitTest != fhtNone) return;
  if (PointIn(FItemRect, point))
    hitInfo.HitTest = fhtItem;
  else if (PointIn(FOperatorRect, point))
    hitInfo.HitTest = fhtOperator;
  else if (HasValues())
    FValues->GetHitTestInfo(point, hitInfo);
}

// ---- Values ----

void TcxValuesViewInfo::BeforeDestruction() {
  Clear();
  inherited::BeforeDestruction();
}

TcxValueInfo::~TcxValueInfo() { orv::Free(ViewInfo); }

void TcxValuesViewInfo::AddValue() { FValues.push_back(new TcxValueInfo); }

void TcxValuesViewInfo::RemoveValue(Integer index) {
  if (index < 0 || index >= GetCount()) return;
  delete FValues[std::size_t(index)];
  FValues.erase(FValues.begin() + index);
}

void TcxValuesViewInfo::Clear() {
  for (TcxValueInfo* info : FValues) delete info;
  FValues.clear();
}

Integer TcxValuesViewInfo::GetExtent() const {
  if (!FCondition->HasValues() || FValues.empty()) return 0;
  const Integer right = IsListOperator(FCondition->GetOperator()) ? FAddButtonRect.Right : FValues.back()->ValueRect.Right;
  return right - FCondition->GetOperatorRect().Right;
}

void TcxValuesViewInfo::Calculate() {
  TcxCustomFilterControl* control = FCondition->GetControl();
  TcxFilterControlViewInfo* viewInfo = control->GetViewInfo();
  TcxCanvas* canvas = viewInfo->GetCanvas();
  FAddButtonRect = TRect{};
  if (!FCondition->HasValues()) return;
  const TcxFilterControlOperator op = FCondition->GetOperator();
  const TRect& rowRect = FCondition->GetRowRect();
  Integer x = FCondition->GetOperatorRect().Right + 8;
  canvas->SetFont(control->GetFontValue());
  FSeparator.clear();
  if (IsBetweenOperator(op)) FSeparator = FilterCaptionText(&cxSFilterAndCaption);
  if (IsListOperator(op)) {
    FSeparator = ", ";
    x += canvas->TextWidth("(");
  }
  const Integer gap = (IsBetweenOperator(op) || IsListOperator(op)) ? canvas->TextWidth(FSeparator) + 8 : 4;
  const TcxFilterControlHitData& hot = control->GetHotData();
  for (Integer i = 0; i < GetCount(); ++i) {
    TcxValueInfo* info = FValues[std::size_t(i)];
    const Boolean active =
        (control->HotTrackApplies() && hot.Row == FCondition && hot.HitTest == fhtValue && hot.ValueIndex == i &&
         control->GetChooserMode() == 0) ||
        (control->GetFocusedRow() == FCondition && control->GetFocusedPart() == fhtValue &&
         control->GetFocusedValueIndex() == i && (control->IsFocused() || control->GetValueEditor()));
    CalculateValue(info, x, active);
    x = info->ValueRect.Right + gap;
  }
  if (IsListOperator(op) && !FValues.empty()) {
    const Integer left = FValues.back()->ValueRect.Right + canvas->TextWidth(")0");
    const Integer height = viewInfo->GetRowHeight() - 4;
    FAddButtonRect = SizedRect(left, rowRect.Top + (rowRect.Height() - height) / 2, canvas->TextWidth("000"), height);
    if (!viewInfo->GetEnabled())
      FAddButtonState = cxbsDisabled;
    else if (control->GetFocusedRow() == FCondition && control->GetFocusedPart() == fhtAddValue)
      FAddButtonState = cxbsDefault;
    else if (control->HotTrackApplies() && hot.Row == FCondition && hot.HitTest == fhtAddValue)
      FAddButtonState = cxbsHot;
    else
      FAddButtonState = cxbsNormal;
  }
}

void TcxValuesViewInfo::CalculateValue(TcxValueInfo* info, Integer left, Boolean active) {
  TcxCustomFilterControl* control = FCondition->GetControl();
  TcxFilterControlViewInfo* viewInfo = control->GetViewInfo();
  TcxCanvas* canvas = viewInfo->GetCanvas();
  const TRect& rowRect = FCondition->GetRowRect();
  // A missing value shows the null text as plain text; a value shows through its item's editor,
  // as its text where the editor kind filters by display texts.
  const Boolean blank = FilterValueIsBlank(info->Value);
  TcxCustomEditProperties* properties =
      blank || !FCondition->GetEditorProperties() ? control->GetDefaultProperties() : FCondition->GetEditorProperties();
  Variant displayValue;
  if (blank)
    displayValue = control->GetNullString();
  else if (FCondition->GetFilterEditHelper() && FCondition->GetFilterEditHelper()->UsesDisplayText())
    displayValue = info->ValueText;
  else
    displayValue = info->Value;
  TcxCustomEditStyle* style = control->GetEditStyle();
  style->SetTextColor(viewInfo->GetEnabled() ? control->GetFontValue()->GetColor() : clBtnShadow);
  style->SetButtonTransparency(active ? ebtNone : ebtHideInactive);
  style->SetColor(active ? clWindow : viewInfo->GetPainter()->GetBackgroundColor());
  TcxCustomFilterEditHelperClass helper = FilterEditsController()->FindFilterEditHelper(properties->ClassType());
  if (!helper) helper = FilterTextEditHelper();
  // The cell is drawn for the filter alone: the item's data must not format it, nor may the
  // properties tell their users of the change.
  IcxEditDefaultValuesProvider* provider = properties->GetDefaultValuesProvider();
  properties->SetChangeLock(true);
  properties->SetDefaultValuesProvider(nullptr);
  struct TRestore {
    TcxCustomEditProperties* Properties;
    IcxEditDefaultValuesProvider* Provider;
    ~TRestore() {
      Properties->SetDefaultValuesProvider(Provider);
      Properties->SetChangeLock(false);
    }
  } restore{properties, provider};
  std::unique_ptr<TcxCustomEditViewData, orv::FreeDeleter> viewData(properties->CreateViewData(style, true));
  viewData->IsEnabledView = viewInfo->GetEnabled();
  TSize size{0, 0};
  TcxEditSizeProperties limits;
  viewData->CalculateEditorSize(canvas, displayValue, size, nullptr, limits);
  Integer width = size.cx;
  if (active) width = std::max(width, viewInfo->GetMinValueWidth());
  const Integer height = std::min<Integer>(size.cy, rowRect.Height());
  info->ValueRect = SizedRect(left, rowRect.Top + (rowRect.Height() - height) / 2, width, height);
  if (!helper->KeepsEditButtons()) viewData->VisibleButtonCount = 0;
  orv::Free(info->ViewInfo);
  info->ViewInfo = nullptr;
  info->ViewInfo = properties->GetViewInfoClass().Create();
  viewData->SetViewInfoValue(canvas, displayValue, info->ViewInfo);
  viewData->CalculateViewInfo(canvas, info->ValueRect, false, info->ViewInfo);
}

void TcxValuesViewInfo::GetHitTestInfo(const TPoint& point, TcxFilterControlHitData& hitInfo) {
  if (PointIn(FAddButtonRect, point)) {
    hitInfo.HitTest = fhtAddValue;
    return;
  }
  for (Integer i = 0; i < GetCount(); ++i)
    if (PointIn(FValues[std::size_t(i)]->ValueRect, point)) {
      hitInfo.HitTest = fhtValue;
      hitInfo.ValueIndex = i;
      return;
    }
}

// ==== View info ================================================================================

TcxFilterControlViewInfo::TcxFilterControlViewInfo(TcxCustomFilterControl* control) : FControl(control) {
  FBitmap = new TBitmap;
  FCanvas = new TcxCanvas(FBitmap->GetCanvas());
  FPainter = GetPainterClass().Create(control);
  FAddConditionCaption = GetLocalizedResourceString(&cxSFilterFooterAddCondition);
}

TcxFilterControlViewInfo::~TcxFilterControlViewInfo() {
  orv::Free(FPainter);
  orv::Free(FCanvas);
  orv::Free(FBitmap);
}

orv::ClassOf<TcxFilterControlPainter> TcxFilterControlViewInfo::GetPainterClass() {
  return TcxFilterControlPainter::StaticClass();
}

void TcxFilterControlViewInfo::Calculate() {
  FBitmap->SetSize(std::max<Integer>(FControl->GetWidth(), 1), std::max<Integer>(FControl->GetHeight(), 1));
  FEnabled = FControl->HasItems() && FControl->GetEnabled();
  Integer height = 0;
  for (TFont* font : {FControl->GetFont(), FControl->GetFontBoolOperator(), FControl->GetFontItem(),
                      FControl->GetFontCondition()})
    height = std::max(height, FCanvas->FontHeight(font));
  // The value cells' height: the text editor's for a line in FontValue.
  if (TcxCustomEditStyle* style = FControl->GetEditStyle()) {
    style->SetFont(FControl->GetFontValue());
    TcxEditSizeProperties limits;
    height = std::max(height,
                      FControl->GetDefaultProperties()->CalculateEditSize(FCanvas, style, true, Variant("Yy"), limits).cy);
  }
  FRowHeight = height * 3 / 2;
  FCanvas->SetFont(FControl->GetFont());
  FMinValueWidth = 12 * FCanvas->TextWidth("0");

  const TRect client = FControl->GetClientBounds();
  TRect rowRect{client.Left - FControl->GetLeftOffset(), client.Top, client.Right, client.Top + FRowHeight};
  rowRect.Top -= FControl->GetTopVisibleRow() * FRowHeight;
  rowRect.Bottom -= FControl->GetTopVisibleRow() * FRowHeight;
  FMaxRowWidth = 0;
  TcxCustomRowViewInfo* last = nullptr;
  for (Integer i = 0; i < FControl->GetRowCount(); ++i) {
    last = FControl->GetRow(i);
    last->Calculate(rowRect);
    FMaxRowWidth = std::max(FMaxRowWidth, last->GetWidth());
    rowRect.Top += FRowHeight;
    rowRect.Bottom += FRowHeight;
  }
  const Integer indent = last ? last->GetIndent() : 0;
  const Integer buttonWidth = FCanvas->TextWidth(FAddConditionCaption + "00");
  FAddConditionRect =
      SizedRect(rowRect.Left + indent + 4, rowRect.Top + 2, buttonWidth, FRowHeight - 4);
  FMaxRowWidth = std::max(FMaxRowWidth, buttonWidth + indent + 4);
  if (!FEnabled)
    FAddConditionButtonState = cxbsDisabled;
  else if (FControl->GetFocusedPart() == fhtAddCondition)
    FAddConditionButtonState = cxbsDefault;
  else if (FControl->HotTrackApplies() && FControl->GetHotData().HitTest == fhtAddCondition)
    FAddConditionButtonState = cxbsHot;
  else
    FAddConditionButtonState = cxbsNormal;
  CalculateFocusRect();
}

void TcxFilterControlViewInfo::InvalidateRow(TcxCustomRowViewInfo* row) {
  if (row) FControl->InvalidateArea(row->GetRowRect(), false);
  FControl->InvalidateArea(FAddConditionRect, false);
}

void TcxFilterControlViewInfo::CalculateFocusRect() {
  FFocusRect = TRect{};
  if (!FControl->HasItems()) {
    TRect r = FControl->GetClientBounds();
    FFocusRect = TRect{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    return;
  }
  TcxCustomRowViewInfo* row = FControl->GetFocusedRow();
  if (!row) return;
  TRect r{};
  switch (FControl->GetFocusedPart()) {
    case fhtBoolOperator:
      if (row->IsGroup()) r = static_cast<TcxGroupViewInfo*>(row)->GetBoolOperatorRect();
      break;
    case fhtItem:
      if (!row->IsGroup()) r = static_cast<TcxConditionViewInfo*>(row)->GetItemRect();
      break;
    case fhtOperator:
      if (!row->IsGroup()) r = static_cast<TcxConditionViewInfo*>(row)->GetOperatorRect();
      break;
    case fhtValue:
      if (!row->IsGroup()) {
        TcxValuesViewInfo* values = static_cast<TcxConditionViewInfo*>(row)->GetValues();
        const Integer index = FControl->GetFocusedValueIndex();
        if (index >= 0 && index < values->GetCount()) r = values->GetValue(index)->ValueRect;
      }
      break;
    default:
      return;
  }
  if (!RectIsEmpty(r)) FFocusRect = TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1};
}

void TcxFilterControlViewInfo::GetHitTestInfo(TShiftState shift, const TPoint& point,
                                              TcxFilterControlHitData& hitInfo) {
  hitInfo = TcxFilterControlHitData{};
  hitInfo.Pos = point;
  hitInfo.Shift = shift;
  hitInfo.Row = FControl->GetFocusedRow() ? FControl->GetFocusedRow() : FControl->GetRoot();
  if (!PointIn(FControl->GetClientBounds(), point)) return;
  if (PointIn(FAddConditionRect, point)) {
    hitInfo.HitTest = fhtAddCondition;
    return;
  }
  for (Integer i = FControl->GetTopVisibleRow(); i < FControl->GetRowCount(); ++i) {
    TcxCustomRowViewInfo* row = FControl->GetRow(i);
    if (PointIn(row->GetRowRect(), point)) {
      hitInfo.Row = row;
      row->GetHitTestInfo(point, hitInfo);
      return;
    }
  }
}

void TcxFilterControlViewInfo::Paint(TcxCanvas* target) {
  const TRect client = FControl->GetClientBounds();
  const TRect bounds = FControl->GetBounds();
  FCanvas->FillRect(client, FPainter->GetBackgroundColor());
  for (Integer i = FControl->GetTopVisibleRow(); i < FControl->GetRowCount(); ++i) {
    TcxCustomRowViewInfo* row = FControl->GetRow(i);
    if (row->GetRowRect().Top >= client.Bottom) break;
    FPainter->DrawRow(FCanvas, row);
  }
  FCanvas->SetFont(FControl->GetFont());
  FControl->GetPainter()->DrawPushButton(FCanvas, FAddConditionRect, FAddConditionCaption, FAddConditionButtonState);
  if (!RectIsEmpty(FFocusRect) && (FControl->IsFocused() || (FControl->GetValueEditor() &&
                                                             FControl->GetValueEditor()->Focused())))
    FCanvas->DrawFocusFrame(FFocusRect);
  FControl->GetPainter()->DrawControlBorder(FCanvas, bounds);
  target->CopyRectFrom(bounds, FCanvas, bounds);
}

// ==== Painter ==================================================================================

TColor TcxFilterControlPainter::GetBackgroundColor() { return FControl->GetColor(); }

void TcxFilterControlPainter::DrawText(TcxCanvas* canvas, const AnsiString& text, Integer x, Integer y, TFont* font,
                                       Boolean enabled) {
  canvas->SetFont(font);
  canvas->SetBrushClear(true);
  const TSize size = canvas->GetTextSize(text);
  if (enabled) {
    canvas->DrawTextInRect(text, TRect{x, y, x + size.cx, y + size.cy}, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX, true);
  } else {
    canvas->SetFontColor(clBtnHighlight);
    canvas->DrawTextInRect(text, TRect{x + 1, y + 1, x + 1 + size.cx, y + 1 + size.cy},
                           DT_LEFT | DT_SINGLELINE | DT_NOPREFIX, true);
    canvas->SetFontColor(clBtnShadow);
    canvas->DrawTextInRect(text, TRect{x, y, x + size.cx, y + size.cy}, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX, true);
  }
  canvas->SetBrushClear(false);
}

void TcxFilterControlPainter::DrawLevelLines(TcxCanvas* canvas, TcxCustomRowViewInfo* row) {
  if (!FControl->GetShowLevelLines() || row->GetLevel() == 0) return;
  const TRect& rowRect = row->GetRowRect();
  const Integer half = rowRect.Height() / 2;
  const Integer buttonHalf = row->GetButtonRect().Width() / 2;
  const TColor background = GetBackgroundColor();
  // Dotted as a checker brush draws them: the line colour where the pixel's column and row
  // parities differ, the background where they are equal.
  auto dot = [&](Integer x, Integer y) { canvas->SetPixelColor(x, y, ((x + y) & 1) != 0 ? cl3DDkShadow : background); };
  auto vertical = [&](Integer x, Integer top, Integer height) {
    for (Integer y = top; y < top + height; ++y) dot(x, y);
  };
  TcxGroupViewInfo* parent = row->GetParent();
  const Integer x = parent->GetButtonRect().Left + buttonHalf;
  vertical(x, rowRect.Top, half);
  if (!row->IsLast()) vertical(x, rowRect.Top + half, half + 1);
  for (Integer px = x; px < row->GetButtonRect().Left - 3; ++px)
    dot(px, rowRect.Top + half);
  for (TcxCustomRowViewInfo* ancestor = parent; ancestor && ancestor->GetParent(); ancestor = ancestor->GetParent())
    if (!ancestor->IsLast())
      vertical(ancestor->GetParent()->GetButtonRect().Left + buttonHalf, rowRect.Top, rowRect.Height());
}

void TcxFilterControlPainter::DrawValues(TcxCanvas* canvas, TcxConditionViewInfo* row) {
  TcxValuesViewInfo* values = row->GetValues();
  const Boolean enabled = FControl->GetViewInfo()->GetEnabled();
  TFont* font = FControl->GetFontValue();
  const TcxFilterControlOperator op = row->GetOperator();
  for (Integer i = 0; i < values->GetCount(); ++i) {
    TcxValueInfo* info = values->GetValue(i);
    if (info->ViewInfo) info->ViewInfo->Paint(canvas);
    const Boolean last = i == values->GetCount() - 1;
    if (IsBetweenOperator(op) && !last)
      DrawText(canvas, values->GetSeparator(), info->ValueRect.Right + 4, info->ValueRect.Top + 1,
               FControl->GetFontCondition(), enabled);
    if (IsListOperator(op) && !last)
      DrawText(canvas, values->GetSeparator(), info->ValueRect.Right + 2, info->ValueRect.Top + 1, font, enabled);
  }
  if (IsListOperator(op) && values->GetCount() > 0) {
    const TRect& opRect = row->GetOperatorRect();
    DrawText(canvas, "(", opRect.Right + 4, opRect.Top, font, enabled);
    const TRect& lastRect = values->GetValue(values->GetCount() - 1)->ValueRect;
    DrawText(canvas, ")", lastRect.Right + 3, lastRect.Top + 1, font, enabled);
    canvas->SetFont(FControl->GetFont());
    FControl->GetPainter()->DrawPushButton(canvas, values->GetAddButtonRect(), "+", values->GetAddButtonState());
  }
}

void TcxFilterControlPainter::DrawRow(TcxCanvas* canvas, TcxCustomRowViewInfo* row) {
  canvas->FillRect(row->GetRowRect(), GetBackgroundColor());
  DrawLevelLines(canvas, row);
  canvas->SetFont(FControl->GetFont());
  FControl->GetPainter()->DrawPushButton(canvas, row->GetButtonRect(), row->GetButtonText(), row->GetButtonState());
  const Boolean enabled = FControl->GetViewInfo()->GetEnabled();
  if (row->IsGroup()) {
    auto* group = static_cast<TcxGroupViewInfo*>(row);
    DrawText(canvas, group->GetCaption(), group->GetCaptionRect().Left, group->GetCaptionRect().Top + 1,
             FControl->GetFont(), enabled);
    DrawText(canvas, group->GetBoolOperatorText(), group->GetBoolOperatorRect().Left + 1,
             group->GetBoolOperatorRect().Top + 1, FControl->GetFontBoolOperator(), enabled);
    return;
  }
  auto* condition = static_cast<TcxConditionViewInfo*>(row);
  DrawText(canvas, condition->GetItemText(), condition->GetItemRect().Left + 1, condition->GetItemRect().Top + 1,
           FControl->GetFontItem(), enabled);
  DrawText(canvas, condition->GetOperatorText(), condition->GetOperatorRect().Left + 1,
           condition->GetOperatorRect().Top + 1, FControl->GetFontCondition(), enabled);
  if (condition->HasValues()) DrawValues(canvas, condition);
}

// ==== The control ==============================================================================

TcxCustomFilterControl::TcxCustomFilterControl(TComponent* owner) : TcxControl(owner) {
  SetBounds(GetLeft(), GetTop(), 300, 200);
  SetColor(clBtnFace);
  SetTabStop(true);
  SetWantedKeys(TcxKeys{kArrows, kChars});
  FCriteria = new TcxFilterControlCriteria(this);
  FRoot = new TcxGroupViewInfo(this, nullptr, nullptr);
  FRows.push_back(FRoot);
  FViewInfo = GetViewInfoClass().Create(this);
  const TColor colors[4] = {TColor(0x0000FF), TColor(0x008000), TColor(0x000080), TColor(0xFF0000)};
  for (Integer i = 0; i < 4; ++i) {
    FFonts[i] = new TFont;
    FFonts[i]->Assign(GetFont());
    FFonts[i]->SetColor(colors[i]);
    if (i < 3) FFonts[i]->SetStyle(TFontStyles{fsUnderline});
    FFonts[i]->SetOnChange(TNotifyEvent(this, &TcxCustomFilterControl::FontChangedHandler));
  }
  CreateInternalControls();
  FFocusedRow = FRoot;
  FFocusedPart = fhtBoolOperator;
  FNullString = GetLocalizedResourceString(&cxSFilterControlNullString);
  LayoutChanged();
}

void TcxCustomFilterControl::BeforeDestruction() {
  Destroying();
  if (FValueEditor) {
    FValueEditor->SetOnKeyDown(TKeyEvent());
    FValueEditor->SetOnExit(TNotifyEvent());
    FValueEditor->SetParent(nullptr);
    FValueEditor = nullptr;
  }
  DestroyInternalControls();
  FRows.clear();
  FreeAndNil(FRoot);
  FreeAndNil(FCriteria);
  inherited::BeforeDestruction();
}

TcxCustomFilterControl::~TcxCustomFilterControl() {
  orv::Free(FViewInfo);
  for (TFont*& font : FFonts) FreeAndNil(font);
}

orv::ClassOf<TcxFilterControlCriteria> TcxCustomFilterControl::GetCriteriaClass() {
  return TcxFilterControlCriteria::StaticClass();
}

orv::ClassOf<TcxFilterControlViewInfo> TcxCustomFilterControl::GetViewInfoClass() {
  return TcxFilterControlViewInfo::StaticClass();
}

void TcxCustomFilterControl::CreateInternalControls() {
  FChooser = new TcxComboBox(this);
  FChooser->SetVisible(false);
  TcxComboBoxProperties* properties = FChooser->GetProperties();
  properties->SetDropDownListStyle(lsFixedList);
  properties->GetButtons()->Clear();
  properties->SetOnCloseUp(TNotifyEvent(this, &TcxCustomFilterControl::ChooserCloseUp));
  FChooser->SetOnExit(TNotifyEvent(this, &TcxCustomFilterControl::ChooserExit));
  FChooser->SetOnKeyPress(TKeyPressEvent(this, &TcxCustomFilterControl::ChooserKeyPress));
  FRowMenu = new TPopupMenu(this);
  for (Integer i = 0; i < 4; ++i) {
    auto* item = new TMenuItem(FRowMenu);
    item->SetTag(i);
    item->SetOnClick(TNotifyEvent(this, &TcxCustomFilterControl::MenuItemClick));
    FRowMenu->GetItems()->Add(item);
  }
  FRowMenu->GetItems()->GetItem(2)->SetCaption("-");
  FEditList = new TcxInplaceEditList(this);
  FDefaultProperties = new TcxTextEditProperties(nullptr);
  FEditStyle = new TcxCustomEditStyle(nullptr, true);
  FEditStyle->SetFont(GetFontValue());
  FEditStyle->GetLookAndFeel()->SetMaster(GetLookAndFeel());
  FEditStyle->SetButtonTransparency(ebtHideUnselected);
}

void TcxCustomFilterControl::DestroyInternalControls() {
  FreeAndNil(FEditStyle);
  FreeAndNil(FDefaultProperties);
  FreeAndNil(FEditList);
  FRowMenu = nullptr;
  FChooser = nullptr;
}

TcxCustomEditProperties* TcxCustomFilterControl::GetDefaultProperties() { return FDefaultProperties; }

Integer TcxCustomFilterControl::LinkCount() {
  IcxFilterControl* link = GetFilterLink();
  return link ? link->GetCount() : 0;
}

Boolean TcxCustomFilterControl::HasItems() { return LinkCount() > 0; }

Integer TcxCustomFilterControl::IndexOfRow(const TcxCustomRowViewInfo* row) const {
  auto it = std::find(FRows.begin(), FRows.end(), row);
  return it == FRows.end() ? -1 : Integer(it - FRows.begin());
}

Boolean TcxCustomFilterControl::HotTrackApplies() {
  return GetEnabled() && (FHotTrackOnUnfocused || IsFocused() || (FValueEditor && FValueEditor->Focused())) &&
         HasItems();
}

void TcxCustomFilterControl::Changed() {
  inherited::Changed();
  if (FLockCount != 0 || IsLoading() || IsDestroying() || !HandleAllocated()) return;
  if (FChooser && FChooser->HasOpenPopup()) return;
  TFilterControlLock lock(FLockCount);
  LayoutChanged();
}

void TcxCustomFilterControl::LayoutChanged() {
  FViewInfo->Calculate();
  const TRect client = GetClientBounds();
  const Integer rowHeight = FViewInfo->GetRowHeight();
  while (FTopVisibleRow > 0 && rowHeight > 0 &&
         client.Bottom - FViewInfo->GetAddConditionRect().Bottom >= rowHeight + 2) {
    --FTopVisibleRow;
    FViewInfo->Calculate();
  }
  if (FLeftOffset > 0 && client.Right + FLeftOffset > FViewInfo->GetMaxRowWidth() + 2) {
    FLeftOffset = std::max<Integer>(0, FLeftOffset - (client.Right + FLeftOffset - FViewInfo->GetMaxRowWidth() - 2));
    FViewInfo->Calculate();
  }
  if (HandleAllocated()) {
    UpdateScrollBars();
    Invalidate();
  }
}

void TcxCustomFilterControl::RebuildRowList() {
  FRows.clear();
  FRows.push_back(FRoot);
  AddRowsOf(FRoot);
  if (IndexOfRow(FFocusedRow) < 0) FFocusedRow = FRoot;
  if (IndexOfRow(FHotData.Row) < 0) FHotData.Row = nullptr;
}

void TcxCustomFilterControl::AddRowsOf(TcxGroupViewInfo* group) {
  for (Integer i = 0; i < group->GetRowCount(); ++i) {
    TcxCustomRowViewInfo* row = group->GetRow(i);
    FRows.push_back(row);
    if (row->IsGroup()) AddRowsOf(static_cast<TcxGroupViewInfo*>(row));
  }
}

void TcxCustomFilterControl::RemoveAllRows() {
  while (FRoot->GetRowCount() > 0) FRoot->GetRow(FRoot->GetRowCount() - 1)->Free();
  FHotData = TcxFilterControlHitData{};
  RebuildRowList();
}

void TcxCustomFilterControl::Clear() {
  {
    TFilterControlLock lock(FLockCount);
    CloseValueEditor(false);
    RemoveAllRows();
    FRoot->SetBoolOperator(fbcAnd);
    FFocusedRow = FRoot;
    FFocusedPart = fhtBoolOperator;
    FFocusedValueIndex = -1;
    FTopVisibleRow = 0;
    FLeftOffset = 0;
    FCriteria->RemoveAllItems();
  }
  Changed();
}

void TcxCustomFilterControl::BuildGroup(TcxGroupViewInfo* row, TcxFilterCriteriaItemList* group) {
  row->SetBoolOperator(group->GetBoolOperator());
  for (Integer i = 0; i < group->GetCount(); ++i) {
    TcxCustomFilterCriteriaItem* item = group->GetItem(i);
    if (item->IsGroup())
      BuildGroup(new TcxGroupViewInfo(this, item, row), static_cast<TcxFilterCriteriaItemList*>(item));
    else if (IndexOfLinkItem(static_cast<TcxFilterCriteriaItem*>(item)->GetLinkedItem()) >= 0)
      new TcxConditionViewInfo(this, item, row);
    else
      RaiseFilterControlError(GetLocalizedResourceString(&cxSFilterErrorBuilding));
  }
}

Integer TcxCustomFilterControl::IndexOfLinkItem(TObject* item) {
  IcxFilterControl* link = GetFilterLink();
  if (!link || !item) return -1;
  for (Integer i = 0; i < link->GetCount(); ++i)
    if (link->GetItemLink(i) == item) return i;
  return -1;
}

void TcxCustomFilterControl::BuildFromCriteria() {
  TFilterControlLock lock(FLockCount);
  RemoveAllRows();
  try {
    BuildGroup(FRoot, FCriteria->GetRoot());
  } catch (...) {
    // A condition the link cannot show: nothing of the tree stays half built.
    RemoveAllRows();
    RebuildRowList();
    throw;
  }
  RebuildRowList();
}

void TcxCustomFilterControl::WriteCondition(TcxConditionViewInfo* row, TcxFilterCriteriaItemList* group) {
  const TcxFilterControlOperator op = row->GetOperator();
  TcxValuesViewInfo* values = row->GetValues();
  Variant value = Null();
  AnsiString text;
  if (IsBetweenOperator(op) && values->GetCount() >= 2) {
    TcxValueInfo* first = values->GetValue(0);
    TcxValueInfo* second = values->GetValue(1);
    if (VarCompareValue(second->Value, first->Value) == vrLessThan) std::swap(first, second);
    value = VarArrayOf({first->Value, second->Value});
    text = FilterValueDisplayText(first, false) + ";" + FilterValueDisplayText(second, false);
  } else if (IsListOperator(op)) {
    value = VarArrayCreate(0, values->GetCount() - 1, varVariant);
    for (Integer i = 0; i < values->GetCount(); ++i) {
      value.PutElement(i, values->GetValue(i)->Value);
      if (i > 0) text += ";";
      text += FilterValueDisplayText(values->GetValue(i), false);
    }
  } else if (op == fcopBlanks || op == fcopNonBlanks) {
    value = values->GetCount() > 0 ? values->GetValue(0)->Value : Null();
    if (VarIsEmpty(value)) value = Null();
    text = FilterCaptionText(&cxSFilterBlankCaption);
  } else if (values->GetCount() > 0) {
    value = values->GetValue(0)->Value;
    text = FilterValueDisplayText(values->GetValue(0), op != fcopEqual && op != fcopNotEqual);
  }
  group->AddItem(row->GetItemLink(), FilterControlOperatorToOperatorKind(op), value, text);
}

void TcxCustomFilterControl::WriteGroup(TcxGroupViewInfo* row, TcxFilterCriteriaItemList* group) {
  group->SetBoolOperator(row->GetBoolOperator());
  for (Integer i = 0; i < row->GetRowCount(); ++i) {
    TcxCustomRowViewInfo* child = row->GetRow(i);
    if (child->IsGroup())
      WriteGroup(static_cast<TcxGroupViewInfo*>(child), group->AddGroup(fbcAnd));
    else
      WriteCondition(static_cast<TcxConditionViewInfo*>(child), group);
  }
}

Boolean TcxCustomFilterControl::IsValid() {
  for (TcxCustomRowViewInfo* row : FRows)
    if (!row->Ready()) return false;
  return true;
}

void TcxCustomFilterControl::BuildCriteria() {
  CloseValueEditor(true);
  if (!IsValid()) return;
  FCriteria->LockChanges();
  try {
    FCriteria->RemoveAllItems();
    WriteGroup(FRoot, FCriteria->GetRoot());
    FCriteria->PrepareItemOperators();
  } catch (...) {
    FCriteria->UnlockChanges();
    throw;
  }
  FCriteria->UnlockChanges();
}

void TcxCustomFilterControl::ApplyFilter() {
  IcxFilterControl* link = GetFilterLink();
  if (!link || !link->GetCriteria()) return;
  BuildCriteria();
  TcxFilterCriteria* target = link->GetCriteria();
  const Boolean other = target != FCriteria;
  auto copyBack = [&] {
    if (!other) return;
    FCriteria->AssignCriteria(target);
    BuildFromCriteria();
    Changed();
  };
  try {
    target->LockChanges();
    try {
      if (other) target->AssignItems(FCriteria, true);
      if (FOnApplyFilter) FOnApplyFilter(this);
    } catch (...) {
      target->UnlockChanges();
      throw;
    }
    target->UnlockChanges();
  } catch (...) {
    copyBack();
    throw;
  }
  copyBack();
}

AnsiString TcxCustomFilterControl::GetFilterCaption() {
  BuildCriteria();
  return FCriteria->GetFilterCaption();
}

AnsiString TcxCustomFilterControl::GetFilterText() {
  BuildCriteria();
  return FCriteria->GetFilterText();
}

void TcxCustomFilterControl::LoadFromFile(const AnsiString& fileName) {
  std::unique_ptr<TFileStream, orv::FreeDeleter> stream(new TFileStream(fileName, fmOpenRead | fmShareDenyWrite));
  LoadFromStream(stream.get());
}

void TcxCustomFilterControl::LoadFromStream(TStream* stream) {
  if (!HasItems()) RaiseFilterControlError(GetLocalizedResourceString(&cxSFilterErrorBuilding));
  Clear();
  try {
    FCriteria->ReadBinaryData(stream);
    BuildFromCriteria();
  } catch (...) {
    // A damaged file leaves an empty filter, never a part of one.
    {
      TFilterControlLock lock(FLockCount);
      FCriteria->RemoveAllItems();
      RemoveAllRows();
    }
    Changed();
    throw;
  }
  Changed();
}

void TcxCustomFilterControl::SaveToFile(const AnsiString& fileName) {
  // Built first, so that a rejected value leaves any existing file alone.
  BuildCriteria();
  std::unique_ptr<TFileStream, orv::FreeDeleter> stream(new TFileStream(fileName, fmCreate));
  FCriteria->WriteToStream(stream.get());
}

void TcxCustomFilterControl::SaveToStream(TStream* stream) {
  BuildCriteria();
  FCriteria->WriteToStream(stream);
}

void TcxCustomFilterControl::RefreshTexts() {
  if (FRowMenu) {
    FRowMenu->GetItems()->GetItem(0)->SetCaption(GetLocalizedResourceString(&cxSFilterAddCondition));
    FRowMenu->GetItems()->GetItem(1)->SetCaption(GetLocalizedResourceString(&cxSFilterAddGroup));
    FRowMenu->GetItems()->GetItem(2)->SetCaption("-");
  }
  FRoot->SetCaption(GetLocalizedResourceString(&cxSFilterRootGroupCaption));
  FViewInfo->SetAddConditionCaption(GetLocalizedResourceString(&cxSFilterFooterAddCondition));
  FNullString = GetLocalizedResourceString(&cxSFilterControlNullString);
  for (TcxCustomRowViewInfo* row : FRows)
    if (!row->IsGroup()) {
      auto* condition = static_cast<TcxConditionViewInfo*>(row);
      condition->FOperatorText = GetFilterControlOperatorText(condition->GetOperator());
    }
  Changed();
}

// ---- properties ----

void TcxCustomFilterControl::FontChangedHandler(TObject* sender) { Changed(); }

void TcxCustomFilterControl::SetFontBoolOperator(TFont* value) { FFonts[0]->Assign(value); }
void TcxCustomFilterControl::SetFontItem(TFont* value) { FFonts[1]->Assign(value); }
void TcxCustomFilterControl::SetFontCondition(TFont* value) { FFonts[2]->Assign(value); }
void TcxCustomFilterControl::SetFontValue(TFont* value) { FFonts[3]->Assign(value); }

void TcxCustomFilterControl::SetHotTrackOnUnfocused(Boolean value) {
  if (FHotTrackOnUnfocused == value) return;
  FHotTrackOnUnfocused = value;
  Changed();
}

void TcxCustomFilterControl::SetNullString(const AnsiString& value) {
  if (FNullString == value) return;
  FNullString = value;
  Changed();
}

void TcxCustomFilterControl::SetShowLevelLines(Boolean value) {
  if (FShowLevelLines == value) return;
  FShowLevelLines = value;
  Changed();
}

void TcxCustomFilterControl::SetWantTabs(Boolean value) {
  if (FWantTabs == value) return;
  FWantTabs = value;
  TcxKeys keys{kArrows, kChars};
  if (value) keys.Include(kTab);
  SetWantedKeys(keys);
}

void TcxCustomFilterControl::FontChanged() {
  inherited::FontChanged();
  if (!FFonts[0] || (IsLoading() && !GetComponentState().Contains(csReading))) return;
  {
    TFilterControlLock lock(FLockCount);
    for (TFont* font : FFonts) {
      font->SetName(GetFont()->GetName());
      font->SetHeight(GetFont()->GetHeight());
      font->SetCharset(GetFont()->GetCharset());
    }
  }
  Changed();
}

// ---- window ----

void TcxCustomFilterControl::CreateWnd() {
  inherited::CreateWnd();
  RefreshTexts();
}

void TcxCustomFilterControl::SetInternalControlsParent() {
  inherited::SetInternalControlsParent();
  if (FChooser) FChooser->SetParent(this);
}

Integer TcxCustomFilterControl::GetBorderSize() { return GetPainter()->ControlBorderWidth(); }

void TcxCustomFilterControl::UpdateChooserColor() {
  if (FChooser) FChooser->GetStyle()->SetColor(FViewInfo->GetPainter()->GetBackgroundColor());
}

void TcxCustomFilterControl::LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) {
  inherited::LookAndFeelChanged(sender, changedValues);
  Changed();
  UpdateChooserColor();
}

void TcxCustomFilterControl::Resize() {
  inherited::Resize();
  Changed();
}

void TcxCustomFilterControl::Paint() { FViewInfo->Paint(GetCanvas()); }

TCursor TcxCustomFilterControl::GetCurrentCursor(Integer x, Integer y) {
  if (HotTrackApplies() && FHotData.HitTest != fhtNone) return crHandPoint;
  return inherited::GetCurrentCursor(x, y);
}

// ---- scrolling ----

void TcxCustomFilterControl::InitScrollBarsParameters() {
  const Integer rowHeight = FViewInfo->GetRowHeight();
  if (rowHeight == 0) return;
  const TRect client = GetClientBounds();
  SetScrollBarParams(sbVertical, 0, GetRowCount() - 1, 1, client.Height() / rowHeight - 1, FTopVisibleRow, true,
                     true);
  SetScrollBarParams(sbHorizontal, 0, FViewInfo->GetMaxRowWidth(), 1, client.Width(), FLeftOffset, true, true);
}

void TcxCustomFilterControl::Scroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  const TRect client = GetClientBounds();
  const Integer rowHeight = std::max<Integer>(FViewInfo->GetRowHeight(), 1);
  if (kind == sbVertical) {
    const Integer page = std::max<Integer>(client.Height() / rowHeight - 1, 1);
    Integer value = FTopVisibleRow;
    switch (code) {
      case scLineUp: value -= 1; break;
      case scLineDown: value += 1; break;
      case scPageUp: value -= page; break;
      case scPageDown: value += page; break;
      case scTrack: case scPosition: value = position; break;
      default: return;
    }
    value = std::clamp<Integer>(value, 0, std::max<Integer>(GetRowCount() - client.Height() / rowHeight + 1, 0));
    position = value;
    if (value != FTopVisibleRow) {
      FTopVisibleRow = value;
      Changed();
    }
  } else {
    Integer value = FLeftOffset;
    switch (code) {
      case scLineUp: value -= 8; break;
      case scLineDown: value += 8; break;
      case scPageUp: value -= client.Width(); break;
      case scPageDown: value += client.Width(); break;
      case scTrack: case scPosition: value = position; break;
      default: return;
    }
    value = std::clamp<Integer>(value, 0, std::max<Integer>(FViewInfo->GetMaxRowWidth() - client.Width() + 1, 0));
    position = value;
    if (value != FLeftOffset) {
      FLeftOffset = value;
      Changed();
    }
  }
}

TRect TcxCustomFilterControl::FocusedPartRect() {
  TcxCustomRowViewInfo* row = FFocusedRow;
  if (FFocusedPart == fhtAddCondition) return FViewInfo->GetAddConditionRect();
  if (!row) return TRect{};
  switch (FFocusedPart) {
    case fhtButton: {
      TRect r = row->GetButtonRect();
      if (row == FRoot) r.Left -= 4;
      return r;
    }
    case fhtBoolOperator:
      return row->IsGroup() ? static_cast<TcxGroupViewInfo*>(row)->GetBoolOperatorRect() : TRect{};
    case fhtItem:
      return row->IsGroup() ? TRect{} : static_cast<TcxConditionViewInfo*>(row)->GetItemRect();
    case fhtOperator:
      return row->IsGroup() ? TRect{} : static_cast<TcxConditionViewInfo*>(row)->GetOperatorRect();
    case fhtValue: {
      if (row->IsGroup()) return TRect{};
      TcxValuesViewInfo* values = static_cast<TcxConditionViewInfo*>(row)->GetValues();
      return FFocusedValueIndex >= 0 && FFocusedValueIndex < values->GetCount()
                 ? values->GetValue(FFocusedValueIndex)->ValueRect
                 : TRect{};
    }
    case fhtAddValue:
      return row->IsGroup() ? TRect{} : static_cast<TcxConditionViewInfo*>(row)->GetValues()->GetAddButtonRect();
    default:
      return TRect{};
  }
}

void TcxCustomFilterControl::MakeFocusedVisible() {
  TFilterControlLock lock(FLockCount);
  FViewInfo->Calculate();
  const TRect client = GetClientBounds();
  const Integer rowHeight = FViewInfo->GetRowHeight();
  const Integer index = FFocusedPart == fhtAddCondition ? GetRowCount() : IndexOfRow(FFocusedRow);
  if (index >= 0 && index < FTopVisibleRow) {
    FTopVisibleRow = index;
  } else if (rowHeight > 0) {
    Integer bottom = FFocusedPart == fhtAddCondition ? FViewInfo->GetAddConditionRect().Bottom
                                                     : (FFocusedRow ? FFocusedRow->GetRowRect().Bottom : 0);
    while (bottom > client.Bottom && FTopVisibleRow < GetRowCount()) {
      ++FTopVisibleRow;
      bottom -= rowHeight;
    }
  }
  FViewInfo->Calculate();
  TRect r = FocusedPartRect();
  if (!RectIsEmpty(r)) {
    Integer dx = 0;
    if (r.Right >= client.Right) dx = r.Right - (client.Right - 2);
    if (r.Left - dx < client.Left) dx = r.Left - client.Left;
    FLeftOffset = std::max<Integer>(0, FLeftOffset + dx);
  }
  LayoutChanged();
}

void TcxCustomFilterControl::SetFocusedPart(TcxFilterControlHitTest part, TcxCustomRowViewInfo* row,
                                            Integer valueIndex) {
  if (row) FFocusedRow = row;
  FFocusedPart = part;
  if (FFocusedRow && !FFocusedRow->IsGroup()) {
    TcxValuesViewInfo* values = static_cast<TcxConditionViewInfo*>(FFocusedRow)->GetValues();
    if (valueIndex >= 0 && valueIndex < values->GetCount()) FFocusedValueIndex = valueIndex;
  }
  MakeFocusedVisible();
}

// ---- moving the focus ----

namespace {

TcxFilterControlHitTest FirstPartOf(TcxCustomRowViewInfo* row) { return row->IsGroup() ? fhtBoolOperator : fhtItem; }

}  // namespace

void TcxCustomFilterControl::MoveDown(Boolean wrap) {
  const Integer index = IndexOfRow(FFocusedRow);
  if (FFocusedPart == fhtAddCondition) return;
  if (index >= GetRowCount() - 1) {
    SetFocusedPart(fhtAddCondition);
    return;
  }
  TcxCustomRowViewInfo* next = GetRow(index + 1);
  SetFocusedPart(wrap ? fhtButton : FirstPartOf(next), next);
}

void TcxCustomFilterControl::MoveUp(Boolean wrap) {
  TcxCustomRowViewInfo* target = nullptr;
  if (FFocusedPart == fhtAddCondition)
    target = GetRow(GetRowCount() - 1);
  else if (FFocusedRow == FRoot)
    return;
  else
    target = GetRow(IndexOfRow(FFocusedRow) - 1);
  if (!wrap || target->IsGroup()) {
    SetFocusedPart(FirstPartOf(target), target);
    return;
  }
  auto* condition = static_cast<TcxConditionViewInfo*>(target);
  if (condition->HasValues() && condition->GetValues()->GetCount() > 0) {
    if (IsListOperator(condition->GetOperator()))
      SetFocusedPart(fhtAddValue, target);
    else
      SetFocusedPart(fhtValue, target, condition->GetValues()->GetCount() - 1);
  } else {
    SetFocusedPart(fhtOperator, target);
  }
}

void TcxCustomFilterControl::MoveRight(Boolean wrap) {
  TcxCustomRowViewInfo* row = FFocusedRow;
  auto* condition = row && !row->IsGroup() ? static_cast<TcxConditionViewInfo*>(row) : nullptr;
  switch (FFocusedPart) {
    case fhtButton:
      SetFocusedPart(FirstPartOf(row));
      break;
    case fhtBoolOperator:
      if (wrap) MoveDown(true);
      break;
    case fhtItem:
      SetFocusedPart(fhtOperator);
      break;
    case fhtOperator:
      if (condition && condition->HasValues() && condition->GetValues()->GetCount() > 0)
        SetFocusedPart(fhtValue, nullptr, 0);
      else if (wrap)
        MoveDown(true);
      break;
    case fhtValue:
      if (condition && FFocusedValueIndex < condition->GetValues()->GetCount() - 1)
        SetFocusedPart(fhtValue, nullptr, FFocusedValueIndex + 1);
      else if (condition && IsListOperator(condition->GetOperator()))
        SetFocusedPart(fhtAddValue);
      else if (wrap)
        MoveDown(true);
      break;
    case fhtAddCondition:
      if (!wrap) {
        TcxCustomRowViewInfo* last = GetRow(GetRowCount() - 1);
        SetFocusedPart(FirstPartOf(last), last);
      }
      break;
    case fhtAddValue:
      if (wrap) MoveDown(true);
      break;
    default:
      break;
  }
}

void TcxCustomFilterControl::MoveLeft(Boolean wrap) {
  switch (FFocusedPart) {
    case fhtButton:
      if (wrap) MoveUp(true);
      break;
    case fhtBoolOperator:
    case fhtItem:
      SetFocusedPart(fhtButton);
      break;
    case fhtOperator:
      SetFocusedPart(fhtItem);
      break;
    case fhtValue:
      if (FFocusedValueIndex > 0)
        SetFocusedPart(fhtValue, nullptr, FFocusedValueIndex - 1);
      else
        SetFocusedPart(fhtOperator);
      break;
    case fhtAddValue:
      SetFocusedPart(fhtValue);
      break;
    case fhtAddCondition:
      MoveUp(wrap);
      break;
    default:
      break;
  }
}

// ---- row operations ----

TcxGroupViewInfo* TcxCustomFilterControl::GroupOf(TcxCustomRowViewInfo* row) {
  if (!row) row = FRoot;
  return row->IsGroup() ? static_cast<TcxGroupViewInfo*>(row) : row->GetParent();
}

void TcxCustomFilterControl::AddCondition(TcxCustomRowViewInfo* row) {
  if (!HasItems()) return;
  if (!row) row = GetRow(GetRowCount() - 1);
  TcxConditionViewInfo* condition = nullptr;
  {
    TFilterControlLock lock(FLockCount);
    condition = new TcxConditionViewInfo(this, nullptr, GroupOf(row));
    RebuildRowList();
    FFocusedPart = fhtAddCondition;
    MakeFocusedVisible();
  }
  SetFocusedPart(fhtItem, condition);
}

void TcxCustomFilterControl::AddGroup() {
  if (!HasItems()) return;
  TcxGroupViewInfo* group = nullptr;
  {
    TFilterControlLock lock(FLockCount);
    group = new TcxGroupViewInfo(this, nullptr, GroupOf(FFocusedRow));
    RebuildRowList();
  }
  AddCondition(group);
}

void TcxCustomFilterControl::AddValue() {
  if (!HasItems() || !FFocusedRow || FFocusedRow->IsGroup()) return;
  TcxValuesViewInfo* values = static_cast<TcxConditionViewInfo*>(FFocusedRow)->GetValues();
  values->AddValue();
  FFocusedPart = fhtValue;
  FFocusedValueIndex = values->GetCount() - 1;
  FViewInfo->Calculate();
  FLeftOffset = std::max<Integer>(0, FViewInfo->GetMaxRowWidth() - GetClientBounds().Width() + 2);
  LayoutChanged();
}

void TcxCustomFilterControl::Remove() {
  if (!HasItems() || !FFocusedRow) return;
  if (FFocusedPart == fhtValue && !FFocusedRow->IsGroup()) {
    auto* condition = static_cast<TcxConditionViewInfo*>(FFocusedRow);
    if (IsListOperator(condition->GetOperator()) && condition->GetValues()->GetCount() > 1) {
      condition->GetValues()->RemoveValue(FFocusedValueIndex);
      if (FFocusedValueIndex > 0) --FFocusedValueIndex;
      LayoutChanged();
      return;
    }
  }
  if (FFocusedRow == FRoot) return;
  TcxCustomRowViewInfo* row = FFocusedRow;
  while (row->GetParent() != FRoot && row->GetParent()->GetRowCount() == 1) row = row->GetParent();
  TcxCustomRowViewInfo* previous = GetRow(IndexOfRow(row) - 1);
  {
    TFilterControlLock lock(FLockCount);
    FFocusedRow = previous;
    FFocusedPart = FirstPartOf(previous);
    FHotData = TcxFilterControlHitData{};
    row->Free();
    RebuildRowList();
  }
  MakeFocusedVisible();
}

// ---- activation, menu and choosers ----

void TcxCustomFilterControl::ActivatePart(Boolean byMouse) {
  switch (FFocusedPart) {
    case fhtButton: ShowRowMenu(); break;
    case fhtBoolOperator: SelectBoolOperator(); break;
    case fhtItem: SelectItem(); break;
    case fhtOperator: SelectOperator(); break;
    case fhtValue: ShowValueEditor(byMouse ? 2 : 0); break;
    case fhtAddCondition: AddCondition(); break;
    case fhtAddValue: AddValue(); break;
    default: break;
  }
}

void TcxCustomFilterControl::ShowRowMenu() {
  if (!FRowMenu || !FFocusedRow) return;
  TMenuItem* items = FRowMenu->GetItems();
  const Boolean root = FFocusedRow == FRoot;
  items->GetItem(3)->SetCaption(GetLocalizedResourceString(root ? &cxSFilterClearAll : &cxSFilterRemoveRow));
  const Boolean removable = !root || FRoot->GetRowCount() > 0;
  items->GetItem(2)->SetVisible(removable);
  items->GetItem(3)->SetVisible(removable);
  const TRect button = FFocusedRow->GetButtonRect();
  const TPoint at = ClientToScreen(TPoint{button.Left, button.Bottom});
  FChooserMode = 1;
  try {
    FRowMenu->Popup(at.X, at.Y);
  } catch (...) {
    FChooserMode = 0;
    throw;
  }
  FChooserMode = 0;
}

void TcxCustomFilterControl::MenuItemClick(TObject* sender) {
  auto* item = static_cast<TMenuItem*>(sender);
  switch (item->GetTag()) {
    case 0: AddCondition(FFocusedRow); break;
    case 1: AddGroup(); break;
    case 3:
      if (FFocusedRow == FRoot)
        Clear();
      else
        Remove();
      break;
    default: break;
  }
}

void TcxCustomFilterControl::FillItems(TStrings* items) {
  IcxFilterControl* link = GetFilterLink();
  if (!link) return;
  std::vector<std::pair<AnsiString, Integer>> entries;
  for (Integer i = 0; i < link->GetCount(); ++i) {
    entries.emplace_back(link->GetCaption(i), i);
  }
  if (FSortItems)
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return AnsiCompareText(a.first, b.first) < 0; });
  for (const auto& entry : entries)
    items->AddObject(entry.first, reinterpret_cast<TObject*>(static_cast<intptr_t>(entry.second)));
}

void TcxCustomFilterControl::FillOperators(TStrings* items) {
  if (!FFocusedRow || FFocusedRow->IsGroup()) return;
  auto* condition = static_cast<TcxConditionViewInfo*>(FFocusedRow);
  for (Integer op = 1; op < kFilterControlOperatorCount; ++op)
    if (condition->GetSupportedOperators().Contains(op))
      items->AddObject(GetFilterControlOperatorText(op), reinterpret_cast<TObject*>(static_cast<intptr_t>(op)));
}

void TcxCustomFilterControl::AdjustSupportedOperators(TcxConditionViewInfo* row) {
  if (!FCriteria->GetSupportedLike()) {
    row->FSupportedOperators.Exclude(fcopLike);
    row->FSupportedOperators.Exclude(fcopNotLike);
  }
}

void TcxCustomFilterControl::ShowChooser(Integer mode, TFont* font, const TRect& rect, const AnsiString& text) {
  TStrings* items = FChooser->GetProperties()->GetItems();
  if (items->GetCount() == 0) return;
  FChooserMode = mode;
  FChooser->GetStyle()->GetFont()->Assign(font);
  FChooser->SetBounds(rect.Left, rect.Top, std::max<Integer>(rect.Width() + 24, 60), rect.Height() + 4);
  FChooser->GetProperties()->SetDropDownRows(std::min<Integer>(items->GetCount(), 12));
  FChooser->SetVisible(true);
  FChooser->SetEditValueProperty(Variant(text));
  FChooser->SetModifiedAfterEnter(false);
  FChooser->SetFocus();
  FChooser->ChangeDropState(true);
}

void TcxCustomFilterControl::SelectItem() {
  if (!HasItems() || !FFocusedRow || FFocusedRow->IsGroup()) return;
  TStrings* items = FChooser->GetProperties()->GetItems();
  items->Clear();
  FillItems(items);
  auto* condition = static_cast<TcxConditionViewInfo*>(FFocusedRow);
  ShowChooser(2, GetFontItem(), condition->GetItemRect(), condition->GetItemText());
}

void TcxCustomFilterControl::SelectOperator() {
  if (!HasItems() || !FFocusedRow || FFocusedRow->IsGroup()) return;
  TStrings* items = FChooser->GetProperties()->GetItems();
  items->Clear();
  FillOperators(items);
  auto* condition = static_cast<TcxConditionViewInfo*>(FFocusedRow);
  ShowChooser(4, GetFontCondition(), condition->GetOperatorRect(), condition->GetOperatorText());
}

void TcxCustomFilterControl::SelectBoolOperator() {
  if (!HasItems() || !FFocusedRow || !FFocusedRow->IsGroup()) return;
  TStrings* items = FChooser->GetProperties()->GetItems();
  items->Clear();
  for (Integer i = 0; i < 4; ++i)
    items->AddObject(GetLocalizedResourceString(kBoolOperatorTexts[i]), reinterpret_cast<TObject*>(intptr_t(i)));
  auto* group = static_cast<TcxGroupViewInfo*>(FFocusedRow);
  ShowChooser(3, GetFontBoolOperator(), group->GetBoolOperatorRect(), group->GetBoolOperatorText());
}

void TcxCustomFilterControl::ChooserKeyPress(TObject* sender, char& key) {
  if (key == ' ') {
    key = 0;
    if (FChooser->HasOpenPopup()) FChooser->CloseUp(dcrAccept);
  }
}

void TcxCustomFilterControl::ChooserCloseUp(TObject* sender) {
  const Integer mode = FChooserMode;
  const Integer index = FChooser->GetItemIndexProperty();
  TStrings* items = FChooser->GetProperties()->GetItems();
  const Boolean chosen = index >= 0 && index < items->GetCount();
  const Integer value = chosen ? Integer(reinterpret_cast<intptr_t>(items->GetObject(index))) : -1;
  FChooserMode = 0;
  if (chosen && FFocusedRow) {
    TFilterControlLock lock(FLockCount);
    if (mode == 2 && !FFocusedRow->IsGroup()) {
      auto* condition = static_cast<TcxConditionViewInfo*>(FFocusedRow);
      if (value != condition->GetItemIndex()) {
        condition->SetItem(value);
        if (condition->GetSupportedOperators().Contains(fcopLike) && condition->GetValueType().Get() &&
            condition->GetValueType()->IsString())
          condition->SetOperator(fcopLike);
      }
      FFocusedPart = fhtOperator;
    } else if (mode == 3 && FFocusedRow->IsGroup()) {
      static_cast<TcxGroupViewInfo*>(FFocusedRow)->SetBoolOperator(TcxFilterBoolCode(value));
    } else if (mode == 4 && !FFocusedRow->IsGroup()) {
      auto* condition = static_cast<TcxConditionViewInfo*>(FFocusedRow);
      if (value != condition->GetOperator()) condition->SetOperator(TcxFilterControlOperator(value));
      if (condition->HasValues()) {
        FFocusedPart = fhtValue;
        FFocusedValueIndex = 0;
      }
    }
  }
  FChooser->SetVisible(false);
  MakeFocusedVisible();
  if (CanFocus()) SetFocus();
}

void TcxCustomFilterControl::ChooserExit(TObject* sender) {
  if (FChooser->HasOpenPopup()) return;
  FChooser->SetVisible(false);
  FChooserMode = 0;
}

// ---- value editor ----

void TcxCustomFilterControl::ShowValueEditor(Integer activation, char key) {
  if (!HasItems() || !FFocusedRow || FFocusedRow->IsGroup() || FFocusedPart != fhtValue) return;
  auto* condition = static_cast<TcxConditionViewInfo*>(FFocusedRow);
  TcxValuesViewInfo* values = condition->GetValues();
  if (FFocusedValueIndex < 0 || FFocusedValueIndex >= values->GetCount()) return;
  MakeFocusedVisible();
  TcxValueInfo* info = values->GetValue(FFocusedValueIndex);
  TcxCustomEdit* edit = GetFilterEdit(condition->GetFilterEditHelper(), condition->GetItemProperties(), FEditList);
  condition->GetFilterEditHelper()->SetEditValue(edit, edit->GetEffectiveProperties(), info->Value);
  if (auto* text = dynamic_cast<TcxCustomTextEditProperties*>(edit->GetEffectiveProperties())) {
    const TcxFilterControlOperator op = condition->GetOperator();
    if (op == fcopLike || op == fcopNotLike) {
      TcxCharSet chars = text->GetExtraValidChars();
      chars.set(static_cast<unsigned char>(FCriteria->GetPercentWildcard()));
      chars.set(static_cast<unsigned char>(FCriteria->GetUnderscoreWildcard()));
      text->SetExtraValidChars(chars);
    }
  }
  FValueEditor = edit;
  edit->SetParent(this);
  // The value cells' own style (FontValue, the control's look and feel, its button look) on a
  // white ground, so the open editor looks like the cell it covers.
  edit->GetStyle()->Assign(FEditStyle);
  edit->GetStyle()->SetColor(clWindow);
  const TRect r = info->ValueRect;
  edit->SetBounds(r.Left, r.Top, std::max<Integer>(r.Width(), FViewInfo->GetMinValueWidth()), r.Height());
  edit->SetOnKeyDown(TKeyEvent(this, &TcxCustomFilterControl::EditorKeyDown));
  edit->SetOnExit(TNotifyEvent(this, &TcxCustomFilterControl::EditorExit));
  FChooserMode = 5;
  switch (activation) {
    case 1: edit->ActivateByKey(key, condition->EditData()); break;
    case 2: edit->ActivateByMouse(FMouseDownShift, FMouseDownPos.X - r.Left, FMouseDownPos.Y - r.Top, condition->EditData()); break;
    default: edit->Activate(condition->EditData()); break;
  }
}

void TcxCustomFilterControl::CloseValueEditor(Boolean accept) {
  FValueRejected = false;
  FChooserMode = 0;
  TcxCustomEdit* edit = FValueEditor;
  if (!edit) return;
  if (accept) {
    FChooserMode = 5;
    if (!edit->Deactivate()) throw EAbort("");
    auto* condition = static_cast<TcxConditionViewInfo*>(FFocusedRow);
    Variant value;
    AnsiString text;
    condition->GetFilterEditHelper()->GetEditValueAndText(edit, edit->GetEffectiveProperties(), text, value);
    try {
      ValidateFilterValue(edit, value, condition->GetOperator(), condition->GetValueType(),
                          condition->GetFilterEditHelper());
    } catch (...) {
      FValueRejected = true;
      throw;
    }
    FChooserMode = 0;
    TcxValuesViewInfo* values = condition->GetValues();
    if (FFocusedValueIndex >= 0 && FFocusedValueIndex < values->GetCount()) {
      values->GetValue(FFocusedValueIndex)->Value = value;
      values->GetValue(FFocusedValueIndex)->ValueText = VarIsNull(value) ? AnsiString() : text;
    }
  }
  FValueEditor = nullptr;
  edit->SetOnKeyDown(TKeyEvent());
  edit->SetOnExit(TNotifyEvent());
  edit->SetModifiedAfterEnter(false);
  const Boolean hadFocus = edit->Focused();
  edit->SetParent(nullptr);
  if (hadFocus && CanFocus()) SetFocus();
  MakeFocusedVisible();
}

void TcxCustomFilterControl::EditorKeyDown(TObject* sender, Word& key, TShiftState shift) {
  auto accept = [&] {
    try {
      CloseValueEditor(true);
    } catch (...) {
      if (FValueEditor && FValueEditor->CanFocus()) FValueEditor->SetFocus();
      throw;
    }
    if (CanFocus()) SetFocus();
  };
  switch (key) {
    case VK_RETURN:
      key = 0;
      accept();
      break;
    case VK_ESCAPE:
      key = 0;
      CloseValueEditor(false);
      if (CanFocus()) SetFocus();
      break;
    case VK_DELETE:
      if (shift.Contains(ssCtrl)) {
        key = 0;
        CloseValueEditor(false);
        if (CanFocus()) SetFocus();
        Remove();
      }
      break;
    case VK_TAB:
      if (FWantTabs) {
        key = 0;
        accept();
        if (shift.Contains(ssShift))
          MoveLeft(true);
        else
          MoveRight(true);
      }
      break;
    case VK_UP:
    case VK_DOWN: {
      const Word k = key;
      key = 0;
      accept();
      if (k == VK_UP)
        MoveUp(false);
      else
        MoveDown(false);
      break;
    }
    default:
      break;
  }
}

void TcxCustomFilterControl::EditorExit(TObject* sender) {
  if (!FValueEditor) return;
  try {
    CloseValueEditor(true);
  } catch (const EAbort&) {
  }
}

// ---- keyboard and mouse ----

void TcxCustomFilterControl::KeyDown(Word& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  if (!HasItems()) return;
  switch (key) {
    case VK_TAB:
      if (shift.Contains(ssCtrl)) {
        if (TWinControl* parent = GetParent()) parent->SelectNext(this, !shift.Contains(ssShift), true);
      } else if (shift.Contains(ssShift)) {
        MoveLeft(true);
      } else {
        MoveRight(true);
      }
      key = 0;
      break;
    case VK_LEFT: MoveLeft(false); break;
    case VK_RIGHT: MoveRight(false); break;
    case VK_UP: MoveUp(false); break;
    case VK_DOWN: MoveDown(false); break;
    case VK_INSERT:
      if (shift.Empty()) AddCondition(FFocusedRow);
      break;
    case VK_DELETE:
      if (shift.Contains(ssCtrl)) Remove();
      break;
    default:
      break;
  }
}

void TcxCustomFilterControl::KeyPress(char& key) {
  inherited::KeyPress(key);
  if (!HasItems() || key == 0) return;
  if (key == '\r' || key == ' ') {
    key = 0;
    ActivatePart(false);
  } else if (key != 27 && key != '\t' && FFocusedPart == fhtValue && static_cast<unsigned char>(key) >= 32) {
    const char typed = key;
    key = 0;
    ShowValueEditor(1, typed);
  }
}

void TcxCustomFilterControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  inherited::MouseDown(button, shift, x, y);
  if (FValueRejected || !HasItems()) return;
  FViewInfo->GetHitTestInfo(shift, TPoint{x, y}, FHotData);
  if (FHotData.HitTest == fhtNone || FChooserMode != 0 || button != mbLeft) return;
  FMouseDownPos = TPoint{x, y};
  FMouseDownShift = shift;
  FFocusedPart = FHotData.HitTest;
  if (FHotData.HitTest != fhtAddCondition) FFocusedRow = FHotData.Row;
  if (FHotData.HitTest == fhtValue) FFocusedValueIndex = FHotData.ValueIndex;
  MakeFocusedVisible();
  ActivatePart(true);
}

void TcxCustomFilterControl::MouseMove(TShiftState shift, Integer x, Integer y) {
  inherited::MouseMove(shift, x, y);
  TcxFilterControlHitData old = FHotData;
  FViewInfo->GetHitTestInfo(shift, TPoint{x, y}, FHotData);
  auto shows = [](TcxFilterControlHitTest part) {
    return part == fhtButton || part == fhtValue || part == fhtAddCondition || part == fhtAddValue;
  };
  if (!shows(old.HitTest) && !shows(FHotData.HitTest)) return;
  if (old.Row != FHotData.Row || old.HitTest != FHotData.HitTest || old.ValueIndex != FHotData.ValueIndex) {
    FViewInfo->Calculate();
    FViewInfo->InvalidateRow(old.Row);
    FViewInfo->InvalidateRow(FHotData.Row);
  }
}

void TcxCustomFilterControl::MouseLeave(TControl* control) {
  inherited::MouseLeave(control);
  FHotData = TcxFilterControlHitData{};
  Changed();
}

void TcxCustomFilterControl::FocusChanged() {
  inherited::FocusChanged();
  Changed();
}

// ==== The published control ====================================================================

IcxFilterControl* TcxFilterControl::GetFilterLink() {
  return FLinkComponent ? Supports<IcxFilterControl>(FLinkComponent) : nullptr;
}

void TcxFilterControl::SetLinkComponent(TComponent* value) {
  if (value && !Supports<IcxFilterControl>(value)) value = nullptr;
  if (FLinkComponent == value) return;
  if (FLinkComponent) FLinkComponent->RemoveFreeNotification(this);
  FLinkComponent = value;
  if (FLinkComponent) FLinkComponent->FreeNotification(this);
  LinkChanged();
}

void TcxFilterControl::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FLinkComponent) {
    FLinkComponent = nullptr;
    if (!IsDestroying()) LinkChanged();
  }
}

void TcxFilterControl::LinkChanged() {
  IcxFilterControl* link = GetFilterLink();
  if (link && link->GetCriteria()) {
    if (link->GetCriteria() != GetCriteria()) GetCriteria()->AssignCriteria(link->GetCriteria(), true);
    BuildFromCriteria();
    Changed();
  } else {
    Clear();
  }
}

ORV_PUBLISH(TcxFilterControl) {
  using T = TcxFilterControl;
  orv::PublishLayout(p);
  orv::PublishState(p);
  orv::PublishFont(p);
  orv::PublishTabs(p, true);
  orv::PublishKeyEvents(p);
  p.Property("Color", &T::GetColor, &T::SetColor).Kind("TColor").Default(clBtnFace);
  p.Property("FontBoolOperator", &T::GetFontBoolOperator, &T::SetFontBoolOperator);
  p.Property("FontCondition", &T::GetFontCondition, &T::SetFontCondition);
  p.Property("FontItem", &T::GetFontItem, &T::SetFontItem);
  p.Property("FontValue", &T::GetFontValue, &T::SetFontValue);
  p.Property("HotTrackOnUnfocused", &T::GetHotTrackOnUnfocused, &T::SetHotTrackOnUnfocused).Default(true);
  p.Property("LinkComponent", &T::GetLinkComponent, &T::SetLinkComponent);
  p.Property("LookAndFeel", &T::GetLookAndFeel, &T::SetLookAndFeel);
  p.Property("NullString", &T::GetNullString, &T::SetNullString);
  p.Property("ShowLevelLines", &T::GetShowLevelLines, &T::SetShowLevelLines).Default(true);
  p.Property("SortItems", &T::GetSortItems, &T::SetSortItems).Default(false);
  p.Property("WantTabs", &T::GetWantTabs, &T::SetWantTabs).Default(false);
  p.Property("OnApplyFilter", &T::GetOnApplyFilter, &T::SetOnApplyFilter);
}
