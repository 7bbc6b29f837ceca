// The page control and its tab sheets: each sheet is one page whose caption, image, highlighting,
// enabled state and tab visibility its tab mirrors; selecting a tab shows its page.
#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/pagecontrol/cxPC.h"
#include "components/pagecontrol/cxPCConsts.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/Forms.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

// ==== TcxPageControl ===========================================================================

TcxPageControl::TcxPageControl(TComponent* owner) : TcxCustomTabControl(owner) {}

void TcxPageControl::BeforeDestruction() {
  Destroying();
  for (TcxTabSheet* page : FPages) {
    page->FPageControl = nullptr;
    page->FTab = nullptr;
  }
  FPages.clear();
  FActivePage = nullptr;
  inherited::BeforeDestruction();
}

TcxPageControl::~TcxPageControl() = default;

TObject* TcxPageControl::GetActivePageObject() { return FActivePage; }

TObject* TcxPageControl::GetPageObject(Integer index) {
  return index >= 0 && index < GetPageCount() ? FPages[std::size_t(index)] : nullptr;
}

void TcxPageControl::CloseCurrent() {
  if (FActivePage) FActivePage->Free();
}

void TcxPageControl::ImagesChanged() {
  if (!FPageInserting)
    for (TcxTabSheet* page : FPages)
      if (page->FTab) page->FTab->SetImageIndex(page->FImageIndex);
  inherited::ImagesChanged();
}

Boolean TcxPageControl::CanChange(Integer newTabIndex) {
  if (!inherited::CanChange(newTabIndex)) return false;
  if (newTabIndex == -1) return true;
  return CanChangePage(static_cast<TcxTabSheet*>(GetPageObject(newTabIndex)));
}

Boolean TcxPageControl::CanChangePage(TcxTabSheet* newPage) {
  bool allow = true;
  if (!AreChangeEventsLocked() && !IsLoading() && FOnPageChanging) FOnPageChanging(this, newPage, allow);
  return allow;
}

void TcxPageControl::Change() {
  LockChangeEvents(true);
  try {
    SyncActivePage();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
  inherited::Change();
}

void TcxPageControl::SyncActivePage() {
  const Integer index = GetTabIndex();
  SetActivePage(index == -1 ? nullptr : static_cast<TcxTabSheet*>(GetPageObject(index)));
}

void TcxPageControl::RequestLayout() {
  inherited::RequestLayout();
  if (FActivePage && !IsDestroying()) FActivePage->Invalidate();
}

void TcxPageControl::Loaded() {
  inherited::Loaded();
  for (TcxTabSheet* page : FPages) page->UpdateTab();
  if (!IsDesigning() && FActivePage && !FActivePage->GetEnabled()) SetActivePage(nullptr);
}

Boolean TcxPageControl::CanFocusOnClickAt(Integer x, Integer y) {
  if (!inherited::CanFocusOnClickAt(x, y) || !FActivePage || !FActivePage->FTab) return false;
  const Integer v = FActivePage->FTab->GetVisibleIndex();
  return v != -1 && GetTabVisibleIndexAt(x, y) == v;
}

void TcxPageControl::ShowControl(TControl* control) {
  if (auto* sheet = dynamic_cast<TcxTabSheet*>(control); sheet && sheet->FPageControl == this) SetActivePage(sheet);
  inherited::ShowControl(control);
}

void TcxPageControl::SetChildOrder(TComponent* child, Integer order) {
  if (auto* sheet = dynamic_cast<TcxTabSheet*>(child)) sheet->SetPageIndex(order);
}

void TcxPageControl::GetChildren(TGetChildProc proc, TComponent* root) {
  for (TcxTabSheet* page : FPages) proc(page);
}

void TcxPageControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN: {
      inherited::Dispatch(message);
      // Dragging a docked page's tab drags its control out.
      if (!GetDockSite()) return;
      const TPoint p{Integer(short(LOWORD(message.LParam))), Integer(short(HIWORD(message.LParam)))};
      if (TControl* client = DockClientAt(p.X, p.Y)) client->BeginDrag(false);
      return;
    }
    case WM_LBUTTONDBLCLK: {
      inherited::Dispatch(message);
      if (!GetDockSite()) return;
      const TPoint p{Integer(short(LOWORD(message.LParam))), Integer(short(HIWORD(message.LParam)))};
      if (TControl* client = DockClientAt(p.X, p.Y)) client->ManualDock(nullptr);
      return;
    }
    case CM_DOCKNOTIFICATION: {
      auto* client = reinterpret_cast<TControl*>(message.WParam);
      const auto* rec = reinterpret_cast<const TDockNotifyRec*>(message.LParam);
      if (TcxTabSheet* page = client && rec ? PageOfControl(client) : nullptr) {
        if (rec->ClientMsg == WM_SETTEXT) {
          const char* text = reinterpret_cast<const char*>(rec->MsgLParam);
          AnsiString caption = text ? text : "";
          const std::size_t end = caption.find_first_of("\r\n");
          if (end != AnsiString::npos) caption.resize(end);
          page->SetCaption(caption);
        } else if (rec->ClientMsg == CM_VISIBLECHANGED) {
          page->SetTabVisible(rec->MsgWParam != 0);
        }
      }
      inherited::Dispatch(message);
      return;
    }
    case CM_UNDOCKCLIENT:
      message.Result = BeginUndock(reinterpret_cast<TWinControl*>(message.WParam),
                                   reinterpret_cast<TControl*>(message.LParam));
      return;
    default: inherited::Dispatch(message); return;
  }
}

