// The message queue of the UI thread: sending, posting, peeking and getting in the platform's
// order (posted messages, quit, input, paint, timers), dispatching, translating keys into
// characters, registered messages, thread hooks, timers and the clock.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/runtime/Exceptions.h"
#include "platform/windowing/WindowInternal.h"

namespace orv::win {

// Input.cpp: turns the first raw input event into a message when it fits the filter.
bool TakeInput(MSG& msg, HWND filter, UINT first, UINT last, bool remove);
bool InputWaiting();
void CheckHover();

std::int64_t Now() {
  TState& s = S();
  if (s.ManualClock) return s.Clock;
  using namespace std::chrono;
  static const auto start = steady_clock::now();
  return duration_cast<milliseconds>(steady_clock::now() - start).count();
}

namespace {

// A guard that keeps a count raised for the length of a scope, exceptions included.
struct TCounter {
  explicit TCounter(int& c) : C(c) { ++C; }
  ~TCounter() { --C; }
  int& C;
};

int gHookDepth = 0;

void PurgeHooks() {
  if (gHookDepth) return;
  for (auto& chain : S().Hooks)
    chain.erase(std::remove_if(chain.begin(), chain.end(),
                               [](const std::shared_ptr<THook>& h) { return h->Removed; }),
                chain.end());
}

int HookSlot(int kind) { return kind + 1; }  // WH_MSGFILTER (-1) .. WH_MOUSE_LL (14)

LRESULT CallFrom(std::vector<std::shared_ptr<THook>>& chain, std::size_t start, int code,
                 WPARAM wParam, LPARAM lParam) {
  for (std::size_t i = start; i < chain.size(); ++i) {
    if (chain[i]->Removed) continue;
    std::shared_ptr<THook> h = chain[i];
    TCounter depth(gHookDepth);
    return h->Proc(code, wParam, lParam);
  }
  return 0;
}

bool MatchWindow(HWND filter, HWND window) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(std::intptr_t(-1))) return window == nullptr;
  return window == filter || IsChild(filter, window);
}

bool MatchRange(UINT first, UINT last, UINT message) {
  if (first == 0 && last == 0) return true;
  if (first <= last) return message >= first && message <= last;
  return message >= first || message <= last;
}

// ---- Timers -----------------------------------------------------------------------------------

using TTimerKey = std::pair<std::uintptr_t, UINT_PTR>;

bool HeapLater(const TState::THeapEntry& a, const TState::THeapEntry& b) { return a.Due > b.Due; }

void Schedule(TTimer& t) {
  TState& s = S();
  t.Serial = ++s.TimerSerial;
  s.TimerHeap.push_back({t.Due, t.Serial, {reinterpret_cast<std::uintptr_t>(t.Window), t.Id}});
  std::push_heap(s.TimerHeap.begin(), s.TimerHeap.end(), HeapLater);
}

// Drops heap entries of killed or rescheduled timers from the top.
void CleanHeapTop() {
  TState& s = S();
  while (!s.TimerHeap.empty()) {
    const auto& top = s.TimerHeap.front();
    auto it = s.Timers.find(top.Key);
    if (it != s.Timers.end() && it->second.Serial == top.Serial) return;
    std::pop_heap(s.TimerHeap.begin(), s.TimerHeap.end(), HeapLater);
    s.TimerHeap.pop_back();
  }
}

// The due timer to hand out for a filter: the earliest one without a window filter, else the
// earliest due timer of the filtered windows.
TTimer* DueTimer(HWND filter) {
  TState& s = S();
  std::int64_t now = Now();
  if (!filter) {
    CleanHeapTop();
    if (s.TimerHeap.empty() || s.TimerHeap.front().Due > now) return nullptr;
    return &s.Timers.find(s.TimerHeap.front().Key)->second;
  }
  TTimer* best = nullptr;
  for (auto& [key, t] : s.Timers)
    if (t.Due <= now && MatchWindow(filter, t.Window) && (!best || t.Due < best->Due)) best = &t;
  return best;
}

// The next time a timer falls due; false without timers.
bool NextTimerDue(std::int64_t& due) {
  CleanHeapTop();
  if (S().TimerHeap.empty()) return false;
  due = S().TimerHeap.front().Due;
  return true;
}

