#include "components/data/cxDataUtils.h"

#include <cmath>

#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"

Integer FirstWeekdayOverride = 10;

AnsiString CurrencyDisplayFormat() {
  AnsiString digits = ",0";
  if (FormatSettings.CurrencyDecimals > 0) digits += "." + AnsiString(FormatSettings.CurrencyDecimals, '0');
  AnsiString symbol;
  for (const char c : FormatSettings.CurrencyString) {
    if (c == ',' || c == '.')
      symbol += AnsiString("'") + c + "'";
    else
      symbol += c;
  }
  switch (FormatSettings.CurrencyFormat) {
    case 0: return symbol + digits;
    case 1: return digits + symbol;
    case 2: return symbol + " " + digits;
    case 3: return digits + " " + symbol;
    default: return digits;
  }
}

TDateTime WholeDays(TDateTime dateTime) { return std::trunc(dateTime); }

TDateTime DayFraction(TDateTime dateTime) { return dateTime - std::trunc(dateTime); }

Integer FirstWeekday() {
  if (FirstWeekdayOverride != 10) return FirstWeekdayOverride;
  const AnsiString setting = GetLocaleInfo(GetThreadLocale(), LOCALE_IFIRSTDAYOFWEEK);
  if (setting.empty() || setting[0] < '0' || setting[0] > '6') return 1;
  // The locale counts from Monday (0); the result counts from Sunday.
  return (setting[0] - '0' + 1) % 7;
}

TDateTime GetWeekStartDate(TDateTime date) {
  const Integer weekday = DayOfWeek(date) - 1;
  const Integer first = FirstWeekday();
  return weekday < first ? WholeDays(date) - 7 + (first - weekday) : WholeDays(date) - (weekday - first);
}

Boolean TextMatchesSearch(const AnsiString& text, const AnsiString& searchText, Boolean partial) {
  const AnsiString upperText = AnsiUpperCase(text), upperSearch = AnsiUpperCase(searchText);
  if (upperSearch.empty() || !partial) return upperText == upperSearch;
  return upperText.compare(0, upperSearch.size(), upperSearch) == 0;
}

// ==== TcxCustomDataBinding ===================================================================

void TcxCustomDataBinding::AttachInnerControl(TComponent* control) {
  if (control == FInnerControl) return;
  FInnerControl = control;
  InnerControlChanged();
}

void TcxCustomDataBinding::DataChanged() {
  if (FOnDataChanged) FOnDataChanged();
}

void TcxCustomDataBinding::ReadOnlyChanged() {
  if (FOnReadOnlyChanged) FOnReadOnlyChanged();
}

void TcxCustomDataBinding::ChangeReadOnly(Boolean value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  ReadOnlyChanged();
}

void TcxCustomDataBinding::StoreControlValue() {
  if (FOnStoreValue) FOnStoreValue();
}

// ==== TcxCollection ==========================================================================

void TcxCollection::Assign(TPersistent* source) {
  if (!source || !source->InheritsFrom(TCollection::StaticClass())) {
    inherited::Assign(source);
    return;
  }
  auto* sourceCollection = static_cast<TCollection*>(source);
  if (sourceCollection->GetCount() == 0 && GetCount() == 0) return;
  BeginUpdate();
  try {
    for (Integer i = 0; i < sourceCollection->GetCount(); ++i) {
      TCollectionItem* item = i < GetCount() ? GetItem(i) : Add();
      item->Assign(sourceCollection->GetItem(i));
    }
    for (Integer i = GetCount() - 1; i >= sourceCollection->GetCount(); --i) Delete(i);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}
