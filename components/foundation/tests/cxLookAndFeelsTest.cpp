#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/foundation/cxLookAndFeels.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

using LookAndFeelPtr = std::unique_ptr<TcxLookAndFeel, orv::FreeDeleter>;

// Records every notice it hears.
class TLookAndFeelRecorder : public TObject, public IcxLookAndFeelChangeListener {
  ORV_CLASS(TLookAndFeelRecorder, TObject)
 public:
  TObject* GetObject() override { return this; }
  void MasterChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues values) override {
    Changes.push_back(values);
    if (RemoveOnNotice) sender->RemoveChangeListener(this);
  }
  void MasterDestroying(TcxLookAndFeel* sender) override { ++Destroyings; }
  std::vector<TcxLookAndFeelValues> Changes;
  Integer Destroyings = 0;
  Boolean RemoveOnNotice = false;
};
using RecorderPtr = std::unique_ptr<TLookAndFeelRecorder, orv::FreeDeleter>;

// Each test leaves the root as it found it.
class LookAndFeelTest : public ::testing::Test {
 public:
  void TearDown() override { GetRootLookAndFeel()->ResetAssignedValues(); }
  void OnChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues values) { Events.push_back(values); }
  std::vector<TcxLookAndFeelValues> Events;
};

TEST_F(LookAndFeelTest, NewLookAndFeelInheritsTheRootDefaults) {
  LookAndFeelPtr lf(new TcxLookAndFeel(nullptr));
  EXPECT_EQ(lf->GetKind(), lfUltraFlat);
  EXPECT_FALSE(lf->GetNativeStyle());
  EXPECT_EQ(lf->GetSkinName(), "");
  EXPECT_TRUE(lf->GetAssignedValues().Empty());
  EXPECT_TRUE(lf->CurrentPainter() == TcxUltraFlatLookAndFeelPainter::StaticClass());
  EXPECT_EQ(lf->GetEffectiveMaster(), GetRootLookAndFeel());
  EXPECT_TRUE(GetRootLookAndFeel()->IsRoot());
  EXPECT_EQ(GetRootLookAndFeel()->GetEffectiveMaster(), nullptr);
}

TEST_F(LookAndFeelTest, PainterFollowsKind) {
  LookAndFeelPtr lf(new TcxLookAndFeel(nullptr));
  const struct {
    TcxLookAndFeelKind kind;
    TClass painter;
  } cases[] = {{lfFlat, TcxFlatLookAndFeelPainter::StaticClass()},
               {lfStandard, TcxStandardLookAndFeelPainter::StaticClass()},
               {lfOffice11, TcxOffice11LookAndFeelPainter::StaticClass()},
               {lfUltraFlat, TcxUltraFlatLookAndFeelPainter::StaticClass()}};
  for (const auto& c : cases) {
    lf->SetKind(c.kind);
    EXPECT_TRUE(lf->CurrentPainter() == c.painter) << c.kind;
  }
  // Native style without visual styles (absent here) keeps the painter of the kind.
  lf->SetKind(lfOffice11);
  lf->SetNativeStyle(true);
  EXPECT_TRUE(lf->GetNativeStyle());
  EXPECT_TRUE(lf->CurrentPainter() == TcxOffice11LookAndFeelPainter::StaticClass());
  // An explicit painter wins.
  lf->SetPainter(TcxFlatLookAndFeelPainter::Class());
  EXPECT_TRUE(lf->CurrentPainter() == TcxFlatLookAndFeelPainter::StaticClass());
  // An unknown skin name resolves to no skin painter.
  lf->SetPainter(nullptr);
  lf->SetNativeStyle(false);
  lf->SetSkinName("Caramel");
  EXPECT_EQ(lf->GetSkinName(), "Caramel");
  EXPECT_FALSE(lf->GetSkinPainter());
  EXPECT_TRUE(lf->CurrentPainter() == TcxOffice11LookAndFeelPainter::StaticClass());
}

