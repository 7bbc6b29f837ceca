// The drawing routines of the control unit. They need the canvas of cxGraphics, whose pixel
// formats clash with the controls layer's graphics header that cxControls.cpp includes, so they
// are compiled apart.
#include "components/foundation/cxControls.h"
#include "components/foundation/cxGraphics.h"

void DrawDragAndDropArrow(TcxCanvas* canvas, const TRect& rect, TcxArrowPlace place) {
  TcxArrowPoints points;
  GetDragAndDropArrowPoints(rect, place, points, 0);
  canvas->SetBrushColor(TColor(0x00FF00));
  canvas->SetPenColor(clBlack);
  canvas->DrawPolygon(points.data(), Integer(points.size()));
}
