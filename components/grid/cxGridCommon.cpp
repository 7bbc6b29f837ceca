#include "components/grid/cxGridCommon.h"

#include "components/foundation/cxControls.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/Forms.h"
#include "platform/windowing/Backend.h"
#include "platform/windowing/User.h"

TCursor crcxGridHorzSize = crcxHorzSize;
TCursor crcxGridVertSize = crcxVertSize;
TCursor crcxGridRemove = crcxRemove;
TCursor crcxGridNoDrop = crcxNoDrop;
TCursor crcxGridDrag = crcxDrag;
TCursor crcxGridMultiDrag = crcxMultiDrag;

namespace orv {

TColor GridNearestScreenColor(TColor color) { return GetNearestScreenColor(color); }

void InitializeGridCommonUnit() {
  static Boolean started = false;
  if (started) return;
  started = true;
  InitializeControlsUnit();
  constexpr const char* kSelectRow = "CX_GRIDSELECTROWCURSOR";
  HCURSOR cursor = LoadCursor(GetModuleHandle(nullptr), kSelectRow);
  if (!cursor) {
    // A program without the resource gets the system arrow in its place.
    RegisterCursorResource(kSelectRow, LoadCursor(nullptr, IDC_ARROW));
    cursor = LoadCursor(GetModuleHandle(nullptr), kSelectRow);
  }
  if (Screen) Screen->SetCursors(crcxGridSelectRow, cursor);
}

}  // namespace orv

TcxButtonState GridCellStateToButtonState(TcxGridCellState state) {
  switch (state) {
    case gcsSelected: return cxbsHot;
    case gcsPressed: return cxbsPressed;
    default: return cxbsNormal;
  }
}

void GridIncludeTextOffsets(Integer& value) { value += 4; }
