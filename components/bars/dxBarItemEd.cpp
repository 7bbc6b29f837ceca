#include "components/bars/dxBarItemEd.h"

#include "components/bars/dxBar.h"
#include "components/bars/dxBarCustomCustomizationForm.h"
#include "components/bars/dxBarStrs.h"
#include "platform/controls/StdCtrls.h"
#include "platform/runtime/Exceptions.h"

namespace {
TdxBarItemAddEditor* gActiveItemAddEditor = nullptr;

template <class T>
T* Place(TWinControl* parent, Integer left, Integer top, Integer width, Integer height) {
  auto* control = new T(parent);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

TLabel* PlaceLabel(TWinControl* parent, Integer top, const char* caption) {
  auto* label = Place<TLabel>(parent, 8, top, 47, 13);
  label->SetAutoSize(false);
  label->SetCaption(caption);
  return label;
}
}  // namespace

TdxBarItemAddEditor* GetActiveItemAddEditor() { return gActiveItemAddEditor; }

TdxBarItemAddEditor::TdxBarItemAddEditor(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsDialog);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetClientWidth(263);
  SetClientHeight(150);
  SetCaption(AnsiString("Add New ") + orv::kBarStringsProductName + " Item");
  SetOnShow(TNotifyEvent(this, &TdxBarItemAddEditor::FormShow));
  LType = PlaceLabel(this, 12, "Type:");
  LCategory = PlaceLabel(this, 40, "Category:");
  LName = PlaceLabel(this, 68, "Name:");
  LCaption = PlaceLabel(this, 96, "Caption:");
  ComboBox1 = Place<TComboBox>(this, 62, 8, 194, 21);
  ComboBox1->SetStyle(csDropDownList);
  ComboBox1->SetDropDownCount(100);
  ComboBox1->SetTabOrder(0);
  ComboBox1->SetOnClick(TNotifyEvent(this, &TdxBarItemAddEditor::ComboBox1Click));
  ComboBox2 = Place<TComboBox>(this, 62, 36, 194, 21);
  ComboBox2->SetStyle(csDropDownList);
  ComboBox2->SetTabOrder(1);
  Edit1 = Place<TEdit>(this, 62, 64, 194, 21);
  Edit1->SetTabOrder(2);
  Edit2 = Place<TEdit>(this, 62, 92, 194, 21);
  Edit2->SetTabOrder(3);
  Edit2->SetText("New Item");
  BOk = Place<TButton>(this, 100, 122, 73, 23);
  BOk->SetCaption("OK");
  BOk->SetDefault(true);
  BOk->SetModalResult(mrOk);
  BOk->SetTabOrder(4);
  BOk->SetOnClick(TNotifyEvent(this, &TdxBarItemAddEditor::BOkClick));
  BCancel = Place<TButton>(this, 184, 122, 73, 23);
  BCancel->SetCaption("Cancel");
  BCancel->SetCancel(true);
  BCancel->SetModalResult(mrCancel);
  BCancel->SetTabOrder(5);
}

void TdxBarItemAddEditor::FormShow(TObject* sender) { Edit1->SetFocus(); }

void TdxBarItemAddEditor::ComboBox1Click(TObject* sender) {
  const Integer index = ComboBox1->GetItemIndex();
  if (!FBarManager || index < 0) return;
  Edit1->SetText(FBarManager->GetUniqueItemName(GetBarItemClassList()->GetVisibleItemClass(index)));
}

void TdxBarItemAddEditor::BOkClick(TObject* sender) {
  const Integer index = ComboBox1->GetItemIndex();
  if (!FBarManager || index < 0) return;
  const orv::ClassOf<TdxBarItem> itemClass(GetBarItemClassList()->GetVisibleItemClass(index));
  FItem = itemClass.Create(FBarManager->GetOwnerControl());
  try {
    FItem->SetName(Edit1->GetText());
    FItem->SetCategory(ComboBox2->GetItemIndex());
    FItem->SetCaption(Edit2->GetText());
  } catch (const Exception&) {
    // A name that is no identifier or is taken: no item is left behind, a fresh name is
    // proposed and the dialog stays open.
    TdxBarItem* item = FItem;
    FItem = nullptr;
    item->Free();
    ComboBox1Click(ComboBox1);
    SetModalResult(mrNone);
  }
}

TdxBarItem* ShowItemAddEditor(TdxBarManager* manager, Integer categoryIndex) {
  auto* dialog = new TdxBarItemAddEditor(nullptr);
  dialog->AfterConstruction();
  TdxBarItemAddEditor* previous = gActiveItemAddEditor;
  gActiveItemAddEditor = dialog;
  TdxBarItem* result = nullptr;
  try {
    dialog->FBarManager = manager;
    if (TdxBarCustomCustomizationForm* form = GetActiveCustomizationForm())
      dialog->GetFont()->Assign(form->GetFont());
    else
      ApplyManagerFont(dialog, manager);
    TStrings* categories = dialog->ComboBox2->GetItems();
    categories->Assign(manager->GetCategories());
    dialog->ComboBox2->SetItemIndex(categoryIndex >= 0 && categoryIndex < categories->GetCount() ? categoryIndex : 0);
    TdxBarItemList* classes = GetBarItemClassList();
    for (Integer i = 0; classes && i < classes->GetVisibleItemCount(); ++i)
      dialog->ComboBox1->GetItems()->Add(classes->GetVisibleItemClass(i)->ClassName());
    dialog->ComboBox1->SetItemIndex(0);
    dialog->ComboBox1Click(dialog->ComboBox1);
    if (dialog->ShowModal() == mrOk) result = dialog->FItem;
  } catch (...) {
    gActiveItemAddEditor = previous;
    dialog->Free();
    throw;
  }
  gActiveItemAddEditor = previous;
  dialog->Free();
  return result;
}
