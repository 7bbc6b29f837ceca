// The filter words: operator captions, Boolean words and the entries of filter value lists,
// registered with the string repository as one product group. Filter code reads them through
// FilterCaptionText, which honours run-time replacements once the editors have installed the
// repository's reader as its hook.
#pragma once

#include "components/foundation/dxCore.h"
#include "platform/runtime/AnsiString.h"

inline constexpr TResStringRec cxSFilterOperatorEqual{"equals"_a};
inline constexpr TResStringRec cxSFilterOperatorNotEqual{"does not equal"_a};
inline constexpr TResStringRec cxSFilterOperatorLess{"is less than"_a};
inline constexpr TResStringRec cxSFilterOperatorLessEqual{"is less than or equal to"_a};
inline constexpr TResStringRec cxSFilterOperatorGreater{"is greater than"_a};
inline constexpr TResStringRec cxSFilterOperatorGreaterEqual{"is greater than or equal to"_a};
inline constexpr TResStringRec cxSFilterOperatorLike{"like"_a};
inline constexpr TResStringRec cxSFilterOperatorNotLike{"not like"_a};
inline constexpr TResStringRec cxSFilterOperatorBetween{"between"_a};
inline constexpr TResStringRec cxSFilterOperatorNotBetween{"not between"_a};
inline constexpr TResStringRec cxSFilterOperatorInList{"in"_a};
inline constexpr TResStringRec cxSFilterOperatorNotInList{"not in"_a};
inline constexpr TResStringRec cxSFilterOperatorYesterday{"is yesterday"_a};
inline constexpr TResStringRec cxSFilterOperatorToday{"is today"_a};
inline constexpr TResStringRec cxSFilterOperatorTomorrow{"is tomorrow"_a};
inline constexpr TResStringRec cxSFilterOperatorLast7Days{"is last 7 days"_a};
inline constexpr TResStringRec cxSFilterOperatorLastWeek{"is last week"_a};
inline constexpr TResStringRec cxSFilterOperatorLast14Days{"is last 14 days"_a};
inline constexpr TResStringRec cxSFilterOperatorLastTwoWeeks{"is last two weeks"_a};
inline constexpr TResStringRec cxSFilterOperatorLast30Days{"is last 30 days"_a};
inline constexpr TResStringRec cxSFilterOperatorLastMonth{"is last month"_a};
inline constexpr TResStringRec cxSFilterOperatorLastYear{"is last year"_a};
inline constexpr TResStringRec cxSFilterOperatorPast{"is past"_a};
inline constexpr TResStringRec cxSFilterOperatorThisWeek{"is this week"_a};
inline constexpr TResStringRec cxSFilterOperatorThisMonth{"is this month"_a};
inline constexpr TResStringRec cxSFilterOperatorThisYear{"is this year"_a};
inline constexpr TResStringRec cxSFilterOperatorNext7Days{"is next 7 days"_a};
inline constexpr TResStringRec cxSFilterOperatorNextWeek{"is next week"_a};
inline constexpr TResStringRec cxSFilterOperatorNext14Days{"is next 14 days"_a};
inline constexpr TResStringRec cxSFilterOperatorNextTwoWeeks{"is next two weeks"_a};
inline constexpr TResStringRec cxSFilterOperatorNext30Days{"is next 30 days"_a};
inline constexpr TResStringRec cxSFilterOperatorNextMonth{"is next month"_a};
inline constexpr TResStringRec cxSFilterOperatorNextYear{"is next year"_a};
inline constexpr TResStringRec cxSFilterOperatorFuture{"is future"_a};
inline constexpr TResStringRec cxSFilterAndCaption{"and"_a};
inline constexpr TResStringRec cxSFilterOrCaption{"or"_a};
inline constexpr TResStringRec cxSFilterNotCaption{"not"_a};
inline constexpr TResStringRec cxSFilterBlankCaption{"blank"_a};
inline constexpr TResStringRec cxSFilterOperatorIsNull{"is blank"_a};
inline constexpr TResStringRec cxSFilterOperatorIsNotNull{"is not blank"_a};
inline constexpr TResStringRec cxSFilterOperatorBeginsWith{"begins with"_a};
inline constexpr TResStringRec cxSFilterOperatorDoesNotBeginWith{"does not begin with"_a};
inline constexpr TResStringRec cxSFilterOperatorEndsWith{"ends with"_a};
inline constexpr TResStringRec cxSFilterOperatorDoesNotEndWith{"does not end with"_a};
inline constexpr TResStringRec cxSFilterOperatorContains{"contains"_a};
inline constexpr TResStringRec cxSFilterOperatorDoesNotContain{"does not contain"_a};
inline constexpr TResStringRec cxSFilterBoxAllCaption{"(All)"_a};
inline constexpr TResStringRec cxSFilterBoxCustomCaption{"(Custom...)"_a};
inline constexpr TResStringRec cxSFilterBoxBlanksCaption{"(Blanks)"_a};
inline constexpr TResStringRec cxSFilterBoxNonBlanksCaption{"(NonBlanks)"_a};

// The text of a filter caption: through the hook when one is set, else the compiled text.
AnsiString FilterCaptionText(PResStringRec rec);

namespace orv {

// How filter captions are read; the editor framework installs GetLocalizedResourceString.
using TFilterCaptionTextHook = AnsiString (*)(PResStringRec rec);
// Installs `hook` (nullptr: the compiled texts) and returns the one it replaces.
TFilterCaptionTextHook SetFilterCaptionTextHook(TFilterCaptionTextHook hook);

inline constexpr const char* kFilterConstsProductName = "Data Controller Filter";

// Registers the group once per run (unregistered at exit); every unit that includes this
// header starts it.
void StartFilterConstsUnit();
inline const bool kFilterConstsUnitStarted = (StartFilterConstsUnit(), true);

}  // namespace orv
