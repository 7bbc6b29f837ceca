#include "components/filtercontrol/cxFilterControlDialog.h"

#include <memory>

#include "components/editors/cxButtons.h"
#include "components/filtercontrol/cxFilterControlStrs.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Published.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {

const char* const kFilterControlDialogFormText =
    "object fmFilterControlDialog: TfmFilterControlDialog\n"
    "  Left = 300\n"
    "  Top = 200\n"
    "  BorderIcons = [biSystemMenu]\n"
    "  Caption = 'Filter builder'\n"
    "  ClientHeight = 316\n"
    "  ClientWidth = 552\n"
    "  Color = clBtnFace\n"
    "  Constraints.MinHeight = 165\n"
    "  Constraints.MinWidth = 560\n"
    "  Font.Charset = DEFAULT_CHARSET\n"
    "  Font.Color = clWindowText\n"
    "  Font.Height = -11\n"
    "  Font.Name = 'MS Sans Serif'\n"
    "  Font.Style = []\n"
    "  KeyPreview = True\n"
    "  Position = poDefaultPosOnly\n"
    "  OnClose = FormClose\n"
    "  OnKeyDown = FormKeyDown\n"
    "  OnKeyPress = FormKeyPress\n"
    "  PixelsPerInch = 96\n"
    "  object pnlBottom: TPanel\n"
    "    Left = 0\n"
    "    Top = 278\n"
    "    Width = 552\n"
    "    Height = 38\n"
    "    Align = alBottom\n"
    "    BevelOuter = bvNone\n"
    "    TabOrder = 0\n"
    "    object btOpen: TcxButton\n"
    "      Left = 6\n"
    "      Top = 8\n"
    "      Width = 100\n"
    "      Height = 23\n"
    "      Hint = 'Open|Opens an existing filter'\n"
    "      Caption = '&Open...'\n"
    "      TabOrder = 0\n"
    "      OnClick = acOpenExecute\n"
    "    end\n"
    "    object btSave: TcxButton\n"
    "      Left = 112\n"
    "      Top = 8\n"
    "      Width = 100\n"
    "      Height = 23\n"
    "      Hint = 'Save As|Saves the active filter with a new name'\n"
    "      Caption = 'Save &As...'\n"
    "      TabOrder = 1\n"
    "      OnClick = acSaveExecute\n"
    "    end\n"
    "    object pnlBottomRight: TPanel\n"
    "      Left = 234\n"
    "      Top = 0\n"
    "      Width = 318\n"
    "      Height = 38\n"
    "      Align = alRight\n"
    "      BevelOuter = bvNone\n"
    "      TabOrder = 2\n"
    "      object btOk: TcxButton\n"
    "        Left = 0\n"
    "        Top = 8\n"
    "        Width = 100\n"
    "        Height = 23\n"
    "        Caption = 'Ok'\n"
    "        ModalResult = 1\n"
    "        TabOrder = 0\n"
    "        OnClick = acOkExecute\n"
    "      end\n"
    "      object btCancel: TcxButton\n"
    "        Left = 106\n"
    "        Top = 8\n"
    "        Width = 100\n"
    "        Height = 23\n"
    "        Cancel = True\n"
    "        Caption = 'Cancel'\n"
    "        ModalResult = 2\n"
    "        TabOrder = 1\n"
    "      end\n"
    "      object btApply: TcxButton\n"
    "        Left = 212\n"
    "        Top = 8\n"
    "        Width = 100\n"
    "        Height = 23\n"
    "        Caption = 'Apply'\n"
    "        TabOrder = 2\n"
    "        OnClick = acApplyExecute\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "  object OpenDialog: TOpenDialog\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "  end\n"
    "  object SaveDialog: TSaveDialog\n"
    "    Options = [ofOverwritePrompt, ofHideReadOnly, ofEnableSizing]\n"
    "    Left = 40\n"
    "    Top = 8\n"
    "  end\n"
    "end\n";

