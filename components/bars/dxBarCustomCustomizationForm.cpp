#include "components/bars/dxBarCustomCustomizationForm.h"

#include <algorithm>

#include "components/bars/dxBarCustForm.h"
#include "components/bars/dxBarDragInfo.h"
#include "components/bars/dxBarNameEd.h"
#include "components/bars/dxBarPopupMenuEd.h"
#include "components/bars/dxBarStrs.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/dxOffice11.h"
#include "platform/controls/Graphics.h"
#include "platform/controls/StdCtrls.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/IniFiles.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

// ==== Run-time selection ======================================================================

TdxBarRunTimeSelectionController::TdxBarRunTimeSelectionController(TdxBarManager* manager)
    : FManager(manager), FSelection(new TcxComponentList) {}

TdxBarRunTimeSelectionController::~TdxBarRunTimeSelectionController() { orv::Free(FSelection); }

Integer TdxBarRunTimeSelectionController::GetCount() const { return FSelection->GetCount(); }

TComponent* TdxBarRunTimeSelectionController::GetSelected(Integer index) const {
  return static_cast<TComponent*>(FSelection->Get(index));
}

void TdxBarRunTimeSelectionController::FillSelection(TList* list) {
  for (Integer i = 0; i < FSelection->GetCount(); ++i) list->Add(FSelection->Get(i));
}

namespace {
// A link stands for its item in the run-time selection.
TComponent* SelectableComponent(TPersistent* object) {
  if (auto* link = dynamic_cast<TdxBarItemLink*>(object)) return link->GetItem();
  return dynamic_cast<TComponent*>(object);
}
}  // namespace

Integer TdxBarRunTimeSelectionController::GetSelectionState(TPersistent* object) {
  return IsSelectedObject(object) ? 1 : 0;
}

Boolean TdxBarRunTimeSelectionController::IsSelectedObject(TPersistent* object) {
  TComponent* component = SelectableComponent(object);
  return component && FSelection->IndexOf(component) >= 0;
}

void TdxBarRunTimeSelectionController::ChangeSelection(TPersistent* object, Integer operation) {
  if (operation != 0 && operation != 2) return;
  if (TComponent* component = SelectableComponent(object)) Select(component);
}

void TdxBarRunTimeSelectionController::ReplaceSelection(TList* list) {
  for (Integer i = 0; i < list->GetCount(); ++i)
    if (TComponent* component = SelectableComponent(static_cast<TPersistent*>(list->Get(i)))) Select(component);
}

void TdxBarRunTimeSelectionController::Select(TComponent* component) {
  if (FSelection->IndexOf(component) >= 0) return;
  // One bar and one item at most: the selected one of the same kind gives way.
  const Boolean bar = dynamic_cast<TdxBar*>(component) != nullptr;
  for (Integer i = FSelection->GetCount() - 1; i >= 0; --i) {
    auto* selected = static_cast<TComponent*>(FSelection->Get(i));
    const Boolean sameKind = bar ? dynamic_cast<TdxBar*>(selected) != nullptr : dynamic_cast<TdxBarItem*>(selected) != nullptr;
    if (!sameKind) continue;
    FSelection->Delete(i);
    if (auto* item = dynamic_cast<TdxBarItem*>(selected)) item->InvalidateControls();
  }
  FSelection->Add(component);
  if (auto* item = dynamic_cast<TdxBarItem*>(component)) item->InvalidateControls();
  FireNotifyEvent(this, FOnSelectionChanged);
}

// ==== Painters ================================================================================

