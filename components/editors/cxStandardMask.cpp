#include "components/editors/cxStandardMask.h"

#include "components/editors/cxEdit.h"
#include "platform/runtime/Collation.h"
#include "platform/runtime/Locale.h"

bool TcxStandardMaskManyItem::Check(char& ch) {
  const bool result = Accepts(ch);
  if (FCaseRule == smcrUpper)
    ch = orv::AnsiUpperChar(ch);
  else if (FCaseRule == smcrLower)
    ch = orv::AnsiLowerChar(ch);
  return result;
}

bool TcxStandardMaskAlphaItem::Accepts(char ch) const { return orv::IsAnsiLetter(ch); }

bool TcxStandardMaskAlphaNumericItem::Accepts(char ch) const {
  return (ch >= '0' && ch <= '9') || orv::IsAnsiLetter(ch);
}

TcxStandardMask::~TcxStandardMask() { Clear(); }

void TcxStandardMask::Clear() {
  FMask.clear();
  FBlank = '_';
  FFillFromEnd = false;
  FSaveLiteralCharacters = true;
  for (TcxStandardMaskCustomItem* item : FItems) item->Free();
  FItems.clear();
}

void TcxStandardMask::Compile(const AnsiString& mask) {
  Clear();
  FMask = mask;
  std::size_t i = 0;
  if (!mask.empty() && mask[0] == '!') {
    FFillFromEnd = true;
    i = 1;
  }
  TcxStandardMaskCaseRule caseRule = smcrUnchanged;
  auto literal = [this](char ch) { FItems.push_back(new TcxStandardMaskLiteralItem(ch)); };
  for (; i < mask.size(); ++i) {
    const char c = mask[i];
    switch (c) {
      case 'L':
      case 'l': FItems.push_back(new TcxStandardMaskAlphaItem(caseRule, c == 'l')); break;
      case 'A':
      case 'a': FItems.push_back(new TcxStandardMaskAlphaNumericItem(caseRule, c == 'a')); break;
      case 'C':
      case 'c': FItems.push_back(new TcxStandardMaskASCIIItem(caseRule, c == 'c')); break;
      case '0':
      case '9': FItems.push_back(new TcxStandardMaskNumericItem(caseRule, c == '9')); break;
      case '#': FItems.push_back(new TcxStandardMaskNumericSymbolItem(caseRule)); break;
      case '>': caseRule = smcrUpper; break;
      case '<':
        if (i + 1 < mask.size() && mask[i + 1] == '>') {
          caseRule = smcrUnchanged;
          ++i;
        } else {
          caseRule = smcrLower;
        }
        break;
      case '\\':
        if (i + 1 < mask.size()) literal(mask[++i]);  // a trailing backslash is dropped
        break;
      case '/': literal(FormatSettings.DateSeparator); break;
      case ':': literal(FormatSettings.TimeSeparator); break;
      case ';': {
        const std::size_t rest = mask.size() - i - 1;
        const char save = rest > 0 ? mask[i + 1] : 0;
        if ((save == '0' || save == '1') && (rest == 1 || (rest == 3 && mask[i + 2] == ';'))) {
          FSaveLiteralCharacters = save == '1';
          if (rest == 3) FBlank = mask[i + 3];
          return;
        }
        literal(c);
        break;
      }
      default: literal(c);
    }
  }
}

bool TcxStandardMask::IsLiteral(const TcxStandardMaskCustomItem* item) {
  return dynamic_cast<const TcxStandardMaskLiteralItem*>(item) != nullptr;
}

Integer TcxStandardMask::Place(AnsiString& result, char ch, Integer position, bool forwards, bool convertCase,
                               bool testLiterals) const {
  const Integer step = forwards ? 1 : -1;
  for (Integer p = position; p >= 0 && p < GetCount(); p += step) {
    TcxStandardMaskCustomItem* item = GetItem(p);
    const bool literal = IsLiteral(item);
    if (literal && !testLiterals) continue;
    char tested = ch;
    if (item->Check(tested)) {
      result[static_cast<std::size_t>(p)] = convertCase ? tested : ch;
      return p + step;
    }
    // A blank or a space keeps an editable position blank.
    if (!literal && (ch == FBlank || ch == ' ')) return p + step;
  }
  return position;  // nothing takes it: the character is dropped
}

void TcxStandardMask::Format(AnsiString& text, bool convertCase, bool keepLiteralPositions) const {
  AnsiString result;
  GetBlankText(result);
  const bool testLiterals = FSaveLiteralCharacters || keepLiteralPositions;
  if (!FFillFromEnd) {
    Integer position = 0;
    for (char ch : text) position = Place(result, ch, position, true, convertCase, testLiterals);
  } else {
    Integer position = GetCount() - 1;
    for (auto it = text.rbegin(); it != text.rend(); ++it)
      position = Place(result, *it, position, false, convertCase, testLiterals);
  }
  text = result;
}

void TcxStandardMask::Strip(AnsiString& text) const {
  const std::size_t count = std::min(text.size(), FItems.size());
  AnsiString result;
  for (std::size_t p = 0; p < count; ++p) {
    const char ch = text[p];
    if (IsLiteral(FItems[p])) {
      if (FSaveLiteralCharacters) result += ch;
    } else {
      result += ch == FBlank ? ' ' : ch;
    }
  }
  text = result;
}

bool TcxStandardMask::IsValid(AnsiString& text) const {
  if (text.size() != FItems.size()) return false;
  for (std::size_t p = 0; p < FItems.size(); ++p) {
    const char original = text[p];
    if (FItems[p]->Check(text[p])) continue;
    auto* editable = dynamic_cast<TcxStandardMaskManyItem*>(FItems[p]);
    if (editable && editable->GetOptional() && (original == FBlank || original == ' ')) continue;
    return false;
  }
  return true;
}

void TcxStandardMask::GetEmptyText(AnsiString& text) const {
  text.clear();
  for (TcxStandardMaskCustomItem* item : FItems) {
    if (auto* literal = dynamic_cast<TcxStandardMaskLiteralItem*>(item)) {
      if (FSaveLiteralCharacters) text += literal->GetLiteral();
    } else {
      text += ' ';
    }
  }
}

void TcxStandardMask::GetBlankText(AnsiString& text) const {
  text.clear();
  for (TcxStandardMaskCustomItem* item : FItems) {
    auto* literal = dynamic_cast<TcxStandardMaskLiteralItem*>(item);
    text += literal ? literal->GetLiteral() : FBlank;
  }
}
