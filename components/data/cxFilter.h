// Filter criteria: a tree of AND, OR, NOT AND and NOT OR groups of conditions, each an operator
// applied to an item's value. The criteria evaluates the tree for one record, builds a caption
// text (filter bars and dialogs) and an expression text (handed to dataset filters), reports its
// changes once they are unlocked, and copies, compares and persists itself through its binary
// stream. The items a condition refers to, their names and IDs and the record values come from
// descendants (the data controllers' criteria, the filter control's criteria).
//
// Criteria stream (all integers little-endian; "text" = int32 byte count, then the bytes, or in
// a "DXUFMT" condition int32 character count, then UTF-16 units):
//
//   version ID  int32   -2 version 3, -1 version 2; any other value >= 0: version 1, the number
//                       of root children that follow (the root stays AND)
//   body                versions 2 and 3: the root group
//
//   group       byte    boolean operator: 0 AND, 1 OR, 2 NOT AND, 3 NOT OR
//               int32   child count, then each child:
//   child       byte    1 (any nonzero) group, 0 condition; then the group or the condition
//   condition   6       "DXAFMT" (a reader also accepts "DXUFMT", or no signature at all)
//               byte    operator code 0..35
//               text    display value
//               int32   item ID
//               text    item name (version 3 only)
//               value   the variant stream form (cxVariants.h)
//
// Readers check every count and length against the bytes left, refuse operator codes above 35,
// boolean operators above 3 and nesting deeper than kMaxFilterNesting with EReadError, and drop
// conditions whose item cannot be resolved and groups left empty.
#pragma once

#include <vector>

#include "components/data/cxVariants.h"
#include "platform/runtime/Component.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/Sets.h"

class TcxFilterCriteria;
class TcxFilterCriteriaItem;
class TcxFilterCriteriaItemList;
class TcxFilterValueList;

// ==== Codes and options ======================================================================

enum TcxFilterOperatorCode : Byte {
  focEqual, focNotEqual, focLess, focLessEqual, focGreater, focGreaterEqual, focLike, focNotLike,
  focBetween, focNotBetween, focInList, focNotInList,
  focYesterday, focToday, focTomorrow, focLast7Days, focLastWeek, focLast14Days, focLastTwoWeeks,
  focLast30Days, focLastMonth, focLastYear, focInPast, focThisWeek, focThisMonth, focThisYear,
  focNext7Days, focNextWeek, focNext14Days, focNextTwoWeeks, focNext30Days, focNextMonth,
  focNextYear, focInFuture,
  focNull, focNotNull
};
inline constexpr Integer kFilterOperatorCodeCount = 36;

enum TcxFilterBoolCode : Byte { fbcAnd, fbcOr, fbcNotAnd, fbcNotOr };

enum TcxFilterCriteriaOption {
  fcoCaseInsensitive, fcoShowOperatorDescription, fcoSoftNull, fcoSoftCompare, fcoIgnoreNull
};
using TcxFilterCriteriaOptions = orv::Set<TcxFilterCriteriaOption>;

// Groups nested deeper than this are refused by the stream reader.
inline constexpr Integer kMaxFilterNesting = 64;
// The stream version of the data controllers' and the filter control's criteria.
inline constexpr Byte kDefaultFilterStreamVersion = 3;

// ==== The LIKE matcher and text helpers ======================================================

// Matches the subject against the pattern, every character exactly: the underscore wildcard
// takes one character; a percent wildcard takes any run of characters, except that a pattern
// ending in two or more percent wildcards needs at least one character left where they begin
// (so "AB%" matches "AB", "AB%%" does not). Allocates nothing; O(subject x pattern) at worst.
Boolean LikeMatches(std::string_view subject, std::string_view pattern, char percentWildcard = '%',
                    char underscoreWildcard = '_');
