// The regular-expression engine behind the regular-expression masks of the mask editor.
//
// A mask is compiled, in three phases (lexer, parser, linker), into a nondeterministic automaton
// that takes input one typed character at a time: the mask modes feed each character, step back
// on deletion, ask whether the text so far is complete, and let the automaton walk over the
// characters the expression forces (a fixed literal that is the only possible continuation).
//
// The dialect:
//   - white space outside quotes is skipped everywhere and never matches; 'text' gives one
//     literal per character (a doubled quote inside stands for one quote);
//   - ( ) groups, | alternatives, ? * + quantifiers, {n} {n,} {n,m} counted repetitions,
//     [ ] sets with ^ first for the complement and - for a range;
//   - . any character, / the locale's date separator, : its time separator;
//   - escapes \a \e \f \n \r \t, \p the locale's decimal separator (taken when compiling), \xHH,
//     the classes \w \W \d \D \s \S, the back references \1 to \9 (the group's pattern again,
//     not its text); a backslash before any other character makes it a literal;
//   - every other character is a literal.
// Errors are collected with their line and column and raised together at the end of the phase
// that found them (EcxRegExprError, whose reader takes the texts from the error list).
//
// Characters are single Windows-1251 bytes. Letters compare without case through the locale's
// case mapping; ranges compare byte values and ignore case.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "components/editors/cxEditErrors.h"
#include "platform/runtime/Lists.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Types.h"

class TcxRegExpr;
class TcxRegExprState;
class TcxRegExprStates;

namespace orv {

// One step or one expansion over the states. Each junction is passed once in a walk, which keeps
// the walk linear and ends it on cycles of junctions that consume nothing (as in (a?){2,}), and
// each state is listed once in the walk's result.
struct TcxRegExprWalk {
  TcxRegExprWalk();
  std::uint64_t Stamp;
};

}  // namespace orv

// ==== Character classes ======================================================================

// What one input position can match.
class TcxRegExprItem : public TObject {
  ORV_CLASS(TcxRegExprItem, TObject)
 public:
  TcxRegExprItem() = default;

  // Whether `ch` belongs to the class; a case-insensitive symbol hands back its own character.
  virtual bool Matches(char& ch, bool caseInsensitive) = 0;
  virtual TcxRegExprItem* Duplicate() = 0;
};

class TcxRegExprSymbol : public TcxRegExprItem {
  ORV_CLASS(TcxRegExprSymbol, TcxRegExprItem)
 public:
  explicit TcxRegExprSymbol(char ch) : FChar(ch) {}

  char GetChar() const { return FChar; }
  bool Matches(char& ch, bool caseInsensitive) override;
  TcxRegExprItem* Duplicate() override { return new TcxRegExprSymbol(FChar); }

 private:
  char FChar;
};

// The locale's time separator at the moment of the test.
class TcxRegExprTimeSeparator : public TcxRegExprItem {
  ORV_CLASS(TcxRegExprTimeSeparator, TcxRegExprItem)
 public:
  TcxRegExprTimeSeparator() = default;

  bool Matches(char& ch, bool caseInsensitive) override;
  TcxRegExprItem* Duplicate() override { return new TcxRegExprTimeSeparator; }
};

// The locale's date separator at the moment of the test.
class TcxRegExprDateSeparator : public TcxRegExprItem {
  ORV_CLASS(TcxRegExprDateSeparator, TcxRegExprItem)
 public:
  TcxRegExprDateSeparator() = default;

  bool Matches(char& ch, bool caseInsensitive) override;
  TcxRegExprItem* Duplicate() override { return new TcxRegExprDateSeparator; }
};

// first <= ch <= last by byte value, whatever the case flag.
class TcxRegExprSubrange : public TcxRegExprItem {
  ORV_CLASS(TcxRegExprSubrange, TcxRegExprItem)
 public:
  TcxRegExprSubrange(char first, char last) : FFirst(first), FLast(last) {}

  char GetFirst() const { return FFirst; }
  char GetLast() const { return FLast; }
  bool Matches(char& ch, bool caseInsensitive) override;
  TcxRegExprItem* Duplicate() override { return new TcxRegExprSubrange(FFirst, FLast); }

