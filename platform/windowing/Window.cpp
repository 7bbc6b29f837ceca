// The window tree: classes, creation and destruction, window data, parents and owners, z-order,
// position and size, visibility, enabling, coordinate mapping, hit searches, window regions and
// layered windows.
#include <algorithm>
#include <cstring>

#include "platform/runtime/Exceptions.h"
#include "platform/windowing/WindowInternal.h"

namespace orv::win {

// ---- Regions ----------------------------------------------------------------------------------

TRegion::TRegion() : FRgn(CreateRectRgn(0, 0, 0, 0)) {}
TRegion::TRegion(const TRect& r) : FRgn(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom)) {}
TRegion::TRegion(const TRegion& other) : FRgn(CreateRectRgn(0, 0, 0, 0)) {
  CombineRgn(FRgn, other.FRgn, nullptr, RGN_COPY);
}
TRegion& TRegion::operator=(const TRegion& other) {
  if (this != &other) CombineRgn(FRgn, other.FRgn, nullptr, RGN_COPY);
  return *this;
}
TRegion::~TRegion() { DeleteObject(FRgn); }

bool TRegion::IsEmpty() const {
  RECT r;
  return GetRgnBox(FRgn, &r) == NULLREGION;
}
TRect TRegion::Box() const {
  RECT r;
  if (GetRgnBox(FRgn, &r) == NULLREGION) return {};
  return r;
}
void TRegion::Clear() { SetRectRgn(FRgn, 0, 0, 0, 0); }
void TRegion::SetRect(const TRect& r) {
  if (RectEmpty(r))
    Clear();
  else
    SetRectRgn(FRgn, r.Left, r.Top, r.Right, r.Bottom);
}
void TRegion::Assign(HRGN region) {
  if (region) CombineRgn(FRgn, region, nullptr, RGN_COPY);
}
void TRegion::Union(const TRect& r) {
  if (RectEmpty(r)) return;
  TRegion o(r);
  CombineRgn(FRgn, FRgn, o.FRgn, RGN_OR);
}
void TRegion::Union(const TRegion& other) { CombineRgn(FRgn, FRgn, other.FRgn, RGN_OR); }
void TRegion::Intersect(const TRect& r) {
  TRegion o(RectEmpty(r) ? TRect{} : r);
  CombineRgn(FRgn, FRgn, o.FRgn, RGN_AND);
}
void TRegion::Intersect(const TRegion& other) { CombineRgn(FRgn, FRgn, other.FRgn, RGN_AND); }
void TRegion::Subtract(const TRect& r) {
  if (RectEmpty(r)) return;
  TRegion o(r);
  CombineRgn(FRgn, FRgn, o.FRgn, RGN_DIFF);
}
void TRegion::Subtract(const TRegion& other) { CombineRgn(FRgn, FRgn, other.FRgn, RGN_DIFF); }
void TRegion::Offset(int dx, int dy) {
  if (dx || dy) OffsetRgn(FRgn, dx, dy);
}
bool TRegion::Contains(POINT p) const { return PtInRegion(FRgn, p.X, p.Y) != 0; }

bool RectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
TRect IntersectRects(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  return RectEmpty(r) ? TRect{} : r;
}
TRect OffsetRectBy(const TRect& r, int dx, int dy) {
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}
bool PointIn(const TRect& r, POINT p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// ---- State ------------------------------------------------------------------------------------

namespace {

LRESULT DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(window, message, wParam, lParam);
}

HWND NewHandle() {
  HWND h = reinterpret_cast<HWND>(S().NextHandle);
  S().NextHandle += 4;
  return h;
}

}  // namespace

TState& S() {
  static TState state;
  return state;
}

void EnsureInit() {
  TState& s = S();
  if (s.Desktop) return;
  InitSettings(SystemSettings());
  auto cls = std::make_shared<TWndClass>();
  cls->Name = "#32769";
  cls->Atom = 32769;
  cls->Info.lpfnWndProc = DesktopProc;
  cls->Info.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BACKGROUND + 1));
  auto desk = std::make_shared<TWnd>();
  desk->Handle = NewHandle();
  desk->Class = cls;
  desk->Proc = DesktopProc;
  desk->Style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  desk->Created = true;
  TRect screen = Backend().ScreenBounds();
  desk->Rect = screen;
  desk->Client = {0, 0, screen.Width(), screen.Height()};
  s.Windows[reinterpret_cast<std::uintptr_t>(desk->Handle)] = desk;
  s.Desktop = desk.get();
}

TWnd* FromHandle(HWND window) {
  EnsureInit();
  auto it = S().Windows.find(reinterpret_cast<std::uintptr_t>(window));
  if (it == S().Windows.end() || it->second->Destroyed) return nullptr;
  return it->second.get();
}

std::shared_ptr<TWnd> Hold(TWnd* w) {
  if (!w) return nullptr;
  auto it = S().Windows.find(reinterpret_cast<std::uintptr_t>(w->Handle));
  if (it == S().Windows.end()) return nullptr;
  return it->second;
}

// A child window whose parent is the desktop counts as top-level (it has its own surface and
// place on the screen) but is never activated: the library shows popups that must not take the
// activation that way.
bool TWnd::IsTopLevel() const { return Parent == S().Desktop; }

// ---- Geometry ---------------------------------------------------------------------------------

