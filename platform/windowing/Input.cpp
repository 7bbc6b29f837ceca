// Input: raw events into mouse and key messages (hit testing, mouse activation, cursor setting,
// double clicks, the mouse and keyboard hooks, key data), key state and keyboard mapping, the
// cursor, mouse capture, mouse-leave tracking, keyboard focus and window activation.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/windowing/WindowInternal.h"

namespace orv::win {

namespace {

bool IsDown(BYTE b) { return (b & 0x80) != 0; }

WPARAM MouseKeys(const BYTE* state) {
  WPARAM k = 0;
  if (IsDown(state[VK_LBUTTON])) k |= MK_LBUTTON;
  if (IsDown(state[VK_RBUTTON])) k |= MK_RBUTTON;
  if (IsDown(state[VK_MBUTTON])) k |= MK_MBUTTON;
  if (IsDown(state[VK_SHIFT])) k |= MK_SHIFT;
  if (IsDown(state[VK_CONTROL])) k |= MK_CONTROL;
  return k;
}

int ButtonKey(int button) {
  static const int keys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2};
  return keys[std::clamp(button, 0, 4)];
}

UINT ButtonMessage(int button, bool down) {
  switch (button) {
    case 1: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case 2: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case 3:
    case 4: return down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
    default: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  }
}

bool MatchFilter(HWND filter, UINT first, UINT last, const MSG& m) {
  if (filter && m.hwnd != filter && !IsChild(filter, m.hwnd)) return false;
  if (first == 0 && last == 0) return true;
  return m.message >= first && m.message <= last;
}

// Generic key codes for the left and right variants.
int GenericKey(int vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return vk;
  }
}

void SetKey(BYTE* state, int vk, bool down, bool toggle) {
  vk &= 0xFF;
  if (down) {
    if (toggle && !IsDown(state[vk])) state[vk] ^= 1;
    state[vk] |= 0x80;
  } else {
    state[vk] &= BYTE(~0x80);
  }
}

// Scan codes (set 1) of the keys the keyboard mapping knows.
struct TScan {
  int Vk;
  int Scan;
};
const TScan kScanCodes[] = {
    {VK_ESCAPE, 0x01}, {'1', 0x02}, {'2', 0x03}, {'3', 0x04}, {'4', 0x05}, {'5', 0x06},
    {'6', 0x07}, {'7', 0x08}, {'8', 0x09}, {'9', 0x0A}, {'0', 0x0B}, {VK_OEM_MINUS, 0x0C},
    {VK_OEM_PLUS, 0x0D}, {VK_BACK, 0x0E}, {VK_TAB, 0x0F}, {'Q', 0x10}, {'W', 0x11}, {'E', 0x12},
    {'R', 0x13}, {'T', 0x14}, {'Y', 0x15}, {'U', 0x16}, {'I', 0x17}, {'O', 0x18}, {'P', 0x19},
    {VK_OEM_4, 0x1A}, {VK_OEM_6, 0x1B}, {VK_RETURN, 0x1C}, {VK_CONTROL, 0x1D}, {'A', 0x1E},
    {'S', 0x1F}, {'D', 0x20}, {'F', 0x21}, {'G', 0x22}, {'H', 0x23}, {'J', 0x24}, {'K', 0x25},
    {'L', 0x26}, {VK_OEM_1, 0x27}, {VK_OEM_7, 0x28}, {VK_OEM_3, 0x29}, {VK_SHIFT, 0x2A},
    {VK_OEM_5, 0x2B}, {'Z', 0x2C}, {'X', 0x2D}, {'C', 0x2E}, {'V', 0x2F}, {'B', 0x30},
    {'N', 0x31}, {'M', 0x32}, {VK_OEM_COMMA, 0x33}, {VK_OEM_PERIOD, 0x34}, {VK_OEM_2, 0x35},
    {VK_RSHIFT, 0x36}, {VK_MULTIPLY, 0x37}, {VK_MENU, 0x38}, {VK_SPACE, 0x39}, {VK_CAPITAL, 0x3A},
    {VK_F1, 0x3B}, {VK_F2, 0x3C}, {VK_F3, 0x3D}, {VK_F4, 0x3E}, {VK_F5, 0x3F}, {VK_F6, 0x40},
    {VK_F7, 0x41}, {VK_F8, 0x42}, {VK_F9, 0x43}, {VK_F10, 0x44}, {VK_NUMLOCK, 0x45},
    {VK_SCROLL, 0x46}, {VK_HOME, 0x47}, {VK_UP, 0x48}, {VK_PRIOR, 0x49}, {VK_SUBTRACT, 0x4A},
    {VK_LEFT, 0x4B}, {VK_CLEAR, 0x4C}, {VK_RIGHT, 0x4D}, {VK_ADD, 0x4E}, {VK_END, 0x4F},
    {VK_DOWN, 0x50}, {VK_NEXT, 0x51}, {VK_INSERT, 0x52}, {VK_DELETE, 0x53}, {VK_OEM_102, 0x56},
    {VK_F11, 0x57}, {VK_F12, 0x58}, {VK_LWIN, 0x5B}, {VK_RWIN, 0x5C}, {VK_APPS, 0x5D},
};

