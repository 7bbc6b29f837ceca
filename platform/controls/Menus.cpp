#include "platform/controls/Menus.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/controls/ImgList.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

// ---- Shortcuts --------------------------------------------------------------------------------

namespace {

struct TKeyName {
  Word Key;
  const char* Name;
};

constexpr TKeyName kKeyNames[] = {
    {0x08, "BkSp"},  {0x09, "Tab"},  {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"},
    {0x21, "PgUp"},  {0x22, "PgDn"}, {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"},    {0x27, "Right"}, {0x28, "Down"}, {0x2D, "Ins"},  {0x2E, "Del"},
};

AnsiString KeyName(Word key) {
  for (const TKeyName& k : kKeyNames)
    if (k.Key == key) return k.Name;
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return AnsiString(1, char(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + IntToStr(Integer(key - VK_F1 + 1));
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + IntToStr(Integer(key - VK_NUMPAD0));
  switch (key) {
    case VK_MULTIPLY: return "Num *";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_DECIMAL: return "Num Del";
    case VK_DIVIDE: return "Num /";
    case VK_OEM_PLUS: return "=";
    case VK_OEM_MINUS: return "-";
    case VK_OEM_COMMA: return ",";
    case VK_OEM_PERIOD: return ".";
    default: return AnsiString();
  }
}

bool StartsWithText(const AnsiString& text, std::size_t at, const char* prefix) {
  const std::size_t n = std::strlen(prefix);
  return text.size() >= at + n && SameText(text.substr(at, n), prefix);
}

}  // namespace

TShortCut ShortCut(Word key, bool shift, bool ctrl, bool alt) {
  if (key & 0xFF00) return scNone;
  TShortCut result = key;
  if (shift) result |= scShift;
  if (ctrl) result |= scCtrl;
  if (alt) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut shortCut, Word& key, bool& shift, bool& ctrl, bool& alt) {
  key = shortCut & 0xFF;
  shift = (shortCut & scShift) != 0;
  ctrl = (shortCut & scCtrl) != 0;
  alt = (shortCut & scAlt) != 0;
}

AnsiString ShortCutToText(TShortCut shortCut) {
  const AnsiString name = KeyName(shortCut & 0xFF);
  if (name.empty()) return AnsiString();
  AnsiString result;
  if (shortCut & scShift) result += "Shift+";
  if (shortCut & scCtrl) result += "Ctrl+";
  if (shortCut & scAlt) result += "Alt+";
  return result + name;
}

TShortCut TextToShortCut(const AnsiString& text) {
  TShortCut mods = 0;
  std::size_t at = 0;
  for (;;) {
    if (StartsWithText(text, at, "Shift+")) {
      mods |= scShift;
      at += 6;
    } else if (StartsWithText(text, at, "Ctrl+")) {
      mods |= scCtrl;
      at += 5;
    } else if (StartsWithText(text, at, "Alt+")) {
      mods |= scAlt;
      at += 4;
    } else {
      break;
    }
  }
  const AnsiString rest = text.substr(at);
  if (rest.empty()) return scNone;
  for (Word key = 0x08; key <= 0xFF; ++key) {
    const AnsiString name = KeyName(key);
    if (!name.empty() && SameText(name, rest)) return TShortCut(key | mods);
  }
  return scNone;
}

TShortCut ShortCutFromMessage(WPARAM key) {
  return ShortCut(Word(key), GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                  GetKeyState(VK_MENU) < 0);
}

AnsiString StripHotkey(const AnsiString& text) {
  AnsiString result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        result += '&';
        ++i;
      }
      continue;
    }
    result += text[i];
  }
  return result;
}

char GetHotkey(const AnsiString& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return AnsiUpperCase(AnsiString(1, text[i + 1]))[0];
  }
  return 0;
}

bool IsAccel(Word key, const AnsiString& text) {
  const char hot = GetHotkey(text);
  return hot && key < 256 && AnsiUpperCase(AnsiString(1, char(key)))[0] == hot;
}