TPoint WindowOrigin(const TWnd* w) {
  if (!w->Parent || w->Parent == S().Desktop || w->MessageOnly) return {w->Rect.Left, w->Rect.Top};
  TPoint p = ClientOrigin(w->Parent);
  return {p.X + w->Rect.Left, p.Y + w->Rect.Top};
}
TPoint ClientOrigin(const TWnd* w) {
  if (w == S().Desktop) return {w->Rect.Left, w->Rect.Top};
  TPoint p = WindowOrigin(w);
  return {p.X + w->Client.Left, p.Y + w->Client.Top};
}
TRect ScreenRect(const TWnd* w) {
  TPoint p = WindowOrigin(w);
  return {p.X, p.Y, p.X + w->Rect.Width(), p.Y + w->Rect.Height()};
}
TRect ScreenClientRect(const TWnd* w) {
  TPoint p = ClientOrigin(w);
  return {p.X, p.Y, p.X + w->Client.Width(), p.Y + w->Client.Height()};
}
TWnd* TopLevelOf(TWnd* w) {
  while (w && w->Parent && w->Parent != S().Desktop && !w->MessageOnly) w = w->Parent;
  return w;
}
bool ReallyVisible(const TWnd* w) {
  for (; w && w != S().Desktop; w = w->Parent)
    if (!(w->Style & WS_VISIBLE) || w->Iconic) return false;
  return w != nullptr;
}
bool IsDescendant(const TWnd* ancestor, const TWnd* w) {
  if (!ancestor || !w) return false;
  for (w = w->Parent; w; w = w->Parent)
    if (w == ancestor) return true;
  return false;
}
bool InWindowRegion(const TWnd* w, POINT p) {
  return !w->Region || PtInRegion(w->Region, p.X, p.Y);
}

}  // namespace orv::win

using namespace orv;
using namespace orv::win;

// ---- Classes ----------------------------------------------------------------------------------

namespace {

std::shared_ptr<TWndClass> FindClass(const char* name) {
  EnsureInit();
  auto& classes = S().Classes;
  if (IS_INTRESOURCE(name)) {
    ATOM atom = ATOM(reinterpret_cast<std::uintptr_t>(name));
    for (auto& [key, c] : classes)
      if (c->Atom == atom) return c;
    return nullptr;
  }
  std::string key;
  for (const char* p = name; *p; ++p) key += (*p >= 'A' && *p <= 'Z') ? char(*p - 'A' + 'a') : *p;
  auto it = classes.find(key);
  return it == classes.end() ? nullptr : it->second;
}

void LinkChild(TWnd* parent, TWnd* w, bool top) {
  auto& c = parent->Children;
  if (!top) {
    c.push_back(w);
    return;
  }
  // New windows go on top of their band: topmost windows above all, others below the topmost.
  auto pos = c.begin();
  if (!(w->ExStyle & WS_EX_TOPMOST))
    while (pos != c.end() && ((*pos)->ExStyle & WS_EX_TOPMOST)) ++pos;
  c.insert(pos, w);
}

void UnlinkChild(TWnd* w) {
  if (!w->Parent) return;
  auto& c = w->Parent->Children;
  c.erase(std::remove(c.begin(), c.end(), w), c.end());
}

}  // namespace

ATOM RegisterClass(const WNDCLASS* windowClass) {
  EnsureInit();
  if (!windowClass || !windowClass->lpszClassName || IS_INTRESOURCE(windowClass->lpszClassName))
    return 0;
  std::string key;
  for (const char* p = windowClass->lpszClassName; *p; ++p)
    key += (*p >= 'A' && *p <= 'Z') ? char(*p - 'A' + 'a') : *p;
  if (S().Classes.count(key)) return 0;
  auto c = std::make_shared<TWndClass>();
  c->Name = windowClass->lpszClassName;
  c->Atom = S().NextAtom++;
  c->Info = *windowClass;
  if (windowClass->lpszMenuName && !IS_INTRESOURCE(windowClass->lpszMenuName))
    c->MenuName = windowClass->lpszMenuName;
  c->Info.lpszClassName = nullptr;
  c->Info.lpszMenuName = nullptr;
  c->Extra.assign((std::max(0, windowClass->cbClsExtra) + sizeof(LONG_PTR) - 1) / sizeof(LONG_PTR), 0);
  S().Classes[key] = c;
  return c->Atom;
}

BOOL UnregisterClass(const char* className, HINSTANCE instance) {
  auto c = FindClass(className);
  if (!c) return FALSE;
  for (auto& [h, w] : S().Windows)
    if (!w->Destroyed && w->Class == c) return FALSE;
  for (auto it = S().Classes.begin(); it != S().Classes.end(); ++it)
    if (it->second == c) {
      S().Classes.erase(it);
      return TRUE;
    }
  return FALSE;
}

BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* windowClass) {
  auto c = FindClass(className);
  if (!c || !windowClass) return FALSE;
  *windowClass = c->Info;
  windowClass->lpszClassName = c->Name.c_str();
  windowClass->lpszMenuName = c->MenuName.empty() ? nullptr : c->MenuName.c_str();
  return TRUE;
}

int GetClassName(HWND window, char* className, int maxCount) {
  TWnd* w = FromHandle(window);
  if (!w || !className || maxCount <= 0) return 0;
  int n = std::min<int>(int(w->Class->Name.size()), maxCount - 1);
  std::memcpy(className, w->Class->Name.data(), std::size_t(n));
  className[n] = 0;
  return n;
}

ULONG_PTR GetClassLongPtr(HWND window, int index) {
  TWnd* w = FromHandle(window);
  if (!w) return 0;
  const WNDCLASS& c = w->Class->Info;
  switch (index) {
    case GCL_STYLE: return c.style;
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.lpfnWndProc);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.hbrBackground);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.hCursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c.hIcon);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c.hInstance);
    case GCL_CBWNDEXTRA: return ULONG_PTR(c.cbWndExtra);
    case GCL_CBCLSEXTRA: return ULONG_PTR(c.cbClsExtra);
    case GCW_ATOM: return w->Class->Atom;
    default:
      if (index >= 0 && std::size_t(index) / sizeof(LONG_PTR) < w->Class->Extra.size())
        return ULONG_PTR(w->Class->Extra[std::size_t(index) / sizeof(LONG_PTR)]);
      return 0;
  }
}

ULONG_PTR SetClassLongPtr(HWND window, int index, LONG_PTR value) {
  TWnd* w = FromHandle(window);
  if (!w) return 0;
  ULONG_PTR old = GetClassLongPtr(window, index);
  WNDCLASS& c = w->Class->Info;
  switch (index) {
    case GCL_STYLE: c.style = UINT(value); break;
    case GCLP_WNDPROC: c.lpfnWndProc = reinterpret_cast<WNDPROC>(value); break;
    case GCLP_HBRBACKGROUND: c.hbrBackground = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_HCURSOR: c.hCursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HICON: c.hIcon = reinterpret_cast<HICON>(value); break;
    default:
      if (index >= 0 && std::size_t(index) / sizeof(LONG_PTR) < w->Class->Extra.size())
        w->Class->Extra[std::size_t(index) / sizeof(LONG_PTR)] = value;
      else
        return 0;
  }
  return old;
}