// ---- Docking ----

TcxTabSheet* TcxPageControl::PageOfControl(TControl* control) const {
  auto* sheet = dynamic_cast<TcxTabSheet*>(control->GetParent());
  return sheet && sheet->FPageControl == this ? sheet : nullptr;
}

TControl* TcxPageControl::DockClientAt(Integer x, Integer y) {
  const Integer visibleIndex = GetTabVisibleIndexAt(x, y);
  if (visibleIndex < 0) return nullptr;
  const Integer index = GetVisibleTabList()->GetTabIndex(visibleIndex);
  if (index < 0 || index >= GetPageCount()) return nullptr;
  TcxTabSheet* page = GetPage(index);
  if (page->GetControlCount() == 0) return nullptr;
  TControl* child = page->GetControl(0);
  return child->GetHostDockSite() == this ? child : nullptr;
}

void TcxPageControl::CreateDockPage(TDragDockObject* dragDockObject) {
  TControl* control = dragDockObject->GetControl();
  if (TcxTabSheet* page = PageOfControl(control)) {
    page->SetPageIndex(GetPageCount() - 1);
    return;
  }
  auto* sheet = new TcxTabSheet(this);
  FNewDockSheet = sheet;
  try {
    if (auto* form = dynamic_cast<TCustomForm*>(control)) sheet->SetCaption(form->GetCaption());
    sheet->SetPageControl(this);
    control->Dock(this, dragDockObject->GetDockRect());
  } catch (...) {
    FNewDockSheet = nullptr;
    sheet->Free();
    throw;
  }
  FNewDockSheet = nullptr;
  sheet->SetTabVisible(control->GetVisible());
  if (control->GetVisible()) SetActivePage(sheet);
  control->SetAlign(alClient);
}

Boolean TcxPageControl::BeginUndock(TWinControl* newTarget, TControl* client) {
  if (TcxTabSheet* page = PageOfControl(client)) {
    FUndockingPage = page;
    client->SetAlign(alNone);
  }
  return true;
}

void TcxPageControl::DockOver(TDragDockObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  // The whole page control is where the control goes.
  const TPoint origin = GetParent() ? GetParent()->ClientToScreen(TPoint{GetLeft(), GetTop()}) : TPoint{GetLeft(), GetTop()};
  inherited::DockOver(source, x, y, state, accept);
  source->SetDockRect(Bounds(origin.X, origin.Y, GetWidth(), GetHeight()));
}

void TcxPageControl::DockDrop(TDragDockObject* source, Integer x, Integer y) {
  CreateDockPage(source);
  if (GetOnDockDrop()) GetOnDockDrop()(this, source, x, y);
}