// Collapses doubled wildcards in `text` and removes a leading and a trailing one; the kind is 0
// (plain, or shorter than 2 characters after collapsing), 1 ends with the wildcard, 2 starts
// with it, 3 both.
Integer StripLikeWildcards(AnsiString& text, char percentWildcard);
// "blank" (the filter caption) for Null, else the value's text.
AnsiString FilterVarToStr(const Variant& value);
// The trimmed piece of `text` from `position` (0-based) up to the next ';' or the end; moves
// `position` past the ';' (to text.size() + 1 at the end).
AnsiString ExtractListPiece(const AnsiString& text, Integer& position);
// "a ; b" -> a and b (a missing second part is ''); "first and second".
void ParseBetweenText(const AnsiString& text, AnsiString& first, AnsiString& second);
AnsiString BetweenPairToText(const AnsiString& first, const AnsiString& second);
// Every ';'-separated part, trimmed (none for an empty text); "(a, b, c)".
std::vector<AnsiString> ParseListText(const AnsiString& text);
AnsiString ListArrayToText(const std::vector<AnsiString>& parts);

// ==== Operators ==============================================================================

// The test, caption, symbol and expression form of one condition's operator. Created by the
// condition for its code and freed with it.
class TcxFilterOperator : public TObject {
  ORV_CLASS(TcxFilterOperator, TObject)
 public:
  using TCreateSignature = void(TcxFilterCriteriaItem* criteriaItem);
  explicit TcxFilterOperator(TcxFilterCriteriaItem* criteriaItem) : FCriteriaItem(criteriaItem) {}

  TcxFilterCriteriaItem* GetCriteriaItem() const { return FCriteriaItem; }
  TcxFilterCriteria* GetCriteria() const;

  // The whole expression of the condition (only asked when WritesWholeExpression); the base
  // gives FormatExpressionValue.
  virtual AnsiString BuildExpression(const Variant& value);
  // The value in expression syntax: quoted strings, quoted dates, NULL, special forms.
  virtual AnsiString FormatExpressionValue(const Variant& value);
  virtual void AdjustDisplayValueText(AnsiString& text) {}
  // Called after every change the criteria reports.
  virtual void PrepareOperands() {}
  virtual Boolean FormatSpecialValue(const Variant& value, AnsiString& text) { return false; }
  // r: the prepared record value, c: the prepared condition value. Variant errors propagate.
  virtual Boolean Matches(const Variant& recordValue, const Variant& conditionValue) = 0;
  virtual AnsiString GetCaption() { return GetSymbol(); }
  virtual AnsiString GetSymbol() = 0;
  virtual Boolean IsCaptionOperator() { return false; }
  virtual Boolean WritesWholeExpression() { return false; }
  virtual Boolean TestsForNull() { return false; }

 protected:
  AnsiString FieldName() const;
  const Variant& ConditionValue() const;

 private:
  TcxFilterCriteriaItem* FCriteriaItem;
};

using TcxFilterOperatorClass = orv::ClassOf<TcxFilterOperator>;

#define ORV_FILTER_OPERATOR(Name, Parent)                                       \
  class Name : public Parent {                                                  \
    ORV_CLASS(Name, Parent)                                                     \
   public:                                                                      \
    explicit Name(TcxFilterCriteriaItem* criteriaItem) : Parent(criteriaItem) {}

class TcxFilterEqualOperator : public TcxFilterOperator {
  ORV_CLASS(TcxFilterEqualOperator, TcxFilterOperator)
 public:
  explicit TcxFilterEqualOperator(TcxFilterCriteriaItem* criteriaItem) : TcxFilterOperator(criteriaItem) {}
  AnsiString BuildExpression(const Variant& value) override;
  Boolean Matches(const Variant& r, const Variant& c) override;
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "="; }
  Boolean WritesWholeExpression() override;
};

ORV_FILTER_OPERATOR(TcxFilterNotEqualOperator, TcxFilterEqualOperator)
  AnsiString BuildExpression(const Variant& value) override;
  Boolean Matches(const Variant& r, const Variant& c) override { return !inherited::Matches(r, c); }
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "<>"; }
};

ORV_FILTER_OPERATOR(TcxFilterLessOperator, TcxFilterOperator)
  Boolean Matches(const Variant& r, const Variant& c) override;
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "<"; }
};

ORV_FILTER_OPERATOR(TcxFilterLessEqualOperator, TcxFilterOperator)
  Boolean Matches(const Variant& r, const Variant& c) override;
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "<="; }
};

