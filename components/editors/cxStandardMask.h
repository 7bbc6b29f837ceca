// The classic edit mask: one position per character of the edited text, each a literal or an
// editable position with a character class, a case rule and a required/optional mark. It fits a
// text into the mask, strips a masked text back to its value, checks a masked text, and gives
// the empty and the blank forms. It knows nothing of editors.
//
// Mask characters:
//   L l  letter, required / optional          0 9  digit, required / optional
//   A a  letter or digit                      #    digit, "+" or "-", optional
//   C c  any character                        > <  upper / lower case from here ("<>" neither)
//   \x   x as a literal                       / :  the locale's date / time separator
//   a leading "!" fills the text from its end;
//   ";0" or ";1" at the very end: whether literals belong to the value (default 1), and
//   ";0;*" or ";1;*" also sets the blank character (default "_"); any other ";" is a literal;
//   every other character is a literal.
// Letters are the letters of the locale's code page, Cyrillic included, and case rules use the
// locale's case mapping.
#pragma once

#include <vector>

#include "platform/runtime/Object.h"
#include "platform/runtime/Types.h"

// One position of the mask.
class TcxStandardMaskCustomItem : public TObject {
  ORV_CLASS(TcxStandardMaskCustomItem, TObject)
 public:
  TcxStandardMaskCustomItem() = default;

  // Whether the position takes `ch`; an editable position also applies its case rule to `ch`,
  // pass or fail.
  virtual bool Check(char& ch) = 0;
};

class TcxStandardMaskLiteralItem : public TcxStandardMaskCustomItem {
  ORV_CLASS(TcxStandardMaskLiteralItem, TcxStandardMaskCustomItem)
 public:
  explicit TcxStandardMaskLiteralItem(char literal) : FLiteral(literal) {}

  char GetLiteral() const { return FLiteral; }
  bool Check(char& ch) override { return ch == FLiteral; }

 private:
  char FLiteral;
};

// The case rule of an editable position.
enum TcxStandardMaskCaseRule : Byte { smcrUpper = 0, smcrLower = 1, smcrUnchanged = 2 };

// An editable position.
class TcxStandardMaskManyItem : public TcxStandardMaskCustomItem {
  ORV_CLASS(TcxStandardMaskManyItem, TcxStandardMaskCustomItem)
 public:
  TcxStandardMaskManyItem(TcxStandardMaskCaseRule caseRule, bool optional)
      : FCaseRule(caseRule), FOptional(optional) {}

  TcxStandardMaskCaseRule GetCaseRule() const { return FCaseRule; }
  bool GetOptional() const { return FOptional; }
  // The character as tested first, then the case rule.
  bool Check(char& ch) final;

 protected:
  virtual bool Accepts(char ch) const = 0;

 private:
  TcxStandardMaskCaseRule FCaseRule;
  bool FOptional;
};

// A letter.
class TcxStandardMaskAlphaItem : public TcxStandardMaskManyItem {
  ORV_CLASS(TcxStandardMaskAlphaItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

 protected:
  bool Accepts(char ch) const override;
};

// A letter or a digit.
class TcxStandardMaskAlphaNumericItem : public TcxStandardMaskManyItem {
  ORV_CLASS(TcxStandardMaskAlphaNumericItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

 protected:
  bool Accepts(char ch) const override;
};

// Any character.
class TcxStandardMaskASCIIItem : public TcxStandardMaskManyItem {
  ORV_CLASS(TcxStandardMaskASCIIItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

 protected:
  bool Accepts(char ch) const override { return true; }
};

// A digit.
class TcxStandardMaskNumericItem : public TcxStandardMaskManyItem {
  ORV_CLASS(TcxStandardMaskNumericItem, TcxStandardMaskManyItem)
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

 protected:
  bool Accepts(char ch) const override { return ch >= '0' && ch <= '9'; }
};

// A digit or a sign; always optional.
class TcxStandardMaskNumericSymbolItem : public TcxStandardMaskManyItem {
  ORV_CLASS(TcxStandardMaskNumericSymbolItem, TcxStandardMaskManyItem)
 public:
  explicit TcxStandardMaskNumericSymbolItem(TcxStandardMaskCaseRule caseRule)
      : TcxStandardMaskManyItem(caseRule, true) {}

 protected:
  bool Accepts(char ch) const override { return ch == '+' || ch == '-' || (ch >= '0' && ch <= '9'); }
};

class TcxStandardMask : public TObject {
  ORV_CLASS(TcxStandardMask, TObject)
 public:
  TcxStandardMask() = default;
  ~TcxStandardMask() override;

  // Every mask text compiles.
  void Compile(const AnsiString& mask);
  // Fits `text` into the mask: the result has one character per position, blank where nothing
  // fits. With `convertCase` the case rules apply; with `keepLiteralPositions` a text without
  // its literals still has them tested (for a mask whose value leaves its literals out).
  void Format(AnsiString& text, bool convertCase = true, bool keepLiteralPositions = false) const;
  // The value of a masked text: blanks become spaces, literals stay only when they are saved.
  void Strip(AnsiString& text) const;
  // A complete, correct masked text; its characters are tested in place, so the text may come
  // back with its case converted.
  bool IsValid(AnsiString& text) const;
  // A space for each editable position, and each literal when literals are saved.
  void GetEmptyText(AnsiString& text) const;
  // Each literal, and the blank character for each editable position.
  void GetBlankText(AnsiString& text) const;
  void Clear();

  Integer GetCount() const { return static_cast<Integer>(FItems.size()); }
  TcxStandardMaskCustomItem* GetItem(Integer index) const { return FItems[static_cast<std::size_t>(index)]; }
  char GetBlank() const { return FBlank; }
  bool GetFillFromEnd() const { return FFillFromEnd; }
  bool GetSaveLiteralCharacters() const { return FSaveLiteralCharacters; }
  const AnsiString& GetMask() const { return FMask; }

 private:
  static bool IsLiteral(const TcxStandardMaskCustomItem* item);
  // Tries the positions from `position` on (forwards or backwards) for one text character; the
  // position after the one that took it, or `position` when none did.
  Integer Place(AnsiString& result, char ch, Integer position, bool forwards, bool convertCase,
                bool testLiterals) const;

  char FBlank = '_';
  std::vector<TcxStandardMaskCustomItem*> FItems;
  bool FFillFromEnd = false;
  bool FSaveLiteralCharacters = true;
  AnsiString FMask;
};