// ---- Creation and destruction -----------------------------------------------------------------

namespace {

void SendParentNotify(TWnd* w, UINT event) {
  if (!w->IsChild() || (w->ExStyle & WS_EX_NOPARENTNOTIFY)) return;
  for (TWnd* p = w->Parent; p && p != Desktop(); p = p->Parent) {
    Send(p, WM_PARENTNOTIFY, MAKEWPARAM(int(event), int(w->Id)),
         reinterpret_cast<LPARAM>(w->Handle));
    if (!p->IsChild() || (p->ExStyle & WS_EX_NOPARENTNOTIFY)) break;
  }
}

void SendSizeMove(TWnd* w) {
  Send(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->Client.Width(), w->Client.Height()));
  if (!FromHandle(w->Handle)) return;
  TPoint p{w->Rect.Left + w->Client.Left, w->Rect.Top + w->Client.Top};
  Send(w, WM_MOVE, 0, MAKELPARAM(p.X, p.Y));
}

// Frees the window and its children: WM_NCDESTROY goes to the children first.
void FreeTree(TWnd* w) {
  auto hold = Hold(w);
  std::vector<TWnd*> kids = w->Children;
  for (TWnd* c : kids) FreeTree(c);
  Send(w, WM_NCDESTROY, 0, 0);
  NotifyDestroyed(w);
  if (w->IsTopLevel()) Backend().WindowDestroyed(w->Handle);
  UnlinkChild(w);
  w->Children.clear();
  if (w->Region) DeleteObject(w->Region);
  w->Region = nullptr;
  w->Surface.reset();
  w->Destroyed = true;
  S().Windows.erase(reinterpret_cast<std::uintptr_t>(w->Handle));
}

void SendDestroy(TWnd* w) {
  Send(w, WM_DESTROY, 0, 0);
  std::vector<TWnd*> kids = w->Children;
  for (TWnd* c : kids)
    if (!c->Destroyed) SendDestroy(c);
}