 private:
  char FFirst;
  char FLast;
};

// A set of characters, or its complement when inverse.
class TcxRegExprEnumeration : public TcxRegExprItem {
  ORV_CLASS(TcxRegExprEnumeration, TcxRegExprItem)
 public:
  explicit TcxRegExprEnumeration(bool inverse) : FInverse(inverse) {}

  bool GetInverse() const { return FInverse; }
  bool Matches(char& ch, bool caseInsensitive) final { return IsMember(ch, caseInsensitive) != FInverse; }

 protected:
  virtual bool IsMember(char& ch, bool caseInsensitive) = 0;

 private:
  bool FInverse;
};

// A bracketed set: its members are tried in the order they were added, and the first that
// matches decides (a symbol member may have replaced the character by then).
class TcxRegExprUserEnumeration : public TcxRegExprEnumeration {
  ORV_CLASS(TcxRegExprUserEnumeration, TcxRegExprEnumeration)
 public:
  explicit TcxRegExprUserEnumeration(bool inverse) : TcxRegExprEnumeration(inverse) {}
  ~TcxRegExprUserEnumeration() override;

  // Takes the member over.
  void Add(TcxRegExprItem* item);
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxRegExprItem* GetItem(Integer index) const { return FItems[static_cast<std::size_t>(index)]; }
  TcxRegExprItem* Duplicate() override;

 protected:
  bool IsMember(char& ch, bool caseInsensitive) override;

 private:
  std::vector<TcxRegExprItem*> FItems;
};

// "0" to "9".
class TcxRegExprDigit : public TcxRegExprEnumeration {
  ORV_CLASS(TcxRegExprDigit, TcxRegExprEnumeration)
 public:
  explicit TcxRegExprDigit(bool inverse) : TcxRegExprEnumeration(inverse) {}
  TcxRegExprItem* Duplicate() override { return new TcxRegExprDigit(GetInverse()); }

 protected:
  bool IsMember(char& ch, bool caseInsensitive) override;
};

// Letters (the locale's, Cyrillic included), digits and "_".
class TcxRegExprIdLetter : public TcxRegExprEnumeration {
  ORV_CLASS(TcxRegExprIdLetter, TcxRegExprEnumeration)
 public:
  explicit TcxRegExprIdLetter(bool inverse) : TcxRegExprEnumeration(inverse) {}
  TcxRegExprItem* Duplicate() override { return new TcxRegExprIdLetter(GetInverse()); }

 protected:
  bool IsMember(char& ch, bool caseInsensitive) override;
};

// Byte 0, tab, line feed, form feed, carriage return and the space (not the vertical tab).
class TcxRegExprSpace : public TcxRegExprEnumeration {
  ORV_CLASS(TcxRegExprSpace, TcxRegExprEnumeration)
 public:
  explicit TcxRegExprSpace(bool inverse) : TcxRegExprEnumeration(inverse) {}
  TcxRegExprItem* Duplicate() override { return new TcxRegExprSpace(GetInverse()); }

 protected:
  bool IsMember(char& ch, bool caseInsensitive) override;
};

// Every character.
class TcxRegExprAll : public TcxRegExprItem {
  ORV_CLASS(TcxRegExprAll, TcxRegExprItem)
 public:
  TcxRegExprAll() = default;

  bool Matches(char& ch, bool caseInsensitive) override { return true; }
  TcxRegExprItem* Duplicate() override { return new TcxRegExprAll; }
};

// ==== States of the automaton ================================================================

// A list of states (not owned). Adding a state already listed does nothing: a state reachable
// along several paths is listed once, so the sets stay as small as the expression.
class TcxRegExprStates : public TObject {
  ORV_CLASS(TcxRegExprStates, TObject)
 public:
  TcxRegExprStates() = default;

  void Add(TcxRegExprState* state);
  // Adds a state reached in `walk`, whose result this set is (once per walk, in constant time).
  void Add(TcxRegExprState* state, orv::TcxRegExprWalk& walk);
  // Adds the members of `states` and frees it.
  void AddStates(TcxRegExprStates* states);
  Integer GetCount() const { return static_cast<Integer>(FStates.size()); }
  TcxRegExprState* GetState(Integer index) const { return FStates[static_cast<std::size_t>(index)]; }
  bool Contains(const TcxRegExprState* state) const;

