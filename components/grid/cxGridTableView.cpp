#include "components/grid/cxGridTableView.h"

TcxDragAndDropObjectClass cxGridColumnHorzSizingObjectClass;
TcxDragAndDropObjectClass cxGridRowSizingObjectClass;
TcxDragAndDropObjectClass cxGridColumnMovingObjectClass;

TcxDragAndDropObjectClass TcxGridColumnHeaderHitTest::DragAndDropObjectClass() {
  return GetColumn() && GetColumn()->CanMove() ? cxGridColumnMovingObjectClass : TcxDragAndDropObjectClass();
}
