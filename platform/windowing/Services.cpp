// Services around the windows: the backend in use, global memory and the clipboard, message
// boxes, sounds, cursors and the hidden utility windows.
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "platform/runtime/AnsiString.h"
#include "platform/runtime/CodePages.h"
#include "platform/windowing/UtilWindow.h"
#include "platform/windowing/WindowInternal.h"

namespace orv::win {

// Headless.cpp: the built-in backend.
TWindowBackend& HeadlessBackend();

TWindowBackend& Backend() {
  TWindowBackend* b = S().Backend;
  return b ? *b : HeadlessBackend();
}

void NotifyBackend(TWnd* w, unsigned what) {
  if (w->MessageOnly) return;
  Backend().WindowChanged(w->Handle, what);
}

}  // namespace orv::win

using namespace orv;
using namespace orv::win;

void orv::SetWindowBackend(TWindowBackend* backend) {
  EnsureInit();
  S().Backend = backend;
  TRect screen = Backend().ScreenBounds();
  Desktop()->Rect = screen;
  Desktop()->Client = {0, 0, screen.Width(), screen.Height()};
}

TWindowBackend* orv::GetWindowBackend() { return &Backend(); }

// ---- Global memory ----------------------------------------------------------------------------

namespace {

constexpr std::uint32_t kBlockMagic = 0x6C626F47;  // "Glob"

struct TBlockHeader {
  std::uint32_t Magic;
  std::uint32_t Locks;
  std::size_t Size;
};

TBlockHeader* Header(HGLOBAL memory) {
  if (!memory) return nullptr;
  auto* h = static_cast<TBlockHeader*>(memory);
  return h->Magic == kBlockMagic ? h : nullptr;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) {
  auto* h = static_cast<TBlockHeader*>(std::malloc(sizeof(TBlockHeader) + bytes + 1));
  if (!h) return nullptr;
  h->Magic = kBlockMagic;
  h->Locks = 0;
  h->Size = bytes;
  if (flags & GMEM_ZEROINIT) std::memset(h + 1, 0, bytes + 1);
  return h;
}

void* GlobalLock(HGLOBAL memory) {
  TBlockHeader* h = Header(memory);
  if (!h) return nullptr;
  ++h->Locks;
  return h + 1;
}

BOOL GlobalUnlock(HGLOBAL memory) {
  TBlockHeader* h = Header(memory);
  if (!h || !h->Locks) return FALSE;
  return --h->Locks ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL memory) {
  TBlockHeader* h = Header(memory);
  return h ? h->Size : 0;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  TBlockHeader* h = Header(memory);
  if (!h) return memory;
  h->Magic = 0;
  std::free(h);
  return nullptr;
}

// ---- Clipboard --------------------------------------------------------------------------------

namespace {

struct TClipboard {
  bool Open = false;
  HWND OpenBy = nullptr;
  HWND Owner = nullptr;
  bool Emptied = false;     // emptied during this opening: the data is ours
  bool TextChanged = false;
  std::map<UINT, HGLOBAL> Data;
  std::string Pushed;  // the UTF-8 text handed to the desktop last
  std::map<std::string, UINT> Formats;
  UINT NextFormat = 0xC000;
};

TClipboard& Clip() {
  static TClipboard c;
  return c;
}

HGLOBAL BlockOf(const void* data, std::size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  std::memcpy(GlobalLock(h), data, size);
  GlobalUnlock(h);
  return h;
}

void DropData() {
  for (auto& [f, h] : Clip().Data) GlobalFree(h);
  Clip().Data.clear();
}

bool IsTextFormat(UINT f) { return f == CF_TEXT || f == CF_UNICODETEXT || f == CF_OEMTEXT; }

// The text held in one of the text formats, as Windows-1251.
bool AnsiText(AnsiString& out) {
  auto& d = Clip().Data;
  if (auto it = d.find(CF_TEXT); it != d.end()) {
    out = static_cast<const char*>(GlobalLock(it->second));
    GlobalUnlock(it->second);
    return true;
  }
  if (auto it = d.find(CF_UNICODETEXT); it != d.end()) {
    const auto* w = static_cast<const char16_t*>(GlobalLock(it->second));
    std::size_t n = 0;
    std::size_t max = GlobalSize(it->second) / 2;
    while (n < max && w[n]) ++n;
    out = WideToAnsi(std::u16string_view(w, n));
    GlobalUnlock(it->second);
    return true;
  }
  if (auto it = d.find(CF_OEMTEXT); it != d.end()) {
    out = Cp866ToAnsi(static_cast<const char*>(GlobalLock(it->second)));
    GlobalUnlock(it->second);
    return true;
  }
  return false;
}

// Takes the desktop's text when someone else put it there since we last did.
void FollowDesktop() {
  std::string utf8;
  if (!Backend().GetClipboardText(utf8)) return;
  if (utf8 == Clip().Pushed) return;  // nobody changed it since we last looked
  DropData();
  Clip().Pushed = utf8;
  Clip().Owner = nullptr;
  if (utf8.empty()) return;
  AnsiString text = Utf8ToAnsi(utf8);
  Clip().Data[CF_TEXT] = BlockOf(text.c_str(), text.size() + 1);
}

}  // namespace

BOOL OpenClipboard(HWND owner) {
  TClipboard& c = Clip();
  if (c.Open) return FALSE;
  c.Open = true;
  c.OpenBy = owner;
  c.Emptied = false;
  c.TextChanged = false;
  return TRUE;
}

BOOL CloseClipboard() {
  TClipboard& c = Clip();
  if (!c.Open) return FALSE;
  c.Open = false;
  if (c.TextChanged) {
    AnsiString text;
    c.Pushed = AnsiText(text) ? AnsiToUtf8(text) : std::string();
    Backend().SetClipboardText(c.Pushed);
  }
  return TRUE;
}

BOOL EmptyClipboard() {
  TClipboard& c = Clip();
  if (!c.Open) return FALSE;
  if (c.Owner && c.Owner != c.OpenBy) SendMessage(c.Owner, WM_DESTROYCLIPBOARD, 0, 0);
  DropData();
  c.Owner = c.OpenBy;
  c.Emptied = true;
  c.TextChanged = true;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  TClipboard& c = Clip();
  if (!c.Open || !Header(data)) return nullptr;
  if (auto it = c.Data.find(format); it != c.Data.end()) GlobalFree(it->second);
  // One text at a time: the other text formats come from it.
  if (IsTextFormat(format))
    for (UINT f : {CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT})
      if (f != format)
        if (auto it = c.Data.find(f); it != c.Data.end()) {
          GlobalFree(it->second);
          c.Data.erase(it);
        }
  c.Data[format] = data;
  if (IsTextFormat(format)) c.TextChanged = true;
  return data;
}

HANDLE GetClipboardData(UINT format) {
  TClipboard& c = Clip();
  if (!c.Open) return nullptr;
  if (IsTextFormat(format)) FollowDesktop();
  if (auto it = c.Data.find(format); it != c.Data.end()) return it->second;
  if (!IsTextFormat(format)) return nullptr;
  AnsiString text;
  if (!AnsiText(text)) return nullptr;
  HGLOBAL h = nullptr;
  if (format == CF_TEXT) {
    h = BlockOf(text.c_str(), text.size() + 1);
  } else if (format == CF_OEMTEXT) {
    std::string oem = AnsiToCp866(text);
    h = BlockOf(oem.c_str(), oem.size() + 1);
  } else {
    WideString w = AnsiToWide(text);
    w.push_back(0);
    h = BlockOf(w.data(), w.size() * 2);
  }
  c.Data[format] = h;
  return h;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  if (IsTextFormat(format)) {
    FollowDesktop();
    for (UINT f : {CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT})
      if (Clip().Data.count(f)) return TRUE;
    return FALSE;
  }
  return Clip().Data.count(format) ? TRUE : FALSE;
}

int CountClipboardFormats() {
  FollowDesktop();
  int n = 0;
  bool text = false;
  for (auto& [f, h] : Clip().Data) {
    if (IsTextFormat(f))
      text = true;
    else
      ++n;
  }
  return n + (text ? 3 : 0);
}

UINT EnumClipboardFormats(UINT format) {
  if (!Clip().Open) return 0;
  std::vector<UINT> all;
  bool text = false;
  for (auto& [f, h] : Clip().Data) {
    if (IsTextFormat(f))
      text = true;
    else
      all.push_back(f);
  }
  if (text) all.insert(all.begin(), {CF_TEXT, CF_OEMTEXT, CF_UNICODETEXT});
  if (format == 0) return all.empty() ? 0 : all.front();
  for (std::size_t i = 0; i + 1 < all.size(); ++i)
    if (all[i] == format) return all[i + 1];
  return 0;
}

UINT RegisterClipboardFormat(const char* name) {
  if (!name || !*name) return 0;
  auto& f = Clip().Formats;
  auto it = f.find(name);
  if (it != f.end()) return it->second;
  return f[name] = Clip().NextFormat++;
}

HWND GetClipboardOwner() { return FromHandle(Clip().Owner) ? Clip().Owner : nullptr; }

HWND GetOpenClipboardWindow() { return Clip().Open ? Clip().OpenBy : nullptr; }

// ---- Message boxes and sounds -----------------------------------------------------------------

namespace {

TMessageBoxHandler& MessageBoxHandler() {
  static TMessageBoxHandler h;
  return h;
}

TSoundSink& SoundSink() {
  static TSoundSink s;
  return s;
}

int DefaultButton(UINT type) {
  int def = int((type & MB_DEFMASK) >> 8);
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return def == 1 ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE: return def == 1 ? IDRETRY : def == 2 ? IDIGNORE : IDABORT;
    case MB_YESNOCANCEL: return def == 1 ? IDNO : def == 2 ? IDCANCEL : IDYES;
    case MB_YESNO: return def == 1 ? IDNO : IDYES;
    case MB_RETRYCANCEL: return def == 1 ? IDCANCEL : IDRETRY;
    default: return IDOK;
  }
}

}  // namespace

