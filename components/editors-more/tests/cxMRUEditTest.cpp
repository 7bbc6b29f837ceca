// The MRU editor: confirmed texts move to the top of the list, the list is cut to MaxItemCount
// with a notice per deleted item, and the ellipsis button answers Ctrl+Enter.
#include <gtest/gtest.h>

#include <vector>

#include "components/editors-more/cxMRUEdit.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"

using namespace edmore_test;

namespace {

class TMRUEvents : public TObject {
 public:
  void Deleted(TcxCustomMRUEditProperties* properties, Integer index) { DeletedIndexes.push_back(index); }
  void Button(TObject* sender) { ++Clicks; }
  std::vector<Integer> DeletedIndexes;
  int Clicks = 0;
};

class MRUEditTest : public FormTest {
 protected:
  TcxMRUEdit* AddEdit(std::initializer_list<const char*> items) {
    auto* e = new TcxMRUEdit(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(10, 10, 160, 21);
    for (const char* item : items) e->GetProperties()->GetLookupItems()->Add(item);
    e->GetProperties()->SetOnDeleteLookupItem(TcxMRUEditDeleteLookupItemEvent(&Events, &TMRUEvents::Deleted));
    e->GetProperties()->SetOnButtonClick(TNotifyEvent(&Events, &TMRUEvents::Button));
    return e;
  }
  static std::vector<AnsiString> Items(TcxMRUEdit* e) {
    std::vector<AnsiString> r;
    TStrings* items = e->GetProperties()->GetLookupItems();
    for (Integer i = 0; i < items->GetCount(); ++i) r.push_back(items->Get(i));
    return r;
  }
  TMRUEvents Events;
};

}  // namespace

TEST_F(MRUEditTest, ConfirmedTextsMoveToTheTopAndTheListIsTrimmed) {
  TcxMRUEdit* e = AddEdit({"A", "B", "C"});
  e->GetProperties()->SetMaxItemCount(3);
  // Typed texts confirmed by Enter with the list closed (an open list's row is taken instead).
  e->GetProperties()->SetImmediateDropDown(false);
  Show();
  e->SetFocus();
  Run();
  struct Step {
    const char* typed;
    std::vector<AnsiString> items;
  };
  const Step steps[] = {
      {"B", {"B", "A", "C"}},
      {"B", {"B", "A", "C"}},
  };
  for (const Step& s : steps) {
    e->SetSelection(0, 100);
    orv::headless::TypeText(s.typed);
    orv::headless::PressKey(VK_RETURN);
    Run();
    EXPECT_EQ(Items(e), s.items) << s.typed;
  }
  e->AddText("D");
  EXPECT_EQ(Items(e), (std::vector<AnsiString>{"D", "B", "A"}));
  EXPECT_EQ(Events.DeletedIndexes, std::vector<Integer>{3}) << "D pushed C out at index 3";

  e->GetProperties()->SetMaxItemCount(1);
  EXPECT_EQ(Items(e), std::vector<AnsiString>{"D"});
  EXPECT_EQ(Events.DeletedIndexes, (std::vector<Integer>{3, 2, 1}));
  e->GetProperties()->SetMaxItemCount(-5);
  EXPECT_EQ(e->GetProperties()->GetMaxItemCount(), 0);
}

TEST_F(MRUEditTest, EllipsisButtonIsTheDefaultButtonAndCanBeHidden) {
  TcxMRUEdit* e = AddEdit({});
  Show();
  TcxEditButtons* buttons = e->GetProperties()->GetButtons();
  ASSERT_EQ(buttons->GetCount(), 2);
  EXPECT_EQ(buttons->GetItem(1)->GetKind(), bkEllipsis);
  EXPECT_TRUE(buttons->GetItem(1)->GetDefault());
  EXPECT_EQ(e->GetProperties()->GetGlyphButtonIndex(), 1);
  e->SetFocus();
  Run();
  orv::headless::PressKey(VK_RETURN, false, true);
  Run();
  EXPECT_EQ(Events.Clicks, 1);

  e->GetProperties()->SetShowEllipsis(false);
  EXPECT_FALSE(buttons->GetItem(1)->GetVisible());
  EXPECT_EQ(e->GetProperties()->GetGlyphButtonIndex(), 0) << "a glyph now belongs to the drop-down button";
}
