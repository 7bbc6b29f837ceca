// The classic edit mask: parsing of mask texts, fitting texts into them, stripping, checking,
// and the empty and blank forms; Russian letters included.
#include "components/editors/cxStandardMask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Locale.h"

namespace {

// Tables are written in UTF-8; the mask works on Windows-1251.
AnsiString MaskA(const std::string& utf8) { return orv::Utf8ToAnsi(utf8); }
std::string MaskU(const AnsiString& ansi) { return orv::AnsiToUtf8(ansi); }

class StandardMask : public ::testing::Test {
 protected:
  orv::TLocaleScope FLocale{orv::TLocaleProfile::Russian};
  TcxStandardMask FMask;

  // One letter per position: L literal, then the editable kinds a (alpha), n (alphanumeric),
  // c (any), d (digit), s (digit or sign); capital when required. Case rules: u, l or -.
  std::string Shape() const {
    std::string result;
    for (Integer i = 0; i < FMask.GetCount(); ++i) {
      TcxStandardMaskCustomItem* item = FMask.GetItem(i);
      auto* many = dynamic_cast<TcxStandardMaskManyItem*>(item);
      if (!many) {
        result += "L";
        continue;
      }
      char kind = item->InheritsFrom(TcxStandardMaskNumericSymbolItem::StaticClass()) ? 's'
                  : item->InheritsFrom(TcxStandardMaskNumericItem::StaticClass())     ? 'd'
                  : item->InheritsFrom(TcxStandardMaskAlphaNumericItem::StaticClass()) ? 'n'
                  : item->InheritsFrom(TcxStandardMaskAlphaItem::StaticClass())        ? 'a'
                                                                                      : 'c';
      result += many->GetOptional() ? kind : static_cast<char>(kind - 'a' + 'A');
      result += "ul-"[many->GetCaseRule()];
    }
    return result;
  }
};

TEST_F(StandardMask, ParsesPositionsCaseRulesAndOptions) {
  struct TCase {
    std::string Mask;
    std::string Shape;
    char Blank;
    bool Save;
    bool FromEnd;
  };
  const std::vector<TCase> cases = {
      {"Ll", "A-a-", '_', true, false},
      {"Aa Cc", "N-n-LC-c-", '_', true, false},
      {"09#", "D-d-s-", '_', true, false},
      {">L<l<>L", "AualA-", '_', true, false},
      {"\\L0\\", "LD-", '_', true, false},  // an escaped mask character; a trailing backslash adds nothing
      {"9;9", "d-Ld-", '_', true, false},   // a semicolon elsewhere is a literal
      {"99;0", "d-d-", '_', false, false},
      {"99;1;*", "d-d-", '*', true, false},
      {"99;2;*", "d-d-LLLL", '_', true, false},
      {"99;0;", "d-d-LD-L", '_', true, false},
      {"!999", "d-d-d-", '_', true, true},
      {"00:00:00 LL;1;0", "D-D-LD-D-LD-D-LA-A-", '0', true, false},
      {"", "", '_', true, false},
  };
  for (const TCase& c : cases) {
    FMask.Compile(c.Mask);
    EXPECT_EQ(Shape(), c.Shape) << c.Mask;
    EXPECT_EQ(FMask.GetBlank(), c.Blank) << c.Mask;
    EXPECT_EQ(FMask.GetSaveLiteralCharacters(), c.Save) << c.Mask;
    EXPECT_EQ(FMask.GetFillFromEnd(), c.FromEnd) << c.Mask;
    EXPECT_EQ(FMask.GetMask(), c.Mask);
  }

  FMask.Clear();
  EXPECT_EQ(FMask.GetCount(), 0);
  EXPECT_EQ(FMask.GetMask(), "");
  EXPECT_EQ(FMask.GetBlank(), '_');
  EXPECT_TRUE(FMask.GetSaveLiteralCharacters());
}

TEST_F(StandardMask, SeparatorsAreTheLocalesAtCompileTime) {
  FormatSettings.TimeSeparator = '-';
  FormatSettings.DateSeparator = '/';
  FMask.Compile("00:00 00/00");
  FormatSettings.TimeSeparator = ':';
  AnsiString text;
  FMask.GetBlankText(text);
  EXPECT_EQ(text, "__-__ __/__");
}

TEST_F(StandardMask, FitsTexts) {
  struct TCase {
    std::string Mask, Text;
    bool ConvertCase, KeepLiteralPositions;
    std::string Expected;
  };
  const std::vector<TCase> cases = {
      {"00-00", "1234", true, false, "12-34"},  // the third character hops over the literal
      {"00-00", "12-34", true, false, "12-34"},
      {"00-00", "12", true, false, "12-__"},
      {"00-00", "1_34", true, false, "1_-34"},  // a blank keeps its position blank
      {"00-00", "1 3", true, false, "1_-3_"},
      {"00-00", "123456", true, false, "12-34"},  // what does not fit is dropped
      {"L0", "1", true, false, "_1"},
      {"LL", "1ы", true, false, "ы_"},
      {">LL", "ab", true, false, "AB"},
      {">LL", "ab", false, false, "ab"},
      {">LLL", "абв", true, false, "АБВ"},
      {"<L", "Ж", true, false, "ж"},
      {"<>L>l<l", "ёЁё", true, false, "ёЁё"},
      {"!999", "12", true, false, "_12"},
      {"!999", "1234", true, false, "234"},
      {"(999)000-00-00", "9161234567", true, false, "(916)123-45-67"},
      {"##0", "-5", true, false, "-5_"},
      {"CC", "ё!", true, false, "ё!"},
      // A value without its literals fits around them.
      {"(99)-99;0", "1234", true, false, "(12)-34"},
      {"(99)-99;0", "(12)-34", true, false, "(12)-34"},
      {"(99)-99;0", "1234", true, true, "(12)-34"},
      {"99;0;*", "5", true, false, "5*"},
  };
  for (const TCase& c : cases) {
    FMask.Compile(MaskA(c.Mask));
    AnsiString text = MaskA(c.Text);
    FMask.Format(text, c.ConvertCase, c.KeepLiteralPositions);
    EXPECT_EQ(MaskU(text), c.Expected) << c.Mask << " <- " << c.Text;
  }
}

TEST_F(StandardMask, StripsChecksAndShowsEmptyForms) {
  struct TStrip {
    std::string Mask, Text, Expected;
  };
  for (const TStrip& c : std::vector<TStrip>{
           {"00-00", "1_-3_", "1 -3 "},
           {"(99)-99;0", "(12)-34", "1234"},
           {"(99)-99;1", "(12)-34", "(12)-34"},
           {"(99)-99;0", "(1_)-34", "1 34"},
           {"00-00", "12", "12"},  // only the positions both have
           {"99;0;*", "1*", "1 "},
       }) {
    FMask.Compile(c.Mask);
    AnsiString text = c.Text;
    FMask.Strip(text);
    EXPECT_EQ(text, c.Expected) << c.Mask << " <- " << c.Text;
  }

  struct TValid {
    std::string Mask, Text;
    bool Valid;
    std::string After;
  };
  for (const TValid& c : std::vector<TValid>{
           {"00-00", "12-34", true, "12-34"},
           {"00-00", "12-3", false, "12-3"},    // one character short
           {"00-00", "12-3_", false, "12-3_"},  // a blank at a required position
           {"00-99", "12-3_", true, "12-3_"},
           {"00-99", "12-3 ", true, "12-3 "},   // a space at an optional position
           {"00-00", "12+34", false, "12+34"},  // a wrong literal
           {">LL", "ab", true, "AB"},           // checked in place
           {"LL", "a1", false, "a1"},
           {"L", "Щ", true, "Щ"},
           {"#", "_", true, "_"},
           {"C", "_", true, "_"},
           {"c", "", false, ""},
       }) {
    FMask.Compile(MaskA(c.Mask));
    AnsiString text = MaskA(c.Text);
    EXPECT_EQ(FMask.IsValid(text), c.Valid) << c.Mask << " " << c.Text;
    EXPECT_EQ(MaskU(text), c.After) << c.Mask << " " << c.Text;
  }

  AnsiString empty, blank;
  FMask.Compile("(999)000;1");
  FMask.GetEmptyText(empty);
  FMask.GetBlankText(blank);
  EXPECT_EQ(empty, "(   )   ");
  EXPECT_EQ(blank, "(___)___");
  FMask.Compile("(999)000;0;#");
  FMask.GetEmptyText(empty);
  FMask.GetBlankText(blank);
  EXPECT_EQ(empty, "      ");
  EXPECT_EQ(blank, "(###)###");
}

}  // namespace
