// Dialogs: the open and save file dialogs (our own modal form: folder, file list, file name,
// file type; the overwrite and must-exist checks) and the message dialog.
//
// Tests answer file dialogs without showing them through orv::SetFileDialogHandler, or drive
// the dialog form itself (its controls are named: FolderLabel, FileList, FileNameEdit,
// FilterList, OkButton, CancelButton).
#pragma once

#include <functional>

#include "platform/controls/Forms.h"

enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
  ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
  ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
  ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing,
  ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = orv::Set<TOpenOption>;

class TCommonDialog : public TComponent {
  ORV_CLASS(TCommonDialog, TComponent)
 public:
  explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
  // Shows the dialog; true when the user confirmed it.
  virtual bool Execute() = 0;
  THelpContext GetHelpContext() const { return FHelpContext; }
  void SetHelpContext(THelpContext value) { FHelpContext = value; }
  TNotifyEvent GetOnShow() const { return FOnShow; }
  void SetOnShow(TNotifyEvent value) { FOnShow = value; }
  TNotifyEvent GetOnClose() const { return FOnClose; }
  void SetOnClose(TNotifyEvent value) { FOnClose = value; }

 protected:
  void DoShow() {
    if (FOnShow) FOnShow(this);
  }
  void DoClose() {
    if (FOnClose) FOnClose(this);
  }

 private:
  THelpContext FHelpContext = 0;
  TNotifyEvent FOnShow;
  TNotifyEvent FOnClose;
};

class TOpenDialog : public TCommonDialog {
  ORV_CLASS(TOpenDialog, TCommonDialog)
 public:
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;

  bool Execute() override;

  const AnsiString& GetFileName() const { return FFileName; }
  void SetFileName(const AnsiString& value) { FFileName = value; }
  // The chosen files (one unless ofAllowMultiSelect).
  TStrings* GetFiles() const { return FFiles; }
  // "Description|*.ext;*.ext2|Description 2|*.x".
  const AnsiString& GetFilter() const { return FFilter; }
  void SetFilter(const AnsiString& value) { FFilter = value; }
  // 1 for the first filter.
  Integer GetFilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(Integer value) { FFilterIndex = value; }
  const AnsiString& GetInitialDir() const { return FInitialDir; }
  void SetInitialDir(const AnsiString& value) { FInitialDir = value; }
  // Added (with a dot) to a name typed without an extension.
  const AnsiString& GetDefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const AnsiString& value) { FDefaultExt = value; }
  const AnsiString& GetTitle() const { return FTitle; }
  void SetTitle(const AnsiString& value) { FTitle = value; }
  TOpenOptions GetOptions() const { return FOptions; }
  void SetOptions(TOpenOptions value) { FOptions = value; }
  TCloseQueryEvent GetOnCanClose() const { return FOnCanClose; }
  void SetOnCanClose(TCloseQueryEvent value) { FOnCanClose = value; }

 protected:
  virtual bool IsSaveDialog() const { return false; }
  bool DoExecute();

 private:
  AnsiString FFileName;
  TStrings* FFiles;
  AnsiString FFilter;
  Integer FFilterIndex = 1;
  AnsiString FInitialDir;
  AnsiString FDefaultExt;
  AnsiString FTitle;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
  TCloseQueryEvent FOnCanClose;
};

class TSaveDialog : public TOpenDialog {
  ORV_CLASS(TSaveDialog, TOpenDialog)
 public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

 protected:
  bool IsSaveDialog() const override { return true; }
};

namespace orv {

// Answers file dialogs instead of showing them (tests): the handler gets the dialog, whether it
// saves, and the file name to fill in; its answer is Execute's. An empty handler removes it.
using TFileDialogHandler = std::function<bool(TOpenDialog* dialog, bool save, AnsiString& fileName)>;
void SetFileDialogHandler(TFileDialogHandler handler);

// Whether a file name matches a mask of the filter ("*.txt", "data?.*"; ASCII case ignored).
bool MatchesFileMask(const AnsiString& name, const AnsiString& mask);

}  // namespace orv

// ---- Message dialog ---------------------------------------------------------------------------

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = orv::Set<TMsgDlgBtn>;

// A dialog form with the type's icon and caption, the message and one button per kind (each
// with its modal result); the first button is the default, Cancel or No the cancel button.
TForm* CreateMessageDialog(const AnsiString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons);
// Shows it modally; answers the modal result of the button pressed.
Integer MessageDlg(const AnsiString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, LongInt helpCtx = 0);
void ShowMessage(const AnsiString& msg);
