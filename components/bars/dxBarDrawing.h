// Drawing routines the bar windows, their painters and the status bar share.
#pragma once

#include "platform/drawing/GdiTypes.h"
#include "platform/runtime/Types.h"

// The platform's size-grip frame control drawn over what the DC shows in the rectangle: the
// glyph is drawn into a memory bitmap and only its lines are copied, the button-face colour of
// the glyph's background being transparent.
void DrawTransparentSizeGrip(HDC dc, const TRect& rect);
