#include <gtest/gtest.h>

#include "components/data/cxVariants.h"
#include "components/editors-more/cxImageComboBox.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/UserControls.h"
#include "platform/runtime/Streams.h"

#include <vector>

namespace {

using edmore_test::FormTest;
using orv::test::Owned;

// An image list of `count` plain 16 x 16 images.
TImageList* NewImages(TComponent* owner, Integer count) {
  auto* images = new TImageList(owner);
  images->SetSize(16, 16);
  for (Integer i = 0; i < count; ++i) {
    Owned<TBitmap> b(new TBitmap);
    b->SetSize(16, 16);
    b->GetCanvas()->GetBrush()->SetColor(TColor(0x101010 * (i + 1)));
    b->GetCanvas()->FillRect(TRect{0, 0, 16, 16});
    images->Add(b.get(), nullptr);
  }
  return images;
}

void AddItem(TcxCustomImageComboBoxProperties* p, const Variant& value, const AnsiString& description) {
  TcxImageComboBoxItem* item = p->GetItems()->Add();
  item->SetValue(value);
  item->SetDescription(description);
}

class ImageComboBoxTest : public FormTest {};

}  // namespace

TEST(cxImageComboBoxProperties, ValuesShowTheirItemsDescriptions) {
  Owned<TcxImageComboBoxProperties> p(new TcxImageComboBoxProperties(nullptr));
  AddItem(p.get(), Variant(1), "Один"_a);
  AddItem(p.get(), Variant(2), "Два"_a);
  AddItem(p.get(), Variant(2), "Второй"_a);
  p->SetDefaultDescription("?");
  p->SetDefaultImageIndex(7);
  AnsiString text;
  p->EditValueToDisplayText(Variant(2), text);
  EXPECT_EQ(text, "Два"_a) << "of two items with equal values the first is found";
  p->EditValueToDisplayText(Variant(5), text);
  EXPECT_EQ(text, "?");
  Integer image = 0;
  p->GetItemDescriptionAndImage(p->FindItemByValue(Variant(5)), text, false, image);
  EXPECT_EQ(image, 7);
  p->SetShowDescriptions(false);
  p->GetItemDescriptionAndImage(p->FindItemByValue(Variant(1)), text, false, image);
  EXPECT_EQ(text, "");
  Variant display;
  p->EditValueToDisplayValue(Variant(1), display, false);
  EXPECT_EQ(VarToStr(display), "Один"_a) << "the display value keeps the description";
  EXPECT_FALSE(p->IsLookupText("два"_a)) << "without descriptions no text is an item's";
  p->SetShowDescriptions(true);
  EXPECT_TRUE(p->IsLookupText("два"_a));
  EXPECT_FALSE(p->IsLookupText("три"_a));
}

TEST(cxImageComboBoxProperties, NewItemsTakeTheirPositionsImage) {
  Owned<TComponent> root(new TComponent(nullptr));
  Owned<TcxImageComboBoxProperties> p(new TcxImageComboBoxProperties(nullptr));
  p->SetImages(NewImages(root.get(), 3));
  for (Integer i = 0; i < 3; ++i) AddItem(p.get(), Variant(i), "x");
  EXPECT_EQ(p->GetItems()->GetItem(2)->GetImageIndex(), 2);
  AddItem(p.get(), Variant(3), "x");
  EXPECT_EQ(p->GetItems()->GetItem(3)->GetImageIndex(), -1) << "three images for four items";
  p->SetImages(NewImages(root.get(), 5));
  AddItem(p.get(), Variant(4), "x");
  EXPECT_EQ(p->GetItems()->GetItem(4)->GetImageIndex(), 4);
  TCustomImageList* images = p->GetImages();
  images->Free();
  EXPECT_EQ(p->GetImages(), nullptr) << "a freed image list is forgotten";
}

TEST_F(ImageComboBoxTest, ChoosingAnItemTakesItsValue) {
  auto* combo = new TcxImageComboBox(Form.get());
  combo->SetParent(Form.get());
  combo->SetBounds(10, 10, 150, 21);
  TcxImageComboBoxProperties* p = combo->GetProperties();
  AddItem(p, Variant("ru"), "Россия"_a);
  AddItem(p, Variant("fr"), "Франция"_a);
  AddItem(p, Variant("de"), "Германия"_a);
  Show();
  combo->SetEditValueProperty(Variant("fr"));
  Run();
  EXPECT_EQ(combo->GetText(), "Франция"_a);
  EXPECT_EQ(combo->GetItemIndex(), 1);
  combo->SetFocus();
  Run();
  orv::headless::PressKey(VK_DOWN);
  Run();
  EXPECT_EQ(VarToStr(combo->GetEditValueProperty()), "de") << "Down moves to the next item's value";
  EXPECT_EQ(combo->GetText(), "Германия"_a);
  combo->SetEditValueProperty(Variant("xx"));
  Run();
  EXPECT_EQ(combo->GetItemIndex(), -1);
}

