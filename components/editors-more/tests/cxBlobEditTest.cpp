#include <gtest/gtest.h>

#include <string>

#include "components/editors-more/cxBlobEdit.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/forms/Filer.h"
#include "components/editors/cxButtons.h"

namespace {

using edmore_test::FormTest;
using orv::test::Owned;

class BlobEditTest : public FormTest {
 protected:
  TcxBlobEdit* NewBlob(TcxBlobEditKind kind) {
    auto* blob = new TcxBlobEdit(Form.get());
    blob->SetParent(Form.get());
    blob->SetBounds(10, 10, 120, 21);
    blob->GetProperties()->SetBlobEditKind(kind);
    return blob;
  }
  void OpenPopup(TcxBlobEdit* blob) {
    blob->SetFocus();
    Run();
    orv::headless::PressKey(VK_DOWN, false, false, true);
    Run();
  }
  static TcxBlobEditViewInfo* ViewInfo(TcxBlobEdit* blob) {
    return static_cast<TcxBlobEditViewInfo*>(blob->GetEditViewInfo());
  }
};

}  // namespace

TEST(cxBlobEditProperties, DisplayTextsByPaintStyle) {
  Owned<TcxBlobEditProperties> p(new TcxBlobEditProperties(nullptr));
  p->SetBlobEditKind(bekMemo);
  const Variant memo(AnsiString("abc\r\ndef"));
  struct Case {
    TcxBlobPaintStyle style;
    Variant value;
    const char* text;
  } cases[] = {
      {bpsText, memo, "abc"},
      {bpsDefault, memo, "(MEMO)"},
      {bpsDefault, Null(), "(memo)"},
      {bpsIcon, memo, ""},
  };
  for (const Case& c : cases) {
    p->SetBlobPaintStyle(c.style);
    EXPECT_EQ(p->BlobDisplayText(c.value, false), c.text) << int(c.style);
  }
  EXPECT_EQ(p->BlobDisplayText(memo, true), "abc\r\ndef") << "the full text of a memo";
  p->SetBlobEditKind(bekPict);
  p->SetBlobPaintStyle(bpsDefault);
  EXPECT_EQ(p->BlobDisplayText(Null(), false), "(picture)");
  AnsiString text;
  p->EditValueToDisplayText(Variant(AnsiString("xx")), text);
  EXPECT_EQ(text, "(PICTURE)");
  EXPECT_EQ(p->GetButtons()->GetItem(0)->GetKind(), bkDown);
  p->SetBlobEditKind(bekOle);
  EXPECT_EQ(p->GetButtons()->GetItem(0)->GetKind(), bkEllipsis) << "no popup content for OLE values";
}

TEST(cxBlobEditProperties, AutomaticKindWithoutDataIsRawData) {
  Owned<TcxBlobEditProperties> p(new TcxBlobEditProperties(nullptr));
  p->AutoDetectBlobKind();
  EXPECT_EQ(p->GetBlobEditKind(), bekBlob);
}

TEST_F(BlobEditTest, StandAloneAutomaticKindIsMemoAndGlyphsFollowTheValue) {
  TcxBlobEdit* blob = NewBlob(bekAuto);
  Show();
  Run();
  blob->SetEditValueProperty(Variant(AnsiString("text")));
  Run();
  EXPECT_EQ(blob->GetProperties()->GetBlobEditKind(), bekMemo) << "a stand-alone editor's provider reports a memo";
  EXPECT_EQ(ViewInfo(blob)->KindGlyphIndex, 3);
  blob->GetProperties()->SetBlobEditKind(bekPict);
  blob->SetEditValueProperty(Variant(AnsiString("bytes")));
  Run();
  EXPECT_EQ(ViewInfo(blob)->KindGlyphIndex, 5);
  blob->SetEditValueProperty(Null());
  Run();
  EXPECT_EQ(ViewInfo(blob)->KindGlyphIndex, 4);
}

TEST_F(BlobEditTest, MemoPopupSavesOnCtrlEnterAndNotOnEscape) {
  TcxBlobEdit* blob = NewBlob(bekMemo);
  blob->SetEditValueProperty(Variant(AnsiString("first")));
  Show();
  OpenPopup(blob);
  ASSERT_TRUE(blob->HasOpenPopup());
  auto* memo = dynamic_cast<TcxPopupMemo*>(blob->GetPopupContent());
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->GetText(), "first");
  ASSERT_NE(blob->GetOKButton(), nullptr);
  EXPECT_EQ(blob->GetOKButton()->GetCaption(), "&OK");
  EXPECT_EQ(blob->GetCancelButton()->GetCaption(), "&Cancel");
  EXPECT_FALSE(blob->GetOKButton()->GetEnabled()) << "nothing changed yet";
  memo->SelectAll();
  orv::headless::TypeText("second");
  Run();
  EXPECT_TRUE(blob->GetOKButton()->GetEnabled());
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  EXPECT_FALSE(blob->HasOpenPopup());
  EXPECT_EQ(VarToStr(blob->GetEditValueProperty()), "first") << "Escape never saves";
  OpenPopup(blob);
  memo = dynamic_cast<TcxPopupMemo*>(blob->GetPopupContent());
  memo->SelectAll();
  orv::headless::TypeText("third");
  orv::headless::PressKey(VK_RETURN, false, true);
  Run();
  EXPECT_FALSE(blob->HasOpenPopup());
  EXPECT_EQ(VarToStr(blob->GetEditValueProperty()), "third") << "Ctrl+Enter closes and saves";
}