ORV_FILTER_OPERATOR(TcxFilterGreaterOperator, TcxFilterOperator)
  Boolean Matches(const Variant& r, const Variant& c) override;
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return ">"; }
};

ORV_FILTER_OPERATOR(TcxFilterGreaterEqualOperator, TcxFilterOperator)
  Boolean Matches(const Variant& r, const Variant& c) override;
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return ">="; }
};

ORV_FILTER_OPERATOR(TcxFilterLikeOperator, TcxFilterOperator)
  void AdjustDisplayValueText(AnsiString& text) override;
  Boolean Matches(const Variant& r, const Variant& c) override;
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "LIKE"; }
 protected:
  // The kind of the condition's pattern (StripLikeWildcards).
  Integer PatternKind();
};

ORV_FILTER_OPERATOR(TcxFilterNotLikeOperator, TcxFilterLikeOperator)
  AnsiString BuildExpression(const Variant& value) override;
  Boolean Matches(const Variant& r, const Variant& c) override { return !inherited::Matches(r, c); }
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "NOT LIKE"; }
  Boolean WritesWholeExpression() override;
};

ORV_FILTER_OPERATOR(TcxFilterBetweenOperator, TcxFilterOperator)
  AnsiString BuildExpression(const Variant& value) override;
  void AdjustDisplayValueText(AnsiString& text) override;
  Boolean FormatSpecialValue(const Variant& value, AnsiString& text) override;
  Boolean Matches(const Variant& r, const Variant& c) override;
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "BETWEEN"; }
  Boolean IsCaptionOperator() override { return true; }
  Boolean WritesWholeExpression() override;
};

ORV_FILTER_OPERATOR(TcxFilterNotBetweenOperator, TcxFilterBetweenOperator)
  AnsiString BuildExpression(const Variant& value) override;
  Boolean Matches(const Variant& r, const Variant& c) override { return !inherited::Matches(r, c); }
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "NOT BETWEEN"; }
};

ORV_FILTER_OPERATOR(TcxFilterInListOperator, TcxFilterOperator)
  AnsiString BuildExpression(const Variant& value) override;
  void AdjustDisplayValueText(AnsiString& text) override;
  Boolean FormatSpecialValue(const Variant& value, AnsiString& text) override;
  Boolean Matches(const Variant& r, const Variant& c) override;
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "IN"; }
  Boolean IsCaptionOperator() override { return true; }
  Boolean WritesWholeExpression() override;
};

ORV_FILTER_OPERATOR(TcxFilterNotInListOperator, TcxFilterInListOperator)
  AnsiString BuildExpression(const Variant& value) override;
  Boolean Matches(const Variant& r, const Variant& c) override { return !inherited::Matches(r, c); }
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "NOT IN"; }
};

// The blank test: the criteria's null test of the record value.
ORV_FILTER_OPERATOR(TcxFilterNullOperator, TcxFilterEqualOperator)
  void AdjustDisplayValueText(AnsiString& text) override;
  Boolean Matches(const Variant& r, const Variant& c) override;
  AnsiString GetCaption() override;
  Boolean TestsForNull() override { return true; }
};

ORV_FILTER_OPERATOR(TcxFilterNotNullOperator, TcxFilterNullOperator)
  Boolean Matches(const Variant& r, const Variant& c) override { return !inherited::Matches(r, c); }
  AnsiString GetCaption() override;
  AnsiString GetSymbol() override { return "<>"; }
};

// A date range [start, end) computed from the current date when the criteria changes; a 0 bound
// is open on that side.
ORV_FILTER_OPERATOR(TcxFilterDateOperator, TcxFilterOperator)
  AnsiString BuildExpression(const Variant& value) override;
  void AdjustDisplayValueText(AnsiString& text) override { text.clear(); }
  Boolean Matches(const Variant& r, const Variant& c) override;
  AnsiString GetSymbol() override { return GetCaption(); }
  Boolean WritesWholeExpression() override { return true; }
  TDateTime GetStart() const { return FStart; }
  TDateTime GetEnd() const { return FEnd; }
 protected:
  void SetRange(TDateTime start, TDateTime end) { FStart = start; FEnd = end; }
 private:
  TDateTime FStart = 0;
  TDateTime FEnd = 0;
};

