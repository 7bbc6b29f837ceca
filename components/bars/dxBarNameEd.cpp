#include "components/bars/dxBarNameEd.h"

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCustomCustomizationForm.h"
#include "components/bars/dxBarStrs.h"
#include "platform/controls/StdCtrls.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windowing/User.h"

namespace {
TdxBarNameEd* gActiveNameEditor = nullptr;
}  // namespace

TdxBarNameEd* GetActiveNameEditor() { return gActiveNameEditor; }

TdxBarNameEd::TdxBarNameEd(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{});
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetColor(clBtnFace);
  SetClientWidth(266);
  SetClientHeight(87);
  SetOnCloseQuery(TCloseQueryEvent(this, &TdxBarNameEd::FormCloseQuery));
  LName = new TLabel(this);
  LName->SetParent(this);
  LName->SetBounds(8, 8, 250, 13);
  EName = new TEdit(this);
  EName->SetParent(this);
  EName->SetBounds(8, 27, 251, 21);
  EName->SetTabOrder(0);
  EName->SetOnChange(TNotifyEvent(this, &TdxBarNameEd::ENameChange));
  LName->SetFocusControl(EName);
  BOK = new TButton(this);
  BOK->SetParent(this);
  BOK->SetBounds(106, 58, 73, 23);
  BOK->SetDefault(true);
  BOK->SetModalResult(mrOk);
  BOK->SetTabOrder(1);
  BCancel = new TButton(this);
  BCancel->SetParent(this);
  BCancel->SetBounds(186, 58, 73, 23);
  BCancel->SetCancel(true);
  BCancel->SetModalResult(mrCancel);
  BCancel->SetTabOrder(2);
}

void TdxBarNameEd::ENameChange(TObject* sender) { BOK->SetEnabled(!EName->GetText().empty()); }

void TdxBarNameEd::FormCloseQuery(TObject* sender, bool& canClose) {
  if (GetModalResult() != mrOk || FKind != 0 || !FManager) return;
  // Two toolbars never share a caption; a toolbar keeps its own.
  const AnsiString text = EName->GetText();
  TdxBar* other = FManager->GetBarByCaption(text);
  if (!other || other == FBar) return;
  canClose = false;
  Application->MessageBox(Format(GetLocalizedResourceString(&dxSBAR_TOOLBAREXISTS), {text}), Application->GetTitle(),
                          MB_ICONERROR);
}

Boolean ShowNameEditor(AnsiString& name, Integer kind, Integer mode, TdxBar* bar, TdxBarManager* manager) {
  auto* dialog = new TdxBarNameEd(nullptr);
  dialog->AfterConstruction();
  TdxBarNameEd* previous = gActiveNameEditor;
  gActiveNameEditor = dialog;
  Boolean result = false;
  try {
    ApplyManagerFont(dialog, manager);
    dialog->FKind = kind;
    dialog->FManager = manager;
    dialog->FBar = bar;
    const TResStringRec* caption = nullptr;
    if (kind != 0) {
      if (mode == 0) caption = &dxSBAR_CATEGORYADD;
      else if (mode == 1) caption = &dxSBAR_CATEGORYINSERT;
      else if (mode == 2) caption = &dxSBAR_CATEGORYRENAME;
      dialog->LName->SetCaption(GetLocalizedResourceString(&dxSBAR_CATEGORYNAME));
    } else {
      if (mode == 0) caption = &dxSBAR_TOOLBARADD;
      else if (mode == 1) caption = &dxSBAR_TOOLBARRENAME;
      dialog->LName->SetCaption(GetLocalizedResourceString(&dxSBAR_TOOLBARNAME));
    }
    dialog->SetCaption(caption ? GetLocalizedResourceString(caption) : AnsiString());
    dialog->EName->SetText(name);
    dialog->BOK->SetCaption(GetLocalizedResourceString(&dxSBAR_OK));
    dialog->BOK->SetEnabled(!name.empty());
    dialog->BCancel->SetCaption(GetLocalizedResourceString(&dxSBAR_CANCEL));
    dialog->SetActiveControl(dialog->EName);
    if (dialog->ShowModal() == mrOk) {
      name = dialog->EName->GetText();
      result = true;
    }
  } catch (...) {
    gActiveNameEditor = previous;
    dialog->Free();
    throw;
  }
  gActiveNameEditor = previous;
  dialog->Free();
  return result;
}