// ---- TMenuActionLink --------------------------------------------------------------------------

TMenuActionLink::TMenuActionLink(TObject* client) : TActionLink(client) { AssignClient(client); }

void TMenuActionLink::AssignClient(TObject* client) { FClient = dynamic_cast<TMenuItem*>(client); }

bool TMenuActionLink::IsCaptionLinked() {
  return inherited::IsCaptionLinked() && FClient->GetCaption() == CustomAction()->GetCaption();
}
bool TMenuActionLink::IsCheckedLinked() {
  return inherited::IsCheckedLinked() && FClient->GetChecked() == CustomAction()->GetChecked();
}
bool TMenuActionLink::IsEnabledLinked() {
  return inherited::IsEnabledLinked() && FClient->GetEnabled() == CustomAction()->GetEnabled();
}
bool TMenuActionLink::IsHintLinked() {
  return inherited::IsHintLinked() && FClient->GetHint() == CustomAction()->GetHint();
}
bool TMenuActionLink::IsImageIndexLinked() {
  return inherited::IsImageIndexLinked() && FClient->GetImageIndex() == CustomAction()->GetImageIndex();
}
bool TMenuActionLink::IsShortCutLinked() {
  return inherited::IsShortCutLinked() && FClient->GetShortCut() == CustomAction()->GetShortCut();
}
bool TMenuActionLink::IsVisibleLinked() {
  return inherited::IsVisibleLinked() && FClient->GetVisible() == CustomAction()->GetVisible();
}
void TMenuActionLink::SetCaption(const AnsiString& value) {
  if (IsCaptionLinked()) FClient->SetCaption(value);
}
void TMenuActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) FClient->SetChecked(value);
}
void TMenuActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked()) FClient->SetEnabled(value);
}
void TMenuActionLink::SetHint(const AnsiString& value) {
  if (IsHintLinked()) FClient->SetHint(value);
}
void TMenuActionLink::SetImageIndex(Integer value) {
  if (IsImageIndexLinked()) FClient->SetImageIndex(value);
}
void TMenuActionLink::SetShortCut(TShortCut value) {
  if (IsShortCutLinked()) FClient->SetShortCut(value);
}
void TMenuActionLink::SetVisible(bool value) {
  if (IsVisibleLinked()) FClient->SetVisible(value);
}

// ---- TMenuItem --------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() { orv::Free(FItems); }

void TMenuItem::BeforeDestruction() {
  Destroying();
  if (FParent) FParent->Remove(this);
  // Sub-items belong to the tree: they go with it.
  while (GetCount() > 0) {
    TMenuItem* item = GetItem(GetCount() - 1);
    FItems->Delete(GetCount() - 1);
    item->FParent = nullptr;
    item->Free();
  }
  FreeAndNil(FActionLink);
  inherited::BeforeDestruction();
}

Integer TMenuItem::GetCount() const { return FItems ? FItems->GetCount() : 0; }

TMenuItem* TMenuItem::GetItem(Integer index) const {
  if (!FItems) throw EListError("Menu index out of range");
  return static_cast<TMenuItem*>(FItems->Get(index));
}

Integer TMenuItem::IndexOf(TMenuItem* item) const { return FItems ? FItems->IndexOf(item) : -1; }

Integer TMenuItem::GetMenuIndex() const { return FParent ? FParent->IndexOf(const_cast<TMenuItem*>(this)) : -1; }

void TMenuItem::SetMenuIndex(Integer value) {
  if (!FParent) return;
  const Integer cur = GetMenuIndex();
  value = std::clamp(value, 0, FParent->GetCount() - 1);
  if (value != cur) FParent->FItems->Move(cur, value);
}

void TMenuItem::Add(TMenuItem* item) { Insert(GetCount(), item); }

