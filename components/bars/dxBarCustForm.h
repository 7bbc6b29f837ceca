// The customization form of the bars: the Toolbars page (show, hide, create, delete and reset
// toolbars), the Commands page (the commands of each category, dragged from there onto bars)
// and the Options page (the manager's menu and hint options).
#pragma once

#include "components/bars/dxBarCustomCustomizationForm.h"

class TButton;
class TCheckBox;
class TComboBox;
class TLabel;
class TPanel;
class TcxPageControl;
class TcxTabSheet;

class TdxBarCustomizationForm : public TdxBarCustomCustomizationForm {
  ORV_CLASS(TdxBarCustomizationForm, TdxBarCustomCustomizationForm)
 public:
  explicit TdxBarCustomizationForm(TdxBarManager* barManager);

  TListBox* GetBarsListBox() override { return lbBarsList; }
  TListBox* GetCategoriesListBox() override { return lbCategories; }
  TListBox* GetCommandsListBox() override { return lbItems; }
  void RefreshLists() override;
  void InitControls() override;
  void SetDescription(const AnsiString& text) override;
  void SetActivePageIndex(Integer index) override;
  void ShowCommandsPage() override { SetActivePageIndex(1); }
  void UpdateHelpButton() override;
  void UpdateOptions() override;
  void SelectionChanged(TObject* sender) override;

  TcxPageControl* GetPageControl() const { return PageControl; }
  TButton* GetCloseButton() const { return BClose; }
  TButton* GetResetUsageDataButton() const { return BResetUsageData; }
  TPanel* GetStandardOptionsPanel() const { return StandardOptionsPanel; }
  TPanel* GetEnhancedOptionsPanel() const { return EnhancedOptionsPanel; }
  TCheckBox* GetShowHintCheckBox(Boolean enhanced) const { return enhanced ? CBHint1Ex : CBHint1; }
  TCheckBox* GetShortCutsInHintCheckBox(Boolean enhanced) const { return enhanced ? CBHint2Ex : CBHint2; }
  TCheckBox* GetRecentItemsFirstCheckBox() const { return CBMenusShowRecentItemsFirst; }
  TCheckBox* GetFullMenusAfterDelayCheckBox() const { return CBShowFullMenusAfterDelay; }
  TButton* GetToolbarButton(Integer index) const;
  TComboBox* GetMenuAnimationsComboBox(Boolean enhanced) const {
    return enhanced ? ComboBoxMenuAnimationsEx : ComboBoxMenuAnimations;
  }

 private:
  void OptionClick(TObject* sender);
  void CloseClick(TObject* sender);
  void ToolbarButtonClick(TObject* sender);
  void ResetUsageDataClick(TObject* sender);
  void MenuAnimationsChange(TObject* sender);
  void InitMenuAnimations(TLabel* label, TComboBox* combo);
  // Rename only for a toolbar the user may rename.
  void UpdateToolbarButtons();
  Boolean FUpdatingOptions = false;
  TPanel* Panel1 = nullptr;
  TButton* BClose = nullptr;
  TButton* BHelp = nullptr;
  TcxPageControl* PageControl = nullptr;
  TcxTabSheet* tsToolbars = nullptr;
  TcxTabSheet* tsItems = nullptr;
  TcxTabSheet* tsOptions = nullptr;
  TLabel* LabelToobars = nullptr;
  TListBox* lbBarsList = nullptr;
  TButton* BBarNew = nullptr;
  TButton* BBarRename = nullptr;
  TButton* BBarDelete = nullptr;
  TButton* BBarReset = nullptr;
  TLabel* LabelCategories = nullptr;
  TLabel* LabelCommands = nullptr;
  TListBox* lbCategories = nullptr;
  TListBox* lbItems = nullptr;
  TLabel* LabelDescription = nullptr;
  TLabel* DescriptionLabel = nullptr;
  TPanel* StandardOptionsPanel = nullptr;
  TCheckBox* CBLargeIcons = nullptr;
  TCheckBox* CBHint1 = nullptr;
  TCheckBox* CBHint2 = nullptr;
  TLabel* LabelMenuAnimations = nullptr;
  TComboBox* ComboBoxMenuAnimations = nullptr;
  TPanel* EnhancedOptionsPanel = nullptr;
  TLabel* LabelPersonalized = nullptr;
  TCheckBox* CBMenusShowRecentItemsFirst = nullptr;
  TCheckBox* CBShowFullMenusAfterDelay = nullptr;
  TButton* BResetUsageData = nullptr;
  TLabel* LabelOther = nullptr;
  TCheckBox* CBLargeIconsEx = nullptr;
  TCheckBox* CBHint1Ex = nullptr;
  TCheckBox* CBHint2Ex = nullptr;
  TLabel* Label1 = nullptr;
  TComboBox* ComboBoxMenuAnimationsEx = nullptr;
};

// Makes the customization form of a manager (the default form factory).
TdxBarCustomCustomizationForm* CreateBarCustomizationForm(TdxBarManager* barManager);
