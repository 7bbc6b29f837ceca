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
      {"E", {"E", "B", "A"}},
  };
  for (const Step& s : steps) {
    e->SetSelection(0, 100);
    orv::headless::TypeText(s.typed);
    orv::headless::PressKey(VK_RETURN);
    Run();
    EXPECT_EQ(Items(e), s.items) << s.typed;
    EXPECT_EQ(e->GetText(), AnsiString(s.typed)) << "the confirmed text stays in the editor";
  }
  EXPECT_EQ(Events.DeletedIndexes, std::vector<Integer>{3}) << "E pushed C out at index 3";
  e->AddText("D");
  EXPECT_EQ(Items(e), (std::vector<AnsiString>{"D", "E", "B"}));
  EXPECT_EQ(e->GetText(), AnsiString("E")) << "adding an item leaves the editor's text alone";

  e->GetProperties()->SetMaxItemCount(1);
  EXPECT_EQ(Items(e), std::vector<AnsiString>{"D"});
  EXPECT_EQ(Events.DeletedIndexes, (std::vector<Integer>{3, 3, 2, 1}));
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

TEST_F(MRUEditTest, EnterAfterTypingANewTextWithTheListOpenKeepsTheTypedText) {
  // The list drops down as the user types and follows the text; a text no item starts with must
  // leave no current item behind, or Enter takes the old row back into the editor.
  TcxMRUEdit* e = AddEdit({"A", "B", "C"});
  ASSERT_TRUE(e->GetProperties()->GetImmediateDropDown());
  Show();
  e->SetFocus();
  Run();
  struct Step {
    const char* typed;
    const char* text;
    std::vector<AnsiString> items;
  };
  const Step steps[] = {
      {"B", "B", {"B", "A", "C"}},
      {"D", "D", {"D", "B", "A", "C"}},
      {"a", "A", {"A", "D", "B", "C"}},
  };
  for (const Step& s : steps) {
    e->SetSelection(0, 100);
    orv::headless::TypeText(s.typed);
    Run();
    orv::headless::PressKey(VK_RETURN);
    Run();
    EXPECT_EQ(e->GetText(), AnsiString(s.text)) << s.typed;
    Variant value;
    e->GetEditValue(value);
    EXPECT_EQ(VarToStr(value), AnsiString(s.text)) << s.typed;
    EXPECT_EQ(Items(e), s.items) << s.typed;
    EXPECT_FALSE(e->HasOpenPopup()) << s.typed;
  }
}
