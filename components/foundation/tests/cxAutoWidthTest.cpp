#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "platform/runtime/Exceptions.h"

namespace {

struct ItemSpec {
  Integer Width, MinWidth;
  bool Fixed;
};

std::vector<Integer> Distribute(Integer available, const std::vector<ItemSpec>& specs) {
  TcxAutoWidthObject object(Integer(specs.size()));
  for (const auto& spec : specs) {
    TcxAutoWidthItem* item = object.NewItem();
    EXPECT_EQ(item->AutoWidth, -1);
    item->Width = spec.Width;
    item->MinWidth = spec.MinWidth;
    item->Fixed = spec.Fixed;
  }
  object.SetAvailableWidth(available);
  object.DistributeWidth();
  std::vector<Integer> result;
  for (Integer i = 0; i < object.GetItemCount(); ++i) result.push_back(object.GetItemAt(i)->AutoWidth);
  return result;
}

TEST(TcxAutoWidthObject, DistributionTable) {
  struct Case {
    const char* name;
    Integer available;
    std::vector<ItemSpec> items;
    std::vector<Integer> expected;
  } cases[] = {
      {"proportional", 200, {{100, 0, false}, {300, 0, false}}, {50, 150}},
      {"running totals sum exactly", 10, {{1, 0, false}, {1, 0, false}, {1, 0, false}}, {3, 4, 3}},
      {"share equal to the minimum pins it", 200, {{100, 50, false}, {300, 0, false}}, {50, 150}},
      {"pinned item leaves, the rest share what is left",
       100, {{10, 40, false}, {50, 0, false}, {40, 0, false}}, {40, 33, 27}},
      {"minimums above the available width", 10, {{50, 20, false}, {50, 20, false}}, {20, 20}},
      {"all fixed", 50, {{30, 0, true}, {40, 0, true}}, {30, 40}},
      {"fixed beyond the available width", 50, {{80, 0, true}, {10, 5, false}, {10, 6, false}},
       {80, 5, 6}},
      {"zero total: pinned at the minimums", 100, {{0, 7, false}, {0, 0, false}}, {7, 0}},
      {"zero total with negative minimums still decides", 100, {{0, -5, false}, {0, -1, false}},
       {0, 0}},
      {"fixed plus proportional", 100, {{20, 0, true}, {10, 0, false}, {30, 0, false}}, {20, 20, 60}},
      {"no items", 100, {}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Distribute(c.available, c.items), c.expected) << c.name;
}

TEST(TcxAutoWidthObject, SharesSumExactlyToTheAvailableWidth) {
  for (Integer available : {0, 1, 7, 99, 1000, 1999}) {
    std::vector<ItemSpec> items;
    for (Integer w : {13, 7, 29, 1, 50, 3, 17}) items.push_back({w, 0, false});
    Int64 sum = 0;
    for (Integer v : Distribute(available, items)) sum += v;
    EXPECT_EQ(sum, available) << available;
  }
}

TEST(TcxAutoWidthObject, HugeWidthsDoNotOverflow) {
  const auto result = Distribute(INT_MAX, {{INT_MAX, 0, false}, {INT_MAX, 0, false}, {INT_MAX, 0, false}});
  Int64 sum = 0;
  for (Integer v : result) sum += v;
  EXPECT_EQ(sum, INT_MAX);
}

TEST(TcxAutoWidthObject, RedistributingStartsAfresh) {
  TcxAutoWidthObject object(2);
  object.NewItem()->Width = 1;
  object.NewItem()->Width = 1;
  object.SetFreeWidth(10);
  object.DistributeWidth();
  EXPECT_EQ(object.GetItemAt(1)->AutoWidth, 5);
  object.SetAvailableWidth(20);
  object.DistributeWidth();
  EXPECT_EQ(object.GetItemAt(0)->AutoWidth, 10);
  EXPECT_EQ(object.GetItemAt(1)->AutoWidth, 10);
  EXPECT_EQ(object.GetTotalWidth(), 2);
  EXPECT_THROW(object.GetItemAt(2), EListError);
}

}  // namespace
