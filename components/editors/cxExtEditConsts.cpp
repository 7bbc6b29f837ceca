#include "components/editors/cxExtEditConsts.h"

namespace {

void AddExtEditResourceStrings(TdxProductResourceStrings* product) {
  product->AddResourceString("scxSEditRepositoryColorComboBoxItem", &scxSEditRepositoryColorComboBoxItem);
  product->AddResourceString("scxSEditRepositoryFontNameComboBoxItem", &scxSEditRepositoryFontNameComboBoxItem);
  product->AddResourceString("scxSEditRepositoryLabelItem", &scxSEditRepositoryLabelItem);
  product->AddResourceString("scxSEditRepositoryProgressBarItem", &scxSEditRepositoryProgressBarItem);
  product->AddResourceString("scxSEditRepositoryTrackBarItem", &scxSEditRepositoryTrackBarItem);
  product->AddResourceString("scxSEditRepositorySpinButtonItem", &scxSEditRepositorySpinButtonItem);
  product->AddResourceString("scxSEditRepositoryCheckComboBox", &scxSEditRepositoryCheckComboBox);
  product->AddResourceString("scxSEditRepositoryShellComboBoxItem", &scxSEditRepositoryShellComboBoxItem);
  product->AddResourceString("scxSEditRepositoryCheckGroupItem", &scxSEditRepositoryCheckGroupItem);
  product->AddResourceString("scxUDAssociated", &scxUDAssociated);
  product->AddResourceString("scxHotZoneStyleMediaPlayer9", &scxHotZoneStyleMediaPlayer9);
  product->AddResourceString("scxHotZoneStyleMediaPlayer8", &scxHotZoneStyleMediaPlayer8);
  product->AddResourceString("scxHotZoneStyleXPTaskBar", &scxHotZoneStyleXPTaskBar);
  product->AddResourceString("scxHotZoneStyleSimple", &scxHotZoneStyleSimple);
  product->AddResourceString("scxLoadingFonts", &scxLoadingFonts);
  product->AddResourceString("cxSEditCheckGroupCaptionStateDelimiter", &cxSEditCheckGroupCaptionStateDelimiter);
  product->AddResourceString("cxSEditCheckGroupFilterColumnSeparator", &cxSEditCheckGroupFilterColumnSeparator);
  product->AddResourceString("cxSEditCheckGroupChecked", &cxSEditCheckGroupChecked);
  product->AddResourceString("cxSEditCheckGroupGrayed", &cxSEditCheckGroupGrayed);
  product->AddResourceString("cxSEditCheckGroupUnchecked", &cxSEditCheckGroupUnchecked);
  product->AddResourceString("cxSCheckComboBoxStatesItemsPropertyDlgCaption", &cxSCheckComboBoxStatesItemsPropertyDlgCaption);
  product->AddResourceString("cxSCheckControlIncorrectItemCount", &cxSCheckControlIncorrectItemCount);
  product->AddResourceString("cxSCheckGroupStatesItemsPropertyDlgCaption", &cxSCheckGroupStatesItemsPropertyDlgCaption);
  product->AddResourceString("cxSCheckComboBoxEmptySelectionText", &cxSCheckComboBoxEmptySelectionText);
  product->AddResourceString("cxSColorComboBoxDefaultDescription", &cxSColorComboBoxDefaultDescription);
  product->AddResourceString("cxSEditRichEditLibraryError", &cxSEditRichEditLibraryError);
  product->AddResourceString("cxSEditRichEditLineInsertionError", &cxSEditRichEditLineInsertionError);
  product->AddResourceString("cxSEditRichEditLoadFail", &cxSEditRichEditLoadFail);
  product->AddResourceString("cxSEditRichEditSaveFail", &cxSEditRichEditSaveFail);
  product->AddResourceString("cxSEditRichEditSelectionSaveFail", &cxSEditRichEditSelectionSaveFail);
  product->AddResourceString("cxSEditRichEditOleInterfaceFail", &cxSEditRichEditOleInterfaceFail);
  product->AddResourceString("cxSEditRichEditCallBackFail", &cxSEditRichEditCallBackFail);
  product->AddResourceString("cxSEditRichEditLinkFail", &cxSEditRichEditLinkFail);
  product->AddResourceString("scxSEditRepositoryRichEditItem", &scxSEditRepositoryRichEditItem);
  product->AddResourceString("cxSEditRichEditUndoCaption", &cxSEditRichEditUndoCaption);
  product->AddResourceString("cxSEditRichEditRedoCaption", &cxSEditRichEditRedoCaption);
  product->AddResourceString("cxSEditRichEditCutCaption", &cxSEditRichEditCutCaption);
  product->AddResourceString("cxSEditRichEditCopyCaption", &cxSEditRichEditCopyCaption);
  product->AddResourceString("cxSEditRichEditPasteCaption", &cxSEditRichEditPasteCaption);
  product->AddResourceString("cxSEditRichEditDeleteCaption", &cxSEditRichEditDeleteCaption);
  product->AddResourceString("cxSEditRichEditSelectAllCaption", &cxSEditRichEditSelectAllCaption);
}

}  // namespace

void orv::StartExtEditConstsUnit() {
  static TResourceStringsUnit unit(kExtEditConstsProductName, &AddExtEditResourceStrings);
}
