// The filter-expression language of the table engine: a filter text is tokenized and checked
// once, then evaluated against the table's current record as often as asked.
//
// The language in short (see the tests for the full tables):
//   - values: text in single quotes (no escapes, at most 255 characters), whole numbers
//     (32-bit), numbers with a ".", TRUE, FALSE, NULL, field names, and function calls
//     NAME(arg, ...);
//   - two precedence levels, both left-associative: "*" and "/" bind tighter than everything
//     else; "=", "<>" ("!="), ">", "<", ">=", "<=", AND, OR, XOR, "+" and "-" share one level,
//     so "a >= 1 AND b <= 2" reads as "((a >= 1) AND b) <= 2" and comparisons joined by AND,
//     OR or XOR need parentheses;
//   - a "-" directly before a digit at the start of the text or right after "<", "=" or ">"
//     is the sign of that number; elsewhere "-" is subtraction (there is no unary minus);
//   - NOT is a reserved word without meaning: a filter that uses it is refused;
//   - "=" between texts is a wildcard match ("*" any run, "?" any one character) unless the
//     no-partial-compare option is set.
//
// A text that breaks the grammar, names an unknown word, or combines operands that can never
// yield a value is refused when it is checked ("Invalid filter expression."). Evaluation itself
// never raises: a record whose values do not combine (a null field in arithmetic, a text that
// is no number, a division by zero) gives no value and is rejected.
//
// Evaluation runs a postfix program built by the check over a value stack and text buffers
// sized by the check, so evaluating a record allocates nothing. A field compared with a
// constant is one instruction of the program, and numbers compare without leaving it.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "dbf/DsDbApi.h"
#include "platform/dataset/FieldTypes.h"
#include "platform/runtime/Types.h"

namespace orv {

// Token and value kinds; tokens and evaluation results share the numbering.
enum TDbKind : Byte {
  dkNone = 0,  // end of the tokens, or no value (an error)
  dkOpen = 1,
  dkClose = 2,
  dkComma = 3,
  dkVariable = 4,
  dkFunction = 5,
  dkField = 6,
  dkText = 7,
  dkBoolean = 8,
  dkInteger = 9,
  dkFloat = 10,
  dkEqual = 11,
  dkNotEqual = 12,
  dkGreater = 13,
  dkLess = 14,
  dkGreaterEqual = 15,
  dkLessEqual = 16,
  dkAnd = 17,
  dkOr = 18,
  dkXor = 19,
  dkNot = 20,
  dkPlus = 21,
  dkMinus = 22,
  dkMultiply = 23,
  dkDivide = 24,
  dkDate = 25,
  dkTime = 26,
  dkDateTime = 27,
  dkNull = 28,
};

// Longest text value; longer texts are cut.
inline constexpr Integer DbMaxText = 255;

// Option bits of the parser (from a table's filter options or a locate's options).
inline constexpr Byte dpoCaseInsensitive = 1;
inline constexpr Byte dpoNoPartialCompare = 2;

// One value of the language: the member that its kind names holds it. Texts are not owned:
// they point into the filter text, a field buffer or a result buffer of the parser, valid
// until the next evaluation.
struct TDbValue {
  TDbKind Kind = dkNone;
  bool AsBoolean = false;
  Integer TextLength = 0;
  union {
    double AsFloat = 0;  // floating-point values, dates, times and date-times (TDateTime)
    Integer AsInteger;
    const char* Text;
  };

