#include "components/grid/cxGridStrs.h"

namespace {

void AddGridResourceStrings(TdxProductResourceStrings* product) {
  product->AddResourceString("scxGridRecursiveLevels", &scxGridRecursiveLevels);
  product->AddResourceString("scxGridDeletingConfirmationCaption", &scxGridDeletingConfirmationCaption);
  product->AddResourceString("scxGridDeletingFocusedConfirmationText", &scxGridDeletingFocusedConfirmationText);
  product->AddResourceString("scxGridDeletingSelectedConfirmationText", &scxGridDeletingSelectedConfirmationText);
  product->AddResourceString("scxGridNoDataInfoText", &scxGridNoDataInfoText);
  product->AddResourceString("scxGridFilterRowInfoText", &scxGridFilterRowInfoText);
  product->AddResourceString("scxGridNewItemRowInfoText", &scxGridNewItemRowInfoText);
  product->AddResourceString("scxGridFilterIsEmpty", &scxGridFilterIsEmpty);
  product->AddResourceString("scxGridCustomizationFormCaption", &scxGridCustomizationFormCaption);
  product->AddResourceString("scxGridCustomizationFormColumnsPageCaption", &scxGridCustomizationFormColumnsPageCaption);
  product->AddResourceString("scxGridGroupByBoxCaption", &scxGridGroupByBoxCaption);
  product->AddResourceString("scxGridFilterApplyButtonCaption", &scxGridFilterApplyButtonCaption);
  product->AddResourceString("scxGridFilterCustomizeButtonCaption", &scxGridFilterCustomizeButtonCaption);
  product->AddResourceString("scxGridColumnsQuickCustomizationHint", &scxGridColumnsQuickCustomizationHint);
  product->AddResourceString("scxGridCustomizationFormBandsPageCaption", &scxGridCustomizationFormBandsPageCaption);
  product->AddResourceString("scxGridBandsQuickCustomizationHint", &scxGridBandsQuickCustomizationHint);
  product->AddResourceString("scxGridCustomizationFormRowsPageCaption", &scxGridCustomizationFormRowsPageCaption);
  product->AddResourceString("scxGridConverterIntermediaryMissing", &scxGridConverterIntermediaryMissing);
  product->AddResourceString("scxGridConverterNotExistGrid", &scxGridConverterNotExistGrid);
  product->AddResourceString("scxGridConverterNotExistComponent", &scxGridConverterNotExistComponent);
  product->AddResourceString("scxImportErrorCaption", &scxImportErrorCaption);
  product->AddResourceString("scxNotExistGridView", &scxNotExistGridView);
  product->AddResourceString("scxNotExistGridLevel", &scxNotExistGridLevel);
  product->AddResourceString("scxCantCreateExportOutputFile", &scxCantCreateExportOutputFile);
  product->AddResourceString("cxSEditRepositoryExtLookupComboBoxItem", &cxSEditRepositoryExtLookupComboBoxItem);
  product->AddResourceString("scxGridYesterday", &scxGridYesterday);
  product->AddResourceString("scxGridToday", &scxGridToday);
  product->AddResourceString("scxGridTomorrow", &scxGridTomorrow);
  product->AddResourceString("scxGridLast30Days", &scxGridLast30Days);
  product->AddResourceString("scxGridLast14Days", &scxGridLast14Days);
  product->AddResourceString("scxGridLast7Days", &scxGridLast7Days);
  product->AddResourceString("scxGridNext7Days", &scxGridNext7Days);
  product->AddResourceString("scxGridNext14Days", &scxGridNext14Days);
  product->AddResourceString("scxGridNext30Days", &scxGridNext30Days);
  product->AddResourceString("scxGridLastTwoWeeks", &scxGridLastTwoWeeks);
  product->AddResourceString("scxGridLastWeek", &scxGridLastWeek);
  product->AddResourceString("scxGridThisWeek", &scxGridThisWeek);
  product->AddResourceString("scxGridNextWeek", &scxGridNextWeek);
  product->AddResourceString("scxGridNextTwoWeeks", &scxGridNextTwoWeeks);
  product->AddResourceString("scxGridLastMonth", &scxGridLastMonth);
  product->AddResourceString("scxGridThisMonth", &scxGridThisMonth);
  product->AddResourceString("scxGridNextMonth", &scxGridNextMonth);
  product->AddResourceString("scxGridLastYear", &scxGridLastYear);
  product->AddResourceString("scxGridThisYear", &scxGridThisYear);
  product->AddResourceString("scxGridNextYear", &scxGridNextYear);
  product->AddResourceString("scxGridPast", &scxGridPast);
  product->AddResourceString("scxGridFuture", &scxGridFuture);
  product->AddResourceString("scxGridMonthFormat", &scxGridMonthFormat);
  product->AddResourceString("scxGridYearFormat", &scxGridYearFormat);
  product->AddResourceString("scxGridChartCategoriesDisplayText", &scxGridChartCategoriesDisplayText);
  product->AddResourceString("scxGridChartValueHintFormat", &scxGridChartValueHintFormat);
  product->AddResourceString("scxGridChartPercentValueTickMarkLabelFormat", &scxGridChartPercentValueTickMarkLabelFormat);
  product->AddResourceString("scxGridChartToolBoxDataLevels", &scxGridChartToolBoxDataLevels);
  product->AddResourceString("scxGridChartToolBoxDataLevelSelectValue", &scxGridChartToolBoxDataLevelSelectValue);
  product->AddResourceString("scxGridChartToolBoxCustomizeButtonCaption", &scxGridChartToolBoxCustomizeButtonCaption);
  product->AddResourceString("scxGridChartNoneDiagramDisplayText", &scxGridChartNoneDiagramDisplayText);
  product->AddResourceString("scxGridChartColumnDiagramDisplayText", &scxGridChartColumnDiagramDisplayText);
  product->AddResourceString("scxGridChartBarDiagramDisplayText", &scxGridChartBarDiagramDisplayText);
  product->AddResourceString("scxGridChartLineDiagramDisplayText", &scxGridChartLineDiagramDisplayText);
  product->AddResourceString("scxGridChartAreaDiagramDisplayText", &scxGridChartAreaDiagramDisplayText);
  product->AddResourceString("scxGridChartPieDiagramDisplayText", &scxGridChartPieDiagramDisplayText);
  product->AddResourceString("scxGridChartCustomizationFormSeriesPageCaption", &scxGridChartCustomizationFormSeriesPageCaption);
  product->AddResourceString("scxGridChartCustomizationFormSortBySeries", &scxGridChartCustomizationFormSortBySeries);
  product->AddResourceString("scxGridChartCustomizationFormNoSortedSeries", &scxGridChartCustomizationFormNoSortedSeries);
  product->AddResourceString("scxGridChartCustomizationFormDataGroupsPageCaption", &scxGridChartCustomizationFormDataGroupsPageCaption);
  product->AddResourceString("scxGridChartCustomizationFormOptionsPageCaption", &scxGridChartCustomizationFormOptionsPageCaption);
  product->AddResourceString("scxGridChartLegend", &scxGridChartLegend);
  product->AddResourceString("scxGridChartLegendKeyBorder", &scxGridChartLegendKeyBorder);
  product->AddResourceString("scxGridChartPosition", &scxGridChartPosition);
  product->AddResourceString("scxGridChartPositionDefault", &scxGridChartPositionDefault);
  product->AddResourceString("scxGridChartPositionNone", &scxGridChartPositionNone);
  product->AddResourceString("scxGridChartPositionLeft", &scxGridChartPositionLeft);
  product->AddResourceString("scxGridChartPositionTop", &scxGridChartPositionTop);
  product->AddResourceString("scxGridChartPositionRight", &scxGridChartPositionRight);
  product->AddResourceString("scxGridChartPositionBottom", &scxGridChartPositionBottom);
  product->AddResourceString("scxGridChartAlignment", &scxGridChartAlignment);
  product->AddResourceString("scxGridChartAlignmentDefault", &scxGridChartAlignmentDefault);
  product->AddResourceString("scxGridChartAlignmentStart", &scxGridChartAlignmentStart);
  product->AddResourceString("scxGridChartAlignmentCenter", &scxGridChartAlignmentCenter);
  product->AddResourceString("scxGridChartAlignmentEnd", &scxGridChartAlignmentEnd);
  product->AddResourceString("scxGridChartOrientation", &scxGridChartOrientation);
  product->AddResourceString("scxGridChartOrientationDefault", &scxGridChartOrientationDefault);
  product->AddResourceString("scxGridChartOrientationHorizontal", &scxGridChartOrientationHorizontal);
  product->AddResourceString("scxGridChartOrientationVertical", &scxGridChartOrientationVertical);
  product->AddResourceString("scxGridChartBorder", &scxGridChartBorder);
  product->AddResourceString("scxGridChartTitle", &scxGridChartTitle);
  product->AddResourceString("scxGridChartToolBox", &scxGridChartToolBox);
  product->AddResourceString("scxGridChartDiagramSelector", &scxGridChartDiagramSelector);
  product->AddResourceString("scxGridChartOther", &scxGridChartOther);
  product->AddResourceString("scxGridChartValueHints", &scxGridChartValueHints);
}

}  // namespace

void orv::StartGridStringsUnit() {
  static TResourceStringsUnit unit(kGridStringsProductName, &AddGridResourceStrings);
}
