#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/foundation/cxContainer.h"
#include "platform/controls/Graphics.h"
#include "platform/forms/Filer.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"

namespace {

using orv::test::Owned;

// A container as its styles see it: whether it takes its parent's colour by default and works
// in place are the test's to decide.
class TFakeContainer : public TcxContainer {
  ORV_CLASS(TFakeContainer, TcxContainer)
 public:
  explicit TFakeContainer(TComponent* owner) : TcxContainer(owner) {}
  Boolean UsesParentColorByDefault() override { return ParentColorByDefault; }
  Boolean IsInplace() override { return InPlace; }
  // Puts the container on a parent of that colour.
  void PlaceOnParent(TColor color) {
    Parent.reset(new TWinControl(nullptr));
    Parent->SetColor(color);
    SetParent(Parent.get());
  }
  void BeforeDestruction() override {
    SetParent(nullptr);
    inherited::BeforeDestruction();
  }

  Boolean ParentColorByDefault = false;
  Boolean InPlace = false;
  Owned<TWinControl> Parent;
};

// Counts the change notices of each style of a set.
struct TChangeCounter {
  void Handle(TObject* sender) { Senders.push_back(sender); }
  std::vector<TObject*> Senders;
};

TcxContainerStyleChangedEvent CounterEvent(TChangeCounter& c) {
  return TcxContainerStyleChangedEvent(&c, &TChangeCounter::Handle);
}

// A value of any of the ten kinds as one number, for tables.
std::int64_t ReadValue(TcxContainerStyle* s, TcxContainerStyleValue v) {
  switch (v) {
    case csvBorderColor: return s->GetBorderColor();
    case csvBorderStyle: return s->GetBorderStyle();
    case csvColor: return s->GetColor();
    case csvEdges: return std::int64_t(s->GetEdges().Bits());
    case csvFont: return s->GetFont()->GetSize();
    case csvHotTrack: return s->GetHotTrack();
    case csvShadow: return s->GetShadow();
    case csvTextColor: return s->GetTextColor();
    case csvTextStyle: return std::int64_t(s->GetTextStyle().Bits());
    case csvTransparentBorder: return s->GetTransparentBorder();
  }
  return -1;
}

class ContainerStyleTest : public ::testing::Test {
 public:
  void SetUp() override {
    Default = new TcxStyleController(nullptr);
    GlobalDefaultStyleController = Default;
    Host.reset(new TFakeContainer(nullptr));
    Styles.reset(new TcxContainerStyles(Host.get(), TcxContainerStyle::StaticClass()));
  }
  void TearDown() override {
    Styles.reset();
    Controllers.clear();
    if (Default) Default->Free();
    EXPECT_EQ(GlobalDefaultStyleController, nullptr);
    GlobalDefaultStyleController = nullptr;
  }
  TcxStyleController* NewController() {
    Controllers.emplace_back(new TcxStyleController(nullptr));
    return Controllers.back().get();
  }
  TcxContainerStyle* Style(Integer state) { return Styles->GetStyleByState(state); }