void TMenuItem::Insert(Integer index, TMenuItem* item) {
  if (!item) return;
  if (item->FParent) throw EInvalidOperation("Menu inserted twice");
  if (!FItems) FItems = new TList;
  if (index < 0 || index > GetCount()) throw EListError("Menu index out of range");
  FItems->Insert(index, item);
  item->FParent = this;
}

void TMenuItem::Delete(Integer index) {
  TMenuItem* item = GetItem(index);
  FItems->Delete(index);
  item->FParent = nullptr;
}

void TMenuItem::Remove(TMenuItem* item) {
  const Integer i = IndexOf(item);
  if (i >= 0) Delete(i);
}

void TMenuItem::Clear() {
  while (GetCount() > 0) {
    TMenuItem* item = GetItem(GetCount() - 1);
    Delete(GetCount() - 1);
    item->Free();
  }
}

TMenuItem* TMenuItem::Find(const AnsiString& caption) const {
  const AnsiString want = StripHotkey(caption);
  for (Integer i = 0; i < GetCount(); ++i)
    if (AnsiSameText(StripHotkey(GetItem(i)->FCaption), want)) return GetItem(i);
  return nullptr;
}

TMenu* TMenuItem::GetMenu() const {
  const TMenuItem* item = this;
  while (item->FParent) item = item->FParent;
  return item->FMenu;
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck && !(FActionLink && FActionLink->IsCheckedLinked() &&
                      dynamic_cast<TCustomAction*>(GetAction()) &&
                      static_cast<TCustomAction*>(GetAction())->GetAutoCheck()))
    SetChecked(!FChecked);
  if (FOnClick && GetAction() && !(FOnClick == GetAction()->GetOnExecute()))
    FOnClick(this);
  else if (FActionLink && !GetComponentState().Contains(csDesigning))
    FActionLink->Execute(this);
  else if (FOnClick)
    FOnClick(this);
}

void TMenuItem::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TMenuItem::SetCaption(const AnsiString& value) { FCaption = value; }

void TMenuItem::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  if (value && FRadioItem && FParent)
    for (Integer i = 0; i < FParent->GetCount(); ++i) {
      TMenuItem* other = FParent->GetItem(i);
      if (other != this && other->FRadioItem && other->FGroupIndex == FGroupIndex) other->FChecked = false;
    }
}

void TMenuItem::SetEnabled(bool value) { FEnabled = value; }
void TMenuItem::SetVisible(bool value) { FVisible = value; }
void TMenuItem::SetDefault(bool value) { FDefault = value; }
void TMenuItem::SetRadioItem(bool value) { FRadioItem = value; }
void TMenuItem::SetGroupIndex(Byte value) { FGroupIndex = value; }
void TMenuItem::SetImageIndex(Integer value) { FImageIndex = value; }
void TMenuItem::SetShortCut(TShortCut value) { FShortCut = value; }

TBasicAction* TMenuItem::GetAction() const { return FActionLink ? FActionLink->GetAction() : nullptr; }

void TMenuItem::SetAction(TBasicAction* value) {
  if (!value) {
    FreeAndNil(FActionLink);
    return;
  }
  if (!FActionLink) {
    FActionLink = new TMenuActionLink(this);
    FActionLink->SetOnChange(TNotifyEvent(this, &TMenuItem::DoActionChange));
  }
  FActionLink->SetAction(value);
  ActionChange(value, GetComponentState().Contains(csLoading));
  value->FreeNotification(this);
}

void TMenuItem::DoActionChange(TObject* sender) {
  if (GetAction()) ActionChange(GetAction(), false);
}

void TMenuItem::ActionChange(TObject* sender, bool checkDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(sender);
  if (!a) return;
  if (!checkDefaults || FCaption.empty()) FCaption = a->GetCaption();
  if (!checkDefaults || !FChecked) FChecked = a->GetChecked();
  if (!checkDefaults || FEnabled) FEnabled = a->GetEnabled();
  if (!checkDefaults || FHint.empty()) FHint = a->GetHint();
  if (!checkDefaults || FImageIndex == -1) FImageIndex = a->GetImageIndex();
  if (!checkDefaults || FShortCut == scNone) FShortCut = a->GetShortCut();
  if (!checkDefaults || FVisible) FVisible = a->GetVisible();
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* value) {
  if (FParent) FParent->Remove(this);
  if (auto* menu = dynamic_cast<TMenu*>(value))
    menu->GetItems()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(value))
    item->Add(this);
}

