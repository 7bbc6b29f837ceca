// The frame of resizable drop-down windows: border, sizing panel, size grip and close button.

#include "components/bars/dxBarCommon.h"

#include <algorithm>

#include "components/foundation/cxGraphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/windowing/User.h"

namespace {

Boolean DdEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

void DdFill(HDC dc, const TRect& rect, HBRUSH brush) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FillRect(dc, &r, brush);
}

void DdFrame(HDC dc, const TRect& rect, HBRUSH brush) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FrameRect(dc, &r, brush);
}

TRect DdOffset(const TRect& r, Integer dx, Integer dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

}  // namespace

Integer CalcDropDownPanelHeight() {
  const Integer size = GetSystemMetrics(SM_CYSIZE);
  const Integer scroll = GetSystemMetrics(SM_CYHSCROLL);
  return scroll + 2 < size ? size + 1 : scroll + 3;
}

Integer GetDropDownCorner(const TRect& ownerRect, const TRect& dropDownRect) {
  const Boolean below = ownerRect.Bottom < dropDownRect.Bottom;
  const Boolean right = ownerRect.Left < dropDownRect.Right;
  return (below ? 2 : 0) + (right ? 1 : 0);
}

void PaintDropDownSizeGrip(HDC dc, TRect& rect, Integer corner) {
  const Boolean atRight = corner == 1 || corner == 3;
  const Boolean atTop = corner == 0 || corner == 1;
  if (atRight)
    rect.Left = rect.Right - GetSystemMetrics(SM_CXVSCROLL);
  else
    rect.Right = rect.Left + GetSystemMetrics(SM_CXVSCROLL);
  if (atTop)
    rect.Bottom = rect.Top + GetSystemMetrics(SM_CYHSCROLL);
  else
    rect.Top = rect.Bottom - GetSystemMetrics(SM_CYHSCROLL);
  // Button-face bands along the two outer edges.
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  TRect inner = rect;
  if (atRight) {
    DdFill(dc, TRect{inner.Right - 2, inner.Top, inner.Right, inner.Bottom}, face);
    inner.Right -= 2;
  } else {
    DdFill(dc, TRect{inner.Left, inner.Top, inner.Left + 2, inner.Bottom}, face);
    inner.Left += 2;
  }
  if (atTop) {
    DdFill(dc, TRect{inner.Left, inner.Top, inner.Right, inner.Top + 2}, face);
    inner.Top += 2;
  } else {
    DdFill(dc, TRect{inner.Left, inner.Bottom - 2, inner.Right, inner.Bottom}, face);
    inner.Bottom -= 2;
  }
  if (DdEmpty(inner)) return;
  // The platform's grip points to the bottom right; it is mirrored into the corner.
  const Integer w = inner.Width(), h = inner.Height();
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, w, h};
  DrawFrameControl(memory, &all, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  const Boolean mirrorX = corner == 0 || corner == 2;
  const Boolean mirrorY = atTop;
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      BitBlt(dc, inner.Left + (mirrorX ? w - 1 - x : x), inner.Top + (mirrorY ? h - 1 - y : y), 1, 1, memory, x, y,
             SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

void CalcCloseButtonRect(TRect& rect, Integer corner) {
  Integer q = std::min(Integer(GetSystemMetrics(SM_CXSIZE)), rect.Height() - 4);
  if (q % 2 == 0) --q;
  q = std::max(q, 0);
  TRect area = rect;
  if (corner == 1 || corner == 3)
    area.Right = area.Left + q + 4;
  else
    area.Left = area.Right - q - 4;
  const Integer left = area.Left + (area.Width() - q) / 2;
  const Integer top = area.Top + (area.Height() - q) / 2 + (corner == 2 || corner == 3 ? 1 : 0);
  rect = TRect{left, top, left + q, top + q};
}

void PaintCloseButton(TcxCanvas* canvas, TRect& rect, Boolean hot, Integer corner, Boolean flat, Boolean pressed) {
  CalcCloseButtonRect(rect, corner);
  HDC dc = canvas->GetHandle();
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT | (pressed && !flat ? DFCS_PUSHED : 0));
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  if (!hot || flat)
    DdFrame(dc, rect, face);
  else
    canvas->Draw3DEdge(rect, pressed, true);
  const TRect inner{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  if (!DdEmpty(inner)) DdFrame(dc, inner, face);
}

void PaintDropDownFrame(HWND window, Boolean hasPanel, Boolean flat, Boolean hot, Boolean down, TRect& closeButtonRect,
                        TRect& gripRect, Integer corner) {
  closeButtonRect = TRect();
  gripRect = TRect();
  if (!window) return;
  RECT windowRect{}, client{};
  GetWindowRect(window, &windowRect);
  GetClientRect(window, &client);
  // The client rectangle in window coordinates.
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const TRect c{origin.X - windowRect.Left, origin.Y - windowRect.Top, origin.X - windowRect.Left + client.Right,
                origin.Y - windowRect.Top + client.Bottom};
  const TRect r{0, 0, windowRect.Right - windowRect.Left, windowRect.Bottom - windowRect.Top};
  const Integer bw = std::max<Integer>(c.Left, 0);
  HDC dc = GetWindowDC(window);
  if (!dc) return;
  {
    TcxCanvas canvas(dc);
    const TColor borderColor = flat ? clBtnShadow : clWindowFrame;
    if (bw > 0) canvas.DrawBorderLines(r, borderColor, bw, cxBordersAll);
    if (hasPanel) {
      TRect panel{r.Left + bw, r.Top + bw, r.Right - bw, r.Bottom - bw};
      const Boolean below = corner == 2 || corner == 3;
      if (below)
        panel.Top = c.Bottom;
      else
        panel.Bottom = c.Top;
      if (!DdEmpty(panel)) {
        HRGN saved = CreateRectRgn(0, 0, 0, 0);
        const Boolean had = GetClipRgn(dc, saved) == 1;
        IntersectClipRect(dc, panel.Left, panel.Top, panel.Right, panel.Bottom);
        if (bw > 0) {
          const TRect line = below ? TRect{panel.Left, panel.Top, panel.Right, panel.Top + bw}
                                   : TRect{panel.Left, panel.Bottom - bw, panel.Right, panel.Bottom};
          canvas.FillRectWithColor(line, borderColor);
        }
        TRect grip = panel;
        PaintDropDownSizeGrip(dc, grip, corner);
        ExcludeClipRect(dc, grip.Left, grip.Top, grip.Right, grip.Bottom);
        gripRect = DdOffset(grip, windowRect.Left, windowRect.Top);
        TRect button = panel;
        PaintCloseButton(&canvas, button, hot || down, corner, flat, hot && down);
        ExcludeClipRect(dc, button.Left, button.Top, button.Right, button.Bottom);
        closeButtonRect = DdOffset(button, windowRect.Left, windowRect.Top);
        DdFill(dc, panel, GetSysColorBrush(COLOR_BTNFACE));
        SelectClipRgn(dc, had ? saved : nullptr);
        DeleteObject(saved);
      }
    }
  }
  ReleaseDC(window, dc);
}
