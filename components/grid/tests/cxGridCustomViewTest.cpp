// A laid-out view on the headless desktop: the site placed over the grid's client area, hit tests
// at points of its cells, the shared hit-test instances, the cells' mouse states through real
// mouse input, painting with the background left where no cell lies, lazy cell parameters, the
// options and styles bases, and pattern synchronization.
#include <gtest/gtest.h>

#include "components/grid/tests/GridFixture.h"
#include "platform/drawing/GoldenImage.h"
#include "platform/drawing/Surface.h"

namespace grid_test {
namespace {

class ViewTest : public GridFixture {
 protected:
  void SetUp() override {
    GridFixture::SetUp();
    Grid->SetBorderStyle(cxcbsNone);
    View = AddLevelWithView();
    Show();
  }
  TcxCustomGridHitTest* HitTest(int x, int y) { return View->GetViewInfo()->GetHitTest(x, y); }
  // A press and release at a client point of the site.
  void ClickAt(int x, int y) {
    const TPoint p = View->GetSite()->ClientToScreen(Point(x, y));
    orv::headless::AdvanceTime(1000);
    orv::headless::MouseMove(p.X, p.Y);
    Run();
    orv::headless::MouseDown(0);
    Run();
  }
  void MoveTo(int x, int y) {
    const TPoint p = View->GetSite()->ClientToScreen(Point(x, y));
    orv::headless::MouseMove(p.X, p.Y);
    Run();
  }
  TTestGridView* View = nullptr;
};

TEST_F(ViewTest, TheActiveViewsSiteCoversTheGridsClientArea) {
  TcxGridSite* site = View->GetSite();
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->GetParent(), Grid);
  EXPECT_EQ(site->GetBoundsRect(), Grid->GetClientBounds());
  EXPECT_TRUE(View->GetViewInfo()->IsCalculated());
  EXPECT_EQ(View->TestViewInfo()->Cells[0]->GetBounds(), Rect(10, 10, 60, 30));
  EXPECT_EQ(View->GetSite()->GetViewInfo(), View->GetViewInfo());
}

TEST_F(ViewTest, HitTestsAnswerTheCellOrTheEmptyViewAtAPoint) {
  struct TCase {
    TPoint Point;
    Integer Code;
    int Cell;  // -1 none
  };
  for (const TCase& c : {TCase{{10, 10}, 900, 0}, TCase{{59, 29}, 900, 0}, TCase{{60, 10}, 0, -1},
                         TCase{{70, 20}, 900, 1}, TCase{{5, 5}, 0, -1}, TCase{{119, 29}, 900, 1}}) {
    TcxCustomGridHitTest* hitTest = HitTest(c.Point.X, c.Point.Y);
    ASSERT_NE(hitTest, nullptr);
    EXPECT_EQ(hitTest->GetHitTestCode(), c.Code) << c.Point.X << "," << c.Point.Y;
    EXPECT_EQ(hitTest->GetPos(), c.Point);
    EXPECT_EQ(static_cast<TcxCustomGridViewHitTest*>(hitTest)->GetGridView(), View);
    TcxCustomGridCellViewInfo* expected = c.Cell < 0 ? nullptr : View->TestViewInfo()->Cells[std::size_t(c.Cell)];
    EXPECT_EQ(hitTest->GetViewInfo(), expected) << c.Point.X << "," << c.Point.Y;
  }
}

TEST_F(ViewTest, AHitTestClassHasOneInstanceThatTheLastQueryFills) {
  TcxCustomGridHitTest* first = HitTest(20, 20);
  TcxCustomGridHitTest* second = HitTest(80, 20);
  EXPECT_EQ(first, second);
  EXPECT_EQ(second->GetPos(), Point(80, 20));
  EXPECT_EQ(second->GetViewInfo(), View->TestViewInfo()->Cells[1]);
  EXPECT_EQ(View->TestViewInfo()->Cells[1]->GetLinkedHitTest(), second);
  EXPECT_EQ(View->TestViewInfo()->Cells[0]->GetLinkedHitTest(), nullptr);
  // A cell that goes unlinks the hit test that names it.
  View->TestViewInfo()->RecreateViewInfos();
  EXPECT_EQ(second->GetViewInfo(), nullptr);
  EXPECT_EQ(GridHitTests()->Instance(TTestCellHitTest::StaticClass()), second);
}

TEST_F(ViewTest, TheCursorComesFromTheHitTestUnderThePoint) {
  EXPECT_EQ(View->GetController()->GetCursor(20, 20), crcxGridHorzSize);
  EXPECT_EQ(View->GetController()->GetCursor(200, 100), crDefault);
  EXPECT_EQ(TcxGridDesignSelectorHitTest().Cursor(), crcxHandPoint);
  EXPECT_EQ(TcxGridDesignSelectorHitTest().GetHitTestCode(), htDesignSelector);
}

TEST_F(ViewTest, ACellGoesHotPressedAndClickedUnderTheMouse) {
  TTestCellViewInfo* cell = View->TestViewInfo()->Cells[0];
  MoveTo(20, 20);
  EXPECT_EQ(cell->GetState(), gcsHot);
  ClickAt(20, 20);
  EXPECT_EQ(cell->GetState(), gcsPressed);
  orv::headless::MouseUp(0);
  Run();
  EXPECT_EQ(cell->Clicks, 1);
  EXPECT_EQ(cell->GetState(), gcsNone);
  MoveTo(21, 20);
  EXPECT_EQ(cell->GetState(), gcsHot);
  MoveTo(200, 150);
  orv::headless::AdvanceTime(50);
  Run();
  EXPECT_EQ(cell->GetState(), gcsNone);
  // A press released elsewhere is no click.
  ClickAt(20, 20);
  MoveTo(200, 150);
  orv::headless::MouseUp(0);
  Run();
  EXPECT_EQ(cell->Clicks, 1);
}

TEST_F(ViewTest, ATruncatedCellTextShowsAHintThatGoesWithTheMouse) {
  TTestCellViewInfo* cell = View->TestViewInfo()->Cells[0];
  TTestCellViewInfo* other = View->TestViewInfo()->Cells[1];
  cell->Hinted = true;
  other->Hinted = true;
  cell->CellText = "A text far wider than its cell"_a;
  cell->Recalculate();
  TcxCustomGridController* controller = View->GetController();
  MoveTo(20, 20);
  ASSERT_NE(controller->GetHintWindow(), nullptr);
  EXPECT_EQ(controller->GetHintCell(), cell);
  EXPECT_TRUE(IsWindowVisible(controller->GetHintWindow()->GetHandle()));
  THintWindow* window = controller->GetHintWindow();
  MoveTo(22, 21);  // the same cell and text: the hint stays as it is
  EXPECT_EQ(controller->GetHintWindow(), window);
  EXPECT_EQ(controller->GetHintCell(), cell);
  MoveTo(80, 20);  // a cell whose text fits shows none
  EXPECT_EQ(controller->GetHintCell(), nullptr);
  EXPECT_FALSE(IsWindowVisible(window->GetHandle()));
}

TEST_F(ViewTest, AMouseMoveGoesToTheCellHoldingTheCapture) {
  TTestCellViewInfo* a = View->TestViewInfo()->Cells[0];
  TTestCellViewInfo* b = View->TestViewInfo()->Cells[1];
  a->SetMouseCapture(true);
  a->SetState(gcsPressed);
  View->GetController()->MouseMove(TShiftState(), 200, 100);
  EXPECT_EQ(a->GetState(), gcsHot);  // a captured press moved off the cell shows as hot
  EXPECT_EQ(b->GetState(), gcsNone);
  View->GetController()->MouseMove(TShiftState(), 20, 20);
  EXPECT_EQ(a->GetState(), gcsPressed);
  a->SetMouseCapture(false);
  EXPECT_EQ(a->GetState(), gcsNone);  // the capture lost
}

TEST_F(ViewTest, CellParametersAreComputedOnceUntilRecalculation) {
  TTestCellViewInfo* cell = View->TestViewInfo()->Cells[0];
  const int before = cell->ParamsCalculations;
  EXPECT_EQ(cell->Params().Color, TColor(clRed));
  EXPECT_EQ(cell->Params().Color, TColor(clRed));
  EXPECT_EQ(cell->ParamsCalculations, before);
  cell->BeforeRecalculation();
  EXPECT_EQ(cell->Params().Color, TColor(clRed));
  EXPECT_EQ(cell->ParamsCalculations, before + 1);
  // A rectangle turned inside out gives zero sizes.
  cell->Calculate(Rect(50, 40, 20, 10));
  EXPECT_EQ(cell->GetBounds(), Rect(50, 40, 50, 40));
}

TEST_F(ViewTest, ThePainterFillsTheBackgroundWhereNoCellLies) {
  const orv::TSurface surface = orv::headless::CaptureWindow(View->GetSite()->GetHandle());
  auto at = [&](int x, int y) { return orv::PixelToColor(surface.Pixel(x, y)) & 0xFFFFFF; };
  EXPECT_EQ(at(30, 25), COLORREF(ColorToRGB(clRed)));
  EXPECT_EQ(at(110, 25), COLORREF(ColorToRGB(clLime)));
  EXPECT_EQ(at(5, 5), COLORREF(ColorToRGB(clWindow)));
  EXPECT_EQ(at(200, 150), COLORREF(ColorToRGB(clWindow)));
}

TEST_F(ViewTest, ScrollBarsOptionSetsTheSiteAndQueuesALayoutOnlyWhenChanged) {
  TcxCustomGridOptionsView* options = View->GetOptionsView();
  const int calculations = View->TestViewInfo()->Calculations;
  options->SetScrollBars(options->GetScrollBars());
  EXPECT_EQ(View->TestViewInfo()->Calculations, calculations);
  options->SetScrollBars(ssNone);
  EXPECT_EQ(View->GetSite()->GetScrollBars(), ssNone);
  EXPECT_GT(View->TestViewInfo()->Calculations, calculations);
}

TEST_F(ViewTest, AnEmptyBackgroundBitmapFallsBackToTheStylesBitmap) {
  TcxCustomGridBackgroundBitmaps* bitmaps = View->GetBackgroundBitmaps();
  EXPECT_EQ(bitmaps->GetBitmap(0), nullptr);
  auto* style = new TcxStyle(Form.get());
  Owned<TBitmap> picture(new TBitmap);
  picture->SetSize(4, 4);
  style->SetBitmap(picture.get());
  View->GetStyles()->SetStyleValue(vsBackground, style);
  EXPECT_EQ(bitmaps->GetBitmap(0), style->GetBitmap());
  bitmaps->GetBackground()->SetSize(2, 2);
  EXPECT_EQ(bitmaps->GetBitmap(0), bitmaps->GetBackground());
  EXPECT_EQ(bitmaps->GetBitmap(1), nullptr);
}

TEST_F(ViewTest, AssigningAViewCopiesItsSettingsAndRefusesOtherObjects) {
  TTestGridView* other = AddView();
  other->GetOptionsBehavior()->SetPostponedSynchronization(false);
  other->GetOptionsView()->SetScrollBars(ssVertical);
  struct TSink {
    void Customized(TObject*) {}
  } sink;
  other->SetOnCustomization(TNotifyEvent(&sink, &TSink::Customized));
  View->Assign(other);
  EXPECT_FALSE(View->GetOptionsBehavior()->GetPostponedSynchronization());
  EXPECT_EQ(View->GetOptionsView()->GetScrollBars(), ssVertical);
  EXPECT_EQ(View->GetOnCustomization(), other->GetOnCustomization());
  EXPECT_FALSE(View->IsUpdateLocked());
  EXPECT_ANY_THROW(View->Assign(Grid->GetLevelTabs()));
}

TEST_F(ViewTest, AClonesPostponedSynchronizationReadsItsPatterns) {
  TTestGridView* clone = AddView();
  View->AddClone(clone);
  EXPECT_EQ(clone->PatternGridView(), View);
  clone->GetOptionsBehavior()->SetPostponedSynchronization(false);
  EXPECT_TRUE(clone->GetOptionsBehavior()->GetPostponedSynchronization());
  View->GetOptionsBehavior()->SetPostponedSynchronization(false);
  EXPECT_FALSE(clone->GetOptionsBehavior()->GetPostponedSynchronization());
  View->RemoveClone(clone);
  EXPECT_EQ(clone->PatternGridView(), clone);
}

TEST_F(ViewTest, LayoutStorageListsTheVersion) {
  TStringList properties;
  EXPECT_TRUE(View->GetStoredProperties(&properties));
  ASSERT_EQ(properties.GetCount(), 1);
  EXPECT_EQ(properties.Get(0), "Version");
  Variant value;
  View->GetStoredPropertyValue("Version", value);
  EXPECT_EQ(value.AsInteger(), 1);
  View->SetStoredPropertyValue("Version", Variant(Integer(7)));
  EXPECT_EQ(View->GetStoredVersion(), 7);
  View->SetName("grdTowns");
  EXPECT_EQ(View->GetObjectName(), "grdTowns");
  View->SetStoringName("Stored");
  EXPECT_EQ(View->GetObjectName(), "Stored");
}

TEST_F(ViewTest, RegisteredViewsListDatasetKindsLast) {
  TcxGridRegisteredViews views(false);
  views.AddClass(TTestGridView::StaticClass(), "DB Table");
  views.AddClass(TcxCustomGridView::StaticClass(), "Table");
  views.AddClass(TcxGridLevel::StaticClass(), "Banded");
  views.SetSortedState(true);
  ASSERT_EQ(views.GetCount(), 3);
  EXPECT_EQ(views.GetItemDescription(0), "Banded");
  EXPECT_EQ(views.GetItemDescription(1), "Table");
  EXPECT_EQ(views.GetItemDescription(2), "DB Table");
}

TEST_F(ViewTest, CustomizationOpensAFormAtTheSitesBottomRightCorner) {
  int customizations = 0;
  struct TSink {
    int* Count;
    void Customized(TObject*) { ++*Count; }
  } sink{&customizations};
  View->SetOnCustomization(TNotifyEvent(&sink, &TSink::Customized));
  View->RunLayoutCustomization();
  EXPECT_TRUE(View->GetController()->GetCustomization());
  auto* form = dynamic_cast<TcxCustomGridCustomizationForm*>(View->GetController()->GetCustomizationForm());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->GetCaption(), "Customization");
  const TPoint corner = View->GetSite()->ClientToScreen(
      Point(View->GetSite()->GetClientWidth(), View->GetSite()->GetClientHeight()));
  EXPECT_EQ(form->GetBoundsRect(), Rect(corner.X - 180, corner.Y - 300, corner.X, corner.Y));
  EXPECT_NE(form->GetPageControl(), nullptr);
  EXPECT_EQ(customizations, 1);
  Run();
  orv::headless::AdvanceTime(150);
  Run();
  EXPECT_TRUE(View->GetController()->GetCustomization());  // the view is still shown
  View->GetController()->SetCustomization(false);
  EXPECT_FALSE(View->GetController()->GetCustomization());
  EXPECT_EQ(View->GetController()->GetCustomizationForm(), nullptr);
  EXPECT_EQ(customizations, 2);
  // Hiding the level detaches the view from its level tab and turns customization off.
  View->GetController()->SetCustomization(true);
  Grid->GetActiveLevel()->SetGridView(nullptr);
  EXPECT_FALSE(View->GetController()->GetCustomization());
}

