// The label: caption and edit value kept as one text, auto-size from the measured caption, the
// layout of separator lines, effects and styles, focus rules, and golden images of the main
// window's sign labels.
#include <gtest/gtest.h>

#include "components/editors-more/cxLabel.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/StdCtrls.h"
#include "platform/drawing/Gdi.h"

using namespace edmore_test;

namespace {

class TLabelEvents : public TObject {
 public:
  void Change(TObject*) { ++Changes; }
  void Click(TObject* sender) {
    ++Clicks;
    auto* label = static_cast<TcxLabel*>(sender);
    // As the main window's direction letters do: the letter and its colour flip.
    const bool north = label->GetCaption() == "N";
    label->SetCaption(north ? "S" : "N");
    label->GetStyle()->SetTextColor(north ? clBlue : clRed);
  }
  int Changes = 0;
  int Clicks = 0;
};

// The main window's hemisphere toggles: east/west and north/south, blue for the first letter and
// red for the other; any other caption becomes the first letter.
class TSignToggle : public TObject {
 public:
  TSignToggle(AnsiString first, AnsiString second) : First(std::move(first)), Second(std::move(second)) {}
  void Click(TObject* sender) {
    auto* label = static_cast<TcxLabel*>(sender);
    const bool toFirst = label->GetCaption() != First;
    label->SetCaption(toFirst ? First : Second);
    label->GetStyle()->SetTextColor(toFirst ? TColor(0x00FF0000) : TColor(0x000000FF));
  }
  AnsiString First, Second;
};

class LabelTest : public FormTest {
 protected:
  TcxLabel* Add(const AnsiString& caption, Integer x = 10, Integer y = 10) {
    auto* l = new TcxLabel(Form.get());
    l->SetParent(Form.get());
    l->SetLeft(x);
    l->SetTop(y);
    l->GetStyle()->GetFont()->SetName(orv::kTestFontFace);
    l->GetStyle()->GetFont()->SetHeight(-8);
    l->SetCaption(caption);
    return l;
  }
  TLabelEvents Events;
};

}  // namespace

TEST_F(LabelTest, CaptionAndEditValueHoldOneTextWithoutLooping) {
  TcxLabel* l = Add("Lat");
  l->GetProperties()->SetOnEditValueChanged(TNotifyEvent(&Events, &TLabelEvents::Change));
  l->SetCaption("Lon");
  EXPECT_EQ(VarToStr(l->GetEditValueProperty()), "Lon");
  EXPECT_EQ(Events.Changes, 1);
  l->SetEditValueProperty(Variant(12));
  EXPECT_EQ(l->GetCaption(), "12");
  EXPECT_EQ(Events.Changes, 2);
  l->SetEditValueProperty(Null());
  EXPECT_EQ(l->GetCaption(), "");
}

TEST_F(LabelTest, AutoSizeFollowsTheMeasuredCaption) {
  TcxLabel* l = Add("ABCD");
  Show();
  // The test font: 10-pixel cells, every character 5 wide; no border, but the editors'
  // 2-pixel transparent border around the text.
  EXPECT_EQ(l->GetWidth(), 24);
  EXPECT_EQ(l->GetHeight(), 14);
  l->SetCaption("");
  Run();
  EXPECT_EQ(l->GetWidth(), 9) << "an empty caption is measured as one space";
  l->SetCaption("AB");
  l->GetProperties()->SetLabelStyle(cxlsRaised);
  Run();
  EXPECT_EQ(l->GetWidth(), 15) << "a raised 8-point caption grows by its style shift of 1";
  l->GetProperties()->SetLabelStyle(cxlsNormal);
  l->GetProperties()->SetLabelEffect(cxleCool);
  l->GetProperties()->SetDepth(3);
  Run();
  EXPECT_EQ(l->GetWidth(), 17);
  EXPECT_EQ(l->GetHeight(), 17);
}