  std::string_view GetText() const { return {Text, static_cast<std::size_t>(TextLength)}; }
};

// A field's value on the current record, as its table decodes it.
struct TDbFieldData {
  Integer AsInteger = 0;  // ftSmallint, ftInteger, ftWord, ftAutoInc
  double AsFloat = 0;     // ftFloat, ftCurrency, ftBCD; ftDate, ftTime, ftDateTime as TDateTime
  bool AsBoolean = false; // ftBoolean
  // ftString, ftWideString: on entry a buffer of DbMaxText + 1 bytes; the source writes the
  // Windows-1251 text there (at most DbMaxText bytes) and sets TextLength.
  char* Text = nullptr;
  Integer TextLength = 0;
};

// The stored bytes of a text field on the current record, for a source whose texts are their
// stored bytes translated one by one: the field's text is the translation of Bytes[0, n) for
// some n <= Length.
struct TDbFieldBytes {
  const Byte* Bytes = nullptr;
  Integer Length = 0;
  const Byte* Table = nullptr;  // stored byte -> Windows-1251; null: the bytes are the text's own
};

// Where a field's value lies in the bytes of a record, for a source whose records are byte
// strings (the bytes of the record that GetFilterFieldData decodes): a number field whose
// values are what orv::DbfReadPlainNumber reads from Length bytes at Offset whenever it reads
// one, or a text field whose stored bytes are Length bytes at Offset (see TDbFieldBytes).
struct TDbFieldLayout {
  Integer Offset = 0;
  Integer Length = 0;
  bool Number = false;
  const Byte* Table = nullptr;  // texts: stored byte -> Windows-1251; null: the bytes are the text's own
};

// What the filter language reads of its table: the fields by name and their values on the
// current record. TDsHandleFilterSource serves a table handle; tests use synthetic records.
class IDbFilterSource {
 public:
  virtual ~IDbFilterSource() = default;
  // The index of the field named `name` (case-insensitive, first match), or -1.
  virtual Integer FindFilterField(std::string_view name) const = 0;
  virtual TFieldType GetFilterFieldType(Integer field) const = 0;
  // Decodes the field on the current record into `data` (the member its type uses). Returns
  // False when the field is null there.
  virtual bool GetFilterFieldData(Integer field, TDbFieldData& data) const = 0;
  // Optional: the stored bytes of a text field on the current record (see TDbFieldBytes), so
  // that a pattern can reject a record by the first characters without decoding the field.
  // False when the source does not offer them.
  virtual bool GetFilterFieldBytes(Integer field, TDbFieldBytes& bytes) const { return false; }
  // Optional: where the field lies in a record's bytes (see TDbFieldLayout), so that a scan can
  // reject records by their bytes. False for a field the source reads otherwise.
  virtual bool GetFilterFieldLayout(Integer field, TDbFieldLayout& layout) const { return false; }
};

// The filter's view of a table handle: the fields of its header, found by name without regard
// to case, decoded from the handle's current record by the field codec. A number field of a
// .DBF table in its usual form (blanks, a sign, digits and a point) is read straight from the
// record's bytes, giving what the codec gives; any other form goes to the codec. The text
// fields of a .DBF table offer their stored bytes.
class TDsHandleFilterSource : public IDbFilterSource {
 public:
  explicit TDsHandleFilterSource(TDsCustomHandle* handle) : FHandle(handle) {}
  TDsCustomHandle* GetHandle() const { return FHandle; }

  Integer FindFilterField(std::string_view name) const override;
  TFieldType GetFilterFieldType(Integer field) const override;
  bool GetFilterFieldData(Integer field, TDbFieldData& data) const override;
  bool GetFilterFieldBytes(Integer field, TDbFieldBytes& bytes) const override;
  bool GetFilterFieldLayout(Integer field, TDbFieldLayout& layout) const override;

 private:
  // Where the bytes of a .DBF number or text field lie in the record; Length 0 for the fields
  // only the codec reads.
  struct TFieldLayout {
    Integer Offset = 0;
    Integer Length = 0;
    bool Number = false;
  };

  TDsCustomField* Field(Integer index) const;
  // The layout of a field of the current header (learnt anew when the header changes).
  const TFieldLayout& Layout(const TDsCustomHeader* header, Integer field) const;
  void Learn(const TDsCustomHeader* header) const;

  TDsCustomHandle* FHandle;
  // Text fields wider than a text value: decoded here, then cut (grows once, not per record).
  mutable std::vector<char> FScratch;
  mutable const TDsCustomHeader* FLayoutHeader = nullptr;
  mutable std::vector<TFieldLayout> FLayouts;
};

class TDbFunctionCall;

// A function of the language: receives its argument values and sets the result; a result of
// kind dkNone means no value. A text result goes into the call's buffer.
using TDbFunctionHandler = void (*)(const TDbFunctionCall& call, TDbValue& result);

}  // namespace orv

class TDsDbParser {
 public:
  // Fields come from `source`; without one no field names resolve.
  explicit TDsDbParser(orv::IDbFilterSource* source = nullptr);
  // Bound to a table handle: the fields of its header on its current record.
  explicit TDsDbParser(TDsCustomHandle* handle);
  TDsDbParser(const TDsDbParser&) = delete;
  TDsDbParser& operator=(const TDsDbParser&) = delete;
  ~TDsDbParser();

  orv::IDbFilterSource* GetSource() const { return FSource; }

  const AnsiString& GetText() const { return FText; }
  // A different text marks the tokens stale.
  void SetText(const AnsiString& value);
  // dpoCaseInsensitive | dpoNoPartialCompare; they change how texts compare, not the tokens.
  Byte GetOptions() const { return FOptions; }
  void SetOptions(Byte value) { FOptions = value; }

  // Tokenizes and checks the text unless that has been done for it; False when the text is
  // refused. Never raises.
  bool Tokenize();
  // Tokenize, raising Exception("Invalid filter expression.") when the text is refused. An
  // empty text is refused as well (a table without a filter does not ask).
  void Check();
  // The value of the expression on the current record (dkNone: no value). Tokenizes first when
  // the tokens are stale. Allocates nothing once tokenized.
  const orv::TDbValue& Evaluate();
  // True exactly when the expression yields the Boolean True on the current record. The
  // operands of the top-level AND chain are evaluated in turn and the first that is not True
  // decides, so a record is rejected without reading the fields the rest would read.
  bool Accept();

