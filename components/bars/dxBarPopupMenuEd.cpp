#include "components/bars/dxBarPopupMenuEd.h"

#include <algorithm>

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCustomCustomizationForm.h"
#include "components/bars/dxBarDragInfo.h"
#include "components/bars/dxBarDrawing.h"
#include "components/bars/dxBarStrs.h"
#include "components/foundation/cxControls.h"
#include "platform/windowing/User.h"

namespace {
TdxBarSubMenuEditor* gSubMenuEditor = nullptr;
}  // namespace

TdxBarSubMenuEditor* GetSubMenuEditor() { return gSubMenuEditor; }

TdxBarSubMenuEditor::TdxBarSubMenuEditor(TComponent* owner) : TForm(owner) {
  SetTag(100);
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetClientWidth(196);
  SetClientHeight(4);
  SetCaption(GetLocalizedResourceString(&dxSBAR_SUBMENUEDITORCAPTION));
  SetOnActivate(TNotifyEvent(this, &TdxBarSubMenuEditor::FormActivate));
  SetOnClose(TCloseEvent(this, &TdxBarSubMenuEditor::FormClose));
  SetOnDestroy(TNotifyEvent(this, &TdxBarSubMenuEditor::FormDestroy));
}

void TdxBarSubMenuEditor::BeforeDestruction() {
  if (FItemLinksOwner) FItemLinksOwner->RemoveFreeNotification(this);
  FItemLinksOwner = nullptr;
  inherited::BeforeDestruction();
}

void TdxBarSubMenuEditor::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU;
  params.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  params.WindowClass.style = CS_SAVEBITS | CS_OWNDC;
  // It stays with the customization form.
  if (TdxBarCustomCustomizationForm* form = GetActiveCustomizationForm())
    if (form->HandleAllocated()) params.WndParent = ::GetParent(form->GetHandle());
}

TCustomdxBarControl* TdxBarSubMenuEditor::GetSubMenuControl() const {
  return FItemLinks ? FItemLinks->GetBarControl() : nullptr;
}

void TdxBarSubMenuEditor::SetItemLinks(TdxBarItemLinks* value) {
  if (value == FItemLinks) return;
  HideSubMenu();
  if (FItemLinksOwner) FItemLinksOwner->RemoveFreeNotification(this);
  FItemLinksOwner = nullptr;
  FItemLinks = value;
  if (!value) {
    FreeEditor();
    return;
  }
  FItemLinksOwner = value->GetOwnerComponent();
  if (FItemLinksOwner) FItemLinksOwner->FreeNotification(this);
}

void TdxBarSubMenuEditor::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == opRemove && component == FItemLinksOwner) {
    // The links go with their owner: forget both before anything reads them.
    FItemLinksOwner = nullptr;
    FItemLinks = nullptr;
    FreeEditor();
  }
}

void TdxBarSubMenuEditor::FreeEditor() {
  if (GetComponentState().Contains(csDestroying) || FReleased) return;
  // A new editor may be opened before this one is released.
  if (gSubMenuEditor == this) gSubMenuEditor = nullptr;
  if (HandleAllocated()) {
    FReleased = true;
    Release();
  } else {
    Free();
  }
}

void TdxBarSubMenuEditor::DoShow() {
  inherited::DoShow();
  KeepInWorkArea();
}

void TdxBarSubMenuEditor::KeepInWorkArea() {
  const TRect workArea = GetWorkAreaAtPoint(TPoint{GetLeft(), GetTop()});
  SetBounds(std::max(GetLeft(), workArea.Left), std::max(GetTop(), workArea.Top), GetWidth(), GetHeight());
}

void TdxBarSubMenuEditor::FormActivate(TObject* sender) {
  if (!FItemLinks) return;
  TdxBarManager* manager = FItemLinks->GetBarManager();
  if (TdxBarDragInfo* drag = GetActiveBarDrag(); manager && manager->IsDragging() && drag) {
    AnsiString errorText;
    if (!FItemLinks->CanContainItem(drag->GetItem(), errorText)) return;
  }
  auto* menu = dynamic_cast<TdxBarSubMenuControl*>(FItemLinks->GetBarControl());
  if (!menu && manager) {
    menu = new TdxBarSubMenuControl(manager);
    menu->SetItemLinks(FItemLinks);
    menu->SetBounds(GetLeft(), GetTop() + GetHeight(), menu->GetWidth(), menu->GetHeight());
    menu->SetOwnerHeight(GetHeight());
    menu->PopupSubMenuControl();
  }
  if (menu) SetWidth(menu->GetWidth());
}

void TdxBarSubMenuEditor::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETMINMAXINFO: {
      inherited::Dispatch(message);
      auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
      if (!info) return;
      // As high as its caption and as wide as its submenu: it cannot be sized.
      info->ptMaxSize.Y = info->ptMinTrackSize.Y = info->ptMaxTrackSize.Y = GetHeight();
      if (TCustomdxBarControl* menu = GetSubMenuControl()) FSubMenuWidth = menu->GetWidth();
      // No submenu was ever shown: no width to keep yet.
      if (FSubMenuWidth > 0) info->ptMaxSize.X = info->ptMinTrackSize.X = info->ptMaxTrackSize.X = FSubMenuWidth;
      return;
    }
    case WM_MOVE:
      inherited::Dispatch(message);
      // The submenu follows the caption.
      if (TCustomdxBarControl* menu = GetSubMenuControl(); menu && menu->HandleAllocated())
        SetWindowPos(menu->GetHandle(), nullptr, GetLeft(), GetTop() + GetHeight(), 0, 0,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE);
      return;
    case WM_NCLBUTTONDOWN: {
      const WPARAM hit = message.WParam;
      orv::TObjectLinkGuard self(this);
      inherited::Dispatch(message);
      if (!self.Alive()) return;
      if (hit == HTCLOSE)
        HideSubMenu();
      else
        FormActivate(this);
      return;
    }
    default: inherited::Dispatch(message);
  }
}

void TdxBarSubMenuEditor::HideSubMenu() {
  if (TCustomdxBarControl* menu = GetSubMenuControl()) menu->HideControl();
}

void TdxBarSubMenuEditor::FormClose(TObject* sender, TCloseAction& action) { action = caFree; }

void TdxBarSubMenuEditor::FormDestroy(TObject* sender) {
  HideSubMenu();
  if (gSubMenuEditor == this) gSubMenuEditor = nullptr;
}

void ShowSubMenuEditor(TdxBarItemLinks* links) {
  TdxBarManager* manager = links ? links->GetBarManager() : nullptr;
  if (!manager) return;
  manager->SetCustomizingMode(true);
  if (manager->InCustomizingMode())
    if (TdxBarCustomCustomizationForm* form = GetActiveCustomizationForm()) form->ShowCommandsPage();
  if (!gSubMenuEditor) {
    gSubMenuEditor = new TdxBarSubMenuEditor(nullptr);
    gSubMenuEditor->AfterConstruction();
  }
  TdxBarSubMenuEditor* editor = gSubMenuEditor;
  editor->SetClientHeight(0);
  editor->SetItemLinks(links);
  FlushMouseMessages();
  editor->Show();
}