TEST_F(LookAndFeelTest, RootChangeReachesEveryInheritingLookAndFeelOnce) {
  LookAndFeelPtr inheriting(new TcxLookAndFeel(nullptr));
  LookAndFeelPtr assigning(new TcxLookAndFeel(nullptr));
  LookAndFeelPtr child(new TcxLookAndFeel(nullptr));
  assigning->SetKind(lfFlat);
  child->SetMaster(inheriting.get());
  RecorderPtr onInheriting(new TLookAndFeelRecorder), onAssigning(new TLookAndFeelRecorder), onChild(new TLookAndFeelRecorder);
  inheriting->AddChangeListener(onInheriting.get());
  assigning->AddChangeListener(onAssigning.get());
  child->AddChangeListener(onChild.get());
  child->SetOnChanged(TcxLookAndFeelChangedEvent(this, &LookAndFeelTest::OnChanged));

  GetRootLookAndFeel()->SetKind(lfOffice11);
  EXPECT_EQ(inheriting->GetKind(), lfOffice11);
  EXPECT_EQ(child->GetKind(), lfOffice11);
  EXPECT_EQ(assigning->GetKind(), lfFlat);
  ASSERT_EQ(onInheriting->Changes.size(), 1u);
  EXPECT_EQ(onInheriting->Changes[0], TcxLookAndFeelValues{lfvKind});
  ASSERT_EQ(onChild->Changes.size(), 1u);
  EXPECT_EQ(onChild->Changes[0], TcxLookAndFeelValues{lfvKind});
  ASSERT_EQ(Events.size(), 1u);
  EXPECT_EQ(Events[0], TcxLookAndFeelValues{lfvKind});
  // A look and feel that assigns its kind passes on no notice.
  EXPECT_TRUE(onAssigning->Changes.empty());
  EXPECT_TRUE(child->CurrentPainter() == TcxOffice11LookAndFeelPainter::StaticClass());
  inheriting->RemoveChangeListener(onInheriting.get());
  assigning->RemoveChangeListener(onAssigning.get());
  child->RemoveChangeListener(onChild.get());
}

TEST_F(LookAndFeelTest, SettingTheInheritedValueAssignsItSilently) {
  LookAndFeelPtr lf(new TcxLookAndFeel(nullptr));
  lf->SetOnChanged(TcxLookAndFeelChangedEvent(this, &LookAndFeelTest::OnChanged));
  lf->SetKind(lfUltraFlat);
  EXPECT_TRUE(lf->GetAssignedValues().Contains(lfvKind));
  EXPECT_TRUE(Events.empty());
  // Assigned now: the root's change no longer reaches it.
  GetRootLookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(lf->GetKind(), lfUltraFlat);
  EXPECT_TRUE(Events.empty());
  // Inherited again: it reports the kind that changed.
  lf->ResetAssignedValues();
  EXPECT_EQ(lf->GetKind(), lfStandard);
  ASSERT_EQ(Events.size(), 1u);
  EXPECT_EQ(Events[0], TcxLookAndFeelValues{lfvKind});
}

TEST_F(LookAndFeelTest, MasterDestroyedFallsBackToTheRoot) {
  LookAndFeelPtr master(new TcxLookAndFeel(nullptr));
  LookAndFeelPtr lf(new TcxLookAndFeel(nullptr));
  master->SetKind(lfStandard);
  master->SetNativeStyle(true);
  lf->SetMaster(master.get());
  EXPECT_EQ(lf->GetKind(), lfStandard);
  EXPECT_TRUE(lf->GetNativeStyle());
  lf->SetOnChanged(TcxLookAndFeelChangedEvent(this, &LookAndFeelTest::OnChanged));
  master.reset();
  EXPECT_EQ(lf->GetMaster(), nullptr);
  EXPECT_EQ(lf->GetKind(), lfUltraFlat);
  EXPECT_FALSE(lf->GetNativeStyle());
  ASSERT_EQ(Events.size(), 1u);
  EXPECT_EQ(Events[0], (TcxLookAndFeelValues{lfvKind, lfvNativeStyle}));
  // It hears the root again.
  GetRootLookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(lf->GetKind(), lfFlat);
}

TEST_F(LookAndFeelTest, MastersThatWouldFormACycleAreRefused) {
  LookAndFeelPtr a(new TcxLookAndFeel(nullptr));
  LookAndFeelPtr b(new TcxLookAndFeel(nullptr));
  b->SetMaster(a.get());
  a->SetMaster(b.get());
  EXPECT_EQ(a->GetMaster(), nullptr);
  a->SetMaster(a.get());
  EXPECT_EQ(a->GetMaster(), nullptr);
  GetRootLookAndFeel()->SetMaster(a.get());
  EXPECT_EQ(GetRootLookAndFeel()->GetMaster(), nullptr);
  a->SetKind(lfStandard);
  EXPECT_EQ(b->GetKind(), lfStandard);
}

TEST_F(LookAndFeelTest, AssignCopiesAssignedValuesAndMaster) {
  LookAndFeelPtr master(new TcxLookAndFeel(nullptr));
  LookAndFeelPtr source(new TcxLookAndFeel(nullptr));
  LookAndFeelPtr lf(new TcxLookAndFeel(nullptr));
  master->SetKind(lfFlat);
  source->SetMaster(master.get());
  source->SetNativeStyle(true);
  lf->SetOnChanged(TcxLookAndFeelChangedEvent(this, &LookAndFeelTest::OnChanged));
  lf->Assign(source.get());
  EXPECT_EQ(lf->GetAssignedValues(), TcxLookAndFeelValues{lfvNativeStyle});
  EXPECT_EQ(lf->GetMaster(), master.get());
  EXPECT_EQ(lf->GetKind(), lfFlat);
  ASSERT_EQ(Events.size(), 1u);
  EXPECT_EQ(Events[0], (TcxLookAndFeelValues{lfvKind, lfvNativeStyle}));
}