namespace {
void FillRectColor(TCanvas* canvas, const TRect& rect, TColor color) {
  canvas->GetBrush()->SetColor(color);
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(rect);
}

void DrawRowText(TCanvas* canvas, const TRect& rect, const AnsiString& text, TColor color) {
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->GetFont()->SetColor(color);
  RECT r = rect;
  DrawText(canvas->GetHandle(), text.c_str(), Integer(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_NOPREFIX);
  canvas->GetBrush()->SetStyle(bsSolid);
}

Boolean IsDropDownButton(TdxBarItem* item) {
  auto* button = dynamic_cast<TdxBarButton*>(item);
  return button && button->GetButtonStyle() == bsDropDown;
}
}  // namespace

void TdxBarCustomizationFormPainter::CalcEntryRects(TdxBarItem* item, const TRect& rect, TRect& arrowRect,
                                                    TRect& textRect, TRect& stripRect) {
  const Integer height = rect.Bottom - rect.Top;
  stripRect = TRect{rect.Left, rect.Top, rect.Left + height, rect.Bottom};
  textRect = TRect{stripRect.Right + 5, rect.Top, rect.Right, rect.Bottom};
  if (IsDropDownButton(item)) textRect.Right -= 13;
  arrowRect = TRect{textRect.Right, rect.Top, rect.Right, rect.Bottom};
}

void TdxBarCustomizationFormPainter::DrawDropDownPart(TCanvas* canvas, TRect rect, Boolean selected,
                                                      TdxBarItem* item) {
  if (selected) {
    RECT r = rect;
    DrawEdge(canvas->GetHandle(), &r, BDR_RAISEDINNER, BF_RECT);
    rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  } else {
    RECT r{rect.Left - 1, rect.Top, rect.Right, rect.Bottom};
    DrawEdge(canvas->GetHandle(), &r, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_LEFT);
    rect.Left += 2;
  }
  FillRectColor(canvas, rect, GetBackgroundColor(false, item));
}

void TdxBarCustomizationFormPainter::DrawEntryBackground(TCanvas* canvas, TdxBarItem* item, Boolean selected,
                                                         const TRect& arrowRect, const TRect& stripRect,
                                                         const TRect& rect) {
  FillRectColor(canvas, rect, GetBackgroundColor(selected, item));
  FillRectColor(canvas, stripRect, GetStripColor(selected && !item->HasImage(), item));
  if (IsDropDownButton(item)) DrawDropDownPart(canvas, arrowRect, selected, item);
}

void TdxBarCustomizationFormPainter::DrawEntryGlyph(TCanvas* canvas, const TRect& rect, Boolean selected,
                                                    TdxBarItem* item) {
  if (selected) {
    RECT r = rect;
    DrawEdge(canvas->GetHandle(), &r, BDR_RAISEDINNER, BF_RECT);
  }
  TBitmap* glyph = item->GetGlyph();
  if (glyph && !glyph->GetEmpty()) {
    const Integer x = rect.Left + (rect.Right - rect.Left - glyph->GetWidth()) / 2;
    const Integer y = rect.Top + (rect.Bottom - rect.Top - glyph->GetHeight()) / 2;
    canvas->Draw(x, y, glyph);
  }
}

void TdxBarCustomizationFormPainter::DrawSubMenuArrow(TCanvas* canvas, Integer x, Boolean selected, Integer y) {
  const TColor color = canvas->GetFont()->GetColor();
  canvas->GetBrush()->SetColor(color);
  canvas->GetPen()->SetColor(color);
  canvas->Polygon({TPoint{x, y}, TPoint{x, y + 6}, TPoint{x + 3, y + 3}});
}

void TdxBarCustomizationFormPainter::DrawButtonEntry(TCanvas* canvas, const TRect& rect, Boolean selected,
                                                     const AnsiString& caption, TdxBarItem* item) {
  TRect arrowRect, textRect, stripRect;
  CalcEntryRects(item, rect, arrowRect, textRect, stripRect);
  DrawEntryBackground(canvas, item, selected, arrowRect, stripRect, rect);
  if (item->HasImage()) DrawEntryGlyph(canvas, stripRect, selected, item);
  DrawRowText(canvas, textRect, caption, GetTextColor(selected));
  if (dynamic_cast<TCustomdxBarSubItem*>(item)) {
    canvas->GetFont()->SetColor(GetTextColor(selected));
    DrawSubMenuArrow(canvas, rect.Right - 10, selected, rect.Top + (rect.Bottom - rect.Top) / 2 - 3);
  }
}

void TdxBarCustomizationFormPainter::DrawCheckBox(TCanvas* canvas, TRect rect, Boolean enabled, Boolean checked) {
  RECT r{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
  UINT state = DFCS_BUTTONCHECK;
  if (checked) state |= DFCS_CHECKED;
  if (!enabled) state |= DFCS_INACTIVE;
  DrawFrameControl(canvas->GetHandle(), &r, DFC_BUTTON, state);
}

void TdxBarCustomizationFormPainter::DrawFocusRect(TCanvas* canvas, TRect rect, TdxBarItem* item) {
  canvas->GetFont()->SetColor(GetTextColor(true));
  canvas->GetBrush()->SetColor(GetBackgroundColor(true, item));
  canvas->DrawFocusRect(rect);
}

TColor TdxBarCustomizationFormPainter::GetBackgroundColor(Boolean selected, TdxBarItem* item) {
  return selected ? clHighlight : clBtnFace;
}

TColor TdxBarCustomizationFormPainter::GetTextColor(Boolean selected) { return selected ? clHighlightText : clBtnText; }

void TdxBarCustomizationFormStandardPainter::DrawFocusRect(TCanvas* canvas, TRect rect, TdxBarItem* item) {
  inherited::DrawFocusRect(canvas, TRect{rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2}, item);
}

namespace {
void FrameColor(TCanvas* canvas, const TRect& rect, TColor color) {
  canvas->GetBrush()->SetColor(color);
  canvas->FrameRect(rect);
}
}  // namespace

TColor TdxBarCustomizationFormFlatPainter::GetBackgroundColor(Boolean selected, TdxBarItem* item) {
  return selected ? TColor(0xD2BDB6) : clWindow;
}

TColor TdxBarCustomizationFormFlatPainter::GetTextColor(Boolean selected) {
  return selected && IsWhiteButtonFace() ? clBtnFace : clBtnText;
}

void TdxBarCustomizationFormFlatPainter::DrawButtonEntry(TCanvas* canvas, const TRect& rect, Boolean selected,
                                                         const AnsiString& caption, TdxBarItem* item) {
  inherited::DrawButtonEntry(canvas, rect, selected, caption, item);
  if (selected) FrameColor(canvas, rect, clHighlight);
}

void TdxBarCustomizationFormFlatPainter::DrawDropDownPart(TCanvas* canvas, TRect rect, Boolean selected,
                                                          TdxBarItem* item) {
  FillRectColor(canvas, rect, GetBackgroundColor(selected, item));
  FrameColor(canvas, rect, selected ? clHighlight : clBtnShadow);
}

void TdxBarCustomizationFormFlatPainter::DrawEntryGlyph(TCanvas* canvas, const TRect& rect, Boolean selected,
                                                        TdxBarItem* item) {
  TBitmap* glyph = item->GetGlyph();
  if (glyph && !glyph->GetEmpty())
    canvas->Draw(rect.Left + (rect.Right - rect.Left - glyph->GetWidth()) / 2,
                 rect.Top + (rect.Bottom - rect.Top - glyph->GetHeight()) / 2, glyph);
}

TColor TdxBarCustomizationFormOffice11Painter::GetBackgroundColor(Boolean selected, TdxBarItem* item) {
  return selected ? Office11SelectedColor : Office11MenuBackgroundColor;
}

TColor TdxBarCustomizationFormOffice11Painter::GetTextColor(Boolean selected) {
  return selected && IsWhiteButtonFace() ? clBtnFace : Office11ItemTextColor;
}

void TdxBarCustomizationFormOffice11Painter::DrawButtonEntry(TCanvas* canvas, const TRect& rect, Boolean selected,
                                                             const AnsiString& caption, TdxBarItem* item) {
  TdxBarCustomizationFormPainter::DrawButtonEntry(canvas, rect, selected, caption, item);
  if (selected) DrawOffice11SelectionFrame(canvas->GetHandle(), rect);
}

void TdxBarCustomizationFormOffice11Painter::DrawEntryBackground(TCanvas* canvas, TdxBarItem* item, Boolean selected,
                                                                 const TRect& arrowRect, const TRect& stripRect,
                                                                 const TRect& rect) {
  FillRectColor(canvas, rect, GetBackgroundColor(selected, item));
  if (!selected) FillTwoStageGradient(canvas->GetHandle(), stripRect, Office11MenuBandColor1, true, Office11MenuBandColor2);
  if (IsDropDownButton(item)) DrawDropDownPart(canvas, arrowRect, selected, item);
}

// ==== The form base ===========================================================================

namespace {
TdxBarCustomCustomizationForm* gActiveForm = nullptr;
}  // namespace

TdxBarCustomizationFormFactory dxBarCustomizationFormFactory = CreateBarCustomizationForm;

TdxBarCustomCustomizationForm* GetActiveCustomizationForm() { return gActiveForm; }

void ApplyManagerFont(TCustomForm* form, TdxBarManager* barManager) {
  if (!form || !barManager) return;
  form->GetFont()->SetName(barManager->GetFont()->GetName());
  form->GetFont()->SetCharset(barManager->GetFont()->GetCharset());
}

void RefreshCustomizationFormOptions() {
  if (gActiveForm) gActiveForm->UpdateOptions();
}

void ShowCustomizationForm(TdxBarManager* barManager, Boolean show) {
  if (show) {
    if (gActiveForm || !dxBarCustomizationFormFactory) return;
    FireNotifyEvent(barManager, barManager->GetOnShowCustomizingForm());
    TdxBarCustomCustomizationForm* form = dxBarCustomizationFormFactory(barManager);
    gActiveForm = form;
    form->Show();
    return;
  }
  if (gActiveForm && gActiveForm->GetBarManager() == barManager) {
    TdxBarCustomCustomizationForm* form = gActiveForm;
    gActiveForm = nullptr;
    form->Free();
  }
  // The submenu editor serves customizing only.
  if (TdxBarSubMenuEditor* editor = GetSubMenuEditor()) editor->Free();
  FireNotifyEvent(barManager, barManager->GetOnHideCustomizingForm());
}

TdxBarCustomCustomizationForm::TdxBarCustomCustomizationForm(TdxBarManager* barManager)
    : TForm(nullptr), FBarManager(barManager) {
  SetCaption(GetLocalizedResourceString(&dxSBAR_CAPTION));
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetColor(clBtnFace);
  ApplyManagerFont(this, barManager);
  FPainter = CreatePainter();
  if (!barManager->IsDesigning()) {
    FSelectionController = new TdxBarRunTimeSelectionController(barManager);
    barManager->SetDesigner(FSelectionController);
    // The lists do not exist yet: they show this selection when they are filled.
    if (barManager->GetBarCount() > 0) FSelectionController->ChangeSelection(barManager->GetBar(0), 2);
    FSelectionController->SetOnSelectionChanged(TNotifyEvent(this, &TdxBarCustomCustomizationForm::SelectionChanged));
  }
}

TdxBarCustomCustomizationForm::~TdxBarCustomCustomizationForm() {
  orv::Free(FPainter);
  FPainter = nullptr;
}

void TdxBarCustomCustomizationForm::BeforeDestruction() {
  if (gActiveForm == this) gActiveForm = nullptr;
  if (FSelectionController) {
    if (FBarManager->GetDesigner() == FSelectionController) FBarManager->SetDesigner(nullptr);
    orv::Free(FSelectionController);
    FSelectionController = nullptr;
  }
  // The form going ends customizing, once.
  if (!FClosing && FBarManager->IsCustomizing()) {
    FClosing = true;
    FBarManager->SetCustomizingMode(false);
  }
  inherited::BeforeDestruction();
}

void TdxBarCustomCustomizationForm::DoClose(TCloseAction& action) {
  inherited::DoClose(action);
  action = caFree;
}

void TdxBarCustomCustomizationForm::ShowHelp() {
  if (!FBarManager->IsDesigning()) FBarManager->DoHelpButtonClick();
}

TColor TdxBarCustomCustomizationForm::GetCommandsListColor() {
  return FBarManager->GetEffectiveStyle() == bmsFlat ? clWindow : clBtnFace;
}

TdxBar* TdxBarCustomCustomizationForm::GetBarAt(Integer index) {
  return dynamic_cast<TdxBar*>(GetRowObject(GetBarsListBox(), index));
}

TdxBarCustomizationFormPainter* TdxBarCustomCustomizationForm::CreatePainter() {
  TdxBarPainter* painter = FBarManager->GetPainter();
  if (dynamic_cast<TdxBarOffice11Painter*>(painter)) return new TdxBarCustomizationFormOffice11Painter(FBarManager);
  if (dynamic_cast<TdxBarXPPainter*>(painter)) return new TdxBarCustomizationFormPainter(FBarManager);
  if (dynamic_cast<TdxBarFlatPainter*>(painter)) return new TdxBarCustomizationFormFlatPainter(FBarManager);
  return new TdxBarCustomizationFormStandardPainter(FBarManager);
}

void TdxBarCustomCustomizationForm::ApplyManagerStyle() {
  orv::Free(FPainter);
  FPainter = CreatePainter();
  UpdateOptions();
  RefreshLists();
  if (TListBox* list = GetCommandsListBox()) list->SetColor(GetCommandsListColor());
}

void TdxBarCustomCustomizationForm::SelectionChanged(TObject* sender) {
  if (GetComponentState().Contains(csDestroying)) return;
  SyncSelectionFromDesigner(GetBarsListBox());
  SyncSelectionFromDesigner(GetCommandsListBox());
}

TObject* TdxBarCustomCustomizationForm::GetRowObject(TListBox* listBox, Integer row) {
  if (!listBox || row < 0 || row >= listBox->GetItems()->GetCount()) return nullptr;
  return listBox->GetItems()->GetObject(row);
}

void TdxBarCustomCustomizationForm::RefreshBarsList() {
  TListBox* list = GetBarsListBox();
  if (!list || FBarManager->InDestruction()) return;
  TStrings* rows = list->GetItems();
  rows->BeginUpdate();
  rows->Clear();
  for (Integer i = 0; i < FBarManager->GetBarCount(); ++i) {
    TdxBar* bar = FBarManager->GetBar(i);
    if (!FBarManager->IsDesigning() && bar->GetHidden()) continue;
    rows->AddObject(bar->GetCaption(), bar);
  }
  rows->EndUpdate();
  SyncSelectionFromDesigner(list);
}

void TdxBarCustomCustomizationForm::RefreshCategoriesList() {
  TListBox* list = GetCategoriesListBox();
  if (!list || FBarManager->InDestruction()) return;
  TStrings* rows = list->GetItems();
  rows->BeginUpdate();
  rows->Clear();
  TdxBarManagerCategories* categories = FBarManager->GetCategories();
  for (Integer i = 0; i < categories->GetCount(); ++i)
    if (FBarManager->IsDesigning() || FBarManager->GetCategoryVisible(i)) rows->Add(categories->Get(i));
  rows->EndUpdate();
  if (rows->GetCount() > 0) list->SetItemIndex(0);
}

void TdxBarCustomCustomizationForm::RefreshCommandsList() {
  TListBox* list = GetCommandsListBox();
  TListBox* categories = GetCategoriesListBox();
  if (!list || FBarManager->InDestruction()) return;
  TStrings* rows = list->GetItems();
  rows->BeginUpdate();
  rows->Clear();
  if (categories && categories->GetItemIndex() >= 0) {
    TList items;
    FBarManager->GetItemsByCategory(FBarManager->GetRealCategoryIndex(categories->GetItemIndex()), &items);
    for (Integer i = 0; i < items.GetCount(); ++i) {
      auto* item = static_cast<TdxBarItem*>(items.Get(i));
      rows->AddObject(item->GetCaption(), item);
    }
  }
  rows->EndUpdate();
  SyncSelectionFromDesigner(list);
}

void TdxBarCustomCustomizationForm::SyncSelectionFromDesigner(TListBox* listBox) {
  if (!listBox || listBox == FSelectionSource) return;
  TList selection;
  FBarManager->FillSelection(&selection);
  Integer row = -1;
  for (Integer i = 0; i < listBox->GetItems()->GetCount(); ++i)
    if (selection.IndexOf(listBox->GetItems()->GetObject(i)) >= 0) row = i;
  listBox->SetItemIndex(row);
  if (listBox == GetCommandsListBox()) {
    auto* item = dynamic_cast<TdxBarItem*>(GetRowObject(listBox, row));
    SetDescription(item ? item->GetDescription() : AnsiString());
  }
}

void TdxBarCustomCustomizationForm::SyncSelectionToDesigner(TListBox* listBox) {
  TObject* object = GetRowObject(listBox, listBox->GetItemIndex());
  FSelectionSource = listBox;
  if (auto* persistent = dynamic_cast<TPersistent*>(object)) FBarManager->ChangeSelection(persistent, 2);
  FSelectionSource = nullptr;
  if (listBox == GetCommandsListBox()) {
    auto* item = dynamic_cast<TdxBarItem*>(object);
    SetDescription(item ? item->GetDescription() : AnsiString());
  }
}

void TdxBarCustomCustomizationForm::ToggleBar(Integer row) {
  TdxBar* bar = GetBarAt(row);
  if (!bar) return;
  if (!bar->CanClose()) {
    MessageBeep(0);
    return;
  }
  bar->SetVisible(!bar->GetVisible());
  if (TListBox* list = GetBarsListBox()) list->Invalidate();
}

void TdxBarCustomCustomizationForm::NewToolBar() {
  AnsiString caption = FBarManager->GetUniqueBarCaption(GetLocalizedResourceString(&dxSBAR_TOOLBARNEWNAME));
  if (!ShowNameEditor(caption, 0, 0, nullptr, FBarManager)) return;
  TdxBar* bar = FBarManager->AddToolbar(false);
  if (bar) bar->SetCaption(caption);
  RefreshBarsList();
  if (bar) FBarManager->ChangeSelection(bar, 2);
}

Boolean TdxBarCustomCustomizationForm::CanRenameSelectedToolBar() {
  TListBox* list = GetBarsListBox();
  TdxBar* bar = list ? GetBarAt(list->GetItemIndex()) : nullptr;
  // At run time only the toolbars the user made himself.
  return bar && (FBarManager->IsDesigning() || !bar->GetPredefined());
}

void TdxBarCustomCustomizationForm::RenameSelectedToolBar() {
  if (!CanRenameSelectedToolBar()) return;
  TListBox* list = GetBarsListBox();
  TdxBar* bar = GetBarAt(list->GetItemIndex());
  AnsiString caption = bar->GetCaption();
  if (!ShowNameEditor(caption, 0, 1, bar, FBarManager)) return;
  bar->SetCaption(caption);
  RefreshBarsList();
}

void TdxBarCustomCustomizationForm::DeleteSelectedToolBars() {
  TListBox* list = GetBarsListBox();
  TdxBar* bar = list ? GetBarAt(list->GetItemIndex()) : nullptr;
  if (!bar) return;
  const AnsiString text = Format(GetLocalizedResourceString(&dxSBAR_WANTTODELETETOOLBAR), {bar->GetCaption()});
  const Integer answer = Application->MessageBox(text, Application->GetTitle(), MB_OKCANCEL | MB_ICONWARNING);
  if (answer != IDOK) return;
  const Integer row = list->GetItemIndex();
  bar->Free();
  RefreshBarsList();
  const Integer count = list->GetItems()->GetCount();
  if (count > 0) {
    list->SetItemIndex(std::min(row, count - 1));
    SyncSelectionToDesigner(list);
  }
}

void TdxBarCustomCustomizationForm::ResetSelectedToolBar() {
  TListBox* list = GetBarsListBox();
  TdxBar* bar = list ? GetBarAt(list->GetItemIndex()) : nullptr;
  if (!bar || !bar->CanReset()) return;
  const Integer index = FBarManager->FindBarIndexInSnapshot(bar->GetCaption());
  if (index < 0 || !FBarManager->GetSnapshot()) return;
  const AnsiString text = Format(GetLocalizedResourceString(&dxSBAR_WANTTORESETTOOLBAR), {bar->GetCaption()});
  if (Application->MessageBox(text, Application->GetTitle(), MB_OKCANCEL | MB_ICONWARNING) != IDOK) return;
  FBarManager->DoBarBeforeReset(bar);
  bar->ReadLayout(FBarManager->GetSnapshot(), FBarManager->GetIniSectionBase(), lskIniFile, index);
  FBarManager->DoBarAfterReset(bar);
  RefreshBarsList();
}

void TdxBarCustomCustomizationForm::AttachLists() {
  if (TListBox* bars = GetBarsListBox()) {
    bars->SetStyle(lbOwnerDrawFixed);
    bars->SetOnDrawItem(TDrawItemEvent(this, &TdxBarCustomCustomizationForm::BarsListDrawItem));
    bars->SetOnMouseDown(TMouseEvent(this, &TdxBarCustomCustomizationForm::BarsListMouseDown));
    bars->SetOnClick(TNotifyEvent(this, &TdxBarCustomCustomizationForm::BarsListClick));
    bars->SetOnKeyDown(TKeyEvent(this, &TdxBarCustomCustomizationForm::BarsListKeyDown));
  }
  if (TListBox* categories = GetCategoriesListBox())
    categories->SetOnClick(TNotifyEvent(this, &TdxBarCustomCustomizationForm::CategoriesListClick));
  if (TListBox* commands = GetCommandsListBox()) {
    commands->SetStyle(lbOwnerDrawFixed);
    commands->SetItemHeight(FPainter->GetEntryHeight());
    commands->SetOnDrawItem(TDrawItemEvent(this, &TdxBarCustomCustomizationForm::CommandsListDrawItem));
    commands->SetOnClick(TNotifyEvent(this, &TdxBarCustomCustomizationForm::CommandsListClick));
    commands->SetOnMouseDown(TMouseEvent(this, &TdxBarCustomCustomizationForm::CommandsListMouseDown));
    commands->SetOnMouseMove(TMouseMoveEvent(this, &TdxBarCustomCustomizationForm::CommandsListMouseMove));
    commands->SetOnMouseUp(TMouseEvent(this, &TdxBarCustomCustomizationForm::CommandsListMouseUp));
  }
}

void TdxBarCustomCustomizationForm::BarsListDrawItem(TWinControl* control, Integer index, TRect rect,
                                                     TOwnerDrawState state) {
  auto* list = static_cast<TListBox*>(control);
  TCanvas* canvas = list->GetCanvas();
  const Boolean selected = state.Contains(odSelected);
  canvas->GetBrush()->SetColor(selected ? clHighlight : list->GetColor());
  canvas->FillRect(rect);
  TdxBar* bar = GetBarAt(index);
  if (!bar) return;
  const Integer height = rect.Bottom - rect.Top;
  FPainter->DrawCheckBox(canvas, TRect{rect.Left, rect.Top, rect.Left + height, rect.Bottom}, bar->CanClose(),
                         bar->GetVisible());
  DrawRowText(canvas, TRect{rect.Left + height + 2, rect.Top, rect.Right, rect.Bottom}, list->GetItems()->Get(index),
              selected ? clHighlightText : clWindowText);
}

void TdxBarCustomCustomizationForm::BarsListMouseDown(TObject* sender, TMouseButton button, TShiftState shift,
                                                      Integer x, Integer y) {
  auto* list = static_cast<TListBox*>(sender);
  if (button != mbLeft) return;
  const Integer row = list->ItemAtPos(TPoint{x, y}, true);
  if (row < 0) return;
  const Boolean onCheckBox = x - list->ItemRect(row).Left < list->GetItemHeight();
  const Boolean doubleClick = shift.Contains(ssDouble);
  // A click on the check box, or a double click beside it, toggles the bar.
  if (onCheckBox != doubleClick) ToggleBar(row);
}

void TdxBarCustomCustomizationForm::BarsListClick(TObject* sender) { SyncSelectionToDesigner(GetBarsListBox()); }

void TdxBarCustomCustomizationForm::BarsListKeyDown(TObject* sender, Word& key, TShiftState shift) {
  TListBox* list = GetBarsListBox();
  if (key == VK_SPACE)
    ToggleBar(list->GetItemIndex());
  else if (key == VK_INSERT)
    NewToolBar();
  else if (key == VK_DELETE)
    DeleteSelectedToolBars();
}

void TdxBarCustomCustomizationForm::CategoriesListClick(TObject* sender) { RefreshCommandsList(); }

void TdxBarCustomCustomizationForm::CommandsListDrawItem(TWinControl* control, Integer index, TRect rect,
                                                         TOwnerDrawState state) {
  auto* list = static_cast<TListBox*>(control);
  auto* item = dynamic_cast<TdxBarItem*>(GetRowObject(list, index));
  if (!item) return;
  const Boolean selected = state.Contains(odSelected);
  FPainter->DrawButtonEntry(list->GetCanvas(), rect, selected, GetPlainCaption(item->GetCaption()), item);
  if (state.Contains(odFocused)) FPainter->DrawFocusRect(list->GetCanvas(), rect, item);
}

void TdxBarCustomCustomizationForm::CommandsListClick(TObject* sender) {
  SyncSelectionToDesigner(GetCommandsListBox());
}

void TdxBarCustomCustomizationForm::CommandsListMouseDown(TObject* sender, TMouseButton button, TShiftState shift,
                                                          Integer x, Integer y) {
  TListBox* list = GetCommandsListBox();
  const Integer row = list->ItemAtPos(TPoint{x, y}, true);
  if (row >= 0 && row != list->GetItemIndex()) list->SetItemIndex(row);
  SyncSelectionToDesigner(list);
  auto* item = dynamic_cast<TdxBarItem*>(GetRowObject(list, row));
  if (button != mbLeft || !item) return;
  // The drag starts once the mouse leaves the drag rectangle around the press.
  FCommandPressed = item;
  FCommandPressPoint = TPoint{x, y};
}

void TdxBarCustomCustomizationForm::CommandsListMouseMove(TObject* sender, TShiftState shift, Integer x, Integer y) {
  if (!FCommandPressed || !IsBeyondDragThreshold(FCommandPressPoint, TPoint{x, y})) return;
  TdxBarItem* item = FCommandPressed;
  FCommandPressed = nullptr;
  TListBox* list = GetCommandsListBox();
  // Only while the list still shows the pressed command.
  if (list->GetItems()->IndexOfObject(item) < 0) return;
  if (list->HandleAllocated() && GetCapture() == list->GetHandle()) ReleaseCapture();
  // Released without reaching a bar, the command adds nothing.
  DragBarItem(FBarManager, item, nullptr);
}

void TdxBarCustomCustomizationForm::CommandsListMouseUp(TObject* sender, TMouseButton button, TShiftState shift,
                                                        Integer x, Integer y) {
  if (button == mbLeft) FCommandPressed = nullptr;
}
