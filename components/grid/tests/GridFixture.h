// A small concrete view for the grid base's tests: unbound data, the base handlers, and a view info
// that lays out a row of test cells (each a fixed rectangle with a colour and a text) so that hit
// tests, mouse states and painting can be checked at known points.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/grid/cxGrid.h"
#include "components/grid/cxGridCustomView.h"
#include "components/grid/cxGridLevel.h"
#include "platform/controls/Forms.h"
#include "platform/controls/tests/support/HeadlessFormTest.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/Headless.h"

namespace grid_test {

using orv::test::Owned;

// Unbound data without items.
class TTestDataController : public TcxDataController {
  ORV_CLASS(TTestDataController, TcxDataController)
 public:
  explicit TTestDataController(TComponent* owner) : TcxDataController(owner) {}
  TObject* GetItem(Integer index) override { return nullptr; }
};

class TTestCellHitTest : public TcxCustomGridViewHitTest {
  ORV_CLASS(TTestCellHitTest, TcxCustomGridViewHitTest)
 public:
  TTestCellHitTest() = default;
  Integer GetHitTestCode() const override { return 900; }
  TCursor Cursor() override { return crcxGridHorzSize; }
};

// A cell at a fixed place with a colour and a text; counts its clicks.
class TTestCellViewInfo : public TcxCustomGridViewCellViewInfo {
  ORV_CLASS(TTestCellViewInfo, TcxCustomGridViewCellViewInfo)
 public:
  TTestCellViewInfo(TcxCustomGridViewInfo* viewInfo, const TRect& place, TColor color, const AnsiString& text)
      : TcxCustomGridViewCellViewInfo(viewInfo), Place(place), Color(color), CellText(text) {}

  TRect Place;
  TColor Color;
  AnsiString CellText;
  Boolean Trackable = true;
  Boolean Hinted = false;
  int Clicks = 0;
  int ParamsCalculations = 0;

  TClass GetHitTestClass() override { return TTestCellHitTest::StaticClass(); }
  Boolean HotTrackable() override { return Trackable; }
  Boolean HasHint() override { return Hinted; }
  void Click() override { ++Clicks; }
  void GetText(AnsiString& text) override { text = CellText; }
  void GetViewParams(TcxViewParams& params) override {
    ++ParamsCalculations;
    params = TcxViewParams();
    params.Color = Color;
    params.TextColor = clBlack;
    params.Font = GetGridView()->GetControlGrid() ? GetGridView()->GetControlGrid()->GetFont() : nullptr;
  }
  Integer CalculateWidth() override { return Place.Width(); }
  Integer CalculateHeight() override { return Place.Height(); }
};

class TTestViewInfo : public TcxCustomGridViewInfo {
  ORV_CLASS(TTestViewInfo, TcxCustomGridViewInfo)
 public:
  explicit TTestViewInfo(TcxCustomGridView* view) : TcxCustomGridViewInfo(view) {}

  std::vector<TTestCellViewInfo*> Cells;
  int Calculations = 0;

  void CreateViewInfos() override {
    inherited::CreateViewInfos();
    Cells.push_back(new TTestCellViewInfo(this, Rect(10, 10, 60, 30), clRed, "A"));
    Cells.push_back(new TTestCellViewInfo(this, Rect(70, 10, 120, 30), clLime, "B"));
    for (TTestCellViewInfo* cell : Cells) cell->AfterConstruction();
  }
  void DestroyViewInfos(Boolean full) override {
    for (TTestCellViewInfo* cell : Cells) cell->Free();
    Cells.clear();
    inherited::DestroyViewInfos(full);
  }
  void Calculate() override {
    inherited::Calculate();
    ++Calculations;
    for (TTestCellViewInfo* cell : Cells) cell->Calculate(cell->Place);
  }
  TcxCustomGridHitTest* GetContentHitTest(const TPoint& point) override {
    for (TTestCellViewInfo* cell : Cells)
      if (TcxCustomGridHitTest* hitTest = cell->GetHitTest(point)) return hitTest;
    return inherited::GetContentHitTest(point);
  }
};

class TTestPainter : public TcxCustomGridPainter {
  ORV_CLASS(TTestPainter, TcxCustomGridPainter)
 public:
  explicit TTestPainter(TcxCustomGridView* view) : TcxCustomGridPainter(view) {}
  void PaintContent() override {
    auto* viewInfo = static_cast<TTestViewInfo*>(ViewInfo());
    for (TTestCellViewInfo* cell : viewInfo->Cells) {
      cell->Paint(Canvas());
      ExcludeFromBackground(cell->GetBounds());
    }
  }
};

class TTestGridView : public TcxCustomGridView {
  ORV_CLASS(TTestGridView, TcxCustomGridView)
 public:
  explicit TTestGridView(TComponent* owner) : TcxCustomGridView(owner) {}

  int DataControllerNotices = 0;

  TTestViewInfo* TestViewInfo() const { return static_cast<TTestViewInfo*>(GetViewInfo()); }
  TcxCustomGridControllerClass GetControllerClass() override { return TcxCustomGridController::StaticClass(); }
  TcxCustomDataControllerClass GetDataControllerClass() override { return TTestDataController::StaticClass(); }
  TcxCustomGridPainterClass GetPainterClass() override { return TTestPainter::StaticClass(); }
  TcxCustomGridViewDataClass GetViewDataClass() override { return TcxCustomGridViewData::StaticClass(); }
  TcxCustomGridViewInfoClass GetViewInfoClass() override { return TTestViewInfo::StaticClass(); }
  void DataControllerNotification(TComponent* childLevel, Integer oldVisibleCount, Integer newVisibleCount) override {
    ++DataControllerNotices;
  }
};

// A form with a grid on the headless desktop.
class GridFixture : public orv::test::HeadlessFormTest {
 protected:
  GridFixture() : HeadlessFormTest({100, 100, 400, 300}) {}
  void SetUp() override {
    HeadlessFormTest::SetUp();
    Grid = new TcxGrid(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(10, 10, 300, 200);
  }
  TTestGridView* AddView() { return static_cast<TTestGridView*>(Grid->CreateView(TTestGridView::StaticClass())); }
  // A top level showing a new view.
  TTestGridView* AddLevelWithView(TcxGridLevel** level = nullptr) {
    TcxGridLevel* l = Grid->AddLevel();
    TTestGridView* view = AddView();
    l->SetGridView(view);
    if (level) *level = l;
    return view;
  }

  TcxGrid* Grid = nullptr;
};

}  // namespace grid_test