ORV_FILTER_OPERATOR(TcxFilterLastNDaysOperator, TcxFilterDateOperator)
  void PrepareOperands() override;
  virtual Integer DayCount() = 0;
};

ORV_FILTER_OPERATOR(TcxFilterNextNDaysOperator, TcxFilterDateOperator)
  void PrepareOperands() override;
  virtual Integer DayCount() = 0;
};

#define ORV_FILTER_DATE_OPERATOR(Name, Parent)  \
  ORV_FILTER_OPERATOR(Name, Parent)             \
    AnsiString GetCaption() override;           \
    void PrepareOperands() override;            \
  };

ORV_FILTER_DATE_OPERATOR(TcxFilterYesterdayOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterTodayOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterTomorrowOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterLastWeekOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterLastTwoWeeksOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterLastMonthOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterLastYearOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterInPastOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterThisWeekOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterThisMonthOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterThisYearOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterNextWeekOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterNextTwoWeeksOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterNextMonthOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterNextYearOperator, TcxFilterDateOperator)
ORV_FILTER_DATE_OPERATOR(TcxFilterInFutureOperator, TcxFilterDateOperator)

#define ORV_FILTER_NDAYS_OPERATOR(Name, Parent, Days) \
  ORV_FILTER_OPERATOR(Name, Parent)                   \
    AnsiString GetCaption() override;                 \
    Integer DayCount() override { return Days; }      \
  };

ORV_FILTER_NDAYS_OPERATOR(TcxFilterLast7DaysOperator, TcxFilterLastNDaysOperator, 7)
ORV_FILTER_NDAYS_OPERATOR(TcxFilterLast14DaysOperator, TcxFilterLastNDaysOperator, 14)
ORV_FILTER_NDAYS_OPERATOR(TcxFilterLast30DaysOperator, TcxFilterLastNDaysOperator, 30)
ORV_FILTER_NDAYS_OPERATOR(TcxFilterNext7DaysOperator, TcxFilterNextNDaysOperator, 7)
ORV_FILTER_NDAYS_OPERATOR(TcxFilterNext14DaysOperator, TcxFilterNextNDaysOperator, 14)
ORV_FILTER_NDAYS_OPERATOR(TcxFilterNext30DaysOperator, TcxFilterNextNDaysOperator, 30)

#undef ORV_FILTER_NDAYS_OPERATOR
#undef ORV_FILTER_DATE_OPERATOR
#undef ORV_FILTER_OPERATOR

// The operator class of a code (nullptr above focNotNull).
TcxFilterOperatorClass GetFilterOperatorClass(TcxFilterOperatorCode code);

// ==== Criteria items =========================================================================

class TcxCustomFilterCriteriaItem : public TObject {
  ORV_CLASS(TcxCustomFilterCriteriaItem, TObject)
 public:
  explicit TcxCustomFilterCriteriaItem(TcxFilterCriteriaItemList* parent) : FParent(parent) {}
  // Leaves the parent's list (DetachChild).
  void BeforeDestruction() override;

  TcxFilterCriteriaItemList* GetParent() const { return FParent; }

  virtual void NotifyChanged();
  virtual TcxFilterCriteria* OwnerCriteria();
  virtual Boolean IsGroup() = 0;
  virtual void LoadItem(TStream* stream) = 0;
  virtual void SaveItem(TStream* stream) = 0;
  virtual Boolean IsVoid() = 0;

 private:
  friend class TcxFilterCriteriaItemList;
  friend class TcxFilterCriteria;
  TcxFilterCriteriaItemList* FParent;
};

