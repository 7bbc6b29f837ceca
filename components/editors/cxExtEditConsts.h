// The texts of the editor collection's extension: repository item descriptions of the label,
// progress bar and other extended editors, check-group and check-list texts, registered with the
// string repository as a group of their own beside the editor texts.
#pragma once

#include "components/foundation/dxCore.h"
#include "platform/runtime/AnsiString.h"

inline constexpr TResStringRec scxSEditRepositoryColorComboBoxItem{"ColorComboBox |Represents a editor with color functionality"_a};
inline constexpr TResStringRec scxSEditRepositoryFontNameComboBoxItem{"FontNameComboBox |Represents a editor with font functionality"_a};
inline constexpr TResStringRec scxSEditRepositoryLabelItem{"Label|Represents a Label"_a};
inline constexpr TResStringRec scxSEditRepositoryProgressBarItem{"ProgressBar|Represents a ProgressBar"_a};
inline constexpr TResStringRec scxSEditRepositoryTrackBarItem{"TrackBar|Represents a TrackBar"_a};
inline constexpr TResStringRec scxSEditRepositorySpinButtonItem{"SpinButton|Represents a SpinButton"_a};
inline constexpr TResStringRec scxSEditRepositoryCheckComboBox{"CheckComboBox|Represents a CheckComboBox"_a};
inline constexpr TResStringRec scxSEditRepositoryShellComboBoxItem{"ShellComboBox|Represents a combo box with a dropdown shell tree view"_a};
inline constexpr TResStringRec scxSEditRepositoryCheckGroupItem{"CheckGroup|Represents a group of check boxes"_a};
inline constexpr TResStringRec scxUDAssociated{" is already associated with "_a};
inline constexpr TResStringRec scxHotZoneStyleMediaPlayer9{"MediaPlayer9"_a};
inline constexpr TResStringRec scxHotZoneStyleMediaPlayer8{"MediaPlayer8"_a};
inline constexpr TResStringRec scxHotZoneStyleXPTaskBar{"XPTaskBar"_a};
inline constexpr TResStringRec scxHotZoneStyleSimple{"Simple"_a};
inline constexpr TResStringRec scxLoadingFonts{"Loading ..."_a};
inline constexpr TResStringRec cxSEditCheckGroupCaptionStateDelimiter{": "_a};
inline constexpr TResStringRec cxSEditCheckGroupFilterColumnSeparator{"; "_a};
inline constexpr TResStringRec cxSEditCheckGroupChecked{"Checked"_a};
inline constexpr TResStringRec cxSEditCheckGroupGrayed{"Grayed"_a};
inline constexpr TResStringRec cxSEditCheckGroupUnchecked{"Unchecked"_a};
inline constexpr TResStringRec cxSCheckComboBoxStatesItemsPropertyDlgCaption{"cxCheckComboBox - CheckStates editor"_a};
inline constexpr TResStringRec cxSCheckControlIncorrectItemCount{"The number of items cannot be greater than 64, if the EditValueFormat is cvfInteger"_a};
inline constexpr TResStringRec cxSCheckGroupStatesItemsPropertyDlgCaption{"cxCheckGroup - CheckStates editor"_a};
inline constexpr TResStringRec cxSCheckComboBoxEmptySelectionText{"None selected"_a};
inline constexpr TResStringRec cxSColorComboBoxDefaultDescription{"Color not selected"_a};
inline constexpr TResStringRec cxSEditRichEditLibraryError{"Cannot load a RichEdit library"_a};
inline constexpr TResStringRec cxSEditRichEditLineInsertionError{"RichEdit line insertion error"_a};
inline constexpr TResStringRec cxSEditRichEditLoadFail{"Failed to Load Stream"_a};
inline constexpr TResStringRec cxSEditRichEditSaveFail{"Failed to Save Stream"_a};
inline constexpr TResStringRec cxSEditRichEditSelectionSaveFail{"Failed to selection Save Stream"_a};
inline constexpr TResStringRec cxSEditRichEditOleInterfaceFail{"RichEdit: failed to get IRichEditOle interface"_a};
inline constexpr TResStringRec cxSEditRichEditCallBackFail{"RichEdit: failed to set callback"_a};
inline constexpr TResStringRec cxSEditRichEditLinkFail{"RichEdit: cannot link to an invalid source"_a};
inline constexpr TResStringRec scxSEditRepositoryRichEditItem{"RichEdit|RichEdit control"_a};
inline constexpr TResStringRec cxSEditRichEditUndoCaption{"&Undo"_a};
inline constexpr TResStringRec cxSEditRichEditRedoCaption{"&Redo"_a};
inline constexpr TResStringRec cxSEditRichEditCutCaption{"Cu&t"_a};
inline constexpr TResStringRec cxSEditRichEditCopyCaption{"&Copy"_a};
inline constexpr TResStringRec cxSEditRichEditPasteCaption{"&Paste"_a};
inline constexpr TResStringRec cxSEditRichEditDeleteCaption{"&Delete"_a};
inline constexpr TResStringRec cxSEditRichEditSelectAllCaption{"Select &All"_a};

inline constexpr const char* kExtEditConstsProductName = "Editors Library Extensions";

namespace orv {
// Registers the group once per run (unregistered at exit).
void StartExtEditConstsUnit();
}  // namespace orv