void TMenuItem::GetChildren(TGetChildProc proc, TComponent* root) {
  for (Integer i = 0; i < GetCount(); ++i) proc(GetItem(i));
}

void TMenuItem::SetChildOrder(TComponent* child, Integer order) {
  if (auto* item = dynamic_cast<TMenuItem*>(child))
    if (item->FParent == this) item->SetMenuIndex(order);
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && FActionLink && component == FActionLink->GetAction()) SetAction(nullptr);
}

// ---- TMenu ------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(nullptr)) {
  FItems->FMenu = this;
}

TMenu::~TMenu() = default;

void TMenu::BeforeDestruction() {
  Destroying();
  FItems->Free();
  FItems = nullptr;
  inherited::BeforeDestruction();
}

void TMenu::SetImages(TCustomImageList* value) {
  if (value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = value;
  if (value) value->FreeNotification(this);
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut shortCut) const {
  if (shortCut == scNone) return nullptr;
  std::vector<TMenuItem*> stack{FItems};
  while (!stack.empty()) {
    TMenuItem* item = stack.back();
    stack.pop_back();
    for (Integer i = item->GetCount() - 1; i >= 0; --i) {
      TMenuItem* child = item->GetItem(i);
      if (child->GetShortCut() == shortCut) return child;
      stack.push_back(child);
    }
  }
  return nullptr;
}

bool TMenu::IsShortCut(TShortCut shortCut) {
  TMenuItem* item = FindItemByShortCut(shortCut);
  if (!item) return false;
  item->InitiateAction();
  // Every parent must be enabled and visible for the shortcut to reach the item.
  for (TMenuItem* p = item; p && p != FItems; p = p->GetParent())
    if (!p->GetEnabled() || !p->GetVisible()) return false;
  item->Click();
  return true;
}

void TMenu::GetChildren(TGetChildProc proc, TComponent* root) { FItems->GetChildren(proc, root); }

void TMenu::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FImages) FImages = nullptr;
}

// ---- The popup loop ---------------------------------------------------------------------------

