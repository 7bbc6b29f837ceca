#include "components/editors/cxRegExpr.h"

#include <algorithm>
#include <atomic>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditConsts.h"
#include "components/foundation/cxClasses.h"
#include "platform/runtime/Collation.h"
#include "platform/runtime/Locale.h"
#include "platform/runtime/SysUtils.h"

namespace {

// Every walk gets a number of its own, so a state stamped by an earlier walk (on any thread)
// never looks passed to a later one.
std::atomic<std::uint64_t> gLastWalkStamp{0};

// An expression may hold at most this many character positions, counted after the counted
// repetitions and back references are unfolded, and groups (those written and those the parser
// makes for quantifiers) may nest at most this deep: a mask such as a{1000000}, ((((...)))) or
// a+????... is refused instead of exhausting memory or the stack.
constexpr Integer kMaxStates = 4096;
constexpr Integer kMaxNesting = 1024;
// Positions are not the whole cost of a compile: a group that holds none, as in (){1000000} or
// ((){100000}){100000}, or a bracketed set of many members, still costs a node per copy (and a
// node per member). The nodes that counted repetitions and back references make, every copy
// counted, are bounded too.
constexpr Int64 kMaxCopiedNodes = 4 * Int64(kMaxStates);
// Integers in braces are read up to this value; anything larger is too large anyway.
constexpr Integer kMaxInteger = 1000000;

// The nodes of a parser item and everything inside it: one per item, per alternative and per
// member of a bracketed set; what copying the item makes.
Int64 RegExprNodeCount(TcxRegExprParserItem* item) {
  if (auto* simple = dynamic_cast<TcxRegExprParserSimpleItem*>(item)) {
    auto* set = dynamic_cast<TcxRegExprUserEnumeration*>(simple->GetState()->GetItem());
    return 1 + (set ? set->GetCount() : 0);
  }
  Int64 count = 1;
  if (auto* block = dynamic_cast<TcxRegExprParserBlockItem*>(item)) {
    const TcxRegExprParserAlts* alts = block->GetAlts();
    for (Integer k = 0; k < alts->GetCount(); ++k) {
      const TcxRegExprParserAlt* alt = alts->GetAlt(k);
      count += 1;
      for (Integer i = 0; i < alt->GetCount(); ++i) count += RegExprNodeCount(alt->GetItem(i));
    }
  }
  return count;
}

bool IsWhiteSpace(char c) { return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32; }

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

Integer HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

Byte Ord(char c) { return static_cast<Byte>(c); }

// The entry states of an alternative: the entries of its items up to and including the first
// item that must be present.
TcxRegExprStates* AltEntryStates(const TcxRegExprParserAlt* alt) {
  auto* result = new TcxRegExprStates;
  for (Integer i = 0; i < alt->GetCount(); ++i) {
    TcxRegExprParserItem* item = alt->GetItem(i);
    result->Add(item->GetEntry());
    if (!item->IsOptional()) break;
  }
  return result;
}

// Marks the positions where the alternative may end: the last item, and the items before it
// as long as everything after them may match nothing. An item that may match nothing counts
// whether a quantifier or its content makes it so: in x(a?) the x alone is complete.
void MarkAltFinal(const TcxRegExprParserAlt* alt) {
  for (Integer i = alt->GetCount() - 1; i >= 0; --i) {
    TcxRegExprParserItem* item = alt->GetItem(i);
    item->MarkFinal();
    if (!item->MayMatchEmpty()) break;
  }
}

void LinkAlt(const TcxRegExprParserAlt* alt);

void LinkBlock(TcxRegExprParserBlockItem* block) {
  TcxRegExprParserAlts* alts = block->GetAlts();
  TcxRegExprState* start = block->GetStartState();
  TcxRegExprState* finish = block->GetFinishState();
  bool someAllOptional = false;
  for (Integer k = 0; k < alts->GetCount(); ++k) {
    start->AddNextStates(AltEntryStates(alts->GetAlt(k)));
    if (alts->GetAlt(k)->IsAllOptional()) someAllOptional = true;
  }
  if (someAllOptional) start->AddNext(finish);
  for (Integer k = 0; k < alts->GetCount(); ++k) LinkAlt(alts->GetAlt(k));
  for (Integer k = 0; k < alts->GetCount(); ++k) {
    const TcxRegExprParserAlt* alt = alts->GetAlt(k);
    for (Integer i = alt->GetCount() - 1; i >= 0; --i) {
      alt->GetItem(i)->GetExit()->AddNext(finish);
      if (!alt->GetItem(i)->IsOptional()) break;
    }
  }
}

void LinkAlt(const TcxRegExprParserAlt* alt) {
  for (Integer i = 0; i < alt->GetCount(); ++i) {
    TcxRegExprParserItem* item = alt->GetItem(i);
    TcxRegExprState* exit = item->GetExit();
    for (Integer j = i + 1; j < alt->GetCount(); ++j) {
      exit->AddNext(alt->GetItem(j)->GetEntry());
      if (!alt->GetItem(j)->IsOptional()) break;
    }
    if (item->IsRepeatable()) exit->AddNext(item->GetEntry());
    if (auto* block = dynamic_cast<TcxRegExprParserBlockItem*>(item)) LinkBlock(block);
  }
}

AnsiString RegExprText(PResStringRec rec) { return GetLocalizedResourceString(rec); }

AnsiString RegExprText(PResStringRec rec, const AnsiString& argument) {
  return Format(GetLocalizedResourceString(rec), {argument});
}

}  // namespace

orv::TcxRegExprWalk::TcxRegExprWalk() : Stamp(++gLastWalkStamp) {}

// ==== Character classes ======================================================================

bool TcxRegExprSymbol::Matches(char& ch, bool caseInsensitive) {
  if (!caseInsensitive) return ch == FChar;
  if (orv::AnsiUpperChar(ch) != orv::AnsiUpperChar(FChar)) return false;
  ch = FChar;
  return true;
}

bool TcxRegExprTimeSeparator::Matches(char& ch, bool caseInsensitive) { return ch == FormatSettings.TimeSeparator; }

bool TcxRegExprDateSeparator::Matches(char& ch, bool caseInsensitive) { return ch == FormatSettings.DateSeparator; }