void TcxPageControl::GetSiteInfo(TControl* client, TRect& influenceRect, TPoint mousePos, bool& canDock) {
  canDock = !PageOfControl(client);
  inherited::GetSiteInfo(client, influenceRect, mousePos, canDock);
}

bool TcxPageControl::DoUnDock(TWinControl* newTarget, TControl* client) {
  return inherited::DoUnDock(newTarget, client) && BeginUndock(newTarget, client);
}

void TcxPageControl::DoAddDockClient(TControl* client, const TRect& dockRect) {
  if (FNewDockSheet)
    client->SetParent(FNewDockSheet);
  else
    inherited::DoAddDockClient(client, dockRect);
}

void TcxPageControl::DoRemoveDockClient(TControl* client) {
  TcxTabSheet* page = FUndockingPage;
  if (!page || client->GetComponentState().Contains(csDestroying)) return;
  FUndockingPage = nullptr;
  TcxTabSheet* next = FindNextPage(page, true, true);
  if (next && next != page) SetActivePage(next);
  page->Free();
}

TcxTabSheet* TcxPageControl::FindNextPage(TcxTabSheet* page, Boolean goForward, Boolean checkTabVisible,
                                          Boolean wrap) {
  const Integer count = GetPageCount();
  if (count == 0) return nullptr;
  const auto it = std::find(FPages.begin(), FPages.end(), page);
  Integer index;
  if (it == FPages.end()) {
    index = goForward ? 0 : count - 1;
  } else {
    index = Integer(it - FPages.begin()) + (goForward ? 1 : -1);
    if (index < 0 || index >= count) {
      if (!wrap) return nullptr;
      index = index < 0 ? count - 1 : 0;
    }
  }
  for (Integer tried = 0; tried < count - 1 || (it == FPages.end() && tried < count); ++tried) {
    TcxTabSheet* candidate = FPages[std::size_t(index)];
    if (!checkTabVisible || (candidate->GetTabVisible() && candidate->GetEnabled())) return candidate;
    index += goForward ? 1 : -1;
    if (index < 0 || index >= count) {
      if (!wrap) return nullptr;
      index = index < 0 ? count - 1 : 0;
    }
  }
  return nullptr;
}

void TcxPageControl::SelectNextPage(Boolean goForward, Boolean wrap) {
  TcxTabSheet* page = FindNextPage(FActivePage, goForward, true, wrap);
  if (page && page != FActivePage) SetActivePage(page);
}

void TcxPageControl::InsertPage(TcxTabSheet* page) {
  FPageInserting = true;
  try {
    FPages.push_back(page);
    page->AttachToPageControl(this);
    GetTabs()->AddObject(page->GetCaption(), page);
    page->FTab = GetTabs()->GetTab(GetTabs()->GetCount() - 1);
    page->UpdateTab();
  } catch (...) {
    FPageInserting = false;
    throw;
  }
  FPageInserting = false;
}

void TcxPageControl::RemovePage(TcxTabSheet* page) {
  TcxTabSheet* next = FindNextPage(page, true, !IsDesigning(), false);
  if (!next) next = FindNextPage(page, false, !IsDesigning(), false);
  const auto it = std::find(FPages.begin(), FPages.end(), page);
  if (it != FPages.end()) {
    const Integer index = Integer(it - FPages.begin());
    FPages.erase(it);
    page->FTab = nullptr;
    if (!IsDestroying()) GetTabs()->Delete(index);
  }
  SetTabIndexDirect(-1);
  SetMainTabDirect(-1);
  if (page == FActivePage) FActivePage = nullptr;
  if (!IsDestroying()) SetActivePage(next == page ? nullptr : next);
  page->FPageControl = nullptr;
}

void TcxPageControl::MovePage(TcxTabSheet* page, Integer newIndex) {
  const auto it = std::find(FPages.begin(), FPages.end(), page);
  const Integer oldIndex = Integer(it - FPages.begin());
  FPages.erase(it);
  FPages.insert(FPages.begin() + newIndex, page);
  GetTabs()->Move(oldIndex, newIndex);
  page->FTab = GetTabs()->GetTab(newIndex);
  page->UpdateTab();
  LockChangeEvents(true);
  SetTabIndexDirect(-1);
  if (FActivePage && FActivePage->GetTabVisible()) SetTabIndex(FActivePage->GetPageIndex());
  LockChangeEvents(false);
}