TEST_F(LookAndFeelTest, AssignStyleId) {
  LookAndFeelPtr lf(new TcxLookAndFeel(nullptr));
  lf->AssignStyleId(4);
  EXPECT_EQ(lf->GetKind(), lfOffice11);
  EXPECT_FALSE(lf->GetNativeStyle());
  lf->AssignStyleId(3);
  EXPECT_TRUE(lf->GetNativeStyle());
  EXPECT_EQ(lf->GetKind(), lfOffice11);
  lf->AssignStyleId(0);
  EXPECT_EQ(lf->GetKind(), lfFlat);
  EXPECT_FALSE(lf->GetNativeStyle());
}

TEST_F(LookAndFeelTest, ListenersOnceAndALeavingListenerSkipsNoOther) {
  LookAndFeelPtr lf(new TcxLookAndFeel(nullptr));
  RecorderPtr first(new TLookAndFeelRecorder), second(new TLookAndFeelRecorder);
  first->RemoveOnNotice = true;
  lf->AddChangeListener(first.get());
  lf->AddChangeListener(first.get());
  lf->AddChangeListener(second.get());
  EXPECT_EQ(lf->GetChangeListenerCount(), 2);
  lf->AddChangeListener(lf.get());  // not taken twice either: it is no listener of itself
  lf->SetKind(lfStandard);
  EXPECT_EQ(first->Changes.size(), 1u);
  EXPECT_EQ(second->Changes.size(), 1u);
  EXPECT_EQ(lf->GetChangeListenerCount(), 2);  // second, and lf itself (an object with the interface)
  lf->RemoveChangeListener(lf.get());
  lf->RemoveChangeListener(second.get());
  // Objects without the interface are not taken.
  std::unique_ptr<TObject, orv::FreeDeleter> plain(new TObject);
  lf->AddChangeListener(plain.get());
  EXPECT_EQ(lf->GetChangeListenerCount(), 0);
}

TEST_F(LookAndFeelTest, DestroyingTellsTheListeners) {
  LookAndFeelPtr lf(new TcxLookAndFeel(nullptr));
  RecorderPtr recorder(new TLookAndFeelRecorder);
  lf->AddChangeListener(recorder.get());
  lf.reset();
  EXPECT_EQ(recorder->Destroyings, 1);
}

TEST_F(LookAndFeelTest, ControllersEditTheRootAndTheLastOneResetsIt) {
  std::unique_ptr<TComponent, orv::FreeDeleter> form(new TComponent(nullptr));
  auto* first = new TcxLookAndFeelController(form.get());
  auto* second = new TcxLookAndFeelController(form.get());
  EXPECT_EQ(GetLookAndFeelControllerCount(), 2);
  // Only the root takes controllers.
  LookAndFeelPtr lf(new TcxLookAndFeel(nullptr));
  lf->AddChangeListener(first);
  EXPECT_EQ(lf->GetChangeListenerCount(), 0);
  first->SetKind(lfOffice11);
  first->SetNativeStyle(true);
  EXPECT_EQ(GetRootLookAndFeel()->GetKind(), lfOffice11);
  EXPECT_EQ(second->GetKind(), lfOffice11);
  EXPECT_EQ(lf->GetKind(), lfOffice11);
  first->Free();
  EXPECT_EQ(GetRootLookAndFeel()->GetKind(), lfOffice11);
  second->Free();
  EXPECT_EQ(GetLookAndFeelControllerCount(), 0);
  EXPECT_EQ(GetRootLookAndFeel()->GetKind(), lfUltraFlat);
  EXPECT_FALSE(GetRootLookAndFeel()->GetNativeStyle());
  EXPECT_EQ(lf->GetKind(), lfUltraFlat);
}

TEST_F(LookAndFeelTest, SystemColourChangeNotifiesNativeStyle) {
  LookAndFeelPtr lf(new TcxLookAndFeel(nullptr));
  LookAndFeelPtr child(new TcxLookAndFeel(nullptr));
  child->SetMaster(lf.get());
  lf->SetOnChanged(TcxLookAndFeelChangedEvent(this, &LookAndFeelTest::OnChanged));
  RecorderPtr recorder(new TLookAndFeelRecorder);
  child->AddChangeListener(recorder.get());
  // The window system broadcasts the change to the palette listener's hidden window.
  const INT element = COLOR_BTNFACE;
  const COLORREF color = RGB(190, 190, 190);
  ASSERT_TRUE(SetSysColors(1, &element, &color));
  orv::SetSysColorTable(nullptr);
  GetSystemPaletteChangedListener()->SystemColorsChanged();
  EXPECT_FALSE(Events.empty());
  for (const auto& values : Events) EXPECT_EQ(values, TcxLookAndFeelValues{lfvNativeStyle});
  EXPECT_FALSE(recorder->Changes.empty());
  for (const auto& values : recorder->Changes)
    EXPECT_EQ(values, TcxLookAndFeelValues{lfvNativeStyle});
  child->RemoveChangeListener(recorder.get());
}

}  // namespace