bool TcxRegExprSubrange::Matches(char& ch, bool caseInsensitive) {
  return Ord(FFirst) <= Ord(ch) && Ord(ch) <= Ord(FLast);
}

TcxRegExprUserEnumeration::~TcxRegExprUserEnumeration() {
  for (TcxRegExprItem* item : FItems) item->Free();
}

void TcxRegExprUserEnumeration::Add(TcxRegExprItem* item) { FItems.push_back(item); }

TcxRegExprItem* TcxRegExprUserEnumeration::Duplicate() {
  auto* result = new TcxRegExprUserEnumeration(GetInverse());
  for (TcxRegExprItem* item : FItems) result->Add(item->Duplicate());
  return result;
}

bool TcxRegExprUserEnumeration::IsMember(char& ch, bool caseInsensitive) {
  for (TcxRegExprItem* item : FItems)
    if (item->Matches(ch, caseInsensitive)) return true;
  return false;
}

bool TcxRegExprDigit::IsMember(char& ch, bool caseInsensitive) { return ch >= '0' && ch <= '9'; }

bool TcxRegExprIdLetter::IsMember(char& ch, bool caseInsensitive) {
  return (ch >= '0' && ch <= '9') || ch == '_' || orv::IsAnsiLetter(ch);
}

bool TcxRegExprSpace::IsMember(char& ch, bool caseInsensitive) { return IsWhiteSpace(ch); }

// ==== States =================================================================================

void TcxRegExprStates::Add(TcxRegExprState* state) {
  if (!Contains(state)) FStates.push_back(state);
}

void TcxRegExprStates::Add(TcxRegExprState* state, orv::TcxRegExprWalk& walk) {
  if (state->GetWalkStamp() == walk.Stamp) return;
  state->SetWalkStamp(walk.Stamp);
  FStates.push_back(state);
}

void TcxRegExprStates::AddStates(TcxRegExprStates* states) {
  for (TcxRegExprState* state : states->FStates) Add(state);
  states->Free();
}

bool TcxRegExprStates::Contains(const TcxRegExprState* state) const {
  return std::find(FStates.begin(), FStates.end(), state) != FStates.end();
}

bool TcxRegExprStates::GetSingleChar(char& ch) const {
  if (FStates.empty()) return false;
  bool first = true;
  char found = 0;
  for (TcxRegExprState* state : FStates) {
    auto* simple = dynamic_cast<TcxRegExprSimpleState*>(state);
    if (!simple || !simple->GetItem()) return false;
    TcxRegExprItem* item = simple->GetItem();
    char c;
    if (auto* symbol = dynamic_cast<TcxRegExprSymbol*>(item))
      c = symbol->GetChar();
    else if (dynamic_cast<TcxRegExprTimeSeparator*>(item))
      c = FormatSettings.TimeSeparator;
    else if (dynamic_cast<TcxRegExprDateSeparator*>(item))
      c = FormatSettings.DateSeparator;
    else
      return false;
    if (first) {
      found = c;
      first = false;
    } else if (c != found) {
      return false;
    }
  }
  ch = found;
  return true;
}

namespace {

// A new set filled by one walk.
template <class F>
TcxRegExprStates* Walk(F fill) {
  auto* result = new TcxRegExprStates;
  orv::TcxRegExprWalk walk;
  fill(*result, walk);
  return result;
}

}  // namespace

TcxRegExprStates* TcxRegExprStates::Step(char& ch, bool caseInsensitive) const {
  return Walk([&](TcxRegExprStates& into, orv::TcxRegExprWalk& walk) {
    for (TcxRegExprState* state : FStates) state->DoStep(ch, caseInsensitive, into, walk);
  });
}

TcxRegExprStates* TcxRegExprStates::GetNextEntryStates() const {
  return Walk([&](TcxRegExprStates& into, orv::TcxRegExprWalk& walk) {
    for (TcxRegExprState* state : FStates) state->DoGetNextEntryStates(into, walk);
  });
}

bool TcxRegExprStates::ContainsFinal() const {
  for (TcxRegExprState* state : FStates) {
    auto* simple = dynamic_cast<TcxRegExprSimpleState*>(state);
    if (simple && simple->GetFinal()) return true;
  }
  return false;
}

TcxRegExprStates* TcxRegExprState::Accept(char& ch, bool caseInsensitive) {
  return Walk([&](TcxRegExprStates& into, orv::TcxRegExprWalk& walk) { DoAccept(ch, caseInsensitive, into, walk); });
}

TcxRegExprStates* TcxRegExprState::GetEntryStates() {
  return Walk([&](TcxRegExprStates& into, orv::TcxRegExprWalk& walk) { DoGetEntryStates(into, walk); });
}

void TcxRegExprState::DoGetEntryStates(TcxRegExprStates& into, orv::TcxRegExprWalk& walk) {
  into.Add(this, walk);
}

TcxRegExprStates* TcxRegExprState::Step(char& ch, bool caseInsensitive) {
  return Walk([&](TcxRegExprStates& into, orv::TcxRegExprWalk& walk) { DoStep(ch, caseInsensitive, into, walk); });
}

TcxRegExprStates* TcxRegExprState::GetNextEntryStates() {
  return Walk([&](TcxRegExprStates& into, orv::TcxRegExprWalk& walk) { DoGetNextEntryStates(into, walk); });
}

void TcxRegExprState::DoStep(char& ch, bool caseInsensitive, TcxRegExprStates& into,
                             orv::TcxRegExprWalk& walk) {
  for (Integer i = 0; i < FNext.GetCount(); ++i) FNext.GetState(i)->DoAccept(ch, caseInsensitive, into, walk);
}

void TcxRegExprState::DoGetNextEntryStates(TcxRegExprStates& into, orv::TcxRegExprWalk& walk) {
  for (Integer i = 0; i < FNext.GetCount(); ++i) FNext.GetState(i)->DoGetEntryStates(into, walk);
}

TcxRegExprSimpleState::~TcxRegExprSimpleState() { orv::Free(FItem); }

TcxRegExprState* TcxRegExprSimpleState::Duplicate() {
  return new TcxRegExprSimpleState(FItem ? FItem->Duplicate() : nullptr);
}

void TcxRegExprSimpleState::DoAccept(char& ch, bool caseInsensitive, TcxRegExprStates& into,
                                     orv::TcxRegExprWalk& walk) {
  if (FItem && FItem->Matches(ch, caseInsensitive)) into.Add(this, walk);
}