void TcxPageControl::SetActivePage(TcxTabSheet* value) {
  if (FActivePageSetting) return;
  if (value && value->FPageControl != this) return;
  ChangeActivePage(value);
  if (value && value == FActivePage && value->FTab) {
    FActivePageSetting = true;
    LockChangeEvents(true);
    try {
      SetTabIndex(value->GetTabVisible() ? value->FTab->GetIndex() : -1);
    } catch (...) {
      LockChangeEvents(false);
      FActivePageSetting = false;
      throw;
    }
    LockChangeEvents(false);
    FActivePageSetting = false;
  }
}

void TcxPageControl::ChangeActivePage(TcxTabSheet* page) {
  if (page == FActivePage || !CanChangePage(page)) return;
  TCustomForm* form = GetParentForm(this);
  if (form && FActivePage && form->GetActiveControl() &&
      (form->GetActiveControl() == FActivePage || FActivePage->ContainsControl(form->GetActiveControl()))) {
    form->SetActiveControl(FActivePage);
    if (form->GetActiveControl() != FActivePage) {
      SetTabIndexDirect(FActivePage->FTab ? FActivePage->FTab->GetIndex() : -1);
      return;
    }
  }
  TWinControl* focusTarget = nullptr;
  if (page && form && form->GetActiveControl() == FActivePage && FActivePage) {
    if (page->GetEnabled() && GetVisible() && GetEnabled() && GetParent() && GetParent()->CanFocus())
      focusTarget = page;
    else
      focusTarget = this;
  }
  if (FActivePage) FActivePage->SetVisible(false);
  if (page) {
    page->BringToFront();
    page->SetVisible(true);
    page->Invalidate();
  }
  if (focusTarget && form) form->SetActiveControl(focusTarget);
  FActivePage = page;
  PageChanged();
  if (form && page && form->GetActiveControl() == page) page->SelectFirst();
}

// ==== TcxTabSheet ==============================================================================

TcxTabSheet::TcxTabSheet(TComponent* owner) : TCustomControl(owner) {
  SetAlign(alClient);
  TControlStyle style = GetControlStyle();
  style += TControlStyle{csAcceptsControls, csNoDesignVisible};
  SetControlStyle(style);
  SetVisible(false);
  SetTabStop(false);
}

void TcxTabSheet::BeforeDestruction() {
  Destroying();
  if (TcxPageControl* pageControl = FPageControl) {
    if (pageControl->FUndockingPage == this) pageControl->FUndockingPage = nullptr;
    // Out of the page control's children first: its relayout must not align a dying sheet.
    TCustomControl::SetParent(nullptr);
    pageControl->RemovePage(this);
  }
  inherited::BeforeDestruction();
}

TcxTabSheet::~TcxTabSheet() { InvalidateObjectLinks(this); }

void TcxTabSheet::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TcxTabSheet::SetParent(TWinControl* value) {
  if (value && !dynamic_cast<TcxPageControl*>(value)) throw EAbort("");
  if (value == FPageControl && value) {
    inherited::SetParent(value);
    return;
  }
  SetPageControl(static_cast<TcxPageControl*>(value));
}

void TcxTabSheet::AttachToPageControl(TcxPageControl* value) {
  FPageControl = value;
  inherited::SetParent(value);
}

void TcxTabSheet::SetPageControl(TcxPageControl* value) {
  if (FPageControl == value) return;
  if (FPageControl) FPageControl->RemovePage(this);
  if (!value) {
    inherited::SetParent(nullptr);
    return;
  }
  value->InsertPage(this);
  if (!value->IsLoading() && !value->GetActivePage() && FTabVisible) value->SetActivePage(this);
}

Integer TcxTabSheet::GetPageIndex() const {
  if (!FPageControl) return -1;
  const auto& pages = FPageControl->FPages;
  const auto it = std::find(pages.begin(), pages.end(), this);
  return it == pages.end() ? -1 : Integer(it - pages.begin());
}

