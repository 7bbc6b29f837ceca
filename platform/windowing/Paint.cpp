// The paint cycle: update regions and their invalidation rules, WM_PAINT generation parents
// first, begin/end paint with WM_NCPAINT and WM_ERASEBKGND, window and client DCs clipped to the
// visible region, scrolling window contents, printing, top-level surfaces and their
// presentation and composition.
#include <algorithm>
#include <unordered_map>

#include "platform/drawing/GoldenImage.h"
#include "platform/windowing/WindowInternal.h"

namespace orv::win {

namespace {

struct TDcInfo {
  HWND Window = nullptr;
  bool WindowDC = false;
  TRect DirtyBox;  // window coordinates of the top-level window that the DC may have touched
};

std::unordered_map<HDC, TDcInfo>& Dcs() {
  static std::unordered_map<HDC, TDcInfo> dcs;
  return dcs;
}

TRect ClientArea(const TWnd* w) { return {0, 0, w->Client.Width(), w->Client.Height()}; }

// The window's shape in screen coordinates: its rectangle cut to its window region.
TRegion ScreenShape(const TWnd* w) {
  TRegion r(ScreenRect(w));
  if (w->Region) {
    TRegion shape;
    shape.Assign(w->Region);
    TPoint o = WindowOrigin(w);
    shape.Offset(o.X, o.Y);
    r.Intersect(shape);
  }
  return r;
}

bool NeedsPaint(const TWnd* w) { return !w->Update.IsEmpty() || w->NcPending || w->InternalPaint; }

void SyncPaintSet(TWnd* w) {
  if (NeedsPaint(w))
    S().NeedPaint.insert(w);
  else
    S().NeedPaint.erase(w);
}

TSurface gScreen;

}  // namespace

TRegion VisibleRegion(TWnd* w, bool client, bool clipChildren, bool clipSiblings) {
  TRegion rgn;
  if (!ReallyVisible(w) && !w->IsTopLevel()) return rgn;
  if (w->IsTopLevel() && (!(w->Style & WS_VISIBLE) || w->Iconic)) return rgn;
  rgn.SetRect(client ? ScreenClientRect(w) : ScreenRect(w));
  rgn.Intersect(ScreenShape(w));
  for (TWnd* c = w; c->Parent && c->Parent != Desktop() && !c->MessageOnly; c = c->Parent) {
    TWnd* p = c->Parent;
    rgn.Intersect(ScreenClientRect(p));
    if (p->Region) rgn.Intersect(ScreenShape(p));
    if (clipSiblings || c != w) {
      for (TWnd* sib : p->Children) {
        if (sib == c) break;
        if ((sib->Style & WS_VISIBLE) && !sib->Iconic) rgn.Subtract(ScreenShape(sib));
      }
    }
  }
  if (clipChildren)
    for (TWnd* k : w->Children)
      if ((k->Style & WS_VISIBLE) && !k->Iconic) rgn.Subtract(ScreenShape(k));
  TPoint o = client ? ClientOrigin(w) : WindowOrigin(w);
  rgn.Offset(-o.X, -o.Y);
  return rgn;
}

void EnsureSurface(TWnd* top) {
  int cw = std::max(0, top->Rect.Width()), ch = std::max(0, top->Rect.Height());
  if (top->Surface && top->Surface->Width() == cw && top->Surface->Height() == ch) return;
  auto fresh = std::make_unique<TSurface>(cw, ch);
  if (top->Surface) {
    int w = std::min(cw, top->Surface->Width()), h = std::min(ch, top->Surface->Height());
    for (int y = 0; y < h; ++y) std::copy_n(top->Surface->Row(y), w, fresh->Row(y));
  }
  top->Surface = std::move(fresh);
  MarkDirtyAll(top);
}

HDC MakeDC(TWnd* w, bool client, bool clipChildren, const TRegion* restrictTo) {
  TWnd* top = TopLevelOf(w);
  EnsureSurface(top);
  TPoint o = client ? ClientOrigin(w) : WindowOrigin(w);
  TPoint to = WindowOrigin(top);
  TRegion vis = VisibleRegion(w, client, clipChildren, true);
  if (restrictTo) vis.Intersect(*restrictTo);
  HDC dc = CreateSurfaceDC(top->Surface.get(), {o.X - to.X, o.Y - to.Y}, vis.Handle(), false,
                           w->Handle);
  TDcInfo info;
  info.Window = w->Handle;
  info.WindowDC = !client;
  info.DirtyBox = OffsetRectBy(vis.Box(), o.X - to.X, o.Y - to.Y);
  Dcs()[dc] = info;
  return dc;
}

void MarkDirty(TWnd* w, const TRect& windowRect) {
  TWnd* top = TopLevelOf(w);
  if (!top || RectEmpty(windowRect)) return;
  TPoint o = WindowOrigin(w), to = WindowOrigin(top);
  TRect r = OffsetRectBy(windowRect, o.X - to.X, o.Y - to.Y);
  r = IntersectRects(r, {0, 0, top->Rect.Width(), top->Rect.Height()});
  if (RectEmpty(r)) return;
  TRect& d = top->Dirty;
  d = RectEmpty(d) ? r
                   : TRect{std::min(d.Left, r.Left), std::min(d.Top, r.Top), std::max(d.Right, r.Right),
                           std::max(d.Bottom, r.Bottom)};
}

void MarkDirtyAll(TWnd* top) { top->Dirty = {0, 0, top->Rect.Width(), top->Rect.Height()}; }

void InvalidateWindow(TWnd* w, const TRegion* clientRegion, UINT flags) {
  if (!ReallyVisible(w)) return;
  TRegion region(ClientArea(w));
  if (clientRegion) region.Intersect(*clientRegion);
  bool all = !clientRegion;
  if (flags & RDW_INVALIDATE) {
    if (!region.IsEmpty()) {
      w->Update.Union(region);
      if (flags & RDW_ERASE) w->ErasePending = true;
    }
    if ((flags & RDW_FRAME) && (all || !region.IsEmpty() || clientRegion) &&
        w->Client != TRect{0, 0, w->Rect.Width(), w->Rect.Height()})
      w->NcPending = true;
    if (flags & RDW_INTERNALPAINT) w->InternalPaint = true;
  }
  if (flags & RDW_VALIDATE) {
    if (all)
      w->Update.Clear();
    else
      w->Update.Subtract(region);
    if (w->Update.IsEmpty()) w->ErasePending = false;
    if ((flags & RDW_NOFRAME) == 0 && all) w->NcPending = false;
    if (flags & RDW_NOINTERNALPAINT) w->InternalPaint = false;
  }
  SyncPaintSet(w);
  bool children = (flags & RDW_ALLCHILDREN) ||
                  (!(flags & RDW_NOCHILDREN) && !(w->Style & WS_CLIPCHILDREN));
  if (!children) return;
  std::vector<HWND> kids;
  for (TWnd* c : w->Children) kids.push_back(c->Handle);
  for (HWND h : kids) {
    TWnd* c = FromHandle(h);
    if (!c || !(c->Style & WS_VISIBLE) || c->Iconic) continue;
    // The part of the region over the child, in the child's client coordinates.
    TRegion sub = region;
    sub.Intersect(c->Rect);
    if (sub.IsEmpty() && !all) continue;
    bool frame = !sub.IsEmpty() &&
                 !(IntersectRects(sub.Box(), OffsetRectBy(c->Client, c->Rect.Left, c->Rect.Top)) ==
                   sub.Box());
    sub.Offset(-(c->Rect.Left + c->Client.Left), -(c->Rect.Top + c->Client.Top));
    UINT childFlags = flags;
    if (frame || all) childFlags |= RDW_FRAME;
    InvalidateWindow(c, all ? nullptr : &sub, childFlags);
  }
}

void ValidateAll(TWnd* w) {
  w->Update.Clear();
  w->ErasePending = false;
  w->NcPending = false;
  w->InternalPaint = false;
  S().NeedPaint.erase(w);
}

void ForgetPaint(TWnd* w) {
  S().NeedPaint.erase(w);
  for (auto it = Dcs().begin(); it != Dcs().end(); ++it)
    if (it->second.Window == w->Handle) it->second.Window = nullptr;
}

TWnd* NextPaintWindow() {
  auto& set = S().NeedPaint;
  for (auto it = set.begin(); it != set.end();) {
    TWnd* w = *it;
    if (w->Destroyed || !ReallyVisible(w)) {
      ValidateAll(w);
      it = set.begin();
      continue;
    }
    // Parents paint before their children.
    TWnd* pick = w;
    for (TWnd* p = w->Parent; p && p != Desktop(); p = p->Parent)
      if (set.count(p)) pick = p;
    return pick;
  }
  return nullptr;
}

void ExposeAfterChange(TWnd* w, const TRect& oldScreen, bool wasVisible) {
  bool nowVisible = ReallyVisible(w);
  if (!w->IsTopLevel() && wasVisible) {
    TWnd* p = w->Parent;
    TRect r = oldScreen;
    TPoint o = ClientOrigin(p);
    TRegion old(OffsetRectBy(r, -o.X, -o.Y));
    InvalidateWindow(p, &old, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
  if (nowVisible)
    InvalidateWindow(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  if (w->IsTopLevel() && nowVisible) MarkDirtyAll(w);
}

}  // namespace orv::win

using namespace orv;
using namespace orv::win;

// ---- Invalidation -----------------------------------------------------------------------------

BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
  EnsureInit();
  TWnd* w = window ? FromHandle(window) : Desktop();
  if (!w) return FALSE;
  if (w == Desktop()) {
    // The whole screen: every top-level window.
    std::vector<HWND> tops;
    for (TWnd* t : Desktop()->Children) tops.push_back(t->Handle);
    for (HWND h : tops) RedrawWindow(h, nullptr, nullptr, flags | RDW_ALLCHILDREN);
    return TRUE;
  }
  auto hold = Hold(w);
  if (flags & (RDW_INVALIDATE | RDW_VALIDATE | RDW_INTERNALPAINT | RDW_NOINTERNALPAINT)) {
    if (region) {
      TRegion r;
      r.Assign(region);
      InvalidateWindow(w, &r, flags);
    } else if (rect) {
      TRegion r(*rect);
      InvalidateWindow(w, &r, flags);
    } else {
      InvalidateWindow(w, nullptr, flags);
    }
  }
  if (flags & RDW_UPDATENOW) {
    if (NeedsPaint(w)) Send(w, WM_PAINT, 0, 0);
    if (flags & RDW_ALLCHILDREN) {
      std::vector<HWND> kids;
      for (TWnd* c : w->Children) kids.push_back(c->Handle);
      for (HWND h : kids)
        if (FromHandle(h)) RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
  } else if ((flags & RDW_ERASENOW) && FromHandle(window)) {
    if (w->NcPending) {
      w->NcPending = false;
      SyncPaintSet(w);
      Send(w, WM_NCPAINT, 1, 0);
    }
    if (FromHandle(window) && w->ErasePending) {
      w->ErasePending = false;
      HDC dc = MakeDC(w, true, (w->Style & WS_CLIPCHILDREN) != 0, &w->Update);
      Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      ReleaseDC(window, dc);
    }
  }
  return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
  if (!window) return RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  return RedrawWindow(window, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase) {
  if (!region) return InvalidateRect(window, nullptr, erase);
  return RedrawWindow(window, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND window, const RECT* rect) {
  return RedrawWindow(window, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND window, HRGN region) {
  return RedrawWindow(window, nullptr, region, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL UpdateWindow(HWND window) {
  TWnd* w = FromHandle(window);
  if (!w) return FALSE;
  return RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase) {
  TWnd* w = FromHandle(window);
  if (!w) return FALSE;
  TRect box = w->Update.Box();
  if (rect) *rect = box;
  if (erase && w->ErasePending && !RectEmpty(box)) RedrawWindow(window, nullptr, nullptr, RDW_ERASENOW | RDW_NOCHILDREN);
  return RectEmpty(box) ? FALSE : TRUE;
}

int GetUpdateRgn(HWND window, HRGN region, BOOL erase) {
  TWnd* w = FromHandle(window);
  if (!w || !region) return ERROR;
  int type = CombineRgn(region, w->Update.Handle(), nullptr, RGN_COPY);
  if (erase && w->ErasePending && !w->Update.IsEmpty())
    RedrawWindow(window, nullptr, nullptr, RDW_ERASENOW | RDW_NOCHILDREN);
  return type;
}

// ---- Begin and end paint; DCs -----------------------------------------------------------------

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  TWnd* w = FromHandle(window);
  if (!w || !paint) return nullptr;
  auto hold = Hold(w);
  if (w->NcPending) {
    w->NcPending = false;
    Send(w, WM_NCPAINT, 1, 0);
    if (w->Destroyed) return nullptr;
  }
  HideCaretForPaint(window, true);
  TRegion region = w->Update;
  bool erase = w->ErasePending;
  w->Update.Clear();
  w->ErasePending = false;
  w->InternalPaint = false;
  SyncPaintSet(w);
  HDC dc = MakeDC(w, true, (w->Style & WS_CLIPCHILDREN) != 0, &region);
  paint->hdc = dc;
  paint->rcPaint = IntersectRects(region.Box(), ClientArea(w));
  paint->fErase = FALSE;
  if (erase) paint->fErase = Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  ReleaseDC(window, paint->hdc);
  HideCaretForPaint(window, false);
  return TRUE;
}

HDC GetDCEx(HWND window, HRGN clip, DWORD flags) {
  EnsureInit();
  if (!window || window == Desktop()->Handle) {
    ComposeScreen(gScreen);
    SetScreenSurface(&gScreen);
    return CreateScreenDC();
  }
  TWnd* w = FromHandle(window);
  if (!w) return nullptr;
  bool client = !(flags & DCX_WINDOW);
  bool clipChildren = (flags & DCX_CLIPCHILDREN) || (!(flags & DCX_PARENTCLIP) && (w->Style & WS_CLIPCHILDREN));
  // WM_NCPAINT's "whole window" (1) is no region.
  if (reinterpret_cast<std::uintptr_t>(clip) <= 1) clip = nullptr;
  TRegion restrict;
  const TRegion* r = nullptr;
  if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    // The clip region comes in screen coordinates.
    restrict.Assign(clip);
    TPoint o = client ? ClientOrigin(w) : WindowOrigin(w);
    restrict.Offset(-o.X, -o.Y);
    if (flags & DCX_EXCLUDERGN) {
      TRegion all(TRect{-0x4000000, -0x4000000, 0x4000000, 0x4000000});
      all.Subtract(restrict);
      restrict = all;
    }
    r = &restrict;
  }
  HDC dc = MakeDC(w, client, clipChildren, r);
  if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) DeleteObject(clip);
  return dc;
}

HDC GetDC(HWND window) { return GetDCEx(window, nullptr, 0); }

HDC GetWindowDC(HWND window) { return GetDCEx(window, nullptr, DCX_WINDOW); }

int ReleaseDC(HWND window, HDC dc) {
  auto it = Dcs().find(dc);
  if (it == Dcs().end()) {
    // A screen DC or a DC of a window that is gone.
    DeleteDC(dc);
    return 1;
  }
  TDcInfo info = it->second;
  Dcs().erase(it);
  if (TWnd* w = FromHandle(info.Window)) {
    TWnd* top = TopLevelOf(w);
    TRect box = IntersectRects(info.DirtyBox, {0, 0, top->Rect.Width(), top->Rect.Height()});
    if (!RectEmpty(box)) MarkDirty(top, box);
  }
  DeleteDC(dc);
  return 1;
}

HWND WindowFromDC(HDC dc) {
  auto it = Dcs().find(dc);
  return it == Dcs().end() ? nullptr : it->second.Window;
}

BOOL LockWindowUpdate(HWND window) { return TRUE; }

// ---- Scrolling --------------------------------------------------------------------------------

int ScrollWindowEx(HWND window, int dx, int dy, const RECT* scrollRect, const RECT* clipRect,
                   HRGN update, RECT* updateRect, UINT flags) {
  TWnd* w = FromHandle(window);
  if (!w) return ERROR;
  auto hold = Hold(w);
  TRect client = ClientArea(w);
  TRect src = scrollRect ? IntersectRects(*scrollRect, client) : client;
  TRect clip = clipRect ? IntersectRects(*clipRect, client) : client;
  HideCaretForPaint(window, true);
  TRegion exposed;
  if (ReallyVisible(w) && (dx || dy)) {
    // Copy what stays visible, through a bitmap because source and destination overlap.
    TRegion vis = VisibleRegion(w, true, (w->Style & WS_CLIPCHILDREN) != 0, true);
    TRegion movable = vis;
    movable.Intersect(src);
    movable.Offset(dx, dy);
    movable.Intersect(clip);
    movable.Intersect(vis);
    TRect box = movable.Box();
    if (!RectEmpty(box)) {
      HDC dc = MakeDC(w, true, (w->Style & WS_CLIPCHILDREN) != 0, &movable);
      HDC mem = CreateCompatibleDC(dc);
      HBITMAP bmp = CreateCompatibleBitmap(dc, box.Width(), box.Height());
      HGDIOBJ old = SelectObject(mem, bmp);
      SetDCVisibleRegion(dc, nullptr);
      BitBlt(mem, 0, 0, box.Width(), box.Height(), dc, box.Left - dx, box.Top - dy, SRCCOPY);
      SetDCVisibleRegion(dc, movable.Handle());
      BitBlt(dc, box.Left, box.Top, box.Width(), box.Height(), mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteObject(bmp);
      DeleteDC(mem);
      ReleaseDC(window, dc);
    }
    // The parts of the clip that got nothing from the scrolled content.
    exposed.SetRect(clip);
    exposed.Intersect(vis);
    exposed.Subtract(movable);
  } else {
    exposed.SetRect(clip);
  }
  // Pending updates move with the content.
  if (!w->Update.IsEmpty()) {
    TRegion moving = w->Update;
    moving.Intersect(src);
    w->Update.Subtract(moving);
    moving.Offset(dx, dy);
    moving.Intersect(clip);
    w->Update.Union(moving);
  }
  if (flags & SW_SCROLLCHILDREN) {
    std::vector<HWND> kids;
    for (TWnd* c : w->Children)
      if (!scrollRect || !RectEmpty(IntersectRects(c->Rect, src))) kids.push_back(c->Handle);
    for (HWND h : kids) {
      TWnd* c = FromHandle(h);
      if (!c) continue;
      SetWindowPos(h, nullptr, c->Rect.Left + dx, c->Rect.Top + dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    if (!FromHandle(window)) return ERROR;
  }
  HideCaretForPaint(window, false);
  if (update) CombineRgn(update, exposed.Handle(), nullptr, RGN_COPY);
  if (updateRect) *updateRect = exposed.Box();
  if (flags & SW_INVALIDATE) {
    InvalidateWindow(w, &exposed, RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) |
                                      ((flags & SW_SCROLLCHILDREN) ? RDW_ALLCHILDREN : 0));
  }
  return exposed.IsEmpty() ? NULLREGION : COMPLEXREGION;
}

BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* scrollRect, const RECT* clipRect) {
  UINT flags = SW_INVALIDATE | SW_ERASE | (scrollRect ? 0 : SW_SCROLLCHILDREN);
  return ScrollWindowEx(window, dx, dy, scrollRect, clipRect, nullptr, nullptr, flags) != ERROR;
}

BOOL PrintWindow(HWND window, HDC dc, UINT flags) {
  TWnd* w = FromHandle(window);
  if (!w || !dc) return FALSE;
  Send(w, WM_PRINT, reinterpret_cast<WPARAM>(dc),
       PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN | PRF_OWNED);
  return TRUE;
}

// ---- Surfaces, presentation and the composed screen -------------------------------------------

const TSurface* orv::GetWindowSurface(HWND window) {
  TWnd* w = FromHandle(window);
  if (!w || !w->IsTopLevel()) return nullptr;
  EnsureSurface(w);
  return w->Surface.get();
}

BYTE orv::GetWindowOpacity(HWND window) {
  TWnd* w = FromHandle(window);
  return w ? w->Alpha : 255;
}

COLORREF orv::GetWindowColorKey(HWND window) {
  TWnd* w = FromHandle(window);
  return w ? w->ColorKey : CLR_INVALID;
}

void orv::GetTopLevelWindows(std::vector<HWND>& windows) {
  EnsureInit();
  windows.clear();
  for (auto it = Desktop()->Children.rbegin(); it != Desktop()->Children.rend(); ++it)
    windows.push_back((*it)->Handle);
}

void orv::FlushPresent() {
  EnsureInit();
  std::vector<HWND> tops;
  for (TWnd* t : Desktop()->Children)
    if (!RectEmpty(t->Dirty)) tops.push_back(t->Handle);
  for (HWND h : tops) {
    TWnd* t = FromHandle(h);
    if (!t) continue;
    TRect dirty = t->Dirty;
    t->Dirty = {};
    if (ReallyVisible(t) && t->Surface) Backend().Present(h, *t->Surface, dirty);
  }
}

void orv::ComposeScreen(TSurface& screen) {
  EnsureInit();
  TRect bounds = Backend().ScreenBounds();
  if (screen.Width() != bounds.Width() || screen.Height() != bounds.Height())
    screen.Resize(bounds.Width(), bounds.Height());
  screen.Fill(ColorToPixel(GetSysColor(COLOR_BACKGROUND)));
  for (auto it = Desktop()->Children.rbegin(); it != Desktop()->Children.rend(); ++it) {
    TWnd* t = *it;
    if (!ReallyVisible(t) || t->MessageOnly) continue;
    EnsureSurface(t);
    const TSurface& src = *t->Surface;
    int alpha = t->Alpha;
    TPixel key = t->ColorKey == CLR_INVALID ? 0 : ColorToPixel(t->ColorKey);
    bool keyed = t->ColorKey != CLR_INVALID;
    for (int y = 0; y < src.Height(); ++y) {
      int sy = t->Rect.Top - bounds.Top + y;
      if (sy < 0 || sy >= screen.Height()) continue;
      const TPixel* row = src.Row(y);
      TPixel* out = screen.Row(sy);
      for (int x = 0; x < src.Width(); ++x) {
        int sx = t->Rect.Left - bounds.Left + x;
        if (sx < 0 || sx >= screen.Width()) continue;
        if (t->Region && !PtInRegion(t->Region, x, y)) continue;
        TPixel p = row[x];
        if (keyed && (p & 0xFFFFFF) == (key & 0xFFFFFF)) continue;
        if (!t->PerPixelAlpha && alpha == 255) {
          out[sx] = p | 0xFF000000u;
          continue;
        }
        // Per-pixel alpha is premultiplied, as layered windows take it.
        int a = t->PerPixelAlpha ? int(p >> 24) * alpha / 255 : alpha;
        TPixel d = out[sx];
        TPixel r = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          int sc = int((p >> shift) & 0xFF), dc = int((d >> shift) & 0xFF);
          int v = t->PerPixelAlpha ? sc * alpha / 255 + dc * (255 - a) / 255
                                   : (sc * a + dc * (255 - a)) / 255;
          r |= TPixel(std::min(255, v)) << shift;
        }
        out[sx] = r | 0xFF000000u;
      }
    }
  }
}