namespace {

// Marks a junction walk; false when it was walk before in this walk.
bool Pass(TcxRegExprState* junction, orv::TcxRegExprWalk& walk) {
  if (junction->GetWalkStamp() == walk.Stamp) return false;
  junction->SetWalkStamp(walk.Stamp);
  return true;
}


}  // namespace

void TcxRegExprBlockState::DoAccept(char& ch, bool caseInsensitive, TcxRegExprStates& into,
                                    orv::TcxRegExprWalk& walk) {
  if (Pass(this, walk)) DoStep(ch, caseInsensitive, into, walk);
}

void TcxRegExprBlockState::DoGetEntryStates(TcxRegExprStates& into, orv::TcxRegExprWalk& walk) {
  if (Pass(this, walk)) DoGetNextEntryStates(into, walk);
}

// ==== Parse tree =============================================================================

TcxRegExprParserItem::TcxRegExprParserItem(TcxRegExprQuantifier* quantifier)
    : FQuantifier(quantifier ? quantifier : new TcxRegExprSimpleQuantifier) {}

TcxRegExprParserItem::~TcxRegExprParserItem() { FQuantifier->Free(); }

bool TcxRegExprParserItem::HasNoQuantifier() const {
  return FQuantifier->ClassType() == TcxRegExprSimpleQuantifier::StaticClass();
}

void TcxRegExprParserItem::ReplaceQuantifier(TcxRegExprQuantifier* quantifier) {
  if (!quantifier) return;
  FQuantifier->Free();
  FQuantifier = quantifier;
}

TcxRegExprParserSimpleItem::TcxRegExprParserSimpleItem(TcxRegExprItem* item, TcxRegExprQuantifier* quantifier)
    : TcxRegExprParserItem(quantifier), FState(new TcxRegExprSimpleState(item)) {}

TcxRegExprParserSimpleItem::TcxRegExprParserSimpleItem(TcxRegExprSimpleState* state, TcxRegExprQuantifier* quantifier)
    : TcxRegExprParserItem(quantifier), FState(state) {}

TcxRegExprParserSimpleItem::~TcxRegExprParserSimpleItem() { FState->Free(); }

TcxRegExprParserItem* TcxRegExprParserSimpleItem::Duplicate() {
  return new TcxRegExprParserSimpleItem(static_cast<TcxRegExprSimpleState*>(FState->Duplicate()),
                                        GetQuantifier()->Duplicate());
}

void TcxRegExprParserSimpleItem::Describe(AnsiString& text) {
  AnsiString suffix;
  GetQuantifier()->GetSuffix(suffix);
  text = "item --> " + suffix + "\r\n";
}

TcxRegExprParserBlockItem::TcxRegExprParserBlockItem(TcxRegExprQuantifier* quantifier)
    : TcxRegExprParserItem(quantifier),
      FAlts(new TcxRegExprParserAlts),
      FFinish(new TcxRegExprBlockState),
      FStart(new TcxRegExprBlockState) {}

TcxRegExprParserBlockItem::~TcxRegExprParserBlockItem() {
  FAlts->Free();
  FFinish->Free();
  FStart->Free();
}

bool TcxRegExprParserBlockItem::MayMatchEmpty() {
  if (IsOptional()) return true;
  for (Integer k = 0; k < FAlts->GetCount(); ++k)
    if (FAlts->GetAlt(k)->MayMatchEmpty()) return true;
  return false;
}

TcxRegExprParserItem* TcxRegExprParserBlockItem::Duplicate() {
  auto* result = new TcxRegExprParserBlockItem(GetQuantifier()->Duplicate());
  result->FAlts->Free();
  result->FAlts = FAlts->Duplicate();
  return result;
}

void TcxRegExprParserBlockItem::Describe(AnsiString& text) {
  text = "<Start_Block>\r\n";
  for (Integer k = 0; k < FAlts->GetCount(); ++k) {
    const TcxRegExprParserAlt* alt = FAlts->GetAlt(k);
    text += "<Start_Alt>\r\n";
    for (Integer i = 0; i < alt->GetCount(); ++i) {
      AnsiString item;
      alt->GetItem(i)->Describe(item);
      text += item;
    }
    text += "<Finish_Alt>\r\n";
  }
  AnsiString suffix;
  GetQuantifier()->GetSuffix(suffix);
  text += "<Finish_Block> --> " + suffix + "\r\n";
}

void TcxRegExprParserBlockItem::MarkFinal() {
  for (Integer k = 0; k < FAlts->GetCount(); ++k) MarkAltFinal(FAlts->GetAlt(k));
}

TcxRegExprState* TcxRegExprParserBlockItem::GetEntry() { return FStart; }

TcxRegExprState* TcxRegExprParserBlockItem::GetExit() { return FFinish; }

Integer TcxRegExprParserBlockItem::GetNesting() {
  Integer nesting = 0;
  for (Integer k = 0; k < FAlts->GetCount(); ++k) {
    const TcxRegExprParserAlt* alt = FAlts->GetAlt(k);
    for (Integer i = 0; i < alt->GetCount(); ++i) nesting = std::max(nesting, alt->GetItem(i)->GetNesting());
  }
  return nesting + 1;
}

Integer TcxRegExprParserBlockItem::GetStateCount() {
  Integer count = 0;
  for (Integer k = 0; k < FAlts->GetCount(); ++k) {
    const TcxRegExprParserAlt* alt = FAlts->GetAlt(k);
    for (Integer i = 0; i < alt->GetCount(); ++i) count += alt->GetItem(i)->GetStateCount();
  }
  return count;
}

TcxRegExprParserAlt::~TcxRegExprParserAlt() {
  for (TcxRegExprParserItem* item : FItems) item->Free();
}

TcxRegExprParserItem* TcxRegExprParserAlt::Replace(Integer index, TcxRegExprParserItem* item) {
  TcxRegExprParserItem* old = FItems[static_cast<std::size_t>(index)];
  FItems[static_cast<std::size_t>(index)] = item;
  return old;
}

TcxRegExprParserAlt* TcxRegExprParserAlt::Duplicate() const {
  auto* result = new TcxRegExprParserAlt;
  for (TcxRegExprParserItem* item : FItems) result->Add(item->Duplicate());
  return result;
}

