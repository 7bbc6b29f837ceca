#include "platform/backends/SdlBackend.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>

#include "platform/runtime/AnsiString.h"

namespace orv {

namespace {

// Desktop scan codes to virtual keys: the key's place decides, as the platform's virtual keys
// do (the key that types "Ф" in a Russian layout is 'A').
int VirtualKeyOf(SDL_Scancode sc, bool& extended) {
  extended = false;
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + (sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1);
  switch (sc) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN: extended = true; return VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_INSERT: extended = true; return VK_INSERT;
    case SDL_SCANCODE_HOME: extended = true; return VK_HOME;
    case SDL_SCANCODE_PAGEUP: extended = true; return VK_PRIOR;
    case SDL_SCANCODE_DELETE: extended = true; return VK_DELETE;
    case SDL_SCANCODE_END: extended = true; return VK_END;
    case SDL_SCANCODE_PAGEDOWN: extended = true; return VK_NEXT;
    case SDL_SCANCODE_RIGHT: extended = true; return VK_RIGHT;
    case SDL_SCANCODE_LEFT: extended = true; return VK_LEFT;
    case SDL_SCANCODE_DOWN: extended = true; return VK_DOWN;
    case SDL_SCANCODE_UP: extended = true; return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR: extended = true; return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE: extended = true; return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_ENTER: extended = true; return VK_RETURN;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_APPLICATION: extended = true; return VK_APPS;
    case SDL_SCANCODE_LCTRL: return VK_CONTROL;
    case SDL_SCANCODE_RCTRL: extended = true; return VK_CONTROL;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LALT: return VK_MENU;
    case SDL_SCANCODE_RALT: extended = true; return VK_MENU;
    case SDL_SCANCODE_LGUI: extended = true; return VK_LWIN;
    case SDL_SCANCODE_RGUI: extended = true; return VK_RWIN;
    default: return 0;
  }
}

// Keys whose press the desktop's text input turns into a character of its own.
bool TypesText(int vk, Uint16 mod) {
  if (mod & (KMOD_CTRL | KMOD_LALT)) return false;
  return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || vk == VK_SPACE ||
         (vk >= VK_OEM_1 && vk <= VK_OEM_3) || (vk >= VK_OEM_4 && vk <= VK_OEM_7) ||
         vk == VK_OEM_102 || (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE && vk != VK_SEPARATOR);
}

int ButtonOf(Uint8 b) {
  switch (b) {
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_X1: return 3;
    case SDL_BUTTON_X2: return 4;
    default: return 0;
  }
}

SDL_SystemCursor SystemCursorOf(int id) {
  switch (id) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643: return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644: return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645: return SDL_SYSTEM_CURSOR_SIZENS;
    case 32640:
    case 32646: return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648: return SDL_SYSTEM_CURSOR_NO;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    case 32650: return SDL_SYSTEM_CURSOR_WAITARROW;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

}  // namespace

struct TSdlBackend::TImpl {
  struct TDesk {
    SDL_Window* Window = nullptr;
    bool Framed = false;  // decorated: shows the client area
    TRect Placed;         // where we put it last (screen)
  };
  std::unordered_map<std::uintptr_t, TDesk> Desks;
  std::unordered_map<Uint32, HWND> ById;
  std::map<int, SDL_Cursor*> SystemCursors;
  SDL_Cursor* Custom = nullptr;
  bool DeactivatePending = false;

  static std::uintptr_t Key(HWND h) { return reinterpret_cast<std::uintptr_t>(h); }

  TDesk* Find(HWND h) {
    auto it = Desks.find(Key(h));
    return it == Desks.end() ? nullptr : &it->second;
  }

  // The part of the window the desktop window shows, in screen coordinates.
  static TRect Shown(HWND h, bool framed) {
    RECT r;
    GetWindowRect(h, &r);
    if (!framed) return r;
    RECT c;
    GetClientRect(h, &c);
    POINT o{0, 0};
    ClientToScreen(h, &o);
    return {o.X, o.Y, o.X + c.Right, o.Y + c.Bottom};
  }

