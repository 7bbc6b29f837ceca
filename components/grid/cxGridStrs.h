// The grid's user-visible texts, registered with the string repository as one product group;
// grid code reads them through GetLocalizedResourceString, so that replacements show.
#pragma once

#include "components/foundation/dxCore.h"
#include "platform/runtime/AnsiString.h"

inline constexpr TResStringRec scxGridRecursiveLevels{"You cannot create recursive levels"_a};
inline constexpr TResStringRec scxGridDeletingConfirmationCaption{"Confirm"_a};
inline constexpr TResStringRec scxGridDeletingFocusedConfirmationText{"Delete record?"_a};
inline constexpr TResStringRec scxGridDeletingSelectedConfirmationText{"Delete all selected records?"_a};
inline constexpr TResStringRec scxGridNoDataInfoText{"<No data to display>"_a};
inline constexpr TResStringRec scxGridFilterRowInfoText{"Click here to define a filter"_a};
inline constexpr TResStringRec scxGridNewItemRowInfoText{"Click here to add a new row"_a};
inline constexpr TResStringRec scxGridFilterIsEmpty{"<Filter is Empty>"_a};
inline constexpr TResStringRec scxGridCustomizationFormCaption{"Customization"_a};
inline constexpr TResStringRec scxGridCustomizationFormColumnsPageCaption{"Columns"_a};
inline constexpr TResStringRec scxGridGroupByBoxCaption{"Drag a column header here to group by that column"_a};
inline constexpr TResStringRec scxGridFilterApplyButtonCaption{"Apply Filter"_a};
inline constexpr TResStringRec scxGridFilterCustomizeButtonCaption{"Customize..."_a};
inline constexpr TResStringRec scxGridColumnsQuickCustomizationHint{"Click here to show/hide/move columns"_a};
inline constexpr TResStringRec scxGridCustomizationFormBandsPageCaption{"Bands"_a};
inline constexpr TResStringRec scxGridBandsQuickCustomizationHint{"Click here to show/hide/move bands"_a};
inline constexpr TResStringRec scxGridCustomizationFormRowsPageCaption{"Rows"_a};
inline constexpr TResStringRec scxGridConverterIntermediaryMissing{"Missing an intermediary component!\r\nPlease add a %s component to the form."_a};
inline constexpr TResStringRec scxGridConverterNotExistGrid{"cxGrid does not exist"_a};
inline constexpr TResStringRec scxGridConverterNotExistComponent{"Component does not exist"_a};
inline constexpr TResStringRec scxImportErrorCaption{"Import error"_a};
inline constexpr TResStringRec scxNotExistGridView{"Grid view does not exist"_a};
inline constexpr TResStringRec scxNotExistGridLevel{"Active grid level does not exist"_a};
inline constexpr TResStringRec scxCantCreateExportOutputFile{"Can't create the export output file"_a};
inline constexpr TResStringRec cxSEditRepositoryExtLookupComboBoxItem{"ExtLookupComboBox|Represents a lookup combo box whose drop-down list is a grid view"_a};
inline constexpr TResStringRec scxGridYesterday{"Yesterday"_a};
inline constexpr TResStringRec scxGridToday{"Today"_a};
inline constexpr TResStringRec scxGridTomorrow{"Tomorrow"_a};
inline constexpr TResStringRec scxGridLast30Days{"Last 30 days"_a};
inline constexpr TResStringRec scxGridLast14Days{"Last 14 days"_a};
inline constexpr TResStringRec scxGridLast7Days{"Last 7 days"_a};
inline constexpr TResStringRec scxGridNext7Days{"Next 7 days"_a};
inline constexpr TResStringRec scxGridNext14Days{"Next 14 days"_a};
inline constexpr TResStringRec scxGridNext30Days{"Next 30 days"_a};
inline constexpr TResStringRec scxGridLastTwoWeeks{"Last two weeks"_a};
inline constexpr TResStringRec scxGridLastWeek{"Last week"_a};
inline constexpr TResStringRec scxGridThisWeek{"This week"_a};
inline constexpr TResStringRec scxGridNextWeek{"Next week"_a};
inline constexpr TResStringRec scxGridNextTwoWeeks{"Next two weeks"_a};
inline constexpr TResStringRec scxGridLastMonth{"Last month"_a};
inline constexpr TResStringRec scxGridThisMonth{"This month"_a};
inline constexpr TResStringRec scxGridNextMonth{"Next month"_a};
inline constexpr TResStringRec scxGridLastYear{"Last year"_a};
inline constexpr TResStringRec scxGridThisYear{"This year"_a};
inline constexpr TResStringRec scxGridNextYear{"Next year"_a};
inline constexpr TResStringRec scxGridPast{"Past"_a};
inline constexpr TResStringRec scxGridFuture{"Future"_a};
inline constexpr TResStringRec scxGridMonthFormat{"mmmm yyyy"_a};
inline constexpr TResStringRec scxGridYearFormat{"yyyy"_a};
inline constexpr TResStringRec scxGridChartCategoriesDisplayText{"Data"_a};
inline constexpr TResStringRec scxGridChartValueHintFormat{"%s for %s is %s"_a};
inline constexpr TResStringRec scxGridChartPercentValueTickMarkLabelFormat{"0%"_a};
inline constexpr TResStringRec scxGridChartToolBoxDataLevels{"Data Levels:"_a};
inline constexpr TResStringRec scxGridChartToolBoxDataLevelSelectValue{"select value"_a};
inline constexpr TResStringRec scxGridChartToolBoxCustomizeButtonCaption{"Customize Chart"_a};
inline constexpr TResStringRec scxGridChartNoneDiagramDisplayText{"No diagram"_a};
inline constexpr TResStringRec scxGridChartColumnDiagramDisplayText{"Column diagram"_a};
inline constexpr TResStringRec scxGridChartBarDiagramDisplayText{"Bar diagram"_a};
inline constexpr TResStringRec scxGridChartLineDiagramDisplayText{"Line diagram"_a};
inline constexpr TResStringRec scxGridChartAreaDiagramDisplayText{"Area diagram"_a};
inline constexpr TResStringRec scxGridChartPieDiagramDisplayText{"Pie diagram"_a};
inline constexpr TResStringRec scxGridChartCustomizationFormSeriesPageCaption{"Series"_a};
inline constexpr TResStringRec scxGridChartCustomizationFormSortBySeries{"Sort by:"_a};
inline constexpr TResStringRec scxGridChartCustomizationFormNoSortedSeries{"<none series>"_a};
inline constexpr TResStringRec scxGridChartCustomizationFormDataGroupsPageCaption{"Data Groups"_a};
inline constexpr TResStringRec scxGridChartCustomizationFormOptionsPageCaption{"Options"_a};
inline constexpr TResStringRec scxGridChartLegend{"Legend"_a};
inline constexpr TResStringRec scxGridChartLegendKeyBorder{"Key Border"_a};
inline constexpr TResStringRec scxGridChartPosition{"Position"_a};
inline constexpr TResStringRec scxGridChartPositionDefault{"Default"_a};
inline constexpr TResStringRec scxGridChartPositionNone{"None"_a};
inline constexpr TResStringRec scxGridChartPositionLeft{"Left"_a};
inline constexpr TResStringRec scxGridChartPositionTop{"Top"_a};
inline constexpr TResStringRec scxGridChartPositionRight{"Right"_a};
inline constexpr TResStringRec scxGridChartPositionBottom{"Bottom"_a};
inline constexpr TResStringRec scxGridChartAlignment{"Alignment"_a};
inline constexpr TResStringRec scxGridChartAlignmentDefault{"Default"_a};
inline constexpr TResStringRec scxGridChartAlignmentStart{"Start"_a};
inline constexpr TResStringRec scxGridChartAlignmentCenter{"Center"_a};
inline constexpr TResStringRec scxGridChartAlignmentEnd{"End"_a};
inline constexpr TResStringRec scxGridChartOrientation{"Orientation"_a};
inline constexpr TResStringRec scxGridChartOrientationDefault{"Default"_a};
inline constexpr TResStringRec scxGridChartOrientationHorizontal{"Horizontal"_a};
inline constexpr TResStringRec scxGridChartOrientationVertical{"Vertical"_a};
inline constexpr TResStringRec scxGridChartBorder{"Border"_a};
inline constexpr TResStringRec scxGridChartTitle{"Title"_a};
inline constexpr TResStringRec scxGridChartToolBox{"ToolBox"_a};
inline constexpr TResStringRec scxGridChartDiagramSelector{"Diagram Selector"_a};
inline constexpr TResStringRec scxGridChartOther{"Other"_a};
inline constexpr TResStringRec scxGridChartValueHints{"Value Hints"_a};

namespace orv {

// The name of the group in the string repository.
inline constexpr const char* kGridStringsProductName = "Grid";

// Registers the group once per run (unregistered at exit); every unit that includes this
// header starts it.
void StartGridStringsUnit();
inline const bool kGridStringsUnitStarted = (StartGridStringsUnit(), true);

}  // namespace orv
