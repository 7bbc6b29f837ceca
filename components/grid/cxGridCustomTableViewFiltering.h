// The filtering side of the table views' items: date ranges for grouping and filtering ("Today",
// "Last week", one group per month ...), the item filter value list with its relative-date and
// date-range entries, the per-item recently used filter values, and the item operations that fill
// a value list, tell which entries the current filter selects and turn chosen entries into
// conditions of the view's filter.
#pragma once

#include <vector>

#include "components/data/cxCustomData.h"
#include "components/foundation/cxClasses.h"
#include "components/grid/cxGridCustomTableView.h"

class TStrings;
class TcxGridDateRanges;

// ==== Date ranges ==============================================================================

class TcxCustomGridDateRange : public TObject {
  ORV_CLASS(TcxCustomGridDateRange, TObject)
 public:
  TcxCustomGridDateRange() = default;
  void BeforeDestruction() override;

  virtual Boolean IncludesDate(TDateTime date) = 0;
  virtual AnsiString TextOf(TDateTime date) = 0;
  virtual Variant FilterValueOf(Boolean dateOnly, TDateTime date) { return GroupValueOf(date); }
  virtual Variant SortValueOf(TDateTime date);
  virtual Variant GroupValueOf(TDateTime date) = 0;
  virtual Boolean SortsByTime() { return false; }
  virtual Boolean UsesTime() { return SortsByTime(); }

  TcxGridDateRanges* GetContainer() const { return FContainer; }

 private:
  friend class TcxGridDateRanges;
  TcxGridDateRanges* FContainer = nullptr;
};

using TcxCustomGridDateRangeClass = orv::ClassOf<TcxCustomGridDateRange>;

#define ORV_GRID_DATE_RANGE(Name)                                          \
  class Name : public TcxCustomGridDateRange {                             \
    ORV_CLASS(Name, TcxCustomGridDateRange)                                \
   public:                                                                 \
    Name() = default;                                                      \
    Boolean IncludesDate(TDateTime date) override;                         \
    AnsiString TextOf(TDateTime date) override;                            \
    Variant GroupValueOf(TDateTime date) override;

ORV_GRID_DATE_RANGE(TcxGridHourRange)
  Boolean SortsByTime() override { return true; }
};
ORV_GRID_DATE_RANGE(TcxGridDayRange) };
ORV_GRID_DATE_RANGE(TcxGridMonthRange)
  Variant FilterValueOf(Boolean dateOnly, TDateTime date) override;
};
ORV_GRID_DATE_RANGE(TcxGridYearRange)
  Variant FilterValueOf(Boolean dateOnly, TDateTime date) override;
};
ORV_GRID_DATE_RANGE(TcxGridYesterdayRange) };
ORV_GRID_DATE_RANGE(TcxGridTodayRange) };
ORV_GRID_DATE_RANGE(TcxGridTomorrowRange) };
ORV_GRID_DATE_RANGE(TcxGridLastWeekRange) };
ORV_GRID_DATE_RANGE(TcxGridThisWeekRange) };
ORV_GRID_DATE_RANGE(TcxGridNextWeekRange) };
ORV_GRID_DATE_RANGE(TcxGridLastMonthRange) };
ORV_GRID_DATE_RANGE(TcxGridThisMonthRange) };
ORV_GRID_DATE_RANGE(TcxGridNextMonthRange) };
ORV_GRID_DATE_RANGE(TcxGridLastYearRange) };
ORV_GRID_DATE_RANGE(TcxGridThisYearRange) };
ORV_GRID_DATE_RANGE(TcxGridNextYearRange) };

#undef ORV_GRID_DATE_RANGE

// An ordered container of ranges (owned) with the day it took as today.
class TcxGridDateRanges : public TObject {
  ORV_CLASS(TcxGridDateRanges, TObject)
 public:
  TcxGridDateRanges() = default;
  void BeforeDestruction() override;

  virtual void CaptureToday();
  void Setup(TcxCustomGridTableDateTimeHandling* handling);

  Integer Count() const { return Integer(FItems.size()); }
  TcxCustomGridDateRange* Items(Integer index) const { return FItems[std::size_t(index)]; }
  Integer Add(TcxCustomGridDateRange* range);
  Integer Add(TcxCustomGridDateRangeClass rangeClass) { return Add(rangeClass.Create()); }
  void Remove(TcxCustomGridDateRange* range);
  void Clear();
  // The first range that includes the date, nullptr when none.
  TcxCustomGridDateRange* FindRange(TDateTime date);
  Boolean AnySortsByTime();
  Boolean AnyUsesTime();

  TcxCustomGridTableDateTimeHandling* GetDateTimeHandling() const { return FDateTimeHandling; }
  TDateTime GetToday() const { return FToday; }
  TDateTime GetWeekStart() const { return FWeekStart; }
  Integer GetMonthIndex() const { return FMonthIndex; }
  Word GetYear() const { return FYear; }