namespace {

constexpr int kFrame = 3;        // the raised 3-D border and a pixel of air
constexpr int kSeparator = 9;
constexpr int kArrowColumn = 14;

struct TLevel {
  HWND Window = nullptr;
  TMenuItem* Parent = nullptr;
  std::vector<TMenuItem*> Items;  // the visible items
  std::vector<TRect> Rects;       // client coordinates
  int Hot = -1;
  int CheckColumn = 0;
  int ShortCutColumn = 0;
};

struct TLoop {
  std::vector<std::unique_ptr<TLevel>> Levels;
  TMenu* Menu = nullptr;
  TMenuItem* Chosen = nullptr;
  bool Done = false;
  HFONT Font = nullptr;
};

TLoop* gLoop = nullptr;

HFONT MenuFont() {
  NONCLIENTMETRICS metrics;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  if (metrics.lfMenuFont.lfFaceName[0] == 0) {
    LOGFONT lf;
    lf.lfHeight = -11;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    lf.lfCharSet = DEFAULT_CHARSET;
    return CreateFontIndirect(&lf);
  }
  return CreateFontIndirect(&metrics.lfMenuFont);
}

bool Selectable(const TMenuItem* item) { return item->GetEnabled() && !item->IsLine(); }

void PaintLevel(TLevel& level, HDC dc) {
  RECT client;
  GetClientRect(level.Window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
  RECT edge = client;
  DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
  HGDIOBJ oldFont = SelectObject(dc, gLoop->Font);
  SetBkMode(dc, TRANSPARENT);
  TCustomImageList* images = gLoop->Menu ? gLoop->Menu->GetImages() : nullptr;
  for (std::size_t i = 0; i < level.Items.size(); ++i) {
    TMenuItem* item = level.Items[i];
    RECT r = level.Rects[i];
    if (item->IsLine()) {
      RECT line{r.Left + 1, r.Top + r.Height() / 2 - 1, r.Right - 1, r.Top + r.Height() / 2 + 1};
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
      continue;
    }
    const bool hot = int(i) == level.Hot;
    if (hot) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    const COLORREF text = !item->GetEnabled() ? GetSysColor(COLOR_GRAYTEXT)
                          : hot                ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                               : GetSysColor(COLOR_MENUTEXT);
    // The check column: an image, or a check mark / radio bullet.
    const int markX = r.Left + 2, midY = r.Top + r.Height() / 2;
    if (images && item->GetImageIndex() >= 0 && item->GetImageIndex() < images->GetCount()) {
      ImageList_Draw(images->GetHandle(), item->GetImageIndex(), dc, markX,
                     midY - images->GetHeight() / 2, ILD_TRANSPARENT);
    } else if (item->GetChecked()) {
      HPEN pen = CreatePen(PS_SOLID, 1, text);
      HGDIOBJ old = SelectObject(dc, pen);
      if (item->GetRadioItem()) {
        HBRUSH brush = CreateSolidBrush(text);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        Ellipse(dc, markX + 4, midY - 3, markX + 10, midY + 3);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
      } else {
        for (int k = 0; k < 3; ++k) {
          MoveToEx(dc, markX + 3, midY - 1 + k, nullptr);
          LineTo(dc, markX + 5, midY + 1 + k);
          LineTo(dc, markX + 10, midY - 4 + k);
        }
      }
      SelectObject(dc, old);
      DeleteObject(pen);
    }
    RECT textRect{r.Left + level.CheckColumn, r.Top, r.Right - kArrowColumn, r.Bottom};
    const AnsiString shortCut = ShortCutToText(item->GetShortCut());
    auto drawTexts = [&](COLORREF color, int dx) {
      SetTextColor(dc, color);
      RECT t{textRect.Left + dx, textRect.Top + dx, textRect.Right + dx, textRect.Bottom + dx};
      DrawText(dc, item->GetCaption().c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
      if (!shortCut.empty()) {
        RECT s{r.Left + level.ShortCutColumn + dx, t.Top, t.Right, t.Bottom};
        DrawText(dc, shortCut.c_str(), -1, &s, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
      }
    };
    if (!item->GetEnabled() && !hot) drawTexts(GetSysColor(COLOR_BTNHIGHLIGHT), 1);
    drawTexts(text, 0);
    if (item->GetCount() > 0) {
      HBRUSH brush = CreateSolidBrush(text);
      HGDIOBJ oldBrush = SelectObject(dc, brush);
      HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
      const int ax = r.Right - 10;
      const POINT arrow[3] = {{ax, midY - 4}, {ax + 4, midY}, {ax, midY + 4}};
      Polygon(dc, arrow, 3);
      SelectObject(dc, oldPen);
      SelectObject(dc, oldBrush);
      DeleteObject(brush);
    }
  }
  SelectObject(dc, oldFont);
}

LRESULT PopupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && gLoop) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    for (auto& level : gLoop->Levels)
      if (level->Window == window) PaintLevel(*level, dc);
    EndPaint(window, &ps);
    return 0;
  }
  if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProc(window, message, wParam, lParam);
}

void RegisterPopupClass() {
  WNDCLASS probe;
  if (GetClassInfo(nullptr, kPopupMenuClassName, &probe)) return;
  WNDCLASS wc;
  wc.style = CS_SAVEBITS | CS_DROPSHADOW;
  wc.lpfnWndProc = PopupWndProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kPopupMenuClassName;
  RegisterClass(&wc);
}

// Opens a level for `parent`'s visible items with its top-left near the screen point.
TLevel* OpenLevel(TMenuItem* parent, POINT at, TPopupAlignment alignment, int avoidLeft) {
  auto level = std::make_unique<TLevel>();
  level->Parent = parent;
  for (Integer i = 0; i < parent->GetCount(); ++i) {
    TMenuItem* item = parent->GetItem(i);
    item->InitiateAction();
    if (item->GetVisible()) level->Items.push_back(item);
  }
  if (level->Items.empty()) return nullptr;
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, gLoop->Font);
  TEXTMETRIC tm;
  GetTextMetrics(screen, &tm);
  const int itemHeight = std::max<int>(tm.tmHeight + 6, GetSystemMetrics(SM_CYMENUCHECK) + 4);
  TCustomImageList* images = gLoop->Menu ? gLoop->Menu->GetImages() : nullptr;
  level->CheckColumn = std::max<int>(GetSystemMetrics(SM_CXMENUCHECK) + 6, images ? images->GetWidth() + 6 : 0);
  int textWidth = 0, shortCutWidth = 0;
  for (TMenuItem* item : level->Items) {
    RECT r{0, 0, 0, 0};
    DrawText(screen, item->GetCaption().c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT);
    textWidth = std::max<int>(textWidth, r.Width());
    const AnsiString sc = ShortCutToText(item->GetShortCut());
    if (!sc.empty()) {
      SIZE size;
      GetTextExtentPoint32(screen, sc.c_str(), int(sc.size()), &size);
      shortCutWidth = std::max<int>(shortCutWidth, size.cx);
    }
  }
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  level->ShortCutColumn = level->CheckColumn + textWidth + (shortCutWidth ? 16 : 0);
  const int width = level->ShortCutColumn + shortCutWidth + kArrowColumn + 2 * kFrame;
  int y = kFrame;
  for (TMenuItem* item : level->Items) {
    const int h = item->IsLine() ? kSeparator : itemHeight;
    level->Rects.push_back({kFrame, y, width - kFrame, y + h});
    y += h;
  }
  const int height = y + kFrame;
  // Inside the work area: flip to the other side when the menu does not fit.
  RECT work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  int x = at.X;
  if (alignment == paRight) x -= width;
  if (alignment == paCenter) x -= width / 2;
  int top = at.Y;
  if (x + width > work.Right) x = avoidLeft >= 0 ? avoidLeft - width : work.Right - width;
  if (x < work.Left) x = work.Left;
  if (top + height > work.Bottom) top = std::max<int>(work.Top, work.Bottom - height);
  level->Window = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupMenuClassName, "",
                                 WS_POPUP, x, top, width, height, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(level->Window, SW_SHOWNOACTIVATE);
  gLoop->Levels.push_back(std::move(level));
  return gLoop->Levels.back().get();
}

