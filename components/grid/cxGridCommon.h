// Shared pieces of the grid: its cursors, the cell states and the small helpers of the cell view
// infos and painters.
#pragma once

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "platform/controls/Controls.h"
#include "platform/runtime/Types.h"

// The grid's cursors. Six of them take the library's cursors when the grid starts; the
// select-row cursor is the grid's own, loaded from the program's "CX_GRIDSELECTROWCURSOR".
extern TCursor crcxGridHorzSize;
extern TCursor crcxGridVertSize;
extern TCursor crcxGridRemove;
extern TCursor crcxGridNoDrop;
extern TCursor crcxGridDrag;
extern TCursor crcxGridMultiDrag;
inline constexpr TCursor crcxGridSelectRow = 4007;

// The mouse state of a cell: none, hot (under the mouse) or pressed.
enum TcxGridCellState : Byte { gcsNone, gcsSelected, gcsPressed };
// The design's names of the hot state.
inline constexpr TcxGridCellState gcsHot = gcsSelected;

// The kind of a view change: settings only (clones follow), the layout, or sizes.
enum TcxGridViewChangeKind : Integer { vcProperty = 0, vcLayout = 1, vcSize = 2 };

namespace orv {
inline constexpr Integer kGridMaxInt = 0x7FFFFFFF;
// The overlap of two rectangles (all zero when they do not overlap).
inline TRect RectIntersection(const TRect& a, const TRect& b) {
  TRect r;
  IntersectRects(r, a, b);
  return r;
}
// The nearest colour the screen shows.
TColor GridNearestScreenColor(TColor color);
// Registers the grid's cursors once (the foundation's cursors first); every grid control calls it.
void InitializeGridCommonUnit();
}  // namespace orv

// The painter's button state of a cell state.
TcxButtonState GridCellStateToButtonState(TcxGridCellState state);
// Adds 4 to the value (the text offsets of cells).
void GridIncludeTextOffsets(Integer& value);