// A group: a boolean operator over an ordered list of conditions and groups (owned).
class TcxFilterCriteriaItemList : public TcxCustomFilterCriteriaItem {
  ORV_CLASS(TcxFilterCriteriaItemList, TcxCustomFilterCriteriaItem)
 public:
  using TCreateSignature = void(TcxFilterCriteriaItemList* parent, TcxFilterBoolCode boolOperator);
  TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* parent, TcxFilterBoolCode boolOperator)
      : TcxCustomFilterCriteriaItem(parent), FBoolOperator(boolOperator) {}
  // Frees the children first (last first).
  void BeforeDestruction() override;

  TcxFilterCriteria* OwnerCriteria() override;
  Boolean IsGroup() override { return true; }
  Boolean IsVoid() override { return FItems.empty(); }
  void LoadItem(TStream* stream) override;
  void SaveItem(TStream* stream) override;
  // Removes `item` from the list (it is not freed) and reports the change.
  virtual void DetachChild(TcxCustomFilterCriteriaItem* item);

  TcxFilterCriteriaItem* AddCondition(TObject* itemLink, TcxFilterOperatorCode operatorCode,
                                      const AnsiString& displayValue, const Variant& value);
  TcxFilterCriteriaItemList* AddGroup(TcxFilterBoolCode boolOperator);
  // The filter control's and grid's name for AddCondition (note the order of value and text).
  TcxFilterCriteriaItem* AddItem(TObject* itemLink, TcxFilterOperatorCode operatorCode, const Variant& value,
                                 const AnsiString& displayValue) {
    return AddCondition(itemLink, operatorCode, displayValue, value);
  }
  // Frees every child, last first, under the change lock.
  void RemoveChildren();

  TcxFilterBoolCode GetBoolOperator() const { return FBoolOperator; }
  void SetBoolOperator(TcxFilterBoolCode value);
  Integer GetCount() const { return Integer(FItems.size()); }
  // nullptr for an index out of range.
  TcxCustomFilterCriteriaItem* GetItem(Integer index) const;
  Integer IndexOf(const TcxCustomFilterCriteriaItem* item) const;

 private:
  friend class TcxFilterCriteria;
  // Reads `count` children (checked against the bytes left), dropping void ones.
  void LoadChildren(TStream* stream, Integer count);
  void Append(TcxCustomFilterCriteriaItem* item);

  TcxFilterBoolCode FBoolOperator;
  std::vector<TcxCustomFilterCriteriaItem*> FItems;
  TcxFilterCriteria* FCriteria = nullptr;  // set on the root only
};

using TcxFilterCriteriaItemListClass = orv::ClassOf<TcxFilterCriteriaItemList>;

// A condition: an operator code applied to the value of a linked item. Descendants supply the
// record values and the item's caption and field name.
class TcxFilterCriteriaItem : public TcxCustomFilterCriteriaItem {
  ORV_CLASS(TcxFilterCriteriaItem, TcxCustomFilterCriteriaItem)
 public:
  using TCreateSignature = void(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                TcxFilterOperatorCode operatorCode, const Variant& value,
                                const AnsiString& displayValue);
  TcxFilterCriteriaItem(TcxFilterCriteriaItemList* parent, TObject* itemLink, TcxFilterOperatorCode operatorCode,
                        const Variant& value, const AnsiString& displayValue);
  ~TcxFilterCriteriaItem() override;
  // Finishes construction (the operator and the blank display fill need the most derived class).
  void AfterConstruction();

  Boolean IsGroup() override { return false; }
  Boolean IsVoid() override { return GetLinkedItem() == nullptr; }
  void LoadItem(TStream* stream) override;
  void SaveItem(TStream* stream) override;

  // The record's value of the linked item. Write into `value` (it is reused between records).
  virtual void GetDataValue(Integer recordIndex, Variant& value) = 0;
  virtual AnsiString GetDisplayValueText() { return FDisplayValue; }
  // With captions the display value as the operator shows it, else the value in expression form.
  virtual AnsiString GetValueText(Boolean useCaptions);
  virtual AnsiString GetFieldCaption() = 0;
  virtual AnsiString GetFieldName() = 0;
  virtual TcxFilterOperatorClass GetOperatorClass();
  virtual TObject* GetLinkedItem() { return FItemLink; }
  virtual void SetLinkedItem(TObject* value) { FItemLink = value; }
  // Replaces the operator by one of GetOperatorClass; reports a change when one existed.
  virtual void RebuildOperator();
  virtual Boolean IsNullValue(const Variant& value);