void CloseLevelsAbove(std::size_t keep) {
  while (gLoop->Levels.size() > keep) {
    DestroyWindow(gLoop->Levels.back()->Window);
    gLoop->Levels.pop_back();
  }
}

void SetHot(TLevel& level, int hot) {
  if (level.Hot == hot) return;
  level.Hot = hot;
  InvalidateRect(level.Window, nullptr, FALSE);
}

void OpenSubmenu(std::size_t depth) {
  TLevel& level = *gLoop->Levels[depth];
  if (level.Hot < 0) return;
  TMenuItem* item = level.Items[std::size_t(level.Hot)];
  if (item->GetCount() == 0 || !item->GetEnabled()) return;
  CloseLevelsAbove(depth + 1);
  RECT r = level.Rects[std::size_t(level.Hot)];
  RECT wr;
  GetWindowRect(level.Window, &wr);
  TLevel* sub = OpenLevel(item, {wr.Right - kFrame, wr.Top + r.Top - kFrame}, paLeft, wr.Left);
  if (sub) SetHot(*sub, -1);
}

// The level and item under a screen point; false outside every level.
bool HitTest(POINT screen, std::size_t& depth, int& index) {
  for (std::size_t d = gLoop->Levels.size(); d-- > 0;) {
    TLevel& level = *gLoop->Levels[d];
    RECT wr;
    GetWindowRect(level.Window, &wr);
    if (screen.X < wr.Left || screen.X >= wr.Right || screen.Y < wr.Top || screen.Y >= wr.Bottom) continue;
    depth = d;
    index = -1;
    const POINT p{screen.X - wr.Left, screen.Y - wr.Top};
    for (std::size_t i = 0; i < level.Rects.size(); ++i) {
      const TRect& r = level.Rects[i];
      if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) index = int(i);
    }
    return true;
  }
  return false;
}