  // True when the set is not empty and every member is a simple state whose class is one fixed
  // character (a symbol or a separator), the same for all; that character.
  bool GetSingleChar(char& ch) const;
  // A new set: the states reached when the members are offered `ch`.
  TcxRegExprStates* Step(char& ch, bool caseInsensitive) const;
  // A new set: the simple states that could consume the next character.
  TcxRegExprStates* GetNextEntryStates() const;
  // Some member is a final simple state.
  bool ContainsFinal() const;

 private:
  std::vector<TcxRegExprState*> FStates;
};

// A state with its successors (not owned by it).
class TcxRegExprState : public TObject {
  ORV_CLASS(TcxRegExprState, TObject)
 public:
  TcxRegExprState() = default;

  // A new set: the states reached when this state is offered `ch`.
  TcxRegExprStates* Accept(char& ch, bool caseInsensitive);
  // A new state of the same kind, without successors.
  virtual TcxRegExprState* Duplicate() { return new TcxRegExprState; }
  // A new set: the simple states this state stands for.
  TcxRegExprStates* GetEntryStates();

  void AddNext(TcxRegExprState* state) { FNext.Add(state); }
  // Adds the members of `states` as successors and frees it.
  void AddNextStates(TcxRegExprStates* states) { FNext.AddStates(states); }
  const TcxRegExprStates& GetNext() const { return FNext; }
  // A new set: the union of Accept over the successors.
  TcxRegExprStates* Step(char& ch, bool caseInsensitive);
  // A new set: the union of the successors' entry states.
  TcxRegExprStates* GetNextEntryStates();

  // The forms that share the caller's walk (the junctions already passed).
  virtual void DoAccept(char& ch, bool caseInsensitive, TcxRegExprStates& into,
                        orv::TcxRegExprWalk& walk) {}
  virtual void DoGetEntryStates(TcxRegExprStates& into, orv::TcxRegExprWalk& walk);
  void DoStep(char& ch, bool caseInsensitive, TcxRegExprStates& into, orv::TcxRegExprWalk& walk);
  void DoGetNextEntryStates(TcxRegExprStates& into, orv::TcxRegExprWalk& walk);

  // The walk that last passed or listed this state.
  std::uint64_t GetWalkStamp() const { return FWalkStamp; }
  void SetWalkStamp(std::uint64_t value) { FWalkStamp = value; }

 private:
  TcxRegExprStates FNext;
  std::uint64_t FWalkStamp = 0;
};

// A state that consumes one character of its class. The automaton's start state has no class.
class TcxRegExprSimpleState : public TcxRegExprState {
  ORV_CLASS(TcxRegExprSimpleState, TcxRegExprState)
 public:
  // Takes the class over.
  explicit TcxRegExprSimpleState(TcxRegExprItem* item = nullptr) : FItem(item) {}
  ~TcxRegExprSimpleState() override;

  TcxRegExprItem* GetItem() const { return FItem; }
  bool GetFinal() const { return FFinal; }
  void SetFinal(bool value) { FFinal = value; }
  TcxRegExprState* Duplicate() override;

  void DoAccept(char& ch, bool caseInsensitive, TcxRegExprStates& into,
                orv::TcxRegExprWalk& walk) override;
  void DoGetEntryStates(TcxRegExprStates& into, orv::TcxRegExprWalk& walk) override { into.Add(this, walk); }

 private:
  bool FFinal = false;
  TcxRegExprItem* FItem;
};

// A junction that consumes nothing: where a group starts and where it finishes.
class TcxRegExprBlockState : public TcxRegExprState {
  ORV_CLASS(TcxRegExprBlockState, TcxRegExprState)
 public:
  TcxRegExprBlockState() = default;

  TcxRegExprState* Duplicate() override { return new TcxRegExprBlockState; }

