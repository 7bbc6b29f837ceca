// A demo form of the standard controls built in code, shown on the headless window system,
// driven by injected keyboard and mouse input and compared with its reviewed picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <unistd.h>
#include <string>

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/runtime/AnsiString.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/Headless.h"
#include "platform/windowing/User.h"

namespace {

class TDemoForm : public TForm {
  ORV_CLASS(TDemoForm, TForm)
 public:
  explicit TDemoForm(TComponent* owner) : TForm(owner) {
    SetCaption("Орване"_a);
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu});
    SetBounds(40, 30, 0, 0);
    SetClientWidth(300);
    SetClientHeight(190);
    GetFont()->SetName(orv::kTestFontFace);
    GetFont()->SetHeight(-8);
    Group = Make<TGroupBox>(8, 8, 140, 60);
    Group->SetCaption(" Координаты "_a);
    Geo = Make<TRadioButton>(8, 16, 120, 17, Group);
    Geo->SetCaption("Географические"_a);
    Geo->SetChecked(true);
    Ecl = Make<TRadioButton>(8, 36, 120, 17, Group);
    Ecl->SetCaption("Эклиптические"_a);
    CityLabel = Make<TLabel>(160, 12, 0, 0);
    CityLabel->SetCaption("&Город:"_a);
    City = Make<TEdit>(160, 28, 130, 21);
    CityLabel->SetFocusControl(City);
    Search = Make<TButton>(160, 56, 130, 25);
    Search->SetCaption("П О И С К"_a);
    Search->SetDefault(true);
    Search->SetOnClick(TNotifyEvent(this, &TDemoForm::SearchClick));
    Found = Make<TListBox>(8, 90, 282, 62);
    Exact = Make<TCheckBox>(8, 160, 140, 17);
    Exact->SetCaption("Точно"_a);
    Status = Make<TLabel>(160, 162, 0, 0);
  }
  TGroupBox* Group;
  TRadioButton* Geo;
  TRadioButton* Ecl;
  TLabel* CityLabel;
  TEdit* City;
  TButton* Search;
  TListBox* Found;
  TCheckBox* Exact;
  TLabel* Status;

 private:
  template <class T>
  T* Make(Integer x, Integer y, Integer w, Integer h, TWinControl* parent = nullptr) {
    T* c = new T(this);
    c->SetParent(parent ? parent : this);
    c->SetBounds(x, y, w ? w : c->GetWidth(), h ? h : c->GetHeight());
    return c;
  }
  void SearchClick(TObject*) {
    Found->GetItems()->Add(City->GetText() + (Ecl->GetChecked() ? " (E)" : " (G)"));
    Found->SetItemIndex(Found->GetCount() - 1);
    Status->SetCaption("Всего: "_a + IntToStr(Found->GetCount()));
  }
};

TEST(DemoFormTest, KeyboardAndMouseDriveTheFormAndItsPictureMatches) {
  orv::headless::Reset();
  Application->ResetTerminated();
  std::unique_ptr<TDemoForm, orv::FreeDeleter> form(new TDemoForm(nullptr));
  form->AfterConstruction();
  form->Show();
  Application->ProcessMessages();
  auto run = [] { Application->ProcessMessages(); };
  // The first control in tab order has the focus: the checked radio button.
  EXPECT_TRUE(form->Geo->Focused());
  // The edit: typed into, then Enter presses the default button.
  form->City->SetFocus();
  orv::headless::TypeText("Moskva");
  run();
  orv::headless::PressKey(VK_RETURN);
  run();
  EXPECT_EQ(form->Found->GetCount(), 1);
  EXPECT_EQ(form->Found->GetItems()->Get(0), "Moskva (G)");
  // A click on the second radio button and on the button.
  POINT p{20, 44};
  ClientToScreen(form->Ecl->GetParent()->GetHandle(), &p);
  orv::headless::Click(p.X, p.Y);
  run();
  EXPECT_TRUE(form->Ecl->GetChecked());
  EXPECT_FALSE(form->Geo->GetChecked());
  POINT b{10, 10};
  ClientToScreen(form->Search->GetHandle(), &b);
  orv::headless::Click(b.X, b.Y);
  run();
  EXPECT_EQ(form->Found->GetItems()->Get(1), "Moskva (E)");
  // Tab order: from the button on to the list, where Up moves the selection.
  orv::headless::PressKey(VK_TAB);
  run();
  EXPECT_TRUE(form->Found->Focused());
  orv::headless::PressKey(VK_UP);
  run();
  EXPECT_EQ(form->Found->GetItemIndex(), 0);
  orv::headless::PressKey(VK_TAB);
  orv::headless::PressKey(VK_SPACE);
  run();
  EXPECT_TRUE(form->Exact->GetChecked());
  EXPECT_EQ(form->Status->GetCaption(), "Всего: 2"_a);

  const std::string png = (std::filesystem::temp_directory_path() / ("orv-demo-form-" + std::to_string(::getpid()) + ".png")).string();
  EXPECT_TRUE(orv::headless::SaveWindowPng(form->GetHandle(), png));
  const orv::TSurface picture = orv::headless::CaptureWindow(form->GetHandle());
  EXPECT_TRUE(orv::MatchGoldenImage(picture, ORV_SOURCE_DIR "/platform/controls/tests/golden/demo_form.png"));
  form.reset();
  orv::headless::Reset();
}

}  // namespace