void Choose(TMenuItem* item) {
  if (!Selectable(item)) return;
  if (item->GetCount() > 0) return;
  gLoop->Chosen = item;
  gLoop->Done = true;
}

void MoveHot(TLevel& level, int step) {
  const int n = int(level.Items.size());
  int i = level.Hot;
  for (int k = 0; k < n; ++k) {
    i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
    if (Selectable(level.Items[std::size_t(i)])) {
      SetHot(level, i);
      return;
    }
  }
}

void HandleKey(WPARAM key) {
  const std::size_t depth = gLoop->Levels.size() - 1;
  TLevel& level = *gLoop->Levels[depth];
  switch (key) {
    case VK_ESCAPE:
      if (depth == 0)
        gLoop->Done = true;
      else
        CloseLevelsAbove(depth);
      return;
    case VK_UP: MoveHot(level, -1); return;
    case VK_DOWN: MoveHot(level, 1); return;
    case VK_LEFT:
      if (depth > 0) CloseLevelsAbove(depth);
      return;
    case VK_RIGHT: OpenSubmenu(depth); return;
    case VK_RETURN:
    case VK_SPACE:
      if (level.Hot < 0) return;
      if (level.Items[std::size_t(level.Hot)]->GetCount() > 0)
        OpenSubmenu(depth);
      else
        Choose(level.Items[std::size_t(level.Hot)]);
      return;
    default: break;
  }
  // An accelerator: the only item with it is chosen (or opened); several take turns.
  std::vector<int> matches;
  for (std::size_t i = 0; i < level.Items.size(); ++i)
    if (Selectable(level.Items[i]) && IsAccel(Word(key), level.Items[i]->GetCaption())) matches.push_back(int(i));
  if (matches.empty()) return;
  if (matches.size() == 1) {
    SetHot(level, matches[0]);
    if (level.Items[std::size_t(matches[0])]->GetCount() > 0)
      OpenSubmenu(depth);
    else
      Choose(level.Items[std::size_t(matches[0])]);
    return;
  }
  auto next = std::upper_bound(matches.begin(), matches.end(), level.Hot);
  SetHot(level, next == matches.end() ? matches[0] : *next);
}

void HandleMouse(const MSG& msg) {
  POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
  ClientToScreen(msg.hwnd, &p);
  std::size_t depth = 0;
  int index = -1;
  const bool inside = HitTest(p, depth, index);
  switch (msg.message) {
    case WM_MOUSEMOVE:
      if (!inside) return;
      SetHot(*gLoop->Levels[depth], index);
      if (index >= 0) {
        TMenuItem* item = gLoop->Levels[depth]->Items[std::size_t(index)];
        if (item->GetCount() > 0)
          OpenSubmenu(depth);
        else
          CloseLevelsAbove(depth + 1);
      }
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (!inside) gLoop->Done = true;
      return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (inside && index >= 0) Choose(gLoop->Levels[depth]->Items[std::size_t(index)]);
      return;
    default: return;
  }
}

}  // namespace

void TPopupMenu::DoPopup(TObject* sender) {
  if (FOnPopup) FOnPopup(sender);
}