TEST_F(BlobEditTest, APictureLoadedAfterThePopupClosedBecomesTheValue) {
  TcxBlobEdit* blob = NewBlob(bekPict);
  Integer closedReason = -1;
  auto closed = [&closedReason](TObject*, Integer reason) { closedReason = reason; };
  blob->GetProperties()->SetOnPopupClosed(TcxEditClosePopupEvent::Callable(closed));
  Show();
  OpenPopup(blob);
  ASSERT_TRUE(blob->HasOpenPopup());
  auto* image = dynamic_cast<TcxPopupImage*>(blob->GetPopupContent());
  ASSERT_NE(image, nullptr);
  orv::headless::PressKey(VK_ESCAPE);
  Run();
  ASSERT_FALSE(blob->HasOpenPopup());
  EXPECT_TRUE(VarIsNull(blob->GetEditValueProperty()) || VarIsEmpty(blob->GetEditValueProperty()));
  closedReason = -1;

  // The Load dialog ends after the popup has gone (it took the focus): the picture is the value.
  const AnsiString path = AnsiString(std::string(::testing::TempDir()) + "blob-load.bmp");
  Owned<TBitmap> bitmap(new TBitmap);
  bitmap->SetSize(6, 4);
  bitmap->SaveToFile(path);
  orv::SetFileDialogHandler([path](TOpenDialog*, bool, AnsiString& name) {
    name = path;
    return true;
  });
  image->LoadPictureFromFile();
  orv::SetFileDialogHandler(nullptr);
  EXPECT_EQ(closedReason, Integer(dcrAccept));
  const AnsiString value = VarToStr(blob->GetEditValueProperty());
  EXPECT_GE(value.size(), 2u);
  EXPECT_EQ(value.substr(0, 2), "BM");

  // Cancelled, it reports so and keeps the value.
  orv::SetFileDialogHandler([](TOpenDialog*, bool, AnsiString&) { return false; });
  image->LoadPictureFromFile();
  orv::SetFileDialogHandler(nullptr);
  EXPECT_EQ(closedReason, Integer(dcrCancel));
  EXPECT_EQ(VarToStr(blob->GetEditValueProperty()), value);
}

TEST_F(BlobEditTest, ReadOnlyDataShowsOnlyClose) {
  TcxBlobEdit* blob = NewBlob(bekMemo);
  blob->GetProperties()->SetReadOnly(true);
  blob->SetEditValueProperty(Variant(AnsiString("kept")));
  Show();
  OpenPopup(blob);
  ASSERT_TRUE(blob->HasOpenPopup());
  EXPECT_EQ(blob->GetOKButton(), nullptr);
  ASSERT_NE(blob->GetCancelButton(), nullptr);
  EXPECT_EQ(blob->GetCancelButton()->GetCaption(), "&Close");
  orv::headless::TypeText("x");
  orv::headless::PressKey(VK_F4);
  Run();
  EXPECT_EQ(VarToStr(blob->GetEditValueProperty()), "kept");
}

TEST_F(BlobEditTest, OleValuesOpenNothing) {
  TcxBlobEdit* blob = NewBlob(bekOle);
  Show();
  OpenPopup(blob);
  EXPECT_FALSE(blob->HasOpenPopup());
  EXPECT_EQ(blob->GetPopupContent(), nullptr);
}

TEST_F(BlobEditTest, PropertiesRoundTripThroughAFormDescription) {
  // Written with a form of its own as the root, as a form description holds it.
  Owned<TForm> form(new TForm(nullptr));
  form->SetName("BlobForm");
  auto* blob = new TcxBlobEdit(form.get());
  blob->SetName("Blob1");
  blob->SetParent(form.get());
  const std::string plain = orv::WriteComponentToText(form.get());
  for (const char* name : {"AlwaysSaveData", "BlobPaintStyle", "ImmediatePopup", "MemoScrollBars", "MemoWantTabs",
                           "MemoWordWrap", "PictureAutoSize", "PopupHeight", "PopupWidth", "ShowPicturePopup"})
    EXPECT_EQ(plain.find(std::string("Properties.") + name), std::string::npos) << name << " is a default:\n" << plain;
  TcxBlobEditProperties* p = blob->GetProperties();
  p->SetBlobEditKind(bekPict);
  p->SetBlobPaintStyle(bpsText);
  p->SetMemoScrollBars(ssBoth);
  p->SetMemoWantTabs(false);
  p->SetPopupWidth(300);
  p->SetAlwaysSaveData(false);
  p->SetPictureTransparency(gtOpaque);
  const std::string text = orv::WriteComponentToText(form.get());
  EXPECT_NE(text.find("Properties.BlobEditKind = bekPict"), std::string::npos) << text;
  Owned<TForm> other(new TForm(nullptr));
  orv::ReadComponentFromText(other.get(), text);
  auto* copy = dynamic_cast<TcxBlobEdit*>(other->FindComponent("Blob1"));
  ASSERT_NE(copy, nullptr);
  TcxBlobEditProperties* q = copy->GetProperties();
  EXPECT_EQ(q->GetBlobEditKind(), bekPict);
  EXPECT_EQ(q->GetBlobPaintStyle(), bpsText);
  EXPECT_EQ(q->GetMemoScrollBars(), ssBoth);
  EXPECT_FALSE(q->GetMemoWantTabs());
  EXPECT_EQ(q->GetPopupWidth(), 300);
  EXPECT_FALSE(q->GetAlwaysSaveData());
  EXPECT_EQ(q->GetPictureTransparency(), gtOpaque);
}