  // The record test: a look at the bytes of records (see TDbFieldLayout) that rejects a record
  // only where Accept, with that record current, would reject it too. It is built, when the
  // source offers field layouts, from the operands of the top-level AND chain that read no
  // function: comparisons of a number field, after adding, subtracting, multiplying or
  // dividing constants, with a number constant; a text field matched against a pattern with
  // leading characters; AND and OR of these. A number field not in its plain form, or a text
  // whose leading characters match, leaves the record to Accept. False when there is no test
  // (then SkipRejected rejects nothing).
  bool HasRecordTest();
  // Of `count` records `size` bytes apart from `records` on, the number of leading ones that the
  // record test rejects.
  Integer SkipRejected(const Byte* records, Integer count, Integer size);
  // Builds the record test anew on its next use (the source's layouts or code page changed).
  void InvalidateRecordTest() { FRecordTestBuilt = false; }

  // Field lookup through the source (case-insensitive, first match); -1 when none.
  Integer FindField(std::string_view name) const;
  // Function lookup (case-insensitive); -1 when none.
  Integer FindFunction(std::string_view name) const;
  // Adds a function with a fixed number of arguments (at most 255); a name of up to 64
  // characters that is a word of the language. A later registration of a name replaces the
  // earlier one.
  void RegisterFunction(std::string_view name, Integer argCount, orv::TDbFunctionHandler handler);

  // Tokens of the last tokenize (for tests): their kinds, ending with dkNone.
  std::vector<orv::TDbKind> GetTokenKinds() const;

 private:
  friend class orv::TDbFunctionCall;
  struct TToken;
  struct TOp;
  struct TFunction;
  struct TFieldSlot;
  class TCompiler;
  struct TRecordTest;

  // An operand of the top-level AND chain: the part [Begin, End) of the program.
  struct TConjunct {
    Integer Begin = 0;
    Integer End = 0;
  };

  bool TokenizeText();
  bool Compile();
  void SplitConjuncts();
  // Runs FProgram[begin, end) (one whole subexpression) on the current record; the value it
  // leaves, or null when it yields no value.
  const orv::TDbValue* Run(Integer begin, Integer end);
  const orv::TDbValue& FieldValue(Integer slot);
  // Whether a text field's stored bytes already show that it cannot match the pattern of a
  // text field "=" constant op (when the field has not been decoded for this evaluation).
  bool RejectedByBytes(const TOp& op) const;
  bool ReadField(Integer field, char* buffer, orv::TDbValue& value) const;
  bool ReadField(Integer field, orv::TDbKind kind, char* buffer, orv::TDbValue& value) const;
  void BuildRecordTest();

  std::unique_ptr<orv::TDsHandleFilterSource> FHandleSource;
  orv::IDbFilterSource* FSource;
  AnsiString FText;
  Byte FOptions = 0;
  bool FTokenized = false;
  bool FValid = false;
  std::vector<TToken> FTokens;
  std::vector<TFunction> FFunctions;
  std::vector<TOp> FProgram;
  std::vector<TFieldSlot> FFieldSlots;
  std::vector<TConjunct> FConjuncts;
  // A constant operand of the AND chain that is not True: no record is accepted.
  bool FAcceptsNothing = false;
  UInt64 FEvaluation = 0;
  std::vector<orv::TDbValue> FStack;
  std::vector<char> FBuffers;
  orv::TDbValue FResult;
  std::unique_ptr<TRecordTest> FRecordTest;  // null: none
  bool FRecordTestBuilt = false;
  Byte FRecordTestOptions = 0;
};

namespace orv {

// What a function handler sees of its call.
class TDbFunctionCall {
 public:
  TDbFunctionCall(TDsDbParser& parser, const TDbValue* args, Integer argCount, char* buffer)
      : FParser(parser), FArgs(args), FArgCount(argCount), FBuffer(buffer) {}
  TDsDbParser& GetParser() const { return FParser; }
  const TDbValue& Arg(Integer index) const { return FArgs[index]; }
  Integer GetArgCount() const { return FArgCount; }
  // DbMaxText + 1 bytes for a text result.
  char* GetBuffer() const { return FBuffer; }
  // Sets `result` to the text, cut to DbMaxText, copied into the buffer.
  void SetTextResult(TDbValue& result, std::string_view text) const;
  // Decodes the field on the current record into the value (NULL when null), using the buffer.
  bool ReadField(Integer field, TDbValue& value) const;

 private:
  TDsDbParser& FParser;
  const TDbValue* FArgs;
  Integer FArgCount;
  char* FBuffer;
};

}  // namespace orv
