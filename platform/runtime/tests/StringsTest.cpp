#include "platform/runtime/Strings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Streams.h"

namespace {

std::vector<AnsiString> All(const TStrings& s) {
  std::vector<AnsiString> r;
  for (Integer i = 0; i < s.GetCount(); ++i) r.push_back(s.Get(i));
  return r;
}

class TChangeCounter : public TObject {
  ORV_CLASS(TChangeCounter, TObject)
 public:
  TChangeCounter() = default;
  void OnChange(TObject*) { ++Changes; }
  void OnChanging(TObject*) { ++Changings; }
  int Changes = 0, Changings = 0;
};

TEST(StringList, KeepsObjectsBesideStrings) {
  TStringList list;
  TChangeCounter a, b;
  list.Add("one");
  list.AddObject("two", &a);
  list.InsertObject(0, "zero", &b);
  EXPECT_EQ(All(list), (std::vector<AnsiString>{"zero", "one", "two"}));
  EXPECT_EQ(list.GetObject(0), &b);
  EXPECT_EQ(list.GetObject(1), nullptr);
  EXPECT_EQ(list.IndexOfObject(&a), 2);
  list.Move(2, 0);
  list.Exchange(1, 2);
  EXPECT_EQ(All(list), (std::vector<AnsiString>{"two", "one", "zero"}));
  EXPECT_EQ(list.GetObject(0), &a);
  EXPECT_EQ(list.GetObject(2), &b);
  list.Put(1, "ONE");
  EXPECT_EQ(list.IndexOf("one"), 1);  // without case by default
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("one"), -1);
  EXPECT_THROW(list.Get(3), EStringListError);
  EXPECT_THROW(list.Delete(-1), EListError);  // string list errors are list errors
  try {
    list.Get(5);
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.GetMessage(), "List index out of bounds (5)");
  }
}

