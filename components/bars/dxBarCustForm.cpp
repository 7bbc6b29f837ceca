#include "components/bars/dxBarCustForm.h"

#include <algorithm>

#include "components/bars/dxBarStrs.h"
#include "components/pagecontrol/cxPC.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

TdxBarCustomCustomizationForm* CreateBarCustomizationForm(TdxBarManager* barManager) {
  return new TdxBarCustomizationForm(barManager);
}

namespace {
template <class T>
T* Place(TWinControl* parent, Integer left, Integer top, Integer width, Integer height) {
  auto* control = new T(parent);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

TCheckBox* PlaceCheckBox(TWinControl* parent, Integer left, Integer top, const TResStringRec& caption) {
  auto* box = Place<TCheckBox>(parent, left, top, 300, 17);
  box->SetCaption(GetLocalizedResourceString(&caption));
  return box;
}

TcxTabSheet* AddPage(TcxPageControl* pageControl, const TResStringRec& caption) {
  auto* page = new TcxTabSheet(pageControl);
  page->SetPageControl(pageControl);
  page->SetCaption(GetLocalizedResourceString(&caption));
  return page;
}
}  // namespace

TdxBarCustomizationForm::TdxBarCustomizationForm(TdxBarManager* barManager)
    : TdxBarCustomCustomizationForm(barManager) {
  SetClientWidth(366);
  SetClientHeight(310);
  // The bottom bar with Close and Help.
  Panel1 = new TPanel(this);
  Panel1->SetParent(this);
  Panel1->SetAlign(alBottom);
  Panel1->SetHeight(36);
  Panel1->SetBevelOuter(bvNone);
  Panel1->SetCaption(AnsiString());
  BClose = Place<TButton>(Panel1, 285, 6, 75, 25);
  BClose->SetOnClick(TNotifyEvent(this, &TdxBarCustomizationForm::CloseClick));
  BHelp = Place<TButton>(Panel1, 6, 6, 24, 23);
  BHelp->SetCaption("?");

  PageControl = new TcxPageControl(this);
  PageControl->SetParent(this);
  PageControl->SetBounds(6, 8, 354, 266);
  tsToolbars = AddPage(PageControl, dxSBAR_TABSHEET1);
  tsItems = AddPage(PageControl, dxSBAR_TABSHEET2);
  tsOptions = AddPage(PageControl, dxSBAR_TABSHEET3);

  // Toolbars.
  LabelToobars = Place<TLabel>(tsToolbars, 4, 4, 200, 13);
  lbBarsList = Place<TListBox>(tsToolbars, 4, 20, 227, 213);
  const TResStringRec* barCaptions[] = {&dxSBAR_TNEW, &dxSBAR_TRENAME, &dxSBAR_TDELETE, &dxSBAR_TRESET};
  TButton** barButtons[] = {&BBarNew, &BBarRename, &BBarDelete, &BBarReset};
  for (Integer i = 0; i < 4; ++i) {
    TButton* button = Place<TButton>(tsToolbars, 239, 21 + 29 * i, 104, 22);
    button->SetCaption(GetLocalizedResourceString(barCaptions[i]));
    button->SetTag(i);
    button->SetOnClick(TNotifyEvent(this, &TdxBarCustomizationForm::ToolbarButtonClick));
    *barButtons[i] = button;
  }

  // Commands.
  LabelCategories = Place<TLabel>(tsItems, 4, 4, 130, 13);
  LabelCommands = Place<TLabel>(tsItems, 145, 4, 190, 13);
  lbCategories = Place<TListBox>(tsItems, 4, 20, 135, 160);
  lbItems = Place<TListBox>(tsItems, 145, 20, 194, 160);
  LabelDescription = Place<TLabel>(tsItems, 4, 186, 200, 13);
  DescriptionLabel = Place<TLabel>(tsItems, 4, 202, 335, 30);
  DescriptionLabel->SetAutoSize(false);
  DescriptionLabel->SetWordWrap(true);

  // Options: the classic style's panel and the personalized one.
  StandardOptionsPanel = Place<TPanel>(tsOptions, 0, 0, 348, 238);
  StandardOptionsPanel->SetBevelOuter(bvNone);
  StandardOptionsPanel->SetCaption(AnsiString());
  CBLargeIcons = PlaceCheckBox(StandardOptionsPanel, 8, 8, dxSBAR_LARGEICONS);
  CBHint1 = PlaceCheckBox(StandardOptionsPanel, 8, 32, dxSBAR_HINTOPT1);
  CBHint2 = PlaceCheckBox(StandardOptionsPanel, 8, 56, dxSBAR_HINTOPT2);
  LabelMenuAnimations = Place<TLabel>(StandardOptionsPanel, 8, 87, 90, 13);
  ComboBoxMenuAnimations = Place<TComboBox>(StandardOptionsPanel, 100, 83, 100, 21);
  EnhancedOptionsPanel = Place<TPanel>(tsOptions, 0, 0, 348, 238);
  EnhancedOptionsPanel->SetBevelOuter(bvNone);
  EnhancedOptionsPanel->SetCaption(AnsiString());
  LabelPersonalized = Place<TLabel>(EnhancedOptionsPanel, 8, 6, 300, 13);
  CBMenusShowRecentItemsFirst = PlaceCheckBox(EnhancedOptionsPanel, 16, 26, dxSBAR_MENUSSHOWRECENTITEMS);
  CBShowFullMenusAfterDelay = PlaceCheckBox(EnhancedOptionsPanel, 32, 48, dxSBAR_SHOWFULLMENUSAFTERDELAY);
  BResetUsageData = Place<TButton>(EnhancedOptionsPanel, 16, 72, 130, 23);
  BResetUsageData->SetOnClick(TNotifyEvent(this, &TdxBarCustomizationForm::ResetUsageDataClick));
  LabelOther = Place<TLabel>(EnhancedOptionsPanel, 8, 106, 300, 13);
  CBLargeIconsEx = PlaceCheckBox(EnhancedOptionsPanel, 16, 126, dxSBAR_LARGEICONS);
  CBHint1Ex = PlaceCheckBox(EnhancedOptionsPanel, 16, 148, dxSBAR_HINTOPT1);
  CBHint2Ex = PlaceCheckBox(EnhancedOptionsPanel, 32, 170, dxSBAR_HINTOPT2);
  Label1 = Place<TLabel>(EnhancedOptionsPanel, 16, 198, 90, 13);
  ComboBoxMenuAnimationsEx = Place<TComboBox>(EnhancedOptionsPanel, 108, 194, 100, 21);
  for (TComboBox* combo : {ComboBoxMenuAnimations, ComboBoxMenuAnimationsEx}) {
    combo->SetStyle(csDropDownList);
    combo->SetOnChange(TNotifyEvent(this, &TdxBarCustomizationForm::MenuAnimationsChange));
  }
  for (TCheckBox* box : {CBLargeIcons, CBHint1, CBHint2, CBMenusShowRecentItemsFirst, CBShowFullMenusAfterDelay,
                         CBLargeIconsEx, CBHint1Ex, CBHint2Ex})
    box->SetOnClick(TNotifyEvent(this, &TdxBarCustomizationForm::OptionClick));

  AttachLists();
  InitControls();
  ApplyManagerStyle();
  PageControl->SetActivePage(tsToolbars);
}

void TdxBarCustomizationForm::InitControls() {
  TdxBarManager* manager = GetBarManager();
  BResetUsageData->SetEnabled(!manager->IsDesigning());
  BClose->SetCaption(GetLocalizedResourceString(&dxSBAR_CLOSE));
  UpdateHelpButton();
  BBarReset->SetVisible(!manager->IsDesigning() && manager->IsResetAllowed());
  LabelToobars->SetCaption(GetLocalizedResourceString(&dxSBAR_TOOLBARS));
  LabelToobars->SetFocusControl(lbBarsList);
  LabelCategories->SetCaption(GetLocalizedResourceString(&dxSBAR_CATEGORIES));
  LabelCommands->SetCaption(GetLocalizedResourceString(&dxSBAR_COMMANDS));
  LabelCommands->SetFocusControl(lbItems);
  LabelDescription->SetCaption(GetLocalizedResourceString(&dxSBAR_DESCRIPTION));
  LabelPersonalized->SetCaption(GetLocalizedResourceString(&dxSBAR_PERSMENUSANDTOOLBARS));
  LabelOther->SetCaption(GetLocalizedResourceString(&dxSBAR_OTHEROPTIONS));
  BResetUsageData->SetCaption(GetLocalizedResourceString(&dxSBAR_RESETUSAGEDATA));
  InitMenuAnimations(LabelMenuAnimations, ComboBoxMenuAnimations);
  InitMenuAnimations(Label1, ComboBoxMenuAnimationsEx);
}

// The label takes its caption, the combo keeps 10 pixels from it and is as wide as its widest
// animation name plus room for its button.
void TdxBarCustomizationForm::InitMenuAnimations(TLabel* label, TComboBox* combo) {
  label->SetCaption(GetLocalizedResourceString(&dxSBAR_MENUANIMATIONS));
  label->SetFocusControl(combo);
  const Integer labelRight = label->GetLeft() + label->GetWidth();
  if (combo->GetLeft() < labelRight + 10) combo->SetLeft(labelRight + 10);
  const TResStringRec* names[] = {&dxSBAR_MENUANIM1, &dxSBAR_MENUANIM2, &dxSBAR_MENUANIM3, &dxSBAR_MENUANIM4,
                                  &dxSBAR_MENUANIM5};
  TStrings* items = combo->GetItems();
  items->Clear();
  Integer widest = 0;
  TCanvas* canvas = GetCanvas();
  canvas->SetFont(combo->GetFont());
  for (const TResStringRec* name : names) {
    const AnsiString text = GetLocalizedResourceString(name);
    items->Add(text);
    widest = std::max(widest, canvas->TextWidth(text));
  }
  combo->SetWidth(widest + 54);
}

TButton* TdxBarCustomizationForm::GetToolbarButton(Integer index) const {
  switch (index) {
    case 0: return BBarNew;
    case 1: return BBarRename;
    case 2: return BBarDelete;
    default: return BBarReset;
  }
}

void TdxBarCustomizationForm::RefreshLists() {
  RefreshBarsList();
  RefreshCategoriesList();
  RefreshCommandsList();
  UpdateToolbarButtons();
}

void TdxBarCustomizationForm::SelectionChanged(TObject* sender) {
  inherited::SelectionChanged(sender);
  if (!GetComponentState().Contains(csDestroying)) UpdateToolbarButtons();
}

void TdxBarCustomizationForm::UpdateToolbarButtons() {
  if (BBarRename) BBarRename->SetEnabled(CanRenameSelectedToolBar());
}

void TdxBarCustomizationForm::SetDescription(const AnsiString& text) { DescriptionLabel->SetCaption(text); }

void TdxBarCustomizationForm::SetActivePageIndex(Integer index) {
  if (index >= 0 && index < PageControl->GetPageCount()) PageControl->SetActivePage(PageControl->GetPage(index));
}

void TdxBarCustomizationForm::UpdateHelpButton() { BHelp->SetVisible(GetBarManager()->GetShowHelpButton()); }

void TdxBarCustomizationForm::UpdateOptions() {
  TdxBarManager* manager = GetBarManager();
  orv::TFlagScope updating(FUpdatingOptions, true);
  const Boolean standard = manager->GetEffectiveStyle() == bmsStandard;
  StandardOptionsPanel->SetVisible(standard);
  EnhancedOptionsPanel->SetVisible(!standard);
  CBMenusShowRecentItemsFirst->SetChecked(manager->GetMenusShowRecentItemsFirst());
  CBShowFullMenusAfterDelay->SetChecked(manager->GetShowFullMenusAfterDelay());
  CBShowFullMenusAfterDelay->SetEnabled(CBMenusShowRecentItemsFirst->GetChecked());
  CBLargeIcons->SetChecked(manager->GetLargeIcons());
  CBLargeIconsEx->SetChecked(manager->GetLargeIcons());
  CBHint1->SetChecked(manager->GetShowHint());
  CBHint1Ex->SetChecked(manager->GetShowHint());
  CBHint2->SetChecked(manager->GetShowShortCutInHint());
  CBHint2Ex->SetChecked(manager->GetShowShortCutInHint());
  CBHint2Ex->SetEnabled(CBHint1Ex->GetChecked());
  ComboBoxMenuAnimations->SetItemIndex(Integer(manager->GetMenuAnimations()));
  ComboBoxMenuAnimationsEx->SetItemIndex(Integer(manager->GetMenuAnimations()));
}

void TdxBarCustomizationForm::MenuAnimationsChange(TObject* sender) {
  if (FUpdatingOptions) return;
  const Integer index = static_cast<TComboBox*>(sender)->GetItemIndex();
  if (index >= 0 && index <= Integer(maFade)) GetBarManager()->SetMenuAnimations(TdxBarMenuAnimations(index));
}

void TdxBarCustomizationForm::OptionClick(TObject* sender) {
  if (FUpdatingOptions) return;
  TdxBarManager* manager = GetBarManager();
  auto* box = static_cast<TCheckBox*>(sender);
  const Boolean checked = box->GetChecked();
  if (box == CBLargeIcons || box == CBLargeIconsEx) {
    manager->SetLargeIcons(checked);
  } else if (box == CBHint1 || box == CBHint1Ex) {
    if (box == CBHint1Ex) CBHint2Ex->SetEnabled(checked);
    manager->SetShowHint(checked);
  } else if (box == CBHint2 || box == CBHint2Ex) {
    manager->SetShowShortCutInHint(checked);
  } else if (box == CBMenusShowRecentItemsFirst) {
    CBShowFullMenusAfterDelay->SetEnabled(checked);
    manager->SetMenusShowRecentItemsFirst(checked);
  } else if (box == CBShowFullMenusAfterDelay) {
    manager->SetShowFullMenusAfterDelay(checked);
  }
}

void TdxBarCustomizationForm::CloseClick(TObject* sender) { Close(); }

void TdxBarCustomizationForm::ToolbarButtonClick(TObject* sender) {
  switch (static_cast<TComponent*>(sender)->GetTag()) {
    case 0: NewToolBar(); break;
    case 1: RenameSelectedToolBar(); break;
    case 2: DeleteSelectedToolBars(); break;
    case 3: ResetSelectedToolBar(); break;
    default: break;
  }
}

void TdxBarCustomizationForm::ResetUsageDataClick(TObject* sender) { GetBarManager()->ResetUsageDataWithConfirmation(); }
