// The incremental search of the unbound controller over the fixture of towns.
#include <gtest/gtest.h>

#include "components/data/tests/DataControllerFixture.h"

namespace {

using namespace orv::test;

struct TNoticeCounter {
  Integer Search = 0;
  void Update(TcxUpdateControlInfo* info) {
    if (info->InheritsFrom(TcxSearchChangedInfo::StaticClass())) ++Search;
  }
};

std::string FocusedTownCity(TcxCustomDataController* c) {
  return orv::AnsiToUtf8(VarToStr(c->GetValue(c->GetFocusedRecordIndex(), kCity)));
}

TEST(TcxDataControllerSearch, LocateWrapsLocateNextDoesNot) {
  TControllerPtr c = MakeTownController();
  TNoticeCounter notices;
  c->SetOnUpdateControl(TcxUpdateControlEvent(&notices, &TNoticeCounter::Update));
  TcxDataControllerSearch* search = c->GetSearch();
  c->ChangeFocusedRowIndex(8);  // Алматы
  // Москва lies above the focused row: the search wraps to the top.
  ASSERT_TRUE(search->Locate(kCity, "мо"_a));
  EXPECT_EQ(FocusedTownCity(c.get()), "Москва");
  EXPECT_TRUE(search->GetSearching());
  EXPECT_EQ(search->GetSearchText(), "мо"_a);
  EXPECT_EQ(search->GetItemIndex(), kCity);
  EXPECT_EQ(notices.Search, 1);

  // "Р" from Москва: Ростов-на-Дону (record 6); typing on keeps the focused record.
  ASSERT_TRUE(search->Locate(kCity, "Р"_a));
  EXPECT_EQ(c->GetFocusedRecordIndex(), 6);
  ASSERT_TRUE(search->Locate(kCity, "Рост"_a));
  EXPECT_EQ(c->GetFocusedRecordIndex(), 6);
  ASSERT_TRUE(search->LocateNext(true));
  EXPECT_EQ(c->GetFocusedRecordIndex(), 7);
  EXPECT_FALSE(search->LocateNext(true));  // no wrap
  EXPECT_EQ(c->GetFocusedRecordIndex(), 7);
  ASSERT_TRUE(search->LocateNext(false));
  EXPECT_EQ(c->GetFocusedRecordIndex(), 6);
  EXPECT_TRUE(search->GetSearching());

  // A prefix match that ignores case: text inside a name finds nothing.
  EXPECT_FALSE(search->Locate(kCity, "остов"_a));
  EXPECT_TRUE(search->Locate(kCity, "ЁЛК"_a));
  EXPECT_EQ(FocusedTownCity(c.get()), "Ёлкино");
  EXPECT_FALSE(search->Locate(kCity, ""));
  EXPECT_THROW(search->Locate(5, "а"_a), EcxInvalidDataControllerOperation);

  // The user moving the focus ends the search.
  const Integer before = notices.Search;
  c->ChangeFocusedRowIndex(0);
  EXPECT_FALSE(search->GetSearching());
  EXPECT_EQ(search->GetSearchText(), "");
  EXPECT_EQ(notices.Search, before + 1);
  EXPECT_FALSE(search->LocateNext(true));
  // Cancel while locked does nothing.
  ASSERT_TRUE(search->Locate(kCity, "К"_a));
  search->Lock();
  search->Cancel();
  EXPECT_TRUE(search->GetSearching());
  search->Unlock();
  search->Cancel();
  EXPECT_FALSE(search->GetSearching());
}

TEST(TcxDataControllerSearch, FindsInsideCollapsedGroupsAndSelectsTheFoundRow) {
  TControllerPtr c = MakeTownController();
  c->GetGroups()->ChangeGroupIndex(kCountry, 0);
  c->SetMultiSelect(true);
  c->SelectAll();
  TcxDataControllerSearch* search = c->GetSearch();
  ASSERT_TRUE(search->Locate(kCity, "Гом"_a));
  EXPECT_EQ(FocusedTownCity(c.get()), "Гомель");
  EXPECT_TRUE(c->GetRowInfo(0).Expanded);
  EXPECT_EQ(c->GetSelectedCount(), 1);
  EXPECT_EQ(c->GetSelectedRowIndex(0), c->GetFocusedRowIndex());
  // The search removed with its item is cancelled.
  c->RemoveTestItem(kCity);
  EXPECT_FALSE(search->GetSearching());
  EXPECT_EQ(search->GetItemIndex(), -1);
  c->SetRecordCount(0);
  EXPECT_FALSE(search->Locate(kCountry, "Р"_a));
}

}  // namespace