  void DoAccept(char& ch, bool caseInsensitive, TcxRegExprStates& into,
                orv::TcxRegExprWalk& walk) override;
  void DoGetEntryStates(TcxRegExprStates& into, orv::TcxRegExprWalk& walk) override;
};

// ==== Parse tree =============================================================================

class TcxRegExprQuantifier : public TObject {
  ORV_CLASS(TcxRegExprQuantifier, TObject)
 public:
  TcxRegExprQuantifier() = default;

  virtual bool AllowsAbsence() = 0;
  virtual bool AllowsRepetition() = 0;
  virtual TcxRegExprQuantifier* Duplicate() = 0;
  virtual void GetSuffix(AnsiString& text) = 0;
};

// No quantifier: exactly once.
class TcxRegExprSimpleQuantifier : public TcxRegExprQuantifier {
  ORV_CLASS(TcxRegExprSimpleQuantifier, TcxRegExprQuantifier)
 public:
  TcxRegExprSimpleQuantifier() = default;
  bool AllowsAbsence() override { return false; }
  bool AllowsRepetition() override { return false; }
  TcxRegExprQuantifier* Duplicate() override { return new TcxRegExprSimpleQuantifier; }
  void GetSuffix(AnsiString& text) override { text.clear(); }
};

class TcxRegExprQuestionQuantifier : public TcxRegExprQuantifier {
  ORV_CLASS(TcxRegExprQuestionQuantifier, TcxRegExprQuantifier)
 public:
  TcxRegExprQuestionQuantifier() = default;
  bool AllowsAbsence() override { return true; }
  bool AllowsRepetition() override { return false; }
  TcxRegExprQuantifier* Duplicate() override { return new TcxRegExprQuestionQuantifier; }
  void GetSuffix(AnsiString& text) override { text = "?"; }
};

class TcxRegExprStarQuantifier : public TcxRegExprQuantifier {
  ORV_CLASS(TcxRegExprStarQuantifier, TcxRegExprQuantifier)
 public:
  TcxRegExprStarQuantifier() = default;
  bool AllowsAbsence() override { return true; }
  bool AllowsRepetition() override { return true; }
  TcxRegExprQuantifier* Duplicate() override { return new TcxRegExprStarQuantifier; }
  void GetSuffix(AnsiString& text) override { text = "*"; }
};

class TcxRegExprPlusQuantifier : public TcxRegExprQuantifier {
  ORV_CLASS(TcxRegExprPlusQuantifier, TcxRegExprQuantifier)
 public:
  TcxRegExprPlusQuantifier() = default;
  bool AllowsAbsence() override { return false; }
  bool AllowsRepetition() override { return true; }
  TcxRegExprQuantifier* Duplicate() override { return new TcxRegExprPlusQuantifier; }
  void GetSuffix(AnsiString& text) override { text = "+"; }
};

class TcxRegExprParserAlt;
class TcxRegExprParserAlts;

// One item of an alternative: a character class or a group, with its quantifier.
class TcxRegExprParserItem : public TObject {
  ORV_CLASS(TcxRegExprParserItem, TObject)
 public:
  // Takes the quantifier over; none means exactly once.
  explicit TcxRegExprParserItem(TcxRegExprQuantifier* quantifier = nullptr);
  ~TcxRegExprParserItem() override;

  virtual bool MayMatchEmpty() = 0;
  virtual TcxRegExprParserItem* Duplicate() = 0;
  // A diagnostic dump of the item.
  virtual void Describe(AnsiString& text) = 0;
  virtual void MarkFinal() = 0;

  bool IsOptional() { return FQuantifier->AllowsAbsence(); }
  bool IsRepeatable() { return FQuantifier->AllowsRepetition(); }
  bool HasNoQuantifier() const;
  // Frees the old quantifier and takes the new one; nullptr is ignored.
  void ReplaceQuantifier(TcxRegExprQuantifier* quantifier);
  TcxRegExprQuantifier* GetQuantifier() const { return FQuantifier; }

  // Where the item is entered and where it is left: its state, or a group's junctions.
  virtual TcxRegExprState* GetEntry() = 0;
  virtual TcxRegExprState* GetExit() = 0;
  // The number of character positions (simple states) the item holds.
  virtual Integer GetStateCount() = 0;
  // How deep groups nest in the item (0 for a character class).
  virtual Integer GetNesting() = 0;