bool TcxRegExprParserAlt::MayMatchEmpty() const {
  return std::all_of(FItems.begin(), FItems.end(), [](TcxRegExprParserItem* item) { return item->MayMatchEmpty(); });
}

bool TcxRegExprParserAlt::IsAllOptional() const {
  return std::all_of(FItems.begin(), FItems.end(), [](TcxRegExprParserItem* item) { return item->IsOptional(); });
}

TcxRegExprParserAlts::~TcxRegExprParserAlts() {
  for (TcxRegExprParserAlt* alt : FAlts) alt->Free();
}

TcxRegExprParserAlt* TcxRegExprParserAlts::Add() {
  auto* alt = new TcxRegExprParserAlt;
  FAlts.push_back(alt);
  return alt;
}

TcxRegExprParserAlts* TcxRegExprParserAlts::Duplicate() const {
  auto* result = new TcxRegExprParserAlts;
  for (TcxRegExprParserAlt* alt : FAlts) result->Add(alt->Duplicate());
  return result;
}

// ==== The automaton ==========================================================================

TcxRegExprAutomat::TcxRegExprAutomat(TcxRegExprParserAlts* parseTree, TcxRegExpr* owner)
    : FParseTree(parseTree), FStartState(new TcxRegExprSimpleState), FCurrent(nullptr), FOwner(owner) {
  bool startFinal = false;
  for (Integer k = 0; k < FParseTree->GetCount(); ++k) {
    FStartState->AddNextStates(AltEntryStates(FParseTree->GetAlt(k)));
    if (FParseTree->GetAlt(k)->MayMatchEmpty()) startFinal = true;
  }
  FStartState->SetFinal(startFinal);
  FCurrent = new TcxRegExprStates;
  FCurrent->Add(FStartState);
}

TcxRegExprAutomat::~TcxRegExprAutomat() {
  ClearHistory();
  FCurrent->Free();
  FParseTree->Free();
  FStartState->Free();
}

void TcxRegExprAutomat::ClearHistory() {
  for (TcxRegExprStates* states : FHistory) orv::Free(states);
  FHistory.clear();
}

bool TcxRegExprAutomat::Step(char& ch, bool caseInsensitive) {
  TcxRegExprStates* next = FCurrent->Step(ch, caseInsensitive);
  if (next->GetCount() == 0) {
    next->Free();
    return false;
  }
  Push(FCurrent);
  FCurrent = next;
  return true;
}

bool TcxRegExprAutomat::StepBack() {
  if (FHistory.empty()) return false;
  TcxRegExprStates* previous = FHistory.back();
  FHistory.pop_back();
  if (!previous) return false;
  FCurrent->Free();
  FCurrent = previous;
  return true;
}

void TcxRegExprAutomat::Restart() {
  ClearHistory();
  FCurrent->Free();
  FCurrent = new TcxRegExprStates;
  FCurrent->Add(FStartState);
}

bool TcxRegExprAutomat::IsAtStart() const { return FCurrent->GetCount() > 0 && FCurrent->GetState(0) == FStartState; }

void TcxRegExprAutomat::AddForcedChars() {
  while (!FCurrent->ContainsFinal()) {
    TcxRegExprStates* next = FCurrent->GetNextEntryStates();
    char ch;
    if (!next->GetSingleChar(ch)) {
      next->Free();
      return;
    }
    FOwner->DoForcedCharAdded(ch);
    Push(FCurrent);
    FCurrent = next;
  }
}

void TcxRegExprAutomat::RemoveForcedChars() {
  char ch;
  while (FCurrent->GetSingleChar(ch)) {
    if (FHistory.empty()) {
      Push(nullptr);
      return;
    }
    TcxRegExprStates* previous = FHistory.back();
    if (!previous) return;
    FHistory.pop_back();
    TcxRegExprStates* taken = previous->GetNextEntryStates();
    char forced;
    bool single = taken->GetSingleChar(forced);
    taken->Free();
    if (!single || previous->ContainsFinal()) {
      Push(previous);
      return;
    }
    FOwner->DoForcedCharRemoved();
    FCurrent->Free();
    FCurrent = previous;
  }
}

// ==== Errors =================================================================================

AnsiString TcxRegExprError::GetPositionedMessage() const {
  if (FLine <= 0) return FMessage;
  AnsiString result = RegExprText(&scxRegExprLine) + IntToStr(FLine);
  if (FColumn > 0) result += ", " + RegExprText(&scxRegExprChar) + IntToStr(FColumn);
  return result + ": " + FMessage;
}

void TcxRegExprErrors::Clear() {
  for (TcxRegExprError* error : FErrors) error->Free();
  FErrors.clear();
}

// ==== The compiler ===========================================================================

// Lexer and parser over the expression's fields (read positions, line and column, lexemes,
// errors and group list).
class TcxRegExpr::TCompiler {
 public:
  explicit TCompiler(TcxRegExpr& expr)
      : E(expr),
        FText(static_cast<const char*>(expr.FSource->GetMemory())),
        FLength(static_cast<Integer>(expr.FSource->GetSize())) {}

  void Lex();
  // The top-level alternatives, or nullptr when the parser found errors.
  TcxRegExprParserAlts* Parse();

 private:
  enum TAltEnd { aeEnd, aeBar, aeClose };

  // ---- lexer ----
  bool AtEnd() const { return E.FSourcePos >= FLength; }
  char Peek() const { return FText[E.FSourcePos]; }
  char Read();
  void SkipWhiteSpace() {
    while (!AtEnd() && IsWhiteSpace(Peek())) Read();
  }
  // The next character other than white space, without reading; false at the end.
  bool PeekNonWhite(char& ch) const;
  void Error(Integer line, Integer column, const AnsiString& message) {
    E.FErrors->Add(new TcxRegExprError(line, column, message));
  }
  void ErrorAfterEnd(const AnsiString& message) { Error(E.FLine, E.FColumn + 1, message); }
  void AddLexem(Integer code, Integer line, Integer column, const AnsiString& value) {
    E.FLexems->Add(TcxLexem{code, line, column, value});
  }
  void AddLexem(Integer code, char ch) { AddLexem(code, E.FLine, E.FColumn, AnsiString(1, ch)); }
  void LexQuoted();
  void LexEscape();
  void LexSet();
  void LexBraces();