  TcxStyleController* Default = nullptr;
  Owned<TFakeContainer> Host;
  Owned<TcxContainerStyles> Styles;
  std::vector<Owned<TcxStyleController>> Controllers;
};

// ---- Resolution --------------------------------------------------------------------------------

struct TResolutionCase {
  const char* Name;
  std::function<void(ContainerStyleTest&)> Setup;
  Integer State;
  TcxContainerStyleValue Value;
  std::int64_t Expected;
};

class ContainerStyleResolution : public ContainerStyleTest,
                                 public ::testing::WithParamInterface<TResolutionCase> {};

TEST_P(ContainerStyleResolution, ResolvesThroughStateControllerAndDefaults) {
  const TResolutionCase& c = GetParam();
  if (c.Setup) c.Setup(*this);
  EXPECT_EQ(ReadValue(Style(c.State), c.Value), c.Expected) << c.Name;
}

auto Kind(TcxLookAndFeelKind kind) {
  return [kind](ContainerStyleTest& t) { t.Style(0)->GetLookAndFeel()->SetKind(kind); };
}

const std::int64_t kAllEdges = std::int64_t(cxBordersAll.Bits());

const TResolutionCase kResolutionCases[] = {
    // Border colour: the state styles take the normal one's, the disabled one its own default.
    {"border colour, normal default", nullptr, 0, csvBorderColor, clWindowFrame},
    {"border colour, focused default", nullptr, 1, csvBorderColor, clWindowFrame},
    {"border colour, disabled default", nullptr, 2, csvBorderColor, clBtnShadow},
    {"border colour, hot from normal",
     [](ContainerStyleTest& t) { t.Style(0)->SetBorderColor(clRed); }, 3, csvBorderColor, clRed},
    {"border colour, disabled keeps its default",
     [](ContainerStyleTest& t) { t.Style(0)->SetBorderColor(clRed); }, 2, csvBorderColor, clBtnShadow},
    {"border colour, focused own",
     [](ContainerStyleTest& t) { t.Style(1)->SetBorderColor(clRed); }, 1, csvBorderColor, clRed},
    {"border colour, focused own leaves normal",
     [](ContainerStyleTest& t) { t.Style(1)->SetBorderColor(clRed); }, 0, csvBorderColor, clWindowFrame},
    {"border colour, controller's normal style",
     [](ContainerStyleTest& t) {
       auto* c = t.NewController();
       c->GetStyle()->SetBorderColor(clGreen);
       t.Style(0)->SetStyleController(c);
     },
     0, csvBorderColor, clGreen},
    {"border colour, controller's focused style for the focused one",
     [](ContainerStyleTest& t) {
       auto* c = t.NewController();
       c->GetStyleFocused()->SetBorderColor(clBlue);
       t.Style(0)->SetStyleController(c);
     },
     1, csvBorderColor, clBlue},
    {"border colour, own value beats the controller",
     [](ContainerStyleTest& t) {
       auto* c = t.NewController();
       c->GetStyle()->SetBorderColor(clGreen);
       t.Style(0)->SetStyleController(c);
       t.Style(0)->SetBorderColor(clYellow);
     },
     0, csvBorderColor, clYellow},
    {"border colour, the default controller",
     [](ContainerStyleTest& t) { t.Default->GetStyle()->SetBorderColor(clMaroon); }, 0,
     csvBorderColor, clMaroon},
    {"border colour, a controller's controller",
     [](ContainerStyleTest& t) {
       auto* inner = t.NewController();
       auto* outer = t.NewController();
       outer->GetStyle()->SetBorderColor(clNavy);
       inner->GetStyle()->SetStyleController(outer);
       t.Style(0)->SetStyleController(inner);
     },
     0, csvBorderColor, clNavy},
    // Border style: from the look and feel, the focused and hot rows when hot tracking.
    {"border style, flat", Kind(lfFlat), 0, csvBorderStyle, cbsFlat},
    {"border style, standard", Kind(lfStandard), 0, csvBorderStyle, cbs3D},
    {"border style, ultra-flat", Kind(lfUltraFlat), 0, csvBorderStyle, cbsUltraFlat},
    {"border style, Office 11", Kind(lfOffice11), 0, csvBorderStyle, cbsOffice11},
    {"border style, hot from single",
     [](ContainerStyleTest& t) { t.Style(0)->SetBorderStyle(cbsSingle); }, 3, csvBorderStyle, cbsThick},
    {"border style, hot from single without hot tracking",
     [](ContainerStyleTest& t) {
       t.Style(0)->SetBorderStyle(cbsSingle);
       t.Style(0)->SetHotTrack(false);
     },
     3, csvBorderStyle, cbsSingle},
    {"border style, focused from none",
     [](ContainerStyleTest& t) { t.Style(0)->SetBorderStyle(cbsNone); }, 1, csvBorderStyle, cbsFlat},
    {"border style, focused from flat", Kind(lfFlat), 1, csvBorderStyle, cbs3D},
    {"border style, disabled unchanged",
     [](ContainerStyleTest& t) { t.Style(0)->SetBorderStyle(cbsSingle); }, 2, csvBorderStyle, cbsSingle},
    {"border style, controller's look and feel",
     [](ContainerStyleTest& t) {
       auto* c = t.NewController();
       c->GetStyle()->GetLookAndFeel()->SetKind(lfStandard);
       t.Style(0)->SetStyleController(c);
     },
     0, csvBorderStyle, cbs3D},
    // Colour.
    {"colour, container", nullptr, 0, csvColor, clWindow},
    {"colour, container using the parent colour",
     [](ContainerStyleTest& t) { t.Host->ParentColorByDefault = true; }, 0, csvColor, clBtnFace},
    {"colour, disabled container", nullptr, 2, csvColor, clBtnFace},
    {"colour, disabled container using the parent colour",
     [](ContainerStyleTest& t) { t.Host->ParentColorByDefault = true; }, 2, csvColor, clBtnFace},
    {"colour, focused from normal",
     [](ContainerStyleTest& t) { t.Style(0)->SetColor(clAqua); }, 1, csvColor, clAqua},
    {"colour, the parent's with ParentColor",
     [](ContainerStyleTest& t) {
       t.Host->PlaceOnParent(clRed);
       t.Host->SetParentColor(true);
       t.Style(0)->SetColor(clAqua);
     },
     0, csvColor, clRed},
    // The root values: state styles read the normal one's.
    {"edges, default", nullptr, 1, csvEdges, kAllEdges},
    {"edges, set on a state style",
     [](ContainerStyleTest& t) { t.Style(3)->SetEdges({bLeft}); }, 0, csvEdges,
     std::int64_t(TcxBorders{bLeft}.Bits())},
    {"hot track, default", nullptr, 2, csvHotTrack, true},
    {"shadow, from the controller",
     [](ContainerStyleTest& t) {
       auto* c = t.NewController();
       c->GetStyle()->SetShadow(true);
       t.Style(0)->SetStyleController(c);
     },
     1, csvShadow, true},
    {"transparent border, default", nullptr, 0, csvTransparentBorder, true},
    {"transparent border, set on the hot style",
     [](ContainerStyleTest& t) { t.Style(3)->SetTransparentBorder(false); }, 2, csvTransparentBorder,
     false},
    // Text colour and style.
    {"text colour, the font's", nullptr, 0, csvTextColor, clWindowText},
    {"text colour, disabled", nullptr, 2, csvTextColor, clBtnShadow},
    {"text colour, focused from normal",
     [](ContainerStyleTest& t) { t.Style(0)->SetTextColor(clPurple); }, 1, csvTextColor, clPurple},
    {"text colour, from the font",
     [](ContainerStyleTest& t) { t.Style(0)->GetFont()->SetColor(clTeal); }, 3, csvTextColor, clTeal},
    {"text style, the font's",
     [](ContainerStyleTest& t) { t.Style(0)->GetFont()->SetStyle({fsBold}); }, 0, csvTextStyle,
     std::int64_t(TFontStyles{fsBold}.Bits())},
    {"text style, hot own",
     [](ContainerStyleTest& t) { t.Style(3)->SetTextStyle({fsItalic}); }, 3, csvTextStyle,
     std::int64_t(TFontStyles{fsItalic}.Bits())},
    // Font: setting it on a state style sets the normal one's.
    {"font, set on the focused style",
     [](ContainerStyleTest& t) {
       TFont f;
       f.SetSize(20);
       t.Style(1)->SetFont(&f);
     },
     0, csvFont, 20},
};

INSTANTIATE_TEST_SUITE_P(Table, ContainerStyleResolution, ::testing::ValuesIn(kResolutionCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(ContainerStyleTest, StylesWithoutContainerDefaultToButtonFace) {
  Owned<TcxContainerStyles> loose(new TcxContainerStyles(nullptr, TcxContainerStyle::StaticClass()));
  EXPECT_EQ(loose->GetNormalStyle()->GetColor(), clBtnFace);
  EXPECT_EQ(loose->GetDisabledStyle()->GetColor(), clBtnFace);
  loose->GetNormalStyle()->SetColor(clLime);
  EXPECT_EQ(loose->GetDisabledStyle()->GetColor(), clLime);  // the parent's, without a container
}

TEST_F(ContainerStyleTest, VisibleColourPrefersAssignedOverParent) {
  Host->PlaceOnParent(clRed);
  Host->SetParentColor(true);
  EXPECT_EQ(Style(0)->GetVisibleColor(), clRed);
  Style(0)->SetColor(clAqua);
  EXPECT_EQ(Style(0)->GetVisibleColor(), clAqua);
  EXPECT_EQ(Style(0)->GetColor(), clRed);
  Host->InPlace = true;
  Style(0)->SetAssignedValues({});
  EXPECT_EQ(Style(0)->GetVisibleColor(), clWindow);
}

TEST_F(ContainerStyleTest, AssignedMeansOwnOrController) {
  auto* c = NewController();
  c->GetStyle()->SetColor(clGreen);
  Style(0)->SetStyleController(c);
  EXPECT_TRUE(Style(0)->IsValueAssigned(csvColor));
  EXPECT_FALSE(Style(0)->GetAssignedValues().Contains(csvColor));
  // Assigning the value it already shows still marks it.
  Style(0)->SetColor(clGreen);
  EXPECT_TRUE(Style(0)->GetAssignedValues().Contains(csvColor));
  EXPECT_FALSE(Style(0)->IsValueAssigned(10));
  EXPECT_FALSE(Style(0)->IsValueAssigned(-1));
}

TEST_F(ContainerStyleTest, DirectAccessReadsRawValues) {
  TFont font;
  font.SetColor(clMaroon);
  Owned<TcxContainerStyle> s(new TcxContainerStyle(nullptr, true));
  EXPECT_EQ(s->GetAssignedValues(), (TcxContainerStyleValues{csvColor, csvFont, csvTextColor, csvTextStyle}));
  s->SetBorderColor(clRed);
  s->SetEdges({bTop});
  s->SetShadow(true);
  s->SetTransparentBorder(false);
  EXPECT_EQ(s->GetBorderColor(), clDefault);
  EXPECT_TRUE(s->GetEdges().Empty());
  EXPECT_FALSE(s->GetShadow());
  EXPECT_TRUE(s->GetTransparentBorder());
  EXPECT_EQ(s->GetBorderStyle(), cbsUltraFlat);  // unassigned: the default
  s->SetBorderStyle(cbsThick);
  EXPECT_EQ(s->GetBorderStyle(), cbsThick);
  s->SetFont(&font);
  EXPECT_EQ(s->GetFont(), &font);  // lent, not copied
}

TEST_F(ContainerStyleTest, ValueNames) {
  AnsiString name;
  EXPECT_EQ(Style(0)->GetValueCount(), 10);
  ASSERT_TRUE(Style(0)->GetValueName(9, name));
  EXPECT_EQ(name, "TransparentBorder");
  EXPECT_FALSE(Style(0)->GetValueName(10, name));
  EXPECT_EQ(name, "");
  Integer index = 0;
  ASSERT_TRUE(Style(0)->FindValueIndex("hottrack", index));
  EXPECT_EQ(index, csvHotTrack);
  EXPECT_FALSE(Style(0)->FindValueIndex("Glow", index));
}

// ---- Change notices ----------------------------------------------------------------------------

TEST_F(ContainerStyleTest, OneNoticePerChange) {
  TChangeCounter counter;
  Styles->SetOnChanged(CounterEvent(counter));
  Style(0)->SetBorderColor(clRed);
  EXPECT_EQ(counter.Senders.size(), 1u);
  Style(0)->SetBorderColor(clRed);  // assigned and equal
  EXPECT_EQ(counter.Senders.size(), 1u);
  Style(1)->SetTextColor(clRed);
  ASSERT_EQ(counter.Senders.size(), 2u);
  EXPECT_EQ(counter.Senders[1], Style(1));
  Style(1)->SetEdges({bLeft});  // held by the normal style: it reports
  ASSERT_EQ(counter.Senders.size(), 3u);
  EXPECT_EQ(counter.Senders[2], Style(0));

  counter.Senders.clear();
  Style(0)->LockUpdate();
  Style(0)->SetColor(clAqua);
  Style(0)->SetShadow(true);
  Style(0)->SetBorderStyle(cbsThick);
  EXPECT_TRUE(counter.Senders.empty());
  Style(0)->UnlockUpdate();
  EXPECT_EQ(counter.Senders.size(), 1u);
  Style(0)->UnlockUpdate();  // already at zero
  Style(0)->UnlockUpdate();
  EXPECT_EQ(counter.Senders.size(), 1u);
  Style(0)->LockUpdate();
  Style(0)->UnlockUpdate();  // nothing changed inside
  EXPECT_EQ(counter.Senders.size(), 1u);
}

TEST_F(ContainerStyleTest, FontAndLookAndFeelChangesAreNoticed) {
  TChangeCounter counter;
  Styles->SetOnChanged(CounterEvent(counter));
  TFont f;
  f.SetName("Orv Test");
  Style(0)->SetFont(&f);
  EXPECT_EQ(counter.Senders.size(), 1u);
  EXPECT_TRUE(Style(0)->GetAssignedValues().Contains(csvFont));
  counter.Senders.clear();
  Style(0)->GetFont()->SetSize(14);  // a change of the font object itself
  EXPECT_EQ(counter.Senders.size(), 1u);
  counter.Senders.clear();
  Style(0)->GetLookAndFeel()->SetKind(lfOffice11);
  EXPECT_EQ(counter.Senders.size(), 1u);
  counter.Senders.clear();
  Style(0)->SetAssignedValues({csvColor});
  EXPECT_EQ(counter.Senders.size(), 1u);
}

TEST_F(ContainerStyleTest, AssignCopiesValuesWithOneNotice) {
  Owned<TcxContainerStyles> source(new TcxContainerStyles(nullptr, TcxContainerStyle::StaticClass()));
  TcxContainerStyle* s = source->GetNormalStyle();
  s->SetBorderStyle(cbsThick);
  s->SetColor(clAqua);
  s->SetShadow(true);
  s->SetTextColor(clPurple);
  s->GetLookAndFeel()->SetKind(lfFlat);
  TChangeCounter counter;
  Styles->SetOnChanged(CounterEvent(counter));
  Styles->SetNormalStyle(s);
  EXPECT_EQ(counter.Senders.size(), 1u);
  EXPECT_EQ(Style(0)->GetBorderStyle(), cbsThick);
  EXPECT_EQ(Style(0)->GetColor(), clAqua);
  EXPECT_TRUE(Style(0)->GetShadow());
  EXPECT_EQ(Style(0)->GetTextColor(), clPurple);
  EXPECT_EQ(Style(0)->GetLookAndFeel()->GetKind(), lfFlat);
  EXPECT_EQ(Style(0)->GetAssignedValues(), s->GetAssignedValues());
}

TEST_F(ContainerStyleTest, ResetToDefaults) {
  Host->ParentColorByDefault = true;
  Host->SetParentFont(false);
  Style(0)->SetColor(clAqua);
  Style(0)->GetLookAndFeel()->SetKind(lfFlat);
  TChangeCounter counter;
  Styles->SetOnChanged(CounterEvent(counter));
  Style(0)->ResetToDefaults();
  EXPECT_EQ(counter.Senders.size(), 1u);
  EXPECT_TRUE(Style(0)->GetAssignedValues().Empty());
  EXPECT_TRUE(Style(0)->GetLookAndFeel()->GetAssignedValues().Empty());
  EXPECT_TRUE(Host->GetParentFont());
  EXPECT_TRUE(Host->GetParentColor());  // uses the parent colour by default
  // ...unless the controller gives a colour.
  auto* c = NewController();
  c->GetStyle()->SetColor(clGreen);
  Style(0)->SetStyleController(c);
  Style(0)->ResetToDefaults();
  EXPECT_FALSE(Host->GetParentColor());
}

// ---- Controllers -------------------------------------------------------------------------------

TEST_F(ContainerStyleTest, ControllerChangeReachesEveryFollower) {
  auto* c = NewController();
  Owned<TcxContainerStyles> other(new TcxContainerStyles(nullptr, TcxContainerStyle::StaticClass()));
  TChangeCounter mine, theirs, events;
  Styles->SetOnChanged(CounterEvent(mine));
  other->SetOnChanged(CounterEvent(theirs));
  Style(0)->SetStyleController(c);
  other->GetNormalStyle()->SetStyleController(c);
  EXPECT_EQ(c->GetListenerCount(), 2);
  mine.Senders.clear();
  theirs.Senders.clear();
  c->SetOnStyleChanged(TNotifyEvent(&events, &TChangeCounter::Handle));
  c->GetStyleHot()->SetBorderColor(clRed);
  EXPECT_EQ(mine.Senders.size(), 1u);
  EXPECT_EQ(theirs.Senders.size(), 1u);
  EXPECT_EQ(events.Senders.size(), 1u);
  EXPECT_EQ(Style(3)->GetBorderColor(), clRed);
  EXPECT_EQ(other->GetHotStyle()->GetBorderColor(), clRed);
  // The follower's look and feel follows the controller's.
  c->GetStyle()->GetLookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(Style(0)->GetLookAndFeel()->GetKind(), lfStandard);
  EXPECT_EQ(Style(0)->GetBorderStyle(), cbs3D);
}

TEST_F(ContainerStyleTest, ControllerLinkAndDefault) {
  EXPECT_EQ(Style(0)->GetStyleController(), nullptr);
  EXPECT_EQ(Style(0)->GetEffectiveStyleController(), Default);
  auto* c = NewController();
  Style(1)->SetStyleController(c);  // a state style acts on its root
  EXPECT_EQ(Style(0)->GetStyleController(), c);
  EXPECT_EQ(Style(2)->GetEffectiveStyleController(), c);
  EXPECT_EQ(Default->GetListenerCount(), 1);  // only c's own normal style follows it now
  Style(0)->SetStyleController(nullptr);
  EXPECT_EQ(Style(0)->GetEffectiveStyleController(), Default);
  EXPECT_EQ(c->GetListenerCount(), 0);
  // The default controller's own styles follow nobody.
  EXPECT_EQ(Default->GetStyle()->GetEffectiveStyleController(), nullptr);
}

TEST_F(ContainerStyleTest, LoopsOfControllersAreRefused) {
  auto* a = NewController();
  auto* b = NewController();
  a->GetStyle()->SetStyleController(b);
  b->GetStyle()->SetStyleController(a);  // a already follows b
  EXPECT_EQ(b->GetStyle()->GetStyleController(), nullptr);
  a->GetStyle()->SetStyleController(a);
  EXPECT_EQ(a->GetStyle()->GetStyleController(), b);
  b->GetStyle()->SetBorderColor(clRed);
  EXPECT_EQ(a->GetStyle()->GetBorderColor(), clRed);
}

TEST_F(ContainerStyleTest, FreeingAControllerDetachesItsStyles) {
  auto* c = new TcxStyleController(nullptr);
  c->GetStyle()->SetBorderColor(clGreen);
  c->GetStyle()->GetLookAndFeel()->SetKind(lfStandard);
  Style(0)->SetStyleController(c);
  TChangeCounter counter;
  Styles->SetOnChanged(CounterEvent(counter));
  EXPECT_EQ(Style(0)->GetBorderColor(), clGreen);
  c->Free();
  EXPECT_EQ(Style(0)->GetEffectiveStyleController(), Default);
  EXPECT_EQ(Style(0)->GetBorderColor(), clWindowFrame);
  EXPECT_EQ(Style(0)->GetLookAndFeel()->GetKind(), lfUltraFlat);
  EXPECT_EQ(counter.Senders.size(), 1u);
  // Freeing the default controller leaves the styles following nobody.
  Default->Free();
  Default = nullptr;
  EXPECT_EQ(GlobalDefaultStyleController, nullptr);
  EXPECT_EQ(Style(0)->GetEffectiveStyleController(), nullptr);
  Style(0)->SetBorderColor(clRed);
  EXPECT_EQ(Style(0)->GetBorderColor(), clRed);
}

TEST_F(ContainerStyleTest, StylesWithoutAnyController) {
  Styles.reset();
  Default->Free();
  Default = nullptr;
  Styles.reset(new TcxContainerStyles(Host.get(), TcxContainerStyle::StaticClass()));
  EXPECT_EQ(Style(0)->GetEffectiveStyleController(), nullptr);
  EXPECT_EQ(Style(1)->GetBorderStyle(), cbsUltraFlat);
}

TEST_F(ContainerStyleTest, FontFromTheController) {
  auto* c = NewController();
  TFont f;
  f.SetName("Orv Test");
  f.SetSize(12);
  c->GetStyle()->SetFont(&f);
  Style(0)->SetStyleController(c);
  EXPECT_EQ(Style(0)->GetFont()->GetName(), "Orv Test");
  EXPECT_FALSE(Style(0)->GetAssignedValues().Contains(csvFont));
  EXPECT_TRUE(Style(0)->IsValueAssigned(csvFont));
  // Scaling the controller's font happens once.
  Style(0)->GetEffectiveStyleController()->ScaleFont(2, 1);
  Style(0)->GetEffectiveStyleController()->ScaleFont(2, 1);
  EXPECT_EQ(c->GetStyle()->GetFont()->GetSize(), 24);
  // A controller without a font hands the request on.
  auto* front = NewController();
  front->GetStyle()->SetStyleController(c);
  front->ScaleFont(3, 1);
  EXPECT_EQ(c->GetStyle()->GetFont()->GetSize(), 24);
}

TEST_F(ContainerStyleTest, DisplayFontCarriesTextColourAndStyle) {
  Style(0)->SetTextColor(clRed);
  Style(1)->SetTextStyle({fsBold});
  TFont* font = Style(1)->GetVisibleFont();
  EXPECT_EQ(font->GetColor(), clRed);
  EXPECT_EQ(font->GetStyle(), TFontStyles{fsBold});
  EXPECT_EQ(Style(0)->GetDisplayFont()->GetStyle(), TFontStyles{});
}

TEST_F(ContainerStyleTest, StoredValues) {
  Style(0)->SetBorderColor(clRed);
  Style(1)->SetBorderColor(clRed);
  Style(1)->SetShadow(true);  // held by the normal style
  EXPECT_TRUE(Style(0)->IsValueStored(csvBorderColor));
  EXPECT_TRUE(Style(1)->IsValueStored(csvBorderColor));
  EXPECT_TRUE(Style(0)->IsValueStored(csvShadow));
  EXPECT_FALSE(Style(1)->IsValueStored(csvShadow));
  EXPECT_FALSE(Style(0)->IsValueStored(csvColor));
  auto* c = NewController();
  c->GetStyle()->SetColor(clGreen);
  Style(0)->SetStyleController(c);
  EXPECT_FALSE(Style(0)->IsValueStored(csvColor));  // the controller's, not the style's
  EXPECT_TRUE(Style(0)->IsStyleControllerStored());
  EXPECT_FALSE(Style(1)->IsStyleControllerStored());
}

TEST_F(ContainerStyleTest, FormDescriptionKeepsAssignedValuesOnly) {
  auto* c = NewController();
  c->SetName("Look");
  TFont f;
  f.SetName("Orv Test");
  c->GetStyle()->SetFont(&f);
  c->GetStyle()->SetBorderStyle(cbsThick);
  c->GetStyleHot()->SetBorderColor(clRed);
  c->GetStyleHot()->SetShadow(true);  // the normal style's value
  const std::string text = orv::WriteComponentToText(c);
  EXPECT_NE(text.find("IsFontAssigned = True"), std::string::npos) << text;
  EXPECT_NE(text.find("BorderStyle = cbsThick"), std::string::npos) << text;
  EXPECT_EQ(text.find("AssignedValues"), std::string::npos) << text;
  EXPECT_EQ(text.find("HotTrack"), std::string::npos) << text;

  auto* d = NewController();
  orv::ReadComponentFromText(d, text);
  EXPECT_EQ(d->GetStyle()->GetBorderStyle(), cbsThick);
  EXPECT_TRUE(d->GetStyle()->GetAssignedValues().Contains(csvFont));
  EXPECT_EQ(d->GetStyleHot()->GetBorderColor(), clRed);
  EXPECT_TRUE(d->GetStyle()->GetShadow());

  // Whatever the flag says, a font that was written is an assigned one.
  auto* e = NewController();
  orv::ReadComponentFromText(e, "object Look2: TcxStyleController\n  Style.IsFontAssigned = False\nend\n");
  EXPECT_TRUE(e->GetStyle()->GetAssignedValues().Contains(csvFont));
}

}  // namespace