TEST(StringList, SortedListsPlaceFindAndTreatDuplicatesByTheirSetting) {
  TStringList list;
  list.SetText("Томск\r\nабакан\r\nОмск\r\nАбакан\r\n"_a);
  list.SetSorted(true);  // sorting is stable: "абакан" stays before "Абакан"
  EXPECT_EQ(All(list), (std::vector<AnsiString>{"абакан"_a, "Абакан"_a, "Омск"_a, "Томск"_a}));
  Integer index = -1;
  EXPECT_TRUE(list.Find("ОМСК"_a, index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("Пермь"_a, index));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(list.Add("Пермь"_a), 3);
  EXPECT_EQ(list.IndexOf("пермь"_a), 3);

  EXPECT_EQ(list.Add("томск"_a), 4);  // dupIgnore: the index of the one already there
  EXPECT_EQ(list.GetCount(), 5);
  list.SetDuplicates(dupAccept);
  EXPECT_EQ(list.Add("омск"_a), 3);  // after the equal ones
  list.SetDuplicates(dupError);
  EXPECT_THROW(list.Add("ПЕРМЬ"_a), EStringListError);
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
  EXPECT_THROW(list.Put(0, "x"), EStringListError);

  // Case-sensitive sorted lists tell the cases apart.
  list.SetCaseSensitive(true);
  EXPECT_FALSE(list.Find("ОМСК"_a, index));
}

TEST(StringList, LoadingManyStringsIntoASortedListMatchesAddingThemOneByOne) {
  const AnsiString text = "b\r\nB\r\na\r\nc\r\nb\r\nA\r\n";
  for (TDuplicates dup : {dupIgnore, dupAccept}) {
    TStringList bulk, single;
    for (TStringList* l : {&bulk, &single}) {
      l->SetSorted(true);
      l->SetDuplicates(dup);
      l->Add("B");
    }
    bulk.SetText("B\r\n" + text);
    single.Add("B");  // SetText clears first
    single.Clear();
    for (const char* s : {"B", "b", "B", "a", "c", "b", "A"}) single.Add(s);
    EXPECT_EQ(All(bulk), All(single)) << dup;
  }
  TStringList strict;
  strict.SetSorted(true);
  strict.SetDuplicates(dupError);
  EXPECT_THROW(strict.SetText("x\r\ny\r\nX\r\n"), EStringListError);
}

TEST(StringList, CustomSortComparesByIndex) {
  TStringList list;
  list.SetText("ccc\r\na\r\nbb\r\nd\r\n");
  list.CustomSort([](TStringList* l, Integer i, Integer j) {
    return int(l->Get(i).size()) - int(l->Get(j).size());
  });
  EXPECT_EQ(All(list), (std::vector<AnsiString>{"a", "d", "bb", "ccc"}));
}

TEST(StringList, ChangeEventsFireOncePerChangeOrOncePerUpdate) {
  TStringList list;
  TChangeCounter counter;
  list.SetOnChange(TNotifyEvent(&counter, &TChangeCounter::OnChange));
  list.SetOnChanging(TNotifyEvent(&counter, &TChangeCounter::OnChanging));
  list.Add("a");
  list.Add("b");
  EXPECT_EQ(counter.Changes, 2);
  EXPECT_EQ(counter.Changings, 2);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("c");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(counter.Changes, 2);
  list.EndUpdate();
  EXPECT_EQ(counter.Changes, 3);
  EXPECT_EQ(counter.Changings, 3);
  list.SetText("x\r\ny\r\n");
  EXPECT_EQ(counter.Changes, 4);
  list.Clear();
  list.Clear();  // already empty: no change
  EXPECT_EQ(counter.Changes, 5);
}

TEST(Strings, TextNamesAndValues) {
  TStringList list;
  struct Case {
    const char* Text;
    std::vector<AnsiString> Lines;
  } const cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two breaks
      {"\r\n\r\n", {"", ""}},
      {"", {}},
  };
  for (const auto& c : cases) {
    list.SetText(c.Text);
    EXPECT_EQ(All(list), c.Lines) << c.Text;
  }
  list.SetText(AnsiString("a\0b\r\nc", 6));  // a zero byte is kept
  EXPECT_EQ(list.Get(0), AnsiString("a\0b", 3));
  list.SetText("x\r\n\r\nz");
  EXPECT_EQ(list.GetText(), "x\r\n\r\nz\r\n");

  list.SetText("Country=Россия\r\ncity=Москва\r\nnoseparator\r\n"_a);
  EXPECT_EQ(list.GetValue("CITY"), "Москва"_a);
  EXPECT_EQ(list.GetName(0), "Country");
  EXPECT_EQ(list.GetValueFromIndex(0), "Россия"_a);
  EXPECT_EQ(list.GetName(2), "");
  EXPECT_EQ(list.GetValueFromIndex(2), "");
  list.SetValue("city", "Тверь"_a);
  EXPECT_EQ(list.Get(1), "city=Тверь"_a);
  list.SetValue("Year", "2024");
  EXPECT_EQ(list.IndexOfName("year"), 3);
  list.SetValue("COUNTRY", "");
  EXPECT_EQ(list.IndexOfName("Country"), -1);
}

TEST(Strings, AssignCopiesStringsAndObjectsAndRefusesOtherClasses) {
  TStringList a, b;
  TChangeCounter o;
  a.AddObject("x", &o);
  a.Add("y");
  b.Add("old");
  b.Assign(&a);
  EXPECT_TRUE(b.Equals(&a));
  EXPECT_EQ(b.GetObject(0), &o);
  b.Assign(&b);
  EXPECT_EQ(b.GetCount(), 2);
  TInterfacedPersistent other;
  EXPECT_THROW(b.Assign(&other), EConvertError);
}

TEST(Strings, SaveToFileWritesRawBytesWithCrLfAfterEveryLine) {
  const auto dir = std::filesystem::temp_directory_path() / ("orv_strings_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const AnsiString name = orv::Utf8ToAnsi((dir / "Орване.txt").string());
  TStringList list;
  list.Add("-----");
  list.Add("Россия  Москва"_a);
  list.Add("");
  list.SaveToFile(name);
  std::ifstream in(dir / "Орване.txt", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(bytes, "-----\r\n"_a + "Россия  Москва"_a + "\r\n\r\n");

  TStringList back;
  back.LoadFromFile(name);
  EXPECT_TRUE(back.Equals(&list));
  std::filesystem::remove_all(dir);
  EXPECT_THROW(back.LoadFromFile(name), EFOpenError);
}

}  // namespace