void orv::SetMessageBoxHandler(TMessageBoxHandler handler) { MessageBoxHandler() = std::move(handler); }

void orv::SetSoundSink(TSoundSink sink) { SoundSink() = std::move(sink); }

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  EnsureInit();
  AnsiString t = text ? text : "", c = caption ? caption : "Error";
  if (MessageBoxHandler()) return MessageBoxHandler()(owner, t, c, type);
  // The owner cannot be used while the box is up.
  HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
  bool disabled = top && IsWindowEnabled(top);
  if (disabled) EnableWindow(top, FALSE);
  int r = Backend().ShowMessageBox(owner, t, c, type);
  if (disabled && IsWindow(top)) EnableWindow(top, TRUE);
  return r ? r : DefaultButton(type);
}

BOOL MessageBeep(UINT type) {
  TSoundEvent e;
  e.Beep = true;
  e.BeepType = type;
  if (SoundSink()) SoundSink()(e);
  return TRUE;
}

BOOL PlaySound(const char* sound, HMODULE module, DWORD flags) {
  TSoundEvent e;
  e.Name = sound ? sound : "";
  e.Flags = flags;
  if (SoundSink()) SoundSink()(e);
  return TRUE;
}

// ---- Cursors ----------------------------------------------------------------------------------

struct HICON__ {
  int SystemId = 0;
  TSurface Image;
  POINT Hot;
};

