// The format controller: the one place where the component library derives its locale formats
// (currency pattern, first day of the week, the tokenized short-date, long-time and date-time
// formats) and, from them, the edit masks and display formats of date and time editors. It
// listens for regional-settings and time broadcasts and for replaced resource strings, rebuilds
// everything and tells its listeners. One instance exists per program, created on first use.
#pragma once

#include <vector>

#include "components/foundation/cxClasses.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Messages.h"

// ==== Tokenized date-time formats ============================================================

enum TcxDateTimeFormatItemKind : Byte {
  dfiLiteral,        // the literal characters, adjacent literals merged
  dfiYear,           // "YY" or "YYYY"
  dfiMonth,          // "M" .. "MMMM"
  dfiDay,            // "D" .. "DDDD" (3 and 4 are weekday names)
  dfiHour,           // "H" or "HH", prefixed with "12" or "24" after tokenizing
  dfiMinute,         // "N" or "NN"
  dfiSecond,         // "S" or "SS"
  dfiMillisecond,    // "Z" .. "ZZZ"
  dfiAmPm,           // the format's own "AM/PM" or "A/P" characters, or "AMPM"
  dfiDateSeparator,  // empty (from '/')
  dfiTimeSeparator,  // empty (from ':')
};
inline constexpr Integer kDateTimeFormatItemKindCount = 11;

struct TcxDateTimeFormatItem {
  TcxDateTimeFormatItemKind Kind = dfiLiteral;
  AnsiString Data;
  friend bool operator==(const TcxDateTimeFormatItem&, const TcxDateTimeFormatItem&) = default;
};

struct TcxDateTimeFormatInfo {
  // One flag per kind, set when an item of that kind was added.
  Boolean DefinedItems[kDateTimeFormatItemKindCount] = {};
  // Set while tokenizing when the level that holds the hour also had an AM/PM token.
  Boolean Is12HourFormat = false;
  std::vector<TcxDateTimeFormatItem> Items;

  void Clear() { *this = TcxDateTimeFormatInfo(); }
  Integer GetCount() const { return Integer(Items.size()); }
  Boolean HasItem(TcxDateTimeFormatItemKind kind) const { return DefinedItems[kind]; }
};

// What a date-time format item occupies in the edited text (FindFormatItemAt).
struct TcxFormatItemPosition {
  TcxDateTimeFormatItemKind Kind = dfiLiteral;
  Integer Start = 0;   // 1-based
  Integer Length = 0;
  Integer AmPmStyle = 0;
};

// ==== Listeners ==============================================================================

class IcxFormatsChangeListener : public virtual IInterface {
 public:
  virtual void FormatsChanged() = 0;
};

// Listeners that also want the system time-change broadcast.
class IcxSystemTimeListener : public virtual IInterface {
 public:
  virtual void SystemTimeChanged() = 0;
};

// The editors' name for a formats-change listener and its one operation (the text editor and
// its properties, the time editor's format listener implement FormatChanged).
class IcxLocaleFormatListener : public IcxFormatsChangeListener {
 public:
  virtual void FormatChanged() = 0;
  void FormatsChanged() final { FormatChanged(); }
};

// ==== The controller =========================================================================

class TcxFormatController : public TcxIUnknownObject, public orv::ITranslationListener {
  ORV_CLASS(TcxFormatController, TcxIUnknownObject)
 public:
  // Rebuilds at once and joins the string repository's listeners; records itself as the
  // program's controller when there is none yet.
  TcxFormatController();
  ~TcxFormatController() override;
  void BeforeDestruction() override;

  // The hidden window's procedure: the "intl" settings broadcast rebuilds and notifies, the
  // time broadcast notifies the time listeners; everything else goes to the default procedure.
  virtual void HandleMessage(TMessage& message);
  // Each listener at most once; the hidden window exists while at least one is registered.
  virtual void AddFormatListener(IcxFormatsChangeListener* listener);
  virtual void RemoveFormatListener(IcxFormatsChangeListener* listener);

  void Rebuild();
  void NotifyFormatsChanged();
  void NotifyTimeChanged();
  // The string repository's translation notice: rebuild (the smart words may have changed).
  void ResourceStringsChanged();
  void TranslationChanged() override { ResourceStringsChanged(); }

  Integer GetListenerCount() const { return Integer(FListeners.size()); }
  HWND GetWindowHandle() const { return FWindow; }

