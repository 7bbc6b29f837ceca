// The button editor: the default ellipsis button clicked by mouse and by its click key, and the
// buttons and button look a form description gives it.
#include <gtest/gtest.h>

#include <vector>

#include "components/editors-more/cxButtonEdit.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "platform/forms/Filer.h"

using namespace edmore_test;

namespace {

class TButtonClicks : public TObject {
 public:
  void Click(TObject* sender, Integer index) { Indexes.push_back(index); }
  std::vector<Integer> Indexes;
};

class ButtonEditTest : public FormTest {
 protected:
  TcxButtonEdit* AddEdit() {
    auto* e = new TcxButtonEdit(Form.get());
    e->SetParent(Form.get());
    e->SetBounds(10, 10, 120, 21);
    e->GetProperties()->SetOnButtonClick(TcxEditButtonClickEvent(&Clicks, &TButtonClicks::Click));
    return e;
  }
  // The description of the first editor on the form, from "object" to its "end".
  AnsiString Written(const char* name) {
    const AnsiString text = orv::WriteComponentToText(Form.get());
    const std::size_t at = text.find(AnsiString("object ") + name);
    return at == AnsiString::npos ? AnsiString() : text.substr(at);
  }
  TButtonClicks Clicks;
};

}  // namespace

TEST_F(ButtonEditTest, StartsWithADefaultEllipsisButtonPressedByMouseAndCtrlEnter) {
  TcxButtonEdit* e = AddEdit();
  Show();
  TcxEditButtons* buttons = e->GetProperties()->GetButtons();
  ASSERT_EQ(buttons->GetCount(), 1);
  EXPECT_EQ(buttons->GetItem(0)->GetKind(), bkEllipsis);
  EXPECT_TRUE(buttons->GetItem(0)->GetDefault());
  EXPECT_EQ(e->GetProperties()->GetClickKey(), TShortCut(16397));

  e->SetFocus();
  Run();
  orv::headless::TypeText("abc");
  orv::headless::PressKey(VK_RETURN, false, true);
  Run();
  EXPECT_EQ(Clicks.Indexes, std::vector<Integer>{0});
  EXPECT_EQ(e->GetText(), "abc") << "the click key does not reach the text";

  TcxCustomEditViewInfo* info = e->GetEditViewInfo();
  ASSERT_EQ(info->GetButtonCount(), 1);
  const TRect r = info->GetButton(0)->Bounds;
  const TPoint p = e->ClientToScreen(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  orv::headless::Click(p.X, p.Y);
  Run();
  EXPECT_EQ(Clicks.Indexes, (std::vector<Integer>{0, 0}));

  // A second button reports its own index.
  TcxEditButton* second = buttons->Add();
  second->SetKind(bkText);
  second->SetCaption("Go");
  Run();
  ASSERT_EQ(info->GetButtonCount(), 2);
  const TRect r2 = info->GetButton(1)->Bounds;
  const TPoint p2 = e->ClientToScreen(TPoint{(r2.Left + r2.Right) / 2, (r2.Top + r2.Bottom) / 2});
  orv::headless::Click(p2.X, p2.Y);
  Run();
  EXPECT_EQ(Clicks.Indexes, (std::vector<Integer>{0, 0, 1}));
}

TEST_F(ButtonEditTest, LoadedEditorHasOnlyTheButtonsOfItsDescription) {
  struct Case {
    const char* buttons;
    int count;
  };
  const Case cases[] = {
      {"  Properties.Buttons = <>\n", 0},
      {"  Properties.Buttons = <\n    item\n      Kind = bkGlyph\n    end\n    item\n      Caption = 'x'\n"
       "      Kind = bkText\n    end>\n",
       2},
  };
  for (const Case& c : cases) {
    const std::string text = std::string("object BE: TcxButtonEdit\n  Left = 1\n  Top = 1\n") + c.buttons + "end\n";
    auto* e = static_cast<TcxButtonEdit*>(orv::CreateComponentFromText(text, Form.get()));
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->GetButtonsReset());
    TcxEditButtons* buttons = e->GetProperties()->GetButtons();
    ASSERT_EQ(buttons->GetCount(), c.count) << c.buttons;
    if (c.count == 2) {
      EXPECT_EQ(buttons->GetItem(0)->GetKind(), bkGlyph);
      EXPECT_FALSE(buttons->GetItem(0)->GetDefault()) << "the constructor's default button is gone";
      EXPECT_EQ(buttons->GetItem(1)->GetCaption(), "x");
    }
    orv::Free(e);
  }
}

TEST_F(ButtonEditTest, DescriptionStoresTheButtonLookButNotThePopupBorder) {
  TcxButtonEdit* e = AddEdit();
  e->SetName("BE");
  e->GetEditStyle()->SetButtonStyle(btsFlat);
  e->GetEditStyle()->SetButtonTransparency(ebtHideInactive);
  e->GetEditStyle()->SetPopupBorderStyle(epbsSingle);
  const AnsiString written = Written("BE");
  ASSERT_FALSE(written.empty());
  EXPECT_NE(written.find("Style.ButtonStyle = btsFlat"), AnsiString::npos) << written;
  EXPECT_NE(written.find("Style.ButtonTransparency = ebtHideInactive"), AnsiString::npos) << written;
  EXPECT_EQ(written.find("PopupBorderStyle"), AnsiString::npos) << written;
  EXPECT_NE(written.find("Kind = bkEllipsis"), AnsiString::npos) << "the buttons are written: " << written;
}
