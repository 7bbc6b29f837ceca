// The filter builder dialog: a resizable modal form around a filter control linked to a filterable
// component, with buttons to open and save filter files, apply, accept or cancel. Its last place
// and size are kept for the rest of the run.
#pragma once

#include "components/filtercontrol/cxFilterControl.h"
#include "platform/controls/Forms.h"

class TcxButton;
class TcxLookAndFeel;
class TOpenDialog;
class TPanel;
class TSaveDialog;

using TcxFilterControlClass = orv::ClassOf<TcxCustomFilterControl>;

class TfmFilterControlDialog : public TForm {
  ORV_CLASS(TfmFilterControlDialog, TForm)
 public:
  // The components come from the form description "TfmFilterControlDialog".
  explicit TfmFilterControlDialog(TComponent* owner) : TForm(owner) {}

  void Initialize(const AnsiString& initialDir);
  void SetFileName(const AnsiString& name);
  TcxCustomFilterControl* GetFilterControl() const { return FFilterControl; }
  void SetFilterControl(TcxCustomFilterControl* value) { FFilterControl = value; }

  // ---- handlers ----
  void acApplyExecute(TObject* sender);
  void acOkExecute(TObject* sender);
  void acOpenExecute(TObject* sender);
  void acSaveExecute(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormKeyDown(TObject* sender, Word& key, TShiftState shift);
  void FormKeyPress(TObject* sender, char& key);

  TPanel* pnlBottom = nullptr;
  TcxButton* btOpen = nullptr;
  TcxButton* btSave = nullptr;
  TPanel* pnlBottomRight = nullptr;
  TcxButton* btOk = nullptr;
  TcxButton* btCancel = nullptr;
  TcxButton* btApply = nullptr;
  TOpenDialog* OpenDialog = nullptr;
  TSaveDialog* SaveDialog = nullptr;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  Boolean FHasOpenPopup = false;
  TcxCustomFilterControl* FFilterControl = nullptr;
};

// Opens the dialog with a TcxFilterControl; true when it closed with OK.
Boolean ShowFilterControlDialog(TComponent* linkComponent, TcxLookAndFeel* lookAndFeel = nullptr,
                                TColor color = clDefault, TFont* font = nullptr,
                                const AnsiString& initialDir = AnsiString(), TNotifyEvent showHandler = {},
                                TNotifyEvent applyHandler = {});
Boolean ExecuteFilterControlDialog(TcxFilterControlClass filterControlClass, TComponent* linkComponent,
                                   TcxLookAndFeel* lookAndFeel = nullptr, TColor color = clDefault,
                                   TFont* font = nullptr, const AnsiString& initialDir = AnsiString(),
                                   TNotifyEvent showHandler = {}, TNotifyEvent applyHandler = {});

namespace orv {
// The remembered bounds (all -1 before the first dialog closed); tests reset them.
void ResetFilterControlDialogBounds();
TRect FilterControlDialogBounds();
}  // namespace orv