int ScanOf(int vk) {
  for (const TScan& s : kScanCodes)
    if (s.Vk == vk) return s.Scan;
  return 0;
}

// The US layout's characters of the punctuation keys: unshifted and shifted.
struct TOemChar {
  int Vk;
  char Plain;
  char Shifted;
};
const TOemChar kOemChars[] = {
    {VK_OEM_1, ';', ':'},  {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
    {VK_OEM_3, '`', '~'},  {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'},  {VK_OEM_7, '\'', '"'},     {VK_OEM_102, '\\', '|'},
};
const char kShiftedDigits[] = ")!@#$%^&*(";

HCURSOR ArrowCursor() { return LoadCursor(nullptr, IDC_ARROW); }

// ---- Mouse events into messages ---------------------------------------------------------------

// The message a mouse event becomes now; false when it reaches no window.
bool MouseMessage(const TInputEvent& ev, MSG& m, int& hit, bool& dbl) {
  TState& s = S();
  dbl = false;
  TWnd* target = nullptr;
  hit = HTCLIENT;
  if (ev.Kind == TInputKind::Wheel || ev.Kind == TInputKind::HWheel) {
    target = FromHandle(s.Focus ? s.Focus : s.Active);
    if (!target) return false;
    m.hwnd = target->Handle;
    m.message = ev.Kind == TInputKind::Wheel ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
    m.wParam = MAKEWPARAM(int(MouseKeys(s.KeyState)), ev.Delta);
    m.lParam = MAKELPARAM(ev.Pos.X, ev.Pos.Y);
    return true;
  }
  if (TWnd* c = FromHandle(s.Capture)) {
    target = c;
  } else {
    target = HitTopLevel(ev.Pos, hit);
    if (!target) return false;
  }
  UINT msg = ev.Kind == TInputKind::MouseMove ? WM_MOUSEMOVE
                                             : ButtonMessage(ev.Button, ev.Kind == TInputKind::MouseDown);
  m.hwnd = target->Handle;
  BYTE keys[256];
  std::memcpy(keys, s.KeyState, sizeof keys);
  if (ev.Kind != TInputKind::MouseMove) SetKey(keys, ButtonKey(ev.Button), ev.Kind == TInputKind::MouseDown, false);
  if (ev.Kind == TInputKind::MouseDown) {
    bool classDbl = hit != HTCLIENT || (target->Class->Info.style & CS_DBLCLKS);
    std::int64_t now = Now();
    int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (classDbl && s.LastDownMessage == msg && s.LastDownWindow == target->Handle &&
        now - s.LastDownTime <= std::int64_t(SystemSettings().DoubleClickTime) &&
        std::abs(ev.Pos.X - s.LastDownPos.X) <= cx && std::abs(ev.Pos.Y - s.LastDownPos.Y) <= cy) {
      dbl = true;
      msg += 2;  // WM_xBUTTONDBLCLK follows WM_xBUTTONDOWN by 2
    }
  }
  if (hit != HTCLIENT && !FromHandle(s.Capture)) {
    m.message = msg - (WM_MOUSEMOVE - WM_NCMOUSEMOVE);
    m.wParam = WPARAM(hit);
    m.lParam = MAKELPARAM(ev.Pos.X, ev.Pos.Y);
  } else {
    TPoint o = ClientOrigin(target);
    m.message = msg;
    m.wParam = MouseKeys(keys);
    if (ev.Kind != TInputKind::MouseMove && ev.Button >= 3)
      m.wParam |= MAKEWPARAM(0, ev.Button == 3 ? 1 : 2);
    m.lParam = MAKELPARAM(ev.Pos.X - o.X, ev.Pos.Y - o.Y);
  }
  return true;
}

void UpdateMouseLeave(HWND target, int hit) {
  TState& s = S();
  if (!s.Track.Window) return;
  bool nonClient = hit != HTCLIENT;
  if (s.Track.Window != target || s.Track.NonClient != nonClient) {
    Post(s.Track.Window, s.Track.NonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    s.Track = {};
  } else if (s.Track.Flags & TME_HOVER) {
    s.Track.HoverStart = Now();
  }
}

// ---- Key events into messages -----------------------------------------------------------------

bool KeyMessage(const TInputEvent& ev, MSG& m) {
  TState& s = S();
  TWnd* target = FromHandle(s.Focus ? s.Focus : s.Active);
  if (!target) return false;
  m.hwnd = target->Handle;
  if (ev.Kind == TInputKind::Char) {
    m.message = IsDown(s.KeyState[VK_MENU]) && !IsDown(s.KeyState[VK_CONTROL]) ? WM_SYSCHAR : WM_CHAR;
    m.wParam = BYTE(ev.Char);
    m.lParam = 1;
    return true;
  }
  int vk = GenericKey(ev.VirtualKey) & 0xFF;
  bool down = ev.Kind == TInputKind::KeyDown;
  bool alt = IsDown(s.KeyState[VK_MENU]) || (vk == VK_MENU && down);
  bool ctrl = IsDown(s.KeyState[VK_CONTROL]);
  bool sys = (alt && !ctrl) || vk == VK_F10 || !s.Focus;
  // Releasing Alt is a system key only when Alt was pressed alone.
  if (vk == VK_MENU && !down) sys = (s.AltAlone && !ctrl) || !s.Focus;
  m.message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  m.wParam = WPARAM(vk);
  int scan = ev.ScanCode ? ev.ScanCode : ScanOf(vk);
  LPARAM data = 1 | (LPARAM(scan & 0xFF) << 16);
  if (ev.Extended) data |= KF_EXTENDED_BIT;
  if (sys && (alt || vk == VK_MENU) && s.Focus) data |= KF_ALTDOWN_BIT;
  if (!down || IsDown(s.KeyState[vk])) data |= KF_PREVIOUS_BIT;
  if (!down) data |= KF_UP_BIT;
  m.lParam = LPARAM(std::int32_t(std::uint32_t(data)));
  if (ev.HasChar)
    m.lPrivate = 1 + BYTE(ev.Char);
  else if (ev.CharFollows)
    m.lPrivate = 0x10000;
  return true;
}

void DeliverAppActivation(const TInputEvent& ev) {
  SetAppActiveInternal(ev.Kind == TInputKind::AppActivate, ev.Window);
}

}  // namespace

bool InputWaiting() {
  for (const TInputEvent& ev : S().Input)
    if (ev.Kind != TInputKind::AppActivate && ev.Kind != TInputKind::AppDeactivate) return true;
  return false;
}

void CheckHover() {
  TState& s = S();
  if (!(s.Track.Flags & TME_HOVER) || !s.Track.Window) return;
  DWORD hover = s.Track.HoverTime == HOVER_DEFAULT ? SystemSettings().HoverTime : s.Track.HoverTime;
  if (Now() - s.Track.HoverStart < std::int64_t(hover)) return;
  TWnd* w = FromHandle(s.Track.Window);
  s.Track.Flags &= ~TME_HOVER;
  if (!w) return;
  if (s.Track.NonClient) {
    Post(w->Handle, WM_NCMOUSEHOVER, HTCLIENT, MAKELPARAM(s.CursorPos.X, s.CursorPos.Y));
  } else {
    TPoint o = ClientOrigin(w);
    Post(w->Handle, WM_MOUSEHOVER, MouseKeys(s.KeyState),
         MAKELPARAM(s.CursorPos.X - o.X, s.CursorPos.Y - o.Y));
  }
}

bool TakeInput(MSG& msg, HWND filter, UINT first, UINT last, bool remove) {
  TState& s = S();
  while (!s.Input.empty()) {
    TInputEvent ev = s.Input.front();
    if (ev.Kind == TInputKind::AppActivate || ev.Kind == TInputKind::AppDeactivate) {
      s.Input.pop_front();
      DeliverAppActivation(ev);
      continue;
    }
    MSG m;
    m.time = DWORD(Now());
    m.pt = ev.Kind == TInputKind::KeyDown || ev.Kind == TInputKind::KeyUp || ev.Kind == TInputKind::Char
               ? s.CursorPos
               : ev.Pos;
    bool mouse = ev.Kind <= TInputKind::HWheel;
    int hit = HTCLIENT;
    bool dbl = false;
    bool ok = mouse ? MouseMessage(ev, m, hit, dbl) : KeyMessage(ev, m);
    if (!ok) {
      // Nothing receives it (no window under the pointer, no focus): it is dropped, but its
      // key state still counts.
      s.Input.pop_front();
      if (mouse && ev.Kind != TInputKind::MouseMove && ev.Kind <= TInputKind::MouseUp)
        SetKey(s.KeyState, ButtonKey(ev.Button), ev.Kind == TInputKind::MouseDown, false);
      if (mouse && ev.Kind == TInputKind::MouseMove) UpdateMouseLeave(nullptr, HTNOWHERE);
      continue;
    }
    if (!MatchFilter(filter, first, last, m)) return false;
    TWnd* target = FromHandle(m.hwnd);
    // A disabled top-level window (the owner of a modal window) takes no mouse input.
    if (mouse && target && (TopLevelOf(target)->Style & WS_DISABLED) && !FromHandle(s.Capture)) {
      if (!remove) return false;
      s.Input.pop_front();
      if (ev.Kind == TInputKind::MouseDown) {
        SetKey(s.KeyState, ButtonKey(ev.Button), true, false);
        MessageBeep(0);
        if (HWND popup = GetWindow(TopLevelOf(target)->Handle, GW_ENABLEDPOPUP))
          ActivateInternal(popup, WA_CLICKACTIVE);
      } else if (ev.Kind == TInputKind::MouseUp) {
        SetKey(s.KeyState, ButtonKey(ev.Button), false, false);
      }
      SetCursor(ArrowCursor());
      continue;
    }
    // The hooks see the message first and may discard it.
    LRESULT discard = 0;
    if (mouse && HasHooks(WH_MOUSE)) {
      MOUSEHOOKSTRUCTEX hs;
      hs.pt = ev.Pos;
      hs.hwnd = m.hwnd;
      hs.wHitTestCode = UINT(hit);
      if (m.message == WM_MOUSEWHEEL || m.message == WM_MOUSEHWHEEL)
        hs.mouseData = DWORD(ev.Delta) << 16;
      discard = CallHooks(WH_MOUSE, remove ? HC_ACTION : HC_NOREMOVE, m.message,
                          reinterpret_cast<LPARAM>(&hs));
    } else if (!mouse && ev.Kind != TInputKind::Char && HasHooks(WH_KEYBOARD)) {
      discard = CallHooks(WH_KEYBOARD, remove ? HC_ACTION : HC_NOREMOVE, m.wParam, m.lParam);
    }
    if (discard) {
      // A discarded key leaves the key state as it was; a discarded button still counts.
      if (!s.Input.empty()) s.Input.pop_front();
      if (mouse && ev.Kind != TInputKind::MouseMove && ev.Kind <= TInputKind::MouseUp)
        SetKey(s.KeyState, ButtonKey(ev.Button), ev.Kind == TInputKind::MouseDown, false);
      continue;
    }
    if (!remove) {
      msg = m;
      return true;
    }
    s.Input.pop_front();
    if (!mouse) {
      if (ev.Kind != TInputKind::Char) {
        int vk = GenericKey(ev.VirtualKey);
        if (ev.Kind == TInputKind::KeyDown)
          s.AltAlone = vk == VK_MENU ? (IsDown(s.KeyState[VK_MENU]) ? s.AltAlone : true) : false;
        SetKey(s.KeyState, vk, ev.Kind == TInputKind::KeyDown, true);
        if (vk != ev.VirtualKey) SetKey(s.KeyState, ev.VirtualKey, ev.Kind == TInputKind::KeyDown, true);
      }
      msg = m;
      return true;
    }
    if (ev.Kind == TInputKind::MouseDown || ev.Kind == TInputKind::MouseUp) {
      bool down = ev.Kind == TInputKind::MouseDown;
      SetKey(s.KeyState, ButtonKey(ev.Button), down, false);
      if (down) {
        if (dbl) {
          s.LastDownMessage = 0;
        } else {
          s.LastDownMessage = ButtonMessage(ev.Button, true);
          s.LastDownWindow = m.hwnd;
          s.LastDownTime = Now();
          s.LastDownPos = ev.Pos;
        }
      }
    }
    bool eat = false;
    bool captured = FromHandle(s.Capture) != nullptr;
    if (ev.Kind == TInputKind::MouseDown && !captured && target) {
      TWnd* top = TopLevelOf(target);
      if (top->Handle != s.Active && !(top->ExStyle & WS_EX_NOACTIVATE) && !top->IsChild()) {
        HWND th = top->Handle;
        UINT base = ButtonMessage(ev.Button, true);
        int ma = int(Send(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(th), MAKELPARAM(hit, base)));
        if (ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT) {
          if (FromHandle(th)) ActivateInternal(th, WA_CLICKACTIVE);
        }
        eat = ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT;
      }
    }
    target = FromHandle(m.hwnd);
    if (!target) continue;
    if (!captured && m.message != WM_MOUSEWHEEL && m.message != WM_MOUSEHWHEEL) {
      UINT base = ev.Kind == TInputKind::MouseMove ? WM_MOUSEMOVE : ButtonMessage(ev.Button, ev.Kind == TInputKind::MouseDown);
      Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(m.hwnd), MAKELPARAM(hit, base));
      if (!FromHandle(m.hwnd)) continue;
    }
    if (ev.Kind == TInputKind::MouseMove) UpdateMouseLeave(m.hwnd, hit);
    if (eat) continue;
    msg = m;
    return true;
  }
  return false;
}

