// Key tips of the bars: the wait after Alt, collecting and numbering the key tips of a bar
// window's elements, their windows, and the keys that type them.

#include "components/bars/dxBarAccessibility.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <map>
#include <string>

#include "components/bars/dxBarEdit.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxControls.h"
#include "platform/controls/Menus.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Exceptions.h"
#include "platform/windowing/Messages.h"
#include "platform/windowing/User.h"

namespace {

TdxBarKeyTipWindowsManagerProvider gKeyTipProvider = nullptr;

// Upper case of a Windows-1251 character.
char UpperAnsi(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return char(u - 32);
  if (u >= 0xE0) return char(u - 32);
  if (u == 0xB8) return char(0xA8);
  return c;
}

AnsiString UpperText(const AnsiString& text) {
  AnsiString result = text;
  for (char& c : result) c = UpperAnsi(c);
  return result;
}

Boolean StartsWith(const AnsiString& text, const AnsiString& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// The character a key types into a key tip (0 for keys that type none).
char KeyTipChar(Word key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return char(key);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return char('0' + (key - VK_NUMPAD0));
  return 0;
}

TCustomdxBarControl* MainMenuWindow(TdxBarManager* manager) {
  TdxBar* bar = manager ? manager->GetMainMenuBar() : nullptr;
  return bar ? bar->GetControl() : nullptr;
}

// ---- The services the keyboard hook offers (chained to the bar windows' own)

void (*gPreviousStartNavigation)(TdxBarManager*) = nullptr;
void (*gPreviousEndNavigation)() = nullptr;

void KeyTipsStartNavigation(TdxBarManager* manager) {
  if (gPreviousStartNavigation) gPreviousStartNavigation(manager);
  // Alt came up alone: the key tips show at once.
  GetBarNavigationController()->EndKeyTipsWait(true);
}

void KeyTipsEndNavigation() {
  if (gPreviousEndNavigation) gPreviousEndNavigation();
  GetBarNavigationController()->HideKeyTips();
}

void KeyTipsMenuKey(TdxBarManager* manager, Boolean menuKeyDown) {
  TdxBarNavigationController* controller = GetBarNavigationController();
  if (!menuKeyDown) {
    controller->EndKeyTipsWait(false);
    return;
  }
  if (controller->IsShowingKeyTips() || !gKeyTipProvider || !gKeyTipProvider(manager)) return;
  if (!MainMenuWindow(manager)) return;
  controller->BeginKeyTipsWait(manager);
}

Boolean KeyTipsWantsKey(WPARAM key, TShiftState shift) { return GetBarNavigationController()->WantsKey(Word(key), shift); }
void KeyTipsProcessKey(WPARAM key, TShiftState shift) { GetBarNavigationController()->ProcessKey(Word(key), shift); }

}  // namespace

// ==== The accessibility helper tree =============================================================

namespace {

// The helpers made so far, by owner, each with a link that tells whether its owner is still alive.
struct THelperEntry {
  TdxBarAccessibilityHelper* Helper;
  TcxObjectLink* OwnerLink;
};
std::map<TObject*, THelperEntry>& Helpers() {
  static auto* helpers = new std::map<TObject*, THelperEntry>();
  return *helpers;
}

void FreeHelper(THelperEntry& entry) {
  GetBarNavigationController()->ForgetHelper(entry.Helper);
  entry.Helper->DetachOwner();
  ReleaseObjectLink(entry.OwnerLink);
  entry.Helper->Free();
}

// Tells the registry when a component that owns a helper goes (dock sites and bar windows);
// item controls, which are no components, are found gone through their object links.
class TdxBarHelperOwnerWatcher : public TComponent {
  ORV_CLASS(TdxBarHelperOwnerWatcher, TComponent)
 public:
  explicit TdxBarHelperOwnerWatcher(TComponent* owner) : TComponent(owner) {}

 protected:
  void Notification(TComponent* component, TOperation operation) override;
};

TdxBarHelperOwnerWatcher* Watcher() {
  static auto* watcher = new TdxBarHelperOwnerWatcher(nullptr);
  return watcher;
}

void TdxBarHelperOwnerWatcher::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  auto& helpers = Helpers();
  auto found = helpers.find(component);
  if (found == helpers.end()) return;
  THelperEntry entry = found->second;
  helpers.erase(found);
  FreeHelper(entry);
}

// Frees the helpers whose owners are gone (an owner's address may be taken by a new object).
void PurgeHelpers() {
  auto& helpers = Helpers();
  for (auto it = helpers.begin(); it != helpers.end();) {
    if (it->second.OwnerLink->Ref) {
      ++it;
      continue;
    }
    FreeHelper(it->second);
    it = helpers.erase(it);
  }
}

TRect ScreenRectOf(HWND window, const TRect& client) {
  POINT a{client.Left, client.Top}, b{client.Right, client.Bottom};
  ClientToScreen(window, &a);
  ClientToScreen(window, &b);
  return TRect{a.X, a.Y, b.X, b.Y};
}

TRect VisibleWindowRect(TWinControl* control) {
  if (!control || !control->HandleAllocated() || !IsWindowVisible(control->GetHandle())) return TRect{};
  RECT r{};
  GetWindowRect(control->GetHandle(), &r);
  return TRect{r.Left, r.Top, r.Right, r.Bottom};
}

Integer WindowState(TWinControl* control) {
  return control && control->HandleAllocated() && IsWindowVisible(control->GetHandle()) ? 0
                                                                                          : Integer(STATE_SYSTEM_INVISIBLE);
}

}  // namespace