  static bool IsFramed(HWND h) {
    return (DWORD(GetWindowLong(h, GWL_STYLE)) & WS_CAPTION) == WS_CAPTION;
  }

  static bool Passive(HWND h) {
    DWORD ex = DWORD(GetWindowLong(h, GWL_EXSTYLE));
    DWORD style = DWORD(GetWindowLong(h, GWL_STYLE));
    return (ex & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)) ||
           ((style & WS_POPUP) && !IsFramed(h));
  }

  void Create(HWND h) {
    TDesk d;
    d.Framed = IsFramed(h);
    d.Placed = Shown(h, d.Framed);
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (!d.Framed) flags |= SDL_WINDOW_BORDERLESS;
    if (d.Framed && (GetWindowLong(h, GWL_STYLE) & WS_THICKFRAME)) flags |= SDL_WINDOW_RESIZABLE;
    if (!d.Framed && Passive(h)) flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR;
    char title[256];
    GetWindowText(h, title, sizeof title);
    std::string utf8 = AnsiToUtf8(title);
    d.Window = SDL_CreateWindow(utf8.c_str(), d.Placed.Left, d.Placed.Top, std::max(1, d.Placed.Width()),
                                std::max(1, d.Placed.Height()), flags);
    if (!d.Window) return;
    ById[SDL_GetWindowID(d.Window)] = h;
    Desks[Key(h)] = d;
  }

  void Destroy(HWND h) {
    auto it = Desks.find(Key(h));
    if (it == Desks.end()) return;
    ById.erase(SDL_GetWindowID(it->second.Window));
    SDL_DestroyWindow(it->second.Window);
    Desks.erase(it);
  }

  void Place(HWND h, TDesk& d) {
    TRect r = Shown(h, d.Framed);
    if (r == d.Placed) return;
    d.Placed = r;
    SDL_SetWindowPosition(d.Window, r.Left, r.Top);
    SDL_SetWindowSize(d.Window, std::max(1, r.Width()), std::max(1, r.Height()));
  }

  void Blit(HWND h, TDesk& d, const TSurface& surface) {
    SDL_Surface* out = SDL_GetWindowSurface(d.Window);
    if (!out) return;
    RECT wr;
    GetWindowRect(h, &wr);
    int ox = d.Placed.Left - wr.Left, oy = d.Placed.Top - wr.Top;
    if (SDL_MUSTLOCK(out)) SDL_LockSurface(out);
    int w = std::min(out->w, surface.Width() - ox), hgt = std::min(out->h, surface.Height() - oy);
    for (int y = 0; y < hgt; ++y) {
      const TPixel* src = surface.Row(y + oy) + ox;
      auto* dst = reinterpret_cast<Uint32*>(static_cast<Uint8*>(out->pixels) + y * out->pitch);
      for (int x = 0; x < w; ++x) {
        TPixel p = src[x];
        dst[x] = SDL_MapRGB(out->format, Uint8(p >> 16), Uint8(p >> 8), Uint8(p));
      }
    }
    if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
    SDL_UpdateWindowSurface(d.Window);
  }

  HWND WindowOf(Uint32 id) {
    auto it = ById.find(id);
    return it == ById.end() ? nullptr : it->second;
  }

  POINT ScreenPoint(Uint32 id, int x, int y) {
    HWND h = WindowOf(id);
    if (TDesk* d = h ? Find(h) : nullptr) return {d->Placed.Left + x, d->Placed.Top + y};
    int gx = 0, gy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    return {gx, gy};
  }