// ---- Focus and activation ---------------------------------------------------------------------

void SetFocusInternal(HWND window) {
  TState& s = S();
  HWND old = s.Focus;
  if (window == old) return;
  TWnd* w = window ? FromHandle(window) : nullptr;
  if (window && !w) return;
  if (w) {
    TWnd* top = TopLevelOf(w);
    if (top->Handle != s.Active) {
      ActivateInternal(top->Handle, WA_ACTIVE);
      if (s.Focus == window || !FromHandle(window)) return;
      old = s.Focus;
    }
  }
  s.Focus = window;
  if (TWnd* o = FromHandle(old)) {
    Send(o, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (s.Focus != window) return;
  }
  if (TWnd* n = FromHandle(window)) Send(n, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

namespace {
HWND gLastActive = nullptr;

void BroadcastActivateApp(bool active) {
  std::vector<HWND> tops;
  for (TWnd* t : Desktop()->Children) tops.push_back(t->Handle);
  for (HWND h : tops)
    if (TWnd* t = FromHandle(h)) Send(t, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}
}  // namespace

void ActivateInternal(HWND window, int how) {
  TState& s = S();
  TWnd* w = window ? FromHandle(window) : nullptr;
  if (w) {
    w = TopLevelOf(w);
    if (w->IsChild()) return;  // a child of the desktop is never active
    window = w->Handle;
  }
  if (window == s.Active && (s.AppActive || !window)) return;
  HWND old = s.Active;
  s.Active = window;
  if (window) gLastActive = window;
  if (w) {
    // The activated window comes to the top of its band.
    auto& c = Desktop()->Children;
    if (!c.empty() && c.front() != w)
      SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (TWnd* o = FromHandle(old)) {
    Send(o, WM_NCACTIVATE, FALSE, 0);
    if (FromHandle(old))
      Send(o, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, o->Iconic), reinterpret_cast<LPARAM>(window));
    if (s.Active != window) return;
  }
  if (window && !s.AppActive) {
    s.AppActive = true;
    BroadcastActivateApp(true);
    if (s.Active != window) return;
  }
  if (TWnd* n = FromHandle(window)) {
    if (n->IsTopLevel()) NotifyBackend(n, wcActivated);
    Send(n, WM_NCACTIVATE, TRUE, 0);
    if (FromHandle(window))
      Send(n, WM_ACTIVATE, MAKEWPARAM(how, n->Iconic), reinterpret_cast<LPARAM>(old));
  } else if (!window) {
    SetFocusInternal(nullptr);
  }
}

void SetAppActiveInternal(bool active, HWND activate) {
  TState& s = S();
  if (active == s.AppActive && !(active && activate && activate != s.Active)) return;
  if (!active) {
    HWND old = s.Active;
    if (old) gLastActive = old;
    s.Active = nullptr;
    if (TWnd* o = FromHandle(old)) {
      Send(o, WM_NCACTIVATE, FALSE, 0);
      if (FromHandle(old)) Send(o, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    }
    s.AppActive = false;
    BroadcastActivateApp(false);
    SetFocusInternal(nullptr);
    return;
  }
  HWND target = activate && FromHandle(activate) ? activate : nullptr;
  if (!target && FromHandle(gLastActive) && IsWindowVisible(gLastActive)) target = gLastActive;
  if (!target) {
    s.AppActive = true;
    BroadcastActivateApp(true);
    return;
  }
  ActivateInternal(target, WA_ACTIVE);
}

void WindowHidingOrDying(TWnd* w) {
  TState& s = S();
  HWND h = w->Handle;
  TWnd* cap = FromHandle(s.Capture);
  if (cap && (cap == w || IsDescendant(w, cap))) ReleaseCapture();
  if (!FromHandle(h)) return;
  if (s.Track.Window && (s.Track.Window == h || IsChild(h, s.Track.Window))) s.Track = {};
  if (w->IsTopLevel() && s.Active == h) {
    // The owner, or the next visible enabled window, takes over.
    HWND next = nullptr;
    if (w->Owner && ReallyVisible(w->Owner) && !(w->Owner->Style & WS_DISABLED))
      next = w->Owner->Handle;
    if (!next)
      for (TWnd* t : Desktop()->Children)
        if (t != w && !t->IsChild() && ReallyVisible(t) && !(t->Style & WS_DISABLED) &&
            !(t->ExStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE))) {
          next = t->Handle;
          break;
        }
    if (next)
      ActivateInternal(next, WA_ACTIVE);
    else
      ActivateInternal(nullptr, WA_INACTIVE);
    if (!FromHandle(h)) return;
  }
  TWnd* focus = FromHandle(s.Focus);
  if (focus && (focus == w || IsDescendant(w, focus))) {
    if (w->IsChild())
      SetFocusInternal(w->Parent->Handle);
    else if (s.Active == h || TopLevelOf(focus) == w)
      SetFocusInternal(nullptr);
  }
}

void NotifyDestroyed(TWnd* w) {
  TState& s = S();
  HWND h = w->Handle;
  if (s.Focus == h) s.Focus = nullptr;
  if (s.Active == h) s.Active = nullptr;
  if (s.Capture == h) s.Capture = nullptr;
  if (gLastActive == h) gLastActive = nullptr;
  if (s.Track.Window == h) s.Track = {};
  if (s.LastDownWindow == h) s.LastDownMessage = 0;
  KillWindowTimers(h);
  ForgetCaret(h);
  ForgetPaint(w);
  ForgetUtilWindow(h);
}

}  // namespace orv::win

using namespace orv;
using namespace orv::win;

void orv::PostInputEvent(const TInputEvent& event) {
  EnsureInit();
  TState& s = S();
  TInputEvent ev = event;
  switch (ev.Kind) {
    case TInputKind::MouseMove:
      s.CursorPos = ev.Pos;
      // Moves that nobody saw yet merge into the last one.
      if (!s.Input.empty() && s.Input.back().Kind == TInputKind::MouseMove) {
        s.Input.back() = ev;
        return;
      }
      break;
    case TInputKind::MouseDown:
    case TInputKind::MouseUp:
      s.CursorPos = ev.Pos;
      SetKey(s.AsyncKeyState, ButtonKey(ev.Button), ev.Kind == TInputKind::MouseDown, false);
      break;
    case TInputKind::Wheel:
    case TInputKind::HWheel:
      s.CursorPos = ev.Pos;
      break;
    case TInputKind::KeyDown:
    case TInputKind::KeyUp: {
      int vk = GenericKey(ev.VirtualKey);
      SetKey(s.AsyncKeyState, vk, ev.Kind == TInputKind::KeyDown, true);
      break;
    }
    default:
      break;
  }
  s.Input.push_back(ev);
}

// ---- Keyboard ---------------------------------------------------------------------------------

SHORT GetKeyState(int virtualKey) {
  BYTE b = S().KeyState[virtualKey & 0xFF];
  return SHORT((IsDown(b) ? 0x8000 : 0) | (b & 1));
}

SHORT GetAsyncKeyState(int virtualKey) {
  BYTE b = S().AsyncKeyState[virtualKey & 0xFF];
  return SHORT(IsDown(b) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* state) {
  if (!state) return FALSE;
  std::memcpy(state, S().KeyState, 256);
  return TRUE;
}

BOOL SetKeyboardState(const BYTE* state) {
  if (!state) return FALSE;
  std::memcpy(S().KeyState, state, 256);
  return TRUE;
}

UINT MapVirtualKey(UINT code, UINT mapType) {
  switch (mapType) {
    case MAPVK_VK_TO_VSC: return UINT(ScanOf(GenericKey(int(code))));
    case MAPVK_VSC_TO_VK:
      for (const TScan& s : kScanCodes)
        if (s.Scan == int(code)) return UINT(s.Vk);
      return 0;
    case MAPVK_VK_TO_CHAR: {
      BYTE none[256] = {};
      WORD ch[2] = {};
      if (code >= 'A' && code <= 'Z') return code;
      return ToAscii(code, 0, none, ch, 0) == 1 ? ch[0] : 0;
    }
    default: return 0;
  }
}

int ToAscii(UINT virtualKey, UINT scanCode, const BYTE* keyState, WORD* chars, UINT flags) {
  if (!chars || !keyState) return 0;
  int vk = int(virtualKey & 0xFF);
  bool shift = IsDown(keyState[VK_SHIFT]);
  bool ctrl = IsDown(keyState[VK_CONTROL]);
  bool alt = IsDown(keyState[VK_MENU]);
  bool caps = (keyState[VK_CAPITAL] & 1) != 0;
  if (ctrl && alt) return 0;
  int ch = 0;
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl)
      ch = vk - 'A' + 1;
    else
      ch = (shift != caps) ? vk : vk - 'A' + 'a';
  } else if (vk >= '0' && vk <= '9') {
    if (ctrl) return 0;
    ch = shift ? kShiftedDigits[vk - '0'] : vk;
  } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
    ch = '0' + vk - VK_NUMPAD0;
  } else {
    switch (vk) {
      case VK_SPACE: ch = ' '; break;
      case VK_RETURN: ch = ctrl ? 10 : 13; break;
      case VK_BACK: ch = ctrl ? 127 : 8; break;
      case VK_TAB: if (ctrl) return 0; ch = 9; break;
      case VK_ESCAPE: ch = 27; break;
      case VK_CANCEL: ch = 3; break;
      case VK_MULTIPLY: ch = '*'; break;
      case VK_ADD: ch = '+'; break;
      case VK_SUBTRACT: ch = '-'; break;
      case VK_DECIMAL: ch = '.'; break;
      case VK_DIVIDE: ch = '/'; break;
      default:
        for (const TOemChar& o : kOemChars)
          if (o.Vk == vk) {
            if (ctrl) {
              if (vk == VK_OEM_4) ch = 27;
              else if (vk == VK_OEM_5) ch = 28;
              else if (vk == VK_OEM_6) ch = 29;
              else return 0;
            } else {
              ch = shift ? o.Shifted : o.Plain;
            }
          }
        break;
    }
  }
  if (!ch) return 0;
  chars[0] = WORD(ch);
  return 1;
}

SHORT VkKeyScan(char ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return SHORT(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return SHORT(0x100 | c);
  if (c >= '0' && c <= '9') return SHORT(c);
  for (int i = 0; i < 10; ++i)
    if (kShiftedDigits[i] == ch) return SHORT(0x100 | ('0' + i));
  switch (c) {
    case ' ': return VK_SPACE;
    case 13: return VK_RETURN;
    case 8: return VK_BACK;
    case 9: return VK_TAB;
    case 27: return VK_ESCAPE;
    default: break;
  }
  for (const TOemChar& o : kOemChars) {
    if (o.Plain == ch) return SHORT(o.Vk);
    if (o.Shifted == ch) return SHORT(0x100 | o.Vk);
  }
  if (c >= 1 && c <= 26) return SHORT(0x200 | ('A' + c - 1));
  return -1;
}

// ---- Focus, activation, capture ---------------------------------------------------------------

HWND SetFocus(HWND window) {
  EnsureInit();
  HWND old = S().Focus;
  if (window && !FromHandle(window)) return nullptr;
  SetFocusInternal(window);
  return FromHandle(old) ? old : nullptr;
}

HWND GetFocus() { return FromHandle(S().Focus) ? S().Focus : nullptr; }

HWND SetActiveWindow(HWND window) {
  EnsureInit();
  HWND old = S().Active;
  TWnd* w = FromHandle(window);
  if (window && !w) return nullptr;
  ActivateInternal(window, WA_ACTIVE);
  return FromHandle(old) ? old : nullptr;
}

HWND GetActiveWindow() { return FromHandle(S().Active) ? S().Active : nullptr; }

BOOL SetForegroundWindow(HWND window) {
  TWnd* w = FromHandle(window);
  if (!w) return FALSE;
  if (!S().AppActive)
    SetAppActiveInternal(true, TopLevelOf(w)->Handle);
  else
    ActivateInternal(window, WA_ACTIVE);
  return TRUE;
}

HWND GetForegroundWindow() { return S().AppActive ? GetActiveWindow() : nullptr; }

HWND SetCapture(HWND window) {
  EnsureInit();
  TState& s = S();
  HWND old = FromHandle(s.Capture) ? s.Capture : nullptr;
  if (!FromHandle(window)) return old;
  s.Capture = window;
  if (old && old != window) Send(FromHandle(old), WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
  return old;
}

BOOL ReleaseCapture() {
  TState& s = S();
  HWND old = s.Capture;
  s.Capture = nullptr;
  if (TWnd* o = FromHandle(old)) Send(o, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return FromHandle(S().Capture) ? S().Capture : nullptr; }

// ---- Mouse and cursor -------------------------------------------------------------------------

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  *point = S().CursorPos;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  EnsureInit();
  TInputEvent ev;
  ev.Kind = TInputKind::MouseMove;
  ev.Pos = {x, y};
  PostInputEvent(ev);
  Backend().CursorMoved({x, y});
  return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
  EnsureInit();
  HCURSOR old = S().Cursor;
  S().Cursor = cursor;
  if (old != cursor && S().CursorCount >= 0) Backend().CursorChanged(cursor);
  return old;
}

HCURSOR GetCursor() { return S().Cursor; }

int ShowCursor(BOOL show) {
  EnsureInit();
  int& n = S().CursorCount;
  bool before = n >= 0;
  n += show ? 1 : -1;
  if ((n >= 0) != before) Backend().CursorChanged(n >= 0 ? S().Cursor : nullptr);
  return n;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
  if (!track) return FALSE;
  TState& s = S();
  if (track->dwFlags & TME_QUERY) {
    track->dwFlags = s.Track.Window ? s.Track.Flags | (s.Track.NonClient ? TME_NONCLIENT : 0) : 0;
    track->hwndTrack = s.Track.Window;
    track->dwHoverTime = s.Track.HoverTime;
    return TRUE;
  }
  if (track->dwFlags & TME_CANCEL) {
    if (s.Track.Window == track->hwndTrack) {
      s.Track.Flags &= ~(track->dwFlags & (TME_LEAVE | TME_HOVER));
      if (!(s.Track.Flags & (TME_LEAVE | TME_HOVER))) s.Track = {};
    }
    return TRUE;
  }
  TWnd* w = FromHandle(track->hwndTrack);
  if (!w) return FALSE;
  bool nonClient = (track->dwFlags & TME_NONCLIENT) != 0;
  int hit = HTNOWHERE;
  TWnd* under = HitTopLevel(s.CursorPos, hit);
  if (FromHandle(s.Capture)) {
    under = FromHandle(s.Capture);
    hit = HTCLIENT;
  }
  if (under != w || (hit != HTCLIENT) != nonClient) {
    if (track->dwFlags & TME_LEAVE) Post(w->Handle, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  if (s.Track.Window != w->Handle) s.Track = {};
  s.Track.Window = w->Handle;
  s.Track.Flags |= track->dwFlags & (TME_LEAVE | TME_HOVER);
  s.Track.NonClient = nonClient;
  if (track->dwFlags & TME_HOVER) {
    s.Track.HoverTime = track->dwHoverTime;
    s.Track.HoverStart = Now();
  }
  return TRUE;
}

UINT GetDoubleClickTime() { return SystemSettings().DoubleClickTime; }

BOOL SetDoubleClickTime(UINT milliseconds) {
  SystemSettings().DoubleClickTime = milliseconds ? milliseconds : 500;
  return TRUE;
}

BOOL SwapMouseButton(BOOL swap) { return FALSE; }