  const AnsiString& GetDisplayValue() const { return FDisplayValue; }
  void SetDisplayValue(const AnsiString& value);
  TcxFilterOperator* GetOperator() const { return FOperator; }
  TcxFilterOperatorCode GetOperatorCode() const { return FOperatorCode; }
  void SetOperatorCode(TcxFilterOperatorCode value);
  const Variant& GetValue() const { return FValue; }
  void SetValue(const Variant& value);

 private:
  friend class TcxFilterCriteria;
  friend class TcxFilterOperator;
  friend class TcxFilterLikeOperator;
  friend class TcxFilterBetweenOperator;
  friend class TcxFilterInListOperator;
  void ApplyBlankDisplayFill();
  // The condition value prepared for comparison, refreshed when the criteria changed.
  const Variant& PreparedValue(TcxFilterCriteria* criteria);

  AnsiString FDisplayValue;
  TObject* FItemLink;
  TcxFilterOperator* FOperator = nullptr;
  TcxFilterOperatorCode FOperatorCode;
  Variant FValue;
  // Evaluation state, reused for every record so that a test allocates nothing of its own.
  Variant FPreparedValue;
  AnsiString FPreparedValueText;
  std::vector<Variant> FPreparedElements;
  UInt64 FPreparedGeneration = 0;
  Variant FRecordValue;
  Variant FPreparedRecordValue;
};

using TcxFilterCriteriaItemClass = orv::ClassOf<TcxFilterCriteriaItem>;

// ==== Criteria ===============================================================================

class TcxFilterCriteria : public TPersistent {
  ORV_CLASS(TcxFilterCriteria, TPersistent)
 public:
  TcxFilterCriteria();
  ~TcxFilterCriteria() override;
  void BeforeDestruction() override;
  void Assign(TPersistent* source) override;