  // ---- The derived values ----
  const AnsiString& GetCurrencyPattern() const { return FCurrencyPattern; }
  // 0 Sunday .. 6 Saturday.
  Integer GetWeekStartDay() const { return FWeekStartDay; }
  const AnsiString& GetPaddedShortDateFormat() const { return FPaddedShortDateFormat; }
  const TcxDateTimeFormatInfo& GetDateFormatItems() const { return FDateFormatInfo; }
  const TcxDateTimeFormatInfo& GetTimeFormatItems() const { return FTimeFormatInfo; }
  const TcxDateTimeFormatInfo& GetDateTimeFormatItems() const { return FDateTimeFormatInfo; }
  const AnsiString& GetStandardDateMask() const { return FStandardDateMask; }
  const AnsiString& GetStandardDateTimeMask() const { return FStandardDateTimeMask; }
  const AnsiString& GetRegExprDateMask() const { return FRegExprDateMask; }
  const AnsiString& GetRegExprDateTimeMask() const { return FRegExprDateTimeMask; }
  const AnsiString& GetDateDisplayFormat() const { return FDateDisplayFormat; }
  const AnsiString& GetDateTimeDisplayFormat() const { return FDateTimeDisplayFormat; }
  // A mask set by the application is kept by later rebuilds (its Fixed flag is set).
  void SetStandardDateMask(const AnsiString& value);
  void SetStandardDateTimeMask(const AnsiString& value);
  void SetRegExprDateMask(const AnsiString& value);
  void SetRegExprDateTimeMask(const AnsiString& value);
  Boolean GetStandardDateMaskFixed() const { return FStandardDateMaskFixed; }
  Boolean GetStandardDateTimeMaskFixed() const { return FStandardDateTimeMaskFixed; }
  Boolean GetRegExprDateMaskFixed() const { return FRegExprDateMaskFixed; }
  Boolean GetRegExprDateTimeMaskFixed() const { return FRegExprDateTimeMaskFixed; }
  // 0: the locale's rule (read by the calendar).
  Integer GetFirstWeekRule() const { return FFirstWeekRule; }
  void SetFirstWeekRule(Integer value) { FFirstWeekRule = value; }
  // When set, the date routines use the platform's format strings and names instead of the
  // locale queries.
  Boolean GetUsePlatformFormats() const { return FUsePlatformFormats; }
  void SetUsePlatformFormats(Boolean value) { FUsePlatformFormats = value; }

  // The editors' names for some of the values above.
  Integer GetFirstWeekday() const { return GetWeekStartDay(); }                  // calendar control
  Integer GetWeekNumberRule() const { return GetFirstWeekRule(); }               // calendar control
  Boolean GetUsesPlatformDateFormats() const { return GetUsePlatformFormats(); }  // date editor

  // ---- Format items, as the date editors step through a masked date ----
  static Integer FormatTextLength(const TcxDateTimeFormatInfo& info);
  // The item that covers a 1-based text position; false for a position of 0 or below, past
  // the end, or without items.
  static Boolean FindFormatItemAt(const TcxDateTimeFormatInfo& info, Integer position,
                                  TcxFormatItemPosition& found);
  static Integer FormatItemTextLength(const TcxDateTimeFormatItem& item);
  // Case-insensitively: 0 "A/P", 1 "AM/PM", 2 anything else.
  static Integer AmPmStyle(const AnsiString& text);

  // ---- The builders behind Rebuild, on the current locale ----
  static AnsiString BuildCurrencyPattern();
  static AnsiString BuildPaddedDateFormat(Boolean limitMonths);
  // An empty format reads as "C"; a format the tokenizer refuses (the era letter) leaves the
  // info empty.
  static void TokenizeDateTimeFormat(const AnsiString& format, TcxDateTimeFormatInfo& info);
  // Mode 0 date, 1 time, 2 date and time.
  static AnsiString BuildStandardMask(const TcxDateTimeFormatInfo& info, Integer mode);
  // Mode 0 date, 1 time, 2 none.
  static AnsiString BuildRegExprMask(const TcxDateTimeFormatInfo& info, Integer mode);
  static AnsiString BuildDisplayFormat(const TcxDateTimeFormatInfo& info);

 private:
  void WndProc(TMessage& message) { HandleMessage(message); }
  void BuildDateTimeFormats();

  std::vector<IcxFormatsChangeListener*> FListeners;
  HWND FWindow = nullptr;
  Boolean FRegistered = false;

  AnsiString FCurrencyPattern;
  Integer FWeekStartDay = 0;
  AnsiString FPaddedShortDateFormat;
  TcxDateTimeFormatInfo FDateFormatInfo;
  TcxDateTimeFormatInfo FTimeFormatInfo;
  TcxDateTimeFormatInfo FDateTimeFormatInfo;
  AnsiString FStandardDateMask;
  AnsiString FStandardDateTimeMask;
  AnsiString FRegExprDateMask;
  AnsiString FRegExprDateTimeMask;
  AnsiString FDateDisplayFormat;
  AnsiString FDateTimeDisplayFormat;
  Boolean FStandardDateMaskFixed = false;
  Boolean FStandardDateTimeMaskFixed = false;
  Boolean FRegExprDateMaskFixed = false;
  Boolean FRegExprDateTimeMaskFixed = false;
  Integer FFirstWeekRule = 0;
  Boolean FUsePlatformFormats = false;
};

// The program's controller, created on the first call and freed at program end.
TcxFormatController* GetFormatController();