bool PeekInternal(MSG* msg, HWND filter, UINT first, UINT last, UINT flags) {
  EnsureInit();
  TState& s = S();
  bool remove = (flags & PM_REMOVE) != 0;
  Backend().Poll();
  for (;;) {
    MSG m;
    bool found = false;
    for (auto it = s.Posted.begin(); it != s.Posted.end(); ++it) {
      if (MatchWindow(filter, it->hwnd) && MatchRange(first, last, it->message)) {
        m = *it;
        if (remove) s.Posted.erase(it);
        found = true;
        break;
      }
    }
    // WM_QUIT comes out whatever the filter asks for.
    if (!found && s.QuitPending) {
      m.message = WM_QUIT;
      m.wParam = WPARAM(s.QuitCode);
      m.time = DWORD(Now());
      m.pt = s.CursorPos;
      if (remove) s.QuitPending = false;
      found = true;
    }
    if (!found) {
      CheckHover();
      found = TakeInput(m, filter, first, last, remove);
    }
    if (!found && MatchRange(first, last, WM_PAINT)) {
      if (TWnd* w = NextPaintWindow()) {
        if (MatchWindow(filter, w->Handle)) {
          m.hwnd = w->Handle;
          m.message = WM_PAINT;
          m.time = DWORD(Now());
          m.pt = s.CursorPos;
          found = true;
        }
      }
    }
    if (!found && MatchRange(first, last, WM_TIMER)) {
      if (TTimer* t = DueTimer(filter)) {
        m.hwnd = t->Window;
        m.message = WM_TIMER;
        m.wParam = t->Id;
        m.lParam = reinterpret_cast<LPARAM>(t->Proc);
        m.time = DWORD(Now());
        m.pt = s.CursorPos;
        if (remove) {
          t->Due = Now() + t->Elapse;
          Schedule(*t);
        }
        found = true;
      }
    }
    if (!found) return false;
    if (HasHooks(WH_GETMESSAGE)) {
      CallHooks(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE,
                reinterpret_cast<LPARAM>(&m));
    }
    if (remove) s.Current = m;
    if (msg) *msg = m;
    return true;
  }
}

// Waits until something may be waiting: desktop input, or the first due timer.
void WaitForMessage() {
  TState& s = S();
  FlushPresent();
  std::int64_t due = 0;
  int timeout = -1;
  if (NextTimerDue(due)) timeout = int(std::clamp<std::int64_t>(due - Now(), 0, 0x7FFFFFFF));
  if (timeout == 0) return;
  if (!Backend().Wait(timeout)) {
    if (s.ManualClock && timeout > 0) {
      s.Clock = due;
      return;
    }
    throw EInvalidOperation("The message loop waits for input that cannot come");
  }
}

bool AnythingWaiting() {
  TState& s = S();
  std::int64_t due = 0;
  return !s.Posted.empty() || s.QuitPending || InputWaiting() || NextPaintWindow() ||
         (NextTimerDue(due) && due <= Now());
}

}  // namespace

LRESULT Send(TWnd* w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!w || w->Destroyed) return 0;
  auto hold = Hold(w);
  HWND h = w->Handle;
  if (HasHooks(WH_CALLWNDPROC)) {
    CWPSTRUCT cwp;
    cwp.lParam = lParam;
    cwp.wParam = wParam;
    cwp.message = message;
    cwp.hwnd = h;
    CallHooks(WH_CALLWNDPROC, HC_ACTION, TRUE, reinterpret_cast<LPARAM>(&cwp));
    if (w->Destroyed) return 0;
  }
  // Read after the hooks: a hook may have replaced the procedure for this one message.
  WNDPROC proc = w->Proc;
  if (!proc) return 0;
  LRESULT r;
  {
    TCounter depth(S().SendDepth);
    r = proc(h, message, wParam, lParam);
  }
  if (HasHooks(WH_CALLWNDPROCRET) && !w->Destroyed) {
    CWPRETSTRUCT ret;
    ret.lResult = r;
    ret.lParam = lParam;
    ret.wParam = wParam;
    ret.message = message;
    ret.hwnd = h;
    CallHooks(WH_CALLWNDPROCRET, HC_ACTION, TRUE, reinterpret_cast<LPARAM>(&ret));
  }
  return r;
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m;
  m.hwnd = window;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = DWORD(Now());
  m.pt = S().CursorPos;
  S().Posted.push_back(m);
}

