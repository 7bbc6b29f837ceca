// The non-client frame of resizable drop-down windows: the window border and a sizing panel
// between the border and the client area, with a size grip in one corner and a close button at
// the other end. The panel lies below the client area of a drop-down that opened downward and
// above it otherwise; the grip points into the outer corner.
//
// Corner codes: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right (where the grip sits).
#pragma once

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Types.h"
#include "platform/windowing/WinTypes.h"

class TcxCanvas;

// The panel's height: the caption-button height + 1 when the scroll-bar height + 2 is smaller,
// else the scroll-bar height + 3.
Integer CalcDropDownPanelHeight();
// The corner a drop-down window's grip goes to, from where it lies against its owner (both in
// screen coordinates): the bottom when it extends below the owner, the right when it reaches
// past the owner's left.
Integer GetDropDownCorner(const TRect& ownerRect, const TRect& dropDownRect);
// The size grip cut into the corner square of `rect` (which becomes that square), with two
// button-face bands along the outer edges and the platform's grip glyph mirrored into the corner.
void PaintDropDownSizeGrip(HDC dc, TRect& rect, Integer corner);
// The close button's square at the end of the panel opposite the grip.
void CalcCloseButtonRect(TRect& rect, Integer corner);
void PaintCloseButton(TcxCanvas* canvas, TRect& rect, Boolean hot, Integer corner, Boolean flat, Boolean pressed);
// Paints the window's whole non-client frame in its window DC; the close button's and the grip's
// rectangles come back in screen coordinates (empty without panel).
void PaintDropDownFrame(HWND window, Boolean hasPanel, Boolean flat, Boolean hot, Boolean down, TRect& closeButtonRect,
                        TRect& gripRect, Integer corner);