class TTestMovingObject : public TcxCustomGridMovingObject {
  ORV_CLASS(TTestMovingObject, TcxCustomGridMovingObject)
 public:
  explicit TTestMovingObject(TcxControl* control) : TcxCustomGridMovingObject(control) {}
  Boolean Removable = false;
  Boolean CanRemove() override { return Removable; }
  void GetArrowsClientRect(TcxArrowPlace place, TRect& rect) override { rect = Rect(10, 10, 60, 30); }
  TWinControl* GetSourceListBox() override { return nullptr; }
  Boolean IsSourceCustomizationForm() override { return false; }
  Boolean AreArrowsVisible() override { return true; }
};

TEST_F(ViewTest, AMovedItemOutsideTheViewShowsTheRemoveOrNoDropCursor) {
  TTestMovingObject moving(View->GetSite());
  EXPECT_EQ(moving.GetDragAndDropCursor(true), crArrow);
  EXPECT_EQ(moving.GetDragAndDropCursor(false), crcxGridNoDrop);
  moving.Removable = true;
  EXPECT_EQ(moving.GetDragAndDropCursor(false), crcxGridRemove);
  EXPECT_EQ(moving.ArrowPlace(0), apTop);
  EXPECT_EQ(moving.ArrowPlace(1), apBottom);
}

TEST_F(ViewTest, StartingDragAndDropNeedsAClassFromTheHitTest) {
  EXPECT_FALSE(View->GetController()->StartDragAndDrop(Point(20, 20)));
  EXPECT_FALSE(View->GetController()->StartDragAndDrop(Point(200, 100)));
}

}  // namespace
}  // namespace grid_test