  // ---- parser ----
  bool Next(TcxLexem& lexem);
  bool PeekLexem(TcxLexem& lexem) const;
  static bool IsOperator(const TcxLexem& lexem, char ch) { return lexem.Code == lkOperator && lexem.Value[0] == ch; }
  void Error(const TcxLexem& at, const AnsiString& message) { Error(at.Line, at.Column, message); }
  TAltEnd ParseAlts(TcxRegExprParserAlts* alts, bool inGroup, Integer depth);
  TAltEnd ParseAlt(TcxRegExprParserAlt* alt, bool inGroup, Integer depth);
  TcxRegExprParserItem* AddSimple(TcxRegExprParserAlt* alt, TcxRegExprItem* item);
  TcxRegExprUserEnumeration* ParseSet();
  static TcxRegExprItem* SetMember(const TcxLexem& lexem);
  TcxRegExprParserItem* ApplyQuantifier(TcxRegExprParserAlt* alt, TcxRegExprParserItem* item,
                                        TcxRegExprQuantifier* quantifier);
  // Reads {n}, {n,} or {n,m} after the brace; `last` is the last lexeme read.
  bool ReadParameters(Integer& n, Integer& m, bool& unbounded, TcxLexem& last);
  TcxRegExprParserItem* ApplyParameters(TcxRegExprParserAlt* alt, TcxRegExprParserItem* item, Integer n,
                                        Integer m, bool unbounded);
  // Whether `count` more copies of `size` positions stay within the limit.
  bool Fits(Integer size, Integer count) const {
    return static_cast<Int64>(size) * count <= kMaxStates - FStateCount;
  }
  // Whether `count` more nodes stay within the bound of copied nodes.
  bool FitsCopies(Int64 count) const { return count <= kMaxCopiedNodes - FCopiedNodes; }

  TcxRegExpr& E;
  std::vector<std::unique_ptr<TcxRegExprParserItem, orv::FreeDeleter>> FDetached;
  const char* FText;
  Integer FLength;
  Integer FStateCount = 0;
  Int64 FCopiedNodes = 0;
};

char TcxRegExpr::TCompiler::Read() {
  char c = FText[E.FSourcePos++];
  if (c == '\r') ++E.FLine;
  if (c == '\n')
    E.FColumn = 0;
  else
    ++E.FColumn;
  return c;
}

bool TcxRegExpr::TCompiler::PeekNonWhite(char& ch) const {
  for (Integer i = E.FSourcePos; i < FLength; ++i)
    if (!IsWhiteSpace(FText[i])) {
      ch = FText[i];
      return true;
    }
  return false;
}

void TcxRegExpr::TCompiler::LexQuoted() {
  for (;;) {
    if (AtEnd()) {
      ErrorAfterEnd(RegExprText(&scxRegExprMissing, " ' "));
      return;
    }
    char c = Read();
    if (c == '\'') {
      if (AtEnd() || Peek() != '\'') return;
      c = Read();
    }
    AddLexem(lkSymbol, c);
  }
}

void TcxRegExpr::TCompiler::LexEscape() {
  const Integer line = E.FLine;
  const Integer column = E.FColumn;
  if (AtEnd()) return;  // a trailing backslash is dropped
  char c = Read();
  auto symbol = [&](char value) { AddLexem(lkSymbol, line, column, AnsiString(1, value)); };
  auto lexem = [&](Integer code) { AddLexem(code, line, column, AnsiString(1, c)); };
  if (IsWhiteSpace(c)) {
    Error(E.FLine, E.FColumn, RegExprText(&scxRegExprIncorrectSpace));
    return;
  }
  switch (c) {
    case 'a': symbol('\a'); break;
    case 'e': symbol('\x1B'); break;
    case 'f': symbol('\f'); break;
    case 'n': symbol('\n'); break;
    case 'r': symbol('\r'); break;
    case 't': symbol('\t'); break;
    case 'p': symbol(FormatSettings.DecimalSeparator); break;
    case 'x': {
      Integer value = 0;
      for (int i = 0; i < 2; ++i) {
        if (AtEnd()) {
          ErrorAfterEnd(RegExprText(&scxRegExprHexNumberExpected0));
          return;
        }
        char digit = Read();
        if (!IsHexDigit(digit)) {
          Error(E.FLine, E.FColumn, RegExprText(&scxRegExprHexNumberExpected, AnsiString(1, digit)));
          return;
        }
        value = value * 16 + HexValue(digit);
      }
      symbol(static_cast<char>(value));
      break;
    }
    case 'w': lexem(lkIdLetter); break;
    case 'W': lexem(lkNotIdLetter); break;
    case 'd': lexem(lkDigit); break;
    case 'D': lexem(lkNotDigit); break;
    case 's': lexem(lkSpace); break;
    case 'S': lexem(lkNotSpace); break;
    default:
      if (c >= '1' && c <= '9')
        lexem(lkReference);
      else
        symbol(c);
  }
}

void TcxRegExpr::TCompiler::LexSet() {
  bool first = true;
  for (;;) {
    SkipWhiteSpace();
    if (AtEnd()) {
      ErrorAfterEnd(RegExprText(&scxRegExprMissing, "]"));
      return;
    }
    char c = Read();
    switch (c) {
      case '\'': LexQuoted(); break;
      case '/': AddLexem(lkDateSeparator, c); break;
      case ':': AddLexem(lkTimeSeparator, c); break;
      case '\\': LexEscape(); break;
      case ']':
        AddLexem(lkOperator, c);
        return;
      case '^': AddLexem(first ? lkOperator : lkSymbol, c); break;
      case '-': {
        char next;
        if (first) {
          AddLexem(lkSymbol, c);
        } else if (!PeekNonWhite(next)) {
          AddLexem(lkOperator, c);
          ErrorAfterEnd(RegExprText(&scxRegExprMissing, "]"));
          while (!AtEnd()) Read();
          return;
        } else {
          AddLexem(next == ']' ? lkSymbol : lkOperator, c);
        }
        break;
      }
      default: AddLexem(lkSymbol, c);
    }
    first = false;
  }
}