TEST_F(LabelTest, LinesAndAutoSizeExcludeEachOther) {
  TcxLabel* l = Add("AB");
  Show();
  l->GetProperties()->GetLineOptions()->SetVisible(true);
  EXPECT_FALSE(l->GetAutoSize());
  l->SetBounds(10, 10, 100, 20);
  Run();
  auto* info = static_cast<TcxCustomLabelViewInfo*>(l->GetEditViewInfo());
  // A centred band of the painter's 2-pixel height beside the left-aligned text.
  EXPECT_EQ(info->LabelTextBounds, (TRect{2, 2, 12, 12}));
  EXPECT_EQ(info->SeparatorRect, (TRect{15, 9, 98, 11}));
  l->GetProperties()->GetLineOptions()->SetAlignment(cxllaTop);
  Run();
  EXPECT_EQ(info->SeparatorRect, (TRect{2, 2, 98, 4}));
  EXPECT_EQ(info->LabelTextBounds, (TRect{2, 4, 12, 14})) << "the text moves below the line";
  l->GetProperties()->SetAngle(45);
  Run();
  EXPECT_TRUE(orv::IsEmptyRect(info->SeparatorRect)) << "lines only at 0 and 90 degrees";
  l->SetAutoSize(true);
  EXPECT_FALSE(l->GetProperties()->GetLineOptions()->GetVisible());
}

TEST_F(LabelTest, ExtrusionExtentByOrientation) {
  std::unique_ptr<TcxLabelProperties, orv::FreeDeleter> p(new TcxLabelProperties(nullptr));
  p->SetDepth(4);
  EXPECT_EQ(p->CalculateExtrusionExtent(), (TSize{0, 0}));
  p->SetLabelEffect(cxleExtrude);
  const std::pair<TcxLabelOrientation, TSize> cases[] = {
      {cxoLeft, {4, 0}}, {cxoRight, {4, 0}}, {cxoTop, {0, 4}}, {cxoBottom, {0, 4}}, {cxoRightBottom, {4, 4}}};
  for (const auto& [orientation, size] : cases) {
    p->SetOrientation(orientation);
    EXPECT_EQ(p->CalculateExtrusionExtent(), size) << orientation;
  }
}

TEST_F(LabelTest, NeverTakesTheFocusButHandsItToItsFocusControl) {
  auto* edit = new TEdit(Form.get());
  edit->SetParent(Form.get());
  edit->SetBounds(100, 10, 80, 20);
  TcxLabel* l = Add("&Town");
  l->SetFocusControl(l);
  EXPECT_EQ(l->GetFocusControl(), nullptr) << "a label cannot focus itself";
  l->SetFocusControl(edit);
  Show();
  EXPECT_FALSE(l->CanFocus());
  orv::headless::PressKey('T', false, false, true);
  Run();
  EXPECT_TRUE(edit->Focused());
  edit->Free();
  EXPECT_EQ(l->GetFocusControl(), nullptr);
}

TEST_F(LabelTest, SignLabelsAreClickedAndRecoloured) {
  // The main window's direction letters: bold, coloured, a click flips letter and colour.
  TcxLabel* l = Add("N", 20, 20);
  l->GetStyle()->GetFont()->SetStyle(TFontStyles{fsBold});
  l->GetStyle()->SetTextColor(clRed);
  l->SetOnClick(TNotifyEvent(&Events, &TLabelEvents::Click));
  Show();
  EXPECT_GT(CountColor(l, RGB(255, 0, 0)), 20);
  const TPoint p = l->ClientToScreen(TPoint{2, 2});
  orv::headless::MouseMove(p.X, p.Y);
  orv::headless::MouseDown();
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(Events.Clicks, 1);
  EXPECT_EQ(l->GetCaption(), "S");
  EXPECT_EQ(CountColor(l, RGB(255, 0, 0)), 0);
  EXPECT_GT(CountColor(l, RGB(0, 0, 255)), 20);
}