bool HasHooks(int kind) {
  int slot = HookSlot(kind);
  if (slot < 0 || slot >= 16) return false;
  for (auto& h : S().Hooks[slot])
    if (!h->Removed) return true;
  return false;
}

LRESULT CallHooks(int kind, int code, WPARAM wParam, LPARAM lParam) {
  int slot = HookSlot(kind);
  if (slot < 0 || slot >= 16) return 0;
  LRESULT r = CallFrom(S().Hooks[slot], 0, code, wParam, lParam);
  PurgeHooks();
  return r;
}

void KillWindowTimers(HWND window) {
  TState& s = S();
  std::uintptr_t key = reinterpret_cast<std::uintptr_t>(window);
  auto it = s.Timers.lower_bound({key, 0});
  while (it != s.Timers.end() && it->first.first == key) it = s.Timers.erase(it);
}

}  // namespace orv::win

using namespace orv;
using namespace orv::win;

// ---- Clock ------------------------------------------------------------------------------------

namespace orv {

void SetManualClock(bool manual, DWORD start) {
  S().ManualClock = manual;
  S().Clock = start;
}

bool IsManualClock() { return S().ManualClock; }

void AdvanceClock(DWORD milliseconds) { S().Clock += milliseconds; }

}  // namespace orv

DWORD GetTickCount() { return DWORD(Now()); }

// ---- Sending and posting ----------------------------------------------------------------------

namespace {

void Broadcast(UINT message, WPARAM wParam, LPARAM lParam, bool post) {
  std::vector<HWND> tops;
  for (TWnd* t : Desktop()->Children) tops.push_back(t->Handle);
  for (HWND h : tops) {
    if (post) {
      Post(h, message, wParam, lParam);
    } else if (TWnd* t = FromHandle(h)) {
      Send(t, message, wParam, lParam);
    }
  }
}

}  // namespace

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  EnsureInit();
  if (window == HWND_BROADCAST) {
    Broadcast(message, wParam, lParam, false);
    return 0;
  }
  TWnd* w = FromHandle(window);
  return w ? Send(w, message, wParam, lParam) : 0;
}

BOOL SendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  EnsureInit();
  if (window != HWND_BROADCAST && !FromHandle(window)) return FALSE;
  SendMessage(window, message, wParam, lParam);
  return TRUE;
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  EnsureInit();
  if (window == HWND_BROADCAST) {
    Broadcast(message, wParam, lParam, true);
    return TRUE;
  }
  if (window && !FromHandle(window)) return FALSE;
  Post(window, message, wParam, lParam);
  Backend();
  return TRUE;
}

BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  if (threadId != GetCurrentThreadId()) return FALSE;
  return PostMessage(nullptr, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  EnsureInit();
  S().QuitPending = true;
  S().QuitCode = exitCode;
}

BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  return PeekInternal(msg, window, filterMin, filterMax, removeFlags) ? TRUE : FALSE;
}

BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
  EnsureInit();
  if (window && window != reinterpret_cast<HWND>(std::intptr_t(-1)) && !FromHandle(window))
    return -1;
  MSG m;
  while (!PeekInternal(&m, window, filterMin, filterMax, PM_REMOVE)) WaitForMessage();
  if (msg) *msg = m;
  return m.message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
  EnsureInit();
  Backend().Poll();
  if (!AnythingWaiting()) WaitForMessage();
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  TState& s = S();
  if (msg->message == WM_TIMER && msg->lParam) {
    // Only a running timer calls its procedure: a late or forged message is dropped.
    auto it = s.Timers.find({reinterpret_cast<std::uintptr_t>(msg->hwnd), msg->wParam});
    if (it == s.Timers.end() || reinterpret_cast<LPARAM>(it->second.Proc) != msg->lParam)
      return 0;
    TIMERPROC proc = it->second.Proc;
    proc(msg->hwnd, WM_TIMER, msg->wParam, DWORD(Now()));
    return 0;
  }
  TWnd* w = FromHandle(msg->hwnd);
  if (!w || !w->Proc) return 0;
  auto hold = Hold(w);
  LRESULT r = w->Proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  if (msg->message == WM_PAINT && !w->Destroyed && S().NeedPaint.count(w)) {
    // A procedure that answered WM_PAINT without painting would get it forever.
    ValidateAll(w);
  }
  return r;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  if (msg->lPrivate & 0x10000) return FALSE;  // the desktop sends the character itself
  WORD ch = 0;
  if (msg->lPrivate & 0xFFFF) {
    ch = WORD((msg->lPrivate - 1) & 0xFF);
  } else {
    WORD out[2] = {};
    BYTE state[256];
    GetKeyboardState(state);
    if (ToAscii(UINT(msg->wParam), (UINT(msg->lParam) >> 16) & 0xFF, state, out, 0) != 1)
      return FALSE;
    ch = out[0];
  }
  PostMessage(msg->hwnd, msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, ch, msg->lParam);
  return TRUE;
}

