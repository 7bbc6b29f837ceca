// File dialogs (answered by the test hook and driven through their own form), message dialogs
// and the clipboard object.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "platform/controls/Clipbrd.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/runtime/AnsiString.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

using orv::test::Owned;

// The open dialog form, found by its file list.
TForm* DialogForm() {
  for (Integer i = 0; i < Screen->GetCustomFormCount(); ++i)
    if (Screen->GetCustomForm(i)->FindComponent("FileList") || Screen->GetCustomForm(i)->FindComponent("Message"))
      return dynamic_cast<TForm*>(Screen->GetCustomForm(i));
  return nullptr;
}

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orv::test::ResetHeadlessDesktop();
    Dir = std::filesystem::temp_directory_path() / ("orv-controls-dialog-" + std::to_string(::getpid()));
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir / "sub");
    std::ofstream(Dir / "a.txt") << "a";
    std::ofstream(Dir / "b.dat") << "b";
  }
  void TearDown() override {
    orv::SetFileDialogHandler(nullptr);
    orv::SetMessageBoxHandler(nullptr);
    orv::headless::SetIdleHandler(nullptr);
    std::filesystem::remove_all(Dir);
    orv::headless::Reset();
  }
  AnsiString DirName() const { return orv::Utf8ToAnsi(Dir.string()) + "/"; }
  std::filesystem::path Dir;
};

TEST_F(DialogsTest, TheTestHookAnswersWithoutShowing) {
  Owned<TSaveDialog> dialog(new TSaveDialog(nullptr));
  dialog->SetFileName("Орване.txt"_a);
  bool sawSave = false;
  orv::SetFileDialogHandler([&](TOpenDialog* d, bool save, AnsiString& name) {
    sawSave = save;
    EXPECT_EQ(name, "Орване.txt"_a);
    name = "/tmp/out.txt";
    return true;
  });
  EXPECT_TRUE(dialog->Execute());
  EXPECT_TRUE(sawSave);
  EXPECT_EQ(dialog->GetFileName(), "/tmp/out.txt");
  EXPECT_EQ(dialog->GetFiles()->GetCount(), 1);
  orv::SetFileDialogHandler([](TOpenDialog*, bool, AnsiString&) { return false; });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->GetFileName(), "/tmp/out.txt");
}

TEST_F(DialogsTest, SaveDialogListsTheFolderAndAsksBeforeOverwriting) {
  Owned<TSaveDialog> dialog(new TSaveDialog(nullptr));
  dialog->SetFilter("Текстровый файл (*.txt)|*.txt|Все файлы (*.*)|*.*"_a);
  dialog->SetInitialDir(DirName());
  dialog->SetDefaultExt("txt");
  dialog->SetOptions({ofOverwritePrompt, ofHideReadOnly, ofEnableSizing});
  std::vector<AnsiString> prompts;
  int answer = IDNO;
  orv::SetMessageBoxHandler([&](HWND, const AnsiString& text, const AnsiString&, UINT) {
    prompts.push_back(text);
    return answer;
  });
  std::vector<AnsiString> listed;
  int step = 0;
  orv::headless::SetIdleHandler([&] {
    TForm* form = DialogForm();
    if (!form) return false;
    auto* list = static_cast<TListBox*>(form->FindComponent("FileList"));
    auto* edit = static_cast<TEdit*>(form->FindComponent("FileNameEdit"));
    switch (step++) {
      case 0:
        for (Integer i = 0; i < list->GetCount(); ++i) listed.push_back(list->GetItems()->Get(i));
        edit->SetText("a");
        orv::headless::PressKey(VK_RETURN);  // a.txt exists: the prompt says no
        return true;
      case 1:
        answer = IDYES;
        orv::headless::PressKey(VK_RETURN);
        return true;
      default: return false;
    }
  });
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->GetFileName(), DirName() + "a.txt");
  const std::vector<AnsiString> expected = {"[..]", "[sub]", "a.txt"};
  EXPECT_EQ(listed, expected);
  ASSERT_EQ(prompts.size(), 2u);
  EXPECT_NE(prompts[0].find("a.txt"), AnsiString::npos);
  // Escape cancels.
  step = 0;
  orv::headless::SetIdleHandler([&] {
    if (step++ > 0 || !DialogForm()) return false;
    orv::headless::PressKey(VK_ESCAPE);
    return true;
  });
  EXPECT_FALSE(dialog->Execute());
}