POINT DefaultPosition() {
  static int n = 0;
  int step = (n++ % 10) * 26;
  return {40 + step, 40 + step};
}

}  // namespace

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param) {
  EnsureInit();
  auto cls = FindClass(className);
  if (!cls) return nullptr;
  bool messageOnly = parent == HWND_MESSAGE;
  TWnd* parentWnd = nullptr;
  if (!messageOnly && parent) {
    parentWnd = FromHandle(parent);
    if (!parentWnd) return nullptr;
  }
  if ((style & WS_CHILD) && !parentWnd) return nullptr;

  auto wp = std::make_shared<TWnd>();
  TWnd* w = wp.get();
  w->Handle = NewHandle();
  w->Class = cls;
  w->Proc = cls->Info.lpfnWndProc;
  w->Style = style & ~WS_VISIBLE;
  w->ExStyle = exStyle;
  w->Instance = instance;
  w->MessageOnly = messageOnly;
  if (!(style & (WS_CHILD | WS_POPUP))) w->Style |= WS_CLIPSIBLINGS | WS_CAPTION;
  if ((w->Style & WS_CAPTION) == WS_CAPTION || (exStyle & WS_EX_DLGMODALFRAME))
    w->ExStyle |= WS_EX_WINDOWEDGE;
  w->Extra.assign((std::max(0, cls->Info.cbWndExtra) + sizeof(LONG_PTR) - 1) / sizeof(LONG_PTR), 0);
  if (style & WS_CHILD) {
    w->Parent = parentWnd;
    w->Id = reinterpret_cast<LONG_PTR>(menu);
  } else {
    w->Parent = Desktop();
    w->Owner = parentWnd ? TopLevelOf(parentWnd) : nullptr;
  }
  if (x == CW_USEDEFAULT) {
    POINT p = (style & (WS_CHILD | WS_POPUP)) ? POINT{0, 0} : DefaultPosition();
    x = p.X;
    y = p.Y;
  }
  if (width == CW_USEDEFAULT) {
    bool overlapped = !(style & (WS_CHILD | WS_POPUP));
    width = overlapped ? 600 : 0;
    height = overlapped ? 400 : 0;
  }
  width = std::max(0, width);
  height = std::max(0, height);
  w->Rect = {x, y, x + width, y + height};
  w->Client = {0, 0, width, height};
  S().Windows[reinterpret_cast<std::uintptr_t>(w->Handle)] = wp;
  if (!messageOnly) LinkChild(w->Parent, w, true);

  HWND h = w->Handle;
  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = LONG(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  if (!Send(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (FromHandle(h)) FreeTree(w);
    return nullptr;
  }
  if (!FromHandle(h)) return nullptr;
  RecalcClient(w, nullptr);
  if (!FromHandle(h)) return nullptr;
  if (Send(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(h);
    return nullptr;
  }
  if (!FromHandle(h)) return nullptr;
  w->Created = true;
  SendSizeMove(w);
  if (!FromHandle(h)) return nullptr;
  SendParentNotify(w, WM_CREATE);
  if (!FromHandle(h)) return nullptr;
  if (style & WS_VISIBLE) {
    bool noActivate = (exStyle & WS_EX_NOACTIVATE) || (style & WS_CHILD);
    ShowWindow(h, noActivate ? SW_SHOWNA : SW_SHOW);
  }
  return FromHandle(h) ? h : nullptr;
}

BOOL DestroyWindow(HWND window) {
  TWnd* w = FromHandle(window);
  if (!w || w == Desktop()) return FALSE;
  if (w->Destroying) return TRUE;
  auto hold = Hold(w);
  w->Destroying = true;
  // Windows this one owns go first.
  std::vector<HWND> owned;
  for (TWnd* t : Desktop()->Children)
    if (t->Owner == w) owned.push_back(t->Handle);
  for (HWND o : owned) DestroyWindow(o);
  if (w->Style & WS_VISIBLE)
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (w->Destroyed) return TRUE;
  WindowHidingOrDying(w);
  SendParentNotify(w, WM_DESTROY);
  if (w->Destroyed) return TRUE;
  SendDestroy(w);
  if (!w->Destroyed) FreeTree(w);
  return TRUE;
}

BOOL IsWindow(HWND window) { return window && FromHandle(window) ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND window) {
  TWnd* w = FromHandle(window);
  return w && ReallyVisible(w) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
  TWnd* w = FromHandle(window);
  return w && !(w->Style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
  TWnd* w = FromHandle(window);
  if (!w) return FALSE;
  bool wasDisabled = (w->Style & WS_DISABLED) != 0;
  if (bool(enable) == !wasDisabled) return wasDisabled;
  if (!enable) {
    Send(w, WM_CANCELMODE, 0, 0);
    if (!FromHandle(window)) return wasDisabled;
    w->Style |= WS_DISABLED;
    TWnd* focus = FromHandle(S().Focus);
    if (focus && (focus == w || IsDescendant(w, focus))) SetFocusInternal(nullptr);
  } else {
    w->Style &= ~WS_DISABLED;
  }
  Send(w, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsChild(HWND parent, HWND window) {
  TWnd* p = FromHandle(parent);
  TWnd* w = FromHandle(window);
  if (!p || !w) return FALSE;
  for (; w && w->IsChild(); w = w->Parent)
    if (w->Parent == p) return TRUE;
  return FALSE;
}

BOOL IsIconic(HWND window) {
  TWnd* w = FromHandle(window);
  return w && w->Iconic ? TRUE : FALSE;
}

BOOL IsZoomed(HWND window) {
  TWnd* w = FromHandle(window);
  return w && (w->Style & WS_MAXIMIZE) ? TRUE : FALSE;
}

HWND GetDesktopWindow() {
  EnsureInit();
  return Desktop()->Handle;
}

// ---- Relations --------------------------------------------------------------------------------

HWND GetParent(HWND window) {
  TWnd* w = FromHandle(window);
  if (!w) return nullptr;
  if (w->IsChild()) return w->Parent->Handle;
  if ((w->Style & WS_POPUP) && w->Owner) return w->Owner->Handle;
  return nullptr;
}

HWND SetParent(HWND window, HWND newParent) {
  TWnd* w = FromHandle(window);
  if (!w || w == Desktop()) return nullptr;
  TWnd* p = newParent ? FromHandle(newParent) : Desktop();
  if (!p || p == w || IsDescendant(w, p)) return nullptr;
  TWnd* old = w->Parent;
  HWND oldHandle = old ? old->Handle : nullptr;
  bool wasVisible = (w->Style & WS_VISIBLE) != 0;
  TPoint origin = WindowOrigin(w);
  if (wasVisible) ShowWindow(window, SW_HIDE);
  if (!FromHandle(window)) return nullptr;
  UnlinkChild(w);
  w->Parent = p;
  if (p == Desktop()) {
    // Keeps its place on the screen.
    w->Rect = {origin.X, origin.Y, origin.X + w->Rect.Width(), origin.Y + w->Rect.Height()};
  } else {
    TPoint po = ClientOrigin(p);
    w->Rect = OffsetRectBy(w->Rect, origin.X - po.X - w->Rect.Left, origin.Y - po.Y - w->Rect.Top);
  }
  LinkChild(p, w, true);
  if (!w->IsTopLevel()) w->Surface.reset();
  if (wasVisible) ShowWindow(window, SW_SHOWNA);
  return oldHandle;
}

HWND GetAncestor(HWND window, UINT flags) {
  TWnd* w = FromHandle(window);
  if (!w || w == Desktop()) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->Parent ? w->Parent->Handle : nullptr;
    case GA_ROOT: return TopLevelOf(w)->Handle;
    case GA_ROOTOWNER: {
      TWnd* t = TopLevelOf(w);
      while (t->Owner) t = t->Owner;
      return t->Handle;
    }
    default: return nullptr;
  }
}

HWND GetWindow(HWND window, UINT command) {
  TWnd* w = FromHandle(window);
  if (!w) return nullptr;
  auto siblings = [&]() -> const std::vector<TWnd*>* {
    return w->Parent ? &w->Parent->Children : nullptr;
  };
  switch (command) {
    case GW_CHILD: return w->Children.empty() ? nullptr : w->Children.front()->Handle;
    case GW_OWNER: return w->Owner ? w->Owner->Handle : nullptr;
    case GW_HWNDFIRST: {
      auto* s = siblings();
      return s && !s->empty() ? s->front()->Handle : nullptr;
    }
    case GW_HWNDLAST: {
      auto* s = siblings();
      return s && !s->empty() ? s->back()->Handle : nullptr;
    }
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
      auto* s = siblings();
      if (!s) return nullptr;
      auto it = std::find(s->begin(), s->end(), w);
      if (it == s->end()) return nullptr;
      if (command == GW_HWNDNEXT) return ++it == s->end() ? nullptr : (*it)->Handle;
      return it == s->begin() ? nullptr : (*--it)->Handle;
    }
    case GW_ENABLEDPOPUP: {
      for (TWnd* t : Desktop()->Children)
        if (t->Owner == w && (t->Style & WS_VISIBLE) && !(t->Style & WS_DISABLED)) return t->Handle;
      return nullptr;
    }
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND window) {
  TWnd* w = window ? FromHandle(window) : Desktop();
  if (!w || w->Children.empty()) return nullptr;
  return w->Children.front()->Handle;
}

namespace {

bool EnumTree(TWnd* parent, WNDENUMPROC proc, LPARAM param) {
  std::vector<HWND> kids;
  for (TWnd* c : parent->Children) kids.push_back(c->Handle);
  for (HWND h : kids) {
    TWnd* c = FromHandle(h);
    if (!c) continue;
    if (!proc(h, param)) return false;
    c = FromHandle(h);
    if (c && !EnumTree(c, proc, param)) return false;
  }
  return true;
}

}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
  TWnd* p = parent ? FromHandle(parent) : Desktop();
  if (!p || !proc) return FALSE;
  EnumTree(p, proc, param);
  return TRUE;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param) {
  EnsureInit();
  std::vector<HWND> tops;
  for (TWnd* c : Desktop()->Children) tops.push_back(c->Handle);
  for (HWND h : tops)
    if (FromHandle(h) && !proc(h, param)) return FALSE;
  return TRUE;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM param) {
  return EnumWindows(proc, param);
}

HWND FindWindow(const char* className, const char* windowName) {
  EnsureInit();
  auto cls = className ? FindClass(className) : nullptr;
  if (className && !cls) return nullptr;
  for (TWnd* t : Desktop()->Children) {
    if (cls && t->Class != cls) continue;
    if (windowName && t->Text != windowName) continue;
    return t->Handle;
  }
  return nullptr;
}

DWORD GetCurrentThreadId() { return 1; }
DWORD GetCurrentProcessId() { return 1; }

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  if (!FromHandle(window)) return 0;
  if (processId) *processId = GetCurrentProcessId();
  return GetCurrentThreadId();
}

// ---- Window data ------------------------------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND window, int index) {
  TWnd* w = FromHandle(window);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->Proc);
    case GWL_STYLE: return LONG_PTR(LONG(w->Style));
    case GWL_EXSTYLE: return LONG_PTR(LONG(w->ExStyle));
    case GWLP_USERDATA: return w->UserData;
    case GWLP_ID: return w->Id;
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->Instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(w->IsChild() ? w->Parent->Handle
                                                     : (w->Owner ? w->Owner->Handle : nullptr));
    default:
      if (index >= 0 && std::size_t(index) / sizeof(LONG_PTR) < w->Extra.size())
        return w->Extra[std::size_t(index) / sizeof(LONG_PTR)];
      return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
  TWnd* w = FromHandle(window);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtr(window, index);
  switch (index) {
    case GWLP_WNDPROC: w->Proc = reinterpret_cast<WNDPROC>(value); break;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      struct {
        DWORD styleOld;
        DWORD styleNew;
      } change{DWORD(old), DWORD(value)};
      WPARAM kind = WPARAM(index);
      Send(w, WM_STYLECHANGING, kind, reinterpret_cast<LPARAM>(&change));
      if (!FromHandle(window)) return old;
      if (index == GWL_STYLE) {
        w->Style = change.styleNew;
      } else {
        w->ExStyle = change.styleNew;
      }
      Send(w, WM_STYLECHANGED, kind, reinterpret_cast<LPARAM>(&change));
      if (FromHandle(window) && w->IsTopLevel()) NotifyBackend(w, wcStyle);
      break;
    }
    case GWLP_USERDATA: w->UserData = value; break;
    case GWLP_ID: w->Id = value; break;
    case GWLP_HINSTANCE: w->Instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWLP_HWNDPARENT:
      if (!w->IsChild()) {
        TWnd* o = FromHandle(reinterpret_cast<HWND>(value));
        w->Owner = o ? TopLevelOf(o) : nullptr;
      }
      break;
    default:
      if (index >= 0 && std::size_t(index) / sizeof(LONG_PTR) < w->Extra.size())
        w->Extra[std::size_t(index) / sizeof(LONG_PTR)] = value;
      else
        return 0;
  }
  return old;
}

