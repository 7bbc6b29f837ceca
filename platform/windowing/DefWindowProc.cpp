// The default window procedure and the non-client area it manages: frames, captions and the
// window's own scroll bars (size, hit test, classic painting and mouse handling), the window
// text, activation and cursor defaults, and WM_PRINT.
#include <algorithm>
#include <cstring>

#include "platform/windowing/WindowInternal.h"

namespace orv::win {

namespace {

struct TInsets {
  int L = 0, T = 0, R = 0, B = 0;
};

int FrameWidth(DWORD style, DWORD exStyle) {
  if (style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
  if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
  if (style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
  return 0;
}

int CaptionHeight(DWORD style, DWORD exStyle) {
  if ((style & WS_CAPTION) != WS_CAPTION) return 0;
  return GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

// The frame around the client area, without scroll bars.
TInsets FrameInsets(DWORD style, DWORD exStyle) {
  TInsets in;
  int f = FrameWidth(style, exStyle);
  in.L = in.T = in.R = in.B = f;
  in.T += CaptionHeight(style, exStyle);
  int edge = 0;
  if (exStyle & WS_EX_CLIENTEDGE) edge += GetSystemMetrics(SM_CXEDGE);
  if (exStyle & WS_EX_STATICEDGE) edge += GetSystemMetrics(SM_CXBORDER);
  in.L += edge;
  in.T += edge;
  in.R += edge;
  in.B += edge;
  return in;
}

TRect Shrink(TRect r, const TInsets& in) {
  r.Left += in.L;
  r.Top += in.T;
  r.Right -= in.R;
  r.Bottom -= in.B;
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

// The window's client rectangle for a window rectangle, scroll bars included.
TRect ClientFor(const TWnd* w, TRect r) {
  r = Shrink(r, FrameInsets(w->Style, w->ExStyle));
  if (w->Style & WS_VSCROLL) {
    int cx = GetSystemMetrics(SM_CXVSCROLL);
    if (r.Right - r.Left >= cx) r.Right -= cx;
  }
  if (w->Style & WS_HSCROLL) {
    int cy = GetSystemMetrics(SM_CYHSCROLL);
    if (r.Bottom - r.Top >= cy) r.Bottom -= cy;
  }
  return r;
}

TRect CaptionRect(const TWnd* w) {
  int h = CaptionHeight(w->Style, w->ExStyle);
  if (!h) return {};
  int f = FrameWidth(w->Style, w->ExStyle);
  return {f, f, w->Rect.Width() - f, f + h};
}

TRect CloseButtonRect(const TWnd* w) {
  TRect c = CaptionRect(w);
  if (RectEmpty(c) || !(w->Style & WS_SYSMENU)) return {};
  int bh = c.Height() - 4;
  int bw = GetSystemMetrics((w->ExStyle & WS_EX_TOOLWINDOW) ? SM_CXSMSIZE : SM_CXSIZE) - 2;
  return {c.Right - 2 - bw, c.Top + 2, c.Right - 2, c.Top + 2 + bh};
}

// Scroll-bar parts along the bar: arrows, thumb.
struct TBarParts {
  int Arrow = 0;       // length of each arrow button
  int ThumbStart = 0;  // offset of the thumb from the bar's start; 0 without a thumb
  int ThumbLength = 0;
};

TBarParts BarParts(const TWnd* w, int bar, int length) {
  TBarParts p;
  int thick = GetSystemMetrics(bar == SB_VERT ? SM_CYVSCROLL : SM_CXHSCROLL);
  p.Arrow = std::min(thick, length / 2);
  int track = length - 2 * p.Arrow;
  const TScrollBarState& s = w->Scroll[bar];
  long long range = (long long)s.Max - s.Min + 1;
  if (track <= 0 || range <= 0 || (s.Disabled == ESB_DISABLE_BOTH)) return p;
  int thumb = s.Page ? int(std::max<long long>(8, track * (long long)s.Page / range))
                     : GetSystemMetrics(bar == SB_VERT ? SM_CYVTHUMB : SM_CXHTHUMB);
  if (thumb > track) return p;
  long long maxPos = (long long)s.Max - std::max<long long>((long long)s.Page - 1, 0);
  long long span = maxPos - s.Min;
  int pos = std::clamp<int>(s.Pos, s.Min, int(std::max<long long>(s.Min, maxPos)));
  p.ThumbLength = thumb;
  p.ThumbStart = p.Arrow + (span > 0 ? int((long long)(pos - s.Min) * (track - thumb) / span) : 0);
  return p;
}

HBRUSH SysBrush(int index) { return GetSysColorBrush(index); }

void DrawScrollBar(TWnd* w, HDC dc, int bar) {
  TRect r = ScrollBarRect(w, bar);
  if (RectEmpty(r)) return;
  bool vert = bar == SB_VERT;
  int length = vert ? r.Height() : r.Width();
  TBarParts p = BarParts(w, bar, length);
  const TScrollBarState& s = w->Scroll[bar];
  bool disabled = (w->Style & WS_DISABLED) || s.Disabled == ESB_DISABLE_BOTH;
  TRect a1 = vert ? TRect{r.Left, r.Top, r.Right, r.Top + p.Arrow}
                  : TRect{r.Left, r.Top, r.Left + p.Arrow, r.Bottom};
  TRect a2 = vert ? TRect{r.Left, r.Bottom - p.Arrow, r.Right, r.Bottom}
                  : TRect{r.Right - p.Arrow, r.Top, r.Right, r.Bottom};
  UINT inactive1 = (disabled || (s.Disabled & ESB_DISABLE_LTUP)) ? DFCS_INACTIVE : 0;
  UINT inactive2 = (disabled || (s.Disabled & ESB_DISABLE_RTDN)) ? DFCS_INACTIVE : 0;
  DrawFrameControl(dc, &a1, DFC_SCROLL, (vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive1);
  DrawFrameControl(dc, &a2, DFC_SCROLL, (vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive2);
  TRect track = vert ? TRect{r.Left, a1.Bottom, r.Right, a2.Top} : TRect{a1.Right, r.Top, a2.Left, r.Bottom};
  FillRect(dc, &track, SysBrush(COLOR_SCROLLBAR));
  if (p.ThumbLength && !disabled) {
    TRect thumb = vert ? TRect{r.Left, r.Top + p.ThumbStart, r.Right, r.Top + p.ThumbStart + p.ThumbLength}
                       : TRect{r.Left + p.ThumbStart, r.Top, r.Left + p.ThumbStart + p.ThumbLength, r.Bottom};
    FillRect(dc, &thumb, SysBrush(COLOR_BTNFACE));
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
  }
}

void Notify(TWnd* w, int bar, int code, int pos) {
  Send(w, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), 0);
}

}  // namespace

void RecalcClient(TWnd* w, WINDOWPOS* pos) {
  NCCALCSIZE_PARAMS params;
  params.rgrc[0] = w->Rect;
  if (pos) {
    params.rgrc[1] = w->Rect;
    params.rgrc[2] = OffsetRectBy(w->Client, w->Rect.Left, w->Rect.Top);
    params.lppos = pos;
    Send(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
  } else {
    Send(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&params.rgrc[0]));
  }
  if (w->Destroyed) return;
  TRect c = OffsetRectBy(params.rgrc[0], -w->Rect.Left, -w->Rect.Top);
  c.Left = std::clamp(c.Left, 0, w->Rect.Width());
  c.Top = std::clamp(c.Top, 0, w->Rect.Height());
  c.Right = std::clamp(c.Right, c.Left, w->Rect.Width());
  c.Bottom = std::clamp(c.Bottom, c.Top, w->Rect.Height());
  w->Client = c;
}

TRect ScrollBarRect(TWnd* w, int bar) {
  const TRect& c = w->Client;
  if (bar == SB_VERT && (w->Style & WS_VSCROLL)) {
    int cx = GetSystemMetrics(SM_CXVSCROLL);
    if (c.Right + cx > w->Rect.Width()) return {};
    return {c.Right, c.Top, c.Right + cx, c.Bottom};
  }
  if (bar == SB_HORZ && (w->Style & WS_HSCROLL)) {
    int cy = GetSystemMetrics(SM_CYHSCROLL);
    if (c.Bottom + cy > w->Rect.Height()) return {};
    return {c.Left, c.Bottom, c.Right, c.Bottom + cy};
  }
  return {};
}

int DefHitTest(TWnd* w, POINT p) {
  TRect wr = ScreenRect(w);
  if (!PointIn(wr, p)) return HTNOWHERE;
  TPoint o = WindowOrigin(w);
  POINT wp{p.X - o.X, p.Y - o.Y};
  if (!InWindowRegion(w, wp)) return HTNOWHERE;
  if (PointIn(w->Client, wp)) return HTCLIENT;
  if (PointIn(ScrollBarRect(w, SB_VERT), wp)) return HTVSCROLL;
  if (PointIn(ScrollBarRect(w, SB_HORZ), wp)) return HTHSCROLL;
  TRect vb = ScrollBarRect(w, SB_VERT), hb = ScrollBarRect(w, SB_HORZ);
  if (!RectEmpty(vb) && !RectEmpty(hb) && PointIn({vb.Left, hb.Top, vb.Right, hb.Bottom}, wp))
    return (w->Style & WS_THICKFRAME) ? HTBOTTOMRIGHT : HTNOWHERE;
  if (PointIn(CloseButtonRect(w), wp)) return HTCLOSE;
  if (PointIn(CaptionRect(w), wp)) return HTCAPTION;
  if (w->Style & WS_THICKFRAME) {
    int f = GetSystemMetrics(SM_CXFRAME), corner = GetSystemMetrics(SM_CYSIZE);
    int W = w->Rect.Width(), H = w->Rect.Height();
    bool left = wp.X < f, right = wp.X >= W - f, top = wp.Y < f, bottom = wp.Y >= H - f;
    bool nearLeft = wp.X < corner, nearRight = wp.X >= W - corner;
    bool nearTop = wp.Y < corner, nearBottom = wp.Y >= H - corner;
    if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
    if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
    if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
    if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  }
  return HTBORDER;
}

void DefNcPaint(TWnd* w, HDC dc) {
  TRect r{0, 0, w->Rect.Width(), w->Rect.Height()};
  DWORD style = w->Style, ex = w->ExStyle;
  if ((style & (WS_THICKFRAME | WS_DLGFRAME)) || (ex & WS_EX_DLGMODALFRAME)) {
    int f = FrameWidth(style, ex);
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    for (int i = 2; i < f; ++i) {
      FrameRect(dc, &r, SysBrush(COLOR_BTNFACE));
      r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
  } else if (style & WS_BORDER) {
    FrameRect(dc, &r, SysBrush(COLOR_WINDOWFRAME));
    r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  TRect cap = CaptionRect(w);
  if (!RectEmpty(cap)) {
    bool active = w->NcActive;
    TRect bar{cap.Left, cap.Top, cap.Right, cap.Bottom - 1};
    COLORREF c1 = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    COLORREF c2 = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    if (SystemSettings().GradientCaptions && c1 != c2) {
      TRIVERTEX v[2] = {{bar.Left, bar.Top, COLOR16(GetRValue(c1) << 8), COLOR16(GetGValue(c1) << 8),
                         COLOR16(GetBValue(c1) << 8), 0},
                        {bar.Right, bar.Bottom, COLOR16(GetRValue(c2) << 8),
                         COLOR16(GetGValue(c2) << 8), COLOR16(GetBValue(c2) << 8), 0}};
      GRADIENT_RECT g{0, 1};
      GradientFill(dc, v, 2, &g, 1, 0);
    } else {
      HBRUSH b = CreateSolidBrush(c1);
      FillRect(dc, &bar, b);
      DeleteObject(b);
    }
    TRect line{cap.Left, cap.Bottom - 1, cap.Right, cap.Bottom};
    FillRect(dc, &line, SysBrush(COLOR_BTNFACE));
    const NONCLIENTMETRICS& ncm = SystemSettings().NonClient;
    HFONT font = CreateFontIndirect((ex & WS_EX_TOOLWINDOW) ? &ncm.lfSmCaptionFont : &ncm.lfCaptionFont);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    TRect close = CloseButtonRect(w);
    TRect text{bar.Left + 2, bar.Top, RectEmpty(close) ? bar.Right - 2 : close.Left - 2, bar.Bottom};
    DrawText(dc, w->Text.c_str(), int(w->Text.size()), &text,
             DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    if (!RectEmpty(close)) DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    r.Top = cap.Bottom;
  }
  if (ex & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (ex & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  DrawScrollBar(w, dc, SB_VERT);
  DrawScrollBar(w, dc, SB_HORZ);
  TRect vb = ScrollBarRect(w, SB_VERT), hb = ScrollBarRect(w, SB_HORZ);
  if (!RectEmpty(vb) && !RectEmpty(hb)) {
    TRect corner{vb.Left, hb.Top, vb.Right, hb.Bottom};
    FillRect(dc, &corner, SysBrush(COLOR_BTNFACE));
  }
}

// A press on one of the window's own scroll bars: arrows and page areas scroll by steps, the
// thumb follows the mouse; the procedure holds the mouse until the button comes up.
void ScrollBarClick(TWnd* w, int hit, POINT screen) {
  int bar = hit == HTVSCROLL ? SB_VERT : SB_HORZ;
  HWND h = w->Handle;
  TRect r = ScrollBarRect(w, bar);
  TPoint o = WindowOrigin(w);
  bool vert = bar == SB_VERT;
  int length = vert ? r.Height() : r.Width();
  int at = vert ? screen.Y - o.Y - r.Top : screen.X - o.X - r.Left;
  TBarParts p = BarParts(w, bar, length);
  const TScrollBarState& s = w->Scroll[bar];
  if (s.Disabled == ESB_DISABLE_BOTH || (w->Style & WS_DISABLED)) return;
  int code;
  bool thumb = false;
  if (at < p.Arrow)
    code = SB_LINEUP;
  else if (at >= length - p.Arrow)
    code = SB_LINEDOWN;
  else if (p.ThumbLength && at < p.ThumbStart)
    code = SB_PAGEUP;
  else if (p.ThumbLength && at >= p.ThumbStart + p.ThumbLength)
    code = SB_PAGEDOWN;
  else if (p.ThumbLength) {
    code = SB_THUMBTRACK;
    thumb = true;
  } else {
    return;
  }
  SetCapture(h);
  int grab = at - p.ThumbStart;
  int trackPos = s.Pos;
  if (!thumb) Notify(w, bar, code, 0);
  MSG m;
  while (FromHandle(h) && GetCapture() == h && GetMessage(&m, nullptr, 0, 0)) {
    if (m.message == WM_LBUTTONUP) break;
    if (m.message == WM_MOUSEMOVE && thumb) {
      POINT pt{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
      ClientToScreen(m.hwnd, &pt);
      TWnd* cur = FromHandle(h);
      if (!cur) break;
      TBarParts q = BarParts(cur, bar, length);
      int track = length - 2 * q.Arrow - q.ThumbLength;
      int offset = (vert ? pt.Y - o.Y - r.Top : pt.X - o.X - r.Left) - grab - q.Arrow;
      const TScrollBarState& st = cur->Scroll[bar];
      long long maxPos = (long long)st.Max - std::max<long long>((long long)st.Page - 1, 0);
      long long span = maxPos - st.Min;
      int pos = track > 0 ? int(st.Min + std::clamp<long long>((long long)offset * span / track, 0, span)) : st.Min;
      if (pos != trackPos) {
        trackPos = pos;
        cur->Scroll[bar].TrackPos = pos;
        Notify(cur, bar, SB_THUMBTRACK, pos);
      }
      continue;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    TranslateMessage(&m);
    DispatchMessage(&m);
  }
  if (GetCapture() == h) ReleaseCapture();
  if (TWnd* cur = FromHandle(h)) {
    if (thumb) Notify(cur, bar, SB_THUMBPOSITION, trackPos);
    if (FromHandle(h)) Notify(cur, bar, SB_ENDSCROLL, 0);
  }
}

}  // namespace orv::win

using namespace orv;
using namespace orv::win;

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  TInsets in = FrameInsets(style, exStyle);
  if (menu) in.T += GetSystemMetrics(SM_CYMENU);
  rect->Left -= in.L;
  rect->Top -= in.T;
  rect->Right += in.R;
  rect->Bottom += in.B;
  return TRUE;
}

// ---- Scroll bars ------------------------------------------------------------------------------

namespace {

void ScrollBarChanged(TWnd* w, int bar, bool redraw) {
  if (!redraw || !ReallyVisible(w)) return;
  HDC dc = GetWindowDC(w->Handle);
  DrawScrollBar(w, dc, bar);
  ReleaseDC(w->Handle, dc);
}

void SetBarShown(TWnd* w, int bar, bool show) {
  DWORD flag = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
  if (bool(w->Style & flag) == show) return;
  if (show)
    w->Style |= flag;
  else
    w->Style &= ~flag;
  SetWindowPos(w->Handle, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw) {
  TWnd* w = FromHandle(window);
  if (!w || !info || (bar != SB_HORZ && bar != SB_VERT)) return 0;
  TScrollBarState& s = w->Scroll[bar];
  if (info->fMask & SIF_RANGE) {
    s.Min = info->nMin;
    s.Max = info->nMax;
  }
  if (info->fMask & SIF_PAGE) s.Page = info->nPage;
  long long range = (long long)s.Max - s.Min + 1;
  if (range > 0 && s.Page > range) s.Page = UINT(range);
  if (info->fMask & SIF_POS) s.Pos = info->nPos;
  long long maxPos = (long long)s.Max - std::max<long long>((long long)s.Page - 1, 0);
  s.Pos = int(std::clamp<long long>(s.Pos, s.Min, std::max<long long>(s.Min, maxPos)));
  if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
    bool needed = s.Page ? range > (long long)s.Page : s.Max > s.Min;
    if (info->fMask & SIF_DISABLENOSCROLL) {
      s.Disabled = needed ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
      SetBarShown(w, bar, true);
    } else {
      SetBarShown(w, bar, needed);
    }
    if (!FromHandle(window)) return 0;
  }
  ScrollBarChanged(w, bar, redraw);
  return s.Pos;
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
  TWnd* w = FromHandle(window);
  if (!w || !info || (bar != SB_HORZ && bar != SB_VERT)) return FALSE;
  const TScrollBarState& s = w->Scroll[bar];
  if (info->fMask & SIF_RANGE) {
    info->nMin = s.Min;
    info->nMax = s.Max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = s.Page;
  if (info->fMask & SIF_POS) info->nPos = s.Pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s.TrackPos;
  return TRUE;
}

int SetScrollPos(HWND window, int bar, int position, BOOL redraw) {
  TWnd* w = FromHandle(window);
  if (!w || (bar != SB_HORZ && bar != SB_VERT)) return 0;
  int old = w->Scroll[bar].Pos;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = position;
  SetScrollInfo(window, bar, &si, redraw);
  return old;
}

int GetScrollPos(HWND window, int bar) {
  TWnd* w = FromHandle(window);
  if (!w || (bar != SB_HORZ && bar != SB_VERT)) return 0;
  return w->Scroll[bar].Pos;
}

BOOL SetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL redraw) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = minimum;
  si.nMax = maximum;
  return SetScrollInfo(window, bar, &si, redraw) >= 0 && FromHandle(window) ? TRUE : FALSE;
}

BOOL GetScrollRange(HWND window, int bar, int* minimum, int* maximum) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  if (!GetScrollInfo(window, bar, &si)) return FALSE;
  if (minimum) *minimum = si.nMin;
  if (maximum) *maximum = si.nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND window, int bar, BOOL show) {
  TWnd* w = FromHandle(window);
  if (!w) return FALSE;
  if (bar == SB_HORZ || bar == SB_BOTH) SetBarShown(w, SB_HORZ, show);
  if (!FromHandle(window)) return FALSE;
  if (bar == SB_VERT || bar == SB_BOTH) SetBarShown(w, SB_VERT, show);
  return TRUE;
}

BOOL EnableScrollBar(HWND window, UINT bar, UINT arrows) {
  TWnd* w = FromHandle(window);
  if (!w) return FALSE;
  if (bar == UINT(SB_HORZ) || bar == UINT(SB_BOTH)) w->Scroll[SB_HORZ].Disabled = arrows;
  if (bar == UINT(SB_VERT) || bar == UINT(SB_BOTH)) w->Scroll[SB_VERT].Disabled = arrows;
  ScrollBarChanged(w, SB_HORZ, true);
  ScrollBarChanged(w, SB_VERT, true);
  return TRUE;
}

BOOL GetScrollBarInfo(HWND window, LONG objectId, SCROLLBARINFO* info) {
  TWnd* w = FromHandle(window);
  if (!w || !info || (objectId != OBJID_HSCROLL && objectId != OBJID_VSCROLL)) return FALSE;
  int bar = objectId == OBJID_VSCROLL ? SB_VERT : SB_HORZ;
  TRect r = ScrollBarRect(w, bar);
  TPoint o = WindowOrigin(w);
  std::memset(info->rgstate, 0, sizeof info->rgstate);
  if (RectEmpty(r)) {
    info->rcScrollBar = {};
    info->dxyLineButton = info->xyThumbTop = info->xyThumbBottom = 0;
    info->rgstate[0] = STATE_SYSTEM_INVISIBLE;
    return TRUE;
  }
  info->rcScrollBar = OffsetRectBy(r, o.X, o.Y);
  int length = bar == SB_VERT ? r.Height() : r.Width();
  TBarParts p = BarParts(w, bar, length);
  info->dxyLineButton = p.Arrow;
  info->xyThumbTop = p.ThumbStart;
  info->xyThumbBottom = p.ThumbStart + p.ThumbLength;
  if (w->Scroll[bar].Disabled == ESB_DISABLE_BOTH || (w->Style & WS_DISABLED))
    info->rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
  if (!ReallyVisible(w)) info->rgstate[0] |= STATE_SYSTEM_INVISIBLE;
  return TRUE;
}

// ---- The default window procedure -------------------------------------------------------------

namespace {

void PrintInto(TWnd* w, HDC dc, LPARAM flags) {
  HWND h = w->Handle;
  if ((flags & PRF_CHECKVISIBLE) && !ReallyVisible(w)) return;
  int saved = SaveDC(dc);
  if (flags & PRF_NONCLIENT) {
    HRGN clip = CreateRectRgn(0, 0, w->Rect.Width(), w->Rect.Height());
    HRGN client = CreateRectRgn(w->Client.Left, w->Client.Top, w->Client.Right, w->Client.Bottom);
    CombineRgn(clip, clip, client, RGN_DIFF);
    POINT org;
    GetViewportOrgEx(dc, &org);
    OffsetRgn(clip, org.X, org.Y);
    ExtSelectClipRgn(dc, clip, RGN_AND);
    DeleteObject(clip);
    DeleteObject(client);
    DefNcPaint(w, dc);
  }
  RestoreDC(dc, saved);
  if (!FromHandle(h)) return;
  saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, w->Client.Left, w->Client.Top, nullptr);
  IntersectClipRect(dc, 0, 0, w->Client.Width(), w->Client.Height());
  if (flags & PRF_ERASEBKGND) Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  if ((flags & PRF_CLIENT) && FromHandle(h)) Send(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
  if ((flags & PRF_CHILDREN) && FromHandle(h)) {
    std::vector<HWND> kids;
    for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it) kids.push_back((*it)->Handle);
    for (HWND k : kids) {
      TWnd* c = FromHandle(k);
      if (!c || !(c->Style & WS_VISIBLE)) continue;
      int s2 = SaveDC(dc);
      OffsetViewportOrgEx(dc, c->Rect.Left, c->Rect.Top, nullptr);
      IntersectClipRect(dc, 0, 0, c->Rect.Width(), c->Rect.Height());
      Send(c, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags & ~PRF_CHECKVISIBLE);
      RestoreDC(dc, s2);
    }
  }
  RestoreDC(dc, saved);
}

LRESULT DefSetCursor(TWnd* w, WPARAM wParam, LPARAM lParam) {
  int hit = SHORT(LOWORD(std::uintptr_t(lParam)));
  UINT mouse = HIWORD(std::uintptr_t(lParam));
  if (w->IsChild()) {
    if (Send(w->Parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
  }
  switch (hit) {
    case HTERROR:
      if (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN || mouse == WM_MBUTTONDOWN)
        MessageBeep(0);
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
      return TRUE;
    case HTCLIENT:
      if (w->Class->Info.hCursor) {
        SetCursor(w->Class->Info.hCursor);
        return TRUE;
      }
      return FALSE;
    case HTLEFT:
    case HTRIGHT: SetCursor(LoadCursor(nullptr, IDC_SIZEWE)); return TRUE;
    case HTTOP:
    case HTBOTTOM: SetCursor(LoadCursor(nullptr, IDC_SIZENS)); return TRUE;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: SetCursor(LoadCursor(nullptr, IDC_SIZENWSE)); return TRUE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: SetCursor(LoadCursor(nullptr, IDC_SIZENESW)); return TRUE;
    default: SetCursor(LoadCursor(nullptr, IDC_ARROW)); return TRUE;
  }
}

void FillBackground(TWnd* w, HDC dc) {
  HBRUSH b = w->Class->Info.hbrBackground;
  if (!b) return;
  std::uintptr_t v = reinterpret_cast<std::uintptr_t>(b);
  if (v <= 31) b = GetSysColorBrush(int(v) - 1);
  RECT r{0, 0, w->Client.Width(), w->Client.Height()};
  FillRect(dc, &r, b);
}

}  // namespace

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWnd* w = FromHandle(window);
  if (!w) return 0;
  switch (message) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->Text = cs->lpszName;
      if (w->Style & (WS_HSCROLL | WS_VSCROLL)) {
        for (auto& s : w->Scroll) s = TScrollBarState{};
      }
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                       : reinterpret_cast<RECT*>(lParam);
      if (r) *r = ClientFor(w, *r);
      return 0;
    }
    case WM_NCHITTEST: return DefHitTest(w, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: {
      if (w->Client == TRect{0, 0, w->Rect.Width(), w->Rect.Height()}) return 0;
      HDC dc = GetWindowDC(window);
      // The client area is not the frame's to paint.
      ExcludeClipRect(dc, w->Client.Left, w->Client.Top, w->Client.Right, w->Client.Bottom);
      DefNcPaint(w, dc);
      ReleaseDC(window, dc);
      return 0;
    }
    case WM_NCACTIVATE:
      w->NcActive = wParam != 0;
      if (CaptionHeight(w->Style, w->ExStyle))
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
      return TRUE;
    case WM_NCLBUTTONDOWN:
      if (wParam == HTVSCROLL || wParam == HTHSCROLL) {
        ScrollBarClick(w, int(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      } else if (wParam == HTCAPTION || wParam == HTCLOSE) {
        TWnd* top = TopLevelOf(w);
        if (top->Handle != S().Active) ActivateInternal(top->Handle, WA_CLICKACTIVE);
      }
      return 0;
    case WM_NCLBUTTONUP:
      if (wParam == HTCLOSE) Send(w, WM_SYSCOMMAND, SC_CLOSE, lParam);
      return 0;
    case WM_NCLBUTTONDBLCLK: return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) Send(w, WM_CLOSE, 0, 0);
      else if ((wParam & 0xFFF0) == SC_MINIMIZE) ShowWindow(window, SW_MINIMIZE);
      else if ((wParam & 0xFFF0) == SC_RESTORE) ShowWindow(window, SW_RESTORE);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == WPARAM(VK_F4) && (lParam & KF_ALTDOWN_BIT))
        Send(TopLevelOf(w), WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(window, &ps);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      if (!w->Class->Info.hbrBackground) return 0;
      FillBackground(w, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PRINT:
      PrintInto(w, reinterpret_cast<HDC>(wParam), lParam);
      return 0;
    case WM_PRINTCLIENT: return 0;
    case WM_SETTEXT:
      w->Text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (w->IsTopLevel()) NotifyBackend(w, wcText);
      if (CaptionHeight(w->Style, w->ExStyle))
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
      return TRUE;
    case WM_GETTEXT: {
      int max = int(wParam);
      char* out = reinterpret_cast<char*>(lParam);
      if (!out || max <= 0) return 0;
      int n = std::min<int>(int(w->Text.size()), max - 1);
      std::memcpy(out, w->Text.data(), std::size_t(n));
      out[n] = 0;
      return n;
    }
    case WM_GETTEXTLENGTH: return LRESULT(w->Text.size());
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_WINDOWPOSCHANGING: {
      // A sizable or captioned top-level window keeps to the sizes WM_GETMINMAXINFO allows. A
      // caption takes both of WS_CAPTION's bits: a popup with a thin border alone (a hint) has
      // none and keeps any size.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      const bool captioned = (w->Style & WS_CAPTION) == WS_CAPTION;
      if (!pos || (pos->flags & SWP_NOSIZE) || !w->IsTopLevel() || w->IsChild() ||
          !((w->Style & WS_THICKFRAME) || captioned))
        return 0;
      MINMAXINFO mmi;
      mmi.ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
      mmi.ptMaxPosition = {-GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME)};
      mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
      mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
      Send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
      pos->cx = std::clamp(pos->cx, mmi.ptMinTrackSize.X, std::max(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X));
      pos->cy = std::clamp(pos->cy, mmi.ptMinTrackSize.Y, std::max(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y));
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (!pos) return 0;
      if (!(pos->flags & SWP_NOCLIENTSIZE) || !(pos->flags & SWP_NOSIZE)) {
        if (!(pos->flags & SWP_NOSIZE) || !(pos->flags & SWP_NOCLIENTSIZE))
          Send(w, WM_SIZE, w->Iconic ? SIZE_MINIMIZED : SIZE_RESTORED,
               MAKELPARAM(w->Client.Width(), w->Client.Height()));
      }
      if (FromHandle(window) && (!(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOCLIENTMOVE)))
        Send(w, WM_MOVE, 0, MAKELPARAM(w->Rect.Left + w->Client.Left, w->Rect.Top + w->Client.Top));
      return 0;
    }
    case WM_MOUSEACTIVATE:
      if (w->IsChild()) {
        LRESULT r = Send(w->Parent, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) SetFocusInternal(window);
      return 0;
    case WM_SETCURSOR: return DefSetCursor(w, wParam, lParam);
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_CONTEXTMENU:
      if (w->IsChild()) return Send(w->Parent, message, wParam, lParam);
      return 0;
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(window, &p);
      Send(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(p.X, p.Y));
      return 0;
    }
    case WM_NCRBUTTONUP:
      Send(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), lParam);
      return 0;
    case WM_CANCELMODE:
      if (S().Capture == window) ReleaseCapture();
      return 0;
    case WM_SETREDRAW:
      // Turning redraw off hides the window from painting without hiding it.
      if (wParam)
        w->Style |= WS_VISIBLE;
      else
        w->Style &= ~WS_VISIBLE;
      return 0;
    case WM_SHOWWINDOW: return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return TRUE;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      bool window = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(window ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    default: return 0;
  }
}