namespace {

std::map<int, std::unique_ptr<HICON__>>& SystemCursors() {
  static std::map<int, std::unique_ptr<HICON__>> c;
  return c;
}

std::map<std::string, HCURSOR>& ProgramCursors() {
  static std::map<std::string, HCURSOR> c;
  return c;
}

}  // namespace

void orv::RegisterCursorResource(const char* name, HCURSOR cursor) {
  if (name) ProgramCursors()[name] = cursor;
}

int orv::GetSystemCursorId(HCURSOR cursor) { return cursor ? cursor->SystemId : 0; }

bool orv::GetCursorImage(HCURSOR cursor, TSurface& image, POINT& hotSpot) {
  if (!cursor || cursor->SystemId) return false;
  image = cursor->Image.Clone();
  hotSpot = cursor->Hot;
  return true;
}

HCURSOR LoadCursor(HINSTANCE instance, const char* name) {
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) {
    int id = int(reinterpret_cast<std::uintptr_t>(name));
    if (instance || id < 32512 || id > 32651) return nullptr;
    auto& c = SystemCursors()[id];
    if (!c) {
      c = std::make_unique<HICON__>();
      c->SystemId = id;
    }
    return c.get();
  }
  auto it = ProgramCursors().find(name);
  return it == ProgramCursors().end() ? nullptr : it->second;
}