 private:
  TcxRegExprQuantifier* FQuantifier;
};

class TcxRegExprParserSimpleItem : public TcxRegExprParserItem {
  ORV_CLASS(TcxRegExprParserSimpleItem, TcxRegExprParserItem)
 public:
  // Takes the class (and the quantifier) over.
  explicit TcxRegExprParserSimpleItem(TcxRegExprItem* item, TcxRegExprQuantifier* quantifier = nullptr);
  ~TcxRegExprParserSimpleItem() override;

  TcxRegExprSimpleState* GetState() const { return FState; }
  bool MayMatchEmpty() override { return IsOptional(); }
  TcxRegExprParserItem* Duplicate() override;
  void Describe(AnsiString& text) override;
  void MarkFinal() override { FState->SetFinal(true); }
  TcxRegExprState* GetEntry() override { return FState; }
  TcxRegExprState* GetExit() override { return FState; }
  Integer GetStateCount() override { return 1; }
  Integer GetNesting() override { return 0; }

 private:
  TcxRegExprParserSimpleItem(TcxRegExprSimpleState* state, TcxRegExprQuantifier* quantifier);
  TcxRegExprSimpleState* FState;
};

// A parenthesised group (or one the parser made to hold a quantified item).
class TcxRegExprParserBlockItem : public TcxRegExprParserItem {
  ORV_CLASS(TcxRegExprParserBlockItem, TcxRegExprParserItem)
 public:
  explicit TcxRegExprParserBlockItem(TcxRegExprQuantifier* quantifier = nullptr);
  ~TcxRegExprParserBlockItem() override;

  TcxRegExprParserAlts* GetAlts() const { return FAlts; }
  TcxRegExprBlockState* GetStartState() const { return FStart; }
  TcxRegExprBlockState* GetFinishState() const { return FFinish; }
  bool MayMatchEmpty() override;
  TcxRegExprParserItem* Duplicate() override;
  void Describe(AnsiString& text) override;
  void MarkFinal() override;
  TcxRegExprState* GetEntry() override;
  TcxRegExprState* GetExit() override;
  Integer GetStateCount() override;
  Integer GetNesting() override;

 private:
  TcxRegExprParserAlts* FAlts;
  TcxRegExprBlockState* FFinish;
  TcxRegExprBlockState* FStart;
};

// A sequence of items (owned), in order.
class TcxRegExprParserAlt : public TObject {
  ORV_CLASS(TcxRegExprParserAlt, TObject)
 public:
  TcxRegExprParserAlt() = default;
  ~TcxRegExprParserAlt() override;

  void Add(TcxRegExprParserItem* item) { FItems.push_back(item); }
  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxRegExprParserItem* GetItem(Integer index) const { return FItems[static_cast<std::size_t>(index)]; }
  // Puts `item` in the place of the item at `index` and hands the old one back (not freed).
  TcxRegExprParserItem* Replace(Integer index, TcxRegExprParserItem* item);
  TcxRegExprParserAlt* Duplicate() const;
  // Every item is optional (true for an empty alternative).
  bool IsAllOptional() const;
  // Every item may match nothing, by its quantifier or by its content.
  bool MayMatchEmpty() const;

 private:
  std::vector<TcxRegExprParserItem*> FItems;
};

// Alternatives (owned); a new alternative is appended and filled last.
class TcxRegExprParserAlts : public TObject {
  ORV_CLASS(TcxRegExprParserAlts, TObject)
 public:
  TcxRegExprParserAlts() = default;
  ~TcxRegExprParserAlts() override;

  TcxRegExprParserAlt* Add();
  void Add(TcxRegExprParserAlt* alt) { FAlts.push_back(alt); }
  Integer GetCount() const { return static_cast<Integer>(FAlts.size()); }
  TcxRegExprParserAlt* GetAlt(Integer index) const { return FAlts[static_cast<std::size_t>(index)]; }
  TcxRegExprParserAlts* Duplicate() const;

