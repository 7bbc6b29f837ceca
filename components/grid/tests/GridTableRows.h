// A plain records layout for the table-like view's tests and benchmarks: each record is a row of
// data cells, one per visible item side by side at the item's width, the row as high as its
// tallest cell; rows stack downward from the view's first record.
#pragma once

#include <algorithm>
#include <vector>

#include "components/grid/cxGridCustomTableView.h"

namespace grid_rows {

class TRowViewInfo;

// Paints the row's cells after the row's background.
class TRowPainter : public TcxCustomGridRecordPainter {
  ORV_CLASS(TRowPainter, TcxCustomGridRecordPainter)
 public:
  using TcxCustomGridRecordPainter::TcxCustomGridRecordPainter;
  void Paint() override;
};

class TRowViewInfo : public TcxCustomGridRecordViewInfo {
  ORV_CLASS(TRowViewInfo, TcxCustomGridRecordViewInfo)
 public:
  TRowViewInfo(TcxCustomGridRecordsViewInfo* recordsViewInfo, TcxCustomGridRecord* record)
      : TcxCustomGridRecordViewInfo(recordsViewInfo, record) {
    TcxCustomGridTableView* view = recordsViewInfo->GetGridView();
    for (Integer i = 0; i < view->GetVisibleItemCount(); ++i) {
      auto* cell = new TcxGridTableDataCellViewInfo(this, view->GetVisibleItem(i));
      cell->AfterConstruction();
      Cells.push_back(cell);
    }
  }
  void BeforeDestruction() override {
    for (TcxGridTableDataCellViewInfo* cell : Cells) cell->Free();
    Cells.clear();
    inherited::BeforeDestruction();
  }

  std::vector<TcxGridTableDataCellViewInfo*> Cells;

  Integer CalculateRecordHeight() override {
    Integer height = 0;
    for (TcxGridTableDataCellViewInfo* cell : Cells) height = std::max(height, cell->CalculateHeight());
    return height > 0 ? height : 18;
  }
  // As wide as its cells.
  Integer CalculateWidth() override {
    Integer width = 0;
    for (TcxGridTableDataCellViewInfo* cell : Cells) width += cell->GetItem()->GetWidth();
    return width;
  }
  void Calculate(Integer left, Integer top, Integer width = -1, Integer height = -1) override {
    inherited::Calculate(left, top, width, height);
    Integer x = left;
    for (TcxGridTableDataCellViewInfo* cell : Cells) {
      const Integer w = cell->GetItem()->GetWidth();
      cell->Calculate(x, top, w, GetBounds().Height());
      x += w;
    }
  }
  using TcxCustomGridRecordViewInfo::Calculate;
  void Offset(Integer dx, Integer dy) override {
    inherited::Offset(dx, dy);
    for (TcxGridTableDataCellViewInfo* cell : Cells) cell->Offset(dx, dy);
  }
  TcxGridTableDataCellViewInfo* GetCellViewInfoByItem(TcxCustomGridTableItem* item) override {
    for (TcxGridTableDataCellViewInfo* cell : Cells)
      if (cell->GetItem() == item) return cell;
    return nullptr;
  }
  void GetCellBoundsForItem(TcxCustomGridTableItem* item, TRect& rect) override {
    TcxGridTableDataCellViewInfo* cell = GetCellViewInfoByItem(item);
    rect = cell ? cell->GetBounds() : TRect{};
  }
  TcxCustomGridHitTest* GetHitTest(const TPoint& point) override {
    if (!HasPoint(point)) return nullptr;
    for (TcxGridTableDataCellViewInfo* cell : Cells)
      if (TcxCustomGridHitTest* hitTest = cell->GetHitTest(point)) return hitTest;
    return inherited::GetHitTest(point);
  }
  TcxCustomGridCellPainterClass GetPainterClass() override { return TRowPainter::StaticClass(); }
};

inline void TRowPainter::Paint() {
  for (TcxGridTableDataCellViewInfo* cell : static_cast<TRowViewInfo*>(GetViewInfo())->Cells) cell->Paint(GetCanvas());
}

class TRowsViewInfo : public TcxCustomGridRecordsViewInfo {
  ORV_CLASS(TRowsViewInfo, TcxCustomGridRecordsViewInfo)
 public:
  explicit TRowsViewInfo(TcxCustomGridTableViewInfo* gridViewInfo) : TcxCustomGridRecordsViewInfo(gridViewInfo) {}

  Integer GetRecordLeft(Integer index) override { return ContentBounds().Left; }
  Integer GetRecordTop(Integer index) override {
    if (index == 0 || !ExistingItem(index - 1)) return ContentBounds().Top;
    return ExistingItem(index - 1)->GetBounds().Bottom;
  }
  Integer GetRecordsOffset(Integer count) override {
    // The extent of the first `count` rows (they leave upward) or of the rows that came in above.
    Integer extent = 0;
    const Integer n = std::abs(count);
    for (Integer i = 0; i < n && i < Count(); ++i)
      if (TcxCustomGridRecordViewInfo* item = ExistingItem(count > 0 ? i : i))
        extent += item->GetBounds().Height();
    return count > 0 ? -extent : extent;
  }
  void OffsetRecordViewInfo(Integer index, Integer offset) override {
    if (TcxCustomGridRecordViewInfo* item = ExistingItem(index)) item->Offset(0, offset);
  }
  void CalculateVisibleCount() override {
    Integer visible = 0;
    for (Integer i = 0; i < Count(); ++i) {
      TcxCustomGridRecordViewInfo* item = ExistingItem(i);
      if (!item || item->GetBounds().Bottom > ContentBounds().Bottom) break;
      ++visible;
    }
    SetVisibleCount(visible);
  }
  void Calculate() override {
    ClearItems();
    PrepareCalculation();
    CalculateBounds();
    Integer top = ContentBounds().Top;
    for (Integer i = 0; i < MaxCount() && top < ContentBounds().Bottom; ++i) {
      TcxCustomGridRecordViewInfo* item = ItemAt(i);
      if (!item) break;
      item->CalculateAt(ContentBounds().Left, top);
      top = item->GetBounds().Bottom;
    }
    CalculateVisibleCount();
    FinishCalculation();
  }
};

class TTableViewInfo : public TcxCustomGridTableViewInfo {
  ORV_CLASS(TTableViewInfo, TcxCustomGridTableViewInfo)
 public:
  explicit TTableViewInfo(TcxCustomGridView* view) : TcxCustomGridTableViewInfo(view) {}
  int Calculations = 0;
  TcxCustomGridRecordsViewInfoClass RecordsViewInfoClass() override { return TRowsViewInfo::StaticClass(); }
  void Calculate() override {
    inherited::Calculate();
    ++Calculations;
  }
};

// A data record laid out as a row.
class TDataRow : public TcxCustomGridRecord {
  ORV_CLASS(TDataRow, TcxCustomGridRecord)
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
  Boolean GetHasCells() override { return true; }
  Boolean CanFocusCells() override { return true; }
  orv::ClassOf<TcxCustomGridRecordViewInfo> GetViewInfoClass() override { return TRowViewInfo::StaticClass(); }
};

}  // namespace grid_rows