HCURSOR CreateCursor(HINSTANCE instance, int hotX, int hotY, int width, int height,
                     const void* andMask, const void* xorMask) {
  if (width <= 0 || height <= 0 || !andMask || !xorMask) return nullptr;
  auto* c = new HICON__;
  c->Image = TSurface(width, height);
  c->Hot = {hotX, hotY};
  int stride = ((width + 15) / 16) * 2;
  auto bit = [&](const void* mask, int x, int y) {
    const auto* b = static_cast<const unsigned char*>(mask);
    return (b[y * stride + x / 8] >> (7 - x % 8)) & 1;
  };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int a = bit(andMask, x, y), o = bit(xorMask, x, y);
      TPixel p = 0;  // transparent
      if (!a) p = o ? MakePixel(255, 255, 255, 255) : MakePixel(0, 0, 0, 255);
      else if (o) p = MakePixel(0, 0, 0, 255);  // an inverting pixel shows dark
      c->Image.SetPixel(x, y, p);
    }
  return c;
}

BOOL DestroyCursor(HCURSOR cursor) {
  if (!cursor || cursor->SystemId) return FALSE;
  for (auto it = ProgramCursors().begin(); it != ProgramCursors().end();)
    it = it->second == cursor ? ProgramCursors().erase(it) : std::next(it);
  if (S().Cursor == cursor) SetCursor(nullptr);
  delete cursor;
  return TRUE;
}

// ---- Hidden utility windows -------------------------------------------------------------------

namespace {

// Never destroyed: components freed by static destructors at exit still let their windows go.
std::map<HWND, TWndMethod>& UtilMethods() {
  static auto* m = new std::map<HWND, TWndMethod>;
  return *m;
}

LRESULT UtilWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto it = UtilMethods().find(window);
  if (it == UtilMethods().end() || !it->second) return DefWindowProc(window, message, wParam, lParam);
  TWndMethod method = it->second;
  TMessage m;
  m.Msg = message;
  m.WParam = wParam;
  m.LParam = lParam;
  method(m);
  return m.Result;
}

}  // namespace

void orv::win::ForgetUtilWindow(HWND window) { UtilMethods().erase(window); }

HWND AllocateHWnd(TWndMethod method) {
  EnsureInit();
  WNDCLASS wc;
  if (!GetClassInfo(nullptr, "TPUtilWindow", &wc)) {
    wc = WNDCLASS{};
    wc.lpfnWndProc = UtilWndProc;
    wc.lpszClassName = "TPUtilWindow";
    RegisterClass(&wc);
  }
  HWND h = CreateWindowEx(WS_EX_TOOLWINDOW, "TPUtilWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr,
                          nullptr, nullptr, nullptr);
  if (h && method) UtilMethods()[h] = method;
  return h;
}

void DeallocateHWnd(HWND window) {
  UtilMethods().erase(window);
  DestroyWindow(window);
}