TEST_F(DialogsTest, OpenDialogInsistsOnAnExistingFile) {
  Owned<TOpenDialog> dialog(new TOpenDialog(nullptr));
  dialog->SetInitialDir(DirName());
  dialog->SetOptions({ofFileMustExist});
  int boxes = 0;
  orv::SetMessageBoxHandler([&](HWND, const AnsiString&, const AnsiString&, UINT) {
    ++boxes;
    return IDOK;
  });
  int step = 0;
  orv::headless::SetIdleHandler([&] {
    TForm* form = DialogForm();
    if (!form) return false;
    auto* edit = static_cast<TEdit*>(form->FindComponent("FileNameEdit"));
    auto* list = static_cast<TListBox*>(form->FindComponent("FileList"));
    switch (step++) {
      case 0:
        edit->SetText("missing.txt");
        orv::headless::PressKey(VK_RETURN);
        return true;
      case 1: {
        // Into the folder and back out by double clicks.
        list->SetItemIndex(list->GetItems()->IndexOf("[sub]"));
        list->GetOnDblClick()(list);
        EXPECT_EQ(list->GetItems()->Get(0), "[..]");
        EXPECT_EQ(list->GetCount(), 1);
        list->SetItemIndex(0);
        list->GetOnDblClick()(list);
        edit->SetText("b.dat");
        orv::headless::PressKey(VK_RETURN);
        return true;
      }
      default: return false;
    }
  });
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(dialog->GetFileName(), DirName() + "b.dat");
}

TEST_F(DialogsTest, MessageDialogButtonsAnswerTheirResults) {
  struct Case {
    TMsgDlgButtons Buttons;
    int Key;
    Integer Result;
  };
  const Case cases[] = {
      {{mbYes, mbNo}, VK_RETURN, mrYes},
      {{mbYes, mbNo}, VK_ESCAPE, mrNo},
      {{mbOK, mbCancel}, VK_ESCAPE, mrCancel},
      {{mbAbort, mbRetry, mbIgnore}, VK_TAB, mrRetry},  // Tab to the second button, then Enter
  };
  for (const Case& c : cases) {
    int step = 0;
    AnsiString caption;
    orv::headless::SetIdleHandler([&] {
      if (step++ > 0) return false;
      if (TForm* form = DialogForm()) caption = form->GetCaption();
      orv::headless::PressKey(c.Key);
      if (c.Key == VK_TAB) orv::headless::PressKey(VK_RETURN);
      return true;
    });
    EXPECT_EQ(MessageDlg("Заменить файл?"_a, mtConfirmation, c.Buttons), c.Result);
    EXPECT_EQ(caption, "Подтверждение"_a);
  }
  Owned<TForm> form(CreateMessageDialog("Ошибка при работе программы"_a, mtError, {mbOK}));
  auto* ok = dynamic_cast<TButton*>(form->FindComponent("OK"));
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->GetDefault());
  EXPECT_EQ(form->GetCaption(), "Ошибка"_a);
  EXPECT_NE(form->FindComponent("Image"), nullptr);
}

TEST_F(DialogsTest, ClipboardTextReachesTheDesktop) {
  Clipboard()->SetAsText("Всего найдено записей: 5"_a);
  EXPECT_EQ(orv::headless::DesktopClipboard(), "Всего найдено записей: 5");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_EQ(Clipboard()->GetAsText(), "Всего найдено записей: 5"_a);
  orv::headless::SetDesktopClipboard("Москва");
  EXPECT_EQ(Clipboard()->GetAsText(), "Москва"_a);
  Clipboard()->Open();
  Clipboard()->Open();
  Clipboard()->Close();
  Clipboard()->Clear();
  Clipboard()->Close();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
}

TEST_F(DialogsTest, PicturesTravelThroughTheClipboardAsBitmaps) {
  Owned<TPicture> picture(new TPicture);
  TBitmap* bitmap = picture->GetBitmap();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(3, 2);
  bitmap->GetCanvas()->SetPixels(2, 1, clRed);
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
  Clipboard()->Assign(picture.get());
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_DIB));
  Owned<TPicture> pasted(new TPicture);
  pasted->Assign(Clipboard());
  ASSERT_NE(dynamic_cast<TBitmap*>(pasted->GetGraphic()), nullptr);
  EXPECT_EQ(pasted->GetWidth(), 3);
  EXPECT_EQ(pasted->GetBitmap()->GetCanvas()->GetPixels(2, 1), clRed);
  EXPECT_EQ(pasted->GetBitmap()->GetCanvas()->GetPixels(0, 0), clWhite);
  // Any graphic goes as a bitmap; text replaces it.
  Owned<TIcon> icon(new TIcon);
  icon->GetImage()->SetSize(4, 4);
  Clipboard()->Assign(icon.get());
  Owned<TBitmap> fromIcon(new TBitmap);
  fromIcon->Assign(Clipboard());
  EXPECT_EQ(fromIcon->GetWidth(), 4);
  Clipboard()->SetAsText("text");
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_THROW(pasted->Assign(Clipboard()), EInvalidGraphic);
}

TEST(FileMaskTest, Wildcards) {
  EXPECT_TRUE(orv::MatchesFileMask("report.TXT", "*.txt"));
  EXPECT_TRUE(orv::MatchesFileMask("data1.bin", "data?.*"));
  EXPECT_FALSE(orv::MatchesFileMask("data12.bin", "data?.*"));
  EXPECT_TRUE(orv::MatchesFileMask("noext", "*.*"));
  EXPECT_FALSE(orv::MatchesFileMask("a.txt.bak", "*.txt"));
}

}  // namespace
