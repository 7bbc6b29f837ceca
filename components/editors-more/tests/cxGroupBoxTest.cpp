// The group box and the look-and-feel radio button: caption placement on every side, border and
// content extents, frames per border style, panel settings, and the main window's coordinate
// box with its two radio buttons driven by mouse and keys, with golden images.
#include <gtest/gtest.h>

#include "components/editors-more/cxGroupBox.h"
#include "components/editors-more/cxRadioGroup.h"
#include "components/editors-more/tests/EditorsMoreFixture.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/StdCtrls.h"

using namespace edmore_test;

namespace {

class TGroupClickLog : public TObject {
 public:
  void Click(TObject* sender) { Senders.push_back(sender); }
  std::vector<TObject*> Senders;
};

class GroupBoxTest : public FormTest {
 protected:
  TcxGroupBox* AddBox(const AnsiString& caption, Integer x, Integer y, Integer w, Integer h,
                      TWinControl* parent = nullptr) {
    auto* box = new TcxGroupBox(Form.get());
    box->SetParent(parent ? parent : Form.get());
    box->SetBounds(x, y, w, h);
    box->GetStyle()->GetFont()->SetName(orv::kTestFontFace);
    box->GetStyle()->GetFont()->SetHeight(-8);
    box->SetCaption(caption);
    return box;
  }
  TcxRadioButton* AddRadio(TWinControl* parent, const AnsiString& caption, Integer x, Integer y) {
    auto* r = new TcxRadioButton(Form.get());
    r->SetParent(parent);
    r->SetBounds(x, y, 120, 17);
    r->SetCaption(caption);
    r->GetLookAndFeel()->SetKind(lfOffice11);
    r->GetLookAndFeel()->SetNativeStyle(true);
    r->SetTransparent(true);
    r->SetOnClick(TNotifyEvent(&Log, &TGroupClickLog::Click));
    return r;
  }
  static void ClickAt(TControl* c, Integer x, Integer y) {
    const TPoint p = c->ClientToScreen(TPoint{x, y});
    orv::headless::MouseMove(p.X, p.Y);
    orv::headless::MouseDown();
    orv::headless::MouseUp();
    Run();
  }
  TGroupClickLog Log;
};

}  // namespace

TEST_F(GroupBoxTest, CaptionPlacementOnEverySide) {
  // The test font: "Town" is 20 x 10.
  struct Case {
    TcxCaptionAlignment alignment;
    TRect caption;
  };
  const Case cases[] = {
      {alTopLeft, {8, 0, 28, 10}},       {alTopCenter, {40, 0, 60, 10}},    {alTopRight, {72, 0, 92, 10}},
      {alBottomLeft, {8, 70, 28, 80}},   {alBottomRight, {72, 70, 92, 80}}, {alCenterCenter, {40, 35, 60, 45}},
      {alLeftTop, {0, 8, 10, 29}},       {alLeftCenter, {0, 29, 10, 50}},   {alLeftBottom, {0, 51, 10, 72}},
      {alRightTop, {90, 8, 100, 28}},    {alRightCenter, {90, 30, 100, 50}}, {alRightBottom, {90, 52, 100, 72}},
  };
  TcxGroupBox* box = AddBox("Town", 10, 10, 100, 80);
  Show();
  auto* info = static_cast<TcxGroupBoxViewInfo*>(box->GetEditViewInfo());
  for (const Case& c : cases) {
    box->SetAlignment(c.alignment);
    Run();
    EXPECT_EQ(info->CaptionRect, c.caption) << c.alignment;
    EXPECT_EQ(GetCaptionPosition(c.alignment) == cpLeft || GetCaptionPosition(c.alignment) == cpRight,
              box->IsVerticalCaption());
  }
}

TEST_F(GroupBoxTest, TheCaptionBandIsReservedEvenWithoutCaption) {
  TcxGroupBox* box = AddBox("", 10, 10, 100, 80);
  box->GetStyle()->SetBorderStyle(cbsSingle);
  box->GetStyle()->SetTransparentBorder(false);
  auto* child = new TButton(Form.get());
  child->SetParent(box);
  child->SetAlign(alClient);
  Show();
  // Half the 10-pixel "Wg" plus one for the frame; the content band is 10 + 1 + 3.
  EXPECT_EQ(box->GetBorderExtent().Top, 6);
  EXPECT_EQ(child->GetBoundsRect(), (TRect{1, 14, 99, 79}));
  box->SetAlignment(alLeftTop);
  Run();
  EXPECT_EQ(child->GetBoundsRect(), (TRect{14, 1, 99, 79})) << "the children follow the caption's side";
  box->SetAlignment(alCenterCenter);
  Run();
  EXPECT_EQ(child->GetBoundsRect(), (TRect{1, 1, 99, 79}));
}