TdxBarAccessibilityHelper* GetBarAccessibilityHelper(TObject* owner) {
  if (!owner) return nullptr;
  PurgeHelpers();
  auto& helpers = Helpers();
  auto found = helpers.find(owner);
  if (found != helpers.end()) return found->second.Helper;
  TdxBarAccessibilityHelper* helper = nullptr;
  if (dynamic_cast<TdxDockControl*>(owner))
    helper = new TdxDockControlAccessibilityHelper(owner);
  else if (dynamic_cast<TdxBarSubMenuControl*>(owner))
    helper = new TdxBarSubMenuControlAccessibilityHelper(owner);
  else if (dynamic_cast<TdxBarControl*>(owner))
    helper = new TdxBarControlAccessibilityHelper(owner);
  else if (dynamic_cast<TCustomdxBarControl*>(owner))
    helper = new TCustomdxBarControlAccessibilityHelper(owner);
  else if (dynamic_cast<TdxBarItemControl*>(owner))
    helper = new TdxBarItemControlAccessibilityHelper(owner);
  if (!helper) return nullptr;
  helpers[owner] = THelperEntry{helper, CreateObjectLink(owner)};
  if (auto* component = dynamic_cast<TComponent*>(owner)) component->FreeNotification(Watcher());
  return helper;
}

// ---- Base

TdxBarAccessibilityHelper::~TdxBarAccessibilityHelper() { InvalidateObjectLinks(this); }

TdxBarManager* TdxBarAccessibilityHelper::GetOwnerManager() { throw EdxException(AnsiString()); }