void TcxRegExpr::TCompiler::LexBraces() {
  for (;;) {
    SkipWhiteSpace();
    if (AtEnd()) {
      ErrorAfterEnd(RegExprText(&scxRegExprMissing, "}"));
      return;
    }
    const Integer line = E.FLine;
    const Integer column = E.FColumn + 1;
    char c = Read();
    if (c >= '0' && c <= '9') {
      AnsiString digits(1, c);
      while (!AtEnd() && Peek() >= '0' && Peek() <= '9') digits += Read();
      AddLexem(lkInteger, line, column, digits);
    } else if (c == ',') {
      AddLexem(lkOperator, c);
    } else if (c == '}') {
      AddLexem(lkOperator, c);
      return;
    } else {
      Error(E.FLine, E.FColumn, RegExprText(&scxRegExprIllegalSymbol, c == '\'' ? AnsiString(" ' ") : AnsiString(1, c)));
    }
  }
}

void TcxRegExpr::TCompiler::Lex() {
  Integer depth = 0;
  for (;;) {
    SkipWhiteSpace();
    if (AtEnd()) break;
    char c = Read();
    switch (c) {
      case '\'': LexQuoted(); break;
      case '(':
        ++depth;
        AddLexem(lkOperator, c);
        break;
      case ')':
        --depth;
        AddLexem(lkOperator, c);
        break;
      case '*':
      case '+':
      case '?':
      case '|': AddLexem(lkOperator, c); break;
      case '.': AddLexem(lkAll, c); break;
      case '/': AddLexem(lkDateSeparator, c); break;
      case ':': AddLexem(lkTimeSeparator, c); break;
      case '[':
        AddLexem(lkOperator, c);
        LexSet();
        break;
      case '\\': LexEscape(); break;
      case '{':
        AddLexem(lkOperator, c);
        LexBraces();
        break;
      default: AddLexem(lkSymbol, c);
    }
  }
  if (depth > 0) Error(0, 0, RegExprText(&scxRegExprMissing, ")"));
  if (depth < 0) Error(0, 0, RegExprText(&scxRegExprUnnecessary, ")"));
}

bool TcxRegExpr::TCompiler::Next(TcxLexem& lexem) {
  if (E.FLexemPos >= E.FLexems->GetCount()) return false;
  lexem = E.FLexems->GetLexem(E.FLexemPos++);
  return true;
}

bool TcxRegExpr::TCompiler::PeekLexem(TcxLexem& lexem) const {
  if (E.FLexemPos >= E.FLexems->GetCount()) return false;
  lexem = E.FLexems->GetLexem(E.FLexemPos);
  return true;
}

TcxRegExprParserAlts* TcxRegExpr::TCompiler::Parse() {
  std::unique_ptr<TcxRegExprParserAlts, orv::FreeDeleter> alts(new TcxRegExprParserAlts);
  ParseAlts(alts.get(), false, 0);
  if (E.FErrors->GetCount() > 0) return nullptr;
  return alts.release();
}

TcxRegExpr::TCompiler::TAltEnd TcxRegExpr::TCompiler::ParseAlts(TcxRegExprParserAlts* alts, bool inGroup,
                                                               Integer depth) {
  for (;;) {
    TAltEnd end = ParseAlt(alts->Add(), inGroup, depth);
    if (end != aeBar) return end;
  }
}

TcxRegExprParserItem* TcxRegExpr::TCompiler::AddSimple(TcxRegExprParserAlt* alt, TcxRegExprItem* item) {
  auto* result = new TcxRegExprParserSimpleItem(item);
  alt->Add(result);
  ++FStateCount;
  return result;
}

TcxRegExpr::TCompiler::TAltEnd TcxRegExpr::TCompiler::ParseAlt(TcxRegExprParserAlt* alt, bool inGroup,
                                                              Integer depth) {
  TcxLexem lexem;
  if (!PeekLexem(lexem)) {
    Error(0, 0, RegExprText(&scxRegExprCantCreateEmptyAlt));
    return aeEnd;
  }
  if (IsOperator(lexem, '|')) {
    ++E.FLexemPos;
    Error(lexem, RegExprText(&scxRegExprCantCreateEmptyAlt));
    return aeBar;
  }
  if (inGroup && IsOperator(lexem, ')')) {
    ++E.FLexemPos;
    Error(lexem, RegExprText(&scxRegExprCantCreateEmptyBlock));
    return aeClose;
  }

  // The item a quantifier applies to: always the alternative's last item.
  TcxRegExprParserItem* current = nullptr;
  while (Next(lexem)) {
    switch (lexem.Code) {
      case lkSymbol: current = AddSimple(alt, new TcxRegExprSymbol(lexem.Value[0])); break;
      case lkAll: current = AddSimple(alt, new TcxRegExprAll); break;
      case lkIdLetter:
      case lkNotIdLetter:
      case lkDigit:
      case lkNotDigit:
      case lkSpace:
      case lkNotSpace:
      case lkDateSeparator:
      case lkTimeSeparator: current = AddSimple(alt, SetMember(lexem)); break;
      case lkInteger: Error(lexem, RegExprText(&scxRegExprIllegalIntegerValue)); break;
      case lkReference: {
        const Integer number = lexem.Value[0] - '0';
        if (number > E.FBlocks->GetCount()) {
          Error(lexem, RegExprText(&scxRegExprTooBigReferenceNumber));
          break;
        }
        auto* block = static_cast<TcxRegExprParserBlockItem*>(E.FBlocks->Get(number - 1));
        const Integer size = block->GetStateCount();
        const Int64 nodes = RegExprNodeCount(block);
        if (!Fits(size, 1) || !FitsCopies(nodes) || depth + block->GetNesting() > kMaxNesting) {
          Error(lexem, RegExprText(&scxRegExprTooBigReferenceNumber));
          break;
        }
        current = block->Duplicate();
        alt->Add(current);
        FStateCount += size;
        FCopiedNodes += nodes;
        break;
      }
      case lkOperator:
        switch (lexem.Value[0]) {
          case '(': {
            if (depth >= kMaxNesting) {
              Error(lexem, RegExprText(&scxRegExprIllegalSymbol, "("));
              break;
            }
            auto* block = new TcxRegExprParserBlockItem;
            E.FBlocks->Add(block);
            alt->Add(block);
            current = block;
            ParseAlts(block->GetAlts(), true, depth + 1);
            break;
          }
          case ')':
            if (inGroup) return aeClose;
            Error(lexem, RegExprText(&scxRegExprIllegalSymbol, ")"));
            break;
          case '|': return aeBar;
          case '?':
          case '*':
          case '+': {
            const char q = lexem.Value[0];
            if (!current ||
                (!current->HasNoQuantifier() && depth + current->GetNesting() + 1 > kMaxNesting)) {
              Error(lexem, RegExprText(&scxRegExprIllegalQuantifier, AnsiString(1, q)));
            } else if (q != '?' && current->MayMatchEmpty()) {
              Error(lexem, RegExprText(q == '*' ? &scxRegExprCantUseStarQuantifier : &scxRegExprCantUsePlusQuantifier));
            } else if (q == '?') {
              current = ApplyQuantifier(alt, current, new TcxRegExprQuestionQuantifier);
            } else if (q == '*') {
              current = ApplyQuantifier(alt, current, new TcxRegExprStarQuantifier);
            } else {
              current = ApplyQuantifier(alt, current, new TcxRegExprPlusQuantifier);
            }
            break;
          }
          case '{': {
            if (!current) {
              Error(lexem, RegExprText(&scxRegExprIncorrectParameterQuantifier));
              break;
            }
            Integer n = 0, m = 0;
            bool unbounded = false;
            TcxLexem last = lexem;
            if (!ReadParameters(n, m, unbounded, last)) {
              Error(last, RegExprText(&scxRegExprIncorrectParameterQuantifier));
            } else if (current->IsOptional()) {
              Error(last, RegExprText(&scxRegExprCantUseParameterQuantifier));
            } else if (!Fits(current->GetStateCount(), (unbounded ? n + 1 : m) - 1) ||
                       !FitsCopies(RegExprNodeCount(current) * std::max((unbounded ? n + 1 : m) - 1, 0) +
                                   (m > n ? m - n : 0) + 1) ||
                       depth + 1 + current->GetNesting() + (!unbounded && m > n ? m - 1 - n : 0) > kMaxNesting) {
              Error(last, RegExprText(&scxRegExprIncorrectParameterQuantifier));
            } else {
              current = ApplyParameters(alt, current, n, m, unbounded);
            }
            break;
          }
          case '[': current = AddSimple(alt, ParseSet()); break;
          case ',': break;
          default: Error(lexem, RegExprText(&scxRegExprIllegalSymbol, lexem.Value));
        }
        break;
    }
  }
  return aeEnd;
}