 private:
  std::vector<TcxRegExprParserAlt*> FAlts;
};

// ==== The automaton ==========================================================================

// Advances one character at a time, goes back through a history of state sets, and walks over
// forced characters.
class TcxRegExprAutomat : public TObject {
  ORV_CLASS(TcxRegExprAutomat, TObject)
 public:
  // Takes the parse tree over; `owner` hears of forced characters.
  TcxRegExprAutomat(TcxRegExprParserAlts* parseTree, TcxRegExpr* owner);
  ~TcxRegExprAutomat() override;

  // False (and nothing changes) when no state accepts `ch`; a case-insensitive symbol hands
  // back its own character.
  bool Step(char& ch, bool caseInsensitive);
  // False at the start and right after a step back over a forced prefix.
  bool StepBack();
  void Restart();
  bool IsAtStart() const;
  bool IsAccepting() const { return FCurrent->ContainsFinal(); }
  // A new set (the caller frees it): the simple states that could consume the next character.
  TcxRegExprStates* GetNextEntryStates() const { return FCurrent->GetNextEntryStates(); }
  const TcxRegExprStates* GetCurrent() const { return FCurrent; }
  TcxRegExprSimpleState* GetStartState() const { return FStartState; }

  // Consumes the characters the expression forces from here on, until the text would be
  // complete or the next character is not fixed.
  void AddForcedChars();
  // Goes back over the forced characters consumed last, so that the next StepBack removes the
  // character typed before them.
  void RemoveForcedChars();

 private:
  void Push(TcxRegExprStates* states) { FHistory.push_back(states); }
  void ClearHistory();

  std::vector<TcxRegExprStates*> FHistory;  // nullptr: a marker that makes StepBack fail
  TcxRegExprParserAlts* FParseTree;
  TcxRegExprSimpleState* FStartState;
  TcxRegExprStates* FCurrent;
  TcxRegExpr* FOwner;
};

// ==== Errors and lexemes =====================================================================

class TcxRegExprError : public TObject {
  ORV_CLASS(TcxRegExprError, TObject)
 public:
  // A line or column of 0 means none.
  TcxRegExprError(Integer line, Integer column, AnsiString message)
      : FLine(line), FColumn(column), FMessage(std::move(message)) {}

  Integer GetLine() const { return FLine; }
  Integer GetColumn() const { return FColumn; }
  const AnsiString& GetMessage() const { return FMessage; }
  // "Line1, Char5: message" (the words from the editor texts); without a line only the message.
  AnsiString GetPositionedMessage() const;

 private:
  Integer FLine;
  Integer FColumn;
  AnsiString FMessage;
};

class TcxRegExprErrors : public TObject {
  ORV_CLASS(TcxRegExprErrors, TObject)
 public:
  TcxRegExprErrors() = default;
  ~TcxRegExprErrors() override { Clear(); }

  // Takes the error over.
  void Add(TcxRegExprError* error) { FErrors.push_back(error); }
  void Clear();
  Integer GetCount() const { return static_cast<Integer>(FErrors.size()); }
  TcxRegExprError* GetItem(Integer index) const { return FErrors[static_cast<std::size_t>(index)]; }

 private:
  std::vector<TcxRegExprError*> FErrors;
};

// A failed compilation. It refers to the compiling expression's error list (which outlives the
// exception only as long as the expression does); its own message is empty.
class EcxRegExprError : public EcxEditError {
 public:
  explicit EcxRegExprError(TcxRegExprErrors* errors) : EcxEditError(AnsiString()), FErrors(errors) {}
  TcxRegExprErrors* GetErrors() const { return FErrors; }

 private:
  TcxRegExprErrors* FErrors;
};

enum TcxLexemKind : Integer {
  lkSymbol = 0,          // a literal character
  lkOperator = 1,        // ( ) * + ? | [ ] ^ - { } ,
  lkInteger = 2,         // decimal digits inside braces
  lkAll = 3,             // .
  lkIdLetter = 4,        // \w
  lkNotIdLetter = 5,     // \W
  lkDigit = 6,           // \d
  lkNotDigit = 7,        // \D
  lkSpace = 8,           // \s
  lkNotSpace = 9,        // \S
  lkReference = 10,      // \1 .. \9
  lkDateSeparator = 11,  // /
  lkTimeSeparator = 12   // :
};