TEST_F(GroupBoxTest, PanelStyleSettings) {
  TcxGroupBox* box = AddBox("Panel", 10, 10, 100, 60);
  box->GetPanelStyle()->SetCaptionIndent(0);
  EXPECT_EQ(box->GetPanelStyle()->GetCaptionIndent(), 2);
  box->GetPanelStyle()->SetBorderWidth(4);
  std::unique_ptr<TcxPanelStyle, orv::FreeDeleter> other(new TcxPanelStyle(nullptr));
  other->SetActive(true);
  other->SetCaptionIndent(7);
  other->SetBorderWidth(9);
  box->GetPanelStyle()->Assign(other.get());
  EXPECT_TRUE(box->GetPanelStyle()->GetActive());
  EXPECT_EQ(box->GetPanelStyle()->GetCaptionIndent(), 7);
  EXPECT_EQ(box->GetPanelStyle()->GetBorderWidth(), 4) << "Assign leaves BorderWidth alone";
  box->SetAlignment(alBottomRight);
  Show();
  auto* info = static_cast<TcxGroupBoxViewInfo*>(box->GetEditViewInfo());
  EXPECT_FALSE(box->IsVerticalCaption());
  // "Panel" (25 x 10) at the bottom right inside the indent.
  const Integer border = GetContainerBorderWidth(info->BorderStyle);
  EXPECT_EQ(info->TextRect.Right, info->PanelRect.Right - 7 - border);
  EXPECT_EQ(info->TextRect.Bottom, info->PanelRect.Bottom - 7 - border);
  EXPECT_EQ(info->TextRect.Width(), 25);
}

TEST_F(GroupBoxTest, UltraFlatFrameFollowsTheEnabledState) {
  TcxGroupBox* box = AddBox("Box", 10, 10, 100, 60);
  box->GetStyle()->SetBorderStyle(cbsUltraFlat);
  Show();
  // The frame lies one pixel inside the 2-pixel transparent border band.
  EXPECT_EQ(Pixel(box, 50, 58), ColorToRGB(clHighlight));
  box->SetEnabled(false);
  Run();
  EXPECT_EQ(Pixel(box, 50, 58), ColorToRGB(clBtnShadow));
}

TEST_F(GroupBoxTest, MainWindowCoordinateBoxAndItsRadioButtons) {
  Form->SetBounds(100, 100, 240, 110);
  // A transparent band without border along the top, and the " Координаты " box below it.
  TcxGroupBox* band = AddBox("", 0, 0, 240, 24);
  band->SetAlign(alTop);
  band->GetStyle()->SetBorderStyle(cbsNone);
  band->SetTransparent(true);
  TcxGroupBox* box = AddBox(" Координаты "_a, 8, 30, 220, 70);
  box->GetStyle()->GetFont()->SetName("Arial");
  box->GetStyle()->GetFont()->SetHeight(-11);
  box->GetStyle()->SetBorderStyle(cbsUltraFlat);
  box->SetTransparent(true);
  TcxRadioButton* geo = AddRadio(box, "Географические"_a, 10, 20);
  TcxRadioButton* ecl = AddRadio(box, "Эклиптические"_a, 10, 42);
  for (TcxRadioButton* r : {geo, ecl}) {
    r->GetFont()->SetName("Arial");
    r->GetFont()->SetHeight(-11);
  }
  geo->SetChecked(true);
  Log.Senders.clear();
  Show();
  ExpectGolden(Form.get(), "groupbox-coordinates");

  ClickAt(ecl, 5, 8);
  EXPECT_TRUE(ecl->GetChecked());
  EXPECT_FALSE(geo->GetChecked());
  ASSERT_EQ(Log.Senders.size(), 1u);
  EXPECT_EQ(Log.Senders[0], ecl);
  // Arrow keys move the focus, and the check with it, to the other button.
  orv::headless::PressKey(VK_UP);
  Run();
  EXPECT_TRUE(geo->GetChecked());
  EXPECT_FALSE(ecl->GetChecked());
  ASSERT_EQ(Log.Senders.size(), 2u);
  EXPECT_EQ(Log.Senders[1], geo) << "the shared handler hears each move once";
}

TEST_F(GroupBoxTest, RadioButtonTracksTheMouse) {
  TcxGroupBox* box = AddBox("", 10, 10, 200, 80);
  TcxRadioButton* r = AddRadio(box, "Hot", 10, 20);
  Show();
  EXPECT_EQ(r->GetState(), rbsNormal);
  const TPoint p = r->ClientToScreen(TPoint{5, 8});
  orv::headless::MouseMove(p.X, p.Y);
  Run();
  EXPECT_EQ(r->GetState(), rbsHot);
  orv::headless::MouseDown();
  Run();
  EXPECT_EQ(r->GetState(), rbsPressed);
  const TPoint away = r->ClientToScreen(TPoint{5, 40});
  orv::headless::MouseMove(away.X, away.Y);
  Run();
  EXPECT_EQ(r->GetState(), rbsHot) << "dragged out while pressed: hot until release";
  orv::headless::MouseUp();
  Run();
  EXPECT_EQ(r->GetState(), rbsNormal) << "released outside";
  r->SetEnabled(false);
  Run();
  EXPECT_EQ(r->GetState(), rbsDisabled);
}

TEST_F(GroupBoxTest, GoldenCaptionsOnEachSide) {
  Form->SetBounds(100, 100, 260, 200);
  const TcxCaptionAlignment sides[] = {alTopLeft, alBottomCenter, alLeftCenter, alRightTop};
  for (int i = 0; i < 4; ++i) {
    TcxGroupBox* box = AddBox("Side", 8 + (i % 2) * 126, 8 + (i / 2) * 94, 118, 86);
    box->GetStyle()->GetFont()->SetName("Arial");
    box->GetStyle()->GetFont()->SetHeight(-11);
    box->GetStyle()->SetBorderStyle(i % 2 ? cbs3D : cbsSingle);
    box->SetAlignment(sides[i]);
  }
  Show();
  ExpectGolden(Form.get(), "groupbox-sides");
}