void TPopupMenu::Popup(Integer x, Integer y) {
  if (gLoop) return;  // one menu loop at a time
  FPopupPoint = {x, y};
  FChosen = nullptr;
  DoPopup(this);
  RegisterPopupClass();
  TLoop loop;
  loop.Menu = this;
  loop.Font = MenuFont();
  gLoop = &loop;
  TMenuItem* chosen = nullptr;
  try {
    if (OpenLevel(GetItems(), {x, y}, FAlignment, -1)) {
      HWND capture = loop.Levels[0]->Window;
      SetCapture(capture);
      while (!loop.Done) {
        MSG msg;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
          PostQuitMessage(int(msg.wParam));
          break;
        }
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
          HandleMouse(msg);
        } else if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
          // Alt and F10 leave the menu; letters and digits arrive as their keys (accelerators).
          if (msg.wParam == WPARAM(VK_MENU) || msg.wParam == WPARAM(VK_F10))
            loop.Done = true;
          else
            HandleKey(msg.wParam);
        } else if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR || msg.message == WM_KEYUP ||
                   msg.message == WM_SYSKEYUP) {
          // Eaten: the menu owns the keyboard while it is open.
        } else {
          TranslateMessage(&msg);
          DispatchMessage(&msg);
        }
        if (!loop.Done && GetCapture() != capture) loop.Done = true;
      }
    }
    chosen = loop.Chosen;
  } catch (...) {
    if (GetCapture()) ReleaseCapture();
    CloseLevelsAbove(0);
    DeleteObject(loop.Font);
    gLoop = nullptr;
    throw;
  }
  if (GetCapture() && !loop.Levels.empty() && GetCapture() == loop.Levels[0]->Window) ReleaseCapture();
  CloseLevelsAbove(0);
  DeleteObject(loop.Font);
  gLoop = nullptr;
  FChosen = chosen;
  if (chosen) chosen->Click();
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FPopupComponent) FPopupComponent = nullptr;
}

// ---- Form descriptions ------------------------------------------------------------------------
// A menu's items are its children in a description; shortcuts are written as numbers.

namespace {

const orv::EnumNames<TPopupAlignment> kPopupAlignmentNames("TPopupAlignment", {"paLeft", "paRight", "paCenter"});
const orv::EnumNames<TTrackButton> kTrackButtonNames("TTrackButton", {"tbRightButton", "tbLeftButton"});

}  // namespace

ORV_PUBLISH(TMenuItem) {
  using T = TMenuItem;
  p.Property("Action", &T::GetAction, &T::SetAction);
  p.Property("AutoCheck", &T::GetAutoCheck, &T::SetAutoCheck).Default(false);
  p.Property("Caption", &T::GetCaption, &T::SetCaption);
  p.Property("Checked", &T::GetChecked, &T::SetChecked).Default(false);
  p.Property("Default", &T::GetDefault, &T::SetDefault).Default(false);
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled).Default(true);
  p.Property("GroupIndex", &T::GetGroupIndex, &T::SetGroupIndex).Default(Byte(0));
  p.Property("Hint", &T::GetHint, &T::SetHint);
  p.Property("ImageIndex", &T::GetImageIndex, &T::SetImageIndex).Default(-1);
  p.Property("RadioItem", &T::GetRadioItem, &T::SetRadioItem).Default(false);
  p.Property("ShortCut", &T::GetShortCut, &T::SetShortCut).Default(TShortCut(scNone));
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Default(true);
  p.Property("OnClick", &T::GetOnClick, &T::SetOnClick);
}

ORV_PUBLISH(TMenu) {
  using T = TMenu;
  p.Property("Images", &T::GetImages, &T::SetImages);
}

ORV_PUBLISH(TPopupMenu) {
  using T = TPopupMenu;
  p.Property("Alignment", &T::GetAlignment, &T::SetAlignment).Default(paLeft);
  p.Property("AutoPopup", &T::GetAutoPopup, &T::SetAutoPopup).Default(true);
  p.Property("TrackButton", &T::GetTrackButton, &T::SetTrackButton).Default(tbRightButton);
  p.Property("OnPopup", &T::GetOnPopup, &T::SetOnPopup);
}