  // ---- building
  virtual TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                         TcxFilterOperatorCode operatorCode, const Variant& value,
                                         const AnsiString& displayValue);
  // Under the change lock: every child of the root goes, the root becomes AND.
  void RemoveAllItems();
  // The filter control's and grid's name for RemoveAllItems.
  void Clear() { RemoveAllItems(); }
  // Removes every condition of the object; an emptied group goes, a group left with one child
  // is replaced by it. One change report when anything was removed.
  void RemoveItemsByLink(TObject* itemLink);
  // The first condition of the object, depth first; nullptr when none.
  virtual TcxFilterCriteriaItem* FindItemForLink(TObject* itemLink);
  virtual Boolean IsEmptyCriteria();
  Boolean HasStorableItems();
  TcxFilterCriteriaItemList* GetRoot() const { return FRoot; }

  // ---- change notification
  void LockChanges() { ++FLockCount; }
  void UnlockChanges();
  void UnlockChangesSilently() { --FLockCount; }
  // The filter control's and grid's names for LockChanges / UnlockChanges.
  void BeginUpdate() { LockChanges(); }
  void EndUpdate() { UnlockChanges(); }
  Integer GetLockCount() const { return FLockCount; }
  virtual void MarkChanged();
  virtual void CheckChanges();
  virtual void PrepareItemOperators();
  virtual void DoChanged();

  // ---- texts
  virtual AnsiString ValueToText(const Variant& value);
  virtual AnsiString DateValueToText(const Variant& value);
  virtual void DoFormatFilterTextValue(TcxFilterCriteriaItem* item, const Variant& value, AnsiString& text) {}
  virtual AnsiString GetFilterCaption() { return BuildFilterText(true); }
  virtual AnsiString BuildFilterText(Boolean useCaptions);
  virtual AnsiString GetFilterText() { return BuildFilterText(false); }
  virtual AnsiString GetItemText(TcxFilterCriteriaItem* item, Boolean useCaptions);
  virtual AnsiString GetItemFieldText(TcxFilterCriteriaItem* item, Boolean useCaptions);
  virtual AnsiString GetItemOperatorText(TcxFilterCriteriaItem* item, Boolean useCaptions);
  virtual AnsiString GetItemValueText(TcxFilterCriteriaItem* item, Boolean useCaptions);

  // ---- item links, supplied by descendants
  virtual Integer GetIDByItemLink(TObject* itemLink) = 0;
  virtual AnsiString GetNameByItemLink(TObject* itemLink) = 0;
  virtual TObject* GetItemLinkByID(Integer id) = 0;
  virtual TObject* GetItemLinkByName(const AnsiString& name) = 0;
  virtual TcxFilterCriteriaItemClass GetItemClass();
  virtual TcxFilterCriteriaItemListClass GetItemListClass();
  virtual orv::ClassOf<TcxFilterValueList> GetValueListClass();

  // ---- evaluation
  Boolean EvaluateRecord(Integer recordIndex);
  // Currency becomes double; strings are upper-cased with fcoCaseInsensitive; arrays element
  // by element.
  virtual void PrepareCompareValue(const Variant& value, Variant& result);
  // With fcoSoftNull Null or '', else Null.
  virtual Boolean IsNullValue(const Variant& value);

  // ---- copying
  virtual void AssignCriteria(TPersistent* source, Boolean withoutNames = false);
  virtual void CopyEvents(TcxFilterCriteria* source);
  virtual void AssignItems(TcxFilterCriteria* source, Boolean withoutNames = false);
  Boolean HasSameItems(TcxFilterCriteria* other, Boolean withoutNames);
  virtual void RestoreDefaults();

  // ---- stream
  virtual void ReadBinaryData(TStream* stream);
  // Writes in StreamVersion lowered to `versionCap` when it is not 0.
  virtual void WriteBinaryData(TStream* stream, Byte versionCap = 0);
  void WriteToStream(TStream* stream) { WriteBinaryData(stream, 0); }
  // The criteria as a component description (a TFilterWrapper whose Filter is this criteria):
  // the published properties and what the criteria stores itself (the data controllers' criteria
  // their conditions). The description is the rest of the stream when read.
  void SaveToStream(TStream* stream);
  // Reads such a description; a damaged one raises and leaves the criteria as it was.
  void LoadFromStream(TStream* stream);
  Byte GetStreamVersion() const { return FStreamVersion; }
  void SetStreamVersion(Byte value) { FStreamVersion = value; }
  Byte GetReadVersion() const { return FReadVersion; }
  Byte GetWriteVersion() const { return FWriteVersion; }

  // ---- properties
  Integer GetMaxValueListCount() const { return FMaxValueListCount; }
  void SetMaxValueListCount(Integer value) { FMaxValueListCount = value; }
  TcxFilterCriteriaOptions GetOptions() const { return FOptions; }
  void SetOptions(TcxFilterCriteriaOptions value);
  char GetPercentWildcard() const { return FPercentWildcard; }
  void SetPercentWildcard(char value);
  char GetUnderscoreWildcard() const { return FUnderscoreWildcard; }
  void SetUnderscoreWildcard(char value);
  const AnsiString& GetDateTimeFormat() const { return FDateTimeFormat; }
  void SetDateTimeFormat(const AnsiString& value);
  Boolean GetSupportedLike() const { return FSupportedLike; }
  void SetSupportedLike(Boolean value) { FSupportedLike = value; }
  Boolean GetTranslateBetween() const { return FTranslateBetween; }
  void SetTranslateBetween(Boolean value) { FTranslateBetween = value; }
  Boolean GetTranslateLike() const { return FTranslateLike; }
  void SetTranslateLike(Boolean value) { FTranslateLike = value; }
  Boolean GetTranslateIn() const { return FTranslateIn; }
  void SetTranslateIn(Boolean value) { FTranslateIn = value; }
  const TNotifyEvent& GetOnChanged() const { return FOnChanged; }
  void SetOnChanged(const TNotifyEvent& value) { FOnChanged = value; }

  // Counts every change marked; conditions re-prepare their values when it moved.
  UInt64 GetChangeGeneration() const { return FGeneration; }

 private:
  friend class TcxFilterCriteriaItem;
  Boolean EvaluateGroup(TcxFilterCriteriaItemList* group, Integer recordIndex);
  Boolean TestCondition(TcxFilterCriteriaItem* item, Integer recordIndex);
  AnsiString GroupText(TcxFilterCriteriaItemList* group, Boolean useCaptions);
  TcxFilterCriteriaItem* FindItemForLinkIn(TcxFilterCriteriaItemList* group, TObject* itemLink);
  void PrepareOperators(TcxFilterCriteriaItemList* group);
  void RebuildOperators(TcxFilterCriteriaItemList* group);

  TcxFilterCriteriaItemList* FRoot = nullptr;
  Integer FMaxValueListCount = 0;
  TcxFilterCriteriaOptions FOptions;
  char FPercentWildcard = '%';
  char FUnderscoreWildcard = '_';
  AnsiString FDateTimeFormat;
  Boolean FSupportedLike = true;
  Boolean FTranslateBetween = false;
  Boolean FTranslateLike = false;
  Boolean FTranslateIn = false;
  TNotifyEvent FOnChanged;
  Boolean FChanged = false;
  Boolean FDestroying = false;
  Boolean FSavingToStream = false;
  Integer FLockCount = 0;
  Byte FStreamVersion = 2;
  Byte FReadVersion = 0;
  Byte FWriteVersion = 0;
  UInt64 FGeneration = 1;
};