TEST_F(LabelTest, GoldenImagesOfEffectsStylesAndLines) {
  Form->SetBounds(100, 100, 240, 110);
  auto big = [&](const AnsiString& caption, Integer x, Integer y) {
    TcxLabel* l = Add(caption, x, y);
    l->GetStyle()->GetFont()->SetName("Arial");
    l->GetStyle()->GetFont()->SetHeight(-20);
    return l;
  };
  TcxLabel* sign = big("±"_a, 4, 4);
  sign->GetStyle()->GetFont()->SetStyle(TFontStyles{fsBold});
  sign->GetStyle()->SetTextColor(clMaroon);
  TcxLabel* cool = big("Cool", 30, 4);
  cool->GetProperties()->SetLabelEffect(cxleCool);
  cool->GetProperties()->SetDepth(3);
  TcxLabel* fun = big("Fun", 100, 4);
  fun->GetProperties()->SetLabelEffect(cxleFun);
  fun->GetProperties()->SetDepth(4);
  fun->GetProperties()->SetShadowedColor(clNavy);
  fun->GetProperties()->SetOrientation(cxoLeftTop);
  TcxLabel* raised = big("Up", 160, 4);
  raised->GetProperties()->SetLabelStyle(cxlsRaised);
  TcxLabel* lined = Add("Line", 40, 40);
  lined->GetProperties()->GetLineOptions()->SetVisible(true);
  lined->GetProperties()->GetAlignment()->SetHorz(taCenter);
  lined->SetBounds(40, 40, 190, 16);
  TcxLabel* turned = big("Up", 4, 36);
  turned->GetProperties()->SetAngle(90);
  Show();
  EXPECT_LT(turned->GetWidth(), turned->GetHeight()) << "turned text stands upright";
  ExpectGolden(Form.get(), "label-effects");
}

TEST_F(LabelTest, MainWindowSignLabelsToggleLetterAndColour) {
  Form->SetBounds(100, 100, 70, 30);
  TSignToggle eastWest("В"_a, "З"_a), northSouth("С"_a, "Ю"_a);
  TcxLabel* lon = Add("В"_a, 4, 4);
  TcxLabel* lat = Add("C", 36, 4);  // the form description holds a Latin C, replaced at first show
  for (TcxLabel* l : {lon, lat}) {
    l->SetAutoSize(false);
    l->SetBounds(l->GetLeft(), 4, 27, 21);
    l->GetStyle()->GetLookAndFeel()->SetKind(lfOffice11);
    l->GetStyle()->GetFont()->SetName("Arial");
    l->GetStyle()->GetFont()->SetHeight(-13);
    l->GetStyle()->GetFont()->SetStyle(TFontStyles{fsBold});
    l->GetStyle()->SetTextColor(TColor(0x00FF0000));
  }
  lon->SetOnClick(TNotifyEvent(&eastWest, &TSignToggle::Click));
  lat->SetOnClick(TNotifyEvent(&northSouth, &TSignToggle::Click));
  lat->SetCaption("С"_a);
  Show();
  EXPECT_EQ(lon->GetWidth(), 27) << "not auto-sized";
  auto click = [](TcxLabel* l) {
    const TPoint p = l->ClientToScreen(TPoint{13, 10});
    orv::headless::Click(p.X, p.Y);
    Run();
    orv::headless::AdvanceTime(1000);  // two clicks, not a double click
  };
  click(lon);
  EXPECT_EQ(lon->GetCaption(), "З"_a);
  EXPECT_EQ(CountColor(lon, RGB(0, 0, 255)), 0);
  EXPECT_GT(CountColor(lon, RGB(255, 0, 0)), 0);
  click(lat);
  click(lat);
  EXPECT_EQ(lat->GetCaption(), "С"_a) << "twice returns to north";
  EXPECT_GT(CountColor(lat, RGB(0, 0, 255)), 0);
  lat->SetCaption("x");
  click(lat);
  EXPECT_EQ(lat->GetCaption(), "С"_a) << "any other caption becomes north";
  ExpectGolden(Form.get(), "label-signs-office11");
}