TcxRegExprParserItem* TcxRegExpr::TCompiler::ApplyQuantifier(TcxRegExprParserAlt* alt, TcxRegExprParserItem* item,
                                                             TcxRegExprQuantifier* quantifier) {
  if (item->HasNoQuantifier()) {
    item->ReplaceQuantifier(quantifier);
    return item;
  }
  // A quantified item gets a group of its own: a+* is (a+)*, a?? is (a?)?.
  auto* block = new TcxRegExprParserBlockItem(quantifier);
  alt->Replace(alt->GetCount() - 1, block);
  block->GetAlts()->Add()->Add(item);
  return block;
}

bool TcxRegExpr::TCompiler::ReadParameters(Integer& n, Integer& m, bool& unbounded, TcxLexem& last) {
  auto value = [](const TcxLexem& lexem) {
    Integer result = 0;
    for (char c : lexem.Value) result = std::min(kMaxInteger, result * 10 + (c - '0'));
    return result;
  };
  TcxLexem lexem;
  if (!Next(lexem)) return false;
  last = lexem;
  if (lexem.Code != lkInteger) return false;
  n = value(lexem);
  if (!Next(lexem)) return false;
  last = lexem;
  if (IsOperator(lexem, '}')) {
    m = n;
    return true;
  }
  if (!IsOperator(lexem, ',')) return false;
  if (!Next(lexem)) return false;
  last = lexem;
  if (IsOperator(lexem, '}')) {
    unbounded = true;
    return true;
  }
  if (lexem.Code != lkInteger) return false;
  m = value(lexem);
  if (m < n) return false;
  if (!Next(lexem)) return false;
  last = lexem;
  return IsOperator(lexem, '}');
}

TcxRegExprParserItem* TcxRegExpr::TCompiler::ApplyParameters(TcxRegExprParserAlt* alt, TcxRegExprParserItem* item,
                                                             Integer n, Integer m, bool unbounded) {
  const Integer size = item->GetStateCount();
  const Int64 nodes = RegExprNodeCount(item);
  auto* block = new TcxRegExprParserBlockItem;
  TcxRegExprParserAlt* content = block->GetAlts()->Add();
  // The item itself is the first copy: it stays what a back reference to it names.
  for (Integer i = 0; i < n; ++i) content->Add(i == 0 ? item : item->Duplicate());
  Integer copies = n;
  if (unbounded) {
    TcxRegExprParserItem* rest = item->Duplicate();
    rest->ReplaceQuantifier(new TcxRegExprStarQuantifier);
    content->Add(rest);
    ++copies;
  } else if (m > n) {
    // The optional tail, built from the inside out: a{2,4} is aa(aa?)?.
    TcxRegExprParserItem* tail = item->Duplicate();
    tail->ReplaceQuantifier(new TcxRegExprQuestionQuantifier);
    for (Integer depth = m - 2; depth >= n; --depth) {
      auto* group = new TcxRegExprParserBlockItem(new TcxRegExprQuestionQuantifier);
      TcxRegExprParserAlt* groupAlt = group->GetAlts()->Add();
      groupAlt->Add(item->Duplicate());
      groupAlt->Add(tail);
      tail = group;
    }
    content->Add(tail);
    copies = m;
  }
  alt->Replace(alt->GetCount() - 1, block);
  // Without copies of its own the item leaves the tree, but a back reference may still name it
  // (or a group inside it), as in ((a)b){0}\2: it lives on, unlinked, until the parse ends.
  if (n == 0) FDetached.emplace_back(item);
  FStateCount += size * (copies - 1);
  // Copies made, not positions: an item repeated {0} times leaves the tree but still lives.
  FCopiedNodes += nodes * std::max(copies - 1, 0) + (!unbounded && m > n ? m - n : 0) + 1;
  return block;
}