BOOL SetWindowText(HWND window, const char* text) {
  TWnd* w = FromHandle(window);
  if (!w) return FALSE;
  return Send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowText(HWND window, char* text, int maxCount) {
  TWnd* w = FromHandle(window);
  if (!w || !text || maxCount <= 0) return 0;
  text[0] = 0;
  return int(Send(w, WM_GETTEXT, WPARAM(maxCount), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLength(HWND window) {
  TWnd* w = FromHandle(window);
  return w ? int(Send(w, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

BOOL SetProp(HWND window, const char* name, HANDLE data) {
  TWnd* w = FromHandle(window);
  if (!w || !name) return FALSE;
  w->Props[IS_INTRESOURCE(name) ? "#" + std::to_string(std::uintptr_t(name)) : std::string(name)] = data;
  return TRUE;
}

HANDLE GetProp(HWND window, const char* name) {
  TWnd* w = FromHandle(window);
  if (!w || !name) return nullptr;
  auto it = w->Props.find(IS_INTRESOURCE(name) ? "#" + std::to_string(std::uintptr_t(name))
                                                : std::string(name));
  return it == w->Props.end() ? nullptr : it->second;
}

HANDLE RemoveProp(HWND window, const char* name) {
  TWnd* w = FromHandle(window);
  if (!w || !name) return nullptr;
  auto it = w->Props.find(IS_INTRESOURCE(name) ? "#" + std::to_string(std::uintptr_t(name))
                                                : std::string(name));
  if (it == w->Props.end()) return nullptr;
  HANDLE h = it->second;
  w->Props.erase(it);
  return h;
}

// ---- Position, size, z-order ------------------------------------------------------------------

namespace {

// Moves `w` in its parent's z-order; answers whether the order changed.
bool Reorder(TWnd* w, HWND after) {
  TWnd* p = w->Parent;
  if (!p || w->MessageOnly) return false;
  auto& c = p->Children;
  std::vector<TWnd*> before = c;
  bool top = w->IsTopLevel();
  UnlinkChild(w);
  if (after == HWND_TOPMOST) {
    if (top) w->ExStyle |= WS_EX_TOPMOST;
    c.insert(c.begin(), w);
  } else if (after == HWND_NOTOPMOST) {
    w->ExStyle &= ~WS_EX_TOPMOST;
    LinkChild(p, w, true);
  } else if (after == HWND_TOP) {
    LinkChild(p, w, true);
  } else if (after == HWND_BOTTOM) {
    w->ExStyle &= ~WS_EX_TOPMOST;
    c.push_back(w);
  } else {
    TWnd* a = FromHandle(after);
    auto it = a ? std::find(c.begin(), c.end(), a) : c.end();
    if (it == c.end()) {
      LinkChild(p, w, true);
    } else {
      if (top) {
        if ((a->ExStyle & WS_EX_TOPMOST) && !(w->ExStyle & WS_EX_TOPMOST)) {
          LinkChild(p, w, true);  // cannot go among the topmost windows
          return c != before;
        }
        if (!(a->ExStyle & WS_EX_TOPMOST)) w->ExStyle &= ~WS_EX_TOPMOST;
      }
      c.insert(it + 1, w);
    }
  }
  if (top) {
    // Owned windows stay above their owner.
    std::vector<TWnd*> owned;
    for (TWnd* t : c)
      if (t != w && t->Owner == w) owned.push_back(t);
    for (TWnd* o : owned) {
      if (std::find(c.begin(), c.end(), o) > std::find(c.begin(), c.end(), w)) {
        c.erase(std::find(c.begin(), c.end(), o));
        c.insert(std::find(c.begin(), c.end(), w), o);
      }
    }
  }
  return c != before;
}

}  // namespace

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  TWnd* w = FromHandle(window);
  if (!w || w == Desktop()) return FALSE;
  auto hold = Hold(w);
  WINDOWPOS pos;
  pos.hwnd = window;
  pos.hwndInsertAfter = insertAfter;
  pos.x = x;
  pos.y = y;
  pos.cx = width;
  pos.cy = height;
  pos.flags = flags;
  if (flags & SWP_NOMOVE) {
    pos.x = w->Rect.Left;
    pos.y = w->Rect.Top;
  }
  if (flags & SWP_NOSIZE) {
    pos.cx = w->Rect.Width();
    pos.cy = w->Rect.Height();
  }
  if ((flags & SWP_SHOWWINDOW) && (w->Style & WS_VISIBLE)) pos.flags &= ~SWP_SHOWWINDOW;
  if ((flags & SWP_HIDEWINDOW) && !(w->Style & WS_VISIBLE)) pos.flags &= ~SWP_HIDEWINDOW;
  if (!(pos.flags & SWP_NOSENDCHANGING)) {
    Send(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!FromHandle(window)) return FALSE;
  }
  pos.cx = std::max(0, pos.cx);
  pos.cy = std::max(0, pos.cy);
  TRect oldRect = w->Rect;
  TRect oldScreen = ScreenRect(w);
  bool wasVisible = ReallyVisible(w);
  TRect newRect{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
  bool moved = !(pos.flags & SWP_NOMOVE) && (newRect.Left != oldRect.Left || newRect.Top != oldRect.Top);
  bool sized = !(pos.flags & SWP_NOSIZE) &&
               (newRect.Width() != oldRect.Width() || newRect.Height() != oldRect.Height());
  if (!moved) pos.flags |= SWP_NOMOVE;
  if (!sized) pos.flags |= SWP_NOSIZE;
  bool zChanged = false;
  if (!(pos.flags & SWP_NOZORDER)) zChanged = Reorder(w, pos.hwndInsertAfter);
  if (moved || sized) {
    TPoint at = moved ? newRect.TopLeft() : oldRect.TopLeft();
    w->Rect = Bounds(at.X, at.Y, sized ? newRect.Width() : oldRect.Width(),
                     sized ? newRect.Height() : oldRect.Height());
  }
  TRect oldClient = w->Client;
  if (sized || (pos.flags & SWP_FRAMECHANGED)) {
    RecalcClient(w, &pos);
    if (!FromHandle(window)) return FALSE;
  }
  if (w->Client.Width() == oldClient.Width() && w->Client.Height() == oldClient.Height())
    pos.flags |= SWP_NOCLIENTSIZE;
  if (w->Client.Left == oldClient.Left && w->Client.Top == oldClient.Top && !moved)
    pos.flags |= SWP_NOCLIENTMOVE;
  if (pos.flags & SWP_SHOWWINDOW) w->Style |= WS_VISIBLE;
  if (pos.flags & SWP_HIDEWINDOW) w->Style &= ~WS_VISIBLE;
  bool nowVisible = ReallyVisible(w);

  if (w->IsTopLevel()) {
    unsigned what = 0;
    if (moved || sized) what |= wcBounds;
    if (zChanged) what |= wcZOrder;
    if (nowVisible && !wasVisible) what |= wcShown;
    if (!nowVisible && wasVisible) what |= wcHidden;
    if (pos.flags & SWP_FRAMECHANGED) what |= wcStyle;
    if (sized || (nowVisible && !w->Surface)) EnsureSurface(w);
    if (what) NotifyBackend(w, what);
  }
  bool visualChange = moved || sized || zChanged || nowVisible != wasVisible ||
                      (pos.flags & SWP_FRAMECHANGED);
  if (visualChange && !(pos.flags & SWP_NOREDRAW) && (wasVisible || nowVisible)) {
    if (w->IsTopLevel() && !sized && !(pos.flags & SWP_FRAMECHANGED) && wasVisible && nowVisible) {
      // A top-level window keeps its own pixels when it only moves or changes order.
    } else {
      ExposeAfterChange(w, oldScreen, wasVisible);
    }
  }
  if (!nowVisible && wasVisible) WindowHidingOrDying(w);
  if (!FromHandle(window)) return TRUE;
  if (w->IsTopLevel() && !w->IsChild() && !(pos.flags & SWP_NOACTIVATE) && nowVisible &&
      !(w->Style & WS_DISABLED) && !(w->ExStyle & WS_EX_NOACTIVATE) &&
      ((pos.flags & SWP_SHOWWINDOW) || !(pos.flags & SWP_NOZORDER)))
    ActivateInternal(window, WA_ACTIVE);
  if (!FromHandle(window)) return TRUE;
  Send(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(window, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

struct HDWP__ {
  std::vector<WINDOWPOS> Items;
};

HDWP BeginDeferWindowPos(int count) {
  auto* d = new HDWP__;
  d->Items.reserve(std::size_t(std::max(0, count)));
  return d;
}

HDWP DeferWindowPos(HDWP info, HWND window, HWND insertAfter, int x, int y, int width,
                    int height, UINT flags) {
  if (!info) return nullptr;
  if (!FromHandle(window)) {
    delete info;
    return nullptr;
  }
  WINDOWPOS p;
  p.hwnd = window;
  p.hwndInsertAfter = insertAfter;
  p.x = x;
  p.y = y;
  p.cx = width;
  p.cy = height;
  p.flags = flags;
  info->Items.push_back(p);
  return info;
}

BOOL EndDeferWindowPos(HDWP info) {
  if (!info) return FALSE;
  std::vector<WINDOWPOS> items = std::move(info->Items);
  delete info;
  for (const WINDOWPOS& p : items)
    SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags);
  return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
  TWnd* w = FromHandle(window);
  if (!w || w == Desktop()) return FALSE;
  auto hold = Hold(w);
  bool wasVisible = (w->Style & WS_VISIBLE) != 0;
  bool child = w->IsChild();
  switch (command) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      Send(w, WM_SHOWWINDOW, FALSE, 0);
      if (!FromHandle(window)) return TRUE;
      SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
    case SW_SHOWMINNOACTIVE:
      if (w->Iconic && command != SW_SHOWMINNOACTIVE) w->Iconic = false;
      if (!wasVisible) {
        Send(w, WM_SHOWWINDOW, TRUE, 0);
        if (!FromHandle(window)) return FALSE;
      }
      SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                       (command == SW_SHOWNA || child ? SWP_NOZORDER : 0));
      return wasVisible;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_FORCEMINIMIZE:
      if (!w->Iconic) {
        w->Iconic = true;
        if (!wasVisible) w->Style |= WS_VISIBLE;
        ExposeAfterChange(w, ScreenRect(w), !child || wasVisible);
        WindowHidingOrDying(w);
        Send(w, WM_SIZE, SIZE_MINIMIZED, 0);
        if (FromHandle(window) && w->IsTopLevel()) NotifyBackend(w, wcHidden);
      }
      return wasVisible;
    default:  // SW_SHOW, SW_SHOWNORMAL, SW_RESTORE, SW_SHOWDEFAULT, SW_MAXIMIZE
      if (w->Iconic) {
        w->Iconic = false;
        if (w->IsTopLevel()) NotifyBackend(w, wcShown);
        ExposeAfterChange(w, ScreenRect(w), false);
        SendSizeMove(w);
        if (!FromHandle(window)) return wasVisible;
      }
      if (!wasVisible) {
        Send(w, WM_SHOWWINDOW, TRUE, 0);
        if (!FromHandle(window)) return FALSE;
      }
      SetWindowPos(window, HWND_TOP, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE |
                       (child ? SWP_NOZORDER | SWP_NOACTIVATE : 0));
      return wasVisible;
  }
}

BOOL ShowOwnedPopups(HWND owner, BOOL show) {
  TWnd* o = FromHandle(owner);
  if (!o) return FALSE;
  std::vector<HWND> owned;
  for (TWnd* t : Desktop()->Children)
    if (t->Owner == o) owned.push_back(t->Handle);
  for (HWND h : owned) ShowWindow(h, show ? SW_SHOWNA : SW_HIDE);
  return TRUE;
}

BOOL BringWindowToTop(HWND window) {
  return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
  TWnd* w = FromHandle(window);
  if (!w || !placement) return FALSE;
  placement->flags = 0;
  placement->showCmd = w->Iconic ? SW_SHOWMINIMIZED : (w->Style & WS_VISIBLE ? SW_SHOWNORMAL : SW_HIDE);
  placement->ptMinPosition = {-1, -1};
  placement->ptMaxPosition = {-1, -1};
  placement->rcNormalPosition = w->Rect;
  return TRUE;
}

// The fade, slide and roll effects have no desktop counterpart here: the window shows or hides
// at once, and the one frame the effect would end with is painted.
BOOL AnimateWindow(HWND window, DWORD time, DWORD flags) {
  TWnd* w = FromHandle(window);
  if (!w) return FALSE;
  if (flags & AW_HIDE) {
    if (!(w->Style & WS_VISIBLE)) return FALSE;
    ShowWindow(window, SW_HIDE);
    return TRUE;
  }
  if (w->Style & WS_VISIBLE) return FALSE;
  ShowWindow(window, (flags & AW_ACTIVATE) ? SW_SHOW : SW_SHOWNA);
  UpdateWindow(window);
  return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  TWnd* w = FromHandle(window);
  if (!w || !rect) return FALSE;
  *rect = ScreenRect(w);
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  TWnd* w = FromHandle(window);
  if (!w || !rect) return FALSE;
  *rect = {0, 0, w->Client.Width(), w->Client.Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
  TWnd* w = FromHandle(window);
  if (!w || !point) return FALSE;
  TPoint o = ClientOrigin(w);
  point->X += o.X;
  point->Y += o.Y;
  return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
  TWnd* w = FromHandle(window);
  if (!w || !point) return FALSE;
  TPoint o = ClientOrigin(w);
  point->X -= o.X;
  point->Y -= o.Y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  TPoint a{0, 0}, b{0, 0};
  if (from) {
    TWnd* w = FromHandle(from);
    if (!w) return 0;
    a = ClientOrigin(w);
  }
  if (to) {
    TWnd* w = FromHandle(to);
    if (!w) return 0;
    b = ClientOrigin(w);
  }
  int dx = a.X - b.X, dy = a.Y - b.Y;
  for (UINT i = 0; i < count && points; ++i) {
    points[i].X += dx;
    points[i].Y += dy;
  }
  return int(MAKELONG(WORD(dx), WORD(dy)));
}

// ---- Searches by point ------------------------------------------------------------------------

namespace orv::win {

// The window under a screen point and its hit-test code, asking WM_NCHITTEST on the way:
// hidden and disabled child windows and windows that answer HTTRANSPARENT are passed over.
TWnd* HitWindow(TWnd* w, POINT p, int& hit) {
  if (!(w->Style & WS_VISIBLE) || w->Iconic) return nullptr;
  TRect r = ScreenRect(w);
  if (!PointIn(r, p)) return nullptr;
  TPoint o = WindowOrigin(w);
  if (!InWindowRegion(w, {p.X - o.X, p.Y - o.Y})) return nullptr;
  if (w->IsChild() && (w->Style & WS_DISABLED)) return nullptr;
  if (PointIn(ScreenClientRect(w), p) && !(w->Style & WS_DISABLED)) {
    std::vector<HWND> kids;
    for (TWnd* c : w->Children) kids.push_back(c->Handle);
    for (HWND h : kids) {
      TWnd* c = FromHandle(h);
      if (!c) continue;
      if (TWnd* found = HitWindow(c, p, hit)) return found;
    }
  }
  HWND h = w->Handle;
  int code = int(Send(w, WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y)));
  if (!FromHandle(h)) return nullptr;
  if (code == HTTRANSPARENT) return nullptr;
  hit = code;
  return w;
}

TWnd* HitTopLevel(POINT p, int& hit) {
  EnsureInit();
  std::vector<HWND> tops;
  for (TWnd* t : Desktop()->Children) tops.push_back(t->Handle);
  for (HWND h : tops) {
    TWnd* t = FromHandle(h);
    if (!t) continue;
    if (TWnd* found = HitWindow(t, p, hit)) return found;
  }
  hit = HTNOWHERE;
  return nullptr;
}

}  // namespace orv::win

HWND WindowFromPoint(POINT point) {
  int hit = 0;
  TWnd* w = HitTopLevel(point, hit);
  return w ? w->Handle : Desktop()->Handle;
}

HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags) {
  TWnd* p = FromHandle(parent);
  if (!p) return nullptr;
  TPoint o = ClientOrigin(p);
  TPoint screen{point.X + o.X, point.Y + o.Y};
  if (!PointIn(ScreenRect(p), screen)) return nullptr;
  for (TWnd* c : p->Children) {
    if ((flags & CWP_SKIPINVISIBLE) && !(c->Style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->Style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->ExStyle & WS_EX_TRANSPARENT)) continue;
    if (!PointIn(ScreenRect(c), screen)) continue;
    TPoint co = WindowOrigin(c);
    if (!InWindowRegion(c, {screen.X - co.X, screen.Y - co.Y})) continue;
    return c->Handle;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
  return ChildWindowFromPointEx(parent, point, CWP_ALL);
}

HWND RealChildWindowFromPoint(HWND parent, POINT point) {
  return ChildWindowFromPointEx(parent, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
}

// ---- Window regions and layered windows -------------------------------------------------------

int SetWindowRgn(HWND window, HRGN region, BOOL redraw) {
  TWnd* w = FromHandle(window);
  if (!w) return 0;
  TRect oldScreen = ScreenRect(w);
  bool visible = ReallyVisible(w);
  if (w->Region) DeleteObject(w->Region);
  w->Region = region;
  if (w->IsTopLevel()) NotifyBackend(w, wcRegion);
  if (redraw && visible) ExposeAfterChange(w, oldScreen, true);
  return 1;
}

int GetWindowRgn(HWND window, HRGN region) {
  TWnd* w = FromHandle(window);
  if (!w || !w->Region || !region) return ERROR;
  return CombineRgn(region, w->Region, nullptr, RGN_COPY);
}

BOOL SetLayeredWindowAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags) {
  TWnd* w = FromHandle(window);
  if (!w || !(w->ExStyle & WS_EX_LAYERED)) return FALSE;
  w->LayeredFlags = flags;
  w->Alpha = (flags & LWA_ALPHA) ? alpha : 255;
  w->ColorKey = (flags & LWA_COLORKEY) ? key : CLR_INVALID;
  w->PerPixelAlpha = false;
  if (w->IsTopLevel()) {
    NotifyBackend(w, wcOpacity);
    MarkDirtyAll(w);
  }
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND window, COLORREF* key, BYTE* alpha, DWORD* flags) {
  TWnd* w = FromHandle(window);
  if (!w || !(w->ExStyle & WS_EX_LAYERED)) return FALSE;
  if (key) *key = w->ColorKey;
  if (alpha) *alpha = w->Alpha;
  if (flags) *flags = w->LayeredFlags;
  return TRUE;
}

BOOL UpdateLayeredWindow(HWND window, HDC screenDC, const POINT* position, const SIZE* size,
                         HDC source, const POINT* sourcePoint, COLORREF key,
                         const BLENDFUNCTION* blend, DWORD flags) {
  TWnd* w = FromHandle(window);
  if (!w || !(w->ExStyle & WS_EX_LAYERED) || !w->IsTopLevel()) return FALSE;
  if (position || size) {
    TRect r = w->Rect;
    int x = position ? position->X : r.Left, y = position ? position->Y : r.Top;
    int cx = size ? size->cx : r.Width(), cy = size ? size->cy : r.Height();
    SetWindowPos(window, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    if (!FromHandle(window)) return FALSE;
  }
  EnsureSurface(w);
  if (source) {
    HDC dst = MakeDC(w, false, false, nullptr);
    // The layered window's own pixels, visible or not.
    SetDCVisibleRegion(dst, nullptr);
    POINT sp = sourcePoint ? *sourcePoint : POINT{0, 0};
    BitBlt(dst, 0, 0, w->Rect.Width(), w->Rect.Height(), source, sp.X, sp.Y, SRCCOPY);
    DeleteDC(dst);
  }
  w->PerPixelAlpha = (flags & ULW_ALPHA) && blend && (blend->AlphaFormat & AC_SRC_ALPHA);
  w->Alpha = (flags & ULW_ALPHA) && blend ? blend->SourceConstantAlpha : 255;
  w->ColorKey = (flags & ULW_COLORKEY) ? key : CLR_INVALID;
  w->LayeredFlags = flags;
  ValidateAll(w);
  NotifyBackend(w, wcOpacity);
  MarkDirtyAll(w);
  return TRUE;
}
