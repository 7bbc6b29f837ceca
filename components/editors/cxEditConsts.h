// The editor framework's user-visible texts, registered with the string repository as one
// product group. Editors read them through GetLocalizedResourceString, so a replacement the
// application sets wins over the compiled text.
#pragma once

#include "components/foundation/dxCore.h"
#include "platform/runtime/AnsiString.h"

inline constexpr TResStringRec cxSEditButtonCancel{"Cancel"_a};
inline constexpr TResStringRec cxSEditButtonOK{"OK"_a};
inline constexpr TResStringRec cxSEditDateConvertError{"Could not convert to date"_a};
inline constexpr TResStringRec cxSEditInvalidRepositoryItem{"The repository item is not acceptable"_a};
inline constexpr TResStringRec cxSEditNumericValueConvertError{"Could not convert to numeric value"_a};
inline constexpr TResStringRec cxSEditPopupCircularReferencingError{"Circular referencing is not allowed"_a};
inline constexpr TResStringRec cxSEditPostError{"An error occured during posting edit value"_a};
inline constexpr TResStringRec cxSEditTimeConvertError{"Could not convert to time"_a};
inline constexpr TResStringRec cxSEditValidateErrorText{"Invalid input value. Use escape key to abandon changes"_a};
inline constexpr TResStringRec cxSEditValueOutOfBounds{"Value out of bounds"_a};
inline constexpr TResStringRec cxSEditCheckBoxChecked{"True"_a};
inline constexpr TResStringRec cxSEditCheckBoxGrayed{""_a};
inline constexpr TResStringRec cxSEditCheckBoxUnchecked{"False"_a};
inline constexpr TResStringRec cxSRadioGroupDefaultCaption{""_a};
inline constexpr TResStringRec cxSTextTrue{"True"_a};
inline constexpr TResStringRec cxSTextFalse{"False"_a};
inline constexpr TResStringRec cxSBlobButtonOK{"&OK"_a};
inline constexpr TResStringRec cxSBlobButtonCancel{"&Cancel"_a};
inline constexpr TResStringRec cxSBlobButtonClose{"&Close"_a};
inline constexpr TResStringRec cxSBlobMemo{"(MEMO)"_a};
inline constexpr TResStringRec cxSBlobMemoEmpty{"(memo)"_a};
inline constexpr TResStringRec cxSBlobPicture{"(PICTURE)"_a};
inline constexpr TResStringRec cxSBlobPictureEmpty{"(picture)"_a};
inline constexpr TResStringRec cxSMenuItemCaptionCut{"Cu&t"_a};
inline constexpr TResStringRec cxSMenuItemCaptionCopy{"&Copy"_a};
inline constexpr TResStringRec cxSMenuItemCaptionPaste{"&Paste"_a};
inline constexpr TResStringRec cxSMenuItemCaptionDelete{"&Delete"_a};
inline constexpr TResStringRec cxSMenuItemCaptionLoad{"&Load..."_a};
inline constexpr TResStringRec cxSMenuItemCaptionSave{"Save &As..."_a};
inline constexpr TResStringRec cxSDatePopupClear{"Clear"_a};
inline constexpr TResStringRec cxSDatePopupNow{"Now"_a};
inline constexpr TResStringRec cxSDatePopupOK{"OK"_a};
inline constexpr TResStringRec cxSDatePopupToday{"Today"_a};
inline constexpr TResStringRec cxSDateError{"Invalid Date"_a};
inline constexpr TResStringRec scxSCalcError{"Error"_a};
inline constexpr TResStringRec scxSHyperLinkPrefix{"http://"_a};
inline constexpr TResStringRec scxSHyperLinkDoubleSlash{"//"_a};
inline constexpr TResStringRec cxNavigatorHint_First{"First record"_a};
inline constexpr TResStringRec cxNavigatorHint_Prior{"Prior record"_a};
inline constexpr TResStringRec cxNavigatorHint_PriorPage{"Prior page"_a};
inline constexpr TResStringRec cxNavigatorHint_Next{"Next record"_a};
inline constexpr TResStringRec cxNavigatorHint_NextPage{"Next page"_a};
inline constexpr TResStringRec cxNavigatorHint_Last{"Last record"_a};
inline constexpr TResStringRec cxNavigatorHint_Insert{"Insert record"_a};
inline constexpr TResStringRec cxNavigatorHint_Append{"Append record"_a};
inline constexpr TResStringRec cxNavigatorHint_Delete{"Delete record"_a};
inline constexpr TResStringRec cxNavigatorHint_Edit{"Edit record"_a};
inline constexpr TResStringRec cxNavigatorHint_Post{"Post edit"_a};
inline constexpr TResStringRec cxNavigatorHint_Cancel{"Cancel edit"_a};
inline constexpr TResStringRec cxNavigatorHint_Refresh{"Refresh data"_a};
inline constexpr TResStringRec cxNavigatorHint_SaveBookmark{"Save Bookmark"_a};
inline constexpr TResStringRec cxNavigatorHint_GotoBookmark{"Goto Bookmark"_a};
inline constexpr TResStringRec cxNavigatorHint_Filter{"Filter data"_a};
inline constexpr TResStringRec cxNavigator_DeleteRecordQuestion{"Delete record?"_a};
inline constexpr TResStringRec scxSEditRepositoryBlobItem{"BlobEdit|Represents the BLOB editor"_a};
inline constexpr TResStringRec scxSEditRepositoryButtonItem{"ButtonEdit|Represents an edit control with embedded buttons"_a};
inline constexpr TResStringRec scxSEditRepositoryCalcItem{"CalcEdit|Represents an edit control with a dropdown calculator window"_a};
inline constexpr TResStringRec scxSEditRepositoryCheckBoxItem{"CheckBox|Represents a check box control that allows selecting an option"_a};
inline constexpr TResStringRec scxSEditRepositoryComboBoxItem{"ComboBox|Represents the combo box editor"_a};
inline constexpr TResStringRec scxSEditRepositoryCurrencyItem{"CurrencyEdit|Represents an editor enabling editing currency data"_a};
inline constexpr TResStringRec scxSEditRepositoryDateItem{"DateEdit|Represents an edit control with a dropdown calendar"_a};
inline constexpr TResStringRec scxSEditRepositoryHyperLinkItem{"HyperLink|Represents a text editor with hyperlink functionality"_a};
inline constexpr TResStringRec scxSEditRepositoryImageComboBoxItem{"ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown window"_a};
inline constexpr TResStringRec scxSEditRepositoryImageItem{"Image|Represents an image editor"_a};
inline constexpr TResStringRec scxSEditRepositoryLookupComboBoxItem{"LookupComboBox|Represents a lookup combo box control"_a};
inline constexpr TResStringRec scxSEditRepositoryMaskItem{"MaskEdit|Represents a generic masked edit control."_a};
inline constexpr TResStringRec scxSEditRepositoryMemoItem{"Memo|Represents an edit control that allows editing memo data"_a};
inline constexpr TResStringRec scxSEditRepositoryMRUItem{"MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown window"_a};
inline constexpr TResStringRec scxSEditRepositoryPopupItem{"PopupEdit|Represents an edit control with a dropdown list"_a};
inline constexpr TResStringRec scxSEditRepositorySpinItem{"SpinEdit|Represents a spin editor"_a};
inline constexpr TResStringRec scxSEditRepositoryRadioGroupItem{"RadioGroup|Represents a group of radio buttons"_a};
inline constexpr TResStringRec scxSEditRepositoryTextItem{"TextEdit|Represents a single line text editor"_a};
inline constexpr TResStringRec scxSEditRepositoryTimeItem{"TimeEdit|Represents an editor displaying time values"_a};
inline constexpr TResStringRec scxRegExprLine{"Line"_a};
inline constexpr TResStringRec scxRegExprChar{"Char"_a};
inline constexpr TResStringRec scxRegExprNotAssignedSourceStream{"The source stream is not assigned"_a};
inline constexpr TResStringRec scxRegExprEmptySourceStream{"The source stream is empty"_a};
inline constexpr TResStringRec scxRegExprCantUsePlusQuantifier{"The '+' quantifier cannot be applied here"_a};
inline constexpr TResStringRec scxRegExprCantUseStarQuantifier{"The '*' quantifier cannot be applied here"_a};
inline constexpr TResStringRec scxRegExprCantCreateEmptyAlt{"The alternative should not be empty"_a};
inline constexpr TResStringRec scxRegExprCantCreateEmptyBlock{"The block should not be empty"_a};
inline constexpr TResStringRec scxRegExprIllegalSymbol{"Illegal '%s'"_a};
inline constexpr TResStringRec scxRegExprIllegalQuantifier{"Illegal quantifier '%s'"_a};
inline constexpr TResStringRec scxRegExprNotSupportQuantifier{"The parameter quantifiers are not supported"_a};
inline constexpr TResStringRec scxRegExprIllegalIntegerValue{"Illegal integer value"_a};
inline constexpr TResStringRec scxRegExprTooBigReferenceNumber{"Too big reference number"_a};
inline constexpr TResStringRec scxRegExprCantCreateEmptyEnum{"Can't create empty enumeration"_a};
inline constexpr TResStringRec scxRegExprSubrangeOrder{"The starting character of the subrange must be less than the finishing one"_a};
inline constexpr TResStringRec scxRegExprHexNumberExpected0{"Hexadecimal number expected"_a};
inline constexpr TResStringRec scxRegExprHexNumberExpected{"Hexadecimal number expected but '%s' found"_a};
inline constexpr TResStringRec scxRegExprMissing{"Missing '%s'"_a};
inline constexpr TResStringRec scxRegExprUnnecessary{"Unnecessary '%s'"_a};
inline constexpr TResStringRec scxRegExprIncorrectSpace{"The space character is not allowed after '\\'"_a};
inline constexpr TResStringRec scxRegExprNotCompiled{"Regular expression is not compiled"_a};
inline constexpr TResStringRec scxRegExprIncorrectParameterQuantifier{"Incorrect parameter quantifier"_a};
inline constexpr TResStringRec scxRegExprCantUseParameterQuantifier{"The parameter quantifier cannot be applied here"_a};
inline constexpr TResStringRec scxMaskEditRegExprError{"Regular expression errors:"_a};
inline constexpr TResStringRec scxMaskEditInvalidEditValue{"The edit value is invalid"_a};
inline constexpr TResStringRec scxMaskEditNoMask{"None"_a};
inline constexpr TResStringRec scxMaskEditIllegalFileFormat{"Illegal file format"_a};
inline constexpr TResStringRec scxMaskEditEmptyMaskCollectionFile{"The mask collection file is empty"_a};
inline constexpr TResStringRec scxMaskEditMaskCollectionFiles{"Mask collection files"_a};
inline constexpr TResStringRec cxSSpinEditInvalidNumericValue{"Invalid numeric value"_a};

namespace orv {

// The name of the group in the string repository.
inline constexpr const char* kEditConstsProductName = "Editors Library";

// Registers the group once per run (unregistered at exit); every unit that includes this
// header starts it.
void StartEditConstsUnit();
inline const bool kEditConstsUnitStarted = (StartEditConstsUnit(), true);

}  // namespace orv
