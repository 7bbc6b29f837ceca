// Form descriptions of a grid: its views and its level tree are written as the grid's children
// and read back into the same structure, with the levels' settings and the grid's own.
#include <gtest/gtest.h>

#include "components/grid/cxGridTableView.h"
#include "components/grid/tests/GridFixture.h"
#include "platform/forms/Filer.h"
#include "platform/controls/Menus.h"
#include "platform/forms/Published.h"

namespace grid_test {

ORV_PUBLISH(TTestGridView) {}

namespace {

// A form-like root that owns the grid and its views and levels.
class TGridHost : public TForm {
  ORV_CLASS(TGridHost, TForm)
 public:
  explicit TGridHost(TComponent* owner) : TForm(owner) {}
  int DblClicks = 0;
  void grdOrvaneDblClick(TObject* sender) { ++DblClicks; }
};

}  // namespace

ORV_PUBLISH(TGridHost) { p.Method("grdOrvaneDblClick", &TGridHost::grdOrvaneDblClick); }

namespace {

class StreamingTest : public ::testing::Test {
 protected:
  void SetUp() override { orv::headless::Reset(); }
  void TearDown() override { orv::headless::Reset(); }
  static Owned<TGridHost> NewHost() {
    Owned<TGridHost> host(new TGridHost(nullptr));
    host->AfterConstruction();
    host->SetName("Host");
    return host;
  }
};

TEST_F(StreamingTest, AGridWithLevelsAndViewsRoundTrips) {
  Owned<TGridHost> source = NewHost();
  auto* grid = new TcxGrid(source.get());
  grid->SetName("grdTowns");
  grid->SetParent(source.get());
  grid->SetDragOpeningWaitTime(500);
  grid->GetRootLevelOptions()->SetDetailTabsPosition(dtpTop);
  auto* view = static_cast<TTestGridView*>(grid->CreateView(TTestGridView::StaticClass()));
  view->SetName("grdTownsView");
  TcxGridLevel* level = grid->AddLevel();
  level->SetName("grdTownsLevel");
  level->SetCaption("Города"_a);
  level->SetGridView(view);
  TcxGridLevel* detail = level->Add();
  detail->SetName("grdDetailLevel");
  detail->SetMaxDetailHeight(120);
  detail->GetOptions()->SetDetailFrameWidth(3);

  const AnsiString text = orv::WriteComponentToText(source.get());
  EXPECT_NE(text.find("object grdTownsView: TTestGridView"), AnsiString::npos) << text;
  EXPECT_NE(text.find("object grdTownsLevel: TcxGridLevel"), AnsiString::npos) << text;
  EXPECT_NE(text.find("GridView = grdTownsView"), AnsiString::npos) << text;
  EXPECT_NE(text.find("DragOpeningWaitTime = 500"), AnsiString::npos) << text;
  EXPECT_NE(text.find("RootLevelOptions.DetailTabsPosition = dtpTop"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("ImageIndex"), AnsiString::npos) << text;  // defaults are not written
  // The detail level is written inside its parent level.
  const auto outer = text.find("object grdTownsLevel");
  const auto inner = text.find("object grdDetailLevel");
  ASSERT_NE(inner, AnsiString::npos) << text;
  EXPECT_GT(inner, outer);

  Owned<TGridHost> target = NewHost();
  orv::ReadComponentFromText(target.get(), text);
  auto* readGrid = dynamic_cast<TcxGrid*>(target->FindComponent("grdTowns"));
  ASSERT_NE(readGrid, nullptr);
  EXPECT_EQ(readGrid->GetDragOpeningWaitTime(), 500);
  EXPECT_EQ(readGrid->GetRootLevelOptions()->GetDetailTabsPosition(), dtpTop);
  ASSERT_EQ(readGrid->GetViewCount(), 1);
  auto* readView = dynamic_cast<TTestGridView*>(readGrid->GetView(0));
  ASSERT_NE(readView, nullptr);
  EXPECT_EQ(readView->GetName(), "grdTownsView");
  ASSERT_EQ(readGrid->GetRootLevel()->GetCount(), 1);
  TcxGridLevel* readLevel = readGrid->GetRootLevel()->GetItem(0);
  EXPECT_EQ(readLevel->GetCaption(), "Города"_a);
  EXPECT_EQ(readLevel->GetGridView(), readView);
  EXPECT_EQ(readGrid->GetActiveLevel(), readLevel);
  EXPECT_EQ(readGrid->ActiveView(), readView);
  ASSERT_EQ(readLevel->GetCount(), 1);
  EXPECT_EQ(readLevel->GetItem(0)->GetMaxDetailHeight(), 120);
  EXPECT_EQ(readLevel->GetItem(0)->GetOptions()->GetDetailFrameWidth(), 3);
  EXPECT_EQ(orv::WriteComponentToText(target.get()), text);
}

TEST_F(StreamingTest, AControlInsideTheGridIsWrittenOnce) {
  Owned<TGridHost> source = NewHost();
  auto* grid = new TcxGrid(source.get());
  grid->SetName("grdTowns");
  grid->SetParent(source.get());
  auto* label = new TLabel(source.get());
  label->SetName("lblInside");
  label->SetParent(grid);
  const AnsiString text = orv::WriteComponentToText(source.get());
  const auto first = text.find("object lblInside");
  ASSERT_NE(first, AnsiString::npos) << text;
  EXPECT_EQ(text.find("object lblInside", first + 1), AnsiString::npos) << text;
}

TEST_F(StreamingTest, AClientAlignedGridInAFormReadsAndWritesBackUnchanged) {
  const AnsiString text =
      "object Host: TGridHost\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  Caption = 'Host'\n"
      "  ClientHeight = 453\n"
      "  ClientWidth = 632\n"
      "  Font.Charset = DEFAULT_CHARSET\n"
      "  Font.Color = clWindowText\n"
      "  Font.Height = -11\n"
      "  Font.Name = 'MS Sans Serif'\n"
      "  Font.Style = []\n"
      "  OldCreateOrder = False\n"
      "  PixelsPerInch = 96\n"
      "  object grdOrvane: TcxGrid\n"
      "    Left = 0\n"
      "    Top = 0\n"
      "    Width = 632\n"
      "    Height = 453\n"
      "    LookAndFeel.AssignedValues = [lfvKind]\n"
      "    LookAndFeel.Kind = lfOffice11\n"
      "    Align = alClient\n"
      "    Anchors = [akLeft, akTop, akRight, akBottom]\n"
      "    Enabled = False\n"
      "    PopupMenu = mnuGrid\n"
      "    TabOrder = 0\n"
      "    OnDblClick = grdOrvaneDblClick\n"
      "  end\n"
      "  object mnuGrid: TPopupMenu\n"
      "  end\n"
      "end\n";
  Owned<TGridHost> host = NewHost();
  orv::ReadComponentFromText(host.get(), text);
  auto* grid = dynamic_cast<TcxGrid*>(host->FindComponent("grdOrvane"));
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->GetAlign(), alClient);
  EXPECT_FALSE(grid->GetEnabled());
  EXPECT_EQ(grid->GetPopupMenu(), host->FindComponent("mnuGrid"));
  EXPECT_EQ(grid->GetBoundsRect(), Rect(0, 0, 632, 453));
  ASSERT_TRUE(grid->GetOnDblClick());
  grid->GetOnDblClick()(grid);
  EXPECT_EQ(host->DblClicks, 1);
  EXPECT_EQ(orv::WriteComponentToText(host.get()), text);
  // Defaults stay out of the description.
  for (const char* name : {"Visible", "TabStop", "DragMode", "ParentFont", "BorderStyle"})
    EXPECT_EQ(text.find(AnsiString("    ") + name + " ="), AnsiString::npos) << name;
}

TEST_F(StreamingTest, RenamingTheGridRenamesItsViewsAndLevels) {
  Owned<TGridHost> host = NewHost();
  auto* grid = new TcxGrid(host.get());
  grid->SetName("grd");
  grid->SetParent(host.get());
  TcxCustomGridView* view = grid->CreateView(TTestGridView::StaticClass());
  view->SetName("grdView");
  TcxGridLevel* level = grid->AddLevel();
  level->SetName("grdLevel1");
  TcxGridLevel* detail = level->Add();
  detail->SetName("grdLevel2");
  TcxGridLevel* other = grid->AddLevel();
  other->SetName("Other");
  grid->SetName("grdOrvane");
  EXPECT_EQ(view->GetName(), "grdOrvaneView");
  EXPECT_EQ(level->GetName(), "grdOrvaneLevel1");
  EXPECT_EQ(detail->GetName(), "grdOrvaneLevel2");
  EXPECT_EQ(other->GetName(), "Other");
}

}  // namespace
}  // namespace grid_test