 private:
  TcxCustomGridTableDateTimeHandling* FDateTimeHandling = nullptr;
  std::vector<TcxCustomGridDateRange*> FItems;
  TDateTime FWeekStart = 0;
  Word FDay = 0;
  Word FMonth = 0;
  Integer FMonthIndex = 0;
  Word FYear = 0;
  TDateTime FToday = 0;
};

class TcxGridFilteringDateRanges : public TcxGridDateRanges {
  ORV_CLASS(TcxGridFilteringDateRanges, TcxGridDateRanges)
 public:
  TcxGridFilteringDateRanges() = default;
  using TcxGridDateRanges::Setup;
  virtual void Setup(TcxCustomGridTableDateTimeHandling* handling, TcxGridDateTimeFilters filters);
};

class TcxGridGroupingDateRanges : public TcxGridDateRanges {
  ORV_CLASS(TcxGridGroupingDateRanges, TcxGridDateRanges)
 public:
  TcxGridGroupingDateRanges() = default;
  using TcxGridDateRanges::Setup;
  virtual void Setup(TcxCustomGridTableDateTimeHandling* handling, TcxGridDateTimeGrouping grouping);
};

// ==== Item filter values =======================================================================

// Entry kinds the grid adds to the data controller's.
inline constexpr TcxFilterValueItemKind fvkGridSeparator = TcxFilterValueItemKind(7);
inline constexpr TcxFilterValueItemKind fvkGridDate = TcxFilterValueItemKind(8);

class TcxGridFilterValueList : public TcxDataFilterValueList {
  ORV_CLASS(TcxGridFilterValueList, TcxDataFilterValueList)
 public:
  explicit TcxGridFilterValueList(TcxFilterCriteria* criteria) : TcxDataFilterValueList(criteria) {}

  Integer GetIndexForCondition(TcxFilterCriteriaItem* condition) override;
  virtual void AddDateRangeValues(TcxCustomGridDateRange* range, Boolean dateOnly);
  virtual void AddDateRanges(TcxCustomGridTableItem* item);
  virtual void AddDateTimeFilterValues(TcxCustomGridTableItem* item);
  virtual void GetSupportedDateOperators(orv::Set<TcxFilterOperatorCode>& operators);
  virtual void LoadForItem(TcxCustomGridTableItem* item, Boolean displayTextOrder, Boolean filteredOnly);

  // A date entry is added where the other special entries go, before the values.
  Integer IndexOfDateValue(const Variant& value) const;
};

// A value the user filtered an item by, with the text it had; equal by value.
class TcxGridFilterMRUValueItem : public TcxMRUItem {
  ORV_CLASS(TcxGridFilterMRUValueItem, TcxMRUItem)
 public:
  TcxGridFilterMRUValueItem(const Variant& value, const AnsiString& displayText)
      : Value(value), DisplayText(displayText) {}
  Boolean Equals(TcxMRUItem* item) override;
  Variant Value;
  AnsiString DisplayText;
};

class TcxGridFilterMRUValueItems : public TcxMRUItems {
  ORV_CLASS(TcxGridFilterMRUValueItems, TcxMRUItems)
 public:
  TcxGridFilterMRUValueItems() = default;
  void AddValue(const Variant& value, const AnsiString& displayText);
  void AddToValueList(TcxFilterValueList* valueList);
};

using TcxGridIndexes = std::vector<Integer>;

// The item side of the filter drop-down (each acts on the view's filter for the item).
namespace orv::grid {
// The item's recently used filter values (made on first use, kept with its data binding).
TcxGridFilterMRUValueItems* ItemFilterMRUValueItems(TcxCustomGridTableItem* item);
// The dates the item's filter drop-down offers: the view's date-time filters for date items.
TcxGridDateTimeFilters ItemDateTimeFilters(TcxCustomGridTableItem* item);
// Whether relative-date entries (relative) or month and year entries (not relative) apply.
Boolean ItemUsesFilteringDateRanges(TcxCustomGridTableItem* item, Boolean relative);
void LoadFilterValueList(TcxCustomGridTableItem* item, TcxGridFilterValueList* valueList, Boolean valuesOnly,
                         Boolean filteredValuesAllowed, Boolean displayTextOrder);
void GetFilterStrings(TcxCustomGridTableItem* item, TStrings* strings, TcxGridFilterValueList* valueList);
void GetFilterSelectedIndexes(TcxCustomGridTableItem* item, TcxGridFilterValueList* valueList,
                              TcxGridIndexes& indexes);
void ApplyFilterSelectedIndexes(TcxCustomGridTableItem* item, TcxGridFilterValueList* valueList,
                                const TcxGridIndexes& indexes);
void ApplyFilterValueEntry(TcxGridFilterValueList* valueList, TcxCustomGridTableItem* item, Integer index,
                           Boolean addToMRUValues, Boolean replaceExisting, TcxFilterCriteriaItemList* group);
// A new value list for the item's view (the caller frees it).
TcxGridFilterValueList* NewFilterValueList(TcxCustomGridTableItem* item);
}  // namespace orv::grid