DWORD GetMessagePos() {
  const MSG& m = S().Current;
  return MAKELONG(WORD(m.pt.X), WORD(m.pt.Y));
}

LONG GetMessageTime() { return LONG(S().Current.time); }

DWORD GetQueueStatus(UINT flags) {
  EnsureInit();
  TState& s = S();
  Backend().Poll();
  UINT status = 0;
  if (!s.Posted.empty() || s.QuitPending) status |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
  if (InputWaiting()) status |= QS_INPUT;
  if (NextPaintWindow()) status |= QS_PAINT;
  std::int64_t due = 0;
  if (NextTimerDue(due) && due <= Now()) status |= QS_TIMER;
  status &= flags;
  return MAKELONG(WORD(status), WORD(status));
}

BOOL GetInputState() {
  EnsureInit();
  Backend().Poll();
  return InputWaiting() ? TRUE : FALSE;
}

BOOL InSendMessage() { return FALSE; }

UINT RegisterWindowMessage(const char* name) {
  EnsureInit();
  if (!name || !*name) return 0;
  std::string key;
  for (const char* p = name; *p; ++p) key += (*p >= 'A' && *p <= 'Z') ? char(*p - 'A' + 'a') : *p;
  auto& reg = S().RegisteredMessages;
  auto it = reg.find(key);
  if (it != reg.end()) return it->second;
  UINT n = S().NextRegisteredMessage++;
  reg[key] = n;
  return n;
}

LRESULT CallWindowProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(window, message, wParam, lParam) : 0;
}

// ---- Hooks ------------------------------------------------------------------------------------

HHOOK SetWindowsHookEx(int kind, HOOKPROC proc, HINSTANCE instance, DWORD threadId) {
  EnsureInit();
  switch (kind) {
    case WH_CALLWNDPROC:
    case WH_CALLWNDPROCRET:
    case WH_GETMESSAGE:
    case WH_KEYBOARD:
    case WH_MOUSE:
      break;
    default:
      return nullptr;
  }
  if (!proc) return nullptr;
  auto h = std::make_shared<THook>();
  h->Handle = reinterpret_cast<HHOOK>(S().NextHook);
  S().NextHook += 4;
  h->Kind = kind;
  h->Proc = proc;
  auto& chain = S().Hooks[HookSlot(kind)];
  chain.insert(chain.begin(), h);
  return h->Handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  for (auto& chain : S().Hooks)
    for (auto& h : chain)
      if (h->Handle == hook && !h->Removed) {
        h->Removed = true;
        PurgeHooks();
        return TRUE;
      }
  return FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  for (auto& chain : S().Hooks)
    for (std::size_t i = 0; i < chain.size(); ++i)
      if (chain[i]->Handle == hook) return CallFrom(chain, i + 1, code, wParam, lParam);
  return 0;
}

// ---- Timers -----------------------------------------------------------------------------------

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  EnsureInit();
  TState& s = S();
  if (window && !FromHandle(window)) return 0;
  if (!window) {
    if (!id || !s.Timers.count({0, id})) {
      do {
        id = s.NextThreadTimer++;
      } while (s.Timers.count({0, id}));
    }
  }
  elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
  TTimer& t = s.Timers[{reinterpret_cast<std::uintptr_t>(window), id}];
  t.Window = window;
  t.Id = id;
  t.Elapse = elapse;
  t.Proc = proc;
  t.Due = Now() + elapse;
  Schedule(t);
  return window ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  return S().Timers.erase({reinterpret_cast<std::uintptr_t>(window), id}) ? TRUE : FALSE;
}