  void Translate(const SDL_Event& e) {
    TInputEvent ev;
    switch (e.type) {
      case SDL_MOUSEMOTION:
        ev.Kind = TInputKind::MouseMove;
        ev.Pos = ScreenPoint(e.motion.windowID, e.motion.x, e.motion.y);
        PostInputEvent(ev);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        ev.Kind = e.type == SDL_MOUSEBUTTONDOWN ? TInputKind::MouseDown : TInputKind::MouseUp;
        ev.Pos = ScreenPoint(e.button.windowID, e.button.x, e.button.y);
        ev.Button = ButtonOf(e.button.button);
        PostInputEvent(ev);
        break;
      case SDL_MOUSEWHEEL: {
        int dy = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        int dx = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.x : e.wheel.x;
        POINT p;
        GetCursorPos(&p);
        ev.Pos = p;
        if (dy) {
          ev.Kind = TInputKind::Wheel;
          ev.Delta = dy * WHEEL_DELTA;
          PostInputEvent(ev);
        }
        if (dx) {
          ev.Kind = TInputKind::HWheel;
          ev.Delta = dx * WHEEL_DELTA;
          PostInputEvent(ev);
        }
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        bool extended = false;
        int vk = VirtualKeyOf(e.key.keysym.scancode, extended);
        if (!vk) break;
        ev.Kind = e.type == SDL_KEYDOWN ? TInputKind::KeyDown : TInputKind::KeyUp;
        ev.VirtualKey = vk;
        ev.Extended = extended;
        ev.CharFollows = ev.Kind == TInputKind::KeyDown && TypesText(vk, e.key.keysym.mod);
        PostInputEvent(ev);
        break;
      }
      case SDL_TEXTINPUT: {
        AnsiString text = Utf8ToAnsi(e.text.text);
        for (char c : text) {
          TInputEvent ch;
          ch.Kind = TInputKind::Char;
          ch.Char = c;
          PostInputEvent(ch);
        }
        break;
      }
      case SDL_WINDOWEVENT: {
        HWND h = WindowOf(e.window.windowID);
        if (!h || !IsWindow(h)) break;
        TDesk* d = Find(h);
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            PostMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            DeactivatePending = false;
            ev.Kind = TInputKind::AppActivate;
            ev.Window = h;
            PostInputEvent(ev);
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            DeactivatePending = true;
            break;
          case SDL_WINDOWEVENT_MOVED:
            if (d && (e.window.data1 != d->Placed.Left || e.window.data2 != d->Placed.Top)) {
              RECT wr;
              GetWindowRect(h, &wr);
              int dx = e.window.data1 - d->Placed.Left, dy = e.window.data2 - d->Placed.Top;
              d->Placed = {e.window.data1, e.window.data2, e.window.data1 + d->Placed.Width(),
                           e.window.data2 + d->Placed.Height()};
              SetWindowPos(h, nullptr, wr.Left + dx, wr.Top + dy, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            break;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (d && (e.window.data1 != d->Placed.Width() || e.window.data2 != d->Placed.Height())) {
              RECT wr;
              GetWindowRect(h, &wr);
              int dw = e.window.data1 - d->Placed.Width(), dh = e.window.data2 - d->Placed.Height();
              d->Placed.Right = d->Placed.Left + e.window.data1;
              d->Placed.Bottom = d->Placed.Top + e.window.data2;
              SetWindowPos(h, nullptr, 0, 0, wr.Right - wr.Left + dw, wr.Bottom - wr.Top + dh,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            break;
          case SDL_WINDOWEVENT_EXPOSED:
            if (d)
              if (const TSurface* s = GetWindowSurface(h)) Blit(h, *d, *s);
            break;
          default:
            break;
        }
        break;
      }
      default:
        break;
    }
  }
};

TSdlBackend::TSdlBackend() : FImpl(std::make_unique<TImpl>()) {}

std::unique_ptr<TSdlBackend> TSdlBackend::Create(std::string* error) {
  SDL_SetMainReady();
  // Ctrl+C in a terminal keeps its usual meaning.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  // A desktop program leaves the screen saver alone.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  SDL_StartTextInput();
  return std::unique_ptr<TSdlBackend>(new TSdlBackend());
}

TSdlBackend::~TSdlBackend() {
  if (GetWindowBackend() == this) SetWindowBackend(nullptr);
  for (auto& [k, d] : FImpl->Desks) SDL_DestroyWindow(d.Window);
  for (auto& [id, c] : FImpl->SystemCursors) SDL_FreeCursor(c);
  if (FImpl->Custom) SDL_FreeCursor(FImpl->Custom);
  // SDL's video stays open until the process ends: closing it drops SDL's link to the desktop
  // bus, whose library keeps memory that nothing frees then.
}

TRect TSdlBackend::ScreenBounds() {
  SDL_Rect r;
  if (SDL_GetDisplayBounds(0, &r) != 0) return {0, 0, 1024, 768};
  return {r.x, r.y, r.x + r.w, r.y + r.h};
}

TRect TSdlBackend::WorkArea() {
  SDL_Rect r;
  if (SDL_GetDisplayUsableBounds(0, &r) != 0) return ScreenBounds();
  return {r.x, r.y, r.x + r.w, r.y + r.h};
}

void TSdlBackend::WindowChanged(HWND window, unsigned what) {
  TImpl& m = *FImpl;
  TImpl::TDesk* d = m.Find(window);
  if ((what & wcShown) && !d) {
    m.Create(window);
    d = m.Find(window);
    if (!d) return;
    BYTE alpha = GetWindowOpacity(window);
    if (alpha != 255) SDL_SetWindowOpacity(d->Window, alpha / 255.0f);
    if (const TSurface* s = GetWindowSurface(window)) m.Blit(window, *d, *s);
    SDL_ShowWindow(d->Window);
    return;
  }
  if (!d) return;
  if (what & wcShown) SDL_ShowWindow(d->Window);
  if (what & wcHidden) SDL_HideWindow(d->Window);
  if (what & (wcBounds | wcStyle)) m.Place(window, *d);
  if (what & wcText) {
    char title[256];
    GetWindowText(window, title, sizeof title);
    SDL_SetWindowTitle(d->Window, AnsiToUtf8(title).c_str());
  }
  if (what & wcOpacity) SDL_SetWindowOpacity(d->Window, GetWindowOpacity(window) / 255.0f);
  if ((what & wcActivated) && d->Framed) SDL_RaiseWindow(d->Window);
}

void TSdlBackend::WindowDestroyed(HWND window) { FImpl->Destroy(window); }

void TSdlBackend::Present(HWND window, const TSurface& surface, const TRect& dirty) {
  if (TImpl::TDesk* d = FImpl->Find(window)) FImpl->Blit(window, *d, surface);
}

void TSdlBackend::Poll() {
  SDL_Event e;
  while (SDL_PollEvent(&e)) FImpl->Translate(e);
  if (FImpl->DeactivatePending) {
    // Focus that left every window of ours went to another program.
    FImpl->DeactivatePending = false;
    TInputEvent ev;
    ev.Kind = TInputKind::AppDeactivate;
    PostInputEvent(ev);
  }
}

bool TSdlBackend::Wait(int timeoutMs) {
  if (timeoutMs < 0)
    SDL_WaitEvent(nullptr);
  else
    SDL_WaitEventTimeout(nullptr, timeoutMs);
  Poll();
  return true;
}

void TSdlBackend::CursorChanged(HCURSOR cursor) {
  TImpl& m = *FImpl;
  if (!cursor) {
    SDL_ShowCursor(SDL_DISABLE);
    return;
  }
  SDL_ShowCursor(SDL_ENABLE);
  if (int id = GetSystemCursorId(cursor)) {
    SDL_Cursor*& c = m.SystemCursors[id];
    if (!c) c = SDL_CreateSystemCursor(SystemCursorOf(id));
    if (c) SDL_SetCursor(c);
    return;
  }
  TSurface image;
  POINT hot;
  if (!GetCursorImage(cursor, image, hot)) return;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
      image.Row(0), image.Width(), image.Height(), 32, int(image.Stride() * 4), SDL_PIXELFORMAT_ARGB8888);
  if (!s) return;
  if (m.Custom) SDL_FreeCursor(m.Custom);
  m.Custom = SDL_CreateColorCursor(s, hot.X, hot.Y);
  SDL_FreeSurface(s);
  if (m.Custom) SDL_SetCursor(m.Custom);
}

void TSdlBackend::CursorMoved(POINT point) { SDL_WarpMouseGlobal(point.X, point.Y); }

bool TSdlBackend::SetClipboardText(const std::string& utf8) {
  return SDL_SetClipboardText(utf8.c_str()) == 0;
}

bool TSdlBackend::GetClipboardText(std::string& utf8) {
  char* text = SDL_GetClipboardText();
  if (!text) return false;
  utf8 = text;
  SDL_free(text);
  return true;
}

int TSdlBackend::ShowMessageBox(HWND owner, const AnsiString& text, const AnsiString& caption,
                                UINT type) {
  struct TButton {
    int Id;
    const char* Text;
  };
  std::vector<TButton> buttons;
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: buttons = {{IDOK, "OK"}, {IDCANCEL, "Отмена"}}; break;
    case MB_ABORTRETRYIGNORE: buttons = {{IDABORT, "Прервать"}, {IDRETRY, "Повтор"}, {IDIGNORE, "Пропустить"}}; break;
    case MB_YESNOCANCEL: buttons = {{IDYES, "Да"}, {IDNO, "Нет"}, {IDCANCEL, "Отмена"}}; break;
    case MB_YESNO: buttons = {{IDYES, "Да"}, {IDNO, "Нет"}}; break;
    case MB_RETRYCANCEL: buttons = {{IDRETRY, "Повтор"}, {IDCANCEL, "Отмена"}}; break;
    default: buttons = {{IDOK, "OK"}}; break;
  }
  std::size_t def = std::min<std::size_t>((type & MB_DEFMASK) >> 8, buttons.size() - 1);
  std::vector<SDL_MessageBoxButtonData> data;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    SDL_MessageBoxButtonData b{};
    b.buttonid = buttons[i].Id;
    b.text = buttons[i].Text;
    if (i == def) b.flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (buttons[i].Id == IDCANCEL || buttons[i].Id == IDNO) b.flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    data.push_back(b);
  }
  std::string t = AnsiToUtf8(text), c = AnsiToUtf8(caption);
  SDL_MessageBoxData box{};
  UINT icon = type & MB_ICONMASK;
  box.flags = icon == MB_ICONERROR ? SDL_MESSAGEBOX_ERROR
              : icon == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING
                                        : SDL_MESSAGEBOX_INFORMATION;
  HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  TImpl::TDesk* d = top ? FImpl->Find(top) : nullptr;
  box.window = d ? d->Window : nullptr;
  box.title = c.c_str();
  box.message = t.c_str();
  box.numbuttons = int(data.size());
  box.buttons = data.data();
  int chosen = 0;
  if (SDL_ShowMessageBox(&box, &chosen) != 0 || chosen <= 0) return 0;
  return chosen;
}

bool TSdlBackend::HasDesktopWindow(HWND window) const { return FImpl->Find(window) != nullptr; }

TRect TSdlBackend::DesktopWindowRect(HWND window) const {
  TImpl::TDesk* d = FImpl->Find(window);
  if (!d) return {};
  int x, y, w, h;
  SDL_GetWindowPosition(d->Window, &x, &y);
  SDL_GetWindowSize(d->Window, &w, &h);
  return {x, y, x + w, y + h};
}

std::uint32_t TSdlBackend::DesktopWindowId(HWND window) const {
  TImpl::TDesk* d = FImpl->Find(window);
  return d ? SDL_GetWindowID(d->Window) : 0;
}

}  // namespace orv
