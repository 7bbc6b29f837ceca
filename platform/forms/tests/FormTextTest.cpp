#include "platform/forms/FormText.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "platform/runtime/AnsiString.h"

using namespace orv;

namespace {

const char* const kSample = R"(object FMain: TFMain
  Caption = 'Орване'
  Width = 660
  Ratio = -1.5
  Big = 1e+20
  Mask = $FF
  Negative = -$10
  Visible = True
  Anchors = [akLeft, akTop]
  Empty = []
  Font.Name = 'MS Sans Serif'
  Text = 'It''s ' + 'two'#13#10'lines'
  Items.Strings = (
    '*'
    'Москва')
  Data = {
    00FF7A
    10}
  FieldDefs = <
    item
      Name = 'ID'
      DataType = ftInteger
    end
    item [3]
      Size = 25
    end>
  NoItems = <>
  object dsOrvane: TDataSource
    DataSet = DM.tblOrvane
  end
  inherited Panel: TPanel [2]
    object Button: TButton
    end
  end
end
)";

TEST(FormText, ParsesEveryKindOfValue) {
  const FormObject root = ParseFormText(kSample);
  EXPECT_EQ(root.Name, "FMain");
  EXPECT_EQ(root.ClassName, "TFMain");
  ASSERT_EQ(root.Properties.size(), 15u);
  const auto& p = root.Properties;
  EXPECT_EQ(p[0].Value.Kind, FormValueKind::String);
  EXPECT_EQ(p[0].Value.Text, AnsiString("Орване"_a));
  EXPECT_EQ(p[0].Line, 2);
  EXPECT_EQ(p[1].Value.IntValue, 660);
  EXPECT_EQ(p[2].Value.Kind, FormValueKind::Float);
  EXPECT_EQ(p[2].Value.FloatValue, -1.5);
  EXPECT_EQ(p[3].Value.FloatValue, 1e20);
  EXPECT_EQ(p[4].Value.IntValue, 255);
  EXPECT_EQ(p[5].Value.IntValue, -16);
  EXPECT_TRUE(p[6].Value.IsIdent("true"));
  EXPECT_EQ(p[7].Value.Names, (std::vector<AnsiString>{"akLeft", "akTop"}));
  EXPECT_TRUE(p[8].Value.Names.empty());
  EXPECT_EQ(p[9].Name, "Font.Name");
  EXPECT_EQ(p[10].Value.Text, "It's two\r\nlines");
  ASSERT_EQ(p[11].Value.Values.size(), 2u);
  EXPECT_EQ(p[11].Value.Values[1].Text, AnsiString("Москва"_a));
  EXPECT_EQ(p[12].Value.Text, std::string("\x00\xFF\x7A\x10", 4));
  ASSERT_EQ(p[13].Value.Items.size(), 2u);
  EXPECT_EQ(p[13].Value.Items[0].Properties[1].Value.Text, "ftInteger");
  EXPECT_EQ(p[13].Value.Items[1].Index, 3);
  EXPECT_TRUE(p[14].Value.Items.empty());
  ASSERT_EQ(root.Children.size(), 2u);
  EXPECT_EQ(root.Children[0].Properties[0].Value.Text, "DM.tblOrvane");
  EXPECT_EQ(root.Children[1].Kind, FormObjectKind::Inherited);
  EXPECT_EQ(root.Children[1].ChildPos, 2);
  EXPECT_EQ(root.Children[1].Children[0].ClassName, "TButton");
}

TEST(FormText, PrintedTextParsesToTheSameTree) {
  const FormObject first = ParseFormText(kSample);
  const std::string printed = PrintFormText(first);
  const FormObject second = ParseFormText(printed);
  EXPECT_EQ(PrintFormText(second), printed);
  // Printable Cyrillic stays readable; control characters become codes.
  EXPECT_NE(printed.find("Caption = 'Орване'"), std::string::npos);
  EXPECT_NE(printed.find("'It''s two'#13#10'lines'"), std::string::npos);
  EXPECT_NE(printed.find("Ratio = -1.5\n"), std::string::npos);
}