struct TFilterControlDialogDescription {
  TFilterControlDialogDescription() {
    orv::RegisterFormDescription("TfmFilterControlDialog", kFilterControlDialogFormText);
  }
};
const TFilterControlDialogDescription kFilterControlDialogDescription;

// The bounds of the last dialog, kept for the run.
TRect& RememberedBounds() {
  static TRect bounds{-1, -1, -1, -1};  // left, top, width, height
  return bounds;
}

}  // namespace

void orv::ResetFilterControlDialogBounds() { RememberedBounds() = TRect{-1, -1, -1, -1}; }
TRect orv::FilterControlDialogBounds() { return RememberedBounds(); }

void TfmFilterControlDialog::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.Style |= WS_POPUP;
}

void TfmFilterControlDialog::SetFileName(const AnsiString& name) {
  SaveDialog->SetFileName(name);
  SetCaption(Format("%s - [%s]", {GetLocalizedResourceString(&cxSFilterControlDialogCaption), name}));
}

void TfmFilterControlDialog::Initialize(const AnsiString& initialDir) {
  SetFileName(GetLocalizedResourceString(&cxSFilterControlDialogNewFile));
  OpenDialog->SetInitialDir(initialDir);
  OpenDialog->SetTitle(GetLocalizedResourceString(&cxSFilterControlDialogOpenDialogCaption));
  OpenDialog->SetDefaultExt(GetLocalizedResourceString(&cxSFilterControlDialogFileExt));
  OpenDialog->SetFilter(GetLocalizedResourceString(&cxSFilterControlDialogFileFilter));
  SaveDialog->SetInitialDir(initialDir);
  SaveDialog->SetTitle(GetLocalizedResourceString(&cxSFilterControlDialogSaveDialogCaption));
  SaveDialog->SetDefaultExt(OpenDialog->GetDefaultExt());
  SaveDialog->SetFilter(OpenDialog->GetFilter());
  btSave->SetCaption(GetLocalizedResourceString(&cxSFilterControlDialogActionSaveCaption));
  btOpen->SetCaption(GetLocalizedResourceString(&cxSFilterControlDialogActionOpenCaption));
  btApply->SetCaption(GetLocalizedResourceString(&cxSFilterControlDialogActionApplyCaption));
  btOk->SetCaption(GetLocalizedResourceString(&cxSFilterControlDialogActionOkCaption));
  btCancel->SetCaption(GetLocalizedResourceString(&cxSFilterControlDialogActionCancelCaption));
  FFilterControl->SetAlign(alClient);
  FFilterControl->SetParent(this);
  const TRect& remembered = RememberedBounds();
  if (remembered.Left == -1 || remembered.Top == -1) {
    SetPosition(poScreenCenter);
  } else {
    SetPosition(poDesigned);
    SetBounds(remembered.Left, remembered.Top, GetWidth(), GetHeight());
  }
  if (remembered.Right > 0 && remembered.Bottom > 0)
    SetBounds(GetLeft(), GetTop(), remembered.Right, remembered.Bottom);
}

void TfmFilterControlDialog::acApplyExecute(TObject* sender) { FFilterControl->ApplyFilter(); }

void TfmFilterControlDialog::acOkExecute(TObject* sender) {
  // A rejected value raises here, before the button's modal result closes the dialog.
  FFilterControl->ApplyFilter();
}

void TfmFilterControlDialog::acOpenExecute(TObject* sender) {
  OpenDialog->SetFileName(AnsiString());
  if (!OpenDialog->Execute()) return;
  FFilterControl->LoadFromFile(OpenDialog->GetFileName());
  SetFileName(OpenDialog->GetFileName());
}

void TfmFilterControlDialog::acSaveExecute(TObject* sender) {
  if (!SaveDialog->Execute()) return;
  FFilterControl->SaveToFile(SaveDialog->GetFileName());
  SetFileName(SaveDialog->GetFileName());
}