// Writes and reads a criteria through the component streaming: one published property, Filter
// (not owned).
class TFilterWrapper : public TComponent {
  ORV_CLASS(TFilterWrapper, TComponent)
 public:
  explicit TFilterWrapper(TComponent* owner) : TComponent(owner) {}
  TcxFilterCriteria* GetFilter() const { return FFilter; }
  void SetFilter(TcxFilterCriteria* value) { FFilter = value; }

 private:
  TcxFilterCriteria* FFilter = nullptr;
};

// ==== Filter value list ======================================================================

// Entry kinds; descendants may use further values (the grid's date ranges).
enum TcxFilterValueItemKind : Byte {
  fvkAll, fvkCustom, fvkBlanks, fvkNonBlanks, fvkSpecial, fvkValue, fvkRecent, fvkRecentSeparator
};

struct TcxFilterValueItem {
  TcxFilterValueItemKind Kind;
  Variant Value;
  AnsiString DisplayText;
};

// The choices of one item's filter drop-down: recent values, a separator, the special entries,
// then the distinct values in order.
class TcxFilterValueList : public TObject {
  ORV_CLASS(TcxFilterValueList, TObject)
 public:
  using TCreateSignature = void(TcxFilterCriteria* criteria);
  explicit TcxFilterValueList(TcxFilterCriteria* criteria) : FCriteria(criteria) {}
  void BeforeDestruction() override;

  virtual Integer CompareEntry(Integer index, const Variant& value, const AnsiString& displayText);
  virtual void AddEntry(TcxFilterValueItemKind kind, const Variant& value, Boolean appendUnsorted,
                        const AnsiString& displayText);
  virtual void RemoveEntries();
  virtual Boolean FindEntry(const Variant& value, const AnsiString& displayText, Integer& index);
  virtual Integer GetIndexForCondition(TcxFilterCriteriaItem* condition);

  Integer IndexOfKind(TcxFilterValueItemKind kind, const Variant& value) const;
  Integer FirstOfKind(TcxFilterValueItemKind kind) const { return IndexOfKind(kind, Null()); }
  Integer FindValue(const Variant& value);
  // The filter control's name for FindValue.
  Integer FindItemByValue(const Variant& value) { return FindValue(value); }
  void DeleteEntry(Integer index);

  Integer GetCount() const { return Integer(FItems.size()); }
  const TcxFilterValueItem& GetEntry(Integer index) const { return FItems.at(std::size_t(index)); }
  TcxFilterCriteria* GetCriteria() const { return FCriteria; }
  Boolean GetSortByDisplayText() const { return FSortByDisplayText; }
  void SetSortByDisplayText(Boolean value) { FSortByDisplayText = value; }

 private:
  Integer FirstValueIndex() const;

  TcxFilterCriteria* FCriteria;
  std::vector<TcxFilterValueItem> FItems;
  Boolean FSortByDisplayText = false;
};

using TcxFilterValueListClass = orv::ClassOf<TcxFilterValueList>;