TEST(FormText, EveryByteOfAStringSurvivesPrinting) {
  AnsiString all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  FormObject obj;
  obj.ClassName = "TX";
  obj.Properties.push_back({"S", FormValue::Str(all), 0});
  obj.Properties.push_back({"F", FormValue::Float(0.1), 0});
  obj.Properties.push_back({"G", FormValue::Float(3), 0});
  const FormObject back = ParseFormText(PrintFormText(obj));
  EXPECT_EQ(back.Properties[0].Value.Text, all);
  EXPECT_EQ(back.Properties[1].Value.FloatValue, 0.1);
  EXPECT_EQ(back.Properties[2].Value.Kind, FormValueKind::Float);
}

TEST(FormText, NestingIsBoundedAndRefusedWithItsLine) {
  // Lists, collections and objects nested ten thousand deep: a read error, not a stack overflow.
  const auto repeat = [](const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
  };
  const std::string deep[] = {
      "object A: TA\n  X = " + repeat("(", 10000) + "\nend",
      "object A: TA\n  X = " + repeat("<item X = ", 10000) + "\nend",
      repeat("object A: TA\n", 10000) + "end",
      "object A: TA\n  X = " + repeat("(<item X = ", 5000) + "\nend",
  };
  const char* lines[] = {"Line 2", "Line 2", "Line 257", "Line 2"};
  for (std::size_t i = 0; i < std::size(deep); ++i) {
    try {
      ParseFormText(deep[i]);
      ADD_FAILURE() << "no error for case " << i;
    } catch (const EParserError& e) {
      EXPECT_EQ(e.GetMessage(), std::string(lines[i]) + ": nesting deeper than 256 levels") << i;
    }
  }
  // Nesting within the bound reads, whatever the kinds.
  const FormObject lists = ParseFormText("object A: TA\n  X = " + repeat("(", 200) + repeat(")", 200) + "\nend");
  EXPECT_EQ(lists.Properties[0].Value.Kind, FormValueKind::List);
  const FormObject objects = ParseFormText(repeat("object A: TA\n", 200) + repeat("end\n", 200));
  EXPECT_EQ(objects.Children.size(), 1u);
}

TEST(FormText, MalformedTextNamesTheLine) {
  struct Case {
    const char* Text;
    const char* Message;
  };
  const Case cases[] = {
      {"", "Line 1: \"object\" expected"},
      {"object A: TA\n  X = \nend", "Line 3: value expected"},
      {"object A: TA\n  X = 'open\nend", "Line 2: unterminated string"},
      {"object A: TA\n  X = 'ok' +\nend", "Line 3: string expected after \"+\""},
      {"object A: TA\n  X = {0F1}\nend", "Line 2: odd number of hexadecimal digits in binary data"},
      {"object A: TA\n  X = {0G}\nend", "Line 2: hexadecimal digit expected in binary data"},
      {"object A: TA\n  X = 99999999999999999999\nend", "Line 2: integer out of range"},
      {"object A: TA\n  X = [a b]\nend", "Line 2: \",\" expected"},
      {"object A: TA\n  X = <\n  thing\n  >\nend", "Line 3: \"item\" or \">\" expected"},
      {"object A: TA\n  X = 'Ω'\nend", "Line 2: character U+03A9 is not in Windows-1251"},
      {"object A: TA\n  X = #1114112\nend", "Line 2: character code out of range"},
      {"object A: TA\nend\nend", "Line 3: text after the end of the description"},
      {"object A: TA\n  object B: TB\n  end\n  X = 1\nend", "Line 4: \"end\" expected"},
      {"object A: TA\n  X = 1", "Line 2: \"end\" expected"},
      {"object A: TA\n  X = 12abc\nend", "Line 2: bad number"},
      {"object A: TA\n  X. = 1\nend", "Line 2: bad name X."},
      {"object A: TA\n  X = ?\nend", "Line 2: unexpected character \"?\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    try {
      ParseFormText(c.Text);
      ADD_FAILURE() << "no error";
    } catch (const EParserError& e) {
      EXPECT_EQ(e.GetMessage(), c.Message);
    }
  }
}

}  // namespace