namespace grid_test {
namespace {

// The unbound view's records travel with the form as its data controller's "Data".
TEST_F(StreamingTest, AnUnboundViewsRecordsTravelWithTheFormOnlyWhenThereAreAny) {
  Owned<TGridHost> source = NewHost();
  auto* grid = new TcxGrid(source.get());
  grid->SetName("grdTowns");
  grid->SetParent(source.get());
  auto* view = static_cast<TcxGridTableView*>(grid->CreateView(TcxGridTableView::StaticClass()));
  view->SetName("grdTownsView");
  grid->AddLevel()->SetGridView(view);
  view->CreateColumn()->SetName("grdTownsViewCity");
  view->CreateColumn()->SetName("grdTownsViewLat");
  const AnsiString empty = orv::WriteComponentToText(source.get());
  EXPECT_EQ(empty.find("DataController.Data"), AnsiString::npos) << empty;

  TcxCustomDataController* dc = view->GetDataController();
  dc->SetRecordCount(2);
  dc->SetValue(0, 0, Variant(AnsiString("Москва"_a)));
  dc->SetValue(0, 1, Variant(55.75));
  dc->SetValue(1, 0, Variant(AnsiString("Омск"_a)));
  dc->SetValue(1, 1, Variant(54.98));
  const AnsiString text = orv::WriteComponentToText(source.get());
  EXPECT_NE(text.find("DataController.Data = {"), AnsiString::npos) << text;

  Owned<TGridHost> target = NewHost();
  orv::ReadComponentFromText(target.get(), text);
  auto* readView = dynamic_cast<TcxGridTableView*>(target->FindComponent("grdTownsView"));
  ASSERT_NE(readView, nullptr);
  TcxCustomDataController* read = readView->GetDataController();
  ASSERT_EQ(read->GetRecordCount(), 2);
  EXPECT_EQ(read->GetValue(0, 0).AsString(), "Москва"_a);
  EXPECT_EQ(read->GetValue(1, 0).AsString(), "Омск"_a);
  EXPECT_DOUBLE_EQ(read->GetValue(1, 1).AsDouble(), 54.98);
  EXPECT_EQ(static_cast<TcxGridDataController*>(read)->GetLoadedData(), nullptr) << "held only until loaded";
  EXPECT_EQ(orv::WriteComponentToText(target.get()), text);

  // A size that claims more bytes than the description holds is refused.
  const auto at = text.find("DataController.Data = {");
  std::string spoiled = text;
  const auto hex = spoiled.find_first_of("0123456789ABCDEF", at + 23);
  spoiled.replace(hex, 8, "FFFFFF7F");
  Owned<TGridHost> damaged = NewHost();
  EXPECT_ANY_THROW(orv::ReadComponentFromText(damaged.get(), spoiled));
}

}  // namespace
}  // namespace grid_test