struct TcxLexem {
  Integer Code = lkSymbol;
  Integer Line = 0;
  Integer Column = 0;
  AnsiString Value;
};

class TcxLexems : public TObject {
  ORV_CLASS(TcxLexems, TObject)
 public:
  TcxLexems() = default;

  void Add(const TcxLexem& lexem) { FLexems.push_back(lexem); }
  void Clear() { FLexems.clear(); }
  Integer GetCount() const { return static_cast<Integer>(FLexems.size()); }
  TcxLexem GetLexem(Integer index) const { return FLexems[static_cast<std::size_t>(index)]; }

 private:
  std::vector<TcxLexem> FLexems;
};

// ==== The expression =========================================================================

using TcxRegExprForcedCharAddedEvent = orv::Event<void(char ch)>;
using TcxRegExprForcedCharRemovedEvent = orv::Event<void()>;

class TcxRegExpr : public TObject {
  ORV_CLASS(TcxRegExpr, TObject)
 public:
  TcxRegExpr();
  ~TcxRegExpr() override;

  // Compiles the whole content of `stream`; raises EcxRegExprError when anything is wrong, and
  // the object is uncompiled with the attempt's errors in GetErrors().
  void Compile(TStream* stream);

  // Offers one character; with forced characters on, the characters it forces follow.
  bool Step(char& ch);
  // Offers the characters of `text` in turn (no restart, no forced characters); `accepted`
  // gets those taken, as they stand in the text.
  void StepText(const AnsiString& text, AnsiString& accepted);
  // With forced characters on, goes back over them first.
  bool StepBack();
  void Restart();
  bool IsAccepting();
  bool IsAtStart();

  bool IsCompiled() const { return FCompiled; }
  // The text last compiled, or nullptr when not compiled.
  TStream* GetSource() const { return FCompiled ? FSource : nullptr; }
  void Discard();

  bool GetInsertForcedChars() const { return FInsertForcedChars; }
  // Switching it on while compiled consumes the characters forced from here at once.
  void SetInsertForcedChars(bool value);
  bool GetCaseInsensitive() const { return FCaseInsensitive; }
  void SetCaseInsensitive(bool value) { FCaseInsensitive = value; }

  TcxRegExprErrors* GetErrors() const { return FErrors; }
  TcxLexems* GetLexems() const { return FLexems; }
  // nullptr until compiled.
  TcxRegExprAutomat* GetAutomat() const { return FAutomat; }

  TcxRegExprForcedCharAddedEvent GetOnForcedCharAdded() const { return FOnForcedCharAdded; }
  void SetOnForcedCharAdded(TcxRegExprForcedCharAddedEvent value) { FOnForcedCharAdded = value; }
  TcxRegExprForcedCharRemovedEvent GetOnForcedCharRemoved() const { return FOnForcedCharRemoved; }
  void SetOnForcedCharRemoved(TcxRegExprForcedCharRemovedEvent value) { FOnForcedCharRemoved = value; }

  // Called by the automaton.
  void DoForcedCharAdded(char ch);
  void DoForcedCharRemoved();

 private:
  class TCompiler;
  friend class TCompiler;

  void CheckCompiled() const;

  TMemoryStream* FSource;
  TcxRegExprErrors* FErrors;
  TcxLexems* FLexems;
  TList* FBlocks;  // the groups in the order of their opening parentheses, while parsing (not owned)
  TcxRegExprAutomat* FAutomat = nullptr;
  Integer FSourcePos = 0;
  Integer FLexemPos = 0;
  Integer FLine = 1;
  Integer FColumn = 0;
  bool FFirstCompilation = true;
  bool FCompiled = false;
  bool FInsertForcedChars = false;
  bool FCaseInsensitive = false;
  TcxRegExprForcedCharAddedEvent FOnForcedCharAdded;
  TcxRegExprForcedCharRemovedEvent FOnForcedCharRemoved;
};