TEST_F(ImageComboBoxTest, TypingADescriptionFindsItsItem) {
  auto* combo = new TcxImageComboBox(Form.get());
  combo->SetParent(Form.get());
  combo->SetBounds(10, 10, 150, 21);
  TcxImageComboBoxProperties* p = combo->GetProperties();
  AddItem(p, Variant("ru"), "Россия"_a);
  AddItem(p, Variant("fr"), "Франция"_a);
  AddItem(p, Variant("fi"), "Финляндия"_a);
  Show();
  combo->SetFocus();
  Run();
  // Typing searches the descriptions; the item found gives the value.
  orv::headless::TypeUtf8("Фи");
  Run();
  EXPECT_EQ(combo->GetText(), "Финляндия"_a);
  EXPECT_EQ(combo->GetItemIndex(), 2);
  orv::headless::PressKey(VK_RETURN);
  Run();
  EXPECT_EQ(VarToStr(combo->GetEditValueProperty()), "fi");
  // A text that no description starts with changes nothing.
  orv::headless::TypeUtf8("Я");
  Run();
  EXPECT_EQ(combo->GetText(), "Финляндия"_a);
  // The properties find items by description ignoring case, and not without descriptions.
  EXPECT_EQ(p->FindItemByDescription("франция"_a), p->GetItems()->GetItem(1));
  EXPECT_TRUE(p->IsLookupText("РОССИЯ"_a));
  p->SetShowDescriptions(false);
  EXPECT_EQ(p->FindItemByDescription("Франция"_a), nullptr);
}

TEST_F(ImageComboBoxTest, MultiLineDescriptionsMeasureTheirRowsInTheListWidth) {
  auto* combo = new TcxImageComboBox(Form.get());
  combo->SetParent(Form.get());
  combo->SetBounds(10, 10, 120, 21);
  TcxImageComboBoxProperties* p = combo->GetProperties();
  AddItem(p, Variant(1), "Short"_a);
  AddItem(p, Variant(2), "A rather long description that wraps over several lines"_a);
  AddItem(p, Variant(3), "Short too"_a);
  Show();
  auto rowHeights = [&] {
    combo->SetFocus();
    Run();
    combo->DropDown();
    Run();
    auto* list = dynamic_cast<TcxImageComboBoxListBox*>(combo->GetLookupData()->GetListControl());
    std::vector<Integer> heights;
    if (list)
      for (Integer i = 0; i < 3; ++i) heights.push_back(Integer(SendMessage(list->GetHandle(), LB_GETITEMHEIGHT, WPARAM(i), 0)));
    combo->CloseUp(dcrCancel);
    Run();
    return heights;
  };
  const std::vector<Integer> single = rowHeights();
  ASSERT_EQ(single.size(), 3u);
  EXPECT_EQ(single[0], single[1]) << "one line per item";
  p->SetMultiLineText(true);
  const std::vector<Integer> multi = rowHeights();
  ASSERT_EQ(multi.size(), 3u);
  EXPECT_EQ(multi[0], multi[2]);
  EXPECT_GE(multi[1], 3 * (multi[0] - 2)) << "the long description wraps in the popup's width";
  // The popup keeps the editor's width instead of growing to the longest description.
  combo->DropDown();
  Run();
  EXPECT_LE(combo->GetPopupWindow()->GetWidth(), combo->GetWidth() + 2);
  combo->CloseUp(dcrCancel);
  Run();
}

// An item's value is found by what it is, whatever integer width holds it: a filter value read
// back from a stream is the narrowest integer that holds it, a field's value may be 64-bit.
TEST(cxImageComboBoxProperties, IntegerValuesOfAnyWidthFindTheirItem) {
  Owned<TcxImageComboBoxProperties> p(new TcxImageComboBoxProperties(nullptr));
  AddItem(p.get(), Variant(7), "seven");
  AddItem(p.get(), Variant(Int64(300)), "three hundred");
  AddItem(p.get(), Variant(AnsiString("x")), "text");
  p->SetDefaultDescription("?");
  TMemoryStream stream;
  SaveVariant(&stream, Variant(7));
  SaveVariant(&stream, Variant(300));
  stream.SetPosition(0);
  const Variant loaded7 = LoadVariant(&stream);
  const Variant loaded300 = LoadVariant(&stream);
  ASSERT_EQ(VarType(loaded7), varShortInt) << "the stream keeps its narrow integers";
  const struct {
    Variant Value;
    const char* Text;
  } kCases[] = {
      {loaded7, "seven"},
      {Variant(static_cast<signed char>(7)), "seven"},
      {Variant(Int64(7)), "seven"},
      {Variant(7.0), "seven"},
      {loaded300, "three hundred"},
      {Variant(300), "three hundred"},
      {Variant(8), "?"},
      {Null(), "?"},
      {Variant(AnsiString("x")), "text"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Text);
    AnsiString text;
    p->EditValueToDisplayText(c.Value, text);
    EXPECT_EQ(text, AnsiString(c.Text));
  }
  EXPECT_EQ(p->IndexOfValue(loaded7), 0);
}