AnsiString TdxBarAccessibilityHelper::GetKeyTipText() {
  AnsiString text = GetAssignedKeyTip();
  if (text.empty()) text = GetDefaultKeyTipText();
  return text.substr(0, 3);
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::GetBarParent() {
  return dynamic_cast<TdxBarAccessibilityHelper*>(GetParentHelper());
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::GetKeyTipParent() { return GetBarParent(); }

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::GetNavigationChild(Integer index) {
  return dynamic_cast<TdxBarAccessibilityHelper*>(GetChildHelper(index));
}

void TdxBarAccessibilityHelper::CollectChildKeyTips(std::vector<TdxBarAccessibilityHelper*>& list) {
  if (!IsVisible()) return;
  for (Integer i = 0; i < GetNavigationChildCount(); ++i) {
    TdxBarAccessibilityHelper* child = GetNavigationChild(i);
    if (!child) continue;
    if (child->CanBeSelected())
      list.push_back(child);
    else
      child->CollectChildKeyTips(list);
  }
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::FindFirstSelectable() {
  if (!IsVisible()) return nullptr;
  if (CanBeSelected()) return this;
  for (Integer i = 0; i < GetNavigationChildCount(); ++i)
    if (TdxBarAccessibilityHelper* child = GetNavigationChild(i))
      if (TdxBarAccessibilityHelper* found = child->FindFirstSelectable()) return found;
  return nullptr;
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::FindSelectableInSubtree(Boolean backward) {
  const Integer count = GetNavigationChildCount();
  for (Integer k = 0; k < count; ++k) {
    TdxBarAccessibilityHelper* child = GetNavigationChild(backward ? count - 1 - k : k);
    if (!child || !child->IsVisible()) continue;
    if (child->CanBeSelected()) return child;
    if (TdxBarAccessibilityHelper* found = child->FindSelectableInSubtree(backward)) return found;
  }
  return nullptr;
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::FindNextSelectable(Integer index, Boolean backward) {
  const Integer count = GetNavigationChildCount();
  for (Integer i = backward ? index - 1 : index + 1; i >= 0 && i < count; i += backward ? -1 : 1) {
    TdxBarAccessibilityHelper* child = GetNavigationChild(i);
    if (!child || !child->IsVisible()) continue;
    if (child->CanBeSelected()) return child;
    if (TdxBarAccessibilityHelper* found = child->FindSelectableInSubtree(backward)) return found;
  }
  // The end of this level: on in the parent after this one, or round from the root's far end.
  if (TdxBarAccessibilityHelper* parent = GetBarParent())
    return parent->FindNextSelectable(parent->GetNavigationChildIndex(this), backward);
  return FindSelectableInSubtree(backward);
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::FindNextForTab(Boolean backward) {
  TdxBarAccessibilityHelper* parent = GetBarParent();
  if (!parent) return FindSelectableInSubtree(backward);
  return parent->FindNextSelectable(parent->GetNavigationChildIndex(this), backward);
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::GetRootHelper() {
  TdxBarAccessibilityHelper* helper = this;
  while (TdxBarAccessibilityHelper* parent = helper->GetBarParent()) helper = parent;
  return helper;
}

namespace {

TRect HelperScreenRect(TdxBarAccessibilityHelper* helper) {
  TRect rect{};
  helper->QueryScreenRect(0, rect);
  return rect;
}

// Whether `candidate` lies in the direction from `source` and overlaps it across the direction.
Boolean LiesInDirection(const TRect& source, const TRect& candidate, Integer direction) {
  switch (direction) {
    case 0:
    case 2:
      if (candidate.Left == source.Left && candidate.Right == source.Right) return false;
      return candidate.Top < source.Bottom && candidate.Bottom > source.Top;
    case 1:
      return candidate.Bottom <= source.Top && candidate.Left < source.Right && candidate.Right > source.Left;
    case 3:
      return candidate.Top >= source.Bottom && candidate.Left < source.Right && candidate.Right > source.Left;
    default:
      return false;
  }
}

// The candidate nearest to `source` in the direction: the smallest gap along it, ties by the
// smallest angle between the centres and the direction. With `wrap`, left and right search
// again from the far opposite end when nothing lies that way.
TdxBarAccessibilityHelper* FindNearestInDirection(TRect source, const std::vector<TdxBarAccessibilityHelper*>& candidates,
                                                  Integer direction, Boolean wrap) {
  if (direction < 0 || direction > 3) return nullptr;
  static const double kDirectionAngle[4] = {180, 270, 0, 90};
  for (int pass = 0; pass < 2; ++pass) {
    TdxBarAccessibilityHelper* best = nullptr;
    long long bestGap = 0;
    double bestAngle = 0;
    const double cx = (double(source.Left) + source.Right) / 2, cy = (double(source.Top) + source.Bottom) / 2;
    for (TdxBarAccessibilityHelper* candidate : candidates) {
      const TRect r = HelperScreenRect(candidate);
      long long gap = 0;
      switch (direction) {
        case 0: gap = (long long)source.Left - r.Right; break;
        case 1: gap = (long long)source.Top - r.Bottom; break;
        case 2: gap = (long long)r.Left - source.Right; break;
        default: gap = (long long)r.Top - source.Bottom; break;
      }
      if (gap < 0) continue;
      double angle = std::atan2((double(r.Top) + r.Bottom) / 2 - cy, (double(r.Left) + r.Right) / 2 - cx) * 180 / M_PI;
      if (angle < 0) angle += 360;
      angle = std::fabs(angle - kDirectionAngle[direction]);
      if (angle > 180) angle = 360 - angle;
      if (!best || gap < bestGap || (gap == bestGap && angle < bestAngle)) {
        best = candidate;
        bestGap = gap;
        bestAngle = angle;
      }
    }
    if (best || !wrap || (direction != 0 && direction != 2)) return best;
    const Integer far = 1073741823;
    const Integer width = source.Right - source.Left;
    source.Left = direction == 2 ? -far : far;
    source.Right = source.Left + width;
  }
  return nullptr;
}

}  // namespace

void TdxBarAccessibilityHelper::CollectNavigationCandidates(TdxBarAccessibilityHelper* exclude, const TRect& source,
                                                            Integer direction,
                                                            std::vector<TdxBarAccessibilityHelper*>& list) {
  if (!IsVisible()) return;
  if (this != exclude && CanBeSelected() && LiesInDirection(source, HelperScreenRect(this), direction))
    list.push_back(this);
  for (Integer i = 0; i < GetNavigationChildCount(); ++i)
    if (TdxBarAccessibilityHelper* child = GetNavigationChild(i))
      child->CollectNavigationCandidates(exclude, source, direction, list);
}

TdxBarAccessibilityHelper* TdxBarAccessibilityHelper::FindNextInDirection(Integer direction) {
  const TRect source = HelperScreenRect(this);
  std::vector<TdxBarAccessibilityHelper*> candidates;
  GetRootHelper()->CollectNavigationCandidates(this, source, direction, candidates);
  return FindNearestInDirection(source, candidates, direction, true);
}

void TdxBarAccessibilityHelper::MakeSelected(Boolean setFocus) {
  GetBarNavigationController()->SetSelection(this, GetBarParent());
}

void TdxBarAccessibilityHelper::ClearSelected(TdxBarAccessibilityHelper* next) {
  GetBarNavigationController()->SetSelection(nullptr, nullptr);
}

// ---- Dock sites

TdxDockControl* TdxDockControlAccessibilityHelper::GetDockControl() const {
  return GetOwnerObjectLive() ? static_cast<TdxDockControl*>(GetOwnerObject()) : nullptr;
}

TdxBarManager* TdxDockControlAccessibilityHelper::GetOwnerManager() {
  TdxDockControl* dock = GetDockControl();
  return dock ? dock->GetBarManager() : nullptr;
}

TcxAccessibilityHelper* TdxDockControlAccessibilityHelper::ChildHelperAt(Integer index) {
  TdxDockControl* dock = GetDockControl();
  if (!dock || index < 0) return nullptr;
  for (Integer r = 0; r < dock->GetRowCount(); ++r) {
    TdxDockRow* row = dock->GetRow(r);
    if (index < row->GetColCount()) return GetBarAccessibilityHelper(row->GetCol(index)->GetBarControl());
    index -= row->GetColCount();
  }
  return nullptr;
}

Integer TdxDockControlAccessibilityHelper::ChildCount() {
  TdxDockControl* dock = GetDockControl();
  Integer count = 0;
  for (Integer r = 0; dock && r < dock->GetRowCount(); ++r) count += dock->GetRow(r)->GetColCount();
  return count;
}

Integer TdxDockControlAccessibilityHelper::IndexOfChild(TcxAccessibilityHelper* child) {
  TdxDockControl* dock = GetDockControl();
  Integer index = 0;
  for (Integer r = 0; dock && r < dock->GetRowCount(); ++r) {
    TdxDockRow* row = dock->GetRow(r);
    for (Integer c = 0; c < row->GetColCount(); ++c, ++index)
      if (child && child->GetOwnerObject() == row->GetCol(c)->GetBarControl()) return index;
  }
  return -1;
}

HWND TdxDockControlAccessibilityHelper::OwnerWindow() {
  TdxDockControl* dock = GetDockControl();
  return dock && dock->HandleAllocated() ? dock->GetHandle() : nullptr;
}

void TdxDockControlAccessibilityHelper::QueryScreenRect(Integer index, TRect& rect) {
  rect = VisibleWindowRect(GetDockControl());
}

Integer TdxDockControlAccessibilityHelper::QueryState(Integer index) { return WindowState(GetDockControl()); }

// ---- Bar windows

TCustomdxBarControl* TCustomdxBarControlAccessibilityHelper::GetBarWindow() const {
  return GetOwnerObjectLive() ? static_cast<TCustomdxBarControl*>(GetOwnerObject()) : nullptr;
}

TdxBarManager* TCustomdxBarControlAccessibilityHelper::GetOwnerManager() {
  TCustomdxBarControl* window = GetBarWindow();
  return window ? window->GetOwnerBarManager() : nullptr;
}

Boolean TCustomdxBarControlAccessibilityHelper::AllowsChildNavigation(Word key) {
  TCustomdxBarControl* window = GetBarWindow();
  auto* edit = window ? dynamic_cast<TdxBarWinControl*>(window->GetSelectedItemControl()) : nullptr;
  return !(edit && edit->GetFocused());
}

TcxAccessibilityHelper* TCustomdxBarControlAccessibilityHelper::ChildHelperAt(Integer index) {
  TCustomdxBarControl* window = GetBarWindow();
  if (!window || index < 0 || index >= window->GetViewInfoCount()) return nullptr;
  return GetBarAccessibilityHelper(window->GetViewInfoControl(index));
}

Integer TCustomdxBarControlAccessibilityHelper::ChildCount() {
  TCustomdxBarControl* window = GetBarWindow();
  return window ? window->GetViewInfoCount() : 0;
}

Integer TCustomdxBarControlAccessibilityHelper::IndexOfChild(TcxAccessibilityHelper* child) {
  TCustomdxBarControl* window = GetBarWindow();
  for (Integer i = 0; window && child && i < window->GetViewInfoCount(); ++i)
    if (window->GetViewInfoControl(i) == child->GetOwnerObject()) return i;
  return -1;
}

HWND TCustomdxBarControlAccessibilityHelper::OwnerWindow() {
  TCustomdxBarControl* window = GetBarWindow();
  return window && window->HandleAllocated() ? window->GetHandle() : nullptr;
}

void TCustomdxBarControlAccessibilityHelper::QueryScreenRect(Integer index, TRect& rect) {
  rect = VisibleWindowRect(GetBarWindow());
}

Integer TCustomdxBarControlAccessibilityHelper::QueryState(Integer index) { return WindowState(GetBarWindow()); }

TdxBarAccessibilityHelper* TCustomdxBarControlAccessibilityHelper::FindNextItemInDirection(TdxBarAccessibilityHelper* item,
                                                                                         Integer direction) {
  if (!item) return nullptr;
  const TRect source = HelperScreenRect(item);
  std::vector<TdxBarAccessibilityHelper*> candidates;
  CollectNavigationCandidates(item, source, direction, candidates);
  return FindNearestInDirection(source, candidates, direction, false);
}

void TCustomdxBarControlAccessibilityHelper::DropItemSelection() {
  TCustomdxBarControl* window = GetBarWindow();
  if (!window) return;
  if (window->IsActive())
    window->Deactivate();
  else
    window->SetSelectedItemControl(nullptr);
}

TdxBarAccessibilityHelper* TdxBarControlAccessibilityHelper::FindNextItemInDirection(TdxBarAccessibilityHelper* item,
                                                                                   Integer direction) {
  TCustomdxBarControl* window = GetBarWindow();
  if (!window || !item) return nullptr;
  if (direction == 1 || direction == 3) return item->TdxBarAccessibilityHelper::FindNextInDirection(direction);
  if (direction != 0 && direction != 2) return nullptr;
  const Integer count = window->GetViewInfoCount();
  Integer index = -1;
  for (Integer i = 0; i < count; ++i)
    if (window->GetViewInfoControl(i) == item->GetOwnerObject()) index = i;
  if (index < 0) return nullptr;
  for (Integer step = 1; step < count; ++step) {
    TdxBarItemControl* control = window->GetViewInfoControl((index + (direction == 2 ? step : count - step)) % count);
    TdxBarAccessibilityHelper* helper = GetBarAccessibilityHelper(control);
    if (helper && helper->CanBeSelected() && control->IsEnabled()) return helper;
  }
  return nullptr;
}

void TdxBarControlAccessibilityHelper::MakeSelected(Boolean setFocus) {
  inherited::MakeSelected(setFocus);
  if (TCustomdxBarControl* window = GetBarWindow()) window->ActivateWithItem(nullptr);
}

void TdxBarControlAccessibilityHelper::ClearSelected(TdxBarAccessibilityHelper* next) {
  inherited::ClearSelected(next);
  if (TCustomdxBarControl* window = GetBarWindow()) window->Close();
}

TcxAccessibilityHelper* TdxBarControlAccessibilityHelper::GetParentHelper() {
  auto* toolbar = dynamic_cast<TdxBarControl*>(GetBarWindow());
  TdxDockControl* dock = toolbar && toolbar->GetDockingStyle() != dsNone ? toolbar->GetDockControl() : nullptr;
  return dock ? GetBarAccessibilityHelper(dock) : nullptr;
}

TdxBarItemControl* TdxBarSubMenuControlAccessibilityHelper::GetNextItem(TdxBarItemControl* control, Boolean forward) {
  TCustomdxBarControl* menu = GetBarWindow();
  if (!menu || menu->GetViewInfoCount() == 0) return nullptr;
  const Integer count = menu->GetViewInfoCount();
  Integer index = -1;
  for (Integer i = 0; i < count; ++i)
    if (menu->GetViewInfoControl(i) == control) index = i;
  for (Integer step = 0; step < count; ++step) {
    index = index < 0 ? 0 : (index + (forward ? 1 : count - 1)) % count;
    TdxBarItemControl* next = menu->GetViewInfoControl(index);
    TdxBarAccessibilityHelper* helper = GetBarAccessibilityHelper(next);
    if (helper && helper->CanBeSelected() && next->IsEnabled()) return next;
  }
  return nullptr;
}

void TdxBarSubMenuControlAccessibilityHelper::MoveVertically(Boolean up, Boolean byTab) {
  TCustomdxBarControl* menu = GetBarWindow();
  if (!menu) return;
  TdxBarItemControl* selected = menu->GetSelectedItemControl();
  TdxBarItemControl* next = GetNextItem(selected, !up);
  if (!next || next == selected) return;
  GetBarNavigationController()->MoveSelection(byTab, GetBarAccessibilityHelper(next),
                                              selected ? GetBarAccessibilityHelper(selected) : nullptr);
}

TdxBarAccessibilityHelper* TdxBarSubMenuControlAccessibilityHelper::GetKeyTipParent() {
  auto* menu = dynamic_cast<TdxBarSubMenuControl*>(GetBarWindow());
  TdxBarItemControl* owner = menu ? menu->GetSubItemControl() : nullptr;
  return owner ? GetBarAccessibilityHelper(owner) : nullptr;
}

// ---- Item controls

TdxBarItemControl* TdxBarItemControlAccessibilityHelper::GetItemControl() const {
  return GetOwnerObjectLive() ? static_cast<TdxBarItemControl*>(GetOwnerObject()) : nullptr;
}

TdxBarManager* TdxBarItemControlAccessibilityHelper::GetOwnerManager() {
  TdxBarItemControl* control = GetItemControl();
  return control ? control->GetBarManager() : nullptr;
}

TcxAccessibilityHelper* TdxBarItemControlAccessibilityHelper::GetParentHelper() {
  TdxBarItemControl* control = GetItemControl();
  return control ? GetBarAccessibilityHelper(control->GetParent()) : nullptr;
}

HWND TdxBarItemControlAccessibilityHelper::OwnerWindow() {
  TcxAccessibilityHelper* parent = GetParentHelper();
  return parent ? parent->GetOwnerWindowHandle() : nullptr;
}

void TdxBarItemControlAccessibilityHelper::QueryScreenRect(Integer index, TRect& rect) {
  rect = TRect{};
  TdxBarItemControl* control = GetItemControl();
  TCustomdxBarControl* window = control ? control->GetParent() : nullptr;
  if (!window || !window->HandleAllocated() || !IsVisible()) return;
  rect = ScreenRectOf(window->GetHandle(), control->GetItemRect());
}

Integer TdxBarItemControlAccessibilityHelper::QueryState(Integer index) {
  TdxBarItemControl* control = GetItemControl();
  auto* parent = dynamic_cast<TCustomdxBarControlAccessibilityHelper*>(GetParentHelper());
  if (!control || !parent || !parent->IsVisible() || parent->HidesItems() || RectIsEmpty(control->GetItemRect()))
    return Integer(STATE_SYSTEM_INVISIBLE);
  return 0;
}

Boolean TdxBarItemControlAccessibilityHelper::QuerySelectable() {
  TdxBarItemControl* control = GetItemControl();
  return control && IsVisible() && control->AcceptsSelection();
}

TdxBarAccessibilityHelper* TdxBarItemControlAccessibilityHelper::FindNextInDirection(Integer direction) {
  auto* parent = dynamic_cast<TCustomdxBarControlAccessibilityHelper*>(GetParentHelper());
  return parent ? parent->FindNextItemInDirection(this, direction) : nullptr;
}

void TdxBarItemControlAccessibilityHelper::MakeSelected(Boolean setFocus) {
  inherited::MakeSelected(setFocus);
  TdxBarItemControl* control = GetItemControl();
  TCustomdxBarControl* window = control ? control->GetParent() : nullptr;
  if (!window) return;
  orv::TObjectLinkGuard alive(control);
  if (window->IsActive())
    window->SetSelectedItemControl(control);
  else
    window->ActivateWithItem(control);
  if (!alive.Alive() || !setFocus) return;
  if (auto* edit = dynamic_cast<TdxBarWinControl*>(control))
    if (window->GetSelectedItemControl() == edit && !edit->GetFocused()) edit->SetFocused(true);
}

void TdxBarItemControlAccessibilityHelper::ClearSelected(TdxBarAccessibilityHelper* next) {
  inherited::ClearSelected(next);
  auto* parent = dynamic_cast<TCustomdxBarControlAccessibilityHelper*>(GetParentHelper());
  if (parent && !(next && next->GetBarParent() == parent)) parent->DropItemSelection();
}

AnsiString TdxBarItemControlAccessibilityHelper::GetAssignedKeyTip() {
  TdxBarItemControl* control = GetItemControl();
  TdxBarItem* item = control ? control->GetItem() : nullptr;
  return item ? item->GetKeyTip() : AnsiString();
}

AnsiString TdxBarItemControlAccessibilityHelper::GetDefaultKeyTipText() {
  TdxBarItemControl* control = GetItemControl();
  TdxBarItem* item = control ? control->GetItem() : nullptr;
  if (!item) return "Y";
  const TShortCut shortCut = item->GetShortCut();
  if (shortCut >= 0x4041 && shortCut <= 0x405A) {
    const AnsiString text = ShortCutToText(shortCut);
    if (!text.empty()) return AnsiString(1, text.back());
  }
  AnsiString caption = item->GetCaption();
  const Integer position = GetAcceleratorPosition(caption, false);
  if (position > 0 && size_t(position) <= caption.size()) return UpperText(AnsiString(1, caption[size_t(position) - 1]));
  return "Y";
}

// ==== Key-tip windows ==========================================================================

TdxBarKeyTipWindow::TdxBarKeyTipWindow(TComponent* owner) : TCustomControl(owner) { SetVisible(false); }

void TdxBarKeyTipWindow::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_POPUP;
  params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  params.WndParent = nullptr;
}

void TdxBarKeyTipWindow::ShowAt(const AnsiString& text, const TPoint& basePoint, Integer horzAlign,
                                Integer vertAlign, Boolean enabled) {
  FText = text;
  FTipEnabled = enabled;
  HandleNeeded();
  HDC dc = GetDC(GetHandle());
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE extent{};
  GetTextExtentPoint32(dc, text.c_str(), Integer(text.size()), &extent);
  SelectObject(dc, oldFont);
  ReleaseDC(GetHandle(), dc);
  const Integer height = extent.cy + 4;
  const Integer width = std::max<Integer>(extent.cx + 8, height);
  auto place = [](Integer at, Integer size, Integer align) {
    return align == 1 ? at - size : align == 2 ? at - size / 2 : at;
  };
  SetWindowPos(GetHandle(), HWND_TOPMOST, place(basePoint.X, width, horzAlign), place(basePoint.Y, height, vertAlign),
               width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate();
}

void TdxBarKeyTipWindow::Paint() {
  HDC dc = GetCanvas()->GetHandle();
  RECT r{0, 0, GetClientWidth(), GetClientHeight()};
  FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
  FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(FTipEnabled ? COLOR_INFOTEXT : COLOR_GRAYTEXT));
  DrawText(dc, FText.c_str(), Integer(FText.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, oldFont);
}

TdxBarKeyTipWindowsManager::~TdxBarKeyTipWindowsManager() {
  for (TdxBarKeyTipWindow* window : FWindows) window->Free();
}

TdxBarKeyTipWindow* TdxBarKeyTipWindowsManager::Add(const AnsiString& caption, const TPoint& basePoint,
                                                    Integer horzAlign, Integer vertAlign, Boolean enabled) {
  auto* window = new TdxBarKeyTipWindow(nullptr);
  FWindows.push_back(window);
  window->ShowAt(caption, basePoint, horzAlign, vertAlign, enabled);
  return window;
}

void TdxBarKeyTipWindowsManager::Delete(TdxBarKeyTipWindow* window) {
  auto it = std::find(FWindows.begin(), FWindows.end(), window);
  if (it == FWindows.end()) return;
  FWindows.erase(it);
  window->Free();
}

void SetBarKeyTipWindowsManagerProvider(TdxBarKeyTipWindowsManagerProvider provider) { gKeyTipProvider = provider; }

// ==== Key-tip data =============================================================================

TdxBarKeyTipData::TdxBarKeyTipData(TdxBarItemControl* control, const AnsiString& keyTip)
    : KeyTip(keyTip), FControlLink(CreateObjectLink(control)) {}

TdxBarKeyTipData::~TdxBarKeyTipData() { ReleaseObjectLink(FControlLink); }

TdxBarItemControl* TdxBarKeyTipData::GetControl() const {
  return FControlLink && FControlLink->Ref ? static_cast<TdxBarItemControl*>(FControlLink->Ref) : nullptr;
}

// ==== The controller ===========================================================================

TdxBarNavigationController* GetBarNavigationController() {
  static TdxBarNavigationController* controller = new TdxBarNavigationController();
  return controller;
}

void InstallBarKeyTipServices() {
  TdxBarHookServices& hooks = BarHookServices();
  if (hooks.MenuKey == KeyTipsMenuKey) return;
  hooks.MenuKey = KeyTipsMenuKey;
  if (hooks.StartNavigation != KeyTipsStartNavigation) {
    gPreviousStartNavigation = hooks.StartNavigation;
    hooks.StartNavigation = KeyTipsStartNavigation;
  }
  if (hooks.EndKeyboardNavigation != KeyTipsEndNavigation) {
    gPreviousEndNavigation = hooks.EndKeyboardNavigation;
    hooks.EndKeyboardNavigation = KeyTipsEndNavigation;
  }
  if (!hooks.NavigationWantsKey) hooks.NavigationWantsKey = KeyTipsWantsKey;
  if (!hooks.NavigationProcessKey) hooks.NavigationProcessKey = KeyTipsProcessKey;
}

TdxBarNavigationController::~TdxBarNavigationController() {
  ClearKeyTips();
  ReleaseObjectLink(FContainerLink);
  if (FWaitTimer) FWaitTimer->Free();
}

IdxBarKeyTipWindowsManager* TdxBarNavigationController::WindowsManager() const {
  return gKeyTipProvider && FContainerManager ? gKeyTipProvider(FContainerManager) : nullptr;
}

void TdxBarNavigationController::BeginKeyTipsWait(TdxBarManager* root) {
  if (!root) throw EdxException(AnsiString());
  if (FWaitingRoot && FWaitingRoot != root) throw EdxException(AnsiString());
  if (IsShowingKeyTips() || FWaitingRoot) return;
  FWaitingRoot = root;
  if (!FWaitTimer) {
    FWaitTimer = new TcxTimer(nullptr);
    FWaitTimer->SetEnabled(false);
    FWaitTimer->SetInterval(500);
    FWaitTimer->SetOnTimer(TNotifyEvent(this, &TdxBarNavigationController::WaitTimer));
  }
  FWaitTimer->SetEnabled(true);
}

void TdxBarNavigationController::WaitTimer(TObject* sender) {
  // Alt is still held (any other key ends the wait): the key tips show.
  EndKeyTipsWait(true);
}

void TdxBarNavigationController::EndKeyTipsWait(Boolean show) {
  if (!FWaitingRoot) return;
  if (FWaitTimer) FWaitTimer->SetEnabled(false);
  TdxBarManager* root = FWaitingRoot;
  FWaitingRoot = nullptr;
  if (show)
    if (TCustomdxBarControl* window = MainMenuWindow(root)) ShowKeyTips(window);
}

void TdxBarNavigationController::HideKeyTips() {
  EndKeyTipsWait(false);
  ShowKeyTips(nullptr);
}

void TdxBarNavigationController::ForgetObject(TCustomdxBarControl* control) {
  if (control && control == FContainer) HideKeyTips();
}

void TdxBarNavigationController::ForgetHelper(TdxBarAccessibilityHelper* helper) {
  if (!helper) return;
  if (FSelected == helper) FSelected = nullptr;
  if (FSelectedParent == helper) {
    FSelected = nullptr;
    FSelectedParent = nullptr;
  }
}

void TdxBarNavigationController::SetSelection(TdxBarAccessibilityHelper* object, TdxBarAccessibilityHelper* parent) {
  FSelected = object;
  FSelectedParent = parent;
}

void TdxBarNavigationController::MoveSelection(Boolean setFocus, TdxBarAccessibilityHelper* newObject,
                                               TdxBarAccessibilityHelper* oldObject) {
  if (!newObject) return;
  PurgeHelpers();  // a selected object whose owner went is forgotten first
  if (!oldObject) oldObject = FSelected;
  if (oldObject == newObject) return;
  // The old object lets go first, then the new one takes the selection.
  orv::TObjectLinkGuard newAlive(newObject);
  if (oldObject) oldObject->ClearSelected(newObject);
  if (newAlive.Alive()) newObject->MakeSelected(setFocus);
}

Boolean TdxBarNavigationController::NavigateByKey(Word key, TShiftState shift, TdxBarAccessibilityHelper* object,
                                                  TdxBarAccessibilityHelper* parent) {
  const Boolean tab = key == VK_TAB && !shift.Contains(ssCtrl);
  if (!tab && (key < VK_LEFT || key > VK_DOWN)) return false;
  if (!object && !parent) return true;
  TdxBarAccessibilityHelper* next = nullptr;
  if (!object)
    next = parent->FindFirstSelectable();
  else if (tab)
    next = object->FindNextForTab(shift.Contains(ssShift));
  else
    next = object->FindNextInDirection(Integer(key - VK_LEFT));
  if (next) MoveSelection(tab, next, object);
  return true;
}

void TdxBarNavigationController::ClearKeyTips() {
  IdxBarKeyTipWindowsManager* windows = WindowsManager();
  for (TdxBarKeyTipData* data : FKeyTips) {
    if (data->Window && windows) windows->Delete(data->Window);
    data->Free();
  }
  FKeyTips.clear();
}

void TdxBarNavigationController::ShowKeyTips(TCustomdxBarControl* container, const AnsiString& typed) {
  if (container != FContainer || (FContainerLink && !FContainerLink->Ref)) {
    ClearKeyTips();
    ReleaseObjectLink(FContainerLink);
    FContainerLink = nullptr;
    FContainer = container;
    FContainerManager = container ? container->GetOwnerBarManager() : nullptr;
    FTyped.clear();
    if (!container) return;
    FContainerLink = CreateObjectLink(container);
    FTyped = UpperText(typed);
    CollectKeyTips(container);
    RefreshKeyTipWindows();
    return;
  }
  if (container && UpperText(typed) != FTyped) {
    FTyped = UpperText(typed);
    RefreshKeyTipWindows();
  }
}

AnsiString TdxBarNavigationController::GetKeyTipText(TdxBarItemControl* control) {
  TdxBarAccessibilityHelper* helper = GetBarAccessibilityHelper(control);
  return helper ? UpperText(helper->GetKeyTipText()) : AnsiString();
}

void TdxBarNavigationController::MakeKeyTipsUnique(std::vector<AnsiString>& texts) {
  for (Boolean changed = true; changed;) {
    changed = false;
    for (size_t i = 0; i < texts.size(); ++i) {
      const AnsiString text = texts[i];
      std::vector<size_t> group;
      for (size_t j = 0; j < texts.size(); ++j)
        if (texts[j] == text) group.push_back(j);
      if (group.size() >= 2) {
        const size_t digits = std::to_string(group.size()).size();
        for (size_t k = 0; k < group.size(); ++k) {
          std::string number = std::to_string(k + 1);
          number.insert(0, digits - number.size(), '0');
          texts[group[k]] = text + AnsiString(number);
        }
        changed = true;
        continue;
      }
      // Another text starts with this one: typing it would stop short.
      for (size_t j = 0; j < texts.size(); ++j)
        if (j != i && texts[j].size() > text.size() && StartsWith(texts[j], text)) {
          texts[i] = text + "1";
          changed = true;
          break;
        }
    }
  }
}

void TdxBarNavigationController::CollectKeyTips(TCustomdxBarControl* container) {
  // The elements of the container's tree that can be selected, as its helper collects them.
  std::vector<TdxBarAccessibilityHelper*> elements;
  if (TdxBarAccessibilityHelper* helper = GetBarAccessibilityHelper(container)) helper->CollectChildKeyTips(elements);
  std::vector<TdxBarItemControl*> controls;
  std::vector<AnsiString> texts;
  for (TdxBarAccessibilityHelper* element : elements) {
    auto* control = dynamic_cast<TdxBarItemControl*>(element->GetOwnerObject());
    const AnsiString text = UpperText(element->GetKeyTipText());
    if (!control || text.empty()) continue;
    controls.push_back(control);
    texts.push_back(text);
  }
  MakeKeyTipsUnique(texts);
  const Boolean menu = dynamic_cast<TdxBarSubMenuControl*>(container) != nullptr;
  for (size_t i = 0; i < controls.size(); ++i) {
    auto* data = new TdxBarKeyTipData(controls[i], texts[i]);
    TRect r;
    container->GetItemControlRect(controls[i], r);
    POINT a{r.Left, r.Top}, b{r.Right, r.Bottom};
    if (container->HandleAllocated()) {
      ClientToScreen(container->GetHandle(), &a);
      ClientToScreen(container->GetHandle(), &b);
    }
    // Over the middle of a toolbar's element; over the glyph column of a menu's.
    const Integer x = menu ? a.X + (b.Y - a.Y) / 2 : (a.X + b.X) / 2;
    data->BasePoint = TPoint{x, (a.Y + b.Y) / 2};
    data->Enabled = controls[i]->IsEnabled();
    FKeyTips.push_back(data);
  }
}

void TdxBarNavigationController::RefreshKeyTipWindows() {
  IdxBarKeyTipWindowsManager* windows = WindowsManager();
  if (!windows) return;
  for (TdxBarKeyTipData* data : FKeyTips) {
    const Boolean show = data->Visible && StartsWith(data->KeyTip, FTyped);
    if (show && !data->Window)
      data->Window = windows->Add(data->KeyTip, data->BasePoint, data->HorzAlign, data->VertAlign, data->Enabled);
    else if (!show && data->Window) {
      windows->Delete(data->Window);
      data->Window = nullptr;
    }
  }
  windows->UpdateComplete();
}

TdxBarKeyTipData* TdxBarNavigationController::MatchKeyTipKey(Word key, Boolean& matched, AnsiString& typed) {
  matched = false;
  const char c = KeyTipChar(key);
  if (!c) return nullptr;
  typed = FTyped + AnsiString(1, c);
  for (TdxBarKeyTipData* data : FKeyTips) {
    if (!data->Visible || !StartsWith(data->KeyTip, typed)) continue;
    matched = true;
    return data->KeyTip == typed && data->Enabled ? data : nullptr;
  }
  return nullptr;
}

Boolean TdxBarNavigationController::WantsKey(Word key, TShiftState shift) {
  // Alt held with a letter is an accelerator, not a key tip (the key state the hook reads may
  // still hold the Alt whose release started the key tips: the key itself is asked).
  if (GetAsyncKeyState(VK_MENU) < 0 || shift.Contains(ssCtrl)) return false;
  if (!IsShowingKeyTips()) return false;
  if (!FContainerLink || !FContainerLink->Ref) {
    HideKeyTips();
    return false;
  }
  if (key == VK_ESCAPE) return true;
  // Every key that can type a key tip is taken (a wrong one only beeps).
  return KeyTipChar(key) != 0;
}

void TdxBarNavigationController::ProcessKey(Word key, TShiftState shift) {
  if (!IsShowingKeyTips()) return;
  TCustomdxBarControl* container = FContainer;
  if (key == VK_ESCAPE) {
    // Back to the key tips of the window that opened this menu, or out of the key tips.
    TCustomdxBarControl* parent = container->GetParentBarControl();
    HideKeyTips();
    orv::TObjectLinkGuard alive(parent);
    if (parent && container->HandleAllocated())
      SendMessage(container->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0);  // a menu closes itself
    else
      container->CloseByEscape();
    if (parent && alive.Alive() && TCustomdxBarControl::IsAlive(parent)) ShowKeyTips(parent);
    return;
  }
  Boolean matched = false;
  AnsiString typed;
  TdxBarKeyTipData* data = MatchKeyTipKey(key, matched, typed);
  if (data) {
    ExecuteKeyTip(data);
  } else if (matched) {
    ShowKeyTips(container, typed);
  } else {
    MessageBeep(0);
  }
}

void TdxBarNavigationController::ExecuteKeyTip(TdxBarKeyTipData* data) {
  TdxBarItemControl* control = data->GetControl();
  TCustomdxBarControl* window = control ? control->GetParent() : nullptr;
  HideKeyTips();
  if (!window || !control) return;
  orv::TObjectLinkGuard alive(window);
  const Boolean opensMenu = dynamic_cast<TdxBarSubItemControl*>(control) != nullptr;
  window->SelectAndClick(control, false);
  if (!opensMenu || !alive.Alive()) return;
  // A sub item opened its menu: the menu's key tips follow.
  if (auto* menu = dynamic_cast<TdxBarSubMenuControl*>(window->GetChildBarControl()))
    if (menu->HandleAllocated()) ShowKeyTips(menu);
}