void TcxTabSheet::SetPageIndex(Integer value) {
  if (!FPageControl) return;
  const Integer last = FPageControl->GetPageCount() - 1;
  if (value > last)
    throw EListError(Format(GetLocalizedResourceString(&scxPCPageIndexError), {value, last}));
  if (value < 0 || value == GetPageIndex()) return;
  FPageControl->MovePage(this, value);
}

void TcxTabSheet::UpdateTab() {
  if (!FTab || !FPageControl || FPageControl->IsLoading()) return;
  FTab->SetCaption(GetCaption());
  FTab->SetEnabled(GetEnabled());
  FTab->SetImageIndex(FImageIndex);
  FTab->SetHighlighted(FHighlighted);
  FTab->SetVisible(FTabVisible);
  if (FPageControl->GetActivePage() == this) {
    FPageControl->FActivePageSetting = true;
    FPageControl->LockChangeEvents(true);
    FPageControl->SetTabIndex(FTabVisible ? FTab->GetIndex() : -1);
    FPageControl->LockChangeEvents(false);
    FPageControl->FActivePageSetting = false;
  }
}

void TcxTabSheet::SetHighlighted(Boolean value) {
  if (FHighlighted == value) return;
  FHighlighted = value;
  UpdateTab();
}

void TcxTabSheet::SetImageIndex(Integer value) {
  if (FImageIndex == value) return;
  FImageIndex = value;
  UpdateTab();
}

void TcxTabSheet::SetTabVisible(Boolean value) {
  if (FTabVisible == value) return;
  FTabVisible = value;
  UpdateTab();
  if (value && FPageControl && FPageControl->GetPageCount() == 1 && !FPageControl->GetActivePage())
    FPageControl->SetActivePage(this);
}

void TcxTabSheet::DoHide() {
  if (FOnHide) FOnHide(this);
}

void TcxTabSheet::DoShow() {
  if (FOnShow) FOnShow(this);
}

void TcxTabSheet::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      if (FPageControl) {
        const HDC dc = reinterpret_cast<HDC>(message.WParam);
        POINT old;
        OffsetWindowOrgEx(dc, GetLeft(), GetTop(), &old);
        FPageControl->PaintToDC(dc);
        SetWindowOrgEx(dc, old.X, old.Y, nullptr);
        message.Result = 1;
        return;
      }
      break;
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
      inherited::Dispatch(message);
      if (FTab) FTab->Changed(tpcLayout);
      Invalidate();
      return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      inherited::Dispatch(message);
      UpdateTab();
      return;
    case CM_INVALIDATE:
      // The sheet and, when its page control redraws on resize, the children that show its
      // background. The page control is not told: it would invalidate its sheets again. A child
      // reporting its own invalidation (WParam 1) leaves its siblings alone: a child that reports
      // each time it is invalidated would go round with the sheet for ever.
      if (FPageControl && HandleAllocated()) {
        ::InvalidateRect(GetHandle(), nullptr, true);
        if (message.WParam == 0 && FPageControl->NeedsRedrawOnResize()) {
          for (Integer i = 0; i < GetControlCount(); ++i) {
            auto* child = dynamic_cast<TWinControl*>(GetControl(i));
            if (!child) continue;
            const TControlStyle style = child->GetControlStyle();
            if (!style.Contains(csOpaque) || style.Contains(csParentBackground)) child->Invalidate();
          }
        }
        return;
      }
      break;
    case CM_SHOWINGCHANGED:
      inherited::Dispatch(message);
      try {
        if (GetShowing())
          DoShow();
        else
          DoHide();
      } catch (Exception& e) {
        if (Application) Application->HandleException(this);
      }
      return;
    default:
      break;
  }
  inherited::Dispatch(message);
}

// ---- Published properties ----