TcxRegExprItem* TcxRegExpr::TCompiler::SetMember(const TcxLexem& lexem) {
  switch (lexem.Code) {
    case lkIdLetter: return new TcxRegExprIdLetter(false);
    case lkNotIdLetter: return new TcxRegExprIdLetter(true);
    case lkDigit: return new TcxRegExprDigit(false);
    case lkNotDigit: return new TcxRegExprDigit(true);
    case lkSpace: return new TcxRegExprSpace(false);
    case lkNotSpace: return new TcxRegExprSpace(true);
    case lkDateSeparator: return new TcxRegExprDateSeparator;
    case lkTimeSeparator: return new TcxRegExprTimeSeparator;
    default: return new TcxRegExprSymbol(lexem.Value[0]);
  }
}

TcxRegExprUserEnumeration* TcxRegExpr::TCompiler::ParseSet() {
  TcxLexem lexem;
  bool inverse = false;
  if (PeekLexem(lexem) && IsOperator(lexem, '^')) {
    inverse = true;
    ++E.FLexemPos;
  }
  auto* result = new TcxRegExprUserEnumeration(inverse);
  if (!Next(lexem)) return result;
  if (IsOperator(lexem, ']')) {
    Error(lexem, RegExprText(&scxRegExprCantCreateEmptyEnum));
    return result;
  }
  do {
    if (IsOperator(lexem, ']')) break;
    TcxLexem next;
    if (PeekLexem(next) && IsOperator(next, '-')) {
      ++E.FLexemPos;
      TcxLexem last;
      if (!Next(last)) break;
      if (Ord(lexem.Value[0]) < Ord(last.Value[0]))
        result->Add(new TcxRegExprSubrange(lexem.Value[0], last.Value[0]));
      else
        Error(last, RegExprText(&scxRegExprSubrangeOrder));
      while (PeekLexem(next) && IsOperator(next, '-')) {
        ++E.FLexemPos;
        Error(next, RegExprText(&scxRegExprIllegalSymbol, "-"));
      }
    } else {
      result->Add(SetMember(lexem));
    }
  } while (Next(lexem));
  return result;
}

// ==== The expression =========================================================================

TcxRegExpr::TcxRegExpr()
    : FSource(new TMemoryStream), FErrors(new TcxRegExprErrors), FLexems(new TcxLexems), FBlocks(new TList) {}

TcxRegExpr::~TcxRegExpr() {
  Discard();
  FSource->Free();
  FErrors->Free();
  FLexems->Free();
  FBlocks->Free();
}

void TcxRegExpr::Discard() {
  FSource->Clear();
  FErrors->Clear();
  FLexems->Clear();
  FBlocks->Clear();
  FreeAndNil(FAutomat);
  FSourcePos = 0;
  FLexemPos = 0;
  FColumn = 0;
  FLine = 1;
  FCompiled = false;
}

void TcxRegExpr::Compile(TStream* stream) {
  if (FFirstCompilation)
    FFirstCompilation = false;
  else
    Discard();
  auto fail = [this]() { throw EcxRegExprError(FErrors); };
  bool copied = stream != nullptr;
  if (copied) {
    try {
      FSource->LoadFromStream(stream);
    } catch (const Exception&) {
      copied = false;
    }
  }
  if (!copied) {
    FErrors->Add(new TcxRegExprError(0, 0, RegExprText(&scxRegExprNotAssignedSourceStream)));
    fail();
  }
  const char* text = static_cast<const char*>(FSource->GetMemory());
  const Int64 size = FSource->GetSize();
  if (std::all_of(text, text + size, IsWhiteSpace)) {
    FErrors->Add(new TcxRegExprError(0, 0, RegExprText(&scxRegExprEmptySourceStream)));
    fail();
  }

  TcxRegExprParserAlts* tree;
  {
    TCompiler compiler(*this);
    compiler.Lex();
    if (FErrors->GetCount() > 0) fail();
    tree = compiler.Parse();
  }
  // The group list serves back references while parsing; it may name groups the parser has
  // since dropped.
  FBlocks->Clear();
  if (!tree) fail();
  for (Integer k = 0; k < tree->GetCount(); ++k) LinkAlt(tree->GetAlt(k));
  for (Integer k = 0; k < tree->GetCount(); ++k) MarkAltFinal(tree->GetAlt(k));
  FAutomat = new TcxRegExprAutomat(tree, this);
  FCompiled = true;
  if (FInsertForcedChars) FAutomat->AddForcedChars();
}

void TcxRegExpr::CheckCompiled() const {
  if (!FCompiled) throw EcxEditError(RegExprText(&scxRegExprNotCompiled));
}

bool TcxRegExpr::Step(char& ch) {
  CheckCompiled();
  const bool accepted = FAutomat->Step(ch, FCaseInsensitive);
  if (accepted && FInsertForcedChars && !FAutomat->IsAccepting()) FAutomat->AddForcedChars();
  return accepted;
}

void TcxRegExpr::StepText(const AnsiString& text, AnsiString& accepted) {
  CheckCompiled();
  accepted.clear();
  for (char c : text) {
    char offered = c;
    if (FAutomat->Step(offered, FCaseInsensitive)) accepted += c;
  }
}

bool TcxRegExpr::StepBack() {
  CheckCompiled();
  if (FInsertForcedChars) FAutomat->RemoveForcedChars();
  return FAutomat->StepBack();
}

void TcxRegExpr::Restart() {
  CheckCompiled();
  FAutomat->Restart();
}

bool TcxRegExpr::IsAccepting() {
  CheckCompiled();
  return FAutomat->IsAccepting();
}

bool TcxRegExpr::IsAtStart() {
  CheckCompiled();
  return FAutomat->IsAtStart();
}

void TcxRegExpr::SetInsertForcedChars(bool value) {
  // No early return: switching it on again consumes what is forced from here, which the mask
  // modes rely on after a restart.
  FInsertForcedChars = value;
  if (FCompiled && value) FAutomat->AddForcedChars();
}

void TcxRegExpr::DoForcedCharAdded(char ch) {
  if (FOnForcedCharAdded) FOnForcedCharAdded(ch);
}

void TcxRegExpr::DoForcedCharRemoved() {
  if (FOnForcedCharRemoved) FOnForcedCharRemoved();
}