void TfmFilterControlDialog::FormClose(TObject* sender, TCloseAction& action) {
  RememberedBounds() = TRect{GetLeft(), GetTop(), GetWidth(), GetHeight()};
}

void TfmFilterControlDialog::FormKeyDown(TObject* sender, Word& key, TShiftState shift) {
  FHasOpenPopup = false;
  for (TWinControl* control = GetActiveControl(); control; control = control->GetParent())
    if (auto* container = dynamic_cast<TcxContainer*>(control); container && container->HasOpenPopup()) {
      FHasOpenPopup = true;
      break;
    }
}

void TfmFilterControlDialog::FormKeyPress(TObject* sender, char& key) {
  if (key == 27 && !FHasOpenPopup) {
    key = 0;
    SetModalResult(mrCancel);
  }
}

Boolean ExecuteFilterControlDialog(TcxFilterControlClass filterControlClass, TComponent* linkComponent,
                                   TcxLookAndFeel* lookAndFeel, TColor color, TFont* font,
                                   const AnsiString& initialDir, TNotifyEvent showHandler,
                                   TNotifyEvent applyHandler) {
  std::unique_ptr<TfmFilterControlDialog, orv::FreeDeleter> dialog(new TfmFilterControlDialog(Application));
  dialog->AfterConstruction();
  std::unique_ptr<TcxCustomFilterControl, orv::FreeDeleter> control(filterControlClass.Create(nullptr));
  dialog->SetFilterControl(control.get());
  if (lookAndFeel) {
    for (TcxButton* button : {dialog->btOpen, dialog->btSave, dialog->btOk, dialog->btCancel, dialog->btApply})
      button->GetLookAndFeel()->SetMaster(lookAndFeel);
    control->GetLookAndFeel()->SetMaster(lookAndFeel);
  }
  if (font) ApplyFontToForm(dialog.get(), font);
  if (auto* linkable = Supports<IcxFilterControlDialog>(control.get())) linkable->SetDialogLinkComponent(linkComponent);
  if (color != clDefault) control->SetColor(color);
  dialog->pnlBottom->SetColor(control->GetColor());
  dialog->pnlBottomRight->SetColor(control->GetColor());
  control->SetOnApplyFilter(applyHandler);
  dialog->Initialize(initialDir);
  dialog->SetOnShow(showHandler);
  const Boolean ok = dialog->ShowModal() == mrOk;
  // The control goes before the dialog that parents it.
  control->SetParent(nullptr);
  control.reset();
  return ok;
}

Boolean ShowFilterControlDialog(TComponent* linkComponent, TcxLookAndFeel* lookAndFeel, TColor color, TFont* font,
                                const AnsiString& initialDir, TNotifyEvent showHandler, TNotifyEvent applyHandler) {
  return ExecuteFilterControlDialog(TcxFilterControl::StaticClass(), linkComponent, lookAndFeel, color, font,
                                    initialDir, showHandler, applyHandler);
}

ORV_PUBLISH(TfmFilterControlDialog) {
  using T = TfmFilterControlDialog;
  p.Method("acApplyExecute", &T::acApplyExecute);
  p.Method("acOkExecute", &T::acOkExecute);
  p.Method("acOpenExecute", &T::acOpenExecute);
  p.Method("acSaveExecute", &T::acSaveExecute);
  p.Method("FormClose", &T::FormClose);
  p.Method("FormKeyDown", &T::FormKeyDown);
  p.Method("FormKeyPress", &T::FormKeyPress);
  p.Field("pnlBottom", &T::pnlBottom);
  p.Field("btOpen", &T::btOpen);
  p.Field("btSave", &T::btSave);
  p.Field("pnlBottomRight", &T::pnlBottomRight);
  p.Field("btOk", &T::btOk);
  p.Field("btCancel", &T::btCancel);
  p.Field("btApply", &T::btApply);
  p.Field("OpenDialog", &T::OpenDialog);
  p.Field("SaveDialog", &T::SaveDialog);
}