ORV_PUBLISH(TcxPageControl) {
  using T = TcxPageControl;
  p.Property("ActivePage", &T::GetActivePage, &T::SetActivePage);
  p.Property("DockSite", &TWinControl::GetDockSite, &TWinControl::SetDockSite).Default(false);
  p.Property("OnPageChanging", &T::GetOnPageChanging, &T::SetOnPageChanging);
  // The dock site's events: a form description's handlers see controls docked and undocked.
  p.Property("OnDockDrop", &TWinControl::GetOnDockDrop, &TWinControl::SetOnDockDrop);
  p.Property("OnDockOver", &TWinControl::GetOnDockOver, &TWinControl::SetOnDockOver);
  p.Property("OnGetSiteInfo", &TWinControl::GetOnGetSiteInfo, &TWinControl::SetOnGetSiteInfo);
  p.Property("OnUnDock", &TWinControl::GetOnUnDock, &TWinControl::SetOnUnDock);
}

ORV_PUBLISH(TcxTabSheet) {
  using T = TcxTabSheet;
  const auto notStored = [](T*) { return false; };
  // The page control places and shows its pages: their bounds and visibility are its own.
  p.Property("Left", &T::GetLeft, &T::SetLeft).Stored(notStored);
  p.Property("Top", &T::GetTop, &T::SetTop).Stored(notStored);
  p.Property("Width", &T::GetWidth, &T::SetWidth).Stored(notStored);
  p.Property("Height", &T::GetHeight, &T::SetHeight).Stored(notStored);
  p.Property("BorderWidth", &T::GetBorderWidth, &T::SetBorderWidth).Default(TBorderWidth(0));
  p.Property("Caption", &T::GetCaption, &T::SetCaption);
  orv::PublishColor(p, clWindow);
  p.Property("Constraints", &T::GetConstraints);
  p.Property("DragMode", &T::GetDragMode, &T::SetDragMode).Default(dmManual);
  p.Property("Enabled", &T::GetEnabled, &T::SetEnabled)
      .Default(true)
      .Stored([](T* c) { return orv::IsControlEnabledStored(c); });
  orv::PublishFont(p);
  p.Property("Highlighted", &T::GetHighlighted, &T::SetHighlighted).Default(false);
  p.Property("ImageIndex", &T::GetImageIndex, &T::SetImageIndex).Default(-1);
  p.Property("PageIndex", &T::GetPageIndex, &T::SetPageIndex).Stored(notStored);
  p.Property("ParentShowHint", &T::GetParentShowHint, &T::SetParentShowHint).Default(true);
  p.Property("PopupMenu", [](T* c) { return c->GetPopupMenu(); },
             [](T* c, TPopupMenu* value) { c->SetPopupMenu(value); });
  p.Property("ShowHint", &T::GetShowHint, &T::SetShowHint).Stored([](T* c) { return !c->GetParentShowHint(); });
  p.Property("TabVisible", &T::GetTabVisible, &T::SetTabVisible).Default(true);
  p.Property("Visible", &T::GetVisible, &T::SetVisible).Stored(notStored);
  orv::PublishClickEvents(p);
  p.Property("OnContextPopup", &T::GetOnContextPopup, &T::SetOnContextPopup);
  p.Property("OnDragDrop", &T::GetOnDragDrop, &T::SetOnDragDrop);
  p.Property("OnDragOver", &T::GetOnDragOver, &T::SetOnDragOver);
  p.Property("OnEndDrag", &T::GetOnEndDrag, &T::SetOnEndDrag);
  p.Property("OnEnter", &T::GetOnEnter, &T::SetOnEnter);
  p.Property("OnExit", &T::GetOnExit, &T::SetOnExit);
  p.Property("OnHide", &T::GetOnHide, &T::SetOnHide);
  p.Property("OnMouseDown", &T::GetOnMouseDown, &T::SetOnMouseDown);
  p.Property("OnMouseMove", &T::GetOnMouseMove, &T::SetOnMouseMove);
  p.Property("OnMouseUp", &T::GetOnMouseUp, &T::SetOnMouseUp);
  p.Property("OnResize", &T::GetOnResize, &T::SetOnResize);
  p.Property("OnShow", &T::GetOnShow, &T::SetOnShow);
  p.Property("OnStartDrag", &T::GetOnStartDrag, &T::SetOnStartDrag);
}
